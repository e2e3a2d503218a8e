// Whole reads of real mmCIF entries, and one model read from its PDB and its
// mmCIF form.  The expected counts were taken from the files: 1A8O has 556
// protein atoms in 70 residues of asym A and 88 waters in asym B, and seven
// struct_conn rows; 1SSU_mod has four atoms alternating between asyms A and B.
// 4Q9R_min is a revision-item loop only, whose values quote atom-site item
// names; it has no atom list.
#include "cif_test_util.h"

#include <cmath>
#include <sstream>

#include "coords/pdb_reader.h"

using CifRealFiles = CifFiles;

TEST_F(CifRealFiles, Entry1A8O) {
  testing::internal::CaptureStdout();
  const int32_t st = read_data("cif_1A8O", 0);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(st, 0);
  EXPECT_NE(out.find(" Number of chains     :       2\n"), std::string::npos);
  EXPECT_NE(out.find(" Number of monomers   :     158\n"), std::string::npos);
  EXPECT_NE(out.find(" Number of atoms      :     644\n"), std::string::npos);
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(asym_part.nres_chain(1), 70);
  EXPECT_EQ(asym_part.natm_chain(1), 556);
  EXPECT_EQ(asym_part.nres_chain(2), 88);
  EXPECT_EQ(asym_part.ich_type(1), 3);
  EXPECT_EQ(asym_part.ich_type(2), 9);
  EXPECT_EQ(asym_part.iterm_f_type(1), 2);  // the last GLY carries OXT
  EXPECT_EQ(link_inf.ln_n, 7);
  EXPECT_EQ(link_inf.ln_id(1).trimmed(), "disulf");
  EXPECT_EQ(link_inf.ln_seq1(1).str(), " 198 ");
  EXPECT_EQ(link_inf.ln_1ires(1), 48);
  // Entity description built from the model: the protein and one water entity.
  ASSERT_EQ(cif_entity_list.n_chn_ent, 2);
  EXPECT_EQ(cif_entity_list.ent_chain_type(1).trimmed(), "polypeptide");
  EXPECT_EQ(cif_entity_list.ent_nres_chain(1), 70);
  EXPECT_EQ(cif_entity_list.ent_res_start_tree(1).str(), " 151 ");
  EXPECT_EQ(cif_entity_list.ent_res_end_tree(1).str(), " 220 ");
  EXPECT_EQ(cif_entity_list.ent_chain_id(2).trimmed(), "HOH");
  EXPECT_EQ(cif_entity_list.ent_chain_type(2).trimmed(), "water");
  EXPECT_EQ(crst_crd.cs_spgr.trimmed(), "P 43 21 2");
  EXPECT_EQ(crst_crd.cs_nsym, 8);
  EXPECT_NEAR(crst_crd.cs_cell(3), 88.92f, 1e-3f);
  EXPECT_NEAR(atom_crd.xyz_crd(1, 1), 19.594f, 2e-3f);
  EXPECT_NEAR(atom_crd.xyz_crd(2, 644), 33.111f, 2e-3f);
  EXPECT_EQ(atom_inf.atm_name(556).trimmed(), "OXT");
  EXPECT_EQ(resid_inf.res_num_pdb(1).sub(3, 7), " 151 ");
}

TEST_F(CifRealFiles, EveryModelAtomIsItsOwnChain) {
  EXPECT_EQ(read_data("cif_1SSU_mod"), 8);
  EXPECT_EQ(asym_part.n_group, 4);
  EXPECT_EQ(resid_inf.n_residue, 4);
  EXPECT_EQ(atom_inf.n_atom, 4);
  EXPECT_EQ(atom_inf.i_atold(4), 758);
  EXPECT_EQ(asym_part.group_id(3).trimmed(), "AA");
}

TEST_F(CifRealFiles, PdbAndCifFormsGiveTheSameAtoms) {
  ASSERT_EQ(read_data("cif_1A8O"), 0);
  const int n = atom_inf.n_atom;
  std::vector<float> xyz(3 * n);
  std::vector<std::string> names(n);
  for (int a = 1; a <= n; ++a) {
    for (int i = 1; i <= 3; ++i) xyz[3 * (a - 1) + i - 1] = atom_crd.xyz_crd(i, a);
    names[a - 1] = std::string(atom_inf.atm_name(a).trimmed());
  }
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  int32_t ierr = 0;
  testing::internal::CaptureStdout();
  get_pdb_(-999, ORB_TEST_DATA_DIR "/1A8O.pdb", 0, cell, 'N', 'N', 'N', ierr);
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(atom_inf.n_atom, n);
  int worst = 0;
  float dmax = 0;
  for (int a = 1; a <= n; ++a) {
    for (int i = 1; i <= 3; ++i) {
      const float d = std::fabs(atom_crd.xyz_crd(i, a) - xyz[3 * (a - 1) + i - 1]);
      if (d > dmax) {
        dmax = d;
        worst = a;
      }
    }
    EXPECT_EQ(std::string(atom_inf.atm_name(a).trimmed()), names[a - 1]) << "atom " << a;
  }
  EXPECT_LT(dmax, 2e-3f) << "atom " << worst;
}

TEST_F(CifRealFiles, QuotedAtomSiteNamesInEntry4Q9RAreValues) {
  // The four revision rows read as values: the header goes on to the end of
  // the file and finds no atom list.
  testing::internal::CaptureStdout();
  EXPECT_EQ(read_data("cif_4Q9R_min", 0), 2);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find(" ERROR: reading title of input file"), std::string::npos) << out;
  EXPECT_EQ(out.find("CIF_read"), std::string::npos) << out;
  EXPECT_EQ(asym_part.n_group, 0);
  EXPECT_EQ(resid_inf.n_residue, 0);
  EXPECT_EQ(atom_inf.n_atom, 0);

  // The same entry followed by a cell, a space group and five atoms: two
  // alanine/glycine residues of asym A (four atoms) and one water of asym B.
  std::ifstream in(ORB_TEST_DATA_DIR "/cif_4Q9R_min.cif");
  std::stringstream entry;
  entry << in.rdbuf();
  write("q9r", entry.str() + kCell + "_symmetry.space_group_name_H-M 'P 21 21 21'\n" + kAtomLoop +
                   "ATOM 1 N N . ALA A 1 1 1.000 2.000 3.000 1.00 10.00 1\n"
                   "ATOM 2 C CA . ALA A 1 1 2.000 2.000 3.000 1.00 10.00 1\n"
                   "ATOM 3 N N . GLY A 1 2 3.000 2.000 3.000 1.00 10.00 2\n"
                   "ATOM 4 C CA . GLY A 1 2 4.000 2.000 3.000 1.00 10.00 2\n"
                   "HETATM 5 O O . HOH B 2 . 5.000 6.000 7.000 1.00 20.00 101\n");
  testing::internal::CaptureStdout();
  EXPECT_EQ(read("q9r", 0), 0);
  out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.find("CIF_read"), std::string::npos) << out;
  EXPECT_NE(out.find(" Number of chains     :       2\n"), std::string::npos) << out;
  EXPECT_NE(out.find(" Number of monomers   :       3\n"), std::string::npos) << out;
  EXPECT_NE(out.find(" Number of atoms      :       5\n"), std::string::npos) << out;
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
