// The readers on forms of files that other programs write, each against
// the same atoms in the plain form, in the same run.
//
// 1. An mmCIF file with one data block per model (tests/data/peers/
//    1d3z_obabel.cif, two blocks; and the same with ten): the pipeline's
//    mmCIF reader and orbinate's mmCIF road against the file cut to its
//    first block.  The read ends at the second block, so the ratio should
//    stay near 1 however many blocks follow.
// 2. Elements from names: the pipeline's reader on 1A8O written without
//    elements (type_symbol "?" in every row; peers/1A8O_no_elements_
//    pdb2cif.cif, and 40 copies of its rows side by side) against the same
//    rows with the elements of 1A8O.pdb; the PDB reader on residues whose
//    names are written from column 13 (peers/cyx_pair_names_from_13.pdb,
//    tiled) against the same lines with the names in the PDB layout.
// 3. A solvated model of 10 100 waters (the protein of peers/
//    1ubi_charmm_solvated.pdb and waters laid out as peers/more_waters.awk
//    lays them): waters named TIP3 against HOH, and numbers past 9999
//    written into column 27 or from 0 again against the same waters in two
//    chains of 5 050 each, numbers under 10000.
//
// ORB_BENCH_BRIEF=1 (the brief run in CI) keeps to the small sizes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench_files.h"
#include "coords/cif_by_pdb_rules.h"
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

const std::string kData = ORB_DATA_DIR "/../tests/data/";

BenchFiles g_files("reader_forms");

std::vector<std::string> split(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> w;
  for (std::string s; in >> s;) w.push_back(s);
  return w;
}

std::string join(const std::vector<std::string>& w) {
  std::string out;
  for (const std::string& s : w) out += (out.empty() ? "" : " ") + s;
  return out;
}

bool starts(const std::string& l, const char* p) { return l.rfind(p, 0) == 0; }

// ---------------------------------------------------------------- readers

// One read of an mmCIF file by the pipeline's reader (road 2) or by
// orbinate's mmCIF road (1), or of a PDB file by the PDB reader (0),
// hydrogens kept; false when nothing was read.
bool read_once(int road, const std::string& path) {
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  init_defaults_();
  ierr = road == 2 ? 1 : 0;
  {
    QuietStdout quiet;
    if (road == 2) read_atoms_(0, "", path.substr(0, path.size() - 4), "cif", 0, cell, ierr);
    else if (road == 1) coords::read_cif_by_pdb_rules(0, path, 'N', 'N', ierr);
    else get_pdb_(0, path, 0, cell, 'N', 'N', 'N', ierr);
  }
  rt::close_all_units();
  return (ierr == 0 || (road == 2 && ierr == 8)) && atom_inf.n_atom > 0;
}

void set_up_readers() {
  static bool done = false;
  if (done) return;
  set_cif_types_();
  init_res_type_tab_();
  comlib.iquiet = 1;
  done = true;
}

void measure(benchmark::State& state, int road, const std::string& path) {
  set_up_readers();
  for (auto _ : state) {
    if (!read_once(road, path)) {
      state.SkipWithError("the file was not read");
      return;
    }
  }
  state.counters["atoms"] = atom_inf.n_atom;
  state.counters["residues"] = resid_inf.n_residue;
  state.counters["chains"] = asym_part.n_group;
}

// ------------------------------------------------- one data block a model

// kind 0: the file as written; 1: its first block; 2: its second block
// repeated to ten blocks in all.
const std::string& blocks_file(int kind) {
  const std::vector<std::string> all = bench_lines_of(kData + "peers/1d3z_obabel.cif");
  // The lines from the second data_ on (the comment lines above it belong
  // to the first block: the ratio counts them as read).
  std::size_t second = all.size();
  int seen = 0;
  for (std::size_t i = 0; i < all.size(); ++i)
    if (starts(all[i], "data_") && ++seen == 2) {
      second = i;
      break;
    }
  std::vector<std::string> out(all.begin(), all.begin() + static_cast<long>(second));
  if (kind == 0) out = all;
  if (kind == 2)
    for (int b = 1; b < 10; ++b)
      out.insert(out.end(), all.begin() + static_cast<long>(second), all.end());
  return g_files.written("blocks_" + std::to_string(kind) + ".cif", out);
}

void BM_PipelineBlocks(benchmark::State& state) {
  measure(state, 2, blocks_file(static_cast<int>(state.range(0))));
}
void BM_OrbinateBlocks(benchmark::State& state) {
  measure(state, 1, blocks_file(static_cast<int>(state.range(0))));
}

// ------------------------------------------------ elements from the names

// The atom rows of 1A8O without elements, k copies side by side (serials
// moved on, label and author chains renamed "A3" for copy 3), with the
// elements of 1A8O.pdb in type_symbol or "?" as written.
const std::string& no_elements_file(int copies, bool elements) {
  const std::vector<std::string> all = bench_lines_of(kData + "peers/1A8O_no_elements_pdb2cif.cif");
  std::vector<std::string> pdb_elements;
  for (const std::string& l : bench_lines_of(kData + "1A8O.pdb"))
    if (starts(l, "ATOM") || starts(l, "HETATM"))
      pdb_elements.push_back(split(l.size() > 76 ? l.substr(76) : "?").at(0));
  // The rows follow the last item of the atom loop, up to the "#" line.
  std::vector<std::string> head, rows, tail;
  int part = 0;
  for (const std::string& l : all) {
    if (part == 1 && starts(l, "#")) part = 2;
    (part == 0 ? head : part == 1 ? rows : tail).push_back(l);
    if (part == 0 && starts(l, "_atom_site.pdbx_PDB_model_num")) part = 1;
  }
  std::vector<std::string> out = head;
  for (int c = 0; c < copies; ++c)
    for (std::size_t i = 0; i < rows.size(); ++i) {
      std::vector<std::string> w = split(rows[i]);
      w[0] = std::to_string(std::stoi(w[0]) + c * static_cast<int>(rows.size()));
      if (elements && i < pdb_elements.size()) w[2] = pdb_elements[i];
      if (c > 0) w[6] += std::to_string(c), w[18] += std::to_string(c);
      out.push_back(join(w));
    }
  out.insert(out.end(), tail.begin(), tail.end());
  return g_files.written("1a8o_" + std::to_string(copies) + (elements ? "_el" : "_noel") + ".cif",
                         out);
}

int copies_of(const benchmark::State& state) {
  return bench_brief() ? 1 : static_cast<int>(state.range(0));
}

void BM_CifNamesOnly(benchmark::State& state) {
  measure(state, 2, no_elements_file(copies_of(state), false));
}
void BM_CifElementsGiven(benchmark::State& state) {
  measure(state, 2, no_elements_file(copies_of(state), true));
}

// The residues of peers/cyx_pair*.pdb k times: copy c in chain c of 62
// letters, its residue numbers moved on by 100 for each round of letters,
// its coordinates 40 A further along x for each copy in a row of 20.
const std::string& cyx_file(int copies, bool from_13) {
  static const char kChains[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  const std::vector<std::string> all =
      bench_lines_of(kData + (from_13 ? "peers/cyx_pair_names_from_13.pdb" : "peers/cyx_pair.pdb"));
  std::vector<std::string> out;
  for (const std::string& l : all)
    if (starts(l, "CRYST1"))
      out.push_back("CRYST1  900.000  900.000  900.000  90.00  90.00  90.00 P 1           1");
  int serial = 0;
  for (int c = 0; c < copies; ++c)
    for (const std::string& l : all) {
      if (!starts(l, "ATOM") && !starts(l, "HETATM")) continue;
      std::string a = l;
      char buf[32];
      std::snprintf(buf, sizeof buf, "%5d", ++serial % 100000);
      a.replace(6, 5, buf);
      a[21] = kChains[c % 62];
      std::snprintf(buf, sizeof buf, "%4d", std::atoi(l.substr(22, 4).c_str()) + 100 * (c / 62));
      a.replace(22, 4, buf);
      const double xyz[3] = {std::atof(l.substr(30, 8).c_str()) + 40.0 * (c % 20),
                             std::atof(l.substr(38, 8).c_str()) + 40.0 * (c / 20 % 20),
                             std::atof(l.substr(46, 8).c_str()) + 40.0 * (c / 400)};
      for (int k = 0; k < 3; ++k) {
        std::snprintf(buf, sizeof buf, "%8.3f", xyz[k]);
        a.replace(30 + 8 * k, 8, buf);
      }
      out.push_back(a);
    }
  out.push_back("END");
  return g_files.written("cyx_" + std::to_string(copies) + (from_13 ? "_13" : "_14") + ".pdb", out);
}

void BM_PdbNamesFrom13(benchmark::State& state) {
  measure(state, 0, cyx_file(bench_brief() ? 20 : static_cast<int>(state.range(0)), true));
}
void BM_PdbNamesFrom14(benchmark::State& state) {
  measure(state, 0, cyx_file(bench_brief() ? 20 : static_cast<int>(state.range(0)), false));
}

// ------------------------------------------------------ simulation waters

constexpr int kWaters = 10100;

// The solvated model with kWaters waters named `name` (four columns from
// 18), numbered `numbers`: "five" on into column 27 past 9999, "wrap"
// modulo 10000, "two" from 1 in chain W and again from 1 in chain X for the
// second half.
const std::string& waters_file(const std::string& name, const std::string& numbers) {
  const std::vector<std::string> all = bench_lines_of(kData + "peers/1ubi_charmm_solvated.pdb");
  const double angle = 104.52 * std::acos(-1.0) / 180.0;
  std::vector<std::string> out;
  int serial = 0;
  bool waters_done = false;
  char buf[128];
  const auto atom = [&](const char* aname, int n, double x, double y, double z) {
    const int half = kWaters / 2;
    const int num = numbers == "two" ? (n < half ? n + 1 : n - half + 1) : n + 1;
    const char chain = numbers == "two" ? (n < half ? 'W' : 'X') : ' ';
    char field[16];
    if (num < 10000) std::snprintf(field, sizeof field, "%4d ", num);
    else if (numbers == "five") std::snprintf(field, sizeof field, "%5d", num);
    else std::snprintf(field, sizeof field, "%4d ", num % 10000);
    std::snprintf(buf, sizeof buf,
                  "ATOM  %5d %-4s %-4s%c%s   %8.3f%8.3f%8.3f  1.00  0.00      SOLV",
                  ++serial % 100000, aname, name.c_str(), chain, field, x, y, z);
    out.emplace_back(buf);
  };
  for (const std::string& l : all) {
    const bool is_atom = starts(l, "ATOM");
    if (is_atom && l.size() >= 76 && l.substr(72, 4) == "SOLV") {
      if (waters_done) continue;
      for (int n = 0; n < kWaters; ++n) {
        const double x = -20.0 + 3.1 * (n % 13), y = -20.0 + 3.1 * (n / 13 % 13),
                     z = 50.0 + 3.1 * (n / 169);
        atom(" OH2", n, x, y, z);
        atom(" H1", n, x + 0.9572, y, z);
        atom(" H2", n, x + 0.9572 * std::cos(angle), y + 0.9572 * std::sin(angle), z);
      }
      waters_done = true;
    } else if (is_atom) {
      std::snprintf(buf, sizeof buf, "ATOM  %5d", ++serial % 100000);
      out.push_back(buf + l.substr(11));
    } else {
      out.push_back(l);
    }
  }
  return g_files.written("waters_" + name + "_" + numbers + ".pdb", out);
}

void BM_WatersTip3Five(benchmark::State& state) { measure(state, 0, waters_file("TIP3", "five")); }
void BM_WatersHohFive(benchmark::State& state) { measure(state, 0, waters_file("HOH", "five")); }
void BM_WatersTip3Wrap(benchmark::State& state) { measure(state, 0, waters_file("TIP3", "wrap")); }
void BM_WatersTip3TwoChains(benchmark::State& state) {
  measure(state, 0, waters_file("TIP3", "two"));
}

void blocks(benchmark::internal::Benchmark* b) {
  b->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
}
void cif_copies(benchmark::internal::Benchmark* b) {
  if (bench_brief()) b->Arg(1);
  else b->Arg(1)->Arg(40);
  b->Unit(benchmark::kMillisecond);
}
void pdb_copies(benchmark::internal::Benchmark* b) {
  if (bench_brief()) b->Arg(20);
  else b->Arg(20)->Arg(250);
  b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_PipelineBlocks)->Apply(blocks);
BENCHMARK(BM_OrbinateBlocks)->Apply(blocks);
BENCHMARK(BM_CifNamesOnly)->Apply(cif_copies);
BENCHMARK(BM_CifElementsGiven)->Apply(cif_copies);
BENCHMARK(BM_PdbNamesFrom13)->Apply(pdb_copies);
BENCHMARK(BM_PdbNamesFrom14)->Apply(pdb_copies);
BENCHMARK(BM_WatersTip3Five)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WatersHohFive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WatersTip3Wrap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WatersTip3TwoChains)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 0);
  setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
  benchmark::Initialize(&argc, argv);
  std::vector<RatioReporter::Pair> pairs;
  for (const char* road : {"Pipeline", "Orbinate"}) {
    const std::string who = std::string(road) == "Pipeline" ? "pipeline" : "orbinate";
    const std::string m = std::string("BM_") + road + "Blocks/";
    pairs.push_back({m + "0", m + "1", who + ", 1d3z two data blocks / first block only"});
    pairs.push_back({m + "2", m + "1", who + ", 1d3z ten data blocks / first block only"});
  }
  for (const char* n : {"1", "40"})
    pairs.push_back({std::string("BM_CifNamesOnly/") + n, std::string("BM_CifElementsGiven/") + n,
                     std::string("pipeline, 1A8O x") + n + " type_symbol ? / elements given"});
  for (const char* n : {"20", "250"})
    pairs.push_back({std::string("BM_PdbNamesFrom13/") + n, std::string("BM_PdbNamesFrom14/") + n,
                     std::string("PDB reader, CYX pair x") + n + " names from column 13 / 14"});
  pairs.push_back({"BM_WatersTip3Five", "BM_WatersHohFive", "PDB reader, 10100 waters TIP3 / HOH"});
  pairs.push_back({"BM_WatersTip3Five", "BM_WatersTip3TwoChains",
                   "PDB reader, waters numbered to 10100 in column 27 / two chains under 10000"});
  pairs.push_back({"BM_WatersTip3Wrap", "BM_WatersTip3TwoChains",
                   "PDB reader, waters numbered modulo 10000 / two chains under 10000"});
  RatioReporter reporter(RatioReporter::Time::cpu, pairs, "Ratios (CPU time):");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
