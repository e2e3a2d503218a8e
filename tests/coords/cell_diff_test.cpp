// The rigid cell-difference shift of a model: every atom moves by the shift
// that the cell change gives to the model's centre.
#include <gtest/gtest.h>

#include "coords/cell_diff.h"
#include "foundation/atom_com.h"

namespace {

void put_atom(int a, float x, float y, float z, float occ) {
  atom_crd.xyz_crd(1, a) = x;
  atom_crd.xyz_crd(2, a) = y;
  atom_crd.xyz_crd(3, a) = z;
  atom_crd.occup(a) = occ;
}

void diag(float* m, float v) {
  for (int i = 0; i < 9; ++i) m[i] = 0;
  m[0] = m[4] = m[8] = v;
}

}  // namespace

TEST(CellDifference, ScaledCubicCellShiftsModelRigidly) {
  atom_inf.n_atom = 3;
  put_atom(1, 9, 10, 10, 1.0f);
  put_atom(2, 11, 10, 10, 1.0f);
  put_atom(3, 50, 50, 50, 0.0f);  // not counted for the centre, moved all the same
  float f2o_new[9], o2f_old[9];
  diag(f2o_new, 101.0f);
  diag(o2f_old, 1.0f / 100.0f);
  int32_t ierr = 5;
  make_correction_to_cell_diff_(f2o_new, o2f_old, ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_NEAR(atom_crd.xyz_crd(1, 1), 9.1f, 1e-4f);
  EXPECT_NEAR(atom_crd.xyz_crd(2, 1), 10.1f, 1e-4f);
  EXPECT_NEAR(atom_crd.xyz_crd(1, 2), 11.1f, 1e-4f);
  EXPECT_NEAR(atom_crd.xyz_crd(3, 3), 50.1f, 1e-4f);
  // The distance between atoms 1 and 2 stays 2.
  EXPECT_NEAR(atom_crd.xyz_crd(1, 2) - atom_crd.xyz_crd(1, 1), 2.0f, 1e-4f);
}

TEST(CellDifference, EqualCellsAndEmptyOccupancyLeaveModel) {
  atom_inf.n_atom = 2;
  put_atom(1, 1, 2, 3, 1.0f);
  put_atom(2, 4, 5, 6, 0.5f);
  float f2o[9], o2f[9];
  diag(f2o, 40.0f);
  diag(o2f, 1.0f / 40.0f);
  int32_t ierr;
  make_correction_to_cell_diff_(f2o, o2f, ierr);
  EXPECT_NEAR(atom_crd.xyz_crd(1, 1), 1.0f, 1e-5f);
  EXPECT_NEAR(atom_crd.xyz_crd(3, 2), 6.0f, 1e-5f);
  put_atom(1, 1, 2, 3, 0.0f);
  put_atom(2, 4, 5, 6, 0.0f);
  diag(f2o, 80.0f);
  make_correction_to_cell_diff_(f2o, o2f, ierr);
  EXPECT_EQ(atom_crd.xyz_crd(1, 1), 1.0f);
  EXPECT_EQ(atom_crd.xyz_crd(3, 2), 6.0f);
}
