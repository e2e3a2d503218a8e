// Ions named by their residue: an ion's atom written without element, from
// column 13 or 14 and in any case, read as the ion by the PDB reader (as the
// TLS program and as the pipeline read) and by both mmCIF roads; the
// element columns first; the one atom of its residue only.
#include <string>
#include <vector>

#include "cif_test_util.h"
#include "coords/cif_by_pdb_rules.h"
#include "pdb_fixture.h"

namespace {

using pdbtest::Atom;

// The scattering type of atom a: its symbol and the element it was given.
std::string symbol_of(int a) {
  const int t = atom_inf.id_sf(a);
  return t > 0 ? std::string(crst_crd.cs_atype(t).trimmed()) : "-";
}
std::string element_of(int a) {
  const int t = atom_inf.id_sf(a);
  return t > 0 ? std::string(crst_crd.cs_element(t).trimmed()) : "-";
}

// The first atom of the given name in the residue of the given name.
int atom_named(const std::string& name, const std::string& res) {
  for (int a = 1; a <= atom_inf.n_atom; ++a)
    if (atom_inf.atm_name(a).trimmed() == name &&
        resid_inf.res_name(atom_inf.i_resid(a)).trimmed() == res)
      return a;
  return 0;
}

// One alanine with its element columns, then the atoms of a row.
std::vector<std::string> model_with(const std::vector<Atom>& atoms) {
  std::vector<std::string> l = {pdbtest::kCryst};
  pdbtest::append(l, pdbtest::residue("ALA", 'A', 1));
  for (const Atom& a : atoms) l.push_back(pdbtest::line(a));
  return l;
}

Atom ion(const std::string& name, const std::string& res, const std::string& elem = "",
         char alt = ' ') {
  return {.rec = "HETATM",
          .name = name,
          .alt = alt,
          .res = res,
          .chain = 'B',
          .resnum = 201,
          .elem = elem};
}

TEST(PdbIons, ReadAsTheIonWhereTheRowGivesNoElement) {
  struct Want {
    const char *name, *res, *symbol;
    int atoms;  // atoms of the model read
  };
  const struct {
    const char* label;
    std::vector<Atom> atoms;
    Want want;
  } rows[] = {
      {"sodium from column 14, as GROMACS writes it", {ion(" NA ", "NA")}, {"NA", "NA", "NA", 5}},
      {"chloride from column 14", {ion(" CL ", "CL")}, {"CL", "CL", "CL", 5}},
      {"magnesium from column 14, as ProDy writes it", {ion(" MG ", "MG")}, {"MG", "MG", "MG", 5}},
      {"sodium from column 13", {ion("NA  ", "NA")}, {"NA", "NA", "NA", 5}},
      {"sodium in mixed case from column 13, as OpenMM writes it",
       {ion("Na  ", "NA")},
       {"Na", "NA", "NA", 5}},
      {"chloride in mixed case from column 14", {ion(" Cl ", "CL")}, {"Cl", "CL", "CL", 5}},
      {"potassium", {ion(" K  ", "K")}, {"K", "K", "K", 5}},
      {"calcium", {ion(" CA ", "CA")}, {"CA", "CA", "CA", 5}},
      {"sodium, residue name in mixed case too", {ion("Na  ", "Na")}, {"Na", "Na", "NA", 5}},
      {"a residue name longer than the atom's, CA in CA2",
       {ion(" CA ", "CA2")},
       {"CA", "CA2", "C", 5}},
      {"mercury from column 14, no hydrogen to leave out",
       {ion(" HG ", "HG")},
       {"HG", "HG", "HG", 5}},
      {"element columns given and disagreeing", {ion(" NA ", "NA", " O")}, {"NA", "NA", "O", 5}},
      {"in two alternate positions",
       {ion(" NA ", "NA", "", 'A'), ion(" NA ", "NA", "", 'B')},
       {"NA", "NA", "NA", 6}},
      {"a residue of two atoms", {ion(" NA ", "NA"), ion(" C1 ", "NA")}, {"NA", "NA", "N", 6}},
      {"the alpha carbon of an amino acid",
       {{.name = " CA ", .res = "GLY", .resnum = 2, .elem = ""}},
       {"CA", "GLY", "C", 5}},
  };
  for (const auto& r : rows) {
    // As the TLS program reads (the element columns filled from the name)
    // and as the pipeline reads (left blank: "?").
    for (const int32_t program : {0, 1}) {
      SCOPED_TRACE(std::string(r.label) + (program == 1 ? ", pipeline" : ", TLS program"));
      const pdbtest::ReadResult res = pdbtest::read_pdb(model_with(r.atoms), {.program = program});
      EXPECT_EQ(res.ierr, 0) << res.out;
      ASSERT_EQ(atom_inf.n_atom, r.want.atoms);
      const int a = atom_named(r.want.name, r.want.res);
      ASSERT_GT(a, 0);
      EXPECT_EQ(symbol_of(a), r.want.symbol);
      EXPECT_EQ(element_of(a), program == 1 && r.atoms[0].elem == "" ? "?" : r.want.symbol);
      for (int b = a; b <= atom_inf.n_atom; ++b)
        if (atom_inf.atm_name(b) == atom_inf.atm_name(a)) {
          EXPECT_EQ(symbol_of(b), r.want.symbol) << b;
        }
    }
  }
}

// A file that writes every name from column 13 (its first atom named N
// alone) lays each name out as the PDB layout would; an ion's name is laid
// out as its name alone reads, so that only the one atom of its residue is
// the ion.
TEST(PdbIons, LeftJustifiedFileTakesOnlyTheOneAtomOfItsResidueForTheIon) {
  std::vector<std::string> l = {pdbtest::kCryst};
  const char* names[] = {"N   ", "CA  ", "C   ", "O   "};
  for (int i = 0; i < 4; ++i)
    l.push_back(pdbtest::line({.name = names[i], .res = "ALA", .x = 1.0f + i, .elem = ""}));
  l.push_back(pdbtest::line(ion("NA  ", "NA")));
  Atom two = ion("NA  ", "NA");
  two.resnum = 202;
  l.push_back(pdbtest::line(two));
  two.name = "C1  ";
  l.push_back(pdbtest::line(two));
  for (const int32_t program : {0, 1}) {
    SCOPED_TRACE(program == 1 ? "pipeline" : "TLS program");
    const pdbtest::ReadResult r = pdbtest::read_pdb(l, {.program = program});
    EXPECT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(atom_inf.n_atom, 7);
    EXPECT_EQ(symbol_of(2), "C") << "alpha carbon";
    EXPECT_EQ(symbol_of(5), "NA") << "the one atom of its residue";
    EXPECT_EQ(symbol_of(6), "N") << "in a residue of two atoms";
  }
}

// mmCIF rows without an element (type_symbol "?" or "."), by the pipeline's
// reader and by the PDB reader's rules.
class CifIons : public CifFiles {};

TEST_F(CifIons, ReadAsTheIonOnlyAsTheOneAtomOfItsResidue) {
  const std::string head =
      "data_x\n_cell.length_a 50\n_cell.length_b 50\n_cell.length_c 50\n_cell.angle_alpha 90\n"
      "_cell.angle_beta 90\n_cell.angle_gamma 90\n_symmetry.space_group_name_H-M 'P 1'\n"
      "loop_\n_atom_site.group_PDB\n_atom_site.id\n_atom_site.type_symbol\n_atom_site.label_atom_"
      "id\n"
      "_atom_site.label_comp_id\n_atom_site.label_asym_id\n_atom_site.label_seq_id\n"
      "_atom_site.Cartn_x\n_atom_site.Cartn_y\n_atom_site.Cartn_z\n_atom_site.occupancy\n"
      "_atom_site.B_iso_or_equiv\n_atom_site.auth_seq_id\n_atom_site.auth_asym_id\n";
  const std::string ala =
      "ATOM 1 N N ALA A 1 1.0 2.0 3.0 1 20 1 A\nATOM 2 C CA ALA A 1 2.0 2.0 3.0 1 20 1 A\n"
      "ATOM 3 C C ALA A 1 3.0 2.0 3.0 1 20 1 A\nATOM 4 O O ALA A 1 4.0 2.0 3.0 1 20 1 A\n";
  const struct {
    const char *label, *rows, *name, *res, *want;
  } rows[] = {
      {"sodium, ?", "HETATM 5 ? NA NA B . 9 9 9 1 20 201 B\n", "NA", "NA", "NA"},
      {"sodium in mixed case, .", "HETATM 5 . Na NA B . 9 9 9 1 20 201 B\n", "Na", "NA", "NA"},
      {"calcium", "HETATM 5 ? CA CA B . 9 9 9 1 20 201 B\n", "CA", "CA", "CA"},
      {"element given and disagreeing", "HETATM 5 O NA NA B . 9 9 9 1 20 201 B\n", "NA", "NA", "O"},
      {"a residue of two atoms",
       "HETATM 5 ? NA NA B . 9 9 9 1 20 201 B\nHETATM 6 ? C1 NA B . 8 9 9 1 20 201 B\n", "NA", "NA",
       "N"},
      {"the alpha carbon of an amino acid", "ATOM 5 ? CA GLY A 2 5 2 3 1 20 2 A\n", "CA", "GLY",
       "C"},
  };
  for (const auto& r : rows) {
    write("m", head + ala + r.rows);
    for (const bool pdb_rules : {false, true}) {
      SCOPED_TRACE(std::string(r.label) + (pdb_rules ? ", PDB rules" : ", atom rows"));
      int32_t ierr = 0;
      init_atm_inf_(0, ierr);
      if (pdb_rules)
        captured([&] { coords::read_cif_by_pdb_rules(99, dir_ + "m.cif", 'N', 'N', ierr); });
      else captured([&] { ierr = read("m"); });
      rt::close_all_units();
      EXPECT_EQ(ierr, 0);
      const int a = atom_named(r.name, r.res);
      ASSERT_GT(a, 0);
      EXPECT_EQ(symbol_of(a), r.want);
    }
  }
}

}  // namespace
