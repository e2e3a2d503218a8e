// The new-monomer builder: one entry that turns the L1 work description of a
// residue the library lacks into a complete monomer description.
#pragma once

#include <cstdint>
#include <string_view>

// mmdoc the caller's message code; list 'T' trace, 'S' silent, 'L' or any
// other letter normal; mode_i "TEST" makes the observed geometry ideal; pnum
// goes to the numbering; name the program word of the drawing ('?' first:
// no drawing); vangle the drawing's rotation.  L1 must hold the atoms with
// l1l_prsnt 'N' (atoms only) or 'M' (with the user's bond list).  ierr 0:
// complete, l1l_prsnt "." and l1l_fuse 'C'; otherwise the failing stage's
// status with its messages issued.  Writes r_scratch L1 (and L2 as scratch)
// through its stages.
void creat_new_(int32_t mmdoc, char list, std::string_view mode_i, std::string_view pnum,
                std::string_view name, float vangle, int32_t& ierr);
