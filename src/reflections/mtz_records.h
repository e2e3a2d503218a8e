// Records of a reflection file held in memory: the file with its symmetry,
// title and history, crystals holding datasets holding columns, and the list
// of batch headers.  A file owns everything below it; texts are copies.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "reflections/library_file.h"

inline constexpr int MTZ_MAX_SYMOPS = 192;
inline constexpr int MTZ_MAX_COLS_PER_SET = 10000;
inline constexpr int MTZ_HISTORY_LINE = 80;
inline constexpr int MTZ_TITLE_LENGTH = 71;
inline constexpr int MTZ_NAME_LENGTH = 64;
inline constexpr int MTZ_LABEL_LENGTH = 30;
inline constexpr int MTZ_TYPE_LENGTH = 2;
inline constexpr int MTZ_SPACEGROUP_NAME_LENGTH = 23;
inline constexpr int MTZ_POINTGROUP_NAME_LENGTH = 10;
inline constexpr int MTZ_BATCH_TITLE_LENGTH = 70;
inline constexpr int MTZ_BATCH_AXIS_LABEL_LENGTH = 8;
inline constexpr int MTZ_BATCH_INTS = 29;
inline constexpr int MTZ_BATCH_REALS = 156;
inline constexpr int MTZ_BATCH_WORDS = MTZ_BATCH_INTS + MTZ_BATCH_REALS;

namespace reflections {

// Storage that a resize leaves as it is: a reader that is about to write
// every value of a column saves filling it first (values given to resize or
// assign are stored as usual).
template <typename T>
struct UnfilledAllocator {
  using value_type = T;
  UnfilledAllocator() = default;
  template <typename U>
  UnfilledAllocator(const UnfilledAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) { return std::allocator<T>().allocate(n); }
  void deallocate(T* p, std::size_t n) noexcept { std::allocator<T>().deallocate(p, n); }
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  friend bool operator==(UnfilledAllocator, UnfilledAllocator) { return true; }
};

using ColumnValues = std::vector<float, UnfilledAllocator<float>>;

// Column values compare with a plain vector of reals, value by value.
inline bool operator==(const ColumnValues& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

}  // namespace reflections

struct MtzCol {
  std::string label;  // up to 30 characters
  std::string type;   // up to 2; the first letter is the column type
  int active = 1;     // written to the output file
  int source = 0;     // 1-based position in the input row; 0 when made in memory
  float min_value = 1.0e6f;
  float max_value = -1.0e6f;
  reflections::ColumnValues values;  // one per reflection, when held in memory
};

struct MtzSet {
  int set_id = 0;
  std::string dataset_name;  // up to 64 characters
  float wavelength = 0.0f;
  std::vector<std::unique_ptr<MtzCol>> cols;
};

struct MtzXtal {
  int xtal_id = 0;
  std::string crystal_name;  // up to 64 characters
  std::string project_name;  // up to 64 characters
  float cell[6] = {};
  float reso_min = 100.0f;  // smallest 1/d^2 seen, as the file writes it
  float reso_max = 0.0f;
  std::vector<std::unique_ptr<MtzSet>> sets;
};

// One batch header; the 185-word array form is made by MtzBatchToArray.
struct MtzBatch {
  int32_t batch_number = 0;
  std::string title;           // up to 70 characters
  std::string axis_labels[3];  // up to 8 characters each
  int32_t spare_int = 0;
  int32_t cell_fix_flags[6] = {};
  int32_t misset_flag = 0;
  int32_t nearest_recip_axis = 0;
  int32_t crystal_number = 0;
  int32_t mosaicity_model = 0;
  int32_t data_type = 0;
  int32_t scan_axis = 0;
  int32_t n_batch_scales = 0;
  int32_t n_gonio_axes = 0;
  int32_t beam_info_flag = 0;
  int32_t n_detectors = 0;
  int32_t dataset_id = 0;
  float cell[6] = {};
  float umat[9] = {};
  float misset_angles[2][3] = {};
  float crystal_data[12] = {};
  float datum_angles[3] = {};
  float phi_start = 0.0f;
  float phi_end = 0.0f;
  float spare_reals[3] = {};
  float time_start = 0.0f;
  float time_end = 0.0f;
  float batch_scale = 0.0f;
  float batch_bfactor = 0.0f;
  float batch_scale_sd = 0.0f;
  float batch_bfactor_sd = 0.0f;
  float phi_range = 0.0f;
  float gonio_vectors[3][3] = {};
  float beam_vector[3] = {};
  float beam_vector_tilted[3] = {};
  float wavelength = 0.0f;
  float dispersion[2] = {};
  float divergence[2] = {};
  float det_distance[2] = {};
  float det_swing[2] = {};
  float det_pixel_limits[2][4] = {};
  std::unique_ptr<MtzBatch> next;

  MtzBatch() = default;
  MtzBatch(const MtzBatch&) = delete;
  MtzBatch& operator=(const MtzBatch&) = delete;
  // Unlinks the rest of the list one batch at a time: a long list must not
  // be freed by recursion.
  ~MtzBatch() {
    std::unique_ptr<MtzBatch> rest = std::move(next);
    while (rest) rest = std::move(rest->next);
  }
};

struct MtzFile {
  LibraryFileHandle file_in;
  LibraryFileHandle file_out;
  std::string title;          // up to 71 characters
  std::vector<char> history;  // n_history lines of 80 characters
  int n_history = 0;
  int ncol_file = 0;  // values in one input reflection row
  int nref = 0;
  int nref_file = 0;
  int refs_in_memory = 1;
  int nbat_file = 0;        // batches from the input file; they head the list
  float reso_max = 0.0f;    // largest 1/d^2 written so far
  float reso_min = 999.0f;  // smallest 1/d^2 written so far
  char missing_number_flag[4] = {'N', 'A', 'N', '\0'};  // "NAN" or a real's 4 bytes
  int spacegroup_num = 0;
  std::string spacegroup_name;  // up to 23 characters
  int nsym = 0;
  float symops[MTZ_MAX_SYMOPS][4][4] = {};
  int nsymp = 0;
  char lattice_type = ' ';
  std::string pointgroup_name;  // up to 10 characters
  std::vector<std::unique_ptr<MtzXtal>> xtals;
  std::unique_ptr<MtzBatch> batches;
  MtzCol* sort_order[5] = {};  // the sort keys, null where unused
};
