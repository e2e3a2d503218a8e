// Ring perception by a depth-first enumeration of simple paths of up to six
// atoms over a copy of the neighbour lists taken before the search, so the
// ring-closure marks made while searching do not change what is searched.
// Each ring is met from its lowest-numbered atom first; later meetings, and
// cycles sharing three or more atoms with a recorded ring, are dropped.
#include "dictionary/ring_perception.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

struct Work {
  rt::Array1<int32_t, MAX1ATM> ndist;
  rt::Array2<int32_t, MAX1BRN, MAX1ATM> conn;
  int32_t ichem[MAX1ATM];
  bool full_reported;  // a ring that does not fit is met up to 12 times: say so once
};
Work work;

// Subsets of iring without `drop` positions (0 to 3), in the order of nested
// loops over ordered tuples of distinct positions; first ring found wins.
int32_t search_without(int nr, const int32_t* iring, int nringt, int drop) {
  int32_t sub[6];
  int pos[3] = {0, 0, 0};
  auto build_and_search = [&]() {
    int m = 0;
    for (int k = 0; k < nr; ++k) {
      bool skip = false;
      for (int d = 0; d < drop; ++d)
        if (pos[d] == k) skip = true;
      if (!skip) sub[m++] = iring[k];
    }
    int32_t id = 0;
    ring_srch_(m, sub, nringt, id);
    return id;
  };
  if (drop == 0) return build_and_search();
  for (pos[0] = 0; pos[0] < nr; ++pos[0]) {
    if (drop == 1) {
      if (const int32_t id = build_and_search()) return id;
      continue;
    }
    for (pos[1] = 0; pos[1] < nr; ++pos[1]) {
      if (pos[1] == pos[0]) continue;
      if (drop == 2) {
        if (const int32_t id = build_and_search()) return id;
        continue;
      }
      for (pos[2] = 0; pos[2] < nr; ++pos[2]) {
        if (pos[2] == pos[0] || pos[2] == pos[1]) continue;
        if (const int32_t id = build_and_search()) return id;
      }
    }
  }
  return 0;
}

std::string i_field(int w, int v) {
  static constexpr std::string_view kFormats[] = {"(I2)", "(I3)", "(I4)", "(I5)"};
  return std::string(rt::fmt(kFormats[std::clamp(w, 2, 5) - 2], v));
}

void trace_atoms(int32_t mdoc) {
  const r_scratch_t& r = r_scratch;
  msgdoc_(mdoc, rt::list_line(" --- ring ---"));
  for (int i = 1; i <= r.l1a_natom; ++i) {
    std::string line = i_field(2, i) + " " + std::string(r.l1a_aname(i).view()) + " " +
                       i_field(4, r.l1a_ichir(i)) + ";" + i_field(3, r.l1a_ndist(i));
    for (int k = 1; k <= 5; ++k) line += i_field(3, r.l1a_conn(k, i));
    line += ';';
    line += i_field(3, r.l1a_nextr(i));
    for (int k = 1; k <= 5; ++k) line += i_field(3, r.l1a_iextr(k, i));
    line += i_field(3, r.l1a_ichem(i));
    msgdoc_(mdoc, line);
  }
}

void trace_work(int32_t mdoc) {
  const r_scratch_t& r = r_scratch;
  msgdoc_(mdoc, "---------");
  for (int i = 1; i <= r.l1a_natom; ++i) {
    std::string line = "=ia:" + i_field(3, i) + std::string(r.l1a_aname(i).view()) +
                       " Ndist:" + i_field(4, work.ndist(i)) + " ;";
    for (int k = 1; k <= MAX1BRN; ++k) line += i_field(3, work.conn(k, i));
    msgdoc_(mdoc, line + ";");
  }
  msgdoc_(mdoc, "---------");
}

void trace_rings(int32_t mdoc, int32_t nringt) {
  const r_scratch_t& r = r_scratch;
  msgdoc_(mdoc, " --- rings ---");
  msgdoc_(mdoc, "Nringt=" + i_field(5, nringt));
  for (int i = 1; i <= r.l1a_natom; ++i) {
    std::string line = i_field(4, i) + " " + std::string(r.l1a_aname(i).view()) + " " +
                       i_field(4, r.l1a_nring(i)) + "   ";
    for (int k = 1; k <= 5; ++k)
      line += i_field(3, r.l1a_ring_id(k, i)) + i_field(3, r.l1a_ring_ord(k, i)) +
              i_field(3, r.l1a_ring_flat(k, i)) + "  ";
    msgdoc_(mdoc, line);
  }
  msgdoc_(mdoc, " ------");
}

// A candidate ring of the path iring(1..nr), closed by the entry `slot` of
// the last path atom pointing back to the start atom.
void candidate(int32_t mdoc, int nr, const int32_t* iring, int slot, int32_t& nringt) {
  r_scratch_t& r = r_scratch;
  int32_t id = 0;
  is_there_this_ring_(nr, iring, nringt, id);
  if (id != 0) return;
  for (int k = 0; k < nr; ++k) {
    if (r.l1a_nring(iring[k]) >= MAX1BRN) {
      if (work.full_reported) return;
      work.full_reported = true;
      foundation::table_full(
          mdoc,
          " WARNING: number of rings of atom " + std::string(r.l1a_aname(iring[k]).view()) +
              " of new monomer " + std::string(rt::FixedText<8>(r.l1l_mname.view()).view()) + " >",
          MAX1BRN, "", {.constant = "MAX1BRN", .header = "lib_com", .indent = 10});
      return;
    }
  }
  const int i = iring[0], last = iring[nr - 1];
  for (int k = 1; k <= r.l1a_ndist(i) && k <= MAX1BRN; ++k) {
    if (r.l1a_conn(k, i) == last) {
      r.l1a_conn(k, i) = -last;
      break;
    }
  }
  r.l1a_conn(slot, last) = -std::abs(r.l1a_conn(slot, last));
  ++nringt;
  add_this_ring_(nr, iring, nringt, work.ichem);
}

}  // namespace

void ring_(int32_t mdoc, char list, int32_t& nringt, int32_t /*iprsnt*/, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (list == 'T') trace_atoms(mdoc);
  nringt = 0;
  work.full_reported = false;
  const int n = r.l1a_natom;
  for (int i = 1; i <= n; ++i) {
    r.l1a_nring(i) = 0;
    for (int k = 1; k <= MAX1BRN; ++k) {
      r.l1a_ring_id(k, i) = 0;
      r.l1a_ring_ord(k, i) = 0;
      r.l1a_ring_flat(k, i) = 0;
    }
    work.ndist(i) = std::min<int32_t>(r.l1a_ndist(i), MAX1BRN);
    for (int k = 1; k <= MAX1BRN; ++k) work.conn(k, i) = r.l1a_conn(k, i);
    work.ichem[i - 1] = (r.l1a_ichir(i) > 0 || r.l1a_atype(i)(1) == 'P') ? -1 : 0;
  }
  if (list == 'T') trace_work(mdoc);

  if (n >= 4) {
    int32_t p[6];
    // Neighbours of atom a that the search may follow: positive entries.
    auto nb = [&](int a, int k) { return work.conn(k, a); };
    auto deg = [&](int a) { return work.ndist(a); };
    for (int i = 1; i <= n; ++i) {
      if (deg(i) < 1) continue;
      p[0] = i;
      for (int k1 = 1; k1 <= deg(i); ++k1) {
        const int j1 = nb(i, k1);
        if (j1 <= 0 || deg(j1) < 2) continue;
        p[1] = j1;
        for (int k2 = 1; k2 <= deg(j1); ++k2) {
          const int j2 = nb(j1, k2);
          if (j2 <= 0 || j2 == i || deg(j2) < 2) continue;
          p[2] = j2;
          for (int k3 = 1; k3 <= deg(j2); ++k3) {
            const int j3 = nb(j2, k3);
            if (j3 <= 0 || j3 == j1 || j3 == i) continue;  // j3 == i: a three-atom cycle
            if (deg(j3) < 2) continue;
            p[3] = j3;
            for (int k4 = 1; k4 <= deg(j3); ++k4) {
              const int j4 = nb(j3, k4);
              if (j4 <= 0 || j4 == j1 || j4 == j2) continue;
              if (j4 == i) {
                candidate(mdoc, 4, p, k4, nringt);
                continue;
              }
              if (deg(j4) < 2) continue;
              p[4] = j4;
              for (int k5 = 1; k5 <= deg(j4); ++k5) {
                const int j5 = nb(j4, k5);
                if (j5 <= 0 || j5 == j1 || j5 == j2 || j5 == j3) continue;
                if (j5 == i) {
                  candidate(mdoc, 5, p, k5, nringt);
                  continue;
                }
                if (deg(j5) < 2) continue;
                p[5] = j5;
                for (int k6 = 1; k6 <= deg(j5); ++k6) {
                  const int j6 = nb(j5, k6);
                  if (j6 == i) candidate(mdoc, 6, p, k6, nringt);
                }
              }
            }
          }
        }
      }
    }
  }
  if (list == 'T') trace_rings(mdoc, nringt);
}

void is_there_this_ring_(int32_t nr, const int32_t* iring, int32_t nringt, int32_t& iring_id) {
  iring_id = 0;
  if (nr < 3 || nringt < 1) return;
  for (int drop = 0; drop <= 3 && nr - drop >= 3; ++drop) {
    iring_id = search_without(nr, iring, nringt, drop);
    if (iring_id != 0) return;
  }
}

void ring_srch_(int32_t nr, const int32_t* iring, int32_t nringt, int32_t& iring_id) {
  iring_id = 0;
  if (nr < 3 || nringt < 1) return;
  for (int k = 0; k < nr; ++k)
    if (r_scratch.l1a_nring(iring[k]) < 1) return;
  for (int ring = 1; ring <= nringt; ++ring) {
    bool all = true;
    for (int k = 0; k < nr && all; ++k) all = dictionary::atom_in_ring(iring[k], ring);
    if (all) {
      iring_id = ring;
      return;
    }
  }
}

void add_this_ring_(int32_t nr, const int32_t* iring, int32_t nringt, const int32_t* ichem) {
  r_scratch_t& r = r_scratch;
  int flat = 1;
  for (int k = 0; k < nr; ++k)
    if (ichem[iring[k] - 1] == -1) flat = 0;
  for (int k = 0; k < nr; ++k) {
    const int a = iring[k];
    const int slot = ++r.l1a_nring(a);
    r.l1a_ring_id(slot, a) = nringt;
    r.l1a_ring_ord(slot, a) = nr;
    r.l1a_ring_flat(slot, a) = flat;
  }
}

bool dictionary::atom_in_ring(int32_t a, int32_t ring) {
  const r_scratch_t& s = r_scratch;
  for (int k = 1; k <= s.l1a_nring(a) && k <= MAX1BRN; ++k)
    if (s.l1a_ring_id(k, a) == ring) return true;
  return false;
}
