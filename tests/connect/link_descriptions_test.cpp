// Element classes, ideal and default bond lengths, and new link descriptions
// in the test library's link list.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <set>
#include <string>

#include "connect/element_classes.h"
#include "connect/new_links.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "dictionary/link_lookup.h"
#include "dictionary/monlib_fixture.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "identify/model_tables.h"
#include "support/capture.h"

namespace {

r_scratch_t& r = r_scratch;

constexpr int32_t kPeptide = 3, kSugar = 7;

// The test library of tests/data/monlib with its energy library.
class LinkDescriptions : public testing::Test {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
    set_cif_types_();
    std::string log;
    ASSERT_EQ(monlib::load(monlib::test_library(), log, 'S'), 0) << log;
    ASSERT_GT(r.leb_nbond, 0);
    com_crt_link.icrt_flag(1) = 0;
  }
  static int32_t lib_link(const char* name) {
    for (int32_t i = 1; i <= r.lll_nlink; ++i)
      if (r.lll_lname(i) == name) return i;
    return 0;
  }
  // A generic bond row of the energy library ("." partner), appended here:
  // the test energy library holds pair rows only.
  static void add_generic(const char* type, float length) {
    const int32_t k = ++r.leb_nbond;
    r.leb_1atm(k) = type;
    r.leb_2atm(k) = ".";
    r.leb_length(k) = length;
  }

  struct Made {
    rt::FixedText<8> link;
    int32_t inew = 9, lnew = 9, ilink = -9, ierr = 0;
    std::string out;
  };
  static Made make(const char* link, const char* mon1, const char* atom1, const char* mon2,
                   const char* atom2, float dist, int32_t t1 = kPeptide, int32_t t2 = kPeptide) {
    Made m;
    m.link = link;
    m.out = captured([&] {
      creat_link_(0, m.link, m.inew, m.lnew, m.ilink, t1, t2, mon1, atom1, ".", mon2, atom2,
                  "DEL-O1", dist, m.ierr);
    });
    return m;
  }
};

TEST_F(LinkDescriptions, ElementClasses) {
  struct Row {
    const char* symbol;
    int32_t cls;
  } rows[] = {
      {"H   ", 1}, {"D   ", 1},  // hydrogen and deuterium
      {"C   ", 2}, {"N   ", 2}, {"F   ", 2},  // fluorine is not in the metal table
      {"P   ", 3}, {"S   ", 3},
      {"ZN  ", 4}, {"CL  ", 4}, {"SE  ", 4}, {"HG  ", 4}, {"HE  ", 4}, {"K   ", 4}, {"W", 4},
      {"HX  ", 2},  // neither a metal nor the bare hydrogen symbol
      {"SX  ", 2},
  };
  for (const Row& row : rows) {
    int32_t cls = -1;
    set_idlim_(row.symbol, cls);
    EXPECT_EQ(cls, row.cls) << '"' << row.symbol << '"';
  }
}

TEST_F(LinkDescriptions, IdealLengthOfALibraryLink) {
  float d = -1.0f;
  get_idl_bond_lenth_(lib_link("SS"), d);
  EXPECT_FLOAT_EQ(d, 2.03f);
  get_idl_bond_lenth_(lib_link("PTRANS"), d);
  EXPECT_FLOAT_EQ(d, 1.341f);
  get_idl_bond_lenth_(0, d);
  EXPECT_EQ(d, 0.0f);
  get_idl_bond_lenth_(r.lll_nlink + 1, d);
  EXPECT_EQ(d, 0.0f);
  // Bonds stored before the link's first bond row are not its own.
  const int32_t ss = lib_link("SS");
  r.lll_ibond(ss) = r.llb_nbond + 1;
  get_idl_bond_lenth_(ss, d);
  EXPECT_EQ(d, 0.0f);
}

TEST_F(LinkDescriptions, DefaultLengthFromTheEnergyLibrary) {
  float v = 0.0f;
  rt::FixedText<1> flag("?");
  int32_t ierr = 5;
  // Rows of the pair, in the stored order and reversed: C-O 1.210, NH1-HN 1.007.
  get_default_vbond_(0, "C", "O", v, flag, ierr);
  EXPECT_FLOAT_EQ(v, 1.210f);
  EXPECT_EQ(flag, "N");
  EXPECT_EQ(ierr, 0);
  get_default_vbond_(0, "NH1", "HN", v, flag, ierr);
  EXPECT_FLOAT_EQ(v, 1.007f);
  EXPECT_EQ(flag, "N");
  // No pair row and no generic rows: 1.5.
  get_default_vbond_(0, "SH1", "OH2", v, flag, ierr);
  EXPECT_FLOAT_EQ(v, 1.5f);
  EXPECT_EQ(flag, "Y");
  // Generic rows of both types: their mean, the last row of a type counting.
  add_generic("SH1", 1.70f);
  add_generic("SH1", 1.80f);
  add_generic("OH2", 1.40f);
  get_default_vbond_(0, "SH1", "OH2", v, flag, ierr);
  EXPECT_FLOAT_EQ(v, (1.80f + 1.40f) * 0.5f);
  EXPECT_EQ(flag, "Y");
  // Only one of the two has a generic row.
  get_default_vbond_(0, "SH1", "CR", v, flag, ierr);
  EXPECT_FLOAT_EQ(v, 1.5f);
  EXPECT_EQ(flag, "Y");
  r.leb_nbond = 0;
  get_default_vbond_(0, "C", "O", v, flag, ierr);
  EXPECT_FLOAT_EQ(v, 1.5f);
  EXPECT_EQ(flag, "Y");
}

TEST_F(LinkDescriptions, NewLinkIsMadeOnceAndFoundAfterwards) {
  const int32_t n = r.lll_nlink, nb = r.llb_nbond;
  Made m = make("", "ASN", "OD1", "NAG", "C1", 1.43f, kPeptide, kSugar);
  EXPECT_EQ(m.out, "");
  EXPECT_EQ(m.ierr, 0);
  EXPECT_EQ(m.inew, 1);
  EXPECT_EQ(m.lnew, 0);
  ASSERT_EQ(m.ilink, n + 1);
  EXPECT_EQ(r.lll_nlink, n + 1);
  EXPECT_EQ(r.lll_ilink, n + 1);
  EXPECT_EQ(m.link.str(), "ASN-NAG ");
  const int32_t i = m.ilink;
  EXPECT_EQ(r.lll_lname(i), "ASN-NAG");
  EXPECT_EQ(r.lll_detail(i).str(), std::string("bond_ASN-OD1_=_NAG-C1") + std::string(27, ' '));
  EXPECT_EQ(r.lll_mon1(i), "ASN");
  EXPECT_EQ(r.lll_mon2(i), "NAG");
  EXPECT_EQ(r.lll_mod1(i), ".");
  EXPECT_EQ(r.lll_mod2(i), "DEL-O1");
  EXPECT_EQ(r.lll_code1(i), "x");
  EXPECT_EQ(r.lll_fuse(i), "C");
  EXPECT_EQ(r.lll_type1(i), ".");
  ASSERT_EQ(r.llb_nbond, nb + 1);
  EXPECT_EQ(r.lll_ibond(i), nb + 1);
  EXPECT_EQ(r.llb_lname(nb + 1), "ASN-NAG");
  EXPECT_EQ(r.llb_1atm(nb + 1), "OD1");
  EXPECT_EQ(r.llb_2atm(nb + 1), "C1");
  EXPECT_EQ(r.llb_f1atm(nb + 1), 1);
  EXPECT_EQ(r.llb_f2atm(nb + 1), 2);
  EXPECT_FLOAT_EQ(r.llb_val(nb + 1), 1.43f);
  EXPECT_FLOAT_EQ(r.llb_vobs(nb + 1), 1.43f);

  // The look-ups see it at once.
  int32_t ilink = 0;
  look_link_list_("ASN-NAG", ilink);
  EXPECT_EQ(ilink, i);
  EXPECT_EQ(r.lll_fuse(i), "C");
  float d = 0.0f;
  check_link_info_("", "ASN", "NAG", "OD1", "C1", d, ilink);
  EXPECT_EQ(ilink, i);
  EXPECT_FLOAT_EQ(d, 1.43f);

  // The same monomers and atoms again: the same description.
  m = make(".", "ASN", "OD1", "NAG", "C1", 1.50f, kPeptide, kSugar);
  EXPECT_EQ(m.inew, 0);
  EXPECT_EQ(m.ilink, i);
  EXPECT_EQ(m.link.str(), "ASN-NAG ");
  EXPECT_EQ(r.lll_nlink, n + 1);
}

TEST_F(LinkDescriptions, FurtherBondsOfOnePairAreNumbered) {
  // The library's NAG-ASN describes another bond (its detail differs).
  EXPECT_EQ(make("", "NAG", "C1", "ASN", "ND2", 1.45f, kSugar).link.str(), "NAG-ASN1");
  Made m = make("", "NAG", "C1", "ASN", "OD1", 1.45f, kSugar);
  EXPECT_EQ(m.link.str(), "NAG-ASN2");
  EXPECT_EQ(m.inew, 1);
  // The eleventh description of a stem gets the digit 0.
  EXPECT_EQ(make("", "LYS", "NZ", "LYS", "C", 1.3f).link.str(), "LYS-LYS ");
  for (int k = 1; k <= 8; ++k) make("", "LYS", "NZ", "LYS", ('C' + std::to_string(k)).c_str(), 1.3f);
  EXPECT_EQ(make("", "LYS", "NZ", "LYS", "CX", 1.3f).link.str(), "LYS-LYS9");
  EXPECT_EQ(make("", "LYS", "NZ", "LYS", "CY", 1.3f).link.str(), "LYS-LYS0");
  // The twelfth, whose digit 0 the eleventh holds, takes the first free mark.
  EXPECT_EQ(make("", "LYS", "NZ", "LYS", "CZ", 1.3f).link.str(), "LYS-LYSa");
  // A name of 8 characters takes its mark in place of its last character
  // (residues UNL_N1 and UNL_N2 give both links "UNL-UNL_").
  make("LONGNAME", "ALA", "N", "GLY", "C", 1.3f);
  m = make("LONGNAME", "ALA", "N", "GLY", "CA", 1.3f);
  EXPECT_EQ(m.link.str(), "LONGNAM1");
  EXPECT_EQ(m.inew, 1);
  // No two descriptions share a name: each would restrain the other's bond.
  std::set<std::string> names;
  for (int32_t i = 1; i <= r.lll_nlink; ++i)
    EXPECT_TRUE(names.insert(r.lll_lname(i).str()).second) << r.lll_lname(i).str();
  // Pyranose names enter by their first three characters.
  m = make("", "NAGXY", "C4", "GALXY", "C1", 1.4f, kSugar, kSugar);
  EXPECT_EQ(m.link.str(), "NAG-GAL ");
  EXPECT_EQ(r.lll_mon1(m.ilink).str(), "NAG     ");
  EXPECT_EQ(r.lll_detail(m.ilink).view().substr(0, 24), "bond_NAG-C4_=_GAL-C1    ");
}

TEST_F(LinkDescriptions, FullLinkListRefusesWithTheConstantToRaise) {
  const std::string warning =
      "  WARNING : Number of links  >   300\n"
      "            Change parameter MAXLLNK in \"lib_com.fh\"\n"
      "            Now program stops to create new links.\n";
  for (int32_t i = r.lll_nlink + 1; i <= MAXLLNK; ++i) r.lll_lname(i) = "FILL";
  r.lll_nlink = MAXLLNK;
  Made m = make("", "ALA", "N", "GLY", "C", 1.3f);
  EXPECT_EQ(m.out, warning);
  EXPECT_EQ(m.ilink, 0);
  EXPECT_EQ(m.inew, 1);
  EXPECT_EQ(m.ierr, 0);
  EXPECT_EQ(r.lll_nlink, MAXLLNK);
  EXPECT_EQ(make("", "ALA", "N", "GLY", "CA", 1.3f).out, "");
  // A description that exists is still found.
  EXPECT_EQ(make("", "ASN", "ND2", "NAG", "C1", 1.3f).out, "");
}

TEST_F(LinkDescriptions, FullBondTableLeavesTheLinkWithoutABond) {
  const int32_t nb = r.llb_nbond;
  r.llb_nbond = MAXLBND;
  Made m = make("", "ALA", "N", "GLY", "C", 1.3f);
  EXPECT_EQ(m.out,
            "  ERROR: number of bonds for the links >  9000\n"
            "         Change parameter MAXLBND in \"lib_com.fh\"\n");
  EXPECT_EQ(m.ierr, 1);
  ASSERT_GT(m.ilink, 0);
  EXPECT_EQ(r.lll_ibond(m.ilink), 0);
  r.llb_nbond = nb;
  // No atoms: a description without a bond and without complaint.
  m = make("", "ALA", ".", "GLY", "", 1.3f);
  EXPECT_EQ(m.out, "");
  EXPECT_EQ(m.ierr, 0);
  EXPECT_EQ(r.llb_nbond, nb);
}

TEST_F(LinkDescriptions, NamesLongerThanTheirFieldsAreRefused) {
  const int32_t n = r.lll_nlink;
  Made m = make("", "ASN", "OD1XX", "NAG", "C1", 1.4f);
  EXPECT_EQ(m.out, "  ERROR: atom name longer than 4 characters: OD1XX\n");
  EXPECT_EQ(m.ierr, 1);
  EXPECT_EQ(m.ilink, 0);
  m = make("", "ASPARAGINE", "OD1", "NAG", "C1", 1.4f);
  EXPECT_EQ(m.ierr, 1);
  EXPECT_EQ(r.lll_nlink, n);
}

}  // namespace

// A description made for the model is known by its detail text naming its
// bond, whether this run made it or a description read from a library has
// it (the new library of an earlier run, given back); a library link of the
// same monomers with another detail, a bond of another link, and indexes
// outside the tables are not.
TEST_F(LinkDescriptions, DescriptionMadeForTheModelIsKnownByItsDetail) {
  const Made m = make("", "ZN", "ZN", "HOH", "O", 2.1f);
  ASSERT_EQ(m.inew, 1);
  const int32_t l = m.ilink, ib = r.lll_ibond(l);
  EXPECT_TRUE(connect::made_for_model(l, ib));
  const int32_t tr = lib_link("TRANS");
  ASSERT_GT(tr, 0);
  const int32_t tb = r.lll_ibond(tr);
  EXPECT_FALSE(connect::made_for_model(tr, tb)) << "the library's own link";
  EXPECT_FALSE(connect::made_for_model(l, tb)) << "another link's bond";
  r.lll_fuse(l) = "N";
  EXPECT_TRUE(connect::made_for_model(l, ib)) << "read from a library";
  r.lll_detail(l) = "zinc water";
  EXPECT_FALSE(connect::made_for_model(l, ib)) << "a detail of its own";
  EXPECT_FALSE(connect::made_for_model(0, ib));
  EXPECT_FALSE(connect::made_for_model(r.lll_nlink + 1, ib));
  EXPECT_FALSE(connect::made_for_model(l, 0));
  EXPECT_FALSE(connect::made_for_model(l, r.llb_nbond + 1));
}
