// The shared blocks of the TLS group program: run options of the coordinate
// code (`make_params`) and the TLS group definitions read from the keywords
// (`tls_char`, `tls_int`).
#pragma once

#include <cstdint>

#include "runtime/array.h"
#include "runtime/fixed_text.h"

inline constexpr int MAXGROUP_TLS = 500;  // defined groups
inline constexpr int MAXPIECES = 500;     // chain identifiers of one group
inline constexpr int NPARS = 500;         // tokens of one keyword line

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

struct tls_char_t {
  rt::FixedText<1> tls_define_flag;  // 'C' one group per chain, 'D' defined groups
  rt::Array2<rt::FixedText<4>, MAXGROUP_TLS, MAXPIECES> chains_gr;  // (group, piece)
};
extern tls_char_t tls_char;

struct tls_int_t {
  int32_t ngroup_tls;
  rt::Array1<int32_t, MAXGROUP_TLS> ntls_pieces;
};
extern tls_int_t tls_int;

void set_tessran_params_();
void tls_instructions_();
void tessran_kavlin1_();
void write_tls_params_();
