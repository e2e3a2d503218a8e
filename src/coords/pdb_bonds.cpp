// Bond records of a PDB file and the model's link and modification tables.
#include "coords/pdb_bonds.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "coords/link_symmetry_codes.h"
#include "coords/pdb_corrections.h"
#include "coords/pdb_fields.h"
#include "coords/pdb_state.h"
#include "coords/rows_in_one_residue.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/cif_vocab.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/format.h"

namespace {

using pdbf::cols;

// A record left out would be a bond or a chain break lost while the run
// reports success: a full store stops the run.
void check_store(int32_t mdoc, std::string_view records) {
  if (pdb_hent.brec_n < MAXBONDREC) return;
  foundation::stop_table_full(
      mdoc, " ERROR: number of " + std::string(records) + " records of PDB file >", MAXBONDREC,
      {.constant = "MAXBONDREC", .header = "pdb_state", .quoted = false});
}

bool seg_mode() { return crdinf.cr_segflag(1) == 'Y'; }

// Endpoint text: chain character, residue number with insertion code, atom
// text (name and alternate code), chain key.
void set_endpoint(rt::FixedText<15>& end, char chain, std::string_view resnum,
                  std::string_view atom5, std::string_view segid) {
  end.blank();
  rt::FixedText<4> key;
  key.blank();
  if (seg_mode()) {
    key = segid;
    end(1) = key(1);
  } else {
    key(1) = chain;
    end(1) = chain;
  }
  end.sub(2, 6).assign(resnum);
  end.sub(7, 11).assign(atom5);
  end.sub(12, 15).assign(key.view());
}

// Set when a row is written over: the endpoint index below is then rebuilt.
bool index_stale = false;

int new_row(int kind) {
  const int k = ++pdb_hent.brec_n;
  index_stale = true;
  pdb_hent.brec_kind(k) = kind;
  pdb_hent.brec_ia1(k) = 0;
  pdb_hent.brec_ia2(k) = 0;
  pdb_hent.brec_dist(k) = 0.0f;
  pdb_hent.brec_rnam1(k).blank();
  pdb_hent.brec_rnam2(k).blank();
  pdb_hent.brec_symm1(k).blank();
  pdb_hent.brec_symm2(k).blank();
  pdb_hent.brec_name(k).blank();
  pdb_hent.brec_rnam_mod(k).blank();
  return k;
}

char col(std::string_view line, int i) { return i <= static_cast<int>(line.size()) ? line[i - 1] : ' '; }

// An atom name of a LINK record through the name correction, left-justified.
void link_atom(rt::FixedText<5>& atom5, rt::FixedText<3>& rname) {
  rt::FixedText<4> name(atom5.sub(1, 4));
  rt::FixedText<4> asymb, ctype;
  corr_name_pdb_(name, rname, asymb, ctype);
  if (name.is_blank() || name(1) == '.') name.blank();
  if (name(1) == ' ') {
    for (int i = 1; i < 4; ++i) name(i) = name(i + 1);
    name(4) = ' ';
  }
  atom5.sub(1, 4).assign(name.view());
}

// Symmetry text of a bond record as a link symmetry code: an underscore
// after the third character, blanks removed; blank gives "1_555".  The
// system's own writer puts the code from the first column ("1555  "): such a
// text is read as the PDB form that ends in the sixth ("  1555"), or it would
// come back as another operator.  A text that names no operator (letters,
// operator 0, a translation of fewer than three digits) gives "1_555" as
// well: kept, it would be written as a code and take the link out of the
// model's own bonds.  So does a code of an operator the group lacks, which
// says so: its link is not made (link_symmetry_codes.h).  The operator is
// written without leading zeros (" 01555" is operator 1), as every later
// stage compares codes as texts.
coords::SymmetryCode symm_code(const rt::FixedText<8>& in, rt::FixedText<8>& out) {
  using coords::SymmetryCode;
  out = "1_555";
  if (in.is_blank()) return SymmetryCode::kOperator;
  rt::FixedText<6> field;
  field.blank();
  const std::string_view used = rt::trim_right(in.sub(1, 6));
  field.sub(7 - static_cast<int>(used.size()), 6).assign(used);
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  int32_t op = 0;
  for (int i = 1; i <= 3; ++i) {
    if (field(i) == ' ') continue;
    if (!digit(field(i))) return SymmetryCode::kNoOperator;
    op = op * 10 + (field(i) - '0');
  }
  for (int i = 4; i <= 6; ++i)
    if (!digit(field(i))) return SymmetryCode::kNoOperator;
  const SymmetryCode kind = coords::operator_in_group(op);
  if (kind == SymmetryCode::kOperator)
    out = std::to_string(op) + "_" + std::string{field(4), field(5), field(6)};
  return kind;
}

}  // namespace

void rdssbond_(int32_t mdoc, std::string_view line, int32_t& ierr) {
  ierr = 0;
  check_store(mdoc, "SSBOND");
  const int k = new_row(BREC_SSBOND);
  set_endpoint(pdb_hent.brec_end1(k), col(line, 16), cols(line, 18, 22), "SG", cols(line, 38, 41));
  set_endpoint(pdb_hent.brec_end2(k), col(line, 30), cols(line, 32, 36), "SG", cols(line, 43, 46));
  pdb_hent.brec_name(k) = "SS";
  pdb_hent.brec_symm1(k) = cols(line, 60, 65);
  pdb_hent.brec_symm2(k) = cols(line, 67, 72);
}

void rdcispep_(int32_t mdoc, std::string_view line, int32_t& ierr) {
  ierr = 0;
  check_store(mdoc, "SSBOND or CISPEP");
  const int k = new_row(BREC_CISPEP);
  set_endpoint(pdb_hent.brec_end1(k), col(line, 16), cols(line, 18, 22), "C", cols(line, 38, 41));
  set_endpoint(pdb_hent.brec_end2(k), col(line, 30), cols(line, 32, 36), "N", cols(line, 43, 46));
  pdb_hent.brec_name(k) = "CIS";
}

void rdlink_(int32_t mdoc, std::string_view line, int32_t& ierr) {
  ierr = 0;
  check_store(mdoc, "LINK");
  rt::FixedText<5> atom1(cols(line, 13, 17)), atom2(cols(line, 43, 47));
  rt::FixedText<3> rnam1(cols(line, 18, 20)), rnam2(cols(line, 48, 50));
  link_atom(atom1, rnam1);
  link_atom(atom2, rnam2);
  // The name field may be right-justified; its leading blanks are not part
  // of the name (a name that begins with blanks cannot head a data block).
  std::string_view name_field = cols(line, 73, 80);
  while (!name_field.empty() && name_field.front() == ' ') name_field.remove_prefix(1);
  const rt::FixedText<8> name(name_field);
  const std::string_view gap = cols(line, 73, 75);
  const bool is_gap = gap == "gap" || gap == "GAP";
  const int k = new_row(is_gap ? BREC_GAP : BREC_LINK);
  set_endpoint(pdb_hent.brec_end1(k), col(line, 22), cols(line, 23, 27), atom1, cols(line, 31, 34));
  set_endpoint(pdb_hent.brec_end2(k), col(line, 52), cols(line, 53, 57), atom2, cols(line, 36, 39));
  pdb_hent.brec_rnam1(k) = rnam1;
  pdb_hent.brec_rnam2(k) = rnam2;
  pdb_hent.brec_symm1(k) = cols(line, 60, 65);
  pdb_hent.brec_symm2(k) = cols(line, 67, 72);
  if (is_gap)
    pdb_hent.brec_name(k) = "gap";
  else
    pdb_hent.brec_name(k) = name;
}

void rdmodres_(int32_t mdoc, std::string_view line, int32_t& ierr) {
  ierr = 0;
  check_store(mdoc, "MODRES");
  rt::FixedText<3> rnam1(cols(line, 13, 15));
  rt::FixedText<8> rnam2(cols(line, 25, 32));
  rt::FixedText<4> dummy_name, asymb, ctype;
  dummy_name.blank();
  corr_name_pdb_(dummy_name, rnam1, asymb, ctype);
  dummy_name.blank();
  corr_name_pdb_(dummy_name, rnam2, asymb, ctype);
  const int k = new_row(BREC_MODRES);
  set_endpoint(pdb_hent.brec_end1(k), col(line, 17), cols(line, 19, 23), "", cols(line, 34, 37));
  pdb_hent.brec_end2(k).blank();
  pdb_hent.brec_rnam1(k) = rnam1;
  pdb_hent.brec_rnam_mod(k) = rnam2;
  pdb_hent.brec_name(k) = cols(line, 73, 80);
}

namespace {

// Endpoints of the stored bond records by their 10-character code, so that
// each atom looks only at the endpoints that can name it.  Filled lazily as
// rows are appended; a store that shrank (a new file) is indexed anew.  An
// entry is 2 * (row - 1) + endpoint.
struct EndpointIndex {
  int32_t indexed = 0;
  foundation::LookupIndex<10, 2 * MAXBONDREC> by_code;
  bool ready = false;
  // The residue key whose code was last looked up in vain: the atoms of a
  // residue share their key, and most residues are named by no bond record.
  // Forgotten when the index changes.
  char miss[12] = {};
  bool miss_seg = false;
  bool miss_valid = false;
  // One bit per hash of every code indexed: a code whose bit is clear is not
  // there, which a look-up in the large index (one atom in three in a file
  // with waters) would find out more slowly.
  uint64_t seen[16] = {};
};

unsigned code_bit(const char* code10) {
  uint32_t h = 2166136261u;
  for (int i = 0; i < 10; ++i) h = (h ^ static_cast<unsigned char>(code10[i])) * 16777619u;
  return (h ^ (h >> 16)) & 1023u;
}
EndpointIndex endpoint_index;

// Code of endpoint e (1 or 2) of row k: characters 1-6 and 12-15 of its text.
void endpoint_code(int k, int e, char* code10) {
  const char* end = e == 1 ? pdb_hent.brec_end1(k).c : pdb_hent.brec_end2(k).c;
  std::memcpy(code10, end, 6);
  std::memcpy(code10 + 6, end + 11, 4);
}

void refresh_index() {
  EndpointIndex& x = endpoint_index;
  if (!x.ready || index_stale || pdb_hent.brec_n < x.indexed) {
    // Rows may have been written over (a new file): index every row again.
    index_stale = false;
    x.by_code.clear();
    x.indexed = 0;
    x.ready = true;
    for (uint64_t& w : x.seen) w = 0;
  }
  x.miss_valid = false;
  char code[10];
  for (int k = x.indexed + 1; k <= pdb_hent.brec_n; ++k) {
    for (int e = 1; e <= 2; ++e) {
      if (pdb_hent.brec_kind(k) == BREC_MODRES && e == 2) continue;
      endpoint_code(k, e, code);
      x.by_code.add(std::string_view(code, 10), 2 * (k - 1) + e);
      const unsigned bit = code_bit(code);
      x.seen[bit >> 6] |= uint64_t{1} << (bit & 63u);
    }
  }
  x.indexed = pdb_hent.brec_n;
}

}  // namespace

namespace pdb {

void match_bond_records(int32_t a, std::string_view key, std::string_view rname,
                        std::string_view aname, char alt, bool seg_flag) {
  if (pdb_hent.brec_n == 0) return;
  if (index_stale || endpoint_index.indexed != pdb_hent.brec_n || !endpoint_index.ready)
    refresh_index();
  EndpointIndex& x = endpoint_index;
  // The key is compared as stored, before the code is put together from it:
  // a code just assembled from pieces would be read back at once.
  if (x.miss_valid && x.miss_seg == seg_flag && key.size() == 12 &&
      std::memcmp(x.miss, key.data(), 12) == 0)
    return;
  char code[10];
  code[0] = key[0];
  std::memcpy(code + 1, key.data() + 2, 5);
  std::memcpy(code + 6, key.data() + 7, 4);
  if (!seg_flag) code[7] = ' ';
  char atom[5];
  if (aname[0] == ' ') {
    std::memcpy(atom, aname.data() + 1, 3);
    atom[3] = ' ';
  } else {
    std::memcpy(atom, aname.data(), 4);
  }
  atom[4] = alt == '.' ? ' ' : alt;
  static const char blank5[5] = {' ', ' ', ' ', ' ', ' '};

  const unsigned bit = code_bit(code);
  const bool maybe = (x.seen[bit >> 6] >> (bit & 63u) & 1u) != 0;
  if (!maybe || !x.by_code.contains(std::string_view(code, 10))) {
    x.miss_valid = key.size() == 12;
    if (x.miss_valid) std::memcpy(x.miss, key.data(), 12);
    x.miss_seg = seg_flag;
    return;
  }
  x.by_code.for_each(std::string_view(code, 10), [&](int32_t entry) {
    const int k = (entry - 1) / 2 + 1;
    const int e = entry - 2 * (k - 1);
    const int kind = pdb_hent.brec_kind(k);
    const char* end = e == 1 ? pdb_hent.brec_end1(k).c : pdb_hent.brec_end2(k).c;
    const rt::FixedText<3>& rn = e == 1 ? pdb_hent.brec_rnam1(k) : pdb_hent.brec_rnam2(k);
    bool ok = true;
    switch (kind) {
      case BREC_SSBOND: {
        char a5[5];
        std::memcpy(a5, atom, 4);
        a5[4] = ' ';
        ok = std::memcmp(end + 6, a5, 5) == 0;
        break;
      }
      case BREC_CISPEP:
        ok = std::memcmp(end + 6, atom, 5) == 0;
        break;
      case BREC_LINK: {
        ok = std::memcmp(rn.c, rname.data(), 3) == 0;
        if (!ok) break;
        if (end[6] == ' ') {
          ok = std::memcmp(end + 6, blank5, 5) == 0;
        } else {
          char a5[5];
          std::memcpy(a5, atom, 5);
          if (end[10] == ' ') a5[4] = ' ';
          // A record may spell a nucleotide atom the other way than the
          // atom line ("O3*" for "O3'"), where the name correction changes
          // neither: it names that atom all the same.
          ok = std::memcmp(end + 6, a5, 5) == 0 ||
               (end[10] == a5[4] && foundation::same_nucleotide_atom(std::string_view(end + 6, 4),
                                                                     std::string_view(atom, 4)));
        }
        break;
      }
      case BREC_GAP:
        break;
      case BREC_MODRES:
        ok = std::memcmp(rn.c, rname.data(), 3) == 0;
        break;
      default:
        ok = std::memcmp(rn.c, rname.data(), 3) == 0 && std::memcmp(end + 6, atom, 5) == 0;
        break;
    }
    if (!ok) return;
    if (e == 1)
      pdb_hent.brec_ia1(k) = a;
    else
      pdb_hent.brec_ia2(k) = a;
  });
}

}  // namespace pdb

namespace {

// "NA NA C 12": endpoint e of row k as its record names it (atom, with its
// alternate code, residue name, chain, number).
std::string end_text(int k, int e) {
  const rt::FixedText<15>& end = e == 1 ? pdb_hent.brec_end1(k) : pdb_hent.brec_end2(k);
  const rt::FixedText<3>& rn = e == 1 ? pdb_hent.brec_rnam1(k) : pdb_hent.brec_rnam2(k);
  std::string t(rt::trim(end.sub(7, 11)));
  for (std::string_view part : {rn.view(), end.sub(1, 1), end.sub(2, 6)})
    if (!rt::trim(part).empty()) t.append(" ").append(rt::trim(part));
  return t;
}

// A LINK or SSBOND record whose atoms are not all in the model (a residue
// renumbered by an editor that left the records as they were) makes no
// link: the bond it names would otherwise be lost without a word.
void warn_absent_end(int32_t mdoc, int k) {
  const int kind = pdb_hent.brec_kind(k);
  if (kind != BREC_SSBOND && kind != BREC_LINK && kind != BREC_GAP) return;
  const int e = pdb_hent.brec_ia1(k) <= 0 ? 1 : 2;
  coords::warn_link_end_absent(mdoc, kind == BREC_SSBOND ? "SSBOND record" : "LINK record",
                               end_text(k, e), end_text(k, 1), end_text(k, 2));
}

// A symmetry code of a LINK or SSBOND record that names no operator is
// read as none: the link is made inside the model (`made`), and the user
// told; one of an operator the group lacks makes no link.
void warn_no_operator(int32_t mdoc, int k, const rt::FixedText<8>& code, bool made) {
  const char* what = pdb_hent.brec_kind(k) == BREC_SSBOND ? "SSBOND record" : "LINK record";
  coords::warn_symmetry_code(mdoc, what, code.view(), end_text(k, 1), end_text(k, 2), made);
}

// A LINK or SSBOND record whose code names an operator the space group does
// not hold: warned of, and no link (not even to the atom itself).
bool operator_lacking(int32_t mdoc, int k) {
  const int kind = pdb_hent.brec_kind(k);
  if (kind != BREC_SSBOND && kind != BREC_LINK) return false;
  for (const rt::FixedText<8>* code : {&pdb_hent.brec_symm1(k), &pdb_hent.brec_symm2(k)}) {
    rt::FixedText<8> out;
    if (symm_code(*code, out) != coords::SymmetryCode::kOperatorLacking) continue;
    warn_no_operator(mdoc, k, *code, false);
    return true;
  }
  return false;
}

// A LINK or SSBOND record whose ends lie in one residue of one copy makes
// no link: one naming one atom at both ends is warned of, one joining two
// atoms of the residue (a converter's LINK records for a residue's own
// bonds) is counted in `in_residue`.  The ends are compared as the record
// names them, so that a record whose atoms were left out (hydrogens) is
// told apart all the same.
bool in_one_residue(int32_t mdoc, int k, int32_t& in_residue) {
  const int kind = pdb_hent.brec_kind(k);
  if (kind != BREC_SSBOND && kind != BREC_LINK) return false;
  const rt::FixedText<15>& e1 = pdb_hent.brec_end1(k);
  const rt::FixedText<15>& e2 = pdb_hent.brec_end2(k);
  if (!(e1.sub(1, 6) == e2.sub(1, 6)) || !(e1.sub(12, 15) == e2.sub(12, 15)) ||
      !(pdb_hent.brec_rnam1(k) == pdb_hent.brec_rnam2(k)))
    return false;
  rt::FixedText<8> symm1, symm2;
  symm_code(pdb_hent.brec_symm1(k), symm1);
  symm_code(pdb_hent.brec_symm2(k), symm2);
  if (!coords::same_copy(symm1, symm2)) return false;
  if (coords::same_atom_name(e1.sub(7, 10), e2.sub(7, 10)))
    coords::warn_atom_to_itself(mdoc, kind == BREC_SSBOND ? "SSBOND record" : "LINK record",
                                end_text(k, 1));
  else
    ++in_residue;
  return true;
}

}  // namespace

void coords::warn_link_end_absent(int32_t mdoc, std::string_view what, const std::string& absent,
                                  const std::string& end1, const std::string& end2) {
  msgdoc_(mdoc, " WARNING : " + std::string(what) + " names an atom not in the model: " + absent);
  msgdoc_(mdoc, "           link " + end1 + " - " + end2 + " is not made");
}

void nss_pdb_to_ln_(int32_t mdoc, char list, int32_t& ierr) {
  ierr = 0;
  int32_t in_residue = 0;
  for (int k = 1; k <= pdb_hent.brec_n; ++k) {
    const int kind = pdb_hent.brec_kind(k);
    if (kind == BREC_MODRES) {
      const int a = pdb_hent.brec_ia1(k);
      if (a <= 0) continue;
      const int r = atom_inf.i_resid(a);
      const int g = r > 0 ? resid_inf.i_chain(r) : 0;
      const rt::FixedText<8>& id = pdb_hent.brec_name(k);
      if (id.is_blank() || id(1) == '.') {
        msgdoc_(mdoc, " WARNING: MODRES record without ID, ignored.");
        continue;
      }
      if (mod_inf.mod_n >= MAXMODIF) pdb::modification_table_full(mdoc);
      if (r <= 0 || g <= 0) continue;
      const int m = ++mod_inf.mod_n;
      mod_inf.mod_id(m) = id;
      mod_inf.mod_ires(m) = r;
      mod_inf.mod_ichn(m) = g;
      mod_inf.mod_seq(m) = resid_inf.res_num_pdb(r).sub(3, 7);
      mod_inf.mod_chn(m) = resid_inf.res_num_pdb(r).sub(8, 11);
      mod_inf.mod_rnam(m) = pdb_hent.brec_rnam_mod(k);
      mod_inf.mod_rnam_new(m) = resid_inf.res_name(r);
      mod_inf.mod_used(m) = "U";
      resid_inf.mod_flag(r) = "Y";
      continue;
    }

    if (operator_lacking(mdoc, k)) continue;
    if (in_one_residue(mdoc, k, in_residue)) continue;
    if (link_inf.ln_n >= MAXLINK)
      foundation::stop_table_full(mdoc, " ERROR: Number of links >", MAXLINK,
                                  {.constant = "MAXLINK", .header = "atom_com", .indent = 10});
    const int a1 = pdb_hent.brec_ia1(k), a2 = pdb_hent.brec_ia2(k);
    if (a1 <= 0 || a2 <= 0) {
      if (list == 'T')
        std::printf(" LL_not %d %d %.8s %.5s %.5s\n", a1, a2, pdb_hent.brec_name(k).c,
                    pdb_hent.brec_end1(k).c + 6, pdb_hent.brec_end2(k).c + 6);
      warn_absent_end(mdoc, k);
      continue;
    }
    const int r1 = atom_inf.i_resid(a1), r2 = atom_inf.i_resid(a2);
    rt::FixedText<5> atom1(atom_inf.atm_name(a1).view()), atom2(atom_inf.atm_name(a2).view());
    rt::FixedText<1> alt1 = atom_inf.id_alt(a1), alt2 = atom_inf.id_alt(a2);
    if (pdb_hent.brec_end1(k)(7) == ' ') {
      atom1.blank();
      alt1 = ".";
    }
    if (pdb_hent.brec_end2(k)(7) == ' ') {
      atom2.blank();
      alt2 = ".";
    }
    if (kind == BREC_SSBOND) {
      alt1 = ".";
      alt2 = ".";
    } else if (kind == BREC_LINK) {
      alt1 = pdb_hent.brec_end1(k).sub(11, 11);
      alt2 = pdb_hent.brec_end2(k).sub(11, 11);
    }
    rt::FixedText<8> symm1, symm2;
    if (symm_code(pdb_hent.brec_symm1(k), symm1) != coords::SymmetryCode::kOperator)
      warn_no_operator(mdoc, k, pdb_hent.brec_symm1(k), true);
    if (symm_code(pdb_hent.brec_symm2(k), symm2) != coords::SymmetryCode::kOperator)
      warn_no_operator(mdoc, k, pdb_hent.brec_symm2(k), true);

    rt::FixedText<8> name = pdb_hent.brec_name(k);
    const rt::FixedText<8>& rn2 = resid_inf.res_name(r2);
    if (name == std::string_view("CIS")) {
      if (foundation::is_proline_like(rn2))
        name = "PCIS";
      else if (foundation::is_n_methyl(rn2))
        name = "NMCIS";
    }
    if (name.is_blank()) name = ".";
    float dist = pdb_hent.brec_dist(k);
    if (dist <= 0.00001f) dist = 0.0f;

    const int l = ++link_inf.ln_n;
    link_inf.ln_dist(l) = dist;
    link_inf.ln_1ires(l) = r1;
    link_inf.ln_2ires(l) = r2;
    link_inf.ln_1ichn(l) = resid_inf.i_chain(r1);
    link_inf.ln_2ichn(l) = resid_inf.i_chain(r2);
    link_inf.ln_1rnam(l) = resid_inf.res_name(r1);
    link_inf.ln_2rnam(l) = rn2;
    link_inf.ln_id(l) = name;
    link_inf.ln_seq1(l) = resid_inf.res_num_pdb(r1).sub(3, 7);
    link_inf.ln_seq2(l) = resid_inf.res_num_pdb(r2).sub(3, 7);
    link_inf.ln_1chn(l) = resid_inf.res_num_pdb(r1).sub(8, 11);
    link_inf.ln_2chn(l) = resid_inf.res_num_pdb(r2).sub(8, 11);
    link_inf.ln_atom1(l) = atom1;
    link_inf.ln_atom2(l) = atom2;
    link_inf.ln_alt1(l) = alt1;
    link_inf.ln_alt2(l) = alt2;
    link_inf.ln_symm1(l) = symm1;
    link_inf.ln_symm2(l) = symm2;
    const auto plain = [](const rt::FixedText<1>& a) { return a(1) == '.' || a(1) == ' '; };
    link_inf.ln_used(l) = plain(alt1) && plain(alt2) ? "U" : "S";
    link_inf.ln_ent(l) = "C";
    resid_inf.link_flag(r1) = "Y";
    resid_inf.link_flag(r2) = "Y";
    int32_t iconn = 0;
    set_iconn_(name, iconn);
  }
  coords::note_rows_in_one_residue(mdoc, "LINK record", in_residue);
}
