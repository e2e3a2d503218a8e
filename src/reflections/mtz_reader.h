// Reading a reflection (MTZ) file into memory.  The file opens with "MTZ ",
// the word number of its header and the machine stamp; byte 80 on holds the
// reflection rows (one 4-byte real per column), and the header of
// 80-character records follows the last row.
#pragma once

#include <memory>

#include "reflections/mtz_records.h"

// The file named by the logical name (the environment variable of that name
// when set, else the name itself).  With read_refs non-zero every reflection
// is read into the columns and the file is closed; with zero the file stays
// open at the first reflection for MtzRrefl.  Null on failure.
std::unique_ptr<MtzFile> MtzGet(const char* logname, int read_refs);
// One reflection row of ncol reals; the number read, or -1 when the row
// cannot be read whole.
int MtzRrefl(LibraryFile* file, int ncol, float* refldata);
