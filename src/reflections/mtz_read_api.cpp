// Reflection-file programming interface, reading.
#include "reflections/mtz_read_api.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "reflections/library_file.h"
#include "reflections/mtz_hierarchy.h"
#include "reflections/mtz_print.h"
#include "reflections/mtz_reader.h"
#include "reflections/mtz_row_index.h"
#include "reflections/mtz_writer.h"
#include "suite/csymlib_f.h"
#include "suite/library_err.h"

namespace reflections {

namespace {

constexpr int FIRST_ROW_ITEM = 20;

// One row of the input file, kept between calls so that reading a
// reflection allocates nothing.
std::vector<float>& row_buffer() {
  static std::vector<float> row;
  return row;
}

const MtzXtal* first_cell_xtal(const MtzFile* mtz) {
  for (const auto& x : mtz->xtals)
    if (x->cell[0] > 0.001f) return x.get();
  return nullptr;
}

// 1/d^2 from the first crystal with a cell, kept inside its limits.
float reflection_resolution(const MtzFile* mtz, const int32_t hkl[3]) {
  const MtzXtal* x = first_cell_xtal(mtz);
  if (x == nullptr) return 0.0f;
  double coefs[6];
  MtzHklcoeffs(x->cell, coefs);
  float resol = MtzInd2reso(hkl, coefs);
  if (resol > x->reso_max) resol = x->reso_max;
  if (resol < x->reso_min) resol = x->reso_min;
  return resol;
}

// Reads the next input row; null when it cannot be read.
const float* next_row(MtzFile* mtz) {
  if (mtz->refs_in_memory) return nullptr;
  std::vector<float>& row = row_buffer();
  row.resize(static_cast<std::size_t>(std::max(mtz->ncol_file, 1)));
  if (!mtz->file_in || MtzRrefl(mtz->file_in.get(), mtz->ncol_file, row.data()) < 0) return nullptr;
  return row.data();
}

void put_text(rt::TextRef dest, std::string_view text) { dest.assign(text); }

void seek_row(MtzIndexSlot& s, int nrefl) {
  MtzFile* mtz = s.mtz.get();
  if (mtz_in_memory_mode() || !mtz->file_in) return;
  ptq7_file_setmode(mtz->file_in.get(), PTQ7_FILE_MODE_FLOAT);
  ptq7_file_seek(mtz->file_in.get(),
                 FIRST_ROW_ITEM + static_cast<int64_t>(nrefl - 1) * mtz->ncol_file, SEEK_SET);
}

const MtzBatch* find_batch(const MtzFile* mtz, int batno) {
  for (const MtzBatch* b = mtz->batches.get(); b != nullptr; b = b->next.get())
    if (b->batch_number == batno) return b;
  return nullptr;
}

template <typename F>
void each_dataset(const MtzFile* mtz, F f) {
  for (const auto& x : mtz->xtals)
    for (const auto& set : x->sets) f(*x, *set);
}

}  // namespace

}  // namespace reflections

using namespace reflections;

void lropen_(int32_t mindx, std::string_view filnam, int32_t iprint, int32_t& ifail) {
  ifail = 0;
  if (mindx < 1 || mindx > MTZ_MAX_SLOTS) {
    std::printf("Error: mindx out of range!\n");
    ifail = 1;
    return;
  }
  MtzIndexSlot& s = mtz_index_slot(mindx);
  if (s.open_read || s.open_write) {
    std::printf(s.open_read ? "Error: mindx already used for read!\n"
                            : "Error: mindx already used for write!\n");
    ifail = 1;
    return;
  }
  const std::string logical(rt::trim_right(filnam));
  const char* env = std::getenv(logical.c_str());
  const std::string shown = env != nullptr ? env : logical;
  if (std::getenv("CMTZ_IN_MEMORY") != nullptr) mtz_set_in_memory_mode();
  std::unique_ptr<MtzFile> mtz = MtzGet(logical.c_str(), mtz_in_memory_mode());
  if (!mtz) {
    std::printf("Error: failed to open file for read!\n");
    ifail = -1;
    return;
  }
  mtz_forget_record_pointers(s);
  s.mtz = std::move(mtz);
  s.open_read = 1;
  MtzAssignHKLtoBase(s.mtz.get());
  std::printf("\n OPENED INPUT MTZ FILE \n");
  std::printf(" Logical Name: %s   Filename: %s \n\n", logical.c_str(), shown.c_str());
  if (iprint > 0) ptq7_lhprt(s.mtz.get(), iprint);
  s.nref_read = 0;
  s.read_batch = s.mtz->nbat_file > 0 ? s.mtz->batches.get() : nullptr;
  if (const MtzXtal* x = first_cell_xtal(s.mtz.get())) MtzHklcoeffs(x->cell, s.hkl_coefs);
}

void lrinfo_(int32_t mindx, rt::TextRef versnx, int32_t& ncolx, int32_t& nreflx, float* ranges) {
  if (MtzCheckSubInput(mindx, "LRINFO", 1)) return;
  const MtzFile* mtz = mtz_slot(mindx).get();
  put_text(versnx, "MTZ:V1.1");
  ncolx = MtzNumActiveCol(mtz);
  nreflx = mtz->nref;
  int i = 0;
  each_dataset(mtz, [&](const MtzXtal&, const MtzSet& set) {
    for (const auto& c : set.cols)
      if (c->active) {
        ranges[2 * i] = c->min_value;
        ranges[2 * i + 1] = c->max_value;
        ++i;
      }
  });
}

std::vector<MtzCol*> ptq7_lrassn(MtzFile* mtz, const std::vector<std::string>& labels,
                                 std::vector<std::string>& types) {
  std::vector<MtzCol*> cols(labels.size(), nullptr);
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (labels[i].empty()) continue;
    std::string& type = types[i];
    const std::string label = (type == "Y" && labels[i] == "M/ISYM") ? "M_ISYM" : labels[i];
    MtzCol* c = MtzColLookup(mtz, label.c_str());
    cols[i] = c;
    if (c == nullptr) continue;
    if (type.empty()) {
      type = c->type.empty() ? "R" : c->type;
    } else if (c->type.empty() || type[0] != c->type[0]) {
      std::printf("From ptq7_lrassn: expected type %s does not match file type %s for column %s\n",
                  type.c_str(), c->type.c_str(), label.c_str());
      if (type == "R" || type == "I")
        std::printf("(This may be intended for generic types R/I.) \n");
    }
  }
  return cols;
}

void lrassn_(int32_t mindx, TextArray lsprgi, int32_t nlprgi, int32_t* lookup, TextArray ctprgi) {
  if (MtzCheckSubInput(mindx, "LRASSN", 1)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  // The look-up holds 10000 program columns: a longer list is cut there.
  const int n = std::clamp(nlprgi, 0, MTZ_MAX_LOOKUP);
  std::vector<std::string> labels(static_cast<std::size_t>(n)), types(static_cast<std::size_t>(n));
  int errors = 0;
  for (int i = 0; i < n; ++i) {
    const MtzLabelPair& entry = s.labin_table[i];
    std::string& label = labels[static_cast<std::size_t>(i)];
    if (entry.user[0] == '\0') {
      if (lookup[i] != 0) label = label_of(lsprgi(i + 1).view(), MTZ_LABEL_LENGTH);
    } else {
      label = entry.user;
      if (MtzColLookup(s.mtz.get(), label.c_str()) == nullptr) {
        std::printf("Error in LABIN: label %s not found in file!\n", label.c_str());
        ++errors;
      }
    }
    if (ctprgi.len > 0) types[static_cast<std::size_t>(i)] = label_of(ctprgi(i + 1).view(), 2);
  }
  if (errors > 0) ptqerror(1, "Error in label assignments in LABIN");
  const std::vector<MtzCol*> cols = ptq7_lrassn(s.mtz.get(), labels, types);
  for (int i = 0; i < n; ++i) {
    MtzCol* c = cols[static_cast<std::size_t>(i)];
    s.col_in[i] = c;
    s.col_in_used = std::max(s.col_in_used, i + 1);
    if (c != nullptr) {
      lookup[i] = c->source;
    } else {
      if (lookup[i] == -1) {
        std::printf("Error: label %s not found in file!\n",
                    labels[static_cast<std::size_t>(i)].c_str());
        ++errors;
      }
      lookup[i] = 0;
    }
  }
  if (errors > 0) ptqerror(1, "Error in label assignments");
}

int ptq7_lrrefl(MtzFile* mtz, float& resol, float* adata, int* missing, int iref) {
  if (iref > mtz->nref_file) return 1;
  const float* row = next_row(mtz);
  if (!mtz->refs_in_memory && row == nullptr) return 1;
  int32_t hkl[3] = {0, 0, 0};
  each_dataset(mtz, [&](const MtzXtal&, const MtzSet& set) {
    for (const auto& c : set.cols) {
      const int p = c->source;
      if (p < 1 || p > mtz->ncol_file) continue;
      const std::size_t at = static_cast<std::size_t>(iref - 1);
      const float v = row != nullptr ? row[p - 1]
                                     : (at < c->values.size() ? c->values[at] : missing_value(mtz));
      adata[p - 1] = v;
      missing[p - 1] = ptq7_ismnf(mtz, v);
      if (c->type == "H" && c->label.size() == 1) {
        const int which = std::string_view("HKL").find(c->label[0]);
        if (which != static_cast<int>(std::string_view::npos)) hkl[which] = truncated_index(v);
      }
    }
  });
  resol = reflection_resolution(mtz, hkl);
  return 0;
}

void lrrefl_(int32_t mindx, float& resol, float* adata, bool& eof) {
  if (mindx > 1000) mindx -= 1000;
  if (MtzCheckSubInput(mindx, "LRREFL", 1)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  const int iref = ++s.nref_read;
  s.n_missing_flags = std::min(s.mtz->ncol_file, MTZ_MAX_LOOKUP);
  eof = ptq7_lrrefl(s.mtz.get(), resol, adata, s.missing_flags, iref) != 0;
}

int ptq7_lrreff(MtzFile* mtz, float& resol, float* adata, int* missing, MtzCol* const* lookup,
                int ncols, int iref) {
  if (iref > mtz->nref_file) return 1;
  const float* row = next_row(mtz);
  if (!mtz->refs_in_memory && row == nullptr) return 1;
  const float mnf = missing_value(mtz);
  const std::size_t at = static_cast<std::size_t>(iref - 1);
  for (int i = 0; i < ncols; ++i) {
    missing[i] = 1;
    const MtzCol* c = lookup[i];
    if (c == nullptr) continue;
    if (row == nullptr) {
      adata[i] = at < c->values.size() ? c->values[at] : mnf;
      missing[i] = ptq7_ismnf(mtz, adata[i]);
    } else if (c->source >= 1 && c->source <= mtz->ncol_file) {
      adata[i] = row[c->source - 1];
      missing[i] = ptq7_ismnf(mtz, adata[i]);
    } else {
      adata[i] = mnf;
    }
  }
  int32_t hkl[3];
  row_hkl(mtz, lookup, ncols, adata, hkl);
  resol = reflection_resolution(mtz, hkl);
  return 0;
}

void lrreff_(int32_t mindx, float& resol, float* adata, bool& eof) {
  if (mindx > 1000) mindx -= 1000;
  if (MtzCheckSubInput(mindx, "LRREFF", 1)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  int ncols = MTZ_MAX_LOOKUP;
  while (ncols > 0 && s.col_in[ncols - 1] == nullptr) --ncols;
  s.n_missing_flags = ncols;
  const int iref = ++s.nref_read;
  eof = ptq7_lrreff(s.mtz.get(), resol, adata, s.missing_flags, s.col_in, ncols, iref) != 0;
}

void lrrefm_(int32_t mindx, int32_t* logmss) {
  if (MtzCheckSubInput(mindx, "LRREFM", 1)) return;
  const MtzIndexSlot& s = mtz_index_slot(mindx);
  for (int i = 0; i < s.n_missing_flags; ++i) logmss[i] = s.missing_flags[i] != 0 ? 1 : 0;
}

void mtz_check_for_mnf_(int32_t mindx, int32_t ndata, const float* adata, int32_t* logmss) {
  if (MtzCheckSubInput(mindx, "MTZ_CHECK_FOR_MNF", 1)) return;
  const MtzFile* mtz = mtz_slot(mindx).get();
  for (int i = 0; i < ndata; ++i) logmss[i] = ptq7_ismnf(mtz, adata[i]);
}

void lrseek_(int32_t mindx, int32_t nrefl) {
  if (MtzCheckSubInput(mindx, "LRSEEK", 1)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  s.nref_read = nrefl - 1;
  seek_row(s, nrefl);
}

void lrrewd_(int32_t mindx) {
  if (MtzCheckSubInput(mindx, "LRREWD", 1)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  s.nref_read = 0;
  seek_row(s, 1);
}

void lrclos_(int32_t mindx) {
  if (MtzCheckSubInput(mindx, "LRCLOS", 1)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  s.open_read = 0;
  // The look-ups point into the record: they go with it.
  if (!s.open_write) mtz_release_record(s);
}

float lstlsq_(int32_t mindx, int32_t ih, int32_t ik, int32_t il) {
  const int32_t hkl[3] = {ih, ik, il};
  return 0.25f * MtzInd2reso(hkl, mtz_index_slot(mindx).hkl_coefs);
}

void lstrsl_(int32_t mindx, float a, float b, float c, float alpha, float beta, float gamma) {
  const float cell[6] = {a, b, c, alpha, beta, gamma};
  MtzHklcoeffs(cell, mtz_index_slot(mindx).hkl_coefs);
}

void lrcell_(int32_t mindx, float* cell) {
  if (MtzCheckSubInput(mindx, "LRCELL", 1)) return;
  const MtzFile* mtz = mtz_slot(mindx).get();
  if (!mtz->xtals.empty()) std::copy(mtz->xtals[0]->cell, mtz->xtals[0]->cell + 6, cell);
}

void lrcelx_(int32_t mindx, int32_t iset, float* cell) {
  if (MtzCheckSubInput(mindx, "LRCELX", 1)) return;
  bool found = false;
  each_dataset(mtz_slot(mindx).get(), [&](const MtzXtal& x, const MtzSet& set) {
    if (!found && set.set_id == iset) {
      std::copy(x.cell, x.cell + 6, cell);
      found = true;
    }
  });
  if (!found) std::printf("LRCELX: error, dataset %d not found\n", iset);
}

void lrrsol_(int32_t mindx, float& minres, float& maxres) {
  if (MtzCheckSubInput(mindx, "LRRSOL", 1)) return;
  MtzResLimits(mtz_slot(mindx).get(), minres, maxres);
}

void lrsymm_(int32_t mindx, int32_t& nsymx, float* rsymx) {
  if (MtzCheckSubInput(mindx, "LRSYMM", 1)) return;
  const MtzFile* mtz = mtz_slot(mindx).get();
  nsymx = mtz->nsym;
  for (int k = 0; k < mtz->nsym; ++k)
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) rsymx[r + 4 * c + 16 * k] = mtz->symops[k][r][c];
  ptq7spg_register_by_symops(mtz->nsym, mtz->symops);
}

void lrsymi_(int32_t mindx, int32_t& nsympx, rt::TextRef ltypex, int32_t& nspgrx,
             rt::TextRef spgrnx, rt::TextRef pgnamx) {
  if (MtzCheckSubInput(mindx, "LRSYMI", 1)) return;
  const MtzFile* mtz = mtz_slot(mindx).get();
  nsympx = mtz->nsymp;
  put_text(ltypex, std::string_view(&mtz->lattice_type, 1));
  nspgrx = mtz->spacegroup_num;
  put_text(spgrnx, mtz->spacegroup_name);
  put_text(pgnamx, mtz->pointgroup_name);
}

namespace {

// The dataset listing of lrid_, lridc_ and lridx_; capacity < 0: unlimited.
void list_datasets(int32_t mindx, const char* routine, TextArray pname, TextArray xname,
                   TextArray dname, int32_t* isets, float* datcell, float* datwave,
                   int32_t& ndatasets, int capacity) {
  if (MtzCheckSubInput(mindx, routine, 1)) return;
  int n = 0;
  bool full = false;
  each_dataset(mtz_slot(mindx).get(), [&](const MtzXtal& x, const MtzSet& set) {
    if (full) return;
    if (capacity >= 0 && n == capacity) {
      std::printf(
          "Warning in LRIDX. You have only reserved enough memory for %d datasets but there "
          "are more in the MTZ file. \n",
          capacity);
      std::printf("Only returning partial dataset information. \n");
      full = true;
      return;
    }
    pname(n + 1).assign(std::string_view(x.project_name).substr(0, 63));
    if (xname.p != nullptr) xname(n + 1).assign(std::string_view(x.crystal_name).substr(0, 63));
    dname(n + 1).assign(std::string_view(set.dataset_name).substr(0, 63));
    isets[n] = set.set_id;
    if (datcell != nullptr) std::copy(x.cell, x.cell + 6, datcell + 6 * n);
    if (datwave != nullptr) datwave[n] = set.wavelength;
    ++n;
  });
  ndatasets = full ? -1 : n;
}

}  // namespace

void lrid_(int32_t mindx, TextArray pname, TextArray dname, int32_t* isets, int32_t& ndatasets) {
  list_datasets(mindx, "LRID", pname, TextArray(), dname, isets, nullptr, nullptr, ndatasets, -1);
}

void lridc_(int32_t mindx, TextArray pname, TextArray dname, int32_t* isets, float* datcell,
            float* datwave, int32_t& ndatasets) {
  list_datasets(mindx, "LRIDC", pname, TextArray(), dname, isets, datcell, datwave, ndatasets, -1);
}

void lridx_(int32_t mindx, TextArray pname, TextArray xname, TextArray dname, int32_t* isets,
            float* datcell, float* datwave, int32_t& ndatasets) {
  list_datasets(mindx, "LRIDX", pname, xname, dname, isets, datcell, datwave, ndatasets,
                std::max(ndatasets, 0));
}

namespace {

// Input columns in file order: (label as listed, type, dataset id); empty
// label where no column came from that position.
struct InputColumn {
  std::string label, type;
  int set_id = 0;
};

std::vector<InputColumn> input_columns(const MtzFile* mtz) {
  std::vector<InputColumn> cols;
  each_dataset(mtz, [&](const MtzXtal&, const MtzSet& set) {
    for (const auto& c : set.cols) {
      if (c->source < 1) continue;
      const std::size_t at = static_cast<std::size_t>(c->source - 1);
      if (cols.size() <= at) cols.resize(at + 1);
      const bool misym = c->type == "Y" && c->label == "M_ISYM";
      cols[at] = {misym ? "M/ISYM" : c->label, c->type, set.set_id};
    }
  });
  return cols;
}

}  // namespace

void lrclab_(int32_t mindx, TextArray clabs, TextArray ctyps, int32_t& ncol) {
  if (MtzCheckSubInput(mindx, "LRCLAB", 1)) return;
  const std::vector<InputColumn> cols = input_columns(mtz_slot(mindx).get());
  for (std::size_t i = 0; i < cols.size(); ++i) {
    clabs(static_cast<int>(i) + 1).assign(cols[i].label);
    ctyps(static_cast<int>(i) + 1).assign(cols[i].type);
  }
  ncol = MtzNumSourceCol(mtz_slot(mindx).get());
}

void lrclid_(int32_t mindx, int32_t* csetid, int32_t& ncol) {
  if (MtzCheckSubInput(mindx, "LRCLID", 1)) return;
  const std::vector<InputColumn> cols = input_columns(mtz_slot(mindx).get());
  for (std::size_t i = 0; i < cols.size(); ++i) csetid[i] = cols[i].set_id;
  ncol = MtzNumSourceCol(mtz_slot(mindx).get());
}

void lrncol_(int32_t mindx, int32_t& ncolx) {
  if (MtzCheckSubInput(mindx, "LRNCOL", 1)) return;
  ncolx = MtzNumSourceCol(mtz_slot(mindx).get());
}

void lrnref_(int32_t mindx, int32_t& nreflx) {
  if (MtzCheckSubInput(mindx, "LRNREF", 1)) return;
  nreflx = mtz_index_slot(mindx).nref_read + 1;
}

void lrsort_(int32_t mindx, int32_t* isort) {
  if (MtzCheckSubInput(mindx, "LRSORT", 1)) return;
  int sort[5];
  ptq7_lrsort(mtz_slot(mindx).get(), sort);
  std::copy(sort, sort + 5, isort);
}

void lrtitl_(int32_t mindx, rt::TextRef ftitle, int32_t& len) {
  if (MtzCheckSubInput(mindx, "LRTITL", 1)) return;
  const std::string title = rtrimmed(mtz_slot(mindx)->title);
  ftitle.assign(title);
  len =
      static_cast<int32_t>(std::min<std::size_t>(title.size(), static_cast<std::size_t>(ftitle.n)));
}

void lrhist_(int32_t mindx, TextArray hstrng, int32_t& nlines) {
  if (MtzCheckSubInput(mindx, "LRHIST", 1)) return;
  const MtzFile* mtz = mtz_slot(mindx).get();
  const int n = std::min(nlines, mtz->n_history);
  for (int i = 0; i < n; ++i)
    hstrng(i + 1).assign(std::string_view(
        &mtz->history[static_cast<std::size_t>(i) * MTZ_HISTORY_LINE], MTZ_HISTORY_LINE));
  nlines = std::max(n, 0);
}

void lrbats_(int32_t mindx, int32_t& nbatx, int32_t* batchx) {
  if (MtzCheckSubInput(mindx, "LRBATS", 1)) return;
  const MtzFile* mtz = mtz_slot(mindx).get();
  nbatx = mtz->nbat_file;
  int i = 0;
  for (const MtzBatch* b = mtz->batches.get(); b != nullptr; b = b->next.get())
    batchx[i++] = b->batch_number;
}

int ptq7_lrbat(const MtzBatch* batch, float* rbatch, rt::TextRef cbatch, int iprint) {
  if (batch == nullptr) return 0;
  int32_t ints[MTZ_BATCH_INTS];
  MtzBatchToArray(batch, ints, rbatch + MTZ_BATCH_INTS);
  ints[0] = MTZ_BATCH_WORDS;
  ints[1] = MTZ_BATCH_INTS;
  ints[2] = MTZ_BATCH_REALS;
  std::memcpy(rbatch, ints, sizeof ints);
  char c[94];
  std::memset(c, ' ', sizeof c);
  std::memcpy(c, batch->title.data(), std::min<std::size_t>(batch->title.size(), 70));
  for (int k = 0; k < 3; ++k)
    std::memcpy(c + 70 + 8 * k, batch->axis_labels[k].data(),
                std::min<std::size_t>(batch->axis_labels[k].size(), 8));
  cbatch.assign(std::string_view(c, sizeof c));
  if (iprint == 1) {
    std::printf(" Batch number: \n %6d    %s\n", batch->batch_number, batch->title.c_str());
  } else if (iprint > 1) {
    MtzPrintBatchHeader(batch);
  }
  return 1;
}

void lrbat_(int32_t mindx, int32_t& batno, float* rbatch, rt::TextRef cbatch, int32_t iprint) {
  if (MtzCheckSubInput(mindx, "LRBAT", 1)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  if (s.mtz->nbat_file == 0) {
    std::printf("Error: file on mindx is not a multi-record file! \n");
    return;
  }
  if (s.read_batch == nullptr) {
    batno = -1;
    return;
  }
  batno = s.read_batch->batch_number;
  ptq7_lrbat(s.read_batch, rbatch, cbatch, iprint);
  s.read_batch = s.read_batch->next.get();
}

void lrbres_(int32_t mindx, int32_t batno) {
  if (MtzCheckSubInput(mindx, "LRBRES", 1)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  if (batno == 0) {
    s.read_batch = s.mtz->batches.get();
    return;
  }
  const MtzBatch* b = find_batch(s.mtz.get(), batno);
  if (b == nullptr) {
    std::printf("Error: file on %d has no batch %d ! \n", mindx, batno);
    return;
  }
  s.read_batch = b;
}

void lrbtit_(int32_t mindx, int32_t batno, rt::TextRef tbatch, int32_t iprint) {
  if (MtzCheckSubInput(mindx, "LRBTIT", 1)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  const MtzBatch* b = find_batch(s.mtz.get(), batno);
  if (b == nullptr) {
    std::printf("Error: file on %d has no batch %d ! \n", mindx, batno);
    return;
  }
  float rbatch[MTZ_BATCH_WORDS];
  char cbatch[94];
  ptq7_lrbat(b, rbatch, rt::TextRef(cbatch, 94), iprint);
  const int n = std::min(tbatch.n, MTZ_BATCH_TITLE_LENGTH);
  const std::size_t kept = std::min<std::size_t>(b->title.size(), static_cast<std::size_t>(n));
  std::memcpy(tbatch.p, b->title.data(), kept);
  std::memset(tbatch.p + kept, 0, static_cast<std::size_t>(n) - kept);
  s.read_batch = b->next.get();
}

void lrbscl_(int32_t mindx, int32_t batno, float* batscl, int32_t& nbatsc) {
  if (MtzCheckSubInput(mindx, "LRBSCL", 1)) return;
  MtzIndexSlot& s = mtz_index_slot(mindx);
  if (!s.mtz->batches) {
    std::printf("Error in lrbscl: file on mindx is not a multi-record file! \n");
    return;
  }
  const MtzBatch* b = find_batch(s.mtz.get(), batno);
  if (b == nullptr) {
    std::printf("Error: file on %d has no batch %d ! \n", mindx, batno);
    return;
  }
  s.read_batch = b->next.get();
  const int n = b->n_batch_scales;
  if (n > nbatsc) {
    std::printf(
        "From LRBSCL : %d too many batch scales in orientation block for batch %d, maximum %d \n",
        n, batno, nbatsc);
    return;
  }
  // The four values go out whatever the count, but never past the caller's array.
  const float scales[4] = {b->batch_scale, b->batch_bfactor, b->batch_scale_sd,
                           b->batch_bfactor_sd};
  std::copy(scales, scales + std::clamp(nbatsc, 0, 4), batscl);
  nbatsc = n;
}

void lrbsetid_(int32_t mindx, int32_t batno, int32_t& bsetid) {
  if (MtzCheckSubInput(mindx, "LRBSETID", 1)) return;
  const MtzFile* mtz = mtz_slot(mindx).get();
  if (!mtz->batches) {
    std::printf("Error: file on mindx is not a multi-record file! \n");
    return;
  }
  const MtzBatch* b = find_batch(mtz, batno);
  if (b == nullptr) {
    std::printf("Error: file on %d has no batch %d ! \n", mindx, batno);
    return;
  }
  bsetid = b->dataset_id;
}
