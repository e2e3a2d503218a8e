// New-monomer mmCIF file.  Every atom gets a row numbered by its index in the
// description; an atom without coordinates shows "." for them and calc flag
// "D" (dummy).
#include "drawing/new_monomer_cif.h"

#include <algorithm>
#include <string>

#include "dictionary/lib_com.h"
#include "foundation/atom_names.h"
#include "foundation/messages.h"
#include "runtime/fixed_text.h"
#include "runtime/format.h"
#include "runtime/units.h"

namespace {

constexpr std::string_view kAtomSiteItems[] = {
    "id",       "label_atom_id", "label_alt_id", "label_comp_id", "label_asym_id",  "label_seq_id",
    "Cartn_x",  "Cartn_y",       "Cartn_z",      "occupancy",     "B_iso_or_equiv", "type_symbol",
    "calc_flag"};

// Where each decimal point of the three F8.3 fields would stand.
constexpr std::string_view kNoCoordinates = "     .        .        .   ";
static_assert(kNoCoordinates.size() == 27);

// A word that a CIF reader would take for something other than a value: an
// item name, a comment, a reserved word, a text field or a bracketed value.
bool needs_quotes(std::string_view word) {
  const char c = word[0];
  if (c == '_' || c == '#' || c == '$' || c == ';' || c == '[' || c == ']') return true;
  if (word.find('#') != std::string_view::npos) return true;
  auto starts = [&](std::string_view prefix) {
    if (word.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
      if ((word[i] | 0x20) != prefix[i]) return false;
    return true;
  };
  return starts("data_") || starts("loop_") || starts("save_") || starts("global_") ||
         starts("stop_");
}

// One value of an atom row.  A blank text is written as "." (as the
// coordinate writers do), so that the row keeps its count of values; the
// reader takes an empty quoted value for the start of a longer one.  `text`
// is already past the name correction, which quotes a name holding an
// apostrophe.
std::string row_value(std::string_view text) {
  text = rt::trim_right(text);
  if (text.empty()) return ".";
  if (text[0] == '\'') return std::string(text);
  if (!needs_quotes(text)) return std::string(text);
  std::string quoted = "'";
  quoted += text;
  quoted += '\'';
  return quoted;
}

}  // namespace

void wr_cif_new_(int32_t mdoc, int32_t iun, std::string_view prog, int32_t& ierr) {
  const r_scratch_t& r = r_scratch;
  const std::string_view mon = r.l1l_mname.view();
  std::string line;
  line.reserve(256);
  auto put = [&](std::string_view text) { wrtstr_(iun, mdoc, text, ierr); };
  auto item = [&](std::string_view name, std::string_view value) {
    line.assign(name);
    line += "  ";
    line += value;
    put(line);
  };

  line = "data_structure_";
  line += mon;
  put(line);
  item("_entry.id", mon);
  item("_database_2.code_PDB", mon);

  rt::FixedText<80> title;
  {
    std::string t = "coordinates of ";
    t += mon;
    t += " from program: ";
    const std::string_view p = rt::trim_right(prog);
    t += p.substr(0, p.size() < 42 ? p.size() : 42);
    title = t;
  }
  constexpr std::string_view kTitleItem = "_struct.title";
  int lt = title.len_trim();
  const int ln = static_cast<int>(kTitleItem.size());
  if (ln + lt + 4 > 78) lt = 74 - ln;
  item(kTitleItem, "'" + std::string(title.view().substr(0, lt)) + "'");

  item("_cell.entry", mon);
  item("_cell.length_a   ", rt::fmt("(F8.3)", 100.0f));
  item("_cell.length_b   ", rt::fmt("(F8.3)", 100.0f));
  item("_cell.length_c   ", rt::fmt("(F8.3)", 100.0f));
  item("_cell.angle_alpha", rt::fmt("(F8.3)", 90.0f));
  item("_cell.angle_beta ", rt::fmt("(F8.3)", 90.0f));
  item("_cell.angle_gamma", rt::fmt("(F8.3)", 90.0f));
  item("_symmetry.entry.id", mon);
  item("_symmetry.space_group_name_H-M", "'P 1'");
  item("_symmetry.Int_Tables_number", "1");

  put("loop_");
  put("_symmetry_equiv.id");
  put("_symmetry_equiv.pos_as_xyz");
  put("  1   X,Y,Z");
  put("loop_");
  put("_entity.id");
  put("_entity.type");
  put("   AA   non-polymer");
  put("loop_");
  put("_struct_asym.id");
  put("_struct_asym.entity_id");
  put("   AA   AA");
  put("loop_");
  for (std::string_view it : kAtomSiteItems) put("_atom_site." + std::string(it));

  const int natom = r.l1a_natom < MAX1ATM ? r.l1a_natom : MAX1ATM;
  for (int i = 1; i <= natom; ++i) {
    std::string_view coords = kNoCoordinates;
    std::string_view flag = "D";
    std::string xyz;
    if (r.l1a_coor_flag(i) == "Y") {
      xyz = rt::fmt("(3(1X,F8.3))", r.l1a_x(i), r.l1a_y(i), r.l1a_z(i));
      coords = xyz;
      flag = ".";
    }
    rt::FixedText<6> watom1(r.l1a_aname(i).view());
    corr_name_cif_out_(watom1.ref());
    const rt::FixedText<6> name(row_value(watom1.view()));
    const std::string_view symb = rt::trim_right(r.l1a_symb(i).view());
    const rt::FixedText<6> asymb(
        ' ' + row_value(symb.substr(0, symb.size() < 3 ? symb.size() : 3)));
    const int symb_width = std::max(4, asymb.len_trim());
    line = rt::fmt("(I5,1X,A6,A,A8,A,A27,A,1X,A,1X,A1)", i, name, " . ", mon, " AA  1", coords,
                   "   1.00  20.0 ", asymb.view().substr(0, symb_width), flag);
    put(line);
  }
  // The last lines reach the file at the close: a full device shows there.
  if (rt::unit_close_or_remove(iun) != 0) {
    msgerr_(mdoc, " ERROR: WRITE TO OUTPUT FILE ");
    ierr = 4;
  }
}
