// The CIF vocabularies of the structure model: residue, terminus, link and
// chain types, whose 1-based indexes are the codes stored in the tables
// (code 1 is "."), the two built-in modification records, and the
// name-to-code look-ups.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/array.h"
#include "runtime/fixed_text.h"

inline constexpr int MAXRESTYPE = 20;
inline constexpr int MAXCONNTYPE = 40;
inline constexpr int MAXCHTYPE = 10;
inline constexpr int MAXMODREC = 20;

// Filled by foundation (the vocabularies); read by coords and output.
struct cif_types_t {
  int32_t n_res_type;
  int32_t n_sterm_type;
  int32_t n_fterm_type;
  int32_t n_conn_type;
  int32_t n_ch_type;
  rt::Array1<rt::FixedText<16>, MAXRESTYPE> res_type;
  rt::Array1<rt::FixedText<8>, MAXRESTYPE> res_ltype;
  rt::Array1<rt::FixedText<8>, MAXRESTYPE> term_s_type;
  rt::Array1<rt::FixedText<8>, MAXRESTYPE> term_f_type;
  rt::Array1<rt::FixedText<8>, MAXCONNTYPE> conn_type;
  rt::Array1<rt::FixedText<8>, MAXCHTYPE> ch_type;
};
extern cif_types_t cif_types;

// Filled by foundation (the modification records); read through cif_vocab's look-ups.
// The known modification records.
struct com_mod_rec_t {
  int32_t n_mod_rec;
  rt::Array1<int32_t, MAXMODREC> mod_rec_irtype;   // residue-type code the record applies to
  rt::Array1<rt::FixedText<48>, MAXMODREC> mod_rec_detail;
  rt::Array1<rt::FixedText<3>, MAXMODREC> mod_rec_func;
  rt::Array1<rt::FixedText<8>, MAXMODREC> mod_rec_id;  // library modification name
};
extern com_mod_rec_t com_mod_rec;

// Writes cif_types, com_mod_rec.
void set_cif_types_();
// Each look-up sets the code to 1 and returns the first slot whose entry
// equals the name (blank-padded, case matters).
void set_iconn_(std::string_view name, int32_t& code);
// Matches the first entry that begins with the used part of the name.
void set_itype_(std::string_view name, int32_t& code);
void set_ltype_(std::string_view name, int32_t& code);
void set_ch_type_(std::string_view name, int32_t& code);
// Also fixes both terminus counts at 6 from its first call on.
// Writes cif_types (the terminus counts).
void set_term_s_type_(std::string_view name, int32_t& code);
void set_term_f_type_(std::string_view name, int32_t& code);
