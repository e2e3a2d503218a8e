// Tree numbering and the connection table on trees worked out by hand: the
// resolution of names, the warnings of a faulty tree, the order in which the
// children of an atom are walked and the numbers the walk gives.
#include "dictionary/tree_numbering.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "descr_builder.h"
#include "support/capture.h"

namespace {

struct TreeAtom {
  const char* name;
  const char* back;
  const char* forw;
};

void tree(const char* code, std::initializer_list<TreeAtom> atoms) {
  descr::clear_l1();
  r_scratch.l1l_mname = code;
  for (const TreeAtom& a : atoms) {
    const char* symb = a.name[0] == 'H' ? "H" : "C";
    descr::add_l1_atom({a.name, symb, symb, a.back, a.forw, 0, 0, 0});
  }
}

std::vector<int32_t> iold() {
  std::vector<int32_t> v;
  for (int m = 1; m <= r_scratch.l1a_natom; ++m) v.push_back(r_scratch.l1a_iold(m));
  return v;
}

int32_t number(std::string& out, const char* pnum = "") {
  int32_t ierr = -1;
  out = captured([&] { set_num_(0, r_scratch.l1l_mname.view(), pnum, ierr); });
  return ierr;
}

// The energy types of the atoms below, so that no type warning mixes in.
class TreeNumbering : public testing::Test {
 protected:
  void SetUp() override {
    int t = 0;
    for (const char* name : {"C", "H", "NH1", "CH1", "O", "CH3", "OC"})
      r_scratch.lea_aname(++t) = name;
    r_scratch.lea_natom = t;
    r_scratch.les_nsyn = 0;
  }
  void TearDown() override { r_scratch.lea_natom = 0; }
};

TEST_F(TreeNumbering, LinearChainIsNumberedInChainOrder) {
  tree("LIN", {{"C3", "C2", "END"}, {"C1", ".", "C2"}, {"C2", "C1", "C3"}});
  std::string out;
  EXPECT_EQ(number(out), 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(iold(), (std::vector<int32_t>{2, 3, 1}));
  EXPECT_EQ(r_scratch.l1a_inew(1), 3);
  EXPECT_EQ(r_scratch.l1a_istart, 2);
  EXPECT_EQ(r_scratch.l1a_ifinish, 1);
}

TEST_F(TreeNumbering, HydrogenThenSideBranchThenForwardChild) {
  tree("BRA", {{"R", ".", "X"},
               {"F", "X", "END"},
               {"S1", "X", "."},
               {"S2", "S1", "."},
               {"H1", "X", "."},
               {"X", "R", "F"}});
  std::string out;
  ASSERT_EQ(number(out), 0);
  EXPECT_EQ(iold(), (std::vector<int32_t>{1, 6, 5, 3, 4, 2}));
  const int x = 6;
  EXPECT_EQ(r_scratch.l1a_conn(1, x), 5);
  EXPECT_EQ(r_scratch.l1a_conn(2, x), 3);
  EXPECT_EQ(r_scratch.l1a_conn(3, x), 2);
  EXPECT_EQ(r_scratch.l1a_lencon(2, x), 2);  // S1 and S2
  EXPECT_EQ(r_scratch.l1a_lencon(1, 1), 5);  // everything below the root
}

TEST_F(TreeNumbering, ShorterHeavyBranchIsWalkedFirst) {
  // A (four atoms) completes before B (three atoms) but is walked after it.
  tree("LEN", {{"R", ".", "X"},
               {"X", "R", "F"},
               {"A", "X", "A3"},
               {"A1", "A", "."},
               {"A2", "A", "."},
               {"A3", "A", "."},
               {"B", "X", "B2"},
               {"B2", "B", "B3"},
               {"B3", "B2", "."},
               {"F", "X", "F2"},
               {"F2", "F", "END"}});
  std::string out;
  ASSERT_EQ(number(out), 0);
  EXPECT_EQ(iold(), (std::vector<int32_t>{1, 2, 7, 8, 9, 3, 4, 5, 6, 10, 11}));
  EXPECT_EQ(r_scratch.l1a_lencon(1, 2), 3);
  EXPECT_EQ(r_scratch.l1a_lencon(2, 2), 4);
}

TEST_F(TreeNumbering, BrokenTreeReportsFailure) {
  descr::alanine_l1();
  r_scratch.l1a_back(5) = "CX";
  std::string out;
  EXPECT_EQ(number(out), 1);
  EXPECT_EQ(out, "  WARNING : ALA      : back_atom for CB   is absent\n");
  EXPECT_EQ(iold(), (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
}

TEST_F(TreeNumbering, WarningsCarryTheResidueText) {
  tree("DUP", {{"C1", ".", "C2"}, {"C2", "C1", "END"}, {"C2", "C1", "."}});
  std::string out;
  EXPECT_EQ(number(out, "A  12"), 1);
  EXPECT_EQ(out, "  WARNING : DUP      A  12        : duplicated atom_name: C2\n");
}

TEST_F(TreeNumbering, FirstAndLastAtomsAreCounted) {
  tree("TWO", {{"C1", ".", "C2"}, {"C2", ".", "END"}, {"C3", "C2", "END"}});
  std::string out;
  EXPECT_EQ(number(out), 1);
  EXPECT_EQ(out,
            "  WARNING : TWO      : atom C1   has wrong forward_atom\n"
            "  WARNING : TWO      : wrong definition of first atom of the tree\n"
            "  WARNING : TWO      : multiple definition of last atom of the tree\n");
  EXPECT_EQ(r_scratch.l1a_istart, 2);
}

TEST_F(TreeNumbering, DetachedHydrogenIsNumberedAfterTheWalk) {
  tree("DET", {{"H9", "CX", "."}, {"C1", ".", "C2"}, {"C2", "C1", "END"}});
  std::string out;
  EXPECT_EQ(number(out), 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(r_scratch.l1a_back(1), ".");
  EXPECT_EQ(iold(), (std::vector<int32_t>{2, 3, 1}));
}

TEST_F(TreeNumbering, ElevenPendingBranchPointsOverflowTheStack) {
  descr::clear_l1();
  r_scratch.l1l_mname = "DEEP";
  char p[16], q[16], l[16];
  for (int i = 1; i <= 12; ++i) {
    std::snprintf(p, sizeof p, "P%d", i);
    std::snprintf(q, sizeof q, "P%d", i - 1);
    std::snprintf(l, sizeof l, "L%d", i);
    descr::add_l1_atom({p, "C", "C", i == 1 ? "." : q, i <= 11 ? l : ".", 0, 0, 0});
    if (i <= 11) descr::add_l1_atom({l, "C", "C", p, i == 1 ? "END" : ".", 0, 0, 0});
  }
  std::string out;
  EXPECT_EQ(number(out), 1);
  EXPECT_EQ(out,
            "  WARNING : DEEP     : N-stack >     10\n"
            "  WARNING : DEEP     wrong tree structure /in subr. CONNECT/\n");
  EXPECT_EQ(r_scratch.l1a_iold(2), 2);
}

TEST_F(TreeNumbering, ThirteenChildrenExceedTheBranchSlots) {
  descr::clear_l1();
  r_scratch.l1l_mname = "FAN";
  descr::add_l1_atom({"C0", "C", "C", ".", "C1", 0, 0, 0});
  char n[16];
  for (int k = 1; k <= 13; ++k) {
    std::snprintf(n, sizeof n, "C%d", k);
    descr::add_l1_atom({n, "C", "C", "C0", k == 1 ? "END" : ".", 0, 0, 0});
  }
  std::string out;
  EXPECT_EQ(number(out), 1);
  EXPECT_EQ(out,
            "  WARNING : FAN      : number of tree branches of atom C0   >    12\n"
            "           Change parameter MAX1BRN in \"lib_com\"\n");
  EXPECT_EQ(r_scratch.l1a_ndist(1), 12);
}

TEST_F(TreeNumbering, ThirteenExtraConnectionsOfOneAtomExceedTheSlots) {
  descr::clear_l1();
  r_scratch.l1l_mname = "EXT";
  descr::add_l1_atom({"C0", "C", "C", ".", "END", 0, 0, 0});
  char n[16];
  for (int k = 1; k <= 13; ++k) {
    std::snprintf(n, sizeof n, "C%d", k);
    descr::add_l1_atom({n, "C", "C", "C0", ".", 0, 0, 0});
    const int c = ++r_scratch.l1n_nconn;
    r_scratch.l1n_1atm(c) = "C0";
    r_scratch.l1n_2atm(c) = n;
    r_scratch.l1n_type(c) = ".";
  }
  r_scratch.l1a_back(13) = "C1";  // C0 keeps twelve children
  std::string out;
  EXPECT_EQ(number(out), 1);
  EXPECT_EQ(out,
            "  WARNING : EXT      : number of extra connections of atom C0   >    12\n"
            "           Change parameter MAX1EXT in \"lib_com\"\n");
  EXPECT_EQ(r_scratch.l1a_nextr(1), 12);
}

TEST_F(TreeNumbering, BranchingAtomMustNameAForwardChild) {
  tree("FWD", {{"C1", ".", "C2"},
               {"C2", "C1", "."},
               {"C3", "C2", "."},
               {"C4", "C2", "END"},
               {"C5", "C2", "."}});
  // C2 is on the main chain, so its forward atom becomes C4; C1 is fine.
  std::string out;
  EXPECT_EQ(number(out), 0);
  tree("FWD", {{"C1", ".", "C2"},
               {"C2", "C1", "END"},
               {"C3", "C1", "."},
               {"C4", "C3", "."},
               {"C5", "C3", "."}});
  EXPECT_EQ(number(out), 1);
  EXPECT_EQ(out,
            "  WARNING : FWD      : forward_atom .    (for C3  ) is not in the table of connects\n"
            "  WARNING : FWD      wrong tree structure /in subr. CONNECT/\n");
}

class ChemicalTypes : public testing::Test {
 protected:
  void SetUp() override {
    r_scratch_t& r = r_scratch;
    r.lea_natom = 3;
    r.lea_aname(1) = "C";
    r.lea_aname(2) = "CH1";
    r.lea_aname(3) = "O";
    r.les_nsyn = 2;
    r.les_styp(1) = "CT";
    r.les_atyp(1) = "CX9";  // target missing: passed over
    r.les_styp(2) = "CT";
    r.les_atyp(2) = "CH1";
  }
  void TearDown() override { r_scratch.lea_natom = r_scratch.les_nsyn = 0; }
};

TEST_F(ChemicalTypes, SynonymIsReplacedByItsType) {
  tree("SYN", {{"C1", ".", "END"}});
  r_scratch.l1a_chem(1) = "CT";
  std::string out;
  number(out);
  EXPECT_EQ(r_scratch.l1a_chem(1), "CH1");
  EXPECT_EQ(r_scratch.l1a_ichem(1), 2);
}

TEST_F(ChemicalTypes, UnknownTypeFallsBackToTheElement) {
  tree("UNK", {{"O1", ".", "C1"}, {"C1", "O1", "END"}});
  r_scratch.l1a_chem(1) = "XX";
  r_scratch.l1a_symb(1) = "O";
  r_scratch.l1a_chem(2) = "YY";
  r_scratch.l1a_symb(2) = "ZN";
  std::string out;
  EXPECT_EQ(number(out), 0);
  EXPECT_EQ(out,
            "  WARNING : UNK      : unknown chemical type of atom O1   - XX\n"
            "                  default type is - \"O   \"\n"
            "  WARNING : UNK      : unknown chemical type of atom C1   - YY\n"
            "                  default type is - \"ZN  \"\n");
  EXPECT_EQ(r_scratch.l1a_ichem(1), 3);
  EXPECT_EQ(r_scratch.l1a_chem(1), "XX");
  EXPECT_EQ(r_scratch.l1a_ichem(2), 1);
}

}  // namespace
