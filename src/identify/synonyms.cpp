// Atom-name synonyms made by identification.  A row made here renames an atom
// of any residue of the monomer (alternative monomer name "."), so two
// residues with the same renaming share one row and one report.
#include "identify/synonyms.h"

#include <string>

#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "identify/graph_compare.h"

void put_synonym_to_list_(int32_t mdoc, std::string_view mon, int32_t& ifirst, std::string_view res,
                          std::string_view chain, std::string_view atom_old, std::string_view atom_new,
                          rt::FixedText<1>& dnew, int32_t& /*ierr*/) {
  r_scratch_t& r = r_scratch;
  const rt::FixedText<8> monf(mon);
  int32_t it = 0;
  check_synonym_(it, monf, ".", atom_new, atom_old);
  if (it == 1 || it == 2) return;
  if (monf == "." || monf.is_blank()) return;
  if (r.lms_nsyn >= MAXMLIST) return;
  const int s = ++r.lms_nsyn;
  r.lms_isyn = s;
  ++r.lms_new;
  if (ifirst == 0) {
    msgdoc_(mdoc, " WARNING : program changed the atom names to standard");
    msgdoc_(mdoc, std::string(11, ' ') + "residue: " + monf.str() + " " + rt::FixedText<5>(res).str() +
                      " chain:" + rt::FixedText<4>(chain).str());
    ifirst = 1;
  }
  r.lms_mod(s) = ".";
  r.lms_atom(s) = atom_new;
  r.lms_aatom(s) = atom_old;
  r.lms_mname(s) = monf;
  r.lms_mname2(s) = ".";
  r.lms_amname(s) = ".";
  r.lms_amname2(s) = ".";
  r.lms_flag(s) = "N";
  dnew = "Y";
  msgdoc_(mdoc, std::string(11, ' ') + monf.str() + "  \"" + rt::FixedText<4>(atom_old).str() + "\" --> \"" +
                    rt::FixedText<4>(atom_new).str() + "\" ");
}

void change_atom_in_link_tab_(int32_t /*mdoc*/, int32_t ich1, int32_t ires1, std::string_view atom_old,
                              std::string_view atom_new, int32_t& ierr) {
  link_inf_t& ln = link_inf;
  ierr = 0;
  // A link atom name has five characters: it matches the four of atom_old
  // only with a blank fifth.
  const rt::FixedText<4> old4(atom_old);
  const rt::FixedText<4> new4(atom_new);
  for (int l = 1; l <= ln.ln_n; ++l) {
    if (ln.ln_1ires(l) == ires1 && ln.ln_1ichn(l) == ich1 && ln.ln_atom1(l) == old4) ln.ln_atom1(l) = new4;
    if (ln.ln_2ires(l) == ires1 && ln.ln_2ichn(l) == ich1 && ln.ln_atom2(l) == old4) ln.ln_atom2(l) = new4;
  }
}

void replace_synonym_(int32_t ig, int32_t ir) {
  r_scratch_t& r = r_scratch;
  if (r.lms_nsyn <= 0 || asym_part.n_group <= 0 || ig <= 0 || ir <= 0) return;
  const rt::FixedText<8> monn = resid_inf.res_name(ir);
  rt::FixedText<8> mon;
  mon.blank();
  for (int s = 1; s <= r.lms_nsyn; ++s) {
    if (dictionary::synonym_names(s, monn.view())) {
      mon = r.lms_mname(s);
      break;
    }
  }
  // The rows of this monomer once, then each atom against them alone: a
  // residue has a handful of atoms, the list thousands of rows.
  static int32_t rows[MAXMLIST];
  int nrows = 0;
  for (int s = 1; s <= r.lms_nsyn; ++s)
    if (r.lms_mname(s) == monn || r.lms_mname(s) == mon) rows[nrows++] = s;
  const int first = resid_inf.iratm_first(ir);
  for (int ia = first; ia <= first + resid_inf.natm_res(ir) - 1; ++ia) {
    for (int k = 0; k < nrows; ++k) {
      if (r.lms_aatom(rows[k]) == atom_inf.atm_name(ia)) {
        atom_inf.atm_name(ia) = r.lms_atom(rows[k]);
        break;
      }
    }
  }
}
