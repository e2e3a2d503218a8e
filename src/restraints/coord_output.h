// The new coordinate file and structure-description file written residue
// by residue while restraints are generated: the atoms of a residue in the
// tree order of its monomer, numbered from the residue's serial base, then
// the atoms its description does not cover.  Each controller takes a mode
// word: "TITL" opens the file and writes its header, "WRIT" one residue,
// "STOP" closes.  A blank file name means the file is not wanted: the
// controller blanks the name and returns, leaving ierr as it was.
#pragma once

#include <cstdint>
#include <string_view>

// Coordinate file over the residue in C1; naniso: the model's count of
// anisotropic atoms.  "WRIT" raises c1_igatm by the appended atoms and
// turns atom states 'Y' and blank into '.'.
// Writes crdinf.cro_iun, crdatm, crdstr.st_chem, r_scratch C1 c1_igatm,
// c1_atype.
void wrt_ccrd_(std::string_view mode, int32_t mdoc, int32_t naniso, int32_t& ierr);
// The same over the residue kept in C2.
// Writes crdinf.cro_iun, crdatm, crdstr.st_chem, r_scratch C2 c2_igatm,
// c2_atype.
void wrt_ccrd2_(std::string_view mode, int32_t mdoc, int32_t naniso, int32_t& ierr);
// Structure-description file over the residue kept in C2: one row per atom
// of its tree order with tree links, internal coordinates, radii and
// hydrogen-bond type (the energy atom types give the last two).
// Writes crdinf.crso_iun, r_scratch S2 s2_hbt, s2_vdw, s2_ion.
void wrt_str_(std::string_view mode, int32_t mdoc, int32_t& ierr);
