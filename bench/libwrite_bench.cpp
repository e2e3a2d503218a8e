// Writing the dictionary back as library files: a monomer library of 2 000
// monomers (10 atoms, a tree, 9 bonds, 14 angles, a torsion, a chiral centre
// and a plane of 4 atoms each) written with "TITA", "MONA" and "STOP", and an
// energy library at its capacities (300 types, 800 bonds, 1 500 angles, 500
// contacts), against a bare write of the same lines (fprintf of lines of the
// same length).  The counter x_bare gives the ratio to the bare write.  The
// files live in a temporary directory removed at the end.  Times are
// processor times: the machine may be shared.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "dictionary/ener_writer.h"
#include "dictionary/lib_com.h"
#include "dictionary/lib_writer.h"
#include "dictionary/libcom.h"
#include "foundation/messages.h"

namespace {

const char* const kAtoms[10] = {"N", "CA", "C", "O", "CB", "H", "HA", "HB1", "HB2", "HB3"};
const char* const kSymb[10] = {"N", "C", "C", "O", "C", "H", "H", "H", "H", "H"};
const int kBonds[9][2] = {{0, 1}, {1, 2}, {2, 3}, {1, 4}, {0, 5}, {1, 6}, {4, 7}, {4, 8}, {4, 9}};
constexpr int kMonomers = 2000;

struct Dir {
  std::string path;
  Dir() {
    char tmpl[] = "/tmp/libwrite_bench_XXXXXX";
    path = std::string(mkdtemp(tmpl)) + "/";
  }
  ~Dir() { std::system(("rm -rf " + path).c_str()); }
};

Dir& dir() {
  static Dir d;
  return d;
}

void fill_monomers() {
  r_scratch_t& r = r_scratch;
  init_cnt_();
  r.lml_nmon = r.lms_nsyn = r.lll_nlink = r.ldl_nmod = 0;
  for (int l = 1; l <= kMonomers; ++l) {
    char code[16];
    std::snprintf(code, sizeof code, "M%05d", l);
    r.lml_nmon = l;
    r.lml_mname(l) = code;
    r.lml_mname2(l) = std::string_view(code, 3);
    r.lml_name(l) = "BENCH MONOMER";
    r.lml_type(l) = "L-peptide";
    r.lml_fuse(l) = "Y";
    r.lml_prsnt(l) = ".";
    r.lml_iatom(l) = r.lma_natom + 1;
    for (int a = 0; a < 10; ++a) {
      const int j = ++r.lma_natom;
      r.lma_mname(j) = code;
      r.lma_aname(j) = kAtoms[a];
      r.lma_symb(j) = kSymb[a];
      r.lma_chem(j) = "CH1";
      r.lma_x(j) = 1.0f + a;
      r.lma_y(j) = 2.0f;
      r.lma_z(j) = -3.0f;
      r.lma_coor_flag(j) = "Y";
      r.lma_back(j) = a == 0 ? "." : "CA";
      r.lma_forw(j) = a == 0 ? "CA" : a == 1 ? "C" : a == 2 ? "END" : ".";
      r.lma_type(j) = ".";
    }
    r.lml_ibond(l) = r.lmb_nbond + 1;
    for (const auto& b : kBonds) {
      const int j = ++r.lmb_nbond;
      r.lmb_mname(j) = code;
      r.lmb_1atm(j) = kAtoms[b[0]];
      r.lmb_2atm(j) = kAtoms[b[1]];
      r.lmb_type(j) = "single";
      r.lmb_val(j) = 1.5f;
      r.lmb_dev(j) = 0.02f;
    }
    r.lml_ithet(l) = r.lmg_nangl + 1;
    for (int k = 0; k < 14; ++k) {
      const int j = ++r.lmg_nangl;
      r.lmg_mname(j) = code;
      r.lmg_1atm(j) = "N";
      r.lmg_2atm(j) = "CA";
      r.lmg_3atm(j) = "C";
      r.lmg_val(j) = 111.0f;
      r.lmg_dev(j) = 3.0f;
    }
    r.lml_itors(l) = ++r.lmt_ntors;
    r.lmt_mname(r.lmt_ntors) = code;
    r.lmt_label(r.lmt_ntors) = "chi1";
    r.lmt_1atm(r.lmt_ntors) = "N";
    r.lmt_2atm(r.lmt_ntors) = "CA";
    r.lmt_3atm(r.lmt_ntors) = "CB";
    r.lmt_4atm(r.lmt_ntors) = "HB1";
    r.lmt_val(r.lmt_ntors) = 60.0f;
    r.lmt_prd(r.lmt_ntors) = 3;
    r.lml_ichir(l) = ++r.lmc_nchir;
    r.lmc_mname(r.lmc_nchir) = code;
    r.lmc_1atm(r.lmc_nchir) = "CA";
    r.lmc_2atm(r.lmc_nchir) = "N";
    r.lmc_3atm(r.lmc_nchir) = "C";
    r.lmc_4atm(r.lmc_nchir) = "CB";
    r.lmc_sign(r.lmc_nchir) = "positiv";
    r.lml_iplan(l) = ++r.lmp_nplan;
    r.lmp_mname(r.lmp_nplan) = code;
    r.lmp_label(r.lmp_nplan) = "plan-1";
    r.lmp_natom(r.lmp_nplan) = 4;
    for (int k = 1; k <= 4; ++k) {
      r.lmp_atom(k, r.lmp_nplan) = kAtoms[k - 1];
      r.lmp_dev(k, r.lmp_nplan) = 0.02f;
    }
  }
}

void fill_energy() {
  r_scratch_t& r = r_scratch;
  r.lea_natom = MAXETYP;
  for (int i = 1; i <= MAXETYP; ++i) {
    char t[8];
    std::snprintf(t, sizeof t, "T%03d", i);
    r.lea_aname(i) = t;
    r.lea_ename(i) = "C";
    r.lea_htype(i) = "N";
    r.lea_weight(i) = 12.011f;
    r.lea_radius(i) = r.lea_hradius(i) = 1.7f;
  }
  auto type = [](int k) {
    char t[8];
    std::snprintf(t, sizeof t, "T%03d", (k * 7919) % MAXETYP + 1);
    return std::string(t);
  };
  r.leb_nbond = MAXBTYP;
  for (int j = 1; j <= MAXBTYP; ++j) {
    r.leb_1atm(j) = type(j);
    r.leb_2atm(j) = type(3 * j);
    r.leb_type(j) = "single";
    r.leb_length(j) = 1.5f;
  }
  r.leg_nangl = MAXATYP;
  for (int j = 1; j <= MAXATYP; ++j) {
    r.leg_1atm(j) = type(j);
    r.leg_2atm(j) = type(5 * j);
    r.leg_3atm(j) = type(11 * j);
    r.leg_angle(j) = 109.5f;
  }
  r.lew_ncont = MAXWTYP;
  for (int j = 1; j <= MAXWTYP; ++j) {
    r.lew_1atm(j) = type(j);
    r.lew_2atm(j) = type(13 * j);
    r.lew_hflag(j) = "N";
  }
  r.let_ntors = r.leh_nhbond = r.les_nsyn = 0;
}

// The lines of a written file, written again with fprintf.
double bare_write(const std::string& from, const std::string& to) {
  std::ifstream in(from);
  std::string all, line;
  std::size_t nlines = 0;
  while (std::getline(in, line)) {
    all += line;
    all += '\n';
    ++nlines;
  }
  const std::clock_t t0 = std::clock();
  std::FILE* f = std::fopen(to.c_str(), "w");
  std::size_t start = 0;
  for (std::size_t k = 0; k < nlines; ++k) {
    const std::size_t end = all.find('\n', start);
    std::fprintf(f, "%.*s\n", static_cast<int>(end - start), all.c_str() + start);
    start = end + 1;
  }
  std::fclose(f);
  return static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
}

void BM_write_monomer_library(benchmark::State& state) {
  fill_monomers();
  comlib.iquiet = 1;
  libcom.lmo_path = dir().path;
  libcom.lmo_file = "new.lib";
  libcom.lmo_ext = "";
  libcom.lmo_iun = 0;
  double write_time = 0, bare_time = 0;
  for (auto _ : state) {
    const std::clock_t t0 = std::clock();
    int32_t ierr = 0;
    for (const char* m : {"TITA", "MONA", "STOP"}) wrt_lib_(0, m, 0, ierr);
    write_time += static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
    if (ierr != 0) std::abort();
    state.PauseTiming();
    bare_time += bare_write(dir().path + "new.lib", dir().path + "bare.lib");
    state.ResumeTiming();
  }
  comlib.iquiet = 0;
  state.counters["x_bare"] = write_time / bare_time;
}
BENCHMARK(BM_write_monomer_library)->Unit(benchmark::kMillisecond);

void BM_write_energy_library(benchmark::State& state) {
  fill_energy();
  comlib.iquiet = 1;
  libcom.leo_path = dir().path;
  libcom.leo_file = "new_ener_lib";
  libcom.leo_ext = "cif";
  libcom.leo_iun = 0;
  double write_time = 0, bare_time = 0;
  for (auto _ : state) {
    const std::clock_t t0 = std::clock();
    int32_t ierr = 0;
    for (const char* m : {"TITL", "WRIT", "STOP"}) wrt_elib_(m, 0, ierr);
    write_time += static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
    if (ierr != 0) std::abort();
    state.PauseTiming();
    bare_time += bare_write(dir().path + "new_ener_lib.cif", dir().path + "bare.cif");
    state.ResumeTiming();
  }
  comlib.iquiet = 0;
  state.counters["x_bare"] = write_time / bare_time;
}
BENCHMARK(BM_write_energy_library)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
