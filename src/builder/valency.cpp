// Valency and hydrogens.  Delocalised oxygen groups are settled first, since
// their charges decide how many hydrogens the oxygens lack: a carboxylate
// oxygen at -0.5 with a bond order of 1.5 is full.
#include "builder/valency.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "builder/chem_text.h"
#include "builder/conjugation.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

using builder::begins;
using builder::elem2;
using builder::is_elem;
using builder::Name;
using builder::nb;
using builder::Word;

std::vector<Name> g_outside;  // see builder::set_outside_bonds

bool near_zero(int ia) { return std::fabs(r_scratch.l1a_charg(ia)) < 0.0001f; }

bool is_oxygen(int ia) { return begins(r_scratch.l1a_symb(ia).view(), "O "); }

bool terminal_oxygen(int ia) { return is_oxygen(ia) && r_scratch.l1a_ndist(ia) == 1; }

void type_bond(int32_t mdoc, int x, int o, const char* t) {
  const int lb = builder::bond_row(mdoc, x, o);
  if (lb > 0) r_scratch.l1b_type(lb) = t;
}

// Carbon with fewer than four neighbours or nitrogen with three: each pair of
// terminal oxygens shares the charge of one.
void pair_group(int32_t mdoc, int io, int x, bool nitrogen) {
  r_scratch_t& r = r_scratch;
  for (int j = 1; j <= r.l1a_ndist(x); ++j) {
    const int o2 = nb(j, x);
    if (o2 == io || !terminal_oxygen(o2)) continue;
    type_bond(mdoc, x, io, "deloc");
    type_bond(mdoc, x, o2, "deloc");
    if (near_zero(io) && near_zero(o2)) {
      r.l1a_charg(io) = -0.5f;
      r.l1a_charg(o2) = -0.5f;
      if (nitrogen) r.l1a_charg(x) = 1.0f;
    }
  }
}

// Sulfur or phosphorus with four neighbours, one of them the terminal oxygen io.
void tetra_group(int32_t mdoc, int io, int x) {
  r_scratch_t& r = r_scratch;
  int others[MAX1BRN] = {};
  int k = 0, m = 0;
  for (int j = 1; j <= r.l1a_ndist(x); ++j) {
    const int c = nb(j, x);
    if (c == io) continue;
    if (terminal_oxygen(c)) {
      others[k++] = c;
    } else if (is_oxygen(c)) {
      m += 1;
    } else {
      const int lb = builder::bond_row(mdoc, x, c);
      m += (lb > 0 && begins(r.l1b_type(lb).view(), "doub")) ? 2 : 1;
    }
  }
  // The oxygens of the group: io first, then the other terminal ones.
  auto group_types = [&](int n, const char* t) {
    type_bond(mdoc, x, io, t);
    for (int q = 0; q < n; ++q) type_bond(mdoc, x, others[q], t);
  };
  auto all_near_zero = [&](int n) {
    bool z = near_zero(io);
    for (int q = 0; q < n; ++q) z = z && near_zero(others[q]);
    return z;
  };
  auto group_charge = [&](int n, float q0) {
    r.l1a_charg(io) = q0;
    for (int q = 0; q < n; ++q) r.l1a_charg(others[q]) = q0;
  };
  if (is_elem(r.l1a_symb(x), "S ")) {
    if (k == 0 && m == 5) {
      group_types(0, "single");
    } else if (k == 0 && m == 4) {
      group_types(0, "double");
    } else if (k == 1 && m == 2) {
      group_types(1, "double");
    } else if (k == 1 && (m == 3 || m == 4)) {
      group_types(1, "deloc");
      group_charge(1, m == 3 ? -0.5f : -1.0f);
    } else if (k == 2 && (m == 1 || m == 2)) {
      const bool z = all_near_zero(2);
      group_types(2, "deloc");
      if (z) group_charge(2, m == 1 ? -0.33f : -0.66f);
    } else if (k == 3) {
      const bool z = all_near_zero(3);
      group_types(3, "deloc");
      if (z) group_charge(3, -0.5f);
    }
  } else {
    if (k == 0 && m == 3) {
      group_types(0, "double");
    } else if (k == 0 && m == 4) {
      group_types(0, "single");
    } else if (k == 1 && (m == 2 || m == 3)) {
      const bool z = all_near_zero(1);
      group_types(1, "deloc");
      if (z) group_charge(1, m == 2 ? -0.5f : -1.0f);
    } else if (k == 2) {
      const bool z = all_near_zero(2);
      group_types(2, "deloc");
      if (z) group_charge(2, m == 1 ? -0.66f : -0.33f);
    } else if (k == 3) {
      // Only io and the first two others decide, as the group was first written.
      const bool z = all_near_zero(2);
      group_types(3, "deloc");
      if (z) group_charge(3, -0.75f);
    }
  }
}

// Bond order of a type word by its first four letters; 0 for a dummy bond,
// which is not counted at all.
float bond_order(const Word& t, Word& recorded, bool& counted) {
  const std::string_view w = t.view().substr(0, 4);
  counted = true;
  recorded = w;
  if (w == "sing" || w == "cova" || w == "meta") return 1.0f;
  if (w == "doub") return 2.0f;
  if (w == "trip") return 3.0f;
  if (w == "arom" || w == "delo") return 1.5f;
  if (w == "dumm") {
    counted = false;
    return 0.0f;
  }
  recorded = "sing";
  return 1.0f;
}

// An uncharged nitrogen outside rings whose bonds include no double or
// triple one: an amide, imide or guanidine nitrogen whose bond to the
// carbonyl carbon is typed aromatic or delocalised.  It keeps one bond a
// neighbour, and so its hydrogen; the half bond lies on the carbonyl side.
// Ring nitrogens have their single and double bonds from the ring stage.
bool amide_like_nitrogen(int ia, const Word* bonds, int counted) {
  const r_scratch_t& r = r_scratch;
  if (!is_elem(r.l1a_symb(ia), "N ") || r.l1a_nring(ia) > 0 || !near_zero(ia)) return false;
  bool half = false;
  for (int k = 0; k < counted; ++k) {
    if (bonds[k] == "doub" || bonds[k] == "trip") return false;
    half = half || bonds[k] == "arom" || bonds[k] == "delo";
  }
  return half;
}

void list_bonds(int32_t mdoc) {
  const r_scratch_t& r = r_scratch;
  for (int lb = 1; lb <= r.l1b_nbond; ++lb)
    msgdoc_(mdoc,
            rt::list_line(lb, " bond ", r.l1b_1atm(lb), " - ", r.l1b_2atm(lb), " :", r.l1b_val(lb),
                          r.l1b_vobs(lb), r.l1b_i1atm(lb), r.l1b_i2atm(lb), r.l1b_type(lb)));
}

// Name of hydrogen ih of n_missing on heavy atom ia; dup counts the renames
// of this heavy atom's hydrogens.
Name hydrogen_name(int ia, int ih, int n_missing, int& dup) {
  const r_scratch_t& r = r_scratch;
  const Name& an = r.l1a_aname(ia);
  int len = 0;
  lenstr_bl_(an.view(), len);
  Name h;
  if (begins(r.l1a_symb(ia).view(), "C")) {
    if (len < 2) {
      h = "H";
      len = 1;
    } else {
      len = std::min(len, 4);
      h = 'H' + std::string(an.sub(2, len));
    }
  } else {
    const int l1 = std::min(len, 3);
    h = 'H' + std::string(an.sub(1, l1));
    len = l1 + 1;
  }
  if (n_missing > 1) h(std::min(len + 1, 4)) = static_cast<char>('0' + ih % 10);
  // A rename starts the comparison again from the first atom, so that the
  // new name cannot repeat the name of an atom already passed.
  for (int k = 1; k <= r.l1a_natom; ++k) {
    if (!(r.l1a_aname(k) == h)) continue;
    ++dup;
    char num[8];
    std::snprintf(num, sizeof num, "%4d", dup % 10000);
    if (num[1] == ' ') num[1] = '_';
    if (num[2] == ' ') num[2] = '_';
    h = 'H' + std::string(num + 1, 3);
    k = 0;
  }
  return h;
}

// Appends hydrogen ih of heavy atom ia; false (with the table-full lines) when
// the atom table is full.
bool add_hydrogen(int32_t mdoc, int ia, int ih, int n_missing, int& dup) {
  r_scratch_t& r = r_scratch;
  if (r.l1a_natom >= MAX1ATM) {
    builder::work_table_full(mdoc, " ERROR : number of atoms of monomer >", MAX1ATM, "MAX1ATM", 9);
    return false;
  }
  const Name name = hydrogen_name(ia, ih, n_missing, dup);
  const int n = ++r.l1a_natom;
  r.l1a_aname(n) = name;
  r.l1a_symb(n) = "H";
  r.l1a_chem(n) = "H";
  r.l1a_atype(n) = "H";
  r.l1a_type(n) = ".";
  r.l1a_back(n) = ".";
  r.l1a_forw(n) = ".";
  r.l1a_coor_flag(n) = "N";
  r.l1a_charg(n) = 0.0f;
  r.l1a_x(n) = r.l1a_y(n) = r.l1a_z(n) = 0.0f;
  r.l1a_length(n) = r.l1a_theta(n) = r.l1a_phi(n) = 0.0f;
  r.l1a_iback(n) = r.l1a_iforw(n) = r.l1a_ichir(n) = r.l1a_ichem(n) = r.l1a_icr(n) = 0;
  r.l1a_nring(n) = r.l1a_nextr(n) = 0;
  for (int k = 1; k <= MAX1BRN; ++k) {
    r.l1a_conn(k, n) = r.l1a_lencon(k, n) = 0;
    r.l1a_ring_id(k, n) = r.l1a_ring_ord(k, n) = r.l1a_ring_flat(k, n) = 0;
  }
  for (int k = 1; k <= MAX1EXT; ++k) r.l1a_iextr(k, n) = r.l1a_textr(k, n) = 0;
  r.l1a_inew(n) = r.l1a_iold(n) = n;
  r.l1a_ndist(n) = 1;
  r.l1a_conn(1, n) = ia;

  const int nd = ++r.l1a_ndist(ia);
  r.l1a_conn(nd, ia) = n;
  r.l1a_lencon(1, ia) += 1;

  if (r.l1b_nbond < MAX1BND) {
    const int lb = ++r.l1b_nbond;
    r.l1b_1atm(lb) = r.l1a_aname(ia);
    r.l1b_2atm(lb) = name;
    r.l1b_i1atm(lb) = ia;
    r.l1b_i2atm(lb) = n;
    r.l1b_type(lb) = "single";
    r.l1b_val(lb) = 0.98f;
    r.l1b_dev(lb) = 0.02f;
    r.l1b_vobs(lb) = 0.0f;
    r.l1b_eval(lb) = 0.0f;
  }
  return true;
}

int clamp(int n, int lo, int hi) { return n < lo ? lo : n > hi ? hi : n; }

constexpr std::string_view kNoHydrogens[] = {
    "LI", "F ", "NE", "NA", "MG", "AL", "CL", "AR", "K ", "CA", "SC", "TI", "V ", "CR", "MN", "FE",
    "CO", "NI", "CU", "ZN", "GA", "GE", "AS", "BR", "KR", "RB", "SR", "Y ", "ZR", "NB", "MO", "TC",
    "RU", "RH", "PD", "AG", "CD", "IN", "SN", "SB", "TE", "I ", "XE", "CS", "BA", "LA", "CE", "PR",
    "ND", "PM", "SM", "EU", "GD", "TB", "DY", "HO", "ER", "TM", "YB", "LU", "HF", "TA", "W ", "RE",
    "OS", "IR", "PT", "AU", "HG", "TL", "PB", "BI", "PO", "AT", "RN", "FR", "RA", "AC", "TH", "PA",
    "U ", "NP", "PU", "AM", "CM", "BK", "CF", "ES", "FM", "MD", "NO", "LR"};

}  // namespace

void find_hydr_type_(int32_t mdoc, int32_t nbond, float anbond, int32_t nbond_atom, float oxidation,
                     int32_t& n_missing, std::string_view asymb) {
  n_missing = 0;
  char two[2] = {' ', ' '};
  for (std::size_t i = 0; i < 2 && i < asymb.size(); ++i) two[i] = asymb[i];
  const std::string_view e(two, 2);
  auto from = [&](int v) {
    return static_cast<int>(static_cast<float>(v) - (anbond - oxidation) + 0.25f);
  };
  int n = 0;
  if (e == "BE") {
    n = std::max(from(2), 0);
  } else if (e == "B ") {
    n = clamp(from(3), 0, 3);
  } else if (e == "C " || e == "SI") {
    n = clamp(from(4), 0, 4);
    if (n + nbond_atom >= 5) n = 4 - nbond_atom;
  } else if (e == "N ") {
    n = clamp(from(3), 0, 3);
    if (n + nbond_atom >= 5) n = 4 - nbond_atom;
  } else if (e == "O ") {
    n = clamp(from(2), 0, 2);
    if (n + nbond_atom >= 3) n = 2 - nbond_atom;
  } else if (e == "P ") {
    n = from(nbond < 4 ? 3 : 5);
    if (n + nbond_atom >= 5) n = 4 - nbond_atom;
  } else if (e == "S " || e == "SE") {
    n = clamp(from(nbond < 3 ? 2 : nbond < 5 ? 4 : 6), 0, 4);
    if (n + nbond_atom >= 5) n = 4 - nbond_atom;
  } else {
    bool listed = false;
    for (std::string_view s : kNoHydrogens) listed = listed || s == e;
    if (!listed) msgdoc_(mdoc, "WARNING: Unrecognised atom name: " + std::string(asymb));
    return;
  }
  n_missing = std::max(n, 0);
}

void check_oxygens_bond_(int32_t mdoc, char, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  for (int io = 1; io <= r.l1a_natom; ++io) {
    if (!terminal_oxygen(io) || !near_zero(io)) continue;
    const int x = nb(1, io);
    if (x < 1) continue;
    const Name& sx = r.l1a_symb(x);
    const int nx = r.l1a_ndist(x);
    if (is_elem(sx, "C ") && nx < 4) pair_group(mdoc, io, x, false);
    else if (is_elem(sx, "N ") && nx == 3) pair_group(mdoc, io, x, true);
    else if ((is_elem(sx, "S ") || is_elem(sx, "P ")) && nx == 4) tetra_group(mdoc, io, x);
  }
}

void builder::set_outside_bonds(const std::vector<rt::FixedText<4>>& names) { g_outside = names; }

int builder::outside_bonds(const rt::FixedText<4>& name) {
  int n = 0;
  for (const Name& o : g_outside) n += o == name;
  return n;
}

void use_valency_(int32_t mdoc, char list, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (list == 'T') {
    msgerr_(mdoc, "---use valency --");
    list_bonds(mdoc);
  }
  check_oxygens_bond_(mdoc, list, ierr);
  ierr = 0;

  const int natom0 = r.l1a_natom;
  int added = 0;
  for (int ia = 1; ia <= natom0; ++ia) {
    if (r.l1a_ndist(ia) == 0 || dictionary::is_hydrogen(r.l1a_symb(ia))) continue;
    float sum = 0.0f;
    int counted = 0;
    bool complete = true;
    Word atom_bonds[20];
    for (int j = 1; j <= r.l1a_ndist(ia) && j <= 20; ++j) {
      const int lb = builder::bond_row(mdoc, ia, nb(j, ia));
      if (lb < 1) {
        complete = false;
        break;
      }
      bool in_sum = true;
      sum += bond_order(r.l1b_type(lb), atom_bonds[counted], in_sum);
      if (in_sum) ++counted;
    }
    if (!complete) continue;
    if (amide_like_nitrogen(ia, atom_bonds, counted)) sum = static_cast<float>(counted);
    const int nbo = static_cast<int>(std::lround(sum + 0.1f));
    int32_t n_missing = 0;
    find_hydr_type_(mdoc, nbo, sum, counted, r.l1a_charg(ia), n_missing, r.l1a_symb(ia).view());
    n_missing = std::max(n_missing - builder::outside_bonds(r.l1a_aname(ia)), 0);
    // A hydrogen would make a fourth neighbour of an atom the model holds in
    // the plane of its three, and so a tetrahedral centre it is not.
    if (builder::flat_of_three_in_model(ia)) n_missing = 0;
    if (list == 'T')
      msgdoc_(mdoc, rt::list_line(" ia,asym,nd,nbo,val:", ia, r.l1a_symb(ia), r.l1a_ndist(ia), nbo,
                                  r.l1a_charg(ia)));
    int dup = 0;
    for (int ih = 1; ih <= n_missing; ++ih) {
      // A neighbour list already full takes no hydrogen (only an absurd
      // charge could ask for one).
      if (r.l1a_ndist(ia) >= MAX1BRN) break;
      if (!add_hydrogen(mdoc, ia, ih, n_missing, dup)) {
        ierr = 1;
        return;
      }
      ++added;
    }
  }
  r.l1l_natm = r.l1a_natom;
  r.l1a_nhatom += added;
  r.l1l_nhatm = r.l1a_nhatom;
  if (list == 'T') {
    msgerr_(mdoc, "---after use valency --");
    list_bonds(mdoc);
  }
}
