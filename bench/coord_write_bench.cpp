// Writing the tiled model as mmCIF and as PDB, each against a bare fprintf
// loop that writes the same atom records (the same columns) from the same
// tables.  The writers should stay within 2x of their bare loops and grow
// linearly with the number of atoms (100 000, 200 000, 400 000 atoms;
// ORB_BENCH_BRIEF=1 keeps to the smallest model).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "coords/read_atoms.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "output/cif_out_atoms.h"
#include "output/pdb_writer.h"
#include "runtime/units.h"
#include "tiled_model.h"

namespace {

const std::string& out_name() {
  static const std::string name = "cif_write_bench_" + std::to_string(getpid());
  return name;
}

// Reads the model of natom atoms into the tables, unless it is there.
bool load(int natom) {
  static int loaded = 0;
  if (loaded == natom) return true;
  set_cif_types_();
  init_res_type_tab_();
  comlib.iquiet = 1;
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  int32_t ierr = 1;
  read_atoms_(99, "", bench_model::model_file(natom), "cif", 0, cell, ierr);
  rt::close_all_units();
  loaded = atom_inf.n_atom == natom ? natom : 0;
  return loaded == natom;
}

void BM_WriteMmcif(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  if (!load(n)) {
    state.SkipWithError("model not read");
    return;
  }
  for (auto _ : state) {
    int32_t ierr = 0;
    write_atoms_(99, "/tmp/", out_name(), "cif", ierr);
    if (ierr != 0) state.SkipWithError("write failed");
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_BareFprintf(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  if (!load(n)) {
    state.SkipWithError("model not read");
    return;
  }
  const std::string path = "/tmp/" + out_name() + "_bare.cif";
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    for (int ia = 1; ia <= atom_inf.n_atom; ++ia) {
      const int ir = atom_inf.i_resid(ia);
      const std::string_view num = resid_inf.res_num_pdb(ir).sub(3, 7);
      std::fprintf(f,
                   "%6d %-6.4s . %-8.8s %-4.4s %5.5s %8.3f %8.3f %8.3f %5.2f %6.2f %-4.4s .\n      "
                   " %-6.4s .\n",
                   atom_inf.i_atold(ia), atom_inf.atm_name(ia).c, resid_inf.res_name(ir).c,
                   asym_part.group_id(resid_inf.i_chain(ir)).c, num.data(), atom_crd.xyz_crd(1, ia),
                   atom_crd.xyz_crd(2, ia), atom_crd.xyz_crd(3, ia), atom_crd.occup(ia),
                   atom_crd.u_aniso(1, ia) * 78.95684f, atom_inf.atm_name(ia).c,
                   atom_inf.atm_name_inp(ia).c);
    }
    std::fclose(f);
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_WritePdb(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  if (!load(n)) {
    state.SkipWithError("model not read");
    return;
  }
  const std::string name = "/tmp/" + out_name() + ".pdb";
  for (auto _ : state) {
    char h = 'Y', seg = 'N';
    rt::FixedText<256> path(""), ext("");
    int32_t ierr = 0;
    write_atoms_pdb_(99, h, 'N', seg, path, name, ext, ierr);
    if (ierr != 0) state.SkipWithError("write failed");
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_BarePdbFprintf(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  if (!load(n)) {
    state.SkipWithError("model not read");
    return;
  }
  const std::string path = "/tmp/" + out_name() + "_bare.pdb";
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    for (int ia = 1; ia <= atom_inf.n_atom; ++ia) {
      const int ir = atom_inf.i_resid(ia);
      const std::string_view num = resid_inf.res_num_pdb(ir).sub(3, 7);
      std::fprintf(f, "ATOM %6d %-4.4s %3.3s %c%5.5s   %8.3f%8.3f%8.3f%6.2f%6.2f          %-4.4s\n",
                   atom_inf.i_atold(ia), atom_inf.atm_name_inp(ia).c, resid_inf.res_name(ir).c,
                   resid_inf.res_num_pdb(ir)(8), num.data(), atom_crd.xyz_crd(1, ia),
                   atom_crd.xyz_crd(2, ia), atom_crd.xyz_crd(3, ia), atom_crd.occup(ia),
                   atom_crd.u_aniso(1, ia) * 78.95684f, " C");
    }
    std::fclose(f);
  }
  state.SetItemsProcessed(state.iterations() * n);
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

BENCHMARK(BM_WriteMmcif)->Apply(sizes);
BENCHMARK(BM_BareFprintf)->Apply(sizes);
BENCHMARK(BM_WritePdb)->Apply(sizes);
BENCHMARK(BM_BarePdbFprintf)->Apply(sizes);

int main(int argc, char** argv) {
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::remove(("/tmp/" + out_name() + ".cif").c_str());
  std::remove(("/tmp/" + out_name() + "_bare.cif").c_str());
  std::remove(("/tmp/" + out_name() + ".pdb").c_str());
  std::remove(("/tmp/" + out_name() + "_bare.pdb").c_str());
  bench_model::remove_files();
  return 0;
}
