// One residue of the model into the work areas: the alternate conformation
// copied, the atoms the work residue leaves out, and the elements and charges
// a new description takes from the scattering types.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "coords/pdb_state.h"
#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "identify/lput_new.h"
#include "identify/work_residue.h"
#include "support/capture.h"

namespace {

// "C" and the number: four characters at most.
std::string carbon_name(int i) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "C%d", i % 1000);
  return buf;
}

struct ModelAtom {
  const char* name;
  char alt;
  float occ;
  char type = ' ';
};

// Atoms 1..n of one residue (chain 1, residue 1) with scattering type 1.
void residue_atoms(std::initializer_list<ModelAtom> atoms) {
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  crst_crd.cs_nsfatm = 1;
  crst_crd.cs_atype(1) = "C";
  crst_crd.cs_element(1) = "C";
  int ia = 0;
  for (const ModelAtom& a : atoms) {
    ++ia;
    atom_inf.atm_name(ia) = a.name;
    atom_inf.atm_name_inp(ia) = a.name;
    const char alt[2] = {a.alt, 0};
    atom_inf.id_alt(ia) = alt;
    const char type[2] = {a.type, 0};
    atom_inf.atm_type(ia) = type;
    atom_inf.id_corr(ia) = ".";
    atom_inf.id_sf(ia) = 1;
    atom_crd.occup(ia) = a.occ;
    atom_crd.xyz_crd(1, ia) = static_cast<float>(ia);
  }
  atom_inf.n_atom = ia;
  resid_inf.res_name(1) = "LIG";
  resid_inf.res_num_pdb(1) = "A    1 A    ";
  resid_inf.ires_type(1) = 2;
}

std::string alt_of(int32_t ias, int32_t iaf) {
  rt::FixedText<1> alt("?");
  int32_t ierr = 0;
  get_alt_for_copy_(0, ias, iaf, alt, ierr);
  return alt.str();
}

TEST(AltForCopy, MostAtomsWinFirstOnATie) {
  residue_atoms({{"C1", 'B', 1}, {"C1", 'A', 1}, {"C2", 'B', 1}, {"C2", 'A', 1}, {"C3", 'A', 1}, {"C3", 'B', 1}});
  EXPECT_EQ(alt_of(1, 6), "B") << "three and three: B met first";
  EXPECT_EQ(alt_of(2, 5), "A") << "A three, B one";
}

TEST(AltForCopy, OnlyRealAtomsOfSomeOccupancyVote) {
  residue_atoms({{"C1", 'B', 0.00005f}, {"C2", 'B', 1, 'D'}, {"C3", 'B', 1, 'U'}, {"C4", 'B', 1, 'N'},
                 {"C5", '.', 1}, {"C6", '.', 1}, {"C7", 'A', 1}});
  EXPECT_EQ(alt_of(1, 7), "A");
  EXPECT_EQ(alt_of(1, 6), ".") << "no voting atom";
}

TEST(AltForCopy, TwentyOneCodesCountTheFirstTwenty) {
  residue_atoms({});
  const std::string codes = "ABCDEFGHIJKLMNOPQRSTU";
  for (int i = 1; i <= 23; ++i) atom_inf.atm_type(i) = " ";
  for (int i = 1; i <= 21; ++i) {
    atom_inf.atm_name(i) = "C";
    atom_inf.id_alt(i) = std::string(1, codes[i - 1]);
    atom_crd.occup(i) = 1;
  }
  atom_inf.id_alt(22) = "U";
  atom_inf.id_alt(23) = "U";
  atom_crd.occup(22) = atom_crd.occup(23) = 1;
  EXPECT_EQ(alt_of(1, 23), "A") << "the 21st code never counts";
}

TEST(WorkResidue, ChosenConformationReplacesAtomsWithoutOne) {
  residue_atoms({{"C1", '.', 1}, {"C2", 'A', 1}, {"C2", 'B', 1}, {"C3", 'B', 0.6f}, {"C3", 'A', 0.4f},
                 {"C4", 'A', 1}, {"C1", 'A', 1}});
  int32_t ierr = 0;
  pre_monom_(0, 1, 1, 1, 7, ierr);
  EXPECT_EQ(ierr, 0);
  r_scratch_t& r = r_scratch;
  ASSERT_EQ(r.c1_natom, 4);
  EXPECT_EQ(r.s1_icrd(1), 1) << "C1 without a code stays";
  EXPECT_EQ(r.s1_icrd(2), 2) << "C2 of A kept";
  EXPECT_EQ(r.s1_icrd(3), 5) << "C3 of A in its own slot";
  EXPECT_EQ(r.c1_aname(3).str(), "C3  ");
  EXPECT_EQ(r.c1_rname.str(), "LIG     ");
}

TEST(WorkResidue, DisplacementIsBInBothForms) {
  residue_atoms({{"C1", '.', 1}, {"C2", '.', 1}});
  atom_crd.u_aniso(1, 1) = 0.25f;
  atom_inf.b_flag(2) = 2;
  for (int d = 1; d <= 3; ++d) atom_crd.u_aniso(d, 2) = 0.25f;
  int32_t ierr = 0;
  pre_monom_(0, 1, 1, 1, 2, ierr);
  EXPECT_EQ(r_scratch.c1_btype(1).str(), "I");
  EXPECT_EQ(r_scratch.c1_btype(2).str(), "A");
  EXPECT_NEAR(r_scratch.c1_biso(1), 19.739f, 0.01f);
  EXPECT_NEAR(r_scratch.c1_biso(2), r_scratch.c1_biso(1), 0.01f);
}

TEST(WorkResidue, NoAtomAndTooManyAtoms) {
  residue_atoms({{"C1", '.', 1, 'D'}});
  int32_t ierr = 0;
  comlib.iquiet = 0;
  EXPECT_EQ(captured([&] { pre_monom_(0, 1, 1, 1, 1, ierr); }),
            "  ERROR: number of atoms of monomer (c1_natom)=0\n");
  EXPECT_EQ(ierr, 2);
  residue_atoms({});
  for (int i = 1; i <= MX1ATOM + 1; ++i) {
    atom_inf.atm_type(i) = " ";
    atom_inf.atm_name(i) = carbon_name(i);
    atom_inf.id_alt(i) = ".";
  }
  ierr = 0;
  EXPECT_EQ(captured([&] { pre_monom_(0, 1, 1, 1, MX1ATOM + 1, ierr); }),
            "  ERROR: number of atoms of monomer A    1  >   300\n"
            "          Change parameter MX1ATOM in \"lib_com.fh\"\n");
  EXPECT_EQ(ierr, 2);
}

TEST(WorkResidue, BareDescriptionKeepsTheFirstOfOneName) {
  r_scratch_t& r = r_scratch;
  r.c1_natom = 3;
  const char* names[] = {"C1", "C1", "H1"};
  const char* symb[] = {"C", "O", "H"};
  for (int k = 1; k <= 3; ++k) {
    r.c1_aname(k) = names[k - 1];
    r.c1_asymb(k) = symb[k - 1];
    r.c1_sf_id(k) = 0;
    r.c1_occ(k) = 1;
  }
  int32_t ierr = 0;
  copy_c1_l1_(0, "NEW", ierr);
  EXPECT_EQ(r.l1a_natom, 2);
  EXPECT_EQ(r.l1a_nhatom, 1);
  EXPECT_EQ(r.l1a_symb(1).str(), "C   ");
  EXPECT_EQ(r.l1l_fuse.str(), "?");
  EXPECT_EQ(r.l1l_mname.str(), "NEW     ");
}

// ---------------------------------------------------------------- lput_new_

class PutAtom : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
    r_scratch_t& r = r_scratch;
    r.c1_natom = 0;
    r.l1a_natom = r.l1a_nhatom = 0;
    r.l1l_prsnt = "N";
    r.l1l_mname = "LIG";
    pdb_hent.het_n = 0;
    crst_crd.cs_nsfatm = 0;
    comlib.iquiet = 0;
  }
  // One atom through the one-atom record; the scattering type gets the
  // element text given.
  static int32_t put(const char* name, const char* element, char alt = '.', int itype = 1, float occ = 1,
                     const char* symb = nullptr) {
    crst_crd_t& c = crst_crd;
    const int sf = ++c.cs_nsfatm;
    c.cs_element(sf) = element;
    c.cs_atype(sf) = element;
    crdatm.cr_aname = name;
    crdatm.cr_aname_inp = name;
    crdatm.cr_asymb = symb ? symb : std::string(1, element[0]).c_str();
    crdatm.cr_atype = "C";
    crdatm.cr_alt = std::string(1, alt);
    crdatm.cr_corr = ".";
    crdatm.cr_rname = "LIG";
    crdatm.cr_occ = occ;
    crdatm.cr_sf_id = sf;
    crdstr.st_chem = ".";
    int32_t ierr = 0;
    lput_new_(0, ' ', "A", itype, ierr);
    return ierr;
  }
};

TEST_F(PutAtom, OtherConformationsTerminalAtomsAndRepeatsLeftOut) {
  put("C1", "C", 'A');
  put("C2", "C", 'B');
  put("C3", "C", '.');
  put("OXT", "O", '.', 3);
  put("OXT", "O", '.', 1);
  put("HOP2", "H", '.', 5);
  put("C1", "C", '.');
  r_scratch_t& r = r_scratch;
  ASSERT_EQ(r.c1_natom, 3);
  EXPECT_EQ(r.c1_aname(1).str(), "C1  ");
  EXPECT_EQ(r.c1_aname(2).str(), "C3  ");
  EXPECT_EQ(r.c1_aname(3).str(), "OXT ") << "kept outside a peptide";
  EXPECT_EQ(r.l1a_natom, 3);
}

TEST_F(PutAtom, ChargeFromTheScatteringTypeElement) {
  struct Row {
    const char *name, *element, *symb;
    float charge;
    const char* bare;
  } rows[] = {{"O1", "O-1", "O", -1, "O   "}, {"FE1", "FE+2", "FE", 2, "FE  "},
              {"C1", "C", "C", 0, "C   "},   {"S1", "?", "S", 0, "S   "}};
  for (const Row& row : rows) put(row.name, row.element, '.', 1, 1, row.symb);
  r_scratch_t& r = r_scratch;
  ASSERT_EQ(r.l1a_natom, 4);
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(r.l1a_charg(k), rows[k - 1].charge) << rows[k - 1].element;
    EXPECT_EQ(r.l1a_symb(k).str(), rows[k - 1].bare) << rows[k - 1].element;
  }
}

TEST_F(PutAtom, EmptyOccupancyAndHydrogens) {
  put("C1", "C", '.', 1, 0.0f);
  put("H1", "H", '.', 1, 1.0f);
  r_scratch_t& r = r_scratch;
  EXPECT_EQ(r.l1a_coor_flag(1).str(), "N");
  EXPECT_EQ(r.l1a_coor_flag(2).str(), "Y");
  EXPECT_EQ(r.l1a_natom, 2);
  EXPECT_EQ(r.l1a_nhatom, 1);
}

TEST_F(PutAtom, MinimalDescriptionGetsCoordinatesByName) {
  r_scratch_t& r = r_scratch;
  r.l1l_prsnt = "M";
  r.l1a_natom = 1;
  r.l1a_aname(1) = "C1";
  r.l1a_coor_flag(1) = "N";
  crdatm.cr_xyz(1) = 7.5f;
  put("C1", "C");
  EXPECT_EQ(r.l1a_coor_flag(1).str(), "Y");
  EXPECT_EQ(r.l1a_x(1), 7.5f);
  std::string out = captured([&] { put("C9", "C"); });
  EXPECT_EQ(out, "  WARNING: in monomer LIG      atom :C9   is not in the library list\n");
  EXPECT_EQ(r.l1a_natom, 1);
  EXPECT_EQ(r.c1_natom, 2) << "still in the work residue";
  r.l1a_natom = 0;
  int32_t ierr = 0;
  out = captured([&] { ierr = put("C8", "C"); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERROR: in \"LPUT_NEW\", number of atoms in monomer LIG <\n");
}

TEST_F(PutAtom, FullWorkResidueTakesNoMoreAtoms) {
  r_scratch_t& r = r_scratch;
  r.c1_natom = MX1ATOM;
  r.l1l_prsnt = ".";
  const std::string out = captured([&] { put("C1", "C"); });
  EXPECT_EQ(out,
            "  ERROR: in \"LPUT_NEW\", number of atoms in monomer LIG      >   300\n"
            "           Change parameter MX1ATOM in \"lib_com.fh\"\n");
  EXPECT_EQ(r.c1_natom, -1);
  EXPECT_EQ(captured([&] { put("C2", "C"); }), "") << "reported once";
  EXPECT_EQ(r.c1_natom, -1);
}

TEST_F(PutAtom, HeaderNamesFromTheHetRecords) {
  pdb_hent.het_n = 2;
  pdb_hent.het_id(1) = "LIG";
  pdb_hent.het_name(1) = "FIRST";
  pdb_hent.het_id(2) = "XXX";
  pdb_hent.het_name(2) = "OTHER";
  pdb_hent.het_formula(1) = "C6 H6";
  put("C1", "C");
  EXPECT_EQ(std::string(r_scratch.l1l_name.trimmed()), "FIRST");
  EXPECT_EQ(std::string(r_scratch.l1l_form.trimmed()), "C6 H6");
}

}  // namespace
