// The limits the connectivity rules draw, tried on each side through whole
// runs on excerpts of shipped entries changed in the test: how long a
// peptide bond may be and stay one, how far a peptide may twist and stay
// trans, which chain end a link to a metal keeps uncharged, how many cells
// a symmetry link may reach across, and the residue number's columns of a
// PDB atom record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "foundation/atom_com.h"
#include "model_text.h"
#include "pipeline_fixture.h"
#include "written_run.h"

namespace {

using modeltext::Atom;
using modeltext::named;
using modeltext::torsion;
using modeltext::turn;
using pipetest::Outcome;

using wrun::bonds_between;
using wrun::run_on;
using wrun::Written;

// The PDB and the mmCIF form of the atoms, written into dir.
std::vector<std::string> both_forms(const TempDir& dir, const std::string& name,
                                    const std::vector<Atom>& atoms,
                                    const std::string& pdb_head = "",
                                    const std::vector<modeltext::Conn>& conns = {}) {
  return {dir.write(name + ".pdb", pdb_head + modeltext::pdb_atoms(atoms) + "END\n"),
          dir.write(name + ".cif", modeltext::cif_model(atoms, conns))};
}

void move(std::vector<Atom>& atoms, int from_num, const float d[3]) {
  for (Atom& a : atoms)
    if (a.num >= from_num) a.x += d[0], a.y += d[1], a.z += d[2];
}

}  // namespace

// LEU17-ALA21 of 2BEG chain A with residues 20 and 21 moved as one along
// the line from C of PHE19 to N of PHE20 until that bond is 1.60 A long
// (1.20 times the peptide ideal 1.329: below the break limit of 1.3 times
// it) or 1.90 A (1.43 times it: above).  The first stays a peptide bond, the
// second is a chain break, from both forms.
TEST(EdgeLimits, PeptideBondLengthAgainstTheBreakLimit) {
  for (const float length : {1.60f, 1.90f}) {
    std::vector<Atom> atoms = modeltext::atoms_of("2BEG.pdb", 'A', 17, 21);
    const Atom c = named(atoms, 19, "C"), n = named(atoms, 20, "N");
    const float now = modeltext::distance(c, n);
    const float d[3] = {(n.x - c.x) * (length / now - 1), (n.y - c.y) * (length / now - 1),
                        (n.z - c.z) * (length / now - 1)};
    move(atoms, 20, d);
    ASSERT_NEAR(modeltext::distance(named(atoms, 19, "C"), named(atoms, 20, "N")), length, 0.002f);
    TempDir dir;
    for (const std::string& f : both_forms(dir, "stretched", atoms)) {
      SCOPED_TRACE(f + " at " + std::to_string(length));
      const Written w = run_on(f);
      ASSERT_LE(w.r.ierr, 1) << w.r.out;
      EXPECT_EQ(bonds_between(w, "19 C", "20 N"), length < 1.7f ? 1 : 0);
      EXPECT_EQ(bonds_between(w, "18 C", "19 N"), 1);
      EXPECT_EQ(bonds_between(w, "20 C", "21 N"), 1);
    }
  }
}

// LEU17-PHE19 of 2BEG chain A with PHE19 turned about its N-C(PHE18)
// bond: an omega of -52 degrees is a cis peptide (below 90), one of -110 a
// trans one, from both forms.
TEST(EdgeLimits, PeptideTwistAgainstTheCisLimit) {
  for (const float omega : {-52.0f, -110.0f}) {
    std::vector<Atom> atoms = modeltext::atoms_of("2BEG.pdb", 'A', 17, 19);
    const float now = torsion(named(atoms, 18, "CA"), named(atoms, 18, "C"), named(atoms, 19, "N"),
                              named(atoms, 19, "CA"));
    turn(atoms, 19, named(atoms, 18, "C"), named(atoms, 19, "N"), omega - now);
    ASSERT_NEAR(torsion(named(atoms, 18, "CA"), named(atoms, 18, "C"), named(atoms, 19, "N"),
                        named(atoms, 19, "CA")),
                omega, 0.1f);
    TempDir dir;
    for (const std::string& f : both_forms(dir, "twisted", atoms)) {
      SCOPED_TRACE(f + " at " + std::to_string(omega));
      const Written w = run_on(f);
      ASSERT_LE(w.r.ierr, 1) << w.r.out;
      const bool cis = w.rst.find("# link_'CIS     '_VAL______0018-") != std::string::npos;
      const bool trans = w.rst.find("# link_'TRANS   '_VAL______0018-") != std::string::npos;
      EXPECT_EQ(cis, omega > -90.0f) << w.rst.substr(0, 0);
      EXPECT_EQ(trans, omega < -90.0f);
      EXPECT_EQ(w.r.out.find(" WARNING : CIS peptide bond is found, angle =") != std::string::npos,
                cis);
    }
  }
}

namespace {

// The residue numbers whose sequence row in the written coordinates carries
// terminal group `group` ("NH3", "COO").
std::set<int> ends_with(const std::string& crd, const std::string& group) {
  std::set<int> out;
  std::istringstream in(crd);
  for (std::string l; std::getline(in, l);) {
    if (!l.ends_with(" " + group)) continue;
    std::istringstream f(l);
    std::vector<std::string> w;
    for (std::string x; f >> x;) w.push_back(x);
    for (const std::string& x : w)
      if (!x.empty() && std::isdigit(static_cast<unsigned char>(x[0])) &&
          x.find('.') == std::string::npos && std::stoi(x) >= 17 && std::stoi(x) <= 1021) {
        out.insert(std::stoi(x));
        break;
      }
  }
  return out;
}

}  // namespace

// LEU17-ALA21 of 2BEG chain A and a zinc placed 2.10 A from N of LEU17,
// away from its CA, the two joined by a link (a LINK record, a connection
// record): the chain's first residue takes no charged amino group; without
// the zinc it takes one.  (The PDB form only: the chain ends of an mmCIF
// file without terminus records are typed by another rule.)
TEST(EdgeLimits, ChainStartBondedToAMetalTakesNoTerminalGroup) {
  for (const bool linked : {true, false}) {
    std::vector<Atom> atoms = modeltext::atoms_of("2BEG.pdb", 'A', 17, 21);
    const Atom n = named(atoms, 17, "N"), ca = named(atoms, 17, "CA");
    const float len = modeltext::distance(n, ca);
    Atom zn;
    zn.record = "HETATM";
    zn.name = zn.res = zn.element = "ZN";
    zn.chain = "B";
    zn.num = 101;
    zn.x = n.x + 2.10f * (n.x - ca.x) / len;
    zn.y = n.y + 2.10f * (n.y - ca.y) / len;
    zn.z = n.z + 2.10f * (n.z - ca.z) / len;
    if (linked) atoms.push_back(zn);
    const Atom& n17 = named(atoms, 17, "N");
    const Atom& metal = linked ? named(atoms, 101, "ZN") : zn;
    TempDir dir;
    const std::string f =
        dir.write("zinc.pdb", (linked ? modeltext::pdb_link(n17, metal) : std::string()) +
                                  modeltext::pdb_atoms(atoms) + "END\n");
    {
      SCOPED_TRACE(f + (linked ? " linked" : " without the zinc"));
      const Written w = run_on(f);
      ASSERT_LE(w.r.ierr, 1) << w.r.out;
      EXPECT_EQ(ends_with(w.crd, "NH3"), linked ? std::set<int>{} : std::set<int>{17}) << w.crd;
      EXPECT_EQ(bonds_between(w, "17 N", "101 ZN"), linked ? 1 : 0);
    }
  }
}

// The zinc site of pdb_zinc_two_fold.pdb (P 1 2 1, a 20 A cell; the zinc
// bonded to SG of the two-fold copy of CYS1), the zinc written as chain B
// and moved by whole cells along a: 100 A on, its nearest copy to SG lies
// five cells back (shift -5, code 1_055), 80 A back four cells on (+4,
// 1_955); both are restrained.  100 A back it lies five cells on (+5),
// which no code of one digit a cell can name: not restrained, with a
// warning.  Moved 8 A up the two-fold, no copy of it lies within a bond of
// SG: not restrained, warned of as a link inside the model is.  From both
// forms.
TEST(EdgeLimits, CellShiftOfASymmetryLink) {
  const char* no_code =
      " WARNING : symm.link ZN-CYS   not used: cell shift   5   0   0 of operator   1 has no "
      "symmetry code (one digit, -5 to +4, per axis)\n";
  const char* no_bond =
      " WARNING : link:ZN-CYS   atoms too far apart to bond, dist =     8.324\n"
      "            ch:BB   res: 101  ZN       at:ZN  .->ch:AA   res:   1  CYS      at:SG  . "
      "ideal_dist=     1.500\n"
      "            link will not be restrained\n";
  // A converter states the distance to the copy the code names: a length
  // no bond has, which must not widen the reach.
  const char* stated_apart =
      " WARNING : link:ZN-CYS   atoms too far apart to bond, dist =     8.324\n";
  const struct {
    float dx, dy;
    const char* code;  // "" none
    const char* warning = "";
    const char* stated = "?";  // the length the mmCIF row states
  } rows[] = {{100.0f, 0.0f, "1_055"},
              {-80.0f, 0.0f, "1_955"},
              {-100.0f, 0.0f, "", no_code},
              {0.0f, 8.0f, "", no_bond},
              {0.0f, 8.0f, "", stated_apart, "8.324"}};
  for (const auto& row : rows) {
    std::vector<Atom> atoms = modeltext::atoms_of("pdb_zinc_two_fold.pdb", 'A', 1, 101);
    Atom& zn = named(atoms, 101, "ZN");
    zn.chain = "B";
    zn.x += row.dx;
    zn.y += row.dy;
    const Atom& sg = named(atoms, 1, "SG");
    TempDir dir;
    const std::string pdb = dir.write(
        "zinc.pdb",
        "CRYST1   20.000   20.000   20.000  90.00  90.00  90.00 P 1 2 1       2          \n" +
            modeltext::pdb_link(zn, sg, "2555") + modeltext::pdb_atoms(atoms) + "END\n");
    const std::string cif =
        dir.write("zinc.cif", modeltext::cif_model(atoms, {{&zn, &sg, "2_555", row.stated}},
                                                   "20 20 20 90 90 90", "P 1 2 1"));
    for (const std::string& f : {pdb, cif}) {
      SCOPED_TRACE(f + " moved by " + std::to_string(row.dx) + ", " + std::to_string(row.dy));
      const Written w = run_on(f);
      ASSERT_EQ(w.r.ierr, 0) << w.r.out;
      const std::size_t at = w.rst.find("\nBNDS ");
      if (*row.code == 0) {
        EXPECT_EQ(at, std::string::npos) << w.rst.substr(at == std::string::npos ? 0 : at, 80);
        EXPECT_NE(w.r.out.find(row.warning), std::string::npos) << w.r.out;
        continue;
      }
      ASSERT_NE(at, std::string::npos) << w.r.out;
      EXPECT_EQ(w.rst.substr(at + 1, 20), std::string("BNDS      1 ") + row.code + "   ");
    }
  }
}

// The same zinc site with the zinc and SG each in two conformers, zinc B
// 8 A up the two-fold: the link binds conformer A to its copy only, and
// the pair of B is warned of.
TEST(EdgeLimits, SymmetryLinkOfAConformerBeyondABond) {
  std::vector<Atom> atoms = modeltext::atoms_of("pdb_zinc_two_fold.pdb", 'A', 1, 101);
  const std::string link =
      modeltext::pdb_link(named(atoms, 101, "ZN"), named(atoms, 1, "SG"), "2555");
  for (const auto& [num, name, dy] : {std::tuple{1, "SG", 0.0f}, std::tuple{101, "ZN", 8.0f}}) {
    const auto a = std::find_if(atoms.begin(), atoms.end(),
                                [&](const Atom& x) { return x.num == num && x.name == name; });
    a->alt = "A";
    a->occ = 0.5f;
    Atom b = *a;
    b.alt = "B";
    b.y += dy;
    atoms.insert(a + 1, b);
  }
  TempDir dir;
  const Written w = run_on(dir.write(
      "zinc.pdb",
      "CRYST1   20.000   20.000   20.000  90.00  90.00  90.00 P 1 2 1       2          \n" + link +
          modeltext::pdb_atoms(atoms) + "END\n"));
  ASSERT_EQ(w.r.ierr, 0) << w.r.out;
  const std::size_t at = w.rst.find("\nBNDS ");
  ASSERT_NE(at, std::string::npos) << w.r.out;
  EXPECT_EQ(w.rst.find("\nBNDS ", at + 1), std::string::npos) << w.rst;
  EXPECT_NE(w.rst.find("# ZN  A SG  A", at), std::string::npos) << w.rst;
  EXPECT_NE(
      w.r.out.find(
          " WARNING : link:ZN-CYS   atoms too far apart to bond, dist =     8.324\n"
          "            ch:Aa   res: 101  ZN       at:ZN  B->ch:AA   res:   1  CYS      at:SG  B"
          " ideal_dist=     1.500\n"
          "            link will not be restrained between these conformers\n"),
      std::string::npos)
      << w.r.out;
}

// 1A8O_gap.pdb (ASP152-LYS158 and LEU172-ALA177 of 1A8O, 20.1 A apart)
// renumbered by +840: 992-998 and 1012-1017, the second run's numbers
// filling columns 23-26 of the atom records.  Every residue keeps its
// number and its peptide bonds, and the jump in the numbers tells the walk
// along the chain to expect the break: a gap, without a peptide bond tried
// across it.
TEST(EdgeLimits, ResidueNumberInColumn23) {
  std::string pdb;
  std::istringstream in(file_text(pipetest::data("1A8O_gap.pdb")));
  for (std::string l; std::getline(in, l);) {
    if (l.starts_with("ATOM") || l.starts_with("HETATM")) {
      const std::string num = std::to_string(std::stoi(l.substr(22, 4)) + 840);
      l.replace(22, 4, std::string(4 - num.size(), ' ') + num);
    }
    pdb += l + "\n";
  }
  ASSERT_NE(pdb.find(" LEU A1012 "), std::string::npos);
  TempDir dir;
  const Written w = run_on(dir.write("numbered.pdb", pdb));
  ASSERT_EQ(w.r.ierr, 0) << w.r.out;
  for (int n : {992, 993, 994, 995, 996, 997, 1012, 1013, 1014, 1015, 1016})
    EXPECT_EQ(bonds_between(w, std::to_string(n) + " C", std::to_string(n + 1) + " N"), 1) << n;
  EXPECT_EQ(bonds_between(w, "998 C", "1012 N"), 0);
  EXPECT_NE(w.crd.find(" LEU      1012  AA   gap       998  ."), std::string::npos) << w.crd;
  EXPECT_EQ(w.r.out.find("big distance for conn:TRANS"), std::string::npos) << w.r.out;
}
