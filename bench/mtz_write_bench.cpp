// Writing 1 000 000 reflections of 12 columns through lwrefl_, against a bare
// fwrite of the same rows (one fwrite per row, as a plain writer would go,
// through a stream buffer of the writer's 1 MiB so that both hand the system
// the same pieces).  The bare write does less: no column ranges, no
// resolutions, no header; its label says so.  The interface should stay
// within twice the bare write; the ratio is printed after the runs.
// ORB_BENCH_BRIEF=1 keeps to 100 000 reflections.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ratio_reporter.h"
#include "reflections/cmtzlib.h"
#include "reflections/mtz_write_api.h"

namespace {

constexpr int kColumns = 12;

int reflection_count() {
  const char* brief = std::getenv("ORB_BENCH_BRIEF");
  return (brief != nullptr && brief[0] == '1') ? 100000 : 1000000;
}

const std::string& out_path() {
  static const std::string path = "/tmp/mtz_write_bench_" + std::to_string(getpid()) + ".mtz";
  return path;
}

void fill_row(std::vector<float>& row, int i) {
  row[0] = static_cast<float>(i % 50);
  row[1] = static_cast<float>((i / 50) % 60);
  row[2] = static_cast<float>(i / 3000);
  for (int k = 3; k < kColumns; ++k) row[k] = static_cast<float>(i) * 0.5f + static_cast<float>(k);
}

void BM_Lwrefl(benchmark::State& state) {
  rt::FixedText<30> labels[kColumns] = {"H",    "K",   "L",   "FP",  "SIGFP", "FC",
                                        "PHIC", "FOM", "HLA", "HLB", "HLC",   "FreeR_flag"};
  rt::FixedText<1> types[kColumns] = {"H", "H", "H", "F", "Q", "F", "P", "W", "A", "A", "A", "I"};
  const float cell[6] = {60, 70, 80, 90, 90, 90};
  std::vector<float> row(kColumns);
  const int nref = reflection_count();
  for (auto _ : state) {
    lwopen_(1, out_path());
    lwassn_(1, TextArray(labels), kColumns, TextArray(types), 0);
    lwidx_(1, "proj", "xtal", "native", cell, 1.0f);
    lwcell_(1, cell);
    for (int i = 0; i < nref; ++i) {
      fill_row(row, i);
      lwrefl_(1, row.data());
    }
    lwclos_(1, 0);
  }
  state.SetItemsProcessed(state.iterations() * nref);
}

void BM_BareFwrite(benchmark::State& state) {
  constexpr std::size_t kBuffer = 1 << 20;
  const auto buffer = std::make_unique_for_overwrite<char[]>(kBuffer);
  std::vector<float> row(kColumns);
  const int nref = reflection_count();
  state.SetLabel("less work: no column ranges or resolutions, no header");
  for (auto _ : state) {
    std::FILE* f = std::fopen(out_path().c_str(), "wb");
    std::setvbuf(f, buffer.get(), _IOFBF, kBuffer);
    char head[80] = {'M', 'T', 'Z', ' '};
    std::fwrite(head, 1, sizeof head, f);
    for (int i = 0; i < nref; ++i) {
      fill_row(row, i);
      std::fwrite(row.data(), sizeof(float), kColumns, f);
    }
    std::fclose(f);
  }
  state.SetItemsProcessed(state.iterations() * nref);
}


}  // namespace

BENCHMARK(BM_Lwrefl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareFwrite)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter("BM_Lwrefl", "BM_BareFwrite",
                        "lwrefl_ / bare fwrite (which does less: no ranges, resolutions or header)");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::remove(out_path().c_str());
  return 0;
}
