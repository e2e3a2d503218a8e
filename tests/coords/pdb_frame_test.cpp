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

// A SCALE set that lacks a row would leave that row zero (or as an earlier
// file left it) and flatten or shear every atom: the set is passed over
// with a warning, and the atoms stand in the frame of the cell, as
// written.  The rows given are those of axes a and b swapped, which would
// move the atom.
TEST(PdbReaderFrame, ScaleSetWithoutARowIsPassedOverForTheCell) {
  const char* swapped[3] = {"  0.000000  0.050000  0.000000        0.00000",
                            "  0.100000  0.000000  0.000000        0.00000",
                            "  0.000000  0.000000  0.033333        0.00000"};
  const struct {
    const char* label;
    bool given[3];
    const char* absent;  // the warning lines of the absent rows
  } cases[] = {
      {"without SCALE3",
       {true, true, false},
       "  WARNING: \"SCALE3\" card is absent in input PDB file\n"},
      {"without SCALE1",
       {false, true, true},
       "  WARNING: \"SCALE1\" card is absent in input PDB file\n"},
      {"SCALE2 alone",
       {false, true, false},
       "  WARNING: \"SCALE1\" card is absent in input PDB file\n"
       "  WARNING: \"SCALE3\" card is absent in input PDB file\n"},
      {"all three", {true, true, true}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> l = {kOrtho};
    for (int r = 0; r < 3; ++r)
      if (c.given[r]) l.push_back("SCALE" + std::to_string(r + 1) + "    " + swapped[r]);
    l.push_back(line({.x = 1.234f, .y = 2.345f, .z = 3.456f}));
    const ReadResult got = read_pdb(l, {.mdoc = -999});
    ASSERT_EQ(got.ierr, 0) << got.out;
    ASSERT_EQ(atom_inf.n_atom, 1);
    const std::string warning =
        *c.absent == '\0'
            ? ""
            : std::string(c.absent) +
                  "           SCALE records not used: the frame of the cell is taken\n";
    EXPECT_EQ(count_of(got.out, "card is absent"), count_of(warning, "card is absent")) << got.out;
    if (!warning.empty()) {
      EXPECT_NE(got.out.find(warning), std::string::npos) << got.out;
      EXPECT_EQ(atom_crd.xyz_crd(1, 1), 1.234f);
      EXPECT_EQ(atom_crd.xyz_crd(2, 1), 2.345f);
      EXPECT_EQ(atom_crd.xyz_crd(3, 1), 3.456f);
      EXPECT_FLOAT_EQ(crst_pdb.cs_scale(1, 1), 0.1f);
      EXPECT_NEAR(crst_pdb.cs_scale(1, 2), 0.0f, 1e-7f);
    } else {
      EXPECT_NEAR(atom_crd.xyz_crd(1, 1), 1.1725f, 2e-5f);
    }
  }
}
