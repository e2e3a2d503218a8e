// Entity loops of the mmCIF coordinate output.  Rows follow each entity's
// residue tree, not storage order, so a reader rebuilds the same tree.
#include "output/entity_loops.h"

#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "output/out_lines.h"

namespace {

constexpr std::string_view kPolyItems[] = {
    "loop_",
    "_entity_poly_seq.mon_id",
    "_entity_poly_seq.ptq7_auth_seq_id",
    "_entity_poly_seq.entity_id",
    "_entity_poly_seq.ptq7_back_connect_type",
    "_entity_poly_seq.ptq7_num_mon_back",
    "_entity_poly_seq.ptq7_mod_id",
};

constexpr std::string_view kLinkItems[] = {
    "loop_",
    "_entity_link.ptq7_link_id",
    "_entity_link.ptq7_entity_id",
    "_entity_link.ptq7_comp_id_1",
    "_entity_link.ptq7_auth_seq_id_1",
    "_entity_link.ptq7_atom_id_1",
    "_entity_link.ptq7_comp_id_2",
    "_entity_link.ptq7_auth_seq_id_2",
    "_entity_link.ptq7_atom_id_2",
    "_entity_link.dist",
};

constexpr std::string_view kOpenMsg = " ERROR: output_CRD_file isn't open";

// A vocabulary word as written: "." for a blank word or one that starts
// with a blank.
std::string_view word_or_dot(std::string_view w) {
  return w.empty() || w[0] == ' ' || w[0] == '\0' ? "." : w;
}

std::string_view back_connect(int32_t ir) {
  const int32_t code = cif_ent_poly_seq.ent_iconn_type(ir);
  if (code < 1 || code > cif_types.n_conn_type) return ".";
  return word_or_dot(cif_types.conn_type(code).view());
}

void put_seq_row(int32_t iun, output::Line& line, int32_t ient, int32_t ir, int32_t& ierr) {
  const cif_entity_list_t& e = cif_entity_list;
  const cif_ent_poly_seq_t& s = cif_ent_poly_seq;
  const int32_t back = s.ent_ires_back(ir);
  rt::FixedText<5> back_num("n/a");
  if (back >= 1) back_num = output::own_author_number(s.ent_res_auth_num(back).view());
  std::string_view term = ".";
  if (ir == e.ent_ires_end_tree(ient)) term = word_or_dot(e.ent_term_f_type(ient).view());
  else if (ir == e.ent_ires_start_tree(ient)) term = word_or_dot(e.ent_term_s_type(ient).view());
  // A blank name or number would leave the row one value short, and a
  // residue named "#" would start a comment.
  using output::cif_cell;
  output::put_line(iun, line, ierr, "(1X,A,1X,A,1X,A,1X,A,1X,A,1X,A)", cif_cell(s.ent_res_name(ir).view(), 8),
                   cif_cell(output::own_author_number(s.ent_res_auth_num(ir).view()).view(), 5), cif_cell(e.ent_chain_id(ient).view(), 4),
                   cif_cell(back_connect(ir), 8), cif_cell(back_num.view(), 5), cif_cell(term, 8));
}

bool printed_link(int32_t l) {
  const cif_ent_link_t& k = cif_ent_link;
  const char c = k.ent_ln_id(l)(1);
  const char used = k.ent_ln_used(l)(1);
  return !k.ent_ln_id(l).is_blank() && c != '.' && c != '?' && (used == 'L' || used == 'e');
}

}  // namespace

void wrt_entity_poly_(int32_t mdoc, int32_t iun, int32_t& ifirst, int32_t& ierr) {
  ierr = 0;
  if (iun == 0) {
    msgerr_(mdoc, kOpenMsg);
    ierr = 5;
    return;
  }
  const cif_entity_list_t& e = cif_entity_list;
  output::Line line;
  for (int32_t ient = 1; ient <= e.n_chn_ent; ++ient) {
    const int32_t nres = e.ent_nres_chain(ient);
    if (nres < 1) continue;
    if (ifirst == 0) {
      output::put_banner(iun, "ENTITY_POLY_SEQ", ierr);
      for (std::string_view item : kPolyItems) output::put_text(iun, ierr, item);
      ifirst = 1;
    }
    output::put_text(iun, ierr, "#");
    const int32_t first = e.ent_ires_first(ient);
    if (first < 1) {
      msgerr_(mdoc, " ERROR: N-residues = 0");
      ierr = 1;
      return;
    }
    const int32_t start = e.ent_ires_start_tree(ient);
    const int32_t end = e.ent_ires_end_tree(ient);
    if (start < 1 || end < 1) {
      msgerr_(mdoc, " ERROR: wrong tree structure ....");
      ierr = 1;
      return;
    }
    // A forward chain that comes back to a position already written would
    // never reach the end: more rows than the entity has positions is the
    // same fault as a step out of range.
    int32_t ir = start;
    int32_t rows = 0;
    for (;;) {
      put_seq_row(iun, line, ient, ir, ierr);
      ++rows;
      if (ir == end) break;
      ir = cif_ent_poly_seq.ent_ires_forw(ir);
      if (ir < 1 || ir < first || ir > first + nres - 1 || rows >= nres) {
        msgerr_(mdoc, " ERROR: wrong tree structure .....");
        ierr = 1;
        return;
      }
    }
  }
}

void wrt_entity_link_(int32_t mdoc, int32_t iun, int32_t& ifirst, int32_t& ierr) {
  ierr = 0;
  if (iun == 0) {
    msgerr_(mdoc, kOpenMsg);
    ierr = 5;
    return;
  }
  const cif_ent_link_t& k = cif_ent_link;
  if (cif_entity_list.n_chn_ent < 1 || k.ent_ln_n < 1) return;
  output::Line line;
  for (int32_t l = 1; l <= k.ent_ln_n; ++l) {
    if (!printed_link(l)) continue;
    if (ifirst == 0) {
      output::put_banner(iun, "ENTITY_LINK", ierr);
      for (std::string_view item : kLinkItems) output::put_text(iun, ierr, item);
      ifirst = 1;
    }
    output::CifName name1, name2;
    const std::string_view atom1 = name1.make(k.ent_ln_atom1(l).view(), 6);
    const std::string_view atom2 = name2.make(k.ent_ln_atom2(l).view(), 6);
    const float dist = k.ent_ln_dist(l);
    rt::FixedText<8> ldist(".");
    if (dist >= 0.001f && dist < 10000.0f) rt::write_to(ldist.ref(), "(F8.3)", dist);
    const int32_t ient = k.ent_ln_ichain(l);
    std::string_view entity;
    if (ient >= 1 && ient <= cif_entity_list.n_chn_ent)
      entity = cif_entity_list.ent_chain_id(ient).view();
    using output::field;
    output::put_line(iun, line, ierr, "(1X,A8,1X,A4,1X,A8,1X,A5,1X,A,1X,A8,1X,A5,1X,A,1X,A8)",
                     k.ent_ln_id(l), field<4>(entity), field<8>(k.ent_ln_1rnam(l)),
                     field<5>(output::own_author_number(k.ent_ln_auth_num1(l).view()).view()), atom1,
                     field<8>(k.ent_ln_2rnam(l)),
                     field<5>(output::own_author_number(k.ent_ln_auth_num2(l).view()).view()), atom2,
                     ldist);
  }
}
