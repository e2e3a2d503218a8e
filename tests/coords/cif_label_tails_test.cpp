// mmCIF files that give the waters and ligands after a chain the chain's own
// label and name no entity for them: the pipeline's reader parts them from
// the chain, each ligand a chain of its own and each run of waters one.
#include <string>

#include "cif_test_util.h"

namespace {

using CifLabelTails = CifFiles;

const std::string kLoop =
    atom_loop({"group_PDB", "id", "label_atom_id", "label_comp_id", "label_asym_id",
               "label_entity_id", "Cartn_x", "Cartn_y", "Cartn_z", "auth_seq_id"});

// One atom row: record kind, atom, residue, label, author number; entity
// "?" unless given.
std::string row(const char* kind, const char* atom, const char* res, const char* label, int seq,
                const char* entity = "?") {
  static int serial = 0;
  ++serial;
  return std::string(kind) + " " + std::to_string(serial) + " " + atom + " " + res + " " + label +
         " " + entity + " " + std::to_string(serial) + " 0 0 " + std::to_string(seq) + "\n";
}

}  // namespace

TEST_F(CifLabelTails, ResiduesAfterTheLastPolymerResidueLeaveTheChain) {
  const struct {
    const char* label;
    std::string text;
    const char* chains;
  } cases[] = {
      {"waters after the chain",
       row("ATOM", "N", "MET", "A", 1) + row("ATOM", "N", "GLY", "A", 2) +
           row("HETATM", "O", "HOH", "A", 3) + row("HETATM", "O", "HOH", "A", 4),
       "AA:2 Aa:2 "},
      {"two ligands, then waters; then chain B and its water",
       row("ATOM", "N", "ALA", "A", 1) + row("HETATM", "S", "SO4", "A", 2) +
           row("HETATM", "C1", "GOL", "A", 3) + row("HETATM", "O", "HOH", "A", 4) +
           row("HETATM", "O", "HOH", "A", 5) + row("ATOM", "N", "ALA", "B", 1) +
           row("HETATM", "O", "HOH", "B", 2),
       "AA:1 Aa:1 Ab:1 Ac:2 BB:1 Ba:1 "},
      {"a HETATM residue between two written as ATOM stays",
       row("ATOM", "N", "GLY", "A", 1) + row("HETATM", "N", "MSE", "A", 2) +
           row("ATOM", "N", "GLY", "A", 3),
       "AA:3 "},
      {"a HETATM residue at the chain's end leaves it",
       row("ATOM", "N", "GLY", "A", 1) + row("HETATM", "N", "MSE", "A", 2), "AA:1 Aa:1 "},
      {"a water written as ATOM leaves it",
       row("ATOM", "N", "ALA", "A", 1) + row("ATOM", "O", "HOH", "A", 2), "AA:1 Aa:1 "},
      {"waters before the polymer: nothing after its last residue",
       row("HETATM", "O", "HOH", "A", 1) + row("ATOM", "N", "ALA", "A", 2), "AA:2 "},
      {"a label of waters alone",
       row("ATOM", "N", "ALA", "A", 1) + row("HETATM", "O", "HOH", "W", 2) +
           row("HETATM", "O", "HOH", "W", 3),
       "AA:1 WW:2 "},
      {"the next label named as the first further chain would be",
       row("ATOM", "N", "ALA", "A", 1) + row("HETATM", "O", "HOH", "A", 2) +
           row("ATOM", "N", "ALA", "Aa", 1),
       "AA:1 Ab:1 Aa:1 "},
      // ParmEd and OpenMM keep the PDB form's order: a label read again
      // after another chain is a chain of its own, never a second of its
      // name.
      {"each chain's waters after both chains, under its label",
       row("ATOM", "N", "ALA", "U", 1) + row("ATOM", "N", "ALA", "P", 1) +
           row("HETATM", "O", "HOH", "U", 2) + row("HETATM", "O", "HOH", "U", 3) +
           row("HETATM", "O", "HOH", "P", 2),
       "UU:1 PP:1 Ua:2 Pa:1 "},
      {"a ligand parted off, then the chain's waters after the next chain",
       row("ATOM", "N", "ALA", "A", 1) + row("HETATM", "S", "SO4", "A", 2) +
           row("ATOM", "N", "ALA", "C", 1) + row("HETATM", "O", "HOH", "A", 3),
       "AA:1 Aa:1 CC:1 Ab:1 "},
      {"a label whose rows name their entity keeps its residues",
       row("ATOM", "N", "GLY", "A", 1, "1") + row("HETATM", "N", "MSE", "A", 2, "1") +
           row("HETATM", "O", "HOH", "A", 3, "1"),
       "AA:3 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("t", cif_header() + kLoop + c.text);
    EXPECT_EQ(read_out("t"), 0) << out_;
    EXPECT_EQ(chain_summary(), c.chains);
  }
}

// The chains parted off are whole chains of the tables: their ends, types
// and keys, and the rows of the file's connections that name their
// residues.
TEST_F(CifLabelTails, PartedChainsAreWholeChainsOfTheTables) {
  const std::string conn =
      "loop_\n_struct_conn.id\n_struct_conn.conn_type_id\n"
      "_struct_conn.ptnr1_label_asym_id\n_struct_conn.ptnr1_auth_seq_id\n"
      "_struct_conn.ptnr2_label_asym_id\n_struct_conn.ptnr2_auth_seq_id\n"
      "c1 metalc A 1 A 2\n";
  write("t", cif_header() + conn + kLoop + row("ATOM", "N", "ALA", "A", 1) +
                 row("ATOM", "C", "ALA", "A", 1) + row("ATOM", "OXT", "ALA", "A", 1) +
                 row("HETATM", "ZN", "ZN", "A", 2) + row("HETATM", "O", "HOH", "A", 3) +
                 row("HETATM", "O", "HOH", "A", 4));
  ASSERT_EQ(read_out("t"), 0) << out_;
  ASSERT_EQ(chain_summary(), "AA:1 Aa:1 Ab:2 ");
  EXPECT_NE(out_.find(count_lines(3, 4, 6)), std::string::npos) << out_;
  // The chain keeps its OXT end; the ion and the waters hold none.
  EXPECT_EQ(asym_part.iterm_f_type(1), 2);
  EXPECT_EQ(asym_part.iterm_f_type(2), 1);
  EXPECT_EQ(asym_part.iterm_f_type(3), 1);
  EXPECT_EQ(asym_part.natm_chain(1), 3);
  EXPECT_EQ(asym_part.natm_chain(3), 2);
  EXPECT_EQ(asym_part.iatom_first(2), 4);
  EXPECT_EQ(asym_part.iatom_first(3), 5);
  EXPECT_EQ(asym_part.ires_end_tree(1), 1);
  EXPECT_EQ(asym_part.ires_end_tree(3), 4);
  EXPECT_EQ(asym_part.ich_type(1), 2);
  EXPECT_EQ(asym_part.ich_type(3), 9);
  EXPECT_EQ(resid_inf.ires_forw(1), 0);
  EXPECT_EQ(resid_inf.ires_back(2), -1);
  EXPECT_EQ(resid_inf.ires_back(3), -1);
  EXPECT_EQ(resid_inf.ires_back(4), 3);
  for (int r = 2; r <= 4; ++r) EXPECT_EQ(resid_inf.iconn_type(r), 1) << r;
  EXPECT_EQ(resid_inf.i_chain(4), 3);
  EXPECT_EQ(resid_inf.res_num_pdb(2), "Aa   2 Aa   ");
  EXPECT_EQ(resid_inf.res_num_pdb(4), "Ab   4 Ab   ");
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_1ichn(1), 1);
  EXPECT_EQ(link_inf.ln_1chn(1), "AA");
  EXPECT_EQ(link_inf.ln_2ires(1), 2);
  EXPECT_EQ(link_inf.ln_2ichn(1), 2);
  EXPECT_EQ(link_inf.ln_2chn(1), "Aa");
}

// Parting a tail needs a chain more: a full chain table stops the read.
TEST_F(CifLabelTails, FullChainTableStopsTheRead) {
  std::string text = cif_header() + kLoop;
  for (int g = 1; g < MAXCHAIN; ++g) text += row("ATOM", "N", "ALA", g % 2 ? "X" : "Y", 1);
  text += row("ATOM", "N", "ALA", "Z", 1) + row("HETATM", "O", "HOH", "Z", 2);
  write("t", text);
  EXPECT_EQ(read_out("t"), 4) << out_.substr(0, 2000);
  EXPECT_NE(out_.find("  ERROR: number of chains in asym. part > limit\n"
                      "         change parameter MAXCHAIN in atom_com\n"
                      "  ERROR: read input file\n"),
            std::string::npos)
      << out_.substr(0, 2000);
  EXPECT_EQ(asym_part.n_group, MAXCHAIN);
}

// The ion that would part off as chain 1501 is named, by its chain's label.
TEST_F(CifLabelTails, IonThatPassesTheChainLimitIsNamed) {
  std::string text = cif_header() + kLoop;
  for (int g = 1; g < MAXCHAIN; ++g) text += row("ATOM", "N", "ALA", g % 2 ? "X" : "Y", 1);
  text += row("ATOM", "N", "ALA", "Z", 1) + row("HETATM", "NA", "SOD", "Z", 2);
  write("t", text);
  EXPECT_EQ(read_out("t"), 4);
  EXPECT_EQ(count_of(out_, "  change parameter MAXCHAIN in atom_com\n"
                           "  ERROR: residue SOD 2 of chain Z passed the limit: each residue "
                           "outside a polymer, other than a water, is a chain of its own\n"),
            1)
      << out_.substr(0, 2000);
}

// A ligand parted off takes the connection of the rows that end at it, the
// latest of the vocabulary's: a later row of a kind outside the vocabulary
// leaves it as it was.
TEST_F(CifLabelTails, PartedLigandTakesTheConnectionOfItsRowsOfTheVocabulary) {
  const struct {
    const char* label;
    const char* rows;
    int conn;
  } cases[] = {
      {"a later row outside the vocabulary", "c1 TRANS A 1 A 2\nc2 metalc A 1 A 2\n", 2},
      {"the vocabulary's last connection", "c1 NMCIS A 1 A 2\n", 39},
      {"no row of the vocabulary", "c1 metalc A 1 A 2\n", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("t", cif_header() +
                   "loop_\n_struct_conn.id\n_struct_conn.conn_type_id\n"
                   "_struct_conn.ptnr1_label_asym_id\n_struct_conn.ptnr1_auth_seq_id\n"
                   "_struct_conn.ptnr2_label_asym_id\n_struct_conn.ptnr2_auth_seq_id\n" +
                   c.rows + kLoop + row("ATOM", "N", "ALA", "A", 1) +
                   row("HETATM", "ZN", "ZN", "A", 2));
    ASSERT_EQ(read_out("t"), 0) << out_;
    ASSERT_EQ(chain_summary(), "AA:1 Aa:1 ");
    EXPECT_EQ(resid_inf.iconn_type(2), c.conn);
  }
}
