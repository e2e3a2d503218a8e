// Records fed to a library filler item by item, as the readers hand them:
// value i of the row with its item name, integer and real readings.
#pragma once

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "foundation/cif_tokeniser.h"
#include "support/capture.h"

namespace fill {

using Row = std::vector<std::pair<std::string, std::string>>;
using Filler = void (*)(int32_t, int32_t, std::string_view, int32_t, std::string_view, int32_t,
                        std::string_view, int32_t, float, int32_t, int32_t&);

// Feeds the row to the filler; stops at the first error.  Returns the
// status, with the messages in out.
inline int32_t feed(Filler f, const Row& row, std::string& out,
                    const std::string& block = "data_comp_TST") {
  int32_t ierr = 0;
  comcif_info.n_cif = static_cast<int32_t>(row.size());
  out = captured([&] {
    for (std::size_t k = 0; k < row.size() && ierr == 0; ++k) {
      const std::string& v = row[k].second;
      const int32_t idata = static_cast<int32_t>(std::strtol(v.c_str(), nullptr, 10));
      const float fdata = std::strtof(v.c_str(), nullptr);
      f(0, static_cast<int32_t>(k + 1), block, static_cast<int32_t>(block.size()), row[k].first,
        static_cast<int32_t>(row[k].first.size()), v, idata, fdata,
        static_cast<int32_t>(v.size()), ierr);
    }
  });
  return ierr;
}

// A row of one category: the names are prefixed with the category and a dot.
inline Row row(const std::string& category,
               std::initializer_list<std::pair<const char*, const char*>> items) {
  Row r;
  for (const auto& [name, value] : items) r.emplace_back(category + "." + name, value);
  return r;
}

}  // namespace fill
