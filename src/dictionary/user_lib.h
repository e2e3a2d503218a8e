// The user's own monomer library at the end of a run: every monomer that the
// monomer list holds from it gets its full description and goes to the new
// library.  Writes r_scratch lml_fuse (and, through the reading, the
// monomer rows) and lms_new.
#pragma once

#include <cstdint>

// nmnew: the run's count of new monomers, raised to 1 when the user's
// library holds any monomer; dnew: "Y" when a link goes to the new library,
// else left as it came; list "T" traces on standard output.  ierr: 0, or the
// status of the description reading (reported there).  Writes r_scratch
// lml_fuse and lms_new and, through the description reading (rd_monlib_),
// libcom lb_pass, lmi_iun, the lml_ entries with their lm*_ rows, lsf_ rows,
// L1, L2, ldl_imod, com_conn_lib, sttcpln and the tokeniser's comcif_info,
// comfread_info.
void get_user_lib_(int32_t& nmnew, char& dnew, char list, int32_t& ierr);
