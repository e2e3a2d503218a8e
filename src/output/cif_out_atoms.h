// The _atom_site rows of an output mmCIF coordinate file, and the whole
// mmCIF output of the model from the shared structure tables.
#pragma once

#include <cstdint>
#include <string_view>

// Writes the model as an mmCIF file named by path, name and extension: the
// head (owcrd_cif_), one row per atom along each chain's residue tree, the
// end of the file, and the count line " Number of atoms to write :".
// Writes crdinf.cro_iun, the one-atom record crdatm and crdstr.st_chem.
// ierr 0; 1 no file or a chain, residue or tree check failed; 2 no atoms;
// 4 a line failed; otherwise the head's status.
void write_atoms_(int32_t mdoc, std::string_view path, std::string_view namec, std::string_view ext,
                  int32_t& ierr);

// One _atom_site row (two lines) of crdatm on unit iout (nothing written
// for a unit below 1) when mode is 0, the text crdatm.cr_line when it is
// not; iend > 0 ends and closes the file instead.  Blank one-character
// codes of crdatm become "." and B and occupancy are clamped to their
// columns in the record itself.  ierr 0, or 4 after a failed line (the
// unit is then closed).
// Writes crdatm, crdstr.st_chem.
void wrcrd_cif_(int32_t mdoc, int32_t iout, int32_t mode, int32_t iend, int32_t& ierr);

// Equivalent isotropic B of anisotropic U (U11, U22, U33 are read).
// Writes no table.
void calc_b_equiv_(const float* u_anis, float& b_equiv);

// Index of the scattering type whose element is `element` (all four
// characters compared), 0 and ierr 1 when there is none.
// Writes no table.
void get_sf_id_(int32_t mdoc, std::string_view element, int32_t& insf, int32_t& ierr);
