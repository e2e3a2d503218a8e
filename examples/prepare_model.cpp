// Describes one model with the dictionary-preparation pipeline:
//   prepare_model MODEL LIBRARY_DIR OUTPUT_BASE
// writes OUTPUT_BASE.crd, .str and .rst, OUTPUT_BASE_<CODE>.ps for each
// monomer the library lacks, and new_lib.cif beside them when the run adds
// to the library; exits with the pipeline's status.
#include <cstdint>
#include <cstdio>
#include <string>

#include "pipeline/tessran.h"
#include "runtime/run.h"

namespace {

void prepare(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: prepare_model MODEL LIBRARY_DIR OUTPUT_BASE\n");
    rt::stop_run(2);
  }
  const std::string model = argv[1], library = argv[2], out = argv[3];
  // The new library goes into the directory of the other outputs.
  const std::string new_lib_file = out.substr(0, out.rfind('/') + 1) + "new_lib.cif";

  int32_t mdoc = -999;  // the run starts here; messages on standard output
  float cutoff = 0.0f, dmin = 0.0f;  // dmin 0: special positions within 0.5 A
  char conn = 'Y', cis = 'Y', lnk = 'Y', chain = 'N', pept = 'N', special = 'Y', h = 'Y',
       rebuild = 'N', form = 'F', symm = 'Y', ss = 'Y', sugar = 'Y', list = 'M', check = 'Y',
       coor = 'N', srch = 'N', seg = 'N';
  const float cell[6] = {0, 0, 0, 0, 0, 0};  // the file's own cell and space group
  char new_lib = 'N', fstop = 'N';
  int32_t ierr = 0;
  tessran_(mdoc, model, out, "", cutoff, dmin, conn, cis, lnk, chain, pept, special, h, rebuild,
           form, symm, ss, sugar, list, check, coor, srch, seg, library, "", "", "",
           "prepare_model", 0, cell, new_lib_file, new_lib, fstop, ierr);

  const std::string added = new_lib == 'Y' ? ", and " + new_lib_file : "";
  if (ierr == pipeline::kOk)
    std::printf("prepare_model: %s.crd, %s.str and %s.rst written%s\n", out.c_str(), out.c_str(),
                out.c_str(), added.c_str());
  else
    std::printf("prepare_model: status %d, see the messages above\n", ierr);
  if (ierr != pipeline::kOk) rt::stop_run(ierr);
}

}  // namespace

// Through run_main, a file that cannot be opened ends the program with
// status 1 and every unit flushed.
int main(int argc, char** argv) { return rt::run_main(argc, argv, prepare); }
