// The standard test file of the reader and writer tests: H, K, L in the
// base dataset, FP and SIGFP in /xtal/native, three reflections (one value
// missing, a minus zero and a denormal), two history lines and two batches;
// and reading a file built from bytes with the printed output captured.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mtz_image.h"
#include "reflections/mtz_reader.h"
#include "support/capture.h"

namespace mtz_test {

inline std::string fmt(const char* format, ...) {
  char buf[256];
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(buf, sizeof buf, format, ap);
  va_end(ap);
  return buf;
}

inline std::string group(int id, const char* project, const char* crystal, const char* dataset,
                         const float cell[6], float wavelength) {
  return fmt("PROJECT %7d %-64s", id, project) + "\n" + fmt("CRYSTAL %7d %-64s", id, crystal) +
         "\n" + fmt("DATASET %7d %-64s", id, dataset) + "\n" +
         fmt("DCELL   %7d %10.4f%10.4f%10.4f%10.4f%10.4f%10.4f", id, cell[0], cell[1], cell[2],
             cell[3], cell[4], cell[5]) +
         "\n" + fmt("DWAVEL  %7d %10.5f", id, wavelength);
}

inline const float CELL[6] = {40, 50, 60, 90, 90, 90};

// Main header records (up to END) of the standard file: H, K, L in the
// base dataset, FP and SIGFP in /xtal/native, three reflections, two batches.
inline std::vector<std::string> main_records() {
  std::vector<std::string> r = {
      fmt("VERS %8s", "MTZ:V1.1"),
      "TITLE test data",
      fmt("NCOL %8d %12d %8d", 5, 3, 2),
      fmt("CELL  %9.4f %9.4f %9.4f %9.4f %9.4f %9.4f", 40.0, 50.0, 60.0, 90.0, 90.0, 90.0),
      fmt("SORT  %3d %3d %3d %3d %3d", 1, 2, 3, 0, 0),
      fmt("SYMINF %3d %2d %c %5d %22s %5s", 4, 4, 'P', 18, "'P 21 21 2'", "PG222"),
      "SYMM X,  Y,  Z",
      "SYMM -X,  -Y,  Z",
      "SYMM 1/2-X,  1/2+Y,  -Z",
      "SYMM 1/2+X,  1/2-Y,  -Z",
      fmt("RESO %-20f %-20f", 0.0123, 0.0456),
      "VALM NAN",
      fmt("COLUMN %-30s %c %17.4f %17.4f %4d", "H", 'H', 0.0, 2.0, 0),
      fmt("COLUMN %-30s %c %17.4f %17.4f %4d", "K", 'H', 0.0, 3.0, 0),
      fmt("COLUMN %-30s %c %17.4f %17.4f %4d", "L", 'H', 1.0, 4.0, 0),
      fmt("COLUMN %-30s %c %17.4f %17.4f %4d", "FP", 'F', 10.0, 30.0, 1),
      fmt("COLUMN %-30s %c %17.4f %17.4f %4d", "SIGFP", 'Q', 1.0, 3.0, 1),
      fmt("NDIF %8d", 2),
  };
  const float zero[6] = {40, 50, 60, 90, 90, 90};
  for (const std::string& g : {group(0, "HKL_base", "HKL_base", "HKL_base", zero, 0.0f),
                               group(1, "proj", "xtal", "native", CELL, 1.54178f)}) {
    std::size_t at = 0;
    for (std::size_t nl; (nl = g.find('\n', at)) != std::string::npos; at = nl + 1)
      r.push_back(g.substr(at, nl - at));
    r.push_back(g.substr(at));
  }
  r.push_back(fmt("BATCH %6d%6d", 1, 2));
  r.push_back("END ");
  return r;
}

// The batch block of batch n: dataset 1, a recognisable cell and wavelength.
inline void batch(MtzImage& m, int n, const char* labels) {
  m.rec(fmt("BH %8d%8d%8d%8d", n, 185, 29, 156)).rec(fmt("TITLE batch %d", n));
  std::vector<int32_t> ints(29, 0);
  ints[0] = 185;
  ints[1] = 29;
  ints[2] = 156;
  ints[19] = 1;
  ints[20] = 1;
  std::vector<float> reals(156, 0.0f);
  reals[0] = 40.0f + static_cast<float>(n);
  reals[86] = 1.54178f;
  reals[111] = 150.0f;
  m.ints(ints).reals(reals).rec(std::string("BHCH ") + labels);
}

struct FileLayout {
  std::vector<std::string> records = main_records();
  std::vector<std::string> history = {"From test: first line", "From test: second line"};
  bool batches = true;
  std::function<void(MtzImage&)> tail;  // replaces the batch part when set
};

inline std::string build(bool big_endian, const FileLayout& layout) {
  MtzImage m(big_endian);
  m.row({bits(1), bits(0), bits(1), bits(20.5f), bits(1.5f)});
  m.row({bits(2), bits(3), bits(4), NAN_WORD, bits(2.0f)});
  m.row({bits(0), bits(0), bits(2), bits(-0.0f), bits(1.0e-40f)});
  for (const auto& r : layout.records) m.rec(r);
  if (!layout.history.empty()) {
    m.rec(fmt("MTZHIST %3d", static_cast<int>(layout.history.size())));
    for (const auto& h : layout.history) m.rec(h);
  }
  if (layout.tail) {
    layout.tail(m);
  } else if (layout.batches) {
    m.rec("MTZBATS");
    batch(m, 1, "  PHI   OMEGA   KAPPA");
    batch(m, 2, "");
  }
  m.rec("MTZENDOFHEADERS ");
  return m.bytes();
}

inline std::unique_ptr<MtzFile> read_file(const std::string& bytes, int read_refs,
                                          std::string* out = nullptr) {
  TempFile t;
  t.write(bytes);
  std::unique_ptr<MtzFile> mtz;
  const std::string text = captured([&] { mtz = MtzGet(t.c_str(), read_refs); });
  if (out) *out = text;
  return mtz;
}

}  // namespace mtz_test
