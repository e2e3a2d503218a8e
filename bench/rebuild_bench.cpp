// Rebuilding the hydrogens of a tiled real entry along the residue trees.
// The residues of 2BEG's first model (130 residues) are described against
// the test monomer library of tests/data/monlib with their hydrogens taken
// away (internal-coordinate tree and start torsions, not timed); the model
// is then tiled to about 100 000 atoms, each copy of a residue shifted on a
// cubic lattice 60 Angstrom apart.
//  - BM_RebuildHydrogens: per residue copy, its positions and flags put back
//    into the work area (hydrogens missing) and every hydrogen rebuilt
//    (rebuild_, a fragment start).
//  - BM_BarePlacement: the same copies with the same restore, and for every
//    hydrogen one natural-extension step from its three tree neighbours.
// x_bare is the ratio of the two.  ORB_BENCH_BRIEF=1 runs a tenth of the
// copies.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "dictionary/lib_to_work.h"
#include "dictionary/libcom.h"
#include "dictionary/tree_numbering.h"
#include "dictionary/work_copies.h"
#include "foundation/kernels.h"
#include "foundation/messages.h"
#include "ratio_reporter.h"
#include "restraints/end_torsions.h"
#include "restraints/rebuild_tree.h"
#include "restraints/residue_tree.h"
#include "runtime/units.h"

namespace {

constexpr float kDeg = 3.14159265f / 180.0f;

// One described residue: the tree of the kept-residue area (restored once
// per residue), the positions and flags (restored per copy), and for the
// bare pass the three tree neighbours of each hydrogen.
struct Snapshot {
  int n = 0;
  int32_t istart = 0, ifinish = 0;
  rt::FixedText<8> mname;  // the monomer, whose ideal coordinates the rebuild reads
  std::vector<rt::FixedText<4>> l2_name, name, symb;
  std::vector<int32_t> l2_back, l2_nd, back, nd, ilib;
  std::vector<std::array<int32_t, MX1BRN>> l2_conn, conn;
  std::vector<float> dist, tht, psi;
  std::vector<rt::FixedText<8>> id_psi;
  std::vector<float> xyz, occ;
  std::vector<char> type;
  struct Hydrogen {
    int32_t h, parent, back, back2;
  };
  std::vector<Hydrogen> hydrogens;
};

std::vector<Snapshot> g_residues;
int g_atoms_per_copy = 0;

using Atoms = std::map<std::string, std::array<float, 3>>;

// Residues of the first model of 2BEG in file order: name and atoms.
std::vector<std::pair<std::string, Atoms>> read_entry() {
  std::ifstream in(ORB_DATA_DIR "/../tests/data/2BEG.pdb");
  std::vector<std::pair<std::string, Atoms>> out;
  std::string line, key;
  while (std::getline(in, line)) {
    if (line.rfind("ENDMDL", 0) == 0) break;
    if (line.rfind("ATOM", 0) != 0 || line.size() < 54) continue;
    const std::string k = line.substr(17, 10);
    if (k != key) {
      key = k;
      out.push_back({line.substr(17, 3), {}});
    }
    std::string name = line.substr(12, 4);
    while (name.front() == ' ') name.erase(0, 1);
    while (name.back() == ' ') name.pop_back();
    out.back().second[name] = {std::stof(line.substr(30, 8)), std::stof(line.substr(38, 8)),
                               std::stof(line.substr(46, 8))};
  }
  return out;
}

bool monomer_in_l1(const std::string& code) {
  r_scratch_t& r = r_scratch;
  rt::FixedText<8> mon(code);
  int32_t ierr = 0;
  cp_mlib_(999, mon, ierr);
  if (ierr == 2) {
    for (int l = 1; l <= r.lml_nmon; ++l)
      if (r.lml_mname(l) == code) r.lml_fuse(l) = "R";
    read_lib_(999, "M", 'N', ' ', ierr);
    mon = code;
    cp_mlib_(999, mon, ierr);
  }
  if (ierr != 0) return false;
  set_num_(999, mon.view(), "", ierr);
  return ierr == 0;
}

// Describes one residue with its hydrogens missing and keeps what the
// rebuild reads.
bool describe(const std::string& code, const Atoms& atoms, Snapshot& s) {
  r_scratch_t& r = r_scratch;
  if (!monomer_in_l1(code)) return false;
  const int n = r.l1a_natom;
  r.c1_natom = r.c1_igatm = n;
  r.c1_iglobal = 0;
  r.c1_rname = code;
  for (int i = 1; i <= n; ++i) {
    const auto it = atoms.find(std::string(r.l1a_aname(i).trimmed()));
    if (it == atoms.end()) return false;
    r.c1_aname(i) = r.l1a_aname(i).view();
    r.c1_asymb(i) = r.l1a_symb(i).view();
    r.s1_inew(i) = r.s1_iold(i) = r.s1_ilib(i) = i;
    r.c1_nalt(i) = 1;
    r.c1_ialt(i) = 0;
    r.c1_alt(i) = r.c1_corr(i) = ".";
    // A missing atom has no occupancy, as the atom check leaves it.
    r.c1_occ(i) = r.l1a_symb(i)(1) == 'H' ? 0.0f : 1.0f;
    r.c1_biso(i) = 20.0f;
    r.s1_iback(i) = std::max(r.l1a_iback(i), 0);
    r.s1_ndist(i) = r.l1a_ndist(i);
    for (int k = 1; k <= r.l1a_ndist(i); ++k) r.s1_conn(k, i) = r.l1a_conn(k, i);
    r.s1_nextr(i) = 0;
    r.s1_dist(i) = r.s1_tht(i) = -1.0f;
    r.s1_psi(i) = 0.0f;
    r.s1_id_psi(i) = "?";
    const bool hydrogen = r.l1a_symb(i)(1) == 'H';
    for (int k = 0; k < 3; ++k) r.c1_xyz(k + 1, i) = hydrogen ? 0.0f : it->second[k];
    r.c1_atype(i) = hydrogen ? "M" : "Y";
  }
  int32_t ierr = 0;
  def_dist_th_ph_(999, ' ', 'S', ierr);
  copyl2_(999, ierr);
  copyc2_(999, ierr);
  calc_l_th_phi_(999, 'M', 'S', 1, 1, 1, ierr);
  s.n = n;
  s.istart = r.l2a_istart;
  s.ifinish = r.l2a_ifinish;
  s.mname = r.l2l_mname;
  for (int i = 1; i <= n; ++i) {
    s.l2_name.push_back(r.l2a_aname(i));
    s.l2_back.push_back(r.l2a_iback(i));
    s.l2_nd.push_back(r.l2a_ndist(i));
    s.name.push_back(r.c2_aname(i));
    s.symb.push_back(r.c2_asymb(i));
    s.back.push_back(r.s2_iback(i));
    s.nd.push_back(r.s2_ndist(i));
    s.ilib.push_back(r.s2_ilib(i));
    std::array<int32_t, MX1BRN> lc{}, sc{};
    for (int k = 1; k <= MX1BRN; ++k) {
      lc[k - 1] = r.l2a_conn(k, i);
      sc[k - 1] = r.s2_conn(k, i);
    }
    s.l2_conn.push_back(lc);
    s.conn.push_back(sc);
    s.dist.push_back(r.s2_dist(i));
    s.tht.push_back(r.s2_tht(i));
    s.psi.push_back(r.s2_psi(i));
    s.id_psi.push_back(r.s2_id_psi(i));
    for (int k = 1; k <= 3; ++k) s.xyz.push_back(r.c2_xyz(k, i));
    s.occ.push_back(r.c2_occ(i));
    s.type.push_back(r.c2_atype(i)(1));
    if (r.c2_atype(i) == "M") {
      const int32_t p = r.s2_iback(i), b = p > 0 ? r.s2_iback(p) : 0, bb = b > 0 ? r.s2_iback(b) : 0;
      // Hydrogens near the tree start have no three tree neighbours: the
      // bare pass takes the start's first child in their place.
      s.hydrogens.push_back({i, p, b > 0 ? b : r.s2_conn(r.s2_ndist(p), p), bb > 0 ? bb : 1});
    }
  }
  return true;
}

void restore_tree(const Snapshot& s) {
  r_scratch_t& r = r_scratch;
  r.l2a_istart = s.istart;
  r.l2a_ifinish = s.ifinish;
  r.l2l_mname = s.mname;
  r.c2_igatm = r.c2_natom = s.n;
  r.c2_rname = "RES";
  for (int i = 1; i <= s.n; ++i) {
    r.l2a_aname(i) = s.l2_name[i - 1];
    r.l2a_iback(i) = s.l2_back[i - 1];
    r.l2a_ndist(i) = s.l2_nd[i - 1];
    r.c2_aname(i) = s.name[i - 1];
    r.c2_asymb(i) = s.symb[i - 1];
    r.s2_iback(i) = s.back[i - 1];
    r.s2_ndist(i) = s.nd[i - 1];
    r.s2_ilib(i) = s.ilib[i - 1];
    for (int k = 1; k <= MX1BRN; ++k) {
      r.l2a_conn(k, i) = s.l2_conn[i - 1][k - 1];
      r.s2_conn(k, i) = s.conn[i - 1][k - 1];
    }
    r.s2_nextr(i) = 0;
    r.s2_conn_f(i) = 0;
    r.s2_dist(i) = s.dist[i - 1];
    r.s2_tht(i) = s.tht[i - 1];
    r.s2_psi(i) = s.psi[i - 1];
    r.s2_id_psi(i) = s.id_psi[i - 1];
    r.c2_biso(i) = 20.0f;
  }
}

// Positions of copy c of the residue on the lattice, flags as described.
void restore_copy(const Snapshot& s, int c) {
  r_scratch_t& r = r_scratch;
  const float off[3] = {60.0f * (c % 8), 60.0f * ((c / 8) % 8), 60.0f * (c / 64)};
  for (int i = 1; i <= s.n; ++i) {
    for (int k = 1; k <= 3; ++k) r.c2_xyz(k, i) = s.xyz[3 * (i - 1) + k - 1] + off[k - 1];
    r.c2_occ(i) = s.occ[i - 1];
    r.c2_atype(i)(1) = s.type[i - 1];
  }
}

int copies() {
  const int full = (100000 + g_atoms_per_copy - 1) / g_atoms_per_copy;
  return std::getenv("ORB_BENCH_BRIEF") ? std::max(1, full / 10) : full;
}

void BM_RebuildHydrogens(benchmark::State& state) {
  const int nc = copies();
  int64_t placed = 0;
  for (auto _ : state) {
    placed = 0;
    for (const Snapshot& s : g_residues) {
      restore_tree(s);
      for (int c = 0; c < nc; ++c) {
        restore_copy(s, c);
        int32_t na = 0, ierr = 0;
        rebuild_(999, ' ', 'M', 'S', 1, 1, 1, 'A', 'N', na, ierr);
        placed += na;
      }
    }
    benchmark::DoNotOptimize(placed);
  }
  state.counters["atoms"] = static_cast<double>(nc) * g_atoms_per_copy;
  state.counters["placed"] = static_cast<double>(placed);
}

void BM_BarePlacement(benchmark::State& state) {
  const int nc = copies();
  r_scratch_t& r = r_scratch;
  int64_t placed = 0;
  for (auto _ : state) {
    placed = 0;
    for (const Snapshot& s : g_residues) {
      restore_tree(s);
      for (int c = 0; c < nc; ++c) {
        restore_copy(s, c);
        for (const Snapshot::Hydrogen& h : s.hydrogens) {
          float ref[3], axis[3], v[3];
          for (int k = 1; k <= 3; ++k) {
            ref[k - 1] = r.c2_xyz(k, h.back) - r.c2_xyz(k, h.back2);
            axis[k - 1] = r.c2_xyz(k, h.parent) - r.c2_xyz(k, h.back);
          }
          coord_4_(0.0f, r.s2_dist(h.parent), r.s2_dist(h.h), ref, axis, r.s2_tht(h.parent) * kDeg,
                   r.s2_tht(h.h) * kDeg, r.s2_psi(h.h) * kDeg, v);
          for (int k = 1; k <= 3; ++k) r.c2_xyz(k, h.h) = r.c2_xyz(k, h.parent) + v[k - 1];
          ++placed;
        }
      }
    }
    benchmark::DoNotOptimize(placed);
  }
  state.counters["placed"] = static_cast<double>(placed);
}

BENCHMARK(BM_RebuildHydrogens)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BarePlacement)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
  comlib.iquiet = 1;
  LibNames libm{};
  rt::FixedText<256> libe(""), libm_ext(""), libe_ext(""), lib_ind(""), lib_out("");
  const std::string dir = ORB_DATA_DIR "/../tests/data/monlib/";
  int32_t numb = 0, ierr = 0;
  getlib_(0, ' ', 'N', numb, dir, dir, "", libm, libe.ref(), "", libm_ext.ref(), libe_ext.ref(), "", "",
          lib_ind.ref(), lib_out.ref(), ierr);
  libcom.lb_hflag = "Y";
  for (const auto& [code, atoms] : read_entry()) {
    Snapshot s;
    if (describe(code, atoms, s)) {
      g_atoms_per_copy += s.n;
      g_residues.push_back(std::move(s));
    }
  }
  rt::close_all_units();
  if (g_residues.empty()) {
    std::fprintf(stderr, "no residue of the entry could be described\n");
    return 1;
  }
  RatioReporter reporter("BM_RebuildHydrogens", "BM_BarePlacement", "x_bare (rebuild / bare placement)");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
