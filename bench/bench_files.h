// What the benchmark programs that build their models from the test data
// share: the brief run of CI, a file's lines and their temporary files.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

// ORB_BENCH_BRIEF=1 (the brief run in CI) keeps to the small sizes.
inline bool bench_brief() {
  const char* b = std::getenv("ORB_BENCH_BRIEF");
  return b != nullptr && b[0] == '1';
}

inline std::vector<std::string> bench_lines_of(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// Temporary files of one benchmark program, each written once however often
// a benchmark asks for it, and removed when the program ends.
class BenchFiles {
 public:
  explicit BenchFiles(const std::string& program)
      : prefix_("/tmp/" + program + "_" + std::to_string(getpid()) + "_") {}
  BenchFiles(const BenchFiles&) = delete;
  BenchFiles& operator=(const BenchFiles&) = delete;
  ~BenchFiles() {
    for (const auto& [name, path] : made_) std::remove(path.c_str());
  }

  std::string path(const std::string& name) const { return prefix_ + name; }

  // The path of `name` holding `lines`, written at the first call.
  const std::string& written(const std::string& name, const std::vector<std::string>& lines) {
    auto it = made_.find(name);
    if (it != made_.end()) return it->second;
    const std::string p = path(name);
    std::ofstream out(p);
    for (const std::string& l : lines) out << l << '\n';
    return made_[name] = p;
  }

 private:
  std::string prefix_;
  std::map<std::string, std::string> made_;
};
