// Atom check of a residue against its library monomer.
#include "restraints/atom_check.h"

#include <algorithm>
#include <string>
#include <vector>

#include "dictionary/dict_index.h"
#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_numbering.h"
#include "dictionary/tree_numbering.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "output/cif_out_atoms.h"
#include "restraints/hydrogen_names.h"
#include "runtime/format.h"

namespace {

using Name = rt::FixedText<4>;

bool is_state(int32_t k, char a, char b = '\0') {
  const char s = r_scratch.c1_atype(k)(1);
  return s == a || (b != '\0' && s == b);
}

bool hydrogen_symbol(const Name& s) { return s.view().substr(0, 2) == "H "; }

// Every C1 atom that is a further conformer of atom n.
template <typename F>
void for_conformers(int32_t n, F f) {
  const r_scratch_t& r = r_scratch;
  for (int32_t k = 1; k <= r.c1_natom; ++k)
    if (r.c1_ialt(k) == n && k != n) f(k);
}

// Library chemistry and tree names of library atom i given to C1 atom j.
void take_library(int32_t i, int32_t j) {
  r_scratch_t& r = r_scratch;
  r.s1_ilib(j) = i;
  r.c1_asymb(j) = r.l1a_symb(i);
  r.s1_char(j) = r.l1a_charg(i);
  r.s1_chem(j) = r.l1a_chem(i);
  r.s1_back(j) = r.l1a_back(i);
  r.s1_forw(j) = r.l1a_forw(i);
  r.s1_ichem(j) = 0;
  r.c1_atype(j) = is_state(j, 'u') ? "R" : "Y";
}

// Scattering row of the model for element symb, appending the dictionary's
// row when the model lacks it; carbon when neither knows the element.
int32_t scattering_row(int32_t mdoc, Name& symb, int32_t& ierr) {
  int32_t insf = 0;
  get_sf_id_(mdoc, symb, insf, ierr);
  if (ierr == 0) return insf;
  crst_crd_t& c = crst_crd;
  Name asked = symb;
  int32_t lsf = 0, jerr = 0;
  chkasym_(mdoc, asked, lsf, jerr);
  if (jerr == 0 && lsf > 0 && c.cs_nsfatm < MAXNSF) {
    const r_scratch_t& r = r_scratch;
    const int32_t k = ++c.cs_nsfatm;
    c.cs_atype(k) = symb;
    c.cs_element(k) = symb;
    const float a[4] = {r.lsf_a1(lsf), r.lsf_a2(lsf), r.lsf_a3(lsf), r.lsf_a4(lsf)};
    const float b[4] = {r.lsf_b1(lsf), r.lsf_b2(lsf), r.lsf_b3(lsf), r.lsf_b4(lsf)};
    for (int m = 1; m <= 4; ++m) c.cs_a(m, k) = a[m - 1], c.cs_b(m, k) = b[m - 1];
    c.cs_c(k) = r.lsf_c(lsf);
    c.cs_fi(k) = r.lsf_fi(lsf);
    c.cs_fii(k) = r.lsf_fii(lsf);
    c.cs_radius(k) = r.lsf_rad(lsf);
    c.cs_nelec(k) = r.lsf_ne(lsf);
    ierr = 0;
    return k;
  }
  symb = "C";
  get_sf_id_(mdoc, symb, insf, ierr);
  return insf;
}

// The coordinate fields of C1 atom n for an atom the model lacks: none, of
// type 'M'.
void no_position(int32_t n) {
  r_scratch_t& r = r_scratch;
  for (int m = 1; m <= 3; ++m) r.c1_xyz(m, n) = 0;
  for (int m = 1; m <= 6; ++m) r.c1_anis(m, n) = 0;
  r.c1_biso(n) = r.c1_occ(n) = 0;
  // The slot may hold an atom of an earlier residue: a missing atom stands
  // on a general position, not on that atom's multiplicity.
  r.c1_user(n) = 1.001f;
  r.c1_atype(n) = "M";
  r.c1_btype(n) = "I";
  r.c1_fsc(n) = r.c1_fsa(n) = r.c1_fus(n) = "N";
}

// A C1 atom for library atom i that the model lacks; 0 when C1 is full.
int32_t append_missing(int32_t mdoc, int32_t i, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (r.c1_natom >= MX1ATOM) return 0;
  const int32_t n = ++r.c1_natom;
  r.c1_aname(n) = r.l1a_aname(i);
  corr_input_pdb_aname_(r.l1a_aname(i), r.l1a_symb(i), r.c1_aname_inp(n));
  r.c1_asymb(n) = r.l1a_symb(i);
  r.c1_nalt(n) = 1;
  r.c1_ialt(n) = 0;
  no_position(n);
  r.c1_alt(n) = ".";
  r.c1_corr(n) = ".";
  initone_(n);
  r.s1_icrd(n) = 0;
  r.l1a_icr(i) = n;
  r.s1_ilib(n) = i;
  r.s1_chem(n) = r.l1a_chem(i);
  r.s1_char(n) = r.l1a_charg(i);
  r.s1_back(n) = r.l1a_back(i);
  r.s1_forw(n) = r.l1a_forw(i);
  r.c1_sf_id(n) = scattering_row(mdoc, r.c1_asymb(n), ierr);
  return n;
}

// A missing hydrogen on a parent with several conformers: the atom takes
// the first conformer's codes and one copy follows for each further
// conformer, as an alternate of the first, while C1 has room.
void split_hydrogen(int32_t n) {
  r_scratch_t& r = r_scratch;
  const Name sym = r.c1_asymb(n);
  if (!(sym == "H" || sym == "D")) return;
  int32_t parent = 0;
  for (int32_t k = 1; k < n && parent == 0; ++k)
    if (r.c1_aname(k) == r.s1_back(n) && r.c1_ialt(k) == 0) parent = k;
  if (parent == 0 || r.c1_nalt(parent) < 2) return;
  r.c1_alt(n) = r.c1_alt(parent);
  r.c1_corr(n) = r.c1_corr(parent);
  r.c1_nalt(n) = 1;
  for (int32_t q = parent + 1; q < n && r.c1_natom < MX1ATOM; ++q) {
    if (r.c1_ialt(q) != parent) continue;
    const int32_t m = ++r.c1_natom;
    r.c1_aname(m) = r.c1_aname(n);
    r.c1_aname_inp(m) = r.c1_aname_inp(n);
    r.c1_asymb(m) = r.c1_asymb(n);
    r.c1_sf_id(m) = r.c1_sf_id(n);
    no_position(m);
    r.c1_alt(m) = r.c1_alt(q);
    r.c1_corr(m) = r.c1_corr(q);
    r.c1_nalt(m) = 0;
    r.c1_ialt(m) = n;
    ++r.c1_nalt(n);
    initone_(m);
    r.s1_icrd(m) = 0;
    r.s1_ilib(m) = r.s1_ilib(n);
    r.s1_chem(m) = r.s1_chem(n);
    r.s1_char(m) = r.s1_char(n);
    r.s1_back(m) = r.s1_back(n);
    r.s1_forw(m) = r.s1_forw(n);
  }
}

void match_library(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.l1a_natom; ++i) {
    r.l1a_icr(i) = 0;
    int32_t j = 0;
    for (int32_t k = 1; k <= r.c1_natom && j == 0; ++k)
      if (r.c1_aname(k) == r.l1a_aname(i)) j = k;
    if (j > 0) {
      if (r.c1_nalt(j) > 0) {
        r.l1a_icr(i) = j;
        r.l1a_atype(i) = "Y";
      }
      take_library(i, j);
      r.l1a_coor_flag(i) = r.c1_occ(j) > 0.0001f ? "Y" : "N";
      r.l1a_x(i) = r.c1_xyz(1, j);
      r.l1a_y(i) = r.c1_xyz(2, j);
      r.l1a_z(i) = r.c1_xyz(3, j);
      r.c1_code1 = r.l1l_code1;
      for (int32_t k = j + 1; k <= r.c1_natom; ++k) {
        if (!(r.c1_aname(k) == r.l1a_aname(i))) continue;
        take_library(i, k);
        if (r.c1_nalt(k) > 0) r.l1a_icr(i) = k;
      }
      continue;
    }
    const int32_t n = append_missing(mdoc, i, ierr);
    if (n > 0) {
      split_hydrogen(n);
      continue;
    }
    const std::string head =
        " WARNING: number of atoms of monomer " + std::string(r.c1_pnum.view()) + " >";
    foundation::table_full(mdoc, head, MX1ATOM, "",
                           {.constant = "MX1ATOM", .header = "lib_com", .indent = 9});
    r.l1a_atype(i) = "D";
  }
}

void mark_deleted(int32_t n, bool clear_library) {
  r_scratch_t& r = r_scratch;
  r.c1_atype(n) = "D";
  if (clear_library) r.s1_ilib(n) = 0;
}

void apply_deletions() {
  r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.l1a_natom; ++i) {
    const int32_t n = r.l1a_icr(i);
    if (!(r.l1a_atype(i) == "D") || n < 1) continue;
    const bool missing = is_state(n, 'M', 'm');
    mark_deleted(n, missing);
    if (r.c1_nalt(n) > 1)
      for_conformers(n, [&](int32_t k) { mark_deleted(k, is_state(k, 'M', 'm')); });
  }
  // Residue atoms no library atom took.
  for (int32_t k = 1; k <= r.c1_natom; ++k) {
    if (!is_state(k, 'U', 'u')) continue;
    r.c1_atype(k) = "U";
    for (int32_t l = 1; l <= r.l1a_natom; ++l) {
      if (!(r.l1a_aname(l) == r.c1_aname(k))) continue;
      auto drop = [&](int32_t a) {
        r.c1_atype(a) = "D";
        r.s1_ilib(a) = l;
        r.c1_sf_id(a) = r.l1a_sf_id(l);
      };
      drop(k);
      for_conformers(k, drop);
      break;
    }
  }
}

int32_t g_replaced_hydrogens = 0;

// Every hydrogen rebuilt: the model's hydrogens give way to the monomer's
// own.  Those the monomer names are emptied, to be placed again from its
// ideal geometry; those it does not name (the names of another force field,
// which would stand beside the rebuilt ones) are dropped unwritten.
void replace_model_hydrogens() {
  r_scratch_t& r = r_scratch;
  auto empty = [&](int32_t k) {
    no_position(k);
    ++g_replaced_hydrogens;
  };
  for (int32_t i = 1; i <= r.l1a_natom; ++i) {
    const int32_t j = r.l1a_icr(i);
    if (r.l1a_atype(i) == "D" || j < 1 || !hydrogen_symbol(r.c1_asymb(j)) || is_state(j, 'M', 'm'))
      continue;
    r.l1a_coor_flag(i) = "N";
    empty(j);
    for_conformers(j, [&](int32_t k) {
      if (!is_state(k, 'M', 'm')) empty(k);
    });
  }
  for (int32_t k = 1; k <= r.c1_natom; ++k) {
    if (!is_state(k, 'U', 'u') || !hydrogen_symbol(r.c1_asymb(k))) continue;
    mark_deleted(k, true);
    ++g_replaced_hydrogens;
  }
}

void hydrogen_policy(char msg, bool built) {
  r_scratch_t& r = r_scratch;
  const char flag = crdinf.cr_hflag(1);
  // The checks made again to describe links meet the hydrogens this run
  // placed, which stay.  A monomer built in this run has the model's own
  // hydrogens for its description: they stay where they stand, as a run on
  // the written model builds it from them again.
  if (flag == 'A') {
    if (msg == 'Y' && !built) replace_model_hydrogens();
    return;
  }
  for (int32_t i = 1; i <= r.l1a_natom; ++i) {
    const int32_t j = r.l1a_icr(i);
    if (r.l1a_atype(i) == "D" || j < 1 || !hydrogen_symbol(r.c1_asymb(j))) continue;
    if (!is_state(j, 'M', 'm') && flag != 'N') continue;
    mark_deleted(j, true);
    for_conformers(j, [](int32_t k) { mark_deleted(k, true); });
    r.l1a_atype(i) = "D";
  }
}

// Places in the residue's atom order: the monomer's tree order, except for
// a monomer built in this run from the coordinates, whose atoms keep the
// order in which the model gives them.  The builder's tree follows the order
// of the atoms it is given, so a run on the coordinate file written here
// builds the same tree, with the same torsions and chiral centres.
void new_order(bool read_order) {
  r_scratch_t& r = r_scratch;
  std::vector<int32_t> kept;
  for (int32_t i = 1; i <= r.l1a_natom; ++i) {
    const int32_t j = r.l1a_icr(i);
    if (r.l1a_atype(i) == "D" || j < 1) continue;
    kept.push_back(i);
  }
  int32_t m = 0;
  for (const int32_t i : kept) r.l1a_inew(++m) = i;
  if (read_order)
    std::stable_sort(kept.begin(), kept.end(), [&](int32_t a, int32_t b) { return r.l1a_icr(a) < r.l1a_icr(b); });
  int32_t k = 0;
  for (const int32_t i : kept) {
    const int32_t j = r.l1a_icr(i);
    ++k;
    r.s1_inew(k) = j;
    r.s1_iold(j) = k;
    r.c1_asymb(j) = r.l1a_symb(i);
    if (r.c1_nalt(j) <= 1) continue;
    for (int32_t ic = 1; ic <= r.c1_natom && k < MX1ATOM; ++ic) {
      if (r.c1_ialt(ic) != j) continue;
      ++k;
      r.s1_inew(k) = ic;
      r.s1_iold(ic) = k;
      r.c1_asymb(ic) = r.l1a_symb(i);
    }
  }
  r.c1_igatm = k;
  r.l1a_igatm = m;
}

// A monomer the run built itself, flagged for the new library.
bool built_in_this_run(std::string_view mon) {
  bool built = false;
  dictionary::list_entries(mon, [&](int32_t l) { built = built || r_scratch.lml_fuse(l) == "C"; });
  return built;
}

struct Reports {
  int32_t mdoc;
  std::string_view mon;
  int32_t cap;
};

void report(const Reports& rep, int32_t& printed, std::string_view lead, std::string_view name,
            std::string_view what) {
  if (printed >= rep.cap) return;
  ++printed;
  const r_scratch_t& r = r_scratch;
  const rt::FixedText<8> mon(rep.mon);
  std::string line(lead);
  line.append(Name(name).view()).append(" ").append(mon.view()).append(" ");
  line.append(r.c1_pnum.sub(3, 7)).append(" ").append(r.c1_pnum.sub(8, 11));
  line.append(" is ").append(what);
  msgdoc_(rep.mdoc, line);
  if (printed == rep.cap) msgdoc_(rep.mdoc, "  ... and more ...");
}

void reports(const Reports& rep, char msg, int32_t& ipr_miss, int32_t& ipr_abs, int32_t& ipr_del,
             int32_t& na_miss, int32_t& na_abs, int32_t& na_del) {
  r_scratch_t& r = r_scratch;
  const bool say = msg == 'Y';
  for (int32_t ic = 1; ic <= r.c1_natom; ++ic) {
    if (is_state(ic, 'M', 'm')) {
      r.c1_atype(ic) = "M";
      if (say && !hydrogen_symbol(r.c1_asymb(ic))) {
        report(rep, ipr_miss, " ATTENTION: atom:", r.c1_aname(ic), "missing in the structure");
        ++na_miss;
      }
    } else if (is_state(ic, 'D') && r.s1_ilib(ic) > 0) {
      if (say) {
        report(rep, ipr_del, " WARNING : atom :", r.c1_aname(ic), "deleted from the structure");
        ++na_del;
      }
    } else if (is_state(ic, 'U', 'u')) {
      r.c1_atype(ic) = "U";
      if (!say) continue;
      r.s1_hbt(ic) = ".";
      r.s1_id_psi(ic) = "?";
      const int32_t sf = r.c1_sf_id(ic);
      if (sf >= 1 && sf <= crst_crd.cs_nsfatm) {
        r.c1_asymb(ic) = crst_crd.cs_atype(sf);
        r.s1_chem(ic) = crst_crd.cs_atype(sf);
      }
      if (!hydrogen_symbol(r.c1_asymb(ic))) {
        report(rep, ipr_abs, " WARNING : atom :", r.c1_aname(ic), "absent in the library");
        ++na_abs;
        const std::string element(r.c1_asymb(ic).trimmed());
        restraints::unnamed_heavy_atoms().add(r.c1_aname(ic).view(), rep.mon, r.c1_pnum.view(),
                                              "(element " + element + ")");
      } else {
        restraints::unnamed_hydrogens().add(r.c1_aname(ic).view(), rep.mon, r.c1_pnum.view());
      }
    }
  }
}

// Conformers that may be bonded: either one has a single conformer, or both
// carry the same alternate and correction codes.
bool compatible(int32_t a, int32_t b) {
  const r_scratch_t& r = r_scratch;
  auto single = [&](int32_t k) { return r.c1_nalt(k) < 2 && r.c1_ialt(k) < 1; };
  return single(a) || single(b) || (r.c1_alt(a) == r.c1_alt(b) && r.c1_corr(a) == r.c1_corr(b));
}

// The new-order atom a tree name points to from atom j: the first of that
// name, or the last of its conformers with j's codes.
int32_t tree_partner(int32_t j, const Name& name) {
  const r_scratch_t& r = r_scratch;
  int32_t first = 0;
  for (int32_t p = 1; p <= r.c1_igatm && first == 0; ++p)
    if (r.c1_aname(r.s1_inew(p)) == name) first = r.s1_inew(p);
  if (first == 0 || r.c1_nalt(first) < 2) return first;
  int32_t found = first;
  for (int32_t p = 1; p <= r.c1_igatm; ++p) {
    const int32_t c = r.s1_inew(p);
    if (r.c1_ialt(c) == first && r.c1_alt(c) == r.c1_alt(j) && r.c1_corr(c) == r.c1_corr(j))
      found = c;
  }
  return found;
}

void overflow_warning(int32_t mdoc, int32_t atom, int32_t limit) {
  msgdoc_(mdoc,
          rt::fmt("(A,A4,A,I3,A)", " WARNING: atom ", r_scratch.c1_aname(atom),
                  " has more conformer partners than ", limit, " places; the rest is left out"));
}

void tree_links(int32_t mdoc) {
  r_scratch_t& r = r_scratch;
  int32_t nstart = 0, nend = 0;
  for (int32_t p = 1; p <= r.c1_igatm; ++p) {
    const int32_t j = r.s1_inew(p);
    if (r.s1_back(j) == ".") {
      r.s1_istart(++nstart) = j;
      r.s1_iback(j) = -1;
    } else {
      r.s1_iback(j) = tree_partner(j, r.s1_back(j));
    }
    if (r.s1_forw(j) == "END") {
      r.s1_ifinish(++nend) = j;
      r.s1_iforw(j) = -1;
    } else if (r.s1_forw(j) == "." || r.s1_forw(j).is_blank()) {
      r.s1_iforw(j) = 0;
    } else {
      r.s1_iforw(j) = tree_partner(j, r.s1_forw(j));
    }
  }
  int32_t k = r.c1_igatm;
  for (int32_t ic = 1; ic <= r.c1_natom && k < MX1ATOM; ++ic)
    if (is_state(ic, 'U')) {
      r.s1_inew(++k) = ic;
      r.s1_iold(ic) = k;
    }
  for (int32_t p = 1; p <= r.c1_igatm; ++p) {
    const int32_t ic = r.s1_inew(p);
    const int32_t l = r.s1_ilib(ic);
    if (l < 1) continue;
    r.s1_ndist(ic) = 0;
    bool warned = false;
    for (int32_t kk = 1; kk <= r.l1a_ndist(l) && kk <= MX1BRN; ++kk) {
      const int32_t n = r.l1a_conn(kk, l);
      if (n < 1 || r.l1a_atype(n) == "D") continue;
      for (int32_t q = 1; q <= r.c1_igatm; ++q) {
        const int32_t c = r.s1_inew(q);
        if (!(r.c1_aname(c) == r.l1a_aname(n)) || !compatible(ic, c)) continue;
        const int32_t lc = r.s1_ilib(c);
        if ((lc > 0 ? r.l1a_iback(lc) : 0) == n) continue;
        if (r.s1_ndist(ic) >= MX1BRN) {
          if (!warned) overflow_warning(mdoc, ic, MX1BRN);
          warned = true;
          continue;
        }
        r.s1_conn(++r.s1_ndist(ic), ic) = c;
      }
    }
  }
  for (int32_t e = 1; e <= r.l1n_nconn; ++e) {
    const int32_t i1 = r.l1n_i1atm(e), i2 = r.l1n_i2atm(e);
    if ((i1 > 0 && r.l1a_atype(i1) == "D") || (i2 > 0 && r.l1a_atype(i2) == "D")) continue;
    for (int32_t pa = 1; pa <= r.c1_igatm; ++pa) {
      const int32_t a = r.s1_inew(pa);
      if (!(r.c1_aname(a) == r.l1n_1atm(e))) continue;
      for (int32_t pb = 1; pb <= r.c1_igatm; ++pb) {
        const int32_t b = r.s1_inew(pb);
        if (!(r.c1_aname(b) == r.l1n_2atm(e)) || !compatible(a, b)) continue;
        if (r.s1_nextr(a) >= MX1EXT || r.s1_nextr(b) >= MX1EXT) {
          overflow_warning(mdoc, r.s1_nextr(a) >= MX1EXT ? a : b, MX1EXT);
          continue;
        }
        r.s1_iextr(++r.s1_nextr(a), a) = b;
        r.s1_iextr(++r.s1_nextr(b), b) = a;
      }
    }
  }
}

void trace(int32_t mdoc) {
  const r_scratch_t& r = r_scratch;
  msgdoc_(mdoc, " --- CHKLST: new order, atom, state, library atom, back, forward ---");
  for (int32_t p = 1; p <= r.c1_igatm; ++p) {
    const int32_t k = r.s1_inew(p);
    msgdoc_(mdoc, rt::fmt("(I5,1X,A4,1X,A1,1X,A1,I5,2I5)", p, r.c1_aname(k), r.c1_atype(k),
                          r.c1_alt(k), r.s1_ilib(k), r.s1_iback(k), r.s1_iforw(k)));
  }
}

}  // namespace

void initcs_() {
  r_scratch_t& r = r_scratch;
  for (int32_t k = 1; k <= MX1ATOM; ++k) {
    r.c1_atype(k) = r.c1_atype(k) == "m" ? "u" : "U";
    r.s1_dist(k) = r.s1_tht(k) = -1.0f;
    r.s1_vdw(k) = r.s1_ion(k) = r.s1_char(k) = 0.0f;
    r.s1_ilib(k) = r.s1_inew(k) = r.s1_iold(k) = 0;
    r.s1_iback(k) = r.s1_iforw(k) = r.s1_ndist(k) = r.s1_nextr(k) = 0;
    r.s1_istart(k) = r.s1_ifinish(k) = 0;
    r.s1_conn_s(k) = r.s1_conn_f(k) = 0;
    for (int m = 1; m <= MX1BRN; ++m) r.s1_conn(m, k) = r.s1_lencon(m, k) = 0;
    for (int m = 1; m <= MX1EXT; ++m) r.s1_iextr(m, k) = 0;
  }
  r.s1_ftree = "N";
}

void initone_(int32_t ic) {
  r_scratch_t& r = r_scratch;
  r.s1_back(ic) = "?";
  r.s1_forw(ic) = "?";
  r.s1_chem(ic) = "-";
  r.s1_hbt(ic) = ".";
  r.s1_id_psi(ic) = "?";
  r.s1_ilib(ic) = r.s1_inew(ic) = r.s1_iold(ic) = r.s1_ichem(ic) = 0;
  r.s1_iback(ic) = r.s1_ndist(ic) = r.s1_nextr(ic) = 0;
  for (int m = 1; m <= MX1BRN; ++m) r.s1_conn(m, ic) = 0;
  for (int m = 1; m <= MX1EXT; ++m) r.s1_iextr(m, ic) = 0;
  r.s1_dist(ic) = r.s1_tht(ic) = -1.0f;
  r.s1_vdw(ic) = r.s1_ion(ic) = r.s1_char(ic) = 0.0f;
}

namespace restraints {

int32_t& replaced_hydrogens() { return g_replaced_hydrogens; }

}  // namespace restraints

void corr_input_pdb_aname_(std::string_view aname, std::string_view asymb, rt::FixedText<4>& atom) {
  const std::size_t lead = aname.find_first_not_of(' ');
  const std::string_view name = lead == std::string_view::npos ? "" : aname.substr(lead);
  const int la = rt::len_trim(asymb);
  const int ln = rt::len_trim(name);
  atom = name;
  if (la >= 2) return;
  const rt::FixedText<4> sym(asymb);
  if (ln == 4 && (sym == "H" || sym == "D")) {
    const rt::FixedText<4> n(name);
    atom(1) = n(4);
    atom(2) = n(1);
    atom(3) = n(2);
    atom(4) = n(3);
  }
  for (int c = 4; c >= 2 && atom(c) == ' '; --c) atom(c) = '_';
}

void chklst_(int32_t mdoc, std::string_view mon, int32_t& ipr_miss, int32_t& ipr_abs,
             int32_t& ipr_del, int32_t& na_miss, int32_t& na_abs, int32_t& na_del, char msg,
             char list, int32_t& ierr) {
  ierr = 0;
  const Reports rep{mdoc, mon, list == 'T' ? 50 : 20};
  initcs_();
  restraints::older_hydrogen_names(mon, msg == 'Y');
  match_library(mdoc, ierr);
  apply_deletions();
  const bool built = built_in_this_run(mon);
  hydrogen_policy(msg, built);
  new_order(built);
  reports(rep, msg, ipr_miss, ipr_abs, ipr_del, na_miss, na_abs, na_del);
  r_scratch_t& r = r_scratch;
  set_num_(mdoc, mon, r.c1_pnum, ierr);
  if (ierr != 0) return;
  set_num_lib_(mdoc, list);
  if (r.c1_igatm < 1) {
    ierr = 1;
    return;
  }
  ++r.c1_igres;
  tree_links(mdoc);
  if (list == 'T') trace(mdoc);
}

namespace restraints {

void UnnamedAtoms::clear() {
  count_ = 0;
  for (std::string& s : first_) s.clear();
}

void UnnamedAtoms::add(std::string_view atom, std::string_view mon, std::string_view pnum,
                       std::string_view note) {
  if (count_++ >= kListed) return;
  const rt::FixedText<12> num(pnum);
  std::string& s = first_[count_ - 1];
  for (std::string_view part : {atom, mon, num.sub(3, 7), num.sub(8, 11), note}) {
    const std::string_view t = rt::trim(part);
    if (t.empty()) continue;
    if (!s.empty()) s += ' ';
    s += t;
  }
}

std::string UnnamedAtoms::listed() const {
  std::string out;
  for (int k = 0; k < kListed && k < count_; ++k) out += (k > 0 ? ", " : "") + first_[k];
  if (count_ > kListed) out += ", ...";
  return out;
}

UnnamedAtoms& unnamed_hydrogens() {
  static UnnamedAtoms h;
  return h;
}

UnnamedAtoms& unnamed_heavy_atoms() {
  static UnnamedAtoms a;
  return a;
}

UnnamedAtoms& renamed_hydrogens() {
  static UnnamedAtoms h;
  return h;
}

}  // namespace restraints
