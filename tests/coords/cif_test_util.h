// Helpers of the CIF reader tests: a scratch directory for hand-written
// files, the reset of the tables the readers rely on, and one whole read.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "coords/cif_atom_rows.h"
#include "coords/read_atoms.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "foundation/residue_class.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

class CifFiles : public testing::Test {
 protected:
  void SetUp() override {
    setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 0);
    set_cif_types_();
    init_res_type_tab_();
    comlib.iquiet = 0;
    comlib.idoc = 0;
    com_crd_cif.held_unit = 0;
    dir_ = scratch_.path() + "/";
  }
  void TearDown() override { rt::close_all_units(); }

  // Writes `text` to <dir>/<name>.cif.
  void write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ + name + ".cif") << text;
  }

  // Reads <dir>/<name>.cif; returns the status.
  int32_t read(const std::string& name, int32_t mdoc = 99, int32_t nospgr = 0, const float* cell = nullptr) {
    static const float none[6] = {0, 0, 0, 0, 0, 0};
    int32_t ierr = 1;
    read_atoms_(mdoc, dir_, name, "cif", nospgr, cell ? cell : none, ierr);
    return ierr;
  }

  int32_t read_data(const std::string& name, int32_t mdoc = 99) {
    static const float none[6] = {0, 0, 0, 0, 0, 0};
    int32_t ierr = 1;
    read_atoms_(mdoc, ORB_TEST_DATA_DIR "/", name, "cif", 0, none, ierr);
    return ierr;
  }

  // Reads <dir>/<name>.cif (or the data file when `data`) with standard
  // output kept in out_; returns the status.
  int32_t read_out(const std::string& name, int32_t mdoc = 0, bool data = false) {
    int32_t st = 0;
    out_ = captured([&] { st = data ? read_data(name, mdoc) : read(name, mdoc); });
    return st;
  }

  TempDir scratch_;
  std::string dir_;  // the scratch directory with a closing slash
  std::string out_;
};

inline const char* kCell =
    "_cell.length_a 10.0\n_cell.length_b 20.0\n_cell.length_c 30.0\n"
    "_cell.angle_alpha 90\n_cell.angle_beta 90\n_cell.angle_gamma 90\n";

// "data_t", the cell above and space group P 1.
inline std::string cif_header() { return std::string("data_t\n") + kCell + "_symmetry.space_group_name_H-M 'P 1'\n"; }

// An atom-site loop header of the given items.
inline std::string atom_loop(std::initializer_list<const char*> items) {
  std::string s = "loop_\n";
  for (const char* i : items) s += std::string("_atom_site.") + i + "\n";
  return s;
}

// The names (one a line) and the values (blank-separated) of one row
// written as item-value pairs, the form of a category of one row.
inline std::string as_pairs(const std::string& names, const std::string& values) {
  std::string s;
  std::size_t n = 0, v = 0;
  while (n < names.size()) {
    const std::size_t ne = names.find('\n', n);
    while (v < values.size() && values[v] == ' ') ++v;
    const std::size_t ve = std::min(values.find(' ', v), values.size());
    s += names.substr(n, ne - n) + " " + values.substr(v, ve - v) + "\n";
    n = ne + 1;
    v = ve;
  }
  return s;
}

// The atom-site loop header used by the hand-written files.
inline const std::string kAtomLoop =
    atom_loop({"group_PDB", "id", "type_symbol", "label_atom_id", "label_alt_id", "label_comp_id", "label_asym_id",
               "label_entity_id", "label_seq_id", "Cartn_x", "Cartn_y", "Cartn_z", "occupancy", "B_iso_or_equiv",
               "auth_seq_id"});

// Serial, atom, residue, asym, author number and the coordinates.
inline const std::string kShortLoop =
    atom_loop({"id", "label_atom_id", "label_comp_id", "label_asym_id", "auth_seq_id", "Cartn_x", "Cartn_y", "Cartn_z"});

// The three count lines of a read.
inline std::string count_lines(int chains, int residues, int atoms) {
  char buf[200];
  std::snprintf(buf, sizeof buf,
                "  Number of chains     :%8d\n  Number of monomers   :%8d\n  Number of atoms      :%8d\n", chains,
                residues, atoms);
  return buf;
}

// Each chain of the model read as its group identifier and residue count:
// "AA:2 Aa:2 ".
inline std::string chain_summary() {
  std::string s;
  for (int g = 1; g <= asym_part.n_group; ++g)
    s += std::string(asym_part.group_id(g).trimmed()) + ":" +
         std::to_string(asym_part.nres_chain(g)) + " ";
  return s;
}

// Occurrences of `what` in `text`.
inline int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}
