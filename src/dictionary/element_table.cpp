// The element table and the energy-type list of the dictionary.
#include "dictionary/element_table.h"

#include <cstdio>
#include <string>

#include "dictionary/lib_com.h"
#include "dictionary/lib_fill_util.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "foundation/spgr_names.h"

namespace {

int32_t find_element(const rt::FixedText<4>& sym) {
  const r_scratch_t& r = r_scratch;
  for (int32_t k = 1; k <= r.lsf_nasymb; ++k)
    if (r.lsf_element(k) == sym) return k;
  return 0;
}

}  // namespace

void chkasym_(int32_t mdoc, rt::FixedText<4>& asymb, int32_t& insf, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  bool fallback = false;
  for (;;) {
    ierr = 0;
    if (const int32_t k = find_element(asymb); k > 0) {
      insf = k;
      ierr = fallback ? 2 : 0;
      return;
    }
    int32_t nel = 0, sfa_err = 0;
    float a1, a2, a3, a4, b1, b2, b3, b4, c, fp, fpp, rad;
    get_sfa_(asymb.view(), 0, nel, a1, a2, a3, a4, b1, b2, b3, b4, c, fp, fpp, rad, sfa_err);
    if (sfa_err != 1) {
      if (r.lsf_nasymb >= MAXASYMB) {
        dictionary::full_table(mdoc, " ERR: number of tables of atomic scatt. factors >", MAXASYMB, " /lib. limit/", "MAXMLIST");
        insf = 0;
        ierr = 1;
        return;
      }
      const int32_t k = ++r.lsf_nasymb;
      r.lsf_element(k) = asymb;
      r.lsf_atom(k) = asymb;
      r.lsf_ne(k) = nel;
      r.lsf_a1(k) = a1;
      r.lsf_a2(k) = a2;
      r.lsf_a3(k) = a3;
      r.lsf_a4(k) = a4;
      r.lsf_b1(k) = b1;
      r.lsf_b2(k) = b2;
      r.lsf_b3(k) = b3;
      r.lsf_b4(k) = b4;
      r.lsf_c(k) = c;
      r.lsf_fi(k) = fp;
      r.lsf_fii(k) = fpp;
      r.lsf_rad(k) = rad;
      insf = k;
      ierr = fallback ? 2 : 0;
      return;
    }
    // The file lacks nitrogen too: there is nothing left to fall back on, and
    // trying again would never end.
    if (fallback) {
      insf = 0;
      ierr = 1;
      return;
    }
    msgdoc_(mdoc, std::string(" WARNING: can't find atomic scatt.factors for :") + asymb.str());
    msgdoc_(mdoc, "          default symbol is \"N   \"");
    fallback = true;
    asymb = "N";
  }
}

void get_clist_(int32_t mdoc, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  r.lea_natom = 0;
  if (r.lma_natom <= 0) {
    msgerr_(mdoc, " ERROR: number of atoms in library = 0");
    ierr = 2;
    return;
  }
  // Every atom row is checked against the list: an index keeps that linear.
  static foundation::LookupIndex<4, MAXETYP> listed;
  listed.clear();
  for (int32_t row = 1; row <= r.lma_natom; ++row) {
    const rt::FixedText<4>& type = r.lma_chem(row);
    if (listed.contains(type.view())) continue;
    if (r.lea_natom >= MAXETYP) {
      char num[16];
      std::snprintf(num, sizeof num, "%6d", MAXETYP);
      msgerr_(mdoc, std::string(" ERROR: number of atom types >") + num + " /lib. limit/");
      ierr = 1;
      return;
    }
    const int32_t k = ++r.lea_natom;
    r.lea_aname(k) = type;
    r.lea_type(k) = "N";
    listed.add(type.view(), k);
  }
  char num[16];
  std::snprintf(num, sizeof num, "%6d", r.lea_natom);
  msgdoc_(mdoc, std::string(" NUMBER OF ATOM TYPES IN THE STRUCTURE    :") + num);
}
