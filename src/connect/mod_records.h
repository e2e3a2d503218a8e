// Known modification records and the room of the modification tables, for
// the creation of new modifications.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// The library modification that performs a wanted change: the first record
// of com_mod_rec for residue type irtype and kind func whose key begins with
// namem gives mod; imod is that modification's index in the library, or 0
// when the library lacks it.  A blank namem gives mod blank, imod 0.  ierr 0.
void look_modrec_(std::string_view func, int32_t irtype, std::string_view namem, int32_t& imod,
                  rt::FixedText<8>& mod, int32_t& ierr);

// ierr 1 (with the two lines naming the constant to raise) when one more
// atom, bond or angle row of a modification would not fit: na, nb, ng are the
// counts before the row is added.  nt and np are not tested; any lb other
// than "MOD" passes.
void check_memory_l_(int32_t mdoc, std::string_view lb, int32_t na, int32_t nb, int32_t ng,
                     int32_t nt, int32_t np, int32_t& ierr);
