// Reader of the link and modification descriptions of the monomer library:
// the first main library file, then the second library when one is named.
#pragma once

#include <cstdint>

// Hands every modification item to put_mdlib_ and every link item to
// put_lnlib_; monomer description blocks are skipped unless their entry's
// description is in force.  Writes libcom lb_pass, lmi_iun and, through the
// fillers, the modification and link tables (with lsf_ rows through the
// element check); and the tokeniser's comcif_info, comfread_info.
void rd_md_link_lib_(int32_t mdoc, int32_t& ierr, int32_t& iend);
