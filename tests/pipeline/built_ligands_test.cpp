// Ligands the library lacks, built in whole runs from hand-made flat models
// (tests/data/built_ligands, README there): bond orders that add up with
// the hydrogens a model gives, a warning naming the atom where none can,
// aromatic five-rings with an oxygen or a sulfur flat as a whole, the
// hydrogens of atoms named as chain atoms, and hydrogen names kept as written.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "pipeline_fixture.h"

namespace {

// What a run said and what new_lib.cif says of its monomer: per atom
// "element type charge", per bond its type, per plane its atoms.
struct Built {
  pipetest::Outcome r;
  std::map<std::string, std::vector<std::string>> atom;
  std::map<std::string, std::string> bond;  // "A-B" in file order
  std::vector<std::set<std::string>> planes;
  // Each name's type (or bond's), "; " after each.
  std::string types(std::initializer_list<const char*> names) const {
    std::string t;
    for (const std::string n : names)
      t += (atom.count(n) ? atom.at(n)[1] : bond.count(n) ? bond.at(n) : "?") + "; ";
    return t;
  }
  // Planes holding every one of the atoms.
  int planes_holding(std::initializer_list<const char*> names) const {
    int n = 0;
    for (const std::set<std::string>& p : planes) {
      bool all = true;
      for (const char* a : names) all = all && p.count(a);
      n += all;
    }
    return n;
  }
};

Built build(const std::string& pdb, const std::string& code) {
  TempDir dir;
  Built b;
  b.r = pipetest::run_model(dir.write("ligand.pdb", pdb), dir.path());
  std::string cat, plane;
  for (const std::string& line : pipetest::lines_of(file_text(dir.path() + "/new_lib.cif"))) {
    if (line.starts_with("_chem_comp_")) cat = line.substr(11, line.find('.') - 11);
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    if (w.size() < 4 || w[0] != code) continue;
    if (cat == "atom") b.atom[w[1]] = {w[2], w[3], w[4]};
    if (cat == "bond") b.bond[w[1] + "-" + w[2]] = w[3];
    if (cat == "plane_atom" && w[1] != plane) b.planes.emplace_back();
    if (cat == "plane_atom") b.planes.back().insert(w[2]);
    if (cat == "plane_atom") plane = w[1];
  }
  return b;
}

std::string model(const std::string& file) {
  return file_text(pipetest::data("built_ligands/" + file));
}

// Heavy atoms of C, N, O whose bond orders and hydrogens miss their valence
// with their charge, as "A sum; " (atoms with aromatic bonds left out).
std::string valence_misses(const Built& b) {
  std::map<std::string, int> sum;
  std::set<std::string> aromatic;
  for (const auto& [pair, t] : b.bond) {
    const std::string a1 = pair.substr(0, pair.find('-')), a2 = pair.substr(pair.find('-') + 1);
    for (const std::string& a : {a1, a2}) {
      sum[a] += t == "double" ? 2 : 1;
      if (t == "aromatic" || t == "deloc") aromatic.insert(a);
    }
  }
  std::string out;
  for (const auto& [a, f] : b.atom) {
    const int v = f[0] == "C" ? 4 : f[0] == "N" ? 3 : f[0] == "O" ? 2 : 0;
    if (v > 0 && !aromatic.count(a) && sum[a] != v + std::stoi(f[2]))
      out += a + " " + std::to_string(sum[a]) + "; ";
  }
  return out;
}

const char* kNoChoice = "no choice of bond orders";

}  // namespace

TEST(BuiltLigands, EnaminoneWithItsHydrogensTakesTheDoubleBondsThatAddUp) {
  const Built b = build(model("enaminone_h.pdb"), "ENM");
  ASSERT_EQ(b.r.ierr, 0) << b.r.out;
  EXPECT_EQ(b.types({"N2-C10", "C10-C11", "C11-C12", "C12-O1", "N2"}),
            "single; double; single; double; NH1; ");
  // No hydrogen added, and no charge on the amine nitrogen.
  EXPECT_EQ(b.atom.size(), 16u);
  EXPECT_EQ(valence_misses(b), "");
  EXPECT_EQ(b.r.out.find(kNoChoice), std::string::npos) << b.r.out;
}

TEST(BuiltLigands, EnaminoneWithoutHydrogensAddsUpWithoutWarning) {
  const Built b = build(model("enaminone.pdb"), "ENX");
  ASSERT_EQ(b.r.ierr, 0) << b.r.out;
  EXPECT_EQ(valence_misses(b), "");
  EXPECT_EQ(b.r.out.find(kNoChoice), std::string::npos) << b.r.out;
}

TEST(BuiltLigands, HydrogenTheModelLacksIsNamedInAWarning) {
  std::string pdb;
  for (const std::string& line : pipetest::lines_of(model("enaminone_h.pdb")))
    if (line.find(" H11 ") == std::string::npos) pdb += line + "\n";
  const Built b = build(pdb, "ENM");
  ASSERT_EQ(b.r.ierr, 0) << b.r.out;
  const std::string line =
      " WARNING: ENM      : no choice of bond orders adds up to the valence of atom C11\n";
  EXPECT_NE(b.r.out.find(line), std::string::npos) << b.r.out;
  EXPECT_EQ(b.r.out.find(kNoChoice), b.r.out.rfind(kNoChoice)) << "one atom named";
}

TEST(BuiltLigands, FuranFusedToPyrimidineIsFlatWithItsOxygenInThePlane) {
  const Built b = build(model("furopyrimidine.pdb"), "FPY");
  ASSERT_EQ(b.r.ierr, 0) << b.r.out;
  EXPECT_EQ(b.types({"C7A-O7", "O7-C6", "C6-C5", "C5-C4A", "C4A-C7A", "N1-C2"}),
            "aromatic; aromatic; aromatic; aromatic; aromatic; aromatic; ");
  // The test library lacks "C1", so the ring CH carbons start from "C".
  EXPECT_EQ(b.types({"O7", "C7A", "C4A", "C5", "C6", "N1", "C2", "N3", "C4"}),
            "O2; CR56; CR56; CR5; CR5; NRD6; CR6; NRD6; CR6; ");
  EXPECT_EQ(b.planes_holding({"O7", "C7A", "C4A", "C5", "C6", "N1", "C2", "N3", "C4"}), 1);
}

TEST(BuiltLigands, ThiazoliumIsFlatWithItsSulfurInThePlane) {
  const Built b = build(model("thiazolium.pdb"), "TZM");
  ASSERT_EQ(b.r.ierr, 0) << b.r.out;
  EXPECT_EQ(b.types({"S1-C2", "C2-N3", "N3-C4", "C4-C5", "S1-C5"}),
            "aromatic; aromatic; aromatic; aromatic; aromatic; ");
  EXPECT_EQ(b.types({"S1", "C2", "N3", "C4", "C5"}), "S2; CR5; NR5; CR5; CR5; ");
  EXPECT_EQ(b.planes_holding({"S1", "C2", "N3", "C4", "C5"}), 1);
}

namespace {

// The bonds between heavy atoms with their types, each pair named in
// alphabetical order ("A-B type; ..."), and per heavy atom its hydrogens,
// given or added ("A n; ...").
std::map<std::string, std::string> heavy_bonds(const Built& b) {
  std::map<std::string, std::string> t;
  for (const auto& [pair, type] : b.bond) {
    std::string a1 = pair.substr(0, pair.find('-')), a2 = pair.substr(pair.find('-') + 1);
    if (b.atom.at(a1)[0] == "H" || b.atom.at(a2)[0] == "H") continue;
    if (a2 < a1) std::swap(a1, a2);
    t[a1 + "-" + a2] = type;
  }
  return t;
}

std::string listed(const std::map<std::string, std::string>& bonds) {
  std::string t;
  for (const auto& [pair, type] : bonds) t += pair + " " + type + "; ";
  return t;
}

std::string hydrogen_counts(const Built& b) {
  std::map<std::string, int> n;
  for (const auto& [pair, type] : b.bond) {
    const std::string a1 = pair.substr(0, pair.find('-')), a2 = pair.substr(pair.find('-') + 1);
    if (b.atom.at(a1)[0] == "H") ++n[a2];
    if (b.atom.at(a2)[0] == "H") ++n[a1];
  }
  std::string t;
  for (const auto& [a, k] : n) t += a + " " + std::to_string(k) + "; ";
  return t;
}

}  // namespace

TEST(BuiltLigands, EnaminoneWithPolarHydrogensOnlyTakesTheBondsOfTheFullSet) {
  const Built all = build(model("enaminone_h.pdb"), "ENM");
  // As a docking program writes it: of the hydrogens only H7, on N2.
  std::string pdb;
  for (const std::string& line : pipetest::lines_of(model("enaminone_h.pdb")))
    if (!line.ends_with(" H") || line.find(" H7 ") != std::string::npos) pdb += line + "\n";
  const Built polar = build(pdb, "ENM");
  ASSERT_EQ(polar.r.ierr, 0) << polar.r.out;
  EXPECT_EQ(polar.types({"N2-C10", "C10-C11", "C11-C12", "C12-O1", "N2"}),
            "single; double; single; double; NH1; ");
  EXPECT_EQ(polar.atom.at("N2")[2], "0.000");
  EXPECT_EQ(listed(heavy_bonds(polar)), listed(heavy_bonds(all)));
  // H7 kept on N2; C10 and C11 one each, the methyls three, added.
  EXPECT_EQ(hydrogen_counts(polar), "C1 3; C10 1; C11 1; C13 3; N2 1; ");
  EXPECT_EQ(hydrogen_counts(polar), hydrogen_counts(all));
  EXPECT_EQ(valence_misses(polar), "");
  EXPECT_EQ(polar.r.out.find(kNoChoice), std::string::npos) << polar.r.out;
}

TEST(BuiltLigands, PhenolAmideAndAcidWithPolarHydrogensOnlyAsWithAllOrNone) {
  const Built all = build(model("succinanilic_all.pdb"), "HPS");
  const Built polar = build(model("succinanilic_polar.pdb"), "HPP");
  const Built none = build(model("succinanilic_none.pdb"), "HPX");
  ASSERT_EQ(polar.r.ierr, 0) << polar.r.out;
  EXPECT_EQ(polar.types({"O4-C4", "N7-C8", "O8-C8", "C11-O11", "O12-C11", "N7"}),
            "single; single; double; double; single; NH1; ");
  EXPECT_EQ(listed(heavy_bonds(polar)), listed(heavy_bonds(all)));
  EXPECT_EQ(hydrogen_counts(polar), hydrogen_counts(all));
  // Without its hydrogen the acid is read as a carboxylate; the rest alike.
  std::map<std::string, std::string> anion = heavy_bonds(all);
  anion["C11-O11"] = anion["C11-O12"] = "deloc";
  EXPECT_EQ(listed(heavy_bonds(none)), listed(anion));
  EXPECT_EQ(valence_misses(polar), "");
  EXPECT_EQ(polar.r.out.find(kNoChoice), std::string::npos) << polar.r.out;
}

// A hydrogen on sulfur is a polar one: the iminothiol whose only hydrogen
// is on its sulfur is a model of polar hydrogens, so its nitrogen, given
// none, takes the C=N bond instead of an added hydrogen, and the chain
// alternates as drawn, uncharged.  Read as a model without hydrogens, its
// lengths would make the chain one delocalised system and add a hydrogen
// to the nitrogen.
TEST(BuiltLigands, IminothiolWithItsThiolHydrogenOnlyKeepsItsNitrogenBare) {
  const Built b = build(model("thioenaminone_sh.pdb"), "ESH");
  ASSERT_EQ(b.r.ierr, 0) << b.r.out;
  EXPECT_EQ(b.types({"N2-C10", "C10-C11", "C11-C12", "C12-S1", "N2"}),
            "double; single; double; single; N; ");
  EXPECT_EQ(b.atom.at("N2")[2], "0.000");
  EXPECT_EQ(hydrogen_counts(b), "C1 3; C10 1; C11 1; C13 3; S1 1; ");
  EXPECT_EQ(valence_misses(b), "");
  EXPECT_EQ(b.r.out.find(kNoChoice), std::string::npos) << b.r.out;
}

namespace {

// A model with atom names replaced, each given with the residue name after
// it as the record has them.
std::string renamed(std::string pdb,
                    std::initializer_list<std::pair<const char*, const char*>> names) {
  for (const auto& [from, to] : names) {
    const std::size_t at = pdb.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) pdb.replace(at, std::string(from).size(), to);
  }
  return pdb;
}

}  // namespace

// A built residue's chain atoms (C and N, O3' and P) that bond an atom of
// another residue stand where a hydrogen would, and take one fewer.  The
// anilide's amide N and carbonyl C renamed N and C bond each other inside
// the ligand and no other residue: the N keeps its hydrogen.
TEST(BuiltLigands, AmideNamedAsAPeptideBondInsideTheLigandKeepsItsHydrogen) {
  const std::string pdb =
      renamed(model("succinanilic_none.pdb"), {{" N7  HPX", " N   HPX"}, {" C8  HPX", " C   HPX"}});
  const Built b = build(pdb, "HPX");
  ASSERT_EQ(b.r.ierr, 0) << b.r.out;
  EXPECT_EQ(hydrogen_counts(b), "C10 2; C2 1; C3 1; C5 1; C6 1; C9 2; N 1; O4 1; ");
}

// An atom at occupancy 0 bonds nothing: the N of a glycine at occupancy 0,
// 1.45 A from the enaminone's CH carbon renamed C, leaves the carbon its
// hydrogen.
TEST(BuiltLigands, NeighbourAtOccupancyZeroTakesNoHydrogenFromTheLigand) {
  std::string pdb = renamed(model("enaminone.pdb"), {{" C10 ENX", " C   ENX"}});
  pdb = pdb.substr(0, pdb.find("END")) +
        "ATOM      8  N   GLY B   1      12.373   8.600  10.000  0.00 20.00           N\n"
        "ATOM      9  CA  GLY B   1      12.373   8.000   8.700  1.00 20.00           C\n"
        "ATOM     10  C   GLY B   1      12.373   6.600   8.200  1.00 20.00           C\n"
        "ATOM     11  O   GLY B   1      12.373   5.600   8.900  1.00 20.00           O\n"
        "END\n";
  const Built b = build(pdb, "ENX");
  ASSERT_EQ(b.r.ierr, 0) << b.r.out;
  EXPECT_EQ(hydrogen_counts(b), "C 1; C1 3; C11 2; C13 3; ");
}

// Hydrogens named CH1 and CH2 from column 13 (as H10 and H11 of the
// enaminone): the reader's correction turns them into H1_C and H2_C, names
// the monomer built from them would take; it holds neither spelling, so
// the names stay as the file wrote them.
TEST(BuiltLigands, HydrogenNamesFromTheFirstColumnStayAsWritten) {
  const std::string pdb =
      renamed(model("enaminone_h.pdb"), {{"  H10 ENM", " CH1  ENM"}, {"  H11 ENM", " CH2  ENM"}});
  const Built b = build(pdb, "ENM");
  ASSERT_EQ(b.r.ierr, 0) << b.r.out;
  EXPECT_EQ(b.types({"CH1", "CH2", "H1_C", "H2_C"}), "H; H; ?; ?; ");
  EXPECT_EQ(hydrogen_counts(b), "C1 3; C10 1; C11 1; C13 3; N2 1; ");
}
