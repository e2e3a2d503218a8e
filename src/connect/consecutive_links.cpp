// Consecutive residues.  The link-atom store holds, for each atom name that
// some library link bonds, the atom of that name in the earlier residue of a
// pair (side 1) and in the later one (side 2); walking a chain shifts side 2
// into side 1, so each residue's atoms are looked up once.
#include "connect/consecutive_links.h"

#include <cmath>
#include <utility>

#include "connect/link_rows.h"
#include "dictionary/lib_com.h"
#include "dictionary/link_lookup.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/cif_vocab.h"
#include "foundation/kernels.h"
#include "foundation/messages.h"
#include "identify/model_tables.h"
#include "runtime/format.h"

namespace {

using Name8 = rt::FixedText<8>;

connect::LinkRows g_rows;
connect::ModRows g_mods;

// What a pair's link stands on.
enum class Origin { None, Default, Input };

bool starts(std::string_view text, std::string_view head) { return text.substr(0, head.size()) == head; }

int conn_code(std::string_view link) {
  int32_t code = 1;
  set_iconn_(link, code);
  return code;
}

void clear_side(int side) {
  auto& r = r_scratch;
  for (int k = 1; k <= r.n_stor; ++k) r.iflag_stor(k, side) = 0;
}

// The atoms of residue ir into the store's side 2, each slot taking the
// first usable atom of its name.  A nucleotide spelt in the other style
// than the library's links ("O3'" and "OP1" against "O3*" and "O1P")
// fills a slot still empty under its other spelling, so that the walk
// measures the very atoms the link bonds and not the reverse pair.
void load_side2(int ir) {
  using foundation::NucleotideStyle;
  auto& r = r_scratch;
  const int first = resid_inf.iratm_first(ir);
  auto usable = [](int ia) {
    const char t = atom_inf.atm_type(ia)(1);
    return atom_crd.occup(ia) > 0.0001f && t != 'U' && t != 'M' && t != 'D';
  };
  auto fill = [&](int k, int ia) {
    r.iflag_stor(k, 2) = ia;
    r.x_stor(k, 2) = atom_crd.xyz_crd(1, ia);
    r.y_stor(k, 2) = atom_crd.xyz_crd(2, ia);
    r.z_stor(k, 2) = atom_crd.xyz_crd(3, ia);
  };
  for (int ia = first; ia < first + resid_inf.natm_res(ir); ++ia) {
    if (!usable(ia)) continue;
    for (int k = 1; k <= r.n_stor; ++k)
      if (r.iflag_stor(k, 2) == 0 && r.atom_stor(k) == atom_inf.atm_name(ia)) fill(k, ia);
  }
  for (int ia = first; ia < first + resid_inf.natm_res(ir); ++ia) {
    if (!usable(ia)) continue;
    const std::string_view name = atom_inf.atm_name(ia).view();
    const NucleotideStyle style = foundation::nucleotide_style(name);
    if (style == NucleotideStyle::None) continue;
    const rt::FixedText<4> other(foundation::nucleotide_name_as(
        name, style == NucleotideStyle::Star ? NucleotideStyle::Prime : NucleotideStyle::Star));
    for (int k = 1; k <= r.n_stor; ++k)
      if (r.iflag_stor(k, 2) == 0 && r.atom_stor(k) == other) fill(k, ia);
  }
}

void shift_sides() {
  auto& r = r_scratch;
  for (int k = 1; k <= r.n_stor; ++k) {
    r.iflag_stor(k, 1) = r.iflag_stor(k, 2);
    if (r.iflag_stor(k, 1) != 0) {
      r.x_stor(k, 1) = r.x_stor(k, 2);
      r.y_stor(k, 1) = r.y_stor(k, 2);
      r.z_stor(k, 1) = r.z_stor(k, 2);
    }
    r.iflag_stor(k, 2) = 0;
  }
}

float slot_distance(int a, int sa, int b, int sb) {
  const auto& r = r_scratch;
  const float dx = r.x_stor(a, sa) - r.x_stor(b, sb);
  const float dy = r.y_stor(a, sa) - r.y_stor(b, sb);
  const float dz = r.z_stor(a, sa) - r.z_stor(b, sb);
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool proline_name(const Name8& mon) {
  for (std::string_view p : {"PRO", "HYP", "PRO-D", "5HP", "DPR", "5HP-D", "HYP-D"})
    if (mon == p) return true;
  return false;
}

bool peptide_like(int t) { return t == 3 || t == 4 || t == 10; }
bool nucleic(int t) { return t == 5 || t == 6; }
bool pyranose(int t) { return t == 7 || t == 8; }

// The pair being linked and what has been decided about it.
struct Pair {
  int ich = 0;
  int ires1 = 0, ires2 = 0;
  Name8 mon1, mon2;
  int itype1 = 0, itype2 = 0;
  Name8 link{""};
  int32_t ilink = 0, iconn = 1, irevers = 0, jrevers = 0;
  Origin origin = Origin::None;
  bool named = false;  // the pair was named in the input
  int input_row = 0;   // the input row that named it
  enum class ProClass { None, Proline, NMethyl } pro = ProClass::None;
  bool sugars = false;
  bool numbered_gap = false;  // the residue numbers jump between the two
  float dist = 0, dist_idl = 0;
  int32_t idist = -1, ia1 = 0, ia2 = 0;
};

std::string_view number_of(int ir) { return std::as_const(resid_inf.res_num_pdb(ir)).sub(3, 7); }

// "ch:A    res:  12  ALA     -->  13  GLY     " and its variants.
std::string pair_text(const Pair& p, int i1, int i2, std::string_view arrow) {
  return rt::fmt("(A4,' res:',A5,' ',A8,A,A5,' ',A8)", asym_part.group_id(p.ich), number_of(i1),
                 resid_inf.res_name(i1), arrow, number_of(i2), resid_inf.res_name(i2));
}

void residue_line(int32_t mdoc, const Pair& p) {
  msgdoc_(mdoc, "           ch:" + pair_text(p, p.ires1, p.ires2, " -->"));
}

// Input row that names the pair, with a known link of a connection type.
bool input_link(Pair& p, int ln_n_init, int32_t& nsug) {
  int taken = 0;
  g_rows.end1(p.ires1, [&](int k) {
    const auto& l = link_inf;
    if (taken != 0 || k > ln_n_init) return;
    if (l.ln_1ichn(k) != p.ich || l.ln_2ires(k) != p.ires2 || l.ln_2ichn(k) != p.ich) return;
    if (l.ln_used(k) == "S") return;
    if (!link_in_unit(k)) return;
    int32_t il = 0;
    look_link_list_(l.ln_id(k), il);
    if (il <= 0) return;
    const int code = conn_code(l.ln_id(k));
    if (code < 2 || code > cif_types.n_conn_type) return;
    taken = k;
    p.link = l.ln_id(k);
    p.ilink = il;
    p.iconn = code;
  });
  if (taken == 0) return false;
  p.input_row = taken;
  p.origin = Origin::Input;
  p.named = true;
  if (p.sugars) ++nsug;
  // A file's peptide link resolves to the first library link of its atoms,
  // whatever residue follows: to a proline it takes the proline form.
  if (p.pro == Pair::ProClass::Proline && (p.link == "TRANS" || p.link == "CIS")) {
    const Name8 form = p.link == "TRANS" ? "PTRANS" : "PCIS";
    int32_t il = 0;
    look_link_list_(form, il);
    if (il > 0) {
      p.link = form;
      p.ilink = il;
      p.iconn = conn_code(form);
      link_inf.ln_id(taken) = form;
    }
  }
  return true;
}

// Position of atom `name` of residue ir (first of that name), or false.
bool atom_position(int ir, std::string_view name, float* x) {
  const int first = resid_inf.iratm_first(ir);
  for (int ia = first; ia < first + resid_inf.natm_res(ir); ++ia) {
    if (!(atom_inf.atm_name(ia) == name)) continue;
    for (int k = 0; k < 3; ++k) x[k] = atom_crd.xyz_crd(k + 1, ia);
    return true;
  }
  return false;
}

// The glycosidic link of two pyranoses: the first of the usual links whose
// bond the two residues' atoms make, named by the anomer its geometry shows.
void sugar_link(int32_t mdoc, Pair& p, char sugar_flag, int32_t& nsug, int32_t& ierr) {
  static constexpr std::string_view kTried[] = {"BETA1-2",  "BETA1-3",  "BETA1-4",  "BETA1-6",
                                                "ALPHA1-2", "ALPHA1-3", "ALPHA1-4", "ALPHA1-6"};
  auto& r = r_scratch;
  for (std::string_view name : kTried) {
    look_link_list_(name, p.ilink);
    p.iconn = conn_code(name);
    calc_conn_dist_(p.ilink, p.dist_idl, p.dist, p.idist, p.ia1, p.ia2, p.jrevers);
    if (p.idist == 0) {
      p.link = name;
      p.origin = Origin::Default;
      break;
    }
  }
  if (p.origin == Origin::None) return;
  const rt::FixedText<4> atom1 = r.atom_stor(p.ia1), atom2 = r.atom_stor(p.ia2);
  Name8 mod1, mod2;
  look_link_(p.link, p.mon1, atom1, p.mon2, atom2, p.itype1, p.itype2, p.ilink, mod1, mod2,
             p.irevers);
  if (p.ilink <= 0 || p.irevers != 0) {
    p.origin = Origin::None;
    p.ilink = 0;
    p.iconn = 1;
    return;
  }
  // The residue that holds the link's first atom.
  const int side1 = p.jrevers == 1 ? 2 : 1, side2 = 3 - side1;
  const int i1 = side1 == 1 ? p.ires1 : p.ires2, i2 = side1 == 1 ? p.ires2 : p.ires1;
  const int iaa1 = r.iflag_stor(p.ia1, side1), iaa2 = r.iflag_stor(p.ia2, side2);
  const bool first_c1 = atom1 == "C1", second_c1 = !first_c1 && atom2 == "C1";
  if (first_c1 || second_c1) {
    const int ref = first_c1 ? i1 : i2;
    const int own = first_c1 ? iaa1 : iaa2, other = first_c1 ? iaa2 : iaa1;
    float o5[3], c2[3];
    if (own > 0 && other > 0 && atom_position(ref, "O5", o5) && atom_position(ref, "C2", c2)) {
      float vol = 0.0f, ph = 0.0f;
      calc_i_ovol_l_(0, 0, 0, 0, &atom_crd.xyz_crd(1, own), &atom_crd.xyz_crd(1, other), o5, c2,
                     vol, ph);
      Name8 renamed;
      if (ph >= 0.0f && starts(p.link.view(), "BETA"))
        renamed = std::string("ALPHA").append(p.link.view().substr(4, 3));
      else if (ph < 0.0f && starts(p.link.view(), "ALPH"))
        renamed = std::string("BETA").append(p.link.view().substr(5, 3));
      if (!renamed.is_blank()) {
        for (int k = 1; k <= link_inf.ln_n; ++k) {
          const int a = link_inf.ln_1ires(k), b = link_inf.ln_2ires(k);
          if (link_inf.ln_id(k) == p.link && ((a == i1 && b == i2) || (a == i2 && b == i1)))
            link_inf.ln_id(k) = renamed;
        }
        p.link = renamed;
        p.iconn = conn_code(p.link);
      }
    }
  }
  if (sugar_flag != 'N') {
    put_l_tabl_(mdoc, p.link, p.ich, p.ich, i1, i2, iaa1, iaa2, p.irevers, ierr);
    ++nsug;
  }
}

// The link that the residue types give a pair of polymer residues.
void default_link(Pair& p) {
  const Name8& m1 = p.mon1;
  const Name8& m2 = p.mon2;
  const int t1 = p.itype1, t2 = p.itype2;
  std::string_view link;
  if (peptide_like(t1) && peptide_like(t2)) {
    if (m1 == "FOR") link = "FOR_C-N";
    else if (m2 == "FOR") link = "FOR_C-C";
    else if (m1 == "ACE") link = "ACE_C-N";
    else if (m1 == "DFO") link = m2 == "NME" ? "DFO-NME" : m2 == "DFO" ? "DFO-DFO" : m2 == "STA" ? "DFO-STA" : "DFO_C-N";
    else if (m1 == "STA") link = m2 == "NME" ? "STA-NME" : m2 == "DFO" ? "STA-DFO" : m2 == "STA" ? "STA-STA" : "STA_C-N";
    else if (m2 == "DFO") link = "DFO_N-C";
    else if (m2 == "STA") link = "STA_N-C";
    else if (m2 == "NME") link = "NME_N-C";
    else if (m2 == "AHT" || m1 == "IVA" || m1 == "INI" || m2 == "INI") link = "TRANS";
    else if (m1 == "ILG") link = t2 == 10 ? "ILG_CD-N" : "ILG_CD-p";
    else if (t1 == 10 && (t2 == 3 || t2 == 4)) link = "LINK_CNp";
    else if (t2 == 10 && (t1 == 3 || t1 == 4)) link = "LINK_CpN";
    else if (t1 == 10 || t2 == 10) link = "LINK_C-N";
    // A jump in the residue numbers (connection "gap" from the reader)
    // stands for residues missing from the model only when the chain atoms
    // are apart: the peptide or phosphate link is tried first, and
    // link_pair falls back to "gap" when its bond is not there.
    else {
      link = p.pro == Pair::ProClass::Proline   ? "PTRANS"
             : p.pro == Pair::ProClass::NMethyl ? "NMTRANS"
                                                : "TRANS";
      p.numbered_gap = resid_inf.iconn_type(p.ires2) == 10;
    }
  } else if (nucleic(t1) && nucleic(t2)) {
    link = "p";
    p.numbered_gap = resid_inf.iconn_type(p.ires2) == 10;
  } else {
    return;
  }
  p.link = link;
  p.origin = Origin::Default;
  look_link_list_(p.link, p.ilink);
  p.iconn = conn_code(p.link);
}

std::string_view cis_of(Pair::ProClass c) {
  return c == Pair::ProClass::Proline ? "PCIS" : c == Pair::ProClass::NMethyl ? "NMCIS" : "CIS";
}
std::string_view trans_of(Pair::ProClass c) {
  return c == Pair::ProClass::Proline ? "PTRANS" : c == Pair::ProClass::NMethyl ? "NMTRANS" : "TRANS";
}

// Trans and cis peptides are told apart by the measured torsion.
void peptide_torsion(int32_t mdoc, Pair& p, char cis_flag, bool was_trans) {
  float angobs = 0.0f;
  int32_t jerr = 0;
  calc_pep_bond_angle_(mdoc, angobs, jerr);
  if (jerr != 0) return;
  float a = std::fabs(angobs);
  if (a > 180.0f) a = std::fabs(360.0f - a);
  angobs = a;
  const bool flip = was_trans ? a < 90.0f : a > 90.0f;
  if (!flip) return;
  // A trans link from the input over a cis omega is the input's bond
  // resolved as the first library link of its atoms (a LINK record or a
  // connection row gives no form), so it takes the form the model has, and
  // its row the cis name, which the restraint walk then marks as its own.
  const bool use = cis_flag == 'Y' && (!p.named || (was_trans && p.input_row != 0));
  if (use) {
    p.link = was_trans ? cis_of(p.pro) : trans_of(p.pro);
    p.iconn = conn_code(p.link);
    if (p.named) link_inf.ln_id(p.input_row) = p.link;
    p.irevers = 0;
    int32_t jerr2 = 0;
    put_l_tabl_(mdoc, p.link, p.ich, p.ich, p.ires1, p.ires2, 0, 0, p.irevers, jerr2);
  }
  std::string_view text =
      was_trans ? (use ? " WARNING : CIS peptide bond is found, angle ="
                       : " WARNING : CIS peptide bond (not be used) angle =")
                : (use ? " WARNING : TRANS peptide bond is found instead CIS, angle ="
                       : " WARNING : TRANS peptide bond (not be changed CIS) angle =");
  msgdoc_(mdoc, rt::fmt("(A,F10.2)", text, angobs));
  residue_line(mdoc, p);
}

void reverse_and_sugar_notes(int32_t mdoc, Pair& p, char sugar_flag) {
  if (p.jrevers == 1) {
    p.iconn = 1;
    msgdoc_(mdoc, " WARNING :       reverse conn, not be used");
  }
  if (p.sugars && !p.named && sugar_flag == 'N') {
    msgdoc_(mdoc, std::string(17, ' ').append("not be used ( sugar_flag = ").append(1, sugar_flag));
    p.iconn = 1;
  }
  if (p.iconn > 1) resid_inf.iconn_type(p.ires2) = p.iconn;
}

// A link whose bond was found within its length.
bool accept_bonded(int32_t mdoc, Pair& p, char cis_flag, char sugar_flag, int32_t& ierr) {
  const auto& r = r_scratch;
  const rt::FixedText<4> atom1 = r.atom_stor(p.ia1), atom2 = r.atom_stor(p.ia2);
  const bool pro_link = p.link == "PTRANS" || p.link == "PCIS" || p.link == "NMTRANS" || p.link == "NMCIS";
  const Name8 mon2 = pro_link ? Name8("PRO") : p.mon2;
  Name8 mod1, mod2;
  look_link_(p.link, p.mon1, atom1, mon2, atom2, p.itype1, p.itype2, p.ilink, mod1, mod2,
             p.irevers);
  if (p.ilink <= 0) {
    msgdoc_(mdoc, rt::fmt("(' WARNING : description of the link:',A8,' is not present. (chain "
                          "connectivity)')",
                          p.link));
    msgdoc_(mdoc, "           link will be ignored");
    return true;
  }
  const Name8& on1 = p.jrevers == 1 ? mod2 : mod1;
  const Name8& on2 = p.jrevers == 1 ? mod1 : mod2;
  for (auto [mod, ir] : {std::pair{&on1, p.ires1}, std::pair{&on2, p.ires2}}) {
    if ((*mod)(1) == '.' || (*mod)(1) == ' ') continue;
    Name8 blank("");
    put_m_tabl_(mdoc, *mod, p.ich, ir, 0, blank, "Y", ierr);
    if (ierr != 0) return false;
  }
  if (p.link == "TRANS" || p.link == "PTRANS" || p.link == "NMTRANS") {
    peptide_torsion(mdoc, p, cis_flag, true);
  } else if (p.link == "CIS" || p.link == "PCIS" || p.link == "NMCIS") {
    peptide_torsion(mdoc, p, cis_flag, false);
  } else if (!(p.link == "p")) {
    const int i1 = p.jrevers == 1 ? p.ires2 : p.ires1, i2 = p.jrevers == 1 ? p.ires1 : p.ires2;
    msgdoc_(mdoc, rt::fmt("(' WARNING : conn: ',A8,' ch:',A)", p.link, pair_text(p, i1, i2, "-->")));
  }
  reverse_and_sugar_notes(mdoc, p, sugar_flag);
  return true;
}

// The pair and the link's ideal length.  The format's buffer is shared, so
// the two parts are formatted one after the other.
void distance_line(int32_t mdoc, const Pair& p) {
  std::string line = "           ch:" + pair_text(p, p.ires1, p.ires2, "-->");
  line += rt::fmt("(' ideal_dist=',F10.3)", p.dist_idl);
  msgdoc_(mdoc, line);
}

// A pair of polymer residues without a bond between them: a "gap" row for a
// pair the residue types linked, the gap's connection type for a pair the
// input named.
void enter_gap(int32_t mdoc, int32_t ldoc, Pair& p, char conn_flag) {
  const bool polymer = (peptide_like(p.itype1) && peptide_like(p.itype2)) ||
                       (nucleic(p.itype1) && nucleic(p.itype2));
  if (!polymer) return;
  if (p.origin == Origin::Default && conn_flag != 'N') {
    p.link = "gap";
    p.iconn = conn_code(p.link);
    int32_t jerr = 0;
    if (!p.named) put_l_tabl_(mdoc, p.link, p.ich, p.ich, p.ires1, p.ires2, 0, 0, 0, jerr);
  } else if (p.named) {
    p.link = "gap";
    p.iconn = conn_code(p.link);
  } else {
    return;
  }
  msgdoc_(ldoc, "           \"gap\"-link will be created");
  resid_inf.iconn_type(p.ires2) = p.iconn;
}

bool backbone_link(const Name8& link) {
  for (std::string_view b : {"TRANS", "CIS", "PTRANS", "PCIS", "NMTRANS", "NMCIS", "p"})
    if (link == b) return true;
  return false;
}

// A default backbone link whose two bond atoms were measured and found too
// far apart for a bond.
bool apart(const Pair& p) {
  if (p.origin != Origin::Default || p.named || p.idist != 1 || p.dist > 9999.9f) return false;
  return backbone_link(p.link);
}

// A link of the file that bonds the very atoms the pair's link would bond
// (a peptide bond to a modified residue, say, that an mmCIF connection row
// names inside a chain).  Such a row is restrained in its own right, as a
// library link or as one made for it, so the pair takes no second link: one
// bond, one restraint, as when the file's chains break at the residue.
bool file_gives_bond(const Pair& p) {
  const auto& r = r_scratch;
  // The bond atoms' names in residue ires1 and in residue ires2, as the
  // model spells them (the file's rows take the model's spelling): a
  // nucleotide the library lacks may keep "O3'" where the link bonds "O3*".
  const int on1 = p.jrevers == 1 ? p.ia2 : p.ia1, on2 = p.jrevers == 1 ? p.ia1 : p.ia2;
  const auto model_name = [&](int slot, int side) {
    const int ia = r.iflag_stor(slot, side);
    return ia > 0 ? rt::FixedText<4>(atom_inf.atm_name(ia).view()) : r.atom_stor(slot);
  };
  const rt::FixedText<4> atom1 = model_name(on1, 1), atom2 = model_name(on2, 2);
  bool found = false;
  g_rows.either(p.ires1, [&](int k) {
    const auto& l = link_inf;
    if (found || l.ln_id(k) == "gap" || l.ln_id(k)(1) == '?') return;
    if (!link_in_unit(k)) return;
    if (l.ln_1ichn(k) != p.ich || l.ln_2ichn(k) != p.ich) return;
    const rt::FixedText<4> a1(l.ln_atom1(k).view().substr(0, 4));
    const rt::FixedText<4> a2(l.ln_atom2(k).view().substr(0, 4));
    const bool forward =
        l.ln_1ires(k) == p.ires1 && l.ln_2ires(k) == p.ires2 && a1 == atom1 && a2 == atom2;
    const bool backward =
        l.ln_1ires(k) == p.ires2 && l.ln_2ires(k) == p.ires1 && a1 == atom2 && a2 == atom1;
    found = forward || backward;
  });
  return found;
}

void leave_to_file(int32_t mdoc, const Pair& p) {
  msgdoc_(mdoc, rt::fmt("(' WARNING : conn: ',A8,' ch:',A)", p.link,
                        pair_text(p, p.ires1, p.ires2, "-->")));
  msgdoc_(mdoc, "           the file links these atoms: no second link");
  resid_inf.iconn_type(p.ires2) = 1;
}

// One pair of consecutive residues; false when the stage must end.
bool link_pair(int32_t mdoc, int32_t ldoc, Pair& p, char conn_flag, char cis_flag, char sugar_flag,
               int ln_n_init, int32_t& nsug, int32_t& ierr) {
  auto& res = resid_inf;
  p.mon2 = res.res_name(p.ires2);
  p.itype2 = res.ires_type(p.ires2);
  if (res.mod_flag(p.ires2) == "Y") p.mon2 = g_mods.name_before(p.ires2, p.ich, p.mon2);
  p.mon1 = res.res_name(p.ires1);
  p.itype1 = res.ires_type(p.ires1);
  if (res.mod_flag(p.ires1) == "Y") p.mon1 = g_mods.name_before(p.ires1, p.ich, p.mon1);
  if (p.mon1 == "HOH" || p.mon1 == "DUM" || p.mon2 == "HOH" || p.mon2 == "DUM") return true;
  load_side2(p.ires2);

  if (proline_name(p.mon2) || res.iconn_type(p.ires2) == 36 || res.iconn_type(p.ires2) == 37)
    p.pro = Pair::ProClass::Proline;
  else if (res.iconn_type(p.ires2) == 38 || res.iconn_type(p.ires2) == 39)
    p.pro = Pair::ProClass::NMethyl;
  p.sugars = pyranose(p.itype1) && pyranose(p.itype2);

  const bool search_input = (conn_flag != 'D' && !p.sugars) || (sugar_flag != 'D' && p.sugars);
  if (!(search_input && input_link(p, ln_n_init, nsug))) {
    if (p.sugars) {
      sugar_link(mdoc, p, sugar_flag, nsug, ierr);
    } else {
      default_link(p);
    }
  }
  if (p.origin == Origin::None) {
    // The connection the residue came with stands; it too gives way to a
    // link of the file between the same atoms.
    const int code = res.iconn_type(p.ires2);
    if (code < 2 || code > cif_types.n_conn_type) return true;
    p.link = cif_types.conn_type(code);
    look_link_list_(p.link, p.ilink);
    calc_conn_dist_(p.ilink, p.dist_idl, p.dist, p.idist, p.ia1, p.ia2, p.jrevers);
    if (p.idist >= 0 && !p.sugars && file_gives_bond(p)) {
      leave_to_file(mdoc, p);
    } else if (backbone_link(p.link) && p.idist == 1 && p.dist <= 9999.9f) {
      // The reader's peptide or phosphate connection of a residue the
      // residue types do not link (one the library lacks) holds only where
      // its atoms are bonded, as the link the types give does.
      msgdoc_(mdoc,
              rt::fmt("(' WARNING : big distance for conn:',A8,' dist =',F10.3)", p.link, p.dist));
      distance_line(mdoc, p);
      msgdoc_(ldoc, "           \"gap\"-link will be created");
      p.link = "gap";
      res.iconn_type(p.ires2) = conn_code(p.link);
    } else if (p.idist == 0 && p.pro == Pair::ProClass::Proline) {
      // The link to a proline takes the proline form.
      if (p.link == "TRANS") res.iconn_type(p.ires2) = conn_code("PTRANS");
      if (p.link == "CIS") res.iconn_type(p.ires2) = conn_code("PCIS");
    }
    return true;
  }
  look_link_list_(p.link, p.ilink);
  p.iconn = conn_code(p.link);
  calc_conn_dist_(p.ilink, p.dist_idl, p.dist, p.idist, p.ia1, p.ia2, p.jrevers);
  if (p.numbered_gap && p.idist != 0) {
    p.link = "gap";
    look_link_list_(p.link, p.ilink);
    p.iconn = conn_code(p.link);
    calc_conn_dist_(p.ilink, p.dist_idl, p.dist, p.idist, p.ia1, p.ia2, p.jrevers);
  }

  const bool gap = starts(p.link.view(), "gap");
  const int i1 = p.ires1, i2 = p.ires2;
  if (p.idist == 0 && gap) {
    msgdoc_(mdoc, " WARNING : conn: gap (user) ch:" + pair_text(p, i1, i2, "-->"));
    res.iconn_type(p.ires2) = p.iconn;
  } else if (p.idist == 0 && p.origin == Origin::Default && !p.sugars && file_gives_bond(p)) {
    leave_to_file(mdoc, p);
  } else if (p.idist == 0) {
    if (!accept_bonded(mdoc, p, cis_flag, sugar_flag, ierr)) return false;
  } else if (gap) {
    msgdoc_(ldoc, " WARNING : conn: gap.     ch:" + pair_text(p, i1, i2, "-->"));
    enter_gap(mdoc, ldoc, p, conn_flag);
  } else if (apart(p)) {
    // Residues whose backbone atoms are both there and too far apart to be
    // bonded are a break in the chain, however they are numbered: the
    // residues either side of a stretch missing from the model.
    msgdoc_(mdoc, rt::fmt("(' WARNING : big distance for conn:',A8,' dist =',F10.3)", p.link, p.dist));
    distance_line(mdoc, p);
    enter_gap(mdoc, ldoc, p, conn_flag);
  } else {
    const bool absent = p.dist > 9999.9f;
    const int32_t level = absent ? ldoc : mdoc;
    p.iconn = conn_code(p.link);
    if (p.iconn <= 0) p.iconn = 1;
    if (absent)
      msgdoc_(level, rt::fmt("(' WARNING : undefined distance for link:',A8)", p.link));
    else
      msgdoc_(level, rt::fmt("(' WARNING : big distance for conn:',A8,' dist =',F10.3)", p.link,
                             p.dist));
    distance_line(level, p);
    reverse_and_sugar_notes(mdoc, p, sugar_flag);
    if (p.named) {
      p.iconn = conn_code(p.link);
      msgdoc_(mdoc, "     link will be created");
      res.iconn_type(p.ires2) = p.iconn;
    }
  }
  return true;
}

}  // namespace

void calc_conn_dist_(int32_t ilink, float& dist_idl, float& dist, int32_t& idist, int32_t& ia1,
                     int32_t& ia2, int32_t& irevers) {
  const auto& r = r_scratch;
  idist = -1;
  irevers = 0;
  dist_idl = 0.0f;
  dist = 0.0f;
  if (ilink < 1 || ilink > MAXLLNK) return;
  dist = 10000.0f;
  ia1 = r.iconn_atom_ind(1, ilink);
  ia2 = r.iconn_atom_ind(2, ilink);
  if (ia1 < 1 || ia2 < 1 || ia1 > nstor_par || ia2 > nstor_par) return;
  if (r.iflag_stor(ia1, 1) != 0 && r.iflag_stor(ia2, 2) != 0) {
    dist = slot_distance(ia1, 1, ia2, 2);
    idist = 0;
  }
  if (r.iflag_stor(ia2, 1) != 0 && r.iflag_stor(ia1, 2) != 0) {
    const float d = slot_distance(ia2, 1, ia1, 2);
    idist = 0;
    if (d < dist) {
      dist = d;
      irevers = 1;
    }
  }
  dist_idl = r.bond_idl(ilink);
  const float divisor = dist_idl <= 1.0e-5f ? 1.5f : dist_idl;
  if (dist / divisor > dictionary::kPolymerBreakFactor) idist = 1;
  else if (idist != 0) dist = 0.0f;
}

namespace {

// Torsion p0-p1-p2-p3 in degrees, 0 to 360.  False when a plane of three
// points is degenerate; the angle is then 0 or 180 by the sign of the
// normals' product.
bool torsion_0_360(const double (&p)[4][3], double& degrees) {
  double b1[3], b2[3], b3[3];
  for (int k = 0; k < 3; ++k) {
    b1[k] = p[1][k] - p[0][k];
    b2[k] = p[2][k] - p[1][k];
    b3[k] = p[3][k] - p[2][k];
  }
  auto cross = [](const double* a, const double* b, double* c) {
    c[0] = a[1] * b[2] - a[2] * b[1];
    c[1] = a[2] * b[0] - a[0] * b[2];
    c[2] = a[0] * b[1] - a[1] * b[0];
  };
  auto dot = [](const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
  double n1[3], n2[3], m[3];
  cross(b1, b2, n1);
  cross(b2, b3, n2);
  const double l1 = std::sqrt(dot(n1, n1)), l2 = std::sqrt(dot(n2, n2)), lb = std::sqrt(dot(b2, b2));
  const double d = dot(n1, n2);
  double cosv = 1.0, sinv = 0.0;
  const bool flat = l1 < 1.0e-9 || l2 < 1.0e-9;
  if (flat) {
    cosv = d < 0.0 ? -1.0 : 1.0;
  } else if (std::fabs(l1 * l2) > 1.0e-8) {
    cosv = d / (l1 * l2);
    cross(n1, n2, m);
    sinv = lb > 0.0 ? dot(m, b2) / (lb * l1 * l2) : 0.0;
  }
  const double pi = 4.0 * std::atan(1.0);
  double ang = std::atan2(sinv, cosv);
  if (ang < 0.0) ang += 2.0 * pi;
  degrees = ang * 180.0 / pi;
  return !flat;
}

}  // namespace

void calc_pep_bond_angle_(int32_t /*mdoc*/, float& angobs, int32_t& ierr) {
  ierr = 1;
  const auto& r = r_scratch;
  if (r.n_stor < 1) return;
  auto slot = [&](std::string_view name, int side) {
    for (int k = 1; k <= r.n_stor; ++k)
      if (r.atom_stor(k) == name && r.iflag_stor(k, side) != 0) return k;
    return 0;
  };
  const int s[4] = {slot("CA", 1), slot("C", 1), slot("N", 2), slot("CA", 2)};
  const int side[4] = {1, 1, 2, 2};
  double p[4][3];
  for (int i = 0; i < 4; ++i) {
    if (s[i] == 0) return;
    p[i][0] = r.x_stor(s[i], side[i]);
    p[i][1] = r.y_stor(s[i], side[i]);
    p[i][2] = r.z_stor(s[i], side[i]);
  }
  double ang = 0.0;
  torsion_0_360(p, ang);
  angobs = static_cast<float>(ang);
  ierr = 0;
}

void def_conn_(int32_t mmdoc, char list, char conn_flag, char cis_flag, char sugar_flag,
               int32_t ln_n_init, char& /*dnew*/, int32_t& nsug, int32_t& ierr) {
  ierr = 0;
  nsug = 0;
  const int32_t mdoc = list == 'S' ? 999 : mmdoc;
  const int32_t ldoc = list == 'M' ? 999 : mdoc;
  if (asym_part.n_group < 1) return;
  g_rows.build(ln_n_init < link_inf.ln_n ? ln_n_init : link_inf.ln_n);
  g_mods.build();
  const int nres = resid_inf.n_residue;
  for (int ich = 1; ich <= asym_part.n_group; ++ich) {
    const int ires = asym_part.ires_start_tree(ich);
    const int iend = asym_part.ires_end_tree(ich);
    if (ires < 1 || ires > nres) continue;
    resid_inf.iconn_type(ires) = 1;
    if (iend <= ires) continue;
    clear_side(2);
    load_side2(ires);
    int ires1 = ires, ires2 = resid_inf.ires_forw(ires);
    // A tree that does not reach its end within the model's residues is broken.
    for (int steps = 0;; ++steps) {
      if (ires2 < 1 || ires2 > nres || steps > nres) {
        msgerr_(mdoc, " ERROR: wrong tree structure .....");
        ierr = 1;
        return;
      }
      shift_sides();
      Pair p;
      p.ich = ich;
      p.ires1 = ires1;
      p.ires2 = ires2;
      if (!link_pair(mdoc, ldoc, p, conn_flag, cis_flag, sugar_flag, ln_n_init, nsug, ierr)) return;
      if (ires2 == iend) break;
      ires1 = ires2;
      ires2 = resid_inf.ires_forw(ires2);
    }
  }
}

namespace connect {
namespace {

// The first atom of residue ir named `name` that has a place: occupancy
// above 0.0001 and a type other than unknown, missing or deleted; 0 none.
int placed_atom(int ir, std::string_view name) {
  const int first = resid_inf.iratm_first(ir);
  for (int ia = first; ia < first + resid_inf.natm_res(ir); ++ia) {
    const char t = atom_inf.atm_type(ia)(1);
    if (atom_inf.atm_name(ia) == name && atom_crd.occup(ia) > 0.0001f && t != 'U' && t != 'M' &&
        t != 'D')
      return ia;
  }
  return 0;
}

// |omega| (degrees, 0 to 180) of the peptide bond from residue ic's C to
// residue in's N; false when an atom is missing or the geometry degenerate.
bool omega_between(int ic, int in, float& omega) {
  const int at[4] = {placed_atom(ic, "CA"), placed_atom(ic, "C"), placed_atom(in, "N"),
                     placed_atom(in, "CA")};
  double p[4][3];
  for (int i = 0; i < 4; ++i) {
    if (at[i] == 0) return false;
    for (int k = 0; k < 3; ++k) p[i][k] = atom_crd.xyz_crd(k + 1, at[i]);
  }
  double a = 0.0;
  if (!torsion_0_360(p, a)) return false;
  omega = static_cast<float>(a > 180.0 ? 360.0 - a : a);
  return true;
}

// Row k, a peptide link from residue ic's C to residue in's N, takes the
// form `form`: its name, the ideal length its description gives and, with
// `mods` (the proline form), the modifications of the form on each residue,
// as the walk along a chain enters them for a link to a proline.  A pair the
// walk links under the row's old name takes the new one too, so that the
// link is described once.  False when the library lacks the form.
bool take_form(int32_t mdoc, int k, const Name8& form, std::string_view a1, std::string_view a2,
               int ic, int in, bool mods) {
  auto& l = link_inf;
  int32_t il = 0;
  look_link_list_(form, il);
  if (il <= 0) return false;
  const int old_code = conn_code(l.ln_id(k));
  float dideal = 0.0f;
  check_link_info_(form, l.ln_1rnam(k), l.ln_2rnam(k), a1, a2, dideal, il);
  l.ln_id(k) = form;
  if (il > 0) l.ln_dist(k) = dideal;
  if (resid_inf.ires_forw(ic) == in && resid_inf.i_chain(ic) == resid_inf.i_chain(in) &&
      resid_inf.iconn_type(in) == old_code)
    resid_inf.iconn_type(in) = conn_code(form);
  if (mods && !(l.ln_used(k) == "S")) {
    Name8 mod1("."), mod2(".");
    int32_t jl = 0, irevers = 0;
    const rt::FixedText<4> c("C"), n("N");
    look_link_(form, resid_inf.res_name(ic), c, Name8("PRO"), n, resid_inf.ires_type(ic),
               resid_inf.ires_type(in), jl, mod1, mod2, irevers);
    for (auto [mod, ir] : {std::pair{&mod1, ic}, std::pair{&mod2, in}}) {
      if (jl <= 0 || (*mod)(1) == '.' || (*mod)(1) == ' ') continue;
      Name8 blank("");
      int32_t jerr = 0;
      put_m_tabl_(mdoc, *mod, resid_inf.i_chain(ir), ir, 0, blank, "Y", jerr);
    }
  }
  return true;
}

}  // namespace

void peptide_link_forms(int32_t mdoc, char cis_flag, int32_t ln_n_init) {
  auto& l = link_inf;
  g_mods.build();
  for (int k = 1; k <= l.ln_n; ++k) {
    if (l.ln_1ires(k) == l.ln_2ires(k) || l.ln_used(k) == "S") continue;
    if (!link_in_unit(k)) continue;
    const std::string_view a1 = rt::trim_right(l.ln_atom1(k).view().substr(0, 4));
    const std::string_view a2 = rt::trim_right(l.ln_atom2(k).view().substr(0, 4));
    const bool forward = a1 == "C" && a2 == "N", backward = a1 == "N" && a2 == "C";
    if (!forward && !backward) continue;
    const Name8 id = l.ln_id(k);
    Pair::ProClass kind = Pair::ProClass::None;
    bool trans = false, cis = false;
    for (const auto c : {Pair::ProClass::None, Pair::ProClass::Proline, Pair::ProClass::NMethyl}) {
      if (id == trans_of(c)) trans = true, kind = c;
      if (id == cis_of(c)) cis = true, kind = c;
    }
    if (!trans && !cis) continue;
    const int ic = forward ? l.ln_1ires(k) : l.ln_2ires(k),
              in = forward ? l.ln_2ires(k) : l.ln_1ires(k);
    if (kind == Pair::ProClass::None && in >= 1 && in <= resid_inf.n_residue &&
        proline_name(g_mods.name_before(in, resid_inf.i_chain(in), resid_inf.res_name(in)))) {
      kind = Pair::ProClass::Proline;
      const Name8 form = trans ? trans_of(kind) : cis_of(kind);
      if (!take_form(mdoc, k, form, a1, a2, ic, in, true)) continue;
    }
    if (cis_flag != 'Y') continue;
    float omega = 0.0f;
    if (!omega_between(ic, in, omega)) continue;
    const bool to_cis = trans && omega < 90.0f, to_trans = cis && omega > 90.0f && k > ln_n_init;
    if (!to_cis && !to_trans) continue;
    const Name8 other = to_cis ? cis_of(kind) : trans_of(kind);
    if (!take_form(mdoc, k, other, a1, a2, ic, in, false)) continue;
    msgdoc_(mdoc, rt::fmt("(A,F10.2)",
                          to_cis ? " WARNING : CIS peptide bond is found, angle ="
                                 : " WARNING : TRANS peptide bond is found instead CIS, angle =",
                          omega));
    const int ich = resid_inf.i_chain(ic), jch = resid_inf.i_chain(in);
    msgdoc_(mdoc, rt::fmt("('           ch:',A4,' res:',A5,' ',A8,' -->',A4,' res:',A5,' ',A8)",
                          asym_part.group_id(ich), number_of(ic), resid_inf.res_name(ic),
                          asym_part.group_id(jch), number_of(in), resid_inf.res_name(in)));
  }
}

}  // namespace connect
