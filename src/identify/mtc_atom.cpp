// Storage of the graph-comparison work block.
#include "identify/mtc_atom.h"

mtc_atom_t mtc_atom;
