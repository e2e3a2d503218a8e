// Rows written through lwrefl_ against the record-level routine called on
// every row (as lwrefl_ once did): the same file, byte for byte, and the
// same messages and statuses, whatever happens between the rows.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "mtz_files.h"
#include "reflections/cmtzlib.h"
#include "reflections/mtz_hierarchy.h"
#include "reflections/mtz_write_api.h"

namespace {

using namespace mtz_test;

constexpr float kInf = std::numeric_limits<float>::infinity();
const float kNaN = from_bits(NAN_WORD);

rt::FixedText<30> LABELS[6] = {"H", "K", "L", "FP", "SIGFP", "PHI"};
rt::FixedText<30> TYPES[6] = {"H", "H", "H", "F", "Q", "P"};

// First rows of windows of kSpikeRows unusual rows (none unless a test sets them).
constexpr int kSpikeRows = 24;
std::vector<int> spikes;

// Row i of six values; `odd` puts missing numbers, NaNs and infinities in.
std::vector<float> row(int i, bool odd) {
  std::vector<float> v = {static_cast<float>(i % 7 - 3), static_cast<float>(i % 5),
                          static_cast<float>(i / 3 + 1), 0.5f * static_cast<float>(i),
                          -0.0f, 100.0f - static_cast<float>(i)};
  if (odd && i == 1) v[3] = kNaN;      // a range that starts on the second row
  if (odd && i % 4 == 2) v[4] = kInf;  // missing under a NaN flag, else a value
  if (odd && i % 5 == 3) v[5] = -999.0f;
  if (odd && i == 6) v[1] = std::numeric_limits<float>::quiet_NaN();
  // Rows that stand out from their neighbours: each window holds the
  // extremes of some columns at its first and its last row.
  for (const int first : spikes)
    if (i >= first && i < first + kSpikeRows) {
      const float w = static_cast<float>(i - first);
      v[2] = 100.0f + w;       // the highest resolution at the window's end
      v[3] = 1e6f - w;         // the largest amplitude at its start
      v[4] = -1e6f - w;        // the lowest sigma at its end
      v[5] = -1e6f + w;        // the lowest phase at its start
    }
  return v;
}

// One row through lwrefl_, or through ptq7_lwrefl as lwrefl_ did before it
// planned its rows.
void put(bool reference, const std::vector<float>& r, int32_t& iflag) {
  if (!reference) return lwrefl_noexit_(1, r.data(), iflag);
  MtzIndexSlot& s = mtz_index_slot(1);
  const int ncol = std::min(MtzNumActiveCol(s.mtz.get()), MTZ_MAX_LOOKUP);
  iflag = ptq7_lwrefl(s.mtz.get(), r.data(), s.col_out, ncol, ++s.nref_written) == 0 ? 1 : 0;
}

struct Written {
  std::string file, printed;
  std::vector<int> failed_rows;
  int close_flag = 0;
};

// nrows rows on index 1, `between` called before row `at`.
Written write(bool reference, int nrows, bool odd, const std::function<void()>& setup,
              int at = 0, const std::function<void()>& between = {}, int ncol = 6) {
  reflections::mtz_slots_reset_for_tests();
  TempFile t;
  Written w;
  w.printed = captured([&] {
    lwopen_(1, t.c_str());
    lwassn_(1, TextArray(LABELS), ncol, TextArray(TYPES), 0);
    lwidx_(1, "proj", "xtal", "native", CELL, 1.0f);
    lwcell_(1, CELL);
    setup();
    for (int i = 1; i <= nrows; ++i) {
      if (i == at) between();
      int32_t iflag = 0;
      put(reference, row(i, odd), iflag);
      if (iflag != 0) w.failed_rows.push_back(i);
    }
    lwclos_noexit_(1, 0, w.close_flag);
  });
  w.file = t.read();
  // The two runs write to different places.
  for (std::size_t pos; (pos = w.printed.find(t.path())) != std::string::npos;)
    w.printed.replace(pos, t.path().size(), "OUT");
  return w;
}

// Every index free before and after each test.
class MtzRowWriter : public testing::Test {
 protected:
  void SetUp() override { reflections::mtz_slots_reset_for_tests(); }
  void TearDown() override {
    reflections::mtz_slots_reset_for_tests();
    spikes.clear();
  }
};

void expect_same(const Written& ours, const Written& reference) {
  EXPECT_EQ(ours.file, reference.file);
  EXPECT_EQ(ours.printed, reference.printed);
  EXPECT_EQ(ours.failed_rows, reference.failed_rows);
  EXPECT_EQ(ours.close_flag, reference.close_flag);
}

TEST_F(MtzRowWriter, SameFileAsTheRowByRowRoutine) {
  const float cell2[6] = {30, 40, 90, 90, 100, 90};
  rt::FixedText<10> xn[6] = {"", "", "", "x2", "xtal", "x2"};
  rt::FixedText<10> dn[6] = {"", "", "", "d2", "native", "d2"};
  struct Case {
    const char* label;
    bool odd;
    std::function<void()> setup;
  } cases[] = {
      {"plain rows", false, [] {}},
      {"NaN flag: missing values and infinities", true, [] {}},
      {"number flag: NaN widens only a range it starts",
       true,
       [] {
         float flag = -999.0f;
         bool set = true;
         set_magic_(1, flag, set);
       }},
      {"columns in two crystals of different cells, written out of order",
       true,
       [&] {
         lwidx_(1, "proj", "x2", "d2", cell2, 2.0f);
         lwidasx_(1, 6, TextArray(xn), TextArray(dn), 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    expect_same(write(false, 40, c.odd, c.setup), write(true, 40, c.odd, c.setup));
  }
}

TEST_F(MtzRowWriter, CallsBetweenRowsAreSeenByTheNextRow) {
  rt::FixedText<30> fewer[4] = {"H", "K", "L", "FP"};
  rt::FixedText<30> fewer_types[4] = {"H", "H", "H", "F"};
  const float cell2[6] = {20, 20, 20, 90, 90, 120};
  // A record changed behind the index's back, through a pointer taken
  // before the rows: rows held since then keep the flag they came under.
  MtzFile* record = nullptr;
  const auto take_record = [&] { record = mtz_slot(1).get(); };
  struct Case {
    const char* label;
    std::function<void()> between;
    std::function<void()> setup = [] {};
  } cases[] = {
      {"columns reassigned", [&] { lwassn_(1, TextArray(fewer), 4, TextArray(fewer_types), 0); }},
      {"cell changed", [&] { lwcell_(1, cell2); }},
      {"missing number changed",
       [] {
         float flag = 100.0f - 12.0f;
         bool set = true;
         set_magic_(1, flag, set);
       }},
      {"missing number changed in the record itself",
       [&] {
         const float flag = 100.0f - 12.0f;
         std::memcpy(record->missing_number_flag, &flag, sizeof flag);
       },
       take_record},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const Written ours = write(false, 30, true, c.setup, 12, c.between);
    expect_same(ours, write(true, 30, true, c.setup, 12, c.between));
  }
}

TEST_F(MtzRowWriter, FailedWritesAreReportedOnTheSameRows) {
  // Past a file-size limit every write fails; the rows go out in blocks of
  // 1 MiB, so the failures show from the row that does not fit the first.
  rlimit old;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  void (*old_handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 100000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const Written ours = write(false, 50000, true, [] {});
  const Written reference = write(true, 50000, true, [] {});
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, old_handler);
  ASSERT_FALSE(ours.failed_rows.empty());
  EXPECT_EQ(ours.failed_rows.front(), (1 << 20) / 24 + 1);
  EXPECT_EQ(ours.failed_rows.back(), 50000);
  EXPECT_EQ(ours.close_flag, 1);
  expect_same(ours, reference);
}

TEST_F(MtzRowWriter, RowsAcrossBlocksAndBufferFlushes) {
  // Rows of 4, 5 and 6 values (one lane of four, two overlapping, two
  // overlapping by two): unusual rows on both sides of the ends of the
  // row writer's blocks and across the row that straddles the end of the
  // 1 MiB output buffer.
  for (const int ncol : {4, 5, 6}) {
    SCOPED_TRACE(ncol);
    const int row_bytes = 4 * ncol;
    const int per_block = (1 << 14) / ((ncol + 3) / 4 * 4);
    const int per_buffer = (1 << 20) / row_bytes;
    spikes = {per_block - kSpikeRows / 2, per_buffer - kSpikeRows / 2,
              per_buffer + per_block - kSpikeRows / 2};
    const int nrows = per_buffer + 2 * per_block;
    expect_same(write(false, nrows, true, [] {}, 0, {}, ncol),
                write(true, nrows, true, [] {}, 0, {}, ncol));
    if (ncol != 6) continue;
    // A call between rows settles the rows pending in the buffer.
    const int at = per_buffer - 3;
    const auto between = [] { lwtitl_(1, "between rows", 0); };
    expect_same(write(false, nrows, true, [] {}, at, between, ncol),
                write(true, nrows, true, [] {}, at, between, ncol));
  }
}

TEST_F(MtzRowWriter, LongRowsAcrossBlocks) {
  // Rows of 18 values take the ranges one lane of columns at a time.
  constexpr int kCols = 18;
  rt::FixedText<30> labels[kCols], types[kCols];
  for (int j = 0; j < kCols; ++j) {
    labels[j] = j < 3 ? LABELS[j] : rt::FixedText<30>(('V' + std::to_string(j)).c_str());
    types[j] = j < 3 ? "H" : "F";
  }
  const auto run = [&](bool reference) {
    reflections::mtz_slots_reset_for_tests();
    TempFile t;
    Written w;
    w.printed = captured([&] {
      lwopen_(1, t.c_str());
      lwassn_(1, TextArray(labels), kCols, TextArray(types), 0);
      lwidx_(1, "proj", "xtal", "native", CELL, 1.0f);
      lwcell_(1, CELL);
      for (int i = 1; i <= 3000; ++i) {
        std::vector<float> r = row(i, true);
        for (int j = 6; j < kCols; ++j)
          r.push_back(static_cast<float>((i * (j + 7)) % 1013) - (i == 1500 + j ? 5000.0f : 0.0f));
        int32_t iflag = 0;
        put(reference, r, iflag);
        if (iflag != 0) w.failed_rows.push_back(i);
      }
      lwclos_noexit_(1, 0, w.close_flag);
    });
    w.file = t.read();
    for (std::size_t pos; (pos = w.printed.find(t.path())) != std::string::npos;)
      w.printed.replace(pos, t.path().size(), "OUT");
    return w;
  };
  expect_same(run(false), run(true));
}

}  // namespace
