// Reflection-file library: the four file slots that the code-base interface
// keeps, freed at the end of a run.
#pragma once

#include <memory>

#include "reflections/mtz_batch.h"
#include "reflections/mtz_records.h"

inline constexpr int MTZ_MAX_SLOTS = 4;
// The file record of slot mindx (1..4), null when free.
std::unique_ptr<MtzFile>& mtz_slot(int mindx);
// Frees the record of every slot that holds one, closing its files.
void MtzMemTidy();
