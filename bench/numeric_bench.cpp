// The symmetric eigen-solver on a dense 500 x 500 matrix, against Eigen's
// SelfAdjointEigenSolver on the same matrix (eigenvalues must agree to 1e-10
// relative to the largest), and the conjugate-gradient solver on a shifted
// five-point Laplacian of 10^5 unknowns through the caller's product,
// against a bare loop of the same iteration.  The ratios are printed after
// the runs.  ORB_BENCH_BRIEF=1 (the brief run in CI) shrinks both problems.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <Eigen/Eigenvalues>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "numeric/cg_solvers.h"
#include "numeric/sym_eigen.h"
#include "quiet_stdout.h"

namespace {

bool brief() { return std::getenv("ORB_BENCH_BRIEF") != nullptr; }
const int kOrder = brief() ? 60 : 500;
const int kGridX = brief() ? 50 : 250, kGridY = brief() ? 40 : 400;

// Seconds per iteration of each benchmark that ran, for the closing ratios.
std::map<std::string, double> seconds_per_iteration;

class Timer {
 public:
  explicit Timer(const char* name) : name_(name), t0_(std::chrono::steady_clock::now()) {}
  void done(const benchmark::State& state) {
    const std::chrono::duration<double> dt = std::chrono::steady_clock::now() - t0_;
    if (state.iterations() > 0) seconds_per_iteration[name_] = dt.count() / state.iterations();
  }

 private:
  const char* name_;
  std::chrono::steady_clock::time_point t0_;
};

// A dense symmetric matrix with entries uniform in [-1, 1], column-major.
const std::vector<double>& dense_matrix() {
  static const std::vector<double> a = [] {
    std::mt19937 gen(20261207);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> m(static_cast<size_t>(kOrder) * kOrder);
    for (int j = 0; j < kOrder; ++j)
      for (int i = 0; i <= j; ++i) m[i + j * kOrder] = m[j + i * kOrder] = u(gen);
    return m;
  }();
  return a;
}

void BM_SymEigen_dsyev_mo(benchmark::State& state) {
  const std::vector<double>& a = dense_matrix();
  std::vector<double> q(a.size()), d(kOrder), e(kOrder);
  // Agreement with the reference solver, checked once outside the timing.
  {
    q = a;
    int32_t info = 0;
    dsyev_mo_('V', 'U', kOrder, q.data(), kOrder, d.data(), e.data(), kOrder, info);
    const Eigen::Map<const Eigen::MatrixXd> m(a.data(), kOrder, kOrder);
    const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> ref(m, Eigen::EigenvaluesOnly);
    const Eigen::VectorXd& w = ref.eigenvalues();
    const double scale = w.cwiseAbs().maxCoeff();
    double worst = 0;
    for (int k = 0; k < kOrder; ++k) worst = std::max(worst, std::fabs(d[k] - w(k)) / scale);
    state.counters["max_rel_diff"] = worst;
    if (info != 0 || !(worst <= 1e-10)) {
      state.SkipWithError("eigenvalues disagree with the reference solver");
      return;
    }
  }
  Timer timer("dsyev_mo");
  for (auto _ : state) {
    std::copy(a.begin(), a.end(), q.begin());
    int32_t info = 0;
    dsyev_mo_('V', 'U', kOrder, q.data(), kOrder, d.data(), e.data(), kOrder, info);
    benchmark::DoNotOptimize(d.data());
  }
  timer.done(state);
}
BENCHMARK(BM_SymEigen_dsyev_mo)->Unit(benchmark::kMillisecond);

void BM_SymEigen_EigenSelfAdjoint(benchmark::State& state) {
  const std::vector<double>& a = dense_matrix();
  Eigen::MatrixXd m(kOrder, kOrder);
  Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(kOrder);
  Timer timer("Eigen");
  for (auto _ : state) {
    std::copy(a.begin(), a.end(), m.data());
    solver.compute(m, Eigen::ComputeEigenvectors);
    benchmark::DoNotOptimize(solver.eigenvalues().data());
  }
  timer.done(state);
}
BENCHMARK(BM_SymEigen_EigenSelfAdjoint)->Unit(benchmark::kMillisecond);

// (4 + 0.1) I minus the four grid neighbours, on a kGridX x kGridY grid.
constexpr float kDiag = 4.1f;

void laplacian(int32_t nv, const float* x, float* f) {
  for (int32_t k = 0; k < nv; ++k) {
    const int32_t i = k % kGridX, j = k / kGridX;
    float s = kDiag * x[k];
    if (i > 0) s -= x[k - 1];
    if (i < kGridX - 1) s -= x[k + 1];
    if (j > 0) s -= x[k - kGridX];
    if (j < kGridY - 1) s -= x[k + kGridX];
    f[k] = s;
  }
}

void no_scaling(int32_t, int32_t, float*, float*, float*, float*, float*, int32_t, int32_t&) {}
void multiply(int32_t nv, int32_t, const float* x, float*, float* f, float*, int32_t, int32_t&) {
  laplacian(nv, x, f);
}
void no_shift_scaling(int32_t, int32_t, float*, float*, int32_t&) {}

constexpr float kToler = 1e-5f;
constexpr int32_t kCycles = 500;

std::vector<float> right_hand_side(int32_t nv) {
  std::vector<float> v(nv);
  for (int32_t k = 0; k < nv; ++k) v[k] = std::sin(0.001f * static_cast<float>(k)) + 1.0f;
  return v;
}

void BM_ConjugateGradient_cgsol_r(benchmark::State& state) {
  const int32_t nv = kGridX * kGridY;
  std::vector<float> v = right_hand_side(nv), dv(nv), r(nv), p(nv), f(nv), sk(1), a(1), ws(1);
  QuietStdout quiet;
  Timer timer("cgsol_r");
  for (auto _ : state) {
    float toler = kToler;
    int32_t ierror = 0;
    cgsol_r_(nv, nv, kCycles, toler, a.data(), v.data(), dv.data(), r.data(), sk.data(), p.data(),
             f.data(), ws.data(), 1, no_scaling, multiply, no_shift_scaling, no_scaling, ierror);
    benchmark::DoNotOptimize(dv.data());
  }
  timer.done(state);
}
BENCHMARK(BM_ConjugateGradient_cgsol_r)->Unit(benchmark::kMillisecond);

// The same iteration written out with plain loops.
void BM_ConjugateGradient_BareLoop(benchmark::State& state) {
  const int32_t nv = kGridX * kGridY;
  std::vector<float> v = right_hand_side(nv), dv(nv), r(nv), p(nv), f(nv);
  auto dot = [nv](const std::vector<float>& x, const std::vector<float>& y) {
    float s = 0;
    for (int32_t k = 0; k < nv; ++k) s += x[k] * y[k];
    return s;
  };
  int iterations = 0;
  Timer timer("bare loop");
  for (auto _ : state) {
    const float limit = kToler * std::sqrt(dot(v, v));
    std::fill(dv.begin(), dv.end(), 0.0f);
    r = v;
    float rho = dot(r, r), rho_old = 0;
    for (int it = 1; it <= kCycles; ++it) {
      const float beta = it == 1 ? 0.0f : rho / rho_old;
      for (int32_t k = 0; k < nv; ++k) p[k] = beta * p[k] + r[k];
      laplacian(nv, p.data(), f.data());
      const float alpha = rho / dot(p, f);
      for (int32_t k = 0; k < nv; ++k) dv[k] += alpha * p[k];
      for (int32_t k = 0; k < nv; ++k) r[k] -= alpha * f[k];
      rho_old = rho;
      rho = dot(r, r);
      iterations = it;
      if (std::sqrt(rho) < limit) break;
    }
    benchmark::DoNotOptimize(dv.data());
  }
  timer.done(state);
  state.counters["iterations"] = iterations;
}
BENCHMARK(BM_ConjugateGradient_BareLoop)->Unit(benchmark::kMillisecond);

void print_ratio(const char* what, const char* ours, const char* base) {
  const auto a = seconds_per_iteration.find(ours), b = seconds_per_iteration.find(base);
  if (a == seconds_per_iteration.end() || b == seconds_per_iteration.end()) return;
  std::printf("%s: %s / %s = %.2f\n", what, ours, base, a->second / b->second);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  print_ratio("symmetric eigen-solver", "dsyev_mo", "Eigen");
  print_ratio("conjugate gradients", "cgsol_r", "bare loop");
  return 0;
}
