// The standard-frame test of the coordinate readers.
//
// Files give the matrix to six decimals and the shift to five, both worked
// out from a cell that the file itself gives only to three decimals in the
// lengths and two in the angles.  Taking every atom through that rounded
// matrix and back through the matrix of the rounded cell moves atoms by
// several times the precision they were written with, so a file whose frame
// is the standard one keeps its atoms as written.  "The standard one" means:
//   - each matrix element within half a unit of the sixth decimal, plus
//     3e-4 of the largest element: a length rounded to 0.0005 A changes the
//     elements of its axis by 0.0005/a relatively (below 2e-4 for any axis
//     of 2.5 A or more), and an angle rounded to 0.005 degrees changes the
//     coupling elements by about 8.7e-5/sin^2 of the angle relatively
//     (below 3e-4 up to angles of about 150 degrees);
//   - each shift within half a unit of the fifth decimal, i.e. written as 0.
// A frame that really differs (another axis convention, a rotation, an
// origin shift) differs in some element by the order of the elements
// themselves, a thousand times more than this allowance.
#include "coords/scale_frame.h"

#include <cmath>

#include "suite/pi.h"

namespace coords {

namespace {

constexpr float kMatrixRounding = 5e-7f;  // half a unit of the sixth decimal
constexpr float kCellRounding = 3e-4f;    // relative, from the cell's rounding
constexpr float kShiftRounding = 5e-6f;   // half a unit of the fifth decimal

}  // namespace

bool standard_frame(const rt::Array2<float, 3, 3>& scale, const rt::Array1<float, 3>& shift,
                    const rt::Array2<float, 3, 3>& ort_to_frac) {
  float largest = 0.0f;
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) largest = std::fmax(largest, std::fabs(ort_to_frac(i, j)));
  const float allowed = kMatrixRounding + kCellRounding * largest;
  for (int i = 1; i <= 3; ++i) {
    // Written so that a value that is not a number fails.
    if (!(std::fabs(shift(i)) <= kShiftRounding)) return false;
    for (int j = 1; j <= 3; ++j)
      if (!(std::fabs(scale(i, j) - ort_to_frac(i, j)) <= allowed)) return false;
  }
  return true;
}

bool cell_value_usable(int k, float v) {
  // An edge of half an angstrom or less, or an angle within a thousandth of
  // a radian of 0 or of 180 degrees, gives no cell: the frame would put
  // every atom at the origin or be singular.  Nor does an edge that the
  // CRYST1 field cannot hold when the model is written back (a CRYST1 a of
  // "1e39" reads as 1e36, "1.0e39" as infinite).  Written so that a value
  // that is not a number fails too.
  constexpr float kPi = suite::kPi<float>;
  if (k <= 3) return v > 0.5f && v <= 100000.0f;  // 99999.999 in a float
  return v > 0.001f && v < kPi - 0.001f;
}

}  // namespace coords
