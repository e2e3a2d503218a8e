// The PDB reader and the frame of its SCALE records: atoms of a file whose
// SCALE records are the standard matrix of its cell, as rounded in the file,
// are kept as written; atoms in a frame of their own are taken into the
// standard frame of the cell.
#include "pdb_fixture.h"

#include <array>
#include <cmath>
#include <fstream>

using namespace pdbtest;

namespace {

struct FrameCase {
  const char* label;
  const char* cryst1;
  const char* scale[3];  // columns 11-55 of SCALE1..3
  bool kept;
  float xyz[3];  // expected
};

const char* kOrtho = "CRYST1   10.000   20.000   30.000  90.00  90.00  90.00 P 1           1";
const char* kMono = "CRYST1   50.123   60.456   70.789  90.00 105.67  90.00 P 1 21 1      2";

// The atom is at (1.234, 2.345, 3.456) as written.
const FrameCase kCases[] = {
    {"orthogonal cell, standard matrix rounded to six decimals", kOrtho,
     {"  0.100000  0.000000  0.000000        0.00000", "  0.000000  0.050000  0.000000        0.00000",
      "  0.000000  0.000000  0.033333        0.00000"},
     true, {1.234f, 2.345f, 3.456f}},
    {"monoclinic cell, matrix from the unrounded cell", kMono,
     {"  0.019951  0.000000  0.005597        0.00000", "  0.000000  0.016541  0.000000        0.00000",
      "  0.000000  0.000000  0.014672        0.00000"},
     true, {1.234f, 2.345f, 3.456f}},
    {"an element off by 2e-5, within the cell's rounding", kOrtho,
     {"  0.100020  0.000000  0.000000        0.00000", "  0.000000  0.050000  0.000000        0.00000",
      "  0.000000  0.000000  0.033333        0.00000"},
     true, {1.234f, 2.345f, 3.456f}},
    {"an element off by 1e-4, beyond it", kOrtho,
     {"  0.100100  0.000000  0.000000        0.00000", "  0.000000  0.050000  0.000000        0.00000",
      "  0.000000  0.000000  0.033333        0.00000"},
     false, {1.235234f, 2.345f, 3.455965f}},
    {"origin shifted by half a cell along a", kOrtho,
     {"  0.100000  0.000000  0.000000        0.50000", "  0.000000  0.050000  0.000000        0.00000",
      "  0.000000  0.000000  0.033333        0.00000"},
     false, {6.234f, 2.345f, 3.455965f}},
    {"axes a and b swapped", kOrtho,
     {"  0.000000  0.050000  0.000000        0.00000", "  0.100000  0.000000  0.000000        0.00000",
      "  0.000000  0.000000  0.033333        0.00000"},
     false, {1.1725f, 2.468f, 3.455965f}},
};

}  // namespace

TEST(PdbReaderFrame, StandardFramesKeepTheAtomsOthersAreConverted) {
  for (const FrameCase& c : kCases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> l = {c.cryst1};
    for (int r = 0; r < 3; ++r) l.push_back("SCALE" + std::to_string(r + 1) + "    " + c.scale[r]);
    l.push_back(line({.x = 1.234f, .y = 2.345f, .z = 3.456f}));
    ASSERT_EQ(read_pdb(l, {.mdoc = -999}).ierr, 0);
    ASSERT_EQ(atom_inf.n_atom, 1);
    for (int i = 1; i <= 3; ++i) {
      if (c.kept)
        EXPECT_EQ(atom_crd.xyz_crd(i, 1), c.xyz[i - 1]) << i;
      else
        EXPECT_NEAR(atom_crd.xyz_crd(i, 1), c.xyz[i - 1], 2e-5f) << i;
    }
    // The file's matrix stays what the file says, whatever the atoms do.
    EXPECT_FLOAT_EQ(crst_pdb.cs_scale(1, 1), std::stof(std::string(c.scale[0]).substr(0, 10)));
    EXPECT_FLOAT_EQ(crst_pdb.cs_u(1), std::stof(std::string(c.scale[0]).substr(35)));
  }
}

TEST(PdbReaderFrame, Entry1A8OAtomsAreKeptAsWritten) {
  // Every atom line of the entry against its coordinate columns.
  std::ifstream in(ORB_TEST_DATA_DIR "/1A8O.pdb");
  std::vector<std::string> lines;
  std::vector<std::array<float, 3>> written;
  for (std::string l; std::getline(in, l);) {
    lines.push_back(l);
    if (l.rfind("ATOM", 0) == 0 || l.rfind("HETATM", 0) == 0)
      written.push_back({std::stof(l.substr(30, 8)), std::stof(l.substr(38, 8)), std::stof(l.substr(46, 8))});
  }
  ASSERT_GT(written.size(), 600u);
  ASSERT_EQ(read_pdb(lines, {.mdoc = -999, .hremove = 'N'}).ierr, 0);
  ASSERT_EQ(atom_inf.n_atom, static_cast<int>(written.size()));
  for (int a = 1; a <= atom_inf.n_atom; ++a)
    for (int i = 1; i <= 3; ++i) ASSERT_NEAR(atom_crd.xyz_crd(i, a), written[a - 1][i - 1], 1e-4f) << "atom " << a;
}
