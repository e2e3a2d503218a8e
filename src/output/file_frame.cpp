// Coordinates of the working frame put back into the frame of the file.
//
// The readers keep the coordinates of a file whose fractionalisation is the
// standard one of its cell, and the writers must decide alike: taking every
// atom through the matrix written to six decimals and back through the
// matrix of the cell would move it by several times the precision written,
// and a file read and written again would drift further each time.  Where a
// conversion is needed, single precision alone loses a unit of the third
// decimal on coordinates of a few hundred Angstrom, so it runs in double.
#include "output/file_frame.h"

#include <cmath>

#include "coords/scale_frame.h"
#include "foundation/atom_com.h"

namespace output {

bool FileFrame::set() {
  auto m = [](int i, int j) { return static_cast<double>(crst_pdb.cs_scale(i + 1, j + 1)); };
  double c[3][3];  // cofactor of element (i,j)
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
      c[i][j] = m(i1, j1) * m(i2, j2) - m(i1, j2) * m(i2, j1);
    }
  const double det = m(0, 0) * c[0][0] + m(0, 1) * c[0][1] + m(0, 2) * c[0][2];
  // Written so that a determinant that is not a number fails too.
  if (!(std::fabs(det) >= 1e-30)) return false;
  kept_ = coords::standard_frame(crst_pdb.cs_scale, crst_pdb.cs_u, crst_crd.cs_ort_to_frac);
  for (int i = 0; i < 3; ++i) {
    shift_[i] = crst_pdb.cs_u(i + 1);
    for (int j = 0; j < 3; ++j) {
      to_frac_[i][j] = crst_crd.cs_ort_to_frac(i + 1, j + 1);
      from_frac_[i][j] = c[j][i] / det;
    }
  }
  return true;
}

void FileFrame::place(const float* xyz, float out[3]) const {
  if (kept_) {
    for (int i = 0; i < 3; ++i) out[i] = xyz[i];
    return;
  }
  double f[3];
  for (int i = 0; i < 3; ++i)
    f[i] = to_frac_[i][0] * xyz[0] + to_frac_[i][1] * xyz[1] + to_frac_[i][2] * xyz[2] - shift_[i];
  for (int i = 0; i < 3; ++i)
    out[i] = static_cast<float>(from_frac_[i][0] * f[0] + from_frac_[i][1] * f[1] +
                                from_frac_[i][2] * f[2]);
}

}  // namespace output
