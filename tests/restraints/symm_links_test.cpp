// Links to symmetry copies in a real crystal (1A8O, P 43 21 2): the
// operator and translation chosen are checked by applying them to the
// coordinates and against every image searched here; the records, messages
// and extra neighbours of links inside the asymmetric unit; the codes'
// compatibility rule and the move by a symmetry code.
#include "restraints/symm_links.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "foundation/cell_helpers.h"
#include "model_fixture.h"
#include "output/atom_str.h"
#include "restraints/rst_file.h"
#include "rst_reader.h"
#include "support/temp_dir.h"

namespace {

using D3 = std::array<double, 3>;

// Orthogonal position of atom ia under operator s with lattice shift t, in
// double precision from the cell and operators of the model.
D3 image(int32_t ia, int32_t s, const std::array<int, 3>& t) {
  const crst_crd_t& c = crst_crd;
  double y[3], f[3];
  for (int i = 1; i <= 3; ++i) {
    y[i - 1] = 0;
    for (int j = 1; j <= 3; ++j)
      y[i - 1] += double(c.cs_ort_to_frac(i, j)) * atom_crd.xyz_crd(j, ia);
  }
  for (int i = 1; i <= 3; ++i) {
    f[i - 1] = c.cs_v_cs(i, s) + t[i - 1];
    for (int j = 1; j <= 3; ++j) f[i - 1] += double(c.cs_m_cs(i, j, s)) * y[j - 1];
  }
  D3 o{};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) o[i - 1] += double(c.cs_frac_to_ort(i, j)) * f[j - 1];
  return o;
}

double dist_to(const D3& p, int32_t ja) {
  double s = 0;
  for (int i = 0; i < 3; ++i)
    s += (p[i] - atom_crd.xyz_crd(i + 1, ja)) * (p[i] - atom_crd.xyz_crd(i + 1, ja));
  return std::sqrt(s);
}

// The nearest image of ia to ja over every operator from `first`, the
// cell shift of each taken by rounding the fractional difference (the cell
// is rectangular, so that shift is the nearest).
double nearest(int32_t ia, int32_t ja, int32_t first = 1) {
  const crst_crd_t& c = crst_crd;
  double z[3];
  for (int i = 1; i <= 3; ++i) {
    z[i - 1] = 0;
    for (int j = 1; j <= 3; ++j)
      z[i - 1] += double(c.cs_ort_to_frac(i, j)) * atom_crd.xyz_crd(j, ja);
  }
  double best = 1e30;
  for (int32_t s = first; s <= c.cs_nsym; ++s) {
    const D3 p = image(ia, s, {0, 0, 0});
    double f[3];
    for (int i = 1; i <= 3; ++i) {
      f[i - 1] = 0;
      for (int j = 1; j <= 3; ++j) f[i - 1] += double(c.cs_ort_to_frac(i, j)) * p[j - 1];
    }
    std::array<int, 3> t;
    for (int i = 0; i < 3; ++i) t[i] = -static_cast<int>(std::lround(f[i] - z[i]));
    best = std::min(best, dist_to(image(ia, s, t), ja));
  }
  return best;
}

class SymmetryLinks : public rtest::EntryTest<> {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
    rtest::write_rst_to(dir.path(), "sym", 'F');
    crdrst.rs_nbnds = 0;
    for (int32_t ia = 1; ia <= atom_inf.n_atom; ++ia) {
      atom_str.as_chem(ia) = ".";
      atom_str.as_iextr(ia) = atom_str.as_iextr2(ia) = 0;
    }
    saved_links = link_inf.ln_n;
    link_inf.ln_n = 0;
  }
  void TearDown() override { link_inf.ln_n = saved_links; }
  int32_t add_link(const char* id, int32_t ir1, const char* a1, int32_t ir2, const char* a2,
                   const char* symm1, const char* symm2, float dist = 0) {
    link_inf_t& l = link_inf;
    const int32_t k = ++l.ln_n;
    l.ln_id(k) = id;
    l.ln_1ires(k) = ir1;
    l.ln_2ires(k) = ir2;
    l.ln_1ichn(k) = resid_inf.i_chain(ir1);
    l.ln_2ichn(k) = resid_inf.i_chain(ir2);
    l.ln_atom1(k) = a1;
    l.ln_atom2(k) = a2;
    l.ln_alt1(k) = ".";
    l.ln_alt2(k) = ".";
    l.ln_symm1(k) = symm1;
    l.ln_symm2(k) = symm2;
    l.ln_dist(k) = dist;
    l.ln_used(k) = "N";
    return k;
  }
  std::string run(char restr_flag, std::vector<rtest::Row>& rows) {
    int32_t ierr = 0;
    wrt_rst_("TITL", 99, ierr);
    const std::string out = captured([&] { dscr_links_symm_(0, ' ', restr_flag, ' ', ierr); });
    EXPECT_EQ(ierr, 0);
    wrt_rst_("STOP", 99, ierr);
    rows = rtest::read_rows(dir.path() + "/sym");
    return out;
  }
  TempDir dir;
  int32_t saved_links = 0;
};

}  // namespace

TEST_F(SymmetryLinks, NearestImageInARealCrystal) {
  ASSERT_EQ(crst_crd.cs_nsym, 8);
  // The closest crystal contact of the side-chain ends of the first
  // residues: a pair of atoms of which one lies near an image of the other.
  int32_t sg = 0, partner = 0;
  double best = 1e30;
  for (int32_t ia = 1; ia <= 120; ++ia) {
    if (atom_inf.atm_name(ia) == "N" || atom_inf.atm_name(ia) == "C" ||
        atom_inf.atm_name(ia) == "O" || atom_inf.atm_name(ia) == "CA")
      continue;
    for (int32_t ja = 1; ja <= atom_inf.n_atom; ++ja) {
      if (resid_inf.res_name(atom_inf.i_resid(ja)) == "HOH") continue;
      const double d = nearest(ia, ja, 2);
      if (d < best) best = d, sg = ia, partner = ja;
    }
  }
  ASSERT_LT(best, 4.0);
  const int32_t ir1 = atom_inf.i_resid(sg), ir2 = atom_inf.i_resid(partner);
  add_link("symmetry", ir1, std::string(atom_inf.atm_name(sg).trimmed()).c_str(), ir2,
           std::string(atom_inf.atm_name(partner).trimmed()).c_str(), "2_555", ".");
  std::vector<rtest::Row> rows;
  const std::string out = run('A', rows);
  ASSERT_EQ(rows.size(), 1u);
  const rtest::Row& bnds = rows[0];
  EXPECT_EQ(bnds.kind, "BNDS");
  EXPECT_EQ(bnds.ia[0], sg);
  EXPECT_EQ(bnds.ia[1], partner);
  EXPECT_NEAR(bnds.vobs, nearest(sg, partner), 2e-3);
  // The code names the operator and the translation (digits less 5) that
  // bring SG to that distance.
  const std::string code = bnds.label;
  const std::size_t us = code.find('_');
  ASSERT_NE(us, std::string::npos);
  const int op = std::stoi(code.substr(0, us));
  const std::array<int, 3> t = {code[us + 1] - '5', code[us + 2] - '5', code[us + 3] - '5'};
  EXPECT_NEAR(dist_to(image(sg, op, t), partner), bnds.vobs, 2e-3);
  float x[3] = {atom_crd.xyz_crd(1, sg), atom_crd.xyz_crd(2, sg), atom_crd.xyz_crd(3, sg)};
  get_symm_coor_(code, x);
  const D3 moved = image(sg, op, t);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(x[i], moved[i], 2e-3);
  EXPECT_NE(out.find(" INFO:     symm.link will be used, dist="), std::string::npos);
  EXPECT_NE(out.find("symm1:" + code), std::string::npos);
  const std::string first_atom = "res:" + std::string(resid_inf.res_num_pdb(ir1).sub(3, 7)) + " " +
                                 std::string(resid_inf.res_name(ir1).view()) +
                                 " a:" + std::string(atom_inf.atm_name(sg).view()) + ". --> ch:";
  EXPECT_NE(out.find(first_atom), std::string::npos) << out;
  EXPECT_NE(file_text(dir.path() + "/sym.rst").find("#  --- special symmetry related links ---"),
            std::string::npos);
}

// GLN 192 NE2 lies 2.77 A from its own copy across the two-fold of
// operator 6, within the reach of an N-N bond.
TEST_F(SymmetryLinks, AnAtomLinkedToItsOwnCopyNeverTakesTheIdentity) {
  const int32_t gln = rtest::residue('A', " 192 ");
  const int32_t ne2 = rtest::first_atom(gln, "NE2");
  const float given = static_cast<float>(nearest(ne2, ne2, 2));
  add_link("symmetry", gln, "NE2", gln, "NE2", "6_555", ".", given);
  std::vector<rtest::Row> rows;
  run('A', rows);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_NE(rows[0].label.substr(0, 2), "1_");
  EXPECT_NEAR(rows[0].vobs, nearest(ne2, ne2, 2), 2e-3);
  EXPECT_NEAR(rows[0].vidl, given, 1e-3);  // the distance given with the link
}

TEST_F(SymmetryLinks, WithOneOperatorTheCodeCarriesOperatorOne) {
  crst_crd_t& c = crst_crd;
  const int32_t nsym = c.cs_nsym;
  c.cs_nsym = 1;
  const int32_t a = rtest::residue('A', " 177 "), b = rtest::residue('A', " 198 ");
  // No two atoms of the crystal touch across a bare cell translation: CA is
  // put 1.8 A from SG's copy one cell along a.
  const int32_t ca = rtest::first_atom(a, "CA"), sg = rtest::first_atom(b, "SG");
  const std::array<float, 3> kept = {atom_crd.xyz_crd(1, ca), atom_crd.xyz_crd(2, ca),
                                     atom_crd.xyz_crd(3, ca)};
  for (int k = 1; k <= 3; ++k) atom_crd.xyz_crd(k, ca) = atom_crd.xyz_crd(k, sg);
  atom_crd.xyz_crd(1, ca) += c.cs_cell(1) + 1.8f;
  const double apart = nearest(ca, sg);
  add_link("symmetry", a, "CA", b, "SG", "3_565", ".", static_cast<float>(apart));
  std::vector<rtest::Row> rows;
  run('A', rows);
  c.cs_nsym = nsym;
  for (int k = 1; k <= 3; ++k) atom_crd.xyz_crd(k, ca) = kept[k - 1];
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].label.substr(0, 2), "1_");
  EXPECT_EQ(rows[0].label.size(), 5u);
}

TEST_F(SymmetryLinks, LinksInsideTheAsymmetricUnitBecomeExtraNeighbours) {
  const int32_t a = rtest::residue('A', " 161 "), b = rtest::residue('A', " 198 "),
                c = rtest::residue('A', " 218 "), d = rtest::residue('A', " 165 ");
  const int32_t sg = rtest::first_atom(b, "SG");
  add_link("symmetry", a, "CZ", b, "SG", "1_555", ".");
  add_link("symmetry", c, "SG", b, "SG", ".", ".");
  add_link("symmetry", d, "CB", b, "SG", ".", "1_555");
  std::vector<rtest::Row> rows;
  const std::string out = run(' ', rows);  // no restraints asked: neighbours still made
  EXPECT_EQ(out, "");
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(atom_str.as_iextr(sg), rtest::first_atom(a, "CZ"));
  EXPECT_EQ(atom_str.as_iextr2(sg), rtest::first_atom(c, "SG"));
  EXPECT_EQ(atom_str.as_iextr(rtest::first_atom(d, "CB")), sg);  // the third finds SG full
  EXPECT_EQ(atom_str.as_iextr(rtest::first_atom(a, "CZ")), sg);
}

TEST_F(SymmetryLinks, NeighboursInTheChainWithAKnownLinkChangeNothing) {
  const int32_t a = rtest::residue('A', " 177 "), b = rtest::residue('A', " 178 ");
  add_link("TRANS", a, "C", b, "N", "1_555", "1_555");
  std::vector<rtest::Row> rows;
  run('A', rows);
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(atom_str.as_iextr(rtest::first_atom(a, "C")), 0);
}

TEST(SymmetryCodes, AlternateCodesOfTheLinkRow) {
  struct Row {
    const char* label;
    const char* p1;
    const char* p2;
    char a1, a2, expect;
  };
  const Row rows[] = {
      {"no codes, same positions", ".A", ".A", '.', '.', 'Y'},
      {"no codes, different positions", ".A", ".B", '.', '.', 'N'},
      {"second given, first common", "..", ".B", '.', 'B', 'Y'},
      {"second given, first the same", ".B", ".B", '.', 'B', 'Y'},
      {"second given, first another", ".A", ".B", '.', 'B', 'N'},
      {"first given, second common", ".A", "..", 'A', '.', 'Y'},
      {"both given", ".A", ".B", 'A', 'B', 'Y'},
      {"both given, swapped", ".B", ".A", 'A', 'B', 'N'},
  };
  for (const Row& r : rows) {
    const rt::FixedText<2> c[2] = {r.p1, r.p2};
    char check = '?';
    chk_alt_symm_(c, r.a1, r.a2, check);
    EXPECT_EQ(check, r.expect) << r.label;
  }
}

TEST_F(SymmetryLinks, ACodeMovesAPointByItsOperatorAndShift) {
  float x[3] = {3.0f, 4.0f, 5.0f};
  const float x0[3] = {x[0], x[1], x[2]};
  get_symm_coor_("3_456", x);
  // Operator 3 of P 43 21 2 is -x, -y, z+1/2; shift (-1, 0, +1) cells.
  float f0[3], expect_f[3], expect[3];
  int32_t ierr = 0;
  nb_otof_(x0, f0, ierr);
  expect_f[0] = -f0[0] - 1;
  expect_f[1] = -f0[1];
  expect_f[2] = f0[2] + 0.5f + 1;
  nb_ftoo_(expect_f, expect, ierr);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(x[i], expect[i], 1e-3) << i;
  // Operator 2 turns the axes: 1/2-y, 1/2+x, 3/4+z.
  float x2[3] = {x0[0], x0[1], x0[2]};
  get_symm_coor_("2_555", x2);
  expect_f[0] = 0.5f - f0[1];
  expect_f[1] = 0.5f + f0[0];
  expect_f[2] = 0.75f + f0[2];
  nb_ftoo_(expect_f, expect, ierr);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(x2[i], expect[i], 1e-3) << i;
  float y[3] = {x0[0], x0[1], x0[2]};
  for (const char* same : {"1_555", ".", "", "12345678", "9_555"}) {
    get_symm_coor_(same, y);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(y[i], x0[i]) << same;
  }
}

// An atom without occupancy is in no crystal contact: a link to or from it
// makes no symmetry restraint, while an occupied pair still does.
TEST_F(SymmetryLinks, AnUnoccupiedAtomMakesNoSymmetryLink) {
  // GLN 192 NE2 to its own copy (2.77 A) and OE1 to that copy (3.47 A),
  // both across the two-fold of operator 6.
  const int32_t gln = rtest::residue('A', " 192 ");
  const int32_t ne2 = rtest::first_atom(gln, "NE2"), oe1 = rtest::first_atom(gln, "OE1");
  const float occ_ne2 = atom_crd.occup(ne2), occ_oe1 = atom_crd.occup(oe1);
  add_link("symmetry", gln, "NE2", gln, "NE2", "6_555", ".",
           static_cast<float>(nearest(ne2, ne2, 2)));
  add_link("symmetry", gln, "OE1", gln, "NE2", "6_555", ".",
           static_cast<float>(nearest(oe1, ne2, 2)));
  std::vector<rtest::Row> rows;
  atom_crd.occup(ne2) = 0.0f;
  std::string out = run('A', rows);
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(out.find("symm.link will be used"), std::string::npos) << out;
  atom_crd.occup(ne2) = occ_ne2;
  atom_crd.occup(oe1) = 0.0f;
  out = run('A', rows);
  atom_crd.occup(oe1) = occ_oe1;
  ASSERT_EQ(rows.size(), 1u) << "only the NE2-NE2 link, both ends occupied";
  EXPECT_EQ(rows[0].ia[0], ne2);
  EXPECT_EQ(rows[0].ia[1], ne2);
}
