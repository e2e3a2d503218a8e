// Symmetry codes of the links a coordinate file names (operator number and
// three translation digits: "2_655" in mmCIF, "  2655" in a PDB record),
// against the operators of the model's space group.  A code that is no
// such text (letters, operator 0, a sign, four translation digits) is read
// as none, with a warning: the link is made inside the model, as a code of
// damaged columns most often stands on a link that is.  A code of an
// operator the group does not hold (5 in a group of four, 2 in a group the
// symmetry library lacks) names a copy that is not known: the link is not
// made, with a warning, for made inside the model it would join the atom to
// the wrong copy, or to itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/fixed_text.h"

namespace coords {

enum class SymmetryCode {
  kOperator,        // an operator of the group (or no code: the identity)
  kNoOperator,      // no operator text: read as the identity
  kOperatorLacking  // the operator of a well-formed code is not the group's
};

// Operator number op against the model's operators (crst_crd cs_nsym).
SymmetryCode operator_in_group(int32_t op);

// A connection row's code as the mmCIF reader keeps it ("." for none).
// `out` is the code to keep: the code itself, or "1_555" when it names no
// operator.
SymmetryCode cif_symmetry_code(const rt::FixedText<8>& code, rt::FixedText<8>& out);

// The two lines for a code that names no operator of the group: `record`
// as "LINK record", `code` as the file gives it, `end1` and `end2` the ends
// as the record names them; `made` says whether the link is made without
// the code.
void warn_symmetry_code(int32_t mdoc, std::string_view record, std::string_view code,
                        const std::string& end1, const std::string& end2, bool made);

// After an mmCIF read: the codes of the connection rows (link_inf rows
// with ln_ent "C") checked against the model's group.  A code of no
// operator becomes "1_555", with the warning unless the row then lies in
// one residue (the pass over such rows says what happens to it); a row
// naming an operator the group lacks is taken out of the table, with the
// warning.  Writes link_inf.
void check_connection_symmetry_codes(int32_t mdoc);

}  // namespace coords
