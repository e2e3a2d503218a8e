// The programs run as a user runs them, each in a process of its own, on a
// model: the example program with the test library (its files out.crd,
// out.str, out.rst and its log) and orbinate (groups.tls and its log), in a
// scratch directory.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "pipeline/pipeline_fixture.h"
#include "support/temp_dir.h"

namespace shelftest {

// The program's exit status (-1 where it did not exit) and what it wrote on
// standard output and standard error.
struct Ran {
  int status = -1;
  std::string log;
};

// How many times `what` stands in `text`.
inline std::size_t count_of(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

#ifdef ORB_ORBINATE
// orbinate on the model with one group per chain: groups.tls and its log
// (out.txt) in the scratch directory.
inline Ran run_orbinate(const std::string& model, const TempDir& dir) {
  const std::string cmd = "cd '" + dir.path() + "' && printf 'TLS GROUP CHAIN\\nEND\\n' | '" +
                          ORB_ORBINATE + "' XYZIN '" + model + "' TLSOUT groups.tls >out.txt 2>&1";
  const int w = std::system(cmd.c_str());
  Ran r;
  r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
  r.log = file_text(dir.file("out.txt"));
  return r;
}
#endif

#ifdef ORB_PREPARE_MODEL
inline Ran run_prepare(const std::string& model, const TempDir& dir) {
  const std::string cmd = "cd '" + dir.path() + "' && '" + ORB_PREPARE_MODEL + "' '" + model +
                          "' '" + pipetest::library() + "' out >log.txt 2>&1 </dev/null";
  const int w = std::system(cmd.c_str());
  Ran r;
  r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
  r.log = file_text(dir.file("log.txt"));
  return r;
}
#endif

}  // namespace shelftest
