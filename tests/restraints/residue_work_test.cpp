// Gathering one residue into the work areas and writing the atoms its
// description does not cover: slot limits, alternates, the uncovered count
// and the serial numbers of the uncovered rows.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "restraints/residue_work.h"
#include "restraints/uncovered_atoms.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace {

class ResidueWork : public ::testing::Test {
 protected:
  void SetUp() override {
    int32_t ierr = 0;
    init_atm_inf_(99, ierr);
    set_cif_types_();
    comlib.iquiet = 0;
    comlib.idoc = 0;
    resid_inf.n_residue = 1;
    resid_inf.res_name(1) = "SER";
    // Blank chain slot, number in columns 3-6, insertion code 7, chain 8-11.
    resid_inf.res_num_pdb(1) = "    12BA    ";
    resid_inf.ires_type(1) = 3;
    resid_inf.i_chain(1) = 1;
    resid_inf.ires_serial(1) = 12;
    asym_part.n_group = 1;
    asym_part.group_id(1) = "A";
    crst_crd.cs_nsfatm = 2;
    crst_crd.cs_atype(1) = "C";
    crst_crd.cs_element(1) = "C";
    crst_crd.cs_atype(2) = "H";
    crst_crd.cs_element(2) = "H";
    r_scratch.c1_natom = 0;
  }
  // One model atom of residue 1; returns its index.
  static int32_t add_atom(std::string_view name, char type = 'O', char alt = '.', int32_t sf = 1,
                          float u = 0.05f) {
    atom_inf_t& a = atom_inf;
    const int32_t ia = ++a.n_atom;
    a.atm_name(ia) = name;
    a.atm_name_inp(ia) = name;
    a.atm_chem(ia) = sf == 2 ? "H" : "C";
    a.atm_type(ia) = std::string_view(&type, 1);
    a.id_alt(ia) = std::string_view(&alt, 1);
    a.id_corr(ia) = ".";
    a.id_sf(ia) = sf;
    a.i_resid(ia) = 1;
    atom_crd.u_aniso(1, ia) = u;
    atom_crd.occup(ia) = 1.0f;
    atom_crd.mult_factor(ia) = 1;
    for (int k = 1; k <= 3; ++k) atom_crd.xyz_crd(k, ia) = static_cast<float>(ia + k);
    return ia;
  }
};

TEST_F(ResidueWork, ThreeHundredAtomsFitAndTheNextIsRefusedWithTheLimitNamed) {
  for (int i = 1; i <= 300; ++i) add_atom('C' + std::to_string(i));
  add_atom("X1", 'U');  // left out: does not count towards the limit
  int32_t ierr = 0;
  std::string out = captured([&] { get_monom_(0, ' ', 1, 1, 1, atom_inf.n_atom, ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r_scratch.c1_natom, 300);
  EXPECT_EQ(out, "");

  add_atom("C301");
  out = captured([&] { get_monom_(0, ' ', 1, 1, 1, atom_inf.n_atom, ierr); });
  EXPECT_EQ(ierr, 2);
  EXPECT_EQ(r_scratch.c1_natom, 300);
  EXPECT_EQ(out,
            "  ERROR: number of atoms of monomer     12BA     >   300\n"
            "          Change parameter MX1ATOM in \"lib_com\"\n");
}

TEST_F(ResidueWork, AlternatesPointToTheirFirstOccurrence) {
  add_atom("OG", 'O', 'A');
  add_atom("CB");
  add_atom("OG", 'O', 'B');
  add_atom("OG", 'O', 'C');
  int32_t ierr = 0;
  get_monom_(99, ' ', 1, 1, 1, 4, ierr);
  const r_scratch_t& r = r_scratch;
  ASSERT_EQ(r.c1_natom, 4);
  EXPECT_EQ(r.c1_nalt(1), 3);
  EXPECT_EQ(r.c1_ialt(1), 0);
  EXPECT_EQ(r.c1_nalt(2), 1);
  EXPECT_EQ(r.c1_nalt(3), 0);
  EXPECT_EQ(r.c1_ialt(3), 1);
  EXPECT_EQ(r.c1_ialt(4), 1);
  EXPECT_EQ(r.s1_icrd(4), 4);
  EXPECT_EQ(r.c1_rname, "SER");
  EXPECT_EQ(r.c1_rtype, cif_types.res_type(3));
}

TEST_F(ResidueWork, TwoAtomsOfOneNameAndCodeAreWarnedAndMarked) {
  add_atom("CB");
  add_atom("CB");
  int32_t ierr = 0;
  const std::string out = captured([&] { get_monom_(0, ' ', 1, 1, 1, 2, ierr); });
  EXPECT_EQ(out, "  WARNING : CB   double atom\"s occurrence:    12BA    , Now alt_id = \"?\"\n");
  EXPECT_EQ(atom_inf.id_alt(2), "?");
  EXPECT_EQ(r_scratch.c1_natom, 2);
}

TEST_F(ResidueWork, IsotropicAndAnisotropicBValues) {
  add_atom("CA", 'O', '.', 1, 0.05f);
  const int32_t ib = add_atom("CB");
  atom_inf.b_flag(ib) = ib;
  const float u[6] = {0.03f, 0.06f, 0.09f, 0.01f, 0.0f, 0.0f};
  for (int k = 1; k <= 6; ++k) atom_crd.u_aniso(k, ib) = u[k - 1];
  int32_t ierr = 0;
  get_monom_(99, ' ', 1, 1, 1, 2, ierr);
  EXPECT_EQ(r_scratch.c1_btype(1), "I");
  EXPECT_NEAR(r_scratch.c1_biso(1), 3.948f, 0.001f);
  EXPECT_EQ(r_scratch.c1_btype(2), "A");
  EXPECT_NEAR(r_scratch.c1_biso(2), 4.737f, 0.001f);  // 8 pi^2 (0.03+0.06+0.09)/3
  EXPECT_FLOAT_EQ(r_scratch.c1_anis(4, 2), 0.01f);
}

TEST_F(ResidueWork, UncoveredCountLeavesHydrogensOut) {
  add_atom("CA");
  add_atom("H1", 'U', '.', 2);
  add_atom("X1", 'N');
  add_atom("X2", 'D');
  add_atom("X3", 'M');
  int32_t ierr = 0;
  get_monom_(99, ' ', 1, 1, 1, 5, ierr);
  r_scratch.c1_atype(1) = "U";  // absent in the library
  int32_t nadd = -1;
  add_u_atoms_(0, 1, 1, 1, 5, nadd, 'A', ierr);
  EXPECT_EQ(nadd, 3);  // CA in C1, X1 and X2 in the model
  EXPECT_EQ(ierr, 0);
}

TEST_F(ResidueWork, EmptyStateOfTheSecondArea) {
  r_scratch.s2_dist(7) = 2.0f;
  r_scratch.s2_conn(12, 300) = 5;
  initcs_2_();
  EXPECT_EQ(r_scratch.s2_back(1), "?");
  EXPECT_EQ(r_scratch.s2_chem(300), "-");
  EXPECT_EQ(r_scratch.c2_atype(150), "U");
  EXPECT_EQ(r_scratch.s2_id_psi(2), "?");
  EXPECT_FLOAT_EQ(r_scratch.s2_dist(7), -1.0f);
  EXPECT_EQ(r_scratch.s2_conn(12, 300), 0);
  EXPECT_EQ(r_scratch.c2_pnum, ".");
  EXPECT_EQ(r_scratch.s2_ftree, "N");
}

class UncoveredAtoms : public ResidueWork {
 protected:
  void SetUp() override {
    ResidueWork::SetUp();
    crdinf.cro_iun = 71;
    crdinf.crso_iun = 72;
    ASSERT_EQ(rt::unit_open(71, dir_.file("out.crd"), {}), 0);
    ASSERT_EQ(rt::unit_open(72, dir_.file("out.str"), {}), 0);
  }
  void TearDown() override {
    rt::unit_close(71);
    rt::unit_close(72);
  }
  std::string read(std::string_view name) {
    rt::unit_close(71);
    rt::unit_close(72);
    std::ifstream in(dir_.file(name));
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  TempDir dir_;
};

TEST_F(UncoveredAtoms, RowsFollowTheKeptResidueSerials) {
  add_atom("CA");
  add_atom("X1", 'U');
  add_atom("X2", 'N');
  add_atom("X3", 'D');
  r_scratch.c2_iglobal = 990;
  r_scratch.c2_igatm = 10;
  int32_t ierr = -1;
  copy2_u_atoms_(99, 1, 1, 1, 4, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(crdatm.cr_iatold, 1003);
  EXPECT_NEAR(crdatm.cr_biso, 3.948f, 0.001f);
  EXPECT_EQ(crdstr.st_ia, 1003);
  EXPECT_EQ(crdstr.st_pnum, "  12B");
  const std::string crd = read("out.crd");
  EXPECT_NE(crd.find("1001"), std::string::npos);
  EXPECT_NE(crd.find("X2"), std::string::npos);
  EXPECT_EQ(crd.find("CA"), std::string::npos) << crd;
}

TEST_F(UncoveredAtoms, AResidueWithNothingUncoveredWritesNothing) {
  add_atom("CA");
  add_atom("CB");
  int32_t ierr = -1;
  copy2_u_atoms_(99, 1, 1, 1, 2, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(read("out.crd"), "");
  EXPECT_EQ(read("out.str"), "");
}

}  // namespace

// The first area's twin writes the same coordinate rows, numbered from the
// first area's counters, and no structure row.
TEST_F(UncoveredAtoms, FirstAreaRowsFollowItsOwnSerialsWithoutStructureRows) {
  add_atom("CA");
  add_atom("X1", 'U');
  add_atom("X2", 'D');
  r_scratch.c1_iglobal = 40;
  r_scratch.c1_igatm = 5;
  r_scratch.c2_iglobal = 900;
  r_scratch.c2_igatm = 90;
  crdstr.st_ia = -7;
  int32_t ierr = -1;
  copy_u_atoms_(99, 1, 1, 1, 3, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(crdatm.cr_iatold, 47);
  EXPECT_EQ(crdatm.cr_aname, "X2");
  EXPECT_EQ(crdatm.cr_ires, 12);
  EXPECT_EQ(crdstr.st_ia, -7) << "no structure record is filled";
  const std::string crd = read("out.crd");
  EXPECT_NE(crd.find("X1"), std::string::npos) << crd;
  EXPECT_NE(crd.find("46"), std::string::npos) << crd;
  EXPECT_EQ(crd.find("CA"), std::string::npos) << crd;
  EXPECT_EQ(read("out.str"), "");
}
