// Symmetry codes of the links a coordinate file names, against the model's
// space group.
#include "coords/link_symmetry_codes.h"

#include <algorithm>

#include "coords/rows_in_one_residue.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"

coords::SymmetryCode coords::operator_in_group(int32_t op) {
  if (op < 1) return SymmetryCode::kNoOperator;
  // No operators at all is no group to hold the code against.
  if (crst_crd.cs_nsym >= 1 && op > crst_crd.cs_nsym) return SymmetryCode::kOperatorLacking;
  return SymmetryCode::kOperator;
}

coords::SymmetryCode coords::cif_symmetry_code(const rt::FixedText<8>& code,
                                               rt::FixedText<8>& out) {
  out = code;
  const std::string_view c = rt::trim(code.view());
  if (c.empty() || c == "." || c == "?") return SymmetryCode::kOperator;
  const auto digit = [](char ch) { return ch >= '0' && ch <= '9'; };
  const std::size_t us = c.find('_');
  bool form = us != std::string_view::npos && us >= 1 && us <= 3 && c.size() == us + 4;
  int32_t op = 0;
  for (std::size_t i = 0; form && i < c.size(); ++i) {
    if (i == us) continue;
    if (!digit(c[i])) form = false;
    if (i < us) op = op * 10 + (c[i] - '0');
  }
  const SymmetryCode kind = form ? operator_in_group(op) : SymmetryCode::kNoOperator;
  if (kind == SymmetryCode::kNoOperator) out = "1_555";
  return kind;
}

void coords::warn_symmetry_code(int32_t mdoc, std::string_view record, std::string_view code,
                                const std::string& end1, const std::string& end2, bool made) {
  msgdoc_(mdoc, " WARNING : " + std::string(record) + " symmetry code \"" +
                    std::string(rt::trim(code)) + "\" names no operator of the space group");
  msgdoc_(mdoc, "           link " + end1 + " - " + end2 +
                    (made ? " is made without it" : " is not made"));
}

void coords::check_connection_symmetry_codes(int32_t mdoc) {
  link_inf_t& l = link_inf;
  const int32_t n = std::min(l.ln_n, MAXLINK);
  int32_t kept = 0;
  for (int32_t k = 1; k <= n; ++k) {
    if (!(l.ln_ent(k) == "C")) {
      if (++kept != k) foundation::copy_link_fields(k, kept);
      continue;
    }
    rt::FixedText<8> code[2] = {l.ln_symm1(k), l.ln_symm2(k)};
    rt::FixedText<8> out[2];
    SymmetryCode kind[2];
    for (int e = 0; e < 2; ++e) kind[e] = cif_symmetry_code(code[e], out[e]);
    const std::string end1 = link_row_end_text(k, 1), end2 = link_row_end_text(k, 2);
    bool lacking = false;
    for (int e = 0; e < 2; ++e) {
      if (kind[e] != SymmetryCode::kOperatorLacking) continue;
      warn_symmetry_code(mdoc, "connection row", code[e].view(), end1, end2, false);
      lacking = true;
      break;
    }
    if (lacking) continue;
    l.ln_symm1(k) = out[0];
    l.ln_symm2(k) = out[1];
    const bool one_residue = connection_row_in_one_residue(k);
    for (int e = 0; e < 2; ++e)
      if (kind[e] == SymmetryCode::kNoOperator && !one_residue)
        warn_symmetry_code(mdoc, "connection row", code[e].view(), end1, end2, true);
    if (++kept != k) foundation::copy_link_fields(k, kept);
  }
  l.ln_n = kept;
}
