// The loading sequence on the test library: file set, counts and messages,
// index and pool, links and their connecting atoms.
#include <gtest/gtest.h>

#include "dictionary/lib_com.h"
#include "dictionary/lib_index.h"
#include "dictionary/lib_list.h"
#include "dictionary/libcom.h"
#include "foundation/residue_class.h"
#include "monlib_fixture.h"

namespace {

using monlib::load;
using monlib::test_library;

const r_scratch_t& r = r_scratch;

int link_of(const char* id) {
  for (int l = 1; l <= r.lll_nlink; ++l)
    if (r.lll_lname(l) == id) return l;
  return 0;
}

int mod_of(const char* id) {
  for (int m = 1; m <= r.ldl_nmod; ++m)
    if (r.ldl_mname(m) == id) return m;
  return 0;
}

TEST(LibraryLoading, TestLibraryLogsItsTitleAndCounts) {
  std::string out;
  ASSERT_EQ(load(test_library(), out), 0) << out;
  const std::string expected =
      "  Size of lib_com(bytes) :  63022736\n"
      "  ------------------------------\n"
      "  ---  LIBRARY OF MONOMERS   ---\n"
      " _lib_name         mon_test\n"
      " _lib_version      1.0\n"
      " _lib_update       2026-12-07\n"
      "  ------------------------------\n"
      "  NUMBER OF MONOMERS IN THE LIBRARY          :    25\n"
      "                with complete description    :    25\n"
      "  NUMBER OF MODIFICATIONS                    :    12\n"
      "  NUMBER OF LINKS                            :     7\n"
      "  I am reading libraries. Please wait.\n"
      "      - energy parameters\n"
      "      - monomer\"s description (links & mod )\n";
  // The scattering-factor file reports its own opening after these lines.
  EXPECT_EQ(out.substr(0, expected.size()), expected);
  EXPECT_EQ(libcom.lb_name, "mon_test");
  EXPECT_EQ(libcom.lb_pass, 0);
  EXPECT_EQ(libcom.lmi_iun, 0);
}

TEST(LibraryLoading, SilentListingWritesNothing) {
  std::string out;
  ASSERT_EQ(load(test_library(), out, 'S'), 0);
  EXPECT_EQ(out.find(" NUMBER OF"), std::string::npos);
  EXPECT_EQ(out.find(" Size of lib_com"), std::string::npos);
}

TEST(LibraryLoading, EveryEntryStartsUnreadWithNoRows) {
  std::string out;
  ASSERT_EQ(load(test_library(), out), 0);
  ASSERT_EQ(r.lml_nmon, 25);
  for (int l = 1; l <= r.lml_nmon; ++l) {
    EXPECT_EQ(r.lml_fuse(l), "N") << l;
    EXPECT_EQ(r.lml_pass(l), 1) << l;
    EXPECT_EQ(r.lml_iatom(l), 0) << l;
  }
  EXPECT_EQ(r.lma_natom, 0);
  EXPECT_EQ(r.lml_mname(21), "A");
  EXPECT_EQ(r.lml_type(22), "D-pyranose");
  EXPECT_EQ(r.lml_natm(2), 24);
  EXPECT_EQ(r.lml_nhatm(2), 11);
  EXPECT_EQ(r.lml_name(4), "ASPARTIC ACID");
}

TEST(LibraryLoading, FileSetNamesTheStandardFiles) {
  monlib::Names n;
  n.libm(1) = "other";
  n.lib_ind = "other_index";
  n.libm_ext = "txt";
  std::string out;
  ASSERT_EQ(load(test_library(), out, ' ', 'N', "", &n), 0);
  EXPECT_EQ(n.libm(1), "list/mon_lib_list");
  EXPECT_EQ(n.libm_ext, "cif");
  EXPECT_EQ(n.lib_ind, "mon_lib_ind");
  EXPECT_EQ(n.libe, "ener_lib");
  EXPECT_EQ(n.lib_out, "new.lib");
  EXPECT_EQ(libcom.lmo_file, "new.lib");
  EXPECT_EQ(libcom.leo_file, "new_ener_lib");
  EXPECT_EQ(libcom.lb_numb_lib, 1);
  EXPECT_EQ(libcom.lmi_file(2), "N");
}

TEST(LibraryLoading, SingleFileModeWithoutSecondLibraryNamesNoMainLibrary) {
  monlib::Names n;
  int32_t numb = 0, ierr = -1;
  captured([&] {
    initlib_(999, 'Y', numb, "", "", "", n.libm, n.libe.ref(), "", n.libm_ext.ref(),
             n.libe_ext.ref(), "", "", n.lib_ind.ref(), n.lib_out.ref(), ierr);
  });
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(libcom.lb_numb_lib, 0);
  EXPECT_EQ(libcom.lmi_file(2), "Y");
  EXPECT_TRUE(libcom.lin_file.is_blank());
}

TEST(LibraryLoading, IndexEntriesComeFromTheirColumns) {
  std::string out;
  ASSERT_EQ(load(test_library(), out), 0);
  ASSERT_EQ(r.lmx_nmon, 25);
  EXPECT_EQ(r.lmx_mname(1), "ALA");
  EXPECT_EQ(r.lmx_natom(1), 5);
  EXPECT_EQ(r.lmx_content(1), "030101000000000000000000000000");
  EXPECT_EQ(r.lmx_index(1), "004004002000000000000000");
  EXPECT_EQ(r.lmx_pair(1), "002001001000000000000000");
  EXPECT_EQ(r.lmx_mname(24), "ZN");
  EXPECT_EQ(r.lmx_content(24), "000000000000000001000000000000");
}

TEST(LibraryLoading, CandidatePoolHoldsTheGraphsOfFiveHeavyAtomsOrMore) {
  std::string out;
  ASSERT_EQ(load(test_library(), out), 0);
  const com_match_pool_t& p = com_match_pool;
  ASSERT_EQ(p.match_nmon, 21);
  EXPECT_EQ(p.mem_tot, 1345);
  // ALA: list number 1, 5 heavy atoms, 4 heavy bonds, 3 C, 1 N, 1 O.
  EXPECT_EQ(p.match_pointer(1), 1);
  EXPECT_EQ(p.match_pool(1), 1);
  EXPECT_EQ(p.match_pool(2), 5);
  EXPECT_EQ(p.match_pool(3), 4);
  EXPECT_EQ(p.match_pool(4), 3);
  EXPECT_EQ(p.match_pointer(2), 1 + 18 + 2 * 5 + 3 * 4);
}

TEST(LibraryLoading, LinksCarryTheirDescriptionsAndConnectingAtoms) {
  std::string out;
  ASSERT_EQ(load(test_library(), out), 0);
  const int trans = link_of("TRANS");
  const int p = link_of("p");
  const int ss = link_of("SS");
  ASSERT_GT(trans, 0);
  ASSERT_GT(p, 0);
  const int b = r.lll_ibond(trans);
  EXPECT_EQ(r.llb_1atm(b), "C");
  EXPECT_EQ(r.llb_f1atm(b), 1);
  EXPECT_EQ(r.llb_2atm(b), "N");
  EXPECT_EQ(r.llb_f2atm(b), 2);
  EXPECT_FLOAT_EQ(r.llb_val(b), 1.329f);
  EXPECT_EQ(r.llp_natom(r.lll_iplan(trans)), 6);
  EXPECT_EQ(r.atom_stor(r.iconn_atom_ind(1, trans)), "C");
  EXPECT_EQ(r.atom_stor(r.iconn_atom_ind(2, trans)), "N");
  EXPECT_FLOAT_EQ(r.bond_idl(trans), 1.329f);
  EXPECT_EQ(r.atom_stor(r.iconn_atom_ind(1, p)), "O3*");
  EXPECT_EQ(r.atom_stor(r.iconn_atom_ind(2, p)), "P");
  // SG is not among the 13 seeded names: it takes the next slot.
  EXPECT_EQ(r.iconn_atom_ind(1, ss), 14);
  EXPECT_EQ(r.atom_stor(14), "SG");
  EXPECT_EQ(r.n_stor, 16);  // SG, ND2, C1
  EXPECT_EQ(r.lll_mon2(link_of("PTRANS")), "PRO");
  EXPECT_EQ(r.lll_fuse(trans), "N");
}

TEST(LibraryLoading, ModificationsCarryTheirRows) {
  std::string out;
  ASSERT_EQ(load(test_library(), out), 0);
  const int nh3 = mod_of("NH3");
  const int coo = mod_of("COO");
  ASSERT_GT(nh3, 0);
  EXPECT_EQ(r.lda_funct(r.ldl_iatom(nh3)), "change");
  EXPECT_EQ(r.lda_chem(r.ldl_iatom(nh3)), "NT3");
  EXPECT_EQ(r.lda_anew(r.ldl_iatom(nh3) + 1), "H2");
  EXPECT_EQ(r.ldn_back(r.ldl_iconn(nh3)), "N");
  EXPECT_FLOAT_EQ(r.ldb_val(r.ldl_ibond(nh3)), 1.010f);
  EXPECT_EQ(r.ldp_natom(r.ldl_iplan(coo)), 4);
  EXPECT_EQ(r.ldp_funct(r.ldl_iplan(coo)), "add");
  EXPECT_EQ(r.ldl_comp(mod_of("DEL-O1")), "NAG");
}

TEST(LibraryLoading, ResidueClassesComeFromTheGroups) {
  std::string out;
  ASSERT_EQ(load(test_library(), out), 0);
  EXPECT_EQ(com_res_type.nrname_t, 20);
  EXPECT_EQ(com_res_type.nrnamed_t, 1);
  EXPECT_EQ(com_res_type.nrnames_t, 1);
  EXPECT_EQ(com_res_type.rname_t(RNAME_SUGR0 + 1), "NAG");
}

// A monomer listed under the cut water name keeps it from the waters; the
// next library, without one, gives it back.
TEST(LibraryLoading, MonomerNamedTipTakesTheNameFromWater) {
  std::string out;
  ASSERT_EQ(load(test_library(), out), 0);
  EXPECT_TRUE(foundation::is_cut_water_name("TIP"));
  r_scratch.lml_mname(r.lml_nmon) = "TIP";
  int32_t ierr = -1;
  set_lib_res_type_tab_(0, ierr);
  EXPECT_FALSE(foundation::is_cut_water_name("TIP"));
  ASSERT_EQ(load(test_library(), out), 0);
  EXPECT_TRUE(foundation::is_cut_water_name("TIP"));
}

TEST(LibraryLoading, EnergyTypesAndTermsPointAtEachOther) {
  std::string out;
  ASSERT_EQ(load(test_library(), out), 0);
  EXPECT_EQ(r.lea_natom, 30);
  ASSERT_GT(r.leb_nbond, 0);
  for (int k = 1; k <= r.leb_nbond; ++k) {
    EXPECT_EQ(r.lea_aname(r.leb_i1atm(k)), r.leb_1atm(k)) << k;
    EXPECT_EQ(r.lea_aname(r.leb_i2atm(k)), r.leb_2atm(k)) << k;
  }
  EXPECT_EQ(r.let_ntors, 3);
  EXPECT_EQ(r.let_1atm(1), ".");
  EXPECT_EQ(r.lew_ncont, 2);
  EXPECT_EQ(r.leh_nhbond, 3);
  EXPECT_EQ(r.les_nsyn, 2);
}

TEST(LibraryLoading, UnknownReadingModeReadsNothing) {
  std::string out;
  ASSERT_EQ(load(test_library(), out), 0);
  const int before = r.lll_nlink;
  int32_t ierr = -1;
  read_lib_(0, "X", 'N', ' ', ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(r.lll_nlink, before);
}

TEST(LibraryLoading, MissingListFileEndsTheRun) {
  monlib::TempDir dir;
  std::string out;
  const int status = run_end_status([&] { monlib::load_raw(dir.dir()); }, out);
  EXPECT_EQ(status, 1);
}

}  // namespace
