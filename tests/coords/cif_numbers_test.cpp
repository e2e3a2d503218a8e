// The numbers of CIF values: each form read, refused or taken as absent,
// given with the tokeniser's conversion of it as the readers pass it.
#include "coords/cif_numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "cif_test_util.h"
#include "foundation/words.h"

namespace {

using coords::CifNumber;

// The tokeniser converts a word as wtodig_ does.
float tokenised(const std::string& text) {
  float f = 0;
  int32_t i = 0;
  wtodig_(text, static_cast<int32_t>(text.size()), f, i);
  return f;
}

uint32_t bits(float f) {
  uint32_t u;
  std::memcpy(&u, &f, 4);
  return u;
}

}  // namespace

TEST(CifNumber, EachFormIsReadRefusedOrAbsent) {
  const struct {
    const char* label;
    const char* text;
    CifNumber want;
    const char* read_as;  // the short number whose value it must give
  } rows[] = {
      {"a number as written today", "20.214", CifNumber::kRead, "20.214"},
      {"exponent", "2.0214e1", CifNumber::kRead, "2.0214e1"},
      {"exponent with its sign", "20.214E+00", CifNumber::kRead, "20.214E+00"},
      {"trailing point", "20.", CifNumber::kRead, "20"},
      {"leading plus", "+20.214", CifNumber::kRead, "20.214"},
      {"zero", "0.000", CifNumber::kRead, "0"},
      {"zero with an exponent", "0.0E+00", CifNumber::kRead, "0"},
      {"uncertainty", "20.214(3)", CifNumber::kRead, "20.214"},
      {"cell length with its uncertainty", "41.980(5)", CifNumber::kRead, "41.980"},
      {"exponent and uncertainty", "1.5e1(2)", CifNumber::kRead, "15"},
      {"17 characters", "-20.2140000000000", CifNumber::kRead, "-20.214"},
      {"long with an exponent", "2.02140000000000e1", CifNumber::kRead, "20.214"},
      {"letters", "abc", CifNumber::kNoNumber, "0"},
      {"second point", "1.2.3", CifNumber::kNoNumber, "0"},
      {"comma", "12,5", CifNumber::kNoNumber, "0"},
      {"nan", "nan", CifNumber::kNoNumber, "0"},
      {"inf", "inf", CifNumber::kNoNumber, "0"},
      {"empty quoted text", "", CifNumber::kNoNumber, "0"},
      {"sign alone", "-", CifNumber::kNoNumber, "0"},
      {"unclosed parenthesis", "20.214(3", CifNumber::kNoNumber, "0"},
      {"empty parenthesis", "20.214()", CifNumber::kNoNumber, "0"},
      {"letters in the parenthesis", "20.214(x)", CifNumber::kNoNumber, "0"},
      {"uncertainty without a number", "(3)", CifNumber::kNoNumber, "0"},
      {"long with letters", "-20.2140000000000x", CifNumber::kNoNumber, "0"},
      {"unknown", "?", CifNumber::kAbsent, "0"},
      {"not applicable", ".", CifNumber::kAbsent, "0"},
      // An exponent needs its digits: a number cut short is none.
      {"bare exponent", "1e", CifNumber::kNoNumber, "0"},
      {"bare exponent after two digits", "12e", CifNumber::kNoNumber, "0"},
      {"bare exponent after a point", "1.e", CifNumber::kNoNumber, "0"},
      {"exponent sign without digits", "1e-", CifNumber::kNoNumber, "0"},
      {"cut after the exponent sign", "1.5e-", CifNumber::kNoNumber, "0"},
      {"the same number whole", "1.5e-3", CifNumber::kRead, "0.0015"},
      {"exponent without mantissa digits", "e5", CifNumber::kNoNumber, "0"},
      {"point and exponent only", ".e5", CifNumber::kNoNumber, "0"},
      {"character after the exponent", "1e5x", CifNumber::kNoNumber, "0"},
      {"closing parenthesis alone", "1.00)", CifNumber::kNoNumber, "0"},
      {"exponent 32 held at 31", "1e32", CifNumber::kRead, "1e31"},
      {"long, exponent 32 held at 31", "1.00000000000000e32", CifNumber::kRead, "1e31"},
      {"long with exponent -1", "2.02140000000000e-1", CifNumber::kRead, "0.20214"},
      {"long, no digit before its exponent", ".e000000000000000", CifNumber::kNoNumber, "0"},
      {"long, cut after its exponent sign", "1.50000000000000e-", CifNumber::kNoNumber, "0"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    float f = -99.0f;
    // As the tokeniser's record holds it: blank-padded.
    const std::string slot = std::string(row.text) + "    ";
    EXPECT_EQ(coords::cif_number(slot, tokenised(row.text), f), row.want);
    EXPECT_EQ(bits(f), bits(tokenised(row.read_as))) << f;
  }
}

using CifNumberRows = CifFiles;

// The small-molecule road: a fractional coordinate and the cell with their
// uncertainties are read; a coordinate that is no number is refused, the
// atom named by its label, since such files give no serial.
TEST_F(CifNumberRows, SmallMoleculeUncertaintiesAreReadAndNoNumberRefused) {
  const std::string head =
      "data_csd\n_database_code_CSD ABCDEF\n_cell_length_a 10.000(2)\n_cell_length_b 10\n"
      "_cell_length_c 10\n_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n"
      "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n";
  write("sm", head + "C1 0.1000(3) 0.2 0.3\n");
  ASSERT_EQ(read("sm"), 8);
  EXPECT_NEAR(atom_crd.xyz_crd(1, 1), 1.0f, 1e-4f);
  write("bad", head + "C1 0.1 0.2 0.3\nO1 0.1( 0.2 0.3\n");
  EXPECT_EQ(read_out("bad"), 3);
  EXPECT_NE(
      out_.find("  ERROR: atom O1: _atom_site_fract_x \"0.1(\" is not a number, row at line 15\n"
                "  ERROR: read input file\n"),
      std::string::npos)
      << out_;
  // An anisotropic component too large for its field in the written files.
  const std::string aniso =
      "_atom_site_aniso_U[1][1]\n_atom_site_aniso_U[2][2]\n"
      "_atom_site_aniso_U[3][3]\n_atom_site_aniso_U[1][2]\n"
      "_atom_site_aniso_U[1][3]\n_atom_site_aniso_U[2][3]\n";
  write("big",
        head + aniso + "C1 0.1 0.2 0.3 0.1 0.1 0.1 0 0 0\nO1 0.1 0.2 0.3 1e38 0.1 0.1 0 0 0\n");
  EXPECT_EQ(read_out("big"), 3);
  EXPECT_NE(out_.find("  ERROR: atom O1: anisotropic U not finite or too large for its field, row "
                      "at line 21\n  ERROR: read input file\n"),
            std::string::npos)
      << out_;
}

// Small-molecule rows: a coordinate "?" has no default and is refused, an
// occupancy "?" is read (the reader puts 1 for every atom), a loop without
// one of its coordinates is refused naming the item, and a core CIF without
// its CSD code is read as the same file with one: by its fractional
// coordinates, with the scattering types of its atoms alone.
TEST_F(CifNumberRows, SmallMoleculeRowsAreReadOrRefusedByTheirValues) {
  const std::string cell =
      "_cell_length_a 10\n_cell_length_b 10\n_cell_length_c 10\n_cell_angle_alpha 90\n"
      "_cell_angle_beta 90\n_cell_angle_gamma 90\nloop_\n_atom_site_label\n";
  const struct {
    const char *label, *code, *items, *row, *message;  // message: the refusal, or nullptr
  } rows[] = {
      {"fract_z unknown", "_database_code_CSD ABCDEF\n", "x y z occupancy", "C1 0.1 0.2 ? 1",
       "  ERROR: atom C1: _atom_site_fract_z \"?\" is not a number, row at line 15\n"},
      {"occupancy unknown", "_database_code_CSD ABCDEF\n", "x y z occupancy", "C1 0.1 0.2 0.3 ?",
       nullptr},
      {"no fract_z", "_database_code_CSD ABCDEF\n", "x y occupancy", "C1 0.1 0.2 1",
       "  ERROR: the atom list has no item _atom_site_fract_z, row at line 14\n"},
      {"no CSD code", "", "x y z occupancy", "C1 0.1 0.2 0.3 1", nullptr},
      // The fractional coordinates place the atom, not a Cartesian one
      // beside them, before or after.
      {"no CSD code, a lone Cartn_x after the fractional ones", "", "x y z Cartn_x",
       "C1 0.1 0.2 0.3 7.5", nullptr},
      {"no CSD code, a lone Cartn_x before the fractional ones", "", "Cartn_x x y z",
       "C1 7.5 0.1 0.2 0.3", nullptr},
      // The header's scattering types are passed over: the atoms' own are
      // the only ones, whatever file came before.
      {"no CSD code, atom types listed", "loop_\n_atom_type_symbol\nN\nO\n", "x y z",
       "C1 0.1 0.2 0.3", nullptr},
      // An anisotropic loop before the atom list (here before the cell as
      // well) is read past to the list, as it is after it.
      {"no CSD code, anisotropic loop first",
       "loop_\n_atom_site_aniso_label\n_atom_site_aniso_U_11\n_atom_site_aniso_U_22\n"
       "C1 0.01 0.02\n",
       "x y z", "C1 0.1 0.2 0.3", nullptr},
      {"anisotropic loop first, with the CSD code",
       "_database_code_CSD ABCDEF\nloop_\n_atom_site_aniso_label\n_atom_site_aniso_U_11\n"
       "C1 0.01\n",
       "x y z", "C1 0.1 0.2 0.3", nullptr},
      {"CCDC anisotropic loop first",
       "_database_code_CSD ABCDEF\nloop_\n_ccdc_atom_site_aniso_label\n"
       "_ccdc_atom_site_aniso_U_11\nC1 0.01\n",
       "x y z", "C1 0.1 0.2 0.3", nullptr},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    // The items after the label: each word a coordinate's letter or "occupancy".
    std::string items, word;
    for (const char c : std::string(r.items) + " ") {
      if (c != ' ') {
        word += c;
        continue;
      }
      items += word.size() > 1 ? "_atom_site_" + word + "\n" : "_atom_site_fract_" + word + "\n";
      word.clear();
    }
    write("sm", std::string("data_sm\n") + r.code + cell + items + r.row + "\n");
    if (r.message != nullptr) {
      EXPECT_EQ(read_out("sm"), 3);
      EXPECT_NE(out_.find(std::string(r.message) + "  ERROR: read input file\n"), std::string::npos) << out_;
      EXPECT_EQ(atom_inf.n_atom, 0);
      continue;
    }
    ASSERT_EQ(read_out("sm"), 8) << out_;
    ASSERT_EQ(atom_inf.n_atom, 1);
    EXPECT_EQ(resid_inf.res_name(1).trimmed(), "C00");
    EXPECT_EQ(atom_inf.atm_name(1).trimmed(), "C1");
    EXPECT_NEAR(atom_crd.xyz_crd(1, 1), 1.0f, 1e-4f);
    EXPECT_NEAR(atom_crd.xyz_crd(3, 1), 3.0f, 1e-4f);
    EXPECT_FLOAT_EQ(atom_crd.occup(1), 1.0f);
    EXPECT_EQ(crst_crd.cs_nsfatm, 1);
    EXPECT_EQ(atom_inf.atm_chem(1).trimmed(), "C");
  }
}

// Header numbers that place every atom: a cell value or a value of the
// fractionalisation matrix that is no number stops the read, naming the item
// and its line, rather than moving the atoms without a word; so does a
// header integer of another form than digits with a sign.
TEST_F(CifNumberRows, HeaderNumberThatIsNoNumberIsRefused) {
  const struct {
    const char *label, *line, *message;
  } rows[] = {
      {"cell length", "_cell.length_a abc",
       "  ERROR: _cell.length_a \"abc\" is not a number, line 2\n"},
      {"matrix value", "_atom_sites.fract_transf_matrix[1][1] 0,1",
       "  ERROR: _atom_sites.fract_transf_matrix[1][1] \"0,1\" is not a number, line 2\n"},
      // No crystal item after the connection loop to stop the read for it.
      {"connection distance after the matrix",
       "_atom_sites.fract_transf_matrix[1][1] 0.1\nloop_\n_struct_conn.id\n"
       "_struct_conn.pdbx_dist_value\nc1 abc",
       "  ERROR: _struct_conn.pdbx_dist_value \"abc\" is not a number, row at line 6\n"},
      // The header's integers take the one form of every integer item.
      {"space-group number written as a real", "_symmetry.Int_Tables_number 19.0",
       "  ERROR: _symmetry.Int_Tables_number \"19.0\" is not an integer, line 2\n"},
      {"model number with an exponent", "_database_PDB.model 1e0",
       "  ERROR: _database_PDB.model \"1e0\" is not an integer, line 2\n"},
      {"electron count of an atom type", "loop_\n_atom_type.symbol\n_atom_type.nelec\nC 6.0",
       "  ERROR: _atom_type.nelec \"6.0\" is not an integer, row at line 5\n"},
  };
  for (const auto& r : rows) {
    write("head",
          std::string("data_t\n") + r.line + "\n" + kShortLoop + "1 CA ALA A 1 1.0 2.0 3.0\n");
    EXPECT_EQ(read_out("head"), 3) << r.label;
    EXPECT_NE(out_.find(std::string(r.message) + "  ERROR: read input file\n"), std::string::npos)
        << r.label << out_;
  }
}

// Integer items: digits with a sign; nothing else, not even a number whose
// value is whole, nor an integer past 32 bits.
TEST(CifInteger, EachFormIsReadRefusedOrAbsent) {
  const struct {
    const char* label;
    const char* text;
    CifNumber want;
    int32_t value;
  } rows[] = {
      {"digits", "151", CifNumber::kRead, 151},
      {"negative", "-3", CifNumber::kRead, -3},
      {"leading plus", "+7", CifNumber::kRead, 7},
      {"largest", "2147483647", CifNumber::kRead, 2147483647},
      {"whole real", "17.0", CifNumber::kNoNumber, 0},
      {"whole with an exponent", "1.7e1", CifNumber::kNoNumber, 0},
      {"whole with an uncertainty", "5(1)", CifNumber::kNoNumber, 0},
      {"fraction", "17.5", CifNumber::kNoNumber, 0},
      {"letters", "abc", CifNumber::kNoNumber, 0},
      {"digit and letter", "1x", CifNumber::kNoNumber, 0},
      {"bare exponent", "1e", CifNumber::kNoNumber, 0},
      {"past 32 bits", "99999999999", CifNumber::kNoNumber, 0},
      {"two signs", "+-5", CifNumber::kNoNumber, 0},
      {"empty quoted text", "", CifNumber::kNoNumber, 0},
      {"unknown", "?", CifNumber::kAbsent, 0},
      {"not applicable", ".", CifNumber::kAbsent, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    int32_t i = -99;
    EXPECT_EQ(coords::cif_integer(std::string(row.text) + "    ", i), row.want);
    EXPECT_EQ(i, row.value);
  }
  const struct {
    const char* text;
    bool number;
  } authors[] = {{"12", true}, {"-3", true}, {"27A", true}, {"1000a", true}, {"abc", false},
                 {"1x1", false}, {"12AB", false}, {"A000", false}, {"", false}};
  for (const auto& a : authors)
    EXPECT_EQ(coords::cif_author_number(std::string(a.text) + "  "), a.number) << a.text;
}
