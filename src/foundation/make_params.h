// Set by the TLS group driver (its option defaults) and by the dictionary
// pipeline; read by every room that follows a run option of the coordinate
// code, the PDB writer's REMARK 3 block among them.
#pragma once

#include "runtime/fixed_text.h"

struct make_params_t {
  float make_cutoff;
  float make_dmin_spec;
  rt::FixedText<128> restraint_file;
  rt::FixedText<128> struct_file;
  rt::FixedText<128> coord_file;
  rt::FixedText<1> make_hflag;
  rt::FixedText<1> make_check_spec;
  rt::FixedText<1> make_rflag;
  rt::FixedText<1> make_form;
  rt::FixedText<1> make_pept_flag;
  rt::FixedText<1> make_lnk_flag;
  rt::FixedText<1> make_conn_flag;
  rt::FixedText<1> make_symm_flag;
  rt::FixedText<1> make_chain_flag;
  rt::FixedText<2> make_ss_flag;
  rt::FixedText<1> make_cis_flag;
  rt::FixedText<1> make_sugar_flag;
  rt::FixedText<128> make_libs_path;
  rt::FixedText<128> make_libs_name;
  rt::FixedText<10> make_libs_ext;
  rt::FixedText<128> make_prog_lib_path;
  rt::FixedText<128> make_out_file;
  rt::FixedText<128> make_lib_out;
  rt::FixedText<128> make_file_lib2;
  rt::FixedText<1> make_exit;
  rt::FixedText<1> make_hflag_o;
  rt::FixedText<1> make_check;
  rt::FixedText<1> make_depos;
  rt::FixedText<1> make_new_flag;
  rt::FixedText<1> make_newl_value_flag;
  rt::FixedText<1> make_ligand_level_flag;
  rt::FixedText<1> make_srch_flag;
  rt::FixedText<1> make_segid_in_flag;
  rt::FixedText<1> make_segid_out_flag;
};
extern make_params_t make_params;
