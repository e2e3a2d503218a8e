// PDB atom-name alignment and the description dump.
#include <gtest/gtest.h>

#include "builder/descr_dump.h"
#include "builder/pdb_names.h"
#include "l1_fixture.h"
#include "support/capture.h"

namespace {

std::string aligned(const char* name, const char* symb, const char* rname) {
  rt::FixedText<4> atom;
  pdb_aname_mnew_(0, 'L', name, symb, rname, atom);
  return atom.str();
}

}  // namespace

TEST(PdbAname, AlignsByElement) {
  struct Case {
    const char* label;
    const char* name;
    const char* symb;
    const char* rname;
    const char* field;
  };
  const Case cases[] = {
      {"carbon CA", "CA", "C", "ALA", " CA "},
      {"calcium CA", "CA", "CA", "CA", "CA  "},
      {"chlorine", "CL1", "CL", "LIG", "CL1 "},
      {"potassium", "K", "K", "K", "K   "},
      {"four characters beginning with the element", "C12A", "C", "LIG", "AC12"},
      {"four characters not beginning with it", "XC12", "C", "LIG", "XC12"},
      {"hydrogen with a prime", "HO5'", "H", "A", "'HO5"},
      {"hydrogen of four characters", "H121", "H", "LIG", "1H12"},
      {"lone hydrogen", "H", "H", "HOH", " H  "},
      {"doubled element letter", "CC1", "C", "LIG", "CC1 "},
      {"terminal oxygen", "OXT", "O", "ALA", " OXT"},
      {"heme nitrogen", "NA", "N", "HEM", " N A"},
      {"heme nitrogen, four-letter residue", "NA", "N", "HEMC", " N A"},
      {"not a heme", "NA", "N", "HE", " NA "},
      {"sodium in a heme", "NA", "NA", "HEM", "NA  "},
      {"lower-case symbol", "CA", "ca", "LIG", "CA  "},
  };
  for (const Case& c : cases) EXPECT_EQ(aligned(c.name, c.symb, c.rname), c.field) << c.label;
}

class Dump : public testing::Test {
 protected:
  void SetUp() override {
    fx::clear_l1("LIG");
    fx::atom("C1", "C", 1.0f, 2.0f, 3.0f);
    fx::atom("O1", "O", 1.0f, 2.0f, 4.25f);
    fx::bond("C1", "O1", "double");
    r_scratch.c1_natom = 0;
  }
};

TEST_F(Dump, SilentFromCode99) {
  EXPECT_EQ(captured([] { write_test_(99, 3, "cap"); }), "");
  EXPECT_EQ(captured([] { write_test_(-99, 3, "cap"); }), "");
}

TEST_F(Dump, LevelOneEndsAfterTheAtoms) {
  const std::string out = captured([] { write_test_(0, 1, " --- caption ---"); });
  EXPECT_EQ(out,
            " ----------\n"
            "  --- caption ---\n"
            "  -- LIG      -- N -- 1\n"
            " --    2    0    0    0    1\n"
            " --aname,atype,chem,coor_flag\n"
            "  1 C1   / C / .    / Y / 1.0 2.0 3.0 1\n"
            "  2 O1   / C / .    / Y / 1.0 2.0 4.25 1\n");
}

TEST_F(Dump, LevelTwoListsNeighboursAndBonds) {
  r_scratch.l1b_i2atm(1) = 0;  // a row whose atom was never resolved
  const std::string out = captured([] { write_test_(0, 2, "cap"); });
  const std::string tail =
      " --aname,atype,ndist,conn(1,..)\n"
      "     1/C1  /C/    1    2\n"
      "     2/O1  /C/    1    1\n"
      " ----\n"
      "  -- Nbond:    1\n"
      "  1  -- wrong bond\n"
      " ----------\n";
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
}
