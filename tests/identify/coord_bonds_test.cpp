// Bonds from coordinates: the limits by atom class, the connection mode, full
// lists, and the bonds of a real component against its own bond list.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "component.h"
#include "dictionary/lib_com.h"
#include "dictionary/new_bonds.h"
#include "foundation/messages.h"
#include "identify/coord_bonds.h"
#include "support/capture.h"

namespace {

void two_atoms_l1(const char* s1, const char* s2, float d, const char* flag2 = "Y") {
  r_scratch_t& r = r_scratch;
  r.l1l_mname = "NEW";
  r.l1a_natom = 2;
  r.l1b_nbond = r.l1n_nconn = 0;
  const char* symb[2] = {s1, s2};
  for (int i = 1; i <= 2; ++i) {
    r.l1a_aname(i) = i == 1 ? "A1" : "A2";
    r.l1a_symb(i) = symb[i - 1];
    const char c = dictionary::bond_class(symb[i - 1]);
    r.l1a_atype(i) = std::string_view(&c, 1);
    r.l1a_x(i) = i == 1 ? 0.0f : d;
    r.l1a_y(i) = r.l1a_z(i) = 0.0f;
    r.l1a_coor_flag(i) = i == 1 ? "Y" : flag2;
    r.l1a_ndist(i) = 0;
    r.l1a_lencon(1, i) = 0;
  }
}

TEST(CoorConn, LimitByClassPair) {
  struct Row {
    const char* label;
    const char *s1, *s2;
    float d;
    int bonds;
  };
  const Row rows[] = {
      {"two metals at 2.8", "ZN", "CU", 2.8f, 1},
      {"two metals at 2.9", "ZN", "CU", 2.9f, 0},
      {"carbon and sulphur at 1.8", "C", "S", 1.8f, 1},
      {"carbon and oxygen at 1.8", "C", "O", 1.8f, 0},
      {"carbon and oxygen at 1.7", "C", "O", 1.7f, 1},
      {"hydrogen and carbon at 1.1", "H", "C", 1.1f, 1},
      {"hydrogen and metal at 1.3", "H", "ZN", 1.3f, 0},
      {"hydrogen and sulphur at 1.34", "H", "S", 1.34f, 1},
      {"sulphur and hydrogen at 2.2", "S", "H", 2.2f, 0},
      {"nitrogen and hydrogen at 1.3", "N", "H", 1.3f, 0},
      {"coincident atoms", "C", "C", 0.0005f, 0},
  };
  for (const Row& row : rows) {
    two_atoms_l1(row.s1, row.s2, row.d);
    int32_t ierr = 0;
    coor_conn_(0, "    ", ierr);
    EXPECT_EQ(r_scratch.l1b_nbond, row.bonds) << row.label;
  }
}

TEST(CoorConn, FullBondListReported) {
  two_atoms_l1("C", "C", 1.5f);
  r_scratch.l1b_nbond = MAX1BND;
  comlib.iquiet = 0;
  int32_t ierr = 0;
  const std::string out = captured([&] { coor_conn_(0, "    ", ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out,
            "  ERROR: number of bonds of new monomer NEW      >   300\n"
            "           Change parameter MAX1BND in \"lib_com.fh\"\n");
}

// In mode CONN a tree connection bonds its pair at any distance, in the
// same ascending order as the pairs found by distance, each pair once.
TEST(CoorConn, TreeConnectionsJoinDistanceBondsInOrder) {
  r_scratch_t& r = r_scratch;
  r.l1l_mname = "NEW";
  r.l1a_natom = 4;
  r.l1b_nbond = 0;
  const float x[4] = {0.0f, 1.5f, 10.0f, 11.4f};
  for (int i = 1; i <= 4; ++i) {
    r.l1a_aname(i) = std::string("A") + char('0' + i);
    r.l1a_symb(i) = "C";
    r.l1a_atype(i) = "C";
    r.l1a_x(i) = x[i - 1];
    r.l1a_y(i) = r.l1a_z(i) = 0.0f;
    r.l1a_coor_flag(i) = "Y";
    r.l1a_ndist(i) = 0;
    r.l1a_lencon(1, i) = 0;
  }
  // 3-1 given backwards, 3-4 also bonded by distance, 2-2 names no pair.
  r.l1n_nconn = 3;
  r.l1n_i1atm(1) = 3, r.l1n_i2atm(1) = 1;
  r.l1n_i1atm(2) = 3, r.l1n_i2atm(2) = 4;
  r.l1n_i1atm(3) = 2, r.l1n_i2atm(3) = 2;
  int32_t ierr = 0;
  coor_conn_(0, "CONN", ierr);
  ASSERT_EQ(r.l1b_nbond, 3);
  const int want[3][2] = {{1, 2}, {1, 3}, {3, 4}};
  for (int b = 1; b <= 3; ++b) {
    EXPECT_EQ(r.l1b_i1atm(b), want[b - 1][0]) << "bond " << b;
    EXPECT_EQ(r.l1b_i2atm(b), want[b - 1][1]) << "bond " << b;
  }
  EXPECT_FLOAT_EQ(r.l1b_vobs(2), 10.0f);
  EXPECT_EQ(r.l1a_ndist(1), 2);
  EXPECT_EQ(r.l1a_conn(2, 1), 3);
}

TEST(CoorConn, DistanceBondsInAscendingPairOrder) {
  r_scratch_t& r = r_scratch;
  r.l1l_mname = "NEW";
  r.l1a_natom = 4;
  r.l1b_nbond = r.l1n_nconn = 0;
  // 1-4 and 2-3 bonded, listed by the first atom of each pair.
  const float x[4] = {0.0f, 10.0f, 11.5f, 1.5f};
  for (int i = 1; i <= 4; ++i) {
    r.l1a_aname(i) = std::string("A") + char('0' + i);
    r.l1a_atype(i) = "C";
    r.l1a_x(i) = x[i - 1];
    r.l1a_y(i) = r.l1a_z(i) = 0.0f;
    r.l1a_coor_flag(i) = "Y";
    r.l1a_ndist(i) = 0;
    r.l1a_lencon(1, i) = 0;
  }
  int32_t ierr = 0;
  coor_conn_(0, "    ", ierr);
  ASSERT_EQ(r.l1b_nbond, 2);
  EXPECT_EQ(r.l1b_i1atm(1), 1);
  EXPECT_EQ(r.l1b_i2atm(1), 4);
  EXPECT_EQ(r.l1b_i1atm(2), 2);
  EXPECT_EQ(r.l1b_i2atm(2), 3);
}

// Every bond the component lists is found from its ideal coordinates, and
// no other (the S-H of cysteine is 1.34 A long).
TEST(CrdConn, ComponentBondsFromIdealCoordinates) {
  for (const char* code : {"TRP", "NAG", "A", "HIS", "CYS"}) {
    const comp::Component c = comp::load(code);
    comp::fill_c1(c, code, {}, true);
    int32_t ierr = 0;
    crd_conn_(0, "    ", ierr);
    std::set<std::pair<int, int>> found, listed;
    for (int i = 1; i <= r_scratch.c1_natom; ++i)
      for (int j = 1; j <= r_scratch.s1_ndist(i); ++j)
        found.insert({std::min(i, r_scratch.s1_conn(j, i)), std::max(i, r_scratch.s1_conn(j, i))});
    for (const auto& b : c.bonds) {
      const int i = c.index(b.a1), j = c.index(b.a2);
      listed.insert({std::min(i, j), std::max(i, j)});
    }
    EXPECT_EQ(found, listed) << code;
  }
}

}  // namespace
