// Second runs: the pipeline run again on the coordinate file it wrote, or
// with the new library it wrote given back as the user's library, restrains
// the same atoms with the same values; links to symmetry copies are written
// once, with codes that read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "model_text.h"
#include "pipeline_fixture.h"

namespace {

using pipetest::Options;
using pipetest::Outcome;
using pipetest::lines_of;

std::string blanked(std::string s, std::size_t from, std::size_t to) {
  for (std::size_t c = from; c <= to && c <= s.size(); ++c) s[c - 1] = ' ';
  return s;
}

// The block titles and restraints of a run, each serial replaced by the
// atom the coordinate file holds there (chain, number, residue, name,
// alternate code, missing or not), the record number dropped and every
// value kept.  Bonds, angles and torsions are read in one
// direction, as a monomer built in one run and taken from the new library
// in the next may list its atoms the other way.  With `link_esd` false the
// deviation of link bonds is left out.
std::multiset<std::string> by_atoms(const std::string& base, bool link_esd = true) {
  EXPECT_EQ(pipetest::read_coordinates(base), 0) << base;
  std::vector<std::string> atoms;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia)
    atoms.push_back(pipetest::atom_key(ia) + "/" + std::string(1, atom_inf.atm_type(ia)(1)));
  const auto atom = [&](const std::string& serial) {
    const int s = std::stoi(serial);
    return s >= 1 && s <= static_cast<int>(atoms.size()) ? atoms[s - 1] : "serial " + serial;
  };
  const std::vector<std::string> lines = lines_of(file_text(base + ".rst"));
  std::multiset<std::string> out;
  bool in_link = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    if (l.starts_with("# link_")) in_link = true;
    if (l.starts_with("# data_restr_")) in_link = false;
    if (l.starts_with("# link_") || l.starts_with("# data_restr_")) out.insert(l);
    const std::string kind = l.substr(0, 4);
    if (kind == "PLAN") {
      out.insert("PLAN " + atom(pipetest::field(l, 24, 29)) + blanked(blanked(l, 6, 11), 24, 29));
      continue;
    }
    const int na = kind == "BOND" || kind == "BNDS" ? 2 : kind == "ANGL" ? 3 : kind == "TORS" || kind == "CHIR" ? 4 : 0;
    if (na == 0 || i + 1 >= lines.size()) continue;
    std::vector<std::string> who;
    std::string rest = blanked(l, 6, 11);
    for (int k = 0; k < na; ++k) {
      who.push_back(atom(pipetest::field(l, 27 + 7 * k, 32 + 7 * k)));
      rest = blanked(rest, 27 + 7 * k, 32 + 7 * k);
    }
    if (kind != "CHIR" && who.back() < who.front()) std::reverse(who.begin(), who.end());
    if ((kind == "BOND" || kind == "BNDS") && in_link && !link_esd) rest = blanked(rest, 64, 72);
    std::string key = kind;
    for (const std::string& w : who) key += " " + w;
    const std::string& second = lines[++i];
    out.insert(key + " |" + rest + "|" + second.substr(0, second.find('#')));
  }
  return out;
}

// The words of a restraint key, and whether two keys are the same
// restraint with every number within `slack` of the other's.
std::vector<std::string> words_of(std::string key) {
  std::replace(key.begin(), key.end(), '|', ' ');
  std::vector<std::string> out;
  std::istringstream in(key);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

bool near(const std::string& a, const std::string& b, double slack) {
  const std::vector<std::string> x = words_of(a), y = words_of(b);
  if (x.size() != y.size()) return false;
  for (std::size_t k = 0; k < x.size(); ++k) {
    if (x[k] == y[k]) continue;
    std::size_t nx = 0, ny = 0;
    double vx = 0.0, vy = 0.0;
    try {
      vx = std::stod(x[k], &nx);
      vy = std::stod(y[k], &ny);
    } catch (const std::exception&) {
      return false;
    }
    if (nx != x[k].size() || ny != y[k].size() || std::abs(vx - vy) > slack) return false;
  }
  return true;
}

// Every restraint of one run that the other lacks, or has a different
// number of times.  With `slack` above 0 a restraint of one run that
// differs from one of the other only in numbers within `slack` counts as
// the same.
void expect_same(const std::string& label, const std::multiset<std::string>& first,
                 const std::multiset<std::string>& second, double slack = 0.0) {
  EXPECT_EQ(first.size(), second.size()) << label;
  std::vector<std::string> only_first, only_second;
  for (auto k = first.begin(); k != first.end(); k = first.upper_bound(*k))
    for (std::size_t n = second.count(*k); n < first.count(*k); ++n) only_first.push_back(*k);
  for (auto k = second.begin(); k != second.end(); k = second.upper_bound(*k))
    for (std::size_t n = first.count(*k); n < second.count(*k); ++n) only_second.push_back(*k);
  if (slack > 0.0) {
    for (auto a = only_first.begin(); a != only_first.end();) {
      const auto b = std::find_if(only_second.begin(), only_second.end(),
                                  [&](const std::string& k) { return near(*a, k, slack); });
      if (b == only_second.end()) {
        ++a;
        continue;
      }
      only_second.erase(b);
      a = only_first.erase(a);
    }
  }
  int shown = 0;
  for (const std::string& k : only_first)
    if (shown++ < 10) ADD_FAILURE() << label << ", first run only: " << k;
  for (const std::string& k : only_second)
    if (shown++ < 20) ADD_FAILURE() << label << ", second run only: " << k;
}

struct Runs {
  TempDir first, on_coordinates, with_library;
  Outcome r1, r2, r3;
};

// The run, the run on its coordinate file and, when it wrote a new library,
// the run with that library as the user's library; each compared with the
// first by the atoms restrained.
void expect_second_runs_agree(const Options& given, Runs& runs, bool link_esd = true, bool with_library = true) {
  runs.r1 = pipetest::run(given, runs.first.path());
  const std::string base = runs.first.path() + "/out";
  ASSERT_TRUE(std::filesystem::exists(base + ".rst")) << runs.r1.out;
  const std::multiset<std::string> first = by_atoms(base, link_esd);
  Options again = given;
  again.in = base + ".crd";
  runs.r2 = pipetest::run(again, runs.on_coordinates.path());
  EXPECT_EQ(runs.r2.ierr, runs.r1.ierr) << runs.r2.out;
  expect_same(given.in + " on its coordinates", first, by_atoms(runs.on_coordinates.path() + "/out", link_esd));
  if (runs.r1.new_lib != 'Y' || !with_library) return;
  Options user = given;
  user.lib2 = runs.first.path() + "/new_lib.cif";
  runs.r3 = pipetest::run(user, runs.with_library.path());
  EXPECT_EQ(runs.r3.ierr, runs.r1.ierr) << runs.r3.out;
  EXPECT_EQ(runs.r3.new_lib, 'N') << "nothing new the second time: " << runs.r3.out;
  // The new library holds the built monomers' values to three decimals:
  // values derived from them may differ in their last digit.
  expect_same(given.in + " with its new library", first, by_atoms(runs.with_library.path() + "/out", link_esd),
              0.0011);
}

Options on(const std::string& model) {
  Options o;
  o.in = pipetest::data(model);
  return o;
}

// ------------------------------------------------------------ second runs

// The shipped entries that make restraints, each run three ways; the
// one-atom aspartates of 1SSU_mod come back with their other atoms written
// as missing, and get no residue block the second time either.  The
// deviation of a link bond is left out: a link the run describes itself
// takes the library's deviation only once the library holds it.
TEST(SecondRun, ShippedEntriesGiveTheSameRestraints) {
  const struct {
    const char* model;
    bool with_library;
  } rows[] = {{"disordered.pdb", true},
              {"1SSU_mod.pdb", true},
              {"cif_1SSU_mod.cif", true},
              {"pdb_insertion_run.pdb", true},
              {"cif_insertion_run.cif", true},
              {"2BEG.pdb", true},
              {"pdb_62_ligands.pdb", true},
              // The long-line entry without its cut last record, which the
              // reader refuses.
              {"pdb_long_lines_whole.pdb", true},
              // 2BEG model 1 chain A with ALA 21 made 2-aminoisobutyric acid,
              // which the test library lacks: CB renamed CB1 (its hydrogens
              // HB11-HB13), HA replaced by CB2 1.53 A from CA along the old
              // C-H bond, with HB21-HB23 1.09 A from it, tetrahedral and
              // staggered against N; atoms renumbered.  Mid-chain, and as
              // the first residue (the same file from residue 21 on), whose
              // free N gets a second hydrogen from the builder.
              {"pdb_aib.pdb", true},
              {"pdb_aib_n_terminal.pdb", true},
              {"1A8O.pdb", true},
              {"cif_1A8O.cif", true},
              {"1LCD.pdb", true},
              // Residues 153-155 of 1A8O numbered 1000, 1000 with the
              // insertion code 1 (columns 23-27 "10001") and 1001: the code
              // is a digit, and the written number with its code reads back
              // as that residue, not as a number past 9999.
              {"pdb_digit_insertion_code.pdb", true},
              // The same residues numbered 12, 12 with the code 3 and 123; 1,
              // 1 with the code 2 and 12; -5, -5 with the code 1 and -4: a
              // number of fewer digits and its code must not read back as
              // the next residue's number, nor as a number of its own.
              {"pdb_digit_code_beside_its_number.pdb", true},
              {"pdb_digit_code_of_residue_1.pdb", true},
              {"pdb_digit_code_below_0.pdb", true},
              // Its chain caps written as HETATM join their chains by
              // distance; the coordinates written name those links.
              {"peers/renamed_and_sorted/2jo4_model1.pdb", true},
              // OPM's dummy residues, each an N and an O at one number,
              // whose atoms the model holds as DUM and DUM2.
              {"peers/opm_dum.pdb", true},
              {"peers/opm_dum_gemmi.cif", true},
              // Not with the new library: that run describes the link between
              // its first two nucleotides anew, under another name.
              {"cif_1LCD_dna.cif", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.model);
    Runs runs;
    expect_second_runs_agree(on(row.model), runs, false, row.with_library);
  }
}

// The rows of the written connection loop, each as its first line.
std::vector<std::string> connection_rows(const std::string& crd) {
  std::vector<std::string> out;
  bool in = false;
  for (const std::string& l : lines_of(crd)) {
    if (l.starts_with("##")) in = l == "## STRUCT_CONN ##" || (in && l.starts_with("####"));
    if (in && !l.empty() && l[0] >= '0' && l[0] <= '9') out.push_back(l.substr(4));
  }
  return out;
}

// Open Babel's mmCIF names no chain and numbers each chain of the entry from
// 1, so each entry is one blank chain whose numbers start again (2BEG: five
// times 17-42), as is a GROMACS frame without chain letters or TER records.
// Each start, and each entity of the file, is a further chain (XX, Xa, ...),
// so that the written file tells the pieces and their links apart: the run
// on it reads the same residues and links and gives the same restraints.
// A few written models of other kinds are run on again alongside.
TEST(SecondRun, BlankChainHoldingNumbersAgainGivesTheSameRestraints) {
  const struct {
    const char* model;
    bool same_file;  // the coordinate file written again is the first
    const char* chains;  // the chains of the written model
    int links;           // connection rows written
  } rows[] = {{"peers/2BEG_obabel.cif", true, "XX Xa Xb Xc Xd", 0},
              // Each chain's waters are a chain of their own, as in the
              // PDB form: the file gives each chain's number as its entity.
              {"peers/1LCD_obabel.cif", true, "XX Xa Xb Xc Xd Xe Xf", 0},
              // Atoms named from column 15 keep their links.
              {"pdb_silver_names_from_column_15.pdb", true, "XX Xa Xb Xc Xd", 8},
              // The cap's H1, which the library does not place, keeps its type.
              {"peers/simulation_tools/pep3_openmm.cif", true, "AA", 0},
              // The cap link of each further copy of the entity, once.
              {"pdb_three_capped_peptides.pdb", true, "AA BB CC", 2},
              // The DNA strands C and D number on from each other: the
              // entity parts them.
              {"peers/3mht_openbabel.cif", true, "XX Xa Xb Xc Xd Xe Xf", 0},
              // No chain letters and no TER record between the chains.
              {"peers/2BEG_gmx.pdb", true, "XX Xa Xb Xc Xd", 0},
              // The disulfide of each chain, once each.
              {"peers/1tii_two_chains_openbabel.cif", true, "XX Xa", 2},
              // The second chain begins at MET 1, which the first never
              // held: no gap row joins it to the first.
              {"peers/ubi_two_chains_b_starts_lower_openbabel.cif", true, "XX Xa", 0},
              // Each chain's waters under its label after all the chains:
              // chains of their own, as in the PDB form, never a second
              // CC, DD or AA.
              {"peers/cif_labels/3mht_parmed.cif", true, "CC DD AA Aa Ca Da Ab", 0},
              // Waters 9997, 9998, 9999 and 9999 again: the last is read
              // and written at 0 after 9999 in its water chain, which the
              // run on the model reads as written, never as the numbers
              // wrapping into a further water chain.
              {"pdb_water_given_again_at_9999.pdb", true, "XX Xa", 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.model);
    Runs runs;
    expect_second_runs_agree(on(row.model), runs, false, false);
    EXPECT_EQ(runs.r1.ierr, 0) << runs.r1.out;
    EXPECT_EQ(runs.r2.nbond, runs.r1.nbond);
    EXPECT_EQ(runs.r2.nangl, runs.r1.nangl);
    EXPECT_EQ(runs.r2.nplan, runs.r1.nplan);
    ASSERT_EQ(pipetest::read_coordinates(runs.first.path() + "/out"), 0);
    std::string chains;
    for (int g = 1; g <= asym_part.n_group; ++g) {
      if (g > 1) chains += ' ';
      chains += asym_part.group_id(g).trimmed();
    }
    EXPECT_EQ(chains, row.chains);
    const std::vector<std::string> links =
        connection_rows(file_text(runs.first.path() + "/out.crd"));
    EXPECT_EQ(links.size(), static_cast<std::size_t>(row.links));
    EXPECT_EQ(std::set<std::string>(links.begin(), links.end()).size(), links.size())
        << "a row written twice";
    EXPECT_EQ(runs.r2.out.find("bond restraint far from the model"), std::string::npos) << runs.r2.out;
    if (row.same_file) {
      EXPECT_EQ(file_text(runs.on_coordinates.path() + "/out.crd"), file_text(runs.first.path() + "/out.crd"));
    }
  }
}

// A cell edge of 10000 A or more (the readers take edges up to 100000 A)
// fills more than the usual field of the written cell: the field widens, so
// the run on the written coordinates reads the same cell instead of refusing
// a row of stars.
TEST(SecondRun, CellEdgePast9999IsWrittenWhole) {
  const struct {
    const char* label;
    const char* cryst1;
    const char* written;  // the written edge a
  } rows[] = {
      {"edge of 9999.999 in the usual field",
       "CRYST1 9999.999  200.000  200.000  90.00  90.00  90.00 P 1           1\n", "9999.999"},
      {"edge of 12345.678",
       "CRYST112345.678  200.000  200.000  90.00  90.00  90.00 P 1           1\n", "12345.678"},
      {"edge of 100000",
       "CRYST1100000.00  200.000  200.000  90.00  90.00  90.00 P 1           1\n", "100000.000"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir models;
    Options o;
    o.in = models.write("cell.pdb", std::string(row.cryst1) +
                                        modeltext::pdb_atoms(modeltext::atoms_of("1d3z_model1.pdb", 'A', 2, 5)) +
                                        "END\n");
    Runs runs;
    expect_second_runs_agree(o, runs, true, false);
    EXPECT_EQ(runs.r1.ierr, 0) << runs.r1.out;
    const std::string crd = file_text(runs.first.path() + "/out.crd");
    const std::size_t at = crd.find("_cell.length_a ");
    ASSERT_NE(at, std::string::npos) << crd;
    std::istringstream line(crd.substr(at, crd.find('\n', at) - at));
    std::string item, value;
    line >> item >> value;
    EXPECT_EQ(value, row.written);
    EXPECT_EQ(crd.find("*****"), std::string::npos) << crd;
  }
}

// Open Babel's mmCIF of 1AS5 holds three hydroxyprolines, which the test
// library lacks: each is written under a chain of its own, its peptide link
// to the residue before named as the proline form.  The run on what it
// wrote finds the library's description of that form, as the first run
// did, and makes no description of its own.
TEST(SecondRun, ProlineFormOfALinkToAModifiedProlineKeepsItsDescription) {
  Runs runs;
  expect_second_runs_agree(on("peers/modified_prolines/1AS5_obabel.cif"), runs, true, false);
  EXPECT_EQ(runs.r1.ierr, 0) << runs.r1.out;
  // Restraint rows of each kind (a plane counts a row per atom).
  const auto rows = [](const std::string& dir) {
    std::vector<int> n(4, 0);
    const std::string kinds[4] = {"BOND", "ANGL", "TORS", "PLAN"};
    for (const std::string& l : lines_of(file_text(dir + "/out.rst")))
      for (int k = 0; k < 4; ++k) n[k] += l.starts_with(kinds[k]);
    return n;
  };
  const std::vector<int> expected = {364, 626, 107, 208};
  EXPECT_EQ(rows(runs.first.path()), expected) << "bonds, angles, torsions, plane rows";
  EXPECT_EQ(rows(runs.on_coordinates.path()), expected) << "bonds, angles, torsions, plane rows";
  EXPECT_EQ(file_text(runs.on_coordinates.path() + "/out.rst").find("PTRANS1"), std::string::npos);
  EXPECT_EQ(runs.r2.out.find("description of link:PTRANS"), std::string::npos) << runs.r2.out;
}

// Open Babel's 2BEG cut to its first two pieces (LEU 17 to ALA 42 twice):
// every atom row (a line of seven tab-separated fields, its coordinates on
// the line after) from the third LEU 17 on is left out.
std::string first_two_pieces_of_2beg(const TempDir& dir) {
  std::string out;
  int pieces = 0, before = 0;
  bool keep = true, coordinates_next = false;
  for (const std::string& l : lines_of(file_text(pipetest::data("peers/2BEG_obabel.cif")))) {
    if (coordinates_next) {
      coordinates_next = false;
      if (keep) out += l + "\n";
      continue;
    }
    const std::vector<std::string> w = words_of(l);
    if (!l.empty() && l[0] == '\t' && w.size() == 6) {
      const int number = std::stoi(w[5]);
      if (before == 42 && number == 17) ++pieces;
      before = number;
      keep = pieces < 2;
      coordinates_next = true;
      if (!keep) continue;
    }
    out += l + "\n";
  }
  return dir.write("2BEG_two_pieces.cif", out);
}

// Those two pieces as this program wrote them while it read them as one
// chain (XX, the second piece after the first by a gap): stored files of
// that form are read as they were written.
const std::string kTwoPiecesAsOneChain =
    pipetest::data("crd_2BEG_obabel_two_pieces_as_one_chain.crd");

// The gap between the two pieces is a row of the entity's sequence in the
// stored coordinates (LEU 17 after ALA 42); the run on them joins the two
// pieces by that row, writes no link row of the entity for it, and the
// same coordinates again.  Open Babel's two pieces themselves are two
// chains now, with no gap between them.
TEST(SecondRun, GapBetweenTwoPiecesOfOneNumberingStaysARowOfTheSequence) {
  TempDir models, pieces;
  Options o;
  o.in = first_two_pieces_of_2beg(models);
  const Outcome apart = pipetest::run(o, pieces.path());
  ASSERT_EQ(apart.ierr, 0) << apart.out;
  const std::string two_chains = file_text(pieces.path() + "/out.crd");
  EXPECT_EQ(two_chains.find(" gap "), std::string::npos) << two_chains;
  EXPECT_NE(two_chains.find(" N      . LEU      Xa     17 "), std::string::npos) << two_chains;
  o.in = kTwoPiecesAsOneChain;
  Runs runs;
  expect_second_runs_agree(o, runs, false, false);
  ASSERT_EQ(runs.r1.ierr, 0) << runs.r1.out;
  EXPECT_EQ(runs.r1.nbond, apart.nbond);
  const std::string first = file_text(runs.first.path() + "/out.crd");
  const std::string second = file_text(runs.on_coordinates.path() + "/out.crd");
  EXPECT_NE(first.find(" LEU        17  XX   gap        42  ."), std::string::npos) << first;
  EXPECT_EQ(second.find("_entity_link"), std::string::npos) << second;
  EXPECT_EQ(second, first);
  EXPECT_EQ(runs.r2.nbond, 744);
}

// The same written coordinates with the second piece's first row made a
// start of its own (no residue before it): the sequence holds its numbers
// twice and two rows without a back neighbour at the start number.  The
// chain starts at the first of them, and the second piece hangs after the
// first by a gap, not after itself.
TEST(SecondRun, SequenceHoldingItsNumbersTwiceStartsAtItsFirstRow) {
  TempDir models;
  Options o;
  o.in = kTwoPiecesAsOneChain;
  Runs runs;
  runs.r1 = pipetest::run(o, runs.first.path());
  ASSERT_EQ(runs.r1.ierr, 0) << runs.r1.out;
  std::string crd = file_text(runs.first.path() + "/out.crd");
  const std::string gap = " LEU        17  XX   gap        42  .";
  const std::size_t at = crd.find(gap);
  ASSERT_NE(at, std::string::npos) << crd;
  crd.replace(at, gap.size(), " LEU        17  XX   .        n/a   .");
  o.in = models.write("second_piece_unjoined.crd", crd);
  runs.r2 = pipetest::run(o, runs.on_coordinates.path());
  ASSERT_EQ(runs.r2.ierr, 0) << runs.r2.out;
  const std::string written = file_text(runs.on_coordinates.path() + "/out.crd");
  EXPECT_EQ(written.find(" LEU        17  XX   gap        17"), std::string::npos) << written;
  EXPECT_NE(written.find(gap), std::string::npos) << written;
  EXPECT_EQ(written.find("_entity_link"), std::string::npos) << written;
  EXPECT_EQ(runs.r2.nbond, runs.r1.nbond);
  EXPECT_EQ(runs.r2.nangl, runs.r1.nangl);
}

// The chain of two pieces as a run on the stored coordinates wrote it, its
// coordinates file edited, and the run on that: both runs' coordinates.
struct EditedRun {
  TempDir models;
  Runs runs;
  std::string first, written;
};

template <typename Edit>
void run_edited_two_pieces(EditedRun& e, Edit edit) {
  Options o;
  o.in = kTwoPiecesAsOneChain;
  e.runs.r1 = pipetest::run(o, e.runs.first.path());
  ASSERT_EQ(e.runs.r1.ierr, 0) << e.runs.r1.out;
  e.first = file_text(e.runs.first.path() + "/out.crd");
  std::string crd = e.first;
  edit(crd);
  o.in = e.models.write("edited.crd", crd);
  e.runs.r2 = pipetest::run(o, e.runs.on_coordinates.path());
  ASSERT_EQ(e.runs.r2.ierr, 0) << e.runs.r2.out;
  e.written = file_text(e.runs.on_coordinates.path() + "/out.crd");
}

// The written sequence cut to its first row: the entity holds one residue
// for a chain of many, and the chain takes its terminus types from its end
// residues, as the first run found them: LEU 17 keeps its amino group.
TEST(SecondRun, ChainWhoseEntityHoldsOneResidueTakesTheTypesOfItsEnds) {
  EditedRun e;
  run_edited_two_pieces(e, [](std::string& crd) {
    const std::string head = "_entity_poly_seq.ptq7_mod_id\n#\n";
    const std::size_t rows = crd.find(head);
    ASSERT_NE(rows, std::string::npos);
    const std::size_t second = crd.find('\n', rows + head.size()) + 1;
    crd.erase(second, crd.find("#####", second) - second);
  });
  EXPECT_NE(e.first.find(" LEU        17  XX   .        n/a   NH3\n"), std::string::npos)
      << e.first;
  EXPECT_EQ(e.written, e.first);
}

// The written sequence with the chain's start typed otherwise than its end
// residue would type it: the file's type holds.
TEST(SecondRun, ChainEndTheFileTypesKeepsThatType) {
  EditedRun e;
  const std::string row = " LEU        17  XX   .        n/a   ";
  run_edited_two_pieces(e, [&](std::string& crd) {
    const std::size_t at = crd.find(row + "NH3\n");
    ASSERT_NE(at, std::string::npos);
    crd.replace(at + row.size(), 3, "TERMINUS");
  });
  EXPECT_NE(e.written.find(row + "TERMINUS\n"), std::string::npos) << e.written;
  EXPECT_EQ(e.written.find(row + "NH3"), std::string::npos) << e.written;
}

// gemmi gives the blank chain of OpenMM's test model, its waters included,
// one label: the first run types the chain by its last residue, a water,
// and writes no sequence for it, so the run on what it wrote finds the
// chain's termini at its ends as the first did (the amino terminus of LEU 1
// with H1, H2, H3).  The C-terminal PHE 35, named as the simulation names it
// (OC1, OC2), is built anew in each run from atoms in another order, which
// names and orders its torsions, chiral centre and planes otherwise: only
// its bonds and angles are compared.
TEST(SecondRun, ChainTypedByItsWatersKeepsItsTermini) {
  Runs runs;
  Options o = on("peers/openmm_test_gemmi.cif");
  runs.r1 = pipetest::run(o, runs.first.path());
  ASSERT_EQ(runs.r1.ierr, 0) << runs.r1.out;
  o.in = runs.first.path() + "/out.crd";
  runs.r2 = pipetest::run(o, runs.on_coordinates.path());
  ASSERT_EQ(runs.r2.ierr, 0) << runs.r2.out;
  const auto kept = [](const std::multiset<std::string>& all) {
    std::multiset<std::string> out;
    for (const std::string& k : all)
      if (k.find("|  35 |PHE|") == std::string::npos || k.starts_with("BOND") || k.starts_with("ANGL"))
        out.insert(k);
    return out;
  };
  const std::multiset<std::string> first = kept(by_atoms(runs.first.path() + "/out"));
  expect_same("openmm_test_gemmi.cif on its coordinates", first, kept(by_atoms(runs.on_coordinates.path() + "/out")));
  int terminal = 0;
  for (const std::string& k : first)
    terminal += k.starts_with("BOND") && (k.find("|   1 |LEU|H2|") != std::string::npos ||
                                          k.find("|   1 |LEU|H3|") != std::string::npos);
  EXPECT_EQ(terminal, 2);
  EXPECT_EQ(runs.r2.nbond, runs.r1.nbond);
  EXPECT_EQ(runs.r2.nangl, runs.r1.nangl);
}

// The selenomethionines of 1A8O, built in the first run and taken from the
// new library in the next, are peptide-bonded to their neighbours by LINK
// records: their N atoms keep the monomer's type and the bonds to them the
// energy library's constant for a carbonyl C and that type, never that of a
// free amino terminus.
TEST(SecondRun, LinkBondsToSelenomethionineKeepTheirForceConstant) {
  Runs runs;
  expect_second_runs_agree(on("1A8O.pdb"), runs, false);
  for (const std::string& dir : {runs.first.path(), runs.with_library.path()}) {
    const std::vector<std::string> lines = lines_of(file_text(dir + "/out.rst"));
    int links = 0;
    for (std::size_t i = 0; i + 3 < lines.size(); ++i) {
      if (!lines[i].starts_with("# link_") || lines[i].find("MSE") == std::string::npos) continue;
      ++links;
      const std::string& second = lines[i + 3];
      EXPECT_EQ(second.substr(0, second.find('#')), "    .        .     450.000 ") << dir << "\n" << lines[i + 2];
    }
    EXPECT_EQ(links, 6) << dir;
  }
}

// The atom names of residue `res` in the order a coordinate file gives them.
std::vector<std::string> names_in_file(const std::string& base, const std::string& res) {
  std::vector<std::string> out;
  if (pipetest::read_coordinates(base) != 0) return out;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia)
    if (resid_inf.res_name(atom_inf.i_resid(ia)).trimmed() == res)
      out.emplace_back(atom_inf.atm_name(ia).trimmed());
  return out;
}

// A monomer the run builds is written in the order the input gives its
// atoms, the order its tree was built from, in both runs; taken from the new
// library it is written in the library's tree order, which starts elsewhere.
TEST(SecondRun, BuiltMonomerKeepsTheInputAtomOrder) {
  Runs runs;
  expect_second_runs_agree(on("pdb_aib_n_terminal.pdb"), runs, false);
  const std::vector<std::string> input = {"N",    "CA",   "C",    "O",    "CB1",  "CB2", "H",
                                          "HB11", "HB12", "HB13", "HB21", "HB22", "HB23"};
  EXPECT_EQ(names_in_file(runs.first.path() + "/out", "AIB"), input);
  EXPECT_EQ(names_in_file(runs.on_coordinates.path() + "/out", "AIB"), input);
  const std::vector<std::string> library = names_in_file(runs.with_library.path() + "/out", "AIB");
  ASSERT_EQ(library.size(), input.size());
  EXPECT_EQ(library.front(), "O");
}

// The caps' methyl hydrogens HH31 to HH33 written from column 13, as an
// AMBER-made model writes them: the test library lacks both caps, so each
// run builds them, under the names the file gave, and the run on the
// written coordinates and the run with the new library find them so.
TEST(SecondRun, CapHydrogensKeepTheNamesTheFileGave) {
  Runs runs;
  expect_second_runs_agree(on("peers/capped_hh3.pdb"), runs, false);
  ASSERT_EQ(runs.r1.ierr, 0) << runs.r1.out;
  ASSERT_EQ(runs.r1.new_lib, 'Y');
  const std::vector<std::string> ace = {"C", "O", "CH3", "HH31", "HH32", "HH33"};
  const std::vector<std::string> nme = {"N", "C", "HH31", "HH32", "HH33"};
  for (const std::string& dir : {runs.first.path(), runs.on_coordinates.path()}) {
    EXPECT_EQ(names_in_file(dir + "/out", "ACE"), ace) << dir;
    EXPECT_EQ(names_in_file(dir + "/out", "NME"), nme) << dir;
  }
  const std::string lib = file_text(runs.first.path() + "/new_lib.cif");
  EXPECT_NE(lib.find("HH31"), std::string::npos) << lib;
  EXPECT_EQ(lib.find("H31H"), std::string::npos) << lib;
}

// 1D3Z model 1 (an NMR entry with its hydrogens), residues 1-10, with GLN2
// written as HETATM, bonded to both neighbours by LINK records (connection
// rows in the mmCIF form): residue 1 is then a chain of one residue bonded
// at its C only.  Its free N keeps the amino group, and the terminal
// hydrogens H2 and H3 are restrained (two bonds to N, their angles) on the
// first run, on the run on the written coordinates and on the run with the
// library the first run wrote alike, restraint by restraint.  Residue 1 as
// the entry has it, a selenomethionine (which the test library lacks, so
// the run builds it), and made methionine (SE renamed SD, element S).
TEST(SecondRun, ChainOfOneResidueKeepsItsFreeEnd) {
  for (const std::string first : {"MET", "MSE"}) {
    std::vector<modeltext::Atom> atoms = modeltext::atoms_of("1d3z_model1.pdb", 'A', 1, 10);
    for (modeltext::Atom& a : atoms) {
      if (a.num == 1) {
        a.seq = 1;
        if (first == "MET") {
          a.record = "ATOM";
          a.res = "MET";
          if (a.name == "SE") a.name = "SD", a.element = "S";
        }
      }
      if (a.num == 2) a.record = "HETATM";
    }
    const modeltext::Atom& c1 = modeltext::named(atoms, 1, "C");
    const modeltext::Atom& n2 = modeltext::named(atoms, 2, "N");
    const modeltext::Atom& c2 = modeltext::named(atoms, 2, "C");
    const modeltext::Atom& n3 = modeltext::named(atoms, 3, "N");
    TempDir models;
    const std::string pdb = models.write(
        "first.pdb", "HEADER    UBIQUITIN\n" + modeltext::pdb_link(c1, n2) +
                         modeltext::pdb_link(c2, n3) + modeltext::pdb_atoms(atoms) + "END\n");
    const std::string cif =
        models.write("first.cif", modeltext::cif_model(atoms, {{&c1, &n2}, {&c2, &n3}}));
    for (const std::string& f : {pdb, cif}) {
      SCOPED_TRACE(first + " in " + f);
      Options o;
      o.in = f;
      Runs runs;
      expect_second_runs_agree(o, runs, false);
      ASSERT_EQ(runs.r1.ierr, 0) << runs.r1.out;
      EXPECT_EQ(runs.r1.new_lib, first == "MSE" ? 'Y' : 'N');
      int bonds = 0, angles = 0;
      for (const std::string& k : by_atoms(runs.first.path() + "/out")) {
        if (k.find("|" + first + "|H2|") == std::string::npos &&
            k.find("|" + first + "|H3|") == std::string::npos)
          continue;
        bonds += k.starts_with("BOND");
        angles += k.starts_with("ANGL");
      }
      // The built selenomethionine keeps the file's H1 beside them: two
      // angles more, H1-N-H2 and H1-N-H3.
      EXPECT_EQ(bonds, 2);
      EXPECT_EQ(angles, first == "MET" ? 3 : 5);
    }
  }
}

// The sugar chain rebuilt in each hydrogen mode, its glycosidic links found
// by distance under a link the test library lacks: the leaving O1 of each
// linked sugar stays out of the coordinates, so the run on them and the run
// on what that wrote restrain the same atoms, and neither an O1 (nor its
// HO1) but that of sugar 3, whose C1 is free.
TEST(SecondRun, RebuiltSugarChainKeepsItsLeavingOxygensOut) {
  for (const char h : {'A', 'N', 'Y'}) {
    SCOPED_TRACE(std::string("rebuilt with hydrogen flag ") + h);
    TempDir rebuilt;
    Options o = on("nag_chain.pdb");
    o.h = h;
    o.rflag = 'Y';
    const Outcome r = pipetest::run(o, rebuilt.path());
    ASSERT_EQ(r.ierr, 0) << r.out;
    Options again;
    again.in = rebuilt.path() + "/out.crd";
    Runs runs;
    expect_second_runs_agree(again, runs, false, false);
    int with_o1 = 0;
    for (const std::string& k : by_atoms(runs.first.path() + "/out")) {
      if (k.find("|NAG|O1|") == std::string::npos && k.find("|NAG|HO1|") == std::string::npos)
        continue;
      ++with_o1;
      EXPECT_NE(k.find("|   3 |NAG|"), std::string::npos) << k;
    }
    EXPECT_GT(with_o1, 0) << "the free C1's oxygen is restrained";
  }
}

// ------------------------------------------------------ symmetry links

// The hand-made models: cell P 1 2 1, a = b = c = 20 A, the two-fold
// -x, y, -z; cysteine atoms from the ideal coordinates of the component,
// moved as a whole.
// pdb_symm_far_disulfide.pdb: SG of chain A at (66, 5, 84), SG of chain B
// 2.05 A from the image of the first under the two-fold shifted by (6, 0, 8)
// cells, which no one-digit code holds; a LINK record 1555 2555.
// pdb_zinc_two_fold.pdb: a zinc on the two-fold axis at (0, 5, 0), SG of a
// cysteine 2.298 A from it and so from the zinc's own image; a LINK record
// ZN-SG 1555 2555 at 2.30 A.  pdb_zinc_two_fold_two_links.pdb: the same with
// a LINK record ZN-SG 1555 1555 before it.

// The ZN-SG restraints of a restraint file, bond and symmetry bond records
// alike, their first line each.
std::vector<std::string> zinc_bonds(const std::string& rst) {
  const std::vector<std::string> lines = lines_of(rst);
  std::vector<std::string> out;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i)
    if ((lines[i].starts_with("BOND") || lines[i].starts_with("BNDS")) &&
        lines[i + 1].ends_with("# ZN    SG"))
      out.push_back(lines[i]);
  return out;
}

// The shift has no one-digit code: the link is refused with a message that
// names it and its atoms, and no field of stars is written anywhere.
TEST(SymmetryLinks, ShiftWithoutADigitIsRefusedWithAMessage) {
  Runs runs;
  expect_second_runs_agree(on("pdb_symm_far_disulfide.pdb"), runs);
  const Outcome& r = runs.r1;
  EXPECT_EQ(r.ierr, 0) << r.out;
  EXPECT_NE(r.out.find(" WARNING : symm.link SS       not used: cell shift   6   0   8 of operator   2"
                       " has no symmetry code (one digit, -5 to +4, per axis)\n"
                       "            ch:AA   res:   1  CYS      a:SG  . --> ch:BB   res:   1  CYS      a:SG  .\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("symm.link will be used"), std::string::npos) << r.out;
  const std::string rst = file_text(runs.first.path() + "/out.rst");
  EXPECT_EQ(rst.find('*'), std::string::npos) << rst;
  EXPECT_EQ(rst.find("BNDS"), std::string::npos) << rst;
  EXPECT_EQ(r.out.find('*'), std::string::npos) << r.out;
}

// The zinc's image is as near to SG as the zinc itself: the symmetry record
// carries the two-fold the input gave, not the identity, once; the second
// runs agree.
TEST(SymmetryLinks, AtomOnTwoFoldKeepsTheCodeTheInputGave) {
  Runs runs;
  expect_second_runs_agree(on("pdb_zinc_two_fold.pdb"), runs, false);
  EXPECT_EQ(runs.r1.ierr, 0) << runs.r1.out;
  EXPECT_NE(runs.r1.out.find(" INFO:     symm.link will be used, dist=   2.298 ideal=   2.300symm1:2_555"),
            std::string::npos)
      << runs.r1.out;
  const std::vector<std::string> bonds = zinc_bonds(file_text(runs.first.path() + "/out.rst"));
  ASSERT_EQ(bonds.size(), 1u);
  EXPECT_EQ(bonds[0].substr(0, 21), "BNDS      1 2_555    ") << bonds[0];
}

// The input links the zinc to SG and to SG's image: on the two-fold both are
// one bond, restrained once as the ordinary link, with a line that says so.
TEST(SymmetryLinks, ImageOfAnOrdinaryLinkIsRestrainedOnce) {
  Runs runs;
  expect_second_runs_agree(on("pdb_zinc_two_fold_two_links.pdb"), runs, false);
  EXPECT_EQ(runs.r1.ierr, 0) << runs.r1.out;
  EXPECT_NE(runs.r1.out.find(" INFO:     symm.link joins the atoms of an ordinary link, restrained once\n"
                             "            ch:Aa   res: 101  ZN       a:ZN  . --> ch:AA   res:   1  CYS      a:SG  .\n"),
            std::string::npos)
      << runs.r1.out;
  const std::vector<std::string> bonds = zinc_bonds(file_text(runs.first.path() + "/out.rst"));
  ASSERT_EQ(bonds.size(), 1u);
  EXPECT_TRUE(bonds[0].starts_with("BOND")) << bonds[0];
  EXPECT_EQ(pipetest::field(bonds[0], 55, 62), "2.300") << bonds[0];
  EXPECT_EQ(pipetest::field(bonds[0], 73, 80), "2.298") << bonds[0];
}

// The disulfide of CYS C 247 and CYS D 247 of a fragment of 4hhh, to the
// copy of code 4_555: SG of conformer A 2.371 A from the copy's, of B
// 2.820 A.  The PDB form names it by an SSBOND record, the mmCIF form by a
// "disulf" row that states the model's 2.3706 A.  Each form restrains it at
// the 2.030 A of the library's SS link, as a disulfide inside the model is,
// not at the stated length: the row that names conformer A (gemmi's) for
// that pair only, the SSBOND record and a row naming no conformer for both.
// A run on the coordinate file restrains the same.
TEST(SymmetryLinks, ArchiveDisulfideToACopyTakesTheLibraryLength) {
  TempDir edited;
  std::string cif = file_text(pipetest::data("cif_4hhh_frag_gemmi.cif"));
  for (const char* item :
       {"_struct_conn.pdbx_ptnr1_label_alt_id A", "_struct_conn.pdbx_ptnr2_label_alt_id A"}) {
    const std::size_t at = cif.find(item);
    ASSERT_NE(at, std::string::npos) << item;
    cif.replace(at + std::string(item).size() - 1, 1, "?");
  }
  const std::string no_conformer = edited.write("no_conformer.cif", cif);
  const std::string a_to_a = "2.030 2.371 # SG  A SG  A";
  const std::string b_to_b = "2.030 2.820 # SG  B SG  B";
  const struct {
    const char* label;
    std::string model;
    std::vector<std::string> bonds;  // "ideal observed # atoms" of each BNDS
  } rows[] = {
      {"mmCIF row naming conformer A", pipetest::data("cif_4hhh_frag_gemmi.cif"), {a_to_a}},
      {"mmCIF row naming no conformer", no_conformer, {a_to_a, b_to_b}},
      {"PDB SSBOND record", pipetest::data("pdb_4hhh_frag.pdb"), {a_to_a, b_to_b}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Options o;
    o.in = row.model;
    Runs runs;
    expect_second_runs_agree(o, runs);
    ASSERT_EQ(runs.r1.ierr, 0) << runs.r1.out;
    const std::vector<std::string> lines = lines_of(file_text(runs.first.path() + "/out.rst"));
    std::vector<std::string> bonds;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
      if (!lines[i].starts_with("BNDS")) continue;
      EXPECT_EQ(lines[i].substr(0, 21),
                "BNDS      " + std::to_string(bonds.size() + 1) + " 4_555    ")
          << lines[i];
      const std::size_t hash = lines[i + 1].find('#');
      bonds.push_back(pipetest::field(lines[i], 55, 62) + " " + pipetest::field(lines[i], 73, 80) +
                      " " + (hash == std::string::npos ? "" : lines[i + 1].substr(hash)));
    }
    EXPECT_EQ(bonds, row.bonds);
    EXPECT_NE(runs.r1.out.find(
                  " INFO:     symm.link will be used, dist=   2.371 ideal=   2.030symm1:4_555"),
              std::string::npos)
        << runs.r1.out;
  }
}

}  // namespace
