// Bond typing.  The coordinate route trusts the energy library over the
// element rules: the row of nearest ideal length decides, the element rules
// only answer where no row applies.  The conjugation pass then repairs what
// lengths alone get wrong at chain carbons, ring edges and nitrogen.
#include "builder/bond_types.h"

#include <cmath>
#include <string>
#include <vector>

#include "builder/chem_text.h"
#include "builder/conjugation.h"
#include "builder/given_hydrogens.h"
#include "builder/metals.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/lib_com.h"
#include "foundation/messages.h"

namespace {

using builder::begins;
using builder::elem2;
using builder::is_arom;
using builder::is_elem;
using builder::Name;
using builder::nb;
using builder::Word;

constexpr std::string_view kEnergyFile = "\"ener_lib.cif\"";

// The first two characters of the element of energy type k; blank when k is no type.
std::string_view type_elem(int k) {
  const r_scratch_t& r = r_scratch;
  if (k < 1 || k > r.lea_natom) return "  ";
  return r.lea_ename(k).view().substr(0, 2);
}

bool single_by_partner(const Name& s) {
  return is_elem(s, "H ") || is_elem(s, "D ") || is_elem(s, "F ") || is_elem(s, "CL") ||
         is_elem(s, "I ") || is_elem(s, "BR") || is_elem(s, "B ");
}

// Bond row of atoms i and j; sets ierr to the search status when it fails,
// keeping an earlier failure.
int bond_of(int32_t mdoc, int i, int j, int32_t& ierr) {
  float val = 0.0f;
  int32_t lb = 0, st = 0;
  srch_bond_(mdoc, r_scratch.l1l_mname.view(), i, j, val, lb, st);
  if (st != 0) {
    if (ierr == 0) ierr = st;
    return 0;
  }
  return lb;
}

// The element rules of the coordinate route; "." where they say nothing.
Word element_rule(int a, int b) {
  const r_scratch_t& r = r_scratch;
  const Name &sa = r.l1a_symb(a), &sb = r.l1a_symb(b);
  const int na = r.l1a_ndist(a), nbn = r.l1a_ndist(b);
  auto when = [](bool c) { return Word(c ? "single" : "."); };
  if (single_by_partner(sa) || single_by_partner(sb)) return Word("single");
  if (is_elem(sa, "O ")) return when(na == 2);
  if (is_elem(sb, "O ")) return when(nbn == 2);
  if (is_elem(sa, "C ")) return when(na == 4);
  if (is_elem(sb, "C ")) return when(nbn == 4);
  if (is_elem(sa, "N ")) return when(na == 4);
  if (is_elem(sb, "N ")) return when(nbn == 4);
  if (is_elem(sa, "S ")) return when(na == 2);
  if (is_elem(sb, "S ")) return when(nbn == 2);
  if (is_elem(sa, "SE")) return when(na == 2);
  if (is_elem(sb, "SE")) return when(nbn == 2);
  return Word(".");
}

bool pair_elements(int k, std::string_view ea, std::string_view eb) {
  const r_scratch_t& r = r_scratch;
  const std::string_view t1 = type_elem(r.leb_i1atm(k)), t2 = type_elem(r.leb_i2atm(k));
  return (t1 == ea && t2 == eb) || (t1 == eb && t2 == ea);
}

// Library type of one bond of length d between elements ea and eb: the row of
// nearest length, else the nearest pair of half-bond rows, else a metal row.
Word library_type(Word order, std::string_view ea, std::string_view eb, float d) {
  const r_scratch_t& r = r_scratch;
  float best = 1.0e32f;
  for (int k = 1; k <= r.leb_nbond; ++k) {
    if (!pair_elements(k, ea, eb)) continue;
    const bool sp = begins(r.leb_1atm(k).view(), "CSP") || begins(r.leb_1atm(k).view(), "NS") ||
                    begins(r.leb_2atm(k).view(), "CSP") || begins(r.leb_2atm(k).view(), "NS");
    if (sp && !begins(r.leb_type(k).view(), "trip")) continue;
    const float diff = std::fabs(d - r.leb_length(k));
    if (diff < best) {
      best = diff;
      order = r.leb_type(k);
    }
  }
  if (order(1) == '.') {
    for (int k = 1; k <= r.leb_nbond; ++k) {
      if (r.leb_2atm(k)(1) != '.' || type_elem(r.leb_i1atm(k)) != ea) continue;
      for (int m = 1; m <= r.leb_nbond; ++m) {
        if (r.leb_2atm(m)(1) != '.' || type_elem(r.leb_i1atm(m)) != eb) continue;
        if (r.leb_type(m).view().substr(0, 4) != r.leb_type(k).view().substr(0, 4)) continue;
        const float diff = std::fabs((r.leb_length(k) + r.leb_length(m)) * 0.5f - d);
        if (diff < best) {
          best = diff;
          order = r.leb_type(k);
        }
      }
    }
  }
  if (order(1) == '.') {
    for (int k = 1; k <= r.leb_nbond; ++k) {
      const std::string_view t1 = type_elem(r.leb_i1atm(k)), t2 = type_elem(r.leb_i2atm(k));
      const bool touches = t1 == ea || t1 == eb || t2 == ea || t2 == eb;
      if (touches && begins(r.leb_type(k).view(), "metal")) return Word("metal");
    }
  }
  return order;
}

bool element_in_library(int i) {
  const r_scratch_t& r = r_scratch;
  const Name elem(std::string(elem2(r.l1a_symb(i))) + "  ");
  for (int k = 1; k <= r.lea_natom; ++k)
    if (r.lea_ename(k) == elem) return true;
  return false;
}

// Whether some atom's element is missing from the energy library.  Such an
// atom would take its bare element as a type and its bonds the model's
// lengths; whether that happens must not hang on a bond of the residue
// that no row types, which the hydrogens the model gives may settle.
bool element_missing() {
  for (int i = 1; i <= r_scratch.l1a_natom; ++i)
    if (!element_in_library(i)) return true;
  return false;
}

// The atoms whose element the library lacks, then every bond that no row
// typed, by its atoms and their elements: a library that has both elements
// may still lack a row that joins them (N-O, S-O), and the element lines
// alone would leave the user to guess which pair that was.
void report_incomplete_library(int32_t mdoc, const std::vector<int>& untyped) {
  const r_scratch_t& r = r_scratch;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    if (element_in_library(i)) continue;
    msgerr_(mdoc, "ERROR: Atom " + std::string(r.l1a_aname(i).trimmed()) + " with element name " +
                      std::string(elem2(r.l1a_symb(i))));
    msgerr_(mdoc, "       does not exist in theenergetic library " + std::string(kEnergyFile));
  }
  for (const int lb : untyped) {
    const int a = std::abs(r.l1b_i1atm(lb)), b = std::abs(r.l1b_i2atm(lb));
    msgerr_(mdoc, "ERROR: Bond " + std::string(r.l1a_aname(a).trimmed()) + " - " +
                      std::string(r.l1a_aname(b).trimmed()) + " of elements " +
                      std::string(rt::trim(elem2(r.l1a_symb(a)))) + " - " +
                      std::string(rt::trim(elem2(r.l1a_symb(b)))) + " fits no bond of " +
                      std::string(kEnergyFile));
  }
  msgerr_(mdoc, "ERROR: Energetic library - " + std::string(kEnergyFile) + " is incomplete");
}

void set_type(int lb, const char* t, bool& changed) {
  if (lb < 1) return;
  Word& w = r_scratch.l1b_type(lb);
  if (w == t) return;
  w = t;
  changed = true;
}

// Bonds around a triple bond, and bonds to hydrogen, are single.
void settle_triple_and_hydrogen(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  bool unused = false;
  for (int lb = 1; lb <= r.l1b_nbond; ++lb) {
    const int a = std::abs(r.l1b_i1atm(lb)), b = std::abs(r.l1b_i2atm(lb));
    if (begins(r.l1b_type(lb).view(), "trip")) {
      for (int end = 0; end < 2; ++end) {
        const int x = end == 0 ? a : b, other = end == 0 ? b : a;
        for (int j = 1; j <= r.l1a_ndist(x); ++j) {
          const int c = nb(j, x);
          if (c == other) continue;
          const int lc = bond_of(mdoc, x, c, ierr);
          if (lc > 0 && !begins(r.l1b_type(lc).view(), "meta")) set_type(lc, "single", unused);
        }
      }
    }
    const bool to_h = begins(r.l1a_symb(a).view(), "H ") || begins(r.l1a_symb(b).view(), "H ");
    if (to_h && !begins(r.l1b_type(lb).view(), "meta")) set_type(lb, "single", unused);
  }
}

void conjugate_carbon(int32_t mdoc, int ia, int32_t& ierr, bool& changed) {
  r_scratch_t& r = r_scratch;
  const int n = r.l1a_ndist(ia);
  int lbonds_loc[20] = {}, lat_loc[20] = {};
  for (int j = 1; j <= n && j <= 20; ++j) {
    lat_loc[j - 1] = nb(j, ia);
    lbonds_loc[j - 1] = bond_of(mdoc, ia, lat_loc[j - 1], ierr);
  }
  auto type = [&](int j) -> const Word& { return r.l1b_type(lbonds_loc[j - 1]); };
  auto is = [&](int j, const char* w) {
    return lbonds_loc[j - 1] > 0 && begins(type(j).view(), w);
  };
  auto arom = [&](int j) { return lbonds_loc[j - 1] > 0 && is_arom(type(j)); };
  if (n == 2) {
    if (is(1, "sing") && arom(2)) set_type(lbonds_loc[1], "double", changed);
    if (is(2, "sing") && arom(1)) set_type(lbonds_loc[0], "double", changed);
    if (is(1, "doub") && arom(2)) set_type(lbonds_loc[1], "single", changed);
    if (is(2, "doub") && arom(1)) set_type(lbonds_loc[0], "single", changed);
  } else if (n == 3 && r.l1a_nring(ia) > 0) {
    for (int j = 1; j <= 3; ++j)
      if (arom(j) && r.l1a_nring(lat_loc[j - 1]) == 0)
        set_type(lbonds_loc[j - 1], "single", changed);
    if (r.l1a_ichir(ia) == 0) {
      int nsing = 0, narom = 0, which = 0;
      for (int j = 1; j <= 3; ++j) {
        if (is(j, "sing")) ++nsing;
        if (arom(j)) {
          ++narom;
          which = j;
        }
      }
      if (nsing == 2 && narom == 1) set_type(lbonds_loc[which - 1], "double", changed);
    }
  }
}

void conjugate_nitrogen(int32_t mdoc, int ia, int32_t& ierr, bool& changed) {
  r_scratch_t& r = r_scratch;
  const int n = r.l1a_ndist(ia);
  int lbonds_loc[20] = {};
  for (int j = 1; j <= n && j <= 20; ++j) lbonds_loc[j - 1] = bond_of(mdoc, ia, nb(j, ia), ierr);
  if (n == 2 && r.l1a_nring(ia) > 0) {
    const int b1 = lbonds_loc[0], b2 = lbonds_loc[1];
    if (b1 < 1 || b2 < 1) return;
    if (begins(r.l1b_type(b1).view(), "sing") && is_arom(r.l1b_type(b2)) &&
        r.l1b_vobs(b2) < r.l1b_vobs(b1))
      set_type(b2, "double", changed);
    if (begins(r.l1b_type(b2).view(), "sing") && is_arom(r.l1b_type(b1)) &&
        r.l1b_vobs(b1) < r.l1b_vobs(b2))
      set_type(b1, "double", changed);
  } else if (n >= 3) {
    float sum = 0.0f;
    for (int j = 1; j <= n && j <= 20; ++j) {
      const int lb = lbonds_loc[j - 1];
      if (lb > 0) {
        const Word& t = r.l1b_type(lb);
        if (begins(t.view(), "sing")) sum += 1.0f;
        else if (begins(t.view(), "doub")) sum += 2.0f;
        else if (is_arom(t)) sum += 1.5f;
      }
      if (sum > 3.5f && sum <= 4.5f && r.l1a_charg(ia) == 0.0f) {
        r.l1a_charg(ia) = 1.0f;
        changed = true;
      }
    }
  }
}

// Every pass only turns aromatic or delocalised bonds into single or double
// ones, or sets a charge that was zero, so the passes come to an end.
void conjugation_passes(int32_t mdoc, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  bool changed = true;
  while (changed) {
    changed = false;
    for (int ia = 1; ia <= r.l1a_natom; ++ia) {
      if (r.l1a_ndist(ia) <= 1) continue;
      if (r.l1a_symb(ia) == "C") conjugate_carbon(mdoc, ia, ierr, changed);
      else if (r.l1a_symb(ia) == "N" && r.l1a_ichir(ia) == 0)
        conjugate_nitrogen(mdoc, ia, ierr, changed);
    }
  }
}

// Valence caps.  The bond table types each bond from its length alone, so
// the bonds of one atom can add up to more than the atom can carry (a urea
// carbon whose C-N and C=O lengths all fall nearest a double row).  An
// aromatic or delocalised bond counts one here: its second half may lie on
// another bond of its system, as at a ring-fusion carbon with three aromatic
// bonds.  Only C, N and O are capped.
enum class NitrogenCharge { Expected, AsSet };

// The most bond order atom ia may carry; 0 for an element left uncapped.
// Before the conjugation pass a flat nitrogen with three or more neighbours
// counts as charged, since that pass charges it once its bonds reach four.
int valence_limit(int ia, NitrogenCharge n) {
  const r_scratch_t& r = r_scratch;
  const Name& s = r.l1a_symb(ia);
  if (s == "C") return 4;
  if (s == "O") return 2;
  if (s == "N") {
    const bool charged = r.l1a_charg(ia) > 0.0f || (n == NitrogenCharge::Expected &&
                                                    r.l1a_ndist(ia) >= 3 && r.l1a_ichir(ia) == 0);
    return charged ? 4 : 3;
  }
  return 0;
}

int multiple_order(const Word& t) {
  if (begins(t.view(), "doub")) return 2;
  if (begins(t.view(), "trip")) return 3;
  return 1;
}

// Walks the bonds in the order the typing found them; a double or triple
// bond stays while both its atoms can still take it, otherwise it becomes
// single.  So at an over-valent atom the multiple bonds found first are kept
// and the later ones give way; except that a double bond to an oxygen with
// no other neighbour is taken before all others, because a carbonyl given
// way turns a base's keto oxygen into a hydroxyl restrained 0.12 A longer
// than it is (thymine O4, cytosine O2).  True when a bond changed.
bool keep_within_valence(NitrogenCharge n) {
  r_scratch_t& r = r_scratch;
  int carried[MAX1ATM + 1] = {};
  auto atoms_of = [&](int lb, int& a, int& b) {
    a = std::abs(r.l1b_i1atm(lb));
    b = std::abs(r.l1b_i2atm(lb));
    return a >= 1 && b >= 1 && a <= r.l1a_natom && b <= r.l1a_natom;
  };
  for (int lb = 1; lb <= r.l1b_nbond; ++lb) {
    int a = 0, b = 0;
    // A bond to a metal gives the metal a lone pair and takes no valence.
    if (!atoms_of(lb, a, b) || begins(r.l1b_type(lb).view(), "dumm") ||
        begins(r.l1b_type(lb).view(), "meta"))
      continue;
    ++carried[a];
    ++carried[b];
  }
  auto terminal_oxygen = [&](int ia) { return r.l1a_symb(ia) == "O" && r.l1a_ndist(ia) == 1; };
  bool changed = false;
  for (const bool carbonyl_pass : {true, false}) {
    for (int lb = 1; lb <= r.l1b_nbond; ++lb) {
      int a = 0, b = 0;
      const int extra = multiple_order(r.l1b_type(lb)) - 1;
      if (extra == 0 || !atoms_of(lb, a, b)) continue;
      if ((terminal_oxygen(a) || terminal_oxygen(b)) != carbonyl_pass) continue;
      auto fits = [&](int ia) {
        const int lim = valence_limit(ia, n);
        return lim == 0 || carried[ia] + extra <= lim;
      };
      if (fits(a) && fits(b)) {
        carried[a] += extra;
        carried[b] += extra;
      } else {
        r.l1b_type(lb) = "single";
        changed = true;
      }
    }
  }
  return changed;
}

int neighbours_without_metals(int ia) {
  const r_scratch_t& r = r_scratch;
  int n = 0;
  for (int j = 1; j <= r.l1a_ndist(ia); ++j)
    if (!is_it_metal_(r.l1a_symb(nb(j, ia)).view())) ++n;
  return n;
}

bool single_by_count(int ia, int n) {
  const Name& s = r_scratch.l1a_symb(ia);
  return (is_elem(s, "C ") && n == 4) || (is_elem(s, "O ") && n == 2) ||
         (is_elem(s, "N ") && n == 4) || (is_elem(s, "S ") && n == 2) ||
         (is_elem(s, "SE") && n == 2);
}

}  // namespace

void add_type_using_coord_(int32_t mdoc, char, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (r.l1b_nbond < 1) {
    ierr = 1;
    return;
  }
  for (int i = 1; i <= r.l1a_natom; ++i)
    if (begins(r.l1a_symb(i).view(), "N ") && r.l1a_ndist(i) == 4) r.l1a_charg(i) = 1.0f;

  std::vector<int> untyped;
  for (int lb = 1; lb <= r.l1b_nbond; ++lb) {
    if (!(r.l1b_type(lb).is_blank() || r.l1b_type(lb) == ".")) continue;
    const int a = std::abs(r.l1b_i1atm(lb)), b = std::abs(r.l1b_i2atm(lb));
    if (a < 1 || b < 1) continue;
    Word order = element_rule(a, b);
    order = library_type(order, elem2(r.l1a_symb(a)), elem2(r.l1a_symb(b)), r.l1b_vobs(lb));
    if (order(1) == '.') {
      order = "single";
      untyped.push_back(lb);
    }
    r.l1b_type(lb) = order;
  }
  if (!untyped.empty() || element_missing()) {
    report_incomplete_library(mdoc, untyped);
    ierr = 1;
    return;
  }
  // What the lengths allow, before the shape of the model settles it.
  std::vector<char> multiple(static_cast<std::size_t>(r.l1b_nbond) + 1, 0);
  for (int lb = 1; lb <= r.l1b_nbond; ++lb) multiple[lb] = !begins(r.l1b_type(lb).view(), "sing");
  settle_triple_and_hydrogen(mdoc, ierr);
  builder::settle_ring_systems();
  // Capped before the conjugation pass, so that its double bonds and
  // nitrogen charges follow from possible types; capped again after it with
  // the charges it set, until a cap changes nothing.
  keep_within_valence(NitrogenCharge::Expected);
  do {
    conjugation_passes(mdoc, ierr);
  } while (keep_within_valence(NitrogenCharge::AsSet));
  builder::orders_for_given_hydrogens(mdoc, multiple);
}

void add_type_using_list_(int32_t, char, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  for (int lb = 1; lb <= r.l1b_nbond; ++lb) {
    const int a = std::abs(r.l1b_i1atm(lb)), b = std::abs(r.l1b_i2atm(lb));
    if (a < 1 || b < 1) continue;
    const Name &sa = r.l1a_symb(a), &sb = r.l1a_symb(b);
    if (single_by_partner(sa) || single_by_partner(sb)) r.l1b_type(lb) = "single";
    else if (is_it_metal_(sa.view()) || is_it_metal_(sb.view())) r.l1b_type(lb) = "metal";
    else if (single_by_count(a, neighbours_without_metals(a)) ||
             single_by_count(b, neighbours_without_metals(b)))
      r.l1b_type(lb) = "single";
  }
  bool open = false;
  for (int lb = 1; lb <= r.l1b_nbond && !open; ++lb) open = builder::untyped_list(r.l1b_type(lb));
  if (!open) return;

  int max_ring = 0;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    const Name& s = r.l1a_symb(i);
    const int n = r.l1a_ndist(i);
    const bool flat = ((is_elem(s, "C ") || is_elem(s, "B ")) && n == 3) ||
                      (is_elem(s, "N ") && (n == 2 || n == 3));
    r.l1a_ichir(i) = flat ? -1 : 0;
    for (int k = 1; k <= r.l1a_nring(i) && k <= MAX1BRN; ++k)
      if (r.l1a_ring_id(k, i) > max_ring) max_ring = r.l1a_ring_id(k, i);
  }
  auto carries = [&](int ia, int ring) {
    for (int k = 1; k <= r.l1a_nring(ia) && k <= MAX1BRN; ++k)
      if (r.l1a_ring_id(k, ia) == ring) return true;
    return false;
  };
  for (int ring = 1; ring <= max_ring; ++ring) {
    bool all_flat = true;
    for (int i = 1; i <= r.l1a_natom && all_flat; ++i)
      if (carries(i, ring) && r.l1a_ichir(i) != -1) all_flat = false;
    if (!all_flat) continue;
    // Every bond of a flat ring is aromatic, the untyped ones included: left
    // untyped they would count as single bonds and draw extra hydrogens.
    for (int lb = 1; lb <= r.l1b_nbond; ++lb) {
      const int a = std::abs(r.l1b_i1atm(lb)), b = std::abs(r.l1b_i2atm(lb));
      if (a >= 1 && b >= 1 && carries(a, ring) && carries(b, ring)) r.l1b_type(lb) = "aromatic";
    }
  }
  for (int lb = 1; lb <= r.l1b_nbond; ++lb) {
    if (!builder::untyped_list(r.l1b_type(lb))) continue;
    const int a = std::abs(r.l1b_i1atm(lb)), b = std::abs(r.l1b_i2atm(lb));
    auto n3 = [&](int ia) {
      return ia >= 1 && is_elem(r.l1a_symb(ia), "N ") && r.l1a_ndist(ia) > 2;
    };
    if (n3(a) || n3(b)) r.l1b_type(lb) = "single";
  }
}

void add_type_using_chem_(int32_t mdoc, char list, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  for (int lb = 1; lb <= r.l1b_nbond; ++lb) {
    if (!builder::untyped_list(r.l1b_type(lb))) continue;
    const int a = std::abs(r.l1b_i1atm(lb)), b = std::abs(r.l1b_i2atm(lb));
    if (a < 1 || b < 1) continue;
    const Name &ta = r.l1a_chem(a), &tb = r.l1a_chem(b);
    // Without an observed length every row of the pair ties and the first wins.
    const float d = r.l1b_vobs(lb);
    float best = 1.0e32f;
    for (int k = 1; k <= r.leb_nbond; ++k) {
      const Name &t1 = r.leb_1atm(k), &t2 = r.leb_2atm(k);
      if (!((t1 == ta && t2 == tb) || (t1 == tb && t2 == ta))) continue;
      const float diff = d > 0.0f ? std::fabs(d - r.leb_length(k)) : 0.0f;
      if (diff < best) {
        best = diff;
        r.l1b_type(lb) = r.leb_type(k);
      }
    }
  }
  add_type_using_list_(mdoc, list, ierr);
}
