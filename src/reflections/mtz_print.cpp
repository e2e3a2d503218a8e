// Header and batch-header printouts.
#include "reflections/mtz_print.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "reflections/cmtzlib.h"
#include "reflections/mtz_batch.h"
#include "reflections/mtz_hierarchy.h"
#include "reflections/mtz_writer.h"
#include "suite/csymlib_symop.h"

namespace reflections {

namespace {

const char* const RULE =
    "++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++";

const char* listed_label(const MtzCol& c) {
  return (c.type == "Y" && c.label == "M_ISYM") ? "M/ISYM" : c.label.c_str();
}

template <typename F>
void each_active(const MtzFile* mtz, F f) {
  for (const auto& x : mtz->xtals)
    for (const auto& s : x->sets)
      for (const auto& c : s->cols)
        if (c->active) f(*s, *c);
}

void column_lists(const MtzFile* mtz) {
  std::printf(" * Column Labels :\n\n");
  each_active(mtz, [](const MtzSet&, const MtzCol& c) { std::printf(" %s", listed_label(c)); });
  std::printf("\n\n * Column Types :\n\n");
  each_active(mtz, [](const MtzSet&, const MtzCol& c) { std::printf(" %s", c.type.c_str()); });
  std::printf("\n\n * Associated datasets :\n\n");
  each_active(mtz, [](const MtzSet& s, const MtzCol&) { std::printf(" %d", s.set_id); });
}

void column_table(const MtzFile* mtz) {
  std::printf(" * Column Labels, Types, Ranges [and Dataset IDs] :\n\n");
  each_active(mtz, [](const MtzSet& s, const MtzCol& c) {
    if (c.type == "Y" && c.label == "M_ISYM")
      std::printf(" M/ISYM                         %2s %19.4f %19.4f %8d \n", c.type.c_str(),
                  c.min_value, c.max_value, s.set_id);
    else
      std::printf(" %-30s %2s %19.4f %19.4f %8d \n", c.label.c_str(), c.type.c_str(), c.min_value,
                  c.max_value, s.set_id);
  });
}

void symmetry_listing(const MtzFile* mtz, int level) {
  if (level != 3 && level != 4) {
    std::printf(" * Space group = '%s' (number     %d)\n\n", mtz->spacegroup_name.c_str(),
                mtz->spacegroup_num);
    return;
  }
  std::printf(" * Number of Symmetry Operations = %d \n", mtz->nsym);
  std::printf(" * Number of Primitive Operations = %d \n", mtz->nsymp);
  std::printf(" * Space Group = %d '%s' \n", mtz->spacegroup_num, mtz->spacegroup_name.c_str());
  std::printf(" * Lattice Type = %c \n", mtz->lattice_type);
  std::printf(" * Point Group Name = %s \n", mtz->pointgroup_name.c_str());
  std::printf("\n * Symmetry Operations : \n\n");
  const int nsym = std::clamp(mtz->nsym, 0, MTZ_MAX_SYMOPS);
  for (int k = 0; k < nsym; ++k) {
    char op[81];
    mat4_to_symop(op, op + 80, &mtz->symops[k][0][0]);
    op[80] = '\0';
    std::printf(" Symmetry %d %s\n", k + 1, rtrimmed(op).c_str());
    for (int r = 0; r < 4; ++r)
      std::printf(" %5.2f %5.2f %5.2f %5.2f \n", mtz->symops[k][r][0], mtz->symops[k][r][1],
                  mtz->symops[k][r][2], mtz->symops[k][r][3]);
  }
}

}  // namespace

}  // namespace reflections

using namespace reflections;

int ptq7_lhprt(const MtzFile* mtz, int iprint) {
  if (iprint < 1) return 2;
  std::printf(" * Title:\n\n %s\n\n", mtz->title.c_str());
  const MtzSet* base = MtzSetLookup(mtz, "HKL_base/HKL_base");
  const bool base_listed =
      base != nullptr && (MtzNumActiveColsInSet(base) > 0 || MtzNbatchesInSet(mtz, base) > 0);
  if (base_listed) {
    std::printf(" * Base dataset:\n\n %8d %s\n", base->set_id, "HKL_base");
    std::printf("          %s\n          %s\n", "HKL_base", "HKL_base");
  }
  std::printf("\n * Number of Datasets = %d\n\n", MtzNumActiveSet(mtz) - (base_listed ? 1 : 0));
  std::printf(" * Dataset ID, project/crystal/dataset names, cell dimensions, wavelength:\n\n");
  for (const auto& x : mtz->xtals)
    for (const auto& s : x->sets) {
      if (s.get() == base) continue;
      if (MtzNumActiveColsInSet(s.get()) == 0 && MtzNbatchesInSet(mtz, s.get()) == 0) continue;
      const float* c = x->cell;
      std::printf(" %8d %s\n", s->set_id, x->project_name.c_str());
      std::printf("          %s\n", x->crystal_name.c_str());
      std::printf("          %s\n", s->dataset_name.c_str());
      std::printf("          %10.4f%10.4f%10.4f%10.4f%10.4f%10.4f\n", c[0], c[1], c[2], c[3], c[4],
                  c[5]);
      std::printf("          %10.5f\n", s->wavelength);
    }
  std::printf("\n * Number of Columns = %d\n\n", MtzNumActiveCol(mtz));
  std::printf(" * Number of Reflections = %d\n\n", mtz->nref);
  if (std::strncmp(mtz->missing_number_flag, "NAN", 3) == 0)
    std::printf(" * Missing value set to NaN in input mtz file\n\n");
  else std::printf(" * Missing value set to %f in input mtz file\n\n", missing_value(mtz));
  const int nbat = MtzNbat(mtz);
  const int n = nbat > mtz->nbat_file ? nbat - mtz->nbat_file : mtz->nbat_file;
  if (n > 0) std::printf(" * Number of Batches = %d\n\n", n);
  if (iprint == 2 || iprint == 3) {
    std::printf(" * HISTORY for current MTZ file :\n\n");
    for (int i = 0; i < mtz->n_history; ++i)
      std::printf(" %.80s\n", &mtz->history[static_cast<std::size_t>(i) * MTZ_HISTORY_LINE]);
    std::printf("\n");
  }
  if (iprint == 3) column_table(mtz);
  else column_lists(mtz);
  std::printf("\n\n * Cell Dimensions : (obsolete - use crystal cells)\n\n");
  for (const auto& x : mtz->xtals)
    if (x->cell[0] > 0.001f) {
      const float* c = x->cell;
      std::printf(" %9.4f %9.4f %9.4f %9.4f %9.4f %9.4f \n\n", c[0], c[1], c[2], c[3], c[4], c[5]);
      break;
    }
  float low = 100.0f, high = 0.0f;
  for (const auto& x : mtz->xtals) {
    low = std::min(low, x->reso_min);
    high = std::max(high, x->reso_max);
  }
  std::printf(" *  Resolution Range :\n\n");
  std::printf(" %10.5f %10.5f     ( %10.3f - %10.3f A )\n\n", low, high, 1.0 / std::sqrt(low),
              1.0 / std::sqrt(high));
  int sort[5];
  ptq7_lrsort(mtz, sort);
  std::printf(" * Sort Order :\n\n  %5d %5d %5d %5d %5d\n\n", sort[0], sort[1], sort[2], sort[3],
              sort[4]);
  symmetry_listing(mtz, iprint);
  return 1;
}

int ptq7_lhprt_adv(const MtzFile* mtz, int) {
  std::printf(" HEADER INFORMATION FROM MTZ FILE \n\n");
  std::printf(" * File information :\n\n");
  std::printf("%s       %s\n", "data::mtzfile::title", mtz->title.c_str());
  std::printf("%s       %d\n", "data::mtzfile::spacegroup_num", mtz->spacegroup_num);
  std::printf("%s       %d\n", "data::mtzfile::num_reflections", mtz->nref);
  if (std::strncmp(mtz->missing_number_flag, "NAN", 3) == 0)
    std::printf("%s       %s\n", "data::mtzfile::missing_number_flag", "NaN");
  else std::printf("%s       %f\n", "data::mtzfile::missing_number_flag", missing_value(mtz));
  std::printf("%s       %s\n", "data::mtzfile::sort_order", "(not implemented)");
  std::printf("\n * Crystals, datasets :\n");
  for (const auto& x : mtz->xtals) {
    const float* c = x->cell;
    std::printf("\n%s       %s\n", "data::crystal::crystal_name", x->crystal_name.c_str());
    std::printf("%s       %s\n", "data::crystal::project_name", x->project_name.c_str());
    std::printf("%s       %10.4f%10.4f%10.4f%10.4f%10.4f%10.4f\n", "data::crystal::cell", c[0],
                c[1], c[2], c[3], c[4], c[5]);
    for (const auto& s : x->sets) {
      std::printf("\n    %s       %s\n", "data::crystal::dataset::dataset_name",
                  s->dataset_name.c_str());
      std::printf("    %s       %10.5f\n", "data::crystal::dataset::wavelength", s->wavelength);
      if (s->cols.empty()) continue;
      std::printf("\n        %s %s\n", "data::crystal_i::dataset_i::column_i::label",
                  "data::crystal_i::dataset_i::column_i::type");
      for (const auto& col : s->cols)
        std::printf("                     %-31s %-3s\n", col->label.c_str(), col->type.c_str());
    }
  }
  std::printf("\n * HISTORY for current MTZ file :\n\n");
  for (int i = 0; i < mtz->n_history; ++i)
    std::printf(" %.80s\n", &mtz->history[static_cast<std::size_t>(i) * MTZ_HISTORY_LINE]);
  return 1;
}

void MtzPrintBatchHeader(const MtzBatch* batch) {
  const MtzBatch& b = *batch;
  std::printf(" Batch number: \n %6d    %s\n", b.batch_number, b.title.c_str());
  const char* data_type = b.data_type == 1   ? "oscillation data"
                          : b.data_type == 2 ? "area detector data"
                          : b.data_type == 3 ? "Laue data"
                                             : "*** unknown data type ***";
  std::printf("\n %s \n\n", RULE);
  std::printf(" %s %7d     %s  \n\n", "Orientation data for batch", b.batch_number, data_type);
  std::printf(" %s %7d\n", "  Crystal number ...................", b.crystal_number);
  std::printf(" %s %7d\n", "  Associated dataset ID ............", b.dataset_id);
  std::printf(" %s %7.2f %7.2f %7.2f %7.2f %7.2f %7.2f\n", "  Cell dimensions ..................",
              b.cell[0], b.cell[1], b.cell[2], b.cell[3], b.cell[4], b.cell[5]);
  std::printf(" %s %7d %7d %7d %7d %7d %7d \n", "  Cell fix flags ...................",
              b.cell_fix_flags[0], b.cell_fix_flags[1], b.cell_fix_flags[2], b.cell_fix_flags[3],
              b.cell_fix_flags[4], b.cell_fix_flags[5]);
  const std::string blank34(34, ' ');
  const char* u1 = b.misset_flag == 0 ? "Orientation matrix U ............."
                                      : "Standard orientation matrix U ....";
  const char* u2 = b.misset_flag == 0 ? "    (including setting angles)    " : blank34.c_str();
  const char* labels[3] = {u1, u2, blank34.c_str()};
  for (int i = 0; i < 3; ++i)
    std::printf("   %s %9.4f %9.4f %9.4f \n", labels[i], b.umat[i], b.umat[3 + i], b.umat[6 + i]);
  if (b.misset_flag == 1)
    std::printf("   %s %6.2f %6.2f %6.2f\n", "Missetting angles PhiX PhiY PhiZ..",
                b.misset_angles[0][0], b.misset_angles[0][1], b.misset_angles[0][2]);
  else if (b.misset_flag > 1)
    std::printf("   %s %6.2f %6.2f %6.2f %6.2f %6.2f %6.2f\n", "Missetting angles PhiX PhiY PhiZ..",
                b.misset_angles[0][0], b.misset_angles[0][1], b.misset_angles[0][2],
                b.misset_angles[1][0], b.misset_angles[1][1], b.misset_angles[1][2]);
  const char* axis = b.nearest_recip_axis == 1   ? "a*"
                     : b.nearest_recip_axis == 2 ? "b*"
                     : b.nearest_recip_axis == 3 ? "c*"
                                                 : "none";
  std::printf("   %s%s%s   %s\n", "Reciprocal axis nearest ", b.axis_labels[0].c_str(), "..", axis);
  if (b.mosaicity_model == 0)
    std::printf("   %s %6.3f \n", "Mosaicity ........................", b.crystal_data[0]);
  else
    std::printf("   %s %6.3f %6.3f \n", "Mosaicity (horizontal, vertical)..", b.crystal_data[0],
                b.crystal_data[1]);
  std::printf("   Datum goniostat angles (degrees)..");
  // The record holds three axes: a larger count prints those three.
  const int naxes = std::clamp(b.n_gonio_axes, 0, 3);
  for (int i = 0; i < naxes; ++i) std::printf(" %8.3f", b.datum_angles[i]);
  std::printf("\n");
  if (b.scan_axis >= 1 && b.scan_axis <= naxes)
    std::printf("   %s  %s \n", "Scan axis ........................",
                b.axis_labels[b.scan_axis - 1].c_str());
  std::printf("   %s %8.3f %8.3f \n", "Start & stop Phi angles (degrees).", b.phi_start, b.phi_end);
  std::printf("   %s %8.3f \n", "Range of Phi angles (degrees).....", b.phi_range);
  std::printf("   %s %8.2f %8.2f \n", "Start & stop time (minutes).......", b.time_start,
              b.time_end);
  if (b.n_batch_scales == 4) {
    std::printf("   %s %9.4f %9.4f \n", "   Batch scale & SD .................", b.batch_scale,
                b.batch_scale_sd);
    std::printf("   %s %9.4f %9.4f \n", "   Batch B-factor & SD ..............", b.batch_bfactor,
                b.batch_bfactor_sd);
  }
  std::printf("   %s  \n", " Crystal goniostat information :-");
  std::printf("   %s %7d \n", "   Number of goniostat axes..........", b.n_gonio_axes);
  const char* vec_labels[3] = {"   Goniostat vectors.....", "                    .....",
                               "                    ....."};
  for (int i = 0; i < 3; ++i)
    std::printf("   %s %s %s %9.4f %9.4f %9.4f \n", vec_labels[i], b.axis_labels[i].c_str(), "....",
                b.gonio_vectors[i][0], b.gonio_vectors[i][1], b.gonio_vectors[i][2]);
  std::printf("   %s \n", " Beam information :-");
  std::printf("   %s  %9.4f %9.4f %9.4f \n", "   Idealized X-ray beam vector.......",
              b.beam_vector[0], b.beam_vector[1], b.beam_vector[2]);
  std::printf("   %s %9.4f %9.4f %9.4f \n", "   X-ray beam vector with tilts......",
              b.beam_vector_tilted[0], b.beam_vector_tilted[1], b.beam_vector_tilted[2]);
  if (b.beam_info_flag == 0) {
    std::printf("   %s %9.5f %9.5f \n", "   Wavelength and dispersion ........", b.wavelength,
                b.dispersion[0]);
  } else if (b.beam_info_flag == 1) {
    std::printf("   %s %9.5f %9.5f %9.5f \n", "   Wavelength and dispersion ........", b.wavelength,
                b.dispersion[0], b.dispersion[1]);
    std::printf("   %s %7.3f %7.3f \n", "   Divergence .......................", b.divergence[0],
                b.divergence[1]);
  }
  std::printf(" Detector information :-\n");
  std::printf("   Number of detectors...............%7d \n", b.n_detectors);
  std::printf("   %s%9.3f\n", "   Crystal to Detector distance (mm).", b.det_distance[0]);
  std::printf("%s%9.3f\n", "   Detector swing angle..............", b.det_swing[0]);
  std::printf("%s%7.1f%7.1f%7.1f%7.1f\n", "   Pixel limits on detector..........",
              b.det_pixel_limits[0][0], b.det_pixel_limits[0][1], b.det_pixel_limits[0][2],
              b.det_pixel_limits[0][3]);
  std::printf(" %s\n\n", RULE);
}

void lhprt_(int32_t mindx, int32_t iprint) {
  if (MtzCheckSubInput(mindx, "LHPRT", 1)) return;
  ptq7_lhprt(mtz_slot(mindx).get(), iprint);
}

void lhprt_adv_(int32_t mindx, int32_t iprint) {
  if (MtzCheckSubInput(mindx, "LHPRT_ADV", 1)) return;
  ptq7_lhprt_adv(mtz_slot(mindx).get(), iprint);
}

void lbprt_(int32_t ibatch, int32_t iprint, const float* rbatch, std::string_view tbatch) {
  if (iprint == 0) return;
  auto chars = [&](std::size_t from, std::size_t n) {
    return from < tbatch.size() ? std::string(tbatch.substr(from, n)) : std::string();
  };
  if (iprint == 1) std::printf(" Batch number: \n %6d    %s\n", ibatch, chars(0, 70).c_str());
  MtzBatch b;
  b.batch_number = ibatch;
  b.title = chars(0, 70);
  for (int k = 0; k < 3; ++k)
    b.axis_labels[k] = rtrimmed(chars(70 + 8 * static_cast<std::size_t>(k), 8));
  int32_t ints[MTZ_BATCH_INTS];
  std::memcpy(ints, rbatch, sizeof ints);
  MtzArrayToBatch(ints, rbatch + MTZ_BATCH_INTS, &b);
  MtzPrintBatchHeader(&b);
}
