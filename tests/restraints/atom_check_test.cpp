// The atom check of residues of a real entry (1A8O) against the test
// library: matches, missing, deleted and absent atoms with their capped
// messages and counts, the hydrogen policy, conformers in the new order,
// the full work area, and the input form of atom names.
#include "restraints/atom_check.h"

#include <gtest/gtest.h>

#include "model_fixture.h"

namespace {

class AtomCheck : public rtest::EntryTest<> {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
    crdinf.cr_hflag = "N";
    ser = rtest::residue('A', " 178 ");
    ASSERT_GT(ser, 0);
    ASSERT_EQ(resid_inf.res_name(ser), "SER");
  }
  void TearDown() override {
    // Later tests see the entry as read.
    for (int32_t ia = 1; ia <= atom_inf.n_atom; ++ia)
      if (atom_inf.atm_type(ia) == "M" || atom_inf.atm_name(ia) == "XX")
        atom_inf.atm_type(ia) = " ";
  }
  int32_t ser = 0;
};

}  // namespace

TEST_F(AtomCheck, AResidueWhoseNamesAllMatchTakesTheLibraryOrder) {
  std::string out;
  rtest::Counts n;
  EXPECT_EQ(rtest::prepare(ser, out, n), 0);
  EXPECT_EQ(out, "");
  const r_scratch_t& r = r_scratch;
  ASSERT_EQ(r.c1_igatm, 6);  // N CA C O CB OG: hydrogens dropped with policy 'N'
  for (int32_t p = 1; p <= r.c1_igatm; ++p) {
    const int32_t k = r.s1_inew(p);
    EXPECT_EQ(r.c1_atype(k), "Y") << p;
    EXPECT_EQ(r.s1_iold(k), p);
    EXPECT_EQ(r.l1a_aname(r.s1_ilib(k)), r.c1_aname(k));
  }
  // Library order: each atom after its tree back atom.
  for (int32_t p = 2; p <= r.c1_igatm; ++p) {
    const int32_t back = r.s1_iback(r.s1_inew(p));
    if (back > 0) {
      EXPECT_LT(r.s1_iold(back), p) << rtest::name_at(p);
    }
  }
  EXPECT_EQ(n.na_miss + n.na_abs + n.na_del, 0);
}

TEST_F(AtomCheck, MissingAndAbsentAtomsAreReportedAndCounted) {
  const int32_t og = rtest::first_atom(ser, "OG");
  const int32_t cb = rtest::first_atom(ser, "CB");
  atom_inf.atm_type(og) = "M";   // not gathered: the model lacks it
  atom_inf.atm_name(cb) = "XX";  // a name the monomer does not have
  std::string out;
  rtest::Counts n;
  rtest::prepare(ser, out, n);
  atom_inf.atm_name(cb) = "CB";
  EXPECT_EQ(out,
            "  WARNING : atom :XX   SER       178  Aa   is absent in the library\n"
            "  ATTENTION: atom:CB   SER       178  Aa   is missing in the structure\n"
            "  ATTENTION: atom:OG   SER       178  Aa   is missing in the structure\n");
  EXPECT_EQ(n.na_miss, 2);
  EXPECT_EQ(n.na_abs, 1);
  EXPECT_EQ(n.ipr_miss, 2);
  const r_scratch_t& r = r_scratch;
  // The absent atom follows the described ones.
  EXPECT_EQ(r.c1_aname(r.s1_inew(r.c1_igatm + 1)), "XX");
  EXPECT_EQ(r.c1_atype(r.s1_inew(r.c1_igatm + 1)), "U");
  int missing = 0;
  for (int32_t p = 1; p <= r.c1_igatm; ++p) {
    const int32_t k = r.s1_inew(p);
    if (!(r.c1_atype(k) == "M")) continue;
    ++missing;
    EXPECT_FLOAT_EQ(r.c1_user(k), 1.001f);  // nothing left from an earlier residue's slot
    EXPECT_EQ(r.c1_occ(k), 0.0f);
  }
  EXPECT_EQ(missing, 2);
  // Without reports nothing is said or counted, the states are the same.
  rtest::Counts quiet;
  rtest::prepare(ser, out, quiet, 'N');
  EXPECT_EQ(out, "");
  EXPECT_EQ(quiet.na_miss + quiet.na_abs, 0);
}

TEST_F(AtomCheck, MessagesStopAtTheCapButCountingGoesOn) {
  std::string out;
  rtest::Counts n;
  n.ipr_miss = 19;
  const int32_t og = rtest::first_atom(ser, "OG");
  const int32_t cb = rtest::first_atom(ser, "CB");
  atom_inf.atm_type(og) = "M";
  atom_inf.atm_type(cb) = "M";
  rtest::prepare(ser, out, n);
  EXPECT_EQ(out,
            "  ATTENTION: atom:CB   SER       178  Aa   is missing in the structure\n"
            "   ... and more ...\n");
  EXPECT_EQ(n.ipr_miss, 20);
  EXPECT_EQ(n.na_miss, 2);
}

TEST_F(AtomCheck, HydrogenPolicy) {
  struct Row {
    const char* label;
    const char* flag;
    int described;  // atoms in the new order
    int missing;
  };
  // SER of the test library: 6 heavy atoms and 5 hydrogens (H, HA, HB2,
  // HB3, HG), none of them in the X-ray model.
  const Row rows[] = {
      {"all hydrogens kept, missing ones to rebuild", "A", 11, 5},
      {"no hydrogens", "N", 6, 0},
      {"hydrogens of the model only", " ", 6, 0},
  };
  for (const Row& row : rows) {
    crdinf.cr_hflag = row.flag;
    std::string out;
    rtest::Counts n;
    rtest::prepare(ser, out, n);
    const r_scratch_t& r = r_scratch;
    EXPECT_EQ(r.c1_igatm, row.described) << row.label;
    int missing = 0;
    for (int32_t k = 1; k <= r.c1_natom; ++k) missing += r.c1_atype(k) == "M";
    EXPECT_EQ(missing, row.missing) << row.label;
    EXPECT_EQ(out, "") << row.label;  // hydrogens are never reported
    EXPECT_EQ(n.na_miss + n.na_del, 0) << row.label;
  }
}

TEST_F(AtomCheck, ConformersFollowTheirFirstPositionAndGetOwnTreeLinks) {
  // Gather SER, then give OG a second conformer by hand before the check.
  const int32_t ias = resid_inf.iratm_first(ser);
  int32_t ierr = 0;
  get_monom_(99, ' ', 1, ser, ias, ias + resid_inf.natm_res(ser) - 1, ierr);
  r_scratch_t& r = r_scratch;
  int32_t og = 0, cb = 0;
  for (int32_t k = 1; k <= r.c1_natom; ++k) {
    if (r.c1_aname(k) == "OG") og = k;
    if (r.c1_aname(k) == "CB") cb = k;
  }
  ASSERT_GT(og, 0);
  const int32_t b = ++r.c1_natom;
  r.c1_aname(b) = "OG";
  r.c1_atype(b) = "M";
  r.c1_alt(og) = "A";
  r.c1_alt(b) = "B";
  r.c1_corr(b) = ".";
  r.c1_occ(b) = 0.5f;
  r.c1_nalt(og) = 2;
  r.c1_nalt(b) = 0;
  r.c1_ialt(b) = og;
  rt::FixedText<8> mon("SER");
  captured([&] { cp_mlib_(99, mon, ierr); });
  rtest::Counts n;
  captured([&] {
    chklst_(0, mon, n.ipr_miss, n.ipr_abs, n.ipr_del, n.na_miss, n.na_abs, n.na_del, 'Y', ' ',
            ierr);
  });
  EXPECT_EQ(ierr, 0);
  ASSERT_EQ(r.c1_igatm, 7);
  EXPECT_EQ(r.s1_iold(b), r.s1_iold(og) + 1);
  EXPECT_EQ(r.c1_atype(b), "Y");
  EXPECT_EQ(r.s1_iback(b), cb);
  EXPECT_EQ(r.s1_iback(og), cb);
  // CB's connections reach both conformers of OG.
  int to_og = 0;
  for (int32_t k = 1; k <= r.s1_ndist(cb); ++k)
    to_og += r.s1_conn(k, cb) == og || r.s1_conn(k, cb) == b;
  EXPECT_EQ(to_og, 2);
}

TEST_F(AtomCheck, AFullWorkAreaNamesTheConstantAndDeletesTheLibraryAtom) {
  int32_t ierr = 0;
  const int32_t ias = resid_inf.iratm_first(ser);
  get_monom_(99, ' ', 1, ser, ias, ias + resid_inf.natm_res(ser) - 1, ierr);
  r_scratch_t& r = r_scratch;
  atom_inf.atm_type(rtest::first_atom(ser, "OG")) = "M";
  while (r.c1_natom < MX1ATOM) {  // fill with atoms the monomer lacks
    const int32_t k = ++r.c1_natom;
    r.c1_aname(k) = 'Q' + std::to_string(k);
    r.c1_nalt(k) = 1;
    r.c1_ialt(k) = 0;
    r.c1_atype(k) = "M";
  }
  // OG was gathered before it was flagged: take it out of C1 by name.
  for (int32_t k = 1; k <= 6; ++k)
    if (r.c1_aname(k) == "OG") r.c1_aname(k) = "Q0";
  rt::FixedText<8> mon("SER");
  captured([&] { cp_mlib_(99, mon, ierr); });
  rtest::Counts n;
  const std::string out = captured([&] {
    chklst_(0, mon, n.ipr_miss, n.ipr_abs, n.ipr_del, n.na_miss, n.na_abs, n.na_del, 'N', ' ',
            ierr);
  });
  // OG and the five hydrogens find no room, each with the two lines.
  const std::string twice =
      "  WARNING: number of atoms of monomer Aa 178 Aa    >   300\n"
      "          Change parameter MX1ATOM in \"lib_com\"\n";
  EXPECT_EQ(out.substr(0, twice.size()), twice);
  EXPECT_EQ(out.size(), 6 * twice.size());
  int32_t og_lib = 0;
  for (int32_t i = 1; i <= r.l1a_natom; ++i)
    if (r.l1a_aname(i) == "OG") og_lib = i;
  EXPECT_EQ(r.l1a_atype(og_lib), "D");
  EXPECT_EQ(r.c1_natom, MX1ATOM);
}

TEST(AtomNames, InputFormOfANameFromItsElement) {
  struct Row {
    const char* label;
    const char* name;
    const char* element;
    const char* expect;
  };
  const Row rows[] = {
      {"two-letter name of a one-letter element", "CA", "C", "CA__"},
      {"one-letter name", "N", "N", "N___"},
      {"four-character hydrogen starts with its last character", "HD21", "H", "1HD2"},
      {"three-character hydrogen", "HB2", "H", "HB2_"},
      {"two-letter element keeps the name", "ZN", "ZN", "ZN"},
      {"deuterium like hydrogen", "DG12", "D", "2DG1"},
  };
  for (const Row& row : rows) {
    rt::FixedText<4> atom;
    corr_input_pdb_aname_(row.name, row.element, atom);
    EXPECT_EQ(atom, row.expect) << row.label;
  }
}

// An atom present with zero occupancy is in the model but gives no position
// to the description: its library atom is marked without coordinates.
TEST_F(AtomCheck, AnUnoccupiedAtomGivesTheLibraryNoPosition) {
  const int32_t og = rtest::first_atom(ser, "OG");
  const float occ = atom_crd.occup(og);
  atom_crd.occup(og) = 0.0f;
  const int32_t ierr = rtest::prepare(ser);
  atom_crd.occup(og) = occ;
  EXPECT_EQ(ierr, 0);
  const r_scratch_t& r = r_scratch;
  int seen = 0;
  for (int32_t i = 1; i <= r.l1a_natom; ++i) {
    if (r.l1a_aname(i) == "OG") {
      EXPECT_EQ(r.l1a_coor_flag(i), "N");
      ++seen;
    } else if (r.l1a_aname(i) == "CB" || r.l1a_aname(i) == "CA") {
      EXPECT_EQ(r.l1a_coor_flag(i), "Y") << r.l1a_aname(i).view();
      ++seen;
    }
  }
  EXPECT_EQ(seen, 3);
}

// The closing lines of a run name the first atoms the library lacks and
// count them all: a heavy atom goes to the unknown atoms with its element,
// and a check without reports (a link partner) adds nothing.
TEST_F(AtomCheck, AtomsTheLibraryLacksAreTalliedByKindWithTheFirstNamed) {
  restraints::unnamed_hydrogens().clear();
  restraints::unnamed_heavy_atoms().clear();
  const int32_t cb = rtest::first_atom(ser, "CB");
  atom_inf.atm_name(cb) = "XX";
  std::string out;
  rtest::Counts n;
  rtest::prepare(ser, out, n);
  rtest::Counts quiet;
  rtest::prepare(ser, out, quiet, 'N');
  atom_inf.atm_name(cb) = "CB";
  EXPECT_EQ(restraints::unnamed_heavy_atoms().count(), 1);
  EXPECT_EQ(restraints::unnamed_heavy_atoms().listed(), "XX SER 178 Aa (element C)");
  EXPECT_EQ(restraints::unnamed_hydrogens().count(), 0);
}

TEST(UnnamedAtoms, FirstFiveListedEveryOneCounted) {
  struct Row {
    const char* label;
    int added;
    const char* listed;
  };
  const Row rows[] = {
      {"none", 0, ""},
      {"one", 1, "H1 GLY 1 A"},
      {"as many as are listed", 5, "H1 GLY 1 A, H2 GLY 2 A, H3 GLY 3 A, H4 GLY 4 A, H5 GLY 5 A"},
      {"one more than are listed", 6,
       "H1 GLY 1 A, H2 GLY 2 A, H3 GLY 3 A, H4 GLY 4 A, H5 GLY 5 A, ..."},
  };
  restraints::UnnamedAtoms a;
  for (const Row& row : rows) {
    a.clear();
    for (int k = 1; k <= row.added; ++k) {
      // Appended, not built from a literal and a temporary, which the
      // optimised build warns of falsely.
      std::string num = "A    ", name = "H";
      num += std::to_string(k);
      num += " A   ";
      name += std::to_string(k);
      a.add(name, "GLY", num);
    }
    EXPECT_EQ(a.count(), row.added) << row.label;
    EXPECT_EQ(a.listed(), row.listed) << row.label;
  }
}

TEST(UnnamedAtoms, AnAtomIsNamedByResidueNumberInsertionCodeAndChain) {
  restraints::UnnamedAtoms a;
  // Residue text: counter, number and insertion code (3-7), chain (8-11).
  a.add("HB1 ", "SER     ", "A1  12AB   ", "(element HD)");
  EXPECT_EQ(a.listed(), "HB1 SER 12A B (element HD)");
}
