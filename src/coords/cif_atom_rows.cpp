// The mmCIF atom-row reader: item matching of the `_atom_site` loop, the
// residue key, element derivation and the atom line.
#include "coords/cif_atom_rows.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "coords/cif_items.h"
#include "coords/cif_numbers.h"
#include "coords/ions.h"
#include "coords/pdb_corrections.h"
#include "coords/pdb_fields.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "foundation/words.h"
#include "runtime/units.h"

com_crd_cif_t com_crd_cif;

namespace {

// "00" to "99": two decimal digits per division keep the chain of
// divisions short.
constexpr char kPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Decimal digits of q written backwards, the last one just before `end`;
// returns the first.
inline char* digits_back(char* end, uint64_t q) {
  while (q > UINT32_MAX) {
    *--end = static_cast<char>('0' + q % 10);
    q /= 10;
  }
  uint32_t r = static_cast<uint32_t>(q);
  while (r >= 100) {
    const uint32_t t = r % 100;
    r /= 100;
    end -= 2;
    std::memcpy(end, kPairs + 2 * t, 2);
  }
  if (r >= 10) {
    end -= 2;
    std::memcpy(end, kPairs + 2 * r, 2);
  } else {
    *--end = static_cast<char>('0' + r);
  }
  return end;
}

// Writes v right-justified in W columns, or W asterisks when it does not fit.
template <int W>
void put_int(char* dst, long v) {
  static_assert(W >= 1 && W <= 9);
  constexpr unsigned long kRoom = W == 1 ? 10 : W == 2 ? 100 : W == 3 ? 1000 : W == 4 ? 10000 : W == 5 ? 100000
                                : W == 6 ? 1000000 : W == 7 ? 10000000 : W == 8 ? 100000000 : 1000000000;
  const bool neg = v < 0;
  const unsigned long q = neg ? 0UL - static_cast<unsigned long>(v) : static_cast<unsigned long>(v);
  // The digits and the sign must fit in W columns.
  if (q >= (neg ? kRoom / 10 : kRoom)) {
    std::memset(dst, '*', W);
    return;
  }
  std::memset(dst, ' ', W);
  char* p = digits_back(dst + W, q);
  if (neg) p[-1] = '-';
}

// Fixed-point field FW.D, right-justified; asterisks when it does not fit.
// Written by hand, the decimals at fixed places: this runs for every atom
// row, and the general printf path dominated the reading time.
template <int W, int D>
void put_real(char* dst, float v) {
  static_assert(D >= 1 && D <= 3 && W - D - 1 >= 2);
  constexpr double kScale = D == 1 ? 10.0 : D == 2 ? 100.0 : 1000.0;
  constexpr uint32_t kPow = D == 1 ? 10 : D == 2 ? 100 : 1000;
  constexpr int kInt = W - D - 1;  // columns of the sign and the integer part
  if (!std::isfinite(v) || std::fabs(v) >= 1.0e15f) {
    std::memset(dst, '*', W);
    return;
  }
  const bool neg = v < 0.0f;
  const double x = std::fabs(static_cast<double>(v)) * kScale;
  // Round half to even, as llrint does: below 2^52 adding and taking away
  // 2^52 leaves the nearest integer; above, x is an integer already (and
  // below 2^63).
  const int64_t q = static_cast<int64_t>(x < 0x1p52 ? (x + 0x1p52) - 0x1p52 : x);
  uint64_t ip;
  uint32_t fp;
  if (q <= INT64_C(0xFFFFFFFF)) {
    const uint32_t q32 = static_cast<uint32_t>(q);
    ip = q32 / kPow;
    fp = q32 % kPow;
  } else {
    ip = static_cast<uint64_t>(q) / kPow;
    fp = static_cast<uint32_t>(static_cast<uint64_t>(q) % kPow);
  }
  // The integer part (at least one digit) and the sign must fit in kInt.
  constexpr uint64_t kRoom = kInt == 2 ? 100 : kInt == 3 ? 1000 : kInt == 4 ? 10000 : 100000;
  static_assert(kInt <= 5);
  if (ip >= (neg ? kRoom / 10 : kRoom)) {
    std::memset(dst, '*', W);
    return;
  }
  std::memset(dst, ' ', kInt);
  char* p = digits_back(dst + kInt, ip);
  if (neg) p[-1] = '-';
  dst[kInt] = '.';
  char* f = dst + kInt + 1;
  if constexpr (D == 3) {
    f[0] = static_cast<char>('0' + fp / 100);
    fp %= 100;
  }
  if constexpr (D >= 2) {
    std::memcpy(f + D - 2, kPairs + 2 * fp, 2);
  } else {
    f[0] = static_cast<char>('0' + fp);
  }
}

void put_text(char* dst, int w, std::string_view s) {
  for (int i = 0; i < w; ++i) dst[i] = i < static_cast<int>(s.size()) && s[i] != '\0' ? s[i] : ' ';
}

// A value of the record without its padding, as rt::trim_right gives it: the
// eighty columns of a value's slot are mostly blanks.
std::string_view trimmed_value(std::string_view v) {
  return v.substr(0, static_cast<std::size_t>(rt::len_trim_wide(v)));
}

// An empty value (all blanks) or one that begins with "?".
bool value_absent(std::string_view v) {
  const char c = v[0];
  if (c == '?') return true;
  if (c != ' ' && c != '\0') return false;
  return rt::len_trim_wide(v) == 0;
}

// Whether a residue name read from a row is one: not blank, ".", or "?".
bool residue_named(const rt::FixedText<8>& r) {
  return !r.is_blank() && !(r == ".") && !(r == "?");
}

// A lower-case letter or an unprintable character among the four.
inline bool needs_upper_case(const rt::FixedText<4>& t) {
  bool any = false;
  for (char c : t.c) {
    const char cls = char_class(c);
    any |= cls == 'l' || cls == '?';
  }
  return any;
}

// Residue class of a residue name, as the PDB reader takes it: the run-time
// table alone does not know the built-in nucleotides before the library is
// read, and a 5' phosphate's OP3 would keep a name the later stages do not
// know, where the PDB form of the same file gives O3T.
int32_t res_class(std::string_view rname) { return pdb::residue_class(rname); }

}  // namespace

namespace {

// The atom line with every field S columns to the right of the mmCIF
// layout; a template so that each field has a fixed place and width.
template <int S>
void atom_line(char* b) {
  std::memset(b, ' ', 81);
  put_int<5 + S>(b, crdatm.cr_iatold);
  put_text(b + 6 + S, 4, crdatm.cr_aname.view());
  put_text(b + 11 + S, 4, crdatm.cr_asymb.view());
  put_text(b + 16 + S, 1, crdatm.cr_atype.view());
  put_text(b + 18 + S, 1, crdatm.cr_alt.view());
  put_text(b + 20 + S, 1, crdatm.cr_corr.view());
  put_text(b + 22 + S, 3, crdatm.cr_rname.view());
  put_int<4>(b + 26 + S, crdatm.cr_ires);
  put_text(b + 31 + S, 2, crdatm.cr_group.view());
  put_real<8, 3>(b + 34 + S, crdatm.cr_xyz(1));
  put_real<8, 3>(b + 43 + S, crdatm.cr_xyz(2));
  put_real<8, 3>(b + 52 + S, crdatm.cr_xyz(3));
  put_real<6, 2>(b + 61 + S, crdatm.cr_occ);
  put_real<6, 2>(b + 68 + S, crdatm.cr_biso);
  b[75 + S] = crdatm.cr_btype(1) == 'A' ? 'A' : '.';
  if (crdatm.cr_mult_factor > 1) {
    put_int<2>(b + 77 + S, crdatm.cr_mult_factor > 99 ? 99 : crdatm.cr_mult_factor);
  } else {
    b[77 + S] = '.';
    b[78 + S] = ' ';
  }
}

}  // namespace

void cif_atom_line(int shift, rt::TextRef line) {
  if (line.len() == 256) {
    // The usual target, cr_line, written in place (the line ends in blanks
    // from column 80 on).
    if (shift == 0)
      atom_line<0>(line.p);
    else
      atom_line<1>(line.p);
    std::memset(line.p + 81, ' ', 256 - 81);
    return;
  }
  char b[81];
  if (shift == 0)
    atom_line<0>(b);
  else
    atom_line<1>(b);
  line.assign(std::string_view(b, 79 + shift));
}

namespace {

// The item names of the mmCIF row vocabulary, in the order they are tested.
enum Item {
  kSerial, kAtomName, kAuthAtom, kChem, kSymbol, kAtype, kAlt, kCorr, kResName, kSeq,
  kAuthSeq, kEntity, kAsym, kX, kY, kZ, kOcc, kB, kThermal, kMult, kU11, kU22, kU33,
  kU12, kU13, kU23, kModel, kInsCode, kGroupPdb, kAuthAsym, kNone
};

Item classify(std::string_view rest) {
  auto m = [&](std::string_view n) { return cif_match(rest, n); };
  auto w = [&](std::string_view n) { return cif_match_whole(rest, n); };
  if (m("atom_number") || m("id")) return kSerial;
  if (m("label_atom_id")) return kAtomName;
  if (m("label_auth_atom_id")) return kAuthAtom;
  if (m("label_chem_id")) return kChem;
  if (m("type_symbol")) return kSymbol;
  if (m("atom_type") || m("calc_flag")) return kAtype;
  if (m("label_alt_id")) return kAlt;
  if (m("label_corr_id") || m("footnote_id")) return kCorr;
  if (m("label_res_id") || m("label_comp_id")) return kResName;
  if (m("label_seq_id")) return kSeq;
  if (m("auth_seq_id")) return kAuthSeq;
  if (m("label_entity_id")) return kEntity;
  if (m("label_asym_id")) return kAsym;
  if (w("Cartn_x") || w("cartn_x")) return kX;
  if (w("Cartn_y") || w("cartn_y")) return kY;
  if (w("Cartn_z") || w("cartn_z")) return kZ;
  if (w("occupancy")) return kOcc;
  if (w("B_iso_or_equiv")) return kB;
  if (m("thermal_displace_type")) return kThermal;
  if (m("symmetry_multiplicity")) return kMult;
  if (m("aniso_U[1][1]")) return kU11;
  if (m("aniso_U[2][2]")) return kU22;
  if (m("aniso_U[3][3]")) return kU33;
  if (m("aniso_U[1][2]")) return kU12;
  if (m("aniso_U[1][3]")) return kU13;
  if (m("aniso_U[2][3]")) return kU23;
  if (m("pdbx_PDB_model_num")) return kModel;
  if (m("pdbx_PDB_ins_code")) return kInsCode;
  if (w("group_PDB")) return kGroupPdb;
  if (w("auth_asym_id")) return kAuthAsym;
  return kNone;
}

// The items of the anisotropic loop, each a whole name after the 21
// characters of "_atom_site_anisotrop.": the serial of the atom it names and
// the six components.  Other items (the atom's names, the "_esd" items) are
// passed over.
int aniso_column(std::string_view rest) {
  static constexpr std::string_view kNames[7] = {"id",      "U[1][1]", "U[2][2]", "U[3][3]",
                                                 "U[1][2]", "U[1][3]", "U[2][3]"};
  for (int i = 0; i < 7; ++i)
    if (cif_match_whole(rest, kNames[i])) return i;
  return -1;
}

// The anisotropic loop's names begin as atom-row names do, but its rows
// name atoms already read.
bool is_aniso_category(const rt::FixedText<80>& first_name) {
  return first_name.sub(1, 20) == "_atom_site_anisotrop";
}

// Item classes of the last item names seen; the names of a loop come back
// with every row, so they are classified once per loop (the tokeniser's
// serial tells when names were stored again).
struct ItemCache {
  int n = -1;
  uint32_t serial = 0;
  bool atom_site = false;  // the first name is of the atom-site category
  bool aniso = false;      // ... of its anisotropic loop instead
  int aniso_col[7];        // serial and U11 .. U23 of that loop, 0 when absent
  Item kind[60];
  // The column (1-based, 0 absent) of each item, and whether taking the
  // items in the order of their kinds gives what taking the columns in
  // their order gives: no item twice, and the displacement type, which
  // the anisotropic components overrule, before all of them.
  int column[kNone];
  bool kind_order;
  // The first coordinate the atom-site loop lacks, kNone when it has all
  // three: every atom would be read at 0 along that axis.
  Item missing_xyz = kNone;
  // How the rows of the loop lie on the lines, as its first row shows:
  // unknown before it, each row on whole lines of its own, or otherwise.
  enum class Layout { Unknown, WholeLines, Free } layout = Layout::Unknown;

  const Item* lookup() {
    const int nc = comcif_info.n_cif;
    const uint32_t now = cif_names_serial_info();
    if (nc != n || now != serial) {
      n = nc;
      serial = now;
      layout = Layout::Unknown;
      const std::string_view first = comcif_info.itm_cif(1).sub(1, 11);
      aniso = is_aniso_category(comcif_info.itm_cif(1));
      atom_site = !aniso && (first == "_atom_site_" || first == "_atom_site.");
      for (int& c : aniso_col) c = 0;
      if (aniso) {
        for (int k = 0; k < nc; ++k) {
          const int i = aniso_column(comcif_info.itm_cif(k + 1).sub(22, 80));
          if (i >= 0) aniso_col[i] = k + 1;
        }
      }
      for (int& c : column) c = 0;
      kind_order = true;
      int first_u = 0;
      for (int k = 0; k < nc; ++k) {
        const Item it = classify(comcif_info.itm_cif(k + 1).sub(12, 80));
        kind[k] = it;
        if (it == kNone) continue;
        if (column[it] != 0) kind_order = false;
        column[it] = k + 1;
        if (it >= kU11 && first_u == 0) first_u = k + 1;
      }
      if (column[kThermal] != 0 && first_u != 0 && first_u < column[kThermal]) kind_order = false;
      missing_xyz = kNone;
      for (const Item c : {kX, kY, kZ})
        if (column[c] == 0 && missing_xyz == kNone) missing_xyz = c;
    }
    return kind;
  }
};
ItemCache cache;

// The name correction of an atom and residue name pair, with the class of
// the corrected residue name.  Both depend only on the two names and the
// residue tables, which do not change while a file is read; the few hundred
// pairs of a file are worked out about once each.
struct NameFix {
  rt::FixedText<4> aname;
  rt::FixedText<8> rname;
  int32_t rclass;
};

struct NameFixCache {
  static constexpr int kPairs = 256;
  foundation::LookupIndex<12, kPairs> by_pair;  // atom name then residue name, as read
  rt::Array1<NameFix, kPairs> fix;

  void clear() { by_pair.clear(); }
  const NameFix& lookup(const rt::FixedText<4>& aname, const rt::FixedText<8>& rname) {
    char key[12];
    std::memcpy(key, aname.c, 4);
    std::memcpy(key + 4, rname.c, 8);
    const std::string_view k(key, 12);
    if (const int32_t i = by_pair.first(k); i != 0) return fix(i);
    // A file with more pairs than this is rare: starting afresh only costs
    // working the pairs out again.
    if (by_pair.full()) by_pair.clear();
    const int32_t i = by_pair.size() + 1;
    by_pair.add(k, i);
    NameFix& f = fix(i);
    f.aname = aname;
    f.rname = rname;
    rt::FixedText<4> asymb, ctype;
    corr_name_(f.aname, f.rname, asymb, ctype);
    f.rclass = res_class(f.rname.view());
    return f;
  }
};
NameFixCache names;

void row_defaults(rt::FixedText<4>& entity) {
  crdatm.cr_alt = ".";
  crdatm.cr_corr = ".";
  crdatm.cr_btype = ".";
  crdatm.cr_iatold = 0;
  crdatm.cr_ires = 0;
  crdatm.cr_igroup = 0;
  crdatm.cr_sf_id = 0;
  crdatm.cr_aname = ".";
  crdatm.cr_aname_inp = ".";
  crdatm.cr_asymb = ".";
  crdatm.cr_group = ".";
  crdatm.cr_rname = ".";
  crdatm.cr_pnum.blank();
  crdstr.st_chem = ".";
  entity = ".";
  crdinf.cr_mult_flag = 1;
  // The dictionary's default: a file without occupancies (some writers
  // give none) holds every atom in full.
  crdatm.cr_occ = 1.0f;
  // A file without B values gives 0, not the B of whatever atom the record
  // held last (an earlier file's, in a program that reads several).
  crdatm.cr_biso = 0.0f;
}

void atom_name_rotate() {
  rt::FixedText<4>& a = crdatm.cr_aname;
  const int n = a.len_trim();
  if (n > 1 && a(1) >= '0' && a(1) <= '9') {
    const int m = n < 4 ? n : 4;
    const char first = a(1);
    for (int i = 1; i < m; ++i) a(i) = a(i + 1);
    a(m) = first;
  }
}

// `name` and `rname` as the row gives them: the name correction's element
// reads a name as the PDB layout places it, which a row does not give.
// An ion named by its residue is read as the ion, with the element its
// name alone gives noted for a residue that holds other atoms too.
void derive_element(const rt::FixedText<4>& name, const rt::FixedText<8>& rname) {
  crdatm.cr_asymb = pdb::element_of_left_name(name.view(), rname.view());
  const rt::FixedText<4> ion = coords::ion_symbol(name.view(), rname.view());
  if (ion.is_blank()) return;
  const rt::FixedText<4> alone = pdb::element_of_left_name(name.view(), {});
  crdatm.cr_asymb = ion;
  if (!(alone == ion)) coords::ion_pending(alone);
}

// A left-justified mmCIF name such as H1 reads to the name correction as an
// element "1", which it takes for a water oxygen: a water atom whose element
// is hydrogen keeps its own name (D1, D2, HW1 and HW2 read as H1 and H2, as
// the correction does for the hydrogens it recognises).
void keep_water_hydrogen(const rt::FixedText<4>& read_name) {
  if (!(crdatm.cr_rname == "HOH")) return;
  if (!(crdatm.cr_asymb == "H") && !(crdatm.cr_asymb == "D")) return;
  const std::string_view h = foundation::water_hydrogen_name(read_name.view());
  crdatm.cr_aname = h.empty() ? read_name.view() : h;
}

// `c` is the class of the (corrected) residue name.
void nucleic_renames(int32_t mdoc, int32_t c) {
  if (c != 5 && c != 6) return;
  for (const std::string_view from : foundation::kNucleotideTerminalOxygens) {
    if (crdatm.cr_aname == from) {
      crdatm.cr_aname = "O3T ";
      char msg[80];
      std::snprintf(msg, sizeof msg, " WARNING : for DNA/RNA atom \"%-4.*s\" --> \"O3T \" (default)",
                    static_cast<int>(from.size()), from.data());
      msgdoc_(mdoc, msg);
      return;
    }
  }
}

coords::CifAuthorRow author_row;

// Why the last row was refused, for the caller's message.
std::string refusal;

// The sites of the water being read, so that none is read onto another.
pdb::WaterInRead water_in_read;

// The end of a refusal: the line on which the row begins.
std::string row_line(const CifRecordPlace& p) { return ", row at line " + std::to_string(p.line); }

// A water site that is none of its O and H and no massless site, which a
// reader never renames onto one of them.
[[gnu::noinline]] void refuse_water_site(std::string_view why) {
  refusal = " ERROR: atom " + std::to_string(crdatm.cr_iatold) + ": " + std::string(why) +
            row_line(cif_record_place_info());
}

// `ins` is the insertion code of the row's own item, blank when it gave none.
// False after a refusal.
bool finish_row(int32_t mdoc, bool seen_auth, bool seen_seq, bool seen_group,
                const rt::FixedText<4>& entity, char ins) {
  crdatm.cr_iatom += 1;
  rt::FixedText<12>& pnum = crdatm.cr_pnum;
  // The archive's form keeps the insertion code apart from the author
  // number, and writers that give no author number (their sequence number
  // is the author's) keep it there too; without it residues 37, 37A and
  // 37B would share one key and be read as one residue.
  if (!seen_auth) {
    char buf[4];
    put_int<4>(buf, crdatm.cr_ires);
    for (int i = 0; i < 4; ++i) pnum(3 + i) = buf[i];
    pnum(7) = ins;
  } else if (pnum(7) == ' ') {
    pnum(7) = ins;
  }
  if (!seen_seq) {
    crdatm.cr_ires = cif_read_i4(pnum.sub(3, 6));
  }
  if (!seen_group) crdatm.cr_group = entity;
  if (crdatm.cr_group.len_trim() <= 1) crdatm.cr_group(2) = crdatm.cr_group(1);
  pnum(1) = crdatm.cr_group(1);
  pnum(2) = crdatm.cr_group(2);
  for (int i = 1; i <= 4; ++i) pnum(7 + i) = crdatm.cr_group(i);
  const bool own_file = crdinf.cr_soft(1) == 'B';
  coords::ion_pending(rt::FixedText<4>(""));
  if (!own_file) {
    // A residue without a name is read as a PDB atom line with blank residue
    // columns is, as a water (its rows then say so, read_atoms.h).
    if (!residue_named(crdatm.cr_rname)) crdatm.cr_rname = "HOH";
    const rt::FixedText<4> read_name = crdatm.cr_aname;
    const rt::FixedText<8> read_rname = crdatm.cr_rname;
    const NameFix& fix = names.lookup(crdatm.cr_aname, crdatm.cr_rname);
    crdatm.cr_aname = fix.aname;
    crdatm.cr_rname = fix.rname;
    // Open Babel writes "*", gemmi "X", for an element it does not know: a
    // water's site then takes the one its name gives, as where the row
    // gives none.
    if (crdatm.cr_asymb(1) == '.' || crdatm.cr_asymb(1) == '?' ||
        (crdatm.cr_rname == "HOH" && (crdatm.cr_asymb == "*" || crdatm.cr_asymb == "X")))
      derive_element(read_name, read_rname);
    keep_water_hydrogen(read_name);
    nucleic_renames(mdoc, fix.rclass);
    const std::string_view given =
        crdatm.cr_rname == "HOH" ? coords::given_value(author_row.symbol) : std::string_view();
    if (crdatm.cr_rname == "HOH" && !pdb::is_massless_water_site(author_row.atom_name, given)) {
      const std::string foreign = pdb::foreign_water_site(author_row.atom_name, given);
      if (!foreign.empty()) {
        refuse_water_site(foreign);
        return false;
      }
      std::string why;
      const pdb::WaterSite site{author_row.atom_name, author_row.symbol, crdatm.cr_aname.view(),
                                crdatm.cr_alt(1), crdatm.cr_xyz.data()};
      const std::string key =
          std::string(crdatm.cr_pnum.view()) + std::string(crdatm.cr_group.view());
      const pdb::WaterSiteFate fate = water_in_read.add(key, site, why);
      if (fate == pdb::WaterSiteFate::kRefused) {
        refuse_water_site(why);
        return false;
      }
      author_row.water_site_left_out = fate == pdb::WaterSiteFate::kLeftOut;
    }
  } else if (crdatm.cr_asymb(1) == '.' || crdatm.cr_asymb(1) == '?') {
    derive_element(crdatm.cr_aname, crdatm.cr_rname);
  }
  cif_atom_line(0, crdatm.cr_line);
  // The atom line fills at most 80 columns; the rest of cr_line is blank.
  msgdoc_(99, rt::trim_right(crdatm.cr_line.view().substr(0, 80)));
  return true;
}

// What a row gathers besides the one-atom record.
struct RowExtra {
  rt::FixedText<4> entity;
  // The group and entity values as read, before the cut to four characters.
  std::string_view group_read, entity_read;
  bool seen_auth = false, seen_seq = false, seen_group = false;
  bool seen_model = false;
  int32_t model = 0;
  std::string_view model_read;   // the model number as written
  std::string_view seq_read;     // the file's residue number as written, blank-padded
  std::string_view serial_read;  // the serial as written, empty when not given
  char ins = ' ';  // insertion code of its own item
  int no_number = 0;  // the first value column that is no number where a number stands, 0 none
  int long_name = 0;  // the column of a residue name longer than its field, 0 none
  int long_code = 0;  // the column of an insertion code of more than one character, 0 none

  void take_no_number(int k) {
    if (no_number == 0) no_number = k;
  }
};


// The model number of the first stored row of the file, whatever it is
// (simulation programs count models from 0).  The archive gives every model
// of an NMR entry in one loop; only the first is read, as the PDB reader
// reads only the first MODEL, so that both forms of an entry give the same
// model.
struct FirstModel {
  bool known = false;
  int32_t number = 0;
};
FirstModel first_model;

// Items whose empty value ('' or "", as other programs write a blank name)
// is read as if the item were not given: the row keeps its default ("."),
// as for the values "." and "?".
constexpr bool empty_keeps_default(Item k) {
  return k == kAtomName || k == kAuthAtom || k == kChem || k == kSymbol || k == kAlt ||
         k == kResName || k == kThermal;
}

// The drops of the tokeniser up to the first row of this file.
uint32_t drops_seen = 0;


// The serial that value column k of the record gives, as written; empty
// when the record has no such column.
std::string serial_text(const comcif_rec& r, int k) {
  if (k < 1 || k > r.n_cif || k > MAXCIFVAL) return {};
  return std::string(r.dt_cif(k).trimmed());
}

// "atom 301", or "an atom row" without a serial.
std::string row_name(const std::string& serial) {
  return serial.empty() ? std::string("an atom row") : "atom " + serial;
}

// The record kind of an atom row is ATOM or HETATM; any other value in its
// column means the row's values stand under the wrong names.
bool record_kind_known(std::string_view v) {
  v = rt::trim_right(v);
  const auto same = [&](std::string_view k) {
    if (v.size() != k.size()) return false;
    for (std::size_t i = 0; i < k.size(); ++i)
      if ((v[i] & ~0x20) != k[i]) return false;
    return true;
  };
  return v.empty() || v == "?" || v == "." || same("ATOM") || same("HETATM");
}

// The refusals are built out of line: their text would otherwise crowd the
// row reader, which runs for every atom.
[[gnu::noinline]] void refuse_out_of_line(const CifRecordPlace& p, int serial_column) {
  // Ended on the line it began: the values to spare are on that line.
  // Ended on a later line: the row's own values are those of the lines
  // before it, the rest belonging to the next row.
  const int32_t held = p.line_end == p.line ? p.words_end : p.values_before;
  refusal = " ERROR: " + row_name(serial_text(comcif_info, serial_column)) + " holds " +
            std::to_string(held) + " values for " + std::to_string(comcif_info.n_item) + " items" +
            row_line(p);
}

// A record kind that is neither ATOM nor HETATM, else a model number that
// is negative or no number.
[[gnu::noinline]] void refuse_kind_or_model(std::string_view model_read, int serial_column) {
  const std::string head = " ERROR: " + row_name(serial_text(comcif_info, serial_column));
  if (!record_kind_known(author_row.group_pdb))
    refusal = head + ": record kind \"" + std::string(author_row.group_pdb) +
              "\" is neither ATOM nor HETATM";
  else
    refusal = head + ": model number \"" + std::string(rt::trim_right(model_read)) +
              "\" is not a number of 0 or more";
  refusal += row_line(cif_record_place_info());
}

// An item of the atom rows that holds a whole number.
bool integer_item(Item kind) { return kind == kSeq || kind == kAuthSeq || kind == kMult; }

// A value that is no number where a number stands, in column k of the record.
[[gnu::noinline]] void refuse_no_number(int k, int serial_column, bool integer) {
  const std::string_view item = comcif_info.itm_cif(k).view(), value = comcif_info.dt_cif(k).view();
  refusal = " ERROR: " + row_name(serial_text(comcif_info, serial_column)) + ": " +
            (integer ? coords::cif_no_integer(item, value) : coords::cif_no_number(item, value)) +
            row_line(cif_record_place_info());
}

// An atom list without one of the three coordinates, named with the prefix
// the file writes its items with.
[[gnu::noinline]] void refuse_missing_coordinate(Item missing) {
  const char axis = static_cast<char>('x' + (static_cast<int>(missing) - static_cast<int>(kX)));
  refusal = " ERROR: the atom list has no item " + std::string(comcif_info.itm_cif(1).sub(1, 11)) +
            "Cartn_" + axis + row_line(cif_record_place_info());
}

// An insertion code of more than one character, in column k.
[[gnu::noinline]] void refuse_long_code(int k, int serial_column) {
  refusal = " ERROR: " + row_name(serial_text(comcif_info, serial_column)) + ": " +
            coords::cif_no_code(comcif_info.itm_cif(k).view(), comcif_info.dt_cif(k).view()) +
            row_line(cif_record_place_info());
}

// A residue name longer than the field that holds it, in column k.
[[gnu::noinline]] void refuse_long_name(int k, int serial_column) {
  refusal = " ERROR: " + row_name(serial_text(comcif_info, serial_column)) + ": residue name \"" +
            std::string(comcif_info.dt_cif(k).trimmed()) + "\" is longer than its " +
            std::to_string(crdatm.cr_rname.size()) + " characters" +
            row_line(cif_record_place_info());
}

[[gnu::noinline]] void refuse_values() {
  refusal = " ERROR: atom " + std::to_string(crdatm.cr_iatold) +
            ": coordinate, occupancy or B not finite or too large for its field" +
            row_line(cif_record_place_info());
}

// An anisotropic U that its field in the written files cannot hold: the
// run would fail only when it reads its own file back.
[[gnu::noinline]] void refuse_aniso(std::string_view serial) {
  refusal = " ERROR: atom " + std::string(rt::trim_right(serial)) +
            ": anisotropic U not finite or too large for its field" +
            row_line(cif_record_place_info());
}

// In a loop whose first row stands on whole lines of its own, as every
// writer of atom lists puts them, each row must too: a row short of values
// takes the first values of the next line and ends inside it, and one with
// values to spare ends before its line does.  The tokeniser collects values
// as one stream, so without this every row after a short one would be read
// shifted, under the wrong names.  A loop whose first row shares a line
// with another keeps no such rule; only its last row can then be seen to
// be short.  False, with the refusal, for a row out of line.
bool row_in_line(ItemCache& c, const CifRecordPlace& p, int serial_column) {
  const bool whole = p.starts_line && p.ends_line;
  if (c.layout == ItemCache::Layout::Unknown) {
    c.layout = whole ? ItemCache::Layout::WholeLines : ItemCache::Layout::Free;
    return true;
  }
  if (c.layout == ItemCache::Layout::Free || whole) return true;
  refuse_out_of_line(p, serial_column);
  return false;
}

// A row whose serial is absent, or no positive number, cannot be stored.
[[gnu::noinline]] void refuse_serial(std::string_view read) {
  const std::string_view v = rt::trim_right(read);
  if (v.empty() || v[0] == '?' || v == ".")
    refusal = " ERROR: an atom row without a serial number";
  else
    refusal = " ERROR: atom serial \"" + std::string(v) + "\" is not a positive number";
  refusal += row_line(cif_record_place_info());
}

// A row of the atom list cut short: the next item name, loop or block came
// before all its values (the tokeniser drops such a row), or the file ended
// inside it.  Refused with its serial, as far as it holds one.
bool cut_row_lost(int32_t ie) {
  const CifDroppedSet& d = cif_dropped_set_info();
  const comcif_rec* cut = nullptr;
  if (d.count != drops_seen) {
    drops_seen = d.count;
    cut = &d.set;
  } else if (ie != 0 && ie != -2 && comcif_info.n_data > 0) {
    cut = &comcif_info;
  }
  if (cut == nullptr) return false;
  const std::string_view first = cut->itm_cif(1).sub(1, 11);
  if (first != "_atom_site_" && first != "_atom_site.") return false;
  if (is_aniso_category(cut->itm_cif(1))) return false;
  const int nv = cut == &comcif_info ? comcif_info.n_data : cut->n_cif;
  std::string serial;
  for (int k = 1; k <= nv && k <= MAXCIFVAL && k <= cut->n_item; ++k) {
    if (classify(cut->itm_cif(k).sub(12, 80)) == kSerial)
      serial = std::string(cut->dt_cif(k).trimmed());
  }
  const CifRecordPlace& place = cut == &comcif_info ? cif_record_place_info() : d.place;
  refusal = " ERROR: " + row_name(serial) + " holds " + std::to_string(nv) + " values for " +
            std::to_string(cut->n_item) + " items" + row_line(place);
  return true;
}

// Value k of the record taken as item K.
template <Item K>
inline void take_value(int k, RowExtra& row) {
  [[maybe_unused]] const std::string_view val = comcif_info.dt_cif(k).view();
  [[maybe_unused]] const float fv = comcif_info.fdt_cif(k);
  if constexpr (empty_keeps_default(K)) {
    if (val[0] == ' ' && rt::len_trim_wide(val) == 0) return;
  }
  if constexpr (K == kSerial) {
    // A serial that is no whole number is none: the row is refused as one
    // without a serial, naming the value.
    int32_t i = 0;
    coords::cif_integer(val, i);
    crdatm.cr_iatold = i;
    row.serial_read = val;
  } else if constexpr (K == kAtomName) {
    crdatm.cr_aname = val;
    author_row.atom_name = trimmed_value(val);
    atom_name_rotate();
  } else if constexpr (K == kAuthAtom) {
    crdatm.cr_aname_inp = val;
  } else if constexpr (K == kChem) {
    crdstr.st_chem = val;
  } else if constexpr (K == kSymbol) {
    crdatm.cr_asymb = val;
    author_row.symbol = trimmed_value(val);
    // Upper-casing changes only lower-case letters and unprintable
    // characters; an element symbol seldom has either.
    if (needs_upper_case(crdatm.cr_asymb)) check_line_(1, crdatm.cr_asymb);
  } else if constexpr (K == kAtype) {
    crdatm.cr_atype = val.substr(0, 1);
  } else if constexpr (K == kAlt) {
    if (val[0] != '?') crdatm.cr_alt = val.substr(0, 1);
  } else if constexpr (K == kCorr) {
    if (crdinf.cr_soft(1) == 'B') crdatm.cr_corr = val.substr(0, 1);
  } else if constexpr (K == kResName) {
    crdatm.cr_rname = val;
    author_row.comp_name = trimmed_value(val);
    // Cut to the field, two names that agree in it would be one monomer.
    if (author_row.comp_name.size() > static_cast<std::size_t>(crdatm.cr_rname.size()))
      row.long_name = k;
  } else if constexpr (K == kSeq) {
    if (!value_absent(val)) {
      // "." gives 0, as it always has (writers that number only polymers
      // write it for the rest).
      int32_t i = 0;
      if (coords::cif_integer(val, i) == coords::CifNumber::kNoNumber) row.take_no_number(k);
      crdatm.cr_ires = i;
      row.seen_seq = true;
      row.seq_read = val;
    }
  } else if constexpr (K == kAuthSeq) {
    // Another program's "." gives no number, as "?" does: the row's
    // sequence number stands for it, or every residue would be one.  This
    // system's own files keep it as they wrote it, a residue without a
    // number.
    const bool dot = val[0] == '.' && rt::len_trim_wide(val) == 1;
    if (!value_absent(val) && !(dot && crdinf.cr_soft(1) != 'B')) {
      // The number may carry its insertion code ("27A").
      if (!dot && !coords::cif_author_number(val)) row.take_no_number(k);
      // Written straight into columns 3-7 of the residue key.  This
      // system's own files write those five columns as one value, so five
      // characters there are four of number and the code, a digit as well
      // ("99999" is 9999 with code 9), never a number past 9999.
      const std::string_view given = trimmed_value(val);
      if (crdinf.cr_soft(1) == 'B' && given.size() == 5)
        std::memcpy(crdatm.cr_pnum.c + 2, given.data(), 5);
      else
        cif_residue_number(val, crdatm.cr_pnum.c + 2, true);
      author_row.auth_seq = trimmed_value(val);
      row.seen_auth = true;
    }
  } else if constexpr (K == kEntity) {
    if (!value_absent(val)) {
      row.entity = val.substr(0, 4);
      row.entity_read = val;
      author_row.entity = trimmed_value(val);
    }
  } else if constexpr (K == kAsym) {
    if (!value_absent(val)) {
      crdatm.cr_group = val.substr(0, 4);
      row.group_read = val;
      row.seen_group = true;
    }
  } else if constexpr (K == kX || K == kY || K == kZ) {
    // A coordinate has no default: "?" and "." leave the atom without a
    // position, which is refused as any other value that is no number.
    float v = 0.0f;
    if (coords::cif_number(val, fv, v) == coords::CifNumber::kRead)
      crdatm.cr_xyz(static_cast<int>(K) - static_cast<int>(kX) + 1) = v;
    else row.take_no_number(k);
  } else if constexpr (K == kOcc) {
    // "?" and "." give no occupancy: the default stands.
    float v = 0.0f;
    const coords::CifNumber got = coords::cif_number(val, fv, v);
    if (got == coords::CifNumber::kRead) crdatm.cr_occ = v;
    else if (got == coords::CifNumber::kNoNumber) row.take_no_number(k);
  } else if constexpr (K == kB) {
    // "?" and "." give 0, no B.
    float v = 0.0f;
    if (coords::cif_number(val, fv, v) == coords::CifNumber::kNoNumber) row.take_no_number(k);
    crdatm.cr_biso = v;
  } else if constexpr (K == kThermal) {
    crdatm.cr_btype = ".";
    if (val.substr(0, 4) == "Uani" || val[0] == 'A' || val[0] == 'a') crdatm.cr_btype = "A";
  } else if constexpr (K == kMult) {
    int32_t i = 1;
    if (val[0] != '.' && !value_absent(val) &&
        coords::cif_integer(val, i) == coords::CifNumber::kNoNumber)
      row.take_no_number(k);
    crdatm.cr_mult_factor = i;
  } else if constexpr (K == kInsCode) {
    // "." and "?" stand for no code.  A code of two characters cut to its
    // first would make residues 37AB and 37AC one.
    if (!value_absent(val) && !(val[0] == '.' && rt::len_trim_wide(val) == 1)) {
      if (coords::cif_long_code(val)) row.long_code = k;
      row.ins = val[0];
    }
  } else if constexpr (K == kGroupPdb) {
    author_row.group_pdb = trimmed_value(val);
  } else if constexpr (K == kAuthAsym) {
    if (!value_absent(val)) author_row.auth_asym = trimmed_value(val);
    else if (val[0] != '?') author_row.auth_asym_blank = true;
  } else if constexpr (K == kModel) {
    if (!value_absent(val)) {
      // A value that is no whole number is model -1, refused as one below 0.
      int32_t i = 0;
      row.model = coords::cif_integer(val, i) == coords::CifNumber::kRead ? i : -1;
      row.model_read = val;
      row.seen_model = true;
    }
  } else if constexpr (K >= kU11 && K <= kU23) {
    float v = 0.0f;
    if (coords::cif_number(val, fv, v) == coords::CifNumber::kNoNumber) {
      row.take_no_number(k);
      return;
    }
    crdatm.cr_anis(static_cast<int>(K) - static_cast<int>(kU11) + 1) = v;
    // Only the value "." marks a component as absent; ".05" is a number,
    // and "?" gives a component of 0.
    if (!(val[0] == '.' && rt::len_trim_wide(val) == 1)) {
      crdatm.cr_btype = "A";
      crdatm.cr_flag_user = "A";
    }
  }
}

// Value k taken as the item its name says.
template <int... I>
void take_as(Item kind, int k, RowExtra& row, std::integer_sequence<int, I...>) {
  ((kind == static_cast<Item>(I) ? take_value<static_cast<Item>(I)>(k, row) : void()), ...);
}

// Every item present taken in the order of the kinds: no jump through a
// table of kinds for each value.
template <int... I>
void take_in_kind_order(const int* column, RowExtra& row, std::integer_sequence<int, I...>) {
  ((column[I] != 0 ? take_value<static_cast<Item>(I)>(column[I], row) : void()), ...);
}

using AllItems = std::make_integer_sequence<int, kNone>;

// What became of a row of the anisotropic loop.
enum class AnisoRow { kTaken, kPassedOver, kRefused };

// A row of the anisotropic loop into crdatm: the serial it names and the
// six components.  A row that gives no serial or leaves a component out
// ("." or "?") is passed over; one with a component or serial that is no
// number is refused.
AnisoRow take_aniso_row() {
  const int* col = cache.aniso_col;
  for (int i = 0; i < 7; ++i)
    if (col[i] == 0) return AnisoRow::kPassedOver;
  float u[6];
  bool absent = false;
  for (int i = 1; i <= 6; ++i) {
    const coords::CifNumber got = coords::cif_number(comcif_info.dt_cif(col[i]).view(),
                                                     comcif_info.fdt_cif(col[i]), u[i - 1]);
    if (got == coords::CifNumber::kNoNumber) {
      refuse_no_number(col[i], col[0], false);
      return AnisoRow::kRefused;
    }
    absent = absent || got == coords::CifNumber::kAbsent;
  }
  const std::string_view serial = comcif_info.dt_cif(col[0]).view();
  int32_t id = 0;
  const coords::CifNumber got_id =
      value_absent(serial) ? coords::CifNumber::kAbsent : coords::cif_integer(serial, id);
  if (got_id == coords::CifNumber::kNoNumber) {
    refuse_no_number(col[0], col[0], true);
    return AnisoRow::kRefused;
  }
  if (absent || got_id == coords::CifNumber::kAbsent || id <= 0) return AnisoRow::kPassedOver;
  crdatm.cr_iatold = id;
  if (!pdbf::aniso_values_fit(u)) {
    refuse_aniso(serial);
    return AnisoRow::kRefused;
  }
  for (int i = 1; i <= 6; ++i) crdatm.cr_anis(i) = u[i - 1];
  return AnisoRow::kTaken;
}

}  // namespace

void rdcrd_cif_(int32_t mdoc, int32_t in, int32_t& mode, int32_t& iend, int32_t& ierr) {
  const CifRecordPlace& place = cif_record_place_info();
  bool held = false;
  if (iend == -1) {
    names.clear();
    refusal.clear();
    water_in_read.clear();
    first_model = FirstModel{};
    drops_seen = cif_dropped_set_info().count;
    held = cif_rows_begin(in, iend);
  }
  ierr = 0;
  for (;;) {
    if (!cif_rows_read(in, mdoc, held, ierr)) {
      refusal = cif_syntax_error_info();
      return;
    }
    const int32_t ie = com_crd_cif.iend_cif;
    if (cut_row_lost(ie)) {
      ierr = 1;
      return;
    }
    // A data block after the one whose atom rows were read ends the list
    // as the end of the file does: writers that give one block per model
    // (a model a molecule) would otherwise have every model read as one,
    // each residue and restraint as many times over.
    if (ie == 0 && comcif_info.n_cif == 0 && crdatm.cr_iatom > 0 &&
        comcif_info.blk_cif.sub(1, 5) == "data_") {
      rt::unit_close(crdinf.cri_iun);
      iend = 1;
      return;
    }
    // The mmCIF row reader keeps the line that ends its list out of the log.
    const CifFreeLine free = cif_rows_free_line(ie, mode, 99);
    if (free == CifFreeLine::EndsList) return;
    if (free == CifFreeLine::Skip) continue;
    if (ie != 0) {
      rt::unit_close(crdinf.cri_iun);
      iend = 1;
      return;
    }
    const int n = comcif_info.n_cif;
    if (n < 1) continue;
    const Item* kinds = cache.lookup();
    if ((cache.aniso || cache.atom_site) &&
        !row_in_line(cache, place, cache.aniso ? cache.aniso_col[0] : cache.column[kSerial])) {
      ierr = 1;
      return;
    }
    if (cache.aniso) {
      const AnisoRow got = take_aniso_row();
      if (got == AnisoRow::kRefused) {
        ierr = 1;
        return;
      }
      if (got == AnisoRow::kPassedOver) continue;
      mode = coords::kCifRowAniso;
      return;
    }
    if (!cache.atom_site) continue;
    if (cache.missing_xyz != kNone) {
      refuse_missing_coordinate(cache.missing_xyz);
      ierr = 1;
      return;
    }
    RowExtra row;
    row_defaults(row.entity);
    author_row = coords::CifAuthorRow{};
    if (cache.kind_order) {
      take_in_kind_order(cache.column, row, AllItems{});
    } else {
      for (int k = 1; k <= n; ++k) take_as(kinds[k - 1], k, row, AllItems{});
    }
    mode = 0;
    if (!record_kind_known(author_row.group_pdb) || (row.seen_model && row.model < 0)) {
      refuse_kind_or_model(row.model_read, cache.column[kSerial]);
      ierr = 1;
      return;
    }
    if (row.seen_model) {
      if (!first_model.known) {
        first_model = FirstModel{true, row.model};
      } else if (row.model != first_model.number) {
        // The first row of a later model ends the atom list as the end of
        // the file does.
        rt::unit_close(crdinf.cri_iun);
        iend = 1;
        return;
      }
    }
    if (crdatm.cr_iatold <= 0) {
      refuse_serial(row.serial_read);
      ierr = 1;
      return;
    }
    const std::string_view group_read = row.seen_group ? row.group_read : row.entity_read;
    if (row.no_number != 0) {
      refuse_no_number(row.no_number, cache.column[kSerial], integer_item(kinds[row.no_number - 1]));
      ierr = 1;
      return;
    }
    if (row.long_name != 0) {
      refuse_long_name(row.long_name, cache.column[kSerial]);
      ierr = 1;
      return;
    }
    if (row.long_code != 0) {
      refuse_long_code(row.long_code, cache.column[kSerial]);
      ierr = 1;
      return;
    }
    if (!pdbf::atom_values_fit(crdatm.cr_xyz.data(), crdatm.cr_occ, crdatm.cr_biso)) {
      refuse_values();
      ierr = 1;
      return;
    }
    if (crdatm.cr_btype(1) == 'A' && !pdbf::aniso_values_fit(crdatm.cr_anis.data())) {
      refuse_aniso(std::to_string(crdatm.cr_iatold));
      ierr = 1;
      return;
    }
    author_row.label_asym = trimmed_value(group_read);
    author_row.label_given = row.seen_group;
    // A writer that gives no author number writes the author's there
    // (Open Babel numbers waters past 9999 so): a number wider than the
    // residue key is read as such an author number is, never as "****".
    if (!row.seen_auth && row.seen_seq && (crdatm.cr_ires > 9999 || crdatm.cr_ires < -999)) {
      const std::string_view seq = rt::trim_right(row.seq_read);
      cif_residue_number(seq, crdatm.cr_pnum.c + 2, true);
      author_row.auth_seq = seq;
      row.seen_auth = true;
    }
    if (!finish_row(mdoc, row.seen_auth, row.seen_seq, row.seen_group, row.entity, row.ins)) ierr = 1;
    return;
  }
}

std::string_view cif_rows_refusal() { return refusal; }

const coords::CifAuthorRow& coords::cif_author_row() { return author_row; }

namespace {

// The values of a line of a loop, unquoted, onto `words`; false at a line
// that ends the loop or that this reading does not follow (a text field).
bool loop_words(std::string_view line, std::vector<std::string>& words) {
  if (!line.empty() && line[0] == ';') return false;
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '#') return true;
    std::size_t end = i;
    if (c == '\'' || c == '"') {
      end = i + 1;
      while (end < line.size() &&
             !(line[end] == c && (end + 1 == line.size() || line[end + 1] == ' ' ||
                                  line[end + 1] == '\t' || line[end + 1] == '\r')))
        ++end;
      if (end >= line.size()) return false;
      words.emplace_back(line.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
    const std::string_view w = line.substr(i, end - i);
    if (w[0] == '_' || w.starts_with("loop_") || w.starts_with("data_")) return false;
    words.emplace_back(w);
    i = end;
  }
  return true;
}

}  // namespace

namespace {

// The rows after the one read last, each as its values, to `f` until `f`
// returns false or the loop ends: read on from the reader's own unit, which
// stands right after the row's line, and set back after.  The lines so
// read stay in the unit's block (rt::unit_mark), so that a look at the next
// row, asked at every water given again, neither reads nor seeks.  False
// where the file cannot be looked at so (a row that does not end its line,
// no atom names or coordinates, a unit without a place).
template <class F>
bool rows_ahead(F f) {
  const int n = comcif_info.n_cif;
  if (!cache.atom_site || !cif_record_place_info().ends_line || cache.column[kAtomName] == 0 ||
      cache.missing_xyz != kNone)
    return false;
  const int32_t unit = crdinf.cri_iun;
  const long mark = rt::unit_mark(unit);
  if (mark < 0) return false;
  static std::vector<std::string> words;
  words.clear();
  std::string_view rec;
  while (rt::read_record_view(unit, rec) == rt::IOSTAT_OK) {
    if (!loop_words(rec, words)) break;
    if (static_cast<int>(words.size()) < n) continue;
    if (static_cast<int>(words.size()) > n || !f(words)) break;
    words.clear();
  }
  rt::unit_return_to(unit, mark);
  return true;
}

std::string_view value_of(const std::vector<std::string>& words, Item k) {
  const int col = cache.column[k];
  return col == 0 ? std::string_view() : std::string_view(words[static_cast<std::size_t>(col - 1)]);
}

// The row's values are those of the row read last in the items that tell
// one residue from the next.
bool same_residue(const std::vector<std::string>& words) {
  constexpr Item kResidueItems[] = {kResName, kSeq, kAuthSeq, kInsCode, kAsym, kAuthAsym,
                                    kEntity, kModel};
  for (const Item k : kResidueItems) {
    const int col = cache.column[k];
    if (col != 0 && rt::trim(words[static_cast<std::size_t>(col - 1)]) !=
                        rt::trim(comcif_info.dt_cif(col).view()))
      return false;
  }
  return true;
}

// Rows of a residue looked at ahead: more than any residue holds before its
// N or P.
constexpr int kResidueRowsAhead = 256;

}  // namespace

bool coords::cif_chain_atom_ahead(std::string& name_ahead, float* xyz) {
  bool found = false;
  int left = kResidueRowsAhead;
  rows_ahead([&](const std::vector<std::string>& words) {
    if (!same_residue(words) || left-- == 0) return false;
    const std::string_view name = value_of(words, kAtomName);
    if (name != "N" && name != "P") return true;
    const Item axes[] = {kX, kY, kZ};
    name_ahead = name;
    found = true;
    for (int a = 0; a < 3; ++a)
      if (rt::read_number(value_of(words, axes[a]), xyz[a]) != rt::NumberWord::kRead) found = false;
    return false;
  });
  return found;
}

bool coords::cif_next_row_named_otherwise(bool no_hydrogens) {
  bool other = false;
  if (cache.column[kAtomName] == 0) return false;
  const std::string name(rt::trim(comcif_info.dt_cif(cache.column[kAtomName]).view()));
  // A water's two hydrogens stand between its O and the next water's.
  int rows = no_hydrogens ? 3 : 1;
  rows_ahead([&](const std::vector<std::string>& words) {
    const std::string_view atom = value_of(words, kAtomName);
    const std::string_view symbol = value_of(words, kSymbol);
    const bool hydrogen = symbol.empty() || symbol == "." || symbol == "?"
                              ? !atom.empty() && atom[0] == 'H'
                              : symbol == "H";
    if (no_hydrogens && hydrogen) return same_residue(words) && --rows > 0;
    // The name first: waters given again at one number name the same atom,
    // and the look at every one of them would compare the whole residue.
    other = atom != name && same_residue(words);
    return false;
  });
  return other;
}

void coords::cif_later_water_numbers(const std::function<void(std::string_view)>& note) {
  rows_ahead([&](const std::vector<std::string>& words) {
    const std::string_view name = value_of(words, kResName);
    if (name.empty() || name == "." || name == "?" || pdb::is_any_water(name)) {
      note(value_of(words, kAuthSeq));
      note(value_of(words, kSeq));
    }
    return true;
  });
}
