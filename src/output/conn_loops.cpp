// Connection and modification loops of the mmCIF coordinate output.  Links
// that the entity description already carries (entity flag E, e or L) and
// links without an identifier stay out of _struct_conn; modifications
// flagged 'Y' stay out of the modification loop.  Each link partner is named
// by its label chain with the author's number, and once more by the same
// chain as the author's: other readers find a partner only by a whole
// author key (chain and number) or a whole label key, and refuse the file
// without one.  The atom rows name a chain only by its label, which such a
// reader takes for the author's too.
#include "output/conn_loops.h"

#include <span>

#include "coords/cif_items.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "output/out_lines.h"

namespace {

constexpr std::string_view kModItems[] = {
    "_ptq7_struct_asym_mod.mod_id",        "_ptq7_struct_asym_mod.auth_seq_id",
    "_ptq7_struct_asym_mod.comp_id",       "_ptq7_struct_asym_mod.new_comp_id",
    "_ptq7_struct_asym_mod.label_asym_id",
};

// Written after the connection items of the readers' table.  The
// insertion codes stand apart from the numbers, as in the atom rows.
constexpr std::string_view kAuthorChainItems[] = {
    "_struct_conn.ptnr1_auth_asym_id",       "_struct_conn.ptnr2_auth_asym_id",
    "_struct_conn.pdbx_ptnr1_PDB_ins_code", "_struct_conn.pdbx_ptnr2_PDB_ins_code",
};

constexpr std::string_view kOpenMsg = " ERROR: output_CRD_file isn't open";

bool selected_link(int32_t i) {
  const char c = link_inf.ln_id(i)(1);
  const char e = link_inf.ln_ent(i)(1);
  return c != '?' && c != '.' && e != 'E' && e != 'e' && e != 'L';
}

bool put_items(int32_t iun, std::span<const std::string_view> items, int32_t& ierr) {
  for (std::string_view item : items) {
    output::put_text(iun, ierr, item);
    if (ierr != 0) return false;
  }
  return true;
}

// Banner, "loop_" and the item names; the status is tested from "loop_" on.
bool put_header(int32_t iun, std::string_view title, std::span<const std::string_view> items,
                int32_t& ierr) {
  output::put_banner(iun, title, ierr);
  output::put_text(iun, ierr, "loop_");
  if (ierr != 0) return false;
  return put_items(iun, items, ierr);
}

// The author number of a residue with its code (characters 3-7 of its
// number text) in the form of this system's own categories, "." for a
// residue index that is not set.
rt::FixedText<5> author_number(int32_t ires) {
  if (ires < 1) return rt::FixedText<5>(".");
  return output::own_author_number(output::or_dot(resid_inf.res_num_pdb(ires).sub(3, 7)));
}

// One partner of a link: atom, alternate, number, residue, chain, symmetry.
// The residue is named as the atom list names it, not as the link row was
// made: identification renames a one-letter nucleotide after its rows are
// read (Ad to Ar, once its O2* is seen), and a modification read back from
// a written file (RENAME) leaves the row under the monomer's other name, a
// residue no reader of the file would find.
struct Partner {
  rt::FixedText<6> atom;
  rt::FixedText<1> alt;
  rt::FixedText<4> num;
  rt::FixedText<1> code;
  rt::FixedText<8> rnam;
  rt::FixedText<4> chain;
  rt::FixedText<8> symm;
};

Partner partner(std::string_view atom, const rt::FixedText<1>& alt, const rt::FixedText<8>& symm,
                int32_t ires, int32_t ichn, bool gap) {
  Partner p;
  p.atom = output::or_dot(atom.substr(0, 4));
  p.alt = output::or_dot(alt.view());
  p.symm = output::or_dot(symm.view());
  p.num = ".";
  p.code = ".";
  p.rnam = ".";
  p.chain = ".";
  if (ires > 0 && ichn > 0) {
    p.num = output::or_dot(resid_inf.res_num_pdb(ires).sub(3, 6));
    p.code = output::or_dot(resid_inf.res_num_pdb(ires).sub(7, 7));
    p.rnam = output::or_dot(resid_inf.res_name(ires).view());
    p.chain = output::or_dot(asym_part.group_id(ichn).view());
  }
  if (gap) {
    p.atom = ".";
    p.alt = ".";
  }
  return p;
}

}  // namespace

namespace output {

rt::FixedText<1> link_alt_written(int32_t i, const rt::FixedText<1>& alt) {
  return link_inf.ln_used(i) == "S" ? alt : rt::FixedText<1>(".");
}

}  // namespace output

void wrt_link_(int32_t mdoc, int32_t iun, int32_t& ifirst, int32_t& ierr) {
  ierr = 0;
  const link_inf_t& k = link_inf;
  if (k.ln_n <= 0) return;
  int nsel = 0;
  for (int32_t i = 1; i <= k.ln_n; ++i) nsel += selected_link(i) ? 1 : 0;
  if (nsel == 0) return;
  if (iun == 0) {
    msgerr_(mdoc, kOpenMsg);
    ierr = 5;
    return;
  }
  if (ifirst == 0) {
    // The connection items of the readers' table, _struct_conn.id to .dist.
    if (!put_header(iun, "STRUCT_CONN", cif_item_run(58, 72), ierr) ||
        !put_items(iun, kAuthorChainItems, ierr))
      return;
    ifirst = 1;
  }
  output::Line line;
  output::CifName name1, name2;
  int row = 0;
  for (int32_t i = 1; i <= k.ln_n; ++i) {
    if (!selected_link(i) || k.ln_id(i).is_blank()) continue;
    ++row;
    rt::FixedText<3> num;
    rt::write_to(num.ref(), "(I3)", row);
    std::string_view digits = num.view();
    while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
    const rt::FixedText<3> id(digits);  // left-justified
    const bool gap = k.ln_id(i) == "gap";
    const Partner p1 = partner(k.ln_atom1(i).view(), output::link_alt_written(i, k.ln_alt1(i)),
                               k.ln_symm1(i), k.ln_1ires(i), k.ln_1ichn(i), gap);
    const Partner p2 = partner(k.ln_atom2(i).view(), output::link_alt_written(i, k.ln_alt2(i)),
                               k.ln_symm2(i), k.ln_2ires(i), k.ln_2ichn(i), gap);
    const float dist = k.ln_dist(i);
    rt::FixedText<8> ldist(".");
    if (dist >= 0.001f && dist < 10000.0f) rt::write_to(ldist.ref(), "(F8.3)", dist);
    const std::string_view atom1 = name1.make(p1.atom.view(), 6);
    const std::string_view atom2 = name2.make(p2.atom.view(), 6);
    // Link names, residue names and chains come from the input: each is
    // written as one value whatever it holds.
    using output::cif_cell;
    output::put_line(iun, line, ierr, "(A3,1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,1X,A,1X,A)", id,
                     cif_cell(k.ln_id(i).view(), 8), atom1, cif_cell(p1.alt.view(), 1), cif_cell(p1.num.view(), 4),
                     cif_cell(p1.rnam.view(), 8), cif_cell(p1.chain.view(), 4), cif_cell(p1.symm.view(), 8), atom2,
                     cif_cell(p2.alt.view(), 1), cif_cell(p2.num.view(), 4), cif_cell(p2.rnam.view(), 8),
                     cif_cell(p2.chain.view(), 4));
    if (ierr != 0) {
      ierr = 1;
      return;
    }
    output::put_line(iun, line, ierr, "(5X,A,5X,A8,1X,A,1X,A,1X,A,1X,A)", cif_cell(p2.symm.view(), 8),
                     ldist, cif_cell(p1.chain.view(), 4), cif_cell(p2.chain.view(), 4),
                     cif_cell(p1.code.view(), 1), cif_cell(p2.code.view(), 1));
    if (ierr != 0) {
      ierr = 1;
      return;
    }
  }
}

void wrt_mod_(int32_t mdoc, int32_t iun, int32_t& ifirst, int32_t& ierr) {
  ierr = 0;
  const mod_inf_t& m = mod_inf;
  if (m.mod_n <= 0) return;
  bool any = false;
  for (int32_t i = 1; i <= m.mod_n && !any; ++i) any = m.mod_used(i)(1) != 'Y';
  if (!any) return;
  if (iun == 0) {
    msgerr_(mdoc, kOpenMsg);
    ierr = 5;
    return;
  }
  if (ifirst == 0) {
    if (!put_header(iun, "STRUCT_ASYM_MOD", kModItems, ierr)) return;
    ifirst = 1;
  }
  output::Line line;
  for (int32_t i = 1; i <= m.mod_n; ++i) {
    if (m.mod_used(i)(1) == 'Y') continue;
    const rt::FixedText<5> ires = author_number(m.mod_ires(i));
    const int32_t ich = m.mod_ichn(i);
    const std::string_view gr = ich > 0 ? output::or_dot(asym_part.group_id(ich).view()) : ".";
    // The modification name is written as it stands in the row's layout;
    // a blank one would leave the row a value short, so it becomes ".".
    using output::cif_cell;
    output::put_line(iun, line, ierr, "(2X,A,2X,A,2X,A,2X,A,2X,A)", cif_cell(m.mod_id(i).view(), 8),
                     cif_cell(ires.view(), 5), cif_cell(m.mod_rnam(i).view(), 8), cif_cell(m.mod_rnam_new(i).view(), 8),
                     cif_cell(gr, 4));
    if (ierr != 0) {
      ierr = 1;
      return;
    }
  }
}
