// A real entry without hydrogens taken through the generator's steps for
// each residue: gathering, atom check with every hydrogen of the monomer
// kept, internal-coordinate tree, start torsions and the rebuild.  Every
// hydrogen must come out at its library bond length and angle.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "model_fixture.h"
#include "restraints/end_torsions.h"
#include "restraints/rebuild_tree.h"
#include "restraints/residue_tree.h"
#include "dictionary/work_copies.h"
#include "restraints/work_slot.h"

namespace {

float bond_of(const r_scratch_t& r, std::string_view a, std::string_view b) {
  for (int k = 1; k <= r.l2b_nbond; ++k)
    if ((r.l2b_1atm(k) == a && r.l2b_2atm(k) == b) || (r.l2b_1atm(k) == b && r.l2b_2atm(k) == a))
      return r.l2b_val(k);
  return 0.0f;
}
float angle_of(const r_scratch_t& r, std::string_view a, std::string_view b, std::string_view c) {
  for (int k = 1; k <= r.l2g_nangl; ++k)
    if (r.l2g_2atm(k) == b &&
        ((r.l2g_1atm(k) == a && r.l2g_3atm(k) == c) || (r.l2g_1atm(k) == c && r.l2g_3atm(k) == a)))
      return r.l2g_val(k);
  return 0.0f;
}
double length(const float* a, const float* b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}
double angle(const float* a, const float* b, const float* c) {
  double u[3], w[3];
  for (int k = 0; k < 3; ++k) u[k] = a[k] - b[k], w[k] = c[k] - b[k];
  const double d = u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
  const double nu = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]), nw = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
  return std::acos(std::max(-1.0, std::min(1.0, d / (nu * nw)))) * 180.0 / M_PI;
}

TEST(HydrogenRebuild, EveryResidueOfAnEntryWithoutHydrogensGetsThemAtLibraryGeometry) {
  rtest::load_library();
  rtest::read_entry("1A8O.pdb");
  const rt::FixedText<1> policy = crdinf.cr_hflag;
  crdinf.cr_hflag = "A";
  const r_scratch_t& r = r_scratch;
  const restraints::WorkSlot& s2 = restraints::slot2();
  int residues = 0, hydrogens = 0;
  for (int32_t ir = 1; ir <= resid_inf.n_residue; ++ir) {
    if (resid_inf.res_name(ir) == "HOH" || resid_inf.natm_res(ir) < 4) continue;
    bool known = false;  // the test library lacks some of the entry's monomers
    for (int l = 1; l <= r.lml_nmon && !known; ++l) known = r.lml_mname(l) == resid_inf.res_name(ir).view();
    if (!known) continue;
    std::string out;
    rtest::Counts n;
    if (rtest::prepare(ir, out, n, 'N') != 0) continue;
    int32_t ierr = 0, na = 0;
    captured([&] {
      def_dist_th_ph_(99, ' ', 'S', ierr);
      copyl2_(99, ierr);
      copyc2_(99, ierr);
      calc_l_th_phi_(99, 'M', 'S', ir, ir, ir, ierr);
      rebuild_(99, ' ', 'M', 'S', ir, ir, ir, 'A', 'N', na, ierr);
    });
    ASSERT_EQ(ierr, 0) << resid_inf.res_name(ir).view();
    ++residues;
    for (int32_t p = 1; p <= s2.igatm; ++p) {
      const int32_t h = s2.inew(p);
      if (s2.asymb(h)(1) != 'H' || s2.ialt(h) != 0) continue;
      const std::string where = std::string(resid_inf.res_name(ir).trimmed()) + " " +
                                std::string(resid_inf.res_num_pdb(ir).view()) + " " + std::string(s2.aname(h).view());
      ASSERT_EQ(s2.atype(h), "R") << where;
      ++hydrogens;
      const int32_t b = s2.iback(h);
      ASSERT_GT(b, 0) << where;
      EXPECT_NEAR(length(s2.xyz.column(h), s2.xyz.column(b)), bond_of(r, s2.aname(h).view(), s2.aname(b).view()),
                  0.01)
          << where;
      // The angle to the atom the parent hangs on, or at the tree start to
      // the start's last child.
      const int32_t ref = s2.iback(b) > 0 ? s2.iback(b) : s2.conn(s2.ndist(b), b);
      const float ideal = angle_of(r, s2.aname(ref).view(), s2.aname(b).view(), s2.aname(h).view());
      if (ideal > 0.0f) {
        EXPECT_NEAR(angle(s2.xyz.column(ref), s2.xyz.column(b), s2.xyz.column(h)), ideal, 1.0) << where;
      }
      for (int k = 1; k <= 3; ++k) EXPECT_TRUE(std::isfinite(s2.xyz(k, h))) << where;
    }
  }
  crdinf.cr_hflag = policy;
  EXPECT_GT(residues, 50);
  EXPECT_GT(hydrogens, 400);
}

}  // namespace
