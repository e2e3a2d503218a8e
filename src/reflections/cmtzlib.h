// Reflection-file programming interface, shared part: a program names an MTZ
// file by an index 1..4; per index the library keeps the file record, its
// open state, the column look-ups and the label assignments.  Also the
// missing-number routines, start-up, end of run and the obsolete entries.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "reflections/mtz_batch.h"
#include "reflections/mtz_records.h"
#include "runtime/fixed_text.h"

inline constexpr int MTZ_MAX_SLOTS = 4;
inline constexpr int MTZ_MAX_LOOKUP = 10000;

// One LABIN/LABOUT entry: program label and user label, empty when unset.
struct MtzLabelPair {
  char program[31];
  char user[31];
};

// The state of one index.
struct MtzIndexSlot {
  std::unique_ptr<MtzFile> mtz;  // null when the index is free
  int open_read = 0;
  int open_write = 0;
  int nref_read = 0;  // the next read takes the reflection after these
  int nref_written = 0;
  int nbat_written = 0;
  char out_name[512] = {};               // logical name of the output file
  const MtzBatch* read_batch = nullptr;  // current batch of the sequential reader
  double hkl_coefs[6] = {};
  MtzCol* col_in[MTZ_MAX_LOOKUP] = {};   // program input column i -> file column
  MtzCol* col_out[MTZ_MAX_LOOKUP] = {};  // program output column i -> file column
  // Entries of col_in and col_out from these on are null: forgetting the
  // look-ups clears a few dozen entries, not both whole tables.
  int col_in_used = 0, col_out_used = 0;
  int missing_flags[MTZ_MAX_LOOKUP] = {};
  int n_missing_flags = 0;
  int sort_cols[5] = {};
  MtzLabelPair labin_table[MTZ_MAX_LOOKUP] = {};
  MtzLabelPair labout_table[MTZ_MAX_LOOKUP] = {};
  // 1 while the record is as the row writer last laid its rows out (the
  // writer may then hold column ranges not yet put back into the record);
  // any other access through the index puts them back and clears it.
  int rows_planned = 0;
};

// An array of blank-padded texts of one element length (a caller's label
// array); elements are numbered from 1.
struct TextArray {
  char* p = nullptr;
  int len = 0;
  TextArray() = default;
  TextArray(char* first, int element_length) : p(first), len(element_length) {}
  template <int N>
  TextArray(rt::FixedText<N>* first) : p(first->c), len(N) {}
  rt::TextRef operator()(int i) const {
    return rt::TextRef(p + static_cast<std::ptrdiff_t>(i - 1) * len, len);
  }
};

// The record of index mindx (1..4), null when free.
std::unique_ptr<MtzFile>& mtz_slot(int mindx);
// The whole state of index mindx (1..4).
MtzIndexSlot& mtz_index_slot(int mindx);
// For the row writer: the state of index mindx when it is in range and open
// for writing, else null (no message); rows_planned is left as it is.
MtzIndexSlot* mtz_row_writer_slot(int mindx);
// 1 when CMTZ_IN_MEMORY was seen by an open (files read and written whole).
int mtz_in_memory_mode();
void mtz_set_in_memory_mode();
// 1 (after a message naming routine) when mindx is out of range or, for
// mode 1 or 2, not open for reading or writing; else 0.
int MtzCheckSubInput(int mindx, const char* routine, int mode);
// Frees the record of every index that holds one, closing its files.
void MtzMemTidy();
// Frees the index's record and forgets every look-up and batch that pointed
// into it.
void mtz_release_record(MtzIndexSlot& slot);
// Forgets the look-ups and batch position (a new record takes the index).
void mtz_forget_record_pointers(MtzIndexSlot& slot);

// 1 when value is the file's missing value (NaN or the VALM number).
int ptq7_ismnf(const MtzFile* mtz, float value);
void set_magic_(int32_t mindx, float& val_magic, bool& setval);
void reset_magic_(int32_t mindx, const float* adata, float* bdata, int32_t ncol, float maginp,
                  float magout);
void equal_magic_(int32_t mindx, float* adata, int32_t ncol);

void mtzini_();
void is_magic_();
int32_t nextln_();
void addlin_();
void sortup_();
void lbprth_();
void labprt_();
void lrhdrl_();
void wbathd_();
void rbathd_();

namespace reflections {

// A caller's label: up to its first blank, at most max characters.
std::string label_of(std::string_view text, std::size_t max);
// Empties every index (tests).
void mtz_slots_reset_for_tests();

}  // namespace reflections
