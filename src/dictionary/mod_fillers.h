// Record fillers of the modification categories: the list `_chem_mod` and
// the descriptions of a `data_mod_` block (atoms, tree, bonds, angles,
// torsions, chiral centres, plane atoms).  Arguments as for every record
// filler (mon_fillers.h).
#pragma once

#include "dictionary/mon_fillers.h"

// The `_chem_mod` list filler.  Writes r_scratch ldl_ entries, ldl_nmod, ldl_imod.
void pt_mdlist_(MON_FILLER_ARGS);
// Routes a description item to its category.  Writes r_scratch ldl_imod,
// the ldl_ first-row pointers and the lda_, ldn_, ldb_, ldg_, ldt_, ldc_,
// ldp_ rows (and lsf_ rows through the element check).
// Each filler below writes r_scratch ldl_imod, its modification's first-row
// pointer and its own rows: pt_mdatom_ lda_ (and lsf_ rows), pt_mdconn_
// ldn_, pt_mdbond_ ldb_, pt_mdangl_ ldg_, pt_mdtors_ ldt_, pt_mdchir_ ldc_,
// pt_mdplan_ ldp_.
void put_mdlib_(MON_FILLER_ARGS);
void pt_mdatom_(MON_FILLER_ARGS);
void pt_mdconn_(MON_FILLER_ARGS);
void pt_mdbond_(MON_FILLER_ARGS);
void pt_mdangl_(MON_FILLER_ARGS);
void pt_mdtors_(MON_FILLER_ARGS);
void pt_mdchir_(MON_FILLER_ARGS);
void pt_mdplan_(MON_FILLER_ARGS);
