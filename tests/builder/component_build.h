// The builder's stages from bonds found from distances to planes, run on a
// component loaded into L1 (without hydrogens when heavy_only), as the
// component tests of this directory take them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "../dictionary/component_l1.h"
#include "builder/bond_types.h"
#include "builder/chem_types.h"
#include "builder/chiral_centres.h"
#include "builder/conjugation.h"
#include "builder/planes.h"
#include "builder/valency.h"
#include "dictionary/descr_lookups.h"
#include "dictionary/new_bonds.h"
#include "dictionary/ring_perception.h"
#include "foundation/messages.h"
#include "l1_fixture.h"

namespace comp {

inline void build_stages(const Component& c, const std::string& code, bool heavy_only,
                         int32_t itype_res = 1) {
  load_l1(c, code.c_str(), heavy_only, false);
  for (int i = 1; i <= r_scratch.l1a_natom; ++i) r_scratch.l1a_charg(i) = 0.0f;
  int32_t ierr = 0, nringt = 0;
  comlib.iquiet = 1;
  list_bonds_from_coor_(0, ierr);
  remove_triangle_h_(0, ierr);
  lib_conn_(0, "COOR", ierr);
  define_chir_flag_(0, ierr);
  ring_(0, 'N', nringt, 1, ierr);
  add_type_using_coord_(0, 'N', ierr);
  ASSERT_EQ(ierr, 0) << code << " bond types";
  use_valency_(0, 'N', ierr);
  ASSERT_EQ(ierr, 0) << code << " valency";
  builder::type_aromatic_rings();
  check_chem_dd_min_(0, 'N', ierr);
  ASSERT_EQ(ierr, 0) << code << " chemical types";
  check_chir_(0, 'N', itype_res, ierr);
  ASSERT_EQ(ierr, 0) << code << " chiral centres";
  check_plan_(0, nringt, 'N', ierr);
  ASSERT_EQ(ierr, 0) << code << " planes";
  comlib.iquiet = 0;
}

// The small energy library with the thiol types the components need.
inline void component_energy_library() {
  fx::small_energy_library();
  fx::energy_type("SH1", "S");
  fx::energy_bond("CH2", "SH1", 1.817f, "single");
}

}  // namespace comp
