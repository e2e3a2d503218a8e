// Eigenvalue-filtered inverses and shifts of a second-derivative matrix.
#include "numeric/eigen_filters.h"

#include <algorithm>
#include <cmath>

#include "numeric/machine_params.h"
#include "numeric/sym_eigen.h"
#include "numeric/vecmat_kit.h"
#include "runtime/format.h"
#include "runtime/run.h"

namespace {

// The size handed to the solver, its info and the kit's error flag of the
// last call.
struct FilterState {
  int32_t nsize;
  int32_t info;
  bool flag;
};
FilterState filter_state;

inline long at(int32_t ld, int32_t i, int32_t j) {
  return static_cast<long>(i - 1) + static_cast<long>(j - 1) * ld;
}

// Filtered values from an unfinished decomposition (or from one never made,
// when the solver refused its arguments) would be meaningless: the run
// cannot go on.
void stop_unless_solved(const char* problem) {
  if (filter_state.info == 0) return;
  rt::write_list(6, problem, filter_state.info);
  rt::stop_run(1);
}

// The solver call shared by the two double-precision filters.
void decompose(double* d2f, int32_t nparam, int32_t nmaxpar, double* workspace,
               int32_t nworkspace, const char* problem) {
  filter_state.nsize = nparam;
  dsyev_mo_('V', 'U', filter_state.nsize, d2f, nmaxpar, workspace, workspace + nmaxpar,
            nworkspace - nmaxpar, filter_state.info);
  stop_unless_solved(problem);
}

}  // namespace

void deigen_filter_inverse_r_(double rank, double* d2f, int32_t nparam, int32_t nmaxpar,
                              double* d_inv, double* workspace, int32_t nworkspace) {
  const double sfmin = dlamch_('S');
  decompose(d2f, nparam, nmaxpar, workspace, nworkspace, "Problem in deigen_filter_inverse_r");
  if (nparam < 1) return;
  const int32_t n = nparam;
  const double tau = std::max(std::fabs(workspace[n - 1]) * rank, sfmin);
  for (int32_t i = 0; i < n; ++i) workspace[i] = workspace[i] > tau ? 1.0 / workspace[i] : 0.0;
  for (int32_t j = 1; j <= n; ++j)
    for (int32_t i = 1; i <= n; ++i) {
      double s = 0.0;
      for (int32_t k = 1; k <= n; ++k)
        s += d2f[at(nmaxpar, i, k)] * d2f[at(nmaxpar, j, k)] * workspace[k - 1];
      d_inv[at(nmaxpar, i, j)] = s;
    }
}

void deigen_filter_r_(double rank, double* d2f, int32_t nparam, int32_t nmaxpar, const double* df,
                      double* shifts, double* workspace, int32_t nworkspace) {
  const double sfmin = dlamch_('S');
  decompose(d2f, nparam, nmaxpar, workspace, nworkspace, "Problem in deigen_filter_r");
  if (nparam < 1) return;
  const int32_t n = nparam;
  double* g = workspace + n;
  for (int32_t j = 1; j <= n; ++j) {
    double s = 0.0;
    for (int32_t k = 1; k <= n; ++k) s += d2f[at(nmaxpar, k, j)] * df[k - 1];
    g[j - 1] = s;
  }
  const double tau = std::max(std::fabs(workspace[n - 1]) * rank, sfmin);
  for (int32_t i = 0; i < n; ++i) {
    const bool kept = workspace[i] > tau;
    g[i] = kept ? g[i] / workspace[i] : 0.0;
    workspace[i] = kept ? 1.0 / workspace[i] : 0.0;
  }
  for (int32_t i = 1; i <= n; ++i) {
    double s = 0.0;
    for (int32_t j = 1; j <= n; ++j) s += d2f[at(nmaxpar, i, j)] * g[j - 1];
    shifts[i - 1] = s;
  }
}

void eigen_filter_r_(float rank, float* d2f, int32_t nparam, int32_t nmaxpar, const float* df,
                     float* shifts, float* workspace, int32_t nworkspace) {
  const float sfmin = slamch_('S');
  filter_state.nsize = nparam;
  ssyev_mo_('V', 'U', filter_state.nsize, d2f, nmaxpar, workspace, workspace + nmaxpar,
            nworkspace - nmaxpar, filter_state.info);
  stop_unless_solved("Problem in eigen_filter_r");
  if (nparam < 1) return;
  const int32_t n = nparam;
  float* g = workspace + n;
  mat2vect_(nmaxpar, n, d2f, df, g, filter_state.flag);
  const float tau = std::max(std::fabs(workspace[n - 1]) * rank, sfmin);
  for (int32_t i = 0; i < n; ++i) {
    const bool kept = workspace[i] > tau;
    g[i] = kept ? g[i] / workspace[i] : 0.0f;
    workspace[i] = kept ? 1.0f / workspace[i] : 0.0f;
  }
  mat2vec_(nmaxpar, n, d2f, g, shifts, filter_state.flag);
}
