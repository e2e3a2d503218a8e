// Rows into columns: the SSE2 code against the plain code and against the
// rows themselves, over column counts around the four-column blocks, fewer
// columns kept than a row holds, and row counts that leave a partial block.
#include "reflections/row_transpose.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "mtz_image.h"

namespace {

using mtz_test::bits;
using mtz_test::from_bits;

// Row r, value k: patterns that a pass through floating-point registers
// could change (a signalling NaN, the missing number, minus zero, a
// denormal) among ordinary values that name their row and column.
float value(std::size_t r, std::size_t k) {
  const uint32_t odd[] = {0x7F800001u, mtz_test::NAN_WORD, 0x80000000u, 0x00000001u};
  if ((r * 7 + k) % 5 == 0) return from_bits(odd[(r + k) % 4]);
  return static_cast<float>(r * 100 + k);
}

// Columns of `rows` rows of ncol values, nout of them kept, by `turn`.
template <typename Turn>
std::vector<std::vector<uint32_t>> turned(Turn turn, std::size_t ncol, std::size_t nout,
                                          std::size_t rows) {
  std::vector<float> in(rows * ncol);
  for (std::size_t r = 0; r < rows; ++r)
    for (std::size_t k = 0; k < ncol; ++k) in[r * ncol + k] = value(r, k);
  // One spare value behind each column catches a store past its end.
  std::vector<std::vector<float>> cols(nout, std::vector<float>(rows + 1, -7.0f));
  std::vector<float*> out;
  for (auto& c : cols) out.push_back(c.data());
  turn(in.data(), ncol, rows, out.data(), nout);
  std::vector<std::vector<uint32_t>> result;
  for (const auto& c : cols) {
    result.emplace_back();
    for (float v : c) result.back().push_back(bits(v));
  }
  return result;
}

TEST(RowTranspose, EveryValueReachesItsColumnBitForBit) {
  for (std::size_t ncol = 1; ncol <= 13; ++ncol)
    for (std::size_t nout = 1; nout <= ncol; ++nout)
      for (std::size_t rows : {0u, 1u, 3u, 4u, 7u, 8u, 13u}) {
        SCOPED_TRACE(testing::Message()
                     << ncol << " values a row, " << nout << " kept, " << rows << " rows");
        const auto plain = turned(reflections::row_transpose::plain::columns, ncol, nout, rows);
        for (std::size_t k = 0; k < nout; ++k) {
          for (std::size_t r = 0; r < rows; ++r) ASSERT_EQ(plain[k][r], bits(value(r, k)));
          ASSERT_EQ(plain[k][rows], bits(-7.0f)) << "column " << k << " written past its end";
        }
#if defined(__SSE2__)
        ASSERT_EQ(turned(reflections::row_transpose::simd::columns, ncol, nout, rows), plain);
#endif
      }
}

}  // namespace
