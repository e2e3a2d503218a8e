// Start-up of a tool of the code base: quiet flag, program name, the
// documentation code derived from the caller's message code, and the resets
// of the shared tables.
#pragma once

#include <cstdint>

#include "runtime/fixed_text.h"

// Writes comlib.
void start_(int32_t ig, int32_t& mdoc, rt::TextRef prog);
// The documentation code that start_ derives from a message code.
int32_t doc_code_(int32_t mdoc);
