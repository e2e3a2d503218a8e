// Chain division.  Residues are taken in table order; a residue continues
// the current chain when a link of a valid connection type joins it to the
// residue before (or, for a sugar, to any earlier sugar of the chain), when
// it repeats the water of the residue before, or when it follows a polymer
// residue of its kind.  Waters, ligands and residues without a connection
// open chains of their own.
#include "connect/chains.h"

#include <utility>

#include "connect/link_rows.h"
#include "connect/mon_lookup.h"
#include "connect/sugar_net.h"
#include "dictionary/link_lookup.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "identify/model_tables.h"
#include "runtime/format.h"

namespace {

connect::LinkRows g_rows;

bool is_sugar(int ir) { return resid_inf.ires_type(ir) == 7 || resid_inf.ires_type(ir) == 8; }

std::string_view number_of(int ir) { return std::as_const(resid_inf.res_num_pdb(ir)).sub(3, 7); }

bool water(int ir) {
  const auto& n = resid_inf.res_name(ir);
  return n == "HOH" || n == "DUM";
}

// A connection-type code from a link name, 0 when the name is no connection.
int valid_conn(std::string_view link) {
  int32_t code = 1;
  set_iconn_(link, code);
  return code >= 2 && code <= cif_types.n_conn_type ? code : 0;
}

// Links stand in the order of the library's bond atoms.
void orient_links() {
  for (int k = 1; k <= link_inf.ln_n; ++k) {
    const char c = link_inf.ln_id(k)(1);
    if (c == '?' || c == '.') continue;
    rt::FixedText<4> a1, a2;
    int32_t it = 0;
    get_link_atom_(link_inf.ln_id(k), a1, a2, it);
    if (it > 0 && link_inf.ln_atom1(k) == a2 && link_inf.ln_atom2(k) == a1) connect::swap_link_ends(k);
  }
}

bool same_chain_id(int ir1, int ir2, int last_column) {
  const bool seg = crdinf.cr_segflag == "Y";
  const int j = seg ? 11 : last_column;
  return std::as_const(resid_inf.res_num_pdb(ir1)).sub(8, j) ==
         std::as_const(resid_inf.res_num_pdb(ir2)).sub(8, j);
}

// Residues of different chains that a link joins in sequence take its type.
void connection_types() {
  auto& r = resid_inf;
  if (link_inf.ln_n <= 0) return;
  for (int ir = 2; ir <= r.n_residue; ++ir) {
    if (r.i_chain(ir) == r.i_chain(ir - 1) || number_of(ir) == number_of(ir - 1)) continue;
    g_rows.end1(ir - 1, [&](int k) {
      const auto& l = link_inf;
      if (l.ln_2ires(k) != ir || l.ln_1ichn(k) != r.i_chain(ir - 1) ||
          l.ln_2ichn(k) != r.i_chain(ir) || l.ln_used(k) == "S" || r.iconn_type(ir) >= 2)
        return;
      const int code = valid_conn(l.ln_id(k));
      if (code != 0 && same_chain_id(ir, ir - 1, 8)) r.iconn_type(ir) = code;
    });
  }
}

// Hangs sugar ir on the earliest sugar k of the current chain that a link
// joins it to; false when there is none.
bool hang_sugar(int ir, int first) {
  auto& r = resid_inf;
  int best_k = 0, best_row = 0;
  g_rows.either(ir, [&](int row) {
    const auto& l = link_inf;
    const int k = l.ln_1ires(row) == ir ? l.ln_2ires(row) : l.ln_1ires(row);
    if (k < first || k >= ir || number_of(k) == number_of(ir)) return;
    if (l.ln_used(row) == "S" || valid_conn(l.ln_id(row)) == 0) return;
    if (best_k == 0 || k < best_k) {
      best_k = k;
      best_row = row;
    }
  });
  if (best_k == 0) return false;
  if (link_inf.ln_1ires(best_row) == best_k) {
    r.ires_back(ir) = best_k;
    if (r.ires_forw(best_k) < 1) r.ires_forw(best_k) = ir;
  } else {
    r.ires_forw(ir) = best_k;
    r.ires_back(best_k) = ir;
  }
  return true;
}

int chain_type_of(int ir, int nres) {
  if (nres == 1) return 2;
  if (water(ir)) return 9;
  switch (resid_inf.ires_type(ir)) {
    case 3: case 4: case 10: return 3;
    case 5: case 6: return 5;
    case 7: case 8: return 7;
    default: return 10;
  }
}

bool open_chain(int32_t mdoc, int ir, int32_t& ierr) {
  auto& a = asym_part;
  if (a.n_group >= MAXCHAIN) {
    if (com_crt_link.icrt_flag(4) == 0)
      foundation::table_full(mdoc, " WARNING : Number of chains >", MAXCHAIN, "",
                             {.constant = "MAXCHAIN", .header = "atom_com", .indent = 11});
    com_crt_link.icrt_flag(4) = 1;
    ierr = 1;
    return false;
  }
  com_crt_link.icrt_flag(4) = 0;
  const int g = ++a.n_group;
  a.ires_first(g) = ir;
  a.iatom_first(g) = resid_inf.iratm_first(ir);
  a.nres_chain(g) = 0;
  a.natm_chain(g) = 0;
  a.i_ncs(g) = 0;
  a.iterm_s_type(g) = 1;
  a.iterm_f_type(g) = 1;
  a.ncs_flag(g) = ".";
  a.ichain_grp(g) = g;
  a.mult_flag(g) = 0;
  a.chain_id(g) = std::as_const(resid_inf.res_num_pdb(ir)).sub(8, 11);
  a.group_id(g) = a.chain_id(g);
  a.ires_start_tree(g) = ir;
  a.ires_end_tree(g) = ir;
  a.ich_type(g) = 0;
  return true;
}

void join_chain(int ir) {
  auto& a = asym_part;
  auto& r = resid_inf;
  const int g = a.n_group;
  if (!is_sugar(ir)) {
    r.ires_forw(ir) = 0;
    if (a.nres_chain(g) == 0) {
      a.ires_start_tree(g) = ir;
      r.ires_back(ir) = -1;
    } else {
      r.ires_forw(ir - 1) = ir;
      r.ires_back(ir) = ir - 1;
    }
  }
  a.ires_end_tree(g) = ir;
  r.i_chain(ir) = g;
  ++a.nres_chain(g);
  a.natm_chain(g) += r.natm_res(ir);
  r.res_num_pdb(ir).sub(8, 11).assign(a.chain_id(g));
  a.ich_type(g) = chain_type_of(ir, a.nres_chain(g));
}

// Whether residue ir continues the current chain; sugars are hung on their
// tree on the way.
bool continues(int ir) {
  auto& r = resid_inf;
  if (ir == 1) {
    if (is_sugar(ir)) {
      r.ires_back(ir) = -1;
      r.ires_forw(ir) = 0;
    }
    return false;
  }
  if (r.res_name(ir) == r.res_name(ir - 1) && water(ir)) return same_chain_id(ir, ir - 1, 9);
  if (is_sugar(ir)) {
    r.ires_back(ir) = -1;
    r.ires_forw(ir) = 0;
    return is_sugar(ir - 1) && asym_part.n_group >= 1 &&
           hang_sugar(ir, asym_part.ires_first(asym_part.n_group));
  }
  const int iconn = r.iconn_type(ir);
  if (iconn < 2 || iconn > cif_types.n_conn_type) return false;
  const int t = r.ires_type(ir);
  if (t == 1 || t == 2) return false;
  const int tp = r.ires_type(ir - 1);
  if ((t == 3 || t == 4) && tp != 3 && tp != 4 && tp != 10) return false;
  return true;
}

void anomer_warning(int32_t mdoc, int ir) {
  msgdoc_(mdoc, " WARNING:  sugar type is different with actual:");
  msgdoc_(mdoc, rt::fmt("('                   ch:',A4,' res:',A5,' ',A8)",
                        asym_part.chain_id(resid_inf.i_chain(ir)), number_of(ir),
                        resid_inf.res_name(ir)));
  msgdoc_(mdoc, "           residue name will not be changed");
}

// The other anomer's name when a link says the residue's name is the wrong one.
void check_anomer(int32_t mdoc, int ir, char sugar_flag, char list) {
  const auto& name = resid_inf.res_name(ir);
  const int ich = resid_inf.i_chain(ir);
  g_rows.either(ir, [&](int k) {
    const auto& l = link_inf;
    if (l.ln_used(k) == "S") return;
    const bool end1 = l.ln_1ires(k) == ir && l.ln_1ichn(k) == ich && l.ln_atom1(k) == "C1";
    const bool end2 = l.ln_2ires(k) == ir && l.ln_2ichn(k) == ich && l.ln_atom2(k) == "C1";
    if (!end1 && !end2) return;
    const std::string_view id = l.ln_id(k).view();
    rt::FixedText<8> other = name;
    if (id.substr(0, 5) == "ALPHA" && name(5) == 'b') other(5) = 'a';
    else if (id.substr(0, 4) == "BETA" && name(5) == 'a') other(5) = 'b';
    else return;
    int32_t jerr = 0;
    look_mon_lib2_(mdoc, other, list, jerr);
    if (jerr != 0) return;
    for (int m = 1; m <= mod_inf.mod_n; ++m) {
      if (mod_inf.mod_ires(m) != ir || mod_inf.mod_ichn(m) != ich) continue;
      if (sugar_flag == 'D' || !(mod_inf.mod_used(m) == "U")) mod_inf.mod_rnam(m) = other;
      else anomer_warning(mdoc, ir);
    }
  });
}

}  // namespace

void set_chain_(int32_t mdoc, char sugar_flag, char /*chain_flag*/, char list, int32_t& ierr) {
  ierr = 0;
  if (asym_part.n_group <= 0 || atom_inf.n_atom <= 0) {
    msgerr_(mdoc, "ERROR: in \"SET_CHAIN\", N_GROUP or N_ATOM = 0");
    ierr = 1;
    return;
  }
  orient_links();
  g_rows.build(link_inf.ln_n);
  connection_types();
  asym_part.n_group = 0;
  com_crt_link.icrt_flag(4) = 0;

  auto& r = resid_inf;
  for (int ir = 1; ir <= r.n_residue; ++ir) {
    if (!continues(ir) || asym_part.n_group == 0) {
      if (!open_chain(mdoc, ir, ierr)) return;
    }
    join_chain(ir);
  }

  for (int ir = 1; ir <= r.n_residue; ++ir)
    if (is_sugar(ir)) check_anomer(mdoc, ir, sugar_flag, list);

  for (int k = 1; k <= link_inf.ln_n; ++k) {
    auto& l = link_inf;
    const int a = l.ln_1ires(k), b = l.ln_2ires(k);
    if (a >= 1 && a <= r.n_residue) {
      l.ln_1ichn(k) = r.i_chain(a);
      l.ln_1rnam(k) = r.res_name(a);
    }
    if (b >= 1 && b <= r.n_residue) {
      l.ln_2ichn(k) = r.i_chain(b);
      l.ln_2rnam(k) = r.res_name(b);
    }
  }

  int32_t jerr = 0;
  sugar_net_(mdoc, jerr);
  check_residue_num_(mdoc, jerr);
  int32_t inew = 0;
  if (crdinf.cr_segflag == "Y") check_chain_id_seg_(mdoc, inew, jerr);
  else check_chain_id_cif_(mdoc, inew, jerr);
  if (inew > 0) {
    msgdoc_(mdoc, " WARNING: Chain_list is not correct. Program has changed it.");
    msgdoc_(mdoc, "          Different chains have the same chain id.");
  }
}
