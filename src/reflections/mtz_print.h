// Printouts of a reflection-file header and of batch headers on standard
// output, at selectable detail.
#pragma once

#include <cstdint>
#include <string_view>

#include "reflections/mtz_records.h"

// Level below 1 prints nothing and gives 2; else the header listing and 1.
int ptq7_lhprt(const MtzFile* mtz, int iprint);
// The tagged listing of every crystal, dataset and column; 1.
int ptq7_lhprt_adv(const MtzFile* mtz, int iprint);
void MtzPrintBatchHeader(const MtzBatch* batch);

void lhprt_(int32_t mindx, int32_t iprint);
void lhprt_adv_(int32_t mindx, int32_t iprint);
// A batch header given as the 185-word array and its 94-character block.
void lbprt_(int32_t ibatch, int32_t iprint, const float* rbatch, std::string_view tbatch);
