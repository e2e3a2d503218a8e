// The PDB reader's shared records.
#include "coords/pdb_state.h"

sttcrec_t sttcrec;
com_rdat_t com_rdat;
pdb_hent_t pdb_hent;
