// Writing and reading PDB-like atom records through cached formats.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "runtime/fixed_text.h"
#include "runtime/format.h"
#include "runtime/units.h"

namespace {

constexpr const char* kAtomFormat = "(A6,I5,1X,A4,A1,A3,1X,A1,I4,A1,3X,3F8.3,2F6.2,10X,A2)";
constexpr const char* kReadFormat = "(A6,I5,1X,A4,A1,A3,1X,A1,I4,A1,3X,3F8.3,2F6.2)";

std::string scratch_path() { return "/tmp/runtime_bench_" + std::to_string(getpid()) + ".pdb"; }

void BM_FormatAtomRecord(benchmark::State& state) {
  int64_t n = 0;
  for (auto _ : state) {
    const std::string& r = rt::fmt(kAtomFormat, "ATOM  ", static_cast<int>(n % 99999), " CA ", " ", "ALA", "A",
                                   static_cast<int>(n % 9999), " ", 11.104f + n % 7, -3.25f, 101.5f, 1.0f, 20.5f, " C");
    benchmark::DoNotOptimize(r.data());
    ++n;
  }
  state.SetItemsProcessed(n);
}
BENCHMARK(BM_FormatAtomRecord);

// Writes then reads back state.range(0) records through a unit.
void BM_WriteReadAtomFile(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const std::string path = scratch_path();
  for (auto _ : state) {
    rt::OpenOptions o;
    rt::unit_open(20, path, o);
    for (int i = 0; i < records; ++i)
      rt::write_fmt(20, kAtomFormat, "ATOM  ", i % 99999, " CA ", " ", "ALA", "A", i % 9999, " ", 11.104f + i % 7,
                    -3.25f, 101.5f, 1.0f, 20.5f, " C");
    rt::unit_rewind(20);
    std::string rec;
    rt::FixedText<6> name;
    rt::FixedText<4> aname;
    rt::FixedText<1> alt, chain, ins;
    rt::FixedText<3> rname;
    int32_t serial = 0, resno = 0;
    float x, y, z, occ, b;
    double sum = 0;
    while (rt::read_record(20, rec) == rt::IOSTAT_OK) {
      rt::read_fmt(rec, kReadFormat, name, serial, aname, alt, rname, chain, resno, ins, x, y, z, occ, b);
      sum += x;
    }
    benchmark::DoNotOptimize(sum);
    rt::unit_close(20, true);
  }
  state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_WriteReadAtomFile)->Arg(std::getenv("ORB_BENCH_BRIEF") ? 10000 : 1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
