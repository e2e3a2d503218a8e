// The chemistry stages on real components entered as residues the library
// lacks: ideal coordinates in, bonds found from distances, then bond types,
// charges, added hydrogens, chemical types, chiral centres and planes,
// compared with the component's own bond orders, aromatic flags and formal
// charges, and with chiral volumes computed here from the coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "../dictionary/component_l1.h"
#include "component_build.h"
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

// What the component says beyond atoms and bonds: formal charges, and per
// bond (names in file order) its order, "AROM" when flagged aromatic.
struct Facts {
  std::map<std::string, int> charge;
  std::map<std::pair<std::string, std::string>, std::string> order;
  std::map<std::string, std::string> stereo;  // "R" or "S" of the stereo centres
};

Facts facts(const std::string& code) {
  std::ifstream in(std::string(ORB_TEST_DATA_DIR) + "/components_subset.cif");
  Facts f;
  std::string line;
  int loop = 0;
  bool in_block = false;
  while (std::getline(in, line)) {
    if (line.rfind("data_", 0) == 0) {
      if (in_block) break;
      in_block = line == "data_" + code;
    } else if (in_block && line.rfind("_chem_comp_atom.pdbx_ordinal", 0) == 0) {
      loop = 1;
    } else if (in_block && line.rfind("_chem_comp_bond.pdbx_ordinal", 0) == 0) {
      loop = 2;
    } else if (line.rfind("#", 0) == 0) {
      loop = 0;
    } else if (in_block && loop != 0) {
      const std::vector<std::string> w = comp::words(line);
      if (loop == 1 && w.size() >= 15) f.charge[w[1]] = std::stoi(w[4]);
      if (loop == 1 && w.size() >= 15 && (w[8] == "R" || w[8] == "S")) f.stereo[w[1]] = w[8];
      if (loop == 2 && w.size() >= 5) f.order[{w[1], w[2]}] = w[4] == "Y" ? "AROM" : w[3];
    }
  }
  return f;
}

// The component's atoms (without hydrogens when heavy_only) through every
// stage up to planes.
void build(const std::string& code, bool heavy_only, int32_t itype_res = 1) {
  comp::build_stages(comp::read(code), code, heavy_only, itype_res);
}

const char* word_of(const std::string& order) {
  if (order == "AROM") return "aromatic";
  if (order == "DOUB") return "double";
  if (order == "TRIP") return "triple";
  return "single";
}

// Bonds whose type differs from the component's order, as "A-B type".
std::string bond_differences(const Facts& f) {
  std::string d;
  for (const auto& [pair, order] : f.order) {
    const int i = comp::l1_atom(pair.first.c_str()), j = comp::l1_atom(pair.second.c_str());
    if (i == 0 || j == 0) continue;
    float val = 0.0f;
    int32_t lb = 0, st = 0;
    srch_bond_(0, "", i, j, val, lb, st);
    const std::string got = st == 0 ? fx::type_of(lb) : "missing";
    if (got != word_of(order)) d += pair.first + "-" + pair.second + " " + got + "; ";
  }
  return d;
}

std::string charge_differences(const Facts& f) {
  std::string d;
  for (const auto& [name, q] : f.charge) {
    const int i = comp::l1_atom(name.c_str());
    if (i == 0) continue;
    const float got = R().l1a_charg(i);
    if (std::fabs(got - static_cast<float>(q)) > 0.01f)
      d += name + " " + std::to_string(got).substr(0, 5) + "; ";
  }
  return d;
}

class Components : public testing::Test {
 protected:
  void SetUp() override { comp::component_energy_library(); }
};

}  // namespace

TEST_F(Components, BondTypesFollowTheComponentsOrders) {
  struct Case {
    const char* code;
    bool heavy_only;
    const char* differences;
  };
  // Differences, each by the rules: the guanidinium carbon's bonds to its
  // three nitrogens are delocalised alike; without hydrogens a carboxylic
  // acid or phosphate is taken as the anion.  The rings take one set of
  // double bonds for the hydrogen count and are then aromatic as a whole.
  const Case cases[] = {
      {"ALA", false, ""},
      {"PHE", false, ""},
      {"TYR", false, ""},
      {"ASP", false, ""},
      {"MET", false, ""},
      {"LYS", false, ""},
      {"HIS", false, ""},
      {"TRP", false, ""},
      {"ARG", false, "CZ-NH1 deloc; CZ-NH2 deloc; NE-CZ deloc; "},
      {"NAG", false, ""},
      {"A", false, ""},
      {"ACE", true, ""},
      {"PHE", true, "C-O deloc; C-OXT deloc; "},
      {"HIS", true, "C-O deloc; C-OXT deloc; "},
      {"A", true, "OP3-P deloc; P-OP1 deloc; P-OP2 deloc; "},
  };
  for (const Case& c : cases) {
    build(c.code, c.heavy_only);
    EXPECT_EQ(bond_differences(facts(c.code)), c.differences)
        << c.code << (c.heavy_only ? " without hydrogens" : "");
  }
}

// Hydrogens added per heavy atom that differ from the component's, as "A n".
TEST_F(Components, HydrogensAreAddedWhereTheComponentHasThem) {
  struct Case {
    const char* code;
    const char* differences;
  };
  // Differences by the rules: acids taken as anions, the ammonium group as
  // an amine, and the imidazole's hydrogen on one nitrogen only (the ring
  // takes one double bond at a nitrogen, the first in atom order).
  const Case cases[] = {
      {"ACE", ""},
      {"ALA", "OXT 0; "},
      {"SER", "OXT 0; "},
      {"CYS", "OXT 0; "},
      {"ASP", "OD2 0; OXT 0; "},
      {"LYS", "NZ 2; OXT 0; "},
      {"ARG", "OXT 0; "},
      {"HIS", "ND1 0; OXT 0; "},
      {"NAG", ""},
      {"A", "OP3 0; OP2 0; "},
  };
  for (const Case& c : cases) {
    const comp::Component whole = comp::read(c.code);
    build(c.code, true);
    std::map<std::string, int> want;
    for (const auto& [a1, a2] : whole.bonds) {
      for (const comp::Atom& a : whole.atoms) {
        if (!comp::hydrogen(a)) continue;
        if (a.name == a2) ++want[a1];
        if (a.name == a1) ++want[a2];
      }
    }
    std::string d;
    for (int i = 1; i <= R().l1a_natom; ++i) {
      if (R().l1a_atype(i) == "H") continue;
      const std::string n(R().l1a_aname(i).trimmed());
      if (R().l1a_lencon(1, i) != want[n])
        d += n + " " + std::to_string(R().l1a_lencon(1, i)) + "; ";
    }
    EXPECT_EQ(d, c.differences) << c.code;
  }
}

TEST_F(Components, ChargesFollowTheComponentsFormalCharges) {
  struct Case {
    const char* code;
    const char* differences;
  };
  // Differences by the rules: the guanidinium bonds, all delocalised, sum
  // to 2.5 or 1.5 at each nitrogen and charge none.  A ring nitrogen of
  // three neighbours is charged only where its ring gives it a double bond
  // (the imidazolium of HIS with both its hydrogens).
  const Case cases[] = {
      {"LYS", ""}, {"ASP", ""}, {"ARG", "NH2 0.000; "}, {"HIS", ""}, {"TRP", ""}, {"A", ""},
  };
  for (const Case& c : cases) {
    build(c.code, false);
    EXPECT_EQ(charge_differences(facts(c.code)), c.differences) << c.code;
  }
}

TEST_F(Components, ChiralSignsFollowTheVolumesOfTheIdealCoordinates) {
  for (const bool heavy_only : {false, true})
    for (const char* code : {"ALA", "ILE", "THR", "LEU", "PRO", "NAG", "DA"}) {
      const comp::Component whole = comp::read(code);
      const Facts f = facts(code);
      build(code, heavy_only);
      std::map<std::string, const comp::Atom*> at;
      for (const comp::Atom& a : whole.atoms) at[a.name] = &a;
      std::string rows;
      for (int k = 1; k <= R().l1c_nchir; ++k) {
        const std::string names[4] = {
            std::string(R().l1c_1atm(k).trimmed()), std::string(R().l1c_2atm(k).trimmed()),
            std::string(R().l1c_3atm(k).trimmed()), std::string(R().l1c_4atm(k).trimmed())};
        double v[3][3];
        for (int q = 0; q < 3; ++q) {
          v[q][0] = at[names[q + 1]]->x - at[names[0]]->x;
          v[q][1] = at[names[q + 1]]->y - at[names[0]]->y;
          v[q][2] = at[names[q + 1]]->z - at[names[0]]->z;
        }
        const double vol = v[0][0] * (v[1][1] * v[2][2] - v[1][2] * v[2][1]) -
                           v[0][1] * (v[1][0] * v[2][2] - v[1][2] * v[2][0]) +
                           v[0][2] * (v[1][0] * v[2][1] - v[1][1] * v[2][0]);
        // LEU CG carries two alike methyls, CD1 and CD2: no hand of its own.
        const bool alike = std::string(code) == "LEU" && names[0] == "CG";
        EXPECT_EQ(std::string(R().l1c_sign(k).trimmed()), alike      ? "both"
                                                          : vol >= 0 ? "positiv"
                                                                     : "negativ")
            << code << " " << names[0];
        rows += names[0] + " ";
      }
      for (const auto& [name, rs] : f.stereo)
        EXPECT_NE(rows.find(name + " "), std::string::npos) << code << " " << name;
    }
}

TEST_F(Components, RingsCarboxylsAndAminesMakeOnePlaneEach) {
  struct Case {
    const char* code;
    std::vector<std::set<std::string>> planes;
  };
  const std::set<std::string> amine = {"N", "CA", "H", "H2"}, carboxyl = {"C", "CA", "O", "OXT"};
  const Case cases[] = {
      {"PHE",
       {amine,
        carboxyl,
        {"CB", "CG", "CD1", "CD2", "CE1", "CE2", "CZ", "HD1", "HD2", "HE1", "HE2", "HZ"}}},
      {"ASP", {amine, carboxyl, {"CG", "CB", "OD1", "OD2"}}},
      {"TRP",
       {amine,
        carboxyl,
        {"CB", "CG", "CD1", "CD2", "NE1", "CE2", "CE3", "CZ2", "CZ3", "CH2", "HD1", "HE1", "HE3",
         "HZ2", "HZ3", "HH2"}}},
  };
  for (const Case& c : cases) {
    build(c.code, false);
    std::vector<std::set<std::string>> got;
    for (int p = 1; p <= R().l1p_nplan; ++p) {
      std::set<std::string> names;
      for (int a = 1; a <= R().l1p_natom(p); ++a)
        names.insert(std::string(R().l1p_atom(a, p).trimmed()));
      got.push_back(names);
    }
    EXPECT_EQ(got, c.planes) << c.code;
  }
}
