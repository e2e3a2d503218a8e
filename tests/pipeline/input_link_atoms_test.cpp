// Links a file names, through whole runs: each stands on the two atoms it
// names (a library link on other atoms of the same residues is not taken
// for it), one between atoms too far apart for any bond is not restrained,
// and every bond restraint far from the model's length is warned of.  Each
// case from the PDB and the mmCIF form, compared restraint by restraint by
// the atoms they join, and again on the coordinates the run wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "model_text.h"
#include "pipeline_fixture.h"

namespace {

using pipetest::data;
using pipetest::Options;
using pipetest::Outcome;

using modeltext::Atom;
using modeltext::named;

// The restraints of a run by the atoms they join ("chain|number|residue|
// atom" each, bonds, angles and torsions read in one direction), with the
// record's label, ideal, esd and observed value.  Without `chain` an atom
// is "number|residue|atom": the PDB form splits a chain where the mmCIF form
// does not.
std::multiset<std::string> by_atoms(const std::string& base, bool chain = true) {
  EXPECT_EQ(pipetest::read_coordinates(base), 0) << base;
  std::vector<std::string> keys;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) {
    const std::string k = pipetest::atom_key(ia);
    keys.push_back(
        k.substr(chain ? 0 : k.find('|') + 1, k.rfind('|') - (chain ? 0 : k.find('|') + 1)));
  }
  std::multiset<std::string> out;
  for (const pipetest::Record& r : pipetest::records(file_text(base + ".rst"))) {
    std::vector<std::string> who;
    for (int s : r.serials)
      who.push_back(s >= 1 && s <= static_cast<int>(keys.size()) ? keys[s - 1] : "?");
    const std::string kind = r.line.substr(0, 4);
    if (kind != "CHIR" && who.back() < who.front()) std::reverse(who.begin(), who.end());
    std::istringstream first(r.line.substr(0, r.line.find('\n')));
    std::vector<std::string> w;
    for (std::string x; first >> x;) w.push_back(x);
    std::string key = kind;
    for (const std::string& a : who) key += " " + a;
    if (kind != "PLAN")
      key += " " + w[2] + " " + w[w.size() - 3] + " " + w[w.size() - 2] + " " + w.back();
    out.insert(key);
  }
  return out;
}

// The restraints of `all` that join atoms of residues `a` and `b` ("chain|number|residue").
std::multiset<std::string> across(const std::multiset<std::string>& all, const std::string& a,
                                  const std::string& b) {
  std::multiset<std::string> out;
  for (const std::string& k : all)
    if (k.find(a + "|") != std::string::npos && k.find(b + "|") != std::string::npos) out.insert(k);
  return out;
}

void expect_same(const std::string& what, const std::multiset<std::string>& x,
                 const std::multiset<std::string>& y) {
  for (const std::string& k : x)
    if (y.count(k) != x.count(k)) ADD_FAILURE() << what << ", first only: " << k;
  for (const std::string& k : y)
    if (x.count(k) != y.count(k)) ADD_FAILURE() << what << ", second only: " << k;
}

// ASN37 of a_structure.pdb and NAG1 of nag_chain.pdb (moved as a whole, as
// chain B) so that its atom `placed` lies 1.45 A from ND2 on the line from
// CG through ND2; a nameless link ND2 to `linked`.
struct Glycan {
  std::vector<Atom> atoms;
  std::string pdb, cif;
};

Glycan asn_nag(const std::string& placed, const std::string& linked) {
  Glycan g;
  std::vector<Atom> asn = modeltext::atoms_of("a_structure.pdb", 'A', 37, 37);
  std::vector<Atom> nag = modeltext::atoms_of("nag_chain.pdb", 'C', 1, 1);
  const Atom cg = named(asn, 37, "CG"), nd2 = named(asn, 37, "ND2"), p = named(nag, 1, placed);
  const float len = modeltext::distance(cg, nd2);
  const float shift[3] = {nd2.x + 1.45f * (nd2.x - cg.x) / len - p.x,
                          nd2.y + 1.45f * (nd2.y - cg.y) / len - p.y,
                          nd2.z + 1.45f * (nd2.z - cg.z) / len - p.z};
  for (Atom& a : nag) {
    a.chain = "B";
    a.x += shift[0];
    a.y += shift[1];
    a.z += shift[2];
  }
  g.atoms = asn;
  g.atoms.insert(g.atoms.end(), nag.begin(), nag.end());
  const Atom& n = named(g.atoms, 37, "ND2");
  const Atom& o = named(g.atoms, 1, linked);
  g.pdb = modeltext::pdb_link(n, o) + modeltext::pdb_atoms(g.atoms) + "END\n";
  g.cif = modeltext::cif_model(g.atoms, {{&n, &o}});
  return g;
}

const std::string kAsn = "AA|  37 |ASN", kNag = "BB|   1 |NAG";

}  // namespace

// The NAG placed by its O5 and linked ND2 to O5 by a nameless link: the
// library's NAG-ASN link bonds ND2 to C1 (1.450) and is not taken; the link
// is a new one on ND2-O5 at the length the two elements give (1.500 in the
// test energy library), with no angle, chiral centre or plane across it,
// alike from both forms and again on the written coordinates.  With the NAG
// placed by C1 and linked ND2 to C1, the library link is taken, with its
// angles and chiral centre.
TEST(InputLinkAtoms, LinkOnOtherAtomsThanTheLibraryLinkIsANewLinkOnItsOwnAtoms) {
  const Glycan g = asn_nag("O5", "O5");
  TempDir dir;
  std::multiset<std::string> forms[2];
  const std::string files[2] = {dir.write("asn_o5.pdb", g.pdb), dir.write("asn_o5.cif", g.cif)};
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(files[k]);
    TempDir run_dir, again;
    const Outcome r = pipetest::run_model(files[k], run_dir.path());
    ASSERT_EQ(r.ierr, 0) << r.out;
    forms[k] = by_atoms(run_dir.path() + "/out");
    const std::multiset<std::string> link = across(forms[k], kAsn, kNag);
    ASSERT_EQ(link.size(), 1u) << r.out;
    EXPECT_EQ(*link.begin(), "BOND AA|  37 |ASN|ND2 BB|   1 |NAG|O5 . 1.500 0.020 1.450");
    EXPECT_NE(r.out.find(" WARNING : description of link:NAG-ASN1 is not in the dictionary\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.new_lib, 'Y');
    EXPECT_NE(file_text(run_dir.file("new_lib.cif")).find(" bond_ASN-ND2_=_NAG-O5\n"),
              std::string::npos)
        << file_text(run_dir.file("new_lib.cif"));
    const Outcome r2 = pipetest::run_model(run_dir.file("out.crd"), again.path());
    ASSERT_EQ(r2.ierr, 0) << r2.out;
    expect_same("on the written coordinates", forms[k], by_atoms(again.path() + "/out"));
  }
  expect_same("PDB and mmCIF forms", forms[0], forms[1]);

  const Glycan right = asn_nag("C1", "C1");
  const std::string rfiles[2] = {dir.write("asn_c1.pdb", right.pdb),
                                 dir.write("asn_c1.cif", right.cif)};
  for (const std::string& f : rfiles) {
    SCOPED_TRACE(f);
    TempDir run_dir;
    const Outcome r = pipetest::run_model(f, run_dir.path());
    ASSERT_EQ(r.ierr, 0) << r.out;
    const std::multiset<std::string> link = across(by_atoms(run_dir.path() + "/out"), kAsn, kNag);
    EXPECT_EQ(link.count("BOND AA|  37 |ASN|ND2 BB|   1 |NAG|C1 single 1.450 0.020 1.450"), 1u);
    int angles = 0, chirals = 0;
    for (const std::string& k : link) {
      angles += k.starts_with("ANGL");
      chirals += k.starts_with("CHIR");
    }
    EXPECT_EQ(angles, 3);
    EXPECT_EQ(chirals, 1);
    EXPECT_EQ(r.new_lib, 'N') << r.out;
  }
}

namespace {

// 1A8O with four more links between residues of chain A that are not
// bonded, each a LINK record after the entry's own and a covalent row after
// its own in the mmCIF form: O of ARG162 to N of ASP166 (3.019 A apart)
// at 1.33, O of LEU172 to N of GLN176 (3.661 A) without a length, O of
// ASP197 to N of THR200 (3.651 A) at 1.90, and NZ of LYS203 to OE1 of
// GLU187 (10.200 A) without a length.
struct Far {
  const char *a1, *r1;
  int n1;
  const char *a2, *r2;
  int n2;
  const char* dist;  // as the files give it, "" none
  bool restrained;   // within the reach of an O-N bond (3.5 A), whatever length is given
};
constexpr Far kFar[] = {{"O", "ARG", 162, "N", "ASP", 166, "1.33", true},
                        {"O", "LEU", 172, "N", "GLN", 176, "", false},
                        {"O", "ASP", 197, "N", "THR", 200, "1.90", false},
                        {"NZ", "LYS", 203, "OE1", "GLU", 187, "", false}};

std::string far_pdb() {
  std::string text = file_text(data("1A8O.pdb"));
  std::string add;
  char line[100];
  for (const Far& f : kFar) {
    std::snprintf(
        line, sizeof line,
        "LINK         %-4s%3s A %3d                %-4s %3s A %3d     1555   1555  %-4s  \n", f.a1,
        f.r1, f.n1,
        (std::string(f.a2).size() < 3 ? " " + std::string(f.a2) : std::string(f.a2)).c_str(), f.r2,
        f.n2, f.dist);
    add += line;
  }
  const std::size_t at = text.find("CRYST1");
  return text.insert(at, add);
}

std::string far_cif() {
  std::string text = file_text(data("cif_1A8O.cif"));
  std::string add;
  int id = 7;
  for (const Far& f : kFar)
    add += "covale" + std::to_string(id++) + " covale ? A " + f.r1 + " " +
           std::to_string(f.n1 - 150) + " " + f.a1 + " ? ? ? 1_555 A " + f.r2 + " " +
           std::to_string(f.n2 - 150) + " " + f.a2 + " ? ? A " + f.r1 + " " + std::to_string(f.n1) +
           " A " + f.r2 + " " + std::to_string(f.n2) + " 1_555 ? ? ? ? ? ? ? " +
           (*f.dist ? std::string(f.dist) + "0" : std::string("?")) + " ? \n";
  const std::size_t at = text.find("\n", text.find("covale6 covale")) + 1;
  return text.insert(at, add);
}

std::string residue(const char* r, int n) {
  char k[32];
  std::snprintf(k, sizeof k, "%4d |%s", n, r);
  return k;
}

}  // namespace

// The three links whose atoms lie further apart than an O-N bond can be
// (twice its 1.5 A, and 3.5 A) are not restrained, each with a warning
// naming it, its atoms and their distance, also the one the files give
// 1.90 A: a length the file states does not stretch the reach.  The one
// within it is, at the file's length, with a warning that the model's
// length is far from it.  The same from both forms and on the written
// coordinates.
TEST(InputLinkAtoms, LinkBetweenAtomsTooFarApartIsNotRestrained) {
  TempDir dir;
  const std::string files[2] = {dir.write("far.pdb", far_pdb()), dir.write("far.cif", far_cif())};
  std::multiset<std::string> forms[2];
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(files[k]);
    TempDir run_dir, again;
    const Outcome r = pipetest::run_model(files[k], run_dir.path());
    ASSERT_EQ(r.ierr, 0) << r.out;
    for (const Far& f : kFar) {
      SCOPED_TRACE(f.r1 + std::to_string(f.n1));
      const std::multiset<std::string> all = by_atoms(run_dir.path() + "/out", false);
      const std::multiset<std::string> got = across(all, residue(f.r1, f.n1), residue(f.r2, f.n2));
      forms[k].insert(got.begin(), got.end());
      if (!f.restrained) {
        EXPECT_TRUE(got.empty()) << *got.begin();
        continue;
      }
      ASSERT_EQ(got.size(), 1u);
      EXPECT_NE(got.begin()->find(std::string(" ") + f.dist + "0 0.020 "), std::string::npos)
          << *got.begin();
    }
    // The PDB form's chain pieces: a new one after each selenomethionine.
    const std::string c172 = k == 0 ? "Aa" : "AA", c203 = k == 0 ? "Ac" : "AA";
    EXPECT_NE(r.out.find(" WARNING : link:.        atoms too far apart to bond, dist =    10.199\n"
                         "            ch:" +
                         c203 + "   res: 203  LYS      at:NZ  .->ch:" + c203 +
                         "   res: 187  GLU      at:OE1 . ideal_dist=     1.500\n"
                         "            link will not be restrained\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(" WARNING : link:.        atoms too far apart to bond, dist =     3.661\n"
                         "            ch:" +
                         c172 + "   res: 172  LEU      at:O   .->ch:" + c172 +
                         "   res: 176  GLN      at:N   . ideal_dist=     1.500\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(" WARNING : link:.        atoms too far apart to bond, dist =     3.651\n"
                         "            ch:" +
                         c203 + "   res: 197  ASP      at:O   .->ch:" + c203 +
                         "   res: 200  THR      at:N   . ideal_dist=     1.500\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(
        r.out.find(
            " WARNING : bond restraint far from the model, dist =     3.019 ideal_dist=     1.330\n"
            "            ch:" +
            c172 + "   res: 162  ARG      at:O   .->ch:" + c172 +
            "   res: 166  ASP      at:N   .\n"),
        std::string::npos)
        << r.out;
    const Outcome r2 = pipetest::run_model(run_dir.file("out.crd"), again.path());
    ASSERT_EQ(r2.ierr, 0) << r2.out;
    const std::multiset<std::string> second = by_atoms(again.path() + "/out", false);
    std::multiset<std::string> second_across;
    for (const Far& f : kFar) {
      const auto got = across(second, residue(f.r1, f.n1), residue(f.r2, f.n2));
      second_across.insert(got.begin(), got.end());
    }
    expect_same("on the written coordinates", forms[k], second_across);
  }
  expect_same("PDB and mmCIF forms", forms[0], forms[1]);
}

// ASN37 of a_structure.pdb alone, its OD1 moved 2.5 A along x (CG-OD1
// 3.090 A where the library's ideal is 1.213): the bond is restrained and
// warned of, from both forms; the other bonds of the residue are not.
TEST(InputLinkAtoms, BondRestraintFarFromTheModelIsWarnedOf) {
  std::vector<Atom> asn = modeltext::atoms_of("a_structure.pdb", 'A', 37, 37);
  named(asn, 37, "OD1").x += 2.5f;
  TempDir dir;
  const std::string files[2] = {dir.write("bent.pdb", modeltext::pdb_atoms(asn) + "END\n"),
                                dir.write("bent.cif", modeltext::cif_model(asn, {}))};
  for (const std::string& f : files) {
    SCOPED_TRACE(f);
    TempDir run_dir;
    const Outcome r = pipetest::run_model(f, run_dir.path());
    ASSERT_EQ(r.ierr, 0) << r.out;
    const std::string warning = " WARNING : bond restraint far from the model";
    ASSERT_NE(r.out.find(warning + ", dist =     3.090 ideal_dist=     1.213\n"
                                   "            ch:AA   res:  37  ASN      at:CG  .->ch:AA   res:  "
                                   "37  ASN      at:OD1 .\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find(warning, r.out.find(warning) + 1), std::string::npos) << r.out;
  }
}

// The shipped insertion-code run links CA of SER37 to CA of GLY37D, 12.565
// A apart, at a given 1.50 A: from either form that link is not restrained,
// and the run says so; so too from the mmCIF form that gives the row the
// model's own distance, as converters write it.
TEST(InputLinkAtoms, ShippedLinkAcrossTheModelIsNotRestrained) {
  TempDir forms;
  std::string measured = file_text(data("cif_insertion_run.cif"));
  const std::size_t at = measured.find(" 1_555 1.50\n");
  ASSERT_NE(at, std::string::npos);
  measured.replace(at, 11, " 1_555 12.565");
  for (const std::string& model : {data("pdb_insertion_run.pdb"), data("cif_insertion_run.cif"),
                                   forms.write("measured.cif", measured)}) {
    SCOPED_TRACE(model);
    TempDir dir;
    const Outcome r = pipetest::run_model(model, dir.path());
    ASSERT_EQ(r.ierr, 0) << r.out;
    const std::string rst = file_text(dir.file("out.rst"));
    EXPECT_NE(rst.find("# link_"), std::string::npos);
    EXPECT_EQ(rst.find("_SER______0037-_AA  -GLY______0037D_AA"), std::string::npos);
    EXPECT_NE(
        r.out.find(
            " WARNING : link:.        atoms too far apart to bond, dist =    12.565\n"
            "            ch:AA   res:  37  SER      at:CA  .->ch:AA   res:  37D GLY      at:CA  . "
            "ideal_dist=     1.500\n"),
        std::string::npos)
        << r.out;
  }
}
