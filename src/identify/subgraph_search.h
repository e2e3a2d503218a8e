// The search of the candidate pool for the first library monomer whose
// heavy-atom graph contains the residue's.
#pragma once

#include <cstdint>
#include <string_view>

// The residue's record stands in the query slot of the pool (and its
// description in L1).  Candidates are filtered by size and element content,
// then searched; the first that contains the residue is copied into L1 and
// cut down to the residue's atoms under its names (l1l_mname kept).  srch
// "G" is the only mode; nac and the index strings are carried, not used.
// ierr 0 match transferred; 1 no match, or the monomer is not in the list;
// else the status of the library reader or copy.
// Writes r_scratch L1, L2, lml_fuse of the monomer read, and the dictionary
// through the reader.
void test_gm_(int32_t mdoc, char list, char srch, int32_t nac, std::string_view c_content,
              std::string_view c_index, std::string_view c_pair, int32_t& ierr);
