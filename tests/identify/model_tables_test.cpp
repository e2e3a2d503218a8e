// The model's link and modification tables: rows filled from the residues
// and the library, repeats refused, full tables reported once; and the trace
// that lists them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "dictionary/monlib_fixture.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "identify/info_trace.h"
#include "identify/model_tables.h"
#include "support/capture.h"

namespace {

r_scratch_t& r = r_scratch;
link_inf_t& lt = link_inf;
mod_inf_t& mt = mod_inf;

// Residues 1 ASN (atoms 1 ND2, 2 ND2 of conformation B), 2 NAG (atom 3 C1),
// 3 CYS, 4 CYS.
class ModelTables : public testing::Test {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
    set_cif_types_();
    std::string log;
    ASSERT_EQ(monlib::load(monlib::test_library(), log, 'S'), 0) << log;
    resid_inf.n_residue = 4;
    const char* names[] = {"ASN", "NAG", "CYS", "CYS"};
    for (int i = 1; i <= 4; ++i) {
      resid_inf.res_name(i) = names[i - 1];
      resid_inf.link_flag(i) = "N";
      resid_inf.mod_flag(i) = "N";
    }
    atom_inf.n_atom = 3;
    atom_inf.atm_name(1) = "ND2";
    atom_inf.id_alt(1) = "A";
    atom_inf.atm_name(2) = "ND2";
    atom_inf.id_alt(2) = "B";
    atom_inf.atm_name(3) = "C1";
    atom_inf.id_alt(3) = ".";
    lt.ln_n = 0;
    mt.mod_n = 0;
    for (int f = 1; f <= 4; ++f) com_crt_link.icrt_flag(f) = 0;
  }
  static int32_t lib_link(const char* name) {
    for (int32_t i = 1; i <= r.lll_nlink; ++i)
      if (r.lll_lname(i) == name) return i;
    return 0;
  }
  static std::string put_link(const char* link, int32_t res1, int32_t res2, int32_t a1, int32_t a2,
                              int32_t irevers = 0) {
    int32_t ierr = 7;
    std::string out =
        captured([&] { put_l_tabl_(0, link, 1, 2, res1, res2, a1, a2, irevers, ierr); });
    EXPECT_EQ(ierr, 0);
    return out;
  }
  static std::string put_mod(const char* mod, int32_t ires, rt::FixedText<8>& mon, int32_t& ierr) {
    return captured([&] { put_m_tabl_(0, mod, 1, ires, 0, mon, "N", ierr); });
  }
};

TEST_F(ModelTables, LinkRowTakesResiduesAtomsAndIdealLength) {
  EXPECT_EQ(put_link("NAG-ASN", 1, 2, 1, 3), "");
  ASSERT_EQ(lt.ln_n, 1);
  EXPECT_EQ(lt.ln_id(1), "NAG-ASN");
  EXPECT_EQ(lt.ln_1ires(1), 1);
  EXPECT_EQ(lt.ln_1ichn(1), 1);
  EXPECT_EQ(lt.ln_2ires(1), 2);
  EXPECT_EQ(lt.ln_2ichn(1), 2);
  EXPECT_EQ(lt.ln_1rnam(1), "ASN");
  EXPECT_EQ(lt.ln_2rnam(1), "NAG");
  EXPECT_EQ(lt.ln_atom1(1).str(), "ND2  ");
  EXPECT_EQ(lt.ln_atom2(1).str(), "C1   ");
  EXPECT_EQ(lt.ln_alt1(1), "A");
  EXPECT_EQ(lt.ln_alt2(1), ".");
  EXPECT_EQ(lt.ln_seq1(1).str(), ".    ");
  EXPECT_EQ(lt.ln_symm2(1).str(), ".       ");
  EXPECT_FLOAT_EQ(lt.ln_dist(1), 1.45f);
  EXPECT_EQ(lt.ln_ent(1), "C");
  EXPECT_EQ(lt.ln_used(1), ".");
  EXPECT_EQ(resid_inf.link_flag(1), "Y");
  EXPECT_EQ(resid_inf.link_flag(2), "Y");
  EXPECT_EQ(resid_inf.link_flag(3), "N");
  EXPECT_EQ(r.lll_fuse(lib_link("NAG-ASN")), "Y");
}

TEST_F(ModelTables, ReversedLinkExchangesTheEnds) {
  put_link("NAG-ASN", 2, 1, 3, 1, 1);
  ASSERT_EQ(lt.ln_n, 1);
  EXPECT_EQ(lt.ln_1ires(1), 1);
  EXPECT_EQ(lt.ln_1ichn(1), 2);
  EXPECT_EQ(lt.ln_2ires(1), 2);
  EXPECT_EQ(lt.ln_atom1(1).str(), "ND2  ");
  EXPECT_FLOAT_EQ(lt.ln_dist(1), 1.45f);
}

TEST_F(ModelTables, RepeatedLinkIsEnteredOncePerOrderAndConformation) {
  put_link("NAG-ASN", 1, 2, 1, 3);
  put_link("NAG-ASN", 1, 2, 1, 3);
  EXPECT_EQ(lt.ln_n, 1);
  put_link("NAG-ASN", 1, 2, 2, 3);  // conformation B of ND2
  EXPECT_EQ(lt.ln_n, 2);
  EXPECT_EQ(lt.ln_alt1(2), "B");
  put_link("NAG-ASN", 2, 1, 3, 1);  // the residues in the other order
  EXPECT_EQ(lt.ln_n, 3);
  // Without atoms the alternate codes are not compared.
  put_link("NAG-ASN", 1, 2, 0, 0);
  EXPECT_EQ(lt.ln_n, 3);
}

TEST_F(ModelTables, LinkMissingFromTheLibraryIsEnteredAfterANote) {
  EXPECT_EQ(put_link("XLINK", 3, 4, 0, 0),
            "  WARNING : in \"put_l_table\", description of link :XLINK    is not in the library\n");
  ASSERT_EQ(lt.ln_n, 1);
  EXPECT_EQ(lt.ln_atom1(1).str(), ".    ");
  EXPECT_EQ(lt.ln_alt1(1), ".");
  EXPECT_EQ(lt.ln_dist(1), 0.0f);
  EXPECT_EQ(put_link(".", 3, 4, 0, 0), "");
  EXPECT_EQ(put_link(" X", 3, 4, 0, 0), "");
  EXPECT_EQ(lt.ln_n, 1);
}

TEST_F(ModelTables, FullLinkTableStopsTheRun) {
  put_link("SS", 3, 4, 0, 0);
  // One row short of the capacity: the last row is taken.
  lt.ln_n = MAXLINK - 1;
  EXPECT_EQ(put_link("TRANS", 1, 2, 0, 0), "");
  EXPECT_EQ(lt.ln_n, MAXLINK);
  // A repeat of row 1 needs no room.
  EXPECT_EQ(put_link("SS", 3, 4, 0, 0), "");
  int32_t ierr = 0;
  EXPECT_EQ(expect_stop(1, [&] { put_l_tabl_(0, "CIS", 1, 2, 1, 2, 0, 0, 0, ierr); }),
            "  ERROR : Number of links > 200000\n"
            "            Change parameter MAXLINK in \"atom_com.fh\"\n"
            "  ERROR: the run stops: table MAXLINK holds 200000 rows and no more\n");
  EXPECT_EQ(lt.ln_n, MAXLINK);
}

TEST_F(ModelTables, LinkWithBadResidueOrLongNameIsRefusedAloud) {
  EXPECT_EQ(put_link("SS", 3, 5, 0, 0), "  ERROR: residue index out of range: 5\n");
  EXPECT_EQ(put_link("NAG-ASN-X", 1, 2, 0, 0),
            "  ERROR: link name longer than 8 characters: NAG-ASN-X\n");
  EXPECT_EQ(lt.ln_n, 0);
}

TEST_F(ModelTables, ModificationRowWithBlankNameLooksUpTheLibrary) {
  rt::FixedText<8> mon("");
  int32_t ierr = 7;
  EXPECT_EQ(put_mod("DEL-O1", 2, mon, ierr), "");
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(mon.str(), ".       ");
  ASSERT_EQ(mt.mod_n, 1);
  EXPECT_EQ(mt.mod_id(1), "DEL-O1");
  EXPECT_EQ(mt.mod_ires(1), 2);
  EXPECT_EQ(mt.mod_ichn(1), 1);
  EXPECT_EQ(mt.mod_rnam(1), ".");
  EXPECT_EQ(mt.mod_rnam_new(1), "NAG");
  EXPECT_EQ(mt.mod_seq(1).str(), ".    ");
  EXPECT_EQ(mt.mod_used(1), "N");
  EXPECT_EQ(resid_inf.mod_flag(2), "Y");
  int32_t m = 0;
  for (int32_t i = 1; i <= r.ldl_nmod; ++i)
    if (r.ldl_mname(i) == "DEL-O1") m = i;
  EXPECT_EQ(r.ldl_fuse(m), "Y");
  // A repeat for the same residue and chain adds nothing.
  put_mod("DEL-O1", 2, mon, ierr);
  EXPECT_EQ(mt.mod_n, 1);
}

TEST_F(ModelTables, RenameKeepsItsNameAndUnknownModificationsAreNoted) {
  rt::FixedText<8> mon("");
  int32_t ierr = 7;
  put_mod("RENAME", 1, mon, ierr);
  ASSERT_EQ(mt.mod_n, 1);
  EXPECT_EQ(mt.mod_rnam(1).str(), "        ");
  mon = "";
  EXPECT_EQ(put_mod("XMOD", 1, mon, ierr),
            "  WARNING : description of modification:XMOD     is not in the dictionary\n");
  EXPECT_EQ(mt.mod_n, 2);
  // A given name is stored as it stands, without the library look-up.
  mon = "ASX";
  EXPECT_EQ(put_mod("YMOD", 1, mon, ierr), "");
  EXPECT_EQ(mt.mod_rnam(3), "ASX");
  mon = "";
  put_mod(".", 1, mon, ierr);
  EXPECT_EQ(mt.mod_n, 3);
  EXPECT_EQ(ierr, 0);
}

TEST_F(ModelTables, FullModificationTableStopsTheRun) {
  mt.mod_n = MAXMODIF - 1;
  rt::FixedText<8> mon("ASN");
  int32_t ierr = 7;
  EXPECT_EQ(put_mod("M1", 1, mon, ierr), "");
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(mt.mod_n, MAXMODIF);
  EXPECT_EQ(expect_stop(1, [&] { put_m_tabl_(0, "M2", 1, 1, 0, mon, "N", ierr); }),
            "  ERROR : Number of modifications > 100000\n"
            "            Change parameter MAXMODIF in \"atom_com.fh\"\n"
            "  ERROR: the run stops: table MAXMODIF holds 100000 rows and no more\n");
  EXPECT_EQ(mt.mod_n, MAXMODIF);
}

TEST_F(ModelTables, TraceListsBothTables) {
  EXPECT_EQ(captured([] { print_info_test_(0); }),
            "  ---ln id,used,ent,dist/res,ch,atom -\n"
            "  -- md id,res,ch,rnam,rnam_new -\n"
            "  -----\n");
  put_link("NAG-ASN", 1, 2, 1, 3);
  rt::FixedText<8> mon("ASN");
  int32_t ierr = 0;
  put_mod("DEL-HD22", 1, mon, ierr);
  EXPECT_EQ(captured([] { print_info_test_(5); }),
            "  ---ln id,used,ent,dist/res,ch,atom -\n"
            "  ln: NAG-ASN  . C 1.45\n"
            "      1 1 ND2\n"
            "      2 2 C1\n"
            "      A .\n"
            "  -- md id,res,ch,rnam,rnam_new -\n"
            "  md: DEL-HD22 ; N\n"
            "      1 1 ASN      ASN\n"
            "  -----\n");
  EXPECT_EQ(captured([] { print_info_test_(99); }), "");
  EXPECT_EQ(captured([] { print_info_test_(-120); }), "");
}

}  // namespace
