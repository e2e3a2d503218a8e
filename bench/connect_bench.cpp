// The whole connectivity stage on a tiled real entry.  The five chains of
// 2BEG (1 855 atoms without hydrogens, 130 residues) are copied on a cubic
// lattice 60 Angstrom apart until the model holds about 50 000, 100 000 and
// 200 000 atoms, and the test monomer library of tests/data/monlib gives the
// links.
//  - BM_Connectivity: special positions, consecutive links, links by
//    distance and the entity description (the driver, silent), with the
//    model restored before each run (not timed); per_residue_ns shows the
//    growth with residues.
//  - BM_BareNeighbourSearch: the neighbour grid over the same atoms, every
//    pair within 3.0 Angstrom measured and counted.  x_bare is the ratio of
//    the stage to it at 100 000 atoms.
// ORB_BENCH_BRIEF=1 runs the 50 000-atom size only.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "connect/connect_driver.h"
#include "coords/pdb_reader.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "dictionary/neighbour_grid.h"
#include "entry_copies.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "ratio_reporter.h"
#include "runtime/units.h"

namespace {

using bench_entry::copies_for;
using bench_entry::Entry;

// The links come from the test library, loaded once.
void load_library() { bench_entry::load_library(' '); }

// The model of `copies` copies of the entry, each in its own cell of the lattice.
void tile(int copies) {
  const Entry& e = bench_entry::entry();
  atom_inf.n_atom = resid_inf.n_residue = asym_part.n_group = 0;
  link_inf.ln_n = mod_inf.mod_n = 0;
  for (int c = 0; c < copies; ++c) {
    float off[3];
    bench_entry::copy_offset(c, off);
    const int a0 = atom_inf.n_atom, r0 = resid_inf.n_residue, g0 = asym_part.n_group;
    for (int a = 0; a < e.natom; ++a) {
      const int ia = a0 + a + 1;
      atom_inf.i_resid(ia) = r0 + e.res_of_atom[a];
      for (int k = 0; k < 3; ++k) atom_crd.xyz_crd(k + 1, ia) = e.xyz[3 * a + k] + off[k];
      atom_crd.occup(ia) = e.occ[a];
      atom_crd.mult_factor(ia) = 1;
      atom_inf.id_sf(ia) = e.sf[a];
      atom_inf.atm_name(ia) = e.name[a];
      atom_inf.atm_chem(ia) = e.chem[a];
      atom_inf.atm_type(ia) = ".";
      atom_inf.id_alt(ia) = ".";
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
      resid_inf.mod_flag(ir) = ".";
    }
    for (int g = 0; g < e.nchain; ++g) {
      const int ich = g0 + g + 1, first = r0 + e.chain_first[g], n = e.chain_nres[g];
      asym_part.ires_first(ich) = first;
      asym_part.nres_chain(ich) = n;
      asym_part.iatom_first(ich) = resid_inf.iratm_first(first);
      asym_part.ires_start_tree(ich) = first;
      asym_part.ires_end_tree(ich) = first + n - 1;
      asym_part.group_id(ich) = asym_part.chain_id(ich) = "A";
      for (int ir = first; ir < first + n; ++ir) {
        resid_inf.i_chain(ir) = ich;
        resid_inf.ires_back(ir) = ir == first ? -1 : ir - 1;
        resid_inf.ires_forw(ir) = ir == first + n - 1 ? 0 : ir + 1;
      }
    }
    atom_inf.n_atom += e.natom;
    resid_inf.n_residue += e.nres;
    asym_part.n_group += e.nchain;
  }
}


void BM_Connectivity(benchmark::State& state) {
  const int copies = copies_for(state.range(0));
  int32_t ierr = 0;
  double spent = 0.0;
  int64_t runs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tile(copies);
    state.ResumeTiming();
    const auto t0 = std::chrono::steady_clock::now();
    char dnew = 'N';
    check_descr_structure_(999, 'S', 'Y', 0.5f, 'Y', 'Y', 'Y', 'N', dnew, 'N', 'Y', 'Y', 'N', 'N',
                           ierr);
    spent += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ++runs;
    benchmark::DoNotOptimize(ierr);
  }
  if (ierr != 0) state.SkipWithError("the connectivity stage failed");
  state.counters["atoms"] = atom_inf.n_atom;
  state.counters["per_residue_ns"] = spent / static_cast<double>(runs) / resid_inf.n_residue * 1e9;
}

dictionary::NeighbourGrid<MAXATOM> g_grid;
std::vector<float> g_x, g_y, g_z;

void BM_BareNeighbourSearch(benchmark::State& state) {
  tile(copies_for(state.range(0)));
  const int n = atom_inf.n_atom;
  g_x.resize(n);
  g_y.resize(n);
  g_z.resize(n);
  for (int ia = 1; ia <= n; ++ia) {
    g_x[ia - 1] = atom_crd.xyz_crd(1, ia);
    g_y[ia - 1] = atom_crd.xyz_crd(2, ia);
    g_z[ia - 1] = atom_crd.xyz_crd(3, ia);
  }
  for (auto _ : state) {
    int64_t close = 0;
    g_grid.for_each_candidate(n, g_x.data(), g_y.data(), g_z.data(), 3.0f, [&](int i, int j) {
      const float dx = g_x[i - 1] - g_x[j - 1], dy = g_y[i - 1] - g_y[j - 1],
                  dz = g_z[i - 1] - g_z[j - 1];
      if (dx * dx + dy * dy + dz * dz <= 9.0f) ++close;
    });
    benchmark::DoNotOptimize(close);
  }
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Arg(50000);
  if (std::getenv("ORB_BENCH_BRIEF") == nullptr) b->Arg(100000)->Arg(200000);
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Connectivity)->Apply(sizes);
BENCHMARK(BM_BareNeighbourSearch)->Apply(sizes);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bench_entry::read_entry();
  load_library();
  const char* size = std::getenv("ORB_BENCH_BRIEF") == nullptr ? "100000" : "50000";
  RatioReporter reporter(std::string("BM_Connectivity/") + size,
                         std::string("BM_BareNeighbourSearch/") + size, "x_bare");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
