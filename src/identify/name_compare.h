// The atoms of a residue (C1) against the library description of its
// monomer (L1), by name.
#pragma once

#include <cstdint>

#include "runtime/fixed_text.h"

// Reports duplicated library names, gives each library atom the coordinates
// of the residue atom of its name, and reports the heavy atoms missing from
// either side.  One missing and one extra atom of one element, or two and
// two that pair by element, are a naming difference: the extra atoms take
// the library names in C2.  Any other mix of missing and extra atoms makes
// the residue a new monomer: mon_new, a code of the residue name, "_N" and
// a number that does not resolve in the library (nmon_crt_new the last
// number used), with L1 rebuilt from C1 and new_flag "Y".  list "S" silent,
// "T" a trace line.  check, ig, ir, ias are not read.  ierr 1 when L1 has no
// atom (reported); for a new monomer the element look-up status of its last
// atom; else 0.
// Writes r_scratch l1a_coor_flag, l1a_x/y/z, c2_aname; for a new monomer
// c1_rname and the whole L1 header and atom list; lsf_ rows.
void check_cmp_mon5_(int32_t mmdoc, char list, char check, int32_t ig, int32_t ir, int32_t ias,
                     int32_t& nmon_crt_new, rt::FixedText<8>& mon_new, rt::FixedText<1>& new_flag, int32_t& ierr);
