// Leaving atoms of links the library does not describe, on residues of a
// real entry (1A8O) with link rows made by hand: which missing atom a link
// takes out, and the cases where it takes none.
#include "restraints/link_replaced.h"

#include <gtest/gtest.h>

#include <string>

#include "model_fixture.h"

namespace {

class LinkReplaced : public rtest::EntryTest<> {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
    crdinf.cr_hflag = "A";
    links = link_inf.ln_n;
    ser = rtest::residue('A', " 178 ");
    ala = rtest::residue('A', " 177 ");
    val = rtest::residue('A', " 165 ");
    ASSERT_GT(ser * ala * val, 0);
  }
  void TearDown() override {
    link_inf.ln_n = links;
    for (int32_t ia = 1; ia <= atom_inf.n_atom; ++ia)
      if (atom_inf.atm_type(ia) == "M") atom_inf.atm_type(ia) = " ";
  }
  // A link row from atom a1 of residue ir1 to atom a2 of residue ir2.
  void link(int32_t ir1, const char* a1, int32_t ir2, const char* a2) {
    link_inf_t& l = link_inf;
    const int32_t k = ++l.ln_n;
    l.ln_id(k) = "NEW-LNK";
    l.ln_1ires(k) = ir1;
    l.ln_1ichn(k) = resid_inf.i_chain(ir1);
    l.ln_2ires(k) = ir2;
    l.ln_2ichn(k) = resid_inf.i_chain(ir2);
    l.ln_atom1(k) = a1;
    l.ln_atom2(k) = a2;
  }
  void missing(int32_t ir, const char* atom) {
    atom_inf.atm_type(rtest::first_atom(ir, atom)) = "M";
  }
  // The residue gathered, its monomer in L1 and the step run on it; its
  // report lines.
  std::string drop(int32_t ir) {
    int32_t ierr = 0;
    const int32_t ias = resid_inf.iratm_first(ir), iaf = ias + resid_inf.natm_res(ir) - 1;
    get_monom_(99, ' ', resid_inf.i_chain(ir), ir, ias, iaf, ierr);
    rt::FixedText<8> mon(resid_inf.res_name(ir));
    captured([&] { cp_mlib_(99, mon, ierr); });
    EXPECT_EQ(ierr, 0);
    return captured(
        [&] { restraints::drop_link_replaced_atoms(0, resid_inf.i_chain(ir), ir, true); });
  }
  std::string deleted() const {
    const r_scratch_t& r = r_scratch;
    std::string s;
    for (int32_t i = 1; i <= r.l1a_natom; ++i)
      if (r.l1a_atype(i) == "D") s += std::string(r.l1a_aname(i).trimmed()) + " ";
    return s;
  }
  int32_t links = 0, ser = 0, ala = 0, val = 0;
};

}  // namespace

// The serine's missing OG with its HG, bonded to CB, gives way to an oxygen
// of another residue linked to CB: both leave the monomer, with one line,
// and the atom check neither reports OG missing nor gives it a place.
TEST_F(LinkReplaced, MissingAtomOfThePartnersElementLeavesWithItsHydrogens) {
  missing(ser, "OG");
  link(ala, "O", ser, "CB");
  EXPECT_EQ(drop(ser), "  ATTENTION: atom:OG   SER       178  Aa   is replaced by link NEW-LNK\n");
  EXPECT_EQ(deleted(), "OG HG ");
  rtest::Counts n;
  std::string out;
  int32_t ierr = 0;
  rt::FixedText<8> mon("SER");
  out = captured([&] {
    chklst_(0, mon, n.ipr_miss, n.ipr_abs, n.ipr_del, n.na_miss, n.na_abs, n.na_del, 'Y', ' ',
            ierr);
  });
  EXPECT_EQ(out, "");
  EXPECT_EQ(n.na_miss + n.na_del, 0);
  for (int32_t p = 1; p <= r_scratch.c1_igatm; ++p) EXPECT_NE(rtest::name_at(p), "OG") << p;
}

// Nothing leaves when the atom is in the model, when the partner is of
// another element, when the missing atom holds a heavy atom (the serine's
// CB under a link to CA, with OG present or missing too, as a methyl ester's
// oxygen holds its methyl), when two atoms of the
// element could leave (the valine's CG1 and CG2 under a link to CB), when
// the link's own atom is missing, or when an amide link's carbon lacks its
// carbonyl oxygen but has no second, hydroxyl, oxygen that could leave.
TEST_F(LinkReplaced, NothingLeavesUnlessOneAtomPlainlyGivesWay) {
  const struct {
    const char* label;
    const char* gone[2];
    bool valine;
    const char* own;
    const char* partner;
  } rows[] = {{"OG present", {nullptr, nullptr}, false, "CB", "O"},
              {"partner a carbon", {"OG", nullptr}, false, "CB", "C"},
              {"CB holds OG", {"CB", nullptr}, false, "CA", "CB"},
              {"CB holds OG, both missing", {"CB", "OG"}, false, "CA", "CB"},
              {"CG1 or CG2", {"CG1", "CG2"}, true, "CB", "C"},
              {"own atom missing", {"OG", "CB"}, false, "CB", "O"},
              {"carbonyl O, no second oxygen", {"O", nullptr}, false, "C", "N"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TearDown();
    const int32_t ir = row.valine ? val : ser;
    for (const char* g : row.gone)
      if (g != nullptr) missing(ir, g);
    link(ala, row.partner, ir, row.own);
    EXPECT_EQ(drop(ir), "");
    EXPECT_EQ(deleted(), "");
  }
}
