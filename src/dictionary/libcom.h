// The library file set and its reading state: filled by the library loading
// (dictionary room), read by the dictionary copies and the library writers.
#pragma once

#include <cstdint>

#include "dictionary/lib_com.h"
#include "runtime/array.h"
#include "runtime/fixed_text.h"

// Filled and read by the dictionary room (library files, versions and flags).
struct libcom_t {
  int32_t lmi_iun;      // main library file being read; 0 when none is open
  int32_t lmi2_iun;     // second (user) library
  int32_t lmo_iun;      // output library
  int32_t lei_iun;      // energy library
  int32_t leo_iun;      // output energy library
  int32_t lsi_iun;      // synonym library
  int32_t lb_pass;      // reading pass: 1..lb_numb_lib main, lb_numb_lib + 1 second, 0 between
  int32_t lb_numb_lib;  // main libraries named (0 to MAXLIB)
  rt::FixedText<16> lb_name, lb_vers, lb_date;     // of the library list; "?" until read
  rt::FixedText<16> lb2_name, lb2_vers, lb2_date;  // of the second library
  rt::FixedText<1> lb_hflag;                       // hydrogen flag; 'N' after initialisation
  rt::FixedText<1> lb_tflag;
  rt::Array1<rt::FixedText<256>, MAXLIB> lmi_file;  // main library files, in pass order
  rt::FixedText<256> lmi_path, lmi_ext;
  rt::FixedText<256> lmi2_file, lmi2_path, lmi2_ext;
  rt::FixedText<256> lmo_file, lmo_path, lmo_ext;
  rt::FixedText<256> lei_file, lei_path, lei_ext;
  rt::FixedText<256> leo_file, leo_path, leo_ext;
  rt::FixedText<256> lsi_file, lsi_path, lsi_ext;
  rt::FixedText<256> lin_file, lin_path, lin_ext;  // library index
};
extern libcom_t libcom;
