// Leaving atoms of links the library does not describe.
#include "restraints/link_replaced.h"

#include <algorithm>
#include <string>
#include <vector>

#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "restraints/residue_links.h"

namespace restraints {

namespace {

using Name = rt::FixedText<4>;

// The model atom of residue ir named `name` that has a position; 0 none.
int32_t placed_atom(int32_t ir, const Name& name) {
  const int32_t first = resid_inf.iratm_first(ir), n = resid_inf.natm_res(ir);
  for (int32_t ia = first; ia >= 1 && ia < first + n; ++ia) {
    const char t = atom_inf.atm_type(ia)(1);
    if (t == 'M' || t == 'D' || t == 'U') continue;
    if (atom_inf.atm_name(ia) == name) return ia;
  }
  return 0;
}

int32_t l1_atom(const Name& name) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.l1a_natom; ++i)
    if (r.l1a_aname(i) == name) return i;
  return 0;
}

// The L1 atoms bonded to L1 atom a.
std::vector<int32_t> bonded(int32_t a) {
  const r_scratch_t& r = r_scratch;
  std::vector<int32_t> out;
  for (int32_t b = 1; b <= r.l1b_nbond; ++b) {
    const bool first = r.l1b_1atm(b) == r.l1a_aname(a);
    if (!first && !(r.l1b_2atm(b) == r.l1a_aname(a))) continue;
    if (const int32_t p = l1_atom(first ? r.l1b_2atm(b) : r.l1b_1atm(b))) out.push_back(p);
  }
  return out;
}

// A leaving atom: heavy, of the partner's element, absent from the model,
// and holding nothing but hydrogens that are absent too.
bool leaving(int32_t ir, int32_t parent, int32_t x, const Name& element) {
  const r_scratch_t& r = r_scratch;
  if (r.l1a_atype(x) == "D" || dictionary::is_hydrogen(r.l1a_symb(x)) ||
      !(r.l1a_symb(x) == element) || placed_atom(ir, r.l1a_aname(x)) != 0)
    return false;
  for (const int32_t h : bonded(x)) {
    if (h == parent) continue;
    if (!dictionary::is_hydrogen(r.l1a_symb(h)) || placed_atom(ir, r.l1a_aname(h)) != 0)
      return false;
  }
  return true;
}

// The hydroxyl oxygen of a carboxyl whose carbon an amide link bonds to a
// nitrogen: the condensation gives it up, though it is not of the partner's
// element.  Only where the carbon keeps its other oxygen in the model, so a
// carbonyl oxygen merely absent from the model is not taken for it.
bool carboxyl_hydroxyl(int32_t ir, int32_t parent, int32_t x, const Name& element) {
  const r_scratch_t& r = r_scratch;
  if (!(element == "N") || !(r.l1a_symb(parent) == "C") || !(r.l1a_symb(x) == "O") ||
      !leaving(ir, parent, x, r.l1a_symb(x)))
    return false;
  for (const int32_t o : bonded(parent)) {
    if (o == x || !(r.l1a_symb(o) == "O") || placed_atom(ir, r.l1a_aname(o)) == 0) continue;
    const std::vector<int32_t> held = bonded(o);
    if (std::none_of(held.begin(), held.end(), [&](int32_t h) {
          return h != parent && !dictionary::is_hydrogen(r.l1a_symb(h));
        }))
      return true;
  }
  return false;
}

bool bond_link(const rt::FixedText<8>& id) {
  return !(id.is_blank() || id(1) == '?' || id(1) == '.' || id == "gap");
}

// The side of link row k in residue ir of chain ig, 1 or 2; 0 none.
int side_in(int32_t k, int32_t ig, int32_t ir) {
  const link_inf_t& l = link_inf;
  if (l.ln_1ires(k) == ir && l.ln_1ichn(k) == ig) return 1;
  if (l.ln_2ires(k) == ir && l.ln_2ichn(k) == ig) return 2;
  return 0;
}

void say(int32_t mdoc, int32_t ir, int32_t x, const rt::FixedText<8>& link) {
  const rt::FixedText<12>& num = resid_inf.res_num_pdb(ir);
  std::string line(" ATTENTION: atom:");
  line.append(r_scratch.l1a_aname(x).view()).append(" ").append(resid_inf.res_name(ir).view());
  line.append(" ").append(num.sub(3, 7)).append(" ").append(num.sub(8, 11));
  line.append(" is replaced by link ").append(link.trimmed());
  msgdoc_(mdoc, line);
}

}  // namespace

void drop_free_end_phosphate(int32_t ig, int32_t ir) {
  const int32_t t = resid_inf.ires_type(ir);
  if (t != 5 && t != 6) return;
  r_scratch_t& r = r_scratch;
  const int32_t p = l1_atom(Name("P"));
  if (p == 0 || r.l1a_atype(p) == "D" || placed_atom(ir, Name("P")) != 0) return;
  const link_inf_t& l = link_inf;
  for (int32_t k = 1; k <= l.ln_n; ++k) {
    const int side = side_in(k, ig, ir);
    if (side == 0 || !bond_link(l.ln_id(k))) continue;
    if (Name((side == 1 ? l.ln_atom1(k) : l.ln_atom2(k)).view().substr(0, 4)) == Name("P")) return;
  }
  // Only the phosphate of the residue's own O5': a P with no neighbour in the
  // model is no free end's group, and the atoms stay as they are.
  std::vector<int32_t> gone;
  bool held = false;
  for (const int32_t x : bonded(p)) {
    if (placed_atom(ir, r.l1a_aname(x)) != 0) {
      held = true;
    } else if (leaving(ir, p, x, r.l1a_symb(x))) {
      gone.push_back(x);
    }
  }
  if (!held) return;
  gone.push_back(p);
  for (const int32_t x : gone) {
    for (const int32_t h : bonded(x))
      if (dictionary::is_hydrogen(r.l1a_symb(h)) && placed_atom(ir, r.l1a_aname(h)) == 0) r.l1a_atype(h) = "D";
    r.l1a_atype(x) = "D";
  }
}

void drop_link_replaced_atoms(int32_t mdoc, int32_t ig, int32_t ir, bool report) {
  const link_inf_t& l = link_inf;
  r_scratch_t& r = r_scratch;
  residue_links().either(ir, [&](int32_t k) {
    const int side = side_in(k, ig, ir);
    if (side == 0 || !bond_link(l.ln_id(k))) return;
    const Name own((side == 1 ? l.ln_atom1(k) : l.ln_atom2(k)).view().substr(0, 4));
    const Name other((side == 1 ? l.ln_atom2(k) : l.ln_atom1(k)).view().substr(0, 4));
    const int32_t ir2 = side == 1 ? l.ln_2ires(k) : l.ln_1ires(k);
    if (ir2 < 1 || ir2 > resid_inf.n_residue) return;
    const int32_t parent = l1_atom(own), partner = placed_atom(ir2, other);
    if (parent == 0 || partner == 0 || placed_atom(ir, own) == 0) return;
    const int32_t sf = atom_inf.id_sf(partner);
    const Name element = sf > 0 ? crst_crd.cs_element(sf) : Name("H");
    int32_t found = 0, count = 0;
    for (const int32_t x : bonded(parent))
      if (leaving(ir, parent, x, element) || carboxyl_hydroxyl(ir, parent, x, element)) {
        found = x;
        ++count;
      }
    // Two alike leaving atoms (the oxygens of a phosphate): which one the
    // link took is not known, and none is taken.
    if (count != 1) return;
    for (const int32_t h : bonded(found))
      if (h != parent) r.l1a_atype(h) = "D";
    r.l1a_atype(found) = "D";
    if (report) say(mdoc, ir, found, l.ln_id(k));
  });
}

}  // namespace restraints
