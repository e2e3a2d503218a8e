// Identification of a real entry whose atom carries an element that differs
// from the library's: the difference is reported and the library's element
// taken.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "coords/pdb_reader.h"
#include "dictionary/lib_com.h"
#include "dictionary/monlib_fixture.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "identify/pre_descr.h"
#include "runtime/units.h"
#include "support/capture.h"

namespace {

class AtomElements : public ::testing::Test {
 protected:
  // 2BEG (a peptide fibril of five chains) with the test library.
  void SetUp() override {
    setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 1);
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    const float cell[6] = {0, 0, 0, 0, 0, 0};
    captured([&] { get_pdb_(0, std::string(ORB_TEST_DATA_DIR) + "/2BEG.pdb", 0, cell, 'N', 'N', 'Y', ierr); });
    rt::close_all_units();
    ASSERT_TRUE(ierr == 0 || ierr == 9) << ierr;
    std::string log;
    ASSERT_EQ(monlib::load(monlib::test_library(), log), 0) << log;
    set_cif_types_();
    comlib.iquiet = 0;
    comlib.idoc = 0;
  }
  int32_t identify() {
    int32_t nmnew = 0, lib2 = 0, kerr = 0, ierr = -1;
    rt::FixedText<1> flag("?");
    out = captured([&] { pre_descr_(0, ' ', 'Y', 'N', 'G', "?test", nmnew, flag, lib2, kerr, ierr); });
    return ierr;
  }
  static int residue_named(const char* name) {
    for (int ir = 1; ir <= resid_inf.n_residue; ++ir)
      if (resid_inf.res_name(ir) == name) return ir;
    return 0;
  }
  static int atom_of(int ir, const char* name) {
    const int first = resid_inf.iratm_first(ir);
    for (int ia = first; ia < first + resid_inf.natm_res(ir); ++ia)
      if (atom_inf.atm_name(ia) == name) return ia;
    return 0;
  }
  std::string out;
};

TEST_F(AtomElements, AnElementTheLibraryDoesNotGiveTheAtomIsReplaced) {
  const int ser = residue_named("SER"), met = residue_named("MET");
  const int og = atom_of(ser, "OG"), sd = atom_of(met, "SD");
  ASSERT_GT(og, 0);
  ASSERT_GT(sd, 0);
  atom_inf.id_sf(og) = atom_inf.id_sf(sd);  // the file says sulphur
  ASSERT_EQ(identify(), 0) << out;
  EXPECT_NE(out.find(" WARNING : residue: SER "), std::string::npos) << out;
  EXPECT_NE(out.find("           different element name: file:\"S   \"  dict:\"O   \""), std::string::npos)
      << out;
  ASSERT_GT(atom_inf.id_sf(og), 0);
  EXPECT_EQ(crst_crd.cs_element(atom_inf.id_sf(og)), "O");
  EXPECT_EQ(atom_inf.atm_name(og), "OG");
  EXPECT_EQ(crst_crd.cs_element(atom_inf.id_sf(sd)), "S") << "the methionine keeps its sulphur";
}

}  // namespace
