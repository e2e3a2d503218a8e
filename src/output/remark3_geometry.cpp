// REMARK 3: B values, estimated coordinate error, correlation coefficients
// and the rms deviations from ideal geometry.
#include <cmath>

#include "output/refine_tables.h"
#include "output/remark3.h"
#include "output/remark3_lines.h"

namespace {

using output::r3::line;
using output::r3::null_line;
using output::r3::RowKind;
using output::r3::text;

constexpr RowKind kGeometry[] = {
    {"REMARK   3   BOND LENGTHS REFINED ATOMS        (A):", "Bond distances: refined atoms"},
    {"REMARK   3   BOND LENGTHS OTHERS               (A):", "Bond distances: others"},
    {"REMARK   3   BOND ANGLES REFINED ATOMS   (DEGREES):", "Bond angles  : refined atoms"},
    {"REMARK   3   BOND ANGLES OTHERS          (DEGREES):", "Bond angles  : others"},
    {"REMARK   3   TORSION ANGLES, PERIOD 1    (DEGREES):", "Torsion angles, period  1. refined"},
    {"REMARK   3   TORSION ANGLES, PERIOD 2    (DEGREES):", "Torsion angles, period  2. refined"},
    {"REMARK   3   TORSION ANGLES, PERIOD 3    (DEGREES):", "Torsion angles, period  3. refined"},
    {"REMARK   3   TORSION ANGLES, PERIOD 4    (DEGREES):", "Torsion angles, period  4. refined"},
    {"REMARK   3   CHIRAL-CENTER RESTRAINTS       (A**3):", "Chiral centres: refined atoms"},
    {"REMARK   3   GENERAL PLANES REFINED ATOMS      (A):", "Planar groups: refined atoms"},
    {"REMARK   3   GENERAL PLANES OTHERS             (A):", "Planar groups: others"},
    {"REMARK   3   NON-BONDED CONTACTS REFINED ATOMS (A):", "VDW repulsions: refined atoms"},
    {"REMARK   3   NON-BONDED CONTACTS OTHERS        (A):", "VDW repulsions: others"},
    {"REMARK   3   NON-BONDED TORSION REFINED ATOMS  (A):", "VDW; torsion: refined atoms"},
    {"REMARK   3   NON-BONDED TORSION OTHERS         (A):", "VDW; torsion: others"},
    {"REMARK   3   H-BOND (X...Y) REFINED ATOMS      (A):", "HBOND: refined atoms"},
    {"REMARK   3   H-BOND (X...Y) OTHERS             (A):", "HBOND: others"},
    {"REMARK   3   POTENTIAL METAL-ION REFINED ATOMS (A):", "Metal-ion: refined atoms"},
    {"REMARK   3   POTENTIAL METAL-ION OTHERS        (A):", "Metal-ion: others"},
    {"REMARK   3   SYMMETRY VDW REFINED ATOMS        (A):",
     "VDW repulsions; symmetry: refined atoms"},
    {"REMARK   3   SYMMETRY VDW OTHERS               (A):", "VDW repulsions; symmetry: others"},
    {"REMARK   3   SYMMETRY H-BOND REFINED ATOMS     (A):", "HBOND; symmetry: refined atoms"},
    {"REMARK   3   SYMMETRY H-BOND OTHERS            (A):", "HBOND; symmetry: others"},
    {"REMARK   3   SYMMETRY METAL-ION REFINED ATOMS  (A):", "Metal-ion; symmetry: refined atoms"},
    {"REMARK   3   SYMMETRY METAL-ION OTHERS         (A):", "Metal-ion; symmetry: others"},
};

constexpr std::string_view kTensorLabels[6] = {
    "REMARK   3    B11 (A**2) : ", "REMARK   3    B22 (A**2) : ", "REMARK   3    B33 (A**2) : ",
    "REMARK   3    B12 (A**2) : ", "REMARK   3    B13 (A**2) : ", "REMARK   3    B23 (A**2) : ",
};

// A value line when the test holds (NaN fails every test), else NULL.
void value_or_null(int32_t iun, bool ok, std::string_view label, float v) {
  if (ok) line(iun, "(A,F7.3)", label, v);
  else null_line(iun, label);
}

}  // namespace

namespace output::r3 {

void b_values_to_geometry(int32_t iun) {
  text(iun, "REMARK   3  B VALUES.");
  text(iun, "REMARK   3   FROM WILSON PLOT           (A**2) : NULL");
  float b_over_coor = 0.0f;
  find_b_over_coor_(b_over_coor);
  line(iun, "(A,F7.3)", "REMARK   3   MEAN B VALUE      (OVERALL, A**2) : ", b_over_coor);
  text(iun, "REMARK   3   OVERALL ANISOTROPIC B VALUE.");
  for (int k = 0; k < 6; ++k) {
    if (ls_over_flags.words(3)) line(iun, "(A,F8.2)", kTensorLabels[k], ls_over_scale.words(3 + k));
    else null_line(iun, kTensorLabels[k]);
  }
  text(iun, "REMARK   3");

  const rhar_xray_t& x = rhar_xray;
  text(iun, "REMARK   3  ESTIMATED OVERALL COORDINATE ERROR.");
  value_or_null(iun, x.hesu_cruic > 0.0f,
                "REMARK   3   ESU BASED ON R VALUE                            (A): ", x.hesu_cruic);
  value_or_null(iun, x.hesu_free > 0.0f,
                "REMARK   3   ESU BASED ON FREE R VALUE                       (A): ", x.hesu_free);
  value_or_null(iun, x.hesu_ml > 0.0f,
                "REMARK   3   ESU BASED ON MAXIMUM LIKELIHOOD                 (A): ", x.hesu_ml);
  value_or_null(iun, x.hesu_ml_b > 0.0f,
                "REMARK   3   ESU FOR B VALUES BASED ON MAXIMUM LIKELIHOOD (A**2): ", x.hesu_ml_b);
  text(iun, "REMARK   3");

  auto in_range = [](float v) { return v >= -1.0f && v <= 1.0f; };
  text(iun, "REMARK   3 CORRELATION COEFFICIENTS.");
  value_or_null(iun, in_range(x.hcorr_fofc),
                "REMARK   3   CORRELATION COEFFICIENT FO-FC      : ", x.hcorr_fofc);
  value_or_null(iun, in_range(x.hcorr_fofc_free),
                "REMARK   3   CORRELATION COEFFICIENT FO-FC FREE : ", x.hcorr_fofc_free);
  text(iun, "REMARK   3");

  text(iun, "REMARK   3  RMS DEVIATIONS FROM IDEAL VALUES        COUNT    RMS    WEIGHT");
  stats_rows(iun, kGeometry);
  text(iun, "REMARK   3");
}

}  // namespace output::r3
