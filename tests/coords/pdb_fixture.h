// Helpers of the PDB reader tests: PDB lines built column by column, a
// temporary file, and one read through the reader with standard output
// captured.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "coords/pdb_reader.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

// Atoms are written with designated initialisers naming only what differs.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace pdbtest {

struct Atom {
  std::string rec = "ATOM";
  int serial = 1;
  std::string name = " CA ";  // columns 13-16 as written
  char alt = ' ';
  std::string res = "ALA";
  char chain = 'A';
  int resnum = 1;
  char ins = ' ';
  float x = 1, y = 2, z = 3;
  float occ = 1, b = 20;
  std::string seg;
  std::string elem = " C";  // columns 77-78
  std::string charge;       // columns 79-80
};

inline std::string line(const Atom& a) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%-6s%5d %-4.4s%c%3.3s %c%4d%c   %8.3f%8.3f%8.3f%6.2f%6.2f      %-4.4s%2.2s%-2.2s",
                a.rec.c_str(), a.serial, a.name.c_str(), a.alt, a.res.c_str(), a.chain, a.resnum,
                a.ins, a.x, a.y, a.z, a.occ, a.b, a.seg.c_str(), a.elem.c_str(), a.charge.c_str());
  return buf;
}

// Four backbone atoms of one residue.
inline std::vector<std::string> residue(const std::string& res, char chain, int num,
                                        const std::string& rec = "ATOM", char ins = ' ',
                                        const std::string& seg = "") {
  std::vector<std::string> out;
  const char* names[] = {" N  ", " CA ", " C  ", " O  "};
  const char* elems[] = {" N", " C", " C", " O"};
  for (int i = 0; i < 4; ++i)
    out.push_back(line({.rec = rec, .name = names[i], .res = res, .chain = chain, .resnum = num, .ins = ins,
                        .x = static_cast<float>(num) + 0.1f * i, .seg = seg, .elem = elems[i]}));
  return out;
}

inline std::string water(char chain, int num, const std::string& res = "HOH") {
  return line({.rec = "HETATM", .name = " O  ", .res = res, .chain = chain, .resnum = num, .elem = " O"});
}

inline const char* kCryst = "CRYST1   50.000   60.000   70.000  90.00  90.00  90.00 P 21 21 21    4";
inline const char* kTer = "TER";

inline void append(std::vector<std::string>& to, const std::vector<std::string>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

// Writes the lines to a fresh file and removes it at the end of the test.
class TempFile {
 public:
  explicit TempFile(const std::vector<std::string>& lines, const char* suffix = ".pdb") {
    std::string text;
    for (const std::string& l : lines) text += l + '\n';
    path_ = dir_.write(std::string("model") + suffix, text);
  }
  const std::string& path() const { return path_; }

 private:
  TempDir dir_;
  std::string path_;
};

struct ReadResult {
  int32_t ierr = 0;
  std::string out;  // standard output of the read
};

struct Options {
  int32_t mdoc = 0;
  int32_t nospgr = 0;
  float cell[6] = {0, 0, 0, 0, 0, 0};
  char pept = 'N';
  char seg = 'N';
  char hremove = 'Y';
  int32_t program = 0;  // the status on entry: 1 reads as the pipeline does
};

inline ReadResult read_pdb(const std::vector<std::string>& lines, const Options& o = Options()) {
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 1);
  TempFile f(lines);
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  ReadResult r;
  ierr = o.program;
  r.out = captured([&] { get_pdb_(o.mdoc, f.path(), o.nospgr, o.cell, o.pept, o.seg, o.hremove, ierr); });
  r.ierr = ierr;
  rt::close_all_units();
  return r;
}

// Chain A of residues r1 1 and r2 2 closed by an OXT, a TER, then r3 in
// chain B.
inline std::vector<std::string> oxt_chain_then(const std::string& r1, const std::string& r2,
                                               const std::string& r3) {
  std::vector<std::string> l = {kCryst};
  append(l, residue(r1, 'A', 1));
  append(l, residue(r2, 'A', 2));
  l.push_back(line({.name = " OXT", .res = r2, .resnum = 2, .elem = " O"}));
  l.push_back(kTer);
  append(l, residue(r3, 'B', 1));
  return l;
}

// Occurrences of `what` in `text`.
inline int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

inline bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

inline std::string chain_id(int g) { return std::string(asym_part.chain_id(g).view()); }

}  // namespace pdbtest
