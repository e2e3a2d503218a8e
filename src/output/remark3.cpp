// REMARK 3: the frame of the block, the program and target lines, the data
// used, the fit to the data, the highest-resolution bin and the atom count.
#include "output/remark3.h"

#include "foundation/atom_com.h"
#include "output/refine_tables.h"
#include "output/remark3_lines.h"

namespace output::r3 {

void null_line(int32_t iun, std::string_view label) {
  rt::write_record(iun, rt::fmt("(A,A)", label, "NULL"));
}

void stats_rows(int32_t iun, const RowKind* kinds, int n) {
  const rhar_geom_t& g = rhar_geom;
  const int32_t nrest = g.nhrestr < hmaxrest ? g.nhrestr : hmaxrest;
  if (nrest <= 0) return;
  for (int k = 0; k < n; ++k) {
    const RowKind& kind = kinds[k];
    for (int32_t i = 1; i <= nrest; ++i) {
      const std::string_view name = g.hrestr_name(i).view();
      const bool match = kind.first > 0
                             ? name.substr(0, kind.first) == kind.selector.substr(0, kind.first)
                             : rt::text_eq(name, kind.selector);
      if (match)
        line(iun, "(A,I6,A,F6.3,A,F6.3)", kind.label, g.hrestr_num(i), " ;", g.hrestr_rms(i), " ;",
             g.hrestr_wght(i));
    }
  }
}

}  // namespace output::r3

namespace {

using output::r3::line;
using output::r3::null_line;
using output::r3::text;

void program_and_target(int32_t iun) {
  text(iun, "REMARK   3");
  text(iun, "REMARK   3 REFINEMENT.");
  line(iun, "(A,A)", "REMARK   3   PROGRAM     : KAVLIN ", "5.3.0036");
  text(iun, "REMARK   3   AUTHORS     : KELDORANT,TRUSK,BLENOR");
  text(iun, "REMARK   3");
  if (refstl_char.ref_style == "MLKF")
    text(iun, refl_flag.phase_flag
                  ? "REMARK   3    REFINEMENT TARGET : MAXIMUM LIKELIHOOD WITH PHASES"
                  : "REMARK   3    REFINEMENT TARGET : MAXIMUM LIKELIHOOD");
  else text(iun, "REMARK   3    REFINEMENT TARGET : LEAST-SQUARES");
  text(iun, "REMARK   3");
}

void data_and_fit(int32_t iun, int32_t nb1) {
  const rhar_xray_t& x = rhar_xray;
  text(iun, "REMARK   3  DATA USED IN REFINEMENT.");
  line(iun, "(A,F6.2)", "REMARK   3   RESOLUTION RANGE HIGH (ANGSTROMS) : ", x.hd_high);
  line(iun, "(A,F6.2)", "REMARK   3   RESOLUTION RANGE LOW  (ANGSTROMS) : ", x.hd_low);
  text(iun, "REMARK   3   DATA CUTOFF            (SIGMA(F)) : NONE");
  line(iun, "(A,F6.2)", "REMARK   3   COMPLETENESS FOR RANGE        (%) : ", x.hcompl_bin(nb1));
  line(iun, "(A,I7)", "REMARK   3   NUMBER OF REFLECTIONS             : ", x.nhrefl_bin_work(nb1));
  text(iun, "REMARK   3");

  const bool free = x.perc_free > 0.0f;
  text(iun, "REMARK   3  FIT TO DATA USED IN REFINEMENT.");
  text(iun, free ? "REMARK   3   CROSS-VALIDATION METHOD          : THROUGHOUT"
                 : "REMARK   3   CROSS-VALIDATION METHOD          : NULL");
  text(iun, free ? "REMARK   3   FREE R VALUE TEST SET SELECTION  : RANDOM"
                 : "REMARK   3   FREE R VALUE TEST SET SELECTION  : NULL");
  line(iun, "(A,F8.5)", "REMARK   3   R VALUE     (WORKING + TEST SET) :", x.hrfac_bin_all(nb1));
  line(iun, "(A,F8.5)", "REMARK   3   R VALUE            (WORKING SET) : ", x.rfactor_work);
  constexpr std::string_view kFree = "REMARK   3   FREE R VALUE                     : ";
  constexpr std::string_view kSize = "REMARK   3   FREE R VALUE TEST SET SIZE   (%) : ";
  constexpr std::string_view kCount = "REMARK   3   FREE R VALUE TEST SET COUNT      : ";
  if (free) {
    line(iun, "(A,F8.5)", kFree, x.rfactor_free);
    line(iun, "(A,F4.1)", kSize, x.perc_free);
    line(iun, "(A,I5)", kCount, x.nhrefl_free);
  } else {
    null_line(iun, kFree);
    null_line(iun, kSize);
    null_line(iun, kCount);
  }
  text(iun, "REMARK   3");
}

// The bins are at least one and at most the table holds: a count outside
// that has no bin to show, and the lines show the first or the last one.
void highest_bin(int32_t iun) {
  const rhar_xray_t& x = rhar_xray;
  int32_t j = x.nhbins < 1 ? 1 : x.nhbins > MAXHBIN ? MAXHBIN : x.nhbins;
  text(iun, "REMARK   3  FIT IN THE HIGHEST RESOLUTION BIN.");
  line(iun, "(A,I8)", "REMARK   3   TOTAL NUMBER OF BINS USED           :", x.nhbins);
  line(iun, "(A,F8.3)", "REMARK   3   BIN RESOLUTION RANGE HIGH           : ", x.hd_high_bin(j));
  line(iun, "(A,F8.3)", "REMARK   3   BIN RESOLUTION RANGE LOW            : ", x.hd_low_bin(j));
  line(iun, "(A,I8)", "REMARK   3   REFLECTION IN BIN     (WORKING SET) : ", x.nhrefl_bin_work(j));
  line(iun, "(A,F8.2)", "REMARK   3   BIN COMPLETENESS (WORKING+TEST) (%) : ", x.hcompl_bin(j));
  line(iun, "(A,F8.3)", "REMARK   3   BIN R VALUE           (WORKING SET) : ", x.hrfac_bin_work(j));
  line(iun, "(A,I8)", "REMARK   3   BIN FREE R VALUE SET COUNT          : ", x.nhrefl_bin_free(j));
  line(iun, "(A,F8.3)", "REMARK   3   BIN FREE R VALUE                    : ", x.hrfac_bin_free(j));
  text(iun, "REMARK   3");
}

}  // namespace

void find_nrefined_atoms_(int32_t& n_refined_atoms) {
  n_refined_atoms = 0;
  for (int32_t i = 1; i <= atom_inf.n_atom; ++i)
    if (crst_refm.atom_ref_flag(i) % 10 > 2) ++n_refined_atoms;
}

void find_b_over_coor_(float& b_over_coor) {
  float sum = 0.0f;
  for (int32_t i = 1; i <= atom_inf.n_atom; ++i) {
    if (atom_crd.occup(i) <= 0.0f) continue;
    const float u1 = atom_crd.u_aniso(1, i), u2 = atom_crd.u_aniso(2, i),
                u3 = atom_crd.u_aniso(3, i);
    sum += u2 == 0.0f ? u1 : (u1 + u2 + u3) / 3.0f;
  }
  // Without atoms there is no mean: it shows as 0.
  b_over_coor =
      atom_inf.n_atom > 0 ? sum / static_cast<float>(atom_inf.n_atom) * consts.pisq8 : 0.0f;
}

void write_deposit_stats_(int32_t iout_file) {
  const float rtd2 = consts.rtodeg * consts.rtodeg;
  if (rhar_xray.nhrefl_work <= 0) return;
  // The whole-range entry follows the bins; the tables hold it only while
  // the bin count leaves room.
  int32_t nb1 = bins_num.nbin_ref + 1;
  if (nb1 < 1) nb1 = 1;
  if (nb1 > MAXHBIN) nb1 = MAXHBIN;
  const int32_t iun = iout_file;
  program_and_target(iun);
  data_and_fit(iun, nb1);
  highest_bin(iun);
  int32_t nref = 0;
  find_nrefined_atoms_(nref);
  text(iun, "REMARK   3  NUMBER OF NON-HYDROGEN ATOMS USED IN REFINEMENT.");
  line(iun, "(A,I8)", "REMARK   3   ALL ATOMS                : ", nref);
  text(iun, "REMARK   3");
  output::r3::b_values_to_geometry(iun);
  output::r3::thermal_and_ncs(iun);
  output::r3::tls_solvent_and_remarks(iun, rtd2);
}
