// Vector and square-matrix kit over raw column-major storage.
#include "numeric/vecmat_kit.h"

#include <string>
#include <string_view>

#include "foundation/errwrt.h"
#include "runtime/run.h"

namespace {

// A size that does not fit the vector is a programming error of the caller:
// the error writer reports it and ends the run.
[[noreturn]] void size_fatal(std::string_view msg) {
  errwrt_(1, msg);
  rt::stop_run(1);
}

inline long at(int32_t np, int32_t i, int32_t j) {
  return static_cast<long>(i - 1) + static_cast<long>(j - 1) * np;
}

inline bool bad_order(int32_t np, int32_t n) { return n < 1 || n > np; }

}  // namespace

void init_vec_(int32_t size, float* vec, float value) {
  for (int32_t i = 1; i <= size; ++i) vec[i - 1] = value;
}

void init_vecn_(int32_t size, int32_t* vecn, int32_t valuen) {
  for (int32_t i = 1; i <= size; ++i) vecn[i - 1] = valuen;
}

void veccopy_r_(int32_t n, int32_t nmax, float* vec_out, float alpha, const float* vec_in) {
  if (n > nmax) size_fatal("Size mismatch in VECCOPY_R");
  if (alpha == 1.0f) {
    for (int32_t i = 1; i <= n; ++i) vec_out[i - 1] = vec_in[i - 1];
  } else {
    for (int32_t i = 1; i <= n; ++i) vec_out[i - 1] = alpha * vec_in[i - 1];
  }
}

void avecpvec_r_(int32_t n, int32_t nmax, float alpha, const float* vec1, const float* vec2,
                 float* vec_out, int32_t& ierror) {
  if (n < 1 || n > nmax) size_fatal("Size mismatch In AVECPVEC");
  ierror = 0;
  if (alpha == 0.0f) {
    for (int32_t i = 1; i <= n; ++i) vec_out[i - 1] = vec2[i - 1];
  } else if (alpha == 1.0f) {
    for (int32_t i = 1; i <= n; ++i) vec_out[i - 1] = vec1[i - 1] + vec2[i - 1];
  } else {
    for (int32_t i = 1; i <= n; ++i) vec_out[i - 1] = alpha * vec1[i - 1] + vec2[i - 1];
  }
}

float dot_r_(int32_t n, int32_t nmax, const float* vec1, const float* vec2) {
  if (n < 1 || n > nmax) size_fatal("Size mismatch in DOT_R");
  float s = 0.0f;
  for (int32_t i = 1; i <= n; ++i) s += vec1[i - 1] * vec2[i - 1];
  return s;
}

float dot1_r_(int32_t n, int32_t nmax, const float* vec1, const float* vec2) {
  if (n < 1 || n > nmax) size_fatal("Size mismatch in DOT_R");
  double s = 0.0;
  for (int32_t i = 1; i <= n; ++i)
    s += static_cast<double>(vec1[i - 1]) * static_cast<double>(vec2[i - 1]);
  return static_cast<float>(s);
}

void mat2ident_(int32_t np, int32_t n, float* amat, bool& error) {
  error = bad_order(np, n);
  if (error) return;
  for (int32_t j = 1; j <= n; ++j)
    for (int32_t i = 1; i <= n; ++i) amat[at(np, i, j)] = i == j ? 1.0f : 0.0f;
}

void mat2vec_(int32_t np, int32_t n, const float* amat, const float* avec_in, float* avec_out,
              bool& error) {
  error = bad_order(np, n);
  if (error) return;
  for (int32_t i = 1; i <= n; ++i) avec_out[i - 1] = 0.0f;
  for (int32_t j = 1; j <= n; ++j)
    for (int32_t i = 1; i <= n; ++i) avec_out[i - 1] += amat[at(np, i, j)] * avec_in[j - 1];
}

void mat2vect_(int32_t np, int32_t n, const float* amat, const float* avec_in, float* avec_out,
               bool& error) {
  error = bad_order(np, n);
  if (error) return;
  for (int32_t j = 1; j <= n; ++j) {
    float s = 0.0f;
    for (int32_t i = 1; i <= n; ++i) s += amat[at(np, i, j)] * avec_in[i - 1];
    avec_out[j - 1] = s;
  }
}

void imat2vect_(int32_t np, int32_t n, const int32_t* amat, const int32_t* avec_in,
                int32_t* avec_out, bool& error) {
  error = bad_order(np, n);
  if (error) return;
  for (int32_t j = 1; j <= n; ++j) {
    // Unsigned arithmetic: an overflowing sum wraps as 32-bit integer
    // hardware does instead of being undefined.
    uint32_t s = 0;
    for (int32_t i = 1; i <= n; ++i)
      s += static_cast<uint32_t>(amat[at(np, i, j)]) * static_cast<uint32_t>(avec_in[i - 1]);
    avec_out[j - 1] = static_cast<int32_t>(s);
  }
}

void mattrans_(int32_t np, int32_t n, const float* amat, float* amat_out, bool& error) {
  error = bad_order(np, n);
  if (error) return;
  // Each off-diagonal pair is read before either element is written, which is
  // what makes the transpose correct when input and output are one array.
  for (int32_t j = 2; j <= n; ++j)
    for (int32_t i = 1; i < j; ++i) {
      const float upper = amat[at(np, i, j)];
      amat_out[at(np, i, j)] = amat[at(np, j, i)];
      amat_out[at(np, j, i)] = upper;
    }
  for (int32_t i = 1; i <= n; ++i) amat_out[at(np, i, i)] = amat[at(np, i, i)];
}

namespace {

// out = op1(a) * op2(b), accumulated with k outermost, ascending.
template <bool TA, bool TB>
void product_k_outer(int32_t np, int32_t n, const float* a, const float* b, float* out) {
  for (int32_t j = 1; j <= n; ++j)
    for (int32_t i = 1; i <= n; ++i) out[at(np, i, j)] = 0.0f;
  for (int32_t k = 1; k <= n; ++k)
    for (int32_t j = 1; j <= n; ++j) {
      const float bkj = TB ? b[at(np, j, k)] : b[at(np, k, j)];
      for (int32_t i = 1; i <= n; ++i) {
        const float aik = TA ? a[at(np, k, i)] : a[at(np, i, k)];
        out[at(np, i, j)] += aik * bkj;
      }
    }
}

}  // namespace

void mat2mat_(int32_t np, int32_t n, const float* amat1, const float* amat2, float* amat_out,
              bool& error) {
  error = bad_order(np, n);
  if (error) return;
  product_k_outer<false, false>(np, n, amat1, amat2, amat_out);
}

void matt2mat_(int32_t np, int32_t n, const float* amat1, const float* amat2, float* amat_out,
               bool& error) {
  error = bad_order(np, n);
  if (error) return;
  product_k_outer<true, false>(np, n, amat1, amat2, amat_out);
}

void matt2matt_(int32_t np, int32_t n, const float* amat1, const float* amat2, float* amat_out,
                bool& error) {
  error = bad_order(np, n);
  if (error) return;
  product_k_outer<true, true>(np, n, amat1, amat2, amat_out);
}

void mat2matt_(int32_t np, int32_t n, const float* amat1, const float* amat2, float* amat_out,
               bool& error) {
  error = bad_order(np, n);
  if (error) return;
  for (int32_t j = 1; j <= n; ++j)
    for (int32_t i = 1; i <= n; ++i) {
      float s = 0.0f;
      for (int32_t k = 1; k <= n; ++k) s += amat1[at(np, i, k)] * amat2[at(np, j, k)];
      amat_out[at(np, i, j)] = s;
    }
}

namespace {

inline long slab(int32_t np, int32_t k) { return static_cast<long>(k - 1) * np * np; }

}  // namespace

void put_k_matrix_(int32_t np, int32_t n, int32_t nmax, const float* r_in, float* r_out,
                   int32_t k, bool& error) {
  error = bad_order(np, n) || k < 1 || k > nmax;
  if (error) return;
  float* dst = r_out + slab(np, k);
  for (int32_t j = 1; j <= n; ++j)
    for (int32_t i = 1; i <= n; ++i) dst[at(np, i, j)] = r_in[at(np, i, j)];
}

void get_k_matrix_(int32_t np, int32_t n, int32_t nmax, const float* r_in, float* r_out,
                   int32_t k, bool& error) {
  error = bad_order(np, n) || k < 1 || k > nmax;
  if (error) return;
  const float* src = r_in + slab(np, k);
  for (int32_t j = 1; j <= n; ++j)
    for (int32_t i = 1; i <= n; ++i) r_out[at(np, i, j)] = src[at(np, i, j)];
}
