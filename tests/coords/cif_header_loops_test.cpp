// Header loops: entities, assembly groups and sequences of files from our
// own writer, connections, modifications and the links table limit.
#include "cif_test_util.h"

#include "coords/cif_header.h"

#include <vector>

using CifLoops = CifFiles;

namespace {

const std::string kAtoms = kShortLoop +
    "1 N ALA AA 1 0 0 0\n2 N GLY AA 2 0 0 0\n3 N SER AA 3 0 0 0\n3 OXT SER AA 3 0 0 0\n"
    "5 N ALA BB 1 0 0 0\n6 N GLY BB 2 0 0 0\n7 N SER BB 3 0 0 0\n";

}  // namespace

TEST_F(CifLoops, OwnWriterEntitiesReachTheChains) {
  write("own", std::string("data_x\n_software.name vorel\n") +
                   "loop_\n_entity.id\n_entity.type\nPRT polypeptide\nHOH water\n"
                   "loop_\n_entity_poly_seq.entity_id\n_entity_poly_seq.mon_id\n"
                   "_entity_poly_seq.ptq7_auth_seq_id\n_entity_poly_seq.ptq7_back_connect_type\n"
                   "_entity_poly_seq.ptq7_num_mon_back\n_entity_poly_seq.ptq7_mod_id\n"
                   "PRT ALA 1 . n/a NH3\nPRT GLY 2 TRANS 1 .\nPRT SER 3 TRANS 2 COO\nXXX ALA 1 . n/a .\n"
                   "loop_\n_struct_asym.id\n_struct_asym.entity_id\nAA PRT\nBB PRT\n" + kAtoms);
  ASSERT_EQ(read("own"), 8);
  EXPECT_EQ(crdinf.cr_soft.str(), "B");
  ASSERT_EQ(cif_entity_list.n_chn_ent, 2);
  EXPECT_EQ(cif_entity_list.ent_ichain_type(1), 3);
  EXPECT_EQ(cif_entity_list.ent_ichain_type(2), 9);
  EXPECT_EQ(cif_entity_list.ent_nres_chain(1), 3);  // the row of entity XXX is dropped
  EXPECT_EQ(cif_ent_poly_seq.ent_nresidue, 3);
  EXPECT_EQ(cif_entity_list.ent_iterm_s_type(1), 2);  // NH3
  EXPECT_EQ(cif_entity_list.ent_iterm_f_type(1), 2);  // COO
  ASSERT_EQ(cif_asym_part.n_grp_asm, 2);
  EXPECT_EQ(cif_asym_part.asm_chain_pointer(2), 1);
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(asym_part.chain_id(1).trimmed(), "PRT");
  EXPECT_EQ(asym_part.chain_id(2).trimmed(), "PRT");
  EXPECT_EQ(asym_part.igroup_asm(2), 2);
  // The entity tree is copied to both chains.
  EXPECT_EQ(asym_part.ires_start_tree(2), 4);
  EXPECT_EQ(asym_part.ires_end_tree(2), 6);
  EXPECT_EQ(resid_inf.ires_back(5), 4);
  EXPECT_EQ(resid_inf.ires_forw(4), 5);
  EXPECT_EQ(resid_inf.iconn_type(5), 2);
  EXPECT_EQ(asym_part.iterm_s_type(1), 2);
}

// The software name as the coordinate writer of this system writes it.
TEST_F(CifLoops, OwnWriterKnownByTheNameItWrites) {
  write("ours", std::string("data_x\n_software.name  blanc\n") +
                    "loop_\n_entity.id\n_entity.type\nPRT polypeptide\n"
                    "loop_\n_entity_poly_seq.entity_id\n_entity_poly_seq.mon_id\n"
                    "_entity_poly_seq.ptq7_auth_seq_id\n_entity_poly_seq.ptq7_back_connect_type\n"
                    "_entity_poly_seq.ptq7_num_mon_back\n_entity_poly_seq.ptq7_mod_id\n"
                    "PRT ALA 1 . n/a NH3\nPRT GLY 2 TRANS 1 .\nPRT SER 3 TRANS 2 COO\n"
                    "loop_\n_struct_asym.id\n_struct_asym.entity_id\nAA PRT\nBB PRT\n" + kAtoms);
  ASSERT_EQ(read("ours"), 8);
  EXPECT_EQ(crdinf.cr_soft.str(), "B");
  ASSERT_EQ(cif_entity_list.n_chn_ent, 1);
  EXPECT_EQ(asym_part.iterm_s_type(1), 2);  // NH3 kept
  EXPECT_EQ(resid_inf.iconn_type(2), 2);
}

TEST_F(CifLoops, OtherWritersEntityLoopsArePassedOver) {
  write("other", std::string("data_x\n") + "loop_\n_entity.id\n_entity.type\nPRT polypeptide\n" +
                     "loop_\n_struct_asym.id\n_struct_asym.entity_id\nAA PRT\n" + kAtoms);
  ASSERT_EQ(read("other"), 8);
  // Built from the model instead: chain AA ends with OXT ("COO") and BB
  // does not, so the two chains are two entities named after their groups.
  EXPECT_EQ(cif_entity_list.n_chn_ent, 2);
  EXPECT_EQ(cif_entity_list.ent_chain_id(1).trimmed(), "AA");
  EXPECT_EQ(cif_entity_list.ent_iterm_f_type(1), 2);
  EXPECT_EQ(cif_entity_list.ent_iterm_f_type(2), 7);
  EXPECT_EQ(asym_part.chain_id(2).trimmed(), "BB");
}

TEST_F(CifLoops, ConnectionsAndModifications) {
  write("conn", std::string("data_x\n") +
                    "loop_\n_struct_conn.id\n_struct_conn.conn_type_id\n_struct_conn.ptnr1_label_asym_id\n"
                    "_struct_conn.ptnr1_auth_seq_id\n_struct_conn.ptnr1_label_alt_id\n"
                    "_struct_conn.ptnr2_label_asym_id\n_struct_conn.ptnr2_auth_seq_id\n"
                    "_struct_conn.ptnr2_label_alt_id\n_struct_conn.dist\n"
                    "c1 disulf AA 1 . AA 3 . 2.05\nc2 covale AA 1 A BB 2 . 1.5\n"
                    "loop_\n_ptq7_struct_asym_mod.mod_id\n_ptq7_struct_asym_mod.label_asym_id\n"
                    "_ptq7_struct_asym_mod.auth_seq_id\n_ptq7_struct_asym_mod.comp_id\n"
                    "_ptq7_struct_asym_mod.new_comp_id\nMOD1 BB 2 GLY GLY\n" + kAtoms);
  ASSERT_EQ(read("conn"), 8);
  ASSERT_EQ(link_inf.ln_n, 2);
  EXPECT_EQ(link_inf.ln_used(1).str(), "U");
  EXPECT_EQ(link_inf.ln_used(2).str(), "S");
  EXPECT_EQ(link_inf.ln_seq2(1).str(), "   3 ");
  EXPECT_FLOAT_EQ(link_inf.ln_dist(1), 2.05f);
  EXPECT_EQ(link_inf.ln_1ires(1), 1);
  EXPECT_EQ(link_inf.ln_2ires(1), 3);
  EXPECT_EQ(link_inf.ln_2ires(2), 5);
  ASSERT_EQ(mod_inf.mod_n, 1);
  EXPECT_EQ(mod_inf.mod_ires(1), 5);
  EXPECT_EQ(mod_inf.mod_used(1).str(), "U");
}

// The rows of this system's own link and modification categories name
// their residues by author numbers of the one form: a row with another
// names none and is passed over, with a warning naming it and the value.
TEST_F(CifLoops, OwnRowWithANumberOfAnotherFormIsPassedOver) {
  const std::string mods =
      "loop_\n_ptq7_struct_asym_mod.mod_id\n_ptq7_struct_asym_mod.label_asym_id\n"
      "_ptq7_struct_asym_mod.auth_seq_id\n_ptq7_struct_asym_mod.comp_id\n"
      "_ptq7_struct_asym_mod.new_comp_id\n";
  const std::string links =
      "loop_\n_entity_link.ptq7_link_id\n_entity_link.ptq7_entity_id\n"
      "_entity_link.ptq7_comp_id_1\n_entity_link.ptq7_auth_seq_id_1\n"
      "_entity_link.ptq7_comp_id_2\n_entity_link.ptq7_auth_seq_id_2\n";
  const struct {
    const char *label, *loop, *row;
    int mods, links;
    const char* warning;
  } rows[] = {
      {"modification by its number", mods.c_str(), "MOD1 BB 2 GLY GLY", 1, 0, ""},
      {"modification by a real", mods.c_str(), "MOD1 BB 2.0 GLY GLY", 0, 0,
       "  WARNING : modification row at line 9: _ptq7_struct_asym_mod.auth_seq_id \"2.0\" is not "
       "an integer\n            its modification is not made\n"},
      {"link by its numbers", links.c_str(), "SS PRT ALA 1 SER 3", 0, 1, ""},
      {"link by an exponent", links.c_str(), "SS PRT ALA 1 SER 3e0", 0, 0,
       "  WARNING : entity link row at line 10: _entity_link.ptq7_auth_seq_id_2 \"3e0\" is not an "
       "integer\n            its link is not made\n"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    write("own", std::string("data_x\n_software.name vorel\n") + r.loop + r.row + "\n" + kAtoms);
    ASSERT_EQ(read_out("own"), 8) << out_;
    EXPECT_EQ(mod_inf.mod_n, r.mods);
    EXPECT_EQ(link_inf.ln_n, r.links);
    if (*r.warning) EXPECT_NE(out_.find(r.warning), std::string::npos) << out_;
    else EXPECT_EQ(out_.find("is not an integer"), std::string::npos) << out_;
  }
}

// The own categories give a number and its code as one value: five
// characters are the number's four columns and the code, a digit as well,
// so that 12 with the code 3 ("00123") is not residue 123.
TEST_F(CifLoops, OwnRowNumberOfFiveCharactersIsTheNumberAndItsCode) {
  const struct {
    const char *label, *value, *key;
  } rows[] = {
      {"number filled with zeros, digit code", "00123", "  123"},
      {"four digits, digit code", "12345", "12345"},
      {"minus filled with zeros, digit code", "-0051", "  -51"},
      {"three digits, no code", "123", " 123 "},
      {"letter code", "12A", "  12A"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    write("own", std::string("data_x\n_software.name vorel\n") +
                     "loop_\n_ptq7_struct_asym_mod.mod_id\n_ptq7_struct_asym_mod.label_asym_id\n"
                     "_ptq7_struct_asym_mod.auth_seq_id\n_ptq7_struct_asym_mod.comp_id\n"
                     "_ptq7_struct_asym_mod.new_comp_id\nMOD1 BB " + r.value + " GLY GLY\n" + kAtoms);
    ASSERT_EQ(read_out("own"), 8) << out_;
    ASSERT_EQ(mod_inf.mod_n, 1);
    EXPECT_EQ(mod_inf.mod_seq(1).str(), r.key);
  }
}

// A connection row more than the link table holds ends the run; as many
// rows as it holds are all kept.
TEST_F(CifLoops, LinksBeyondTheTableStopTheRun) {
  std::string text = "data_x\nloop_\n_struct_conn.conn_type_id\n_struct_conn.ptnr1_auth_seq_id\n";
  for (int i = 1; i <= MAXLINK; ++i) text += "covale " + std::to_string(i) + "\n";
  write("full", text + kAtoms);
  EXPECT_EQ(read_out("full"), 8);
  EXPECT_EQ(link_inf.ln_n, MAXLINK);
  EXPECT_EQ(out_.find("MAXLINK"), std::string::npos);
  write("over", text + "covale 0\n" + kAtoms);
  std::string out;
  EXPECT_EQ(run_end_status([&] { read("over", 0); }, out), 1);
  rt::close_all_units();
  EXPECT_NE(
      out.find("  ERROR: number of links > 200000\n         change parameter MAXLINK in atom_com\n"
               "  ERROR: the run stops: table MAXLINK holds 200000 rows and no more\n"),
      std::string::npos)
      << out;
}

// As many assembly groups as the chain table holds are read; one more ends
// the run rather than leave a chain without its entity.
TEST_F(CifLoops, AssemblyGroupsBeyondTheTableStopTheRun) {
  std::string text =
      "data_x\n_software.name vorel\nloop_\n_entity.id\n_entity.type\nPRT polypeptide\n"
      "loop_\n_struct_asym.id\n_struct_asym.entity_id\n";
  for (int i = 1; i <= MAXCHAIN; ++i) text += 'G' + std::to_string(i) + " PRT\n";
  write("full", text + kAtoms);
  EXPECT_EQ(read_out("full"), 8);
  EXPECT_EQ(cif_asym_part.n_grp_asm, MAXCHAIN);
  write("over", text + "G0 PRT\n" + kAtoms);
  std::string out;
  EXPECT_EQ(run_end_status([&] { read("over", 0); }, out), 1);
  rt::close_all_units();
  EXPECT_NE(
      out.find(
          "  ERROR: number of chains >   1500\n         change parameter MAXCHAIN in atom_com\n"),
      std::string::npos)
      << out;
}

// The chains of the pipeline's reading take their entities' descriptions:
// as many entities as the table holds are read, one more ends the run.
TEST_F(CifLoops, EntitiesBeyondTheTableStopTheRun) {
  std::string text = "data_x\n_software.name vorel\nloop_\n_entity.id\n_entity.type\n";
  for (int i = 1; i <= MAXENTITY; ++i) text += 'E' + std::to_string(i) + " polymer\n";
  write("full", text + kAtoms);
  EXPECT_EQ(read_out("full"), 8);
  write("over", text + "E0 polymer\n" + kAtoms);
  std::string out;
  EXPECT_EQ(run_end_status([&] { read("over", 0); }, out), 1);
  rt::close_all_units();
  EXPECT_NE(
      out.find(
          "  ERROR: number of chains >   1500\n         change parameter MAXENTITY in atom_com\n"),
      std::string::npos)
      << out;
}

TEST_F(CifLoops, ScatteringTypesBeyondTheTableAreWarnedAndDropped) {
  const std::string warning = " WARNING: number of atom types > limit.";
  // N and O (the elements of the atom rows) and then MAXNSF further types:
  // the last two rows find the table full.
  std::vector<std::string> symbols = {"N", "O"};
  for (int i = 1; i <= MAXNSF; ++i) symbols.push_back('X' + std::to_string(i));
  std::string plain = "data_x\nloop_\n_atom_type.symbol\n";
  for (const std::string& s : symbols) plain += s + "\n";
  write("sf", plain + kAtoms);
  EXPECT_EQ(read_out("sf"), 8);
  EXPECT_EQ(crst_crd.cs_nsfatm, MAXNSF);
  EXPECT_EQ(crst_crd.cs_element(1).str(), "N   ");
  EXPECT_EQ(crst_crd.cs_element(MAXNSF).str(), 'X' + std::to_string(MAXNSF - 2));
  EXPECT_EQ(count_of(out_, warning), 2);
  EXPECT_NE(out_.find("        change parameter MAXNSF in atom_com"), std::string::npos);
  EXPECT_EQ(atom_inf.n_atom, 7);

  // Rows that begin with an item of another category meet the same limit.
  std::string mixed = "data_x\nloop_\n_other.n\n_atom_type.symbol\n";
  for (const std::string& s : symbols) mixed += "k " + s + "\n";
  write("sf2", mixed + kAtoms);
  EXPECT_EQ(read_out("sf2"), 8);
  EXPECT_EQ(crst_crd.cs_nsfatm, MAXNSF);
  EXPECT_EQ(count_of(out_, warning), 2);
  EXPECT_EQ(atom_inf.n_atom, 7);
}

// Hydrogen-bond, salt-bridge and mismatch rows of the archive are no links
// and are not read; every other connection row is read with its kind as it
// stands (cut to a name's eight characters), for the link stage to resolve,
// and the archive's distance item gives the length.
TEST_F(CifLoops, ContactRowsAreNotLinks) {
  write("kinds", std::string("data_x\n") +
                     "loop_\n_struct_conn.id\n_struct_conn.conn_type_id\n"
                     "_struct_conn.ptnr1_label_asym_id\n_struct_conn.ptnr1_auth_seq_id\n"
                     "_struct_conn.ptnr2_label_asym_id\n_struct_conn.ptnr2_auth_seq_id\n"
                     "_struct_conn.pdbx_dist_value\n"
                     "c1 covale AA 1 AA 2 1.326\n"
                     "c2 covale_phosphate AA 2 AA 3 1.61\n"
                     "c3 disulf AA 1 BB 1 2.037\n"
                     "c4 METALC AA 3 BB 2 2.2\n"
                     "c5 hydrog AA 1 BB 3 2.9\n"
                     "c6 SALTBR AA 2 BB 3 3.1\n"
                     "c7 mismat AA 3 BB 1 3.0\n"
                     "c8 modres AA 2 BB 2 ?\n"
                     "c9 TRANS AA 1 AA 2 .\n"
                     "c10 gap AA 2 AA 3 .\n" +
                     kAtoms);
  ASSERT_EQ(read("kinds"), 8);
  ASSERT_EQ(link_inf.ln_n, 7);
  const char* names[] = {"covale", "covale_p", "disulf", "METALC", "modres", "TRANS", "gap"};
  for (int k = 1; k <= 7; ++k) EXPECT_EQ(link_inf.ln_id(k).trimmed(), names[k - 1]) << "row " << k;
  EXPECT_FLOAT_EQ(link_inf.ln_dist(1), 1.326f);
  EXPECT_FLOAT_EQ(link_inf.ln_dist(3), 2.037f);
  EXPECT_FLOAT_EQ(link_inf.ln_dist(5), 0.0f) << "modres row without a distance";
  EXPECT_EQ(link_inf.ln_2ires(4), 5) << "the metal row joins residue 3 of AA to residue 2 of BB";
}

// The covalent kinds, whole or as a name field holds them, in any letter
// case; link names and the contact kinds are not among them.
TEST(CifConnKinds, CovalentKindsAreKnownWholeOrCut) {
  for (const char* k : {"covale", "covale_base", "covale_b", "covale_phosphate", "covale_p",
                        "covale_sugar", "covale_s", "disulf", "metalc", "MODRES", "covale  "})
    EXPECT_TRUE(coords::covalent_conn_kind(k)) << k;
  for (const char* k : {"hydrog", "saltbr", "mismat", "TRANS", "SS", "gap", ".", "", "covalent",
                        "covale_x", "disulfide"})
    EXPECT_FALSE(coords::covalent_conn_kind(k)) << k;
}

TEST_F(CifLoops, UnknownOrEmptySymmetryOfAConnectionIsTheIdentity) {
  // A converter writes "?" where the PDB form's SSBOND record has no
  // symmetry columns: both partners are in the model, not in another cell.
  // An operator written with a leading zero is that operator (of a group
  // that has a second one).
  write("symm",
        std::string("data_x\n_symmetry.space_group_name_H-M 'P 1 21 1'\n") +
            "loop_\n_struct_conn.id\n_struct_conn.conn_type_id\n_struct_conn.ptnr1_label_asym_id\n"
            "_struct_conn.ptnr1_auth_seq_id\n_struct_conn.ptnr1_symmetry\n"
            "_struct_conn.ptnr2_label_asym_id\n_struct_conn.ptnr2_auth_seq_id\n"
            "_struct_conn.ptnr2_symmetry\n"
            "c1 disulf AA 1 ? AA 3 ?\nc2 disulf AA 1 '' AA 3 .\n"
            "c3 disulf AA 1 1_555 BB 3 2_655\nc4 disulf AA 1 01_555 BB 3 002_655\n" +
            kAtoms);
  ASSERT_EQ(read("symm"), 0);
  ASSERT_EQ(link_inf.ln_n, 4);
  const char* want[][2] = {{".", "."}, {".", "."}, {"1_555", "2_655"}, {"1_555", "2_655"}};
  for (int l = 1; l <= 4; ++l) {
    EXPECT_EQ(link_inf.ln_symm1(l).trimmed(), want[l - 1][0]) << l;
    EXPECT_EQ(link_inf.ln_symm2(l).trimmed(), want[l - 1][1]) << l;
  }
  EXPECT_TRUE(link_in_unit(1));
  EXPECT_TRUE(link_in_unit(2));
}

namespace {

// ACE 1 and ALA 2 of chain A with the connection row of their peptide
// bond, the second end under the symmetry code `code`, after the header.
std::string ace_ala_linked(std::string_view code) {
  return "loop_\n_struct_conn.id\n_struct_conn.conn_type_id\n"
         "_struct_conn.ptnr1_label_asym_id\n_struct_conn.ptnr1_label_comp_id\n"
         "_struct_conn.ptnr1_label_seq_id\n_struct_conn.ptnr1_label_atom_id\n"
         "_struct_conn.ptnr1_symmetry\n_struct_conn.ptnr2_label_asym_id\n"
         "_struct_conn.ptnr2_label_comp_id\n_struct_conn.ptnr2_label_seq_id\n"
         "_struct_conn.ptnr2_label_atom_id\n_struct_conn.ptnr2_symmetry\n"
         "pep covale A ACE 1 C 1_555 A ALA 2 N " +
         std::string(code) + "\n" +
         atom_loop({"id", "label_atom_id", "label_comp_id", "label_asym_id", "label_seq_id", "Cartn_x",
                    "Cartn_y", "Cartn_z"}) +
         "1 C ACE A 1 0 0 0\n2 N ALA A 2 0 0 1\n";
}

}  // namespace

// A connection code that is no operator text is read as none, as in a
// PDB record: the link is made inside the model, with the PDB form's
// warning.  A code of an operator the group does not hold (a third one in a
// group of two, a second one where the symmetry library lacks the group)
// names no copy the model has: the link is not made, with the warning.
TEST_F(CifLoops, ConnectionCodeOfNoOperatorIsWarnedOf) {
  const struct {
    const char* label;
    const char* group;
    const char* code;
    int links;
    const char* kept;  // the second end's code kept
    const char* then;  // the warning's second line, "" for no warning
  } cases[] = {
      {"operator 0", "P 1 21 1", "0_555", 1, "1_555", "made without it"},
      {"a sign", "P 1 21 1", "-1_555", 1, "1_555", "made without it"},
      {"letters", "P 1 21 1", "ab55", 1, "1_555", "made without it"},
      {"four translation digits", "P 1 21 1", "2_5555", 1, "1_555", "made without it"},
      {"an operator the group holds", "P 1 21 1", "2_655", 1, "2_655", ""},
      {"an operator the group lacks", "P 1 21 1", "3_555", 0, "", "not made"},
      {"a group the library lacks", "Q 1 2 1", "2_555", 0, "", "not made"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("codes", "data_t\n" + std::string(kCell) + "_symmetry.space_group_name_H-M '" + c.group +
                       "'\n" + ace_ala_linked(c.code));
    ASSERT_EQ(read_out("codes"), 0) << out_;
    ASSERT_EQ(link_inf.ln_n, c.links) << out_;
    if (c.links == 1) {
      EXPECT_EQ(link_inf.ln_symm2(1).trimmed(), c.kept);
    }
    const std::string warning = std::string("  WARNING : connection row symmetry code \"") + c.code +
                                "\" names no operator of the space group\n"
                                "            link C ACE AA 1 - N ALA AA 2 is " +
                                c.then + "\n";
    EXPECT_EQ(count_of(out_, warning), *c.then ? 1 : 0) << out_;
    EXPECT_EQ(count_of(out_, "names no operator"), *c.then ? 1 : 0) << out_;
  }
}

// A space group written blank (as for a file without CRYST1), "?" or ".",
// with a number that is "?", "." or 0 or none, is no group: the file is
// read in P 1 with the warning, as one without the items, and a connection
// row's code of a second operator names no copy: the link is not made.
TEST_F(CifLoops, SpaceGroupNotGivenIsReadInP1) {
  const struct {
    const char* label;
    const char* items;
  } cases[] = {
      {"a blank name", "_symmetry.space_group_name_H-M ''\n"},
      {"an unknown name", "_symmetry.space_group_name_H-M ?\n"},
      {"an inapplicable name and number", "_symmetry.space_group_name_H-M .\n_symmetry.Int_Tables_number .\n"},
      {"a blank name and number 0", "_symmetry.space_group_name_H-M ''\n_symmetry.Int_Tables_number 0\n"},
      {"an unknown number alone", "_symmetry.Int_Tables_number ?\n"},
      {"no item", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("none", "data_t\n" + std::string(kCell) + c.items +
                      ace_ala_linked("2_555"));
    EXPECT_EQ(read_out("none"), 8) << out_;
    EXPECT_EQ(crst_crd.cs_spgr.trimmed(), "P 1");
    EXPECT_EQ(crst_crd.cs_nspgr, 1);
    EXPECT_EQ(crst_crd.cs_nsym, 1);
    EXPECT_EQ(count_of(out_, "  WARNING: space group number and name are missing, default : P1\n"), 1) << out_;
    EXPECT_EQ(link_inf.ln_n, 0) << out_;
    EXPECT_EQ(count_of(out_, "  WARNING : connection row symmetry code \"2_555\" names no operator of the "
                             "space group\n            link C ACE AA 1 - N ALA AA 2 is not made\n"),
              1)
        << out_;
  }
}

// A connection row without the author's number (as a simulation program
// writes one) names its residue by the file's sequence number, which the
// atom rows' residues carry beside their author numbers (151, 152, 153
// here): the row finds that residue and takes its author number.  A row
// that gives the author's number is read by it whatever its sequence
// number says; a sequence number no residue holds leaves the row without
// its residue, named by that number for the warning.  The numbers and
// insertion codes take the forms the atom rows take: a row with another
// (a real number, an exponent, a code of two characters) names no residue
// and is passed over, with a warning naming the row, its line and value.
TEST_F(CifLoops, ConnectionRowNamedBySequenceNumberFindsItsResidue) {
  const std::string atoms =
      atom_loop({"id", "label_atom_id", "label_comp_id", "label_asym_id", "label_seq_id",
                 "auth_seq_id", "Cartn_x", "Cartn_y", "Cartn_z"}) +
      "1 C MSE A 1 151 0 0 0\n2 N ASP A 2 152 0 0 0\n3 C ASP A 2 152 0 0 0\n"
      "4 N ILE A 3 153 0 0 0\n";
  const struct {
    const char* label;
    const char* row;  // sequence and author numbers of both ends
    int ires1, ires2;
    const char *seq1, *seq2;
    bool pairs = false;  // the row written as item-value pairs, as a category of one row is
    const char* codes = "? ?";  // the insertion codes of both ends
    const char* refused = "";   // the item and value for which the row is passed over
  } cases[] = {
      {"sequence numbers alone", "A 1 ? A 2 ?", 1, 2, " 151 ", " 152 "},
      {"author numbers, the row as item-value pairs", "A 1 152 A 2 153", 2, 3, " 152 ", " 153 ",
       true},
      {"author numbers beside other sequence numbers", "A 1 152 A 2 153", 2, 3, " 152 ", " 153 "},
      {"the second end by its sequence number", "A 2 152 A 3 ?", 2, 3, " 152 ", " 153 "},
      {"the second end by sequence number 1 alone", "A 2 ? A 1 ?", 2, 1, " 152 ", " 151 "},
      {"a sequence number no residue holds", "A 9 ? A 2 ?", 0, 2, "   9 ", " 152 "},
      {"no number", "A . ? A 2 ?", 0, 2, ".    ", " 152 "},
      {"an author number with its insertion letter", "A 2 152A A 3 153", 0, 3, " 152A", " 153 "},
      {"an insertion code of its own", "A 2 152 A 3 153", 0, 3, " 152A", " 153 ", false, "A ."},
      {"an author number written as a real", "A 2 152.0 A 3 153", 0, 0, "", "", false, "? ?",
       "_struct_conn.ptnr1_auth_seq_id \"152.0\" is not an integer"},
      {"an author number with an exponent, as pairs", "A 2 152 A 3 1e2", 0, 0, "", "", true, "? ?",
       "_struct_conn.ptnr2_auth_seq_id \"1e2\" is not an integer"},
      {"a sequence number written as a real", "A 2 ? A 3.0 ?", 0, 0, "", "", false, "? ?",
       "_struct_conn.ptnr2_label_seq_id \"3.0\" is not an integer"},
      {"a sequence number with an uncertainty", "A 2(1) 152 A 3 153", 0, 0, "", "", false, "? ?",
       "_struct_conn.ptnr1_label_seq_id \"2(1)\" is not an integer"},
      {"an insertion code of two characters", "A 2 152 A 3 153", 0, 0, "", "", false, "? AB",
       "_struct_conn.pdbx_ptnr2_PDB_ins_code \"AB\" is more than one character"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string conn =
        "_struct_conn.id\n_struct_conn.conn_type_id\n"
        "_struct_conn.ptnr1_label_asym_id\n_struct_conn.ptnr1_label_seq_id\n"
        "_struct_conn.ptnr1_auth_seq_id\n_struct_conn.ptnr2_label_asym_id\n"
        "_struct_conn.ptnr2_label_seq_id\n_struct_conn.ptnr2_auth_seq_id\n"
        "_struct_conn.pdbx_ptnr1_PDB_ins_code\n_struct_conn.pdbx_ptnr2_PDB_ins_code\n";
    const std::string values = std::string("bond1 covale ") + c.row + " " + c.codes;
    const std::string text = cif_header() +
                             (c.pairs ? as_pairs(conn, values) : "loop_\n" + conn + values + "\n") +
                             atoms;
    write("seq", text);
    ASSERT_EQ(read_out("seq"), 0) << out_;
    if (*c.refused != '\0') {
      // The row's first value: its line.
      const std::size_t at = text.find("bond1");
      const auto line = std::count(text.begin(), text.begin() + static_cast<long>(at), '\n') + 1;
      EXPECT_NE(out_.find("  WARNING : connection row bond1 at line " + std::to_string(line) +
                          ": " + c.refused + "\n            its link is not made\n"),
                std::string::npos)
          << out_;
      EXPECT_EQ(link_inf.ln_n, 0);
      continue;
    }
    EXPECT_EQ(out_.find("WARNING : connection row"), std::string::npos) << out_;
    ASSERT_EQ(link_inf.ln_n, 1);
    EXPECT_EQ(link_inf.ln_1ires(1), c.ires1);
    EXPECT_EQ(link_inf.ln_2ires(1), c.ires2);
    EXPECT_EQ(link_inf.ln_seq1(1).str(), c.seq1);
    EXPECT_EQ(link_inf.ln_seq2(1).str(), c.seq2);
    EXPECT_EQ(link_inf.ln_1chn(1).str(), "AA  ");
  }
}

// OpenMM lists every bond of a residue it does not take for standard as a
// connection row, naming the residues by sequence number.  A row whose ends
// lie in one residue (ACE 1: C, O, CH3) makes no link: one naming one atom
// twice is warned of, the others are the residue's own bonds, counted in
// one line, whether the model has their atoms (a hydrogen left out) or the
// residue at all.  The residue's copy across a symmetry axis is another
// residue, and a row between two residues stays, moved up past those
// passed over.  A code that names no operator ("0_555") is read as none:
// the row then names one atom twice, and is warned of as such alone.
TEST_F(CifLoops, ConnectionRowInsideOneResidueMakesNoLink) {
  const std::string atoms =
      atom_loop({"id", "label_atom_id", "label_comp_id", "label_asym_id", "label_seq_id", "Cartn_x",
                 "Cartn_y", "Cartn_z"}) +
      "1 C ACE A 1 0 0 0\n2 O ACE A 1 0 1 0\n3 CH3 ACE A 1 1 0 0\n4 N ALA A 2 0 0 1\n";
  const char* own_bond = "own covale A ACE 1 C 1_555 A ACE 1 CH3 1_555\n";
  const char* peptide = "pep covale A ACE 1 C 1_555 A ALA 2 N 1_555\n";
  const struct {
    const char* label;
    std::vector<const char*> rows;
    int links;
    int ires2;            // the kept link's second residue
    const char* atom2;    // and atom
    const char* message;  // "" for none of the lines below
  } cases[] = {
      {"the residue's own bond",
       {own_bond},
       0,
       0,
       "",
       "  INFO: 1 connection row joins two atoms of one residue: passed over, as that residue's "
       "own bond\n"},
      {"one atom at both ends",
       {"self covale A ACE 1 C 1_555 A ACE 1 C .\n"},
       0,
       0,
       "",
       "  WARNING : connection row joins atom C ACE AA 1 to itself: no link is made\n"},
      {"a hydrogen the model lacks, a residue it lacks, and a bond between residues",
       {"h covale A ACE 1 CH3 1_555 A ACE 1 H1 1_555\n", peptide,
        "gone covale A ACE 9 C 1_555 A ACE 9 CH3 1_555\n"},
       1,
       2,
       "N",
       "  INFO: 2 connection rows join two atoms of one residue: passed over, as that residue's "
       "own bonds\n"},
      {"the copy across a two-fold",
       {"mate covale A ACE 1 C 1_555 A ACE 1 C 2_555\n"},
       1,
       1,
       "C",
       ""},
      {"one atom at both ends, a code of operator 0",
       {"self covale A ACE 1 C 1_555 A ACE 1 C 0_555\n"},
       0,
       0,
       "",
       "  WARNING : connection row joins atom C ACE AA 1 to itself: no link is made\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::string rows;
    for (const char* r : c.rows) rows += r;
    write("own", "data_t\n" + std::string(kCell) + "_symmetry.space_group_name_H-M 'P 1 21 1'\n" +
                     "loop_\n_struct_conn.id\n_struct_conn.conn_type_id\n"
                     "_struct_conn.ptnr1_label_asym_id\n_struct_conn.ptnr1_label_comp_id\n"
                     "_struct_conn.ptnr1_label_seq_id\n_struct_conn.ptnr1_label_atom_id\n"
                     "_struct_conn.ptnr1_symmetry\n_struct_conn.ptnr2_label_asym_id\n"
                     "_struct_conn.ptnr2_label_comp_id\n_struct_conn.ptnr2_label_seq_id\n"
                     "_struct_conn.ptnr2_label_atom_id\n_struct_conn.ptnr2_symmetry\n" +
                     rows + atoms);
    ASSERT_EQ(read_out("own"), 0) << out_;
    ASSERT_EQ(link_inf.ln_n, c.links) << out_;
    if (*c.message != '\0') {
      EXPECT_NE(out_.find(c.message), std::string::npos) << out_;
    }
    EXPECT_EQ(count_of(out_, "to itself") + count_of(out_, "one residue"), *c.message ? 1 : 0)
        << out_;
    EXPECT_EQ(count_of(out_, "names no operator"), 0) << out_;
    if (c.links == 1) {
      EXPECT_EQ(link_inf.ln_1ires(1), 1);
      EXPECT_EQ(link_inf.ln_2ires(1), c.ires2);
      EXPECT_EQ(link_inf.ln_atom2(1).str(), std::string(c.atom2) + "    ");
    }
  }
}
