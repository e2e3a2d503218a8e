// CIF coordinate-file header: scalar items, cell, fractionalisation,
// symmetry, the loop categories before the atom rows, the defaults for a
// missing cell or space group, and the completion of the links read.
#include "coords/cif_header.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "coords/cif_atom_rows.h"
#include "coords/cif_items.h"
#include "coords/cif_numbers.h"
#include "coords/scale_frame.h"
#include "foundation/atom_com.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/cif_vocab.h"
#include "foundation/dates.h"
#include "foundation/entry_header.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "foundation/paths_defaults.h"
#include "foundation/spgr_names.h"
#include "foundation/vec3.h"
#include "foundation/words.h"
#include "runtime/array.h"
#include "runtime/format.h"
#include "runtime/units.h"
#include "suite/pi.h"

namespace {

// Working values of the current loop row.
struct Row {
  rt::FixedText<8> link, mod, res1, res2, res_new, symm1, symm2;
  rt::FixedText<4> chain, group, chn1, chn2;
  rt::FixedText<5> rnum1, rnum2, atom1, atom2;
  rt::FixedText<1> alt1, alt2;
  char ins1, ins2;     // insertion codes of the archive's own items, blank for none
  int32_t seq1, seq2;  // the file's sequence numbers of a connection row's ends, 0 for none
  bool unbonded;       // a connection row that joins no atoms by a bond
  std::string id;      // the row's own identifier, empty for none
  std::string bad;     // why a value of the row cannot name its residue, empty when all can
  rt::FixedText<16> type16;
  int32_t ires1, ires2, ich1, ich2, itype, iconn, ich;
  float dist;

  void reset() {
    link = ".";
    mod = ".";
    res1 = ".";
    res2 = ".";
    res_new = ".";
    symm1 = ".";
    symm2 = ".";
    chain = ".";
    group = ".";
    chn1 = ".";
    chn2 = ".";
    rnum1 = ".";
    rnum2 = ".";
    atom1 = ".";
    atom2 = ".";
    alt1 = ".";
    alt2 = ".";
    ins1 = ins2 = ' ';
    seq1 = seq2 = 0;
    unbonded = false;
    id.clear();
    bad.clear();
    type16 = ".";
    ires1 = ires2 = ich1 = ich2 = ich = 0;
    itype = 1;
    iconn = 1;
    dist = 0.0f;
  }
};

// Local state of one header read.
struct Header {
  int32_t mdoc = 0;
  std::string_view written;  // the current item as the file writes it
  int32_t value = 0;         // the current value's place in its record
  int icsd = 0;
  int ncell = 0;
  int nfract = 0;
  bool sg_read = false;
  bool sg_number_read = false;
  int prev_seq_entity = 0;
  int seq_serial = 0;
  bool sf_warned = false;  // the full scattering-type table was reported for this record
  bool refused = false;    // a value that is no number was met, and reported
  bool cell_named = false;  // a cell value was refused with the default cell named
  // Whether the reader takes any item of the record's names, decided once
  // for the rows of a loop (names_serial the tokeniser's count of them).
  bool names_known = false;
  uint32_t names_serial = 0;
  bool names_taken = true;
  Row row;
};

// The number of header value `data` of item `item` ("?" and "." give 0, as
// they always have); false, after the error line naming the item, the
// value and its line, for a value that is no number.
bool header_number(Header& h, std::string_view item, std::string_view data, float fdata, float& v) {
  if (coords::cif_number(data, fdata, v) != coords::CifNumber::kNoNumber) return true;
  const CifRecordPlace& p = cif_record_place_info();
  const std::string where = comcif_info.n_cif > 1 ? ", row at line " : ", line ";
  msgerr_(h.mdoc, " ERROR: " + coords::cif_no_number(h.written.empty() ? item : h.written, data) +
                      where + std::to_string(p.line));
  h.refused = true;
  return false;
}

// The integer of header value `data` of item `item`, in the one form of
// every integer item ("?" and "." give 0); false, after the error line
// naming the item, the value and its line, for any other value ("19.0").
bool header_integer(Header& h, std::string_view item, std::string_view data, int32_t& i) {
  if (coords::cif_integer(data, i) != coords::CifNumber::kNoNumber) return true;
  const CifRecordPlace& p = cif_record_place_info();
  const std::string where = comcif_info.n_cif > 1 ? ", row at line " : ", line ";
  msgerr_(h.mdoc, " ERROR: " + coords::cif_no_integer(h.written.empty() ? item : h.written, data) +
                      where + std::to_string(p.line));
  h.refused = true;
  return false;
}

// The full-table warning of the header reader; the capacity constant is one
// of the structure-model header.
void warn_full(int32_t mdoc, std::string_view what, std::string_view constant) {
  foundation::table_full(mdoc, what, {.constant = constant, .header = "atom_com", .quoted = false});
}

// An entity or assembly row left out would leave chains without their
// description, and so without their links and chain ends.
[[noreturn]] void stop_chains(int32_t mdoc, std::string_view constant, int32_t limit) {
  foundation::stop_table_full(mdoc, " ERROR: number of chains >", limit,
                              {.constant = constant, .header = "atom_com", .quoted = false});
}
// A link row left out would be a bond lost while the run reports success.
[[noreturn]] void stop_links(int32_t mdoc, std::string_view constant, int32_t limit) {
  foundation::stop_table_full(mdoc, " ERROR: number of links >", limit,
                              {.constant = constant, .header = "atom_com", .quoted = false});
}

void set_rnum(rt::FixedText<5>& dst, std::string_view value) {
  char num[5];
  cif_residue_number(value, num, false);
  dst = std::string_view(num, 5);
}

// A number of this system's own categories: five characters are the
// number in four columns and its insertion code, a digit as well, where the
// writer fills the number with zeros ("00123" is 12 with the code 3, "12345"
// 1234 with the code 5), never a number past 9999.
void set_own_rnum(rt::FixedText<5>& dst, std::string_view value) {
  const std::string_view v = rt::trim(value);
  const std::string_view num = v.substr(0, 4);
  const std::size_t first = num.empty() || num[0] != '-' ? 0 : 1;
  if (v.size() != 5 || first == num.size() ||
      num.find_first_not_of("0123456789", first) != std::string_view::npos) {
    set_rnum(dst, value);
    return;
  }
  char four[8];
  std::snprintf(four, sizeof four, "%4d", cif_read_i4(num));
  dst = std::string(four, 4) + v[4];
}

// The insertion code of an item of its own; "." and "?" stand for none.
// A code of more than one character is noted in the row's `bad`: cut to
// its first, it would name residue 37A for 37AB.
char insertion_code(Row& r, std::string_view item, std::string_view value) {
  if (coords::cif_long_code(value) && r.bad.empty()) r.bad = coords::cif_no_code(item, value);
  const char c = value.empty() ? ' ' : value[0];
  return c == '.' || c == '?' || c == '\0' ? ' ' : c;
}

int entity_index(const rt::FixedText<4>& chain) {
  const int n = cif_entity_list.n_chn_ent < MAXENTITY ? cif_entity_list.n_chn_ent : MAXENTITY;
  for (int e = 1; e <= n; ++e)
    if (cif_entity_list.ent_chain_id(e) == chain) return e;
  return 0;
}

// The archive fills the connection-type item with a word of its own
// vocabulary, which says what kind of contact a row is, not which link joins
// the atoms (this system's own files write link names there).  A hydrogen
// bond, salt bridge or mismatched base pair is no bond: such a row is not a
// link, and a link row between two residues would keep the search by
// distance from joining them.
constexpr std::string_view kCovalentKinds[] = {
    "covale", "covale_base", "covale_phosphate", "covale_sugar", "disulf", "metalc", "modres"};
constexpr std::string_view kContactKinds[] = {"hydrog", "saltbr", "mismat"};

// v equals the kind, whole or cut to the eight characters of a name field,
// letter case aside.
bool is_kind(std::string_view v, std::string_view kind) {
  if (v.size() != kind.size() && !(v.size() == 8 && kind.size() > 8)) return false;
  for (std::size_t i = 0; i < v.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(v[i])) != kind[i]) return false;
  return true;
}

void set_conn_type(std::string_view data, Row& r) {
  r.link = data;
  const std::string_view v = rt::trim_right(data);
  for (std::string_view k : kContactKinds)
    if (is_kind(v, k)) r.unbonded = true;
}

bool skips(std::string_view data) { return data.empty() || data[0] == '?' || data[0] == '.'; }

// The alternate code of a connection partner, "." for none: the archive
// writes "?" where a partner has no alternate, and a row with a code is
// restrained for that conformer alone.
rt::FixedText<1> alternate(std::string_view data) {
  const std::string_view code = rt::trim_right(data);
  return rt::FixedText<1>(skips(code) ? "." : code);
}

// The symmetry code of a connection partner: "?" (a converter's unknown
// where the PDB form gives no symmetry columns) and an empty value are no
// operator, the identity, as an absent item is.  An operator number with
// leading zeros ("01_555") is that operator: every later stage compares
// codes as texts, and would take "01_555" for another copy.
rt::FixedText<8> symmetry(std::string_view data) {
  std::string_view code = rt::trim_right(data);
  if (skips(code)) return rt::FixedText<8>(".");
  const std::size_t us = code.find('_');
  std::size_t zeros = 0;
  while (us != std::string_view::npos && zeros + 1 < us && code[zeros] == '0') ++zeros;
  code.remove_prefix(zeros);
  return rt::FixedText<8>(code);
}

// The value "?" (unknown) or "." (inapplicable).
bool not_given(std::string_view data) {
  const std::string_view v = rt::trim_right(data);
  return v == "?" || v == ".";
}

// A residue number of a row that names a residue takes the one form of
// an author's number, as in the atom rows (digits with a sign, and at most
// its insertion letter), or "." or "?" for none.  Any other value ("17.0",
// "1e2") is noted in the row's `bad`.
void check_author_number(Row& r, std::string_view item, std::string_view data) {
  if (data.empty() || data[0] == ' ' || not_given(data) || coords::cif_author_number(data)) return;
  if (r.bad.empty()) r.bad = coords::cif_no_integer(item, data);
}

// The author's number of a connection partner; "?" and "." are none, as
// an absent item is, so that the file's sequence number may name the
// residue instead.
void author_number(Row& r, rt::FixedText<5>& dst, std::string_view item, std::string_view data) {
  check_author_number(r, item, data);
  if (skips(data))
    dst = ".";
  else
    set_rnum(dst, data);
}

// The number of a residue that a row of this system's own categories names.
void own_author_number(Row& r, rt::FixedText<5>& dst, std::string_view item,
                       std::string_view data) {
  check_author_number(r, item, data);
  set_own_rnum(dst, data);
}

// A sequence number of a row: an integer as every integer item takes it,
// 0 for "?" and "." (none); another value is noted in the row's `bad`.
int32_t row_integer(Row& r, std::string_view item, std::string_view data) {
  int32_t i = 0;
  if (coords::cif_integer(data, i) == coords::CifNumber::kNoNumber && r.bad.empty())
    r.bad = coords::cif_no_integer(item, data);
  return i;
}

// A row whose value cannot name its residue (r.bad) names none: the row is
// passed over with a warning naming it (`what`, its identifier and line)
// and the value, and what is not made for it, as a row naming an atom the
// model lacks is.  The warning goes out with the PDB reader's message code,
// as a cell value that is none does: the callers read the header silently.
// True when the row is passed over.
bool pass_over_bad_row(const Row& r, std::string_view what, std::string_view lost) {
  if (r.bad.empty()) return false;
  std::string name(what);
  if (!r.id.empty()) name += " " + r.id;
  msgdoc_(1, " WARNING : " + name + " at line " + std::to_string(cif_record_place_info().line) +
                 ": " + r.bad);
  msgdoc_(1, "           " + std::string(lost) + " is not made");
  return true;
}

void first_value(float& dst, float v) {
  if (dst == 0.0f) dst = v;
}

// The current value whole, where its slot holds only its start (a long
// value or a text field).
std::string_view whole_value(const Header& h, std::string_view data) {
  const std::string_view whole = cif_value_whole_info(h.value);
  return whole.empty() ? data : whole;
}

// The scalar header items; true when the item was one of them.
bool scalar_item(Header& h, std::string_view item, std::string_view data, float fdata) {
  auto m = [&](std::string_view n) { return cif_match(item, n); };
  if (m(cif_item(1))) {
    com_dict_file.prog_name_crd = ".";
    // "blanc" is what this system's own writer puts there.
    if (data.substr(0, 5) == "vorel" || data.substr(0, 5) == "blanc") {
      crdinf.cr_soft = "B";
      com_dict_file.prog_name_crd = "B";
    }
  } else if (m("_database_PDB_code") || m("_database_PDB.code") || m(cif_item(3)) ||
             m("_database.code_PDB") || m(cif_item(2))) {
    crdinf.cr_cd_pdb = data;
  } else if (m("_database_2.code_NDB") || m("_database.code_NDB")) {
    crdpdb.cr_cd_ndb = data;
    crdpdb_2.cr_info_flag = "N";
  } else if (m("_database_PDB_name") || m(cif_item(4)) || m(cif_item(5))) {
    foundation::put_entry_text(crdinf.cr_name_pdb, whole_value(h, data), rt::trim_right(item));
    crdpdb_2.cr_name_ndb = crdinf.cr_name_pdb;
  } else if (m("_database_code_CSD")) {
    rt::FixedText<80> t;
    t = "code_CSD:";
    t.sub(10, 80).assign(data);
    crdinf.cr_title = t;
    h.icsd = 1;
  } else if (m("_database_PDB_date") || m("_database_PDB.date") || m(cif_item(6))) {
    crdinf.cr_date_pdb = "?";
    const rt::FixedText<10> d10(data.substr(0, data.size() < 10 ? data.size() : 10));
    if (d10(5) == '-')
      chng_date_back_(d10.view(), crdinf.cr_date_pdb);
    else
      crdinf.cr_date_pdb = d10.sub(1, 9);
  } else if (m("_database_PDB_rev.date_original") || m("_database_NDB_rev.date_original")) {
    crdinf.cr_date_pdb.blank();
    const rt::FixedText<10> d10(data.substr(0, data.size() < 10 ? data.size() : 10));
    if (d10(5) == '-') chng_date_back_(d10.view(), crdinf.cr_date_pdb);
    if (crdpdb_2.cr_info_flag == "N") crdpdb.cr_date_ndb = d10;
  } else if (m("_struct_title") || m(cif_item(7))) {
    foundation::put_entry_text(crdinf.cr_title, whole_value(h, data), rt::trim_right(item));
    crdpdb_2.cr_ndb_title = crdinf.cr_title;
  } else if (m("_file_creation_date")) {
    crdinf.cr_time = data;
  } else if (m("_database_PDB_model") || m("_database_PDB.model")) {
    header_integer(h, item, data, crdinf.cr_model_pdb);
  } else if (m("_database_PDB_remark_resolution") || m("_database_PDB.remark_resolution")) {
    crdinf.cr_resl_pdb = data;
  } else if (m("_database_PDB_remark_R_factor") || m("_database_PDB.remark_R_factor")) {
    crdinf.cr_rfac_pdb = data;
  } else if (m("_diffrn.ambient_temp")) {
    crdpdb.cr_temper = fdata;
  } else if (rt::trim_right(item) == "_diffrn_radiation.wavelength" || m("_diffrn_radiation_wavelength.wav")) {
    crdpdb.cr_wavel = fdata;
  } else if (m("_refine.ls_d_res_low")) {
    first_value(crdpdb_2.cr_res_rmin, fdata);
  } else if (m("_refine.ls_d_res_high")) {
    first_value(crdpdb_2.cr_res_rmax, fdata);
  } else if (m("_reflns.d_resolution_high")) {
    first_value(crdpdb.cr_res_max, fdata);
  } else if (m("_reflns.d_resolution_low")) {
    first_value(crdpdb.cr_res_min, fdata);
  } else if (m("_refine.ls_R_factor_all")) {
    if (!skips(data)) first_value(crdpdb.cr_rfac_all, fdata);
  } else if (m("_refine.ls_R_factor_obs")) {
    if (!skips(data)) {
      first_value(crdpdb.cr_rfac_obs, fdata);
      first_value(crdpdb_2.cr_rfac_cut, fdata);
    }
  } else if (m("_refine.ls_R_factor_R_free")) {
    if (!skips(data)) first_value(crdpdb_2.cr_rfree_cut, fdata);
  } else if (m("_reflns.observed_criterion_sigma_F")) {
    if (!skips(data)) first_value(crdpdb.cr_sigma_f, fdata);
  } else if (m("_refine.ndb_ls_sigma_F")) {
    if (!skips(data)) first_value(crdpdb_2.cr_sigmar_f, fdata);
  } else if (m("_reflns.observed_criterion_sigma_I")) {
    if (!skips(data)) first_value(crdpdb.cr_sigma_i, fdata);
  } else if (m("_refine.ndb_ls_sigma_I")) {
    if (!skips(data)) first_value(crdpdb_2.cr_sigmar_i, fdata);
  } else if (m("_reflns.Rmerge_F_all")) {
    first_value(crdpdb_2.cr_rmerg_all, fdata);
  } else if (m("_reflns.Rmerge_F_obs")) {
    first_value(crdpdb_2.cr_rmerg_obs, fdata);
  } else if (m("_reflns.Rmerge_I_obs")) {
    first_value(crdpdb_2.cr_rmerg_iobs, fdata);
  } else if (m("_computing.structure_refinement")) {
    crdpdb.cr_program = data;
  } else {
    return false;
  }
  return true;
}

// The space group as core CIF names it, and as the newer dictionaries do
// (both in mmCIF files of converters): the item of the "_symmetry."
// category that says the same, read as that one; any other item as it is.
std::string_view symmetry_synonym(std::string_view item) {
  struct Synonym {
    std::string_view given, read_as;
  };
  static constexpr Synonym kSynonyms[] = {
      {"_symmetry_space_group_name_H-M", "_symmetry.space_group_name_H-M"},
      {"_space_group.name_H-M_alt", "_symmetry.space_group_name_H-M"},
      {"_space_group_name_H-M_alt", "_symmetry.space_group_name_H-M"},
      {"_symmetry_Int_Tables_number", "_symmetry.Int_Tables_number"},
      {"_space_group.IT_number", "_symmetry.Int_Tables_number"},
      {"_space_group_IT_number", "_symmetry.Int_Tables_number"},
  };
  if (item.substr(0, 9) != "_symmetry" && item.substr(0, 12) != "_space_group") return item;
  for (const Synonym& s : kSynonyms)
    if (cif_match_whole(item, s.given)) return s.read_as;
  return item;
}

// Cell, fractionalisation and symmetry items; true when the item was one.
bool crystal_item(Header& h, std::string_view item, std::string_view data, float fdata,
                  float pi180) {
  if (item.substr(0, 6) == "_cell." || item.substr(0, 6) == "_cell_") {
    const std::string_view rest = item.substr(6);
    for (int k = 9; k <= 14; ++k) {
      // Whole names only: a prefix test would let the "_esd" items that
      // follow each cell value overwrite it with their "?".
      if (!cif_match_whole(rest, cif_item(k).substr(6))) continue;
      // A small-molecule cell carries its standard uncertainties, as
      // "41.980(5)"; the reading of numbers takes them on both roads.
      float v = 0.0f;
      if (!header_number(h, item, data, fdata, v)) return true;
      // "?" and "." give no cell value: the cell is missing, as when the
      // item is, rather than one of 0 that would move every atom.
      if (not_given(data)) break;
      const float value = k <= 11 ? v : v * pi180;
      // Nor does a value that cannot stand in a cell (0, -5, 1e39), which
      // a PDB file's cell rule turns into the default cube as well; it is
      // named, with the PDB reader's message code, whatever the caller's.
      if (!coords::cell_value_usable(k - 8, value)) {
        msgdoc_(1, " WARNING: " + std::string(rt::trim_right(item)) + " " +
                       std::string(rt::trim_right(data)) +
                       " is no cell value; default cell: 100,100,100,90,90,90");
        h.cell_named = true;
        break;
      }
      crdinf.cr_cell(k - 8) = value;
      h.ncell += 1;
      break;
    }
    return true;
  }
  if (cif_match(item, cif_item(15))) {
    for (int k = 16; k <= 27; ++k) {
      if (!cif_match(item, cif_item(k))) continue;
      // The matrix places every atom: a value that is no number would move
      // them all without a word.
      float v = 0.0f;
      if (!header_number(h, item, data, fdata, v)) return true;
      // Nor does "?" or ".": the matrix is then the cell's own.
      if (not_given(data)) break;
      if (k <= 24) {
        const int i = (k - 16) / 3 + 1, j = (k - 16) % 3 + 1;
        crdinf.cr_scale(i, j) = v;
      } else {
        crdinf.cr_u(k - 24) = v;
      }
      h.nfract += 1;
      break;
    }
    return true;
  }
  if (cif_match(item, cif_item(28))) {
    // A name that is blank (as a file without CRYST1 is written), "?" or
    // ".", and a number that is "?", "." or none (0), give no group: the
    // file is read as one without the item, in P 1 and saying so.
    if (cif_match(item, cif_item(29))) {
      if (rt::trim(data).empty() || not_given(data)) return true;
      crdinf.cr_spgr = data;
      h.sg_read = true;
    } else if (cif_match(item, cif_item(30))) {
      int32_t number = 0;
      if (!header_integer(h, item, data, number)) return true;
      if (number < 1) return true;
      crdinf.cr_nspgr = number;
      h.sg_read = true;
      h.sg_number_read = true;
    } else if (cif_match(item, cif_item(31))) {
      header_integer(h, item, data, crdinf.cr_sett);
    }
    return true;
  }
  return cif_match(item, "_nc_symmetry");
}

void store_struct_asym(Header& h) {
  if (cif_asym_part.n_grp_asm >= MAXCHAIN) stop_chains(h.mdoc, "MAXCHAIN", MAXCHAIN);
  const int n = ++cif_asym_part.n_grp_asm;
  cif_asym_part.asm_group_id(n) = h.row.group;
  cif_asym_part.asm_chain_id(n) = h.row.chain;
  cif_asym_part.asm_chain_pointer(n) = 0;
  cif_asym_part.asm_group_pointer(n) = 0;
}

void store_entity(Header& h) {
  if (cif_entity_list.n_chn_ent >= MAXENTITY) {
    // A reader by the author's items asks the entities only whether they are
    // polymers; one left out is told by its residues.
    if (com_crd_cif.by_author == 1) return;
    stop_chains(h.mdoc, "MAXENTITY", MAXENTITY);
  }
  const int n = ++cif_entity_list.n_chn_ent;
  cif_entity_list.ent_chain_type(n) = h.row.type16;
  cif_entity_list.ent_ichain_type(n) = h.row.itype;
  cif_entity_list.ent_chain_id(n) = h.row.chain;
  cif_entity_list.ent_igroup_first(n) = 0;
  cif_entity_list.ent_ires_first(n) = 0;
  cif_entity_list.ent_nres_chain(n) = 0;
  cif_entity_list.ent_ires_start_tree(n) = 0;
  cif_entity_list.ent_ires_end_tree(n) = 0;
  cif_entity_list.ent_iterm_s_type(n) = 1;
  cif_entity_list.ent_iterm_f_type(n) = 1;
  cif_entity_list.ent_res_start_tree(n) = ".";
  cif_entity_list.ent_res_end_tree(n) = ".";
  cif_entity_list.ent_term_s_type(n) = ".";
  cif_entity_list.ent_term_f_type(n) = ".";
}

void store_poly_seq(Header& h) {
  Row& r = h.row;
  const int ich = entity_index(r.chain);
  if (ich == 0) {
    std::string line = " WARNING: entity_poly_seq: ENTITY:";
    line += r.chain.view();
    line += " not found in entity_list .";
    msgdoc_(h.mdoc, line);
    return;
  }
  if (r.rnum1 == ".") {
    cif_entity_list.ent_res_start_tree(ich) = r.rnum2;
    cif_entity_list.ent_term_s_type(ich) = r.mod;
    int32_t c = 1;
    set_term_s_type_(r.mod.view(), c);
    cif_entity_list.ent_iterm_s_type(ich) = c;
  } else if (!(r.mod == ".")) {
    cif_entity_list.ent_res_end_tree(ich) = r.rnum2;
    cif_entity_list.ent_term_f_type(ich) = r.mod;
    int32_t c = 1;
    set_term_f_type_(r.mod.view(), c);
    cif_entity_list.ent_iterm_f_type(ich) = c;
  }
  int32_t iconn = 1;
  if (!(r.link == ".") && !(r.link == "?")) set_iconn_(r.link.view(), iconn);
  if (iconn >= 3 && iconn <= cif_types.n_conn_type && iconn != 4) {
    if (cif_ent_link.ent_ln_n >= MAXENTLINK) stop_links(h.mdoc, "MAXENTLINK", MAXENTLINK);
    const int m = ++cif_ent_link.ent_ln_n;
    cif_ent_link.ent_ln_id(m) = r.link;
    cif_ent_link.ent_ln_ichain(m) = ich;
    cif_ent_link.ent_ln_auth_num1(m) = r.rnum1;
    cif_ent_link.ent_ln_auth_num2(m) = r.rnum2;
    cif_ent_link.ent_ln_1ires(m) = 0;
    cif_ent_link.ent_ln_2ires(m) = 0;
    cif_ent_link.ent_ln_1rnam(m) = ".";
    cif_ent_link.ent_ln_2rnam(m) = ".";
    cif_ent_link.ent_ln_atom1(m) = ".";
    cif_ent_link.ent_ln_atom2(m) = ".";
    cif_ent_link.ent_ln_dist(m) = 0.0f;
    cif_ent_link.ent_ln_used(m) = "E";
  }
  // Cut, the sequence would lose the links and chain ends of its last rows.
  if (cif_ent_poly_seq.ent_nresidue >= MAXENTSEQ)
    foundation::stop_table_full(h.mdoc, " ERROR: number of sequence rows >", MAXENTSEQ,
                                {.constant = "MAXENTSEQ", .header = "atom_com", .quoted = false});
  const int m = ++cif_ent_poly_seq.ent_nresidue;
  if (ich != h.prev_seq_entity) {
    cif_entity_list.ent_ires_first(ich) = m;
    h.seq_serial = 0;
    h.prev_seq_entity = ich;
  }
  cif_ent_poly_seq.ent_ires_serial(m) = ++h.seq_serial;
  cif_ent_poly_seq.ent_ichain(m) = ich;
  cif_ent_poly_seq.ent_ires_back(m) = 0;
  cif_ent_poly_seq.ent_ires_forw(m) = 0;
  cif_ent_poly_seq.ent_ires_type(m) = 0;
  cif_ent_poly_seq.ent_iconn_type(m) = iconn;
  cif_ent_poly_seq.ent_res_name(m) = r.res1;
  cif_ent_poly_seq.ent_mod_id(m) = r.mod;
  cif_ent_poly_seq.ent_res_auth_num(m) = r.rnum2;
  cif_ent_poly_seq.ent_res_auth_bnum(m) = r.rnum1;
  cif_ent_poly_seq.ent_res_auth_fnum(m) = ".";
  cif_entity_list.ent_nres_chain(ich) += 1;
}

void store_entity_link(Header& h) {
  if (pass_over_bad_row(h.row, "entity link row", "its link")) return;
  if (cif_ent_link.ent_ln_n >= MAXENTLINK) stop_links(h.mdoc, "MAXENTLINK", MAXENTLINK);
  Row& r = h.row;
  const int n = ++cif_ent_link.ent_ln_n;
  cif_ent_link.ent_ln_id(n) = r.link;
  cif_ent_link.ent_ln_ichain(n) = r.ich;
  cif_ent_link.ent_ln_auth_num1(n) = r.rnum1;
  cif_ent_link.ent_ln_auth_num2(n) = r.rnum2;
  cif_ent_link.ent_ln_1ires(n) = r.ires1;
  cif_ent_link.ent_ln_2ires(n) = r.ires2;
  cif_ent_link.ent_ln_1rnam(n) = r.res1;
  cif_ent_link.ent_ln_2rnam(n) = r.res2;
  cif_ent_link.ent_ln_atom1(n) = r.atom1;
  cif_ent_link.ent_ln_atom2(n) = r.atom2;
  cif_ent_link.ent_ln_dist(n) = r.dist;
  cif_ent_link.ent_ln_used(n) = "L";
}

// The file's sequence numbers by which the ends of the connection rows of
// the current read name their residues, where a row gives no author
// number: (e, l) for row l's end e.
rt::Array2<int32_t, 2, MAXLINK> g_conn_label_seq;

// Chain identifiers of the link and modification rows take the form the
// atom rows give their groups (a one-character identifier doubled), so that
// the rows find their residues.
void double_short_id(rt::FixedText<4>& id) {
  if (id.len_trim() <= 1) id(2) = id(1);
}

// How each end of the connection rows of the current read names its chain,
// before a one-character label is held doubled (conn_label_width).
rt::Array2<int32_t, 2, MAXLINK> g_conn_label_width;

// The last row of the two tables above that a read has set: a data block
// read afresh clears only that far, not the whole capacity (3 MB) each time.
int32_t g_conn_label_top = 0;

void clear_conn_labels() {
  std::fill_n(g_conn_label_seq.data(), 2 * g_conn_label_top, 0);
  std::fill_n(g_conn_label_width.data(), 2 * g_conn_label_top, 0);
  g_conn_label_top = 0;
}

void store_struct_conn(Header& h) {
  if (h.row.unbonded) return;
  if (pass_over_bad_row(h.row, "connection row", "its link")) return;
  if (link_inf.ln_n >= MAXLINK) stop_links(h.mdoc, "MAXLINK", MAXLINK);
  Row& r = h.row;
  const int32_t width1 = coords::label_width(r.chn1.trimmed());
  const int32_t width2 = coords::label_width(r.chn2.trimmed());
  double_short_id(r.chn1);
  double_short_id(r.chn2);
  // As in the atom rows: a code of its own completes an author number that
  // carries none, so that the link finds residue 37A and not 37.
  if (r.rnum1 != "." && r.rnum1(5) == ' ') r.rnum1(5) = r.ins1;
  if (r.rnum2 != "." && r.rnum2(5) == ' ') r.rnum2(5) = r.ins2;
  const int n = ++link_inf.ln_n;
  // A row without the author's number (as a simulation program writes
  // one) names its residue by the file's sequence number, as the atom rows
  // do: the number stands for the warning until the atom store finds the
  // residue that carries it.
  g_conn_label_seq(1, n) = r.rnum1 == "." ? r.seq1 : 0;
  g_conn_label_seq(2, n) = r.rnum2 == "." ? r.seq2 : 0;
  g_conn_label_width(1, n) = width1;
  g_conn_label_width(2, n) = width2;
  g_conn_label_top = std::max(g_conn_label_top, n);
  if (r.rnum1 == "." && r.seq1 > 0) set_rnum(r.rnum1, std::to_string(r.seq1));
  if (r.rnum2 == "." && r.seq2 > 0) set_rnum(r.rnum2, std::to_string(r.seq2));
  link_inf.ln_id(n) = r.link;
  link_inf.ln_1rnam(n) = r.res1;
  link_inf.ln_2rnam(n) = r.res2;
  link_inf.ln_seq1(n) = r.rnum1;
  link_inf.ln_seq2(n) = r.rnum2;
  link_inf.ln_1chn(n) = r.chn1;
  link_inf.ln_2chn(n) = r.chn2;
  link_inf.ln_atom1(n) = r.atom1;
  link_inf.ln_atom2(n) = r.atom2;
  link_inf.ln_symm1(n) = r.symm1;
  link_inf.ln_symm2(n) = r.symm2;
  link_inf.ln_alt1(n) = r.alt1;
  link_inf.ln_alt2(n) = r.alt2;
  link_inf.ln_1ires(n) = r.ires1;
  link_inf.ln_2ires(n) = r.ires2;
  link_inf.ln_1ichn(n) = r.ich1;
  link_inf.ln_2ichn(n) = r.ich2;
  link_inf.ln_dist(n) = r.dist;
  link_inf.ln_ent(n) = "C";
  link_inf.ln_used(n) = (r.alt1 == "." && r.alt2 == ".") ? "U" : "S";
}

void store_mod(Header& h) {
  if (mod_inf.mod_n >= MAXMODIF)
    foundation::stop_table_full(h.mdoc, " ERROR: number of modifications >", MAXMODIF,
                                {.constant = "MAXMODIF", .header = "atom_com", .quoted = false});
  Row& r = h.row;
  if (pass_over_bad_row(r, "modification row", "its modification")) return;
  double_short_id(r.chn1);
  const int n = ++mod_inf.mod_n;
  mod_inf.mod_id(n) = r.mod;
  mod_inf.mod_rnam(n) = r.res1;
  mod_inf.mod_rnam_new(n) = r.res_new;
  mod_inf.mod_seq(n) = r.rnum1;
  mod_inf.mod_chn(n) = r.chn1;
  mod_inf.mod_ichn(n) = r.ich1;
  mod_inf.mod_ires(n) = r.ires1;
  mod_inf.mod_used(n) = "U";
}

int entity_class(std::string_view v) {
  if (v.substr(0, 8) == "polypept") return 3;
  if (v.substr(0, 8) == "polysacc") return 7;
  if (v.substr(0, 7) == "DNA/RNA") return 5;
  if (v.substr(0, 7) == "polymer") return 10;
  if (v.substr(0, 5) == "water") return 9;
  if (v.substr(0, 5) == "non-p") return 2;
  return 1;
}

// The loop categories; true when the item belonged to one of them.
bool loop_item(Header& h, std::string_view item, std::string_view data, float fdata, bool last) {
  auto m = [&](std::string_view n) { return cif_match(item, n); };
  Row& r = h.row;
  const bool own = crdinf.cr_soft(1) == 'B';
  if (m(cif_item(33))) {
    if (!own) return true;
    if (m(cif_item(34))) r.group = data.substr(0, 4);
    else if (m(cif_item(35))) r.chain = data.substr(0, 4);
    if (last) store_struct_asym(h);
    return true;
  }
  if (m(cif_item(36))) {
    // Another writer's entities are read only by a reader by the author's
    // items, for their types.
    if (!own && com_crd_cif.by_author != 1) return true;
    if (m(cif_item(37))) {
      r.chain = data;
    } else if (m(cif_item(38))) {
      r.type16 = data;
      r.itype = entity_class(data);
    }
    if (last) store_entity(h);
    return true;
  }
  if (m(cif_item(39))) {
    if (!own) return true;
    if (m(cif_item(40))) r.chain = data;
    else if (m(cif_item(45))) r.link = data;
    else if (m(cif_item(41))) r.res1 = data;
    else if (m(cif_item(42))) { set_own_rnum(r.rnum2, data); r.ires2 = 0; }
    else if (m(cif_item(44))) {
      // The preceding residue is matched against author numbers in
      // residue-number form; "." and the writer's "n/a" both mean none.
      if (rt::trim_right(data) == "." || rt::trim_right(data) == "n/a")
        r.rnum1 = ".";
      else
        set_own_rnum(r.rnum1, data);
    }
    else if (m(cif_item(46))) r.mod = data;
    if (last) store_poly_seq(h);
    return true;
  }
  if (m(cif_item(47))) {
    if (m(cif_item(48))) r.link = data;
    else if (m(cif_item(49))) { own_author_number(r, r.rnum1, item, data); r.ires1 = 0; }
    else if (m(cif_item(51))) { own_author_number(r, r.rnum2, item, data); r.ires2 = 0; }
    else if (m(cif_item(50))) r.res1 = data;
    else if (m(cif_item(52))) r.res2 = data;
    else if (m(cif_item(53))) { r.chain = data; r.ich = entity_index(r.chain); }
    else if (m(cif_item(54))) r.atom1 = data;
    else if (m(cif_item(55))) r.atom2 = data;
    else if (m(cif_item(56))) header_number(h, item, data, fdata, r.dist);
    if (last) store_entity_link(h);
    return true;
  }
  if (m(cif_item(57))) {
    if (m(cif_item(58))) r.id = rt::trim(data);
    else if (m(cif_item(59))) set_conn_type(data, r);
    else if (m(cif_item(62))) { author_number(r, r.rnum1, item, data); r.ires1 = 0; }
    else if (m(cif_item(63))) r.res1 = data;
    else if (m(cif_item(64))) r.chn1 = data;
    else if (m(cif_item(65))) r.symm1 = symmetry(data);
    else if (m(cif_item(60))) r.atom1 = data;
    else if (m(cif_item(61))) r.alt1 = alternate(data);
    else if (m(cif_item(68))) { author_number(r, r.rnum2, item, data); r.ires2 = 0; }
    else if (m(cif_item(69))) r.res2 = data;
    else if (m(cif_item(70))) r.chn2 = data;
    else if (m(cif_item(71))) r.symm2 = symmetry(data);
    else if (m(cif_item(66))) r.atom2 = data;
    else if (m(cif_item(67))) r.alt2 = alternate(data);
    else if (m(cif_item(72)) || m("_struct_conn.pdbx_dist_value"))
      header_number(h, item, data, fdata, r.dist);
    else if (m("_struct_conn.pdbx_ptnr1_label_alt_id")) r.alt1 = alternate(data);
    else if (m("_struct_conn.pdbx_ptnr2_label_alt_id")) r.alt2 = alternate(data);
    else if (m("_struct_conn.pdbx_ptnr1_PDB_ins_code")) r.ins1 = insertion_code(r, item, data);
    else if (m("_struct_conn.pdbx_ptnr2_PDB_ins_code")) r.ins2 = insertion_code(r, item, data);
    else if (m("_struct_conn.ptnr1_label_seq_id")) r.seq1 = row_integer(r, item, data);
    else if (m("_struct_conn.ptnr2_label_seq_id")) r.seq2 = row_integer(r, item, data);
    if (last) store_struct_conn(h);
    return true;
  }
  if (m(cif_item(73))) {
    if (m(cif_item(74))) r.mod = data;
    else if (m(cif_item(75))) own_author_number(r, r.rnum1, item, data);
    else if (m(cif_item(76))) r.res1 = data;
    else if (m(cif_item(78))) r.res_new = data;
    else if (m(cif_item(77)) || m(cif_item(79))) r.chn1 = data;
    if (last) store_mod(h);
    return true;
  }
  if (m("_derivative_") || m("_derivative.")) {
    if (m("_derivative_scale1") || m("_derivative.scale1")) crdinf.cr_cf1 = fdata;
    else if (m("_derivative_scale2") || m("_derivative.scale2")) crdinf.cr_cf2 = fdata;
    else if (m("_derivative_Toverall") || m("_derivative.Toverall")) crdinf.cr_tov = fdata;
    return true;
  }
  if (m("_atom_type_") || m(cif_item(81))) {
    if (h.icsd == 1) return true;
    // Tested at every value, not only at the first of the record: a record
    // may begin with an item of another category.
    if (crst_crd.cs_nsfatm >= MAXNSF) {
      if (!h.sf_warned)
        warn_full(h.mdoc, " WARNING: number of atom types > limit.", "MAXNSF");
      h.sf_warned = true;
      return true;
    }
    const int t = crst_crd.cs_nsfatm + 1;
    if (m(cif_item(82))) {
      crst_crd.cs_element(t) = data;
      rt::FixedText<4> a(data);
      const char c2 = char_class(a(2));
      if (c2 == 'D' || c2 == 'S') a(2) = ' ';
      a(3) = ' ';
      a(4) = ' ';
      crst_crd.cs_atype(t) = a;
    } else {
      for (int k = 83; k <= 86; ++k)
        if (m(cif_item(k))) crst_crd.cs_a(k - 82, t) = fdata;
      for (int k = 87; k <= 90; ++k)
        if (m(cif_item(k))) crst_crd.cs_b(k - 86, t) = fdata;
      if (m(cif_item(91))) crst_crd.cs_c(t) = fdata;
      else if (m(cif_item(92))) crst_crd.cs_fi(t) = fdata;
      else if (m(cif_item(93))) crst_crd.cs_fii(t) = fdata;
      else if (m(cif_item(94))) crst_crd.cs_radius(t) = fdata;
      else if (m(cif_item(95))) header_integer(h, item, data, crst_crd.cs_nelec(t));
    }
    if (last) crst_crd.cs_nsfatm += 1;
    return true;
  }
  return false;
}

// A core CIF names its atoms by label and places them by fractional
// coordinates; such a file gives no Cartesian ones and often no CSD code
// (the open databases give none).  `r` holds the first atom-site record.
bool core_atom_list(const comcif_rec& r) {
  bool fractional = false;
  for (int k = 1; k <= r.n_item && k <= MAXCIFVAL; ++k) {
    const std::string_view name = r.itm_cif(k).view();
    if (cif_match_whole(name, "_atom_site.Cartn_x")) return false;
    fractional = fractional || cif_match_whole(name, "_atom_site_fract_x");
  }
  return fractional;
}

bool atom_rows_begin(std::string_view item) {
  // A core CIF may give its anisotropic loop before its atom list: the loop
  // describes atoms the list gives later, so the header goes on past it to
  // the list, and the file is read as the one with the loops the other way
  // round.
  if (item.substr(0, 17) == "_atom_site_aniso_" || item.substr(0, 22) == "_ccdc_atom_site_aniso_")
    return false;
  return item.substr(0, 11) == "_atom_site_" || item.substr(0, 16) == "_ccdc_atom_site_" ||
         item.substr(0, 11) == "_atom_site.";
}

// Which reads take a name of the header table below.
enum class TakenBy {
  any_file,
  own_file,          // a file of this system's own writer
  own_or_by_author,  // that, or any file read by the author's items
  macromolecular,    // not a small-molecule file
};

// The items the header reader takes, as its tests name them: a name that
// ends in "." or "_" stands for its whole category, one marked `whole` for
// that item alone, any other for the items that begin so (the reader's
// prefix test).  A name past the atom list that is one of them makes the
// header read on; any other (the archive's caveats, validation and
// software lists) costs no second reading.
struct HeaderName {
  std::string_view name;
  bool whole = false;
  TakenBy when = TakenBy::any_file;
};
constexpr HeaderName kHeaderNames[] = {
    {"_database_PDB_code"}, {"_database_PDB.code"}, {"_database_2.code_PDB"},
    {"_database.code_PDB"}, {"_entry.id"}, {"_database_2.code_NDB"}, {"_database.code_NDB"},
    {"_database_PDB_name"}, {"_struct_keywords.text"}, {"_struct.keywords"},
    {"_database_code_CSD"}, {"_database_PDB_date"}, {"_database_PDB.date"},
    {"_audit.creation_date"}, {"_database_PDB_rev.date_original"},
    {"_database_NDB_rev.date_original"}, {"_struct_title"}, {"_struct.title"},
    {"_file_creation_date"}, {"_database_PDB_model"}, {"_database_PDB.model"},
    {"_database_PDB_remark_resolution"}, {"_database_PDB.remark_resolution"},
    {"_database_PDB_remark_R_factor"}, {"_database_PDB.remark_R_factor"},
    {"_diffrn.ambient_temp"}, {"_diffrn_radiation.wavelength", true},
    {"_diffrn_radiation_wavelength.wav"}, {"_refine.ls_d_res_low"}, {"_refine.ls_d_res_high"},
    {"_reflns.d_resolution_high"}, {"_reflns.d_resolution_low"}, {"_refine.ls_R_factor_all"},
    {"_refine.ls_R_factor_obs"}, {"_refine.ls_R_factor_R_free"},
    {"_reflns.observed_criterion_sigma_F"}, {"_refine.ndb_ls_sigma_F"},
    {"_reflns.observed_criterion_sigma_I"}, {"_refine.ndb_ls_sigma_I"},
    {"_reflns.Rmerge_F_all"}, {"_reflns.Rmerge_F_obs"}, {"_reflns.Rmerge_I_obs"},
    {"_computing.structure_refinement"},
    {"_cell.length_a", true}, {"_cell.length_b", true}, {"_cell.length_c", true},
    {"_cell.angle_alpha", true}, {"_cell.angle_beta", true}, {"_cell.angle_gamma", true},
    {"_cell_length_a", true}, {"_cell_length_b", true}, {"_cell_length_c", true},
    {"_cell_angle_alpha", true}, {"_cell_angle_beta", true}, {"_cell_angle_gamma", true},
    {"_symmetry.space_group_name_H-M"}, {"_symmetry.Int_Tables_number"},
    {"_symmetry.cell_setting_number"}, {"_symmetry_space_group_name_H-M", true},
    {"_space_group.name_H-M_alt", true}, {"_space_group_name_H-M_alt", true},
    {"_symmetry_Int_Tables_number", true}, {"_space_group.IT_number", true},
    {"_space_group_IT_number", true},
    {"_struct_asym.", false, TakenBy::own_file}, {"_entity.", false, TakenBy::own_or_by_author},
    {"_entity_poly_seq.", false, TakenBy::own_file}, {"_entity_link."}, {"_struct_conn."},
    {"_ptq7_struct_asym_mod."}, {"_derivative_scale1"}, {"_derivative.scale1"},
    {"_derivative_scale2"}, {"_derivative.scale2"}, {"_derivative_Toverall"},
    {"_derivative.Toverall"}, {"_atom_type_", false, TakenBy::macromolecular},
    {"_atom_type.", false, TakenBy::macromolecular}};

bool header_name(std::string_view word, const Header& h) {
  const bool own = crdinf.cr_soft(1) == 'B';
  for (const HeaderName& n : kHeaderNames) {
    if (!(n.whole ? word == n.name : word.starts_with(n.name))) continue;
    switch (n.when) {
      case TakenBy::any_file: return true;
      case TakenBy::own_file: return own;
      case TakenBy::own_or_by_author: return own || com_crd_cif.by_author == 1;
      case TakenBy::macromolecular: return h.icsd == 0;
    }
  }
  // The twelve values of the fractionalisation, by their own names.
  if (!word.starts_with(cif_item(15))) return false;
  for (int k = 16; k <= 27; ++k)
    if (word.starts_with(cif_item(k))) return true;
  return false;
}

// Whether the reader takes any item of the current record: one of the
// table above, the software's name (whose value may name this system's own
// writer) or an item of the atom list.
bool record_taken(const Header& h) {
  for (int k = 1; k <= comcif_info.n_cif; ++k) {
    const std::string_view item = rt::trim_right(comcif_info.itm_cif(k).view());
    if (header_name(item, h) || item.starts_with(cif_item(1)) || atom_rows_begin(item)) return true;
  }
  return false;
}

// True when the data block of the atom list, from line `from` (its first
// row) to its end, names an item that the header reader takes: CIF gives
// the categories of a block no order, and converters write the cell, the
// space group or the connections after the atoms.  The lines are looked at,
// not taken apart, so that the usual file (nothing of the header after its
// atoms) is not read twice over.  The software's name counts only where it
// names this system's own writer, the one value the header takes from it
// (the archive puts its software list after the atoms).
bool header_after_atoms(const std::string& file, int32_t from, const Header& h) {
  const int unit = rt::open_to_look(file);
  if (unit == 0) return false;
  bool found = false;
  bool text_field = false;
  bool software = false;  // the last name met is of the software category
  int32_t line_no = 0;
  std::string_view rec;
  while (!found && rt::read_record_view(unit, rec) == rt::IOSTAT_OK) {
    if (++line_no < from) continue;
    if (!rec.empty() && rec[0] == ';') {
      text_field = !text_field;
      continue;
    }
    if (text_field) continue;
    if (rec.substr(0, 5) == "data_") break;
    for (std::size_t k = rec.find('_'); k != std::string_view::npos; k = rec.find('_', k + 1)) {
      if (k > 0 && rec[k - 1] != ' ' && rec[k - 1] != '\t') continue;
      std::size_t end = rec.find_first_of(" \t\r", k);
      if (end == std::string_view::npos) end = rec.size();
      const std::string_view word = rec.substr(k, end - k);
      if (header_name(word, h)) {
        found = true;
        break;
      }
      software = word.substr(0, 10) == "_software.";
    }
    if (software && (rec.find("vorel") != std::string_view::npos ||
                     rec.find("blanc") != std::string_view::npos))
      found = true;
  }
  rt::unit_close(unit);
  return found;
}

// Ties each assembly group to its entity by the entity identifier, so that
// the chains of the atom rows find their entities.
void point_groups_to_entities() {
  for (int g = 1; g <= cif_asym_part.n_grp_asm; ++g)
    cif_asym_part.asm_chain_pointer(g) = entity_index(cif_asym_part.asm_chain_id(g));
}

// A connection row of the file among rows 1..n that gives link row l again
// for the copy `group` of its entity: the same name and the same atoms of
// the same residues, either way round, both ends where the model has them
// (no code, ".", "?" or "1_555").  A written model names the link of a
// further copy of an entity there as well as among the entity's links: made
// again from the entity's, it would be written a second time on every run.
bool given_by_conn_row(int l, const rt::FixedText<4>& group, int n) {
  const link_inf_t& k = link_inf;
  const auto in_place = [](const rt::FixedText<8>& s) {
    return identity_symmetry(s) || s == "?" || s.is_blank();
  };
  const auto atom = [](const rt::FixedText<5>& a) { return rt::trim_right(a.sub(1, 4)); };
  for (int i = 1; i <= n; ++i) {
    if (!(k.ln_ent(i) == "C") || !(k.ln_id(i) == k.ln_id(l))) continue;
    if (!(k.ln_1chn(i) == group) || !(k.ln_2chn(i) == group)) continue;
    if (!in_place(k.ln_symm1(i)) || !in_place(k.ln_symm2(i))) continue;
    const bool direct = k.ln_seq1(i) == k.ln_seq1(l) && k.ln_seq2(i) == k.ln_seq2(l) &&
                        atom(k.ln_atom1(i)) == atom(k.ln_atom1(l)) && atom(k.ln_atom2(i)) == atom(k.ln_atom2(l));
    const bool reverse = k.ln_seq1(i) == k.ln_seq2(l) && k.ln_seq2(i) == k.ln_seq1(l) &&
                         atom(k.ln_atom1(i)) == atom(k.ln_atom2(l)) && atom(k.ln_atom2(i)) == atom(k.ln_atom1(l));
    if (direct || reverse) return true;
  }
  return false;
}

void complete_links(int32_t mdoc) {
  const int nel = cif_ent_link.ent_ln_n;
  for (int i = 2; i <= nel; ++i) {
    if (!(cif_ent_link.ent_ln_used(i) == "L")) continue;
    int32_t c = 1;
    set_iconn_(cif_ent_link.ent_ln_id(i).view(), c);
    if (c <= 2 || c > cif_types.n_conn_type) continue;
    for (int j = 1; j < i; ++j) {
      if (cif_ent_link.ent_ln_ichain(j) != cif_ent_link.ent_ln_ichain(i)) continue;
      if (!(cif_ent_link.ent_ln_used(j) == "E")) continue;
      const auto& a1 = cif_ent_link.ent_ln_auth_num1(i);
      const auto& a2 = cif_ent_link.ent_ln_auth_num2(i);
      const auto& b1 = cif_ent_link.ent_ln_auth_num1(j);
      const auto& b2 = cif_ent_link.ent_ln_auth_num2(j);
      if ((a1 == b1 && a2 == b2) || (a1 == b2 && a2 == b1)) {
        cif_ent_link.ent_ln_used(j) = "e";
        cif_ent_link.ent_ln_id(j) = "?";
      }
    }
  }
  for (int i = 1; i <= nel; ++i) {
    if (cif_ent_link.ent_ln_id(i)(1) == '?') continue;
    if (link_inf.ln_n >= MAXLINK) stop_links(mdoc, "MAXLINK", MAXLINK);
    const int n = ++link_inf.ln_n;
    const int e = cif_ent_link.ent_ln_ichain(i);
    link_inf.ln_id(n) = cif_ent_link.ent_ln_id(i);
    link_inf.ln_1rnam(n) = cif_ent_link.ent_ln_1rnam(i);
    link_inf.ln_2rnam(n) = cif_ent_link.ent_ln_2rnam(i);
    link_inf.ln_seq1(n) = cif_ent_link.ent_ln_auth_num1(i);
    link_inf.ln_seq2(n) = cif_ent_link.ent_ln_auth_num2(i);
    link_inf.ln_atom1(n) = cif_ent_link.ent_ln_atom1(i);
    link_inf.ln_atom2(n) = cif_ent_link.ent_ln_atom2(i);
    link_inf.ln_alt1(n) = ".";
    link_inf.ln_alt2(n) = ".";
    link_inf.ln_symm1(n) = ".";
    link_inf.ln_symm2(n) = ".";
    link_inf.ln_1ires(n) = cif_ent_link.ent_ln_1ires(i);
    link_inf.ln_2ires(n) = cif_ent_link.ent_ln_2ires(i);
    link_inf.ln_1ichn(n) = e;
    link_inf.ln_2ichn(n) = e;
    const rt::FixedText<4> chain = e >= 1 && e <= MAXENTITY ? cif_entity_list.ent_chain_id(e) : rt::FixedText<4>(".");
    link_inf.ln_1chn(n) = chain;
    link_inf.ln_2chn(n) = chain;
    link_inf.ln_dist(n) = cif_ent_link.ent_ln_dist(i);
    link_inf.ln_ent(n) = cif_ent_link.ent_ln_used(i);
    const char u = cif_ent_link.ent_ln_used(i)(1);
    link_inf.ln_used(n) = u == 'L' ? "U" : (u == 'e' ? "u" : ".");
  }
  if (cif_asym_part.n_grp_asm <= 0 || cif_entity_list.n_chn_ent <= 0) return;
  // Only the links present before the spreading are spread: the copies made
  // for further groups must not be copied again.
  const int n0 = link_inf.ln_n;
  static rt::Array1<char, MAXENTITY> seen;
  for (int e = 1; e <= MAXENTITY; ++e) seen(e) = 0;
  for (int g = 1; g <= cif_asym_part.n_grp_asm; ++g) {
    const int eg = entity_index(cif_asym_part.asm_chain_id(g));
    if (eg == 0) continue;
    const bool first_group = seen(eg) == 0;
    seen(eg) = 1;
    for (int l = 1; l <= n0; ++l) {
      if (link_inf.ln_1ichn(l) != eg) continue;
      if (link_inf.ln_id(l)(1) == '?') continue;
      const char f = link_inf.ln_ent(l)(1);
      if (f != 'E' && f != 'e' && f != 'L') continue;
      if (first_group) {
        link_inf.ln_1chn(l) = cif_asym_part.asm_group_id(g);
        link_inf.ln_2chn(l) = cif_asym_part.asm_group_id(g);
        continue;
      }
      if (given_by_conn_row(l, cif_asym_part.asm_group_id(g), n0)) continue;
      if (link_inf.ln_n >= MAXLINK) stop_links(mdoc, "MAXLINK", MAXLINK);
      const int n = ++link_inf.ln_n;
      foundation::copy_link_fields(l, n);
      link_inf.ln_1chn(n) = cif_asym_part.asm_group_id(g);
      link_inf.ln_2chn(n) = cif_asym_part.asm_group_id(g);
    }
  }
}

}  // namespace

void open_crdcif_(int32_t mdoc, int32_t& in, std::string_view path, std::string_view name,
                  std::string_view ext, int32_t nospgr_input, const float* cell_input,
                  int32_t& isg_flag, int32_t& icell_flag, int32_t& ierr) {
  constexpr float pi = suite::kPi<float>;
  constexpr float pi180 = pi / 180.0f;
  ierr = 0;
  int32_t e = 0;
  init_crd_inf_(mdoc, e);
  crdinf.cri_iun = in;
  openfr_(in, 99, path, name, ext, e);
  crdinf.cri_iun = in;
  if (e != 0) {
    ierr = 1;
    msgerr_(mdoc, " ERROR: open input file");
    return;
  }
  com_crd_cif.held_unit = 0;
  com_crd_cif.small_molecule = 0;
  // The scattering types, links and modifications before the header's own:
  // a small-molecule file's types are passed over, and a data block before
  // the model's leaves nothing.
  const int32_t sf_before = crst_crd.cs_nsfatm;
  const int32_t links_before = link_inf.ln_n;
  const int32_t mods_before = mod_inf.mod_n;
  Header h;
  // Each data block is read afresh: what a block before the model's gave
  // (a cell, a space group, connection rows) belongs to another structure.
  const auto begin_block = [&]() {
    init_crd_inf_(mdoc, e);
    com_dict_file.prog_name_crd = ".";
    crst_crd.cs_nsymop = 0;
    // No name until the block gives one: a number alone must not meet the
    // default name.
    crdinf.cr_spgr.blank();
    crdinf.cr_soft = ".";
    cif_entity_list.n_chn_ent = 0;
    cif_ent_poly_seq.ent_nresidue = 0;
    cif_ent_link.ent_ln_n = 0;
    clear_conn_labels();
    cif_asym_part.n_grp_asm = 0;
    crst_crd.cs_nsfatm = sf_before;
    link_inf.ln_n = links_before;
    mod_inf.mod_n = mods_before;
    icell_flag = 0;
    h = Header{};
    h.mdoc = mdoc;
  };
  begin_block();
  isg_flag = 0;
  int32_t iend = -1;
  cif_refuse_repeated_items_info();
  // Set once the model's atom list is met while categories of the header
  // follow it in its block: those are read too, the atom rows passed over,
  // up to the end of the block.
  bool after_atoms = false;
  // The atom list names its atoms by label and places them by fractional
  // coordinates; decided from the list's first record.
  bool core_list = false;

  bool header_done = false;
  while (!header_done) {
    getcif_info_(in, mdoc, e, iend);
    if (e != 0) {
      // An item given twice is refused as a damaged value is, the file
      // being readable.
      ierr = cif_repeated_item_info() ? coords::kHeaderNoNumber : 3;
      return;
    }
    if (iend == -2) continue;
    if (iend != 0) {
      if (after_atoms) break;
      ierr = 2;
      return;
    }
    const int n = comcif_info.n_cif;
    if (n == 0) {
      if (after_atoms) break;
      begin_block();
      continue;
    }
    // A loop none of whose items the reader takes (the archive's sequence
    // schemes, validation lists) is passed over without taking its rows
    // apart.
    if (!h.names_known || h.names_serial != cif_names_serial_info()) {
      h.names_known = true;
      h.names_serial = cif_names_serial_info();
      h.names_taken = record_taken(h);
    }
    if (!h.names_taken) {
      cif_pass_over_rows_info(in, mdoc, e);
      if (e != 0) {
        ierr = 3;
        return;
      }
      continue;
    }
    // The working values of a loop row start afresh with every record.
    h.row.reset();
    h.sf_warned = false;
    for (int i = 1; i <= n; ++i) {
      const std::string_view written = comcif_info.itm_cif(i).view();
      const std::string_view item = symmetry_synonym(written);
      const std::string_view data = comcif_info.dt_cif(i).view();
      const float fdata = comcif_info.fdt_cif(i);
      h.written = written;
      h.value = i;
      if (scalar_item(h, item, data, fdata)) {
        if (h.refused) {
          ierr = coords::kHeaderNoNumber;
          return;
        }
        continue;
      }
      if (crystal_item(h, item, data, fdata, pi180)) {
        if (h.refused) {
          ierr = coords::kHeaderNoNumber;
          return;
        }
        icell_flag = h.ncell;
        continue;
      }
      if (loop_item(h, item, data, fdata, i == n)) {
        if (h.refused) {
          ierr = coords::kHeaderNoNumber;
          return;
        }
        continue;
      }
      if (atom_rows_begin(item)) {
        if (!after_atoms) {
          core_list = h.icsd == 0 && core_atom_list(comcif_info);
          if (core_list) h.icsd = 1;
          if (!header_after_atoms(rt::unit_file_name(in), cif_record_place_info().line, h)) {
            header_done = true;
            break;
          }
          after_atoms = true;
        }
        // The row readers take the atoms apart in their own read.
        cif_pass_over_rows_info(in, mdoc, e);
        if (e != 0) {
          ierr = 3;
          return;
        }
        break;
      }
    }
  }
  // The record holding the first atom row stays in the tokeniser for the row
  // readers, unless the header was read past it: they then read the file
  // again from its start.
  com_crd_cif.held_unit = after_atoms ? 0 : in;
  // Known only at the atom list, its names read: a small-molecule file
  // without its CSD code is read as the same file with one.
  if (core_list) crst_crd.cs_nsfatm = sf_before;
  com_crd_cif.small_molecule = h.icsd;

  if (h.icsd == 1) {
    crdinf.cr_spgr = "P 1";
    crdinf.cr_nspgr = 1;
    crdinf.cr_sett = 1;
  }
  if (cell_input != nullptr && cell_input[0] > 1.0f) {
    for (int i = 1; i <= 3; ++i) crdinf.cr_cell(i) = cell_input[i - 1];
    for (int i = 4; i <= 6; ++i) crdinf.cr_cell(i) = cell_input[i - 1] * pi180;
    h.nfract = 0;
  } else if (h.ncell < 6) {
    // Named whatever the caller's message code, as the PDB reader names an
    // absent CRYST1: every atom stands in this cell.  Once is enough.
    if (!h.cell_named) msgdoc_(1, " WARNING: CELL parameters are missing, default : 100,100,100,90,90,90");
    for (int i = 1; i <= 3; ++i) crdinf.cr_cell(i) = 100.0f;
    for (int i = 4; i <= 6; ++i) crdinf.cr_cell(i) = pi / 2.0f;
    h.nfract = 0;
  }
  icell_flag = 1;
  if (h.sg_read) isg_flag = 1;
  if (!h.sg_read && nospgr_input == 0) {
    msgdoc_(1, " WARNING: space group number and name are missing, default : P1");
    crdinf.cr_spgr = "P 1";
    crdinf.cr_nspgr = 1;
    crdinf.cr_sett = 1;
  }
  copy_cr_cs_();
  nb_frorth_(crst_crd.cs_cell(1), crst_crd.cs_cell(2), crst_crd.cs_cell(3), crst_crd.cs_cell(4),
             crst_crd.cs_cell(5), crst_crd.cs_cell(6), crst_crd.cs_frac_to_ort.data(),
             crst_crd.cs_ort_to_frac.data(), e);
  if (h.nfract < 12) {
    for (int i = 1; i <= 3; ++i) {
      for (int j = 1; j <= 3; ++j) {
        crdinf.cr_scale(i, j) = crst_crd.cs_ort_to_frac(i, j);
        crst_pdb.cs_scale(i, j) = crst_crd.cs_ort_to_frac(i, j);
      }
      crdinf.cr_u(i) = 0.0f;
      crst_pdb.cs_u(i) = 0.0f;
    }
  }
  com_crd_cif.frame_kept = coords::standard_frame(crst_pdb.cs_scale, crst_pdb.cs_u, crst_crd.cs_ort_to_frac) ? 1 : 0;
  int32_t nspgr = crst_crd.cs_nspgr;
  int32_t isett = crst_crd.cs_sett;
  rt::FixedText<24> sgname = crst_crd.cs_spgr;
  // A name without a number: the default number 1 is no number of the file.
  if (h.sg_read && !h.sg_number_read && h.icsd == 0) nspgr = 0;
  // A short monoclinic name ("C 2") is put in the setting the cell shows, as
  // in a CRYST1 record, not read as the first setting the library lists.
  if (nospgr_input == 0 && h.icsd == 0) {
    const rt::FixedText<24> written = sgname;
    const int32_t sett =
        foundation::settle_space_group_name(sgname, crst_crd.cs_cell(5), crst_crd.cs_cell(6));
    if (!(sgname == written.view())) isett = sett;
  }
  if (nospgr_input != 0) {
    nspgr = nospgr_input;
    isett = 1;
    sgname.blank();
    isg_flag = 1;
  }
  int32_t nsym = 0;
  foundation::file_space_group(sgname, nspgr, nsym, crst_crd.cs_m_cs.data(), crst_crd.cs_v_cs.data(),
                               MAXNSO);
  crst_crd.cs_nsym = nsym;
  crdinf.cr_nsym = nsym;
  crdinf.cr_nspgr = nspgr;
  crst_crd.cs_nspgr = nspgr;
  crdinf.cr_sett = isett;
  crst_crd.cs_sett = isett;
  crdinf.cr_spgr = sgname;
  crst_crd.cs_spgr = sgname;

  point_groups_to_entities();
  complete_links(mdoc);
  ierr = 0;
}

int32_t coords::conn_label_seq(int32_t l, int e) { return g_conn_label_seq(e, l); }

int32_t coords::conn_label_width(int32_t l, int e) {
  return l >= 1 && l <= MAXLINK ? g_conn_label_width(e, l) : 0;
}

bool coords::covalent_conn_kind(std::string_view name) {
  const std::string_view v = rt::trim_right(name);
  for (std::string_view k : kCovalentKinds)
    if (is_kind(v, k)) return true;
  return false;
}

namespace {

// A line that opens something other than a row of the loop before it: the
// atom list it follows then has no row.
bool opens_no_row(std::string_view line) {
  for (std::string_view word : {"#", "_", "loop_", "data_", "save_", "global_", "stop_"})
    if (line.substr(0, word.size()) == word) return true;
  return false;
}

}  // namespace

coords::AtomScan coords::scan_for_atoms(std::string_view file) {
  AtomScan found = AtomScan::kEmpty;
  const int unit = rt::open_to_look(file);
  if (unit == 0) return found;
  // Set on the names of an atom list, until the line after them shows
  // whether a row follows.
  bool atom_names = false;
  // Records are read to a bound, so a line without end (a damaged or binary
  // file) is never held whole.
  std::string_view rec;
  while (rt::read_record_view(unit, rec) == rt::IOSTAT_OK) {
    const std::size_t lead = rec.find_first_not_of(" \t\r");
    if (lead == std::string_view::npos) continue;
    if (found == AtomScan::kEmpty) found = AtomScan::kNoAtoms;
    if (rec.substr(0, 4) == "ATOM" || rec.substr(0, 6) == "HETATM") {
      found = AtomScan::kAtoms;
      break;
    }
    const std::string_view line = rec.substr(lead);
    if (line.substr(0, 11) == "_atom_site.") {
      // A value beside the name: one atom written without a loop.
      const std::size_t gap = line.find_first_of(" \t");
      if (gap != std::string_view::npos &&
          line.find_first_not_of(" \t\r", gap) != std::string_view::npos) {
        found = AtomScan::kAtoms;
        break;
      }
      atom_names = true;
      continue;
    }
    if (atom_names) {
      if (!opens_no_row(line)) {
        found = AtomScan::kAtoms;
        break;
      }
      // Another block may yet hold atoms.
      atom_names = false;
      found = AtomScan::kAtomListWithoutRows;
    }
  }
  if (atom_names && found != AtomScan::kAtoms) found = AtomScan::kAtomListWithoutRows;
  rt::unit_close(unit);
  return found;
}

void coords::no_atoms_message(int32_t mdoc, bool empty) {
  msgerr_(mdoc, empty
                    ? " ERROR: input file is empty"
                    : " ERROR: input file holds no atoms (no ATOM or HETATM record, no atom list)");
}

void coords::header_failed(int32_t mdoc, int32_t in, int32_t& ierr) {
  if (ierr == 1) {
    msgerr_(mdoc, " ERROR: open input file");
    return;
  }
  if (ierr == kHeaderNoNumber) {
    // A damaged value of the header: the status of a damaged row.
    msgerr_(mdoc, " ERROR: read input file");
    ierr = 3;
  } else {
    // A file with atoms that no block holds (no "data_" line before them)
    // ends the header all the same.
    const AtomScan scan = ierr == 2 ? scan_for_atoms(rt::unit_file_name(in)) : AtomScan::kAtoms;
    if (scan == AtomScan::kAtoms)
      msgerr_(mdoc, " ERROR: reading title of input file");
    else if (scan == AtomScan::kAtomListWithoutRows)
      msgerr_(mdoc, " ERROR: input file holds no atoms (an atom list without rows)");
    else
      no_atoms_message(mdoc, scan == AtomScan::kEmpty);
    ierr = 2;
  }
  rt::unit_close(in);
  com_crd_cif.held_unit = 0;
}
