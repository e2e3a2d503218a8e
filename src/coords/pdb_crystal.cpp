// Crystal and NCS records of a PDB file.  CRYST1 gives the cell (checked, and
// replaced by a default cube when wrong) and the space group, whose text is
// brought into a form the symmetry library accepts before its operators are
// fetched.  SCALEn and MTRIXn rows are stored as they come.  A cell or SCALE
// field that holds no number stops the read: taken as 0 it would put a
// default cell in place of the file's, or collapse every atom.
#include "coords/pdb_crystal.h"

#include <cmath>
#include <string>

#include "coords/pdb_fields.h"
#include "coords/pdb_records.h"
#include "coords/pdb_state.h"
#include "coords/scale_frame.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "foundation/spgr_names.h"
#include "foundation/words.h"
#include "runtime/format.h"
#include "suite/pi.h"

namespace {

// The row of a SCALE or MTRIX record: 2 or 3 from its digit, else 1.
int row_of(std::string_view line) {
  const char d = line.size() >= 6 ? line[5] : ' ';
  return d == '2' ? 2 : d == '3' ? 3 : 1;
}

float real_field(std::string_view line, int i, int j, int decimals) {
  float v = 0.0f;
  if (!pdbf::read_real(pdbf::cols(line, i, j), decimals, v)) v = 0.0f;
  return v;
}

// A real field of a record, its columns and decimals; a blank field reads
// as 0.
struct NumberField {
  const char* name;
  int first, last, decimals;
};
constexpr NumberField kCellFields[6] = {{"a", 7, 15, 3},     {"b", 16, 24, 3},
                                        {"c", 25, 33, 3},    {"alpha", 34, 40, 2},
                                        {"beta", 41, 47, 2}, {"gamma", 48, 54, 2}};
// S(n,1..3) and U(n) of SCALEn, named with n after the letter.
constexpr NumberField kScaleFields[4] = {
    {"S", 11, 20, 6}, {"S", 21, 30, 6}, {"S", 31, 40, 6}, {"U", 46, 55, 5}};

// The value of field f; false, after the error lines, when it is no number.
bool number_field(std::string_view line, std::string_view record, const NumberField& f,
                  std::string_view name, float& v) {
  const std::string_view text = pdbf::cols(line, f.first, f.last);
  v = 0.0f;
  if (pdbf::read_real(text, f.decimals, v)) return true;
  coords::refuse_record_number(record, name, text, line);
  return false;
}

}  // namespace

int32_t rdcryst1_(std::string_view line, int32_t nospgr_input) {
  constexpr int32_t mdoc = 1;
  constexpr float pi = suite::kPi<float>;
  constexpr float pi180 = pi / 180.0f;
  float cell[6];
  for (int i = 0; i < 6; ++i)
    if (!number_field(line, "CRYST1", kCellFields[i], kCellFields[i].name, cell[i])) return 1;
  sttcrec.st_cell_flag = 1;

  for (int i = 1; i <= 6; ++i) crdinf.cr_cell(i) = i <= 3 ? cell[i - 1] : cell[i - 1] * pi180;
  rt::FixedText<24> name(pdbf::cols(line, 56, 66));

  bool wrong = false;
  for (int i = 1; i <= 6; ++i)
    if (!coords::cell_value_usable(i, crdinf.cr_cell(i))) wrong = true;
  if (wrong) {
    msgdoc_(mdoc, " WARNING: wrong CELL parameters in PDB file");
    msgdoc_(mdoc, "          Default: 100,100,100,90,90,90");
    for (int i = 1; i <= 3; ++i) crdinf.cr_cell(i) = 100.0f;
    for (int i = 4; i <= 6; ++i) crdinf.cr_cell(i) = pi / 2.0f;
    sttcrec.st_cell_flag = -1;
  }
  for (int i = 1; i <= 6; ++i) crst_crd.cs_cell(i) = crdinf.cr_cell(i);
  crst_crd.cs_nsymop = 0;

  const float beta = crdinf.cr_cell(5);
  const float gamma = crdinf.cr_cell(6);
  int32_t number = 0;
  int32_t sett = 1;
  bool by_number = false;
  if (nospgr_input != 0) {
    number = nospgr_input;
    sttcrec.st_spgr_flag = 1;
    by_number = true;
  } else {
    int lead = 0;
    while (lead < name.len() && name.c[lead] == ' ') ++lead;
    name = std::string_view(name.c + lead, static_cast<std::size_t>(name.len() - lead));
    // Converters write an unknown group as mmCIF marks a value not given;
    // read as a name, "?" would reach the written file with no operator.
    const std::string_view given = name.trimmed();
    if (name.is_blank() || given == "?" || given == ".") {
      msgdoc_(mdoc, " WARNING: wrong card \"CRYST1\" of PDB_file.");
      msgdoc_(mdoc, "          default space group \"P 1\"");
      name = "P 1";
    }
    crdinf.cr_spgr = name;
    sttcrec.st_spgr_flag = 1;
    bool all_digits = true;
    for (int i = 1; i <= name.len(); ++i) {
      char cls = '?';
      chksmb_(name(i), cls);
      if (cls != 'B' && cls != 'D') all_digits = false;
    }
    if (all_digits) {
      int32_t n = 0;
      if (rt::read_list(name.view(), n) == 0) number = n;
      by_number = true;
    }
  }

  if (by_number) {
    sett = 1;
    if ((number == 146 || number == 155) && std::fabs(gamma - 2.0f * pi / 3.0f) <= 0.0001f) sett = 2;
    if (number >= 3 && number <= 15 && sett == 1 && std::fabs(gamma - pi / 2.0f) <= 0.0001f)
      sett = 2;
    name.blank();
  } else {
    number = 0;
    sett = foundation::settle_space_group_name(name, beta, gamma);
  }

  foundation::file_space_group(name, number, crst_crd.cs_nsym, crst_crd.cs_m_cs.data(),
                               crst_crd.cs_v_cs.data(), MAXNSO);
  crdinf.cr_nsym = crst_crd.cs_nsym;
  crdinf.cr_nspgr = number;
  crst_crd.cs_nspgr = number;
  crdinf.cr_sett = sett;
  crst_crd.cs_sett = sett;
  crdinf.cr_spgr = name;
  crst_crd.cs_spgr = name;
  sttcrec.st_spgr_flag = 1;
  return 0;
}

int32_t rdscale_(std::string_view line) {
  const int n = row_of(line);
  const std::string record = "SCALE" + std::to_string(n);
  float v[4];
  for (int j = 0; j < 4; ++j) {
    const NumberField& f = kScaleFields[j];
    const std::string name = f.name + std::to_string(n) + (j < 3 ? std::to_string(j + 1) : "");
    if (!number_field(line, record, f, name, v[j])) return 1;
  }
  for (int j = 1; j <= 3; ++j) {
    crdinf.cr_scale(n, j) = v[j - 1];
    crst_pdb.cs_scale(n, j) = v[j - 1];
  }
  crdinf.cr_u(n) = v[3];
  crst_pdb.cs_u(n) = v[3];
  sttcrec.st_scale_flag = 1;
  sttcrec.st_scale_rows |= 1 << (n - 1);
  return 0;
}

void rdmtrix_(std::string_view line) {
  constexpr int32_t mdoc = 1;
  const int n = row_of(line);
  int32_t serial = 0, given = 0;
  if (!pdbf::read_int(pdbf::cols(line, 8, 10), serial)) serial = 0;
  if (!pdbf::read_int(pdbf::cols(line, 60, 60), given)) given = 0;
  if (given != 0) return;
  float m[3];
  for (int j = 1; j <= 3; ++j) m[j - 1] = real_field(line, 11 + 10 * (j - 1), 20 + 10 * (j - 1), 6);
  const float v = real_field(line, 46, 55, 5);
  crdinf.cr_ncs = serial;
  for (int j = 1; j <= 3; ++j) crdinf.cr_m_ncs(n, j) = m[j - 1];
  crdinf.cr_v_ncs(n) = v;
  if (serial > MAXNCS) {
    foundation::table_full(mdoc, " WARNING: number of NCS operators of PDB file  >", MAXNCS, "",
                           {.constant = "MAXNCS", .header = "atom_com"});
    return;
  }
  // An operator serial below 1 has no slot: the row is kept in crdinf only.
  if (serial < 1) return;
  for (int j = 1; j <= 3; ++j) crst_crd.cs_m_ncs(n, j, serial) = m[j - 1];
  crst_crd.cs_v_ncs(n, serial) = v;
  crst_crd.cs_ncs = serial;
}
