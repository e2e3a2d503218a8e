// Look-ups by monomer code in the dictionary: the entries of the monomer
// list that carry a code, and how far down a row table the rows of a code
// can reach.  Both follow the tables as they grow; a filler that empties a
// table by hand (instead of through init_cnt_) calls reset_dictionary_index.
#pragma once

#include <cstdint>
#include <string_view>

namespace dictionary {

enum class RowTable { Atoms, Conns, Bonds, Angles, Torsions, Chirals, Planes };

// First entry of the monomer list, in list order, whose code is `code`;
// with `loaded_only` the entries whose fuse flag is "N" or "R" are passed
// over.  0 when there is none.
int32_t find_list_entry(std::string_view code, bool loaded_only);
// Calls visit(l) for every list entry whose code is `code`, in list order.
template <typename Visit>
void for_list_entries(std::string_view code, Visit visit);
// The last row of `table` that can carry `code`: no row below it does.  0
// when no row ever carried the code.
int32_t last_row_of(RowTable table, std::string_view code);

void reset_dictionary_index();

// Implementation detail of for_list_entries: the first entry that carries
// the code, and the next one after entry l.  visit may change the code of
// the entry it is given.
int32_t list_chain_head(std::string_view code);
int32_t list_chain_next(int32_t l, std::string_view code);

template <typename Visit>
void for_list_entries(std::string_view code, Visit visit) {
  for (int32_t l = list_chain_head(code); l != 0; l = list_chain_next(l, code)) visit(l);
}

}  // namespace dictionary
