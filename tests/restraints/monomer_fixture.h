// Residues of real entries put into the work areas the way the restraint
// generator holds them: the test library's monomer in L1 (and L2), the
// residue's atoms in C1/S1 (or C2/S2) in the monomer's tree order, one row a
// library atom, with the atoms the model lacks flagged missing.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "dictionary/lib_to_work.h"
#include "dictionary/libcom.h"
#include "dictionary/monlib_fixture.h"
#include "dictionary/tree_numbering.h"
#include "dictionary/work_copies.h"
#include "restraints/work_slot.h"
#include "support/capture.h"

namespace fixture {

struct Xyz {
  float x[3];
};
using Residue = std::map<std::string, Xyz>;  // atom name to position

// Atoms of residue `number` of chain `chain` in a PDB file of tests/data.
inline Residue pdb_residue(const std::string& file, char chain, int number) {
  std::ifstream in(std::string(ORB_TEST_DATA_DIR) + "/" + file);
  Residue res;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("ATOM", 0) != 0 && line.rfind("HETATM", 0) != 0) continue;
    if (line.rfind("ENDMDL", 0) == 0) break;
    if (line.size() < 54 || line[21] != chain || std::stoi(line.substr(22, 4)) != number) continue;
    std::string name = line.substr(12, 4);
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (res.count(name)) continue;  // first model only
    res[name] = Xyz{{std::stof(line.substr(30, 8)), std::stof(line.substr(38, 8)), std::stof(line.substr(46, 8))}};
  }
  return res;
}

// The test library, loaded once for the program.
inline void load_library() {
  static bool loaded = false;
  if (loaded) return;
  std::string log;
  ASSERT_EQ(monlib::load(monlib::test_library(), log), 0) << log;
  loaded = true;
}

// The library monomer `code` in L1.
inline void monomer_in_l1(const char* code) {
  load_library();
  libcom.lb_hflag = "Y";
  r_scratch_t& r = r_scratch;
  rt::FixedText<8> mon(code);
  int32_t ierr = -1;
  captured([&] { cp_mlib_(0, mon, ierr); });
  if (ierr == 2) {
    // Not read yet: reading a description also rewrites L2 (its tree check).
    for (int l = 1; l <= r.lml_nmon; ++l)
      if (r.lml_mname(l) == code) r.lml_fuse(l) = "R";
    captured([&] { read_lib_(0, "M", 'N', ' ', ierr); });
    ASSERT_EQ(ierr, 0) << code;
    mon = code;
    captured([&] { cp_mlib_(0, mon, ierr); });
  }
  ASSERT_EQ(ierr, 0) << code;
  captured([&] { set_num_(0, mon.view(), "", ierr); });
  ASSERT_EQ(ierr, 0) << code;
}

// Fills a residue area from the monomer in L1: row i is library atom i,
// positions from res, atoms res lacks flagged 'M'.  The tree of the rows is
// the library tree; base is the serial base of the residue.
inline void residue_in_slot(const restraints::WorkSlot& s, const Residue& res, const char* rname, int base) {
  r_scratch_t& r = r_scratch;
  const int n = r.l1a_natom;
  s.natom = s.igatm = n;
  s.iglobal = base;
  s.rname = rname;
  s.pnum = "  A  17 A   ";
  for (int i = 1; i <= n; ++i) {
    s.aname(i) = r.l1a_aname(i).view();
    s.asymb(i) = r.l1a_symb(i).view();
    s.inew(i) = s.iold(i) = s.ilib(i) = i;
    s.nalt(i) = 1;
    s.ialt(i) = 0;
    s.occ(i) = 1.0f;
    s.biso(i) = 20.0f;
    s.iback(i) = std::max(r.l1a_iback(i), 0);
    s.ndist(i) = r.l1a_ndist(i);
    for (int k = 1; k <= r.l1a_ndist(i); ++k) s.conn(k, i) = r.l1a_conn(k, i);
    s.nextr(i) = 0;
    s.conn_s(i) = s.conn_f(i) = 0;
    s.dist(i) = s.tht(i) = -1.0f;
    s.psi(i) = 0.0f;
    s.id_psi(i) = "?";
    r.c1_alt(i) = r.c1_corr(i) = r.c2_alt(i) = r.c2_corr(i) = ".";
    r.s1_iforw(i) = r.s2_iforw(i) = r.l1a_iforw(i);
    const auto it = res.find(std::string(r.l1a_aname(i).trimmed()));
    if (it != res.end()) {
      for (int k = 0; k < 3; ++k) s.xyz(k + 1, i) = it->second.x[k];
      s.atype(i) = "Y";
    } else {
      for (int k = 1; k <= 3; ++k) s.xyz(k, i) = 0.0f;
      s.atype(i) = "M";
    }
  }
  for (int k = 1; k <= r.l1n_nconn; ++k) {
    const int a = r.l1n_i1atm(k), b = r.l1n_i2atm(k);
    if (a < 1 || b < 1) continue;
    s.iextr(++s.nextr(a), a) = b;
    s.iextr(++s.nextr(b), b) = a;
  }
}

inline void monomer_to_l2() {
  int32_t ierr = 0;
  captured([&] { copyl2_(0, ierr); });
  ASSERT_EQ(ierr, 0);
}

inline float distance(const float* a, const float* b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

}  // namespace fixture

namespace fixture {

// Geometry in double precision, independent of the code under test.
struct V {
  double x, y, z;
};
inline V at(const restraints::WorkSlot& s, int a) { return {s.xyz(1, a), s.xyz(2, a), s.xyz(3, a)}; }
inline V sub(V a, V b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline double dot(V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V cross(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double norm(V a) { return std::sqrt(dot(a, a)); }
inline double degrees(double r) { return r * 180.0 / M_PI; }
// Bond angle a-b-c.
inline double angle(V a, V b, V c) {
  const V u = sub(a, b), w = sub(c, b);
  return degrees(std::acos(std::clamp(dot(u, w) / (norm(u) * norm(w)), -1.0, 1.0)));
}
// Torsion a-b-c-d, positive clockwise seen along b-c.
inline double torsion(V a, V b, V c, V d) {
  const V b1 = sub(b, a), b2 = sub(c, b), b3 = sub(d, c);
  const V n1 = cross(b1, b2), n2 = cross(b2, b3);
  return degrees(std::atan2(norm(b2) * dot(b1, n2), dot(n1, n2)));
}
inline double wrap(double a) {
  while (a > 180) a -= 360;
  while (a <= -180) a += 360;
  return a;
}

// Internal coordinates of a fully placed residue area in the form the
// rebuild reads them: bond to the back row, angle at the back row, and for
// the children of a row the last child's torsion with the others as offsets
// from it.  Children of the tree start (row `start`) and of its last child
// are referred to the start's frame as the end torsions do.
inline void internal_coordinates(const restraints::WorkSlot& s, int start) {
  for (int i = 1; i <= s.igatm; ++i) {
    const int b = s.iback(i);
    if (b <= 0) continue;
    s.dist(i) = static_cast<float>(norm(sub(at(s, i), at(s, b))));
    const int bb = s.iback(b);
    if (bb > 0) s.tht(i) = static_cast<float>(angle(at(s, bb), at(s, b), at(s, i)));
  }
  const int f1 = s.conn(s.ndist(start), start);
  for (int k = 1; k <= s.ndist(start); ++k) {
    const int m = s.conn(k, start);
    if (m != f1) s.tht(m) = static_cast<float>(angle(at(s, f1), at(s, start), at(s, m)));
  }
  for (int ic = 1; ic <= s.igatm; ++ic) {
    const int nd = s.ndist(ic);
    if (nd < 1) continue;
    const int b = s.iback(ic), last = s.conn(nd, ic);
    const V far{1000.0, 1000.0, 1000.0};
    if (ic == start) {
      // Frame g1-f1-start, the reference child being the second-last.
      const int g1 = s.conn(s.ndist(last), last);
      if (nd < 2) continue;
      const int ref = s.conn(nd - 1, ic);
      s.psi(ref) = static_cast<float>(torsion(at(s, g1), at(s, last), at(s, ic), at(s, ref)));
      for (int k = 1; k < nd - 1; ++k) {
        const int m = s.conn(k, ic);
        s.psi(m) = static_cast<float>(
            wrap(torsion(at(s, g1), at(s, last), at(s, ic), at(s, m)) - s.psi(ref)));
      }
      continue;
    }
    const int bb = b > 0 ? s.iback(b) : 0;
    const V p1 = bb > 0 ? at(s, bb) : far;
    const double t_ref = torsion(p1, at(s, b), at(s, ic), at(s, last));
    s.psi(last) = bb > 0 ? static_cast<float>(t_ref) : 0.0f;
    for (int k = 1; k < nd; ++k) {
      const int m = s.conn(k, ic);
      s.psi(m) = static_cast<float>(wrap(torsion(p1, at(s, b), at(s, ic), at(s, m)) - t_ref));
    }
  }
}

}  // namespace fixture
