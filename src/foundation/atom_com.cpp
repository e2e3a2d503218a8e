// The structure-model instances, the reset of the model and the defaults of
// the run state for the dictionary pipeline.
#include "foundation/atom_com.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "foundation/entry_header.h"
#include "foundation/messages.h"
#include "suite/pi.h"

atom_inf_t atom_inf;
atom_crd_t atom_crd;
resid_inf_t resid_inf;
asym_part_t asym_part;
cif_asym_part_t cif_asym_part;
link_inf_t link_inf;
mod_inf_t mod_inf;
crst_crd_t crst_crd;
com_out_cif_t com_out_cif;
crst_pdb_t crst_pdb;
crst_pdb_2_t crst_pdb_2;
crdpdb_t crdpdb;
crdpdb_2_t crdpdb_2;
crdrsv_t crdrsv;
com_dict_file_t com_dict_file;
cif_entity_list_t cif_entity_list;
cif_ent_poly_seq_t cif_ent_poly_seq;
cif_ent_link_t cif_ent_link;
crdinf_t crdinf;
crdatm_t crdatm;
crdrst_t crdrst;
crdstr_t crdstr;
comask_t comask;
comask2_t comask2;

namespace {

void set_unit(rt::Array2<float, 3, 3>& m) {
  for (int j = 1; j <= 3; ++j)
    for (int i = 1; i <= 3; ++i) m(i, j) = i == j ? 1.0f : 0.0f;
}

}  // namespace

void init_atm_inf_(int32_t /*mdoc*/, int32_t& ierr) {
  ierr = 0;
  com_dict_file.prog_name_crd = ".";

  atom_inf.n_atom = 0;
  atom_inf.n_aniso = 0;
  resid_inf.n_residue = 0;
  asym_part.n_group = 0;
  cif_asym_part.n_grp_asm = 0;
  link_inf.ln_n = 0;
  mod_inf.mod_n = 0;
  cif_entity_list.n_chn_ent = 0;
  cif_ent_poly_seq.ent_nresidue = 0;
  cif_ent_link.ent_ln_n = 0;

  constexpr float pi = suite::kPi<float>;
  crst_crd_t& cs = crst_crd;
  for (int i = 1; i <= 3; ++i) {
    cs.cs_cell(i) = 100.0f;
    cs.cs_cell(i + 3) = pi / 2.0f;
  }
  set_unit(cs.cs_ort_to_frac);
  set_unit(cs.cs_frac_to_ort);
  for (int j = 1; j <= 3; ++j) {
    for (int i = 1; i <= 3; ++i) cs.cs_m_cs(i, j, 1) = i == j ? 1.0f : 0.0f;
    cs.cs_v_cs(j, 1) = 0.0f;
  }
  cs.cs_nsym = 1;
  cs.cs_nsymop = 0;
  cs.cs_nspgr = 1;
  cs.cs_sett = 1;
  cs.cs_nsfatm = 0;
  cs.cs_ncs = 0;
  cs.cs_spgr = "P 1";

  crst_pdb_t& p = crst_pdb;
  set_unit(p.cs_scale);
  for (int i = 1; i <= 3; ++i) p.cs_u(i) = 0.0f;
  p.cs_temper = p.cs_wavel = p.cs_res_min = p.cs_res_max = 0.0f;
  p.cs_rfac_all = p.cs_rfac_obs = p.cs_sigma_i = p.cs_sigma_f = 0.0f;
  p.cs_model_pdb = 0;
  p.cs_cd_pdb = "xxxx";
  p.cs_cd_ndb = "?";
  p.cs_cd_csd = "?";
  p.cs_name_pdb = "----";
  p.cs_date_pdb = "XX-XXX-XX";
  p.cs_date_ndb = "?";
  p.cs_date_creat = "?";
  p.cs_title = "---";
  p.cs_resl_pdb = ".";
  p.cs_rfac_pdb = ".";
  p.cs_program = "?";
  p.cs_method = "?";

  crst_pdb_2_t& p2 = crst_pdb_2;
  p2.cs_rfac_cut = 0.0f;
  p2.cs_nmodel = 0;
  p2.cs_rmerg_all = p2.cs_res_rmin = p2.cs_res_rmax = p2.cs_rmerg_obs = 0.0f;
  p2.cs_sigmar_i = p2.cs_sigmar_f = p2.cs_rmerg_iobs = p2.cs_rfree_all = 0.0f;
  p2.cs_rfree_obs = p2.cs_rfree_cut = p2.cs_dpi = 0.0f;
  p2.cs_err_crd_min = p2.cs_err_crd_max = 0.0f;
  p2.cs_ndb_title = "?";
  p2.cs_name_ndb = "?";
  p2.cs_info_flag = "?";

  com_out_cif.out_cif_mult = 0;
  com_out_cif.out_cif_corr = 0;
  com_out_cif.out_cif_ins = 0;
}

void initcrd_(int32_t /*mdoc*/, std::string_view in_file_pdb, std::string_view in_file_cif,
              std::string_view out_file_cif, std::string_view in_file_str,
              std::string_view out_file_str, std::string_view in_file_rst,
              std::string_view out_file_rst, char restr_flag, char h_flag, int32_t& ierr) {
  ierr = 0;
  crdinf_t& c = crdinf;
  constexpr float pi = suite::kPi<float>;
  for (int i = 1; i <= 3; ++i) {
    c.cr_cell(i) = 100.0f;
    c.cr_cell(i + 3) = pi / 2.0f;
  }
  set_unit(c.cr_scale);
  set_unit(c.cr_ort_to_frac);
  for (int i = 1; i <= 3; ++i) c.cr_u(i) = 0.0f;
  foundation::clear_entry_header();
  c.cr_pdb_rec.blank();
  c.cr_hflag(1) = h_flag;

  crdatm_t& a = crdatm;
  a.cr_mult_factor = 1;
  a.cr_ia = a.cr_ires = a.cr_igres = a.cr_ich = a.cr_igroup = a.cr_b_flag = 0;
  a.cr_atype.blank();
  a.cr_aname.blank();
  a.cr_aname_inp.blank();
  a.cr_rname.blank();
  a.cr_rtype.blank();
  a.cr_term.blank();
  a.cr_chain.blank();
  a.cr_group.blank();

  crdrsv.rsv_nvdw = 0;
  crdrsv.rsv_nhb = 0;
  crdrst_t& r = crdrst;
  r.rs_natom = r.rs_nbond = r.rs_nbnds = r.rs_nangl = r.rs_ntors = 0;
  r.rs_nchir = r.rs_nplan = r.rs_nvdw = r.rs_nhb = 0;
  crdstr.st_chem.blank();

  if (rt::len_trim(in_file_cif.substr(0, std::min<std::size_t>(in_file_cif.size(), 256))) > 0) {
    c.cri_file = in_file_cif;
    c.cri_ext = "crd";
  } else {
    c.cri_file = in_file_pdb;
    c.cri_ext.blank();
  }
  c.cri_path.blank();
  c.cro_file = out_file_cif;
  c.cro_path.blank();
  c.cro_ext = "crd";
  c.crs_file = in_file_str;
  c.crs_path.blank();
  c.crs_ext = "str";
  c.crso_file = out_file_str;
  c.crso_path.blank();
  c.crso_ext = "str";
  c.crr_file = in_file_rst;
  c.crr_path.blank();
  c.crr_ext = "rst";
  c.crro_file = out_file_rst;
  c.crro_path.blank();
  c.crro_ext = "rst";
  // The van der Waals files share the restraint names and differ by extension.
  c.crv_file = in_file_rst;
  c.crv_path.blank();
  c.crv_ext = "vdw";
  c.crvo_file = out_file_rst;
  c.crvo_path.blank();
  c.crvo_ext = "vdw";
  if (restr_flag == 'N') {
    c.crso_file.blank();
    c.crro_file.blank();
    c.crvo_file.blank();
  }
}

namespace {

// A usable file name: not blank and not beginning with a comma or a blank.
bool name_ok(std::string_view name) {
  const std::string_view n = name.substr(0, std::min<std::size_t>(name.size(), 256));
  if (rt::len_trim(n) == 0) return false;
  return n[0] != ',' && n[0] != ' ';
}

}  // namespace

void setparm_(int32_t mdoc, std::string_view in_file_pdb, std::string_view out_file_cif,
              char form, int32_t& ierr) {
  ierr = 0;
  crdinf_t& c = crdinf;
  c.cri_path.blank();
  c.cri_ext.blank();
  c.cro_path.blank();
  c.crs_path.blank();
  c.crr_path.blank();
  c.crv_path.blank();
  c.crps_path.blank();
  c.cro_ext = "crd";
  c.crs_ext = "str";
  c.crr_ext = "rst";
  c.crv_ext = "vdw";
  c.crps_ext = "ps";

  if (!name_ok(in_file_pdb)) {
    msgerr_(-(std::abs(mdoc) + 1), " ERR: WRONG NAME OF INPUT_FILE");
    ierr = 1;
    return;
  }
  c.cri_file = in_file_pdb;
  c.crs_file = in_file_pdb;
  c.crr_file = in_file_pdb;
  c.crv_file = in_file_pdb;

  if (!name_ok(out_file_cif)) {
    msgerr_(mdoc, " ERR: WRONG NAME OF OUTPUT_FILE");
    ierr = 1;
    return;
  }
  c.cro_file = out_file_cif;
  c.crso_file = out_file_cif;
  c.crro_file = out_file_cif;
  c.crvo_file = out_file_cif;
  c.crps_file = out_file_cif;
  c.cr_form_rst(1) = form;
}
