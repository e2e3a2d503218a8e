// The code base's symmetry interface: the current space group of the run,
// the four channels, and the entries that load, query and print them.
#include "suite/csymlib_f.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "suite/csymlib.h"
#include "suite/csymlib_grid.h"
#include "suite/csymlib_recip.h"
#include "suite/csymlib_symop.h"
#include "suite/cvecmat.h"
#include "suite/library_err.h"
#include "suite/library_f.h"
#include "suite/ptq7_errno.h"
#include "suite/ptq7_unitcell.h"

namespace {

SpacegroupPtr g_current;
SpacegroupPtr g_channel[4];
double g_coefhkl[6] = {0, 0, 0, 0, 0, 0};
int32_t g_pgmdf[5] = {0, 0, 0, 0, 0};

void set_current(SpacegroupPtr sg) {
  g_current = std::move(sg);
  if (g_current) ptq7f_register_tidy(ptq7spg_mem_tidy);
}

std::string trimmed(std::string_view s) { return std::string(rt::trim_right(s)); }

// Code-base operator n (0-based) to and from the Symop form.
void symop_from_rsm(Symop& op, const float* rsm, int n) {
  const float* m = rsm + 16 * n;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) op.rot[i][j] = m[j * 4 + i];
    op.trn[i] = m[12 + i];
  }
}

void symop_to_rsm(float* rsm, int n, const Symop& op) {
  float* m = rsm + 16 * n;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) m[j * 4 + i] = op.rot[i][j];
    m[12 + i] = op.trn[i];
    m[i * 4 + 3] = 0.0f;
  }
  m[15] = 1.0f;
}

std::vector<Symop> ops_from_rsm(int nsym, const float* rsm) {
  std::vector<Symop> ops(nsym > 0 ? nsym : 0);
  for (int n = 0; n < nsym; ++n) symop_from_rsm(ops[n], rsm, n);
  return ops;
}

void hkl_mate_error(const char* what) { std::printf("%s: No spacegroup loaded yet! \n", what); }

// The name as the code base gets it back: setting suffix removed.
void returned_name(const Spacegroup& sg, char* out) {
  std::snprintf(out, SPG_NAME_LEN, "%s", sg.symbol_xhm);
  ptq7spg_name_de_colon(out);
  int n = static_cast<int>(std::strlen(out));
  while (n > 0 && out[n - 1] == ' ') out[--n] = '\0';
}

}  // namespace

const Spacegroup* ptq7spg_current() { return g_current.get(); }

void ptq7spg_mem_tidy() { g_current.reset(); }

// ---- Loading the current group -------------------------------------------------

void msymlb3_(int32_t& /*ist*/, int32_t& lspgrp, rt::TextRef name, rt::TextRef short_name,
              rt::TextRef point_group, int32_t& nsymp, int32_t& nsym, float* rsm) {
  if (lspgrp < 1) {
    const std::string wanted = trimmed(name.view());
    if (!wanted.empty()) {
      g_current.reset();
      set_current(ptq7spg_load_by_ptq7_spgname(wanted.c_str()));
    }
  } else {
    g_current.reset();
    set_current(ptq7spg_load_by_ptq7_num(lspgrp));
  }
  if (!g_current) return;
  const Spacegroup& sg = *g_current;
  lspgrp = sg.ptq7_number >= 1 ? sg.ptq7_number : sg.number;
  char back[SPG_NAME_LEN];
  returned_name(sg, back);
  name.assign(back);
  char shortname[SPG_NAME_LEN];
  ptq7spg_to_shortname(shortname, sg.symbol_old[0] ? sg.symbol_old : back);
  short_name.assign(shortname);
  point_group.assign(sg.point_group);
  nsymp = sg.nsymop_prim;
  nsym = sg.nsymop;
  for (int n = 0; n < sg.nsymop; ++n) symop_to_rsm(rsm, n, sg.symop[n]);
}

void msymlb2_(int32_t& ist, int32_t& lspgrp, rt::TextRef name, rt::TextRef point_group,
              int32_t& nsymp, int32_t& nsym, float* rsm) {
  char scratch[SPG_NAME_LEN];
  msymlb3_(ist, lspgrp, name, rt::TextRef(scratch, SPG_NAME_LEN), point_group, nsymp, nsym, rsm);
}

void msymlb_(int32_t& ist, int32_t& lspgrp, rt::TextRef name, rt::TextRef point_group,
             int32_t& nsymp, int32_t& nsym, float* rsm) {
  msymlb2_(ist, lspgrp, name, point_group, nsymp, nsym, rsm);
}

void msyget_(int32_t& ist, int32_t& lspgrp, int32_t& nsym, float* rsm) {
  char name[SPG_NAME_LEN], shortname[SPG_NAME_LEN], pg[SPG_NAME_LEN];
  std::memset(name, ' ', sizeof name);
  int32_t nsymp = 0;
  msymlb3_(ist, lspgrp, rt::TextRef(name, SPG_NAME_LEN), rt::TextRef(shortname, SPG_NAME_LEN),
           rt::TextRef(pg, SPG_NAME_LEN), nsymp, nsym, rsm);
}

void ptq7spg_register_by_symops(int nops, const float (*ops)[4][4]) {
  std::vector<Symop> list(nops > 0 ? nops : 0);
  for (int n = 0; n < nops; ++n) mat4_to_rotandtrn(list[n], &ops[n][0][0]);
  g_current.reset();
  set_current(ptq7_spgrp_reverse_lookup(nops, list.data()));
  if (!g_current) ptqerror(1, "Fatal error in ptq7spg_register_by_symops");
}

void ptq7spg_register_by_ptq7_num(int number) {
  g_current.reset();
  set_current(ptq7spg_load_by_ptq7_num(number));
  if (!g_current) ptqerror(1, "Fatal error in ptq7spg_register_by_ptq7_num");
}

// ---- Reciprocal asymmetric unit ------------------------------------------------

void asuset_(std::string_view /*name*/, int32_t& number, rt::TextRef point_group, int32_t& nsym,
             const float* rsm, int32_t& nsymp, int32_t& laue_code, int32_t lprint) {
  const std::vector<Symop> ops = ops_from_rsm(nsym, rsm);
  g_current.reset();
  set_current(ptq7_spgrp_reverse_lookup(nsym, ops.data()));
  if (!g_current) {
    if (number < 1) {
      std::printf("ASUSET: no spacegroup info! \n");
      ptqerror(1, "Fatal error in ASUSET.");
      return;
    }
    set_current(ptq7spg_load_by_ptq7_num(number));
    if (!g_current) {
      std::printf("ASUSET: failed to load spacegroup info from SYMINFO! \n");
      ptqerror(1, "Fatal error in ASUSET.");
      return;
    }
  }
  point_group.assign(g_current->point_group);
  nsymp = g_current->nsymop_prim;
  laue_code = g_current->laue_code;
  if (lprint == 1) ptq7spg_print_recip_spgrp(g_current.get());
}

void asusym_(float* rsm, float* rsm_inverse, int32_t& nsym) {
  if (!g_current) {
    std::printf("ASUSYM: No spacegroup loaded yet! \n");
    return;
  }
  const Spacegroup& sg = *g_current;
  for (int n = 0; n < sg.nsymop_prim; ++n) {
    const Symop* pairs[2] = {&sg.symop[n], &sg.invsymop[n]};
    float* outs[2] = {rsm, rsm_inverse};
    for (int w = 0; w < 2; ++w) {
      Symop neg = *pairs[w];
      for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) neg.rot[i][j] = -neg.rot[i][j];
        neg.trn[i] = -neg.trn[i];
      }
      symop_to_rsm(outs[w], 2 * n, *pairs[w]);
      symop_to_rsm(outs[w], 2 * n + 1, neg);
    }
  }
  nsym = 2 * sg.nsymop_prim;
}

void asuput_(const int32_t* ihkl, int32_t* jhkl, int32_t& isym) {
  int h = jhkl[0], k = jhkl[1], l = jhkl[2];
  isym = ptq7spg_put_in_asu(g_current.get(), ihkl[0], ihkl[1], ihkl[2], h, k, l);
  jhkl[0] = h;
  jhkl[1] = k;
  jhkl[2] = l;
}

void asuget_(const int32_t* ihkl, int32_t* jhkl, int32_t isym) {
  int h = jhkl[0], k = jhkl[1], l = jhkl[2];
  ptq7spg_generate_indices(g_current.get(), isym, ihkl[0], ihkl[1], ihkl[2], h, k, l);
  jhkl[0] = h;
  jhkl[1] = k;
  jhkl[2] = l;
}

void asuphp_(const int32_t* hkl, int32_t lsym, int32_t isign, float phase_in, float& phase_out) {
  if (!g_current) {
    hkl_mate_error("ASUPHP");
    return;
  }
  // An operator number outside the primitive list leaves the phase alone.
  if (lsym < 1 || lsym > g_current->nsymop_prim) return;
  phase_out = ptq7spg_phase_shift(hkl[0], hkl[1], hkl[2], phase_in,
                                  g_current->symop[lsym - 1].trn, isign);
}

int32_t inasu_(const int32_t* ihkl, int32_t laue_code) {
  if (!g_current) {
    std::printf("INASU: No spacegroup loaded yet! \n");
    return 999;
  }
  Spacegroup& sg = *g_current;
  const int own = sg.laue_code;
  if (laue_code != own && ptq7spg_load_laue(&sg, laue_code) != 0) {
    std::printf("INASU: unrecognised PTQ7 Laue code\n");
    return 999;
  }
  const int r = ptq7spg_is_in_pm_asu(&sg, ihkl[0], ihkl[1], ihkl[2]);
  if (laue_code != own) ptq7spg_load_laue(&sg, own);
  return r;
}

// ---- Reflection classes --------------------------------------------------------

void centric_(int32_t nsym, const float* rsm, int32_t iprint) {
  const std::vector<Symop> ops = ops_from_rsm(nsym, rsm);
  g_current.reset();
  set_current(ptq7_spgrp_reverse_lookup(nsym, ops.data()));
  if (iprint > 0) ptq7spg_print_centric_zones(g_current.get());
}

void centr_(const int32_t* ihkl, int32_t& is_centric) {
  is_centric = ptq7spg_is_centric(g_current.get(), ihkl[0], ihkl[1], ihkl[2]);
  if (is_centric == -1) ptqerror(1, "Fatal error in CENTR.");
}

void centphase_(const int32_t* ihkl, float& phase) {
  if (ptq7spg_is_centric(g_current.get(), ihkl[0], ihkl[1], ihkl[2]) == 1)
    phase = ptq7spg_centric_phase(g_current.get(), ihkl[0], ihkl[1], ihkl[2]);
  else
    std::printf("CENTPHASE: This is not a centric reflection!\n");
}

void epsln_(int32_t nsym, int32_t /*nsymp*/, const float* rsm, int32_t iprint) {
  const std::vector<Symop> ops = ops_from_rsm(nsym, rsm);
  g_current.reset();
  set_current(ptq7_spgrp_reverse_lookup(nsym, ops.data()));
  if (iprint > 0) ptq7spg_print_epsilon_zones(g_current.get());
}

void epslon_(const int32_t* ihkl, float& epsilon, int32_t& is_absent) {
  if (!g_current) {
    std::printf("EPSLON: No spacegroup loaded yet! \n");
    return;
  }
  epsilon = static_cast<float>(ptq7spg_get_multiplicity(g_current.get(), ihkl[0], ihkl[1], ihkl[2]));
  is_absent = ptq7spg_is_sysabs(g_current.get(), ihkl[0], ihkl[1], ihkl[2]);
}

void sysab_(const int32_t* ihkl, int32_t& is_absent) {
  is_absent = ptq7spg_is_sysabs(g_current.get(), ihkl[0], ihkl[1], ihkl[2]);
}

// ---- Point groups and Patterson groups -----------------------------------------

void pgdefn_(rt::TextRef point_group, int32_t& nsymp, int32_t nsym, const float* rsm,
             int32_t /*unused*/) {
  std::vector<Symop> rots;
  std::vector<int32_t> codes;
  for (int n = 0; n < nsym; ++n) {
    Symop op;
    symop_from_rsm(op, rsm, n);
    op.trn[0] = op.trn[1] = op.trn[2] = 0.0f;
    const int32_t code = ptq7_symop_code(op);
    bool seen = false;
    for (int32_t c : codes) seen = seen || c == code;
    if (seen) continue;
    codes.push_back(code);
    rots.push_back(op);
  }
  g_current.reset();
  set_current(ptq7_spgrp_reverse_lookup(static_cast<int>(rots.size()), rots.data()));
  if (!g_current) {
    ptqerror(1, "Fatal error in PGDEFN");
    return;
  }
  point_group.assign(g_current->point_group);
  nsymp = g_current->nsymop_prim;
}

void pgnlau_(std::string_view point_group, int32_t& laue_code, rt::TextRef laue_name) {
  const std::string pg = trimmed(point_group);
  if (!g_current || !ptq7spg_pgname_equal(g_current->point_group, pg.c_str())) {
    std::printf("PGNLAU: No spacegroup or incorrect spacegroup loaded! \n");
    return;
  }
  laue_code = g_current->laue_code;
  laue_name.assign(g_current->laue_name);
}

void pgmdf_(int32_t& jlass, int32_t& jcentr, int32_t* jscrew) {
  if (jlass != 0) {
    g_pgmdf[0] = jlass;
    g_pgmdf[1] = jcentr;
    for (int i = 0; i < 3; ++i) g_pgmdf[2 + i] = jscrew[i];
    return;
  }
  jlass = g_pgmdf[0];
  jcentr = g_pgmdf[1];
  for (int i = 0; i < 3; ++i) jscrew[i] = g_pgmdf[2 + i];
}

void patsgp_(std::string_view name, std::string_view point_group, rt::TextRef patterson_name,
             int32_t& patterson_number) {
  const std::string nm = trimmed(name);
  const std::string pg = trimmed(point_group);
  if (g_current && ptq7spg_name_equal_to_lib(g_current->symbol_xhm, nm.c_str()) &&
      ptq7spg_pgname_equal(g_current->point_group, pg.c_str())) {
    patterson_name.assign(g_current->patterson_name);
    patterson_number = g_current->patterson_number;
    return;
  }
  SpacegroupPtr sg = ptq7spg_load_by_ptq7_spgname(nm.c_str());
  if (!sg) {
    std::printf("PATSGP: failed to load spacegroup info from SYMINFO! \n");
    return;
  }
  patterson_name.assign(sg->patterson_name);
  patterson_number = sg->patterson_number;
}

// ---- Operators as text ---------------------------------------------------------

namespace {

// The code base's operator arrays hold 192 operators.
constexpr int kRsmCapacity = 192;

// Reads the operators; the number stored, or -1 on error.
int read_operators(std::string_view text, int32_t first_col, int32_t& ns, float* rsm) {
  const int start = ns > 1 ? ns : 1;
  const int from = first_col > 1 ? first_col - 1 : 0;
  const std::string part =
      from < static_cast<int>(text.size()) ? trimmed(text.substr(from)) : std::string();
  const int room = kRsmCapacity - (start - 1);
  std::vector<float> mats(16 * static_cast<size_t>(room > 0 ? room : 0));
  const int n = symfr_driver(part.c_str(), mats.data(), room > 0 ? room : 0);
  if (n < 0) return -1;
  for (int m = 0; m < n; ++m) {
    Symop op;
    mat4_to_rotandtrn(op, mats.data() + 16 * m);
    symop_to_rsm(rsm, start - 1 + m, op);
  }
  ns = start - 1 + n;
  return n;
}

}  // namespace

void symfr2_(std::string_view text, int32_t first_col, int32_t& ns, float* rsm) {
  if (read_operators(text, first_col, ns, rsm) < 0) ptqerror(1, " **SYMMETRY OPERATOR ERROR**");
}

void symfr3_(std::string_view text, int32_t first_col, int32_t& ns, float* rsm, int32_t& eflag) {
  eflag = read_operators(text, first_col, ns, rsm) < 0 ? 1 : 0;
}

void symtr4_(int32_t nsym, const float* rsm, rt::TextRef texts) {
  for (int n = 0; n < nsym; ++n) {
    Symop op;
    symop_from_rsm(op, rsm, n);
    char buf[79];
    if (!rotandtrn_to_symop(buf, buf + sizeof buf, op)) std::memset(buf, ' ', sizeof buf);
    rt::TextRef(texts.p + static_cast<ptrdiff_t>(n) * texts.n, texts.n)
        .assign(std::string_view(buf, sizeof buf));
  }
}

void symtr3_(int32_t nsym, const float* rsm, rt::TextRef texts, int32_t iprint) {
  symtr4_(nsym, rsm, texts);
  if (iprint == 0) return;
  for (int n = 0; n < nsym; ++n) {
    const std::string t =
        trimmed(std::string_view(texts.p + static_cast<ptrdiff_t>(n) * texts.n, texts.n));
    std::printf("Symmetry %d %s \n", n + 1, t.c_str());
  }
}

void invsym_(const float* s, float* a) {
  // The column layout is the transpose of the row-major one, and the inverse
  // of a transpose is the transpose of the inverse: the same call serves.
  float m[4][4], mi[4][4];
  std::memcpy(m, s, sizeof m);
  if (invert4matrix(m, mi) != 0.0f) std::memcpy(a, mi, sizeof mi);
}

void prtrsm_() { ptq7spg_print_recip_ops(g_current.get()); }

void calc_orig_ps_(std::string_view name, int32_t nsym, const float* rsm, int32_t& norigin,
                   float* origins, int32_t& polar_x, int32_t& polar_y, int32_t& polar_z) {
  const std::string nm = trimmed(name);
  float found[216][3];
  int px = 0, py = 0, pz = 0;
  norigin = ptq7spg_generate_origins(nm.c_str(), nsym, rsm, found, px, py, pz, 1);
  for (int o = 0; o < norigin; ++o)
    for (int i = 0; i < 3; ++i) origins[3 * o + i] = found[o][i];
  polar_x = px;
  polar_y = py;
  polar_z = pz;
}

bool handchange_(int32_t number, float& x, float& y, float& z) {
  switch (number) {
    case 80: x = 0.0f; y = 0.5f; z = 0.0f; return true;
    case 98: x = 0.0f; y = 0.5f; z = 0.25f; return true;
    case 210: x = 0.75f; y = 0.25f; z = 0.75f; return true;
    case 214: x = 0.25f; y = 0.25f; z = 0.25f; return true;
    default: return false;
  }
}

// ---- Resolution ----------------------------------------------------------------

void setrsl_(float a, float b, float c, float alpha, float beta, float gamma) {
  const float cell[6] = {a, b, c, alpha, beta, gamma};
  suite::hkl_coeffs(cell, g_coefhkl);
}

float sthlsq_(int32_t h, int32_t k, int32_t l) {
  const int32_t hkl[3] = {h, k, l};
  return 0.25f * suite::ind_to_reso(hkl, g_coefhkl);
}

float sts3r4_(int32_t h, int32_t k, int32_t l) { return sthlsq_(h, k, l); }

// ---- Grids, limits and index ranges --------------------------------------------

void fndsmp_(int32_t minsmp, int32_t nmul, float sample, int32_t& n) {
  n = get_grid_sample(minsmp, nmul, sample);
}

void setgrd_(int32_t laue_code, float sample, int32_t nxmin, int32_t nymin, int32_t nzmin,
             int32_t& nx, int32_t& ny, int32_t& nz) {
  if (!g_current) {
    std::printf("SETGRD: No spacegroup loaded yet! \n");
    return;
  }
  Spacegroup& sg = *g_current;
  const int own = sg.laue_code;
  if (laue_code != own) {
    std::printf("SETGRD: supplied PTQ7 Laue code is different from that currently stored\n");
    std::printf("NLAUE (supplied) = %d\n", laue_code);
    std::printf("NLAUE (library)  = %d\n", own);
    std::printf("(For program FFT and certain spacegroups, this is OK.)\n");
    if (ptq7spg_load_laue(&sg, laue_code) != 0) {
      std::printf("SETGRD: unrecognised PTQ7 Laue code, couldn't set FFT grid\n");
      return;
    }
  }
  int x = nx, y = ny, z = nz;
  set_fft_grid(&sg, nxmin, nymin, nzmin, sample, x, y, z);
  nx = x;
  ny = y;
  nz = z;
  if (laue_code != own) ptq7spg_load_laue(&sg, own);
}

namespace {

void set_limits(int32_t number, float* xyzlim, bool zero, const char* message) {
  SpacegroupPtr loaded;
  const Spacegroup* sg = g_current.get();
  if (!sg || sg->ptq7_number != number) {
    loaded = ptq7spg_load_by_ptq7_num(number);
    if (!loaded) {
      std::printf("%s\n", message);
      return;
    }
    sg = loaded.get();
  }
  const float* upper = zero ? sg->mapasu_zero : sg->mapasu_ptq7;
  for (int i = 0; i < 3; ++i) {
    xyzlim[2 * i] = 0.0f;
    xyzlim[2 * i + 1] = upper[i];
  }
}

}  // namespace

void setlim_(int32_t number, float* xyzlim) {
  set_limits(number, xyzlim, false, "SETLIM: failed to load spacegroup info from SYMINFO! ");
}

void setlim_zero_(int32_t number, float* xyzlim) {
  set_limits(number, xyzlim, true, "SETLIM_ZERO: failed to load spacegroup info from SYMINFO! ");
}

void hklrange_(int32_t& h_low, int32_t& h_high, int32_t& k_low, int32_t& k_high, int32_t& l_low,
               int32_t& l_high) {
  if (!g_current) {
    std::printf("HKLRANGE: No spacegroup loaded yet! \n");
    return;
  }
  h_low = -h_high;
  k_low = -k_high;
  l_low = -l_high;
  int m = h_high;
  if (k_high > m) m = k_high;
  if (l_high > m) m = l_high;
  const int probe[4] = {-(m + 1), -1, 1, m + 1};
  int32_t* limit[6] = {&h_low, &h_high, &k_low, &k_high, &l_low, &l_high};
  for (int t = 0; t < 6; ++t) {
    const int axis = t / 2;
    bool keep = false;
    for (int a : probe) {
      for (int b : probe) {
        int hkl[3];
        hkl[axis] = *limit[t];
        hkl[(axis + 1) % 3] = a;
        hkl[(axis + 2) % 3] = b;
        if (ptq7spg_is_in_asu(g_current.get(), hkl[0], hkl[1], hkl[2])) keep = true;
      }
    }
    if (!keep) *limit[t] = 0;
  }
}

// ---- Channels ------------------------------------------------------------------

namespace {

// The channel's record, or null after printing why there is none.
Spacegroup* channel(int32_t sindx, const char* word, bool need_record = true) {
  if (sindx < 1 || sindx > 4) {
    std::printf("Error in %s: sindx %d out of range!\n", word, sindx);
    return nullptr;
  }
  Spacegroup* sg = g_channel[sindx - 1].get();
  if (!sg && need_record) std::printf("%s: No spacegroup loaded on channel %d ! \n", word, sindx);
  return sg;
}

bool valid_channel(int32_t sindx, const char* word) {
  if (sindx >= 1 && sindx <= 4) return true;
  std::printf("Error in %s: sindx %d out of range!\n", word, sindx);
  return false;
}

}  // namespace

void ptq7spg_f_load_by_name_(int32_t sindx, std::string_view name) {
  if (!valid_channel(sindx, "PTQ7SPG_F_LOAD_BY_NAME")) return;
  g_channel[sindx - 1].reset();
  const std::string nm = trimmed(name);
  if (nm.empty()) return;
  g_channel[sindx - 1] = ptq7spg_load_by_ptq7_spgname(nm.c_str());
}

void ptq7spg_f_load_by_ops_(int32_t sindx, int32_t nops, const float* rsm) {
  if (!valid_channel(sindx, "PTQ7SPG_F_LOAD_BY_OPS")) return;
  g_channel[sindx - 1].reset();
  const std::vector<Symop> ops = ops_from_rsm(nops, rsm);
  g_channel[sindx - 1] = ptq7_spgrp_reverse_lookup(nops, ops.data());
  if (g_channel[sindx - 1]) {
    ptq7spg_print_recip_spgrp(g_channel[sindx - 1].get());
    return;
  }
  std::printf("PTQ7SPG_F_LOAD_BY_OPS: no spacegroup info! \n");
  ptqerror(1, "Fatal error in PTQ7SPG_F_LOAD_BY_OPS.");
}

void ptq7spg_f_asuput_(int32_t sindx, const int32_t* ihkl, int32_t* jhkl, int32_t& isym) {
  const Spacegroup* sg = channel(sindx, "PTQ7SPG_F_ASUPUT");
  if (!sg) return;
  int h = jhkl[0], k = jhkl[1], l = jhkl[2];
  isym = ptq7spg_put_in_asu(sg, ihkl[0], ihkl[1], ihkl[2], h, k, l);
  jhkl[0] = h;
  jhkl[1] = k;
  jhkl[2] = l;
}

int32_t ptq7spg_f_inasu_(int32_t sindx, const int32_t* ihkl) {
  const Spacegroup* sg = channel(sindx, "PTQ7SPG_F_INASU");
  if (!sg) return 999;
  return ptq7spg_is_in_pm_asu(sg, ihkl[0], ihkl[1], ihkl[2]);
}

void ptq7spg_f_is_sysabs_(int32_t sindx, const int32_t* ihkl, int32_t& is_absent) {
  const Spacegroup* sg = channel(sindx, "PTQ7SPG_F_IS_SYSABS");
  if (!sg) return;
  is_absent = ptq7spg_is_sysabs(sg, ihkl[0], ihkl[1], ihkl[2]);
}

void ptq7spg_f_is_centric_(int32_t sindx, const int32_t* ihkl, int32_t& is_centric) {
  const Spacegroup* sg = channel(sindx, "PTQ7SPG_F_IS_CENTRIC");
  if (!sg) return;
  is_centric = ptq7spg_is_centric(sg, ihkl[0], ihkl[1], ihkl[2]);
  if (is_centric == -1) ptqerror(1, "Fatal error in PTQ7SPG_F_IS_CENTRIC.");
}

void ptq7spg_f_centphase_(int32_t sindx, const int32_t* ihkl, float& phase) {
  const Spacegroup* sg = channel(sindx, "PTQ7SPG_F_IS_CENTPHASE");
  if (!sg) return;
  if (ptq7spg_is_centric(sg, ihkl[0], ihkl[1], ihkl[2]) == 1)
    phase = ptq7spg_centric_phase(sg, ihkl[0], ihkl[1], ihkl[2]);
  else
    std::printf("PTQ7SPG_F_CENTPHASE: This is not a centric reflection!\n");
}

void ptq7spg_f_epslon_(int32_t sindx, const int32_t* ihkl, float& epsilon, int32_t& is_absent) {
  const Spacegroup* sg = channel(sindx, "PTQ7SPG_F_EPSLON");
  if (!sg) return;
  epsilon = static_cast<float>(ptq7spg_get_multiplicity(sg, ihkl[0], ihkl[1], ihkl[2]));
  is_absent = ptq7spg_is_sysabs(sg, ihkl[0], ihkl[1], ihkl[2]);
}

void ptq7spg_f_get_laue_(int32_t sindx, int32_t& laue_code, rt::TextRef laue_name) {
  const Spacegroup* sg = channel(sindx, "PTQ7SPG_F_GET_LAUE");
  if (!sg) return;
  laue_code = sg->laue_code;
  laue_name.assign(sg->laue_name);
}
