// What every modification editor shares: which function a record asks for,
// and the limit warning of a full L1 table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/messages.h"
#include "runtime/fixed_text.h"

namespace dictionary {

enum class ModFunction { None, Delete, Change, Add };

// "delete" and "change" are recognised on six characters, "add" on three.
inline ModFunction mod_function(const rt::FixedText<8>& funct) {
  const std::string_view f = funct.view();
  if (f.substr(0, 6) == "delete") return ModFunction::Delete;
  if (f.substr(0, 6) == "change") return ModFunction::Change;
  if (f.substr(0, 3) == "add") return ModFunction::Add;
  return ModFunction::None;
}

// "Nothing given": a text beginning with ".".
inline bool given(std::string_view text) { return !text.empty() && text[0] != '.'; }

// The two lines of an L1 table that an added row would overflow.
inline void mod_limit_warning(int32_t mdoc, std::string_view text, std::string_view mname,
                              int32_t limit, std::string_view constant) {
  std::string head(text);
  head.append(rt::FixedText<8>(mname).view());
  head.append(" for mod  >");
  foundation::table_full(mdoc, head, limit, "",
                         {.constant = constant, .header = "lib_com.fh", .indent = 9});
}

}  // namespace dictionary
