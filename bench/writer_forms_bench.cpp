// Files as other programs write them, each against the same atoms in the
// form that needs none of the extra rules, in the same run:
//
// 1. The dictionary pipeline's mmCIF reader on 1ubi as a viewer writes it
//    (tests/data/peers: label_asym_id "." on every row, so each row is given
//    the chain key of its PDB form), laid side by side k times under new
//    author chains, against the same rows with the author's chain as their
//    label.
// 2. The PDB reader on a model whose lines end at column 66 (the element
//    worked out from each atom's name) against the same atom lines with
//    their element columns.
//
// ORB_BENCH_BRIEF=1 (the brief run in CI) keeps to the small sizes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "coords/pdb_reader.h"
#include "coords/read_atoms.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "foundation/paths_defaults.h"
#include "foundation/residue_class.h"
#include "quiet_stdout.h"
#include "ratio_reporter.h"
#include "runtime/units.h"

namespace {

bool brief() {
  const char* b = std::getenv("ORB_BENCH_BRIEF");
  return b != nullptr && b[0] == '1';
}

const std::string kData = ORB_DATA_DIR "/../tests/data/";
std::vector<std::string> g_written;

std::string temp_path(const std::string& name) {
  return "/tmp/writer_forms_" + std::to_string(getpid()) + "_" + name;
}

std::vector<std::string> lines_of(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// 1ubi's rows as the viewer writes them, k copies: copy c takes the author
// chain c of kChains and serials moved on; `labelled` puts that chain in the
// label column too.  Columns of the file: id 2nd, label_asym_id 7th,
// auth_asym_id 17th.
constexpr const char* kChains = "ABCDEFGHIJKLMNOPRSTUVWXYZ";

std::string tiled_1ubi(int copies, bool labelled) {
  static std::map<std::pair<int, bool>, std::string> made;
  const auto key = std::make_pair(copies, labelled);
  if (made.count(key)) return made[key];
  const std::vector<std::string> lines = lines_of(kData + "peers/1ubi_pymol.cif");
  std::vector<std::string> head, rows, tail;
  for (const std::string& l : lines) {
    const bool row = l.rfind("ATOM", 0) == 0 || l.rfind("HETATM", 0) == 0;
    (row ? rows : (rows.empty() ? head : tail)).push_back(l);
  }
  const std::string path = temp_path(std::to_string(copies) + (labelled ? "_l" : "_u") + ".cif");
  std::ofstream out(path);
  for (const std::string& l : head) out << l << '\n';
  for (int c = 0; c < copies; ++c) {
    for (const std::string& l : rows) {
      std::istringstream in(l);
      std::vector<std::string> w;
      for (std::string s; in >> s;) w.push_back(s);
      w[1] = std::to_string(std::stoi(w[1]) + c * static_cast<int>(rows.size()));
      w[16] = std::string(1, kChains[c % 25]);
      if (labelled) w[6] = w[16];
      std::string row;
      for (const std::string& s : w) row += (row.empty() ? "" : " ") + s;
      out << row << '\n';
    }
  }
  for (const std::string& l : tail) out << l << '\n';
  g_written.push_back(path);
  return made[key] = path;
}

// The AIB model with its element columns, or cut at column 66.
std::string aib(bool cut) {
  if (!cut) return kData + "pdb_aib.pdb";
  static std::string path;
  if (!path.empty()) return path;
  path = temp_path("aib_cut.pdb");
  std::ofstream out(path);
  for (std::string l : lines_of(kData + "pdb_aib.pdb")) {
    if ((l.rfind("ATOM", 0) == 0 || l.rfind("HETATM", 0) == 0) && l.size() > 66) l.resize(66);
    out << l << '\n';
  }
  g_written.push_back(path);
  return path;
}

void read_model(benchmark::State& state, const std::string& path, bool cif) {
  set_cif_types_();
  init_res_type_tab_();
  comlib.iquiet = 1;
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  for (auto _ : state) {
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    init_defaults_();
    ierr = cif ? 1 : 0;
    {
      QuietStdout quiet;
      if (cif) read_atoms_(0, "", path.substr(0, path.size() - 4), "cif", 0, cell, ierr);
      else get_pdb_(0, path, 0, cell, 'N', 'N', 'N', ierr);
    }
    rt::close_all_units();
    if ((ierr != 0 && ierr != 8 && ierr != 9) || atom_inf.n_atom == 0) {
      state.SkipWithError("the model was not read");
      break;
    }
  }
  state.counters["atoms"] = atom_inf.n_atom;
  state.counters["chains"] = asym_part.n_group;
}

int copies_of(const benchmark::State& state) {
  return brief() ? 1 : static_cast<int>(state.range(0));
}

void BM_CifUnlabelled(benchmark::State& state) {
  read_model(state, tiled_1ubi(copies_of(state), false), true);
}
void BM_CifLabelled(benchmark::State& state) {
  read_model(state, tiled_1ubi(copies_of(state), true), true);
}
void BM_PdbNoElementColumns(benchmark::State& state) { read_model(state, aib(true), false); }
void BM_PdbElementColumns(benchmark::State& state) { read_model(state, aib(false), false); }

void copies(benchmark::internal::Benchmark* b) {
  if (brief()) b->Arg(1);
  else b->Arg(1)->Arg(25);
  b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_CifUnlabelled)->Apply(copies);
BENCHMARK(BM_CifLabelled)->Apply(copies);
BENCHMARK(BM_PdbNoElementColumns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdbElementColumns)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 0);
  setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
  benchmark::Initialize(&argc, argv);
  std::vector<RatioReporter::Pair> pairs;
  for (const char* n : {"1", "25"})
    pairs.push_back({std::string("BM_CifUnlabelled/") + n, std::string("BM_CifLabelled/") + n,
                     std::string("1ubi x") + n + " without chain labels / labelled"});
  pairs.push_back({"BM_PdbNoElementColumns", "BM_PdbElementColumns",
                   "AIB model without element columns / with them"});
  RatioReporter reporter(RatioReporter::Time::cpu, pairs, "Ratios (CPU time):");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const std::string& p : g_written) std::remove(p.c_str());
  benchmark::Shutdown();
  return 0;
}
