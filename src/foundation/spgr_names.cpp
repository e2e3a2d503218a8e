// Space-group names and scattering factors for the code base, through the
// suite library's symmetry interface and scattering-factor reader.
#include "foundation/spgr_names.h"

#include <algorithm>
#include <memory>
#include <string>

#include "foundation/messages.h"
#include "suite/csymlib_f.h"
#include "suite/sfread.h"

namespace {

// Operators a loaded group can have: 192 primitive times 4 centring ones.
constexpr int kMaxOperators = 768;

// Spellings found in coordinate files for names the library knows otherwise.
void normalise_name(rt::TextRef name) {
  const std::string_view n = name.view();
  if (rt::text_eq(n, "P 1-"))
    name.assign("P -1");
  else if (rt::text_eq(n, "P 21 21 2 A") || rt::text_eq(n, "P 21 21 2A"))
    name.assign("P 21 21 2 (a)");
  else if (rt::text_eq(n, "R 3(RHOM)"))
    name.assign("R 3");
}

}  // namespace

void get_symm_nb_new_(int32_t /*mdoc*/, int32_t& number, int32_t /*setting*/, rt::TextRef name,
                      int32_t& nsym, float* rotations, float* translations, int32_t capacity,
                      int32_t& ierr) {
  ierr = 0;
  normalise_name(name);
  // Neither a number nor a name gives no group: asked so, the library
  // answers with the group it loaded last, which belongs to an earlier file.
  if (number < 1 && rt::trim_right(name.view()).empty()) {
    nsym = 0;
    return;
  }
  int32_t status = 0;
  int32_t nsymp = 0;
  int32_t n = 0;
  rt::FixedText<20> library_name;
  rt::FixedText<20> point_group;
  auto rsm = std::make_unique<float[]>(16 * kMaxOperators);
  msymlb3_(status, number, name, library_name, point_group, nsymp, n, rsm.get());
  nsym = n;
  // The callers' arrays hold `capacity` operators; never write past them.
  const int count = std::min(n, capacity);
  for (int k = 0; k < count; ++k) {
    const float* m = rsm.get() + 16 * k;
    for (int j = 0; j < 3; ++j)
      for (int i = 0; i < 3; ++i) rotations[9 * k + 3 * j + i] = m[4 * j + i];
    for (int i = 0; i < 3; ++i) translations[3 * k + i] = m[12 + i];
  }
  if (n > capacity) nsym = capacity;
}

void get_sfa_(std::string_view element, int32_t n, int32_t& nel, float& a1, float& a2, float& a3,
              float& a4, float& b1, float& b2, float& b3, float& b4, float& c, float& fp,
              float& fpp, float& radius, int32_t& ierr) {
  ierr = 0;
  rt::FixedText<4> id(element);
  float a[4], b[4], cu[2], mo[2], cc = 0.0f;
  int32_t iwt = 0, nn = 0;
  int32_t ifail = -1;
  sfread2_(id, n, a, b, cc, iwt, nn, cu, mo, ifail);
  if (ifail < 0) {
    rt::FixedText<4> sym(element);
    msgerr_(0, std::string(" No match for ATOM ID") + std::string(sym.view()));
    ierr = 1;
    return;
  }
  nel = nn;
  a1 = a[0];
  a2 = a[1];
  a3 = a[2];
  a4 = a[3];
  b1 = b[0];
  b2 = b[1];
  b3 = b[2];
  b4 = b[3];
  c = cc;
  fp = cu[0];
  fpp = cu[1];
  radius = 0.0f;
}
