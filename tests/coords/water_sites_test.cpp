// The massless sites of 4- and 5-site water models are no atoms: every
// reader leaves them out of a water, with one warning counting them, so that
// the water holds one O; and the first atom whose occupancy is below 0 is
// noted, by its line, for the programs that refuse such a model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cif_test_util.h"
#include "coords/cif_by_pdb_rules.h"
#include "coords/no_occupancy.h"
#include "pdb_fixture.h"

namespace {

using pdbtest::Atom;

// A water of O, H1 and H2 with the sites named, as a PDB file writes it.
std::vector<std::string> pdb_water(int num, std::initializer_list<const char*> sites,
                                   const std::string& res = "HOH") {
  std::vector<std::string> l;
  l.push_back(pdbtest::line({.rec = "ATOM", .name = " O  ", .res = res, .resnum = num, .elem = " O"}));
  l.push_back(pdbtest::line({.rec = "ATOM", .name = " H1 ", .res = res, .resnum = num, .x = 1.9f, .elem = " H"}));
  l.push_back(pdbtest::line({.rec = "ATOM", .name = " H2 ", .res = res, .resnum = num, .y = 2.9f, .elem = " H"}));
  for (const char* s : sites)
    l.push_back(pdbtest::line({.rec = "ATOM", .name = s, .res = res, .resnum = num, .z = 3.1f, .elem = "  "}));
  return l;
}

// A site of a water laid out whole, as a table row gives it.
struct Placed {
  const char* name;  // as the atom name is written (PDB columns 13-16)
  const char* elem;  // the element as written; "?" none in an mmCIF row
  float x, y, z;
  char alt = ' ';
};

// A TIP5P water whose D1 lies straight above H1 at height d1_z, H1 and the
// other sites at height h1_z, on coordinates that binary floats hold, so
// that the distance the reader computes is the one the row means.  `alt`:
// the alternate code of every site.
std::vector<Placed> tip5p(float h1_z, float d1_z, const char* site_elem, char alt = ' ') {
  return {{" O  ", "O", 0, 0.5f, h1_z, alt},           {" H1 ", "H", 0.75f, 0, h1_z, alt},
          {" H2 ", "H", -0.75f, 0, h1_z, alt},         {" D1 ", site_elem, 0.75f, 0, d1_z, alt},
          {" D2 ", site_elem, 0, 0.875f, h1_z - 0.5f, alt}};
}

std::string names_of_atoms() {
  std::string s;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) s += std::string(atom_inf.atm_name(ia).trimmed()) + " ";
  return s;
}

// The elements of the read's scattering types.
std::string scattering_elements() {
  std::string s;
  for (int i = 1; i <= crst_crd.cs_nsfatm; ++i) s += std::string(crst_crd.cs_atype(i).trimmed()) + " ";
  return s;
}

constexpr const char* kSitesLeftOut =
    " massless sites of water models (M, MW, M1, M2, EP, LP) left out: the waters are read as "
    "three-site waters\n";
constexpr const char* kSiteLeftOut =
    " massless site of a water model (M, MW, M1, M2, EP, LP) left out: the waters are read as "
    "three-site waters\n";

}  // namespace

TEST(WaterSites, PdbReaderLeavesEachModelsSitesOutWithOneWarning) {
  const struct {
    const char* label;
    std::vector<const char*> sites;  // of each of two waters
    const char* res;
    const char* warning;      // "" none
    const char* elem = "  ";  // columns 77-78 of each site
    const char* heavy = "";   // the element of the water's hydrogens written D1 and D2
    const char* o_charge = "";  // columns 79-80 of the oxygen
    const char* h_charge = "";  // and of the hydrogens
    std::vector<Placed> laid_out = {};  // the whole water, where the row gives it
  } rows[] = {
      {"TIP4P as OpenMM writes it", {" M  "}, "HOH", "  WARNING: 2"},
      {"TIP4P as GROMACS writes it", {" MW "}, "SOL", "  WARNING: 2"},
      {"TIP5P as OpenMM writes it", {" M1 ", " M2 "}, "HOH", "  WARNING: 4"},
      {"sites named EP", {" EP "}, "WAT", "  WARNING: 2"},
      {"sites numbered EP1, EP2", {" EP1", " EP2"}, "HOH", "  WARNING: 4"},
      {"sites named LP from column 13", {"LP  "}, "TIP4", "  WARNING: 2"},
      {"sites numbered LP1, LP2", {" LP1", " LP2"}, "HOH", "  WARNING: 4"},
      {"TIP5P's D1 and D2 of element EP", {" D1 ", " D2 "}, "HOH", "  WARNING: 4", "EP"},
      {"TIP5P's D1 and D2 without element", {" D1 ", " D2 "}, "HOH", "  WARNING: 4", "  "},
      {"TIP5P's D1 and D2 of element D", {" D1 ", " D2 "}, "HOH", "  WARNING: 4", " D"},
      {"TIP5P's D1 and D2 of element *", {" D1 ", " D2 "}, "HOH", "  WARNING: 4", " *"},
      {"TIP5P's D1 and D2 of gemmi's unknown element X", {" D1 ", " D2 "}, "HOH", "  WARNING: 4",
       " X"},
      {"a heavy water's D1 and D2 of element *", {}, "HOH", "", "  ", " *"},
      {"a heavy water's D1 and D2 of gemmi's unknown element X", {}, "HOH", "", "  ", " X"},
      {"OPC's EPW", {"EPW "}, "HOH", "  WARNING: 2"},
      {"SWM4-NDP's OM", {" OM "}, "HOH", "  WARNING: 2"},
      {"SWM4-NDP's Drude site DOH2 and OM of element X, as gemmi writes them",
       {"DOH2", " OM "}, "HOH", "  WARNING: 4", " X"},
      {"DOH2 and OM without element, as MDAnalysis writes them", {"DOH2", " OM "}, "HOH",
       "  WARNING: 4", "  "},
      {"DOH2 and OM of element D, as mdtraj guesses DOH2's", {"DOH2", " OM "}, "HOH",
       "  WARNING: 4", " D"},
      {"DOH2 and OM of element O, as mdtraj guesses OM's", {"DOH2", " OM "}, "HOH",
       "  WARNING: 4", " O"},
      {"a three-site water", {}, "HOH", ""},
      {"a charged water, O1- and H1+", {}, "HOH", "", "  ", "", "1-", "1+"},
      {"waters of O2- as Open Babel writes a zeolite's", {}, "HOH", "", "  ", "", "2-"},
      {"D1 exactly 0.4 A from H1, so on none of its hydrogens", {}, "HOH", "  WARNING: 4", "  ", "",
       "", "", tip5p(0, 0.4f, "D")},
      {"TIP5P whose every site has alternate code A", {}, "HOH", "  WARNING: 4", "  ", "", "", "",
       tip5p(0, -0.5f, "D", 'A')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    std::vector<std::string> l = {pdbtest::kCryst};
    for (int w = 1; w <= 2; ++w) {
      std::vector<std::string> water = pdb_water(w, {}, row.res);
      if (*row.o_charge != '\0' || *row.h_charge != '\0')
        for (const int a : {0, 1, 2})
          water[a] = pdbtest::line({.rec = "ATOM", .name = a == 0 ? " O  " : a == 1 ? " H1 " : " H2 ",
                                    .res = row.res, .resnum = w, .x = a == 1 ? 1.9f : 1.0f,
                                    .y = a == 2 ? 2.9f : 2.0f, .elem = a == 0 ? " O" : " H",
                                    .charge = a == 0 ? row.o_charge : row.h_charge});
      if (!row.laid_out.empty()) {
        // The second water 8 A along x, where the sums stay exact.
        water.clear();
        for (const Placed& p : row.laid_out)
          water.push_back(pdbtest::line({.rec = "ATOM", .name = p.name, .alt = p.alt, .res = row.res,
                                         .resnum = w, .x = p.x + 8.0f * static_cast<float>(w - 1),
                                         .y = p.y, .z = p.z,
                                         .elem = std::string(p.elem).size() == 1
                                                     ? std::string(" ") + p.elem
                                                     : std::string(p.elem)}));
      }
      if (*row.heavy != '\0')
        for (const int h : {1, 2})
          water[h] = pdbtest::line({.name = h == 1 ? " D1 " : " D2 ",
                                    .res = row.res,
                                    .resnum = w,
                                    .x = h == 1 ? 1.9f : 0.0f,
                                    .y = h == 2 ? 2.9f : 0.0f,
                                    .elem = row.heavy});
      for (const char* s : row.sites)
        water.push_back(
            pdbtest::line({.name = s, .res = row.res, .resnum = w, .z = 3.1f, .elem = row.elem}));
      pdbtest::append(l, water);
    }
    // A four-letter name fills column 21.
    if (std::string(row.res).size() == 4)
      for (std::string& a : l)
        if (a.rfind("ATOM", 0) == 0) a.replace(17, 4, row.res);
    const pdbtest::ReadResult r = pdbtest::read_pdb(l, {.hremove = 'N'});
    EXPECT_EQ(r.ierr, 0) << r.out;
    EXPECT_EQ(names_of_atoms(), "O H1 H2 O H1 H2 ");
    EXPECT_EQ(scattering_elements(), "O H ");
    EXPECT_EQ(resid_inf.n_residue, 2);
    if (*row.warning == '\0') {
      EXPECT_EQ(pdbtest::count_of(r.out, "massless"), 0) << r.out;
    } else {
      EXPECT_EQ(pdbtest::count_of(r.out, std::string(row.warning) + kSitesLeftOut), 1) << r.out;
    }
  }
}

// Only a water loses such names: a ligand's EP and an amino acid's M stay,
// and one site alone is counted in the singular.
TEST(WaterSites, PdbReaderKeepsTheNamesOutsideWaters) {
  std::vector<std::string> l = {pdbtest::kCryst};
  l.push_back(
      pdbtest::line({.rec = "HETATM", .name = " EP ", .res = "LIG", .resnum = 1, .elem = " C"}));
  l.push_back(pdbtest::line(
      {.rec = "HETATM", .name = " M  ", .res = "LIG", .resnum = 1, .x = 2, .elem = " C"}));
  pdbtest::append(l, pdb_water(2, {" M  "}));
  const pdbtest::ReadResult r = pdbtest::read_pdb(l, {.hremove = 'N'});
  EXPECT_EQ(r.ierr, 0) << r.out;
  EXPECT_EQ(names_of_atoms(), "EP M O H1 H2 ");
  EXPECT_EQ(pdbtest::count_of(r.out, std::string("  WARNING: 1") + kSiteLeftOut), 1) << r.out;
}

// A site of a water that is none of its O and H and no massless site is
// never renamed onto one of them: the read stops, naming it.  A residue
// without a name is read as a water, so an unnamed formaldehyde stops there.
// Nor is a site read under the name of another site of its water: a
// deuterium on its water's hydrogen, D1 and D2 before the H1 and H2 they
// would be read as (named at the later line), or beside one of them only,
// and GROMACS's HW1 beside an H1.
TEST(WaterSites, PdbReaderRefusesASiteThatIsNoOHOrMasslessSite) {
  constexpr const char* kCarbon = "water site \"C\" (element C) is no O, H or massless site";
  constexpr const char* kOntoH1 =
      "water site \"D1\" would be read as H1, the name of another site of its water";
  constexpr const char* kHw1OntoH1 =
      "water site \"HW1\" would be read as H1, the name of another site of its water";
  const pdbtest::Atom o{.name = " O  ", .x = 0, .y = 0, .z = 0, .elem = " O"};
  const pdbtest::Atom h1{.name = " H1 ", .x = 0.96f, .y = 0, .z = 0, .elem = " H"};
  const pdbtest::Atom h2{.name = " H2 ", .x = -0.24f, .y = 0.93f, .z = 0, .elem = " H"};
  const pdbtest::Atom d1{.name = " D1 ", .x = -0.3f, .y = -0.4f, .z = 0.5f, .elem = " D"};
  pdbtest::Atom hw1 = d1;
  hw1.name = " HW1";
  hw1.elem = " H";
  pdbtest::Atom d1_on_h1 = h1;
  d1_on_h1.name = " D1 ";
  d1_on_h1.x += 0.3f;
  d1_on_h1.elem = " D";
  pdbtest::Atom d2 = d1;
  d2.name = " D2 ";
  d2.z = -0.5f;
  const struct {
    const char* label;
    const char* res;
    std::vector<pdbtest::Atom> atoms;
    const char* refusal;
    int line;
  } rows[] = {
      {"a carbon of a water", "HOH", {{.name = " C  ", .elem = " C"}, o}, kCarbon, 2},
      {"a carbon of a water, no element columns",
       "WAT",
       {{.name = " C  ", .elem = "  "}, o},
       kCarbon,
       2},
      {"a carbon of a residue without a name",
       "   ",
       {{.name = " C  ", .elem = " C"}, o},
       kCarbon,
       2},
      {"a deuterium on its water's H1", "HOH", {o, h1, h2, d1_on_h1}, kOntoH1, 5},
      {"D1 and D2 before H1 and H2", "HOH", {o, d1, d2, h1, h2}, kOntoH1, 5},
      {"D1 beside H1 only", "HOH", {o, h1, d1}, kOntoH1, 4},
      {"GROMACS's HW1 beside H1", "SOL", {o, h1, hw1}, kHw1OntoH1, 4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    std::vector<std::string> l = {pdbtest::kCryst};
    for (pdbtest::Atom a : row.atoms) {
      a.res = row.res;
      l.push_back(pdbtest::line(a));
    }
    const pdbtest::ReadResult r = pdbtest::read_pdb(l, {.hremove = 'N'});
    EXPECT_EQ(r.ierr, 1) << r.out;
    EXPECT_EQ(pdbtest::count_of(r.out, " ERROR: " + std::string(row.refusal) +
                                           " in PDB atom record, line " + std::to_string(row.line) +
                                           ":\n"),
              1)
        << r.out;
    EXPECT_EQ(pdbtest::count_of(r.out, "residue name is empty"), *row.res == ' ' ? 1 : 0) << r.out;
  }
}

class WaterSitesCif : public CifFiles {
 protected:
  // Two waters of O, H1, H2 and the sites named, chain W.
  // With `heavy`, the hydrogens are written D1 and D2 of that element.
  void write_waters(const std::string& name, std::initializer_list<const char*> sites,
                    const char* res = "HOH", const char* site_symbol = "?",
                    const char* heavy = nullptr) {
    std::string t = cif_header() + kAtomLoop;
    int serial = 0;
    for (int w = 1; w <= 2; ++w) {
      const auto row = [&](const char* atom, const char* elem, float x) {
        t += "HETATM " + std::to_string(++serial) + " " + elem + " " + atom + " . " + res +
             " W 1 . " + std::to_string(w) + ".0 " + std::to_string(x) + " 3.0 1.00 20.0 " +
             std::to_string(w) + "\n";
      };
      row("O", "O", 1.0f);
      row(heavy ? "D1" : "H1", heavy ? heavy : "H", 1.9f);
      row(heavy ? "D2" : "H2", heavy ? heavy : "H", 1.3f);
      for (const char* s : sites) row(s, site_symbol, 0.3f);
    }
    write(name, t);
  }
  // Two waters laid out whole, the second 8 A along x.
  void write_laid_out(const std::string& name, const std::vector<Placed>& water) {
    std::string t = cif_header() + kAtomLoop;
    int serial = 0;
    for (int w = 1; w <= 2; ++w)
      for (const Placed& p : water) {
        std::string atom(p.name);
        while (atom.front() == ' ') atom.erase(0, 1);
        while (atom.back() == ' ') atom.pop_back();
        t += "HETATM " + std::to_string(++serial) + " " + p.elem + " " + atom + " " +
             (p.alt == ' ' ? '.' : p.alt) + " HOH W 1 . " +
             std::to_string(p.x + 8.0f * static_cast<float>(w - 1)) + " " + std::to_string(p.y) +
             " " + std::to_string(p.z) + " 1.00 20.0 " + std::to_string(w) + "\n";
      }
    write(name, t);
  }
};

TEST_F(WaterSitesCif, BothMmcifRoadsLeaveTheSitesOut) {
  const struct {
    const char* label;
    std::initializer_list<const char*> sites;
    const char* res;
    const char* warning;
    const char* symbol = "?";
    const char* heavy = nullptr;
    std::vector<Placed> laid_out = {};  // the whole water, where the row gives it
  } rows[] = {
      {"M", {"M"}, "HOH", "  WARNING: 2"},
      {"D1 and D2 of element EP", {"D1", "D2"}, "HOH", "  WARNING: 4", "EP"},
      {"D1 and D2 of element D", {"D1", "D2"}, "HOH", "  WARNING: 4", "D"},
      {"D1 and D2 of element ?", {"D1", "D2"}, "HOH", "  WARNING: 4", "?"},
      {"D1 and D2 of element *", {"D1", "D2"}, "HOH", "  WARNING: 4", "*"},
      {"D1 and D2 of gemmi's unknown element X", {"D1", "D2"}, "HOH", "  WARNING: 4", "X"},
      {"a heavy water's D1 and D2 of element *", {}, "HOH", "", "?", "*"},
      {"M of a residue without a name", {"M"}, "''", "  WARNING: 2"},
      {"EP of a water named WAT", {"EP"}, "WAT", "  WARNING: 2"},
      {"M1 and M2", {"M1", "M2"}, "HOH", "  WARNING: 4"},
      {"none", {}, "HOH", ""},
      {"SWM4-NDP's DOH2 and OM of element EP, as OpenMM writes them", {"DOH2", "OM"}, "HOH",
       "  WARNING: 4", "EP"},
      {"DOH2 and OM of gemmi's unknown element X", {"DOH2", "OM"}, "HOH", "  WARNING: 4", "X"},
      {"DOH2 and OM of element ?, as OpenMM and Biopython write them", {"DOH2", "OM"}, "HOH",
       "  WARNING: 4", "?"},
      {"D1 exactly 0.4 A from H1", {}, "HOH", "  WARNING: 4", "?", nullptr, tip5p(0, 0.4f, "?")},
      {"D1 0.4001 A from H1, 0.400 A at three decimals", {}, "HOH", "  WARNING: 4", "?", nullptr,
       tip5p(1.25f, 1.6501f, "?")},
      {"TIP5P whose every site has alternate code A", {}, "HOH", "  WARNING: 4", "?", nullptr,
       tip5p(0, -0.5f, "?", 'A')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    if (row.laid_out.empty())
      write_waters("w", row.sites, row.res, row.symbol, row.heavy);
    else
      write_laid_out("w", row.laid_out);
    // The pipeline's road.
    ASSERT_EQ(read_out("w"), 0) << out_;
    EXPECT_EQ(names_of_atoms(), "O H1 H2 O H1 H2 ");
    EXPECT_EQ(count_of(out_, "massless"), *row.warning == '\0' ? 0 : 1) << out_;
    if (*row.warning != '\0') {
      EXPECT_EQ(count_of(out_, std::string(row.warning) + kSitesLeftOut), 1) << out_;
    }
    // orbinate's road, by the PDB reader's rules, which shows the warning
    // under the message code that silences the rest of the read.
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    const std::string out =
        captured([&] { coords::read_cif_by_pdb_rules(-999, dir_ + "w.cif", 'N', 'N', ierr); });
    rt::close_all_units();
    ASSERT_EQ(ierr, 0) << out;
    EXPECT_EQ(names_of_atoms(), "O H1 H2 O H1 H2 ");
    EXPECT_EQ(count_of(out, "massless"), *row.warning == '\0' ? 0 : 1) << out;
    if (*row.warning != '\0') {
      EXPECT_EQ(count_of(out, std::string(row.warning) + kSitesLeftOut), 1) << out;
    }
  }
}

TEST_F(WaterSitesCif, BothMmcifRoadsRefuseASiteThatIsNoOHOrMasslessSite) {
  struct Site {
    const char* symbol;
    const char* name;
    float x;
  };
  const std::vector<Site> carbon = {{"C", "C", 1.0f}, {"O", "O", 2.2f}};
  constexpr const char* kCarbon = "atom 1: water site \"C\" (element C) is no O, H or massless site";
  const struct {
    const char* res;
    std::vector<Site> sites;
    const char* refusal;
    int row;  // of the refusal
  } rows[] = {
      {"HOH", carbon, kCarbon, 1},
      {"''", carbon, kCarbon, 1},
      {".", carbon, kCarbon, 1},
      {"?", carbon, kCarbon, 1},
      {"HOH",
       {{"O", "O", 1.0f}, {"D", "D1", 1.9f}, {"D", "D2", 0.3f}, {"H", "H1", 1.9f}, {"H", "H2", 0.3f}},
       "atom 4: water site \"D1\" would be read as H1, the name of another site of its water",
       4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.res) + " " + row.refusal);
    const std::string head = cif_header() + kAtomLoop;
    std::string t = head;
    int serial = 0;
    for (const Site& a : row.sites)
      t += "HETATM " + std::to_string(++serial) + " " + a.symbol + " " + a.name + " . " + row.res +
           " W 1 . 1 " + std::to_string(a.x) + " 3.0 1.00 20.0 1\n";
    write("c", t);
    const std::string refusal = " ERROR: " + std::string(row.refusal) + ", row at line " +
                                std::to_string(count_of(head, "\n") + row.row) + "\n";
    EXPECT_EQ(read_out("c"), 3) << out_;
    EXPECT_EQ(count_of(out_, refusal), 1) << out_;
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    const std::string out =
        captured([&] { coords::read_cif_by_pdb_rules(-999, dir_ + "c.cif", 'N', 'N', ierr); });
    rt::close_all_units();
    EXPECT_EQ(ierr, 3) << out;
    EXPECT_EQ(count_of(out, refusal), 1) << out;
  }
}

// The first atom below 0 is noted by its line (and its PDB record); 0 is no
// such atom, and -0.001 is.  A later read forgets an earlier one's atom.
TEST(NegativeOccupancy, PdbReaderNotesTheFirstAtomBelowZero) {
  const auto with_occupancy = [](std::string l, const char* columns) {
    return l.replace(54, 6, columns);
  };
  std::vector<std::string> l = {pdbtest::kCryst, "REMARK   1 SOME TEXT"};
  const std::vector<std::string> res = pdbtest::residue("ALA", 'A', 1);
  l.push_back(with_occupancy(res[0], "  0.00"));
  l.push_back(with_occupancy(res[1], "-0.001"));
  l.push_back(with_occupancy(res[2], " -0.57"));
  l.push_back(res[3]);
  pdbtest::read_pdb(l);
  const coords::NegativeOccupancy& n = coords::negative_occupancy();
  EXPECT_EQ(n.line, 4);
  EXPECT_EQ(n.serial, 0);
  EXPECT_FLOAT_EQ(n.occ, -0.001f);
  EXPECT_EQ(n.record.trimmed(), rt::trim_right(l[3]));

  l[3] = with_occupancy(l[3], "  0.00");
  l[4] = with_occupancy(l[4], "  0.50");
  pdbtest::read_pdb(l);
  EXPECT_EQ(coords::negative_occupancy().line, 0);
}

TEST_F(WaterSitesCif, MmcifReaderNotesTheFirstAtomBelowZeroByItsRow) {
  std::string t = cif_header() + kAtomLoop;
  t += "ATOM 1 N N . ALA A 1 1 1.0 2.0 3.0 0.0 20.0 1\n";
  t += "ATOM 2 C CA . ALA A 1 1 2.0 2.0 3.0 -0.001 20.0 1\n";
  t += "ATOM 3 C C . ALA A 1 1 3.0 2.0 3.0 -0.5 20.0 1\n";
  write("n", t);
  ASSERT_EQ(read_out("n"), 0) << out_;
  const coords::NegativeOccupancy& n = coords::negative_occupancy();
  const int header_lines = count_of(cif_header() + kAtomLoop, "\n");
  EXPECT_EQ(n.line, header_lines + 2);
  EXPECT_EQ(n.serial, 2);
  EXPECT_FLOAT_EQ(n.occ, -0.001f);

  write("z", cif_header() + kAtomLoop + "ATOM 1 N N . ALA A 1 1 1.0 2.0 3.0 0.0 20.0 1\n");
  ASSERT_EQ(read_out("z"), 0) << out_;
  EXPECT_EQ(coords::negative_occupancy().line, 0);
}
