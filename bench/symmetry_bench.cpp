// Loading space groups from the project's symmetry data file.  The first
// load reads and indexes the file; later loads walk the index held in
// memory and tokenise only the block they take, so they should cost a small
// part of a bare pass that only reads the lines.  The check of the whole
// file that every run makes at start reads, indexes and judges every
// operator once: its ratio to the bare pass is printed.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>

#include "quiet_stdout.h"
#include "ratio_reporter.h"
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

// Two copies of the file checked in turn: the file held from the last
// check is never the one asked for, so each check reads and indexes anew.
void BM_CheckWholeLibrary(benchmark::State& state) {
  const std::string dir = std::filesystem::temp_directory_path() / "orb_symmetry_bench";
  std::filesystem::create_directories(dir);
  const std::string copies[2] = {dir + "/a.lib", dir + "/b.lib"};
  for (const std::string& c : copies)
    std::filesystem::copy_file(data_file(), c, std::filesystem::copy_options::overwrite_existing);
  int k = 0;
  for (auto _ : state) {
    const suite::SymmetryLibrary s = suite::symmetry_library_state(copies[k].c_str());
    if (s != suite::SymmetryLibrary::kSound) state.SkipWithError("the library is not sound");
    k ^= 1;
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CheckWholeLibrary)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter("BM_CheckWholeLibrary", "BM_BareLineScan", "whole-library check / bare line scan");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
