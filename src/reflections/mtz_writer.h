// Writing a reflection (MTZ) file: "MTZ ", a provisional header word and the
// machine stamp, the reflection rows from byte 80, then the header records
// directly behind the last row, and finally the true header word.
#pragma once

#include "reflections/mtz_records.h"

// A new file for the logical name, positioned at byte 80 in 4-byte real
// mode; null (after MTZ error 4, or 7 when its first words cannot be written).
LibraryFileHandle MtzOpenForWrite(const char* logname);
// One reflection row; the number of values written.
int MtzWrefl(LibraryFile* file, int ncol, const float* refldata);
// One 80-character header record from text (up to its first NUL, at most
// length characters), blank padded; the number of characters written.
int MtzWhdrLine(LibraryFile* file, int length, const char* text);
// Writes the record to its own output file, or to a new file for the logical
// name.  1 when every row and header record is on disk, else 0.
int MtzPut(MtzFile* mtz, const char* logname);
// Removes reflection iref (0-based) from the values held in memory; 1.
int MtzDeleteRefl(MtzFile* mtz, int iref);

// 1-based positions over all columns in hierarchy order of the five sort
// columns; 0 for an empty slot or a column not found.
int ptq7_lrsort(const MtzFile* mtz, int isort[5]);
