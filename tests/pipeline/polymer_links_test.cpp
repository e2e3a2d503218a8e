// Peptide and phosphodiester links through whole runs, whichever stage makes
// them: each is made only where its two atoms are within the chain's break
// limit (1.3 times the ideal), each bonded pair is restrained once, a chain
// atom that a link bonds takes no terminal group, and a link to a proline
// takes the proline form.  Every model is an excerpt of a shipped entry
// changed in the test (each case says how), run from a PDB file and from the
// archive's mmCIF form, and again on the coordinates the first run wrote;
// the restraints of the three are compared atom by atom.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "model_text.h"
#include "pipeline_fixture.h"
#include "restraint_sets.h"

namespace {

using modeltext::Atom;
using modeltext::named;
using rsets::ModelRun;
using rsets::Restraints;

// The PDB form (with `head` before its atoms) and the mmCIF form of the atoms.
struct Forms {
  std::string pdb, cif;
};

Forms both_forms(const TempDir& dir, const std::string& name, const std::vector<Atom>& atoms,
                 const std::string& head = "", const std::vector<modeltext::Conn>& conns = {}) {
  return {dir.write(name + ".pdb", head + modeltext::pdb_atoms(atoms) + "END\n"),
          dir.write(name + ".cif", modeltext::cif_model(atoms, conns))};
}

// Residues from_num on moved as one along the line from atom `a` to atom
// `b` (of the residue before), until the two are `length` apart.
void stretch(std::vector<Atom>& atoms, int from_num, const Atom& a, const Atom& b, float length) {
  const float now = modeltext::distance(a, b), f = length / now - 1;
  const float d[3] = {(b.x - a.x) * f, (b.y - a.y) * f, (b.z - a.z) * f};
  for (Atom& x : atoms)
    if (x.num >= from_num) x.x += d[0], x.y += d[1], x.z += d[2];
}

int count_of(const Restraints& all, const std::string& key) {
  return static_cast<int>(all.count(key));
}

void expect_each_once(const std::string& label, const Restraints& all) {
  for (const std::string& k : rsets::repeated(all)) ADD_FAILURE() << label << ", twice: " << k;
}

// ------------------------------------------------------------ the proline form

// Residues 143-150 of chain A of 3P1U (tests/data/pdb_3p1u_mse_pro.pdb, as
// deposited): MSE147, which the test library lacks and the run builds, lies
// between PRO146 and PRO148.  Made in the test: the excerpt with the entry's
// LINK records (connection rows in the mmCIF form), without them, and with
// MSE147 written as ATOM records.
std::vector<Atom> mse_pro() { return modeltext::atoms_of("pdb_3p1u_mse_pro.pdb", 'A', 143, 150); }

// Every form links MSE147 to PRO148 by the proline form of the peptide link
// (C-N 1.341 and the angle C-N-CD), as the walk along a chain links any
// residue to a proline, and PRO146 to MSE147 by the plain trans link (1.329,
// no CD angle): the residue on the N side decides, not the stage that found
// the link.  All forms restrain the same atoms alike.
TEST(PolymerLinks, ProlineFormByTheResidueOnTheNSide) {
  Restraints first;
  for (const std::string variant : {"ATOM", "HETATM", "HETATM with links"}) {
    SCOPED_TRACE(variant);
    std::vector<Atom> atoms = mse_pro();
    for (Atom& a : atoms)
      if (a.res == "MSE") a.record = variant == "ATOM" ? "ATOM" : "HETATM";
    std::string head;
    std::vector<modeltext::Conn> conns;
    if (variant == "HETATM with links") {
      const Atom &c146 = named(atoms, 146, "C"), &n147 = named(atoms, 147, "N");
      const Atom &c147 = named(atoms, 147, "C"), &n148 = named(atoms, 148, "N");
      head = modeltext::pdb_link(c146, n147) + modeltext::pdb_link(c147, n148);
      conns = {{&c146, &n147}, {&c147, &n148}};
    }
    TempDir models;
    const Forms f = both_forms(models, "mse_pro", atoms, head, conns);
    ModelRun p;
    rsets::expect_both_forms_and_rerun(variant, f.pdb, f.cif, p);
    const Restraints to_pro = rsets::between(p.restraints, "A147 MSE", "A148 PRO");
    EXPECT_EQ(count_of(to_pro, "BOND | A147 MSE C | A148 PRO N | 1.341 0.016"), 1);
    EXPECT_EQ(count_of(to_pro, "ANGL | A147 MSE C | A148 PRO N | A148 PRO CD | 128.400 2.100"), 1);
    const Restraints to_mse = rsets::between(p.restraints, "A146 PRO", "A147 MSE");
    EXPECT_EQ(count_of(to_mse, "BOND | A146 PRO C | A147 MSE N | 1.329 0.014"), 1);
    for (const std::string& k : to_mse) EXPECT_EQ(k.find("CD"), std::string::npos) << k;
    expect_each_once(variant, p.restraints);
    if (first.empty()) first = p.restraints;
    rsets::expect_same(variant + " against ATOM", first, p.restraints);
  }
}

// ------------------------------------------------------------ the break limit

// Chain A of 2BEG with LYS28's carbonyl oxygen named OT1 and a second
// oxygen OT2 put 1.25 A from its C along the normal of the plane CA-C-OT1,
// as simulation programs name a carboxyl's oxygens: the test library lacks
// such a residue, so the run builds it, and the residue types give no link
// to its neighbours; the reader's peptide connection stands where the atoms
// bond.  GLY29 on is
// moved along the line from LYS28 C to GLY29 N until the two are 1.70 A
// apart (1.28 times the ideal 1.329: bonded) or 1.76 A (1.32 times: a
// break), 3.9 A and 30 A.  Each peptide bond is restrained once, by the
// trans link (1.329), and a break restrains nothing across it.
TEST(PolymerLinks, ResidueTheLibraryLacksJoinsOnlyWithinTheBreakLimit) {
  for (const float length : {1.70f, 1.76f, 3.9f, 30.0f}) {
    SCOPED_TRACE(length);
    std::vector<Atom> atoms = modeltext::atoms_of("2BEG.pdb", 'A', 17, 42);
    Atom& o = named(atoms, 28, "O");
    o.name = "OT1";
    const Atom c = named(atoms, 28, "C"), ca = named(atoms, 28, "CA");
    const float u[3] = {ca.x - c.x, ca.y - c.y, ca.z - c.z},
                w[3] = {o.x - c.x, o.y - c.y, o.z - c.z};
    float nrm[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                    u[0] * w[1] - u[1] * w[0]};
    const float l = std::sqrt(nrm[0] * nrm[0] + nrm[1] * nrm[1] + nrm[2] * nrm[2]);
    Atom ot2 = o;
    ot2.name = "OT2";
    ot2.x = c.x + 1.25f * nrm[0] / l;
    ot2.y = c.y + 1.25f * nrm[1] / l;
    ot2.z = c.z + 1.25f * nrm[2] / l;
    atoms.insert(atoms.begin() + (&o - atoms.data()) + 1, ot2);
    stretch(atoms, 29, named(atoms, 28, "C"), named(atoms, 29, "N"), length);
    ASSERT_NEAR(modeltext::distance(named(atoms, 28, "C"), named(atoms, 29, "N")), length, 0.002f);
    TempDir models;
    const Forms f = both_forms(models, "ot1", atoms);
    ModelRun p;
    rsets::expect_both_forms_and_rerun("OT1 at " + std::to_string(length), f.pdb, f.cif, p, 1,
                                       true);
    expect_each_once("OT1", p.restraints);
    const Restraints before = rsets::between(p.restraints, "A27 ASN", "A28 LYS");
    EXPECT_EQ(count_of(before, "BOND | A27 ASN C | A28 LYS N | 1.329 0.014"), 1);
    const Restraints after = rsets::between(p.restraints, "A28 LYS", "A29 GLY");
    if (length < 1.728f) {
      EXPECT_EQ(count_of(after, "BOND | A28 LYS C | A29 GLY N | 1.329 0.014"), 1);
      EXPECT_EQ(
          count_of(after, "TORS | A28 LYS CA | A28 LYS C | A29 GLY N | A29 GLY CA | 180.000 5.000"),
          1);
    } else {
      EXPECT_TRUE(after.empty()) << *after.begin();
      EXPECT_NE(p.out.out.find("big distance for conn:TRANS"), std::string::npos);
    }
  }
}

// Chain A of 2BEG (LEU17-GLU22) with ALA21 on moved along the line from
// PHE20 C to ALA21 N until they are 1.70, 1.76 or 2.50 A apart, the bond
// named by a LINK record (a connection row in the mmCIF form): a bond the
// file names is restrained only within the break limit, as the walk's own;
// beyond it, nothing joins the two residues and no bond is written with the
// warning that it is far from the model.
TEST(PolymerLinks, PeptideBondTheFileNamesHoldsOnlyWithinTheBreakLimit) {
  for (const float length : {1.70f, 1.76f, 2.50f}) {
    SCOPED_TRACE(length);
    std::vector<Atom> atoms = modeltext::atoms_of("2BEG.pdb", 'A', 17, 22);
    stretch(atoms, 21, named(atoms, 20, "C"), named(atoms, 21, "N"), length);
    const Atom &c = named(atoms, 20, "C"), &n = named(atoms, 21, "N");
    TempDir models;
    const Forms f = both_forms(models, "linked", atoms, modeltext::pdb_link(c, n), {{&c, &n}});
    ModelRun p;
    rsets::expect_both_forms_and_rerun("LINK at " + std::to_string(length), f.pdb, f.cif, p, 1);
    const Restraints across = rsets::between(p.restraints, "A20 PHE", "A21 ALA");
    EXPECT_EQ(count_of(across, "BOND | A20 PHE C | A21 ALA N | 1.329 0.014"),
              length < 1.728f ? 1 : 0);
    if (length > 1.728f) {
      EXPECT_TRUE(across.empty()) << *across.begin();
    }
    EXPECT_EQ(p.out.out.find("bond restraint far from the model"), std::string::npos);
    expect_each_once("LINK", p.restraints);
  }
}

// ------------------------------------------------------------ nucleotides

// DNA chain B of 1LCD (model 1) with its guanosines and thymidines under the
// old names G and T, which the test library lacks: the run builds them and
// keeps them nucleotides on both roads, so the walk along the chain joins
// every pair by the library's phosphodiester link.  The adenosines and
// cytidines keep the current names DA, DC and atoms O3', OP1, which the
// library's link spells O3*, O1P: the walk still measures the bond's own
// atoms (not P of one residue to O3' of the next), finds the link for
// residues of the DNA class and restrains it with the link's values.  Each
// O3'-P bond is restrained once on either road, never a second time by a
// later stage, and a second run on the written coordinates restrains the
// same across residues.  With residue 5 on moved along the line from O3' of
// residue 4 to P of residue 5, that bond holds at 2.05 A (1.28 times the
// ideal 1.607) and not at 2.13 A (1.33 times) on either road.
TEST(PolymerLinks, OldNameNucleotidesBondOnceWithinTheBreakLimit) {
  for (const float length : {0.0f, 2.05f, 2.13f}) {
    SCOPED_TRACE(length);
    std::vector<Atom> atoms = modeltext::atoms_of("1LCD.pdb", 'B', 1, 9);
    for (Atom& a : atoms)
      if (a.res == "DG" || a.res == "DT") a.res = a.res.substr(1);
    if (length > 0.0f) stretch(atoms, 5, named(atoms, 4, "O3'"), named(atoms, 5, "P"), length);
    TempDir models;
    const Forms f = both_forms(models, "dna", atoms);
    ModelRun p, c, again;
    rsets::run_model(f.pdb, p, 1);
    rsets::run_model(f.cif, c, 1);
    rsets::run_model(p.dir.path() + "/out.crd", again, 1);
    rsets::expect_same("DNA: second run on the written coordinates", rsets::across(p.restraints),
                       rsets::across(again.restraints));
    for (const ModelRun* r : {&p, &c}) {
      expect_each_once("DNA", r->restraints);
      const char* road = r == &p ? "PDB" : "mmCIF";
      int phosphodiester = 0;
      for (const std::string& k : r->restraints)
        if (k.starts_with("BOND") && k.find(" O3") != std::string::npos &&
            k.find(" P |") != std::string::npos) {
          ++phosphodiester;
          EXPECT_TRUE(k.ends_with("| 1.607 0.012")) << road << ": " << k;
        }
      EXPECT_EQ(phosphodiester, length > 2.089f ? 7 : 8) << road;
      EXPECT_EQ(r->out.out.find("is not present"), std::string::npos) << road << r->out.out;
    }
  }
}

// Residues 145-148 of chain A of 3P49 (tests/data/pdb_3p49_mg_cut.pdb), A147
// renamed XMA, a nucleotide no name list knows (built keeping its "O3'"),
// linked to both neighbours by the file (HETATM inside the mmCIF chain):
// each O3'-P bond once on either road, never again by the walk.
TEST(PolymerLinks, NucleotideNoListKnowsIsBondedOnceByTheFilesLinks) {
  std::vector<Atom> atoms = modeltext::atoms_of("pdb_3p49_mg_cut.pdb", 'A', 145, 148);
  for (Atom& a : atoms)
    if (a.num == 147) a.res = "XMA", a.record = "HETATM";
  const Atom &o146 = named(atoms, 146, "O3'"), &p147 = named(atoms, 147, "P");
  const Atom &o147 = named(atoms, 147, "O3'"), &p148 = named(atoms, 148, "P");
  TempDir models;
  const Forms f = both_forms(models, "xma", atoms,
                             modeltext::pdb_link(o146, p147) + modeltext::pdb_link(o147, p148),
                             {{&o146, &p147}, {&o147, &p148}});
  ModelRun p;
  rsets::expect_both_forms_and_rerun("XMA", f.pdb, f.cif, p);
  expect_each_once("XMA", p.restraints);
}

// ------------------------------------------------------------ chain ends

// Chain A of 2BEG (LEU17-PHE20) with the first NAG of tests/data/nag_chain.pdb
// set beside it so that its C1 is 1.45 A from LEU17's N, on the side away
// from CA and H, the ring pointing away: the search by distance links the two.
// The N that the link bonds is no free amine: it takes no NH3 group (no NT3
// type, no added hydrogens) on any road.
TEST(PolymerLinks, ChainStartBondedByDistanceTakesNoTerminalGroup) {
  std::vector<Atom> atoms = modeltext::atoms_of("2BEG.pdb", 'A', 17, 20);
  std::vector<Atom> nag = modeltext::atoms_of("nag_chain.pdb", 'C', 1, 1);
  const Atom n = named(atoms, 17, "N"), ca = named(atoms, 17, "CA"), h = named(atoms, 17, "H");
  auto unit = [](float x, float y, float z) {
    const float l = std::sqrt(x * x + y * y + z * z);
    return std::vector<float>{x / l, y / l, z / l};
  };
  const auto u1 = unit(n.x - ca.x, n.y - ca.y, n.z - ca.z),
             u2 = unit(n.x - h.x, n.y - h.y, n.z - h.z);
  const auto u = unit(u1[0] + u2[0], u1[1] + u2[1], u1[2] + u2[2]);
  // The ring's centre from C1, turned onto u.
  const Atom c1 = named(nag, 1, "C1");
  float g[3] = {0, 0, 0};
  for (const Atom& a : nag)
    g[0] += a.x / nag.size(), g[1] += a.y / nag.size(), g[2] += a.z / nag.size();
  const auto v = unit(g[0] - c1.x, g[1] - c1.y, g[2] - c1.z);
  const auto axis =
      unit(v[1] * u[2] - v[2] * u[1], v[2] * u[0] - v[0] * u[2], v[0] * u[1] - v[1] * u[0]);
  const float cosa = v[0] * u[0] + v[1] * u[1] + v[2] * u[2], sina = std::sqrt(1 - cosa * cosa);
  for (Atom& a : nag) {
    const float p[3] = {a.x - c1.x, a.y - c1.y, a.z - c1.z};
    const float d = axis[0] * p[0] + axis[1] * p[1] + axis[2] * p[2];
    const float x[3] = {axis[1] * p[2] - axis[2] * p[1], axis[2] * p[0] - axis[0] * p[2],
                        axis[0] * p[1] - axis[1] * p[0]};
    float q[3];
    for (int i = 0; i < 3; ++i) q[i] = p[i] * cosa + x[i] * sina + axis[i] * d * (1 - cosa);
    a.x = n.x + 1.45f * u[0] + q[0];
    a.y = n.y + 1.45f * u[1] + q[1];
    a.z = n.z + 1.45f * u[2] + q[2];
    a.chain = "B";
    a.num = 1;
    atoms.push_back(a);
  }
  ASSERT_NEAR(modeltext::distance(named(atoms, 17, "N"), named(atoms, 1, "C1")), 1.45f, 0.002f);
  TempDir models;
  const Forms f = both_forms(models, "nag", atoms);
  ModelRun p;
  rsets::expect_both_forms_and_rerun("NAG", f.pdb, f.cif, p, 1);
  bool bonded = false;
  for (const std::string& r : rsets::between(p.restraints, "A17 LEU", "B1 NAG"))
    bonded = bonded || (r.starts_with("BOND") && r.find("A17 LEU N") != std::string::npos);
  EXPECT_TRUE(bonded) << p.out.out;
  ASSERT_EQ(pipetest::read_coordinates(p.dir.path() + "/out"), 0);
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) {
    const int ir = atom_inf.i_resid(ia);
    if (!(resid_inf.res_name(ir) == "LEU") || !(resid_inf.res_num_pdb(ir).sub(3, 6) == "  17"))
      continue;
    EXPECT_FALSE(atom_inf.atm_name(ia) == "H2" || atom_inf.atm_name(ia) == "H3")
        << atom_inf.atm_name(ia).trimmed();
    if (atom_inf.atm_name(ia) == "N") {
      EXPECT_FALSE(atom_inf.atm_chem(ia) == "NT3");
    }
  }
}

}  // namespace

namespace {

// The atoms of residue `number` of the coordinates written in dir, "name
// type" each.
std::vector<std::string> written_residue(const std::string& dir, int number) {
  std::vector<std::string> out;
  EXPECT_EQ(pipetest::read_coordinates(dir + "/out"), 0);
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) {
    const int ir = atom_inf.i_resid(ia);
    if (std::stoi(std::string(resid_inf.res_num_pdb(ir).sub(3, 6))) != number) continue;
    out.push_back(std::string(atom_inf.atm_name(ia).trimmed()) + " " +
                  std::string(atom_inf.atm_chem(ia).trimmed()));
  }
  return out;
}

}  // namespace

// SER26-ALA30 of 2BEG chain A, changed as an isopeptide through a side chain
// is written: ASN27 as HETATM records under the name XCX (which the test
// library lacks) with its C and O named CX and OX, so that it has no peptide
// backbone, GLY29 as HETATM records, and LINK records (connection rows in
// the mmCIF form) joining XCX27 CX to LYS28 N and LYS28 C to GLY29 N.  The
// PDB reader sets LYS28 apart as a chain of its own; its N and C carry links
// and take no terminal group: N keeps the peptide type NH1 (not the amine
// NT3, no H2 or H3 added) and no OXT is written, on either road and on a
// second run.
TEST(PolymerLinks, ResidueLinkedAtItsNToASideChainIsNoChainStart) {
  std::vector<Atom> atoms = modeltext::atoms_of("2BEG.pdb", 'A', 26, 30);
  for (Atom& a : atoms) {
    if (a.num == 27) {
      a.record = "HETATM";
      a.res = "XCX";
      if (a.name == "C") a.name = "CX";
      if (a.name == "O") a.name = "OX";
    }
    if (a.num == 29) a.record = "HETATM";
  }
  const Atom &cx = named(atoms, 27, "CX"), &n28 = named(atoms, 28, "N");
  const Atom &c28 = named(atoms, 28, "C"), &n29 = named(atoms, 29, "N");
  TempDir models;
  const Forms f = both_forms(models, "isopeptide", atoms,
                             modeltext::pdb_link(cx, n28) + modeltext::pdb_link(c28, n29),
                             {{&cx, &n28}, {&c28, &n29}});
  ModelRun p, c, again;
  rsets::run_model(f.pdb, p, 1);
  rsets::run_model(f.cif, c, 1);
  rsets::run_model(p.dir.path() + "/out.crd", again, 1);
  rsets::expect_same("isopeptide: PDB and mmCIF forms", rsets::across(p.restraints),
                     rsets::across(c.restraints));
  rsets::expect_same("isopeptide: second run", rsets::across(p.restraints),
                     rsets::across(again.restraints));
  for (const ModelRun* r : {&p, &c, &again}) {
    const std::vector<std::string> lys = written_residue(r->dir.path(), 28);
    EXPECT_NE(std::find(lys.begin(), lys.end(), "N NH1"), lys.end()) << testing::PrintToString(lys);
    for (const std::string& a : lys) {
      EXPECT_FALSE(a.starts_with("H2 ") || a.starts_with("H3 ") || a.starts_with("OXT ")) << a;
    }
    int bonds = 0;
    for (const std::string& k : rsets::between(r->restraints, "A27 XCX", "A28 LYS"))
      bonds += k.starts_with("BOND | A27 XCX CX | A28 LYS N |");
    EXPECT_EQ(bonds, 1);
  }
}
