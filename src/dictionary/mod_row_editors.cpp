// Bond, angle, torsion, chiral-centre and plane records of a modification
// applied to L1.  A record's value of 0.0, or a text beginning with ".",
// keeps the value L1 has.
#include "dictionary/mod_row_editors.h"

#include <string>

#include "dictionary/lib_com.h"
#include "dictionary/mod_editor_frame.h"
#include "dictionary/work_refs.h"
#include "foundation/messages.h"

namespace {

using Name = rt::FixedText<4>;
using dictionary::given;
using dictionary::ModFunction;

void set_if_given(float& to, float from) {
  if (from != 0.0f) to = from;
}

// Runs apply(k, function) over the records first..n of modification mod.
template <typename Codes, typename Functs, typename Apply>
void for_records(std::string_view mod, int32_t first, int32_t n, const Codes& codes,
                 const Functs& functs, Apply apply) {
  if (n < 1 || first > n || first < 1) return;
  for (int k = first; k <= n; ++k) {
    if (!(codes(k) == mod)) continue;
    const ModFunction f = dictionary::mod_function(functs(k));
    if (f != ModFunction::None) apply(k, f);
  }
}

bool full(int32_t mdoc, int32_t count, int32_t limit, const char* text, const char* constant) {
  if (count < limit) return false;
  dictionary::mod_limit_warning(mdoc, text, r_scratch.l1l_mname.view(), limit, constant);
  return true;
}

int find_bond(const Name& a1, const Name& a2) {
  const r_scratch_t& r = r_scratch;
  for (int j = 1; j <= r.l1b_nbond; ++j) {
    const Name &b1 = r.l1b_1atm(j), &b2 = r.l1b_2atm(j);
    if ((b1 == a1 && b2 == a2) || (b1 == a2 && b2 == a1)) return j;
  }
  return 0;
}

int find_angle(const Name& a1, const Name& a2, const Name& a3) {
  const r_scratch_t& r = r_scratch;
  for (int j = 1; j <= r.l1g_nangl; ++j) {
    const Name &g1 = r.l1g_1atm(j), &g2 = r.l1g_2atm(j), &g3 = r.l1g_3atm(j);
    if (g2 == a2 && ((g1 == a1 && g3 == a3) || (g1 == a3 && g3 == a1))) return j;
  }
  return 0;
}

int find_torsion(const Name* a) {
  const r_scratch_t& r = r_scratch;
  const dictionary::WorkRefs w = dictionary::l1_refs();
  for (int j = 1; j <= r.l1t_ntors; ++j) {
    bool ahead = true, back = true;
    for (int m = 0; m < 4; ++m) {
      ahead = ahead && (*w.tor_atm[m])(j) == a[m];
      back = back && (*w.tor_atm[m])(j) == a[3 - m];
    }
    if (ahead || back) return j;
  }
  return 0;
}

bool crossed(std::string_view sign) { return sign.substr(0, 4) == "cros"; }

// A chiral row holding the record's four atoms in order or reversed; with
// `cross_sign` also the first row on the same centre when that sign (the
// row's own for delete, the record's for change) is a "cross" one.
int find_chiral(const Name* a, const rt::FixedText<8>* record_sign, bool by_row_sign) {
  const r_scratch_t& r = r_scratch;
  const dictionary::WorkRefs w = dictionary::l1_refs();
  for (int j = 1; j <= r.l1c_nchir; ++j) {
    bool ahead = true, back = true;
    for (int m = 0; m < 4; ++m) {
      ahead = ahead && (*w.chir_atm[m])(j) == a[m];
      back = back && (*w.chir_atm[m])(j) == a[3 - m];
    }
    if (ahead || back) return j;
    if (!(r.l1c_1atm(j) == a[0])) continue;
    if (by_row_sign && crossed(r.l1c_sign(j).view())) return j;
    if (record_sign && crossed(record_sign->view())) return j;
  }
  return 0;
}

}  // namespace

void mod_bmlib_(int32_t mdoc, std::string_view mod, int32_t ib, int32_t& idel, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  for_records(mod, ib, r.ldb_nbond, r.ldb_mname, r.ldb_funct, [&](int k, ModFunction f) {
    if (f == ModFunction::Add &&
        full(mdoc, r.l1b_nbond, MAX1BND, " WARNING: number of bonds in monomer ", "MAX1BND"))
      return;
    int j = find_bond(r.ldb_1atm(k), r.ldb_2atm(k));
    if (f == ModFunction::Delete) {
      if (j == 0) return;
      r.l1b_1atm(j).blank();
      r.l1b_2atm(j).blank();
      idel = 1;
      return;
    }
    if (j == 0) {
      if (f != ModFunction::Add) return;
      j = ++r.l1b_nbond;
      r.l1b_1atm(j) = r.ldb_1atm(k);
      r.l1b_2atm(j) = r.ldb_2atm(k);
      r.l1b_type(j) = r.ldb_type(k);
      r.l1b_flag(j).blank();
      r.l1b_val(j) = r.ldb_val(k);
      r.l1b_dev(j) = r.ldb_dev(k);
      r.l1b_vobs(j) = r.ldb_vobs(k);
      r.l1b_i1atm(j) = r.l1b_i2atm(j) = 0;
      return;
    }
    set_if_given(r.l1b_val(j), r.ldb_val(k));
    set_if_given(r.l1b_vobs(j), r.ldb_vobs(k));
    set_if_given(r.l1b_dev(j), r.ldb_dev(k));
    if (given(r.ldb_type(k))) r.l1b_type(j) = r.ldb_type(k);
  });
}

void mod_gmlib_(int32_t mdoc, std::string_view mod, int32_t ig, int32_t& idel, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  for_records(mod, ig, r.ldg_nangl, r.ldg_mname, r.ldg_funct, [&](int k, ModFunction f) {
    if (f == ModFunction::Add &&
        full(mdoc, r.l1g_nangl, MAX1ANG, " WARNING: number of angles in monomer ", "MAX1ANG"))
      return;
    int j = find_angle(r.ldg_1atm(k), r.ldg_2atm(k), r.ldg_3atm(k));
    if (f == ModFunction::Delete) {
      if (j == 0) return;
      r.l1g_1atm(j).blank();
      r.l1g_2atm(j).blank();
      r.l1g_3atm(j).blank();
      idel = 1;
      return;
    }
    if (j == 0) {
      if (f != ModFunction::Add) return;
      j = ++r.l1g_nangl;
      r.l1g_1atm(j) = r.ldg_1atm(k);
      r.l1g_2atm(j) = r.ldg_2atm(k);
      r.l1g_3atm(j) = r.ldg_3atm(k);
      r.l1g_flag(j).blank();
      r.l1g_val(j) = r.ldg_val(k);
      r.l1g_dev(j) = r.ldg_dev(k);
      r.l1g_vobs(j) = r.ldg_vobs(k);
      r.l1g_i1atm(j) = r.l1g_i2atm(j) = r.l1g_i3atm(j) = 0;
      return;
    }
    set_if_given(r.l1g_val(j), r.ldg_val(k));
    set_if_given(r.l1g_vobs(j), r.ldg_vobs(k));
    set_if_given(r.l1g_dev(j), r.ldg_dev(k));
  });
}

void mod_tmlib_(int32_t mdoc, std::string_view mod, int32_t it, int32_t& idel, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const dictionary::WorkRefs w = dictionary::l1_refs();
  for_records(mod, it, r.ldt_ntors, r.ldt_mname, r.ldt_funct, [&](int k, ModFunction f) {
    if (f == ModFunction::Add &&
        full(mdoc, r.l1t_ntors, MAX1TOR, " WARNING: number of tors in monomer ", "MAX1TOR"))
      return;
    const Name a[4] = {r.ldt_1atm(k), r.ldt_2atm(k), r.ldt_3atm(k), r.ldt_4atm(k)};
    int j = find_torsion(a);
    if (f == ModFunction::Delete) {
      if (j == 0) return;
      for (auto* col : w.tor_atm) (*col)(j).blank();
      idel = 1;
      return;
    }
    if (j == 0) {
      if (f != ModFunction::Add) return;
      j = ++r.l1t_ntors;
      for (int m = 0; m < 4; ++m) {
        (*w.tor_atm[m])(j) = a[m];
        (*w.tor_i[m])(j) = 0;
      }
      r.l1t_label(j) = r.ldt_label(k);
      r.l1t_prd(j) = r.ldt_prd(k);
      r.l1t_flag(j).blank();
      r.l1t_val(j) = r.ldt_val(k);
      r.l1t_dev(j) = r.ldt_dev(k);
      r.l1t_vobs(j) = r.ldt_vobs(k);
      return;
    }
    set_if_given(r.l1t_val(j), r.ldt_val(k));
    set_if_given(r.l1t_vobs(j), r.ldt_vobs(k));
    set_if_given(r.l1t_dev(j), r.ldt_dev(k));
    r.l1t_prd(j) = r.ldt_prd(k);
    if (given(r.ldt_label(k))) r.l1t_label(j) = r.ldt_label(k);
  });
}

void mod_cmlib_(int32_t mdoc, std::string_view mod, int32_t ic, int32_t& idel, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const dictionary::WorkRefs w = dictionary::l1_refs();
  const rt::Array1<Name, MAXDCHR>* rec[9] = {&r.ldc_1atm, &r.ldc_2atm, &r.ldc_3atm,
                                             &r.ldc_4atm, &r.ldc_5atm, &r.ldc_6atm,
                                             &r.ldc_7atm, &r.ldc_8atm, &r.ldc_9atm};
  for_records(mod, ic, r.ldc_nchir, r.ldc_mname, r.ldc_funct, [&](int k, ModFunction f) {
    if (f == ModFunction::Add &&
        full(mdoc, r.l1c_nchir, MAX1CHR, " WARNING: number of chir. in monomer ", "MAX1CHR"))
      return;
    const Name a[4] = {(*rec[0])(k), (*rec[1])(k), (*rec[2])(k), (*rec[3])(k)};
    const rt::FixedText<8>& sign = r.ldc_sign(k);
    if (f == ModFunction::Delete) {
      const int j = find_chiral(a, nullptr, true);
      if (j == 0) return;
      // Blank like every other deleted row, so that the removal pass, which
      // drops rows by a blank first name, really removes the centre.
      for (auto* col : w.chir_atm) (*col)(j).blank();
      idel = 1;
      return;
    }
    int j = find_chiral(a, f == ModFunction::Change ? &sign : nullptr, false);
    if (j == 0) {
      if (f != ModFunction::Add) return;
      j = ++r.l1c_nchir;
      for (int m = 0; m < 9; ++m) {
        (*w.chir_atm[m])(j) = (*rec[m])(k);
        (*w.chir_i[m])(j) = 0;
      }
      r.l1c_sign(j) = sign;
      r.l1c_vol(j) = r.ldc_vol(k);
      r.l1c_flag(j).blank();
      return;
    }
    set_if_given(r.l1c_vol(j), r.ldc_vol(k));
    if (given(sign.view())) r.l1c_sign(j) = sign;
    if (f == ModFunction::Change && crossed(sign.view())) {
      for (int m = 1; m < 9; ++m) {
        (*w.chir_atm[m])(j) = (*rec[m])(k);
        (*w.chir_i[m])(j) = 0;
      }
    }
  });
}

void mod_pmlib_(int32_t mdoc, std::string_view mod, int32_t ip, int32_t& idel, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const rt::FixedText<8> code(mod);
  bool stop = false;
  for_records(mod, ip, r.ldp_nplan, r.ldp_mname, r.ldp_funct, [&](int k, ModFunction f) {
    if (stop) return;
    const int natom = r.ldp_natom(k) < MAXDAPL ? r.ldp_natom(k) : MAXDAPL;
    if (f == ModFunction::Add) {
      if (r.l1p_nplan + 1 > MAX1PLN) {
        foundation::table_full(mdoc, " ERR: number of planar groups for mod " + code.str() + " >",
                               MAX1PLN, "",
                               {.constant = "MAX1PLN", .header = "lib_com.fh", .indent = 11});
        ierr = 1;
        stop = true;
        return;
      }
      if (r.ldp_natom(k) > 96) {
        foundation::table_full(mdoc, " ERR: number of plan atoms in mod " + code.str() + " >",
                               MAX1APL, "",
                               {.constant = "MAX1APL", .header = "lib_com.fh", .indent = 11});
        ierr = 1;
        stop = true;
        return;
      }
      if (r.ldp_natom(k) < 4) {
        msgerr_(mdoc, " WARNING: number of plan atoms in mod " + code.str() + "  < 4");
        stop = true;
        return;
      }
      const int p = ++r.l1p_nplan;
      r.l1p_label(p) = r.ldp_label(k);
      r.l1p_natom(p) = natom;
      for (int m = 1; m <= natom; ++m) {
        r.l1p_atom(m, p) = r.ldp_atom(m, k);
        r.l1p_dev(m, p) = r.ldp_dev(m, k);
        r.l1p_dobs(m, p) = r.l1p_edev(m, p) = 0.0f;
        r.l1p_iatom(m, p) = r.l1p_flag(m, p) = 0;
      }
      idel = 1;
      return;
    }
    int p = 0;
    for (int q = 1; q <= r.l1p_nplan && p == 0; ++q)
      if (r.l1p_label(q) == r.ldp_label(k)) p = q;
    if (p == 0) return;
    for (int m = 1; m <= r.l1p_natom(p); ++m) {
      for (int a = 1; a <= natom; ++a) {
        if (!(r.l1p_atom(m, p) == r.ldp_atom(a, k))) continue;
        if (f == ModFunction::Delete) {
          r.l1p_atom(m, p).clear_bytes();
          idel = 1;
        } else {
          r.l1p_dev(m, p) = r.ldp_dev(a, k);
        }
        break;
      }
    }
  });
}
