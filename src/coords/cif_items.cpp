// CIF item names, the residue-number form and the record steps shared by the
// CIF readers.
#include "coords/cif_items.h"

#include "coords/cif_atom_rows.h"
#include "foundation/atom_com.h"
#include "foundation/cif_tokeniser.h"
#include "foundation/messages.h"
#include "runtime/fixed_text.h"
#include "runtime/units.h"

namespace {

constexpr std::string_view kItems[NCIF_ITEMS] = {
    "_software.name",
    "_entry.id",
    "_database_2.code_PDB",
    "_struct_keywords.text",
    "_struct.keywords",
    "_audit.creation_date",
    "_struct.title",
    "_cell.",
    "_cell.length_a",
    "_cell.length_b",
    "_cell.length_c",
    "_cell.angle_alpha",
    "_cell.angle_beta",
    "_cell.angle_gamma",
    "_atom_sites.fract_transf_",
    "_atom_sites.fract_transf_matrix[1][1]",
    "_atom_sites.fract_transf_matrix[1][2]",
    "_atom_sites.fract_transf_matrix[1][3]",
    "_atom_sites.fract_transf_matrix[2][1]",
    "_atom_sites.fract_transf_matrix[2][2]",
    "_atom_sites.fract_transf_matrix[2][3]",
    "_atom_sites.fract_transf_matrix[3][1]",
    "_atom_sites.fract_transf_matrix[3][2]",
    "_atom_sites.fract_transf_matrix[3][3]",
    "_atom_sites.fract_transf_vector[1]",
    "_atom_sites.fract_transf_vector[2]",
    "_atom_sites.fract_transf_vector[3]",
    "_symmetry.",
    "_symmetry.space_group_name_H-M",
    "_symmetry.Int_Tables_number",
    "_symmetry.cell_setting_number",
    "_symmetry_equiv.pos_as_xyz",
    "_struct_asym.",
    "_struct_asym.id",
    "_struct_asym.entity_id",
    "_entity.",
    "_entity.id",
    "_entity.type",
    "_entity_poly_seq.",
    "_entity_poly_seq.entity_id",
    "_entity_poly_seq.mon_id",
    "_entity_poly_seq.ptq7_auth_seq_id",
    "_entity_poly_seq.ptq7_num_mon_forward",
    "_entity_poly_seq.ptq7_num_mon_back",
    "_entity_poly_seq.ptq7_back_connect_type",
    "_entity_poly_seq.ptq7_mod_id",
    "_entity_link.",
    "_entity_link.ptq7_link_id",
    "_entity_link.ptq7_auth_seq_id_1",
    "_entity_link.ptq7_comp_id_1",
    "_entity_link.ptq7_auth_seq_id_2",
    "_entity_link.ptq7_comp_id_2",
    "_entity_link.ptq7_entity_id",
    "_entity_link.ptq7_atom_id_1",
    "_entity_link.ptq7_atom_id_2",
    "_entity_link.dist",
    "_struct_conn.",
    "_struct_conn.id",
    "_struct_conn.conn_type_id",
    "_struct_conn.ptnr1_label_atom_id",
    "_struct_conn.ptnr1_label_alt_id",
    "_struct_conn.ptnr1_auth_seq_id",
    "_struct_conn.ptnr1_label_comp_id",
    "_struct_conn.ptnr1_label_asym_id",
    "_struct_conn.ptnr1_symmetry",
    "_struct_conn.ptnr2_label_atom_id",
    "_struct_conn.ptnr2_label_alt_id",
    "_struct_conn.ptnr2_auth_seq_id",
    "_struct_conn.ptnr2_label_comp_id",
    "_struct_conn.ptnr2_label_asym_id",
    "_struct_conn.ptnr2_symmetry",
    "_struct_conn.dist",
    "_ptq7_struct_asym_mod.",
    "_ptq7_struct_asym_mod.mod_id",
    "_ptq7_struct_asym_mod.auth_seq_id",
    "_ptq7_struct_asym_mod.comp_id",
    "_ptq7_struct_asym_mod.entity_id",
    "_ptq7_struct_asym_mod.new_comp_id",
    "_ptq7_struct_asym_mod.label_asym_id",
    "_atom_site.",
    "_atom_type.",
    "_atom_type.symbol",
    "_atom_type.scat_Cromer_Mann_a1",
    "_atom_type.scat_Cromer_Mann_a2",
    "_atom_type.scat_Cromer_Mann_a3",
    "_atom_type.scat_Cromer_Mann_a4",
    "_atom_type.scat_Cromer_Mann_b1",
    "_atom_type.scat_Cromer_Mann_b2",
    "_atom_type.scat_Cromer_Mann_b3",
    "_atom_type.scat_Cromer_Mann_b4",
    "_atom_type.scat_Cromer_Mann_c",
    "_atom_type.scat_dispersion_real",
    "_atom_type.scat_dispersion_imag",
    "_atom_type.radius_contact",
    "_atom_type.nelec",
    "_cell.entry",
    "_symmetry.entry.id",
    "_symmetry_equiv.id",
    "_struct_asym.nc_symmetry_id",
    "_struct_asym.PDB_chain_label",
    "_struct_asym.nc_symmetry_flag",
    "_struct_asym.multiplicity",
    "id",
    "type_symbol",
    "calc_flag",
    "footnote_id",
    "Cartn_x",
    "Cartn_y",
    "Cartn_z",
    "cartn_x",
    "cartn_y",
    "cartn_z",
    "Cartn_x_esd",
    "Cartn_y_esd",
    "Cartn_z_esd",
    "occupancy",
    "occupancy_esd",
    "B_iso_or_equiv",
    "B_iso_or_equiv_esd",
    "thermal_displace_type",
    "label_atom_id",
    "label_auth_atom_id",
    "label_chem_id",
    "label_seq_id",
    "auth_seq_id",
    "label_comp_id",
    "label_asym_id",
    "label_alt_id",
    "symmetry_multiplicity",
    "aniso_U[1][1]",
    "aniso_U[2][2]",
    "aniso_U[3][3]",
    "aniso_U[1][2]",
    "aniso_U[1][3]",
    "aniso_U[2][3]",
};

}  // namespace

std::string_view cif_item(int i) {
  if (i < 1 || i > NCIF_ITEMS) return {};
  return kItems[i - 1];
}

std::span<const std::string_view> cif_item_run(int first, int last) {
  if (first < 1 || last > NCIF_ITEMS || first > last) return {};
  return std::span<const std::string_view>(kItems + (first - 1), kItems + last);
}

namespace {

// A number wider than the four columns of the residue key ("123456",
// "-10030", "100001A"): the columns keep its last digits as written, all
// four of a number without a sign, three after its minus of a negative one,
// so that no sign is dropped and numbers one apart stay apart; its
// insertion letter, if any, stays in the fifth column.  False, `out` left
// alone, for any value that four columns hold or that is no such number.
bool wide_residue_number(std::string_view value, char out[5]) {
  std::size_t i = 0;
  const bool negative = value[0] == '-';
  if (negative || value[0] == '+') ++i;
  const std::size_t first = i;
  while (i < value.size() && value[i] >= '0' && value[i] <= '9') ++i;
  const std::size_t digits = i - first, room = negative ? 3 : 4;
  if (digits <= room) return false;
  char code = ' ';
  if (i < value.size() && value[i] != ' ' && value[i] != '\0') {
    const char c = value[i++];
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    code = c;
  }
  if (i < value.size() && value[i] != ' ' && value[i] != '\0') return false;
  const char* last = value.data() + first + digits - room;
  std::size_t k = 0;
  if (negative) out[k++] = '-';
  for (std::size_t j = 0; j < room; ++j) out[k++] = last[j];
  out[4] = code;
  return true;
}

}  // namespace

void cif_residue_number(std::string_view value, char out[5], bool drop_inner_blanks) {
  // Only a fifth character that is a digit can make a number too wide; the
  // first five are looked at for every row, the rest only then.
  if (value.size() > 4 && value[4] >= '0' && value[4] <= '9' && wide_residue_number(value, out))
    return;
  char kept[5];
  int n = 0;
  const int m = value.size() < 5 ? static_cast<int>(value.size()) : 5;
  if (drop_inner_blanks) {
    // Each character is put in place and kept only when it counts: no
    // branch on the length of the number.
    for (int i = 0; i < m; ++i) {
      const char c = value[i];
      kept[n] = c;
      n += c != ' ' && c != '\0';
    }
  } else {
    n = rt::len_trim(value.substr(0, m));
    for (int i = 0; i < n; ++i) kept[i] = value[i];
  }
  // Right-justified in five columns; a number that ends in a digit (no
  // insertion code) moves one column left.  Each column is picked from the
  // kept characters rather than read back from `out`.
  const bool shift = n > 0 && kept[n - 1] >= '0' && kept[n - 1] <= '9';
  const int first = 5 - n - (shift ? 1 : 0);  // column of kept[0]
  for (int i = 0; i < 5; ++i) {
    const int k = i - first;
    out[i] = k >= 0 && k < n ? kept[k] : ' ';
  }
}

int32_t cif_read_i4(std::string_view field) {
  int i = 0;
  const int n = static_cast<int>(field.size());
  while (i < n && field[i] == ' ') ++i;
  bool neg = false;
  if (i < n && (field[i] == '-' || field[i] == '+')) neg = field[i++] == '-';
  long v = 0;
  bool any = false;
  while (i < n && field[i] >= '0' && field[i] <= '9') {
    v = v * 10 + (field[i++] - '0');
    any = true;
  }
  while (i < n && field[i] == ' ') ++i;
  if (!any || i != n) return 0;
  return static_cast<int32_t>(neg ? -v : v);
}

bool cif_rows_begin(int32_t in, int32_t& iend) {
  bool held = false;
  crdatm.cr_iatom = 0;
  iend = 0;
  if (com_crd_cif.held_unit != 0 && com_crd_cif.held_unit == in) {
    held = true;
    com_crd_cif.iend_cif = 0;
  } else {
    rt::unit_rewind(in);
    com_crd_cif.iend_cif = -1;
  }
  com_crd_cif.held_unit = 0;
  return held;
}

bool cif_rows_read(int32_t in, int32_t mdoc, bool& held, int32_t& ierr) {
  if (held) {
    held = false;
    return true;
  }
  getcif_info_(in, mdoc, ierr, com_crd_cif.iend_cif);
  if (ierr == 0) return true;
  msgerr_(mdoc, " ERROR: read input file");
  rt::unit_close(crdinf.cri_iun);
  ierr = 1;
  return false;
}

CifFreeLine cif_rows_free_line(int32_t ie, int32_t& mode, int32_t msg_code) {
  if (!(ie == -2 || (ie == 0 && comcif_info.n_cif == 0))) return CifFreeLine::None;
  rt::FixedText<80> raw;
  raw = ie == -2 ? comcif_info.dt_cif(60).sub(1, 79) : comcif_info.blk_cif.sub(1, 79);
  const char c = raw(1);
  if (raw.len_trim() == 0) {
    mode = 1;
    raw = "#";
  } else if (c == '#' || c == 'C' || c == 'c' || c == 'd' || c == '_') {
    mode = 1;
  } else {
    return CifFreeLine::Skip;
  }
  crdatm.cr_line = raw.view();
  msgdoc_(msg_code, raw.trimmed());
  return CifFreeLine::EndsList;
}
