// Modification records and the room of the modification tables.
#include "connect/mod_records.h"

#include "dictionary/lib_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"

void look_modrec_(std::string_view func, int32_t irtype, std::string_view namem, int32_t& imod,
                  rt::FixedText<8>& mod, int32_t& ierr) {
  ierr = 0;
  imod = 0;
  mod.blank();
  const int len = rt::len_trim(namem);
  if (len == 0) return;
  const std::string_view key = namem.substr(0, static_cast<std::size_t>(len));
  const auto& c = com_mod_rec;
  for (int k = 1; k <= c.n_mod_rec; ++k) {
    if (c.mod_rec_irtype(k) != irtype || !(c.mod_rec_func(k) == func)) continue;
    // The wanted change only has to be a leading part of the record's key.
    if (!rt::text_eq(c.mod_rec_detail(k).view().substr(0, static_cast<std::size_t>(len)), key))
      continue;
    mod = c.mod_rec_id(k);
    const auto& r = r_scratch;
    for (int m = 1; m <= r.ldl_nmod; ++m) {
      if (r.ldl_mname(m) == mod) {
        imod = m;
        break;
      }
    }
    return;
  }
}

namespace {

struct RowRoom {
  int limit;
  std::string_view head;
  std::string_view constant;
};
constexpr RowRoom kAtoms{MAXDATM, " ERROR: number of atoms for the modifications >", "MAXDATM"};
constexpr RowRoom kBonds{MAXDBND, " ERROR: number of bonds for the modifications >", "MAXDBND"};
constexpr RowRoom kAngles{MAXDANG, " ERROR: number of angles for the modifications >", "MAXDANG"};

}  // namespace

void check_memory_l_(int32_t mdoc, std::string_view lb, int32_t na, int32_t nb, int32_t ng,
                     int32_t /*nt*/, int32_t /*np*/, int32_t& ierr) {
  ierr = 0;
  if (!(lb == std::string_view("MOD"))) return;
  const RowRoom* full = na >= kAtoms.limit   ? &kAtoms
                        : nb >= kBonds.limit ? &kBonds
                        : ng >= kAngles.limit ? &kAngles
                                              : nullptr;
  if (full == nullptr) return;
  foundation::table_full(mdoc, full->head, full->limit, "",
                         {.constant = full->constant, .header = "lib_com.fh", .indent = 8});
  ierr = 1;
}
