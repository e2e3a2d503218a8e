// Look-ups in the link library.  Links and their bond rows are found through
// the dictionary's name indexes; only the searches by residue, which accept
// wildcard ends and classes, walk the whole list of links.
#include "dictionary/link_lookup.h"

#include <algorithm>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/residue_class.h"

namespace {

using rt::text_eq;

// Monomer and link names are at most 8 characters, atom names 4: a longer
// text with anything but blanks past its width equals no stored name.
std::string_view used(std::string_view s) { return rt::trim_right(s); }

bool is_dot(std::string_view s) { return text_eq(s, "."); }
bool begins_dot(std::string_view s) { return !s.empty() && s[0] == '.'; }
bool begins_blank(std::string_view s) { return s.empty() || s[0] == ' ' || s[0] == '\0'; }

// An atom name as four exact characters (a shorter text padded with blanks).
bool atom_eq(std::string_view a, const rt::FixedText<4>& b) { return text_eq(a, b.view()); }

// The short class word of a residue type; "." for a type outside the vocabulary.
std::string_view class_word(int32_t itype) {
  if (itype < 1 || itype > cif_types.n_res_type || itype > MAXRESTYPE) return ".";
  return cif_types.res_ltype(itype).view();
}

// Used part of a residue name; sugars (pyranose types) match on their first
// three characters.
std::string_view stem(std::string_view mon, int32_t itype) {
  std::string_view m = used(mon);
  if ((itype == 7 || itype == 8) && m.size() > 3) m = m.substr(0, 3);
  return m;
}

// One end of a library link accepts a residue by its name, or by its class
// when the end names no monomer ("." class: any class).
bool end_accepts(std::string_view mon, std::string_view cls, const rt::FixedText<8>& lib_mon,
                 const rt::FixedText<8>& lib_type) {
  if (text_eq(mon, lib_mon.view())) return true;
  return is_dot(lib_mon.view()) && (text_eq(cls, lib_type.view()) || lib_type(1) == '.');
}

}  // namespace

void look_link_list_(std::string_view links, int32_t& ilink) {
  r_scratch_t& r = r_scratch;
  ilink = 0;
  if (used(links).empty() || r.lll_nlink == 0) return;
  dictionary::link_entries(links, [&](int32_t i) {
    ilink = i;
    return true;
  });
  if (ilink > 0 && !(r.lll_fuse(ilink) == "?" || r.lll_fuse(ilink) == "C")) r.lll_fuse(ilink) = "Y";
}

void look_link_(std::string_view links, std::string_view mon1, std::string_view atom1,
                std::string_view mon2, std::string_view atom2, int32_t itype1, int32_t itype2,
                int32_t& ilink, rt::FixedText<8>& mod1, rt::FixedText<8>& mod2, int32_t& irevers) {
  const r_scratch_t& r = r_scratch;
  ilink = 0;
  irevers = 0;
  mod1 = ".";
  mod2 = ".";
  const std::string_view m1 = stem(mon1, itype1), m2 = stem(mon2, itype2);
  const bool same_mon = text_eq(m1, m2);
  const bool named = !used(links).empty() && !is_dot(links);
  if (named) ilink = -1;
  const std::string_view type1 = class_word(itype1), type2 = class_word(itype2);

  // Returns true when link i decides the search (found, or a named link that
  // joins the residues through other atoms).
  auto try_link = [&](int32_t i) {
    int code = 0;
    if (end_accepts(m1, type1, r.lll_mon1(i), r.lll_type1(i)) &&
        end_accepts(m2, type2, r.lll_mon2(i), r.lll_type2(i))) {
      code = 1;
    } else if (end_accepts(m2, type2, r.lll_mon1(i), r.lll_type1(i)) &&
               end_accepts(m1, type1, r.lll_mon2(i), r.lll_type2(i))) {
      code = 2;
    } else {
      return false;
    }
    if (is_dot(r.lll_mon1(i).view()) && is_dot(r.lll_mon2(i).view())) code = 3;
    if (r.llb_nbond < 1 || r.lll_ibond(i) < 1) {
      if ((begins_dot(atom1) || begins_blank(atom1)) && (begins_dot(atom2) || begins_blank(atom2))) {
        ilink = i;
        return true;
      }
    } else {
      int hit = 0;  // 1 direct, 2 reverse
      dictionary::link_bonds(i, [&](int32_t k) {
        const bool direct = atom_eq(atom1, r.llb_1atm(k)) && atom_eq(atom2, r.llb_2atm(k));
        const bool swapped = atom_eq(atom2, r.llb_1atm(k)) && atom_eq(atom1, r.llb_2atm(k));
        // Within one orientation the swapped pair only fits two residues of
        // one monomer, whose ends cannot be told apart by name.
        if (code == 1) hit = direct ? 1 : (swapped && same_mon ? 2 : 0);
        if (code == 2) hit = swapped ? 2 : (direct && same_mon ? 1 : 0);
        if (code == 3) hit = direct ? 1 : (swapped ? 2 : 0);
        return hit != 0;
      });
      if (hit == 1) {
        mod1 = r.lll_mod1(i);
        mod2 = r.lll_mod2(i);
        irevers = 0;
        ilink = i;
        return true;
      }
      if (hit == 2) {
        mod1 = r.lll_mod2(i);
        mod2 = r.lll_mod1(i);
        irevers = 1;
        ilink = i;
        return true;
      }
    }
    if (named) {
      ilink = -1;
      return true;
    }
    return false;
  };

  if (named) {
    dictionary::link_entries(links, try_link);
  } else {
    for (int32_t i = 1; i <= r.lll_nlink; ++i)
      if (try_link(i)) return;
  }
}

void get_link_atom_(std::string_view links, rt::FixedText<4>& atom1, rt::FixedText<4>& atom2,
                    int32_t& ilink) {
  const r_scratch_t& r = r_scratch;
  ilink = 0;
  if (used(links).empty() || links[0] == '.' || links[0] == '?' || text_eq(links, "gap")) return;
  dictionary::link_entries(links, [&](int32_t i) {
    dictionary::link_bonds(i, [&](int32_t k) {
      ilink = i;
      atom1 = r.llb_1atm(k);
      atom2 = r.llb_2atm(k);
      return true;
    });
    return ilink > 0;
  });
}

void check_link_info_(std::string_view links, std::string_view mon1, std::string_view mon2,
                      std::string_view atom1, std::string_view atom2, float& dideal,
                      int32_t& ilink) {
  const r_scratch_t& r = r_scratch;
  ilink = 0;
  dideal = 0.0f;
  // The stems below would hide a name that does not fit its field.
  if (rt::len_trim(mon1) > 8 || rt::len_trim(mon2) > 8) return;
  int32_t itype1 = 1, itype2 = 1, ierr = 0;
  get_ini_res_type_(99, "", mon1, itype1, ierr);
  get_ini_res_type_(99, "", mon2, itype2, ierr);
  const std::string_view type1 = class_word(itype1), type2 = class_word(itype2);
  const rt::FixedText<3> mn1(mon1.substr(0, std::min<std::size_t>(3, mon1.size())));
  const rt::FixedText<3> mn2(mon2.substr(0, std::min<std::size_t>(3, mon2.size())));
  auto stem_is = [](const rt::FixedText<3>& mn, const rt::FixedText<8>& lib) {
    return text_eq(lib.view(), mn.view());
  };
  auto class_fits = [](std::string_view cls, const rt::FixedText<8>& lib) {
    return lib(1) == '.' || text_eq(cls, lib.view());
  };

  auto try_link = [&](int32_t i) {
    if (text_eq(r.lll_lname(i).view(), "gap")) return false;
    const rt::FixedText<8>&lm1 = r.lll_mon1(i), &lm2 = r.lll_mon2(i);
    const rt::FixedText<8>&lt1 = r.lll_type1(i), &lt2 = r.lll_type2(i);
    const bool any1 = is_dot(lm1.view()), any2 = is_dot(lm2.view());
    bool direct = false, reverse = false;
    if (!any1 && !any2) {
      direct = stem_is(mn1, lm1) && stem_is(mn2, lm2);
      reverse = stem_is(mn2, lm1) && stem_is(mn1, lm2);
    } else if (any1 && !any2) {
      if (is_dot(lt1.view())) {
        direct = stem_is(mn2, lm2);
        reverse = stem_is(mn1, lm2);
      } else {
        direct = text_eq(type1, lt1.view()) && stem_is(mn2, lm2);
        reverse = text_eq(type2, lt1.view()) && stem_is(mn1, lm2);
      }
    } else if (!any1 && any2) {
      if (is_dot(lt2.view())) {
        direct = stem_is(mn1, lm1);
        reverse = stem_is(mn2, lm1);
      } else {
        direct = text_eq(type2, lt2.view()) && stem_is(mn1, lm1);
        reverse = text_eq(type1, lt2.view()) && stem_is(mn2, lm1);
      }
    } else {
      direct = class_fits(type1, lt1) && class_fits(type2, lt2);
      reverse = class_fits(type2, lt1) && class_fits(type1, lt2);
      if (is_dot(lt1.view()) && is_dot(lt2.view())) reverse = false;
    }
    const int code = reverse ? 2 : (direct ? 1 : 0);
    if (code == 0) return false;
    dictionary::link_bonds(i, [&](int32_t k) {
      const bool fits = code == 1
                            ? atom_eq(atom1, r.llb_1atm(k)) && atom_eq(atom2, r.llb_2atm(k))
                            : atom_eq(atom1, r.llb_2atm(k)) && atom_eq(atom2, r.llb_1atm(k));
      if (fits) {
        ilink = i;
        dideal = r.llb_val(k);
      }
      return fits;
    });
    return ilink > 0;
  };

  if (!used(links).empty() && links[0] != '.') {
    dictionary::link_entries(links, try_link);
  } else {
    for (int32_t i = 1; i <= r.lll_nlink; ++i)
      if (try_link(i)) return;
  }
}

namespace dictionary {

float polymer_bond_limit(std::string_view up, std::string_view down) {
  up = rt::trim_right(up);
  down = rt::trim_right(down);
  std::string_view link;
  float ideal = 0.0f;
  if (up == "C" && down == "N") {
    link = "TRANS";
    ideal = 1.329f;
  } else if ((up == "O3'" || up == "O3*") && down == "P") {
    link = "p";
    ideal = 1.607f;
  } else {
    return 0.0f;
  }
  const r_scratch_t& r = r_scratch;
  // Looked up without marking the link used.
  int32_t il = 0;
  for (int32_t i = 1; i <= r.lll_nlink && il == 0; ++i)
    if (r.lll_lname(i) == link) il = i;
  if (il > 0) {
    for (int32_t k = std::max(r.lll_ibond(il), 1); r.lll_ibond(il) > 0 && k <= r.llb_nbond; ++k) {
      if (!(r.llb_lname(k) == link)) continue;
      if (r.llb_val(k) > 0.0f) ideal = r.llb_val(k);
      break;
    }
  }
  return kPolymerBreakFactor * ideal;
}

}  // namespace dictionary
