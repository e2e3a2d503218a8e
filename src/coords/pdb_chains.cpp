// Residue numbering and chain regrouping of the PDB reader.
#include "coords/pdb_chains.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "coords/cif_unlabelled_chains.h"
#include "coords/pdb_corrections.h"
#include "coords/pdb_state.h"
#include "foundation/atom_com.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"

namespace {

bool joins(int32_t last_class, int32_t first_class) {
  const int a = last_class, b = first_class;
  if ((a == 3 || a == 4) && (b == 3 || b == 4 || b == 10)) return true;
  if (a == 10 && (b == 3 || b == 4)) return true;
  if ((a == 5 || a == 6) && (b == 5 || b == 6)) return true;
  return a == 9 && b == 9;
}

int32_t last_residue(int g) { return asym_part.ires_first(g) + asym_part.nres_chain(g) - 1; }

void trace_chain(int g, bool first, int is_new) {
  const int r1 = asym_part.ires_first(g), r2 = last_residue(g);
  if (first)
    std::printf(" --group 1: %.4s\n", asym_part.group_id(g).c);
  else
    std::printf(" --group: %d %.4s\n", g, asym_part.group_id(g).c);
  std::printf("   term : %d %d\n", asym_part.iterm_s_type(g), asym_part.iterm_f_type(g));
  std::printf("   type : %d %d\n", resid_inf.ires_type(r1), resid_inf.ires_type(r2));
  if (first)
    std::printf(" --------\n");
  else
    std::printf(" --  new: %d\n", is_new);
}

}  // namespace

void corr_number_chain_pdb_(int32_t /*mdoc*/, char list, int32_t& ierr) {
  ierr = 0;
  if (asym_part.n_group <= 1) return;
  const bool trace = list == 'T';
  const bool seg = crdinf.cr_segflag(1) == 'Y';

  // 1. Groups: each chain is compared with the chain before it only.
  int32_t group = 1;
  asym_part.i_ncs(1) = 1;
  if (trace) trace_chain(1, true, 0);
  for (int k = 2; k <= asym_part.n_group; ++k) {
    // Waters whose numbers went past 9999 or restarted after it stay a
    // chain of their own, or one chain would hold their numbers twice.
    const bool join = sttcrec.st_chain_bridged(k) != 0 ||
                      (asym_part.group_id(k) == asym_part.group_id(k - 1) &&
                       sttcrec.st_chain_wraps(k) == 0 && asym_part.iterm_f_type(k - 1) != 2 &&
                       asym_part.iterm_s_type(k) != 4 &&
                       joins(resid_inf.ires_type(last_residue(k - 1)),
                             resid_inf.ires_type(asym_part.ires_first(k))));
    if (!join) ++group;
    asym_part.i_ncs(k) = group;
    if (trace) trace_chain(k, false, join ? 0 : 1);
  }

  // 2. Residues: links across junctions, serials of joined pieces raised.
  int32_t prev_chain = 1, prev_group = 1;
  int32_t s = resid_inf.n_residue >= 1 ? resid_inf.ires_serial(1) : 0;
  int32_t offset = 0;
  for (int r = 2; r <= resid_inf.n_residue; ++r) {
    const int32_t k = resid_inf.i_chain(r);
    const int32_t g = asym_part.i_ncs(k);
    resid_inf.i_chain(r) = g;
    resid_inf.ires_forw(r) = 0;
    if (k != prev_chain) offset = s;
    if (g == prev_group) {
      resid_inf.ires_back(r) = r - 1;
      resid_inf.ires_forw(r - 1) = r;
      if (k != prev_chain) {
        const int32_t cls = resid_inf.ires_type(r);
        const int32_t d = resid_inf.ires_serial(r) - s;
        const rt::FixedText<8>& name = resid_inf.res_name(r);
        int32_t conn = 1;
        if (cls == 3 || cls == 4 || cls == 10) {
          conn = 2;
          if (foundation::is_proline_like(name)) conn = 36;
          if (foundation::is_n_methyl(name)) conn = 38;
          if (d > 1) conn = 10;
        } else if (cls == 5 || cls == 6) {
          conn = d > 1 ? 10 : 4;
        } else if (cls == 7 || cls == 8) {
          conn = 11;
        }
        resid_inf.iconn_type(r) = conn;
      }
    } else {
      resid_inf.ires_back(r) = -1;
      offset = 0;
      const char digit = g > 9 ? '0' : static_cast<char>('0' + g);
      rt::FixedText<12>& key = resid_inf.res_num_pdb(r);
      key(2) = digit;
      if (seg)
        key(12) = digit;
      else
        key(9) = digit;
    }
    s = resid_inf.ires_serial(r);
    resid_inf.ires_serial(r) += offset;
    prev_chain = k;
    prev_group = g;
  }

  // 3. Chain indexes of links and modifications.
  for (int l = 1; l <= link_inf.ln_n; ++l) {
    if (link_inf.ln_1ichn(l) >= 1) link_inf.ln_1ichn(l) = asym_part.i_ncs(link_inf.ln_1ichn(l));
    if (link_inf.ln_2ichn(l) >= 1) link_inf.ln_2ichn(l) = asym_part.i_ncs(link_inf.ln_2ichn(l));
  }
  for (int m = 1; m <= mod_inf.mod_n; ++m)
    if (mod_inf.mod_ichn(m) >= 1) mod_inf.mod_ichn(m) = asym_part.i_ncs(mod_inf.mod_ichn(m));

  // 4. The chain table again, from the residues.
  if (trace) std::printf(" --new group definition --\n");
  asym_part.n_group = 0;
  int32_t G = 0;
  for (int r = 1; r <= resid_inf.n_residue; ++r) {
    if (r == 1 || resid_inf.i_chain(r) != resid_inf.i_chain(r - 1)) {
      G = ++asym_part.n_group;
      asym_part.ires_first(G) = r;
      asym_part.ires_start_tree(G) = r;
      asym_part.iatom_first(G) = resid_inf.iratm_first(r);
      asym_part.i_ncs(G) = 0;
      asym_part.ncs_flag(G) = ".";
      asym_part.iterm_s_type(G) = 1;
      asym_part.iterm_f_type(G) = 1;
      asym_part.ichain_grp(G) = G;
      asym_part.chain_id(G) = resid_inf.res_num_pdb(r).sub(8, 11);
      asym_part.group_id(G) = resid_inf.res_num_pdb(r).sub(8, 11);
      asym_part.natm_chain(G) = 0;
      asym_part.nres_chain(G) = 0;
    }
    asym_part.natm_chain(G) += resid_inf.natm_res(r);
    asym_part.nres_chain(G) += 1;
    asym_part.ires_end_tree(G) = r;
    const int32_t cls = resid_inf.ires_type(r);
    int32_t t;
    if (asym_part.nres_chain(G) == 1)
      t = 2;
    else if (cls == 3 || cls == 4 || cls == 10)
      t = 3;
    else if (cls == 5 || cls == 6)
      t = 5;
    else if (cls == 7 || cls == 8)
      t = 7;
    else
      t = 10;
    if (pdb::is_water(resid_inf.res_name(r))) t = 9;
    asym_part.ich_type(G) = t;
    if (trace) {
      if (asym_part.nres_chain(G) == 1)
        std::printf(" group: %d < %.4s > %d\n", G, asym_part.group_id(G).c, t);
      std::printf(" --IR: %d %d < %.12s > %d\n", r, G, resid_inf.res_num_pdb(r).c, cls);
    }
  }
}

namespace {

bool same_number(int r1, int r2) {
  return std::memcmp(resid_inf.res_num_pdb(r1).c + 2, resid_inf.res_num_pdb(r2).c + 2, 5) == 0;
}

// Chain k holds one residue, off the polymer classes, and was opened by its
// class alone.
bool lone_atom_residue(int k) {
  return sttcrec.st_chain_by_class(k) != 0 && asym_part.nres_chain(k) == 1 &&
         !pdb::is_polymer_class(resid_inf.ires_type(asym_part.ires_first(k)));
}

}  // namespace

void coords::bridge_atom_residues() {
  const int n = asym_part.n_group;
  int k = 2;
  while (k <= n) {
    if (!lone_atom_residue(k)) {
      ++k;
      continue;
    }
    int j = k;
    while (j <= n && lone_atom_residue(j)) ++j;
    const int before = last_residue(k - 1);
    bool bridge = j <= n && sttcrec.st_chain_by_class(j) != 0 &&
                  asym_part.iterm_f_type(k - 1) != 2 &&
                  pdb::is_polymer_class(resid_inf.ires_type(before)) &&
                  joins(resid_inf.ires_type(before), resid_inf.ires_type(asym_part.ires_first(j)));
    for (int q = k; q < j && bridge; ++q) {
      const int r = asym_part.ires_first(q);
      if (same_number(r, r - 1) || same_number(r, r + 1)) bridge = false;
    }
    if (bridge)
      for (int q = k; q <= j; ++q) sttcrec.st_chain_bridged(q) = 1;
    k = j + 1;
  }
}

namespace {

// Who each residue's chain was as the atom loop read it (sttcrec.st_chain_part
// of its chain before the regrouping): one segment may hold several chain
// letters, and one author chain several labels, each numbered from 1, and
// the regrouping makes one chain of them.  Noted by note_numbers_given_again.
std::vector<rt::FixedText<8>> residue_parts;

// Who the residue's chain is and its number with insertion code, as one
// look-up key.
constexpr int kHeldKey = 8 + 5;
void held_key(int r, const rt::FixedText<8>& part, char out[kHeldKey]) {
  std::memcpy(out, part.c, 8);
  std::memcpy(out + 8, resid_inf.res_num_pdb(r).c + 2, 5);
}

const rt::FixedText<8>& residue_part(int r) {
  static const rt::FixedText<8> none("");
  return static_cast<std::size_t>(resid_inf.n_residue) == residue_parts.size()
             ? residue_parts[static_cast<std::size_t>(r - 1)]
             : none;
}

// How many residues of first..first+n-1 hold the number and insertion code
// of their part, kept at the first of them (0 at the others); true when a
// number is held more than once.  An index over the keys keeps the count
// linear for long chains (a chain of waters may hold thousands of
// residues).
bool count_numbers(int first, int n, std::vector<int32_t>& times) {
  static foundation::LookupIndex<kHeldKey, MAXRESID> seen;
  seen.clear();
  times.assign(static_cast<std::size_t>(n), 0);
  bool again = false;
  for (int r = first; r < first + n; ++r) {
    char k[kHeldKey];
    held_key(r, residue_part(r), k);
    const std::string_view kv(k, kHeldKey);
    int32_t q = seen.first(kv);
    if (q == 0) {
      seen.add(kv, r);
      q = r;
    }
    again = again || q != r;
    ++times[static_cast<std::size_t>(q - first)];
  }
  return again;
}

}  // namespace

void check_num_in_chain_(int32_t mdoc, int32_t& ierr) {
  ierr = 0;
  const bool seg = crdinf.cr_segflag(1) == 'Y';
  std::vector<int32_t> times;
  for (int g = 1; g <= asym_part.n_group; ++g) {
    const int n = asym_part.nres_chain(g);
    if (n < 2) continue;
    const int first = asym_part.ires_first(g);
    if (!count_numbers(first, n, times)) continue;
    for (int i = first; i < first + n; ++i) {
      const int32_t t = times[static_cast<std::size_t>(i - first)];
      if (t < 2) continue;
      const char* ki = resid_inf.res_num_pdb(i).c;
      coords::report_same_number(mdoc, std::string_view(ki + 7, seg ? 4 : 1),
                                 std::string_view(ki + 2, 5), t);
      ierr = 6;
    }
  }
}

namespace {

bool holds_alternates(int r) {
  const int first = resid_inf.iratm_first(r);
  for (int a = first; a < first + resid_inf.natm_res(r); ++a) {
    const char c = atom_inf.id_alt(a)(1);
    if (c != '.' && c != ' ') return true;
  }
  return false;
}

// The author's chain of a residue once the chain identifiers are set: the
// segment identifier of its chain, or the chain letter that every piece of
// one chain keeps first in its residues' keys.  In an mmCIF file that names
// no chain, each entity's piece of the blank chain is a chain of its own.
bool same_author_chain(int r1, int r2, bool seg) {
  if (coords::unlabelled_pieces_differ(r1, r2)) return false;
  if (seg)
    return asym_part.chain_id(resid_inf.i_chain(r1)) == asym_part.chain_id(resid_inf.i_chain(r2));
  return resid_inf.res_num_pdb(r1)(1) == resid_inf.res_num_pdb(r2)(1);
}

// Two residues at one number whose atoms coincide are one residue written
// twice (a microheterogeneity whose alternate codes a writer dropped), not
// two.  A residue's atoms stand side by side in the coordinate table.
bool atoms_coincide(int q, int r) {
  const int nq = resid_inf.natm_res(q), nr = resid_inf.natm_res(r);
  if (nq < 1 || nr < 1) return false;
  return coords::positions_coincide(atom_crd.xyz_crd.column(resid_inf.iratm_first(q)),
                                    static_cast<std::size_t>(nq),
                                    atom_crd.xyz_crd.column(resid_inf.iratm_first(r)),
                                    static_cast<std::size_t>(nr));
}

// A residue given again in a blank chain lies on the earlier residue of its
// number atom for atom.
bool lies_on_namesakes(int q, int r) {
  const int nq = resid_inf.natm_res(q), nr = resid_inf.natm_res(r);
  if (nq < 1 || nr < 1) return false;
  const int fq = resid_inf.iratm_first(q), fr = resid_inf.iratm_first(r);
  return coords::namesakes_coincide(atom_crd.xyz_crd.column(fq), &atom_inf.atm_name(fq),
                                    static_cast<std::size_t>(nq), atom_crd.xyz_crd.column(fr),
                                    &atom_inf.atm_name(fr), static_cast<std::size_t>(nr));
}

// Whether the boxes about the `na` points of a and the `nb` points of b
// are more than `gap` apart along some axis: then no two points are nearer.
bool boxes_apart(const float* a, std::size_t na, const float* b, std::size_t nb, float gap) {
  for (int k = 0; k < 3; ++k) {
    float alo = a[k], ahi = a[k], blo = b[k], bhi = b[k];
    for (std::size_t i = 1; i < na; ++i) {
      alo = std::min(alo, a[3 * i + k]);
      ahi = std::max(ahi, a[3 * i + k]);
    }
    for (std::size_t j = 1; j < nb; ++j) {
      blo = std::min(blo, b[3 * j + k]);
      bhi = std::max(bhi, b[3 * j + k]);
    }
    if (blo - ahi > gap || alo - bhi > gap) return true;
  }
  return false;
}

// An atom of residue s lies within a bond of an atom of residue q.
bool lies_near(int q, int s) {
  const int nq = resid_inf.natm_res(q), ns = resid_inf.natm_res(s);
  if (nq < 1 || ns < 1) return false;
  const float* a = atom_crd.xyz_crd.column(resid_inf.iratm_first(q));
  const float* b = atom_crd.xyz_crd.column(resid_inf.iratm_first(s));
  const auto na = static_cast<std::size_t>(nq), nb = static_cast<std::size_t>(ns);
  return !boxes_apart(a, na, b, nb, coords::kChainBondReach) &&
         coords::positions_within(a, na, b, nb, coords::kChainBondReach);
}

}  // namespace

bool coords::namesakes_coincide(const float* a, const rt::FixedText<4>* a_names, std::size_t na,
                                const float* b, const rt::FixedText<4>* b_names, std::size_t nb) {
  // The copies of a chain in one blank chain are each compared with every
  // earlier copy at each number: most lie apart, told by their boxes at
  // the cost of one pass over their atoms.
  if (na > 1 && nb > 1 && boxes_apart(a, na, b, nb, kNamesakesApart)) return false;
  for (std::size_t i = 0; i < na; ++i) {
    for (std::size_t j = 0; j < nb; ++j) {
      if (a_names[i] == b_names[j] && nearer(a + 3 * i, b + 3 * j, kNamesakesApart)) return true;
    }
  }
  return false;
}

bool coords::positions_within(const float* a, std::size_t na, const float* b, std::size_t nb,
                              float bound) {
  for (std::size_t i = 0; i < na; ++i) {
    for (std::size_t j = 0; j < nb; ++j) {
      if (nearer(a + 3 * i, b + 3 * j, bound)) return true;
    }
  }
  return false;
}

bool coords::positions_coincide(const float* a, std::size_t na, const float* b, std::size_t nb) {
  return positions_within(a, na, b, nb, kCoincide);
}

void coords::check_split_numbers(int32_t mdoc, int32_t& ierr) {
  const bool seg = crdinf.cr_segflag(1) == 'Y';
  // The second residue of the last pair named, and whether it was refused,
  // so that a run of residues at one number is named once, with them all.
  int named = 0;
  bool named_refused = false;
  SameNumbers refused;
  for (int r = 2; r <= resid_inf.n_residue; ++r) {
    const int q = r - 1;
    if (resid_inf.i_chain(r) == resid_inf.i_chain(q)) continue;
    const char* kr = resid_inf.res_num_pdb(r).c;
    const char* kq = resid_inf.res_num_pdb(q).c;
    if (std::memcmp(kr + 2, kq + 2, 5) != 0 || !same_author_chain(q, r, seg)) continue;
    if (holds_alternates(q) && holds_alternates(r)) continue;
    // Waters numbered from 1 after a chain that ends at 1 are a range of
    // their own, never a residue split in two.
    if (pdb::is_water(resid_inf.res_name(q).view()) || pdb::is_water(resid_inf.res_name(r).view()))
      continue;
    const std::string_view chain =
        seg ? rt::trim_right(asym_part.chain_id(resid_inf.i_chain(q)).view())
            : std::string_view(kq, 1);
    const bool in_run = named == q;
    named = r;
    if (in_run && named_refused) {
      refused.add(chain, std::string_view(kq + 2, 5));
      continue;
    }
    // A residue split by a line of another name (SER 91, SEX 91, SER 91),
    // or written twice over itself under two names.  A name that never
    // left returns from nowhere: residues of one name at one number in
    // chains of their own (one residue of each chain of the entry, in a
    // file that names no chain) are each a residue.
    // A ligand's name returning at a distance is a further ligand of the
    // number (the ligands of several chains at number 0 without chain
    // letters, FX0, CLR, FX0): a part split off a residue is bonded to it.
    const int s = r + 1;
    const bool name_returns =
        s <= resid_inf.n_residue && std::memcmp(resid_inf.res_num_pdb(s).c + 2, kr + 2, 5) == 0 &&
        same_author_chain(r, s, seg) && resid_inf.res_name(s) == resid_inf.res_name(q) &&
        !(resid_inf.res_name(r) == resid_inf.res_name(q)) &&
        (pdb::is_polymer_class(resid_inf.ires_type(q)) || lies_near(q, s));
    named_refused = name_returns || atoms_coincide(q, r);
    if (named_refused) {
      refused.add(chain, std::string_view(kq + 2, 5));
    } else if (!in_run) {
      warn_two_at_one_number(chain, std::string_view(kq + 2, 5), resid_inf.res_name(q).trimmed(),
                             resid_inf.res_name(r).trimmed());
    }
  }
  ierr = refused.report(mdoc);
}

namespace {

// Residues of a named chain whose number an earlier residue of that chain
// held, as noted before the chains were regrouped: the residue, the one
// that held the number first, and the chain as the file names it.
struct GivenAgain {
  int32_t residue, first;
  rt::FixedText<4> chain;
};
std::vector<GivenAgain> given_again;

}  // namespace

void coords::note_numbers_given_again() {
  static foundation::LookupIndex<kHeldKey, MAXRESID> held;
  held.clear();
  given_again.clear();
  // The polymer residues of a blank chain by number.
  std::unordered_map<std::string, std::vector<int32_t>> blank_held;
  residue_parts.resize(static_cast<std::size_t>(resid_inf.n_residue));
  const bool seg = crdinf.cr_segflag(1) == 'Y';
  char before[kHeldKey] = {};
  for (int r = 1; r <= resid_inf.n_residue; ++r) {
    const rt::FixedText<8>& part = sttcrec.st_chain_part(resid_inf.i_chain(r));
    residue_parts[static_cast<std::size_t>(r - 1)] = part;
    char k[kHeldKey];
    held_key(r, part, k);
    const bool after_same = r > 1 && std::memcmp(k, before, kHeldKey) == 0;
    std::memcpy(before, k, kHeldKey);
    // Waters and ligands keep whatever numbers their pieces give them.
    if (!pdb::is_polymer_class(resid_inf.ires_type(r))) continue;
    // A blank chain is no chain of its own: a simulation's chains, parted
    // by TER records and each numbered from 1, share it.  But a residue of
    // it whose atoms lie on their namesakes of an earlier residue of its
    // number is that residue given again (two models written as one).
    const std::string_view chain = resid_inf.res_num_pdb(r).sub(8, seg ? 11 : 8);
    if (rt::len_trim(chain) == 0 || std::memcmp(k, "        ", 8) == 0) {
      std::vector<int32_t>& at = blank_held[std::string(k + 8, 5)];
      // Residues at one number side by side are check_split_numbers' matter.
      if (!after_same) {
        for (const int32_t q : at) {
          if (!lies_on_namesakes(q, r)) continue;
          given_again.push_back({r, q, rt::FixedText<4>("")});
          break;
        }
      }
      at.push_back(r);
      continue;
    }
    const std::string_view kv(k, kHeldKey);
    const int32_t q = held.first(kv);
    if (q == 0) {
      held.add(kv, r);
      continue;
    }
    // Residues at one number side by side are check_split_numbers' matter.
    if (after_same) continue;
    GivenAgain& g = given_again.emplace_back();
    g.residue = r;
    g.first = q;
    g.chain = chain;
  }
}

int32_t coords::numbers_given_again_report(int32_t mdoc) {
  SameNumbers again;
  for (const GivenAgain& g : given_again) {
    // Two residues of one chain of the model are check_num_in_chain_'s.
    if (resid_inf.i_chain(g.residue) == resid_inf.i_chain(g.first)) continue;
    // The blank chain named as check_num_in_chain_ names it.
    const std::string_view chain = g.chain.trimmed();
    again.add(chain.empty() ? " " : chain, resid_inf.res_num_pdb(g.residue).sub(3, 7));
  }
  return again.report(mdoc);
}

namespace {

// The pairs of residues at one number already named in a warning, by
// chain, number and names, since the rows of an mmCIF file and the chains
// of its PDB form may each show the same pair.
std::unordered_set<std::string> warned_pairs;

}  // namespace

void coords::two_at_one_number_start() { warned_pairs.clear(); }

void coords::warn_two_at_one_number(std::string_view chain, std::string_view number,
                                    std::string_view name1, std::string_view name2) {
  const std::string_view n = rt::trim(number);
  std::string key(chain);
  key.append("|").append(n).append("|").append(name1).append("|").append(name2);
  if (!warned_pairs.insert(key).second) return;
  msgdoc_(1, " WARNING: residues " + std::string(name1) + " and " + std::string(name2) +
                 " of chain " + std::string(chain) + " share number " + std::string(n) +
                 ": read as two residues");
}

void coords::report_same_number(int32_t mdoc, std::string_view chain, std::string_view number,
                                int32_t times) {
  msgerr_(mdoc, "ERROR: in chain " + std::string(chain) + " residue:" +
                    std::string(rt::trim_right(number)) + ", given " + std::to_string(times) +
                    " times");
  msgerr_(mdoc, "       different residues have the same number");
}

void coords::SameNumbers::add(std::string_view chain, std::string_view number, int32_t more) {
  std::string key(chain);
  key.append(1, '\n').append(number);
  const auto [at, fresh] = index_.try_emplace(std::move(key), held_.size());
  if (fresh) held_.push_back({std::string(chain), std::string(number), 1});
  held_[at->second].times += more;
}

int32_t coords::SameNumbers::report(int32_t mdoc) const {
  for (const Held& h : held_) report_same_number(mdoc, h.chain, h.number, h.times);
  return held_.empty() ? 0 : 6;
}

void coords::InterleavedCopies::given_again(std::string_view rname, std::string_view number) {
  std::string name(rt::trim(rname));
  name.append(" ").append(rt::trim(number));
  if (since_again_ == 1 && first_.is_blank() && !(again_ == name)) {
    first_ = again_;
    second_ = name;
  }
  again_ = name;
  since_again_ = 0;
}

int32_t coords::InterleavedCopies::report(int32_t mdoc) const {
  if (first_.is_blank()) return 0;
  msgerr_(mdoc, "ERROR: residues " + std::string(first_.trimmed()) + " and " +
                    std::string(second_.trimmed()) +
                    " are each given twice in a row, lying apart: copies of a chain written "
                    "residue by residue, which no chain can hold; give each copy a chain letter");
  return 6;
}

// Solvated models give every ion, and a water under a name no list holds,
// a chain of its own: the bare limit would not say why a model of a few
// chains has run out of them.
void coords::explain_chain_limit(int32_t mdoc, std::string_view rname, std::string_view number,
                                 std::string_view chain) {
  const std::string_view name = rt::trim(rname);
  if (pdb::is_polymer_class(pdb::residue_class(name)) || pdb::is_any_water(name)) return;
  std::string line = " ERROR: residue " + std::string(name) + " " +
                     std::string(rt::trim(number.substr(0, 4)));
  const char ins = number.size() > 4 ? number[4] : ' ';
  if (ins != ' ' && ins != '.' && ins != '?') line += ins;
  chain = rt::trim(chain);
  if (!chain.empty()) line += " of chain " + std::string(chain);
  line += " passed the limit: each residue outside a polymer, other than a water, is a chain "
          "of its own";
  msgerr_(mdoc, line);
}

std::string coords::key_chain_name(const rt::FixedText<12>& key) {
  std::string chain(rt::trim_right(key.sub(8, 11)));
  if (chain.size() == 2 && chain[0] == chain[1]) chain.resize(1);
  return chain;
}
