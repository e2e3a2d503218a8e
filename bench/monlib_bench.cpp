// Loading a synthetic monomer library: getlib_ on lists of 1 000 and 5 000
// monomers (5 000 is the list's capacity), and reading 500 monomers on
// demand (read_lib_ "M") from their own description files, against a bare
// read of the same 500 files (open, read every line, close).  Each monomer
// has 10 atoms, a tree, 9 bonds, 14 angles, a torsion, a chiral centre and
// a plane, in the documented layout.  The counter x_bare gives the ratio of
// the on-demand reading to the bare read; the per-monomer time of getlib_
// must not grow with the list.  The files live in a temporary directory
// removed at the end.  Times are processor times: the machine may be shared.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "dictionary/mon_reader.h"
#include "foundation/messages.h"

namespace {

const char* const kAtoms[10] = {"N", "CA", "C", "O", "CB", "H", "HA", "HB1", "HB2", "HB3"};
const char* const kSymb[10] = {"N", "C", "C", "O", "C", "H", "H", "H", "H", "H"};
const char* const kType[10] = {"NH1", "CH1", "C", "O", "CH3", "HN", "H", "H", "H", "H"};
const char* const kBack[10] = {"n/a", "N", "CA", "C", "CA", "N", "CA", "CB", "CB", "CB"};
const int kBonds[9][2] = {{0, 1}, {1, 2}, {2, 3}, {1, 4}, {0, 5}, {1, 6}, {4, 7}, {4, 8}, {4, 9}};

std::string code_of(int l) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "M%05d", l);
  return buf;
}

std::string description(const std::string& code) {
  std::string s = "data_comp_" + code + "\nloop_\n_chem_comp_atom.comp_id\n_chem_comp_atom.atom_id\n"
                  "_chem_comp_atom.type_symbol\n_chem_comp_atom.type_energy\n_chem_comp_atom.x\n"
                  "_chem_comp_atom.y\n_chem_comp_atom.z\n";
  for (int a = 0; a < 10; ++a)
    s += code + " " + kAtoms[a] + " " + kSymb[a] + " " + kType[a] + " " + std::to_string(a) +
         ".000 1.000 2.000\n";
  s += "loop_\n_chem_comp_tree.comp_id\n_chem_comp_tree.atom_id\n_chem_comp_tree.atom_back\n"
       "_chem_comp_tree.atom_forward\n_chem_comp_tree.connect_type\n";
  for (int a = 0; a < 10; ++a)
    s += code + " " + kAtoms[a] + " " + kBack[a] + " " + (a == 0 ? "CA" : a == 1 ? "C" : ".") +
         " " + (a == 0 ? "START" : a == 2 ? "END" : ".") + "\n";
  s += "loop_\n_chem_comp_bond.comp_id\n_chem_comp_bond.atom_id_1\n_chem_comp_bond.atom_id_2\n"
       "_chem_comp_bond.type\n_chem_comp_bond.value_dist\n_chem_comp_bond.value_dist_esd\n";
  for (const auto& b : kBonds)
    s += code + " " + kAtoms[b[0]] + " " + kAtoms[b[1]] + " SING 1.500 0.020\n";
  s += "loop_\n_chem_comp_angle.comp_id\n_chem_comp_angle.atom_id_1\n_chem_comp_angle.atom_id_2\n"
       "_chem_comp_angle.atom_id_3\n_chem_comp_angle.value_angle\n_chem_comp_angle.value_angle_esd\n";
  for (int k = 0; k < 14; ++k) s += code + " N CA C 111.00 3.00\n";
  s += "loop_\n_chem_comp_tor.comp_id\n_chem_comp_tor.id\n_chem_comp_tor.atom_id_1\n"
       "_chem_comp_tor.atom_id_2\n_chem_comp_tor.atom_id_3\n_chem_comp_tor.atom_id_4\n"
       "_chem_comp_tor.value_angle\n_chem_comp_tor.value_angle_esd\n_chem_comp_tor.period\n" +
       code + " chi1 N CA CB HB1 60.0 15.0 3\n";
  s += "loop_\n_chem_comp_chir.comp_id\n_chem_comp_chir.atom_id_centre\n_chem_comp_chir.atom_id_1\n"
       "_chem_comp_chir.atom_id_2\n_chem_comp_chir.atom_id_3\n_chem_comp_chir.volume_sign\n" +
       code + " CA N C CB positiv\n";
  s += "loop_\n_chem_comp_plane_atom.comp_id\n_chem_comp_plane_atom.plane_id\n"
       "_chem_comp_plane_atom.atom_id\n_chem_comp_plane_atom.dist_esd\n";
  for (const char* a : {"CA", "C", "O", "N"}) s += code + " p1 " + a + " 0.020\n";
  return s;
}

// A library directory with nmon monomers; the directory ends in "/".
struct Library {
  std::string dir;
  explicit Library(int nmon) {
    char tmpl[] = "/tmp/monlib_bench_XXXXXX";
    dir = std::string(mkdtemp(tmpl)) + "/";
    std::system(("mkdir -p " + dir + "list " + dir + "m").c_str());
    std::ofstream list(dir + "list/mon_lib_list.cif");
    list << "global_\n_lib_name bench\ndata_comp_list\nloop_\n_chem_comp.id\n"
            "_chem_comp.three_letter_code\n_chem_comp.group\n_chem_comp.number_atoms_all\n"
            "_chem_comp.number_atoms_nh\n_chem_comp.desc_level\n";
    std::ofstream index(dir + "mon_lib_ind.cif");
    for (int l = 1; l <= nmon; ++l) {
      const std::string code = code_of(l);
      list << code << " " << code.substr(0, 3) << " L-peptide 10 5 .\n";
      char line[128];
      std::snprintf(line, sizeof line, "%4d %-2s %-8s %4d %s %s\n%17s%s\n", l, "X", code.c_str(), 5,
                    "030101000000000000000000000000", "004004002000000000000000", "",
                    "002001001000000000000000");
      index << line;
      std::ofstream(dir + "m/" + code + ".cif") << description(code);
    }
    list << "data_link_list\nloop_\n_chem_link.id\n_chem_link.name\nTRANS 'peptide'\n"
            "data_link_TRANS\nloop_\n_chem_link_bond.link_id\n_chem_link_bond.atom_1_comp_id\n"
            "_chem_link_bond.atom_id_1\n_chem_link_bond.atom_2_comp_id\n_chem_link_bond.atom_id_2\n"
            "_chem_link_bond.value_dist\nTRANS 1 C 2 N 1.329\n";
    std::ofstream(dir + "mon_lib_ind2.cif") << "    1         18\n       1\n"
                                               "   1   5   4   3   1   1   0   0   0   0   0   0   0   0   0   0   0   0\n";
    std::ofstream(dir + "ener_lib.cif")
        << "data_e\nloop_\n_lib_atom.type\n_lib_atom.element\n"
           "NH1 N\nCH1 C\nC C\nO O\nCH3 C\nHN H\nH H\n"
           "loop_\n_lib_bond.atom_type_1\n_lib_bond.atom_type_2\n_lib_bond.length\n"
           "CH1 C 1.52\nC O 1.23\nNH1 CH1 1.46\n";
  }
  ~Library() { std::system(("rm -rf " + dir).c_str()); }
};

Library& library(int nmon) {
  setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
  static Library small(1000);
  static Library large(5000);
  return nmon == 1000 ? small : large;
}

void load(const Library& lib) {
  LibNames names;
  rt::FixedText<256> libe(""), libm_ext(""), libe_ext(""), lib_ind(""), lib_out("");
  int32_t numb = 0, ierr = 0;
  getlib_(0, 'S', 'N', numb, lib.dir, lib.dir, "", names, libe.ref(), "", libm_ext.ref(),
          libe_ext.ref(), "", "", lib_ind.ref(), lib_out.ref(), ierr);
  if (ierr != 0) std::abort();
}

void BM_getlib(benchmark::State& state) {
  const int nmon = static_cast<int>(state.range(0));
  Library& lib = library(nmon);
  comlib.iquiet = 1;
  for (auto _ : state) load(lib);
  comlib.iquiet = 0;
  state.counters["us_per_monomer"] = benchmark::Counter(
      static_cast<double>(nmon), benchmark::Counter::kIsIterationInvariantRate |
                                     benchmark::Counter::kInvert);
}
BENCHMARK(BM_getlib)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// 500 monomers spread over the list.
int pick(int k, int nmon) { return static_cast<int>((static_cast<long>(k) * 7919) % nmon) + 1; }

double bare_read(const Library& lib, int nmon) {
  const std::clock_t t0 = std::clock();
  std::string line;
  long lines = 0;
  for (int k = 0; k < 500; ++k) {
    std::ifstream in(lib.dir + "m/" + code_of(pick(k, nmon)) + ".cif");
    while (std::getline(in, line)) ++lines;
  }
  benchmark::DoNotOptimize(lines);
  return static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
}

void BM_read_500_on_demand(benchmark::State& state) {
  const int nmon = 5000;
  Library& lib = library(nmon);
  comlib.iquiet = 1;
  load(lib);
  r_scratch_t& r = r_scratch;
  double read_time = 0, bare_time = 0;
  for (auto _ : state) {
    state.PauseTiming();
    sset_fuse_('N', ' ');
    for (int l = 1; l <= r.lml_nmon; ++l) r.lml_fuse(l) = "N";
    for (int k = 0; k < 500; ++k) r.lml_fuse(pick(k, nmon)) = "R";
    state.ResumeTiming();
    const std::clock_t t0 = std::clock();
    int32_t ierr = 0;
    read_lib_(0, "M", 'N', ' ', ierr);
    read_time += static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
    if (ierr != 0 || r.lma_natom != 5000) std::abort();
    state.PauseTiming();
    bare_time += bare_read(lib, nmon);
    state.ResumeTiming();
  }
  comlib.iquiet = 0;
  state.counters["x_bare"] = read_time / bare_time;
}
BENCHMARK(BM_read_500_on_demand)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
