// Fillers of the modification list and of the modification descriptions.
// Every description row starts with the key mod_id, which finds the
// modification (searching on from the current one) and appends the row.
#include "dictionary/mod_fillers.h"

#include <string>

#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_fill_util.h"
#include "dictionary/libcom.h"
#include "foundation/messages.h"

namespace {

using dictionary::begins;
using dictionary::FillItem;
using Code = rt::FixedText<8>;

// The plane row being read: its fields come one by one, the atom is stored
// at the fifth.
struct PlaneRow {
  rt::FixedText<8> label;
  rt::FixedText<8> funct;
  rt::FixedText<4> atom;
  float dev = 0.0f;
} plane_row;

// What a description category needs to take a key: its name for the
// messages, the row count, capacity, first-row pointers and limit message.
struct ModTable {
  std::string_view category;
  int32_t* count;
  int32_t limit;
  rt::Array1<int32_t, MAXDMDF>* first;
  std::string_view text;
  std::string_view separator;
  std::string_view constant;
};

// Finds the modification of the key value (searching on from the current
// one) and sets ldl_imod.  Returns it, or 0 (ierr 1 after an error).
int32_t find_mod(const FillItem& f, std::string_view category, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const std::string head = std::string(" ERR: item ") + std::string(category) + ".mod_id :";
  if (f.i != 1) {
    dictionary::misplaced_key(f.mdoc, head, f.data, 8, " must be first in the string");
    r.ldl_imod = 0;
    ierr = 1;
    return 0;
  }
  if (r.ldl_nmod < 1) {
    msgerr_(f.mdoc, " ERR: number of modifications in the list= 0");
    ierr = 1;
    return 0;
  }
  const Code id = dictionary::code_of(f.data);
  const int32_t start = r.ldl_imod > 0 ? r.ldl_imod : 1;
  int32_t found = 0;
  for (int32_t n = 0; n < r.ldl_nmod && found == 0; ++n) {
    const int32_t k = (start - 1 + n) % r.ldl_nmod + 1;
    if (r.ldl_mname(k) == id) found = k;
  }
  if (found == 0) {
    dictionary::misplaced_key(f.mdoc, head, id.view(), 8,
                              " not found in the list of modifications");
    msgerr_(f.mdoc, std::string(" BLOCK :") + std::string(f.block));
    r.ldl_imod = 0;
    ierr = 1;
    return 0;
  }
  r.ldl_imod = found;
  return found;
}

// Handles the key of a description row.  Returns the new row, or 0 (ierr 1
// after an error).
int32_t take_key(const FillItem& f, const ModTable& t, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const int32_t found = find_mod(f, t.category, ierr);
  if (found == 0) return 0;
  const Code id = dictionary::code_of(f.data);
  if (*t.count >= t.limit) {
    dictionary::library_limit(f.mdoc, t.text, id.view(), t.separator, t.limit, t.constant);
    r.ldl_imod = 0;
    ierr = 1;
    return 0;
  }
  const int32_t row = ++*t.count;
  if ((*t.first)(found) == 0) (*t.first)(found) = row;
  return row;
}

// Values go to the last row only when it belongs to the current
// modification: a record whose key was missing writes nowhere.
template <int N>
bool takes_value(const FillItem& f, const rt::Array1<Code, N>& ids, int32_t count) {
  const r_scratch_t& r = r_scratch;
  return r.ldl_imod > 0 && f.i >= 2 && count >= 1 && ids(count) == r.ldl_mname(r.ldl_imod);
}

#define FILL dictionary::fill_item(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend)

// A restraint number of the current modification's row.  "?" and "." give
// 0, as they always have (a row that deletes gives none); false after the
// error line, with ierr 1.
bool mod_number(const FillItem& f, const std::string& atoms, dictionary::RowNumber kind,
                float& value, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (dictionary::row_number(f, "modification " + std::string(r.ldl_mname(r.ldl_imod).trimmed()),
                             atoms, kind, true, value))
    return true;
  r.ldl_imod = 0;
  ierr = 1;
  return false;
}

}  // namespace

void pt_mdlist_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  if (begins(f.item, "_chem_mod.id")) {
    if (f.i != 1) {
      dictionary::misplaced_key(f.mdoc, " ERR: item _chem_mod.id :", f.data, 8,
                                " must be first in the string");
      r.ldl_imod = 0;
      ierr = 1;
      return;
    }
    // A full list keeps its entries: the count used to drop to 0 here,
    // which lost every modification read before.
    if (r.ldl_nmod >= MAXDMDF) {
      dictionary::library_limit(f.mdoc, " ERR: number of modifications", "", " >", MAXDMDF,
                                "MAXDMDF");
      r.ldl_imod = 0;
      ierr = 1;
      return;
    }
    const int32_t k = ++r.ldl_nmod;
    r.ldl_mname(k) = dictionary::code_of(f.data);
    r.ldl_fuse(k) = libcom.lb_pass > libcom.lb_numb_lib ? "C" : "N";
    r.ldl_order(k) = 0;
    r.ldl_comp(k) = ".";
    r.ldl_detail(k) = ".";
    r.ldl_type(k) = ".";
    r.ldl_imod = k;
    return;
  }
  if (r.ldl_imod < 1 || f.i < 2) return;
  const int32_t k = r.ldl_imod;
  if (begins(f.item, "_chem_mod.comp_id")) {
    r.ldl_comp(k) = f.data;
  } else if (begins(f.item, "_chem_mod.name")) {
    r.ldl_detail(k) = f.data;
  } else if (begins(f.item, "_chem_mod.group_id")) {
    r.ldl_type(k) = f.data;
  }
}

void put_mdlib_(MON_FILLER_ARGS) {
  ierr = 0;
  if (r_scratch.ldl_nmod <= 0) return;
  const std::string_view it = dictionary::fill_item(mdoc, i, block, lenb, item, leni, data, idata,
                                                    fdata, lend)
                                  .item;
  if (begins(it, "_chem_mod.")) return;
  if (begins(it, "_chem_mod_atom.")) {
    pt_mdatom_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_mod_tree.")) {
    pt_mdconn_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_mod_bond.")) {
    pt_mdbond_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_mod_angle.")) {
    pt_mdangl_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_mod_tor.")) {
    pt_mdtors_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_mod_chir.")) {
    pt_mdchir_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_mod_plane_atom")) {
    pt_mdplan_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  }
}

void pt_mdatom_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 15);
  if (begins(a, "mod_id")) {
    const ModTable t{"_chem_mod_atom", &r.lda_natom, MAXDATM, &r.ldl_iatom,
                     " ERR: number of atoms for mod:", "  >", "MAXDATM"};
    const int32_t k = take_key(f, t, ierr);
    if (k == 0) return;
    r.lda_mname(k) = r.ldl_mname(r.ldl_imod);
    r.lda_charg(k) = 0.0f;
    r.lda_symb(k) = ".";
    r.lda_chem(k) = ".";
    r.lda_anew(k) = ".";
    r.lda_aname(k) = ".";
    r.lda_funct(k) = ".";
    return;
  }
  if (!takes_value(f, r.lda_mname, r.lda_natom)) return;
  const int32_t k = r.lda_natom;
  if (begins(a, "atom_id")) {
    r.lda_aname(k) = f.data;
  } else if (begins(a, "new_type_symbol")) {
    rt::FixedText<4> sym(f.data.substr(0, f.data.size() < 4 ? f.data.size() : 4));
    if (!begins(f.data, ".")) {
      int32_t insf = 0;
      chkasym_(f.mdoc, sym, insf, ierr);
      ierr = 0;
    }
    r.lda_symb(k) = sym;
  } else if (begins(a, "new_type_energy")) {
    r.lda_chem(k) = f.data;
  } else if (begins(a, "function")) {
    r.lda_funct(k) = f.data;
  } else if (begins(a, "new_partial_charge")) {
    r.lda_charg(k) = f.fdata;
  } else if (begins(a, "new_atom_id")) {
    r.lda_anew(k) = f.data;
  }
}

void pt_mdconn_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 15);
  if (begins(a, "mod_id")) {
    const ModTable t{"_chem_mod_tree", &r.ldn_nconn, MAXDCNN, &r.ldl_iconn,
                     " ERR: read number of connections for mod:", "  >", "MAXDCNN"};
    const int32_t k = take_key(f, t, ierr);
    if (k == 0) return;
    r.ldn_mname(k) = r.ldl_mname(r.ldl_imod);
    for (auto* col : {&r.ldn_atom, &r.ldn_back, &r.ldn_forw, &r.ldn_1atm, &r.ldn_2atm}) (*col)(k) = ".";
    r.ldn_btype(k) = ".";
    r.ldn_type(k) = ".";
    r.ldn_funct(k) = ".";
    return;
  }
  if (!takes_value(f, r.ldn_mname, r.ldn_nconn)) return;
  const int32_t k = r.ldn_nconn;
  auto tree_name = [](std::string_view v) {
    return begins(v, "n/a") ? rt::FixedText<4>(".") : rt::FixedText<4>(v);
  };
  if (begins(a, "atom_id")) {
    r.ldn_atom(k) = f.data;
  } else if (begins(a, "atom_back")) {
    r.ldn_back(k) = tree_name(f.data);
  } else if (begins(a, "back_type")) {
    r.ldn_btype(k) = f.data;
  } else if (begins(a, "function")) {
    r.ldn_funct(k) = f.data;
  } else if (begins(a, "atom_forward")) {
    r.ldn_forw(k) = tree_name(f.data);
  } else if (begins(a, "connect_type")) {
    r.ldn_type(k) = f.data;
  }
}

void pt_mdbond_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 15);
  if (begins(a, "mod_id")) {
    const ModTable t{"_chem_mod_bond", &r.ldb_nbond, MAXDBND, &r.ldl_ibond,
                     " ERR: read number of bonds for mod:", " >", "MAXDBND"};
    const int32_t k = take_key(f, t, ierr);
    if (k == 0) return;
    r.ldb_mname(k) = r.ldl_mname(r.ldl_imod);
    r.ldb_1atm(k) = ".";
    r.ldb_2atm(k) = ".";
    r.ldb_type(k) = ".";
    r.ldb_funct(k) = ".";
    r.ldb_val(k) = r.ldb_dev(k) = r.ldb_vobs(k) = 0.0f;
    return;
  }
  if (!takes_value(f, r.ldb_mname, r.ldb_nbond)) return;
  const int32_t k = r.ldb_nbond;
  if (begins(a, "atom_id_1")) {
    r.ldb_1atm(k) = f.data;
  } else if (begins(a, "atom_id_2")) {
    r.ldb_2atm(k) = f.data;
  } else if (begins(a, "new_type")) {
    r.ldb_type(k) = f.data;
  } else if (begins(a, "new_value_dist_esd")) {
    mod_number(f, dictionary::row_atoms({r.ldb_1atm(k).view(), r.ldb_2atm(k).view()}),
               dictionary::RowNumber::kEsd, r.ldb_dev(k), ierr);
  } else if (begins(a, "new_value_dist")) {
    mod_number(f, dictionary::row_atoms({r.ldb_1atm(k).view(), r.ldb_2atm(k).view()}),
               dictionary::RowNumber::kValue, r.ldb_val(k), ierr);
  } else if (begins(a, "function")) {
    r.ldb_funct(k) = f.data;
  }
}

void pt_mdangl_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 16);
  if (begins(a, "mod_id")) {
    const ModTable t{"_chem_mod_angle", &r.ldg_nangl, MAXDANG, &r.ldl_ithet,
                     " ERR: read number of angles for mod:", " >", "MAXDANG"};
    const int32_t k = take_key(f, t, ierr);
    if (k == 0) return;
    r.ldg_mname(k) = r.ldl_mname(r.ldl_imod);
    r.ldg_1atm(k) = ".";
    r.ldg_2atm(k) = ".";
    r.ldg_3atm(k) = ".";
    r.ldg_funct(k) = ".";
    r.ldg_val(k) = r.ldg_dev(k) = r.ldg_vobs(k) = 0.0f;
    return;
  }
  if (!takes_value(f, r.ldg_mname, r.ldg_nangl)) return;
  const int32_t k = r.ldg_nangl;
  if (begins(a, "atom_id_1")) {
    r.ldg_1atm(k) = f.data;
  } else if (begins(a, "atom_id_2")) {
    r.ldg_2atm(k) = f.data;
  } else if (begins(a, "atom_id_3")) {
    r.ldg_3atm(k) = f.data;
  } else if (begins(a, "new_value_angle_esd")) {
    mod_number(f,
               dictionary::row_atoms(
                   {r.ldg_1atm(k).view(), r.ldg_2atm(k).view(), r.ldg_3atm(k).view()}),
               dictionary::RowNumber::kEsd, r.ldg_dev(k), ierr);
  } else if (begins(a, "new_value_angle")) {
    mod_number(f,
               dictionary::row_atoms(
                   {r.ldg_1atm(k).view(), r.ldg_2atm(k).view(), r.ldg_3atm(k).view()}),
               dictionary::RowNumber::kValue, r.ldg_val(k), ierr);
  } else if (begins(a, "function")) {
    r.ldg_funct(k) = f.data;
  }
}

void pt_mdtors_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 14);
  if (begins(a, "mod_id")) {
    const ModTable t{"_chem_mod_tor", &r.ldt_ntors, MAXDTOR, &r.ldl_itors,
                     " ERR: read number of tors for mod:", "  >", "MAXDTOR"};
    const int32_t k = take_key(f, t, ierr);
    if (k == 0) return;
    r.ldt_mname(k) = r.ldl_mname(r.ldl_imod);
    for (auto* col : {&r.ldt_1atm, &r.ldt_2atm, &r.ldt_3atm, &r.ldt_4atm}) (*col)(k) = ".";
    r.ldt_label(k) = ".";
    r.ldt_funct(k) = ".";
    r.ldt_val(k) = r.ldt_dev(k) = r.ldt_vobs(k) = 0.0f;
    r.ldt_prd(k) = 0;
    return;
  }
  if (!takes_value(f, r.ldt_mname, r.ldt_ntors)) return;
  const int32_t k = r.ldt_ntors;
  const std::string names = dictionary::row_atoms(
      {r.ldt_1atm(k).view(), r.ldt_2atm(k).view(), r.ldt_3atm(k).view(), r.ldt_4atm(k).view()});
  if (begins(a, "new_value_angle_esd")) {
    mod_number(f, names, dictionary::RowNumber::kEsd, r.ldt_dev(k), ierr);
  } else if (begins(a, "new_value_angle")) {
    mod_number(f, names, dictionary::RowNumber::kValue, r.ldt_val(k), ierr);
  } else if (begins(a, "new_period")) {
    float period = 0.0f;
    if (mod_number(f, names, dictionary::RowNumber::kPeriod, period, ierr))
      r.ldt_prd(k) = static_cast<int32_t>(period);
  } else if (begins(a, "atom_id_1")) {
    r.ldt_1atm(k) = f.data;
  } else if (begins(a, "atom_id_2")) {
    r.ldt_2atm(k) = f.data;
  } else if (begins(a, "atom_id_3")) {
    r.ldt_3atm(k) = f.data;
  } else if (begins(a, "atom_id_4")) {
    r.ldt_4atm(k) = f.data;
  } else if (begins(a, "function")) {
    r.ldt_funct(k) = f.data;
  }
}

void pt_mdchir_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 15);
  rt::Array1<rt::FixedText<4>, MAXDCHR>* const cols[] = {
      &r.ldc_1atm, &r.ldc_2atm, &r.ldc_3atm, &r.ldc_4atm, &r.ldc_5atm,
      &r.ldc_6atm, &r.ldc_7atm, &r.ldc_8atm, &r.ldc_9atm};
  if (begins(a, "mod_id")) {
    const ModTable t{"_chem_mod_chir", &r.ldc_nchir, MAXDCHR, &r.ldl_ichir,
                     " ERR: read number of chiralities for mod:", "  >", "MAXDCHR"};
    const int32_t k = take_key(f, t, ierr);
    if (k == 0) return;
    r.ldc_mname(k) = r.ldl_mname(r.ldl_imod);
    for (auto* col : cols) (*col)(k) = ".";
    r.ldc_sign(k) = ".";
    r.ldc_funct(k) = ".";
    return;
  }
  if (!takes_value(f, r.ldc_mname, r.ldc_nchir)) return;
  const int32_t k = r.ldc_nchir;
  if (begins(a, "new_volume_sign")) {
    r.ldc_sign(k) = f.data;
  } else if (begins(a, "function")) {
    r.ldc_funct(k) = f.data;
  } else if (begins(a, "atom_id_centre")) {
    r.ldc_1atm(k) = f.data;
  } else {
    static constexpr std::string_view kAtoms[] = {"atom_id_1", "atom_id_2", "atom_id_3",
                                                  "atom_id_4", "atom_id_5", "atom_id_6",
                                                  "atom_id_7", "atom_id_8"};
    for (int n = 0; n < 8; ++n)
      if (begins(a, kAtoms[n])) {
        (*cols[n + 1])(k) = f.data;
        return;
      }
  }
}

void pt_mdplan_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 21);
  if (begins(a, "mod_id")) {
    plane_row = PlaneRow{".", ".", ".", 0.0f};
    find_mod(f, "_chem_mod_plane_atom", ierr);
    return;
  }
  if (r.ldl_imod < 1 || f.i < 2) return;
  if (begins(a, "plane_id")) {
    plane_row.label = f.data;
  } else if (begins(a, "function")) {
    plane_row.funct = f.data;
  } else if (begins(a, "atom_id")) {
    plane_row.atom = f.data;
  } else if (begins(a, "new_dist_esd")) {
    if (!mod_number(f, dictionary::row_atoms({plane_row.atom.view()}),
                    dictionary::RowNumber::kEsd, plane_row.dev, ierr))
      return;
  }
  if (f.i != 5) return;
  const int32_t m = r.ldl_imod;
  const Code id = r.ldl_mname(m);
  int32_t plane = 0;
  if (r.ldl_iplan(m) > 0)
    for (int32_t k = r.ldl_iplan(m); k <= r.ldp_nplan && plane == 0; ++k)
      if (r.ldp_label(k) == plane_row.label) plane = k;
  if (plane == 0) {
    if (r.ldp_nplan >= MAXDPLN) {
      dictionary::library_limit(f.mdoc, " ERR: read number of plans for mod:", id.view(), " >",
                                MAXDPLN, "MAXDPLN");
      r.ldl_imod = 0;
      ierr = 1;
      return;
    }
    plane = ++r.ldp_nplan;
    if (r.ldl_iplan(m) == 0) r.ldl_iplan(m) = plane;
    r.ldp_mname(plane) = id;
    r.ldp_natom(plane) = 0;
  }
  if (r.ldp_natom(plane) >= MAXDAPL) {
    dictionary::library_limit(f.mdoc, " ERR: read number of plans atom for monomer ", id.view(),
                              "  >", MAXDAPL, "MAXDAPL");
    r.ldl_imod = 0;
    ierr = 1;
    return;
  }
  const int32_t n = ++r.ldp_natom(plane);
  r.ldp_label(plane) = plane_row.label;
  r.ldp_funct(plane) = plane_row.funct;
  r.ldp_atom(n, plane) = plane_row.atom;
  r.ldp_dev(n, plane) = plane_row.dev;
}
