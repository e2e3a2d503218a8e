// Start-up paths, unit numbers, option words and reader-buffer defaults.
#include "foundation/paths_defaults.h"

#include <cmath>

#include "foundation/atom_com.h"
#include "foundation/entry_header.h"
#include "foundation/messages.h"
#include "foundation/words.h"
#include "suite/pi.h"

void set_path_prog_parm_(std::string_view lib_path, std::string_view prog_name,
                         std::string_view libs_path, std::string_view libs_name,
                         std::string_view libs_ext) {
  crdinf.crg_file = libs_name;
  crdinf.crg_path = libs_path;
  crdinf.crg_ext = libs_ext;
  crdinf.cr_prog_name = prog_name;
  crdinf.cr_lib_path = lib_path;
  crdinf.cr_prog_path = lib_path;
  // Only a short library path doubles as the program directory.
  if (rt::len_trim(lib_path) >= 6) crdinf.cr_prog_path.blank();
}

void set_unit_numbers_() {
  crdinf_t& c = crdinf;
  c.crdoc_iun = 48;
  c.crbat_iun = 47;
  c.crsm_iun = 45;
  c.crps_iun = 51;
  c.cri2_iun = 40;
  c.cri3_iun = 41;
  c.cro2_iun = 42;
  c.cro3_iun = 43;
  c.cr_sc_iun = 52;
  c.cri_iun = 36;
  c.cro_iun = 32;
  c.crs_iun = 37;
  c.crso_iun = 33;
  c.crr_iun = 38;
  c.crro_iun = 34;
  c.crv_iun = 39;
  c.crvo_iun = 35;
  comlib.idoc = 0;
  comlib.ictl1 = 0;
  comlib.ictl2 = 0;
}

void init_defaults_() {
  set_byte_();
  for (int i = 1; i <= NCOMASK; ++i) comask.iask(i) = 0;
  comask2.iask2(1) = 0;
}

void init_crd_inf_(int32_t /*mdoc*/, int32_t& ierr) {
  ierr = 0;
  constexpr float pi = suite::kPi<float>;
  crdinf_t& c = crdinf;
  for (int i = 1; i <= 3; ++i) {
    c.cr_cell(i) = 1.0f;
    c.cr_cell(i + 3) = pi / 2.0f;
    c.cr_u(i) = 0.0f;
    for (int j = 1; j <= 3; ++j) {
      const float v = i == j ? 1.0f : 0.0f;
      c.cr_scale(i, j) = v;
      c.cr_ort_to_frac(i, j) = v;
      c.cr_frac_to_ort(i, j) = v;
    }
  }
  foundation::clear_entry_header();
  // Set only where an mmCIF file gives its scale items.
  c.cr_cf1 = c.cr_cf2 = c.cr_tov = 0.0f;
  c.cr_pdb_rec = "?";
  c.cr_hflag = "?";
  c.cr_segflag = "N";
  c.cr_time = "?";

  crdpdb_2_t& d2 = crdpdb_2;
  d2.cr_rfac_cut = 0.0f;
  d2.cr_nmodel = 0;
  d2.cr_rmerg_all = d2.cr_res_rmin = d2.cr_res_rmax = d2.cr_rmerg_obs = 0.0f;
  d2.cr_sigmar_i = d2.cr_sigmar_f = d2.cr_rmerg_iobs = d2.cr_rfree_all = 0.0f;
  d2.cr_rfree_obs = d2.cr_rfree_cut = d2.cr_dpi = 0.0f;
  d2.cr_err_crd_min = d2.cr_err_crd_max = 0.0f;
  d2.cr_ndb_title = "?";
  d2.cr_name_ndb = "?";
  d2.cr_info_flag = "C";

  crdatm_t& a = crdatm;
  a.cr_mult_factor = 1;
  a.cr_iatom = a.cr_iatold = a.cr_ia = a.cr_ires = a.cr_igres = 0;
  a.cr_ich = a.cr_igroup = a.cr_b_flag = a.cr_sf_id = 0;
  a.cr_aname = ".";
  a.cr_aname_inp = ".";
  a.cr_asymb = ".";
  a.cr_rname = ".";
  a.cr_chain = ".";
  a.cr_group = ".";
  a.cr_rtype = ".";
  a.cr_term = ".";
  a.cr_atype = ".";
  a.cr_alt = ".";
  a.cr_corr = ".";
  a.cr_fsc = ".";
  a.cr_fsa = ".";
  a.cr_btype = "I";
  a.cr_flag_user = "N";

  crdstr.st_chem = ".";
}

void copy_cr_cs_() {
  const crdinf_t& c = crdinf;
  for (int i = 1; i <= 6; ++i) crst_crd.cs_cell(i) = c.cr_cell(i);
  crst_crd.cs_spgr = c.cr_spgr;
  crst_crd.cs_nspgr = c.cr_nspgr;
  crst_crd.cs_sett = c.cr_sett;

  crst_pdb_t& p = crst_pdb;
  for (int j = 1; j <= 3; ++j) {
    p.cs_u(j) = c.cr_u(j);
    for (int i = 1; i <= 3; ++i) p.cs_scale(i, j) = c.cr_scale(i, j);
  }
  p.cs_model_pdb = c.cr_model_pdb;
  p.cs_cd_pdb = c.cr_cd_pdb;
  p.cs_name_pdb = c.cr_name_pdb;
  p.cs_date_pdb = c.cr_date_pdb;
  p.cs_title = c.cr_title;
  p.cs_resl_pdb = c.cr_resl_pdb;
  p.cs_rfac_pdb = c.cr_rfac_pdb;
  const crdpdb_t& d = crdpdb;
  p.cs_temper = d.cr_temper;
  p.cs_wavel = d.cr_wavel;
  p.cs_res_min = d.cr_res_min;
  p.cs_res_max = d.cr_res_max;
  p.cs_rfac_all = d.cr_rfac_all;
  p.cs_rfac_obs = d.cr_rfac_obs;
  p.cs_sigma_i = d.cr_sigma_i;
  p.cs_sigma_f = d.cr_sigma_f;
  p.cs_cd_ndb = d.cr_cd_ndb;
  p.cs_cd_csd = d.cr_cd_csd;
  p.cs_date_ndb = d.cr_date_ndb;
  p.cs_date_creat = d.cr_date_creat;
  p.cs_program = d.cr_program;
  p.cs_method = d.cr_method;

  crst_pdb_2_t& p2 = crst_pdb_2;
  const crdpdb_2_t& d2 = crdpdb_2;
  p2.cs_rfac_cut = d2.cr_rfac_cut;
  p2.cs_nmodel = d2.cr_nmodel;
  p2.cs_rmerg_all = d2.cr_rmerg_all;
  p2.cs_res_rmin = d2.cr_res_rmin;
  p2.cs_res_rmax = d2.cr_res_rmax;
  p2.cs_rmerg_obs = d2.cr_rmerg_obs;
  p2.cs_sigmar_i = d2.cr_sigmar_i;
  p2.cs_sigmar_f = d2.cr_sigmar_f;
  p2.cs_rmerg_iobs = d2.cr_rmerg_iobs;
  p2.cs_rfree_all = d2.cr_rfree_all;
  p2.cs_rfree_obs = d2.cr_rfree_obs;
  p2.cs_rfree_cut = d2.cr_rfree_cut;
  p2.cs_dpi = d2.cr_dpi;
  p2.cs_err_crd_min = d2.cr_err_crd_min;
  p2.cs_err_crd_max = d2.cr_err_crd_max;
  p2.cs_ndb_title = d2.cr_ndb_title;
  p2.cs_name_ndb = d2.cr_name_ndb;
  p2.cs_info_flag = d2.cr_info_flag;
}
