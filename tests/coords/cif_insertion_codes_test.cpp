// Insertion codes of the archive's form of mmCIF, which keeps them in an
// item of their own: each residue of a run 37, 37A ... 37D keeps its own key,
// as the same entry in PDB form gives it.
#include <string>
#include <vector>

#include "cif_test_util.h"
#include "coords/pdb_reader.h"

namespace {

std::string key(int32_t r) {
  return r < 1 || r > resid_inf.n_residue ? "none" : std::string(resid_inf.res_num_pdb(r).sub(3, 7));
}

// Key (columns 3-7 of the residue text), name and atom count of each
// residue, then the residues of the first link.
std::vector<std::string> residues() {
  std::vector<std::string> out;
  for (int32_t r = 1; r <= resid_inf.n_residue; ++r)
    out.push_back(key(r) + "|" + std::string(resid_inf.res_name(r).trimmed()) + "|" +
                  std::to_string(resid_inf.natm_res(r)));
  out.push_back("link " + key(link_inf.ln_1ires(1)) + "|" + key(link_inf.ln_2ires(1)));
  return out;
}

using CifInsertionCodes = CifFiles;

}  // namespace

TEST_F(CifInsertionCodes, RunOfCodesGivesTheResiduesOfThePdbForm) {
  ASSERT_EQ(read_data("cif_insertion_run"), 0);
  const std::vector<std::string> from_cif = residues();
  EXPECT_EQ(from_cif, (std::vector<std::string>{"  36 |ALA|2", "  37 |SER|2", "  37A|GLY|2",
                                                "  37B|PRO|2", "  37C|LYS|2", "  37D|GLY|2",
                                                "  38 |VAL|2", "link   37 |  37D"}));
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  static const float none[6] = {0, 0, 0, 0, 0, 0};
  captured([&] {
    get_pdb_(99, ORB_TEST_DATA_DIR "/pdb_insertion_run.pdb", 0, none, 'N', 'N', 'N', ierr);
  });
  ASSERT_EQ(ierr, 0);
  EXPECT_EQ(residues(), from_cif);
}

// A code of more than one character is refused, as an author number with
// two letters is: cut to its first, 37AB and 37AC would be one residue.
TEST_F(CifInsertionCodes, CodeOfTheAuthorNumberComesFirst) {
  struct Case {
    const char *label, *auth, *ins, *key;
    const char* refused = nullptr;
  };
  const Case cases[] = {
      {"code in its own item", "37", "A", "  37A"},
      {"a dot for no code", "37", ".", "  37 "},
      {"author number with a code of its own", "37A", "B", "  37A"},
      {"negative number", "-5", "C", "  -5C"},
      {"a code of two letters", "37", "AB", "",
       "atom 1: _atom_site.pdbx_PDB_ins_code \"AB\" is more than one character"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    write("ins", cif_header() +
                     atom_loop({"id", "label_atom_id", "label_comp_id", "label_asym_id",
                                "pdbx_PDB_ins_code", "Cartn_x", "Cartn_y", "Cartn_z",
                                "auth_seq_id"}) +
                     "1 N GLY A " + c.ins + " 0 0 0 " + c.auth + "\n");
    if (c.refused != nullptr) {
      EXPECT_EQ(read_out("ins"), 3);
      EXPECT_NE(out_.find(std::string("  ERROR: ") + c.refused + ", row at line "),
                std::string::npos)
          << out_;
      EXPECT_EQ(atom_inf.n_atom, 0);
      continue;
    }
    ASSERT_EQ(read("ins"), 0);
    ASSERT_EQ(resid_inf.n_residue, 1);
    EXPECT_EQ(std::string(resid_inf.res_num_pdb(1).sub(3, 7)), c.key);
  }
}

TEST_F(CifInsertionCodes, CodeCompletesTheFilesNumberWithoutAnAuthorNumber) {
  // A writer whose sequence number is the author's gives no author number:
  // SER 52 and PRO 52A stay two residues.
  write("seq",
        cif_header() +
            atom_loop({"id", "label_atom_id", "label_comp_id", "label_asym_id", "label_seq_id",
                       "pdbx_PDB_ins_code", "Cartn_x", "Cartn_y", "Cartn_z"}) +
            "1 N SER A 52 ? 0 0 0\n2 N PRO A 52 A 1 0 0\n3 N GLY A 53 . 2 0 0\n");
  ASSERT_EQ(read("seq"), 0);
  ASSERT_EQ(resid_inf.n_residue, 3);
  EXPECT_EQ(std::string(resid_inf.res_num_pdb(1).sub(3, 7)), "  52 ");
  EXPECT_EQ(std::string(resid_inf.res_num_pdb(2).sub(3, 7)), "  52A");
  EXPECT_EQ(std::string(resid_inf.res_num_pdb(3).sub(3, 7)), "  53 ");
}
