// Storing CIF atoms: chain and residue breaks, assembly groups, scattering
// types and their capacity.
#include "cif_test_util.h"

#include "coords/cif_store_atom.h"
#include "foundation/paths_defaults.h"

namespace {

class CifStore : public CifFiles {
 protected:
  void SetUp() override {
    CifFiles::SetUp();
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    init_crd_inf_(0, ierr);
    copy_cr_cs_();
    res_old_ = "?????";
    group_old_ = "????";
  }

  // Stores one atom of group g, residue number text (5 characters) and name.
  int32_t store(const char* group, const char* resnum, const char* rname, const char* aname,
                const char* elem = "C") {
    crdatm.cr_group = group;
    crdatm.cr_pnum.blank();
    crdatm.cr_pnum.sub(3, 7).assign(resnum);
    crdatm.cr_rname = rname;
    crdatm.cr_aname = aname;
    crdatm.cr_aname_inp = ".";
    crdatm.cr_asymb = elem;
    crdatm.cr_btype = ".";
    crdatm.cr_ires = std::atoi(resnum);
    crdatm.cr_iatold = atom_inf.n_atom + 1;
    int32_t ierr = 0;
    set_atom_(99, res_old_, group_old_.view(), ires_old_, 0, ierr);
    res_old_ = crdatm.cr_pnum.sub(3, 7);
    group_old_ = crdatm.cr_group;
    return ierr;
  }

  rt::FixedText<5> res_old_;
  rt::FixedText<4> group_old_;
  int32_t ires_old_ = -100;
};

}  // namespace

TEST_F(CifStore, KeyNotNameOpensResiduesGroupOpensChains) {
  store("AA", "   1 ", "ALA", "N");
  store("AA", "   1 ", "GLY", "CA");
  EXPECT_EQ(resid_inf.n_residue, 1);
  EXPECT_EQ(resid_inf.natm_res(1), 2);
  EXPECT_EQ(resid_inf.res_name(1).trimmed(), "ALA");
  store("BB", "   1 ", "ALA", "N");
  EXPECT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(resid_inf.n_residue, 2);
  EXPECT_EQ(asym_part.ires_first(2), 2);
  EXPECT_EQ(asym_part.iatom_first(2), 3);
  EXPECT_EQ(asym_part.chain_id(2).trimmed(), "BB");
  EXPECT_EQ(asym_part.igroup_asm(2), 0);
  EXPECT_EQ(resid_inf.ires_back(2), -1);
  EXPECT_EQ(resid_inf.res_num_pdb(2).str(), "BB   1 BB   ");
}

TEST_F(CifStore, ConnectionCodesAndTreeEnds) {
  store("AA", "   1 ", "ALA", "N");
  store("AA", "   2 ", "PRO", "N");
  store("AA", "   3 ", "GLY", "N");
  store("AA", "   3 ", "GLY", "OXT");
  store("WW", "   1 ", "HOH", "O", "O");
  EXPECT_EQ(resid_inf.iconn_type(1), 1);
  EXPECT_EQ(resid_inf.iconn_type(2), 36);
  EXPECT_EQ(resid_inf.iconn_type(3), 2);
  EXPECT_EQ(asym_part.ich_type(1), 3);
  EXPECT_EQ(asym_part.ires_start_tree(1), 1);
  EXPECT_EQ(asym_part.ires_end_tree(1), 3);
  EXPECT_EQ(asym_part.iterm_f_type(1), 2);
  EXPECT_EQ(resid_inf.ires_forw(2), 3);
  EXPECT_EQ(resid_inf.ires_forw(3), 0);
  EXPECT_EQ(asym_part.ich_type(2), 9);
}

TEST_F(CifStore, ChargedElementKeptAsReadAndCleaned) {
  store("AA", "   1 ", "ALA", "O", "O1- ");
  store("AA", "   1 ", "ALA", "FE", "FE2+");
  EXPECT_EQ(crst_crd.cs_element(1).str(), "O1- ");
  EXPECT_EQ(crst_crd.cs_atype(1).str(), "O   ");
  EXPECT_EQ(crst_crd.cs_atype(2).str(), "FE  ");
  store("AA", "   1 ", "ALA", "O2", "O1- ");
  EXPECT_EQ(crst_crd.cs_nsfatm, 2);
  EXPECT_EQ(atom_inf.id_sf(3), 1);
}

TEST_F(CifStore, InsertionColumnSwitch) {
  com_out_cif.out_cif_ins = 1;
  crdatm.cr_ires = 1000;
  store("AA", "1000 ", "ALA", "N");
  EXPECT_EQ(com_out_cif.out_cif_ins, 1);
  store("AA", "  12A", "ALA", "N");
  EXPECT_EQ(com_out_cif.out_cif_ins, 1);
  crdatm.cr_group = "AA";
  crdatm.cr_pnum.sub(3, 7).assign("  13 ");
  crdatm.cr_ires = 7;  // label number differs from the author number
  int32_t ierr = 0;
  set_atom_(99, res_old_, group_old_.view(), ires_old_, 0, ierr);
  EXPECT_EQ(com_out_cif.out_cif_ins, 0);
}

TEST_F(CifStore, FullScatteringTableStopsWithStatus) {
  crst_crd.cs_nsfatm = MAXNSF;
  for (int t = 1; t <= MAXNSF; ++t) crst_crd.cs_element(t) = "XX";
  int32_t ierr = 0;
  crdatm.cr_group = "AA";
  crdatm.cr_pnum.blank();
  crdatm.cr_asymb = "C";
  crdatm.cr_rname = "ALA";
  crdatm.cr_aname = "CA";
  const std::string out = captured([&] { set_atom_(0, res_old_, group_old_.view(), ires_old_, 0, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(crst_crd.cs_nsfatm, MAXNSF);
  EXPECT_NE(out.find(" ERROR: number of atomic scattering types > limit."), std::string::npos);
  EXPECT_NE(out.find("        change parameter MAXNSF in atom_com"), std::string::npos);
}

