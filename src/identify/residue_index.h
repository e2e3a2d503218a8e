// The residue index, a cheap fingerprint of a heavy-atom graph (element
// content, pairs by bond-path length, bonds by class pair), of the
// coordinate residue or of the monomer in L1, and the distance of two indices.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Index of the residue in C1 (C1 needs its neighbour lists).  n: heavy atoms.
// Writes mtc_atom.
void calc_index_crd_(int32_t mdoc, std::string_view mon, int32_t& n, rt::FixedText<30>& c_content,
                     rt::FixedText<24>& c_index, rt::FixedText<24>& c_pair, int32_t& ierr);
// Index of the monomer in L1 (L1 needs its neighbour lists).  Writes mtc_atom.
void calc_index_(int32_t mdoc, std::string_view mon, int32_t& n, rt::FixedText<30>& c_content,
                 rt::FixedText<24>& c_index, rt::FixedText<24>& c_pair, int32_t& ierr);
// Distance of two indices: idiffc over the content fields other than carbon,
// nitrogen and oxygen, idiffi over path lengths 1 to 6, idiffp over all pair
// fields.  ierr 0.
// Writes no table.
void calc_index_diff_(int32_t mdoc, std::string_view c_content1, std::string_view c_index1,
                      std::string_view c_pair1, std::string_view c_content2, std::string_view c_index2,
                      std::string_view c_pair2, int32_t& idiffc, int32_t& idiffi, int32_t& idiffp,
                      int32_t& ierr);
