// The restraint file in its two forms: the text header and block comments
// column by column, every record kind read back by the row reader of the
// output room, record numbering, and the calls made without a file.
// Values are the test library's: peptide N-CA 1.458(19), CA-C 1.525(21)
// Angstrom and N-CA-C 111.2(2.8) degrees (Engh and Huber, 1991).
#include "restraints/rst_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "dictionary/lib_com.h"
#include "dictionary/libcom.h"
#include "foundation/atom_com.h"
#include "output/rst_read.h"
#include "residue_fixture.h"
#include "restraints/rst_records.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace {

class RestraintFile : public testing::TestWithParam<char> {
 protected:
  void SetUp() override {
    crdinf_t& c = crdinf;
    c.crro_path = dir.path() + "/";
    c.crro_file = "model";
    c.crro_ext = "rst";
    c.crro_iun = 0;
    c.cr_form_rst = std::string(1, GetParam());
    c.cr_cd_pdb = "1ABC";
    c.cr_name_pdb = "HYDROLASE";
    c.cr_date_pdb = "07-DEC-26";
    c.cr_title = "";
    libcom.lb_name = "test-lib";
    libcom.lb_vers = "5.0";
    libcom.lb_date = "2026-12-01";
    crdrst_t& r = crdrst;
    r.rs_nbond = r.rs_nangl = r.rs_ntors = r.rs_nchir = r.rs_nplan = r.rs_nbnds = 0;
    rtest::clear_c1();
    r_scratch_t& s = r_scratch;
    s.c1_rname = "ALA";
    s.c1_pnum = "    12 A   ";
    s.c1_rtype = "L-peptide linking";
    s.c1_iglobal = 100;
  }
  bool text_form() const { return GetParam() != 'U'; }
  std::string file() const { return dir.path() + "/model.rst"; }
  void open() {
    int32_t ierr = -1;
    wrt_rst_("TITL", 0, ierr);
    ASSERT_EQ(ierr, 0);
  }
  void close() {
    int32_t ierr = -1;
    wrt_rst_("STOP", 0, ierr);
    ASSERT_EQ(ierr, 0);
  }
  // Every record read back as "kind number label period a1 a2 a3 a4 | values | source".
  std::vector<std::string> read_back() {
    std::vector<std::string> rows;
    rt::FixedText<256> path("");
    int32_t in = 0, ierr = -1;
    orrst_cif_(0, in, path, dir.path() + "/model", "rst", ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(crdinf.cr_form_rst(1), text_form() ? 'F' : 'U');
    int32_t iend = -1;
    for (int guard = 0; guard < 100; ++guard) {
      int32_t mode = 0;
      rdrst_cif_(0, in, mode, iend, ierr);
      if (ierr != 0 || iend != 0) break;
      if (mode != 0) continue;  // a comment or header line
      const crdrst_t& r = crdrst;
      char buf[256];
      std::snprintf(buf, sizeof buf,
                    "%s %d %s %d %d %d %d %d | %.3f %.3f %.3f %.3f %.3f %.3f | %s %s",
                    std::string(r.rs_name.trimmed()).c_str(), r.rs_num,
                    std::string(r.rs_label.trimmed()).c_str(), r.rs_prd, r.rs_ia1, r.rs_ia2,
                    r.rs_ia3, r.rs_ia4, r.rs_vidl, r.rs_sdi, r.rs_vobs, r.rs_dist, r.rs_desd,
                    r.rs_cns, std::string(r.rs_source.trimmed()).c_str(),
                    std::string(r.rs_source_id.trimmed()).c_str());
      rows.push_back(buf);
      // Fields the text form leaves "." keep the previous record's values.
      crdrst.rs_label = "";
      crdrst.rs_prd = crdrst.rs_ia1 = crdrst.rs_ia2 = crdrst.rs_ia3 = crdrst.rs_ia4 = 0;
      crdrst.rs_vidl = crdrst.rs_sdi = crdrst.rs_vobs = crdrst.rs_dist = crdrst.rs_desd =
          crdrst.rs_cns = 0;
    }
    EXPECT_EQ(ierr, 0);
    return rows;
  }
  void put(const char* name, const char* label, int a1, int a2, int a3, int a4, float v, float sd,
           float obs, int prd, float dist, float desd, float econst) {
    rt::FixedText<8> lab(label);
    rt::FixedText<1> x1("."), x2("A"), x3(" "), x4(" ");
    int32_t ierr = 0;
    wrestr_(0, name, lab, a1, a2, a3, a4, v, sd, obs, prd, dist, desd, econst, "N", "CA", "C", "",
            x1, x2, x3, x4, ierr);
    EXPECT_EQ(ierr, 0) << name;
  }
  TempDir dir;
};

}  // namespace

TEST_P(RestraintFile, EveryKindReadsBackWithItsBlock) {
  open();
  int32_t ierr = 0;
  wrt_rst_("WRIT", 0, ierr);
  put("BOND", "single", 101, 102, 0, 0, 1.458f, 0.019f, 1.47f, 0, 0, 0, 450);
  put("ANGL", "", 101, 102, 103, 0, 111.2f, 2.8f, 109.9f, 0, 2.46f, 0.04f, 80);
  put("TORS", "psi", 101, 102, 103, 104, 180, 15, -175.5f, 3, 3.6f, 0.1f, 2);
  put("CHIR", "positiv", 102, 101, 103, 105, 2.5f, 0.02f, 2.49f, 0, 0, 0, 33.3f);
  r_scratch_t& s = r_scratch;
  for (const char* n : {"CB", "CA", "C", "O"}) rtest::add({n, {0, 0, 0}});
  const float dev[4] = {0.02f, 0.02f, 0.02f, 0.02f}, dobs[4] = {0.01f, -0.01f, 0.005f, 0};
  const int32_t iatm[4] = {1, 2, 3, 4};
  wprstr_(0, "plan-1", 4, dev, dobs, iatm, ierr);
  s.c2_iglobal = 200;
  const int32_t iglb[4] = {200, 100, 100, 200}, iatm_a[4] = {0, 0, 0, 0};
  for (int k = 1; k <= 4; ++k) s.s2_inew(k) = k, s.c2_aname(k) = "X", s.c2_alt(k) = ".";
  wprstr_ln_(0, "plan-2", 4, dev, dobs, iatm, iatm_a, iglb, 100, 200, 0, ierr);
  link_inf.ln_n = 1;
  link_inf.ln_id(1) = "SS";
  link_inf.ln_1ires(1) = 1;
  link_inf.ln_2ires(1) = 2;
  resid_inf.res_name(1) = "CYS";
  resid_inf.res_name(2) = "CYS";
  resid_inf.res_num_pdb(1) = "    22 A   ";
  resid_inf.res_num_pdb(2) = "    96 B   ";
  atom_inf.atm_name(7) = "SG";
  atom_inf.atm_name(9) = "SG";
  atom_inf.id_alt(7) = atom_inf.id_alt(9) = ".";
  rt::FixedText<8> type("single");
  wrestr_symm_(0, "BNDS", 1, 7, 9, 2.03f, 0.02f, 2.05f, type, 0, "2_565", ".", ierr);
  EXPECT_EQ(type, "2_565");
  EXPECT_EQ(ierr, 0);
  close();
  const std::vector<std::string> expect = {
      "BOND 1 single 0 101 102 0 0 | 1.458 0.019 1.470 0.000 0.000 450.000 | MONO L-peptid",
      "ANGL 1 . 0 101 102 103 0 | 111.200 2.800 109.900 2.460 0.040 80.000 | MONO L-peptid",
      "TORS 1 psi 3 101 102 103 104 | 180.000 15.000 -175.500 3.600 0.100 2.000 | MONO L-peptid",
      "CHIR 1 positiv 0 102 101 103 105 | 2.500 0.020 2.490 0.000 0.000 33.300 | MONO L-peptid",
      "PLAN 1 plan-1 0 101 0 0 0 | 0.020 0.000 0.010 0.000 0.000 0.000 | MONO L-peptid",
      "PLAN 1 plan-1 0 102 0 0 0 | 0.020 0.000 -0.010 0.000 0.000 0.000 | MONO L-peptid",
      "PLAN 1 plan-1 0 103 0 0 0 | 0.020 0.000 0.005 0.000 0.000 0.000 | MONO L-peptid",
      "PLAN 1 plan-1 0 104 0 0 0 | 0.020 0.000 0.000 0.000 0.000 0.000 | MONO L-peptid",
      "PLAN 2 plan-2 0 201 0 0 0 | 0.020 0.000 0.010 0.000 0.000 0.000 | MONO L-peptid",
      "PLAN 2 plan-2 0 102 0 0 0 | 0.020 0.000 -0.010 0.000 0.000 0.000 | MONO L-peptid",
      "PLAN 2 plan-2 0 103 0 0 0 | 0.020 0.000 0.005 0.000 0.000 0.000 | MONO L-peptid",
      "PLAN 2 plan-2 0 204 0 0 0 | 0.020 0.000 0.000 0.000 0.000 0.000 | MONO L-peptid",
      "BNDS 1 2_565 0 7 9 0 0 | 2.030 0.020 2.050 0.000 0.000 0.000 | LINK SS",
  };
  EXPECT_EQ(read_back(), expect);
}

TEST_P(RestraintFile, NumbersRunPerKindOverTheFileAndAPlaneTakesOne) {
  open();
  int32_t ierr = 0;
  wrt_rst_("WRIT", 0, ierr);
  put("BOND", "single", 1, 2, 0, 0, 1.5f, 0.02f, 1.5f, 0, 0, 0, 0);
  put("ANGL", "", 1, 2, 3, 0, 110, 3, 110, 0, 0, 0, 0);
  wrt_rst_("WRIT", 0, ierr);
  put("BOND", "single", 2, 3, 0, 0, 1.5f, 0.02f, 1.5f, 0, 0, 0, 0);
  wprstr_(0, "empty", 0, nullptr, nullptr, nullptr, ierr);
  EXPECT_EQ(crdrst.rs_nbond, 2);
  EXPECT_EQ(crdrst.rs_nangl, 1);
  EXPECT_EQ(crdrst.rs_nplan, 1);
  close();
  const auto rows = read_back();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].substr(0, 7), "BOND 2 ");
}

TEST_P(RestraintFile, ValuesThatAreNotNumbersAreWrittenAsZero) {
  open();
  int32_t ierr = 0;
  wrt_rst_("WRIT", 0, ierr);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  put("BOND", "single", 1, 2, 0, 0, 1.5f, 0.02f, nan, 0, 0, 0, nan);
  close();
  EXPECT_EQ(file_text(file()).find("NaN"), std::string::npos);
  const auto rows = read_back();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0],
            "BOND 1 single 0 1 2 0 0 | 1.500 0.020 0.000 0.000 0.000 0.000 | MONO L-peptid");
}

TEST_P(RestraintFile, NamesWithBlanksReadBackWhole) {
  // A group that its eight columns cut to "DNA link", a torsion and a plane
  // of a user's library named with a blank, and a link named so by its
  // connection row: each comes back as one value, and every number after it
  // in its own field.
  r_scratch.c1_rtype = "DNA linking";
  open();
  int32_t ierr = 0;
  wrt_rst_("WRIT", 0, ierr);
  put("TORS", "var 1", 11, 12, 13, 14, 60, 15, 58, 3, 0, 0, 2);
  for (const char* n : {"P", "OP1"}) rtest::add({n, {0, 0, 0}});
  const float dev[2] = {0.02f, 0.02f}, dobs[2] = {0.01f, 0};
  const int32_t iatm[2] = {1, 2};
  wprstr_(0, "base pl", 2, dev, dobs, iatm, ierr);
  wrt_t_l_(0, "MY LINK", ierr);
  put("BOND", "", 21, 22, 0, 0, 2.03f, 0.02f, 2.04f, 0, 0, 0, 0);
  EXPECT_EQ(ierr, 0);
  close();
  if (text_form()) {
    const std::string text = file_text(file());
    EXPECT_NE(text.find("\nMONO . 'DNA link' . . "), std::string::npos) << text;
    EXPECT_NE(text.find("\nLINK . 'MY LINK' . . "), std::string::npos) << text;
  }
  const std::vector<std::string> expect = {
      "TORS 1 var 1 3 11 12 13 14 | 60.000 15.000 58.000 0.000 0.000 2.000 | MONO DNA link",
      "PLAN 1 base pl 0 101 0 0 0 | 0.020 0.000 0.010 0.000 0.000 0.000 | MONO DNA link",
      "PLAN 1 base pl 0 102 0 0 0 | 0.020 0.000 0.000 0.000 0.000 0.000 | MONO DNA link",
      // A blank label is written "." in the text form, as its own value.
      std::string("BOND 1 ") + (text_form() ? "." : "") +
          " 0 21 22 0 0 | 2.030 0.020 2.040 0.000 0.000 0.000 | LINK MY LINK",
  };
  EXPECT_EQ(read_back(), expect);
}

TEST_P(RestraintFile, BlankNameWritesNothingAndSaysNothing) {
  crdinf.crro_file = "";
  int32_t ierr = 7;
  const std::string out = captured([&] {
    wrt_rst_("TITL", 0, ierr);
    wrt_rst_("WRIT", 0, ierr);
    wrt_rst_("STOP", 0, ierr);
  });
  EXPECT_EQ(out, "");
  EXPECT_EQ(ierr, 7);
  EXPECT_EQ(crdinf.crro_iun, 0);
  rt::FixedText<8> type("x");
  wrestr_symm_(0, "BNDS", 1, 1, 2, 0, 0, 0, type, 0, "2_555", ".", ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_FALSE(rt::file_exists(file()));
}

TEST_P(RestraintFile, BlockOrCloseWithoutAnOpenFileIsAnError) {
  int32_t ierr = 0;
  std::string out = captured([&] { wrt_rst_("WRIT", 0, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERR: don't open RST_file\n");
  ierr = 0;
  out = captured([&] { wrt_rst_("STOP", 0, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERR: don't open RST_file / for close/\n");
}

INSTANTIATE_TEST_SUITE_P(Forms, RestraintFile, testing::Values('F', 'U'),
                         [](const auto& p) { return p.param == 'U' ? "Unformatted" : "Text"; });

TEST(RestraintText, HeaderCommentsAndFixedColumns) {
  TempDir dir;
  crdinf_t& c = crdinf;
  c.crro_path = dir.path() + "/";
  c.crro_file = "t";
  c.crro_ext = "rst";
  c.cr_form_rst = "F";
  c.cr_cd_pdb = "1ABC";
  c.cr_name_pdb = "";
  c.cr_date_pdb = "07-DEC-26";
  c.cr_title = std::string(70, 'T');
  libcom.lb_name = "test-lib";
  libcom.lb_vers = "5.0";
  libcom.lb_date = "2026-12-01";
  crdrst.rs_nbond = crdrst.rs_ntors = 0;
  rtest::clear_c1();
  r_scratch_t& s = r_scratch;
  s.c1_rname = "ALA";
  s.c1_pnum = "    12 A   ";
  s.c1_rtype = "";
  s.c2_rname = "GLY";
  s.c2_pnum = "    11 A   ";
  int32_t ierr = 0;
  wrt_rst_("TITL", 0, ierr);
  wrt_rst_("WRIT", 0, ierr);
  rt::FixedText<8> label("psi");
  rt::FixedText<1> a1("."), a2("A"), a3(" "), a4(".");
  wrestr_(0, "TORS", label, 1, 2, 3, 4, 12345.678f, 15, -60, 12, 3.2f, 0.1f, 2, "N", "CA", "C", "O",
          a1, a2, a3, a4, ierr);
  EXPECT_EQ(a1, " ");  // the caller's "." codes come back blank
  EXPECT_EQ(a4, " ");
  wrt_t_l_(0, "TRANS", ierr);
  wrt_rst_("STOP", 0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(c.cr_title, std::string(70, 'T'));
  const std::string expect =
      "global_\n"
      "_entry.id   1ABC\n"
      "_struct.keywords   ' '\n"
      "_autid.creation_date   07-DEC-26\n"
      "_struct.title     '" +
      std::string(60, 'T') +
      "'\n"
      "_lib.name     test-lib\n"
      "_lib.version  5.0\n"
      "_lib.update   2026-12-01\n"
      "# ------------------------------------------------\n"
      "data_restraints\n#\nloop_\n#\n"
      "_restr.record\n_restr.number\n_restr.label\n_restr.period\n"
      "_restr.atom_id_1\n_restr.atom_id_2\n_restr.atom_id_3\n_restr.atom_id_4\n"
      "_restr.value\n_restr.dev\n_restr.val_obs\n_restr.dist\n_restr.dist_dev\n_restr.econst\n"
      "# data_restr_ALA______0012-_A   _\n"
      "MONO . ?        . . . . . . . . . . .\n"
      "TORS      1 psi      *         1      2      3      4 ******** "
      "  15.000  -60.000\n"
      "   3.200    0.100    2.000 # N     CA  A C     O\n"
      "# link_'TRANS   '_GLY______0011-_A   -ALA______0012-_A\n"
      "LINK . TRANS    . . . . . . . . . . .\n";
  EXPECT_EQ(file_text(dir.path() + "/t.rst"), expect);
}
