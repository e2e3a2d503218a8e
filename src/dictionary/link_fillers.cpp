// Fillers of the link list and of the link descriptions.  Every description
// row starts with the key link_id, which finds the link (searching on from
// the current one) and, except for planes, appends the row.
#include "dictionary/link_fillers.h"

#include <string>

#include "dictionary/lib_com.h"
#include "dictionary/lib_fill_util.h"
#include "dictionary/libcom.h"
#include "foundation/messages.h"

namespace {

using dictionary::begins;
using dictionary::FillItem;
using Code = rt::FixedText<8>;

struct PlaneRow {
  rt::FixedText<8> label;
  int32_t comp = 0;
  rt::FixedText<4> atom;
  float dev = 0.0f;
} plane_row;

// Finds the link of the key value; sets lll_ilink.  False with ierr 1 after
// an error.
bool find_link(const FillItem& f, std::string_view category, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const std::string head = std::string(" ERR: item ") + std::string(category) + ".link_id :";
  if (f.i != 1) {
    dictionary::misplaced_key(f.mdoc, head, f.data, 8, " must be first in the string");
    r.lll_ilink = 0;
    ierr = 1;
    return false;
  }
  if (r.lll_nlink < 1) {
    msgerr_(f.mdoc, " ERR: number of links in the list= 0");
    ierr = 1;
    return false;
  }
  const Code id = dictionary::code_of(f.data);
  const int32_t start = r.lll_ilink > 0 ? r.lll_ilink : 1;
  for (int32_t n = 0; n < r.lll_nlink; ++n) {
    const int32_t k = (start - 1 + n) % r.lll_nlink + 1;
    if (r.lll_lname(k) == id) {
      r.lll_ilink = k;
      return true;
    }
  }
  dictionary::misplaced_key(f.mdoc, head, id.view(), 8, " not found in the list of links");
  msgerr_(f.mdoc, std::string(" BLOCK :") + std::string(f.block));
  r.lll_ilink = 0;
  ierr = 1;
  return false;
}

// Appends a row for the current link; 0 after the limit message.
int32_t append_row(const FillItem& f, int32_t& count, int32_t limit,
                   rt::Array1<int32_t, MAXLLNK>& first, std::string_view text,
                   std::string_view separator, std::string_view constant, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  const int32_t l = r.lll_ilink;
  if (count >= limit) {
    dictionary::library_limit(f.mdoc, text, r.lll_lname(l).view(), separator, limit, constant);
    r.lll_ilink = 0;
    ierr = 1;
    return 0;
  }
  const int32_t k = ++count;
  if (first(l) == 0) first(l) = k;
  return k;
}

// Values go to the last row only when it belongs to the current link: a
// record whose key was missing writes nowhere.
template <int N>
bool takes_value(const FillItem& f, const rt::Array1<Code, N>& ids, int32_t count) {
  const r_scratch_t& r = r_scratch;
  return r.lll_ilink > 0 && f.i >= 2 && count >= 1 && ids(count) == r.lll_lname(r.lll_ilink);
}

using Names = rt::Array1<rt::FixedText<4>, MAXLANG>;

// A restraint number of the current link's row.  "?" and "." give 0, as
// they always have; false after the error line, with ierr 1.
bool link_number(const FillItem& f, const std::string& atoms, dictionary::RowNumber kind,
                 float& value, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  if (dictionary::row_number(f, "link " + std::string(r.lll_lname(r.lll_ilink).trimmed()), atoms,
                             kind, true, value))
    return true;
  r.lll_ilink = 0;
  ierr = 1;
  return false;
}

// A torsion period of a link or modification row, as link_number reads it.
bool link_period(const FillItem& f, const std::string& atoms, int32_t& period, int32_t& ierr) {
  float v = 0.0f;
  if (!link_number(f, atoms, dictionary::RowNumber::kPeriod, v, ierr)) return false;
  period = static_cast<int32_t>(v);
  return true;
}

#define FILL dictionary::fill_item(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend)

}  // namespace

void pt_lnlist_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  if (begins(f.item, "_chem_link.id")) {
    if (f.i != 1) {
      dictionary::misplaced_key(f.mdoc, " ERR: item _chem_link.id :", f.data, 8,
                                " must be first in the string");
      r.lll_ilink = 0;
      ierr = 1;
      return;
    }
    // A full list keeps its links: the count used to drop to 0 here, which
    // lost every link read before.
    if (r.lll_nlink >= MAXLLNK) {
      dictionary::library_limit(f.mdoc, " ERR: number of links", "", " >", MAXLLNK, "MAXLLNK");
      r.lll_ilink = 0;
      ierr = 1;
      return;
    }
    const int32_t k = ++r.lll_nlink;
    r.lll_lname(k) = dictionary::code_of(f.data);
    r.lll_fuse(k) = libcom.lb_pass > libcom.lb_numb_lib ? "C" : "N";
    for (auto* col : {&r.lll_mon1, &r.lll_mon2, &r.lll_mod1, &r.lll_mod2, &r.lll_type1,
                      &r.lll_type2})
      (*col)(k) = ".";
    r.lll_detail(k) = ".";
    r.lll_code1(k) = ".";
    r.lll_ilink = k;
    return;
  }
  if (r.lll_ilink < 1 || f.i < 2) return;
  const int32_t k = r.lll_ilink;
  const std::string_view a = dictionary::attribute(f.item, 11);
  if (begins(a, "one_letter_code")) {
    r.lll_code1(k) = f.data;
  } else if (begins(a, "name")) {
    r.lll_detail(k) = f.data;
  } else if (begins(a, "comp_id_1")) {
    r.lll_mon1(k) = f.data;
  } else if (begins(a, "comp_id_2")) {
    r.lll_mon2(k) = f.data;
  } else if (begins(a, "mod_id_1")) {
    r.lll_mod1(k) = f.data;
  } else if (begins(a, "mod_id_2")) {
    r.lll_mod2(k) = f.data;
  } else if (begins(a, "group_comp_1")) {
    r.lll_type1(k) = f.data;
  } else if (begins(a, "group_comp_2")) {
    r.lll_type2(k) = f.data;
  }
}

void put_lnlib_(MON_FILLER_ARGS) {
  ierr = 0;
  if (r_scratch.lll_nlink <= 0) return;
  const std::string_view it = FILL.item;
  if (begins(it, "_chem_link.")) return;
  if (begins(it, "_chem_link_bond.")) {
    pt_lnbond_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_link_angle.")) {
    pt_lnangl_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_link_tor.")) {
    pt_lntors_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_link_chir.")) {
    pt_lnchir_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  } else if (begins(it, "_chem_link_plane.")) {
    pt_lnplan_(mdoc, i, block, lenb, item, leni, data, idata, fdata, lend, ierr);
  }
}

void pt_lnbond_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 16);
  if (begins(a, "link_id")) {
    if (!find_link(f, "_chem_link_bond", ierr)) return;
    const int32_t k = append_row(f, r.llb_nbond, MAXLBND, r.lll_ibond,
                                 " ERR: read number of bonds for link:", " >", "MAXLBND", ierr);
    if (k == 0) return;
    r.llb_lname(k) = r.lll_lname(r.lll_ilink);
    r.llb_1atm(k) = ".";
    r.llb_2atm(k) = ".";
    r.llb_type(k) = ".";
    r.llb_f1atm(k) = r.llb_f2atm(k) = 0;
    r.llb_val(k) = r.llb_dev(k) = r.llb_vobs(k) = 0.0f;
    return;
  }
  if (!takes_value(f, r.llb_lname, r.llb_nbond)) return;
  const int32_t k = r.llb_nbond;
  if (begins(a, "atom_1_comp_id")) {
    r.llb_f1atm(k) = f.idata;
  } else if (begins(a, "atom_id_1")) {
    r.llb_1atm(k) = f.data;
  } else if (begins(a, "atom_2_comp_id")) {
    r.llb_f2atm(k) = f.idata;
  } else if (begins(a, "atom_id_2")) {
    r.llb_2atm(k) = f.data;
  } else if (begins(a, "type")) {
    r.llb_type(k) = f.data;
  } else if (begins(a, "value_dist_esd")) {
    link_number(f, dictionary::row_atoms({r.llb_1atm(k).view(), r.llb_2atm(k).view()}),
                dictionary::RowNumber::kEsd, r.llb_dev(k), ierr);
  } else if (begins(a, "value_dist")) {
    link_number(f, dictionary::row_atoms({r.llb_1atm(k).view(), r.llb_2atm(k).view()}),
                dictionary::RowNumber::kValue, r.llb_val(k), ierr);
  }
}

void pt_lnangl_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 17);
  if (begins(a, "link_id")) {
    if (!find_link(f, "_chem_link_angle", ierr)) return;
    const int32_t k = append_row(f, r.llg_nangl, MAXLANG, r.lll_ithet,
                                 " ERR: read number of angles for link:", " >", "MAXLANG", ierr);
    if (k == 0) return;
    r.llg_lname(k) = r.lll_lname(r.lll_ilink);
    r.llg_1atm(k) = r.llg_2atm(k) = r.llg_3atm(k) = ".";
    r.llg_f1atm(k) = r.llg_f2atm(k) = r.llg_f3atm(k) = 0;
    r.llg_val(k) = r.llg_dev(k) = r.llg_vobs(k) = 0.0f;
    return;
  }
  if (!takes_value(f, r.llg_lname, r.llg_nangl)) return;
  const int32_t k = r.llg_nangl;
  Names* const atoms[] = {&r.llg_1atm, &r.llg_2atm, &r.llg_3atm};
  rt::Array1<int32_t, MAXLANG>* const comps[] = {&r.llg_f1atm, &r.llg_f2atm, &r.llg_f3atm};
  static constexpr std::string_view kIds[] = {"atom_id_1", "atom_id_2", "atom_id_3"};
  static constexpr std::string_view kComps[] = {"atom_1_comp_id", "atom_2_comp_id",
                                                "atom_3_comp_id"};
  for (int n = 0; n < 3; ++n) {
    if (begins(a, kIds[n])) {
      (*atoms[n])(k) = f.data;
      return;
    }
    if (begins(a, kComps[n])) {
      (*comps[n])(k) = f.idata;
      return;
    }
  }
  const std::string names =
      dictionary::row_atoms({r.llg_1atm(k).view(), r.llg_2atm(k).view(), r.llg_3atm(k).view()});
  if (begins(a, "value_angle_esd")) {
    link_number(f, names, dictionary::RowNumber::kEsd, r.llg_dev(k), ierr);
  } else if (begins(a, "value_angle")) {
    link_number(f, names, dictionary::RowNumber::kValue, r.llg_val(k), ierr);
  }
}

void pt_lntors_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 15);
  if (begins(a, "link_id")) {
    if (!find_link(f, "_chem_link_tor", ierr)) return;
    const int32_t k = append_row(f, r.llt_ntors, MAXLTOR, r.lll_itors,
                                 " ERR: read number of tors for link:", " >", "MAXLTOR", ierr);
    if (k == 0) return;
    r.llt_lname(k) = r.lll_lname(r.lll_ilink);
    r.llt_1atm(k) = r.llt_2atm(k) = r.llt_3atm(k) = r.llt_4atm(k) = ".";
    r.llt_label(k) = ".";
    r.llt_f1atm(k) = r.llt_f2atm(k) = r.llt_f3atm(k) = r.llt_f4atm(k) = 0;
    r.llt_val(k) = r.llt_dev(k) = r.llt_vobs(k) = 0.0f;
    r.llt_prd(k) = 0;
    return;
  }
  if (!takes_value(f, r.llt_lname, r.llt_ntors)) return;
  const int32_t k = r.llt_ntors;
  const std::string names = dictionary::row_atoms(
      {r.llt_1atm(k).view(), r.llt_2atm(k).view(), r.llt_3atm(k).view(), r.llt_4atm(k).view()});
  if (begins(a, "value_angle_esd")) {
    link_number(f, names, dictionary::RowNumber::kEsd, r.llt_dev(k), ierr);
    return;
  }
  if (begins(a, "value_angle")) {
    link_number(f, names, dictionary::RowNumber::kValue, r.llt_val(k), ierr);
    return;
  }
  if (begins(a, "period")) {
    link_period(f, names, r.llt_prd(k), ierr);
    return;
  }
  rt::Array1<rt::FixedText<4>, MAXLTOR>* const atoms[] = {&r.llt_1atm, &r.llt_2atm, &r.llt_3atm,
                                                         &r.llt_4atm};
  rt::Array1<int32_t, MAXLTOR>* const comps[] = {&r.llt_f1atm, &r.llt_f2atm, &r.llt_f3atm,
                                                 &r.llt_f4atm};
  static constexpr std::string_view kIds[] = {"atom_id_1", "atom_id_2", "atom_id_3", "atom_id_4"};
  static constexpr std::string_view kComps[] = {"atom_1_comp_id", "atom_2_comp_id",
                                                "atom_3_comp_id", "atom_4_comp_id"};
  for (int n = 0; n < 4; ++n) {
    if (begins(a, kIds[n])) {
      (*atoms[n])(k) = f.data;
      return;
    }
    if (begins(a, kComps[n])) {
      (*comps[n])(k) = f.idata;
      return;
    }
  }
}

void pt_lnchir_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 16);
  if (begins(a, "link_id")) {
    if (!find_link(f, "_chem_link_chir", ierr)) return;
    const int32_t k = append_row(f, r.llc_nchir, MAXLCHR, r.lll_ichir,
                                 " ERR: read number of chiralities for link:", "  >", "MAXLCHR",
                                 ierr);
    if (k == 0) return;
    r.llc_lname(k) = r.lll_lname(r.lll_ilink);
    r.llc_1atm(k) = r.llc_2atm(k) = r.llc_3atm(k) = r.llc_4atm(k) = ".";
    r.llc_sign(k) = ".";
    r.llc_f1atm(k) = r.llc_f2atm(k) = r.llc_f3atm(k) = r.llc_f4atm(k) = 0;
    r.llc_vol(k) = 0.0f;
    return;
  }
  if (!takes_value(f, r.llc_lname, r.llc_nchir)) return;
  const int32_t k = r.llc_nchir;
  if (begins(a, "volume_sign")) {
    r.llc_sign(k) = f.data;
  } else if (begins(a, "atom_id_centre")) {
    r.llc_1atm(k) = f.data;
  } else if (begins(a, "atom_centre_comp_id")) {
    r.llc_f1atm(k) = f.idata;
  } else {
    rt::Array1<rt::FixedText<4>, MAXLCHR>* const atoms[] = {&r.llc_2atm, &r.llc_3atm,
                                                           &r.llc_4atm};
    rt::Array1<int32_t, MAXLCHR>* const comps[] = {&r.llc_f2atm, &r.llc_f3atm, &r.llc_f4atm};
    static constexpr std::string_view kIds[] = {"atom_id_1", "atom_id_2", "atom_id_3"};
    static constexpr std::string_view kComps[] = {"atom_1_comp_id", "atom_2_comp_id",
                                                  "atom_3_comp_id"};
    for (int n = 0; n < 3; ++n) {
      if (begins(a, kIds[n])) {
        (*atoms[n])(k) = f.data;
        return;
      }
      if (begins(a, kComps[n])) {
        (*comps[n])(k) = f.idata;
        return;
      }
    }
  }
}

void pt_lnplan_(MON_FILLER_ARGS) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  const FillItem f = FILL;
  const std::string_view a = dictionary::attribute(f.item, 17);
  if (begins(a, "link_id")) {
    plane_row = PlaneRow{".", 0, ".", 0.0f};
    find_link(f, "_chem_link_plane", ierr);
    return;
  }
  if (r.lll_ilink < 1 || f.i < 2) return;
  if (begins(a, "plane_id")) {
    plane_row.label = f.data;
  } else if (begins(a, "atom_comp_id")) {
    plane_row.comp = f.idata;
  } else if (begins(a, "atom_id")) {
    plane_row.atom = f.data;
  } else if (begins(a, "dist_esd")) {
    if (!link_number(f, dictionary::row_atoms({plane_row.atom.view()}),
                     dictionary::RowNumber::kEsd, plane_row.dev, ierr))
      return;
  }
  if (f.i != 5) return;
  const int32_t l = r.lll_ilink;
  const Code id = r.lll_lname(l);
  int32_t plane = 0;
  if (r.lll_iplan(l) > 0)
    for (int32_t k = r.lll_iplan(l); k <= r.llp_nplan && plane == 0; ++k)
      if (r.llp_label(k) == plane_row.label) plane = k;
  if (plane == 0) {
    if (r.llp_nplan >= MAXLPLN) {
      dictionary::library_limit(f.mdoc, " ERR: read number of plans for link:", id.view(), " >",
                                MAXLPLN, "MAXLPLN");
      r.lll_ilink = 0;
      ierr = 1;
      return;
    }
    plane = ++r.llp_nplan;
    if (r.lll_iplan(l) == 0) r.lll_iplan(l) = plane;
    r.llp_lname(plane) = id;
    r.llp_natom(plane) = 0;
  }
  if (r.llp_natom(plane) >= MAXLAPL) {
    dictionary::library_limit(f.mdoc, " ERR: read number of plans atom for link: ", id.view(),
                              "  >", MAXLAPL, "MAXLAPL");
    r.lll_ilink = 0;
    ierr = 1;
    return;
  }
  const int32_t n = ++r.llp_natom(plane);
  r.llp_label(plane) = plane_row.label;
  r.llp_atom(n, plane) = plane_row.atom;
  r.llp_fatom(n, plane) = plane_row.comp;
  r.llp_dev(n, plane) = plane_row.dev;
}
