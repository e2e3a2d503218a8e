// The second rebuilding pass over a whole model: hydrogens of a real residue
// placed around their centres, rebuilt atoms tested and kept or moved,
// permissions, link neighbours, and broken residue trees.
#include "restraints/second_rebuild.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "monomer_fixture.h"
#include "output/atom_str.h"
#include "restraints/ideal_hand.h"
#include "restraints/neighbour_rebuild.h"

namespace {

using fixture::V;

class SecondPass : public testing::Test {
 protected:
  void SetUp() override {
    crst_crd.cs_nsfatm = 4;
    const char* elements[] = {"C", "N", "O", "H"};
    for (int k = 0; k < 4; ++k) crst_crd.cs_element(k + 1) = elements[k];
    atom_inf.n_atom = resid_inf.n_residue = asym_part.n_group = 0;
    link_inf.ln_n = 0;
  }
  // Residue `number` of 2BEG chain A as one chain of the model, with the
  // tree of its library monomer and ideal values measured on the entry.
  int residue(const char* code, int number) {
    fixture::monomer_in_l1(code);
    truth = fixture::pdb_residue("2BEG.pdb", 'A', number);
    r_scratch_t& r = r_scratch;
    const int first = atom_inf.n_atom + 1;
    const int ir = ++resid_inf.n_residue;
    for (int i = 1; i <= r.l1a_natom; ++i) {
      const int a = first + i - 1;
      atom_inf.atm_name(a) = r.l1a_aname(i).view();
      atom_inf.i_resid(a) = ir;
      atom_inf.atm_type(a) = " ";
      atom_inf.id_alt(a) = ".";
      atom_inf.id_corr(a) = ".";
      const char e = r.l1a_symb(i)(1);
      atom_inf.id_sf(a) = e == 'C' ? 1 : e == 'N' ? 2 : e == 'O' ? 3 : 4;
      atom_inf.b_flag(a) = 0;
      atom_crd.u_aniso(1, a) = 0.25f;
      atom_crd.occup(a) = 0.5f;
      const fixture::Xyz& x = truth.at(std::string(r.l1a_aname(i).trimmed()));
      for (int k = 0; k < 3; ++k) atom_crd.xyz_crd(k + 1, a) = x.x[k];
      atom_str.as_iback(a) = r.l1a_iback(i) > 0 ? first + r.l1a_iback(i) - 1 : 0;
      atom_str.as_ifor(a) = r.l1a_iforw(i) > 0 ? first + r.l1a_iforw(i) - 1 : 0;
      atom_str.as_iextr(a) = atom_str.as_iextr2(a) = 0;
    }
    atom_inf.n_atom = first + r.l1a_natom - 1;
    for (int a = first; a <= atom_inf.n_atom; ++a) {
      const int b = atom_str.as_iback(a);
      atom_str.as_dist(a) = b > 0 ? static_cast<float>(fixture::norm(fixture::sub(at(a), at(b)))) : 0.0f;
      const int bb = b > 0 ? atom_str.as_iback(b) : 0;
      atom_str.as_tht(a) = bb > 0 ? static_cast<float>(fixture::angle(at(bb), at(b), at(a))) : 0.0f;
    }
    resid_inf.iratm_first(ir) = first;
    resid_inf.natm_res(ir) = r.l1a_natom;
    resid_inf.res_name(ir) = code;
    resid_inf.ires_back(ir) = -1;
    resid_inf.ires_forw(ir) = 0;
    const int ig = ++asym_part.n_group;
    asym_part.nres_chain(ig) = 1;
    asym_part.ires_first(ig) = asym_part.ires_start_tree(ig) = asym_part.ires_end_tree(ig) = ir;
    return first;
  }
  static V at(int a) { return {atom_crd.xyz_crd(1, a), atom_crd.xyz_crd(2, a), atom_crd.xyz_crd(3, a)}; }
  int atom(const char* name) const {
    for (int a = 1; a <= atom_inf.n_atom; ++a)
      if (atom_inf.atm_name(a) == name) return a;
    ADD_FAILURE() << name;
    return 0;
  }
  void drop_hydrogens() {
    for (int a = 1; a <= atom_inf.n_atom; ++a)
      if (atom_inf.id_sf(a) == 4) {
        atom_inf.atm_type(a) = "M";
        atom_crd.xyz_crd(1, a) = atom_crd.xyz_crd(2, a) = atom_crd.xyz_crd(3, a) = 0.0f;
        atom_crd.occup(a) = 0.0f;
      }
  }
  int32_t pass(char h = 'A', char rf = 'N', std::string* out = nullptr) {
    int32_t ierr = -1;
    const std::string text = captured([&] { check_rebuild_(0, ' ', h, rf, na_miss, na_rebld, ierr); });
    if (out) *out = text;
    return ierr;
  }
  double from_truth(int a) const {
    const fixture::Xyz& x = truth.at(std::string(atom_inf.atm_name(a).trimmed()));
    return fixture::norm(fixture::sub(at(a), V{x.x[0], x.x[1], x.x[2]}));
  }

  fixture::Residue truth;
  int32_t na_miss = 0, na_rebld = 0;
};

TEST_F(SecondPass, HydrogensOfARealResidueAroundEveryCentre) {
  residue("LEU", 34);
  drop_hydrogens();
  EXPECT_EQ(pass(), 0);
  EXPECT_EQ(na_miss, 11);
  EXPECT_EQ(na_rebld, 11);
  for (int a = 1; a <= atom_inf.n_atom; ++a) {
    if (atom_inf.id_sf(a) != 4) continue;
    const std::string n(atom_inf.atm_name(a).trimmed());
    ASSERT_EQ(atom_inf.atm_type(a), "R") << n;
    const int b = atom_str.as_iback(a);
    EXPECT_NEAR(fixture::norm(fixture::sub(at(a), at(b))), atom_str.as_dist(a), 0.01) << n;
    // Centres with two or more known neighbours fix the hydrogen's place
    // (staggered, or in the plane); a methyl or amine keeps only its angle.
    const bool free_rotor = n.rfind("HD", 0) == 0 || n == "H";
    if (n == "HB2" || n == "HB3") {
      // Which of the two places each takes is not the pass's to know.
      const std::string other = n == "HB2" ? "HB3" : "HB2";
      const fixture::Xyz& x = truth.at(other);
      EXPECT_LT(std::min(from_truth(a), fixture::norm(fixture::sub(at(a), V{x.x[0], x.x[1], x.x[2]}))), 0.25) << n;
    } else if (!free_rotor) {
      EXPECT_LT(from_truth(a), 0.25) << n;
      EXPECT_EQ(atom_crd.occup(a), 0.5f) << n;
    } else if (n != "H") {
      EXPECT_EQ(atom_crd.occup(a), 0.0f) << n;
    }
  }
  // The two methylene hydrogens take the two places, not one.
  EXPECT_GT(fixture::norm(fixture::sub(at(atom("HB2")), at(atom("HB3")))), 1.5);
}

// The two free places of a methylene or methyl hydrogen are mirror images;
// the library's ideal coordinates say which one each name takes (the entry
// names leucine's HB2 and HB3 the other way round).
TEST_F(SecondPass, HydrogensOfCentresWithTwoFreePlacesTakeTheLibrarysHand) {
  residue("LEU", 34);
  drop_hydrogens();
  EXPECT_EQ(pass(), 0);
  auto volume = [&](const char* c, const char* a, const char* b, const char* d) {
    const V u = fixture::sub(at(atom(a)), at(atom(c))), v = fixture::sub(at(atom(b)), at(atom(c))),
            w = fixture::sub(at(atom(d)), at(atom(c)));
    return u.x * (v.y * w.z - v.z * w.y) - u.y * (v.x * w.z - v.z * w.x) +
           u.z * (v.x * w.y - v.y * w.x);
  };
  const struct {
    const char* c;
    const char* a;
    const char* b;
    const char* d;
  } centres[] = {{"CB", "CA", "CG", "HB2"},     {"CB", "CA", "CG", "HB3"},
                 {"CD1", "CG", "HD11", "HD12"}, {"CD1", "CG", "HD11", "HD13"},
                 {"CD2", "CG", "HD21", "HD22"}, {"CD2", "CG", "HD21", "HD23"}};
  for (const auto& k : centres) {
    const int want = restraints::ideal_hand("LEU", k.c, k.a, k.b, k.d);
    ASSERT_NE(want, 0) << k.c << " " << k.d;
    EXPECT_GT(volume(k.c, k.a, k.b, k.d) * want, 0.5) << k.c << " " << k.d;
  }
}

TEST_F(SecondPass, TraceListsTheAtomsOfEachResidue) {
  residue("LEU", 34);
  drop_hydrogens();
  int32_t ierr = -1;
  const std::string out = captured([&] { check_rebuild_(0, 'T', 'A', 'N', na_miss, na_rebld, ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_NE(out.find("  i     alt type  ib if  Iextr iex2 corr"), std::string::npos);
  EXPECT_NE(out.find(" centre "), std::string::npos);
  EXPECT_EQ(na_miss, 11);
}

TEST_F(SecondPass, MissingHydrogensStayWithoutTheirFlag) {
  residue("LEU", 34);
  drop_hydrogens();
  EXPECT_EQ(pass('N', 'Y'), 0);
  EXPECT_EQ(na_miss, 0);
  for (int a = 1; a <= atom_inf.n_atom; ++a)
    if (atom_inf.id_sf(a) == 4) {
      EXPECT_EQ(atom_inf.atm_type(a), "M");
    }
}

TEST_F(SecondPass, RebuiltNeighbourNearItsIdealPlaceStaysOtherwiseMoves) {
  residue("LEU", 34);
  const int h = atom("H"), n = atom("N"), ca = atom("CA");
  atom_inf.atm_type(h) = "R";
  atom_str.as_tht(h) = static_cast<float>(fixture::angle(at(ca), at(n), at(h)));
  const V before = at(h);
  EXPECT_EQ(pass(), 0);
  EXPECT_EQ(na_rebld, 0);
  EXPECT_EQ(fixture::norm(fixture::sub(at(h), before)), 0.0);
  // Pulled 0.3 A out along the bond: put back at the ideal length, on its
  // own side.
  atom_crd.xyz_crd(1, h) = static_cast<float>(at(n).x + (before.x - at(n).x) * 1.3);
  atom_crd.xyz_crd(2, h) = static_cast<float>(at(n).y + (before.y - at(n).y) * 1.3);
  atom_crd.xyz_crd(3, h) = static_cast<float>(at(n).z + (before.z - at(n).z) * 1.3);
  EXPECT_EQ(pass(), 0);
  EXPECT_EQ(na_rebld, 1);
  EXPECT_EQ(na_miss, 0);
  EXPECT_NEAR(fixture::norm(fixture::sub(at(h), at(n))), atom_str.as_dist(h), 0.01);
  EXPECT_LT(fixture::norm(fixture::sub(at(h), before)), 0.05);
}

TEST_F(SecondPass, UnsetIdealValuesFallBackToDefaults) {
  residue("LEU", 34);
  const int h = atom("H"), n = atom("N"), ca = atom("CA");
  drop_hydrogens();
  atom_str.as_dist(h) = 0.5f;
  atom_str.as_tht(h) = 150.0f;
  EXPECT_EQ(pass(), 0);
  EXPECT_NEAR(fixture::norm(fixture::sub(at(h), at(n))), 1.0, 1e-4);
  EXPECT_NEAR(fixture::angle(at(ca), at(n), at(h)), 110.0, 0.01);
}

TEST_F(SecondPass, WatersAndSmallResiduesAreNotExamined) {
  residue("LEU", 34);
  drop_hydrogens();
  resid_inf.res_name(1) = "HOH";
  EXPECT_EQ(pass(), 0);
  EXPECT_EQ(na_miss, 0);
  resid_inf.res_name(1) = "LEU";
  resid_inf.natm_res(1) = 3;
  EXPECT_EQ(pass(), 0);
  EXPECT_EQ(na_miss, 0);
}

TEST_F(SecondPass, BrokenChainsEndThePassWithTheirError) {
  residue("LEU", 34);
  struct Case {
    const char* label;
    void (*spoil)();
    const char* message;
  } cases[] = {
      {"no residues", [] { asym_part.nres_chain(1) = 0; }, " ERROR: N-residues = 0"},
      {"no tree start", [] { asym_part.ires_start_tree(1) = 0; }, " ERROR: wrong tree structure ..."},
      {"no tree end", [] { asym_part.ires_end_tree(1) = 0; }, " ERROR: wrong tree structure ."},
      {"no atoms", [] { resid_inf.natm_res(1) = 0; }, " ERROR: N-atoms = 0"},
      {"tree end never reached", [] { asym_part.ires_end_tree(1) = 7; }, " ERROR: wrong tree structure ....."},
  };
  for (const Case& c : cases) {
    residue("LEU", 34);
    asym_part.n_group = 1;
    c.spoil();
    std::string out;
    EXPECT_EQ(pass('A', 'N', &out), 1) << c.label;
    EXPECT_EQ(out, std::string(" ") + c.message + "\n") << c.label;
    SetUp();
  }
}

class LinkNeighbours : public SecondPass {
 protected:
  void SetUp() override {
    SecondPass::SetUp();
    residue("LEU", 34);
    residue("MET", 35);
    r_scratch.lll_nlink = 0;
  }
  void link(const char* a1, const char* a2, const char* symm = ".") {
    const int i = ++link_inf.ln_n;
    link_inf.ln_id(i) = "TEST";
    link_inf.ln_1ires(i) = 1;
    link_inf.ln_2ires(i) = 2;
    link_inf.ln_1ichn(i) = 1;
    link_inf.ln_2ichn(i) = 2;
    link_inf.ln_atom1(i) = a1;
    link_inf.ln_atom2(i) = a2;
    link_inf.ln_alt1(i) = link_inf.ln_alt2(i) = ".";
    link_inf.ln_symm1(i) = symm;
    link_inf.ln_symm2(i) = ".";
  }
  int in2(const char* name) const {
    for (int a = resid_inf.iratm_first(2); a <= atom_inf.n_atom; ++a)
      if (atom_inf.atm_name(a) == name) return a;
    return 0;
  }
  std::string run() {
    return captured([] { add_extra_atom_from_link_(); });
  }
};

TEST_F(LinkNeighbours, NamedAtomsBecomeEachOthersExtraNeighbours) {
  link("CD1", "SD");
  link("CD2", "SD");
  EXPECT_EQ(run(), "");
  const int cd1 = atom("CD1"), cd2 = atom("CD2"), sd = in2("SD");
  EXPECT_EQ(atom_str.as_iextr(cd1), sd);
  EXPECT_EQ(atom_str.as_iextr(cd2), sd);
  EXPECT_EQ(atom_str.as_iextr(sd), cd1);
  EXPECT_EQ(atom_str.as_iextr2(sd), cd2);
}

TEST_F(LinkNeighbours, LinksReadFromCoordinateFilesCountAsInsideTheUnit) {
  // A PDB LINK record and the connection rows of a written mmCIF file give
  // the identity as 1_555.
  link("CD1", "SD", "1_555");
  EXPECT_EQ(run(), "");
  EXPECT_EQ(atom_str.as_iextr(atom("CD1")), in2("SD"));
  EXPECT_EQ(atom_str.as_iextr(in2("SD")), atom("CD1"));
}

TEST_F(LinkNeighbours, TreeBondsAndSymmetryCopiesAddNothing) {
  const int c = atom("C"), n2 = in2("N");
  atom_str.as_ifor(c) = n2;
  atom_str.as_iback(n2) = c;
  link("C", "N");
  link("CD1", "SD", "2_555");
  EXPECT_EQ(run(), "");
  EXPECT_EQ(atom_str.as_iextr(c), 0);
  EXPECT_EQ(atom_str.as_iextr(n2), 0);
  EXPECT_EQ(atom_str.as_iextr(atom("CD1")), 0);
}

TEST_F(LinkNeighbours, UnnamedAtomsWithoutALinkLibraryStopTheStep) {
  link(".", ".");
  link("CD1", "SD");
  EXPECT_EQ(run(), "  WARNING : number of links in library = 0\n");
  EXPECT_EQ(atom_str.as_iextr(atom("CD1")), 0);
}

TEST_F(LinkNeighbours, UnnamedAtomsFromTheLinkLibraryBond) {
  r_scratch_t& r = r_scratch;
  r.lll_nlink = 1;
  r.lll_lname(1) = "TEST";
  r.lll_ibond(1) = 1;
  r.llb_nbond = 1;
  r.llb_lname(1) = "TEST";
  r.llb_1atm(1) = "SD";
  r.llb_2atm(1) = "CD2";
  r.llb_f1atm(1) = 2;  // the first atom of the bond is on the second residue
  link(".", ".");
  EXPECT_EQ(run(), "");
  EXPECT_EQ(r.lll_ilink, 1);
  EXPECT_EQ(atom_str.as_iextr(atom("CD2")), in2("SD"));
  link_inf.ln_id(1) = "OTHER";
  EXPECT_EQ(run(), "  WARNING : link OTHER    not found in library.\n");
}

}  // namespace
