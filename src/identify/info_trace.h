// The trace of the model's link and modification tables, for following
// identification and connectivity step by step.
#pragma once

#include <cstdint>

// Lists link_inf (four lines a link) and mod_inf (two lines a row) between
// headers through msgdoc_(md, ...); nothing when |md| >= 99.  Writes nothing
// shared.
void print_info_test_(int32_t md);
