// The reflection-file hierarchy: defaults, column values, capacities, path
// look-ups, column moves and counts; batch arrays, batch ordering and
// resolution limits.
#include "reflections/mtz_hierarchy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "mtz_image.h"
#include "reflections/mtz_batch.h"
#include "support/capture.h"

namespace {

using mtz_test::bits;

TEST(MtzHierarchy, MallocDefaults) {
  const int nset[1] = {1};
  auto mtz = MtzMalloc(1, nset);
  ASSERT_TRUE(mtz);
  ASSERT_EQ(MtzNxtal(mtz.get()), 1);
  const MtzXtal* x = MtzIxtal(mtz.get(), 0);
  EXPECT_EQ(x->xtal_id, 1);
  EXPECT_EQ(x->crystal_name.substr(0, 10), "NULL_xname");
  EXPECT_EQ(x->crystal_name.size(), 16u);
  EXPECT_EQ(x->crystal_name.find_first_not_of("0123456789", 10), std::string::npos);
  EXPECT_EQ(x->project_name, "NULL_pname");
  ASSERT_EQ(MtzNsetsInXtal(x), 1);
  EXPECT_EQ(MtzIsetInXtal(x, 0)->set_id, 0);
  EXPECT_EQ(MtzIsetInXtal(x, 0)->dataset_name, "NULL_dname");
  EXPECT_STREQ(mtz->missing_number_flag, "NAN");
  EXPECT_EQ(mtz->reso_max, 0.0f);
  EXPECT_EQ(mtz->reso_min, 999.0f);
  EXPECT_EQ(mtz->refs_in_memory, 1);
}

TEST(MtzHierarchy, NewColumnsHoldTheMissingValue) {
  auto mtz = MtzMalloc(1, std::vector<int>{1}.data());
  MtzSet* s = MtzIsetInXtal(MtzIxtal(mtz.get(), 0), 0);
  const MtzCol* nan_col = MtzAddColumn(mtz.get(), s, "F", "F");
  ASSERT_EQ(nan_col->values.size(), 2000u);
  for (float v : nan_col->values) ASSERT_EQ(bits(v), mtz_test::NAN_WORD);
  const float minus_one = -1.0f;
  std::memcpy(mtz->missing_number_flag, &minus_one, 4);
  mtz->nref = 7;
  const MtzCol* real_col = MtzAddColumn(mtz.get(), s, "SIGF", "Q");
  EXPECT_EQ(real_col->values, std::vector<float>(7, -1.0f));
  mtz->refs_in_memory = 0;
  EXPECT_TRUE(MtzAddColumn(mtz.get(), s, "X", "R")->values.empty());
}

TEST(MtzHierarchy, TenThousandColumnsPerDataset) {
  auto mtz = MtzMalloc(1, std::vector<int>{2}.data());
  mtz->refs_in_memory = 0;
  MtzSet* full = MtzIsetInXtal(MtzIxtal(mtz.get(), 0), 0);
  for (int i = 0; i < 10000; ++i) ASSERT_NE(MtzAddColumn(mtz.get(), full, "C", "R"), nullptr);
  const std::string out =
      captured([&] { EXPECT_EQ(MtzAddColumn(mtz.get(), full, "C", "R"), nullptr); });
  EXPECT_EQ(out, "MtzAddColumn: No more columns! \n");
  EXPECT_NE(MtzAddColumn(mtz.get(), MtzIsetInXtal(MtzIxtal(mtz.get(), 0), 1), "C", "R"), nullptr);
}

TEST(MtzHierarchy, LongNamesAreCut) {
  auto mtz = MtzMalloc(0, nullptr);
  const std::string long_name(80, 'n');
  MtzXtal* x = MtzAddXtal(mtz.get(), long_name.c_str(), long_name.c_str(), nullptr);
  MtzSet* s = MtzAddDataset(mtz.get(), x, long_name.c_str(), 1.0f);
  const MtzCol* c = MtzAddColumn(mtz.get(), s, long_name.c_str(), "FQ9");
  EXPECT_EQ(x->crystal_name.size(), 64u);
  EXPECT_EQ(x->project_name.size(), 64u);
  EXPECT_EQ(s->dataset_name.size(), 64u);
  EXPECT_EQ(c->label.size(), 30u);
  EXPECT_EQ(c->type, "FQ");
}

// Crystal x with dataset native holding FP, crystal y with dataset deriv holding FP.
std::unique_ptr<MtzFile> two_crystals(MtzCol** in_x, MtzCol** in_y) {
  auto mtz = MtzMalloc(0, nullptr);
  mtz->refs_in_memory = 0;
  const float cell[6] = {10, 10, 10, 90, 90, 90};
  MtzXtal* x = MtzAddXtal(mtz.get(), "x", "p", cell);
  MtzXtal* y = MtzAddXtal(mtz.get(), "y", "p", cell);
  *in_x = MtzAddColumn(mtz.get(), MtzAddDataset(mtz.get(), x, "native", 1.0f), "FP", "F");
  *in_y = MtzAddColumn(mtz.get(), MtzAddDataset(mtz.get(), y, "deriv", 1.5f), "FP", "F");
  return mtz;
}

TEST(MtzHierarchy, PathLookups) {
  MtzCol *in_x, *in_y;
  auto mtz = two_crystals(&in_x, &in_y);
  struct Case {
    const char* label;
    const char* path;
    MtzCol* expected;
  };
  const Case cases[] = {
      {"label alone finds the first", "FP", in_x},
      {"dataset and label", "deriv/FP", in_y},
      {"wildcard crystal", "*/deriv/FP", in_y},
      {"full path", "/y/deriv/FP", in_y},
      {"wrong crystal", "/x/deriv/FP", nullptr},
      {"leading slash on two components", "/native/FP", nullptr},
      {"unknown label", "SIGFP", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(MtzColLookup(mtz.get(), c.path), c.expected);
  }
  std::string out;
  MtzRJustPath(out, "FP", 3);
  EXPECT_EQ(out, "/*/*/FP");
  EXPECT_EQ(MtzPathMatch("", ""), 1);
  EXPECT_EQ(MtzPathMatch("", "/x"), 0);
  EXPECT_EQ(MtzColPath(mtz.get(), in_y), "/y/deriv/FP");
  EXPECT_EQ(MtzSetLookup(mtz.get(), "native"), MtzColSet(mtz.get(), in_x));
  EXPECT_EQ(MtzXtalLookup(mtz.get(), "y"), MtzIxtal(mtz.get(), 1));
  EXPECT_EQ(MtzColLookup(mtz.get(), std::string(220, 'F').c_str()), nullptr);
}

TEST(MtzHierarchy, AssignColumnCreatesAndKeeps) {
  MtzCol *in_x, *in_y;
  auto mtz = two_crystals(&in_x, &in_y);
  MtzAssignColumn(mtz.get(), in_x, "newx", "newset");
  ASSERT_EQ(MtzNxtal(mtz.get()), 3);
  const MtzXtal* nx = MtzIxtal(mtz.get(), 2);
  EXPECT_EQ(nx->crystal_name, "newx");
  EXPECT_EQ(nx->project_name, "newx");
  EXPECT_EQ(nx->xtal_id, 3);
  EXPECT_EQ(nx->cell[0], 0.0f);
  const MtzSet* ns = MtzIsetInXtal(nx, 0);
  EXPECT_EQ(ns->set_id, 2);
  EXPECT_EQ(ns->wavelength, 0.0f);
  EXPECT_EQ(MtzColSet(mtz.get(), in_x), ns);
  // The arrays handed out are the live ones: they follow the move.
  ASSERT_EQ(MtzXtals(mtz.get()).size(), 3u);
  ASSERT_EQ(MtzSetsInXtal(nx).size(), 1u);
  ASSERT_EQ(MtzColsInSet(ns).size(), 1u);
  EXPECT_EQ(MtzColsInSet(ns)[0].get(), in_x);
  EXPECT_EQ(MtzNcolsInSet(MtzIsetInXtal(MtzIxtal(mtz.get(), 0), 0)), 0);
  MtzAssignColumn(mtz.get(), in_x, "x", "native");
  EXPECT_EQ(MtzNxtal(mtz.get()), 3);
  EXPECT_EQ(MtzNcolsInSet(ns), 0);
  EXPECT_EQ(MtzColPath(mtz.get(), in_x), "/x/native/FP");
  // No HKL_base dataset: nothing moves.
  EXPECT_EQ(MtzAssignHKLtoBase(mtz.get()), 1);
  EXPECT_EQ(MtzNcol(mtz.get()), 2);
}

TEST(MtzHierarchy, CountsAndListings) {
  MtzCol *in_x, *in_y;
  auto mtz = two_crystals(&in_x, &in_y);
  MtzAddColumn(mtz.get(), MtzColSet(mtz.get(), in_y), "M/ISYM", "Y")->label = "M_ISYM";
  MtzToggleColumn(in_x);
  EXPECT_EQ(MtzNumActiveCol(mtz.get()), 2);
  EXPECT_EQ(MtzNumActiveSet(mtz.get()), 1);
  EXPECT_EQ(MtzNumActiveXtal(mtz.get()), 1);
  // A batch of the inactive dataset makes it active again.
  mtz->batches = MtzMallocBatch();
  mtz->batches->dataset_id = 0;
  EXPECT_EQ(MtzNumActiveSet(mtz.get()), 2);
  char labels[3][31], types[3][3];
  int ids[3];
  ASSERT_EQ(MtzListColumn(mtz.get(), labels, types, ids), 3);
  EXPECT_STREQ(labels[2], "M/ISYM");
  EXPECT_STREQ(types[2], "Y");
  EXPECT_EQ(ids[2], 1);
}

TEST(BatchArrays, RoundTripAndDetectorBlocks) {
  MtzBatch b;
  b.n_detectors = 1;
  b.dataset_id = 3;
  b.cell_fix_flags[5] = -1;
  b.phi_range = 0.5f;
  b.gonio_vectors[2][2] = 1.0f;
  b.divergence[1] = 0.01f;
  b.det_distance[0] = 150.0f;
  b.det_distance[1] = 250.0f;
  b.det_pixel_limits[1][3] = 2048.0f;
  int32_t ints[29];
  float reals[156];
  ASSERT_EQ(MtzBatchToArray(&b, ints, reals), 1);
  EXPECT_EQ(ints[0], 0);
  EXPECT_EQ(ints[9], -1);
  EXPECT_EQ(ints[19], 1);
  EXPECT_EQ(ints[20], 3);
  EXPECT_EQ(reals[47], 0.5f);
  EXPECT_EQ(reals[67], 1.0f);
  EXPECT_EQ(reals[90], 0.01f);
  EXPECT_EQ(reals[111], 150.0f);
  for (int w = 117; w <= 122; ++w) EXPECT_EQ(reals[w], 0.0f) << "word " << w;
  // Reading an array fills both detector blocks whatever the count says.
  ints[19] = 0;
  reals[117] = 250.0f;
  reals[122] = 2048.0f;
  MtzBatch back;
  MtzArrayToBatch(ints, reals, &back);
  EXPECT_EQ(back.det_distance[1], 250.0f);
  EXPECT_EQ(back.det_pixel_limits[1][3], 2048.0f);
  EXPECT_EQ(back.gonio_vectors[2][2], 1.0f);
  EXPECT_EQ(back.cell_fix_flags[5], -1);
  EXPECT_EQ(MtzBatchToArray(nullptr, ints, reals), 0);
  b.n_detectors = 7;  // more than the record holds
  ASSERT_EQ(MtzBatchToArray(&b, ints, reals), 1);
  EXPECT_EQ(reals[117], 250.0f);
  EXPECT_EQ(reals[123], 0.0f);
}

std::unique_ptr<MtzBatch> batch_list(const std::vector<int>& numbers) {
  std::unique_ptr<MtzBatch> head;
  for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
    auto b = MtzMallocBatch();
    b->batch_number = *it;
    b->spare_int = static_cast<int>(numbers.rend() - it);  // original position, 1-based
    b->next = std::move(head);
    head = std::move(b);
  }
  return head;
}

TEST(BatchArrays, SortByNumberKeepsEqualOrder) {
  struct Case {
    const char* label;
    std::vector<int> numbers;
    std::vector<int> order;  // original positions after sorting
    bool note;
  };
  const Case cases[] = {
      {"out of order", {3, 1, 2}, {2, 3, 1}, true},
      {"equal numbers stay in order", {2, 1, 2, 1}, {2, 4, 1, 3}, true},
      {"already in order", {1, 2, 2, 5}, {1, 2, 3, 4}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto head = batch_list(c.numbers);
    const MtzBatch* before = head.get();
    const std::string out =
        captured([&] { head = sort_batches(std::move(head), static_cast<int>(c.numbers.size())); });
    EXPECT_EQ(out, c.note ? "\n Note: Sorting batch headers prior to writing to file... \n\n" : "");
    if (!c.note) {
      EXPECT_EQ(head.get(), before);
    }
    std::vector<int> got;
    for (const MtzBatch* b = head.get(); b; b = b->next.get()) got.push_back(b->spare_int);
    EXPECT_EQ(got, c.order);
  }
}

TEST(BatchArrays, ResolutionLimitsOverCrystals) {
  auto mtz = MtzMalloc(2, std::vector<int>{0, 0}.data());
  float lo, hi;
  MtzResLimits(mtz.get(), lo, hi);
  mtz->xtals[0]->reso_min = 0.01f;
  mtz->xtals[0]->reso_max = 0.5f;
  mtz->xtals[1]->reso_min = 0.02f;
  mtz->xtals[1]->reso_max = 0.25f;
  MtzResLimits(mtz.get(), lo, hi);
  EXPECT_EQ(lo, 0.01f);
  EXPECT_EQ(hi, 0.5f);
  auto empty = MtzMalloc(0, nullptr);
  MtzResLimits(empty.get(), lo, hi);
  EXPECT_EQ(lo, 100.0f);
  EXPECT_EQ(hi, 0.0f);
}

}  // namespace
