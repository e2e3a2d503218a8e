// Restraint records read back through the row reader of the output room,
// and the geometry of a work residue's atoms for checking them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "output/rst_read.h"
#include "residue_fixture.h"
#include "runtime/units.h"

namespace rtest {

struct Row {
  std::string kind, label, source;
  int num = 0;
  int32_t ia[4] = {0, 0, 0, 0};
  float vidl = 0, sd = 0, vobs = 0, dist = 0, desd = 0, econst = 0;
  int32_t period = 0;
};

// Restraints written to <dir>/<file>.rst in form 'F' (text) or 'C' (CIF).
inline void write_rst_to(const std::string& dir, const char* file, char form) {
  crdinf_t& c = crdinf;
  c.crro_path = dir + "/";
  c.crro_file = file;
  c.crro_ext = "rst";
  c.cr_form_rst = std::string(1, form);
}

// Every record of file <path>.rst.
inline std::vector<Row> read_rows(const std::string& path) {
  std::vector<Row> rows;
  rt::FixedText<256> none("");
  int32_t in = 0, ierr = 0;
  orrst_cif_(0, in, none, path, "rst", ierr);
  if (ierr == 100) {  // an empty file: no records
    rt::unit_close(in);
    return rows;
  }
  EXPECT_EQ(ierr, 0);
  int32_t iend = -1;
  for (int guard = 0; guard < 5000; ++guard) {
    int32_t mode = 0;
    rdrst_cif_(0, in, mode, iend, ierr);
    if (ierr != 0 || iend != 0) break;
    if (mode != 0) continue;
    crdrst_t& c = crdrst;
    Row row;
    row.kind = c.rs_name.trimmed();
    row.label = c.rs_label.trimmed();
    row.source = c.rs_source_id.trimmed();
    row.num = c.rs_num;
    const int32_t ia[4] = {c.rs_ia1, c.rs_ia2, c.rs_ia3, c.rs_ia4};
    for (int k = 0; k < 4; ++k) row.ia[k] = ia[k];
    row.vidl = c.rs_vidl;
    row.sd = c.rs_sdi;
    row.vobs = c.rs_vobs;
    row.dist = c.rs_dist;
    row.desd = c.rs_desd;
    row.econst = c.rs_cns;
    row.period = c.rs_prd;
    rows.push_back(row);
    // The text form leaves "." fields as they were: clear them.
    c.rs_ia3 = c.rs_ia4 = c.rs_prd = 0;
    c.rs_dist = c.rs_desd = 0;
  }
  return rows;
}

// Coordinates of the atom at tree place p of C1 (side 1) or C2 (side 2).
inline Vec place_xyz(int side, int32_t p) {
  const r_scratch_t& r = r_scratch;
  if (side == 1) {
    const int32_t a = r.s1_inew(p);
    return {r.c1_xyz(1, a), r.c1_xyz(2, a), r.c1_xyz(3, a)};
  }
  const int32_t a = r.s2_inew(p);
  return {r.c2_xyz(1, a), r.c2_xyz(2, a), r.c2_xyz(3, a)};
}

}  // namespace rtest
