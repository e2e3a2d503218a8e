// The PDB record reader and the atom-line decoder.
#include "coords/pdb_records.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "coords/ions.h"
#include "coords/no_occupancy.h"
#include "coords/pdb_aniso.h"
#include "coords/pdb_bonds.h"
#include "coords/pdb_chains.h"
#include "coords/pdb_corrections.h"
#include "coords/pdb_crystal.h"
#include "coords/pdb_fields.h"
#include "coords/pdb_header.h"
#include "coords/pdb_state.h"
#include "coords/scale_frame.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/file_open.h"
#include "foundation/line_reader.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "foundation/spgr_names.h"
#include "foundation/vec3.h"
#include "foundation/words.h"
#include "runtime/units.h"
#include "suite/pi.h"

namespace {

// The sites of the water being read, so that none is read onto another.
pdb::WaterInRead water_in_read;

// The mmCIF row whose atom line is being decoded; none on the PDB road.
// With it, the N or P of its residue that the rows' look-ahead found.
const coords::CifRowOfLine* cif_row = nullptr;
const coords::CifChainAtom* cif_ahead = nullptr;
// The rows given after it (coords::cif_rows_ahead).
const std::array<char, 80>* cif_lines_ahead = nullptr;
const coords::CifRowOfLine* cif_rows_after = nullptr;
int32_t cif_n_ahead = 0;

// The run of waters of a blank chain being read, by number.
pdb::BlankChainNumbers blank_waters;
pdb::BlankChainRestarts blank_restarts;
// Whether the residue being read is chain-bonded to the blank chain's
// residue before, and whether the atom before was a standard residue
// written as HETATM.
bool joined_before = false;
bool standard_het_before = false;
// The polymer residues of the piece of a blank chain being read, by number.
pdb::BlankChainNumbers blank_residues;
pdb::ResidueAgain residue_atoms;
pdb::WaterNumbersAgain water_numbers;
pdb::LaterWaterNumbers later_waters;
// The four columns of number the file gives the atom before, where the
// reader may have read it at a number of its own.
char given_before[4] = {' ', ' ', ' ', ' '};
// Column 21 of the atom before, the first character of a two-character
// chain name (LA beside A), blank for a name of one.
char name_first_before = ' ';
// Every line of an mmCIF file on the road through PDB lines, its runs in
// the order they are read and the line being read, for the look at the
// numbers of its later waters (coords::cif_lines_of_file).
const std::array<char, 80>* cif_all_lines = nullptr;
const coords::CifLineRun* cif_runs = nullptr;
int32_t cif_n_runs = 0;
int32_t cif_run_now = 0, cif_line_now = 0;
coords::InterleavedCopies interleaved_copies;

// The atom line just read stands in the blank chain: no chain name in
// columns 21-22 and no segment (a number there, such as the charge a
// docking program writes, is none).
bool blank_chain_line() {
  const rt::FixedText<8>& part = sttcrec.st_line_part;
  if (part(1) != ' ' || part(2) != ' ') return false;
  const std::string_view seg = part.sub(3, 6);
  return rt::len_trim(seg) == 0 || seg.find('.') != std::string_view::npos;
}

// The prefix's length is the literal's, so that the comparison is a move
// and a compare wherever the compiler leaves the call: it runs for every line.
template <std::size_t N>
bool starts(std::string_view s, const char (&p)[N]) {
  return s.size() >= N - 1 && std::memcmp(s.data(), p, N - 1) == 0;
}

// Record names are compared on six characters, the line blank-padded.
bool rec_is(std::string_view line, const char (&name6)[7]) {
  if (line.size() >= 6) return std::memcmp(line.data(), name6, 6) == 0;
  char buf[6];
  for (int i = 0; i < 6; ++i) buf[i] = i < static_cast<int>(line.size()) ? line[i] : ' ';
  return std::memcmp(buf, name6, 6) == 0;
}

// A line too short for a field is copied apart, so that the compiler takes each
// copy in at its call for what it is: a move.
void take_short(rt::TextRef t, std::string_view line, int first, int w) {
  t = pdbf::cols(line, first, first + w - 1);
}

// Columns first .. first + W - 1 of a line into a text, blank-padded, as
// the text's assignment from pdbf::cols.  Both roads hand over lines of
// eighty columns, where the copy is one move: it runs for every field of
// every atom line.
template <int N, int W = N>
void take(rt::FixedText<N>& t, std::string_view line, int first) {
  static_assert(W <= N);
  if (line.size() < static_cast<std::size_t>(first - 1 + W)) return take_short(t, line, first, W);
  std::memcpy(t.c, line.data() + first - 1, W);
  if constexpr (W < N) std::memset(t.c + W, ' ', N - W);
}

void close_input(int32_t& iend, int32_t value) {
  iend = value;
  if (crdinf.cri_iun > 0) rt::unit_close(crdinf.cri_iun);
  crdinf.cri_iun = 0;
  sttcrec.st_atom_pending = 0;
}

// Class "D" of the character classes, tested directly: it runs several
// times for every atom line.
bool is_digit(char c) { return c >= '0' && c <= '9'; }

char bump_counter() {
  sttcrec.st_chain_count = (sttcrec.st_chain_count + 1) % 10;
  return static_cast<char>('0' + sttcrec.st_chain_count);
}

void pdb_defaults_at_open(rt::FixedText<4>& acode) {
  constexpr float pi = suite::kPi<float>;
  for (int i = 1; i <= 3; ++i) crdinf.cr_cell(i) = 1.0f;
  for (int i = 4; i <= 6; ++i) crdinf.cr_cell(i) = pi / 2.0f;
  crdinf.cr_cd_pdb = "xxxx";
  crdinf.cr_name_pdb = "----";
  crdinf.cr_date_pdb = "XX-XXX-XX";
  crdinf.cr_title = "---";
  crdinf.cr_nspgr = 1;
  crdinf.cr_sett = 1;
  crdinf.cr_spgr = "P 1";
  crdinf.cr_model_pdb = 0;
  crdinf.cr_ncs = 0;
  crdinf.cr_mult_flag = 0;
  crdinf.cr_resl_pdb = ".";
  crdinf.cr_rfac_pdb = ".";
  coords::pdb_atom_state_open(acode);
}

}  // namespace

int32_t coords::refuse_record_number(std::string_view record, std::string_view field,
                                     std::string_view text, std::string_view line) {
  msgerr_(1, " ERROR: wrong number in PDB " + std::string(record) + " record, line " +
                 std::to_string(sttcrec.st_nline) + ": " + std::string(field) + " \"" +
                 std::string(rt::trim(text)) + "\"");
  msgerr_(1, line);
  return 1;
}

void coords::pdb_atom_state_open(rt::FixedText<4>& acode) {
  water_in_read.clear();
  crdatm.cr_ia = 0;
  crdatm.cr_ires = 0;
  crdatm.cr_igres = 0;
  crdatm.cr_ich = 0;
  crdatm.cr_igroup = 0;
  crdatm.cr_b_flag = 0;
  crdatm.cr_mult_factor = 1;
  crdatm.cr_chain.blank();
  crdatm.cr_group.blank();
  crdatm.cr_rtype = ".";
  crdatm.cr_term = ".";
  acode.blank();
  sttcrec.st_iend = 0;
  sttcrec.st_iend_next = 0;
  sttcrec.st_chain_count = 0;
  sttcrec.st_ntitle = 0;
  sttcrec.st_nkeywds = 0;
  sttcrec.st_occ_warned = 0;
  sttcrec.st_segid_warned = 0;
  sttcrec.st_cell_flag = 0;
  sttcrec.st_spare = 0;
  sttcrec.st_prev_hetatm = 0;
  sttcrec.st_scale_flag = 0;
  sttcrec.st_spgr_flag = 0;
  sttcrec.st_first_atom_done = 0;
  sttcrec.st_iend_read = 0;
  sttcrec.st_frame_kept = 0;
  sttcrec.st_atom_pending = 0;
  sttcrec.st_nline = 0;
  sttcrec.st_number_ctrl = 0;
  sttcrec.st_number_ctrl_next = 0;
  sttcrec.st_names_left = 0;
  sttcrec.st_number_high = 0;
  sttcrec.st_number_wrap = 0;
  sttcrec.st_line_part.blank();
  sttcrec.st_wide_warned = 0;
  sttcrec.st_wrap_warned = 0;
  sttcrec.st_again_warned = 0;
  sttcrec.st_residue_again = 0;
  blank_waters.clear();
  blank_restarts.clear();
  joined_before = false;
  standard_het_before = false;
  blank_residues.clear();
  residue_atoms.clear();
  water_numbers.clear();
  later_waters.clear();
  std::memset(given_before, ' ', sizeof given_before);
  name_first_before = ' ';
  coords::cif_rows_ahead(nullptr, nullptr, 0);
  coords::cif_lines_of_file(nullptr, nullptr, 0);
  interleaved_copies.clear();
  sttcrec.st_water_sites = 0;
  sttcrec.st_zero_aniso = 0;
  sttcrec.st_atom_lines = 0;
  sttcrec.st_break_due = 0;
  sttcrec.st_scale_rows = 0;
  sttcrec.st_model_closed = 0;
  sttcrec.st_line_next.blank();
  sttcrec.st_last_aname.blank();
  sttcrec.st_last_alt.blank();
  sttcrec.st_last_seg.blank();
  sttcrec.st_last_atom_id.blank();
  coords::negative_occupancy_start();
}

namespace {

// A model without a cell before its atoms takes the CRYST1 record (and the
// SCALE rows) given after them and before the next MODEL record: writers
// that put each frame's box after its model (MODEL, atoms, ENDMDL, CRYST1),
// and a single model followed by its CRYST1.  Every atom needs the cell, so
// it is read at the first atom, from a look at the lines that follow; a
// cell given before the atoms is kept whatever follows them.  Non-zero when
// a record found there was refused.
[[gnu::cold, gnu::noinline]]
int32_t cell_after_atoms(int32_t nospgr_input) {
  const int unit = rt::open_to_look(rt::unit_file_name(crdinf.cri_iun));
  if (unit == 0) return 0;
  struct Found {
    std::string line;
    int32_t nline = 0;
  } cryst, scale[3];
  bool in_atoms = false;
  int32_t nline = 0;
  std::string_view rec;
  while (rt::read_record_view(unit, rec, 256) == rt::IOSTAT_OK) {
    ++nline;
    if (!in_atoms) {
      in_atoms = starts(rec, "ATOM") || starts(rec, "HETA");
      continue;
    }
    if (rec_is(rec, "MODEL ")) break;
    Found* f = nullptr;
    if (starts(rec, "CRYS"))
      f = &cryst;
    else if (rec_is(rec, "SCALE1") || rec_is(rec, "SCALE2") || rec_is(rec, "SCALE3"))
      f = &scale[rec[5] - '1'];
    if (f != nullptr && f->nline == 0) {
      f->line.assign(rec);
      f->nline = nline;
    }
  }
  rt::unit_close(unit);
  if (cryst.nline == 0) return 0;
  // Read as the record loop reads a line, and named by its own line number.
  const int32_t nline_atom = sttcrec.st_nline;
  const auto read = [](const Found& f, auto parse) {
    rt::FixedText<256> text(f.line);
    check_line_(0, text);
    sttcrec.st_nline = f.nline;
    return parse(text.sub(1, 80));
  };
  int32_t refused = read(cryst, [&](std::string_view l) { return rdcryst1_(l, nospgr_input); });
  if (sttcrec.st_scale_rows == 0)
    for (const Found& f : scale)
      if (refused == 0 && f.nline != 0) refused = read(f, rdscale_);
  sttcrec.st_nline = nline_atom;
  return refused;
}

// Defaults of the first atom of a file: the cell when no CRYST1 came, the
// SCALE matrix when no SCALE records came, and an imposed space group.
// Non-zero when a CRYST1 or SCALE record after the atoms was refused.
int32_t first_atom_defaults(int32_t nospgr_input, const float* cell_input) {
  constexpr int32_t mdoc = 1;
  constexpr float pi = suite::kPi<float>;
  com_rdat.rd_oxt_atom = "N";
  // Also under a cell of the caller's: the atoms are taken from the file's
  // cell into that one.
  if (sttcrec.st_cell_flag == 0 && cif_row == nullptr && cell_after_atoms(nospgr_input) != 0)
    return 1;
  if (sttcrec.st_cell_flag == 0 && cell_input[0] < 1.0f) {
    msgdoc_(mdoc, " WARNING: \"CRYST1\" card is absent in input PDB file");
    msgdoc_(mdoc, "          Default: 100,100,100,90,90,90");
    sttcrec.st_scale_flag = 0;
    for (int i = 1; i <= 3; ++i) crst_crd.cs_cell(i) = 100.0f;
    for (int i = 4; i <= 6; ++i) crst_crd.cs_cell(i) = pi / 2.0f;
    crdinf.cr_nsym = crst_crd.cs_nsym = 1;
    crdinf.cr_nspgr = crst_crd.cs_nspgr = 1;
    crdinf.cr_sett = crst_crd.cs_sett = 1;
    crdinf.cr_spgr = "P 1";
    crst_crd.cs_spgr = "P 1";
  } else if (sttcrec.st_cell_flag < 0) {
    sttcrec.st_scale_flag = 0;
  }
  if (sttcrec.st_scale_flag == 0 && cell_input[0] < 1.0f)
    msgdoc_(mdoc, " WARNING: \"SCALE\" card is absent in input PDB file");
  // A row left out would stay zero (or the unit row) and flatten or shear
  // every atom: the set is passed over and the cell gives the frame.
  if (sttcrec.st_scale_flag > 0 && sttcrec.st_scale_rows != 7) {
    for (int n = 1; n <= 3; ++n)
      if ((sttcrec.st_scale_rows & 1 << (n - 1)) == 0)
        msgdoc_(mdoc,
                " WARNING: \"SCALE" + std::to_string(n) + "\" card is absent in input PDB file");
    msgdoc_(mdoc, "          SCALE records not used: the frame of the cell is taken");
    sttcrec.st_scale_flag = 0;
  }
  int32_t ierr = 0;
  nb_frorth_(crst_crd.cs_cell(1), crst_crd.cs_cell(2), crst_crd.cs_cell(3), crst_crd.cs_cell(4),
             crst_crd.cs_cell(5), crst_crd.cs_cell(6), crst_crd.cs_frac_to_ort.data(),
             crst_crd.cs_ort_to_frac.data(), ierr);
  if (sttcrec.st_scale_flag == 0) {
    for (int i = 1; i <= 3; ++i) {
      for (int j = 1; j <= 3; ++j) crst_pdb.cs_scale(i, j) = crst_crd.cs_ort_to_frac(i, j);
      crst_pdb.cs_u(i) = 0.0f;
    }
  } else {
    sttcrec.st_frame_kept =
        coords::standard_frame(crst_pdb.cs_scale, crst_pdb.cs_u, crst_crd.cs_ort_to_frac) ? 1 : 0;
  }
  if (sttcrec.st_spgr_flag == 0 && nospgr_input != 0) {
    rt::FixedText<24> name;
    name.blank();
    int32_t number = nospgr_input;
    foundation::file_space_group(name, number, crst_crd.cs_nsym, crst_crd.cs_m_cs.data(),
                                 crst_crd.cs_v_cs.data(), MAXNSO);
    crdinf.cr_nsym = crst_crd.cs_nsym;
    crdinf.cr_nspgr = crst_crd.cs_nspgr = number;
    crdinf.cr_sett = crst_crd.cs_sett = 1;
    crdinf.cr_spgr = name;
    crst_crd.cs_spgr = name;
    sttcrec.st_spgr_flag = 1;
  }
  sttcrec.st_first_atom_done = 1;
  return 0;
}

// Element and charge column (columns 77-80) in the form the reader keeps.
void clean_element_column(rt::FixedText<4>& e, int len_input) {
  if (is_digit(e(1)) || is_digit(e(2)) || e(2) == ' ' || len_input < 77) {
    e.blank();
    return;
  }
  // Writers that print the charge as an integer give a digit without its
  // sign: a zero where the atom has no charge, and no plus.  Kept as read,
  // the digit would join the element ("H0", no element to any reader).
  if (len_input >= 79 && e(3) != '+' && e(3) != '-' && e(4) != '+' && e(4) != '-') {
    if (is_digit(e(3)) && e(4) == ' ') std::swap(e(3), e(4));
    if (e(3) == ' ' && is_digit(e(4))) {
      if (e(4) == '0')
        e(4) = ' ';
      else
        e(3) = '+';
    }
  }
  if (len_input >= 80) {
    // A charge written digit-then-sign is turned round first, so that a
    // zero charge is cleared in either notation.
    if (is_digit(e(3)) && (e(4) == '+' || e(4) == '-')) std::swap(e(3), e(4));
    if ((e(3) == '+' || e(3) == '-') && e(4) == '0') {
      e(3) = ' ';
      e(4) = ' ';
    }
  }
  if (e(1) == ' ') {
    e(1) = e(2);
    e(2) = e(3);
    e(3) = e(4);
    e(4) = ' ';
  }
  for (int k = 0; k < 2 && e(2) == ' '; ++k) {
    e(2) = e(3);
    e(3) = e(4);
    e(4) = ' ';
  }
  if (is_digit(e(1)) || e(1) == ' ') {
    e.blank();
    return;
  }
  // Capitals and blanks, the usual column, are what the clean-up would leave.
  for (char c : e.c)
    if (!((c >= 'A' && c <= 'Z') || c == ' ')) {
      check_line_(1, e);
      return;
    }
}

// Header and crystal records, which a file gives before its atoms, or a
// trajectory before each frame's MODEL record.
bool of_a_later_model(std::string_view line) {
  return rec_is(line, "REMARK") || rec_is(line, "HEADER") || rec_is(line, "COMPND") ||
         starts(line, "TITLE") || rec_is(line, "KEYWDS") || starts(line, "CRYS") ||
         starts(line, "SCALE") || starts(line, "MTRIX");
}

int32_t bad_number(std::string_view line) {
  msgerr_(1, " ERROR: wrong number in PDB atom record:");
  msgerr_(1, line);
  return 1;
}

// A byte that is no character (a NUL, a tab, any control or non-ASCII
// byte) in the residue number or in columns 31-66 of an atom record, where
// coordinates, occupancy and B stand.  The line clean-up turns such bytes
// into blanks, which a number field passes over: -2<NUL>.052 would read as
// -2.052.
bool control_in_number_columns(const rt::FixedText<256>& line) {
  const auto unclean = [&](int first, int last) {
    for (int k = first; k <= last; ++k) {
      const unsigned char u = static_cast<unsigned char>(line(k));
      if (u < 32 || u > 126) return true;
    }
    return false;
  };
  return unclean(23, 26) || unclean(31, 66);
}

// The same for the bytes that the line reader blanked at the line's end
// before the line was seen here: a NUL in column 65 of a line that ends in
// column 66 would otherwise read as a blank.
bool control_at_number_end(const foundation::LineEndControls& c) {
  const auto in_number = [](int32_t k) { return (k >= 23 && k <= 26) || (k >= 31 && k <= 66); };
  return in_number(c.last) || in_number(c.before_last);
}

void move_to_column_14(rt::FixedText<4>& aname) {
  aname(4) = aname(3);
  aname(3) = aname(2);
  aname(2) = aname(1);
  aname(1) = ' ';
}

// A name of a file that writes its names left-justified, moved to where the
// PDB layout puts it: column 14 for a name of fewer than four characters
// whose element has one letter.  The element is that of the element columns
// (`acode`, cleaned), or else the one the name and residue give.
void lay_out_left_name(rt::FixedText<4>& aname, std::string_view rname,
                       const rt::FixedText<4>& acode) {
  if (aname(1) < 'A' || aname(1) > 'Z' || aname(4) != ' ') return;
  // An ion's name is laid out as its name alone reads: the ion rule, which
  // looks at the whole residue, reads it as the ion.
  if (!coords::ion_symbol(aname.view(), rname).is_blank()) rname = {};
  const bool two = acode.is_blank() ? pdb::element_of_left_name(aname.view(), rname)(2) != ' '
                                    : acode(2) >= 'A' && acode(2) <= 'Z';
  if (!two) move_to_column_14(aname);
}

// Water residues as a file names them, before the name correction renames
// them.
constexpr std::string_view kWaterAsRead[] = {"HOH", "DOD", "WAT", "H2O", "DUM"};

// A water atom without element columns whose name stands from column 13
// though its first two letters are no element (D1, OH2, HW1) is read from
// column 14, where the water rules read its first letter: from column 13
// the name correction takes its second (D1 an oxygen, OH2 a hydrogen).
void lay_out_water_name(rt::FixedText<4>& aname, const rt::FixedText<3>& rname) {
  if (aname(1) < 'A' || aname(1) > 'Z' || aname(4) != ' ' || is_heavy_element(aname(1), aname(2)))
    return;
  std::string_view r = rname.trimmed();
  while (!r.empty() && r[0] == ' ') r.remove_prefix(1);
  if (foundation::name_in(r, kWaterAsRead)) move_to_column_14(aname);
}

// Whether the file writes its one-letter names from column 13: the first
// atom line of the first model named N, C or O alone tells, and a name
// standing from column 14 before it says the file keeps the PDB layout.  The
// unit is read from its start and rewound; a protein file tells at its
// first atom.
bool names_left_justified(int32_t unit) {
  bool left = false;
  std::string_view rec;
  while (rt::read_record_view(unit, rec, 80) == rt::IOSTAT_OK) {
    if (rec_is(rec, "ENDMDL") || rec_is(rec, "END   ")) break;
    if (rec.size() < 16 || !(starts(rec, "ATOM") || starts(rec, "HETA"))) continue;
    const std::string_view name = rec.substr(12, 4);
    if (name == "N   " || name == "C   " || name == "O   ") {
      left = true;
      break;
    }
    if (name[0] == ' ' && name[1] >= 'A' && name[1] <= 'Z') break;
  }
  rt::unit_rewind(unit);
  return left;
}

// Simulation programs number waters past 9999, which columns 23-26 cannot
// hold, in one of two ways: on into column 27, the insertion code's (10000
// in columns 23-27), or from 0 or 1 again after 9999.  Either way a water
// keeps the last four digits of its number, and the waters of one chain key
// after each 10000 or restart become a chain of their own (the same chain
// identifier or segment), so that no two waters of a chain share a number
// and none is taken for an atom of the water before it.

// A number of five digits in columns 23-27 (key characters 3-7): its
// ten-thousands in `high`, its last four digits right-justified in
// characters 3-6 and no insertion code.
bool take_five_digit_number(rt::FixedText<12>& key, int32_t& high) {
  for (int i = 3; i <= 7; ++i)
    if (!is_digit(key(i))) return false;
  high = key(3) - '0';
  int32_t low = 0;
  for (int i = 4; i <= 7; ++i) low = low * 10 + (key(i) - '0');
  for (int i = 6; i >= 3; --i) {
    key(i) = low > 0 || i == 6 ? static_cast<char>('0' + low % 10) : ' ';
    low /= 10;
  }
  key(7) = ' ';
  return true;
}

// Whether a water, after a water of the same chain key given the four
// columns `prev`, goes past 9999 (its ten-thousands differ) or restarts
// after 9999.  Only the residue's
// first atom can: its other atoms repeat its number.
bool number_wraps(const char* prev, int32_t prev_high, const rt::FixedText<12>& key,
                  int32_t high) {
  int32_t before = 0, now = 0;
  if (!pdbf::read_int(std::string_view(prev, 4), before) || !pdbf::read_int(key.sub(3, 6), now))
    return high != prev_high;
  return pdb::water_number_wraps(prev_high, before, high, now);
}

// Whether the hand-back word before an atom line ends the chain at it: a
// terminator, a bond record, CONECT, or the file's start.
bool record_ends_chain(const rt::FixedText<6>& rec, std::string_view line) {
  return !(rec == pdbf::cols(line, 1, 6)) && !(rec == std::string_view("ATOM  "));
}

// An atom line read but not kept (a hydrogen left out, a water model's
// site).  A chain that a TER record ends before it still ends: the next
// atom kept opens the next chain (simulation programs write a capped
// peptide from the cap's methyl hydrogen, H1 or HH31).
void leave_out(rt::FixedText<6>& rec, std::string_view line) {
  if (record_ends_chain(rec, line)) sttcrec.st_break_due = 1;
  rec = "?";
}

// A refused atom record: the reason, the line number and the record.  An
// mmCIF row's line is no line of the file: the row is named by its serial
// and the line it begins on, as the mmCIF reading entry names it.
int32_t bad_record(std::string_view reason, int32_t line_no, std::string_view line) {
  if (cif_row != nullptr) {
    msgerr_(1, " ERROR: atom " + std::to_string(cif_row->serial) + ": " + std::string(reason) +
                   ", row at line " + std::to_string(cif_row->line));
    return 1;
  }
  msgerr_(1, " ERROR: " + std::string(reason) + " in PDB atom record, line " + std::to_string(line_no) + ":");
  msgerr_(1, line);
  return 1;
}

// Atoms in a frame of their own are taken into the standard frame of the
// cell; atoms already in it are kept as written.
void to_cell_frame(const float* xyz, float* out) {
  if (sttcrec.st_scale_flag > 0 && sttcrec.st_frame_kept == 0) {
    float y[3];
    for (int i = 1; i <= 3; ++i)
      y[i - 1] = crst_pdb.cs_scale(i, 1) * xyz[0] + crst_pdb.cs_scale(i, 2) * xyz[1] +
                 crst_pdb.cs_scale(i, 3) * xyz[2] + crst_pdb.cs_u(i);
    for (int i = 1; i <= 3; ++i)
      out[i - 1] = crst_crd.cs_frac_to_ort(i, 1) * y[0] + crst_crd.cs_frac_to_ort(i, 2) * y[1] +
                   crst_crd.cs_frac_to_ort(i, 3) * y[2];
  } else {
    for (int i = 0; i < 3; ++i) out[i] = xyz[i];
  }
}

// Each atom line after `line` of its residue (columns 18-27 alike), with its
// position in the cell frame, to `f` until `f` returns true: the PDB road
// reads them ahead, past the records that belong to an atom line, and sets
// the unit back; the mmCIF road takes the rows given after the row.  True
// when `f` did.  At most `limit` atom lines are looked at, and none from
// the one where the name and alternate code of `line` come again (a
// further copy of the residue begins there): a file of thousands of
// residues at one number (Open Babel writes every ligand at 0) is then
// read ahead a few lines at each, never to the end of the copies.
// Lines that `skip` names are passed over as lines whose position cannot be
// read are, before it is read: a look that leaves them out reads none.
struct SkipNone {
  bool operator()(std::string_view) const { return false; }
};

template <class F, class Skip = SkipNone>
bool residue_lines_ahead(std::string_view line, int limit, F f, Skip skip = {}) {
  // Columns 18-27 alike and 13-17 not, compared in place: a look runs at
  // every water given again.
  const bool line_whole = line.size() >= 27;
  const auto atom_of_residue = [&](std::string_view l) {
    return (starts(l, "ATOM") || starts(l, "HETA")) && l.size() >= 27 && line_whole &&
           std::memcmp(l.data() + 17, line.data() + 17, 10) == 0 &&
           std::memcmp(l.data() + 12, line.data() + 12, 5) != 0;
  };
  const auto belongs = [](std::string_view l) {
    return starts(l, "ANIS") || starts(l, "SIGA") || starts(l, "SIGU") || starts(l, "USER");
  };
  const auto give = [&](std::string_view l, const float* given) {
    float at[3], xyz[3];
    if (skip(l) || (given == nullptr && l.size() < 54)) return false;
    for (int k = 0; k < 3 && given == nullptr; ++k)
      if (!pdbf::read_real(pdbf::cols(l, 31 + 8 * k, 38 + 8 * k), 3, at[k])) return false;
    to_cell_frame(given != nullptr ? given : at, xyz);
    return static_cast<bool>(f(l, static_cast<const float*>(xyz)));
  };
  if (cif_row != nullptr) {
    for (int32_t i = 0; i < cif_n_ahead && i < limit; ++i) {
      const std::string_view l(cif_lines_ahead[i].data(), 80);
      if (!atom_of_residue(l)) return false;
      if (give(l, cif_rows_after[i].xyz)) return true;
    }
    return false;
  }
  const std::string_view next = sttcrec.st_line_next.view();
  if (limit < 1 || sttcrec.st_iend_read != 0 || !(belongs(next) || atom_of_residue(next)))
    return false;
  if (atom_of_residue(next)) {
    if (give(next, nullptr)) return true;
    if (--limit == 0) return false;
  }
  const int32_t unit = crdinf.cri_iun;
  // The unit is set back to its mark, one step whatever was read.
  const long mark = rt::unit_mark(unit);
  if (mark < 0) return false;
  bool found = false;
  std::string_view rec;
  while (!found && limit > 0 && rt::read_record_view(unit, rec, 80) == rt::IOSTAT_OK) {
    if (belongs(rec)) continue;
    if (!atom_of_residue(rec)) break;
    found = give(rec, nullptr);
    --limit;
  }
  rt::unit_return_to(unit, mark);
  return found;
}

// Atom lines of a residue looked at ahead: more than any residue holds
// before its N or P, or in one copy of it.
constexpr int kResidueLinesAhead = 256;

// The looks ahead below (and the cell after the atoms) run at a few lines
// of a file, never at most atoms: they are kept out of line and cold, so
// that the unit's per-atom code keeps its small helpers inline within the
// compiler's budget for one unit, about a tenth of the read.

// The N (or P) of the residue whose first atom `line` is, where it stands
// further on (after the residue's hydrogens): the residue's lines after it
// are read ahead and the unit set back to where it was.  Only a residue
// whose numbers drop is looked at so, once.
[[gnu::cold, gnu::noinline]]
bool chain_atom_ahead(std::string_view line, rt::FixedText<4>& name, float* xyz) {
  return residue_lines_ahead(line, kResidueLinesAhead, [&](std::string_view l, const float* at) {
    const std::string_view n = rt::trim(pdbf::cols(l, 13, 16));
    if (n != "N" && n != "P") return false;
    name = n;
    std::copy(at, at + 3, xyz);
    return true;
  });
}


// A residue's conformers written one after the other at its number without
// their alternate codes (Open Babel's PDB and mmCIF drop them) look like the
// residue given again: the copy's first atom may lie more than a bond from
// every atom before it.  The copy is that residue where more of its atoms
// (those of the copy read before, the atom given again, and each atom ahead
// whose name comes again) lie within a bond of the atom of their name
// before them than lie apart; as many apart as on, it is the residue given
// again.  A copy is no longer than the residue before it.
[[gnu::cold, gnu::noinline]]
bool copy_lies_on(std::string_view line, const pdb::ResidueAgain& held) {
  struct Seen {
    char name[5];
    float xyz[3];
  };
  // Reused: the look runs at every residue given again.
  static std::vector<Seen> seen;
  seen.clear();
  int on = held.copy_on(), apart = held.copy_apart() + 1;
  const int limit = std::min(held.size() + 1, kResidueLinesAhead);
  residue_lines_ahead(line, limit, [&](std::string_view l, const float* at) {
    const std::string_view name = pdbf::cols(l, 13, 17);
    const Seen* before = nullptr;
    for (const Seen& s : seen)
      if (std::string_view(s.name, 5) == name) before = &s;
    if (before != nullptr) {
      ++(coords::nearer(before->xyz, at, coords::kChainBondReach) ? on : apart);
    } else if (held.holds(name.substr(0, 4), name[4])) {
      ++(held.near_namesake(name.substr(0, 4), name[4], at) ? on : apart);
    }
    Seen& s = seen.emplace_back();
    std::memcpy(s.name, name.data(), 5);
    std::memcpy(s.xyz, at, sizeof s.xyz);
    return false;
  });
  return on > apart;
}

// Whether the residue whose first atom `line` is (`name`, `xyz`) is
// chain-bonded to the blank chain's residue before, judged at its N or P
// wherever it stands among the residue's atoms.
[[gnu::cold, gnu::noinline]]
bool bonded_at_n_or_p(std::string_view line, const rt::FixedText<4>& name, const float* xyz) {
  if (blank_restarts.bonded(name.view(), xyz)) return true;
  if (name == std::string_view("N") || name == std::string_view("P")) return false;
  rt::FixedText<4> ahead;
  float at[3];
  return chain_atom_ahead(line, ahead, at) && blank_restarts.bonded(ahead.view(), at);
}

// Whether an atom line is a hydrogen's: by its element columns, or
// without them by its name (" H1 ").
bool hydrogen_line(std::string_view l) {
  const std::string_view element = l.size() >= 78 ? rt::trim(pdbf::cols(l, 77, 78)) : "";
  if (!element.empty()) return element == "H";
  return l.size() >= 14 && l[12] == ' ' && l[13] == 'H';
}

// Whether the atom after `line` in its residue has another name: a
// residue's second atom named as its first is a conformer where the
// residue goes on with other names.  Where hydrogens are left out
// (`no_hydrogens`), the next atom kept tells: a water's O, H1, H2, O, ...
// is waters given again, not an O and its conformer.
[[gnu::cold, gnu::noinline]]
bool next_atom_named_otherwise(std::string_view line, bool no_hydrogens) {
  bool other = false;
  // A water's two hydrogens stand between its O and the next water's.
  residue_lines_ahead(
      line, no_hydrogens ? 3 : 1,
      [&](std::string_view l, const float*) {
        other = !(pdbf::cols(l, 13, 16) == pdbf::cols(line, 13, 16));
        return true;
      },
      [no_hydrogens](std::string_view l) { return no_hydrogens && hydrogen_line(l); });
  return other;
}

// The number of a water's atom line, noted in later_waters.
void note_later_water(std::string_view l) {
  if (!(starts(l, "ATOM") || starts(l, "HETA")) || l.size() < 26) return;
  const std::string_view name = rt::trim(pdbf::cols(l, 18, 20));
  if (!name.empty() && !pdb::is_any_water(name) &&
      !(l.size() >= 21 && foundation::is_water_name(pdbf::cols(l, 18, 21))))
    return;
  int32_t n = 0;
  if (pdbf::read_int(pdbf::cols(l, 23, 26), n)) later_waters.add(n);
  // Five columns of digits are a number past 9999.
  if (l.size() >= 27 && is_digit(l[22]) && is_digit(l[26]) &&
      pdbf::read_int(pdbf::cols(l, 23, 27), n))
    later_waters.add(n);
}

// Every water number the file gives from the line after the one being
// read to the end of the model: the PDB road reads the rest of the file
// once and sets the unit back; the mmCIF road looks at the rows in hand
// after it, in the order it reads them (not the rows before it: a water
// given again after a wrap past 9999 would find every number held).
// A residue's further atom lines repeat the columns its line is noted by
// (18-27, the name and the number): only the first of them is looked at.
class LaterWaterLines {
 public:
  void note(std::string_view l) {
    const bool atom = l.size() >= 27 && (starts(l, "ATOM") || starts(l, "HETA"));
    if (atom && atom_before_ && std::memcmp(l.data() + 17, before_, sizeof before_) == 0) return;
    note_later_water(l);
    atom_before_ = atom;
    if (atom) std::memcpy(before_, l.data() + 17, sizeof before_);
  }

 private:
  bool atom_before_ = false;
  char before_[10] = {};
};

[[gnu::cold, gnu::noinline]]
void note_later_waters() {
  later_waters.fill_start();
  LaterWaterLines lines;
  if (cif_row != nullptr) {
    for (int32_t r = cif_run_now; r < cif_n_runs; ++r) {
      const coords::CifLineRun& run = cif_runs[r];
      for (int32_t i = r == cif_run_now ? cif_line_now + 1 : run.first; i < run.first + run.count;
           ++i)
        lines.note(std::string_view(cif_all_lines[i].data(), 80));
    }
    return;
  }
  if (sttcrec.st_iend != 0) return;
  lines.note(sttcrec.st_line_next.view());
  if (sttcrec.st_iend_read != 0) return;
  const int32_t unit = crdinf.cri_iun;
  const long mark = rt::unit_mark(unit);
  if (mark < 0) return;
  std::string_view rec;
  while (rt::read_record_view(unit, rec, 80) == rt::IOSTAT_OK) {
    // An atom line is neither record that ends the model.
    if (!starts(rec, "ATOM") && (rec_is(rec, "MODEL ") || rec_is(rec, "ENDMDL"))) break;
    lines.note(rec);
  }
  rt::unit_return_to(unit, mark);
}

}  // namespace

void coords::cif_lines_of_file(const std::array<char, 80>* lines, const CifLineRun* runs,
                               int32_t n_runs) {
  cif_all_lines = lines;
  cif_runs = runs;
  cif_n_runs = n_runs;
  cif_run_now = cif_line_now = 0;
}

void coords::cif_line_read(int32_t run, int32_t line) {
  cif_run_now = run;
  cif_line_now = line;
}

void coords::cif_rows_ahead(const std::array<char, 80>* lines, const CifRowOfLine* rows,
                           int32_t n) {
  cif_lines_ahead = lines;
  cif_rows_after = rows;
  cif_n_ahead = n;
}

int32_t rdatom_(std::string_view line, rt::FixedText<6>& rec, int32_t nospgr_input,
                const float* cell_input, char prog_name, rt::FixedText<4>& acode,
                char hflag_remove) {
  constexpr int32_t mdoc = 1;
  using pdbf::cols;
  const bool hetatm = starts(line, "HETA");

  // A record cut before the end of its coordinates would read as an atom at
  // the origin; occupancy and B may be left out (they read as zero).
  const int len_input = rt::len_trim(line);
  if (len_input < 54)
    return bad_record("record too short for its coordinates", sttcrec.st_nline, line);
  take(sttcrec.st_last_atom_id, line, 7);

  // Columns.
  float xyz[3], occ = 0.0f, biso = 0.0f;
  int32_t resnum = 0;
  for (int k = 0; k < 3; ++k)
    if (!pdbf::read_real(cols(line, 31 + 8 * k, 38 + 8 * k), 3, xyz[k])) return bad_number(line);
  if (!pdbf::read_real(cols(line, 55, 60), 2, occ)) return bad_number(line);
  // A line that ends with its coordinates gives no occupancy (programs that
  // cut their lines leave it out): the atom is there in full.  A blank
  // occupancy inside a longer line reads as written (zero).
  if (len_input < 55) occ = 1.0f;
  if (!pdbf::read_real(cols(line, 61, 66), 2, biso)) return bad_number(line);
  if (!pdbf::read_int(cols(line, 23, 26), resnum)) return bad_number(line);
  if (cif_row != nullptr)
    for (int k = 0; k < 3; ++k) xyz[k] = cif_row->xyz[k];
  if (!pdbf::atom_values_fit(xyz, occ, biso))
    return bad_record("coordinate, occupancy or B not finite or too large for its field",
                      sttcrec.st_nline, line);
  // A PQR file's charges stand where the occupancy does: the first value
  // below 0 is noted for the programs that restrain atoms by it.
  if (occ < 0.0f) coords::note_negative_occupancy(occ, sttcrec.st_nline, 0, line);
  rt::FixedText<1> corr, alt;
  rt::FixedText<4> aname, segid;
  rt::FixedText<3> rname;
  rt::FixedText<12> key;
  take(corr, line, 12);
  take(aname, line, 13);
  take(alt, line, 17);
  take(rname, line, 18);
  take<12, 7>(key, line, 21);
  take(segid, line, 73);
  take(acode, line, 77);

  // Character clean-up of the identifiers.
  const auto quote_hash = [](char& c) {
    if (c == '\'') c = '"';
    else if (c == '#') c = '*';
  };
  quote_hash(key(7));
  quote_hash(key(2));
  quote_hash(alt(1));
  // Column 21 holds the first character of a two-character chain name,
  // LA beside A.  The last letter of a four-letter water name (TIP3) lands
  // there too and names no chain: read as one, it would take the waters of
  // a file without chain letters out of the blank chain.
  const bool water_letter = key(1) != ' ' && foundation::is_water_name(cols(line, 18, 21));
  sttcrec.st_line_part.blank();
  sttcrec.st_line_part(1) = water_letter ? ' ' : key(1);
  sttcrec.st_line_part(2) = key(2);
  for (int i = 1; i <= 4; ++i) sttcrec.st_line_part(2 + i) = segid(i);
  for (int i = 8; i <= 12; ++i) key(i) = ' ';

  if (crdinf.cr_segflag(1) == 'Y' && len_input <= 72) crdinf.cr_segflag = "N";
  const bool seg = crdinf.cr_segflag(1) == 'Y';
  if (seg) {
    int lead = 0;
    while (lead < 4 && segid.c[lead] == ' ') ++lead;
    key.sub(8, 11).assign(std::string_view(segid.c + lead, static_cast<std::size_t>(4 - lead)));
    // An atom without a segment identifier would give its chain a blank
    // name, shared by every such atom of the file: it takes its chain
    // identifier instead.
    if (lead == 4) {
      key(8) = key(2);
      if (sttcrec.st_segid_warned == 0) {
        msgdoc_(mdoc, " WARNING: atoms without segment identifier take their chain identifier");
        sttcrec.st_segid_warned = 1;
      }
    }
  }

  sttcrec.st_last_aname = aname;
  sttcrec.st_last_alt = alt;

  const bool first_atom = sttcrec.st_first_atom_done == 0;
  if (first_atom && first_atom_defaults(nospgr_input, cell_input) != 0) return 1;

  to_cell_frame(xyz, crdatm.cr_xyz.data());
  crdatm.cr_biso = biso;

  if (rname.is_blank()) {
    msgdoc_(mdoc, " WARNING: residue name is empty, default is \"HOH\"");
    rname = "HOH";
  }
  crdatm.cr_iatold = 0;
  crdatm.cr_mult_factor = 1;
  crdatm.cr_fsc(1) = 'N';
  crdatm.cr_fsa(1) = 'N';
  crdatm.cr_b_flag = 0;
  crdatm.cr_btype(1) = 'I';
  crdatm.cr_corr(1) = corr.is_blank() ? '.' : corr(1);
  crdatm.cr_alt(1) = alt.is_blank() ? '.' : alt(1);
  crdatm.cr_rname_pdb = rname;

  if (occ > 1.0f) {
    occ = 1.0f;
    if (sttcrec.st_occ_warned == 0) {
      msgdoc_(mdoc, " WARNING: occupancy > 1.0");
      msgdoc_(mdoc, "          program set occupancy = 1.0");
      sttcrec.st_occ_warned = 1;
    }
  }
  crdatm.cr_occ = occ;

  for (int i = 1; i <= 4; ++i)
    if (aname(i) == '#') aname(i) = '_';
  clean_element_column(acode, len_input);
  if (sttcrec.st_names_left == 1) {
    lay_out_left_name(aname, rname.view(), acode);
  } else if (acode.is_blank()) {
    lay_out_water_name(aname, rname);
  }
  crdatm.cr_aname_inp = aname;
  if (aname(1) == ' ') {
    rt::FixedText<4>& inp = crdatm.cr_aname_inp;
    inp(1) = aname(2);
    inp(2) = aname(3);
    inp(3) = aname(4);
    inp(4) = '_';
    if (aname(4) == ' ') inp(3) = '_';
    if (aname(3) == ' ') inp(2) = '_';
  }

  // Simulation programs write four-letter water names (TIP3) on into
  // column 21, which the residue name does not hold.
  const bool fourth_letter = line.size() > 20 && line[20] != ' ';
  if (fourth_letter && foundation::is_water_name(cols(line, 18, 21))) rname = "HOH";
  // ParmEd cuts TIP3 to TIP, column 21 left blank; an mmCIF row's longer
  // name (TIP4X) cut so is none.
  const bool cut = !fourth_letter && (cif_row == nullptr || !cif_row->long_name);
  if (cut && foundation::is_cut_water_name(rname.view())) rname = "HOH";
  rt::FixedText<4> asymb, ctype;
  const rt::FixedText<4> name_read = aname;
  const rt::FixedText<3> rname_read = rname;
  corr_name_pdb_(aname, rname, asymb, ctype);
  // The massless site of a 4- or 5-site water model is no atom: read, it
  // would be a second oxygen or hydrogen of its water.  Any other site that
  // is none of a water's O and H stops the read.
  if (rname == std::string_view("HOH")) {
    if (pdb::is_massless_water_site(name_read.view(), acode.view())) {
      ++sttcrec.st_water_sites;
      leave_out(rec, line);
      return 0;
    }
    const std::string foreign = pdb::foreign_water_site(name_read.view(), acode.view());
    if (!foreign.empty()) return bad_record(foreign, sttcrec.st_nline, line);
    std::string why;
    // An mmCIF row's site is judged where the row puts it, as the mmCIF
    // reading entry judges it.
    const pdb::WaterSite site{name_read.view(), acode.view(), aname.view(), alt(1),
                              cif_row != nullptr ? cif_row->xyz : crdatm.cr_xyz.data()};
    const std::string water_residue = std::string(cols(line, 18, 27)) + std::string(segid.view());
    switch (water_in_read.add(water_residue, site, why)) {
      case pdb::WaterSiteFate::kLeftOut:
        ++sttcrec.st_water_sites;
        leave_out(rec, line);
        return 0;
      case pdb::WaterSiteFate::kRefused:
        return bad_record(why, sttcrec.st_nline, line);
      case pdb::WaterSiteFate::kKept:
        break;
    }
    // Open Babel's and gemmi's unknown element is none: the name gives it.
    if (acode.trimmed() == "*" || acode.trimmed() == "X") acode.blank();
  }

  if (acode.is_blank()) pdb::element_from_name(name_read, rname.view(), asymb, ctype);
  // An ion named by its residue, whatever its column or case, unless the
  // element columns say otherwise; the name's own reading is noted for a
  // residue that holds other atoms too.
  rt::FixedText<4> by_name;
  by_name.blank();
  if (acode.is_blank()) {
    const rt::FixedText<4> ion = coords::ion_symbol(name_read.view(), rname_read.view());
    if (!ion.is_blank() && !(ion == asymb)) {
      by_name = asymb;
      asymb = ion;
      ctype = "$";
    }
  }
  coords::ion_pending(by_name);
  crdatm.cr_aname = aname;
  crdatm.cr_asymb = asymb;

  // Hydrogens are recognised by their element column, so deuterium stays;
  // a line without one has the element its name gives, or the hydrogens of
  // a file written without element columns would all stay.
  if (hflag_remove == 'Y' && (acode.is_blank() ? asymb : acode) == std::string_view("H")) {
    leave_out(rec, line);
    return 0;
  }
  if (prog_name != 'M' && acode.is_blank()) acode = asymb;
  crdatm.cr_atype(1) = ctype(1);

  const char letter = key(2);
  key(1) = seg ? key(8) : key(2);
  key(2) = ' ';
  if (!seg) {
    key(8) = key(1);
    for (int i = 9; i <= 12; ++i) key(i) = ' ';
  }

  // Chain counter against the previous atom (still in crdatm).
  const rt::FixedText<12>& prev = crdatm.cr_pnum;
  const bool water = pdb::is_water(rname);
  const bool prev_water = pdb::is_water(crdatm.cr_rname.sub(1, 3));
  // The chains are keyed by column 22, so that A and LA make one key; but
  // the waters of each are a water chain of their own, which may hold the
  // numbers of the other's (A 52 and LA 52).
  const char name_first = sttcrec.st_line_part(1);
  const bool chain_differs =
      seg ? std::memcmp(key.c + 7, prev.c + 7, 4) != 0
          : key(8) != prev(8) || (water && prev_water && name_first != name_first_before);
  // The rest of a water read at another number than the file gives it
  // (below) is read at that number too, and so is every water of a chain
  // that reads its waters in order.
  char given[4];
  std::memcpy(given, key.c + 2, sizeof given);
  const bool rest_anew = !first_atom && water && !chain_differs &&
                         water_numbers.read_anew(false, key.c + 2, later_waters);
  // A digit in the insertion-code column after four digits of a water's
  // number is its fifth digit.  Any other digit there stays the residue's
  // insertion code: OpenMM writes water numbers past 999 one column to the
  // right (1000 and 1001 stand as 100 with the codes 0 and 1), and two
  // residues told apart by it stay two, as the written model then names
  // them.
  int32_t high = 0;
  if (water && is_digit(key(7))) take_five_digit_number(key, high);
  if (water && cif_row != nullptr && cif_row->number_high != 0) high = cif_row->number_high;
  // Only the file's own numbers wrap, never one this reader gave.
  const bool wraps = !first_atom && water && prev_water && !chain_differs && !rest_anew &&
                     number_wraps(given_before, sttcrec.st_number_high, key, high);
  if (high != 0 || wraps)
    pdb::warn_water_numbers(1, high, wraps && high == sttcrec.st_number_high,
                            sttcrec.st_wide_warned, sttcrec.st_wrap_warned);
  // The waters of a blank chain, as where the chain letters of an entry
  // whose chains each number their own waters are gone, may give a number
  // again: a water lying apart from the one that holds it is another.
  const bool blank_chain = blank_chain_line();
  // A residue given again right after itself, lying apart (the ligands of
  // two chains at one number, waters all at one number) is a residue of its
  // own: a water another water chain, a ligand a chain of its own as every
  // HETATM residue is, a polymer residue of the blank chain a further chain;
  // in a named chain a polymer residue is another residue, which the chain
  // then holds twice.  A water so given again is another water of its
  // chain, read at a number of its own (pdb::WaterNumbersAgain).  Atoms are
  // told by their names as the file gives them: OPM's DUM residue is an N
  // and an O far apart, both of which the name correction calls DUM.
  const rt::FixedText<4>& element = acode.is_blank() ? asymb : acode;
  const bool hydrogen = element(1) == 'H' && element(2) == ' ' && element(3) == ' ' &&
                        element(4) == ' ';
  bool residue_differs = std::memcmp(key.c + 2, prev.c + 2, 5) != 0;
  const uint32_t name_word = pdb::ResidueAgain::name_of(name_read.view());
  const bool same_name = crdatm.cr_rname.sub(1, 3) == rname.view();
  const bool again =
      !first_atom && !chain_differs && !residue_differs && same_name &&
      residue_atoms.begins_again(name_word, alt(1), hydrogen, crdatm.cr_xyz.data()) &&
      !residue_atoms.conformer(name_word, alt(1),
                               [&] { return next_atom_named_otherwise(line, hflag_remove == 'Y'); }) &&
      (water || !copy_lies_on(line, residue_atoms));
  rt::FixedText<4> given_number;
  if (again && water) given_number = key.sub(3, 6);
  if (again && water && !later_waters.filled()) note_later_waters();
  const bool water_anew =
      again && water && water_numbers.read_anew(true, key.c + 2, later_waters);
  // A water read at the start of a further water chain begins the chain.
  const bool water_further =
      (water_anew || rest_anew) && water_numbers.begins_further();
  if (water_anew) {
    water_numbers.warn(1, rname.view(), given_number.view(), key.sub(3, 6));
    // Read at a number of its own, the water is compared at that number.
    residue_differs = std::memcmp(key.c + 2, prev.c + 2, 5) != 0;
  }
  const bool repeats =
      !first_atom && water && prev_water && !chain_differs && !wraps && blank_chain &&
      ((again && (!water_anew || water_further)) ||
       (residue_differs && blank_waters.begins_further_chain(key.sub(3, 7), crdatm.cr_xyz.data())));
  if (repeats) pdb::warn_water_numbers_again(1, sttcrec.st_again_warned);
  if (again && water && !water_anew && !blank_chain)
    coords::warn_two_at_one_number(
        seg ? rt::trim_right(key.sub(8, 11)) : std::string_view(&letter, 1), key.sub(3, 7),
        rname.view(), rname.view());
  // A force-field name stands for a standard residue, which the archive
  // writes as ATOM: a program that writes every name it does not know as
  // HETATM (OpenMM's writer, HIE; URA) does not cut the chain there.
  // In a file that names no chain, a standard residue written as HETATM
  // (OpenMM writes T so, a name it does not know) and chain-bonded to the
  // residue before (its N or P within a bond of that one's C or O3') goes
  // on with the chain, and so does the residue chain-bonded to it after
  // it: the archive writes it as ATOM.  A modified residue or a cap stays
  // a piece of its own, as the archive's own HETATM records make it.
  // Judged at a residue's first atom.
  const bool standard_het =
      hetatm && (foundation::standard_residue_name(rt::trim(rname_read.view())) ||
                 foundation::standard_residue_name(rt::trim(rname.view())));
  if (first_atom || chain_differs || residue_differs || !same_name)
    joined_before = blank_chain && !water && !first_atom && !chain_differs &&
                    (standard_het || (sttcrec.st_prev_hetatm == 1 && standard_het_before)) &&
                    blank_restarts.may_bond() &&
                    bonded_at_n_or_p(line, aname, crdatm.cr_xyz.data());
  const bool het_record =
      hetatm && !(joined_before && standard_het) &&
      (water ||
       (foundation::force_field_standard(rname.view()).empty() &&
        foundation::force_field_nucleotide_name(rname_read.view(), name_read.view()).empty()));
  // A file without chain letters (a simulation's, CHARMM-GUI's) tells its
  // chains by their segments, each numbered from 1 and often without a TER
  // record or a terminal atom the reader knows between them (OT1 and OT2
  // end a CHARMM chain): the segment ends a chain as a TER record would.
  // A decimal point there is a number's (a docking file's charge, columns
  // 71-76, other on every atom), which names no segment.
  const bool segment_turns = sttcrec.st_line_part(2) == ' ' &&
                             std::memchr(segid.c, '.', 4) == nullptr &&
                             !(segid == sttcrec.st_last_seg);
  sttcrec.st_last_seg = segid;
  // Read by segments, the chain letter changing within one segment ends a
  // chain as it does read by letters: a segment may hold several chains,
  // each numbered from 1, with no TER record between them.
  const bool letter_turns = seg && !first_atom && letter != crdatm.cr_chain(1);
  // The chains of a frame written without chain letters or TER records
  // (GROMACS' trjconv and editconf) stand in one blank chain: one whose
  // numbers start again begins a further chain there, as a TER record
  // would begin it.
  const bool polymer_line = blank_chain && !water && !het_record;
  bool restarts = !first_atom && polymer_line && !chain_differs && residue_differs &&
                  blank_restarts.begins_chain(key.sub(3, 7), aname.view(), crdatm.cr_xyz.data());
  if (restarts && !(aname == std::string_view("N")) && !(aname == std::string_view("P"))) {
    rt::FixedText<4> ahead;
    float ahead_xyz[3];
    if (cif_row == nullptr ? chain_atom_ahead(line, ahead, ahead_xyz) : cif_ahead != nullptr) {
      if (cif_row != nullptr) {
        ahead = cif_ahead->name;
        to_cell_frame(cif_ahead->xyz, ahead_xyz);
      }
      restarts = blank_restarts.begins_chain(key.sub(3, 7), ahead.view(), ahead_xyz);
    }
  }
  // A residue at a number that the piece already holds, lying apart from
  // the residue holding it, begins a further chain even where its chain
  // bond runs on (a chain numbered again onto its own numbers), as the
  // mmCIF reading of such a file parts it; the bond is kept as a link.
  const bool held_apart = !first_atom && polymer_line && !chain_differs && residue_differs &&
                          blank_residues.begins_further_chain(key.sub(3, 7), crdatm.cr_xyz.data());
  const char digit_before = prev(2);
  char digit = static_cast<char>('0' + sttcrec.st_chain_count);
  if (sttcrec.st_break_due != 0 || record_ends_chain(rec, line)) {
    digit = bump_counter();
  } else if (wraps || repeats || water_further || restarts || held_apart || segment_turns ||
             letter_turns ||
             (again && !water_anew && (het_record || polymer_line || water)) ||
             pdb::counter_rises(het_record,
                                sttcrec.st_prev_hetatm == 1 &&
                                    !(joined_before && standard_het_before),
                                residue_differs,
                                same_name, water, prev_water,
                                chain_differs)) {
    digit = bump_counter();
  }
  sttcrec.st_break_due = 0;
  sttcrec.st_number_high = high;
  sttcrec.st_number_wrap = wraps || repeats || water_further ? 1 : 0;
  sttcrec.st_residue_again = again ? 1 : 0;
  crdatm.cr_chain.blank();
  crdatm.cr_chain(1) = letter;

  const bool name_turns = !(crdatm.cr_rname == rname);
  crdatm.cr_rname = rname;
  // The digits go into the stored key, not into the local one copied over
  // just after (a text read back over single-character stores stalls).
  crdatm.cr_pnum = key;
  crdatm.cr_pnum(2) = digit;
  if (seg)
    crdatm.cr_pnum(12) = digit;
  else
    crdatm.cr_pnum(9) = digit;

  blank_waters.note(blank_chain && water, crdatm.cr_pnum.sub(8, 12), crdatm.cr_pnum.sub(3, 7),
                    crdatm.cr_xyz.data());
  blank_residues.note(polymer_line, crdatm.cr_pnum.sub(8, 12), crdatm.cr_pnum.sub(3, 7),
                      crdatm.cr_xyz.data());
  const bool same_piece = !first_atom && !chain_differs && digit == digit_before;
  // A standard residue's ends are kept whatever its record kind, for the
  // chain bond of the residue after it.
  const bool polymer_ends = polymer_line || (blank_chain && standard_het);
  if (!polymer_ends || !same_piece) blank_restarts.clear();
  if (polymer_ends)
    blank_restarts.atom(!same_piece || residue_differs || name_turns,
                        crdatm.cr_pnum.sub(3, 7), aname.view(), crdatm.cr_xyz.data());

  residue_atoms.atom(!same_piece || residue_differs || name_turns || again,
                     name_word, alt(1), hydrogen, crdatm.cr_xyz.data());
  // A water read anew stays in its water chain whatever stands between it
  // and the water before (ProDy ends each water with TER), so that the
  // rest of its atoms go with it.
  water_numbers.note(water, same_piece || water_anew, crdatm.cr_pnum.sub(3, 6));
  std::memcpy(given_before, given, sizeof given);
  name_first_before = name_first;

  if (!same_piece || residue_differs || name_turns || again)
    interleaved_copies.residue(polymer_line, again, rname.view(), key.sub(3, 7));

  if (aname == std::string_view("OXT")) com_rdat.rd_oxt_atom = "Y";
  sttcrec.st_prev_hetatm = het_record ? 1 : 0;
  standard_het_before = het_record && standard_het;
  static const rt::FixedText<6> kAtomRecord("ATOM  ");
  rec = kAtomRecord;
  return 0;
}

int32_t coords::interleaved_copies_report(int32_t mdoc) {
  return interleaved_copies.report(mdoc);
}

int32_t coords::rdatom_cif_row(std::string_view line, const CifRowOfLine& row,
                               rt::FixedText<6>& rec, rt::FixedText<4>& acode, char hflag_remove,
                               const CifChainAtom* ahead) {
  const float no_cell[6] = {0, 0, 0, 0, 0, 0};
  // Forgotten however the call ends (a full table ends the run).
  struct Held {
    Held(const CifRowOfLine& r, const CifChainAtom* a) {
      cif_row = &r;
      cif_ahead = a;
    }
    ~Held() {
      cif_row = nullptr;
      cif_ahead = nullptr;
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
  } held(row, ahead);
  return rdatom_(line, rec, 0, no_cell, '.', acode, hflag_remove);
}

void getrec_(int32_t mdoc, rt::FixedText<6>& rec, int32_t nospgr_input, const float* cell_input,
             int32_t& ierr, int32_t& iend, char prog_name, rt::FixedText<4>& acode,
             char hflag_remove) {
  if (rec == std::string_view("START ")) {
    ierr = 0;
    iend = 0;
    sttcrec.st_atom_pending = 0;
    if (crdinf.cri_file.is_blank()) {
      msgerr_(mdoc, " ERROR: can't open PDB_file");
      ierr = 1;
      return;
    }
    int32_t iun = crdinf.cri_iun;
    openfr_(iun, 99, crdinf.cri_path, crdinf.cri_file, crdinf.cri_ext, ierr);
    crdinf.cri_iun = iun;
    if (ierr != 0) {
      msgerr_(mdoc, " ERROR: can't open PDB_file");
      return;
    }
    pdb_defaults_at_open(acode);
    sttcrec.st_names_left = names_left_justified(crdinf.cri_iun) ? 1 : 0;
    sttcrec.st_line_next.blank();
    foundation::LineEndControls end_controls;
    foundation::read_line(crdinf.cri_iun, mdoc, sttcrec.st_line_next, ierr, sttcrec.st_iend,
                          nullptr, &end_controls);
    const bool unclean =
        control_in_number_columns(sttcrec.st_line_next) || control_at_number_end(end_controls);
    sttcrec.st_number_ctrl_next = unclean ? 1 : 0;
    if (ierr != 0 || sttcrec.st_iend != 0) {
      close_input(iend, sttcrec.st_iend);
      return;
    }
    rec.blank();
  }

  if (crdinf.cri_iun <= 0) {
    // Called again after the end of input: nothing more to read.
    iend = 1;
    return;
  }

  // The records that belong to the atom line before them.
  const auto next_belongs = [] {
    const std::string_view next = sttcrec.st_line_next.view();
    return starts(next, "SIGA") || starts(next, "ANIS") || starts(next, "USER") ||
           starts(next, "SIGU");
  };
  const auto hand_back = [&](const rt::FixedText<80>& current) {
    std::memcpy(crdinf.cr_pdb_rec.c, current.c, 6);
  };
  // A record its parser refused (a number field that is no number) ends the
  // read with status 1, as a refused atom record does.
  const auto refused = [&] {
    ierr = 1;
    close_input(iend, 0);
  };

  rt::FixedText<80> current;
  for (;;) {
    current = sttcrec.st_line_next.sub(1, 80);
    sttcrec.st_number_ctrl = sttcrec.st_number_ctrl_next;
    sttcrec.st_number_ctrl_next = 0;
    if (sttcrec.st_iend != 0) {
      close_input(iend, sttcrec.st_iend);
      return;
    }
    ++sttcrec.st_nline;
    if (sttcrec.st_iend_read != 0) {
      sttcrec.st_line_next.blank();
      sttcrec.st_iend_next = sttcrec.st_iend_read;
    } else {
      // A line read fills the whole text; at the end or after an error the
      // text is left as it was, and is blanked here.
      foundation::LineEndControls end_controls;
      const int used = foundation::read_line(crdinf.cri_iun, mdoc, sttcrec.st_line_next, ierr,
                                             sttcrec.st_iend_read, nullptr, &end_controls);
      if (ierr != 0 || sttcrec.st_iend_read != 0) sttcrec.st_line_next.blank();
      if (ierr != 0) {
        close_input(iend, 0);
        return;
      }
      // Lines of printable characters are left as they are; only others
      // go through the character clean-up.  Past the used length there are
      // only blanks.
      // One test a character, without branches, so that it runs many
      // characters at a time.
      const auto* text = reinterpret_cast<const unsigned char*>(sttcrec.st_line_next.c);
      unsigned char bad = 0;
      for (int k = 0; k < used; ++k) bad |= static_cast<unsigned char>(text[k] - 32) > 94 ? 1 : 0;
      if (bad != 0) {
        sttcrec.st_number_ctrl_next = control_in_number_columns(sttcrec.st_line_next) ? 1 : 0;
        check_line_(0, sttcrec.st_line_next);
      }
      if (control_at_number_end(end_controls)) sttcrec.st_number_ctrl_next = 1;
      sttcrec.st_iend_next = 0;
      if (sttcrec.st_iend_read != 0 && sttcrec.st_line_next.is_blank()) {
        sttcrec.st_iend_next = sttcrec.st_iend_read;
        sttcrec.st_line_next.blank();
      }
    }
    sttcrec.st_iend = sttcrec.st_iend_next;

    const std::string_view line = current.view();
    // Atom lines come first: they are nearly all of a file, and no other
    // record name begins with ATOM or HETA.
    if (starts(line, "ATOM") || starts(line, "HETA")) {
      ++sttcrec.st_atom_lines;
      if (rec == std::string_view("?")) rec = "ATOM  ";
      if (sttcrec.st_number_ctrl != 0 ||
          rdatom_(line, rec, nospgr_input, cell_input, prog_name, acode, hflag_remove) != 0) {
        if (sttcrec.st_number_ctrl != 0) bad_number(line);
        ierr = 1;
        close_input(iend, 0);
        return;
      }
      if (next_belongs()) {
        sttcrec.st_atom_pending = 1;
        continue;
      }
      hand_back(current);
      return;
    } else if (starts(line, "ANIS") || starts(line, "SIGA") || starts(line, "SIGU") ||
               starts(line, "USER")) {
      // These lines belong to the atom line before them; without one
      // waiting they are read past, so that no atom is handed back twice.
      // They come next: an archive file gives an ANISOU line for most atoms,
      // and no other record name begins with these four letters.
      if (sttcrec.st_atom_pending == 0) continue;
      if (starts(line, "ANIS")) {
        if (rdaniso_(line) != 0) return refused();
      } else if (starts(line, "SIGA")) {
        rdsigat_(line);
      } else if (starts(line, "SIGU")) {
        rdsiguij_(line);
      }
      if (next_belongs()) continue;
      sttcrec.st_atom_pending = 0;
      if (!(rec == std::string_view("?"))) rec = "ATOM  ";
      hand_back(current);
      return;
    } else if (sttcrec.st_model_closed != 0 && of_a_later_model(line)) {
      // A trajectory writes each frame's title, remarks and cell before its
      // MODEL record: after the model read they are the next frame's.
      continue;
    } else if (sttcrec.st_first_atom_done != 0 && (starts(line, "CRYS") || starts(line, "SCALE"))) {
      // The model's cell was settled at its first atom (cell_after_atoms):
      // one after the atoms is the model's own, read then, or the next
      // frame's.  Read now, it would stand beside the frame its atoms were
      // placed in.
      continue;
    } else if (rec_is(line, "REMARK")) {
      // The most common lines after atoms; no other record name begins
      // with R, so their place in the chain changes nothing.
      rdremark_(line);
    } else if (rec_is(line, "HEADER")) {
      rdhead_pdb_(line);
    } else if (rec_is(line, "COMPND")) {
      if (++sttcrec.st_ntitle == 1) rdcompnd_(line);
    } else if (starts(line, "TITLE")) {
      ++sttcrec.st_ntitle;
      rdtitle_pdb_(line);
    } else if (rec_is(line, "KEYWDS")) {
      rdkeywds_(line, ++sttcrec.st_nkeywds > 1);
    } else if (starts(line, "CRYS")) {
      if (rdcryst1_(line, nospgr_input) != 0) return refused();
    } else if (rec_is(line, "MODEL ")) {
      // Only the first model that holds atoms is read, whatever its number
      // (simulation programs count models from 0): a MODEL record after an
      // atom ends the input.  One before any atom opens the model to read,
      // so that an empty model ahead of the first (a converter's MODEL
      // record above the header, then MODEL again above the atoms) is
      // passed over rather than read as a file of no atoms.
      rdmodel_(line);
      if (sttcrec.st_first_atom_done != 0) sttcrec.st_iend = 1;
    } else if (rec_is(line, "ENDMDL")) {
      if (sttcrec.st_first_atom_done != 0) sttcrec.st_model_closed = 1;
    } else if (rec_is(line, "HET   ")) {
      rdhet_(line);
    } else if (rec_is(line, "FORMUL")) {
      rdformul_(line);
    } else if (rec_is(line, "SCALE1") || rec_is(line, "SCALE2") || rec_is(line, "SCALE3")) {
      if (rdscale_(line) != 0) return refused();
    } else if (rec_is(line, "MTRIX1") || rec_is(line, "MTRIX2") || rec_is(line, "MTRIX3")) {
      rdmtrix_(line);
    } else if (rec_is(line, "TER   ")) {
      rec = "TER   ";
      hand_back(current);
      return;
    } else if (rec_is(line, "CONECT")) {
      rec = "CONECT";
      hand_back(current);
      return;
    } else if (rec_is(line, "SSBOND") || rec_is(line, "MODRES") || rec_is(line, "LINK  ") ||
               rec_is(line, "CISPEP")) {
      if (rec_is(line, "SSBOND")) rdssbond_(mdoc, line, ierr);
      else if (rec_is(line, "MODRES")) rdmodres_(mdoc, line, ierr);
      else if (rec_is(line, "LINK  ")) rdlink_(mdoc, line, ierr);
      else rdcispep_(mdoc, line, ierr);
      rec = "USER_L";
      hand_back(current);
      return;
    }
  }
}
