// Indexes of the dictionary by monomer code.  The monomer list keeps, per
// code, a chain of its entries in list order; each row table keeps, per code,
// the last row that carried it.  Both are brought up to date from the counts
// at every look-up: entries and rows are only ever appended, so the new ones
// are entered and the old ones stay valid.  A code that an entry or row later
// loses (a retired entry becomes "???", its rows "?") is checked at the
// look-up, and a last row that no longer carries its code is still a sound
// bound for a scan.
#include "dictionary/dict_index.h"

#include "dictionary/lib_com.h"
#include "dictionary/text_index.h"

namespace dictionary {
namespace {

using Code = rt::FixedText<8>;

struct ListIndex {
  TextIndex<8, MAXMLIST> head;
  rt::Array1<int32_t, MAXMLIST> next;
  rt::Array1<int32_t, MAXMLIST> tail;  // per first entry of a code: its last entry
  int32_t built = 0;

  void sync() {
    const r_scratch_t& r = r_scratch;
    if (r.lml_nmon < built) reset();
    for (int32_t l = built + 1; l <= r.lml_nmon; ++l) {
      next(l) = 0;
      const int32_t h = head.insert(r.lml_mname(l), l);
      if (h == l) {
        tail(l) = l;
      } else {
        next(tail(h)) = l;
        tail(h) = l;
      }
    }
    built = r.lml_nmon > built ? r.lml_nmon : built;
  }
  void reset() {
    head.clear();
    built = 0;
  }
};

// Distinct codes a row table can hold before its look-ups fall back to a
// scan to the end of the table.
constexpr int kRowCodes = 2 * MAXMLIST;

template <int N>
struct RowIndex {
  const rt::Array1<Code, N>* codes;
  const int32_t* count;
  TextIndex<8, kRowCodes> last;
  int32_t built = 0;
  bool overflow = false;

  void sync() {
    if (*count < built) reset();
    for (int32_t row = built + 1; row <= *count && !overflow; ++row) {
      if (last.full() && last.find((*codes)(row)) == 0) {
        overflow = true;
        break;
      }
      last.assign((*codes)(row), row);
    }
    built = *count > built ? *count : built;
  }
  void reset() {
    last.clear();
    built = 0;
    overflow = false;
  }
  int32_t last_row(const Code& code) {
    sync();
    if (overflow) return *count;
    const int32_t row = last.find(code);
    return row < *count ? row : *count;
  }
};

ListIndex list_index;
RowIndex<MAXMATM> atoms{&r_scratch.lma_mname, &r_scratch.lma_natom, {}};
RowIndex<MAXMCNN> conns{&r_scratch.lmn_mname, &r_scratch.lmn_nconn, {}};
RowIndex<MAXMBND> bonds{&r_scratch.lmb_mname, &r_scratch.lmb_nbond, {}};
RowIndex<MAXMANG> angles{&r_scratch.lmg_mname, &r_scratch.lmg_nangl, {}};
RowIndex<MAXMTOR> torsions{&r_scratch.lmt_mname, &r_scratch.lmt_ntors, {}};
RowIndex<MAXMCHR> chirals{&r_scratch.lmc_mname, &r_scratch.lmc_nchir, {}};
RowIndex<MAXMPLN> planes{&r_scratch.lmp_mname, &r_scratch.lmp_nplan, {}};

int32_t chain_from(int32_t l, const Code& code) {
  const r_scratch_t& r = r_scratch;
  for (; l != 0; l = list_index.next(l))
    if (r.lml_mname(l) == code) return l;
  return 0;
}

}  // namespace

int32_t list_chain_head(std::string_view code) {
  list_index.sync();
  const Code key(code);
  return chain_from(list_index.head.find(key), key);
}

int32_t list_chain_next(int32_t l, std::string_view code) {
  return chain_from(list_index.next(l), Code(code));
}

int32_t find_list_entry(std::string_view code, bool loaded_only) {
  const r_scratch_t& r = r_scratch;
  int32_t found = 0;
  for (int32_t l = list_chain_head(code); l != 0 && found == 0; l = list_chain_next(l, code)) {
    if (!loaded_only || !(r.lml_fuse(l) == "N" || r.lml_fuse(l) == "R")) found = l;
  }
  return found;
}

int32_t last_row_of(RowTable table, std::string_view code) {
  const Code key(code);
  switch (table) {
    case RowTable::Atoms:
      return atoms.last_row(key);
    case RowTable::Conns:
      return conns.last_row(key);
    case RowTable::Bonds:
      return bonds.last_row(key);
    case RowTable::Angles:
      return angles.last_row(key);
    case RowTable::Torsions:
      return torsions.last_row(key);
    case RowTable::Chirals:
      return chirals.last_row(key);
    case RowTable::Planes:
      return planes.last_row(key);
  }
  return 0;
}

void reset_dictionary_index() {
  list_index.reset();
  atoms.reset();
  conns.reset();
  bonds.reset();
  angles.reset();
  torsions.reset();
  chirals.reset();
  planes.reset();
}

}  // namespace dictionary
