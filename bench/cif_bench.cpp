// Reading a large generated mmCIF file against a bare pass over the same
// file that only reads lines and splits them at blanks.  The reader should
// stay within a small factor of the bare pass and grow linearly with the
// number of atoms (100 000, 200 000, 400 000 atoms; ORB_BENCH_BRIEF=1 keeps
// to the smallest file).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

#include "coords/cif_atom_rows.h"
#include "coords/read_atoms.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/units.h"

namespace {

const char* const kNames[10] = {"N", "CA", "C", "O", "CB", "CG", "CD", "NE", "CZ", "NH1"};

// One file per size, written once: ten atoms a residue, 5000 residues a chain.
const std::string& model_file(int natom) {
  static std::map<int, std::string> files;
  auto it = files.find(natom);
  if (it != files.end()) return it->second;
  std::string path = "/tmp/cif_bench_" + std::to_string(getpid()) + "_" + std::to_string(natom);
  std::FILE* f = std::fopen((path + ".cif").c_str(), "w");
  std::fputs("data_bench\n_entry.id BNCH\n_cell.length_a 200\n_cell.length_b 200\n_cell.length_c 200\n"
             "_cell.angle_alpha 90\n_cell.angle_beta 90\n_cell.angle_gamma 90\n"
             "_symmetry.space_group_name_H-M 'P 1'\n_symmetry.Int_Tables_number 1\n"
             "loop_\n_atom_site.group_PDB\n_atom_site.id\n_atom_site.type_symbol\n_atom_site.label_atom_id\n"
             "_atom_site.label_alt_id\n_atom_site.label_comp_id\n_atom_site.label_asym_id\n"
             "_atom_site.label_entity_id\n_atom_site.label_seq_id\n_atom_site.Cartn_x\n_atom_site.Cartn_y\n"
             "_atom_site.Cartn_z\n_atom_site.occupancy\n_atom_site.B_iso_or_equiv\n_atom_site.auth_seq_id\n",
             f);
  for (int a = 0; a < natom; ++a) {
    const int res = a / 10;
    const int chain = res / 5000;
    const int seq = res % 5000 + 1;
    const char* name = kNames[a % 10];
    std::fprintf(f, "ATOM %d %c %s . ARG %c%c 1 %d %.3f %.3f %.3f 1.00 %.2f %d\n", a + 1, name[0], name,
                 'A' + chain % 26, 'A' + chain / 26, seq, (a % 97) * 0.731, (a % 89) * 0.517, (a % 83) * 0.913,
                 10.0 + a % 40, seq);
  }
  std::fclose(f);
  return files[natom] = path;
}

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
  for (int n : {100000, 200000, 400000}) {
    const std::string p = "/tmp/cif_bench_" + std::to_string(getpid()) + "_" + std::to_string(n) + ".cif";
    std::remove(p.c_str());
  }
  return 0;
}
