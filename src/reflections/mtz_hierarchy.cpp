// The reflection-file hierarchy in memory.  Children live behind owning
// pointers so that a column, dataset or crystal keeps its address while its
// parent's list grows or it moves to another dataset.
#include "reflections/mtz_hierarchy.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "suite/library_utils.h"
#include "suite/ptq7_errno.h"
#include "suite/ptq7_program.h"

namespace reflections {

namespace {

// Longest path a lookup completes; longer names match nothing.
constexpr std::size_t max_lookup_path = 200;

template <typename F>
void each_column(const MtzFile* mtz, F f) {
  for (const auto& x : mtz->xtals)
    for (const auto& s : x->sets)
      for (const auto& c : s->cols) f(x.get(), s.get(), c.get());
}

int count_slashes(const char* path) {
  int n = 0;
  for (const char* p = path; *p; ++p)
    if (*p == '/') ++n;
  return n;
}

// Completed lookup path, or empty when the name is null or too long.
std::string lookup_path(const char* name, int n) {
  if (name == nullptr) return {};
  std::string path;
  MtzRJustPath(path, name, n);
  if (path.size() > max_lookup_path) return {};
  return path;
}

}  // namespace

float missing_value(const MtzFile* mtz) {
  float v;
  if (std::strncmp(mtz->missing_number_flag, "NAN", 3) == 0) ptq7_nan(&v);
  else std::memcpy(&v, mtz->missing_number_flag, sizeof v);
  return v;
}

std::string cut(const char* text, std::size_t n) {
  if (text == nullptr) return {};
  return std::string(text, ::strnlen(text, n));
}

std::string rtrimmed(const std::string& text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}  // namespace reflections

using reflections::count_slashes;
using reflections::cut;
using reflections::lookup_path;

std::unique_ptr<MtzFile> MtzMalloc(int nxtal, const int nset[]) {
  auto mtz = std::make_unique<MtzFile>();
  mtz->xtals.reserve(5);
  if (nxtal <= 0) return mtz;
  int32_t t[3];
  ptq7_utils_itime(t);
  char xname[40];
  std::snprintf(xname, sizeof xname, "NULL_xname%2.2d%2.2d%2.2d", t[0], t[1], t[2]);
  const float zero_cell[6] = {};
  for (int i = 0; i < nxtal; ++i) {
    MtzXtal* x = MtzAddXtal(mtz.get(), xname, "NULL_pname", zero_cell);
    if (x == nullptr) return nullptr;
    for (int j = 0; j < nset[i]; ++j)
      if (MtzAddDataset(mtz.get(), x, "NULL_dname", 0.0f) == nullptr) return nullptr;
  }
  return mtz;
}

int MtzFree(std::unique_ptr<MtzFile> mtz) {
  mtz.reset();
  return 1;
}

MtzXtal* MtzAddXtal(MtzFile* mtz, const char* crystal_name, const char* project_name,
                    const float cell[6]) {
  if (mtz == nullptr) return nullptr;
  auto x = std::make_unique<MtzXtal>();
  int largest = 0;
  for (const auto& other : mtz->xtals) largest = std::max(largest, other->xtal_id);
  x->xtal_id = largest + 1;
  x->crystal_name = cut(crystal_name, MTZ_NAME_LENGTH);
  x->project_name = cut(project_name, MTZ_NAME_LENGTH);
  for (int i = 0; i < 6; ++i) x->cell[i] = cell != nullptr ? cell[i] : 0.0f;
  x->sets.reserve(10);
  mtz->xtals.push_back(std::move(x));
  return mtz->xtals.back().get();
}

MtzSet* MtzAddDataset(MtzFile* mtz, MtzXtal* xtal, const char* dataset_name, float wavelength) {
  if (mtz == nullptr || xtal == nullptr) return nullptr;
  auto s = std::make_unique<MtzSet>();
  int largest = -1;
  for (const auto& x : mtz->xtals)
    for (const auto& other : x->sets) largest = std::max(largest, other->set_id);
  s->set_id = largest + 1;
  s->dataset_name = cut(dataset_name, MTZ_NAME_LENGTH);
  s->wavelength = wavelength;
  s->cols.reserve(20);
  xtal->sets.push_back(std::move(s));
  return xtal->sets.back().get();
}

MtzCol* MtzAddColumn(MtzFile* mtz, MtzSet* set, const char* label, const char* type) {
  if (mtz == nullptr || set == nullptr) return nullptr;
  if (set->cols.size() >= static_cast<std::size_t>(MTZ_MAX_COLS_PER_SET)) {
    std::printf("MtzAddColumn: No more columns! \n");
    return nullptr;
  }
  const int n = mtz->refs_in_memory ? (mtz->nref == 0 ? 2000 : mtz->nref) : 0;
  auto c = MtzMallocCol(mtz, n);
  c->label = cut(label, MTZ_LABEL_LENGTH);
  c->type = cut(type, MTZ_TYPE_LENGTH);
  set->cols.push_back(std::move(c));
  return set->cols.back().get();
}

std::unique_ptr<MtzCol> MtzMallocCol(const MtzFile* mtz, int n) {
  auto c = std::make_unique<MtzCol>();
  // New values read as missing until data arrive.
  if (mtz != nullptr && mtz->refs_in_memory && n > 0)
    c->values.assign(static_cast<std::size_t>(n), reflections::missing_value(mtz));
  return c;
}

int MtzFreeCol(std::unique_ptr<MtzCol> col) {
  col.reset();
  return 1;
}

std::unique_ptr<MtzBatch> MtzMallocBatch() { return std::make_unique<MtzBatch>(); }

int MtzFreeBatch(std::unique_ptr<MtzBatch> batch) {
  batch.reset();
  return 1;
}

std::vector<char> MtzCallocHist(int n) {
  return std::vector<char>(static_cast<std::size_t>(n > 0 ? n : 0) * MTZ_HISTORY_LINE, '\0');
}

int MtzFreeHist(std::vector<char>& history) {
  std::vector<char>().swap(history);
  return 1;
}

std::string MtzXtalPath(const MtzXtal* xtal) { return "/" + xtal->crystal_name; }

std::string MtzSetPath(const MtzFile* mtz, const MtzSet* set) {
  const MtzXtal* x = MtzSetXtal(mtz, set);
  return (x != nullptr ? MtzXtalPath(x) : std::string()) + "/" + set->dataset_name;
}

std::string MtzColPath(const MtzFile* mtz, const MtzCol* col) {
  const MtzSet* s = MtzColSet(mtz, col);
  return (s != nullptr ? MtzSetPath(mtz, s) : std::string()) + "/" + col->label;
}

int MtzRJustPath(std::string& out, const char* path, int n) {
  const int slashes = count_slashes(path);
  const int stars = slashes + 1 < n ? n - slashes - 1 : 0;
  std::string made(slashes < n ? 1 : 0, '/');
  made.reserve(made.size() + 2 * static_cast<std::size_t>(stars) + std::strlen(path));
  for (int i = 0; i < stars; ++i) made.append("*/", 2);
  made.append(path);
  out.swap(made);
  return 1;
}

int MtzPathMatch(const char* a, const char* b) {
  for (;;) {
    if (*a == '\0' || *b == '\0') return (*a == '\0' && *b == '\0') ? 1 : 0;
    if (*a == *b) {
      ++a;
      ++b;
      continue;
    }
    if (*a != '*' && *b != '*') return 0;
    // A '*' on either side stands for one whole component of the other.
    while (*a != '/' && *a != '\0') ++a;
    while (*b != '/' && *b != '\0') ++b;
  }
}

MtzXtal* MtzXtalLookup(const MtzFile* mtz, const char* name) {
  const std::string path = lookup_path(name, 1);
  if (path.empty() || mtz == nullptr) return nullptr;
  for (const auto& x : mtz->xtals)
    if (MtzPathMatch(path.c_str(), MtzXtalPath(x.get()).c_str())) return x.get();
  return nullptr;
}

MtzSet* MtzSetLookup(const MtzFile* mtz, const char* name) {
  const std::string path = lookup_path(name, 2);
  if (path.empty() || mtz == nullptr) return nullptr;
  for (const auto& x : mtz->xtals)
    for (const auto& s : x->sets)
      if (MtzPathMatch(path.c_str(), ("/" + x->crystal_name + "/" + s->dataset_name).c_str()))
        return s.get();
  return nullptr;
}

MtzCol* MtzColLookup(const MtzFile* mtz, const char* label) {
  const std::string path = lookup_path(label, 3);
  if (path.empty() || mtz == nullptr) return nullptr;
  for (const auto& x : mtz->xtals)
    for (const auto& s : x->sets) {
      const std::string set_path = '/' + x->crystal_name + '/' + s->dataset_name + '/';
      for (const auto& c : s->cols)
        if (MtzPathMatch(path.c_str(), (set_path + c->label).c_str())) return c.get();
    }
  return nullptr;
}

MtzSet* MtzColSet(const MtzFile* mtz, const MtzCol* col) {
  if (mtz != nullptr)
    for (const auto& x : mtz->xtals)
      for (const auto& s : x->sets)
        for (const auto& c : s->cols)
          if (c.get() == col) return s.get();
  std::printf("MtzColSet: no such column. \n");
  return nullptr;
}

MtzXtal* MtzSetXtal(const MtzFile* mtz, const MtzSet* set) {
  if (mtz != nullptr)
    for (const auto& x : mtz->xtals)
      for (const auto& s : x->sets)
        if (s.get() == set) return x.get();
  std::printf("MtzSetXtal: no such dataset. \n");
  return nullptr;
}

int MtzFindInd(const MtzFile* mtz, int& xtal_index, int& set_index, int index[3]) {
  xtal_index = 0;
  set_index = 0;
  index[0] = 0;
  index[1] = 1;
  index[2] = 2;
  for (std::size_t i = 0; i < mtz->xtals.size(); ++i) {
    const auto& x = mtz->xtals[i];
    for (std::size_t j = 0; j < x->sets.size(); ++j) {
      const auto& s = x->sets[j];
      for (std::size_t k = 0; k < s->cols.size(); ++k) {
        const MtzCol& c = *s->cols[k];
        if (c.type.empty() || c.type[0] != 'H' || c.label.empty()) continue;
        const char first = c.label[0];
        if (first == 'H') {
          xtal_index = static_cast<int>(i);
          set_index = static_cast<int>(j);
          index[0] = static_cast<int>(k);
        } else if (first == 'K') {
          index[1] = static_cast<int>(k);
        } else if (first == 'L') {
          index[2] = static_cast<int>(k);
        }
      }
    }
  }
  return 1;
}

int MtzToggleColumn(MtzCol* col) {
  col->active = col->active ? 0 : 1;
  return col->active;
}

int MtzAssignColumn(MtzFile* mtz, MtzCol* col, const char* crystal_name, const char* dataset_name) {
  if (mtz == nullptr || col == nullptr || crystal_name == nullptr || *crystal_name == '\0' ||
      dataset_name == nullptr || *dataset_name == '\0') {
    ptq7_signal(ptq7_error_word(PTQ7_ERRNO_MTZ, PTQ7_LEVEL_ERROR, 8), "MtzAssignColumn", nullptr);
    return 1;
  }
  const std::string target = std::string("/") + crystal_name + "/" + dataset_name;
  MtzSet* current = MtzColSet(mtz, col);
  std::unique_ptr<MtzCol> moving;
  if (current != nullptr) {
    if (MtzPathMatch(target.c_str(), MtzSetPath(mtz, current).c_str())) return 1;
    for (auto it = current->cols.begin(); it != current->cols.end(); ++it)
      if (it->get() == col) {
        moving = std::move(*it);
        current->cols.erase(it);
        break;
      }
  }
  MtzSet* dest = MtzSetLookup(mtz, target.c_str());
  if (dest == nullptr) {
    MtzXtal* x = MtzXtalLookup(mtz, crystal_name);
    if (x == nullptr) {
      const float zero_cell[6] = {};
      x = MtzAddXtal(mtz, crystal_name, crystal_name, zero_cell);
    }
    dest = MtzAddDataset(mtz, x, dataset_name, 0.0f);
  }
  // A column held by no dataset cannot change hands: it is left where it is.
  if (moving) dest->cols.push_back(std::move(moving));
  return 1;
}

int MtzAssignHKLtoBase(MtzFile* mtz) {
  if (MtzSetLookup(mtz, "HKL_base/HKL_base") == nullptr) return 1;
  std::vector<MtzCol*> hkl;
  reflections::each_column(mtz, [&](const MtzXtal*, const MtzSet*, MtzCol* c) {
    if (hkl.size() < 3 && c->type == "H") hkl.push_back(c);
  });
  for (MtzCol* c : hkl) MtzAssignColumn(mtz, c, "HKL_base", "HKL_base");
  return 1;
}

namespace {

void list_one(const MtzSet* s, const MtzCol* c, int slot, char labels[][31], char types[][3],
              int set_ids[]) {
  const char* label = (c->type == "Y" && c->label == "M_ISYM") ? "M/ISYM" : c->label.c_str();
  std::snprintf(labels[slot], 31, "%s", label);
  std::snprintf(types[slot], 3, "%s", c->type.c_str());
  set_ids[slot] = s->set_id;
}

}  // namespace

int MtzListColumn(const MtzFile* mtz, char labels[][31], char types[][3], int set_ids[]) {
  int n = 0;
  reflections::each_column(mtz, [&](const MtzXtal*, const MtzSet* s, const MtzCol* c) {
    list_one(s, c, n++, labels, types, set_ids);
  });
  return n;
}

int MtzListInputColumn(const MtzFile* mtz, char labels[][31], char types[][3], int set_ids[]) {
  int n = 0;
  reflections::each_column(mtz, [&](const MtzXtal*, const MtzSet* s, const MtzCol* c) {
    if (c->source == 0) return;
    list_one(s, c, c->source - 1, labels, types, set_ids);
    ++n;
  });
  return n;
}

void MtzDebugHierarchy(const MtzFile* mtz) {
  if (mtz->file_in)
    std::printf("MtzDebugHierarchy: input file = %s \n", mtz->file_in->name.c_str());
  if (mtz->file_out)
    std::printf("MtzDebugHierarchy: output file = %s \n", mtz->file_out->name.c_str());
  std::printf("MtzDebugHierarchy: nxtal = %d \n", MtzNxtal(mtz));
  for (const auto& x : mtz->xtals) {
    std::printf("MtzDebugHierarchy: xtal = %s, cell = %f %f %f %f %f %f \n",
                x->crystal_name.c_str(), x->cell[0], x->cell[1], x->cell[2], x->cell[3], x->cell[4],
                x->cell[5]);
    std::printf("MtzDebugHierarchy: xtal = %s, nset = %d \n", x->crystal_name.c_str(),
                MtzNsetsInXtal(x.get()));
    for (const auto& s : x->sets) {
      std::printf("MtzDebugHierarchy: xtal = %s, set = %s, ncol = %d \n", x->crystal_name.c_str(),
                  s->dataset_name.c_str(), MtzNcolsInSet(s.get()));
      for (const auto& c : s->cols)
        std::printf("MtzDebugHierarchy: col = %s (in: %d) (out: %d) \n", c->label.c_str(),
                    c->source, c->active);
    }
  }
}

int MtzNxtal(const MtzFile* mtz) { return static_cast<int>(mtz->xtals.size()); }
const std::vector<std::unique_ptr<MtzXtal>>& MtzXtals(const MtzFile* mtz) { return mtz->xtals; }
MtzXtal* MtzIxtal(const MtzFile* mtz, int i) {
  return mtz->xtals[static_cast<std::size_t>(i)].get();
}
int MtzNsetsInXtal(const MtzXtal* xtal) { return static_cast<int>(xtal->sets.size()); }
const std::vector<std::unique_ptr<MtzSet>>& MtzSetsInXtal(const MtzXtal* xtal) {
  return xtal->sets;
}
MtzSet* MtzIsetInXtal(const MtzXtal* xtal, int i) {
  return xtal->sets[static_cast<std::size_t>(i)].get();
}
int MtzNcolsInSet(const MtzSet* set) { return static_cast<int>(set->cols.size()); }
const std::vector<std::unique_ptr<MtzCol>>& MtzColsInSet(const MtzSet* set) { return set->cols; }
MtzCol* MtzIcolInSet(const MtzSet* set, int i) {
  return set->cols[static_cast<std::size_t>(i)].get();
}
const char* MtzColType(const MtzCol* col) { return col->type.c_str(); }

int MtzNset(const MtzFile* mtz) {
  int n = 0;
  for (const auto& x : mtz->xtals) n += MtzNsetsInXtal(x.get());
  return n;
}

int MtzNcol(const MtzFile* mtz) {
  int n = 0;
  for (const auto& x : mtz->xtals)
    for (const auto& s : x->sets) n += MtzNcolsInSet(s.get());
  return n;
}

int MtzNumActiveColsInSet(const MtzSet* set) {
  int n = 0;
  for (const auto& c : set->cols) n += c->active;
  return n;
}

int MtzNumActiveCol(const MtzFile* mtz) {
  int n = 0;
  for (const auto& x : mtz->xtals)
    for (const auto& s : x->sets) n += MtzNumActiveColsInSet(s.get());
  return n;
}

int MtzNumSourceColsInSet(const MtzSet* set) {
  int n = 0;
  for (const auto& c : set->cols)
    if (c->source != 0) ++n;
  return n;
}

int MtzNumSourceCol(const MtzFile* mtz) {
  int n = 0;
  for (const auto& x : mtz->xtals)
    for (const auto& s : x->sets) n += MtzNumSourceColsInSet(s.get());
  return n;
}

int MtzNbatchesInSet(const MtzFile* mtz, const MtzSet* set) {
  const MtzBatch* b = mtz->batches.get();
  if (mtz->nbat_file > 0 && MtzNbat(mtz) > mtz->nbat_file)
    for (int i = 0; i < mtz->nbat_file && b != nullptr; ++i) b = b->next.get();
  int n = 0;
  for (; b != nullptr; b = b->next.get())
    if (b->dataset_id == set->set_id) ++n;
  return n;
}

int MtzNumActiveSetsInXtal(const MtzFile* mtz, const MtzXtal* xtal) {
  int n = 0;
  for (const auto& s : xtal->sets)
    if (MtzNumActiveColsInSet(s.get()) > 0 || MtzNbatchesInSet(mtz, s.get()) > 0) ++n;
  return n;
}

int MtzNumActiveSet(const MtzFile* mtz) {
  int n = 0;
  for (const auto& x : mtz->xtals) n += MtzNumActiveSetsInXtal(mtz, x.get());
  return n;
}

int MtzNumActiveXtal(const MtzFile* mtz) {
  int n = 0;
  for (const auto& x : mtz->xtals)
    if (MtzNumActiveSetsInXtal(mtz, x.get()) > 0) ++n;
  return n;
}

int MtzNref(const MtzFile* mtz) { return mtz->nref; }

int MtzNbat(const MtzFile* mtz) {
  int n = 0;
  for (const MtzBatch* b = mtz->batches.get(); b != nullptr; b = b->next.get()) ++n;
  return n;
}

int MtzSpacegroupNumber(const MtzFile* mtz) { return mtz == nullptr ? 0 : mtz->spacegroup_num; }
