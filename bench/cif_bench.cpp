// Reading a large generated mmCIF file against a bare pass over the same
// file that only reads lines and splits them at blanks.  The reader should
// stay within a small factor of the bare pass and grow linearly with the
// number of atoms (100 000, 200 000, 400 000 atoms; ORB_BENCH_BRIEF=1 keeps
// to the smallest file).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "coords/cif_atom_rows.h"
#include "coords/read_atoms.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/units.h"
#include "tiled_model.h"

namespace {

using bench_model::model_file;

void setup_tables() {
  set_cif_types_();
  init_res_type_tab_();
  comlib.iquiet = 1;
}

void BM_ReadMmcif(benchmark::State& state) {
  setup_tables();
  const std::string& path = model_file(static_cast<int>(state.range(0)));
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  for (auto _ : state) {
    int32_t ierr = 1;
    read_atoms_(99, "", path, "cif", 0, cell, ierr);
    if (atom_inf.n_atom != state.range(0)) state.SkipWithError("atom count differs");
    rt::close_all_units();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_BareLineSplit(benchmark::State& state) {
  const std::string path = model_file(static_cast<int>(state.range(0))) + ".cif";
  for (auto _ : state) {
    std::ifstream in(path);
    std::string line;
    long words = 0;
    while (std::getline(in, line)) {
      bool inword = false;
      for (char c : line) {
        const bool blank = c == ' ' || c == '\t';
        if (!blank && !inword) ++words;
        inword = !blank;
      }
    }
    benchmark::DoNotOptimize(words);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void sizes(benchmark::internal::Benchmark* b) {
  const char* brief = std::getenv("ORB_BENCH_BRIEF");
  if (brief != nullptr && brief[0] == '1') {
    b->Arg(100000);
  } else {
    b->Arg(100000)->Arg(200000)->Arg(400000);
  }
  b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_ReadMmcif)->Apply(sizes);
BENCHMARK(BM_BareLineSplit)->Apply(sizes);

int main(int argc, char** argv) {
  // The reader loads the file's space group from the site's symmetry file.
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  bench_model::remove_files();
  return 0;
}
