// The reflection-file reader.  The header is read three times from its
// start: the first scan finds the crystals and datasets (so the record is
// allocated in one piece), the second fills in their names, cells and
// wavelengths, the third reads the title, symmetry and columns; then history
// and batch headers follow, and finally the reflection rows.
#include "reflections/mtz_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "reflections/machine_stamp.h"
#include "reflections/mtz_batch.h"
#include "reflections/mtz_hierarchy.h"
#include "reflections/mtz_row_index.h"
#include "reflections/row_transpose.h"
#include "runtime/number_word.h"
#include "suite/csymlib_symop.h"
#include "suite/ptq7_errno.h"
#include "suite/ptq7_parser.h"

namespace reflections {

namespace {

constexpr int RECORD = 80;
constexpr int MAX_XTALS = 100;
constexpr int MAX_DATASETS = 1000;  // the limit is reached at this count
constexpr int MAX_COLUMNS = 10000;
constexpr int PARSER_TOKENS = 20;
// Room for one record and a continuation line.
constexpr int LINE_CAPACITY = 2 * RECORD;

// Byte offset of the first reflection row (word 21).
constexpr int64_t FIRST_ROW = 80;

std::nullptr_t fail(int index, int level = PTQ7_LEVEL_ERROR) {
  ptq7_signal(ptq7_error_word(PTQ7_ERRNO_MTZ, level, index), "MtzGet", nullptr);
  return nullptr;
}

void warn(int index) {
  ptq7_signal(ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_WARNING, index), "MtzGet", nullptr);
}

// The header records of one file and its parser.
class HeaderReader {
 public:
  HeaderReader(LibraryFile* file, ParserArray* parser) : file_(file), parser_(parser) {}

  // Next record into rec(); false when the file ends first.
  bool next() {
    ptq7_file_setmode(file_, PTQ7_FILE_MODE_CHAR);
    if (ptq7_file_readchar(file_, rec_, RECORD) != RECORD) return false;
    rec_[RECORD] = '\0';
    line_.assign(rec_, RECORD);
    ntok_ = ptq7_parser(line_, LINE_CAPACITY, parser_, 0);
    if (ntok_ < 0) ntok_ = 0;
    return true;
  }
  bool seek_to(int64_t byte) {
    ptq7_file_setmode(file_, PTQ7_FILE_MODE_CHAR);
    return ptq7_file_seek(file_, byte, SEEK_SET) == 0;
  }

  const char* rec() const { return rec_; }
  int ntokens() const { return ntok_; }
  // The first four characters of the record are `key` ("END" with three).
  bool prefix(const char* key) const { return std::strncmp(rec_, key, std::strlen(key)) == 0; }
  bool keyword(const char* key) const {
    return ntok_ > 0 && ptq7_keymatch(parser_->keyword, key) != 0;
  }
  // Token n (1-based) as text, number, integer; empty or 0 when absent.
  std::string text(int n) const {
    return n <= ntok_ ? parser_->token[n - 1].fullstring : std::string();
  }
  double number(int n) const { return n <= ntok_ ? parser_->token[n - 1].value : 0.0; }
  int integer(int n) const {
    const double v = number(n);
    return (std::isfinite(v) && std::fabs(v) < 2.0e9) ? static_cast<int>(v) : 0;
  }
  float real(int n) const { return static_cast<float>(number(n)); }
  // Token n as an operator count: -1 unless it is a number (not "2x"),
  // whole, and no more than the operator table holds.
  int operator_count(int n) const {
    if (n > ntok_ || parser_->token[n - 1].isnumber == 0) return -1;
    const int v = count(n);
    return v > MTZ_MAX_SYMOPS ? -1 : v;
  }
  // Token n as a count: -1 when it is not a whole number that fits an int,
  // so that a huge count in a damaged header is refused, not read as 0.
  int count(int n) const {
    const double v = number(n);
    if (!std::isfinite(v) || v != std::floor(v) || v < -2147483648.0 || v > 2147483647.0)
      return -1;
    return static_cast<int>(v);
  }
  // Record characters from..to (1-based, inclusive).
  std::string chars(int from, int to) const { return std::string(rec_ + from - 1, rec_ + to); }

 private:
  LibraryFile* file_;
  ParserArray* parser_;
  char rec_[RECORD + 1] = {};
  std::string line_;
  int ntok_ = 0;
};

// What the first scan learns of the crystals and datasets.
struct FirstScan {
  struct Xtal {
    std::string project, crystal;
    float cell[6] = {};
    int nset = 0;
  };
  std::vector<Xtal> xtals;
  std::vector<int> set_xtal;  // crystal of each dataset (PROJECT record)
  int ncol = 0, nref = 0, nbat = 0;
};

// Returns false (after the limit message) when no crystal can be added.
bool add_scan_xtal(FirstScan& scan, const std::string& project, const std::string& crystal) {
  if (static_cast<int>(scan.xtals.size()) == MAX_XTALS) {
    std::printf("MtzGet: Maximum number of crystals exceeded! \n");
    return false;
  }
  scan.xtals.push_back({project, crystal, {}, 0});
  return true;
}

int last_with(const FirstScan& scan, std::string FirstScan::Xtal::*field, const std::string& name) {
  int found = -1;
  for (std::size_t i = 0; i < scan.xtals.size(); ++i)
    if (scan.xtals[i].*field == name) found = static_cast<int>(i);
  return found;
}

// Crystals and datasets; false when the header cannot be read or a limit
// is passed (the message is already out).
bool first_scan(HeaderReader& h, FirstScan& scan, bool& read_error) {
  scan.xtals.push_back({"HKL_base", "HKL_base", {}, 1});
  std::string project = "dummy", crystal = "dummy";
  int selected = 0;
  bool created = false;  // the selected crystal was made for the current dataset
  int counted_in = -1;   // crystal that counted the current dataset
  int current = -1;      // index of the current dataset (PROJECT record)
  auto select = [&](int x) {
    selected = x;
    if (current >= 0) scan.set_xtal[static_cast<std::size_t>(current)] = x;
  };
  for (;;) {
    if (!h.next()) {
      read_error = true;
      return false;
    }
    if (h.keyword("END")) return true;
    if (h.keyword("NCOL")) {
      scan.ncol = h.count(2);
      scan.nref = h.count(3);
      scan.nbat = h.count(4);
    } else if (h.keyword("PROJECT")) {
      if (static_cast<int>(scan.set_xtal.size()) + 1 == MAX_DATASETS) {
        std::printf("MtzGet: Maximum number of datasets exceeded! \n");
        return false;
      }
      scan.set_xtal.push_back(selected);
      current = static_cast<int>(scan.set_xtal.size()) - 1;
      counted_in = -1;
      project = h.ntokens() < 3 ? "dummy" : h.text(3);
      crystal = project;
      const int found = last_with(scan, &FirstScan::Xtal::project, project);
      created = found < 0;
      if (created && !add_scan_xtal(scan, project, crystal)) return false;
      select(created ? static_cast<int>(scan.xtals.size()) - 1 : found);
    } else if (h.keyword("CRYSTAL") && h.ntokens() >= 3) {
      crystal = h.text(3);
      if (created) {
        scan.xtals[static_cast<std::size_t>(selected)].crystal = crystal;
      } else {
        const int found = last_with(scan, &FirstScan::Xtal::crystal, crystal);
        created = found < 0;
        if (created && !add_scan_xtal(scan, project, crystal)) return false;
        select(created ? static_cast<int>(scan.xtals.size()) - 1 : found);
      }
    } else if (h.keyword("DATASET")) {
      if (h.text(3) != "HKL_base") {
        ++scan.xtals[static_cast<std::size_t>(selected)].nset;
        counted_in = selected;
      }
    } else if (h.keyword("DCELL")) {
      float cell[6];
      for (int i = 0; i < 6; ++i) cell[i] = h.real(3 + i);
      auto& x = scan.xtals[static_cast<std::size_t>(selected)];
      bool differs = false;
      for (int i = 0; i < 6; ++i) differs = differs || x.cell[i] != cell[i];
      if (!created && selected != 0 && differs) {
        // One crystal name with two cells: the dataset goes to a new crystal.
        const std::string name = crystal + std::to_string(scan.xtals.size() + 1);
        if (!add_scan_xtal(scan, project, name)) return false;
        if (counted_in >= 0) {
          --scan.xtals[static_cast<std::size_t>(counted_in)].nset;
          ++scan.xtals.back().nset;
          counted_in = static_cast<int>(scan.xtals.size()) - 1;
        }
        select(static_cast<int>(scan.xtals.size()) - 1);
        created = true;
      }
      std::memcpy(scan.xtals[static_cast<std::size_t>(selected)].cell, cell, sizeof cell);
    }
  }
}

// Names, ids, cells, resolutions and wavelengths of the crystals and
// datasets; 0 on success, else the error index.
int second_scan(HeaderReader& h, MtzFile& mtz, const FirstScan& scan) {
  std::vector<int> filled(mtz.xtals.size(), 0);
  filled[0] = 1;  // the base crystal's own dataset keeps position 0
  int current = -1;
  std::size_t xi = 0;
  for (;;) {
    if (!h.next()) return 6;
    if (h.prefix("END")) return 0;
    MtzXtal& x = *mtz.xtals[xi];
    if (h.prefix("PROJ")) {
      if (static_cast<std::size_t>(current + 1) >= scan.set_xtal.size()) continue;
      ++current;
      xi = static_cast<std::size_t>(scan.set_xtal[static_cast<std::size_t>(current)]);
      MtzXtal& cx = *mtz.xtals[xi];
      cx.project_name = cut(scan.xtals[xi].project.c_str(), MTZ_NAME_LENGTH);
      cx.crystal_name = cut(scan.xtals[xi].crystal.c_str(), MTZ_NAME_LENGTH);
      cx.xtal_id = static_cast<int>(xi) + 1;
    } else if (h.prefix("DATA")) {
      if (h.text(3) == "HKL_base") continue;
      int& k = filled[xi];
      if (k >= static_cast<int>(x.sets.size())) return 18;
      MtzSet& s = *x.sets[static_cast<std::size_t>(k++)];
      s.set_id = h.integer(2);
      s.dataset_name = cut(h.ntokens() < 3 ? "dummy" : h.text(3).c_str(), MTZ_NAME_LENGTH);
    } else if (h.prefix("DCEL")) {
      for (int i = 0; i < 6; ++i) x.cell[i] = h.real(3 + i);
    } else if (h.prefix("DRES")) {
      double coefs[6];
      MtzHklcoeffs(x.cell, coefs);
      const int32_t high[3] = {h.integer(3), h.integer(4), h.integer(5)};
      const int32_t low[3] = {h.integer(6), h.integer(7), h.integer(8)};
      x.reso_max = MtzInd2reso(high, coefs);
      x.reso_min = MtzInd2reso(low, coefs);
    } else if (h.prefix("DWAV")) {
      const int k = filled[xi];
      if (k > 0 && k <= static_cast<int>(x.sets.size()))
        x.sets[static_cast<std::size_t>(k - 1)]->wavelength = h.real(3);
    }
  }
}

MtzSet* dataset_with_id(MtzFile& mtz, int id) {
  MtzSet* found = nullptr;
  for (const auto& x : mtz.xtals)
    for (const auto& s : x->sets)
      if (s->set_id == id) {
        found = s.get();
        break;
      }
  return found != nullptr ? found : mtz.xtals[0]->sets[0].get();
}

// A symmetry operation maps the lattice onto itself, so its rotation keeps
// volume: a determinant other than +1 or -1 (0 for a row left empty, two
// equal rows, or translations alone) is no operator.
bool symmetry_rotation(const float (&m)[4][4]) {
  const double det = double{m[0][0]} * (double{m[1][1]} * m[2][2] - double{m[1][2]} * m[2][1]) -
                     double{m[0][1]} * (double{m[1][0]} * m[2][2] - double{m[1][2]} * m[2][0]) +
                     double{m[0][2]} * (double{m[1][0]} * m[2][1] - double{m[1][1]} * m[2][0]);
  return std::fabs(std::fabs(det) - 1.0) < 1e-3;
}

// Title, symmetry, columns and file-wide values; 0 on success, -1 after a
// limit message, else the error index.
int third_scan(HeaderReader& h, MtzFile& mtz, std::vector<MtzCol*>& colin) {
  int sort_pos[5] = {};
  int nsymm = 0;
  bool syminf = false;
  bool warned = false;
  for (;;) {
    if (!h.next()) return 6;
    if (h.prefix("END")) break;
    if (h.prefix("VERS")) {
      if (h.chars(6, 13) != "MTZ:V1.1") return 19;
    } else if (h.prefix("TITL")) {
      mtz.title = rtrimmed(h.chars(7, 76));
    } else if (h.prefix("CELL")) {
      for (auto& x : mtz.xtals)
        if (x->cell[0] < 0.01f)
          for (int i = 0; i < 6; ++i) x->cell[i] = h.real(2 + i);
    } else if (h.prefix("SORT")) {
      for (int i = 0; i < 5; ++i) sort_pos[i] = h.integer(2 + i);
    } else if (h.prefix("SYMI")) {
      if (h.ntokens() < 7) return 20;
      // The operators live in a fixed table: a larger count is refused, and
      // so is one that is no whole number, which would read as 0 operators.
      if (h.operator_count(2) < 0 || h.operator_count(3) < 0) return 11;
      syminf = true;
      mtz.nsym = h.operator_count(2);
      mtz.nsymp = h.operator_count(3);
      const std::string lattice = h.text(4);
      mtz.lattice_type = lattice.empty() ? ' ' : lattice[0];
      mtz.spacegroup_num = h.integer(5);
      mtz.spacegroup_name = cut(h.text(6).c_str(), MTZ_SPACEGROUP_NAME_LENGTH);
      mtz.pointgroup_name = cut(h.text(7).c_str(), MTZ_POINTGROUP_NAME_LENGTH);
    } else if (h.prefix("SYMM")) {
      if (nsymm == MTZ_MAX_SYMOPS) return 11;
      // An operator that cannot be read is no operator: kept as the matrix
      // it left, it would be written back as one the file never held.
      if (symop_to_mat4(h.rec() + 4, h.rec() + RECORD, &mtz.symops[nsymm][0][0]) == nullptr ||
          !symmetry_rotation(mtz.symops[nsymm]))
        return 11;
      ++nsymm;
    } else if (h.prefix("COLU")) {
      if (h.ntokens() < 5) return 21;
      const int counter = static_cast<int>(colin.size());
      if (counter == MAX_COLUMNS) {
        std::printf("MtzGet: Maximum number of columns exceeded! \n");
        return -1;
      }
      // A row holds ncol_file values: a column beyond them has no place.
      if (counter >= mtz.ncol_file) return 21;
      int id = 0;
      if (h.ntokens() > 5) {
        id = h.integer(6);
      } else if (!warned) {
        std::printf("Dataset id missing from COLUMN records in MTZ header. \n");
        std::printf("Making default assignments. \n");
        warn(16);
        warned = true;
      }
      std::string label = h.text(2);
      const std::string type = h.text(3);
      if (!type.empty() && type[0] == 'Y' && label.rfind("M/ISYM", 0) == 0) label = "M_ISYM";
      MtzCol* col = MtzAddColumn(&mtz, dataset_with_id(mtz, id), label.c_str(), type.c_str());
      if (col == nullptr) return -1;
      col->min_value = h.real(4);
      col->max_value = h.real(5);
      col->source = counter + 1;
      colin.push_back(col);
    } else if (h.prefix("VALM")) {
      const std::string v = h.text(2);
      if (v.rfind("NAN", 0) == 0) {
        std::memcpy(mtz.missing_number_flag, "NAN", 4);
      } else if (h.ntokens() >= 2) {
        float value = 0.0f;
        if (rt::read_number(v, value) == rt::NumberWord::kRead)
          std::memcpy(mtz.missing_number_flag, &value, 4);
        else  // taken as 0, every value 0 of the file would be a missing one
          std::printf("MtzGet: VALM \"%s\" is not a number: missing values stay marked as NAN \n",
                      v.c_str());
      }
    } else if (h.prefix("RESO")) {
      for (auto& x : mtz.xtals) {
        if (x->reso_min == 100.0f) x->reso_min = h.real(2);
        if (x->reso_max == 0.0f) x->reso_max = h.real(3);
      }
    }
  }
  // Operators the SYMINF count promises but no SYMM record gives would be
  // written back as operators the file never held, and records past the
  // count would be dropped.
  if (syminf && nsymm != mtz.nsym) return 11;
  for (int i = 0; i < 5; ++i)
    if (sort_pos[i] > 0 && sort_pos[i] <= static_cast<int>(colin.size()))
      mtz.sort_order[i] = colin[static_cast<std::size_t>(sort_pos[i] - 1)];
  return 0;
}

// History and batch headers behind END; 0 or the error index.
int read_tail(HeaderReader& h, MtzFile& mtz, LibraryFile* file, int nbat) {
  MtzBatch* last = nullptr;
  for (;;) {
    if (!h.next()) return 6;
    if (h.keyword("MTZE")) return 0;
    if (h.keyword("MTZHIST")) {
      const int n = h.count(2);
      if (n < 0) return 6;
      // Each line is a record still to come: a count the file cannot hold is refused.
      if (static_cast<int64_t>(n) * RECORD > file->length - file->position) return 6;
      mtz.history = MtzCallocHist(n);
      mtz.n_history = n;
      for (int i = 0; i < n; ++i) {
        if (!h.next()) return 6;
        std::memcpy(&mtz.history[static_cast<std::size_t>(i) * RECORD], h.rec(), RECORD);
      }
    } else if (h.keyword("MTZBATS")) {
      for (int ib = 0; ib < nbat; ++ib) {
        if (!h.next()) return 6;
        if (!h.keyword("BH")) return 22;
        const int nint = h.count(4), nreal = h.count(5);
        // The arrays have fixed sizes: larger counts are corrupt.
        if (nint < 0 || nint > MTZ_BATCH_INTS || nreal < 0 || nreal > MTZ_BATCH_REALS) return 22;
        auto batch = MtzMallocBatch();
        batch->batch_number = h.integer(2);
        if (!h.next()) return 6;
        batch->title = h.chars(7, 76);
        int32_t ints[MTZ_BATCH_INTS] = {};
        float reals[MTZ_BATCH_REALS] = {};
        ptq7_file_setmode(file, PTQ7_FILE_MODE_INT);
        if (ptq7_file_read(file, ints, static_cast<std::size_t>(nint)) != nint) return 6;
        ptq7_file_setmode(file, PTQ7_FILE_MODE_FLOAT);
        if (ptq7_file_read(file, reals, static_cast<std::size_t>(nreal)) != nreal) return 6;
        MtzArrayToBatch(ints, reals, batch.get());
        if (!h.next()) return 6;
        if (h.ntokens() == 4)
          for (int i = 0; i < 3; ++i)
            batch->axis_labels[i] = cut(h.text(2 + i).c_str(), MTZ_BATCH_AXIS_LABEL_LENGTH);
        MtzBatch* added = batch.get();
        if (last == nullptr) mtz.batches = std::move(batch);
        else last->next = std::move(batch);
        last = added;
      }
    }
  }
}

// The resolution range of each crystal over the reflections held is worked
// out while the rows are read, once for each run of crystals of one cell.
class ResolutionRanges {
 public:
  // Nothing is worked out unless the index columns are found.
  explicit ResolutionRanges(const MtzFile& mtz) {
    int xi = 0, si = 0, index[3];
    MtzFindInd(&mtz, xi, si, index);
    const auto& set = mtz.xtals[static_cast<std::size_t>(xi)]->sets;
    if (si >= static_cast<int>(set.size())) return;
    const auto& cols = set[static_cast<std::size_t>(si)]->cols;
    for (int i : index)
      if (i >= static_cast<int>(cols.size())) return;
    for (int i = 0; i < 3; ++i) hkl_[i] = cols[static_cast<std::size_t>(index[i])].get();
    for (const auto& x : mtz.xtals) {
      // A cell the coefficients refuse is refused again, with its message,
      // when the ranges are handed out.
      bool usable = true;
      for (float v : x->cell) usable = usable && !(v < 0.001f);
      std::array<double, 6> coefs{};
      if (usable) MtzHklcoeffs(x->cell, coefs.data());
      if (jobs_.empty() || std::memcmp(jobs_.back().coefs.data(), coefs.data(), sizeof coefs) != 0)
        jobs_.push_back({coefs});
      job_of_.push_back(static_cast<int>(jobs_.size()) - 1);
    }
    active_ = true;
  }

  // Rows first .. first + n - 1, already in the columns.
  void add(std::size_t first, std::size_t n) {
    if (!active_) return;
    for (Job& j : jobs_)
      widen_reso_range(hkl_[0]->values.data() + first, hkl_[1]->values.data() + first,
                       hkl_[2]->values.data() + first, n, j.coefs.data(), false, j.lo, j.hi);
  }

  // Each crystal's range widened over its cell's range.
  void apply(MtzFile& mtz) const {
    if (!active_) return;
    float done_min = 0, done_max = 0;
    int done = -1;
    for (std::size_t ix = 0; ix < mtz.xtals.size(); ++ix) {
      MtzXtal& x = *mtz.xtals[ix];
      double coefs[6];
      MtzHklcoeffs(x.cell, coefs);
      const int j = job_of_[ix];
      if (j == done) {
        x.reso_min = std::min(x.reso_min, done_min);
        x.reso_max = std::max(x.reso_max, done_max);
        continue;
      }
      const Job& job = jobs_[static_cast<std::size_t>(j)];
      if (job.lo < x.reso_min) x.reso_min = job.lo;
      if (job.hi > x.reso_max) x.reso_max = job.hi;
      done = j;
      done_min = x.reso_min;
      done_max = x.reso_max;
    }
  }

 private:
  struct Job {
    std::array<double, 6> coefs;
    float lo = std::numeric_limits<float>::infinity();
    float hi = -std::numeric_limits<float>::infinity();
  };
  bool active_ = false;
  const MtzCol* hkl_[3] = {};
  std::vector<Job> jobs_;
  std::vector<int> job_of_;  // per crystal
};

// Rows of one read.  A block is a whole number of pages where that keeps it
// near 64 KiB, and the buffer starts at the same place within a page as the
// rows do in the file: the kernel's copy into it is much slower when the
// two places lie a few bytes apart.
class RowBlocks {
 public:
  explicit RowBlocks(std::size_t ncol) {
    constexpr std::size_t kPage = 4096, kTarget = 65536;
    const std::size_t row_bytes = 4 * ncol;
    const std::size_t aligned = std::lcm(row_bytes, kPage);
    rows_ = aligned <= 4 * kTarget
                ? aligned / row_bytes * std::max<std::size_t>(1, kTarget / aligned)
                : std::max<std::size_t>(1, kTarget / row_bytes);
    const std::size_t floats = rows_ * ncol + kPage / 4;
    storage_.reset(new float[floats]);
    const auto at = reinterpret_cast<std::uintptr_t>(storage_.get());
    const std::size_t skip = (kPage + static_cast<std::size_t>(FIRST_ROW) - at % kPage) % kPage;
    data_ = storage_.get() + skip / 4;
  }
  std::size_t rows() const { return rows_; }
  float* data() const { return data_; }

 private:
  std::size_t rows_;
  std::unique_ptr<float[]> storage_;  // not zeroed: every value used is read first
  float* data_;
};

// Rows into the columns, a block of rows at a time, and the crystals'
// resolution ranges over them; false when a read fails.  Reals in this
// machine's format come straight from the file; others, and a block the
// direct read cannot fill, through the handle, which converts them and
// reports a failure.
bool read_rows(MtzFile& mtz, LibraryFile* file, const std::vector<MtzCol*>& colin) {
  const std::size_t ncol = static_cast<std::size_t>(mtz.ncol_file);
  ResolutionRanges ranges(mtz);
  if (ncol == 0 || mtz.nref == 0) {
    ranges.apply(mtz);
    return true;
  }
  const std::size_t nref = static_cast<std::size_t>(mtz.nref);
  const std::size_t ncols_in = colin.size();
  std::vector<float*> out(ncols_in);
  for (std::size_t k = 0; k < ncols_in; ++k) {
    colin[k]->values.resize(nref);
    out[k] = colin[k]->values.data();
  }
  RowBlocks block(ncol);
  bool direct = file->real_format == PTQ7_NATIVE_REAL_FORMAT;
  ptq7_file_setmode(file, PTQ7_FILE_MODE_FLOAT);
  for (std::size_t first = 0; first < nref; first += block.rows()) {
    const std::size_t rows = std::min(block.rows(), nref - first);
    const std::size_t n = rows * ncol;
    const int64_t at = FIRST_ROW + 4 * static_cast<int64_t>(first * ncol);
    if (direct && !read_at(file, at, reinterpret_cast<char*>(block.data()), 4 * n)) {
      direct = false;
      if (ptq7_file_seek(file, at / 4, SEEK_SET) != 0) return false;
    }
    if (!direct && ptq7_file_read(file, block.data(), n) != static_cast<int>(n)) return false;
    row_transpose::columns(block.data(), ncol, rows, out.data(), ncols_in);
    for (float*& o : out) o += rows;
    ranges.add(first, rows);
  }
  ranges.apply(mtz);
  return true;
}

}  // namespace

}  // namespace reflections

std::unique_ptr<MtzFile> MtzGet(const char* logname, int read_refs) {
  using namespace reflections;
  if (logname == nullptr) return nullptr;
  const char* env = std::getenv(logname);
  const char* filename = env != nullptr ? env : logname;

  LibraryFileHandle file(ptq7_file_open(filename, PTQ7_FILE_OPEN_READ));
  if (!file) return fail(4);
  ptq7_file_setstamp(file.get(), 2);
  const uint8_t chosen_int = file->int_format, chosen_real = file->real_format;
  if (ptq7_file_rarch(file.get()) <= 0 || file->int_format == 0 || file->real_format == 0) {
    warn(17);
    file->int_format = chosen_int;
    file->real_format = chosen_real;
  }
  ParserPtr parser = ptq7_parse_start(PARSER_TOKENS);
  if (!parser) return fail(14);

  // Identify the file and find its header.
  char magic[5] = {};
  ptq7_file_setmode(file.get(), PTQ7_FILE_MODE_CHAR);
  if (ptq7_file_seek(file.get(), 0, SEEK_SET) != 0 ||
      ptq7_file_readchar(file.get(), magic, 4) != 4 || magic[0] == '\0')
    return fail(6);
  std::string line(magic);
  ptq7_parser(line, LINE_CAPACITY, parser.get(), 0);
  if (!ptq7_keymatch(parser->keyword, "MTZ")) return fail(15);
  int32_t hdr_word = 0;
  ptq7_file_setmode(file.get(), PTQ7_FILE_MODE_INT);
  if (ptq7_file_read(file.get(), &hdr_word, 1) != 1) return fail(6);
  const int64_t hdr_byte = 4 * (static_cast<int64_t>(hdr_word) - 1);
  HeaderReader h(file.get(), parser.get());
  // The header lies behind the first row position and inside the file.
  if (hdr_byte < FIRST_ROW || hdr_byte + RECORD > file->length || !h.seek_to(hdr_byte))
    return fail(6);

  FirstScan scan;
  bool read_error = false;
  if (!first_scan(h, scan, read_error)) return read_error ? fail(6) : nullptr;
  // The rows must fit between byte 80 and the header.
  if (scan.ncol < 0 || scan.nref < 0 || scan.nbat < 0 ||
      static_cast<int64_t>(scan.ncol) * scan.nref > (hdr_byte - FIRST_ROW) / 4)
    return fail(6);

  std::vector<int> nsets;
  for (const auto& x : scan.xtals) nsets.push_back(x.nset);
  std::unique_ptr<MtzFile> mtz = MtzMalloc(static_cast<int>(nsets.size()), nsets.data());
  if (!mtz) return nullptr;
  mtz->ncol_file = scan.ncol;
  mtz->nref = scan.nref;
  mtz->nref_file = scan.nref;
  mtz->nbat_file = scan.nbat;
  // Columns are made without values: the rows give each its values.
  mtz->refs_in_memory = 0;
  MtzXtal& base = *mtz->xtals[0];
  base.crystal_name = "HKL_base";
  base.project_name = "HKL_base";
  base.cell[0] = 0.0f;
  base.sets[0]->dataset_name = "HKL_base";
  base.sets[0]->set_id = 0;
  base.sets[0]->wavelength = 0.0f;

  if (!h.seek_to(hdr_byte)) return fail(6);
  if (const int e = second_scan(h, *mtz, scan); e != 0) return fail(e);
  if (!h.seek_to(hdr_byte)) return fail(6);
  std::vector<MtzCol*> colin;
  if (const int e = third_scan(h, *mtz, colin); e != 0) return e < 0 ? nullptr : fail(e);
  if (const int e = read_tail(h, *mtz, file.get(), scan.nbat); e != 0) return fail(e);
  ptq7_parse_end(std::move(parser));
  mtz->refs_in_memory = read_refs;

  ptq7_file_setmode(file.get(), PTQ7_FILE_MODE_FLOAT);
  if (ptq7_file_seek(file.get(), FIRST_ROW / 4, SEEK_SET) != 0) return fail(6);
  if (!read_refs) {
    mtz->file_in = std::move(file);
    return mtz;
  }
  if (!read_rows(*mtz, file.get(), colin)) return fail(6);
  return mtz;
}

int MtzRrefl(LibraryFile* file, int ncol, float* refldata) {
  if (file == nullptr) return -1;
  ptq7_file_setmode(file, PTQ7_FILE_MODE_FLOAT);
  const int n = ptq7_file_read(file, refldata, static_cast<std::size_t>(ncol < 0 ? 0 : ncol));
  return n == ncol ? n : -1;
}
