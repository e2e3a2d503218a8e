// The whole-file CIF entry: rows that are never stored, the writer switches
// lowered by single atoms, the residue tables set up or kept, the user's
// space group, and the small-molecule reader's numbering and value cleaning.
#include "cif_test_util.h"

#include "coords/cif_small_molecule.h"

using ReadAtoms = CifFiles;

TEST_F(ReadAtoms, RowsWithoutPositiveSerialAreNotPassedOver) {
  // Status 3, the read's own error, and no counts as for a file read whole.
  write("z", cif_header() + kShortLoop + "0 CA ALA A 1 0 0 0\n-3 CB ALA A 1 0 0 0\n");
  EXPECT_EQ(read_out("z"), 3);
  EXPECT_NE(out_.find(" ERROR: atom serial \"0\" is not a positive number"), std::string::npos) << out_;
  EXPECT_EQ(out_.find("Number of atoms"), std::string::npos) << out_;
  EXPECT_EQ(atom_inf.n_atom, 0);
}

TEST_F(ReadAtoms, RowCutShortIsAReadErrorWithItsSerial) {
  // A row short of values before the next loop, and one cut by the end of
  // the file: the tokeniser would drop either without a word.
  const struct {
    const char* label;
    std::string tail;
    const char* message;
  } cases[] = {
      {"before a loop", "7 CB ALA A 1 1.0\nloop_\n_other.a\n1\n", " ERROR: atom 7 holds 6 values for 8 items"},
      {"at the file end", "8 CB ALA A\n", " ERROR: atom 8 holds 4 values for 8 items"},
      {"serial missing too", "'' \n", " ERROR: an atom row holds 1 values for 8 items"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("cut", cif_header() + kShortLoop + "1 CA ALA A 1 0 0 0\n" + c.tail);
    EXPECT_EQ(read_out("cut"), 3);
    EXPECT_NE(out_.find(c.message), std::string::npos) << out_;
    EXPECT_EQ(atom_inf.n_atom, 1);
  }
}

// Writers that put each model in a data block of its own: the first block
// that holds atom rows is the model read, and a block before it without
// atom rows reads none.
TEST_F(ReadAtoms, FirstDataBlockWithAtomRowsIsTheModelRead) {
  const std::string model1 = "1 N ALA A 1 0 0 0\n2 CA ALA A 1 1 0 0\n";
  const std::string model2 = "1 N GLY A 1 0 0 0\n2 CA GLY A 1 1 0 0\n3 C GLY A 1 2 0 0\n";
  const struct {
    const char* label;
    std::string text;
    int atoms;
    const char* residue;
  } cases[] = {
      {"a block a model", cif_header() + kShortLoop + model1 + cif_header() + kShortLoop + model2,
       2, "ALA"},
      {"a block without rows first",
       "data_head\n_entry.id head\n" + cif_header() + kShortLoop + model2, 3, "GLY"},
      {"one block", cif_header() + kShortLoop + model2, 3, "GLY"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("blocks", c.text);
    ASSERT_EQ(read("blocks"), 0);
    EXPECT_EQ(atom_inf.n_atom, c.atoms);
    ASSERT_EQ(resid_inf.n_residue, 1);
    EXPECT_EQ(resid_inf.res_name(1).trimmed(), c.residue);
  }
}

// Some writers give no B values: every atom holds 0, not the last B a
// file read before it gave.
TEST_F(ReadAtoms, RowsWithoutBHoldNoBOfAnEarlierFile) {
  write("with_b",
        cif_header() +
            atom_loop({"id", "label_atom_id", "label_comp_id", "label_asym_id", "auth_seq_id",
                       "Cartn_x", "Cartn_y", "Cartn_z", "B_iso_or_equiv"}) +
            "1 CA ALA A 1 0 0 0 39.2\n");
  ASSERT_EQ(read("with_b"), 0);
  ASSERT_GT(atom_crd.u_aniso(1, 1), 0.4f);
  write("no_b", cif_header() + kShortLoop + "1 CA ALA A 1 0 0 0\n2 CB ALA A 1 1 0 0\n");
  ASSERT_EQ(read("no_b"), 0);
  EXPECT_EQ(atom_crd.u_aniso(1, 1), 0.0f);
  EXPECT_EQ(atom_crd.u_aniso(1, 2), 0.0f);
}

TEST_F(ReadAtoms, OneAtomLowersTheWriterSwitchesForTheWholeModel) {
  const std::string loop = kShortLoop + "_atom_site.footnote_id\n_atom_site.symmetry_multiplicity\n";
  // Correction codes count only in files of this system's own writer.
  write("own", "data_r\n_software.name vorel\n" + std::string(kCell) +
                   "_symmetry.space_group_name_H-M 'P 1'\n" + loop +
                   "1 CA ALA A 1 0 0 0 . 1\n2 CB ALA A 1 0 0 0 X 1\n3 C ALA A 1 0 0 0 . 1\n");
  ASSERT_EQ(read("own"), 0);
  EXPECT_EQ(crdinf.cr_soft.str(), "B");
  EXPECT_EQ(atom_inf.id_corr(2).str(), "X");
  EXPECT_EQ(com_out_cif.out_cif_corr, 0);
  EXPECT_EQ(com_out_cif.out_cif_mult, 1);
  // A multiplicity of 0 or 1 keeps the multiplicity column; 3 drops it.
  write("mult", cif_header() + loop + "1 CA ALA A 1 0 0 0 . 0\n2 CB ALA A 1 0 0 0 . 3\n");
  ASSERT_EQ(read("mult"), 0);
  EXPECT_EQ(com_out_cif.out_cif_mult, 0);
  EXPECT_EQ(com_out_cif.out_cif_corr, 1);
  EXPECT_EQ(com_out_cif.out_cif_ins, 1);
}

TEST_F(ReadAtoms, ResidueTablesAreSetUpUnlessTheCallerSaysTheyAre) {
  // A name added to the nucleotide list makes its OXT an O3T only while
  // the tables are kept (status 1 on entry); a fresh set-up forgets it.
  write("n", cif_header() + kShortLoop + "1 OXT XYZ A 1 0 0 0\n");
  com_res_type.nrnamed_t += 1;
  com_res_type.rname_t(RNAME_NUCL0 + com_res_type.nrnamed_t) = "XYZ";
  ASSERT_EQ(read("n"), 0);
  EXPECT_EQ(atom_inf.atm_name(1).str(), "O3T ");
  static const float none[6] = {0, 0, 0, 0, 0, 0};
  int32_t ierr = 0;
  read_atoms_(99, dir_, "n", "cif", 0, none, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(atom_inf.atm_name(1).str(), "OXT ");
}

TEST_F(ReadAtoms, UserSpaceGroupTurnsStatusEightIntoARead) {
  write("nosg", std::string("data_r\n") + kCell + kShortLoop + "1 CA ALA A 1 0 0 0\n");
  EXPECT_EQ(read("nosg"), 8);
  EXPECT_EQ(read("nosg", 99, 19), 0);
  EXPECT_EQ(crst_crd.cs_nspgr, 19);
  EXPECT_EQ(crst_crd.cs_nsym, 4);
}

TEST_F(ReadAtoms, SmallMoleculeRowsAreNumberedInReadingOrder) {
  // Serials in the file are not kept, a row without one is still an atom,
  // and an author residue number moves the single residue.
  write("sm",
        "data_s\n_database_code_CSD XYZ\n_cell_length_a 10\n_cell_length_b 10\n_cell_length_c 10\n"
        "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n"
        "loop_\n_atom_site_label\n_atom_site.id\n_atom_site.auth_seq_id\n_atom_site_fract_x\n"
        "_atom_site_fract_y\n_atom_site_fract_z\n"
        "C1 17 5 0.1 0 0\nC2 0 5 0.2 0 0\nC3 -4 5 0.3 0 0\n");
  ASSERT_EQ(read("sm"), 8);
  ASSERT_EQ(atom_inf.n_atom, 3);
  for (int a = 1; a <= 3; ++a) EXPECT_EQ(atom_inf.i_atold(a), a);
  ASSERT_EQ(resid_inf.n_residue, 1);
  EXPECT_EQ(resid_inf.res_num_pdb(1).str(), "AA   5 AA   ");
  EXPECT_EQ(resid_inf.ires_serial(1), 5);
  EXPECT_NEAR(atom_crd.xyz_crd(1, 3), 3.0f, 1e-4f);
  EXPECT_EQ(atom_inf.atm_name(2).trimmed(), "C2");
}

TEST(CleanDataCsd, UncertaintyInParenthesesIsDropped) {
  for (auto [in, want] : {std::pair{"12.345(6)", "12.345"}, {"90", "90"}, {"(3)", ""}, {"1.5(2)e3", "1.5"}}) {
    rt::FixedText<16> t(in);
    clean_data_csd_(t);
    EXPECT_EQ(t.trimmed(), want) << in;
  }
}

TEST_F(ReadAtoms, AnotherProgramsFileHasItsTerminiTypedAsThePdbReaderTypesThem) {
  // A dipeptide with OXT: NH3 and COO, as its PDB form gets them; a water
  // chain keeps the defaults.  A file of this system's own writer keeps what
  // it gives (here nothing, so the defaults).
  const std::string rows = "1 N ALA A 1 0 0 0\n2 C ALA A 1 1.5 0 0\n3 N GLY A 2 2 1 0\n4 C GLY A 2 3 1 0\n"
                           "5 OXT GLY A 2 4 1 0\n6 O HOH W 3 9 9 9\n";
  write("t", cif_header() + kShortLoop + rows);
  ASSERT_EQ(read("t"), 0);
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(asym_part.iterm_s_type(1), 2);
  EXPECT_EQ(asym_part.iterm_f_type(1), 2);
  EXPECT_EQ(asym_part.iterm_s_type(2), 1);
  EXPECT_EQ(asym_part.iterm_f_type(2), 1);
  write("own", "data_r\n_software.name vorel\n" + std::string(kCell) + "_symmetry.space_group_name_H-M 'P 1'\n" +
                   kShortLoop + rows);
  ASSERT_EQ(read("own"), 0);
  EXPECT_EQ(asym_part.iterm_s_type(1), 1);
}

namespace {

// The number of the line that `tail` begins with, in a file of `head` then
// `tail`.
std::string line_after(const std::string& head) {
  int n = 1;
  for (char c : head) n += c == '\n';
  return std::to_string(n);
}

}  // namespace

TEST_F(ReadAtoms, RowOutOfLineWithTheLoopIsRefusedWithItsLine) {
  // The loop's rows stand one to a line: a row short of values would take
  // the first values of the next one, and every later row would be read
  // shifted; one with a value to spare would give it to the next row.
  const std::string head = cif_header() + kShortLoop + "1 CA ALA A 1 0 0 0\n";
  const struct {
    const char* label;
    const char* row;
    const char* message;
  } cases[] = {
      {"two values short", "2 CB ALA A 1 0\n",
       " ERROR: atom 2 holds 6 values for 8 items, row at line "},
      {"a value to spare", "2 CB ALA A 1 0 0 0 9\n",
       " ERROR: atom 2 holds 9 values for 8 items, row at line "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("row", head + c.row + "3 C ALA A 1 0 0 0\n4 O ALA A 1 0 0 0\n");
    EXPECT_EQ(read_out("row"), 3);
    EXPECT_NE(out_.find(c.message + line_after(head) + "\n  ERROR: read input file\n"),
              std::string::npos)
        << out_;
    EXPECT_EQ(atom_inf.n_atom, 1);
  }
}

TEST_F(ReadAtoms, RowsOnLinesOfTheirOwnOrSharingLinesAreRead) {
  // Whatever the layout, as long as it is kept: each row on two lines, or
  // two rows to a line; and a list of one atom written as item-value pairs.
  const struct {
    const char* label;
    const char* rows;
    bool pairs = false;
    int atoms = 3;
  } cases[] = {
      {"two lines a row", "1 CA ALA A\n1 0 0 0\n2 CB ALA A\n1 0 0 0\n3 C ALA A\n1 0 0 0\n"},
      {"two rows a line", "1 CA ALA A 1 0 0 0 2 CB ALA A 1 0 0 0\n3 C ALA A 1 0 0 0\n"},
      {"one atom as item-value pairs", "7 CA ALA A 1 0 0 0", true, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    // kShortLoop without its "loop_" line for the pairs.
    write("rows",
          cif_header() + (c.pairs ? as_pairs(kShortLoop.substr(6), c.rows) : kShortLoop + c.rows));
    EXPECT_EQ(read_out("rows"), 0) << out_;
    EXPECT_EQ(atom_inf.n_atom, c.atoms);
    EXPECT_EQ(atom_inf.atm_name(1).str(), "CA  ");
  }
}

TEST_F(ReadAtoms, RecordKindOrModelNumberThatIsNoneIsRefused) {
  // Values out of their columns show there even where the layout cannot
  // tell: a first row short of its last value takes the next row's record
  // kind as its model number.
  const std::string head =
      cif_header() +
      atom_loop({"group_PDB", "id", "label_atom_id", "label_comp_id", "label_asym_id",
                 "auth_seq_id", "Cartn_x", "Cartn_y", "Cartn_z", "pdbx_PDB_model_num"});
  const std::string first = "ATOM 1 CA ALA A 1 0 0 0 1\n";
  const struct {
    const char* label;
    std::string before, row, message;
  } cases[] = {
      {"record kind", first, "CB 2 CB ALA A 1 0 0 0 1\n",
       " ERROR: atom 2: record kind \"CB\" is neither ATOM nor HETATM, row at line "},
      {"model number", first, "ATOM 2 CB ALA A 1 0 0 0 C\n",
       " ERROR: atom 2: model number \"C\" is not a number of 0 or more, row at line "},
      {"first row short", "", "ATOM 1 CA ALA A 1 0 0 1\n",
       " ERROR: atom 1: model number \"HETATM\" is not a number of 0 or more, row at line "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("kind", head + c.before + c.row + "HETATM 3 O HOH B 2 0 0 0 1\n");
    EXPECT_EQ(read_out("kind"), 3);
    EXPECT_NE(out_.find(c.message + line_after(head + c.before) + "\n"), std::string::npos) << out_;
    EXPECT_EQ(atom_inf.n_atom, c.before.empty() ? 0 : 1);
  }
  // Both record kinds, in either case, are read.
  write("kinds", head + first + "hetatm 2 O HOH B 2 0 0 0 1\n");
  EXPECT_EQ(read_out("kinds"), 0) << out_;
  EXPECT_EQ(atom_inf.n_atom, 2);
}

// Core CIFs of the open databases often give no type symbols: the element
// is the label's first letter, with a lower-case second one when the two
// make an element; a label that begins with no element is refused, named.
TEST_F(ReadAtoms, SmallMoleculeElementWithoutTypeSymbolComesFromTheLabel) {
  const struct {
    const char *label, *atom, *symbol, *want;  // symbol nullptr: no type-symbol item
  } rows[] = {
      {"one letter", "N1", nullptr, "N"},
      {"deuterium, a one-letter element", "D1", nullptr, "D"},
      {"two letters", "Be1", nullptr, "BE"},
      {"chlorine", "Cl1", nullptr, "CL"},
      {"water oxygen", "O1W", nullptr, "O"},
      {"digits and a suffix letter", "C12A", nullptr, "C"},
      {"lower-case letter that makes no element", "Ow1", nullptr, "O"},
      {"upper-case second letter is the label's", "CA1", nullptr, "C"},
      {"one-letter heavy element", "K1", nullptr, "K"},
      {"type symbol unknown", "Se1", "?", "SE"},
      {"type symbol given", "X1", "Zn", "ZN"},
      {"label of no element", "Q1", nullptr, nullptr},
      {"label of a lower-case letter that makes no element", "Xx1", nullptr, nullptr},
      {"label beginning with a digit", "1C", nullptr, nullptr},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    const std::string items = r.symbol != nullptr ? "_atom_site_type_symbol\n" : "";
    const std::string symbol = r.symbol != nullptr ? std::string(r.symbol) + " " : "";
    const std::string head =
        "data_s\n_cell_length_a 10\n_cell_length_b 10\n_cell_length_c 10\n"
        "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n"
        "loop_\n_atom_site_label\n" + items + "_atom_site_fract_x\n_atom_site_fract_y\n"
        "_atom_site_fract_z\n";
    write("el", head + r.atom + " " + symbol + "0.1 0.2 0.3\n");
    if (r.want == nullptr) {
      EXPECT_EQ(read_out("el"), 3);
      EXPECT_NE(out_.find("  ERROR: atom " + std::string(r.atom) +
                          ": its label begins with no element and the row gives no "
                          "_atom_site_type_symbol, row at line " + line_after(head) +
                          "\n  ERROR: read input file\n"),
                std::string::npos)
          << out_;
      EXPECT_EQ(atom_inf.n_atom, 0);
      continue;
    }
    ASSERT_EQ(read("el"), 8);
    EXPECT_EQ(atom_inf.atm_chem(1).trimmed(), r.want);
  }
}

TEST_F(ReadAtoms, QuoteItsLineDoesNotCloseRefusesTheFile) {
  const std::string head = cif_header() + kShortLoop + "1 CA ALA A 1 0 0 0\n";
  write("quote", head + "2 'CB ALA A 1 0 0 0\n3 C ALA A 1 0 0 0\n");
  EXPECT_EQ(read_out("quote"), 3);
  EXPECT_NE(out_.find("  ERROR: CIF_read: unterminated quote in line " + line_after(head) +
                      "\n  ERROR: read input file\n"),
            std::string::npos)
      << out_;
  EXPECT_EQ(atom_inf.n_atom, 1);
  // The small-molecule reader names it too.
  const std::string sm =
      "data_csd\n_database_code_CSD ABCDEF\n_cell_length_a 10\n_cell_length_b 10\n"
      "_cell_length_c 10\n_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n"
      "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n"
      "_atom_site_fract_y\n_atom_site_fract_z\nC1 C 0.1 0.2 0.3\n";
  write("smq", sm + "O1 'O 0.5 0.5 0.5\n");
  EXPECT_EQ(read_out("smq"), 3);
  EXPECT_NE(out_.find("  ERROR: CIF_read: unterminated quote in line " + line_after(sm) +
                      "\n  ERROR: read input file\n"),
            std::string::npos)
      << out_;
}

// Simulation programs count models from 0.  The first model of the file is
// read whatever its number, and the first row of another model ends the
// list; a negative number or none stays refused.  Zero is zero however it
// is signed, so "-0" is model 0 as "+0" is.
TEST_F(ReadAtoms, FirstModelIsReadWhateverItsNumber) {
  const std::string head = cif_header() + atom_loop({"id", "label_atom_id", "label_comp_id",
                                                     "label_asym_id", "auth_seq_id", "Cartn_x",
                                                     "Cartn_y", "Cartn_z", "pdbx_PDB_model_num"});
  const struct {
    const char* label;
    const char *first, *second;
    int32_t ierr;
    int atoms;
  } cases[] = {
      {"models 0 and 1", "0", "1", 0, 2},
      {"model 0 written 00, then 1", "00", "1", 0, 2},
      {"model 0 written +0, then 1", "+0", "1", 0, 2},
      {"model 0 written -0, then 1", "-0", "1", 0, 2},
      {"model -0, then 0", "-0", "0", 0, 4},
      {"models 2 and 1", "2", "1", 0, 2},
      {"model -1", "-1", "0", 3, 0},
      {"model -01", "-01", "0", 3, 0},
      {"model that is no number", "A", "1", 3, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string f = c.first, s = c.second;
    write("models", head + "1 N ALA A 1 0 0 0 " + f + "\n2 CA ALA A 1 1 0 0 " + f +
                        "\n3 N ALA A 1 0 0 0 " + s + "\n4 CA ALA A 1 1 0 0 " + s + "\n");
    EXPECT_EQ(read_out("models"), c.ierr) << out_;
    EXPECT_EQ(atom_inf.n_atom, c.atoms);
    if (c.ierr != 0) {
      EXPECT_NE(
          out_.find(" ERROR: atom 1: model number \"" + f + "\" is not a number of 0 or more"),
          std::string::npos)
          << out_;
    }
  }
}

// A file without occupancies (some writers give none) holds every atom in
// full, as the dictionary's default says; so does an occupancy written "?"
// or ".".  A value given is taken, 0 too.
TEST_F(ReadAtoms, MissingOccupancyIsOne) {
  write("none", cif_header() + kShortLoop + "1 N ALA A 1 0 0 0\n2 CA ALA A 1 1 0 0\n");
  ASSERT_EQ(read("none"), 0);
  ASSERT_EQ(atom_inf.n_atom, 2);
  EXPECT_FLOAT_EQ(atom_crd.occup(1), 1.0f);
  EXPECT_FLOAT_EQ(atom_crd.occup(2), 1.0f);
  const std::string loop = atom_loop({"id", "label_atom_id", "label_comp_id", "label_asym_id",
                                      "auth_seq_id", "Cartn_x", "Cartn_y", "Cartn_z", "occupancy"});
  write("marks", cif_header() + loop + "1 N ALA A 1 0 0 0 ?\n2 CA ALA A 1 1 0 0 .\n" +
                     "3 C ALA A 1 2 0 0 0.25\n4 O ALA A 1 3 0 0 0\n5 CB ALA A 1 4 0 0 .5\n");
  ASSERT_EQ(read("marks"), 0);
  ASSERT_EQ(atom_inf.n_atom, 5);
  const float want[] = {1.0f, 1.0f, 0.25f, 0.0f, 0.5f};
  for (int a = 1; a <= 5; ++a) EXPECT_FLOAT_EQ(atom_crd.occup(a), want[a - 1]) << a;
}

TEST_F(ReadAtoms, HydrogensAreLeftOutOnRequestAsAFileWithoutThem) {
  // By the element: deuterium stays, and a residue of hydrogens alone is no
  // residue at all.  Read in full without the request.
  const std::string loop =
      atom_loop({"id", "type_symbol", "label_atom_id", "label_comp_id", "label_asym_id",
                 "auth_seq_id", "Cartn_x", "Cartn_y", "Cartn_z"});
  write("h",
        cif_header() + loop +
            "1 N N ALA A 1 0 0 0\n2 H H ALA A 1 1 0 0\n3 C CA ALA A 1 2 0 0\n4 D D2 ALA A 1 3 0 0\n"
            "5 H H1 HX A 2 4 0 0\n6 O O HOH A 3 5 0 0\n");
  static const float none[6] = {0, 0, 0, 0, 0, 0};
  int32_t ierr = 1;
  read_atoms_(99, dir_, "h", "cif", 0, none, ierr, 'Y');
  ASSERT_EQ(ierr, 0);
  ASSERT_EQ(atom_inf.n_atom, 4);
  EXPECT_EQ(atom_inf.atm_name(2).trimmed(), "CA");
  EXPECT_EQ(atom_inf.atm_name(3).trimmed(), "D2");
  ASSERT_EQ(resid_inf.n_residue, 2);
  EXPECT_EQ(resid_inf.res_name(2).trimmed(), "HOH");
  EXPECT_EQ(resid_inf.natm_res(1), 3);
  ierr = 1;
  read_atoms_(99, dir_, "h", "cif", 0, none, ierr);
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(atom_inf.n_atom, 6);
  EXPECT_EQ(resid_inf.n_residue, 3);
}
