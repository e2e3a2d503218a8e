// Copying library monomers into the work description L1 by code, from
// dictionaries of 1 000 and 5 000 monomers (the list's capacity; 6 atoms,
// 5 bonds and an angle each, so 30 000 atom rows at full size), against a
// bare copy of the same rows from known start pointers.  10 000 copies a
// run; the time a copy takes must not grow with the dictionary, and the
// counter x_bare gives the ratio to the bare copy.  ORB_BENCH_BRIEF=1 keeps
// to 1 000 copies.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "dictionary/lib_com.h"
#include "dictionary/lib_to_work.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"

namespace {

const char* const kAtoms[6] = {"N", "CA", "C", "O", "CB", "OXT"};
const char* const kBacks[6] = {".", "N", "CA", "C", "CA", "C"};
const char* const kForws[6] = {"CA", "C", "END", ".", ".", "."};

rt::FixedText<8> code_of(int l) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "M%05d", l);
  return rt::FixedText<8>(buf);
}

void build_dictionary(int nmon) {
  r_scratch_t& r = r_scratch;
  init_cnt_();
  r.lml_nmon = r.lms_nsyn = r.ldr_nder = r.ldl_nmod = 0;
  for (int l = 1; l <= nmon; ++l) {
    r.lml_nmon = l;
    r.lml_mname(l) = code_of(l);
    r.lml_fuse(l) = "Y";
    r.lml_prsnt(l) = ".";
    r.lml_mode(l) = ".";
    r.lml_iatom(l) = r.lma_natom + 1;
    r.lml_ibond(l) = r.lmb_nbond + 1;
    r.lml_ithet(l) = r.lmg_nangl + 1;
    for (int a = 0; a < 6; ++a) {
      const int row = ++r.lma_natom;
      r.lma_mname(row) = r.lml_mname(l);
      r.lma_aname(row) = kAtoms[a];
      r.lma_symb(row) = a == 0 ? "N" : a == 3 || a == 5 ? "O" : "C";
      r.lma_back(row) = kBacks[a];
      r.lma_forw(row) = kForws[a];
      r.lma_coor_flag(row) = "Y";
    }
    for (int b = 1; b < 6; ++b) {
      const int row = ++r.lmb_nbond;
      r.lmb_mname(row) = r.lml_mname(l);
      r.lmb_1atm(row) = kBacks[b];
      r.lmb_2atm(row) = kAtoms[b];
      r.lmb_val(row) = 1.5f;
    }
    const int row = ++r.lmg_nangl;
    r.lmg_mname(row) = r.lml_mname(l);
    r.lmg_1atm(row) = "N";
    r.lmg_2atm(row) = "CA";
    r.lmg_3atm(row) = "C";
  }
}

int copies() { return std::getenv("ORB_BENCH_BRIEF") ? 1000 : 10000; }

// Entries visited in a spread order over the whole list.
int pick(int k, int nmon) { return static_cast<int>((static_cast<long>(k) * 7919) % nmon) + 1; }

// The bare copy: the same atom and bond rows moved into L1 from the start
// pointers, no look-up, no checks.
void bare_copy(int l) {
  r_scratch_t& r = r_scratch;
  const int a0 = r.lml_iatom(l), b0 = r.lml_ibond(l);
  for (int a = 0; a < 6; ++a) {
    r.l1a_aname(a + 1) = r.lma_aname(a0 + a);
    r.l1a_symb(a + 1) = r.lma_symb(a0 + a);
    r.l1a_back(a + 1) = r.lma_back(a0 + a);
    r.l1a_forw(a + 1) = r.lma_forw(a0 + a);
  }
  for (int b = 0; b < 5; ++b) {
    r.l1b_1atm(b + 1) = r.lmb_1atm(b0 + b);
    r.l1b_2atm(b + 1) = r.lmb_2atm(b0 + b);
    r.l1b_val(b + 1) = r.lmb_val(b0 + b);
  }
  r.l1a_natom = 6;
  r.l1b_nbond = 5;
}

double bare_seconds(int nmon, int n) {
  const auto t0 = std::chrono::steady_clock::now();
  for (int k = 0; k < n; ++k) bare_copy(pick(k, nmon));
  benchmark::DoNotOptimize(r_scratch.l1a_aname(1));
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_CopyByCode(benchmark::State& state) {
  const int nmon = static_cast<int>(state.range(0));
  const int n = copies();
  comlib.iquiet = 1;
  init_res_type_tab_();
  build_dictionary(nmon);
  std::vector<rt::FixedText<8>> codes;
  for (int k = 0; k < n; ++k) codes.push_back(code_of(pick(k, nmon)));
  double spent = 0.0;
  long runs = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int k = 0; k < n; ++k) {
      rt::FixedText<8> mon = codes[k];
      int32_t ierr = 0;
      cp_mlib_(0, mon, ierr);
      if (ierr != 0) state.SkipWithError("copy failed");
    }
    spent += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ++runs;
  }
  const double bare = bare_seconds(nmon, n);
  state.counters["per_copy_ns"] = spent / runs / n * 1e9;
  state.counters["x_bare"] = bare > 0.0 ? spent / runs / bare : 0.0;
  state.SetItemsProcessed(static_cast<int64_t>(runs) * n);
}

}  // namespace

BENCHMARK(BM_CopyByCode)->Arg(1000)->Arg(MAXMLIST)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
