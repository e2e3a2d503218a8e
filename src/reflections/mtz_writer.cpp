// The reflection-file writer.  Every header record and batch block is
// checked: a file that could not be written whole is reported as a failure,
// never as written.
#include "reflections/mtz_writer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "reflections/library_file.h"
#include "reflections/machine_stamp.h"
#include "reflections/mtz_batch.h"
#include "reflections/mtz_hierarchy.h"
#include "reflections/mtz_row_index.h"
#include "suite/csymlib_symop.h"
#include "suite/ptq7_errno.h"

namespace reflections {

namespace {

constexpr int RECORD = 80;
constexpr std::size_t MAX_ROW = 10000;
constexpr int FIRST_ROW_ITEM = 20;  // byte 80 in 4-byte items
constexpr std::size_t OUTPUT_BUFFER = 1 << 20;
// Values of the rows laid out for one write of the reflections held: a
// block several times the stream's buffer goes mostly straight to the
// system, not copied into the buffer first.
constexpr std::size_t ROW_BLOCK_VALUES = 1 << 20;

void mtz_signal(int index, const char* place) {
  ptq7_signal(ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_ERROR, index), place, nullptr);
}

const char* resolve(const char* logname) {
  const char* env = std::getenv(logname);
  return env != nullptr ? env : logname;
}

// Header records go out through one formatting buffer; `ok` stays false
// once any record fails.
class HeaderWriter {
 public:
  explicit HeaderWriter(LibraryFile* file) : file_(file) {}

  void rec(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf_, sizeof buf_, format, ap);
    va_end(ap);
    put(buf_);
  }
  void put(const char* text) {
    if (MtzWhdrLine(file_, RECORD, text) != RECORD) ok_ = false;
  }
  void fail() { ok_ = false; }
  bool ok() const { return ok_; }

 private:
  LibraryFile* file_;
  char buf_[2 * RECORD + 1] = {};
  bool ok_ = true;
};

float value_at(const MtzCol* c, std::size_t i, float missing) {
  return i < c->values.size() ? c->values[i] : missing;
}

std::vector<const MtzCol*> active_columns(const MtzFile* mtz) {
  std::vector<const MtzCol*> cols;
  for (const auto& x : mtz->xtals)
    for (const auto& s : x->sets)
      for (const auto& c : s->cols)
        if (c->active) cols.push_back(c.get());
  return cols;
}

// The rows of the reflections held, laid out a block of rows at a time and
// each block handed to the file in one write: the bytes are those of one
// write a row, without a call and its checks for every few dozen bytes.
bool write_rows(MtzFile* mtz, LibraryFile* out) {
  const std::vector<const MtzCol*> cols = active_columns(mtz);
  const std::size_t ncol = std::min(cols.size(), MAX_ROW);
  if (ncol == 0) return true;
  const float missing = missing_value(mtz);
  const std::size_t nref = static_cast<std::size_t>(mtz->nref);
  const std::size_t block_rows = std::max<std::size_t>(1, ROW_BLOCK_VALUES / ncol);
  std::vector<float> block(std::min(block_rows, nref) * ncol);
  for (std::size_t first = 0; first < nref; first += block_rows) {
    const std::size_t rows = std::min(block_rows, nref - first);
    // Column by column down the block: each column's values are read in order.
    for (std::size_t k = 0; k < ncol; ++k) {
      const auto& v = cols[k]->values;
      const std::size_t held = v.size() > first ? std::min(rows, v.size() - first) : 0;
      float* at = block.data() + k;
      for (std::size_t r = 0; r < held; ++r, at += ncol) *at = v[first + r];
      for (std::size_t r = held; r < rows; ++r, at += ncol) *at = missing;
    }
    const std::size_t n = rows * ncol;
    if (ptq7_file_write(out, block.data(), n) != static_cast<int>(n)) return false;
  }
  return true;
}

// Each crystal's range over the reflections held, and the file's own bounds.
void reflection_resolutions(MtzFile* mtz) {
  int xi = 0, si = 0, index[3];
  MtzFindInd(mtz, xi, si, index);
  for (auto& x : mtz->xtals) {
    x->reso_min = 100.0f;
    x->reso_max = 0.0f;
  }
  if (mtz->xtals.empty()) return;
  const auto& sets = mtz->xtals[static_cast<std::size_t>(xi)]->sets;
  if (si >= static_cast<int>(sets.size())) return;
  const auto& cols = sets[static_cast<std::size_t>(si)]->cols;
  for (int i : index)
    if (i >= static_cast<int>(cols.size())) return;
  const MtzCol* hkl[3];
  for (int i = 0; i < 3; ++i) hkl[i] = cols[static_cast<std::size_t>(index[i])].get();
  const std::size_t nref = static_cast<std::size_t>(mtz->nref);
  if (hkl[0]->values.size() >= nref && hkl[1]->values.size() >= nref &&
      hkl[2]->values.size() >= nref) {
    // Every row has its indices: each cell's range over the rows in one
    // pass, taken by every crystal of that cell and by the file.  A range
    // is of the values above zero, and no order of the rows changes it.
    constexpr float kInf = std::numeric_limits<float>::infinity();
    double last[6] = {};
    float lo = kInf, hi = -kInf;
    bool have = false;
    for (auto& x : mtz->xtals) {
      double coefs[6];
      MtzHklcoeffs(x->cell, coefs);
      if (!have || std::memcmp(coefs, last, sizeof coefs) != 0) {
        lo = kInf;
        hi = -kInf;
        widen_reso_range(hkl[0]->values.data(), hkl[1]->values.data(), hkl[2]->values.data(), nref,
                         coefs, true, lo, hi);
        std::memcpy(last, coefs, sizeof last);
        have = true;
      }
      if (lo == kInf) continue;
      x->reso_max = std::max(x->reso_max, hi);
      x->reso_min = std::min(x->reso_min, lo);
      mtz->reso_max = std::max(mtz->reso_max, hi);
      mtz->reso_min = std::min(mtz->reso_min, lo);
    }
    return;
  }
  for (auto& x : mtz->xtals) {
    double coefs[6];
    MtzHklcoeffs(x->cell, coefs);
    for (std::size_t r = 0; r < static_cast<std::size_t>(mtz->nref); ++r) {
      const int32_t ind[3] = {truncated_index(value_at(hkl[0], r, 0.0f)),
                              truncated_index(value_at(hkl[1], r, 0.0f)),
                              truncated_index(value_at(hkl[2], r, 0.0f))};
      const float s = MtzInd2reso(ind, coefs);
      if (s <= 0.0f) continue;
      x->reso_max = std::max(x->reso_max, s);
      x->reso_min = std::min(x->reso_min, s);
      mtz->reso_max = std::max(mtz->reso_max, s);
      mtz->reso_min = std::min(mtz->reso_min, s);
    }
  }
}

void cell_record(HeaderWriter& w, MtzFile* mtz) {
  MtzXtal* base = nullptr;
  for (auto& x : mtz->xtals)
    if (x->crystal_name == "HKL_base") {
      base = x.get();
      break;
    }
  for (auto& x : mtz->xtals) {
    if (x->crystal_name == "HKL_base" || MtzNumActiveSetsInXtal(mtz, x.get()) == 0 ||
        x->cell[0] <= 0.001f)
      continue;
    if (base != nullptr) std::copy(x->cell, x->cell + 6, base->cell);
    base = x.get();
    break;
  }
  if (base == nullptr) return;
  const float* c = base->cell;
  w.rec("CELL  %9.4f %9.4f %9.4f %9.4f %9.4f %9.4f", c[0], c[1], c[2], c[3], c[4], c[5]);
}

// The reader wants seven SYMINF tokens: a lattice letter or point-group name
// that is unset (or would split into two tokens) goes out quoted, so a file
// whose symmetry was never given still reads back, with it still unset.
void symmetry_records(HeaderWriter& w, const MtzFile* mtz) {
  char quoted[MTZ_SPACEGROUP_NAME_LENGTH + 3];
  std::snprintf(quoted, sizeof quoted, "'%s'", rtrimmed(mtz->spacegroup_name).c_str());
  const char lattice = mtz->lattice_type;
  char lattice_token[3] = {lattice, '\0', '\0'};
  if (lattice == ' ' || lattice == '\'' || !std::isgraph(static_cast<unsigned char>(lattice)))
    std::memcpy(lattice_token, "''", 3);
  const std::string point = rtrimmed(mtz->pointgroup_name);
  char point_token[MTZ_POINTGROUP_NAME_LENGTH + 3];
  const bool plain = !point.empty() && point.find_first_of(" \t") == std::string::npos;
  std::snprintf(point_token, sizeof point_token, plain ? "%s" : "'%s'", point.c_str());
  w.rec("SYMINF %3d %2d %s %5d %22s %5s", mtz->nsym, mtz->nsymp, lattice_token,
        mtz->spacegroup_num, quoted, point_token);
  const int nsym = std::clamp(mtz->nsym, 0, MTZ_MAX_SYMOPS);
  for (int k = 0; k < nsym; ++k) {
    char op[75];
    mat4_to_symop(op, op + 74, &mtz->symops[k][0][0]);
    op[74] = '\0';
    w.rec("SYMM %74s", op);
  }
}

void column_records(HeaderWriter& w, MtzFile* mtz) {
  for (auto& x : mtz->xtals)
    for (auto& s : x->sets)
      for (auto& c : s->cols) {
        if (!c->active) continue;
        const char* label = (c->type == "Y" && c->label == "M_ISYM") ? "M/ISYM" : c->label.c_str();
        if (c->type.empty()) {
          std::printf("From MtzPut: column type for %s is not set, assume type R\n",
                      c->label.c_str());
          c->type.assign(1, 'R');
        }
        w.rec("COLUMN %-30s %c %17.4f %17.4f %4d", label, c->type[0], c->min_value, c->max_value,
              s->set_id);
      }
}

void dataset_records(HeaderWriter& w, const MtzFile* mtz) {
  w.rec("NDIF %8d", MtzNumActiveSet(mtz));
  for (const auto& x : mtz->xtals)
    for (const auto& s : x->sets) {
      if (MtzNumActiveColsInSet(s.get()) == 0 && MtzNbatchesInSet(mtz, s.get()) == 0) continue;
      const int id = s->set_id;
      const float* c = x->cell;
      w.rec("PROJECT %7d %-64s", id, x->project_name.c_str());
      w.rec("CRYSTAL %7d %-64s", id, x->crystal_name.c_str());
      w.rec("DATASET %7d %-64s", id, s->dataset_name.c_str());
      w.rec("DCELL   %7d %10.4f%10.4f%10.4f%10.4f%10.4f%10.4f", id, c[0], c[1], c[2], c[3], c[4],
            c[5]);
      w.rec("DWAVEL  %7d %10.5f", id, s->wavelength);
    }
}

// The batches written behind the input's: sorted by number and listed.
// Returns the first batch whose header block is written.
const MtzBatch* batch_list_records(HeaderWriter& w, MtzFile* mtz) {
  const int n = MtzNbat(mtz);
  // The input's batches head the list; there cannot be more of them than batches.
  const int r = std::clamp(mtz->nbat_file, 0, n);
  const MtzBatch* first = mtz->batches.get();
  if (n > r) {
    if (r == 0) {
      mtz->batches = sort_batches(std::move(mtz->batches), n);
      first = mtz->batches.get();
    } else {
      MtzBatch* last_input = mtz->batches.get();
      for (int i = 1; i < r; ++i) last_input = last_input->next.get();
      last_input->next = sort_batches(std::move(last_input->next), n - r);
      first = last_input->next.get();
    }
  }
  std::string line;
  int in_line = 0;
  for (const MtzBatch* b = first; b != nullptr; b = b->next.get()) {
    if (in_line == 0) line = "BATCH ";
    char num[16];
    std::snprintf(num, sizeof num, "%6d", b->batch_number);
    line += num;
    if (++in_line == 12 || b->next == nullptr) {
      w.put(line.c_str());
      in_line = 0;
    }
  }
  return n > r && r > 0 ? first : mtz->batches.get();
}

void batch_headers(HeaderWriter& w, LibraryFile* out, const MtzBatch* first) {
  w.rec("MTZBATS");
  for (const MtzBatch* b = first; b != nullptr; b = b->next.get()) {
    w.rec("BH %8d%8d%8d%8d", b->batch_number, MTZ_BATCH_WORDS, MTZ_BATCH_INTS, MTZ_BATCH_REALS);
    w.rec("TITLE %.70s", b->title.c_str());
    // 29 integers then 156 reals, as one block of words.
    float words[MTZ_BATCH_WORDS];
    int32_t ints[MTZ_BATCH_INTS];
    MtzBatchToArray(b, ints, words + MTZ_BATCH_INTS);
    ints[0] = MTZ_BATCH_WORDS;
    ints[1] = MTZ_BATCH_INTS;
    ints[2] = MTZ_BATCH_REALS;
    std::memcpy(words, ints, sizeof ints);
    ptq7_file_setmode(out, PTQ7_FILE_MODE_FLOAT);
    if (ptq7_file_write(out, words, MTZ_BATCH_WORDS) != MTZ_BATCH_WORDS) w.fail();
    ptq7_file_setmode(out, PTQ7_FILE_MODE_CHAR);
    w.rec("BHCH %8s%8s%8s", b->axis_labels[0].c_str(), b->axis_labels[1].c_str(),
          b->axis_labels[2].c_str());
  }
}

bool header_position(LibraryFile* out, int32_t word) {
  // A file of native reals takes the word's bytes as they stand, written in
  // place: the file is finished and nothing reads its rows again.
  if (out->real_format == PTQ7_NATIVE_REAL_FORMAT && write_at(out, 4, &word, sizeof word))
    return true;
  ptq7_file_setmode(out, PTQ7_FILE_MODE_CHAR);
  if (ptq7_file_seek(out, 4, SEEK_SET) != 0) return false;
  ptq7_file_setmode(out, PTQ7_FILE_MODE_FLOAT);
  return ptq7_file_write(out, &word, 1) == 1;
}

}  // namespace

}  // namespace reflections

LibraryFileHandle MtzOpenForWrite(const char* logname) {
  using reflections::mtz_signal;
  if (logname == nullptr) {
    mtz_signal(4, "MtzOpenForWrite");
    return nullptr;
  }
  LibraryFileHandle f(ptq7_file_open(reflections::resolve(logname),
                                     PTQ7_FILE_OPEN_READWRITE | PTQ7_FILE_OPEN_TRUNCATE));
  if (!f) {
    mtz_signal(4, "MtzOpenForWrite");
    return nullptr;
  }
  // Rows go out a few dozen bytes at a time: a buffer of 1 MiB saves system
  // calls, and the system takes the file in pieces large enough to cost it
  // less per byte (a failed write is still reported, by a later row or the
  // close).
  reflections::set_stream_buffer(f.get(), reflections::OUTPUT_BUFFER);
  const int32_t provisional = 21;
  ptq7_file_setmode(f.get(), PTQ7_FILE_MODE_CHAR);
  bool ok = ptq7_file_write(f.get(), "MTZ ", 4) == 4;
  ptq7_file_setmode(f.get(), PTQ7_FILE_MODE_FLOAT);
  ok = ok && ptq7_file_write(f.get(), &provisional, 1) == 1;
  ptq7_file_setstamp(f.get(), 2);
  ok = ok && ptq7_file_warch(f.get()) == 0;
  ok = ok && ptq7_file_seek(f.get(), reflections::FIRST_ROW_ITEM, SEEK_SET) == 0;
  if (!ok) {
    mtz_signal(7, "MtzOpenForWrite");
    return nullptr;
  }
  return f;
}

int MtzWrefl(LibraryFile* file, int ncol, const float* refldata) {
  if (file == nullptr) {
    reflections::mtz_signal(2, "MtzWrefl");
    return 0;
  }
  return ptq7_file_write(file, refldata, static_cast<std::size_t>(ncol < 0 ? 0 : ncol));
}

int MtzWhdrLine(LibraryFile* file, int length, const char* text) {
  char rec[reflections::RECORD];
  std::memset(rec, ' ', sizeof rec);
  const std::size_t n = std::min<std::size_t>(::strnlen(text, reflections::RECORD),
                                              static_cast<std::size_t>(std::max(length, 0)));
  std::memcpy(rec, text, n);
  return ptq7_file_writechar(file, rec, reflections::RECORD);
}

int MtzPut(MtzFile* mtz, const char* logname) {
  using namespace reflections;
  if (mtz == nullptr) return 0;
  LibraryFileHandle opened;
  LibraryFile* out = mtz->file_out.get();
  if (out == nullptr) {
    opened = MtzOpenForWrite(logname);
    if (!opened) return 0;
    out = opened.get();
  }
  if (mtz->refs_in_memory && mtz->nref > 0 && !write_rows(mtz, out)) return 0;

  ptq7_file_setmode(out, PTQ7_FILE_MODE_CHAR);
  HeaderWriter w(out);
  w.rec("VERS %8s", "MTZ:V1.1");
  w.rec("TITLE %.70s", mtz->title.c_str());
  const int nbat = MtzNbat(mtz);
  const int listed = nbat == mtz->nbat_file ? nbat : std::max(0, nbat - mtz->nbat_file);
  const int nactive = MtzNumActiveCol(mtz);
  w.rec("NCOL %8d %12d %8d", nactive, mtz->nref, listed);
  cell_record(w, mtz);
  int sort[5];
  ptq7_lrsort(mtz, sort);
  w.rec("SORT  %3d %3d %3d %3d %3d", sort[0], sort[1], sort[2], sort[3], sort[4]);
  symmetry_records(w, mtz);
  if (mtz->refs_in_memory) reflection_resolutions(mtz);
  w.rec("RESO %-20f %-20f", mtz->reso_min, mtz->reso_max);
  if (std::strncmp(mtz->missing_number_flag, "NAN", 3) == 0) w.rec("VALM NAN");
  else w.rec("VALM %-20f", missing_value(mtz));
  column_records(w, mtz);
  dataset_records(w, mtz);
  const MtzBatch* first_header = mtz->batches ? batch_list_records(w, mtz) : nullptr;
  w.rec("END ");
  if (mtz->n_history > 0) {
    w.rec("MTZHIST %3d", mtz->n_history);
    for (int i = 0; i < mtz->n_history; ++i)
      if (MtzWhdrLine(out, RECORD, &mtz->history[static_cast<std::size_t>(i) * RECORD]) != RECORD)
        w.fail();
  }
  if (first_header != nullptr) batch_headers(w, out, first_header);
  w.rec("MTZENDOFHEADERS ");

  const int64_t words = static_cast<int64_t>(mtz->nref) * nactive + 21;
  bool ok = w.ok() && words <= INT32_MAX && header_position(out, static_cast<int32_t>(words));
  if (opened) {
    ok = ptq7_file_close(opened.release()) == 0 && ok;
  } else if (out->stream != nullptr && std::fflush(out->stream) != 0) {
    ok = false;
  }
  if (!ok) {
    mtz_signal(7, "MtzPut");
    return 0;
  }
  return 1;
}

int MtzDeleteRefl(MtzFile* mtz, int iref) {
  if (!mtz->refs_in_memory || iref < 0 || iref >= mtz->nref) return 1;
  for (auto& x : mtz->xtals)
    for (auto& s : x->sets)
      for (auto& c : s->cols)
        if (static_cast<std::size_t>(iref) < c->values.size())
          c->values.erase(c->values.begin() + iref);
  --mtz->nref;
  return 1;
}

int ptq7_lrsort(const MtzFile* mtz, int isort[5]) {
  for (int k = 0; k < 5; ++k) {
    isort[k] = 0;
    if (mtz->sort_order[k] == nullptr) continue;
    int pos = 0;
    for (const auto& x : mtz->xtals)
      for (const auto& s : x->sets)
        for (const auto& c : s->cols) {
          ++pos;
          if (c.get() == mtz->sort_order[k] && isort[k] == 0) isort[k] = pos;
        }
  }
  return 1;
}
