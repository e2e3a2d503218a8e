// Look-ups by code in the dictionary: the entries of the monomer list that
// carry a code, how far down a row table the rows of a code can reach, the
// synonym rows of a code, the links and modifications of the link and modification libraries by name, and
// the bonds of a link.  All follow the tables as they grow; a filler that
// empties a table by hand (instead of through init_cnt_) calls
// reset_dictionary_index.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace dictionary {

enum class RowTable { Atoms, Conns, Bonds, Angles, Torsions, Chirals, Planes };

// First entry of the monomer list, in list order, whose code is `code`;
// with `loaded_only` the entries whose fuse flag is "N" or "R" are passed
// over.  0 when there is none.
int32_t find_list_entry(std::string_view code, bool loaded_only);
// Calls visit(l) for every list entry whose code is `code`, in list order.
void list_entries(std::string_view code, const std::function<void(int32_t)>& visit);
// The last row of `table` that can carry `code`: no row after it does.  0
// when no row ever carried the code.
int32_t last_row_of(RowTable table, std::string_view code);

// Calls visit(j) for every synonym row j whose library code (lms_mname) is
// `code`, in row order.  Rows are only ever appended; a row whose code has
// changed since it was entered is checked at the look-up and passed over.
void synonym_rows(std::string_view code, const std::function<void(int32_t)>& visit);
// Whether synonym row j gives `name` as another name of its monomer.  A
// library value "." or "?" there is no name and names no residue, not even
// one read without a name: the atom rows that hold "." apply to their
// monomer whatever its residue is called.
bool synonym_names(int32_t j, std::string_view name);
// Calls visit(i) for every library link named `name`, in library order,
// until visit returns true.
void link_entries(std::string_view name, const std::function<bool(int32_t)>& visit);
// Calls visit(k) for every bond row of library link i, from its first bond
// row lll_ibond(i) to the end of the bond table, that carries the link's
// name, in table order, until visit returns true.  Nothing for a link without
// bonds.
void link_bonds(int32_t i, const std::function<bool(int32_t)>& visit);
// First library modification named `name`; 0 when there is none.
int32_t find_modification(std::string_view name);

void reset_dictionary_index();

}  // namespace dictionary
