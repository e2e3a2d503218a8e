// The new-monomer builder on a ligand of about 150 atoms: five units of a
// para-phenylene followed by three ethylene-oxy groups (75 heavy atoms in a
// plane zigzag; the builder adds the 82 hydrogens), entered as atoms with
// coordinates, through the whole driver (bonds, rings, types, hydrogens,
// tree, ideal values, ring correction, hydrogen coordinates; no drawing).
// The baseline sets up the same residue and measures every pair distance
// once, the least a builder of bonds from coordinates must do; x_bare is
// the ratio.
//
// Energy library lengths from Allen et al. (1987), J. Chem. Soc. Perkin
// Trans. 2, S1-S19: aromatic C-C 1.384, C(ar)-C(sp3) 1.510, C-C 1.530,
// C-O ether 1.426, C-H 1.083.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>

#include "builder/creat_new.h"
#include "dictionary/lib_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"

namespace {

constexpr int kUnits = 5;
constexpr int kPerUnit = 15;

struct Pos {
  float x, y, z;
  const char* symb;
};
Pos g_atoms[kUnits * kPerUnit];

void energy_library() {
  r_scratch_t& r = r_scratch;
  r.lea_natom = r.leb_nbond = r.leg_nangl = r.let_ntors = r.les_nsyn = 0;
  auto type = [&](const char* n, const char* e, int sp) {
    const int k = ++r.lea_natom;
    r.lea_aname(k) = n;
    r.lea_ename(k) = e;
    r.lea_sp(k) = sp;
  };
  for (const char* t : {"C", "C1", "CR6", "CR16"}) type(t, "C", 2);
  for (const char* t : {"CH1", "CH2", "CH3"}) type(t, "C", 3);
  for (const char* t : {"O2", "OH1"}) type(t, "O", 3);
  type("H", "H", 0);
  auto bond = [&](const char* t1, const char* t2, float len, const char* t) {
    const int k = ++r.leb_nbond;
    r.leb_1atm(k) = t1;
    r.leb_2atm(k) = t2;
    r.leb_length(k) = len;
    r.leb_type(k) = t;
    for (int e = 1; e <= r.lea_natom; ++e) {
      if (r.lea_aname(e) == t1) r.leb_i1atm(k) = e;
      if (r.lea_aname(e) == t2) r.leb_i2atm(k) = e;
    }
  };
  for (const char* a : {"C", "C1", "CR6", "CR16"})
    for (const char* b : {"C", "C1", "CR6", "CR16"}) bond(a, b, 1.384f, "aromatic");
  for (const char* a : {"C", "CR6"}) bond(a, "CH2", 1.510f, "single");
  bond("CH2", "CH2", 1.530f, "single");
  bond("CH2", "O2", 1.426f, "single");
  bond("CH3", "O2", 1.426f, "single");
  for (const char* a : {"C1", "CR16", "CH2", "CH3", "CH1"}) bond(a, "H", 1.083f, "single");
  bond("OH1", "H", 0.967f, "single");
}

// The heavy atoms: each unit a ring along x, then a zigzag C-C-O-C-C-O-C-C-O
// at 110 degrees.
void coordinates() {
  const float pi = 3.14159265f, zig = 35.0f * pi / 180.0f;
  float x = 0, y = 0;
  int n = 0;
  for (int u = 0; u < kUnits; ++u) {
    x += 1.51f;
    for (int a = 0; a < 6; ++a) {
      const float t = pi + static_cast<float>(a) * pi / 3.0f;
      g_atoms[n++] = {x + 1.39f + 1.39f * std::cos(t), y + 1.39f * std::sin(t), 0, "C"};
    }
    x += 2 * 1.39f;
    for (int c = 0; c < 9; ++c) {
      const bool oxygen = c % 3 == 2;
      const float len = (c == 0) ? 1.51f : (oxygen || c % 3 == 0) ? 1.43f : 1.53f;
      x += len * std::cos(zig);
      y += (c % 2 == 0 ? 1.0f : -1.0f) * len * std::sin(zig);
      g_atoms[n++] = {x, y, 0, oxygen ? "O" : "C"};
    }
  }
}

void residue() {
  r_scratch_t& r = r_scratch;
  r.l1l_mname = "PPH";
  r.l1l_prsnt = "N";
  r.l1l_type = ".";
  r.l1a_natom = r.l1b_nbond = r.l1c_nchir = r.l1p_nplan = 0;
  for (int i = 0; i < kUnits * kPerUnit; ++i) {
    const int a = ++r.l1a_natom;
    r.l1a_aname(a) = std::string(g_atoms[i].symb) + std::to_string(a);
    r.l1a_symb(a) = g_atoms[i].symb;
    r.l1a_chem(a) = ".";
    r.l1a_coor_flag(a) = "Y";
    r.l1a_charg(a) = 0;
    r.l1a_x(a) = g_atoms[i].x;
    r.l1a_y(a) = g_atoms[i].y;
    r.l1a_z(a) = g_atoms[i].z;
  }
}

void BM_CreatNew(benchmark::State& state) {
  set_cif_types_();
  energy_library();
  coordinates();
  comlib.iquiet = std::getenv("ORB_BENCH_TRACE") ? 0 : 1;
  double whole = 0, bare = 0;
  int built_atoms = 0;
  float sink = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    residue();
    int32_t ierr = 0;
    creat_new_(0, std::getenv("ORB_BENCH_TRACE") ? 'N' : 'S', "    ", "            ", "?", 0.0f,
               ierr);
    auto t1 = std::chrono::steady_clock::now();
    if (ierr != 0) {
      state.SkipWithError("the build failed");
      break;
    }
    built_atoms = r_scratch.l1a_natom;
    residue();
    const r_scratch_t& r = r_scratch;
    for (int i = 1; i <= r.l1a_natom; ++i)
      for (int j = i + 1; j <= r.l1a_natom; ++j) {
        const float dx = r.l1a_x(i) - r.l1a_x(j), dy = r.l1a_y(i) - r.l1a_y(j),
                    dz = r.l1a_z(i) - r.l1a_z(j);
        sink += std::sqrt(dx * dx + dy * dy + dz * dz) < 1.7f ? 1.0f : 0.0f;
      }
    benchmark::DoNotOptimize(sink);
    auto t2 = std::chrono::steady_clock::now();
    whole += std::chrono::duration<double>(t1 - t0).count();
    bare += std::chrono::duration<double>(t2 - t1).count();
  }
  comlib.iquiet = 0;
  state.counters["atoms"] = built_atoms;
  state.counters["ms_per_monomer"] = 1e3 * whole / static_cast<double>(state.iterations());
  state.counters["x_bare"] = bare > 0 ? whole / bare : 0;
}
BENCHMARK(BM_CreatNew)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
