// Record fillers of the list categories of the monomer library: the
// monomer list (`_chem_comp`), the synonyms (`_chem_comp_synonym`,
// `_chem_comp_synonym_atom`) and the derivatives (`_chem_comp_deriv`).
// Arguments as for every record filler (mon_fillers.h).
#pragma once

#include "dictionary/mon_fillers.h"

// Writes r_scratch lml_ entries, lml_nmon and lml_imon.
void pt_mlist_(MON_FILLER_ARGS);
// Writes r_scratch lms_ rows, lms_nsyn, lms_isyn and lml_imon.
void pt_msyn_(MON_FILLER_ARGS);
// Writes r_scratch ldr_ rows, ldr_nder and ldr_ider.
void pt_mder_(MON_FILLER_ARGS);
