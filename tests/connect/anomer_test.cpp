// A sugar whose name says one anomer while its link at C1 says the other is
// renamed to the other anomer when the library has it; the monomer look-up
// by name, synonym and derivative that decides it.
#include <gtest/gtest.h>

#include <string>

#include "connect/chains.h"
#include "connect/mon_lookup.h"
#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "entry_fixture.h"
#include "model_builder.h"

namespace {

using conntest::Model;

// A monomer the library lists as already read (no file behind it).
void listed(const char* code) {
  r_scratch_t& r = r_scratch;
  const int l = ++r.lml_nmon;
  r.lml_mname(l) = code;
  r.lml_mname2(l) = code;
  r.lml_fuse(l) = "Y";
  r.lml_prsnt(l) = ".";
  r.lml_pass(l) = 1;
}

class Anomer : public ::testing::Test {
 protected:
  // Two sugars in one chain: `second` hangs through its C1 on O4 of the
  // first by a link named `link`; the second has a rename row of the model.
  void model(const char* second, const char* link, const char* used = ".") {
    conntest::load_library();
    listed("NAG-a-D");
    listed("NAG-b-D");
    const int first = m.residue("NAG", 7, 'A', 1, {{"C1", 0, 0, 0}, {"O4", 2, 0, 0, "O"}});
    ir = m.residue(second, 7, 'A', 2, {{"C1", 3.4f, 0, 0}});
    m.link(link, first, "O4", ir, "C1");
    auto& mi = mod_inf;
    mi.mod_n = 1;
    mi.mod_ires(1) = ir;
    mi.mod_ichn(1) = 1;
    mi.mod_id(1) = "RENAME";
    mi.mod_rnam(1) = second;
    mi.mod_used(1) = used;
  }
  std::string chain(char sugar_flag) {
    int32_t ierr = -1;
    const std::string out = captured([&] { set_chain_(0, sugar_flag, 'Y', ' ', ierr); });
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(resid_inf.i_chain(ir), 1);
    return out;
  }
  std::string renamed() const { return std::string(mod_inf.mod_rnam(1).trimmed()); }
  Model m;
  int ir = 0;
};

TEST_F(Anomer, BetaLinkMakesAnAlphaNamedSugarBeta) {
  model("NAG-a-D", "BETA1-4");
  chain(' ');
  EXPECT_EQ(renamed(), "NAG-b-D");
}

TEST_F(Anomer, AlphaLinkMakesABetaNamedSugarAlpha) {
  model("NAG-b-D", "ALPHA1-4");
  chain(' ');
  EXPECT_EQ(renamed(), "NAG-a-D");
}

TEST_F(Anomer, ALinkThatAgreesWithTheNameChangesNothing) {
  model("NAG-b-D", "BETA1-4");
  chain(' ');
  EXPECT_EQ(renamed(), "NAG-b-D");
}

TEST_F(Anomer, TheOtherAnomerMustBeInTheLibrary) {
  model("GAL-a-D", "BETA1-4");
  chain(' ');
  EXPECT_EQ(renamed(), "GAL-a-D");
}

TEST_F(Anomer, AnAppliedRenameIsKeptUnlessSugarsMayBeRenamed) {
  model("NAG-a-D", "BETA1-4", "U");
  const std::string out = chain(' ');
  EXPECT_EQ(renamed(), "NAG-a-D");
  EXPECT_NE(out.find(" WARNING:  sugar type is different with actual:"), std::string::npos) << out;
  EXPECT_NE(out.find("           residue name will not be changed"), std::string::npos);
  mod_inf.mod_rnam(1) = "NAG-a-D";
  chain('D');
  EXPECT_EQ(renamed(), "NAG-b-D");
}

class MonomerLookup : public ::testing::Test {
 protected:
  void SetUp() override { conntest::load_library(); }
  int32_t look(rt::FixedText<8>& mon) {
    int32_t ierr = -1;
    captured([&] { look_mon_lib2_(0, mon, ' ', ierr); });
    return ierr;
  }
  r_scratch_t& r = r_scratch;
};

TEST_F(MonomerLookup, ByNameReadsTheDescriptionOnFirstUse) {
  rt::FixedText<8> mon("TRP");
  const int l = dictionary::find_list_entry("TRP", false);
  ASSERT_GT(l, 0);
  ASSERT_EQ(r.lml_fuse(l), "N") << "not read with the library";
  EXPECT_EQ(look(mon), 0);
  EXPECT_EQ(mon, "TRP");
  EXPECT_EQ(r.lml_fuse(l), "Y");
  EXPECT_EQ(r.lml_natm(l), 24);
}

TEST_F(MonomerLookup, BySynonymOrDerivativeTheNameBecomesTheLibrarys) {
  const int s = ++r.lms_nsyn;
  r.lms_mname(s) = "SER";
  r.lms_amname(s) = "SRX";
  int d = ++r.ldr_nder;
  r.ldr_mname(d) = "SEP";
  r.ldr_smname(d) = "SER";
  d = ++r.ldr_nder;
  r.ldr_mname(d) = "SEQ";  // a derivative of a derivative
  r.ldr_smname(d) = "SEP";
  for (const char* name : {"SRX", "SEP", "SEQ"}) {
    rt::FixedText<8> mon(name);
    EXPECT_EQ(look(mon), 0) << name;
    EXPECT_EQ(mon, "SER") << name;
  }
}

TEST_F(MonomerLookup, UnknownNameAndEmptyLibrary) {
  rt::FixedText<8> mon("XYZ");
  EXPECT_EQ(look(mon), 1);
  EXPECT_EQ(mon, "XYZ");
  const int32_t n = r.lml_nmon;
  r.lml_nmon = 0;
  EXPECT_EQ(look(mon), 2);
  r.lml_nmon = n;
}

}  // namespace
