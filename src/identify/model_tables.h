// Entering the links and modifications decided for the model into its link
// and modification tables: duplicates refused, the row's defaults filled, the
// residues flagged, the library entry marked as used, and a full table
// ending the run.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/array.h"
#include "runtime/fixed_text.h"

// Filled by connect (new library links, the chain table); read by nothing else.
// Once-only capacity flags: 1 after the full-table message was given, back to
// 0 when the table accepts a row again.
struct com_crt_link_t {
  // (1) link library, (2) and (3) not used (a full link_inf or mod_inf ends
  // the run), (4) chain table.
  rt::Array1<int32_t, 4> icrt_flag;
};
extern com_crt_link_t com_crt_link;

// Enters link `link` between residue jres1 (chain jch1, atom ja1) and jres2
// (jch2, ja2); irevers other than 0 exchanges the two ends.  An atom index
// below 1 means no atom.  A link whose name begins with "." or a blank is not
// entered; one the library lacks is entered after an information line.
// ierr is always 0; a full table ends the run (foundation::stop_table_full).
// Writes link_inf (a new row), resid_inf link_flag, r_scratch lll_fuse.
void put_l_tabl_(int32_t mdoc, std::string_view link, int32_t jch1, int32_t jch2, int32_t jres1,
                 int32_t jres2, int32_t ja1, int32_t ja2, int32_t irevers, int32_t& ierr);

// Enters modification mod of residue ires (chain ich) with residue name mon
// and use mark mtype.  A blank mon makes the modification be looked up in the
// library and, unless mod is "RENAME", become "."; ia is not used.  ierr 1
// for a name too long or a residue outside the model; a full table ends the
// run.  Writes mod_inf (a new row), resid_inf mod_flag, r_scratch ldl_fuse.
void put_m_tabl_(int32_t mdoc, std::string_view mod, int32_t ich, int32_t ires, int32_t ia,
                 rt::FixedText<8>& mon, std::string_view mtype, int32_t& ierr);
