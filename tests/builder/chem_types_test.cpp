// Chemical types from element, neighbour and hydrogen counts, flat rings and
// oxygen groups, checked against the energy library.
#include "builder/chem_types.h"

#include <gtest/gtest.h>

#include "l1_fixture.h"
#include "support/capture.h"

namespace {

using fx::atom;
using fx::bond;
using fx::chem_of;
using fx::R;

class ChemTypes : public testing::Test {
 protected:
  void SetUp() override {
    fx::clear_l1();
    fx::small_energy_library();
  }
  int32_t run() {
    int32_t ierr = -1;
    out = captured([&] { check_chem_dd_min_(0, 'L', ierr); });
    return ierr;
  }
  std::string out;
};

// Atom "X" of element symb with `heavy` carbon neighbours and `h` hydrogens.
void star(const char* symb, int heavy, int h, int flag = 0) {
  atom("X", symb);
  R().l1a_ichir(1) = flag;
  for (int k = 1; k <= heavy; ++k) {
    const std::string n = 'C' + std::to_string(k);
    atom(n.c_str(), "C");
    bond("X", n.c_str(), "single");
  }
  for (int k = 1; k <= h; ++k) {
    const std::string n = 'H' + std::to_string(k);
    atom(n.c_str(), "H");
    bond("X", n.c_str(), "single");
  }
}

// Benzene C1..C6 with hydrogens H1..H6, ring 1 recorded as perception leaves it.
void benzene(const char* sixth = "C") {
  const char* cs[] = {"C1", "C2", "C3", "C4", "C5", "C6"};
  for (int k = 0; k < 6; ++k) atom(cs[k], k == 5 ? sixth : "C");
  for (int k = 0; k < 6; ++k) bond(cs[k], cs[(k + 1) % 6], "aromatic");
  for (int k = 0; k < 6; ++k) {
    const std::string h = 'H' + std::to_string(k + 1);
    atom(h.c_str(), "H");
    bond(cs[k], h.c_str(), "single");
  }
  fx::ring(1, {"C1", "C2", "C3", "C4", "C5", "C6"});
}

}  // namespace

TEST_F(ChemTypes, CountsDecideTypeAndFlag) {
  struct Case {
    const char* label;
    const char* symb;
    int heavy, h, flag_in;
    const char* type;
    int flag;
  };
  const Case cases[] = {
      {"methyl carbon", "C", 1, 3, 0, "CH3", 0},
      {"methine carbon", "C", 3, 1, 0, "CH1", 1},
      {"carbonyl-like carbon", "C", 3, 0, 0, "C", -1},
      {"sp carbon", "C", 2, 0, 0, "CSP", 0},
      {"ammonium nitrogen", "N", 1, 3, 0, "NT3", 0},
      {"pyramidal NH", "N", 2, 1, 2, "NT1", 2},
      {"water keeps its type, '.' becomes the element", "O", 0, 2, 0, "O", 0},
      {"thiol sulfur", "S", 1, 1, 0, "SH1", 0},
  };
  for (const Case& c : cases) {
    fx::clear_l1();
    star(c.symb, c.heavy, c.h, c.flag_in);
    run();
    EXPECT_EQ(chem_of("X"), c.type) << c.label;
    EXPECT_EQ(R().l1a_ichir(1), c.flag) << c.label;
  }
}

// A nitrogen (or phosphorus) on three carbons 1.45 A away, flagged a
// candidate centre by the bond stage, `lift` A above their plane (5 degrees
// of bend at 0.12, the pyramid of an amine at 0.5).  The type rules give a
// three-connected phosphorus a hand whatever its shape: flat, it loses it.
TEST_F(ChemTypes, ThreeConnectedAtomInItsNeighboursPlaneIsTypedFlat) {
  struct Case {
    const char* label;
    const char* symb;
    float lift;
    bool coords;
    const char* first_bond;
    const char* type;
    int flag;
  };
  const Case cases[] = {
      {"bent 5 degrees, as a base N of an NMR model", "N", 0.12f, true, "single", "N", -1},
      {"a real pyramid", "N", 0.5f, true, "single", "NT", 2},
      {"a pyramid with an aromatic bond", "N", 0.5f, true, "aromatic", "N", -1},
      {"bent 5 degrees without coordinates", "N", 0.12f, false, "single", "NT", 2},
      {"a flat phosphorus", "P", 0.05f, true, "single", "P", -1},
      {"a phosphorus pyramid", "P", 0.5f, true, "single", "P", 1},
  };
  for (const Case& c : cases) {
    fx::clear_l1();
    atom("X", c.symb, 0.0f, 0.0f, c.lift, c.coords);
    atom("C1", "C", 1.45f, 0.0f, 0.0f, c.coords);
    atom("C2", "C", -0.725f, 1.256f, 0.0f, c.coords);
    atom("C3", "C", -0.725f, -1.256f, 0.0f, c.coords);
    bond("X", "C1", c.first_bond);
    bond("X", "C2", "single");
    bond("X", "C3", "single");
    R().l1a_ichir(1) = 2;
    run();
    EXPECT_EQ(chem_of("X"), c.type) << c.label;
    EXPECT_EQ(R().l1a_ichir(1), c.flag) << c.label;
  }
}

TEST_F(ChemTypes, UnknownTypeWarnsAndFallsBackToTheElement) {
  atom("X1", "XX");
  atom("C1", "C");
  bond("X1", "C1", "single");
  run();
  EXPECT_EQ(chem_of("X1"), "XX");
  EXPECT_EQ(out,
            "  WARNING: NEW      : unknown chemical_type of atom X1 - \"XX\"\n"
            "                 default type is - \"XX\"\n");
}

TEST_F(ChemTypes, RingHoldingZincIsNeverFlat) {
  benzene("ZN");
  comlib.iquiet = 1;
  run();
  EXPECT_EQ(R().l1a_ring_flat(1, 1), 0);
  EXPECT_EQ(chem_of("C1"), "C1");
}

TEST_F(ChemTypes, LaterBondSearchDoesNotClearAFailure) {
  star("C", 0, 3);
  atom("N1", "N");
  atom("C9", "C");
  bond("N1", "C9", "triple");
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(chem_of("N1"), "NS");
}

TEST_F(ChemTypes, GroupOxygensTakeTheirGroupTypes) {
  struct Case {
    const char* label;
    const char* centre;
    int oxygens;
    const char* type;
  };
  const Case cases[] = {
      {"carboxylate", "C", 2, "OC"},
      {"sulfate", "S", 4, "OS"},
      {"phosphate", "P", 4, "OP"},
  };
  for (const Case& c : cases) {
    fx::clear_l1();
    comlib.iquiet = 1;
    atom("X", c.centre);
    for (int k = 1; k <= c.oxygens; ++k) {
      const std::string o = 'O' + std::to_string(k);
      atom(o.c_str(), "O");
      bond("X", o.c_str(), "deloc");
    }
    if (c.oxygens == 2) {
      atom("C9", "C");
      bond("X", "C9", "single");
    }
    run();
    for (int k = 1; k <= c.oxygens; ++k)
      EXPECT_EQ(chem_of(('O' + std::to_string(k)).c_str()), c.type) << c.label << " O" << k;
  }
}

// A five-ring X1, C2..C5 with a hydrogen on each carbon, bonds aromatic
// but the last (C5-X1) typed `last`.
void five_ring(const char* x, const char* last) {
  const std::string x1 = std::string(x) + "1";
  const char* ring[] = {x1.c_str(), "C2", "C3", "C4", "C5"};
  for (const char* n : ring) atom(n, n[0] == 'C' ? "C" : x);
  for (int k = 0; k < 5; ++k) bond(ring[k], ring[(k + 1) % 5], k == 4 ? last : "aromatic");
  for (const char* c : {"C2", "C3", "C4", "C5"}) {
    atom((std::string("H") + c).c_str(), "H");
    bond(c, (std::string("H") + c).c_str(), "single");
  }
  fx::ring(1, {ring[0], "C2", "C3", "C4", "C5"}, false);
}

TEST_F(ChemTypes, OxygenOfAnAromaticRingIsFlatWithItsRing) {
  // Furan: the oxygen takes the flat mark and keeps the type of an oxygen
  // of two neighbours; the carbons take ring types; the ring is flat.
  five_ring("O", "aromatic");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(R().l1a_ichir(1), -1);
  EXPECT_EQ(chem_of("O1") + " " + chem_of("C2"), "O2 CR15");
  EXPECT_EQ(R().l1a_ring_flat(1, 1), 1);
}

TEST_F(ChemTypes, SulfurOfARingWithASingleBondStaysOutOfTheFlatRings) {
  five_ring("S", "single");
  run();
  EXPECT_EQ(R().l1a_ichir(1), 0);
  EXPECT_EQ(chem_of("S1") + " " + chem_of("C3"), "S2 C1");
  EXPECT_EQ(R().l1a_ring_flat(1, fx::index_of("C2")), 0);
}

TEST_F(ChemTypes, RingSulfurOfThreeNeighboursTakesNoFlatMark) {
  // A thiophenium sulfur with a methyl: its lone pair is no longer the
  // ring's, so neither it nor its ring takes the flat mark, though every
  // ring bond is aromatic; the carbons keep the types of a ring not flat.
  five_ring("S", "aromatic");
  atom("C6", "C");
  bond("S1", "C6", "single");
  run();
  EXPECT_EQ(R().l1a_ichir(1), 0);
  EXPECT_EQ(R().l1a_ring_flat(1, fx::index_of("C2")), 0);
  EXPECT_EQ(chem_of("S1") + " " + chem_of("C2"), "S3 C1");
}
