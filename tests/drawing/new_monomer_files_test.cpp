// The new monomer's mmCIF and PDB files: every line worked out from the
// layouts, atoms without coordinates, long program names, element columns,
// and the mmCIF file, whose fixed items are counted rather than restated,
// read back by the system's own reader.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "coords/read_atoms.h"
#include "drawing/new_monomer_cif.h"
#include "drawing/new_monomer_pdb.h"
#include "drawing_support.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/units.h"
#include "support/capture.h"

namespace {

using drawing_test::L1;
using drawing_test::lines_of;
using Lines = std::vector<std::string>;

class NewMonomerFiles : public testing::Test {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
  }
  void TearDown() override { rt::close_all_units(); }

  // Opens `name` in the scratch directory on a unit and runs the writer.
  template <typename W>
  std::string write(const std::string& name, W writer, std::string_view prog, int32_t& ierr) {
    const std::string path = dir_.file(name);
    rt::OpenOptions o;
    o.status = rt::OpenStatus::Replace;
    EXPECT_EQ(rt::unit_open(70, path, o), rt::IOSTAT_OK);
    writer(0, 70, prog, ierr);
    EXPECT_FALSE(rt::unit_is_open(70)) << "the writer closes its unit";
    return path;
  }

  TempDir dir_;
};

// Three atoms: a primed name, a two-letter element, and one without
// coordinates.
void three_atoms(std::string_view code) {
  L1::clear(code, "test monomer");
  L1::atom("C1'", "C", 1.0f, 2.0f, -3.5f);
  L1::atom("CL1", "CL", -10.25f, 0.125f, 4.0f);
  L1::atom("OX", "O", 0, 0, 0, false);
}

// Lines before the first atom row: four naming the monomer, then the fixed
// cell, symmetry, entity and atom-site items (read back below).
constexpr std::size_t kCifHeadLines = 40;

}  // namespace

TEST_F(NewMonomerFiles, CifFileOfThreeAtoms) {
  three_atoms("LIG");
  int32_t ierr = -1;
  const std::string path = write("lig.cif", wr_cif_new_, "dravneck", ierr);
  EXPECT_EQ(ierr, 0);
  const Lines l = lines_of(path);
  ASSERT_EQ(l.size(), kCifHeadLines + 3);
  EXPECT_EQ(Lines(l.begin(), l.begin() + 5),
            (Lines{"data_structure_LIG", "_entry.id  LIG", "_database_2.code_PDB  LIG",
                   "_struct.title  'coordinates of LIG      from program: dravneck'",
                   "_cell.entry  LIG"}));
  EXPECT_EQ(l[11], "_symmetry.entry.id  LIG");
  EXPECT_EQ(
      Lines(l.begin() + kCifHeadLines, l.end()),
      (Lines{"    1 'C1''  . LIG      AA  1    1.000    2.000   -3.500   1.00  20.0   C   .",
             "    2 CL1    . LIG      AA  1  -10.250    0.125    4.000   1.00  20.0   CL  .",
             "    3 OX     . LIG      AA  1     .        .        .      1.00  20.0   O   D"}));
}

TEST_F(NewMonomerFiles, CifTitleOfALongProgramNameStaysWithinTheLine) {
  L1::clear("LONGCODE", "");
  int32_t ierr = -1;
  const std::string path = write("long.cif", wr_cif_new_, std::string(50, 'p'), ierr);
  const Lines l = lines_of(path);
  // 15 + 8 + 15 + 42 = 80 characters, more than 78 - 13 - 4: cut to 61.
  EXPECT_EQ(l[3],
            "_struct.title  'coordinates of LONGCODE from program: " + std::string(23, 'p') + "'");
  EXPECT_EQ(l.size(), kCifHeadLines) << "no atoms, no rows";
}

TEST_F(NewMonomerFiles, PdbFileOfThreeAtoms) {
  three_atoms("LIG");
  int32_t ierr = 7;
  const std::string path = write("lig.pdb", wr_pdb_new_, "dravneck", ierr);
  EXPECT_EQ(ierr, 7) << "the status is left as it came";
  EXPECT_EQ(
      lines_of(path),
      (Lines{"HEADER    coords of LIG from prog: dravneck                   LIG",
             "CRYST1  100.000  100.000  100.000  90.00  90.00  90.00 P 1",
             "ATOM      1  C1' LIG A   1       1.000   2.000  -3.500  1.00 20.00           C",
             "ATOM      2 CL1  LIG A   1     -10.250   0.125   4.000  1.00 20.00          CL"}));
}

TEST_F(NewMonomerFiles, PdbFileOfALongCodeRenamesItsResidue) {
  L1::clear("LIGAND12", "");
  L1::atom("OX", "O", 0, 0, 0, false);
  L1::atom("N1", "N+", 1, 1, 1);
  L1::atom("FE", "FE", 2, 2, 2);
  int32_t ierr = 0;
  const std::string path = write("long.pdb", wr_pdb_new_, "twelve_chars", ierr);
  EXPECT_EQ(
      lines_of(path),
      (Lines{"HEADER    coords of LIGAND12 from prog: twelve_cha            LIGA",
             "MODRES      LIG A    1  LIGAND12                                        "
             "RENAME",
             "CRYST1  100.000  100.000  100.000  90.00  90.00  90.00 P 1",
             "ATOM      2  N1  LIG A   1       1.000   1.000   1.000  1.00 20.00           N+",
             "ATOM      3 FE   LIG A   1       2.000   2.000   2.000  1.00 20.00          FE"}));
}

TEST_F(NewMonomerFiles, CifFileReadsBackThroughTheMmcifReader) {
  L1::clear("LIG", "");
  L1::atom("C1'", "C", 1.0f, 2.0f, -3.5f);
  L1::atom("CL1", "CL", -10.25f, 0.125f, 4.0f);
  L1::atom("O 2", "O", 0.5f, 0.5f, 0.5f);
  int32_t ierr = 0;
  write("back.cif", wr_cif_new_, "dravneck", ierr);
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 1);
  set_cif_types_();
  init_res_type_tab_();
  init_atm_inf_(0, ierr);
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  ierr = 1;
  const std::string out =
      captured([&] { read_atoms_(99, dir_.path() + "/", "back", "cif", 0, cell, ierr); });
  EXPECT_EQ(ierr, 0) << out;
  ASSERT_EQ(atom_inf.n_atom, 3);
  EXPECT_EQ(atom_inf.atm_name(1), "C1'");
  EXPECT_EQ(atom_inf.atm_name(3), "O_2") << "a blank inside a name is written as _";
  EXPECT_FLOAT_EQ(atom_crd.xyz_crd(1, 2), -10.25f);
  EXPECT_FLOAT_EQ(atom_crd.xyz_crd(2, 2), 0.125f);
  EXPECT_FLOAT_EQ(atom_crd.xyz_crd(3, 2), 4.0f);
  EXPECT_EQ(resid_inf.res_name(1), "LIG");
}

TEST_F(NewMonomerFiles, CifRowsOfAwkwardNamesAndElementsReadBack) {
  L1::clear("LIG", "");
  const struct {
    const char* label;
    const char* name;
    const char* element;
    const char* read_name;
  } atoms[] = {
      {"name like an item name", "_X1", "C", "_X1"},
      {"name like a comment", "#C1", "C", "#C1"},
      {"name holding a hash", "C#1", "C", "C#1"},
      {"blank element", "N1", "", "N1"},
      {"element like an item name", "O1", "_O", "O1"},
      {"blank name, written as the writers write a blank value", "", "S", "."},
      {"name like a data block", "data", "C", "data"},
  };
  for (const auto& a : atoms) L1::atom(a.name, a.element, 1.0f, 2.0f, 3.0f);
  int32_t ierr = 0;
  const std::string path = write("awkward.cif", wr_cif_new_, "dravneck", ierr);
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 1);
  set_cif_types_();
  init_res_type_tab_();
  init_atm_inf_(0, ierr);
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  ierr = 1;
  const std::string out =
      captured([&] { read_atoms_(99, dir_.path() + "/", "awkward", "cif", 0, cell, ierr); });
  EXPECT_EQ(ierr, 0) << out;
  const Lines l = lines_of(path);
  ASSERT_EQ(atom_inf.n_atom, 7) << "every row must read back";
  for (int i = 1; i <= 7; ++i) {
    SCOPED_TRACE(atoms[i - 1].label);
    EXPECT_EQ(atom_inf.atm_name(i), atoms[i - 1].read_name) << l[kCifHeadLines + i - 1];
    EXPECT_FLOAT_EQ(atom_crd.xyz_crd(3, i), 3.0f);
  }
  EXPECT_EQ(l[kCifHeadLines + 3].substr(l[kCifHeadLines + 3].size() - 12), "20.0   .   .")
      << "a blank element is written as .";
  EXPECT_EQ(crst_crd.cs_element(atom_inf.id_sf(4)).str(), "N   ") << "and taken from the name";
}

TEST_F(NewMonomerFiles, FilesLostOnAFullDeviceAreReportedAsFailures) {
  three_atoms("LIG");
  using Writer = void (*)(int32_t, int32_t, std::string_view, int32_t&);
  const struct {
    const char* label;
    Writer writer;
  } writers[] = {{"mmCIF", wr_cif_new_}, {"PDB", wr_pdb_new_}};
  const std::string full = dir_.file("full");
  ASSERT_EQ(::symlink("/dev/full", full.c_str()), 0);
  for (const auto& w : writers) {
    SCOPED_TRACE(w.label);
    ASSERT_EQ(rt::unit_open(70, full, rt::OpenOptions{}), rt::IOSTAT_OK);
    int32_t ierr = 0;
    const std::string out = captured([&] { w.writer(0, 70, "dravneck", ierr); });
    EXPECT_EQ(ierr, 4);
    EXPECT_EQ(out, "  ERROR: WRITE TO OUTPUT FILE\n");
    EXPECT_FALSE(rt::unit_is_open(70));
  }
}
