// Input checks of the builder.  Tables are compacted in place: the rows that
// stay move down in their former order.
#include "dictionary/new_input_checks.h"

#include <string>

#include "dictionary/l1_kernels.h"
#include "dictionary/lib_com.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"

namespace {

using Name = rt::FixedText<4>;

std::string code8() { return std::string(rt::FixedText<8>(r_scratch.l1l_mname.view()).view()); }

// The nine name and index columns of the chiral table.
struct ChirCols {
  rt::Array1<Name, MAX1CHR>* name[9];
  rt::Array1<int32_t, MAX1CHR>* index[9];
};

ChirCols chir_cols() {
  r_scratch_t& r = r_scratch;
  return {{&r.l1c_1atm, &r.l1c_2atm, &r.l1c_3atm, &r.l1c_4atm, &r.l1c_5atm, &r.l1c_6atm,
           &r.l1c_7atm, &r.l1c_8atm, &r.l1c_9atm},
          {&r.l1c_i1atm, &r.l1c_i2atm, &r.l1c_i3atm, &r.l1c_i4atm, &r.l1c_i5atm, &r.l1c_i6atm,
           &r.l1c_i7atm, &r.l1c_i8atm, &r.l1c_i9atm}};
}

}  // namespace

void check_list_atom_(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  int n = 0;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    const char cls = r.l1a_atype(i)(1);
    if (cls == '?') continue;
    if (cls == 'H' && r.l1a_coor_flag(i)(1) != 'Y') continue;
    ++n;
    if (n == i) continue;
    r.l1a_aname(n) = r.l1a_aname(i);
    r.l1a_symb(n) = r.l1a_symb(i);
    r.l1a_chem(n) = r.l1a_chem(i);
    r.l1a_atype(n) = r.l1a_atype(i);
    r.l1a_coor_flag(n) = r.l1a_coor_flag(i);
    r.l1a_x(n) = r.l1a_x(i);
    r.l1a_y(n) = r.l1a_y(i);
    r.l1a_z(n) = r.l1a_z(i);
  }
  if (n == 0) {
    msgdoc_(mdoc, " ERROR: " + code8() + ": number atoms = 0");
    ierr = 1;
    return;
  }
  r.l1a_natom = n;
  for (int i = 1; i <= n; ++i) {
    if (r.l1a_coor_flag(i)(1) != 'Y') {
      msgdoc_(mdoc, " ERROR: " + code8() + ": can not create new monomer");
      msgdoc_(mdoc, std::string(19, ' ') + "Some atoms without coordinates");
      ierr = 1;
      return;
    }
  }
}

void check_list_bond_(int32_t mdoc, char& chem_flag, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (r.l1a_natom <= 0 || r.l1b_nbond <= 0) return;

  // A bond is repeated when an earlier bond joins the same two names; the
  // pair key is the two names in a fixed order.
  static foundation::LookupIndex<8, MAX1BND> seen;
  seen.clear();
  int k = 0;
  for (int b = 1; b <= r.l1b_nbond; ++b) {
    const Name& a1 = r.l1b_1atm(b);
    const Name& a2 = r.l1b_2atm(b);
    const bool in_order = rt::text_cmp(a1.view(), a2.view()) <= 0;
    const std::string key =
        std::string((in_order ? a1 : a2).view()) + std::string((in_order ? a2 : a1).view());
    if (seen.contains(key)) continue;
    seen.add(key, b);
    ++k;
    if (k == b) continue;
    r.l1b_1atm(k) = r.l1b_1atm(b);
    r.l1b_2atm(k) = r.l1b_2atm(b);
    r.l1b_i1atm(k) = r.l1b_i1atm(b);
    r.l1b_i2atm(k) = r.l1b_i2atm(b);
    r.l1b_type(k) = r.l1b_type(b);
    r.l1b_val(k) = r.l1b_val(b);
    r.l1b_dev(k) = r.l1b_dev(b);
    r.l1b_vobs(k) = r.l1b_vobs(b);
  }
  r.l1b_nbond = k;

  static foundation::LookupIndex<4, MAX1ATM> atoms;
  atoms.clear();
  for (int i = 1; i <= r.l1a_natom; ++i) atoms.add(r.l1a_aname(i).view(), i);
  for (int b = 1; b <= r.l1b_nbond; ++b) {
    for (const Name* a : {&r.l1b_1atm(b), &r.l1b_2atm(b)}) {
      if (atoms.contains(a->view())) continue;
      msgdoc_(mdoc,
              " ERROR: " + code8() + " : list of bonds: ATOM:" + std::string(a->view()) + " ?");
      ierr = 2;
    }
  }
  if (ierr != 0) return;

  chem_flag = 'B';
  for (int b = 1; b <= r.l1b_nbond; ++b) {
    const std::string_view t = r.l1b_type(b).view();
    if (t[0] == '.' || t.substr(0, 4) == "cova") chem_flag = 'Y';
  }
  if (chem_flag == 'B') return;
  for (int i = 1; i <= r.l1a_natom; ++i) {
    if (r.l1a_chem(i)(1) == '.') {
      chem_flag = 'L';
      return;
    }
  }
  static foundation::LookupIndex<4, MAXETYP> types;
  types.clear();
  for (int t = 1; t <= r.lea_natom; ++t) types.add(r.lea_aname(t).view(), t);
  for (int i = 1; i <= r.l1a_natom; ++i) {
    if (types.contains(r.l1a_chem(i).view())) continue;
    msgdoc_(mdoc, " WARNING: " + code8() + " : chemical TYPE:" + std::string(r.l1a_chem(i).view()) +
                      " not found");
    chem_flag = 'L';
  }
}

void check_chir_atom_(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  if (r.l1a_natom <= 0 || r.l1c_nchir <= 0) return;
  static foundation::LookupIndex<4, MAX1ATM> atoms;
  atoms.clear();
  for (int i = 1; i <= r.l1a_natom; ++i) atoms.add(r.l1a_aname(i).view(), i);
  const ChirCols cols = chir_cols();
  int k = 0;
  bool dropped = false;
  for (int c = 1; c <= r.l1c_nchir; ++c) {
    for (int s = 0; s < 9; ++s) (*cols.index[s])(c) = atoms.first((*cols.name[s])(c).view());
    const bool keep =
        (*cols.index[0])(c) > 0 &&
        (dictionary::metal_shape(r.l1c_sign(c)) ||
         ((*cols.index[3])(c) > 0 && ((*cols.index[1])(c) > 0 || (*cols.index[2])(c) > 0)));
    if (!keep) {
      dropped = true;
      continue;
    }
    ++k;
    if (k == c) continue;
    for (int s = 0; s < 9; ++s) {
      (*cols.name[s])(k) = (*cols.name[s])(c);
      (*cols.index[s])(k) = (*cols.index[s])(c);
    }
    r.l1c_vol(k) = r.l1c_vol(c);
    r.l1c_vobs(k) = r.l1c_vobs(c);
    r.l1c_sign(k) = r.l1c_sign(c);
    r.l1c_flag(k) = r.l1c_flag(c);
  }
  if (dropped) msgdoc_(mdoc, " WARNING: " + code8() + ": some chirality is not defined");
  r.l1c_nchir = k;
}
