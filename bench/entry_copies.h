// The five chains of 2BEG (1 855 atoms without hydrogens, 130 residues) as
// read, kept aside so that a benchmark can lay copies of them on a cubic
// lattice and run a stage on a model of any size.  Each benchmark fills the
// tables from the copy itself, since every stage wants its own starting
// state (identification the names as read, connectivity a finished tree).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "coords/pdb_reader.h"
#include "dictionary/lib_loading.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "runtime/units.h"

namespace bench_entry {

struct Entry {
  int natom = 0, nres = 0, nchain = 0;
  std::vector<int> res_of_atom, first_atom, natm, type, chain_first, chain_nres, sf, bflag;
  std::vector<int> its, itf, start_tree, end_tree;
  std::vector<float> xyz, occ, u;
  std::vector<rt::FixedText<4>> name, name_inp, chem;
  std::vector<rt::FixedText<1>> alt, atype;
  std::vector<rt::FixedText<8>> rname;
  std::vector<rt::FixedText<12>> key;
  int nsf = 0;
  std::vector<rt::FixedText<4>> sf_type, sf_element;
};

inline Entry& entry() {
  static Entry e;
  return e;
}

// Reads the entry through the coordinate reader and keeps what it filled.
inline void read_entry() {
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 1);
  setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
  comlib.iquiet = 1;
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  get_pdb_(0, ORB_DATA_DIR "/../tests/data/2BEG.pdb", 0, cell, 'N', 'N', 'Y', ierr);
  rt::close_all_units();
  Entry& e = entry();
  e.natom = atom_inf.n_atom;
  e.nres = resid_inf.n_residue;
  e.nchain = asym_part.n_group;
  for (int ia = 1; ia <= e.natom; ++ia) {
    e.res_of_atom.push_back(atom_inf.i_resid(ia));
    for (int k = 1; k <= 3; ++k) e.xyz.push_back(atom_crd.xyz_crd(k, ia));
    e.occ.push_back(atom_crd.occup(ia));
    e.u.push_back(atom_crd.u_aniso(1, ia));
    e.sf.push_back(atom_inf.id_sf(ia));
    e.bflag.push_back(atom_inf.b_flag(ia));
    e.name.push_back(atom_inf.atm_name(ia));
    e.name_inp.push_back(atom_inf.atm_name_inp(ia));
    e.chem.push_back(atom_inf.atm_chem(ia));
    e.alt.push_back(atom_inf.id_alt(ia));
    e.atype.push_back(atom_inf.atm_type(ia));
  }
  for (int ir = 1; ir <= e.nres; ++ir) {
    e.first_atom.push_back(resid_inf.iratm_first(ir));
    e.natm.push_back(resid_inf.natm_res(ir));
    e.type.push_back(resid_inf.ires_type(ir));
    e.rname.push_back(resid_inf.res_name(ir));
    e.key.push_back(resid_inf.res_num_pdb(ir));
  }
  for (int g = 1; g <= e.nchain; ++g) {
    e.chain_first.push_back(asym_part.ires_first(g));
    e.chain_nres.push_back(asym_part.nres_chain(g));
    e.its.push_back(asym_part.iterm_s_type(g));
    e.itf.push_back(asym_part.iterm_f_type(g));
    e.start_tree.push_back(asym_part.ires_start_tree(g) - asym_part.ires_first(g));
    e.end_tree.push_back(asym_part.ires_end_tree(g) - asym_part.ires_first(g));
  }
  e.nsf = crst_crd.cs_nsfatm;
  for (int k = 1; k <= e.nsf; ++k) {
    e.sf_type.push_back(crst_crd.cs_atype(k));
    e.sf_element.push_back(crst_crd.cs_element(k));
  }
}

// The test library of tests/data/monlib loaded afresh (list 'S' keeps the
// loading silent).
inline void load_library(char list) {
  LibNames libm{};
  rt::FixedText<256> libe(""), libm_ext(""), libe_ext(""), lib_ind(""), lib_out("");
  const std::string dir = ORB_DATA_DIR "/../tests/data/monlib/";
  int32_t numb = 0, ierr = 0;
  getlib_(0, list, 'N', numb, dir, dir, "", libm, libe.ref(), "", libm_ext.ref(), libe_ext.ref(),
          "", "", lib_ind.ref(), lib_out.ref(), ierr);
}

// How many copies make a model of at least `natom` atoms.
inline int copies_for(int64_t natom) {
  return static_cast<int>((natom + entry().natom - 1) / entry().natom);
}

// Where copy `c` lies: 60 Angstrom apart, so that no two copies touch.
inline void copy_offset(int c, float off[3]) {
  off[0] = 60.0f * (c % 8);
  off[1] = 60.0f * ((c / 8) % 8);
  off[2] = 60.0f * (c / 64);
}

}  // namespace bench_entry
