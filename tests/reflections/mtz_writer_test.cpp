// The reflection-file writer: a file read and written back reads the same,
// bit for bit, and writes the same bytes again; the header position, inactive
// columns, batch lists and failed writes; rows held in memory written in
// blocks give the bytes of one write a row.
#include "reflections/mtz_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mtz_files.h"
#include "reflections/mtz_batch.h"
#include "reflections/mtz_hierarchy.h"
#include "reflections/mtz_row_index.h"
#include "suite/ptq7_errno.h"

namespace {

using namespace mtz_test;

int32_t le_word(const std::string& bytes, std::size_t at) {
  int32_t v;
  std::memcpy(&v, bytes.data() + at, 4);
  return v;
}

std::unique_ptr<MtzFile> put_and_get(MtzFile* mtz, const TempFile& t) {
  int ok = 0;
  captured([&] { ok = MtzPut(mtz, t.c_str()); });
  EXPECT_EQ(ok, 1);
  return read_file(t.read(), 1);
}

void expect_same_file(const MtzFile& a, const MtzFile& b) {
  EXPECT_EQ(a.title, b.title);
  EXPECT_EQ(a.nref, b.nref);
  EXPECT_EQ(std::memcmp(a.missing_number_flag, b.missing_number_flag, 4), 0);
  EXPECT_EQ(a.nsym, b.nsym);
  EXPECT_EQ(std::memcmp(a.symops, b.symops, sizeof a.symops), 0);
  EXPECT_EQ(a.spacegroup_name, b.spacegroup_name);
  EXPECT_EQ(a.history, b.history);
  ASSERT_EQ(a.xtals.size(), b.xtals.size());
  for (std::size_t i = 0; i < a.xtals.size(); ++i) {
    const MtzXtal &xa = *a.xtals[i], &xb = *b.xtals[i];
    EXPECT_EQ(xa.crystal_name, xb.crystal_name);
    EXPECT_EQ(xa.project_name, xb.project_name);
    EXPECT_EQ(std::memcmp(xa.cell, xb.cell, sizeof xa.cell), 0);
    ASSERT_EQ(xa.sets.size(), xb.sets.size());
    for (std::size_t j = 0; j < xa.sets.size(); ++j) {
      const MtzSet &sa = *xa.sets[j], &sb = *xb.sets[j];
      EXPECT_EQ(sa.set_id, sb.set_id);
      EXPECT_EQ(sa.dataset_name, sb.dataset_name);
      EXPECT_EQ(sa.wavelength, sb.wavelength);
      ASSERT_EQ(sa.cols.size(), sb.cols.size());
      for (std::size_t k = 0; k < sa.cols.size(); ++k) {
        EXPECT_EQ(sa.cols[k]->label, sb.cols[k]->label);
        EXPECT_EQ(sa.cols[k]->type, sb.cols[k]->type);
        EXPECT_EQ(std::memcmp(sa.cols[k]->values.data(), sb.cols[k]->values.data(),
                              sizeof(float) * static_cast<std::size_t>(a.nref)),
                  0)
            << sa.cols[k]->label;
      }
    }
  }
  ASSERT_EQ(MtzNbat(&a), MtzNbat(&b));
  for (const MtzBatch *ba = a.batches.get(), *bb = b.batches.get(); ba;
       ba = ba->next.get(), bb = bb->next.get()) {
    int32_t ia[29], ib[29];
    float ra[156], rb[156];
    MtzBatchToArray(ba, ia, ra);
    MtzBatchToArray(bb, ib, rb);
    EXPECT_EQ(ba->batch_number, bb->batch_number);
    EXPECT_EQ(ba->title, bb->title);
    EXPECT_EQ(ba->axis_labels[2], bb->axis_labels[2]);
    EXPECT_EQ(std::memcmp(ia, ib, sizeof ia), 0);
    EXPECT_EQ(std::memcmp(ra, rb, sizeof ra), 0);
  }
}

TEST(MtzWriter, FileReadBackBitForBitAndWrittenAgainByteForByte) {
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "from a big-endian file" : "from a little-endian file");
    auto first = read_file(build(big, FileLayout{}), 1);
    ASSERT_TRUE(first);
    TempFile t1, t2;
    auto second = put_and_get(first.get(), t1);
    ASSERT_TRUE(second);
    expect_same_file(*first, *second);
    EXPECT_EQ(second->sort_order[1], MtzColLookup(second.get(), "K"));
    auto third = put_and_get(second.get(), t2);
    ASSERT_TRUE(third);
    const std::string bytes = t1.read();
    EXPECT_EQ(bytes, t2.read());
    EXPECT_EQ(bytes.substr(0, 4), "MTZ ");
    EXPECT_EQ(bytes.substr(8, 4), std::string("\x44\x41\0\0", 4));
    EXPECT_EQ(le_word(bytes, 4), 3 * 5 + 21);
    EXPECT_EQ(bytes.substr(140, 80), fmt("%-80s", "VERS MTZ:V1.1"));
    EXPECT_NE(bytes.find(fmt("%-80s", "SYMM X+1/2,  -Y+1/2,  -Z")), std::string::npos);
    EXPECT_NE(bytes.find(fmt("%-80s", "SYMINF   4  4 P    18            'P 21 21 2' PG222")),
              std::string::npos);
  }
}

TEST(MtzWriter, HeaderPositionAndInactiveColumns) {
  auto mtz = MtzMalloc(1, std::vector<int>{1}.data());
  TempFile empty;
  captured([&] { ASSERT_EQ(MtzPut(mtz.get(), empty.c_str()), 1); });
  EXPECT_EQ(le_word(empty.read(), 4), 21);
  EXPECT_EQ(empty.read().substr(80, 13), "VERS MTZ:V1.1");

  mtz->nref = 10;
  MtzSet* s = MtzIsetInXtal(MtzIxtal(mtz.get(), 0), 0);
  for (const char* label : {"A", "B", "C", "D", "E", "OFF"}) MtzAddColumn(mtz.get(), s, label, "R");
  MtzToggleColumn(MtzColLookup(mtz.get(), "OFF"));
  TempFile ten;
  captured([&] { ASSERT_EQ(MtzPut(mtz.get(), ten.c_str()), 1); });
  const std::string bytes = ten.read();
  EXPECT_EQ(le_word(bytes, 4), 71);
  EXPECT_EQ(bytes.substr(280, 13), "VERS MTZ:V1.1");
  EXPECT_NE(bytes.find("NCOL        5           10        0"), std::string::npos);
  EXPECT_EQ(bytes.find("COLUMN OFF"), std::string::npos);
}

TEST(MtzWriter, UnsetSymmetryWrittenSoThatItReadsBackUnset) {
  auto mtz = MtzMalloc(1, std::vector<int>{1}.data());
  TempFile unset;
  auto back = put_and_get(mtz.get(), unset);
  ASSERT_TRUE(back) << "a file written without symmetry must read back";
  EXPECT_NE(unset.read().find(fmt("%-80s", "SYMINF   0  0 ''     0                     ''    ''")),
            std::string::npos);
  EXPECT_EQ(back->nsym, 0);
  EXPECT_EQ(back->lattice_type, ' ');
  EXPECT_EQ(back->spacegroup_name, "");
  EXPECT_EQ(back->pointgroup_name, "");

  mtz->lattice_type = 'C';
  mtz->pointgroup_name = "PG 2";
  TempFile blank_inside;
  back = put_and_get(mtz.get(), blank_inside);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->lattice_type, 'C');
  EXPECT_EQ(back->pointgroup_name, "PG 2");
}

TEST(MtzWriter, BatchListTwelveNumbersARecordAfterSorting) {
  auto mtz = MtzMalloc(1, std::vector<int>{1}.data());
  mtz->lattice_type = 'P';
  mtz->spacegroup_name = "P 1";
  mtz->pointgroup_name = "PG1";
  MtzBatch* last = nullptr;
  for (int n = 13; n >= 1; --n) {
    auto b = MtzMallocBatch();
    b->batch_number = n;
    MtzBatch* added = b.get();
    if (last) last->next = std::move(b);
    else mtz->batches = std::move(b);
    last = added;
  }
  TempFile t;
  std::string out;
  out = captured([&] { ASSERT_EQ(MtzPut(mtz.get(), t.c_str()), 1); });
  EXPECT_EQ(out, "\n Note: Sorting batch headers prior to writing to file... \n\n");
  const std::string bytes = t.read();
  std::string first = "BATCH ", second = "BATCH ";
  for (int n = 1; n <= 12; ++n) first += fmt("%6d", n);
  second += fmt("%6d", 13);
  EXPECT_EQ(first.size(), 78u);
  EXPECT_NE(bytes.find(fmt("%-80s", first.c_str())), std::string::npos);
  EXPECT_NE(bytes.find(fmt("%-80s", second.c_str())), std::string::npos);
  auto back = read_file(bytes, 1);
  ASSERT_TRUE(back);
  EXPECT_EQ(MtzNbat(back.get()), 13);
  EXPECT_EQ(back->batches->batch_number, 1);
}

TEST(MtzWriter, FailedWritesAreReportedAsFailures) {
  auto mtz = read_file(build(false, FileLayout{}), 1);
  ASSERT_TRUE(mtz);
  TempFile readonly;
  std::string out = captured([&] { EXPECT_EQ(MtzPut(mtz.get(), "/tmp"), 0); });
  EXPECT_EQ(ptq7_errno, ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_ERROR, 4));
  EXPECT_NE(out.find("raised in MtzOpenForWrite"), std::string::npos);
  // An output that refuses every write: a read-only descriptor.
  readonly.write("");
  for (int in_memory : {1, 0}) {
    SCOPED_TRACE(in_memory ? "rows and header" : "header only");
    const int fd = ::open(readonly.c_str(), O_RDONLY);
    mtz->file_out.reset(ptq7_file_open_fd(fd, PTQ7_FILE_OPEN_WRITE));
    mtz->refs_in_memory = in_memory;
    captured([&] { EXPECT_EQ(MtzPut(mtz.get(), nullptr), 0); });
    mtz->file_out.reset();
    ::close(fd);
  }
  EXPECT_EQ(ptq7_errno, ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_ERROR, 7));
  captured([] { EXPECT_EQ(MtzWrefl(nullptr, 3, nullptr), 0); });
  EXPECT_EQ(ptq7_errno, ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_ERROR, 2));
}

TEST(MtzWriter, DeleteReflectionMovesLaterValuesDown) {
  auto mtz = read_file(build(false, FileLayout{}), 1);
  ASSERT_TRUE(mtz);
  MtzDeleteRefl(mtz.get(), 0);
  EXPECT_EQ(mtz->nref, 2);
  EXPECT_EQ(bits(MtzColLookup(mtz.get(), "FP")->values[0]), NAN_WORD);
  auto kept = read_file(build(false, FileLayout{}), 0);
  EXPECT_EQ(MtzDeleteRefl(kept.get(), 0), 1);
  EXPECT_EQ(kept->nref, 3);
}

}  // namespace

namespace {

// The file as written with one write a row: the rows through MtzWrefl, then
// the header by MtzPut onto the same file.  The resolutions come from an
// earlier MtzPut of the rows held, as they would with them.
std::string written_a_row_at_a_time(MtzFile* mtz, const TempFile& t) {
  std::vector<const MtzCol*> cols;
  for (const auto& x : mtz->xtals)
    for (const auto& s : x->sets)
      for (const auto& c : s->cols)
        if (c->active) cols.push_back(c.get());
  const float missing = reflections::missing_value(mtz);
  captured([&] {
    mtz->file_out = MtzOpenForWrite(t.c_str());
    ASSERT_TRUE(mtz->file_out);
    std::vector<float> row(cols.size());
    for (std::size_t i = 0; i < static_cast<std::size_t>(mtz->nref); ++i) {
      for (std::size_t k = 0; k < cols.size(); ++k)
        row[k] = i < cols[k]->values.size() ? cols[k]->values[i] : missing;
      ASSERT_EQ(MtzWrefl(mtz->file_out.get(), static_cast<int>(row.size()), row.data()),
                static_cast<int>(row.size()));
    }
    mtz->refs_in_memory = 0;
    EXPECT_EQ(MtzPut(mtz, nullptr), 1);
    mtz->refs_in_memory = 1;
    mtz->file_out.reset();
  });
  return t.read();
}

// Columns of `rows` values (the last shorter by a few: missing there) and
// one switched off, more values than one block of the writer holds.
std::unique_ptr<MtzFile> many_rows(int rows) {
  auto mtz = MtzMalloc(1, std::vector<int>{1}.data());
  mtz->nref = rows;
  MtzSet* s = MtzIsetInXtal(MtzIxtal(mtz.get(), 0), 0);
  int k = 0;
  for (const char* label : {"H", "K", "L", "OFF", "F"}) {
    MtzCol* c = MtzAddColumn(mtz.get(), s, label, k < 3 ? "H" : "F");
    c->values.resize(static_cast<std::size_t>(label[0] == 'F' ? rows - 3 : rows));
    for (std::size_t i = 0; i < c->values.size(); ++i)
      c->values[i] = static_cast<float>(i % 97) + 0.25f * static_cast<float>(k);
    ++k;
  }
  MtzToggleColumn(MtzColLookup(mtz.get(), "OFF"));
  return mtz;
}

}  // namespace

TEST(MtzWriter, RowsWrittenInBlocksGiveTheBytesOfOneWriteARow) {
  struct Case {
    const char* label;
    std::unique_ptr<MtzFile> mtz;
  } cases[] = {
      {"little-endian standard file", read_file(build(false, FileLayout{}), 1)},
      {"big-endian standard file", read_file(build(true, FileLayout{}), 1)},
      {"fuzz seed with batches", nullptr},
      {"fuzz seed without batches or history", nullptr},
      // 4 active columns: 262144 rows a block; two whole blocks and a part.
      {"rows over three blocks", many_rows(2 * 262144 + 77)},
      {"rows of exactly one block", many_rows(262144)},
  };
  for (Case& c : cases) {
    if (c.mtz) continue;
    const std::string seed = std::string(c.label).find("without") != std::string::npos
                                 ? "no_batches_no_history"
                                 : "little_endian_batches";
    std::ifstream in(std::string(ORB_TEST_SOURCE_DIR) + "/../fuzz/corpus/fuzz_mtz_reader/" + seed,
                     std::ios::binary);
    c.mtz = read_file(std::string(std::istreambuf_iterator<char>(in), {}), 1);
  }
  for (Case& c : cases) {
    SCOPED_TRACE(c.label);
    ASSERT_TRUE(c.mtz);
    ASSERT_GT(c.mtz->nref, 0);
    TempFile blocks, rows;
    int ok = 0;
    captured([&] { ok = MtzPut(c.mtz.get(), blocks.c_str()); });
    ASSERT_EQ(ok, 1);
    const std::string expected = written_a_row_at_a_time(c.mtz.get(), rows);
    const std::string got = blocks.read();
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected);
  }
}

TEST(MtzWriter, ShortColumnEndsInTheMissingNumberGivenAfterItsLastBlock) {
  // A number as the flag, unlike the NaN of a new file: the short column's
  // rows beyond its values, in the third block, read back as that number.
  // Under a NaN flag a writer that read on past a column's values could not
  // be told apart, as the storage beyond them may hold NaNs of its own.
  const int rows = 2 * 262144 + 77;
  auto mtz = many_rows(rows);
  const float flag = -999.0f;
  std::memcpy(mtz->missing_number_flag, &flag, sizeof flag);
  TempFile t;
  auto back = put_and_get(mtz.get(), t);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->nref, rows);
  const MtzCol* f = MtzColLookup(back.get(), "F");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(f->values.size(), static_cast<std::size_t>(rows));
  const std::size_t held = static_cast<std::size_t>(rows - 3);
  EXPECT_EQ(f->values[held - 1], MtzColLookup(mtz.get(), "F")->values[held - 1]);
  for (std::size_t i = held; i < f->values.size(); ++i) EXPECT_EQ(f->values[i], flag) << "row " << i;
}

TEST(MtzWriter, WriteFailureInTheMiddleOfTheRowsIsReported) {
  // Past a file-size limit of 1.5 MB every write fails: the rows (6.4 MB)
  // fail part way through their first block, before any header record.
  auto mtz = many_rows(400000);
  TempFile t;
  rlimit old;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  void (*old_handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 1500000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  int ok = 1;
  const std::string out = captured([&] { ok = MtzPut(mtz.get(), t.c_str()); });
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(ok, 0);
  EXPECT_NE(out.find("raised in ptq7_file_write"), std::string::npos) << out;
  EXPECT_EQ(t.read().find("VERS MTZ"), std::string::npos) << "no header after failed rows";
}

TEST(MtzWriter, ResolutionsOfRowsHeldAreThoseOfEachReflection) {
  // Three crystals, two of one cell; rows of index 0 (no resolution) among
  // the others.
  auto mtz = many_rows(5000);
  const float cell_a[6] = {40, 50, 60, 90, 90, 90}, cell_b[6] = {30, 30, 45, 90, 90, 120};
  std::memcpy(mtz->xtals[0]->cell, cell_a, sizeof cell_a);
  MtzAddXtal(mtz.get(), "second", "proj", cell_b);
  MtzAddXtal(mtz.get(), "third", "proj", cell_a);
  const auto& h = MtzColLookup(mtz.get(), "H")->values;
  const auto& k = MtzColLookup(mtz.get(), "K")->values;
  const auto& l = MtzColLookup(mtz.get(), "L")->values;
  struct Range {
    float lo = 100.0f, hi = 0.0f;
  };
  std::vector<Range> expected(mtz->xtals.size());
  for (std::size_t x = 0; x < mtz->xtals.size(); ++x) {
    double coefs[6];
    MtzHklcoeffs(mtz->xtals[x]->cell, coefs);
    for (std::size_t r = 0; r < h.size(); ++r) {
      const int32_t ind[3] = {reflections::truncated_index(h[r]), reflections::truncated_index(k[r]),
                              reflections::truncated_index(l[r])};
      const float s = MtzInd2reso(ind, coefs);
      if (s <= 0.0f) continue;
      expected[x].lo = std::min(expected[x].lo, s);
      expected[x].hi = std::max(expected[x].hi, s);
    }
  }
  TempFile t;
  int ok = 0;
  captured([&] { ok = MtzPut(mtz.get(), t.c_str()); });
  ASSERT_EQ(ok, 1);
  for (std::size_t x = 0; x < mtz->xtals.size(); ++x) {
    SCOPED_TRACE(mtz->xtals[x]->crystal_name);
    EXPECT_EQ(bits(mtz->xtals[x]->reso_min), bits(expected[x].lo));
    EXPECT_EQ(bits(mtz->xtals[x]->reso_max), bits(expected[x].hi));
  }
  EXPECT_NE(bits(expected[0].hi), bits(expected[1].hi)) << "the two cells differ";
  EXPECT_EQ(bits(mtz->reso_max), bits(std::max(expected[0].hi, expected[1].hi)));
}
