// Chemical types.  Pass 1 types each atom from its own counts; pass 2 decides
// which rings are flat (all atoms trigonal, counting the O and S of aromatic
// rings, and no metal); pass 3 turns trigonal ring atoms into ring types and
// gives group oxygens their group types.
#include "builder/chem_types.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "builder/chem_text.h"
#include "builder/conjugation.h"
#include "builder/metals.h"
#include "builder/valency.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

using builder::begins;
using builder::elem2;
using builder::Name;
using builder::nb;

// Sentinel of the flag column: leave the flag as it is.
constexpr int kKeep = 99;

struct Typed {
  const char* type;  // nullptr: the type stays
  int flag;          // kKeep: the flag stays
};

const char* by_h(int h, std::initializer_list<const char*> types) {
  if (h < 0 || h >= static_cast<int>(types.size())) return nullptr;
  return *(types.begin() + h);
}

// The rule table of pass 1; err is set for a carbon with too many hydrogens.
Typed pass1_rule(std::string_view e, int n, int h, int flag, bool& err) {
  if (e == "LI") return {"LI", kKeep};
  if (e == "B ") return {"B", kKeep};
  if (e == "C ") {
    if (n == 4) return {by_h(h, {"CT", "CH1", "CH2", "CH3"}), h <= 1 ? 1 : 0};
    if (n == 3) {
      if (h >= 3) err = true;
      return {by_h(h, {"C", "C1", "C2"}), -1};
    }
    if (n == 2) {
      if (h >= 2) err = true;
      return {by_h(h, {"CSP", "CSP1"}), 0};
    }
    return {nullptr, kKeep};
  }
  if (e == "SI") return {n == 4 ? "SI" : "SI1", 1};
  if (e == "GE") return {n == 4 ? "GE" : "GE1", 1};
  if (e == "SN") return {"SN", 0};
  if (e == "PB") return {"PB", 0};
  if (e == "N ") {
    if (n == 4) return {by_h(h, {"NT", "NT1", "NT2", "NT3", "NT"}), h <= 1 ? 1 : 0};
    if (n == 3 && flag == 2) return {by_h(h, {"NT", "NT1", "NT2", "NT3"}), kKeep};
    if (n == 3) return {by_h(h, {"N", "NH1", "NH2", "N"}), -1};
    if (n == 2) return {by_h(h, {"N", "N"}), -1};
    if (n == 1) return {by_h(h, {"NS"}), 0};
    return {nullptr, kKeep};
  }
  if (e == "P ") return {n == 4 ? "P" : "P1", n == 3 ? 1 : 0};
  if (e == "AS") return {n == 4 ? "AS" : "AS1", 0};
  if (e == "SB") return {"SB", kKeep};
  if (e == "BI") return {"BI", kKeep};
  if (e == "O ") {
    if (n == 2) return {h == 1 ? "OH1" : h == 0 ? "O2" : nullptr, kKeep};
    if (n == 1) return {"O", kKeep};
    return {nullptr, kKeep};
  }
  if (e == "S ") {
    if (n == 4) return {"ST", kKeep};
    if (n == 3) return {"S3", kKeep};
    if (n == 1) return {"S1", kKeep};
    if (n == 2) return {h == 1 ? "SH1" : "S2", kKeep};
    return {nullptr, kKeep};
  }
  if (e == "SE") return {"SE", n == 4 ? 1 : kKeep};
  if (e == "TE") return {"TE", kKeep};
  if (e == "PO") return {"PO", kKeep};
  if (e == "H " || e == "D ") return {"H", kKeep};
  return {nullptr, kKeep};
}

// The type itself, its library type when it is a synonym, or false.
bool library_name(Name& t) {
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.lea_natom; ++k)
    if (r.lea_aname(k) == t) return true;
  for (int k = 1; k <= r.les_nsyn; ++k)
    if (r.les_styp(k) == t) {
      t = r.les_atyp(k);
      return true;
    }
  return false;
}

// An atom of three neighbours that no hand can be given to: one of its
// bonds is aromatic or delocalised, or it lies in the plane of its
// neighbours in the model.  The pyramid test of the bond stage flags any
// atom whose volume passes 0.5 A^3, which a base nitrogen bent a few degrees
// by the noise of a model already does, and the rules below give a three-
// connected phosphorus a hand whatever its shape.  Such an atom takes the
// flat rows here, so that its rings count as flat and it gets a plane
// rather than a chiral row.
bool flat_of_three(int32_t mdoc, int ia, int n) {
  const r_scratch_t& r = r_scratch;
  if (n != 3 || r.l1a_ndist(ia) != 3) return false;
  for (int j = 1; j <= 3; ++j) {
    float val = 0.0f;
    int32_t lb = 0, st = 0;
    srch_bond_(mdoc, r.l1l_mname.view(), ia, nb(j, ia), val, lb, st);
    if (st == 0 && builder::is_arom(r.l1b_type(lb))) return true;
  }
  return builder::flat_in_model(ia, nb(1, ia), nb(2, ia), nb(3, ia));
}

void type_atom(int32_t mdoc, int ia, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (r.l1a_ndist(ia) <= 0) return;
  // A bond to a neighbouring residue counts as a neighbour: a chain N with
  // one hydrogen is an amide N, an O3' without one an ester O.
  const int n = r.l1a_ndist(ia) + builder::outside_bonds(r.l1a_aname(ia));
  const Name& symb = r.l1a_symb(ia);
  const int h = r.l1a_lencon(1, ia);
  bool err = false;
  const std::string_view e = elem2(symb);
  const bool flat = flat_of_three(mdoc, ia, n);
  Typed t = pass1_rule(e, n, h, flat ? -1 : r.l1a_ichir(ia), err);
  const bool known_element = e == "LI" || e == "B " || e == "C " || e == "SI" || e == "GE" ||
                             e == "SN" || e == "PB" || e == "N " || e == "P " || e == "AS" ||
                             e == "SB" || e == "BI" || e == "O " || e == "S " || e == "SE" ||
                             e == "TE" || e == "PO" || e == "H " || e == "D ";
  if (err) ierr = 1;
  Name chem = r.l1a_chem(ia);
  if (t.type != nullptr) chem = t.type;
  else if (!known_element) chem = symb;
  if (t.flag != kKeep) r.l1a_ichir(ia) = t.flag;
  if (flat && r.l1a_ichir(ia) > 0) r.l1a_ichir(ia) = -1;

  if (chem == ".") chem = symb;
  if (!library_name(chem)) {
    if (chem(1) != 'H') {
      msgerr_(mdoc, " WARNING: " + r.l1l_mname.str() + " : unknown chemical_type of atom " +
                        std::string(r.l1a_aname(ia).trimmed()) + " - \"" +
                        std::string(chem.trimmed()) + "\"");
      msgerr_(mdoc, "                default type is - \"" + std::string(symb.trimmed()) + "\"");
    }
    chem = symb;
    library_name(chem);
  }
  r.l1a_chem(ia) = chem;
}

bool carries(int ia, int ring, int* slot = nullptr) {
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.l1a_nring(ia) && k <= MAX1BRN; ++k)
    if (r.l1a_ring_id(k, ia) == ring) {
      if (slot) *slot = k;
      return true;
    }
  return false;
}

int largest_ring() {
  const r_scratch_t& r = r_scratch;
  int max_ring = 0;
  for (int i = 1; i <= r.l1a_natom; ++i)
    for (int k = 1; k <= r.l1a_nring(i) && k <= MAX1BRN; ++k)
      max_ring = std::max(max_ring, r.l1a_ring_id(k, i));
  return max_ring;
}

// An oxygen or sulfur of two neighbours in a ring whose bonds are all
// aromatic gives its lone pair to the ring: it is flat like the ring's
// carbons, although no rule of pass 1 flags a two-connected O or S, and
// without it a furan or thiazolium ring never counts as flat.
void flat_hetero_atoms_of_aromatic_rings(int32_t mdoc) {
  r_scratch_t& r = r_scratch;
  const int max_ring = largest_ring();
  for (int ring = 1; ring <= max_ring; ++ring) {
    bool aromatic = true;
    int bonds = 0;
    for (int i = 1; i <= r.l1a_natom && aromatic; ++i) {
      if (!carries(i, ring)) continue;
      for (int j = 1; j <= r.l1a_ndist(i); ++j) {
        const int c = nb(j, i);
        if (c < i || !carries(c, ring)) continue;
        const int lb = builder::bond_row(mdoc, i, c);
        ++bonds;
        if (lb == 0 || !begins(r.l1b_type(lb).view(), "arom")) aromatic = false;
      }
    }
    if (!aromatic || bonds == 0) continue;
    for (int i = 1; i <= r.l1a_natom; ++i) {
      const Name& s = r.l1a_symb(i);
      if (carries(i, ring) && r.l1a_ndist(i) == 2 &&
          (builder::is_elem(s, "O ") || builder::is_elem(s, "S ")))
        r.l1a_ichir(i) = -1;
    }
  }
}

void mark_flat_rings() {
  r_scratch_t& r = r_scratch;
  const int max_ring = largest_ring();
  for (int ring = 1; ring <= max_ring; ++ring) {
    bool flat = true;
    for (int i = 1; i <= r.l1a_natom && flat; ++i)
      if (carries(i, ring) && (is_it_metal_(r.l1a_symb(i).view()) || r.l1a_ichir(i) != -1))
        flat = false;
    for (int i = 1; i <= r.l1a_natom; ++i) {
      int slot = 0;
      if (carries(i, ring, &slot)) r.l1a_ring_flat(slot, i) = flat ? 1 : 0;
    }
  }
}

// Ring type of a trigonal atom of type t in flat rings of 5 and 6 members.
void ring_type(int ia) {
  r_scratch_t& r = r_scratch;
  const Name t = r.l1a_chem(ia);
  Name nt = t;
  int p = 0;
  const int n = r.l1a_ndist(ia);
  for (int k = 1; k <= r.l1a_nring(ia) && k <= MAX1BRN; ++k) {
    const int s = r.l1a_ring_ord(k, ia);
    if (r.l1a_ring_flat(k, ia) != 1 || (s != 5 && s != 6)) continue;
    if (t == "C") {
      nt = p == 5   ? (s == 5 ? "CR55" : "CR56")
           : p == 6 ? (s == 5 ? "CR56" : "CR66")
                    : (s == 5 ? "CR5" : "CR6");
    } else if (t == "C1") {
      nt = s == 5 ? "CR15" : "CR16";
    } else if (t == "N") {
      if (p == 5) nt = s == 5 ? "NR55" : "NR56";
      else if (p == 6) nt = s == 5 ? "NR56" : "NR66";
      else if (s == 5) nt = n == 3 ? "NR5" : "NRD5";
      else nt = n == 3 ? "NR6" : "NRD6";
    } else if (t == "NH1") {
      nt = s == 5 ? "NR15" : "NR16";
    }
    p = s;
  }
  r.l1a_chem(ia) = nt;
}

void group_oxygens(int ia) {
  r_scratch_t& r = r_scratch;
  const builder::Name& s = r.l1a_symb(ia);
  const bool carbon = builder::is_elem(s, "C ") && r.l1a_ichir(ia) == -1;
  const bool sulfur = builder::is_elem(s, "S "), phosph = builder::is_elem(s, "P ");
  if (!carbon && !sulfur && !phosph) return;
  int oxy[MAX1BRN] = {};
  int count = 0;
  for (int j = 1; j <= r.l1a_ndist(ia) && j <= MAX1BRN; ++j) {
    const int o = nb(j, ia);
    const bool terminal = carbon ? r.l1a_symb(o) == "O" : builder::is_elem(r.l1a_symb(o), "O ");
    if (terminal && r.l1a_ndist(o) == 1) oxy[count++] = o;
  }
  const char* type = nullptr;
  if (carbon && count == 2) type = "OC";
  else if (sulfur && count > 1) type = "OS";
  else if (phosph && count > 1) type = "OP";
  if (type)
    for (int q = 0; q < count; ++q) r.l1a_chem(oxy[q]) = type;
}

}  // namespace

void check_chem_dd_min_(int32_t mdoc, char list, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (list == 'T') {
    msgdoc_(mdoc, "---check_chem_dd_min---");
    msgdoc_(mdoc, "aname/symb/chem/nbond/nhatom/iback/iforw");
    for (int i = 1; i <= r.l1a_natom; ++i)
      msgdoc_(mdoc,
              rt::list_line(i, r.l1a_aname(i), "/", r.l1a_symb(i), "/", r.l1a_chem(i), "/",
                            r.l1a_ndist(i), r.l1a_lencon(1, i), r.l1a_iback(i), r.l1a_iforw(i)));
  }
  for (int i = 1; i <= r.l1a_natom; ++i) type_atom(mdoc, i, ierr);
  flat_hetero_atoms_of_aromatic_rings(mdoc);
  mark_flat_rings();
  for (int i = 1; i <= r.l1a_natom; ++i) {
    if (r.l1a_ichir(i) == -1 && r.l1a_nring(i) > 0) ring_type(i);
    const int n = r.l1a_ndist(i);
    if (builder::is_elem(r.l1a_symb(i), "N ") && (n == 1 || n == 2)) {
      for (int j = 1; j <= n; ++j) {
        float val = 0.0f;
        int32_t lb = 0, st = 0;
        srch_bond_(mdoc, r.l1l_mname.view(), i, nb(j, i), val, lb, st);
        // A failed search is kept: an earlier failure must not read as success.
        if (st != 0) {
          if (ierr == 0) ierr = st;
          continue;
        }
        if (begins(r.l1b_type(lb).view(), "tri")) r.l1a_chem(i) = "NS";
      }
    }
    group_oxygens(i);
  }
}
