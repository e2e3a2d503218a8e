// Grid sizes for maps and Fourier transforms, map asymmetric-unit limits and
// reflection index ranges.
#pragma once

#include <cstdint>

#include "suite/ptq7_spg.h"

// Smallest suitable size: a multiple of nmul with no prime factor above 19,
// near sample x minsmp; -1 when none lies below 4 x minsmp.
int get_grid_sample(int minsmp, int nmul, float sample);
int all_factors_le_19(int n);
void set_fft_grid(const Spacegroup* sg, int nxmin, int nymin, int nzmin, float sample, int& nx,
                  int& ny, int& nz);
// 'lower<x<=upper' into limits[0] (lower) and limits[1] (upper).
void range_to_limits(const char* text, float limits[2]);
