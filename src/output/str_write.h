// Writing a structure-description file: the global block, the atom-type
// loop with the scattering factors of the model's types, and one
// "_struct_atom." row per atom.
#pragma once

#include <cstdint>
#include <string_view>

// The whole file from atom_str and the model tables (writes crdinf.crso_iun
// and the one-row record crdstr).  ierr 0; 1 an unusable name or a failed
// open; 2 no atoms (the header written, the unit left open); 4 a row failed
// (the unit closed); otherwise the header's status.
// Writes crdinf, crdstr, crst_crd.
void write_str_(int32_t mdoc, std::string_view path, std::string_view namec, std::string_view ext,
                int32_t& ierr);

// Opens the file and writes everything ahead of the atom rows; iun out: the
// unit (also in crdinf.crso_iun).  Looks up the scattering factors of every
// type of crst_crd and stores them there (nitrogen's for a symbol the
// scattering-factor data lack); a blank keyword or title text of crdinf
// becomes "-".  ierr 0 the unit is open for the rows; 1 an unusable name or
// a failed open; 4 a header line failed (the unit closed).
void owstr_cif_(int32_t mdoc, int32_t& iun, std::string_view path, std::string_view nameo,
                std::string_view ext, int32_t& ierr);

// One atom row of crdstr (mode 0) or the text crdatm.cr_line (mode not 0)
// on unit iout (nothing for a unit below 1); iend > 0 ends and closes the
// file instead.  A blank hydrogen type or psi identifier becomes "." in
// crdstr.  ierr 0, or 4 after a failed line (the unit closed).
void wrstr_cif_(int32_t mdoc, int32_t iout, int32_t mode, int32_t iend, int32_t& ierr);
