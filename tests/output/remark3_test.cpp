// The REMARK 3 block from small filled refinement tables, each section
// against text worked out from its layout: values, NULL lines, overflowing
// fields and the rows that the restraint-kind names select.
#include "output/remark3.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "foundation/make_params.h"
#include "output/refine_tables.h"
#include "output_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class Remark3 : public outtest::Files {
 protected:
  void SetUp() override {
    Files::SetUp();
    rhar_xray = {};
    rhar_geom = {};
    bins_num = {};
    ls_over_flags = {};
    vitals = {};
    ncsr_ints = {};
    tls_pars = {};
    solvent_flags = {};
    rflct1 = {};
    refstl_char.ref_style = "";
    refl_flag.phase_flag = false;
    make_params.make_hflag = "N";
    consts.rtodeg = 57.29578f;
    consts.pisq8 = 78.95684f;
  }
  // A filled model of the statistics: whole range in entry 3, two bins.
  void fill() {
    rhar_xray_t& x = rhar_xray;
    x.nhrefl_work = 1000;
    bins_num.nbin_ref = 2;
    x.hd_high = 1.8f;
    x.hd_low = 1000.0f;  // beyond F6.2
    x.hcompl_bin(3) = 99.5f;
    x.nhrefl_bin_work(3) = 12345;
    x.hrfac_bin_all(3) = 0.205f;
    x.rfactor_work = 0.2f;
    x.rfactor_free = 0.25f;
    x.perc_free = 5.0f;
    x.nhrefl_free = 650;
    x.nhbins = 2;
    x.hd_high_bin(2) = 1.8f;
    x.hd_low_bin(2) = 1.85f;
    x.nhrefl_bin_work(2) = 800;
    x.hcompl_bin(2) = 98.0f;
    x.hrfac_bin_work(2) = 0.3f;
    x.nhrefl_bin_free(2) = 40;
    x.hrfac_bin_free(2) = 0.35f;
    refstl_char.ref_style = "MLKF";
  }
  void entry(const char* name, int32_t num, float rms, float wght) {
    const int32_t i = ++rhar_geom.nhrestr;
    rhar_geom.hrestr_name(i) = name;
    rhar_geom.hrestr_num(i) = num;
    rhar_geom.hrestr_rms(i) = rms;
    rhar_geom.hrestr_wght(i) = wght;
  }
  // Statistics for the B, error, correlation and geometry sections.
  void fill_statistics() {
    fill();
    outtest::ModelBuilder().chain("A").residue("ALA", 1, {"N", "CA", "C"});
    atom_crd.u_aniso(1, 1) = 0.25f;  // isotropic
    atom_crd.u_aniso(1, 2) = 0.1f;   // anisotropic: the mean of three
    atom_crd.u_aniso(2, 2) = 0.2f;
    atom_crd.u_aniso(3, 2) = 0.3f;
    atom_crd.occup(3) = 0.0f;  // left out of the sum, not of the count
    ls_over_flags.words(3) = true;
    ls_over_scale.words(3) = 1.5f;
    ls_over_scale.words(4) = -0.75f;
    ls_over_scale.words(6) = 123456.0f;
    rhar_xray.hesu_cruic = 0.001f;
    rhar_xray.hesu_ml = -1.0f;
    rhar_xray.hesu_ml_b = std::nanf("");
    rhar_xray.hcorr_fofc = 1.0f;
    rhar_xray.hcorr_fofc_free = 1.0001f;
    entry("Planar groups: others", 12, 0.02f, 0.5f);
    entry("Torsion angles, period 1. refined", 9, 1.0f, 1.0f);  // one blank too few
    entry("Bond distances: refined atoms", 812, 1.25f, 2.0f);
    entry("HBOND: others", 3, 0.1f, 1.0f);
    entry("HBOND: others", 4, 100.0f, 1.0f);
  }
  Lines block() {
    const int32_t iun = open_out("r3");
    write_deposit_stats_(iun);
    return close_and_read(iun, "r3");
  }
  // `n` lines from the last line equal to `first`.
  static Lines from(const Lines& all, const std::string& first, std::size_t n) {
    std::size_t at = all.size();
    for (std::size_t i = 0; i < all.size(); ++i)
      if (all[i] == first) at = i;
    return Lines(all.begin() + static_cast<long>(at),
                 all.begin() + static_cast<long>(std::min(all.size(), at + n)));
  }
  // The lines from `heading` to the first separator after it, both kept.
  static Lines section(const Lines& all, const std::string& heading) {
    Lines out;
    bool in = false;
    for (const std::string& l : all) {
      if (l == heading) in = true;
      if (!in) continue;
      out.push_back(l);
      if (l == "REMARK   3") break;
    }
    return out;
  }
};

}  // namespace

TEST_F(Remark3, NoReflectionsWriteNothing) { EXPECT_TRUE(block().empty()); }

TEST_F(Remark3, ProgramDataFitBinAndAtoms) {
  fill();
  outtest::ModelBuilder().chain("A").residue("ALA", 1, {"N", "CA", "C"});
  crst_refm.atom_ref_flag(1) = 3;
  crst_refm.atom_ref_flag(2) = 13;
  crst_refm.atom_ref_flag(3) = 2;
  const Lines all = block();
  const Lines want = {
      "REMARK   3",
      "REMARK   3 REFINEMENT.",
      "REMARK   3   PROGRAM     : KAVLIN 5.3.0036",
      "REMARK   3   AUTHORS     : KELDORANT,TRUSK,BLENOR",
      "REMARK   3",
      "REMARK   3    REFINEMENT TARGET : MAXIMUM LIKELIHOOD",
      "REMARK   3",
      "REMARK   3  DATA USED IN REFINEMENT.",
      "REMARK   3   RESOLUTION RANGE HIGH (ANGSTROMS) :   1.80",
      "REMARK   3   RESOLUTION RANGE LOW  (ANGSTROMS) : ******",
      "REMARK   3   DATA CUTOFF            (SIGMA(F)) : NONE",
      "REMARK   3   COMPLETENESS FOR RANGE        (%) :  99.50",
      "REMARK   3   NUMBER OF REFLECTIONS             :   12345",
      "REMARK   3",
      "REMARK   3  FIT TO DATA USED IN REFINEMENT.",
      "REMARK   3   CROSS-VALIDATION METHOD          : THROUGHOUT",
      "REMARK   3   FREE R VALUE TEST SET SELECTION  : RANDOM",
      "REMARK   3   R VALUE     (WORKING + TEST SET) : 0.20500",
      "REMARK   3   R VALUE            (WORKING SET) :  0.20000",
      "REMARK   3   FREE R VALUE                     :  0.25000",
      "REMARK   3   FREE R VALUE TEST SET SIZE   (%) :  5.0",
      "REMARK   3   FREE R VALUE TEST SET COUNT      :   650",
      "REMARK   3",
      "REMARK   3  FIT IN THE HIGHEST RESOLUTION BIN.",
      "REMARK   3   TOTAL NUMBER OF BINS USED           :       2",
      "REMARK   3   BIN RESOLUTION RANGE HIGH           :    1.800",
      "REMARK   3   BIN RESOLUTION RANGE LOW            :    1.850",
      "REMARK   3   REFLECTION IN BIN     (WORKING SET) :      800",
      "REMARK   3   BIN COMPLETENESS (WORKING+TEST) (%) :    98.00",
      "REMARK   3   BIN R VALUE           (WORKING SET) :    0.300",
      "REMARK   3   BIN FREE R VALUE SET COUNT          :       40",
      "REMARK   3   BIN FREE R VALUE                    :    0.350",
      "REMARK   3",
      "REMARK   3  NUMBER OF NON-HYDROGEN ATOMS USED IN REFINEMENT.",
      "REMARK   3   ALL ATOMS                :        2",
      "REMARK   3",
  };
  ASSERT_GE(all.size(), want.size());
  EXPECT_EQ(Lines(all.begin(), all.begin() + static_cast<long>(want.size())), want);
}

TEST_F(Remark3, FitWithoutFreeSetIsNull) {
  fill();
  rhar_xray.perc_free = 0.0f;
  refl_flag.phase_flag = true;
  const Lines all = block();
  EXPECT_EQ(all[5], "REMARK   3    REFINEMENT TARGET : MAXIMUM LIKELIHOOD WITH PHASES");
  const Lines want = {
      "REMARK   3  FIT TO DATA USED IN REFINEMENT.",
      "REMARK   3   CROSS-VALIDATION METHOD          : NULL",
      "REMARK   3   FREE R VALUE TEST SET SELECTION  : NULL",
      "REMARK   3   R VALUE     (WORKING + TEST SET) : 0.20500",
      "REMARK   3   R VALUE            (WORKING SET) :  0.20000",
      "REMARK   3   FREE R VALUE                     : NULL",
      "REMARK   3   FREE R VALUE TEST SET SIZE   (%) : NULL",
      "REMARK   3   FREE R VALUE TEST SET COUNT      : NULL",
      "REMARK   3",
  };
  EXPECT_EQ(section(all, want[0]), want);
}

TEST_F(Remark3, BValues) {
  fill_statistics();
  const Lines all = block();
  const Lines b = {
      "REMARK   3  B VALUES.",
      "REMARK   3   FROM WILSON PLOT           (A**2) : NULL",
      "REMARK   3   MEAN B VALUE      (OVERALL, A**2) :  11.844",
      "REMARK   3   OVERALL ANISOTROPIC B VALUE.",
      "REMARK   3    B11 (A**2) :     1.50",
      "REMARK   3    B22 (A**2) :    -0.75",
      "REMARK   3    B33 (A**2) :     0.00",
      "REMARK   3    B12 (A**2) : ********",
      "REMARK   3    B13 (A**2) :     0.00",
      "REMARK   3    B23 (A**2) :     0.00",
      "REMARK   3",
  };
  EXPECT_EQ(section(all, b[0]), b);
}

TEST_F(Remark3, CoordinateErrors) {
  fill_statistics();
  const Lines all = block();
  const Lines esu = {
      "REMARK   3  ESTIMATED OVERALL COORDINATE ERROR.",
      "REMARK   3   ESU BASED ON R VALUE                            (A):   0.001",
      "REMARK   3   ESU BASED ON FREE R VALUE                       (A): NULL",
      "REMARK   3   ESU BASED ON MAXIMUM LIKELIHOOD                 (A): NULL",
      "REMARK   3   ESU FOR B VALUES BASED ON MAXIMUM LIKELIHOOD (A**2): NULL",
      "REMARK   3",
  };
  EXPECT_EQ(section(all, esu[0]), esu);
}

TEST_F(Remark3, CorrelationCoefficients) {
  fill_statistics();
  const Lines all = block();
  const Lines corr = {
      "REMARK   3 CORRELATION COEFFICIENTS.",
      "REMARK   3   CORRELATION COEFFICIENT FO-FC      :   1.000",
      "REMARK   3   CORRELATION COEFFICIENT FO-FC FREE : NULL",
      "REMARK   3",
  };
  EXPECT_EQ(section(all, corr[0]), corr);
}

TEST_F(Remark3, RmsDeviationRows) {
  fill_statistics();
  const Lines all = block();
  const Lines geom = {
      "REMARK   3  RMS DEVIATIONS FROM IDEAL VALUES        COUNT    RMS    WEIGHT",
      "REMARK   3   BOND LENGTHS REFINED ATOMS        (A):   812 ; 1.250 ; 2.000",
      "REMARK   3   GENERAL PLANES OTHERS             (A):    12 ; 0.020 ; 0.500",
      "REMARK   3   H-BOND (X...Y) OTHERS             (A):     3 ; 0.100 ; 1.000",
      "REMARK   3   H-BOND (X...Y) OTHERS             (A):     4 ;****** ; 1.000",
      "REMARK   3",
  };
  EXPECT_EQ(section(all, geom[0]), geom);
}

TEST_F(Remark3, ThermalRestraintsAndNcsGroups) {
  fill();
  entry("M. chain bond B values: others and more", 50, 0.8f, 1.5f);  // first 30 characters
  entry("M. chain bond B values: refined atoms X", 51, 0.8f, 1.5f);  // whole name: no row
  entry("NCS: tight positional , group  1 chain A", 100, 0.05f, 5.0f);
  entry("NCS: loose thermal    , group  2 chain B", 7, 1.25f, 2.0f);
  vitals.aniso_level = 2;
  ncsr_ints.ncs_ngroups = 2;
  ncs_restrs.ncs_nchains(1) = 2;
  ncs_restrs.ncs_chain_id(1, 1) = "A";
  ncs_restrs.ncs_chain_id(2, 1) = "B";
  ncs_restrs.ncs_nspans(1) = 2;
  ncs_restrs.ncs_res_first(1, 1) = 1;
  ncs_restrs.ncs_res_last(1, 1) = 100;
  ncsr_ints.ncs_span_code(1, 1) = 1;
  ncs_restrs.ncs_res_first(2, 1) = 120;
  ncs_restrs.ncs_res_last(2, 1) = 150;
  ncsr_ints.ncs_span_code(2, 1) = 2;
  ncs_restrs.ncs_nchains(2) = 0;
  ncs_restrs.ncs_nspans(2) = 1;
  const Lines all = block();
  const std::string iso =
      "REMARK   3  ISOTROPIC THERMAL FACTOR RESTRAINTS.     COUNT   RMS    WEIGHT";
  const Lines want = {
      iso,
      "REMARK   3   MAIN-CHAIN BOND OTHER ATOMS    (A**2):    50 ; 0.800 ; 1.500",
      "REMARK   3",
      "REMARK   3 ANISOTROPIC THERMAL FACTOR RESTRAINTS.    COUNT   RMS   WEIGHT",
      "REMARK   3",
      "REMARK   3  NCS RESTRAINTS STATISTICS",
      "REMARK   3   NUMBER OF DIFFERENT NCS GROUPS :   2",
      "REMARK   3",
      "REMARK   3  NCS GROUP NUMBER               :   1",
      "REMARK   3     CHAIN NAMES                    : A B",
      "REMARK   3     NUMBER OF COMPONENTS NCS GROUP :    2",
      "REMARK   3       COMPONENT C  SSSEQI  TO  C   SSSEQI   CODE",
      "REMARK   3           1     A        1       A       100      1",
      "REMARK   3           1     B        1       B       100      1",
      "REMARK   3           2     A      120       A       150      2",
      "REMARK   3           2     B      120       B       150      2",
      "REMARK   3                   GROUP CHAIN        COUNT   RMS     WEIGHT",
      "REMARK   3   TIGHT POSITIONAL   1    A    (A):    100 ;  0.05 ;  5.00",
      "REMARK   3",
      "REMARK   3  NCS GROUP NUMBER               :   2",
      "REMARK   3     CHAIN NAMES                    :",
      "REMARK   3     NUMBER OF COMPONENTS NCS GROUP :    1",
      "REMARK   3       COMPONENT C  SSSEQI  TO  C   SSSEQI   CODE",
      "REMARK   3                   GROUP CHAIN        COUNT   RMS     WEIGHT",
      "REMARK   3   LOOSE THERMAL      2    B (A**2):      7 ;  1.25 ;  2.00",
      "REMARK   3",
  };
  EXPECT_EQ(from(all, iso, want.size()), want);
}

TEST_F(Remark3, NoNcsGroupsIsNull) {
  fill();
  const Lines all = block();
  const Lines want = {"REMARK   3  NCS RESTRAINTS STATISTICS",
                      "REMARK   3   NUMBER OF NCS GROUPS : NULL", "REMARK   3"};
  EXPECT_EQ(section(all, want[0]), want);
}

TEST_F(Remark3, TlsSolventAndOtherRemarks) {
  fill();
  tls_pars.ntls_grp = 2;
  tls_pars.npieces_grp(1) = 1;
  tls_chrs.chain_piece(1, 1) = "A";
  tls_pars.ires_piece_start(1, 1) = 1;
  tls_pars.ires_piece_end(1, 1) = 100;
  tlsmtx.tlsorigin(1, 1) = 1.0f;
  tlsmtx.tlsorigin(2, 1) = -2.5f;
  tlsmtx.tlsorigin(3, 1) = 30.0f;
  for (int k = 1; k <= 6; ++k) tlsmtx.tmat(k, 1) = 0.1f * k;
  for (int k = 1; k <= 6; ++k) tlsmtx.lmat(k, 1) = 0.0f;
  tlsmtx.lmat(1, 1) = 0.001f;
  for (int k = 1; k <= 8; ++k) tlsmtx.smat(k, 1) = 0.0f;
  tlsmtx.smat(1, 1) = 0.03f;
  tlsmtx.smat(2, 1) = 0.06f;
  tlsmtx.smat(3, 1) = 0.01f;
  tls_pars.npieces_grp(2) = 0;
  solvent_flags.mask_bulk_flag = true;
  rflct1.ibabinet = 1;
  solvent_pars = {1.2f, 0.8f, 1000.0f};
  make_params.make_hflag = "Y";
  const Lines all = block();
  const Lines want = {
      "REMARK   3  TLS DETAILS",
      "REMARK   3   NUMBER OF TLS GROUPS  :    2",
      "REMARK   3   ATOM RECORD CONTAINS RESIDUAL B FACTORS ONLY",
      "REMARK   3",
      "REMARK   3   TLS GROUP :     1",
      "REMARK   3    NUMBER OF COMPONENTS GROUP :    1",
      "REMARK   3    COMPONENTS        C SSSEQI   TO  C SSSEQI",
      "REMARK   3    RESIDUE RANGE :   A        1        A      100",
      "REMARK   3    ORIGIN FOR THE GROUP (A):   1.0000  -2.5000  30.0000",
      "REMARK   3    T TENSOR",
      "REMARK   3      T11:   0.1000 T22:   0.2000",
      "REMARK   3      T33:   0.3000 T12:   0.4000",
      "REMARK   3      T13:   0.5000 T23:   0.6000",
      "REMARK   3    L TENSOR",
      "REMARK   3      L11:   3.2828 L22:   0.0000",
      "REMARK   3      L33:   0.0000 L12:   0.0000",
      "REMARK   3      L13:   0.0000 L23:   0.0000",
      "REMARK   3    S TENSOR",
      "REMARK   3      S11:   0.5730 S12:   0.5730 S13:   0.0000",
      "REMARK   3      S21:   0.0000 S22:   2.2918 S23:   0.0000",
      "REMARK   3      S31:   0.0000 S32:   0.0000 S33:  -2.8648",
      "REMARK   3",
      "REMARK   3   TLS GROUP :     2",
      "REMARK   3    NUMBER OF COMPONENTS GROUP :    0",
      "REMARK   3    COMPONENTS        C SSSEQI   TO  C SSSEQI",
  };
  EXPECT_EQ(from(all, want[0], want.size()), want);
  const Lines tail = {
      "REMARK   3",
      "REMARK   3",
      "REMARK   3  BULK SOLVENT MODELLING.",
      "REMARK   3   METHOD USED : BABINET MODEL WITH MASK",
      "REMARK   3   PARAMETERS FOR MASK CALCULATION",
      "REMARK   3   VDW PROBE RADIUS   :   1.20",
      "REMARK   3   ION PROBE RADIUS   :   0.80",
      "REMARK   3   SHRINKAGE RADIUS   : ******",
      "REMARK   3",
      "REMARK   3  OTHER REFINEMENT REMARKS:",
      "REMARK   3  HYDROGENS HAVE BEEN ADDED IN THE RIDING POSITIONS",
      "REMARK   3",
  };
  ASSERT_GE(all.size(), tail.size());
  EXPECT_EQ(Lines(all.end() - static_cast<long>(tail.size()), all.end()), tail);
}

TEST_F(Remark3, NoTlsNoMaskNoHydrogens) {
  fill();
  rflct1.ibabinet = 2;  // no METHOD line
  make_params.make_hflag = "y";
  const Lines all = block();
  const Lines tail = {
      "REMARK   3",
      "REMARK   3",
      "REMARK   3  TLS DETAILS",
      "REMARK   3   NUMBER OF TLS GROUPS  : NULL",
      "REMARK   3",
      "REMARK   3",
      "REMARK   3  BULK SOLVENT MODELLING.",
      "REMARK   3   PARAMETERS FOR MASK CACLULATION",
      "REMARK   3   VDW PROBE RADIUS   : NULL",
      "REMARK   3   ION PROBE RADIUS   : NULL",
      "REMARK   3   SHRINKAGE RADIUS   : NULL",
      "REMARK   3",
      "REMARK   3  OTHER REFINEMENT REMARKS: NULL",
      "REMARK   3",
  };
  ASSERT_GE(all.size(), tail.size());
  EXPECT_EQ(Lines(all.end() - static_cast<long>(tail.size()), all.end()), tail);
}
