// Whether a PDB file carries segment identifiers at all.
#pragma once

#include <string_view>

namespace coords {

// True when some ATOM or HETATM line has a non-blank segment identifier
// (columns 73-76), and when the file cannot be read (the reader then
// reports that itself).  False also when every atom line holds the entry
// code of the HEADER record there, as files of the older format do.
bool pdb_has_segment_ids(std::string_view file);

}  // namespace coords
