// Machine parameters found by probing the arithmetic itself: the base from
// the gap above the first power of two that swallows a 1, the digits from
// the powers of the base, the rounding style from halfway cases, and the
// exponent range from how far repeated division stays reversible.
#include "numeric/machine_params.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "runtime/format.h"
#include "runtime/units.h"

bool lsame_(char ca, char cb) {
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  return upper(ca) == upper(cb);
}

// The probes compare sums that must be rounded to the working precision:
// the volatile store keeps a wider register or a fused operation from
// standing in for the rounded value.
void dlamc3a_(double& c, double a, double b) {
  volatile double s = a + b;
  c = s;
}

void slamc3a_(float& c, float a, float b) {
  volatile float s = a + b;
  c = s;
}

double dlamc3_(double a, double b) {
  double c;
  dlamc3a_(c, a, b);
  return c;
}

float slamc3_(float a, float b) {
  float c;
  slamc3a_(c, a, b);
  return c;
}

namespace {

void add3(double& c, double a, double b) { dlamc3a_(c, a, b); }
void add3(float& c, float a, float b) { slamc3a_(c, a, b); }

// Base, number of digits, whether addition rounds, and whether it rounds to
// nearest even as IEEE arithmetic does.
template <typename T>
struct Lamc1State {
  bool first = true;
  int32_t beta = 0, t = 0;
  bool rnd = false, ieee1 = false;
};

template <typename T>
void lamc1(Lamc1State<T>& st, int32_t& beta, int32_t& t, bool& rnd, bool& ieee1) {
  if (st.first) {
    const T one = 1;
    // a = the first power of two for which (a + 1) - a is no longer 1.
    T a = 1, c = 1;
    while (c == one) {
      a = 2 * a;
      add3(c, a, one);
      add3(c, c, -a);
    }
    // b = the smallest power of two that changes a; a + b - a is the base.
    T b = 1;
    add3(c, a, b);
    while (c == a) {
      b = 2 * b;
      add3(c, a, b);
    }
    const T qtr = one / 4;
    const T savec = c;
    add3(c, c, -a);
    st.beta = static_cast<int32_t>(c + qtr);
    b = static_cast<T>(st.beta);
    T f;
    add3(f, b / 2, -b / 100);
    add3(c, f, a);
    st.rnd = c == a;
    add3(f, b / 2, b / 100);
    add3(c, f, a);
    if (st.rnd && c == a) st.rnd = false;
    // A tie goes to the even neighbour: down from a, up from savec.
    T t1, t2;
    add3(t1, b / 2, a);
    add3(t2, b / 2, savec);
    st.ieee1 = t1 == a && t2 > savec && st.rnd;
    st.t = 0;
    a = 1;
    c = 1;
    while (c == one) {
      ++st.t;
      a = a * static_cast<T>(st.beta);
      add3(c, a, one);
      add3(c, c, -a);
    }
    st.first = false;
  }
  beta = st.beta;
  t = st.t;
  rnd = st.rnd;
  ieee1 = st.ieee1;
}

// The exponent reached by dividing start by the base until a division can
// no longer be undone by a multiplication or a repeated sum.
template <typename T>
void lamc4(int32_t& emin, T start, int32_t base) {
  T a = start;
  const T one = 1, zero = 0;
  const T rbase = one / static_cast<T>(base);
  const T tbase = static_cast<T>(base);
  emin = 1;
  T b1, b2, c1, c2, d1, d2;
  add3(b1, a * rbase, zero);
  c1 = c2 = d1 = d2 = a;
  while (c1 == a && c2 == a && d1 == a && d2 == a) {
    --emin;
    a = b1;
    add3(b1, a / tbase, zero);
    add3(c1, b1 * tbase, zero);
    d1 = zero;
    for (int32_t i = 1; i <= base; ++i) d1 = d1 + b1;
    add3(b2, a * rbase, zero);
    add3(c2, b2 / rbase, zero);
    d2 = zero;
    for (int32_t i = 1; i <= base; ++i) d2 = d2 + b2;
  }
}

// Largest exponent from the bits the exponent field needs, and the largest
// number 0.999...9 (p digits) times beta^emax.
template <typename T>
void lamc5(int32_t beta, int32_t p, int32_t emin, bool ieee, int32_t& emax, T& rmax) {
  int32_t lexp = 1, exbits = 1, tryexp;
  while ((tryexp = lexp * 2) <= -emin) {
    lexp = tryexp;
    ++exbits;
  }
  int32_t uexp;
  if (lexp == -emin) {
    uexp = lexp;
  } else {
    uexp = tryexp;
    ++exbits;
  }
  const int32_t expsum = (uexp + emin) > (-lexp - emin) ? 2 * lexp : 2 * uexp;
  emax = expsum + emin - 1;
  const int32_t nbits = 1 + exbits + p;
  // An odd word length leaves one exponent for something else (on IEEE
  // arithmetic the infinities and NaNs take the top one as well).
  if (nbits % 2 == 1 && beta == 2) --emax;
  if (ieee) --emax;
  const T one = 1, zero = 0;
  const T recbas = one / static_cast<T>(beta);
  T z = static_cast<T>(beta) - one, y = zero, oldy = zero;
  for (int32_t i = 1; i <= p; ++i) {
    z = z * recbas;
    if (y < one) oldy = y;
    add3(y, y, z);
  }
  if (y >= one) y = oldy;
  for (int32_t i = 1; i <= emax; ++i) add3(y, y * static_cast<T>(beta), zero);
  rmax = y;
}

template <typename T>
struct Lamc2State {
  bool first = true;
  int32_t beta = 0, t = 0, emin = 0, emax = 0;
  bool rnd = false;
  T eps = 0, rmin = 0, rmax = 0;
};

void emin_warning(int32_t emin, const char* routine) {
  rt::write_record(6, "");
  rt::write_record(6, "");
  rt::write_record(
      6, rt::fmt("(A,A,I8)", " WARNING. The value EMIN may be incorrect:-", "  EMIN = ", emin));
  rt::write_record(6, std::string(" If, after inspection, the value EMIN looks") +
                          " acceptable please comment out ");
  rt::write_record(6, std::string(" the IF block as marked within the code of routine") + routine);
  rt::write_record(6, " otherwise supply EMIN explicitly.");
  rt::write_record(6, "");
}

template <typename T>
void lamc2(Lamc2State<T>& st, Lamc1State<T>& st1, const char* routine, int32_t& beta, int32_t& t,
           bool& rnd, T& eps, int32_t& emin, T& rmin, int32_t& emax, T& rmax) {
  if (st.first) {
    const T zero = 0, one = 1, two = 2;
    bool lieee1;
    lamc1(st1, st.beta, st.t, st.rnd, lieee1);
    T b = static_cast<T>(st.beta);
    T a = one;
    for (int32_t i = 1; i <= st.t; ++i) a = a / b;
    T leps = a;
    // eps from the rounding error of 2/3 - 1/2 - 1/6, refined until stable.
    b = two / 3;
    const T half = one / 2;
    T sixth, third, c;
    add3(sixth, b, -half);
    add3(third, sixth, sixth);
    add3(b, third, -half);
    add3(b, b, sixth);
    b = std::abs(b);
    if (b < leps) b = leps;
    leps = 1;
    while (leps > b && b > zero) {
      leps = b;
      add3(c, half * leps, static_cast<T>(32) * (leps * leps));
      add3(c, half, -c);
      add3(b, half, c);
      add3(c, half, -b);
      add3(b, half, c);
    }
    if (a < leps) leps = a;
    // Smallest exponent, estimated from 1 and from a number with low bits
    // set, each positive and negative: the four patterns tell gradual
    // underflow and two's-complement exponents apart.
    const T rbase = one / static_cast<T>(st.beta);
    T small = one;
    for (int32_t i = 1; i <= 3; ++i) add3(small, small * rbase, zero);
    add3(a, one, small);
    int32_t ngpmin, ngnmin, gpmin, gnmin;
    lamc4(ngpmin, one, st.beta);
    lamc4(ngnmin, -one, st.beta);
    lamc4(gpmin, a, st.beta);
    lamc4(gnmin, -a, st.beta);
    bool ieee = false, iwarn = false;
    int32_t lemin;
    if (ngpmin == ngnmin && gpmin == gnmin) {
      if (ngpmin == gpmin) {
        lemin = ngpmin;
      } else if (gpmin - ngpmin == 3) {
        lemin = ngpmin - 1 + st.t;
        ieee = true;
      } else {
        lemin = std::min(ngpmin, gpmin);
        iwarn = true;
      }
    } else if (ngpmin == gpmin && ngnmin == gnmin) {
      if (std::abs(ngpmin - ngnmin) == 1) {
        lemin = std::max(ngpmin, ngnmin);
      } else {
        lemin = std::min(ngpmin, ngnmin);
        iwarn = true;
      }
    } else if (std::abs(ngpmin - ngnmin) == 1 && gpmin == gnmin) {
      if (gpmin - std::min(ngpmin, ngnmin) == 3) {
        lemin = std::max(ngpmin, ngnmin) - 1 + st.t;
      } else {
        lemin = std::min(ngpmin, ngnmin);
        iwarn = true;
      }
    } else {
      lemin = std::min(std::min(ngpmin, ngnmin), std::min(gpmin, gnmin));
      iwarn = true;
    }
    // A doubtful estimate is probed again on the next call.
    st.first = iwarn;
    if (iwarn) emin_warning(lemin, routine);
    ieee = ieee || lieee1;
    T lrmin = one;
    for (int32_t i = 1; i <= 1 - lemin; ++i) add3(lrmin, lrmin * rbase, zero);
    lamc5(st.beta, st.t, lemin, ieee, st.emax, st.rmax);
    st.eps = leps;
    st.emin = lemin;
    st.rmin = lrmin;
  }
  beta = st.beta;
  t = st.t;
  rnd = st.rnd;
  eps = st.eps;
  emin = st.emin;
  rmin = st.rmin;
  emax = st.emax;
  rmax = st.rmax;
}

// The ten answers, worked out on the first query.
template <typename T>
struct MachineValues {
  bool first = true;
  T eps = 0, sfmin = 0, base = 0, prec = 0, t = 0, rnd = 0, emin = 0, rmin = 0, emax = 0, rmax = 0;
  T last = 0;  // an unknown letter repeats the previous answer
};

Lamc1State<double> d1_state;
Lamc1State<float> s1_state;
Lamc2State<double> d2_state;
Lamc2State<float> s2_state;
MachineValues<double> d_values;
MachineValues<float> s_values;

template <typename T>
T lamch(MachineValues<T>& v, Lamc2State<T>& st2, Lamc1State<T>& st1, const char* routine,
        char cmach) {
  if (v.first) {
    int32_t beta, it, imin, imax;
    bool lrnd;
    T eps, rmin, rmax;
    lamc2(st2, st1, routine, beta, it, lrnd, eps, imin, rmin, imax, rmax);
    v.base = static_cast<T>(beta);
    v.t = static_cast<T>(it);
    T p = 1;
    for (int32_t i = 1; i <= it - 1; ++i) p = p / v.base;
    v.rnd = lrnd ? T(1) : T(0);
    v.eps = lrnd ? p / 2 : p;
    v.prec = v.eps * v.base;
    v.emin = static_cast<T>(imin);
    v.emax = static_cast<T>(imax);
    v.rmin = rmin;
    v.rmax = rmax;
    v.sfmin = rmin;
    const T small = T(1) / rmax;
    if (small >= v.sfmin) v.sfmin = small * (T(1) + v.eps);
    v.first = false;
  }
  const struct {
    char letter;
    T MachineValues<T>::*value;
  } table[] = {{'E', &MachineValues<T>::eps},  {'S', &MachineValues<T>::sfmin},
               {'B', &MachineValues<T>::base}, {'P', &MachineValues<T>::prec},
               {'N', &MachineValues<T>::t},    {'R', &MachineValues<T>::rnd},
               {'M', &MachineValues<T>::emin}, {'U', &MachineValues<T>::rmin},
               {'L', &MachineValues<T>::emax}, {'O', &MachineValues<T>::rmax}};
  for (const auto& q : table)
    if (lsame_(cmach, q.letter)) {
      v.last = v.*q.value;
      break;
    }
  return v.last;
}

}  // namespace

void dlamc1_(int32_t& beta, int32_t& t, bool& rnd, bool& ieee1) {
  lamc1(d1_state, beta, t, rnd, ieee1);
}
void slamc1_(int32_t& beta, int32_t& t, bool& rnd, bool& ieee1) {
  lamc1(s1_state, beta, t, rnd, ieee1);
}

void dlamc2_(int32_t& beta, int32_t& t, bool& rnd, double& eps, int32_t& emin, double& rmin,
             int32_t& emax, double& rmax) {
  lamc2(d2_state, d1_state, " DLAMC2,", beta, t, rnd, eps, emin, rmin, emax, rmax);
}
void slamc2_(int32_t& beta, int32_t& t, bool& rnd, float& eps, int32_t& emin, float& rmin,
             int32_t& emax, float& rmax) {
  lamc2(s2_state, s1_state, " SLAMC2,", beta, t, rnd, eps, emin, rmin, emax, rmax);
}

void dlamc4_(int32_t& emin, double start, int32_t base) { lamc4(emin, start, base); }
void slamc4_(int32_t& emin, float start, int32_t base) { lamc4(emin, start, base); }

void dlamc5_(int32_t beta, int32_t p, int32_t emin, bool ieee, int32_t& emax, double& rmax) {
  lamc5(beta, p, emin, ieee, emax, rmax);
}
void slamc5_(int32_t beta, int32_t p, int32_t emin, bool ieee, int32_t& emax, float& rmax) {
  lamc5(beta, p, emin, ieee, emax, rmax);
}

double dlamch_(char cmach) { return lamch(d_values, d2_state, d1_state, " DLAMC2,", cmach); }
float slamch_(char cmach) { return lamch(s_values, s2_state, s1_state, " SLAMC2,", cmach); }
