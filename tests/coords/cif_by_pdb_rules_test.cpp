// mmCIF atom rows read by the PDB reader's rules: the author's chain,
// number and insertion code, HETATM from the record kind or a residue off
// the standard list, a chain terminator where the file's chain changes, the
// residues outside polymers in the PDB form's order, the element column
// telling a calcium from an alpha carbon.
#include "coords/cif_by_pdb_rules.h"

#include <cstring>

#include "cif_test_util.h"

namespace {

std::string rows_file(const std::string& chain_b) {
  return cif_header() +
         atom_loop({"group_PDB", "id", "type_symbol", "label_atom_id", "label_comp_id",
                    "label_asym_id", "label_seq_id", "pdbx_PDB_ins_code", "Cartn_x", "Cartn_y",
                    "Cartn_z", "occupancy", "B_iso_or_equiv", "auth_seq_id", "auth_asym_id",
                    "pdbx_PDB_model_num"}) +
         // Author chain B: GLY 5, MSE 6 written ATOM, ALA 6A.
         "ATOM 1 N N GLY A 1 ? 1 1 1 1 10 5 " + chain_b +
         " 1\n"
         "ATOM 2 C CA GLY A 1 ? 2 1 1 1 10 5 " +
         chain_b +
         " 1\n"
         "ATOM 3 N N MSE A 2 ? 3 1 1 1 10 6 " +
         chain_b +
         " 1\n"
         "ATOM 4 N N ALA A 3 A 4 1 1 1 10 6 " +
         chain_b +
         " 1\n"
         // Author chain A: GLY 20.
         "ATOM 5 N N GLY C 1 ? 5 1 1 1 10 20 A 1\n"
         // A calcium of B, then the waters of A before those of B.
         "HETATM 6 CA CA CA D . ? 6 1 1 1 10 101 " +
         chain_b +
         " 1\n"
         "HETATM 7 O O HOH E . ? 7 1 1 1 10 201 A 1\n"
         "HETATM 8 O O HOH F . ? 8 1 1 1 10 202 " +
         chain_b +
         " 1\n"
         "ATOM 9 N N GLY A 1 ? 1 1 1 1 10 5 " +
         chain_b + " 2\n";
}

class CifByPdbRules : public CifFiles {
 protected:
  int32_t read_rules(const std::string& name, char seg) {
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    out_ =
        captured([&] { coords::read_cif_by_pdb_rules(0, dir_ + name + ".cif", seg, 'Y', ierr); });
    return ierr;
  }
};

}  // namespace

TEST_F(CifByPdbRules, ChainsAsThePdbFormOfTheEntryGivesThem) {
  write("e", rows_file("B"));
  ASSERT_EQ(read_rules("e", 'N'), 0) << out_;
  EXPECT_EQ(atom_inf.n_atom, 8);  // the second model is not read
  // The selenomethionine and the residue after it start chains of their
  // own; the residues outside polymers follow the polymers, the waters last,
  // chain B before chain A as the polymers come.
  const char* want[] = {"BB", "Ba", "Bb", "AA", "Bc", "Bd", "Aa"};
  ASSERT_EQ(asym_part.n_group, 7);
  for (int g = 1; g <= 7; ++g)
    EXPECT_EQ(asym_part.chain_id(g).str(), std::string(want[g - 1]) + "  ") << g;
  EXPECT_EQ(std::string(resid_inf.res_num_pdb(3).sub(3, 7)), "   6A");
  EXPECT_EQ(std::string(resid_inf.res_num_pdb(6).sub(3, 7)), " 202 ");
  EXPECT_EQ(std::string(resid_inf.res_num_pdb(7).sub(3, 7)), " 201 ");
  // The calcium ion is no alpha carbon.
  EXPECT_EQ(crst_crd.cs_atype(atom_inf.id_sf(2)).str(), "C   ");
  EXPECT_EQ(crst_crd.cs_atype(atom_inf.id_sf(6)).str(), "CA  ");
}

TEST_F(CifByPdbRules, LongAuthorChainsAskForASecondReadBySegmentColumns) {
  write("long", rows_file("BX"));
  EXPECT_EQ(read_rules("long", 'N'), coords::kCifLongChainIds);
  ASSERT_EQ(read_rules("long", 'Y'), 0) << out_;
  // As the PDB reader reads segment identifiers: the pieces of one polymer
  // are joined again, and the other pieces of a chain keep its identifier,
  // told apart by their group identifiers.
  const char* chain[] = {"BX  ", "A   ", "BX  ", "BX  ", "A   "};
  const char* group[] = {"BX  ", "A   ", "BX_a", "BX_b", "A__a"};
  ASSERT_EQ(asym_part.n_group, 5);
  for (int g = 1; g <= 5; ++g) {
    EXPECT_EQ(asym_part.chain_id(g).str(), chain[g - 1]) << g;
    EXPECT_EQ(asym_part.group_id(g).str(), group[g - 1]) << g;
  }
}

namespace {

// Rows as other programs write them: no record kind, label_seq_id ".".
std::string peer_file(const std::string& entities, const std::string& rows) {
  return cif_header() + entities +
         atom_loop({"id", "type_symbol", "label_atom_id", "label_comp_id", "label_asym_id",
                    "label_entity_id", "label_seq_id", "Cartn_x", "Cartn_y", "Cartn_z", "occupancy",
                    "B_iso_or_equiv", "auth_seq_id", "auth_asym_id"}) +
         rows;
}

std::string chain_ids() {
  std::string s;
  for (int g = 1; g <= asym_part.n_group; ++g)
    s += std::string(asym_part.chain_id(g).trimmed()) + " ";
  return s;
}

}  // namespace

TEST_F(CifByPdbRules, TwoPolymerLabelsOfOneAuthorChainAreTwoChains) {
  // The PDB form ends the first peptide with TER: two chains, though the
  // author chain and the residue classes go on.
  write("two", peer_file("",
                         "1 N N GLY Apoly 1 . 1 1 1 1 10 1 A\n"
                         "2 N N ALA Apoly 1 . 2 1 1 1 10 2 A\n"
                         "3 N N GLY Bpoly 1 . 3 1 1 1 10 10 A\n"
                         "4 N N ALA Bpoly 1 . 4 1 1 1 10 11 A\n"));
  ASSERT_EQ(read_rules("two", 'N'), 0) << out_;
  EXPECT_EQ(chain_ids(), "AA Aa ");
}

// PyMOL writes its segment column as the label, which older entries fill
// with the entry code: one label over the waters and chains A and B, each
// numbered from 1, chain A ending in its OXT.  Both programs read the chains
// of the PDB form, the pipeline naming the second by its label.
TEST_F(CifByPdbRules, OneLabelOverSeveralAuthorChainsIsAChainForEach) {
  const struct {
    const char* label;
    std::string rows;
    const char* pipeline;
    const char* orbinate;
    const char* pieces;  // the warning's list
  } cases[] = {
      {"the waters, then chains A and B",
       "1 O O HOH 1HPV . . 9 9 9 1 10 201 .\n"
       "2 N N GLY 1HPV . . 1 1 1 1 10 1 A\n3 N N ALA 1HPV . . 4 1 1 1 10 2 A\n"
       "4 O OXT ALA 1HPV . . 5 1 1 1 10 2 A\n"
       "5 N N GLY 1HPV . . 21 1 1 1 10 1 B\n6 N N ALA 1HPV . . 24 1 1 1 10 2 B\n",
       "XX:1 1HPV:2 1a:2 ", "AA BB XX ", "1 author chain shares another's chain label, and is read "
       "as a chain of its own: B under 1HPV as 1a"},
      {"chains A, B, C",
       "1 N N GLY S . . 1 1 1 1 10 1 A\n2 N N GLY S . . 21 1 1 1 10 1 B\n"
       "3 N N GLY S . . 41 1 1 1 10 1 C\n",
       "SS:1 Sa:1 Sb:1 ", "AA BB CC ", "2 author chains share another's chain label, and are read "
       "as chains of their own: B under S as Sa, C under S as Sb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("seg", peer_file("", c.rows));
    ASSERT_EQ(read_out("seg"), 0) << out_;
    EXPECT_EQ(chain_summary(), c.pipeline);
    EXPECT_NE(out_.find(std::string(" WARNING: ") + c.pieces + "\n"), std::string::npos) << out_;
    ASSERT_EQ(read_rules("seg", 'N'), 0) << out_;
    EXPECT_EQ(chain_ids(), c.orbinate);
  }
}

TEST_F(CifByPdbRules, AnEmptyAuthorChainIsTheBlankChainNotTheLabel) {
  // '' is the blank chain of the PDB form; "?" gives no chain, and the
  // file's own chain stands in.
  write("blank", peer_file("",
                           "1 N N GLY poly 1 . 1 1 1 1 10 1 ''\n"
                           "2 N N ALA poly 1 . 2 1 1 1 10 2 ''\n"
                           "3 O O HOH wat 2 . 3 1 1 1 10 5 ''\n"
                           "4 O O HOH W 2 . 4 1 1 1 10 6 ?\n"));
  ASSERT_EQ(read_rules("blank", 'N'), 0) << out_;
  EXPECT_EQ(chain_ids(), "XX Xa WW ");
}

TEST_F(CifByPdbRules, PolymersComeFirstByEntityTypeOrElseByResidues) {
  // Without label_seq_id: the DNA strand of B is a polymer by its residues
  // and comes before the ligand of A read first; a lone GLY of entity type
  // non-polymer is a ligand, though its residue is a peptide's.
  const std::string entities =
      "loop_\n_entity.id\n_entity.type\n1 polymer\n2 non-polymer\n3 non-polymer\n";
  write("poly", peer_file(entities,
                          "1 N N ALA Apoly 1 . 1 1 1 1 10 1 A\n"
                          "2 N N SER Apoly 1 . 2 1 1 1 10 2 A\n"
                          "3 S S SO4 A10 2 . 3 1 1 1 10 10 A\n"
                          "4 N N GLY A11 3 . 4 1 1 1 10 11 A\n"
                          "5 P P DA Bpoly 4 . 5 1 1 1 10 1 B\n"
                          "6 P P DC Bpoly 4 . 6 1 1 1 10 2 B\n"));
  ASSERT_EQ(read_rules("poly", 'N'), 0) << out_;
  EXPECT_EQ(chain_ids(), "AA BB Aa Ab ");
  EXPECT_EQ(resid_inf.res_name(3).trimmed(), "DA");
  EXPECT_EQ(resid_inf.res_name(6).trimmed(), "GLY");
}

TEST_F(CifByPdbRules, LabelsAreComparedWholeAndWatersRunOnAcrossThem) {
  // Labels that agree in their first four characters are two ligands, not
  // a refusal; one label per water makes no break between them.  The
  // pipeline's reading, whose chains are the labels, names the two apart.
  write("labels", peer_file("",
                            "1 N N ALA Cpoly 1 . 1 1 1 1 10 1 C\n"
                            "2 N N SER Cpoly 1 . 2 1 1 1 10 2 C\n"
                            "3 S S SO4 C200 2 . 3 1 1 1 10 200 C\n"
                            "4 S S SO4 C2007 2 . 4 1 1 1 10 2007 C\n"
                            "5 O O HOH 1 3 . 5 1 1 1 10 1 ''\n"
                            "6 O O DUM 2 3 . 6 1 1 1 10 2 ''\n"
                            "7 O O DUM 3 3 . 7 1 1 1 10 3 ''\n"));
  ASSERT_EQ(read_rules("labels", 'N'), 0) << out_;
  EXPECT_EQ(chain_ids(), "CC Ca Cb XX Xa ");
  EXPECT_EQ(asym_part.nres_chain(5), 2);
  EXPECT_EQ(com_crd_cif.by_author, 0);
  int32_t ierr = 0;
  const float no_cell[6] = {0, 0, 0, 0, 0, 0};
  captured([&] { read_atoms_(0, "", dir_ + "labels.cif", "", 0, no_cell, ierr); });
  EXPECT_EQ(ierr, 0);
  ASSERT_GE(asym_part.n_group, 3);
  EXPECT_EQ(asym_part.group_id(2).trimmed(), "C200");
  EXPECT_EQ(asym_part.group_id(3).trimmed(), "C20a");
}

TEST_F(CifByPdbRules, WatersNamedWatRunOnAcrossTheirLabels) {
  // The PDB reader reads WAT as HOH: five of them, one label each, are the
  // one water chain of A, as five HOH would be.
  std::string rows =
      "1 N N ALA Apoly 1 . 1 1 1 1 10 1 A\n"
      "2 N N SER Apoly 1 . 2 1 1 1 10 2 A\n";
  for (int k = 1; k <= 5; ++k) {
    const std::string n = std::to_string(k);
    rows += std::to_string(2 + k) + " O O WAT W" + n + " 2 . " + n + " 5 1 1 10 " +
            std::to_string(100 + k) + " A\n";
  }
  write("wat", peer_file("", rows));
  ASSERT_EQ(read_rules("wat", 'N'), 0) << out_;
  EXPECT_EQ(chain_ids(), "AA Aa ");
  EXPECT_EQ(asym_part.nres_chain(2), 5);
  EXPECT_EQ(resid_inf.res_name(7).trimmed(), "HOH");
}

TEST_F(CifByPdbRules, WatersWithoutANameRunOnAcrossTheirLabels) {
  // A residue without a name is read as a water: four of them, one label
  // each, are the one water chain of A, as four HOH would be; a ligand
  // after them still stands apart.
  std::string rows = "1 N N ALA Apoly 1 . 1 1 1 1 10 1 A\n";
  for (int k = 1; k <= 4; ++k) {
    const std::string n = std::to_string(k);
    rows += std::to_string(1 + k) + " O O " + (k == 2 ? "." : "''") + " W" + n + " 2 . " + n +
            " 5 1 1 10 " + std::to_string(100 + k) + " A\n";
  }
  rows += "6 S S SO4 L1 3 . 6 5 1 1 10 200 A\n";
  write("nameless", peer_file("", rows));
  ASSERT_EQ(read_rules("nameless", 'N'), 0) << out_;
  EXPECT_EQ(chain_ids(), "AA Aa Ab ");
  EXPECT_EQ(asym_part.nres_chain(3), 4);
  EXPECT_EQ(resid_inf.res_name(3).trimmed(), "HOH");
  EXPECT_EQ(resid_inf.res_name(2).trimmed(), "SO4");
}

TEST_F(CifByPdbRules, FourLetterWaterNamesRunOnAcrossTheirLabels) {
  // A simulation program's TIP3 has a fourth letter past the three columns
  // of the PDB form's residue name: cut to TIP it would be no water, and
  // every water a chain of its own.
  std::string rows = "1 N N ALA Apoly 1 . 1 1 1 1 10 1 A\n";
  for (int k = 1; k <= 3; ++k) {
    const std::string n = std::to_string(k);
    rows += std::to_string(1 + k) + " O OH2 TIP3 W" + n + " 2 . " + n + " 5 1 1 10 " +
            std::to_string(100 + k) + " A\n";
  }
  rows += "5 O OH2 TIP4X W4 2 . 4 5 1 1 10 104 A\n";
  // TIP, as ParmEd's PDB writer cuts TIP3 and a converter keeps it, is water.
  rows += "6 O OH2 TIP W5 2 . 5 5 1 1 10 105 A\n";
  write("tip3", peer_file("", rows));
  ASSERT_EQ(read_rules("tip3", 'N'), 0) << out_;
  // The other residue comes before the waters, as in the PDB form.
  EXPECT_EQ(chain_ids(), "AA Aa Ab ");
  EXPECT_EQ(resid_inf.res_name(2).trimmed(), "TIP");
  EXPECT_EQ(asym_part.nres_chain(3), 4);
  EXPECT_EQ(resid_inf.res_name(3).trimmed(), "HOH");
  EXPECT_EQ(resid_inf.res_name(6).trimmed(), "HOH");

  // In the blank chain the fourth letter names no chain: waters numbered
  // again, lying apart, begin a further water chain as HOH's do.
  rows.clear();
  for (int k = 1; k <= 4; ++k)
    rows += std::to_string(k) + " O O TIP3 W 2 . " + std::to_string(5 * k) + " 1 1 1 10 " +
            std::to_string((k - 1) % 2 + 1) + " ''\n";
  write("tip3_blank", peer_file("", rows));
  ASSERT_EQ(read_rules("tip3_blank", 'N'), 0) << out_;
  EXPECT_EQ(chain_ids(), "XX Xa ");
}

namespace {

// Two polymer chains and their waters under author chains `a` and `b`,
// with the file's own chains `la` and `lb` for the polymers.
std::string two_author_chains(const std::string& a, const std::string& b, const std::string& la,
                              const std::string& lb) {
  std::string rows = "1 N N ALA " + la + " 1 1 1 1 1 1 10 1 " + a + "\n";
  rows += "2 N N GLY " + lb + " 1 1 2 1 1 1 10 1 " + b + "\n";
  rows += "3 O O HOH W1 2 . 3 1 1 1 10 2 " + a + "\n";
  rows += "4 O O HOH W2 2 . 4 1 1 1 10 2 " + b + "\n";
  return peer_file("", rows);
}

}  // namespace

// Waters numbered past 9999 reach the PDB reader as five digits on into
// column 27, as simulation programs write them: each stays apart, a further
// water chain begins at 10000, and the warning names what was met (not a
// restart, which the four digits alone would have looked like).
TEST_F(CifByPdbRules, WaterNumbersPast9999ReadAsTheirFiveDigits) {
  std::string rows = "1 N N ALA Apoly 1 . 1 1 1 1 10 1 A\n";
  int serial = 1;
  for (const int n : {9998, 9999, 10000, 10001}) {
    const std::string k = std::to_string(++serial);
    rows += k + " O O HOH W 2 . " + k + " 5 1 1 10 " + std::to_string(n) + " A\n";
  }
  write("wide", peer_file("", rows));
  ASSERT_EQ(read_rules("wide", 'N'), 0) << out_;
  EXPECT_EQ(chain_ids(), "AA Aa Ab ");
  EXPECT_EQ(asym_part.nres_chain(2), 2);
  EXPECT_EQ(asym_part.nres_chain(3), 2);
  EXPECT_NE(out_.find("water numbers above 9999 kept modulo 10000"), std::string::npos) << out_;
  EXPECT_EQ(out_.find("restart"), std::string::npos) << out_;
}

// Water numbers that columns 23-27 cannot hold reach the PDB reader as the
// residue key keeps them, with the rest beside the line: a further water
// chain at each 10000, or each 1000 below 0, as the pipeline reads them.
TEST_F(CifByPdbRules, WaterNumbersOfSixDigitsOrBelowMinus999PartTheirChain) {
  const struct {
    const char *label, *numbers[3], *warning;
  } cases[] = {
      {"six digits", {"100000", "100001", "110000"}, "water numbers above 9999 kept modulo 10000"},
      {"below -999", {"-1001", "-1000", "-999"}, "numbers below -999 keep their sign and last three"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::string rows = "1 N N ALA Apoly 1 . 1 1 1 1 10 1 A\n";
    for (int k = 2; k <= 4; ++k)
      rows += std::to_string(k) + " O O HOH W 2 . " + std::to_string(k) + " 5 1 1 10 " +
              c.numbers[k - 2] + " A\n";
    write("wide", peer_file("", rows));
    ASSERT_EQ(read_rules("wide", 'N'), 0) << out_;
    EXPECT_EQ(chain_ids(), "AA Aa Ab ");
    EXPECT_EQ(count_of(out_, c.warning), 1) << out_;
  }
}

TEST_F(CifByPdbRules, LongAuthorChainsThatAgreeInFourCharactersTakeTheirLabels) {
  write("six", two_author_chains("CHAIN1", "CHAIN2", "A", "B"));
  ASSERT_EQ(read_rules("six", 'Y'), 0) << out_;
  // Each polymer with its waters, named by the file's chain of its first row.
  const char* chain[] = {"A   ", "B   ", "A   ", "B   "};
  ASSERT_EQ(asym_part.n_group, 4);
  for (int g = 1; g <= 4; ++g) EXPECT_EQ(asym_part.chain_id(g).str(), chain[g - 1]) << g;
  EXPECT_NE(out_.find(" WARNING: author chain CHAIN1 is named A, its label chain: a chain name "
                      "holds 4 characters\n"),
            std::string::npos)
      << out_;
  EXPECT_NE(out_.find("author chain CHAIN2 is named B"), std::string::npos) << out_;

  // A long name that no other chain's name begins with is cut, and says so;
  // the other keeps its own.
  write("cut", two_author_chains("PROTEIN", "CHAI", "A", "B"));
  ASSERT_EQ(read_rules("cut", 'Y'), 0) << out_;
  EXPECT_EQ(asym_part.chain_id(1).str(), "PROT");
  EXPECT_EQ(asym_part.chain_id(2).str(), "CHAI");
  EXPECT_NE(out_.find(" WARNING: author chain PROTEIN is cut to PROT: a chain name holds 4 "
                      "characters\n"),
            std::string::npos)
      << out_;

  // A long name cut into a short one: only the long one takes its label.
  write("into", two_author_chains("CHAIN1", "CHAI", "A", "B"));
  ASSERT_EQ(read_rules("into", 'Y'), 0) << out_;
  EXPECT_EQ(asym_part.chain_id(1).str(), "A   ");
  EXPECT_EQ(asym_part.chain_id(2).str(), "CHAI");
}

TEST_F(CifByPdbRules, LongAuthorChainsWithoutAUsableLabelAreRefused) {
  const struct {
    const char* label;
    std::string a, b, la, lb;
    const char* named;  // the pair the error line names
  } cases[] = {
      {"labels too long", "CHAIN1", "CHAIN2", "LONG1", "LONG2", "CHAIN1 and CHAIN2"},
      {"a label that the other's cut name holds", "CHAIN1", "CHAIN2", "CHAI", "B",
       "CHAIN1 and CHAIN2"},
      {"one label for both", "CHAIN1", "CHAIN2", "A", "A", "CHAIN2 and CHAIN1"},
  };
  for (const auto& c : cases) {
    write("clash", two_author_chains(c.a, c.b, c.la, c.lb));
    EXPECT_EQ(read_rules("clash", 'Y'), coords::kCifChainNamesClash) << c.label;
    EXPECT_NE(out_.find(std::string(" ERROR: author chains ") + c.named +
                        " agree in their first 4 characters, all that a chain name holds\n"),
              std::string::npos)
        << c.label << "\n"
        << out_;
  }
}

TEST_F(CifByPdbRules, EntitiesBeyondTheTableAreLeftOutNotAStop) {
  // Only whether an entity is a polymer is asked here, and the chain of an
  // entity left out is classed by its residues: one row more than the
  // table holds reads the file whole.  The lone GLY of the last entity
  // the table holds is a ligand by its type; that of the one beyond is a
  // polymer by its residue.
  std::string entities = "loop_\n_entity.id\n_entity.type\n1 polymer\n";
  for (int e = 2; e <= MAXENTITY + 1; ++e) entities += std::to_string(e) + " non-polymer\n";
  write("entities", peer_file(entities,
                              "1 N N ALA Apoly 1 . 1 1 1 1 10 1 A\n"
                              "2 N N GLY L1500 1500 . 2 1 1 1 10 10 A\n"
                              "3 N N GLY L1501 1501 . 3 1 1 1 10 20 B\n"));
  int32_t ierr = -1;
  std::string out;
  ASSERT_EQ(run_end_status([&] { ierr = read_rules("entities", 'N'); }, out), -1) << out;
  ASSERT_EQ(ierr, 0) << out_;
  EXPECT_EQ(chain_ids(), "AA BB Aa ");
}

TEST_F(CifByPdbRules, RowOutOfLineOrUnclosedQuoteIsRefusedWithItsLine) {
  // The third row of rows_file (line 28 of the file) cut short by three
  // values, or opening a quote that its line does not close.
  const struct {
    const char* label;
    const char* from;
    const char* to;
    const char* message;
  } cases[] = {
      {"three values short", "ATOM 3 N N MSE A 2 ? 3 1 1 1 10 6", "ATOM 3 N N MSE A 2 ? 3 1 6",
       "  ERROR: atom 3 holds 13 values for 16 items, row at line 28\n"},
      {"unclosed quote", "ATOM 3 N N MSE", "ATOM 3 N 'N MSE",
       "  ERROR: CIF_read: unterminated quote in line 28\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::string text = rows_file("B");
    const std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(text.substr(at - 1, 1), "\n");
    text.replace(at, std::strlen(c.from), c.to);
    write("cut", text);
    EXPECT_EQ(read_rules("cut", 'N'), 3);
    EXPECT_NE(out_.find(std::string(c.message) + "  ERROR: read input file\n"), std::string::npos)
        << out_;
    EXPECT_EQ(atom_inf.n_atom, 0);
  }
}

namespace {

std::string kinds_file(const std::string& entities, const std::string& rows) {
  return cif_header() + entities +
         atom_loop({"group_PDB", "id", "label_atom_id", "label_comp_id", "label_asym_id",
                    "label_entity_id", "label_seq_id", "Cartn_x", "Cartn_y", "Cartn_z",
                    "auth_seq_id", "auth_asym_id"}) +
         rows;
}

}  // namespace

TEST_F(CifByPdbRules, CapsAndOneLetterNucleotidesWrittenAsAtomStayInTheirChain) {
  // The PDB form keeps a cap or a one-letter nucleotide written as ATOM in
  // its chain; a modified residue written as ATOM is still a piece of its
  // own, and a cap the row calls HETATM too.  Without a record kind, the
  // entity type speaks for the row.
  const std::string entities =
      "loop_\n_entity.id\n_entity.type\n1 polymer\n2 polymer\n3 non-polymer\n";
  const struct {
    const char* label;
    const char* rows;
    const char* chains;
    const char* own_entities = nullptr;  // the case's entities, when not the loop above
  } cases[] = {
      {"caps written as ATOM",
       "ATOM 1 C ACE A 1 . 0 0 0 0 A\nATOM 2 N ALA A 1 . 1 0 0 1 A\n"
       "ATOM 3 N GLY A 1 . 2 0 0 2 A\nATOM 4 N NME A 1 . 3 0 0 3 A\n",
       "AA "},
      {"a cap written as HETATM",
       "HETATM 1 C ACE A 1 . 0 0 0 0 A\nATOM 2 N ALA A 1 . 1 0 0 1 A\n"
       "ATOM 3 N GLY A 1 . 2 0 0 2 A\n",
       "AA Aa "},
      {"a modified residue written as ATOM",
       "ATOM 1 N GLY A 1 . 0 0 0 1 A\nATOM 2 N MSE A 1 . 1 0 0 2 A\n"
       "ATOM 3 N GLY A 1 . 2 0 0 3 A\n",
       "AA Aa Ab "},
      {"one-letter DNA of a polymer, no record kind",
       "? 1 P G B 2 . 0 0 0 1 B\n? 2 P T B 2 . 1 0 0 2 B\n? 3 P +T B 2 . 2 0 0 3 B\n"
       "? 4 P C B 2 . 3 0 0 4 B\n",
       "BB "},
      {"one-letter DNA of a polymer entity written as item-value pairs, no record kind",
       "? 1 P G B 2 . 0 0 0 1 B\n? 2 P T B 2 . 1 0 0 2 B\n? 3 P C B 2 . 2 0 0 3 B\n", "BB ",
       "_entity.id 2\n_entity.type polymer\n"},
      {"one-letter DNA of no polymer entity, no record kind",
       "? 1 P G B 3 . 0 0 0 1 B\n? 2 P T B 3 . 1 0 0 2 B\n? 3 P C B 3 . 2 0 0 3 B\n", "BB Ba Bb "},
      {"CHARMM's and Amber's RNA written as HETATM, of no polymer entity",
       "HETATM 1 P ADE B 3 . 0 0 0 1 B\nHETATM 2 P RU B 3 . 1 0 0 2 B\n"
       "HETATM 3 P RG3 B 3 . 2 0 0 3 B\n? 4 P URA B 3 . 3 0 0 4 B\n",
       "BB "},
      {"Amber's RNA of no entity type, a polymer as the peptide after it",
       "ATOM 1 P RU5 B 9 . 0 0 0 1 B\nATOM 2 P RG3 B 9 . 1 0 0 2 B\nATOM 3 N ALA A 9 . 9 0 0 1 A\n",
       "BB AA "},
      {"a ruthenium ion RU after a strand holding Amber's RU",
       "ATOM 1 P RA B 2 . 0 0 0 1 B\nATOM 2 P RU B 2 . 1 0 0 2 B\n"
       "HETATM 3 RU RU B 3 . 9 0 0 101 B\n",
       "BB Ba "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("kinds", kinds_file(c.own_entities ? c.own_entities : entities, c.rows));
    ASSERT_EQ(read_rules("kinds", 'N'), 0) << out_;
    EXPECT_EQ(chain_ids(), c.chains);
  }
}

// A force-field name written as HETATM (HIE, as OpenMM writes it) stands for
// its standard residue and keeps its chain whole, as the PDB reader keeps
// the PDB form's: in a file without label chains, ALA, HIE, GLY and a water
// are one peptide chain of three residues and its water, in the pipeline's
// reading (which gives such rows the chain keys of the PDB form) as in the
// reading by the PDB rules.
TEST_F(CifByPdbRules, ForceFieldNameWrittenAsHetatmKeepsItsChainWithoutLabels) {
  write("ff", cif_header() +
                  atom_loop({"group_PDB", "id", "type_symbol", "label_atom_id", "label_comp_id",
                             "Cartn_x", "Cartn_y", "Cartn_z", "auth_seq_id", "auth_asym_id"}) +
                  "ATOM 1 N N ALA 0 0 0 1 A\nHETATM 2 N N HIE 1 0 0 2 A\n"
                  "ATOM 3 N N GLY 2 0 0 3 A\nHETATM 4 O O HOH 3 0 0 4 A\n");
  for (const bool pipeline : {true, false}) {
    SCOPED_TRACE(pipeline ? "the pipeline's reading" : "the reading by the PDB rules");
    ASSERT_EQ(pipeline ? read_out("ff") : read_rules("ff", 'N'), 0) << out_;
    EXPECT_EQ(chain_summary(), "AA:3 Aa:1 ");
    EXPECT_EQ(asym_part.ich_type(1), 3);
  }
}

// PyMOL writes "." for every row's label and tells its chains apart only by
// the author's chain; a file without the label item gives the entity in its
// place.  Either way each author chain holds its own numbers, and one that
// comes back with them is still refused.
TEST_F(CifByPdbRules, WithoutLabelsEachAuthorChainHoldsItsOwnNumbers) {
  const struct {
    const char* label;
    const char* asym;  // the label of every row; nullptr: no label item
    std::string chains;
    int32_t ierr;
    const char* groups;
    const char* entity2 = "1";  // the entity of each chain's second residue
  } cases[] = {
      {"label . over chains A, B", ".", "AB", 0, "AA BB "},
      // The PDB form keeps the chain whole, as the pipeline does.
      {"no label item, the entity changing inside chain A", nullptr, "A", 0, "AA ", "2"},
      {"label ? over chains A, B", "?", "AB", 0, "AA BB "},
      {"no label item, chains A, B", nullptr, "AB", 0, "AA BB "},
      {"label . over chains A, B, A", ".", "ABA", 6, ""},
      {"no label item, chains A, B, A", nullptr, "ABA", 6, ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> items = {"id", "type_symbol", "label_atom_id", "label_comp_id",
                                      "label_asym_id", "label_entity_id", "label_seq_id",
                                      "Cartn_x", "Cartn_y", "Cartn_z", "occupancy",
                                      "B_iso_or_equiv", "auth_asym_id"};
    if (c.asym == nullptr) items.erase(items.begin() + 4);
    std::string rows;
    int id = 0;
    for (const char chain : c.chains)
      for (const char* res : {"GLY 1", "ALA 2"}) {
        ++id;
        rows += std::to_string(id) + " N N " + std::string(res, 3) + " " +
                (c.asym != nullptr ? std::string(c.asym) + " " : "") +
                (res[0] == 'A' ? c.entity2 : "1") + " " + (res + 4) + " " +
                std::to_string(3 * id) + " 1 1 1 10 " + chain + "\n";
      }
    std::string loop = "loop_\n";
    for (const std::string& i : items) loop += "_atom_site." + i + "\n";
    write("nolabels", cif_header() + loop + rows);
    EXPECT_EQ(read_rules("nolabels", 'N'), c.ierr) << c.label << out_;
    if (c.ierr == 0) {
      EXPECT_EQ(chain_ids(), c.groups) << c.label;
      ASSERT_EQ(read_out("nolabels"), 0) << c.label << out_;
      std::string groups;
      for (int g = 1; g <= asym_part.n_group; ++g)
        groups += std::string(asym_part.group_id(g).trimmed()) + " ";
      EXPECT_EQ(groups, c.groups) << c.label << ", the pipeline's reading";
    }
  }
}

// orbinate's road reads a space group not given (a blank, "?" or "." name
// without a number) as the pipeline does: P 1, with the warning.
TEST_F(CifByPdbRules, SpaceGroupNotGivenIsP1WithTheWarning) {
  const struct {
    const char* label;
    const char* items;
  } cases[] = {
      {"a blank name", "_symmetry.space_group_name_H-M ''\n"},
      {"an unknown name and number", "_symmetry.space_group_name_H-M ?\n_symmetry.Int_Tables_number ?\n"},
      {"an inapplicable name and number 0", "_symmetry.space_group_name_H-M .\n_symmetry.Int_Tables_number 0\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("g", std::string("data_t\n") + kCell + c.items + kShortLoop + "1 N GLY A 1 1 1 1\n");
    EXPECT_EQ(read_rules("g", 'N'), 0) << out_;
    EXPECT_EQ(crst_crd.cs_spgr.trimmed(), "P 1");
    EXPECT_EQ(crst_crd.cs_nsym, 1);
    EXPECT_EQ(count_of(out_, "  WARNING: space group number and name are missing, default : P1\n"), 1) << out_;
  }
}
