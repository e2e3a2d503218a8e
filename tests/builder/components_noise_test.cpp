// Every component of tests/data/components_subset.cif through the chemistry
// stages of the builder, on its ideal coordinates and on the same
// coordinates moved at random by up to 0.1 A (fixed seeds), compared with
// the component's own table: bond orders, aromatic atoms, hydrogen counts
// and chiral rows.  The builder must say the same on both: noise far below
// the error of a deposited model changes no type, no hydrogen and no hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../dictionary/component_l1.h"
#include "component_build.h"
#include "support/random_moves.h"
#include "builder/bond_types.h"
#include "builder/chem_types.h"
#include "builder/chiral_centres.h"
#include "builder/conjugation.h"
#include "builder/planes.h"
#include "builder/valency.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/new_bonds.h"
#include "dictionary/ring_perception.h"
#include "l1_fixture.h"

namespace {

using fx::R;

// Every block of the components file, in file order.
std::vector<std::string> all_codes() {
  std::ifstream in(std::string(ORB_TEST_DATA_DIR) + "/components_subset.cif");
  std::vector<std::string> out;
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("data_", 0) == 0) out.push_back(line.substr(5));
  return out;
}

// The component's bonds with their order ("AROM" when flagged aromatic).
std::map<std::pair<std::string, std::string>, std::string> orders(const std::string& code) {
  std::ifstream in(std::string(ORB_TEST_DATA_DIR) + "/components_subset.cif");
  std::map<std::pair<std::string, std::string>, std::string> out;
  std::string line;
  bool in_block = false, bonds = false;
  while (std::getline(in, line)) {
    if (line.rfind("data_", 0) == 0) {
      if (in_block) break;
      in_block = line == "data_" + code;
    } else if (in_block && line.rfind("_chem_comp_bond.pdbx_ordinal", 0) == 0) {
      bonds = true;
    } else if (line.rfind("#", 0) == 0) {
      bonds = false;
    } else if (in_block && bonds) {
      const std::vector<std::string> w = comp::words(line);
      if (w.size() >= 5) out[{w[1], w[2]}] = w[4] == "Y" ? "AROM" : w[3];
    }
  }
  return out;
}

using Moves = RandomMoves;

// The stages from bonds found from distances to planes.
void build(const comp::Component& c, const std::string& code, bool heavy_only) {
  comp::build_stages(c, code, heavy_only);
}

double volume(const comp::Atom& c, const comp::Atom& a, const comp::Atom& b, const comp::Atom& d) {
  const double v[3][3] = {{a.x - c.x, a.y - c.y, a.z - c.z},
                          {b.x - c.x, b.y - c.y, b.z - c.z},
                          {d.x - c.x, d.y - c.y, d.z - c.z}};
  return v[0][0] * (v[1][1] * v[2][2] - v[1][2] * v[2][1]) -
         v[0][1] * (v[1][0] * v[2][2] - v[1][2] * v[2][0]) +
         v[0][2] * (v[1][0] * v[2][1] - v[1][1] * v[2][0]);
}

// What the builder left, against the component (`ideal` its own
// coordinates): "bond A-B type" where a bond order differs, "arom A" where
// an atom's aromatic flag differs, "H A n" where the hydrogen count does,
// "flat A" for a chiral row at an atom the component has flat and "hand A"
// for a signed row of the other hand.
std::string differences(const std::string& code, const comp::Component& ideal) {
  std::string d;
  std::map<std::string, const comp::Atom*> at;
  for (const comp::Atom& a : ideal.atoms) at[a.name] = &a;
  std::map<std::string, int> hydrogens;
  std::map<std::string, std::vector<std::string>> heavy;
  for (const auto& [a1, a2] : ideal.bonds) {
    if (comp::hydrogen(*at[a2])) ++hydrogens[a1];
    else heavy[a1].push_back(a2);
    if (comp::hydrogen(*at[a1])) ++hydrogens[a2];
    else heavy[a2].push_back(a1);
  }
  std::set<std::string> arom_want, arom_got;
  for (const auto& [pair, order] : orders(code)) {
    const int i = comp::l1_atom(pair.first.c_str()), j = comp::l1_atom(pair.second.c_str());
    if (i == 0 || j == 0) continue;
    if (order == "AROM") arom_want.insert({pair.first, pair.second});
    float val = 0.0f;
    int32_t lb = 0, st = 0;
    srch_bond_(0, "", i, j, val, lb, st);
    const std::string got = st == 0 ? fx::type_of(lb) : "missing";
    if (got == "aromatic") arom_got.insert({pair.first, pair.second});
    const std::string want = order == "AROM"   ? "aromatic"
                             : order == "DOUB" ? "double"
                             : order == "TRIP" ? "triple"
                                               : "single";
    if (got != want) d += "bond " + pair.first + "-" + pair.second + " " + got + "; ";
  }
  for (const comp::Atom& a : ideal.atoms) {
    if (comp::hydrogen(a)) continue;
    if (arom_want.count(a.name) != arom_got.count(a.name)) d += "arom " + a.name + "; ";
  }
  for (int i = 1; i <= R().l1a_natom; ++i) {
    if (R().l1a_atype(i) == "H") continue;
    const std::string n(R().l1a_aname(i).trimmed());
    if (R().l1a_lencon(1, i) != hydrogens[n])
      d += "H " + n + " " + std::to_string(R().l1a_lencon(1, i)) + "; ";
  }
  for (int k = 1; k <= R().l1c_nchir; ++k) {
    const std::string names[4] = {
        std::string(R().l1c_1atm(k).trimmed()), std::string(R().l1c_2atm(k).trimmed()),
        std::string(R().l1c_3atm(k).trimmed()), std::string(R().l1c_4atm(k).trimmed())};
    const std::vector<std::string>& hv = heavy[names[0]];
    const bool three_heavy = hv.size() == 3 && hydrogens[names[0]] == 0;
    if (three_heavy && std::fabs(volume(*at[names[0]], *at[hv[0]], *at[hv[1]], *at[hv[2]])) < 0.5) {
      d += "flat " + names[0] + "; ";
      continue;
    }
    const std::string sign(R().l1c_sign(k).trimmed());
    if (sign == "both" || !at[names[1]] || !at[names[2]] || !at[names[3]]) continue;
    const double v = volume(*at[names[0]], *at[names[1]], *at[names[2]], *at[names[3]]);
    if ((v >= 0) != (sign == "positiv")) d += "hand " + names[0] + "; ";
  }
  return d;
}

// Components with something to build: more than one heavy atom.
std::vector<std::string> built_codes() {
  std::vector<std::string> out;
  for (const std::string& code : all_codes())
    if (code != "HOH" && code != "ZN" && code != "CD" && code != "NH2") out.push_back(code);
  return out;
}

comp::Component moved(const comp::Component& ideal, double most, uint64_t seed) {
  comp::Component c = ideal;
  Moves m{seed * 7919};
  for (comp::Atom& a : c.atoms) m.move(a, most);
  return c;
}

class ComponentsOnModelCoordinates : public testing::Test {
 protected:
  void SetUp() override { comp::component_energy_library(); }
};

}  // namespace

TEST_F(ComponentsOnModelCoordinates, IdealCoordinatesGiveTheComponentsChemistry) {
  // Differences by the rules only: without hydrogens an acid or phosphate is
  // taken as the anion (delocalised, no hydrogen on its oxygens), the lysine
  // amine is neutral, the imidazole carries one hydrogen (on the nitrogen
  // the ring's double bonds leave), the guanidinium bonds are delocalised.
  // No chiral row on a flat atom, no hand against the component's.
  const std::string acid = "bond C-O deloc; bond C-OXT deloc; ";
  const std::map<std::string, std::string> heavy = {
      {"ARG", acid + "bond CZ-NH1 deloc; bond CZ-NH2 deloc; bond NE-CZ deloc; H OXT 0; "},
      {"ASP", acid + "bond CG-OD1 deloc; bond CG-OD2 deloc; H OD2 0; H OXT 0; "},
      {"GLU", acid + "bond CD-OE1 deloc; bond CD-OE2 deloc; H OE2 0; H OXT 0; "},
      {"HIS", acid + "H ND1 0; H OXT 0; "},
      {"LYS", acid + "H NZ 2; H OXT 0; "},
      {"NAG", ""},
      {"ACE", ""},
      {"A", "bond OP3-P deloc; bond P-OP1 deloc; bond P-OP2 deloc; H OP3 0; H OP2 0; "},
      {"DA", "bond OP3-P deloc; bond P-OP1 deloc; bond P-OP2 deloc; H OP3 0; H OP2 0; "},
  };
  for (const std::string& code : built_codes()) {
    const comp::Component ideal = comp::read(code);
    build(ideal, code, true);
    const auto h = heavy.find(code);
    EXPECT_EQ(differences(code, ideal), h != heavy.end() ? h->second : acid + "H OXT 0; ")
        << code << " without hydrogens";
    build(ideal, code, false);
    EXPECT_EQ(differences(code, ideal),
              code == "ARG" ? "bond CZ-NH1 deloc; bond CZ-NH2 deloc; bond NE-CZ deloc; " : "")
        << code;
  }
}

TEST_F(ComponentsOnModelCoordinates, MovedCoordinatesGiveWhatTheIdealOnesGive) {
  struct Exception {
    const char* code;
    bool heavy_only;
    double most;
    uint64_t seed;
  };
  // Moves of 0.1 A that change the chemistry by the rules: a C-C bond moved
  // past the 1.7 A reach of bonds from distances (LEU); a chain carbon of
  // two neighbours opened beyond the tetrahedral angle and its bond to the
  // amine shortened to a C=N length (LYS);
  // the acetyl C=O lengthened to a single bond length at a carbon of two
  // heavy neighbours (ACE).
  const Exception exceptions[] = {
      {"LEU", true, 0.1, 3}, {"LEU", false, 0.1, 3}, {"LYS", true, 0.1, 20},
      {"ACE", true, 0.1, 6}, {"ACE", true, 0.1, 12},
  };
  int changed = 0;
  for (const std::string& code : built_codes()) {
    const comp::Component ideal = comp::read(code);
    for (const bool heavy_only : {true, false}) {
      build(ideal, code, heavy_only);
      const std::string want = differences(code, ideal);
      for (const double most : {0.02, 0.05, 0.1}) {
        for (uint64_t seed = 1; seed <= 20; ++seed) {
          build(moved(ideal, most, seed), code, heavy_only);
          bool excepted = false;
          for (const Exception& e : exceptions)
            excepted = excepted || (e.code == code && e.heavy_only == heavy_only &&
                                    e.most == most && e.seed == seed);
          const std::string got = differences(code, ideal);
          if (excepted) {
            changed += got != want;
            continue;
          }
          EXPECT_EQ(got, want) << code << (heavy_only ? " without hydrogens" : "") << " moved "
                               << most << " seed " << seed;
        }
      }
    }
  }
  EXPECT_EQ(changed, 5) << "an exception no longer changes anything: drop it";
}

TEST_F(ComponentsOnModelCoordinates, BondsOfAPuckeredRingStaySingleAtAnyLength) {
  // The proline ring twists by 39 degrees about CD-N and N-CA: moves spread
  // evenly through a sphere of 0.1 A shorten CD-N to a C=N length in most
  // seeds, and CD then loses a hydrogen unless the twist keeps the bond
  // single; so does either bond shortened outright to 1.30 A.  The ring is
  // flat about CB-CG and twists by 24 degrees about CG-CD, so the twist
  // leaves those two to their lengths.
  const comp::Component ideal = comp::read("PRO");
  const auto at_nitrogen = [](const std::string& d) {
    return d.find("bond N-CD") != std::string::npos || d.find("bond N-CA") != std::string::npos;
  };
  for (const bool heavy_only : {true, false}) {
    build(ideal, "PRO", heavy_only);
    const std::string want = differences("PRO", ideal);
    for (uint64_t seed = 1; seed <= 20; ++seed) {
      comp::Component c = ideal;
      Moves m{seed * 104729};
      for (comp::Atom& a : c.atoms) m.move_in_sphere(a, 0.1);
      build(c, "PRO", heavy_only);
      const std::string got = differences("PRO", ideal);
      if (got.find("bond CB-CG") == std::string::npos &&
          got.find("bond CG-CD") == std::string::npos)
        EXPECT_EQ(got, want) << (heavy_only ? "without hydrogens" : "") << " seed " << seed;
      else
        EXPECT_FALSE(at_nitrogen(got)) << got << (heavy_only ? " without hydrogens" : "")
                                       << " seed " << seed;
    }
    const std::pair<const char*, const char*> ring[] = {{"N", "CD"}, {"CA", "N"}};
    for (const auto& [fixed, pulled] : ring) {
      comp::Component c = ideal;
      comp::Atom *f = nullptr, *p = nullptr;
      for (comp::Atom& a : c.atoms) {
        if (a.name == fixed) f = &a;
        if (a.name == pulled) p = &a;
      }
      ASSERT_TRUE(f && p);
      const float d[3] = {p->x - f->x, p->y - f->y, p->z - f->z};
      const float s = 1.30f / std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      p->x = f->x + d[0] * s;
      p->y = f->y + d[1] * s;
      p->z = f->z + d[2] * s;
      build(c, "PRO", heavy_only);
      EXPECT_EQ(differences("PRO", ideal), want)
          << (heavy_only ? "without hydrogens " : "") << fixed << "-" << pulled << " at 1.30 A";
    }
  }
}

TEST_F(ComponentsOnModelCoordinates, MetalOnARingNitrogenLeavesTheRingAromatic) {
  // A zinc 2.05 A out from NE2 of the histidine, on the line from the
  // ring's centre: the nitrogen bound to it takes the ring's double bond, so
  // the hydrogen goes to ND1; the ring stays aromatic whatever the moves.
  fx::energy_type("ZN", "ZN");
  fx::energy_bond("NRD5", "ZN", 2.05f, "metal");
  comp::Component his = comp::read("HIS");
  double centre[3] = {0, 0, 0};
  const comp::Atom* ne2 = nullptr;
  for (const comp::Atom& a : his.atoms) {
    if (a.name == "NE2") ne2 = &a;
    if (a.name == "CG" || a.name == "ND1" || a.name == "CD2" || a.name == "CE1" ||
        a.name == "NE2") {
      centre[0] += a.x / 5.0;
      centre[1] += a.y / 5.0;
      centre[2] += a.z / 5.0;
    }
  }
  ASSERT_NE(ne2, nullptr);
  const double out[3] = {ne2->x - centre[0], ne2->y - centre[1], ne2->z - centre[2]};
  const double len = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
  his.atoms.push_back({"ZN", "ZN", static_cast<float>(ne2->x + 2.05 * out[0] / len),
                       static_cast<float>(ne2->y + 2.05 * out[1] / len),
                       static_cast<float>(ne2->z + 2.05 * out[2] / len)});
  const std::string want = "bond C-O deloc; bond C-OXT deloc; H NE2 0; H OXT 0; ";
  build(his, "HIS", true);
  EXPECT_EQ(differences("HIS", his), want);
  for (uint64_t seed = 1; seed <= 10; ++seed) {
    build(moved(his, 0.1, seed), "HIS", true);
    EXPECT_EQ(differences("HIS", his), want) << "seed " << seed;
  }
}

namespace {

// A flat six-membered ring (regular, sides 1.39 A) with substituents on the
// radial lines, for the ring stage on rings the components lack.
struct Substituent {
  int at;  // ring position 0..5
  const char* name;
  const char* symb;
  float length;
};

comp::Component hexagon(const char* const ring[6], const std::vector<Substituent>& outside) {
  comp::Component c;
  constexpr double kSide = 1.39;
  for (int k = 0; k < 6; ++k) {
    const double a = k * 3.14159265358979 / 3.0;
    const std::string n = ring[k];
    c.atoms.push_back({n, n.substr(0, 1), static_cast<float>(kSide * std::cos(a)),
                       static_cast<float>(kSide * std::sin(a)), 0.0f});
  }
  for (const Substituent& s : outside) {
    const double a = s.at * 3.14159265358979 / 3.0, r = kSide + s.length;
    c.atoms.push_back({s.name, s.symb, static_cast<float>(r * std::cos(a)),
                       static_cast<float>(r * std::sin(a)), 0.0f});
  }
  return c;
}

// Bonds other than single as "A-B type", then hydrogens as "A n" and
// charges as "A q" for every heavy atom that has any.
std::string chemistry() {
  std::string bonds, hydrogens, charges;
  for (int b = 1; b <= R().l1b_nbond; ++b) {
    const int i = std::abs(R().l1b_i1atm(b)), j = std::abs(R().l1b_i2atm(b));
    if (R().l1a_atype(i) == "H" || R().l1a_atype(j) == "H" || fx::type_of(b) == "single") continue;
    bonds += std::string(R().l1a_aname(i).trimmed()) + "-" +
             std::string(R().l1a_aname(j).trimmed()) + " " + fx::type_of(b) + "; ";
  }
  for (int i = 1; i <= R().l1a_natom; ++i) {
    if (R().l1a_atype(i) == "H") continue;
    const std::string n(R().l1a_aname(i).trimmed());
    if (R().l1a_lencon(1, i) > 0)
      hydrogens += n + " " + std::to_string(R().l1a_lencon(1, i)) + "; ";
    if (R().l1a_charg(i) != 0.0f)
      charges += n + " " + std::to_string(R().l1a_charg(i)).substr(0, 4) + "; ";
  }
  return bonds + "| " + hydrogens + "| " + charges;
}

}  // namespace

TEST_F(ComponentsOnModelCoordinates, FlatRingsTakeOneSetOfDoubleBondsForTheirHydrogens) {
  struct Case {
    const char* label;
    const char* ring[6];
    std::vector<Substituent> outside;
    const char* chemistry;
  };
  // Uracil keeps its carbonyls, so its ring is not aromatic and N3 keeps
  // its hydrogen; in the isocytosine the double bond at C2 goes to N3, away
  // from the carbonyl, so that N1 keeps its hydrogen (the lactam, as at
  // guanine's N1), though N1 comes first; a pyridinium nitrogen of three
  // neighbours takes the ring's double bond and the charge, and the ring is
  // aromatic.
  const Case cases[] = {
      {"1-methyluracil",
       {"N1", "C2", "N3", "C4", "C5", "C6"},
       {{0, "C7", "C", 1.47f}, {1, "O2", "O", 1.23f}, {3, "O4", "O", 1.23f}},
       "C2-O2 double; C4-O4 double; C5-C6 double; | N3 1; C5 1; C6 1; C7 3; | "},
      {"isocytosine",
       {"N1", "C2", "N3", "C4", "C5", "C6"},
       {{1, "N2", "N", 1.34f}, {5, "O6", "O", 1.23f}},
       "C2-N3 double; C4-C5 double; C6-O6 double; | N1 1; C4 1; C5 1; N2 2; | "},
      {"1-methylpyridinium",
       {"N1", "C2", "C3", "C4", "C5", "C6"},
       {{0, "C7", "C", 1.47f}},
       "N1-C2 aromatic; N1-C6 aromatic; C2-C3 aromatic; C3-C4 aromatic; C4-C5 aromatic; "
       "C5-C6 aromatic; | C2 1; C3 1; C4 1; C5 1; C6 1; C7 3; | N1 1.00; "},
  };
  for (const Case& c : cases) {
    const comp::Component flat = hexagon(c.ring, c.outside);
    build(flat, "RNG", true);
    EXPECT_EQ(chemistry(), c.chemistry) << c.label;
    for (uint64_t seed = 1; seed <= 5; ++seed) {
      build(moved(flat, 0.1, seed), "RNG", true);
      EXPECT_EQ(chemistry(), c.chemistry) << c.label << " moved, seed " << seed;
    }
  }
}

TEST_F(ComponentsOnModelCoordinates, TwoRingSystemsInOneResidueChooseAsEachAlone) {
  // The double bonds of each ring system are chosen apart from the other's:
  // a tryptophan laid beside an adenosine monophosphate in one residue
  // gives each bond the type it has when either is built alone.
  const auto types = [] {
    std::map<std::pair<std::string, std::string>, std::string> t;
    for (int b = 1; b <= R().l1b_nbond; ++b)
      t[{std::string(R().l1b_1atm(b).trimmed()), std::string(R().l1b_2atm(b).trimmed())}] =
          std::string(R().l1b_type(b).trimmed());
    return t;
  };
  for (uint64_t seed = 0; seed <= 3; ++seed) {
    comp::Component a = comp::read("A"), w = comp::read("TRP");
    if (seed > 0) {
      a = moved(a, 0.1, seed);
      w = moved(w, 0.1, seed + 10);
    }
    for (comp::Atom& x : w.atoms) {
      x.name += "W";
      x.x += 30.0f;
    }
    for (auto& [n1, n2] : w.bonds) n1 += "W", n2 += "W";
    build(a, "AMX", true);
    auto alone = types();
    build(w, "TRX", true);
    const auto trp = types();
    alone.insert(trp.begin(), trp.end());
    comp::Component both = a;
    both.atoms.insert(both.atoms.end(), w.atoms.begin(), w.atoms.end());
    build(both, "BTH", true);
    EXPECT_EQ(types(), alone) << "seed " << seed;
    int aromatic = 0;
    for (const auto& [pair, t] : alone) aromatic += t == "aromatic" ? 1 : 0;
    EXPECT_GE(aromatic, 20) << "seed " << seed;
  }
}
