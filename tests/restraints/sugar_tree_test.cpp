// The library tree of a sugar in a branched chain re-rooted at the atoms
// that carry its links: the atom bonded to the residue before it becomes the
// first atom of the tree, the one bonded to the residue after it the last.
#include <gtest/gtest.h>

#include <string>

#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "monomer_fixture.h"
#include "restraints/residue_work.h"

namespace {

class SugarTree : public testing::Test {
 protected:
  void SetUp() override {
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    set_cif_types_();
    auto& res = resid_inf;
    res.n_residue = 3;
    for (int ir = 1; ir <= 3; ++ir) {
      res.res_name(ir) = "NAG";
      res.ires_type(ir) = 7;
      res.i_chain(ir) = 1;
      res.ires_back(ir) = ir - 1;
      res.ires_forw(ir) = ir < 3 ? ir + 1 : 0;
      res.iconn_type(ir) = 1;
    }
    res.ires_back(1) = -1;
    asym_part.n_group = 1;
    asym_part.ich_type(1) = 7;
    link_inf.ln_n = 0;
    fixture::monomer_in_l1("NAG");
    ASSERT_EQ(name(r.l1a_istart), "C1");
    ASSERT_EQ(name(r.l1a_ifinish), "O5");
  }
  // A link row named id between residues ir1 and ir2 of chain 1; ir2 takes
  // the link as its connection type.
  void link(const char* id, int ir1, const char* a1, int ir2, const char* a2, const char* used = ".") {
    auto& l = link_inf;
    const int k = ++l.ln_n;
    l.ln_id(k) = id;
    l.ln_1ires(k) = ir1;
    l.ln_2ires(k) = ir2;
    l.ln_1ichn(k) = l.ln_2ichn(k) = 1;
    l.ln_atom1(k) = a1;
    l.ln_atom2(k) = a2;
    l.ln_used(k) = used;
    int32_t code = 0;
    set_iconn_(id, code);
    resid_inf.iconn_type(ir2) = code;
  }
  std::string name(int32_t l) const {
    if (l < 1 || l > r.l1a_natom) return "?";
    return std::string(r.l1a_aname(l).trimmed());
  }
  void rerooted(int ir) {
    int32_t ierr = -1;
    captured([&] { change_tree_sugar_(0, 1, ir, ierr); });
    EXPECT_EQ(ierr, 0);
  }
  r_scratch_t& r = r_scratch;
};

TEST_F(SugarTree, TheNextResiduesLinkAtomEndsTheTree) {
  link("BETA1-4", 1, "O4", 2, "C1");
  link("BETA1-4", 2, "O4", 3, "C1");
  rerooted(2);
  EXPECT_EQ(name(r.l1a_istart), "C1");
  EXPECT_EQ(name(r.l1a_ifinish), "O4");
}

TEST_F(SugarTree, ThePreviousResiduesLinkAtomStartsTheTree) {
  // Residue 2 hangs on residue 1 through its own O6 (written the other way
  // round in the link row); the residue after it is not linked by name.
  link("BETA1-6", 2, "O6", 1, "C1");
  resid_inf.iconn_type(2) = resid_inf.iconn_type(1);
  resid_inf.iconn_type(1) = 1;
  resid_inf.ires_forw(2) = 0;
  rerooted(2);
  EXPECT_EQ(name(r.l1a_istart), "O6");
}

TEST_F(SugarTree, ALinkMarkedSpecialOrOfAnotherNameIsNotFollowed) {
  link("BETA1-4", 1, "O4", 2, "C1");
  link("BETA1-4", 2, "O4", 3, "C1", "S");
  rerooted(2);
  EXPECT_EQ(name(r.l1a_ifinish), "O5");
  link("BETA1-3", 2, "O3", 3, "C1");
  set_iconn_("BETA1-4", resid_inf.iconn_type(3));  // the chain says BETA1-4
  rerooted(2);
  EXPECT_EQ(name(r.l1a_ifinish), "O5");
}

TEST_F(SugarTree, AResidueWithoutNeighboursKeepsItsTree) {
  resid_inf.ires_back(2) = -1;
  resid_inf.ires_forw(2) = 0;
  link("BETA1-4", 1, "O4", 2, "C1");
  rerooted(2);
  EXPECT_EQ(name(r.l1a_istart), "C1");
  EXPECT_EQ(name(r.l1a_ifinish), "O5");
}

}  // namespace
