// Element classes and default bond lengths.
#include "connect/element_classes.h"

#include <algorithm>
#include <array>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"

namespace {

// Metals and ions by their first two characters (a one-letter symbol is the
// letter and a blank).  The halogens Cl, Br and I stand here, fluorine does
// not; Se and Si count as metals for the distance limits.
constexpr std::array<const char*, 95> kMetals = {
    "CO", "MG", "CA", "ZN", "CU", "FE", "CL", "BR", "MN", "PB", "HG", "AL", "GD", "NA", "CD", "NI",
    "SR", "IN", "HO", "YB", "TE", "LI", "RB", "BA", "CS", "SM", "TL", "PT", "BE", "SE", "MO", "SI",
    "I ", "NE", "AR", "SC", "TI", "CR", "GA", "GE", "AS", "KR", "HE", "ZR", "NB", "TC", "RU", "RH",
    "PD", "AG", "SN", "SB", "XE", "LA", "HF", "TA", "RE", "OS", "IR", "AU", "BI", "PO", "AT", "RN",
    "FR", "RA", "AC", "CE", "PR", "ND", "PM", "EU", "TB", "DY", "ER", "TM", "LU", "TH", "PA", "NP",
    "PU", "AM", "CM", "BK", "CF", "ES", "FM", "MD", "NO", "LR", "K ", "V ", "Y ", "U ", "W "};

}  // namespace

void set_idlim_(std::string_view asymb, int32_t& itype) {
  const rt::FixedText<2> head(asymb.substr(0, std::min<std::size_t>(2, asymb.size())));
  for (const char* m : kMetals) {
    if (head == m) {
      itype = 4;
      return;
    }
  }
  if (rt::text_eq(asymb, "H") || rt::text_eq(asymb, "D")) {
    itype = 1;
  } else if (rt::text_eq(asymb, "P") || rt::text_eq(asymb, "S")) {
    itype = 3;
  } else {
    itype = 2;
  }
}

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
  // The last generic entry of each type counts.
  float d1 = 0.0f, d2 = 0.0f;
  for (int32_t k = 1; k <= n; ++k) {
    if (r.leb_2atm(k)(1) != '.') continue;
    if (rt::text_eq(r.leb_1atm(k).view(), chem1)) d1 = r.leb_length(k);
    if (rt::text_eq(r.leb_1atm(k).view(), chem2)) d2 = r.leb_length(k);
  }
  if (d1 > 0.0f && d2 > 0.0f) val = (d1 + d2) * 0.5f;
  if (val <= 0.0f) val = 1.5f;
}
