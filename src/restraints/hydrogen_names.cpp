// Older hydrogen names of a residue given the names of its library monomer.
//
// Older files number the hydrogens of a methylene from 1 (1HB, 2HB, which
// the readers make HB1, HB2) where the library, in the current naming,
// numbers them from 2 (HB2, HB3); files for molecular mechanics and docking
// call the amide hydrogen HN where the library calls it H.  Left as they
// are, HB1 is unknown and HB2 is restrained as the other hydrogen of the
// pair.  A name changes only where one reading fits: the pair order is the
// written order (no geometry decides it), a group is renumbered whole, and
// nothing is renamed onto a name the residue holds.
#include "restraints/hydrogen_names.h"

#include <cmath>
#include <string>
#include <vector>

#include "dictionary/lib_com.h"
#include "restraints/atom_check.h"

namespace {

using Name = rt::FixedText<4>;

// An N-H bond is about 1.0 A: an amide hydrogen farther than this from the
// nitrogen is not on it.
constexpr float kMaxNH = 1.3f;
// The occupancy from which an atom's position counts, as in the atom check.
constexpr float kPlaced = 0.0001f;

bool hydrogen(const Name& symb) { return symb.view().substr(0, 2) == "H "; }

int32_t library_atom(std::string_view name) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.l1a_natom; ++i)
    if (r.l1a_aname(i) == name) return i;
  return 0;
}

bool residue_holds(std::string_view name) {
  const r_scratch_t& r = r_scratch;
  for (int32_t k = 1; k <= r.c1_natom; ++k)
    if (r.c1_aname(k) == name) return true;
  return false;
}

// The one atom the monomer bonds to its atom i (a hydrogen has one); 0 when
// its bonds name none or several.
int32_t library_parent(int32_t i) {
  const r_scratch_t& r = r_scratch;
  int32_t parent = 0;
  for (int32_t b = 1; b <= r.l1b_nbond && b <= MAX1BND; ++b) {
    int32_t other = 0;
    if (r.l1b_1atm(b) == r.l1a_aname(i)) other = library_atom(r.l1b_2atm(b).view());
    else if (r.l1b_2atm(b) == r.l1a_aname(i)) other = library_atom(r.l1b_1atm(b).view());
    if (other == 0 || other == parent) continue;
    if (parent != 0) return 0;
    parent = other;
  }
  return parent;
}

// The digit that ends a name of length len beginning with stem, or -1.
int last_digit(const Name& name, const Name& stem, int len) {
  if (name.len_trim() != len || name.view().substr(0, len - 1) != stem.view().substr(0, len - 1))
    return -1;
  const char c = name(len);
  return c >= '0' && c <= '9' ? c - '0' : -1;
}

// Bits 1..n of a digit set: n when the set is exactly {first, .., first+n-1}
// with n >= 1, else 0.
int run_from(unsigned mask, int first) {
  int n = 0;
  while (first + n <= 9 && (mask >> (first + n) & 1u)) ++n;
  return n > 0 && mask == (((1u << n) - 1u) << first) ? n : 0;
}

// The residue's hydrogens named stem + digit (length len) numbered from 1,
// where the monomer holds the same count of hydrogens of one parent by that
// stem numbered from 2: each takes the next number.  False when the group
// does not fit that reading.
bool renumber_group(const Name& stem, int len) {
  r_scratch_t& r = r_scratch;
  unsigned written = 0;
  for (int32_t k = 1; k <= r.c1_natom; ++k) {
    const int d = last_digit(r.c1_aname(k), stem, len);
    if (d < 0) continue;
    if (!hydrogen(r.c1_asymb(k))) return false;
    written |= 1u << d;
  }
  const int n = run_from(written, 1);
  if (n == 0 || n >= 9) return false;
  unsigned known = 0;
  int32_t parent = -1;
  for (int32_t i = 1; i <= r.l1a_natom; ++i) {
    const int d = last_digit(r.l1a_aname(i), stem, len);
    if (d < 0) continue;
    if (!hydrogen(r.l1a_symb(i))) return false;
    const int32_t p = library_parent(i);
    if (p == 0 || (parent >= 0 && p != parent)) return false;
    parent = p;
    known |= 1u << d;
  }
  if (run_from(known, 2) != n) return false;
  // Every atom of the group moves at once, so a new name is never one that
  // another atom of the residue keeps.
  for (int32_t k = 1; k <= r.c1_natom; ++k) {
    const int d = last_digit(r.c1_aname(k), stem, len);
    if (d >= 0) r.c1_aname(k)(len) = static_cast<char>('0' + d + 1);
  }
  return true;
}

void older_groups() {
  const r_scratch_t& r = r_scratch;
  for (int32_t k = 1; k <= r.c1_natom; ++k) {
    const Name& name = r.c1_aname(k);
    const int len = name.len_trim();
    if (len < 2 || name(len) != '1' || !hydrogen(r.c1_asymb(k))) continue;
    if (library_atom(name.view()) != 0) continue;
    Name stem(name.view().substr(0, len - 1));
    renumber_group(stem, len);
  }
}

float distance(int32_t a, int32_t b) {
  const r_scratch_t& r = r_scratch;
  float s = 0.0f;
  for (int m = 1; m <= 3; ++m) {
    const float d = r.c1_xyz(m, a) - r.c1_xyz(m, b);
    s += d * d;
  }
  return std::sqrt(s);
}

// HN on the backbone N of a monomer that calls that hydrogen H.  The bond
// is the model's where both atoms have positions; else it is read from the
// monomer, whose N then bonds no hydrogen but H.
void amide_hn() {
  r_scratch_t& r = r_scratch;
  const int32_t h = library_atom("H"), n = library_atom("N");
  if (h == 0 || n == 0 || library_atom("HN") != 0 || residue_holds("H")) return;
  if (!hydrogen(r.l1a_symb(h)) || library_parent(h) != n) return;
  bool any = false, measured = false, bonded = false;
  for (int32_t k = 1; k <= r.c1_natom; ++k) {
    if (!(r.c1_aname(k) == "HN")) continue;
    if (!hydrogen(r.c1_asymb(k))) return;
    any = true;
    for (int32_t a = 1; a <= r.c1_natom; ++a) {
      if (!(r.c1_aname(a) == "N") || r.c1_occ(a) <= kPlaced || r.c1_occ(k) <= kPlaced) continue;
      measured = true;
      bonded = bonded || distance(a, k) <= kMaxNH;
    }
  }
  if (!any) return;
  if (!measured) {
    int hydrogens = 0;
    for (int32_t i = 1; i <= r.l1a_natom; ++i)
      if (hydrogen(r.l1a_symb(i)) && library_parent(i) == n) ++hydrogens;
    bonded = hydrogens == 1;
  }
  if (!bonded) return;
  for (int32_t k = 1; k <= r.c1_natom; ++k)
    if (r.c1_aname(k) == "HN") r.c1_aname(k) = "H";
}

}  // namespace

namespace restraints {

int32_t older_hydrogen_names(std::string_view mon, bool tally) {
  r_scratch_t& r = r_scratch;
  std::vector<Name> before(r.c1_aname.data(), r.c1_aname.data() + r.c1_natom);
  older_groups();
  amide_hn();
  int32_t renamed = 0;
  for (int32_t k = 1; k <= r.c1_natom; ++k) {
    const Name& was = before[static_cast<std::size_t>(k - 1)];
    if (r.c1_aname(k) == was) continue;
    ++renamed;
    // Each conformer of an atom is renamed on its own: its alternate code
    // tells the two entries of one atom apart.
    const std::string_view alt = rt::trim(r.c1_alt(k).view());
    const std::string conformer = alt.empty() || alt == "." ? "" : "alt " + std::string(alt) + " ";
    if (tally)
      renamed_hydrogens().add(was.view(), mon, r.c1_pnum.view(),
                              conformer + "-> " + std::string(r.c1_aname(k).trimmed()));
  }
  return renamed;
}

}  // namespace restraints
