// The monomer-library writers: the dictionary, or the entries of it that a
// mode word chooses, written as a library file that the library readers
// load again.  Reads r_scratch; writes libcom lmo_iun and crdinf cro3_iun.
#pragma once

#include <cstdint>
#include <string_view>

// The mode word: "TIT" opens the output library (icrd 0; icrd > 0 writes on
// that open unit instead) and writes the title and the lists, "MON", "LIN"
// and "MOD" append the description blocks, "STOP" ends the file.  Its
// fourth letter chooses the entries by their fuse flag: "C" those flagged
// "C", "A" all, "L" all but those flagged "N" or "?", any other none.
// Writes libcom lmo_iun ("TIT", "STOP") and crdinf cro3_iun ("TIT").
void wrt_lib_(int32_t mdoc, std::string_view mode, int32_t icrd, int32_t& ierr);
// The same file written entry by entry: atoms without coordinates, and the
// code of a minimal description's bond rows in the columns of a three-letter
// code.  Writes libcom lmo_iun and crdinf cro3_iun as wrt_lib_ does.
void wrt_lib_new_(int32_t mdoc, std::string_view mode, int32_t icrd, int32_t& ierr);
