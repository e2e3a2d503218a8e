// Batch headers as 185-word arrays (29 integers, then 156 reals), ordering
// of the batch list by batch number, and the resolution arithmetic of a cell.
#pragma once

#include <cstdint>
#include <memory>

#include "reflections/mtz_records.h"

// 0 for a null batch; else every word set (integer words 0-2 stay 0) and 1.
int MtzBatchToArray(const MtzBatch* batch, int32_t ints[MTZ_BATCH_INTS],
                    float reals[MTZ_BATCH_REALS]);
int MtzArrayToBatch(const int32_t ints[MTZ_BATCH_INTS], const float reals[MTZ_BATCH_REALS],
                    MtzBatch* batch);
// The list ordered by batch number (equal numbers keep their order).
std::unique_ptr<MtzBatch> sort_batches(std::unique_ptr<MtzBatch> head, int n);

// Six reciprocal-metric coefficients of a cell (a, b, c, alpha, beta, gamma in
// degrees); 1, or 0 with all zero for a cell value below 0.001.
int MtzHklcoeffs(const float cell[6], double coefs[6]);
// 1/d^2 of reflection hkl.
float MtzInd2reso(const int32_t hkl[3], const double coefs[6]);
// Resolution bounds over the crystals; 1.
int MtzResLimits(const MtzFile* mtz, float& min, float& max);
