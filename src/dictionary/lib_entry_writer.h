// One entry of the dictionary written in the monomer-library layout: the
// list row of a monomer, link or modification with the head of its list, and
// the description block of one monomer, link or modification.  The library
// writers (lib_writer.h) run these over the chosen entries; the routines at
// global scope let a caller write a single entry into an open library file.
// All read r_scratch only.
#pragma once

#include <cstdint>

#include "dictionary/lib_write_lines.h"

// ifirst 0: the list head ("#", the data block, "loop_" and the item names)
// goes first and ifirst becomes 1.  Then the row of entry l; a monomer whose
// code begins with "?" (a retired entry) gets no row.  Writes no shared table.
void wrt_title_monomer_(int32_t mdoc, int32_t iun, int32_t l, int32_t& ifirst_m, int32_t& ierr);
void wrt_title_link_(int32_t mdoc, int32_t iun, int32_t l, int32_t& ifirst, int32_t& ierr);
void wrt_title_modification_(int32_t mdoc, int32_t iun, int32_t l, int32_t& ifirst,
                             int32_t& ierr);
// The description block of entry i.  The monomer block of this form has no
// coordinates.  Writes no shared table.
void wrt_desrc_one_monomer_(int32_t mdoc, int32_t iun, int32_t i, int32_t& ierr);
void wrt_desrc_one_link_(int32_t mdoc, int32_t iun, int32_t i, int32_t& ierr);
void wrt_desrc_one_modification_(int32_t mdoc, int32_t iun, int32_t i, int32_t& ierr);

namespace dictionary {

// The two forms of a monomer block: the library writer's, with coordinates
// when every atom has them, and the per-entry writer's, without coordinates
// and with the code of a minimal description's bond rows in an 11-column
// field.
enum class BlockForm { Library, PerEntry };

// The message of a file that did not take every line.
inline constexpr std::string_view kLibWriteFailed = " ERR: can't write output_lib_file";

void monomer_list_head(LibLines& w);
void monomer_list_row(LibLines& w, int32_t l);
void link_list_head(LibLines& w);
void link_list_row(LibLines& w, int32_t l);
void mod_list_head(LibLines& w);
void mod_list_row(LibLines& w, int32_t l);

void monomer_block(LibLines& w, int32_t i, BlockForm form);
void link_block(LibLines& w, int32_t i);
void mod_block(LibLines& w, int32_t i);

}  // namespace dictionary
