// The anisotropic loop of an mmCIF entry: its rows name atoms read before
// them and carry their U; they are never atom rows of their own.
#include <cmath>

#include "cif_test_util.h"
#include "suite/pi.h"

namespace {

// The anisotropic loop as the archive writes it: names of the atom, the six
// components, their deviations (which must not be taken for them) and the
// author's names.
const std::string kAnisoLoop =
    "loop_\n"
    "_atom_site_anisotrop.id\n_atom_site_anisotrop.type_symbol\n"
    "_atom_site_anisotrop.pdbx_label_atom_id\n"
    "_atom_site_anisotrop.U[1][1]\n_atom_site_anisotrop.U[2][2]\n_atom_site_anisotrop.U[3][3]\n"
    "_atom_site_anisotrop.U[1][2]\n_atom_site_anisotrop.U[1][3]\n_atom_site_anisotrop.U[2][3]\n"
    "_atom_site_anisotrop.U[1][1]_esd\n_atom_site_anisotrop.U[2][2]_esd\n"
    "_atom_site_anisotrop.U[3][3]_esd\n_atom_site_anisotrop.U[1][2]_esd\n"
    "_atom_site_anisotrop.U[1][3]_esd\n_atom_site_anisotrop.U[2][3]_esd\n"
    "_atom_site_anisotrop.pdbx_auth_asym_id\n";

const std::string kAtoms =
    cif_header() +
    atom_loop({"id", "type_symbol", "label_atom_id", "label_comp_id", "label_asym_id",
               "auth_seq_id", "Cartn_x", "Cartn_y", "Cartn_z", "B_iso_or_equiv"}) +
    "1 N N ALA A 1 1.0 2.0 3.0 15.0\n"
    "2 C CA ALA A 1 2.0 2.0 3.0 16.0\n"
    "3 C C ALA A 1 3.0 2.0 3.0 17.0\n#\n";

using CifAnisoLoop = CifFiles;

}  // namespace

TEST_F(CifAnisoLoop, ValuesReachTheAtomsTheyName) {
  // Rows out of the atoms' order, one for an atom the model does not hold.
  write("a", kAtoms + kAnisoLoop +
                 "2 C CA 0.2011 0.2022 0.2033 0.0204 -0.0205 0.0206 9 9 9 9 9 9 A\n"
                 "1 N N  0.1011 0.1022 0.1033 -0.0104 0.0105 0.0106 9 9 9 9 9 9 A\n"
                 "7 O O  0.5 0.5 0.5 0 0 0 9 9 9 9 9 9 A\n#\n");
  ASSERT_EQ(read_out("a"), 0) << out_;
  EXPECT_EQ(atom_inf.n_atom, 3);
  EXPECT_EQ(atom_inf.n_aniso, 2);
  const float want[2][6] = {{0.1011f, 0.1022f, 0.1033f, -0.0104f, 0.0105f, 0.0106f},
                            {0.2011f, 0.2022f, 0.2033f, 0.0204f, -0.0205f, 0.0206f}};
  for (int a = 1; a <= 2; ++a) {
    SCOPED_TRACE(a);
    EXPECT_EQ(atom_inf.b_flag(a), a);
    for (int i = 1; i <= 6; ++i) EXPECT_FLOAT_EQ(atom_crd.u_aniso(i, a), want[a - 1][i - 1]) << i;
  }
  // The atom without a row keeps its isotropic B.
  EXPECT_EQ(atom_inf.b_flag(3), 0);
  constexpr float pi = suite::kPi<float>;
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 3), 17.0f / (8.0f * pi * pi));
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(2, 3), 0.0f);
}

TEST_F(CifAnisoLoop, RowsThatPassOverAtomsOrGoBackReachTheirAtoms) {
  // The search for a row's atom goes on from the last one found and comes
  // round to the start: rows that skip atoms, go back to the first one from
  // the one before the last, and reach the last one.
  write("a", cif_header() +
                 atom_loop({"id", "type_symbol", "label_atom_id", "label_comp_id", "label_asym_id",
                            "auth_seq_id", "Cartn_x", "Cartn_y", "Cartn_z", "B_iso_or_equiv"}) +
                 "1 N N ALA A 1 1.0 2.0 3.0 15.0\n"
                 "2 C CA ALA A 1 2.0 2.0 3.0 16.0\n"
                 "3 C C ALA A 1 3.0 2.0 3.0 17.0\n"
                 "4 O O ALA A 1 3.5 3.0 3.0 18.0\n"
                 "5 C CB ALA A 1 2.0 1.0 4.0 19.0\n#\n" +
                 kAnisoLoop +
                 "2 C CA 0.2 0.2 0.2 0 0 0 9 9 9 9 9 9 A\n"
                 "4 O O  0.4 0.4 0.4 0 0 0 9 9 9 9 9 9 A\n"
                 "1 N N  0.1 0.1 0.1 0 0 0 9 9 9 9 9 9 A\n"
                 "5 C CB 0.5 0.5 0.5 0 0 0 9 9 9 9 9 9 A\n"
                 "3 C C  0.3 0.3 0.3 0 0 0 9 9 9 9 9 9 A\n#\n");
  ASSERT_EQ(read_out("a"), 0) << out_;
  ASSERT_EQ(atom_inf.n_atom, 5);
  EXPECT_EQ(atom_inf.n_aniso, 5);
  for (int a = 1; a <= 5; ++a) {
    SCOPED_TRACE(a);
    EXPECT_EQ(atom_inf.b_flag(a), a);
    EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, a), 0.1f * static_cast<float>(a));
  }
}

// Six zeros are no anisotropic displacement but what writers put for an
// atom without one: the atom keeps its B, and one line counts such rows.
TEST_F(CifAnisoLoop, RowsThatCannotBeTakenArePassedOverNotRefused) {
  const struct {
    const char* label;
    std::string rows;
    const char* line = "";  // the count line of rows of six zeros
  } cases[] = {
      {"component absent", "1 N N 0.1 ? 0.1 0 0 0 9 9 9 9 9 9 A\n"},
      {"component inapplicable", "1 N N 0.1 0.1 . 0 0 0 9 9 9 9 9 9 A\n"},
      {"serial unknown", "? N N 0.1 0.1 0.1 0 0 0 9 9 9 9 9 9 A\n"},
      {"row cut short at the file end", "1 N N 0.1 0.1\n"},
      {"six zeros", "1 N N 0 0 0 0 0 0 9 9 9 9 9 9 A\n",
       "  WARNING: 1 _atom_site_anisotrop row of six zeros passed over: its atom stays isotropic\n"},
      {"six zeros with decimals, two atoms",
       "1 N N 0.0000 0.0000 0.0000 0.0000 0.0000 -0.0000 9 9 9 9 9 9 A\n"
       "2 C CA 0 0 0 0 0 0 9 9 9 9 9 9 A\n",
       "  WARNING: 2 _atom_site_anisotrop rows of six zeros passed over: their atoms stay "
       "isotropic\n"},
  };
  constexpr float pi = suite::kPi<float>;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("p", kAtoms + kAnisoLoop + c.rows);
    EXPECT_EQ(read_out("p"), 0) << out_;
    EXPECT_EQ(atom_inf.n_atom, 3);
    EXPECT_EQ(atom_inf.n_aniso, 0);
    EXPECT_EQ(atom_inf.b_flag(1), 0);
    EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 1), 15.0f / (8.0f * pi * pi));
    if (*c.line != '\0')
      EXPECT_EQ(count_of(out_, c.line), 1) << out_;
    else
      EXPECT_EQ(out_.find("of six zeros"), std::string::npos) << out_;
  }
}

// A component that its field in the written files cannot hold is refused,
// naming the atom; one that fits is taken.
TEST_F(CifAnisoLoop, ComponentTooLargeForItsFieldIsRefused) {
  write("big", kAtoms + kAnisoLoop + "1 N N 0.1 0.1 0.1 0 0 0 9 9 9 9 9 9 A\n" +
                   "2 C CA 0.1 1e38 0.1 0 0 0 9 9 9 9 9 9 A\n");
  EXPECT_EQ(read_out("big"), 3);
  EXPECT_NE(
      out_.find("  ERROR: atom 2: anisotropic U not finite or too large for its field, row at "
                "line 42\n  ERROR: read input file\n"),
      std::string::npos)
      << out_;
  write("fits", kAtoms + kAnisoLoop + "2 C CA 0.1 9999.999 0.1 0 0 0 9 9 9 9 9 9 A\n");
  EXPECT_EQ(read_out("fits"), 0) << out_;
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(2, 2), 9999.999f);
}

// A component that is no number would leave the atom's U at 0 along it:
// the row is refused, named by the atom and the item; so is a serial that
// is no integer, as the atom rows' serials are.
TEST_F(CifAnisoLoop, ValueThatIsNoNumberIsRefused) {
  const struct {
    const char *label, *row, *message;
  } cases[] = {
      {"letters", "1 N N 0.1 abc 0.1 0 0 0 9 9 9 9 9 9 A\n",
       "  ERROR: atom 1: _atom_site_anisotrop.U[2][2] \"abc\" is not a number, row at line 41\n"},
      {"cut after its exponent", "2 C CA 0.1 0.1 0.1 0 0 1e- 9 9 9 9 9 9 A\n",
       "  ERROR: atom 2: _atom_site_anisotrop.U[2][3] \"1e-\" is not a number, row at line 41\n"},
      {"serial as a whole real", "2.0 C CA 0.1 0.1 0.1 0 0 0 9 9 9 9 9 9 A\n",
       "  ERROR: atom 2.0: _atom_site_anisotrop.id \"2.0\" is not an integer, row at line 41\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("n", kAtoms + kAnisoLoop + c.row);
    EXPECT_EQ(read_out("n"), 3);
    EXPECT_NE(out_.find(std::string(c.message) + "  ERROR: read input file\n"), std::string::npos) << out_;
  }
}

TEST_F(CifAnisoLoop, AnAtomRowWithoutSerialAfterItIsStillRefused) {
  // The atom list after the anisotropic loop, as the only one of its block.
  write("r", cif_header() + kAnisoLoop + "1 N N 0.1 0.1 0.1 0 0 0 9 9 9 9 9 9 A\n" +
                 atom_loop({"id", "label_atom_id", "label_comp_id", "label_asym_id", "auth_seq_id",
                            "Cartn_x", "Cartn_y", "Cartn_z"}) +
                 "1 N ALA A 1 0 0 0\n? O ALA A 1 0 0 0\n");
  EXPECT_EQ(read_out("r"), 3);
  EXPECT_NE(out_.find(" ERROR: an atom row without a serial number"), std::string::npos) << out_;
}

// A first data block that holds the anisotropic loop and no atom rows, the
// atoms in the next block: the block after it ends no atom list, since none
// was read yet, and the atoms are read.  The loop's rows before them name
// no atom of the model and are passed over.
TEST_F(CifAnisoLoop, FirstBlockWithTheLoopAloneLeavesTheNextBlocksAtomsRead) {
  write("b", cif_header() + kAnisoLoop + "1 N N 0.1 0.1 0.1 0 0 0 9 9 9 9 9 9 A\n#\n" + kAtoms);
  ASSERT_EQ(read_out("b"), 0) << out_;
  EXPECT_EQ(atom_inf.n_atom, 3);
  EXPECT_EQ(resid_inf.n_residue, 1);
  EXPECT_EQ(atom_inf.n_aniso, 0);
  EXPECT_NE(out_.find(count_lines(1, 1, 3)), std::string::npos) << out_;
}
