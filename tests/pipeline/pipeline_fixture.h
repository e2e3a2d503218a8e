// Whole runs of the pipeline for the tests: one call of tessran_ on a model
// of tests/data with the test monomer library, its outputs in a scratch
// directory, and the system's own readers over what it wrote.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "coords/read_atoms.h"
#include "foundation/atom_com.h"
#include "output/rst_read.h"
#include "output/str_read.h"
#include "pipeline/tessran.h"
#include "runtime/units.h"
#include "support/capture.h"
#include "support/temp_dir.h"

namespace pipetest {

inline std::string data(const std::string& name) { return std::string(ORB_TEST_DATA_DIR) + "/" + name; }
inline std::string library() { return std::string(ORB_TEST_DATA_DIR) + "/monlib/"; }

// The arguments of one run, flags as a caller would give them.
struct Options {
  std::string in;
  std::string lib_dir = library();
  std::string lib2;
  std::string prog = "pipetest";
  int32_t mdoc = -999;  // a run of its own, without a documentation file
  float cutoff = 0.0f, dmin = 0.0f;
  char conn = 'Y', cis = 'Y', lnk = 'Y', chain = 'N', pept = 'N', check_spec = 'Y', h = 'Y', rflag = 'N',
       form = 'F', symm = 'Y', ss = 'Y', sugar = 'Y', list = 'M', check = 'Y', coor = 'N', srch = 'N', seg = 'N';
  int32_t nospgr = 0;
  std::string out_base;  // the outputs' base name; dir/out when empty
};

// What the run gave back, the flags as it left them, and its output.
struct Outcome {
  Options after;
  int32_t mdoc = 0, ierr = -1;
  int stop = -1;  // the status with which the run was ended, -1 when it returned
  char new_lib = '?', fstop = '?';
  std::string out;
  // Restraint counters at the end of the run.
  int32_t nbond = 0, nangl = 0, ntors = 0, nchir = 0, nplan = 0;
};

// Calls the pipeline with its outputs named dir/out.* and dir/new_lib.cif,
// as a program calling it again would, leaving the units as the call left
// them.  A file that cannot be opened ends the run inside the suite library.
inline Outcome call(const Options& o, const std::string& dir) {
  Outcome r;
  r.after = o;
  Options& a = r.after;
  r.mdoc = o.mdoc;
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  r.stop = run_end_status([&] {
    tessran_(r.mdoc, a.in, a.out_base.empty() ? dir + "/out" : a.out_base, a.lib2, a.cutoff, a.dmin, a.conn, a.cis, a.lnk, a.chain, a.pept,
             a.check_spec, a.h, a.rflag, a.form, a.symm, a.ss, a.sugar, a.list, a.check, a.coor, a.srch, a.seg,
             a.lib_dir, "", "", "", a.prog, a.nospgr, cell, dir + "/new_lib.cif", r.new_lib, r.fstop, r.ierr);
  }, r.out);
  r.nbond = crdrst.rs_nbond;
  r.nangl = crdrst.rs_nangl;
  r.ntors = crdrst.rs_ntors;
  r.nchir = crdrst.rs_nchir;
  r.nplan = crdrst.rs_nplan;
  return r;
}

// One call as the whole run of its process: every unit closed after it.
inline Outcome run(const Options& o, const std::string& dir) {
  Outcome r = call(o, dir);
  rt::close_all_units();
  return r;
}

// A run of one model with every other argument at the tests' defaults.
inline Outcome run_model(const std::string& model, const std::string& dir) {
  Options o;
  o.in = model;
  return run(o, dir);
}

// The lines of a text, without their ends.
inline std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::string::size_type from = 0;
  while (from < text.size()) {
    std::string::size_type end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(from, end - from));
    from = end + 1;
  }
  return out;
}

// One restraint record as the row reader hands it back, with the atom
// names of its comment.
struct Restraint {
  std::string kind, label;
  std::string source_id;  // the residue's group or the link of its block
  int32_t num = 0;
  int32_t ia[4] = {};
  float value = 0.0f;
  std::string echo;
};

// Every restraint of a text-form restraint file through the row reader;
// false when the file cannot be opened or a row cannot be read.
inline bool read_restraints(const std::string& base, std::vector<Restraint>& rows) {
  rt::FixedText<256> path("");
  int32_t in = 0, ierr = 0;
  captured([&] { orrst_cif_(0, in, path.ref(), base, "rst", ierr); });
  if (ierr != 0) return false;
  int32_t mode = 0, iend = -1;
  for (;;) {
    captured([&] { rdrst_cif_(0, in, mode, iend, ierr); });
    if (ierr != 0) return false;
    if (iend != 0) return true;
    if (mode != 0) continue;
    Restraint r;
    r.kind = crdrst.rs_name.str();
    r.label = std::string(crdrst.rs_label.trimmed());
    r.source_id = std::string(crdrst.rs_source_id.trimmed());
    r.num = crdrst.rs_num;
    r.ia[0] = crdrst.rs_ia1;
    r.ia[1] = crdrst.rs_ia2;
    r.ia[2] = crdrst.rs_ia3;
    r.ia[3] = crdrst.rs_ia4;
    r.value = crdrst.rs_vidl;
    r.echo = std::string(crdatm.cr_line.trimmed());
    rows.push_back(r);
    iend = 0;
  }
}

// A restraint of the text form as written: its lines joined, the atom
// serials and the atom names of its comment.
struct Record {
  std::string line;
  std::vector<int> serials;
  std::vector<std::string> names;
};

inline std::string field(const std::string& line, std::size_t from, std::size_t to) {
  if (line.size() < from) return "";
  std::string f = line.substr(from - 1, to - from + 1);
  f.erase(0, f.find_first_not_of(' '));
  f.erase(f.find_last_not_of(' ') + 1);
  return f;
}

// The records of a restraint file in the text form, by the column layout of
// its record kinds: two lines a restraint, one line a plane atom.
inline std::vector<Record> records(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t nl = text.find('\n', at);
    lines.push_back(text.substr(at, nl - at));
    at = nl == std::string::npos ? text.size() : nl + 1;
  }
  std::vector<Record> out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string kind = lines[i].substr(0, 4);
    Record r;
    if (kind == "PLAN") {
      r.line = lines[i];
      r.serials.push_back(std::stoi(field(lines[i], 24, 29)));
      r.names.push_back(field(lines[i], 65, 68));
    } else if (kind == "BOND" || kind == "ANGL" || kind == "TORS" || kind == "CHIR") {
      const int na = kind == "BOND" ? 2 : kind == "ANGL" ? 3 : 4;
      const std::string& second = i + 1 < lines.size() ? lines[i + 1] : "";
      r.line = lines[i] + "\n" + second;
      for (int k = 0; k < na; ++k) {
        r.serials.push_back(std::stoi(field(lines[i], 27 + 7 * k, 32 + 7 * k)));
        r.names.push_back(field(second, 30 + 6 * k, 33 + 6 * k));
      }
      ++i;
    } else {
      continue;
    }
    out.push_back(r);
  }
  return out;
}

// The coordinate file read back through the mmCIF reader (a file without a
// cell or space group is read whole and says so with a status of 7 or more).
inline int32_t read_coordinates(const std::string& base) {
  int32_t ierr = 0;
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  captured([&] { read_atoms_(0, "", base, "crd", 0, cell, ierr); });
  rt::close_all_units();
  return ierr >= 7 ? 0 : ierr;
}

// An atom as the model tables hold it: chain, residue number with insertion code,
// residue name, atom name and alternate code.
inline std::string atom_key(int ia) {
  const int ir = atom_inf.i_resid(ia);
  return std::string(rt::trim_right(resid_inf.res_num_pdb(ir).sub(8, 11))) + "|" +
         std::string(resid_inf.res_num_pdb(ir).sub(3, 7)) + "|" + std::string(resid_inf.res_name(ir).trimmed()) +
         "|" + std::string(atom_inf.atm_name(ia).trimmed()) + "|" + std::string(atom_inf.id_alt(ia).trimmed());
}

}  // namespace pipetest
