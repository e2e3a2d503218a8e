// The per-atom structure-description table.
#include "output/atom_str.h"

atom_str_t atom_str;
