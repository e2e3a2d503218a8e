// Bond records and connection rows whose two ends lie in one residue.
#include "coords/rows_in_one_residue.h"

#include <algorithm>

#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/messages.h"

namespace {

using Name4 = rt::FixedText<4>;

bool identity(const rt::FixedText<8>& s) { return identity_symmetry(s) || s.is_blank(); }

bool given(std::string_view name) {
  const std::string_view t = rt::trim(name);
  return !t.empty() && t != ".";
}

}  // namespace

bool coords::connection_row_in_one_residue(int32_t k) {
  const link_inf_t& l = link_inf;
  if (!coords::same_copy(l.ln_symm1(k), l.ln_symm2(k))) return false;
  const int32_t r1 = l.ln_1ires(k), r2 = l.ln_2ires(k);
  if (r1 > 0 || r2 > 0) return r1 == r2;
  // Neither end found (a residue the model lacks): the row's own texts.
  return l.ln_1chn(k) == l.ln_2chn(k) && l.ln_seq1(k) == l.ln_seq2(k) &&
         given(l.ln_seq1(k).view()) && l.ln_1rnam(k) == l.ln_2rnam(k);
}

bool coords::same_copy(const rt::FixedText<8>& s1, const rt::FixedText<8>& s2) {
  return (identity(s1) && identity(s2)) || s1 == s2;
}

bool coords::same_atom_name(std::string_view a, std::string_view b) {
  if (!given(a) || !given(b)) return false;
  return rt::trim(a) == rt::trim(b) || foundation::same_nucleotide_atom(a, b);
}

void coords::note_rows_in_one_residue(int32_t mdoc, std::string_view record, int32_t n) {
  if (n <= 0) return;
  const std::string count = std::to_string(n) + " " + std::string(record);
  msgdoc_(
      mdoc,
      " INFO: " + count +
          (n == 1 ? " joins two atoms of one residue: passed over, as that residue's own bond"
                  : "s join two atoms of one residue: passed over, as that residue's own bonds"));
}

void coords::warn_atom_to_itself(int32_t mdoc, std::string_view record, const std::string& end) {
  msgdoc_(mdoc, " WARNING : " + std::string(record) + " joins atom " + end +
                    " to itself: no link is made");
}

std::string coords::link_row_end_text(int32_t k, int e) {
  const link_inf_t& l = link_inf;
  const bool one = e == 1;
  std::string t(rt::trim(one ? l.ln_atom1(k).view() : l.ln_atom2(k).view()));
  const auto& alt = one ? l.ln_alt1(k) : l.ln_alt2(k);
  if (!alt.is_blank() && !(alt == ".")) t.append(alt.view());
  for (std::string_view part :
       {(one ? l.ln_1rnam(k) : l.ln_2rnam(k)).view(), (one ? l.ln_1chn(k) : l.ln_2chn(k)).view(),
        (one ? l.ln_seq1(k) : l.ln_seq2(k)).view()})
    t.append(" ").append(rt::trim(part));
  return t;
}

void coords::pass_over_connection_rows_in_one_residue(int32_t mdoc) {
  link_inf_t& l = link_inf;
  const int32_t n = std::min(l.ln_n, MAXLINK);
  int32_t kept = 0, in_residue = 0;
  for (int32_t k = 1; k <= n; ++k) {
    if (!(l.ln_ent(k) == "C") || !connection_row_in_one_residue(k)) {
      if (++kept != k) foundation::copy_link_fields(k, kept);
      continue;
    }
    if (same_atom_name(l.ln_atom1(k).view().substr(0, 4), l.ln_atom2(k).view().substr(0, 4)))
      warn_atom_to_itself(mdoc, "connection row", link_row_end_text(k, 1));
    else ++in_residue;
  }
  l.ln_n = kept;
  note_rows_in_one_residue(mdoc, "connection row", in_residue);
}
