// The whole orbinate run on large generated PDB files, against a baseline in
// the same benchmark run: a bare loop that reads the same file line by line
// and parses x, y, z with strtod.  Sizes are 100k, 200k and 400k atoms in
// chains of 100 residues; with ORB_BENCH_BRIEF=1 (the brief run in CI) the
// sizes are small.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>

#include "pdb_model.h"

namespace {

bool brief() {
  const char* b = std::getenv("ORB_BENCH_BRIEF");
  return b != nullptr && b[0] == '1';
}

// The generated files live in one temporary directory, removed at exit.
struct WorkDir {
  std::string path;
  WorkDir() {
    char tmpl[] = "/tmp/orbbenchXXXXXX";
    path = mkdtemp(tmpl);
  }
  ~WorkDir() { std::system(("rm -rf " + path).c_str()); }
};

std::string work_dir() {
  static WorkDir dir;
  return dir.path;
}

// A PDB model of about n atoms, written once per size.
std::string model(int n) {
  static std::map<int, std::string> made;
  auto it = made.find(n);
  if (it != made.end()) return it->second;
  const std::string path = work_dir() + "/model" + std::to_string(n) + ".pdb";
  write_pdb_model(path, n);
  made[n] = path;
  return path;
}

int size_of(const benchmark::State& state) {
  return brief() ? static_cast<int>(state.range(0) / 100) : static_cast<int>(state.range(0));
}

void BM_ReadLinesStrtod(benchmark::State& state) {
  const std::string path = model(size_of(state));
  state.SetLabel("less work: coordinates parsed only, no run");
  for (auto _ : state) {
    FILE* f = std::fopen(path.c_str(), "r");
    char line[1100], field[9];
    double sum = 0;
    while (std::fgets(line, sizeof line, f)) {
      if (std::strncmp(line, "ATOM", 4) != 0 && std::strncmp(line, "HETATM", 6) != 0) continue;
      for (int k = 0; k < 3; ++k) {
        std::memcpy(field, line + 30 + 8 * k, 8);
        field[8] = '\0';
        sum += std::strtod(field, nullptr);
      }
    }
    std::fclose(f);
    benchmark::DoNotOptimize(sum);
  }
  state.counters["atoms"] = size_of(state);
}

void BM_OrbinateWholeRun(benchmark::State& state) {
  const std::string path = model(size_of(state));
  const std::string dir = work_dir();
  const std::string data = ORB_DATA_DIR;
  const std::string cmd = "cd " + dir + " && CINCL=" + data + " CLIBD=" + data + " SYMINFO=" + data +
                          "/syminfo.lib ATOMSF=" + data + "/atomsf.lib " + ORBINATE_EXE + " XYZIN " +
                          path + " TLSOUT groups.tls > run.log 2>&1 <<'EOF'\nTLS GROUP CHAIN\nEND\nEOF\n";
  for (auto _ : state) {
    if (std::system(cmd.c_str()) != 0) {
      state.SkipWithError("orbinate failed");
      break;
    }
  }
  state.counters["atoms"] = size_of(state);
}

}  // namespace

BENCHMARK(BM_ReadLinesStrtod)->Arg(100000)->Arg(200000)->Arg(400000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OrbinateWholeRun)->Arg(100000)->Arg(200000)->Arg(400000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
