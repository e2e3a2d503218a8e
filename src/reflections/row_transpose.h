// Reflection rows into columns: the one hand-vectorised step of the
// reflection-file reader, where the reader spends most of its own time.  It
// exists twice: in SSE2 (namespace simd) and as plain code (namespace plain)
// that stores the same values bit for bit.  The reader calls
// reflections::row_transpose::columns, which is the SSE2 one where the
// compiler targets SSE2 and ORB_ROW_TRANSPOSE_PLAIN is not defined, the plain
// one otherwise; both are compiled and compared with each other by the tests.
//
// columns(in, ncol, rows, out, nout) stores value k of each of `rows` rows of
// ncol values into out[k][0 .. rows-1], for k < nout <= ncol.  Values are
// moved as bits: a signalling NaN or the missing-number pattern arrives
// unchanged.
#pragma once

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__SSE2__) && !defined(ORB_ROW_TRANSPOSE_PLAIN)
#define ORB_ROW_TRANSPOSE_SIMD 1
#else
#define ORB_ROW_TRANSPOSE_SIMD 0
#endif

namespace reflections::row_transpose {

// Rows from `from` on, one value at a time.
inline void rest(const float* in, std::size_t ncol, std::size_t from, std::size_t rows,
                 float* const* out, std::size_t nout) {
  in += from * ncol;
  for (std::size_t r = from; r < rows; ++r, in += ncol)
    for (std::size_t k = 0; k < nout; ++k) std::memcpy(out[k] + r, in + k, sizeof(float));
}

#if !ORB_ROW_TRANSPOSE_SIMD
inline
#endif
    namespace plain {

inline void columns(const float* in, std::size_t ncol, std::size_t rows, float* const* out,
                    std::size_t nout) {
  rest(in, ncol, 0, rows, out, nout);
}

}  // namespace plain

// Built wherever the compiler targets SSE2, chosen or not, so that the tests
// compare it with the plain code in every build.
#if defined(__SSE2__)
#if ORB_ROW_TRANSPOSE_SIMD
inline
#endif
    namespace simd {

// Blocks of four rows by four columns, turned with integer shuffles so that
// no value passes through a floating-point operation.  Where nout is not a
// multiple of four the last block of columns starts at nout - 4 and stores
// some values a second time, the same values.
inline void columns(const float* in, std::size_t ncol, std::size_t rows, float* const* out,
                    std::size_t nout) {
  const std::size_t whole = nout >= 4 ? rows / 4 * 4 : 0;
  for (std::size_t r = 0; r < whole; r += 4) {
    const float* p = in + r * ncol;
    for (std::size_t k0 = 0; k0 < nout; k0 += 4) {
      const std::size_t k = k0 + 4 <= nout ? k0 : nout - 4;
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + ncol + k));
      const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * ncol + k));
      const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 3 * ncol + k));
      const __m128i ab_lo = _mm_unpacklo_epi32(a, b), ab_hi = _mm_unpackhi_epi32(a, b);
      const __m128i cd_lo = _mm_unpacklo_epi32(c, d), cd_hi = _mm_unpackhi_epi32(c, d);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out[k] + r), _mm_unpacklo_epi64(ab_lo, cd_lo));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out[k + 1] + r),
                       _mm_unpackhi_epi64(ab_lo, cd_lo));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out[k + 2] + r),
                       _mm_unpacklo_epi64(ab_hi, cd_hi));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out[k + 3] + r),
                       _mm_unpackhi_epi64(ab_hi, cd_hi));
    }
  }
  rest(in, ncol, whole, rows, out, nout);
}

}  // namespace simd
#endif

}  // namespace reflections::row_transpose
