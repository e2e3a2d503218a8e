// CIF header reading: entry values, cell and symmetry with their defaults,
// the statuses of files that cannot be read, and small-molecule files.
#include "cif_test_util.h"

#include <cmath>
#include <fstream>

#include "coords/cif_header.h"
#include "runtime/run.h"

using CifHeader = CifFiles;

namespace {

const std::string kOneAtom = kShortLoop + "1 CA ALA A 1 1.0 2.0 3.0\n";

const float kDeg = 4.0f * std::atan(1.0f) / 180.0f;

constexpr const char* kLongTitle =
    "SOLUTION STRUCTURE OF CONOTOXIN Y-PIIIE FROM CONUS PURPURASCENS, NMR, 14 STRUCTURES: THE TOXIN'S FOLD";

}  // namespace

TEST_F(CifHeader, EntryValuesCellAndSpaceGroup) {
  write("h",
        "data_x\n_entry.id 1ABC\n_struct.title 'A small test'\n_audit.creation_date 2004-11-07\n"
        "_struct_keywords.text HYDROLASE\n"
        "_cell.length_a 10.0\n_cell.length_a_esd ?\n_cell.length_b 20.0\n_cell.length_c 30.0\n"
        "_cell.angle_alpha 90.0\n_cell.angle_beta 100.0\n_cell.angle_gamma 90.0\n"
        "_symmetry.space_group_name_H-M 'P 21 21 21'\n" + kOneAtom);
  ASSERT_EQ(read("h"), 0);
  EXPECT_EQ(crdinf.cr_cd_pdb.str(), "1ABC");
  EXPECT_EQ(crdinf.cr_date_pdb.str(), "07-NOV-04");
  EXPECT_EQ(crdinf.cr_title.trimmed(), "A small test");
  EXPECT_EQ(crdinf.cr_name_pdb.trimmed(), "HYDROLASE");
  EXPECT_FLOAT_EQ(crst_crd.cs_cell(1), 10.0f);
  EXPECT_FLOAT_EQ(crst_crd.cs_cell(5), 100.0f * kDeg);
  EXPECT_EQ(crst_crd.cs_nsym, 4);
  EXPECT_EQ(crst_crd.cs_nspgr, 19);
  // A date not in the CIF form is kept as text.
  write("dt", std::string("data_x\n_audit.creation_date 07-NOV-04\n") + kOneAtom);
  read("dt");
  EXPECT_EQ(crdinf.cr_date_pdb.str(), "07-NOV-04");
}

TEST_F(CifHeader, MissingCellAndSpaceGroupTakeDefaults) {
  write("d", std::string("data_x\n_cell.length_a 50\n") + kOneAtom);
  ASSERT_EQ(read("d"), 8);
  EXPECT_FLOAT_EQ(crst_crd.cs_cell(1), 100.0f);
  EXPECT_FLOAT_EQ(crst_crd.cs_cell(6), 2.0f * std::atan(1.0f));
  EXPECT_EQ(crst_crd.cs_spgr.trimmed(), "P 1");
  EXPECT_EQ(crst_crd.cs_nsym, 1);
  // Orthogonal coordinates come back through the default cell unchanged.
  EXPECT_NEAR(atom_crd.xyz_crd(3, 1), 3.0f, 1e-4f);
  // The default warnings are printed whatever the caller's message code,
  // as the PDB reader's for an absent CRYST1 are.
  write("w", std::string("data_x\n") + kOneAtom);
  EXPECT_EQ(read_out("w"), 8);
  EXPECT_NE(out_.find("  WARNING: CELL parameters are missing, default : 100,100,100,90,90,90\n"
                      "  WARNING: space group number and name are missing, default : P1\n"),
            std::string::npos)
      << out_;
  EXPECT_NE(out_.find(count_lines(1, 1, 1)), std::string::npos) << out_;
}

// A cell or matrix value "?" or "." beside a full matrix is one the file
// does not give, and so is a cell value that cannot stand in a cell: the
// cell is missing and the matrix is the cell's own, so the atom stays where
// the file puts it (with 0 for the value every atom went to the origin, or
// along the axis of the matrix element).
TEST_F(CifHeader, CellOrMatrixValueNotGivenLeavesTheAtomsInPlace) {
  const std::string matrix =
      "_atom_sites.fract_transf_matrix[1][1] 0.02\n_atom_sites.fract_transf_matrix[1][2] 0\n"
      "_atom_sites.fract_transf_matrix[1][3] 0\n_atom_sites.fract_transf_matrix[2][1] 0\n"
      "_atom_sites.fract_transf_matrix[2][2] 0.025\n_atom_sites.fract_transf_matrix[2][3] 0\n"
      "_atom_sites.fract_transf_matrix[3][1] 0\n_atom_sites.fract_transf_matrix[3][2] 0\n"
      "_atom_sites.fract_transf_matrix[3][3] 0.0125\n_atom_sites.fract_transf_vector[1] 0\n"
      "_atom_sites.fract_transf_vector[2] 0\n_atom_sites.fract_transf_vector[3] 0\n";
  const struct {
    const char *label, *from, *to;
    float a;  // the cell length a read
  } rows[] = {
      {"cell length unknown", "_cell.length_a 50", "_cell.length_a ?", 100.0f},
      {"cell angle not applicable", "_cell.angle_beta 90", "_cell.angle_beta .", 100.0f},
      {"matrix element unknown", "fract_transf_matrix[1][1] 0.02", "fract_transf_matrix[1][1] ?", 50.0f},
      // A value that cannot stand in a cell is one the file does not give.
      {"cell length 0", "_cell.length_a 50", "_cell.length_a 0", 100.0f},
      {"cell length below 0", "_cell.length_a 50", "_cell.length_a -5", 100.0f},
      {"cell length past a float", "_cell.length_a 50", "_cell.length_a 1e39", 100.0f},
      {"cell angle 0", "_cell.angle_beta 90", "_cell.angle_beta 0", 100.0f},
      {"cell angle of 180 degrees", "_cell.angle_beta 90", "_cell.angle_beta 180", 100.0f},
      {"cell length 100001", "_cell.length_a 50", "_cell.length_a 100001", 100.0f},
      {"cell angle of 0.03 degrees", "_cell.angle_alpha 90", "_cell.angle_alpha 0.03", 100.0f},
      {"cell angle of 179.97 degrees", "_cell.angle_gamma 90", "_cell.angle_gamma 179.97", 100.0f},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    std::string text = "data_x\n_cell.length_a 50\n_cell.length_b 40\n_cell.length_c 80\n"
                       "_cell.angle_alpha 90\n_cell.angle_beta 90\n_cell.angle_gamma 90\n" +
                       matrix + kOneAtom;
    text.replace(text.find(r.from), std::string(r.from).size(), r.to);
    write("c", text);
    ASSERT_EQ(read("c"), 8);
    EXPECT_FLOAT_EQ(crst_crd.cs_cell(1), r.a);
    EXPECT_NEAR(atom_crd.xyz_crd(1, 1), 1.0f, 1e-4f);
    EXPECT_NEAR(atom_crd.xyz_crd(2, 1), 2.0f, 1e-4f);
    EXPECT_NEAR(atom_crd.xyz_crd(3, 1), 3.0f, 1e-4f);
  }
}

// The header's categories wherever the model's data block puts them, the
// space group under its other names, and nothing from another block.
TEST_F(CifHeader, CategoriesAnywhereInTheModelsBlockAndNoOther) {
  const std::string sg = "_symmetry.space_group_name_H-M 'P 21 21 21'\n";
  const struct {
    const char* label;
    std::string text;
    int status;
    float a;           // cell edge a
    int nsym;          // operators of the group
    const char* title;  // "---" when none is given
  } rows[] = {
      {"archive order", "data_x\n_struct.title T\n" + std::string(kCell) + sg + kOneAtom, 0, 10.0f, 4, "T"},
      {"cell, group and title after the atoms", "data_x\n" + kOneAtom + kCell + sg + "_struct.title T\n", 0,
       10.0f, 4, "T"},
      {"the cell alone after the atoms", "data_x\n" + sg + kOneAtom + kCell, 0, 10.0f, 4, "---"},
      {"after the atoms and another category", "data_x\n" + kOneAtom + "loop_\n_pdbx_x.a\n1\n" + kCell + sg, 0,
       10.0f, 4, "---"},
      {"core names of the group in an mmCIF block",
       "data_x\n" + std::string(kCell) + "_symmetry_space_group_name_H-M 'P 21 21 21'\n" + kOneAtom, 0, 10.0f, 4,
       "---"},
      {"core number of the group alone", "data_x\n" + std::string(kCell) + "_symmetry_Int_Tables_number 19\n" +
       kOneAtom, 0, 10.0f, 4, "---"},
      {"the newer dictionary's group after the atoms", "data_x\n" + kOneAtom + kCell +
       "_space_group.IT_number 19\n_space_group_name_H-M_alt 'P 21 21 21'\n", 0, 10.0f, 4, "---"},
      {"the newer dictionary's name alone", "data_x\n" + std::string(kCell) +
       "_space_group.name_H-M_alt 'P 21 21 21'\n" + kOneAtom, 0, 10.0f, 4, "---"},
      {"a block before the model's", "data_a\n_struct.title A\n" + std::string(kCell) + sg + "data_x\n" + kOneAtom,
       8, 100.0f, 1, "---"},
      {"a block after the model's", "data_x\n" + kOneAtom + "data_b\n_struct.title B\n" + kCell + sg, 8, 100.0f,
       1, "---"},
      {"a name of the header inside a text field after the atoms", "data_x\n" + kOneAtom +
       "_pdbx_x.text\n;\n_cell.length_a 50\n;\n", 8, 100.0f, 1, "---"},
      {"a title in a text field over lines, apostrophe kept", "data_x\n_struct.title\n;3D Structure of "
       "Alzheimer's\n  Abeta fibrils \n;\n" + std::string(kCell) + sg + kOneAtom, 0, 10.0f, 4,
       "3D Structure of Alzheimer's Abeta fibrils"},
      {"a quoted title longer than a value's slot", "data_x\n_struct.title '" + std::string(kLongTitle) +
       "'\n" + kCell + sg + kOneAtom, 0, 10.0f, 4, kLongTitle},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    write("any", r.text);
    EXPECT_EQ(read("any"), r.status);
    EXPECT_FLOAT_EQ(crst_crd.cs_cell(1), r.a);
    EXPECT_EQ(crst_crd.cs_nsym, r.nsym);
    EXPECT_EQ(crdinf.cr_title.trimmed(), std::string_view(r.title));
    EXPECT_EQ(atom_inf.n_atom, 1);
    EXPECT_NEAR(atom_crd.xyz_crd(3, 1), 3.0f, 1e-4f);
  }
}

// A connection row after the atom list is a link of the model, and the
// software name of this system's own writer there makes the file its own.
TEST_F(CifHeader, ConnectionRowAndOwnWriterAfterTheAtoms) {
  const std::string conn =
      "_struct_conn.id c1\n_struct_conn.conn_type_id covale\n_struct_conn.ptnr1_label_asym_id A\n"
      "_struct_conn.ptnr1_label_comp_id ALA\n_struct_conn.ptnr1_auth_seq_id 1\n"
      "_struct_conn.ptnr1_label_atom_id CA\n_struct_conn.ptnr2_label_asym_id A\n"
      "_struct_conn.ptnr2_label_comp_id ALA\n_struct_conn.ptnr2_auth_seq_id 2\n"
      "_struct_conn.ptnr2_label_atom_id CA\n";
  const std::string two = kShortLoop + "1 CA ALA A 1 1.0 2.0 3.0\n2 CA ALA A 2 4.0 2.0 3.0\n";
  write("c", cif_header() + two + conn);
  ASSERT_EQ(read("c"), 0);
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_atom2(1).trimmed(), "CA");
  EXPECT_EQ(link_inf.ln_seq2(1).str(), "   2 ");
  EXPECT_EQ(crdinf.cr_soft.str(), ".");
  write("s", cif_header() + two + "_software.name 'blanc 1.0'\n");
  read("s");
  EXPECT_EQ(crdinf.cr_soft.str(), "B");
  write("o", cif_header() + two + "loop_\n_software.name\n_software.version\nREFMAC 5\n");
  read("o");
  EXPECT_EQ(crdinf.cr_soft.str(), ".");
}

// Past the atom list the header reader looks only for the items it takes:
// a name that merely begins like one leaves the first atom record to the
// row readers, the file read once; one it takes makes it read on (the row
// readers then read the file again).
TEST_F(CifHeader, LooksPastTheAtomsOnlyForItemsItTakes) {
  const std::string model = "data_x\n" + std::string(kCell) + "_symmetry.space_group_name_H-M 'P 1'\n" + kOneAtom;
  const std::string entities = "loop_\n_entity.id\n_entity.type\n1 polymer\n";
  const std::string core =
      "data_c\n_database_code_CSD ABC\n" + std::string(kCell) +
      "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\nC1 0.1 0.2 0.3\n";
  const struct {
    const char* label;
    std::string text;
    bool by_author;  // read as orbinate reads, by the author's items
    bool read_on;
  } rows[] = {
      {"the archive's caveats",
       model + "loop_\n_database_PDB_caveat.id\n_database_PDB_caveat.text\n1 'CHIRALITY ERROR'\n", false, false},
      {"a cell length's uncertainty", model + "_cell.length_a_esd 0.01\n", false, false},
      {"symmetry operators", model + "loop_\n_space_group_symop.id\n_space_group_symop.operation_xyz\n1 x,y,z\n",
       false, false},
      {"refinement counts", model + "_refine.ls_number_reflns_obs 500\n_reflns.number_obs 500\n", false, false},
      {"another writer's entities", model + entities, false, false},
      {"another writer's label chains", model + "loop_\n_struct_asym.id\n_struct_asym.entity_id\nA 1\n", false,
       false},
      {"a small-molecule file's scattering types", core + "loop_\n_atom_type_symbol\nC\n", false, false},
      {"another writer's entities read by the author's items", model + entities, true, true},
      {"a revision date", model + "_database_PDB_rev.date_original 1998-03-27\n", false, true},
      {"a resolution", model + "_refine.ls_d_res_high 2.0\n", false, true},
      {"a fractionalisation value", model + "_atom_sites.fract_transf_matrix[2][2] 0.05\n", false, true},
      {"scattering types", model + "loop_\n_atom_type.symbol\nC\n", false, true},
      {"a cell length of the core dictionary", core + "_cell_length_a 12\n", false, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    write("ahead", r.text);
    com_crd_cif.by_author = r.by_author ? 1 : 0;
    const float none[6] = {0, 0, 0, 0, 0, 0};
    int32_t in = crdinf.cri_iun, isg = 0, icell = 0, ierr = 0;
    open_crdcif_(99, in, dir_, "ahead", "cif", 0, none, isg, icell, ierr);
    com_crd_cif.by_author = 0;
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(com_crd_cif.held_unit == 0, r.read_on);
    rt::close_all_units();
  }
}

TEST_F(CifHeader, UserSpaceGroupAndCellWin) {
  write("u", std::string("data_x\n") + kCell + kOneAtom);
  const float cell[6] = {40, 50, 60, 90, 90, 120};
  ASSERT_EQ(read("u", 99, 4, cell), 0);
  EXPECT_FLOAT_EQ(crst_crd.cs_cell(2), 50.0f);
  EXPECT_FLOAT_EQ(crst_crd.cs_cell(6), 120.0f * kDeg);
  EXPECT_EQ(crst_crd.cs_nspgr, 4);
  EXPECT_EQ(crst_crd.cs_nsym, 2);
}

// The space group of the symmetry items: the name gives it where the
// library knows it, whatever setting, the number stands in for a name
// missing, and a short monoclinic name takes the setting the cell shows.
// The number kept is the International Tables number.
TEST_F(CifHeader, SpaceGroupByNameThenNumber) {
  const struct {
    const char* label;
    const char* items;
    float beta, gamma;  // degrees
    const char* name;
    int32_t number, nsym;
    float ta, tc;  // translations along a and c of the fourth operator
  } rows[] = {
      {"a setting other than the number's first", "'P 21 2 21'\n_symmetry.Int_Tables_number 18", 90,
       90, "P 21 2 21", 18, 4, 0.0f, 0.0f},
      {"the standard setting of that number", "'P 21 21 2'\n_symmetry.Int_Tables_number 18", 90, 90,
       "P 21 21 2", 18, 4, 0.5f, 0.0f},
      {"I 1 2 1 with its number", "'I 1 2 1'\n_symmetry.Int_Tables_number 5", 100, 90, "I 1 2 1", 5,
       4, 0.5f, 0.5f},
      {"I 1 2 1 with the library's own number", "'I 1 2 1'\n_symmetry.Int_Tables_number 4005", 100,
       90, "I 1 2 1", 5, 4, 0.5f, 0.5f},
      {"a number alone", "?\n_symmetry.Int_Tables_number 5", 100, 90, "C 1 2 1", 5, 4, 0.5f, 0.0f},
      {"C 2 with beta oblique", "'C 2'", 100, 90, "C 1 2 1", 5, 4, 0.5f, 0.0f},
      {"C2 with gamma oblique", "C2", 90, 100, "B 1 1 2", 5, 4, 0.5f, 0.5f},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    write("g",
          "data_x\n_cell.length_a 50\n_cell.length_b 40\n_cell.length_c 80\n"
          "_cell.angle_alpha 90\n_cell.angle_beta " +
              std::to_string(r.beta) + "\n_cell.angle_gamma " + std::to_string(r.gamma) +
              "\n_symmetry.space_group_name_H-M " + r.items + "\n" + kOneAtom);
    ASSERT_EQ(read("g"), 0);
    EXPECT_EQ(crst_crd.cs_spgr.trimmed(), r.name);
    EXPECT_EQ(crst_crd.cs_nspgr, r.number);
    ASSERT_EQ(crst_crd.cs_nsym, r.nsym);
    EXPECT_FLOAT_EQ(crst_crd.cs_v_cs(1, 4), r.ta);
    EXPECT_FLOAT_EQ(crst_crd.cs_v_cs(3, 4), r.tc);
  }
}

TEST_F(CifHeader, FirstResolutionValueWinsAndUnknownIsSkipped) {
  write("r", std::string("data_x\n") +
                 "loop_\n_refine.pdbx_refine_id\n_refine.ls_R_factor_obs\n_refine.ls_d_res_high\n"
                 "X-RAY ? 1.8\nNEUTRON 0.21 2.5\nELECTRON 0.25 3\n" + kOneAtom);
  read("r");
  EXPECT_FLOAT_EQ(crdpdb.cr_rfac_obs, 0.21f);
  EXPECT_FLOAT_EQ(crdpdb_2.cr_rfac_cut, 0.21f);
  EXPECT_FLOAT_EQ(crdpdb_2.cr_res_rmax, 1.8f);
}

TEST_F(CifHeader, UnreadableFilesGiveTheirStatus) {
  write("empty", "");
  EXPECT_EQ(read_out("empty"), 2);
  EXPECT_NE(out_.find(" ERROR: input file is empty\n"), std::string::npos) << out_;

  write("blank_lines", "\n  \n\t\n");
  EXPECT_EQ(read_out("blank_lines"), 2);
  EXPECT_NE(out_.find(" ERROR: input file is empty\n"), std::string::npos) << out_;

  write("noatoms", std::string("data_x\n") + kCell);
  EXPECT_EQ(read_out("noatoms"), 2);
  EXPECT_NE(out_.find(" ERROR: input file holds no atoms (no ATOM or HETATM record, no atom list)\n"),
            std::string::npos)
      << out_;

  write("no_rows", std::string("data_x\n") + kCell + kShortLoop + "#\nloop_\n_other.a\n1\n");
  EXPECT_EQ(read_out("no_rows"), 2);
  EXPECT_NE(out_.find(" ERROR: input file holds no atoms (an atom list without rows)\n"), std::string::npos)
      << out_;
}

// Which atom lists count as atoms when the header read fails: a list is
// known to have no row only by the line after its names.
TEST_F(CifHeader, AtomListWithoutRowsIsToldFromAtoms) {
  const struct {
    const char* name;
    std::string text;
    coords::AtomScan found;
  } cases[] = {
      {"names at the end of the file", "data_x\n" + kShortLoop, coords::AtomScan::kAtomListWithoutRows},
      {"names then a comment", "data_x\n" + kShortLoop + "# \n_other.a 1\n",
       coords::AtomScan::kAtomListWithoutRows},
      {"names then another loop", "data_x\n" + kShortLoop + "loop_\n_other.a\n1\n",
       coords::AtomScan::kAtomListWithoutRows},
      {"names then a row", "data_x\n" + kOneAtom, coords::AtomScan::kAtoms},
      {"rows in a later block", "data_x\n" + kShortLoop + "data_y\n" + kOneAtom, coords::AtomScan::kAtoms},
      {"one atom without a loop", "data_x\n_atom_site.id 1\n_atom_site.Cartn_x 1.0\n",
       coords::AtomScan::kAtoms},
      {"item names quoted as values", "data_x\nloop_\n_audit.item\n'_atom_site.Cartn_x'\n",
       coords::AtomScan::kNoAtoms},
  };
  for (const auto& c : cases) {
    write("scan", c.text);
    EXPECT_EQ(coords::scan_for_atoms(dir_ + "scan.cif"), c.found) << c.name;
  }
}

namespace {

// The peak resident memory of the process, in kB, since the last reset
// (0 where the system does not say).
long peak_kb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long kb = 0;
  while (status >> key) {
    if (key == "VmHWM:") {
      status >> kb;
      return kb;
    }
    status.ignore(1 << 10, '\n');
  }
  return 0;
}

}  // namespace

// A damaged file may be one line without end: the look for atoms reads only
// each line's first characters, never the line whole.
// A header read that ends without atom rows says what the file holds, by
// its lines: blank ones (carriage returns among them) hold nothing, and an
// atom list counts however far it is indented.
TEST_F(CifHeader, FailedHeaderNamesWhatTheFileHolds) {
  const struct {
    const char *label, *text, *message;
  } rows[] = {
      {"blank line then text", "\nhello\n",
       " ERROR: input file holds no atoms (no ATOM or HETATM record, no atom list)\n"},
      {"carriage returns alone", "\r\r\n", " ERROR: input file is empty\n"},
      {"indented atom list without a block", "  _atom_site.id\n  1\n",
       " ERROR: reading title of input file\n"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    write("h", r.text);
    EXPECT_EQ(read_out("h"), 2);
    EXPECT_NE(out_.find(r.message), std::string::npos) << out_;
  }
}

TEST_F(CifHeader, LineWithoutEndIsScannedInBoundedMemory) {
  constexpr long kLineMb = 64;
  const std::string path = dir_ + "one_line.txt";
  {
    std::ofstream f(path, std::ios::binary);
    const std::string piece(1 << 20, 'x');
    for (long i = 0; i < kLineMb; ++i) f << piece;
    f << "\nATOM";
  }
  {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";  // resets the peak to the memory in use now
  }
  const long before = peak_kb();
  if (before == 0) GTEST_SKIP() << "no peak memory figure on this system";
  EXPECT_EQ(coords::scan_for_atoms(path), coords::AtomScan::kAtoms);
  EXPECT_LT(peak_kb() - before, kLineMb * 1024 / 4) << "kB more than before the scan";
  std::ofstream(path, std::ios::binary) << std::string(100, ' ') << "HETATM";
  EXPECT_EQ(coords::scan_for_atoms(path), coords::AtomScan::kNoAtoms) << "indented record";
}

TEST_F(CifHeader, MissingFileEndsTheRunInTheOpener) {
  // The opener asks the suite library to treat a failed open as fatal.
  expect_stop(1, [&] { read("missing", 99); });
}

TEST_F(CifHeader, FaultyOrForeignTextIsPassedOver) {
  // File text, status and atoms read.
  const struct {
    const char* name;
    std::string text;
    int32_t status, atoms;
  } cases[] = {
      {"unclosed quote refused",
       "data_x\n_struct.title 'never closed\n_cell.length_a 10\n" + kOneAtom, 2, 0},
      {"unending text field", "data_x\n_struct.title\n;a text field\nthat never ends\n" + kOneAtom,
       2, 0},
      {"incomplete row refused", "data_x\n" + kOneAtom + "2 CB ALA A 1 1.0\n", 3, 1},
      {"foreign items and loop",
       "data_x\n_made_up.item 5\nloop_\n_other.a\n_other.b\n1 2\n3 4\n" + kOneAtom, 8, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    write("f", c.text);
    EXPECT_EQ(read("f"), c.status);
    if (c.status == 8) { EXPECT_EQ(atom_inf.n_atom, c.atoms); }
  }
}

TEST_F(CifHeader, SmallMoleculeFile) {
  write("sm",
        "data_csd\n_database_code_CSD ABCDEF\n_cell_length_a 10.000(2)\n_cell_length_b 10.0(1)\n"
        "_cell_length_c 20.00(3)\n_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n"
        "_symmetry_space_group_name_H-M 'P 21/c'\n"
        "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n"
        "_atom_site_fract_z\n_atom_site_occupancy\n_atom_site_U_iso_or_equiv\n"
        "C1 C 0.1 0.2 0.3 0.5 0.02\nO1 O 0.5 0.5 0.5 1 0.03\nN1 n 0 0 0.25 1 0.04\n"
        "loop_\n_atom_site_aniso_label\n_atom_site_aniso_U_11\nC1 0.01\n");
  // Its core space-group name counts as a space group given.
  ASSERT_EQ(read("sm"), 0);
  EXPECT_EQ(crdinf.cr_title.trimmed(), "code_CSD:ABCDEF");
  EXPECT_EQ(crst_crd.cs_spgr.trimmed(), "P 1");
  ASSERT_EQ(atom_inf.n_atom, 3);
  ASSERT_EQ(asym_part.n_group, 1);
  ASSERT_EQ(resid_inf.n_residue, 1);
  EXPECT_EQ(resid_inf.res_name(1).trimmed(), "C00");
  EXPECT_EQ(asym_part.group_id(1).trimmed(), "AA");
  EXPECT_EQ(resid_inf.res_num_pdb(1).sub(1, 7), "AA   1 ");
  EXPECT_EQ(atom_inf.atm_name(1).trimmed(), "C1");
  EXPECT_EQ(atom_inf.i_atold(3), 3);
  EXPECT_NEAR(atom_crd.xyz_crd(1, 1), 1.0f, 1e-4f);
  EXPECT_NEAR(atom_crd.xyz_crd(2, 1), 2.0f, 1e-4f);
  EXPECT_NEAR(atom_crd.xyz_crd(3, 1), 6.0f, 1e-4f);
  EXPECT_NEAR(atom_crd.xyz_crd(3, 3), 5.0f, 1e-4f);
  EXPECT_FLOAT_EQ(atom_crd.occup(1), 1.0f);
  const float pi = 4.0f * std::atan(1.0f);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 2), 20.0f / (8.0f * pi * pi));
  EXPECT_EQ(crst_crd.cs_element(atom_inf.id_sf(3)).trimmed(), "N");
}

TEST_F(CifHeader, BinaryAndOverlongInputDoNotCrash) {
  // Random bytes: no block is ever entered.
  std::ifstream bin(ORB_TEST_DATA_DIR "/pdb_garbage.bin", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(bin)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 3000u);
  write("garbage", bytes);
  EXPECT_EQ(read_out("garbage", 99), 2);
  // Inside a block the same bytes open quotes that their lines never close:
  // the header is refused.
  write("quoted", "data_x\n" + bytes + "\n" + kCell + kShortLoop + "1 CA ALA A 1 1.0 2.0 3.0\n");
  EXPECT_EQ(read_out("quoted", 99), 2);
  EXPECT_NE(out_.find(" ERROR: CIF_read: unterminated quote in line "), std::string::npos) << out_;
  // The bytes without their quotes inside a block, a 5000-character item
  // line, a word of 300 characters and an atom row with control characters
  // between its values: the atom is still read.
  std::string unquoted = bytes;
  for (char& ch : unquoted)
    if (ch == '\'' || ch == '"') ch = 'q';
  std::string row = "1\tCA\x01" "ALA\x7f" "A 1 1.0 2.0 3.0\n";
  write("long", "data_x\n" + unquoted + "\n_struct.title " + std::string(5000, 'T') +
                    "\n_struct.keywords " + std::string(300, 'k') + "\n" + kCell + kShortLoop +
                    row);
  read_out("long", 99);
  EXPECT_EQ(crdinf.cr_title.str(), std::string(MAXTITLE, 'T'));
  EXPECT_NE(out_.find(" characters is cut to its first " + std::to_string(MAXTITLE)),
            std::string::npos) << out_;
  ASSERT_EQ(atom_inf.n_atom, 1);
  EXPECT_EQ(atom_inf.atm_name(1).trimmed(), "CA");
  EXPECT_EQ(resid_inf.res_name(1).trimmed(), "ALA");
  EXPECT_NEAR(atom_crd.xyz_crd(3, 1), 3.0f, 1e-4f);
}
