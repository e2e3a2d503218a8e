// The chemistry stages of the new-monomer builder on components of
// tests/data/components_subset.cif entered as a new monomer (heavy atoms
// with coordinates, under another name): bonds from distances, rings, bond
// types (with the ring-system step that settles the double bonds of planar
// rings), hydrogens, aromatic rings, chemical types, chiral centres and
// planes, on the ideal coordinates and on the same ones moved at random by
// up to 0.1 A (fixed seed).  The ring-system step cannot be switched off
// without changing what follows it, so the baseline is the first stage
// alone, measured in the same run: bonds from distances (every pair of
// atoms compared).  Counters: x_bonds, the whole stages over that stage;
// x_ring, the ring-system and aromatic steps alone over it.
//
// The last benchmark lays k copies of adenosine monophosphate (A) into one
// residue, 25 A apart (up to six: the builder's tables hold 300 atoms):
// each copy's rings are a system of their own, so the ring steps' time per
// copy should stay flat as k grows, and every copy must come out with the
// bond types of one alone (arom_or_double k times that of one).
//
// Energy library lengths from Allen et al. (1987), J. Chem. Soc. Perkin
// Trans. 2, S1-S19: C-C sp3 1.530, C=C 1.335, aromatic C-C 1.384, C-N amine
// 1.469, C=N 1.279, aromatic C-N 1.355, C-N amide 1.334, C-O alcohol 1.426,
// C=O 1.210, carboxylate C-O 1.254, P-O ester 1.600, P=O 1.485; neutron C-H
// 1.083, N-H 1.009, O-H 0.967.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "builder/bond_types.h"
#include "builder/chem_types.h"
#include "builder/chiral_centres.h"
#include "builder/conjugation.h"
#include "builder/planes.h"
#include "builder/valency.h"
#include "dictionary/lib_com.h"
#include "dictionary/new_bonds.h"
#include "dictionary/ring_perception.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"

namespace {

struct Atom {
  std::string name, symb;
  float x, y, z;
};

std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size()) break;
    if (line[i] == '"') {
      const std::size_t e = line.find('"', i + 1);
      out.push_back(line.substr(i + 1, e - i - 1));
      i = e + 1;
    } else {
      const std::size_t e = std::min(line.find(' ', i), line.size());
      out.push_back(line.substr(i, e - i));
      i = e;
    }
  }
  return out;
}

// The heavy atoms of a component with their ideal coordinates.
const std::vector<Atom>& component(const std::string& code) {
  static std::map<std::string, std::vector<Atom>> read;
  if (read.count(code)) return read[code];
  std::vector<Atom>& c = read[code];
  std::ifstream in(ORB_DATA_DIR "/../tests/data/components_subset.cif");
  bool in_block = false, atoms = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("data_", 0) == 0) {
      if (in_block) break;
      in_block = line == "data_" + code;
      continue;
    }
    if (!in_block) continue;
    if (line.rfind("_chem_comp_atom.pdbx_ordinal", 0) == 0) atoms = true;
    else if (line.rfind("#", 0) == 0) atoms = false;
    else if (atoms) {
      const std::vector<std::string> w = words(line);
      if (w.size() >= 15 && w[3] != "H")
        c.push_back({w[1], w[3], std::stof(w[12]), std::stof(w[13]), std::stof(w[14])});
    }
  }
  return c;
}

// A portable generator: the same moves on every platform.
struct Moves {
  uint64_t s = 12345;
  float next() {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<float>(static_cast<double>(s >> 11) / 9007199254740992.0);
  }
};

// The residue: `copies` copies of the component 25 A apart along x, each
// atom name followed by a letter of its copy beyond the first; moved by up
// to `noise` A.
std::vector<Atom> residue_atoms(const std::string& code, int copies, float noise) {
  std::vector<Atom> out;
  Moves m;
  noise /= std::sqrt(3.0f);  // each axis so far that no atom moves further
  for (int c = 0; c < copies; ++c)
    for (Atom a : component(code)) {
      if (c > 0) a.name += static_cast<char>('a' + c - 1);
      a.x += 25.0f * static_cast<float>(c) + noise * (2 * m.next() - 1);
      a.y += noise * (2 * m.next() - 1);
      a.z += noise * (2 * m.next() - 1);
      out.push_back(a);
    }
  return out;
}

void energy_library() {
  r_scratch_t& r = r_scratch;
  r.lea_natom = r.leb_nbond = r.leg_nangl = r.let_ntors = r.les_nsyn = 0;
  auto type = [&](const char* n, const char* e) {
    const int k = ++r.lea_natom;
    r.lea_aname(k) = n;
    r.lea_ename(k) = e;
  };
  for (const char* t : {"CH1", "CH2", "CH3", "CT", "C", "C1", "C2", "CR6", "CR16", "CR5", "CR15",
                        "CR56", "CR66", "CSP", "CSP1"})
    type(t, "C");
  for (const char* t : {"N", "NH1", "NH2", "NT", "NT1", "NT2", "NT3", "NR5", "NR15", "NRD5", "NR6",
                        "NRD6", "NR16", "NS"})
    type(t, "N");
  for (const char* t : {"O", "O2", "OH1", "OC", "OS", "OP"}) type(t, "O");
  type("P", "P");
  type("H", "H");
  auto bond = [&](const char* t1, const char* t2, float len, const char* t) {
    const int k = ++r.leb_nbond;
    r.leb_1atm(k) = t1;
    r.leb_2atm(k) = t2;
    r.leb_length(k) = len;
    r.leb_type(k) = t;
    r.leb_i1atm(k) = r.leb_i2atm(k) = 0;
    for (int e = 1; e <= r.lea_natom; ++e) {
      if (r.lea_aname(e) == t1) r.leb_i1atm(k) = e;
      if (r.lea_aname(e) == t2) r.leb_i2atm(k) = e;
    }
  };
  bond("CH2", "CH2", 1.530f, "single");
  bond("C", "C", 1.335f, "double");
  bond("CR6", "CR6", 1.384f, "aromatic");
  bond("CH1", "NT1", 1.469f, "single");
  bond("C", "N", 1.279f, "double");
  bond("CR5", "NR5", 1.355f, "aromatic");
  bond("C", "NH1", 1.334f, "deloc");
  bond("CH1", "OH1", 1.426f, "single");
  bond("C", "O", 1.210f, "double");
  bond("C", "OC", 1.254f, "deloc");
  bond("P", "O2", 1.600f, "single");
  bond("P", "OP", 1.485f, "double");
  bond("CH1", "H", 1.083f, "single");
  bond("NH1", "H", 1.009f, "single");
  bond("OH1", "H", 0.967f, "single");
}

const char* class_of(const std::string& s) {
  if (s == "C" || s == "N" || s == "O") return "C";
  if (s == "P" || s == "S") return "P";
  return "$";
}

void load(const std::vector<Atom>& atoms) {
  r_scratch_t& r = r_scratch;
  r.l1a_natom = r.l1a_nhatom = r.l1b_nbond = r.l1c_nchir = r.l1p_nplan = 0;
  r.l1n_nconn = r.l1g_nangl = r.l1t_ntors = 0;
  r.l1l_mname = "XNW";
  r.l1l_prsnt = "N";
  r.l1l_type = ".";
  r.l1l_natm = r.l1l_nhatm = 0;
  for (const Atom& a : atoms) {
    const int i = ++r.l1a_natom;
    r.l1a_aname(i) = a.name;
    r.l1a_symb(i) = a.symb;
    r.l1a_chem(i) = ".";
    r.l1a_type(i) = ".";
    r.l1a_atype(i) = class_of(a.symb);
    r.l1a_coor_flag(i) = "Y";
    r.l1a_x(i) = a.x;
    r.l1a_y(i) = a.y;
    r.l1a_z(i) = a.z;
    r.l1a_charg(i) = 0.0f;
    r.l1a_ndist(i) = r.l1a_nring(i) = r.l1a_ichir(i) = r.l1a_ichem(i) = r.l1a_icr(i) = 0;
    r.l1a_iback(i) = r.l1a_iforw(i) = r.l1a_nextr(i) = 0;
    for (int k = 1; k <= MAX1BRN; ++k) {
      r.l1a_conn(k, i) = r.l1a_lencon(k, i) = 0;
      r.l1a_ring_id(k, i) = r.l1a_ring_ord(k, i) = r.l1a_ring_flat(k, i) = 0;
    }
  }
}

using Clock = std::chrono::steady_clock;
double seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// The stages up to the bond types; false on a failed stage.
bool stages_to_types(int32_t& nringt) {
  int32_t ierr = 0;
  list_bonds_from_coor_(0, ierr);
  if (ierr != 0) return false;
  remove_triangle_h_(0, ierr);
  lib_conn_(0, "COOR", ierr);
  define_chir_flag_(0, ierr);
  ring_(0, 'N', nringt, 1, ierr);
  if (ierr != 0) return false;
  add_type_using_coord_(0, 'N', ierr);
  return ierr == 0;
}

bool later_stages(int32_t nringt, double& ring_time) {
  int32_t ierr = 0;
  use_valency_(0, 'N', ierr);
  if (ierr != 0) return false;
  const auto t0 = Clock::now();
  builder::type_aromatic_rings();
  ring_time += seconds(t0, Clock::now());
  check_chem_dd_min_(0, 'N', ierr);
  if (ierr != 0) return false;
  check_chir_(0, 'N', 1, ierr);
  if (ierr != 0) return false;
  check_plan_(0, nringt, 'N', ierr);
  return ierr == 0;
}

int aromatic_or_double() {
  int n = 0;
  for (int b = 1; b <= r_scratch.l1b_nbond; ++b) {
    const std::string_view t = r_scratch.l1b_type(b).view();
    if (t.rfind("arom", 0) == 0 || t.rfind("doub", 0) == 0) ++n;
  }
  return n;
}

// With ORB_BENCH_DUMP set, the bond types of the first build on standard
// error, to compare the builds of two versions.
void dump_types(const std::string& code, int copies, float noise) {
  const r_scratch_t& r = r_scratch;
  std::fprintf(stderr, "%s x%d moved %.2f\n", code.c_str(), copies, static_cast<double>(noise));
  for (int b = 1; b <= r.l1b_nbond; ++b)
    std::fprintf(stderr, " %s-%s %s\n", std::string(r.l1b_1atm(b).trimmed()).c_str(),
                 std::string(r.l1b_2atm(b).trimmed()).c_str(),
                 std::string(r.l1b_type(b).trimmed()).c_str());
}

void build(benchmark::State& state, const std::string& code, int copies, float noise) {
  set_cif_types_();
  energy_library();
  comlib.iquiet = 1;
  const std::vector<Atom> atoms = residue_atoms(code, copies, noise);
  if (atoms.empty()) {
    state.SkipWithError("no such component");
    return;
  }
  double whole = 0, bonds = 0, ring = 0;
  int typed = 0;
  for (auto _ : state) {
    load(atoms);
    auto t0 = Clock::now();
    int32_t nringt = 0;
    double ring_here = 0;
    if (!stages_to_types(nringt) || !later_stages(nringt, ring_here)) {
      state.SkipWithError("a stage failed");
      break;
    }
    auto t1 = Clock::now();
    typed = aromatic_or_double();
    if (std::getenv("ORB_BENCH_DUMP") != nullptr && state.iterations() == 0)
      dump_types(code, copies, noise);
    // The ring-system step again on the bonds as the stages left them
    // before it: the same work as it did inside the bond types.
    load(atoms);
    nringt = 0;
    stages_to_types(nringt);
    auto t2 = Clock::now();
    builder::settle_ring_systems();
    auto t3 = Clock::now();
    load(atoms);
    int32_t ierr = 0;
    auto t4 = Clock::now();
    list_bonds_from_coor_(0, ierr);
    auto t5 = Clock::now();
    whole += seconds(t0, t1);
    ring += ring_here + seconds(t2, t3);
    bonds += seconds(t4, t5);
  }
  comlib.iquiet = 0;
  state.counters["atoms"] = static_cast<double>(atoms.size());
  state.counters["arom_or_double"] = typed;
  state.counters["us_stages"] = 1e6 * whole / static_cast<double>(state.iterations());
  state.counters["x_bonds"] = bonds > 0 ? whole / bonds : 0;
  state.counters["x_ring"] = bonds > 0 ? ring / bonds : 0;
}

const char* const kCodes[] = {"A", "DA", "TRP", "HIS", "TYR", "NAG"};

void BM_BuildComponent(benchmark::State& state) {
  const std::string code = kCodes[state.range(0)];
  state.SetLabel(code + (state.range(1) ? " moved by up to 0.1 A" : " ideal"));
  build(state, code, 1, state.range(1) ? 0.1f : 0.0f);
}

// k copies of A in one residue: per copy, the ratios and the typed bonds
// stay those of one copy.
void BM_BuildCopiesOfA(benchmark::State& state) {
  state.SetLabel(std::to_string(state.range(0)) + " copies of A, moved by up to 0.1 A");
  build(state, "A", static_cast<int>(state.range(0)), 0.1f);
  state.counters["copies"] = static_cast<double>(state.range(0));
}

void components(benchmark::internal::Benchmark* b) {
  for (int c = 0; c < 6; ++c)
    for (int moved = 0; moved < 2; ++moved) b->Args({c, moved});
  b->Unit(benchmark::kMicrosecond);
}
void copies(benchmark::internal::Benchmark* b) {
  const char* brief = std::getenv("ORB_BENCH_BRIEF");
  // Six copies with their hydrogens fill the builder's table of 300 atoms.
  if (brief != nullptr && brief[0] == '1') b->Arg(1)->Arg(2);
  else b->Arg(1)->Arg(2)->Arg(4)->Arg(6);
  b->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(BM_BuildComponent)->Apply(components);
BENCHMARK(BM_BuildCopiesOfA)->Apply(copies);

BENCHMARK_MAIN();
