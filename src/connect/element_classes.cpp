// Element classes and default bond lengths.
#include "connect/element_classes.h"

#include <algorithm>

#include "builder/metals.h"
#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"

void set_idlim_(std::string_view asymb, int32_t& itype) {
  // The metal list counts the halogens Cl, Br and I (not fluorine) and Se
  // and Si as metals for the distance limits.
  if (is_it_metal_(asymb)) {
    itype = 4;
    return;
  }
  if (rt::text_eq(asymb, "H") || rt::text_eq(asymb, "D")) {
    itype = 1;
  } else if (rt::text_eq(asymb, "P") || rt::text_eq(asymb, "S")) {
    itype = 3;
  } else {
    itype = 2;
  }
}

namespace {

// The mean of the generic lengths of types chem1 and chem2 (the last
// generic entry of each type counts); 0.0 when either has none.
float generic_mean(std::string_view chem1, std::string_view chem2) {
  const r_scratch_t& r = r_scratch;
  const int32_t n = std::min(r.leb_nbond, MAXBTYP);
  float d1 = 0.0f, d2 = 0.0f;
  for (int32_t k = 1; k <= n; ++k) {
    if (r.leb_2atm(k)(1) != '.') continue;
    if (rt::text_eq(r.leb_1atm(k).view(), chem1)) d1 = r.leb_length(k);
    if (rt::text_eq(r.leb_1atm(k).view(), chem2)) d2 = r.leb_length(k);
  }
  return d1 > 0.0f && d2 > 0.0f ? (d1 + d2) * 0.5f : 0.0f;
}

}  // namespace

void get_idl_bond_lenth_(int32_t l, float& dist_idl) {
  dist_idl = 0.0f;
  dictionary::link_bonds(l, [&](int32_t k) {
    dist_idl = r_scratch.llb_val(k);
    return true;
  });
}

void get_default_vbond_(int32_t /*mdoc*/, std::string_view chem1, std::string_view chem2,
                        float& val, rt::FixedText<1>& def_flag, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  ierr = 0;
  def_flag = "N";
  val = 0.0f;
  const int32_t n = std::min(r.leb_nbond, MAXBTYP);
  for (int32_t k = 1; k <= n; ++k) {
    const std::string_view a = r.leb_1atm(k).view(), b = r.leb_2atm(k).view();
    if ((rt::text_eq(a, chem1) && rt::text_eq(b, chem2)) ||
        (rt::text_eq(a, chem2) && rt::text_eq(b, chem1))) {
      val = r.leb_length(k);
      return;
    }
  }
  def_flag = "Y";
  val = generic_mean(chem1, chem2);
  if (val <= 0.0f) val = 1.5f;
}

namespace connect {

bool library_bond_length(std::string_view chem1, std::string_view chem2,
                         const rt::FixedText<1>& def_flag) {
  return def_flag == "N" || generic_mean(chem1, chem2) > 0.0f;
}

std::string_view atom_element(int ia) {
  const int sf = atom_inf.id_sf(ia);
  return sf >= 1 && sf <= MAXNSF ? crst_crd.cs_element(sf).view() : std::string_view("");
}

bool unmeasured_metal_bond(std::string_view e1, std::string_view e2) {
  const rt::FixedText<4> s1(e1), s2(e2);
  int32_t c1 = 2, c2 = 2;
  set_idlim_(s1.view(), c1);
  set_idlim_(s2.view(), c2);
  if (c1 != 4 && c2 != 4) return false;
  float val = 0.0f;
  rt::FixedText<1> def_flag;
  int32_t ierr = 0;
  get_default_vbond_(0, s1.view(), s2.view(), val, def_flag, ierr);
  return !library_bond_length(s1.view(), s2.view(), def_flag);
}

}  // namespace connect
