// The energy library reader, the element table and the index readers on
// small hand-written files.
#include <gtest/gtest.h>

#include "dictionary/element_table.h"
#include "dictionary/ener_reader.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_index.h"
#include "dictionary/libcom.h"
#include "dictionary/mon_reader.h"
#include "monlib_fixture.h"

namespace {

r_scratch_t& r = r_scratch;

class EnergyLibrary : public testing::Test {
 protected:
  monlib::TempDir dir;
  int32_t read(const std::string& text, std::string& out, const char* mode = "ALL ") {
    dir.write("ener.cif", text);
    libcom.lei_path = dir.dir();
    libcom.lei_file = "ener";
    libcom.lei_ext = "cif";
    int32_t ierr = -1;
    out = captured([&] { rd_enrlib_(0, mode, ierr); });
    return ierr;
  }
};

const std::string kTypes =
    "data_e\nloop_\n_lib_atom.type\n_lib_atom.weight\n_lib_atom.element\n_lib_atom.valency\n"
    "C 12.011 C 4\nN 14.007 N 3\nO 15.999 O 2\n";

TEST_F(EnergyLibrary, TypesAndTheirItems) {
  std::string out;
  ASSERT_EQ(read(kTypes, out), 0) << out;
  ASSERT_EQ(r.lea_natom, 3);
  EXPECT_EQ(r.lea_aname(2), "N");
  EXPECT_EQ(r.lea_type(2), "Y");
  EXPECT_FLOAT_EQ(r.lea_weight(2), 14.007f);
  EXPECT_EQ(r.lea_valency(3), 2);
  EXPECT_EQ(libcom.lei_iun, 0);
}

TEST_F(EnergyLibrary, ReadingTwiceGivesTheSameTables) {
  std::string out;
  const std::string text = kTypes + "loop_\n_lib_bond.atom_type_1\n_lib_bond.atom_type_2\n"
                                    "_lib_bond.length\nC N 1.33\n";
  ASSERT_EQ(read(text, out), 0);
  ASSERT_EQ(read(text, out), 0);
  EXPECT_EQ(r.lea_natom, 3);
  EXPECT_EQ(r.leb_nbond, 1);
  EXPECT_FLOAT_EQ(r.leb_length(1), 1.33f);
}

TEST_F(EnergyLibrary, BondToATypeNotInUseLeavesNoRow) {
  std::string out;
  ASSERT_EQ(read(kTypes + "loop_\n_lib_bond.atom_type_1\n_lib_bond.atom_type_2\n"
                          "_lib_bond.length\nC XX 1.5\nC O 1.23\n",
                 out),
            0);
  EXPECT_EQ(out, "");
  ASSERT_EQ(r.leb_nbond, 1);
  EXPECT_EQ(r.leb_2atm(1), "O");
}

TEST_F(EnergyLibrary, TorsionWithOpenEnds) {
  std::string out;
  ASSERT_EQ(read(kTypes + "loop_\n_lib_tors.atom_type_1\n_lib_tors.atom_type_2\n"
                          "_lib_tors.atom_type_3\n_lib_tors.atom_type_4\n_lib_tors.period\n"
                          ". C N . 2\n",
                 out),
            0);
  ASSERT_EQ(r.let_ntors, 1);
  EXPECT_EQ(r.let_1atm(1), ".");
  EXPECT_EQ(r.let_4atm(1), ".");
  EXPECT_EQ(r.let_prd(1), 2);
}

TEST_F(EnergyLibrary, MisplacedSecondTypeWithdrawsTheRow) {
  std::string out;
  EXPECT_EQ(read(kTypes + "loop_\n_lib_angle.atom_type_1\n_lib_angle.value\n"
                          "_lib_angle.atom_type_2\nC 120 N\n",
                 out),
            1);
  EXPECT_EQ(out, "  ERR: item _lib_angle_atom_type_2 :N    must be second in the string\n");
  EXPECT_EQ(r.leg_nangl, 0);
}

TEST_F(EnergyLibrary, SelectiveReadingKeepsTheTypeList) {
  std::string out;
  ASSERT_EQ(read(kTypes, out), 0);
  for (int k = 1; k <= 3; ++k) r.lea_type(k) = "N";
  ASSERT_EQ(read(kTypes + "loop_\n_lib_atom.type\nHC\n", out, "H   "), 0);
  EXPECT_EQ(r.lea_natom, 4);
  EXPECT_EQ(r.lea_aname(4), "HC");
  EXPECT_EQ(r.lea_type(1), "Y");
}

TEST_F(EnergyLibrary, SynonymAndTypeLimits) {
  struct Case {
    const char* label;
    std::string category;
    int limit;
    std::string message;
  } cases[] = {
      {"atom types", "_lib_atom.type", MAXETYP,
       "  ERR: number of atom types >   300 /lib. limit/\n  Change parameter MAXETYP in \"lib_com\"\n"},
      {"synonyms", "_lib_synonym.atom_type", MAXSTYP,
       "  ERR: read number of synonym. types  >   100 /lib. limit/\n"
       "  Change parameter MAXSTYP in \"lib_com\"\n"}};
  for (const Case& c : cases) {
    std::string text = "data_e\nloop_\n" + c.category + "\n";
    for (int k = 0; k <= c.limit; ++k) text += 'T' + std::to_string(k) + "\n";
    std::string out;
    EXPECT_EQ(read(text, out), 1) << c.label;
    EXPECT_EQ(out, c.message) << c.label;
  }
  EXPECT_EQ(r.les_nsyn, MAXSTYP);
}

TEST_F(EnergyLibrary, MissingFileEndsTheRun) {
  libcom.lei_path = dir.dir();
  libcom.lei_file = "absent";
  libcom.lei_ext = "cif";
  std::string out;
  int32_t ierr = 0;
  EXPECT_EQ(run_end_status([&] { rd_enrlib_(0, "ALL ", ierr); }, out), 1);
}

TEST_F(EnergyLibrary, TermPointersReportEveryMissingType) {
  std::string out;
  ASSERT_EQ(read(kTypes + "loop_\n_lib_bond.atom_type_1\n_lib_bond.atom_type_2\nC N\nN O\n", out),
            0);
  r.leb_2atm(1) = "QQ";
  r.leb_1atm(2) = "ZZ";
  int32_t ierr = 0;
  out = captured([&] { set_ener_pointer_to_atom_(0, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out,
            " ERROR: ener_lib(bond): atom type:QQ   not found in the list\n"
            " ERROR: ener_lib(bond): atom type:ZZ   not found in the list\n");
  EXPECT_EQ(r.leb_i1atm(1), 1);
  EXPECT_EQ(r.leb_i2atm(2), 3);
}

class ElementTable : public testing::Test {
 protected:
  void SetUp() override {
    setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
    r.lsf_nasymb = 0;
    captured([] {
      rt::FixedText<4> c("C");
      int32_t insf = 0, ierr = 0;
      chkasym_(0, c, insf, ierr);
    });
    r.lsf_nasymb = 0;
  }
};

TEST_F(ElementTable, FirstUseAddsARowLaterUsesFindIt) {
  rt::FixedText<4> c("C");
  int32_t insf = 0, ierr = -1;
  chkasym_(0, c, insf, ierr);
  EXPECT_EQ(insf, 1);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r.lsf_ne(1), 6);
  chkasym_(0, c, insf, ierr);
  EXPECT_EQ(insf, 1);
  EXPECT_EQ(r.lsf_nasymb, 1);
}

TEST_F(ElementTable, UnknownElementBecomesNitrogen) {
  rt::FixedText<4> xx("XX");
  int32_t insf = 0, ierr = -1;
  const std::string out = captured([&] { chkasym_(0, xx, insf, ierr); });
  EXPECT_EQ(ierr, 2);
  EXPECT_EQ(xx, "N");
  EXPECT_EQ(r.lsf_element(insf), "N");
  // The scattering-factor file's own lines come first.
  EXPECT_NE(out.find("  No match for ATOM IDXX\n"
                     "  WARNING: can't find atomic scatt.factors for :XX\n"
                     "           default symbol is \"N   \"\n"),
            std::string::npos)
      << out;
}

TEST_F(ElementTable, EnergyTypesOfTheAtomsListedOnce) {
  r.lma_natom = 3;
  r.lma_chem(1) = "CH1";
  r.lma_chem(2) = "CH1";
  r.lma_chem(3) = "NH1";
  int32_t ierr = -1;
  const std::string out = captured([&] { get_clist_(0, ierr); });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r.lea_natom, 2);
  EXPECT_EQ(r.lea_aname(2), "NH1");
  EXPECT_EQ(r.lea_type(2), "N");
  EXPECT_EQ(out, "  NUMBER OF ATOM TYPES IN THE STRUCTURE    :     2\n");
}

class IndexFiles : public testing::Test {
 protected:
  monlib::TempDir dir;
  int32_t read(const std::string& index, const std::string& pool, std::string& out) {
    dir.write("ind.cif", index);
    dir.write("ind2.cif", pool);
    libcom.lin_path = dir.dir();
    libcom.lin_file = "ind";
    libcom.lin_ext = "cif";
    com_match_pool.match_nmon = 0;
    int32_t ierr = -1;
    out = captured([&] { get_index_(0, ierr); });
    return ierr;
  }
};

const std::string kEntry =
    "   1 A  ALA         5 030101000000000000000000000000 004004002000000000000000\n"
    "                 002001001000000000000000\n";
const std::string kPool = "    1          5\n       1\n   1   5   0   3   1\n";

TEST_F(IndexFiles, EntryWithoutItsSecondLineIsDropped) {
  std::string out;
  ASSERT_EQ(read(kEntry + "   2 R  ARG        11 06\n", kPool, out), 0) << out;
  EXPECT_EQ(r.lmx_nmon, 1);
  EXPECT_EQ(r.lmx_pair(1), "002001001000000000000000");
  EXPECT_EQ(com_match_pool.match_nmon, 1);
  EXPECT_EQ(com_match_pool.match_pool(4), 3);
}

TEST_F(IndexFiles, NoIndexNamedReadsNothing) {
  libcom.lin_file.blank();
  com_match_pool.match_nmon = 7;
  int32_t ierr = -1;
  get_index_(0, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r.lmx_nmon, 0);
  EXPECT_EQ(com_match_pool.match_nmon, 7);
}

TEST_F(IndexFiles, EmptyPoolHeaderFailsSilently) {
  std::string out;
  EXPECT_EQ(read(kEntry, "    0          0\n", out), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(com_match_pool.match_nmon, 0);
}

TEST_F(IndexFiles, PoolLargerThanItsCapacityIsRefused) {
  std::string out;
  EXPECT_EQ(read(kEntry, "    1    1600001\n", out), 1);
  EXPECT_EQ(out, "  ERROR: in LIB_CREATE_INDEX2: Insufficient memory:\n");
}

TEST_F(IndexFiles, PoolCutShortIsRefused) {
  std::string out;
  EXPECT_EQ(read(kEntry, "    1         50\n       1\n   1   5\n", out), 1);
  EXPECT_EQ(out, "  ERROR: candidate pool of the library index is damaged or cut short\n");
  EXPECT_EQ(com_match_pool.match_nmon, 0);
}

TEST_F(IndexFiles, PointerOutsideThePoolIsRefused) {
  std::string out;
  EXPECT_EQ(read(kEntry, "    1          5\n       9\n   1   5   0   3   1\n", out), 1);
  EXPECT_EQ(com_match_pool.match_nmon, 0);
}

TEST_F(IndexFiles, MorePoolRecordsThanPointersAreRefused) {
  std::string out;
  EXPECT_EQ(read(kEntry, " 3500          5\n", out), 1);
  EXPECT_EQ(out,
            "  ERROR: number of records in the candidate pool >  3499 /lib. limit/\n"
            "  Change parameter maxmponter in \"lib_com\"\n");
}

TEST_F(IndexFiles, IndexLongerThanItsCapacityStopsThere) {
  std::string text;
  for (int k = 0; k <= MAXMLIST; ++k) text += kEntry;
  std::string out;
  EXPECT_EQ(read(text, kPool, out), 0);
  EXPECT_EQ(r.lmx_nmon, MAXMLIST);
  EXPECT_EQ(out,
            "  ERROR: number of monomers in the library index >  5000 /lib. limit/ (the rest is "
            "not read)\n  Change parameter MAXMLIST in \"lib_com\"\n");
}

}  // namespace
