// Batch header arrays, the ordering of the batch list and the resolution
// arithmetic of a cell.
#include "reflections/mtz_batch.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "suite/ptq7_unitcell.h"

namespace reflections {

namespace {

// First words of the real blocks that do not follow on from words 0-47.
constexpr int GONIO_AT = 59;      // words 59-67
constexpr int BEAM_AT = 80;       // words 80-90
constexpr int DETECTOR_AT = 111;  // 6 words per detector from here
constexpr int MAX_DETECTORS = 2;

// The real fields of a batch before the detector blocks: calls
// field(first word, field, word count) for each, in record order.  The one
// layout serves the batch-to-array copy (B const) and the array-to-batch
// copy.
template <typename B, typename F>
void batch_real_fields(B& b, F&& field) {
  int at = 0;
  auto next = [&](auto* p, int n) {
    field(at, p, n);
    at += n;
  };
  next(b.cell, 6);
  next(b.umat, 9);
  next(&b.misset_angles[0][0], 6);
  next(b.crystal_data, 12);
  next(b.datum_angles, 3);
  next(&b.phi_start, 1);
  next(&b.phi_end, 1);
  next(b.spare_reals, 3);
  next(&b.time_start, 1);
  next(&b.time_end, 1);
  next(&b.batch_scale, 1);
  next(&b.batch_bfactor, 1);
  next(&b.batch_scale_sd, 1);
  next(&b.batch_bfactor_sd, 1);
  next(&b.phi_range, 1);
  at = GONIO_AT;
  next(&b.gonio_vectors[0][0], 9);
  at = BEAM_AT;
  next(b.beam_vector, 3);
  next(b.beam_vector_tilted, 3);
  next(&b.wavelength, 1);
  next(b.dispersion, 2);
  next(b.divergence, 2);
}

void copy_detector(float* reals, const MtzBatch& b, int d) {
  float* w = reals + DETECTOR_AT + 6 * d;
  w[0] = b.det_distance[d];
  w[1] = b.det_swing[d];
  for (int i = 0; i < 4; ++i) w[2 + i] = b.det_pixel_limits[d][i];
}

}  // namespace

}  // namespace reflections

int MtzBatchToArray(const MtzBatch* batch, int32_t ints[MTZ_BATCH_INTS],
                    float reals[MTZ_BATCH_REALS]) {
  if (batch == nullptr) return 0;
  const MtzBatch& b = *batch;
  std::fill(ints, ints + MTZ_BATCH_INTS, 0);
  std::fill(reals, reals + MTZ_BATCH_REALS, 0.0f);
  ints[3] = b.spare_int;
  for (int i = 0; i < 6; ++i) ints[4 + i] = b.cell_fix_flags[i];
  ints[10] = b.misset_flag;
  ints[11] = b.nearest_recip_axis;
  ints[12] = b.crystal_number;
  ints[13] = b.mosaicity_model;
  ints[14] = b.data_type;
  ints[15] = b.scan_axis;
  ints[16] = b.n_batch_scales;
  ints[17] = b.n_gonio_axes;
  ints[18] = b.beam_info_flag;
  ints[19] = b.n_detectors;
  ints[20] = b.dataset_id;

  reflections::batch_real_fields(b, [reals](int at, const float* src, int n) {
    std::memcpy(reals + at, src, sizeof(float) * static_cast<std::size_t>(n));
  });
  // The record holds two detector blocks; a larger count cannot read more.
  const int ndet = std::clamp(b.n_detectors, 0, reflections::MAX_DETECTORS);
  for (int d = 0; d < ndet; ++d) reflections::copy_detector(reals, b, d);
  return 1;
}

int MtzArrayToBatch(const int32_t ints[MTZ_BATCH_INTS], const float reals[MTZ_BATCH_REALS],
                    MtzBatch* batch) {
  MtzBatch& b = *batch;
  b.spare_int = ints[3];
  for (int i = 0; i < 6; ++i) b.cell_fix_flags[i] = ints[4 + i];
  b.misset_flag = ints[10];
  b.nearest_recip_axis = ints[11];
  b.crystal_number = ints[12];
  b.mosaicity_model = ints[13];
  b.data_type = ints[14];
  b.scan_axis = ints[15];
  b.n_batch_scales = ints[16];
  b.n_gonio_axes = ints[17];
  b.beam_info_flag = ints[18];
  b.n_detectors = ints[19];
  b.dataset_id = ints[20];

  reflections::batch_real_fields(b, [reals](int at, float* dst, int n) {
    std::memcpy(dst, reals + at, sizeof(float) * static_cast<std::size_t>(n));
  });
  for (int d = 0; d < reflections::MAX_DETECTORS; ++d) {
    const float* dw = reals + reflections::DETECTOR_AT + 6 * d;
    b.det_distance[d] = dw[0];
    b.det_swing[d] = dw[1];
    for (int i = 0; i < 4; ++i) b.det_pixel_limits[d][i] = dw[2 + i];
  }
  return 1;
}

std::unique_ptr<MtzBatch> sort_batches(std::unique_ptr<MtzBatch> head, int n) {
  if (n < 1 || !head) return head;
  bool descends = false;
  const MtzBatch* prev = head.get();
  for (int i = 0; i < n && prev->next; ++i) {
    if (prev->next->batch_number < prev->batch_number) {
      descends = true;
      break;
    }
    prev = prev->next.get();
  }
  if (!descends) return head;
  std::printf("\n Note: Sorting batch headers prior to writing to file... \n\n");
  std::vector<std::unique_ptr<MtzBatch>> all;
  for (std::unique_ptr<MtzBatch> b = std::move(head); b;) {
    std::unique_ptr<MtzBatch> rest = std::move(b->next);
    all.push_back(std::move(b));
    b = std::move(rest);
  }
  // A stable sort: equal numbers keep their order, as a merge sort leaves them.
  std::stable_sort(all.begin(), all.end(),
                   [](const auto& a, const auto& b) { return a->batch_number < b->batch_number; });
  for (std::size_t i = all.size(); i-- > 1;) all[i - 1]->next = std::move(all[i]);
  return std::move(all.front());
}

int MtzHklcoeffs(const float cell[6], double coefs[6]) { return suite::hkl_coeffs(cell, coefs); }

float MtzInd2reso(const int32_t hkl[3], const double coefs[6]) {
  return suite::ind_to_reso(hkl, coefs);
}

int MtzResLimits(const MtzFile* mtz, float& min, float& max) {
  min = 100.0f;
  max = 0.0f;
  for (const auto& x : mtz->xtals) {
    if (x->reso_max > max) max = x->reso_max;
    if (x->reso_min < min) min = x->reso_min;
  }
  return 1;
}
