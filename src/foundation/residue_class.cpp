// Residue-type classification by name.
#include "foundation/residue_class.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "foundation/messages.h"

com_res_type_t com_res_type;
com_water_name_t com_water_name;

namespace {

constexpr const char* kPeptides[] = {
    "CYS", "SER", "THR", "PRO", "ALA", "GLY", "ASN", "ASP", "GLU", "GLN", "HIS", "ARG", "LYS",
    "MET", "ILE", "LEU", "VAL", "PHE", "TYR", "TRP", "TRY", "HYP", "PCA", "SAR", "ORN", "CSS",
    "CSH", "DAR", "DPR", "NLE", "DAS", "INI", "DGL", "DGN", "DHI", "DIL", "DIV", "DLI", "DSN",
    "DSP", "ABA", "BMT", "MLE", "MVA", "DVA", "MSE", "PTR", "DAL", "DPN", "DTR", "DTH", "TYS",
    "CGU", "DCY", "ILG", "OCS", "KCX", "SAH", "SAM", "SEP", "LLP", "5HP", "CSO"};
// The nucleotides after the one-letter names of older files; the last six
// are the names current files give the deoxynucleotides.
constexpr const char* kNucleotides[] = {
    "1MA", "1MG", "2MG", "5MC", "5MU", "7MG", "H2U", "M2G", "OMC", "OMG", "OMU", "PSU", "YG", "Ad",
    "Ar",  "Cd",  "Cr",  "Gd",  "Gr",  "Td",  "Ur",  "Ir",  "DA",  "DC",  "DG",  "DT",  "DI", "DU"};
constexpr int kNumNucleotides =
    std::size(foundation::kOneLetterNucleotides) + std::size(kNucleotides);
constexpr const char* kSugars[] = {"MAN", "NAG", "FUC", "GAL", "GLC", "GCU", "GSA",
                                   "XYS", "ARB", "RIP", "ABE", "RAM", "MAG", "MMA"};

static_assert(std::size(kPeptides) == 63 && std::size(foundation::kPolymerCaps) == 17 &&
              kNumNucleotides == 39 && std::size(kSugars) == 14);

// A three-character name, blank-padded, packed into one integer key.
constexpr uint32_t key3(std::string_view s) {
  uint32_t k = 0;
  for (int i = 0; i < 3; ++i) {
    const unsigned char c = i < static_cast<int>(s.size()) ? static_cast<unsigned char>(s[i]) : ' ';
    k = (k << 8) | c;
  }
  return k;
}

struct Entry {
  uint32_t key;
  int32_t cls;
};

constexpr int kNumStandard = 63 + 17 + 39 + 14 + std::size(foundation::kSolvent);

// The built-in names sorted by key, searched by bisection for every residue.
constexpr std::array<Entry, kNumStandard> make_standard() {
  std::array<Entry, kNumStandard> t{};
  int n = 0;
  for (const char* s : kPeptides) t[n++] = {key3(s), 3};
  for (std::string_view s : foundation::kPolymerCaps) t[n++] = {key3(s), 10};
  for (std::string_view s : foundation::kOneLetterNucleotides) t[n++] = {key3(s), 5};
  for (const char* s : kNucleotides) t[n++] = {key3(s), 5};
  for (const char* s : kSugars) t[n++] = {key3(s), 7};
  for (std::string_view s : foundation::kSolvent) t[n++] = {key3(s), 9};
  std::sort(t.begin(), t.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
  return t;
}

constexpr std::array<Entry, kNumStandard> kStandard = make_standard();

bool in_range(const com_res_type_t& t, int first, int count, const char* key) {
  for (int k = first + 1; k <= first + count; ++k)
    if (std::memcmp(t.rname_t(k).c, key, 8) == 0) return true;
  return false;
}

}  // namespace

void init_res_type_tab_() {
  com_res_type_t& t = com_res_type;
  int k = RNAME_PEPT0;
  for (const char* s : kPeptides) t.rname_t(++k) = s;
  k = RNAME_POLY0;
  for (std::string_view s : foundation::kPolymerCaps) t.rname_t(++k) = s;
  k = RNAME_NUCL0;
  for (std::string_view s : foundation::kOneLetterNucleotides) t.rname_t(++k) = s;
  for (const char* s : kNucleotides) t.rname_t(++k) = s;
  k = RNAME_SUGR0;
  for (const char* s : kSugars) t.rname_t(++k) = s;
  t.nrname_t = 63;
  t.nrnamep_t = 17;
  t.nrnamed_t = kNumNucleotides;
  t.nrnames_t = 14;
  com_water_name.cut_name_monomer = 0;
}

void get_standard_res_type_(int32_t, std::string_view, std::string_view monn, int32_t& itype, int32_t& ierr) {
  itype = 1;
  ierr = 0;
  const uint32_t k = key3(monn.substr(0, std::min<std::size_t>(3, monn.size())));
  const auto* it = std::lower_bound(kStandard.begin(), kStandard.end(), k,
                                    [](const Entry& e, uint32_t v) { return e.key < v; });
  if (it != kStandard.end() && it->key == k) itype = it->cls;
}

void get_ini_res_type_(int32_t, std::string_view, std::string_view monn, int32_t& itype, int32_t& ierr) {
  itype = 1;
  ierr = 0;
  const rt::FixedText<8> key(monn.substr(0, std::min<std::size_t>(8, monn.size())));
  // A name longer than 8 characters (non-blank beyond) matches nothing.
  if (rt::len_trim(monn) > 8) return;
  const com_res_type_t& t = com_res_type;
  auto count = [](int32_t n, int cap) { return n < 0 ? 0 : (n > cap ? cap : n); };
  if (in_range(t, RNAME_PEPT0, count(t.nrname_t, 400), key.c)) {
    itype = 3;
  } else if (in_range(t, RNAME_POLY0, count(t.nrnamep_t, 200), key.c)) {
    itype = 10;
  } else if (in_range(t, RNAME_NUCL0, count(t.nrnamed_t, 200), key.c)) {
    itype = 5;
  } else if (in_range(t, RNAME_SUGR0, count(t.nrnames_t, 200), key.c)) {
    itype = 7;
  } else if (foundation::name_in(key.view(), foundation::kSolvent)) {
    itype = 9;
  }
}

void write_lib_res_type_tab_(int32_t mdoc, int32_t& ierr) {
  ierr = 0;
  const com_res_type_t& t = com_res_type;
  struct List {
    const char* heading;
    int first;
    int32_t count;
    int cap;
  };
  const List lists[4] = {{"--- L/D - peptides ---", RNAME_PEPT0, t.nrname_t, 400},
                         {"--- polymer ---", RNAME_POLY0, t.nrnamep_t, 200},
                         {"--- DNA/RNA ---", RNAME_NUCL0, t.nrnamed_t, 200},
                         {"--- L/D pyranose ---", RNAME_SUGR0, t.nrnames_t, 200}};
  char line[32];
  for (const List& l : lists) {
    if (l.count <= 0) continue;
    msgdoc_(mdoc, l.heading);
    const int n = l.count < l.cap ? l.count : l.cap;
    for (int k = 1; k <= n; ++k) {
      const int m = std::snprintf(line, sizeof line, "%4d) %.8s", k, t.rname_t(l.first + k).c);
      msgdoc_(mdoc, std::string_view(line, m));
    }
  }
}
