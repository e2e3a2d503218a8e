// Cell-difference correction of the model's coordinates.
#include "coords/cell_diff.h"

#include "foundation/atom_com.h"
#include "numeric/vecmat_kit.h"

void make_correction_to_cell_diff_(const float* frac_to_ort_new, const float* ort_to_frac_old,
                                   int32_t& ierr) {
  ierr = 0;
  float m[9];
  bool error = false;
  mat2mat_(3, 3, frac_to_ort_new, ort_to_frac_old, m, error);
  m[0] -= 1.0f;
  m[4] -= 1.0f;
  m[8] -= 1.0f;

  const int n = atom_inf.n_atom;
  double sum[3] = {0, 0, 0};
  int used = 0;
  for (int a = 1; a <= n; ++a) {
    if (!(atom_crd.occup(a) > 0.0f)) continue;
    for (int i = 1; i <= 3; ++i) sum[i - 1] += atom_crd.xyz_crd(i, a);
    ++used;
  }
  if (used == 0) return;
  const float c[3] = {static_cast<float>(sum[0] / used), static_cast<float>(sum[1] / used),
                      static_cast<float>(sum[2] / used)};
  float t[3];
  mat2vec_(3, 3, m, c, t, error);
  for (int a = 1; a <= n; ++a)
    for (int i = 1; i <= 3; ++i) atom_crd.xyz_crd(i, a) += t[i - 1];
}
