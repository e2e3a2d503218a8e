// The largest twist of a flat ring: a double bond of a five-membered ring
// (cyclopentene's C1=C2, its other ring atoms saturated) stays double while
// the model twists the ring about it by less than 25 degrees and becomes
// single beyond, whatever its length.
#include <gtest/gtest.h>

#include <cmath>

#include "builder/conjugation.h"
#include "l1_fixture.h"

namespace {

using fx::atom;
using fx::bond;

constexpr float kRad = 3.14159265f / 180.0f;

// Cyclopentene with the ring torsion C5-C1-C2-C3 at `twist` degrees and
// C1=C2 (1.335 A) typed double; returns that bond.
int cyclopentene(float twist) {
  fx::clear_l1();
  const float s = 1.50f * std::sin(110.0f * kRad), c = -1.50f * std::cos(110.0f * kRad);
  const float c3[3] = {1.335f + c, s * std::cos(twist * kRad), s * std::sin(twist * kRad)};
  const float c5[3] = {-c, s, 0.0f};
  atom("C1", "C", 0, 0, 0);
  atom("C2", "C", 1.335f, 0, 0);
  atom("C3", "C", c3[0], c3[1], c3[2]);
  atom("C4", "C", (c3[0] + c5[0]) / 2, (c3[1] + c5[1]) / 2 + 0.9f, (c3[2] + c5[2]) / 2);
  atom("C5", "C", c5[0], c5[1], c5[2]);
  // H1 and H2 in the plane of their carbon's ring neighbours, so that C1
  // and C2 are trigonal; two hydrogens on each saturated carbon.
  // The hydrogen 1.08 A from its carbon x0, opposite the bisector of the
  // directions to the carbon's two ring neighbours p and q.
  auto trigonal_h = [](const char* name, const float* x0, const float* p, const float* q) {
    float u[3], l1 = 0, l2 = 0, l = 0;
    for (int k = 0; k < 3; ++k) l1 += (p[k] - x0[k]) * (p[k] - x0[k]);
    for (int k = 0; k < 3; ++k) l2 += (q[k] - x0[k]) * (q[k] - x0[k]);
    for (int k = 0; k < 3; ++k) {
      u[k] = (p[k] - x0[k]) / std::sqrt(l1) + (q[k] - x0[k]) / std::sqrt(l2);
      l += u[k] * u[k];
    }
    l = std::sqrt(l);
    atom(name, "H", x0[0] - 1.08f * u[0] / l, x0[1] - 1.08f * u[1] / l, x0[2] - 1.08f * u[2] / l);
  };
  const float c1[3] = {0, 0, 0}, c2[3] = {1.335f, 0, 0};
  trigonal_h("H1", c1, c2, c5);
  trigonal_h("H2", c2, c1, c3);
  const char* sat[] = {"C3", "C4", "C5"};
  const char* hs[3][2] = {{"H31", "H32"}, {"H41", "H42"}, {"H51", "H52"}};
  for (int k = 0; k < 3; ++k) {
    const int i = fx::index_of(sat[k]);
    const r_scratch_t& r = fx::R();
    atom(hs[k][0], "H", r.l1a_x(i), r.l1a_y(i) + 0.6f, r.l1a_z(i) + 0.9f);
    atom(hs[k][1], "H", r.l1a_x(i), r.l1a_y(i) + 0.6f, r.l1a_z(i) - 0.9f);
  }
  const int dbl = bond("C1", "C2", "double");
  bond("C2", "C3", "single");
  bond("C3", "C4", "single");
  bond("C4", "C5", "single");
  bond("C5", "C1", "single");
  bond("C1", "H1", "single");
  bond("C2", "H2", "single");
  for (int k = 0; k < 3; ++k)
    for (const char* h : hs[k]) bond(sat[k], h, "single");
  fx::ring(1, {"C1", "C2", "C3", "C4", "C5"}, false);
  return dbl;
}

}  // namespace

TEST(RingTwist, RingDoubleBondStaysDoubleOnlyBelowTheLargestFlatTwist) {
  const struct {
    const char* label;
    float twist;
    const char* type;
  } rows[] = {
      {"flat (0 degrees)", 0.0f, "double"},
      {"24 degrees: still a flat ring's twist", 24.0f, "double"},
      {"26 degrees: beyond it", 26.0f, "single"},
      {"-26 degrees: beyond it the other way", -26.0f, "single"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const int dbl = cyclopentene(row.twist);
    builder::settle_ring_systems();
    EXPECT_EQ(fx::type_of(dbl), row.type);
    EXPECT_EQ(fx::type_of(dbl + 1), "single");  // C2-C3, at a saturated carbon
  }
}
