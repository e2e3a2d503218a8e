// The energy-library writer: the energy types and the bond, angle, torsion,
// contact, hydrogen-bond and synonym terms between them written as one
// energy library block that the energy library reader loads again.  Reads
// r_scratch lea_, leb_, leg_, let_, lew_, leh_, les_; writes libcom leo_iun.
#pragma once

#include <cstdint>
#include <string_view>

// "TITL" opens the file (libcom leo_file) and writes the atom types, "WRIT"
// the term loops, "STOP" ends the file; other words do nothing, and nothing
// at all happens while leo_file is blank.  Writes libcom leo_iun ("TITL",
// "STOP").
void wrt_elib_(std::string_view mode, int32_t mdoc, int32_t& ierr);
