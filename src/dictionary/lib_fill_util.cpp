// Messages and the record step shared by the library readers and their fillers.
#include "dictionary/lib_fill_util.h"

#include "foundation/cif_tokeniser.h"
#include "foundation/messages.h"

namespace dictionary {

bool next_library_record(int32_t iun, int32_t mdoc, int32_t& cif_end, int32_t& iend) {
  for (;;) {
    int32_t e = 0;
    getcif_info_(iun, mdoc, e, cif_end);
    if (e != 0) return false;
    if (cif_end == -2) continue;
    if (cif_end != 0) {
      iend = 1;
      return false;
    }
    return true;
  }
}

void misplaced_key(int32_t mdoc, std::string_view text, std::string_view value, int width,
                   std::string_view ending) {
  std::string line(text);
  std::string v(value.substr(0, static_cast<std::size_t>(width) < value.size()
                                    ? static_cast<std::size_t>(width)
                                    : value.size()));
  v.resize(static_cast<std::size_t>(width), ' ');
  line.append(v);
  line.append(ending);
  msgerr_(mdoc, line);
}

void library_limit(int32_t mdoc, std::string_view text, std::string_view id,
                   std::string_view separator, int32_t limit, std::string_view constant) {
  std::string head(text);
  head.append(id);
  head.append(separator);
  dictionary::full_table(mdoc, head, limit, " /lib. limit/", constant);
}

void full_table(int32_t mdoc, std::string_view head, int32_t limit, std::string_view tail,
                std::string_view constant) {
  foundation::table_full(mdoc, head, limit, tail, foundation::TableLimit{constant, "lib_com", 1});
}

}  // namespace dictionary
