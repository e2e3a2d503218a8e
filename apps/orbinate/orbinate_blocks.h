// The shared blocks of the TLS group program: the TLS group definitions
// read from the keywords (`tls_char`, `tls_int`); the run options of the
// coordinate code (`make_params`) that it sets stand in the foundation.
#pragma once

#include <cstdint>

#include "foundation/make_params.h"
#include "runtime/array.h"
#include "runtime/fixed_text.h"

inline constexpr int MAXGROUP_TLS = 500;  // defined groups
inline constexpr int MAXPIECES = 500;     // chain identifiers of one group
inline constexpr int NPARS = 500;         // tokens of one keyword line
// Characters of one keyword line: room for a group of every chain the
// words of a line can name.
inline constexpr int KEYWORD_LINE = 4000;

// Filled and read by the TLS group program (apps).
struct tls_char_t {
  rt::FixedText<1> tls_define_flag;  // 'C' one group per chain, 'D' defined groups
  rt::Array2<rt::FixedText<4>, MAXGROUP_TLS, MAXPIECES> chains_gr;  // (group, piece)
};
extern tls_char_t tls_char;

// Filled and read by the TLS group program (apps).
struct tls_int_t {
  int32_t ngroup_tls;
  rt::Array1<int32_t, MAXGROUP_TLS> ntls_pieces;
};
extern tls_int_t tls_int;

void set_tessran_params_();
void tls_instructions_();
void tessran_kavlin1_();
void write_tls_params_();
