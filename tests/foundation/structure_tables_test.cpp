// Resets and defaults of the structure model and the run state: the empty
// model, the pipeline's file triples, the single-name parameter set-up, the
// reader-buffer defaults and their copy into the working tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>
#include <utility>

#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "foundation/paths_defaults.h"
#include "runtime/units.h"
#include "support/capture.h"

namespace {

const float kHalfPi = 2.0f * std::atan(1.0f);

}  // namespace

TEST(StructureTables, ResetEmptiesModelAndRestoresDefaultCell) {
  int32_t* const counts[] = {&atom_inf.n_atom,           &atom_inf.n_aniso,        &resid_inf.n_residue,
                             &asym_part.n_group,          &cif_asym_part.n_grp_asm, &link_inf.ln_n,
                             &mod_inf.mod_n,              &cif_entity_list.n_chn_ent,
                             &cif_ent_poly_seq.ent_nresidue, &cif_ent_link.ent_ln_n,  &com_out_cif.out_cif_ins};
  for (int32_t* n : counts) *n = 7;
  crst_crd.cs_cell(1) = 55.0f;
  crst_crd.cs_nsym = 8;
  crst_crd.cs_m_cs(1, 2, 1) = 1.0f;
  crst_crd.cs_v_cs(3, 1) = 0.5f;
  crst_crd.cs_spgr = "P 21 21 21";
  int32_t ierr = 5;
  init_atm_inf_(0, ierr);
  EXPECT_EQ(ierr, 0);
  for (std::size_t k = 0; k < std::size(counts); ++k) EXPECT_EQ(*counts[k], 0) << k;
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
  EXPECT_EQ(crst_pdb.cs_name_pdb, "----");
  EXPECT_EQ(crst_pdb.cs_date_pdb.view(), "XX-XXX-XX");
  EXPECT_EQ(crst_pdb.cs_resl_pdb, ".");
  EXPECT_EQ(crst_pdb.cs_rfac_pdb, ".");
  for (std::string_view q : {crst_pdb.cs_cd_ndb.view(), crst_pdb.cs_cd_csd.view(), crst_pdb.cs_date_ndb.view(),
                             crst_pdb.cs_date_creat.view(), crst_pdb.cs_program.view(), crst_pdb.cs_method.view(),
                             crst_pdb_2.cs_ndb_title.view(), crst_pdb_2.cs_name_ndb.view(),
                             crst_pdb_2.cs_info_flag.view()})
    EXPECT_EQ(rt::trim_right(q), "?");
  // Blank-padded, not zero bytes: writers print these fields whole.
  EXPECT_EQ(crst_pdb.cs_title.view(), "---" + std::string(MAXTITLE - 3, ' '));
  EXPECT_FLOAT_EQ(crst_pdb_2.cs_dpi, 0.0f);
  EXPECT_EQ(crst_pdb_2.cs_nmodel, 0);
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
}

TEST(RunState, PipelineSetupNamesEveryFileFromItsArguments) {
  int32_t ierr = 3;
  initcrd_(0, "model.pdb", "   ", "out", "in_s", "out_s", "in_r", "out_r", 'Y', 'N', ierr);
  EXPECT_EQ(crdinf.cri_file, "model.pdb");
  EXPECT_TRUE(crdinf.cri_ext.is_blank());
  // The van der Waals files share the restraint names.
  const struct {
    const char* member;
    std::string_view got;
    const char* want;
  } names[] = {
      {"cro_file", crdinf.cro_file, "out"},
      {"cro_ext", crdinf.cro_ext, "crd"},
      {"crs_file", crdinf.crs_file, "in_s"},
      {"crs_ext", crdinf.crs_ext, "str"},
      {"crso_file", crdinf.crso_file, "out_s"},
      {"crr_ext", crdinf.crr_ext, "rst"},
      {"crro_file", crdinf.crro_file, "out_r"},
      {"crv_file", crdinf.crv_file, "in_r"},
      {"crv_ext", crdinf.crv_ext, "vdw"},
      {"crvo_file", crdinf.crvo_file, "out_r"},
      {"crvo_ext", crdinf.crvo_ext, "vdw"}};
  for (const auto& n : names) { EXPECT_EQ(rt::trim_right(n.got), n.want) << n.member; }
}

TEST(RunState, NoRestraintsBlanksTheThreeOutputNamesOnly) {
  int32_t ierr = 0;
  initcrd_(0, "m.pdb", "", "o.cif", "s.in", "s.out", "r.in", "r.out", 'N', 'Y', ierr);
  EXPECT_TRUE(crdinf.crso_file.is_blank());
  EXPECT_TRUE(crdinf.crro_file.is_blank());
  EXPECT_TRUE(crdinf.crvo_file.is_blank());
  EXPECT_EQ(crdinf.crs_file, "s.in");
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
  EXPECT_EQ(crst_pdb.cs_cd_pdb.view(), "xxxx    ");
  const std::pair<std::string_view, const char*> texts[] = {
      {crst_pdb_2.cs_info_flag.view(), "C"}, {crst_pdb_2.cs_ndb_title.view(), "?"},
      {crst_pdb.cs_program.view(), "?"},     {crdinf.cr_segflag.view(), "N"},
      {crdinf.cr_pdb_rec.view(), "?"},       {crdatm.cr_btype.view(), "I"},
      {crdatm.cr_flag_user.view(), "N"},     {crdatm.cr_aname.view(), "."},
      {crdatm.cr_alt.view(), "."},           {crdstr.st_chem.view(), "."}};
  for (std::size_t k = 0; k < std::size(texts); ++k) EXPECT_EQ(rt::trim_right(texts[k].first), texts[k].second) << k;
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
