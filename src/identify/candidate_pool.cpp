// Pool records of heavy-atom graphs.  A record is 18 + 2n + 3nb signed
// 16-bit words: list number, n, nb, the count of each of the 15 element
// classes, then (atom number, class) of each heavy atom and (first, second,
// bond code) of each bond between heavy atoms, heavy atoms numbered in the
// order of the description.
#include "identify/candidate_pool.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "dictionary/element_table.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_index.h"
#include "dictionary/work_copies.h"
#include "foundation/messages.h"
#include "identify/residue_index.h"

namespace {

constexpr const char* kClassSymbols[14] = {"C ", "N ", "O ", "S ", "P ", "CO", "MG",
                                           "CA", "ZN", "CU", "FE", "CL", "MN", "MO"};

struct HeavyBond {
  int i, j;  // heavy numbers of the pair, i < j (its place in the record)
  int first, second;
  int16_t code;
};

}  // namespace

int16_t pool_bond_code(std::string_view type) {
  if (!type.empty() && type[0] == '.') return 7;
  // Libraries write the types in either case ("single", "SING").
  std::string t(type.substr(0, std::min<std::size_t>(4, type.size())));
  for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static constexpr const char* kCodes[7] = {"sing", "doub", "trip", "arom", "delo", "meta", "cova"};
  for (int k = 0; k < 7; ++k)
    if (t == kCodes[k]) return static_cast<int16_t>(k + 1);
  return 0;
}

int16_t pool_element_class(std::string_view symb) {
  const rt::FixedText<2> s2(symb.substr(0, std::min<std::size_t>(2, symb.size())));
  for (int k = 0; k < 14; ++k)
    if (s2 == kClassSymbols[k]) return static_cast<int16_t>(k + 1);
  return 15;
}

void lib_create_test_index2_(int32_t mdoc, int32_t imon, int32_t& nac, rt::FixedText<30>& c_content,
                             rt::FixedText<24>& c_index, rt::FixedText<24>& c_pair, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  com_match_pool_t& pool = com_match_pool;
  ierr = 0;
  copyl2_(mdoc, ierr);
  const rt::FixedText<8> name = imon >= 1 ? r.lml_mname(imon) : r.l1l_mname;
  calc_index_(mdoc, name, nac, c_content, c_index, c_pair, ierr);

  // The query slot must exist before anything is written to it.
  const int slot = pool.match_nmon + 1;
  if (slot > maxmponter) {
    foundation::table_full(mdoc, " ERROR: in LIB_CREATE_INDEX2: number of pool records >", maxmponter - 1, "",
                           {.constant = "maxmponter", .header = "lib_index", .indent = 10});
    ierr = 1;
    return;
  }
  // Without a record of its own the residue must not meet the query of an
  // earlier residue still standing in the slot.
  pool.match_pointer(slot) = 0;
  if (r.l2a_natom < 2) return;

  static std::vector<int16_t> atoms;  // (atom number, class) of each heavy atom
  static rt::Array1<int32_t, 15> counts;
  atoms.clear();
  for (int k = 1; k <= 15; ++k) counts(k) = 0;
  int n = 0;
  for (int i = 1; i <= r.l2a_natom; ++i) {
    r.l2a_icr(i) = 0;
    if (r.l2a_aname(i).is_blank() || dictionary::is_hydrogen(r.l2a_symb(i))) continue;
    r.l2a_icr(i) = ++n;
    const int16_t cls = pool_element_class(r.l2a_symb(i).view());
    atoms.push_back(static_cast<int16_t>(i));
    atoms.push_back(cls);
    ++counts(cls);
  }
  if (n < 5 || r.l2b_nbond < 4) return;

  // The first bond of each pair of heavy atoms, found by name; emitted in
  // pair order.  Two atoms of one name are both taken as its owners.
  static std::vector<std::pair<std::string_view, int>> by_name;
  by_name.clear();
  for (int i = 1; i <= r.l2a_natom; ++i)
    if (r.l2a_icr(i) > 0) by_name.emplace_back(r.l2a_aname(i).view(), i);
  std::stable_sort(by_name.begin(), by_name.end(),
                   [](const auto& a, const auto& b) { return rt::text_cmp(a.first, b.first) < 0; });
  auto owners = [&](std::string_view nm) {
    const auto lo = std::lower_bound(by_name.begin(), by_name.end(), nm,
                                     [](const auto& a, std::string_view v) { return rt::text_cmp(a.first, v) < 0; });
    auto hi = lo;
    while (hi != by_name.end() && rt::text_cmp(hi->first, nm) == 0) ++hi;
    return std::make_pair(lo, hi);
  };
  static std::vector<HeavyBond> bonds;
  bonds.clear();
  for (int b = 1; b <= r.l2b_nbond; ++b) {
    const auto [lo1, hi1] = owners(r.l2b_1atm(b).view());
    const auto [lo2, hi2] = owners(r.l2b_2atm(b).view());
    for (auto p = lo1; p != hi1; ++p) {
      for (auto q = lo2; q != hi2; ++q) {
        if (p->second == q->second) continue;
        const int h1 = r.l2a_icr(p->second), h2 = r.l2a_icr(q->second);
        bonds.push_back({std::min(h1, h2), std::max(h1, h2), h1, h2, pool_bond_code(r.l2b_type(b).view())});
      }
    }
  }
  // Stable: of two bonds of one pair, the earlier in the list stays first.
  std::stable_sort(bonds.begin(), bonds.end(),
                   [](const HeavyBond& a, const HeavyBond& b) { return a.i != b.i ? a.i < b.i : a.j < b.j; });
  bonds.erase(std::unique(bonds.begin(), bonds.end(),
                          [](const HeavyBond& a, const HeavyBond& b) { return a.i == b.i && a.j == b.j; }),
              bonds.end());
  const int nb = static_cast<int>(bonds.size());
  if (nb < 4) return;

  const int64_t words = 18 + 2 * static_cast<int64_t>(n) + 3 * static_cast<int64_t>(nb);
  if (pool.mem_tot + words > maxmpool) {
    msgerr_(mdoc, " ERROR: in LIB_CREATE_INDEX2: Insufficient memory:");
    ierr = 1;
    return;
  }
  int p = pool.mem_tot + 1;
  pool.match_pointer(slot) = p;
  pool.match_pool(p) = static_cast<int16_t>(std::max(imon, 0));
  pool.match_pool(p + 1) = static_cast<int16_t>(n);
  pool.match_pool(p + 2) = static_cast<int16_t>(nb);
  for (int k = 1; k <= 15; ++k) pool.match_pool(p + 2 + k) = static_cast<int16_t>(counts(k));
  p += 18;
  for (int16_t w : atoms) pool.match_pool(p++) = w;
  for (const HeavyBond& hb : bonds) {
    pool.match_pool(p++) = static_cast<int16_t>(hb.first);
    pool.match_pool(p++) = static_cast<int16_t>(hb.second);
    pool.match_pool(p++) = hb.code;
  }
}
