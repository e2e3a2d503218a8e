// Reflection-file library: resolution arithmetic of a cell and the four file
// slots that the code-base interface keeps, freed at the end of a run.
#pragma once

#include <cstdint>
#include <memory>

// The in-memory reflection file; its contents arrive with the reader.
struct MtzFile {};

// Six reciprocal-metric coefficients of a cell (a, b, c, alpha, beta, gamma in
// degrees); 1, or 0 with all zero for a cell value below 0.001.
int MtzHklcoeffs(const float cell[6], double coefs[6]);
// 1/d^2 of reflection hkl.
float MtzInd2reso(const int32_t hkl[3], const double coefs[6]);

inline constexpr int MTZ_MAX_SLOTS = 4;
// The file record of slot mindx (1..4), null when free.
std::unique_ptr<MtzFile>& mtz_slot(int mindx);
// Frees the record of every slot that holds one.
void MtzMemTidy();
