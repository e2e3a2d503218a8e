// Fuzz target: a whole keyword stream on standard input through the parser,
// line by line until its end, as a program reads its keywords.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_input.h"
#include "runtime/array.h"
#include "runtime/fixed_text.h"
#include "suite/ptq7_parser_f.h"

namespace {

// The keyword arrays of a program, at the capacity programs ask for.
struct Keywords {
  static constexpr int kTokens = 200;
  rt::FixedText<4> key;
  rt::FixedText<800> line;
  rt::Array1<int32_t, kTokens> ibeg, iend, ityp, idec;
  rt::Array1<float, kTokens> fvalue;
  rt::Array1<rt::FixedText<4>, kTokens> cvalue;
};

Keywords kw;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FILE* in = fmemopen(const_cast<uint8_t*>(data), size, "r");
  if (in == nullptr) return 0;  // an empty input has no stream
  FILE* saved = stdin;
  stdin = in;
  parser_state_reset_for_tests();
  fuzz::run_reader([&] {
    // A stream of n bytes holds at most n + 1 lines: the bound keeps a parser
    // that stops consuming input from holding the target.
    for (std::size_t lines = 0; lines <= size + 1; ++lines) {
      kw.key.blank();
      kw.line.blank();
      int32_t ntok = Keywords::kTokens;
      bool lend = false;
      parser_(kw.key, kw.line, kw.ibeg.data(), kw.iend.data(), kw.ityp.data(), kw.fvalue.data(),
              kw.cvalue.data(), kw.idec.data(), ntok, lend, false);
      if (lend) break;
    }
  });
  stdin = saved;
  std::fclose(in);
  parser_state_reset_for_tests();
  return 0;
}
