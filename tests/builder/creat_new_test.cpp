// The whole builder on real components entered as residues the library
// lacks: the heavy atoms of each component's ideal coordinates in, a
// complete description out, with hydrogens rebuilt where the component has
// them; metal centres of zinc and cadmium; the driver's own refusals.
#include "builder/creat_new.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "../dictionary/component_l1.h"
#include "builder/h_coords.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "l1_fixture.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace {

using fx::R;

const char* const kCodes[] = {"ALA", "ARG", "ASN", "ASP", "CYS", "GLN", "GLU", "GLY", "HIS", "ILE",
                              "LEU", "LYS", "MET", "PHE", "PRO", "SER", "THR", "TRP", "TYR", "VAL",
                              "HOH", "ZN",  "CD",  "NAG", "A",   "DA",  "ACE", "NH2"};

struct CreatNew : testing::Test {
  void SetUp() override {
    set_cif_types_();
    fx::small_energy_library();
    // Neutron C-H, N-H and O-H lengths of the energy-library header, for the
    // carbon, nitrogen and oxygen types the components take.
    for (const char* t : {"CH2", "CH3", "CR16", "CR15", "CSP1", "C1", "CR6", "CR5"})
      fx::energy_bond(t, "H", 1.083f, "single");
    for (const char* t : {"NH2", "NR15", "NR16", "NT1", "NT2", "NT3", "N"})
      fx::energy_bond(t, "H", 1.009f, "single");
    for (const char* t : {"OH1", "OH2", "O2"}) fx::energy_bond(t, "H", 0.967f, "single");
    R().leg_nangl = R().let_ntors = 0;
    // Metal-water oxygen distances of Harding (2001), Acta Cryst. D57, 401-411:
    // Zn-O 2.09, Cd-O 2.30.
    fx::energy_type("ZN", "ZN");
    fx::energy_type("CD", "CD");
    fx::energy_type("OH2", "O");
    fx::energy_bond("ZN", "OH2", 2.09f, "metal");
    fx::energy_bond("CD", "OH2", 2.30f, "metal");
  }
  // L1 holding the component's heavy atoms as a residue: atoms only.
  void residue(const char* code) {
    const std::string c = code;
    if (c == "ZN" || c == "CD") {
      // One-atom components are written without loops: the ion at the origin.
      fx::clear_l1(code);
      fx::atom(code, code, 0, 0, 0);
    } else {
      comp::load_l1(comp::read(code), code, true, false);
    }
    R().l1l_prsnt = "N";
    R().l1l_type = ".";
    R().l1c_nchir = 0;
    // A residue comes in without charges; the valency stage sets them.
    for (int i = 1; i <= R().l1a_natom; ++i) R().l1a_charg(i) = 0.0f;
  }
  int32_t build(const char* mode = "    ", char list = 'N', const char* prog = "?") {
    int32_t ierr = -1;
    out = captured([&] { creat_new_(0, list, mode, "            ", prog, 0.0f, ierr); });
    return ierr;
  }
  std::string out;
};

// Heavy neighbours and hydrogens of atom a in the tree (back and forward
// atoms, ring closures).
std::pair<int, int> neighbour_counts(int a) {
  int32_t n = 0, nh = 0, c[MAX1BRN];
  set_conn_l_(a, n, nh, c);
  return {n - nh, nh};
}

// Distance of point p from the plane through a, b and c.
float off_plane(const comp::Atom& a, const comp::Atom& b, const comp::Atom& c,
                const comp::Atom& p) {
  const float u[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, v[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
  const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                      u[0] * v[1] - u[1] * v[0]};
  const float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  return std::fabs(n[0] * (p.x - a.x) + n[1] * (p.y - a.y) + n[2] * (p.z - a.z)) / len;
}

TEST_F(CreatNew, EveryComponentGetsACompleteDescription) {
  for (const char* code : kCodes) {
    residue(code);
    const int32_t st = build();
    ASSERT_EQ(st, 0) << code << "\n" << out;
    const r_scratch_t& s = R();
    EXPECT_EQ(s.l1l_prsnt.str(), ".") << code;
    EXPECT_EQ(s.l1l_fuse.str(), "C") << code;
    for (int b = 1; b <= s.l1b_nbond; ++b) EXPECT_GT(s.l1b_val(b), 0.5f) << code << " bond " << b;
    for (int g = 1; g <= s.l1g_nangl; ++g) EXPECT_GT(s.l1g_val(g), 30.0f) << code << " angle " << g;
    for (int t = 1; t <= s.l1t_ntors; ++t) {
      EXPECT_FALSE(s.l1t_label(t).is_blank()) << code << " torsion " << t;
      EXPECT_LE(std::fabs(s.l1t_val(t)), 360.0f) << code << " torsion " << t;
    }
    for (int c = 1; c <= s.l1c_nchir; ++c) {
      EXPECT_FALSE(s.l1c_sign(c).is_blank()) << code << " chiral " << c;
      EXPECT_NE(s.l1c_vol(c), 0.0f) << code << " chiral " << c;
    }
    for (int p = 1; p <= s.l1p_nplan; ++p)
      for (int q = 1; q <= s.l1p_natom(p); ++q)
        EXPECT_FLOAT_EQ(s.l1p_dev(q, p), 0.02f) << code << " plane " << p;
    // Every bond between heavy atoms has an angle at each end that it shares.
    if (s.l1a_natom > 2) {
      EXPECT_GT(s.l1g_nangl, 0) << code;
    }
  }
}

// The neighbours fix a hydrogen's place when the carrier has three heavy
// neighbours, two with two hydrogens (tetrahedral), or two with one hydrogen
// in their plane (trigonal, judged on the component).  One heavy neighbour
// leaves a rotor, whose torsion decides; one hydrogen off the plane of two
// heavy neighbours (a pyramidal amine) may invert.
TEST_F(CreatNew, RebuiltHydrogensLieOnTheComponentsOwn) {
  for (const char* code : kCodes) {
    if (std::string(code) == "ZN" || std::string(code) == "CD") continue;
    const comp::Component whole = comp::read(code);
    auto named = [&](const std::string& n) -> const comp::Atom* {
      for (const comp::Atom& a : whole.atoms)
        if (a.name == n) return &a;
      return nullptr;
    };
    residue(code);
    ASSERT_EQ(build(), 0) << code;
    const r_scratch_t& s = R();
    int checked = 0;
    for (int h = 1; h <= s.l1a_natom; ++h) {
      if (!(s.l1a_atype(h) == "H")) continue;
      const int c = s.l1a_iback(h);
      if (c <= 0) continue;
      const auto [heavy, nh] = neighbour_counts(c);
      if (heavy < 2 || (heavy == 2 && nh > 2)) continue;
      EXPECT_EQ(s.l1a_coor_flag(h).str(), "Y") << code << " " << s.l1a_aname(h).str();
      // The component's hydrogens and heavy neighbours of the same atom.
      const std::string carrier(s.l1a_aname(c).trimmed());
      std::vector<const comp::Atom*> hs, hv;
      for (const auto& [a1, a2] : whole.bonds) {
        const std::string other = a1 == carrier ? a2 : (a2 == carrier ? a1 : "");
        if (const comp::Atom* a = named(other)) (comp::hydrogen(*a) ? hs : hv).push_back(a);
      }
      if (hs.empty()) continue;  // a hydrogen the component lacks (an acid taken as anion)
      if (heavy == 2 && nh == 1 && hv.size() == 2 &&
          off_plane(*named(carrier), *hv[0], *hv[1], *hs[0]) > 0.1f)
        continue;
      float best = 1e9f;
      for (const comp::Atom* a : hs)
        best = std::min(best, std::hypot(a->x - s.l1a_x(h), a->y - s.l1a_y(h), a->z - s.l1a_z(h)));
      // In a five-membered ring the component's hydrogen leans off the
      // bisector of the ring bonds that the builder uses (HIS HD2 by 0.19).
      const bool five = s.l1a_nring(c) > 0 && s.l1a_ring_ord(1, c) == 5;
      EXPECT_LT(best, five ? 0.2f : 0.1f)
          << code << " " << s.l1a_aname(h).str() << " on " << carrier;
      ++checked;
    }
    // CA, CB (2) and the five ring carbons, the one that closes the ring too.
    if (std::string(code) == "PHE") {
      EXPECT_EQ(checked, 8) << code;
    }
  }
}

TEST_F(CreatNew, TorsionsAboutFlatRingBondsAreZeroOr180) {
  for (const char* code : {"PHE", "TYR", "HIS", "TRP", "A", "DA"}) {
    residue(code);
    ASSERT_EQ(build(), 0) << code;
    const r_scratch_t& s = R();
    int n = 0;
    for (int t = 1; t <= s.l1t_ntors; ++t) {
      const int a = s.l1t_i2atm(t), b = s.l1t_i3atm(t);
      bool flat_shared = false;
      for (int i = 1; i <= s.l1a_nring(a); ++i)
        for (int j = 1; j <= s.l1a_nring(b); ++j)
          if (s.l1a_ring_id(i, a) == s.l1a_ring_id(j, b) && s.l1a_ring_flat(i, a) > 0 &&
              s.l1a_ring_flat(j, b) > 0)
            flat_shared = true;
      if (!flat_shared) continue;
      ++n;
      const float v = std::fabs(s.l1t_val(t));
      EXPECT_TRUE(v < 0.01f || std::fabs(v - 180.0f) < 0.01f)
          << code << " " << s.l1t_1atm(t).str() << s.l1t_2atm(t).str() << s.l1t_3atm(t).str()
          << s.l1t_4atm(t).str() << " = " << s.l1t_val(t);
    }
    EXPECT_GT(n, 0) << code;
  }
}

TEST_F(CreatNew, TestModeMakesObservedValuesIdeal) {
  residue("TYR");
  ASSERT_EQ(build("TEST"), 0);
  const r_scratch_t& s = R();
  for (int b = 1; b <= s.l1b_nbond; ++b)
    if (s.l1b_vobs(b) > 0.001f) {
      EXPECT_FLOAT_EQ(s.l1b_val(b), s.l1b_vobs(b)) << "bond " << b;
    }
  for (int g = 1; g <= s.l1g_nangl; ++g)
    if (s.l1g_vobs(g) > 0.001f) {
      EXPECT_FLOAT_EQ(s.l1g_val(g), s.l1g_vobs(g)) << "angle " << g;
    }
}

TEST_F(CreatNew, ZincAndCadmiumCentresGetTheirCoordinationGeometry) {
  // The metal with four to six water oxygens at 2.1 Angstrom on the ideal
  // directions of a tetrahedron, square pyramid and octahedron.
  const float t = 2.1f / std::sqrt(3.0f);
  struct Row {
    const char* label;
    const char* metal;
    std::vector<std::vector<float>> at;
    const char* sign;
  } rows[] = {
      {"four at a tetrahedron", "ZN", {{t, t, t}, {t, -t, -t}, {-t, t, -t}, {-t, -t, t}}, "both"},
      {"five at a square pyramid",
       "CD",
       {{0, 0, 2.1f}, {2.1f, 0, 0}, {0, 2.1f, 0}, {-2.1f, 0, 0}, {0, -2.1f, 0}},
       "cross4"},
      {"six at an octahedron",
       "ZN",
       {{0, 0, 2.1f}, {2.1f, 0, 0}, {0, 2.1f, 0}, {-2.1f, 0, 0}, {0, -2.1f, 0}, {0, 0, -2.1f}},
       "cross4"},
  };
  for (const Row& row : rows) {
    fx::clear_l1(row.metal);
    fx::atom(row.metal, row.metal, 0, 0, 0);
    int k = 0;
    for (const auto& p : row.at) {
      const std::string n = 'O' + std::to_string(++k);
      fx::atom(n.c_str(), "O", p[0], p[1], p[2]);
    }
    R().l1l_type = ".";
    ASSERT_EQ(build(), 0) << row.label << "\n" << out;
    int metal_rows = 0;
    for (int c = 1; c <= R().l1c_nchir; ++c)
      if (R().l1c_1atm(c) == row.metal) {
        ++metal_rows;
        EXPECT_EQ(std::string(R().l1c_sign(c).trimmed()), row.sign) << row.label;
      }
    EXPECT_EQ(metal_rows, 1) << row.label;
  }
}

TEST_F(CreatNew, FinishedMonomerIsDrawnUnlessTheProgramWordBeginsWithAQuestionMark) {
  TempDir dir;
  crdinf.crps_iun = 51;
  crdinf.cro_file = dir.path() + "/out";
  crdinf.crps_path = dir.path() + "/";
  crdinf.crps_file = "model";
  crdinf.crps_ext = "ps";
  residue("SER");
  ASSERT_EQ(build("    ", 'N', "?dravneck"), 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  residue("SER");
  ASSERT_EQ(build("    ", 'N', "dravneck"), 0);
  rt::close_all_units();
  EXPECT_TRUE(std::filesystem::exists(dir.file("out_SER.cif")));
  EXPECT_TRUE(std::filesystem::exists(dir.file("out_SER.pdb")));
}

TEST_F(CreatNew, OneAtomResidueIsItsOwnType) {
  residue("ZN");
  ASSERT_EQ(build(), 0);
  EXPECT_EQ(R().l1a_chem(1).str(), "ZN  ");
  EXPECT_EQ(R().l1a_forw(1).str(), "END ");
  EXPECT_EQ(R().l1a_istart, 1);
  EXPECT_EQ(R().l1b_nbond, 0);
}

TEST_F(CreatNew, ResidueInTwoPiecesIsRefused) {
  fx::clear_l1("TWO");
  fx::atom("C1", "C", 0, 0, 0);
  fx::atom("C2", "C", 1.5f, 0, 0);
  fx::atom("C3", "C", 8, 0, 0);
  fx::atom("C4", "C", 9.5f, 0, 0);
  R().l1l_type = ".";
  EXPECT_NE(build(), 0);
  EXPECT_EQ(R().l1l_prsnt.str(), "N");
}

// The metal check fails, the coordinates are complete: the pass goes on
// without the ring correction and the build succeeds, the centre without a row.
TEST_F(CreatNew, MetalWithMoreLigandsThanAnyGeometryIsWarnedAbout) {
  // Eight oxygens on the corners of a cube around cadmium.
  fx::clear_l1("CD8");
  fx::atom("CD", "CD", 0, 0, 0);
  int k = 0;
  for (float x : {-1.3f, 1.3f})
    for (float y : {-1.3f, 1.3f})
      for (float z : {-1.3f, 1.3f}) {
        const std::string n = 'O' + std::to_string(++k);
        fx::atom(n.c_str(), "O", x, y, z);
      }
  R().l1l_type = ".";
  EXPECT_EQ(build(), 0);
  EXPECT_EQ(R().l1c_nchir, 0);
  EXPECT_NE(out.find(" WARNING: there is not metal chirality for:CD"), std::string::npos) << out;
  EXPECT_NE(out.find(" WARNING: coords are not good enough to create Chirality"),
            std::string::npos);
}

TEST_F(CreatNew, DriverRefusalsHaveTheirMessages) {
  struct Row {
    const char* label;
    char list;
    const char* prsnt;
    std::vector<const char*> names;
    const char* out;
  } rows[] = {
      {"presence mode not N or M",
       'L',
       ".",
       {"C1"},
       "  ERROR in MAKE_NEW: BAD      : L1L_PRSNT must be N or M\n"},
      {"no atoms", 'N', "N", {}, "  ERROR: number of atoms in new monomer BAD      =    0\n"},
      {"three equal names",
       'N',
       "N",
       {"C1", "C1", "C1"},
       "  ERROR : BAD      : duplicated atom_name : \"C1  \".\n"
       "  ERROR : BAD      : duplicated atom_name : \"C1  \".\n"
       "  ERROR : BAD      : duplicated atom_name : \"C1  \".\n"},
      {"silent", 'S', "N", {"C1", "C1"}, ""},
  };
  for (const Row& row : rows) {
    fx::clear_l1("BAD");
    R().l1l_prsnt = row.prsnt;
    float x = 0;
    for (const char* n : row.names) fx::atom(n, "C", x += 1.5f, 0, 0);
    EXPECT_EQ(build("    ", row.list), 1) << row.label;
    EXPECT_EQ(out, row.out) << row.label;
  }
}

}  // namespace

namespace {

TEST_F(CreatNew, TraceModeWritesItsMarkersAndStillBuilds) {
  residue("PRO");
  ASSERT_EQ(build("    ", 'T'), 0) << out;
  for (const char* marker : {" ---make_new :prsnt,coor: N N\n", " --- before ring -- chem_flag:N\n",
                             "---CALC_VOBSN--\n", "---end CALC_VOBSN--\n",
                             "---CHECK_METAL_CHIR-- 1\n", " --- ps---\n", " ---end  make_new---\n"})
    EXPECT_NE(out.find(marker), std::string::npos) << marker;
}

}  // namespace

namespace {

// With the user's bond list, all typed, no bond-typing stage runs and the
// build goes through to the end.
TEST_F(CreatNew, BondListWithEveryTypeGivenBuildsWithoutTyping) {
  comp::load_l1(comp::read("SER"), "SER", true, true);
  R().l1l_prsnt = "M";
  R().l1l_type = ".";
  R().l1c_nchir = 0;
  for (int i = 1; i <= R().l1a_natom; ++i) R().l1a_charg(i) = 0.0f;
  ASSERT_EQ(build(), 0) << out;
  EXPECT_EQ(out.find("We are here"), std::string::npos);
  EXPECT_EQ(R().l1l_prsnt.str(), ".");
  EXPECT_GT(R().l1t_ntors, 0);
}

}  // namespace
