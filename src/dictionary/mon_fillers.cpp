// Fillers of the monomer description categories.  The key item comp_id
// selects the list entry (only an entry marked for reading in the current
// pass takes rows) and, for the row categories, appends the row that the
// further items of the record fill.
#include "dictionary/mon_fillers.h"

#include <algorithm>
#include <string>

#include "dictionary/dict_index.h"
#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_fill_util.h"
#include "dictionary/lib_to_work.h"
#include "dictionary/libcom.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/messages.h"
#include "foundation/words.h"

sttcpln_t sttcpln;

namespace {

using dictionary::begins;
using dictionary::FillItem;
using Code = rt::FixedText<8>;
using Name = rt::FixedText<4>;

#define FILL_ITEM dictionary::fill_item(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend)

// Atom names of more than four characters keep their fifth in place of the
// fourth, so that names like "HD21x" stay distinct from "HD2".
Name long_name(std::string_view v) {
  Name n(v.substr(0, v.size() < 4 ? v.size() : 4));
  if (v.size() > 4) n(4) = v[4];
  return n;
}

Name atom_name(std::string_view v) {
  Name n(v);
  corr_h_atom_name_(n.ref(), 4);
  return n;
}

Name long_atom_name(std::string_view v) {
  Name n = long_name(v);
  corr_h_atom_name_(n.ref(), 4);
  return n;
}

// Selects the list entry of the key value.  Returns false with ierr 1 after
// an error; lml_imon is 0 when the entry does not take rows now.
bool select_monomer(const FillItem& f, std::string_view category, bool tree_text,
                    int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (f.i != 1) {
    msgerr_(f.mdoc, std::string(" ERR: item ") + std::string(category) +
                        ".comp_id : must be first in the string");
    r.lml_imon = 0;
    ierr = 1;
    return false;
  }
  const Code code(f.data.substr(0, f.data.size() < 8 ? f.data.size() : 8));
  if (r.lml_nmon < 1) {
    msgerr_(f.mdoc, tree_text ? " ERR: number of monomers in the list = 0"
                              : " ERR: number of monomers in the list= 0");
    ierr = 1;
    return false;
  }
  // The search runs cyclically from the current entry: the first entry of
  // the code at or after it, else the first one before it.
  const int32_t start = r.lml_imon > 0 ? r.lml_imon : 1;
  int32_t after = 0, before = 0;
  dictionary::list_entries(code.view(), [&](int32_t l) {
    if (l >= start && after == 0) after = l;
    if (l < start && before == 0) before = l;
  });
  const int32_t l = after != 0 ? after : before;
  if (l == 0) {
    msgerr_(f.mdoc, std::string(" ERR: monomer ") + code.str() + " not found in the monomer list");
    msgerr_(f.mdoc, std::string(" BLOCK :") + std::string(f.block));
    r.lml_imon = 0;
    ierr = 1;
    return false;
  }
  r.lml_imon = (r.lml_fuse(l) == "R" && r.lml_pass(l) == libcom.lb_pass) ? l : 0;
  return true;
}

// Appends a row to a table of count `n` and capacity `cap`; the entry's start
// pointer takes it when still 0.  0 after the limit message.
int32_t append_row(const FillItem& f, int32_t& n, int32_t cap, int32_t& start,
                   std::string_view text, std::string_view constant, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (n >= cap) {
    dictionary::full_table(f.mdoc, std::string(text) + r.lml_mname(r.lml_imon).str() + " >", cap, "/lib.limit/", constant);
    r.lml_imon = 0;
    ierr = 1;
    return 0;
  }
  ++n;
  if (start == 0) start = n;
  return n;
}

// Bond types are kept in the library's own spelling.
std::string_view bond_type(std::string_view v) {
  if (v == "SING") return "single";
  if (v == "DOUB") return "double";
  if (v == "TRIP") return "triple";
  if (v == "AROM") return "arom";
  if (v == "META") return "metal";
  if (v == "DELO") return "deloc";
  return v;
}

// Item values of a row apply only to a selected entry, after the key, and to
// a row of that entry: a record whose key was missing must not write into
// another monomer's row, nor into row 0 of an empty table.
template <int N>
bool takes_value(const FillItem& f, const rt::Array1<Code, N>& codes, int32_t count) {
  const r_scratch_t& r = r_scratch;
  return r.lml_imon >= 1 && f.i >= 2 && count >= 1 && codes(count) == r.lml_mname(r.lml_imon);
}

// The restraint numbers (value, esd) the row of the current record has
// given, reset by its key: a row of a full description must give both, or
// the restraint would be written with 0.
constexpr unsigned kGaveValue = 1, kGaveEsd = 2;
unsigned row_gave = 0;

std::string monomer_entry() {
  return "monomer " + std::string(r_scratch.lml_mname(r_scratch.lml_imon).trimmed());
}

// The atom names of a row, as the error lines give them.
std::string atoms_of(std::initializer_list<const Name*> names) {
  std::string s;
  for (const Name* n : names) {
    if (!s.empty()) s += ' ';
    s += n->trimmed();
  }
  return s;
}

// A restraint number of the row into `value`, or, after the error line,
// false with lml_imon 0 and ierr 1.  A minimal description ("M") is
// described anew, so "?" and "." still give it 0.
bool take_number(const FillItem& f, std::string_view atoms, dictionary::RowNumber kind,
                 unsigned gave, float& value, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const bool minimal = r.lml_prsnt(r.lml_imon) == "M";
  if (!dictionary::row_number(f, monomer_entry(), atoms, kind, minimal, value)) {
    r.lml_imon = 0;
    ierr = 1;
    return false;
  }
  row_gave |= gave;
  return true;
}

// At the last value of its record, the row of a full description must
// have given its value and esd; false after the error line.
bool row_complete(const FillItem& f, std::string_view category, std::string_view value,
                  std::string_view esd, std::string_view atoms, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (f.i != comcif_info.n_cif || r.lml_prsnt(r.lml_imon) == "M") return true;
  const std::string_view missing = (row_gave & kGaveValue) == 0 ? value
                                   : (row_gave & kGaveEsd) == 0 ? esd
                                                                : std::string_view();
  if (missing.empty()) return true;
  dictionary::row_without(f, monomer_entry(), atoms,
                          std::string(category) + "." + std::string(missing));
  r.lml_imon = 0;
  ierr = 1;
  return false;
}

}  // namespace

void corr_h_atom_name_(rt::TextRef name, int32_t len) {
  if (len < 1 || name.len() < 1) return;
  char c[4];
  for (int k = 0; k < 4; ++k) c[k] = k < name.len() && k < len ? name(k + 1) : ' ';
  if (c[0] == ' ') {
    c[0] = c[1];
    c[1] = c[2];
    c[2] = c[3];
    c[3] = ' ';
  }
  const char first = c[0];
  if ((first >= '0' && first <= '9') || first == '\'' || first == '"' || first == '*') {
    if (c[2] == ' ') c[2] = '_';
    if (c[3] == ' ') c[3] = '_';
    c[0] = c[1];
    c[1] = c[2];
    c[2] = c[3];
    c[3] = first;
  }
  for (int k = 0; k < 4 && k < name.len() && k < len; ++k) name(k + 1) = c[k];
}

void put_mnlib_(MON_FILLER_ARGS) {
  ierr = 0;
  const r_scratch_t& r = r_scratch;
  const int32_t l = r.lml_imon;
  const bool full = l >= 1 && !(r.lml_prsnt(l) == "M");
  const std::string_view it = item.substr(0, leni < 0 ? 0 : std::min<std::size_t>(leni, item.size()));
  if (begins(it, "_chem_comp.")) return;
  if (begins(it, "_chem_comp_atom.")) {
    pt_matom_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_comp_tree.")) {
    if (full && r.lml_pass(l) < 2)
      pt_connect_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_comp_bond.")) {
    pt_mbond_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_comp_angle.")) {
    if (full) pt_mangl_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_comp_tor.")) {
    if (full) pt_mtors_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_comp_chir.")) {
    pt_mchir_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_comp_plane_atom.")) {
    if (full) pt_mplan_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  }
}

void pt_matom_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL_ITEM;
  const std::string_view a = dictionary::attribute(f.item, 16);
  if (begins(a, "comp_id")) {
    if (!select_monomer(f, "_chem_comp_atom", false, ierr) || r.lml_imon < 1) return;
    const int32_t l = r.lml_imon;
    const int32_t k = append_row(f, r.lma_natom, MAXMATM, r.lml_iatom(l),
                                 " ERR: read number of atoms for monomer ", "MAXMATM", ierr);
    if (k == 0) return;
    r.lma_mname(k) = r.lml_mname(l);
    r.lma_x(k) = r.lma_y(k) = r.lma_z(k) = r.lma_charg(k) = 0.0f;
    r.lma_chem(k) = ".";
    r.lma_symb(k) = ".";
    r.lma_back(k) = ".";
    r.lma_forw(k) = ".";
    r.lma_type(k) = ".";
    r.lma_coor_flag(k) = "N";
    r.lma_sf_id(k) = 0;
    return;
  }
  if (!takes_value(f, r.lma_mname, r.lma_natom)) return;
  const int32_t k = r.lma_natom;
  if (begins(a, "atom_id")) {
    r.lma_aname(k) = long_atom_name(f.data);
  } else if (begins(a, "type_symbol")) {
    rt::FixedText<4> sym(f.data.substr(0, f.data.size() < 4 ? f.data.size() : 4));
    check_line_(1, sym.ref());
    int32_t insf = 0;
    chkasym_(f.mdoc, sym, insf, ierr);
    if (ierr == 2) {
      msgdoc_(f.mdoc, std::string("          monomer:") + r.lml_mname(r.lml_imon).str());
      ierr = 0;
    }
    if (ierr != 0) return;
    r.lma_symb(k) = sym;
    r.lma_sf_id(k) = insf;
  } else if (begins(a, "type_energy")) {
    r.lma_chem(k) = f.data;
  } else if (begins(a, "partial_charge") || begins(a, "charge")) {
    r.lma_charg(k) = f.fdata;
  } else if (begins(a, "x") || begins(a, "model_Cartn_x")) {
    r.lma_x(k) = f.fdata;
    r.lma_coor_flag(k) = f.data == "." ? "N" : "Y";
  } else if (begins(a, "y") || begins(a, "model_Cartn_y")) {
    r.lma_y(k) = f.fdata;
  } else if (begins(a, "z") || begins(a, "model_Cartn_z")) {
    r.lma_z(k) = f.fdata;
  } else if (begins(a, "back")) {
    r.lma_back(k) = atom_name(f.data);
  } else if (begins(a, "forward")) {
    r.lma_forw(k) = atom_name(f.data);
  }
}

void pt_connect_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  com_conn_lib_t& t = com_conn_lib;
  ierr = 0;
  const FillItem f = FILL_ITEM;
  const std::string_view a = dictionary::attribute(f.item, 16);
  if (begins(a, "comp_id")) {
    r.lma_iatom = 0;
    t.cn_atom = ".";
    t.cn_back = ".";
    t.cn_forw = ".";
    t.cn_btype = ".";
    t.cn_ctype = ".";
    if (!select_monomer(f, "_chem_comp_tree", true, ierr) || r.lml_imon < 1) return;
    t.cn_mname = r.lml_mname(r.lml_imon);
  } else if (r.lml_imon >= 1 && begins(a, "atom_id")) {
    if (f.i != 2) {
      msgerr_(f.mdoc, " ERR: item _chem_comp_tree.atom_id : must be second in the string");
      r.lml_imon = 0;
      ierr = 1;
      return;
    }
    const int32_t l = r.lml_imon;
    t.cn_atom = atom_name(f.data);
    int32_t natm = 0, nhatm = 0, e = 0;
    count_natom_lib_(f.mdoc, r.lml_mname(l).view(), r.lml_iatom(l), natm, nhatm, e);
    r.lml_natm(l) = natm;
    r.lml_nhatm(l) = nhatm;
    if (natm < 1) {
      msgerr_(f.mdoc, std::string(" ERR: number of atoms in the monomer ") + r.lml_mname(l).str());
      ierr = 1;
      return;
    }
    for (int32_t row = r.lml_iatom(l); row < r.lml_iatom(l) + natm; ++row) {
      if (r.lma_aname(row) == t.cn_atom) {
        r.lma_iatom = row;
        break;
      }
    }
    if (r.lma_iatom == 0) {
      msgerr_(f.mdoc, std::string(" ERR: atom ") + t.cn_atom.str() + " not found in the atom list");
      msgerr_(f.mdoc, std::string(" MON,BLOCK :") + r.lml_mname(l).str() + " " + std::string(f.block));
      r.lml_imon = 0;
      ierr = 1;
      return;
    }
  } else if (f.i > 2 && r.lma_iatom > 0) {
    auto tree_name = [&](std::string_view v) {
      return begins(v, "n/a") ? Name(".") : atom_name(v);
    };
    if (begins(a, "atom_back")) {
      t.cn_back = tree_name(f.data);
    } else if (begins(a, "atom_forward")) {
      t.cn_forw = tree_name(f.data);
    } else if (begins(a, "back_type")) {
      t.cn_btype = f.data;
    } else if (begins(a, "connect_type")) {
      t.cn_ctype = f.data;
    }
  }
  if (f.i != comcif_info.n_cif || r.lml_imon < 1 || r.lma_iatom < 1) return;
  const int32_t l = r.lml_imon;
  if (begins(t.cn_ctype.view(), "ADD")) {
    r.lma_iatom = 0;
    if (r.lmn_nconn >= MAXMCNN) {
      dictionary::full_table(f.mdoc, std::string(" ERR: read number of connections for monomer ") +
                          r.lml_mname(l).str() + " >", MAXMCNN, "/lib.limit/", "MAXMCNN");
      ierr = 1;
      return;
    }
    const int32_t k = ++r.lmn_nconn;
    if (r.lml_iconn(l) == 0) r.lml_iconn(l) = k;
    r.lmn_mname(k) = r.lml_mname(l);
    r.lmn_1atm(k) = t.cn_atom;
    r.lmn_2atm(k) = t.cn_back;
    r.lmn_type(k) = t.cn_btype;
    return;
  }
  const int32_t row = r.lma_iatom;
  r.lma_back(row) = t.cn_back;
  r.lma_type(row) = begins(t.cn_ctype.view(), "DUMMY") ? "DUMMY" : ".";
  r.lma_forw(row) = t.cn_forw;
  if (t.cn_ctype == "START") r.lma_back(row) = ".";
  if (begins(t.cn_ctype.view(), "END")) r.lma_forw(row) = "END";
}

void pt_mbond_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL_ITEM;
  const std::string_view a = dictionary::attribute(f.item, 16);
  if (begins(a, "comp_id")) {
    if (!select_monomer(f, "_chem_comp_bond", false, ierr) || r.lml_imon < 1) return;
    const int32_t l = r.lml_imon;
    const int32_t k = append_row(f, r.lmb_nbond, MAXMBND, r.lml_ibond(l),
                                 " ERR: read number of bonds for monomer ", "MAXMBND", ierr);
    if (k == 0) return;
    r.lmb_mname(k) = r.lml_mname(l);
    r.lmb_1atm(k) = ".";
    r.lmb_2atm(k) = ".";
    r.lmb_type(k) = ".";
    r.lmb_val(k) = r.lmb_dev(k) = 0.0f;
    row_gave = 0;
    return;
  }
  if (!takes_value(f, r.lmb_mname, r.lmb_nbond)) return;
  const int32_t k = r.lmb_nbond;
  const std::string atoms = atoms_of({&r.lmb_1atm(k), &r.lmb_2atm(k)});
  if (begins(a, "atom_id_1")) {
    r.lmb_1atm(k) = long_atom_name(f.data);
  } else if (begins(a, "atom_id_2")) {
    r.lmb_2atm(k) = long_atom_name(f.data);
  } else if (begins(a, "type") || begins(a, "value_order")) {
    r.lmb_type(k) = bond_type(f.data);
  } else if (begins(a, "value_dist_esd")) {
    if (!take_number(f, atoms, dictionary::RowNumber::kEsd, kGaveEsd, r.lmb_dev(k), ierr)) return;
  } else if (begins(a, "value_dist")) {
    if (!take_number(f, atoms, dictionary::RowNumber::kValue, kGaveValue, r.lmb_val(k), ierr))
      return;
  }
  row_complete(f, "_chem_comp_bond", "value_dist", "value_dist_esd",
               atoms_of({&r.lmb_1atm(k), &r.lmb_2atm(k)}), ierr);
}

void pt_mangl_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL_ITEM;
  const std::string_view a = dictionary::attribute(f.item, 17);
  if (begins(a, "comp_id")) {
    if (!select_monomer(f, "_chem_comp_angle", false, ierr) || r.lml_imon < 1) return;
    const int32_t l = r.lml_imon;
    const int32_t k = append_row(f, r.lmg_nangl, MAXMANG, r.lml_ithet(l),
                                 " ERR: read number of angles for monomer ", "MAXMANG", ierr);
    if (k == 0) return;
    r.lmg_mname(k) = r.lml_mname(l);
    r.lmg_1atm(k) = ".";
    r.lmg_2atm(k) = ".";
    r.lmg_3atm(k) = ".";
    r.lmg_val(k) = r.lmg_dev(k) = 0.0f;
    row_gave = 0;
    return;
  }
  if (!takes_value(f, r.lmg_mname, r.lmg_nangl)) return;
  const int32_t k = r.lmg_nangl;
  const std::string atoms = atoms_of({&r.lmg_1atm(k), &r.lmg_2atm(k), &r.lmg_3atm(k)});
  if (begins(a, "atom_id_1")) {
    r.lmg_1atm(k) = atom_name(f.data);
  } else if (begins(a, "atom_id_2")) {
    r.lmg_2atm(k) = atom_name(f.data);
  } else if (begins(a, "atom_id_3")) {
    r.lmg_3atm(k) = atom_name(f.data);
  } else if (begins(a, "value_angle_esd")) {
    if (!take_number(f, atoms, dictionary::RowNumber::kEsd, kGaveEsd, r.lmg_dev(k), ierr)) return;
  } else if (begins(a, "value_angle")) {
    if (!take_number(f, atoms, dictionary::RowNumber::kValue, kGaveValue, r.lmg_val(k), ierr))
      return;
  }
  row_complete(f, "_chem_comp_angle", "value_angle", "value_angle_esd",
               atoms_of({&r.lmg_1atm(k), &r.lmg_2atm(k), &r.lmg_3atm(k)}), ierr);
}

void pt_mtors_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL_ITEM;
  const std::string_view a = dictionary::attribute(f.item, 15);
  if (begins(a, "comp_id")) {
    if (!select_monomer(f, "_chem_comp_tor", false, ierr) || r.lml_imon < 1) return;
    const int32_t l = r.lml_imon;
    const int32_t k = append_row(f, r.lmt_ntors, MAXMTOR, r.lml_itors(l),
                                 " ERR: read number of tors for monomer ", "MAXMTOR", ierr);
    if (k == 0) return;
    r.lmt_mname(k) = r.lml_mname(l);
    r.lmt_1atm(k) = ".";
    r.lmt_2atm(k) = ".";
    r.lmt_3atm(k) = ".";
    r.lmt_4atm(k) = ".";
    r.lmt_label(k) = ".";
    r.lmt_val(k) = r.lmt_dev(k) = 0.0f;
    r.lmt_prd(k) = 0;
    row_gave = 0;
    return;
  }
  if (!takes_value(f, r.lmt_mname, r.lmt_ntors)) return;
  const int32_t k = r.lmt_ntors;
  const std::string atoms =
      atoms_of({&r.lmt_1atm(k), &r.lmt_2atm(k), &r.lmt_3atm(k), &r.lmt_4atm(k)});
  if (begins(a, "value_angle_esd")) {
    if (!take_number(f, atoms, dictionary::RowNumber::kEsd, kGaveEsd, r.lmt_dev(k), ierr)) return;
  } else if (begins(a, "value_angle")) {
    if (!take_number(f, atoms, dictionary::RowNumber::kValue, kGaveValue, r.lmt_val(k), ierr))
      return;
  } else if (begins(a, "period")) {
    // A full description gives its period as it gives its value and esd;
    // in a minimal one "?" and "." give no period (0), as they always have.
    float period = 0.0f;
    if (!dictionary::row_number(f, monomer_entry(), atoms, dictionary::RowNumber::kPeriod,
                                r.lml_prsnt(r.lml_imon) == "M", period)) {
      r.lml_imon = 0;
      ierr = 1;
      return;
    }
    r.lmt_prd(k) = static_cast<int32_t>(period);
  } else if (begins(a, "atom_id_1")) {
    r.lmt_1atm(k) = atom_name(f.data);
  } else if (begins(a, "atom_id_2")) {
    r.lmt_2atm(k) = atom_name(f.data);
  } else if (begins(a, "atom_id_3")) {
    r.lmt_3atm(k) = atom_name(f.data);
  } else if (begins(a, "atom_id_4")) {
    r.lmt_4atm(k) = atom_name(f.data);
  } else if (begins(a, "id")) {
    r.lmt_label(k) = f.data;
  }
  row_complete(f, "_chem_comp_tor", "value_angle", "value_angle_esd",
               atoms_of({&r.lmt_1atm(k), &r.lmt_2atm(k), &r.lmt_3atm(k), &r.lmt_4atm(k)}), ierr);
}

void pt_mchir_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL_ITEM;
  const std::string_view a = dictionary::attribute(f.item, 16);
  if (begins(a, "comp_id")) {
    if (!select_monomer(f, "_chem_comp_chir", false, ierr) || r.lml_imon < 1) return;
    const int32_t l = r.lml_imon;
    const int32_t k = append_row(f, r.lmc_nchir, MAXMCHR, r.lml_ichir(l),
                                 " ERR: read number of chiralities for monomer ", "MAXMCHR", ierr);
    if (k == 0) return;
    r.lmc_mname(k) = r.lml_mname(l);
    for (auto* col : {&r.lmc_1atm, &r.lmc_2atm, &r.lmc_3atm, &r.lmc_4atm, &r.lmc_5atm,
                      &r.lmc_6atm, &r.lmc_7atm, &r.lmc_8atm, &r.lmc_9atm})
      (*col)(k) = ".";
    r.lmc_sign(k) = ".";
    r.lmc_flag(k) = "N";
    return;
  }
  if (!takes_value(f, r.lmc_mname, r.lmc_nchir)) return;
  const int32_t k = r.lmc_nchir;
  static constexpr std::string_view kAtoms[] = {"atom_id_1", "atom_id_2", "atom_id_3",
                                                "atom_id_4", "atom_id_5", "atom_id_6",
                                                "atom_id_7", "atom_id_8"};
  rt::Array1<Name, MAXMCHR>* const cols[] = {&r.lmc_2atm, &r.lmc_3atm, &r.lmc_4atm, &r.lmc_5atm,
                                             &r.lmc_6atm, &r.lmc_7atm, &r.lmc_8atm, &r.lmc_9atm};
  if (begins(a, "volume_sign")) {
    r.lmc_sign(k) = f.data;
    return;
  }
  if (begins(a, "atom_id_centre")) {
    r.lmc_1atm(k) = atom_name(f.data);
    return;
  }
  for (int n = 0; n < 8; ++n) {
    if (begins(a, kAtoms[n])) {
      (*cols[n])(k) = atom_name(f.data);
      return;
    }
  }
}

void pt_mplan_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  sttcpln_t& p = sttcpln;
  ierr = 0;
  const FillItem f = FILL_ITEM;
  const std::string_view a = dictionary::attribute(f.item, 22);
  if (begins(a, "comp_id")) {
    p.pl_label = ".";
    p.pl_atom = ".";
    p.pl_dev = 0.0f;
    row_gave = 0;
    if (!select_monomer(f, "_chem_comp_plane_atom", false, ierr) || r.lml_imon < 1) return;
    p.pl_mname = r.lml_mname(r.lml_imon);
  } else if (r.lml_imon >= 1 && f.i >= 2) {
    if (begins(a, "plane_id")) {
      p.pl_label = f.data;
    } else if (begins(a, "atom_id")) {
      p.pl_atom = atom_name(f.data);
    } else if (begins(a, "dist_esd")) {
      if (!take_number(f, p.pl_atom.trimmed(), dictionary::RowNumber::kEsd, kGaveEsd, p.pl_dev,
                       ierr))
        return;
    }
  }
  if (f.i != 4 || r.lml_imon < 1) return;
  const int32_t l = r.lml_imon;
  // The row is stored at its fourth value, which must have brought the esd.
  if ((row_gave & kGaveEsd) == 0 && !(r.lml_prsnt(l) == "M")) {
    dictionary::row_without(f, monomer_entry(), p.pl_atom.trimmed(),
                            "_chem_comp_plane_atom.dist_esd");
    r.lml_imon = 0;
    ierr = 1;
    return;
  }
  int32_t plane = 0;
  if (r.lml_iplan(l) > 0) {
    for (int32_t k = r.lml_iplan(l); k <= r.lmp_nplan && plane == 0; ++k)
      if (r.lmp_label(k) == p.pl_label) plane = k;
  }
  if (plane == 0) {
    plane = append_row(f, r.lmp_nplan, MAXMPLN, r.lml_iplan(l),
                       " ERR: read number of plans for monomer ", "MAXMPLN", ierr);
    if (plane == 0) return;
    r.lmp_mname(plane) = p.pl_mname;
    r.lmp_label(plane) = p.pl_label;
    r.lmp_natom(plane) = 0;
  }
  if (r.lmp_natom(plane) >= MAXMAPL) {
    dictionary::full_table(f.mdoc, std::string(" ERR: read number of plans atom for monomer ") + p.pl_mname.str() +
                        " >", MAXMAPL, "/lib. limit/", "MAXMAPL");
    r.lml_imon = 0;
    ierr = 1;
    return;
  }
  const int32_t n = ++r.lmp_natom(plane);
  r.lmp_atom(n, plane) = p.pl_atom;
  r.lmp_dev(n, plane) = p.pl_dev;
}
