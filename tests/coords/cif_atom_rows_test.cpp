// mmCIF atom rows: item matching, residue keys, groups, element derivation
// and the rows that are refused.
#include "cif_test_util.h"

#include <cmath>

#include "suite/pi.h"

using CifAtomRows = CifFiles;

TEST_F(CifAtomRows, ResidueKeyFromAuthorNumber) {
  write("a", cif_header() + kAtomLoop +
                 "ATOM 1 N N . ALA A 1 1 1.0 2.0 3.0 1.0 10.0 12A\n"
                 "ATOM 2 C CA . ALA A 1 2 1.0 2.0 3.0 1.0 10.0 123\n"
                 "ATOM 3 C CA . ALA A 1 3 1.0 2.0 3.0 1.0 10.0 12345\n");
  ASSERT_EQ(read("a"), 0);
  ASSERT_EQ(resid_inf.n_residue, 3);
  EXPECT_EQ(resid_inf.res_num_pdb(1).str(), "AA  12AAA   ");
  EXPECT_EQ(resid_inf.res_num_pdb(2).str(), "AA 123 AA   ");
  EXPECT_EQ(resid_inf.res_num_pdb(3).str(), "AA2345 AA   ");
  // label_seq_id wins over the author number for the serial.
  EXPECT_EQ(resid_inf.ires_serial(2), 2);
}

// This system's own models give a number and its code under items of their
// own; models written before gave them as one value, five characters of
// which are four of number and the code.  Both read back as written.
TEST_F(CifAtomRows, OwnModelNumberAndCodeReadAsWrittenInEitherLayout) {
  const std::string own = cif_header() + "_software.name blanc\n";
  const std::string apart = atom_loop({"id", "label_atom_id", "label_comp_id", "label_asym_id", "auth_seq_id",
                                       "pdbx_PDB_ins_code", "Cartn_x", "Cartn_y", "Cartn_z"});
  const struct {
    const char *label, *loop, *number, *key;
  } rows[] = {
      {"one value, four digits and a digit code", kShortLoop.c_str(), "10001", "10001"},
      {"apart, two digits and a digit code", apart.c_str(), "12 3", "  123"},
      {"apart, a minus and a digit code", apart.c_str(), "-5 1", "  -51"},
      {"apart, no code", apart.c_str(), "123 .", " 123 "},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    write("own", own + r.loop + "1 N ALA AA " + r.number + " 1.0 2.0 3.0\n");
    ASSERT_EQ(read("own"), 0);
    ASSERT_EQ(resid_inf.n_residue, 1);
    EXPECT_EQ(resid_inf.res_num_pdb(1).sub(3, 7), r.key);
  }
}

TEST_F(CifAtomRows, GroupFromAsymThenEntityThenDot) {
  write("g", cif_header() +
                 "loop_\n_atom_site.id\n_atom_site.label_atom_id\n_atom_site.label_comp_id\n"
                 "_atom_site.label_asym_id\n_atom_site.label_entity_id\n_atom_site.auth_seq_id\n"
                 "_atom_site.Cartn_x\n_atom_site.Cartn_y\n_atom_site.Cartn_z\n"
                 "1 CA ALA B 7 1 0 0 0\n"
                 "2 CA ALA ? 7 2 0 0 0\n"
                 "3 CA ALA ? ? 3 0 0 0\n");
  ASSERT_EQ(read("g"), 0);
  ASSERT_EQ(asym_part.n_group, 3);
  EXPECT_EQ(asym_part.group_id(1).str(), "BB  ");
  // A row whose label names no chain, and no author's chain either, is the
  // blank chain, named as the PDB form names it, never after its entity nor
  // "..": the rows of two entities are two of its chains.
  EXPECT_EQ(asym_part.group_id(2).str(), "XX  ");
  EXPECT_EQ(asym_part.group_id(3).str(), "Xa  ");
  // Without label_seq_id the serial comes back from the author number.
  EXPECT_EQ(resid_inf.ires_serial(3), 3);
}

TEST_F(CifAtomRows, LongAsymIdsThatAgreeInTheirFirstFourAreNamedApart) {
  const struct {
    const char* label;
    const char* first;
    const char* second;
    const char* second_name;
  } clashes[] = {
      {"two long labels", "CHAIN1", "CHAIN2", "CHAa"},
      {"a four-character label and a longer one", "ABCD", "ABCDE", "ABCa"},
      {"a long label and the four characters it begins with", "ABCDE", "ABCD", "ABCa"},
  };
  for (const auto& c : clashes) {
    SCOPED_TRACE(c.label);
    write("long", cif_header() + kShortLoop + "1 CA ALA " + c.first + " 1 0 0 0\n" +
                      "2 CA ALA " + c.first + " 2 0 0 0\n" + "3 CA GLY " + c.second + " 1 0 0 0\n" +
                      "4 CA GLY " + c.first + " 3 0 0 0\n");
    ASSERT_EQ(read_out("long"), 0) << out_;
    ASSERT_EQ(asym_part.n_group, 3);
    const std::string first = std::string(c.first).substr(0, 4);
    EXPECT_EQ(asym_part.group_id(1).trimmed(), first);
    EXPECT_EQ(asym_part.group_id(2).trimmed(), c.second_name);
    // The label read again after another is a further chain of the name
    // it was given first, as the PDB form's chain letter read again.
    EXPECT_EQ(asym_part.group_id(3).trimmed(), first.substr(0, 1) + "a");
    EXPECT_NE(out_.find(std::string(" WARNING: 1 chain label agrees with another in the first 4 characters, all "
                                    "that a chain name holds, and is named anew: ") +
                        c.second + " as " + c.second_name + "\n"),
              std::string::npos)
        << out_;
  }
  // One long label on many rows, and labels that differ within their first
  // four, read as before, without a warning.
  write("fine", cif_header() + kShortLoop +
                    "1 CA ALA CHAIN1 1 0 0 0\n2 CA ALA CHAIN1 2 0 0 0\n3 CA GLY CHA 1 0 0 0\n"
                    "4 CA GLY CHB1 1 0 0 0\n");
  ASSERT_EQ(read_out("fine"), 0) << out_;
  EXPECT_EQ(asym_part.n_group, 3);
  EXPECT_EQ(asym_part.group_id(1).str(), "CHAI");
  EXPECT_EQ(out_.find("named anew"), std::string::npos) << out_;
}

TEST_F(CifAtomRows, ConnectionRowsFollowALongLabelNamedAnew) {
  // Two zinc ions labelled by chain and number, as a writer labels each
  // ligand of a file without sequence: the row that names the second one
  // by its label (cut to the first four characters) finds it, not the first.
  write("conn", cif_header() +
                    "loop_\n_struct_conn.id\n_struct_conn.conn_type_id\n_struct_conn.ptnr1_label_asym_id\n"
                    "_struct_conn.ptnr1_label_comp_id\n_struct_conn.ptnr1_auth_seq_id\n"
                    "_struct_conn.ptnr1_label_atom_id\n_struct_conn.ptnr2_label_asym_id\n"
                    "_struct_conn.ptnr2_label_comp_id\n_struct_conn.ptnr2_auth_seq_id\n"
                    "_struct_conn.ptnr2_label_atom_id\n"
                    "metalc1 metalc A2602 ZN 602 ZN A CYS 1 SG\n" +
                    kShortLoop +
                    "1 SG CYS A 1 0 0 0\n2 ZN ZN A2601 601 2 0 0\n3 ZN ZN A2602 602 0 2 0\n");
  ASSERT_EQ(read_out("conn"), 0) << out_;
  ASSERT_EQ(asym_part.n_group, 3);
  EXPECT_EQ(asym_part.group_id(3).trimmed(), "A26a");
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_1chn(1).trimmed(), "A26a");
  EXPECT_EQ(link_inf.ln_1ires(1), 3);
  EXPECT_EQ(link_inf.ln_2ires(1), 1);
}

// A label of one character is held doubled (A as AA), the name a label AA
// has: the later of the two takes a name of its own, a second character
// free for its first (Aa), and the connection rows follow each label, so
// that a zinc's link to CYS 65 of one is never looked up on residue 65 of
// the other.
TEST_F(CifAtomRows, LabelOfOneCharacterAndItsDoubleAreNamedApart) {
  const std::string conn =
      "loop_\n_struct_conn.id\n_struct_conn.conn_type_id\n_struct_conn.ptnr1_label_asym_id\n"
      "_struct_conn.ptnr1_label_comp_id\n_struct_conn.ptnr1_auth_seq_id\n"
      "_struct_conn.ptnr1_label_atom_id\n_struct_conn.ptnr2_label_asym_id\n"
      "_struct_conn.ptnr2_label_comp_id\n_struct_conn.ptnr2_auth_seq_id\n"
      "_struct_conn.ptnr2_label_atom_id\n";
  const struct {
    const char* label;
    std::string conn_rows, atom_rows;
    const char* groups;
    int zn, cys;  // the residues the link row's ends find
    const char* renamed;
  } cases[] = {
      {"A then AA: AA is named anew", "metalc1 metalc AA ZN 65 ZN A CYS 65 SG\n",
       "1 SG CYS A 65 0 0 0\n2 ZN ZN AA 65 2 0 0\n", "AA Aa ", 2, 1, "AA as Aa"},
      {"AA then A: A is named anew", "metalc1 metalc AA ZN 65 ZN A CYS 65 SG\n",
       "1 ZN ZN AA 65 2 0 0\n2 SG CYS A 65 0 0 0\n", "AA Aa ", 1, 2, "A as Aa"},
      {"the ends the other way round", "metalc1 metalc A CYS 65 SG AA ZN 65 ZN\n",
       "1 SG CYS A 65 0 0 0\n2 ZN ZN AA 65 2 0 0\n", "AA Aa ", 2, 1, "AA as Aa"},
      {"Aa held by a label: the next free name", "metalc1 metalc AA ZN 65 ZN A CYS 65 SG\n",
       "1 SG CYS A 65 0 0 0\n2 O HOH Aa 1 5 0 0\n3 ZN ZN AA 65 2 0 0\n", "AA Aa Ab ", 3, 1,
       "AA as Ab"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("aa", cif_header() + conn + c.conn_rows + kShortLoop + c.atom_rows);
    ASSERT_EQ(read_out("aa"), 0) << out_;
    std::string groups;
    for (int g = 1; g <= asym_part.n_group; ++g)
      groups += std::string(asym_part.group_id(g).trimmed()) + " ";
    EXPECT_EQ(groups, c.groups);
    ASSERT_EQ(link_inf.ln_n, 1);
    const bool zn_first = link_inf.ln_1rnam(1).trimmed() == "ZN";
    EXPECT_EQ(zn_first ? link_inf.ln_1ires(1) : link_inf.ln_2ires(1), c.zn);
    EXPECT_EQ(zn_first ? link_inf.ln_2ires(1) : link_inf.ln_1ires(1), c.cys);
    EXPECT_NE(out_.find(std::string(" WARNING: 1 chain label would give its chain another chain's "
                                    "name, and is named anew: ") +
                        c.renamed + "\n"),
              std::string::npos)
        << out_;
  }
  // Labels A and B keep their names, and a label read again after another
  // is a further chain of its own, as the PDB form's chain letter read again.
  write("ab",
        cif_header() + kShortLoop + "1 CA ALA A 1 0 0 0\n2 CA GLY B 1 0 0 0\n3 CA SER A 2 0 0 0\n");
  ASSERT_EQ(read_out("ab"), 0) << out_;
  ASSERT_EQ(asym_part.n_group, 3);
  EXPECT_EQ(asym_part.group_id(1).trimmed(), "AA");
  EXPECT_EQ(asym_part.group_id(2).trimmed(), "BB");
  EXPECT_EQ(asym_part.group_id(3).trimmed(), "Aa");
  EXPECT_EQ(out_.find("named anew"), std::string::npos) << out_;
}

TEST_F(CifAtomRows, EsdItemsDoNotOverwriteValues) {
  write("e", cif_header() +
                 "loop_\n_atom_site.id\n_atom_site.label_atom_id\n_atom_site.label_comp_id\n"
                 "_atom_site.label_asym_id\n_atom_site.auth_seq_id\n"
                 "_atom_site.Cartn_x\n_atom_site.Cartn_x_esd\n_atom_site.Cartn_y\n_atom_site.Cartn_z\n"
                 "_atom_site.occupancy\n_atom_site.occupancy_esd\n_atom_site.B_iso_or_equiv\n"
                 "_atom_site.B_iso_or_equiv_esd\n"
                 "1 CA ALA A 1 1.5 0.9 2.5 3.5 0.75 0.1 30.0 2.0\n");
  ASSERT_EQ(read("e"), 0);
  ASSERT_EQ(atom_inf.n_atom, 1);
  EXPECT_NEAR(atom_crd.xyz_crd(1, 1), 1.5f, 1e-4f);
  EXPECT_NEAR(atom_crd.xyz_crd(2, 1), 2.5f, 1e-4f);
  EXPECT_FLOAT_EQ(atom_crd.occup(1), 0.75f);
  const float pi = 4.0f * std::atan(1.0f);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 1), 30.0f / (8.0f * pi * pi));
}

TEST_F(CifAtomRows, RowsWithoutPositiveSerialAreReadErrors) {
  // No row is lost in silence: the read stops at the first row that has no
  // serial to store, naming the serial as written.
  const struct {
    const char* label;
    const char* serial;
    const char* message;
  } cases[] = {
      {"letter", "X", " ERROR: atom serial \"X\" is not a positive number"},
      {"zero", "0", " ERROR: atom serial \"0\" is not a positive number"},
      {"negative", "-4", " ERROR: atom serial \"-4\" is not a positive number"},
      {"unknown", "?", " ERROR: an atom row without a serial number"},
      {"empty", "''", " ERROR: an atom row without a serial number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("s", cif_header() + kAtomLoop + "ATOM 1 N N . ALA A 1 1 1 2 3 1 10 1\n" + "ATOM " + c.serial +
                   " C CA . ALA A 1 1 1 2 3 1 10 1\n" + "ATOM 5 C CB . ALA A 1 1 1 2 3 1 10 1\n");
    EXPECT_EQ(read_out("s"), 3);
    EXPECT_NE(out_.find(c.message), std::string::npos) << out_;
    EXPECT_NE(out_.find(" ERROR: read input file"), std::string::npos) << out_;
  }
}

TEST_F(CifAtomRows, EmptyQuotedValuesReadAsNotGiven) {
  // Another program's blank chain, alternate and element written as '' or
  // "": every row is kept, each such item as if the file did not give it.
  const std::string loop = atom_loop({"id", "type_symbol", "label_atom_id", "label_alt_id", "label_comp_id",
                                      "label_asym_id", "label_entity_id", "auth_seq_id", "auth_asym_id",
                                      "Cartn_x", "Cartn_y", "Cartn_z", "symmetry_multiplicity",
                                      "aniso_U[1][1]"});
  write("q", cif_header() + loop +
                 "1 N N . ALA A 1 1 A 1.0 2.0 3.0 1 .\n"
                 "2 '' CA '' ALA '' 1 1 '' 1.0 2.0 3.0 '' .\n"
                 "3 \"\" O \"\" HOH B 2 5 \"\" 4.0 5.0 6.0 \"\" .\n"
                 "4 O O . HOH '' 2 6 '' 7.0 8.0 9.0 1 .\n");
  ASSERT_EQ(read_out("q"), 0) << out_;
  ASSERT_EQ(atom_inf.n_atom, 4);
  EXPECT_EQ(atom_inf.i_atold(4), 4);
  EXPECT_EQ(atom_inf.atm_name(2).str(), "CA  ");
  EXPECT_EQ(atom_inf.id_alt(2).str(), ".");
  EXPECT_EQ(atom_inf.id_alt(3).str(), ".");
  // The element comes from the name, as for ".".
  EXPECT_EQ(crst_crd.cs_element(atom_inf.id_sf(2)).trimmed(), "C");
  EXPECT_EQ(atom_crd.mult_factor(2), 1);
  EXPECT_EQ(atom_inf.b_flag(3), 0);
  EXPECT_NEAR(atom_crd.xyz_crd(3, 4), 9.0f, 1e-4f);
  // A blank label or author's chain is the blank chain, never the entity,
  // whatever the label over a blank author's chain: its waters are one
  // water chain.
  ASSERT_EQ(asym_part.n_group, 3);
  EXPECT_EQ(asym_part.group_id(1).trimmed(), "AA");
  EXPECT_EQ(asym_part.group_id(2).trimmed(), "XX");
  EXPECT_EQ(asym_part.group_id(3).trimmed(), "Xa");
}

TEST_F(CifAtomRows, NonNumericCoordinatesAreRefused) {
  // "abc", "?" and "." are no numbers, and a coordinate has no default: the
  // row is refused, named by the first of them, and nothing is stored.
  write("n", cif_header() + kAtomLoop + "ATOM 1 N N . ALA A 1 1 abc ? . 1 10 1\n");
  ASSERT_EQ(read_out("n"), 3);
  EXPECT_NE(
      out_.find("  ERROR: atom 1: _atom_site.Cartn_x \"abc\" is not a number, row at line 25\n"
                "  ERROR: read input file\n"),
      std::string::npos)
      << out_;
  EXPECT_EQ(atom_inf.n_atom, 0);
}

// Each numeric item of a row: a value that is no number is refused, named
// by its item; "?" and "." where a default stands read as that default.
TEST_F(CifAtomRows, EachNumericItemIsReadRefusedOrTakesItsDefault) {
  const struct {
    const char *label, *values, *refused;  // refused: the item named, or nullptr
    float occ, b;  // what a row read gives: occupancy, and U of its B
  } rows[] = {
      {"y unknown", "1 ? 3 1 10", "_atom_site.Cartn_y \"?\"", 0, 0},
      {"occupancy with two points", "1 2 3 1.2.3 10", "_atom_site.occupancy \"1.2.3\"", 0, 0},
      {"B with a comma", "1 2 3 1 12,5", "_atom_site.B_iso_or_equiv \"12,5\"", 0, 0},
      {"occupancy and B unknown", "1 2 3 ? ?", nullptr, 1.0f, 0.0f},
      {"occupancy and B not applicable", "1 2 3 . .", nullptr, 1.0f, 0.0f},
      {"x cut after its exponent", "1e 2 3 1 10", "_atom_site.Cartn_x \"1e\"", 0, 0},
      {"occupancy with a closing parenthesis alone", "1 2 3 1.00) 10",
       "_atom_site.occupancy \"1.00)\"", 0, 0},
      {"B with its uncertainty", "1 2 3 0.5 12.57(3)", nullptr, 0.5f,
       12.57f / (8.0f * suite::kPi<float> * suite::kPi<float>)},
  };
  for (const auto& r : rows) {
    write("v", cif_header() + kAtomLoop + "ATOM 1 N N . ALA A 1 1 " + r.values + " 1\n");
    if (r.refused != nullptr) {
      EXPECT_EQ(read_out("v"), 3) << r.label;
      EXPECT_NE(out_.find(std::string("  ERROR: atom 1: ") + r.refused + " is not a number"),
                std::string::npos)
          << r.label << out_;
      continue;
    }
    ASSERT_EQ(read_out("v"), 0) << r.label << out_;
    EXPECT_FLOAT_EQ(atom_crd.occup(1), r.occ) << r.label;
    EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 1), r.b) << r.label;  // B 0: no B
  }
}

// The integer items of a row take one form, digits with a sign: any other
// value, a whole number written as a real too, is refused, named by its
// item (the serial and the model number by the lines they have); "." keeps
// its meaning, and an author's number its insertion code.
TEST_F(CifAtomRows, EachIntegerItemIsReadOrRefused) {
  const std::string loop =
      atom_loop({"id", "label_seq_id", "auth_seq_id", "symmetry_multiplicity", "pdbx_PDB_model_num",
                 "label_atom_id", "label_comp_id", "label_asym_id", "Cartn_x", "Cartn_y", "Cartn_z"});
  const struct {
    const char *label, *values, *refused;  // values: serial, sequence, author, multiplicity, model
    const char* key;                       // columns 3-7 of the residue key when read
    int32_t serial, mult;
  } rows[] = {
      {"sequence letters", "1 abc 5 1 1", "atom 1: _atom_site.label_seq_id \"abc\" is not an integer", "", 0, 0},
      {"sequence with a fraction", "1 1.5 5 1 1",
       "atom 1: _atom_site.label_seq_id \"1.5\" is not an integer", "", 0, 0},
      {"sequence cut after its exponent", "1 1e 5 1 1",
       "atom 1: _atom_site.label_seq_id \"1e\" is not an integer", "", 0, 0},
      {"author letters", "1 1 abc 1 1", "atom 1: _atom_site.auth_seq_id \"abc\" is not an integer", "", 0, 0},
      {"author digit letter digit", "1 1 1x1 1 1",
       "atom 1: _atom_site.auth_seq_id \"1x1\" is not an integer", "", 0, 0},
      {"multiplicity letters", "1 1 5 abc 1",
       "atom 1: _atom_site.symmetry_multiplicity \"abc\" is not an integer", "", 0, 0},
      {"serial with a fraction", "1.5 1 5 1 1", "atom serial \"1.5\" is not a positive number", "", 0, 0},
      {"model with a fraction", "1 1 5 1 1.5", "atom 1: model number \"1.5\" is not a number of 0 or more", "", 0, 0},
      {"author as a whole real", "1 1 151.0 1 1",
       "atom 1: _atom_site.auth_seq_id \"151.0\" is not an integer", "", 0, 0},
      {"sequence as a whole real", "1 17.0 17 2 1",
       "atom 1: _atom_site.label_seq_id \"17.0\" is not an integer", "", 0, 0},
      {"sequence past the whole numbers of a float", "1 16777217.0 17 2 1",
       "atom 1: _atom_site.label_seq_id \"16777217.0\" is not an integer", "", 0, 0},
      {"model with an exponent", "1 1 5 1 1e0", "atom 1: model number \"1e0\" is not a number of 0 or more", "", 0, 0},
      {"author with its insertion code", "1 1 27A 1 1", nullptr, "  27A", 1, 1},
      {"author with the last letter as its code", "1 1 3Z 1 1", nullptr, "   3Z", 1, 1},
      {"sequence and multiplicity as digits", "1 17 17 2 1", nullptr, "  17 ", 17, 2},
      {"sequence and multiplicity not applicable", "1 . 5 . 1", nullptr, "   5 ", 0, 1},
      // Four columns keep the last digits of a wider number, never its first
      // ones, and never drop its minus.
      {"author of six digits", "1 1 123457 1 1", nullptr, "3457 ", 1, 1},
      {"author of six digits with its code", "1 1 100001B 1 1", nullptr, "0001B", 1, 1},
      {"author of five columns with a minus", "1 1 -1003 1 1", nullptr, "-003 ", 1, 1},
      {"author below -9999", "1 1 -10030 1 1", nullptr, "-030 ", 1, 1},
      // "." is no author number, as "?" is: the sequence number stands.
      {"author . beside the sequence", "1 17 . 1 1", nullptr, "  17 ", 17, 1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    write("i", cif_header() + loop + r.values + " CA ALA A 1.0 2.0 3.0\n");
    if (r.refused != nullptr) {
      EXPECT_EQ(read_out("i"), 3);
      EXPECT_NE(out_.find(std::string("  ERROR: ") + r.refused + ", row at line 21\n"), std::string::npos)
          << out_;
      EXPECT_EQ(atom_inf.n_atom, 0);
      continue;
    }
    ASSERT_EQ(read_out("i"), 0) << out_;
    ASSERT_EQ(resid_inf.n_residue, 1);
    EXPECT_EQ(resid_inf.res_num_pdb(1).sub(3, 7), r.key);
    EXPECT_EQ(resid_inf.ires_serial(1), r.serial);
    EXPECT_EQ(atom_crd.mult_factor(1), r.mult);
  }
}

// An atom list without one of its three coordinates would put every atom at
// 0 along that axis: it is refused, naming the item as the file spells it.
TEST_F(CifAtomRows, AtomListWithoutACoordinateIsRefused) {
  const struct {
    const char *label, *prefix, *axes, *item;
    bool pairs = false;  // one atom written as item-value pairs
  } rows[] = {
      {"no x", "_atom_site.", "yz", "_atom_site.Cartn_x"},
      {"no y", "_atom_site.", "xz", "_atom_site.Cartn_y"},
      {"no z", "_atom_site.", "xy", "_atom_site.Cartn_z"},
      {"no z, underscore names", "_atom_site_", "xy", "_atom_site_Cartn_z"},
      {"no z, one atom as item-value pairs", "_atom_site.", "xy", "_atom_site.Cartn_z", true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    std::string names;
    for (const char* i : {"id", "label_atom_id", "label_comp_id", "label_asym_id", "auth_seq_id"})
      names += std::string(r.prefix) + i + "\n";
    for (const char* a = r.axes; *a != '\0'; ++a)
      names += std::string(r.prefix) + "Cartn_" + *a + "\n";
    write("c", cif_header() +
                   (r.pairs ? as_pairs(names, "1 CA ALA A 1 1.0 2.0")
                            : "loop_\n" + names + "1 CA ALA A 1 1.0 2.0\n2 CB ALA A 1 1.5 2.5\n"));
    EXPECT_EQ(read_out("c"), 3);
    // The line of the first row's first value: past the header's eight
    // lines, and the loop's eight.
    EXPECT_NE(out_.find(std::string("  ERROR: the atom list has no item ") + r.item +
                        ", row at line " + (r.pairs ? "9" : "17") + "\n  ERROR: read input file\n"),
              std::string::npos)
        << out_;
    EXPECT_EQ(atom_inf.n_atom, 0);
  }
}

TEST_F(CifAtomRows, LeadingDigitOfAtomNameMovesToEnd) {
  write("h", cif_header() + kAtomLoop + "ATOM 1 H 1HB2 . ALA A 1 1 0 0 0 1 10 1\n");
  ASSERT_EQ(read("h"), 0);
  EXPECT_EQ(atom_inf.atm_name(1).str(), "HB21");
}

TEST_F(CifAtomRows, ElementDerivedFromNameWhenMissing) {
  write("el", cif_header() + kAtomLoop +
                  "ATOM 1 ? CA . ALA A 1 1 0 0 0 1 10 1\n"
                  "ATOM 2 . HG1 . THR A 1 2 0 0 0 1 10 2\n"
                  "HETATM 3 ? FE . HEM C 2 . 0 0 0 1 10 3\n"
                  "HETATM 4 ? CA . CA D 3 . 0 0 0 1 10 4\n"
                  "ATOM 5 ? N . ALA A 1 3 0 0 0 1 10 5\n");
  ASSERT_EQ(read("el"), 0);
  ASSERT_EQ(atom_inf.n_atom, 5);
  EXPECT_EQ(crst_crd.cs_element(atom_inf.id_sf(1)).str(), "C   ");
  EXPECT_EQ(crst_crd.cs_element(atom_inf.id_sf(2)).str(), "H   ");
  EXPECT_EQ(crst_crd.cs_element(atom_inf.id_sf(3)).str(), "FE  ");
  EXPECT_EQ(crst_crd.cs_element(atom_inf.id_sf(4)).str(), "CA  ");
  EXPECT_EQ(crst_crd.cs_element(atom_inf.id_sf(5)).str(), "N   ");
  EXPECT_EQ(crst_crd.cs_nsfatm, 5);
}

// Without type_symbol a hydrogen name is a hydrogen even where its first two
// letters spell an element (helium, hafnium), whatever its length.
TEST_F(CifAtomRows, FourCharacterHydrogenNamesWithoutElementAreHydrogens) {
  const struct {
    const char *label, *row, *element;
  } rows[] = {
      {"amide hydrogen HE21", "ATOM 1 ? HE21 . GLN A 1 1 0 0 0 1 10 1", "H   "},
      {"amide hydrogen HE22", "ATOM 2 ? HE22 . GLN A 1 1 0 0 0 1 10 1", "H   "},
      {"hydrogen spelling hafnium", "HETATM 3 ? HF12 . LIG B 2 . 0 0 0 1 10 2", "H   "},
      {"methyl hydrogen of AIB", "HETATM 4 ? HB11 . AIB C 3 . 0 0 0 1 10 3", "H   "},
      {"sugar hydrogen with two quotes", "HETATM 5 ? \"H5''\" . ADP D 4 . 0 0 0 1 10 4", "H   "},
      {"phosphate oxygen", "HETATM 6 ? O1PA . ADP D 4 . 0 0 0 1 10 4", "O   "},
      {"three-character name spelling helium", "HETATM 7 ? HE1 . LIG E 5 . 0 0 0 1 10 5", "H   "},
  };
  std::string loop;
  for (const auto& r : rows) loop += std::string(r.row) + "\n";
  write("h4", cif_header() + kAtomLoop + loop);
  ASSERT_EQ(read("h4"), 0);
  ASSERT_EQ(atom_inf.n_atom, static_cast<int>(std::size(rows)));
  for (int i = 1; i <= atom_inf.n_atom; ++i) {
    SCOPED_TRACE(rows[i - 1].label);
    EXPECT_EQ(crst_crd.cs_element(atom_inf.id_sf(i)).str(), rows[i - 1].element);
  }
}

TEST_F(CifAtomRows, WaterHydrogensKeepTheirElementAndName) {
  write("w", cif_header() + kAtomLoop +
                 "HETATM 1 O OW . HOH W 2 . 0 0 0 1 10 1\n"
                 "HETATM 2 H H1 . HOH W 2 . 0 0 0 1 10 1\n"
                 "HETATM 3 H HW2 . HOH W 2 . 0 0 0 1 10 1\n"
                 "HETATM 4 D D1 . WAT W 2 . 0 0 0 1 10 2\n"
                 "HETATM 5 ? H2 . HOH W 2 . 0 0 0 1 10 3\n"
                 "HETATM 6 O O . HOH W 2 . 0 0 0 1 10 4\n");
  ASSERT_EQ(read("w"), 0);
  ASSERT_EQ(atom_inf.n_atom, 6);
  const struct {
    const char* label;
    const char* name;
    const char* element;
  } rows[] = {
      {"oxygen under another name", "O   ", "O   "},
      {"hydrogen", "H1  ", "H   "},
      {"hydrogen under GROMACS's name", "H2  ", "H   "},
      {"deuterium of a water synonym", "H1  ", "D   "},
      {"hydrogen without an element", "H2  ", "H   "},
      {"plain oxygen", "O   ", "O   "},
  };
  for (int i = 1; i <= 6; ++i) {
    SCOPED_TRACE(rows[i - 1].label);
    EXPECT_EQ(atom_inf.atm_name(i).str(), rows[i - 1].name);
    EXPECT_EQ(crst_crd.cs_element(atom_inf.id_sf(i)).str(), rows[i - 1].element);
  }
}

TEST_F(CifAtomRows, AnisotropicComponentsAndThermalType) {
  write("u", cif_header() + kShortLoop +
                 atom_loop({"B_iso_or_equiv", "thermal_displace_type", "aniso_U[1][1]", "aniso_U[2][2]", "aniso_U[3][3]",
                            "aniso_U[1][2]", "aniso_U[1][3]", "aniso_U[2][3]"}).substr(6) +
                 "1 CA ALA A 1 0 0 0 10 Uiso . . . . . .\n"
                 "2 CB ALA A 1 0 0 0 10 Uani 0.1 0.2 0.3 0.01 0.02 0.03\n");
  ASSERT_EQ(read("u"), 0);
  ASSERT_EQ(atom_inf.n_atom, 2);
  EXPECT_EQ(atom_inf.n_aniso, 1);
  EXPECT_EQ(atom_inf.b_flag(1), 0);
  EXPECT_EQ(atom_inf.b_flag(2), 2);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(3, 2), 0.3f);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(6, 2), 0.03f);
}

TEST_F(CifAtomRows, OnlyALoneDotMarksAnAnisotropicComponentAbsent) {
  // ".05" is the number 0.05, not the absent-value mark ".".
  write("u2", cif_header() + kShortLoop +
                  atom_loop({"B_iso_or_equiv", "aniso_U[1][1]", "aniso_U[2][2]", "aniso_U[3][3]"}).substr(6) +
                  "1 CA ALA A 1 0 0 0 10 .05 .06 .07\n"
                  "2 CB ALA A 1 0 0 0 10 . . .\n");
  ASSERT_EQ(read("u2"), 0);
  ASSERT_EQ(atom_inf.n_atom, 2);
  EXPECT_EQ(atom_inf.n_aniso, 1);
  EXPECT_EQ(atom_inf.b_flag(1), 1);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 1), 0.05f);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(3, 1), 0.07f);
  EXPECT_EQ(atom_inf.b_flag(2), 0);
}

// An anisotropic component that its nine columns with four decimals in the
// written files cannot hold is refused at the read, naming the atom, as a
// coordinate or B is: written as stars, it would fail the run only when
// the run reads its own file back.
TEST_F(CifAtomRows, AnisotropicComponentTooLargeForItsFieldIsRefused) {
  const struct {
    const char *label, *values;
    bool refused;
  } rows[] = {
      {"U11 of 1e38", "1e38 0.2 0.3 0.01 0.02 0.03", true},
      {"U23 of -1000", "0.1 0.2 0.3 0.01 0.02 -1000", true},
      {"U22 of 10000", "0.1 10000 0.3 0.01 0.02 0.03", true},
      {"U33 of 9999.999, the largest float written", "0.1 0.2 9999.999 0.01 0.02 0.03", false},
      {"U12 of -999.9999, the lowest written", "0.1 0.2 0.3 -999.9999 0.02 0.03", false},
      {"U13 of 9999.9999, written as 10000", "0.1 0.2 0.3 0.01 9999.9999 0.03", true},
      {"isotropic, no components", ". . . . . .", false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    write("big", cif_header() + kShortLoop +
                     atom_loop({"aniso_U[1][1]", "aniso_U[2][2]", "aniso_U[3][3]", "aniso_U[1][2]",
                                "aniso_U[1][3]", "aniso_U[2][3]"})
                         .substr(6) +
                     "1 CA ALA A 1 0 0 0 0.1 0.2 0.3 0 0 0\n"
                     "2 CB ALA A 1 0 0 0 " +
                     r.values + "\n");
    if (r.refused) {
      EXPECT_EQ(read_out("big"), 3);
      EXPECT_NE(
          out_.find("  ERROR: atom 2: anisotropic U not finite or too large for its field, row "
                    "at line 25\n  ERROR: read input file\n"),
          std::string::npos)
          << out_;
      continue;
    }
    ASSERT_EQ(read_out("big"), 0) << out_;
    ASSERT_EQ(atom_inf.n_atom, 2);
  }
}

TEST_F(CifAtomRows, MultiplicityAndCorrectionSwitches) {
  write("m", cif_header() +
                 kShortLoop + "_atom_site.symmetry_multiplicity\n"
                 "_atom_site.footnote_id\n"
                 "1 O HOH W 1 0 0 0 . X\n2 O HOH W 2 0 0 0 2 Y\n");
  ASSERT_EQ(read("m"), 0);
  EXPECT_EQ(atom_crd.mult_factor(1), 1);
  EXPECT_EQ(atom_crd.mult_factor(2), 2);
  EXPECT_EQ(com_out_cif.out_cif_mult, 0);
  // Correction codes are taken only from files of our own writer.
  EXPECT_EQ(atom_inf.id_corr(2).str(), ".");
  EXPECT_EQ(com_out_cif.out_cif_corr, 1);
}

TEST_F(CifAtomRows, NameCorrectionsFollowTheResidueTablesOfEachRead) {
  // The terminal oxygen of a nucleotide becomes O3T in every residue that
  // carries it; a residue name unknown to the tables keeps OXT until the
  // tables class it as a nucleotide.
  write("n", cif_header() + kAtomLoop +
                 "ATOM 1 O OXT . A A 1 1 0 0 0 1 10 1\n"
                 "ATOM 2 O OXT . XYZ A 1 2 0 0 0 1 10 2\n"
                 "ATOM 3 O OXT . A A 1 3 0 0 0 1 10 3\n");
  ASSERT_EQ(read("n"), 0);
  ASSERT_EQ(atom_inf.n_atom, 3);
  EXPECT_EQ(atom_inf.atm_name(1).str(), "O3T ");
  EXPECT_EQ(atom_inf.atm_name(2).str(), "OXT ");
  EXPECT_EQ(atom_inf.atm_name(3).str(), "O3T ");
  com_res_type.nrnamed_t += 1;
  com_res_type.rname_t(RNAME_NUCL0 + com_res_type.nrnamed_t) = "XYZ";
  ASSERT_EQ(read("n"), 0);
  EXPECT_EQ(atom_inf.atm_name(2).str(), "O3T ");
}

TEST_F(CifAtomRows, SecondLoopOfTheAtomListInOneBlockIsRefused) {
  // Both loops have eight columns; the second names the coordinates in the
  // opposite order.  Read, it would merge two lists of one block (or give
  // each atom twice): the item it repeats is named with both its lines.
  write("two", cif_header() + kShortLoop + "1 CA ALA A 1 1.0 2.0 3.0\n" +
                   atom_loop({"id", "label_atom_id", "label_comp_id", "label_asym_id", "auth_seq_id", "Cartn_z",
                              "Cartn_y", "Cartn_x"}) +
                   "2 CA GLY A 2 1.0 2.0 3.0\n");
  ASSERT_EQ(read_out("two"), 3);
  EXPECT_NE(out_.find("  ERROR: CIF_read: item _atom_site.id in line 20 is given twice in data block t "
                      "(first in line 10)\n  ERROR: read input file\n"),
            std::string::npos)
      << out_;
}

TEST_F(CifAtomRows, PrimedNamesReadWholeHoweverQuoted) {
  // A primed atom name bare (inside the row and as its last value), in
  // double quotes, and in apostrophes that an inner prime does not close:
  // each row keeps its columns, so the coordinates after the name are read.
  const std::string loop = atom_loop({"id", "label_comp_id", "label_asym_id", "auth_seq_id", "Cartn_x",
                                      "Cartn_y", "Cartn_z", "label_atom_id"});
  write("p", cif_header() + loop +
                 "1 DA B 1 1.0 2.0 3.0 O5'\n"
                 "2 DA B 1 4.0 5.0 6.0 \"C5'\"\n"
                 "3 DA B 1 7.0 8.0 9.0 'C1''\n"
                 "4 DA B 1 10.0 11.0 12.0 O3'\n"
                 "5 DA B 1 13.0 14.0 15.0 'O4''\n");
  ASSERT_EQ(read_out("p"), 0) << out_;
  EXPECT_EQ(out_.find("ERR"), std::string::npos) << out_;
  ASSERT_EQ(atom_inf.n_atom, 5);
  EXPECT_EQ(resid_inf.n_residue, 1);
  const char* names[5] = {"O5'", "C5'", "C1'", "O3'", "O4'"};
  for (int a = 1; a <= 5; ++a) {
    SCOPED_TRACE(a);
    EXPECT_EQ(atom_inf.atm_name(a).trimmed(), names[a - 1]);
    for (int i = 1; i <= 3; ++i) EXPECT_NEAR(atom_crd.xyz_crd(i, a), 3.0f * (a - 1) + i, 1e-4f);
  }
}

TEST_F(CifAtomRows, FivePrimePhosphateOxygenIsO3TInEitherSpelling) {
  // OP3, the current spelling of O3P, is a nucleotide's 5' phosphate oxygen
  // as O3P is: stored as O3T, and the chain starts with a 5' phosphate; the
  // other phosphate oxygens keep their names.
  write("p", cif_header() + kShortLoop +
                 "1 P DG B 1 0 0 0\n2 OP1 DG B 1 1 0 0\n3 OP3 DG B 1 2 0 0\n"
                 "4 P DG C 1 0 0 0\n5 O1P DG C 1 1 0 0\n6 O3P DG C 1 2 0 0\n");
  ASSERT_EQ(read_out("p"), 0) << out_;
  ASSERT_EQ(atom_inf.n_atom, 6);
  ASSERT_EQ(asym_part.n_group, 2);
  const char* names[6] = {"P", "OP1", "O3T", "P", "O1P", "O3T"};
  for (int a = 1; a <= 6; ++a) EXPECT_EQ(atom_inf.atm_name(a).trimmed(), names[a - 1]) << a;
  for (int g = 1; g <= 2; ++g) EXPECT_EQ(asym_part.iterm_s_type(g), 4) << g;
}

TEST_F(CifAtomRows, OneLetterNucleotidesAreNamedAsThePdbReaderNamesThem) {
  // Older files name nucleotides by one letter.  Their rows take the names
  // the PDB reader gives, whether or not the run-time table (the library's
  // monomers) lists them, here none: the deoxy name (a later stage turns it
  // to the ribo name by the 2' oxygen), U as ribo, primes as stars, a 5'
  // OP3 as O3T, and each residue a nucleotide.
  com_res_type.nrnamed_t = 0;
  write("n", cif_header() + kShortLoop +
                 "1 P G B 1 0 0 0\n2 OP3 G B 1 1 0 0\n3 \"O2'\" G B 1 2 0 0\n"
                 "4 P T B 2 6 0 0\n5 P +A B 3 12 0 0\n6 P U B 4 18 0 0\n7 P GG B 5 24 0 0\n");
  ASSERT_EQ(read_out("n"), 0) << out_;
  ASSERT_EQ(resid_inf.n_residue, 5);
  const char* residues[5] = {"Gd", "Td", "Ad", "Ur", "GG"};
  for (int r = 1; r <= 5; ++r) {
    SCOPED_TRACE(residues[r - 1]);
    EXPECT_EQ(resid_inf.res_name(r).trimmed(), residues[r - 1]);
    EXPECT_EQ(resid_inf.ires_type(r), r < 5 ? 5 : 1);
  }
  const char* names[3] = {"P", "O3T", "O2*"};
  for (int a = 1; a <= 3; ++a) EXPECT_EQ(atom_inf.atm_name(a).trimmed(), names[a - 1]) << a;
  EXPECT_EQ(asym_part.iterm_s_type(1), 4);
}

namespace {

// A residue name fills at most the 8 characters of its field: a longer one
// is refused, naming it, since two names that agree in their first 8 would
// otherwise become one monomer.
TEST_F(CifAtomRows, ResidueNameLongerThanItsFieldIsRefused) {
  const struct {
    const char *label, *rows, *refused;  // refused: the line's name and value, or nullptr
  } cases[] = {
      {"eight characters", "1 N LONGNAME A 1 0 0 0\n", nullptr},
      {"nine characters", "1 N LONGNAME1 A 1 0 0 0\n",
       "  ERROR: atom 1: residue name \"LONGNAME1\" is longer than its 8 characters, row at line 18"},
      {"two that agree in eight", "1 N LONGNAME A 1 0 0 0\n2 N LONGNAME2 A 2 0 0 0\n",
       "  ERROR: atom 2: residue name \"LONGNAME2\" is longer than its 8 characters, row at line 19"},
  };
  for (const auto& c : cases) {
    write("n", cif_header() + kShortLoop + c.rows);
    if (c.refused == nullptr) {
      ASSERT_EQ(read_out("n"), 0) << c.label << out_;
      EXPECT_EQ(resid_inf.res_name(1), "LONGNAME") << c.label;
      continue;
    }
    EXPECT_EQ(read_out("n"), 3) << c.label;
    EXPECT_NE(out_.find(std::string(c.refused) + "\n"), std::string::npos) << c.label << out_;
  }
}

}  // namespace
