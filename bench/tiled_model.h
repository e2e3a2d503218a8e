// The tiled mmCIF model of the benchmarks: ten atoms a residue, 5000
// residues a chain, written once per size and removed at exit.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

namespace bench_model {

inline const char* const kNames[10] = {"N", "CA", "C", "O", "CB", "CG", "CD", "NE", "CZ", "NH1"};

// Path of the file without its extension ".cif".
inline const std::string& model_file(int natom) {
  static std::map<int, std::string> files;
  auto it = files.find(natom);
  if (it != files.end()) return it->second;
  std::string path = "/tmp/cif_bench_" + std::to_string(getpid()) + "_" + std::to_string(natom);
  std::FILE* f = std::fopen((path + ".cif").c_str(), "w");
  std::fputs(
      "data_bench\n_entry.id BNCH\n_cell.length_a 200\n_cell.length_b 200\n_cell.length_c 200\n"
      "_cell.angle_alpha 90\n_cell.angle_beta 90\n_cell.angle_gamma 90\n"
      "_symmetry.space_group_name_H-M 'P 1'\n_symmetry.Int_Tables_number 1\n"
      "loop_\n_atom_site.group_PDB\n_atom_site.id\n_atom_site.type_symbol\n_atom_site.label_atom_"
      "id\n"
      "_atom_site.label_alt_id\n_atom_site.label_comp_id\n_atom_site.label_asym_id\n"
      "_atom_site.label_entity_id\n_atom_site.label_seq_id\n_atom_site.Cartn_x\n_atom_site.Cartn_"
      "y\n"
      "_atom_site.Cartn_z\n_atom_site.occupancy\n_atom_site.B_iso_or_equiv\n_atom_site.auth_seq_"
      "id\n",
      f);
  for (int a = 0; a < natom; ++a) {
    const int res = a / 10;
    const int chain = res / 5000;
    const int seq = res % 5000 + 1;
    const char* name = kNames[a % 10];
    std::fprintf(f, "ATOM %d %c %s . ARG %c%c 1 %d %.3f %.3f %.3f 1.00 %.2f %d\n", a + 1, name[0],
                 name, 'A' + chain % 26, 'A' + chain / 26, seq, (a % 97) * 0.731, (a % 89) * 0.517,
                 (a % 83) * 0.913, 10.0 + a % 40, seq);
  }
  std::fclose(f);
  return files[natom] = path;
}

// Removes the files written in this run.
inline void remove_files() {
  for (int n : {100000, 200000, 400000}) {
    const std::string p =
        "/tmp/cif_bench_" + std::to_string(getpid()) + "_" + std::to_string(n) + ".cif";
    std::remove(p.c_str());
  }
}

}  // namespace bench_model
