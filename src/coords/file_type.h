// Coordinate file type detection: PDB or CIF, from the first lines.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// in_file_pdb is cleaned in place (trailing commas); flag 'P' or 'C';
// ierr 0, 1 for an unusable name, or the opener's status.
// Writes crdinf.
void pdb_or_cif_(int32_t mdoc, rt::TextRef in_file_pdb, rt::FixedText<1>& flag, int32_t& ierr);

namespace coords {

// The compression a file's first bytes show ("gzip", "bzip2", "xz",
// "zstd"), empty for any other file or one that cannot be read.  Such a
// file holds no readable line, so it is named as what it is before any
// reader takes it for a CIF without data.
std::string_view compression_of(std::string_view path);

// True for a file that holds no character but blanks and line ends, as a
// model named /dev/stdin is once the keywords have read the stream to its
// end.  Such a file has no type to name.  False where it cannot be opened.
bool holds_only_blanks(std::string_view path);

}  // namespace coords
