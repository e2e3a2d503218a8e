// Residue and atom names of PDB records.  Names as read may carry trailing
// underscores that mark their columns; one without them goes where the PDB
// reader takes it back as the same atom; the element decides the column of
// a name placed afresh.
#include "output/pdb_names.h"

#include "coords/pdb_corrections.h"
#include "foundation/atom_names.h"
#include "foundation/words.h"

namespace {

struct Nucleotide {
  const char* name;
  char letter;
};
constexpr Nucleotide kNucleotides[] = {
    {"Cd", 'C'}, {"Cr", 'C'}, {"Ad", 'A'}, {"Ar", 'A'}, {"Gd", 'G'},
    {"Gr", 'G'}, {"Td", 'T'}, {"Tr", 'T'}, {"Ur", 'U'}, {"Ir", 'I'},
};

bool moves_to_front(char c) { return char_class(c) == 'D' || c == '\'' || c == '"' || c == '*'; }

// The underscores of a moved name: character 4 "_" becomes a blank, and
// then, only in that case, a "_" in character 3 too.
void clear_end_underscores(rt::TextRef atom) {
  if (atom(4) != '_') return;
  atom(4) = ' ';
  if (atom(3) == '_') atom(3) = ' ';
}

// What the PDB reader makes of an atom name in columns 13-16: the name, its
// kind ("C" ordinary, "H" hydrogen, "$" heavy element) and the element it
// takes from the name.
struct Reading {
  rt::FixedText<4> name, symb, kind;
  bool same(const Reading& o) const { return name == o.name && kind == o.kind; }
};

Reading read_back(const rt::FixedText<4>& columns, std::string_view rname) {
  Reading r;
  r.name = columns;
  rt::FixedText<3> res(rname.substr(0, rname.size() < 3 ? rname.size() : 3));
  corr_name_pdb_(r.name, res.ref(), r.symb, r.kind);
  return r;
}

}  // namespace

namespace output {

rt::FixedText<4> pdb_input_name(std::string_view aname, std::string_view element,
                                std::string_view rname) {
  rt::FixedText<4> name(aname);
  if (name(4) != '_') {
    // A name without its column marker (as the mmCIF reader keeps it) stays
    // where it was read from, column 13, unless the PDB reader would read it
    // there as another name or another kind of atom while from column 14 it
    // reads as an atom of its own element: water hydrogens would all come
    // back as oxygens of one name, OD1 and NH1 as hydrogens, CA as a metal.
    const rt::FixedText<4> symb(element);
    if (name(4) != ' ' || name(1) == ' ' || symb.is_blank()) return name;
    rt::FixedText<4> moved;
    moved.blank();
    moved.sub(2, 4).assign(name.sub(1, 3));
    const Reading at13 = read_back(name, rname), at14 = read_back(moved, rname);
    const auto hydrogen_as_h = [](char c) { return c == 'D' ? 'H' : c; };
    const bool own_element =
        hydrogen_as_h(symb(1)) == hydrogen_as_h(at14.symb(1)) && (symb(2) < 'A' || symb(2) > 'Z');
    return !at13.same(at14) && own_element ? moved : name;
  }
  rt::FixedText<4> atom;
  atom.blank();
  atom.sub(2, 4).assign(name.sub(1, 3));
  clear_end_underscores(atom);
  return atom;
}

}  // namespace output

void pdb_rname_corr_to_write_(rt::TextRef rname, int32_t len) {
  if (len > rname.len()) len = rname.len();
  const int l = rt::len_trim(rname.view().substr(0, len));
  if (l < 1) return;
  rt::FixedText<3> res(rname.view().substr(0, l < 3 ? l : 3));
  for (const Nucleotide& n : kNucleotides)
    if (res == n.name) res = std::string_view(&n.letter, 1);
  const int used = res.len_trim();
  rname.fill(' ');
  if (rname.len() >= 3) rname.sub(4 - used, 3).assign(res.view().substr(0, used));
}

void pdb_aname_(rt::TextRef aname, std::string_view asymb, std::string_view rname,
                rt::TextRef atom) {
  const int len = aname.len_trim();
  if (len < aname.len()) aname.sub(len + 1).fill(' ');
  rt::FixedText<4> name(aname.view());
  const rt::FixedText<4> symb(asymb);
  atom.fill(' ');
  rt::FixedText<4> out;
  out.blank();
  if (is_heavy_element(symb(1), symb(2))) {
    if (symb(2) != ' ') out = name;
    else out.sub(2, 4).assign(name.sub(1, len < 3 ? len : 3));
    atom.assign(out.view());
    return;
  }
  if (symb == "H" || symb == "D") {
    out.sub(2, 4).assign(name.sub(1, 3));
    if (name(4) != ' ') {
      if (moves_to_front(name(4))) {
        out(1) = name(4);
        clear_end_underscores(out);
      } else {
        out = name;
      }
    }
  } else if (name(4) == ' ') {
    if (name(1) == symb(1) && name(2) != symb(1)) out.sub(2, 4).assign(name.sub(1, 3));
    else out.sub(1, 3).assign(name.sub(1, 3));
  } else if (moves_to_front(name(4))) {
    out(1) = name(4);
    out.sub(2, 4).assign(name.sub(1, 3));
    if (name(3) == '_') clear_end_underscores(out);
  } else {
    out = name;
  }
  if (rname.substr(0, rname.size() < 3 ? rname.size() : 3) == "HEM") {
    constexpr const char* kPorphyrin[][2] = {
        {"NA  ", " N A"}, {"NB  ", " N B"}, {"NC  ", " N C"}, {"ND  ", " N D"}};
    for (const auto& p : kPorphyrin)
      if (name == p[0]) out = p[1];
  }
  atom.assign(out.view());
}
