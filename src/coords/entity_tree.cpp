// Entity trees and termini after an mmCIF read.
#include "coords/entity_tree.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "foundation/atom_com.h"
#include "foundation/lookup_index.h"
#include "coords/entity_descr.h"

namespace {

constexpr int32_t kGap = 10;

std::string_view author_number(int ir) { return resid_inf.res_num_pdb(ir).sub(3, 7); }

// Walks along back links over one range; a back link that leaves the range
// ends the walk like a root.
struct Tree {
  int32_t irs, irf;
  int32_t* iback;
  int32_t* iforw;
  int32_t* itype;

  bool in(int32_t i) const { return i >= irs && i <= irf; }
  int32_t& back(int32_t i) const { return iback[i - 1]; }
  int32_t& forw(int32_t i) const { return iforw[i - 1]; }
  int32_t& type(int32_t i) const { return itype[i - 1]; }
  int32_t steps() const { return irf - irs + 2; }

  int32_t root(int32_t i) const {
    int32_t n = 0;
    while (back(i) >= 1 && n++ < steps()) i = back(i);
    return i;
  }
};

// Positions lo..hi of the sequence table by author number (5 characters),
// so that the first and the last position with a number are found at once.
using NumberIndex = foundation::LookupIndex<5, MAXENTSEQ>;

void index_numbers(NumberIndex& x, int32_t lo, int32_t hi) {
  x.clear();
  for (int32_t p = lo; p <= hi; ++p) x.add(cif_ent_poly_seq.ent_res_auth_num(p).view(), p);
}

// A chain without a label of its own (every piece written under XX) can
// hold each number several times, one piece after the other, and the
// entity rows and the chain's residues then name their neighbours by
// numbers that repeat.  Both are written in the order of the chain's tree,
// so a number is told apart by how often it came before: the n-th row
// with a number is the n-th residue with it.  The key is the text (W
// characters) and that count.
template <int W>
struct Occurrences {
  foundation::LookupIndex<W, MAXENTSEQ> slots;  // text -> its counter
  std::vector<int32_t> seen;
  char key[W + 7];
  bool repeated = false;  // some text came more than once

  void clear() {
    slots.clear();
    seen.clear();
    repeated = false;
  }
  // The key of the next appearance of `text`.
  std::string_view next(std::string_view text) {
    int32_t s = slots.first(text);
    if (s < 1) {
      seen.push_back(0);
      s = static_cast<int32_t>(seen.size());
      slots.add(text, s);
    }
    int32_t n = ++seen[static_cast<std::size_t>(s - 1)];
    repeated = repeated || n > 1;
    std::memset(key, ' ', sizeof key);
    std::memcpy(key, text.data(), text.size() < W ? text.size() : W);
    for (int i = W + 6; i >= W && n > 0; --i, n /= 10) key[i] = static_cast<char>('0' + n % 10);
    return {key, sizeof key};
  }
};

using OccurrenceIndex = foundation::LookupIndex<12, MAXENTSEQ>;  // a number and its count

// The link rows made of the entity's sequence rows (a gap, a cis peptide)
// name their residues by number, and the atom store gave each end the last
// residue of the chain with that number.  In a chain that holds a number
// more than once, the n-th such row between two numbers goes to the n-th
// residue with the second number whose back neighbour has the first.
void sequence_links_in_order(int32_t ig, int32_t first, int32_t last) {
  static foundation::LookupIndex<17, MAXRESID> by_pair;
  static Occurrences<10> pairs;
  by_pair.clear();
  pairs.clear();
  char pair[10];
  const auto pair_of = [&](std::string_view n1, std::string_view n2) {
    std::memcpy(pair, n1.data(), 5);
    std::memcpy(pair + 5, n2.data(), 5);
    return std::string_view(pair, 10);
  };
  for (int32_t ir = first; ir <= last; ++ir) {
    const int32_t b = resid_inf.ires_back(ir);
    if (b >= first && b <= last) by_pair.add(pairs.next(pair_of(author_number(b), author_number(ir))), ir);
  }
  pairs.clear();
  for (int l = 1; l <= link_inf.ln_n && l <= MAXLINK; ++l) {
    const char made = link_inf.ln_ent(l)(1);
    if ((made != 'E' && made != 'e') || link_inf.ln_1ichn(l) != ig || link_inf.ln_2ichn(l) != ig) continue;
    const int32_t r = by_pair.first(pairs.next(pair_of(link_inf.ln_seq1(l).view(), link_inf.ln_seq2(l).view())));
    if (r < 1) continue;
    link_inf.ln_2ires(l) = r;
    link_inf.ln_1ires(l) = resid_inf.ires_back(r);
  }
}

}  // namespace

void check_tree_crd_(int32_t /*mdoc*/, int32_t /*nres*/, int32_t& istart, int32_t& ifinish, int32_t irs,
                     int32_t irf, int32_t* iback, int32_t* iforw, int32_t* itype, int32_t& ierr) {
  ierr = 0;
  if (irf < irs || irs < 1) return;
  Tree t{irs, irf, iback, iforw, itype};
  // Back links that leave the range would lead the walks into another chain:
  // such a residue becomes the root of a piece of its own.
  for (int32_t i = irs; i <= irf; ++i) {
    if (t.back(i) >= 1 && !t.in(t.back(i))) {
      t.back(i) = 0;
      t.type(i) = kGap;
    }
  }
  for (int32_t i = irs; i <= irf; ++i) t.forw(i) = -1;
  for (int32_t i = irs; i <= irf; ++i) {
    int32_t j = t.back(i);
    int32_t n = 0;
    while (j >= 1 && n++ < t.steps()) {
      t.forw(j) = 0;
      if (t.back(j) == i) {
        t.back(j) = 0;
        t.type(j) = kGap;
        break;
      }
      j = t.back(j);
    }
  }
  // The ends are the positions that are nobody's back neighbour once the
  // loops are cut.  The marks of the walks above miss some of them: a cut
  // can leave the position it cut from without a child although a walk had
  // marked it (a residue that was its own back neighbour, or a loop entered
  // by an earlier walk).
  static std::vector<char> is_end;
  is_end.assign(static_cast<std::size_t>(irf - irs + 1), 1);
  for (int32_t i = irs; i <= irf; ++i)
    if (t.back(i) >= 1) is_end[t.back(i) - irs] = 0;
  for (int32_t i = irs; i <= irf; ++i) t.forw(i) = is_end[i - irs] ? -1 : 0;

  const int32_t is = (istart >= 1 && t.in(istart) && t.back(istart) < 1) ? istart : 0;
  bool finish_stands = false;
  int32_t finish_root = 0;
  if (ifinish >= 1 && t.in(ifinish) && t.forw(ifinish) < 1) {
    finish_stands = true;
    finish_root = t.root(ifinish);
  } else {
    ifinish = 0;
  }

  int32_t p = finish_root;
  for (int32_t i = irs; i <= irf; ++i) {
    if (!is_end[i - irs] || i == ifinish) continue;
    const int32_t r = t.root(i);
    if (p >= 1 && r != p) {
      if (r == is) {
        t.back(p) = i;
        t.type(p) = kGap;
        p = r;
      } else {
        t.back(r) = p;
        t.type(r) = kGap;
      }
    } else {
      p = r;
    }
  }
  istart = p;

  // Threads the branch that ends at `from`: forward links back to the first
  // position that already has one; returns the position after that meeting
  // point, or 0 when the walk reached the root.
  auto thread = [&](int32_t from) {
    int32_t came = from;
    int32_t j = t.back(from);
    int32_t n = 0;
    while (j >= 1 && n++ < t.steps()) {
      if (t.forw(j) >= 1) return came;
      t.forw(j) = came;
      came = j;
      j = t.back(j);
    }
    return static_cast<int32_t>(0);
  };
  int32_t last = 0;
  for (int32_t i = irs; i <= irf; ++i) {
    if (!is_end[i - irs] || i == ifinish) continue;
    // An end that the joining made an inner residue and that a walk has
    // already threaded is not an end any more.
    if (t.forw(i) >= 1) continue;
    const int32_t meet = thread(i);
    if (meet >= 1 && last >= 1 && t.forw(last) < 1 && meet != last) t.forw(last) = meet;
    last = i;
  }
  if (finish_stands && t.forw(ifinish) >= 1 && last >= 1) {
    // The finish is not an end (it had children, or pieces were hung from
    // it), so the thread has passed it already; linking the last end to it
    // would close a circle.  The thread ends at the last end, which becomes
    // the finish.
    ifinish = last;
  } else if (finish_stands) {
    const int32_t meet = thread(ifinish);
    if (meet >= 1 && last >= 1 && t.forw(last) < 1 && meet != last) t.forw(last) = meet;
  } else {
    ifinish = last;
  }
}

void check_terminus_(int32_t /*mdoc*/, int32_t& ierr) {
  ierr = 0;
  const int ng = asym_part.n_group < MAXCHAIN ? asym_part.n_group : MAXCHAIN;
  for (int ig = 1; ig <= ng; ++ig) {
    const int32_t ct = asym_part.ich_type(ig);
    if (ct != 3 && ct != 4 && ct != 10) continue;
    const int ir = asym_part.ires_end_tree(ig);
    if (ir < 1 || ir > resid_inf.n_residue) continue;
    bool oxt = false;
    for (int a = resid_inf.iratm_first(ir); a < resid_inf.iratm_first(ir) + resid_inf.natm_res(ir); ++a) {
      if (a < 1 || a > atom_inf.n_atom) break;
      const char ty = atom_inf.atm_type(a)(1);
      if (atom_inf.atm_name(a) == "OXT" && ty != 'U' && ty != 'D') {
        oxt = true;
        break;
      }
    }
    const int32_t ft = asym_part.iterm_f_type(ig);
    if (!oxt || (ft != 1 && ft != 2 && ft != 7)) continue;
    asym_part.iterm_f_type(ig) = 2;
    const int iasm = asym_part.igroup_asm(ig);
    if (iasm >= 1 && iasm <= cif_asym_part.n_grp_asm && cif_asym_part.asm_chain_pointer(iasm) >= 1)
      cif_entity_list.ent_iterm_f_type(cif_asym_part.asm_chain_pointer(iasm)) = 2;
  }
}

void copy_entity_tree_(int32_t mdoc, int32_t& ierr) {
  ierr = 0;
  if (asym_part.n_group < 1) return;
  if (cif_entity_list.n_chn_ent < 1 || cif_asym_part.n_grp_asm < 1) {
    creat_ent_descr_(mdoc, " ", ierr);
    return;
  }
  static NumberIndex by_number, earlier;
  static OccurrenceIndex by_occurrence;
  static Occurrences<5> counted;
  const int nent = cif_entity_list.n_chn_ent < MAXENTITY ? cif_entity_list.n_chn_ent : MAXENTITY;
  for (int ient = 1; ient <= nent; ++ient) {
    const int32_t nres = cif_entity_list.ent_nres_chain(ient);
    if (nres < 1) continue;
    const int32_t irs = cif_entity_list.ent_ires_first(ient);
    const int32_t irf = irs + nres - 1;
    if (irs < 1 || irf > cif_ent_poly_seq.ent_nresidue) continue;
    // The start is the row without a back neighbour and the end the last
    // row with a terminus after one, where a number repeats; else the last
    // row with the number.
    int32_t start_row = 0, end_row = 0;
    for (int32_t ir = irs; ir <= irf; ++ir) {
      const bool no_back = cif_ent_poly_seq.ent_res_auth_bnum(ir) == ".";
      if (cif_ent_poly_seq.ent_res_auth_num(ir) == cif_entity_list.ent_res_start_tree(ient)) {
        cif_entity_list.ent_ires_start_tree(ient) = ir;
        if (no_back && start_row == 0) start_row = ir;
      }
      if (cif_ent_poly_seq.ent_res_auth_num(ir) == cif_entity_list.ent_res_end_tree(ient)) {
        cif_entity_list.ent_ires_end_tree(ient) = ir;
        if (!no_back && !(cif_ent_poly_seq.ent_mod_id(ir) == ".")) end_row = ir;
      }
    }
    if (start_row >= 1) cif_entity_list.ent_ires_start_tree(ient) = start_row;
    if (end_row >= 1) cif_entity_list.ent_ires_end_tree(ient) = end_row;
    // A back neighbour is the nearest earlier row with its number; one that
    // only a later row holds is the last such row.
    index_numbers(by_number, irs, irf);
    earlier.clear();
    for (int32_t j = irs; j <= irf; ++j) {
      const std::string_view bnum = cif_ent_poly_seq.ent_res_auth_bnum(j).view();
      int32_t b = earlier.last(bnum);
      if (b < 1) b = by_number.last(bnum);
      if (b >= 1) cif_ent_poly_seq.ent_ires_back(j) = b;
      earlier.add(cif_ent_poly_seq.ent_res_auth_num(j).view(), j);
    }
    for (int l = 1; l <= cif_ent_link.ent_ln_n && l <= MAXENTLINK; ++l) {
      if (cif_ent_link.ent_ln_ichain(l) != ient) continue;
      const int32_t a = by_number.last(cif_ent_link.ent_ln_auth_num1(l).view());
      if (a >= 1) {
        cif_ent_link.ent_ln_1ires(l) = a;
        cif_ent_link.ent_ln_1rnam(l) = cif_ent_poly_seq.ent_res_name(a);
      }
      const int32_t b = by_number.last(cif_ent_link.ent_ln_auth_num2(l).view());
      if (b >= 1) {
        cif_ent_link.ent_ln_2ires(l) = b;
        cif_ent_link.ent_ln_2rnam(l) = cif_ent_poly_seq.ent_res_name(b);
      }
    }
    int32_t e = 0;
    check_tree_crd_(mdoc, nres, cif_entity_list.ent_ires_start_tree(ient), cif_entity_list.ent_ires_end_tree(ient),
                    irs, irf, cif_ent_poly_seq.ent_ires_back.data(), cif_ent_poly_seq.ent_ires_forw.data(),
                    cif_ent_poly_seq.ent_iconn_type.data(), e);
    const int32_t st = cif_entity_list.ent_ires_start_tree(ient), en = cif_entity_list.ent_ires_end_tree(ient);
    if (st >= 1) cif_entity_list.ent_res_start_tree(ient) = cif_ent_poly_seq.ent_res_auth_num(st);
    if (en >= 1) cif_entity_list.ent_res_end_tree(ient) = cif_ent_poly_seq.ent_res_auth_num(en);
  }

  static std::vector<int32_t> row_of;
  const int ng = asym_part.n_group < MAXCHAIN ? asym_part.n_group : MAXCHAIN;
  for (int ig = 1; ig <= ng; ++ig) {
    const int32_t iasm = asym_part.igroup_asm(ig);
    if (iasm < 1 || iasm > cif_asym_part.n_grp_asm) continue;
    const int32_t ient = cif_asym_part.asm_chain_pointer(iasm);
    if (ient < 1 || ient > nent || cif_entity_list.ent_nres_chain(ient) <= 1) continue;
    asym_part.ich_type(ig) = cif_entity_list.ent_ichain_type(ient);
    asym_part.iterm_s_type(ig) = 7;
    asym_part.iterm_f_type(ig) = 7;
    asym_part.ires_start_tree(ig) = 0;
    asym_part.ires_end_tree(ig) = 0;
    int32_t istart = 0, ifinish = 0;
    const int32_t first = asym_part.ires_first(ig);
    const int32_t last = first + asym_part.nres_chain(ig) - 1;
    row_of.assign(static_cast<std::size_t>(last - first + 1), 0);
    const int32_t efirst = cif_entity_list.ent_ires_first(ient);
    const int32_t elast = efirst + cif_entity_list.ent_nres_chain(ient) - 1;
    // Only positions that the sequence table holds are looked at.
    const int32_t elo = efirst < 1 ? 1 : efirst;
    const int32_t ehi = elast > cif_ent_poly_seq.ent_nresidue ? cif_ent_poly_seq.ent_nresidue : elast;
    index_numbers(by_number, elo, ehi);
    by_occurrence.clear();
    counted.clear();
    for (int32_t p = elo; p <= ehi; ++p) by_occurrence.add(counted.next(cif_ent_poly_seq.ent_res_auth_num(p).view()), p);
    // The entity row of each residue: the row with its number that appears
    // as often before it, or the first row with its number.
    counted.clear();
    for (int32_t ir = first; ir <= last; ++ir) {
      int32_t j = by_occurrence.first(counted.next(author_number(ir)));
      if (j < 1) j = by_number.first(author_number(ir));
      row_of[static_cast<std::size_t>(ir - first)] = j;
    }
    const bool chain_repeats = counted.repeated;
    const int32_t estart = cif_entity_list.ent_ires_start_tree(ient);
    const int32_t eend = cif_entity_list.ent_ires_end_tree(ient);
    for (int32_t ir = first; ir <= last; ++ir) {
      const std::string_view rnum = author_number(ir);
      const int32_t j = row_of[static_cast<std::size_t>(ir - first)];
      if (estart >= 1 ? j == estart : rt::text_eq(rnum, cif_entity_list.ent_res_start_tree(ient).view())) {
        asym_part.iterm_s_type(ig) = cif_entity_list.ent_iterm_s_type(ient);
        istart = ir;
      }
      resid_inf.ires_back(ir) = 0;
      resid_inf.ires_forw(ir) = 0;
      if (eend >= 1 ? j == eend : rt::text_eq(rnum, cif_entity_list.ent_res_end_tree(ient).view())) {
        asym_part.ires_end_tree(ig) = ir;
        asym_part.iterm_f_type(ig) = cif_entity_list.ent_iterm_f_type(ient);
        ifinish = ir;
      }
      resid_inf.iconn_type(ir) = kGap;
    }
    for (int32_t ir = first; ir <= last; ++ir) {
      const int32_t j = row_of[static_cast<std::size_t>(ir - first)];
      if (j < 1) continue;
      resid_inf.iconn_type(ir) = cif_ent_poly_seq.ent_iconn_type(j);
      const int32_t eb = cif_ent_poly_seq.ent_ires_back(j);
      resid_inf.ires_back(ir) = eb < 1 ? 0 : first + eb - efirst;
    }
    int32_t e = 0;
    check_tree_crd_(mdoc, asym_part.nres_chain(ig), istart, ifinish, first, last, resid_inf.ires_back.data(),
                    resid_inf.ires_forw.data(), resid_inf.iconn_type.data(), e);
    asym_part.ires_start_tree(ig) = istart;
    asym_part.ires_end_tree(ig) = ifinish;
    if (chain_repeats) sequence_links_in_order(ig, first, last);
  }
  int32_t e = 0;
  check_terminus_(mdoc, e);
}
