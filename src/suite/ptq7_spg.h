// The space-group record of the symmetry library: names and numbers, the
// operators and their inverses, the Laue class with its reciprocal
// asymmetric-unit test, the reflection zones and the map asymmetric units.
// Records are built by the loader (csymlib.h) and owned through SpacegroupPtr.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// One symmetry operator: rot is row-major (rot[i][j] multiplies coordinate j
// into coordinate i), trn the translation in fractions of the cell.
struct Symop {
  float rot[3][3];
  float trn[3];
};

// Reciprocal asymmetric-unit test of a Laue class: 1 inside, 0 outside.
using AsuTest = int (*)(int h, int k, int l);

// Capacities of the texts of the record (bytes, terminating zero included).
inline constexpr int SPG_HALL_LEN = 40;
inline constexpr int SPG_NAME_LEN = 20;
inline constexpr int SPG_DESCR_LEN = 80;

struct Spacegroup {
  int32_t number = 0;
  int32_t ptq7_number = 0;
  char symbol_hall[SPG_HALL_LEN]{};
  char symbol_xhm[SPG_NAME_LEN]{};
  char symbol_old[SPG_NAME_LEN]{};
  char point_group[SPG_NAME_LEN]{};
  char crystal_system[SPG_NAME_LEN]{};  // not filled by the loader
  int32_t laue_code = 0;
  char laue_name[SPG_NAME_LEN]{};
  int32_t laue_sampling[3]{};
  int32_t patterson_number = 0;
  char patterson_name[SPG_HALL_LEN]{};
  int32_t nsymop = 0;
  int32_t nsymop_prim = 0;
  std::vector<Symop> symop;
  std::vector<Symop> invsymop;
  float chb[3][3]{};
  char asu_descr[SPG_DESCR_LEN]{};
  AsuTest asu_test = nullptr;
  int32_t centric_zones[12]{};
  int32_t epsilon_zones[13]{};
  char mapasu_zero_descr[SPG_DESCR_LEN]{};
  float mapasu_zero[3]{};
  char mapasu_ptq7_descr[SPG_DESCR_LEN]{};
  float mapasu_ptq7[3]{};
};

using SpacegroupPtr = std::unique_ptr<Spacegroup>;
