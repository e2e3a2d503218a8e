// Building the entity description from the chains, residues and links of
// the model.
#include "coords/entity_descr.h"

#include <utility>
#include <vector>

#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

// Author number of a model residue: characters 3-7 of its residue key.
std::string_view author_number(int ir) { return resid_inf.res_num_pdb(ir).sub(3, 7); }

// Connection code of a link, 0 when the link does not qualify for chain g
// with codes from `lo` to n_conn_type (4 excluded).
int32_t qualifying_code(int l, int g, int lo) {
  const char c0 = link_inf.ln_id(l)(1);
  if (c0 == '?' || c0 == '.') return 0;
  if (link_inf.ln_1ichn(l) != g || link_inf.ln_2ichn(l) != g) return 0;
  if (!link_in_unit(l)) return 0;
  int32_t code = 1;
  set_iconn_(link_inf.ln_id(l).view(), code);
  if (code < lo || code > cif_types.n_conn_type || code == 4) return 0;
  return code;
}

bool valid_residue(int ir) { return ir >= 1 && ir <= resid_inf.n_residue && ir <= MAXRESID; }

std::string_view author_or_blank(int ir) { return valid_residue(ir) ? author_number(ir) : std::string_view("     "); }

void link_listing() {
  rt::write_list(6, "-CREAT_ENT-", link_inf.ln_n);
  for (int i = 1; i <= link_inf.ln_n && i <= MAXLINK; ++i) {
    rt::write_list(6, "-C-", i, link_inf.ln_id(i), link_inf.ln_used(i), link_inf.ln_ent(i));
    rt::write_list(6, link_inf.ln_1ichn(i), link_inf.ln_1ires(i), link_inf.ln_2ichn(i), link_inf.ln_2ires(i));
    const int r1 = link_inf.ln_1ires(i), r2 = link_inf.ln_2ires(i);
    rt::write_list(6, author_or_blank(r1), valid_residue(r1) ? resid_inf.res_name(r1).view() : std::string_view(),
                   author_or_blank(r2), valid_residue(r2) ? resid_inf.res_name(r2).view() : std::string_view(),
                   link_inf.ln_atom1(i), link_inf.ln_atom2(i), link_inf.ln_alt1(i), link_inf.ln_alt2(i));
  }
}

void add_entity_link(int32_t mdoc, int l, int ient, int ig, int first_pos, char used) {
  // Left out, the link would be missing from the written file and from a
  // second run on it.
  if (cif_ent_link.ent_ln_n >= MAXENTLINK)
    foundation::stop_table_full(mdoc, " ERROR: number of entity links >", MAXENTLINK,
                                {.constant = "MAXENTLINK", .header = "atom_com", .quoted = false});
  const int n = ++cif_ent_link.ent_ln_n;
  const int r1 = link_inf.ln_1ires(l), r2 = link_inf.ln_2ires(l);
  cif_ent_link.ent_ln_dist(n) = link_inf.ln_dist(l);
  cif_ent_link.ent_ln_ichain(n) = ient;
  cif_ent_link.ent_ln_1ires(n) = r1 - asym_part.ires_first(ig) + first_pos;
  cif_ent_link.ent_ln_2ires(n) = r2 - asym_part.ires_first(ig) + first_pos;
  cif_ent_link.ent_ln_1rnam(n) = valid_residue(r1) ? resid_inf.res_name(r1) : rt::FixedText<8>(".");
  cif_ent_link.ent_ln_2rnam(n) = valid_residue(r2) ? resid_inf.res_name(r2) : rt::FixedText<8>(".");
  cif_ent_link.ent_ln_atom1(n) = link_inf.ln_atom1(l);
  cif_ent_link.ent_ln_atom2(n) = link_inf.ln_atom2(l);
  cif_ent_link.ent_ln_id(n) = link_inf.ln_id(l);
  cif_ent_link.ent_ln_auth_num1(n) = author_or_blank(r1);
  cif_ent_link.ent_ln_auth_num2(n) = author_or_blank(r2);
  cif_ent_link.ent_ln_used(n) = std::string_view(&used, 1);
}

struct EntityKind {
  const char* word;
  bool by_group;
  bool copies;
};

EntityKind entity_kind(int32_t ich_type) {
  switch (ich_type) {
    case 2: return {"non-polymer", false, false};
    case 9: return {"water", false, false};
    case 10: return {"polymer", true, true};
    case 7: case 8: return {"polysaccharide", true, true};
    case 5: case 6: return {"DNA/RNA", true, true};
    case 3: case 4: return {"polypeptide", true, true};
    default: return {".", true, ich_type > 2};
  }
}

}  // namespace

void compare_entity_(int32_t /*mdoc*/, int32_t ig1, int32_t ig2, int32_t& iflag, int32_t& ierr) {
  iflag = 0;
  ierr = 0;
  const int ng = asym_part.n_group;
  if (ng < 1 || ig1 < 1 || ig1 > ng || ig2 < 1 || ig2 > ng) return;
  if (ig1 == ig2) {
    iflag = 1;
    return;
  }
  auto chain_of = [](int ig) {
    const int a = asym_part.iatom_first(ig);
    if (a < 1 || a > atom_inf.n_atom || a > MAXATOM) return 0;
    const int r = atom_inf.i_resid(a);
    if (!valid_residue(r)) return 0;
    const int c = resid_inf.i_chain(r);
    return c >= 1 && c <= asym_part.n_group ? c : 0;
  };
  const int ich1 = chain_of(ig1), ich2 = chain_of(ig2);
  if (ich1 == 0 || ich2 == 0) return;
  if (asym_part.ich_type(ich1) != asym_part.ich_type(ich2) ||
      asym_part.nres_chain(ich1) != asym_part.nres_chain(ich2) ||
      asym_part.iterm_s_type(ig1) != asym_part.iterm_s_type(ig2) ||
      asym_part.iterm_f_type(ig1) != asym_part.iterm_f_type(ig2))
    return;
  auto back_text = [](int ir) {
    rt::FixedText<8> t;
    t.blank();
    const int b = resid_inf.ires_back(ir);
    if (b >= 1 && valid_residue(b)) t.sub(1, 5).assign(author_number(b));
    return t;
  };
  for (int i = 1; i <= asym_part.nres_chain(ich1); ++i) {
    const int ir1 = asym_part.ires_first(ich1) + i - 1;
    const int ir2 = asym_part.ires_first(ich2) + i - 1;
    if (!valid_residue(ir1) || !valid_residue(ir2)) return;
    if (!(resid_inf.res_name(ir1) == resid_inf.res_name(ir2))) return;
    if (author_number(ir1) != author_number(ir2)) return;
    if (resid_inf.iconn_type(ir1) != resid_inf.iconn_type(ir2)) return;
    if (!(back_text(ir1) == back_text(ir2))) return;
  }
  iflag = 1;
  if (link_inf.ln_n <= 1) return;
  const int nl = link_inf.ln_n < MAXLINK ? link_inf.ln_n : MAXLINK;
  for (int l = 1; l <= nl; ++l) {
    const int32_t code = qualifying_code(l, ig1, 3);
    if (code == 0) continue;
    bool partner = false;
    for (int k = 1; k <= nl && !partner; ++k) {
      if (qualifying_code(k, ig2, 3) != code) continue;
      if (!(link_inf.ln_id(k) == link_inf.ln_id(l))) continue;
      if (author_or_blank(link_inf.ln_2ires(k)) != author_or_blank(link_inf.ln_2ires(l))) continue;
      if (author_or_blank(link_inf.ln_1ires(k)) != author_or_blank(link_inf.ln_1ires(l))) continue;
      if (link_inf.ln_used(l) == "S" || link_inf.ln_used(k) == "S") continue;
      partner = true;
    }
    if (!partner) {
      iflag = 0;
      return;
    }
  }
}

void copy_used_flag_(int32_t /*mdoc*/, int32_t ig1, int32_t ig2, int32_t& ierr) {
  ierr = 0;
  const int ng = asym_part.n_group;
  if (ig1 < 1 || ig1 > ng || ig2 < 1 || ig2 > ng || ig1 == ig2 || link_inf.ln_n <= 1) return;
  const int nl = link_inf.ln_n < MAXLINK ? link_inf.ln_n : MAXLINK;
  for (int l = 1; l <= nl; ++l) {
    const int32_t code = qualifying_code(l, ig1, 3);
    if (code == 0 || link_inf.ln_used(l) == "S") continue;
    for (int k = 1; k <= nl; ++k) {
      if (qualifying_code(k, ig2, 3) != code || link_inf.ln_used(k) == "S") continue;
      if (!(link_inf.ln_id(k) == link_inf.ln_id(l))) continue;
      if (author_or_blank(link_inf.ln_1ires(k)) != author_or_blank(link_inf.ln_1ires(l))) continue;
      if (author_or_blank(link_inf.ln_2ires(k)) != author_or_blank(link_inf.ln_2ires(l))) continue;
      link_inf.ln_ent(k) = link_inf.ln_ent(l);
      link_inf.ln_used(k) = link_inf.ln_used(l);
    }
  }
}

void creat_ent_descr_(int32_t mdoc, std::string_view list, int32_t& ierr) {
  ierr = 0;
  const bool listing = !list.empty() && list[0] == 'T';
  if (listing) link_listing();
  cif_entity_list.n_chn_ent = 0;
  cif_ent_poly_seq.ent_nresidue = 0;
  cif_asym_part.n_grp_asm = 0;
  cif_ent_link.ent_ln_n = 0;
  const int nl = link_inf.ln_n < MAXLINK ? link_inf.ln_n : MAXLINK;
  for (int l = 1; l <= nl; ++l) link_inf.ln_ent(l) = "C";
  if (asym_part.n_group <= 0) {
    if (listing) link_listing();
    return;
  }
  if (listing) rt::write_list(6, "--ngroup", asym_part.n_group);
  const int ng = asym_part.n_group < MAXCHAIN ? asym_part.n_group : MAXCHAIN;
  for (int ig = 1; ig <= ng; ++ig) {
    asym_part.chain_id(ig) = asym_part.group_id(ig);
    const int32_t cht = asym_part.ich_type(ig);
    const EntityKind kind = entity_kind(cht);
    rt::FixedText<4> chain;
    if (cht == 2) {
      const int r = asym_part.ires_first(ig);
      chain.blank();
      if (valid_residue(r)) chain.sub(1, 3).assign(resid_inf.res_name(r).sub(1, 3));
    } else if (cht == 9) {
      chain = "HOH";
    } else {
      chain = asym_part.group_id(ig);
    }
    if (listing)
      rt::write_list(6, "--ig,ient", ig, cif_entity_list.n_chn_ent, kind.word, asym_part.iterm_s_type(ig),
                     asym_part.iterm_f_type(ig));
    const int iasm = ++cif_asym_part.n_grp_asm;
    cif_asym_part.asm_chain_pointer(iasm) = 0;
    cif_asym_part.asm_group_id(iasm) = asym_part.group_id(ig);
    cif_asym_part.asm_group_pointer(iasm) = ig;
    cif_asym_part.asm_chain_id(iasm) = asym_part.group_id(ig);

    bool joined = false;
    for (int k = 1; k <= cif_entity_list.n_chn_ent && !joined; ++k) {
      if (listing) rt::write_list(6, "--1", chain, cif_entity_list.ent_chain_id(k));
      auto join = [&](const char* tag) {
        asym_part.igroup_asm(ig) = iasm;
        cif_asym_part.asm_chain_pointer(iasm) = k;
        cif_asym_part.asm_chain_id(iasm) = cif_entity_list.ent_chain_id(k);
        asym_part.chain_id(ig) = cif_entity_list.ent_chain_id(k);
        if (listing) rt::write_list(6, tag, asym_part.igroup_asm(ig), asym_part.chain_id(ig));
        joined = true;
      };
      if (chain == cif_entity_list.ent_chain_id(k)) {
        join("--2:");
      } else if (cht != 9) {
        int32_t iflag = 0;
        compare_entity_(mdoc, ig, cif_entity_list.ent_igroup_first(k), iflag, ierr);
        if (listing) rt::write_list(6, "--FLAG", iflag);
        if (iflag == 1) {
          join("--3:");
          copy_used_flag_(mdoc, cif_entity_list.ent_igroup_first(k), ig, ierr);
        }
      }
    }
    if (joined) continue;

    const int ient = ++cif_entity_list.n_chn_ent;
    cif_asym_part.asm_chain_pointer(iasm) = ient;
    cif_asym_part.asm_chain_id(iasm) = chain;
    asym_part.igroup_asm(ig) = iasm;
    asym_part.chain_id(ig) = chain;
    cif_entity_list.ent_ichain_type(ient) = cht;
    cif_entity_list.ent_igroup_first(ient) = ig;
    cif_entity_list.ent_nres_chain(ient) = 0;
    cif_entity_list.ent_ires_first(ient) = 0;
    cif_entity_list.ent_ires_start_tree(ient) = 0;
    cif_entity_list.ent_ires_end_tree(ient) = 0;
    cif_entity_list.ent_iterm_s_type(ient) = 1;
    cif_entity_list.ent_iterm_f_type(ient) = 1;
    cif_entity_list.ent_term_s_type(ient) = ".";
    cif_entity_list.ent_term_f_type(ient) = ".";
    cif_entity_list.ent_res_start_tree(ient) = ".";
    cif_entity_list.ent_res_end_tree(ient) = ".";
    cif_entity_list.ent_chain_id(ient) = chain;
    cif_entity_list.ent_chain_type(ient) = kind.word;
    if (!(cht > 2 && cht != 9)) continue;

    int32_t itypes = asym_part.iterm_s_type(ig), itypef = asym_part.iterm_f_type(ig);
    if (itypes <= 1) itypes = 7;
    if (itypef <= 1) itypef = 7;
    const int F = cif_ent_poly_seq.ent_nresidue + 1;
    const int first = asym_part.ires_first(ig);
    cif_entity_list.ent_nres_chain(ient) = asym_part.nres_chain(ig);
    cif_entity_list.ent_iterm_s_type(ient) = itypes;
    cif_entity_list.ent_iterm_f_type(ient) = itypef;
    if (itypes <= MAXRESTYPE) cif_entity_list.ent_term_s_type(ient) = cif_types.term_s_type(itypes);
    if (itypef <= MAXRESTYPE) cif_entity_list.ent_term_f_type(ient) = cif_types.term_f_type(itypef);
    cif_entity_list.ent_ires_first(ient) = F;
    cif_entity_list.ent_ires_start_tree(ient) = asym_part.ires_start_tree(ig) - first + F;
    cif_entity_list.ent_ires_end_tree(ient) = asym_part.ires_end_tree(ig) - first + F;
    if (asym_part.nres_chain(ig) < 1 || first < 1) {
      msgerr_(mdoc, " ERROR: N-residues = 0");
      ierr = 1;
      return;
    }
    if (asym_part.ires_start_tree(ig) < 1 || asym_part.ires_end_tree(ig) < 1) {
      msgerr_(mdoc, " ERROR: wrong tree structure ...(in creat_ent_descr)");
      ierr = 1;
      return;
    }
    // The links that can be sequence connections of this chain, in table
    // order with their codes, so that each residue looks only at them.
    static std::vector<std::pair<int, int32_t>> seq_links;
    seq_links.clear();
    for (int l = 1; l <= nl; ++l) {
      const int32_t code = qualifying_code(l, ig, 2);
      if (code != 0 && link_inf.ln_used(l) != "S") seq_links.emplace_back(l, code);
    }
    const int last = first + asym_part.nres_chain(ig) - 1;
    for (int ir = first; ir <= last && ir <= MAXRESID; ++ir) {
      if (cif_ent_poly_seq.ent_nresidue >= MAXENTSEQ) break;
      const int irs = cif_ent_poly_seq.ent_nresidue + 1;
      if (listing)
        rt::write_list(6, "-R-", ir, resid_inf.res_name(ir), resid_inf.iconn_type(ir), resid_inf.res_num_pdb(ir));
      const int32_t former = resid_inf.iconn_type(ir);
      cif_ent_poly_seq.ent_iconn_type(irs) = former;
      cif_ent_poly_seq.ent_ires_type(irs) = resid_inf.ires_type(ir);
      cif_ent_poly_seq.ent_ichain(irs) = ient;
      cif_ent_poly_seq.ent_mod_id(irs) = ".";
      cif_ent_poly_seq.ent_res_auth_num(irs) = author_number(ir);
      cif_ent_poly_seq.ent_res_name(irs) = resid_inf.res_name(ir);
      cif_ent_poly_seq.ent_ires_serial(irs) = resid_inf.ires_serial(ir);
      const int b = resid_inf.ires_back(ir), f = resid_inf.ires_forw(ir);
      cif_ent_poly_seq.ent_ires_back(irs) = b >= 1 ? b - first + F : 0;
      cif_ent_poly_seq.ent_ires_forw(irs) = f >= 1 ? f - first + F : 0;
      cif_ent_poly_seq.ent_nresidue = irs;
      for (const auto& [l, code] : seq_links) {
        if (link_inf.ln_1ires(l) != b || link_inf.ln_2ires(l) != ir) continue;
        link_inf.ln_ent(l) = "E";
        resid_inf.iconn_type(ir) = code;
        cif_ent_poly_seq.ent_iconn_type(irs) = code;
        if (link_inf.ln_used(l) == "U") link_inf.ln_used(l) = "u";
        const bool now_u = link_inf.ln_used(l) == "u";
        if (former > 2 && former != 4)
          add_entity_link(mdoc, l, ient, ig, F, now_u ? 'e' : 'E');
        else if (now_u)
          add_entity_link(mdoc, l, ient, ig, F, 'e');
      }
    }
    const int st = cif_entity_list.ent_ires_start_tree(ient), en = cif_entity_list.ent_ires_end_tree(ient);
    if (st >= 1 && st <= cif_ent_poly_seq.ent_nresidue)
      cif_entity_list.ent_res_start_tree(ient) = cif_ent_poly_seq.ent_res_auth_num(st);
    if (en >= 1 && en <= cif_ent_poly_seq.ent_nresidue)
      cif_entity_list.ent_res_end_tree(ient) = cif_ent_poly_seq.ent_res_auth_num(en);
    for (int l = 1; l <= nl; ++l) {
      if (qualifying_code(l, ig, 3) == 0 || link_inf.ln_used(l) == "S") continue;
      const char e = link_inf.ln_ent(l)(1);
      if (e == 'E' || e == 'e') continue;
      add_entity_link(mdoc, l, ient, ig, F, 'L');
      link_inf.ln_ent(l) = "L";
    }
  }
  if (listing) link_listing();
}
