// Real entries of tests/data read into the model tables, and the test
// monomer library loaded beside them, for the connectivity stages.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "coords/pdb_fixture.h"
#include "coords/pdb_reader.h"
#include "dictionary/monlib_fixture.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "runtime/units.h"
#include "support/capture.h"

namespace conntest {

// Reads a PDB file (a name in tests/data, or a path) with hydrogens removed.
inline int32_t read_entry(const std::string& name, std::string* log = nullptr) {
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 1);
  const std::string path = name.find('/') == std::string::npos
                               ? std::string(ORB_TEST_DATA_DIR) + "/" + name
                               : name;
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  const std::string out =
      captured([&] { get_pdb_(0, path, 0, cell, 'N', 'N', 'Y', ierr); });
  rt::close_all_units();
  if (log != nullptr) *log = out;
  return ierr;
}

// The test library with its links and modifications.
inline void load_library() {
  std::string log;
  ASSERT_EQ(monlib::load(monlib::test_library(), log), 0) << log;
}

// Residues of the model whose connection type is `code`.
inline int residues_of_type(int code) {
  int n = 0;
  for (int ir = 1; ir <= resid_inf.n_residue; ++ir)
    if (resid_inf.iconn_type(ir) == code) ++n;
  return n;
}

inline int conn_code(const char* name) {
  int32_t c = 0;
  set_iconn_(name, c);
  return c;
}

}  // namespace conntest
