// The second rebuilding pass: link neighbours, the walk over the model and
// the neighbour sets of each centre atom.
#include "restraints/second_rebuild.h"

#include <string>
#include <string_view>

#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "output/atom_str.h"
#include "restraints/neighbour_rebuild.h"
#include "runtime/format.h"

namespace {

constexpr int kMaxNeighbours = 10;

// First atom of residue ir named `name` with alternate code alt (a blank
// code is no code, as '.').
int32_t atom_in_residue(int32_t ir, std::string_view name, char alt) {
  if (ir < 1 || ir > resid_inf.n_residue) return 0;
  if (alt == ' ') alt = '.';
  const int32_t first = resid_inf.iratm_first(ir);
  for (int32_t a = first; a < first + resid_inf.natm_res(ir) && a <= atom_inf.n_atom; ++a) {
    if (a < 1) continue;
    char own = atom_inf.id_alt(a)(1);
    if (own == ' ') own = '.';
    if (atom_inf.atm_name(a) == name && own == alt) return a;
  }
  return 0;
}

// partner becomes an extra neighbour of a unless the tree joins them.
void add_extra(int32_t a, int32_t partner) {
  atom_str_t& s = atom_str;
  if (s.as_iback(a) == partner || s.as_ifor(a) == partner) return;
  if (s.as_iextr(a) < 1)
    s.as_iextr(a) = partner;
  else if (s.as_iextr2(a) < 1 && s.as_iextr(a) != partner)
    s.as_iextr2(a) = partner;
}

struct Neighbours {
  int32_t known[kMaxNeighbours];
  int32_t missing[kMaxNeighbours];
  int32_t ka = 0, kr = 0;
  void add(int32_t j) {
    const char t = atom_inf.atm_type(j)(1);
    if (t == 'D' || t == 'U') return;
    if (t == 'M' || t == 'R') {
      if (kr < kMaxNeighbours) missing[kr++] = j;
    } else if (ka < kMaxNeighbours) {
      known[ka++] = j;
    }
  }
};

char alt_of(int32_t a) { return atom_inf.id_alt(a)(1); }

// Neighbours of centre ia of residue ir (atoms ias..iaf).
Neighbours neighbours_of(int32_t ia, int32_t ir, int32_t ias, int32_t iaf) {
  const atom_str_t& s = atom_str;
  const atom_inf_t& at = atom_inf;
  Neighbours nb;
  auto back_name = [&](int32_t x) -> std::string_view {
    const int32_t b = s.as_iback(x);
    return (b > 0 && b >= ias && b <= at.n_atom) ? at.atm_name(b).view() : std::string_view("    ");
  };
  const std::string_view name = at.atm_name(ia).view();
  for (int32_t j = ias; j <= iaf; ++j) {
    if (j == ia || at.atm_name(j) == name) continue;
    if (!(rt::text_eq(back_name(ia), at.atm_name(j).view()) || rt::text_eq(back_name(j), name))) continue;
    const bool alts = alt_of(ia) == '.' || alt_of(j) == '.' ||
                      (alt_of(ia) == alt_of(j) && at.id_corr(ia)(1) == at.id_corr(j)(1));
    if (alts) nb.add(j);
  }
  if (s.as_iextr(ia) > 0 && s.as_iextr(ia) <= at.n_atom) nb.add(s.as_iextr(ia));
  if (s.as_iextr2(ia) > 0 && s.as_iextr2(ia) <= at.n_atom) nb.add(s.as_iextr2(ia));
  if (resid_inf.ires_back(ir) > 0 && s.as_iback(ia) > 0 && s.as_iback(ia) < ias) nb.add(s.as_iback(ia));
  if (resid_inf.ires_forw(ir) > 0 && s.as_ifor(ia) > iaf && s.as_ifor(ia) <= at.n_atom) nb.add(s.as_ifor(ia));
  return nb;
}

void place_around(int32_t mdoc, char list, int32_t ia, const Neighbours& nb, char h_flag, char rflag,
                  int32_t& na_miss, int32_t& na_rebld) {
  char codes[kMaxNeighbours];
  int ncodes = 0;
  for (int k = 0; k < nb.kr; ++k) {
    const char c = alt_of(nb.missing[k]);
    bool seen = false;
    for (int i = 0; i < ncodes; ++i) seen = seen || codes[i] == c;
    if (!seen) codes[ncodes++] = c;
  }
  for (int ic = 0; ic < ncodes; ++ic) {
    const char c = codes[ic];
    int32_t jkr[kMaxNeighbours], jka[kMaxNeighbours];
    int32_t nrb = 0, nat = 0;
    for (int k = 0; k < nb.kr; ++k)
      if (alt_of(nb.missing[k]) == c) jkr[nrb++] = nb.missing[k];
    for (int k = 0; k < nb.ka; ++k) {
      const int32_t a = nb.known[k];
      bool take = alt_of(a) == '.' || alt_of(a) == c;
      if (!take && c == '.') {
        // One alternate per name when the missing atoms belong to all.
        take = true;
        for (int e = 0; e < k; ++e) take = take && !(atom_inf.atm_name(nb.known[e]) == atom_inf.atm_name(a).view());
      }
      if (take) jka[nat++] = a;
    }
    if (list == 'T')
      msgdoc_(mdoc, rt::fmt("(' centre ',I8,' alt ',A,' known ',I3,' to place ',I3)", ia, std::string_view(&c, 1),
                            nat, nrb));
    if (nat < 1 || nrb < 1) continue;
    int32_t ierr = 0;
    switch (nat + nrb) {
      case 2:
        check_rbld_2_(mdoc, list, ia, nat, nrb, jka, jkr, h_flag, rflag, na_miss, na_rebld, ierr);
        break;
      case 3:
        check_rbld_3_(mdoc, list, ia, nat, nrb, jka, jkr, h_flag, rflag, na_miss, na_rebld, ierr);
        break;
      case 4:
        check_rbld_4_(mdoc, list, ia, nat, nrb, jka, jkr, h_flag, rflag, na_miss, na_rebld, ierr);
        break;
      default:
        break;
    }
  }
}

void trace_links(int32_t mdoc) {
  const link_inf_t& l = link_inf;
  for (int i = 1; i <= std::min<int32_t>(l.ln_n, MAXLINK); ++i)
    msgdoc_(mdoc, rt::fmt("(I5,1X,A,4I6,1X,A,1X,A,1X,A,1X,A)", i, l.ln_id(i).view(), l.ln_1ires(i), l.ln_1ichn(i),
                          l.ln_2ires(i), l.ln_2ichn(i), l.ln_atom1(i).view(), l.ln_atom2(i).view(),
                          l.ln_symm1(i).view(), l.ln_symm2(i).view()));
}

}  // namespace

void add_extra_atom_from_link_() {
  const link_inf_t& l = link_inf;
  r_scratch_t& r = r_scratch;
  std::string line;
  for (int i = 1; i <= std::min<int32_t>(l.ln_n, MAXLINK); ++i) {
    if (!link_in_unit(i)) continue;
    if (l.ln_1ichn(i) > asym_part.n_group || l.ln_2ichn(i) > asym_part.n_group) continue;
    rt::FixedText<4> name1(l.ln_atom1(i).sub(1, 4)), name2(l.ln_atom2(i).sub(1, 4));
    if (name1 == "." || name2 == ".") {
      if (r.lll_nlink < 1) {
        msgdoc_(0, " WARNING : number of links in library = 0");
        return;
      }
      int32_t found = 0;
      for (int k = 1; k <= std::min<int32_t>(r.lll_nlink, MAXLLNK) && found == 0; ++k)
        if (r.lll_lname(k) == l.ln_id(i).view()) found = k;
      if (found == 0) {
        line = " WARNING : link ";
        line.append(l.ln_id(i).view()).append(" not found in library.");
        msgdoc_(0, line);
        return;
      }
      r.lll_ilink = found;
      const int32_t first = r.lll_ibond(found);
      if (first < 1) return;
      int32_t bond = 0;
      for (int k = first; k <= std::min<int32_t>(r.llb_nbond, MAXLBND) && bond == 0; ++k)
        if (r.llb_lname(k) == l.ln_id(i).view()) bond = k;
      if (bond == 0) return;
      const bool forward = r.llb_f1atm(bond) == 1;
      name1 = forward ? r.llb_1atm(bond).view() : r.llb_2atm(bond).view();
      name2 = forward ? r.llb_2atm(bond).view() : r.llb_1atm(bond).view();
    }
    const int32_t ia1 = atom_in_residue(l.ln_1ires(i), name1.view(), l.ln_alt1(i)(1));
    const int32_t ia2 = atom_in_residue(l.ln_2ires(i), name2.view(), l.ln_alt2(i)(1));
    if (ia1 == 0 || ia2 == 0) return;
    add_extra(ia1, ia2);
    add_extra(ia2, ia1);
  }
}

void check_rebuild_(int32_t mdoc, char list, char h_flag, char rflag, int32_t& na_miss, int32_t& na_rebld,
                    int32_t& ierr) {
  ierr = 0;
  const asym_part_t& ch = asym_part;
  const resid_inf_t& res = resid_inf;
  if (ch.n_group < 1) return;
  if (list == 'T') trace_links(mdoc);
  add_extra_atom_from_link_();
  auto fail = [&](const char* text) {
    msgerr_(mdoc, text);
    ierr = 1;
  };
  for (int32_t ig = 1; ig <= std::min<int32_t>(ch.n_group, MAXCHAIN); ++ig) {
    const int32_t nr = ch.nres_chain(ig), first = ch.ires_first(ig), last = first + nr - 1;
    if (nr < 1 || first < 1) return fail(" ERROR: N-residues = 0");
    if (ch.ires_start_tree(ig) < 1) return fail(" ERROR: wrong tree structure ...");
    if (ch.ires_end_tree(ig) < 1) return fail(" ERROR: wrong tree structure .");
    int32_t ir = ch.ires_start_tree(ig);
    // A tree visits each residue once; more steps than residues is a loop.
    for (int32_t steps = 0;; ++steps) {
      if (ir < first || ir > last || ir > MAXRESID || steps >= nr) return fail(" ERROR: wrong tree structure .....");
      if (ir != ch.ires_start_tree(ig) && (res.ires_back(ir) < first || res.ires_back(ir) > last))
        return fail(" ERROR: wrong tree structure ....");
      const int32_t ias = res.iratm_first(ir), natm = res.natm_res(ir);
      if (natm < 1 || ias < 1) return fail(" ERROR: N-atoms = 0");
      const int32_t iaf = std::min<int32_t>(ias + natm - 1, atom_inf.n_atom);
      const bool water = res.res_name(ir) == "HOH" || res.res_name(ir) == "DUM";
      if (!water && natm > 3) {
        if (list == 'T') {
          msgdoc_(mdoc, "  i     alt type  ib if  Iextr iex2 corr");
          for (int32_t ia = ias; ia <= iaf; ++ia)
            msgdoc_(mdoc, rt::fmt("(I8,1X,A,1X,A,1X,A,4I8,1X,A)", ia, atom_inf.atm_name(ia).view(),
                                  atom_inf.id_alt(ia).view(), atom_inf.atm_type(ia).view(), atom_str.as_iback(ia),
                                  atom_str.as_ifor(ia), atom_str.as_iextr(ia), atom_str.as_iextr2(ia),
                                  atom_inf.id_corr(ia).view()));
        }
        for (int32_t ia = ias; ia <= iaf; ++ia) {
          const char t = atom_inf.atm_type(ia)(1);
          if (t == 'M' || t == 'R' || t == 'D' || t == 'U') continue;
          const Neighbours nb = neighbours_of(ia, ir, ias, iaf);
          if (nb.kr > 0) place_around(mdoc, list, ia, nb, h_flag, rflag, na_miss, na_rebld);
        }
      }
      if (ir == ch.ires_end_tree(ig)) break;
      ir = res.ires_forw(ir);
    }
  }
}
