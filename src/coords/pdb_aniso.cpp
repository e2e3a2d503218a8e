// Anisotropic and deviation records of a PDB file.  ANISOU values are
// integers in units of 1e-4 square Angstrom; deviations are read past.
#include "coords/pdb_aniso.h"

#include <string>

#include "coords/pdb_fields.h"
#include "coords/pdb_records.h"
#include "coords/pdb_state.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"

namespace {

constexpr const char* kComponents[6] = {"U11", "U22", "U33", "U12", "U13", "U23"};

}  // namespace

int32_t rdaniso_(std::string_view line) {
  int32_t v[6];
  for (int k = 0; k < 6; ++k) {
    const std::string_view field = pdbf::cols(line, 29 + 7 * k, 35 + 7 * k);
    v[k] = 0;
    if (!pdbf::read_int(field, v[k]))
      return coords::refuse_record_number("ANISOU", kComponents[k], field, line);
  }
  // Taken for the atom before it, the U of another atom would replace that
  // atom's B.
  if (!(sttcrec.st_last_atom_id == pdbf::cols(line, 7, 27))) {
    msgdoc_(1, " WARNING: ANISOU record, line " + std::to_string(sttcrec.st_nline) +
                   ", names another atom than the atom record before it; passed over:");
    msgdoc_(1, line);
    return 0;
  }
  float u[6];
  for (int k = 0; k < 6; ++k) u[k] = static_cast<float>(v[k]) / 10000.0f;
  // Writers that give every atom an ANISOU record write six zeros for the
  // atoms of an entry that have no anisotropic values; taken, they would
  // make the atom's B 0.
  if (coords::aniso_all_zero(u)) {
    sttcrec.st_zero_aniso += 1;
    return 0;
  }
  for (int k = 1; k <= 6; ++k) crdatm.cr_anis(k) = u[k - 1];
  crdatm.cr_b_flag = 1;
  crdatm.cr_btype = "A";
  return 0;
}

void rdsigat_(std::string_view) {}

void rdsiguij_(std::string_view) {}

bool coords::aniso_all_zero(const float* u) {
  for (int k = 0; k < 6; ++k)
    if (u[k] != 0.0f) return false;
  return true;
}

void coords::warn_zero_aniso(std::string_view record, int32_t n) {
  if (n <= 0) return;
  const std::string kind = std::string(record) + (n == 1 ? "" : "s");
  msgdoc_(1, " WARNING: " + std::to_string(n) + " " + kind + " of six zeros passed over: " +
                 (n == 1 ? "its atom stays" : "their atoms stay") + " isotropic");
}
