// mmCIF atom rows whose values depend on the order of the columns: a later
// column of the same item overrides an earlier one, and the displacement
// type and the anisotropic components, which both set the kind of B, act
// in the order they stand in the loop.
#include "cif_test_util.h"

using CifAtomRowOrder = CifFiles;

TEST_F(CifAtomRowOrder, DisplacementTypeAndComponentsActInLoopOrder) {
  // "Uiso" after the components makes atom 1 isotropic again.
  write("t", cif_header() + kShortLoop +
                 atom_loop({"B_iso_or_equiv", "aniso_U[1][1]", "aniso_U[2][2]", "aniso_U[3][3]",
                            "thermal_displace_type"}).substr(6) +
                 "1 CA ALA A 1 0 0 0 10 .05 .06 .07 Uiso\n"
                 "2 CB ALA A 1 0 0 0 10 .05 .06 .07 Uani\n");
  ASSERT_EQ(read("t"), 0);
  ASSERT_EQ(atom_inf.n_atom, 2);
  EXPECT_EQ(atom_inf.b_flag(1), 0);
  EXPECT_EQ(atom_inf.b_flag(2), 2);
  EXPECT_EQ(atom_inf.n_aniso, 1);
  // Components after the type make the atom anisotropic.
  write("c", cif_header() + kShortLoop +
                 atom_loop({"B_iso_or_equiv", "thermal_displace_type", "aniso_U[1][1]", "aniso_U[2][2]",
                            "aniso_U[3][3]"}).substr(6) +
                 "1 CA ALA A 1 0 0 0 10 Uiso .05 .06 .07\n"
                 "2 CB ALA A 1 0 0 0 10 Uiso . . .\n");
  ASSERT_EQ(read("c"), 0);
  ASSERT_EQ(atom_inf.n_atom, 2);
  EXPECT_EQ(atom_inf.b_flag(1), 1);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(2, 1), 0.06f);
  EXPECT_EQ(atom_inf.b_flag(2), 0);
}

TEST_F(CifAtomRowOrder, AColumnOfAnItemGivenTwiceIsRefused) {
  // The x coordinate stands twice: which of its values places the atom is
  // no reader's guess.  The atom-number column is a serial of its own name.
  write("d", cif_header() + kShortLoop + atom_loop({"atom_number", "Cartn_x"}).substr(6) +
                 "1 CA ALA A 1 5.0 0 0 7 2.5\n");
  ASSERT_EQ(read_out("d"), 3);
  EXPECT_NE(out_.find("  ERROR: CIF_read: item _atom_site.Cartn_x in line 19 is given twice in data "
                      "block t (first in line 15)\n  ERROR: read input file\n"),
            std::string::npos)
      << out_;
  EXPECT_EQ(atom_inf.n_atom, 0);
}
