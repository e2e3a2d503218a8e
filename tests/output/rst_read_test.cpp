// Restraint rows read from hand-written restraint files in the text form
// (beginning with "global_") and the unformatted form, and van der Waals
// rows.  Values: ideal peptide bond lengths and deviations from Engh and
// Huber (1991), N-CA 1.458(19) and CA-C 1.525(21) Angstrom; the carbon
// contact 3.40 Angstrom is twice the van der Waals radius of carbon, 1.70
// Angstrom (Bondi, 1964).
#include "output/rst_read.h"

#include <cstring>
#include <string>
#include <vector>

#include "output_fixture.h"

namespace {

// One unformatted restraint record with its length words.
std::string record(const char* name, int32_t num, const char* label, int32_t prd,
                   const int32_t ia[4], const float v[6]) {
  std::string body;
  auto text = [&](const char* t, std::size_t n) {
    std::string s(t);
    s.resize(n, ' ');
    body += s;
  };
  auto word = [&](const void* p) { body.append(static_cast<const char*>(p), 4); };
  text(name, 4);
  word(&num);
  text(label, 8);
  word(&prd);
  for (int k = 0; k < 4; ++k) word(&ia[k]);
  for (int k = 0; k < 6; ++k) word(&v[k]);
  const uint32_t n = static_cast<uint32_t>(body.size());
  std::string framed(reinterpret_cast<const char*>(&n), 4);
  return framed + body + std::string(reinterpret_cast<const char*>(&n), 4);
}

class RestraintRows : public outtest::Files {
 protected:
  void put(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ + name + ".rst", std::ios::binary) << bytes;
  }
  // Opens <dir>/<name>.rst; returns the status.
  int32_t open(const std::string& name) {
    rt::FixedText<256> path(dir_);
    int32_t ierr = 9;
    orrst_cif_(0, in_, path, dir_ + name, "rst", ierr);
    return ierr;
  }
  // Reads every row; each returned record as its name, number, source and
  // mode, text lines as "text:" and the line.
  std::vector<std::string> read_all(int32_t& ierr) {
    std::vector<std::string> rows;
    int32_t iend = -1;
    for (int guard = 0; guard < 100; ++guard) {
      int32_t mode = 9;
      rdrst_cif_(0, in_, mode, iend, ierr);
      if (ierr != 0 || iend != 0) break;
      if (mode == 1) rows.push_back("text:" + std::string(crdatm.cr_line.trimmed()));
      else
        rows.push_back(crdrst.rs_name.str() + " " + std::to_string(crdrst.rs_num) + " " +
                       crdrst.rs_source.str() + " " + crdrst.rs_source_id.str());
    }
    return rows;
  }
  int32_t in_ = 0;
};

constexpr const char* kTextFile =
    "global_\n"
    "# restraints of one residue\n"
    "loop_\n"
    "_restr.record\n_restr.number\n_restr.label\n_restr.period\n"
    "_restr.atom_id_1\n_restr.atom_id_2\n_restr.atom_id_3\n_restr.atom_id_4\n"
    "_restr.value\n_restr.dev\n_restr.val_obs\n_restr.dist\n_restr.dist_dev\n_restr.econst\n"
    "MONO 1 ALA 0 . . . . . . . . . .\n"
    "BOND 2 N-CA 2 1 2 . . 1.458 0.019 1.461 2.5 0.1 450.0\n"
    "BOND 3 CA-C 2 2 3 . . 1.525 0.021 1.530 . . .\n"
    "loop_\n"
    "_restr.record\n_restr.number\n_restr.atom_id_1\n"
    "ANGL 4 1\n";

}  // namespace

TEST_F(RestraintRows, TextFormWithTitleRecords) {
  put("text", kTextFile);
  ASSERT_EQ(open("text"), 0);
  EXPECT_EQ(crdinf.cr_form_rst, "F");
  int32_t ierr = 9;
  const std::vector<std::string> rows = read_all(ierr);
  EXPECT_EQ(ierr, 0);
  const std::vector<std::string> want = {"text:# restraints of one residue", "BOND 2 MONO ALA     ",
                                         "BOND 3 MONO ALA     ", "ANGL 4 MONO ALA     "};
  EXPECT_EQ(rows, want);
  // The last record names no period or values: they stay from the one before.
  EXPECT_EQ(crdrst.rs_prd, 2);
  EXPECT_FLOAT_EQ(crdrst.rs_vidl, 1.525f);
  EXPECT_EQ(crdrst.rs_ia1, 1);
  EXPECT_EQ(crdatm.cr_line.trimmed(),
            "ANGL      4 CA-C     2      1      3      0      0    1.525    0.021    1.530");
  EXPECT_FALSE(rt::unit_is_open(in_));
}

TEST_F(RestraintRows, DistanceItemsTakenByFullName) {
  put("text", kTextFile);
  ASSERT_EQ(open("text"), 0);
  int32_t iend = -1, mode = 0, ierr = 0;
  rdrst_cif_(0, in_, mode, iend, ierr);  // the comment line
  rdrst_cif_(0, in_, mode, iend, ierr);
  ASSERT_EQ(crdrst.rs_num, 2);
  EXPECT_FLOAT_EQ(crdrst.rs_sdi, 0.019f);   // "dev"
  EXPECT_FLOAT_EQ(crdrst.rs_vobs, 1.461f);  // "val_obs"
  EXPECT_FLOAT_EQ(crdrst.rs_dist, 2.5f);    // "dist"
  EXPECT_FLOAT_EQ(crdrst.rs_desd, 0.1f);    // "dist_dev", not "dist"
  EXPECT_FLOAT_EQ(crdrst.rs_cns, 450.0f);
}

TEST_F(RestraintRows, UnformattedForm) {
  const int32_t none[4] = {0, 0, 0, 0}, bond[4] = {1, 2, 0, 0};
  const float zero[6] = {0, 0, 0, 0, 0, 0}, vals[6] = {1.458f, 0.019f, 1.461f, 0, 0, 0};
  put("bin", record("LINK", 1, "TRANS", 0, none, zero) + record("BOND", 2, "N-CA", 0, bond, vals));
  ASSERT_EQ(open("bin"), 0);
  EXPECT_EQ(crdinf.cr_form_rst, "U");
  int32_t ierr = 9;
  const std::vector<std::string> rows = read_all(ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(rows, std::vector<std::string>{"BOND 2 LINK TRANS   "});
  EXPECT_EQ(crdrst.rs_ia2, 2);
  EXPECT_FLOAT_EQ(crdrst.rs_vidl, 1.458f);
  EXPECT_FALSE(rt::unit_is_open(in_));
}

TEST_F(RestraintRows, DamagedUnformattedFilesAreReadErrors) {
  const int32_t bond[4] = {1, 2, 0, 0};
  const float vals[6] = {1.458f, 0.019f, 1.461f, 0, 0, 0};
  const std::string good = record("BOND", 2, "N-CA", 0, bond, vals);
  uint32_t huge = 0x7ffffff0u;
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"length word beyond the file",
       std::string(reinterpret_cast<const char*>(&huge), 4) + "BOND"},
      {"record cut short", good.substr(0, good.size() - 10)},
      {"record shorter than its fields", std::string("\x08\0\0\0BOND\0\0\0\0\x08\0\0\0", 16)},
      {"a text file not opened by global_", "#\nloop_\n_restr.record\nBOND\n"},
  };
  for (const Case& c : cases) {
    put("bad", c.bytes);
    ASSERT_EQ(open("bad"), 0) << c.what;
    int32_t ierr = 0;
    std::vector<std::string> rows;
    const std::string out = captured([&] { rows = read_all(ierr); });
    EXPECT_EQ(ierr, 1) << c.what;
    EXPECT_TRUE(rows.empty()) << c.what;
    EXPECT_EQ(out, "  ERR: READ OF FILE /rst/\n") << c.what;
    EXPECT_FALSE(rt::unit_is_open(in_)) << c.what;
  }
}

TEST_F(RestraintRows, EmptyFileIsStatus100) {
  put("empty", "");
  EXPECT_EQ(open("empty"), 100);
}

TEST_F(RestraintRows, VanDerWaalsRows) {
  std::ofstream(dir_ + "c.vdw")
      << "global_\nloop_\n_restr.record\n_restr.number\n_restr.atom_id_1\n"
         "_restr.atom_id_2\n_restr.rad_min\n_restr.rad_obs\n_restr.econst\n"
         "_restr.type\n_restr.hflag\n_restr.symmetry\n"
         "VDW 1 12 40 3.40 3.62 1.0 N Y 1_555\n";
  rt::FixedText<256> path(dir_);
  int32_t in = 0, ierr = 9;
  orvdw_cif_(0, in, path, dir_ + "c", "vdw", ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(crdinf.crv_iun, in);
  int32_t iend = -1, mode = 9;
  const std::string out = captured([&] { rdvdw_cif_(0, in, mode, iend, ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(mode, 0);
  EXPECT_EQ(crdrsv.rsv_ia2, 40);
  EXPECT_FLOAT_EQ(crdrsv.rsv_ridl, 3.40f);
  EXPECT_EQ(crdrsv.rsv_hflag, "Y");
  const std::string echo = "VDW       1 1_555        12     40    3.400    3.620    1.000 N Y";
  EXPECT_EQ(crdatm.cr_line.trimmed(), echo);
  EXPECT_EQ(out, " " + echo + "\n");
  rdvdw_cif_(0, in, mode, iend, ierr);
  EXPECT_EQ(iend, 1);
}
