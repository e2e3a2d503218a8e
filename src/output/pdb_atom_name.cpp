// PDB atom-name columns by element.
#include "output/pdb_atom_name.h"

#include "foundation/atom_names.h"
#include "foundation/words.h"

namespace {

// A fourth character that belongs in front of the name (1HG1, 2H5').
bool goes_to_front(char c) { return char_class(c) == 'D' || c == '\'' || c == '"' || c == '*'; }

char at(std::string_view s, int i) { return i < static_cast<int>(s.size()) ? s[i] : ' '; }

// Underscores that padded the name become blanks again: column 16, then 15.
void blank_padding(rt::FixedText<4>& atom) {
  if (atom(4) != '_') return;
  atom(4) = ' ';
  if (atom(3) == '_') atom(3) = ' ';
}

}  // namespace

void pdb_aname_(rt::TextRef aname, std::string_view asymb, std::string_view rname,
                rt::FixedText<4>& atom) {
  char a[4];
  const int len = aname.len_trim();
  for (int i = 0; i < 4; ++i) a[i] = (i < len && i < aname.len()) ? aname.p[i] : ' ';
  for (int i = len; i < aname.len(); ++i) aname.p[i] = ' ';
  const std::string_view name(a, 4);
  const char s1 = at(asymb, 0), s2 = at(asymb, 1);
  atom = "";

  if (is_heavy_element(s1, s2)) {
    if (s1 != ' ' && s2 != ' ') {
      atom = name;
    } else {
      atom = " ";
      atom.sub(2, 4).assign(name.substr(0, len < 3 ? len : 3));
    }
    return;
  }
  if (rt::text_eq(asymb, "H") || rt::text_eq(asymb, "D")) {
    atom.sub(2, 4).assign(name.substr(0, 3));
    if (a[3] != ' ') {
      if (goes_to_front(a[3])) {
        atom(1) = a[3];
        blank_padding(atom);
      } else {
        atom = name;
      }
    }
  } else if (a[3] == ' ') {
    if (a[0] == s1 && a[1] != s1) {
      atom = " ";
      atom.sub(2, 4).assign(name.substr(0, 3));
    } else {
      atom = name.substr(0, 3);
    }
  } else if (goes_to_front(a[3])) {
    atom(1) = a[3];
    atom.sub(2, 4).assign(name.substr(0, 3));
    blank_padding(atom);
  } else {
    atom = name;
  }

  if (rt::text_eq(rname.substr(0, rname.size() < 3 ? rname.size() : 3), "HEM")) {
    constexpr std::string_view kHemN[] = {"NA", "NB", "NC", "ND"};
    for (std::string_view n : kHemN)
      if (rt::text_eq(name, n)) {
        atom = " N  ";
        atom(4) = n[1];
      }
  }
}
