// Indexes of the dictionary by monomer code and by link and modification
// name.  The monomer list keeps, per code, its entries in list order; each
// row table keeps, per code, the first row of every run of rows that carry
// it; the link list, the link bond rows and the modification list keep, per
// name, their entries in table order.  All are brought up to date from
// the counts at every look-up: entries and rows are only ever appended, so
// the new ones are entered and the old ones stay valid.  A code that an entry
// or row later loses (a retired entry becomes "???", its rows "?") is checked
// at the look-up, and a run whose rows lost their code still bounds a scan.
#include "dictionary/dict_index.h"

#include <functional>

#include "dictionary/lib_com.h"
#include "foundation/lookup_index.h"

namespace dictionary {
namespace {

using Code = rt::FixedText<8>;

struct ListIndex {
  foundation::LookupIndex<8, MAXMLIST> entries;
  int32_t built = 0;

  void sync() {
    const r_scratch_t& r = r_scratch;
    if (r.lml_nmon < built) reset();
    for (int32_t l = built + 1; l <= r.lml_nmon; ++l) entries.add(r.lml_mname(l).view(), l);
    if (r.lml_nmon > built) built = r.lml_nmon;
  }
  void reset() {
    entries.clear();
    built = 0;
  }
};

// The synonym rows by library code: atom names are mapped through them once
// per atom of the model, so the rows of one monomer are found without a scan.
struct SynonymIndex {
  foundation::LookupIndex<8, MAXMLIST> rows;
  int32_t built = 0;

  void sync() {
    const r_scratch_t& r = r_scratch;
    if (r.lms_nsyn < built) reset();
    for (int32_t j = built + 1; j <= r.lms_nsyn && j <= MAXMLIST; ++j) rows.add(r.lms_mname(j).view(), j);
    if (r.lms_nsyn > built) built = r.lms_nsyn < MAXMLIST ? r.lms_nsyn : MAXMLIST;
  }
  void reset() {
    rows.clear();
    built = 0;
  }
};

// Runs of rows a row table can hold before its look-ups fall back to a scan
// to the end of the table.
constexpr int kRowRuns = 2 * MAXMLIST;

template <int N>
struct RowIndex {
  const rt::Array1<Code, N>* codes;
  const int32_t* count;
  foundation::LookupIndex<8, kRowRuns> runs;
  int32_t built = 0;
  bool overflow = false;

  void sync() {
    if (*count < built) reset();
    for (int32_t row = built + 1; row <= *count && !overflow; ++row) {
      if (row > 1 && (*codes)(row) == (*codes)(row - 1)) continue;
      if (runs.full()) {
        overflow = true;
        break;
      }
      runs.add((*codes)(row).view(), row);
    }
    if (*count > built) built = *count;
  }
  void reset() {
    runs.clear();
    built = 0;
    overflow = false;
  }
  // The end of the last run of the code.
  int32_t last_row(const Code& code) {
    sync();
    if (overflow) return *count;
    int32_t row = runs.last(code.view());
    if (row == 0) return 0;
    while (row < *count && (*codes)(row + 1) == code) ++row;
    return row;
  }
};

// Names of the link and modification libraries, compared on their used
// parts (trailing blanks and zero bytes do not count), as the library
// look-ups compare them.  A hit is checked against the table: a name that
// changed in place since it was indexed makes the index start again.
template <int N>
struct NameIndex {
  const rt::Array1<Code, N>* names;
  const int32_t* count;
  foundation::LookupIndex<8, N> entries;
  int32_t built = 0;
  Code last{};  // the name of entry `built` when it was indexed

  void sync() {
    // A table filled again by hand to the same length shows in its last row.
    if (*count < built || (built > 0 && !((*names)(built) == last))) reset();
    const int32_t n = *count < N ? *count : N;
    for (int32_t e = built + 1; e <= n; ++e) entries.add(rt::trim_right((*names)(e).view()), e);
    if (n > built) {
      built = n;
      last = (*names)(built);
    }
  }
  void reset() {
    entries.clear();
    built = 0;
  }
  // visit(e) for the entries named key in table order until visit returns true.
  template <typename F>
  void visit(std::string_view key, F f) {
    key = rt::trim_right(key);
    if (key.size() > 8) return;  // no 8-character name equals it
    for (int pass = 0; pass < 2; ++pass) {
      sync();
      bool stale = false;
      entries.for_each(key, [&](int32_t e) {
        if (e > *count || rt::trim_right((*names)(e).view()) != key) stale = true;
      });
      if (stale) {
        reset();
        continue;
      }
      bool done = false;
      entries.for_each(key, [&](int32_t e) {
        if (!done) done = f(e);
      });
      return;
    }
  }
};

ListIndex list_index;
SynonymIndex synonym_index;
NameIndex<MAXLLNK> links{&r_scratch.lll_lname, &r_scratch.lll_nlink, {}};
NameIndex<MAXLBND> link_bond_rows{&r_scratch.llb_lname, &r_scratch.llb_nbond, {}};
NameIndex<MAXDMDF> modifications{&r_scratch.ldl_mname, &r_scratch.ldl_nmod, {}};
RowIndex<MAXMATM> atoms{&r_scratch.lma_mname, &r_scratch.lma_natom, {}};
RowIndex<MAXMCNN> conns{&r_scratch.lmn_mname, &r_scratch.lmn_nconn, {}};
RowIndex<MAXMBND> bonds{&r_scratch.lmb_mname, &r_scratch.lmb_nbond, {}};
RowIndex<MAXMANG> angles{&r_scratch.lmg_mname, &r_scratch.lmg_nangl, {}};
RowIndex<MAXMTOR> torsions{&r_scratch.lmt_mname, &r_scratch.lmt_ntors, {}};
RowIndex<MAXMCHR> chirals{&r_scratch.lmc_mname, &r_scratch.lmc_nchir, {}};
RowIndex<MAXMPLN> planes{&r_scratch.lmp_mname, &r_scratch.lmp_nplan, {}};

}  // namespace

void list_entries(std::string_view code, const std::function<void(int32_t)>& visit) {
  list_index.sync();
  const Code key(code);
  const r_scratch_t& r = r_scratch;
  // The entries are collected first: visit may retire an entry it is given.
  static rt::Array1<int32_t, MAXMLIST> found;
  int n = 0;
  list_index.entries.for_each(key.view(), [&](int32_t l) {
    if (r.lml_mname(l) == key) found(++n) = l;
  });
  for (int k = 1; k <= n; ++k) visit(found(k));
}

bool synonym_names(int32_t j, std::string_view name) {
  const Code& alt = r_scratch.lms_amname(j);
  return !(alt == ".") && !(alt == "?") && alt == name;
}

int32_t find_list_entry(std::string_view code, bool loaded_only) {
  const r_scratch_t& r = r_scratch;
  list_index.sync();
  const Code key(code);
  int32_t first = 0;
  list_index.entries.for_each(key.view(), [&](int32_t l) {
    if (first != 0 || !(r.lml_mname(l) == key)) return;
    if (!loaded_only || !(r.lml_fuse(l) == "N" || r.lml_fuse(l) == "R")) first = l;
  });
  return first;
}

void synonym_rows(std::string_view code, const std::function<void(int32_t)>& visit) {
  synonym_index.sync();
  const Code key(code);
  const r_scratch_t& r = r_scratch;
  synonym_index.rows.for_each(key.view(), [&](int32_t j) {
    if (r.lms_mname(j) == key) visit(j);
  });
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

void link_entries(std::string_view name, const std::function<bool(int32_t)>& visit) {
  links.visit(name, visit);
}

void link_bonds(int32_t i, const std::function<bool(int32_t)>& visit) {
  const r_scratch_t& r = r_scratch;
  if (i < 1 || i > r.lll_nlink || r.llb_nbond < 1 || r.lll_ibond(i) < 1) return;
  const int32_t first = r.lll_ibond(i);
  link_bond_rows.visit(r.lll_lname(i).view(), [&](int32_t k) { return k >= first && visit(k); });
}

int32_t find_modification(std::string_view name) {
  int32_t found = 0;
  modifications.visit(name, [&](int32_t i) {
    found = i;
    return true;
  });
  return found;
}

void reset_dictionary_index() {
  list_index.reset();
  synonym_index.reset();
  links.reset();
  link_bond_rows.reset();
  modifications.reset();
  atoms.reset();
  conns.reset();
  bonds.reset();
  angles.reset();
  torsions.reset();
  chirals.reset();
  planes.reset();
}

}  // namespace dictionary
