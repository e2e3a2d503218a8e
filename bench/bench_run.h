// The start of a silent run of the pipeline's stages on one file, as the
// stage benchmarks make it: the program started, the file's form found, the
// run's parameters set, and the library read.
#pragma once

#include <cstdint>
#include <string>

#include "coords/file_type.h"
#include "dictionary/lib_loading.h"
#include "foundation/atom_com.h"
#include "foundation/paths_defaults.h"
#include "foundation/start_up.h"
#include "runtime/fixed_text.h"

// The names a run's library reading fills; one lives for the whole program,
// as the tables the names go into do.
struct BenchRun {
  rt::FixedText<256> in_file, libm_path, libe_path, libe_name, libm_ext, libe_ext, lib_ind, lib_out;
  LibNames libm_name;
};

// Starts a silent run on `file` with the library in `library` and the
// outputs named from `out`; the run's message unit.  ierr: the status the
// parameters leave, which the library reading is given.
inline int32_t start_bench_run(BenchRun& run, const std::string& library, const std::string& file,
                               const std::string& out, int32_t& ierr) {
  int32_t mdoc = 0;
  rt::FixedText<256> prog("bench");
  set_path_prog_parm_(library, "bench", "", "", "");
  start_(0, mdoc, prog.ref());
  mdoc = 999;
  run.in_file = file;
  rt::FixedText<1> type(" ");
  pdb_or_cif_(mdoc, run.in_file.ref(), type, ierr);
  setparm_(mdoc, run.in_file.view(), out, 'F', ierr);
  run.libm_path = library;
  run.libe_path = library;
  run.lib_out = out + "_lib.cif";
  return mdoc;
}

// The library read for the run; ierr its status.
inline void read_bench_library(BenchRun& run, int32_t mdoc, int32_t& ierr) {
  int32_t numb = 0;
  getlib_(mdoc, 'S', 'N', numb, run.libm_path.view(), run.libe_path.view(), "", run.libm_name,
          run.libe_name.ref(), "", run.libm_ext.ref(), run.libe_ext.ref(), "", "",
          run.lib_ind.ref(), run.lib_out.ref(), ierr);
}
