// A structure model written straight into the model tables, for the
// connectivity tests: residues with their names, classes, number texts and
// atoms, chains as the coordinate reader would leave them (one tree along
// the residues of each chain), and the scattering types the atoms name.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"

namespace conntest {

struct AtomSpec {
  std::string_view name;
  float x = 0, y = 0, z = 0;
  std::string_view element = "C";  // scattering type
  float occ = 1.0f;
  char alt = '.';
};

class Model {
 public:
  Model() {
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    set_cif_types_();
    crdinf.cr_segflag = "N";
  }

  // A residue of class itype at the end of chain `chain` (a new chain when
  // the identifier differs from the last residue's).  Returns its index.
  int residue(std::string_view name, int itype, char chain, int number,
              std::initializer_list<AtomSpec> atoms) {
    auto& r = resid_inf;
    auto& g = asym_part;
    const int ir = ++r.n_residue;
    r.res_name(ir) = name;
    r.ires_type(ir) = itype;
    r.iconn_type(ir) = 1;
    r.ires_serial(ir) = number;
    r.mod_flag(ir) = ".";
    r.link_flag(ir) = ".";
    char key[13];
    std::snprintf(key, sizeof key, "%c%c%4d %c   ", chain, ' ', number, chain);
    r.res_num_pdb(ir) = std::string_view(key, 12);
    r.iratm_first(ir) = atom_inf.n_atom + 1;
    r.natm_res(ir) = static_cast<int32_t>(atoms.size());
    for (const AtomSpec& a : atoms) {
      const int ia = ++atom_inf.n_atom;
      atom_inf.atm_name(ia) = a.name;
      atom_inf.atm_name_inp(ia) = a.name;
      atom_inf.atm_chem(ia) = a.element;
      atom_inf.atm_type(ia) = ".";
      atom_inf.id_alt(ia) = std::string_view(&a.alt, 1);
      atom_inf.id_corr(ia) = ".";
      atom_inf.i_resid(ia) = ir;
      atom_inf.id_sf(ia) = scattering_type(a.element);
      atom_crd.xyz_crd(1, ia) = a.x;
      atom_crd.xyz_crd(2, ia) = a.y;
      atom_crd.xyz_crd(3, ia) = a.z;
      atom_crd.occup(ia) = a.occ;
      atom_crd.mult_factor(ia) = 1;
    }
    if (g.n_group == 0 || last_chain_ != chain) {
      const int c = ++g.n_group;
      g.ires_first(c) = ir;
      g.iatom_first(c) = r.iratm_first(ir);
      g.ires_start_tree(c) = ir;
      g.nres_chain(c) = 0;
      g.natm_chain(c) = 0;
      g.chain_id(c) = std::string_view(&chain, 1);
      g.group_id(c) = std::string_view(&chain, 1);
      g.iterm_s_type(c) = 1;
      g.iterm_f_type(c) = 1;
      r.ires_back(ir) = -1;
    } else {
      r.ires_forw(ir - 1) = ir;
      r.ires_back(ir) = ir - 1;
    }
    last_chain_ = chain;
    const int c = g.n_group;
    r.i_chain(ir) = c;
    r.ires_forw(ir) = 0;
    g.ires_end_tree(c) = ir;
    ++g.nres_chain(c);
    g.natm_chain(c) += r.natm_res(ir);
    return ir;
  }

  // A link row as a coordinate reader enters it.
  int link(std::string_view id, int ir1, std::string_view atom1, int ir2, std::string_view atom2,
           float dist = 0.0f) {
    auto& l = link_inf;
    const int k = ++l.ln_n;
    l.ln_id(k) = id;
    l.ln_1ires(k) = ir1;
    l.ln_2ires(k) = ir2;
    l.ln_1ichn(k) = resid_inf.i_chain(ir1);
    l.ln_2ichn(k) = resid_inf.i_chain(ir2);
    l.ln_1rnam(k) = resid_inf.res_name(ir1);
    l.ln_2rnam(k) = resid_inf.res_name(ir2);
    l.ln_atom1(k) = atom1;
    l.ln_atom2(k) = atom2;
    l.ln_alt1(k) = ".";
    l.ln_alt2(k) = ".";
    l.ln_symm1(k) = ".";
    l.ln_symm2(k) = ".";
    l.ln_seq1(k) = ".";
    l.ln_seq2(k) = ".";
    l.ln_used(k) = ".";
    l.ln_ent(k) = "L";
    l.ln_dist(k) = dist;
    return k;
  }

 private:
  static int scattering_type(std::string_view element) {
    auto& c = crst_crd;
    for (int k = 1; k <= c.cs_nsfatm; ++k)
      if (c.cs_atype(k) == element) return k;
    const int k = ++c.cs_nsfatm;
    c.cs_atype(k) = element;
    c.cs_element(k) = element;
    return k;
  }
  char last_chain_ = 0;
};

}  // namespace conntest
