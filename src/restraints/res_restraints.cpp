// Residue restraints.
#include "restraints/res_restraints.h"

#include <cmath>

#include "dictionary/l1_kernels.h"
#include "dictionary/lib_com.h"
#include "dictionary/link_lookup.h"
#include "foundation/atom_com.h"
#include "foundation/words.h"
#include "restraints/atom_lookup.h"
#include "restraints/energy_terms.h"
#include "restraints/res_calc.h"
#include "restraints/residue_links.h"
#include "restraints/rst_records.h"

namespace {

using Name = rt::FixedText<4>;
using Code = rt::FixedText<2>;
using restraints::AltCodes;
using restraints::AltPlaces;

constexpr float kMinOcc = 0.001f;
constexpr float kSpecial = 0.0001f;
constexpr float kChiralSd = 0.02f;

bool no_alt(const rt::FixedText<1>& a) { return a == "." || a.is_blank(); }

// The found positions of the m atoms of one library entry.
struct Entry {
  int m = 0;
  int32_t n[4] = {0, 0, 0, 0};
  AltCodes corr[4];
  AltPlaces place[4];
};

// Looks the names up in order; false at the first name with no position.
bool find_atoms(int32_t mdoc, const Name* const* names, int m, Entry& e, int32_t& ierr) {
  e.m = m;
  for (int k = 0; k < m; ++k) {
    srch_num_(mdoc, *names[k], e.n[k], e.corr[k], e.place[k], ierr);
    if (e.n[k] == 0) return false;
  }
  return true;
}

// One chosen combination: the tree places, the atoms and their codes.
struct Pick {
  int32_t p[4] = {0, 0, 0, 0};
  int32_t a[4] = {0, 0, 0, 0};
  Code code[4];
};

// Calls f for every combination of positions whose codes are compatible,
// the first atom's positions outermost.
template <typename F>
void combinations(const Entry& e, F f) {
  const r_scratch_t& r = r_scratch;
  restraints::each_compatible(
      e.m, e.n, [&](int k, int32_t i) { return e.corr[k](i); },
      [&](const int32_t* idx) {
        Pick pk;
        for (int k = 0; k < e.m; ++k) {
          pk.p[k] = e.place[k](idx[k]);
          pk.a[k] = r.s1_inew(pk.p[k]);
          pk.code[k] = e.corr[k](idx[k]);
        }
        f(pk);
      });
}

// A record may stand only on atoms with coordinates and enough occupancy.
bool writable(const Pick& pk, int m) {
  const r_scratch_t& r = r_scratch;
  for (int k = 0; k < m; ++k)
    if (r.c1_atype(pk.a[k]) == "M" || !(r.c1_occ(pk.a[k]) > kMinOcc)) return false;
  return true;
}

struct Record {
  const char* name;
  rt::FixedText<8> label;
  float vidl = 0, sd = 0, vobs = 0, dist = 0, desd = 0, econst = 0;
  int32_t period = 0;
};

void write(int32_t mdoc, Record rec, const Pick& pk, int m, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  int32_t ia[4] = {0, 0, 0, 0};
  Name name[4];
  rt::FixedText<1> alt[4];
  for (int k = 0; k < 4; ++k) {
    name[k] = "";
    alt[k] = " ";
    if (k >= m) continue;
    ia[k] = r.c1_iglobal + pk.p[k];
    name[k] = r.c1_aname(pk.a[k]);
    alt[k] = r.c1_alt(pk.a[k]);
  }
  wrestr_(mdoc, rec.name, rec.label, ia[0], ia[1], ia[2], ia[3], rec.vidl, rec.sd, rec.vobs,
          rec.period, rec.dist, rec.desd, rec.econst, name[0], name[1], name[2], name[3], alt[0],
          alt[1], alt[2], alt[3], ierr);
}

// Library or special-link ideal value of a bond (three atoms: an angle).
void ideal_value(int32_t mdoc, int32_t ig, int32_t ir, bool special, const Pick& pk, int m,
                 float lib_val, float lib_dev, Record& rec) {
  rec.vidl = lib_val;
  rec.sd = lib_dev;
  if (!special) return;
  const r_scratch_t& r = r_scratch;
  float v = 0, dv = 0;
  int32_t iyes = 0, jerr = 0;
  const Name blank("");
  const rt::FixedText<1> none(" ");
  check_idl_spec_link_(mdoc, ig, ir, r.c1_aname(pk.a[0]), r.c1_alt(pk.a[0]), r.c1_aname(pk.a[1]),
                       r.c1_alt(pk.a[1]), m == 3 ? r.c1_aname(pk.a[2]) : blank,
                       m == 3 ? r.c1_alt(pk.a[2]) : none, v, dv, iyes, jerr);
  if (iyes < 1 || v <= kSpecial) return;
  rec.vidl = v;
  if (dv >= kSpecial) rec.sd = dv;
}

// True when a special link of the residue, inside the asymmetric unit, could
// give ideal values.  The link library's use marks of those links are set
// as the per-bond look-up would set them.
bool residue_has_special_link(int32_t ig, int32_t ir) {
  restraints::mark_special_links_used();
  const link_inf_t& l = link_inf;
  bool any = false;
  restraints::residue_links().either(ir, [&](int32_t i) {
    if (!(l.ln_used(i) == "S") || !link_in_unit(i)) return;
    if ((l.ln_1ires(i) == ir && l.ln_1ichn(i) == ig) ||
        (l.ln_2ires(i) == ir && l.ln_2ichn(i) == ig))
      any = true;
  });
  return any;
}

const Name& chem(int32_t a) { return r_scratch.s1_chem(a); }

void bonds(int32_t mdoc, int32_t ig, int32_t ir, bool special, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.l1b_nbond; ++i) {
    const Name* names[2] = {&r.l1b_1atm(i), &r.l1b_2atm(i)};
    Entry e;
    if (!find_atoms(mdoc, names, 2, e, ierr)) continue;
    combinations(e, [&](const Pick& pk) {
      if (!writable(pk, 2)) return;
      Record rec{"BOND", r.l1b_type(i)};
      ideal_value(mdoc, ig, ir, special, pk, 2, r.l1b_val(i), r.l1b_dev(i), rec);
      calc_idobs_(pk.p[0], pk.p[1], rec.vobs);
      rec.econst = restraints::bond_const(chem(pk.a[0]), chem(pk.a[1]));
      restraints::warn_far_bond(ir, r.c1_aname(pk.a[0]), r.c1_alt(pk.a[0]), ir, r.c1_aname(pk.a[1]),
                                r.c1_alt(pk.a[1]), rec.vidl, rec.vobs);
      write(mdoc, rec, pk, 2, ierr);
    });
  }
}

void angles(int32_t mdoc, int32_t ig, int32_t ir, bool special, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.l1g_nangl; ++i) {
    const Name* names[3] = {&r.l1g_1atm(i), &r.l1g_2atm(i), &r.l1g_3atm(i)};
    Entry e;
    if (!find_atoms(mdoc, names, 3, e, ierr)) continue;
    float dist = 0, desd = 0;
    calc_dist_angl_(r.l1g_val(i), r.l1g_dev(i), r.l1g_1atm(i), r.l1g_2atm(i), r.l1g_3atm(i), dist,
                    desd);
    combinations(e, [&](const Pick& pk) {
      if (!writable(pk, 3)) return;
      Record rec{"ANGL", rt::FixedText<8>("")};
      ideal_value(mdoc, ig, ir, special, pk, 3, r.l1g_val(i), r.l1g_dev(i), rec);
      calc_iangobs_(pk.p[0], pk.p[1], pk.p[2], rec.vobs);
      rec.dist = dist;
      rec.desd = desd;
      rec.econst = restraints::angle_const(chem(pk.a[0]), chem(pk.a[1]), chem(pk.a[2]));
      write(mdoc, rec, pk, 3, ierr);
    });
  }
}

void torsions(int32_t mdoc, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.l1t_ntors; ++i) {
    const Name* names[4] = {&r.l1t_1atm(i), &r.l1t_2atm(i), &r.l1t_3atm(i), &r.l1t_4atm(i)};
    Entry e;
    if (!find_atoms(mdoc, names, 4, e, ierr)) continue;
    float dist = 0, desd = 0;
    calc_dist_tors_(r.l1t_val(i), r.l1t_dev(i), r.l1t_1atm(i), r.l1t_2atm(i), r.l1t_3atm(i),
                    r.l1t_4atm(i), dist, desd);
    combinations(e, [&](const Pick& pk) {
      if (!writable(pk, 4)) return;
      Record rec{"TORS", r.l1t_label(i), r.l1t_val(i), r.l1t_dev(i)};
      calc_itrsobs_(pk.p[0], pk.p[1], pk.p[2], pk.p[3], rec.vobs);
      rec.period = r.l1t_prd(i);
      rec.dist = dist;
      rec.desd = desd;
      rec.econst = restraints::torsion_const(chem(pk.a[1]), chem(pk.a[2]));
      write(mdoc, rec, pk, 4, ierr);
    });
  }
}

bool not_a_centre(const rt::FixedText<8>& sign) {
  return sign.sub(1, 4) == "star" || sign.sub(1, 4) == "cros";
}

void chirals(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.l1c_nchir; ++i) {
    if (not_a_centre(r.l1c_sign(i))) continue;
    const Name* names[4] = {&r.l1c_1atm(i), &r.l1c_2atm(i), &r.l1c_3atm(i), &r.l1c_4atm(i)};
    Entry e;
    if (!find_atoms(mdoc, names, 4, e, ierr)) continue;
    float vol = 0, ph1, ph2, ph3;
    calc_ivol_(i, vol, ph1, ph2, ph3);
    r.l1c_vol(i) = vol;
    combinations(e, [&](const Pick& pk) {
      if (!writable(pk, 4)) return;
      Record rec{"CHIR", r.l1c_sign(i), r.l1c_vol(i), kChiralSd};
      calc_i_ovol_(pk.p[0], pk.p[1], pk.p[2], pk.p[3], rec.vobs, rec.econst);
      write(mdoc, rec, pk, 4, ierr);
    });
  }
}

// One member of a plane: its ideal deviation and its positions, each with
// a code (0 common; + a correction code; - an alternate code).
struct Slot {
  float dev = 0;
  int n = 0;
  int32_t code[MX1ALT];
  int32_t place[MX1ALT];
};

void write_plane(int32_t mdoc, const rt::FixedText<8>& label, const float* dev,
                 const int32_t* place, int np, int32_t& ierr) {
  if (np <= 3) return;
  float dobs[MAX1APL];
  int32_t nn = 0;
  calc_ipldev_(np, nn, place, dobs);
  if (nn > 3) wprstr_(mdoc, label, np, dev, dobs, place, ierr);
}

void one_plane(int32_t mdoc, int32_t ip, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  static Slot slots[MAX1APL];  // a plane's members: static, not on the stack each call
  int ns = 0;
  int32_t corr_codes[MX1ALT * MAX1APL], alt_codes[MX1ALT * MAX1APL];
  int ncorr = 0, nalt = 0;
  // The codes of copies that follow a member's common position are listed
  // after all others, so that the planes come in the order they did before
  // those copies took part.
  Code later[MX1ALT * MAX1APL];
  int nlater = 0;
  const int32_t natom = std::min(r.l1p_natom(ip), MAX1APL);
  for (int32_t k = 1; k <= natom; ++k) {
    int32_t n = 0;
    AltCodes corr;
    AltPlaces place;
    srch_num_(mdoc, r.l1p_atom(k, ip), n, corr, place, ierr);
    if (n == 0) continue;
    Slot& s = slots[ns++];
    s.dev = r.l1p_dev(k, ip);
    s.n = 0;
    bool common = false;
    for (int32_t j = 1; j <= n; ++j) {
      if (common && !(corr(j) == "..")) {
        s.code[s.n] = restraints::code_number(corr(j));
        later[nlater++] = corr(j);
      } else {
        s.code[s.n] = restraints::conformer_code(corr(j), corr_codes, ncorr, alt_codes, nalt);
      }
      common = common || corr(j) == "..";
      s.place[s.n++] = place(j);
    }
  }
  for (int k = 0; k < nlater; ++k)
    restraints::conformer_code(later[k], corr_codes, ncorr, alt_codes, nalt);
  if (ns < 4) return;
  float dev[MAX1APL];
  int32_t at[MAX1APL];
  if (ncorr == 0 && nalt == 0) {
    for (int k = 0; k < ns; ++k) dev[k] = slots[k].dev, at[k] = slots[k].place[0];
    write_plane(mdoc, r.l1p_label(ip), dev, at, ns, ierr);
    return;
  }
  // A member's own position in the conformer, else its common one: a
  // common position serves only the conformers the member has no copy of.
  auto plane_of = [&](int32_t code) {
    int np = 0;
    for (int k = 0; k < ns; ++k) {
      const Slot& s = slots[k];
      int take = -1;
      for (int j = 0; j < s.n && take < 0; ++j)
        if (s.code[j] == code) take = j;
      for (int j = 0; j < s.n && take < 0; ++j)
        if (s.code[j] == 0) take = j;
      if (take < 0) continue;
      dev[np] = s.dev;
      at[np++] = s.place[take];
    }
    write_plane(mdoc, r.l1p_label(ip), dev, at, np, ierr);
  };
  for (int k = 0; k < ncorr; ++k) plane_of(corr_codes[k]);
  for (int k = 0; k < nalt; ++k) plane_of(alt_codes[k]);
}

}  // namespace

void iplan_rstr_(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  for (int32_t ip = 1; ip <= r.l1p_nplan; ++ip) {
    if (r.l1p_natom(ip) < 1) {
      r.l1p_natom(ip) = 0;
      continue;
    }
    one_plane(mdoc, ip, ierr);
  }
}

void make_rest_(int32_t mdoc, int32_t ichain, int32_t ires, int32_t& ierr) {
  const bool special = residue_has_special_link(ichain, ires);
  bonds(mdoc, ichain, ires, special, ierr);
  angles(mdoc, ichain, ires, special, ierr);
  torsions(mdoc, ierr);
  chirals(mdoc, ierr);
  iplan_rstr_(mdoc, ierr);
}

void check_idl_spec_link_(int32_t mdoc, int32_t ig, int32_t ir, std::string_view atom1,
                          std::string_view alt1, std::string_view atom2, std::string_view alt2,
                          std::string_view atom3, std::string_view alt3, float& vidl, float& vdev,
                          int32_t& iyes, int32_t& ierr) {
  vidl = vdev = 0;
  iyes = 0;
  ierr = 0;
  const link_inf_t& l = link_inf;
  const r_scratch_t& r = r_scratch;
  const rt::FixedText<1> a1(alt1), a2(alt2), a3(alt3);
  // Only the rows of residue ir can give its values; the look-up marks of
  // every other special row were set by the residue's test for special
  // links, which comes first.
  bool found = false;
  restraints::residue_links().either(ir, [&](int32_t i) {
    if (found || !(l.ln_used(i) == "S") || !link_in_unit(i)) return;
    int32_t il = 0;
    look_link_list_(l.ln_id(i), il);
    if (il == 0) return;
    const rt::FixedText<8>* mod;
    rt::FixedText<1> alt;
    if (ir == l.ln_1ires(i) && ig == l.ln_1ichn(i) && !no_alt(l.ln_alt1(i))) {
      mod = &r.lll_mod1(il);
      alt = l.ln_alt1(i);
    } else if (ir == l.ln_2ires(i) && ig == l.ln_2ichn(i) && !no_alt(l.ln_alt2(i))) {
      mod = &r.lll_mod2(il);
      alt = l.ln_alt2(i);
    } else {
      return;
    }
    if (!(alt == a1 || alt == a2 || alt == a3)) return;
    use_idl_spec_link_(mdoc, *mod, atom1, atom2, atom3, vidl, vdev, iyes, ierr);
    found = iyes > 0;
  });
}

void use_idl_spec_link_(int32_t, std::string_view mod, std::string_view atom1,
                        std::string_view atom2, std::string_view atom3, float& vidl, float& vdev,
                        int32_t& iyes, int32_t& ierr) {
  iyes = 0;
  ierr = 0;
  const rt::FixedText<8> m(mod);
  if (m(1) == '.' || m(1) == ' ') return;
  r_scratch_t& r = r_scratch;
  int32_t im = 0;
  for (int32_t k = 1; k <= r.ldl_nmod && im == 0; ++k)
    if (r.ldl_mname(k) == m) im = k;
  if (im == 0) return;
  r.ldl_imod = im;
  const Name x(atom1), y(atom2), z(atom3);
  auto counts = [](const rt::FixedText<8>& f) { return f == "change" || f.sub(1, 3) == "add"; };
  if (z(1) == '.' || z(1) == ' ') {
    const int32_t from = r.ldl_ibond(im);
    if (from <= 0 || from > r.ldb_nbond) return;
    for (int32_t i = from; i <= r.ldb_nbond; ++i) {
      if (!(r.ldb_mname(i) == m) || !counts(r.ldb_funct(i))) continue;
      const bool same =
          (r.ldb_1atm(i) == x && r.ldb_2atm(i) == y) || (r.ldb_1atm(i) == y && r.ldb_2atm(i) == x);
      if (!same || !(std::fabs(r.ldb_val(i)) > 0.0001f)) continue;
      vidl = r.ldb_val(i);
      vdev = r.ldb_dev(i);
      iyes = 1;
    }
    return;
  }
  const int32_t from = r.ldl_ithet(im);
  if (from <= 0 || from > r.ldg_nangl) return;
  for (int32_t i = from; i <= r.ldg_nangl; ++i) {
    if (!(r.ldg_mname(i) == m) || !counts(r.ldg_funct(i)) || !(r.ldg_2atm(i) == y)) continue;
    const bool same =
        (r.ldg_1atm(i) == x && r.ldg_3atm(i) == z) || (r.ldg_1atm(i) == z && r.ldg_3atm(i) == x);
    if (!same || !(std::fabs(r.ldg_val(i)) > 0.00001f)) continue;
    vidl = r.ldg_val(i);
    vdev = r.ldg_dev(i);
    iyes = 1;
  }
}
