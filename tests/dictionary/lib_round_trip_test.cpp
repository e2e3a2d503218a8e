// Round trips through the library files: the test library is loaded with
// every description, written as one library file and an energy library,
// and the written files are loaded again; the dictionary tables must come
// back item by item.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <filesystem>
#include <memory>
#include <type_traits>

#include "dictionary/ener_writer.h"
#include "dictionary/lib_writer.h"
#include "lib_write_fixture.h"
#include "monlib_fixture.h"
#include "support/temp_dir.h"

namespace {

using libwrite::file_lines;

// The dictionary as loaded, kept for the comparison.
std::unique_ptr<r_scratch_t> before;
std::unique_ptr<r_scratch_t> after;
std::vector<std::string> first_file, second_file;
std::string failure;

// Loads the library of dir with every description read.
bool load_all(const std::string& dir, char nodist) {
  std::string out;
  if (monlib::load(dir, out) != 0) {
    failure = "loading " + dir + ":\n" + out;
    return false;
  }
  for (int l = 1; l <= r_scratch.lml_nmon; ++l) r_scratch.lml_fuse(l) = "R";
  int32_t ierr = -1;
  out = captured([&] { read_lib_(0, "M", nodist, ' ', ierr); });
  if (ierr != 0) failure = "reading descriptions of " + dir + ":\n" + out;
  return ierr == 0;
}

// Writes the dictionary into dir as a single-file library (the list file)
// and an energy library, beside the index of the test library.
bool write_all(const std::string& dir) {
  std::filesystem::create_directories(dir + "list");
  for (const char* f : {"mon_lib_ind.cif", "mon_lib_ind2.cif"})
    std::filesystem::copy_file(monlib::test_library() + f, dir + f,
                               std::filesystem::copy_options::overwrite_existing);
  libcom_t& lc = libcom;
  lc.lmo_path = dir + "list/";
  lc.lmo_file = "mon_lib_list";
  lc.lmo_ext = "cif";
  lc.leo_path = dir;
  lc.leo_file = "ener_lib";
  lc.leo_ext = "cif";
  int32_t ierr = 0, status = 0;
  const std::string out = captured([&] {
    for (const char* m : {"TITA", "MONA", "LINA", "MODA", "STOP"}) {
      wrt_lib_(0, m, 0, ierr);
      status |= ierr;
    }
    for (const char* m : {"TITL", "WRIT", "STOP"}) {
      wrt_elib_(m, 0, ierr);
      status |= ierr;
    }
  });
  if (status != 0) failure = "writing " + dir + ":\n" + out;
  return status == 0;
}

class LibRoundTrip : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A directory of its own, so that test programs running side by side
    // never write into each other's library.
    TempDir scratch;
    const std::string one = scratch.file("round_1") + "/";
    const std::string two = scratch.file("round_2") + "/";
    if (!load_all(monlib::test_library(), 'N')) return;
    before = std::make_unique<r_scratch_t>(r_scratch);
    if (!write_all(one)) return;
    first_file = file_lines(one + "list/mon_lib_list.cif");
    if (!load_all(one, 'Y')) return;
    after = std::make_unique<r_scratch_t>(r_scratch);
    if (!write_all(two)) return;
    second_file = file_lines(two + "list/mon_lib_list.cif");
  }
  static void TearDownTestSuite() {
    before.reset();
    after.reset();
    rt::close_all_units();
  }
  void SetUp() override { ASSERT_TRUE(before && after) << failure; }

  const r_scratch_t& a() const { return *before; }
  const r_scratch_t& b() const { return *after; }
};

// Rows 1..n of one member in both dictionaries; reals to the decimals the
// writer gives them.
template <typename T, int N>
void same_rows(const std::string& what, int32_t n, const rt::Array1<T, N>& x,
               const rt::Array1<T, N>& y, float tol = 5e-4f) {
  for (int32_t i = 1; i <= n; ++i) {
    if constexpr (std::is_same_v<T, float>)
      EXPECT_NEAR(x(i), y(i), tol) << what << " row " << i;
    else if constexpr (std::is_same_v<T, int32_t>)
      EXPECT_EQ(x(i), y(i)) << what << " row " << i;
    else
      EXPECT_EQ(x(i).str(), y(i).str()) << what << " row " << i;
  }
}

// Items k = 1..counts(j) of rows j = 1..n of a member of planes.
template <typename T, int N1, int N2, int N3>
void same_items(const std::string& what, int32_t n, const rt::Array1<int32_t, N3>& counts,
                const rt::Array2<T, N1, N2>& x, const rt::Array2<T, N1, N2>& y) {
  for (int32_t j = 1; j <= n; ++j)
    for (int32_t k = 1; k <= counts(j); ++k) {
      if constexpr (std::is_same_v<T, float>)
        EXPECT_NEAR(x(k, j), y(k, j), 5e-4f) << what << " row " << j << " item " << k;
      else
        EXPECT_EQ(x(k, j), y(k, j)) << what << " row " << j << " item " << k;
    }
}

// The count of a table and the listed members of its rows, item by item;
// a failure names the table by its count and the member by its place.
template <typename... M>
void same_table(const char* count, int32_t r_scratch_t::*n, M... members) {
  ASSERT_EQ((*before).*n, (*after).*n) << count;
  int k = 0;
  (same_rows(std::string(count) + " member " + std::to_string(++k), (*before).*n,
             (*before).*members, (*after).*members),
   ...);
}

#define TABLE(count, ...) same_table(#count, &r_scratch_t::count, __VA_ARGS__)
#define M(member) &r_scratch_t::member

}  // namespace

TEST_F(LibRoundTrip, MonomerListReadsBack) {
  TABLE(lml_nmon, M(lml_mname), M(lml_mname2), M(lml_name), M(lml_type), M(lml_prsnt),
        M(lml_natm), M(lml_nhatm), M(lml_code1), M(lml_iatom), M(lml_iconn), M(lml_ibond),
        M(lml_ithet), M(lml_itors), M(lml_ichir), M(lml_iplan));
}

TEST_F(LibRoundTrip, SynonymsReadBack) {
  TABLE(lms_nsyn, M(lms_mname), M(lms_amname), M(lms_mod), M(lms_atom), M(lms_aatom));
}

TEST_F(LibRoundTrip, MonomerAtomsAndTreesReadBack) {
  TABLE(lma_natom, M(lma_mname), M(lma_aname), M(lma_symb), M(lma_chem), M(lma_charg), M(lma_x),
        M(lma_y), M(lma_z), M(lma_coor_flag), M(lma_back), M(lma_forw), M(lma_type));
  TABLE(lmn_nconn, M(lmn_mname), M(lmn_1atm), M(lmn_2atm));
}

TEST_F(LibRoundTrip, MonomerRestraintRowsReadBack) {
  TABLE(lmb_nbond, M(lmb_mname), M(lmb_1atm), M(lmb_2atm), M(lmb_type), M(lmb_val), M(lmb_dev));
  TABLE(lmg_nangl, M(lmg_mname), M(lmg_1atm), M(lmg_2atm), M(lmg_3atm), M(lmg_val), M(lmg_dev));
  TABLE(lmt_ntors, M(lmt_mname), M(lmt_label), M(lmt_1atm), M(lmt_2atm), M(lmt_3atm),
        M(lmt_4atm), M(lmt_dev), M(lmt_prd));
  // Angles are written folded into (-180, 180]: -180 comes back as 180.
  for (int32_t i = 1; i <= a().lmt_ntors; ++i) {
    const float d = std::fmod(a().lmt_val(i) - b().lmt_val(i) + 720.0f, 360.0f);
    EXPECT_NEAR(std::min(d, 360.0f - d), 0.0f, 5e-4f) << "lmt_val row " << i;
  }
  TABLE(lmc_nchir, M(lmc_mname), M(lmc_1atm), M(lmc_2atm), M(lmc_3atm), M(lmc_4atm), M(lmc_5atm),
        M(lmc_sign));
  TABLE(lmp_nplan, M(lmp_mname), M(lmp_label), M(lmp_natom));
  same_items("lmp_atom", a().lmp_nplan, a().lmp_natom, a().lmp_atom, b().lmp_atom);
  same_items("lmp_dev", a().lmp_nplan, a().lmp_natom, a().lmp_dev, b().lmp_dev);
}

TEST_F(LibRoundTrip, LinksReadBack) {
  TABLE(lll_nlink, M(lll_lname), M(lll_detail), M(lll_mon1), M(lll_mon2), M(lll_mod1),
        M(lll_mod2), M(lll_type1), M(lll_type2), M(lll_ibond), M(lll_ithet), M(lll_itors),
        M(lll_ichir), M(lll_iplan));
  TABLE(llb_nbond, M(llb_lname), M(llb_f1atm), M(llb_1atm), M(llb_f2atm), M(llb_2atm),
        M(llb_type), M(llb_val), M(llb_dev));
  TABLE(llg_nangl, M(llg_lname), M(llg_f1atm), M(llg_1atm), M(llg_f2atm), M(llg_2atm),
        M(llg_f3atm), M(llg_3atm), M(llg_val), M(llg_dev));
  TABLE(llt_ntors, M(llt_lname), M(llt_f1atm), M(llt_1atm), M(llt_f2atm), M(llt_2atm),
        M(llt_f3atm), M(llt_3atm), M(llt_f4atm), M(llt_4atm), M(llt_prd));
  same_rows("llt_val", a().llt_ntors, a().llt_val, b().llt_val, 5e-3f);
  same_rows("llt_dev", a().llt_ntors, a().llt_dev, b().llt_dev, 5e-2f);
  TABLE(llc_nchir, M(llc_lname), M(llc_f1atm), M(llc_1atm), M(llc_f2atm), M(llc_2atm),
        M(llc_f3atm), M(llc_3atm), M(llc_f4atm), M(llc_4atm), M(llc_sign));
  TABLE(llp_nplan, M(llp_lname), M(llp_label), M(llp_natom));
  same_items("llp_atom", a().llp_nplan, a().llp_natom, a().llp_atom, b().llp_atom);
  same_items("llp_fatom", a().llp_nplan, a().llp_natom, a().llp_fatom, b().llp_fatom);
  same_items("llp_dev", a().llp_nplan, a().llp_natom, a().llp_dev, b().llp_dev);
}

TEST_F(LibRoundTrip, ModificationsReadBack) {
  TABLE(ldl_nmod, M(ldl_mname), M(ldl_detail), M(ldl_comp), M(ldl_type), M(ldl_iatom),
        M(ldl_iconn), M(ldl_ibond), M(ldl_ithet), M(ldl_itors), M(ldl_ichir), M(ldl_iplan));
  TABLE(lda_natom, M(lda_mname), M(lda_funct), M(lda_aname), M(lda_anew), M(lda_symb),
        M(lda_chem), M(lda_charg));
  TABLE(ldn_nconn, M(ldn_mname), M(ldn_funct), M(ldn_atom), M(ldn_back), M(ldn_btype),
        M(ldn_forw), M(ldn_type));
  TABLE(ldb_nbond, M(ldb_mname), M(ldb_funct), M(ldb_1atm), M(ldb_2atm), M(ldb_type), M(ldb_val),
        M(ldb_dev));
  TABLE(ldg_nangl, M(ldg_mname), M(ldg_funct), M(ldg_1atm), M(ldg_2atm), M(ldg_3atm), M(ldg_val),
        M(ldg_dev));
  TABLE(ldt_ntors, M(ldt_mname), M(ldt_funct), M(ldt_1atm), M(ldt_2atm), M(ldt_3atm),
        M(ldt_4atm), M(ldt_prd));
  same_rows("ldt_val", a().ldt_ntors, a().ldt_val, b().ldt_val, 5e-3f);
  TABLE(ldc_nchir, M(ldc_mname), M(ldc_funct), M(ldc_1atm), M(ldc_2atm), M(ldc_3atm),
        M(ldc_4atm), M(ldc_sign));
  TABLE(ldp_nplan, M(ldp_mname), M(ldp_label), M(ldp_funct), M(ldp_natom));
  same_items("ldp_atom", a().ldp_nplan, a().ldp_natom, a().ldp_atom, b().ldp_atom);
  same_items("ldp_dev", a().ldp_nplan, a().ldp_natom, a().ldp_dev, b().ldp_dev);
}

TEST_F(LibRoundTrip, EnergyTypesReadBack) {
  TABLE(lea_natom, M(lea_aname), M(lea_ename), M(lea_htype), M(lea_type), M(lea_radius),
        M(lea_hradius), M(lea_iradius), M(lea_polar), M(lea_hpolar), M(lea_valency), M(lea_sp));
  same_rows("lea_weight", a().lea_natom, a().lea_weight, b().lea_weight, 5e-6f);
  TABLE(let_ntors, M(let_1atm), M(let_2atm), M(let_3atm), M(let_4atm), M(let_label),
        M(let_const), M(let_angle), M(let_prd));
  TABLE(les_nsyn, M(les_atyp), M(les_styp));
}

// The pair terms come back in the writer's order, with the later type of the
// type table first: compared as sorted rows with their end types in a fixed
// order.
std::vector<std::string> pair_rows(const r_scratch_t& r) {
  std::vector<std::string> rows;
  auto add = [&](std::string kind, std::string t1, std::string mid, std::string t2, float v1,
                 float v2) {
    if (t2 < t1) std::swap(t1, t2);
    char v[64];
    std::snprintf(v, sizeof v, " %.5f %.5f", v1, v2);
    rows.push_back(kind + t1 + mid + t2 + v);
  };
  for (int j = 1; j <= r.leb_nbond; ++j)
    add('b' + r.leb_type(j).str(), r.leb_1atm(j).str(), "", r.leb_2atm(j).str(), r.leb_const(j),
        r.leb_length(j));
  for (int j = 1; j <= r.leg_nangl; ++j)
    add("g", r.leg_1atm(j).str(), r.leg_2atm(j).str(), r.leg_3atm(j).str(), r.leg_const(j),
        r.leg_angle(j));
  for (int j = 1; j <= r.lew_ncont; ++j)
    add('w' + r.lew_hflag(j).str(), r.lew_1atm(j).str(), "", r.lew_2atm(j).str(), r.lew_emin(j),
        r.lew_rmin(j));
  for (int j = 1; j <= r.leh_nhbond; ++j)
    add("h", r.leh_1atm(j).str(), "", r.leh_2atm(j).str(), r.leh_emin(j), r.leh_dist(j));
  std::sort(rows.begin(), rows.end());
  return rows;
}

TEST_F(LibRoundTrip, EnergyPairTermsReadBack) {
  ASSERT_GT(a().leb_nbond, 0);
  ASSERT_GT(a().lew_ncont, 0);
  EXPECT_EQ(pair_rows(a()), pair_rows(b()));
}

TEST_F(LibRoundTrip, WrittenLibraryWritesTheSameFile) {
  ASSERT_GT(first_file.size(), 100u);
  EXPECT_EQ(first_file, second_file);
}
