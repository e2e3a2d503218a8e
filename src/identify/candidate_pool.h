// The record of a heavy-atom graph in the candidate pool of the graph search:
// made from the monomer in L1 and written in the query slot behind the
// library records.
#pragma once

#include <cstdint>

#include "runtime/fixed_text.h"

// Index of the monomer in L1 (nac heavy atoms and the three strings) and its
// pool record, list number imon (0 for the residue itself).  No record, and
// the query slot pointing nowhere (0), for fewer than 5 heavy atoms or 4
// heavy bonds.  ierr 1 when the pool or its pointer table is full (reported).
// Writes r_scratch L2 (a copy of L1, l2a_icr the heavy numbers), mtc_atom
// and com_match_pool (the words behind mem_tot and the pointer of the query).
void lib_create_test_index2_(int32_t mdoc, int32_t imon, int32_t& nac, rt::FixedText<30>& c_content,
                             rt::FixedText<24>& c_index, rt::FixedText<24>& c_pair, int32_t& ierr);
// Code of a bond type in a pool record: single 1, double 2, triple 3,
// aromatic 4, delocalised 5, metal 6, covalent or "." 7, else 0.
int16_t pool_bond_code(std::string_view type);
// Element class of a symbol in a pool record: 1-14 in the order of the
// content string (C N O S P CO MG CA ZN CU FE CL MN MO), 15 for any other.
int16_t pool_element_class(std::string_view symb);
