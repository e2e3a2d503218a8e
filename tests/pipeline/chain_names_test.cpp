// Chain names of the pipeline's mmCIF reading: a label of one character is
// held doubled (A as AA), the name a label AA has; every chain of the model
// still gets a name of its own, and the connection rows find the residues
// of their own labels.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "model_text.h"
#include "pipeline_fixture.h"
#include "restraint_sets.h"

namespace {

// The text of an mmCIF file of the archive with the label `from` named `to`
// in its atom rows, its connection rows and its chain list.
std::string relabelled(const std::string& text, const std::string& from, const std::string& to) {
  std::istringstream in(text);
  std::string out;
  bool in_asym = false;
  for (std::string l; std::getline(in, l);) {
    if (l.starts_with("_struct_asym.")) in_asym = true;
    if (l.starts_with("#")) in_asym = false;
    std::vector<std::size_t> at;  // the tokens that hold a label
    if (l.starts_with("ATOM") || l.starts_with("HETATM")) at = {6};
    if (l.starts_with("metalc") || l.starts_with("hydrog") || l.starts_with("covale")) at = {3, 11};
    if (in_asym && !l.starts_with("_")) at = {0};
    if (!at.empty()) {
      std::istringstream words(l);
      std::vector<std::string> w;
      for (std::string t; words >> t;) w.push_back(t);
      for (const std::size_t k : at)
        if (k < w.size() && w[k] == from) w[k] = to;
      l.clear();
      for (const std::string& t : w) l += (l.empty() ? "" : " ") + t;
    }
    out += l + "\n";
  }
  return out;
}

int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

}  // namespace

// 1LCD's second DNA strand labelled AA beside its first, labelled A (the
// 27th chain of a large assembly is labelled AA so), or its sodium labelled
// CC beside the protein, labelled C: the later label is named anew, the
// sodium's four links (one to DT 4 of the second strand) are all made, and a
// run on the coordinates written reads the same chains and restrains the
// same atoms.
TEST(ChainNames, LabelHeldUnderAnotherChainsNameIsNamedApartAndKeepsItsLinks) {
  const std::string entry = file_text(pipetest::data("cif_1LCD.cif"));
  rsets::ModelRun original;
  rsets::run_model(pipetest::data("cif_1LCD.cif"), original);
  const struct {
    const char* label;
    const char* from;
    const char* to;
    const char* named;  // the name the label is given
    const char* link;   // the sodium's link to DT 4, as the restraint file titles it
  } rows[] = {
      {"second strand labelled AA", "B", "AA", "Aa",
       "link_'NA-DT   '_NA_______0012-_DD  -DT_______0004-_Aa"},
      {"sodium labelled CC", "D", "CC", "Ca",
       "link_'NA-DT   '_NA_______0012-_Ca  -DT_______0004-_BB"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir models;
    const std::string file = models.write("m.cif", relabelled(entry, row.from, row.to));
    rsets::ModelRun first, again;
    rsets::run_model(file, first);
    EXPECT_NE(first.out.out.find(std::string("named anew: ") + row.to + " as " + row.named),
              std::string::npos)
        << first.out.out;
    EXPECT_EQ(first.out.nbond, original.out.nbond);
    EXPECT_EQ(first.out.nangl, original.out.nangl);
    EXPECT_EQ(first.out.nplan, original.out.nplan);
    EXPECT_EQ(count_of(first.rst, "# link_'NA-"), 4);
    EXPECT_EQ(count_of(first.rst, row.link), 1) << first.rst;
    EXPECT_EQ(first.out.out.find("not in the model"), std::string::npos) << first.out.out;

    rsets::run_model(first.dir.path() + "/out.crd", again);
    rsets::expect_same("second run on the coordinates written", first.restraints, again.restraints);
    EXPECT_EQ(again.out.out.find("named anew"), std::string::npos) << again.out.out;
    ASSERT_EQ(pipetest::read_coordinates(first.dir.path() + "/out"), 0);
    std::set<std::string> names;
    for (int g = 1; g <= asym_part.n_group; ++g)
      names.insert(std::string(asym_part.group_id(g).trimmed()));
    EXPECT_EQ(asym_part.n_group, 7);
    EXPECT_EQ(names.size(), 7u);
    EXPECT_EQ(names.count(row.named), 1u);
  }
}

// A piece of 6ZU5 (A 846 of the RNA labelled A, and the magnesium its two
// connection rows bond to O3' and O2') with an arginine numbered 846 under
// the label AA, as the archive labels a 27th chain, after the RNA or before
// it: the magnesium's links are made to the nucleotide, never looked up on
// the arginine and dropped.
TEST(ChainNames, LinksOfLabelAAreNotLookedUpOnResidueOfLabelAAAtTheirNumber) {
  const std::string entry = file_text(pipetest::data("cif_rna_mg_conn_primes.cif"));
  std::string arginine;
  int serial = 1000;
  for (const modeltext::Atom& a : modeltext::atoms_of("1A8O.pdb", 'A', 154, 154)) {
    char row[160];
    std::snprintf(row, sizeof row, "%d %s %s . ARG AA 2 1 ? %.3f %.3f %.3f 1 30.00 ? 846 LA 1\n",
                  ++serial, a.element.c_str(), a.name.c_str(), a.x + 190, a.y + 190, a.z + 250);
    arginine += row;
  }
  const std::size_t rows = entry.find("1 P P . U A");
  ASSERT_NE(rows, std::string::npos);
  const std::string after = entry.substr(0, entry.find_last_not_of("#\n ") + 1) + "\n" + arginine;
  const std::string before = entry.substr(0, rows) + arginine + entry.substr(rows);
  for (const std::string* text : {&after, &before}) {
    SCOPED_TRACE(text == &after ? "arginine after the RNA" : "arginine before the RNA");
    TempDir models;
    rsets::ModelRun run;
    rsets::run_model(models.write("m.cif", *text), run);
    EXPECT_EQ(count_of(run.rst, "# link_'Ar-MG"), 2) << run.rst;
    EXPECT_EQ(run.out.out.find("not in the model"), std::string::npos) << run.out.out;
    EXPECT_EQ(count_of(run.out.out, "named anew"), 1) << run.out.out;
  }
}
