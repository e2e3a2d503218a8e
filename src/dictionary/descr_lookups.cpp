// Bond, angle, torsion, chiral-centre and plane look-ups in the work
// descriptions, with the energy-library fallbacks, and the ring codes.
// Every search is a scan in row order that stops at the first match: the
// tables are small (a few hundred rows) and the first match is the rule.
#include "dictionary/descr_lookups.h"

#include "dictionary/l1_kernels.h"
#include "dictionary/lib_com.h"
#include "dictionary/work_refs.h"

namespace {

using Name = rt::FixedText<4>;

// Energy type of a work atom: hydrogen and deuterium count as "H".
Name work_type(const Name& symb, const Name& chem) {
  if (symb == "H" || symb == "D") return Name("H");
  return chem;
}

// Energy type of a library row: a type of three or more characters that
// begins with "H" counts as "H"; shorter ones stay as they are.
Name row_type(const Name& t) {
  if (t(1) == 'H' && t.len_trim() >= 3) return Name("H");
  return t;
}

bool starts(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Ideal angle t1-t2-t3 from the energy angles, else from the first vertex
// row ("." at both ends) with a positive angle.
void energy_angle(const Name& t1, const Name& t2, const Name& t3, float& val, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  for (int k = 1; k <= r.leg_nangl; ++k) {
    const Name e1 = row_type(r.leg_1atm(k)), e2 = row_type(r.leg_2atm(k)),
               e3 = row_type(r.leg_3atm(k));
    if (e2 == t2 && ((e1 == t1 && e3 == t3) || (e1 == t3 && e3 == t1))) {
      val = r.leg_angle(k);
      ierr = 3;
      return;
    }
  }
  for (int k = 1; k <= r.leg_nangl; ++k) {
    if (r.leg_1atm(k)(1) != '.' || r.leg_3atm(k)(1) != '.') continue;
    if (!(row_type(r.leg_2atm(k)) == t2)) continue;
    val = r.leg_angle(k);
    if (val > 0.0f) {
      ierr = 3;
      return;
    }
  }
}

void angle_lookup(const dictionary::WorkRefs& w, int32_t i1, int32_t i2, int32_t i3, float& val,
                  int32_t& lg, int32_t& ierr) {
  if (w.nangl <= 0 || i1 < 1 || i2 < 1 || i3 < 1) {
    ierr = 1;
    return;
  }
  const Name &a1 = w.aname(i1), &a2 = w.aname(i2), &a3 = w.aname(i3);
  for (int j = 1; j <= w.nangl; ++j) {
    const Name &g1 = (*w.ang_atm[0])(j), &g2 = (*w.ang_atm[1])(j), &g3 = (*w.ang_atm[2])(j);
    if (g2 == a2 && ((g1 == a1 && g3 == a3) || (g1 == a3 && g3 == a1))) {
      lg = j;
      val = w.ang_val(j);
      return;
    }
  }
  ierr = 2;
  energy_angle(work_type(w.symb(i1), w.chem(i1)), work_type(w.symb(i2), w.chem(i2)),
               work_type(w.symb(i3), w.chem(i3)), val, ierr);
}

// One atom of a link angle with the monomer flag a link row must carry.
struct LinkAtom {
  Name name;
  Name type;
  int32_t mflag;
};

LinkAtom link_atom(int32_t i, int32_t from) {
  const r_scratch_t& r = r_scratch;
  if (from == 1) return {r.l1a_aname(i), work_type(r.l1a_symb(i), r.l1a_chem(i)), 2};
  return {r.l2a_aname(i), work_type(r.l2a_symb(i), r.l2a_chem(i)), 1};
}

bool link_angle_row(int k, const LinkAtom& x, const LinkAtom& y, const LinkAtom& z) {
  const r_scratch_t& r = r_scratch;
  return r.llg_1atm(k) == x.name && r.llg_f1atm(k) == x.mflag && r.llg_2atm(k) == y.name &&
         r.llg_f2atm(k) == y.mflag && r.llg_3atm(k) == z.name && r.llg_f3atm(k) == z.mflag;
}

bool in_ring(int32_t n, int32_t ring) {
  const r_scratch_t& r = r_scratch;
  const int m = r.l1a_nring(n) < MAX1BRN ? r.l1a_nring(n) : MAX1BRN;
  for (int k = 1; k <= m; ++k)
    if (r.l1a_ring_id(k, n) == ring) return true;
  return false;
}

}  // namespace

void srch_bond_(int32_t, std::string_view, int32_t i1, int32_t i2, float& val, int32_t& lb,
                int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  val = 0.0f;
  if (r.l1b_nbond <= 0 || i1 < 1 || i2 < 1) {
    ierr = 1;
    return;
  }
  const Name &a1 = r.l1a_aname(i1), &a2 = r.l1a_aname(i2);
  for (int j = 1; j <= r.l1b_nbond; ++j) {
    const Name &b1 = r.l1b_1atm(j), &b2 = r.l1b_2atm(j);
    if ((b1 == a1 && b2 == a2) || (b1 == a2 && b2 == a1)) {
      lb = j;
      val = r.l1b_val(j);
      return;
    }
  }
  ierr = 2;
  const Name t1 = work_type(r.l1a_symb(i1), r.l1a_chem(i1));
  const Name t2 = work_type(r.l1a_symb(i2), r.l1a_chem(i2));
  for (int k = 1; k <= r.leb_nbond; ++k) {
    const Name e1 = row_type(r.leb_1atm(k)), e2 = row_type(r.leb_2atm(k));
    if ((e1 == t1 && e2 == t2) || (e1 == t2 && e2 == t1)) {
      val = r.leb_length(k);
      ierr = 3;
      return;
    }
  }
  // Half-bond rows ("." as partner): the mean of the two atoms' own lengths.
  float d1 = 0.0f, d2 = 0.0f;
  for (int k = 1; k <= r.leb_nbond; ++k) {
    if (r.leb_2atm(k)(1) != '.') continue;
    const Name e1 = row_type(r.leb_1atm(k));
    if (e1 == t1) d1 = r.leb_length(k);
    if (e1 == t2) d2 = r.leb_length(k);
  }
  if (d1 > 0.0f && d2 > 0.0f) {
    val = (d1 + d2) * 0.5f;
    ierr = 3;
  }
}

void srch_angl_(int32_t, std::string_view, int32_t i1, int32_t i2, int32_t i3, float& val,
                int32_t& lg, int32_t& ierr) {
  ierr = 0;
  val = 0.0f;
  lg = 0;
  angle_lookup(dictionary::l1_refs(), i1, i2, i3, val, lg, ierr);
}

void srch_angl_2_(int32_t, std::string_view, int32_t i1, int32_t i2, int32_t i3, float& val,
                  int32_t& lg, int32_t& ierr) {
  ierr = 0;
  val = 0.0f;
  angle_lookup(dictionary::l2_refs(), i1, i2, i3, val, lg, ierr);
}

void srch_angl_l_(int32_t, std::string_view, int32_t i1, int32_t i2, int32_t i3, int32_t if1,
                  int32_t if2, int32_t if3, float& val, int32_t& lg, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  val = 0.0f;
  if (r.llg_nangl <= 0 || i1 < 1 || i2 < 1 || i3 < 1) {
    ierr = 1;
    return;
  }
  const LinkAtom x = link_atom(i1, if1), y = link_atom(i2, if2), z = link_atom(i3, if3);
  for (int k = 1; k <= r.llg_nangl; ++k) {
    if (link_angle_row(k, x, y, z) || link_angle_row(k, z, y, x)) {
      lg = k;
      val = r.llg_val(k);
      return;
    }
  }
  ierr = 2;
  energy_angle(x.type, y.type, z.type, val, ierr);
}

void srch_tors_(int32_t, std::string_view, int32_t i1, int32_t i2, int32_t i3, int32_t i4,
                float& val, int32_t& lt, int32_t& inv, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  val = 0.0f;
  inv = 1;
  if (r.l1t_ntors <= 0 || i1 < 1 || i2 < 1 || i3 < 1 || i4 < 1) {
    ierr = 1;
    return;
  }
  const int32_t idx[4] = {i1, i2, i3, i4};
  Name a[4];
  for (int m = 0; m < 4; ++m) a[m] = r.l1a_aname(idx[m]);
  for (int j = 1; j <= r.l1t_ntors; ++j) {
    const Name &t1 = r.l1t_1atm(j), &t2 = r.l1t_2atm(j), &t3 = r.l1t_3atm(j), &t4 = r.l1t_4atm(j);
    if (t2 == a[1] && t3 == a[2] && t1 == a[0] && t4 == a[3]) {
      inv = 1;
    } else if (t2 == a[2] && t3 == a[1] && t1 == a[3] && t4 == a[0]) {
      inv = -1;
    } else {
      continue;
    }
    lt = j;
    val = r.l1t_val(j);
    return;
  }
  ierr = 2;
  rt::FixedText<3> ring[4];
  Name t[4];
  for (int m = 0; m < 4; ++m) {
    check_ring_(r.l1a_chem(idx[m]), ring[m]);
    t[m] = work_type(r.l1a_symb(idx[m]), r.l1a_chem(idx[m]));
  }
  for (int k = 1; k <= r.let_ntors; ++k) {
    const Name e2 = row_type(r.let_2atm(k)), e3 = row_type(r.let_3atm(k));
    if (!((e2 == t[1] && e3 == t[2]) || (e2 == t[2] && e3 == t[1]))) continue;
    val = r.let_angle(k);
    ierr = 3;
    const auto &r1 = ring[0], &r2 = ring[1], &r3 = ring[2], &r4 = ring[3];
    // A torsion about a bond of a flat ring system is 0 or 180 by where its
    // end atoms lie.
    if (r.let_const(k) > 2.0f && r2(1) == 'R' && r3(1) == 'R') {
      const bool f2 = r2(2) == 'R', f3 = r3(2) == 'R';
      if (f2 && f3) val = (r2(3) == '5' && r1(2) == r4(2)) ? 0.0f : 180.0f;
      else if (f2) val = r4(1) == 'R' ? 180.0f : 0.0f;
      else if (f3) val = r1(1) == 'R' ? 180.0f : 0.0f;
      else val = r1(1) == r4(1) ? 0.0f : 180.0f;
    }
    return;
  }
}

void srch_chir_(int32_t, std::string_view, int32_t i1, int32_t i2, int32_t i3, int32_t i4,
                float& vol, int32_t& lc, int32_t& is, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  lc = 0;
  if (r.l1c_nchir <= 0 || i1 < 1 || i2 < 1 || i3 < 1 || i4 < 1) {
    ierr = 1;
    return;
  }
  const Name &a1 = r.l1a_aname(i1), &a2 = r.l1a_aname(i2), &a3 = r.l1a_aname(i3),
             &a4 = r.l1a_aname(i4);
  for (int i = 1; i <= r.l1c_nchir; ++i) {
    if (!(r.l1c_1atm(i) == a1) || dictionary::metal_shape(r.l1c_sign(i))) continue;
    const Name &c2 = r.l1c_2atm(i), &c3 = r.l1c_3atm(i), &c4 = r.l1c_4atm(i);
    int parity = 0;
    if ((c2 == a2 && c3 == a3 && c4 == a4) || (c2 == a3 && c3 == a4 && c4 == a2) ||
        (c2 == a4 && c3 == a2 && c4 == a3))
      parity = 1;
    else if ((c2 == a2 && c3 == a4 && c4 == a3) || (c2 == a3 && c3 == a2 && c4 == a4) ||
             (c2 == a4 && c3 == a3 && c4 == a2))
      parity = -1;
    else continue;
    vol = r.l1c_vol(i);
    rt::FixedText<8> sign = r.l1c_sign(i);
    // "both" takes its handedness from the row's flag, as read.
    if (starts(sign.view(), "both")) {
      if (r.l1c_flag(i) == "R") sign = "positiv";
      if (r.l1c_flag(i) == "L") sign = "negativ";
    }
    lc = i;
    is = starts(sign.view(), "neg") ? -parity : parity;
    return;
  }
  ierr = 2;
}

void srch_chir_centre_(int32_t, std::string_view, int32_t i1, int32_t& lc, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  lc = 0;
  if (r.l1c_nchir <= 0 || i1 < 1) return;
  for (int i = 1; i <= r.l1c_nchir; ++i) {
    if (r.l1c_1atm(i) == r.l1a_aname(i1) && !dictionary::metal_shape(r.l1c_sign(i))) {
      lc = i;
      return;
    }
  }
}

void srch_chir_centre_l_(int32_t, std::string_view link, std::string_view atom, int32_t& lc,
                         int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  lc = 0;
  for (int i = 1; i <= r.llc_nchir; ++i) {
    if (r.llc_lname(i) == link && r.llc_1atm(i) == atom &&
        !dictionary::metal_shape(r.llc_sign(i))) {
      lc = i;
      return;
    }
  }
}

void srch_chir_centre_2_(int32_t, std::string_view atom, int32_t& lc, rt::FixedText<4>& atom2,
                         rt::FixedText<4>& atom3, rt::FixedText<4>& atom4, int32_t& is,
                         int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  lc = 0;
  for (int i = 1; i <= r.l2c_nchir; ++i) {
    if (!(r.l2c_1atm(i) == atom) || dictionary::metal_shape(r.l2c_sign(i))) continue;
    lc = i;
    atom2 = r.l2c_2atm(i);
    atom3 = r.l2c_3atm(i);
    atom4 = r.l2c_4atm(i);
    const std::string_view sign = r.l2c_sign(i).view();
    is = starts(sign, "pos") ? 1 : starts(sign, "neg") ? -1 : 0;
    return;
  }
}

void srch_plan_(int32_t, std::string_view, int32_t i1, int32_t i2, int32_t i3, int32_t i4,
                int32_t& lp, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  lp = 0;
  if (r.l1p_nplan <= 0 || i1 < 1 || i2 < 1 || i3 < 1 || i4 < 1) {
    ierr = 1;
    return;
  }
  const Name* q[4] = {&r.l1a_aname(i1), &r.l1a_aname(i2), &r.l1a_aname(i3), &r.l1a_aname(i4)};
  for (int p = 1; p <= r.l1p_nplan; ++p) {
    const int n = r.l1p_natom(p);
    if (n < 4) continue;
    int count = 0;
    for (int j = 1; j <= n && j <= MAX1APL; ++j)
      for (const Name* name : q)
        if (r.l1p_atom(j, p) == *name) ++count;
    if (count >= 4) {
      lp = p;
      return;
    }
  }
}

void check_ring_(std::string_view type, rt::FixedText<3>& ring) {
  const rt::FixedText<4> t(type);
  const std::string_view head = t.view().substr(0, 3);
  if (t == "CR66" || t == "NR66") ring = "RR6";
  else if (t == "CR56" || t == "NR56") ring = "RR5";
  else if (t == "CR55" || t == "NR55") ring = "RRR";
  else if (head == "CR5" || head == "NR5" || t == "CR15" || t == "NRD5" || t == "NR15")
    ring = "R5 ";
  else if (head == "CR6" || head == "NR6" || t == "CR16" || t == "NRD6" || t == "NR16")
    ring = "R6 ";
  else ring = "N  ";
}

void check_ring_id_(int32_t, int32_t n1, int32_t n2, int32_t n3, int32_t n4, int32_t& id,
                    float& phi, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  id = 0;
  phi = 0.0f;
  // Indexes outside the atom list name no ring atom.
  for (int32_t n : {n1, n2, n3, n4})
    if (n < 1 || n > MAX1ATM) return;
  bool flat = false, in1 = false, in4 = false, all_four = false;
  const int m2 = r.l1a_nring(n2) < MAX1BRN ? r.l1a_nring(n2) : MAX1BRN;
  const int m3 = r.l1a_nring(n3) < MAX1BRN ? r.l1a_nring(n3) : MAX1BRN;
  for (int k2 = 1; k2 <= m2 && !all_four; ++k2) {
    for (int k3 = 1; k3 <= m3 && !all_four; ++k3) {
      const int32_t ring = r.l1a_ring_id(k2, n2);
      if (r.l1a_ring_id(k3, n3) != ring) continue;
      if (r.l1a_ring_flat(k3, n3) > 0) flat = true;
      id = 1;
      const bool has1 = in_ring(n1, ring), has4 = in_ring(n4, ring);
      if (has1) {
        id = 2;
        in1 = true;
      }
      if (has4) {
        id = 2;
        in4 = true;
      }
      if (has1 && has4) {
        id = 3;
        all_four = true;
      }
    }
  }
  if (!all_four && (in1 || in4)) phi = 180.0f;
  if (!flat) id = -id;
}
