// Reflection-file programming interface, writing.
#include "reflections/mtz_write_api.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "reflections/library_file.h"
#include "reflections/machine_stamp.h"
#include "reflections/mtz_hierarchy.h"
#include "reflections/mtz_print.h"
#include "reflections/mtz_read_api.h"
#include "reflections/mtz_row_index.h"
#include "reflections/mtz_writer.h"
#include "suite/library_err.h"
#include "suite/library_utils.h"
#include "suite/ptq7_program.h"
#include "suite/ptq7_unitcell.h"

namespace reflections {

namespace {

std::string text_of(std::string_view s) { return std::string(rt::trim_right(s)); }

std::vector<MtzCol*> all_columns(const MtzFile* mtz) {
  std::vector<MtzCol*> cols;
  for (const auto& x : mtz->xtals)
    for (const auto& s : x->sets)
      for (const auto& c : s->cols) cols.push_back(c.get());
  return cols;
}

// Coefficients of each crystal's cell, worked out again only when a cell
// changes: writing a reflection must not redo the trigonometry.
const double* crystal_coefs(const MtzFile* mtz, std::size_t ix) {
  struct Entry {
    float cell[6];
    double coefs[6];
  };
  static std::vector<Entry> cache;
  if (cache.size() < mtz->xtals.size()) cache.resize(mtz->xtals.size(), Entry{{-1}, {}});
  Entry& e = cache[ix];
  const float* cell = mtz->xtals[ix]->cell;
  if (std::memcmp(e.cell, cell, sizeof e.cell) != 0) {
    std::memcpy(e.cell, cell, sizeof e.cell);
    MtzHklcoeffs(cell, e.coefs);
  }
  return e.coefs;
}

int lookup_index(MtzCol* const* lookup, int ncol, const MtzCol* c) {
  for (int i = 0; i < ncol; ++i)
    if (lookup[i] == c) return i;
  return -1;
}

void widen_resolutions(MtzFile* mtz, const int32_t hkl[3]) {
  for (std::size_t ix = 0; ix < mtz->xtals.size(); ++ix) {
    MtzXtal& x = *mtz->xtals[ix];
    if (x.cell[0] <= 0.001f) continue;
    const float r = MtzInd2reso(hkl, crystal_coefs(mtz, ix));
    if (r <= 0.0f) continue;
    x.reso_max = std::max(x.reso_max, r);
    x.reso_min = std::min(x.reso_min, r);
    mtz->reso_max = std::max(mtz->reso_max, r);
    mtz->reso_min = std::min(mtz->reso_min, r);
  }
}

// How the rows of an index go out while its record keeps its layout, worked
// out again whenever the record may have changed (the index's rows_planned
// is cleared), so that writing a row walks no hierarchy, looks nothing up
// and allocates nothing.  It does for each row what ptq7_lwrefl does.
struct RowPlan {
  enum class Missing { value, nan_bits, nan_call };
  static constexpr std::size_t kLanes = 4;
  static constexpr std::size_t kBlockValues = 1 << 14;
  MtzFile* mtz = nullptr;
  uint32_t flag_word = 0;  // the missing-number flag it was made for
  int ncol = 0;            // values of the caller's row that are looked at
  Missing missing = Missing::value;
  float flag_value = 0.0f;
  // The values that widen a column's range: their positions in the row and
  // their columns.
  std::vector<int> ranged_at;
  std::vector<MtzCol*> ranged;
  bool ranged_in_order = false;  // ranged_at[j] == j throughout
  // When no column takes two values of a row, the ranges are kept here,
  // side by side and padded to whole lanes, and put back into the columns
  // by mtz_settle_rows.
  bool held = false;
  std::vector<float> values, lo, hi;
  // With held ranges, rows that went straight into the stream's buffer are
  // taken into the ranges and resolutions a block at a time (and before
  // anything else reads the record): their ranged values, row after row
  // with the padding of `values`, and their h, k and l.
  bool deferred = false;
  std::size_t n_ranged = 0, stride = 0, n_out = 0;  // ranged.size(), values.size(), source.size()
  std::size_t block_rows = 0;
  std::size_t pending = 0;
  std::vector<float> block, block_h, block_k, block_l;
  std::vector<int> source;  // per value written: its position in the row, or -1 (missing)
  bool straight = false;    // source[k] == k throughout: the row goes out as given
  std::vector<float> row;   // the row as written, when not straight
  int hkl_at[3] = {-1, -1, -1};
  // The commonest layout: every value of the row ranged and written as it
  // stands, h, k and l its first three, at least four values, a file taking
  // native reals.  Such a row is copied once, into the stream's buffer, and
  // its pending block is read there, from `stretch` on: the rows of a block
  // lie side by side in the buffer because the block is taken in before the
  // buffer can be flushed (no room for a row, or any other call on the
  // index, which settles the plan first).
  // The stream's own write position is moved on a block at a time: `put`
  // is where the next row goes, `put_end` the end of the block's room (whole
  // rows of the buffer's room taken from the stream when the block starts,
  // at most block_rows), both null while no block is open.  A row that joins
  // the block is only copied there; the rows from `counted` on are counted
  // (as pending and as written) by count_joined, before anything reads the
  // counts.
  bool simple = false;
  MtzIndexSlot* slot = nullptr;  // the index the plan is for
  std::ptrdiff_t row_bytes = 0;  // n_out values
  const char* flag_at = nullptr;  // the record's missing-number flag
  char* stretch = nullptr;
  char* put = nullptr;
  char* put_end = nullptr;
  char* counted = nullptr;
  LibraryFile* file = nullptr;
  // The crystals with a cell, grouped by equal coefficients: one resolution
  // a group.  Worked out at the first row written, as ptq7_lwrefl does.
  bool cells_ready = false;
  struct CellGroup {
    double coefs[6];
    std::size_t first, count;  // in xtals
  };
  std::vector<CellGroup> groups;
  std::vector<MtzXtal*> xtals;
};

RowPlan row_plans[MTZ_MAX_SLOTS];

void take_pending(RowPlan& p);

void settle(RowPlan& p) {
  take_pending(p);
  if (!p.held) return;
  for (std::size_t j = 0; j < p.ranged.size(); ++j) {
    p.ranged[j]->min_value = p.lo[j];
    p.ranged[j]->max_value = p.hi[j];
  }
  p.held = false;
}

bool distinct(std::vector<MtzCol*> cols) {
  std::sort(cols.begin(), cols.end());
  return std::adjacent_find(cols.begin(), cols.end()) == cols.end();
}

void plan_rows(RowPlan& p, MtzIndexSlot& s) {
  MtzFile* mtz = s.mtz.get();
  MtzCol* const* lookup = s.col_out;
  p.slot = &s;
  p.mtz = mtz;
  std::memcpy(&p.flag_word, mtz->missing_number_flag, sizeof p.flag_word);
  p.ncol = std::min(MtzNumActiveCol(mtz), MTZ_MAX_LOOKUP);
  p.flag_value = missing_value(mtz);
  const int ft = ptq7_native_ft();
  if (std::strncmp(mtz->missing_number_flag, "NAN", 3) != 0) p.missing = RowPlan::Missing::value;
  else if (ft == 1 || ft == 4) p.missing = RowPlan::Missing::nan_bits;
  else p.missing = RowPlan::Missing::nan_call;
  p.ranged_at.clear();
  p.ranged.clear();
  p.ranged_in_order = true;
  for (int i = 0; i < p.ncol; ++i)
    if (lookup[i] != nullptr) {
      p.ranged_in_order = p.ranged_in_order && i == static_cast<int>(p.ranged_at.size());
      p.ranged_at.push_back(i);
      p.ranged.push_back(lookup[i]);
    }
  p.held = distinct(p.ranged);
  if (p.held) {
    const std::size_t n = p.ranged.size();
    const std::size_t padded = (n + RowPlan::kLanes - 1) / RowPlan::kLanes * RowPlan::kLanes;
    p.values.assign(padded, 0.0f);
    p.lo.assign(padded, 0.0f);
    p.hi.assign(padded, 0.0f);
    for (std::size_t j = 0; j < n; ++j) {
      p.lo[j] = p.ranged[j]->min_value;
      p.hi[j] = p.ranged[j]->max_value;
    }
  }
  p.pending = 0;
  p.put = p.put_end = p.counted = p.stretch = nullptr;
  p.n_ranged = p.ranged.size();
  p.stride = p.values.size();
  p.deferred = p.held && !p.values.empty() && p.missing != RowPlan::Missing::nan_call;
  if (p.deferred) {
    p.block_rows = std::max<std::size_t>(1, RowPlan::kBlockValues / p.values.size());
    // Sized, not refilled: a plan remade on every row must not clear a block each time.
    p.block.resize(p.block_rows * p.values.size());
    p.block_h.resize(p.block_rows);
    p.block_k.resize(p.block_rows);
    p.block_l.resize(p.block_rows);
  }
  p.source.clear();
  p.straight = true;
  for (const auto& x : mtz->xtals)
    for (const auto& set : x->sets)
      for (const auto& c : set->cols) {
        if (!c->active) continue;
        const int k = static_cast<int>(p.source.size());
        const int i =
            (k < p.ncol && lookup[k] == c.get()) ? k : lookup_index(lookup, p.ncol, c.get());
        p.source.push_back(i);
        p.straight = p.straight && i == k;
      }
  p.row.resize(p.source.size());
  p.n_out = p.source.size();
  p.row_bytes = static_cast<std::ptrdiff_t>(p.n_out * sizeof(float));
  p.flag_at = mtz->missing_number_flag;
  row_hkl_positions(mtz, lookup, p.ncol, p.hkl_at);
  p.file = mtz->file_out.get();
  p.simple = p.deferred && p.straight && p.ranged_in_order && p.n_ranged == p.n_out &&
             p.n_ranged >= 4 && p.hkl_at[0] == 0 && p.hkl_at[1] == 1 && p.hkl_at[2] == 2 &&
             p.file != nullptr && p.file->write_fn == ptq7_file_writefloat &&
             p.file->real_format == PTQ7_NATIVE_REAL_FORMAT;
  p.cells_ready = false;
}

void plan_cells(RowPlan& p, MtzFile* mtz) {
  p.groups.clear();
  p.xtals.clear();
  const std::size_t nx = mtz->xtals.size();
  for (std::size_t ix = 0; ix < nx; ++ix) {
    if (mtz->xtals[ix]->cell[0] <= 0.001f) continue;
    const double* coefs = crystal_coefs(mtz, ix);
    bool seen = false;
    for (const RowPlan::CellGroup& g : p.groups)
      seen = seen || std::memcmp(g.coefs, coefs, sizeof g.coefs) == 0;
    if (seen) continue;
    RowPlan::CellGroup g{{}, p.xtals.size(), 0};
    std::memcpy(g.coefs, coefs, sizeof g.coefs);
    for (std::size_t jx = ix; jx < nx; ++jx)
      if (mtz->xtals[jx]->cell[0] > 0.001f &&
          std::memcmp(crystal_coefs(mtz, jx), g.coefs, sizeof g.coefs) == 0) {
        p.xtals.push_back(mtz->xtals[jx].get());
        ++g.count;
      }
    p.groups.push_back(g);
  }
  p.cells_ready = true;
}

template <RowPlan::Missing M>
inline bool is_missing(float v, float flag) {
  if constexpr (M == RowPlan::Missing::value) return v == flag;
  else if constexpr (M == RowPlan::Missing::nan_bits)
    return (std::bit_cast<uint32_t>(v) & 0x7F800000u) == 0x7F800000u;
  else return ptq7_utils_isnan(&v) != 0;
}

// Four values at a time where the machine has SSE2: its minimum and maximum
// of a and b are a < b ? a : b and a > b ? a : b, the very choices made
// value by value, and when either is not a number they give b.  A missing
// value is made all ones, a NaN, and so leaves both ranges as they are.
#if defined(__SSE2__)
template <RowPlan::Missing M>
inline __m128 unless_missing(__m128 v, __m128 flags, __m128i exponent) {
  if constexpr (M == RowPlan::Missing::value) return _mm_or_ps(v, _mm_cmpeq_ps(v, flags));
  const __m128i bits = _mm_and_si128(_mm_castps_si128(v), exponent);
  return _mm_or_ps(v, _mm_castsi128_ps(_mm_cmpeq_epi32(bits, exponent)));
}
#endif

// The held ranges over one row's values, side by side.
template <RowPlan::Missing M>
void widen_held(const float* values, float* lo, float* hi, std::size_t n, float flag,
                bool first) {
#if defined(__SSE2__)
  if constexpr (M != RowPlan::Missing::nan_call) {
    if (!first) {
      const __m128 flags = _mm_set1_ps(flag);
      const __m128i exponent = _mm_set1_epi32(0x7F800000);
      for (std::size_t j = 0; j + 4 <= n; j += 4) {
        const __m128 v = unless_missing<M>(_mm_loadu_ps(values + j), flags, exponent);
        _mm_storeu_ps(lo + j, _mm_min_ps(v, _mm_loadu_ps(lo + j)));
        _mm_storeu_ps(hi + j, _mm_max_ps(v, _mm_loadu_ps(hi + j)));
      }
      return;
    }
  }
#endif
  for (std::size_t j = 0; j < n; ++j) {
    const float v = values[j];
    if (is_missing<M>(v, flag)) continue;
    lo[j] = first || v < lo[j] ? v : lo[j];
    hi[j] = first || hi[j] < v ? v : hi[j];
  }
}

// The column ranges over one row; the first row starts them.  The ranges
// widen as std::min and std::max would: a value that is not a number (and is
// not the missing value) changes a range only when it starts it.
template <RowPlan::Missing M>
void widen_column_ranges(RowPlan& p, const float* adata, bool first) {
  const float flag = p.flag_value;
  const std::size_t n = p.ranged.size();
  if (!p.held) {
    for (std::size_t j = 0; j < n; ++j) {
      const float v = adata[p.ranged_at[j]];
      if (is_missing<M>(v, flag)) continue;
      MtzCol* c = p.ranged[j];
      if (first) {
        c->min_value = c->max_value = v;
      } else {
        c->min_value = v < c->min_value ? v : c->min_value;
        c->max_value = c->max_value < v ? v : c->max_value;
      }
    }
    return;
  }
  float* values = p.values.data();
  if (p.ranged_in_order) std::memcpy(values, adata, n * sizeof(float));
  else
    for (std::size_t j = 0; j < n; ++j) values[j] = adata[p.ranged_at[j]];
  // Whole lanes, the padding included: its values go nowhere.
  widen_held<M>(values, p.lo.data(), p.hi.data(), p.values.size(), flag, first);
}

// The resolution range lo..hi taken into every crystal of group g and into
// the file, in that order.
void widen_group(const RowPlan& p, const RowPlan::CellGroup& g, MtzFile* mtz, float lo, float hi) {
  for (std::size_t j = g.first; j < g.first + g.count; ++j) {
    MtzXtal& x = *p.xtals[j];
    x.reso_max = x.reso_max < hi ? hi : x.reso_max;
    x.reso_min = lo < x.reso_min ? lo : x.reso_min;
  }
  mtz->reso_max = mtz->reso_max < hi ? hi : mtz->reso_max;
  mtz->reso_min = lo < mtz->reso_min ? lo : mtz->reso_min;
}

void widen_row_resolution(const RowPlan& p, MtzFile* mtz, const float* adata) {
  int32_t hkl[3];
  for (int k = 0; k < 3; ++k) hkl[k] = p.hkl_at[k] >= 0 ? truncated_index(adata[p.hkl_at[k]]) : 0;
  for (const RowPlan::CellGroup& g : p.groups) {
    const float r = suite::ind_to_reso(hkl, g.coefs);
    if (r > 0.0f) widen_group(p, g, mtz, r, r);
  }
}

// The rows go straight into the stream's buffer where the file takes native
// reals; anything else takes the general write, which reports failures.
int put_row(LibraryFile* f, const float* row, int n) {
  if (f != nullptr && f->write_fn == ptq7_file_writefloat &&
      f->real_format == PTQ7_NATIVE_REAL_FORMAT &&
      append_to_stream_buffer(f, row, static_cast<std::size_t>(n) * sizeof(float)))
    return n;
  return MtzWrefl(f, n, row);
}

// The held ranges over the pending rows, four columns at a time down the
// rows, in the order the rows came.
template <RowPlan::Missing M>
void widen_block(RowPlan& p) {
  const std::size_t stride = p.values.size();
#if defined(__SSE2__)
  const __m128 flags = _mm_set1_ps(p.flag_value);
  const __m128i exponent = _mm_set1_epi32(0x7F800000);
  for (std::size_t j = 0; j < stride; j += 4) {
    __m128 l = _mm_loadu_ps(p.lo.data() + j);
    __m128 h = _mm_loadu_ps(p.hi.data() + j);
    const float* v_at = p.block.data() + j;
    for (std::size_t r = 0; r < p.pending; ++r, v_at += stride) {
      const __m128 v = unless_missing<M>(_mm_loadu_ps(v_at), flags, exponent);
      l = _mm_min_ps(v, l);
      h = _mm_max_ps(v, h);
    }
    _mm_storeu_ps(p.lo.data() + j, l);
    _mm_storeu_ps(p.hi.data() + j, h);
  }
#else
  for (std::size_t r = 0; r < p.pending; ++r)
    widen_held<M>(p.block.data() + r * stride, p.lo.data(), p.hi.data(), stride, p.flag_value,
                  false);
#endif
}

// widen_block for the rows of a simple plan, read in the stream's buffer:
// n values a row, no padding.  The last four columns are taken as a lane
// ending at n, which may cover columns an earlier lane took already; taking
// a value into a range that holds it leaves the range as it is.
template <RowPlan::Missing M>
void widen_stretch(RowPlan& p) {
  const std::size_t n = p.n_out;
  const std::size_t row_bytes = n * sizeof(float);
  const char* rows = p.stretch;
#if defined(__SSE2__)
  const __m128 flags = _mm_set1_ps(p.flag_value);
  const __m128i exponent = _mm_set1_epi32(0x7F800000);
  for (std::size_t j = 0;; j += 4) {
    if (j + 4 > n) j = n - 4;
    __m128 l = _mm_loadu_ps(p.lo.data() + j);
    __m128 h = _mm_loadu_ps(p.hi.data() + j);
    const char* v_at = rows + j * sizeof(float);
    for (std::size_t r = 0; r < p.pending; ++r, v_at += row_bytes) {
      const __m128 v = unless_missing<M>(_mm_loadu_ps(reinterpret_cast<const float*>(v_at)),
                                         flags, exponent);
      l = _mm_min_ps(v, l);
      h = _mm_max_ps(v, h);
    }
    _mm_storeu_ps(p.lo.data() + j, l);
    _mm_storeu_ps(p.hi.data() + j, h);
    if (j + 4 == n) break;
  }
#else
  float* values = p.values.data();
  for (std::size_t r = 0; r < p.pending; ++r) {
    std::memcpy(values, rows + r * row_bytes, row_bytes);
    widen_held<M>(values, p.lo.data(), p.hi.data(), n, p.flag_value, false);
  }
#endif
}

#if defined(__SSE2__)
// widen_stretch in one pass down the rows for rows of at most 4 L values,
// the ranges held in registers, h, k and l taken out on the way.
template <RowPlan::Missing M, std::size_t L>
void widen_short_rows(RowPlan& p) {
  const std::size_t n = p.n_out;
  const std::size_t row_bytes = n * sizeof(float);
  const __m128 flags = _mm_set1_ps(p.flag_value);
  const __m128i exponent = _mm_set1_epi32(0x7F800000);
  std::size_t at[L];
  __m128 lo[L], hi[L];
  for (std::size_t j = 0; j < L; ++j) {
    at[j] = std::min(4 * j, n - 4);
    lo[j] = _mm_loadu_ps(p.lo.data() + at[j]);
    hi[j] = _mm_loadu_ps(p.hi.data() + at[j]);
  }
  // Held apart from the plan: a store through them could be a store into it.
  float* const h_at = p.block_h.data();
  float* const k_at = p.block_k.data();
  float* const l_at = p.block_l.data();
  const std::size_t rows = p.pending;
  const char* row = p.stretch;
  for (std::size_t r = 0; r < rows; ++r, row += row_bytes) {
    for (std::size_t j = 0; j < L; ++j) {
      const __m128 v = unless_missing<M>(
          _mm_loadu_ps(reinterpret_cast<const float*>(row + at[j] * sizeof(float))), flags,
          exponent);
      lo[j] = _mm_min_ps(v, lo[j]);
      hi[j] = _mm_max_ps(v, hi[j]);
    }
    std::memcpy(h_at + r, row, sizeof(float));
    std::memcpy(k_at + r, row + sizeof(float), sizeof(float));
    std::memcpy(l_at + r, row + 2 * sizeof(float), sizeof(float));
  }
  for (std::size_t j = 0; j < L; ++j) {
    _mm_storeu_ps(p.lo.data() + at[j], lo[j]);
    _mm_storeu_ps(p.hi.data() + at[j], hi[j]);
  }
}
#endif

// The ranges of a simple plan's pending rows, and their h, k and l.
template <RowPlan::Missing M>
void widen_simple_block(RowPlan& p) {
#if defined(__SSE2__)
  switch ((p.n_out + 3) / 4) {
    case 1: return widen_short_rows<M, 1>(p);
    case 2: return widen_short_rows<M, 2>(p);
    case 3: return widen_short_rows<M, 3>(p);
    case 4: return widen_short_rows<M, 4>(p);
    default: break;
  }
#endif
  widen_stretch<M>(p);
  const std::size_t row_bytes = p.n_out * sizeof(float);
  const char* v = p.stretch;
  for (std::size_t r = 0; r < p.pending; ++r, v += row_bytes) {
    std::memcpy(&p.block_h[r], v, sizeof(float));
    std::memcpy(&p.block_k[r], v + sizeof(float), sizeof(float));
    std::memcpy(&p.block_l[r], v + 2 * sizeof(float), sizeof(float));
  }
}

// The rows that joined a simple plan's block since it was last counted,
// taken into the pending rows and the counts of rows written.
void count_joined(RowPlan& p) {
  if (p.put == p.counted) return;
  const int rows = static_cast<int>((p.put - p.counted) / p.row_bytes);
  p.pending += static_cast<std::size_t>(rows);
  p.counted = p.put;
  const int written = p.slot->nref_written += rows;
  if (p.mtz->nref < written) p.mtz->nref = written;
}

[[gnu::noinline]] void take_pending(RowPlan& p) {
  if (p.simple) {
    count_joined(p);
    p.put = p.put_end = p.counted = nullptr;
  }
  if (p.pending == 0) return;
  if (p.simple) {
    if (p.missing == RowPlan::Missing::value) widen_simple_block<RowPlan::Missing::value>(p);
    else widen_simple_block<RowPlan::Missing::nan_bits>(p);
    stream_buffer_filled(p.file, p.pending * p.n_out * sizeof(float));
  } else if (p.missing == RowPlan::Missing::value) {
    widen_block<RowPlan::Missing::value>(p);
  } else {
    widen_block<RowPlan::Missing::nan_bits>(p);
  }
  constexpr float kInf = std::numeric_limits<float>::infinity();
  MtzFile* mtz = p.mtz;
  for (const RowPlan::CellGroup& g : p.groups) {
    // A group's range over the block, then as if each row had widened every
    // crystal of the group and the file in turn (no value that is not a
    // number enters either).
    float lo = kInf, hi = -kInf;
    widen_reso_range(p.block_h.data(), p.block_k.data(), p.block_l.data(), p.pending, g.coefs,
                     true, lo, hi);
    widen_group(p, g, mtz, lo, hi);
  }
  p.pending = 0;
}

void copy_floats(float* to, const float* from, std::size_t n) {
  std::size_t j = 0;
#if defined(__SSE2__)
  for (; j + 4 <= n; j += 4) _mm_storeu_ps(to + j, _mm_loadu_ps(from + j));
#endif
  for (; j < n; ++j) to[j] = from[j];
}

// A row (not the file's first) that goes straight into the stream's buffer
// joins the pending block; false when it cannot, and it takes the general
// road, the block taken in first.
bool defer_row(RowPlan& p, MtzFile* mtz, const float* adata, int iref) {
  const std::size_t at = p.pending;
  float* values = p.block.data() + at * p.stride;
  if (p.ranged_in_order) {
    copy_floats(values, adata, p.n_ranged);
  } else {
    const int* from = p.ranged_at.data();
    for (std::size_t j = 0; j < p.n_ranged; ++j) values[j] = adata[from[j]];
  }
  const int h = p.hkl_at[0], k = p.hkl_at[1], l = p.hkl_at[2];
  p.block_h[at] = h >= 0 ? adata[h] : 0.0f;
  p.block_k[at] = k >= 0 ? adata[k] : 0.0f;
  p.block_l[at] = l >= 0 ? adata[l] : 0.0f;
  const float* row = adata;
  if (!p.straight) {
    for (std::size_t j = 0; j < p.n_out; ++j)
      p.row[j] = p.source[j] >= 0 ? adata[p.source[j]] : p.flag_value;
    row = p.row.data();
  }
  LibraryFile* f = mtz->file_out.get();
  if (f == nullptr || f->write_fn != ptq7_file_writefloat ||
      f->real_format != PTQ7_NATIVE_REAL_FORMAT ||
      !append_to_stream_buffer(f, row, p.n_out * sizeof(float))) {
    take_pending(p);
    return false;
  }
  if (!p.cells_ready) plan_cells(p, mtz);
  if (mtz->nref < iref) mtz->nref = iref;
  p.pending = at + 1;
  if (at + 1 == p.block_rows) take_pending(p);
  return true;
}

// n (at least four) values copied four at a time, the last four ending at n.
inline void copy_row(void* to, const float* from, std::size_t n) {
#if defined(__SSE2__)
  float* t = static_cast<float*>(to);
  std::size_t j = 0;
  for (; j + 4 < n; j += 4) _mm_storeu_ps(t + j, _mm_loadu_ps(from + j));
  _mm_storeu_ps(t + n - 4, _mm_loadu_ps(from + n - 4));
#else
  std::memcpy(to, from, n * sizeof(float));
#endif
}

// defer_row for a simple plan, the first row of a block (join_block takes
// the rest): the block taken in so far goes, and the stream is asked for
// room.
inline bool defer_simple_row(RowPlan& p, MtzFile* mtz, const float* adata, int iref) {
  take_pending(p);
  const std::size_t bytes = p.n_out * sizeof(float);
  char* at = mtz->file_out.get() == p.file ? stream_buffer_room(p.file, bytes) : nullptr;
  if (at == nullptr) return false;
  if (!p.cells_ready) plan_cells(p, mtz);
  copy_row(at, adata, p.n_out);
  p.stretch = at;
  p.put = p.counted = at + bytes;
  const std::ptrdiff_t rows = std::min<std::ptrdiff_t>(
      (stream_buffer_end(p.file) - at) / p.row_bytes, static_cast<std::ptrdiff_t>(p.block_rows));
  p.put_end = at + rows * p.row_bytes;
  p.pending = 1;
  if (mtz->nref < iref) mtz->nref = iref;
  return true;
}

// ptq7_lwrefl for a file written as it goes, by the plan.
int write_planned_row(RowPlan& p, MtzFile* mtz, const float* adata, int iref) {
  switch (p.missing) {
    case RowPlan::Missing::value:
      widen_column_ranges<RowPlan::Missing::value>(p, adata, iref == 1);
      break;
    case RowPlan::Missing::nan_bits:
      widen_column_ranges<RowPlan::Missing::nan_bits>(p, adata, iref == 1);
      break;
    case RowPlan::Missing::nan_call:
      widen_column_ranges<RowPlan::Missing::nan_call>(p, adata, iref == 1);
      break;
  }
  const float* row = adata;
  if (!p.straight) {
    for (std::size_t k = 0; k < p.source.size(); ++k)
      p.row[k] = p.source[k] >= 0 ? adata[p.source[k]] : p.flag_value;
    row = p.row.data();
  }
  const int n = static_cast<int>(p.source.size());
  if (put_row(mtz->file_out.get(), row, n) != n) return 0;
  if (!p.cells_ready) plan_cells(p, mtz);
  widen_row_resolution(p, mtz, adata);
  mtz->nref = std::max(mtz->nref, iref);
  return 1;
}

void output_labels(TextArray lsprgo, TextArray ctprgo, int n, std::vector<std::string>& labels,
                   std::vector<std::string>& types) {
  labels.resize(static_cast<std::size_t>(n));
  types.assign(static_cast<std::size_t>(n), std::string());
  for (int i = 0; i < n; ++i) {
    labels[static_cast<std::size_t>(i)] = label_of(lsprgo(i + 1).view(), MTZ_LABEL_LENGTH);
    if (ctprgo.len > 0) types[static_cast<std::size_t>(i)] = label_of(ctprgo(i + 1).view(), 2);
  }
}

std::vector<MtzCol*> ptq7_lwassn(MtzFile* mtz, const std::vector<std::string>& labels,
                                 const std::vector<std::string>& types, int iappnd) {
  if (iappnd == 0)
    for (MtzCol* c : all_columns(mtz)) c->active = 0;
  MtzSet* target = MtzSetLookup(mtz, "HKL_base/HKL_base");
  if (target == nullptr && !mtz->xtals.empty() && !mtz->xtals[0]->sets.empty())
    target = mtz->xtals[0]->sets[0].get();
  std::vector<MtzCol*> cols(labels.size(), nullptr);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const bool misym = types[i] == "Y" && labels[i] == "M/ISYM";
    MtzCol* c = MtzColLookup(mtz, misym ? "M_ISYM" : labels[i].c_str());
    if (c != nullptr) c->active = 1;
    else if (target != nullptr) c = MtzAddColumn(mtz, target, labels[i].c_str(), types[i].c_str());
    cols[i] = c;
  }
  return cols;
}

void assign_output(int32_t mindx, TextArray lsprgo, int32_t nlprgo, TextArray ctprgo,
                   int32_t iappnd, bool relabel) {
  const char* routine = relabel ? "LWASSN" : "LWCLAB";
  if (MtzCheckSubInput(mindx, routine, 2)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  MtzFile* mtz = s.mtz.get();
  const int start = iappnd == 1 ? MtzNumSourceCol(mtz) : 0;
  // The output look-up holds 10000 columns: a longer list is cut there.
  const int n = std::clamp(nlprgo, 0, MTZ_MAX_LOOKUP - start);
  std::vector<std::string> labels, types;
  output_labels(lsprgo, ctprgo, n, labels, types);
  if (relabel) {
    // The input assignments that are set, in table order: the table has
    // room for 10000 and a program sets a few.
    std::vector<const MtzLabelPair*> assigned;
    for (const MtzLabelPair& e : s.labin_table)
      if (e.user[0] != '\0') assigned.push_back(&e);
    for (int i = 0; i < n; ++i) {
      std::string& label = labels[static_cast<std::size_t>(i)];
      bool found = false;
      for (const MtzLabelPair* e : assigned)
        if (label == e->program) {
          label = e->user;
          found = true;
          break;
        }
      if (!found && s.labout_table[i].user[0] != '\0') label = s.labout_table[i].user;
    }
  }
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < i; ++j)
      if (labels[static_cast<std::size_t>(i)] == labels[static_cast<std::size_t>(j)]) {
        std::printf(
            "%s: duplicate column labels in output file, columns %d and %d both have the "
            "label %s \n",
            routine, j, i, labels[static_cast<std::size_t>(i)].c_str());
        ptqerror(1, "Duplicate column labels in output file");
        return;
      }
  const std::vector<MtzCol*> cols = ptq7_lwassn(mtz, labels, types, iappnd);
  for (int i = 0; i < n; ++i) s.col_out[start + i] = cols[static_cast<std::size_t>(i)];
  s.col_out_used = std::max(s.col_out_used, start + n);
  MtzCol* order[5] = {};
  for (int k = 0; k < 5; ++k)
    if (s.sort_cols[k] >= 1 && s.sort_cols[k] <= n)
      order[k] = cols[static_cast<std::size_t>(s.sort_cols[k] - 1)];
  MtzSetSortOrder(mtz, order);
  if (relabel)
    for (int i = 0; i < n; ++i)
      if (s.labout_table[i].user[0] != '\0' && cols[static_cast<std::size_t>(i)] != nullptr)
        cols[static_cast<std::size_t>(i)]->label = s.labout_table[i].user;
}

MtzBatch* find_batch(MtzFile* mtz, int batno, bool skip_input) {
  MtzBatch* b = mtz->batches.get();
  if (skip_input && mtz->nbat_file > 0 && MtzNbat(mtz) > mtz->nbat_file)
    for (int i = 0; i < mtz->nbat_file && b != nullptr; ++i) b = b->next.get();
  for (; b != nullptr; b = b->next.get())
    if (b->batch_number == batno) return b;
  return nullptr;
}

void set_batch_dataset(int32_t mindx, const char* routine, int32_t batno, std::string_view xname,
                       std::string_view dname) {
  if (MtzCheckSubInput(mindx, routine, 2)) return;
  MtzFile* mtz = mtz_slot(mindx).get();
  MtzBatch* b = find_batch(mtz, batno, true);
  if (b == nullptr) {
    std::printf("Error in %s: file on %d has no batch %d ! \n",
                std::strcmp(routine, "LWBSETID") == 0 ? "lwbsetid" : "lwbsetidx", mindx, batno);
    return;
  }
  ptq7_lwbsetid(mtz, b, text_of(xname).c_str(), text_of(dname).c_str());
}

// Per output column a crystal and dataset name; lwidasx_ and lwidas_.
void assign_datasets(int32_t mindx, const char* routine, int32_t nlprgo,
                     const std::vector<std::string>& xnames, const std::vector<std::string>& dnames,
                     int32_t iappnd) {
  MtzIndexSlot& s = mtz_index_slot(mindx);
  MtzFile* mtz = s.mtz.get();
  const int start = iappnd == 1 ? MtzNumSourceCol(mtz) : 0;
  const bool base = MtzSetLookup(mtz, "HKL_base/HKL_base") != nullptr;
  for (int i = 0; i < nlprgo && start + i < MTZ_MAX_LOOKUP; ++i) {
    MtzCol* c = s.col_out[start + i];
    const std::string& x = xnames[static_cast<std::size_t>(i)];
    const std::string& d = dnames[static_cast<std::size_t>(i)];
    if (c == nullptr) {
      std::printf(" %s: severe warning - column %d does not exist. \n", routine, i);
      continue;
    }
    if (c->type == "H" && base) MtzAssignColumn(mtz, c, "HKL_base", "HKL_base");
    else if (!x.empty() && !d.empty()) MtzAssignColumn(mtz, c, x.c_str(), d.c_str());
  }
}

}  // namespace

}  // namespace reflections

using namespace reflections;

void lwopen_noexit_(int32_t mindx, std::string_view filnam, int32_t& iflag) {
  iflag = 0;
  if (mindx < 1 || mindx > MTZ_MAX_SLOTS) {
    std::printf("Error: mindx out of range!\n");
    iflag = 1;
    return;
  }
  MtzIndexSlot& s = mtz_index_slot(mindx);
  const std::string logical = text_of(filnam);
  if (std::getenv("CMTZ_IN_MEMORY") != nullptr) mtz_set_in_memory_mode();
  if (!s.open_read) {
    const int nset[1] = {1};
    mtz_forget_record_pointers(s);
    s.mtz = MtzMalloc(1, nset);
    MtzXtal& x = *s.mtz->xtals[0];
    x.crystal_name = x.project_name = "HKL_base";
    x.sets[0]->dataset_name = "HKL_base";
    x.sets[0]->set_id = 0;
    s.mtz->refs_in_memory = mtz_in_memory_mode();
  }
  s.open_write = 1;
  std::snprintf(s.out_name, sizeof s.out_name, "%s", logical.c_str());
  s.nref_written = 0;
  if (mtz_in_memory_mode()) return;
  s.mtz->file_out = MtzOpenForWrite(logical.c_str());
  if (!s.mtz->file_out) {
    ptqerror(2, ("LWOPEN_NOEXIT: failed to open output file " + logical.substr(0, 160)).c_str());
    iflag = 1;
    // Nothing was opened: the index is not left open for a write that cannot happen.
    s.open_write = 0;
    if (!s.open_read) mtz_release_record(s);
    return;
  }
  for (MtzCol* c : all_columns(s.mtz.get()))
    if (c->source >= 1 && c->source <= MTZ_MAX_LOOKUP) {
      s.col_out[c->source - 1] = c;
      s.col_out_used = std::max(s.col_out_used, c->source);
    }
}

void lwopen_(int32_t mindx, std::string_view filnam) {
  int32_t iflag = 0;
  lwopen_noexit_(mindx, filnam, iflag);
  if (iflag != 0) ptqerror(1, "LWOPEN: failed to open output file");
}

void lwclos_noexit_(int32_t mindx, int32_t iprint, int32_t& iflag) {
  iflag = 0;
  if (MtzCheckSubInput(mindx, "LWCLOS_NOEXIT", 2)) {
    iflag = 1;
    return;
  }
  MtzIndexSlot& s = mtz_index_slot(mindx);
  MtzFile* mtz = s.mtz.get();
  mtz->nref = s.nref_written;
  if (MtzPut(mtz, s.out_name) == 0) {
    iflag = 1;
    return;
  }
  // A close that fails (data still in the buffer) leaves a file not written whole.
  if (mtz->file_out && ptq7_file_close(mtz->file_out.release()) != 0) {
    iflag = 1;
    return;
  }
  const char* env = std::getenv(s.out_name);
  std::printf("\n WRITTEN OUTPUT MTZ FILE \n");
  std::printf(" Logical Name: %s   Filename: %s \n\n", s.out_name,
              env != nullptr ? env : s.out_name);
  if (iprint > 0) ptq7_lhprt(mtz, iprint);
  s.open_write = 0;
  if (!s.open_read) mtz_release_record(s);
}

void lwclos_(int32_t mindx, int32_t iprint) {
  int32_t iflag = 0;
  lwclos_noexit_(mindx, iprint, iflag);
  if (iflag != 0) ptqerror(1, "LWCLOS: failed to write output file");
}

void lwassn_(int32_t mindx, TextArray lsprgo, int32_t nlprgo, TextArray ctprgo, int32_t iappnd) {
  assign_output(mindx, lsprgo, nlprgo, ctprgo, iappnd, true);
}

void lwclab_(int32_t mindx, TextArray lsprgo, int32_t nlprgo, TextArray ctprgo, int32_t iappnd) {
  assign_output(mindx, lsprgo, nlprgo, ctprgo, iappnd, false);
}

int ptq7_lwrefl(MtzFile* mtz, const float* adata, MtzCol* const* lookup, int ncol, int iref) {
  if (mtz->refs_in_memory) {
    const float missing = missing_value(mtz);
    for (MtzCol* c : all_columns(mtz))
      if (c->values.size() < static_cast<std::size_t>(iref))
        c->values.resize(static_cast<std::size_t>(iref), missing);
  }
  const bool nan_flag = std::strncmp(mtz->missing_number_flag, "NAN", 3) == 0;
  const float flag_value = missing_value(mtz);
  // On IEEE machines the missing-number test is a test of the exponent bits,
  // made here rather than by a call for every value.
  const int ft = ptq7_native_ft();
  const bool ieee = ft == 1 || ft == 4;
  const auto missing = [&](const float& v) {
    if (!nan_flag) return v == flag_value;
    if (ieee) return (std::bit_cast<uint32_t>(v) & 0x7F800000u) == 0x7F800000u;
    return ptq7_utils_isnan(&v) != 0;
  };
  for (int i = 0; i < ncol; ++i) {
    MtzCol* c = lookup[i];
    if (c == nullptr) continue;
    if (mtz->refs_in_memory) c->values[static_cast<std::size_t>(iref - 1)] = adata[i];
    if (missing(adata[i])) continue;
    if (iref == 1) {
      c->min_value = c->max_value = adata[i];
    } else {
      c->min_value = std::min(c->min_value, adata[i]);
      c->max_value = std::max(c->max_value, adata[i]);
    }
  }
  if (!mtz->refs_in_memory) {
    // One row buffer for the whole run: writing a reflection allocates nothing.
    static std::vector<float> row;
    row.clear();
    for (const auto& x : mtz->xtals)
      for (const auto& s : x->sets)
        for (const auto& c : s->cols) {
          if (!c->active) continue;
          // Usually the look-up lists the active columns in their own order.
          const int k = static_cast<int>(row.size());
          const int i =
              (k < ncol && lookup[k] == c.get()) ? k : lookup_index(lookup, ncol, c.get());
          row.push_back(i >= 0 ? adata[i] : flag_value);
        }
    const int n = static_cast<int>(row.size());
    if (MtzWrefl(mtz->file_out.get(), n, row.data()) != n) return 0;
    int32_t hkl[3];
    row_hkl(mtz, lookup, ncol, adata, hkl);
    widen_resolutions(mtz, hkl);
  }
  mtz->nref = std::max(mtz->nref, iref);
  return 1;
}

namespace reflections {

namespace {

// A row that does not simply join the pending block: the first of the file,
// one after the record may have changed, one that the stream's buffer cannot
// take, one held in memory.  1 written, 0 failed.
[[gnu::noinline]] int write_row_in_full(int32_t mindx, MtzIndexSlot& s, const float* adata,
                                        int iref, bool deferral_tried) {
  MtzFile* mtz = s.mtz.get();
  if (mtz->refs_in_memory) {
    const int ncol = std::min(MtzNumActiveCol(mtz), MTZ_MAX_LOOKUP);
    return ptq7_lwrefl(mtz, adata, s.col_out, ncol, iref);
  }
  RowPlan& p = row_plans[mindx - 1];
  if (!s.rows_planned || p.mtz != mtz ||
      std::memcmp(&p.flag_word, mtz->missing_number_flag, sizeof p.flag_word) != 0) {
    if (s.rows_planned && p.mtz == mtz) settle(p);
    plan_rows(p, s);
    s.rows_planned = 1;
  }
  if (!deferral_tried && p.deferred && iref > 1 &&
      (p.simple ? defer_simple_row(p, mtz, adata, iref) : defer_row(p, mtz, adata, iref)))
    return 1;
  return write_planned_row(p, mtz, adata, iref);
}

}  // namespace

}  // namespace reflections

namespace reflections {

namespace {

// A row that continues the open block of a simple plan: no call, no look-up,
// no count; the room left in the block and the missing-number flag are all
// it tests.  The block is open only while the index is open, its record
// planned and its file the one planned for: anything else on the index
// settles the plan, which closes the block.  False, with nothing done, for
// any other row.
inline bool join_block(int32_t mindx, const float* adata) {
  if (static_cast<unsigned>(mindx - 1) >= static_cast<unsigned>(MTZ_MAX_SLOTS)) return false;
  RowPlan& p = row_plans[mindx - 1];
  char* at = p.put;
  if (at == p.put_end || std::memcmp(&p.flag_word, p.flag_at, sizeof p.flag_word) != 0)
    return false;
  copy_row(at, adata, p.n_out);
  p.put = at + p.row_bytes;
  return true;
}

[[gnu::noinline]] void write_row(int32_t mindx, const float* adata, int32_t& iflag) {
  iflag = 0;
  MtzIndexSlot* s = mtz_row_writer_slot(mindx);
  if (s == nullptr) {
    MtzCheckSubInput(mindx, "LWREFL_NOEXIT", 2);
    iflag = 1;
    return;
  }
  RowPlan& p = row_plans[mindx - 1];
  if (p.simple && p.slot == s) count_joined(p);
  const int iref = ++s->nref_written;
  MtzFile* mtz = s->mtz.get();
  // Most rows: the layout as planned, the row straight into the stream.
  const bool planned =
      s->rows_planned && p.deferred && iref > 1 && p.mtz == mtz &&
      std::memcmp(&p.flag_word, mtz->missing_number_flag, sizeof p.flag_word) == 0;
  if (planned && (p.simple ? defer_simple_row(p, mtz, adata, iref)
                            : defer_row(p, mtz, adata, iref)))
    return;
  if (write_row_in_full(mindx, *s, adata, iref, planned) == 0) iflag = 1;
}

}  // namespace

}  // namespace reflections

void lwrefl_noexit_(int32_t mindx, const float* adata, int32_t& iflag) {
  if (join_block(mindx, adata)) {
    iflag = 0;
    return;
  }
  write_row(mindx, adata, iflag);
}

void mtz_settle_rows(int32_t mindx) {
  if (mindx >= 1 && mindx <= MTZ_MAX_SLOTS) settle(row_plans[mindx - 1]);
}

void lwrefl_(int32_t mindx, const float* adata) {
  if (join_block(mindx, adata)) return;
  int32_t iflag = 0;
  write_row(mindx, adata, iflag);
  if (iflag != 0) ptqerror(1, "LWREFL: failed to write reflection");
}

int MtzSetSortOrder(MtzFile* mtz, MtzCol* const cols[5]) {
  for (int k = 0; k < 5; ++k) mtz->sort_order[k] = cols[k];
  return 1;
}

void lwsort_(int32_t mindx, const int32_t* sortx) {
  if (MtzCheckSubInput(mindx, "LWSORT", 2)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  const std::vector<MtzCol*> cols = all_columns(s.mtz.get());
  MtzCol* order[5] = {};
  for (int k = 0; k < 5; ++k) {
    s.sort_cols[k] = sortx[k];
    if (sortx[k] >= 1 && sortx[k] <= static_cast<int>(cols.size()))
      order[k] = cols[static_cast<std::size_t>(sortx[k] - 1)];
  }
  MtzSetSortOrder(s.mtz.get(), order);
}

int ptq7_lwidx(MtzFile* mtz, const char* xname, const char* dname, const char* pname,
               const float cell[6], float wavelength) {
  MtzXtal* x = MtzXtalLookup(mtz, xname);
  if (x == nullptr) {
    x = MtzAddXtal(mtz, xname, pname, cell);
    MtzAddDataset(mtz, x, dname, wavelength);
    return 1;
  }
  if (pname != nullptr && *pname != '\0') x->project_name = cut(pname, MTZ_NAME_LENGTH);
  if (cell != nullptr && cell[0] > 0.0f) std::copy(cell, cell + 6, x->cell);
  const std::string path = std::string("/") + xname + "/" + dname;
  MtzSet* set = MtzSetLookup(mtz, path.c_str());
  if (set == nullptr) MtzAddDataset(mtz, x, dname, wavelength);
  else if (wavelength > 0.0f) set->wavelength = wavelength;
  return 1;
}

void lwidx_(int32_t mindx, std::string_view pname, std::string_view xname, std::string_view dname,
            const float* datcell, float datwave) {
  if (MtzCheckSubInput(mindx, "LWIDX", 2)) return;
  ptq7_lwidx(mtz_slot(mindx).get(), text_of(xname).c_str(), text_of(dname).c_str(),
             text_of(pname).c_str(), datcell, datwave);
}

void lwidc_(int32_t mindx, std::string_view pname, std::string_view dname, const float* datcell,
            float datwave) {
  if (MtzCheckSubInput(mindx, "LWIDC", 2)) return;
  const std::string p = text_of(pname);
  ptq7_lwidx(mtz_slot(mindx).get(), p.c_str(), text_of(dname).c_str(), p.c_str(), datcell, datwave);
}

void lwid_(int32_t mindx, std::string_view pname, std::string_view dname) {
  if (MtzCheckSubInput(mindx, "LWID", 2)) return;
  MtzFile* mtz = mtz_slot(mindx).get();
  const std::string p = text_of(pname);
  float cell[6] = {};
  if (MtzXtalLookup(mtz, p.c_str()) == nullptr && !mtz->xtals.empty() &&
      mtz->xtals[0]->cell[0] != 0.0f)
    std::copy(mtz->xtals[0]->cell, mtz->xtals[0]->cell + 6, cell);
  ptq7_lwidx(mtz, p.c_str(), text_of(dname).c_str(), p.c_str(), cell, 0.0f);
}

void lwidall_(int32_t mindx, std::string_view xname, std::string_view dname) {
  if (MtzCheckSubInput(mindx, "LWIDALL", 2)) return;
  MtzFile* mtz = mtz_slot(mindx).get();
  const std::string x = text_of(xname), d = text_of(dname);
  if (x.empty() || d.empty()) return;
  const bool base = MtzSetLookup(mtz, "HKL_base/HKL_base") != nullptr;
  for (MtzCol* c : all_columns(mtz)) {
    if (c->type == "H" && base) MtzAssignColumn(mtz, c, "HKL_base", "HKL_base");
    else MtzAssignColumn(mtz, c, x.c_str(), d.c_str());
  }
}

void lwidasx_(int32_t mindx, int32_t nlprgo, TextArray xname, TextArray dname, int32_t iappnd) {
  if (MtzCheckSubInput(mindx, "LWIDASX", 2)) return;
  std::vector<std::string> xs, ds;
  for (int i = 1; i <= nlprgo; ++i) {
    xs.push_back(text_of(xname(i).view()));
    ds.push_back(text_of(dname(i).view()));
  }
  assign_datasets(mindx, "LWIDASX", nlprgo, xs, ds, iappnd);
}

void lwidas_(int32_t mindx, int32_t nlprgo, TextArray pname, TextArray dname, int32_t iappnd) {
  if (MtzCheckSubInput(mindx, "LWIDAS", 2)) return;
  const MtzFile* mtz = mtz_slot(mindx).get();
  std::vector<std::string> xs, ds;
  for (int i = 1; i <= nlprgo; ++i) {
    const std::string p = text_of(pname(i).view()), d = text_of(dname(i).view());
    std::string crystal = p;
    for (const auto& x : mtz->xtals)
      if (x->project_name == p)
        for (const auto& s : x->sets)
          if (s->dataset_name == d) crystal = x->crystal_name;
    xs.push_back(crystal);
    ds.push_back(d);
  }
  assign_datasets(mindx, "LWIDAS", nlprgo, xs, ds, iappnd);
}

void lwcell_(int32_t mindx, const float* cell) {
  if (MtzCheckSubInput(mindx, "LWCELL", 2)) return;
  if (cell[0] < 0.001f) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  MtzFile* mtz = s.mtz.get();
  if (mtz->xtals.empty()) {
    ptq7_lwidx(mtz, "unknown", "unknown", "unknown", cell, 0.0f);
  } else {
    for (auto& x : mtz->xtals)
      if (x->cell[0] == 0.0f) std::copy(cell, cell + 6, x->cell);
  }
  MtzHklcoeffs(cell, s.hkl_coefs);
}

void lwsymm_(int32_t mindx, int32_t nsymx, int32_t nsympx, const float* rsymx,
             std::string_view ltypex, int32_t nspgrx, std::string_view spgrnx,
             std::string_view pgnamx) {
  if (MtzCheckSubInput(mindx, "LWSYMM", 2)) return;
  MtzFile* mtz = mtz_slot(mindx).get();
  // The operator table has 192 places.
  const int nsym = std::clamp(nsymx, 0, MTZ_MAX_SYMOPS);
  float ops[MTZ_MAX_SYMOPS][4][4] = {};
  for (int k = 0; k < nsym; ++k)
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) ops[k][r][c] = rsymx[r + 4 * c + 16 * k];
  const std::string name = text_of(spgrnx);
  if (!mtz->xtals.empty() && mtz->xtals[0]->cell[0] != 0.0f) {
    const float* cell = mtz->xtals[0]->cell;
    if (!ptq7spg_check_symm_cell(nsym, ops, cell)) {
      std::printf(
          " LWSYMM: severe warning - specified symmetry not consistent with cell "
          "dimensions! \n");
      std::printf(" Spacegroup %s \n", name.c_str());
      std::printf(" Cell dimensions %f %f %f %f %f %f \n", cell[0], cell[1], cell[2], cell[3],
                  cell[4], cell[5]);
      ptqerror(1, "Error in spacegroup or cell dimensions.");
      return;
    }
  }
  mtz->nsym = nsym;
  mtz->nsymp = nsympx;
  std::memcpy(mtz->symops, ops, sizeof ops);
  mtz->lattice_type = ltypex.empty() ? ' ' : ltypex[0];
  mtz->spacegroup_num = nspgrx;
  mtz->spacegroup_name = name.substr(0, 20);
  mtz->pointgroup_name = text_of(pgnamx).substr(0, MTZ_POINTGROUP_NAME_LENGTH);
}

void lwtitl_(int32_t mindx, std::string_view ftitle, int32_t flag) {
  if (MtzCheckSubInput(mindx, "LWTITL", 2)) return;
  MtzFile* mtz = mtz_slot(mindx).get();
  const std::string text = text_of(ftitle);
  const std::string present = rtrimmed(mtz->title);
  const std::string title = (flag == 0 || present.empty()) ? text : present + " " + text;
  mtz->title = title.substr(0, MTZ_BATCH_TITLE_LENGTH);
}

int MtzAddHistory(MtzFile* mtz, const char* lines, int nlines) {
  std::vector<char> added;
  for (int i = 0; i < nlines; ++i) {
    const std::string_view line(lines + static_cast<std::ptrdiff_t>(i) * MTZ_HISTORY_LINE,
                                MTZ_HISTORY_LINE);
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos || rt::len_trim(line) == 0) continue;
    std::vector<char> stored(MTZ_HISTORY_LINE, '\0');
    std::memcpy(stored.data(), line.data() + first, MTZ_HISTORY_LINE - first);
    added.insert(added.end(), stored.begin(), stored.end());
  }
  const int n_new = static_cast<int>(added.size()) / MTZ_HISTORY_LINE;
  std::vector<char> block = MtzCallocHist(n_new + mtz->n_history);
  std::copy(added.begin(), added.end(), block.begin());
  std::copy(mtz->history.begin(), mtz->history.end(),
            block.begin() + static_cast<std::ptrdiff_t>(added.size()));
  MtzFreeHist(mtz->history);
  mtz->history = std::move(block);
  mtz->n_history += n_new;
  return mtz->n_history;
}

void lwhist_(int32_t mindx, TextArray hstrng, int32_t nlines) {
  if (MtzCheckSubInput(mindx, "LWHIST", 2)) return;
  std::vector<char> lines(static_cast<std::size_t>(std::max(nlines, 0)) * MTZ_HISTORY_LINE, ' ');
  for (int i = 0; i < nlines; ++i) {
    const std::string_view h = hstrng(i + 1).view().substr(0, MTZ_HISTORY_LINE);
    std::memcpy(&lines[static_cast<std::size_t>(i) * MTZ_HISTORY_LINE], h.data(), h.size());
  }
  MtzAddHistory(mtz_slot(mindx).get(), lines.data(), nlines);
}

void lwhstl_(int32_t mindx, std::string_view hstrng) {
  if (mindx < 1 || mindx > MTZ_MAX_SLOTS) {
    std::printf("Error in lwhstl: mindx out of range!\n");
    return;
  }
  MtzFile* mtz = mtz_slot(mindx).get();
  if (mtz == nullptr) {
    std::printf("Error in lwhstl: mindx not open for write (or read)!\n");
    return;
  }
  std::string text;
  if (const char* program = ptq7ProgramName(nullptr)) text = std::string("From ") + program + " ";
  text += ptq7_utils_date() + " " + ptq7_utils_time() + " " + text_of(hstrng);
  char line[MTZ_HISTORY_LINE] = {};
  std::memcpy(line, text.data(), std::min<std::size_t>(text.size(), MTZ_HISTORY_LINE));
  MtzAddHistory(mtz, line, 1);
}

int ptq7_lwbat(MtzFile* mtz, MtzBatch* batch, int batno, const float* rbatch,
               std::string_view cbatch) {
  if (batch == nullptr) {
    MtzBatch* last = nullptr;
    int i = 0;
    for (MtzBatch* b = mtz->batches.get(); b != nullptr; b = b->next.get(), ++i) {
      if ((mtz->nbat_file == 0 || i >= mtz->nbat_file) && b->batch_number == batno) {
        std::printf(
            "From ptq7_lwbat: warning: attempt to add new batch with existing batch number "
            "%d!\n",
            batno);
        return 0;
      }
      last = b;
    }
    auto fresh = MtzMallocBatch();
    fresh->batch_number = batno;
    batch = fresh.get();
    if (last == nullptr) mtz->batches = std::move(fresh);
    else last->next = std::move(fresh);
  } else if (batch->batch_number != batno) {
    for (const MtzBatch* b = mtz->batches.get(); b != nullptr; b = b->next.get())
      if (b->batch_number == batno) {
        std::printf(
            "From ptq7_lwbat: warning: attempt to change batch number to existing batch "
            "number %d!\n",
            batno);
        return 0;
      }
    batch->batch_number = batno;
  }
  int32_t ints[MTZ_BATCH_INTS];
  std::memcpy(ints, rbatch, sizeof ints);
  MtzArrayToBatch(ints, rbatch + MTZ_BATCH_INTS, batch);
  const std::string_view c = cbatch.substr(0, std::min<std::size_t>(cbatch.find('\0'), 94));
  auto part = [&](std::size_t from, std::size_t n) {
    return from < c.size() ? std::string(c.substr(from, n)) : std::string();
  };
  batch->title = part(0, MTZ_BATCH_TITLE_LENGTH);
  for (int k = 0; k < 3; ++k) batch->axis_labels[k] = part(70 + 8 * static_cast<std::size_t>(k), 8);
  return 1;
}

void lwbat_(int32_t mindx, int32_t batno, const float* rbatch, std::string_view cbatch) {
  if (MtzCheckSubInput(mindx, "LWBAT", 2)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  if (batno == 0) {
    s.mtz->nbat_file = 0;
    MtzFreeBatch(std::move(s.mtz->batches));
    s.read_batch = nullptr;
    return;
  }
  ptq7_lwbat(s.mtz.get(), nullptr, batno, rbatch, cbatch);
  ++s.nbat_written;
}

void lwbtit_(int32_t mindx, int32_t batno, std::string_view tbatch) {
  if (MtzCheckSubInput(mindx, "LWBTIT", 2)) return;
  float rbatch[MTZ_BATCH_WORDS] = {};
  const int32_t head[3] = {MTZ_BATCH_WORDS, MTZ_BATCH_INTS, MTZ_BATCH_REALS};
  std::memcpy(rbatch, head, sizeof head);
  std::string cbatch(tbatch.substr(0, MTZ_BATCH_TITLE_LENGTH));
  cbatch.resize(94, ' ');
  lwbat_(mindx, batno, rbatch, cbatch);
}

void lwbscl_(int32_t mindx, int32_t batno, const float* batscl, int32_t nbatsc) {
  if (MtzCheckSubInput(mindx, "LWBSCL", 2)) return;
  MtzFile* mtz = mtz_slot(mindx).get();
  MtzBatch* b = find_batch(mtz, batno, false);
  if (b == nullptr) {
    std::printf("Error: file on %d has no batch %d ! \n", mindx, batno);
    return;
  }
  float rbatch[MTZ_BATCH_WORDS];
  char cbatch[94];
  ptq7_lrbat(b, rbatch, rt::TextRef(cbatch, 94), 0);
  // The scales start at array word 73; the array has room for 113 of them.
  constexpr int first_scale = MTZ_BATCH_INTS + 43;
  const int n = std::clamp(nbatsc, 0, MTZ_BATCH_WORDS - first_scale);
  const int32_t count = nbatsc;
  std::memcpy(&rbatch[16], &count, sizeof count);
  std::copy(batscl, batscl + n, rbatch + first_scale);
  // The batch is updated where it stands: adding it anew would only meet itself.
  ptq7_lwbat(mtz, b, batno, rbatch, std::string_view(cbatch, 94));
}

int ptq7_lwbsetid(MtzFile* mtz, MtzBatch* batch, const char* xname, const char* dname) {
  const MtzXtal* x = MtzXtalLookup(mtz, xname);
  const MtzSet* s = nullptr;
  if (x != nullptr) s = MtzSetLookup(mtz, ("/" + x->crystal_name + "/" + dname).c_str());
  if (s == nullptr) {
    std::printf("From ptq7_lwbsetid: warning: dataset id not found!\n");
    return 0;
  }
  batch->dataset_id = s->set_id;
  return 1;
}

void lwbsetid_(int32_t mindx, int32_t batno, std::string_view pname, std::string_view dname) {
  set_batch_dataset(mindx, "LWBSETID", batno, pname, dname);
}

void lwbsetidx_(int32_t mindx, int32_t batno, std::string_view xname, std::string_view dname) {
  set_batch_dataset(mindx, "LWBSETIDX", batno, xname, dname);
}
