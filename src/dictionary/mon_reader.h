// Reading monomer descriptions on demand: every list entry marked "R" is
// read from its own file in the library directory, from the library file
// itself (single-file libraries) or from the second library; and the
// pointers of the energy library's bond and angle terms to their atom types.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reads the descriptions of the marked entries, pass by pass.  Writes libcom
// lb_pass and lmi_iun, and through rd_monlib_one_ all that it writes.
void rd_monlib_(int32_t mdoc, char nodist, char list, int32_t& ierr, int32_t& iend);
// Reads the file open on iun block by block; mod "N" reads without storing.
// Writes libcom lmi_iun, r_scratch lml_imon and the rows of the entries read
// (lsf_ rows, com_conn_lib and sttcpln through the fillers); all that the
// tree check of each entry read writes (check_rlib_tree_: L1, L2, ldl_imod
// and the entries it stores); and the tokeniser's comcif_info, comfread_info.
void rd_monlib_one_(int32_t mdoc, char mod, int32_t iun, char nodist, char list, int32_t& ierr,
                    int32_t& iend);
// The file name part of a monomer's own description file: its first letter
// in lower case, "/" and the code (a few codes that clash with other names
// get a longer file name).
std::string mon_file_part(std::string_view code);
// Points every energy bond and angle at its atom types.  Writes r_scratch
// leb_i1atm, leb_i2atm, leg_i1atm..leg_i3atm.
void set_ener_pointer_to_atom_(int32_t mdoc, int32_t& ierr);
