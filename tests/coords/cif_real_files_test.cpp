// Whole reads of real mmCIF entries.  The expectations come from the files
// themselves: a plain scan of the atom-site loop (columns split at blanks,
// which these entries allow, a value in double quotes taken without them)
// gives the atoms of the first model with a positive serial, the chains
// (runs of one asym identifier), the residues (runs of one asym and author
// number) and the coordinates, independently of the tokeniser.
#include "cif_test_util.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "coords/pdb_reader.h"

namespace {

std::vector<std::string> blank_split(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream ss(line);
  std::string w;
  while (ss >> w) out.push_back(w);
  return out;
}

bool begins(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }

std::string unquoted(const std::string& v) {
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
  return v;
}

struct ScannedAtom {
  int serial;
  std::string name, asym, auth_seq, comp;
  float xyz[3];
};

// The atom-site loop and the struct_conn loop of an entry, read line by line.
struct EntryScan {
  std::vector<ScannedAtom> atoms;  // rows of the first model with a positive integer serial
  int rows = 0;                    // every row of the atom-site loop
  int later_model_rows = 0;        // rows of models after the first
  std::string first_model;
  int chains = 0;
  int residues = 0;
  std::vector<int> chain_residues, chain_atoms;
  std::vector<std::vector<std::string>> conn;  // struct_conn rows
  std::map<std::string, int> conn_col;
  bool has_block = false, has_symmetry = false, has_cell = false;

  // Index (1-based) of the residue where asym `asym` first has author
  // number `seq`; 0 when none.
  int residue_of(const std::string& asym, const std::string& seq) const {
    int r = 0;
    std::string pa, ps;
    for (const ScannedAtom& a : atoms) {
      if (a.asym != pa || a.auth_seq != ps) ++r;
      pa = a.asym;
      ps = a.auth_seq;
      if (a.asym == asym && a.auth_seq == seq) return r;
    }
    return 0;
  }
};

EntryScan scan_entry(const std::string& path) {
  EntryScan s;
  std::istringstream in(file_text(path));
  std::string line;
  std::vector<std::string> cols;
  std::string loop_of;  // "atom" or "conn" while inside that loop's rows
  bool in_names = false;
  while (std::getline(in, line)) {
    if (begins(line, "data_")) s.has_block = true;
    if (begins(line, "_symmetry.")) s.has_symmetry = true;
    if (begins(line, "_cell.length")) s.has_cell = true;
    if (begins(line, "loop_")) {
      cols.clear();
      loop_of.clear();
      in_names = true;
      continue;
    }
    if (begins(line, "_")) {
      const std::string name = blank_split(line)[0];
      if (in_names) {
        cols.push_back(name);
        if (begins(name, "_atom_site.")) loop_of = "atom";
        if (begins(name, "_struct_conn.")) {
          loop_of = "conn";
          s.conn_col[name] = static_cast<int>(cols.size()) - 1;
        }
      }
      continue;
    }
    in_names = false;
    if (line.empty() || line[0] == '#') {
      loop_of.clear();
      continue;
    }
    const std::vector<std::string> v = blank_split(line);
    if (loop_of == "conn") {
      EXPECT_EQ(v.size(), cols.size()) << line;
      s.conn.push_back(v);
      continue;
    }
    if (loop_of != "atom") continue;
    EXPECT_EQ(v.size(), cols.size()) << line;
    if (v.size() != cols.size()) continue;
    auto col = [&](const char* n) {
      for (std::size_t k = 0; k < cols.size(); ++k)
        if (cols[k] == n) return v[k];
      return std::string();
    };
    ++s.rows;
    const std::string model = col("_atom_site.pdbx_PDB_model_num");
    if (s.first_model.empty()) s.first_model = model;
    if (model != s.first_model) {
      ++s.later_model_rows;
      continue;
    }
    char* end = nullptr;
    const std::string id = col("_atom_site.id");
    const long serial = std::strtol(id.c_str(), &end, 10);
    if (*end != '\0' || serial <= 0) continue;
    ScannedAtom a;
    a.serial = static_cast<int>(serial);
    a.name = unquoted(col("_atom_site.label_atom_id"));
    a.asym = col("_atom_site.label_asym_id");
    a.auth_seq = col("_atom_site.auth_seq_id");
    a.comp = col("_atom_site.label_comp_id");
    a.xyz[0] = std::strtof(col("_atom_site.Cartn_x").c_str(), nullptr);
    a.xyz[1] = std::strtof(col("_atom_site.Cartn_y").c_str(), nullptr);
    a.xyz[2] = std::strtof(col("_atom_site.Cartn_z").c_str(), nullptr);
    const bool new_chain = s.atoms.empty() || a.asym != s.atoms.back().asym;
    const bool new_res = new_chain || a.auth_seq != s.atoms.back().auth_seq;
    if (new_chain) {
      ++s.chains;
      s.chain_residues.push_back(0);
      s.chain_atoms.push_back(0);
    }
    if (new_res) {
      ++s.residues;
      ++s.chain_residues.back();
    }
    ++s.chain_atoms.back();
    s.atoms.push_back(a);
  }
  return s;
}

// The author number in the reader's five-column form: right-justified in
// four columns, a blank for the insertion code.
std::string number_text(const std::string& seq) {
  const std::string n = seq.size() > 4 ? seq.substr(seq.size() - 4) : seq;
  return std::string(4 - n.size(), ' ') + n + " ";
}

class CifRealFiles : public CifFiles {
 protected:
  // Every atom of the scan against the structure tables, in order.
  // The count lines of the read are checked too.
  void expect_atoms_match(const EntryScan& s) {
    EXPECT_NE(out_.find(count_lines(s.chains, s.residues, static_cast<int>(s.atoms.size()))), std::string::npos)
        << out_;
    ASSERT_EQ(atom_inf.n_atom, static_cast<int>(s.atoms.size()));
    ASSERT_EQ(asym_part.n_group, s.chains);
    ASSERT_EQ(resid_inf.n_residue, s.residues);
    for (int g = 1; g <= s.chains; ++g) {
      EXPECT_EQ(asym_part.nres_chain(g), s.chain_residues[g - 1]) << "chain " << g;
      EXPECT_EQ(asym_part.natm_chain(g), s.chain_atoms[g - 1]) << "chain " << g;
    }
    float worst = 0;
    for (int a = 1; a <= atom_inf.n_atom; ++a) {
      const ScannedAtom& f = s.atoms[a - 1];
      EXPECT_EQ(atom_inf.i_atold(a), f.serial) << "atom " << a;
      EXPECT_EQ(std::string(atom_inf.atm_name(a).trimmed()), f.name) << "atom " << a;
      const int r = atom_inf.i_resid(a);
      EXPECT_EQ(std::string(resid_inf.res_name(r).trimmed()), f.comp) << "atom " << a;
      EXPECT_EQ(std::string(resid_inf.res_num_pdb(r).sub(3, 7)), number_text(f.auth_seq)) << "atom " << a;
      // A one-character asym identifier is doubled into the group identifier.
      const std::string group = f.asym.size() == 1 ? f.asym + f.asym : f.asym;
      EXPECT_EQ(std::string(asym_part.group_id(resid_inf.i_chain(r)).trimmed()), group) << "atom " << a;
      for (int i = 1; i <= 3; ++i) worst = std::fmax(worst, std::fabs(atom_crd.xyz_crd(i, a) - f.xyz[i - 1]));
    }
    // In the standard frame of the cell the coordinates are kept as
    // written: equal to the file's well within its third decimal.
    EXPECT_LT(worst, 1e-4f);
  }
};

}  // namespace

TEST_F(CifRealFiles, Entry1A8OAtomsResiduesAndChains) {
  const EntryScan s = scan_entry(ORB_TEST_DATA_DIR "/cif_1A8O.cif");
  ASSERT_TRUE(s.has_symmetry && s.has_cell);
  EXPECT_EQ(read_out("cif_1A8O", 0, true), 0) << out_;
  expect_atoms_match(s);
  // Protein first, then waters: a peptide chain and a water chain; the last
  // protein atom is the terminal oxygen.
  EXPECT_EQ(asym_part.ich_type(1), 3);
  EXPECT_EQ(asym_part.ich_type(2), 9);
  EXPECT_EQ(s.atoms[s.chain_atoms[0] - 1].name, "OXT");
  EXPECT_EQ(asym_part.iterm_f_type(1), 2);
  // Entity description built from the model: one per chain.
  ASSERT_EQ(cif_entity_list.n_chn_ent, 2);
  EXPECT_EQ(cif_entity_list.ent_chain_type(1).trimmed(), "polypeptide");
  EXPECT_EQ(cif_entity_list.ent_nres_chain(1), s.chain_residues[0]);
  EXPECT_EQ(cif_entity_list.ent_res_start_tree(1).str(), number_text(s.atoms.front().auth_seq));
  EXPECT_EQ(cif_entity_list.ent_res_end_tree(1).str(), number_text(s.atoms[s.chain_atoms[0] - 1].auth_seq));
  EXPECT_EQ(cif_entity_list.ent_chain_type(2).trimmed(), "water");
  EXPECT_EQ(crst_crd.cs_spgr.trimmed(), "P 43 21 2");
  EXPECT_EQ(crst_crd.cs_nsym, 8);
  EXPECT_NEAR(crst_crd.cs_cell(3), 88.92f, 1e-3f);
}

TEST_F(CifRealFiles, Entry1A8OConnectionsFindTheirResidues) {
  const EntryScan s = scan_entry(ORB_TEST_DATA_DIR "/cif_1A8O.cif");
  ASSERT_FALSE(s.conn.empty());
  ASSERT_EQ(read_data("cif_1A8O"), 0);
  ASSERT_EQ(link_inf.ln_n, static_cast<int>(s.conn.size()));
  const int type = s.conn_col.at("_struct_conn.conn_type_id");
  const int asym1 = s.conn_col.at("_struct_conn.ptnr1_label_asym_id");
  const int seq1 = s.conn_col.at("_struct_conn.ptnr1_auth_seq_id");
  const int asym2 = s.conn_col.at("_struct_conn.ptnr2_label_asym_id");
  const int seq2 = s.conn_col.at("_struct_conn.ptnr2_auth_seq_id");
  for (int l = 1; l <= link_inf.ln_n; ++l) {
    const std::vector<std::string>& row = s.conn[l - 1];
    EXPECT_EQ(std::string(link_inf.ln_id(l).trimmed()), row[type]) << "link " << l;
    EXPECT_EQ(link_inf.ln_seq1(l).str(), number_text(row[seq1])) << "link " << l;
    EXPECT_EQ(link_inf.ln_seq2(l).str(), number_text(row[seq2])) << "link " << l;
    EXPECT_EQ(link_inf.ln_1ires(l), s.residue_of(row[asym1], row[seq1])) << "link " << l;
    EXPECT_EQ(link_inf.ln_2ires(l), s.residue_of(row[asym2], row[seq2])) << "link " << l;
    EXPECT_GT(link_inf.ln_1ires(l), 0) << "link " << l;
    EXPECT_EQ(resid_inf.link_flag(link_inf.ln_1ires(l)).str(), "Y") << "link " << l;
  }
}

TEST_F(CifRealFiles, OnlyTheFirstModelOfTwoIsRead) {
  // Two models of two asyms, one atom each: the atoms of model 1 in two
  // chains, as the PDB form of the same entry gives them.
  const EntryScan s = scan_entry(ORB_TEST_DATA_DIR "/cif_1SSU_mod.cif");
  ASSERT_FALSE(s.has_symmetry);
  ASSERT_EQ(s.later_model_rows, 2);
  // No space-group item: a complete read that says so with 8.
  EXPECT_EQ(read_out("cif_1SSU_mod", 0, true), 8);
  expect_atoms_match(s);
  EXPECT_EQ(atom_inf.n_atom, 2);
  EXPECT_EQ(asym_part.n_group, 2);
}

TEST_F(CifRealFiles, NmrEntry2BEGGivesItsFirstModelAsThePdbFormDoes) {
  const EntryScan s = scan_entry(ORB_TEST_DATA_DIR "/cif_2BEG.cif");
  // Ten models of equal size.
  ASSERT_EQ(s.later_model_rows, 9 * static_cast<int>(s.atoms.size()));
  read_out("cif_2BEG", 0, true);
  expect_atoms_match(s);
  const int n = atom_inf.n_atom;
  std::vector<std::array<float, 3>> xyz(n + 1);
  for (int a = 1; a <= n; ++a)
    for (int i = 1; i <= 3; ++i) xyz[a][i - 1] = atom_crd.xyz_crd(i, a);
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  int32_t ierr = 0;
  captured([&] { get_pdb_(-999, ORB_TEST_DATA_DIR "/2BEG.pdb", 0, cell, 'N', 'N', 'N', ierr); });
  EXPECT_EQ(ierr, 0);
  ASSERT_EQ(atom_inf.n_atom, n);
  EXPECT_EQ(asym_part.n_group, s.chains);
  for (int a = 1; a <= n; ++a)
    for (int i = 1; i <= 3; ++i) ASSERT_EQ(atom_crd.xyz_crd(i, a), xyz[a][i - 1]) << "atom " << a;
}

TEST_F(CifRealFiles, PrimedNamesInDoubleQuotesOfA1LCDExcerpt) {
  // The archive's quoting of nucleic-acid atom names: read without the
  // quotes, the first model only, and the same atoms as the PDB form.
  const EntryScan s = scan_entry(ORB_TEST_DATA_DIR "/cif_1LCD_dna.cif");
  ASSERT_EQ(s.atoms.size(), 25u);
  ASSERT_EQ(s.later_model_rows, 1);
  ASSERT_EQ(s.atoms[0].name, "O5'");
  read_out("cif_1LCD_dna", 0, true);
  expect_atoms_match(s);
  std::vector<std::string> names;
  for (int a = 1; a <= atom_inf.n_atom; ++a) {
    names.push_back(std::string(atom_inf.atm_name(a).trimmed()));
    EXPECT_EQ(names.back().find('"'), std::string::npos) << "atom " << a;
  }
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  int32_t ierr = 0;
  captured([&] { get_pdb_(-999, ORB_TEST_DATA_DIR "/1LCD.pdb", 0, cell, 'N', 'N', 'N', ierr); });
  ASSERT_GE(atom_inf.n_atom, 25);
  for (int a = 1; a <= 25; ++a) {
    EXPECT_EQ(std::string(atom_inf.atm_name(a).trimmed()), names[a - 1]) << "atom " << a;
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(atom_crd.xyz_crd(i, a), s.atoms[a - 1].xyz[i - 1]) << "atom " << a;
  }
}

TEST_F(CifRealFiles, PdbAndCifFormsGiveTheSameAtoms) {
  ASSERT_EQ(read_data("cif_1A8O"), 0);
  const int n = atom_inf.n_atom;
  std::vector<std::array<float, 3>> xyz(n + 1);
  std::vector<std::string> names(n + 1);
  for (int a = 1; a <= n; ++a) {
    for (int i = 1; i <= 3; ++i) xyz[a][i - 1] = atom_crd.xyz_crd(i, a);
    names[a] = std::string(atom_inf.atm_name(a).trimmed());
  }
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  int32_t ierr = 0;
  captured([&] { get_pdb_(-999, ORB_TEST_DATA_DIR "/1A8O.pdb", 0, cell, 'N', 'N', 'N', ierr); });
  ASSERT_EQ(atom_inf.n_atom, n);
  for (int a = 1; a <= n; ++a) {
    for (int i = 1; i <= 3; ++i) EXPECT_NEAR(atom_crd.xyz_crd(i, a), xyz[a][i - 1], 1e-4f) << "atom " << a;
    EXPECT_EQ(std::string(atom_inf.atm_name(a).trimmed()), names[a]) << "atom " << a;
  }
}

TEST_F(CifRealFiles, AtomListWithoutDataBlockIsNotEntered) {
  // The file holds an atom list but no "data_" line, so the tokeniser never
  // enters a block and the header ends at the end of the file.
  const std::string text = file_text(ORB_TEST_DATA_DIR "/cif_a_structure.cif");
  const EntryScan s = scan_entry(ORB_TEST_DATA_DIR "/cif_a_structure.cif");
  ASSERT_FALSE(s.has_block);
  ASSERT_GT(s.atoms.size(), 0u);
  EXPECT_EQ(read_out("cif_a_structure", 0, true), 2);
  EXPECT_NE(out_.find(" ERROR: reading title of input file"), std::string::npos) << out_;

  // With a block line in front the same list is read up to its one row
  // whose serial is not a number, which stops the read.
  EXPECT_EQ(s.rows, static_cast<int>(s.atoms.size()) + 1);
  write("with_block", "data_a\n" + text);
  EXPECT_EQ(read_out("with_block"), 3);
  EXPECT_NE(out_.find(" ERROR: atom serial \"A\" is not a positive number"), std::string::npos) << out_;
}

TEST_F(CifRealFiles, QuotedAtomSiteNamesInEntry4Q9RAreValues) {
  // The revision rows quote atom-site item names as values: the header goes
  // on to the end of the file and finds no atom list.
  const std::string entry = file_text(ORB_TEST_DATA_DIR "/cif_4Q9R_min.cif");
  ASSERT_NE(entry.find("'_atom_site."), std::string::npos);
  ASSERT_EQ(entry.find("\n_atom_site."), std::string::npos);
  EXPECT_EQ(read_out("cif_4Q9R_min", 0, true), 2);
  EXPECT_NE(out_.find(" ERROR: input file holds no atoms (no ATOM or HETATM record, no atom list)\n"),
            std::string::npos)
      << out_;
  EXPECT_EQ(out_.find("CIF_read"), std::string::npos) << out_;
  EXPECT_EQ(atom_inf.n_atom, 0);

  // The same entry followed by a cell, a space group and five atoms: two
  // alanine/glycine residues of asym A (four atoms) and one water of asym B.
  write("q9r", entry + kCell + "_symmetry.space_group_name_H-M 'P 21 21 21'\n" + kAtomLoop +
                   "ATOM 1 N N . ALA A 1 1 1.000 2.000 3.000 1.00 10.00 1\n"
                   "ATOM 2 C CA . ALA A 1 1 2.000 2.000 3.000 1.00 10.00 1\n"
                   "ATOM 3 N N . GLY A 1 2 3.000 2.000 3.000 1.00 10.00 2\n"
                   "ATOM 4 C CA . GLY A 1 2 4.000 2.000 3.000 1.00 10.00 2\n"
                   "HETATM 5 O O . HOH B 2 . 5.000 6.000 7.000 1.00 20.00 101\n");
  EXPECT_EQ(read_out("q9r"), 0);
  EXPECT_EQ(out_.find("CIF_read"), std::string::npos) << out_;
  EXPECT_NE(out_.find(count_lines(2, 3, 5)), std::string::npos) << out_;
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(asym_part.group_id(1).trimmed(), "AA");
  EXPECT_EQ(asym_part.nres_chain(1), 2);
  EXPECT_EQ(asym_part.natm_chain(1), 4);
  EXPECT_EQ(asym_part.group_id(2).trimmed(), "BB");
  EXPECT_EQ(asym_part.natm_chain(2), 1);
  EXPECT_EQ(resid_inf.res_name(3).trimmed(), "HOH");
  EXPECT_EQ(resid_inf.res_num_pdb(3).sub(3, 7), " 101 ");
  // The cell and space group after the revision loop are read.
  EXPECT_FLOAT_EQ(crst_crd.cs_cell(2), 20.0f);
  EXPECT_EQ(crst_crd.cs_nspgr, 19);
  EXPECT_NEAR(atom_crd.xyz_crd(3, 5), 7.0f, 1e-4f);
}
