// The head of an output mmCIF coordinate file.  Categories are separated by
// three-line banners of '#', which CIF readers take as comments.  Every
// line goes through wrtstr_; the first failed line closes the unit and
// ends the header with status 4.
#include "output/cif_out_header.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "foundation/atom_com.h"
#include "foundation/dates.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "output/conn_loops.h"
#include "output/entity_loops.h"
#include "output/out_lines.h"
#include "runtime/units.h"
#include "suite/pi.h"

namespace {

constexpr std::string_view kAtomSiteItems[] = {
    "id",
    "label_atom_id",
    "label_alt_id",
    "label_comp_id",
    "label_asym_id",
    "auth_seq_id",
    "pdbx_PDB_ins_code",
    "Cartn_x",
    "Cartn_y",
    "Cartn_z",
    "occupancy",
    "B_iso_or_equiv",
    "type_symbol",
    "calc_flag",
    "label_auth_atom_id",
    "label_chem_id",
};
constexpr std::string_view kMultItems[] = {"symmetry_multiplicity", "footnote_id"};
constexpr std::string_view kAnisoItems[] = {"aniso_U[1][1]", "aniso_U[2][2]", "aniso_U[3][3]",
                                            "aniso_U[1][2]", "aniso_U[1][3]", "aniso_U[2][3]"};

struct Fraction {
  float lo, hi;
  const char* text;
};
// Open intervals, tried in this order.
constexpr Fraction kFractions[] = {
    {0.49f, 0.51f, "1/2"},   {0.24f, 0.26f, "1/4"}, {0.32f, 0.34f, "1/3"},   {0.74f, 0.76f, "3/4"},
    {0.165f, 0.167f, "1/6"}, {0.66f, 0.67f, "2/3"}, {0.833f, 0.835f, "5/6"},
};

// Lines of the header with the first failure kept: once a line has failed
// nothing more is written.
class Head : public output::LineSink {
 public:
  using LineSink::LineSink;

  void banner(std::string_view title) {
    if (!ok_) return;
    int32_t ierr = 0;
    output::put_banner(iun_, title, ierr);
    ok_ = ierr == 0;
  }
  // An item with a quoted text value, written whole: a text field when
  // quoted it would not read back as itself or its line would pass 78
  // characters.
  void quoted(std::string_view item, std::string_view value) {
    if (!ok_) return;
    int32_t ierr = 0;
    std::string lead(item);
    lead.append("  ");
    output::put_quoted(iun_, ierr, lead, rt::trim_right(value), 78);
    ok_ = ierr == 0;
  }
};

// Entry code as written and the code of the second database item.
struct Codes {
  rt::FixedText<8> code, code_ndb;
};

Codes entry_codes() {
  rt::FixedText<8>& cd = crst_pdb.cs_cd_pdb;
  Codes c;
  int n = cd.len_trim();
  if (n == 0) {
    c.code = "XXXX";
    c.code_ndb = "?";
    cd = "-";
    n = 1;
  } else {
    c.code = cd.sub(1, n);
    c.code_ndb = c.code;
  }
  if (c.code_ndb == cd.view().substr(0, 4)) c.code_ndb = "?";
  const char f = c.code(1);
  if (f == '?' || f == ' ' || f == '.' || c.code.sub(1, 4) == std::string_view("XXXX")) {
    c.code = cd.sub(1, n);
    c.code_ndb = "?";
  }
  return c;
}

// A header value as one CIF word: with a blank inside (or ahead of it) a
// reader would take it for two values and refuse the file, and a value such
// as "#" would start a comment, so such a value goes between apostrophes, or
// between double quotes when it holds an apostrophe followed by a blank.
std::string word(std::string_view value) {
  value = rt::trim_right(value);
  const char q = output::cif_quote_for(value);
  if (q == 0) return std::string(value);
  std::string w(1, q);
  w.append(value);
  w.push_back(q);
  return w;
}

// A loop value as one CIF word ("." when blank), padded to its column.
std::string column(std::string_view value, std::size_t width) {
  std::string w = word(output::or_dot(value));
  if (w.size() < width) w.resize(width, ' ');
  return w;
}

void put_header_items(Head& h, const Codes& c) {
  const std::string code = word(c.code.view());
  // A data block name cannot be quoted: a blank in it becomes '_'.
  std::string block(c.code.trimmed());
  for (char& ch : block)
    if (ch == ' ') ch = '_';
  h.put("(A,A)", "data_structure_", block);
  h.put("(A,2X,A)", "_entry.id", code);
  h.put("(A,2X,A)", "_database_2.code_PDB", word(crst_pdb.cs_cd_pdb.view()));
  if (c.code_ndb(1) != '?') h.put("(A,2X,A)", "_database_2.code_NDB   ", code);
  if (crst_pdb.cs_name_pdb.is_blank()) crst_pdb.cs_name_pdb = "?";
  h.quoted("_struct_keywords.text", crst_pdb.cs_name_pdb.view());
  h.quoted("_struct.title", crst_pdb.cs_title.view());
  // A date not in the PDB form (none was read, or the file gave "?") would
  // come out as a partial date with blanks in it: it is written unknown.
  const std::string_view date_in = crst_pdb.cs_date_pdb.view();
  rt::FixedText<10> date;
  chng_date_(foundation::pdb_date_form(date_in) ? date_in : std::string_view("XX-XXX-XX"), date);
  h.put("(A,2X,A)", "_audit.creation_date", word(date.view()));
  h.put("(A,A)", "_software.name", "  blanc");
}

void put_entities(Head& h) {
  const cif_entity_list_t& e = cif_entity_list;
  if (e.n_chn_ent <= 0) return;
  h.banner("ENTITY");
  h.text("loop_");
  h.text("_entity.id");
  h.text("_entity.type");
  for (int32_t i = 1; i <= e.n_chn_ent; ++i)
    h.put("(A,2X,A)", column(e.ent_chain_id(i).view(), 4), column(e.ent_chain_type(i).view(), 16));
}

void put_cell(Head& h, std::string_view code) {
  constexpr float pi = suite::kPi<float>;
  const float rad = pi / 180.0f;
  const rt::Array1<float, 6>& cell = crst_crd.cs_cell;
  h.banner("CELL");
  h.put("(A,2X,A)", "_cell.entry", code);
  // The readers take edges up to 100000 A; an edge past the usual field
  // widens it rather than fill it with stars the readers would refuse.
  const char* names[3] = {"_cell.length_a", "_cell.length_b", "_cell.length_c"};
  for (int i = 1; i <= 3; ++i)
    h.put(cell(i) < 9999.9995f ? "(A,5X,F8.3)" : "(A,5X,F10.3)", names[i - 1], cell(i));
  h.put("(A,2X,F8.3)", "_cell.angle_alpha", cell(4) / rad);
  h.put("(A,3X,F8.3)", "_cell.angle_beta", cell(5) / rad);
  h.put("(A,2X,F8.3)", "_cell.angle_gamma", cell(6) / rad);
}

void put_matrix(Head& h) {
  h.banner("FRACTIONALISATION MATRIX");
  char item[64];
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      std::snprintf(item, sizeof item, "_atom_sites.fract_transf_matrix[%d][%d]", i, j);
      h.put("(A,2X,F10.6)", std::string_view(item), crst_pdb.cs_scale(i, j));
    }
  for (int i = 1; i <= 3; ++i) {
    std::snprintf(item, sizeof item, "_atom_sites.fract_transf_vector[%d]", i);
    h.put("(A,2X,F10.6)", std::string_view(item), crst_pdb.cs_u(i));
  }
}

void put_symmetry(Head& h, std::string_view code) {
  h.banner("SYMMETRY");
  h.put("(A,2X,A)", "_symmetry.entry.id", code);
  h.put("(A,2X,A,A,A)", "_symmetry.space_group_name_H-M", "'", crst_crd.cs_spgr.trimmed(), "'");
  h.put("(A,2X,I5)", "_symmetry.Int_Tables_number", crst_crd.cs_nspgr);
  const int32_t nsym = crst_crd.cs_nsym;
  if (nsym <= 0) return;
  h.text("loop_");
  h.text("_symmetry_equiv.id");
  h.text("_symmetry_equiv.pos_as_xyz");
  for (int32_t i = 1; i <= nsym && i <= MAXNSO; ++i) h.put("(I3,2X,A)", i, symop_text(i));
}

void put_chains(Head& h) {
  const asym_part_t& a = asym_part;
  if (a.n_group <= 0) return;
  h.banner("STRUCT_ASYM");
  h.text("loop_");
  h.text("_struct_asym.id");
  h.text("_struct_asym.entity_id");
  for (int32_t i = 1; i <= a.n_group; ++i) {
    const int32_t g = a.igroup_asm(i);
    std::string_view entity = a.group_id(i).view();
    if (g >= 1 && g <= cif_asym_part.n_grp_asm) entity = cif_asym_part.asm_chain_id(g).view();
    h.put("(A,2X,A)", column(a.group_id(i).view(), 4), column(entity, 4));
  }
}

void put_atom_site_header(Head& h) {
  h.banner("ATOM_SITE");
  h.text("loop_");
  for (std::string_view item : kAtomSiteItems) h.put("(A,A)", "_atom_site.", item);
  if (com_out_cif.out_cif_corr == 0 || com_out_cif.out_cif_mult == 0)
    for (std::string_view item : kMultItems) h.put("(A,A)", "_atom_site.", item);
  if (atom_inf.n_aniso > 0)
    for (std::string_view item : kAnisoItems) h.put("(A,A)", "_atom_site.", item);
}

}  // namespace

std::string symop_text(int32_t i) {
  std::string s;
  for (int k = 1; k <= 3; ++k) {
    float t = crst_crd.cs_v_cs(k, i);
    if (std::fabs(t) < 1.0e-5f) t = 0.0f;
    const std::size_t mark = s.size();
    if (t < 0.0f) s.push_back('-');
    const float d = std::fabs(t);
    const char* frac = nullptr;
    for (const Fraction& f : kFractions)
      if (d > f.lo && d < f.hi) {
        frac = f.text;
        break;
      }
    if (frac) s.append(frac);
    else s.resize(mark);
    for (int j = 1; j <= 3; ++j) {
      float r = crst_crd.cs_m_cs(k, j, i);
      if (std::fabs(r) < 1.0e-5f) r = 0.0f;
      const int n = r > 0.0f ? static_cast<int>(r + 1.0e-4f) : static_cast<int>(r - 1.0e-4f);
      if (n < 0) s.push_back('-');
      if (n > 0) s.push_back('+');
      const int a = n < 0 ? -n : n;
      if (a >= 2 && a <= 999) s.append(std::to_string(a));
      if (n != 0) s.push_back("XYZ"[j - 1]);
    }
    s.push_back(',');
  }
  return s;
}

void owcrd_cif_(int32_t mdoc, int32_t& iun, std::string_view path, std::string_view nameo,
                std::string_view ext, int32_t& ierr) {
  ierr = 0;
  if (rt::len_trim(nameo) == 0 || nameo[0] == ',' || nameo[0] == ' ') {
    ierr = 1;
    msgerr_(mdoc, " ERROR: WRONG NAME OF OUTPUT_FILE");
    return;
  }
  iun = crdinf.cro_iun;
  openfw_(iun, 99, path, nameo, ext, ierr);
  crdinf.cro_iun = iun;
  if (ierr != 0) {
    ierr = 1;
    msgerr_(mdoc, " ERROR: OPEN OUTPUT_FILE ");
    return;
  }
  // A file whose header could not be written whole is not left behind.
  auto fail = [&](int32_t status) {
    rt::unit_close(iun, true);
    ierr = status;
  };

  const Codes c = entry_codes();
  const std::string code = word(c.code.view());
  Head h(iun);
  put_header_items(h, c);
  put_entities(h);
  if (!h.ok()) return fail(4);

  int32_t ifirst = 0;
  int32_t st = 0;
  wrt_entity_poly_(mdoc, iun, ifirst, st);
  if (st == 0) {
    ifirst = 0;
    wrt_entity_link_(mdoc, iun, ifirst, st);
  }
  if (st != 0) return fail(3);

  put_cell(h, code);
  put_matrix(h);
  put_symmetry(h, code);
  put_chains(h);
  if (!h.ok()) return fail(4);

  ifirst = 0;
  wrt_link_(mdoc, iun, ifirst, st);
  if (st != 0) return fail(2);
  ifirst = 0;
  wrt_mod_(mdoc, iun, ifirst, st);
  if (st != 0) return fail(3);

  put_atom_site_header(h);
  if (!h.ok()) return fail(4);
}
