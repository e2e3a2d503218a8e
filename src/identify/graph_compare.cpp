// Graph comparison of a residue with a library monomer.  Both graphs are
// loaded into mtc_atom (heavy atoms only: hydrogen and deuterium, unnamed
// atoms and, on the residue side, atoms without occupancy are left out),
// compared by size and element counts, and matched atom by atom through
// their neighbour vectors.  The matched residue atoms then lend their
// coordinates to the library atoms and take the library names.
#include "identify/graph_compare.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "dictionary/work_copies.h"
#include "foundation/messages.h"
#include "identify/graph_tables.h"
#include "identify/mtc_atom.h"
#include "runtime/format.h"

namespace {

// Element symbols counted in the content string, in its field order; the
// last entry (two blanks) is a field that no symbol of a real atom fills.
constexpr const char* kContentSymbols[15] = {"C ", "N ", "O ", "S ", "P ", "CO", "MG", "CA",
                                             "ZN", "CU", "FE", "CL", "MN", "MO", "  "};

constexpr float kMinOcc = 1.0E-4f;

int atom_class(std::string_view symb) {
  const std::string_view s2 = symb.substr(0, 2);
  if (s2 == "C ") return 1;
  if (s2 == "N ") return 2;
  if (s2 == "O ") return 3;
  return 4;
}

// Local tables of one comparison.
struct Counts {
  rt::Array1<int32_t, 15> icontent;
  rt::Array1<int32_t, 8> ipair1;
  rt::Array1<int32_t, 8> ipair2;
  int nocc = 0;
  int32_t iscore = 0;
  bool elements_full = false;  // a symbol found no room in mt_elsymb
};

// Element k of the shared element table, appended when new; 0 when the
// table has no room (the comparison then cannot hold the counts).
int element_of(std::string_view symb, Counts& c) {
  mtc_atom_t& mt = mtc_atom;
  const std::string_view s2 = symb.substr(0, 2);
  for (int k = 1; k <= mt.mt_nel; ++k)
    if (mt.mt_elsymb(k).sub(1, 2) == s2) return k;
  if (mt.mt_nel >= MXGATM) {
    c.elements_full = true;
    return 0;
  }
  const int k = ++mt.mt_nel;
  mt.mt_elsymb(k) = s2;
  mt.mt_elc(k) = 0;
  mt.mt_ell(k) = 0;
  return k;
}

void count_content(std::string_view symb, Counts& c) {
  const std::string_view s2 = symb.substr(0, 2);
  for (int k = 0; k < 15; ++k) {
    if (s2 == kContentSymbols[k]) {
      ++c.icontent(k + 1);
      return;
    }
  }
}

// Two digits a count, capped at 99.
void make_content(const Counts& c) {
  for (int k = 1; k <= 15; ++k) {
    rt::FixedText<4> f;
    if (c.icontent(k) > 99) {
      f = "9999";
    } else {
      rt::write_to(f.ref(), "(I4)", c.icontent(k));
      if (f(3) == ' ') f(3) = '0';
    }
    mtc_atom.c_content(2 * k - 1) = f(3);
    mtc_atom.c_content(2 * k) = f(4);
  }
}

std::string_view symbol_of_c1(int i) { return r_scratch.c1_asymb(i).view(); }

// Residue side: C1 atoms into the graph, then its bonds from C1's neighbour lists.
void load_residue(bool contents, Counts& c) {
  mtc_atom_t& mt = mtc_atom;
  r_scratch_t& r = r_scratch;
  for (int i = 1; i <= r.c1_natom; ++i) {
    if (r.c1_aname(i).is_blank()) continue;
    if (r.c1_occ(i) < kMinOcc) {
      ++c.nocc;
      continue;
    }
    if (dictionary::is_hydrogen(r.c1_asymb(i))) continue;
    const int k = ++mt.mt_nc;
    mt.mt_cmap(i) = k;
    mt.mt_cidx(k) = i;
    mt.mt_cname(k) = r.c1_aname(i);
    mt.mt_cls_c(k) = atom_class(symbol_of_c1(i));
    if (const int e = element_of(symbol_of_c1(i), c)) ++mt.mt_elc(e);
    if (contents) count_content(symbol_of_c1(i), c);
  }
  for (int k = 1; k <= mt.mt_nc; ++k) {
    const int i = mt.mt_cidx(k);
    for (int j = 1; j <= std::min<int>(r.s1_ndist(i), MX1BRN); ++j) {
      const int n = r.s1_conn(j, i);
      if (n < 1 || n > r.c1_natom) continue;
      const int p = mt.mt_cmap(n);
      if (p == 0 || p == k || dictionary::is_hydrogen(r.c1_asymb(n))) continue;
      mt.mt_dist(std::min(k, p), std::max(k, p)) = 1;
    }
  }
}

// Library side: the same from L1, without an occupancy test.
void load_library(bool contents, Counts& c) {
  mtc_atom_t& mt = mtc_atom;
  r_scratch_t& r = r_scratch;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    if (r.l1a_aname(i).is_blank() || dictionary::is_hydrogen(r.l1a_symb(i))) continue;
    const int k = ++mt.mt_nl;
    mt.mt_lmap(i) = k;
    mt.mt_lidx(k) = i;
    mt.mt_lname(k) = r.l1a_aname(i);
    mt.mt_cls_l(k) = atom_class(r.l1a_symb(i).view());
    if (const int e = element_of(r.l1a_symb(i).view(), c)) ++mt.mt_ell(e);
    if (contents) count_content(r.l1a_symb(i).view(), c);
  }
  for (int k = 1; k <= mt.mt_nl; ++k) {
    const int i = mt.mt_lidx(k);
    for (int j = 1; j <= std::min<int>(r.l1a_ndist(i), MAX1BRN); ++j) {
      const int n = r.l1a_conn(j, i);
      if (n < 1 || n > r.l1a_natom) continue;
      const int p = mt.mt_lmap(n);
      if (p == 0 || p == k || dictionary::is_hydrogen(r.l1a_symb(n))) continue;
      mt.mt_dist(std::max(k, p), std::min(k, p)) = 1;
    }
  }
}

// ---------------------------------------------------------------- trace

void trace_residue(int32_t mdoc) {
  r_scratch_t& r = r_scratch;
  msgdoc_(mdoc, rt::fmt("('crd NA:',I4,A)", r.c1_natom, r.c1_rname));
  for (int i = 1; i <= r.c1_natom; ++i) {
    msgdoc_(mdoc, rt::fmt("('  ',I4,A,A,F8.2)", i, r.c1_aname(i), r.c1_asymb(i), r.c1_occ(i)));
    for (int j = 1; j <= std::min<int>(r.s1_ndist(i), MX1BRN); ++j) {
      const int n = r.s1_conn(j, i);
      if (n < 1 || n > r.c1_natom) continue;
      msgdoc_(mdoc, rt::fmt("('  --->',2I4,A,A)", j, n, r.c1_aname(n), r.c1_asymb(n)));
    }
  }
}

void trace_library(int32_t mdoc) {
  r_scratch_t& r = r_scratch;
  msgdoc_(mdoc, rt::fmt("('lib NA:',I4,A)", r.l1a_natom, r.l1l_mname));
  for (int i = 1; i <= r.l1a_natom; ++i) {
    msgdoc_(mdoc, rt::fmt("('  ',I4,A,A,I4)", i, r.l1a_aname(i), r.l1a_symb(i), r.l1a_ndist(i)));
    for (int j = 1; j <= std::min<int>(r.l1a_ndist(i), MAX1BRN); ++j) {
      const int n = r.l1a_conn(j, i);
      if (n < 1 || n > r.l1a_natom) continue;
      msgdoc_(mdoc, rt::fmt("('  --->',2I4,A,A)", j, n, r.l1a_aname(n), r.l1a_symb(n)));
    }
  }
  for (int b = 1; b <= r.l1b_nbond; ++b)
    msgdoc_(mdoc, rt::fmt("('  bond',I4,' ',A,'-->',A)", b, r.l1b_1atm(b), r.l1b_2atm(b)));
}

void trace_elements(int32_t mdoc, const Counts& c) {
  mtc_atom_t& mt = mtc_atom;
  msgerr_(mdoc, rt::fmt("('Natom(crd,lib),Nocc:',3(1X,I3))", mt.mt_nc, mt.mt_nl, c.nocc));
  std::string names = "    ", crd = "crd:", lib = "lib:";
  for (int k = 1; k <= std::min(mt.mt_nel, 25); ++k) {
    names += ' ';
    names += mt.mt_elsymb(k).sub(1, 2);
    crd += rt::fmt("(I3)", mt.mt_elc(k));
    lib += rt::fmt("(I3)", mt.mt_ell(k));
  }
  msgerr_(mdoc, names);
  msgerr_(mdoc, crd);
  msgerr_(mdoc, lib);
}

std::string names10(const rt::Array1<rt::FixedText<4>, MXGATM>& names, int n) {
  std::string s;
  for (int k = 1; k <= std::min(n, 10); ++k) s += names(k).view();
  return s;
}

// A 10 x 10 corner of the shared distance square with the names beside it.
void trace_corner(int32_t mdoc, bool after) {
  mtc_atom_t& mt = mtc_atom;
  const int rows = std::min(std::max(mt.mt_nc, mt.mt_nl), 10);
  msgdoc_(mdoc, (after ? "       " : "-->1     ") + names10(mt.mt_cname, mt.mt_nc));
  for (int row = 1; row <= rows; ++row) {
    std::string line = "l " + std::string(mt.mt_lname(row).view()) + " ";
    for (int col = 1; col <= 10; ++col) line += rt::fmt("(I4)", mt.mt_dist(row, col));
    if (!after) line += "  " + std::string(mt.mt_cname(row).view());
    msgdoc_(mdoc, line);
  }
  if (!after) msgdoc_(mdoc, "-->2     " + names10(mt.mt_lname, mt.mt_nl));
}

void trace_vectors(int32_t mdoc, bool lib) {
  mtc_atom_t& mt = mtc_atom;
  msgerr_(mdoc, lib ? " ----lib------" : " ----crd------");
  const auto& cnt = lib ? mt.mt_cnt_l : mt.mt_cnt_c;
  std::string line = " Index: ";
  for (int d = 1; d <= 8; ++d) line += rt::fmt("(1X,I3)", cnt(d));
  msgerr_(mdoc, line);
  const int n = lib ? mt.mt_nl : mt.mt_nc;
  static constexpr const char* tags[4] = {" C ", " N ", " O ", " - "};
  for (int i = 1; i <= n; ++i) {
    for (int k = 1; k <= MXGCLS; ++k) {
      std::string row = k == 1 ? rt::fmt("(I3,1X,A4,1X,I4)", i, lib ? mt.mt_lname(i) : mt.mt_cname(i),
                                        lib ? mt.mt_cls_l(i) : mt.mt_cls_c(i))
                               : std::string(13, ' ');
      for (int d = 1; d <= 8; ++d)
        row += rt::fmt("(1X,I3)", lib ? mt.mt_vec_l(i, d, k) : mt.mt_vec_c(i, d, k));
      row += tags[k - 1];
      msgerr_(mdoc, row);
    }
  }
}

void trace_index(int32_t mdoc, const rt::Array1<int32_t, 8>& cnt, const rt::Array1<int32_t, 8>& ipair) {
  create_index_(cnt, mtc_atom.c_index, ipair, mtc_atom.c_pair);
  msgdoc_(mdoc, rt::fmt("('-->',A24,';')", mtc_atom.c_index));
  msgdoc_(mdoc, rt::fmt("('  ;',A24,';')", mtc_atom.c_pair));
}

void trace_candidates(int32_t mdoc) {
  mtc_atom_t& mt = mtc_atom;
  msgerr_(mdoc, " ---- EQUIV ------");
  for (int i = 1; i <= mt.mt_nc; ++i) {
    const int nc = std::min(mt.mt_cand(i, 0), 20);
    std::string a = rt::fmt("(2I4,' - ')", i, mt.mt_cand(i, 0));
    std::string b = "         - ";
    for (int n = 1; n <= nc; ++n) {
      a += rt::fmt("(1X,I2)", mt.mt_cdist(n, i));
      b += rt::fmt("(1X,I2)", mt.mt_cand(n, i));
    }
    msgerr_(mdoc, a);
    msgerr_(mdoc, b);
  }
}

void trace_matches(int32_t mdoc, std::string_view head) {
  mtc_atom_t& mt = mtc_atom;
  if (!head.empty()) msgerr_(mdoc, head);
  for (int i = 1; i <= mt.mt_nc; ++i) {
    const int j = mt.mt_corr(i);
    if (j == 0) {
      msgerr_(mdoc, rt::list_line(i, mt.mt_cname(i), " -"));
    } else {
      msgerr_(mdoc, rt::list_line(i, mt.mt_cname(i), j, mt.mt_lname(j)));
    }
  }
}

// ------------------------------------------------------------- matching

// Pairs whose bonds disagree between residue atom x, matched to library atom
// jx, and every other matched residue atom.
int bond_misfits(int x, int jx) {
  mtc_atom_t& mt = mtc_atom;
  int n = 0;
  for (int y = 1; y <= mt.mt_nc; ++y) {
    const int jy = mt.mt_corr(y);
    if (y == x || jy == 0 || jy == jx) continue;
    const bool on_residue = mt.mt_dist(std::min(x, y), std::max(x, y)) == 1;
    const bool on_library = mt.mt_dist(std::max(jx, jy), std::min(jx, jy)) == 1;
    if (on_residue != on_library) ++n;
  }
  return n;
}

// Hands library partners round the residue atoms of `who` (each takes the
// partner of the next, the last that of the first) when no bond disagrees
// more than with the graph's own pairing; true when they were handed round.
// Names that the bonds contradict (an O and an OG exchanged) so keep the
// pairing the graph gave, and the atoms are renamed by it.
bool hand_round(std::initializer_list<int> who) {
  mtc_atom_t& mt = mtc_atom;
  int before = 0, after = 0;
  for (const int x : who) before += bond_misfits(x, mt.mt_corr(x));
  const std::vector<int> at(who);
  const int first = mt.mt_corr(at.front());
  for (std::size_t q = 0; q + 1 < at.size(); ++q) mt.mt_corr(at[q]) = mt.mt_corr(at[q + 1]);
  mt.mt_corr(at.back()) = first;
  for (const int x : who) after += bond_misfits(x, mt.mt_corr(x));
  if (after <= before) return true;
  const int last = mt.mt_corr(at.back());
  for (std::size_t q = at.size() - 1; q > 0; --q) mt.mt_corr(at[q]) = mt.mt_corr(at[q - 1]);
  mt.mt_corr(at.front()) = last;
  return false;
}

// Keeps residue atoms on the library atoms of their own names where the
// graph match paired atoms of equal surroundings the other way round.
void prefer_own_names() {
  mtc_atom_t& mt = mtc_atom;
  const int nc = mt.mt_nc;
  for (int i = 1; i <= nc; ++i) {
    const int j = mt.mt_corr(i);
    if (j == 0 || mt.mt_cname(i) == mt.mt_lname(j)) continue;
    for (int k = 1; k <= nc; ++k) {
      if (!(mt.mt_cname(k) == mt.mt_lname(j))) continue;
      const int j2 = mt.mt_corr(k);
      if (j2 == 0) continue;
      if (mt.mt_cname(i) == mt.mt_lname(j2)) {
        // i takes k's partner and k takes i's.
        if (hand_round({i, k})) break;
        continue;
      }
      int found = 0;
      for (int m = 1; m <= nc && found == 0; ++m) {
        const int j3 = mt.mt_corr(m);
        if (j3 != 0 && mt.mt_cname(m) == mt.mt_lname(j2) && mt.mt_cname(i) == mt.mt_lname(j3)) found = m;
      }
      // i takes m's partner, m takes k's and k takes i's.
      if (found != 0 && hand_round({i, found, k})) break;
    }
  }
}

// Coordinates onto the library atoms and library names onto the residue.
void transfer(int32_t mdoc, int32_t m, int32_t isyn, std::string_view mon) {
  mtc_atom_t& mt = mtc_atom;
  r_scratch_t& r = r_scratch;
  // The copies' statuses are not examined: C1 holds at least the matched
  // atoms.
  int32_t ierr = 0;
  copyc2_(mdoc, ierr);
  const rt::FixedText<8> monf(mon);
  bool changed = false, appended = false;
  for (int i = 1; i <= mt.mt_nc; ++i) {
    const int j = mt.mt_corr(i);
    if (j == 0) continue;
    const int ic = mt.mt_cidx(i);
    const int il = mt.mt_lidx(j);
    r.l1a_x(il) = r.c1_xyz(1, ic);
    r.l1a_y(il) = r.c1_xyz(2, ic);
    r.l1a_z(il) = r.c1_xyz(3, ic);
    r.l1a_coor_flag(il) = "Y";
    if (r.c1_aname(ic) == r.l1a_aname(il)) continue;
    if (isyn == 0) {
      // A full synonym list ends the renaming, with status 0: C1 keeps its
      // names.
      if (r.lms_nsyn >= MAXMLIST) return;
      bool known = false;
      for (int s = 1; s <= r.lms_nsyn && !known; ++s)
        known = r.lms_mname(s) == monf && r.lms_mname2(s) == r.c1_rname && r.lms_atom(s) == r.l1a_aname(il) &&
                r.lms_aatom(s) == r.c1_aname(ic);
      if (!known) {
        const rt::FixedText<8> monn = r.c1_rname == monf ? rt::FixedText<8>(".") : r.c1_rname;
        int32_t it = 0;
        check_synonym_(it, monf, monn, r.l1a_aname(il), r.c1_aname(ic));
        if (it == 0) {
          const int s = ++r.lms_nsyn;
          ++r.lms_new;
          if (!appended) r.lms_isyn = s;
          appended = true;
          r.lms_mname(s) = monf;
          r.lms_mname2(s) = ".";
          r.lms_mod(s) = ".";
          r.lms_amname2(s) = ".";
          r.lms_amname(s) = monn;
          r.lms_atom(s) = r.l1a_aname(il);
          r.lms_aatom(s) = r.c1_aname(ic);
          r.lms_flag(s) = "N";
        }
      }
    }
    if (!changed) msgdoc_(m, " WARNING : program changed some atom names to standard");
    changed = true;
    msgdoc_(m, std::string(11, ' ') + monf.str() + "  \"" + r.c1_aname(ic).str() + "\" ---> \"" +
                   r.l1a_aname(il).str() + "\"");
    r.c2_aname(ic) = r.l1a_aname(il);
  }
  if (changed && isyn == 0) copyc1_(mdoc, ierr);
}

// ---------------------------------------------------------------- steps

// Statuses of a comparison that found no correspondence (check_equiv_ adds 3
// and 4).  Callers only test for non-zero; no message is printed for any.
constexpr int32_t kNoMatch = 5;  // a side without heavy atoms, or an assignment that stalled
constexpr int32_t kResidueSingleAtom = 6;
constexpr int32_t kLibrarySingleAtom = 7;
constexpr int32_t kHeavyCountsDiffer = 11;
constexpr int32_t kElementCountsDiffer = 12;

// Every table of the last comparison cleared.  mt_corr is left as it was:
// only the assignment writes it.
void start_comparison(Counts& c) {
  mtc_atom_t& mt = mtc_atom;
  c = Counts{};
  for (int k = 1; k <= MXGATM; ++k) {
    mt.mt_cname(k).blank();
    mt.mt_lname(k).blank();
    mt.mt_cmap(k) = 0;
    mt.mt_lmap(k) = 0;
  }
  // Only the squares the sides will use need clearing, but a caller may read
  // any cell of the last comparison: clear the whole square.
  std::fill(mt.mt_dist.data(), mt.mt_dist.data() + MXGATM * MXGATM, 0);
  for (int d = 1; d <= MXGDIST; ++d) mt.mt_cnt_c(d) = mt.mt_cnt_l(d) = 0;
  mt.mt_nel = 0;
  mt.c_index = "000";
  mt.c_pair = "000";
  mt.c_content = "000";
}

// The residue's graph loaded; false, with nothing loaded, when C1 is empty.
bool take_residue(int32_t mdoc, bool trace, bool contents, Counts& c) {
  mtc_atom.mt_nc = 0;
  if (r_scratch.c1_natom < 1) return false;
  if (trace) trace_residue(mdoc);
  load_residue(contents, c);
  return true;
}

// The monomer's graph loaded; false, with nothing loaded, when L1 is empty.
bool take_library(int32_t mdoc, bool trace, bool contents, Counts& c) {
  mtc_atom.mt_nl = 0;
  if (r_scratch.l1a_natom < 1) return false;
  if (trace) trace_library(mdoc);
  load_library(contents, c);
  return true;
}

void trace_corners(int32_t mdoc) {
  trace_corner(mdoc, false);
  trace_corner(mdoc, true);
}

// Mode "CRD ": the three index strings of the residue alone.  A graph of
// fewer than two atoms keeps the start values of c_index and c_pair.
void index_residue(int32_t mdoc, bool trace, Counts& c) {
  mtc_atom_t& mt = mtc_atom;
  if (!take_residue(mdoc, trace, true, c)) return;
  make_content(c);
  if (trace) msgdoc_(mdoc, rt::fmt("('crd -->',A30,';')", mt.c_content));
  if (mt.mt_nc < 2) return;
  set_tabconn_c_();
  if (trace) trace_corners(mdoc);
  set_vector_c_(c.ipair1);
  create_index_(mt.mt_cnt_c, mt.c_index, c.ipair1, mt.c_pair);
}

// Mode "LIB ": the same for the monomer alone.
void index_library(int32_t mdoc, bool trace, Counts& c) {
  mtc_atom_t& mt = mtc_atom;
  if (!take_library(mdoc, trace, true, c)) return;
  make_content(c);
  if (trace) msgdoc_(mdoc, rt::fmt("('lib -->',A30,';')", mt.c_content));
  if (mt.mt_nl < 2) return;
  set_tabconn_l_();
  if (trace) trace_corners(mdoc);
  set_vector_l_(c.ipair2);
  create_index_(mt.mt_cnt_l, mt.c_index, c.ipair2, mt.c_pair);
  if (trace) {
    msgdoc_(mdoc, rt::fmt("('-->',A24,';')", mt.c_index));
    msgdoc_(mdoc, rt::fmt("('  ;',A24,';')", mt.c_pair));
  }
}

// A side of at most one heavy atom: only one atom against one can match.
// Equal names return at once with status 0 and nothing transferred, and so
// do two atoms of different classes (no correspondence, yet no failure).
int32_t match_single_atoms(int32_t mdoc, int32_t m, int32_t isyn, std::string_view mon) {
  mtc_atom_t& mt = mtc_atom;
  if (mt.mt_nc == 1 && mt.mt_nl == 1) {
    if (mt.mt_cname(1) == mt.mt_lname(1)) {
      // Nothing to rename, but C2 must be this residue's copy: the callers
      // compare its names with C1's.  C1 holds this atom, so the copy
      // cannot fail.
      int32_t ierr = 0;
      if (isyn != 1) copyc2_(mdoc, ierr);
      return ierr;
    }
    if (mt.mt_cls_c(1) != mt.mt_cls_l(1)) return 0;
    mt.mt_corr(1) = 1;
    if (isyn != 1) transfer(mdoc, m, isyn, mon);
    return 0;
  }
  if (mt.mt_nc <= 0 || mt.mt_nl <= 0) return kNoMatch;
  return mt.mt_nc == 1 ? kResidueSingleAtom : kLibrarySingleAtom;
}

// Graphs that cannot match by their sizes or their rarer elements.  Atoms
// left out for occupancy count on the residue side, so a residue that lost
// atoms to zero occupancy still compares; carbon, nitrogen and oxygen counts
// may differ (the size test bounds them).
int32_t compare_counts(const Counts& c) {
  mtc_atom_t& mt = mtc_atom;
  if (std::abs(c.nocc + mt.mt_nc - mt.mt_nl) > 2) return kHeavyCountsDiffer;
  // More element symbols than the table holds: the counts cannot be compared.
  if (c.elements_full) return kElementCountsDiffer;
  for (int k = 1; k <= mt.mt_nel; ++k) {
    if (mt.mt_elsymb(k) == "C" || mt.mt_elsymb(k) == "N" || mt.mt_elsymb(k) == "O") continue;
    if (mt.mt_elc(k) != mt.mt_ell(k)) return kElementCountsDiffer;
  }
  return 0;
}

// Distance tables and neighbour vectors of both sides.  The trace of the
// vectors leaves the library side's strings in c_index and c_pair.
void build_both_tables(int32_t mdoc, bool trace, Counts& c) {
  mtc_atom_t& mt = mtc_atom;
  set_tabconn_c_();
  set_tabconn_l_();
  if (trace) trace_corners(mdoc);
  set_vector_c_(c.ipair1);
  set_vector_l_(c.ipair2);
  if (trace) {
    trace_vectors(mdoc, false);
    trace_index(mdoc, mt.mt_cnt_c, c.ipair1);
    trace_vectors(mdoc, true);
    msgerr_(mdoc, " ----------");
    trace_index(mdoc, mt.mt_cnt_l, c.ipair2);
  }
}

// One library partner for every residue atom, or the status of the first
// failure: 3 or 4 from check_equiv_, kNoMatch when a round matches nothing
// more.
int32_t assign_atoms(int32_t mdoc, bool trace, Counts& c) {
  mtc_atom_t& mt = mtc_atom;
  comp_vector_();
  if (trace) trace_candidates(mdoc);
  for (int i = 1; i <= mt.mt_nc; ++i) mt.mt_corr(i) = 0;
  int32_t n_new = 0, iflag = 0, ierr = 0;
  do {
    check_equiv_(mdoc, n_new, iflag, c.iscore, ierr);
    if (ierr != 0) return ierr;
  } while (n_new < mt.mt_nc && iflag == 1);
  if (trace) {
    msgerr_(mdoc, rt::fmt("('  ISCORE : ',I5)", c.iscore));
    trace_matches(mdoc, "");
  }
  return n_new < mt.mt_nc ? kNoMatch : 0;
}

// Blank mode: the residue matched atom by atom to the monomer, then (unless
// isyn is 1) its coordinates lent and the library names taken.  An empty C1
// or L1 returns status 0 with nothing compared, as the callers expect of a
// residue or monomer not yet read.
int32_t match_residue(int32_t mdoc, bool trace, int32_t m, int32_t isyn, std::string_view mon,
                      Counts& c) {
  mtc_atom_t& mt = mtc_atom;
  if (!take_residue(mdoc, trace, false, c)) return 0;
  if (!take_library(mdoc, trace, false, c)) return 0;
  if (mt.mt_nc <= 1 || mt.mt_nl <= 1) return match_single_atoms(mdoc, m, isyn, mon);
  if (trace) trace_elements(mdoc, c);
  if (const int32_t st = compare_counts(c)) return st;
  build_both_tables(mdoc, trace, c);
  if (const int32_t st = assign_atoms(mdoc, trace, c)) return st;
  prefer_own_names();
  if (trace) trace_matches(mdoc, " NEW --- : ");
  if (isyn != 1) transfer(mdoc, m, isyn, mon);
  return 0;
}

}  // namespace

void create_index_(const rt::Array1<int32_t, 8>& index, rt::FixedText<24>& c_index,
                   const rt::Array1<int32_t, 8>& ipair, rt::FixedText<24>& c_pair) {
  auto field = [](int32_t value, rt::FixedText<24>& out, int i) {
    rt::FixedText<4> f;
    const int32_t v = value / 2;
    if (v > 999) {
      f = "9999";
    } else {
      rt::write_to(f.ref(), "(I4)", v);
      if (f(2) == ' ') f(2) = '0';
      if (f(3) == ' ') f(3) = '0';
    }
    out.sub(3 * i - 2, 3 * i).assign(f.sub(2, 4));
  };
  for (int i = 1; i <= 8; ++i) {
    field(index(i), c_index, i);
    field(ipair(i), c_pair, i);
  }
}

void check_synonym_(int32_t& it, std::string_view mon, std::string_view monn, std::string_view atom,
                    std::string_view aatom) {
  r_scratch_t& r = r_scratch;
  if (r.lms_nsyn >= MAXMLIST) {
    it = 2;
    return;
  }
  it = 0;
  for (int s = 1; s <= r.lms_nsyn; ++s) {
    if (r.lms_mname(s) == mon && r.lms_amname(s) == monn && r.lms_atom(s) == atom &&
        r.lms_aatom(s) == aatom) {
      it = 1;
      return;
    }
  }
}

void check_compl_(int32_t mdoc, char list, std::string_view mode, int32_t isyn,
                  std::string_view mon, int32_t& ierr) {
  const rt::FixedText<4> md(mode);
  const bool trace = list == 'T';
  ierr = 0;
  static Counts c;
  start_comparison(c);
  if (md == "CRD") {
    index_residue(mdoc, trace, c);
  } else if (md == "LIB") {
    index_library(mdoc, trace, c);
  } else {
    // The renaming report goes to the documentation file only unless the
    // caller asked for a listing.
    const int32_t m = (list == 'T' || list == 'L') ? mdoc : -std::abs(mdoc) - 1;
    ierr = match_residue(mdoc, trace, m, isyn, mon, c);
  }
}
