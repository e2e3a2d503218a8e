// Loading space groups from the project's symmetry data file.  The first
// load reads and indexes the file; later loads walk the index held in
// memory and tokenise only the block they take, so they should cost a small
// part of a bare pass that only reads the lines.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>

#include "quiet_stdout.h"
#include "suite/csymlib.h"

namespace {

std::string data_file() { return std::string(ORB_DATA_DIR) + "/syminfo.lib"; }

// The extended symbol of the file's last block.
std::string last_symbol() {
  std::FILE* f = std::fopen(data_file().c_str(), "r");
  char line[256];
  std::string last;
  while (f && std::fgets(line, sizeof line, f)) {
    if (std::strncmp(line, "symbol xHM", 10) != 0) continue;
    const char* q1 = std::strchr(line, '\'');
    const char* q2 = q1 ? std::strchr(q1 + 1, '\'') : nullptr;
    if (q2) last.assign(q1 + 1, q2);
  }
  if (f) std::fclose(f);
  return last;
}

void BM_BareLineScan(benchmark::State& state) {
  const std::string path = data_file();
  char line[80];
  state.SetLabel("reads the lines only; loads after the first use the held index");
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "r");
    long n = 0;
    while (std::fgets(line, sizeof line, f)) n += line[0];
    std::fclose(f);
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_BareLineScan)->Unit(benchmark::kMillisecond);

void BM_LoadLastBlockByName(benchmark::State& state) {
  setenv("SYMINFO", data_file().c_str(), 1);
  const std::string name = last_symbol();
  QuietStdout quiet;
  for (auto _ : state) {
    SpacegroupPtr sg = ptq7spg_load_by_spgname(name.c_str());
    if (!sg) state.SkipWithError("last block not found");
    benchmark::DoNotOptimize(sg.get());
  }
}
BENCHMARK(BM_LoadLastBlockByName)->Unit(benchmark::kMillisecond);

void BM_LoadLastBlockByOperators(benchmark::State& state) {
  setenv("SYMINFO", data_file().c_str(), 1);
  QuietStdout quiet;
  SpacegroupPtr last = ptq7spg_load_by_spgname(last_symbol().c_str());
  if (!last) {
    state.SkipWithError("last block not found");
    return;
  }
  for (auto _ : state) {
    SpacegroupPtr sg = ptq7_spgrp_reverse_lookup(last->nsymop, last->symop.data());
    benchmark::DoNotOptimize(sg.get());
  }
}
BENCHMARK(BM_LoadLastBlockByOperators)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
