// Link restraints.
#include "restraints/link_restraints.h"

#include <algorithm>

#include "connect/element_classes.h"
#include "connect/new_links.h"
#include "dictionary/lib_com.h"
#include "dictionary/link_lookup.h"
#include "foundation/atom_com.h"
#include "foundation/kernels.h"
#include "foundation/messages.h"
#include "foundation/words.h"
#include "restraints/atom_lookup.h"
#include "restraints/energy_terms.h"
#include "restraints/link_atoms.h"
#include "restraints/link_calc.h"
#include "restraints/residue_links.h"
#include "restraints/rst_file.h"
#include "restraints/rst_records.h"
#include "runtime/format.h"

namespace {

using Name = rt::FixedText<4>;
using restraints::LinkState;

constexpr float kChiralSd = 0.02f;

// The found positions of one restraint atom and what the calculators need.
struct LinkAtom {
  int32_t n = 0;
  restraints::AltCodes corr;
  restraints::AltPlaces iname;
  restraints::AltNumbers iat;
  restraints::AltPoints x;
  int32_t ifl = 0;     // work residue holding it: 1 C1, 2 C2
  int32_t offset = 0;  // serial base of that residue
  int side = 0;        // link side: 1 first residue, 2 second
};

struct Atoms4 {
  int m = 0;
  LinkAtom a[4];
  int32_t ifl[4] = {0, 0, 0, 0};
  rt::FixedText<8> mon[4];
  Name latom[4];
  Name lchem[4];
  Name lsymb[4];  // element symbols
};

char alt_or_none(const rt::FixedText<1>& a) { return (a(1) == ' ' || a(1) == '\0') ? '.' : a(1); }

// Looks one atom up on its side; false when it has no position.
bool find_link_atom(int32_t mdoc, const LinkState& st, const Name& name, int32_t flag, int32_t lid,
                    LinkAtom& a, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  a.side = flag == 1 ? 1 : 2;
  char alt = '.';
  int32_t nout = 0;
  std::string_view alt_out;
  if (a.side == 1) {
    if (name == st.atoms1) alt = st.alts1;
    if (name == st.latom1) nout = st.out.n, alt_out = st.out.alt1;
    srch_num2_(mdoc, name, alt, a.n, a.corr, a.iname, a.iat, a.x, nout, alt_out, lid, ierr);
    a.ifl = 2;
    a.offset = r.c2_iglobal;
  } else {
    if (name == st.atoms2) alt = st.alts2;
    if (name == st.latom2) nout = st.out.n, alt_out = st.out.alt2;
    srch_num1_(mdoc, name, alt, a.n, a.corr, a.iname, a.iat, a.x, nout, alt_out, lid, ierr);
    a.ifl = 1;
    a.offset = r.c1_iglobal;
  }
  return a.n > 0;
}

bool find_all(int32_t mdoc, const LinkState& st, const Name* const* names, const int32_t* flags,
              int m, int32_t lid, Atoms4& at, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  at.m = m;
  for (int k = 0; k < m; ++k) {
    LinkAtom& a = at.a[k];
    if (!find_link_atom(mdoc, st, *names[k], flags[k], lid, a, ierr)) return false;
    at.ifl[k] = a.ifl;
    // The monomer's ideal geometry is the library's under the name the run
    // gave the residue, not the name the file gave it.
    at.mon[k] = a.ifl == 2 ? restraints::library_name(r.c2_ich, r.c2_ires, r.c2_rname)
                           : restraints::library_name(r.c1_ich, r.c1_ires, r.c1_rname);
    const int32_t atom = a.ifl == 2 ? r.s2_inew(a.iname(1)) : r.s1_inew(a.iname(1));
    // The residue's own name of the atom, which may be spelt otherwise than
    // the library's link names it ("O3'" for "O3*").
    at.latom[k] = atom > 0 ? (a.ifl == 2 ? r.c2_aname(atom) : r.c1_aname(atom)) : *names[k];
    at.lchem[k] = atom > 0 ? (a.ifl == 2 ? r.s2_chem(atom) : r.s1_chem(atom)) : Name("");
    at.lsymb[k] = atom > 0 ? (a.ifl == 2 ? r.c2_asymb(atom) : r.c1_asymb(atom)) : Name("");
  }
  return true;
}

// One chosen combination of positions.
struct Choice {
  int32_t idx[4] = {1, 1, 1, 1};
  const float* x[4] = {nullptr, nullptr, nullptr, nullptr};
  int32_t serial[4] = {0, 0, 0, 0};
  rt::FixedText<1> alt[4];
};

// Calls f for every combination whose positions may coexist and all have
// coordinates.
template <typename F>
void combinations(const Atoms4& at, const LinkState& st, bool special_bond, int32_t lid, F f) {
  int32_t n[4] = {0, 0, 0, 0};
  for (int k = 0; k < at.m; ++k) n[k] = at.a[k].n;
  restraints::each_combination(at.m, n, [&](const int32_t* idx) {
    rt::FixedText<2> codes[4];
    Choice c;
    bool present = true;
    for (int k = 0; k < at.m; ++k) {
      const LinkAtom& a = at.a[k];
      codes[k] = a.corr(idx[k]);
      c.idx[k] = idx[k];
      c.alt[k] = std::string_view(&codes[k].c[1], 1);
      if (a.iat(idx[k]) <= 0) present = false;
      c.x[k] = &a.x(1, idx[k]);
      c.serial[k] = lid > 0 ? a.iat(idx[k]) : a.iname(idx[k]) + a.offset;
    }
    char ok = 'N';
    chk_alt_(at.m, codes, ok);
    if (ok == 'Y') {
      const auto code = [&](int k, int32_t i) { return at.a[k].corr(i); };
      if (!restraints::common_positions_fit(at.m, n, idx, codes, code)) ok = 'N';
    } else if (special_bond) {
      // The special row names one pair of positions that the codes alone
      // would keep apart.
      const char p1 = at.a[0].side == 1 ? codes[0](2) : codes[1](2);
      const char p2 = at.a[0].side == 1 ? codes[1](2) : codes[0](2);
      if (p1 == st.alts1 && p2 == st.alts2) ok = 'Y';
    }
    if (ok == 'Y' && present) f(c);
  });
}

void write(int32_t mdoc, const char* kind, rt::FixedText<8> label, const Atoms4& at,
           const Choice& c, float vidl, float sd, float vobs, int32_t period, float dist,
           float desd, float econst, int32_t& ierr) {
  int32_t ia[4] = {0, 0, 0, 0};
  Name names[4];
  rt::FixedText<1> alt[4];
  for (int k = 0; k < 4; ++k) {
    names[k] = "";
    alt[k] = " ";
    if (k >= at.m) continue;
    ia[k] = c.serial[k];
    names[k] = at.latom[k];
    alt[k] = c.alt[k];
  }
  wrestr_(mdoc, kind, label, ia[0], ia[1], ia[2], ia[3], vidl, sd, vobs, period, dist, desd, econst,
          names[0], names[1], names[2], names[3], alt[0], alt[1], alt[2], alt[3], ierr);
}

void trace(char list, int32_t mdoc, std::string_view text) {
  if (list == 'T') msgdoc_(mdoc, text);
}

// The model residue of a link atom: the one in C1, or the link's other one.
int32_t residue_of(const LinkAtom& a, int32_t ires1, int32_t ires2) {
  const r_scratch_t& r = r_scratch;
  if (a.ifl == 1) return r.c1_ires;
  return r.c1_ires == ires1 ? ires2 : ires1;
}

// The alternates of the other special rows between the same two atoms.
void collect_alternates(int32_t lid, int32_t ig1, int32_t ires1, int32_t ig2, int32_t ires2,
                        LinkState& st) {
  const link_inf_t& l = link_inf;
  const auto take = [&](int32_t k) {
    if (st.out.n >= 10 || l.ln_1ichn(k) != ig1 || l.ln_2ichn(k) != ig2 || !(l.ln_used(k) == "S") ||
        k == lid)
      return;
    const bool pair = (l.ln_1ires(k) == ires1 && l.ln_2ires(k) == ires2) ||
                      (l.ln_1ires(k) == ires2 && l.ln_2ires(k) == ires1);
    if (!pair || !(l.ln_atom1(k) == st.latom1) || !(l.ln_atom2(k) == st.latom2)) return;
    ++st.out.n;
    st.out.alt1(st.out.n) = l.ln_alt1(k)(1);
    st.out.alt2(st.out.n) = l.ln_alt2(k)(1);
  };
  // Every row of the pair touches residue ires1; one outside the residue
  // table has no rows by residue, and the table is searched whole.
  if (ires1 >= 1 && ires1 <= MAXRESID) {
    restraints::residue_links().either(ires1, take);
  } else {
    for (int32_t k = 1; k <= l.ln_n; ++k) take(k);
  }
}

// The length a bond of a description made for the model takes in link row
// `row`: a bond to a metal that the energy library gives no length for has
// the row's own, the file's length or else the model's distance d; any
// other bond the description's `val`.
float own_length(int32_t row, const Atoms4& at, float d, float val) {
  if (row < 1 || !connect::unmeasured_metal_bond(at.lsymb[0].view(), at.lsymb[1].view()))
    return val;
  return link_inf.ln_dist(row) >= 0.001f ? link_inf.ln_dist(row) : d;
}

// Bonds; false when the link has no bond row.
bool bonds(int32_t mdoc, char list, int32_t l, std::string_view link, int32_t lid, bool special,
           int32_t ig1, int32_t ires1, int32_t ig2, int32_t ires2, LinkState& st, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  trace(list, mdoc, " --dl bond");
  const int32_t from = r.lll_ibond(l);
  bool first = true;
  for (int32_t i = std::max(from, 1); from > 0 && i <= r.llb_nbond; ++i) {
    if (!(r.llb_lname(i) == link)) continue;
    if (first) {
      first = false;
      if (lid <= 0) {
        const bool forward = r.llb_f1atm(i) == 1;
        st.latom1 = forward ? r.llb_1atm(i) : r.llb_2atm(i);
        st.latom2 = forward ? r.llb_2atm(i) : r.llb_1atm(i);
      }
      collect_alternates(lid, ig1, ires1, ig2, ires2, st);
    }
    const Name* names[2] = {&r.llb_1atm(i), &r.llb_2atm(i)};
    const int32_t flags[2] = {r.llb_f1atm(i), r.llb_f2atm(i)};
    Atoms4 at;
    if (!find_all(mdoc, st, names, flags, 2, lid, at, ierr)) continue;
    const bool special_bond = special && st.alts1 != st.alts2 && st.alts1 != '.' && st.alts2 != '.';
    const float econst = restraints::bond_const(at.lchem[0], at.lchem[1]);
    const bool made = connect::made_for_model(l, i);
    combinations(at, st, special_bond, lid, [&](const Choice& c) {
      float d = 0;
      calc_idobs_l_(0, 0, c.x[0], c.x[1], d);
      const float ideal = made ? own_length(st.row, at, d, r.llb_val(i)) : r.llb_val(i);
      restraints::warn_far_bond(residue_of(at.a[0], ires1, ires2), at.latom[0], c.alt[0],
                                residue_of(at.a[1], ires1, ires2), at.latom[1], c.alt[1], ideal, d);
      write(mdoc, "BOND", r.llb_type(i), at, c, ideal, r.llb_dev(i), d, 0, 0, 0, econst, ierr);
    });
  }
  return !first;
}

void angles(int32_t mdoc, char list, int32_t l, std::string_view link, int32_t lid,
            const LinkState& st, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  trace(list, mdoc, " --dl angl");
  const int32_t from = r.lll_ithet(l);
  for (int32_t i = std::max(from, 1); from > 0 && i <= r.llg_nangl; ++i) {
    if (!(r.llg_lname(i) == link)) continue;
    const Name* names[3] = {&r.llg_1atm(i), &r.llg_2atm(i), &r.llg_3atm(i)};
    const int32_t flags[3] = {r.llg_f1atm(i), r.llg_f2atm(i), r.llg_f3atm(i)};
    Atoms4 at;
    if (!find_all(mdoc, st, names, flags, 3, lid, at, ierr)) continue;
    float dist = 0, desd = 0;
    calc_distl_angl_(r.llg_val(i), r.llg_dev(i), r.lll_ibond(l), at.ifl, at.mon, at.latom, link,
                     dist, desd);
    const float econst = restraints::angle_const(at.lchem[0], at.lchem[1], at.lchem[2]);
    combinations(at, st, false, lid, [&](const Choice& c) {
      float a = 0;
      calc_iangobs_l_(1, 2, 3, c.x[0], c.x[1], c.x[2], a);
      write(mdoc, "ANGL", rt::FixedText<8>(""), at, c, r.llg_val(i), r.llg_dev(i), a, 0, dist, desd,
            econst, ierr);
    });
  }
}

void torsions(int32_t mdoc, char list, int32_t l, std::string_view link, int32_t lid,
              const LinkState& st, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  trace(list, mdoc, " --dl tors");
  const int32_t from = r.lll_itors(l);
  for (int32_t i = std::max(from, 1); from > 0 && i <= r.llt_ntors; ++i) {
    if (!(r.llt_lname(i) == link)) continue;
    const Name* names[4] = {&r.llt_1atm(i), &r.llt_2atm(i), &r.llt_3atm(i), &r.llt_4atm(i)};
    const int32_t flags[4] = {r.llt_f1atm(i), r.llt_f2atm(i), r.llt_f3atm(i), r.llt_f4atm(i)};
    Atoms4 at;
    if (!find_all(mdoc, st, names, flags, 4, lid, at, ierr)) continue;
    float dist = 0, desd = 0;
    calc_distl_tors_(r.llt_val(i), r.llt_dev(i), r.lll_ibond(l), r.lll_ithet(l), at.ifl, at.mon,
                     at.latom, link, dist, desd);
    const float econst = restraints::torsion_const(at.lchem[1], at.lchem[2]);
    combinations(at, st, false, lid, [&](const Choice& c) {
      float t = 0;
      calc_itrsobs_l_(1, 2, 3, 4, c.x[0], c.x[1], c.x[2], c.x[3], t);
      write(mdoc, "TORS", r.llt_label(i), at, c, r.llt_val(i), r.llt_dev(i), t, r.llt_prd(i), dist,
            desd, econst, ierr);
    });
  }
}

void chirals(int32_t mdoc, char list, int32_t l, std::string_view link, int32_t lid,
             const LinkState& st, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  trace(list, mdoc, " --dl chir");
  const int32_t from = r.lll_ichir(l);
  for (int32_t i = std::max(from, 1); from > 0 && i <= r.llc_nchir; ++i) {
    if (!(r.llc_lname(i) == link)) continue;
    const Name* names[4] = {&r.llc_1atm(i), &r.llc_2atm(i), &r.llc_3atm(i), &r.llc_4atm(i)};
    const int32_t flags[4] = {r.llc_f1atm(i), r.llc_f2atm(i), r.llc_f3atm(i), r.llc_f4atm(i)};
    Atoms4 at;
    if (!find_all(mdoc, st, names, flags, 4, lid, at, ierr)) continue;
    float vol = 0, ph1, ph2, ph3;
    calc_iivol_l_(at.ifl, at.mon, at.latom, at.lchem, link, vol, ph1, ph2, ph3);
    combinations(at, st, false, lid, [&](const Choice& c) {
      float vobs = 0, ph = 0;
      calc_i_ovol_l_(0, 0, 0, 0, c.x[0], c.x[1], c.x[2], c.x[3], vobs, ph);
      write(mdoc, "CHIR", r.llc_sign(i), at, c, vol, kChiralSd, vobs, 0, 0, 0, ph, ierr);
    });
  }
}

// One member of a link plane: its positions with their codes (0 common,
// + a correction code, - an alternate code).
struct PlaneAtom {
  float dev = 0;
  int n = 0;
  int32_t code[MX1ALT];
  int32_t iname[MX1ALT];
  int32_t iat[MX1ALT];
  int32_t offset = 0;
  float x[MX1ALT][3];
};

// A peptide or phosphodiester link whose bond atoms are in the model and
// further apart in every conformer than the chain's break limit joins no
// bonded atoms: it is not restrained, whichever stage made it.  True, with
// a warning, for such a link.
bool polymer_bond_broken(int32_t mdoc, int32_t l, std::string_view link, int32_t lid, int32_t ires1,
                         int32_t ires2, const LinkState& st) {
  const r_scratch_t& r = r_scratch;
  const int32_t from = r.lll_ibond(l);
  for (int32_t i = std::max(from, 1); from > 0 && i <= r.llb_nbond; ++i) {
    if (!(r.llb_lname(i) == link)) continue;
    const float limit =
        std::max(dictionary::polymer_bond_limit(r.llb_1atm(i).view(), r.llb_2atm(i).view()),
                 dictionary::polymer_bond_limit(r.llb_2atm(i).view(), r.llb_1atm(i).view()));
    if (limit <= 0.0f) return false;
    const Name* names[2] = {&r.llb_1atm(i), &r.llb_2atm(i)};
    const int32_t flags[2] = {r.llb_f1atm(i), r.llb_f2atm(i)};
    Atoms4 at;
    int32_t jerr = 0;
    if (!find_all(mdoc, st, names, flags, 2, lid, at, jerr)) return false;
    bool measured = false, bonded = false;
    float shortest = 0.0f;
    combinations(at, st, false, lid, [&](const Choice& c) {
      float d = 0;
      calc_idobs_l_(0, 0, c.x[0], c.x[1], d);
      if (!measured || d < shortest) shortest = d;
      measured = true;
      bonded = bonded || d <= limit;
    });
    if (!measured || bonded) return false;
    restraints::warn_far_bond(residue_of(at.a[0], ires1, ires2), at.latom[0], ".",
                              residue_of(at.a[1], ires1, ires2), at.latom[1], ".", r.llb_val(i),
                              shortest);
    msgdoc_(mdoc, rt::fmt("(' WARNING : link:',A8,' atoms too far apart to bond, dist =',F10.3)",
                          rt::FixedText<8>(link), shortest));
    msgdoc_(mdoc, "           link will not be restrained");
    return true;
  }
  return false;
}

}  // namespace

void iplan_rstr_l_(int32_t mdoc, char list, int32_t l, std::string_view link,
                   const restraints::LinkState& st, int32_t lid, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (r.llp_nplan <= 0 || r.lll_iplan(l) <= 0) return;
  trace(list, mdoc, " --dl plan");
  static PlaneAtom found[MAXLAPL];  // one plane's members, kept off the stack
  for (int32_t ip = r.lll_iplan(l); ip <= r.llp_nplan; ++ip) {
    if (!(r.llp_lname(ip) == link) || r.llp_natom(ip) <= 0) continue;
    int nf = 0;
    int32_t pos_codes[MX1ALT * MAXLAPL], neg_codes[MX1ALT * MAXLAPL];
    int npos = 0, nneg = 0;
    // The codes of copies that follow a member's common position are listed
    // after all others, so that the planes keep the order they had before
    // those copies took part.
    rt::FixedText<2> later[MX1ALT * MAXLAPL];
    int nlater = 0;
    for (int32_t k = 1; k <= std::min(r.llp_natom(ip), MAXLAPL); ++k) {
      LinkAtom a;
      if (!find_link_atom(mdoc, st, r.llp_atom(k, ip), r.llp_fatom(k, ip), lid, a, ierr)) continue;
      PlaneAtom& p = found[nf++];
      p.dev = r.llp_dev(k, ip);
      p.offset = a.offset;
      p.n = 0;
      bool common = false;
      for (int32_t j = 1; j <= a.n && p.n < MX1ALT; ++j) {
        if (common && !(a.corr(j) == "..")) {
          p.code[p.n] = restraints::code_number(a.corr(j));
          later[nlater++] = a.corr(j);
        } else {
          p.code[p.n] = restraints::conformer_code(a.corr(j), pos_codes, npos, neg_codes, nneg);
        }
        common = common || a.corr(j) == "..";
        p.iname[p.n] = a.iname(j);
        p.iat[p.n] = a.iat(j);
        for (int i = 0; i < 3; ++i) p.x[p.n][i] = a.iat(j) > 0 ? a.x(i + 1, j) : 0.0f;
        ++p.n;
      }
    }
    for (int k = 0; k < nlater; ++k)
      restraints::conformer_code(later[k], pos_codes, npos, neg_codes, nneg);
    if (nf < 4) continue;
    auto write_plane = [&](auto take, const char* what) {
      float dev[MAXLAPL], dobs[MAXLAPL], xx[3 * MAXLAPL];
      int32_t iatm[MAXLAPL], iatm_a[MAXLAPL], iglb[MAXLAPL];
      int np = 0;
      for (int k = 0; k < nf; ++k) {
        const PlaneAtom& p = found[k];
        const int j = take(p);
        if (j < 0) continue;
        dev[np] = p.dev;
        iatm[np] = p.iname[j];
        iatm_a[np] = p.iat[j];
        iglb[np] = p.offset;
        for (int i = 0; i < 3; ++i) xx[3 * np + i] = p.x[j][i];
        ++np;
      }
      if (np < 4) return;
      trace(list, mdoc, what);
      calc_ipldev_l_(mdoc, list, np, iatm, iatm_a, xx, dobs);
      wprstr_ln_(mdoc, r.llp_label(ip), np, dev, dobs, iatm, iatm_a, iglb, r.c1_iglobal,
                 r.c2_iglobal, lid, ierr);
    };
    if (npos == 0 && nneg == 0) {
      write_plane([](const PlaneAtom& p) { return (p.code[0] == 0 && p.iat[0] > 0) ? 0 : -1; },
                  " --dl plan 1");
      continue;
    }
    // A member without coordinates would spoil the fit: every position
    // taken must have them.  A member's own position in the conformer comes
    // before its common one, which serves only the conformers it has no
    // copy of.
    auto with_code = [](int32_t code) {
      return [code](const PlaneAtom& p) {
        for (int j = 0; j < p.n; ++j)
          if (p.code[j] == code && p.iat[j] > 0) return j;
        for (int j = 0; j < p.n; ++j)
          if (p.code[j] == 0 && p.iat[j] > 0) return j;
        return -1;
      };
    };
    for (int k = 0; k < npos; ++k) write_plane(with_code(pos_codes[k]), " --dl plan 2");
    for (int k = 0; k < nneg; ++k) write_plane(with_code(neg_codes[k]), " --dl plan 3");
  }
}

void dscr_links_(int32_t mdoc, char list, std::string_view link, int32_t lid, char, int32_t ig1,
                 int32_t ires1, int32_t ig2, int32_t ires2, int32_t& ierr, int32_t row) {
  ierr = 0;
  r_scratch_t& r = r_scratch;
  LinkState st;
  st.row = row;
  st.atoms1 = "";
  st.atoms2 = "";
  st.latom1 = ".";
  st.latom2 = ".";
  st.out.alt1 = "";
  st.out.alt2 = "";
  if (r.lll_nlink < 1) {
    msgdoc_(mdoc, " WARNING : number of links in library = 0");
    return;
  }
  const rt::FixedText<8> name(link);
  int32_t l = 0;
  for (int32_t k = 1; k <= r.lll_nlink && l == 0; ++k)
    if (r.lll_lname(k) == name) l = k;
  if (l == 0) {
    msgdoc_(mdoc, " WARNING : link " + std::string(name.view()) + " not found in library.");
    return;
  }
  r.lll_ilink = l;
  if (name == "gap") return;
  if (list == 'T')
    msgdoc_(mdoc, rt::fmt("(A,A8,A,2I6,A,A8,1X,A8,A,2I6,A,3I6)", " --dl link ", name,
                          " res:", ires1, ires2, " ", r.c2_rname, r.c1_rname, " chains:", ig1, ig2,
                          " lid, ibond, ithet:", lid, r.lll_ibond(l), r.lll_ithet(l)));
  const link_inf_t& li = link_inf;
  bool special = false;
  if (lid >= 1 && lid <= li.ln_n) {
    if (li.ln_used(lid) == "S") {
      special = true;
      st.atoms1 = li.ln_atom1(lid).sub(1, 4);
      st.atoms2 = li.ln_atom2(lid).sub(1, 4);
      st.alts1 = alt_or_none(li.ln_alt1(lid));
      st.alts2 = alt_or_none(li.ln_alt2(lid));
    } else {
      st.latom1 = li.ln_atom1(lid).sub(1, 4);
      st.latom2 = li.ln_atom2(lid).sub(1, 4);
    }
  }
  if (polymer_bond_broken(mdoc, l, name, lid, ires1, ires2, st)) return;
  wrt_t_l_(mdoc, link, ierr);
  if (ierr != 0) return;
  if (!bonds(mdoc, list, l, name, lid, special, ig1, ires1, ig2, ires2, st, ierr)) return;
  angles(mdoc, list, l, name, lid, st, ierr);
  torsions(mdoc, list, l, name, lid, st, ierr);
  chirals(mdoc, list, l, name, lid, st, ierr);
  iplan_rstr_l_(mdoc, list, r.lll_ilink, name, st, lid, ierr);
  trace(list, mdoc, " --dl ---");
}
