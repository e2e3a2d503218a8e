// The last row of the mmCIF header's modification loop and of its table,
// and the anisotropic row whose atom lies just before the point the search
// starts from.
#include <gtest/gtest.h>

#include <string>

#include "cif_test_util.h"
#include "coords/cif_header.h"

namespace {

using CifRowEdges = CifFiles;

const std::string kModLoop =
    "loop_\n_ptq7_struct_asym_mod.mod_id\n_ptq7_struct_asym_mod.label_asym_id\n"
    "_ptq7_struct_asym_mod.auth_seq_id\n_ptq7_struct_asym_mod.comp_id\n"
    "_ptq7_struct_asym_mod.new_comp_id\n";

const std::string kAtoms = kShortLoop +
                           "1 N ALA AA 1 0 0 0\n2 N GLY AA 2 0 0 0\n3 N SER AA 3 0 0 0\n"
                           "5 N ALA BB 1 0 0 0\n6 N GLY BB 2 0 0 0\n7 N SER BB 3 0 0 0\n";

}  // namespace

// Three rows, the last one just before the atom rows: three modifications,
// each with its own values, the last one included.
TEST_F(CifRowEdges, EveryRowOfTheModificationLoopIsAModification) {
  write("mods", "data_x\n" + kModLoop +
                    "MOD1 AA 1 ALA ALA\nMOD2 BB 2 GLY GLY\nMOD3 BB 3 SER SEX\n" + kAtoms);
  ASSERT_EQ(read("mods"), 8);
  ASSERT_EQ(mod_inf.mod_n, 3);
  const struct {
    const char* id;
    const char* rnam_new;
    int ires;
  } want[] = {
      {"MOD1    ", "ALA     ", 1}, {"MOD2    ", "GLY     ", 5}, {"MOD3    ", "SEX     ", 6}};
  for (int k = 1; k <= 3; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(mod_inf.mod_id(k).str(), want[k - 1].id);
    EXPECT_EQ(mod_inf.mod_rnam_new(k).str(), want[k - 1].rnam_new);
    EXPECT_EQ(mod_inf.mod_ires(k), want[k - 1].ires);
    EXPECT_EQ(mod_inf.mod_used(k).str(), "U");
  }
}

// As many rows as the modification table holds are all kept, the last one
// with its own values.
TEST_F(CifRowEdges, ModificationRowsFillTheTableToItsLastEntry) {
  std::string text = "data_x\n" + kModLoop;
  for (int i = 1; i < MAXMODIF; ++i) text += "MOD" + std::to_string(i) + " AA 1 ALA ALA\n";
  const std::string last = "LAST AA 2 GLY GLX\n";
  write("full", text + last + kAtoms);
  EXPECT_EQ(read_out("full"), 8);
  ASSERT_EQ(mod_inf.mod_n, MAXMODIF);
  EXPECT_EQ(mod_inf.mod_id(MAXMODIF).str(), "LAST    ");
  EXPECT_EQ(mod_inf.mod_rnam_new(MAXMODIF).str(), "GLX     ");
  EXPECT_EQ(out_.find("MAXMODIF"), std::string::npos);
}

// The search for an anisotropic row's atom starts after the atom the row
// before went to and comes round: the atom just before that start must be
// reached too.  Before any row the start is the first atom, so the atom
// just before it is the last one; after a row the atom just before the
// start is the one that row went to.
TEST_F(CifRowEdges, AnisotropicRowFindsTheAtomJustBeforeTheSearchStart) {
  const std::string atoms =
      cif_header() +
      atom_loop({"id", "type_symbol", "label_atom_id", "label_comp_id", "label_asym_id",
                 "auth_seq_id", "Cartn_x", "Cartn_y", "Cartn_z", "B_iso_or_equiv"}) +
      "1 N N ALA A 1 1.0 2.0 3.0 15.0\n"
      "2 C CA ALA A 1 2.0 2.0 3.0 16.0\n"
      "3 C C ALA A 1 3.0 2.0 3.0 17.0\n"
      "4 ZN ZN ZN B 2 5.0 2.0 3.0 18.0\n#\n";
  const std::string aniso =
      "loop_\n_atom_site_anisotrop.id\n_atom_site_anisotrop.type_symbol\n"
      "_atom_site_anisotrop.U[1][1]\n_atom_site_anisotrop.U[2][2]\n"
      "_atom_site_anisotrop.U[3][3]\n_atom_site_anisotrop.U[1][2]\n"
      "_atom_site_anisotrop.U[1][3]\n_atom_site_anisotrop.U[2][3]\n";
  const struct {
    const char* label;
    std::string rows;
    int atom;
    float u11;
  } cases[] = {
      {"the only row names the last atom (a zinc with U, the protein without)",
       "4 ZN 0.4 0.4 0.4 0 0 0\n", 4, 0.4f},
      {"a second row for the atom the row before went to: its values stand",
       "2 C 0.2 0.2 0.2 0 0 0\n2 C 0.25 0.2 0.2 0 0 0\n", 2, 0.25f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("a", atoms + aniso + c.rows + "#\n");
    ASSERT_EQ(read_out("a"), 0) << out_;
    ASSERT_EQ(atom_inf.n_atom, 4);
    EXPECT_EQ(atom_inf.n_aniso, 1);
    for (int a = 1; a <= 4; ++a) EXPECT_EQ(atom_inf.b_flag(a), a == c.atom ? a : 0) << a;
    EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, c.atom), c.u11);
  }
}
