// A whole run's written files with its bond restraints by atom ("number
// name" of each end), for tests that ask which bonds a run made.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "foundation/atom_com.h"
#include "pipeline_fixture.h"

namespace wrun {

struct Written {
  pipetest::Outcome r;
  std::string rst, crd;
  std::vector<std::pair<std::string, std::string>> bonds;  // "number name" of each end
};

inline Written run_on(const std::string& model) {
  TempDir dir;
  Written w;
  w.r = pipetest::run_model(model, dir.path());
  w.rst = file_text(dir.file("out.rst"));
  w.crd = file_text(dir.file("out.crd"));
  EXPECT_EQ(pipetest::read_coordinates(dir.path() + "/out"), 0);
  const auto at = [](int s) {
    if (s < 1 || s > atom_inf.n_atom) return std::string("?");
    return std::to_string(
               std::stoi(std::string(resid_inf.res_num_pdb(atom_inf.i_resid(s)).sub(3, 6)))) +
           " " + std::string(atom_inf.atm_name(s).trimmed());
  };
  for (const pipetest::Record& rec : pipetest::records(w.rst))
    if (rec.line.starts_with("BOND")) w.bonds.emplace_back(at(rec.serials[0]), at(rec.serials[1]));
  return w;
}

inline int bonds_between(const Written& w, const std::string& a, const std::string& b) {
  int n = 0;
  for (const auto& [x, y] : w.bonds) n += (x == a && y == b) || (x == b && y == a);
  return n;
}

}  // namespace wrun
