// Reciprocal-space questions about a loaded space group: Laue classes and
// their asymmetric units, symmetry mates, centric and epsilon zones,
// systematic absences, alternative origins and the printed summaries.
#include "suite/csymlib_recip.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "suite/csymlib_symop.h"
#include "suite/ptq7_errno.h"

namespace {

void null_record(const char* place) {
  ptq7_signal(ptq7_error_word(PTQ7_ERRNO_SYM, PTQ7_LEVEL_SUCCESS, 3), place, nullptr);
}

int nint(float x) { return static_cast<int>(std::lround(x)); }

// The mate of (h, k, l) under a rotation: the row vector times the matrix.
void mate(const float rot[3][3], int h, int k, int l, int& ho, int& ko, int& lo) {
  ho = nint(h * rot[0][0] + k * rot[1][0] + l * rot[2][0]);
  ko = nint(h * rot[0][1] + k * rot[1][1] + l * rot[2][1]);
  lo = nint(h * rot[0][2] + k * rot[1][2] + l * rot[2][2]);
}

struct LaueClass {
  int code;
  const char* name;
  int sampling[3];
  AsuTest test;
  const char* condition;
  const char* laue_text;  // tells apart the classes sharing a condition
};

const LaueClass kLaue[] = {
    {3, "-1", {2, 2, 2}, ASU_1b, "l>0 or (l==0 and (h>0 or (h==0 and k>=0)))", nullptr},
    {4, "2/m", {2, 4, 2}, ASU_2_m, "k>=0 and (l>0 or (l=0 and h>=0))", nullptr},
    {5, "2/m", {2, 8, 4}, nullptr, nullptr, nullptr},
    {6, "mmm", {4, 4, 4}, ASU_mmm, "h>=0 and k>=0 and l>=0", nullptr},
    {7, "4/m", {4, 4, 8}, ASU_4_m, "l>=0 and ((h>=0 and k>0) or (h=0 and k=0))", "4/m"},
    {8, "4/mmm", {4, 4, 8}, ASU_4_mmm, "h>=k and k>=0 and l>=0", "4/mmm"},
    {9, "-3", {6, 6, 6}, ASU_3b, "(h>=0 and k>0) or (h=0 and k=0 and l>=0)", nullptr},
    {10, "3bar1m", {6, 6, 6}, ASU_3bm, "h>=k and k>=0 and (k>0 or l>=0)", nullptr},
    {11, "3barm", {6, 6, 6}, ASU_3bmx, "h>=k and k>=0 and (h>k or l>=0)", nullptr},
    {12, "6/m", {6, 6, 12}, ASU_6_m, "l>=0 and ((h>=0 and k>0) or (h=0 and k=0))", "6/m"},
    {13, "6/mmm", {6, 6, 12}, ASU_6_mmm, "h>=k and k>=0 and l>=0", "6/mmm"},
    {14, "m3bar", {4, 4, 4}, ASU_m3b, "h>=0 and ((l>=h and k>h) or (l=h and k=h))", nullptr},
    {15, "m3barm", {8, 8, 8}, ASU_m3bm, "k>=l and l>=h and h>=0", nullptr},
};

// Representatives of the centric zones 1..12 and the epsilon zones 1..13.
const int kCentricRep[12][3] = {{0, 1, 2},  {1, 0, 2},  {1, 2, 0},   {1, 1, 10},
                                {1, 10, 1}, {10, 1, 1}, {1, -1, 10}, {1, 10, -1},
                                {10, 1, -1}, {-1, 2, 10}, {2, -1, 10}, {1, 4, 8}};
const int kEpsilonRep[13][3] = {{1, 0, 0}, {0, 2, 0},  {0, 0, 2},  {1, 1, 0}, {1, 0, 1},
                                {0, 1, 1}, {1, -1, 0}, {1, 0, -1}, {0, 1, -1}, {-1, 2, 0},
                                {2, -1, 0}, {1, 1, 1}, {1, 2, 3}};
const char* const kCentricText[12] = {"0kl",   "h0l",   "hk0",   "hhl",     "hkh",     "hkk",
                                      "h -hl", "hk -h", "hk -k", "-h 2h l", "2h -h l", "hkl"};
const char* const kEpsilonText[13] = {"h00",   "0k0",   "00l",     "hh0",     "h0h",
                                      "0kk",   "h -h0", "h0 -h",   "0k -k",   "-h 2h 0",
                                      "2h -h 0", "hhh", "hkl"};

}  // namespace

// ---- Laue classes --------------------------------------------------------------

int ASU_1b(int h, int k, int l) { return (l > 0 || (l == 0 && (h > 0 || (h == 0 && k >= 0)))); }
int ASU_2_m(int h, int k, int l) { return (k >= 0 && (l > 0 || (l == 0 && h >= 0))); }
int ASU_mmm(int h, int k, int l) { return (h >= 0 && k >= 0 && l >= 0); }
int ASU_4_m(int h, int k, int l) { return (l >= 0 && ((h >= 0 && k > 0) || (h == 0 && k == 0))); }
int ASU_4_mmm(int h, int k, int l) { return (h >= k && k >= 0 && l >= 0); }
int ASU_3b(int h, int k, int l) { return ((h >= 0 && k > 0) || (h == 0 && k == 0 && l >= 0)); }
int ASU_3bm(int h, int k, int l) { return (h >= k && k >= 0 && (k > 0 || l >= 0)); }
int ASU_3bmx(int h, int k, int l) { return (h >= k && k >= 0 && (h > k || l >= 0)); }
int ASU_6_m(int h, int k, int l) { return (l >= 0 && ((h >= 0 && k > 0) || (h == 0 && k == 0))); }
int ASU_6_mmm(int h, int k, int l) { return (h >= k && k >= 0 && l >= 0); }
int ASU_m3b(int h, int k, int l) { return (h >= 0 && ((l >= h && k > h) || (l == h && k == h))); }
int ASU_m3bm(int h, int k, int l) { return (k >= l && l >= h && h >= 0); }

int ptq7spg_load_laue(Spacegroup* sg, int code) {
  if (!sg) return 1;
  for (const LaueClass& c : kLaue) {
    if (c.code != code) continue;
    sg->laue_code = code;
    std::snprintf(sg->laue_name, sizeof sg->laue_name, "%s", c.name);
    for (int i = 0; i < 3; ++i) sg->laue_sampling[i] = c.sampling[i];
    if (c.test) sg->asu_test = c.test;
    return 0;
  }
  return 1;
}

int ptq7spg_laue_code_of(const char* condition, const char* laue_text) {
  for (const LaueClass& c : kLaue) {
    if (!c.condition || std::strcmp(c.condition, condition) != 0) continue;
    if (c.laue_text && (!laue_text || std::strcmp(c.laue_text, laue_text) != 0)) continue;
    return c.code;
  }
  return 0;
}

// ---- Asymmetric unit -----------------------------------------------------------

int ptq7spg_do_chb(const float chb[3][3]) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (chb[i][j] != (i == j ? 1.0f : 0.0f)) return 1;
  return 0;
}

int ptq7spg_is_in_asu(const Spacegroup* sg, int h, int k, int l) {
  if (!sg) {
    null_record("ptq7spg_is_in_asu");
    return 0;
  }
  if (!sg->asu_test) return 0;
  if (ptq7spg_do_chb(sg->chb)) {
    int hh, kk, ll;
    mate(sg->chb, h, k, l, hh, kk, ll);
    return sg->asu_test(hh, kk, ll);
  }
  return sg->asu_test(h, k, l);
}

int ptq7spg_is_in_pm_asu(const Spacegroup* sg, int h, int k, int l) {
  if (!sg) {
    null_record("ptq7spg_is_in_pm_asu");
    return 0;
  }
  if (ptq7spg_is_in_asu(sg, h, k, l)) return 1;
  if (ptq7spg_is_in_asu(sg, -h, -k, -l)) return -1;
  return 0;
}

int ptq7spg_put_in_asu(const Spacegroup* sg, int hin, int kin, int lin, int& hout, int& kout,
                       int& lout) {
  if (!sg) {
    null_record("ptq7spg_put_in_asu");
    return 0;
  }
  for (int i = 0; i < sg->nsymop_prim; ++i) {
    int h, k, l;
    mate(sg->symop[i].rot, hin, kin, lin, h, k, l);
    const int where = ptq7spg_is_in_pm_asu(sg, h, k, l);
    if (where == 1) {
      hout = h;
      kout = k;
      lout = l;
      return 2 * i + 1;
    }
    if (where == -1) {
      hout = -h;
      kout = -k;
      lout = -l;
      return 2 * i + 2;
    }
  }
  std::printf("Can't put in asu ! \n");
  return 0;
}

void ptq7spg_generate_indices(const Spacegroup* sg, int isym, int hin, int kin, int lin,
                              int& hout, int& kout, int& lout) {
  if (!sg) {
    null_record("ptq7spg_generate_indices");
    return;
  }
  const int i = (isym - 1) / 2;
  // An ISYM that names no operator of the group changes nothing.
  if (isym < 1 || i >= static_cast<int>(sg->invsymop.size())) return;
  const int sign = (isym % 2 == 1) ? 1 : -1;
  int h, k, l;
  mate(sg->invsymop[i].rot, hin, kin, lin, h, k, l);
  hout = sign * h;
  kout = sign * k;
  lout = sign * l;
}

float ptq7spg_phase_shift(int h, int k, int l, float phase, const float trn[3], int isign) {
  float p = 360.0f * (h * trn[0] + k * trn[1] + l * trn[2]) + (isign == -1 ? -phase : phase);
  p = std::fmod(p, 360.0f);
  if (p < 0.0f) p += 360.0f;
  return p;
}

// ---- Centric and epsilon zones -------------------------------------------------

int ptq7spg_check_centric_zone(int zone, int h, int k, int l) {
  switch (zone) {
    case 1: return h;
    case 2: return k;
    case 3: return l;
    case 4: return h - k;
    case 5: return h - l;
    case 6: return k - l;
    case 7: return h + k;
    case 8: return h + l;
    case 9: return k + l;
    case 10: return 2 * h + k;
    case 11: return h + 2 * k;
    case 12: return 0;
    default:
      std::printf("Invalid nzone ! \n");
      return 0;
  }
}

int ptq7spg_check_epsilon_zone(int zone, int h, int k, int l) {
  switch (zone) {
    case 1: return 1000 * k + l;
    case 2: return 1000 * h + l;
    case 3: return 1000 * h + k;
    case 4: return 1000 * l + h - k;
    case 5: return 1000 * k + h - l;
    case 6: return 1000 * h + k - l;
    case 7: return 1000 * l + h + k;
    case 8: return 1000 * k + h + l;
    case 9: return 1000 * h + k + l;
    case 10: return 1000 * l + 2 * h + k;
    case 11: return 1000 * l + h + 2 * k;
    case 12: return 1000 * (k - l) + (h - l);
    case 13: return 0;
    default:
      std::printf("Invalid nzone ! \n");
      return 0;
  }
}

void ptq7spg_set_centric_zones(Spacegroup* sg) {
  if (!sg) {
    null_record("ptq7spg_set_centric_zones");
    return;
  }
  for (int z = 0; z < 12; ++z) {
    const int* r = kCentricRep[z];
    sg->centric_zones[z] = 0;
    for (int i = 0; i < sg->nsymop; ++i) {
      int h, k, l;
      mate(sg->symop[i].rot, r[0], r[1], r[2], h, k, l);
      if (h == -r[0] && k == -r[1] && l == -r[2]) {
        sg->centric_zones[z] = i + 1;
        break;
      }
    }
  }
}

void ptq7spg_set_epsilon_zones(Spacegroup* sg) {
  if (!sg) {
    null_record("ptq7spg_set_epsilon_zones");
    return;
  }
  const int centring = sg->nsymop_prim > 0 ? sg->nsymop / sg->nsymop_prim : 0;
  for (int z = 0; z < 12; ++z) {
    const int* r = kEpsilonRep[z];
    int count = 0;
    for (int i = 0; i < sg->nsymop_prim; ++i) {
      int h, k, l;
      mate(sg->symop[i].rot, r[0], r[1], r[2], h, k, l);
      if (h == r[0] && k == r[1] && l == r[2]) ++count;
    }
    sg->epsilon_zones[z] = count > 1 ? count * centring : 0;
  }
  sg->epsilon_zones[12] = centring;
}

int ptq7spg_is_centric(const Spacegroup* sg, int h, int k, int l) {
  if (!sg) {
    null_record("ptq7spg_is_centric");
    return -1;
  }
  for (int z = 0; z < 12; ++z)
    if (sg->centric_zones[z] && ptq7spg_check_centric_zone(z + 1, h, k, l) == 0) return 1;
  return 0;
}

float ptq7spg_centric_phase(const Spacegroup* sg, int h, int k, int l) {
  if (!sg) {
    null_record("ptq7spg_centric_phase");
    return 0.0f;
  }
  for (int z = 0; z < 12; ++z) {
    if (!sg->centric_zones[z] || ptq7spg_check_centric_zone(z + 1, h, k, l) != 0) continue;
    const float* t = sg->symop[sg->centric_zones[z] - 1].trn;
    const float d = h * t[0] + k * t[1] + l * t[2];
    float phase = 180.0f * (d - static_cast<float>(std::lround(d)));
    if (phase < 0.0f) phase += 180.0f;
    return phase;
  }
  return 0.0f;
}

int ptq7spg_get_multiplicity(const Spacegroup* sg, int h, int k, int l) {
  if (!sg) {
    null_record("ptq7spg_get_multiplicity");
    return 0;
  }
  for (int z = 0; z < 13; ++z)
    if (sg->epsilon_zones[z] && ptq7spg_check_epsilon_zone(z + 1, h, k, l) == 0)
      return sg->epsilon_zones[z];
  return 0;
}

int ptq7spg_is_sysabs(const Spacegroup* sg, int h, int k, int l) {
  if (!sg) {
    null_record("ptq7spg_is_sysabs");
    return -1;
  }
  for (int j = 1; j < sg->nsymop; ++j) {
    int hh, kk, ll;
    mate(sg->invsymop[j].rot, h, k, l, hh, kk, ll);
    if (hh != h || kk != k || ll != l) continue;
    const float* t = sg->symop[j].trn;
    const float d = h * t[0] + k * t[1] + l * t[2];
    if (std::fabs(d - static_cast<float>(std::lround(d))) > 0.05f) return 1;
  }
  return 0;
}

const char* ptq7spg_describe_centric_zone(int zone, char* buffer) {
  std::strcpy(buffer, (zone >= 1 && zone <= 12) ? kCentricText[zone - 1] : "null");
  return buffer;
}

const char* ptq7spg_describe_epsilon_zone(int zone, char* buffer) {
  std::strcpy(buffer, (zone >= 1 && zone <= 13) ? kEpsilonText[zone - 1] : "null");
  return buffer;
}

// ---- Printing ------------------------------------------------------------------

void ptq7spg_print_centric_zones(const Spacegroup* sg) {
  if (!sg) {
    null_record("ptq7spg_print_centric_zones");
    return;
  }
  std::printf("\n  ******   CENTRIC ZONES  ****** \n\n");
  int n = 0;
  char text[16];
  for (int z = 0; z < 12; ++z) {
    if (!sg->centric_zones[z]) continue;
    std::printf("  CENTRIC Zone   %d\n", ++n);
    std::printf("  Reflections of type  %s \n\n", ptq7spg_describe_centric_zone(z + 1, text));
  }
  if (n == 0) std::printf("  (no centric zones for this spacegroup) \n");
}

void ptq7spg_print_epsilon_zones(const Spacegroup* sg) {
  if (!sg) {
    null_record("ptq7spg_print_epsilon_zones");
    return;
  }
  std::printf("\n  ******   EPSILON ZONES -  Reflection Classes and their multiplicity ****** \n");
  int n = 0;
  char text[16];
  for (int z = 0; z < 13; ++z) {
    if (!sg->epsilon_zones[z]) continue;
    std::printf("\n  EPSILON Zone   %d\n", ++n);
    std::printf("  Reflections of type  %s \n", ptq7spg_describe_epsilon_zone(z + 1, text));
    std::printf("  Multiplicity   %d\n", sg->epsilon_zones[z]);
  }
}

namespace {

void print_recip_block(const Spacegroup* sg, int sign) {
  std::printf("       %-18s%-18s%-18s%-18s\n", "ISYM", "ISYM", "ISYM", "ISYM");
  int on_line = 0;
  for (int i = 0; i < sg->nsymop_prim; ++i) {
    float m[16] = {};
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) m[r * 4 + c] = sign * sg->invsymop[i].rot[c][r];
    m[15] = 1.0f;
    char text[81];
    if (!mat4_to_recip_symop(text, text + 80, m)) std::memset(text, ' ', 80);
    int n = 80;
    while (n > 0 && text[n - 1] == ' ') --n;
    text[n] = '\0';
    if (on_line == 0) std::printf("  ISYM");
    std::printf(" %3d  %-12s", sign > 0 ? 2 * i + 1 : 2 * i + 2, text);
    if (++on_line == 4) {
      std::printf("\n");
      on_line = 0;
    }
  }
  if (on_line) std::printf("\n");
}

}  // namespace

void ptq7spg_print_recip_ops(const Spacegroup* sg) {
  if (!sg) {
    null_record("ptq7spg_print_recip_ops");
    return;
  }
  std::printf("\n Spacegroup %d \"%s\" \n", sg->ptq7_number, sg->symbol_xhm);
  std::printf(" Original indices for reflection hkl with symmetry number ISYM \n\n");
  std::printf("                              Bijvoet positive \n");
  print_recip_block(sg, 1);
  std::printf("\n                              Bijvoet negative \n");
  print_recip_block(sg, -1);
}

void ptq7spg_print_recip_spgrp(const Spacegroup* sg) {
  if (!sg) {
    null_record("ptq7spg_print_recip_spgrp");
    return;
  }
  std::printf("Reciprocal space symmetry: \n");
  std::printf("Space group: \"%s\" Point group: \"%s\" Laue group: \"%s\" \n", sg->symbol_xhm,
              sg->point_group, sg->laue_name);
  std::printf("Reference asymmetric unit: \"%s\" \n", sg->asu_descr);
  std::printf("  (change of basis may be applied) \n");
  ptq7spg_print_recip_ops(sg);
}

// ---- Origins and centring ------------------------------------------------------

int ptq7spg_generate_origins(const char* name, int nsym, const float* rsm, float (*origins)[3],
                             int& polar_x, int& polar_y, int& polar_z, int print_flag) {
  auto el = [&](int n, int i, int j) { return rsm[n * 16 + j * 4 + i]; };
  int polar[3] = {1, 1, 1};
  const float p[3] = {0.13f, 0.17f, 0.19f};
  for (int n = 1; n < nsym; ++n)
    for (int i = 0; i < 3; ++i) {
      const float x = el(n, i, 0) * p[0] + el(n, i, 1) * p[1] + el(n, i, 2) * p[2];
      if (std::fabs(x - p[i]) > 0.01f) polar[i] = 0;
    }

  int norigin = 1;
  origins[0][0] = origins[0][1] = origins[0][2] = 0.0f;
  static const int twelfths[6] = {0, 6, 4, 8, 3, 9};
  for (int a : twelfths)
    for (int b : twelfths)
      for (int c : twelfths) {
        if (a == 0 && b == 0 && c == 0) continue;
        const int s[3] = {a, b, c};
        bool ok = true;
        for (int i = 0; i < 3 && ok; ++i)
          if (polar[i] && s[i] != 0) ok = false;
        for (int n = 1; n < nsym && ok; ++n)
          for (int i = 0; i < 3 && ok; ++i) {
            int sum = 0;
            for (int j = 0; j < 3; ++j)
              sum += static_cast<int>(std::lround(el(n, i, j) - el(0, i, j))) * s[j];
            if (sum % 12 != 0) ok = false;
          }
        if (!ok) continue;
        origins[norigin][0] = a / 12.0f;
        origins[norigin][1] = b / 12.0f;
        origins[norigin][2] = c / 12.0f;
        ++norigin;
      }
  polar_x = polar[0];
  polar_y = polar[1];
  polar_z = polar[2];

  if (print_flag) {
    const int npolar = polar[0] + polar[1] + polar[2];
    if (npolar == 3) {
      std::printf(" this is p1: origin anywhere\n");
      std::printf(" %s %s %s \n", "Number of alternate origins for spacegroup:  ", name,
                  " is infinite.");
    } else if (npolar == 2) {
      const char* plane = !polar[2] ? "in a b plane" : !polar[1] ? "in a c plane" : "in b c plane";
      std::printf(" this is a polar+ spacegroup: origin anywhere %s\n", plane);
      std::printf(" %s %s %s %d \n",
                  "Number of alternate origin containing planes for spacegroup:", name, " is:",
                  norigin);
    } else if (npolar == 1) {
      const char axis = polar[0] ? 'a' : polar[1] ? 'b' : 'c';
      std::printf(" this is a polar spacegroup: origin is not fixed along %c axis\n", axis);
      std::printf(" %s %s %s %d \n",
                  "Number of alternate origin containing lines for spacegroup: ", name, " is:",
                  norigin);
    } else {
      std::printf(" %s %s %s %d \n", "Number of alternate origins for spacegroup:  ", name,
                  " is:", norigin);
    }
    std::printf("\n Norigin     Ox      Oy      Oz\n\n");
    for (int o = 0; o < norigin; ++o) {
      std::printf("%8d", o + 1);
      for (int i = 0; i < 3; ++i) {
        if (polar[i])
          std::printf("     ?? ");
        else
          std::printf("%8.4f", origins[o][i]);
      }
      std::printf("\n");
    }
  }
  return norigin;
}

int ptq7_spg_get_centering(const char* symbol, float (*ops)[3]) {
  for (int i = 0; i < 4; ++i) ops[i][0] = ops[i][1] = ops[i][2] = 0.0f;
  auto set = [&](int n, float x, float y, float z) {
    ops[n][0] = x;
    ops[n][1] = y;
    ops[n][2] = z;
  };
  if (std::strchr(symbol, 'P')) return 1;
  if (std::strchr(symbol, 'A')) {
    set(1, 0.0f, 0.5f, 0.5f);
    return 2;
  }
  if (std::strchr(symbol, 'B')) {
    set(1, 0.5f, 0.0f, 0.5f);
    return 2;
  }
  if (std::strchr(symbol, 'C')) {
    set(1, 0.5f, 0.5f, 0.0f);
    return 2;
  }
  if (std::strchr(symbol, 'F')) {
    set(1, 0.0f, 0.5f, 0.5f);
    set(2, 0.5f, 0.0f, 0.5f);
    set(3, 0.5f, 0.5f, 0.0f);
    return 4;
  }
  if (std::strchr(symbol, 'I')) {
    set(1, 0.5f, 0.5f, 0.5f);
    return 2;
  }
  if (std::strchr(symbol, 'H')) {
    set(1, 2.0f / 3.0f, 1.0f / 3.0f, 1.0f / 3.0f);
    set(2, 1.0f / 3.0f, 2.0f / 3.0f, 2.0f / 3.0f);
    return 3;
  }
  if (std::strchr(symbol, 'R')) return 1;
  return 0;
}
