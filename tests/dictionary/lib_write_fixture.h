// Helpers of the library-writer tests: a scratch directory for the written
// files, the output file set reset, and the lines of a written file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dict_builder.h"
#include "dictionary/libcom.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace libwrite {

inline std::vector<std::string> file_lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> out;
  std::string l;
  while (std::getline(in, l)) out.push_back(l);
  return out;
}

// The dictionary emptied, links and synonyms included.
inline void clear_all() {
  descr::clear_dictionary();
  r_scratch.lll_nlink = 0;
  r_scratch.lms_new = 0;
  r_scratch.l1l_type = ".";  // entries take their group from L1
  r_scratch.l1l_mname2 = ".";
  for (int i = 1; i <= MAX1ATM; ++i) r_scratch.l1a_charg(i) = 0.0f;
  r_scratch.lea_natom = r_scratch.leb_nbond = r_scratch.leg_nangl = r_scratch.let_ntors = 0;
  r_scratch.lew_ncont = r_scratch.leh_nhbond = r_scratch.les_nsyn = 0;
}

// The output library and energy library named in the scratch directory,
// neither open.
inline void name_outputs(const TempDir& d) {
  libcom_t& lc = libcom;
  lc.lmo_iun = lc.leo_iun = 0;
  lc.lmo_path = d.path() + "/";
  lc.lmo_file = "new.lib";
  lc.lmo_ext = "";
  lc.leo_path = d.path() + "/";
  lc.leo_file = "new_ener_lib";
  lc.leo_ext = "cif";
  lc.lb_name = "mon_test";
  lc.lb_vers = "1.0";
  lc.lb_date = "2026-12-07";
}

}  // namespace libwrite
