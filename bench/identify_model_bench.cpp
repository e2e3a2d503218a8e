// Residue identification of a tiled real entry.  The five chains of 2BEG
// (1 855 atoms without hydrogens, 130 residues) are copied on a cubic
// lattice 60 Angstrom apart until the model holds about 50 000 and 100 000
// atoms; the test monomer library of tests/data/monlib describes them.
//  - BM_Identify: the whole identification stage (the driver, silent, with
//    the comparison of every residue with the dictionary), the model and the
//    library restored before each run (not timed).  per_1000_res_ms is the time per 1 000
//    residues: it stays flat when the stage grows linearly with residues.
//  - BM_BarePass: one pass over the same residues that looks each name up
//    in the monomer list and copies the residue's atoms into the work
//    residue.  x_bare is the ratio of the stage to it at 100 000 atoms.
// ORB_BENCH_BRIEF=1 runs the 50 000-atom size only.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "coords/pdb_reader.h"
#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "entry_copies.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "identify/pre_descr.h"
#include "ratio_reporter.h"
#include "runtime/units.h"

namespace {

using bench_entry::copies_for;
using bench_entry::Entry;

// A run identifies its model once against the library as loaded: every
// identification starts from a fresh dictionary.
void load_library() { bench_entry::load_library('S'); }

// The model of `copies` copies of the entry, each in its own cell of the lattice.
void tile(int copies) {
  const Entry& e = bench_entry::entry();
  atom_inf.n_atom = resid_inf.n_residue = asym_part.n_group = 0;
  link_inf.ln_n = mod_inf.mod_n = 0;
  crst_crd.cs_nsfatm = e.nsf;
  for (int k = 1; k <= e.nsf; ++k) {
    crst_crd.cs_atype(k) = e.sf_type[k - 1];
    crst_crd.cs_element(k) = e.sf_element[k - 1];
  }
  for (int c = 0; c < copies; ++c) {
    float off[3];
    bench_entry::copy_offset(c, off);
    const int a0 = atom_inf.n_atom, r0 = resid_inf.n_residue, g0 = asym_part.n_group;
    for (int a = 0; a < e.natom; ++a) {
      const int ia = a0 + a + 1;
      atom_inf.i_resid(ia) = r0 + e.res_of_atom[a];
      for (int k = 0; k < 3; ++k) atom_crd.xyz_crd(k + 1, ia) = e.xyz[3 * a + k] + off[k];
      atom_crd.occup(ia) = e.occ[a];
      atom_crd.u_aniso(1, ia) = e.u[a];
      atom_crd.mult_factor(ia) = 1;
      atom_inf.id_sf(ia) = e.sf[a];
      atom_inf.b_flag(ia) = e.bflag[a];
      atom_inf.atm_name(ia) = e.name[a];
      atom_inf.atm_name_inp(ia) = e.name_inp[a];
      atom_inf.atm_chem(ia) = ".";
      atom_inf.atm_type(ia) = e.atype[a];
      atom_inf.id_alt(ia) = e.alt[a];
      atom_inf.id_corr(ia) = ".";
    }
    for (int r = 0; r < e.nres; ++r) {
      const int ir = r0 + r + 1;
      resid_inf.iratm_first(ir) = a0 + e.first_atom[r];
      resid_inf.natm_res(ir) = e.natm[r];
      resid_inf.ires_type(ir) = e.type[r];
      resid_inf.iconn_type(ir) = 1;
      resid_inf.res_name(ir) = e.rname[r];
      resid_inf.res_num_pdb(ir) = e.key[r];
      resid_inf.mod_flag(ir) = "N";
    }
    for (int g = 0; g < e.nchain; ++g) {
      const int ich = g0 + g + 1, first = r0 + e.chain_first[g], n = e.chain_nres[g];
      asym_part.ires_first(ich) = first;
      asym_part.nres_chain(ich) = n;
      asym_part.iatom_first(ich) = resid_inf.iratm_first(first);
      asym_part.ires_start_tree(ich) = first + e.start_tree[g];
      asym_part.ires_end_tree(ich) = first + e.end_tree[g];
      asym_part.iterm_s_type(ich) = e.its[g];
      asym_part.iterm_f_type(ich) = e.itf[g];
      for (int ir = first; ir < first + n; ++ir) resid_inf.i_chain(ir) = ich;
    }
    atom_inf.n_atom += e.natom;
    resid_inf.n_residue += e.nres;
    asym_part.n_group += e.nchain;
  }
}


void per_1000(benchmark::State& state, double spent, int64_t runs) {
  state.counters["atoms"] = atom_inf.n_atom;
  state.counters["residues"] = resid_inf.n_residue;
  state.counters["per_1000_res_ms"] = spent / static_cast<double>(runs) / resid_inf.n_residue * 1e6;
}

void BM_Identify(benchmark::State& state) {
  const int copies = copies_for(state.range(0));
  int32_t ierr = 0, kerr = 0, nmnew = 0, lib2 = 0;
  rt::FixedText<1> flag;
  double spent = 0.0;
  int64_t runs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tile(copies);
    load_library();
    state.ResumeTiming();
    const auto t0 = std::chrono::steady_clock::now();
    pre_descr_(999, 'S', 'Y', 'N', 'G', "?bench", nmnew, flag, lib2, kerr, ierr);
    spent += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ++runs;
    benchmark::DoNotOptimize(ierr);
  }
  if (ierr != 0 || kerr != 0 || nmnew != 0) state.SkipWithError("identification failed");
  per_1000(state, spent, runs);
}

void BM_BarePass(benchmark::State& state) {
  tile(copies_for(state.range(0)));
  load_library();
  r_scratch_t& r = r_scratch;
  double spent = 0.0;
  int64_t runs = 0, found = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int ig = 1; ig <= asym_part.n_group; ++ig) {
      const int first = asym_part.ires_first(ig);
      for (int ir = first; ir < first + asym_part.nres_chain(ig); ++ir) {
        found += dictionary::find_list_entry(resid_inf.res_name(ir).view(), false) > 0;
        r.c1_natom = 0;
        const int ias = resid_inf.iratm_first(ir);
        for (int ia = ias; ia < ias + resid_inf.natm_res(ir) && r.c1_natom < MX1ATOM; ++ia) {
          const int k = ++r.c1_natom;
          r.c1_aname(k) = atom_inf.atm_name(ia);
          for (int d = 1; d <= 3; ++d) r.c1_xyz(d, k) = atom_crd.xyz_crd(d, ia);
        }
      }
    }
    spent += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ++runs;
    benchmark::DoNotOptimize(found);
    benchmark::DoNotOptimize(r.c1_natom);
  }
  per_1000(state, spent, runs);
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Arg(50000);
  if (std::getenv("ORB_BENCH_BRIEF") == nullptr) b->Arg(100000);
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Identify)->Apply(sizes);
BENCHMARK(BM_BarePass)->Apply(sizes);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bench_entry::read_entry();
  const char* size = std::getenv("ORB_BENCH_BRIEF") == nullptr ? "100000" : "50000";
  RatioReporter reporter(std::string("BM_Identify/") + size, std::string("BM_BarePass/") + size, "x_bare");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

