// The pass for segment identifiers that MAKE SEGID needs before a PDB
// file is read.
#include "pdb_fixture.h"

#include "coords/pdb_segids.h"

using namespace pdbtest;

TEST(PdbSegmentIds, FoundOnAnyAtomLine) {
  const struct {
    const char* label;
    std::vector<std::string> lines;
    bool found;
  } cases[] = {
      {"80-column atom lines with blank segment columns", {kCryst, line({}), line({.rec = "HETATM"})}, false},
      {"atom lines cut before column 73", {kCryst, line({}).substr(0, 66)}, false},
      {"a segment identifier on the last atom only", {kCryst, line({}), line({.rec = "HETATM", .seg = "W"})}, true},
      {"a segment identifier on a record that is no atom", {kCryst, std::string(72, ' ') + "SEGA"}, false},
  };
  for (const auto& c : cases) {
    TempFile f(c.lines);
    EXPECT_EQ(coords::pdb_has_segment_ids(f.path()), c.found) << c.label;
  }
}

// Files of the format before segment identifiers repeat the HEADER's entry
// code in columns 73-76 of every line.
TEST(PdbSegmentIds, EntryCodeOfTheHeaderOnEveryAtomIsNone) {
  const std::string header =
      "HEADER    HYDROLASE (ACID PROTEINASE)             18-NOV-94   1HPV      1HPV   2";
  const std::string other_header = header.substr(0, 62) + "2HPV" + header.substr(66);
  const struct {
    const char* label;
    std::vector<std::string> lines;
    bool found;
  } cases[] = {
      {"the code on every atom line",
       {header, kCryst, line({.seg = "1HPV"}), line({.rec = "HETATM", .seg = "1HPV"})},
       false},
      {"the code on all but the last atom line",
       {header, kCryst, line({.seg = "1HPV"}), line({.rec = "HETATM", .seg = "PROA"})},
       true},
      {"the code on all but the last atom line, blank there",
       {header, kCryst, line({.seg = "1HPV"}), line({.rec = "HETATM"})},
       true},
      {"another entry's code in the HEADER", {other_header, kCryst, line({.seg = "1HPV"})}, true},
      {"one identifier on every atom line without a HEADER",
       {kCryst, line({.seg = "1HPV"}), line({.seg = "1HPV"})},
       true},
  };
  for (const auto& c : cases) {
    TempFile f(c.lines);
    EXPECT_EQ(coords::pdb_has_segment_ids(f.path()), c.found) << c.label;
  }
}

TEST(PdbSegmentIds, UnreadableFileIsLeftToTheReader) {
  EXPECT_TRUE(coords::pdb_has_segment_ids("/nonexistent/dir/file.pdb"));
  // The pass leaves no unit open behind it.
  TempFile f({kCryst, line({.seg = "PROA"})});
  EXPECT_TRUE(coords::pdb_has_segment_ids(f.path()));
  EXPECT_EQ(rt::unit_of_file(f.path()), 0);
}
