// Record fillers of the link categories: the list `_chem_link` and the
// descriptions of a `data_link_` block (bonds, angles, torsions, chiral
// centres, plane atoms across a link).  Every atom of a link description
// carries the number (1 or 2) of the linked monomer it belongs to.
// Arguments as for every record filler (mon_fillers.h).
#pragma once

#include "dictionary/mon_fillers.h"

// The `_chem_link` list filler.  Writes r_scratch lll_ entries, lll_nlink, lll_ilink.
void pt_lnlist_(MON_FILLER_ARGS);
// Routes a description item to its category.  Writes r_scratch lll_ilink,
// the lll_ first-row pointers and the llb_, llg_, llt_, llc_, llp_ rows.
// Each filler below writes r_scratch lll_ilink, its link's first-row pointer
// and its own rows: pt_lnbond_ llb_, pt_lnangl_ llg_, pt_lntors_ llt_,
// pt_lnchir_ llc_, pt_lnplan_ llp_.
void put_lnlib_(MON_FILLER_ARGS);
void pt_lnbond_(MON_FILLER_ARGS);
void pt_lnangl_(MON_FILLER_ARGS);
void pt_lntors_(MON_FILLER_ARGS);
void pt_lnchir_(MON_FILLER_ARGS);
void pt_lnplan_(MON_FILLER_ARGS);
