// Anisotropic and deviation records of a PDB file.  ANISOU values are
// integers in units of 1e-4 square Angstrom; deviations are read past.
#include "coords/pdb_aniso.h"

#include <cstdint>

#include "coords/pdb_fields.h"
#include "foundation/atom_com.h"

void rdaniso_(std::string_view line) {
  for (int k = 1; k <= 6; ++k) {
    int32_t v = 0;
    const int first = 29 + 7 * (k - 1);
    // A field that is not an integer counts as 0, like a blank one.
    if (!pdbf::read_int(pdbf::cols(line, first, first + 6), v)) v = 0;
    crdatm.cr_anis(k) = static_cast<float>(v) / 10000.0f;
  }
  crdatm.cr_b_flag = 1;
  crdatm.cr_btype = "A";
}

void rdsigat_(std::string_view) {}

void rdsiguij_(std::string_view) {}
