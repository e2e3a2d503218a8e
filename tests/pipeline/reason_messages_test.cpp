// Messages that say why a run stopped or what it changed, on real entries:
// the bonds no row of the energy library types, a monomer the library lacks
// whose atoms have occupancy 0, the name changes that are no modification,
// renamed hydrogens of alternate conformations, a compressed model, and
// hydrogens removed on reading from a file without element columns.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "pipeline_fixture.h"

namespace {

using pipetest::Outcome;

// The lines of an entry that pass `keep`, each with its end.
template <class Keep>
std::string lines_where(const std::string& path, Keep keep) {
  std::istringstream in(file_text(path));
  std::string out;
  for (std::string l; std::getline(in, l);)
    if (keep(l)) out += l + "\n";
  return out;
}

bool atom_line(const std::string& l) { return l.starts_with("ATOM") || l.starts_with("HETATM"); }

// The output from its first line holding `from` to the end of the line
// holding `to`.
std::string block(const std::string& out, const std::string& from, const std::string& to) {
  const std::size_t a = out.rfind('\n', out.find(from)) + 1;
  const std::size_t b = out.find('\n', out.find(to, a));
  return a == std::string::npos || b == std::string::npos ? "" : out.substr(a, b - a + 1);
}

}  // namespace

// Each bond the energy library cannot type is named with its atoms and
// elements, after the atoms whose element it lacks: 3p1u's sulfate (the
// test library has S and O, but no S-O row), and 4CUP's ligand ZYB read
// without its hydrogens (no fluorine at all, and no N-O row).
TEST(ReasonMessages, BondsTheEnergyLibraryCannotTypeAreNamed) {
  TempDir models;
  const std::string sulfate = models.write(
      "so4.pdb", lines_where(pipetest::data("3p1u.pdb"), [](const std::string& l) {
        return l.starts_with("CRYST1") ||
               (atom_line(l) && l.substr(17, 3) == "SO4" && l.substr(21, 5) == "B 554");
      }));
  const std::string incomplete = " ERROR: Energetic library - \"ener_lib.cif\" is incomplete\n";
  const struct {
    const char* label;
    std::string model;
    char h;
    std::string said;
  } rows[] = {
      {"3p1u SO4 B 554", sulfate, 'Y',
       " ERROR: Bond S - O1 of elements S - O fits no bond of \"ener_lib.cif\"\n"
       " ERROR: Bond S - O2 of elements S - O fits no bond of \"ener_lib.cif\"\n"
       " ERROR: Bond S - O3 of elements S - O fits no bond of \"ener_lib.cif\"\n"
       " ERROR: Bond S - O4 of elements S - O fits no bond of \"ener_lib.cif\"\n" +
           incomplete},
      {"4CUP ZYB, hydrogens removed on reading", pipetest::data("cif_4CUP.cif"), 'N',
       " ERROR: Atom F with element name F\n"
       "        does not exist in theenergetic library \"ener_lib.cif\"\n"
       " ERROR: Bond N1 - O of elements N - O fits no bond of \"ener_lib.cif\"\n" +
           incomplete},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    pipetest::Options o;
    o.in = row.model;
    o.h = row.h;
    TempDir dir;
    const Outcome r = pipetest::run(o, dir.path());
    EXPECT_EQ(r.ierr, 1) << r.out;
    EXPECT_EQ(block(r.out, " ERROR:", "is incomplete"), row.said) << r.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.crd")));
  }
}

// 1A8O's selenomethionines, which the test library lacks, with occupancy 0:
// the builder has no positions to build from, and the run says that it is
// the occupancy, and how many atoms, rather than missing coordinates.
TEST(ReasonMessages, MonomerOfAtomsAtOccupancyZeroSaysSo) {
  const struct {
    const char* label;
    const char* names;  // the MSE atoms set to 0, "" every one
    const char* said;
  } rows[] = {
      {"every atom of every copy", "", "its 8 atoms have occupancy 0 in every copy in the model"},
      {"SE and CE of every copy", "SE  | CE ",
       "2 of its 8 atoms have occupancy 0 in its fullest copy, MSE 151 chain AA"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string names = row.names;
    std::string text =
        lines_where(pipetest::data("1A8O.pdb"), [](const std::string&) { return true; });
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
      const std::string l = text.substr(at, 60);
      if (!atom_line(l) || l.substr(17, 3) != "MSE") continue;
      if (names.empty() || names.find(l.substr(12, 4)) != std::string::npos)
        text.replace(at + 54, 6, "  0.00");
    }
    TempDir models, dir;
    const Outcome r = pipetest::run_model(models.write("m.pdb", text), dir.path());
    EXPECT_EQ(r.ierr, 1) << r.out;
    EXPECT_NE(r.out.find("  ERROR: MSE     : can not create new monomer\n" + std::string(20, ' ') +
                         row.said + "\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("without coordinates"), std::string::npos) << r.out;
  }
}

// A RENAME row records another name of a residue (here the anomer names the
// reader gives NAG); it is no modification, so no run reports it missing.
TEST(ReasonMessages, NameChangesAreNoMissingModification) {
  TempDir dir;
  const Outcome r = pipetest::run_model(pipetest::data("nag_chain.pdb"), dir.path());
  EXPECT_EQ(r.out.find("RENAME"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("modification"), std::string::npos) << r.out;
}

// Each conformer of a hydrogen is renamed on its own: the line names each
// with its alternate code (PHE 45 of the older names, its side chain in two
// conformers), the atom without conformers without one.
TEST(ReasonMessages, RenamedConformerHydrogensCarryTheirAlternateCode) {
  std::string text = "CRYST1    1.000    1.000    1.000  90.00  90.00  90.00 P 1           1\n";
  std::istringstream in(file_text(pipetest::data("peers/old_h_names.pdb")));
  for (std::string l; std::getline(in, l);) {
    if (!atom_line(l) || l.substr(17, 9) != "PHE A  45") continue;
    const std::string name = l.substr(12, 4);
    if (name == " N  " || name == " CA " || name == " C  " || name == " O  " || name == " HN " ||
        name == " HA ") {
      text += l + "\n";
      continue;
    }
    for (const char* alt : {"A", "B"}) {
      std::string c = l.substr(0, 16) + alt + l.substr(17, 37) + "  0.50" + l.substr(60);
      if (*alt == 'B') {
        char x[9];
        std::snprintf(x, sizeof x, "%8.3f", std::stof(l.substr(30, 8)) + 0.3f);
        c.replace(30, 8, x);
      }
      text += c + "\n";
    }
  }
  TempDir models, dir;
  const Outcome r = pipetest::run_model(models.write("m.pdb", text), dir.path());
  EXPECT_EQ(r.ierr, 0) << r.out;
  EXPECT_NE(
      r.out.find(" WARNING : 5 hydrogens of older names take the library's: HN PHE 45 AA -> H, "
                 "HB1 PHE 45 AA alt A -> HB2, HB1 PHE 45 AA alt B -> HB2, "
                 "HB2 PHE 45 AA alt A -> HB3, HB2 PHE 45 AA alt B -> HB3\n"),
      std::string::npos)
      << r.out;
}

// A gzipped model is named as such in one line, before the library is
// loaded, with the status of an unreadable header.
TEST(ReasonMessages, CompressedModelIsNamedSo) {
  TempDir models, dir;
  const std::string model = models.write(
      "m.pdb.gz", std::string("\x1f\x8b\x08\x08\x00\x00\x00\x00\x00\x03m.pdb\0\x01\x02", 18));
  const Outcome r = pipetest::run_model(model, dir.path());
  EXPECT_EQ(r.ierr, pipeline::kEmptyLibraryOrBadHeader);
  EXPECT_EQ(
      block(r.out, "Input file :", "compressed"),
      " Input file :" + model + "\n  ERROR: Input file is compressed (gzip); uncompress it first\n")
      << r.out;
  EXPECT_EQ(r.out.find("I am reading"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("reading title"), std::string::npos) << r.out;
}

// A model that is empty, or holds no atom records (the file type detection
// takes either for CIF, and a header alone for PDB), is named so in one
// line, with the status of a model that cannot be read, and nothing is
// written.
TEST(ReasonMessages, EmptyModelOrOneWithoutAtomsIsNamedSo) {
  const struct {
    const char *label, *text, *line;
  } rows[] = {
      {"empty", "", " ERROR: input file is empty\n"},
      {"blank lines", "\n   \n", " ERROR: input file is empty\n"},
      {"no atom records", "MODEL        1\nENDMDL\nEND\n",
       " ERROR: input file holds no atoms (no ATOM or HETATM record, no atom list)\n"},
      // A header record makes the file PDB; it is still no model.
      {"CRYST1 and END",
       "CRYST1   50.000   60.000   70.000  90.00  90.00  90.00 P 1           1\nEND\n",
       " ERROR: input file holds no atoms (no ATOM or HETATM record, no atom list)\n"},
      {"mmCIF atom list without rows",
       "data_x\nloop_\n_atom_site.id\n_atom_site.Cartn_x\n#\nloop_\n_other.a\n1\n",
       " ERROR: input file holds no atoms (an atom list without rows)\n"},
  };
  for (const auto& r : rows) {
    TempDir models, dir;
    const Outcome o = pipetest::run_model(models.write("m.pdb", r.text), dir.path());
    EXPECT_EQ(o.ierr, 2) << r.label;
    EXPECT_NE(o.out.find(r.line), std::string::npos) << r.label << o.out;
    EXPECT_EQ(o.out.find("reading title"), std::string::npos) << r.label << o.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.crd"))) << r.label;
  }
}

// Hydrogens removed on reading (h_flag N) from a file without element
// columns, a simulation frame with its waters (OpenMM's test model, cut):
// the run writes what it writes for the file without them.
TEST(ReasonMessages, HydrogensRemovedFromAFileWithoutElementColumns) {
  const std::string frame = pipetest::data("peers/openmm_test_cut.pdb");
  TempDir models;
  const std::string bare =
      models.write("bare.pdb", lines_where(frame, [](const std::string& l) {
                     return !atom_line(l) || !(l[12] == 'H' || (l[12] == ' ' && l[13] == 'H'));
                   }));
  ASSERT_NE(file_text(bare).find(" HOH "), std::string::npos);
  ASSERT_EQ(file_text(bare).find(" HW1 "), std::string::npos);
  ASSERT_EQ(file_text(bare).find("HD11"), std::string::npos);
  TempDir removed, without;
  pipetest::Options o;
  o.in = frame;
  o.h = 'N';
  const Outcome r1 = pipetest::run(o, removed.path());
  o.in = bare;
  o.h = 'Y';
  const Outcome r2 = pipetest::run(o, without.path());
  ASSERT_EQ(r1.ierr, 0) << r1.out;
  ASSERT_EQ(r2.ierr, 0) << r2.out;
  for (const char* ext : {"crd", "str", "rst"})
    EXPECT_EQ(file_text(removed.file(std::string("out.") + ext)),
              file_text(without.file(std::string("out.") + ext)))
        << ext;
  EXPECT_EQ(file_text(removed.file("out.crd")).find(" HW1 "), std::string::npos);
}
