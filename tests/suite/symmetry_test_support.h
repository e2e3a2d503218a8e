// Helpers of the symmetry tests: the project's symmetry data file on
// SYMINFO, a plain listing of its blocks read independently of the loader,
// and quiet loading.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "suite/csymlib.h"
#include "suite_test_support.h"

namespace symmetry_test {

inline std::string data_file() { return std::string(ORB_DATA_DIR) + "/syminfo.lib"; }

struct BlockInfo {
  int number = 0;
  std::string xhm;
  int nsym = 0;
  int ncen = 0;
};

// The blocks of a symmetry data file as written, in file order.
inline std::vector<BlockInfo> list_blocks(const std::string& path) {
  std::vector<BlockInfo> out;
  std::ifstream in(path);
  std::string line;
  BlockInfo b;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string key;
    ls >> key;
    if (key == "number") {
      ls >> b.number;
    } else if (key == "symbol") {
      std::string sub;
      ls >> sub;
      if (sub == "xHM") {
        const auto q1 = line.find('\'');
        const auto q2 = line.find('\'', q1 + 1);
        b.xhm = line.substr(q1 + 1, q2 - q1 - 1);
      }
    } else if (key == "symop") {
      ++b.nsym;
    } else if (key == "cenop") {
      ++b.ncen;
    } else if (key == "end_spacegroup") {
      out.push_back(b);
      b = BlockInfo{};
    }
  }
  return out;
}

class SymmetryTest : public suite_test::SuiteTest {
 protected:
  void SetUp() override {
    SuiteTest::SetUp();
    env.set("SYMINFO", data_file());
    env.unset("PTQ7");
  }
};

// Loads with the loader's lines kept off the test log.
template <typename F>
SpacegroupPtr quietly(F&& load) {
  Capture cap;
  return load();
}

}  // namespace symmetry_test
