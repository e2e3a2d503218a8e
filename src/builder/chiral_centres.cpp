// Chiral centres and atom-centred planes.  One flag decides what an atom
// becomes: a tetrahedral atom (flag above 0) a chiral row, a trigonal one
// (flag below 0) a plane; the plane stage later widens and merges the planes.
// A centre with two alike substituents keeps its row, for the shape of the
// centre, with the sign "both".  A monomer the model holds many times takes
// each centre's sign from the hand most of its copies show, not from the
// one copy it is built from.
#include "builder/chiral_centres.h"

#include <string>
#include <utility>
#include <vector>

#include "builder/alike_substituents.h"
#include "builder/chem_text.h"
#include "builder/conjugation.h"
#include "builder/metals.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/l1_kernels.h"
#include "dictionary/lib_com.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

using builder::Name;
using builder::nb;
using builder::Word;

builder::MonomerCopies g_copies;  // see builder::set_monomer_copies

// The nine name and index slots of a chiral row.
struct ChirSlots {
  Name* names[9];
  int32_t* idx[9];
};

ChirSlots chir_slots(int k) {
  r_scratch_t& r = r_scratch;
  return {{&r.l1c_1atm(k), &r.l1c_2atm(k), &r.l1c_3atm(k), &r.l1c_4atm(k), &r.l1c_5atm(k),
           &r.l1c_6atm(k), &r.l1c_7atm(k), &r.l1c_8atm(k), &r.l1c_9atm(k)},
          {&r.l1c_i1atm(k), &r.l1c_i2atm(k), &r.l1c_i3atm(k), &r.l1c_i4atm(k), &r.l1c_i5atm(k),
           &r.l1c_i6atm(k), &r.l1c_i7atm(k), &r.l1c_i8atm(k), &r.l1c_i9atm(k)}};
}

void move_chir_row(int from, int to) {
  r_scratch_t& r = r_scratch;
  const ChirSlots a = chir_slots(from), b = chir_slots(to);
  for (int s = 0; s < 9; ++s) {
    *b.names[s] = *a.names[s];
    *b.idx[s] = *a.idx[s];
  }
  r.l1c_sign(to) = r.l1c_sign(from);
  r.l1c_flag(to) = r.l1c_flag(from);
  r.l1c_vol(to) = r.l1c_vol(from);
  r.l1c_vobs(to) = r.l1c_vobs(from);
}

bool keep_user_row(int k) {
  const r_scratch_t& r = r_scratch;
  if (dictionary::metal_shape(r.l1c_sign(k))) return true;
  const int ic = r.l1c_i1atm(k);
  if (ic >= 1 && ic <= r.l1a_natom && is_it_metal_(r.l1a_symb(ic).view()) && r.l1l_prsnt == "M")
    return true;
  for (int i = 1; i <= r.l1a_natom; ++i)
    if (r.l1a_aname(i) == r.l1c_1atm(k)) return r.l1a_ichir(i) > 0;
  return false;
}

// The plane of atom i and its partners i1, i2 (and i3 when not 0);
// false with the table-full lines when 80 planes exist.
bool add_centre_plane(int32_t mdoc, int i, int i1, int i2, int i3) {
  r_scratch_t& r = r_scratch;
  if (r.l1p_nplan >= MAX1PLN) {
    builder::work_table_full(
        mdoc, "ERROR: number of plan groups in new monomer " + r.l1l_mname.str() + " >", MAX1PLN,
        "MAX1PLN", 10);
    return false;
  }
  if (i1 == 0 || i2 == 0) return true;
  const int p = ++r.l1p_nplan;
  const int atoms[4] = {i, i1, i2, i3};
  const int n = i3 != 0 ? 4 : 3;
  for (int a = 1; a <= 4; ++a) {
    r.l1p_iatom(a, p) = a <= n ? atoms[a - 1] : 0;
    if (a <= n) r.l1p_atom(a, p) = r.l1a_aname(atoms[a - 1]);
    else r.l1p_atom(a, p).blank();
  }
  for (int a = 1; a <= n; ++a) {
    r.l1p_dev(a, p) = 0.02f;
    r.l1p_dobs(a, p) = 0.0f;
  }
  r.l1p_natom(p) = n;
  r.l1p_label(p) = builder::plane_label(p);
  r.l1a_ichem(i) = p;
  return true;
}

bool plane_already_there(int i, int i1, int i2, int i3) {
  const r_scratch_t& r = r_scratch;
  for (int p = 1; p <= r.l1p_nplan; ++p) {
    int count = 0;
    for (int a = 1; a <= r.l1p_natom(p) && a <= MAX1APL; ++a) {
      const Name& pn = r.l1p_atom(a, p);
      if (pn == r.l1a_aname(i) || (i1 > 0 && pn == r.l1a_aname(i1)) ||
          (i2 > 0 && pn == r.l1a_aname(i2)) || (i3 > 0 && pn == r.l1a_aname(i3)))
        ++count;
    }
    if (count >= 3) return true;
  }
  return false;
}

// The chiral volume of centre p[0] with partners p[1], p[2], p[3], each
// an x, y, z triple, in single precision.
float chiral_volume(const float (*p)[3]) {
  float v[3][3];
  for (int q = 0; q < 3; ++q)
    for (int d = 0; d < 3; ++d) v[q][d] = p[q + 1][d] - p[0][d];
  return v[0][0] * (v[1][1] * v[2][2] - v[1][2] * v[2][1]) +
         v[0][1] * (v[1][2] * v[2][0] - v[1][0] * v[2][2]) +
         v[0][2] * (v[1][0] * v[2][1] - v[1][1] * v[2][0]);
}

void set_hand(int k, int hand) {
  r_scratch.l1c_sign(k) = hand > 0 ? "positiv" : hand < 0 ? "negativ" : "both";
  r_scratch.l1c_flag(k) = hand > 0 ? "R" : hand < 0 ? "L" : "B";
}

// Chiral row of centre i with partners i1, i2, i3; false with the
// table-full lines when 50 rows exist.  A row signed from the coordinates
// goes into `signed_rows`.
bool add_chiral_row(int32_t mdoc, int32_t itype_res, char list, int i, int i1, int i2, int i3,
                    std::vector<int>& signed_rows) {
  r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.l1c_nchir; ++k)
    if (r.l1c_1atm(k) == r.l1a_aname(i)) return true;
  if (r.l1c_nchir >= MAX1CHR) {
    builder::work_table_full(
        mdoc, "ERROR: number of chiral centres in monomer " + r.l1l_mname.str() + " >", MAX1CHR,
        "MAX1CHR", 10);
    return false;
  }
  int32_t lc = 0, st = 0;
  srch_chir_centre_(mdoc, r.l1l_mname.view(), i, lc, st);
  if (i1 == 0 || i2 == 0 || i3 == 0 || lc != 0) return true;

  const int k = ++r.l1c_nchir;
  const ChirSlots s = chir_slots(k);
  const int atoms[4] = {i, i1, i2, i3};
  for (int q = 0; q < 9; ++q) {
    *s.idx[q] = q < 4 ? atoms[q] : 0;
    *s.names[q] = q < 4 ? r.l1a_aname(atoms[q]).view() : std::string_view(".");
  }
  r.l1c_vol(k) = r.l1c_vobs(k) = 0.0f;
  r.l1a_ichem(i) = -k;

  bool coords = true;
  for (int a : atoms) coords = coords && r.l1a_coor_flag(a) == "Y";
  // Two alike substituents leave the centre without a hand: exchanging them
  // gives the same molecule, so whichever sign the model shows is an accident
  // of its atom names, and a fixed sign would make a refinement force one
  // hand or fight a conformer drawn the other way.
  const bool open_hand = builder::alike_substituents(i);
  if (coords && !open_hand) {
    float p[4][3];
    for (int q = 0; q < 4; ++q) {
      p[q][0] = r.l1a_x(atoms[q]);
      p[q][1] = r.l1a_y(atoms[q]);
      p[q][2] = r.l1a_z(atoms[q]);
    }
    set_hand(k, chiral_volume(p) >= 0.0f ? 1 : -1);
    signed_rows.push_back(k);
  } else {
    set_hand(k, 0);
    if (!open_hand && r.l1a_aname(i) == "CA" && (itype_res == 3 || itype_res == 4)) {
      int32_t unused = 0;
      peptide_chir_corr_(mdoc, list, itype_res, r.l1c_2atm(k).view(), r.l1c_3atm(k).view(),
                         r.l1c_4atm(k).view(), r.l1c_sign(k), r.l1c_flag(k), unused);
    }
  }
  return true;
}

// Three heavy neighbours that the model holds in one plane with the atom
// give it no hand, whatever the types say: a carboxyl carbon typed with an
// added hydrogen, a ring carbon that took a distant atom as a neighbour.
bool flat_heavy_three(int i, int nnh, int i1, int i2, int i3) {
  return nnh == 3 && builder::flat_in_model(i, i1, i2, i3);
}

// The hand of each signed row in each copy of the model: +1, -1, or 0 where
// the copy lacks an atom of the row.  Linear in the copies' atoms: each
// copy's atoms are found through one look-up of their names.
std::vector<signed char> copy_hands(const std::vector<int>& rows) {
  const r_scratch_t& r = r_scratch;
  static foundation::LookupIndex<4, MAX1ATM> by_name;
  by_name.clear();
  for (int ia = 1; ia <= r.l1a_natom; ++ia)
    if (!by_name.contains(r.l1a_aname(ia).view())) by_name.add(r.l1a_aname(ia).view(), ia);
  const std::size_t ncopy = g_copies.label.size(), nrow = rows.size();
  std::vector<signed char> hand(ncopy * nrow, 0);
  // Per L1 atom, the copy atom of its name: valid for copy c when not below
  // first[c], so nothing is cleared between copies.
  std::vector<int32_t> at(r.l1a_natom + 1, -1);
  for (std::size_t c = 0; c < ncopy; ++c) {
    const int32_t from = g_copies.first[c], to = g_copies.first[c + 1];
    for (int32_t a = from; a < to; ++a) {
      const int32_t ia = by_name.first(g_copies.atoms[a].name.view());
      if (ia > 0 && at[ia] < from) at[ia] = a;
    }
    for (std::size_t j = 0; j < nrow; ++j) {
      const ChirSlots s = chir_slots(rows[j]);
      float p[4][3];
      bool whole = true;
      for (int q = 0; q < 4 && whole; ++q) {
        const int32_t ia = *s.idx[q];
        whole = ia >= 1 && ia <= r.l1a_natom && at[ia] >= from;
        if (!whole) break;
        const builder::CopyAtom& ca = g_copies.atoms[at[ia]];
        p[q][0] = ca.x;
        p[q][1] = ca.y;
        p[q][2] = ca.z;
      }
      if (whole) hand[c * nrow + j] = chiral_volume(p) >= 0.0f ? 1 : -1;
    }
  }
  return hand;
}

// Each signed row takes the hand most copies have; a tie leaves it "both".
// One WARNING for a tie, else one for each copy of the other hand.
void settle_hands(int32_t mdoc, const std::vector<int>& rows) {
  if (rows.empty() || g_copies.label.empty()) return;
  const r_scratch_t& r = r_scratch;
  const std::vector<signed char> hand = copy_hands(rows);
  const std::size_t ncopy = g_copies.label.size(), nrow = rows.size();
  const std::string head = " WARNING: " + std::string(r.l1l_mname.trimmed()) + " : chiral centre ";
  for (std::size_t j = 0; j < nrow; ++j) {
    const int k = rows[j];
    int npos = 0, nneg = 0;
    for (std::size_t c = 0; c < ncopy; ++c) {
      npos += hand[c * nrow + j] > 0;
      nneg += hand[c * nrow + j] < 0;
    }
    if (npos + nneg == 0) continue;
    const std::string centre = std::string(r.l1c_1atm(k).trimmed());
    if (npos == nneg) {
      set_hand(k, 0);
      msgerr_(mdoc, head + centre + " is positiv in " + std::to_string(npos) +
                        (npos == 1 ? " copy" : " copies") + " and negativ in " +
                        std::to_string(nneg) + ": its sign is both");
      continue;
    }
    const int most = npos > nneg ? 1 : -1;
    set_hand(k, most);
    const std::string tail = ", " + std::string(r.l1c_sign(k).trimmed()) + " in " +
                             std::to_string(most > 0 ? npos : nneg) + " of " +
                             std::to_string(npos + nneg) + " copies";
    const char* other = most > 0 ? " is negativ in " : " is positiv in ";
    for (std::size_t c = 0; c < ncopy; ++c)
      if (hand[c * nrow + j] == -most)
        msgerr_(mdoc, head + centre + other + g_copies.label[c] + tail);
  }
}

}  // namespace

void remove_user_chir_centre_(int32_t, char list, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (r.l1a_natom <= 0 || r.l1c_nchir <= 0) return;
  if (list == 'T') rt::write_list(6, " before R_U_C_C nchir:", r.l1c_nchir);
  int kept = 0;
  for (int k = 1; k <= r.l1c_nchir; ++k) {
    if (!keep_user_row(k)) continue;
    ++kept;
    if (kept != k) move_chir_row(k, kept);
  }
  r.l1c_nchir = kept;
  if (list == 'T') rt::write_list(6, " R_U_C_C nchir:", r.l1c_nchir);
}

void peptide_chir_corr_(int32_t, char, int32_t itype_res, std::string_view atom1,
                        std::string_view atom2, std::string_view atom3, rt::FixedText<8>& sign,
                        rt::FixedText<1>& flag, int32_t&) {
  auto is = [](std::string_view a, std::string_view name) { return rt::text_eq(a, name); };
  auto order = [&](const char* a, const char* b, const char* c) {
    return is(atom1, a) && is(atom2, b) && is(atom3, c);
  };
  int parity = 0;
  if (order("N", "C", "CB") || order("C", "CB", "N") || order("CB", "N", "C")) parity = 1;
  if (order("N", "CB", "C") || order("C", "N", "CB") || order("CB", "C", "N")) parity = -1;
  if (parity == 0) return;
  if (itype_res != 3) parity = -parity;
  sign = parity > 0 ? "positiv" : "negativ";
  flag = parity > 0 ? "R" : "L";
}

void check_chir_(int32_t mdoc, char list, int32_t itype_res, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (r.l1a_natom <= 3) return;
  remove_user_chir_centre_(mdoc, list, ierr);
  std::vector<int> signed_rows;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    if (r.l1a_ndist(i) < 2 || r.l1a_atype(i) == "H" || is_it_metal_(r.l1a_symb(i).view())) continue;
    int heavy[4] = {}, hyd[2] = {};
    int nnh = 0, nha = 0;
    for (int j = 1; j <= r.l1a_ndist(i) && j <= MAX1BRN; ++j) {
      const int c = nb(j, i);
      if (r.l1a_atype(c) == "H") {
        if (nha < 2) hyd[nha] = c;
        ++nha;
      } else {
        if (nnh < 3) heavy[nnh] = c;
        ++nnh;
      }
    }
    const int flag = r.l1a_ichir(i);
    if (flag < 0 && (nnh == 1 || nnh == 2) && nha >= 1) {
      const int before = nnh;
      heavy[nnh++] = hyd[0];
      if (before == 1 && nha >= 2) heavy[nnh++] = hyd[1];
    }
    const int i1 = heavy[0], i2 = heavy[1], i3 = heavy[2];
    if (list == 'T')
      msgdoc_(mdoc, rt::fmt("('cc:',I5,A4,5I5)", i, r.l1a_aname(i), flag, nnh, i1, i2, i3));
    if (flag < 0 && nnh >= 2) {
      if (plane_already_there(i, i1, i2, i3)) continue;
      if (!add_centre_plane(mdoc, i, i1, i2, i3)) {
        ierr = 1;
        return;
      }
    } else if (flag > 0 && nnh >= 3 && !flat_heavy_three(i, nnh, i1, i2, i3)) {
      if (!add_chiral_row(mdoc, itype_res, list, i, i1, i2, i3, signed_rows)) {
        ierr = 1;
        return;
      }
    }
  }
  settle_hands(mdoc, signed_rows);
}

void builder::set_monomer_copies(MonomerCopies copies) { g_copies = std::move(copies); }
