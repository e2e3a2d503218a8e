// Stages of the dictionary pipeline on models whose atoms are split into
// conformers or whose hydrogens carry older names, each against the same
// model in the plain form, in the same run.  The models are small real
// pieces tiled k times (copy c in chain c of 62 letters, residue numbers
// moved on by 100 for each round of letters, 40 A apart on a grid in a
// 900 A cell of P 1), with the test monomer library of tests/data/monlib.
//
// 1. The link stages (input links and modifications, then links by
//    distance and connectivity), timed alone after the model is read and
//    identified, on tests/data/split_links/his_zinc.pdb (a histidine
//    flipped between two zincs, each conformer bonding one) and
//    cys_split_sg.pdb (a disulfide broken in one conformer of SG), against
//    the same residues with conformer A alone at full occupancy: his_zinc
//    with its LINK records (one per conformer; the plain model keeps the
//    one of conformer A) and without them (links by distance alone).  The
//    split histidine bonds a zinc in each conformer, so it makes two link
//    rows where the plain one makes one: the time per row made is printed
//    after the ratios as well.
// 2. The whole pipeline on tests/data/peers/old_h_names.pdb (hydrogens
//    written 1HB, 2HB, HN) against the same lines under the names of the
//    entry they came from (tests/data/1d3z_model1.pdb: HB2, HB3, H).
//
// ORB_BENCH_BRIEF=1 (the brief run in CI) keeps to the small sizes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench_files.h"
#include "bench_run.h"
#include "connect/connect_driver.h"
#include "connect/input_links.h"
#include "coords/file_type.h"
#include "coords/pdb_reader.h"
#include "dictionary/lib_loading.h"
#include "foundation/atom_com.h"
#include "foundation/paths_defaults.h"
#include "foundation/start_up.h"
#include "identify/pre_descr.h"
#include "pipeline/tessran.h"
#include "quiet_stdout.h"
#include "ratio_reporter.h"
#include "runtime/units.h"

namespace {

const std::string kData = ORB_DATA_DIR "/../tests/data/";
const std::string kLibrary = kData + "monlib/";

BenchFiles g_files("pipeline_forms");

bool starts(const std::string& l, const char* p) { return l.rfind(p, 0) == 0; }

// Residue number `at` (columns at+1 to at+4) and chain (column at) of a
// line moved to copy c.
void move_residue(std::string& l, std::size_t at, int c) {
  static const char kChains[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  if (l.size() < at + 5) return;
  l[at] = kChains[c % 62];
  char buf[16];
  std::snprintf(buf, sizeof buf, "%4d", std::atoi(l.substr(at + 1, 4).c_str()) + 100 * (c / 62));
  l.replace(at + 1, 4, buf);
}

// The atom, TER and LINK lines of a PDB file k times as the header says.
std::vector<std::string> tiled(const std::vector<std::string>& lines, int copies) {
  std::vector<std::string> out = {
      "CRYST1  900.000  900.000  900.000  90.00  90.00  90.00 P 1           1"};
  for (int c = 0; c < copies; ++c)
    for (const std::string& l : lines)
      if (starts(l, "LINK")) {
        std::string a = l;
        move_residue(a, 21, c);
        move_residue(a, 51, c);
        out.push_back(a);
      }
  int serial = 0;
  char buf[16];
  for (int c = 0; c < copies; ++c)
    for (const std::string& l : lines) {
      const bool atom = starts(l, "ATOM") || starts(l, "HETATM");
      if (!atom && !starts(l, "TER")) continue;
      std::string a = l;
      if (a.size() < 27) a.resize(27, ' ');
      std::snprintf(buf, sizeof buf, "%5d", ++serial % 100000);
      a.replace(6, 5, buf);
      move_residue(a, 21, c);
      if (atom) {
        const double off[3] = {40.0 * (c % 20), 40.0 * (c / 20 % 20), 40.0 * (c / 400)};
        for (int k = 0; k < 3; ++k) {
          std::snprintf(buf, sizeof buf, "%8.3f",
                        std::atof(l.substr(30 + 8 * k, 8).c_str()) + off[k]);
          a.replace(30 + 8 * k, 8, buf);
        }
      }
      out.push_back(a);
    }
  out.push_back("END");
  return out;
}

// The lines with conformer A alone, at full occupancy and without its
// code, and only the LINK records of conformer A (or none).
std::vector<std::string> conformer_a(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (std::string l : lines) {
    const bool atom = starts(l, "ATOM") || starts(l, "HETATM");
    if ((atom || starts(l, "LINK")) && l.size() > 16 && l[16] != ' ') {
      if (l[16] != 'A') continue;
      l[16] = ' ';
      if (atom) l.replace(54, 6, "  1.00");
    }
    out.push_back(l);
  }
  return out;
}

std::vector<std::string> without_links(std::vector<std::string> lines) {
  std::erase_if(lines, [](const std::string& l) { return starts(l, "LINK"); });
  return lines;
}

// ------------------------------------------------------------ link stages

enum Model { kHisZinc = 0, kHisZincNoLinks = 1, kCysSplit = 2 };

const std::string& split_model(int model, int copies, bool plain) {
  std::vector<std::string> lines = bench_lines_of(
      kData + (model == kCysSplit ? "split_links/cys_split_sg.pdb" : "split_links/his_zinc.pdb"));
  if (model != kHisZinc) lines = without_links(lines);
  if (plain) lines = conformer_a(lines);
  return g_files.written("split_" + std::to_string(model) + "_" + std::to_string(copies) +
                             (plain ? "_plain.pdb" : ".pdb"),
                         tiled(lines, copies));
}

std::string out_base() { return g_files.path("out"); }

void remove_outputs() {
  for (const char* ext : {".crd", ".str", ".rst", "_lib.cif"})
    std::remove((out_base() + ext).c_str());
}

// The pipeline's stages up to identification as tessran_ calls them,
// silent; false when one fails.
bool read_and_identify(const std::string& file) {
  static BenchRun run;
  int32_t ierr = 0;
  const int32_t mdoc = start_bench_run(run, kLibrary, file, out_base(), ierr);
  read_bench_library(run, mdoc, ierr);
  if (ierr != 0) return false;
  const rt::FixedText<256>& in_file = run.in_file;
  initcrd_(mdoc, in_file.view(), "", out_base(), "", out_base(), "", out_base(), 'A', 'Y', ierr);
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  ierr = 1;
  get_pdb_(mdoc, in_file.view(), 0, cell, 'N', 'N', 'N', ierr);
  if (ierr != 0) return false;
  int32_t nmnew = 0, lib2 = 0, kerr = 0;
  rt::FixedText<1> new_flag_out("N");
  pre_descr_(mdoc, 'S', 'Y', 'N', 'N', "bench", nmnew, new_flag_out, lib2, kerr, ierr);
  return ierr == 0 && kerr == 0;
}

// Seconds of the link stages per link row made, by benchmark name: the
// split models make a row per conformer that bonds, so their time is also
// set against the plain model's per row.
std::map<std::string, double> g_per_link;

void link_stages(benchmark::State& state, bool plain) {
  const int model = static_cast<int>(state.range(0));
  const int copies = bench_brief() ? 20 : static_cast<int>(state.range(1));
  const std::string& file = split_model(model, copies, plain);
  int32_t ierr = 0;
  double spent = 0.0;
  int64_t runs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    bool ok = false;
    {
      QuietStdout quiet;
      ok = read_and_identify(file);
    }
    state.ResumeTiming();
    if (!ok) {
      state.SkipWithError("the model was not read and identified");
      break;
    }
    const auto t0 = std::chrono::steady_clock::now();
    {
      QuietStdout quiet;
      char dnew = 'N';
      def_link_mod_(999, 'S', dnew, ierr);
      ierr = 0;
      check_descr_structure_(999, 'S', 'Y', 0.5f, 'Y', 'Y', 'Y', 'N', dnew, 'N', 'Y', 'Y', 'Y', 'N',
                             ierr);
    }
    spent += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    ++runs;
    state.PauseTiming();
    rt::close_all_units();
    state.ResumeTiming();
    if (ierr != 0) {
      state.SkipWithError("the link stages failed");
      break;
    }
  }
  state.counters["atoms"] = atom_inf.n_atom;
  state.counters["links"] = link_inf.ln_n;
  if (runs > 0 && link_inf.ln_n > 0) {
    const double per_link = spent / static_cast<double>(runs) / link_inf.ln_n;
    state.counters["per_link_us"] = per_link * 1e6;
    g_per_link[std::string(plain ? "BM_LinksPlain/" : "BM_LinksSplit/") +
               std::to_string(state.range(0)) + "/" + std::to_string(state.range(1))] = per_link;
  }
}

void BM_LinksSplit(benchmark::State& state) { link_stages(state, false); }
void BM_LinksPlain(benchmark::State& state) { link_stages(state, true); }

// ------------------------------------------------- older hydrogen names

// Residues 44-50 of 1d3z's first model, with the names of old_h_names.pdb
// or those of the entry, k times.
const std::string& h_names_model(int copies, bool older) {
  const std::vector<std::string> old_lines = bench_lines_of(kData + "peers/old_h_names.pdb");
  std::vector<std::string> current;
  for (const std::string& l : bench_lines_of(kData + "1d3z_model1.pdb")) {
    if (!starts(l, "ATOM")) continue;
    const int num = std::atoi(l.substr(22, 4).c_str());
    if (num >= 44 && num <= 50) current.push_back(l.substr(12, 4));
  }
  std::vector<std::string> lines;
  std::size_t k = 0;
  for (std::string l : old_lines) {
    if (starts(l, "ATOM") && !older && k < current.size()) l.replace(12, 4, current[k++]);
    lines.push_back(l);
  }
  return g_files.written("hnames_" + std::to_string(copies) + (older ? "_old.pdb" : "_new.pdb"),
                         tiled(lines, copies));
}

void pipeline(benchmark::State& state, bool older) {
  const int copies = bench_brief() ? 4 : static_cast<int>(state.range(0));
  const std::string& file = h_names_model(copies, older);
  int32_t ierr = 0;
  for (auto _ : state) {
    int32_t mdoc = -999;
    float dmin = 0.0f;
    char conn = 'Y', cis = 'Y', lnk = 'Y', chain = 'N', pept = 'N', check_spec = 'Y', h = 'Y',
         rflag = 'N', form = 'F', symm = 'Y', ss = 'Y', sugar = 'Y', list = 'S', check = 'Y',
         coor = 'N', srch = 'N', seg = 'N', new_lib = 'N', fstop = 'N';
    const float cell[6] = {0, 0, 0, 0, 0, 0};
    {
      QuietStdout quiet;
      tessran_(mdoc, file, out_base(), "", 0.0f, dmin, conn, cis, lnk, chain, pept, check_spec, h,
               rflag, form, symm, ss, sugar, list, check, coor, srch, seg, kLibrary, "", "", "",
               "bench", 0, cell, out_base() + "_lib.cif", new_lib, fstop, ierr);
    }
    rt::close_all_units();
  }
  state.counters["atoms"] = atom_inf.n_atom;
  state.counters["status"] = ierr;
  remove_outputs();
}

void BM_PipelineOlderHNames(benchmark::State& state) { pipeline(state, true); }
void BM_PipelineCurrentHNames(benchmark::State& state) { pipeline(state, false); }

void link_models(benchmark::internal::Benchmark* b) {
  for (int m : {kHisZinc, kHisZincNoLinks, kCysSplit}) {
    b->Args({m, 20});
    if (!bench_brief()) b->Args({m, 400});
  }
  b->Unit(benchmark::kMillisecond);
}
void h_copies(benchmark::internal::Benchmark* b) {
  b->Arg(4);
  if (!bench_brief()) b->Arg(200);
  b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_LinksSplit)->Apply(link_models);
BENCHMARK(BM_LinksPlain)->Apply(link_models);
BENCHMARK(BM_PipelineOlderHNames)->Apply(h_copies);
BENCHMARK(BM_PipelineCurrentHNames)->Apply(h_copies);

int main(int argc, char** argv) {
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 0);
  setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
  benchmark::Initialize(&argc, argv);
  std::vector<RatioReporter::Pair> pairs;
  const char* models[] = {"his_zinc with LINK records", "his_zinc links by distance",
                          "cys_split_sg"};
  for (int m = 0; m < 3; ++m)
    for (const char* n : {"20", "400"}) {
      const std::string args = std::to_string(m) + "/" + n;
      pairs.push_back({"BM_LinksSplit/" + args, "BM_LinksPlain/" + args,
                       std::string("link stages, ") + models[m] + " x" + n +
                           " two conformers / conformer A alone"});
    }
  for (const char* n : {"4", "200"})
    pairs.push_back({std::string("BM_PipelineOlderHNames/") + n,
                     std::string("BM_PipelineCurrentHNames/") + n,
                     std::string("pipeline, old_h_names x") + n + " older names / current names"});
  RatioReporter reporter(RatioReporter::Time::cpu, pairs, "Ratios (CPU time):");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("Per link row made (wall time):\n");
  for (const RatioReporter::Pair& p : pairs)
    if (g_per_link.count(p.measured) && g_per_link.count(p.baseline))
      std::printf("  %s: %.2f\n", p.label.c_str(), g_per_link[p.measured] / g_per_link[p.baseline]);
  remove_outputs();
  benchmark::Shutdown();
  return 0;
}
