// The rows of the model's modification table that belong to one residue, in
// row order, without a scan of the table per residue.
#pragma once

#include <cstdint>

#include "foundation/atom_com.h"
#include "foundation/lookup_index.h"

namespace identify {

class ModelMods {
 public:
  // Enters the rows added to mod_inf since the last call; starts over when
  // the table has shrunk.
  void sync();
  void reset();

  // Calls f(row) for every row of residue ir of chain ig, in row order.
  template <typename F>
  void each_row(int32_t ig, int32_t ir, F f) {
    sync();
    const Key k = key(ir);
    rows_.for_each(std::string_view(k.c, 4), [&](int32_t row) {
      if (mod_inf.mod_ires(row) == ir && mod_inf.mod_ichn(row) == ig) f(row);
    });
  }
  // The first such row for which pred(row) holds; 0 when there is none.
  template <typename P>
  int32_t first_row(int32_t ig, int32_t ir, P pred) {
    int32_t found = 0;
    each_row(ig, ir, [&](int32_t row) {
      if (found == 0 && pred(row)) found = row;
    });
    return found;
  }

 private:
  // The residue number itself, four bytes, is the key: it never meets a
  // text, so no blank padding is involved.
  struct Key {
    char c[4];
  };
  static Key key(int32_t ir);

  foundation::LookupIndex<4, MAXMODIF> rows_;
  int32_t built_ = 0;
};

// The one instance of the run, over mod_inf.
ModelMods& model_mods();

}  // namespace identify
