// Side by side with gemmi, a widely used structural-biology library, in one
// run on the same files: reflection (MTZ) files of 200 000 x 10 and
// 1 000 000 x 12 values read and written (row by row through the writing
// interface, and whole from memory as gemmi writes), a PDB model of 400 000
// atoms read and written, and a 644-atom entry read.  Each pair is timed in CPU time
// and in wall time (a writer's cost lies partly in the system), and both
// ratios ours / gemmi printed after the runs; 1.0 or less means we are not
// slower.  The files go to a temporary directory under ORB_BENCH_DIR
// (default /tmp): point it at a memory file system and at a disk to see
// both.  By default every benchmark runs 9 times (3 with
// ORB_BENCH_BRIEF=1, which also keeps to small files), the repetitions of
// all benchmarks in random order, and the ratio is that of the medians: on
// a shared machine one side run wholly before the other would see another
// load.  Flags on the command line override these defaults.  Built only
// where gemmi's headers are found.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#define GEMMI_WRITE_IMPLEMENTATION
#include <gemmi/mtz.hpp>
#include <gemmi/pdb.hpp>
#include <gemmi/symmetry.hpp>
#include <gemmi/to_pdb.hpp>

#include "coords/pdb_reader.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "output/pdb_writer.h"
#include "pdb_model.h"
#include "quiet_stdout.h"
#include "ratio_reporter.h"
#include "reflections/cmtzlib.h"
#include "reflections/mtz_reader.h"
#include "reflections/mtz_write_api.h"
#include "reflections/mtz_writer.h"
#include "runtime/units.h"

namespace {

bool brief() {
  const char* b = std::getenv("ORB_BENCH_BRIEF");
  return b != nullptr && b[0] == '1';
}

// The generated files live in one temporary directory, removed at exit.
struct WorkDir {
  std::string path;
  WorkDir() {
    const char* base = std::getenv("ORB_BENCH_DIR");
    std::string tmpl = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") +
                       "/peerbenchXXXXXX";
    if (mkdtemp(tmpl.data()) == nullptr) {
      std::perror(tmpl.c_str());
      std::exit(1);
    }
    path = tmpl;
  }
  ~WorkDir() {
    if (!path.empty()) std::system(("rm -rf " + path).c_str());
  }
};

const std::string& work_dir() {
  static WorkDir dir;
  return dir.path;
}

// ---- reflection files ----

struct MtzShape {
  int nref;
  int ncol;
};

MtzShape mtz_shape(int which) {
  if (which == 0) return {brief() ? 2000 : 200000, 10};
  return {brief() ? 10000 : 1000000, 12};
}

// The missing-number word of reflection files.
constexpr uint32_t kMissing = 0xFFFA5A5Au;

constexpr const char* kLabels[12] = {"H",   "K",   "L",   "FP",  "SIGFP", "FC",
                                     "PHIC", "FOM", "HLA", "HLB", "HLC",   "FreeR_flag"};
constexpr const char* kTypes[12] = {"H", "H", "H", "F", "Q", "F", "P", "W", "A", "A", "A", "I"};

// Rows of an orthorhombic cell's reflections, every 17th value of the
// last column missing.
const std::vector<float>& mtz_rows(int which) {
  static std::map<int, std::vector<float>> made;
  auto it = made.find(which);
  if (it != made.end()) return it->second;
  const MtzShape s = mtz_shape(which);
  std::vector<float> rows(static_cast<std::size_t>(s.nref) * s.ncol);
  for (int i = 0; i < s.nref; ++i) {
    float* row = rows.data() + static_cast<std::size_t>(i) * s.ncol;
    row[0] = static_cast<float>(i % 50);
    row[1] = static_cast<float>((i / 50) % 60);
    row[2] = static_cast<float>(i / 3000 + 1);
    for (int k = 3; k < s.ncol; ++k) row[k] = static_cast<float>(i) * 0.5f + static_cast<float>(k);
    if (i % 17 == 0) std::memcpy(&row[s.ncol - 1], &kMissing, 4);
  }
  return made[which] = std::move(rows);
}

// Our writer, the work timed in the write benchmark.
void write_ours(int which, const std::string& path) {
  const MtzShape s = mtz_shape(which);
  rt::FixedText<30> labels[12];
  rt::FixedText<1> types[12];
  for (int k = 0; k < s.ncol; ++k) {
    labels[k] = kLabels[k];
    types[k] = kTypes[k];
  }
  const float cell[6] = {60, 70, 80, 90, 90, 90};
  const float rsym[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  const std::vector<float>& rows = mtz_rows(which);
  lwopen_(1, path);
  lwtitl_(1, "peer benchmark data", 0);
  lwassn_(1, TextArray(labels), s.ncol, TextArray(types), 0);
  lwidx_(1, "proj", "xtal", "native", cell, 1.0f);
  lwcell_(1, cell);
  lwsymm_(1, 1, 1, rsym, "P", 1, "P 1", "PG1");
  for (int i = 0; i < s.nref; ++i) lwrefl_(1, rows.data() + static_cast<std::size_t>(i) * s.ncol);
  lwclos_(1, 0);
}

const std::string& mtz_file(int which) {
  static std::map<int, std::string> made;
  auto it = made.find(which);
  if (it != made.end()) return it->second;
  const std::string path = work_dir() + "/in" + std::to_string(which) + ".mtz";
  {
    QuietStdout quiet;
    write_ours(which, path);
  }
  return made[which] = path;
}

void BM_MtzReadOurs(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const std::string& path = mtz_file(which);
  for (auto _ : state) {
    std::unique_ptr<MtzFile> mtz = MtzGet(path.c_str(), 1);
    if (!mtz || mtz->nref != mtz_shape(which).nref) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(mtz.get());
  }
}

void BM_MtzReadGemmi(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const std::string& path = mtz_file(which);
  for (auto _ : state) {
    gemmi::Mtz mtz = gemmi::read_mtz_file(path);
    if (mtz.nreflections != mtz_shape(which).nref) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(mtz.data.data());
  }
}

void BM_MtzWriteOurs(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const std::string path = work_dir() + "/ours" + std::to_string(which) + ".mtz";
  mtz_rows(which);
  QuietStdout quiet;
  for (auto _ : state) write_ours(which, path);
}

// The whole file held in memory written out, as gemmi writes its own.
void BM_MtzPutOurs(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const std::string path = work_dir() + "/put" + std::to_string(which) + ".mtz";
  const std::unique_ptr<MtzFile> mtz = MtzGet(mtz_file(which).c_str(), 1);
  QuietStdout quiet;
  for (auto _ : state)
    if (MtzPut(mtz.get(), path.c_str()) != 1) state.SkipWithError("write failed");
}

void BM_MtzWriteGemmi(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const std::string path = work_dir() + "/gemmi" + std::to_string(which) + ".mtz";
  const gemmi::Mtz mtz = gemmi::read_mtz_file(mtz_file(which));
  for (auto _ : state) mtz.write_to_file(path);
}

// ---- PDB files ----

int model_atoms() { return brief() ? 4000 : 400000; }

const std::string& pdb_model() {
  static std::string path;
  if (!path.empty()) return path;
  path = work_dir() + "/model.pdb";
  write_pdb_model(path, model_atoms());
  return path;
}

const std::string small_entry() { return ORB_TEST_DATA_DIR "/1A8O.pdb"; }

// Our PDB reader into the structure tables; the number of atoms read.
int read_pdb_ours(const std::string& path) {
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  int32_t ierr = 0;
  get_pdb_(-999, path, 0, cell, 'N', 'N', 'N', ierr);
  rt::close_all_units();
  return ierr == 0 ? atom_inf.n_atom : -1;
}

void BM_PdbReadOurs(benchmark::State& state) {
  const std::string& path = pdb_model();
  QuietStdout quiet;
  for (auto _ : state)
    if (read_pdb_ours(path) != model_atoms()) state.SkipWithError("read failed");
}

void BM_PdbReadGemmi(benchmark::State& state) {
  const std::string& path = pdb_model();
  for (auto _ : state) {
    gemmi::Structure st = gemmi::read_pdb_file(path);
    benchmark::DoNotOptimize(st.models.data());
  }
}

void BM_PdbWriteOurs(benchmark::State& state) {
  const std::string path = work_dir() + "/ours.pdb";
  QuietStdout quiet;
  if (read_pdb_ours(pdb_model()) != model_atoms()) {
    state.SkipWithError("read failed");
    return;
  }
  for (auto _ : state) {
    char h = 'Y', seg = 'N';
    rt::FixedText<256> dir(""), ext("");
    int32_t ierr = 0;
    write_atoms_pdb_(99, h, 'N', seg, dir, path, ext, ierr);
    if (ierr != 0) state.SkipWithError("write failed");
  }
}

void BM_PdbWriteGemmi(benchmark::State& state) {
  const std::string path = work_dir() + "/gemmi.pdb";
  const gemmi::Structure st = gemmi::read_pdb_file(pdb_model());
  for (auto _ : state) {
    std::ofstream os(path);
    gemmi::write_pdb(st, os);
  }
}

// The small entry: the file read and its space group found, by name.
void BM_SmallEntryOurs(benchmark::State& state) {
  const std::string path = small_entry();
  QuietStdout quiet;
  for (auto _ : state)
    if (read_pdb_ours(path) != 644) state.SkipWithError("read failed");
}

void BM_SmallEntryGemmi(benchmark::State& state) {
  const std::string path = small_entry();
  for (auto _ : state) {
    gemmi::Structure st = gemmi::read_pdb_file(path);
    const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_name(st.spacegroup_hm);
    if (sg == nullptr) state.SkipWithError("space group not found");
    benchmark::DoNotOptimize(sg);
  }
}

}  // namespace

BENCHMARK(BM_MtzReadOurs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MtzReadGemmi)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MtzWriteOurs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MtzPutOurs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MtzWriteGemmi)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdbReadOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdbReadGemmi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdbWriteOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdbWriteGemmi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallEntryOurs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmallEntryGemmi)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  // Both libraries allocate their data afresh on every read.  The allocator
  // is told to keep freed memory, so that each iteration measures the
  // library's work rather than whether the allocator's trimming rules
  // happened to hand its blocks back to the system (which depends on the
  // sizes of the blocks, not on the work): the same setting for both.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 0);
  set_cif_types_();
  init_res_type_tab_();
  comlib.iquiet = 1;
  work_dir();
  // The defaults go before the caller's arguments, so that the caller's win.
  std::string repetitions = "--benchmark_repetitions=" + std::string(brief() ? "3" : "9");
  std::string interleaving = "--benchmark_enable_random_interleaving=true";
  std::string aggregates = "--benchmark_display_aggregates_only=true";
  std::vector<char*> args(argv, argv + argc);
  args.insert(args.begin() + 1, {repetitions.data(), interleaving.data(), aggregates.data()});
  args.push_back(nullptr);
  int nargs = static_cast<int>(args.size()) - 1;
  benchmark::Initialize(&nargs, args.data());
  auto mtz = [](int which) {
    const MtzShape s = mtz_shape(which);
    return std::to_string(s.nref) + " x " + std::to_string(s.ncol);
  };
  const std::string atoms = std::to_string(model_atoms()) + " atoms";
  RatioReporter reporter(RatioReporter::Time::both,
                         {{"BM_MtzReadOurs/0", "BM_MtzReadGemmi/0", "MTZ read " + mtz(0)},
                          {"BM_MtzReadOurs/1", "BM_MtzReadGemmi/1", "MTZ read " + mtz(1)},
                          {"BM_MtzWriteOurs/0", "BM_MtzWriteGemmi/0", "MTZ write " + mtz(0)},
                          {"BM_MtzWriteOurs/1", "BM_MtzWriteGemmi/1", "MTZ write " + mtz(1)},
                          {"BM_MtzPutOurs/0", "BM_MtzWriteGemmi/0", "MTZ write " + mtz(0) + " held in memory"},
                          {"BM_MtzPutOurs/1", "BM_MtzWriteGemmi/1", "MTZ write " + mtz(1) + " held in memory"},
                          {"BM_PdbReadOurs", "BM_PdbReadGemmi", "PDB read " + atoms},
                          {"BM_PdbWriteOurs", "BM_PdbWriteGemmi", "PDB write " + atoms},
                          {"BM_SmallEntryOurs", "BM_SmallEntryGemmi", "read of a 644-atom entry"}},
                         "ours / gemmi in " + work_dir() + " (CPU time, wall time)");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
