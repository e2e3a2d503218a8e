// A model with more than 9999 waters in one chain, in the PDB form (numbers
// from 10000 on into column 27) and in the archive's mmCIF form: both give
// the same chains and restraints, every water restrained on its own, and so
// does a second run on the coordinates written from the mmCIF form.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "model_text.h"
#include "restraint_sets.h"

namespace {

using modeltext::Atom;

// `n` waters of chain W numbered from 1, each an oxygen and two hydrogens,
// on a grid 3.1 A apart clear of the peptide.
std::vector<Atom> waters(int n) {
  std::vector<Atom> out;
  const float angle = 104.52f * std::acos(-1.0f) / 180.0f;
  for (int k = 0; k < n; ++k) {
    Atom o;
    o.record = "HETATM";
    o.res = "HOH";
    o.chain = "W";
    o.num = k + 1;
    o.x = 60.0f + 3.1f * (k % 13);
    o.y = 60.0f + 3.1f * (k / 13 % 13);
    o.z = 3.1f * (k / 169);
    o.name = "O", o.element = "O";
    Atom h1 = o, h2 = o;
    h1.name = "H1", h1.element = "H", h1.x += 0.9572f;
    h2.name = "H2", h2.element = "H", h2.x += 0.9572f * std::cos(angle);
    h2.y += 0.9572f * std::sin(angle);
    out.insert(out.end(), {o, h1, h2});
  }
  return out;
}

// The PDB records of the waters, numbers past 9999 written on into column 27.
std::string pdb_waters(const std::vector<Atom>& atoms, int serial) {
  std::string out;
  char line[100];
  for (const Atom& a : atoms) {
    char number[8];
    std::snprintf(number, sizeof number, a.num < 10000 ? "%4d " : "%5d", a.num);
    std::snprintf(line, sizeof line,
                  "HETATM%5d %-4s HOH W%s   %8.3f%8.3f%8.3f  1.00 20.00          %2s\n", ++serial,
                  (" " + a.name).c_str(), number, a.x, a.y, a.z, a.element.c_str());
    out += line;
  }
  return out;
}

int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

int angles_of_waters(const rsets::Restraints& all) {
  int n = 0;
  for (const std::string& k : all)
    if (k.starts_with("ANGL") && k.find(" HOH H1 ") != std::string::npos) ++n;
  return n;
}

}  // namespace

TEST(WaterNumbersPast9999, BothFormsGiveTheSameChainsAndRestraintsAndReadBack) {
  const std::vector<Atom> peptide = modeltext::atoms_of("1d3z_model1.pdb", 'A', 2, 5);
  const std::vector<Atom> water = waters(10100);
  std::vector<Atom> all = peptide;
  all.insert(all.end(), water.begin(), water.end());
  TempDir models;
  const std::string pdb = models.write(
      "w.pdb", "CRYST1  200.000  200.000  200.000  90.00  90.00  90.00 P 1           1\n" +
                   modeltext::pdb_atoms(peptide) + "TER\n" +
                   pdb_waters(water, static_cast<int>(peptide.size())) + "END\n");
  const std::string cif =
      models.write("w.cif", modeltext::cif_model(all, {}, "200 200 200 90 90 90", "P 1"));

  rsets::ModelRun p, c, again;
  rsets::run_model(pdb, p);
  rsets::run_model(cif, c);
  rsets::run_model(c.dir.path() + "/out.crd", again);
  const std::string warning =
      "WARNING: water numbers above 9999 kept modulo 10000, a new water chain at each 10000\n";
  for (const rsets::ModelRun* r : {&p, &c}) {
    EXPECT_EQ(count_of(r->out.out, warning), 1) << r->out.out;
    EXPECT_EQ(angles_of_waters(r->restraints), 10100);
  }
  EXPECT_EQ(count_of(again.out.out, "WARNING: water numbers"), 0);
  rsets::expect_same("PDB and mmCIF forms", p.restraints, c.restraints);
  rsets::expect_same("second run on the mmCIF form's coordinates", c.restraints, again.restraints);
  EXPECT_EQ(p.out.nbond, c.out.nbond);
  EXPECT_EQ(p.out.nangl, again.out.nangl);

  // The waters from 10000 on are a chain of their own, numbered from 0.
  ASSERT_EQ(pipetest::read_coordinates(c.dir.path() + "/out"), 0);
  ASSERT_EQ(asym_part.n_group, 3);
  EXPECT_EQ(asym_part.group_id(3).trimmed(), "Wa");
  EXPECT_EQ(asym_part.nres_chain(3), 101);
  EXPECT_EQ(resid_inf.res_num_pdb(asym_part.ires_first(3)).sub(3, 7), "   0 ");
}

// A peptide and the waters of two chains, each numbered from 1, with the
// chain letters gone (a blank chain), in the PDB form and in an mmCIF form
// that labels no chain: the waters of the second chain lie apart from those
// of the first and are a further water chain, in both forms and in a run on
// the coordinates written.
TEST(BlankChainWaters, NumberedByEachChainAreAFurtherWaterChainInBothForms) {
  std::vector<Atom> peptide = modeltext::atoms_of("1d3z_model1.pdb", 'A', 2, 5);
  std::vector<Atom> water = waters(6);
  for (Atom& a : peptide) a.chain = " ";
  for (std::size_t k = 0; k < water.size(); ++k) {
    water[k].chain = " ";
    water[k].num = static_cast<int>(k / 3 % 3) + 1;
  }
  TempDir models;
  const std::string cell =
      "CRYST1  200.000  200.000  200.000  90.00  90.00  90.00 P 1           1\n";
  const std::string pdb = models.write("b.pdb", cell + modeltext::pdb_atoms(peptide) + "TER\n" +
                                                    modeltext::pdb_atoms(water) + "END\n");
  std::string cif =
      "data_b\n_cell.length_a 200\n_cell.length_b 200\n_cell.length_c 200\n"
      "_cell.angle_alpha 90\n_cell.angle_beta 90\n_cell.angle_gamma 90\n"
      "_symmetry.space_group_name_H-M 'P 1'\nloop_\n";
  for (const char* i :
       {"group_PDB", "id", "type_symbol", "label_atom_id", "label_comp_id", "label_asym_id",
        "Cartn_x", "Cartn_y", "Cartn_z", "auth_seq_id", "auth_asym_id"})
    cif += std::string("_atom_site.") + i + "\n";
  int serial = 0;
  for (const std::vector<Atom>* part : {&peptide, &water}) {
    for (const Atom& a : *part) {
      char row[160];
      std::snprintf(row, sizeof row, "%s %d %s %s %s . %.3f %.3f %.3f %d ''\n", a.record.c_str(),
                    ++serial, a.element.c_str(), a.name.c_str(), a.res.c_str(), a.x, a.y, a.z,
                    a.num);
      cif += row;
    }
  }
  const std::string cif_file = models.write("b.cif", cif);

  rsets::ModelRun p, c, again;
  rsets::run_model(pdb, p);
  rsets::run_model(cif_file, c);
  rsets::run_model(p.dir.path() + "/out.crd", again);
  const std::string warning =
      "WARNING: water numbers of the blank chain repeat, a new water chain at each repeat\n";
  for (const rsets::ModelRun* r : {&p, &c}) {
    EXPECT_EQ(count_of(r->out.out, warning), 1) << r->out.out;
    EXPECT_EQ(angles_of_waters(r->restraints), 6);
  }
  EXPECT_EQ(count_of(again.out.out, "WARNING: water numbers"), 0);
  rsets::expect_same("PDB and mmCIF forms", p.restraints, c.restraints);
  rsets::expect_same("second run on the PDB form's coordinates", p.restraints, again.restraints);

  for (const rsets::ModelRun* r : {&p, &c}) {
    ASSERT_EQ(pipetest::read_coordinates(r->dir.path() + "/out"), 0);
    ASSERT_EQ(asym_part.n_group, 3);
    EXPECT_EQ(asym_part.group_id(1).trimmed(), "XX");
    EXPECT_EQ(asym_part.group_id(2).trimmed(), "Xa");
    EXPECT_EQ(asym_part.group_id(3).trimmed(), "Xb");
    EXPECT_EQ(asym_part.nres_chain(2), 3);
    EXPECT_EQ(asym_part.nres_chain(3), 3);
    EXPECT_EQ(resid_inf.res_num_pdb(asym_part.ires_first(3)).sub(3, 7), "   1 ");
  }
}
