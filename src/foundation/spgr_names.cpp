// Space-group names and scattering factors for the code base, through the
// suite library's symmetry interface and scattering-factor reader.
#include "foundation/spgr_names.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "foundation/messages.h"
#include "suite/csymlib_f.h"
#include "suite/pi.h"
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

struct ShortName {
  const char* given;
  const char* setting1;
  const char* setting2;
};
constexpr ShortName kMonoclinic[] = {
    {"P2", "P 1 1 2", "P 1 2 1"},    {"P 2", "P 1 1 2", "P 1 2 1"},
    {"P21", "P 1 1 21", "P 1 21 1"}, {"P 21", "P 1 1 21", "P 1 21 1"},
    {"B2", "B 1 1 2", "C 1 2 1"},    {"B 2", "B 1 1 2", "C 1 2 1"},
    {"C2", "B 1 1 2", "C 1 2 1"},    {"C 2", "B 1 1 2", "C 1 2 1"},
};

// An angle within 0.0001 radian of a; the cell rules of both readers.
bool near(float angle, float a) { return std::fabs(angle - a) <= 0.0001f; }

bool given(std::string_view name) {
  const std::string_view t = rt::trim(name);
  return !t.empty() && t != "?" && t != ".";
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
  if (const Spacegroup* sg = ptq7spg_current(); n > 0 && sg != nullptr) number = sg->number;
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

int32_t foundation::settle_space_group_name(rt::FixedText<24>& name, float beta, float gamma) {
  constexpr float pi = suite::kPi<float>;
  int32_t sett = 1;
  const int used = name.len_trim();
  const bool r3_spaced = used >= 3 && name.sub(1, 3) == std::string_view("R 3");
  const bool r3_joined = used >= 2 && name.sub(1, 2) == std::string_view("R3");
  if ((r3_spaced || r3_joined) && near(gamma, 2.0f * pi / 3.0f)) {
    sett = 2;
    name(1) = 'H';
  }
  for (const ShortName& s : kMonoclinic) {
    if (name == std::string_view(s.given)) {
      sett = !near(gamma, pi / 2.0f) && near(beta, pi / 2.0f) ? 1 : 2;
      name = sett == 1 ? s.setting1 : s.setting2;
      break;
    }
  }
  return sett;
}

void foundation::file_space_group(rt::FixedText<24>& name, int32_t& number, int32_t& nsym,
                                  float* rotations, float* translations, int32_t capacity) {
  constexpr int32_t mdoc = 1;
  int32_t ierr = 0;
  const std::string written(rt::trim(name.view()));
  const int32_t given_number = number;
  const bool named = given(written);
  // Neither is no group at all, as the file says: no operator, and nothing
  // that holds a code against.
  if (!named && given_number < 1) {
    nsym = 0;
    return;
  }
  if (named) {
    int32_t n = 0;
    rt::FixedText<24> work = name;
    get_symm_nb_new_(mdoc, n, 1, work, nsym, rotations, translations, capacity, ierr);
    if (nsym > 0) {
      // Files written by this system until now hold the library's own number
      // of the setting beside its name: that number names the same group.
      const Spacegroup* sg = ptq7spg_current();
      const bool own = sg != nullptr && given_number == sg->ptq7_number;
      if (given_number > 0 && given_number != n && !own)
        msgdoc_(mdoc, " WARNING: space group number " + std::to_string(given_number) +
                          " is not that of '" + std::string(rt::trim(work.view())) + "' (" +
                          std::to_string(n) + "): the name is used");
      name = work;
      number = n;
      return;
    }
  }
  if (given_number > 0) {
    int32_t n = given_number;
    rt::FixedText<24> work;
    work.blank();
    get_symm_nb_new_(mdoc, n, 1, work, nsym, rotations, translations, capacity, ierr);
    if (nsym > 0) {
      if (named)
        msgdoc_(mdoc, " WARNING: space group '" + written +
                          "' is not in the symmetry library: its number " +
                          std::to_string(given_number) + " gives '" +
                          std::string(rt::trim(work.view())) + "'");
      name = work;
      number = n;
      return;
    }
  }
  const std::string group = named ? "'" + written + "'" : "number " + std::to_string(given_number);
  msgdoc_(mdoc, " WARNING: space group " + group + " is not in the symmetry library");
  msgdoc_(mdoc, "          only the identity X,Y,Z stands: no symmetry copy is made");
  nsym = std::min(1, capacity);
  if (nsym < 1) return;
  for (int k = 0; k < 9; ++k) rotations[k] = k % 4 == 0 ? 1.0f : 0.0f;
  for (int k = 0; k < 3; ++k) translations[k] = 0.0f;
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
