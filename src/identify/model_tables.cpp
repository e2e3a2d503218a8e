// The model's link and modification tables, entered one row at a time.
// Duplicates are found by comparing the new row with every stored one: rows
// are also written by the coordinate readers and renumbered by the chain
// work, so no index kept here could be trusted; the stages enter a few
// rows a chain (gaps, cis peptides, links by distance), so the scans stay
// short beside the rows the readers store.
#include "identify/model_tables.h"

#include <string>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/link_lookup.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "runtime/format.h"

com_crt_link_t com_crt_link;

namespace {

bool begins_blank(std::string_view s) { return s.empty() || s[0] == ' ' || s[0] == '\0'; }

// A name that does not fit its field is refused, never cut.
bool fits(int32_t mdoc, std::string_view what, std::string_view name, int width) {
  if (rt::len_trim(name) <= width) return true;
  msgerr_(mdoc, std::string(" ERROR: ") + std::string(what) + " name longer than " +
                    std::to_string(width) + " characters: " + std::string(rt::trim_right(name)));
  return false;
}

bool residue_ok(int32_t mdoc, int32_t ires) {
  if (ires >= 1 && ires <= resid_inf.n_residue) return true;
  msgerr_(mdoc, std::string(" ERROR: residue index out of range: ") + std::to_string(ires));
  return false;
}

// An atom index outside the model's atoms is no atom.
bool has_atom(int32_t ia) { return ia >= 1 && ia <= atom_inf.n_atom; }

void mark_used(rt::FixedText<1>& fuse) {
  if (!(fuse == "?" || fuse == "C")) fuse = "Y";
}

}  // namespace

void put_l_tabl_(int32_t mdoc, std::string_view link, int32_t jch1, int32_t jch2, int32_t jres1,
                 int32_t jres2, int32_t ja1, int32_t ja2, int32_t irevers, int32_t& ierr) {
  ierr = 0;
  if (begins_blank(link) || link[0] == '.') return;
  if (!fits(mdoc, "link", link, 8)) return;
  int32_t ch1 = jch1, ch2 = jch2, r1 = jres1, r2 = jres2, a1 = ja1, a2 = ja2;
  if (irevers != 0) {
    std::swap(ch1, ch2);
    std::swap(r1, r2);
    std::swap(a1, a2);
  }
  if (!residue_ok(mdoc, r1) || !residue_ok(mdoc, r2)) return;

  const rt::FixedText<8> id(link);
  int32_t lib = 0;
  dictionary::link_entries(link, [&](int32_t i) {
    lib = i;
    return true;
  });
  if (lib > 0) {
    mark_used(r_scratch.lll_fuse(lib));
  } else {
    msgdoc_(mdoc, rt::fmt("(A,A8,A)", " WARNING : in \"put_l_table\", description of link :", id.view(),
                          " is not in the library"));
  }

  link_inf_t& t = link_inf;
  const bool atoms = has_atom(a1) && has_atom(a2);
  for (int32_t k = 1; k <= t.ln_n; ++k) {
    if (!(t.ln_id(k) == id) || t.ln_1ires(k) != r1 || t.ln_2ires(k) != r2 || t.ln_1ichn(k) != ch1 ||
        t.ln_2ichn(k) != ch2)
      continue;
    if (!atoms || (t.ln_alt1(k) == atom_inf.id_alt(a1) && t.ln_alt2(k) == atom_inf.id_alt(a2))) return;
  }

  // A link left out would be a bond the run drops while reporting success.
  if (t.ln_n >= MAXLINK)
    foundation::stop_table_full(mdoc, " ERROR : Number of links >", MAXLINK,
                                {.constant = "MAXLINK", .header = "atom_com.fh", .indent = 11});
  const int32_t n = ++t.ln_n;
  t.ln_id(n) = id;
  t.ln_1ires(n) = r1;
  t.ln_1ichn(n) = ch1;
  t.ln_2ires(n) = r2;
  t.ln_2ichn(n) = ch2;
  t.ln_1rnam(n) = resid_inf.res_name(r1);
  t.ln_2rnam(n) = resid_inf.res_name(r2);
  resid_inf.link_flag(r1) = "Y";
  resid_inf.link_flag(r2) = "Y";
  t.ln_seq1(n) = ".";
  t.ln_seq2(n) = ".";
  rt::FixedText<4> atom1("."), atom2(".");
  t.ln_alt1(n) = ".";
  t.ln_alt2(n) = ".";
  if (has_atom(a1)) {
    atom1 = atom_inf.atm_name(a1);
    t.ln_alt1(n) = atom_inf.id_alt(a1);
  }
  if (has_atom(a2)) {
    atom2 = atom_inf.atm_name(a2);
    t.ln_alt2(n) = atom_inf.id_alt(a2);
  }
  t.ln_atom1(n) = atom1;
  t.ln_atom2(n) = atom2;
  t.ln_symm1(n) = ".";
  t.ln_symm2(n) = ".";
  t.ln_dist(n) = 0.0f;
  float dideal = 0.0f;
  int32_t ilink = 0;
  check_link_info_(id.view(), t.ln_1rnam(n).view(), t.ln_2rnam(n).view(), atom1.view(),
                   atom2.view(), dideal, ilink);
  if (ilink > 0) t.ln_dist(n) = dideal;
  t.ln_ent(n) = "C";
  t.ln_used(n) = ".";
}

void put_m_tabl_(int32_t mdoc, std::string_view mod, int32_t ich, int32_t ires, int32_t /*ia*/,
                 rt::FixedText<8>& mon, std::string_view mtype, int32_t& ierr) {
  ierr = 0;
  if (!fits(mdoc, "modification", mod, 8)) {
    ierr = 1;
    return;
  }
  const rt::FixedText<8> id(mod);
  if (begins_blank(mon.view())) {
    if (!mod.empty() && mod[0] == '.') return;
    const int32_t l = dictionary::find_modification(mod);
    if (l > 0) {
      mark_used(r_scratch.ldl_fuse(l));
    } else {
      msgdoc_(mdoc, rt::fmt("(A,A8,A)", " WARNING : description of modification:", id.view(),
                            " is not in the dictionary"));
    }
    if (!rt::text_eq(mod, "RENAME")) mon = ".";
  }
  if (!residue_ok(mdoc, ires)) {
    ierr = 1;
    return;
  }

  mod_inf_t& t = mod_inf;
  for (int32_t k = 1; k <= t.mod_n; ++k)
    if (t.mod_id(k) == id && t.mod_ires(k) == ires && t.mod_ichn(k) == ich) return;

  if (t.mod_n >= MAXMODIF)
    foundation::stop_table_full(mdoc, " ERROR : Number of modifications >", MAXMODIF,
                                {.constant = "MAXMODIF", .header = "atom_com.fh", .indent = 11});
  const int32_t n = ++t.mod_n;
  t.mod_id(n) = id;
  t.mod_ires(n) = ires;
  t.mod_ichn(n) = ich;
  t.mod_rnam(n) = mon;
  t.mod_rnam_new(n) = resid_inf.res_name(ires);
  t.mod_seq(n) = ".";
  t.mod_used(n) = mtype;
  resid_inf.mod_flag(ires) = "Y";
}
