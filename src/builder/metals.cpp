// The metal table.  It is wider than chemistry's metals on purpose: every
// element that never takes part in an ordinary covalent bond pattern of the
// builder (the heavier halogens and metalloids, the noble gases) is typed,
// bonded and checked as a metal.  The table is the heavy-element list of the
// atom names.
#include "builder/metals.h"

#include "foundation/atom_names.h"

bool is_it_metal_(std::string_view symb) {
  // A symbol shorter than two characters is blank-padded, as a field would be.
  char two[2] = {' ', ' '};
  for (std::size_t i = 0; i < 2 && i < symb.size(); ++i) two[i] = symb[i];
  return is_heavy_element(two[0], two[1]);
}
