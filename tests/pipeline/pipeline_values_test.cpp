// Whole runs on damaged or unusual input: values the writers must put out
// so that every file parses, and records the readers must refuse.  Every
// file a run leaves behind is read back by the system's own readers.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "pipeline_fixture.h"

namespace {

using pipetest::Options;
using pipetest::Outcome;

// Two one-atom aspartates 1.49 A apart (model 1 of 1SSU_mod.pdb).
const std::string kAtom1 = "ATOM      1  N   ASP A   1      -1.058   1.426 -20.149  1.00  0.00           N";
const std::string kAtom2 = "ATOM      2  N   ASP B   1      -0.025   1.151 -19.117  1.00  0.00           N";

// The record with columns first..last (1-based) holding `text` right-justified.
std::string with_field(std::string line, std::size_t first, std::size_t last, const std::string& text) {
  const std::size_t width = last - first + 1;
  if (line.size() < last) line.resize(last, ' ');
  line.replace(first - 1, width, std::string(width - std::min(width, text.size()), ' ') + text.substr(0, width));
  return line;
}

std::string link_record(const std::string& name) {
  return with_field("LINK         N   ASP A   1                 N   ASP B   1     1555   1555", 73, 80, name);
}

Outcome run_on(const TempDir& dir, const std::string& text, const std::string& file = "in.pdb") {
  Options o;
  o.in = dir.write(file, text);
  return pipetest::run(o, dir.path());
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

// The lines of a file that begin with `head`.
std::vector<std::string> lines_with(const std::string& text, const std::string& head) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);)
    if (l.starts_with(head)) out.push_back(l);
  return out;
}

// The coordinate and restraint files of a run read back whole.
void expect_outputs_read_back(const TempDir& dir) {
  const std::string base = dir.file("out");
  EXPECT_EQ(pipetest::read_coordinates(base), 0);
  std::vector<pipetest::Restraint> rows;
  EXPECT_TRUE(pipetest::read_restraints(base, rows));
}

void expect_nothing_written(const TempDir& dir) {
  for (const char* f : {"out.crd", "out.str", "out.rst", "new_lib.cif"}) EXPECT_FALSE(exists(dir.file(f))) << f;
}

// ------------------------------------------------------------ link names

// A LINK record whose name field holds a number that is not a plain
// decimal length names a link the library lacks.  Its name heads a data
// block of the new library: right-justified in its field, the name's
// leading blanks used to split the block name, so the library did not
// parse.  The new library is then given to a second run, which must find
// the link in it.
TEST(PipelineInput, LinkNamedByANumberGivesALibraryThatReadsBack) {
  struct Row {
    const char* label;
    const char* field;
    const char* block;
  } rows[] = {
      {"negative number", "   -1.00", "data_link_-1.00"},
      {"exponent form", "   1e+38", "data_link_1e+38"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir dir;
    const Outcome r = run_on(dir, link_record(row.field) + "\n" + kAtom1 + "\n" + kAtom2 + "\nEND\n");
    ASSERT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(r.new_lib, 'Y') << r.out;
    const std::string lib = file_text(dir.file("new_lib.cif"));
    const std::vector<std::string> blocks = lines_with(lib, "data_link_");
    ASSERT_EQ(blocks.size(), 2u) << lib;
    EXPECT_EQ(blocks[0], "data_link_list");
    EXPECT_EQ(blocks[1], row.block) << lib;
    expect_outputs_read_back(dir);

    Options again;
    again.in = dir.file("in.pdb");
    again.lib2 = dir.file("new_lib.cif");
    TempDir second;
    const Outcome r2 = pipetest::run(again, second.path());
    EXPECT_EQ(r2.ierr, 0) << r2.out;
    EXPECT_EQ(r2.new_lib, 'N') << "the link is in the library now\n" << r2.out;
    EXPECT_EQ(r2.out.find("is not in the dictionary"), std::string::npos) << r2.out;
    EXPECT_EQ(r2.nbond, 1);
  }
}

// ------------------------------------------------------------ atom records

// An atom record that ends before its z coordinate is refused with its
// line number; nothing is written.
TEST(PipelineInput, AtomRecordCutBeforeItsCoordinatesIsRefused) {
  TempDir dir;
  const Outcome r = run_on(dir, "REMARK   1 TWO ATOMS\n" + kAtom1 + "\n" + kAtom2.substr(0, 50) + "\nEND\n");
  EXPECT_EQ(r.stop, -1);
  EXPECT_EQ(r.ierr, 1) << r.out;
  EXPECT_NE(r.out.find(" ERROR: record too short for its coordinates in PDB atom record, line 3:\n"),
            std::string::npos)
      << r.out;
  expect_nothing_written(dir);
}

// Coordinates, occupancies and B values that are not finite or do not fit
// the columns they are written in are refused at reading, never written as
// zero or a field of stars.
TEST(PipelineInput, ValueThatDoesNotFitItsFieldIsRefused) {
  struct Row {
    const char* label;
    std::size_t first, last;
    const char* value;
  } rows[] = {
      {"x beyond a float", 31, 38, "1e400"},
      {"y too large for eight columns", 39, 46, "1e+38"},
      {"z below -999.999", 47, 54, "-1000.00"},
      {"occupancy too large", 55, 60, "1e+38"},
      {"B too large", 61, 66, "1000.0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir dir;
    const Outcome r = run_on(dir, kAtom1 + "\n" + with_field(kAtom2, row.first, row.last, row.value) + "\nEND\n");
    EXPECT_EQ(r.stop, -1);
    EXPECT_EQ(r.ierr, 1) << r.out;
    EXPECT_NE(r.out.find(" ERROR: coordinate, occupancy or B not finite or too large for its field in PDB atom "
                         "record, line 2:\n"),
              std::string::npos)
        << r.out;
    expect_nothing_written(dir);
  }
  // The largest values the fields hold are read and written back.
  TempDir dir;
  const std::string edge = with_field(with_field(kAtom2, 31, 38, "9999.999"), 61, 66, "999.99");
  const Outcome r = run_on(dir, kAtom1 + "\n" + edge + "\nEND\n");
  EXPECT_EQ(r.ierr, 0) << r.out;
  EXPECT_NE(file_text(dir.file("out.crd")).find("9999.999"), std::string::npos);
  expect_outputs_read_back(dir);
}

// The mmCIF reader refuses the same values, naming the atom.
TEST(PipelineInput, MmcifCoordinateBeyondAFloatIsRefused) {
  TempDir dir;
  std::string text = file_text(pipetest::data("cif_1SSU_mod.cif"));
  const std::size_t at = text.find("-1.058");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 6, "1e400");
  const Outcome r = run_on(dir, text, "in.cif");
  EXPECT_EQ(r.stop, -1);
  EXPECT_EQ(r.ierr, 3) << r.out;
  EXPECT_NE(r.out.find(": coordinate, occupancy or B not finite or too large for its field"), std::string::npos)
      << r.out;
  expect_nothing_written(dir);
}

// ------------------------------------------------------------ written values

// A residue named "#" (a comment character to a CIF reader) is written
// quoted in every loop of the coordinate file, and the file reads back with
// every atom and the residue's name.
TEST(PipelineInput, ResidueNamedLikeACommentIsWrittenQuoted) {
  TempDir dir;
  const std::string water = "HETATM    3  O   #   C   2       1.000   1.000 -18.000  1.00  0.00           O";
  const Outcome r = run_on(dir, kAtom1 + "\n" + kAtom2 + "\n" + water + "\nEND\n");
  ASSERT_EQ(r.ierr, 0) << r.out;
  const std::string crd = file_text(dir.file("out.crd"));
  EXPECT_NE(crd.find(" . '#'      CC      2 .    1.000    1.000  -18.000  1.00   0.00 O    .\n"), std::string::npos)
      << crd;
  EXPECT_NE(crd.find("\nCC    '#'\n"), std::string::npos) << crd;
  EXPECT_NE(crd.find(".    2 '#'      CC\n"), std::string::npos) << crd;
  EXPECT_EQ(pipetest::read_coordinates(dir.file("out")), 0);
  int waters = 0;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) waters += pipetest::atom_key(ia) == "CC|   2 |#|O|.";
  EXPECT_EQ(waters, 1);
  expect_outputs_read_back(dir);
}

// An mmCIF entry without a date: the restraint file's date is written
// unknown, as the coordinate file's is, never left without a value.
TEST(PipelineInput, EntryWithoutADateGivesTheUnknownDate) {
  TempDir dir;
  Options o;
  o.in = pipetest::data("cif_1SSU_mod.cif");
  const Outcome r = pipetest::run(o, dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  const std::vector<std::string> date = lines_with(file_text(dir.file("out.rst")), "_autid.creation_date");
  ASSERT_EQ(date.size(), 1u);
  EXPECT_EQ(date[0], "_autid.creation_date   XX-XXX-XX");
  EXPECT_EQ(lines_with(file_text(dir.file("out.crd")), "_audit.creation_date"),
            std::vector<std::string>{"_audit.creation_date  XXXX-XX-XX"});
  expect_outputs_read_back(dir);
}

}  // namespace
