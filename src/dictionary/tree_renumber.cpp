// Tree renumbering and validation after an edit of L1.  Names resolve to the
// lowest index among equal names, through an index of the atom list.
#include "dictionary/tree_renumber.h"

#include <string>

#include "dictionary/lib_com.h"
#include "dictionary/tree_numbering.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"

namespace {

using Name = rt::FixedText<4>;

class Warner {
 public:
  Warner(int32_t mdoc, std::string_view mon, std::string_view pnum, int32_t& ierr)
      : mdoc_(mdoc), ierr_(ierr) {
    prefix_ = " WARNING : ";
    prefix_.append(rt::FixedText<8>(mon).view());
    const rt::FixedText<12> p(pnum);
    if (p(1) != ' ') {
      prefix_ += ' ';
      prefix_.append(p.view());
    }
  }
  void operator()(std::string_view a, std::string_view b = {}, std::string_view c = {},
                  std::string_view d = {}) {
    line_ = prefix_;
    line_.append(a).append(b).append(c).append(d);
    msgdoc_(mdoc_, line_);
    ierr_ = 1;
  }

 private:
  int32_t mdoc_;
  int32_t& ierr_;
  std::string prefix_;
  std::string line_;
};

}  // namespace

void set_num_mod_(int32_t mdoc, std::string_view mon, std::string_view pnum, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  ierr = 0;
  Warner warn(mdoc, mon, pnum, ierr);
  const int n = r.l1a_natom;
  for (int i = 1; i <= n; ++i) {
    r.l1a_iold(i) = r.l1a_inew(i) = i;
    r.l1a_length(i) = -1.0f;
    r.l1a_theta(i) = -1.0f;
    r.l1a_phi(i) = 0.0f;
    r.l1a_id_psi(i) = "?";
  }
  int nfirst = 0, nlast = 0;
  r.l1a_istart = r.l1a_ifinish = 0;

  // Atoms by name, in index order: the first is the one a name resolves to,
  // and the later ones of each atom's name give the duplicated pairs in the
  // order of a pairwise scan.
  static foundation::LookupIndex<4, MAX1ATM> by_name;
  by_name.clear();
  for (int i = 1; i <= n; ++i) by_name.add(r.l1a_aname(i).view(), i);
  for (int i = 1; i < n; ++i) {
    by_name.for_each(r.l1a_aname(i).view(), [&](int32_t j) {
      if (j > i) warn(" : duplicated atom_name : ", r.l1a_aname(i).view());
    });
  }

  for (int i = 1; i <= n; ++i) {
    const dictionary::TreeLinkFaults faults = dictionary::link_tree_atom(i, by_name, nfirst, nlast);
    if (faults.back_absent) warn(" : back_atom for ", r.l1a_aname(i).view(), " is absent");
    if (faults.wrong_forward)
      warn(" : atom ", r.l1a_aname(i).view(), " has wrong forward_atom ", r.l1a_forw(i).view());
    if (faults.forward_absent) warn(" : forward_atom for ", r.l1a_aname(i).view(), " is absent");
    r.l1a_ndist(i) = 0;
    r.l1a_nextr(i) = 0;
  }

  if (nfirst == 0) warn(" : first atom of the tree is absent");
  if (nfirst > 1) warn(" : wrong definition of first atom of the tree");
  if (nlast == 0 || nlast > 1) {
    warn(nlast == 0 ? " : last atom of the tree is absent"
                    : " : multiple definition of last atom of the tree");
    return;
  }
  if (ierr != 0) return;

  for (int i = 1; i <= n; ++i) r.l1a_ndist(i) = 0;
  // The walk ends at the first atom; a back index of 0 (a detached hydrogen
  // on the main chain) or a cycle would keep it from getting there.
  int i = r.l1a_ifinish;
  for (int steps = 0;; ++steps) {
    const int32_t j = r.l1a_iback(i);
    if (j < 0) break;
    if (j == 0 || steps >= n) {
      warn(" : main chain of the tree does not reach its first atom");
      return;
    }
    r.l1a_forw(j) = r.l1a_aname(i);
    r.l1a_iforw(j) = i;
    r.l1a_ndist(j) += 1;
    i = j;
  }
}
