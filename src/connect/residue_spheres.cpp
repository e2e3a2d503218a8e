// Residue spheres.  The sphere of a residue is centred on the middle of the
// box of its counted atoms (not hydrogen, occupancy above zero, not a
// dummy or unknown atom); its radius reaches the farthest counted atom.
#include "connect/residue_spheres.h"

#include <cmath>

resid_inf_2_t resid_inf_2;

namespace {

bool counted(int ia) {
  if (atom_crd.occup(ia) <= 0.0f) return false;
  const int sf = atom_inf.id_sf(ia);
  if (sf >= 1 && sf <= MAXNSF) {
    const auto& t = crst_crd.cs_atype(sf);
    if ((t(1) == 'H' || t(1) == 'D') && t(2) == ' ') return false;
  }
  const char a = atom_inf.atm_type(ia)(1);
  return a != 'N' && a != 'D' && a != 'M' && a != 'U';
}

void sphere_of(int ir) {
  auto& s = resid_inf_2;
  const int first = resid_inf.iratm_first(ir);
  const int n = resid_inf.natm_res(ir);
  if (n <= 1) {
    // A residue of one atom takes that atom as it is, whatever its occupancy.
    for (int k = 1; k <= 3; ++k) s.center_res(k, ir) = first >= 1 ? atom_crd.xyz_crd(k, first) : 0.0f;
    s.radius_res(ir) = 0.0f;
    return;
  }
  float lo[3] = {1.0e30f, 1.0e30f, 1.0e30f};
  float hi[3] = {-1.0e30f, -1.0e30f, -1.0e30f};
  bool any = false;
  for (int ia = first; ia < first + n; ++ia) {
    if (!counted(ia)) continue;
    any = true;
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::fmin(lo[k], atom_crd.xyz_crd(k + 1, ia));
      hi[k] = std::fmax(hi[k], atom_crd.xyz_crd(k + 1, ia));
    }
  }
  for (int k = 0; k < 3; ++k) s.center_res(k + 1, ir) = any ? (lo[k] + hi[k]) * 0.5f : 0.0f;
  float r = any ? 0.0f : -1.0f;
  for (int ia = first; any && ia < first + n; ++ia) {
    if (!counted(ia)) continue;
    float d2 = 0.0f;
    for (int k = 1; k <= 3; ++k) {
      const float d = atom_crd.xyz_crd(k, ia) - s.center_res(k, ir);
      d2 += d * d;
    }
    r = std::fmax(r, std::sqrt(d2));
  }
  s.radius_res(ir) = r;
}

}  // namespace

void def_center_(int32_t /*mdoc*/, int32_t& ierr) {
  if (atom_inf.n_atom <= 0 || asym_part.n_group <= 0) {
    ierr = 1;
    return;
  }
  for (int ig = 1; ig <= asym_part.n_group; ++ig) {
    const int fa = asym_part.iatom_first(ig);
    if (fa < 1 || fa > atom_inf.n_atom) continue;
    const int ich = resid_inf.i_chain(atom_inf.i_resid(fa));
    if (ich < 1 || ich > asym_part.n_group) continue;
    const int ir0 = asym_part.ires_first(ich);
    for (int ir = ir0; ir < ir0 + asym_part.nres_chain(ich); ++ir) {
      sphere_of(ir);
      // The coordinate readers keep no explicit atom pairs (connection
      // records are skipped), so no sphere is ever barred.
      resid_inf_2.iflag_res(ir) = 0;
    }
  }
}

void check_centr_(int32_t ir1, int32_t ir2, float dlim, int32_t& iout) {
  const auto& s = resid_inf_2;
  if (s.iflag_res(ir1) < 0 || s.iflag_res(ir2) < 0) {
    iout = -1;
    return;
  }
  const float r1 = s.radius_res(ir1), r2 = s.radius_res(ir2);
  if (r1 < 0.0f || r2 < 0.0f) {
    iout = 3;
    return;
  }
  if (r1 <= 0.0f || r2 <= 0.0f) {
    iout = 2;
    return;
  }
  float d2 = 0.0f;
  for (int k = 1; k <= 3; ++k) {
    const float d = s.center_res(k, ir1) - s.center_res(k, ir2);
    d2 += d * d;
  }
  const float lim = r1 + r2 + dlim + 0.00001f;
  iout = d2 <= lim * lim ? 1 : 0;
}
