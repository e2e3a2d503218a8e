// The comparison keeps the last missing and extra atoms and the first nine
// of each; only the counts one and two are ever paired.
#include "identify/name_compare.h"

#include <string>

#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "identify/lib_lookup.h"
#include "identify/work_residue.h"
#include "runtime/format.h"

namespace {

using Name = rt::FixedText<4>;

constexpr float kMinOcc = 1.0E-4f;
constexpr int kListed = 9;
constexpr int kLastSuffix = 98;

struct Side {
  int n = 0;
  rt::Array1<int32_t, kListed> index;
  rt::Array1<Name, kListed> symb;
  void add(int i, const Name& s) {
    ++n;
    if (n <= kListed) {
      index(n) = i;
      symb(n) = s;
    }
  }
};

// The warning header of the residue, written once before its first detail.
struct Header {
  int32_t mdoc;
  std::string line;
  bool written = false;
  void detail(std::string_view text) {
    if (!written) msgdoc_(mdoc, line);
    written = true;
    msgdoc_(mdoc, text);
  }
};

int c1_of(const Name& n) {
  const r_scratch_t& r = r_scratch;
  for (int j = 1; j <= r.c1_natom; ++j)
    if (r.c1_aname(j) == n) return j;
  return 0;
}

int l1_of(const Name& n) {
  const r_scratch_t& r = r_scratch;
  for (int i = 1; i <= r.l1a_natom; ++i)
    if (r.l1a_aname(i) == n) return i;
  return 0;
}

// L1 rebuilt from every atom of C1 as the new monomer mon_new.
void l1_from_c1(int32_t mdoc, const rt::FixedText<8>& mon_new, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  new_l1_header(mon_new, rt::FixedText<8>("."));
  r.l1l_type = "non-polymer";
  r.l1l_prsnt = "N";
  r.l1l_nhatm = r.l1a_nhatom = 0;
  r.l1l_natm = r.l1a_natom = r.c1_natom;
  for (int i = 1; i <= r.c1_natom; ++i) {
    l1_atom_from_c1(i, i, r.s1_chem(i));
    const int sf = r.c1_sf_id(i);
    Name symb = sf >= 1 && sf <= MAXNSF ? crst_crd.cs_atype(sf) : r.c1_asymb(i);
    int32_t insf = 0;
    chkasym_(mdoc, symb, insf, ierr);
    r.l1a_sf_id(i) = insf;
  }
}

}  // namespace

void check_cmp_mon5_(int32_t mmdoc, char list, char /*check*/, int32_t /*ig*/, int32_t /*ir*/, int32_t /*ias*/,
                     int32_t& nmon_crt_new, rt::FixedText<8>& mon_new, rt::FixedText<1>& new_flag,
                     int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const int32_t mdoc = list == 'S' ? 999 : mmdoc;
  if (r.l1a_natom <= 0) {
    msgerr_(mdoc, rt::fmt("(A,A,A,I6)", " ERROR: number of atoms in monomer (lib) ", r.l1l_mname, " = ", r.l1a_natom));
    ierr = 1;
    return;
  }
  const rt::FixedText<8> rname = r.c1_rname;
  if (r.c1_natom <= 0) return;
  Header head{mdoc, " WARNING : residue: " + rname.str() + " " + std::string(r.c1_pnum.sub(3, 7)) + " chain:" +
                        std::string(r.c1_pnum.sub(8, 11))};

  for (int i = 1; i <= r.l1a_natom; ++i)
    for (int j = i + 1; j <= r.l1a_natom; ++j)
      if (r.l1a_aname(i) == r.l1a_aname(j))
        head.detail(" WARNING : " + rname.str() + " : duplicated atom_name (lib) :\"" + r.l1a_aname(i).str() + "\"");

  Side miss, extra;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    r.l1a_coor_flag(i) = "N";
    const int j = c1_of(r.l1a_aname(i));
    if (j != 0) {
      if (r.c1_occ(j) > kMinOcc) {
        r.l1a_coor_flag(i) = "Y";
        r.l1a_x(i) = r.c1_xyz(1, j);
        r.l1a_y(i) = r.c1_xyz(2, j);
        r.l1a_z(i) = r.c1_xyz(3, j);
      }
    } else if (!dictionary::is_hydrogen(r.l1a_symb(i))) {
      head.detail("           atom: \"" + r.l1a_aname(i).str() + "\" is absent in coord_file");
      miss.add(i, r.l1a_symb(i));
    }
  }
  for (int j = 1; j <= r.c1_natom; ++j) {
    if (l1_of(r.c1_aname(j)) != 0 || dictionary::is_hydrogen(r.c1_asymb(j))) continue;
    head.detail("           atom: \"" + r.c1_aname(j).str() + "\" is absent in lib description.");
    extra.add(j, r.c1_asymb(j));
  }
  if (list == 'T') msgdoc_(mdoc, rt::fmt("(A,2I5)", " N_UNK,N_MISS: ", extra.n, miss.n));
  if (extra.n == 0 || miss.n == 0) return;

  if (extra.n == 1 && miss.n == 1 && extra.symb(1) == miss.symb(1)) {
    r.c2_aname(extra.index(1)) = r.l1a_aname(miss.index(1));
    msgdoc_(mdoc, rt::list_line("U,M:", r.c2_aname(extra.index(1)), r.l1a_aname(miss.index(1))));
    return;
  }
  if (extra.n == 2 && miss.n == 2) {
    int pair1 = 0, pair2 = 0;  // the extra atoms given to missing atoms 1 and 2
    if (extra.symb(1) == miss.symb(1) && extra.symb(2) == miss.symb(2)) {
      pair1 = 1;
      pair2 = 2;
    } else if (extra.symb(2) == miss.symb(1) && extra.symb(1) == miss.symb(2)) {
      pair1 = 2;
      pair2 = 1;
    }
    if (pair1 != 0) {
      msgdoc_(mdoc, rt::list_line("CHEM:", extra.symb(1), miss.symb(1), extra.symb(2), miss.symb(2)));
      msgdoc_(mdoc, rt::list_line(miss.index(1), miss.index(2), extra.index(pair1), extra.index(pair2)));
      r.c2_aname(extra.index(pair1)) = r.l1a_aname(miss.index(1));
      r.c2_aname(extra.index(pair2)) = r.l1a_aname(miss.index(2));
      return;
    }
  }

  if (nmon_crt_new >= 99) return;
  const std::string stem = std::string(rname.trimmed()) + "_";
  int k = nmon_crt_new;
  rt::FixedText<8> candidate;
  for (;;) {
    ++k;
    if (k > kLastSuffix) return;
    candidate = stem + "N" + std::to_string(k);
    int32_t found = 0;
    check_mon_name_in_lib_(candidate, found);
    if (found != 0) break;
  }
  mon_new = candidate;
  nmon_crt_new = k;
  r.c1_rname = mon_new;
  new_flag = "Y";
  l1_from_c1(mdoc, mon_new, ierr);
  r.l1l_mname = mon_new;
}
