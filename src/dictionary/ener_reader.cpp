// Reader and fillers of the energy library.  The parameter rows (bonds,
// angles, torsions, contacts, hydrogen bonds) keep only terms between types
// in use: a row whose type is not in use is dropped without a message, which
// is how a selective reading keeps the terms between the types wanted.
#include "dictionary/ener_reader.h"

#include <cstdio>
#include <string>

#include "dictionary/lib_com.h"
#include "dictionary/lib_fill_util.h"
#include "dictionary/libcom.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/file_open.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "runtime/units.h"

namespace {

using dictionary::begins;
using dictionary::FillItem;
using Type = rt::FixedText<4>;

#define FILL dictionary::fill_item(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend)

// Types in use by name: parameter rows look their types up once each.
foundation::LookupIndex<4, MAXETYP> types_in_use;
int32_t types_indexed = 0;  // rows of lea_ entered so far

void reset_type_index() {
  types_in_use.clear();
  types_indexed = 0;
}

// Row of a type in use, 0 when the type is not in use.
int32_t type_in_use(const Type& t) {
  const r_scratch_t& r = r_scratch;
  if (types_indexed > r.lea_natom) reset_type_index();
  for (; types_indexed < r.lea_natom; ++types_indexed)
    types_in_use.add(r.lea_aname(types_indexed + 1).view(), types_indexed + 1);
  int32_t row = 0;
  types_in_use.for_each(t.view(), [&](int32_t k) {
    if (row == 0 && r.lea_aname(k) == t && r.lea_type(k) == "Y") row = k;
  });
  return row;
}

void table_limit(int32_t mdoc, std::string_view text, int32_t limit, std::string_view constant) {
  dictionary::full_table(mdoc, text, limit, " /lib. limit/", constant);
}

// One term table of the energy library, for the common row rules.
struct TermTable {
  std::string_view key_text[4];  // the misplaced-key message of each key
  std::size_t prefix;          // length of the category name with its dot
  int nkeys;                   // leading type items
  int32_t* count;
  int32_t* current;
  int32_t limit;
  std::string_view limit_text;
  std::string_view constant;
  bool open_ends;              // torsions: first and last type may be "." (any)
};

constexpr std::string_view kOrdinal[] = {"first", "second", "third", "fourth"};

// Handles the type keys of a term row; returns true when the item was a key.
// set_type(row, k, type) stores type k of a row.
template <typename SetType>
bool term_key(const FillItem& f, const TermTable& t, std::string_view attr, int32_t& ierr,
              SetType set_type) {
  r_scratch_t& r = r_scratch;
  static constexpr std::string_view kKeys[] = {"atom_type_1", "atom_type_2", "atom_type_3",
                                               "atom_type_4"};
  for (int k = 1; k <= t.nkeys; ++k) {
    if (!begins(attr, kKeys[k - 1])) continue;
    const Type type(f.data.substr(0, f.data.size() < 4 ? f.data.size() : 4));
    if (k == 1) {
      if (f.i != 1) {
        dictionary::misplaced_key(f.mdoc, t.key_text[0], f.data, 4, " must be first in the string");
        *t.current = 0;
        ierr = 1;
        return true;
      }
      *t.current = 0;
      if (r.lea_natom < 1) {
        msgerr_(f.mdoc, " ERR: number of atom types in the list= 0");
        ierr = 1;
        return true;
      }
      if (!(t.open_ends && type == ".") && type_in_use(type) == 0) return true;
      if (*t.count >= t.limit) {
        table_limit(f.mdoc, t.limit_text, t.limit, t.constant);
        ierr = 1;
        return true;
      }
      *t.current = ++*t.count;
      set_type(*t.current, 1, type);
      return true;
    }
    if (*t.current == 0) return true;
    if (f.i != k) {
      dictionary::misplaced_key(f.mdoc, t.key_text[k - 1], f.data, 4,
                                std::string(" must be ") + std::string(kOrdinal[k - 1]) +
                                    " in the string");
      --*t.count;
      *t.current = 0;
      ierr = 1;
      return true;
    }
    const bool any = t.open_ends && k == t.nkeys && type == ".";
    if (!any && type_in_use(type) == 0) {
      --*t.count;
      *t.current = 0;
      return true;
    }
    set_type(*t.current, k, type);
    return true;
  }
  return false;
}

// Non-key items of a term row: only for a row in progress, after its keys.
bool takes_value(const FillItem& f, const TermTable& t) {
  return *t.current > 0 && f.i > t.nkeys;
}

}  // namespace

void rd_enrlib_(int32_t mdoc, std::string_view mode, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const bool all = rt::FixedText<4>(mode) == "ALL ";
  if (all) r.lea_natom = 0;
  reset_type_index();
  r.leb_nbond = r.leg_nangl = r.let_ntors = r.lew_ncont = r.leh_nhbond = r.les_nsyn = 0;
  int32_t iun = 0;
  openfr_(iun, 99, libcom.lei_path.trimmed(), libcom.lei_file.trimmed(),
          libcom.lei_ext.trimmed(), ierr);
  if (ierr != 0) {
    msgerr_(mdoc, " ERROR: can't open \"ener_lib.cif\"");
    return;
  }
  libcom.lei_iun = iun;
  int32_t iend = -1;
  for (;;) {
    int32_t e = 0;
    getcif_info_(iun, mdoc, e, iend);
    if (e != 0) break;
    if (iend == -2) continue;
    if (iend != 0) break;
    const comcif_rec& c = comcif_info;
    if (begins(c.blk_cif.view(), "global_")) continue;
    for (int32_t k = 1; k <= c.n_cif && ierr == 0; ++k) {
      const std::string_view it = c.itm_cif(k).view();
      if (!begins(it, "_lib_")) continue;
      put_enlib_(mdoc, mode, k, c.blk_cif.view(), c.blk_cif.len_trim(), it,
                 c.itm_cif(k).len_trim(), c.dt_cif(k).view(), c.idt_cif(k), c.fdt_cif(k),
                 c.dt_cif(k).len_trim(), ierr);
    }
    if (ierr != 0) break;
  }
  rt::unit_close(iun);
  libcom.lei_iun = 0;
}

void put_enlib_(int32_t mdoc, std::string_view mode, int32_t i, std::string_view block,
                int32_t lenb, std::string_view item, int32_t leni, std::string_view data,
                int32_t idata, float fdata, int32_t lend, int32_t& ierr) {
  ierr = 0;
  const std::string_view it = FILL.item;
  if (begins(it, "_lib_atom")) {
    pt_eatom_(mdoc, mode, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_lib_bond")) {
    pt_ebond_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_lib_angl")) {
    pt_eangl_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_lib_tors")) {
    pt_etors_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_lib_vdw")) {
    pt_evdw_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_lib_hbond")) {
    pt_ehbond_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_lib_synonym")) {
    pt_esynonym_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  }
}

void pt_eatom_(int32_t mdoc, std::string_view mode, int32_t i, std::string_view block,
               int32_t lenb, std::string_view item, int32_t leni, std::string_view data,
               int32_t idata, float fdata, int32_t lend, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 10);
  const rt::FixedText<4> m(mode);
  if (begins(a, "type")) {
    const Type type(f.data.substr(0, f.data.size() < 4 ? f.data.size() : 4));
    if (f.i != 1) {
      dictionary::misplaced_key(f.mdoc, " ERR: item _lib_atom.type :", f.data, 4,
                                " must be first in the string");
      r.lea_iatom = 0;
      ierr = 1;
      return;
    }
    auto add_type = [&]() {
      if (r.lea_natom >= MAXETYP) {
        table_limit(f.mdoc, " ERR: number of atom types >", MAXETYP, "MAXETYP");
        r.lea_iatom = 0;
        ierr = 1;
        return;
      }
      const int32_t k = ++r.lea_natom;
      r.lea_aname(k) = type;
      r.lea_type(k) = "Y";
      r.lea_htype(k) = ".";
      r.lea_ename(k) = ".";
      r.lea_weight(k) = r.lea_radius(k) = r.lea_hradius(k) = r.lea_iradius(k) = 0.0f;
      r.lea_polar(k) = r.lea_hpolar(k) = 0.0f;
      r.lea_valency(k) = r.lea_sp(k) = 0;
      r.lea_iatom = k;
    };
    if (m == "ALL ") {
      add_type();
      return;
    }
    if (r.lea_natom < 1) {
      msgerr_(f.mdoc, " ERR: number of atom types in the list= 0");
      r.lea_iatom = 0;
      ierr = 1;
      return;
    }
    r.lea_iatom = 0;
    for (int32_t k = 1; k <= r.lea_natom && r.lea_iatom == 0; ++k)
      if (r.lea_aname(k) == type) r.lea_iatom = k;
    if (r.lea_iatom > 0) {
      r.lea_type(r.lea_iatom) = "Y";
    } else if (begins(type.view(), "H") && m == "H   ") {
      add_type();
    }
    return;
  }
  if (r.lea_iatom < 1 || f.i < 2) return;
  const int32_t k = r.lea_iatom;
  if (begins(a, "hb_type")) {
    r.lea_htype(k) = f.data;
  } else if (begins(a, "weight")) {
    r.lea_weight(k) = f.fdata;
  } else if (begins(a, "vdw_radius")) {
    r.lea_radius(k) = f.fdata;
  } else if (begins(a, "polar")) {
    r.lea_polar(k) = f.fdata;
  } else if (begins(a, "hpolar")) {
    r.lea_hpolar(k) = f.fdata;
  } else if (begins(a, "vdwh_radius")) {
    r.lea_hradius(k) = f.fdata;
  } else if (begins(a, "ion_radius")) {
    r.lea_iradius(k) = f.fdata;
  } else if (begins(a, "element")) {
    r.lea_ename(k) = f.data;
  } else if (begins(a, "valency")) {
    r.lea_valency(k) = f.idata;
  } else if (begins(a, "sp")) {
    r.lea_sp(k) = f.idata;
  }
}

void pt_ebond_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const TermTable t{{" ERR: item _lib_bond.atom_type_1 :", " ERR: item _lib_bond_atom_type_2 :"},
                    10, 2, &r.leb_nbond, &r.leb_ibond, MAXBTYP,
                    " ERR: read number of bonds  >", "MAXBTYP", false};
  const std::string_view a = dictionary::attribute(f.item, t.prefix);
  if (term_key(f, t, a, ierr, [&](int32_t k, int n, const Type& type) {
        if (n == 1) {
          r.leb_1atm(k) = type;
          r.leb_2atm(k) = ".";
          r.leb_type(k) = ".";
          r.leb_const(k) = r.leb_length(k) = 0.0f;
          r.leb_i1atm(k) = r.leb_i2atm(k) = 0;
        } else {
          r.leb_2atm(k) = type;
        }
      }))
    return;
  if (!takes_value(f, t)) return;
  const int32_t k = r.leb_ibond;
  if (begins(a, "type")) {
    r.leb_type(k) = f.data;
  } else if (begins(a, "const")) {
    r.leb_const(k) = f.fdata;
  } else if (begins(a, "length")) {
    r.leb_length(k) = f.fdata;
  }
}

void pt_eangl_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const TermTable t{{" ERR: item _lib_angle.atom_type_1 :", " ERR: item _lib_angle_atom_type_2 :",
                     " ERR: item _lib_angle_atom_type_3 :"},
                    11, 3, &r.leg_nangl, &r.leg_iangl, MAXATYP,
                    " ERR: read number of angles  >", "MAXATYP", false};
  const std::string_view a = dictionary::attribute(f.item, t.prefix);
  if (term_key(f, t, a, ierr, [&](int32_t k, int n, const Type& type) {
        if (n == 1) {
          r.leg_1atm(k) = type;
          r.leg_2atm(k) = r.leg_3atm(k) = ".";
          r.leg_const(k) = r.leg_angle(k) = 0.0f;
          r.leg_i1atm(k) = r.leg_i2atm(k) = r.leg_i3atm(k) = 0;
        } else if (n == 2) {
          r.leg_2atm(k) = type;
        } else {
          r.leg_3atm(k) = type;
        }
      }))
    return;
  if (!takes_value(f, t)) return;
  const int32_t k = r.leg_iangl;
  if (begins(a, "const")) {
    r.leg_const(k) = f.fdata;
  } else if (begins(a, "value")) {
    r.leg_angle(k) = f.fdata;
  }
}

void pt_etors_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const TermTable t{{" ERR: item _lib_tor.atom_type_1 :", " ERR: item _lib_tor.atom_type_2 :",
                     " ERR: item _lib_tor_atom_type_3 :", " ERR: item _lib_tor.atom_type_4 :"},
                    10, 4, &r.let_ntors, &r.let_itors, MAXTTYP,
                    " ERR: read number of torsions >", "MAXTTYP", true};
  const std::string_view a = dictionary::attribute(f.item, t.prefix);
  if (term_key(f, t, a, ierr, [&](int32_t k, int n, const Type& type) {
        switch (n) {
          case 1:
            r.let_1atm(k) = type;
            r.let_2atm(k) = r.let_3atm(k) = r.let_4atm(k) = ".";
            r.let_label(k) = ".";
            r.let_const(k) = r.let_angle(k) = 0.0f;
            r.let_prd(k) = 0;
            break;
          case 2:
            r.let_2atm(k) = type;
            break;
          case 3:
            r.let_3atm(k) = type;
            break;
          default:
            r.let_4atm(k) = type;
        }
      }))
    return;
  if (!takes_value(f, t)) return;
  const int32_t k = r.let_itors;
  if (begins(a, "const")) {
    r.let_const(k) = f.fdata;
  } else if (begins(a, "angle")) {
    r.let_angle(k) = f.fdata;
  } else if (begins(a, "period")) {
    r.let_prd(k) = f.idata;
  } else if (begins(a, "label")) {
    r.let_label(k) = f.data;
  }
}

void pt_evdw_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const TermTable t{{" ERR: item _lib_vdw.atom_type_1 :", " ERR: item _lib_vdw.atom_type_2 :"},
                    9, 2, &r.lew_ncont, &r.lew_icont, MAXWTYP,
                    " ERR: read number of vdw contacts  >", "MAXWTYP", false};
  const std::string_view a = dictionary::attribute(f.item, t.prefix);
  if (term_key(f, t, a, ierr, [&](int32_t k, int n, const Type& type) {
        if (n == 1) {
          r.lew_1atm(k) = type;
          r.lew_2atm(k) = ".";
          r.lew_hflag(k) = ".";
          r.lew_emin(k) = r.lew_rmin(k) = 0.0f;
        } else {
          r.lew_2atm(k) = type;
        }
      }))
    return;
  if (!takes_value(f, t)) return;
  const int32_t k = r.lew_icont;
  if (begins(a, "H_flag")) {
    r.lew_hflag(k) = f.data;
  } else if (begins(a, "energy")) {
    r.lew_emin(k) = f.fdata;
  } else if (begins(a, "radius")) {
    r.lew_rmin(k) = f.fdata;
  }
}

void pt_ehbond_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const TermTable t{{" ERR: item _lib_hbond.atom_type_1 :", " ERR: item _lib_hbond.atom_type_2 :"},
                    11, 2, &r.leh_nhbond, &r.leh_ihbond, MAXHTYP,
                    " ERR: read number of H bonds  >", "MAXHTYP", false};
  const std::string_view a = dictionary::attribute(f.item, t.prefix);
  if (term_key(f, t, a, ierr, [&](int32_t k, int n, const Type& type) {
        if (n == 1) {
          r.leh_1atm(k) = type;
          r.leh_2atm(k) = ".";
          r.leh_emin(k) = r.leh_dist(k) = 0.0f;
        } else {
          r.leh_2atm(k) = type;
        }
      }))
    return;
  if (!takes_value(f, t)) return;
  const int32_t k = r.leh_ihbond;
  if (begins(a, "min")) {
    r.leh_emin(k) = f.fdata;
  } else if (begins(a, "dist")) {
    r.leh_dist(k) = f.fdata;
  }
}

void pt_esynonym_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 13);
  const Type type(f.data.substr(0, f.data.size() < 4 ? f.data.size() : 4));
  if (begins(a, "atom_type")) {
    if (f.i != 1) {
      dictionary::misplaced_key(f.mdoc, " ERR: item _lib_synonym.atom_type :", f.data, 4,
                                " must be first in the string");
      r.les_isyn = 0;
      ierr = 1;
      return;
    }
    if (r.les_nsyn >= MAXSTYP) {
      table_limit(f.mdoc, " ERR: read number of synonym. types  >", MAXSTYP, "MAXSTYP");
      r.les_isyn = 0;
      ierr = 1;
      return;
    }
    const int32_t k = ++r.les_nsyn;
    r.les_atyp(k) = type;
    r.les_styp(k) = ".";
    r.les_isyn = k;
  } else if (begins(a, "atom_alternative_type")) {
    if (r.les_isyn < 1) return;
    if (f.i != 2) {
      dictionary::misplaced_key(f.mdoc, " ERR: item _lib_synonym.atom_alternative_type :", f.data,
                                4, " must be second in the string");
      --r.les_nsyn;
      r.les_isyn = 0;
      ierr = 1;
      return;
    }
    r.les_styp(r.les_isyn) = type;
  }
}
