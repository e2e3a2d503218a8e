// The description dump of the builder's trace mode: the L1 work description
// written to the log at three levels of detail.
#pragma once

#include <cstdint>
#include <string_view>

// k 1: counts and atoms; k 2: also neighbour lists and bond rows; any other
// k: neighbour lists, the bond count, and the tree and ring table.  Silent
// when |mdoc| >= 99.  Writes only through msgdoc_; changes nothing.
void write_test_(int32_t mdoc, int32_t k, std::string_view str);
