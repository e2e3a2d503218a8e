// Whole runs on entries written the way other programs write them: blank
// chain names given as empty quoted values, hydrogen names of current PDB
// files, names with blanks.  Every atom read is written, under its own
// name, and what the run writes reads back.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "pipeline_fixture.h"

namespace {

using pipetest::data;
using pipetest::Options;
using pipetest::Outcome;

Outcome run_in(const std::string& model, const std::string& dir) {
  Options o;
  o.in = model;
  return pipetest::run(o, dir);
}

// `text` with every line for which `pick` holds changed by `change`.
template <class Pick, class Change>
std::string edited(const std::string& text, Pick pick, Change change) {
  std::istringstream in(text);
  std::string out;
  for (std::string l; std::getline(in, l);) out += (pick(l) ? change(l) : l) + "\n";
  return out;
}

// The author chain of every water row of the archive's 1A8O ("A", second to
// last but two of the row) written as `blank`.
std::string blank_water_chain(const std::string& blank) {
  return edited(
      file_text(data("cif_1A8O.cif")), [](const std::string& l) { return l.starts_with("HETATM") && l.find(" HOH ") != std::string::npos; },
      [&](std::string l) {
        const std::size_t at = l.rfind(" HOH A ");
        return l.replace(at, 7, " HOH " + blank + " ");
      });
}

}  // namespace

// 1A8O in the archive's form with the waters' author chain written '' and
// "", and as a PDB file with the waters' chain column blank: each run reads
// all 644 atoms (88 of them waters), writes them all, and its files read
// back.
TEST(BlankChainNames, EveryAtomReadIsWritten) {
  TempDir files;
  const struct {
    const char* label;
    std::string path;
  } cases[] = {
      {"mmCIF, ''", files.write("quote.cif", blank_water_chain("''"))},
      {"mmCIF, \"\"", files.write("dquote.cif", blank_water_chain("\"\""))},
      {"PDB, blank column", files.write("blank.pdb", edited(
                                                         file_text(data("1A8O.pdb")),
                                                         [](const std::string& l) { return l.starts_with("HETATM") && l.substr(17, 3) == "HOH"; },
                                                         [](std::string l) { return l.replace(21, 1, " "); }))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    const Outcome r = run_in(c.path, dir.path());
    ASSERT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(pipetest::read_coordinates(dir.file("out")), 0);
    EXPECT_EQ(atom_inf.n_atom, 644);
    int waters = 0;
    for (int ia = 1; ia <= atom_inf.n_atom; ++ia) waters += resid_inf.res_name(atom_inf.i_resid(ia)) == "HOH";
    EXPECT_EQ(waters, 88);
    std::vector<pipetest::Restraint> rows;
    EXPECT_TRUE(pipetest::read_restraints(dir.file("out"), rows));
    EXPECT_FALSE(rows.empty());
  }
}

// 1A8O in the archive's form with its disulfide's connection type written
// 'MY LINK': the restraint file names the link as one value, and its own
// reader takes the bond back under that link between the two SG atoms, with
// every record of the file read as the kind it is.
TEST(NamesWithBlanks, LinkNameReadsBack) {
  TempDir files, dir;
  const std::string model = files.write(
      "my_link.cif", edited(
                         file_text(data("cif_1A8O.cif")), [](const std::string& l) { return l.starts_with("disulf1 disulf "); },
                         [](std::string l) { return l.replace(8, 6, "'MY LINK'"); }));
  const Outcome r = run_in(model, dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  std::vector<pipetest::Restraint> rows;
  ASSERT_TRUE(pipetest::read_restraints(dir.file("out"), rows));
  ASSERT_EQ(pipetest::read_coordinates(dir.file("out")), 0);
  int in_link = 0;
  for (const pipetest::Restraint& x : rows) {
    EXPECT_TRUE(x.kind == "BOND" || x.kind == "ANGL" || x.kind == "TORS" || x.kind == "CHIR" || x.kind == "PLAN")
        << x.kind << " " << x.echo;
    if (x.source_id != "MY LINK") continue;
    ++in_link;
    EXPECT_EQ(x.kind, "BOND");
    EXPECT_EQ(atom_inf.atm_name(x.ia[0]).trimmed(), "SG");
    EXPECT_EQ(atom_inf.atm_name(x.ia[1]).trimmed(), "SG");
  }
  EXPECT_EQ(in_link, 1);
  EXPECT_EQ(rows.size(), pipetest::records(file_text(dir.file("out.rst"))).size());
}
