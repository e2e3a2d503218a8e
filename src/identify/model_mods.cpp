#include "identify/model_mods.h"

#include <cstring>

namespace identify {

ModelMods::Key ModelMods::key(int32_t ir) {
  Key k;
  std::memcpy(k.c, &ir, 4);
  return k;
}

void ModelMods::sync() {
  const int32_t n = mod_inf.mod_n < MAXMODIF ? mod_inf.mod_n : MAXMODIF;
  if (n < built_) reset();
  for (int32_t row = built_ + 1; row <= n; ++row) {
    const Key k = key(mod_inf.mod_ires(row));
    rows_.add(std::string_view(k.c, 4), row);
  }
  if (n > built_) built_ = n;
}

void ModelMods::reset() {
  rows_.clear();
  built_ = 0;
}

ModelMods& model_mods() {
  static ModelMods mods;
  return mods;
}

}  // namespace identify
