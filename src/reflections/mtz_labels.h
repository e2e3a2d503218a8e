// Column label assignment: LABIN and LABOUT lines of a program's keyword
// input map the program's labels to the user's labels in the file, pair by
// pair, written either way round.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reflections/cmtzlib.h"

// Entries 1..n of table are cleared, then set from the line's label pairs.
// The number of entries set, or -1 after any unmatched or unpaired label.
int MtzParseLabin(const char* line, const std::vector<std::string>& labels, int n,
                  MtzLabelPair* table);
void lkyin_(int32_t mindx, TextArray lsprgi, int32_t nlprgi, int32_t ntok,
            std::string_view labin_line, const int32_t* ibeg, const int32_t* iend);
void lkyout_(int32_t mindx, TextArray lsprgo, int32_t nlprgo, int32_t ntok,
             std::string_view labout_line, const int32_t* ibeg, const int32_t* iend);
// kpoint(j) = -1 and lsusrj(j) = the user label for every assigned program label.
void lkyset_(TextArray lsprgi, int32_t nlprgi, TextArray lsusrj, int32_t* kpoint, int32_t itok,
             int32_t ntok, std::string_view labin_line, const int32_t* ibeg, const int32_t* iend);
