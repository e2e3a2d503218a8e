// A pass over the atom lines of a PDB file for segment identifiers, made
// only when they were asked for: the chain decisions of the reader depend
// on the choice from the first atom on, so it has to be known before.
#include "coords/pdb_segids.h"

#include <string>

#include "runtime/units.h"

namespace coords {

bool pdb_has_segment_ids(std::string_view file) {
  const int unit = rt::open_to_look(file);
  if (unit == 0) return true;
  std::string rec;
  // Files of the format before segment identifiers carry the entry code of
  // the HEADER record (columns 63-66) in columns 73-76 of every line: one
  // code on every atom line, and that code, is no segment.
  std::string code;
  bool header_seen = false, all_code = true, any_atom = false, found = false;
  while (rt::read_record(unit, rec, 80) == rt::IOSTAT_OK) {
    if (!header_seen && rec.compare(0, 6, "HEADER") == 0) {
      header_seen = true;
      code = rec.size() >= 66 ? rec.substr(62, 4) : std::string();
      if (code.find_first_not_of(' ') == std::string::npos) code.clear();
      continue;
    }
    if (rec.compare(0, 4, "ATOM") != 0 && rec.compare(0, 6, "HETATM") != 0) continue;
    any_atom = true;
    const std::string seg = rec.size() > 72 ? rec.substr(72, 4) : std::string();
    if (seg.find_first_not_of(' ') != std::string::npos) found = true;
    if (code.empty() || seg != code) all_code = false;
    // Once a line holds an identifier and another line does not hold the
    // entry code, the answer cannot change.
    if (found && !all_code) break;
  }
  rt::unit_close(unit);
  return found && !(any_atom && all_code);
}

}  // namespace coords
