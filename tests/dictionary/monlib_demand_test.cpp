// Reading monomer descriptions on demand from the test library: marked
// entries only, their files, their fuse flags, and damaged description files.
#include <gtest/gtest.h>

#include "dictionary/lib_com.h"
#include "dictionary/libcom.h"
#include "dictionary/lib_to_work.h"
#include "dictionary/modif.h"
#include "dictionary/mon_reader.h"
#include "monlib_fixture.h"

namespace {

using monlib::entry_of;
using monlib::load;
using monlib::read_marked;
using monlib::test_library;

const r_scratch_t& r = r_scratch;

class OnDemand : public testing::Test {
 protected:
  void SetUp() override {
    std::string out;
    ASSERT_EQ(load(test_library(), out), 0) << out;
  }
};

TEST_F(OnDemand, MarkedMonomersAreReadAndFlaggedY) {
  std::string out;
  ASSERT_EQ(read_marked({"ALA", "TRP"}, out), 0) << out;
  const int ala = entry_of("ALA");
  const int trp = entry_of("TRP");
  EXPECT_EQ(r.lml_fuse(ala), "Y");
  EXPECT_EQ(r.lml_fuse(trp), "Y");
  EXPECT_EQ(r.lml_fuse(entry_of("GLY")), "N");
  EXPECT_EQ(r.lma_natom, 10 + 24);
  const int a = r.lml_iatom(ala);
  EXPECT_EQ(r.lma_aname(a), "N");
  EXPECT_EQ(r.lma_chem(a), "NH1");
  EXPECT_EQ(r.lma_symb(a), "N");
  EXPECT_EQ(r.lma_coor_flag(a), "Y");
  EXPECT_EQ(r.lma_back(a), ".");
  EXPECT_EQ(r.lma_forw(a), "CA");
  EXPECT_EQ(r.lma_forw(a + 2), "END");  // C, the last atom of the tree
  EXPECT_GT(r.lma_sf_id(a), 0);
  EXPECT_EQ(r.lmb_1atm(r.lml_ibond(ala)), "N");
  EXPECT_EQ(r.lmb_type(r.lml_ibond(ala)), "single");
  EXPECT_GT(r.lml_ichir(ala), 0);
  EXPECT_EQ(r.lmc_sign(r.lml_ichir(ala)), "positiv");
  EXPECT_GT(r.lml_iplan(trp), 0);
  EXPECT_EQ(r.lmp_mname(r.lml_iplan(trp)), "TRP");
  EXPECT_EQ(libcom.lb_pass, 0);
}

TEST_F(OnDemand, ElementCodesHaveTheirOwnFileNames) {
  EXPECT_EQ(mon_file_part("CD"), "c/CD_EL");
  EXPECT_EQ(mon_file_part("COM"), "c/COM_COM");
  EXPECT_EQ(mon_file_part("cd"), "c/CD");
  EXPECT_EQ(mon_file_part("ALA"), "a/ALA");
  std::string out;
  ASSERT_EQ(read_marked({"CD", "ZN", "HOH"}, out), 0) << out;
  EXPECT_EQ(r.lma_aname(r.lml_iatom(entry_of("CD"))), "CD");
  EXPECT_EQ(r.lma_aname(r.lml_iatom(entry_of("ZN"))), "ZN");
  EXPECT_EQ(r.lma_natom, 5);
}

TEST_F(OnDemand, ReadingAgainRetiresTheEarlierRows) {
  std::string out;
  ASSERT_EQ(read_marked({"SER"}, out), 0);
  const int ser = entry_of("SER");
  const int first = r.lml_iatom(ser);
  ASSERT_EQ(read_marked({"SER"}, out), 0);
  EXPECT_EQ(r.lma_mname(first), "?");
  EXPECT_EQ(r.lml_iatom(ser), first + 11);
  EXPECT_EQ(r.lml_fuse(ser), "Y");
}


// A copy of the test library's list with one description directory.
class DamagedLibrary : public testing::Test {
 protected:
  monlib::TempDir dir;
  void SetUp() override {
    dir.write("list/mon_lib_list.cif", monlib::file_text(test_library() + "list/mon_lib_list.cif"));
    for (const char* f : {"ener_lib.cif", "mon_lib_ind.cif", "mon_lib_ind2.cif"})
      dir.write(f, monlib::file_text(test_library() + f));
    std::string out;
    ASSERT_EQ(load(dir.dir(), out), 0) << out;
  }
  int32_t read_gly(const std::string& text, std::string& out) {
    dir.write("g/GLY.cif", text);
    return read_marked({"GLY"}, out);
  }
};

const char* const kGlyHead =
    "data_comp_GLY\nloop_\n_chem_comp_atom.comp_id\n_chem_comp_atom.atom_id\n"
    "_chem_comp_atom.type_symbol\nGLY N N\nGLY CA C\n";

// A description without a tree gets one built by the tree check, stored as
// a new entry that replaces the one read.  The first entry of the list, read
// from its own file, is checked like every other.
TEST_F(DamagedLibrary, TheFirstEntryGoesThroughTheTreeCheck) {
  dir.write("a/ALA.cif",
            "data_comp_ALA\nloop_\n_chem_comp_atom.comp_id\n_chem_comp_atom.atom_id\n"
            "_chem_comp_atom.type_symbol\nALA N N\nALA CA C\nALA C C\n"
            "loop_\n_chem_comp_bond.comp_id\n_chem_comp_bond.atom_id_1\n"
            "_chem_comp_bond.atom_id_2\n_chem_comp_bond.value_dist\n"
            "_chem_comp_bond.value_dist_esd\nALA N CA 1.458 0.020\nALA CA C 1.525 0.020\n"
            "loop_\n_chem_comp_angle.comp_id\n_chem_comp_angle.atom_id_1\n"
            "_chem_comp_angle.atom_id_2\n_chem_comp_angle.atom_id_3\n"
            "_chem_comp_angle.value_angle\n_chem_comp_angle.value_angle_esd\n"
            "ALA N CA C 111.2 3.0\n");
  std::string out;
  ASSERT_EQ(read_marked({"ALA"}, out), 0) << out;
  EXPECT_EQ(r.lml_mname(1), "???");
  const int ala = entry_of("ALA");
  EXPECT_GT(ala, 25);
  EXPECT_EQ(r.lma_back(r.lml_iatom(ala)), ".");
}

TEST_F(DamagedLibrary, UnreadableDescriptionFileEndsTheRun) {
  dir.write("g/GLY.cif/x", "");  // a directory where the file should be
  std::string out;
  int32_t status = 0;
  const int end = run_end_status([&] {
    r_scratch.lml_fuse(entry_of("GLY")) = "R";
    read_lib_(0, "M", 'N', ' ', status);
  }, out);
  EXPECT_EQ(end, 1);
  EXPECT_NE(out.find("Open failed: File: " + dir.dir() + "g/GLY.cif"), std::string::npos);
}

TEST_F(DamagedLibrary, MissingDescriptionFileEndsTheRun) {
  std::string out;
  const int status = run_end_status([&] {
    int32_t ierr = 0;
    r_scratch.lml_fuse(entry_of("GLY")) = "R";
    read_lib_(0, "M", 'N', ' ', ierr);
  }, out);
  EXPECT_EQ(status, 1);
}

TEST_F(DamagedLibrary, RowsForACodeTheListLacksStopTheReadingAndLeaveNothing) {
  std::string out;
  const std::string text = std::string(kGlyHead) + "XYZ O O\n";
  EXPECT_EQ(read_gly(text, out), 1);
  EXPECT_EQ(out, "  ERR: monomer XYZ      not found in the monomer list\n  BLOCK :data_comp_GLY\n");
  const int gly = entry_of("GLY");
  EXPECT_EQ(r.lml_fuse(gly), "R");
  EXPECT_EQ(r.lml_iatom(gly), 0);
  EXPECT_EQ(r.lma_mname(1), "?");
}

TEST_F(DamagedLibrary, KeyOutOfPlaceIsRefused) {
  std::string out;
  const std::string text = std::string(kGlyHead) +
                           "loop_\n_chem_comp_bond.atom_id_1\n_chem_comp_bond.comp_id\n"
                           "_chem_comp_bond.atom_id_2\nN GLY CA\n";
  EXPECT_EQ(read_gly(text, out), 1);
  EXPECT_EQ(out, "  ERR: item _chem_comp_bond.comp_id : must be first in the string\n");
}

TEST_F(DamagedLibrary, LoopCutShortStoresNoPartOfTheLastRow) {
  std::string out;
  const std::string text = std::string(kGlyHead) + "GLY C\n";
  EXPECT_EQ(read_gly(text, out), 0) << out;
  const int gly = entry_of("GLY");
  EXPECT_EQ(r.lml_natm(gly), 2);
  EXPECT_EQ(r.lma_aname(r.lml_iatom(gly) + 1), "CA");
}

// Every restraint number of a description is read by the one reading of
// numbers; one that is no number, missing, below 0 (an esd) or too large for
// the written fields stops the reading with a line naming the file, the
// monomer, the atoms and the item.  An esd of 0 is kept.
TEST_F(DamagedLibrary, RestraintNumbersAreReadOrRefused) {
  const std::string bonds = "loop_\n_chem_comp_bond.comp_id\n_chem_comp_bond.atom_id_1\n"
                            "_chem_comp_bond.atom_id_2\n";
  const std::string both = bonds + "_chem_comp_bond.value_dist\n_chem_comp_bond.value_dist_esd\n";
  const std::string angles =
      "loop_\n_chem_comp_angle.comp_id\n_chem_comp_angle.atom_id_1\n_chem_comp_angle.atom_id_2\n"
      "_chem_comp_angle.atom_id_3\n_chem_comp_angle.value_angle\n"
      "_chem_comp_angle.value_angle_esd\n";
  const std::string tors =
      "loop_\n_chem_comp_tor.comp_id\n_chem_comp_tor.id\n_chem_comp_tor.atom_id_1\n"
      "_chem_comp_tor.atom_id_2\n_chem_comp_tor.atom_id_3\n_chem_comp_tor.atom_id_4\n"
      "_chem_comp_tor.value_angle\n_chem_comp_tor.value_angle_esd\n_chem_comp_tor.period\n";
  const std::string plane = "loop_\n_chem_comp_plane_atom.comp_id\n_chem_comp_plane_atom.plane_id\n"
                            "_chem_comp_plane_atom.atom_id\n";
  const std::string good_bond = both + "GLY N CA 1.455 0.020\n";
  struct Case {
    const char* label;
    std::string rows;
    const char* error;  // the end of the error line; nullptr: read
    float value, esd;   // of the first bond when read
  } cases[] = {
      {"bond length read", both + "GLY N CA 1.455 0.020\n", nullptr, 1.455f, 0.02f},
      {"uncertainty dropped", both + "GLY N CA 1.468(2) 0.020\n", nullptr, 1.468f, 0.02f},
      {"esd of 0 kept", both + "GLY N CA 1.455 0\n", nullptr, 1.455f, 0.0f},
      {"widest length", both + "GLY N CA 9999.999 0.020\n", nullptr, 9999.999f, 0.02f},
      {"lowest length", both + "GLY N CA -999.999 0.020\n", nullptr, -999.999f, 0.02f},
      {"letters", both + "GLY N CA abc 0.020\n",
       "atoms N CA: _chem_comp_bond.value_dist \"abc\" is not a number", 0, 0},
      {"question mark", both + "GLY N CA ? 0.020\n",
       "atoms N CA: _chem_comp_bond.value_dist \"?\" is not a number", 0, 0},
      {"dot", both + "GLY N CA . 0.020\n",
       "atoms N CA: _chem_comp_bond.value_dist \".\" is not a number", 0, 0},
      {"nan", both + "GLY N CA nan 0.020\n",
       "atoms N CA: _chem_comp_bond.value_dist \"nan\" is not a number", 0, 0},
      {"esd letters", both + "GLY N CA 1.455 abc\n",
       "atoms N CA: _chem_comp_bond.value_dist_esd \"abc\" is not a number", 0, 0},
      {"esd below 0", both + "GLY N CA 1.455 -0.020\n",
       "atoms N CA: _chem_comp_bond.value_dist_esd \"-0.020\" is below 0", 0, 0},
      {"too large", both + "GLY N CA 1e30 0.020\n",
       "atoms N CA: _chem_comp_bond.value_dist \"1e30\" is too large for its field (-999.999 to "
       "9999.999)", 0, 0},
      {"just too large", both + "GLY N CA 10000 0.020\n",
       "atoms N CA: _chem_comp_bond.value_dist \"10000\" is too large for its field (-999.999 to "
       "9999.999)", 0, 0},
      {"just too low", both + "GLY N CA -1000 0.020\n",
       "atoms N CA: _chem_comp_bond.value_dist \"-1000\" is too large for its field (-999.999 to "
       "9999.999)", 0, 0},
      {"no length column", bonds + "_chem_comp_bond.value_dist_esd\nGLY N CA 0.020\n",
       "atoms N CA: the row has no _chem_comp_bond.value_dist", 0, 0},
      {"no esd column", bonds + "_chem_comp_bond.value_dist\nGLY N CA 1.455\n",
       "atoms N CA: the row has no _chem_comp_bond.value_dist_esd", 0, 0},
      {"angle letters", good_bond + angles + "GLY N CA C abc 3.0\n",
       "atoms N CA C: _chem_comp_angle.value_angle \"abc\" is not a number", 0, 0},
      {"torsion esd ?", good_bond + tors + "GLY t1 N CA C O 180.0 ? 2\n",
       "atoms N CA C O: _chem_comp_tor.value_angle_esd \"?\" is not a number", 0, 0},
      {"torsion period letters", good_bond + tors + "GLY t1 N CA C O 180.0 15.0 x\n",
       "atoms N CA C O: _chem_comp_tor.period \"x\" is not an integer", 0, 0},
      {"torsion period with a fraction", good_bond + tors + "GLY t1 N CA C O 180.0 15.0 3.5\n",
       "atoms N CA C O: _chem_comp_tor.period \"3.5\" is not an integer", 0, 0},
      {"torsion period ?", good_bond + tors + "GLY t1 N CA C O 180.0 15.0 ?\n",
       "atoms N CA C O: _chem_comp_tor.period \"?\" is not an integer", 0, 0},
      {"widest torsion period", good_bond + tors + "GLY t1 N CA C O 180.0 15.0 999\n", nullptr,
       1.455f, 0.02f},
      {"torsion period just too large", good_bond + tors + "GLY t1 N CA C O 180.0 15.0 1000\n",
       "atoms N CA C O: _chem_comp_tor.period \"1000\" is too large for its field (-99 to 999)", 0,
       0},
      {"length without digits after its exponent", both + "GLY N CA 1.468e+ 0.020\n",
       "atoms N CA: _chem_comp_bond.value_dist \"1.468e+\" is not a number", 0, 0},
      {"plane esd letters", good_bond + plane + "_chem_comp_plane_atom.dist_esd\nGLY p1 CA abc\n",
       "atoms CA: _chem_comp_plane_atom.dist_esd \"abc\" is not a number", 0, 0},
      {"plane without esd", good_bond + plane + "_chem_comp_plane_atom.type\nGLY p1 CA x\n",
       "atoms CA: the row has no _chem_comp_plane_atom.dist_esd", 0, 0},
  };
  for (const Case& c : cases) {
    std::string out;
    const int32_t status = read_gly(std::string(kGlyHead) + c.rows, out);
    if (c.error == nullptr) {
      ASSERT_EQ(status, 0) << c.label << out;
      const int gly = entry_of("GLY");
      EXPECT_FLOAT_EQ(r.lmb_val(r.lml_ibond(gly)), c.value) << c.label;
      EXPECT_FLOAT_EQ(r.lmb_dev(r.lml_ibond(gly)), c.esd) << c.label;
    } else {
      EXPECT_EQ(status, 1) << c.label;
      EXPECT_EQ(out, " ERROR: library file " + dir.dir() + "g/GLY.cif, monomer GLY, " + c.error +
                         "\n")
          << c.label;
    }
  }
}

// A minimal description ("M") is described anew: a length it does not
// give ("?", or no column) is 0 as before, and letters are still refused.
TEST_F(DamagedLibrary, MinimalDescriptionMayLeaveItsNumbersOut) {
  const std::string bonds = std::string(kGlyHead) +
                            "loop_\n_chem_comp_bond.comp_id\n_chem_comp_bond.atom_id_1\n"
                            "_chem_comp_bond.atom_id_2\n_chem_comp_bond.value_dist\n";
  r_scratch.lml_prsnt(entry_of("GLY")) = "M";
  std::string out;
  ASSERT_EQ(read_gly(bonds + "GLY N CA ?\n", out), 0) << out;
  EXPECT_FLOAT_EQ(r.lmb_val(r.lml_ibond(entry_of("GLY"))), 0.0f);
  r_scratch.lml_prsnt(entry_of("GLY")) = "M";
  EXPECT_EQ(read_gly(bonds + "GLY N CA abc\n", out), 1) << out;
}

TEST_F(DamagedLibrary, TreeAtomAbsentFromTheAtomsIsReported) {
  std::string out;
  const std::string text = std::string(kGlyHead) +
                           "loop_\n_chem_comp_tree.comp_id\n_chem_comp_tree.atom_id\n"
                           "_chem_comp_tree.atom_back\n_chem_comp_tree.connect_type\n"
                           "GLY N n/a START\nGLY OXT CA .\n";
  EXPECT_EQ(read_gly(text, out), 1);
  EXPECT_EQ(out,
            "  ERR: atom OXT  not found in the atom list\n  MON,BLOCK :GLY      data_comp_GLY\n");
}

TEST_F(DamagedLibrary, BlockOfACodeTheListLacksIsSkipped) {
  std::string out;
  const std::string text = std::string(kGlyHead) +
                           "data_comp_XYZ\nloop_\n_chem_comp_atom.comp_id\n"
                           "_chem_comp_atom.atom_id\nXYZ O\n";
  EXPECT_EQ(read_gly(text, out), 0) << out;
  EXPECT_EQ(r.lml_natm(entry_of("GLY")), 2);
}

}  // namespace

namespace {

// One file holding the list and the descriptions, read as the single-file
// library and as the second library.
TEST(SingleFileLibrary, EntriesOfTheSecondLibraryAreReadFromItInTheLastPass) {
  monlib::TempDir dir;
  const std::string ala = monlib::file_text(test_library() + "a/ALA.cif");
  const std::string hoh = monlib::file_text(test_library() + "h/HOH.cif");
  dir.write("mine.lib",
            "data_comp_list\nloop_\n_chem_comp.id\n_chem_comp.group\nALA L-peptide\n"
            "HOH solvent\n" + ala + hoh);
  dir.write("ener_lib.cif", monlib::file_text(test_library() + "ener_lib.cif"));
  setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
  // The library file is named whole; the energy library comes from the
  // directory.
  monlib::Names n;
  int32_t numb = 0, ierr = -1;
  std::string out = captured([&] {
    getlib_(0, ' ', 'Y', numb, "", dir.dir(), "", n.libm, n.libe.ref(), "", n.libm_ext.ref(),
            n.libe_ext.ref(), "", dir.dir() + "mine.lib", n.lib_ind.ref(), n.lib_out.ref(), ierr);
  });
  ASSERT_EQ(ierr, 0) << out;
  ASSERT_EQ(r.lml_nmon, 2);
  EXPECT_EQ(libcom.lb_numb_lib, 1);
  EXPECT_EQ(r.lml_pass(1), 2);  // met again in the second pass
  EXPECT_NE(out.find("  WARNING: duplicated name of monomer ALA\n"), std::string::npos);
  ASSERT_EQ(read_marked({"ALA", "HOH"}, out, 'Y'), 0) << out;
  EXPECT_EQ(r.lml_fuse(entry_of("ALA")), "Y");
  EXPECT_EQ(r.lml_fuse(entry_of("HOH")), "Y");
  EXPECT_EQ(r.lml_natm(entry_of("ALA")), 10);
  EXPECT_EQ(r.lml_natm(entry_of("HOH")), 3);
}

}  // namespace

namespace {

// The test library as later stages use it: every description reads without
// a message and keeps the tree it gives, and the standard and terminus
// modifications apply to the monomers they are written for.
TEST(TestLibrary, EveryDescriptionReadsCleanlyAndKeepsItsTree) {
  std::string out;
  ASSERT_EQ(load(test_library(), out), 0);
  std::initializer_list<const char*> all = {"ALA", "ARG", "ASN", "ASP", "CYS", "GLN", "GLU",
                                            "GLY", "HIS", "ILE", "LEU", "LYS", "MET", "PHE",
                                            "PRO", "SER", "THR", "TRP", "TYR", "VAL", "A",
                                            "NAG", "HOH", "ZN",  "CD"};
  ASSERT_EQ(read_marked(all, out), 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(r.lml_nmon, 25);  // no tree had to be rebuilt into a new entry
  for (int l = 1; l <= 25; ++l) {
    EXPECT_EQ(r.lml_fuse(l), "Y") << l;
    EXPECT_EQ(r.lml_prsnt(l), ".") << l;
  }
}

TEST(TestLibrary, StandardAndTerminusModificationsApply) {
  std::string out;
  ASSERT_EQ(load(test_library(), out), 0);
  ASSERT_EQ(read_marked({"ALA", "PRO", "A", "NAG", "ASN", "CYS"}, out), 0);
  struct Case {
    const char* mon;
    const char* mod;
    int atoms;  // after the modification
  } cases[] = {{"ALA", "NH3", 12},   {"ALA", "COO", 11},      {"ALA", "AA-STAND", 10},
               {"PRO", "NH3", 16},   {"PRO", "AA-STAND", 14}, {"A", "5*END", 31},
               {"A", "3*END", 34},   {"A", "p5*END", 34},     {"A", "NA-STAND", 33},
               {"NAG", "DEL-O1", 28}, {"ASN", "DEL-HD22", 13}, {"CYS", "DEL-HG", 10}};
  for (const Case& c : cases) {
    int32_t ierr = -1;
    out = captured([&] {
      rt::FixedText<8> m(c.mon);
      cp_mlib_(0, m, ierr);
      modif_(0, c.mod, ierr);
    });
    EXPECT_EQ(ierr, 0) << c.mon << " " << c.mod;
    EXPECT_EQ(out, "") << c.mon << " " << c.mod;
    EXPECT_EQ(r.l1a_natom, c.atoms) << c.mon << " " << c.mod;
  }
}

}  // namespace
