// Chains, residues and atoms of the structure tables from CIF atom rows.
#include "coords/cif_store_atom.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "coords/cif_atom_rows.h"
#include "coords/cif_header.h"
#include "coords/pdb_chains.h"
#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/cif_vocab.h"
#include "foundation/lookup_index.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "foundation/words.h"
#include "suite/pi.h"

namespace {

// Residues of the current read whose rows named a second residue kind, with
// the kinds named besides the residue's own (as many as the error line
// counts; more are still a residue named).
constexpr int kMaxMixed = 100;
constexpr int kMaxKinds = 8;
struct Mixed {
  int32_t residue;
  int n_other;
  rt::FixedText<8> other[kMaxKinds];
};
int g_n_mixed = 0;
Mixed g_mixed[kMaxMixed];

// The first five characters of n written as a 5-column right-justified
// integer; a number wider than five columns marks its second character with
// "*" (so it never equals a 4-column residue number).
void five_column_number(int32_t n, char out[5]) {
  char buf[12];
  int len = 0;
  uint32_t q = n < 0 ? 0U - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
  do {
    buf[len++] = static_cast<char>('0' + q % 10);
    q /= 10;
  } while (q > 0);
  if (n < 0) buf[len++] = '-';
  for (int i = 0; i < 5; ++i) {
    const int d = len >= 5 ? len - 1 - i : (i < 5 - len ? -1 : 4 - i);
    out[i] = d < 0 ? ' ' : buf[d];
  }
  if (len > 5) out[1] = '*';
}

// The link rows by the chain and residue number of each end (four and five
// characters): a residue finds its rows without a scan of the whole table,
// which on the largest entries (thousands of rows, tens of thousands of
// residues) was most of the read.  Built at the first residue of a read,
// and again should the table have grown since; the atom rows change no key.
// An end that a connection row names by the file's sequence number alone
// is kept apart, under that number: the author's number of its residue
// may be another.
struct LinkEnds {
  foundation::LookupIndex<9, MAXLINK> end1, end2;
  foundation::LookupIndex<9, MAXLINK> seq1, seq2;  // by chain and sequence number
  int32_t rows = -1;  // rows indexed

  static std::string key(const rt::FixedText<4>& chain, const rt::FixedText<5>& number) {
    return std::string(chain.view()) + std::string(number.view());
  }
  static std::string seq_key(const rt::FixedText<4>& chain, int32_t seq) {
    char num[5];
    five_column_number(seq, num);
    return std::string(chain.view()) + std::string(num, 5);
  }
  void build() {
    end1.clear();
    end2.clear();
    seq1.clear();
    seq2.clear();
    rows = link_inf.ln_n < MAXLINK ? link_inf.ln_n : MAXLINK;
    for (int l = 1; l <= rows; ++l) {
      if (const int32_t s = coords::conn_label_seq(l, 1); s > 0)
        seq1.add(seq_key(link_inf.ln_1chn(l), s), l);
      else
        end1.add(key(link_inf.ln_1chn(l), link_inf.ln_seq1(l)), l);
      if (const int32_t s = coords::conn_label_seq(l, 2); s > 0)
        seq2.add(seq_key(link_inf.ln_2chn(l), s), l);
      else
        end2.add(key(link_inf.ln_2chn(l), link_inf.ln_seq2(l)), l);
    }
  }
};
LinkEnds g_link_ends;

// Notes the current residue when the atom's residue name is not the one the
// residue was opened with.  Kept out of line: inlined, it slowed the atom
// store, the reader's hot path, measurably.
[[gnu::noinline]] void check_kind() {
  const int r = resid_inf.n_residue;
  if (std::memcmp(crdatm.cr_rname.c, resid_inf.res_name(r).c, 8) == 0) return;
  if (g_n_mixed == 0 || g_mixed[g_n_mixed - 1].residue != r) {
    if (g_n_mixed == kMaxMixed) return;
    g_mixed[g_n_mixed++] = {r, 0, {}};
  }
  Mixed& m = g_mixed[g_n_mixed - 1];
  for (int k = 0; k < m.n_other; ++k)
    if (m.other[k] == crdatm.cr_rname) return;
  if (m.n_other < kMaxKinds) m.other[m.n_other++] = crdatm.cr_rname;
}

// The run-time table holds the library's monomers.  A nucleotide that the
// reader named after an older file's one letter (Gd, Ur) is a nucleotide
// whether the library lists it or not, as the PDB reader takes it: the
// later stages then give it its deoxy or ribo name from its atoms, and one
// model names one monomer from either file form.
int32_t res_class(std::string_view rname) {
  int32_t itype = 1, ierr = 0;
  get_ini_res_type_(0, std::string_view(), rname, itype, ierr);
  if (itype == 1 && foundation::is_one_letter_nucleotide_monomer(rname)) itype = 5;
  return itype;
}

// Texts compared as the code base compares them (the shorter padded with
// blanks); two of the same small width, the usual case, as one block.
template <std::size_t N>
inline bool same_text(std::string_view a, std::string_view b) {
  static_assert(N >= 4 && N <= 8);
  if (a.size() == N && b.size() == N) {
    // The first four characters as one integer read straight from the
    // texts, the rest one by one.
    uint32_t x, y;
    std::memcpy(&x, a.data(), 4);
    std::memcpy(&y, b.data(), 4);
    bool same = x == y;
    for (std::size_t i = 4; i < N; ++i) same &= a[i] == b[i];
    return same;
  }
  return rt::text_eq(a, b);
}

bool open_chain(int32_t mdoc, int32_t& ierr) {
  const int g = ++asym_part.n_group;
  if (g > MAXCHAIN) {
    foundation::table_full(mdoc, " ERROR: number of chains in asym. part > limit ",
                           {.constant = "MAXCHAIN", .header = "atom_com", .quoted = false});
    coords::explain_chain_limit(mdoc, crdatm.cr_rname.view(), crdatm.cr_pnum.sub(3, 7),
                                coords::key_chain_name(crdatm.cr_pnum));
    ierr = 1;
    return false;
  }
  asym_part.i_ncs(g) = 1;
  asym_part.nres_chain(g) = 0;
  asym_part.natm_chain(g) = 0;
  asym_part.ires_first(g) = resid_inf.n_residue + 1;
  asym_part.ichain_grp(g) = g;
  asym_part.mult_flag(g) = 1;
  asym_part.iterm_s_type(g) = 1;
  asym_part.iterm_f_type(g) = 1;
  asym_part.ich_type(g) = 1;
  asym_part.ncs_flag(g) = ".";
  asym_part.ires_start_tree(g) = 0;
  asym_part.ires_end_tree(g) = 0;
  int found = 0;
  for (int k = 1; k <= cif_asym_part.n_grp_asm && k <= MAXCHAIN; ++k) {
    if (cif_asym_part.asm_group_id(k) == crdatm.cr_group && cif_asym_part.asm_chain_pointer(k) > 0) {
      found = k;
      break;
    }
  }
  if (found > 0) {
    const int e = cif_asym_part.asm_chain_pointer(found);
    asym_part.group_id(g) = crdatm.cr_group;
    asym_part.igroup_asm(g) = found;
    cif_asym_part.asm_group_pointer(found) = g;
    asym_part.chain_id(g) = cif_entity_list.ent_chain_id(e);
    asym_part.ich_type(g) = cif_entity_list.ent_ichain_type(e);
  } else {
    asym_part.group_id(g) = crdatm.cr_group;
    asym_part.chain_id(g) = crdatm.cr_group;
    asym_part.igroup_asm(g) = 0;
  }
  asym_part.iatom_first(g) = atom_inf.n_atom + 1;
  return true;
}

bool open_residue(int32_t mdoc, std::string_view resnum, int32_t& ierr) {
  const int g = asym_part.n_group;
  const int r = ++resid_inf.n_residue;
  if (r == 1) g_n_mixed = 0;
  if (r > MAXRESID) {
    foundation::table_full(mdoc, " ERROR: number of monomers > limit.",
                           {.constant = "MAXRESID", .header = "atom_com", .quoted = false});
    ierr = 1;
    return false;
  }
  if (asym_part.nres_chain(g) == 0) {
    asym_part.ires_start_tree(g) = r;
    resid_inf.ires_back(r) = -1;
  } else {
    resid_inf.ires_forw(r - 1) = r;
    resid_inf.ires_back(r) = r - 1;
  }
  resid_inf.ires_forw(r) = 0;
  // The chain's tree ends at its latest residue, as on the PDB road; the
  // entity description built from the model needs both ends of the tree.
  asym_part.ires_end_tree(g) = r;
  asym_part.nres_chain(g) += 1;
  resid_inf.natm_res(r) = 0;
  resid_inf.ires_serial(r) = crdatm.cr_ires;
  resid_inf.res_name(r) = crdatm.cr_rname;
  resid_inf.i_chain(r) = g;
  resid_inf.iratm_first(r) = atom_inf.n_atom + 1;
  resid_inf.mod_flag(r) = "N";
  resid_inf.link_flag(r) = "N";

  const rt::FixedText<4>& gid = asym_part.group_id(g);
  rt::FixedText<12>& key = resid_inf.res_num_pdb(r);
  key(1) = gid(1);
  key(2) = gid(2);
  for (int i = 0; i < 5; ++i) key(3 + i) = resnum[i];
  for (int i = 1; i <= 4; ++i) key(7 + i) = gid(i);
  key(12) = ' ';

  char num[5];
  five_column_number(crdatm.cr_ires, num);
  // Compared character by character: the number was just written a
  // character at a time, and a wider read of it would wait for those writes.
  const char* p = crdatm.cr_pnum.c + 2;
  if (num[1] != p[0] || num[2] != p[1] || num[3] != p[2] || num[4] != p[3]) com_out_cif.out_cif_ins = 0;

  const int32_t cls = res_class(crdatm.cr_rname.view());
  resid_inf.ires_type(r) = cls;
  const rt::FixedText<8>& rname = crdatm.cr_rname;
  if (asym_part.nres_chain(g) == 1) {
    asym_part.ich_type(g) = 2;
    resid_inf.iconn_type(r) = 1;
  } else {
    asym_part.ich_type(g) = 10;
    resid_inf.iconn_type(r) = coords::connection_in_chain(cls, rname.view());
    if (cls == 3 || cls == 5 || cls == 7) asym_part.ich_type(g) = cls;
  }
  if (foundation::name_in(rname.view(), foundation::kSolvent)) {
    resid_inf.iconn_type(r) = 1;
    asym_part.ich_type(g) = 9;
  }

  if (r == 1 || g_link_ends.rows != link_inf.ln_n) g_link_ends.build();
  const auto first_end = [&](int32_t l) {
    link_inf.ln_1ires(l) = r;
    link_inf.ln_1ichn(l) = g;
    link_inf.ln_1rnam(l) = rname;
    resid_inf.link_flag(r) = "Y";
  };
  const auto second_end = [&](int32_t l) {
    link_inf.ln_2ires(l) = r;
    link_inf.ln_2ichn(l) = g;
    link_inf.ln_2rnam(l) = rname;
    int32_t c = 1;
    set_iconn_(link_inf.ln_id(l).view(), c);
    if (c > 1 && c <= cif_types.n_conn_type) {
      resid_inf.link_flag(r) = "Y";
      resid_inf.iconn_type(r) = c;
    }
  };
  // A one-character label is held doubled, so that residue 65 of label A
  // and residue 65 of label AA share a key: a row's end finds the residue
  // of a label of its own width.
  const coords::CifAuthorRow& row = coords::cif_author_row();
  const int32_t width = row.label_given ? coords::label_width(row.label_asym) : 0;
  const auto own = [&](int32_t l, int e) {
    return coords::label_widths_agree(coords::conn_label_width(l, e), width);
  };
  const std::string end_key = std::string(gid.view()) + std::string(resnum.substr(0, 5));
  g_link_ends.end1.for_each(end_key, [&](int32_t l) {
    if (own(l, 1)) first_end(l);
  });
  g_link_ends.end2.for_each(end_key, [&](int32_t l) {
    if (own(l, 2)) second_end(l);
  });
  // An end named by the sequence number takes the residue's own number, as
  // an end the author's number names has it.
  const std::string seq_key = LinkEnds::seq_key(gid, crdatm.cr_ires);
  g_link_ends.seq1.for_each(seq_key, [&](int32_t l) {
    if (!own(l, 1)) return;
    link_inf.ln_seq1(l) = resnum.substr(0, 5);
    first_end(l);
  });
  g_link_ends.seq2.for_each(seq_key, [&](int32_t l) {
    if (!own(l, 2)) return;
    link_inf.ln_seq2(l) = resnum.substr(0, 5);
    second_end(l);
  });
  for (int m = 1; m <= mod_inf.mod_n && m <= MAXMODIF; ++m) {
    if (mod_inf.mod_chn(m) == gid && mod_inf.mod_seq(m) == resnum) {
      mod_inf.mod_ires(m) = r;
      mod_inf.mod_ichn(m) = g;
      resid_inf.mod_flag(r) = "Y";
      const char c0 = mod_inf.mod_rnam(m)(1);
      if (!(mod_inf.mod_rnam_new(m) == mod_inf.mod_rnam(m)) && c0 != '.' && c0 != ' ')
        resid_inf.ires_type(r) = res_class(mod_inf.mod_rnam(m).view());
    }
  }
  return true;
}

// Index of the atom's scattering type, added to the list when new; 0 when
// the list is full (after the capacity message).
int scattering_type(int32_t mdoc, int32_t& ierr) {
  const rt::FixedText<4> as_read = crdatm.cr_asymb;
  rt::FixedText<4>& sym = crdatm.cr_asymb;
  const char c2 = char_class(sym(2));
  if (c2 == 'D' || c2 == 'S') sym(2) = ' ';
  sym(3) = ' ';
  sym(4) = ' ';
  const int n = crst_crd.cs_nsfatm < MAXNSF ? crst_crd.cs_nsfatm : MAXNSF;
  for (int t = 1; t <= n; ++t)
    if (std::memcmp(crst_crd.cs_element(t).c, as_read.c, 4) == 0) return t;
  if (crst_crd.cs_nsfatm >= MAXNSF) {
    foundation::table_full(mdoc, " ERROR: number of atomic scattering types > limit.",
                           {.constant = "MAXNSF", .header = "atom_com", .quoted = false});
    ierr = 1;
    return 0;
  }
  const int t = ++crst_crd.cs_nsfatm;
  crst_crd.cs_atype(t) = sym;
  crst_crd.cs_element(t) = as_read;
  return t;
}

}  // namespace

void set_atom_(int32_t mdoc, rt::TextRef cr_res_old, std::string_view cr_group_old,
               int32_t& cr_ires_old, int32_t /*cr_igroup_old*/, int32_t& ierr) {
  ierr = 0;
  if (!same_text<4>(crdatm.cr_group.view(), cr_group_old)) {
    if (!open_chain(mdoc, ierr)) return;
    cr_ires_old = -100;
    cr_res_old.assign("?????");
  }
  const int g = asym_part.n_group;
  const std::string_view resnum = crdatm.cr_pnum.sub(3, 7);
  if (!same_text<5>(resnum, cr_res_old.view())) {
    if (!open_residue(mdoc, resnum, ierr)) return;
  } else {
    check_kind();
  }
  const int r = resid_inf.n_residue;
  const int a = ++atom_inf.n_atom;
  if (a > MAXATOM) {
    foundation::table_full(mdoc, " ERROR: number of atoms > limit.",
                           {.constant = "MAXATOM", .header = "atom_com", .quoted = false});
    ierr = 1;
    return;
  }
  atom_inf.i_atold(a) = crdatm.cr_iatold;
  atom_inf.i_resid(a) = r;
  asym_part.natm_chain(g) += 1;
  resid_inf.natm_res(r) += 1;
  const char bt = crdatm.cr_btype(1);
  if (bt == 'A' || bt == 'a') {
    atom_inf.n_aniso += 1;
    atom_inf.b_flag(a) = a;
    for (int i = 1; i <= 6; ++i) atom_crd.u_aniso(i, a) = crdatm.cr_anis(i);
  } else {
    constexpr float pi = suite::kPi<float>;
    atom_inf.b_flag(a) = 0;
    atom_crd.u_aniso(1, a) = crdatm.cr_biso / (8.0f * pi * pi);
    for (int i = 2; i <= 6; ++i) atom_crd.u_aniso(i, a) = 0.0f;
  }
  // A residue of dummy atoms holds each under a name of its own.
  if (resid_inf.res_name(r) == foundation::kDummyResidue)
    crdatm.cr_aname = foundation::dummy_atom_name(resid_inf.natm_res(r));
  atom_inf.atm_name(a) = crdatm.cr_aname;
  const char c0 = crdatm.cr_aname_inp(1);
  atom_inf.atm_name_inp(a) = (c0 == '.' || c0 == ' ') ? crdatm.cr_aname : crdatm.cr_aname_inp;
  atom_inf.atm_chem(a) = crdstr.st_chem;
  if (crdatm.cr_asymb(1) == '?') {
    atom_inf.id_sf(a) = 0;
  } else {
    const int t = scattering_type(mdoc, ierr);
    if (ierr != 0) return;
    atom_inf.id_sf(a) = t;
  }
  atom_inf.atm_type(a) = crdatm.cr_atype;
  atom_inf.id_alt(a) = crdatm.cr_alt;
  atom_inf.id_corr(a) = crdatm.cr_corr;

  if (com_crd_cif.frame_kept == 1) {
    // Already in the standard frame of the cell: kept as written.
    for (int i = 1; i <= 3; ++i) atom_crd.xyz_crd(i, a) = crdatm.cr_xyz(i);
  } else {
    float f[3];
    for (int i = 1; i <= 3; ++i) {
      float s = 0.0f;
      for (int j = 1; j <= 3; ++j) s += crst_pdb.cs_scale(i, j) * crdatm.cr_xyz(j);
      f[i - 1] = s + crst_pdb.cs_u(i);
    }
    for (int i = 1; i <= 3; ++i) {
      float s = 0.0f;
      for (int j = 1; j <= 3; ++j) s += crst_crd.cs_frac_to_ort(i, j) * f[j - 1];
      atom_crd.xyz_crd(i, a) = s;
    }
  }
  atom_crd.occup(a) = crdatm.cr_occ;
  atom_crd.mult_factor(a) = crdatm.cr_mult_factor;

  const int32_t cls = resid_inf.ires_type(r);
  if (cls == 5 && std::memcmp(crdatm.cr_aname.c, "O3T ", 4) == 0) asym_part.iterm_s_type(g) = 4;
  if ((cls == 3 || cls == 4) && std::memcmp(crdatm.cr_aname.c, "OXT ", 4) == 0) asym_part.iterm_f_type(g) = 2;
}

int32_t coords::connection_in_chain(int32_t cls, std::string_view rname) {
  // Residues of classes without a connection rule get "." rather than
  // whatever an earlier model left in the slot.
  if (cls == 3) {
    if (foundation::is_proline_like(rname)) return 36;
    if (foundation::is_n_methyl(rname)) return 38;
    return 2;
  }
  if (cls == 5) return 4;
  if (cls == 7) return 10;
  return 1;
}

void coords::link_rows_renamed() { g_link_ends.rows = -1; }

bool coords::set_atom_aniso(int32_t& cursor) {
  const int32_t serial = crdatm.cr_iatold;
  const int32_t n = atom_inf.n_atom;
  if (n < 1) return false;
  // The archive writes the anisotropic rows in the order of the atoms, but
  // not one for every atom (riding hydrogens and many waters have none):
  // the search goes on from the last atom found and comes round to the
  // start, so that a file whose rows pass over atoms is still read in one
  // sweep of the table rather than one sweep a row.
  const int32_t start = cursor >= 1 && cursor < n ? cursor + 1 : 1;
  int32_t a = 0;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t i = start + k <= n ? start + k : start + k - n;
    if (atom_inf.i_atold(i) == serial) {
      a = i;
      break;
    }
  }
  if (a == 0) return false;
  cursor = a;
  if (atom_inf.b_flag(a) == 0) atom_inf.n_aniso += 1;
  atom_inf.b_flag(a) = a;
  for (int i = 1; i <= 6; ++i) atom_crd.u_aniso(i, a) = crdatm.cr_anis(i);
  return true;
}

void check_kinds_in_residues_(int32_t mdoc, int32_t& ierr) {
  ierr = 0;
  for (int i = 0; i < g_n_mixed; ++i) {
    const int r = g_mixed[i].residue;
    if (r < 1 || r > resid_inf.n_residue) continue;
    const rt::FixedText<12>& key = resid_inf.res_num_pdb(r);
    // Named as the PDB reader names it.
    coords::report_same_number(mdoc, coords::key_chain_name(key), key.sub(3, 7),
                               1 + g_mixed[i].n_other);
    ierr = 6;
  }
}
