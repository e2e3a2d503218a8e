// mmCIF files whose rows name no chain of their own (the label "." on every
// row): the pipeline's reader gives them the chains of their PDB form, so
// that a chain ends before the waters and ligands that follow it.
#include <cstdio>
#include <sstream>
#include <vector>

#include "cif_test_util.h"
#include "coords/cif_by_pdb_rules.h"
#include "pdb_fixture.h"

namespace {

using CifUnlabelledChains = CifFiles;

// Rows as a viewer writes them: label and entity ".", the author's number
// as label_seq_id, no auth_seq_id.
std::string unlabelled(const std::string& rows) {
  return cif_header() +
         atom_loop({"group_PDB", "id", "label_atom_id", "label_comp_id", "label_asym_id",
                    "label_entity_id", "label_seq_id", "pdbx_PDB_ins_code", "Cartn_x", "Cartn_y",
                    "Cartn_z", "occupancy", "B_iso_or_equiv", "auth_asym_id"}) +
         rows;
}

std::string row(const char* kind, int serial, const char* atom, const char* res, int seq,
                const char* chain) {
  return std::string(kind) + " " + std::to_string(serial) + " " + atom + " " + res + " . . " +
         std::to_string(seq) + " ? " + std::to_string(serial) + " 0 0 1.0 10.0 " + chain + "\n";
}

}  // namespace

TEST_F(CifUnlabelledChains, ChainsEndWhereThePdbFormEndsThem) {
  const struct {
    const char* label;
    std::string rows;
    const char* chains;
  } cases[] = {
      {"waters numbered on from the chain's last residue",
       row("ATOM", 1, "N", "MET", 1, "A") + row("ATOM", 2, "N", "GLY", 2, "A") +
           row("HETATM", 3, "O", "HOH", 3, "A") + row("HETATM", 4, "O", "HOH", 4, "A"),
       "AA:2 Aa:2 "},
      {"a ligand, then the waters; a second author chain",
       row("ATOM", 1, "N", "ALA", 1, "A") + row("HETATM", 2, "S", "SO4", 2, "A") +
           row("HETATM", 3, "O", "HOH", 3, "A") + row("ATOM", 4, "N", "ALA", 1, "B") +
           row("HETATM", 5, "O", "HOH", 2, "B"),
       "AA:1 Aa:1 Ab:1 BB:1 Ba:1 "},
      {"a modified residue written as HETATM",
       row("ATOM", 1, "N", "GLY", 1, "A") + row("HETATM", 2, "N", "MSE", 2, "A") +
           row("ATOM", 3, "N", "GLY", 3, "A"),
       "AA:1 Aa:1 Ab:1 "},
      {"a peptide after the chain's OXT",
       row("ATOM", 1, "N", "GLY", 1, "A") + row("ATOM", 2, "OXT", "GLY", 1, "A") +
           row("ATOM", 3, "N", "ALA", 2, "A"),
       "AA:1 Aa:1 "},
      {"a cap written as ATOM, a blank chain",
       row("ATOM", 1, "C", "ACE", 0, ".") + row("ATOM", 2, "N", "ALA", 1, ".") +
           row("ATOM", 3, "N", "NME", 2, "."),
       "XX:3 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("u", unlabelled(c.rows));
    ASSERT_EQ(read("u"), 0);
    EXPECT_EQ(chain_summary(), c.chains);
  }
}

// A residue split by a row of another name, and two names at one number
// whose alternate codes the writer dropped: in the PDB form they stand in
// chains of their own, and both readers refuse them as the PDB reader
// does.  With their alternate codes they are conformers and read.
TEST_F(CifUnlabelledChains, NumberHeldByResiduesOfTwoChainsIsRefusedByBothReaders) {
  const auto file = [](const std::vector<std::string>& rows) {
    std::string text =
        cif_header() + atom_loop({"group_PDB", "id", "label_atom_id", "label_alt_id",
                                  "label_comp_id", "label_asym_id", "label_entity_id",
                                  "label_seq_id", "Cartn_x", "Cartn_y", "Cartn_z", "auth_asym_id"});
    int serial = 0;
    for (const std::string& r : rows) {
      ++serial;
      std::istringstream w(r);
      std::string kind, atom, alt, res, x;
      w >> kind >> atom >> alt >> res >> x;
      if (x.empty()) x = std::to_string(serial);
      text += kind + " " + std::to_string(serial) + " " + atom + " " + alt + " " + res +
              " . . 91 " + x + " 0 0 A\n";
    }
    return text;
  };
  const struct {
    const char* label;
    std::vector<std::string> rows;  // kind, atom, alternate code, residue[, x]
    int32_t ierr;
    const char* times;  // the residues at 91, as the error line counts them
  } cases[] = {
      {"a mistyped name", {"ATOM N . SER", "ATOM O . SEX", "ATOM CB . SER"}, 6, "3"},
      // The atoms of a microheterogeneity coincide.
      {"two names without alternate codes",
       {"ATOM N . CYS", "ATOM CA . CYS", "HETATM N . SMC 1", "HETATM CA . SMC 2"},
       6, "2"},
      {"two names with alternate codes",
       {"ATOM N A CYS", "ATOM CA A CYS", "HETATM N B SMC 1", "HETATM CA B SMC 2"},
       0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("two", file(c.rows));
    EXPECT_EQ(read_out("two"), c.ierr) << out_;
    EXPECT_EQ(out_.find(" ERROR: in chain A residue:  91, given " + std::string(c.times) +
                        " times\n        different residues have the same number\n") !=
                  std::string::npos,
              c.ierr == 6)
        << out_;
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    out_ = captured([&] { coords::read_cif_by_pdb_rules(0, dir_ + "two.cif", 'N', 'Y', ierr); });
    EXPECT_EQ(ierr, c.ierr) << out_;
  }
}

namespace {

// One atom of a residue, for both forms of a file.
struct Atom {
  const char* kind;
  const char* atom;
  const char* res;
  int seq;
  const char* chain;  // as the mmCIF row writes it; "''" and "." are blank
};

std::string cif_form(const std::vector<Atom>& atoms) {
  std::string rows;
  int serial = 0;
  for (const Atom& a : atoms) rows += row(a.kind, ++serial, a.atom, a.res, a.seq, a.chain);
  return unlabelled(rows);
}

std::vector<std::string> pdb_form(const std::vector<Atom>& atoms) {
  std::vector<std::string> lines = {pdbtest::kCryst};
  int serial = 0;
  char line[100];
  for (const Atom& a : atoms) {
    const std::string chain = a.chain;
    const char c = chain == "''" || chain == "." ? ' ' : chain[0];
    ++serial;
    std::snprintf(line, sizeof line, "%-6s%5d  %-3s %3s %c%4d    %8.3f%8.3f%8.3f  1.00 10.00",
                  a.kind, serial, a.atom, a.res, c, a.seq, static_cast<float>(serial), 0.0f, 0.0f);
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

// The rows' own marks for a blank chain read into the chains the PDB reader
// makes of the same lines; a residue whose class ends the chain at the
// number of the residue before it, apart from it, is a residue of its own
// on both roads alike, named in one warning.
TEST_F(CifUnlabelledChains, BlankChainsAndClassesEndChainsAsInThePdbForm) {
  const struct {
    const char* label;
    std::vector<Atom> atoms;
    const char* chains;
    int32_t ierr;
    int warnings;  // of the residues ALA and DA at number 2
  } cases[] = {
      {"the blank chain written '' and . in turn",
       {{"ATOM", "N", "ALA", 1, "''"}, {"ATOM", "N", "GLY", 2, "."}, {"ATOM", "N", "SER", 3, "''"}},
       "XX:3 ", 0, 0},
      {"a nucleotide written as HETATM inside a strand (OpenMM's T)",
       {{"ATOM", "P", "DA", 1, "''"},
        {"ATOM", "O3'", "DA", 1, "''"},
        {"HETATM", "P", "T", 2, "''"},
        {"HETATM", "O3'", "T", 2, "''"},
        {"ATOM", "P", "DC", 3, "''"}},
       "XX:3 ", 0, 0},
      {"a modified residue written as HETATM inside a strand parts it, as in the archive",
       {{"ATOM", "N", "ALA", 1, "''"},
        {"ATOM", "C", "ALA", 1, "''"},
        {"HETATM", "N", "MSE", 2, "''"},
        {"HETATM", "C", "MSE", 2, "''"},
        {"ATOM", "N", "GLY", 3, "''"}},
       "XX:1 Xa:1 Xb:1 ", 0, 0},
      {"a nucleotide at the number of the peptide before it",
       {{"ATOM", "N", "ALA", 1, "A"},
        {"ATOM", "N", "ALA", 2, "A"},
        {"ATOM", "P", "DA", 2, "A"},
        {"ATOM", "P", "DC", 3, "A"}},
       "AA:2 Aa:2 ", 0, 1},
  };
  const char* two =
      "  WARNING: residues ALA and DA of chain A share number 2: read as two residues\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("u", cif_form(c.atoms));
    ASSERT_EQ(read_out("u"), c.ierr);
    EXPECT_EQ(chain_summary(), c.chains);
    EXPECT_EQ(count_of(out_, two), c.warnings) << out_;
    const pdbtest::ReadResult r = pdbtest::read_pdb(pdb_form(c.atoms));
    ASSERT_EQ(r.ierr, c.ierr) << r.out;
    EXPECT_EQ(chain_summary(), c.chains);
    EXPECT_EQ(count_of(r.out, two), c.warnings) << r.out;
  }
}

// A writer that names no chain and numbers each chain of the entry from 1
// gives them as one blank chain whose numbers start again: a residue at a
// number its chain holds, lying apart from the residue holding it, begins a
// further chain.  One lying on that residue is it given again, refused.
TEST_F(CifUnlabelledChains, BlankChainNumberedAgainBeginsAFurtherChainWhereItLiesApart) {
  // One atom per residue, x as given.
  const auto at = [](int serial, const char* res, int seq, double x, const char* chain = ".") {
    return "ATOM " + std::to_string(serial) + " N " + res + " . . " + std::to_string(seq) + " ? " +
           std::to_string(x) + " 0 0 1.0 10.0 " + chain + "\n";
  };
  const struct {
    const char* label;
    std::string rows;
    const char* chains;
    int32_t ierr;
  } cases[] = {
      {"two chains numbered from 1",
       at(1, "GLY", 1, 0) + at(2, "ALA", 2, 4) + at(3, "GLY", 1, 20) + at(4, "ALA", 2, 24),
       "XX:2 Xa:2 ", 0},
      {"a third chain, from a number the first two hold",
       at(1, "GLY", 1, 0) + at(2, "ALA", 2, 4) + at(3, "GLY", 1, 20) + at(4, "ALA", 2, 24) +
           at(5, "SER", 1, 40) + at(6, "GLY", 2, 44),
       "XX:2 Xa:2 Xb:2 ", 0},
      {"numbers going on after a gap",
       at(1, "GLY", 1, 0) + at(2, "ALA", 2, 4) + at(3, "GLY", 5, 20), "XX:3 ", 0},
      {"a residue given again on itself",
       at(1, "GLY", 1, 0) + at(2, "ALA", 2, 4) + at(3, "GLY", 1, 0), "XX:3 ", 6},
      {"two models written as one, 0.9 A apart",
       at(1, "GLY", 1, 0) + at(2, "ALA", 2, 4) + at(3, "GLY", 1, 0.9) + at(4, "ALA", 2, 4.9),
       "XX:2 Xa:2 ", 6},
      {"a named chain is no blank chain",
       at(1, "GLY", 1, 0, "A") + at(2, "ALA", 2, 4, "A") + at(3, "GLY", 1, 20, "A"), "AA:3 ", 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("u", unlabelled(c.rows));
    EXPECT_EQ(read_out("u"), c.ierr) << out_;
    EXPECT_EQ(chain_summary(), c.chains);
  }
}

// Copies of a chain written residue by residue without chain letters (a
// writer sorting the residues by number): no chain of the read would hold
// one copy, so every road refuses them with one line.  A residue given
// again once, its copy going on whole after it, is read.
TEST_F(CifUnlabelledChains, CopiesWrittenResidueByResidueAreRefusedOnEveryRoad) {
  const struct {
    const char* label;
    std::vector<std::pair<int, int>> residues;  // ALA by number and copy
    int32_t ierr;
  } cases[] = {
      {"two copies, residue by residue", {{1, 0}, {1, 1}, {2, 0}, {2, 1}, {3, 0}, {3, 1}}, 6},
      {"three copies, residue by residue", {{1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}, {2, 2}}, 6},
      {"one residue given again, its copy going on after it", {{1, 0}, {1, 1}, {2, 1}, {3, 1}}, 0},
      {"the copies one after the other", {{1, 0}, {2, 0}, {1, 1}, {2, 1}}, 0},
  };
  const std::string refusal = "ERROR: residues ALA 1 and ALA 2 are each given twice in a row";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    // N, CA and C of each residue along x, its C 1.3 A from the next N;
    // the copies 20 A apart.
    std::string rows;
    std::vector<std::string> lines = {pdbtest::kCryst};
    int serial = 0;
    char line[100];
    for (const auto& [number, copy] : c.residues)
      for (const auto& [atom, dx] : {std::pair{"N", 0.0}, {"CA", 1.0}, {"C", 2.0}}) {
        const double x = 3.3 * number + dx, y = 20.0 * copy;
        rows += "ATOM " + std::to_string(++serial) + " " + atom + " ALA . . " +
                std::to_string(number) + " ? " + std::to_string(x) + " " + std::to_string(y) +
                " 0 1.0 10.0 .\n";
        std::snprintf(line, sizeof line, "ATOM  %5d  %-3s ALA  %4d    %8.3f%8.3f%8.3f  1.00 10.00",
                      serial, atom, number, x, y, 0.0);
        lines.push_back(line);
      }
    write("c", unlabelled(rows));
    EXPECT_EQ(read_out("c"), c.ierr);
    EXPECT_EQ(count_of(out_, refusal), c.ierr == 6 ? 1 : 0) << out_;
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    out_ = captured([&] { coords::read_cif_by_pdb_rules(0, dir_ + "c.cif", 'N', 'Y', ierr); });
    EXPECT_EQ(ierr, c.ierr) << "by the PDB reader's rules";
    EXPECT_EQ(count_of(out_, refusal), c.ierr == 6 ? 1 : 0) << out_;
    const pdbtest::ReadResult r = pdbtest::read_pdb(lines);
    EXPECT_EQ(r.ierr, c.ierr) << "the PDB form";
    EXPECT_EQ(count_of(r.out, refusal), c.ierr == 6 ? 1 : 0) << r.out;
  }
}

namespace {

// Residues of one covalent chain as Open Babel writes them (no chain, the
// entity, rows numbered from `first`): a peptide's N, CA and C, its C 1.3 A
// from the next N; a nucleotide's P and O3', its O3' 1.6 A from the next P.
struct Piece {
  const char* entity;
  const char* res;
  int first, count;
  double x;  // where it begins
  bool h_first = false;  // each peptide's H before its N
  bool n_last = false;   // each residue's N, or P, after its other atoms
};

// Nucleotides under the archive's, older files' and force fields' names.
bool nucleotide(const std::string& res) {
  for (const char* n : {"DA", "ADE", "URA", "RU", "RG3"})
    if (res == n) return true;
  return res.size() == 1;
}

std::string obabel_form(const std::vector<Piece>& pieces) {
  std::string text =
      cif_header() + atom_loop({"id", "type_symbol", "label_atom_id", "label_comp_id",
                                "label_entity_id", "label_seq_id", "Cartn_x", "Cartn_y", "Cartn_z"});
  int serial = 0;
  for (const Piece& p : pieces) {
    // Older files name nucleotides by one letter, as Open Babel keeps them.
    const bool dna = nucleotide(p.res);
    const bool water = std::string(p.res) == "HOH";
    for (int k = 0; k < p.count; ++k) {
      const double x = p.x + 3.3 * k;
      const auto atom = [&](const char* element, const char* name, double dx, double dy) {
        text += std::to_string(++serial) + " " + element + " " + name + " " + p.res + " " +
                p.entity + " " + std::to_string(p.first + k) + " " + std::to_string(x + dx) + " " +
                std::to_string(dy) + " 0\n";
      };
      if (water) {
        atom("O", "O", 0.0, 0.0);
      } else if (dna) {
        if (!p.n_last) atom("P", "P", 0.0, 0.0);
        atom("O", "\"O3'\"", 1.7, 0.0);
        if (p.n_last) atom("P", "P", 0.0, 0.0);
      } else {
        if (p.h_first) atom("H", "H", -0.5, -0.9);
        if (!p.n_last) atom("N", "N", 0.0, 0.0);
        atom("C", "CA", 1.0, 0.8);
        atom("C", "C", 2.0, 0.0);
        if (p.n_last) atom("N", "N", 0.0, 0.0);
      }
    }
  }
  return text;
}

}  // namespace

// Each chain of such a file, numbered again, begins where its covalent
// chain does: a chain whose first numbers the chain before never held
// keeps them, and no residue of one chain is read in another.  Both
// programs read the same chains.
TEST_F(CifUnlabelledChains, FurtherChainBeginsAtTheBreakBeforeItsNumbersStartAgain) {
  const struct {
    const char* label;
    std::vector<Piece> pieces;
    const char* chains;
  } cases[] = {
      {"the second chain from a number lower than the first's",
       {{"1", "ALA", 3, 3, 0}, {"2", "ALA", 2, 4, 100}}, "XX:3 Xa:4 "},
      {"four chains from 3, 2, 3, 2",
       {{"1", "ALA", 3, 3, 0}, {"2", "ALA", 2, 4, 100}, {"3", "ALA", 3, 3, 200},
        {"4", "ALA", 2, 4, 300}},
       "XX:3 Xa:4 Xb:3 Xc:4 "},
      {"a gap inside the first chain stays in it",
       {{"1", "ALA", 1, 2, 0}, {"1", "ALA", 5, 2, 50}, {"2", "ALA", 4, 3, 100}}, "XX:4 Xa:3 "},
      {"nucleotides, their O3' to the next P",
       {{"1", "DA", 3, 2, 0}, {"2", "DA", 1, 4, 100}}, "XX:2 Xa:4 "},
      {"no break before the number held again",
       {{"1", "ALA", 1, 3, 0}, {"1", "ALA", 2, 2, 9.9}}, "XX:3 Xa:2 "},
      {"numbers running on from one entity into the next",
       {{"3", "DA", 402, 3, 0}, {"4", "DA", 421, 3, 100}}, "XX:3 Xa:3 "},
      {"one ligand number in two entities, one after the other",
       {{"1", "ALA", 1, 2, 0}, {"2", "ALA", 1, 2, 100}, {"1", "NAG", 501, 1, 200},
        {"2", "NAG", 501, 1, 300}},
       "XX:2 Xa:2 Xb:1 Xc:1 "},
      {"waters of two entities from one number",
       {{"1", "ALA", 1, 2, 0}, {"1", "HOH", 77, 2, 100}, {"2", "HOH", 77, 2, 200}},
       "XX:2 Xa:2 Xb:2 "},
      {"waters of one entity given a number again, lying apart",
       {{"1", "ALA", 1, 2, 0}, {"1", "HOH", 77, 2, 100}, {"1", "HOH", 77, 2, 200}},
       "XX:2 Xa:2 Xb:2 "},
      {"the second chain's own gap before a number the first holds",
       {{"1", "ALA", 10, 3, 0}, {"1", "ALA", 1, 2, 100}, {"1", "ALA", 11, 2, 200}},
       "XX:3 Xa:4 "},
      {"one number in each chain of two models written as one, models apart",
       {{"1", "ASP", 1, 1, 0}, {"2", "ASP", 1, 1, 10}, {"1", "ASP", 1, 1, 20}, {"2", "ASP", 1, 1, 30}},
       "XX:1 Xa:1 Xb:1 Xc:1 "},
      {"numbers running down inside one covalent chain",
       {{"1", "ALA", 5, 2, 0}, {"1", "ALA", 1, 2, 6.6}}, "XX:4 "},
      {"a strand of one entity for each residue, chain-bonded (gemmi's)",
       {{"1", "DA", 1, 1, 0}, {"2", "DA", 2, 1, 3.3}, {"3", "DA", 3, 1, 6.6},
        {"4", "ALA", 1, 2, 100}, {"5", "GLY", 3, 1, 106.6}},
       "XX:3 Xa:3 "},
      {"a modified residue of an entity of its own, chain-bonded, still parts the chain",
       {{"1", "ALA", 1, 1, 0}, {"2", "MSE", 2, 1, 3.3}, {"3", "GLY", 3, 1, 6.6}},
       "XX:1 Xa:1 Xb:1 "},
      {"a strand of one-letter nucleotides, T among them",
       {{"1", "A", 1, 2, 0}, {"1", "T", 3, 2, 6.6}, {"1", "G", 5, 1, 13.2}}, "XX:5 "},
      {"ligands at number 0, each its own entity, the first name again third",
       {{"1", "FX0", 0, 1, 0}, {"2", "CLR", 0, 1, 100}, {"3", "FX0", 0, 1, 200}},
       "XX:1 Xa:1 Xb:1 "},
      {"waters numbered past 9999 by the file's number alone",
       {{"1", "HOH", 9998, 4, 0}}, "XX:2 Xa:2 "},
      {"numbers running down inside one covalent chain, each residue H first",
       {{"1", "ALA", 5, 2, 0, true}, {"1", "ALA", 1, 2, 6.6, true}}, "XX:4 "},
      {"numbers running down inside one covalent chain, each residue's N last",
       {{"1", "ALA", 5, 2, 0, false, true}, {"1", "ALA", 1, 2, 6.6, false, true}}, "XX:4 "},
      {"numbers running down inside one strand, each nucleotide's P last",
       {{"1", "DA", 5, 2, 0, false, true}, {"1", "DA", 1, 2, 6.6, false, true}}, "XX:4 "},
      {"each residue's N last, the residue after the drop 4.3 A from the C before",
       {{"1", "ALA", 5, 2, 0, false, true}, {"1", "ALA", 1, 2, 9.6, false, true}}, "XX:2 Xa:2 "},
      {"a strand under CHARMM's and Amber's nucleotide names",
       {{"1", "ADE", 1, 1, 0}, {"1", "RU", 2, 1, 3.3}, {"1", "URA", 3, 1, 6.6},
        {"1", "RG3", 4, 1, 9.9}},
       "XX:4 "},
      {"four residues of one name at one number in a row, lying apart",
       {{"1", "MET", 1, 1, 0}, {"1", "MET", 1, 1, 20}, {"1", "MET", 1, 1, 40},
        {"1", "MET", 1, 1, 60}},
       "XX:1 Xa:1 Xb:1 Xc:1 "},
      {"two chains' ligands at one number under one entity, in a row",
       {{"1", "ALA", 1, 2, 0}, {"1", "ALA", 1, 2, 100}, {"1", "NAG", 501, 1, 200},
        {"1", "NAG", 501, 1, 300}},
       "XX:2 Xa:2 Xb:1 Xc:1 "},
      {"waters at one number in a row, one water chain",
       {{"1", "ALA", 1, 2, 0}, {"1", "HOH", 0, 1, 100}, {"1", "HOH", 0, 1, 103},
        {"1", "HOH", 0, 1, 106}},
       "XX:2 Xa:3 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("ob", obabel_form(c.pieces));
    ASSERT_EQ(read_out("ob"), 0) << out_;
    EXPECT_EQ(chain_summary(), c.chains);
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    out_ = captured([&] { coords::read_cif_by_pdb_rules(0, dir_ + "ob.cif", 'N', 'Y', ierr); });
    ASSERT_EQ(ierr, 0) << out_;
    std::string chains;
    for (int g = 1; g <= asym_part.n_group; ++g)
      chains += std::string(asym_part.chain_id(g).trimmed()) + ":" +
                std::to_string(asym_part.nres_chain(g)) + " ";
    EXPECT_EQ(chains, c.chains) << "by the PDB reader's rules";
  }
}

// A row that names no chain, by ".", "?" or '' in its label and its
// author's chain, is the blank chain wherever it stands in the file, and
// both programs name every chain alike: never after an entity, never "..",
// never blank.  A row whose author's chain is blank (Biopython writes ".",
// converters '') is of the blank chain whatever its label.
TEST_F(CifUnlabelledChains, RowsThatNameNoChainAreNamedAlikeByBothPrograms) {
  // A chain of two residues (label and author `protein`), then two waters
  // under `label` and `author`, and two more under `label2`.
  // With `second`, a second chain of the protein's entity stands before the
  // waters under `label` and `author`.
  const auto file = [](const std::string& label, const std::string& author,
                       const std::string& label2 = "", const std::string& protein = "A",
                       bool second = false) {
    std::string text = cif_header() + atom_loop({"group_PDB", "id", "label_atom_id", "label_comp_id",
                                                 "label_asym_id", "label_entity_id", "Cartn_x",
                                                 "Cartn_y", "Cartn_z", "auth_seq_id", "auth_asym_id"});
    text += "ATOM 1 N ALA " + protein + " 1 0 0 0 1 " + protein + "\n";
    text += "ATOM 2 N GLY " + protein + " 1 3.8 0 0 2 " + protein + "\n";
    if (second) {
      text += "ATOM 11 N ALA " + label + " 1 10 0 0 1 " + author + "\n";
      text += "ATOM 12 N GLY " + label + " 1 13.8 0 0 2 " + author + "\n";
    }
    text += "HETATM 3 O HOH " + label + " 2 20 0 0 77 " + author + "\n";
    text += "HETATM 4 O HOH " + label + " 2 24 0 0 78 " + author + "\n";
    if (!label2.empty()) {
      text += "HETATM 5 O HOH " + label2 + " 2 40 0 0 77 " + author + "\n";
      text += "HETATM 6 O HOH " + label2 + " 2 44 0 0 78 " + author + "\n";
    }
    return text;
  };
  // Rows of a blank author's chain under labels of the writer's own, one
  // atom each: label, residue, number, x and, where given, the atom.
  const auto blank_author = [](const std::string& author, const std::vector<std::string>& rows) {
    std::string text = cif_header() + atom_loop({"group_PDB", "id", "label_atom_id", "label_comp_id",
                                                 "label_asym_id", "label_entity_id", "Cartn_x",
                                                 "Cartn_y", "Cartn_z", "auth_seq_id", "auth_asym_id"});
    int serial = 0;
    for (const std::string& r : rows) {
      std::istringstream w(r);
      std::string label, res, number, x, atom;
      w >> label >> res >> number >> x >> atom;
      if (atom.empty()) atom = res == "HOH" ? "O" : "N";
      const bool polymer = res != "HOH" && res != "LIG";
      text += std::string(polymer ? "ATOM " : "HETATM ") + std::to_string(++serial) + " " + atom +
              " " + res + " " + label + " 1 " + x + " 0 0 " + number + " " + author + "\n";
    }
    return text;
  };
  // Sixty-two ligands, a label each: past XX and X with each other second
  // character, the blank chain's pieces take a third (Xaa, Xab).
  std::vector<std::string> ligands;
  for (int i = 1; i <= 62; ++i)
    ligands.push_back("L" + std::to_string(i) + " LIG " + std::to_string(i) + " " +
                      std::to_string(4 * i));
  std::string ligand_pieces = "XX:1 ";
  for (const char c : std::string_view("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPRSTUVWYZ123456789"))
    ligand_pieces += std::string("X") + c + ":1 ";
  ligand_pieces += "Xaa:1 Xab:1 ";
  const struct {
    const char* label;
    std::string text;
    std::string pipeline;
    std::string orbinate;
    char seg = 'N';  // orbinate's read by segment columns (two-character chains)
  } cases[] = {
      {"label and author ?", file("?", "?"), "AA:2 XX:2 ", "AA:2 XX:2 "},
      {"label and author ''", file("''", "''"), "AA:2 XX:2 ", "AA:2 XX:2 "},
      {"label ?, author .", file("?", "."), "AA:2 XX:2 ", "AA:2 XX:2 "},
      {"label ., author W", file(".", "W"), "AA:2 WW:2 ", "AA:2 WW:2 "},
      {"label W, author .", file("W", "."), "AA:2 XX:2 ", "AA:2 XX:2 "},
      {"author B's waters under labels B and C, each from 77", file("B", "B", "C"),
       "AA:2 BB:2 CC:2 ", "AA:2 BB:2 Ba:2 "},
      {"a chain named XX beside waters that name none", file(".", ".", "", "XX"), "XX:2 Xa:2 ",
       "XX:2 Xa:2 ", 'Y'},
      // Read as where the entity stands in for the label ("?").
      {"a chain and waters of two entities under label and author .", file(".", ".", "", "A", true),
       "AA:2 XX:2 Xa:2 ", "AA:2 XX:2 Xa:2 "},
      {"one label over two chains numbered from 1, author .",
       blank_author(".", {"A ALA 1 0", "A GLY 2 3.8", "A ALA 1 20", "A GLY 2 23.8"}),
       "XX:2 Xa:2 ", "XX:2 Xa:2 "},
      {"a nucleotide at the number of the peptide before it, one label, author .",
       blank_author(".", {"A ALA 1 0", "A ALA 2 3.8", "A DA 2 20", "A DC 3 26"}), "XX:2 Xa:2 ",
       "XX:2 Xa:2 "},
      // The label tells chains apart that the numbers run on through, but
      // parts no chain bond and no run of waters.
      {"a label for each residue, not bonded to the one before, and water, author ''",
       blank_author("''", {"P ALA 1 0", "Q GLY 2 3.8", "W HOH 77 20", "V HOH 78 24"}),
       "XX:1 Xa:1 Xb:2 ", "XX:1 Xa:1 Xb:2 "},
      {"a label for each residue, its N bonded to the C before, and water, author ''",
       blank_author("''", {"P ALA 1 0 C", "Q GLY 2 1.33", "W HOH 77 20", "V HOH 78 24"}),
       "XX:2 Xa:2 ", "XX:2 Xa:2 "},
      {"two strands under two labels, numbered on, apart, author .",
       blank_author(".", {"B ALA 1 0", "B GLY 2 3.8", "C ALA 51 20", "C GLY 52 23.8"}),
       "XX:2 Xa:2 ", "XX:2 Xa:2 "},
      {"two strands under two labels, numbered on, apart, author ?",
       blank_author("?", {"B ALA 1 0", "B GLY 2 3.8", "C ALA 51 20", "C GLY 52 23.8"}),
       "BB:2 CC:2 ", "BB:2 CC:2 "},
      {"sixty-two ligands, a label each, author ''", blank_author("''", ligands), ligand_pieces,
       ligand_pieces},
      {"waters at one number in a row lying apart, a label each, author '', one water chain",
       blank_author("''", {"W HOH 77 0", "V HOH 77 10", "U HOH 77 20"}), "XX:3 ", "XX:3 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("n", c.text);
    ASSERT_EQ(read_out("n"), 0) << out_;
    EXPECT_EQ(chain_summary(), c.pipeline);
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    out_ = captured([&] { coords::read_cif_by_pdb_rules(0, dir_ + "n.cif", c.seg, 'Y', ierr); });
    ASSERT_EQ(ierr, 0) << out_;
    EXPECT_EQ(chain_summary(), c.orbinate) << "by the PDB reader's rules";
  }
}
