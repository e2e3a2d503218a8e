// Writing the residue and link restraints of a real entry (1A8O, its
// protein residues) tiled to about 100 000 atoms, against a bare fprintf
// loop that writes the same records in the same columns.  Each distinct
// residue is prepared once (gathered, its monomer copied and its atoms
// checked, outside the timing); its records are then written once per tile
// with the tile's serial base, the link to its neighbour with it.  The
// ratio of the two is printed at the end.  ORB_BENCH_BRIEF=1 keeps to ten
// tiles.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "coords/pdb_reader.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_loading.h"
#include "dictionary/lib_to_work.h"
#include "dictionary/work_copies.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "output/rst_read.h"
#include "ratio_reporter.h"
#include "restraints/atom_check.h"
#include "restraints/link_restraints.h"
#include "restraints/res_restraints.h"
#include "restraints/residue_work.h"
#include "restraints/rst_file.h"
#include "runtime/units.h"

namespace {

std::string data_dir() { return ORB_TEST_DATA_DIR "/"; }

const std::string& out_dir() {
  static const std::string dir = "/tmp/rst_bench_" + std::to_string(getpid()) + "/";
  return dir;
}

// A protein residue of the entry with a library monomer, and the link
// that joins it to the residue before (blank for none).
struct Residue {
  int32_t ir;
  int32_t natom;
  std::string link;
};

std::vector<Residue> residues;
int32_t atoms_per_tile = 0;

bool load() {
  static int state = 0;
  if (state != 0) return state > 0;
  state = -1;
  comlib.iquiet = 1;
  setenv("ATOMSF", ORB_DATA_DIR "/atomsf.lib", 0);
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 0);
  const std::string lib = data_dir() + "monlib/";
  LibNames libm{};
  rt::FixedText<256> libe(""), libm_ext(""), libe_ext(""), lib_ind(""), lib_out("");
  int32_t numb = 0, ierr = 0;
  getlib_(99, ' ', 'N', numb, lib, lib, "", libm, libe.ref(), "", libm_ext.ref(), libe_ext.ref(),
          "", "", lib_ind.ref(), lib_out.ref(), ierr);
  if (ierr != 0) return false;
  r_scratch_t& r = r_scratch;
  for (int l = 1; l <= r.lml_nmon; ++l) r.lml_fuse(l) = "R";
  read_lib_(99, "M", 'N', ' ', ierr);
  init_atm_inf_(99, ierr);
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  ierr = 0;
  get_pdb_(99, data_dir() + "1A8O.pdb", 0, cell, 'N', 'N', 'Y', ierr);
  rt::close_all_units();
  if (ierr != 0) return false;
  crdinf.cr_hflag = "N";
  int32_t prev = 0;
  for (int32_t ir = 1; ir <= resid_inf.n_residue; ++ir) {
    const rt::FixedText<8>& name = resid_inf.res_name(ir);
    if (name == "HOH" || name == "MSE") {
      prev = 0;
      continue;
    }
    std::string link;
    if (prev > 0) link = name == "PRO" ? "PTRANS" : "TRANS";
    residues.push_back({ir, resid_inf.natm_res(ir), link});
    atoms_per_tile += resid_inf.natm_res(ir);
    prev = ir;
  }
  state = 1;
  return true;
}

int tiles() {
  const char* brief = std::getenv("ORB_BENCH_BRIEF");
  if (brief != nullptr && brief[0] == '1') return 10;
  return (100000 + atoms_per_tile - 1) / atoms_per_tile;
}

// Gathers residue ir into C1 and checks it against its monomer.
bool prepare(int32_t ir) {
  const int32_t ias = resid_inf.iratm_first(ir);
  int32_t ierr = 0;
  get_monom_(99, ' ', resid_inf.i_chain(ir), ir, ias, ias + resid_inf.natm_res(ir) - 1, ierr);
  rt::FixedText<8> mon(resid_inf.res_name(ir));
  cp_mlib_(99, mon, ierr);
  if (ierr != 0) return false;
  int32_t a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
  chklst_(99, mon, a, b, c, d, e, f, 'N', ' ', ierr);
  return ierr == 0;
}

void set_file(const char* name) {
  crdinf.crro_path = out_dir();
  crdinf.crro_file = name;
  crdinf.crro_ext = "rst";
  crdinf.cr_form_rst = "F";
}

// All restraints of the tiled model, residue by residue, every tile.
void write_restraints(benchmark::State* state, const char* name) {
  set_file(name);
  int32_t ierr = 0;
  wrt_rst_("TITL", 99, ierr);
  const int ntile = tiles();
  for (std::size_t k = 0; k < residues.size(); ++k) {
    if (state) state->PauseTiming();
    const Residue& res = residues[k];
    bool linked = !res.link.empty();
    if (linked) {
      prepare(residues[k - 1].ir);
      copyc2_(99, ierr);
    }
    const bool ok = prepare(res.ir);
    if (state) state->ResumeTiming();
    if (!ok) continue;
    r_scratch_t& r = r_scratch;
    for (int t = 0; t < ntile; ++t) {
      const int32_t base = t * atoms_per_tile + res.ir * 40;
      r.c1_iglobal = base;
      r.c2_iglobal = base - 40;
      if (linked) dscr_links_(99, ' ', res.link, 0, 'Y', 1, residues[k - 1].ir, 1, res.ir, ierr);
      wrt_rst_("WRIT", 99, ierr);
      make_rest_(99, 1, res.ir, ierr);
    }
  }
  wrt_rst_("STOP", 99, ierr);
}

// The records of one run of the writers, read back once for the baseline.
struct Record {
  char name[5], label[9];
  int32_t num, prd, ia[4];
  float v[6];
};
std::vector<Record> records;

void read_records() {
  if (!records.empty()) return;
  write_restraints(nullptr, "reference");
  rt::FixedText<256> none("");
  int32_t in = 0, ierr = 0;
  orrst_cif_(99, in, none, out_dir() + "reference", "rst", ierr);
  int32_t iend = -1;
  while (ierr == 0) {
    int32_t mode = 0;
    rdrst_cif_(99, in, mode, iend, ierr);
    if (ierr != 0 || iend != 0) break;
    if (mode != 0) continue;
    const crdrst_t& c = crdrst;
    Record rec{};
    std::snprintf(rec.name, sizeof rec.name, "%.4s", c.rs_name.c);
    std::snprintf(rec.label, sizeof rec.label, "%.8s", c.rs_label.c);
    rec.num = c.rs_num;
    rec.prd = c.rs_prd;
    const int32_t ia[4] = {c.rs_ia1, c.rs_ia2, c.rs_ia3, c.rs_ia4};
    for (int i = 0; i < 4; ++i) rec.ia[i] = ia[i];
    const float v[6] = {c.rs_vidl, c.rs_sdi, c.rs_vobs, c.rs_dist, c.rs_desd, c.rs_cns};
    for (int i = 0; i < 6; ++i) rec.v[i] = v[i];
    records.push_back(rec);
  }
}

void BM_WriteRestraints(benchmark::State& state) {
  if (!load()) {
    state.SkipWithError("model or library not read");
    return;
  }
  for (auto _ : state) write_restraints(&state, "bench");
  state.counters["atoms"] = static_cast<double>(tiles()) * atoms_per_tile;
}

void BM_BareFprintf(benchmark::State& state) {
  if (!load()) {
    state.SkipWithError("model or library not read");
    return;
  }
  read_records();
  const std::string path = out_dir() + "bare.rst";
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    for (const Record& r : records) {
      std::fprintf(f, "%-4s %6d %-8s %d    %6d %6d %6d %6d %8.3f %8.3f %8.3f\n", r.name, r.num,
                   r.label, r.prd, r.ia[0], r.ia[1], r.ia[2], r.ia[3], r.v[0], r.v[1], r.v[2]);
      std::fprintf(f, "%8.3f %8.3f %8.3f #  N   .  CA  .  C   .  O   .\n", r.v[3], r.v[4], r.v[5]);
    }
    std::fclose(f);
  }
  state.counters["records"] = static_cast<double>(records.size());
}

}  // namespace

BENCHMARK(BM_WriteRestraints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareFprintf)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  mkdir(out_dir().c_str(), 0700);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter("BM_WriteRestraints", "BM_BareFprintf",
                         "restraint writers / bare fprintf");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  for (const char* f : {"bench.rst", "reference.rst", "bare.rst"})
    std::remove((out_dir() + f).c_str());
  rmdir(out_dir().c_str());
  return 0;
}
