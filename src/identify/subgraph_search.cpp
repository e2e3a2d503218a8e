// Scan of the candidate pool.  A candidate is searched only when it is at
// least as large as the residue, is not the residue's own monomer, and has
// at least as many atoms of every element class; most of the pool fails
// these tests on the words at the head of its record.  The search itself
// runs in one static 16-bit work pool cut into the slices it needs.
#include "identify/subgraph_search.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <type_traits>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_index.h"
#include "dictionary/lib_loading.h"
#include "dictionary/lib_to_work.h"
#include "dictionary/work_copies.h"
#include "foundation/messages.h"
#include "identify/match_transfer.h"
#include "identify/ullman.h"
#include "runtime/format.h"

namespace {

constexpr int kMemory = 1000000;  // words of the work pool

// The L2 work description, from its header to its last plane, as bytes: the
// members are plain values and lie together in the store.
class L2Copy {
 public:
  void save() { std::memcpy(bytes_.data(), begin(), bytes_.size()); }
  void restore() { std::memcpy(begin(), bytes_.data(), bytes_.size()); }

 private:
  static_assert(std::is_standard_layout_v<r_scratch_t> && std::is_trivially_copyable_v<r_scratch_t>);
  static constexpr std::size_t kFirst = offsetof(r_scratch_t, l2l_natm);
  static constexpr std::size_t kEnd = offsetof(r_scratch_t, c1_natom);
  static char* begin() { return reinterpret_cast<char*>(&r_scratch) + kFirst; }
  std::array<char, kEnd - kFirst> bytes_;
};

struct WorkPool {
  rt::Array1<int16_t, kMemory> words;
  rt::Array1<int16_t, MAX1ATM> np;  // atom numbers of the query atoms
  rt::Array1<int16_t, MAX1ATM> mp;  // atom numbers of the candidate atoms
  L2Copy l2;                        // the residue while a candidate is read
};
WorkPool work;

int16_t pool_word(int p) { return com_match_pool.match_pool(p); }

// Words of a record that lie inside the pool: a damaged pointer or count must
// not send the search past it.
bool record_fits(int p) {
  if (p < 1 || p + 17 > maxmpool) return false;
  const int n = pool_word(p + 1), nb = pool_word(p + 2);
  return n >= 0 && nb >= 0 && p + 17 + 2 * n + 3 * nb <= maxmpool;
}

}  // namespace

void test_gm_(int32_t mdoc, char list, char /*srch*/, int32_t /*nac*/, std::string_view /*c_content*/,
              std::string_view /*c_index*/, std::string_view /*c_pair*/, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  com_match_pool_t& pool = com_match_pool;
  const bool trace = list == 'T';
  const int32_t m_read = 99;
  const rt::FixedText<8> mon_inp = r.l1l_mname;
  copyl2_(mdoc, ierr);

  const int slot = pool.match_nmon + 1;
  const int pq = slot >= 1 && slot <= maxmponter ? pool.match_pointer(slot) : 0;
  if (pq == 0 || !record_fits(pq) || pool_word(pq + 1) > MAX1ATM) {
    msgdoc_(mdoc, " INFO:  no sub_structure was found");
    ierr = 1;
    return;
  }
  const int n = pool_word(pq + 1), ne = pool_word(pq + 2);
  if (trace) {
    msgdoc_(mdoc, rt::list_line("----- N MATCH ---:", n, pool.match_nmon));
    msgdoc_(mdoc, rt::list_line("--:", pq, static_cast<int>(pool_word(pq)), n, ne));
  }
  int16_t* base = work.words.data();
  GmSlices s{};
  s.mu = base;
  s.ie = s.mu + n;
  for (int k = 1; k <= n; ++k) {
    work.np(k) = pool_word(pq + 16 + 2 * k);
    s.mu[k - 1] = pool_word(pq + 17 + 2 * k);
  }
  const int qb = pq + 18 + 2 * n;
  for (int e = 0; e < ne; ++e) {
    s.ie[3 * e] = pool_word(qb + 3 * e);
    s.ie[3 * e + 1] = pool_word(qb + 3 * e + 1);
    s.ie[3 * e + 2] = 1;  // bonds match whatever their order
  }
  s.mui = s.ie + 3 * ne;

  for (int im = 1; im <= pool.match_nmon; ++im) {
    const int p = pool.match_pointer(im);
    if (!record_fits(p)) continue;
    const int m = pool_word(p + 1), nei = pool_word(p + 2);
    if (n > m || m > MAX1ATM) continue;
    const int l = pool_word(p);
    if (l < 1 || l > r.lml_nmon) continue;
    const rt::FixedText<8> name = r.lml_mname(l);
    if (name == mon_inp) continue;
    bool fits = true;
    for (int k = 3; k <= 17 && fits; ++k) fits = pool_word(pq + k) <= pool_word(p + k);
    if (!fits) continue;
    const int64_t need = 2 * n + m + 3 * ne + 3 * nei + static_cast<int64_t>(m) * n * (n + 1);
    if (need > kMemory) {
      if (trace) msgdoc_(mdoc, rt::list_line("--- Insufficient memory :", name, im));
      continue;
    }
    s.iei = s.mui + m;
    s.iso = s.iei + 3 * nei;
    s.ip = s.iso + n;
    for (int k = 1; k <= m; ++k) {
      work.mp(k) = pool_word(p + 16 + 2 * k);
      s.mui[k - 1] = pool_word(p + 17 + 2 * k);
    }
    const int cb = p + 18 + 2 * m;
    for (int e = 0; e < nei; ++e) {
      s.iei[3 * e] = pool_word(cb + 3 * e);
      s.iei[3 * e + 1] = pool_word(cb + 3 * e + 1);
      s.iei[3 * e + 2] = 1;
    }
    int32_t i = 0;
    gm_ullman_(n, ne, m, nei, 0, s, i);
    if (i <= n) continue;

    if (trace) {
      msgdoc_(mdoc, rt::list_line("=========", im, " ==== ", name, " ====="));
      for (int j = 1; j <= n; ++j) msgdoc_(mdoc, rt::list_line(j, " I_mu --> I_mui", static_cast<int>(s.iso[j - 1])));
    }
    msgdoc_(mdoc, " INFO: sub_structure in :" + name.str());
    const int lf = dictionary::find_list_entry(name.view(), false);
    if (lf == 0) {
      ierr = 1;
      return;
    }
    if (r.lml_fuse(lf) == "N") {
      // The reader checks the tree of what it reads in L1 and L2: the
      // residue's copy in L2 is kept apart across the read.
      work.l2.save();
      r.lml_fuse(lf) = "R";
      read_lib_(m_read, "M", 'N', list, ierr);
      work.l2.restore();
      if (ierr != 0) return;
    }
    rt::FixedText<8> code = name;
    cp_mlib_(mdoc, code, ierr);
    if (ierr != 0) return;
    r.l1l_mname = mon_inp;
    r.l1l_mname2 = mon_inp;
    r.l1l_name = ".";
    if (m != n) r.l1l_type = "non-polymer";
    corr_description_gm_(mdoc, list, n, m, s.mu, work.np.data(), s.mui, work.mp.data(), s.iso, ierr);
    return;
  }
  msgdoc_(mdoc, " INFO:  no sub_structure was found");
  ierr = 1;
}
