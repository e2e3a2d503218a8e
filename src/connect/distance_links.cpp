// Links by distance.  Which residue pairs are examined atom by atom follows
// the residue spheres: a pair whose spheres stay more than 3.0 Angstrom apart
// cannot hold a bonded atom pair and is passed over, unless an input link
// names it.  The pairs are found through a grid of the atoms that can bond
// (no residue pair is visited that has no two atoms within the widest limit)
// and examined in the order of the chains' residue trees, chain pair by chain
// pair, so links enter the tables in the same order as a walk over every
// pair would enter them.
#include "connect/distance_links.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "connect/conformer_bonds.h"
#include "connect/element_classes.h"
#include "connect/link_rows.h"
#include "connect/new_links.h"
#include "connect/residue_spheres.h"
#include "coords/chain_termini.h"
#include "coords/pdb_chains.h"
#include "coords/pdb_corrections.h"
#include "dictionary/lib_com.h"
#include "dictionary/link_lookup.h"
#include "dictionary/neighbour_grid.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/cif_vocab.h"
#include "foundation/kernels.h"
#include "foundation/messages.h"
#include "identify/info_trace.h"
#include "identify/model_tables.h"
#include "runtime/format.h"

namespace {

using Name8 = rt::FixedText<8>;
using Name4 = rt::FixedText<4>;

// Distance limits by element classes; the first is not used by the search.
constexpr float kLimits[4] = {1.2f, 1.7f, 2.4f, 3.0f};
constexpr float kSphereMargin = kLimits[3];

connect::LinkRows g_inputs;  // the input links, rows 1..ln_n_init
connect::ModRows g_mods;

// The atoms of the grid and where they sit in the model.
dictionary::NeighbourGrid<MAXATOM> g_grid;
rt::Array1<float, MAXATOM> g_x, g_y, g_z;
rt::Array1<int32_t, MAXATOM> g_atom;

// Where a residue stands in the walks of its chain: the chain and the step
// of the outer walk (to the chain's last residue by index) and of the inner
// walk (from tree start to tree end).  0 when the walk does not reach it.
rt::Array1<int32_t, MAXRESID> g_outer_chain, g_outer_step, g_inner_chain, g_inner_step;

struct Walk {
  std::vector<int32_t> res;
  bool broken = false;
};

bool in_model(int ir) { return ir >= 1 && ir <= resid_inf.n_residue; }

Walk walk(int start, int stop) {
  Walk w;
  int ir = start;
  for (int steps = 0;; ++steps) {
    if (!in_model(ir) || steps > resid_inf.n_residue) {
      w.broken = true;
      return w;
    }
    w.res.push_back(ir);
    if (ir == stop) return w;
    const int next = resid_inf.ires_forw(ir);
    if (next < 1) {
      w.broken = true;
      return w;
    }
    ir = next;
  }
}

bool water(const Name8& n) { return n == "HOH" || n == "DUM"; }
bool sugar_type(int t) { return t == 7 || t == 8; }
// A peptide's class, or a chain cap's (polymer monomer).
bool peptide_type(int t) { return t == 3 || t == 4 || t == 10; }

// Element class of each scattering type, worked out once per search.
rt::Array1<int32_t, MAXNSF + 1> g_sf_class;

void classify_types() {
  for (int sf = 1; sf <= MAXNSF; ++sf) {
    int32_t c = 2;
    set_idlim_(Name4(crst_crd.cs_atype(sf).view()), c);
    g_sf_class(sf) = c;
  }
  // An atom without a scattering type takes the class of a blank symbol.
  int32_t c = 2;
  set_idlim_(Name4(""), c);
  g_sf_class(MAXNSF + 1) = c;
}

int element_class(int ia) {
  const int sf = atom_inf.id_sf(ia);
  return g_sf_class(sf >= 1 && sf <= MAXNSF ? sf : MAXNSF + 1);
}

bool skipped_type(int ia) {
  const char t = atom_inf.atm_type(ia)(1);
  return t == 'M' || t == 'U' || t == 'D';
}

// One residue pair of the search, in walk order.
struct Visit {
  int ich1, ich2, step_i, step_j, i, j;
  auto key() const { return std::tie(ich1, ich2, step_i, step_j); }
};

struct Stage {
  int32_t mdoc;
  char list, lnk_flag, ss_flag, sugar_flag;
  int ln_n_init;
  char* dnew;
  int32_t* nsug;
};

struct Side {
  int ir, ich, ia;
  Name8 mon;
  int itype;
  Name4 name;
};

std::string side_text(const Side& s) { return connect::link_end_text(s.ich, s.ir, s.ia); }

bool backbone(const Name8& link) {
  for (std::string_view b : {"TRANS", "CIS", "PTRANS", "PCIS", "NMTRANS", "NMCIS", "p"})
    if (link == b) return true;
  return false;
}

bool sugar_kept(const Name8& link) {
  const std::string_view v = link.view();
  if (v.substr(0, 4) == "BETA" || v.substr(0, 4) == "ALPH") return true;
  for (std::string_view s : {"MAN-SER", "NAG-SER", "MAN-THR", "NAG-THR", "MAN-ASN", "NAG-ASN",
                             "XYS-SER", "XYS-ASN"})
    if (link == s) return true;
  return false;
}

// The input link that joins atoms a (residue side 1) and b; 0 when none.
// With flag "D" every such link loses its name instead.
int input_for_atoms(const Stage& st, const Side& a, const Side& b, char flag) {
  int taken = 0;
  g_inputs.either(a.ir, [&](int k) {
    if (taken != 0 || k > st.ln_n_init) return;
    const auto& l = link_inf;
    const bool direct = l.ln_1ires(k) == a.ir && l.ln_1ichn(k) == a.ich && l.ln_2ires(k) == b.ir &&
                        l.ln_2ichn(k) == b.ich && l.ln_atom1(k).view().substr(0, 4) == a.name &&
                        l.ln_atom2(k).view().substr(0, 4) == b.name;
    const bool reverse = l.ln_1ires(k) == b.ir && l.ln_1ichn(k) == b.ich && l.ln_2ires(k) == a.ir &&
                         l.ln_2ichn(k) == a.ich && l.ln_atom1(k).view().substr(0, 4) == b.name &&
                         l.ln_atom2(k).view().substr(0, 4) == a.name;
    if (!direct && !reverse) return;
    if (l.ln_id(k) == "gap" || l.ln_id(k)(1) == '?') return;
    const auto& alt_a = atom_inf.id_alt(a.ia);
    const auto& alt_b = atom_inf.id_alt(b.ia);
    if (l.ln_used(k) == "S") {
      const auto& la = direct ? l.ln_alt1(k) : l.ln_alt2(k);
      const auto& lb = direct ? l.ln_alt2(k) : l.ln_alt1(k);
      if (!(la == alt_a) || !(lb == alt_b)) return;
    } else {
      if (!(l.ln_alt1(k) == ".") || !(l.ln_alt2(k) == ".") || !(alt_a == alt_b)) return;
    }
    if (!link_in_unit(k)) return;
    if (flag == 'D') {
      link_inf.ln_id(k) = "?";
    } else {
      taken = k;
    }
  });
  return taken;
}

// A positive chiral sign at the anomeric carbon makes a beta link alpha, a
// negative one an alpha link beta.
void check_anomer(const Side& a, const Side& b, Name8& link) {
  const Side* s = a.name == "C1" ? &a : b.name == "C1" ? &b : nullptr;
  if (s == nullptr) return;
  const Side& partner = s == &a ? b : a;
  const float* c1 = nullptr;
  const float* o5 = nullptr;
  const float* c2 = nullptr;
  const int first = resid_inf.iratm_first(s->ir);
  for (int ia = first; ia < first + resid_inf.natm_res(s->ir); ++ia) {
    const auto& n = atom_inf.atm_name(ia);
    if (c1 == nullptr && n == "C1") c1 = &atom_crd.xyz_crd(1, ia);
    if (o5 == nullptr && n == "O5") o5 = &atom_crd.xyz_crd(1, ia);
    if (c2 == nullptr && n == "C2") c2 = &atom_crd.xyz_crd(1, ia);
  }
  if (c1 == nullptr || o5 == nullptr || c2 == nullptr) return;
  float vol = 0.0f, ph = 0.0f;
  calc_i_ovol_l_(0, 0, 0, 0, c1, &atom_crd.xyz_crd(1, partner.ia), o5, c2, vol, ph);
  const std::string_view v = link.view();
  if (ph >= 0.0f && v.substr(0, 4) == "BETA")
    link = std::string("ALPHA").append(v.substr(4));
  else if (ph < 0.0f && v.substr(0, 4) == "ALPH" && v.substr(0, 5) == "ALPHA")
    link = std::string("BETA").append(v.substr(5));
}

// The chain ends that side s of a backbone link stands at lose their
// terminal groups.  A residue that is both ends (a chain of one, such as a
// residue the reader set apart between HETATM records) loses only the group
// of the end its bond atom joins, when the atoms say which: its other end
// stays as free as it is, on this run and on a run on what it writes.
void mark_ends(const Side& s, const Side& other, bool by_tree) {
  auto& g = asym_part;
  const int first = by_tree ? g.ires_start_tree(s.ich) : g.ires_first(s.ich);
  const int last = by_tree ? g.ires_end_tree(s.ich) : g.ires_first(s.ich) + g.nres_chain(s.ich) - 1;
  bool at_start = true, at_finish = true;
  if (first == last) {
    const bool down = chain_bond_atoms(other.name.trimmed(), s.name.trimmed());
    const bool up = chain_bond_atoms(s.name.trimmed(), other.name.trimmed());
    if (down != up) at_start = down, at_finish = up;
  }
  if (s.ir == first && at_start) g.iterm_s_type(s.ich) = 7;
  if (s.ir == last && at_finish) g.iterm_f_type(s.ich) = 7;
}

// A chain end whose chain atom the link bonds takes no terminal group there,
// whatever the link is and whatever it bonds: the amine N or the 5'
// phosphate of the chain's first residue, the carbonyl C or the O3' of its
// last.
void mark_joined_end(const Side& s) {
  auto& g = asym_part;
  const std::string_view n = s.name.trimmed();
  if ((n == "N" || n == "P") && s.ir == g.ires_start_tree(s.ich)) g.iterm_s_type(s.ich) = 1;
  if ((n == "C" || n == "O3'" || n == "O3*") && s.ir == g.ires_end_tree(s.ich))
    g.iterm_f_type(s.ich) = 1;
}

// What the search learns of one atom pair as its steps go.
struct Pair {
  float limit = 0.0f;  // the bond limit of the two element classes
  bool sugar = false;  // a sugar residue on either side
  char flag = 'N';     // whether a link found by distance is used ('N': reported only)
  int input = 0;       // the input link naming the two atoms, 0 none
  Name8 known{""};     // the name the library or the input link gives the pair
  float dist = 0.0f, ideal = 0.0f;
  bool used = false;
  Name8 link{""}, mod1{"."}, mod2{"."};
  int32_t ilink = 0, irevers = 0;
  bool described_here = false;  // the library had no entry: this run made one
  bool observed = false;        // the link takes the model's distance, its own
};

// The bond limit of atoms ia and ja; false when they cannot bond: two
// different correlation codes, or a hydrogen or deuterium (class 1) on
// either side.
bool bond_limit(int ia, int ja, float& limit) {
  const auto& ca = atom_inf.id_corr(ia);
  const auto& cb = atom_inf.id_corr(ja);
  if (!(ca == ".") && !(cb == ".") && !(ca == cb)) return false;
  const int k1 = element_class(ia), k2 = element_class(ja);
  if (k1 == 1 || k2 == 1) return false;
  limit = k1 == 2 && k2 == 2 ? kLimits[1] : k1 == 4 && k2 == 4 ? kLimits[3] : kLimits[2];
  return true;
}

// The library's link for the pair, either way round across chains.  Under
// the sugar flag 'S' a sugar pair is used only when the library knows it as
// one of the links a sugar keeps.
void ask_library(const Stage& st, const Side& a, const Side& b, Pair& p) {
  float dideal = 0.0f;
  int32_t il = 0;
  check_link_info_("", a.mon, b.mon, a.name, b.name, dideal, il);
  if (il < 1 && a.ich != b.ich) check_link_info_("", b.mon, a.mon, b.name, a.name, dideal, il);
  if (il >= 1) p.known = r_scratch.lll_lname(il);
  if (p.sugar && st.sugar_flag == 'S') p.flag = il >= 1 && sugar_kept(p.known) ? 'Y' : 'N';
}

// Whether the pair is examined further.  In a residue pair an input link
// names, only the atoms of an input link are, and that link gives the name
// (user becomes 'Y'); otherwise only atoms of one alternate, or of none.
bool take_pair(const Stage& st, const Side& a, const Side& b, char& user, Pair& p) {
  if (user == 'P') {
    ask_library(st, a, b, p);
    p.input = input_for_atoms(st, a, b, p.flag);
    if (p.input == 0) return false;
    user = 'Y';
    p.known = link_inf.ln_id(p.input);
    return true;
  }
  const auto& alt_a = atom_inf.id_alt(a.ia);
  const auto& alt_b = atom_inf.id_alt(b.ia);
  return alt_a == "." || alt_b == "." || alt_a == alt_b;
}

// Atoms closer than this are one atom twice (two residues written over one
// another, their alternate codes lost), not a bond.
constexpr float kTooClose = coords::kCoincide;

void warn_too_close(const Stage& st, const Side& a, const Side& b, float dist) {
  msgdoc_(st.mdoc, rt::fmt("(' WARNING : atoms closer than a bond can be, dist =',F10.3)", dist));
  msgdoc_(st.mdoc, "           ch:" + side_text(a) + "->ch:" + side_text(b));
  msgdoc_(st.mdoc, "           no link is made");
}

// An atom without occupancy has no place to measure from: the pair is
// put just beyond its limit, so only an input link can join it.
float pair_distance(int ia, int ja, float limit) {
  if (atom_crd.occup(ia) < 0.0001f || atom_crd.occup(ja) < 0.0001f) return limit + 0.001f;
  float d2 = 0.0f;
  for (int k = 1; k <= 3; ++k) {
    const float d = atom_crd.xyz_crd(k, ia) - atom_crd.xyz_crd(k, ja);
    d2 += d * d;
  }
  return std::sqrt(d2);
}

// The link's library entry and ideal length.  A link the library lacks
// takes the default bond of the two chemical types and, when it is used, a
// new library description; false, with ierr, when either fails.  A peptide
// bond for which the library has no link of its own takes the trans
// peptide link, or the peptide link a row of the file names (peptide_link).
bool describe_pair(const Stage& st, const Side& a, const Side& b, char user, Pair& p,
                   int32_t& ierr) {
  p.link = user == 'Y' ? p.known : Name8("");
  look_link_(p.link, a.mon, a.name, b.mon, b.name, a.itype, b.itype, p.ilink, p.mod1, p.mod2,
             p.irevers);
  // A file's row that names a peptide link (the written coordinates name
  // the one a first run found) keeps it on residues typed otherwise too.
  const bool named = user == 'Y' && !p.known.is_blank() && !(p.known == ".");
  if (p.ilink < 1 && (user != 'Y' || named))
    connect::peptide_link(a.mon.view(), a.name.view(), a.itype, b.mon.view(), b.name.view(),
                          b.itype, p.ilink, p.mod1, p.mod2, p.irevers,
                          named ? p.known.view() : std::string_view("TRANS"));
  p.described_here = p.ilink < 1;
  if (p.ilink >= 1) {
    get_idl_bond_lenth_(p.ilink, p.ideal);
    p.link = r_scratch.lll_lname(p.ilink);
    // A description made for the model holds the length of the first link
    // of its name: a later bond to a metal keeps its own.
    p.observed =
        user != 'Y' && connect::made_for_model(p.ilink, r_scratch.lll_ibond(p.ilink)) &&
        connect::unmeasured_metal_bond(connect::atom_element(a.ia), connect::atom_element(b.ia));
    if (p.observed) p.ideal = p.dist;
    return true;
  }
  rt::FixedText<1> def_flag;
  get_default_vbond_(st.mdoc, atom_inf.atm_chem(a.ia), atom_inf.atm_chem(b.ia), p.ideal, def_flag,
                     ierr);
  if (ierr != 0) return false;
  // A bond to a metal that the library gives no length for would be made at
  // 1.5 A and pull the ion across its site: the model's distance is the one
  // length known.
  p.observed = user != 'Y' && (element_class(a.ia) == 4 || element_class(b.ia) == 4) &&
               !connect::library_bond_length(atom_inf.atm_chem(a.ia), atom_inf.atm_chem(b.ia),
                                             def_flag);
  if (p.observed) p.ideal = p.dist;
  p.link = p.known;
  if (!p.used) return true;
  int32_t inew = 0, lnew = 0;
  p.ilink = 0;
  p.mod1 = ".";
  p.mod2 = ".";
  p.irevers = 0;
  creat_link_(st.mdoc, p.link, inew, lnew, p.ilink, a.itype, b.itype, a.mon, a.name, p.mod1, b.mon,
              b.name, p.mod2, p.ideal, ierr);
  if (ierr != 0) return false;
  if (inew == 1) {
    *st.dnew = 'Y';
    msgdoc_(st.mdoc,
            rt::fmt("(' WARNING : description of link:',A8,' is not in the dictionary.')", p.link));
    msgdoc_(st.mdoc,
            rt::fmt("('           link will be created with bond_lenth =',F8.3)", p.ideal));
    if (p.observed) msgdoc_(st.mdoc, connect::kObservedMetalLength);
  }
  return true;
}

// A glycosidic link found by distance takes the anomer its geometry shows.
void correct_anomer(const Side& a, const Side& b, Pair& p) {
  if (!(p.link.view().substr(0, 4) == "BETA" || p.link.view().substr(0, 4) == "ALPH")) return;
  const Name8 before = p.link;
  check_anomer(a, b, p.link);
  if (!(p.link == before)) look_link_list_(p.link, p.ilink);
}

// One row of a link found by distance; false, with ierr, when it cannot be
// entered.  special: the row is restrained for the alternates of ia and ja
// alone.
bool enter_row(const Stage& st, const Side& a, const Side& b, const Pair& p, int ia, int ja,
               bool special, int32_t& ierr) {
  const int rows = link_inf.ln_n;
  put_l_tabl_(st.mdoc, p.link, a.ich, b.ich, a.ir, b.ir, ia, ja, p.irevers, ierr);
  if (ierr != 0) return false;
  if (link_inf.ln_n == rows) return true;
  // The row keeps the length its new description was made with, or its own
  // length, so a run on the written model makes the description again at
  // that length and restrains the row at its own.
  if (p.described_here || p.observed) link_inf.ln_dist(link_inf.ln_n) = p.ideal;
  if (special) link_inf.ln_used(link_inf.ln_n) = "S";
  return true;
}

// The rows of a link found by distance.  The pair found bonds; where the
// two atoms have other positions that may stand together and some of those
// lie beyond the search's bond limit of the pair (the side chain of one
// conformer turned to another partner: the search would not bond them on
// their own), the link holds only in the conformers that bond: one
// row for each pair of them, naming its alternates and marked special as a
// file's row for one conformer is (special becomes true: such rows take no
// modifications, on this run or on a run on what it writes), and a warning
// for each pair left out.  Otherwise one row restrains every conformer.
bool enter_rows(const Stage& st, const Side& a, const Side& b, const Pair& p, bool& special,
                int32_t& ierr) {
  static std::vector<connect::ConformerPair> pairs;
  connect::conformer_pairs(a.ir, a.name.view(), ".", b.ir, b.name.view(), ".", pairs);
  const auto apart = [&](const connect::ConformerPair& c) { return c.dist > p.limit; };
  if (std::none_of(pairs.begin(), pairs.end(), apart))
    return enter_row(st, a, b, p, a.ia, b.ia, false, ierr);
  special = true;
  for (const connect::ConformerPair& c : pairs) {
    if (apart(c)) connect::warn_conformers_apart(st.mdoc, p.link, a.ich, b.ich, c, p.ideal);
    else if (!enter_row(st, a, b, p, c.ia, c.ja, true, ierr)) return false;
  }
  return true;
}

// The link into the tables: the input link's row takes the name, a link
// found by distance gets a row of its own; the modifications of both ends
// (none for a special link); the terminal groups of the chain ends the link
// joins.  False, with ierr, when a table is full.
bool record_link(const Stage& st, const Side& a, const Side& b, const Pair& p, int32_t& ierr) {
  bool special = p.input != 0 && link_inf.ln_used(p.input) == "S";
  msgdoc_(st.mdoc, rt::fmt("(A,A8,' is found dist =',F10.3,' ideal_dist=',F10.3)",
                           special ? " WARNING : link(special):" : " WARNING : link:", p.link, p.dist,
                           p.ideal));
  msgdoc_(st.mdoc, "           ch:" + side_text(a) + "->" + side_text(b));
  if (p.input != 0) {
    link_inf.ln_id(p.input) = p.link;
  } else if (!enter_rows(st, a, b, p, special, ierr)) {
    return false;
  }
  if (!special) {
    Name8 blank("");
    put_m_tabl_(st.mdoc, p.mod1, a.ich, a.ir, 0, blank, "Y", ierr);
    if (ierr != 0) return false;
    blank = "";
    put_m_tabl_(st.mdoc, p.mod2, b.ich, b.ir, 0, blank, "Y", ierr);
    if (ierr != 0) return false;
  }
  if (backbone(p.link)) {
    mark_ends(a, b, false);
    mark_ends(b, a, true);
  } else {
    mark_joined_end(a);
    mark_joined_end(b);
  }
  if (sugar_type(a.itype) && sugar_type(b.itype)) ++*st.nsug;
  return true;
}

// A link's atom name against a residue's: the library may spell a
// nucleotide atom the other way ("O3*" for the residue's "O3'").
bool same_link_atom(const Name4& link_atom, const Name4& residue_atom) {
  if (link_atom == residue_atom) return true;
  const auto style = foundation::nucleotide_style(residue_atom.view());
  return Name4(foundation::nucleotide_name_as(link_atom.view(), style)) == residue_atom;
}

// Whether an earlier stage already links atoms a and b: the walk along a
// chain through the connection of the later of two consecutive residues (a
// link whose bond joins these two atoms, in either spelling), or a link row
// this run made.  Such a bond is restrained once, by the link found first.
bool linked_before(const Stage& st, const Side& a, const Side& b) {
  for (const auto& [up, down] : {std::pair{&a, &b}, std::pair{&b, &a}}) {
    if (up->ich != down->ich || resid_inf.ires_forw(up->ir) != down->ir) continue;
    const int code = resid_inf.iconn_type(down->ir);
    if (code < 2 || code > cif_types.n_conn_type) continue;
    const Name8 name = cif_types.conn_type(code);
    if (name == "gap") continue;
    Name4 l1(""), l2("");
    int32_t it = 0;
    get_link_atom_(name, l1, l2, it);
    if (it > 0 && same_link_atom(l1, up->name) && same_link_atom(l2, down->name)) return true;
  }
  const auto& l = link_inf;
  for (int k = st.ln_n_init + 1; k <= l.ln_n; ++k) {
    if (l.ln_id(k) == "gap" || l.ln_id(k)(1) == '?' || !link_in_unit(k)) continue;
    const Name4 n1(l.ln_atom1(k).view().substr(0, 4)), n2(l.ln_atom2(k).view().substr(0, 4));
    const bool direct =
        l.ln_1ires(k) == a.ir && l.ln_2ires(k) == b.ir && n1 == a.name && n2 == b.name;
    const bool reverse =
        l.ln_1ires(k) == b.ir && l.ln_2ires(k) == a.ir && n1 == b.name && n2 == a.name;
    if (direct || reverse) return true;
  }
  return false;
}

// One atom pair of an examined residue pair; false, with ierr, when the
// stage must end.  Consecutive polymer residues are linked by the
// consecutive-residue stage: only their disulphide is looked for here.  After
// a link named by an input link, user returns to 'P' for the next pair.
bool atom_pair(const Stage& st, Side& a, Side& b, char& user, bool consecutive, int32_t& ierr) {
  Pair p;
  if (!bond_limit(a.ia, b.ia, p.limit)) return true;
  // A peptide or phosphodiester bond holds only within the chain's break limit.
  const float polymer = std::max(dictionary::polymer_bond_limit(a.name.view(), b.name.view()),
                                 dictionary::polymer_bond_limit(b.name.view(), a.name.view()));
  if (polymer > 0.0f) p.limit = std::min(p.limit, polymer);
  const bool ss = a.name == "SG" && b.name == "SG" && (a.mon == "CYS" || a.mon == "MPR") &&
                  (b.mon == "CYS" || b.mon == "MPR");
  p.flag = ss ? st.ss_flag : st.lnk_flag;
  if (consecutive && !ss) return true;
  p.sugar = sugar_type(a.itype) || sugar_type(b.itype);
  if (p.sugar) p.flag = st.sugar_flag;
  if (!take_pair(st, a, b, user, p)) return true;
  p.dist = pair_distance(a.ia, b.ia, p.limit);
  if (!(p.dist <= p.limit || user == 'Y')) return true;
  if (user != 'Y' && p.dist < kTooClose) {
    warn_too_close(st, a, b, p.dist);
    return true;
  }
  if (user != 'Y' && linked_before(st, a, b)) return true;
  if (user != 'Y') ask_library(st, a, b, p);
  p.used = user == 'Y' || p.flag != 'N';
  if (!describe_pair(st, a, b, user, p, ierr)) return false;
  if (user != 'Y') correct_anomer(a, b, p);
  if (!p.used) {
    msgdoc_(st.mdoc,
            rt::fmt("(' INFO:     link is found (not be used) dist=',F8.3,' ideal_dist=',F8.3)",
                    p.dist, p.ideal));
    msgdoc_(st.mdoc, "           ch:" + side_text(a) + "->ch:" + side_text(b));
    return true;
  }
  if (!record_link(st, a, b, p, ierr)) return false;
  if (user == 'Y') user = 'P';
  return true;
}

// Consecutive residues whose kinds the consecutive-residue stage links (two
// peptides, two nucleotides, two pyranoses).  Any other consecutive pair,
// such as one with a new monomer, is bonded where its atoms are.
bool polymer_pair(int i, int j) {
  const int a = resid_inf.ires_type(i), b = resid_inf.ires_type(j);
  return (peptide_type(a) && peptide_type(b)) || ((a == 5 || a == 6) && (b == 5 || b == 6)) ||
         (sugar_type(a) && sugar_type(b));
}

// Residue pair (i, j) of chains ich1, ich2; false when the stage must end.
bool residue_pair(const Stage& st, const Visit& v, int32_t& ierr) {
  Side a{v.i, v.ich1, 0, g_mods.name_before(v.i, v.ich1, resid_inf.res_name(v.i)),
         resid_inf.ires_type(v.i), Name4("")};
  Side b{v.j, v.ich2, 0, g_mods.name_before(v.j, v.ich2, resid_inf.res_name(v.j)),
         resid_inf.ires_type(v.j), Name4("")};
  if (water(resid_inf.res_name(v.i)) || water(resid_inf.res_name(v.j)) || water(a.mon) ||
      water(b.mon))
    return true;
  char user = 'N';
  g_inputs.either(v.i, [&](int k) {
    if (user == 'P' || k > st.ln_n_init || link_inf.ln_id(k) == "gap") return;
    const auto& l = link_inf;
    if ((l.ln_1ires(k) == v.i && l.ln_1ichn(k) == v.ich1 && l.ln_2ires(k) == v.j &&
         l.ln_2ichn(k) == v.ich2) ||
        (l.ln_1ires(k) == v.j && l.ln_1ichn(k) == v.ich2 && l.ln_2ires(k) == v.i &&
         l.ln_2ichn(k) == v.ich1))
      user = 'P';
  });
  if (user != 'P') {
    const int t = b.itype;
    const int fj = resid_inf.iratm_first(v.j);
    if (peptide_type(t) && resid_inf.natm_res(v.j) == 1 && atom_inf.atm_name(fj) == "CA")
      return true;
    int32_t iout = 0;
    check_centr_(v.i, v.j, kSphereMargin, iout);
    if (iout == 0 || iout == 3) return true;
  }
  // A consecutive pair of other kinds that the input links name keeps to
  // those links, as every consecutive pair did.
  const bool consecutive =
      v.ich1 == v.ich2 && v.j == resid_inf.ires_forw(v.i) && (polymer_pair(v.i, v.j) || user == 'P');
  const int fi = resid_inf.iratm_first(v.i), fj = resid_inf.iratm_first(v.j);
  for (int ia = fi; ia < fi + resid_inf.natm_res(v.i); ++ia) {
    if (skipped_type(ia)) continue;
    a.ia = ia;
    a.name = atom_inf.atm_name(ia);
    for (int ja = fj; ja < fj + resid_inf.natm_res(v.j); ++ja) {
      if (skipped_type(ja)) continue;
      b.ia = ja;
      b.name = atom_inf.atm_name(ja);
      if (!atom_pair(st, a, b, user, consecutive, ierr)) return false;
    }
  }
  return true;
}

// Residue pairs with two atoms within the widest limit, and the pairs that
// the input links name.
void close_residue_pairs(int ln_n_init, std::vector<std::pair<int32_t, int32_t>>& pairs) {
  pairs.clear();
  int n = 0;
  for (int ir = 1; ir <= resid_inf.n_residue; ++ir) {
    if (water(resid_inf.res_name(ir))) continue;
    const int first = resid_inf.iratm_first(ir);
    for (int ia = first; ia < first + resid_inf.natm_res(ir); ++ia) {
      if (skipped_type(ia) || atom_crd.occup(ia) < 0.0001f || element_class(ia) == 1) continue;
      ++n;
      g_x(n) = atom_crd.xyz_crd(1, ia);
      g_y(n) = atom_crd.xyz_crd(2, ia);
      g_z(n) = atom_crd.xyz_crd(3, ia);
      g_atom(n) = ia;
    }
  }
  const float reach = kLimits[3];
  g_grid.for_each_candidate(n, &g_x(1), &g_y(1), &g_z(1), reach, [&](int p, int q) {
    const int ra = atom_inf.i_resid(g_atom(p)), rb = atom_inf.i_resid(g_atom(q));
    if (ra == rb) return;
    const float dx = g_x(p) - g_x(q), dy = g_y(p) - g_y(q), dz = g_z(p) - g_z(q);
    if (dx * dx + dy * dy + dz * dz > reach * reach * 1.0001f) return;
    pairs.emplace_back(std::min(ra, rb), std::max(ra, rb));
  });
  for (int k = 1; k <= ln_n_init && k <= link_inf.ln_n; ++k) {
    const int ra = link_inf.ln_1ires(k), rb = link_inf.ln_2ires(k);
    if (in_model(ra) && in_model(rb)) pairs.emplace_back(std::min(ra, rb), std::max(ra, rb));
  }
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
}

void trace_head(const Stage& st) {
  rt::write_list(6, "DEF_LINK_NEW: lnk_flag, ss_flag, sugar_flag, ln_n_init:",
                 std::string_view(&st.lnk_flag, 1), std::string_view(&st.ss_flag, 1),
                 std::string_view(&st.sugar_flag, 1), st.ln_n_init);
  const auto& g = asym_part;
  for (int ich1 = 1; ich1 <= g.n_group; ++ich1)
    for (int ich2 = ich1; ich2 <= g.n_group; ++ich2)
      rt::write_list(6, "--ICH1,ICH2,IRS1,IRF1,IRS2,IRF2:", ich1, ich2, g.ires_start_tree(ich1),
                     g.ires_end_tree(ich1), g.ires_start_tree(ich2), g.ires_end_tree(ich2),
                     g.ires_first(ich1), g.nres_chain(ich1), g.ires_first(ich2), g.nres_chain(ich2));
  print_info_test_(st.mdoc);
}

}  // namespace

void def_link_new_(int32_t mdoc, char list, char lnk_flag, char ss_flag, char sugar_flag,
                   int32_t ln_n_init, char& dnew, int32_t& nsug, int32_t& ierr) {
  const Stage st{mdoc, list, lnk_flag, ss_flag, sugar_flag, ln_n_init, &dnew, &nsug};
  if (list == 'T') trace_head(st);
  ierr = 0;
  if (asym_part.n_group <= 0 || atom_inf.n_atom <= 0) {
    ierr = 1;
    return;
  }
  def_center_(mdoc, ierr);
  classify_types();
  g_inputs.build(ln_n_init < link_inf.ln_n ? ln_n_init : link_inf.ln_n);
  g_mods.build();

  // The walks of every chain, and where the first broken walk would stop a
  // walk over every chain pair.
  const int ng = asym_part.n_group;
  for (int ir = 1; ir <= resid_inf.n_residue; ++ir) {
    g_outer_chain(ir) = g_outer_step(ir) = 0;
    g_inner_chain(ir) = g_inner_step(ir) = 0;
  }
  std::tuple<int, int, int, int> stop{ng + 1, 0, 0, 0};
  std::vector<int32_t> outer_len(ng + 1, 0);
  for (int ich = 1; ich <= ng; ++ich) {
    const auto& g = asym_part;
    const Walk outer = walk(g.ires_start_tree(ich), g.ires_first(ich) + g.nres_chain(ich) - 1);
    const Walk inner = walk(g.ires_start_tree(ich), g.ires_end_tree(ich));
    outer_len[ich] = static_cast<int>(outer.res.size());
    for (std::size_t s = 0; s < outer.res.size(); ++s)
      if (g_outer_chain(outer.res[s]) == 0) {
        g_outer_chain(outer.res[s]) = ich;
        g_outer_step(outer.res[s]) = static_cast<int>(s) + 1;
      }
    for (std::size_t s = 0; s < inner.res.size(); ++s)
      if (g_inner_chain(inner.res[s]) == 0) {
        g_inner_chain(inner.res[s]) = ich;
        g_inner_step(inner.res[s]) = static_cast<int>(s) + 1;
      }
    // A broken outer walk stops after its last residue met the chain itself;
    // a broken inner walk stops at its first use, under chain 1's first residue.
    if (outer.broken)
      stop = std::min(stop, std::make_tuple(ich, ich, std::max(outer_len[ich], 0), 1 << 30));
    if (inner.broken) stop = std::min(stop, std::make_tuple(1, ich, 1, 1 << 30));
  }
  const int stop_chain = std::get<0>(stop);
  for (int ich = 1; ich <= ng && ich <= stop_chain; ++ich) {
    const int s = asym_part.ires_start_tree(ich);
    if (in_model(s)) resid_inf.iconn_type(s) = 1;
  }

  static std::vector<std::pair<int32_t, int32_t>> pairs;
  close_residue_pairs(std::min(ln_n_init, link_inf.ln_n), pairs);
  std::vector<Visit> visits;
  visits.reserve(pairs.size());
  auto add = [&](int i, int j) {
    const int c1 = g_outer_chain(i), c2 = g_inner_chain(j);
    if (c1 == 0 || c2 == 0 || c2 < c1 || (c1 == c2 && j <= i)) return;
    visits.push_back({c1, c2, g_outer_step(i), g_inner_step(j), i, j});
  };
  for (const auto& [ra, rb] : pairs) {
    add(ra, rb);
    add(rb, ra);
  }
  std::sort(visits.begin(), visits.end(),
            [](const Visit& x, const Visit& y) { return x.key() < y.key(); });

  for (const Visit& v : visits) {
    if (std::make_tuple(v.ich1, v.ich2, v.step_i, v.step_j) > stop) break;
    if (!residue_pair(st, v, ierr)) return;
  }
  if (stop_chain <= ng) {
    msgerr_(mdoc, " ERROR: wrong tree structure .....");
    ierr = 1;
  }
}

namespace {

// A peptide or chain cap by what identification made of it, or else by its
// name (a cap that the library lacks is described as no polymer).
bool peptide_side(std::string_view mon, int32_t itype) {
  return peptide_type(itype) || peptide_type(pdb::residue_class(mon));
}

}  // namespace

bool connect::peptide_link(std::string_view mon1, std::string_view atom1, int32_t itype1,
                           std::string_view mon2, std::string_view atom2, int32_t itype2,
                           int32_t& ilink, rt::FixedText<8>& mod1, rt::FixedText<8>& mod2,
                           int32_t& irevers, std::string_view link) {
  const std::string_view a1 = rt::trim_right(atom1), a2 = rt::trim_right(atom2);
  const bool bond = (a1 == "C" && a2 == "N") || (a1 == "N" && a2 == "C");
  if (!bond || !peptide_side(mon1, itype1) || !peptide_side(mon2, itype2)) return false;
  // The library describes the proline and N-methyl forms with "PRO" at the
  // nitrogen end, as the walk along a chain looks them up: any residue of
  // those classes (a hydroxyproline) takes the form under that name.
  const std::string_view form = rt::trim_right(link);
  const bool pro_form = form == "PTRANS" || form == "PCIS" || form == "NMTRANS" || form == "NMCIS";
  const Name8 n1 = pro_form && a1 == "N" ? Name8("PRO") : Name8(mon1);
  const Name8 n2 = pro_form && a2 == "N" ? Name8("PRO") : Name8(mon2);
  int32_t il = 0, rev = 0;
  Name8 m1("."), m2(".");
  look_link_(link, n1, atom1, n2, atom2, 3, 3, il, m1, m2, rev);
  if (il < 1) return false;
  ilink = il;
  mod1 = m1;
  mod2 = m2;
  irevers = rev;
  return true;
}
