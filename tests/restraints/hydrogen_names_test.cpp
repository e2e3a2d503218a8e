// Hydrogens of older names in the atom check: residues 44-50 of an NMR
// entry written with the older hydrogen names (1HB, 2HB, 1HG1, HN) against
// the test library, whose monomers number a methylene's hydrogens from 2
// and call the amide hydrogen H.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model_fixture.h"
#include "restraints/atom_check.h"

namespace {

class OlderHydrogenNames : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    rtest::load_library();
    rtest::read_entry("peers/old_h_names.pdb", 'N');
  }
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
    crdinf.cr_hflag = " ";  // the model's hydrogens are kept
    restraints::renamed_hydrogens().clear();
    restraints::unnamed_hydrogens().clear();
  }
  // Residue num of chain A checked against monomer mon (its own by
  // default); returns the residue.
  // `edit` changes the monomer before the check.
  static int32_t check(const char* num, char msg = 'N', const char* mon = nullptr,
                       void (*edit)() = nullptr) {
    const int32_t ir = rtest::residue('A', num);
    const int32_t ias = resid_inf.iratm_first(ir), iaf = ias + resid_inf.natm_res(ir) - 1;
    int32_t ierr = 0;
    get_monom_(99, ' ', resid_inf.i_chain(ir), ir, ias, iaf, ierr);
    rt::FixedText<8> name(mon ? rt::FixedText<8>(mon) : resid_inf.res_name(ir));
    captured([&] { cp_mlib_(99, name, ierr); });
    if (edit != nullptr) edit();
    rtest::Counts n;
    captured([&] {
      chklst_(0, name, n.ipr_miss, n.ipr_abs, n.ipr_del, n.na_miss, n.na_abs, n.na_del, msg, ' ',
              ierr);
    });
    return ir;
  }
  // Name and state of the C1 atom gathered from model atom ia.
  static std::string checked(int32_t ia) {
    const r_scratch_t& r = r_scratch;
    for (int32_t k = 1; k <= r.c1_natom; ++k)
      if (r.s1_icrd(k) == ia)
        return std::string(r.c1_aname(k).trimmed()) + " " + r.c1_atype(k).str();
    return "not gathered";
  }
  static int32_t atom(const char* num, const char* name) {
    return rtest::first_atom(rtest::residue('A', num), name);
  }
};

}  // namespace

TEST_F(OlderHydrogenNames, AGroupNumberedFromOneTakesTheLibrarysNumbersFromTwoInWrittenOrder) {
  const struct {
    const char* label;
    const char* num;
    const char* written;
    const char* checked;
  } rows[] = {
      {"PHE methylene, first", "  45 ", "HB1", "HB2 Y"},
      {"PHE methylene, second", "  45 ", "HB2", "HB3 Y"},
      {"GLY alpha pair", "  47 ", "HA1", "HA2 Y"},
      {"ILE gamma-1 pair", "  44 ", "HG11", "HG12 Y"},
      {"ILE methyl numbered from 1 as in the library", "  44 ", "HG21", "HG21 Y"},
      {"ALA methyl: the library has HB1", "  46 ", "HB1", "HB1 Y"},
      {"amide hydrogen", "  45 ", "HN", "H Y"},
  };
  for (const auto& row : rows) {
    check(row.num);
    EXPECT_EQ(checked(atom(row.num, row.written)), row.checked) << row.label;
  }
}

// Each rule holds only where its one reading fits.
TEST_F(OlderHydrogenNames, NothingIsRenamedWhereAnotherReadingOrANameHeldStandsInTheWay) {
  const int32_t hn = atom("  45 ", "HN"), hb1 = atom("  45 ", "HB1"), ha = atom("  45 ", "HA");
  const int32_t hd1 = atom("  45 ", "HD1");
  atom_inf.atm_name(ha) = "H";
  check("  45 ");
  atom_inf.atm_name(ha) = "HA";
  EXPECT_EQ(checked(hn), "HN U") << "H held";
  EXPECT_EQ(checked(hb1), "HB2 Y") << "the methylene is a group of its own";

  atom_inf.atm_name(hd1) = "HB3";  // the group 1, 2, 3 against the library's 2, 3
  check("  45 ");
  atom_inf.atm_name(hd1) = "HD1";
  EXPECT_EQ(checked(hb1), "HB1 U") << "HB3 held";

  check("  46 ", 'N', "PRO");
  EXPECT_EQ(checked(atom("  46 ", "HN")), "HN U") << "a monomer without H on its N";

  const float y = atom_crd.xyz_crd(2, hn), occ = atom_crd.occup(hn);
  atom_crd.xyz_crd(2, hn) = y + 1.0f;  // 1.8 A from N
  check("  45 ");
  EXPECT_EQ(checked(hn), "HN U") << "HN away from N";
  atom_crd.occup(hn) = 0.0f;  // no position: the monomer's N has H alone
  check("  45 ");
  atom_crd.occup(hn) = occ;
  atom_crd.xyz_crd(2, hn) = y;
  EXPECT_EQ(checked(hn), "H Y") << "unplaced HN";
}

TEST_F(OlderHydrogenNames, NeitherAHeavyAtomNorAGroupHoldingOneIsRenamed) {
  const int32_t hb1 = atom("  45 ", "HB1"), hb2 = atom("  45 ", "HB2");
  for (const int32_t carbon : {hb1, hb2}) {
    const int32_t sf = atom_inf.id_sf(carbon);
    atom_inf.id_sf(carbon) = atom_inf.id_sf(atom("  45 ", "CB"));
    check("  45 ");
    atom_inf.id_sf(carbon) = sf;
    EXPECT_EQ(checked(hb1), "HB1 U") << (carbon == hb1 ? "HB1" : "HB2") << " a carbon";
    EXPECT_EQ(checked(hb2), "HB2 Y") << (carbon == hb1 ? "HB1" : "HB2") << " a carbon";
  }
}

// The walk's check counts each renamed hydrogen with its old and new
// names; a link partner's check renames alike and counts nothing.
TEST_F(OlderHydrogenNames, TheWalkCountsTheRenamedAndALinkPartnerDoesNot) {
  check("  45 ", 'N');
  EXPECT_EQ(restraints::renamed_hydrogens().count(), 0);
  check("  45 ", 'Y');
  EXPECT_EQ(restraints::renamed_hydrogens().listed(),
            "HN PHE 45 AA -> H, HB1 PHE 45 AA -> HB2, HB2 PHE 45 AA -> HB3");
  EXPECT_EQ(restraints::unnamed_hydrogens().count(), 0);
}

// The renaming's limits: an HN up to 1.3 A from N is on it (1.25 A is, 1.35
// A is not); an HN without a position is on N only where the monomer's N
// carries H alone, not where it carries a second hydrogen.
TEST_F(OlderHydrogenNames, AmideHnIsOnItsNWithinTheLimitOrWhereTheMonomerLeavesNoOtherHydrogen) {
  const int32_t hn = atom("  45 ", "HN"), n = atom("  45 ", "N");
  float at[3], from_n[3], d = 0.0f;
  for (int m = 1; m <= 3; ++m) {
    at[m - 1] = atom_crd.xyz_crd(m, hn);
    from_n[m - 1] = at[m - 1] - atom_crd.xyz_crd(m, n);
    d += from_n[m - 1] * from_n[m - 1];
  }
  d = std::sqrt(d);
  for (const float length : {1.25f, 1.35f}) {
    for (int m = 1; m <= 3; ++m)
      atom_crd.xyz_crd(m, hn) = atom_crd.xyz_crd(m, n) + from_n[m - 1] * (length / d);
    check("  45 ");
    EXPECT_EQ(checked(hn), length < 1.3f ? "H Y" : "HN U") << "HN " << length << " A from N";
  }
  for (int m = 1; m <= 3; ++m) atom_crd.xyz_crd(m, hn) = at[m - 1];

  const float occ = atom_crd.occup(hn);
  atom_crd.occup(hn) = 0.0f;
  // The monomer with a second hydrogen on its N, as an N-terminal residue
  // has.
  check("  45 ", 'N', nullptr, [] {
    r_scratch_t& r = r_scratch;
    const int32_t h2 = ++r.l1a_natom;
    r.l1a_aname(h2) = "H2";
    r.l1a_symb(h2) = "H";
    const int32_t b = ++r.l1b_nbond;
    r.l1b_1atm(b) = "N";
    r.l1b_2atm(b) = "H2";
  });
  EXPECT_EQ(checked(hn), "HN U") << "unplaced HN, two hydrogens on the monomer's N";
  check("  45 ");
  atom_crd.occup(hn) = occ;
  EXPECT_EQ(checked(hn), "H Y") << "unplaced HN, H alone on the monomer's N";
}
