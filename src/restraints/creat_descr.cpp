// The restraint-generation driver.  The walk keeps one residue of lag: the
// residue just described stays in C2/L2 and is rebuilt and written only when
// the next residue has been read, so that its rebuild sees the next
// residue's atoms.
#include "restraints/creat_descr.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "coords/read_atoms.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_to_work.h"
#include "dictionary/link_lookup.h"
#include "dictionary/modif.h"
#include "dictionary/work_copies.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/hooks.h"
#include "foundation/messages.h"
#include "identify/info_trace.h"
#include "output/atom_str.h"
#include "output/cif_out_atoms.h"
#include "output/str_read.h"
#include "output/str_write.h"
#include "restraints/atom_check.h"
#include "restraints/coord_output.h"
#include "restraints/end_torsions.h"
#include "restraints/ideal_hand.h"
#include "restraints/link_replaced.h"
#include "restraints/link_restraints.h"
#include "restraints/link_tree.h"
#include "restraints/rebuild_tree.h"
#include "restraints/res_restraints.h"
#include "restraints/residue_links.h"
#include "restraints/residue_tree.h"
#include "restraints/residue_work.h"
#include "restraints/rst_file.h"
#include "restraints/second_rebuild.h"
#include "restraints/symm_links.h"
#include "restraints/uncovered_atoms.h"
#include "runtime/units.h"

namespace {

// Counters and the kept residue of one call.
struct Walk {
  int32_t ipr_miss = 0, ipr_abs = 0, ipr_del = 0;
  int32_t na_miss = 0, na_abs = 0, na_del = 0;
  int32_t na_rebld = 0, nadd = 0, na_abs_final = 0;
  int32_t na_miss_final = 0, na_del_final = 0, na_rebld_new = 0;
  int32_t n_link_spec = 0, n_link_symm = 0;
  int32_t ig_old = 0, ir_old = 0, ias_old = 0, iaf_old = 0;
  char ch_flag = 'Y', ch_flag_old = '?';
  bool failed = false;
  // The failures, the first three named in the line that closes the run.
  int32_t n_failed = 0;
  std::string why;
  void fail(const std::string& reason) {
    failed = true;
    if (++n_failed <= 3) why += (n_failed > 1 ? "; " : "") + reason;
  }
  std::string failures() const {
    return n_failed > 3 ? why + "; and " + std::to_string(n_failed - 3) + " more" : why;
  }
};

// A residue as the messages name it: "SER 20 A".
std::string residue_named(int32_t ir) {
  if (ir < 1 || ir > resid_inf.n_residue) return "?";
  const rt::FixedText<12>& num = resid_inf.res_num_pdb(ir);
  std::string s(resid_inf.res_name(ir).trimmed());
  for (std::string_view part : {num.sub(3, 7), num.sub(8, 11)}) {
    const std::size_t a = part.find_first_not_of(' ');
    if (a == std::string_view::npos) continue;
    s.append(" ").append(rt::trim_right(part.substr(a)));
  }
  return s;
}

std::string link_named(int32_t i) {
  const link_inf_t& l = link_inf;
  return "link " + std::string(l.ln_id(i).trimmed()) + " between " + residue_named(l.ln_1ires(i)) +
         " and " + residue_named(l.ln_2ires(i));
}

// Atoms of residue ias..ias+na-1 that the model has: an atom a coordinate
// file of an earlier run lists as missing ('M', placed at the origin) is
// still missing, so a residue that had one atom gets no block of its own in
// the next run either.
int32_t atoms_present(int32_t ias, int32_t na) {
  int32_t n = 0;
  for (int32_t ia = ias; ia < ias + na; ++ia) n += atom_inf.atm_type(ia)(1) != 'M';
  return n;
}

struct Codes {
  int32_t mdoc;
  int32_t md;
  int32_t m;
};

std::string line_i8(std::string_view label, int32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%8d", v);
  return std::string(label) + buf;
}

// The connection code of residue ir in chain ig as the walk sees it: a
// branch of a tree-shaped chain is a "gap"-free branch link (10), a chain of
// one residue has none.
int32_t connection_of(int32_t ig, int32_t ir) {
  int32_t iconn = resid_inf.iconn_type(ir);
  const int32_t irb = resid_inf.ires_back(ir);
  if (asym_part.ich_type(ig) == 7 && irb > 0 && resid_inf.ires_forw(irb) != ir) iconn = 10;
  if (asym_part.nres_chain(ig) < 2) iconn = 1;
  return iconn;
}

rt::FixedText<8> connection_name(int32_t iconn) {
  if (iconn > 1 && iconn <= cif_types.n_conn_type) return cif_types.conn_type(iconn);
  return rt::FixedText<8>("");
}

// The library monomer of residue ir (the standard monomer when the residue
// carries a modification's new name) copied into L1.
void fetch_monomer(int32_t code_plain, int32_t code_other, int32_t ig, int32_t ir, int32_t& ierr) {
  const mod_inf_t& m = mod_inf;
  rt::FixedText<8> mon = resid_inf.res_name(ir);
  for (int i = 1; i <= m.mod_n; ++i) {
    if (m.mod_ires(i) != ir || m.mod_ichn(i) != ig) continue;
    if (m.mod_rnam_new(i) == "." || m.mod_rnam_new(i) == "" || m.mod_rnam(i) == ".") continue;
    if (!(m.mod_rnam_new(i) == mon)) continue;
    rt::FixedText<8> standard = m.mod_rnam(i);
    cp_mlib_(code_other, standard, ierr);
    return;
  }
  cp_mlib_(code_plain, mon, ierr);
}

// Terminal and residue modifications of residue ir applied to L1.  A
// modification the library lacks is passed over with its warning; the
// RENAME rows of identification and of the sugar names record a residue's
// other name and are no modification, so they are not looked up; a failure
// ends the driver, except that a failing terminal modification of a link
// partner only skips the link.
enum class ModResult { Ok, SkipLink, Return };

ModResult apply_modifications(int32_t md, int32_t ig, int32_t ir, bool link_partner, int32_t& ierr) {
  const asym_part_t& a = asym_part;
  const int32_t its = a.iterm_s_type(ig);
  const int32_t itf = a.iterm_f_type(ig);
  for (int end = 0; end < 2; ++end) {
    const bool at_end = end == 0 ? ir == a.ires_start_tree(ig) : ir == a.ires_end_tree(ig);
    const int32_t t = end == 0 ? its : itf;
    const int32_t n = end == 0 ? cif_types.n_sterm_type : cif_types.n_fterm_type;
    if (!at_end || t <= 1 || t > n) continue;
    modif_(md, end == 0 ? cif_types.term_s_type(t).view() : cif_types.term_f_type(t).view(), ierr);
    if (ierr == 0) continue;
    return link_partner ? ModResult::SkipLink : ModResult::Return;
  }
  const mod_inf_t& m = mod_inf;
  for (int i = 1; i <= m.mod_n; ++i) {
    if (m.mod_ires(i) != ir || m.mod_ichn(i) != ig || m.mod_id(i) == "RENAME") continue;
    modif_(md, m.mod_id(i).view(), ierr);
    if (ierr != 0) return ModResult::Return;
  }
  return ModResult::Ok;
}

// Atoms of the residue in C1 and model atoms ias..iaf that the output
// controllers write after its tree atoms: C1 atoms absent from the library
// or deleted from it, and model atoms never gathered.
int32_t atoms_written_after_tree(int32_t ias, int32_t iaf) {
  const r_scratch_t& r = r_scratch;
  int32_t n = 0;
  for (int k = 1; k <= r.c1_natom; ++k)
    if (r.c1_atype(k) == "U" || (r.c1_atype(k) == "D" && r.s1_ilib(k) != 0)) ++n;
  for (int32_t ia = ias; ia <= iaf; ++ia) {
    const char t = atom_inf.atm_type(ia)(1);
    if (t == 'U' || t == 'D' || t == 'N') ++n;
  }
  return n;
}

// The read-back of the written coordinates replaces the link table with the
// file's connection rows, and those carry no mark of a link whose library
// description this run made: without the mark carried over, such links
// would never be described.  A link is known again by what the file keeps
// of each end: chain, residue number, atom, alternate and symmetry code;
// it takes back the name under which the library holds it, which the file
// may not keep whole (a name with leading blanks reads back without them).
class SpecialMarks {
 public:
  void remember() {
    n_ = 0;
    const link_inf_t& l = link_inf;
    for (int32_t i = 1; i <= l.ln_n && n_ < MAXLINK; ++i)
      if (l.ln_used(i) == "S" && key_of(i, keys_(n_ + 1))) {
        ++n_;
        names_(n_) = l.ln_id(i);
      }
  }
  void restore() {
    link_inf_t& l = link_inf;
    for (int32_t k = 1; k <= n_; ++k) taken_(k) = false;
    for (int32_t i = 1; i <= l.ln_n; ++i) {
      Key row;
      if (l.ln_used(i) == "S" || !(l.ln_ent(i) == "C") || !key_of(i, row)) continue;
      for (int32_t k = 1; k <= n_; ++k)
        if (!taken_(k) && keys_(k) == row) {
          taken_(k) = true;
          l.ln_used(i) = "S";
          l.ln_id(i) = names_(k);
          break;
        }
    }
  }

 private:
  struct End {
    rt::FixedText<4> chain, atom;
    rt::FixedText<5> number;
    rt::FixedText<1> alt;
    rt::FixedText<8> symm;
    bool operator==(const End& o) const {
      return chain == o.chain && atom == o.atom && number == o.number && alt == o.alt &&
             symm == o.symm;
    }
  };
  struct Key {
    End e1, e2;
    bool operator==(const Key& o) const { return e1 == o.e1 && e2 == o.e2; }
  };
  static bool end_of(int32_t ig, int32_t ir, const rt::FixedText<5>& atom,
                     const rt::FixedText<1>& alt, const rt::FixedText<8>& symm, End& e) {
    if (ig < 1 || ig > asym_part.n_group || ir < 1 || ir > resid_inf.n_residue) return false;
    e.chain = asym_part.group_id(ig);
    e.number = std::as_const(resid_inf.res_num_pdb(ir)).sub(3, 7);
    // As the file writes them: a blank text becomes ".".
    const auto written = [](std::string_view t) {
      return rt::len_trim(t) == 0 ? std::string_view(".") : t;
    };
    e.atom = written(atom.view().substr(0, 4));
    e.alt = written(alt.view());
    e.symm = written(symm.view());
    return true;
  }
  static bool key_of(int32_t i, Key& k) {
    const link_inf_t& l = link_inf;
    return end_of(l.ln_1ichn(i), l.ln_1ires(i), l.ln_atom1(i), l.ln_alt1(i), l.ln_symm1(i), k.e1) &&
           end_of(l.ln_2ichn(i), l.ln_2ires(i), l.ln_atom2(i), l.ln_alt2(i), l.ln_symm2(i), k.e2);
  }
  static inline rt::Array1<Key, MAXLINK> keys_;
  static inline rt::Array1<rt::FixedText<8>, MAXLINK> names_;
  static inline rt::Array1<bool, MAXLINK> taken_;
  int32_t n_ = 0;
};

// Where a residue of the walk stands in its chain and which model atoms
// are its own.
struct Place {
  int32_t irs_tree = 0, irf_tree = 0;  // the chain's tree start and end
  int32_t ir1 = 0;                     // the back neighbour
  int32_t na = 0, ias = 0, iaf = 0;    // atom count, first and last model atom
  rt::FixedText<8> mon;
  int32_t iconn = 0;
  rt::FixedText<8> link;  // the connection's name, blank for none
};

// What a step leaves a residue of the walk to: go on, be dropped (the
// failure flag set and the walk on to the next residue), or stop the
// driver with ierr.
enum class Next { Go, Drop, Stop };

// The position flag of a residue; later rules override earlier ones.  The
// tree end of a longer chain keeps 'Y'.
char position_flag(int32_t ir, const Place& p) {
  char f = 'Y';
  if (ir == p.irs_tree) f = 'S';
  if (ir == p.irs_tree && ir == p.irf_tree) f = 'M';
  if (p.link == "gap") f = 'G';
  if (p.mon == "HOH" || p.mon == "DUM") f = 'M';
  return f;
}

// Every link named `link` from residue ir's back neighbour ir1 to ir of
// chain ig marked as described by the walk; special links keep their mark.
// A row the other way round joins other atoms (the C of ir to the N of ir1,
// closing a ring of two residues) and is described on its own.
void mark_walked(const rt::FixedText<8>& link, int32_t ig, int32_t ir, int32_t ir1) {
  link_inf_t& l = link_inf;
  restraints::residue_links().either(ir, [&](int32_t i) {
    if (!(l.ln_id(i) == link) || l.ln_1ichn(i) != ig || l.ln_2ichn(i) != ig || l.ln_used(i) == "S")
      return;
    if (l.ln_1ires(i) == ir1 && l.ln_2ires(i) == ir) l.ln_used(i) = "Y";
  });
}

class Driver {
 public:
  Driver(Codes c, char list, char restr_flag, char h_flag, char rflag)
      : c_(c), list_(list), restr_(restr_flag), h_flag_(h_flag), rflag_(rflag) {}

  // The walk over every chain; false when the driver must return with ierr.
  bool walk(int32_t& ierr);
  // Finishing the last kept residue.
  bool finish_walk(int32_t& ierr);
  // Links not described in the walk; `special` selects the rows marked "S".
  bool link_pass(bool special, int32_t& ierr);
  bool read_back();
  bool second_rebuild(int32_t& ierr, bool& go_summary);
  void summary() const;

  Walk w;

 private:
  // Residue ir of chain ig described, its kept predecessor finished and
  // itself kept; false when the driver must return with ierr.  A residue
  // that cannot be described is dropped with the failure flag set.
  bool residue(int32_t ig, int32_t ir, int32_t& ierr);
  // Its steps, in order.  locate and write_restraints give false, with
  // ierr, when the driver must return; the steps returning nothing only set
  // the failure flag and let the residue go on.
  // The residue's place in its chain's tree and its atoms; false, with the
  // message and ierr 1, when the tree or the residue table is broken.
  bool locate(int32_t ig, int32_t ir, Place& p, int32_t& ierr) const;
  // C1 gathered from the model and L1 from the library with the residue's
  // modifications.  A residue that cannot be gathered, or whose monomer the
  // library lacks, is dropped; any other failure of the library copy or of
  // a modification stops the driver.
  Next gather(int32_t ig, int32_t ir, const Place& p, int32_t& ierr);
  // The residue's atoms checked against L1; false drops the residue.
  bool atoms_match(const Place& p);
  void build_residue_tree(int32_t ir, const Place& p);
  // The tree continued across the named connection to the back neighbour
  // and that link's restraints written.
  void describe_back_link(int32_t ig, int32_t ir, const Place& p);
  bool write_restraints(int32_t ig, int32_t ir, const Place& p, int32_t& ierr);
  // The residue becomes the kept one: into C2/L2, with the serial base of
  // the next residue advanced past its atoms.
  void keep(int32_t ig, int32_t ir, const Place& p);
  bool finish_kept(int32_t ir, int32_t irs_tree, int32_t irf_tree, int32_t& ierr);
  bool partner(int which, int32_t link, int32_t ig, int32_t ires, int32_t& ierr, bool& skip);
  bool describe_link(int32_t i, int32_t lid, int32_t& ierr);
  void trace(const std::string& s) const {
    if (list_ == 'T') {
      std::fputs(s.c_str(), stdout);
      std::fputc('\n', stdout);
    }
  }

  Codes c_;
  char list_, restr_, h_flag_, rflag_;
  int32_t last_ir_ = 0, last_irs_ = 0, last_irf_ = 0;
  // Residues the walk dropped, in walk order: they have no atoms in the
  // written files, so no link reaches them.
  std::vector<int32_t> dropped_;
};

bool Driver::finish_kept(int32_t ir, int32_t irs_tree, int32_t irf_tree, int32_t& ierr) {
  // Nothing was kept yet when the first residue of the run was skipped.
  if (w.ir_old < 1) return true;
  int32_t jerr = 0;
  trace(" clc-l-th");
  calc_l_th_phi_(c_.md, w.ch_flag, w.ch_flag_old, ir, irs_tree, irf_tree, jerr);
  trace(" reb-l-th");
  jerr = 0;
  rebuild_(c_.md, list_, w.ch_flag, w.ch_flag_old, ir, irs_tree, irf_tree, h_flag_, rflag_, w.na_rebld, jerr);
  wrt_ccrd2_("WRIT", c_.mdoc, atom_inf.n_aniso, ierr);
  if (ierr != 0) return false;
  wrt_str_("WRIT", c_.mdoc, ierr);
  if (ierr != 0) return false;
  copy2_u_atoms_(c_.md, w.ig_old, w.ir_old, w.ias_old, w.iaf_old, ierr);
  return ierr == 0;
}

bool Driver::locate(int32_t ig, int32_t ir, Place& p, int32_t& ierr) const {
  const asym_part_t& a = asym_part;
  p.irs_tree = a.ires_start_tree(ig);
  p.irf_tree = a.ires_end_tree(ig);
  const int32_t ir_first = a.ires_first(ig);
  const int32_t ir_last = ir_first + a.nres_chain(ig) - 1;
  p.ir1 = resid_inf.ires_back(ir);
  if (ir != p.irs_tree && (p.ir1 < 1 || p.ir1 > ir_last || p.ir1 < ir_first)) {
    msgerr_(c_.mdoc, " ERROR: wrong tree structure ....");
    ierr = 1;
    return false;
  }
  p.na = resid_inf.natm_res(ir);
  p.ias = resid_inf.iratm_first(ir);
  if (p.na < 1 || p.ias < 1) {
    msgerr_(c_.mdoc, " ERROR: N-atoms = 0");
    ierr = 1;
    return false;
  }
  p.iaf = p.ias + p.na - 1;
  p.mon = resid_inf.res_name(ir);
  p.iconn = connection_of(ig, ir);
  p.link = connection_name(p.iconn);
  return true;
}

Next Driver::gather(int32_t ig, int32_t ir, const Place& p, int32_t& ierr) {
  int32_t jerr = 0;
  get_monom_(c_.md, list_, ig, ir, p.ias, p.iaf, jerr);
  if (jerr != 0) {
    msgdoc_(c_.mdoc, " ERROR: in subroutine GET_MONOM");
    return Next::Drop;
  }
  fetch_monomer(c_.mdoc, c_.md, ig, ir, ierr);
  // Status 2: the library has no such monomer.
  if (ierr == 2) {
    ierr = 0;
    return Next::Drop;
  }
  if (ierr != 0) return Next::Stop;
  switch (apply_modifications(c_.md, ig, ir, false, ierr)) {
    case ModResult::Return:
      return Next::Stop;
    case ModResult::SkipLink:
      w.fail("a modification of " + residue_named(ir) + " could not be applied");
      break;
    case ModResult::Ok:
      break;
  }
  restraints::drop_link_replaced_atoms(c_.mdoc, ig, ir, true);
  restraints::drop_free_end_phosphate(ig, ir);
  return Next::Go;
}

bool Driver::atoms_match(const Place& p) {
  trace("--- chklst---: " + std::string(p.mon.view()) + " " + w.ch_flag);
  int32_t jerr = 0;
  chklst_(c_.mdoc, p.mon.view(), w.ipr_miss, w.ipr_abs, w.ipr_del, w.na_miss, w.na_abs, w.na_del,
          'Y', list_, jerr);
  return jerr == 0;
}

void Driver::build_residue_tree(int32_t ir, const Place& p) {
  if (p.na < 2 && r_scratch.c1_natom < 1) return;
  trace(" def_dist-th");
  int32_t jerr = 0;
  def_dist_th_ph_(c_.md, list_, w.ch_flag, jerr);
  if (jerr != 0) w.fail("the atom tree of " + residue_named(ir) + " could not be built");
}

void Driver::describe_back_link(int32_t ig, int32_t ir, const Place& p) {
  if (p.iconn <= 1 || p.iconn > cif_types.n_conn_type) return;
  trace(" def_dist-th_l");
  int32_t jerr = 0;
  def_dist_th_ph_link_(c_.md, p.link.view(), 0, 'Y', jerr);
  if (jerr != 0)
    w.fail("the tree could not follow link " + std::string(p.link.trimmed()) + " to " +
           residue_named(ir));
  mark_walked(p.link, ig, ir, p.ir1);
  if (restr_ == 'A' && p.ir1 > 0 && ir > 0) {
    trace(" descr_ln");
    jerr = 0;
    dscr_links_(c_.md, list_, p.link.view(), 0, 'Y', ig, p.ir1, ig, ir, jerr);
    if (jerr != 0)
      w.fail("link " + std::string(p.link.trimmed()) + " to " + residue_named(ir) +
             " is not described");
  }
}

bool Driver::write_restraints(int32_t ig, int32_t ir, const Place& p, int32_t& ierr) {
  if (atoms_present(p.ias, p.na) < 2 || restr_ != 'A') return true;
  trace(" wrt_rst");
  wrt_rst_("WRIT", c_.mdoc, ierr);
  if (ierr != 0) return false;
  trace(" make_rst");
  make_rest_(c_.md, ig, ir, ierr);
  return ierr == 0;
}

void Driver::keep(int32_t ig, int32_t ir, const Place& p) {
  w.ig_old = ig;
  w.ir_old = ir;
  w.ias_old = p.ias;
  w.iaf_old = p.iaf;
  resid_inf.ires_global(ir) = r_scratch.c1_iglobal;
  w.ch_flag_old = w.ch_flag;
  // The statuses of the count and of the copies are not examined: C1 and
  // L1 were filled by this residue's own steps.
  int32_t jerr = 0;
  add_u_atoms_(c_.md, ig, ir, p.ias, p.iaf, w.nadd, h_flag_, jerr);
  copyc2_(c_.md, jerr);
  copyl2_(c_.md, jerr);
  w.na_abs_final += w.nadd;
  // The serials of the next residue start after every atom this one will
  // write behind its tree atoms, hydrogens included: the unknown-atom count
  // leaves hydrogens out, and a base advanced by it alone would hand their
  // serials to the next residue's atoms.
  r_scratch.c1_iglobal += r_scratch.c1_igatm + atoms_written_after_tree(p.ias, p.iaf);
}

bool Driver::residue(int32_t ig, int32_t ir, int32_t& ierr) {
  Place p;
  if (!locate(ig, ir, p, ierr)) return false;
  switch (gather(ig, ir, p, ierr)) {
    case Next::Stop:
      return false;
    case Next::Drop:
      w.fail(residue_named(ir) + " has no description");
      dropped_.push_back(ir);
      return true;
    case Next::Go:
      break;
  }
  if (ir != p.irs_tree && std::find(dropped_.begin(), dropped_.end(), p.ir1) != dropped_.end()) {
    // The back neighbour was dropped: the kept residue in C2 is another one,
    // and a link to it would name atoms of residues the link does not join.
    // The residue starts a fragment after a gap, with no bond back.
    p.iconn = 1;
    p.link = "gap";
  }
  w.ch_flag = position_flag(ir, p);
  if (asym_part.ich_type(ig) == 7) {
    // A sugar chain's tree re-rooted at the atoms that link this residue;
    // the status is not examined.
    int32_t jerr = 0;
    change_tree_sugar_(c_.md, ig, ir, jerr);
  }
  if (!atoms_match(p)) {
    w.fail("the atoms of " + residue_named(ir) + " could not be ordered by its monomer");
    dropped_.push_back(ir);
    return true;
  }
  build_residue_tree(ir, p);
  describe_back_link(ig, ir, p);
  if (!write_restraints(ig, ir, p, ierr)) return false;
  // The first residue of the run has no kept predecessor to finish.
  if (!(ig == 1 && ir == p.irs_tree) && !finish_kept(ir, p.irs_tree, p.irf_tree, ierr))
    return false;
  keep(ig, ir, p);
  return true;
}

bool Driver::walk(int32_t& ierr) {
  const asym_part_t& a = asym_part;
  for (int32_t ig = 1; ig <= a.n_group; ++ig) {
    const int32_t nr = a.nres_chain(ig);
    const int32_t ir_first = a.ires_first(ig);
    const int32_t irs_tree = a.ires_start_tree(ig);
    const int32_t irf_tree = a.ires_end_tree(ig);
    if (nr < 1 || ir_first < 1) {
      msgerr_(c_.mdoc, " ERROR: N-residues = 0");
      ierr = 1;
      return false;
    }
    if (irs_tree < 1) {
      msgerr_(c_.mdoc, " ERROR: wrong tree structure ...");
      ierr = 1;
      return false;
    }
    if (irf_tree < 1) {
      msgerr_(c_.mdoc, " ERROR: wrong tree structure .");
      ierr = 1;
      return false;
    }
    const int32_t ir_last = ir_first + nr - 1;
    int32_t ir = irs_tree;
    // A tree whose forward pointers loop would walk for ever: no chain has
    // more steps than residues, and one that runs out of them never reached
    // its tree end.
    bool reached_end = false;
    for (int32_t step = 0; step < nr && !reached_end; ++step) {
      if (!residue(ig, ir, ierr)) return false;
      last_ir_ = ir;
      last_irs_ = irs_tree;
      last_irf_ = irf_tree;
      ierr = 0;
      if (ir == irf_tree) {
        reached_end = true;
        break;
      }
      ir = resid_inf.ires_forw(ir);
      if (ir < 1 || ir < ir_first || ir > ir_last) {
        msgerr_(c_.mdoc, " ERROR: wrong tree structure .....");
        ierr = 1;
        return false;
      }
    }
    if (!reached_end) {
      msgerr_(c_.mdoc, " ERROR: wrong tree structure .....");
      ierr = 1;
      return false;
    }
  }
  return true;
}

bool Driver::finish_walk(int32_t& ierr) {
  w.ch_flag = 'M';
  if (!finish_kept(last_ir_, last_irs_, last_irf_, ierr)) return false;
  w.na_miss_final = w.na_miss;
  w.na_del_final = w.na_del;
  return true;
}

bool Driver::partner(int which, int32_t link, int32_t ig, int32_t ires, int32_t& ierr, bool& skip) {
  const asym_part_t& a = asym_part;
  const auto fail = [&] { w.fail(link_named(link) + " is not described"); };
  if (ig < 1 || ig > a.n_group || a.nres_chain(ig) < 1 || a.ires_first(ig) < 1) {
    if (which == 1) {
      msgdoc_(c_.mdoc, " ERROR:  N-residues  = 0.");
    } else {
      msgerr_(c_.mdoc, " ERROR : N-residues = 0");
      fail();
    }
    skip = true;
    return true;
  }
  const int32_t na = ires >= 1 ? resid_inf.natm_res(ires) : 0;
  const int32_t ias = ires >= 1 ? resid_inf.iratm_first(ires) : 0;
  if (na < 1 || ias < 1) {
    if (which == 1)
      msgdoc_(c_.mdoc, " ERROR: N-atoms= 0");
    else
      msgerr_(c_.mdoc, " ERROR :N-atoms = 0");
    fail();
    skip = true;
    return true;
  }
  int32_t jerr = 0;
  get_monom_(c_.md, list_, ig, ires, ias, ias + na - 1, jerr);
  if (jerr != 0) {
    msgerr_(c_.mdoc, which == 1 ? " ERROR: in subroutine GET_MONOM." : " ERROR: in subroutine GET_MONOM..");
    fail();
    skip = true;
    return true;
  }
  jerr = 0;
  fetch_monomer(c_.md, c_.md, ig, ires, jerr);
  if (jerr != 0) {
    fail();
    skip = true;
    return true;
  }
  switch (apply_modifications(c_.md, ig, ires, true, jerr)) {
    case ModResult::Return:
      ierr = jerr;
      return false;
    case ModResult::SkipLink:
      fail();
      skip = true;
      return true;
    case ModResult::Ok:
      break;
  }
  restraints::drop_link_replaced_atoms(c_.md, ig, ires, false);
  restraints::drop_free_end_phosphate(ig, ires);
  chklst_(c_.md, resid_inf.res_name(ires).view(), w.ipr_miss, w.ipr_abs, w.ipr_del, w.na_miss, w.na_abs,
          w.na_del, 'N', list_, jerr);
  if (jerr != 0) {
    fail();
    skip = true;
    return true;
  }
  r_scratch.c1_iglobal = resid_inf.ires_global(ires);
  if (which == 1) copyc2_(c_.md, jerr);
  return true;
}

bool Driver::describe_link(int32_t i, int32_t lid, int32_t& ierr) {
  const link_inf_t& l = link_inf;
  const int32_t ig1 = l.ln_1ichn(i), ig2 = l.ln_2ichn(i);
  const int32_t ires1 = l.ln_1ires(i), ires2 = l.ln_2ires(i);
  for (const int32_t ir : dropped_)
    if (ir == ires1 || ir == ires2) return true;
  bool skip = false;
  if (!partner(1, i, ig1, ires1, ierr, skip)) return false;
  if (skip) return true;
  if (!partner(2, i, ig2, ires2, ierr, skip)) return false;
  if (skip) return true;
  if (restr_ == 'A' && ires1 > 0 && ires2 > 0) {
    int32_t jerr = 0;
    dscr_links_(c_.md, list_, l.ln_id(i).view(), lid, 'N', ig1, ires1, ig2, ires2, jerr, i);
    if (jerr != 0) w.fail(link_named(i) + " is not described");
  }
  return true;
}

bool Driver::link_pass(bool special, int32_t& ierr) {
  for (int32_t i = 1; i <= link_inf.ln_n; ++i) {
    const link_inf_t& l = link_inf;
    const bool ident = link_in_unit(i);
    if (!special) {
      if (l.ln_used(i) == "S") {
        ++w.n_link_spec;
        if (!ident) ++w.n_link_symm;
        continue;
      }
      if (l.ln_used(i) == "Y") continue;
      if (!ident) {
        ++w.n_link_symm;
        continue;
      }
    } else if (!(l.ln_used(i) == "S") || !ident) {
      continue;
    }
    int32_t ilink = 0;
    look_link_list_(l.ln_id(i).view(), ilink);
    if (ilink <= 0 || l.ln_id(i) == "gap") continue;
    if (special) trace(">> special link: " + std::to_string(i));
    if (!describe_link(i, special ? i : 0, ierr)) return false;
  }
  return true;
}

bool Driver::read_back() {
  int32_t jerr = 1;
  trace(">> rd atom");
  static const float no_cell[6] = {};
  SpecialMarks special;
  special.remember();
  read_atoms_(c_.m, rt::FixedText<256>("").view(), crdinf.crro_file.view(), rt::FixedText<256>("crd").view(), 0,
              no_cell, jerr);
  if (jerr >= 7) jerr = 0;
  if (jerr != 0) return false;
  special.restore();
  // The table now holds the file's rows: the rows by residue are built anew.
  restraints::hold_residue_links();
  if (list_ == 'T') {
    int32_t terr = 0;
    write_atoms_(c_.m, rt::FixedText<256>("").view(), rt::FixedText<256>("new_test5").view(),
                 rt::FixedText<256>("crd").view(), terr);
  }
  trace(">> rd str");
  output::clear_atom_str(atom_inf.n_atom);
  rt::FixedText<256> path("");
  read_str_(c_.m, path.ref(), crdinf.crso_file.view(), rt::FixedText<256>("str").view(), jerr);
  return jerr == 0;
}

bool Driver::second_rebuild(int32_t& ierr, bool& go_summary) {
  if (!((w.na_rebld > 0 || w.na_miss_final > 0) && (h_flag_ == 'A' || rflag_ == 'Y'))) return true;
  w.na_rebld_new = 0;
  w.na_miss = 0;
  trace(">> CHECK_REBUILD");
  int32_t jerr = 0;
  check_rebuild_(c_.mdoc, list_, h_flag_, rflag_, w.na_miss, w.na_rebld_new, jerr);
  const rt::FixedText<256> blank("");
  if (w.na_rebld_new > 0) {
    w.na_miss_final -= w.na_miss;
    if (w.na_miss_final < 0) w.na_miss_final = 0;
    w.na_rebld += w.na_miss;
    ierr = 0;
    write_atoms_(c_.m, blank.view(), crdinf.crro_file.view(), rt::FixedText<256>("crd").view(), ierr);
    if (ierr != 0) return false;
  }
  jerr = 0;
  write_str_(c_.m, blank.view(), crdinf.crso_file.view(), rt::FixedText<256>("str").view(), jerr);
  if (jerr != 0) {
    w.fail("the structure file could not be written again");
    go_summary = true;
  }
  return true;
}

void Driver::summary() const {
  const int32_t md = c_.mdoc;
  msgdoc_(md, line_i8(" Number of chains                  :", asym_part.n_group));
  msgdoc_(md, line_i8(" Total number of monomers          :", resid_inf.n_residue));
  msgdoc_(md, line_i8(" Number of atoms                   :", atom_inf.n_atom));
  msgdoc_(md, line_i8(" Number of missing atoms           :", w.na_miss_final));
  msgdoc_(md, line_i8(" Number of rebuilt atoms           :", w.na_rebld));
  msgdoc_(md, line_i8(" Number of unknown atoms           :", w.na_abs_final));
  msgdoc_(md, line_i8(" Number of deleted atoms           :", w.na_del_final));
  if (restr_ != 'A') return;
  msgdoc_(md, "");
  msgdoc_(md, line_i8(" Number of bonds restraints    :", crdrst.rs_nbond));
  msgdoc_(md, line_i8(" Number of angles restraints   :", crdrst.rs_nangl));
  msgdoc_(md, line_i8(" Number of torsions restraints :", crdrst.rs_ntors));
  msgdoc_(md, line_i8(" Number of chiralities         :", crdrst.rs_nchir));
  msgdoc_(md, line_i8(" Number of planar groups       :", crdrst.rs_nplan));
  if (crdrsv.rsv_nvdw > 0) msgdoc_(md, line_i8(" Number of VDW_contacts        :", crdrsv.rsv_nvdw));
  if (crdrst.rs_nbnds > 0) msgdoc_(md, line_i8(" Number of symm_links          :", crdrst.rs_nbnds));
  if (crdrsv.rsv_nhb > 0) msgdoc_(md, line_i8(" Number of H_bonds             :", crdrsv.rsv_nhb));
}

// Atoms of an occupancy of 0.001 or less take part in no restraint, but the
// files still carry them: a model whose occupancies are all 0 (some
// programs write -99 for "not refined") would give empty restraints in a
// run that looks whole.  Atoms an earlier run listed as missing are left
// out for that, not for their occupancy.
void warn_unoccupied(int32_t mdoc) {
  constexpr float kMinOccupancy = 0.001f;
  int32_t n = 0;
  for (int32_t ia = 1; ia <= atom_inf.n_atom; ++ia)
    if (atom_inf.atm_type(ia)(1) != 'M' && !(atom_crd.occup(ia) > kMinOccupancy)) ++n;
  if (n > 0)
    msgdoc_(mdoc, " WARNING : " + std::to_string(n) +
                      " atoms of occupancy 0.001 or less are left out of the restraints");
}

// Hydrogens whose names the library monomer lacks are written where they
// stand but no restraint holds them; they are not unknown atoms, so the run
// may end whole: one line counts them and names the first.
void warn_unnamed_hydrogens(int32_t mdoc) {
  const restraints::UnnamedAtoms& h = restraints::unnamed_hydrogens();
  if (h.count() == 0) return;
  const bool one = h.count() == 1;
  msgdoc_(mdoc, " WARNING : " + std::to_string(h.count()) +
                    (one ? " hydrogen that the library does not name is"
                         : " hydrogens that the library does not name are") +
                    " kept without restraints: " + h.listed());
}

// Hydrogens renamed to the library's names are written under the new names:
// one line counts them and names the first with the name each had.
void warn_renamed_hydrogens(int32_t mdoc) {
  const restraints::UnnamedAtoms& r = restraints::renamed_hydrogens();
  if (r.count() == 0) return;
  msgdoc_(mdoc, " WARNING : " + std::to_string(r.count()) +
                    (r.count() == 1 ? " hydrogen of an older name takes"
                                    : " hydrogens of older names take") +
                    " the library's: " + r.listed());
}

void title_block(int32_t mdoc) {
  const std::string hyphens = " " + std::string(32, '-');
  msgdoc_(mdoc, hyphens);
  msgdoc_(mdoc, " --- title of input coord file ---");
  msgdoc_(mdoc, "");
  msgdoc_(mdoc, " PDB_code:" + std::string(crdinf.cr_cd_pdb.view()));
  const int32_t ln = std::min(crdinf.cr_name_pdb.len_trim(), 68);
  msgdoc_(mdoc, " PDB_name:" + std::string(crdinf.cr_name_pdb.view().substr(0, ln)));
  msgdoc_(mdoc, " PDB_date:" + std::string(crdinf.cr_date_pdb.trimmed()));
  msgdoc_(mdoc, hyphens);
}

}  // namespace

namespace {

// The three files the generator writes, named as their controllers opened
// them; a file not closed by its "STOP" at the end of a call is unfinished.
struct Outputs {
  struct File {
    std::string name;
    int32_t unit = 0;
    bool finished = false;
  };
  File crd, str, rst;
  static File opened(int32_t unit) { return {rt::unit_file_name(unit), unit, false}; }
};

void generate(int32_t mmdoc, char list, char restr_flag, float cutoff, float dmin, char symm_flag, char h_flag,
              char rflag, Outputs& out, int32_t& ierr) {
  ierr = 0;
  Codes c{mmdoc, -std::abs(mmdoc) - 1, 99};
  if (list == 'S') c.mdoc = c.md = 999;
  if (list == 'T') {
    c.md = c.mdoc;
    msgdoc_(c.mdoc, " --- make_rst: CREAT_DESCR --- ");
    print_info_test_(c.mdoc);
  }
  Driver d(c, list, restr_flag, h_flag, rflag);
  restraints::unnamed_hydrogens().clear();
  restraints::unnamed_heavy_atoms().clear();
  restraints::renamed_hydrogens().clear();
  r_scratch.c1_iglobal = 0;
  r_scratch.c2_iglobal = 0;
  crdinf.cr_hflag = std::string_view(&h_flag, 1);
  restraints::replaced_hydrogens() = 0;
  restraints::forget_ideal_coordinates();
  initcs_2_();
  // The per-atom clearing of S1 leaves the torsions and their codes alone, so
  // a run would otherwise write what an earlier run in the same process left
  // in those slots: they start each run as they start a process, unset.
  for (int32_t k = 1; k <= MX1ATOM; ++k) {
    r_scratch.s1_id_psi(k) = rt::FixedText<8>();
    r_scratch.s1_psi(k) = 0.0f;
  }

  wrt_ccrd_("TITL", c.mdoc, atom_inf.n_aniso, ierr);
  out.crd = Outputs::opened(crdinf.cro_iun);
  if (ierr != 0) {
    msgerr_(c.mdoc, " ERROR: write title in WRT_CRD");
    return;
  }
  wrt_str_("TITL", c.mdoc, ierr);
  out.str = Outputs::opened(crdinf.crso_iun);
  if (ierr != 0) {
    msgerr_(c.mdoc, " ERROR: write title in WRT_STR");
    return;
  }
  if (restr_flag == 'A') {
    wrt_rst_("TITL", c.mdoc, ierr);
    out.rst = Outputs::opened(crdinf.crro_iun);
    if (ierr != 0) {
      msgerr_(c.mdoc, " ERROR: write title in WRT_RST");
      return;
    }
  }
  for (int32_t i = 1; i <= link_inf.ln_n; ++i)
    if (!(link_inf.ln_used(i) == "S")) link_inf.ln_used(i) = "N";

  if (asym_part.n_group < 1) {
    msgerr_(c.mdoc, " ERROR: N-chains = 0");
    ierr = 1;
    return;
  }
  title_block(c.mdoc);
  if (restr_flag == 'A') warn_unoccupied(c.mdoc);
  if (!d.walk(ierr)) return;
  if (!d.finish_walk(ierr)) return;
  if (!d.link_pass(false, ierr)) return;

  wrt_ccrd_("STOP", c.mdoc, atom_inf.n_aniso, ierr);
  if (ierr != 0) return;
  out.crd.finished = true;
  wrt_str_("STOP", c.mdoc, ierr);
  if (ierr != 0) return;
  out.str.finished = true;

  bool go_summary = false;
  if (!d.read_back()) {
    d.w.fail("the written coordinate and structure files could not be read back");
    go_summary = true;
  }
  if (!go_summary && !d.second_rebuild(ierr, go_summary)) return;
  if (!go_summary && restr_flag == 'A') {
    if (d.w.n_link_spec > 0 && link_inf.ln_n > 0 && !d.link_pass(true, ierr)) return;
    bool symm_failed = false;
    if (symm_flag != 'N' && d.w.n_link_symm > 0) {
      int32_t jerr = 0;
      dscr_links_symm_(c.mdoc, list, restr_flag, symm_flag, jerr);
      if (jerr != 0) {
        d.w.fail("the links to symmetry-related residues are not described");
        symm_failed = true;
      } else if (crdrst.rs_nbnds > 0) {
        write_atoms_(c.m, rt::FixedText<256>("").view(), crdinf.crro_file.view(), rt::FixedText<256>("crd").view(),
                     ierr);
        if (ierr != 0) return;
      }
    }
    if (!symm_failed) {
      wrt_rst_("STOP", c.mdoc, ierr);
      if (ierr != 0) return;
      out.rst.finished = true;
      if (cutoff > 0.0f) {
        msgdoc_(c.mdoc, " I am creating VDW restraints");
        int32_t jerr = 0;
        creat_vdw_rest_(c.mdoc, crdinf.crvo_file.view(), cutoff, dmin, jerr);
        if (jerr != 0) d.w.fail("the van der Waals restraints could not be made");
      }
    }
  }
  warn_renamed_hydrogens(c.mdoc);
  if (restr_flag == 'A') warn_unnamed_hydrogens(c.mdoc);
  if (restraints::replaced_hydrogens() > 0)
    msgdoc_(c.mdoc,
            " WARNING : " + std::to_string(restraints::replaced_hydrogens()) +
                " hydrogens of the model dropped: every hydrogen of the monomers is rebuilt");
  d.summary();
  if (ierr == 0) ierr = d.w.failed ? 1 : 0;
  if (ierr == 0 && d.w.na_abs_final > 0) ierr = 1;
  if (ierr == 0) return;
  // A run that ends incomplete says why, after its numbers.
  if (d.w.failed)
    msgerr_(c.mdoc, " ERROR: not every residue and link is described: " + d.w.failures());
  if (d.w.na_abs_final > 0) {
    const restraints::UnnamedAtoms& a = restraints::unnamed_heavy_atoms();
    const bool one = d.w.na_abs_final == 1;
    msgerr_(c.mdoc, " ERROR: " + std::to_string(d.w.na_abs_final) +
                        (one ? " atom that the library does not describe is"
                             : " atoms that the library does not describe are") +
                        " not restrained" + (a.count() > 0 ? ": " + a.listed() : std::string()));
  }
}

// A file the run could not finish is removed rather than left looking whole.
void discard_unfinished(int32_t mdoc, Outputs::File& f) {
  if (f.name.empty() || f.finished) return;
  if (f.unit > 0 && rt::unit_is_open(f.unit) && rt::unit_file_name(f.unit) == f.name) rt::unit_close(f.unit);
  // A device that stood for the file stays.
  rt::remove_plain_file(f.name);
  if (!rt::file_exists(f.name))
    msgerr_(mdoc, " ERROR: restraint generation stopped, unfinished file removed: " + f.name);
}

}  // namespace

void creat_descr_(int32_t mmdoc, char list, char restr_flag, float cutoff, float dmin, char symm_flag,
                  char h_flag, char rflag, int32_t& ierr) {
  Outputs out;
  {
    const restraints::ResidueLinksHeld held;
    generate(mmdoc, list, restr_flag, cutoff, dmin, symm_flag, h_flag, rflag, out, ierr);
  }
  const int32_t mdoc = list == 'S' ? 999 : mmdoc;
  for (Outputs::File* f : {&out.crd, &out.str, &out.rst}) discard_unfinished(mdoc, *f);
  if (ierr == 0 && !(out.crd.finished && out.str.finished && (restr_flag != 'A' || out.rst.finished))) ierr = 1;
}
