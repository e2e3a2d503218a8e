// A small model for the entity tests: chains of residues with author numbers,
// one atom per residue, and links between residues.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "runtime/units.h"
#include "support/capture.h"

namespace entity_test {

// Author number text of residue number n: "%4d" and a blank insertion code.
inline std::string auth(int n) {
  char b[16];
  std::snprintf(b, sizeof b, "%4d ", n);
  return b;
}

using Ints = std::vector<int>;
using Strs = std::vector<std::string>;
using Views = std::vector<std::string_view>;

// The values of expr for i = from .. to, one per position.
template <typename F>
auto column(int from, int to, F f) {
  std::vector<std::decay_t<decltype(f(from))>> v;
  for (int i = from; i <= to; ++i) v.push_back(f(i));
  return v;
}
#define COLUMN(from, to, expr) entity_test::column(from, to, [&](int i) { return expr; })

class Model : public testing::Test {
 protected:
  void SetUp() override {
    set_cif_types_();
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    comlib.iquiet = 0;
  }

  // A chain of residues named `names`, numbered from first_num (or by nums);
  // a linear tree (connection code 1 at the start, 2 after), one atom "CA"
  // per residue.
  int chain(const char* gid, int32_t ich_type, std::vector<const char*> names, int first_num = 1,
            int32_t s_term = 1, int32_t f_term = 1, std::vector<int> nums = {}) {
    for (std::size_t k = nums.size(); k < names.size(); ++k) nums.push_back(first_num + static_cast<int>(k));
    const int g = ++asym_part.n_group;
    asym_part.group_id(g) = gid;
    asym_part.ich_type(g) = ich_type;
    asym_part.ires_first(g) = resid_inf.n_residue + 1;
    asym_part.nres_chain(g) = static_cast<int32_t>(names.size());
    asym_part.iatom_first(g) = atom_inf.n_atom + 1;
    asym_part.iterm_s_type(g) = s_term;
    asym_part.iterm_f_type(g) = f_term;
    asym_part.igroup_asm(g) = 0;
    for (std::size_t k = 0; k < names.size(); ++k) {
      const int r = ++resid_inf.n_residue;
      resid_inf.res_name(r) = names[k];
      rt::FixedText<12> key;
      key.blank();
      key.sub(3, 7).assign(auth(nums[k]));
      resid_inf.res_num_pdb(r) = key;
      resid_inf.ires_serial(r) = static_cast<int32_t>(k) + 1;
      resid_inf.ires_type(r) = 3;
      resid_inf.ires_back(r) = k == 0 ? -1 : r - 1;
      resid_inf.ires_forw(r) = k + 1 == names.size() ? 0 : r + 1;
      resid_inf.iconn_type(r) = k == 0 ? 1 : 2;
      resid_inf.i_chain(r) = g;
      resid_inf.iratm_first(r) = atom_inf.n_atom + 1;
      resid_inf.natm_res(r) = 1;
      const int a = ++atom_inf.n_atom;
      atom_inf.i_resid(a) = r;
      atom_inf.atm_name(a) = "CA";
      atom_inf.atm_type(a) = ".";
    }
    asym_part.ires_start_tree(g) = asym_part.ires_first(g);
    asym_part.ires_end_tree(g) = resid_inf.n_residue;
    return g;
  }

  // A link of chain g from residue r1 to r2 (global residue indexes).
  int link(const char* id, int g, int r1, int r2, const char* used = ".", const char* symm2 = ".") {
    const int l = ++link_inf.ln_n;
    link_inf.ln_id(l) = id;
    link_inf.ln_1ichn(l) = link_inf.ln_2ichn(l) = g;
    link_inf.ln_1ires(l) = r1;
    link_inf.ln_2ires(l) = r2;
    link_inf.ln_symm1(l) = "1_555";
    link_inf.ln_symm2(l) = symm2;
    link_inf.ln_used(l) = used;
    link_inf.ln_ent(l) = "x";
    link_inf.ln_atom1(l) = "C";
    link_inf.ln_atom2(l) = "N";
    link_inf.ln_alt1(l) = "A";
    link_inf.ln_alt2(l) = "B";
    link_inf.ln_dist(l) = 1.5f;
    return l;
  }

  static std::string ent(int l) { return std::string(link_inf.ln_ent(l).view()); }
  static std::string used(int l) { return std::string(link_inf.ln_used(l).view()); }
};

}  // namespace entity_test
