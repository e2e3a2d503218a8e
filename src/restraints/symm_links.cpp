// Symmetry-related link restraints.
#include "restraints/symm_links.h"

#include <cmath>
#include <string>

#include "connect/conformer_bonds.h"
#include "connect/element_classes.h"
#include "dictionary/link_lookup.h"
#include "foundation/atom_com.h"
#include "foundation/cell_helpers.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "foundation/words.h"
#include "output/atom_str.h"
#include "restraints/link_calc.h"
#include "restraints/rst_file.h"
#include "restraints/rst_records.h"
#include "runtime/format.h"

namespace {

using Name = rt::FixedText<4>;
using Code = rt::FixedText<8>;

char code_or_none(const rt::FixedText<1>& a) {
  const char c = a(1);
  return (c == ' ' || c == '\0') ? '.' : c;
}

// The bond a link row stands for: the library bond of its link, or a plain
// bond between the row's atoms.
struct Bond {
  Code type;
  Name atm1, atm2;
  float val = 0, dev = 0;
  bool plain = true;
  bool library = false;  // the bond of a link the library files describe
};

enum class Choice { Use, SkipRow, Stop };

Choice bond_of(int32_t mdoc, int32_t row, int32_t& iconn, Bond& b) {
  const link_inf_t& l = link_inf;
  r_scratch_t& r = r_scratch;
  const Code link = l.ln_id(row);
  const bool both_identity = link_in_unit(row);
  b.type = ".";
  b.atm1 = l.ln_atom1(row).sub(1, 4);
  b.atm2 = l.ln_atom2(row).sub(1, 4);
  b.val = b.dev = 0;
  b.plain = true;
  iconn = 0;
  if (link == "symmetry") return Choice::Use;
  int32_t ilink = 0;
  look_link_list_(link, ilink);
  set_iconn_(link, iconn);
  if (ilink == 0) return both_identity ? Choice::SkipRow : Choice::Use;
  if (link == "gap") return Choice::SkipRow;
  if (r.lll_nlink < 1) {
    msgdoc_(mdoc, " WARNING : number of links in library = 0");
    return Choice::Stop;
  }
  int32_t lk = 0;
  for (int32_t k = 1; k <= r.lll_nlink && lk == 0; ++k)
    if (r.lll_lname(k) == link) lk = k;
  if (lk == 0) {
    if (!both_identity) return Choice::Use;
    msgdoc_(mdoc, " WARNING : link " + std::string(link.view()) + " not found in library.");
    return Choice::SkipRow;
  }
  r.lll_ilink = lk;
  const int32_t from = r.lll_ibond(lk);
  if (from < 1 || from > r.llb_nbond) return Choice::Use;
  for (int32_t ib = from; ib <= r.llb_nbond; ++ib) {
    if (!(r.llb_lname(ib) == link)) continue;
    b.atm1 = r.llb_1atm(ib);
    b.atm2 = r.llb_2atm(ib);
    b.val = r.llb_val(ib);
    b.dev = r.llb_dev(ib);
    b.type = r.llb_type(ib);
    b.plain = false;
    // A description made for this model ("C": made by this run, or the
    // user's) is not the library's own.
    b.library = !(r.lll_fuse(lk) == "C");
    break;
  }
  return Choice::Use;
}

// Energy constant of the two types; a plain bond also takes its length.
float energy_bond(const Name& t1, const Name& t2, Bond& b) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.leb_nbond; ++i) {
    if (!((r.leb_1atm(i) == t1 && r.leb_2atm(i) == t2) ||
          (r.leb_1atm(i) == t2 && r.leb_2atm(i) == t1)))
      continue;
    if (b.plain) b.val = r.leb_length(i);
    return r.leb_const(i);
  }
  return 0.0f;
}

// The atom given as the other's extra neighbour, in the first free place.
void add_extra(int32_t ia, int32_t other) {
  atom_str_t& s = atom_str;
  if (s.as_iextr(ia) <= 0) s.as_iextr(ia) = other;
  else if (s.as_iextr2(ia) <= 0) s.as_iextr2(ia) = other;
}

int32_t neighbour(const rt::Array1<int32_t, MAXRESID>& table, int32_t ir) {
  return ir > 0 ? table(ir) : 0;
}

bool consecutive(int32_t r1, int32_t r2) {
  const resid_inf_t& res = resid_inf;
  return (neighbour(res.ires_forw, r1) == r2 && neighbour(res.ires_back, r2) == r1) ||
         (neighbour(res.ires_forw, r2) == r1 && neighbour(res.ires_back, r1) == r2);
}

std::string where(int32_t ich, int32_t ir, int32_t ia) {
  const resid_inf_t& res = resid_inf;
  const Name chain = (ich >= 1 && ich <= MAXCHAIN) ? asym_part.group_id(ich) : Name("");
  return rt::fmt("(A,A4,A,A5,A,A8,A,A4,A1)", "ch:", chain, " res:", res.res_num_pdb(ir).sub(3, 7),
                 " ", res.res_name(ir), " a:", atom_inf.atm_name(ia), atom_inf.id_alt(ia));
}

}  // namespace

void srch_num_link_(int32_t, int32_t, int32_t ir, std::string_view atom, char alt, std::string_view,
                    restraints::ModelPositions& p, int32_t& ierr) {
  p.n = 0;
  p.chem = ".";
  ierr = 0;
  if (ir <= 0 || resid_inf.iratm_first(ir) <= 0) return;
  const Name name(atom.substr(0, std::min<std::size_t>(atom.size(), 4)));
  const int32_t first = resid_inf.iratm_first(ir);
  const atom_inf_t& a = atom_inf;
  for (int32_t ia = first; ia < first + resid_inf.natm_res(ir) && p.n < MX1ALT; ++ia) {
    if (!(a.atm_name(ia) == name) || a.atm_type(ia) == "D" || a.atm_type(ia) == "U") continue;
    if (alt != '.' && a.id_alt(ia)(1) != alt) continue;
    const int32_t k = ++p.n;
    p.corr(k)(1) = a.id_corr(ia)(1);
    p.corr(k)(2) = a.id_alt(ia)(1);
    for (int i = 1; i <= 3; ++i) p.x(i, k) = atom_crd.xyz_crd(i, ia);
    p.iat(k) = ia;
    p.ifl(k) = atom_crd.occup(ia) > 0.0001f ? 1 : 0;
    p.chem = atom_str.as_chem(ia);
  }
}

void chk_alt_symm_(const rt::FixedText<2>* corr, char alt1, char alt2, char& check) {
  const char p1 = corr[0](2), p2 = corr[1](2);
  check = 'N';
  bool ok;
  if (alt1 == '.' && alt2 == '.') ok = p1 == p2;
  else if (alt1 == '.') ok = p2 == alt2 && (p1 == '.' || p1 == alt2);
  else if (alt2 == '.') ok = p1 == alt1 && (p2 == '.' || p2 == alt1);
  else ok = p1 == alt1 && p2 == alt2;
  if (ok) check = 'Y';
}

void calc_dist_symm_link_(const float* zz, const float* xx, float& d2, int32_t& itx, int32_t& ity,
                          int32_t& itz) {
  calc_dist_(zz, xx, d2, itx, ity, itz);
}

namespace {

// The image of the first atom that a symmetry link restrains: operator and
// whole-cell shift, with the squared distance to the second atom.
struct Image {
  int32_t op = 0;  // 0: no operator loaded
  int32_t t[3] = {0, 0, 0};
  float d2 = 1.0e30f;
  bool identity_as_near = false;  // the atoms' own pairing is as near
  // The code gives each shift one digit (shift + 5).
  bool writable() const {
    for (int32_t v : t)
      if (v < -5 || v > 4) return false;
    return true;
  }
  bool is_identity() const { return op == 1 && t[0] == 0 && t[1] == 0 && t[2] == 0; }
  std::string code() const {
    std::string c = std::to_string(op) + "_";
    for (int32_t v : t) c += static_cast<char>('0' + v + 5);
    return c;
  }
};

// Images this much farther than the nearest still count as the nearest: an
// atom on a special position is as near to a partner as to its copy, up to
// how far the model puts it off the symmetry element.
constexpr float kTieDistance = 0.1f;

// The nearest image of x1 to x2 over the operators.  Among images as near
// as the nearest, the one the input names (`given`, the link row's
// non-identity code) wins, else one that is not the identity: a link the
// input puts across a symmetry element is not the ordinary bond of the two
// atoms, though both are equally long for an atom on that element.
// Otherwise the lowest operator wins.
Image nearest_image(const float* x1, const float* x2, int32_t ia, int32_t ja, const Code& given) {
  const crst_crd_t& c = crst_crd;
  float y[3], z[3];
  int32_t ierr = 0;
  nb_otof_(x1, y, ierr);
  nb_otof_(x2, z, ierr);
  const int32_t first = (ia == ja && c.cs_nsym > 1) ? 2 : 1;
  Image all[MAXNSO];
  int32_t n = 0;
  Image best;
  for (int32_t s = first; s <= c.cs_nsym && n < MAXNSO; ++s) {
    float image[3];
    for (int i = 1; i <= 3; ++i)
      image[i - 1] = c.cs_m_cs(i, 1, s) * y[0] + c.cs_m_cs(i, 2, s) * y[1] +
                     c.cs_m_cs(i, 3, s) * y[2] + c.cs_v_cs(i, s);
    Image& im = all[n++];
    im.op = s;
    calc_dist_symm_link_(image, z, im.d2, im.t[0], im.t[1], im.t[2]);
    if (im.d2 < best.d2) best = im;
  }
  if (best.op == 0) return best;
  const float limit = std::sqrt(best.d2) + kTieDistance;
  const Image* named = nullptr;
  const Image* other = nullptr;
  bool identity_near = false;
  for (int32_t k = 0; k < n; ++k) {
    if (std::sqrt(all[k].d2) > limit) continue;
    identity_near = identity_near || all[k].is_identity();
    if (!named && !given.is_blank() && Code(all[k].code()) == given) named = &all[k];
    if (!other && !all[k].is_identity()) other = &all[k];
  }
  Image chosen = named ? *named : best.is_identity() && other ? *other : best;
  chosen.identity_as_near = identity_near;
  return chosen;
}

// The row's code that is not the identity (the first atom's, else the
// second's); blank when both are.
Code given_code(int32_t row) {
  const link_inf_t& l = link_inf;
  if (!identity_symmetry(l.ln_symm1(row))) return l.ln_symm1(row);
  if (!identity_symmetry(l.ln_symm2(row))) return l.ln_symm2(row);
  return Code("");
}

// Another row of the link table, inside the asymmetric unit, that joins the
// same two atoms: their bond is restrained there already.
bool ordinary_link_of(int32_t row, int32_t ia, int32_t ja) {
  const link_inf_t& l = link_inf;
  const atom_inf_t& a = atom_inf;
  for (int32_t k = 1; k <= l.ln_n; ++k) {
    if (k == row || !link_in_unit(k)) continue;
    if (l.ln_id(k) == "gap" || l.ln_id(k) == "?") continue;
    const Name n1 = l.ln_atom1(k).sub(1, 4), n2 = l.ln_atom2(k).sub(1, 4);
    const int32_t r1 = l.ln_1ires(k), r2 = l.ln_2ires(k);
    const auto is = [&](int32_t at, int32_t r, const Name& n) {
      return a.i_resid(at) == r && a.atm_name(at) == n;
    };
    if ((is(ia, r1, n1) && is(ja, r2, n2)) || (is(ia, r2, n2) && is(ja, r1, n1))) return true;
  }
  return false;
}

// The image a pair of positions of a symmetry link is restrained to, and
// the distance to it.
struct PairImage {
  Image im;
  float dobs = 0;
};

PairImage pair_image(int32_t row, const restraints::ModelPositions& p1, int32_t i,
                     const restraints::ModelPositions& p2, int32_t j) {
  PairImage out;
  calc_idobs_l_(p1.iat(i), p2.iat(j), &p1.x(1, i), &p2.x(1, j), out.dobs);
  out.im = nearest_image(&p1.x(1, i), &p2.x(1, j), p1.iat(i), p2.iat(j), given_code(row));
  if (out.im.op != 0) out.dobs = std::sqrt(out.im.d2);
  return out;
}

// How the pairs of positions of a symmetry link that may stand together
// and are occupied lie against the reach of a bond.
struct RowReach {
  int32_t bonding = 0;  // pairs within reach (or without an operator to judge by)
  float shortest = -1;  // the nearest pair beyond reach, -1 when none
  int32_t i = 0, j = 0;
};

RowReach row_reach(int32_t row, const restraints::ModelPositions& p1,
                   const restraints::ModelPositions& p2, char alt1, char alt2, float reach) {
  RowReach r;
  for (int32_t i = 1; i <= p1.n; ++i) {
    for (int32_t j = 1; j <= p2.n; ++j) {
      const rt::FixedText<2> codes[2] = {p1.corr(i), p2.corr(j)};
      char check = 'N';
      chk_alt_symm_(codes, alt1, alt2, check);
      if (check != 'Y' || p1.ifl(i) != 1 || p2.ifl(j) != 1) continue;
      const PairImage pi = pair_image(row, p1, i, p2, j);
      if (pi.im.op == 0 || pi.dobs <= reach) {
        ++r.bonding;
      } else if (r.shortest < 0 || pi.dobs < r.shortest) {
        r.shortest = pi.dobs;
        r.i = i;
        r.j = j;
      }
    }
  }
  return r;
}

// The warning of a link no pair of whose positions bonds, as for a link
// inside the model.
void warn_row_apart(int32_t mdoc, int32_t row, const restraints::ModelPositions& p1,
                    const restraints::ModelPositions& p2, const RowReach& r, float ideal) {
  const link_inf_t& l = link_inf;
  msgdoc_(mdoc, rt::fmt("(' WARNING : link:',A8,' atoms too far apart to bond, dist =',F10.3)",
                        l.ln_id(row), r.shortest));
  msgdoc_(mdoc,
          "           ch:" + connect::link_end_text(l.ln_1ichn(row), l.ln_1ires(row), p1.iat(r.i)) +
              "->ch:" + connect::link_end_text(l.ln_2ichn(row), l.ln_2ires(row), p2.iat(r.j)) +
              std::string(rt::fmt("(' ideal_dist=',F10.3)", ideal)));
  msgdoc_(mdoc, "           link will not be restrained");
}

}  // namespace

void change_link_symm_(rt::FixedText<8>& symm1, rt::FixedText<8>& symm2, const float* x1,
                       const float* x2, int32_t ia, int32_t ja, float& dobs) {
  const Image im = nearest_image(x1, x2, ia, ja, Code(""));
  if (im.op == 0 || !im.writable()) return;  // no operator, or no code for its shift
  dobs = std::sqrt(im.d2);
  symm1 = im.code();
  symm2 = ".";
}

void get_symm_coor_(std::string_view symm, float* x) {
  const Code code(symm);
  if (code.is_blank() || code(1) == '.' || code.sub(1, 5) == "1_555") return;
  int at = 0;
  for (int p = 2; p <= 4 && at == 0; ++p)
    if (code(p) == '_') at = p;
  if (at == 0) return;
  int32_t op = 0;
  for (int p = 1; p < at; ++p) {
    if (code(p) < '0' || code(p) > '9') return;
    op = op * 10 + (code(p) - '0');
  }
  const crst_crd_t& c = crst_crd;
  if (op < 1 || op > c.cs_nsym || at + 3 > 8) return;
  int32_t d[3];
  for (int k = 0; k < 3; ++k) {
    const char ch = code(at + 1 + k);
    if (ch < '0' || ch > '9') return;
    d[k] = ch - '0';
  }
  float y[3], f[3];
  int32_t ierr = 0;
  nb_otof_(x, y, ierr);
  for (int i = 1; i <= 3; ++i)
    f[i - 1] = c.cs_m_cs(i, 1, op) * y[0] + c.cs_m_cs(i, 2, op) * y[1] +
               c.cs_m_cs(i, 3, op) * y[2] + c.cs_v_cs(i, op) + static_cast<float>(d[i - 1] - 5);
  nb_ftoo_(f, x, ierr);
}

void wrt_t_symm_(int32_t, int32_t& ierr) {
  ierr = 0;
  const crdinf_t& c = crdinf;
  if (c.crro_file.is_blank() || c.crro_iun == 0 || restraints::rst_unformatted()) return;
  wrtstr_(c.crro_iun, 0, "#", ierr);
  wrtstr_(c.crro_iun, 0, "#  --- special symmetry related links ---", ierr);
  wrtstr_(c.crro_iun, 0, "#", ierr);
}

void dscr_links_symm_(int32_t mdoc, char, char restr_flag, char, int32_t& ierr) {
  ierr = 0;
  const link_inf_t& l = link_inf;
  if (l.ln_n < 1) return;
  bool titled = false;
  static restraints::ModelPositions p1, p2;  // 20 positions each, kept off the stack
  for (int32_t row = 1; row <= l.ln_n; ++row) {
    const int32_t r1 = l.ln_1ires(row), r2 = l.ln_2ires(row);
    const int32_t c1 = l.ln_1ichn(row), c2 = l.ln_2ichn(row);
    const char alt1 = code_or_none(l.ln_alt1(row)), alt2 = code_or_none(l.ln_alt2(row));
    Bond b;
    int32_t iconn = 0;
    const Choice choice = bond_of(mdoc, row, iconn, b);
    if (choice == Choice::Stop) return;
    if (choice == Choice::SkipRow) continue;
    int32_t jerr = 0;
    srch_num_link_(mdoc, c1, r1, b.atm1, alt1, l.ln_symm1(row), p1, jerr);
    if (p1.n == 0) continue;
    srch_num_link_(mdoc, c2, r2, b.atm2, alt2, l.ln_symm2(row), p2, jerr);
    if (p2.n == 0) continue;
    const float econst = energy_bond(p1.chem, p2.chem, b);
    // The length a row states is the target only of a bond the library files
    // do not describe, as inside the model: the archive states the model's
    // own distance, which would hold a disulfide to a copy at 2.37 A where
    // the library's link has 2.03 A.
    if (!b.library && l.ln_dist(row) > 0.00001f) b.val = l.ln_dist(row);
    // A link to a copy is held to the reach of a bond as one inside the
    // model is: where the nearest copy lies further away (a code naming an
    // operator that brings no partner near), a restraint would pull the
    // atom across the crystal.  Each pair of conformers is judged alone.
    // The reach is that of a bond of the two atoms' types, never the length
    // the row states: a converter states the distance to the copy it names
    // (13.8 A there), and the link made for the row carries that length.
    float type_length = 0.0f;
    rt::FixedText<1> def_flag;
    int32_t no_error = 0;
    get_default_vbond_(mdoc, p1.chem.view(), p2.chem.view(), type_length, def_flag, no_error);
    const float reach = connect::bond_reach(b.atm1.view(), b.atm2.view(), type_length);
    const RowReach apart = link_in_unit(row) || restr_flag != 'A'
                               ? RowReach{}
                               : row_reach(row, p1, p2, alt1, alt2, reach);
    if (apart.bonding == 0 && apart.shortest >= 0) {
      warn_row_apart(mdoc, row, p1, p2, apart, b.val);
      continue;
    }
    bool next_row = false;
    for (int32_t i = 1; i <= p1.n && !next_row; ++i) {
      for (int32_t j = 1; j <= p2.n && !next_row; ++j) {
        const rt::FixedText<2> codes[2] = {p1.corr(i), p2.corr(j)};
        char check = 'N';
        chk_alt_symm_(codes, alt1, alt2, check);
        if (check != 'Y') continue;
        Code symm1 = l.ln_symm1(row), symm2 = l.ln_symm2(row);
        const int32_t ia = p1.iat(i), ja = p2.iat(j);
        if (identity_symmetry(symm1) && identity_symmetry(symm2)) {
          next_row = true;
          if (r1 == r2 && c1 == c2) break;
          if (iconn > 1 && consecutive(r1, r2)) break;
          add_extra(ia, ja);
          add_extra(ja, ia);
          break;
        }
        if (p1.ifl(i) != 1 || p2.ifl(j) != 1) continue;
        const PairImage pi = pair_image(row, p1, i, p2, j);
        const Image& im = pi.im;
        const float dobs = pi.dobs;
        if (im.op != 0 && im.writable()) symm1 = im.code(), symm2 = ".";
        if (restr_flag != 'A') continue;
        if (im.op != 0 && !im.writable()) {
          msgdoc_(mdoc, rt::fmt("(A,A8,A,3I4,A,I3,A)", " WARNING : symm.link ", l.ln_id(row),
                                " not used: cell shift", im.t[0], im.t[1], im.t[2], " of operator ",
                                im.op, " has no symmetry code (one digit, -5 to +4, per axis)"));
          msgdoc_(mdoc, "           " + where(c1, r1, ia) + " --> " + where(c2, r2, ja));
          continue;
        }
        // On a special position the image bond is the ordinary bond of the
        // two atoms over again; one restraint of that length is enough.
        if (im.op != 0 && im.identity_as_near && ordinary_link_of(row, ia, ja)) {
          msgdoc_(mdoc,
                  " INFO:     symm.link joins the atoms of an ordinary link, restrained once");
          msgdoc_(mdoc, "           " + where(c1, r1, ia) + " --> " + where(c2, r2, ja));
          continue;
        }
        if (im.op != 0 && dobs > reach) {
          connect::warn_conformers_apart(mdoc, l.ln_id(row), c1, c2, {ia, ja, dobs}, b.val);
          continue;
        }
        msgdoc_(mdoc, rt::fmt("(A,F8.3,A,F8.3,A,A8)", " INFO:     symm.link will be used, dist=",
                              dobs, " ideal=", b.val, "symm1:", symm1));
        msgdoc_(mdoc, "           " + where(c1, r1, ia) + " --> " + where(c2, r2, ja));
        if (!titled) {
          titled = true;
          wrt_t_symm_(mdoc, ierr);
          if (ierr != 0) return;
        }
        wrestr_symm_(mdoc, "BNDS", row, ia, ja, b.val, b.dev, dobs, b.type, econst, symm1, symm2,
                     ierr);
      }
    }
  }
}
