// Atom renamings recorded as synonyms, carried into the link table and
// applied back to a residue of the model.
#include <gtest/gtest.h>

#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "identify/synonyms.h"
#include "support/capture.h"

namespace {

class Synonyms : public ::testing::Test {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
    r_scratch.lms_nsyn = r_scratch.lms_isyn = r_scratch.lms_new = 0;
  }
  static std::string put(const char* mon, int32_t& ifirst, const char* res, const char* old_name,
                         const char* new_name, rt::FixedText<1>& dnew) {
    int32_t ierr = 7;
    dnew = "N";
    std::string out = captured(
        [&] { put_synonym_to_list_(0, mon, ifirst, res, "A", old_name, new_name, dnew, ierr); });
    EXPECT_EQ(ierr, 7);
    return out;
  }
};

TEST_F(Synonyms, FirstRenamingOfAResidueComesWithItsHeader) {
  int32_t ifirst = 0;
  rt::FixedText<1> dnew;
  const std::string out = put("SER", ifirst, "   12", "O1", "OG", dnew);
  EXPECT_EQ(out,
            "  WARNING : program changed the atom names to standard\n"
            "            residue: SER         12 chain:A\n"
            "            SER       \"O1  \" --> \"OG  \"\n");
  EXPECT_EQ(ifirst, 1);
  EXPECT_EQ(dnew.str(), "Y");
  r_scratch_t& r = r_scratch;
  ASSERT_EQ(r.lms_nsyn, 1);
  EXPECT_EQ(r.lms_isyn, 1);
  EXPECT_EQ(r.lms_new, 1);
  EXPECT_EQ(r.lms_atom(1).str(), "OG  ");
  EXPECT_EQ(r.lms_aatom(1).str(), "O1  ");
  EXPECT_EQ(r.lms_amname(1).str(), ".       ");
  EXPECT_EQ(r.lms_mod(1).str(), ".       ");
  EXPECT_EQ(r.lms_flag(1).str(), "N");
}

TEST_F(Synonyms, SecondResidueWithTheSameRenamingAddsNothing) {
  int32_t ifirst = 0;
  rt::FixedText<1> dnew;
  put("SER", ifirst, "   12", "O1", "OG", dnew);
  ifirst = 0;
  EXPECT_EQ(put("SER", ifirst, "   13", "O1", "OG", dnew), "");
  EXPECT_EQ(ifirst, 0);
  EXPECT_EQ(dnew.str(), "N");
  EXPECT_EQ(r_scratch.lms_nsyn, 1);
}

TEST(LinkTable, RenamesBothEndsOfTheResidueOnly) {
  link_inf_t& ln = link_inf;
  ln.ln_n = 3;
  struct End {
    int ich, ires;
    const char* atom;
  };
  const End ends1[3] = {{1, 5, "SG"}, {1, 6, "SG"}, {1, 5, "SG1"}};
  const End ends2[3] = {{2, 9, "SG"}, {1, 5, "SG"}, {1, 5, "SGX"}};
  for (int l = 1; l <= 3; ++l) {
    ln.ln_1ichn(l) = ends1[l - 1].ich;
    ln.ln_1ires(l) = ends1[l - 1].ires;
    ln.ln_atom1(l) = ends1[l - 1].atom;
    ln.ln_2ichn(l) = ends2[l - 1].ich;
    ln.ln_2ires(l) = ends2[l - 1].ires;
    ln.ln_2ichn(l) = ends2[l - 1].ich;
    ln.ln_atom2(l) = ends2[l - 1].atom;
  }
  ln.ln_atom2(3) = "SG  X";  // a fifth character that is not blank
  int32_t ierr = 5;
  change_atom_in_link_tab_(0, 1, 5, "SG", "SG2", ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(ln.ln_atom1(1).str(), "SG2  ") << "side 1 of link 1";
  EXPECT_EQ(ln.ln_atom2(1).str(), "SG   ") << "side 2 of link 1: other residue";
  EXPECT_EQ(ln.ln_atom1(2).str(), "SG   ") << "side 1 of link 2: other residue";
  EXPECT_EQ(ln.ln_atom2(2).str(), "SG2  ") << "side 2 of link 2";
  EXPECT_EQ(ln.ln_atom1(3).str(), "SG1  ") << "side 1 of link 3: other name";
  EXPECT_EQ(ln.ln_atom2(3).str(), "SG  X") << "side 2 of link 3: fifth character";
}

TEST(ReplaceSynonym, ResidueAtomsTakeTheRecordedNames) {
  r_scratch_t& r = r_scratch;
  r.lms_nsyn = 3;
  const char* rows[3][4] = {{"THR", "THR", "O1", "OG1"},   // other monomer
                            {"SER", "XSR", "O1", "OG"},
                            {"SER", ".", "O1", "OGX"}};   // a later row of the same name
  for (int s = 1; s <= 3; ++s) {
    r.lms_mname(s) = rows[s - 1][0];
    r.lms_amname(s) = rows[s - 1][1];
    r.lms_aatom(s) = rows[s - 1][2];
    r.lms_atom(s) = rows[s - 1][3];
  }
  asym_part.n_group = 1;
  resid_inf.res_name(4) = "XSR";
  resid_inf.iratm_first(4) = 20;
  resid_inf.natm_res(4) = 2;
  atom_inf.atm_name(20) = "O1";
  atom_inf.atm_name(21) = "CB";
  atom_inf.atm_name(22) = "O1";
  replace_synonym_(1, 4);
  EXPECT_EQ(atom_inf.atm_name(20).str(), "OG  ");
  EXPECT_EQ(atom_inf.atm_name(21).str(), "CB  ");
  EXPECT_EQ(atom_inf.atm_name(22).str(), "O1  ");
}

}  // namespace
