// Sugar networks and residue serials.  A glycan is a branched tree of
// residues (each sugar names its back neighbour); the chain walkers of the
// later stages follow ires_forw from the tree start to the tree end, so the
// branches are strung together: each further end is joined on after the end
// reached so far, at the top of its own branch.
#include "connect/sugar_net.h"

#include <algorithm>
#include <vector>

#include "connect/link_rows.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"

namespace {

connect::LinkRows g_rows;

bool model_empty(int32_t mdoc, std::string_view routine, int32_t& ierr) {
  if (asym_part.n_group > 0 && atom_inf.n_atom > 0) return false;
  msgerr_(mdoc, std::string("ERROR: in \"").append(routine).append("\", N_GROUP or N_ATOM = 0"));
  ierr = 1;
  return true;
}

void plain_sequence(int ich, int irs, int irf) {
  auto& r = resid_inf;
  asym_part.ires_start_tree(ich) = irs;
  asym_part.ires_end_tree(ich) = irf;
  for (int ir = irs; ir <= irf; ++ir) {
    r.ires_back(ir) = ir - 1;
    r.ires_forw(ir) = ir + 1;
  }
  r.ires_back(irs) = -1;
  r.ires_forw(irf) = 0;
}

bool in_range(int ir) { return ir >= 1 && ir <= resid_inf.n_residue; }

// Orders the tree of one polysaccharide chain (residues irs..irf).
void order_tree(int ich, int irs, int irf) {
  auto& r = resid_inf;
  if (irs == irf) {
    asym_part.ires_start_tree(ich) = irs;
    asym_part.ires_end_tree(ich) = irs;
    r.ires_back(irs) = -1;
    r.ires_forw(irs) = 0;
    return;
  }
  int roots = 0;
  for (int ir = irs; ir <= irf; ++ir)
    if (r.ires_back(ir) < 1) {
      ++roots;
      asym_part.ires_start_tree(ich) = ir;
    }
  if (roots >= 2) return plain_sequence(ich, irs, irf);
  if (roots == 0) {
    // A cycle: opened at its first residue.
    const int old_back = r.ires_back(irs);
    if (in_range(old_back)) r.ires_forw(old_back) = 0;
    r.ires_back(irs) = -1;
    asym_part.ires_start_tree(ich) = irs;
  }
  const int start = asym_part.ires_start_tree(ich);
  int ends = 0;
  for (int ir = irs; ir <= irf; ++ir)
    if (r.ires_forw(ir) < 1) ++ends;
  if (ends == 0 || r.ires_forw(start) < 1) return plain_sequence(ich, irs, irf);

  const int steps = irf - irs + 1;
  int end = start;
  for (int s = 0; s < steps && in_range(r.ires_forw(end)); ++s) end = r.ires_forw(end);
  if (ends > 1) {
    for (int k = irs; k <= irf; ++k) {
      if (r.ires_forw(k) >= 1 || k == end) continue;
      int top = k;
      for (int s = 0; s < steps; ++s) {
        const int b = r.ires_back(top);
        if (!in_range(b) || r.ires_forw(b) != top) break;
        top = b;
      }
      r.ires_forw(end) = top;
      end = k;
    }
  }
  asym_part.ires_end_tree(ich) = end;
}

void connection_types(int irs, int irf) {
  auto& r = resid_inf;
  for (int ir = irs; ir <= irf; ++ir) {
    r.iconn_type(ir) = 1;
    const int back = r.ires_back(ir);
    if (back < 1) continue;
    int found = 0;
    g_rows.either(ir, [&](int k) {
      if (found != 0 || link_inf.ln_used(k) == "S") return;
      const int a = link_inf.ln_1ires(k), b = link_inf.ln_2ires(k);
      if ((a == ir && b == back) || (a == back && b == ir)) found = k;
    });
    if (found != 0) set_iconn_(link_inf.ln_id(found), r.iconn_type(ir));
  }
}

}  // namespace

void sugar_net_(int32_t mdoc, int32_t& ierr) {
  ierr = 0;
  if (model_empty(mdoc, "SUGAR_NET", ierr)) return;
  g_rows.build(link_inf.ln_n);
  for (int ich = 1; ich <= asym_part.n_group; ++ich) {
    if (asym_part.ich_type(ich) != 7) continue;
    const int irs = asym_part.ires_first(ich);
    const int irf = irs + asym_part.nres_chain(ich) - 1;
    if (!in_range(irs) || !in_range(irf) || irf < irs) continue;
    order_tree(ich, irs, irf);
    connection_types(irs, irf);
  }
}

void check_residue_num_(int32_t mdoc, int32_t& ierr) {
  ierr = 0;
  if (model_empty(mdoc, "CHECK_RESIDUE_NUM", ierr)) return;
  std::vector<int32_t> serials;
  for (int ich = 1; ich <= asym_part.n_group; ++ich) {
    const int n = asym_part.nres_chain(ich);
    const int first = asym_part.ires_first(ich);
    if (n <= 1 || !in_range(first) || !in_range(first + n - 1)) continue;
    serials.assign(&resid_inf.ires_serial(first), &resid_inf.ires_serial(first) + n);
    std::sort(serials.begin(), serials.end());
    if (std::adjacent_find(serials.begin(), serials.end()) == serials.end()) continue;
    const int s0 = resid_inf.ires_serial(first);
    for (int m = 0; m < n; ++m) resid_inf.ires_serial(first + m) = s0 + m;
    com_out_cif.out_cif_ins = 0;
  }
}
