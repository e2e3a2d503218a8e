// Two readings of mmCIF that came with the anisotropic loop and orbinate's
// mmCIF road, each against a baseline doing the same work otherwise, in the
// same run.
//
// 1. The dictionary pipeline's reader on 4CUP (tests/data, 1107 atoms, 974
//    anisotropic rows) laid side by side k times (chains renamed, serials
//    moved on), with its anisotropic loop against the same file with the
//    loop cut off: the same atoms, so the ratio is the cost of the loop.  A
//    third file keeps every other anisotropic row only, as an entry whose
//    riding hydrogens have none: the rows then do not follow the atoms one
//    by one.
// 2. orbinate's mmCIF road (each row written as a PDB atom line and read by
//    the PDB reader's code) against its PDB road on both forms of one
//    entry: 1A8O and 1LCD from tests/data, and a generated model written in
//    both forms (chains of 100 residues of eight atoms, 62 chain letters).
// 3. Both readers on an entry whose header categories follow its atom list
//    (as ChimeraX, Open Babel and cif-tools write them) against the same
//    entry in the archive's order: 1A8O, the generated model of 8000 atoms
//    and 2BEG (ten models, of which orbinate reads the first).  The header
//    is then read on past the atoms, their rows passed over, and the row
//    readers read the file a second time.  Beside them 2BEG with a caveat
//    loop after its models, which the header reader takes nothing from,
//    against 2BEG as it is.
// 4. Both readers on the generated model written as Open Babel writes a
//    file: no chain named, by label or by author, each chain numbered from
//    1, so that both part one blank chain where its numbers start again,
//    at the break in its covalent chain; against the same rows with their
//    chains named.
// 5. orbinate's PDB road on the generated model written as GROMACS writes a
//    frame (no chain letters, no TER records), parted where its numbers
//    start again, against the same atoms with their chains named.
//
// ORB_BENCH_BRIEF=1 (the brief run in CI) keeps to the small sizes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "coords/cif_by_pdb_rules.h"
#include "coords/pdb_reader.h"
#include "coords/read_atoms.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "foundation/paths_defaults.h"
#include "foundation/residue_class.h"
#include "quiet_stdout.h"
#include "ratio_reporter.h"
#include "runtime/units.h"

namespace {

bool brief() {
  const char* b = std::getenv("ORB_BENCH_BRIEF");
  return b != nullptr && b[0] == '1';
}

std::string temp_path(const std::string& name) {
  return "/tmp/cif_forms_" + std::to_string(getpid()) + "_" + name;
}
std::vector<std::string> g_written;

std::vector<std::string> split(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> w;
  std::string s;
  while (in >> s) w.push_back(s);
  return w;
}

std::string join(const std::vector<std::string>& w) {
  std::string out;
  for (const std::string& s : w) {
    if (!out.empty()) out += ' ';
    out += s;
  }
  return out + '\n';
}

// 4CUP in its parts: the lines before the atom rows, the atom rows, the
// lines up to the anisotropic rows (its loop header included), those rows
// and the rest; with the column of the serial and of the chains in each.
struct Entry4cup {
  std::vector<std::string> head, atoms, middle, aniso_head, aniso, tail;
  int a_id = -1, a_label = -1, a_auth = -1;
  int u_id = -1, u_label = -1, u_auth = -1;
};

const Entry4cup& entry_4cup() {
  static Entry4cup e;
  if (!e.atoms.empty()) return e;
  std::ifstream in(ORB_DATA_DIR "/../tests/data/cif_4CUP.cif");
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  // part 0 head, 1 atom rows, 2 middle, 3 aniso rows, 4 tail
  int part = 0, names = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    const bool atom_name = l.rfind("_atom_site.", 0) == 0;
    const bool aniso_name = l.rfind("_atom_site_anisotrop.", 0) == 0;
    if (atom_name || aniso_name) {
      const std::string item = split(l)[0];
      int* id = atom_name ? &e.a_id : &e.u_id;
      int* label = atom_name ? &e.a_label : &e.u_label;
      int* auth = atom_name ? &e.a_auth : &e.u_auth;
      if (item == "_atom_site.id" || item == "_atom_site_anisotrop.id") *id = names;
      if (item == "_atom_site.label_asym_id" || item == "_atom_site_anisotrop.pdbx_label_asym_id")
        *label = names;
      if (item == "_atom_site.auth_asym_id" || item == "_atom_site_anisotrop.pdbx_auth_asym_id")
        *auth = names;
      ++names;
      if (aniso_name && part == 2) {
        // The loop_ line before the names belongs to the loop.
        e.aniso_head.push_back(e.middle.back());
        e.middle.pop_back();
        part = 3;
      }
      (part == 0 ? e.head : e.aniso_head).push_back(l);
      continue;
    }
    if (l.rfind("loop_", 0) == 0) names = 0;
    if ((part == 0 && (l.rfind("ATOM", 0) == 0 || l.rfind("HETATM", 0) == 0)) ||
        (part == 3 && !l.empty() && l[0] != '#' && e.aniso.empty()))
      part = part == 0 ? 1 : 3;
    if (part == 1 && l[0] == '#') part = 2;
    if (part == 3 && l[0] == '#') part = 4;
    switch (part) {
      case 0:
        e.head.push_back(l);
        break;
      case 1:
        e.atoms.push_back(l);
        break;
      case 2:
        e.middle.push_back(l);
        break;
      case 3:
        e.aniso.push_back(l);
        break;
      default:
        e.tail.push_back(l);
    }
  }
  return e;
}

// One row of copy c: the serial moved on by c times the atoms of a copy,
// the chains named anew (chain "A" of copy 3 is "A3").
std::string copy_row(const std::string& row, int c, int id, int label, int auth) {
  std::vector<std::string> w = split(row);
  const int natom = static_cast<int>(entry_4cup().atoms.size());
  w[static_cast<std::size_t>(id)] =
      std::to_string(std::stoi(w[static_cast<std::size_t>(id)]) + c * natom);
  if (c > 0)
    for (int k : {label, auth}) w[static_cast<std::size_t>(k)] += std::to_string(c);
  return join(w);
}

// kind 0: no anisotropic loop; 1: the whole loop; 2: every other row.
const std::string& tiled_4cup(int copies, int kind) {
  static std::map<std::pair<int, int>, std::string> made;
  const auto key = std::make_pair(copies, kind);
  if (made.count(key)) return made[key];
  const Entry4cup& e = entry_4cup();
  const std::string path =
      temp_path("4cup_" + std::to_string(copies) + "_" + std::to_string(kind) + ".cif");
  std::ofstream out(path);
  for (const std::string& l : e.head) out << l << '\n';
  for (int c = 0; c < copies; ++c)
    for (const std::string& r : e.atoms) out << copy_row(r, c, e.a_id, e.a_label, e.a_auth);
  for (const std::string& l : e.middle) out << l << '\n';
  if (kind != 0) {
    for (const std::string& l : e.aniso_head) out << l << '\n';
    for (int c = 0; c < copies; ++c)
      for (std::size_t i = 0; i < e.aniso.size(); ++i)
        if (kind == 1 || i % 2 == 0) out << copy_row(e.aniso[i], c, e.u_id, e.u_label, e.u_auth);
  }
  for (const std::string& l : e.tail) out << l << '\n';
  g_written.push_back(path);
  return made[key] = path;
}

int copies_of(const benchmark::State& state) {
  return brief() ? 1 : static_cast<int>(state.range(0));
}

void read_4cup(benchmark::State& state, int kind) {
  set_cif_types_();
  init_res_type_tab_();
  comlib.iquiet = 1;
  const int copies = copies_of(state);
  const std::string& path = tiled_4cup(copies, kind);
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  const int natom = copies * static_cast<int>(entry_4cup().atoms.size());
  const std::string name = path.substr(0, path.size() - 4);
  for (auto _ : state) {
    int32_t ierr = 1;
    {
      QuietStdout quiet;
      read_atoms_(99, "", name, "cif", 0, cell, ierr);
    }
    rt::close_all_units();
    if (atom_inf.n_atom != natom || (ierr != 0 && ierr != 8)) {
      state.SkipWithError("the entry was not read whole");
      break;
    }
  }
  state.counters["atoms"] = natom;
  state.counters["aniso"] = atom_inf.n_aniso;
}

void BM_Cif4cupAniso(benchmark::State& state) { read_4cup(state, 1); }
void BM_Cif4cupAnisoSparse(benchmark::State& state) { read_4cup(state, 2); }
void BM_Cif4cupNoAniso(benchmark::State& state) { read_4cup(state, 0); }

// Both forms of a generated model of n atoms (whole residues); `unnamed`:
// the mmCIF form without its chain items.
const std::string& generated(int n, bool cif, bool unnamed = false) {
  static std::map<std::pair<int, int>, std::string> made;
  const auto key = std::make_pair(n, (cif ? 1 : 0) + (unnamed ? 2 : 0));
  if (made.count(key)) return made[key];
  static const char kChains[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  const char* names[8] = {"N", "CA", "C", "O", "CB", "CG", "CD", "CE"};
  const std::string path = temp_path("gen_" + std::to_string(n) + (unnamed ? "_unnamed" : "") +
                                     (cif ? ".cif" : ".pdb"));
  FILE* f = std::fopen(path.c_str(), "w");
  if (cif)
    std::fputs(
        "data_GEN\n_cell.length_a 100\n_cell.length_b 110\n_cell.length_c 120\n"
        "_cell.angle_alpha 90\n_cell.angle_beta 90\n_cell.angle_gamma 90\n"
        "_symmetry.space_group_name_H-M 'P 21 21 21'\n_symmetry.Int_Tables_number 19\n"
        "loop_\n_atom_site.group_PDB\n_atom_site.id\n_atom_site.type_symbol\n"
        "_atom_site.label_atom_id\n_atom_site.label_alt_id\n_atom_site.label_comp_id\n",
        f);
  if (cif && !unnamed) std::fputs("_atom_site.label_asym_id\n", f);
  if (cif)
    std::fputs(
        "_atom_site.label_entity_id\n_atom_site.label_seq_id\n"
        "_atom_site.pdbx_PDB_ins_code\n_atom_site.Cartn_x\n_atom_site.Cartn_y\n"
        "_atom_site.Cartn_z\n_atom_site.occupancy\n_atom_site.B_iso_or_equiv\n"
        "_atom_site.auth_seq_id\n",
        f);
  if (cif && !unnamed) std::fputs("_atom_site.auth_asym_id\n", f);
  if (cif) std::fputs("_atom_site.pdbx_PDB_model_num\n", f);
  else std::fputs("CRYST1  100.000  110.000  120.000  90.00  90.00  90.00 P 21 21 21    4\n", f);
  int serial = 0;
  for (int chain = 0; serial < n; ++chain) {
    // A PDB file that names no chain is a frame as GROMACS writes it: no
    // chain letters and no TER records between the chains.
    const char id = !cif && unnamed ? ' ' : kChains[chain % 62];
    for (int r = 1; r <= 100 && serial < n; ++r)
      for (int k = 0; k < 8; ++k) {
        ++serial;
        // Chains 30 A apart, as an entry's lie: none begins within a bond of
        // the end of the chain before, which would join them where no chain
        // is named.
        const double x = 0.01 * (serial % 9973), y = 0.02 * r + 30.0 * chain, z = 0.5 * k;
        if (cif && unnamed)
          std::fprintf(f, "ATOM %d %c %s . LYS 1 %d ? %.3f %.3f %.3f 1.00 %.2f %d 1\n", serial,
                       names[k][0], names[k], r, x, y, z, 10.0 + k, r);
        else if (cif)
          std::fprintf(f, "ATOM %d %c %s . LYS %c 1 %d ? %.3f %.3f %.3f 1.00 %.2f %d %c 1\n",
                       serial, names[k][0], names[k], id, r, x, y, z, 10.0 + k, r, id);
        else
          std::fprintf(f, "ATOM  %5d %-4s LYS %c%4d    %8.3f%8.3f%8.3f  1.00 %5.2f           %c\n",
                       serial, (std::string(" ") + names[k]).c_str(), id, r, x, y, z, 10.0 + k,
                       names[k][0]);
      }
    if (!cif && !unnamed) std::fputs("TER\n", f);
  }
  std::fputs(cif ? "#\n" : "END\n", f);
  std::fclose(f);
  g_written.push_back(path);
  return made[key] = path;
}

// The file of orbinate benchmark argument a: 0 1A8O, 1 1LCD, else a
// generated model of a atoms.
std::string road_file(int a, bool cif) {
  if (a == 0)
    return std::string(ORB_DATA_DIR "/../tests/data/") + (cif ? "cif_1A8O.cif" : "1A8O.pdb");
  if (a == 1)
    return std::string(ORB_DATA_DIR "/../tests/data/") + (cif ? "cif_1LCD.cif" : "1LCD.pdb");
  return generated(brief() ? a / 10 : a, cif);
}

// What orbinate does to read its coordinates from `path`, by either road
// (road 2: the dictionary pipeline's mmCIF reader, names as the file gives
// them).
void read_by_road(benchmark::State& state, int road, const std::string& path) {
  set_cif_types_();
  comlib.iquiet = 1;
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  for (auto _ : state) {
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    init_defaults_();
    ierr = road == 2 ? 1 : 0;
    {
      QuietStdout quiet;
      if (road == 1) coords::read_cif_by_pdb_rules(0, path, 'N', 'Y', ierr);
      else if (road == 2) read_atoms_(0, "", path.substr(0, path.size() - 4), "cif", 0, cell, ierr);
      else get_pdb_(0, path, 0, cell, 'N', 'N', 'Y', ierr);
    }
    rt::close_all_units();
    if ((ierr != 0 && !(road == 2 && ierr == 8)) || atom_inf.n_atom == 0) {
      state.SkipWithError("the entry was not read");
      break;
    }
  }
  state.counters["atoms"] = atom_inf.n_atom;
  state.counters["chains"] = asym_part.n_group;
}

void orbinate_road(benchmark::State& state, int road) {
  read_by_road(state, road, road_file(static_cast<int>(state.range(0)), road != 0));
}

// The file `path` with the categories between its block line and its atom
// list moved to just after the atom rows.
const std::string& header_after_atoms(const std::string& path) {
  static std::map<std::string, std::string> made;
  if (made.count(path)) return made[path];
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  std::size_t names = 0;
  while (names < lines.size() && lines[names].rfind("_atom_site.", 0) != 0) ++names;
  const std::size_t loop = names - 1;  // its loop_ line
  std::size_t end = names;
  while (end < lines.size() && lines[end].rfind("_atom_site.", 0) == 0) ++end;
  while (end < lines.size() && !lines[end].empty() &&
         std::string("#_ld").find(lines[end][0]) == std::string::npos)
    ++end;
  const std::string moved = temp_path("after_" + std::to_string(made.size()) + ".cif");
  std::ofstream out(moved);
  out << lines[0] << '\n';
  for (std::size_t i = loop; i < end; ++i) out << lines[i] << '\n';
  out << "#\n";
  for (std::size_t i = 1; i < loop; ++i) out << lines[i] << '\n';
  for (std::size_t i = end; i < lines.size(); ++i) out << lines[i] << '\n';
  g_written.push_back(moved);
  return made[path] = moved;
}

// 2BEG with the archive's caveat loop after its models.
const std::string& with_caveats(const std::string& path) {
  static std::string made;
  if (!made.empty()) return made;
  made = temp_path("caveat.cif");
  std::ofstream out(made);
  out << std::ifstream(path).rdbuf()
      << "loop_\n_database_PDB_caveat.id\n_database_PDB_caveat.text\n"
         "1 'GLU A 3 HAS WRONG CHIRALITY AT ATOM CA'\n2 'ASP A 7 HAS WRONG CHIRALITY AT ATOM CA'\n#\n";
  g_written.push_back(made);
  return made;
}

// Entry e (0 1A8O, 1 the generated model of 8000 atoms, 800 in the brief
// run, 2 2BEG, 3 2BEG and its caveats) in the archive's order or with
// categories after the atoms.
std::string order_file(int e, bool after) {
  std::string path;
  if (e == 0) path = ORB_DATA_DIR "/../tests/data/cif_1A8O.cif";
  else if (e == 1) path = road_file(8000, true);
  else path = ORB_DATA_DIR "/../tests/data/cif_2BEG.cif";
  if (!after) return path;
  return e == 3 ? with_caveats(path) : header_after_atoms(path);
}

void BM_OrbinateArchiveOrder(benchmark::State& state) {
  read_by_road(state, 1, order_file(static_cast<int>(state.range(0)), false));
}
void BM_OrbinateHeaderAfterAtoms(benchmark::State& state) {
  read_by_road(state, 1, order_file(static_cast<int>(state.range(0)), true));
}
void BM_PipelineArchiveOrder(benchmark::State& state) {
  read_by_road(state, 2, order_file(static_cast<int>(state.range(0)), false));
}
void BM_PipelineHeaderAfterAtoms(benchmark::State& state) {
  read_by_road(state, 2, order_file(static_cast<int>(state.range(0)), true));
}

// The generated model of a atoms with no chain named.
void unnamed_road(benchmark::State& state, int road) {
  const int a = static_cast<int>(state.range(0));
  read_by_road(state, road, generated(brief() ? a / 10 : a, true, true));
}
void BM_OrbinateNoChainNamed(benchmark::State& state) { unnamed_road(state, 1); }
void BM_OrbinatePdbNoChainNamed(benchmark::State& state) {
  const int a = static_cast<int>(state.range(0));
  read_by_road(state, 0, generated(brief() ? a / 10 : a, false, true));
}
void BM_PipelineNoChainNamed(benchmark::State& state) { unnamed_road(state, 2); }

void BM_OrbinateCifRoad(benchmark::State& state) { orbinate_road(state, 1); }
void BM_OrbinatePdbRoad(benchmark::State& state) { orbinate_road(state, 0); }
void BM_PipelineCifRoad(benchmark::State& state) { orbinate_road(state, 2); }

void copies(benchmark::internal::Benchmark* b) {
  if (brief()) b->Arg(1);
  else b->Arg(1)->Arg(10)->Arg(40);
  b->Unit(benchmark::kMillisecond);
}
void generated_sizes(benchmark::internal::Benchmark* b) {
  b->Arg(8000);
  if (!brief()) b->Arg(48000);
  b->Unit(benchmark::kMillisecond);
}
void entries(benchmark::internal::Benchmark* b) {
  b->Arg(0)->Arg(1);
  if (brief()) b->Arg(8000);
  else b->Arg(8000)->Arg(48000);
  b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_Cif4cupAniso)->Apply(copies);
BENCHMARK(BM_Cif4cupAnisoSparse)->Apply(copies);
BENCHMARK(BM_Cif4cupNoAniso)->Apply(copies);
BENCHMARK(BM_OrbinateCifRoad)->Apply(entries);
BENCHMARK(BM_OrbinatePdbRoad)->Apply(entries);
BENCHMARK(BM_PipelineCifRoad)->Apply(entries);
BENCHMARK(BM_OrbinateNoChainNamed)->Apply(generated_sizes);
BENCHMARK(BM_PipelineNoChainNamed)->Apply(generated_sizes);
BENCHMARK(BM_OrbinatePdbNoChainNamed)->Apply(generated_sizes);
BENCHMARK(BM_OrbinateArchiveOrder)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrbinateHeaderAfterAtoms)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PipelineArchiveOrder)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PipelineHeaderAfterAtoms)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 0);
  setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
  benchmark::Initialize(&argc, argv);
  std::vector<RatioReporter::Pair> pairs;
  for (const char* n : {"1", "10", "40"}) {
    pairs.push_back({std::string("BM_Cif4cupAniso/") + n, std::string("BM_Cif4cupNoAniso/") + n,
                     std::string("4CUP x") + n + " with its anisotropic loop / without"});
    pairs.push_back({std::string("BM_Cif4cupAnisoSparse/") + n,
                     std::string("BM_Cif4cupNoAniso/") + n,
                     std::string("4CUP x") + n + " every other anisotropic row / without"});
  }
  for (const char* n : {"0", "1", "8000", "48000"}) {
    const std::string what = std::string(n) == "0"   ? "1A8O"
                             : std::string(n) == "1" ? "1LCD"
                                                     : std::string("generated ") + n;
    pairs.push_back({std::string("BM_OrbinateCifRoad/") + n, std::string("BM_OrbinatePdbRoad/") + n,
                     "orbinate mmCIF road / PDB road, " + what});
    pairs.push_back({std::string("BM_OrbinateCifRoad/") + n, std::string("BM_PipelineCifRoad/") + n,
                     "orbinate mmCIF road / the pipeline's mmCIF reader, " + what});
  }
  for (const char* n : {"8000", "48000"})
    for (const char* road : {"Orbinate", "Pipeline"})
      pairs.push_back({std::string("BM_") + road + "NoChainNamed/" + n,
                       std::string("BM_") + road + "CifRoad/" + n,
                       std::string(road[0] == 'O' ? "orbinate" : "the pipeline's reader") +
                           ", generated " + n + " naming no chain / its chains named"});
  for (const char* n : {"8000", "48000"})
    pairs.push_back({std::string("BM_OrbinatePdbNoChainNamed/") + n,
                     std::string("BM_OrbinatePdbRoad/") + n,
                     std::string("orbinate, generated ") + n +
                         " as a PDB frame without chain letters or TER / its chains named"});
  const char* kOrderEntries[] = {"1A8O, header after the atoms", "generated 8000, header after the atoms",
                                 "2BEG, header after the atoms", "2BEG, a caveat loop after its models"};
  for (int e = 0; e < 4; ++e)
    for (const char* road : {"Orbinate", "Pipeline"})
      pairs.push_back({std::string("BM_") + road + "HeaderAfterAtoms/" + std::to_string(e),
                       std::string("BM_") + road + "ArchiveOrder/" + std::to_string(e),
                       std::string(road[0] == 'O' ? "orbinate" : "the pipeline's reader") + ", " +
                           kOrderEntries[e] + " / archive order"});
  RatioReporter reporter(RatioReporter::Time::cpu, pairs, "Ratios (CPU time):");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const std::string& p : g_written) std::remove(p.c_str());
  benchmark::Shutdown();
  return 0;
}
