// A real entry read into the model tables with the test monomer library
// loaded, and one residue of it prepared as the restraint generator
// prepares it: gathered into C1, its monomer copied into L1 and its atoms
// checked against the monomer.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "coords/pdb_reader.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "dictionary/lib_to_work.h"
#include "dictionary/monlib_fixture.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "restraints/atom_check.h"
#include "restraints/residue_work.h"
#include "runtime/units.h"
#include "support/capture.h"

namespace rtest {

// Loads the test library with every monomer description read.
inline void load_library() {
  std::string log;
  ASSERT_EQ(monlib::load(monlib::test_library(), log), 0) << log;
  r_scratch_t& r = r_scratch;
  for (int l = 1; l <= r.lml_nmon; ++l) r.lml_fuse(l) = "R";
  int32_t ierr = -1;
  captured([&] { read_lib_(0, "M", 'N', ' ', ierr); });
  ASSERT_EQ(ierr, 0);
}

// Reads a PDB entry of tests/data, without its hydrogens unless
// remove_hydrogens is 'N'.
inline void read_entry(const char* name, char remove_hydrogens = 'Y') {
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 1);
  int32_t ierr = 0;
  init_atm_inf_(99, ierr);
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  const std::string path = std::string(ORB_TEST_DATA_DIR) + "/" + name;
  captured([&] { get_pdb_(99, path, 0, cell, 'N', 'N', remove_hydrogens, ierr); });
  rt::close_all_units();
  ASSERT_EQ(ierr, 0) << name;
}

// A test suite over entry 1A8O with the test library loaded, both read
// once for the suite.
template <class Base = testing::Test>
class EntryTest : public Base {
 protected:
  static void SetUpTestSuite() {
    load_library();
    read_entry("1A8O.pdb");
  }
};

// The residue whose number text (characters 3-7) is num in chain ch.
inline int32_t residue(char ch, const char* num) {
  const resid_inf_t& r = resid_inf;
  for (int32_t i = 1; i <= r.n_residue; ++i) {
    const rt::FixedText<12>& p = r.res_num_pdb(i);
    if (p(8) == ch && p.sub(3, 7) == rt::FixedText<5>(num)) return i;
  }
  return 0;
}

inline int32_t first_atom(int32_t ir, const char* name) {
  for (int32_t ia = resid_inf.iratm_first(ir);
       ia < resid_inf.iratm_first(ir) + resid_inf.natm_res(ir); ++ia)
    if (atom_inf.atm_name(ia) == name) return ia;
  return 0;
}

struct Counts {
  int32_t ipr_miss = 0, ipr_abs = 0, ipr_del = 0, na_miss = 0, na_abs = 0, na_del = 0;
};

// Gathers residue ir, copies its monomer and checks the atoms; the output of
// the check in `out`.  Returns the status of the check.
inline int32_t prepare(int32_t ir, std::string& out, Counts& n, char msg = 'Y') {
  const int32_t ias = resid_inf.iratm_first(ir), iaf = ias + resid_inf.natm_res(ir) - 1;
  int32_t ierr = 0;
  get_monom_(99, ' ', resid_inf.i_chain(ir), ir, ias, iaf, ierr);
  EXPECT_EQ(ierr, 0);
  rt::FixedText<8> mon(resid_inf.res_name(ir));
  captured([&] { cp_mlib_(99, mon, ierr); });
  EXPECT_EQ(ierr, 0) << mon.view();
  out = captured([&] {
    chklst_(0, mon, n.ipr_miss, n.ipr_abs, n.ipr_del, n.na_miss, n.na_abs, n.na_del, msg, ' ',
            ierr);
  });
  return ierr;
}

inline int32_t prepare(int32_t ir) {
  std::string out;
  Counts n;
  return prepare(ir, out, n, 'N');
}

// The C1 atom at tree place p by name, for messages.
inline std::string name_at(int32_t p) {
  return std::string(r_scratch.c1_aname(r_scratch.s1_inew(p)).trimmed());
}

}  // namespace rtest
