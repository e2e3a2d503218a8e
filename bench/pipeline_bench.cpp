// The whole dictionary-preparation pipeline on a tiled real entry.  The five
// chains of 2BEG (1 855 atoms with hydrogens, 130 residues) are copied on a
// cubic lattice 60 Angstrom apart into one mmCIF file (P 1, every copy its
// own chains) of about 50 000 and 100 000 atoms (the whole runs also of
// 250 000 atoms, 17 550 residues); the test monomer library of
// tests/data/monlib describes every residue.
//  - BM_Pipeline: one call of tessran_, silent, on the tiled file.
//  - BM_Stages: the same stages called one by one in the pipeline's order
//    (library, coordinate read, identification, input links, connectivity,
//    restraints with the coordinate and structure files, new library when
//    the run made something new); share_<stage> is the stage's per cent of
//    the whole, <stage>_x_read its time over the bare read below.
//  - BM_BareRead: the same file read line by line with every atom row's
//    coordinates converted, and nothing stored.
//  - BM_PipelineLinked: BM_Pipeline on the same model whose file also
//    carries a connection row (covale, C to N) for every consecutive pair of
//    residues, as the largest entries carry thousands, so that the link table
//    holds a row for nearly every residue.  Its time over BM_Pipeline's on
//    the same model without the rows is printed as links_x_plain: a stage
//    that scans the whole link table per residue grows it with the model.
// After the runs the stage shares at the larger size and, per stage, the
// time at the larger size over that at the smaller (2.0 is linear growth in
// residues) are printed.  ORB_BENCH_BRIEF=1 runs a 10 000-atom size only.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench_run.h"
#include "connect/connect_driver.h"
#include "connect/input_links.h"
#include "coords/file_type.h"
#include "coords/read_atoms.h"
#include "dictionary/lib_loading.h"
#include "dictionary/lib_writer.h"
#include "dictionary/user_lib.h"
#include "foundation/atom_com.h"
#include "foundation/paths_defaults.h"
#include "foundation/start_up.h"
#include "identify/pre_descr.h"
#include "pipeline/tessran.h"
#include "ratio_reporter.h"
#include "restraints/creat_descr.h"
#include "runtime/units.h"

namespace {

const std::string kLibrary = ORB_DATA_DIR "/../tests/data/monlib/";

// One atom row of the entry.
struct Atom {
  std::string name, alt, res, element;
  int chain = 0, seq = 0;
  double x = 0, y = 0, z = 0, occ = 1, b = 0;
};
std::vector<Atom> g_entry;
int g_chains = 0;

void read_entry() {
  std::FILE* f = std::fopen(ORB_DATA_DIR "/../tests/data/2BEG.pdb", "r");
  if (f == nullptr) return;
  char line[256];
  std::map<char, int> chain_no;
  while (std::fgets(line, sizeof line, f)) {
    const std::string l(line);
    if (l.rfind("ENDMDL", 0) == 0) break;
    if (l.rfind("ATOM", 0) != 0 && l.rfind("HETATM", 0) != 0) continue;
    auto field = [&](std::size_t from, std::size_t n) {
      std::string s = l.size() > from ? l.substr(from, n) : "";
      s.erase(0, s.find_first_not_of(' '));
      s.erase(s.find_last_not_of(" \n") + 1);
      return s;
    };
    Atom a;
    a.name = field(12, 4);
    a.alt = field(16, 1);
    a.res = field(17, 3);
    const char ch = l[21];
    if (!chain_no.count(ch)) chain_no[ch] = static_cast<int>(chain_no.size());
    a.chain = chain_no[ch];
    a.seq = std::atoi(field(22, 4).c_str());
    a.x = std::atof(field(30, 8).c_str());
    a.y = std::atof(field(38, 8).c_str());
    a.z = std::atof(field(46, 8).c_str());
    a.occ = std::atof(field(54, 6).c_str());
    a.b = std::atof(field(60, 6).c_str());
    a.element = field(76, 2);
    g_entry.push_back(a);
  }
  std::fclose(f);
  g_chains = static_cast<int>(chain_no.size());
}

// A chain name of two letters for chain c of the whole tiled model.
std::string chain_name(int c) { return {static_cast<char>('A' + c % 26), static_cast<char>('A' + c / 26 % 26)}; }

int copies_for(int64_t natom) {
  return static_cast<int>((natom + static_cast<int64_t>(g_entry.size()) - 1) / static_cast<int64_t>(g_entry.size()));
}

std::string tiled_path(int copies, bool linked) {
  return "/tmp/pipeline_bench_" + std::to_string(getpid()) + "_" + std::to_string(copies) + (linked ? "_ln" : "") +
         ".cif";
}

// The connection rows of the tiled model: C of each residue to N of the next
// one in the same chain copy, written before the atom rows as the archive
// writes them.
void write_connections(std::FILE* f, int copies) {
  std::fputs(
      "loop_\n_struct_conn.id\n_struct_conn.conn_type_id\n_struct_conn.ptnr1_label_asym_id\n"
      "_struct_conn.ptnr1_label_comp_id\n_struct_conn.ptnr1_auth_seq_id\n_struct_conn.ptnr1_label_atom_id\n"
      "_struct_conn.ptnr1_symmetry\n_struct_conn.ptnr2_label_asym_id\n_struct_conn.ptnr2_label_comp_id\n"
      "_struct_conn.ptnr2_auth_seq_id\n_struct_conn.ptnr2_label_atom_id\n_struct_conn.ptnr2_symmetry\n",
      f);
  // Residues in file order: (chain, number, name) once each.
  std::vector<const Atom*> firsts;
  for (const Atom& a : g_entry)
    if (firsts.empty() || firsts.back()->chain != a.chain || firsts.back()->seq != a.seq) firsts.push_back(&a);
  int id = 0;
  for (int c = 0; c < copies; ++c)
    for (std::size_t k = 1; k < firsts.size(); ++k) {
      const Atom& a = *firsts[k - 1];
      const Atom& b = *firsts[k];
      if (a.chain != b.chain) continue;
      std::fprintf(f, "covale%d covale %s %s %d C 1_555 %s %s %d N 1_555\n", ++id,
                   chain_name(c * g_chains + a.chain).c_str(), a.res.c_str(), a.seq,
                   chain_name(c * g_chains + b.chain).c_str(), b.res.c_str(), b.seq);
    }
}

// The tiled file of `copies` copies, written once per size.
const std::string& tiled_file(int copies, bool linked = false) {
  static std::map<std::pair<int, bool>, std::string> files;
  auto it = files.find({copies, linked});
  if (it != files.end()) return it->second;
  const std::string path = tiled_path(copies, linked);
  std::FILE* f = std::fopen(path.c_str(), "w");
  std::fputs(
      "data_tiled\n_entry.id TILE\n_cell.length_a 500\n_cell.length_b 500\n_cell.length_c 500\n"
      "_cell.angle_alpha 90\n_cell.angle_beta 90\n_cell.angle_gamma 90\n"
      "_symmetry.space_group_name_H-M 'P 1'\n_symmetry.Int_Tables_number 1\n",
      f);
  if (linked) write_connections(f, copies);
  std::fputs(
      "loop_\n_atom_site.group_PDB\n_atom_site.id\n_atom_site.type_symbol\n_atom_site.label_atom_id\n"
      "_atom_site.label_alt_id\n_atom_site.label_comp_id\n_atom_site.label_asym_id\n"
      "_atom_site.label_entity_id\n_atom_site.label_seq_id\n_atom_site.Cartn_x\n_atom_site.Cartn_y\n"
      "_atom_site.Cartn_z\n_atom_site.occupancy\n_atom_site.B_iso_or_equiv\n_atom_site.auth_seq_id\n",
      f);
  int id = 0;
  for (int c = 0; c < copies; ++c) {
    const double off[3] = {60.0 * (c % 8), 60.0 * ((c / 8) % 8), 60.0 * (c / 64)};
    for (const Atom& a : g_entry) {
      const std::string name = a.name.find('\'') != std::string::npos ? "\"" + a.name + "\"" : a.name;
      std::fprintf(f, "ATOM %d %s %s %s %s %s 1 %d %.3f %.3f %.3f %.2f %.2f %d\n", ++id, a.element.c_str(),
                   name.c_str(), a.alt.empty() ? "." : a.alt.c_str(), a.res.c_str(),
                   chain_name(c * g_chains + a.chain).c_str(), a.seq, a.x + off[0], a.y + off[1], a.z + off[2],
                   a.occ, a.b, a.seq);
    }
  }
  std::fclose(f);
  return files[{copies, linked}] = path;
}

void remove_files() {
  for (int n : {10000, 50000, 100000, 250000})
    for (bool linked : {false, true}) std::remove(tiled_path(copies_for(n), linked).c_str());
}

std::string out_base() { return "/tmp/pipeline_bench_out_" + std::to_string(getpid()); }

void remove_outputs() {
  for (const char* ext : {".crd", ".str", ".rst", "_lib.cif"}) std::remove((out_base() + ext).c_str());
}

double since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void pipeline(benchmark::State& state, bool linked) {
  const std::string& file = tiled_file(copies_for(state.range(0)), linked);
  int32_t ierr = 0;
  for (auto _ : state) {
    int32_t mdoc = -999;
    float dmin = 0.0f;
    char conn = 'Y', cis = 'Y', lnk = 'Y', chain = 'N', pept = 'N', check_spec = 'Y', h = 'Y', rflag = 'N',
         form = 'F', symm = 'Y', ss = 'Y', sugar = 'Y', list = 'S', check = 'Y', coor = 'N', srch = 'N', seg = 'N',
         new_lib = 'N', fstop = 'N';
    const float cell[6] = {0, 0, 0, 0, 0, 0};
    tessran_(mdoc, file, out_base(), "", 0.0f, dmin, conn, cis, lnk, chain, pept, check_spec, h, rflag, form, symm,
             ss, sugar, list, check, coor, srch, seg, kLibrary, "", "", "", "bench", 0, cell, out_base() + "_lib.cif",
             new_lib, fstop, ierr);
    rt::close_all_units();
  }
  if (ierr != 0) state.SkipWithError("the pipeline failed");
  state.counters["atoms"] = atom_inf.n_atom;
  state.counters["residues"] = resid_inf.n_residue;
  state.counters["links"] = link_inf.ln_n;
  remove_outputs();
}

void BM_Pipeline(benchmark::State& state) { pipeline(state, false); }
void BM_PipelineLinked(benchmark::State& state) { pipeline(state, true); }

constexpr std::array<const char*, 7> kStages = {"library", "read", "identify", "input_links",
                                                "connectivity", "restraints", "new_library"};
// Seconds of each stage at each size, from the last BM_Stages run.
std::map<int64_t, std::array<double, kStages.size()>> g_stage_seconds;
std::map<int64_t, double> g_bare_seconds;

// The stages in the order of the pipeline, with its arguments for a silent
// run; seconds of each into t.
int32_t run_stages(const std::string& file, std::array<double, kStages.size()>& t) {
  static BenchRun run;
  int32_t ierr = 0;
  const int32_t mdoc = start_bench_run(run, kLibrary, file, out_base(), ierr);
  const rt::FixedText<256>& in_file = run.in_file;

  auto t0 = std::chrono::steady_clock::now();
  read_bench_library(run, mdoc, ierr);
  t[0] = since(t0);
  if (ierr != 0) return ierr;
  initcrd_(mdoc, "", in_file.view(), out_base(), "", out_base(), "", out_base(), 'A', 'Y', ierr);

  t0 = std::chrono::steady_clock::now();
  ierr = 1;
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  read_atoms_(mdoc, "", in_file.view(), "", 0, cell, ierr);
  t[1] = since(t0);
  if (ierr >= 7) ierr = 0;
  if (ierr != 0) return ierr;

  t0 = std::chrono::steady_clock::now();
  int32_t nmnew = 0, lib2 = 0, kerr = 0;
  rt::FixedText<1> new_flag_out("N");
  pre_descr_(mdoc, 'S', 'Y', 'N', 'N', "bench", nmnew, new_flag_out, lib2, kerr, ierr);
  t[2] = since(t0);
  if (ierr != 0 || kerr != 0) return ierr != 0 ? ierr : kerr;

  t0 = std::chrono::steady_clock::now();
  char dnew = 'N';
  def_link_mod_(mdoc, 'S', dnew, ierr);
  t[3] = since(t0);

  t0 = std::chrono::steady_clock::now();
  ierr = 0;
  check_descr_structure_(mdoc, 'S', 'Y', 0.5f, 'Y', 'Y', 'Y', 'N', dnew, 'N', 'Y', 'Y', 'Y', 'N', ierr);
  t[4] = since(t0);
  if (ierr != 0) return ierr;

  t0 = std::chrono::steady_clock::now();
  creat_descr_(mdoc, 'S', 'A', 0.0f, 0.5f, 'Y', 'Y', 'N', ierr);
  t[5] = since(t0);
  const int32_t ierr_rst = ierr;

  t[6] = 0.0;
  if (nmnew > 0 || dnew != 'N') {
    t0 = std::chrono::steady_clock::now();
    ierr = 0;
    get_user_lib_(nmnew, dnew, 'S', ierr);
    for (const char* mode : {"TITC", "MONC", "MODC", "LINC", "STOP"}) {
      if (ierr != 0) break;
      if ((std::string(mode) == "MONC" && nmnew <= 0) || (std::string(mode) == "LINC" && dnew == 'N')) continue;
      wrt_lib_(mdoc, mode, 0, ierr);
    }
    t[6] = since(t0);
    if (ierr != 0) return ierr;
  }
  rt::close_all_units();
  return ierr_rst;
}

void BM_Stages(benchmark::State& state) {
  const std::string& file = tiled_file(copies_for(state.range(0)));
  std::array<double, kStages.size()> t{};
  int32_t ierr = 0;
  for (auto _ : state) ierr = run_stages(file, t);
  if (ierr != 0) state.SkipWithError("a stage failed");
  g_stage_seconds[state.range(0)] = t;
  double whole = 0.0;
  for (double s : t) whole += s;
  const double bare = g_bare_seconds.count(state.range(0)) ? g_bare_seconds[state.range(0)] : 0.0;
  for (std::size_t k = 0; k < kStages.size(); ++k) {
    state.counters[std::string("share_") + kStages[k]] = whole > 0 ? 100.0 * t[k] / whole : 0.0;
    if (bare > 0) state.counters[std::string(kStages[k]) + "_x_read"] = t[k] / bare;
  }
  state.counters["per_residue_us"] = whole / resid_inf.n_residue * 1e6;
  remove_outputs();
}

void BM_BareRead(benchmark::State& state) {
  const std::string& file = tiled_file(copies_for(state.range(0)));
  double sum = 0.0, spent = 0.0;
  int64_t runs = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    std::FILE* f = std::fopen(file.c_str(), "r");
    char line[512];
    while (std::fgets(line, sizeof line, f)) {
      if (line[0] != 'A' || line[1] != 'T') continue;
      // The three coordinates are the 10th to 12th words of the row.
      char* p = line;
      for (int w = 0; w < 9; ++w) {
        while (*p == ' ') ++p;
        while (*p != ' ' && *p != '\0') ++p;
      }
      for (int k = 0; k < 3; ++k) sum += std::strtod(p, &p);
    }
    std::fclose(f);
    spent += since(t0);
    ++runs;
    benchmark::DoNotOptimize(sum);
  }
  g_bare_seconds[state.range(0)] = spent / static_cast<double>(runs);
}

bool brief() { return std::getenv("ORB_BENCH_BRIEF") != nullptr; }

void sizes(benchmark::internal::Benchmark* b) {
  if (brief())
    b->Arg(10000);
  else
    b->Arg(50000)->Arg(100000);
  b->Unit(benchmark::kMillisecond);
}

// The whole runs with and without connection rows also at a size of some
// 17 000 residues, where a scan of the link table per residue shows.
void run_sizes(benchmark::internal::Benchmark* b) {
  sizes(b);
  if (!brief()) b->Arg(250000);
}

// The bare read first, so that the stages can be set against it.
BENCHMARK(BM_BareRead)->Apply(sizes);
BENCHMARK(BM_Stages)->Apply(sizes)->Iterations(1);
BENCHMARK(BM_Pipeline)->Apply(run_sizes)->Iterations(1);
BENCHMARK(BM_PipelineLinked)->Apply(run_sizes)->Iterations(1);

void print_summary() {
  if (g_stage_seconds.empty()) return;
  const int64_t large = g_stage_seconds.rbegin()->first;
  const auto& tl = g_stage_seconds.rbegin()->second;
  double whole = 0.0;
  for (double s : tl) whole += s;
  const double bare = g_bare_seconds.count(large) ? g_bare_seconds[large] : 0.0;
  std::printf("stages at %lld atoms: whole %.3f s, %.1f x the bare read\n", static_cast<long long>(large), whole,
              bare > 0 ? whole / bare : 0.0);
  const bool two = g_stage_seconds.size() > 1;
  const auto& ts = g_stage_seconds.begin()->second;
  for (std::size_t k = 0; k < kStages.size(); ++k) {
    std::printf("  %-13s %6.1f %%  %8.3f s  %7.1f x read", kStages[k], whole > 0 ? 100.0 * tl[k] / whole : 0.0,
                tl[k], bare > 0 ? tl[k] / bare : 0.0);
    if (two && ts[k] > 0) std::printf("  growth %.2f", tl[k] / ts[k]);
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 1);
  setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
  read_entry();
  std::vector<RatioReporter::Pair> pairs;
  for (const char* size : {"10000", "50000", "100000", "250000"})
    pairs.push_back({std::string("BM_PipelineLinked/") + size + "/iterations:1",
                     std::string("BM_Pipeline/") + size + "/iterations:1",
                     std::string("links_x_plain at ") + size + " atoms"});
  // CPU time beside wall time: the runs write large files, and on a shared
  // machine the wall time swings with the load.
  RatioReporter reporter(RatioReporter::Time::both, pairs, "pipeline with a connection row per residue pair:");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  print_summary();
  remove_files();
  return 0;
}
