// The mmCIF reader and the frame of the file's fractionalisation matrix:
// atoms of a file whose matrix is the standard one of its cell, as rounded
// in the file, are kept as written; atoms in a frame of their own are taken
// into the standard frame of the cell.
#include "cif_test_util.h"

#include <sstream>

namespace {

struct CifFrameCase {
  const char* label;
  const char* cell;    // a b c alpha beta gamma
  const char* matrix;  // the twelve values, or "" for none
  bool kept;
  float xyz[3];  // expected
};

const char* kOrtho = "10.000 20.000 30.000 90.00 90.00 90.00";

// The atom is at (1.234, 2.345, 3.456) as written.
const CifFrameCase kCases[] = {
    {"no matrix in the file", kOrtho, "", true, {1.234f, 2.345f, 3.456f}},
    {"monoclinic cell, matrix from the unrounded cell", "50.123 60.456 70.789 90.00 105.67 90.00",
     "0.019951 0.000000 0.005597 0.000000 0.016541 0.000000 0.000000 0.000000 0.014672 0.00000 0.00000 0.00000",
     true, {1.234f, 2.345f, 3.456f}},
    {"origin shifted by half a cell along a", kOrtho,
     "0.100000 0.000000 0.000000 0.000000 0.050000 0.000000 0.000000 0.000000 0.033333 0.50000 0.00000 0.00000",
     false, {6.234f, 2.345f, 3.455965f}},
    {"axes a and b swapped", kOrtho,
     "0.000000 0.050000 0.000000 0.100000 0.000000 0.000000 0.000000 0.000000 0.033333 0.00000 0.00000 0.00000",
     false, {1.1725f, 2.468f, 3.455965f}},
};

std::string frame_file(const CifFrameCase& c) {
  static const char* kCellNames[6] = {"length_a", "length_b", "length_c", "angle_alpha", "angle_beta", "angle_gamma"};
  std::string s = "data_f\n_symmetry.space_group_name_H-M 'P 1'\n";
  std::istringstream cell(c.cell);
  for (const char* n : kCellNames) {
    std::string v;
    cell >> v;
    s += std::string("_cell.") + n + " " + v + "\n";
  }
  std::istringstream m(c.matrix);
  std::string v;
  for (int k = 0; k < 12 && m >> v; ++k) {
    const std::string name = k < 9 ? "matrix[" + std::to_string(k / 3 + 1) + "][" + std::to_string(k % 3 + 1) + "]"
                                   : "vector[" + std::to_string(k - 8) + "]";
    s += "_atom_sites.fract_transf_" + name + " " + v + "\n";
  }
  return s + kShortLoop + "1 N ALA A 1 1.234 2.345 3.456\n";
}

class CifReaderFrame : public CifFiles {};

}  // namespace

TEST_F(CifReaderFrame, StandardFramesKeepTheAtomsOthersAreConverted) {
  for (const CifFrameCase& c : kCases) {
    SCOPED_TRACE(c.label);
    write("frame", frame_file(c));
    ASSERT_EQ(read("frame"), 0);
    ASSERT_EQ(atom_inf.n_atom, 1);
    for (int i = 1; i <= 3; ++i) {
      if (c.kept)
        EXPECT_EQ(atom_crd.xyz_crd(i, 1), c.xyz[i - 1]) << i;
      else
        EXPECT_NEAR(atom_crd.xyz_crd(i, 1), c.xyz[i - 1], 2e-5f) << i;
    }
  }
}
