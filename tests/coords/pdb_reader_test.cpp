// The PDB reader on small hand-written files: chains and residues from atom
// records, hydrogens, alternate locations, insertion codes, numbering, the
// final status and full tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/atom_com.h"
#include "pdb_fixture.h"

using namespace pdbtest;

namespace {

std::vector<std::string> five_group_file() {
  std::vector<std::string> l = oxt_chain_then("MET", "ALA", "GLY");
  l.push_back(kTer);
  l.push_back(line({.rec = "HETATM", .name = " C1 ", .res = "LIG", .resnum = 301}));
  for (auto [c, n] : {std::pair{'A', 401}, {'A', 402}, {'B', 401}}) l.push_back(water(c, n));
  return l;
}

const Options kQuiet{.mdoc = -999};
const char* kSameNumber = "different residues have the same number\n";

}  // namespace

TEST(PdbReaderChains, FiveGroupsFromProteinsLigandAndWaters) {
  ReadResult r = read_pdb(five_group_file());
  EXPECT_EQ(r.ierr, 0);
  ASSERT_EQ(asym_part.n_group, 5);
  const char* ids[] = {"AA  ", "BB  ", "Aa  ", "Ab  ", "Ba  "};
  for (int g = 1; g <= 5; ++g) {
    EXPECT_EQ(chain_id(g), ids[g - 1]);
    EXPECT_EQ(resid_inf.ires_back(asym_part.ires_first(g)), -1) << g;
  }
  EXPECT_EQ(resid_inf.n_residue, 7);
  EXPECT_EQ(atom_inf.n_atom, 17);
  // Characters 1-2 of every residue key follow the chain identifier.
  EXPECT_EQ(resid_inf.res_num_pdb(6).sub(1, 2), "Ab");
  EXPECT_EQ(asym_part.nres_chain(4), 2);
  EXPECT_EQ(asym_part.ich_type(4), 9);
  EXPECT_EQ(cif_asym_part.n_grp_asm, 0);
  EXPECT_EQ(resid_inf.ires_back(2), 1);
  EXPECT_EQ(resid_inf.ires_forw(1), 2);
  EXPECT_EQ(resid_inf.ires_forw(2), 0);
  EXPECT_NE(r.out.find(" Number of atoms    :      17\n"
                       "  Number of residues :       7\n"
                       "  Number of chains   :       5\n"),
            std::string::npos)
      << r.out;
  r = read_pdb(five_group_file(), kQuiet);
  EXPECT_EQ(r.out.find("Number of atoms"), std::string::npos);
}

TEST(PdbReaderChains, AtomsWithoutSegmentIdentifierTakeTheirChainIdentifier) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 1, "ATOM", ' ', "PROA"));
  l.push_back(kTer);
  append(l, residue("GLY", 'B', 1));
  l.push_back(kTer);
  append(l, residue("SER", 'C', 1));
  const ReadResult r = read_pdb(l, {.seg = 'Y'});
  ASSERT_EQ(asym_part.n_group, 3);
  EXPECT_EQ(asym_part.group_id(1).str(), "PROA");
  EXPECT_EQ(asym_part.group_id(2).str(), "B   ") << "a blank group name would join B and C";
  EXPECT_EQ(asym_part.group_id(3).str(), "C   ");
  EXPECT_EQ(count_of(r.out, " WARNING: atoms without segment identifier take their chain identifier\n"),
            1)
      << r.out;
}

// Simulation programs write their waters as ATOM records under names of
// their own, a four-letter one (TIP3) on into column 21.
TEST(PdbReaderChains, WaterNamesOfSimulationProgramsMakeOneWaterChain) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", ' ', 1));
  const std::string names[] = {"TIP3", "TIP4", "TIP5", "TP3", "T3P", "T4P", "SOL", "SPC", "H2O"};
  int n = 0;
  const auto water_line = [&](const std::string& name) {
    std::string w =
        line({.name = " OH2", .res = name.substr(0, 3), .chain = ' ', .resnum = ++n, .elem = " O"});
    if (name.size() == 4) w[20] = name[3];
    return w;
  };
  for (const std::string& name : names) l.push_back(water_line(name));
  // The name cut to three columns, as ParmEd writes TIP3, is water; another
  // letter after it is not.
  l.push_back(water_line("TIP "));
  l.push_back(water_line("TIP6"));
  const ReadResult r = read_pdb(l);
  ASSERT_EQ(r.ierr, 0) << r.out;
  ASSERT_EQ(asym_part.n_group, 3);
  EXPECT_EQ(asym_part.nres_chain(2), 10);
  EXPECT_EQ(asym_part.ich_type(2), 9);
  for (int k = 2; k <= 11; ++k) EXPECT_EQ(resid_inf.res_name(k).trimmed(), "HOH") << k;
  EXPECT_EQ(resid_inf.res_name(12).trimmed(), "TIP");
}

TEST(PdbReaderChains, HetatmResiduesSplitChains) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 1));
  append(l, residue("MSE", 'A', 2, "HETATM"));
  append(l, residue("GLY", 'A', 3));
  EXPECT_EQ(read_pdb(l).ierr, 0);
  ASSERT_EQ(asym_part.n_group, 3);
  EXPECT_EQ(chain_id(1), "AA  ");
  EXPECT_EQ(chain_id(2), "Aa  ");
  EXPECT_EQ(chain_id(3), "Ab  ");
  // Two ligands in a row are two chains.
  l = {kCryst};
  append(l, residue("ALA", 'A', 1));
  l.push_back(kTer);
  append(l, residue("LIG", 'A', 301, "HETATM"));
  append(l, residue("LIG", 'A', 302, "HETATM"));
  read_pdb(l);
  EXPECT_EQ(asym_part.n_group, 3);
}

// The names force fields give histidine, cysteine, aspartate, glutamate
// and lysine in their states stand inside a chain as the residues they
// name, for both programs: one chain, not one a residue.
TEST(PdbReaderChains, ForceFieldNamesInsideAChainKeepItWhole) {
  for (const char* name :
       {"HID", "HIE", "HIP", "HSD", "HSE", "HSP", "CYX", "CYM", "ASH", "GLH", "LYN"}) {
    for (const int32_t program : {0, 1}) {
      SCOPED_TRACE(std::string(name) + (program == 1 ? " read as the pipeline reads" : ""));
      std::vector<std::string> l = {kCryst};
      append(l, residue("ALA", 'A', 1));
      append(l, residue(name, 'A', 2));
      append(l, residue("GLY", 'A', 3));
      l.push_back(water('A', 101));
      ASSERT_EQ(read_pdb(l, {.program = program}).ierr, 0);
      ASSERT_EQ(asym_part.n_group, 2);
      EXPECT_EQ(asym_part.nres_chain(1), 3);
      EXPECT_EQ(resid_inf.ires_type(2), 3);
      EXPECT_EQ(resid_inf.iconn_type(3), 2);
      EXPECT_EQ(chain_id(2), "Aa  ");
    }
  }
}

// CHARMM's and Amber's nucleotide names written as HETATM, as OpenMM writes
// names it does not know, stand in their strand as the nucleotides they
// name; a ruthenium ion named RU after the strand is no uracil.
TEST(PdbReaderChains, ForceFieldNucleotideNamesAsHetatmKeepTheStrandWhole) {
  for (const int32_t program : {0, 1}) {
    std::vector<std::string> l = {kCryst};
    int n = 0;
    for (const char* res : {"ADE", "ADE", "RU", "RU", "RG3", "RG3", "URA", "URA", "RU"}) {
      const bool ion = ++n == 9, p = n % 2 == 1;
      l.push_back(line({.rec = "HETATM", .serial = n, .name = ion ? "RU  " : p ? " P  " : " O3'",
                        .res = res, .resnum = (n + 1) / 2, .x = 1.65f * (n - 1),
                        .elem = ion ? "RU" : p ? " P" : " O"}));
    }
    ASSERT_EQ(read_pdb(l, {.program = program}).ierr, 0) << program;
    EXPECT_EQ(asym_part.n_group, 2) << program;
    EXPECT_EQ(resid_inf.res_name(5).str(), "RU      ") << program;
  }
}

// The TLS groups keep a residue written as ATOM between two residues of its
// chain in that chain, whatever its name; the pipeline's reading keeps it
// apart, as do a HETATM record, a terminator, an OXT before it, an ATOM
// residue after the chain's last, and a residue at a neighbour's number
// (a residue split by a mistyped name, which is refused).
TEST(PdbReaderChains, AtomResidueBetweenTwoResiduesOfItsChainStaysInIt) {
  struct Case {
    const char* label;
    std::vector<std::string> middle;  // after ALA 1, before GLY 9 (empty: none)
    int32_t program;
    int groups;
    int32_t ierr = 0;
    const char* warning = nullptr;  // the one warning line of two residues at one number
  };
  const auto lig = [](int num, const char* rec = "ATOM") { return residue("XYZ", 'A', num, rec); };
  // A residue at the number of the one after it, apart from it in space.
  std::vector<std::string> before_its_number = lig(2);
  for (const int num : {2, 3})
    for (const char* name : {" N  ", " CA "})
      before_its_number.push_back(
          line({.name = name, .res = "GLY", .resnum = num, .x = 10.0f * num + (name[1] == 'N' ? 0 : 1.2f)}));
  std::vector<std::string> two = lig(2);
  append(two, lig(3));
  std::vector<std::string> after_ter = {kTer};
  append(after_ter, lig(2));
  std::vector<std::string> after_oxt = {line({.name = " OXT", .elem = " O"})};
  append(after_oxt, lig(2));
  const Case cases[] = {
      {"one residue of another name", lig(2), 0, 1},
      {"two such residues in a row", two, 0, 1},
      {"the same read as the pipeline reads", lig(2), 1, 3},
      {"written as HETATM", lig(2, "HETATM"), 0, 3},
      {"after a terminator", after_ter, 0, 3},
      {"after the chain's OXT", after_oxt, 0, 3},
      {"at the number of the residue before", lig(1), 0, 3, 6},
      {"at the number of the residue after", before_its_number, 0, 3, 0,
       " WARNING: residues XYZ and GLY of chain A share number 2: read as two residues\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> l = {kCryst};
    append(l, residue("ALA", 'A', 1));
    append(l, c.middle);
    append(l, residue("GLY", 'A', 9));
    const ReadResult r = read_pdb(l, {.mdoc = -999, .program = c.program});
    EXPECT_EQ(r.ierr, c.ierr) << r.out;
    EXPECT_EQ(count_of(r.out, "read as two residues"), c.warning != nullptr ? 1 : 0) << r.out;
    if (c.warning != nullptr) {
      EXPECT_EQ(count_of(r.out, c.warning), 1) << r.out;
    }
    EXPECT_EQ(asym_part.n_group, c.groups);
    if (c.groups == 1) {
      EXPECT_EQ(chain_id(1), "AA  ");
      EXPECT_EQ(resid_inf.ires_back(resid_inf.n_residue), resid_inf.n_residue - 1);
    }
  }
  // After the chain's last residue, not followed by one of the chain: a
  // chain of its own, as an ion a simulation program writes as ATOM.
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 1));
  append(l, residue("GLY", 'A', 2));
  append(l, lig(3));
  l.push_back(water('A', 101));
  read_pdb(l);
  ASSERT_EQ(asym_part.n_group, 3);
  EXPECT_EQ(chain_id(2), "Aa  ");
  EXPECT_EQ(asym_part.nres_chain(2), 1);
}

TEST(PdbReaderChains, PeptideAfterAnOxtStartsANewChain) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 1));
  l.push_back(line({.name = " OXT", .elem = " O"}));
  append(l, residue("GLY", 'A', 2));
  read_pdb(l);
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(asym_part.iterm_f_type(1), 2);
  EXPECT_EQ(asym_part.iterm_s_type(1), 2);
  EXPECT_EQ(resid_inf.ires_back(2), -1);
}

// A TER record parts a blank chain whatever atom comes first after it:
// Amber writes a capped peptide from the cap's methyl hydrogen, which the
// reader may leave out.  An atom left out inside a chain parts nothing.
TEST(PdbReaderChains, TerPartsAChainBeforeAHydrogen) {
  const auto h1 = [](int num) {
    return line({.name = " H1 ", .res = "GLY", .chain = ' ', .resnum = num, .elem = " H"});
  };
  // GLY `first`, GLY `first` + 1 of the blank chain, `lead` before its N.
  const auto piece = [&](int first, const std::string& lead) {
    std::vector<std::string> l;
    if (!lead.empty()) l.push_back(lead);
    append(l, residue("GLY", ' ', first));
    append(l, residue("GLY", ' ', first + 1));
    return l;
  };
  // The second piece lies 20 A along x from the first: two pieces on one
  // another would be one residue given twice.
  const auto moved = [](std::vector<std::string> l) {
    for (std::string& a : l) {
      char x[9];
      std::snprintf(x, sizeof x, "%8.3f", std::stof(a.substr(30, 8)) + 20.0f);
      a.replace(30, 8, x);
    }
    return l;
  };
  const auto file = [&](const std::string& lead1, int first2, const std::string& lead2,
                        bool ter = true) {
    std::vector<std::string> l = {kCryst};
    append(l, piece(1, lead1));
    if (ter) l.push_back(kTer);
    append(l, moved(piece(first2, lead2)));
    return l;
  };
  const std::string site = line({.rec = "HETATM", .name = " EP ", .res = "HOH", .chain = ' ', .elem = ""});
  const struct {
    const char* label;
    std::vector<std::string> lines;
    char hremove;
    int chains;
  } cases[] = {
      {"a hydrogen left out first, each piece from 1", file("", 1, h1(1)), 'Y', 2},
      {"a hydrogen left out first, numbered on", file("", 3, h1(3)), 'Y', 2},
      {"a hydrogen kept first", file("", 1, h1(1)), 'N', 2},
      {"both pieces begin with a hydrogen left out", file(h1(1), 1, h1(1)), 'Y', 2},
      {"a water model's site first", file("", 3, site), 'Y', 2},
      {"a hydrogen left out inside the chain", file("", 3, h1(3), false), 'Y', 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const ReadResult r = read_pdb(c.lines, {.hremove = c.hremove});
    EXPECT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(asym_part.n_group, c.chains) << r.out;
    EXPECT_EQ(resid_inf.n_residue, 4);
    EXPECT_EQ(asym_part.nres_chain(1), 6 - 2 * c.chains);
  }
}

TEST(PdbReaderResidues, InsertionCodesAndGapsInTheNumbering) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 10));
  append(l, residue("GLY", 'A', 10, "ATOM", 'A'));
  append(l, residue("SER", 'A', 11));
  EXPECT_EQ(read_pdb(l).ierr, 0);
  ASSERT_EQ(resid_inf.n_residue, 3);
  for (int r = 1; r <= 3; ++r) EXPECT_EQ(resid_inf.ires_serial(r), 9 + r);
  EXPECT_EQ(com_out_cif.out_cif_ins, 0);
  EXPECT_EQ(asym_part.n_group, 1);
  // A gap in the numbering marks the connection.
  l = {kCryst};
  append(l, residue("ALA", 'A', 5));
  append(l, residue("GLY", 'A', 8));
  append(l, residue("PRO", 'A', 9));
  read_pdb(l);
  EXPECT_EQ(resid_inf.iconn_type(1), 1);
  EXPECT_EQ(resid_inf.iconn_type(2), 10);
  EXPECT_EQ(resid_inf.iconn_type(3), 36);
  EXPECT_EQ(resid_inf.ires_serial(2), 8);
  EXPECT_EQ(com_out_cif.out_cif_ins, 1);
}

// A chain cap has no connection rule of the reader: its code stays unset,
// whatever the residue of an earlier model in the same slot had.
TEST(PdbReaderResidues, ChainCapTakesNoConnectionAnEarlierModelLeft) {
  std::vector<std::string> l = {kCryst};
  for (int i = 1; i <= 3; ++i) append(l, residue("ALA", 'A', i));
  ASSERT_EQ(read_pdb(l).ierr, 0);
  ASSERT_EQ(resid_inf.iconn_type(3), 2);
  l.resize(1 + 2 * 4);
  append(l, residue("NME", 'A', 3));
  ASSERT_EQ(read_pdb(l).ierr, 0);
  ASSERT_EQ(asym_part.n_group, 1);
  EXPECT_EQ(resid_inf.iconn_type(2), 2);
  EXPECT_EQ(resid_inf.iconn_type(3), 0);
}

TEST(PdbReaderResidues, DuplicateResidueNumberGivesStatusSix) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 10));
  append(l, residue("GLY", 'A', 10));
  ReadResult r = read_pdb(l);
  EXPECT_EQ(r.ierr, 6);
  EXPECT_NE(r.out.find(std::string(" ERROR: in chain A residue:  10, given 2 times\n        ") + kSameNumber), std::string::npos)
      << r.out;
  // Each number is named once, with all the residues that hold it, even
  // under the silent code.
  append(l, residue("SER", 'A', 10));
  r = read_pdb(l, kQuiet);
  EXPECT_EQ(r.ierr, 6);
  EXPECT_EQ(count_of(r.out, kSameNumber), 1);
  EXPECT_EQ(count_of(r.out, " ERROR: in chain A residue:  10, given 3 times\n"), 1) << r.out;
}

// One number of a chain held by two residues that follow one another in
// the file but stand in different chains of the model: a residue split by
// a line whose residue name is mistyped or damaged, and two residue names
// at one number whose alternate codes a writer dropped.  Conformers that
// keep their codes, an insertion code and a ligand numbered in a range of
// its own are read as before.
TEST(PdbReaderResidues, NumberHeldByResiduesOfTwoChainsGivesStatusSix) {
  const auto atom = [](const char* name, const char* res, char alt = ' ', const char* rec = "ATOM",
                       char ins = ' ', int num = 91) {
    return line({.rec = rec, .name = name, .alt = alt, .res = res, .resnum = num, .ins = ins});
  };
  const auto split_by = [&](const char* res) {
    return std::vector<std::string>{atom(" N  ", "SER"), atom(" CA ", "SER"), atom(" O  ", res),
                                    atom(" CB ", "SER"), atom(" OG ", "SER")};
  };
  const auto two_names = [&](char alt_a, char alt_b, char ins) {
    return std::vector<std::string>{atom(" N  ", "CYS", alt_a), atom(" CA ", "CYS", alt_a),
                                    atom(" N  ", "SMC", alt_b, "HETATM", ins),
                                    atom(" CA ", "SMC", alt_b, "HETATM", ins)};
  };
  const struct {
    const char* label;
    std::vector<std::string> lines;
    int32_t ierr;
    const char* times = "";  // the residues at 91, as the error line counts them
  } cases[] = {
      {"a mistyped name", split_by("SEX"), 6, "3"},
      {"a byte that is no character", split_by("S\x01R"), 6, "3"},
      {"two names without alternate codes", two_names(' ', ' ', ' '), 6, "2"},
      {"two names with alternate codes", two_names('A', 'B', ' '), 0},
      {"an insertion code", two_names(' ', ' ', 'A'), 0},
      // NAG 90 follows GLY 91; ALA 90 stands in another chain of the model.
      {"a ligand numbered in a range of its own",
       {atom(" N  ", "GLY"), atom(" C1 ", "NAG", ' ', "HETATM", ' ', 90)},
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> l = {kCryst, atom(" N  ", "ALA", ' ', "ATOM", ' ', 90)};
    append(l, c.lines);
    append(l, residue("GLY", 'A', 92));
    const ReadResult r = read_pdb(l);
    EXPECT_EQ(r.ierr, c.ierr) << r.out;
    EXPECT_EQ(count_of(r.out, kSameNumber), c.ierr == 6 ? 1 : 0) << r.out;
    if (c.ierr == 6) {
      EXPECT_NE(r.out.find(" ERROR: in chain A residue:  91, given " + std::string(c.times) +
                           " times\n        " + kSameNumber),
                std::string::npos)
          << r.out;
    }
  }
}

TEST(PdbReaderResidues, InsertionCodeKeepsNumbersApartInALongWaterChain) {
  std::vector<std::string> l = {kCryst};
  for (int i = 1; i <= 5000; ++i) l.push_back(water('A', i));
  l.push_back(line({.rec = "HETATM", .name = " O  ", .res = "HOH", .resnum = 10, .ins = 'A', .elem = " O"}));
  ReadResult r = read_pdb(l, kQuiet);
  EXPECT_EQ(r.ierr, 0);
  ASSERT_EQ(asym_part.n_group, 1);
  EXPECT_EQ(asym_part.nres_chain(1), 5001);
  // The same number again, without insertion code, at the far end.
  l.push_back(water('A', 17));
  r = read_pdb(l, kQuiet);
  EXPECT_EQ(r.ierr, 6);
  EXPECT_TRUE(ends_with(r.out, std::string(" ERROR: in chain A residue:  17, given 2 times\n        ") + kSameNumber)) << r.out;
  EXPECT_EQ(count_of(r.out, "different"), 1);
}

TEST(PdbReaderResidues, JoinedWaterPiecesWithOneNumberGiveStatusSix) {
  const std::string w =
      line({.rec = "HETATM", .name = " O  ", .res = "HOH", .resnum = 10, .seg = "WAT", .elem = " O"});
  const ReadResult r = read_pdb({kCryst, w, kTer, w}, {.mdoc = -999, .seg = 'Y'});
  ASSERT_EQ(asym_part.n_group, 1);
  EXPECT_EQ(asym_part.nres_chain(1), 2);
  EXPECT_EQ(r.ierr, 6);
  EXPECT_TRUE(ends_with(r.out, std::string(" ERROR: in chain WAT  residue:  10, given 2 times\n        ") + kSameNumber)) << r.out;
}

TEST(PdbReaderAtoms, HydrogensAreDroppedButDeuteriumStays) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 1));
  l.push_back(line({.name = " H  ", .elem = " H"}));
  l.push_back("ANISOU    9  H   ALA A   1     1234   2345   3456    100    200    300       H");
  l.push_back(line({.name = " D  ", .elem = " D"}));
  read_pdb(l);
  ASSERT_EQ(atom_inf.n_atom, 5);
  EXPECT_EQ(atom_inf.atm_name(5), std::string_view("H"));
  EXPECT_EQ(atom_inf.n_aniso, 0);
}

TEST(PdbReaderAtoms, AlternateLocationsAreKeptPerAtom) {
  read_pdb({kCryst, line({.name = " CB ", .alt = 'A', .occ = 0.5f}), line({.name = " CB ", .alt = 'B', .occ = 0.5f}),
            line({})});
  ASSERT_EQ(atom_inf.n_atom, 3);
  EXPECT_EQ(resid_inf.n_residue, 1);
  EXPECT_EQ(atom_inf.id_alt(1), std::string_view("A"));
  EXPECT_EQ(atom_inf.id_alt(2), std::string_view("B"));
  EXPECT_EQ(atom_inf.id_alt(3), std::string_view("."));
  EXPECT_FLOAT_EQ(atom_crd.occup(1), 0.5f);
}

namespace {
const char* kAnisou = "ANISOU    1  CA  ALA A   1     1234   2345   3456    100    200    300       C";
}

TEST(PdbReaderAtoms, AnisotropicRecordFillsTheAtom) {
  read_pdb({kCryst, line({}), kAnisou,
            "SIGUIJ    1  CA  ALA A   1       10     10     10     10     10     10       C", line({.name = " CB "})});
  ASSERT_EQ(atom_inf.n_atom, 2);
  EXPECT_EQ(atom_inf.n_aniso, 1);
  EXPECT_EQ(atom_inf.b_flag(1), 1);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 1), 0.1234f);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(6, 1), 0.03f);
  EXPECT_EQ(atom_inf.b_flag(2), 0);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 2), 20.0f / (8.0f * 3.14159265f * 3.14159265f));
}

// An ANISOU field that holds no number stops the read, as an atom
// record's does: taken as 0 it would replace the atom's B.  Blank fields
// read as 0.
TEST(PdbReaderAtoms, AnisouFieldThatIsNoNumberStopsTheRead) {
  const struct {
    const char* label;
    int column;  // 1-based, of a field of 7
    const char* field;
    const char* error;  // "" when read
  } cases[] = {
      {"U11 of letters", 29, "    abc", " U11 \"abc\""},
      {"U23 with an exponent", 64, "   1e38", " U23 \"1e38\""},
      {"U12 with a point", 50, "  100.5", " U12 \"100.5\""},
      {"U33 blank", 43, "       ", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::string anisou = kAnisou;
    anisou.replace(static_cast<std::size_t>(c.column - 1), 7, c.field);
    const ReadResult r = read_pdb({kCryst, line({}), anisou, line({.name = " CB "})});
    if (*c.error != '\0') {
      EXPECT_EQ(r.ierr, 1);
      EXPECT_NE(r.out.find("  ERROR: wrong number in PDB ANISOU record, line 3:" +
                           std::string(c.error) + "\n " + anisou + "\n"),
                std::string::npos)
          << r.out;
      EXPECT_EQ(atom_inf.n_atom, 0);
    } else {
      EXPECT_EQ(r.ierr, 0) << r.out;
      ASSERT_EQ(atom_inf.n_atom, 2);
      EXPECT_EQ(atom_inf.n_aniso, 1);
      EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 1), 0.1234f);
      EXPECT_FLOAT_EQ(atom_crd.u_aniso(3, 1), 0.0f);
    }
  }
}

// An ANISOU record that names another atom than the atom record before it
// (serial, name, alternate code, residue, chain, number, insertion code) is
// passed over with a warning: the atom keeps its B.
TEST(PdbReaderAtoms, AnisouNamingAnotherAtomIsPassedOver) {
  const struct {
    const char* label;
    int column;  // 1-based
    const char* text;
    bool taken;
  } cases[] = {
      {"another serial", 7, "    2", false}, {"another name", 13, " CB ", false},
      {"an alternate code", 17, "A", false}, {"another residue", 18, "GLY", false},
      {"another chain", 22, "Q", false},     {"another number", 23, " 999", false},
      {"an insertion code", 27, "B", false}, {"the same atom", 7, "    1", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::string anisou = kAnisou;
    anisou.replace(static_cast<std::size_t>(c.column - 1), std::strlen(c.text), c.text);
    const ReadResult r = read_pdb({kCryst, line({}), anisou, line({.name = " CB "})});
    EXPECT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(atom_inf.n_atom, 2);
    EXPECT_EQ(atom_inf.n_aniso, c.taken ? 1 : 0);
    EXPECT_EQ(atom_inf.b_flag(1), c.taken ? 1 : 0);
    EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 1),
                    c.taken ? 0.1234f : 20.0f / (8.0f * 3.14159265f * 3.14159265f));
    const std::string warning =
        "  WARNING: ANISOU record, line 3, names another atom than the atom record before it; "
        "passed over:\n " +
        anisou + "\n";
    EXPECT_EQ(count_of(r.out, warning), c.taken ? 0 : 1) << r.out;
  }
}

// Six zeros are no anisotropic displacement but what writers put for an
// atom without one: the atom keeps the B of its atom record, and one line,
// which the TLS group driver's silenced read shows too, counts the records.
TEST(PdbReaderAtoms, AnisouOfSixZerosLeavesTheAtomIsotropic) {
  constexpr float kEightPi2 = 8.0f * 3.14159265f * 3.14159265f;
  const std::string zeros = "      0      0      0      0      0      0";
  const char* one = "  WARNING: 1 ANISOU record of six zeros passed over: its atom stays isotropic\n";
  const struct {
    const char* label;
    std::string u;  // columns 29-70
    bool second;    // the second atom has a record of six zeros too
    float u11;      // of the first atom
    const char* line;  // the count line, "" for none
  } cases[] = {
      {"six zeros", zeros, false, 20.0f / kEightPi2, one},
      {"six blank fields", std::string(42, ' '), false, 20.0f / kEightPi2, one},
      {"two atoms of six zeros", zeros, true, 20.0f / kEightPi2,
       "  WARNING: 2 ANISOU records of six zeros passed over: their atoms stay isotropic\n"},
      {"U23 alone not zero", zeros.substr(0, 35) + "      1", false, 0.0f, ""},
      {"U11 alone not zero", "      1" + zeros.substr(7), false, 1e-4f, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::string anisou = kAnisou;
    anisou.replace(28, 42, c.u);
    std::vector<std::string> l = {kCryst, line({}), anisou,
                                  line({.serial = 2, .name = " CB ", .b = 70.68f})};
    if (c.second) l.push_back(std::string(anisou).replace(6, 5, "    2").replace(12, 4, " CB "));
    const ReadResult r = read_pdb(l, {.mdoc = -999});
    EXPECT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(atom_inf.n_atom, 2);
    const bool taken = *c.line == '\0';
    EXPECT_EQ(atom_inf.n_aniso, taken ? 1 : 0);
    EXPECT_EQ(atom_inf.b_flag(1), taken ? 1 : 0);
    EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 1), c.u11);
    EXPECT_EQ(atom_inf.b_flag(2), 0);
    EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 2), 70.68f / kEightPi2);
    if (!taken)
      EXPECT_EQ(count_of(r.out, c.line), 1) << r.out;
    else
      EXPECT_EQ(r.out.find("of six zeros"), std::string::npos) << r.out;
  }
}

TEST(PdbReaderAtoms, AnisouAfterOtherRecordsStoresNoAtomTwice) {
  read_pdb({kCryst, line({}), kTer, kAnisou});
  EXPECT_EQ(atom_inf.n_atom, 1);
  read_pdb({kCryst, line({}), "USER  remark about the atom", kAnisou, line({.name = " CB "}), "USER  another remark",
            line({.name = " N  "})});
  ASSERT_EQ(atom_inf.n_atom, 3);
  EXPECT_EQ(atom_inf.n_aniso, 1);
  EXPECT_EQ(atom_inf.atm_name(2), std::string_view("CB"));
}

TEST(PdbReaderAtoms, OccupancyAboveOneIsCappedWithOneWarning) {
  const ReadResult r = read_pdb({kCryst, line({.occ = 1.5f}), line({.name = " CB ", .occ = 1.5f})}, kQuiet);
  EXPECT_FLOAT_EQ(atom_crd.occup(1), 1.0f);
  EXPECT_FLOAT_EQ(atom_crd.occup(2), 1.0f);
  EXPECT_EQ(r.out, "\n Spacegroup information obtained from library file: \n Logical Name: SYMINFO   Filename: " ORB_DATA_DIR
                   "/syminfo.lib\n\n  WARNING: \"SCALE\" card is absent in input PDB file\n"
                   "  WARNING: occupancy > 1.0\n           program set occupancy = 1.0\n");
}

TEST(PdbReaderAtoms, ElementAndChargeColumnsAreCleaned) {
  // Element, charge as written, and the scattering type stored.
  const struct {
    const char *name, *res1, *elem1, *charge1, *want1, *elem2, *charge2, *want2;
  } cases[] = {{"charges 2+ and +0", "FE2", "FE", "2+", "FE+2", "ZN", "+0", "ZN"},
               {"charges 0+ and 2-", "CU", "CU", "0+", "CU", "MN", "2-", "MN-2"},
               // As writers that print the charge as an integer give it.
               {"charges 2 and 0 without a sign", "MG", "MG", " 2", "MG+2", "NA", " 0", "NA"},
               {"a charge 0 in column 79", "CA", "CA", "0", "CA", "K", "0", "K"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto ion = [](const char* r, const char* e, const char* q, int n) {
      return line({.rec = "HETATM", .name = std::string(e) + "  ", .res = r, .resnum = n, .elem = e, .charge = q});
    };
    read_pdb({kCryst, ion(c.res1, c.elem1, c.charge1, 1), ion(c.elem2, c.elem2, c.charge2, 2)});
    ASSERT_EQ(crst_crd.cs_nsfatm, 2);
    EXPECT_EQ(crst_crd.cs_element(1), std::string_view(c.want1));
    EXPECT_EQ(crst_crd.cs_atype(1), std::string_view(c.elem1));
    EXPECT_EQ(crst_crd.cs_element(2), std::string_view(c.want2));
    EXPECT_EQ(atom_inf.id_sf(2), 2);
  }
}

// Where a line has no element columns (cut at column 66, as many programs
// write it), the element comes from the name as written in columns 13-16:
// a hydrogen name filling the four columns is a hydrogen, a name from
// column 13 whose first two letters are no element takes its first, and
// element names from column 13, names from column 14, names with a digit
// first and waters read as before.  Given columns decide whatever the name.
TEST(PdbReaderAtoms, ElementsFromNamesWhereTheElementColumnsAreBlank) {
  const struct {
    const char *label, *name, *res, *rec, *elem, *want;
  } cases[] = {
      {"methyl hydrogen of AIB", "HB11", "AIB", "HETATM", nullptr, "H"},
      {"last methyl hydrogen of AIB", "HB23", "AIB", "HETATM", nullptr, "H"},
      {"sugar hydrogen with two quotes", "H5''", "ADP", "HETATM", nullptr, "H"},
      {"alpha phosphate oxygen 1", "O1PA", "ADP", "HETATM", nullptr, "O"},
      {"alpha phosphate oxygen 2", "O2PA", "ADP", "HETATM", nullptr, "O"},
      {"beta phosphate oxygen", "O1PB", "ADP", "HETATM", nullptr, "O"},
      {"hydroxyl hydrogen spelling holmium", "HO2'", "ADP", "HETATM", nullptr, "H"},
      {"valine hydrogen spelling mercury", "HG21", "VAL", "ATOM", nullptr, "H"},
      {"carbon from column 13", "CB1 ", "LIG", "HETATM", nullptr, "C"},
      {"iron of a haem", "FE  ", "HEM", "HETATM", nullptr, "FE"},
      {"zinc ion", "ZN  ", "ZN", "HETATM", nullptr, "ZN"},
      {"chlorine of a ligand", "CL1 ", "LIG", "HETATM", nullptr, "CL"},
      {"calcium ion", "CA  ", "CA", "HETATM", nullptr, "CA"},
      {"alpha carbon", " CA ", "ALA", "ATOM", nullptr, "C"},
      {"hydrogen name with a digit first", "1HB2", "ALA", "ATOM", nullptr, "H"},
      {"water oxygen under another name", "OW  ", "WAT", "HETATM", nullptr, "O"},
      {"deuterium of heavy water", " D1 ", "DOD", "HETATM", nullptr, "H"},
      {"deuterium of heavy water from column 13", "D1  ", "DOD", "HETATM", nullptr, "H"},
      {"water oxygen OH2", "OH2 ", "HOH", "HETATM", nullptr, "O"},
      {"dummy atom", "DUM ", "DUM", "HETATM", nullptr, "O"},
      {"three characters spelling helium", "HE1 ", "LIG", "HETATM", nullptr, "HE"},
      {"three characters spelling mercury", "HG1 ", "LIG", "HETATM", nullptr, "HG"},
      {"deuterium of a ligand", "D11 ", "LIG", "HETATM", nullptr, "H"},
      {"deuterium spelling no element", "DA1 ", "LIG", "HETATM", nullptr, "H"},
      {"given column: mercury", "HG1A", "EMC", "HETATM", "HG", "HG"},
      {"given column: hydrogen", "HB11", "AIB", "HETATM", " H", "H"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::string l = line({.rec = c.rec, .name = c.name, .res = c.res, .elem = c.elem ? c.elem : ""});
    if (!c.elem) l.resize(66);
    read_pdb({kCryst, l}, {.hremove = 'N'});
    ASSERT_EQ(atom_inf.n_atom, 1);
    EXPECT_EQ(std::string(crst_crd.cs_atype(atom_inf.id_sf(1)).trimmed()), c.want);
  }
}

namespace {

// An atom line without element columns, its name as written in columns
// 13-16.
std::string bare_line(const char* rec, int serial, const char* name, const char* res, int resnum) {
  std::string l = line({.rec = rec, .serial = serial, .name = name, .res = res, .resnum = resnum});
  l.resize(66);
  return l;
}

}  // namespace

// A file that writes N, C and O from column 13 writes every name
// left-justified: CA is then an alpha carbon, HE1 and HG hydrogens, NH1 a
// nitrogen (not a hydrogen name with a prefix), and two letters stand for
// ions named by their residue and for metal sites.  The first atom line,
// before any N, reads so as well.
TEST(PdbReaderAtoms, NamesOfAFileWritingNCOFromColumn13ReadLeftJustified) {
  const struct {
    const char *label, *rec, *name, *res, *stored, *want;
  } atoms[] = {
      {"ligand hydrogen before the first N", "HETATM", "HE1 ", "LIG", "HE1", "H"},
      {"amide nitrogen", "ATOM", "N   ", "CYX", "N", "N"},
      {"alpha carbon of a cystine", "ATOM", "CA  ", "CYX", "CA", "C"},
      {"serine hydrogen", "ATOM", "HG  ", "SER", "HG", "H"},
      {"tryptophan nitrogen", "ATOM", "NE1 ", "TRP", "NE1", "N"},
      {"arginine nitrogen", "ATOM", "NH1 ", "ARG", "NH1", "N"},
      {"arginine hydrogen of four characters", "ATOM", "HH11", "ARG", "H11H", "H"},
      {"methionine carbon", "HETATM", "CE  ", "MSE", "CE", "C"},
      {"selenium", "HETATM", "SE  ", "MSE", "SE", "SE"},
      {"haem iron", "HETATM", "FE  ", "HEM", "FE", "FE"},
      {"haem nitrogen", "HETATM", "NA  ", "HEM", "NA", "N"},
      {"zinc ion", "HETATM", "ZN  ", "ZN", "ZN", "ZN"},
      {"calcium ion", "HETATM", "CA  ", "CA", "CA", "CA"},
      {"ligand chlorine", "HETATM", "CL1 ", "LIG", "CL1", "CL"},
      {"water oxygen", "HETATM", "O   ", "HOH", "O", "O"},
      {"water hydrogen", "HETATM", "H1  ", "HOH", "H1", "H"},
  };
  std::vector<std::string> lines = {kCryst};
  int n = 0;
  for (const auto& a : atoms) ++n, lines.push_back(bare_line(a.rec, n, a.name, a.res, n));
  const ReadResult r = read_pdb(lines, {.hremove = 'N'});
  ASSERT_EQ(atom_inf.n_atom, n) << r.out;
  for (int i = 1; i <= n; ++i) {
    SCOPED_TRACE(atoms[i - 1].label);
    EXPECT_EQ(atom_inf.atm_name(i).trimmed(), atoms[i - 1].stored);
    EXPECT_EQ(crst_crd.cs_atype(atom_inf.id_sf(i)).trimmed(), atoms[i - 1].want);
  }
}

// The first atom line named N, C or O alone decides; a name standing from
// column 14 before it keeps the PDB layout, in which a name from column 13
// spells an element of two letters, as does a file without N, C or O.
TEST(PdbReaderAtoms, FileKeepsThePdbLayoutWhereItsNamesStandFromColumn14) {
  const struct {
    const char *label, *first, *first_res, *second, *want;
  } cases[] = {
      {"N in column 14", " N  ", "ALA", "HE1 ", "HE"},
      {"O in column 14", " O  ", "HOH", "HG1 ", "HG"},
      {"another name in column 14 before an N in column 13", " CB ", "ALA", "N   ", "HE"},
      {"no N, C or O", "C1  ", "LIG", "HE1 ", "HE"},
      {"C alone in column 13", "C   ", "ALA", "HE1 ", "H"},
      {"O alone in column 13", "O   ", "HOH", "HG1 ", "H"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> lines = {kCryst, bare_line("HETATM", 1, c.first, c.first_res, 1),
                                      bare_line("HETATM", 2, c.second, "LIG", 2)};
    if (std::string_view(c.second) == "N   ")
      lines.push_back(bare_line("HETATM", 3, "HE1 ", "LIG", 2));
    const ReadResult r = read_pdb(lines, {.hremove = 'N'});
    ASSERT_EQ(atom_inf.n_atom, static_cast<int>(lines.size()) - 1) << r.out;
    EXPECT_EQ(crst_crd.cs_atype(atom_inf.id_sf(atom_inf.n_atom)).trimmed(), c.want);
  }
}

// An N alone in column 13 tells the layout as C and O do: a ligand of N,
// CA and CB without element columns, with no lone C or O in the file, has
// an alpha carbon CA (in the PDB layout, calcium) beside its N and CB.
TEST(PdbReaderAtoms, LoneNFromColumn13TellsTheLayoutWithoutCOrO) {
  const std::vector<std::string> lines = {kCryst, bare_line("HETATM", 1, "N   ", "LIG", 1),
                                          bare_line("HETATM", 2, "CA  ", "LIG", 1),
                                          bare_line("HETATM", 3, "CB  ", "LIG", 1)};
  const ReadResult r = read_pdb(lines, {.hremove = 'N'});
  ASSERT_EQ(atom_inf.n_atom, 3) << r.out;
  const char* want[] = {"N", "C", "C"};
  for (int i = 1; i <= 3; ++i) {
    SCOPED_TRACE(lines[static_cast<std::size_t>(i)]);
    EXPECT_EQ(crst_crd.cs_atype(atom_inf.id_sf(i)).trimmed(), want[i - 1]);
  }
  EXPECT_EQ(atom_inf.atm_name(2).trimmed(), "CA");
}

TEST(PdbReaderAtoms, NamesAsReadAndNormalisedWithHydrogensKept) {
  read_pdb({kCryst, line({}), line({.name = "1HB ", .elem = " H"})}, {.hremove = 'N'});
  ASSERT_EQ(atom_inf.n_atom, 2);
  EXPECT_EQ(atom_inf.atm_name_inp(1), std::string_view("CA__"));
  EXPECT_EQ(atom_inf.atm_name(1), std::string_view("CA"));
  EXPECT_EQ(atom_inf.atm_name(2), std::string_view("HB1"));
}

TEST(PdbReaderAtoms, FivePrimePhosphateOxygenIsO3TInEitherSpelling) {
  // The third oxygen of a 5' phosphate, in the current spelling (OP3) as in
  // the older one (O3P), is stored as O3T and types the chain start as a
  // 5' phosphate; the other phosphate oxygens and a peptide's atom of the
  // same name keep their names.
  const struct {
    const char* label;
    const char* res;
    const char* name;
    const char* other;  // a second phosphate oxygen, kept as read
    const char* stored;
    bool phosphate_start;
  } cases[] = {
      {"DNA, current spelling", " DG", " OP3", " OP1", "O3T", true},
      {"DNA, older spelling", " DG", " O3P", " O1P", "O3T", true},
      {"RNA, current spelling", "  U", " OP3", " OP2", "O3T", true},
      {"peptide", "ALA", " OP3", " OP1", "OP3", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const ReadResult r = read_pdb({kCryst, line({.name = " P  ", .res = c.res, .elem = " P"}),
                                   line({.serial = 2, .name = c.other, .res = c.res, .elem = " O"}),
                                   line({.serial = 3, .name = c.name, .res = c.res, .elem = " O"}),
                                   line({.serial = 4, .name = " C1'", .res = c.res})});
    ASSERT_EQ(atom_inf.n_atom, 4) << r.out;
    EXPECT_EQ(atom_inf.atm_name(2).trimmed(), rt::trim_right(std::string_view(c.other).substr(1)));
    EXPECT_EQ(atom_inf.atm_name(3).trimmed(), c.stored);
    EXPECT_EQ(asym_part.iterm_s_type(1) == 4, c.phosphate_start) << asym_part.iterm_s_type(1);
    const std::string note =
        std::string(" WARNING : for DNA/RNA atom \"") + (c.name + 1) + " \" --> \"O3T \" (default)";
    EXPECT_EQ(count_of(r.out, note), c.phosphate_start ? 1 : 0) << r.out;
  }
}

TEST(PdbReaderAtoms, NonNumericFieldStopsTheRead) {
  std::string bad = line({});
  bad.replace(30, 8, "  1.x00 ");
  const ReadResult r = read_pdb({kCryst, bad});
  EXPECT_EQ(r.ierr, 1);
  EXPECT_NE(r.out.find("  ERROR: wrong number in PDB atom record:\n"), std::string::npos);
  EXPECT_EQ(atom_inf.n_atom, 0);
  bad = line({});
  bad.replace(22, 4, "1A2 ");
  EXPECT_EQ(read_pdb({kCryst, bad}).ierr, 1);
}

TEST(PdbReaderStatus, NoCrystGivesNineOrSevenWithASpaceGroup) {
  ReadResult r = read_pdb(residue("ALA", 'A', 1), kQuiet);
  EXPECT_EQ(r.ierr, 9);
  EXPECT_EQ(r.out,
            "  WARNING: \"CRYST1\" card is absent in input PDB file\n"
            "           Default: 100,100,100,90,90,90\n"
            "  WARNING: \"SCALE\" card is absent in input PDB file\n");
  EXPECT_EQ(atom_inf.n_atom, 4);
  EXPECT_FLOAT_EQ(crst_crd.cs_cell(1), 100.0f);
  r = read_pdb(residue("ALA", 'A', 1), {.mdoc = -999, .nospgr = 19});
  EXPECT_EQ(r.ierr, 7);
  EXPECT_EQ(crst_crd.cs_nspgr, 19);
  EXPECT_EQ(crst_crd.cs_nsym, 4);
}

// A header is no model: a file without an atom record is refused as one of
// neither form is, never read as an empty model with the status of success.
TEST(PdbReaderStatus, FileWithoutAtomRecordsGivesTwo) {
  const struct {
    const char* label;
    std::vector<std::string> lines;
    const char* message;
  } rows[] = {
      {"empty", {}, " ERROR: input file is empty\n"},
      {"CRYST1 and END", {kCryst, "END"},
       " ERROR: input file holds no atoms (no ATOM or HETATM record, no atom list)\n"},
  };
  for (const auto& row : rows) {
    const ReadResult r = read_pdb(row.lines);
    EXPECT_EQ(r.ierr, 2) << row.label;
    EXPECT_EQ(asym_part.n_group, 0) << row.label;
    EXPECT_NE(r.out.find(row.message), std::string::npos) << row.label << r.out;
    EXPECT_EQ(r.out.find("SET_MOD"), std::string::npos) << row.label << r.out;
  }
}

// The file's cell is 50 60 70 90 90 90.  A user cell whose every parameter is
// within 10% of it moves the atoms with the cell (status 0); any other is
// taken without moving them (status 10).
TEST(PdbReaderStatus, UserCellIsAcceptedWithinTenPercentEachWay) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 10));
  const struct {
    const char* name;
    float cell[6];
    int32_t ierr;
  } cases[] = {
      {"a 1.1 times", {55, 60, 70, 90, 90, 90}, 0},
      {"a 1.12 times", {56, 60, 70, 90, 90, 90}, 10},
      {"a 0.9 times", {45, 60, 70, 90, 90, 90}, 0},
      {"a 0.88 times", {44, 60, 70, 90, 90, 90}, 10},
      {"c 1.12 times", {50, 60, 78.4f, 90, 90, 90}, 10},
      {"gamma 1.12 times", {50, 60, 70, 90, 90, 100.8f}, 10},
      {"gamma 0.9 times", {50, 60, 70, 90, 90, 81}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Options o{.mdoc = -999};
    std::copy(c.cell, c.cell + 6, o.cell);
    EXPECT_EQ(read_pdb(l, o).ierr, c.ierr);
    EXPECT_FLOAT_EQ(crst_crd.cs_cell(1), c.cell[0]);
  }
}

TEST(PdbReaderStatus, AcceptedUserCellKeepsFractionalCoordinates) {
  // The file's CRYST1 before its atoms, or after them.
  for (const bool after : {false, true}) {
    SCOPED_TRACE(after ? "CRYST1 after the atoms" : "CRYST1 before the atoms");
    std::vector<std::string> l = residue("ALA", 'A', 10);
    l.insert(after ? l.end() : l.begin(), kCryst);
    EXPECT_EQ(read_pdb(l, {.mdoc = -999, .cell = {55, 60, 70, 90, 90, 90}}).ierr, 0);
    // x = 10 in a cell of 50 is fractional 0.2, which is 11 in a cell of 55.
    EXPECT_NEAR(atom_crd.xyz_crd(1, 1), 11.0f, 1e-4);
    EXPECT_NEAR(atom_crd.xyz_crd(2, 1), 2.0f, 1e-5);
  }
}

TEST(PdbReaderStatus, RefusedUserCellLeavesTheAtomsWhereTheyAre) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 10));
  EXPECT_EQ(read_pdb(l, {.mdoc = -999, .cell = {56, 60, 70, 90, 90, 90}}).ierr, 10);
  EXPECT_FLOAT_EQ(atom_crd.xyz_crd(1, 1), 10.0f);
}

TEST(PdbReaderStatus, SecondModelEndsTheInput) {
  std::vector<std::string> l = {kCryst, "MODEL        1"};
  append(l, residue("ALA", 'A', 1));
  l.push_back("ENDMDL");
  l.push_back("MODEL        2");
  append(l, residue("ALA", 'A', 1));
  EXPECT_EQ(read_pdb(l).ierr, 0);
  EXPECT_EQ(atom_inf.n_atom, 4);
  EXPECT_EQ(crdinf.cr_model_pdb, 2);
}

// Simulation programs count models from 0; a file may hold one model under
// any number.  The first model is read whatever its number, and the next
// MODEL record ends the input whatever its own.
TEST(PdbReaderStatus, FirstModelIsReadWhateverItsNumber) {
  const struct {
    const char* label;
    const char* first;   // the first MODEL record, or none
    const char* second;  // the record before the second set of atoms
  } cases[] = {
      {"models 0 and 1", "MODEL        0", "MODEL        1"},
      {"models 3 and 2", "MODEL        3", "MODEL        2"},
      {"atoms before MODEL 1", nullptr, "MODEL        1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> l = {kCryst};
    if (c.first != nullptr) l.push_back(c.first);
    append(l, residue("ALA", 'A', 1));
    l.push_back("ENDMDL");
    l.push_back(c.second);
    append(l, residue("GLY", 'A', 1));
    EXPECT_EQ(read_pdb(l).ierr, 0);
    EXPECT_EQ(atom_inf.n_atom, 4);
    EXPECT_EQ(resid_inf.res_name(1).trimmed(), "ALA");
  }
  // A file whose only model is numbered 2.
  std::vector<std::string> l = {kCryst, "MODEL        2"};
  append(l, residue("ALA", 'A', 1));
  l.push_back("ENDMDL");
  EXPECT_EQ(read_pdb(l).ierr, 0);
  EXPECT_EQ(atom_inf.n_atom, 4);
}

// A converter writes a MODEL record above the header and again above the
// atoms: the model read is the first that holds atoms, and the MODEL record
// after its atoms still ends the input.
TEST(PdbReaderStatus, ModelWithoutAtomsBeforeTheFirstIsPassedOver) {
  const struct {
    const char* label;
    std::vector<std::string> head;  // the lines before the first atom
  } cases[] = {
      {"MODEL 1 twice", {"MODEL        1", "HEADER    HYDROLASE", kCryst, "MODEL        1"}},
      {"MODEL 1 empty, then MODEL 2", {"MODEL        1", kCryst, "ENDMDL", "MODEL        2"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> l = c.head;
    append(l, residue("ALA", 'A', 1));
    l.push_back("ENDMDL");
    l.push_back("MODEL        3");
    append(l, residue("GLY", 'A', 1));
    EXPECT_EQ(read_pdb(l).ierr, 0);
    EXPECT_EQ(atom_inf.n_atom, 4);
    EXPECT_EQ(resid_inf.n_residue, 1);
    EXPECT_EQ(resid_inf.res_name(1).trimmed(), "ALA");
  }
}

// A trajectory writes every frame with its own title, box and SCALE rows
// before its MODEL record.  The model read keeps those given with it
// (before its MODEL record or inside it), never those of the frame after
// it; a file with one CRYST1 at its top gives it to every frame.
TEST(PdbReaderStatus, ModelReadKeepsItsOwnCell) {
  const auto frame = [](const char* box, const char* scale) {
    return std::vector<std::string>{
        std::string("TITLE     frame of box ") + box,
        std::string("CRYST1") + box + box + box + "  90.00  90.00  90.00 P 1           1",
        std::string("SCALE1    ") + scale + "  0.000000  0.000000        0.00000",
        std::string("SCALE2      0.000000") + scale + "  0.000000        0.00000",
        std::string("SCALE3      0.000000  0.000000") + scale + "        0.00000"};
  };
  const std::vector<std::string> first = frame("   95.365", "  0.010486");
  const std::vector<std::string> second = frame("   97.273", "  0.010280");
  const std::vector<std::string> zero = frame("    0.000", "  0.000000");
  const auto model = [](const char* number) { return std::string("MODEL     ") + number; };
  const struct {
    const char* label;
    std::vector<std::vector<std::string>> parts;  // the lines in order; "A" stands for atoms
  } cases[] = {
      {"each frame's cell before its MODEL",
       {first, {model("   1"), "A", "ENDMDL"}, second, {model("   2"), "A", "ENDMDL"}}},
      {"cells inside the MODEL records",
       {{model("   0")}, first, {"A", "TER", "ENDMDL", model("   1")}, second, {"A", "ENDMDL"}}},
      {"the first MODEL empty: the next one's cell",
       {second, {model("   1"), "ENDMDL"}, first, {model("   2"), "A", "ENDMDL"}, second,
        {model("   3"), "A"}}},
      {"one cell at the top",
       {first, {model("   1"), "A", "ENDMDL", model("   2"), "A", "ENDMDL"}}},
      {"a later frame's box of zero",
       {first, {model("   1"), "A", "ENDMDL"}, zero, {model("   2"), "A", "ENDMDL"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> l;
    for (const std::vector<std::string>& part : c.parts)
      for (const std::string& text : part)
        if (text == "A") append(l, residue("ALA", 'A', 1));
        else l.push_back(text);
    const ReadResult r = read_pdb(l);
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(atom_inf.n_atom, 4);
    EXPECT_EQ(r.out.find("wrong CELL"), std::string::npos) << r.out;
    EXPECT_EQ(crdinf.cr_title.trimmed(), "frame of box    95.365");
    for (int i = 1; i <= 3; ++i) {
      EXPECT_FLOAT_EQ(crst_crd.cs_cell(i), 95.365f);
      EXPECT_FLOAT_EQ(crdinf.cr_cell(i), 95.365f);
      EXPECT_FLOAT_EQ(crst_pdb.cs_scale(i, i), 0.010486f);
    }
  }
}

// Other writers give each frame's box after its model (MODEL, atoms,
// ENDMDL, CRYST1), or a single model followed by its CRYST1.  A model
// without a cell before its atoms takes the one after them, before the
// next MODEL record, and its fractional matrix is that cell's.
TEST(PdbReaderStatus, ModelWithoutACellBeforeItsAtomsTakesTheOneAfter) {
  const std::string first = "CRYST1   95.365   95.365   95.365  90.00  90.00  90.00 P 1           1";
  const std::string second = "CRYST1   97.273   97.273   97.273  90.00  90.00  90.00 P 1           1";
  const struct {
    const char* label;
    std::vector<std::string> parts;  // "A" stands for atoms
  } cases[] = {
      {"each frame's cell after its model",
       {"MODEL        1", "A", "ENDMDL", first, "MODEL        2", "A", "ENDMDL", second}},
      {"one model, its cell after the atoms", {"A", first, "END"}},
      {"frames without ENDMDL, the cell before each MODEL",
       {first, "MODEL        1", "A", second, "MODEL        2", "A"}},
      {"a cell of the next frame inside a model that has one", {first, "A", second}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> l;
    for (const std::string& text : c.parts)
      if (text == "A") append(l, residue("ALA", 'A', 1));
      else l.push_back(text);
    const ReadResult r = read_pdb(l, {.mdoc = 1});
    EXPECT_EQ(r.ierr, 0) << r.out;
    EXPECT_EQ(r.out.find("\"CRYST1\" card is absent"), std::string::npos) << r.out;
    EXPECT_FLOAT_EQ(crst_crd.cs_cell(1), 95.365f);
    EXPECT_FLOAT_EQ(crdinf.cr_cell(1), 95.365f);
    EXPECT_NEAR(crst_crd.cs_ort_to_frac(1, 1), 1.0f / 95.365f, 1e-7f);
    EXPECT_NEAR(crst_pdb.cs_scale(1, 1), 1.0f / 95.365f, 1e-7f);
  }
  // A CRYST1 after the atoms that holds no number is refused by its own line.
  std::vector<std::string> l = residue("ALA", 'A', 1);
  l.push_back("CRYST1   95.365   abcdef   95.365  90.00  90.00  90.00 P 1           1");
  const ReadResult r = read_pdb(l, {.mdoc = 1});
  EXPECT_NE(r.ierr, 0);
  EXPECT_NE(r.out.find("CRYST1 record, line 5: b \"abcdef\""), std::string::npos) << r.out;
}

// Writers that cut their lines leave out what they do not know: a line
// that ends with its coordinates holds its atom in full.  A blank
// occupancy inside a longer line reads as written.
TEST(PdbReaderAtoms, LineEndingWithItsCoordinatesHasFullOccupancy) {
  const std::string full = line({.occ = 0.5f});
  std::string blank_occ = full;
  blank_occ.replace(54, 6, "      ");
  // Column 55 is the first of the occupancy: a line ending there has one.
  const std::string zero_in_55 = full.substr(0, 54) + "0";
  const struct {
    const char* label;
    std::string line;
    float occ;
  } cases[] = {
      {"cut after column 54", full.substr(0, 54), 1.0f},
      {"cut after column 55, a 0 there", zero_in_55, 0.0f},
      {"cut after column 60", full.substr(0, 60), 0.5f},
      {"blank occupancy before B", blank_occ, 0.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const ReadResult r = read_pdb({kCryst, c.line});
    ASSERT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(atom_inf.n_atom, 1);
    EXPECT_FLOAT_EQ(atom_crd.occup(1), c.occ);
  }
}

// Two residues at one number are an error of the model; a missing cell or
// space group, or a refused user cell, only leaves it without its own: the
// error's status wins, with its message.
TEST(PdbReaderStatus, SameNumberWinsOverMissingOrRefusedCell) {
  std::vector<std::string> no_cryst = residue("ALA", 'A', 10);
  append(no_cryst, residue("GLY", 'A', 10));
  std::vector<std::string> cryst = {kCryst};
  append(cryst, no_cryst);
  const struct {
    const char* label;
    std::vector<std::string> lines;
    Options o;
  } cases[] = {
      {"no cell, no space group", no_cryst, {.mdoc = -999}},
      {"no cell, space group given", no_cryst, {.mdoc = -999, .nospgr = 19}},
      {"user cell refused", cryst, {.mdoc = -999, .cell = {80, 60, 70, 90, 90, 90}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const ReadResult r = read_pdb(c.lines, c.o);
    EXPECT_EQ(r.ierr, 6);
    EXPECT_EQ(count_of(r.out, kSameNumber), 1) << r.out;
  }
}

TEST(PdbReaderCapacity, FifteenHundredChainsFitAndOneMoreDoesNot) {
  std::vector<std::string> l = {kCryst};
  for (int i = 1; i <= 1500; ++i) {
    l.push_back(line({.resnum = i}));
    l.push_back(kTer);
  }
  ReadResult r = read_pdb(l, kQuiet);
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(asym_part.n_group, 1500);
  l.push_back(line({.resnum = 1501}));
  r = read_pdb(l, kQuiet);
  EXPECT_EQ(r.ierr, 1);
  EXPECT_EQ(asym_part.n_group, 1500);
  EXPECT_NE(r.out.find(" ERROR: number of chains >  1500\n"
                       "         Change parameter MAXCHAIN in \"atom_com\"\n"),
            std::string::npos)
      << r.out;
}

// A model of few chains runs out of them where every ion is a chain of its
// own: the refusal names the residue that passed the limit, and only one
// outside a polymer that is no water (a water joins the water chain of its
// chain letter, so it is never what makes the chains too many).
TEST(PdbReaderCapacity, IonThatPassesTheChainLimitIsNamed) {
  const struct {
    const char* label;
    const char* rec;
    const char* res;
    const char* last;  // the residue that passes the limit, its atom and the atom's element
    const char* last_name;
    const char* last_elem;
    bool named;
  } cases[] = {{"ions", "HETATM", "SOD", "SOD", "NA  ", "NA", true},
               {"peptides", "ATOM  ", "ALA", "ALA", "NA  ", "NA", false},
               {"a water after the ions", "HETATM", "SOD", "HOH", " O  ", "O", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> l = {kCryst};
    for (int i = 1; i <= 1501; ++i) {
      const bool last = i == 1501;
      l.push_back(line({.rec = c.rec, .name = last ? c.last_name : "NA  ", .res = last ? c.last : c.res,
                        .chain = 'B', .resnum = i, .elem = last ? c.last_elem : "NA"}));
      l.push_back(kTer);
    }
    const ReadResult r = read_pdb(l, kQuiet);
    EXPECT_EQ(r.ierr, 1);
    const std::string named =
        " ERROR: number of chains >  1500\n"
        "         Change parameter MAXCHAIN in \"atom_com\"\n"
        "  ERROR: residue SOD 1501 of chain B passed the limit: each residue outside a "
        "polymer, other than a water, is a chain of its own\n";
    EXPECT_EQ(count_of(r.out, named), c.named ? 1 : 0) << r.out;
    EXPECT_EQ(count_of(r.out, "passed the limit"), c.named ? 1 : 0) << r.out;
  }
}

TEST(PdbReaderAtoms, ByteThatIsNoCharacterInANumberStopsTheRead) {
  // The line clean-up blanks such bytes, and a number field passes blanks
  // over: 1.<NUL>00 would read as 1.00.  Every number field of the atom
  // record; the same byte in its atom name is cleaned and read.
  const struct {
    const char* label;
    int column;  // 1-based
    char byte;
  } cases[] = {
      {"NUL in x", 36, '\0'},   {"tab in z", 52, '\t'},         {"NUL in occupancy", 59, '\0'},
      {"DEL in B", 62, '\x7f'}, {"non-ASCII in y", 44, '\xc3'}, {"NUL in residue number", 26, '\0'},
      {"NUL in the last column of B, a full line", 66, '\0'},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::string bad = line({.serial = 2});
    bad.insert(static_cast<std::size_t>(c.column - 1), 1, c.byte);
    bad.erase(static_cast<std::size_t>(c.column), 1);
    const ReadResult r = read_pdb({kCryst, line({}), bad});
    EXPECT_EQ(r.ierr, 1);
    EXPECT_NE(r.out.find("  ERROR: wrong number in PDB atom record:\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(atom_inf.n_atom, 1);
  }
  std::string name = line({.serial = 2});
  name[14] = '\0';
  const ReadResult r = read_pdb({kCryst, line({}), name});
  EXPECT_EQ(r.ierr, 0) << r.out;
  EXPECT_EQ(atom_inf.n_atom, 2);
}

// The line reader blanks a control byte among a line's last two characters
// (a line end written with carriage returns): in a number column of a line
// that ends there it is refused as anywhere else.  A carriage return after
// a line cut inside the numbers is no such byte.
TEST(PdbReaderAtoms, ByteThatIsNoCharacterAtTheLineEndStopsTheRead) {
  const std::string full = line({.serial = 2});
  const struct {
    const char* label;
    std::string line;
    int32_t ierr;
  } cases[] = {
      {"NUL in column 65 of 66", full.substr(0, 64) + '\0' + full[65], 1},
      {"NUL in column 66 of 66", full.substr(0, 65) + '\0', 1},
      {"tab in column 60 of 60, then a carriage return", full.substr(0, 59) + "\t\r", 1},
      {"NUL in column 67 of 67", full.substr(0, 66) + '\0', 0},
      {"carriage returns in columns 61 and 62", full.substr(0, 60) + "\r\r", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    // The same line first in the file (read on opening, without a cell:
    // status 9 when it is read), and after the cell and another atom.
    for (const bool first : {true, false}) {
      std::vector<std::string> l;
      if (!first) l = {kCryst, line({})};
      l.push_back(c.line);
      const ReadResult r = read_pdb(l);
      EXPECT_EQ(r.ierr, c.ierr != 0 ? 1 : first ? 9 : 0) << r.out;
      EXPECT_EQ(count_of(r.out, "  ERROR: wrong number in PDB atom record:\n"), c.ierr) << r.out;
      EXPECT_EQ(atom_inf.n_atom, (first ? 1 : 2) - c.ierr);
    }
  }
}
