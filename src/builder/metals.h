// The metal test of the builder: which element symbols the bond typing, the
// chirality stages and the metal centres treat as metals.
#pragma once

#include <string_view>

// True when the first two characters of symb are one of the 95 symbols of the
// metal table (upper case, a blank second character for one-letter symbols).
// Halogens heavier than fluorine, the noble gases and the heavier metalloids
// count as metals; H, D, B, C, N, O, F, P and S do not.
// Writes no table.
bool is_it_metal_(std::string_view symb);
