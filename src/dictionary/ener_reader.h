// The energy library: energy (chemical) atom types and the bond, angle,
// torsion, van der Waals, hydrogen-bond and synonym terms between them, read
// from one CIF file of the library file set.
#pragma once

#include <cstdint>
#include <string_view>

#include "dictionary/mon_fillers.h"

// Reads the energy library.  mode "ALL " takes every atom type; any other
// word keeps the types already listed and marks those met ("H   " also adds
// hydrogen types).  The term tables restart at every reading.  Writes
// r_scratch lea_, leb_, leg_, let_, lew_, leh_, les_ and libcom lei_iun, and
// the tokeniser's comcif_info, comfread_info.
void rd_enrlib_(int32_t mdoc, std::string_view mode, int32_t& ierr);

// Routes one item of the energy library to its category's filler.  Writes,
// through the fillers, r_scratch lea_, leb_, leg_, let_, lew_, leh_, les_.
// Each filler writes its own category's rows and current-row index only:
// pt_eatom_ the lea_ rows, pt_ebond_ leb_, pt_eangl_ leg_, pt_etors_ let_,
// pt_evdw_ lew_, pt_ehbond_ leh_, pt_esynonym_ les_ (all in r_scratch).
void put_enlib_(int32_t mdoc, std::string_view mode, int32_t i, std::string_view block,
                int32_t lenb, std::string_view item, int32_t leni, std::string_view data,
                int32_t idata, float fdata, int32_t lend, int32_t& ierr);
void pt_eatom_(int32_t mdoc, std::string_view mode, int32_t i, std::string_view block,
               int32_t lenb, std::string_view item, int32_t leni, std::string_view data,
               int32_t idata, float fdata, int32_t lend, int32_t& ierr);
void pt_ebond_(MON_FILLER_ARGS);
void pt_eangl_(MON_FILLER_ARGS);
void pt_etors_(MON_FILLER_ARGS);
void pt_evdw_(MON_FILLER_ARGS);
void pt_ehbond_(MON_FILLER_ARGS);
void pt_esynonym_(MON_FILLER_ARGS);
