// Helpers of the output tests: a scratch directory, the reset of the
// tables the writers read, a small hand-built model, file lines, and a
// plain CIF word splitter that knows nothing of the system's tokeniser.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace outtest {

inline std::vector<std::string> file_lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> out;
  std::string l;
  while (std::getline(in, l)) out.push_back(l);
  return out;
}

inline std::string joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

// CIF words of a line by the published rules: a quote opens a value at the
// start of a word and closes it only when a blank or the line end follows.
inline std::vector<std::string> cif_words(const std::string& line) {
  std::vector<std::string> w;
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (i < n) {
    while (i < n && line[i] == ' ') ++i;
    if (i >= n || line[i] == '#') break;
    if (line[i] == '\'' || line[i] == '"') {
      const char q = line[i];
      std::size_t j = i + 1;
      while (j < n && !(line[j] == q && (j + 1 == n || line[j + 1] == ' '))) ++j;
      w.push_back(line.substr(i + 1, j - i - 1));
      i = j + 1;
    } else {
      std::size_t j = i;
      while (j < n && line[j] != ' ') ++j;
      w.push_back(line.substr(i, j - i));
      i = j;
    }
  }
  return w;
}

// The loops of a CIF text: item names and all their values in order.
struct Loop {
  std::vector<std::string> items, values;
};
inline std::vector<Loop> cif_loops(const std::vector<std::string>& lines) {
  std::vector<Loop> loops;
  bool in_loop = false, in_values = false;
  for (const std::string& l : lines) {
    const std::vector<std::string> w = cif_words(l);
    if (w.empty()) continue;
    if (w[0] == "loop_") {
      loops.emplace_back();
      in_loop = true;
      in_values = false;
      continue;
    }
    if (!in_loop) continue;
    if (w[0][0] == '_' && l[0] == '_') {
      if (in_values) {
        in_loop = false;
        continue;
      }
      loops.back().items.push_back(w[0]);
      continue;
    }
    if (w[0].rfind("data_", 0) == 0) {
      in_loop = false;
      continue;
    }
    in_values = true;
    for (const std::string& v : w) loops.back().values.push_back(v);
  }
  return loops;
}

class Files : public testing::Test {
 protected:
  void SetUp() override {
    setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 0);
    set_cif_types_();
    init_res_type_tab_();
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    comlib.iquiet = 0;
    comlib.idoc = 0;
    com_out_cif.out_cif_mult = 1;
    com_out_cif.out_cif_corr = 1;
    crdinf.cr_hflag = "Y";
    crdinf.cro_iun = 0;
    dir_ = scratch_.path() + "/";
  }
  void TearDown() override { rt::close_all_units(); }

  // Opens <dir>/<name> for writing and returns the unit.
  int32_t open_out(const std::string& name) {
    int32_t iun = 0, ierr = 0;
    openfw_(iun, 0, dir_, name, "", ierr);
    EXPECT_EQ(ierr, 0);
    return iun;
  }
  // Closes the unit and returns the lines of <dir>/<name>.
  std::vector<std::string> close_and_read(int32_t iun, const std::string& name) {
    rt::unit_close(iun);
    return file_lines(dir_ + name);
  }

  TempDir scratch_;
  std::string dir_;  // the scratch directory with a closing slash
};

// A model of chains built residue by residue, one or more atoms each, with
// a straight residue tree per chain.
struct ModelBuilder {
  ModelBuilder& chain(const char* group_id) {
    asym_part_t& a = asym_part;
    const int32_t ig = ++a.n_group;
    a.group_id(ig) = group_id;
    a.ires_first(ig) = resid_inf.n_residue + 1;
    a.nres_chain(ig) = 0;
    a.igroup_asm(ig) = 0;
    return *this;
  }
  // A residue of the last chain with atoms of the given names.
  ModelBuilder& residue(const char* name, int num, std::initializer_list<const char*> atoms,
                        int32_t type = 3) {
    asym_part_t& a = asym_part;
    const int32_t ig = a.n_group;
    const int32_t ir = ++resid_inf.n_residue;
    char pnum[16];
    std::snprintf(pnum, sizeof pnum, "A %4d A", num);
    resid_inf.res_name(ir) = name;
    resid_inf.res_num_pdb(ir) = pnum;
    resid_inf.ires_type(ir) = type;
    resid_inf.i_chain(ir) = ig;
    resid_inf.ires_back(ir) = a.nres_chain(ig) > 0 ? ir - 1 : -1;
    resid_inf.ires_forw(ir) = 0;
    if (a.nres_chain(ig) > 0) resid_inf.ires_forw(ir - 1) = ir;
    if (a.nres_chain(ig)++ == 0) a.ires_start_tree(ig) = ir;
    a.ires_end_tree(ig) = ir;
    resid_inf.iratm_first(ir) = atom_inf.n_atom + 1;
    resid_inf.natm_res(ir) = 0;
    for (const char* at : atoms) {
      const int32_t ia = ++atom_inf.n_atom;
      atom_inf.i_atold(ia) = ia;
      atom_inf.i_resid(ia) = ir;
      atom_inf.id_sf(ia) = 0;
      atom_inf.b_flag(ia) = 0;
      atom_inf.atm_name(ia) = at;
      atom_inf.atm_name_inp(ia) = at;
      atom_inf.atm_chem(ia) = "";
      atom_inf.atm_type(ia) = "";
      atom_inf.id_alt(ia) = "";
      atom_inf.id_corr(ia) = "";
      for (int k = 1; k <= 3; ++k) atom_crd.xyz_crd(k, ia) = static_cast<float>(ia * 10 + k);
      for (int k = 1; k <= 6; ++k) atom_crd.u_aniso(k, ia) = 0.0f;
      atom_crd.u_aniso(1, ia) = 0.25f;
      atom_crd.occup(ia) = 1.0f;
      atom_crd.mult_factor(ia) = 1;
      ++resid_inf.natm_res(ir);
    }
    return *this;
  }
};

// Link i of link_inf from atom1 of residue 1 to atom2 of residue 2, both
// cysteines of chain 1, the first in symmetry 1_555.
inline void link_row(int32_t i, const char* id, const char* ent, const char* atom2,
                     const char* alt2, const char* symm2) {
  link_inf_t& k = link_inf;
  if (k.ln_n < i) k.ln_n = i;
  k.ln_id(i) = id;
  k.ln_ent(i) = ent;
  k.ln_atom1(i) = "SG";
  k.ln_atom2(i) = atom2;
  k.ln_alt1(i) = "";
  k.ln_alt2(i) = alt2;
  k.ln_symm1(i) = "1_555";
  k.ln_symm2(i) = symm2;
  k.ln_1ires(i) = k.ln_1ichn(i) = k.ln_2ichn(i) = 1;
  k.ln_2ires(i) = 2;
  k.ln_1rnam(i) = k.ln_2rnam(i) = "CYS";
}

}  // namespace outtest
