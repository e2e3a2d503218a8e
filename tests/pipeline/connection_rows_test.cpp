// Connection rows of mmCIF files through whole runs: a row naming a
// nucleotide atom with the archive's prime, and one naming its residues by
// the file's sequence numbers alone, find the atoms the model holds; a run
// on the written coordinates restrains what the first run did.  Rows and
// LINK records inside one residue make no link.  A row written as
// item-value pairs is one row.
#include <gtest/gtest.h>

#include <string>

#include "written_run.h"

namespace {

using pipetest::Options;
using pipetest::Outcome;

constexpr const char* kAbsent = "names an atom not in the model";

Outcome run_with_srch(const std::string& model, char srch, const std::string& dir) {
  Options o;
  o.in = model;
  o.srch = srch;
  return pipetest::run(o, dir);
}

int occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

// A cut of the archive's ribosome 6ZU5: a magnesium linked by two rows to
// O3' and O2' of adenosine 846, primed as the archive writes them, where
// the reader stars the adenosine's atoms.  Both bonds are restrained at
// the model's distance, with and without the search by distance, and a run
// on the written coordinates gives the same counts.
TEST(ConnectionRows, PrimedNucleotideAtomsOfTheArchiveBondTheirMagnesium) {
  const wrun::Written w = wrun::run_on(pipetest::data("cif_rna_mg_conn_primes.cif"));
  ASSERT_EQ(w.r.ierr, 0) << w.r.out;
  EXPECT_EQ(w.r.out.find(kAbsent), std::string::npos) << w.r.out;
  EXPECT_EQ(wrun::bonds_between(w, "846 O3*", "2852 MG"), 1);
  EXPECT_EQ(wrun::bonds_between(w, "846 O2*", "2852 MG"), 1);
  EXPECT_NE(w.rst.find("BOND     73 .        .        29     66      .      .    2.828    0.020    2.828"),
            std::string::npos)
      << w.rst;
  EXPECT_EQ(w.r.nbond, 74);

  for (const char srch : {'N', 'G'}) {
    SCOPED_TRACE(std::string("srch ") + srch);
    TempDir first, second;
    const Outcome a = run_with_srch(pipetest::data("cif_rna_mg_conn_primes.cif"), srch, first.path());
    ASSERT_EQ(a.ierr, 0) << a.out;
    EXPECT_EQ(a.out.find(kAbsent), std::string::npos) << a.out;
    EXPECT_EQ(a.nbond, 74);
    const Outcome b = run_with_srch(first.file("out.crd"), srch, second.path());
    ASSERT_EQ(b.ierr, 0) << b.out;
    EXPECT_EQ(b.out.find(kAbsent), std::string::npos) << b.out;
    EXPECT_EQ(b.nbond, a.nbond);
    EXPECT_EQ(b.nangl, a.nangl);
    EXPECT_EQ(b.ntors, a.ntors);
    EXPECT_EQ(b.nchir, a.nchir);
    EXPECT_EQ(b.nplan, a.nplan);
  }
}

// A cut of the archive's 3p49: RNA in one-letter names whose LINK records
// bond magnesium ions.  The reader names adenosine 148 as DNA (Ad) until
// its O2' makes it RNA (Ar); its connection row names it as the atom list
// does, or no reader of the written file finds the partner.
TEST(ConnectionRows, OneLetterNucleotideIsNamedInItsRowAsInTheAtomList) {
  const wrun::Written w = wrun::run_on(pipetest::data("pdb_3p49_mg_cut.pdb"));
  ASSERT_EQ(w.r.ierr, 0) << w.r.out;
  const std::string row =
      "\n2   Ar-MG    OP2    .  148 Ar       AA   1_555    MG     .  742 MG       Ab\n";
  EXPECT_NE(w.crd.find(row), std::string::npos) << w.crd;
  EXPECT_EQ(occurrences(w.crd, " Ad "), 0) << w.crd;
  EXPECT_EQ(occurrences(w.crd, " Ar       AA   1_555    MG "), 3) << w.crd;
}

// Two deoxyadenosines of 1LCD, the second taking the library's other name
// for its ring nitrogen's protonation (a RENAME modification written
// beside the atom list).  Run on its written coordinates, the row linking
// them still names residue 2 as the atom list does (DA), not by the name
// the modification gives it, and a third run reads what the second wrote.
TEST(ConnectionRows, ResidueRenamedByAModificationIsNamedInItsRowAsInTheAtomList) {
  const wrun::Written first = wrun::run_on(pipetest::data("cif_1LCD_dna.cif"));
  ASSERT_EQ(first.r.ierr, 0) << first.r.out;
  const std::string row = "\n1   DA-DA_N1 'O3''  .    1 DA       BB   .        P      .    2 DA       BB\n";
  EXPECT_NE(first.crd.find(row), std::string::npos) << first.crd;
  TempDir dir;
  const wrun::Written second = wrun::run_on(dir.write("first.crd", first.crd));
  ASSERT_EQ(second.r.ierr, 0) << second.r.out;
  EXPECT_NE(second.crd.find(row), std::string::npos) << second.crd;
  EXPECT_EQ(second.r.nbond, first.r.nbond);
}

// OpenMM's PDBx form of 1A8O's MSE 151 - ILE 153 names the residues of its
// one connection row (C of MSE to N of ASP) by their sequence numbers
// alone: the row finds both, as the archive's form of the entry does, and
// the bond is restrained once.
TEST(ConnectionRows, RowNamingItsResiduesBySequenceNumberFindsThem) {
  const wrun::Written w =
      wrun::run_on(pipetest::data("peers/simulation_tools/1A8O_mse_openmm.cif"));
  ASSERT_EQ(w.r.ierr, 0) << w.r.out;
  EXPECT_EQ(w.r.out.find(kAbsent), std::string::npos) << w.r.out;
  EXPECT_EQ(w.r.out.find("is not made"), std::string::npos) << w.r.out;
  EXPECT_NE(w.r.out.find("  WARNING : link: MSE<-->ASP is without link_id\n"), std::string::npos)
      << w.r.out;
  EXPECT_EQ(wrun::bonds_between(w, "1 C", "2 N"), 1);
  EXPECT_EQ(w.r.nbond, 23);
}

// ACE-ALA-LYS of 2jo4 as OpenMM's PDBx writer saves it, with a connection
// row for every bond of ACE (five inside ACE 1, one to ALA 2), as gemmi
// writes those rows (LINK records), and the archive's own form (its one
// LINK record): each gives the same 34 bonds, the residue's own bonds
// restrained once and no link inside ACE.
TEST(ConnectionRows, RowsInsideOneResidueAreItsOwnBondsNotLinks) {
  const std::string dir = "peers/simulation_tools/";
  const struct {
    const char* file;
    const char* line;  // the line for the file, "" for none
  } forms[] = {
      {"pep3_openmm.cif",
       "  INFO: 5 connection rows join two atoms of one residue: passed over, as that residue's "
       "own bonds\n"},
      {"pep3_openmm_gemmi.pdb",
       "  INFO: 5 LINK records join two atoms of one residue: passed over, as that residue's own "
       "bonds\n"},
      {"pep3.pdb", ""},
  };
  for (const auto& f : forms) {
    SCOPED_TRACE(f.file);
    const wrun::Written w = wrun::run_on(pipetest::data(dir + f.file));
    ASSERT_EQ(w.r.ierr, 0) << w.r.out;
    EXPECT_EQ(occurrences(w.r.out, "one residue"), *f.line ? 1 : 0) << w.r.out;
    if (*f.line) {
      EXPECT_NE(w.r.out.find(f.line), std::string::npos) << w.r.out;
    }
    EXPECT_EQ(w.r.out.find("ACE-ACE"), std::string::npos) << w.r.out;
    EXPECT_EQ(w.rst.find("ACE-ACE"), std::string::npos);
    EXPECT_EQ(wrun::bonds_between(w, "1 C", "1 CH3"), 1);
    EXPECT_EQ(wrun::bonds_between(w, "1 C", "1 O"), 1);
    EXPECT_EQ(wrun::bonds_between(w, "1 C", "2 N"), 1);
    EXPECT_EQ(w.r.nbond, 34);
  }
}

// The cyclic ALA-GLY as gemmi saves it writes its one connection row, the
// head-to-tail bond, as item-value pairs, the form of every category of one
// row: the row is read whole and closes the ring, as the PDB form's LINK
// record does (9 bonds, not 8 and a warning for each item of the row).
TEST(ConnectionRows, RowWrittenAsItemValuePairsIsOneRow) {
  for (const char* file : {"cif_one_row_pairs.cif", "pdb_cyclo_ala_gly.pdb"}) {
    SCOPED_TRACE(file);
    const wrun::Written w = wrun::run_on(pipetest::data(file));
    ASSERT_EQ(w.r.ierr, 0) << w.r.out;
    EXPECT_EQ(w.r.out.find(kAbsent), std::string::npos) << w.r.out;
    EXPECT_EQ(wrun::bonds_between(w, "2 C", "1 N"), 1);
    EXPECT_EQ(w.r.nbond, 9);
  }
}

// GLN 73 - THR 75 of 3p1u with its two LINK records, and a third naming SE
// of MSE 74 at both ends: that one is warned of and makes no link, so no
// atom is restrained to itself and no link MSE-MSE reaches the new library;
// the rest is restrained as without it (23 bonds).
TEST(ConnectionRows, RecordJoiningAnAtomToItselfMakesNoLink) {
  TempDir dir;
  const pipetest::Outcome r =
      pipetest::run_model(pipetest::data("pdb_3p1u_mse_link_to_itself.pdb"), dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  EXPECT_NE(
      r.out.find("  WARNING : LINK record joins atom SE MSE A 74 to itself: no link is made\n"),
      std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("MSE-MSE"), std::string::npos) << r.out;
  EXPECT_EQ(file_text(dir.file("new_lib.cif")).find("MSE-MSE"), std::string::npos);
  for (const pipetest::Record& rec : pipetest::records(file_text(dir.file("out.rst"))))
    if (rec.line.starts_with("BOND")) {
      EXPECT_NE(rec.serials[0], rec.serials[1]) << rec.line;
    }
  EXPECT_EQ(r.nbond, 23);
}
