// Properties of the floating-point arithmetic (base, digits, rounding,
// precision, under- and overflow thresholds), found by probing the arithmetic
// on the first call and kept for later calls.  dlamch_ answers in double
// precision, slamch_ in single precision; the query letter is one of
// E S B P N R M U L O, upper or lower case.
#pragma once

#include <cstdint>

double dlamch_(char cmach);
float slamch_(char cmach);

// True when the two characters are equal after upper-casing a to z.
bool lsame_(char ca, char cb);

// c = a + b, rounded to the working precision before c is read again.
void dlamc3a_(double& c, double a, double b);
void slamc3a_(float& c, float a, float b);
double dlamc3_(double a, double b);
float slamc3_(float a, float b);

// The probes behind dlamch_ and slamch_: base, digits and rounding (1);
// all parameters (2); smallest exponent reached from start by repeated
// division (4); largest exponent and overflow threshold (5).
void dlamc1_(int32_t& beta, int32_t& t, bool& rnd, bool& ieee1);
void dlamc2_(int32_t& beta, int32_t& t, bool& rnd, double& eps, int32_t& emin, double& rmin,
             int32_t& emax, double& rmax);
void dlamc4_(int32_t& emin, double start, int32_t base);
void dlamc5_(int32_t beta, int32_t p, int32_t emin, bool ieee, int32_t& emax, double& rmax);
void slamc1_(int32_t& beta, int32_t& t, bool& rnd, bool& ieee1);
void slamc2_(int32_t& beta, int32_t& t, bool& rnd, float& eps, int32_t& emin, float& rmin,
             int32_t& emax, float& rmax);
void slamc4_(int32_t& emin, float start, int32_t base);
void slamc5_(int32_t beta, int32_t p, int32_t emin, bool ieee, int32_t& emax, float& rmax);
