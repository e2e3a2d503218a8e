// Graph comparison of the residue in the coordinate work area C1 with the
// library monomer in L1, by their heavy-atom bond graphs and without atom
// names; the index strings of one graph; the synonym-list search.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/array.h"
#include "runtime/fixed_text.h"

// mode "CRD ": index strings of the residue only; "LIB ": of the monomer
// only; blank: correspondence of the heavy atoms of both, with the residue's
// coordinates copied onto the matched library atoms and, unless isyn is 1,
// the library names given to the residue's atoms (isyn 0: in C1, recorded as
// synonyms of mon; other values: in C2 only).  Atoms that the match paired
// against their own names keep them where the bonds agree as well either
// way (atoms of equal surroundings), and take the library names where they
// do not.  ierr 0, or 3, 4, 5, 6, 7, 11,
// 12 when no correspondence was found (nothing printed).
// Writes mtc_atom; in blank mode also r_scratch L1 coordinates and
// l1a_coor_flag, c2_aname, C1 (isyn 0) and the synonym rows lms_.
void check_compl_(int32_t mdoc, char list, std::string_view mode, int32_t isyn, std::string_view mon,
                  int32_t& ierr);
// The distance and bonded-pair strings from ordered pair counts (halved).
// Writes no table.
void create_index_(const rt::Array1<int32_t, 8>& index, rt::FixedText<24>& c_index,
                   const rt::Array1<int32_t, 8>& ipair, rt::FixedText<24>& c_pair);
// it 1: a synonym row (mon, monn, atom, aatom) exists; 0: none; 2: the list
// is full (no search).
// Writes no table.
void check_synonym_(int32_t& it, std::string_view mon, std::string_view monn, std::string_view atom,
                    std::string_view aatom);
