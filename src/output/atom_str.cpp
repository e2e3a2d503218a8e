// The per-atom structure-description table.
#include "output/atom_str.h"

#include <algorithm>

atom_str_t atom_str;

void output::clear_atom_str(int32_t n) {
  atom_str_t& a = atom_str;
  for (int32_t i = 1; i <= std::min(n, MAXATOM); ++i) {
    a.as_vdw(i) = a.as_ion(i) = a.as_char(i) = 0.0f;
    a.as_dist(i) = a.as_tht(i) = a.as_psi(i) = 0.0f;
    a.as_hbt(i).clear_bytes();
    a.as_id_psi(i).clear_bytes();
  }
}
