// Residue restraints of residues of a real entry (1A8O) with the test
// library, written in both forms and read back: every kind present, the
// observed values against the geometry of the model computed here, the
// conformers of an atom restrained apart, missing atoms and low occupancy.
#include "restraints/res_restraints.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "dictionary/libcom.h"
#include "dictionary/link_lookup.h"
#include "model_fixture.h"
#include "residue_fixture.h"
#include "restraints/rst_file.h"
#include "rst_reader.h"
#include "support/temp_dir.h"

namespace {

using rtest::Row;
using rtest::Vec;

class ResidueRestraints : public rtest::EntryTest<testing::TestWithParam<char>> {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    crdinf.cr_hflag = "N";
    rtest::write_rst_to(dir.path(), "res", GetParam());
    crdrst_t& r = crdrst;
    r.rs_nbond = r.rs_nangl = r.rs_ntors = r.rs_nchir = r.rs_nplan = r.rs_nbnds = 0;
    link_inf.ln_n = 0;
  }
  // Restraints of residue ir (prepared before) into a fresh file, read back.
  std::vector<Row> restrain(int32_t base = 1000) {
    r_scratch.c1_iglobal = base;
    int32_t ierr = 0;
    wrt_rst_("TITL", 99, ierr);
    wrt_rst_("WRIT", 99, ierr);
    make_rest_(0, 1, ir, ierr);
    wrt_rst_("STOP", 99, ierr);
    return rtest::read_rows(dir.path() + "/res");
  }
  // Position and name of the atom of a serial written with offset base.
  Vec pos(int32_t serial, int32_t base = 1000) const {
    const r_scratch_t& r = r_scratch;
    const int32_t a = r.s1_inew(serial - base);
    return {r.c1_xyz(1, a), r.c1_xyz(2, a), r.c1_xyz(3, a)};
  }
  std::string name(int32_t serial, int32_t base = 1000) const {
    return std::string(r_scratch.c1_aname(r_scratch.s1_inew(serial - base)).trimmed());
  }
  std::map<std::string, int> kinds(const std::vector<Row>& rows) const {
    std::map<std::string, int> n;
    for (const Row& row : rows) ++n[row.kind];
    return n;
  }
  // SER 178 with OG in two conformers, A as read and B moved by 0.5 A,
  // gathered and checked.
  void split_og() { split("SER", " 178 ", "OG"); }
  void split(const char* res, const char* num, const char* atom) {
    gather(res, num);
    add_copy(atom, "A", 0.5f);
    check_list(res);
  }
  void gather(const char* res, const char* num) {
    ir = rtest::residue('A', num);
    ASSERT_EQ(resid_inf.res_name(ir), res);
    const int32_t ias = resid_inf.iratm_first(ir);
    int32_t ierr = 0;
    get_monom_(99, ' ', 1, ir, ias, ias + resid_inf.natm_res(ir) - 1, ierr);
  }
  // A copy of `atom` in conformer B, moved by `shift` A along x; the position
  // as read takes the code `own` ("." leaves it common).
  void add_copy(const char* atom, const char* own, float shift) {
    r_scratch_t& r = r_scratch;
    int32_t og = 0;
    for (int32_t k = 1; k <= r.c1_natom; ++k)
      if (r.c1_aname(k) == atom) og = k;
    const int32_t b = ++r.c1_natom;
    r.c1_aname(b) = atom;
    r.c1_atype(b) = "M";
    r.c1_alt(og) = own;
    r.c1_alt(b) = "B";
    r.c1_corr(b) = ".";
    r.c1_occ(og) = r.c1_occ(b) = 0.5f;
    for (int i = 1; i <= 3; ++i) r.c1_xyz(i, b) = r.c1_xyz(i, og) + (i == 1 ? shift : 0.0f);
    r.c1_nalt(og) = 2;
    r.c1_nalt(b) = 0;
    r.c1_ialt(b) = og;
  }
  void check_list(const char* res) {
    int32_t ierr = 0;
    rt::FixedText<8> mon(res);
    captured([&] { cp_mlib_(99, mon, ierr); });
    rtest::Counts cnt;
    captured([&] {
      chklst_(99, mon, cnt.ipr_miss, cnt.ipr_abs, cnt.ipr_del, cnt.na_miss, cnt.na_abs, cnt.na_del,
              'N', ' ', ierr);
    });
  }
  TempDir dir;
  int32_t ir = 0;
};

// The smallest-variance direction of points about their centre, by power
// iteration on (trace - covariance); the signed distances from that plane.
std::vector<double> plane_deviations(const std::vector<Vec>& p) {
  double c[3] = {0, 0, 0};
  for (const Vec& v : p)
    for (int i = 0; i < 3; ++i) c[i] += v[i] / p.size();
  double m[3][3] = {};
  for (const Vec& v : p)
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) m[i][j] += (v[i] - c[i]) * (v[j] - c[j]);
  const double tr = m[0][0] + m[1][1] + m[2][2];
  double n[3] = {0.3, 0.5, 0.8};
  for (int it = 0; it < 500; ++it) {
    double t[3];
    for (int i = 0; i < 3; ++i)
      t[i] = tr * n[i] - (m[i][0] * n[0] + m[i][1] * n[1] + m[i][2] * n[2]);
    const double l = std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]);
    for (int i = 0; i < 3; ++i) n[i] = t[i] / l;
  }
  std::vector<double> d;
  for (const Vec& v : p)
    d.push_back((v[0] - c[0]) * n[0] + (v[1] - c[1]) * n[1] + (v[2] - c[2]) * n[2]);
  return d;
}

}  // namespace

TEST_P(ResidueRestraints, EveryKindWithObservedValuesOfTheModel) {
  ir = rtest::residue('A', " 161 ");
  ASSERT_EQ(resid_inf.res_name(ir), "PHE");
  ASSERT_EQ(rtest::prepare(ir), 0);
  const std::vector<Row> rows = restrain();
  const auto n = kinds(rows);
  EXPECT_GT(n.at("BOND"), 8);
  EXPECT_GT(n.at("ANGL"), 10);
  EXPECT_GT(n.at("TORS"), 1);
  EXPECT_EQ(n.at("CHIR"), 1);
  EXPECT_GE(n.at("PLAN"), 7);  // the ring with CB
  std::map<int, std::vector<const Row*>> planes;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.kind + " " + std::to_string(row.num));
    if (row.kind == "BOND") {
      EXPECT_NEAR(row.vobs, rtest::dist(pos(row.ia[0]), pos(row.ia[1])), 2e-3);
      EXPECT_GT(row.vidl, 1.0f);
    } else if (row.kind == "ANGL") {
      EXPECT_NEAR(row.vobs, rtest::angle_deg(pos(row.ia[0]), pos(row.ia[1]), pos(row.ia[2])), 2e-3);
      EXPECT_GT(row.dist, 1.5f);  // the 1-3 distance from the ideal bonds
    } else if (row.kind == "TORS") {
      const double t =
          rtest::torsion_deg(pos(row.ia[0]), pos(row.ia[1]), pos(row.ia[2]), pos(row.ia[3]));
      EXPECT_NEAR(std::remainder(row.vobs - t, 360.0), 0.0, 2e-3);
    } else if (row.kind == "CHIR") {
      EXPECT_EQ(name(row.ia[0]), "CA");
      EXPECT_EQ(row.label, "positiv");
      EXPECT_NEAR(
          row.vobs,
          rtest::chiral_volume(pos(row.ia[0]), pos(row.ia[1]), pos(row.ia[2]), pos(row.ia[3])),
          2e-3);
      EXPECT_NEAR(row.vidl, 2.5f, 0.3f);  // unsigned ideal volume of a C-alpha
      EXPECT_FLOAT_EQ(row.sd, 0.02f);
    } else if (row.kind == "PLAN") {
      planes[row.num].push_back(&row);
    }
  }
  for (const auto& [num, members] : planes) {
    std::vector<Vec> pts;
    for (const Row* m : members) pts.push_back(pos(m->ia[0]));
    const std::vector<double> d = plane_deviations(pts);
    const double sign = (d[0] * members[0]->vobs) < 0 ? -1 : 1;
    for (std::size_t k = 0; k < d.size(); ++k)
      EXPECT_NEAR(members[k]->vobs, sign * d[k], 2e-3) << num;
  }
}

TEST_P(ResidueRestraints, ConformersAreRestrainedApart) {
  split_og();
  const std::vector<Row> rows = restrain();
  std::vector<const Row*> og_bonds;
  for (const Row& row : rows)
    if (row.kind == "BOND" && (name(row.ia[0]) == "OG" || name(row.ia[1]) == "OG"))
      og_bonds.push_back(&row);
  ASSERT_EQ(og_bonds.size(), 2u);  // CB-OG once per conformer
  EXPECT_NE(og_bonds[0]->ia[1], og_bonds[1]->ia[1]);
  EXPECT_EQ(og_bonds[0]->vidl, og_bonds[1]->vidl);
  EXPECT_NEAR(og_bonds[0]->vobs, rtest::dist(pos(og_bonds[0]->ia[0]), pos(og_bonds[0]->ia[1])),
              2e-3);
  EXPECT_NEAR(og_bonds[1]->vobs, rtest::dist(pos(og_bonds[1]->ia[0]), pos(og_bonds[1]->ia[1])),
              2e-3);
  EXPECT_NE(og_bonds[0]->vobs, og_bonds[1]->vobs);
}

TEST_P(ResidueRestraints, MissingAndEmptyAtomsTakeTheirRestraintsAway) {
  ir = rtest::residue('A', " 178 ");
  const int32_t og = rtest::first_atom(ir, "OG");
  atom_inf.atm_type(og) = "M";
  ASSERT_EQ(rtest::prepare(ir), 0);
  atom_inf.atm_type(og) = " ";
  std::vector<Row> rows = restrain();
  for (const Row& row : rows)
    for (int k = 0; k < 4 && row.ia[k] > 0; ++k) EXPECT_NE(name(row.ia[k]), "OG") << row.kind;
  const auto without_og = kinds(rows);
  // An atom of occupancy 0.001 takes part in nothing either.
  ASSERT_EQ(rtest::prepare(ir), 0);
  r_scratch_t& r = r_scratch;
  for (int32_t k = 1; k <= r.c1_natom; ++k)
    if (r.c1_aname(k) == "OG") r.c1_occ(k) = 0.001f;
  rows = restrain();
  EXPECT_EQ(kinds(rows), without_og);
}

TEST_P(ResidueRestraints, APlaneWithAConformerPairIsWrittenOncePerConformer) {
  split("PHE", " 161 ", "CZ");
  const std::vector<Row> rows = restrain();
  std::map<int, std::vector<std::string>> planes;
  for (const Row& row : rows)
    if (row.kind == "PLAN")
      planes[row.num].push_back(name(row.ia[0]) +
                                r_scratch.c1_alt(r_scratch.s1_inew(row.ia[0] - 1000)).str());
  ASSERT_EQ(planes.size(), 2u);
  const std::vector<std::string> common = {"CB.", "CG.", "CD1.", "CD2.", "CE1.", "CE2."};
  std::vector<std::string> a = common, b = common;
  a.push_back("CZA");
  b.push_back("CZB");
  EXPECT_EQ(planes.begin()->second, a);
  EXPECT_EQ(planes.rbegin()->second, b);
}

// PHE 161 with CE1 in conformers A and B and CZ as read left common beside a
// copy CZ B 1.5 A away: in conformer B the ring closes on CZ B, so the
// common CZ is restrained only with A positions and with atoms that have no
// copy; paired with CE1 B it would stand 1.5 A off its ideal.
TEST_P(ResidueRestraints, ACommonPositionServesOnlyTheConformersWithoutACopy) {
  gather("PHE", " 161 ");
  add_copy("CE1", "A", 0.3f);
  add_copy("CZ", ".", 1.5f);
  check_list("PHE");
  const std::vector<Row> rows = restrain();
  auto label = [&](int32_t serial) {
    return name(serial) + r_scratch.c1_alt(r_scratch.s1_inew(serial - 1000)).str();
  };
  std::multiset<std::string> cz_bonds;
  std::map<int, std::vector<std::string>> planes;
  for (const Row& row : rows) {
    if (row.kind == "BOND" && (name(row.ia[0]) == "CZ" || name(row.ia[1]) == "CZ"))
      cz_bonds.insert(label(row.ia[0]) + "-" + label(row.ia[1]));
    if (row.kind == "PLAN") planes[row.num].push_back(label(row.ia[0]));
    bool common_cz = false, coded_b = false;
    for (int k = 0; k < 4 && row.ia[k] > 0; ++k) {
      common_cz = common_cz || label(row.ia[k]) == "CZ.";
      coded_b = coded_b || label(row.ia[k]).back() == 'B';
    }
    if (row.kind != "PLAN") {
      EXPECT_FALSE(common_cz && coded_b) << row.kind << " " << row.num;
    }
  }
  EXPECT_EQ(cz_bonds, (std::multiset<std::string>{"CE1A-CZ.", "CE1B-CZB", "CE2.-CZ.", "CE2.-CZB"}));
  ASSERT_EQ(planes.size(), 2u);
  const std::vector<std::string> a = {"CB.", "CG.", "CD1.", "CD2.", "CE1A", "CE2.", "CZ."};
  const std::vector<std::string> b = {"CB.", "CG.", "CD1.", "CD2.", "CE1B", "CE2.", "CZB"};
  EXPECT_EQ(planes.begin()->second, a);
  EXPECT_EQ(planes.rbegin()->second, b);
}

TEST_P(ResidueRestraints, ASpecialLinkGivesItsConformerTheModificationsValue) {
  split_og();
  // A special link of this residue for conformer B whose library link
  // brings a modification that changes CB-OG (rows appended to the loaded
  // tables, their counts put back at the end).
  r_scratch_t& r = r_scratch;
  int32_t il = 0;
  look_link_list_("TRANS", il);
  ASSERT_GT(il, 0);
  const rt::FixedText<8> mod1 = r.lll_mod1(il);
  const int32_t nmod = r.ldl_nmod, nbond = r.ldb_nbond;
  const int32_t m = ++r.ldl_nmod, b = ++r.ldb_nbond;
  r.ldl_mname(m) = "XMOD";
  r.ldl_ibond(m) = b;
  r.ldb_mname(b) = "XMOD";
  r.ldb_funct(b) = "change";
  r.ldb_1atm(b) = "OG";
  r.ldb_2atm(b) = "CB";
  r.ldb_val(b) = 1.50f;
  r.ldb_dev(b) = 0.05f;
  r.lll_mod1(il) = "XMOD";
  link_inf_t& l = link_inf;
  l.ln_n = 1;
  l.ln_id(1) = "TRANS";
  l.ln_used(1) = "S";
  l.ln_symm1(1) = "1_555";
  l.ln_symm2(1) = ".";
  l.ln_1ires(1) = ir;
  l.ln_1ichn(1) = 1;
  l.ln_2ires(1) = 0;
  l.ln_alt1(1) = "B";
  l.ln_alt2(1) = ".";
  auto og_bonds = [&](const std::vector<Row>& rows) {
    std::map<std::string, std::pair<float, float>> v;  // conformer: value, sd
    for (const Row& row : rows)
      if (row.kind == "BOND" && name(row.ia[1]) == "OG")
        v[std::string(r.c1_alt(r.s1_inew(row.ia[1] - 1000)).view())] = {row.vidl, row.sd};
    return v;
  };
  auto v = og_bonds(restrain());
  ASSERT_EQ(v.size(), 2u);
  EXPECT_FLOAT_EQ(v["B"].first, 1.50f);
  EXPECT_FLOAT_EQ(v["B"].second, 0.05f);
  EXPECT_NE(v["A"].first, 1.50f);  // the other conformer keeps the library value
  const float library = v["A"].first;
  // A value too small to be one is no value; a link to a symmetry copy
  // gives none either.
  r.ldb_val(b) = 0.00005f;
  v = og_bonds(restrain());
  EXPECT_EQ(v["B"].first, library);
  r.ldb_val(b) = 1.50f;
  l.ln_symm1(1) = "2_555";
  v = og_bonds(restrain());
  EXPECT_EQ(v["B"].first, library);
  r.lll_mod1(il) = mod1;
  r.ldl_nmod = nmod;
  r.ldb_nbond = nbond;
  l.ln_n = 0;
}

INSTANTIATE_TEST_SUITE_P(Forms, ResidueRestraints, testing::Values('F', 'U'),
                         [](const auto& p) { return p.param == 'U' ? "Unformatted" : "Text"; });
