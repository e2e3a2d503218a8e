// The used length of wide blank-padded texts.
#include "runtime/fixed_text.h"

#include <cstdint>
#include <cstring>

int rt::len_trim_wide(std::string_view s) {
  int n = static_cast<int>(s.size());
  // Eight characters at a time while all are blanks or zero bytes: a wide
  // field (an mmCIF value's eighty columns) is mostly padding.
  constexpr uint64_t kBlanks = 0x2020202020202020ull;
  for (uint64_t w; n >= 8 && (std::memcpy(&w, s.data() + n - 8, 8), (w | kBlanks) == kBlanks);)
    n -= 8;
  while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0')) --n;
  return n;
}
