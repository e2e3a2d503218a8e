// A pass over the atom lines of a PDB file for segment identifiers, made
// only when they were asked for: the chain decisions of the reader depend
// on the choice from the first atom on, so it has to be known before.
#include "coords/pdb_segids.h"

#include <string>

#include "runtime/units.h"

namespace coords {

bool pdb_has_segment_ids(std::string_view file) {
  const int unit = rt::free_unit(10, 99);
  rt::OpenOptions opt;
  opt.status = rt::OpenStatus::Old;
  opt.readonly = true;
  if (unit < 1 || rt::unit_open(unit, file, opt) != 0) return true;
  std::string rec;
  bool found = false;
  // Only columns 1-76 are looked at.
  while (!found && rt::read_record(unit, rec, 80) == rt::IOSTAT_OK) {
    if (rec.compare(0, 4, "ATOM") != 0 && rec.compare(0, 6, "HETATM") != 0) continue;
    for (std::size_t k = 72; k < 76 && k < rec.size() && !found; ++k) found = rec[k] != ' ';
  }
  rt::unit_close(unit);
  return found;
}

}  // namespace coords
