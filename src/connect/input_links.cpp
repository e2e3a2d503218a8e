// Input links.  The coordinate readers put the links that a file names
// (link, disulfide and cis-peptide records, or the mmCIF connection
// category) into link_inf; here each row is tied to the link library.
#include "connect/input_links.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "connect/conformer_bonds.h"
#include "connect/distance_links.h"
#include "connect/element_classes.h"
#include "connect/link_rows.h"
#include "connect/new_links.h"
#include "coords/cif_header.h"
#include "coords/pdb_bonds.h"
#include "coords/rows_in_one_residue.h"
#include "dictionary/lib_com.h"
#include "dictionary/link_lookup.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/messages.h"
#include "foundation/vec3.h"
#include "identify/model_tables.h"
#include "runtime/format.h"

namespace {

using Name8 = rt::FixedText<8>;
using Name4 = rt::FixedText<4>;

connect::ModRows g_mods;

struct End {
  int ich = 0, ir = 0, itype = 0;
  Name8 mon{""};
};

bool end_of(int ich, int ir, End& e) {
  if (ich <= 0 || ir <= 0 || ir > resid_inf.n_residue) return false;
  e.ich = ich;
  e.ir = ir;
  e.itype = resid_inf.ires_type(ir);
  e.mon = g_mods.name_before(ir, ich, resid_inf.res_name(ir));
  return true;
}

// The model atom of residue ir named `name`, 0 when it has none.
int atom_of(int ir, std::string_view name) {
  const int first = resid_inf.iratm_first(ir);
  for (int ia = first; ia < first + resid_inf.natm_res(ir); ++ia)
    if (atom_inf.atm_name(ia) == name) return ia;
  return 0;
}

// The model atom of residue ir that a row names in either spelling of a
// nucleotide atom: the archive's connection rows keep the prime ("O3'")
// where the reader stars the atoms of the common nucleotides ("O3*").
// 0 when it has none.
int atom_spelled_either_way(int ir, std::string_view name) {
  if (const int ia = atom_of(ir, name); ia != 0) return ia;
  const int first = resid_inf.iratm_first(ir);
  for (int ia = first; ia < first + resid_inf.natm_res(ir); ++ia)
    if (foundation::same_nucleotide_atom(name, atom_inf.atm_name(ia).view())) return ia;
  return 0;
}

// Puts the row's partners in the order of the library link it was matched
// to in reverse: the restraints give the link's first end to the row's first
// residue.
void swap_partners(int k, End& a, End& b) {
  std::swap(a, b);
  connect::swap_link_ends(k);
}

Name4 element_of(int ia) {
  const int sf = atom_inf.id_sf(ia);
  return Name4(sf >= 1 && sf <= MAXNSF ? crst_crd.cs_element(sf).view() : std::string_view(""));
}

bool pyranose(int t) { return t == 7 || t == 8; }
bool peptide(int t) { return t == 3 || t == 4; }

void trace_row(int32_t mdoc, int k, const Name8& link, const End& a, const End& b) {
  const auto& l = link_inf;
  msgerr_(mdoc, rt::list_line(">", k, link, a.ich, a.ir, a.mon, a.itype));
  msgerr_(mdoc, rt::list_line(">", b.ich, b.ir, b.mon, b.itype, l.ln_alt1(k), l.ln_alt2(k)));
  msgerr_(mdoc, rt::list_line("  ", l.ln_atom1(k), ";", l.ln_atom2(k), ";"));
}

Name4 row_atom(const rt::FixedText<5>& a) { return Name4(a.view().substr(0, 4)); }

bool given(const Name4& a) { return a(1) != '.' && !a.is_blank(); }

// The length a bond between the two atoms row k names has, whatever
// length the row states: the one the two atoms' elements give.  A bond to a
// metal whose length the library does not give sets `to_metal`.  False,
// with ierr, when the look-up fails.
bool element_length(int32_t mdoc, int k, const End& a, const End& b, float& dist, bool& to_metal,
                    int32_t& ierr) {
  to_metal = false;
  const int ia = atom_of(a.ir, row_atom(link_inf.ln_atom1(k)));
  const int ja = atom_of(b.ir, row_atom(link_inf.ln_atom2(k)));
  if (ia == 0 || ja == 0) {
    dist = 1.5f;
    return true;
  }
  rt::FixedText<1> def_flag;
  get_default_vbond_(mdoc, element_of(ia), element_of(ja), dist, def_flag, ierr);
  to_metal = connect::unmeasured_metal_bond(element_of(ia).view(), element_of(ja).view());
  return ierr == 0;
}

// A description for a link the library lacks, at length dist.
bool create(int32_t mdoc, int k, Name8& link, const End& a, const End& b, float dist, bool observed,
            char& dnew, int32_t& ierr) {
  auto& l = link_inf;
  const Name4 atom1 = row_atom(l.ln_atom1(k)), atom2 = row_atom(l.ln_atom2(k));
  int32_t inew = 0, lnew = 0, ilink = 0;
  creat_link_(mdoc, link, inew, lnew, ilink, a.itype, b.itype, a.mon, atom1, ".", b.mon, atom2,
              ".", dist, ierr);
  if (ierr != 0) return false;
  if (inew != 1) return true;
  dnew = 'Y';
  l.ln_ent(k) = "C";
  l.ln_used(k) = "S";
  l.ln_id(k) = link;
  l.ln_1rnam(k) = a.mon;
  l.ln_1ires(k) = a.ir;
  l.ln_1ichn(k) = resid_inf.i_chain(a.ir);
  l.ln_2rnam(k) = b.mon;
  l.ln_2ires(k) = b.ir;
  l.ln_2ichn(k) = resid_inf.i_chain(b.ir);
  l.ln_atom1(k).sub(1, 4).assign(atom1);
  l.ln_atom2(k).sub(1, 4).assign(atom2);
  l.ln_dist(k) = dist;
  msgdoc_(mdoc, rt::fmt("(' WARNING : description of link:',A8,' is not in the dictionary')", link));
  msgdoc_(mdoc, rt::fmt("('           link will be created with bond_lenth =',F8.3)", dist));
  if (observed) msgdoc_(mdoc, connect::kObservedMetalLength);
  return true;
}

// Whether the library link `name` bonds the two atoms row k names, in
// either order.  A library link on other atoms of the same two residues is
// another bond: taken for the row it would restrain atoms the file does not
// link.  A row without its atoms, or a link without a bond, has nothing to
// tell apart.
bool bonds_named_atoms(const Name8& name, int k) {
  const Name4 r1 = row_atom(link_inf.ln_atom1(k)), r2 = row_atom(link_inf.ln_atom2(k));
  if (!given(r1) || !given(r2)) return true;
  Name4 l1(""), l2("");
  int32_t it = 0;
  get_link_atom_(name, l1, l2, it);
  if (it <= 0) return true;
  return (l1 == r1 && l2 == r2) || (l1 == r2 && l2 == r1);
}

// A row read without a symmetry code leaves it blank.
bool identity_code(const rt::FixedText<8>& s) { return identity_symmetry(s) || s.is_blank(); }

bool alt_fits(const rt::FixedText<1>& want, int ia) {
  return want == "." || want.is_blank() || atom_inf.id_alt(ia) == want;
}

// The shortest distance between the atoms row k names, over their
// alternate positions (those the row names, when it names one); the two
// atoms in d1, d2; false when either is absent.
bool named_distance(int k, const End& a, const End& b, float& dist, int& d1, int& d2) {
  const auto& l = link_inf;
  const Name4 n1 = row_atom(l.ln_atom1(k)), n2 = row_atom(l.ln_atom2(k));
  const int f1 = resid_inf.iratm_first(a.ir), f2 = resid_inf.iratm_first(b.ir);
  dist = -1.0f;
  for (int ia = f1; ia < f1 + resid_inf.natm_res(a.ir); ++ia) {
    if (!(atom_inf.atm_name(ia) == n1) || !alt_fits(l.ln_alt1(k), ia)) continue;
    for (int ja = f2; ja < f2 + resid_inf.natm_res(b.ir); ++ja) {
      if (!(atom_inf.atm_name(ja) == n2) || !alt_fits(l.ln_alt2(k), ja)) continue;
      float diff[3], d = 0.0f;
      nb_vsub_(&atom_crd.xyz_crd(1, ia), &atom_crd.xyz_crd(1, ja), diff);
      nb_vmod_(diff, d);
      if (dist < 0.0f || d < dist) {
        dist = d;
        d1 = ia;
        d2 = ja;
      }
    }
  }
  return dist >= 0.0f;
}

// An input link between atoms further apart than any bond (beyond
// connect::bond_reach of the length `bond` a bond of them has) would pull
// them across the model: it is dropped, with a warning.  Rows to a
// symmetry mate are measured where their restraints are made.
bool too_far_to_bond(int32_t mdoc, int k, const Name8& link, const End& a, const End& b,
                     float bond) {
  auto& l = link_inf;
  if (!identity_code(l.ln_symm1(k)) || !identity_code(l.ln_symm2(k))) return false;
  float dist = 0.0f;
  int ia = 0, ja = 0;
  if (!named_distance(k, a, b, dist, ia, ja)) return false;
  const Name4 n1 = row_atom(l.ln_atom1(k)), n2 = row_atom(l.ln_atom2(k));
  if (dist <= connect::bond_reach(n1.view(), n2.view(), bond)) return false;
  msgdoc_(mdoc, rt::fmt("(' WARNING : link:',A8,' atoms too far apart to bond, dist =',F10.3)",
                        link, dist));
  const std::string ends = "           ch:" + connect::link_end_text(a.ich, a.ir, ia) +
                           "->ch:" + connect::link_end_text(b.ich, b.ir, ja);
  msgdoc_(mdoc, ends + std::string(rt::fmt("(' ideal_dist=',F10.3)", bond)));
  msgdoc_(mdoc, "           link will not be restrained");
  l.ln_id(k)(1) = '?';
  return true;
}

// Row k keeps the pairs of conformers of its atoms that bond: where some
// lie too far apart, the row becomes the link of the first pair that bonds,
// a new row (a copy) that of each further one, each naming its alternates
// and marked "S", as rows a file gives for one conformer are (they take no
// modifications, so that a run on the rows written for them describes the
// residues alike); every pair left out is warned of.  Where no pair bonds,
// the row is dropped.
void keep_bonding_conformers(int32_t mdoc, int k, const Name8& link, float ideal) {
  auto& l = link_inf;
  if (!identity_code(l.ln_symm1(k)) || !identity_code(l.ln_symm2(k))) return;
  const int ir1 = l.ln_1ires(k), ir2 = l.ln_2ires(k);
  const int ich1 = l.ln_1ichn(k), ich2 = l.ln_2ichn(k);
  const Name4 n1 = row_atom(l.ln_atom1(k)), n2 = row_atom(l.ln_atom2(k));
  static std::vector<connect::ConformerPair> pairs;
  connect::conformer_pairs(ir1, n1.view(), l.ln_alt1(k), ir2, n2.view(), l.ln_alt2(k), pairs);
  const float reach = connect::bond_reach(n1.view(), n2.view(), ideal);
  const auto apart = [&](const connect::ConformerPair& p) { return p.dist > reach; };
  if (std::none_of(pairs.begin(), pairs.end(), apart)) return;
  int row = 0;
  for (const connect::ConformerPair& p : pairs) {
    if (apart(p)) {
      connect::warn_conformers_apart(mdoc, link, ich1, ich2, p, ideal);
      continue;
    }
    row = row == 0 ? k : connect::copy_link_row(mdoc, k);
    l.ln_alt1(row) = atom_inf.id_alt(p.ia);
    l.ln_alt2(row) = atom_inf.id_alt(p.ja);
    l.ln_used(row) = "S";
  }
  if (row == 0) l.ln_id(k)(1) = '?';
}

// A PDB file of the current archive layout has the bond length where a
// named link has its name (LINK columns 73-80).  A name that is a decimal
// number with its point and nothing else is that length: taken as a name
// it would stand for a link of its own, made at a default length and used
// for every residue pair it joins, whatever its atoms.
bool length_for_name(const Name8& name, float& dist) {
  const std::string_view v = name.trimmed();
  std::size_t a = 0;
  while (a < v.size() && v[a] == ' ') ++a;
  const std::string_view t = v.substr(a);
  int digits = 0, points = 0;
  for (char c : t) {
    if (c >= '0' && c <= '9')
      ++digits;
    else if (c == '.')
      ++points;
    else
      return false;
  }
  if (digits == 0 || points != 1) return false;
  char buf[9] = {};
  t.copy(buf, sizeof buf - 1);
  dist = std::strtof(buf, nullptr);
  return true;
}

// A connection row of the file whose residue or atom is not in the model
// makes no link: the bond it names would otherwise be lost without a word.
void warn_absent_end(int32_t mdoc, int k, int e) {
  coords::warn_link_end_absent(mdoc, "connection row", coords::link_row_end_text(k, e),
                               coords::link_row_end_text(k, 1), coords::link_row_end_text(k, 2));
}

// The model atom of residue ir that a row's end names: 0 when the end
// names no atom, kAbsent when the residue lacks it.
constexpr int kAbsent = -1;
int end_atom(const rt::FixedText<5>& row_end, int ir) {
  const Name4 name = row_atom(row_end);
  if (!given(name)) return 0;
  const int ia = atom_spelled_either_way(ir, name);
  return ia != 0 ? ia : kAbsent;
}

// A row's end takes the model's spelling of its atom's name, so that the
// stages after this one, the restraints and the rows written for a later
// run all find the atom by it.
void spell_as_model(rt::FixedText<5>& row_end, int ia) {
  if (ia > 0) row_end.sub(1, 4).assign(atom_inf.atm_name(ia).view());
}

// One row; false when the routine must end.
bool resolve(int32_t mdoc, char list, int k, char& dnew, int32_t& ierr) {
  auto& l = link_inf;
  // A chain break recorded in the file stays a break.
  if (l.ln_id(k) == "gap") return true;
  End a, b;
  if (!end_of(l.ln_1ichn(k), l.ln_1ires(k), a) || !end_of(l.ln_2ichn(k), l.ln_2ires(k), b)) {
    if (l.ln_ent(k) == "C") warn_absent_end(mdoc, k, a.ir == 0 ? 1 : 2);
    l.ln_id(k)(1) = '?';
    return true;
  }
  if (l.ln_ent(k) == "C") {
    const int ia = end_atom(l.ln_atom1(k), a.ir), ja = end_atom(l.ln_atom2(k), b.ir);
    if (ia == kAbsent || ja == kAbsent) {
      warn_absent_end(mdoc, k, ia == kAbsent ? 1 : 2);
      l.ln_id(k)(1) = '?';
      return true;
    }
    spell_as_model(l.ln_atom1(k), ia);
    spell_as_model(l.ln_atom2(k), ja);
  }
  Name8 link = l.ln_id(k);
  // An mmCIF connection kind names no link: the row is a nameless link, as
  // an SSBOND or a LINK record without a name.
  if (coords::covalent_conn_kind(link.view())) {
    link = ".";
    l.ln_id(k) = link;
  }
  float length = 0.0f;
  if (length_for_name(link, length)) {
    link = ".";
    l.ln_id(k) = link;
    if (l.ln_dist(k) < 0.001f) l.ln_dist(k) = length;
  }
  if (list == 'T') trace_row(mdoc, k, link, a, b);
  int32_t ilink = 0;
  if (link.is_blank() || link(1) == '.' || link(1) == '?') {
    link = ".";
    const std::string_view m1 = a.mon.view().substr(0, 3), m2 = b.mon.view().substr(0, 3);
    if (pyranose(a.itype) && peptide(b.itype)) {
      link = std::string(m1).append("-").append(m2);
    } else if (pyranose(b.itype) && peptide(a.itype)) {
      link = std::string(m2).append("-").append(m1);
    } else {
      msgdoc_(mdoc, rt::fmt("(' WARNING : link: ',A3,'<-->',A3,' is without link_id')", m1, m2));
      msgdoc_(mdoc, "           link will be created with covalent bond only");
    }
  } else if (l.ln_atom1(k)(1) == '.' || l.ln_atom2(k)(1) == '.') {
    Name4 a1(""), a2("");
    int32_t it = 0;
    get_link_atom_(link, a1, a2, it);
    if (it > 0) {
      l.ln_atom1(k) = a1;
      l.ln_atom2(k) = a2;
    }
  }
  look_link_list_(link, ilink);
  const bool known = ilink > 0 && bonds_named_atoms(link, k);
  if (known) {
    l.ln_id(k) = r_scratch.lll_lname(ilink);
    link = l.ln_id(k);
  }

  Name8 mod1("."), mod2(".");
  int32_t irevers = 0;
  const Name4 atom1 = row_atom(l.ln_atom1(k)), atom2 = row_atom(l.ln_atom2(k));
  bool as_peptide = false;  // the trans peptide link of a residue typed otherwise
  if (!known) {
    look_link_(link, a.mon, atom1, b.mon, atom2, a.itype, b.itype, ilink, mod1, mod2, irevers);
    // A nameless link that bonds a peptide's C to an N is a peptide bond,
    // wherever the file puts its residues.
    if (ilink <= 0 && link == ".")
      as_peptide = connect::peptide_link(a.mon.view(), atom1.view(), a.itype, b.mon.view(),
                                         atom2.view(), b.itype, ilink, mod1, mod2, irevers);
    // A link found by its atoms is the library's link: its modifications
    // apply as they do when the file names it.
    if (ilink > 0) l.ln_id(k) = r_scratch.lll_lname(ilink);
  }
  const bool library = ilink > 0;
  if (!library && (!given(atom1) || !given(atom2))) {
    // Without its two atoms the link would be a description without a bond.
    msgdoc_(mdoc, rt::fmt("(' WARNING : link: ',A8,' without its atoms is ignored')", link));
    l.ln_id(k)(1) = '?';
    return true;
  }
  // The reach of the checks below is that of the bond the two atoms can
  // have, not of the length the row states: the archive's rows state the
  // model's own distance, and atoms 12 A apart would otherwise be bonded at
  // 12 A.  A new link is still made at the stated length.
  float bond = 0.0f, ideal = 0.0f;
  bool to_metal = false;
  if (library) get_idl_bond_lenth_(ilink, bond);
  else if (!element_length(mdoc, k, a, b, bond, to_metal, ierr)) return false;
  ideal = bond;
  if (!library && link_inf.ln_dist(k) >= 0.001f) {
    ideal = link_inf.ln_dist(k);
    to_metal = false;
  }
  if (too_far_to_bond(mdoc, k, link, a, b, bond)) return true;
  // A new link to a metal is made at the model's distance (measured here
  // only within the asymmetric unit), while the reach of the checks above
  // and of the conformers below stays that of the default length: atoms
  // too far apart for it are not bonded at a longer one.
  float made_at = ideal;
  int ia = 0, ja = 0;
  const bool observed = to_metal && identity_code(l.ln_symm1(k)) && identity_code(l.ln_symm2(k)) &&
                        named_distance(k, a, b, made_at, ia, ja);
  if (!observed) made_at = ideal;
  if (!library && !create(mdoc, k, link, a, b, made_at, observed, dnew, ierr)) return false;

  mod1 = ".";
  mod2 = ".";
  look_link_(l.ln_id(k), a.mon, atom1, b.mon, atom2, as_peptide ? 3 : a.itype,
             as_peptide ? 3 : b.itype, ilink, mod1, mod2, irevers);
  if (ilink > 0 && irevers == 1) {
    swap_partners(k, a, b);
    std::swap(mod1, mod2);
  }
  keep_bonding_conformers(mdoc, k, l.ln_id(k), bond);
  if (l.ln_used(k) == "S" || l.ln_id(k)(1) == '?') return true;
  Name8 blank("");
  put_m_tabl_(mdoc, mod1, a.ich, a.ir, 0, blank, "Y", ierr);
  if (ierr != 0) return false;
  blank = "";
  put_m_tabl_(mdoc, mod2, b.ich, b.ir, 0, blank, "Y", ierr);
  return ierr == 0;
}

}  // namespace

void def_link_mod_(int32_t mdoc, char list, char& dnew, int32_t& ierr) {
  ierr = 0;
  if (list == 'T') {
    msgerr_(mdoc, " -- DEF_LINK_MOD");
    msgerr_(mdoc, rt::list_line("==>LN_N", link_inf.ln_n));
  }
  g_mods.build();
  // Rows added for further conformers of a row are resolved with it.
  const int rows = link_inf.ln_n;
  for (int k = 1; k <= rows; ++k)
    if (!resolve(mdoc, list, k, dnew, ierr)) return;
  if (list == 'T') msgerr_(mdoc, " -- end: DEF_LINK_MOD");
}
