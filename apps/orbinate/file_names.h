// File names taken from logical names into the program's fixed fields.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/fixed_text.h"
#include "runtime/format.h"
#include "runtime/run.h"
#include "suite/library_f.h"

// The file name of logical name lognam.  A name longer than the field would
// be cut and could name another file, so the run is refused instead.
template <int N>
void logical_file_name(std::string_view lognam, rt::FixedText<N>& field) {
  const char* value = std::getenv(std::string(lognam).c_str());
  if (value != nullptr && std::strlen(value) > static_cast<std::size_t>(N)) {
    rt::write_list(6, "Error: File name of " + std::string(lognam) + " is longer than " +
                          std::to_string(N) + " characters");
    rt::stop_run(1);
  }
  ugtenv_(lognam, field);
}
