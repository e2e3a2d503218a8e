// The edges of the rules the latest link work drew, each tried through whole
// runs on excerpts of shipped entries changed in the test, on the side of
// the rule that the nearest wrong limit would move: when a residue the
// library lacks joins its neighbours, when a peptide link the walk along the
// chain does not make turns cis, which bond restraints are warned of as far
// from the model, and how a link on a hydrogen the file names as written
// keeps its bond.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "model_text.h"
#include "pipeline_fixture.h"
#include "written_run.h"

namespace {

using modeltext::turn;
using modeltext::Atom;
using modeltext::named;
using pipetest::Outcome;

using wrun::Written;
using wrun::bonds_between;
using wrun::run_on;

// Moves the atoms of residues from_num on so that atom `a` of residue
// from_num - 1 and atom `b` of residue from_num are `length` apart along
// the line between them.
void stretch(std::vector<Atom>& atoms, int from_num, const std::string& a, const std::string& b,
             float length) {
  const Atom p = named(atoms, from_num - 1, a), q = named(atoms, from_num, b);
  const float f = length / modeltext::distance(p, q) - 1;
  const float d[3] = {(q.x - p.x) * f, (q.y - p.y) * f, (q.z - p.z) * f};
  for (Atom& x : atoms)
    if (x.num >= from_num) x.x += d[0], x.y += d[1], x.z += d[2];
}

float omega(const std::vector<Atom>& atoms, int n) {
  std::vector<Atom> copy = atoms;
  return modeltext::torsion(named(copy, n - 1, "CA"), named(copy, n - 1, "C"), named(copy, n, "N"),
                            named(copy, n, "CA"));
}

// The PDB (with `head` before the atoms) and the mmCIF form of the atoms.
std::vector<std::string> both_forms(const TempDir& dir, const std::string& name,
                                    const std::vector<Atom>& atoms, const std::string& head = "",
                                    const std::vector<modeltext::Conn>& conns = {}) {
  return {dir.write(name + ".pdb",
                    "HEADER    EXCERPT\n" + head + modeltext::pdb_atoms(atoms) + "END\n"),
          dir.write(name + ".cif", modeltext::cif_model(atoms, conns))};
}

// The back connection of residue `num` in the written sequence rows.
std::string back_connection(const std::string& crd, const std::string& res, int num) {
  std::istringstream in(crd);
  for (std::string l; std::getline(in, l);) {
    std::istringstream f(l);
    std::string name, number, entity, back;
    if (f >> name >> number >> entity >> back && name == res && number == std::to_string(num))
      return back;
  }
  return "";
}

}  // namespace

// MSE185-LEU190 of 1A8O (the selenomethionine is built: the test library
// lacks it), THR186 on moved along C185-N186 until that gap is 1.90 A: past
// the 1.7 A within which a residue the library lacks is taken into the
// peptide it bonds, and short of the 2.2 A a looser rule would take.  The
// built residue is restrained as a residue of no polymer class; at 1.33 A
// it is an L-peptide bonded to THR186, from both forms.
TEST(LinkEdges, BuiltResidueJoinsItsNeighbourWithin1p7) {
  for (const float length : {1.33f, 1.90f}) {
    std::vector<Atom> atoms = modeltext::atoms_of("1A8O.pdb", 'A', 185, 190);
    for (Atom& a : atoms) a.record = "ATOM", a.seq = a.num - 184;
    stretch(atoms, 186, "C", "N", length);
    TempDir dir;
    for (const std::string& f : both_forms(dir, "apart", atoms)) {
      SCOPED_TRACE(f + " at " + std::to_string(length));
      const Written w = run_on(f);
      ASSERT_LE(w.r.ierr, 1) << w.r.out;
      const bool joined = length < 1.7f;
      EXPECT_EQ(w.rst.find("# data_restr_MSE______0185-_AA  _L-peptide\n") != std::string::npos,
                joined)
          << w.rst.substr(0, 2000);
      EXPECT_EQ(w.rst.find("# data_restr_MSE______0185-_AA  _.\n") != std::string::npos, !joined);
      if (joined) {
        EXPECT_EQ(bonds_between(w, "185 C", "186 N"), 1);
      }
    }
  }
}

// LEU17-ALA21 of 2BEG chain A with PHE19 written as HETATM, joined to its
// neighbours by LINK records (connection rows in the mmCIF form, PHE19 in
// its chain's sequence), and turned about C18-N19 to an omega of -52
// degrees (cis: 52 lies between the cis limit of 90 and the 30 a tighter
// rule would draw) or -110 (trans).  The PDB form sets PHE19 apart, so its
// peptide links are the input's, made cis by the step that reviews links the
// walk does not make; the mmCIF form names them inside the chain, where an
// input row's trans link turns cis with the model, in its row and in the
// written sequence.  Both restrain the cis link at -52 and the trans link
// at -110, and say which.
TEST(LinkEdges, InputPeptideLinkTurnsCisBelow90) {
  for (const float target : {-52.0f, -110.0f}) {
    std::vector<Atom> atoms = modeltext::atoms_of("2BEG.pdb", 'A', 17, 21);
    for (Atom& a : atoms) {
      a.seq = a.num - 16;
      if (a.num == 19) a.record = "HETATM";
    }
    turn(atoms, 19, named(atoms, 18, "C"), named(atoms, 19, "N"), target - omega(atoms, 19));
    ASSERT_NEAR(omega(atoms, 19), target, 0.1f);
    const Atom &c18 = named(atoms, 18, "C"), &n19 = named(atoms, 19, "N"),
               &c19 = named(atoms, 19, "C"), &n20 = named(atoms, 20, "N");
    TempDir dir;
    const std::vector<std::string> files = both_forms(
        dir, "twisted", atoms, modeltext::pdb_link(c18, n19) + modeltext::pdb_link(c19, n20),
        {{&c18, &n19}, {&c19, &n20}});
    for (const std::string& f : files) {
      SCOPED_TRACE(f + " at " + std::to_string(target));
      const Written w = run_on(f);
      ASSERT_LE(w.r.ierr, 1) << w.r.out;
      const bool cis = target > -90.0f;
      EXPECT_EQ(w.rst.find("# link_'CIS     '_VAL______0018-") != std::string::npos, cis)
          << w.r.out;
      EXPECT_EQ(w.rst.find("# link_'TRANS   '_VAL______0018-") != std::string::npos, !cis);
      EXPECT_EQ(bonds_between(w, "18 C", "19 N"), 1);
      EXPECT_EQ(bonds_between(w, "19 C", "20 N"), 1);
      EXPECT_EQ(w.r.out.find(" WARNING : CIS peptide bond is found, angle =") != std::string::npos,
                cis);
      EXPECT_EQ(w.r.out.find("(not be used)"), std::string::npos) << w.r.out;
      // The mmCIF form's sequence rows carry the form the link took.
      if (f.ends_with(".cif")) {
        EXPECT_EQ(back_connection(w.crd, "PHE", 19), cis ? "CIS" : "TRANS") << w.crd;
      }
    }
  }
}

// MET35 of 2BEG chain A alone with CE (and its hydrogens) moved along
// SD-CE until the two are 0.70 A apart, 1.09 A short of the library's 1.79:
// a bond restrained far shorter than its ideal is warned of as one far
// longer is, from both forms; the other bonds of the residue are not.
TEST(LinkEdges, BondRestraintFarShorterThanItsIdealIsWarnedOf) {
  std::vector<Atom> met = modeltext::atoms_of("2BEG.pdb", 'A', 35, 35);
  const Atom sd = named(met, 35, "SD"), ce = named(met, 35, "CE");
  const float f = 0.70f / modeltext::distance(sd, ce) - 1;
  const float d[3] = {(ce.x - sd.x) * f, (ce.y - sd.y) * f, (ce.z - sd.z) * f};
  for (Atom& a : met)
    if (a.name == "CE" || a.name.starts_with("HE")) a.x += d[0], a.y += d[1], a.z += d[2];
  ASSERT_NEAR(modeltext::distance(named(met, 35, "SD"), named(met, 35, "CE")), 0.70f, 0.002f);
  TempDir dir;
  for (const std::string& file : both_forms(dir, "short", met)) {
    SCOPED_TRACE(file);
    const Written w = run_on(file);
    ASSERT_EQ(w.r.ierr, 0) << w.r.out;
    const std::string warning = " WARNING : bond restraint far from the model";
    const std::size_t at = w.r.out.find(warning + ", dist =     0.700 ideal_dist=");
    ASSERT_NE(at, std::string::npos) << w.r.out;
    EXPECT_NE(w.r.out.find("at:SD  .->ch:AA   res:  35  MET      at:CE  .\n", at),
              std::string::npos)
        << w.r.out.substr(at, 200);
    EXPECT_EQ(w.r.out.find(warning, at + 1), std::string::npos) << w.r.out;
  }
}

// TYR17-ARG22 of 1LCD in pdb_arg_tyr_trp_h.pdb (hydrogens named as the
// archive's current PDB form names them, HH11 from column 13) and a water
// whose oxygen lies 1.00 A beyond HH11 of ARG22 on the line NH1-HH11,
// joined to HH11 by a LINK record (a connection row in the mmCIF form).
// The arginine keeps the name HH11 and the link its bond, restrained once.
TEST(LinkEdges, LinkOnAHydrogenKeptUnderItsWrittenNameKeepsItsBond) {
  std::vector<Atom> atoms = modeltext::atoms_of("pdb_arg_tyr_trp_h.pdb", 'A', 17, 22);
  for (Atom& a : atoms) a.seq = a.num - 16;
  const Atom nh1 = named(atoms, 22, "NH1"), hh11 = named(atoms, 22, "HH11");
  const float len = modeltext::distance(nh1, hh11);
  Atom o;
  o.record = "HETATM";
  o.name = "O";
  o.res = "HOH";
  o.element = "O";
  o.chain = "W";
  o.num = 1;
  o.x = hh11.x + (hh11.x - nh1.x) / len;
  o.y = hh11.y + (hh11.y - nh1.y) / len;
  o.z = hh11.z + (hh11.z - nh1.z) / len;
  atoms.push_back(o);
  const Atom &h = named(atoms, 22, "HH11"), &w = named(atoms, 1, "O");
  TempDir dir;
  for (const std::string& f :
       both_forms(dir, "arg", atoms, modeltext::pdb_link(h, w), {{&h, &w}})) {
    SCOPED_TRACE(f);
    const Written r = run_on(f);
    ASSERT_LE(r.r.ierr, 1) << r.r.out;
    EXPECT_EQ(bonds_between(r, "22 HH11", "1 O"), 1) << r.rst;
    EXPECT_EQ(bonds_between(r, "22 NH1", "22 HH11"), 1);
  }
}
