// Resets and defaults of the structure model and the run state: the empty
// model, the pipeline's file triples, the single-name parameter set-up, the
// reader-buffer defaults and their copy into the working tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <type_traits>

#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "foundation/paths_defaults.h"
#include "runtime/units.h"

namespace {

template <typename F>
std::string captured(F f) {
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  f();
  rt::unit_flush(6);
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

const float kHalfPi = 2.0f * std::atan(1.0f);

}  // namespace

// Every member of the structure model with its kind and capacity, written
// out with the numbers themselves so that a wrong constant is caught too.
#define HAS(table, member, ...) \
  static_assert(std::is_same_v<decltype(table::member), __VA_ARGS__>, #table "::" #member)
static_assert(MAXATOM == 450000 && MAXRESID == 100000 && MAXCHAIN == 1500 && MAXLINK == 1000 &&
              MAXMODIF == 4000 && MAXNCS == 100 && MAXNSO == 192 && MAXNSF == 300 && MAXATSD == 1);
HAS(atom_inf_t, n_atom, int32_t);
HAS(atom_inf_t, n_aniso, int32_t);
HAS(atom_inf_t, i_atm, int32_t);
HAS(atom_inf_t, i_atold, rt::Array1<int32_t, 450000>);
HAS(atom_inf_t, i_resid, rt::Array1<int32_t, 450000>);
HAS(atom_inf_t, id_sf, rt::Array1<int32_t, 450000>);
HAS(atom_inf_t, b_flag, rt::Array1<int32_t, 450000>);
HAS(atom_inf_t, corr_id, rt::Array1<int32_t, 450000>);
HAS(atom_inf_t, atm_name, rt::Array1<rt::FixedText<4>, 450000>);
HAS(atom_inf_t, atm_name_inp, rt::Array1<rt::FixedText<4>, 450000>);
HAS(atom_inf_t, atm_chem, rt::Array1<rt::FixedText<4>, 450000>);
HAS(atom_inf_t, atm_type, rt::Array1<rt::FixedText<1>, 450000>);
HAS(atom_inf_t, id_alt, rt::Array1<rt::FixedText<1>, 450000>);
HAS(atom_inf_t, id_corr, rt::Array1<rt::FixedText<1>, 450000>);
HAS(atom_crd_t, xyz_crd, rt::Array2<float, 3, 450000>);
HAS(atom_crd_t, sd_crd, rt::Array2<float, 3, 1>);
HAS(atom_crd_t, u_aniso, rt::Array2<float, 6, 450000>);
HAS(atom_crd_t, sd_aniso, rt::Array2<float, 6, 1>);
HAS(atom_crd_t, occup, rt::Array1<float, 450000>);
HAS(atom_crd_t, sd_occ, rt::Array1<float, 1>);
HAS(atom_crd_t, mult_factor, rt::Array1<int32_t, 450000>);
HAS(resid_inf_t, n_residue, int32_t);
HAS(resid_inf_t, i_residue, int32_t);
HAS(resid_inf_t, natm_res, rt::Array1<int32_t, 100000>);
HAS(resid_inf_t, ires_serial, rt::Array1<int32_t, 100000>);
HAS(resid_inf_t, ires_global, rt::Array1<int32_t, 100000>);
HAS(resid_inf_t, ires_back, rt::Array1<int32_t, 100000>);
HAS(resid_inf_t, ires_forw, rt::Array1<int32_t, 100000>);
HAS(resid_inf_t, iratm_first, rt::Array1<int32_t, 100000>);
HAS(resid_inf_t, i_chain, rt::Array1<int32_t, 100000>);
HAS(resid_inf_t, ires_type, rt::Array1<int32_t, 100000>);
HAS(resid_inf_t, iconn_type, rt::Array1<int32_t, 100000>);
HAS(resid_inf_t, res_name, rt::Array1<rt::FixedText<8>, 100000>);
HAS(resid_inf_t, res_name_pdb, rt::Array1<rt::FixedText<3>, 100000>);
HAS(resid_inf_t, res_num_pdb, rt::Array1<rt::FixedText<12>, 100000>);
HAS(resid_inf_t, mod_flag, rt::Array1<rt::FixedText<1>, 100000>);
HAS(resid_inf_t, link_flag, rt::Array1<rt::FixedText<1>, 100000>);
HAS(asym_part_t, n_group, int32_t);
HAS(asym_part_t, i_grp, int32_t);
HAS(asym_part_t, i_ncs, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, nres_chain, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, natm_chain, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, iatom_first, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, ires_first, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, ires_start_tree, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, ires_end_tree, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, igroup_asm, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, ichain_grp, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, mult_flag, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, iterm_s_type, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, iterm_f_type, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, ich_type, rt::Array1<int32_t, 1500>);
HAS(asym_part_t, ncs_flag, rt::Array1<rt::FixedText<1>, 1500>);
HAS(asym_part_t, group_id, rt::Array1<rt::FixedText<4>, 1500>);
HAS(asym_part_t, chain_id, rt::Array1<rt::FixedText<4>, 1500>);
HAS(cif_asym_part_t, n_grp_asm, int32_t);
HAS(cif_asym_part_t, asm_chain_pointer, rt::Array1<int32_t, 1500>);
HAS(cif_asym_part_t, asm_group_pointer, rt::Array1<int32_t, 1500>);
HAS(cif_asym_part_t, asm_group_id, rt::Array1<rt::FixedText<4>, 1500>);
HAS(cif_asym_part_t, asm_chain_id, rt::Array1<rt::FixedText<4>, 1500>);
HAS(link_inf_t, ln_n, int32_t);
HAS(link_inf_t, ln_dist, rt::Array1<float, 1000>);
HAS(link_inf_t, ln_1ires, rt::Array1<int32_t, 1000>);
HAS(link_inf_t, ln_1ichn, rt::Array1<int32_t, 1000>);
HAS(link_inf_t, ln_2ires, rt::Array1<int32_t, 1000>);
HAS(link_inf_t, ln_2ichn, rt::Array1<int32_t, 1000>);
HAS(link_inf_t, ln_1rnam, rt::Array1<rt::FixedText<8>, 1000>);
HAS(link_inf_t, ln_2rnam, rt::Array1<rt::FixedText<8>, 1000>);
HAS(link_inf_t, ln_id, rt::Array1<rt::FixedText<8>, 1000>);
HAS(link_inf_t, ln_symm1, rt::Array1<rt::FixedText<8>, 1000>);
HAS(link_inf_t, ln_symm2, rt::Array1<rt::FixedText<8>, 1000>);
HAS(link_inf_t, ln_seq1, rt::Array1<rt::FixedText<5>, 1000>);
HAS(link_inf_t, ln_seq2, rt::Array1<rt::FixedText<5>, 1000>);
HAS(link_inf_t, ln_atom1, rt::Array1<rt::FixedText<5>, 1000>);
HAS(link_inf_t, ln_atom2, rt::Array1<rt::FixedText<5>, 1000>);
HAS(link_inf_t, ln_1chn, rt::Array1<rt::FixedText<4>, 1000>);
HAS(link_inf_t, ln_2chn, rt::Array1<rt::FixedText<4>, 1000>);
HAS(link_inf_t, ln_alt1, rt::Array1<rt::FixedText<1>, 1000>);
HAS(link_inf_t, ln_alt2, rt::Array1<rt::FixedText<1>, 1000>);
HAS(link_inf_t, ln_used, rt::Array1<rt::FixedText<1>, 1000>);
HAS(link_inf_t, ln_ent, rt::Array1<rt::FixedText<1>, 1000>);
HAS(mod_inf_t, mod_n, int32_t);
HAS(mod_inf_t, mod_ires, rt::Array1<int32_t, 4000>);
HAS(mod_inf_t, mod_ichn, rt::Array1<int32_t, 4000>);
HAS(mod_inf_t, mod_rnam, rt::Array1<rt::FixedText<8>, 4000>);
HAS(mod_inf_t, mod_id, rt::Array1<rt::FixedText<8>, 4000>);
HAS(mod_inf_t, mod_rnam_new, rt::Array1<rt::FixedText<8>, 4000>);
HAS(mod_inf_t, mod_seq, rt::Array1<rt::FixedText<5>, 4000>);
HAS(mod_inf_t, mod_chn, rt::Array1<rt::FixedText<4>, 4000>);
HAS(mod_inf_t, mod_used, rt::Array1<rt::FixedText<1>, 4000>);
HAS(crst_crd_t, cs_cell, rt::Array1<float, 6>);
HAS(crst_crd_t, cs_ort_to_frac, rt::Array2<float, 3, 3>);
HAS(crst_crd_t, cs_frac_to_ort, rt::Array2<float, 3, 3>);
HAS(crst_crd_t, cs_m_cs, rt::Array3<float, 3, 3, 192>);
HAS(crst_crd_t, cs_v_cs, rt::Array2<float, 3, 192>);
HAS(crst_crd_t, cs_m_ncs, rt::Array3<float, 3, 3, 100>);
HAS(crst_crd_t, cs_v_ncs, rt::Array2<float, 3, 100>);
HAS(crst_crd_t, cs_a, rt::Array2<float, 5, 300>);
HAS(crst_crd_t, cs_b, rt::Array2<float, 5, 300>);
HAS(crst_crd_t, cs_c, rt::Array1<float, 300>);
HAS(crst_crd_t, cs_fi, rt::Array1<float, 300>);
HAS(crst_crd_t, cs_fii, rt::Array1<float, 300>);
HAS(crst_crd_t, cs_radius, rt::Array1<float, 300>);
HAS(crst_crd_t, cs_nsym, int32_t);
HAS(crst_crd_t, cs_nsymop, int32_t);
HAS(crst_crd_t, cs_nspgr, int32_t);
HAS(crst_crd_t, cs_sett, int32_t);
HAS(crst_crd_t, cs_nsfatm, int32_t);
HAS(crst_crd_t, cs_ncs, int32_t);
HAS(crst_crd_t, cs_numb_cs, rt::Array1<int32_t, 192>);
HAS(crst_crd_t, cs_nelec, rt::Array1<int32_t, 300>);
HAS(crst_crd_t, cs_spgr, rt::FixedText<24>);
HAS(crst_crd_t, cs_atype, rt::Array1<rt::FixedText<4>, 300>);
HAS(crst_crd_t, cs_element, rt::Array1<rt::FixedText<4>, 300>);
HAS(com_out_cif_t, out_cif_mult, int32_t);
HAS(com_out_cif_t, out_cif_corr, int32_t);
HAS(com_out_cif_t, out_cif_ins, int32_t);
HAS(crst_pdb_2_t, cs_rfac_cut, float);
HAS(crst_pdb_2_t, cs_nmodel, int32_t);
HAS(crst_pdb_2_t, cs_rmerg_all, float);
HAS(crst_pdb_2_t, cs_res_rmin, float);
HAS(crst_pdb_2_t, cs_res_rmax, float);
HAS(crst_pdb_2_t, cs_rmerg_obs, float);
HAS(crst_pdb_2_t, cs_sigmar_i, float);
HAS(crst_pdb_2_t, cs_sigmar_f, float);
HAS(crst_pdb_2_t, cs_rmerg_iobs, float);
HAS(crst_pdb_2_t, cs_rfree_all, float);
HAS(crst_pdb_2_t, cs_rfree_obs, float);
HAS(crst_pdb_2_t, cs_rfree_cut, float);
HAS(crst_pdb_2_t, cs_dpi, float);
HAS(crst_pdb_2_t, cs_err_crd_min, float);
HAS(crst_pdb_2_t, cs_err_crd_max, float);
HAS(crst_pdb_2_t, cs_ndb_title, rt::FixedText<80>);
HAS(crst_pdb_2_t, cs_name_ndb, rt::FixedText<80>);
HAS(crst_pdb_2_t, cs_info_flag, rt::FixedText<1>);
HAS(crst_pdb_t, cs_scale, rt::Array2<float, 3, 3>);
HAS(crst_pdb_t, cs_u, rt::Array1<float, 3>);
HAS(crst_pdb_t, cs_model_pdb, int32_t);
HAS(crst_pdb_t, cs_cd_pdb, rt::FixedText<8>);
HAS(crst_pdb_t, cs_name_pdb, rt::FixedText<80>);
HAS(crst_pdb_t, cs_date_pdb, rt::FixedText<9>);
HAS(crst_pdb_t, cs_date_ndb, rt::FixedText<10>);
HAS(crst_pdb_t, cs_date_creat, rt::FixedText<20>);
HAS(crst_pdb_t, cs_title, rt::FixedText<80>);
HAS(crst_pdb_t, cs_resl_pdb, rt::FixedText<40>);
HAS(crst_pdb_t, cs_method, rt::FixedText<40>);
HAS(com_dict_file_t, prog_name_crd, rt::FixedText<8>);
#undef HAS

TEST(StructureTables, ResetEmptiesModelAndRestoresDefaultCell) {
  atom_inf.n_atom = 12;
  atom_inf.n_aniso = 3;
  resid_inf.n_residue = 4;
  asym_part.n_group = 2;
  cif_asym_part.n_grp_asm = 2;
  link_inf.ln_n = 1;
  mod_inf.mod_n = 1;
  cif_entity_list.n_chn_ent = 5;
  cif_ent_poly_seq.ent_nresidue = 6;
  cif_ent_link.ent_ln_n = 7;
  crst_crd.cs_cell(1) = 55.0f;
  crst_crd.cs_nsym = 8;
  crst_crd.cs_m_cs(1, 2, 1) = 1.0f;
  crst_crd.cs_v_cs(3, 1) = 0.5f;
  crst_crd.cs_spgr = "P 21 21 21";
  com_out_cif.out_cif_ins = 1;

  int32_t ierr = 5;
  init_atm_inf_(0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(atom_inf.n_atom, 0);
  EXPECT_EQ(atom_inf.n_aniso, 0);
  EXPECT_EQ(resid_inf.n_residue, 0);
  EXPECT_EQ(asym_part.n_group, 0);
  EXPECT_EQ(cif_asym_part.n_grp_asm, 0);
  EXPECT_EQ(link_inf.ln_n, 0);
  EXPECT_EQ(mod_inf.mod_n, 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 0);
  EXPECT_EQ(cif_ent_poly_seq.ent_nresidue, 0);
  EXPECT_EQ(cif_ent_link.ent_ln_n, 0);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_FLOAT_EQ(crst_crd.cs_cell(i), 100.0f);
    EXPECT_FLOAT_EQ(crst_crd.cs_cell(i + 3), kHalfPi);
    EXPECT_FLOAT_EQ(crst_crd.cs_v_cs(i, 1), 0.0f);
    for (int j = 1; j <= 3; ++j) {
      const float unit = i == j ? 1.0f : 0.0f;
      EXPECT_FLOAT_EQ(crst_crd.cs_m_cs(i, j, 1), unit);
      EXPECT_FLOAT_EQ(crst_crd.cs_ort_to_frac(i, j), unit);
      EXPECT_FLOAT_EQ(crst_crd.cs_frac_to_ort(i, j), unit);
      EXPECT_FLOAT_EQ(crst_pdb.cs_scale(i, j), unit);
    }
  }
  EXPECT_EQ(crst_crd.cs_nsym, 1);
  EXPECT_EQ(crst_crd.cs_nsymop, 0);
  EXPECT_EQ(crst_crd.cs_nspgr, 1);
  EXPECT_EQ(crst_crd.cs_sett, 1);
  EXPECT_EQ(crst_crd.cs_nsfatm, 0);
  EXPECT_EQ(crst_crd.cs_ncs, 0);
  EXPECT_EQ(crst_crd.cs_spgr.view(), "P 1" + std::string(21, ' '));
  EXPECT_EQ(com_dict_file.prog_name_crd.view(), ".       ");
  EXPECT_EQ(com_out_cif.out_cif_ins, 0);
}

TEST(StructureTables, ResetGivesHeaderRecordsTheirPlaceholders) {
  crst_pdb.cs_temper = 100.0f;
  crst_pdb.cs_model_pdb = 3;
  crst_pdb_2.cs_dpi = 0.2f;
  crst_pdb_2.cs_nmodel = 2;
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  EXPECT_FLOAT_EQ(crst_pdb.cs_temper, 0.0f);
  EXPECT_EQ(crst_pdb.cs_model_pdb, 0);
  EXPECT_EQ(crst_pdb.cs_cd_pdb, "xxxx");
  EXPECT_EQ(crst_pdb.cs_cd_ndb, "?");
  EXPECT_EQ(crst_pdb.cs_cd_csd, "?");
  EXPECT_EQ(crst_pdb.cs_name_pdb, "----");
  EXPECT_EQ(crst_pdb.cs_date_pdb.view(), "XX-XXX-XX");
  EXPECT_EQ(crst_pdb.cs_date_ndb, "?");
  EXPECT_EQ(crst_pdb.cs_date_creat, "?");
  EXPECT_EQ(crst_pdb.cs_title, "---");
  EXPECT_EQ(crst_pdb.cs_resl_pdb, ".");
  EXPECT_EQ(crst_pdb.cs_rfac_pdb, ".");
  EXPECT_EQ(crst_pdb.cs_program, "?");
  EXPECT_EQ(crst_pdb.cs_method, "?");
  // Blank-padded, not zero bytes: writers print these fields whole.
  EXPECT_EQ(crst_pdb.cs_title.view(), "---" + std::string(77, ' '));
  EXPECT_FLOAT_EQ(crst_pdb_2.cs_dpi, 0.0f);
  EXPECT_EQ(crst_pdb_2.cs_nmodel, 0);
  EXPECT_EQ(crst_pdb_2.cs_ndb_title, "?");
  EXPECT_EQ(crst_pdb_2.cs_name_ndb, "?");
  EXPECT_EQ(crst_pdb_2.cs_info_flag, "?");
}

TEST(RunState, PipelineSetupPrefersCifInputAndBlanksPaths) {
  crdinf.cri_path = "/old/";
  int32_t ierr = 3;
  initcrd_(0, "model.pdb", "model.cif", "out", "in_s", "out_s", "in_r", "out_r", 'Y', 'A', ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(crdinf.cri_file, "model.cif");
  EXPECT_EQ(crdinf.cri_ext, "crd");
  EXPECT_TRUE(crdinf.cri_path.is_blank());
  EXPECT_EQ(crdinf.cr_hflag, "A");

  initcrd_(0, "model.pdb", "   ", "out", "in_s", "out_s", "in_r", "out_r", 'Y', 'N', ierr);
  EXPECT_EQ(crdinf.cri_file, "model.pdb");
  EXPECT_TRUE(crdinf.cri_ext.is_blank());
  EXPECT_TRUE(crdinf.cri_path.is_blank());
  EXPECT_EQ(crdinf.cro_file, "out");
  EXPECT_EQ(crdinf.cro_ext, "crd");
  EXPECT_EQ(crdinf.crs_file, "in_s");
  EXPECT_EQ(crdinf.crs_ext, "str");
  EXPECT_EQ(crdinf.crso_file, "out_s");
  EXPECT_EQ(crdinf.crr_ext, "rst");
  EXPECT_EQ(crdinf.crro_file, "out_r");
  // The van der Waals files share the restraint names.
  EXPECT_EQ(crdinf.crv_file, "in_r");
  EXPECT_EQ(crdinf.crv_ext, "vdw");
  EXPECT_EQ(crdinf.crvo_file, "out_r");
  EXPECT_EQ(crdinf.crvo_ext, "vdw");
}

TEST(RunState, NoRestraintsBlanksTheThreeOutputNamesOnly) {
  int32_t ierr = 0;
  initcrd_(0, "m.pdb", "", "o.cif", "s.in", "s.out", "r.in", "r.out", 'N', 'Y', ierr);
  EXPECT_TRUE(crdinf.crso_file.is_blank());
  EXPECT_TRUE(crdinf.crro_file.is_blank());
  EXPECT_TRUE(crdinf.crvo_file.is_blank());
  EXPECT_EQ(crdinf.crs_file, "s.in");
  EXPECT_EQ(crdinf.crr_file, "r.in");
  EXPECT_EQ(crdinf.crv_file, "r.in");
  EXPECT_EQ(crdinf.cro_file, "o.cif");
}

TEST(RunState, PipelineSetupResetsCellCountersAndAtomRecord) {
  crdrst.rs_nbond = 9;
  crdrst.rs_nhb = 2;
  crdrsv.rsv_nvdw = 4;
  crdstr.st_chem = "CH2";
  crdatm.cr_mult_factor = 3;
  crdatm.cr_ires = 17;
  crdatm.cr_rname = "ALA";
  crdpdb.cr_wavel = 1.5f;
  crdinf.cr_cell(1) = 1.0f;
  crdinf.cr_spgr = "C 2";
  int32_t ierr = 0;
  initcrd_(0, "m.pdb", "", "o", "", "", "", "", 'Y', 'Y', ierr);
  EXPECT_FLOAT_EQ(crdinf.cr_cell(1), 100.0f);
  EXPECT_FLOAT_EQ(crdinf.cr_cell(6), kHalfPi);
  EXPECT_EQ(crdinf.cr_spgr, "P 1");
  EXPECT_EQ(crdinf.cr_symop, "X,Y,Z");
  EXPECT_EQ(crdinf.cr_nsym, 1);
  EXPECT_TRUE(crdinf.cr_pdb_rec.is_blank());
  EXPECT_EQ(crdrst.rs_nbond, 0);
  EXPECT_EQ(crdrst.rs_nhb, 0);
  EXPECT_EQ(crdrsv.rsv_nvdw, 0);
  EXPECT_EQ(crdstr.st_chem.view(), "    ");
  EXPECT_EQ(crdatm.cr_mult_factor, 1);
  EXPECT_EQ(crdatm.cr_ires, 0);
  EXPECT_EQ(crdatm.cr_rname.view(), "        ");
  EXPECT_FLOAT_EQ(crdpdb.cr_wavel, 0.0f);
  EXPECT_EQ(crdpdb.cr_program, "?");
}

TEST(RunState, SetParametersFillsAllNamesFromOneValidPair) {
  int32_t ierr = 7;
  setparm_(0, "inp.pdb", "result", 'U', ierr);
  EXPECT_EQ(ierr, 0);
  for (const auto* f : {&crdinf.cri_file, &crdinf.crs_file, &crdinf.crr_file, &crdinf.crv_file})
    EXPECT_EQ(*f, "inp.pdb");
  for (const auto* f : {&crdinf.cro_file, &crdinf.crso_file, &crdinf.crro_file, &crdinf.crvo_file,
                        &crdinf.crps_file})
    EXPECT_EQ(*f, "result");
  EXPECT_EQ(crdinf.crps_ext, "ps");
  EXPECT_EQ(crdinf.cro_ext, "crd");
  EXPECT_EQ(crdinf.crs_ext, "str");
  EXPECT_EQ(crdinf.crr_ext, "rst");
  EXPECT_EQ(crdinf.crv_ext, "vdw");
  EXPECT_TRUE(crdinf.cri_ext.is_blank());
  EXPECT_EQ(crdinf.cr_form_rst, "U");
}

TEST(RunState, SetParametersRejectsOutputNameWithLeadingComma) {
  comlib.iquiet = 0;
  int32_t ierr = 0;
  setparm_(0, "old_in", "old_out", 'F', ierr);
  ASSERT_EQ(ierr, 0);
  const std::string out = captured([&] { setparm_(0, "new_in", ",bad", 'X', ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERR: WRONG NAME OF OUTPUT_FILE\n");
  EXPECT_EQ(crdinf.cri_file, "new_in");
  EXPECT_EQ(crdinf.crv_file, "new_in");
  EXPECT_EQ(crdinf.cro_file, "old_out");
  EXPECT_EQ(crdinf.crps_file, "old_out");
  EXPECT_EQ(crdinf.cr_form_rst, "F");
}

TEST(RunState, SetParametersInputMessageUsesNegatedCode) {
  comlib.iquiet = 0;
  int32_t ierr = 0;
  setparm_(0, "keep_in", "keep_out", 'F', ierr);
  // With code 150 the output-side message is silent, but the input-side one
  // goes out with code -151, which error lines never silence.
  std::string out = captured([&] { setparm_(150, " leading_blank", "x", 'F', ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERR: WRONG NAME OF INPUT_FILE\n");
  EXPECT_EQ(crdinf.cri_file, "keep_in");
  EXPECT_EQ(crdinf.cro_file, "keep_out");
  out = captured([&] { setparm_(150, "ok", "", 'F', ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "");
}

TEST(ReaderDefaults, CopyIntoWorkingTablesGivesUnitCellAndInfoFlagC) {
  int32_t ierr = 4;
  crdinf.cr_cell(2) = 77.0f;
  crdinf.cr_u(1) = 0.3f;
  init_crd_inf_(0, ierr);
  EXPECT_EQ(ierr, 0);
  copy_cr_cs_();
  for (int i = 1; i <= 3; ++i) {
    EXPECT_FLOAT_EQ(crst_crd.cs_cell(i), 1.0f);
    EXPECT_FLOAT_EQ(crst_crd.cs_cell(i + 3), kHalfPi);
    EXPECT_FLOAT_EQ(crst_pdb.cs_u(i), 0.0f);
    EXPECT_FLOAT_EQ(crst_pdb.cs_scale(i, i), 1.0f);
  }
  EXPECT_EQ(crst_crd.cs_spgr, "P 1");
  EXPECT_EQ(crst_crd.cs_nspgr, 1);
  EXPECT_EQ(crst_pdb_2.cs_info_flag, "C");
  EXPECT_EQ(crst_pdb_2.cs_ndb_title, "?");
  EXPECT_EQ(crst_pdb.cs_cd_pdb.view(), "xxxx    ");
  EXPECT_EQ(crst_pdb.cs_program, "?");
  EXPECT_EQ(crdinf.cr_segflag, "N");
  EXPECT_EQ(crdinf.cr_pdb_rec, "?");
  EXPECT_EQ(crdatm.cr_btype, "I");
  EXPECT_EQ(crdatm.cr_flag_user, "N");
  EXPECT_EQ(crdatm.cr_aname, ".");
  EXPECT_EQ(crdatm.cr_alt, ".");
  EXPECT_EQ(crdstr.st_chem, ".");
}

TEST(ReaderDefaults, ShortLibraryPathDoublesAsProgramPath) {
  set_path_prog_parm_("/lib/", "tessran", "/libs/", "mon_lib", "cif");
  EXPECT_EQ(crdinf.cr_prog_path, "/lib/");
  EXPECT_EQ(crdinf.cr_lib_path, "/lib/");
  EXPECT_EQ(crdinf.crg_file, "mon_lib");
  EXPECT_EQ(crdinf.crg_path, "/libs/");
  EXPECT_EQ(crdinf.crg_ext, "cif");
  EXPECT_EQ(crdinf.cr_prog_name, "tessran");
  set_path_prog_parm_("/lib6/", "tessran", "", "", "");
  EXPECT_TRUE(crdinf.cr_prog_path.is_blank());
  EXPECT_EQ(crdinf.cr_lib_path, "/lib6/");
}

TEST(ReaderDefaults, UnitNumbersPresetAndDocumentationUnitCleared) {
  comlib.idoc = 48;
  crdinf.cri1_iun = 99;
  set_unit_numbers_();
  EXPECT_EQ(comlib.idoc, 0);
  EXPECT_EQ(crdinf.cri_iun, 36);
  EXPECT_EQ(crdinf.cro_iun, 32);
  EXPECT_EQ(crdinf.crvo_iun, 35);
  EXPECT_EQ(crdinf.crdoc_iun, 48);
  EXPECT_EQ(crdinf.cr_sc_iun, 52);
  EXPECT_EQ(crdinf.cri1_iun, 99);  // not preset
}
