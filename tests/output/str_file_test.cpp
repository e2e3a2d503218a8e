// Structure-description files: written from atom_str and the model, read
// back into atom_str; the header, the row layout, unknown scattering
// types, the extra partners made mutual and files that end early.
#include <string>
#include <vector>

#include "output/atom_str.h"
#include "output/str_read.h"
#include "output/str_write.h"
#include "output_fixture.h"

using outtest::file_lines;

namespace {

class StructureFile : public outtest::Files {
 protected:
  void SetUp() override {
    Files::SetUp();
    setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
    crdinf.crso_iun = 0;
    crdinf.crs_iun = 0;
    crdinf.cr_cd_pdb = "1ABC";
    crdinf.cr_name_pdb = "HYDROLASE";
    crdinf.cr_date_pdb = "27-MAR-98";
    crdinf.cr_title = "A TEST";
  }
  // Three atoms in two residues, with distinct values in every column.
  void model() {
    outtest::ModelBuilder().chain("A").residue("ALA", 12, {"N", "CA"}).residue("GLY", 13, {"N"});
    for (int32_t i = 1; i <= 3; ++i) {
      atom_inf.atm_chem(i) = i == 1 ? "NH1" : "CH1";
      atom_str.as_vdw(i) = 1.5f + i;
      atom_str.as_ion(i) = 0.5f + i;
      atom_str.as_char(i) = -0.25f;
      atom_str.as_dist(i) = 1.0f + i;
      atom_str.as_tht(i) = 100.0f + i;
      atom_str.as_psi(i) = -60.0f - i;
      atom_str.as_iback(i) = i - 1;
      atom_str.as_ifor(i) = i < 3 ? i + 1 : 0;
      atom_str.as_iextr(i) = 0;
      atom_str.as_iextr2(i) = 0;
      atom_str.as_iextr3(i) = 0;
      atom_str.as_hbt(i) = i == 2 ? "D" : "";
      atom_str.as_id_psi(i) = i == 3 ? "PSI" : "";
    }
    atom_str.as_iextr(1) = 3;
  }
  int32_t write(int32_t mdoc = 0) {
    int32_t ierr = 9;
    write_str_(mdoc, dir_, "model", "str", ierr);
    return ierr;
  }
  // The reader opens by name alone: the directory goes with the name.
  int32_t read(const std::string& name = "model") {
    rt::FixedText<256> path(dir_);
    int32_t ierr = 9;
    read_str_(99, path, dir_ + name, "str", ierr);
    EXPECT_TRUE(path.is_blank());
    return ierr;
  }
  void put(const std::string& name, const std::string& text) {
    std::ofstream(dir_ + name + ".str") << text;
  }
};

}  // namespace

TEST_F(StructureFile, WrittenFileReadsBackIntoTheTable) {
  model();
  ASSERT_EQ(captured([&] { EXPECT_EQ(write(), 0); }), "");
  EXPECT_FALSE(rt::unit_is_open(crdinf.crso_iun));
  for (int32_t i = 1; i <= 3; ++i) {
    atom_str.as_vdw(i) = atom_str.as_ion(i) = atom_str.as_dist(i) = 0.0f;
    atom_str.as_hbt(i) = "?";
  }
  ASSERT_EQ(read(), 0);
  const atom_str_t& a = atom_str;
  for (int32_t i = 1; i <= 3; ++i) {
    EXPECT_FLOAT_EQ(a.as_vdw(i), 1.5f + i) << i;
    EXPECT_FLOAT_EQ(a.as_ion(i), 0.5f + i) << i;
    EXPECT_FLOAT_EQ(a.as_char(i), 0.0f) << i;  // the file carries no charge
    EXPECT_FLOAT_EQ(a.as_dist(i), 1.0f + i) << i;
    EXPECT_FLOAT_EQ(a.as_tht(i), 100.0f + i) << i;
    EXPECT_FLOAT_EQ(a.as_psi(i), -60.0f - i) << i;
    EXPECT_EQ(a.as_iback(i), i - 1) << i;
    EXPECT_EQ(a.as_ifor(i), i < 3 ? i + 1 : 0) << i;
    EXPECT_EQ(a.as_chem(i), atom_inf.atm_chem(i).view()) << i;
  }
  EXPECT_EQ(a.as_hbt(1), ".");
  EXPECT_EQ(a.as_hbt(2), "D");
  EXPECT_EQ(a.as_id_psi(3), "PSI");
  EXPECT_EQ(a.as_id_psi(1), ".");
  // Atom 1 names 3 as extra partner; the reader makes it mutual.
  EXPECT_EQ(a.as_iextr(1), 3);
  EXPECT_EQ(a.as_iextr(3), 1);
}

TEST_F(StructureFile, HeaderWithoutScatteringTypes) {
  model();
  crdinf.cr_name_pdb = "";
  crdinf.cr_title = std::string(70, 'T');
  ASSERT_EQ(write(), 0);
  const std::vector<std::string> l = file_lines(dir_ + "model.str");
  ASSERT_GE(l.size(), 23u);
  EXPECT_EQ(l[1], "_entry.id         1ABC");
  EXPECT_EQ(l[2], "_struct.keywords    '-'");
  EXPECT_EQ(l[3], "_audit.creation_date    27-MAR-98");
  EXPECT_EQ(l[4], "_struct.title  '" + std::string(58, 'T') + "'");
  EXPECT_EQ(l[8], "_struct_atom.serial_number") << "no scattering-type loop before the atoms";
  EXPECT_EQ(crdinf.cr_name_pdb, "-");
}

TEST_F(StructureFile, RowLayout) {
  model();
  atom_str.as_dist(2) = 12345.0f;  // beyond F7.2
  ASSERT_EQ(write(), 0);
  const std::vector<std::string> l = file_lines(dir_ + "model.str");
  ASSERT_EQ(l.size(), 24u);
  EXPECT_EQ(
      l[21],
      "     1 .   12       0      2      3      0 .       2.00  101.00  -61.00   2.50   1.50");
  EXPECT_EQ(
      l[22],
      "     2 D   12       1      3      0      0 .    *******  102.00  -62.00   3.50   2.50");
  EXPECT_EQ(l[22].size(), 85u);
}

TEST_F(StructureFile, UnknownScatteringTypesWarnAndTakeNitrogen) {
  model();
  const char* unknown[] = {"QQ", "QJ", "JQ", "JJ", "XQ", "XJ"};
  crst_crd.cs_nsfatm = 7;
  for (int i = 1; i <= 6; ++i) {
    crst_crd.cs_element(i) = unknown[i - 1];
    crst_crd.cs_atype(i) = unknown[i - 1];
  }
  crst_crd.cs_element(7) = "?";  // looked up under its atom type
  crst_crd.cs_atype(7) = "C";
  int32_t iun = 0, ierr = 9;
  const std::string out = captured([&] { owstr_cif_(0, iun, dir_, "types", "str", ierr); });
  ASSERT_EQ(ierr, 0);
  rt::unit_close(iun);
  std::string warnings;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);)
    if (line.find("WARNING") != std::string::npos || line.find("more") != std::string::npos)
      warnings += line + "\n";
  std::string want;
  for (int i = 0; i < 4; ++i)
    want += std::string("   WARNING : atom\"s type \"") + unknown[i] + "  \" not found\n" +
            "   WARNING : default type  is \"N   \".\n";
  want += "    ... more ...\n";
  EXPECT_EQ(warnings, want);
  EXPECT_EQ(crst_crd.cs_nelec(6), 7);  // nitrogen
  EXPECT_EQ(crst_crd.cs_nelec(7), 6);  // carbon
  const std::vector<std::string> l = file_lines(dir_ + "types.str");
  EXPECT_EQ(l[8], "_atom_type.symbol");
  EXPECT_EQ(l[21].substr(0, 6), "  QQ  ");
  EXPECT_EQ(l[39].substr(0, 6), "  ?   ");
}

TEST_F(StructureFile, ExtraPartnersMadeMutual) {
  outtest::ModelBuilder m;
  m.chain("A");
  for (int i = 1; i <= 9; ++i) m.residue("HOH", i, {"O"});
  atom_inf.atm_chem(5) = "OW";
  put("extra",
      "global_\ndata_struct_list\nloop_\n_struct_atom.serial_number\n_struct_atom.extra\n"
      "_struct_atom.chem_type\n_struct_atom.charge\n"
      "5 9 OH1 -0.5\n6 9 . .\n7 9 . .\n8 12 . .\n");
  ASSERT_EQ(read("extra"), 0);
  EXPECT_EQ(atom_str.as_iextr(9), 5);
  EXPECT_EQ(atom_str.as_iextr2(9), 6);
  EXPECT_EQ(atom_str.as_iextr3(9), 7);
  EXPECT_EQ(atom_str.as_iextr(8), 12);  // beyond the atoms: not followed
  EXPECT_FLOAT_EQ(atom_str.as_char(5), -0.5f);
  EXPECT_EQ(atom_str.as_chem(5), "OW");  // from the atoms, not the file
  EXPECT_EQ(atom_str.as_iextr(1), 0);    // no row: partners reset
}

TEST_F(StructureFile, FileEndingInsideARowKeepsTheRowsBefore) {
  model();
  put("cut",
      "global_\ndata_struct_list\nloop_\n_struct_atom.serial_number\n_struct_atom.back\n"
      "_struct_atom.radius\n1 0 1.7\n2 1 1.");
  ASSERT_EQ(read("cut"), 0);
  EXPECT_FLOAT_EQ(atom_str.as_vdw(1), 1.7f);
}
