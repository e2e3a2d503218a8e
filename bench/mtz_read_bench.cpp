// Reading a generated reflection file of 1 000 000 reflections and 12
// columns with MtzGet, against a bare fread of the same bytes into one
// buffer.  The reader should stay within twice the bare read; the ratio is
// printed after the runs.  ORB_BENCH_BRIEF=1 keeps to 100 000 reflections.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ratio_reporter.h"
#include "reflections/machine_stamp.h"
#include "reflections/mtz_hierarchy.h"
#include "reflections/mtz_reader.h"

namespace {

constexpr int kColumns = 12;

int reflection_count() {
  const char* brief = std::getenv("ORB_BENCH_BRIEF");
  return (brief != nullptr && brief[0] == '1') ? 100000 : 1000000;
}

std::string record(const char* format, ...) {
  char buf[128];
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(buf, sizeof buf, format, ap);
  va_end(ap);
  std::string r(buf);
  r.resize(80, ' ');
  return r;
}

// The file in native byte order: H, K, L in the base dataset, nine data
// columns in /xtal/native, every 17th value of the last column missing.
const std::string& mtz_file() {
  static std::string path;
  if (!path.empty()) return path;
  path = "/tmp/mtz_read_bench_" + std::to_string(getpid()) + ".mtz";
  const int nref = reflection_count();
  FILE* f = std::fopen(path.c_str(), "wb");
  const int32_t header_word = nref * kColumns + 21;
  const unsigned char stamp[4] = {static_cast<unsigned char>(PTQ7_NATIVE_REAL_FORMAT * 17),
                                  static_cast<unsigned char>(PTQ7_NATIVE_INT_FORMAT * 16 + 1), 0,
                                  0};
  std::fwrite("MTZ ", 1, 4, f);
  std::fwrite(&header_word, 4, 1, f);
  std::fwrite(stamp, 1, 4, f);
  const char pad[68] = {};
  std::fwrite(pad, 1, sizeof pad, f);
  std::vector<float> row(kColumns);
  uint32_t missing = 0xFFFA5A5Au;
  for (int i = 0; i < nref; ++i) {
    row[0] = static_cast<float>(i % 50);
    row[1] = static_cast<float>((i / 50) % 60);
    row[2] = static_cast<float>(i / 3000);
    for (int k = 3; k < kColumns; ++k)
      row[k] = static_cast<float>(i) * 0.5f + static_cast<float>(k);
    if (i % 17 == 0) std::memcpy(&row[kColumns - 1], &missing, 4);
    std::fwrite(row.data(), 4, kColumns, f);
  }
  std::string h;
  h += record("VERS MTZ:V1.1");
  h += record("TITLE benchmark data");
  h += record("NCOL %8d %12d %8d", kColumns, nref, 0);
  h += record("CELL  %9.4f %9.4f %9.4f %9.4f %9.4f %9.4f", 60.0, 70.0, 80.0, 90.0, 90.0, 90.0);
  h += record("SORT    1   2   3   0   0");
  h += record("SYMINF %3d %2d %c %5d %22s %5s", 1, 1, 'P', 1, "'P 1'", "PG1");
  h += record("SYMM X,  Y,  Z");
  h += record("VALM NAN");
  const char* labels[kColumns] = {"H",    "K",   "L",   "FP",  "SIGFP", "FC",
                                  "PHIC", "FOM", "HLA", "HLB", "HLC",   "FreeR_flag"};
  const char types[kColumns] = {'H', 'H', 'H', 'F', 'Q', 'F', 'P', 'W', 'A', 'A', 'A', 'I'};
  for (int k = 0; k < kColumns; ++k)
    h += record("COLUMN %-30s %c %17.4f %17.4f %4d", labels[k], types[k], 0.0, 1.0, k < 3 ? 0 : 1);
  h += record("NDIF %8d", 2);
  for (int id = 0; id < 2; ++id) {
    const char* name = id == 0 ? "HKL_base" : "native";
    h += record("PROJECT %7d %-64s", id, id == 0 ? "HKL_base" : "proj");
    h += record("CRYSTAL %7d %-64s", id, id == 0 ? "HKL_base" : "xtal");
    h += record("DATASET %7d %-64s", id, name);
    h += record("DCELL   %7d %10.4f%10.4f%10.4f%10.4f%10.4f%10.4f", id, 60.0, 70.0, 80.0, 90.0,
                90.0, 90.0);
    h += record("DWAVEL  %7d %10.5f", id, 1.0);
  }
  h += record("END ");
  h += record("MTZENDOFHEADERS ");
  std::fwrite(h.data(), 1, h.size(), f);
  std::fclose(f);
  return path;
}

void BM_MtzGet(benchmark::State& state) {
  const std::string& path = mtz_file();
  for (auto _ : state) {
    std::unique_ptr<MtzFile> mtz = MtzGet(path.c_str(), 1);
    if (!mtz || mtz->nref != reflection_count()) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(mtz.get());
  }
  state.SetItemsProcessed(state.iterations() * reflection_count());
}

// The same bytes into one buffer, a megabyte per fread.
void BM_BareFread(benchmark::State& state) {
  const std::string& path = mtz_file();
  state.SetLabel("less work: no columns filled, no resolution range");
  for (auto _ : state) {
    FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    std::unique_ptr<char[]> buf(new char[static_cast<std::size_t>(size)]);
    for (long at = 0; at < size;) {
      const std::size_t got = std::fread(buf.get() + at, 1, 1 << 20, f);
      if (got == 0) break;
      at += static_cast<long>(got);
    }
    std::fclose(f);
    benchmark::DoNotOptimize(buf.get());
  }
  state.SetItemsProcessed(state.iterations() * reflection_count());
}


}  // namespace

BENCHMARK(BM_MtzGet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareFread)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter("BM_MtzGet", "BM_BareFread", "MtzGet / bare fread");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  if (!mtz_file().empty()) std::remove(mtz_file().c_str());
  return 0;
}
