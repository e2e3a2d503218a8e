// Emptying the dictionary rows: row texts, counts and start pointers reset,
// the lists and coordinates kept.
#include <gtest/gtest.h>

#include <type_traits>

#include "dictionary/lib_com.h"

// Capacities and the shapes of the members whose extents or widths a filler
// relies on, written out with the numbers themselves.
#define HAS(member, ...) \
  static_assert(std::is_same_v<decltype(r_scratch_t::member), __VA_ARGS__>, #member)
static_assert(MAXMLIST == 5000 && MAXMMON == 3000 && MAXMATM == 120000 && MAXMCNN == 60000 &&
              MAXMBND == 240000 && MAXMANG == 240000 && MAXMTOR == 120000 && MAXMCHR == 9000 &&
              MAXMPLN == 6000 && MAXMAPL == 100);
static_assert(MAXLLNK == 300 && MAXLATM == 9000 && MAXLCNN == 9000 && MAXLBND == 9000 &&
              MAXLTOR == 9000 && MAXLANG == 18000 && MAXLCHR == 900 && MAXLPLN == 600 &&
              MAXLAPL == 50);
static_assert(MAXDMDF == 300 && MAXDATM == 9000 && MAXDCNN == 9000 && MAXDBND == 9000 &&
              MAXDTOR == 9000 && MAXDANG == 18000 && MAXDCHR == 900 && MAXDPLN == 600 &&
              MAXDAPL == 50);
static_assert(MAXASYMB == 300 && MAXNSYM == 96 && MAXETYP == 300 && MAXBTYP == 800 &&
              MAXATYP == 1500 && MAXTTYP == 500 && MAXWTYP == 500 && MAXHTYP == 300 &&
              MAXSTYP == 100 && MAXLIB == 20);
static_assert(MAX1ATM == 300 && MAX1BND == 300 && MAX1ANG == 600 && MAX1TOR == 300 &&
              MAX1CHR == 50 && MAX1PLN == 80 && MAX1APL == 100 && MAX1BRN == 12 && MAX1EXT == 12 &&
              MAX1CONN == 500 && MX1ATOM == 300 && MX1BRN == 12 && MX1ALT == 20 && MX1EXT == 50 &&
              nstor_par == 50);
static_assert(LML_WORDS == 70002 && LML_BYTES == 695000 && LIB_COM_BYTES == 63022736);
HAS(lml_name, rt::Array1<rt::FixedText<48>, 5000>);
HAS(lml_type, rt::Array1<rt::FixedText<16>, 5000>);
HAS(lma_type, rt::Array1<rt::FixedText<8>, 120000>);
HAS(lma_coor_flag, rt::Array1<rt::FixedText<1>, 120000>);
HAS(lmb_val, rt::Array1<float, 240000>);
HAS(lmc_9atm, rt::Array1<rt::FixedText<4>, 9000>);
HAS(lmp_atom, rt::Array2<rt::FixedText<4>, 100, 6000>);
HAS(lmp_dev, rt::Array2<float, 100, 6000>);
HAS(lll_detail, rt::Array1<rt::FixedText<48>, 300>);
HAS(llg_f3atm, rt::Array1<int32_t, 18000>);
HAS(llp_fatom, rt::Array2<int32_t, 50, 600>);
HAS(ldp_dobs, rt::Array2<float, 50, 600>);
HAS(lmr_detail, rt::Array1<rt::FixedText<48>, 300>);
HAS(lso_symop, rt::Array1<rt::FixedText<24>, 96>);
HAS(lmx_content, rt::Array1<rt::FixedText<30>, 5000>);
HAS(l1a_id_psi, rt::Array1<rt::FixedText<8>, 300>);
HAS(l1a_conn, rt::Array2<int32_t, 12, 300>);
HAS(l1a_iextr, rt::Array2<int32_t, 12, 300>);
HAS(l1a_ring_flat, rt::Array2<int32_t, 12, 300>);
HAS(l1n_type, rt::Array1<rt::FixedText<8>, 500>);
HAS(l1g_val, rt::Array1<float, 600>);
HAS(l1c_i9atm, rt::Array1<int32_t, 50>);
HAS(l1p_atom, rt::Array2<rt::FixedText<4>, 100, 80>);
HAS(l2p_flag, rt::Array2<int32_t, 100, 80>);
HAS(c1_pnum, rt::FixedText<12>);
HAS(c1_rtype, rt::FixedText<16>);
HAS(c2_anis, rt::Array2<float, 6, 300>);
HAS(s1_iextr, rt::Array2<int32_t, 50, 300>);
HAS(s2_conn, rt::Array2<int32_t, 12, 300>);
HAS(atom_stor, rt::Array1<rt::FixedText<4>, 50>);
HAS(iflag_stor, rt::Array2<int32_t, 50, 2>);
HAS(x_stor, rt::Array2<float, 50, 2>);
HAS(y_stor, rt::Array2<float, 50, 2>);
HAS(z_stor, rt::Array2<float, 50, 2>);
HAS(iconn_atom_ind, rt::Array2<int32_t, 2, 300>);
HAS(bond_idl, rt::Array1<float, 300>);
#undef HAS

TEST(DictionaryTables, EmptyingResetsRowTextsAndKeepsCoordinates) {
  r_scratch.lma_natom = 5;
  r_scratch.lma_aname(1) = "CA";
  r_scratch.lma_type(1) = "DUMMY";
  r_scratch.lma_charg(MAXMATM) = 0.5f;
  r_scratch.lma_x(1) = 1.5f;
  init_cnt_();
  EXPECT_EQ(r_scratch.lma_natom, 0);
  for (int i : {1, MAXMATM}) {
    EXPECT_EQ(r_scratch.lma_aname(i).view(), "?   ");
    EXPECT_EQ(r_scratch.lma_back(i), "?");
    EXPECT_EQ(r_scratch.lma_forw(i), "?");
    EXPECT_EQ(r_scratch.lma_chem(i), "?");
    EXPECT_EQ(r_scratch.lma_symb(i), "?");
    EXPECT_EQ(r_scratch.lma_type(i).view(), ".       ");
    EXPECT_FLOAT_EQ(r_scratch.lma_charg(i), 0.0f);
  }
  EXPECT_FLOAT_EQ(r_scratch.lma_x(1), 1.5f);
}

TEST(DictionaryTables, EmptyingZeroesEveryRowCount) {
  r_scratch.lmb_nbond = 1;
  r_scratch.lmp_nplan = 2;
  r_scratch.llc_nchir = 3;
  r_scratch.llp_nplan = 4;
  r_scratch.lda_natom = 5;
  r_scratch.ldp_nplan = 6;
  r_scratch.lmn_nconn = 7;
  r_scratch.ldn_nconn = 8;
  init_cnt_();
  EXPECT_EQ(r_scratch.lmb_nbond, 0);
  EXPECT_EQ(r_scratch.lmp_nplan, 0);
  EXPECT_EQ(r_scratch.llc_nchir, 0);
  EXPECT_EQ(r_scratch.llp_nplan, 0);
  EXPECT_EQ(r_scratch.lda_natom, 0);
  EXPECT_EQ(r_scratch.ldp_nplan, 0);
  EXPECT_EQ(r_scratch.lmn_nconn, 0);
  EXPECT_EQ(r_scratch.ldn_nconn, 0);
}

TEST(DictionaryTables, EmptyingClearsStartPointersButKeepsTheLists) {
  r_scratch.lml_nmon = 3;
  r_scratch.lml_mname(1) = "ALA";
  r_scratch.lml_ibond(2) = 7;
  r_scratch.lml_pass(MAXMLIST) = 2;
  r_scratch.lll_nlink = 1;
  r_scratch.lll_itors(MAXLLNK) = 4;
  r_scratch.ldl_nmod = 1;
  r_scratch.ldl_ichir(1) = 9;
  r_scratch.lms_nsyn = 2;
  init_cnt_();
  EXPECT_EQ(r_scratch.lml_ibond(2), 0);
  EXPECT_EQ(r_scratch.lml_pass(MAXMLIST), 0);
  EXPECT_EQ(r_scratch.lll_itors(MAXLLNK), 0);
  EXPECT_EQ(r_scratch.ldl_ichir(1), 0);
  EXPECT_EQ(r_scratch.lml_nmon, 3);
  EXPECT_EQ(r_scratch.lml_mname(1), "ALA");
  EXPECT_EQ(r_scratch.lll_nlink, 1);
  EXPECT_EQ(r_scratch.ldl_nmod, 1);
  EXPECT_EQ(r_scratch.lms_nsyn, 2);
}

TEST(DictionaryTables, PlanesHoldUpToTheirAtomCapacity) {
  // Plane atoms are stored atom-fastest: the last atom of the last plane is
  // the last element, and the first atom of plane 2 follows the last of plane 1.
  r_scratch.lmp_atom(MAXMAPL, MAXMPLN) = "O1";
  EXPECT_EQ(&r_scratch.lmp_atom(MAXMAPL, MAXMPLN), r_scratch.lmp_atom.data() + MAXMAPL * MAXMPLN - 1);
  EXPECT_EQ(&r_scratch.llp_atom(1, 2), &r_scratch.llp_atom(MAXLAPL, 1) + 1);
  EXPECT_EQ(&r_scratch.l1p_atom(1, 2), &r_scratch.l1p_atom(MAX1APL, 1) + 1);
  EXPECT_EQ(&r_scratch.s1_iextr(1, 2), &r_scratch.s1_iextr(MX1EXT, 1) + 1);
  EXPECT_EQ(&r_scratch.l1a_conn(1, 2), &r_scratch.l1a_conn(MAX1BRN, 1) + 1);
}

TEST(WorkDescriptions, PlacementScratchKeepsTwoSetsPerStoredAtom) {
  // Both sets of the 50th stored atom exist; set 2 follows all of set 1.
  r_scratch.x_stor(nstor_par, 2) = 4.5f;
  r_scratch.iflag_stor(nstor_par, 1) = 1;
  EXPECT_EQ(&r_scratch.x_stor(1, 2), &r_scratch.x_stor(nstor_par, 1) + 1);
  EXPECT_EQ(&r_scratch.z_stor(1, 2), &r_scratch.z_stor(nstor_par, 1) + 1);
  EXPECT_FLOAT_EQ(r_scratch.x_stor(nstor_par, 2), 4.5f);
  EXPECT_EQ(r_scratch.iflag_stor(nstor_par, 1), 1);
}
