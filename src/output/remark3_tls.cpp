// REMARK 3: TLS groups with their residue ranges and tensors, the bulk
// solvent model and the other refinement remarks, which close the block.
// L and S are held in radian units and printed in degrees; S is held
// without its trace and rebuilt with s11 + s22 + s33 = 0.
#include "foundation/make_params.h"
#include "output/refine_tables.h"
#include "output/remark3_lines.h"

namespace {

using output::r3::line;
using output::r3::text;

constexpr std::string_view kPair = "(A,F9.4,A,F9.4)";
constexpr std::string_view kTriple = "(A,F9.4,A,F9.4,A,F9.4)";

void tls_group(int32_t iun, int32_t g, float rtd2) {
  const tlsmtx_t& m = tlsmtx;
  text(iun, "REMARK   3");
  line(iun, "(A,I5)", "REMARK   3   TLS GROUP : ", g);
  line(iun, "(A,I4)", "REMARK   3    NUMBER OF COMPONENTS GROUP : ", tls_pars.npieces_grp(g));
  text(iun, "REMARK   3    COMPONENTS        C SSSEQI   TO  C SSSEQI");
  const int32_t np =
      tls_pars.npieces_grp(g) < maxpieces_tls ? tls_pars.npieces_grp(g) : maxpieces_tls;
  for (int32_t p = 1; p <= np; ++p)
    line(iun, "(A,3X,A,I6,8X,A,I6)", "REMARK   3    RESIDUE RANGE :", tls_chrs.chain_piece(p, g),
         tls_pars.ires_piece_start(p, g), tls_chrs.chain_piece(p, g),
         tls_pars.ires_piece_end(p, g));
  line(iun, "(A,3F9.4)", "REMARK   3    ORIGIN FOR THE GROUP (A):", m.tlsorigin(1, g),
       m.tlsorigin(2, g), m.tlsorigin(3, g));
  text(iun, "REMARK   3    T TENSOR");
  line(iun, kPair, "REMARK   3      T11:", m.tmat(1, g), " T22:", m.tmat(2, g));
  line(iun, kPair, "REMARK   3      T33:", m.tmat(3, g), " T12:", m.tmat(4, g));
  line(iun, kPair, "REMARK   3      T13:", m.tmat(5, g), " T23:", m.tmat(6, g));
  text(iun, "REMARK   3    L TENSOR");
  line(iun, kPair, "REMARK   3      L11:", m.lmat(1, g) * rtd2, " L22:", m.lmat(2, g) * rtd2);
  line(iun, kPair, "REMARK   3      L33:", m.lmat(3, g) * rtd2, " L12:", m.lmat(4, g) * rtd2);
  line(iun, kPair, "REMARK   3      L13:", m.lmat(5, g) * rtd2, " L23:", m.lmat(6, g) * rtd2);
  const float k = consts.rtodeg;
  const float s12 = k * m.smat(3, g), s13 = k * m.smat(4, g), s23 = k * m.smat(5, g);
  const float s21 = k * m.smat(6, g), s31 = k * m.smat(7, g), s32 = k * m.smat(8, g);
  const float s33 = -(k * (m.smat(1, g) + 2.0f * m.smat(2, g))) / 3.0f;
  const float s11 = k * m.smat(2, g) + s33;
  const float s22 = k * m.smat(1, g) + s11;
  text(iun, "REMARK   3    S TENSOR");
  line(iun, kTriple, "REMARK   3      S11:", s11, " S12:", s12, " S13:", s13);
  line(iun, kTriple, "REMARK   3      S21:", s21, " S22:", s22, " S23:", s23);
  line(iun, kTriple, "REMARK   3      S31:", s31, " S32:", s32, " S33:", s33);
}

void bulk_solvent(int32_t iun) {
  const bool mask = solvent_flags.mask_bulk_flag;
  const int32_t babinet = rflct1.ibabinet;
  text(iun, "REMARK   3");
  text(iun, "REMARK   3");
  text(iun, "REMARK   3  BULK SOLVENT MODELLING.");
  if (babinet == 1)
    text(iun, mask ? "REMARK   3   METHOD USED : BABINET MODEL WITH MASK"
                   : "REMARK   3   METHOD USED : BABINET MODEL");
  else if (babinet == 0)
    text(iun, mask ? "REMARK   3   METHOD USED :  MASK" : "REMARK   3   METHOD USED : NONE");
  constexpr std::string_view kLabels[3] = {
      "REMARK   3   VDW PROBE RADIUS   : ", "REMARK   3   ION PROBE RADIUS   : ",
      "REMARK   3   SHRINKAGE RADIUS   : "};
  const float radii[3] = {solvent_pars.vdw_probe_rad, solvent_pars.ion_probe_rad,
                          solvent_pars.shrink_rad};
  if (mask) {
    text(iun, "REMARK   3   PARAMETERS FOR MASK CALCULATION");
    for (int i = 0; i < 3; ++i) line(iun, "(A,F6.2)", kLabels[i], radii[i]);
  } else {
    // The header of this path is spelled as the stored files have it.
    text(iun, "REMARK   3   PARAMETERS FOR MASK CACLULATION");
    for (std::string_view l : kLabels) output::r3::null_line(iun, l);
  }
}

}  // namespace

namespace output::r3 {

void tls_solvent_and_remarks(int32_t iun, float rtd2) {
  text(iun, "REMARK   3");
  text(iun, "REMARK   3");
  text(iun, "REMARK   3  TLS DETAILS");
  const int32_t ngrp = tls_pars.ntls_grp;
  if (ngrp <= 0) {
    text(iun, "REMARK   3   NUMBER OF TLS GROUPS  : NULL");
  } else {
    line(iun, "(A,I4)", "REMARK   3   NUMBER OF TLS GROUPS  : ", ngrp);
    text(iun, "REMARK   3   ATOM RECORD CONTAINS RESIDUAL B FACTORS ONLY");
    for (int32_t g = 1; g <= ngrp && g <= maxtlsgrp; ++g) tls_group(iun, g, rtd2);
  }
  bulk_solvent(iun);
  text(iun, "REMARK   3");
  if (make_params.make_hflag == "Y") {
    text(iun, "REMARK   3  OTHER REFINEMENT REMARKS:");
    text(iun, "REMARK   3  HYDROGENS HAVE BEEN ADDED IN THE RIDING POSITIONS");
  } else {
    text(iun, "REMARK   3  OTHER REFINEMENT REMARKS: NULL");
  }
  text(iun, "REMARK   3");
}

}  // namespace output::r3
