// The reflection-file reader on files built byte by byte: a full file in both
// byte orders, the older dialect, crystals split by cell, the base dataset's
// own records, missing values, reflections left in the file, and bad input.
#include "reflections/mtz_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "mtz_files.h"
#include "reflections/cmtzlib.h"
#include "reflections/mtz_batch.h"
#include "reflections/mtz_hierarchy.h"
#include "reflections/mtz_row_index.h"
#include "reflections/mtz_writer.h"
#include "suite/ptq7_errno.h"
#include "support/capture.h"

namespace {

using namespace mtz_test;

std::vector<uint32_t> column_bits(const MtzCol* c, int n) {
  std::vector<uint32_t> v;
  for (int i = 0; i < n; ++i) v.push_back(bits(c->values[static_cast<std::size_t>(i)]));
  return v;
}

TEST(MtzReader, FullFileInBothByteOrders) {
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "big-endian file" : "little-endian file");
    auto mtz = read_file(build(big, FileLayout{}), 1);
    ASSERT_TRUE(mtz);
    EXPECT_EQ(mtz->title, "test data");
    EXPECT_EQ(mtz->nref, 3);
    EXPECT_EQ(mtz->ncol_file, 5);
    EXPECT_EQ(mtz->nbat_file, 2);
    EXPECT_FALSE(mtz->file_in);
    ASSERT_EQ(MtzNxtal(mtz.get()), 2);
    const MtzXtal* base = MtzIxtal(mtz.get(), 0);
    const MtzXtal* x = MtzIxtal(mtz.get(), 1);
    EXPECT_EQ(base->crystal_name, "HKL_base");
    EXPECT_EQ(base->xtal_id, 1);
    EXPECT_EQ(base->cell[1], 50.0f);
    EXPECT_EQ(x->crystal_name, "xtal");
    EXPECT_EQ(x->project_name, "proj");
    EXPECT_EQ(x->xtal_id, 2);
    EXPECT_EQ(x->cell[2], 60.0f);
    ASSERT_EQ(MtzNsetsInXtal(x), 1);
    const MtzSet* native = MtzIsetInXtal(x, 0);
    EXPECT_EQ(native->dataset_name, "native");
    EXPECT_EQ(native->set_id, 1);
    EXPECT_FLOAT_EQ(native->wavelength, 1.54178f);
    EXPECT_EQ(MtzNcolsInSet(MtzIsetInXtal(base, 0)), 3);
    const MtzCol* fp = MtzColLookup(mtz.get(), "/xtal/native/FP");
    const MtzCol* sig = MtzColLookup(mtz.get(), "SIGFP");
    ASSERT_TRUE(fp && sig);
    EXPECT_EQ(fp->source, 4);
    EXPECT_EQ(fp->max_value, 30.0f);
    // Values arrive bit for bit: the missing pattern, minus zero, a denormal.
    EXPECT_EQ(column_bits(fp, 3), (std::vector<uint32_t>{bits(20.5f), NAN_WORD, bits(-0.0f)}));
    EXPECT_EQ(column_bits(sig, 3), (std::vector<uint32_t>{bits(1.5f), bits(2.0f), bits(1.0e-40f)}));
    EXPECT_STREQ(mtz->missing_number_flag, "NAN");
    EXPECT_EQ(mtz->nsym, 4);
    EXPECT_EQ(mtz->nsymp, 4);
    EXPECT_EQ(mtz->lattice_type, 'P');
    EXPECT_EQ(mtz->spacegroup_num, 18);
    EXPECT_EQ(mtz->spacegroup_name, "P 21 21 2");
    EXPECT_EQ(mtz->pointgroup_name, "PG222");
    EXPECT_EQ(mtz->symops[1][0][0], -1.0f);
    EXPECT_EQ(mtz->symops[3][0][3], 0.5f);
    EXPECT_EQ(mtz->sort_order[2], MtzColLookup(mtz.get(), "L"));
    EXPECT_EQ(mtz->sort_order[3], nullptr);
    ASSERT_EQ(mtz->n_history, 2);
    EXPECT_EQ(std::string(mtz->history.data() + 80, 80), fmt("%-80s", "From test: second line"));
    // The RESO record (0.0123, 0.0456), widened by the reflections: (1 0 1)
    // lies below it, (2 3 4) inside.
    EXPECT_NEAR(x->reso_min, 1.0 / 1600 + 1.0 / 3600, 1e-7);
    EXPECT_FLOAT_EQ(x->reso_max, 0.0456f);
    ASSERT_EQ(MtzNbat(mtz.get()), 2);
    const MtzBatch* b1 = mtz->batches.get();
    const MtzBatch* b2 = b1->next.get();
    EXPECT_EQ(b1->batch_number, 1);
    EXPECT_EQ(b1->title, fmt("%-70s", "batch 1"));
    EXPECT_EQ(b1->axis_labels[1], "OMEGA");
    EXPECT_EQ(b2->axis_labels[0], "");
    EXPECT_EQ(b2->cell[0], 42.0f);
    EXPECT_FLOAT_EQ(b2->wavelength, 1.54178f);
    EXPECT_EQ(b2->det_distance[0], 150.0f);
    EXPECT_EQ(b2->dataset_id, 1);
  }
}

TEST(MtzReader, OlderDialectWithoutDatasets) {
  FileLayout layout;
  std::vector<std::string> kept;
  for (std::string r : layout.records) {
    if (r.rfind("PROJECT", 0) == 0 || r.rfind("CRYSTAL", 0) == 0 || r.rfind("DATASET", 0) == 0 ||
        r.rfind("DCELL", 0) == 0 || r.rfind("DWAVEL", 0) == 0 || r.rfind("NDIF", 0) == 0)
      continue;
    if (r.rfind("COLUMN", 0) == 0) r.resize(r.size() - 5);  // no dataset id
    kept.push_back(r);
  }
  layout.records = kept;
  layout.batches = false;
  std::string out;
  auto mtz = read_file(build(false, layout), 1, &out);
  ASSERT_TRUE(mtz);
  ASSERT_EQ(MtzNxtal(mtz.get()), 1);
  const MtzXtal* base = MtzIxtal(mtz.get(), 0);
  EXPECT_EQ(base->crystal_name, "HKL_base");
  EXPECT_EQ(base->cell[0], 40.0f);
  ASSERT_EQ(MtzNsetsInXtal(base), 1);
  EXPECT_EQ(MtzNcolsInSet(MtzIsetInXtal(base, 0)), 5);
  EXPECT_EQ(
      out,
      "Dataset id missing from COLUMN records in MTZ header. \nMaking default assignments. \n"
      ">>>>>> PTQ7 library signal mtz:Missing or incomplete dataset information in input file. "
      "(Warning)\n\t raised in MtzGet <<<<<<\n");
}

TEST(MtzReader, OneCrystalNameWithTwoCells) {
  struct Case {
    const char* label;
    float second_cell_a;
    std::vector<std::string> crystals;
  };
  const Case cases[] = {
      {"same cell: one crystal, two datasets", 40.0f, {"HKL_base", "xtal"}},
      {"other cell: a numbered second crystal", 41.0f, {"HKL_base", "xtal", "xtal3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FileLayout layout;
    layout.batches = false;
    const float cell2[6] = {c.second_cell_a, 50, 60, 90, 90, 90};
    const std::string g = group(2, "proj", "xtal", "deriv", cell2, 0.9f);
    auto end = layout.records.end() - 2;  // before BATCH and END
    std::size_t at = 0;
    for (std::size_t nl; (nl = g.find('\n', at)) != std::string::npos; at = nl + 1)
      end = layout.records.insert(end, g.substr(at, nl - at)) + 1;
    layout.records.insert(end, g.substr(at));
    auto mtz = read_file(build(false, layout), 0);
    ASSERT_TRUE(mtz);
    std::vector<std::string> names;
    for (const auto& x : mtz->xtals) names.push_back(x->crystal_name);
    EXPECT_EQ(names, c.crystals);
    const MtzSet* deriv = MtzSetLookup(mtz.get(), "deriv");
    ASSERT_NE(deriv, nullptr);
    EXPECT_EQ(deriv->set_id, 2);
    EXPECT_FLOAT_EQ(deriv->wavelength, 0.9f);
    EXPECT_EQ(MtzSetXtal(mtz.get(), deriv)->cell[0], c.second_cell_a);
  }
}

TEST(MtzReader, BaseDatasetRecordsAndValmNumber) {
  FileLayout layout;
  layout.batches = false;
  for (auto& r : layout.records) {
    if (r.rfind("VALM", 0) == 0) r = fmt("VALM %-20f", 0.0);
    if (r.rfind("DWAVEL        0", 0) == 0) r = fmt("DWAVEL  %7d %10.5f", 0, 0.5);
    if (r.rfind("COLUMN SIGFP", 0) == 0)
      r = fmt("COLUMN %-30s %c %17.4f %17.4f %4d", "M/ISYM", 'Y', 0.0, 1.0, 1);
    if (r.rfind("COLUMN FP", 0) == 0)
      r = fmt("COLUMN %-30s %c %17.4f %17.4f %4d", "M/ISYM", 'I', 0.0, 1.0, 1);
  }
  auto mtz = read_file(build(false, layout), 0);
  ASSERT_TRUE(mtz);
  float missing;
  std::memcpy(&missing, mtz->missing_number_flag, 4);
  EXPECT_EQ(missing, 0.0f);
  EXPECT_NE(std::strncmp(mtz->missing_number_flag, "NAN", 3), 0);
  const MtzXtal* base = MtzIxtal(mtz.get(), 0);
  EXPECT_EQ(MtzNsetsInXtal(base), 1);
  EXPECT_EQ(MtzIsetInXtal(base, 0)->wavelength, 0.5f);
  EXPECT_NE(MtzColLookup(mtz.get(), "M_ISYM"), nullptr);
  EXPECT_EQ(MtzColLookup(mtz.get(), "M_ISYM")->type, "Y");
  EXPECT_EQ(MtzIcolInSet(MtzSetLookup(mtz.get(), "native"), 0)->label, "M/ISYM");
}

// A VALM that is no number leaves the missing-number flag NAN, with a
// warning: read as 0 it made every value 0 of the file (indices among them)
// a missing one, and a rewrite wrote "VALM 0.000000".  A number is read.
TEST(MtzReader, ValmThatIsNoNumberKeepsTheNanFlag) {
  const struct {
    const char *label, *valm;
    bool number;  // read as the number -999
  } cases[] = {{"letters", "VALM abc", false},
               {"question mark", "VALM ?", false},
               {"two points", "VALM 1.0.0", false},
               {"a number", "VALM -999.000000", true}};
  for (const auto& c : cases) {
    FileLayout layout;
    for (auto& r : layout.records)
      if (r.rfind("VALM", 0) == 0) r = c.valm;
    std::string out;
    auto mtz = read_file(build(false, layout), 1, &out);
    ASSERT_TRUE(mtz) << c.label;
    const std::string warning = std::string("MtzGet: VALM \"") + (c.valm + 5) +
                                "\" is not a number: missing values stay marked as NAN \n";
    EXPECT_EQ(out.find(warning) != std::string::npos, !c.number) << c.label << out;
    float flag = 0.0f;
    std::memcpy(&flag, mtz->missing_number_flag, 4);
    if (c.number) EXPECT_EQ(flag, -999.0f) << c.label;
    else EXPECT_EQ(std::strncmp(mtz->missing_number_flag, "NAN", 3), 0) << c.label;
    int missing = 0;  // the one NaN word of FP, or none
    for (const auto& x : mtz->xtals)
      for (const auto& s : x->sets)
        for (const auto& col : s->cols)
          for (float v : col->values) missing += ptq7_ismnf(mtz.get(), v);
    EXPECT_EQ(missing, c.number ? 0 : 1) << c.label;
    TempFile t;
    captured([&] { EXPECT_EQ(MtzPut(mtz.get(), t.c_str()), 1); });
    const std::string written = t.read();
    EXPECT_NE(written.find(c.number ? "VALM -999.000000" : "VALM NAN"), std::string::npos)
        << c.label;
  }
}

TEST(MtzReader, ReflectionsLeftInTheFile) {
  auto mtz = read_file(build(true, FileLayout{}), 0);
  ASSERT_TRUE(mtz);
  ASSERT_TRUE(mtz->file_in);
  EXPECT_EQ(mtz->file_in->position, 80);
  EXPECT_TRUE(MtzColLookup(mtz.get(), "FP")->values.empty());
  float row[5];
  ASSERT_EQ(MtzRrefl(mtz->file_in.get(), 5, row), 5);
  ASSERT_EQ(MtzRrefl(mtz->file_in.get(), 5, row), 5);
  EXPECT_EQ(bits(row[3]), NAN_WORD);
  EXPECT_EQ(row[2], 4.0f);
}

TEST(MtzReader, BadInputIsRefused) {
  struct Case {
    const char* label;
    std::function<std::string()> bytes;
    int index;     // the error; 0 for a file read, at the edge of a refusal
    int nsym = 0;  // the operators of a file read
  };
  auto with = [](std::function<void(FileLayout&)> change) {
    return [change] {
      FileLayout layout;
      change(layout);
      return build(false, layout);
    };
  };
  auto replace = [](FileLayout& s, const char* prefix, const std::string& record) {
    for (auto& r : s.records)
      if (r.rfind(prefix, 0) == 0) r = record;
  };
  // The symmetry records replaced by a count and operators.
  auto symmetry = [](FileLayout& s, int count, const std::vector<std::string>& ops) {
    auto first = std::find_if(s.records.begin(), s.records.end(),
                              [](const std::string& r) { return r.rfind("SYMM ", 0) == 0; });
    s.records.insert(s.records.erase(first, first + 4), ops.begin(), ops.end());
    for (auto& r : s.records)
      if (r.rfind("SYMINF", 0) == 0)
        r = fmt("SYMINF %3d %2d %c %5d %22s %5s", count, count, 'P', 2, "'P -1'", "PG-1");
  };
  const Case cases[] = {
      {"empty file", [] { return std::string(); }, 6},
      {"not an MTZ file",
       [] {
         std::string b = build(false, FileLayout{});
         b[0] = 'X';
         return b;
       },
       15},
      {"file ends before END", [] { return build(false, FileLayout{}).substr(0, 80 + 60 + 80 * 10); },
       6},
      {"file ends before MTZENDOFHEADERS",
       [] {
         const std::string b = build(false, FileLayout{});
         return b.substr(0, b.size() - 200);
       },
       6},
      {"header position past the end",
       [] {
         std::string b = build(false, FileLayout{});
         b[7] = '\x7F';
         return b;
       },
       6},
      {"wrong version", with([&](FileLayout& s) { replace(s, "VERS", "VERS MTZ:V2.0"); }), 19},
      {"SYMINF short of tokens",
       with([&](FileLayout& s) { replace(s, "SYMINF", "SYMINF 4 4 P 18"); }), 20},
      {"SYMINF with too many operators", with([&](FileLayout& s) {
         replace(s, "SYMINF",
                 fmt("SYMINF %3d %2d %c %5d %22s %5s", 193, 4, 'P', 18, "'P 21 21 2'", "PG222"));
       }),
       11},
      // Kept as the matrix it left, it was written back as "SYMM 0, 0, 0".
      {"SYMM that is no operator",
       with([&](FileLayout& s) { replace(s, "SYMM -X", "SYMM abc"); }), 11},
      {"SYMM of two rows", with([&](FileLayout& s) { replace(s, "SYMM -X", "SYMM -X, -Y"); }), 11},
      // Each read once as a matrix with a zero row or a rotation that is none.
      {"SYMM whose third row holds no term",
       with([&](FileLayout& s) { replace(s, "SYMM -X", "SYMM X,Y,Q"); }), 11},
      {"SYMM of a singular rotation", with([&](FileLayout& s) { replace(s, "SYMM -X", "SYMM X,X,Z"); }),
       11},
      {"SYMM of translations alone", with([&](FileLayout& s) { replace(s, "SYMM -X", "SYMM 1,2,3"); }),
       11},
      {"SYMM of a rotation that doubles volume",
       with([&](FileLayout& s) { replace(s, "SYMM -X", "SYMM 2X,Y,Z"); }), 11},
      // Records past the count were dropped; a count "2x" read as 0 operators.
      {"more SYMM records than SYMINF counts", with([&](FileLayout& s) {
         replace(s, "SYMINF", fmt("SYMINF %3d %2d %c %5d %22s %5s", 3, 4, 'P', 18, "'P 21 21 2'", "PG222"));
       }),
       11},
      {"SYMINF count that is no number",
       with([&](FileLayout& s) { replace(s, "SYMINF", "SYMINF  2x  4 P    18 'P 21 21 2' PG222"); }), 11},
      {"SYMINF primitive count that is no number",
       with([&](FileLayout& s) { replace(s, "SYMINF", "SYMINF   4 4x P    18 'P 21 21 2' PG222"); }), 11},
      {"fewer SYMM records than SYMINF counts", with([](FileLayout& s) {
         s.records.erase(std::find(s.records.begin(), s.records.end(), "SYMM -X,  -Y,  Z"));
       }),
       11},
      {"more SYMM records than the table holds",
       with([](FileLayout& s) { s.records.insert(s.records.begin() + 6, 190, "SYMM X,Y,Z"); }), 11},
      {"P -1: an operator of determinant -1 is read",
       with([&](FileLayout& s) { symmetry(s, 2, {"SYMM X,Y,Z", "SYMM -X,-Y,-Z"}); }), 0, 2},
      {"as many operators as the table holds are read",
       with([&](FileLayout& s) { symmetry(s, 192, std::vector<std::string>(192, "SYMM X,Y,Z")); }), 0, 192},
      // No count to hold them to: read as before, without operators.
      {"SYMM records without SYMINF are read, no operator kept",
       with([](FileLayout& s) {
         s.records.erase(std::find_if(s.records.begin(), s.records.end(),
                                      [](const std::string& r) { return r.rfind("SYMINF", 0) == 0; }));
       }),
       0, 0},
      {"COLUMN short of tokens", with([&](FileLayout& s) { replace(s, "COLUMN K", "COLUMN K H 0"); }),
       21},
      {"more columns than NCOL declares",
       with([&](FileLayout& s) { replace(s, "NCOL", fmt("NCOL %8d %12d %8d", 4, 3, 2)); }), 21},
      {"rows run into the header",
       with([&](FileLayout& s) { replace(s, "NCOL", fmt("NCOL %8d %12d %8d", 5, 4, 2)); }), 6},
      // Counts past the int range once read as 0, taking a damaged file as empty.
      {"row count of 2^31",
       with([&](FileLayout& s) { replace(s, "NCOL", "NCOL 5 2147483648 2"); }), 6},
      {"column and row counts whose byte count passes 2^63",
       with([&](FileLayout& s) { replace(s, "NCOL", "NCOL 2147483647 2147483647 2"); }), 6},
      {"batch count of 2^31",
       with([&](FileLayout& s) { replace(s, "NCOL", "NCOL 5 3 2147483648"); }), 6},
      {"batch header with 2^31 integers", with([](FileLayout& s) {
         s.tail = [](MtzImage& m) { m.rec("MTZBATS").rec("BH 1 185 2147483648 156"); };
       }),
       22},
      {"batch header without BH", with([](FileLayout& s) {
         s.tail = [](MtzImage& m) { m.rec("MTZBATS").rec("XH 1 185 29 156"); };
       }),
       22},
      {"batch block larger than the arrays", with([](FileLayout& s) {
         s.tail = [](MtzImage& m) {
           m.rec("MTZBATS").rec(fmt("BH %8d%8d%8d%8d", 1, 500, 300, 200));
         };
       }),
       22},
      {"history longer than the file", with([](FileLayout& s) {
         s.history.clear();
         s.tail = [](MtzImage& m) { m.rec("MTZHIST 999"); };
       }),
       6},
      {"history count of 2^31", with([](FileLayout& s) {
         s.history.clear();
         s.tail = [](MtzImage& m) { m.rec("MTZHIST 2147483648"); };
       }),
       6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::string out;
    const auto mtz = read_file(c.bytes(), 1, &out);
    if (c.index == 0) {
      ASSERT_NE(mtz, nullptr) << out;
      EXPECT_EQ(mtz->nsym, c.nsym);
      continue;
    }
    EXPECT_EQ(mtz, nullptr);
    EXPECT_EQ(ptq7_errno, ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_ERROR, c.index));
    EXPECT_NE(out.find("\t raised in MtzGet <<<<<<\n"), std::string::npos) << out;
  }
  std::string out;
  captured([&] { EXPECT_EQ(MtzGet("/nonexistent/dir/file.mtz", 1), nullptr); });
  EXPECT_EQ(ptq7_errno, ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_ERROR, 4));
  EXPECT_EQ(MtzGet(nullptr, 1), nullptr);
}

TEST(MtzReader, LogicalNameResolvesThroughTheEnvironment) {
  TempFile t;
  t.write(build(false, FileLayout{}));
  ::setenv("MTZ_TEST_HKLIN", t.c_str(), 1);
  std::unique_ptr<MtzFile> mtz;
  captured([&] { mtz = MtzGet("MTZ_TEST_HKLIN", 1); });
  ::unsetenv("MTZ_TEST_HKLIN");
  ASSERT_TRUE(mtz);
  EXPECT_EQ(mtz->nref, 3);
}

}  // namespace

namespace {

// The standard header over n rows of H, K, L, FP, SIGFP whose indices run
// through signs, fractions and values no index can take.
std::string many_rows(bool big_endian, int n, std::vector<std::vector<float>>& rows) {
  MtzImage m(big_endian);
  const float odd[] = {std::nanf(""), 3.0e9f, -2.5f, 0.75f, -1.0e10f, INFINITY};
  for (int i = 0; i < n; ++i) {
    std::vector<float> r = {static_cast<float>(i % 41 - 20), static_cast<float>(i % 13 - 6),
                            static_cast<float>(i / 100), 0.5f * static_cast<float>(i),
                            static_cast<float>(-i)};
    if (i % 97 == 5) r[static_cast<std::size_t>(i % 3)] = odd[i % 6];
    std::vector<uint32_t> w;
    for (float v : r) w.push_back(bits(v));
    m.row(w);
    rows.push_back(r);
  }
  for (std::string rec : main_records()) {
    if (rec.rfind("NCOL", 0) == 0) rec = fmt("NCOL %8d %12d %8d", 5, n, 0);
    if (rec.rfind("BATCH", 0) != 0) m.rec(rec);
  }
  m.rec("MTZENDOFHEADERS ");
  return m.bytes();
}

}  // namespace

TEST(MtzReader, RowsOverSeveralReadBlocksAndTheirResolutionRange) {
  // More rows than one block of the reader holds, the last block partial
  // and not a whole number of four-row groups.
  constexpr int kRows = 7003;
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "big-endian file" : "little-endian file");
    std::vector<std::vector<float>> rows;
    const std::string bytes = many_rows(big, kRows, rows);
    auto head = read_file(bytes, 0);
    auto mtz = read_file(bytes, 1);
    ASSERT_TRUE(head && mtz);
    ASSERT_EQ(mtz->nref, kRows);
    const char* labels[5] = {"H", "K", "L", "FP", "SIGFP"};
    for (int k = 0; k < 5; ++k) {
      const MtzCol* c = MtzColLookup(mtz.get(), labels[k]);
      ASSERT_TRUE(c);
      ASSERT_EQ(c->values.size(), static_cast<std::size_t>(kRows));
      for (int i = 0; i < kRows; ++i)
        ASSERT_EQ(bits(c->values[static_cast<std::size_t>(i)]), bits(rows[i][k]))
            << labels[k] << " row " << i;
    }
    // Both crystals share one cell: each range is its header range widened
    // over the value of every row.
    double coefs[6];
    MtzHklcoeffs(MtzIxtal(mtz.get(), 1)->cell, coefs);
    float lo = INFINITY, hi = -INFINITY;
    for (const auto& r : rows) {
      const int32_t hkl[3] = {reflections::truncated_index(r[0]),
                              reflections::truncated_index(r[1]),
                              reflections::truncated_index(r[2])};
      lo = std::min(lo, MtzInd2reso(hkl, coefs));
      hi = std::max(hi, MtzInd2reso(hkl, coefs));
    }
    const float base_lo = std::min(MtzIxtal(head.get(), 0)->reso_min, lo);
    const float base_hi = std::max(MtzIxtal(head.get(), 0)->reso_max, hi);
    EXPECT_EQ(MtzIxtal(mtz.get(), 0)->reso_min, base_lo);
    EXPECT_EQ(MtzIxtal(mtz.get(), 0)->reso_max, base_hi);
    EXPECT_EQ(MtzIxtal(mtz.get(), 1)->reso_min, std::min(MtzIxtal(head.get(), 1)->reso_min, base_lo));
    EXPECT_EQ(MtzIxtal(mtz.get(), 1)->reso_max, std::max(MtzIxtal(head.get(), 1)->reso_max, base_hi));
  }
}

namespace {

// n rows of `width` values under `ncols` COLUMN records (ncols <= width):
// H, K, L in the base dataset, the rest in /xtal/native.  Value k of row i
// names both unless it is an index; every 31st row holds the missing
// pattern in its last column.
std::string rows_of_width(bool big_endian, int width, int ncols, int n,
                          std::vector<std::vector<uint32_t>>& rows) {
  MtzImage m(big_endian);
  for (int i = 0; i < n; ++i) {
    std::vector<uint32_t> w;
    for (int k = 0; k < width; ++k) {
      const float index[3] = {static_cast<float>(i % 23 - 11), static_cast<float>(i % 7),
                              static_cast<float>(i / 50)};
      w.push_back(bits(k < 3 ? index[k] : static_cast<float>(i) + 0.001f * static_cast<float>(k)));
    }
    if (i % 31 == 0) w.back() = NAN_WORD;
    m.row(w);
    rows.push_back(w);
  }
  for (std::string rec : main_records()) {
    if (rec.rfind("NCOL", 0) == 0) rec = fmt("NCOL %8d %12d %8d", width, n, 0);
    if (rec.rfind("BATCH", 0) == 0 || rec.rfind("COLUMN", 0) == 0) continue;
    if (rec.rfind("VALM", 0) == 0) {
      m.rec(rec);
      for (int k = 0; k < ncols; ++k)
        m.rec(k < 3 ? fmt("COLUMN %-30s %c %17.4f %17.4f %4d", k == 0 ? "H" : k == 1 ? "K" : "L",
                          'H', 0.0, 1.0, 0)
                    : fmt("COLUMN C%-29d %c %17.4f %17.4f %4d", k, 'R', 0.0, 1.0, 1));
      continue;
    }
    m.rec(rec);
  }
  m.rec("MTZENDOFHEADERS ");
  return m.bytes();
}

}  // namespace

TEST(MtzReader, RowsOfEveryWidthArriveInTheirColumns) {
  struct Case {
    const char* label;
    int width, ncols;
  };
  const Case cases[] = {
      {"three values a row", 3, 3},
      {"fewer columns than a row holds", 6, 5},
      {"twelve values a row", 12, 12},
      {"rows too wide for page-sized blocks", 67, 67},
  };
  constexpr int kRows = 6001;
  for (const Case& c : cases)
    for (bool big : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.label << (big ? ", big-endian" : ", little-endian"));
      std::vector<std::vector<uint32_t>> rows;
      const std::string bytes = rows_of_width(big, c.width, c.ncols, kRows, rows);
      auto head = read_file(bytes, 0);
      auto mtz = read_file(bytes, 1);
      ASSERT_TRUE(head && mtz);
      ASSERT_EQ(mtz->nref, kRows);
      for (int k = 0; k < c.ncols; ++k) {
        const MtzCol* col = MtzColLookup(
            mtz.get(), k < 3 ? std::string(1, "HKL"[k]).c_str() : fmt("C%d", k).c_str());
        ASSERT_TRUE(col) << "column " << k;
        ASSERT_EQ(col->values.size(), static_cast<std::size_t>(kRows));
        for (int i = 0; i < kRows; ++i)
          ASSERT_EQ(bits(col->values[static_cast<std::size_t>(i)]), rows[i][k])
              << "column " << k << " row " << i;
      }
      double coefs[6];
      MtzHklcoeffs(MtzIxtal(mtz.get(), 1)->cell, coefs);
      // The header's range widened over every row.
      float lo = MtzIxtal(head.get(), 1)->reso_min, hi = MtzIxtal(head.get(), 1)->reso_max;
      for (const auto& r : rows) {
        const int32_t hkl[3] = {reflections::truncated_index(from_bits(r[0])),
                                reflections::truncated_index(from_bits(r[1])),
                                reflections::truncated_index(from_bits(r[2]))};
        lo = std::min(lo, MtzInd2reso(hkl, coefs));
        hi = std::max(hi, MtzInd2reso(hkl, coefs));
      }
      EXPECT_EQ(bits(MtzIxtal(mtz.get(), 1)->reso_min), bits(lo));
      EXPECT_EQ(bits(MtzIxtal(mtz.get(), 1)->reso_max), bits(hi));
    }
}
