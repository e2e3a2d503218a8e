// Helpers of the CIF reader tests: a scratch directory for hand-written
// files, the reset of the tables the readers rely on, and one whole read.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
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

class CifFiles : public testing::Test {
 protected:
  void SetUp() override {
    setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 0);
    set_cif_types_();
    init_res_type_tab_();
    comlib.iquiet = 0;
    comlib.idoc = 0;
    com_crd_cif.held_unit = 0;
    char tmpl[] = "/tmp/cif_test_XXXXXX";
    dir_ = mkdtemp(tmpl);
    dir_ += "/";
  }
  void TearDown() override {
    rt::close_all_units();
    std::string cmd = "rm -rf '" + dir_ + "'";
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", dir_.c_str());
  }

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

  std::string dir_;
};

// The atom-site loop header used by the hand-written files.
inline const char* kAtomLoop =
    "loop_\n"
    "_atom_site.group_PDB\n"
    "_atom_site.id\n"
    "_atom_site.type_symbol\n"
    "_atom_site.label_atom_id\n"
    "_atom_site.label_alt_id\n"
    "_atom_site.label_comp_id\n"
    "_atom_site.label_asym_id\n"
    "_atom_site.label_entity_id\n"
    "_atom_site.label_seq_id\n"
    "_atom_site.Cartn_x\n"
    "_atom_site.Cartn_y\n"
    "_atom_site.Cartn_z\n"
    "_atom_site.occupancy\n"
    "_atom_site.B_iso_or_equiv\n"
    "_atom_site.auth_seq_id\n";

inline const char* kCell =
    "_cell.length_a 10.0\n_cell.length_b 20.0\n_cell.length_c 30.0\n"
    "_cell.angle_alpha 90\n_cell.angle_beta 90\n_cell.angle_gamma 90\n";
