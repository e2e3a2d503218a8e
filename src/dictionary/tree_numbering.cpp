// Tree numbering.  Names resolve to the first atom of that name, energy types
// to the first type of that name, through look-up indexes built per call;
// every check runs even after one failed, so a single call reports every
// fault of the description.
#include "dictionary/tree_numbering.h"

#include <string>

#include "dictionary/connect_table.h"
#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"

namespace {

using Name = rt::FixedText<4>;

using dictionary::is_hydrogen;

class Reporter {
 public:
  Reporter(int32_t mdoc, std::string_view mon, std::string_view pnum)
      : mdoc_(mdoc), mon_(mon), pnum_(pnum) {}
  void warn(std::string_view text) {
    msgerr_(mdoc_, dictionary::tree_warning(mon_, pnum_, text));
    failed = true;
  }
  void note(std::string_view text) { msgerr_(mdoc_, dictionary::tree_warning(mon_, pnum_, text)); }
  void plain(std::string_view line) { msgerr_(mdoc_, line); }
  void full(std::string_view head, int limit, std::string_view constant) {
    foundation::table_full(mdoc_, dictionary::tree_warning(mon_, pnum_, head), limit, "",
                           {.constant = constant, .header = "lib_com", .indent = 10});
    failed = true;
  }
  bool failed = false;

 private:
  int32_t mdoc_;
  std::string_view mon_, pnum_;
};

std::string str(const Name& n) { return std::string(n.view()); }

// Energy type of atom i: its own type, through a synonym, else its element
// (directly or through a synonym), else type 1.
void chemical_type(int i, Reporter& rep, const foundation::LookupIndex<4, MAXETYP>& types,
                   const foundation::LookupIndex<4, MAXSTYP>& synonyms) {
  r_scratch_t& r = r_scratch;
  // Via synonym: the first synonym of `name` whose target type exists.
  auto via_synonym = [&](const Name& name, int32_t& type, Name& target) {
    bool found = false;
    synonyms.for_each(name.view(), [&](int32_t s) {
      if (found) return;
      if (const int32_t k = types.first(r.les_atyp(s).view())) {
        type = k;
        target = r.les_atyp(s);
        found = true;
      }
    });
    return found;
  };
  if (const int32_t k = types.first(r.l1a_chem(i).view())) {
    r.l1a_ichem(i) = k;
    return;
  }
  int32_t k = 0;
  Name target;
  if (via_synonym(r.l1a_chem(i), k, target)) {
    r.l1a_ichem(i) = k;
    r.l1a_chem(i) = target;
    return;
  }
  if (!is_hydrogen(r.l1a_symb(i))) {
    rep.note(" : unknown chemical type of atom " + str(r.l1a_aname(i)) + " - " +
             str(r.l1a_chem(i)));
    rep.plain(std::string(17, ' ') + "default type is - \"" + str(r.l1a_symb(i)) + "\"");
  }
  if (const int32_t e = types.first(r.l1a_symb(i).view())) {
    r.l1a_ichem(i) = e;
    return;
  }
  if (via_synonym(r.l1a_symb(i), k, target)) {
    r.l1a_ichem(i) = k;
    r.l1a_chem(i) = target;
    return;
  }
  r.l1a_ichem(i) = 1;
}

}  // namespace

namespace dictionary {

TreeLinkFaults link_tree_atom(int i, const foundation::LookupIndex<4, MAX1ATM>& by_name,
                              int& nfirst, int& nlast) {
  r_scratch_t& r = r_scratch;
  TreeLinkFaults faults;
  if (r.l1a_back(i)(1) == '.') {
    r.l1a_iback(i) = -1;
    r.l1a_istart = i;
    ++nfirst;
  } else if (const int32_t j = by_name.first(r.l1a_back(i).view())) {
    r.l1a_iback(i) = j;
  } else {
    r.l1a_iback(i) = 0;
    if (is_hydrogen(r.l1a_symb(i))) {
      r.l1a_back(i) = ".";
      r.l1a_forw(i) = ".";
    } else {
      faults.back_absent = true;
    }
  }

  if (r.l1a_forw(i).len_trim() == 0) r.l1a_forw(i) = ".";
  if (r.l1a_forw(i).view().substr(0, 3) == "END") {
    r.l1a_iforw(i) = -1;
    r.l1a_ifinish = i;
    ++nlast;
  } else if (r.l1a_forw(i)(1) == '.') {
    r.l1a_iforw(i) = 0;
  } else if (const int32_t j = by_name.first(r.l1a_forw(i).view())) {
    r.l1a_iforw(i) = j;
    faults.wrong_forward = !(r.l1a_back(j) == r.l1a_aname(i));
  } else {
    r.l1a_iforw(i) = 0;
    faults.forward_absent = true;
  }
  return faults;
}

}  // namespace dictionary

void set_num_(int32_t mdoc, std::string_view mon, std::string_view pnum, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  Reporter rep(mdoc, mon, pnum);
  const int n = r.l1a_natom;
  for (int i = 1; i <= n; ++i) {
    r.l1a_inew(i) = r.l1a_iold(i) = i;
    r.l1a_length(i) = r.l1a_theta(i) = -1.0f;
    r.l1a_phi(i) = 0.0f;
    r.l1a_id_psi(i) = "?";
  }

  static foundation::LookupIndex<4, MAX1ATM> by_name;
  by_name.clear();
  for (int i = 1; i <= n; ++i) by_name.add(r.l1a_aname(i).view(), i);
  for (int i = 1; i < n; ++i) {
    by_name.for_each(r.l1a_aname(i).view(), [&](int32_t j) {
      if (j > i) rep.warn(" : duplicated atom_name: " + str(r.l1a_aname(i)));
    });
  }

  static foundation::LookupIndex<4, MAXETYP> types;
  static foundation::LookupIndex<4, MAXSTYP> synonyms;
  types.clear();
  synonyms.clear();
  for (int t = 1; t <= r.lea_natom; ++t) types.add(r.lea_aname(t).view(), t);
  for (int s = 1; s <= r.les_nsyn; ++s) synonyms.add(r.les_styp(s).view(), s);

  int nfirst = 0, nlast = 0;
  for (int i = 1; i <= n; ++i) {
    const dictionary::TreeLinkFaults faults = dictionary::link_tree_atom(i, by_name, nfirst, nlast);
    if (faults.back_absent) rep.warn(" : back_atom for " + str(r.l1a_aname(i)) + " is absent");
    if (faults.wrong_forward)
      rep.warn(" : atom " + str(r.l1a_aname(i)) + " has wrong forward_atom");
    if (faults.forward_absent)
      rep.warn(" : forward_atom for " + str(r.l1a_aname(i)) + " is absent");
    r.l1a_ndist(i) = 0;
    r.l1a_nextr(i) = 0;
    chemical_type(i, rep, types, synonyms);
  }

  if (nfirst == 0) rep.warn(" : first atom of the tree is absent");
  if (nfirst > 1) rep.warn(" : wrong definition of first atom of the tree");
  if (nlast == 0) rep.warn(" : last atom of the tree is absent");
  if (nlast > 1) rep.warn(" : multiple definition of last atom of the tree");

  if (nlast == 1 && !rep.failed) {
    // A loop of back atoms through the last atom would never reach the
    // first atom: the walk takes at most one step per atom.
    int k = r.l1a_ifinish, steps = 0;
    for (int b = r.l1a_iback(k); b >= 1; b = r.l1a_iback(b)) {
      if (++steps > n) {
        rep.warn(" : main chain of the tree does not reach its first atom");
        break;
      }
      r.l1a_forw(b) = r.l1a_aname(k);
      r.l1a_iforw(b) = k;
      k = b;
    }
  }

  // Children lists in index order, by one pass over the atoms.
  for (int j = 1; j <= n; ++j) {
    const int i = r.l1a_iback(j);
    if (i < 1) continue;
    if (r.l1a_ndist(i) >= MAX1BRN) {
      rep.full(" : number of tree branches of atom " + str(r.l1a_aname(i)) + " >", MAX1BRN,
               "MAX1BRN");
      continue;
    }
    const int k = ++r.l1a_ndist(i);
    r.l1a_conn(k, i) = j;
    r.l1a_lencon(k, i) = 0;
  }

  for (int c = 1; c <= r.l1n_nconn; ++c) {
    const int32_t i1 = by_name.first(r.l1n_1atm(c).view());
    const int32_t i2 = by_name.first(r.l1n_2atm(c).view());
    r.l1n_i1atm(c) = i1;
    r.l1n_i2atm(c) = i2;
    if (i1 == 0) rep.note(" : unknown extra_atom_name - " + str(r.l1n_1atm(c)));
    if (i2 == 0) rep.note(" : unknown extra_atom_name - " + str(r.l1n_2atm(c)));
    if (i1 < 1 || i2 < 1) continue;
    if (r.l1a_nextr(i1) >= MAX1EXT || r.l1a_nextr(i2) >= MAX1EXT) {
      const int a = r.l1a_nextr(i1) >= MAX1EXT ? i1 : i2;
      rep.full(" : number of extra connections of atom " + str(r.l1a_aname(a)) + " >", MAX1EXT,
               "MAX1EXT");
      continue;
    }
    const int k1 = ++r.l1a_nextr(i1);
    const int k2 = ++r.l1a_nextr(i2);
    r.l1a_iextr(k1, i1) = i2;
    r.l1a_iextr(k2, i2) = i1;
    if (r.l1n_type(c) == "DUMMY") {
      r.l1a_textr(k1, i1) = 1;
      r.l1a_textr(k2, i2) = 1;
    }
  }

  int32_t iconn = 0;
  if (!rep.failed) connect_(mdoc, mon, pnum, iconn);
  ierr = (rep.failed || iconn != 0) ? 1 : 0;
}
