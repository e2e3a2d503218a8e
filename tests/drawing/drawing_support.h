// Helpers of the drawing tests: a scratch directory, a PostScript document
// opened on a file there and read back as lines, and an L1 work description
// filled atom by atom.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dictionary/lib_com.h"
#include "drawing/ps_driver.h"
#include "foundation/messages.h"
#include "runtime/units.h"
#include "support/temp_dir.h"

namespace drawing_test {

inline std::vector<std::string> lines_of(const std::string& path) {
  std::vector<std::string> out;
  std::ifstream in(path);
  std::string l;
  while (std::getline(in, l)) out.push_back(l);
  return out;
}

inline std::string text_of(const std::string& path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The lines that the primitives write into a page: a scratch unit stands in
// for the document, and lines() gives what was written since the start.
class PageLines : public testing::Test {
 protected:
  void SetUp() override {
    ps_box = ps_box_t{30, 550, 50, 780};
    com_ps.iun = 77;
    rt::OpenOptions o;
    o.status = rt::OpenStatus::Replace;
    ASSERT_EQ(rt::unit_open(com_ps.iun, dir_.file("page.ps"), o), rt::IOSTAT_OK);
  }
  void TearDown() override { rt::close_all_units(); }
  std::vector<std::string> lines() {
    rt::unit_flush(com_ps.iun);
    return lines_of(dir_.file("page.ps"));
  }
  TempDir dir_;
};

// Renders every page of a document with a real PostScript interpreter; the
// result is its exit status and messages.
inline int render(const std::string& path, std::string& messages) {
  const std::string log = path + ".gs.log";
  const std::string cmd =
      "gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=nullpage '" + path + "' > '" + log + "' 2>&1";
  const int status = std::system(cmd.c_str());
  messages = text_of(log);
  return status;
}

// L1 atoms and restraints, set through the tables as the builder leaves
// them.
struct L1 {
  static r_scratch_t& r() { return r_scratch; }
  static void clear(std::string_view code, std::string_view name) {
    r().l1l_mname = code;
    r().l1l_name = name;
    r().l1a_natom = r().l1b_nbond = r().l1g_nangl = r().l1t_ntors = r().l1c_nchir = 0;
    r().l1p_nplan = 0;
  }
  static int atom(std::string_view name, std::string_view symb, float x, float y, float z,
                  bool placed = true) {
    const int i = ++r().l1a_natom;
    r().l1a_aname(i) = name;
    r().l1a_symb(i) = symb;
    r().l1a_x(i) = x, r().l1a_y(i) = y, r().l1a_z(i) = z;
    r().l1a_coor_flag(i) = placed ? "Y" : "N";
    return i;
  }
  static void bond(int a, int b, float lib, float crd, float chem) {
    const int k = ++r().l1b_nbond;
    r().l1b_i1atm(k) = a, r().l1b_i2atm(k) = b;
    r().l1b_val(k) = lib, r().l1b_vobs(k) = crd, r().l1b_eval(k) = chem;
  }
  static void angle(int a, int b, int c, float lib, float crd, float chem) {
    const int k = ++r().l1g_nangl;
    r().l1g_i1atm(k) = a, r().l1g_i2atm(k) = b, r().l1g_i3atm(k) = c;
    r().l1g_val(k) = lib, r().l1g_vobs(k) = crd, r().l1g_eval(k) = chem;
  }
  static void torsion(int a, int b, int c, int d, std::string_view label, float value, int period) {
    const int k = ++r().l1t_ntors;
    r().l1t_i1atm(k) = a, r().l1t_i2atm(k) = b, r().l1t_i3atm(k) = c, r().l1t_i4atm(k) = d;
    r().l1t_label(k) = label;
    r().l1t_val(k) = r().l1t_vobs(k) = r().l1t_eval(k) = value;
    r().l1t_prd(k) = period;
  }
  static void chiral(int centre, int a, int b, int c, std::string_view sign, float vol, float crd) {
    const int k = ++r().l1c_nchir;
    r().l1c_i1atm(k) = centre, r().l1c_i2atm(k) = a, r().l1c_i3atm(k) = b, r().l1c_i4atm(k) = c;
    r().l1c_sign(k) = sign;
    r().l1c_vol(k) = vol, r().l1c_vobs(k) = crd;
  }
  // A plane of the named atoms, each with its distance from the plane and esd.
  static void plane(std::string_view label, const std::vector<std::string>& atoms,
                    const std::vector<float>& dobs, float esd) {
    const int p = ++r().l1p_nplan;
    r().l1p_label(p) = label;
    r().l1p_natom(p) = static_cast<int>(atoms.size());
    for (int k = 1; k <= r().l1p_natom(p); ++k) {
      r().l1p_atom(k, p) = atoms[k - 1];
      r().l1p_dobs(k, p) = dobs[k - 1], r().l1p_dev(k, p) = esd;
    }
  }
};

}  // namespace drawing_test
