// Bonds from coordinates.  A monomer is tiled from copies of alanine (ideal
// coordinates of the wwPDB chemical component ALA, 13 atoms with hydrogens)
// set 8 Angstrom apart on a cubic lattice.
//  - BM_CloseAtomPairs: the neighbour grid on 500, 1 000 and 2 000 atoms,
//    each close pair measured and tested against the limit of its atom
//    classes; x_all_pairs is the ratio to a bare all-pairs loop doing the same
//    tests on the same atoms in the same run, per_atom_ns shows the growth.
//  - BM_BondsFromCoordinates: the whole routine on a 299-atom description
//    (23 copies, within the work description's 300 atoms) against a bare
//    all-pairs bond search that stores the same rows (x_bare).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "dictionary/lib_com.h"
#include "dictionary/neighbour_grid.h"
#include "dictionary/new_bonds.h"
#include "foundation/messages.h"

namespace {

struct Atom {
  const char* name;
  char cls;
  float x, y, z;
};
// Ideal coordinates of ALA from the wwPDB chemical component dictionary.
constexpr Atom kAla[13] = {
    {"N", 'C', -0.966f, 0.493f, 1.500f},   {"CA", 'C', 0.257f, 0.418f, 0.692f},
    {"C", 'C', -0.094f, 0.017f, -0.716f},  {"O", 'C', -1.056f, -0.682f, -0.923f},
    {"CB", 'C', 1.204f, -0.620f, 1.296f},  {"OXT", 'C', 0.661f, 0.439f, -1.742f},
    {"H", 'H', -1.383f, -0.425f, 1.482f},  {"H2", 'H', -0.676f, 0.661f, 2.452f},
    {"HA", 'H', 0.746f, 1.392f, 0.682f},   {"HB1", 'H', 1.459f, -0.330f, 2.316f},
    {"HB2", 'H', 0.715f, -1.594f, 1.307f}, {"HB3", 'H', 2.113f, -0.676f, 0.697f},
    {"HXT", 'H', 0.435f, 0.182f, -2.647f},
};

struct Tiled {
  std::vector<float> x, y, z;
  std::vector<char> cls;
};

Tiled tile(int natom) {
  Tiled t;
  for (int k = 0; static_cast<int>(t.x.size()) < natom; ++k) {
    const float ox = 8.0f * (k % 6), oy = 8.0f * ((k / 6) % 6), oz = 8.0f * (k / 36);
    for (const Atom& a : kAla) {
      if (static_cast<int>(t.x.size()) == natom) break;
      t.x.push_back(a.x + ox);
      t.y.push_back(a.y + oy);
      t.z.push_back(a.z + oz);
      t.cls.push_back(a.cls);
    }
  }
  return t;
}

float limit(char a, char b) {
  if (a == 'H' || b == 'H') return 1.2f;
  if (a == 'C' && b == 'C') return 1.7f;
  if (a == '$' && b == '$') return 2.85f;
  return 2.4f;
}

bool bonded(const Tiled& t, int i, int j) {
  const float dx = t.x[i - 1] - t.x[j - 1], dy = t.y[i - 1] - t.y[j - 1],
              dz = t.z[i - 1] - t.z[j - 1];
  const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
  return d > 0.001f && d <= limit(t.cls[i - 1], t.cls[j - 1]);
}

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_CloseAtomPairs(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const Tiled t = tile(n);
  static dictionary::NeighbourGrid<2048> grid;
  long pairs = 0, runs = 0;
  double spent = 0.0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    pairs = 0;
    grid.for_each_candidate(n, t.x.data(), t.y.data(), t.z.data(), 2.85f, [&](int i, int j) {
      if (bonded(t, i, j)) ++pairs;
    });
    spent += seconds_since(t0);
    ++runs;
  }
  const auto t0 = std::chrono::steady_clock::now();
  long bare_pairs = 0;
  for (int i = 1; i <= n; ++i)
    for (int j = i + 1; j <= n; ++j)
      if (bonded(t, i, j)) ++bare_pairs;
  const double bare = seconds_since(t0);
  if (bare_pairs != pairs) state.SkipWithError("the grid and the all-pairs loop disagree");
  state.counters["bonds"] = static_cast<double>(pairs);
  state.counters["per_atom_ns"] = spent / runs / n * 1e9;
  state.counters["x_all_pairs"] = bare > 0.0 ? spent / runs / bare : 0.0;
}

void load_l1(const Tiled& t) {
  r_scratch_t& r = r_scratch;
  const int n = static_cast<int>(t.x.size());
  r.l1a_natom = n;
  r.l1l_mname = "ALA";
  char name[16];
  for (int i = 1; i <= n; ++i) {
    std::snprintf(name, sizeof name, "A%d", i);
    r.l1a_aname(i) = name;
    r.l1a_atype(i) = std::string_view(&t.cls[i - 1], 1);
    r.l1a_coor_flag(i) = "Y";
    r.l1a_x(i) = t.x[i - 1];
    r.l1a_y(i) = t.y[i - 1];
    r.l1a_z(i) = t.z[i - 1];
  }
}

// The bare search: every pair tested, the rows stored, nothing else.
void bare_bonds(const Tiled& t) {
  r_scratch_t& r = r_scratch;
  const int n = static_cast<int>(t.x.size());
  int nb = 0;
  for (int i = 1; i <= n; ++i)
    for (int j = i + 1; j <= n; ++j)
      if (bonded(t, i, j) && nb < MAX1BND) {
        ++nb;
        r.l1b_i1atm(nb) = i;
        r.l1b_i2atm(nb) = j;
      }
  r.l1b_nbond = nb;
}

void BM_BondsFromCoordinates(benchmark::State& state) {
  comlib.iquiet = 1;
  const Tiled t = tile(23 * 13);
  load_l1(t);
  long runs = 0;
  double spent = 0.0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    int32_t ierr = 0;
    list_bonds_from_coor_(0, ierr);
    spent += seconds_since(t0);
    ++runs;
    if (ierr != 0) state.SkipWithError("bond search failed");
  }
  const int nbond = r_scratch.l1b_nbond;
  const int reps = 200;
  const auto t0 = std::chrono::steady_clock::now();
  for (int k = 0; k < reps; ++k) bare_bonds(t);
  const double bare = seconds_since(t0) / reps;
  if (r_scratch.l1b_nbond != nbond) state.SkipWithError("the bare search finds other bonds");
  state.counters["bonds"] = nbond;
  state.counters["x_bare"] = bare > 0.0 ? spent / runs / bare : 0.0;
}

}  // namespace

BENCHMARK(BM_CloseAtomPairs)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BondsFromCoordinates)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
