// List rows and description blocks of single dictionary entries in the
// monomer-library layout.  Every loop of a block walks the entry's rows of
// one kind from its start pointer while the rows carry the entry's code; a
// loop whose start pointer is 0 is left out, head and all.
#include "dictionary/lib_entry_writer.h"

#include <string>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"

namespace dictionary {
namespace {

// The values of one row: stored texts (LibValue) and atom names (CifName),
// each in a slot of its own so that a row can hold several at once.
struct Cells {
  LibValue t[8];
  output::CifName a[5];

  std::string_view text(int k, std::string_view s, int width) { return t[k].make(s, width); }
  std::string_view atom(int k, std::string_view name) {
    return a[k].make(output::or_dot(name), 6);
  }
};

// Missing deviations of bonds, angles and torsions.
float bond_dev(float d) { return d <= 0.0f ? 0.020f : d; }
float angle_dev(float d) { return d <= 0.0f ? 3.0f : d; }
float tors_dev(float d) { return d <= 0.0f ? 20.0f : d; }

bool retired(std::string_view code) { return !code.empty() && code[0] == '?'; }

bool begins(std::string_view s, std::string_view head) { return s.substr(0, head.size()) == head; }

// A sign of a metal centre with more than three outer atoms.
bool cross_sign(std::string_view sign) {
  for (std::string_view w : {"cross3", "cross4", "cross5", "cross6", "star5", "star6"})
    if (begins(sign, w)) return true;
  return false;
}

void block_head(LibLines& w, std::string_view prefix, std::string_view code) {
  // A data block name cannot be quoted: a blank in it would end the name and
  // leave the rest of the code as a stray value, so it becomes '_'.
  std::string name(rt::trim_right(code));
  for (char& ch : name)
    if (ch == ' ') ch = '_';
  w.text("#");
  w.put("(A,A)", prefix, name);
  w.text("#");
}

// ---------------------------------------------------------------- monomers

constexpr std::string_view kCompItems[] = {
    "_chem_comp.id",           "_chem_comp.three_letter_code", "_chem_comp.name",
    "_chem_comp.group",        "_chem_comp.number_atoms_all",  "_chem_comp.number_atoms_nh",
    "_chem_comp.desc_level",
};

constexpr std::string_view kAtomItems[] = {
    "_chem_comp_atom.comp_id",     "_chem_comp_atom.atom_id",        "_chem_comp_atom.type_symbol",
    "_chem_comp_atom.type_energy", "_chem_comp_atom.partial_charge",
};
constexpr std::string_view kXyzItems[] = {"_chem_comp_atom.x", "_chem_comp_atom.y",
                                          "_chem_comp_atom.z"};
constexpr std::string_view kTreeItems[] = {
    "_chem_comp_tree.comp_id",      "_chem_comp_tree.atom_id",      "_chem_comp_tree.atom_back",
    "_chem_comp_tree.atom_forward", "_chem_comp_tree.connect_type",
};
constexpr std::string_view kBondItems[] = {
    "_chem_comp_bond.comp_id",
    "_chem_comp_bond.atom_id_1",
    "_chem_comp_bond.atom_id_2",
    "_chem_comp_bond.type",
};
constexpr std::string_view kBondValueItems[] = {"_chem_comp_bond.value_dist",
                                                "_chem_comp_bond.value_dist_esd"};
constexpr std::string_view kAngleItems[] = {
    "_chem_comp_angle.comp_id",     "_chem_comp_angle.atom_id_1",
    "_chem_comp_angle.atom_id_2",   "_chem_comp_angle.atom_id_3",
    "_chem_comp_angle.value_angle", "_chem_comp_angle.value_angle_esd",
};
constexpr std::string_view kTorItems[] = {
    "_chem_comp_tor.comp_id",     "_chem_comp_tor.id",          "_chem_comp_tor.atom_id_1",
    "_chem_comp_tor.atom_id_2",   "_chem_comp_tor.atom_id_3",   "_chem_comp_tor.atom_id_4",
    "_chem_comp_tor.value_angle", "_chem_comp_tor.value_angle_esd", "_chem_comp_tor.period",
};
constexpr std::string_view kChirItems[] = {
    "_chem_comp_chir.comp_id",   "_chem_comp_chir.id",        "_chem_comp_chir.atom_id_centre",
    "_chem_comp_chir.atom_id_1", "_chem_comp_chir.atom_id_2", "_chem_comp_chir.atom_id_3",
    "_chem_comp_chir.volume_sign",
};
constexpr std::string_view kChirCrossItems[] = {
    "_chem_comp_chir.atom_id_4", "_chem_comp_chir.atom_id_5", "_chem_comp_chir.atom_id_6",
    "_chem_comp_chir.atom_id_7", "_chem_comp_chir.atom_id_8",
};
constexpr std::string_view kPlaneItems[] = {
    "_chem_comp_plane_atom.comp_id",
    "_chem_comp_plane_atom.plane_id",
    "_chem_comp_plane_atom.atom_id",
    "_chem_comp_plane_atom.dist_esd",
};

// The second line of a cross-sign chiral row: atoms 5 to 9.
void cross_line(LibLines& w, std::string_view a5, std::string_view a6, std::string_view a7,
                std::string_view a8, std::string_view a9) {
  Cells c;
  w.put("(19X,A,1X,A,1X,A,1X,A,1X,A)", c.atom(0, a5), c.atom(1, a6), c.atom(2, a7),
        c.atom(3, a8), c.atom(4, a9));
}

void monomer_atoms(LibLines& w, int32_t i, BlockForm form) {
  const r_scratch_t& r = r_scratch;
  const auto& code = r.lml_mname(i);
  const int32_t first = r.lml_iatom(i);
  int32_t last = first;
  while (last <= r.lma_natom && r.lma_mname(last) == code) ++last;
  bool xyz = form == BlockForm::Library;
  for (int32_t j = first; j < last && xyz; ++j)
    if (r.lma_coor_flag(j) == "N" || r.lma_coor_flag(j) == ".") xyz = false;
  w.text("loop_");
  w.items(kAtomItems);
  if (xyz) w.items(kXyzItems);
  for (int32_t j = first; j < last; ++j) {
    Cells c;
    const std::string_view mon = c.text(0, r.lma_mname(j).view(), 8);
    const std::string_view atom = c.atom(0, r.lma_aname(j).view());
    const std::string_view symb = c.text(1, r.lma_symb(j).view(), 4);
    const std::string_view chem = c.text(2, r.lma_chem(j).view(), 4);
    if (xyz)
      w.put("(1X,A,6X,A,1X,A,1X,A,3X,F8.3,3X,F8.3,1X,F8.3,1X,F8.3)", mon, atom, symb, chem,
            r.lma_charg(j), r.lma_x(j), r.lma_y(j), r.lma_z(j));
    else
      w.put("(1X,A,6X,A,1X,A,1X,A,3X,F8.3)", mon, atom, symb, chem, r.lma_charg(j));
  }
  if (r.lml_prsnt(i) == "M") return;

  w.text("loop_");
  w.items(kTreeItems);
  for (int32_t j = first; j < last; ++j) {
    Cells c;
    std::string_view type = r.lma_type(j).is_blank() ? "." : r.lma_type(j).view();
    if (begins(r.lma_back(j).view(), ".")) type = "START";
    std::string_view forw = r.lma_forw(j).view();
    // The last atom is written as connect type END with no forward atom; the
    // dictionary keeps its "END", so a second writing gives the same rows.
    if (r.lma_forw(j) == "END") {
      type = "END";
      forw = ".";
    }
    const std::string_view back = begins(r.lma_back(j).view(), ".") ? "n/a" : r.lma_back(j).view();
    w.put("(1X,A,1X,A,1X,A,1X,A,1X,A)", c.text(0, r.lma_mname(j).view(), 8),
          c.atom(0, r.lma_aname(j).view()), c.atom(1, back), c.atom(2, forw), c.text(1, type, 8));
  }
  if (r.lmn_nconn > 0 && r.lml_iconn(i) > 0) {
    for (int32_t j = r.lml_iconn(i); j <= r.lmn_nconn && r.lmn_mname(j) == code; ++j) {
      Cells c;
      w.put("(1X,A,1X,A,1X,A,1X,A,4X,A)", c.text(0, r.lmn_mname(j).view(), 8),
            c.atom(0, r.lmn_1atm(j).view()), c.atom(1, r.lmn_2atm(j).view()), ".", "ADD");
    }
  }
}

void monomer_bonds(LibLines& w, int32_t i, BlockForm form) {
  const r_scratch_t& r = r_scratch;
  const auto& code = r.lml_mname(i);
  const bool minimal = r.lml_prsnt(i) == "M";
  w.text("loop_");
  w.items(kBondItems);
  if (!minimal) w.items(kBondValueItems);
  for (int32_t j = r.lml_ibond(i); j <= r.lmb_nbond && r.lmb_mname(j) == code; ++j) {
    Cells c;
    const std::string_view a1 = c.atom(0, r.lmb_1atm(j).view());
    const std::string_view a2 = c.atom(1, r.lmb_2atm(j).view());
    const std::string_view type = c.text(1, r.lmb_type(j).view(), 8);
    if (!minimal) {
      w.put("(1X,A,1X,A,1X,A,4X,A,1X,F8.3,1X,F8.3)", c.text(0, r.lmb_mname(j).view(), 8), a1, a2,
            type, r.lmb_val(j), bond_dev(r.lmb_dev(j)));
    } else if (form == BlockForm::Library) {
      w.put("(1X,A,1X,A,1X,A,4X,A)", c.text(0, r.lmb_mname(j).view(), 8), a1, a2, type);
    } else {
      // This form gives the code the columns of a three-letter code and
      // eight blanks; a longer code takes them whole rather than being cut,
      // which would give the rows to another monomer.
      w.put("(1X,A,A,1X,A,4X,A)", c.text(0, r.lmb_mname(j).view(), 11), a1, a2, type);
    }
  }
}

void monomer_angles(LibLines& w, int32_t i) {
  const r_scratch_t& r = r_scratch;
  const auto& code = r.lml_mname(i);
  w.text("loop_");
  w.items(kAngleItems);
  for (int32_t j = r.lml_ithet(i); j <= r.lmg_nangl && r.lmg_mname(j) == code; ++j) {
    Cells c;
    w.put("(1X,A,1X,A,1X,A,1X,A,1X,F8.3,1X,F8.3)", c.text(0, r.lmg_mname(j).view(), 8),
          c.atom(0, r.lmg_1atm(j).view()), c.atom(1, r.lmg_2atm(j).view()),
          c.atom(2, r.lmg_3atm(j).view()), r.lmg_val(j), angle_dev(r.lmg_dev(j)));
  }
}

void monomer_torsions(LibLines& w, int32_t i) {
  const r_scratch_t& r = r_scratch;
  const auto& code = r.lml_mname(i);
  w.text("loop_");
  w.items(kTorItems);
  for (int32_t j = r.lml_itors(i); j <= r.lmt_ntors && r.lmt_mname(j) == code; ++j) {
    float angle = r.lmt_val(j);
    if (angle > 180.0f) angle -= 360.0f;
    if (angle <= -180.0f) angle += 360.0f;
    const float dev = r.lmt_prd(j) == 0 ? 0.0f : tors_dev(r.lmt_dev(j));
    Cells c;
    w.put("(1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,2X,F8.3,1X,F8.3,1X,I3)",
          c.text(0, r.lmt_mname(j).view(), 8), c.text(1, r.lmt_label(j).view(), 8),
          c.atom(0, r.lmt_1atm(j).view()), c.atom(1, r.lmt_2atm(j).view()),
          c.atom(2, r.lmt_3atm(j).view()), c.atom(3, r.lmt_4atm(j).view()), angle, dev,
          r.lmt_prd(j));
  }
}

void monomer_chirals(LibLines& w, int32_t i) {
  const r_scratch_t& r = r_scratch;
  const auto& code = r.lml_mname(i);
  const int32_t first = r.lml_ichir(i);
  bool cross = false;
  for (int32_t j = first; j <= r.lmc_nchir && r.lmc_mname(j) == code; ++j)
    if (cross_sign(r.lmc_sign(j).view())) cross = true;
  w.text("loop_");
  w.items(kChirItems);
  if (cross) w.items(kChirCrossItems);
  int counter = 0;
  for (int32_t j = first; j <= r.lmc_nchir && r.lmc_mname(j) == code; ++j) {
    if (counter < 99) ++counter;
    const char id[] = {'c', 'h', 'i', 'r', '_', static_cast<char>('0' + counter / 10),
                       static_cast<char>('0' + counter % 10)};
    Cells c;
    w.put("(1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,4X,A)", c.text(0, r.lmc_mname(j).view(), 8),
          c.text(1, std::string_view(id, sizeof id), 8), c.atom(0, r.lmc_1atm(j).view()), c.atom(1, r.lmc_2atm(j).view()),
          c.atom(2, r.lmc_3atm(j).view()), c.atom(3, r.lmc_4atm(j).view()),
          c.text(2, r.lmc_sign(j).view(), 8));
    if (cross)
      cross_line(w, r.lmc_5atm(j).view(), r.lmc_6atm(j).view(), r.lmc_7atm(j).view(),
                 r.lmc_8atm(j).view(), r.lmc_9atm(j).view());
  }
}

void monomer_planes(LibLines& w, int32_t i) {
  const r_scratch_t& r = r_scratch;
  const auto& code = r.lml_mname(i);
  w.text("loop_");
  w.items(kPlaneItems);
  for (int32_t j = r.lml_iplan(i); j <= r.lmp_nplan && r.lmp_mname(j) == code; ++j) {
    Cells c;
    const std::string_view mon = c.text(0, r.lmp_mname(j).view(), 8);
    const std::string_view label = c.text(1, r.lmp_label(j).view(), 8);
    for (int32_t k = 1; k <= r.lmp_natom(j); ++k)
      w.put("(1X,A,1X,A,2X,A,1X,F8.3)", mon, label, c.atom(0, r.lmp_atom(k, j).view()),
            r.lmp_dev(k, j));
  }
}

// ------------------------------------------------------------------ links

constexpr std::string_view kLinkListItems[] = {
    "_chem_link.id",        "_chem_link.comp_id_1", "_chem_link.mod_id_1",
    "_chem_link.group_comp_1", "_chem_link.comp_id_2", "_chem_link.mod_id_2",
    "_chem_link.group_comp_2", "_chem_link.name",
};
constexpr std::string_view kLinkBondItems[] = {
    "_chem_link_bond.link_id",   "_chem_link_bond.atom_1_comp_id", "_chem_link_bond.atom_id_1",
    "_chem_link_bond.atom_2_comp_id", "_chem_link_bond.atom_id_2", "_chem_link_bond.type",
    "_chem_link_bond.value_dist", "_chem_link_bond.value_dist_esd",
};
constexpr std::string_view kLinkAngleItems[] = {
    "_chem_link_angle.link_id",        "_chem_link_angle.atom_1_comp_id",
    "_chem_link_angle.atom_id_1",      "_chem_link_angle.atom_2_comp_id",
    "_chem_link_angle.atom_id_2",      "_chem_link_angle.atom_3_comp_id",
    "_chem_link_angle.atom_id_3",      "_chem_link_angle.value_angle",
    "_chem_link_angle.value_angle_esd",
};
constexpr std::string_view kLinkTorItems[] = {
    "_chem_link_tor.link_id",        "_chem_link_tor.id",
    "_chem_link_tor.atom_1_comp_id", "_chem_link_tor.atom_id_1",
    "_chem_link_tor.atom_2_comp_id", "_chem_link_tor.atom_id_2",
    "_chem_link_tor.atom_3_comp_id", "_chem_link_tor.atom_id_3",
    "_chem_link_tor.atom_4_comp_id", "_chem_link_tor.atom_id_4",
    "_chem_link_tor.value_angle",    "_chem_link_tor.value_angle_esd",
    "_chem_link_tor.period",
};
constexpr std::string_view kLinkChirItems[] = {
    "_chem_link_chir.link_id",        "_chem_link_chir.atom_centre_comp_id",
    "_chem_link_chir.atom_id_centre", "_chem_link_chir.atom_1_comp_id",
    "_chem_link_chir.atom_id_1",      "_chem_link_chir.atom_2_comp_id",
    "_chem_link_chir.atom_id_2",      "_chem_link_chir.atom_3_comp_id",
    "_chem_link_chir.atom_id_3",      "_chem_link_chir.volume_sign",
};
constexpr std::string_view kLinkPlaneItems[] = {
    "_chem_link_plane.link_id", "_chem_link_plane.plane_id", "_chem_link_plane.atom_comp_id",
    "_chem_link_plane.atom_id", "_chem_link_plane.dist_esd",
};

// -------------------------------------------------------------- modifications

constexpr std::string_view kModListItems[] = {"_chem_mod.id", "_chem_mod.name",
                                              "_chem_mod.comp_id", "_chem_mod.group_id"};
constexpr std::string_view kModAtomItems[] = {
    "_chem_mod_atom.mod_id",          "_chem_mod_atom.function",
    "_chem_mod_atom.atom_id",         "_chem_mod_atom.new_atom_id",
    "_chem_mod_atom.new_type_symbol", "_chem_mod_atom.new_type_energy",
    "_chem_mod_atom.new_partial_charge",
};
constexpr std::string_view kModTreeItems[] = {
    "_chem_mod_tree.mod_id",    "_chem_mod_tree.function",     "_chem_mod_tree.atom_id",
    "_chem_mod_tree.atom_back", "_chem_mod_tree.back_type",    "_chem_mod_tree.atom_forward",
    "_chem_mod_tree.connect_type",
};
constexpr std::string_view kModBondItems[] = {
    "_chem_mod_bond.mod_id",    "_chem_mod_bond.function",       "_chem_mod_bond.atom_id_1",
    "_chem_mod_bond.atom_id_2", "_chem_mod_bond.new_type",       "_chem_mod_bond.new_value_dist",
    "_chem_mod_bond.new_value_dist_esd",
};
constexpr std::string_view kModAngleItems[] = {
    "_chem_mod_angle.mod_id",          "_chem_mod_angle.function",
    "_chem_mod_angle.atom_id_1",       "_chem_mod_angle.atom_id_2",
    "_chem_mod_angle.atom_id_3",       "_chem_mod_angle.new_value_angle",
    "_chem_mod_angle.new_value_angle_esd",
};
constexpr std::string_view kModTorItems[] = {
    "_chem_mod_tor.mod_id",          "_chem_mod_tor.function",  "_chem_mod_tor.id",
    "_chem_mod_tor.atom_id_1",       "_chem_mod_tor.atom_id_2", "_chem_mod_tor.atom_id_3",
    "_chem_mod_tor.atom_id_4",       "_chem_mod_tor.new_value_angle",
    "_chem_mod_tor.new_value_angle_esd", "_chem_mod_tor.new_period",
};
constexpr std::string_view kModChirItems[] = {
    "_chem_mod_chir.mod_id",    "_chem_mod_chir.function",  "_chem_mod_chir.atom_id_centre",
    "_chem_mod_chir.atom_id_1", "_chem_mod_chir.atom_id_2", "_chem_mod_chir.atom_id_3",
    "_chem_mod_chir.new_volume_sign",
};
constexpr std::string_view kModChirCrossItems[] = {
    "_chem_mod_chir.atom_id_4", "_chem_mod_chir.atom_id_5", "_chem_mod_chir.atom_id_6",
    "_chem_mod_chir.atom_id_7", "_chem_mod_chir.atom_id_8",
};
constexpr std::string_view kModPlaneItems[] = {
    "_chem_mod_plane_atom.mod_id",  "_chem_mod_plane_atom.function",
    "_chem_mod_plane_atom.plane_id", "_chem_mod_plane_atom.atom_id",
    "_chem_mod_plane_atom.new_dist_esd",
};

}  // namespace

void monomer_list_head(LibLines& w) {
  w.text("#");
  w.text("data_comp_list");
  w.text("loop_");
  w.items(kCompItems);
}

void monomer_list_row(LibLines& w, int32_t l) {
  const r_scratch_t& r = r_scratch;
  const auto& code = r.lml_mname(l);
  if (retired(code.view())) return;
  // The counts take every atom row of the code from the entry's first on;
  // the index bounds the scan at the last row that can carry the code.
  int32_t all = 0, heavy = 0;
  if (r.lml_iatom(l) > 0 && r.lma_natom > 0) {
    int32_t last = last_row_of(RowTable::Atoms, code.view());
    if (last > r.lma_natom) last = r.lma_natom;
    for (int32_t j = r.lml_iatom(l); j <= last; ++j) {
      if (!(r.lma_mname(j) == code)) continue;
      ++all;
      if (!(r.lma_symb(j) == "H" || r.lma_symb(j) == "D")) ++heavy;
    }
  }
  const std::string_view level = r.lml_prsnt(l).is_blank() ? "." : r.lml_prsnt(l).view();
  // The name stands between quotes padded to 36 characters, so that the
  // closing quote keeps its column; a longer name is written whole.
  const std::string_view name = r.lml_name(l).trimmed();
  const char q = LibValue::closes(name, '\'') ? '"' : '\'';
  rt::FixedText<48> padded(name);
  const int width = name.size() > 36 ? static_cast<int>(name.size()) : 36;
  const std::string_view quote(&q, 1);
  Cells c;
  w.put("(A,1X,A,1X,A,A,A,1X,A,1X,I4,I4,1X,A)", c.text(0, code.view(), 8),
        c.text(1, r.lml_mname2(l).view().substr(0, 3), 3), quote, padded.view().substr(0, width),
        quote, c.text(2, r.lml_type(l).view(), 16), all, heavy, c.text(3, level, 1));
}

void link_list_head(LibLines& w) {
  w.text("#");
  w.text("data_link_list");
  w.text("loop_");
  w.items(kLinkListItems);
}

void link_list_row(LibLines& w, int32_t l) {
  const r_scratch_t& r = r_scratch;
  Cells c;
  w.put("(A,1X,A,1X,A,1X,A,1X,A,1X,A,1X,A)", c.text(0, r.lll_lname(l).view(), 8),
        c.text(1, r.lll_mon1(l).view(), 8), c.text(2, r.lll_mod1(l).view(), 8),
        c.text(3, r.lll_type1(l).view(), 8), c.text(4, r.lll_mon2(l).view(), 8),
        c.text(5, r.lll_mod2(l).view(), 8), c.text(6, r.lll_type2(l).view(), 8));
  // The name is written whole: cut to 24 characters it would not read back.
  w.put("(1X,A)", c.text(7, r.lll_detail(l).view(), 24));
}

void mod_list_head(LibLines& w) {
  w.text("#");
  w.text("data_mod_list");
  w.text("loop_");
  w.items(kModListItems);
}

void mod_list_row(LibLines& w, int32_t l) {
  const r_scratch_t& r = r_scratch;
  Cells c;
  w.put("(A,1X,A,1X,A,1X,A)", c.text(0, r.ldl_mname(l).view(), 8),
        c.text(1, r.ldl_detail(l).view(), 48), c.text(2, r.ldl_comp(l).view(), 8),
        c.text(3, r.ldl_type(l).view(), 8));
}

void monomer_block(LibLines& w, int32_t i, BlockForm form) {
  const r_scratch_t& r = r_scratch;
  // A retired entry has no rows of its own; written without its block head
  // its loops would join the block before it.
  if (retired(r.lml_mname(i).view())) return;
  block_head(w, "data_comp_", r.lml_mname(i).view());
  if (r.lml_iatom(i) > 0) monomer_atoms(w, i, form);
  if (r.lml_ibond(i) > 0) monomer_bonds(w, i, form);
  if (r.lml_ithet(i) > 0) monomer_angles(w, i);
  if (r.lml_itors(i) > 0) monomer_torsions(w, i);
  if (r.lml_ichir(i) > 0 && r.lmc_nchir > 0) monomer_chirals(w, i);
  if (r.lml_iplan(i) > 0) monomer_planes(w, i);
}

void link_block(LibLines& w, int32_t i) {
  const r_scratch_t& r = r_scratch;
  const auto& code = r.lll_lname(i);
  block_head(w, "data_link_", code.view());
  if (r.lll_ibond(i) > 0) {
    w.text("loop_");
    w.items(kLinkBondItems);
    for (int32_t j = r.lll_ibond(i); j <= r.llb_nbond && r.llb_lname(j) == code; ++j) {
      Cells c;
      w.put("(1X,A,1X,I1,1X,A,2X,I1,1X,A,4X,A,1X,F8.3,1X,F8.3)",
            c.text(0, r.llb_lname(j).view(), 8), r.llb_f1atm(j), c.atom(0, r.llb_1atm(j).view()),
            r.llb_f2atm(j), c.atom(1, r.llb_2atm(j).view()), c.text(1, r.llb_type(j).view(), 8),
            r.llb_val(j), bond_dev(r.llb_dev(j)));
    }
  }
  if (r.lll_ithet(i) > 0) {
    w.text("loop_");
    w.items(kLinkAngleItems);
    for (int32_t j = r.lll_ithet(i); j <= r.llg_nangl && r.llg_lname(j) == code; ++j) {
      Cells c;
      w.put("(1X,A,1X,I1,1X,A,2X,I1,1X,A,2X,I1,1X,A,1X,F8.3,1X,F8.3)",
            c.text(0, r.llg_lname(j).view(), 8), r.llg_f1atm(j), c.atom(0, r.llg_1atm(j).view()),
            r.llg_f2atm(j), c.atom(1, r.llg_2atm(j).view()), r.llg_f3atm(j),
            c.atom(2, r.llg_3atm(j).view()), r.llg_val(j), angle_dev(r.llg_dev(j)));
    }
  }
  if (r.lll_itors(i) > 0) {
    w.text("loop_");
    w.items(kLinkTorItems);
    for (int32_t j = r.lll_itors(i); j <= r.llt_ntors && r.llt_lname(j) == code; ++j) {
      Cells c;
      w.put("(1X,A,1X,A,4(1X,I1,1X,A),1X,F7.2,1X,F5.1,1X,I1)",
            c.text(0, r.llt_lname(j).view(), 8), c.text(1, r.llt_label(j).view(), 8),
            r.llt_f1atm(j), c.atom(0, r.llt_1atm(j).view()), r.llt_f2atm(j),
            c.atom(1, r.llt_2atm(j).view()), r.llt_f3atm(j), c.atom(2, r.llt_3atm(j).view()),
            r.llt_f4atm(j), c.atom(3, r.llt_4atm(j).view()), r.llt_val(j),
            tors_dev(r.llt_dev(j)), r.llt_prd(j));
    }
  }
  if (r.lll_ichir(i) > 0) {
    w.text("loop_");
    w.items(kLinkChirItems);
    for (int32_t j = r.lll_ichir(i);
         r.llc_nchir > 0 && j <= r.llc_nchir && r.llc_lname(j) == code; ++j) {
      Cells c;
      w.put("(1X,A,3X,I1,1X,A,2X,I1,1X,A,2X,I1,1X,A,2X,I1,1X,A,2X,A)",
            c.text(0, r.llc_lname(j).view(), 8), r.llc_f1atm(j), c.atom(0, r.llc_1atm(j).view()),
            r.llc_f2atm(j), c.atom(1, r.llc_2atm(j).view()), r.llc_f3atm(j),
            c.atom(2, r.llc_3atm(j).view()), r.llc_f4atm(j), c.atom(3, r.llc_4atm(j).view()),
            c.text(1, r.llc_sign(j).view(), 8));
    }
  }
  if (r.lll_iplan(i) > 0) {
    w.text("loop_");
    w.items(kLinkPlaneItems);
    for (int32_t j = r.lll_iplan(i); j <= r.llp_nplan && r.llp_lname(j) == code; ++j) {
      Cells c;
      const std::string_view link = c.text(0, r.llp_lname(j).view(), 8);
      const std::string_view label = c.text(1, r.llp_label(j).view(), 8);
      for (int32_t k = 1; k <= r.llp_natom(j); ++k)
        w.put("(1X,A,3X,A,2X,I1,1X,A,1X,F8.3)", link, label, r.llp_fatom(k, j),
              c.atom(0, r.llp_atom(k, j).view()), r.llp_dev(k, j));
    }
  }
}

void mod_block(LibLines& w, int32_t i) {
  const r_scratch_t& r = r_scratch;
  const auto& code = r.ldl_mname(i);
  block_head(w, "data_mod_", code.view());
  if (r.ldl_iatom(i) > 0) {
    w.text("loop_");
    w.items(kModAtomItems);
    for (int32_t j = r.ldl_iatom(i); j <= r.lda_natom && r.lda_mname(j) == code; ++j) {
      Cells c;
      w.put("(1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,1X,F8.3)", c.text(0, r.lda_mname(j).view(), 8),
            c.text(1, r.lda_funct(j).view(), 8), c.atom(0, r.lda_aname(j).view()),
            c.atom(1, r.lda_anew(j).view()), c.text(2, r.lda_symb(j).view(), 4),
            c.text(3, r.lda_chem(j).view(), 4), r.lda_charg(j));
    }
  }
  if (r.ldl_iconn(i) > 0) {
    w.text("loop_");
    w.items(kModTreeItems);
    for (int32_t j = r.ldl_iconn(i); j <= r.ldn_nconn && r.ldn_mname(j) == code; ++j) {
      Cells c;
      const std::string_view back =
          begins(r.ldn_back(j).view(), ".") ? "n/a" : r.ldn_back(j).view();
      w.put("(1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,1X,A)", c.text(0, r.ldn_mname(j).view(), 8),
            c.text(1, r.ldn_funct(j).view(), 8), c.atom(0, r.ldn_atom(j).view()),
            c.atom(1, back), c.text(2, r.ldn_btype(j).view(), 8),
            c.atom(2, r.ldn_forw(j).view()), c.text(3, r.ldn_type(j).view(), 8));
    }
  }
  if (r.ldl_ibond(i) > 0) {
    w.text("loop_");
    w.items(kModBondItems);
    for (int32_t j = r.ldl_ibond(i); j <= r.ldb_nbond && r.ldb_mname(j) == code; ++j) {
      Cells c;
      w.put("(1X,A,1X,A,1X,A,2X,A,4X,A,1X,F8.3,1X,F8.3)", c.text(0, r.ldb_mname(j).view(), 8),
            c.text(1, r.ldb_funct(j).view(), 8), c.atom(0, r.ldb_1atm(j).view()),
            c.atom(1, r.ldb_2atm(j).view()), c.text(2, r.ldb_type(j).view(), 8), r.ldb_val(j),
            bond_dev(r.ldb_dev(j)));
    }
  }
  if (r.ldl_ithet(i) > 0) {
    w.text("loop_");
    w.items(kModAngleItems);
    for (int32_t j = r.ldl_ithet(i); j <= r.ldg_nangl && r.ldg_mname(j) == code; ++j) {
      Cells c;
      w.put("(1X,A,1X,A,1X,A,2X,A,2X,A,1X,F8.3,1X,F8.3)", c.text(0, r.ldg_mname(j).view(), 8),
            c.text(1, r.ldg_funct(j).view(), 8), c.atom(0, r.ldg_1atm(j).view()),
            c.atom(1, r.ldg_2atm(j).view()), c.atom(2, r.ldg_3atm(j).view()), r.ldg_val(j),
            angle_dev(r.ldg_dev(j)));
    }
  }
  if (r.ldl_itors(i) > 0) {
    w.text("loop_");
    w.items(kModTorItems);
    for (int32_t j = r.ldl_itors(i); j <= r.ldt_ntors && r.ldt_mname(j) == code; ++j) {
      Cells c;
      w.put("(1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,1X,F7.2,1X,F5.1,1X,I1)",
            c.text(0, r.ldt_mname(j).view(), 8), c.text(1, r.ldt_funct(j).view(), 8),
            c.text(2, r.ldt_label(j).view(), 8), c.atom(0, r.ldt_1atm(j).view()),
            c.atom(1, r.ldt_2atm(j).view()), c.atom(2, r.ldt_3atm(j).view()),
            c.atom(3, r.ldt_4atm(j).view()), r.ldt_val(j), tors_dev(r.ldt_dev(j)),
            r.ldt_prd(j));
    }
  }
  if (r.ldl_ichir(i) > 0) {
    bool cross = false;
    for (int32_t j = r.ldl_ichir(i); j <= r.ldc_nchir && r.ldc_mname(j) == code; ++j)
      if (cross_sign(r.ldc_sign(j).view())) cross = true;
    w.text("loop_");
    w.items(kModChirItems);
    if (cross) w.items(kModChirCrossItems);
    for (int32_t j = r.ldl_ichir(i); j <= r.ldc_nchir && r.ldc_mname(j) == code; ++j) {
      Cells c;
      w.put("(1X,A,4X,A,1X,A,2X,A,2X,A,2X,A,2X,A)", c.text(0, r.ldc_mname(j).view(), 8),
            c.text(1, r.ldc_funct(j).view(), 8), c.atom(0, r.ldc_1atm(j).view()),
            c.atom(1, r.ldc_2atm(j).view()), c.atom(2, r.ldc_3atm(j).view()),
            c.atom(3, r.ldc_4atm(j).view()), c.text(2, r.ldc_sign(j).view(), 8));
      if (cross)
        cross_line(w, r.ldc_5atm(j).view(), r.ldc_6atm(j).view(), r.ldc_7atm(j).view(),
                   r.ldc_8atm(j).view(), r.ldc_9atm(j).view());
    }
  }
  if (r.ldl_iplan(i) > 0) {
    w.text("loop_");
    w.items(kModPlaneItems);
    for (int32_t j = r.ldl_iplan(i); j <= r.ldp_nplan && r.ldp_mname(j) == code; ++j) {
      Cells c;
      const std::string_view mod = c.text(0, r.ldp_mname(j).view(), 8);
      const std::string_view funct = c.text(1, r.ldp_funct(j).view(), 8);
      const std::string_view label = c.text(2, r.ldp_label(j).view(), 8);
      for (int32_t k = 1; k <= r.ldp_natom(j); ++k)
        w.put("(1X,A,3X,A,2X,A,1X,A,1X,F8.3)", mod, funct, label,
              c.atom(0, r.ldp_atom(k, j).view()), r.ldp_dev(k, j));
    }
  }
}

}  // namespace dictionary

namespace {

template <typename F>
void one_entry(int32_t mdoc, int32_t iun, int32_t& ierr, F write) {
  dictionary::LibLines w(iun);
  write(w);
  w.finish(mdoc, dictionary::kLibWriteFailed, ierr);
}

}  // namespace

void wrt_title_monomer_(int32_t mdoc, int32_t iun, int32_t l, int32_t& ifirst_m, int32_t& ierr) {
  one_entry(mdoc, iun, ierr, [&](dictionary::LibLines& w) {
    if (ifirst_m == 0) {
      dictionary::monomer_list_head(w);
      ifirst_m = 1;
    }
    dictionary::monomer_list_row(w, l);
  });
}

void wrt_title_link_(int32_t mdoc, int32_t iun, int32_t l, int32_t& ifirst, int32_t& ierr) {
  one_entry(mdoc, iun, ierr, [&](dictionary::LibLines& w) {
    if (ifirst == 0) {
      dictionary::link_list_head(w);
      ifirst = 1;
    }
    dictionary::link_list_row(w, l);
  });
}

void wrt_title_modification_(int32_t mdoc, int32_t iun, int32_t l, int32_t& ifirst,
                             int32_t& ierr) {
  one_entry(mdoc, iun, ierr, [&](dictionary::LibLines& w) {
    if (ifirst == 0) {
      dictionary::mod_list_head(w);
      ifirst = 1;
    }
    dictionary::mod_list_row(w, l);
  });
}

void wrt_desrc_one_monomer_(int32_t mdoc, int32_t iun, int32_t i, int32_t& ierr) {
  one_entry(mdoc, iun, ierr, [&](dictionary::LibLines& w) {
    dictionary::monomer_block(w, i, dictionary::BlockForm::PerEntry);
  });
}

void wrt_desrc_one_link_(int32_t mdoc, int32_t iun, int32_t i, int32_t& ierr) {
  one_entry(mdoc, iun, ierr, [&](dictionary::LibLines& w) { dictionary::link_block(w, i); });
}

void wrt_desrc_one_modification_(int32_t mdoc, int32_t iun, int32_t i, int32_t& ierr) {
  one_entry(mdoc, iun, ierr, [&](dictionary::LibLines& w) { dictionary::mod_block(w, i); });
}
