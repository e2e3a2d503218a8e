// Links to an atom with alternate conformations through whole runs: the
// connection rows a run writes (the mmCIF coordinates it writes, and the PDB
// records written from the tables it leaves) make a run on that file
// restrain the same pairs of conformers as the run that wrote them.  The
// model: residues ASP 152 and ILE 153 of chain A of 1A8O, the carboxylate
// oxygen OD1 in two conformers A and B (half occupancy each, turned 12
// degrees either way about CB-CG from the entry's position) and a zinc ion
// 2.2 A from both, as a metal of a real entry sits from an oxygen with two
// conformers.  The test library has no ASP-ZN link: the first run describes
// it, a run on a file naming it describes it from the input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "coords/pdb_reader.h"
#include "foundation/atom_com.h"
#include "model_text.h"
#include "output/pdb_writer.h"
#include "pipeline_fixture.h"
#include "restraint_sets.h"
#include "runtime/units.h"

namespace {

using modeltext::Atom;

std::vector<Atom> zinc_model() {
  std::vector<Atom> atoms = modeltext::atoms_of("1A8O.pdb", 'A', 152, 153);
  const Atom cb = modeltext::named(atoms, 152, "CB");
  const Atom cg = modeltext::named(atoms, 152, "CG");
  Atom& od1 = modeltext::named(atoms, 152, "OD1");
  std::vector<Atom> a{od1}, b{od1};
  modeltext::turn(a, 0, cb, cg, -12.0f);
  modeltext::turn(b, 0, cb, cg, 12.0f);
  a[0].alt = "A";
  b[0].alt = "B";
  a[0].occ = b[0].occ = 0.5f;
  // The zinc on the line from CG through the middle of the two oxygens,
  // 2.2 A from each.
  const float m[3] = {(a[0].x + b[0].x) / 2, (a[0].y + b[0].y) / 2, (a[0].z + b[0].z) / 2};
  float u[3] = {m[0] - cg.x, m[1] - cg.y, m[2] - cg.z};
  const float n = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
  const float half = modeltext::distance(a[0], b[0]) / 2;
  const float h = std::sqrt(2.2f * 2.2f - half * half);
  Atom zn;
  zn.record = "HETATM";
  zn.name = zn.res = zn.element = "ZN";
  zn.chain = "A";
  zn.num = 201;
  zn.x = m[0] + u[0] / n * h;
  zn.y = m[1] + u[1] / n * h;
  zn.z = m[2] + u[2] / n * h;
  const auto at =
      std::find_if(atoms.begin(), atoms.end(), [](const Atom& x) { return x.name == "OD1"; });
  *at = a[0];
  atoms.insert(at + 1, b[0]);
  atoms.push_back(zn);
  return atoms;
}

// The side chain of ASP 152 from CG on in two conformers, A where the entry
// has it and B turned 120 degrees about CA-CB (the next rotamer), and a
// zinc on the line from CG through OD1 of A, 2.2 A from that oxygen: more
// than 3.5 A from every atom of B, too far for any bond.
std::vector<Atom> zinc_by_one_conformer_model() {
  std::vector<Atom> atoms = modeltext::atoms_of("1A8O.pdb", 'A', 152, 153);
  const Atom ca = modeltext::named(atoms, 152, "CA");
  const Atom cb = modeltext::named(atoms, 152, "CB");
  std::vector<Atom> out, b;
  for (const Atom& x : atoms) {
    if (x.num != 152 || (x.name != "CG" && x.name != "OD1" && x.name != "OD2")) {
      out.push_back(x);
      continue;
    }
    Atom a = x;
    a.alt = "A";
    a.occ = 0.5f;
    out.push_back(a);
    a.alt = "B";
    b.push_back(a);
  }
  modeltext::turn(b, 0, ca, cb, 120.0f);
  const auto after_od2a = std::find_if(
      out.begin(), out.end(), [](const Atom& x) { return x.name == "OD2" && x.alt == "A"; });
  out.insert(after_od2a + 1, b.begin(), b.end());
  const Atom cg = modeltext::named(atoms, 152, "CG");
  const Atom od1 = modeltext::named(atoms, 152, "OD1");
  const float u[3] = {od1.x - cg.x, od1.y - cg.y, od1.z - cg.z};
  const float n = modeltext::distance(cg, od1), h = (n + 2.2f) / n;
  Atom zn;
  zn.record = "HETATM";
  zn.name = zn.res = zn.element = "ZN";
  zn.chain = "A";
  zn.num = 201;
  zn.x = cg.x + u[0] * h;
  zn.y = cg.y + u[1] * h;
  zn.z = cg.z + u[2] * h;
  for (const Atom& x : b) EXPECT_GT(modeltext::distance(x, zn), 3.5f) << x.name;
  out.push_back(zn);
  return out;
}

Atom conformer(const std::vector<Atom>& atoms, const std::string& alt) {
  for (const Atom& x : atoms)
    if (x.name == "OD1" && x.alt == alt) return x;
  ADD_FAILURE() << "no OD1 " << alt;
  return atoms.front();
}

// The bonds to the zinc restrained by a run, by the written coordinates:
// "OD1 A", "OD1 B" for the oxygen's conformers.
std::vector<std::string> zinc_bonds(const std::string& base) {
  EXPECT_EQ(pipetest::read_coordinates(base), 0) << base;
  const auto atom = [](int s) {
    if (s < 1 || s > atom_inf.n_atom) return std::string("?");
    return std::string(atom_inf.atm_name(s).trimmed()) + " " +
           std::string(atom_inf.id_alt(s).trimmed());
  };
  std::vector<std::string> out;
  for (const pipetest::Record& r : pipetest::records(file_text(base + ".rst"))) {
    if (!r.line.starts_with("BOND")) continue;
    const std::string a = atom(r.serials[0]), b = atom(r.serials[1]);
    if (a.starts_with("ZN")) out.push_back(b);
    if (b.starts_with("ZN")) out.push_back(a);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// The alternate codes of the link rows of the coordinate file base.ext,
// read back by the system's reader: "OD1 . ZN ." for a row without them.
std::vector<std::string> link_rows(const std::string& base, const std::string& ext) {
  int32_t ierr = 0;
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  if (ext == "pdb") {
    init_atm_inf_(0, ierr);
    captured([&] { get_pdb_(99, base + ".pdb", 0, cell, 'N', 'N', 'N', ierr); });
  } else {
    captured([&] { read_atoms_(0, "", base, ext, 0, cell, ierr); });
  }
  rt::close_all_units();
  EXPECT_EQ(ierr >= 7 ? 0 : ierr, 0) << base << "." << ext;
  std::vector<std::string> out;
  for (int l = 1; l <= link_inf.ln_n; ++l) {
    const bool od1_first = link_inf.ln_atom1(l).trimmed() == "OD1";
    const auto& alt = od1_first ? link_inf.ln_alt1(l) : link_inf.ln_alt2(l);
    const auto& other = od1_first ? link_inf.ln_alt2(l) : link_inf.ln_alt1(l);
    out.push_back("OD1 " + std::string(alt.trimmed().empty() ? "." : alt.trimmed()) + " ZN " +
                  std::string(other.trimmed().empty() ? "." : other.trimmed()));
  }
  return out;
}

struct WrittenRun {
  TempDir dir;
  pipetest::Outcome out;
  std::string base, pdb;  // the outputs' base name; that of the PDB file written after the run
  std::vector<std::string> zinc;
  rsets::Restraints restraints;
};

// A run of the model at `in`; the PDB form of the tables it leaves is
// written beside its outputs before anything else reads a model.
void run(const std::string& in, WrittenRun& r) {
  pipetest::Options o;
  o.in = in;
  r.out = pipetest::run(o, r.dir.path());
  ASSERT_EQ(r.out.ierr, 0) << in << "\n" << r.out.out;
  r.base = r.dir.path() + "/out";
  r.pdb = r.dir.path() + "/tables";
  char h = 'Y', seg = 'N';
  rt::FixedText<256> path(""), ext("");
  int32_t ierr = 0;
  captured([&] { write_atoms_pdb_(0, h, 'N', seg, path.ref(), r.pdb + ".pdb", ext.ref(), ierr); });
  rt::close_all_units();
  ASSERT_EQ(ierr, 0);
  r.zinc = zinc_bonds(r.base);
  r.restraints = rsets::restraints_of(r.base);
}

// Each form of the model, its run, the run on the mmCIF coordinates it
// wrote and the run on the PDB file of its tables: the same restraints,
// the bonds to the zinc `zinc`; every connection row written has `rows`.
// Gives back the restraints of the first run.
rsets::Restraints expect_kept(const std::string& label, const std::string& in,
                              const std::vector<std::string>& zinc,
                              const std::vector<std::string>& rows) {
  SCOPED_TRACE(label);
  WrittenRun first, on_cif, on_pdb;
  run(in, first);
  EXPECT_EQ(first.zinc, zinc);
  run(first.base + ".crd", on_cif);
  run(first.pdb + ".pdb", on_pdb);
  EXPECT_EQ(on_cif.zinc, zinc) << "on the mmCIF coordinates";
  EXPECT_EQ(on_pdb.zinc, zinc) << "on the PDB records";
  rsets::expect_same(label + ": on the mmCIF coordinates", first.restraints, on_cif.restraints);
  rsets::expect_same(label + ": on the PDB records", first.restraints, on_pdb.restraints);
  EXPECT_EQ(link_rows(first.base, "crd"), rows) << "mmCIF rows";
  EXPECT_EQ(link_rows(first.pdb, "pdb"), rows) << "PDB records";
  return first.restraints;
}

}  // namespace

// The zinc found by distance from both conformers: the run restrains both
// bonds through one link row, which names the oxygen without an alternate,
// so every run on what it writes restrains both again.
TEST(ConformerLinks, MetalFoundByDistanceKeepsBothConformers) {
  const std::vector<Atom> atoms = zinc_model();
  TempDir models;
  const std::vector<std::string> both = {"OD1 A", "OD1 B"};
  expect_kept("PDB", models.write("zn.pdb", modeltext::pdb_atoms(atoms) + "END\n"), both,
              {"OD1 . ZN ."});
  expect_kept("mmCIF", models.write("zn.cif", modeltext::cif_model(atoms, {})), both,
              {"OD1 . ZN ."});
}

// The input links the zinc to conformer A alone (a LINK record with the
// alternate, or the archive's alternate item of a connection row): only
// that bond is restrained, the row is written with its alternate, and a run
// on it keeps it alone.  Both forms of the input restrain alike.
TEST(ConformerLinks, LinkToOneConformerKeepsItAlone) {
  const std::vector<Atom> atoms = zinc_model();
  const Atom a = conformer(atoms, "A");
  const Atom& zn = atoms.back();
  TempDir models;
  const std::string pdb =
      models.write("zn_a.pdb", modeltext::pdb_link(a, zn) + modeltext::pdb_atoms(atoms) + "END\n");
  const std::string cif = models.write("zn_a.cif", modeltext::cif_model(atoms, {{&a, &zn}}));
  rsets::expect_same("PDB and mmCIF forms", expect_kept("PDB", pdb, {"OD1 A"}, {"OD1 A ZN ."}),
                     expect_kept("mmCIF", cif, {"OD1 A"}, {"OD1 A ZN ."}));
}

// The zinc found by distance from conformer A, with conformer B too far
// from it to bond: the run restrains the bond of A alone, writes its row
// with the alternate, and every run on what it writes keeps it alone.
TEST(ConformerLinks, MetalFoundByDistanceFromOneConformerKeepsItAlone) {
  const std::vector<Atom> atoms = zinc_by_one_conformer_model();
  TempDir models;
  const std::vector<std::string> one = {"OD1 A"};
  expect_kept("PDB", models.write("zn1.pdb", modeltext::pdb_atoms(atoms) + "END\n"), one,
              {"OD1 A ZN ."});
  expect_kept("mmCIF", models.write("zn1.cif", modeltext::cif_model(atoms, {})), one,
              {"OD1 A ZN ."});
}
