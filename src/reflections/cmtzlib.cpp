// The index table of the reflection-file programming interface, the
// missing-number routines, start-up, end of run and the obsolete entries.
#include "reflections/cmtzlib.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "reflections/mtz_hierarchy.h"
#include "reflections/mtz_write_api.h"
#include "suite/library_f.h"
#include "suite/library_utils.h"
#include "suite/ptq7_html.h"

namespace {

MtzIndexSlot slots[MTZ_MAX_SLOTS];
int in_memory_mode = 0;

// Before anything else reads or changes the record of an index, the row
// writer puts back what it holds and lays its rows out anew next time.
void drop_row_plan(MtzIndexSlot& slot) {
  if (!slot.rows_planned) return;
  slot.rows_planned = 0;
  mtz_settle_rows(static_cast<int>(&slot - slots) + 1);
}

}  // namespace

namespace reflections {

std::string label_of(std::string_view text, std::size_t max) {
  const std::size_t blank = text.find_first_of(std::string_view(" \0", 2));
  return std::string(text.substr(0, std::min({blank, text.size(), max})));
}

void mtz_slots_reset_for_tests() {
  MtzMemTidy();
  for (auto& s : slots) {
    s.open_read = s.open_write = 0;
    s.nref_read = s.nref_written = s.nbat_written = 0;
    s.read_batch = nullptr;
    s.n_missing_flags = 0;
    s.rows_planned = 0;
    std::memset(s.out_name, 0, sizeof s.out_name);
    std::memset(s.col_in, 0, sizeof s.col_in);
    std::memset(s.col_out, 0, sizeof s.col_out);
    s.col_in_used = s.col_out_used = 0;
    std::memset(s.sort_cols, 0, sizeof s.sort_cols);
    std::memset(s.labin_table, 0, sizeof s.labin_table);
    std::memset(s.labout_table, 0, sizeof s.labout_table);
  }
  in_memory_mode = 0;
}

}  // namespace reflections

MtzIndexSlot& mtz_index_slot(int mindx) {
  if (mindx < 1 || mindx > MTZ_MAX_SLOTS) {
    std::fprintf(stderr, "mtz_index_slot: index %d outside 1..%d\n", mindx, MTZ_MAX_SLOTS);
    std::abort();
  }
  // Only a run that touches an index has records to free at its end.
  ptq7f_register_tidy(MtzMemTidy);
  // Whoever asks for the index may read or change its record.
  drop_row_plan(slots[mindx - 1]);
  return slots[mindx - 1];
}

MtzIndexSlot* mtz_row_writer_slot(int mindx) {
  if (mindx < 1 || mindx > MTZ_MAX_SLOTS || !slots[mindx - 1].open_write) return nullptr;
  return &slots[mindx - 1];
}

std::unique_ptr<MtzFile>& mtz_slot(int mindx) { return mtz_index_slot(mindx).mtz; }

int mtz_in_memory_mode() { return in_memory_mode; }
void mtz_set_in_memory_mode() { in_memory_mode = 1; }

int MtzCheckSubInput(int mindx, const char* routine, int mode) {
  if (mindx < 1 || mindx > MTZ_MAX_SLOTS) {
    std::printf("Error in %s: mindx %d out of range!\n", routine, mindx);
    return 1;
  }
  const MtzIndexSlot& s = slots[mindx - 1];
  if (mode == 1 && !s.open_read) {
    std::printf("Error in %s: mindx %d not open for read!\n", routine, mindx);
    return 1;
  }
  if (mode == 2 && !s.open_write) {
    std::printf("Error in %s: mindx %d not open for write!\n", routine, mindx);
    return 1;
  }
  return 0;
}

void mtz_forget_record_pointers(MtzIndexSlot& slot) {
  slot.read_batch = nullptr;
  slot.rows_planned = 0;
  slot.n_missing_flags = 0;
  std::fill_n(slot.col_in, slot.col_in_used, nullptr);
  std::fill_n(slot.col_out, slot.col_out_used, nullptr);
  slot.col_in_used = slot.col_out_used = 0;
}

void mtz_release_record(MtzIndexSlot& slot) {
  drop_row_plan(slot);
  if (slot.mtz) MtzFree(std::move(slot.mtz));
  mtz_forget_record_pointers(slot);
}

void MtzMemTidy() {
  for (auto& s : slots) {
    mtz_release_record(s);
    s.open_read = s.open_write = 0;
  }
}

int ptq7_ismnf(const MtzFile* mtz, float value) {
  if (std::strncmp(mtz->missing_number_flag, "NAN", 3) == 0) return ptq7_utils_isnan(&value);
  float flag;
  std::memcpy(&flag, mtz->missing_number_flag, sizeof flag);
  return value == flag ? 1 : 0;
}

void set_magic_(int32_t mindx, float& val_magic, bool& setval) {
  if (mindx < 1 || mindx > MTZ_MAX_SLOTS) {
    std::printf("Error in set_magic: mindx out of range!\n");
    return;
  }
  MtzFile* mtz = slots[mindx - 1].mtz.get();
  if (mtz == nullptr) {
    std::printf("Warning in set_magic: mindx %d not open yet! MNF not set.\n", mindx);
    return;
  }
  if (setval) {
    drop_row_plan(slots[mindx - 1]);
    if (ptq7_utils_isnan(&val_magic)) std::memcpy(mtz->missing_number_flag, "NAN", 4);
    else std::memcpy(mtz->missing_number_flag, &val_magic, 4);
  } else {
    val_magic = reflections::missing_value(mtz);
    setval = true;
  }
}

void reset_magic_(int32_t mindx, const float* adata, float* bdata, int32_t ncol, float maginp,
                  float magout) {
  float missing = maginp;
  if (mindx >= 1 && mindx <= MTZ_MAX_SLOTS) {
    const MtzIndexSlot& s = slots[mindx - 1];
    if (s.mtz && (s.open_read || s.open_write)) missing = reflections::missing_value(s.mtz.get());
  }
  const bool nan = ptq7_utils_isnan(&missing) != 0;
  for (int i = 0; i < ncol; ++i) {
    const bool is_missing = nan ? ptq7_utils_isnan(&adata[i]) != 0 : adata[i] == missing;
    bdata[i] = is_missing ? magout : adata[i];
  }
}

void equal_magic_(int32_t mindx, float* adata, int32_t ncol) {
  if (mindx < 1 || mindx > MTZ_MAX_SLOTS) {
    std::printf("Error in equal_magic: mindx out of range!\n");
    return;
  }
  const MtzFile* mtz = slots[mindx - 1].mtz.get();
  if (mtz == nullptr) {
    std::printf("Error in equal_magic: mindx %d not open yet!\n", mindx);
    return;
  }
  const float missing = reflections::missing_value(mtz);
  for (int i = 0; i < ncol; ++i) adata[i] = missing;
}

void mtzini_() { ptq7h_init_lib_(0, 0); }

void is_magic_() {
  std::printf("IS_MAGIC: Obsolete internal routine: you should not be calling this!\n");
}
int32_t nextln_() {
  std::printf("NEXTLN: Obsolete internal function: you should not be using this!\n");
  return -1;
}
void addlin_() {
  std::printf("ADDLIN: Obsolete internal routine: you should not be calling this!\n");
}
void sortup_() {
  std::printf("SORTUP: Obsolete internal routine: you should not be calling this!\n");
}
void lbprth_() {
  std::printf("LBPRTH: Obsolete internal routine: you should not be calling this!\n");
}
void labprt_() {
  std::printf("LABPRT: Obsolete internal routine: you should not be calling this!\n");
}
void lrhdrl_() {
  std::printf("LRHDRL: Obsolete internal routine: you should not be calling this!\n");
}
void wbathd_() {
  std::printf("WBATHD: Obsolete internal routine: you should not be calling this!\n");
}
void rbathd_() {
  std::printf("RBATHD: Obsolete internal routine: you should not be calling this!\n");
}
