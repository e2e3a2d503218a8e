// Residue numbers that a chain holds twice, alike on the three readers (the
// PDB reader, the mmCIF reading entry and the mmCIF rows read by the PDB
// rules): two residues at one number that follow one another are one
// residue written twice (a name that returns, atoms that coincide), or two
// residues named in a warning; a polymer residue given again later in its
// named chain is refused.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <vector>

#include "cif_test_util.h"
#include "coords/cif_by_pdb_rules.h"
#include "pdb_fixture.h"

namespace {

// One residue of two atoms, N at x and CA 1.2 A further along x (a water
// only its O at x, a residue of a CA trace its CA).  `label`: its mmCIF
// chain label; `ter`: a TER record before it in the PDB form.
struct Res {
  const char* rec;
  const char* name;
  int num;
  const char* label = "A";
  float x = 0;
  char alt = ' ';
  char chain = 'A';
  bool ter = false;
  const char* seg = "";
  bool trace = false;
  bool hydrogens = false;  // a water's H1 and H2 after its O
  char chain_first = ' ';  // column 21: the first character of a chain name of two (LA)
};

// The author's chain: the PDB form's columns 21-22.
std::string chain_name(const Res& r) {
  if (r.chain_first != ' ') return {r.chain_first, r.chain};
  return r.chain == ' ' ? std::string("''") : std::string(1, r.chain);
}

std::vector<std::pair<const char*, float>> atoms_of(const Res& r) {
  if (std::string_view(r.name) == "HOH" && r.hydrogens)
    return {{"O", r.x}, {"H1", r.x + 0.96f}, {"H2", r.x - 0.24f}};
  if (std::string_view(r.name) == "HOH") return {{"O", r.x}};
  // OPM's membrane plane: an N and an O 26.8 A apart, both read as DUM.
  if (std::string_view(r.name) == "DUM") return {{"N", r.x}, {"O", r.x + 26.8f}};
  if (r.trace) return {{"CA", r.x}};
  return {{"N", r.x}, {"CA", r.x + 1.2f}};
}

std::vector<std::string> pdb_form(const std::vector<Res>& rs) {
  std::vector<std::string> l = {pdbtest::kCryst};
  for (const Res& r : rs) {
    if (r.ter) l.push_back(pdbtest::kTer);
    // A number past 9999 goes on into column 27, as simulation programs write it.
    for (const auto& [atom, x] : atoms_of(r)) {
      l.push_back(pdbtest::line({.rec = r.rec, .name = std::string(" ") + atom, .alt = r.alt,
                                 .res = r.name, .chain = r.chain,
                                 .resnum = r.num > 9999 ? r.num / 10 : r.num,
                                 .ins = r.num > 9999 ? static_cast<char>('0' + r.num % 10) : ' ',
                                 .x = x, .y = 0,
                                 .z = 0, .seg = r.seg,
                                 // OPM writes no element columns.
                                 .elem = std::string_view(r.name) == "DUM"
                                             ? std::string("  ")
                                             : std::string(" ") + atom[0]}));
      l.back()[20] = r.chain_first;
    }
  }
  return l;
}

std::string cif_form(const std::vector<Res>& rs) {
  std::string text =
      cif_header() + atom_loop({"group_PDB", "id", "label_atom_id", "label_alt_id", "label_comp_id",
                                "label_asym_id", "label_entity_id", "label_seq_id", "Cartn_x",
                                "Cartn_y", "Cartn_z", "auth_seq_id", "auth_asym_id"});
  int serial = 0;
  for (const Res& r : rs) {
    for (const auto& [atom, x] : atoms_of(r)) {
      std::ostringstream row;
      row << r.rec << ' ' << ++serial << ' ' << atom << ' ' << (r.alt == ' ' ? '.' : r.alt) << ' '
          << r.name << ' ' << r.label << " . . " << x << " 0 0 " << r.num << ' ' << chain_name(r)
          << '\n';
      text += row.str();
    }
  }
  return text;
}

struct Case {
  const char* label;
  std::vector<Res> residues;
  int32_t ierr;
  int lines;         // error lines of numbers held twice, or warning lines of two residues
  const char* line;  // the first of them
  int warnings = -1;  // warning lines of two residues, where a refused read gives some too
  int chains = -1;    // chains of the model, where checked
  bool no_hydrogens = false;  // every reader leaves the hydrogens out
};

const char* kSame = "different residues have the same number";
const char* kTwo = "read as two residues";

}  // namespace

class ResidueNumbers : public CifFiles {
 protected:
  // Every reader gives the case's status and its lines, and no other error
  // or warning line of residue numbers.
  void expect_on_every_reader(const Case& c) {
    SCOPED_TRACE(c.label);
    const auto expect_out = [&](const std::string& out, const char* reader) {
      SCOPED_TRACE(reader);
      EXPECT_EQ(count_of(out, kSame), c.ierr == 6 ? c.lines : 0) << out;
      EXPECT_EQ(count_of(out, kTwo), c.warnings >= 0 ? c.warnings : c.ierr == 6 ? 0 : c.lines)
          << out;
      if (c.line != nullptr) {
        EXPECT_EQ(count_of(out, c.line), 1) << out;
      }
      if (c.chains >= 0) {
        EXPECT_EQ(asym_part.n_group, c.chains) << out;
      }
      // No other residue is read at a number of its own.
      if (c.line == nullptr || std::string_view(c.line).find("numbered anew") == std::string::npos) {
        EXPECT_EQ(count_of(out, "numbered anew"), 0) << out;
      }
    };
    // Hydrogens, where a case gives them, are kept.
    const bool hydrogens =
        std::any_of(c.residues.begin(), c.residues.end(), [](const Res& r) { return r.hydrogens; });
    const char hremove = hydrogens && !c.no_hydrogens ? 'N' : 'Y';
    const pdbtest::ReadResult p = pdbtest::read_pdb(pdb_form(c.residues), {.hremove = hremove});
    EXPECT_EQ(p.ierr, c.ierr) << p.out;
    expect_out(p.out, "PDB");
    write("n", cif_form(c.residues));
    int32_t st = 0;
    if (c.no_hydrogens) {
      out_ = captured([&] {
        static const float none[6] = {0, 0, 0, 0, 0, 0};
        st = 1;
        read_atoms_(0, dir_, "n", "cif", 0, none, st, 'Y');
      });
    } else {
      st = read_out("n");
    }
    EXPECT_EQ(st == 8 ? 0 : st, c.ierr) << out_;
    expect_out(out_, "mmCIF");
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    const std::string out =
        captured([&] {
          coords::read_cif_by_pdb_rules(0, dir_ + "n.cif", 'N', hremove, ierr);
          // Author chains of two characters are read again by segment
          // columns, as orbinate reads them.
          if (ierr == coords::kCifLongChainIds) {
            init_atm_inf_(0, ierr);
            coords::read_cif_by_pdb_rules(0, dir_ + "n.cif", 'Y', hremove, ierr);
          }
        });
    EXPECT_EQ(ierr, c.ierr) << out;
    expect_out(out, "mmCIF by the PDB rules");
  }
};

// A chain's last residue and a terminal group under its number, or a
// ligand and its ion, are two residues unless their atoms coincide (closer
// than 0.5 A, where the link search takes two atoms for one) or the first
// name returns after the second.
TEST_F(ResidueNumbers, TwoResiduesAtOneNumberAreOneOnlyWhereTheyOverlapOrTheNameReturns) {
  const Case cases[] = {
      {"a terminal group 0.51 A from the chain's last residue",
       {{"ATOM", "GLY", 374}, {"ATOM", "PHE", 375, "A", 5}, {"ATOM", "CTE", 375, "B", 5.51f}},
       0, 1,
       "WARNING: residues PHE and CTE of chain A share number 375: read as two residues"},
      {"a terminal group 0.49 A from the chain's last residue",
       {{"ATOM", "GLY", 374}, {"ATOM", "PHE", 375, "A", 5}, {"ATOM", "CTE", 375, "B", 5.49f}},
       6, 1,
       " ERROR: in chain A residue: 375, given 2 times\n"},
      {"a ligand, its ion and a second ion at one number",
       {{"ATOM", "GLY", 374},
        {"HETATM", "ADP", 1, "B", 5},
        {"HETATM", "CA", 1, "C", 9.24f},
        {"HETATM", "MG", 1, "D", 13.48f}},
       0, 1,
       "WARNING: residues ADP and CA of chain A share number 1: read as two residues"},
      {"a second ion over the first at one number",
       {{"ATOM", "GLY", 374},
        {"HETATM", "ADP", 1, "B", 5},
        {"HETATM", "CA", 1, "C", 9.24f},
        {"HETATM", "MG", 1, "D", 9.4f}},
       6, 1,
       " ERROR: in chain A residue:   1, given 2 times\n", 1},
      {"a residue split by a line of another name",
       {{"ATOM", "SER", 91}, {"ATOM", "SEX", 91, "B", 5}, {"ATOM", "SER", 91, "C", 10}},
       6, 1,
       " ERROR: in chain A residue:  91, given 3 times\n"},
      {"a microheterogeneity, codes on the first residue only",
       {{"ATOM", "CYS", 91, "A", 0, 'A'}, {"HETATM", "SMC", 91, "B", 0}},
       6, 1,
       nullptr},
      {"a microheterogeneity, codes on the second residue only",
       {{"ATOM", "CYS", 91, "A", 0}, {"HETATM", "SMC", 91, "B", 0, 'B'}},
       6, 1,
       nullptr},
      {"a microheterogeneity with codes after residues in conformers and not",
       {{"ATOM", "ALA", 89, "A", -18, 'A'},
        {"ATOM", "ALA", 89, "A", -18, 'B'},
        {"ATOM", "GLY", 90, "A", -9},
        {"ATOM", "CYS", 91, "A", 0},
        {"HETATM", "SMC", 91, "B", 0, 'B'}},
       6, 1,
       nullptr},
      {"a microheterogeneity, codes on both residues",
       {{"ATOM", "CYS", 91, "A", 0, 'A'}, {"HETATM", "SMC", 91, "B", 0, 'B'}},
       0, 0,
       nullptr},
      {"a water and a ligand at one number after a chain",
       {{"ATOM", "ALA", 1}, {"HETATM", "HOH", 2, "B", 5}, {"HETATM", "SO4", 2, "C", 9}},
       0, 0,
       nullptr},
      {"a ligand and a water at one number after a chain",
       {{"ATOM", "ALA", 1}, {"HETATM", "SO4", 2, "B", 5}, {"HETATM", "HOH", 2, "C", 9}},
       0, 0,
       nullptr},
      {"one ligand name at one number twice in a row, lying apart",
       {{"ATOM", "GLY", 374}, {"HETATM", "ACP", 501, "B", 5}, {"HETATM", "ACP", 501, "B", 30}},
       0, 1,
       "WARNING: residues ACP and ACP of chain A share number 501: read as two residues"},
      {"waters at one number in a row, lying apart, each a water of the chain read anew",
       {{"ATOM", "GLY", 374}, {"HETATM", "HOH", 0, "B", 5}, {"HETATM", "HOH", 0, "B", 8},
        {"HETATM", "HOH", 0, "B", 11}},
       0, 0,
       "numbered anew past its highest number (HOH 0 given again read as 1)"},
      {"waters 0, 0, 1 in a row: the water read anew takes no number a later water holds",
       {{"ATOM", "GLY", 374}, {"HETATM", "HOH", 0, "B", 5}, {"HETATM", "HOH", 0, "B", 8},
        {"HETATM", "HOH", 1, "B", 11}},
       0, 0,
       "numbered anew past its highest number (HOH 0 given again read as 2)", -1, 2},
      {"waters past 9999 by their first digits, one given again: a further water chain",
       {{"ATOM", "GLY", 374}, {"HETATM", "HOH", 9998, "B", 5}, {"HETATM", "HOH", 9999, "B", 8},
        {"HETATM", "HOH", 1000, "B", 11}, {"HETATM", "HOH", 1000, "B", 14},
        {"HETATM", "HOH", 1001, "B", 17}},
       0, 0,
       "numbered anew past its highest number (HOH 1000 given again read as 1002)", -1, 3},
      // The number a water given again is read at is none of the file's:
      // 0 after 9999 is no wrap of the file's numbers, and the water's
      // hydrogens go with it.
      {"waters 9997, 9998, 9999, 9999 with hydrogens: the water given again at 9999 stays whole",
       {{"ATOM", "GLY", 374}, {"HETATM", "HOH", 9997, "B", 5, ' ', 'A', false, "", false, true},
        {"HETATM", "HOH", 9998, "B", 8, ' ', 'A', false, "", false, true},
        {"HETATM", "HOH", 9999, "B", 11, ' ', 'A', false, "", false, true},
        {"HETATM", "HOH", 9999, "B", 14, ' ', 'A', false, "", false, true}},
       0, 0,
       "numbered anew past its highest number (HOH 9999 given again read as 0)", -1, 2},
      {"three waters at 9999 with hydrogens, no chain letter",
       {{"ATOM", "GLY", 374}, {"HETATM", "HOH", 9999, "B", 5, ' ', ' ', true, "", false, true},
        {"HETATM", "HOH", 9999, "B", 8, ' ', ' ', false, "", false, true},
        {"HETATM", "HOH", 9999, "B", 11, ' ', ' ', false, "", false, true}},
       0, 0,
       "numbered anew past its highest number (HOH 9999 given again read as 0)", -1, 2},
      {"waters at 0 with hydrogens, hydrogens left out: an O after H1 and H2 is no conformer",
       {{"ATOM", "GLY", 374}, {"HETATM", "HOH", 0, "B", 5, ' ', 'A', false, "", false, true},
        {"HETATM", "HOH", 0, "B", 8, ' ', 'A', false, "", false, true},
        {"HETATM", "HOH", 0, "B", 11, ' ', 'A', false, "", false, true}},
       0, 0,
       "numbered anew past its highest number (HOH 0 given again read as 1)", -1, 2, true},
      {"waters -5, -5, -3, -4: numbers below 0 that later waters hold are not taken",
       {{"ATOM", "GLY", 374}, {"HETATM", "HOH", -5, "B", 5}, {"HETATM", "HOH", -5, "B", 8},
        {"HETATM", "HOH", -3, "B", 11}, {"HETATM", "HOH", -4, "B", 14}},
       0, 0,
       "numbered anew past its highest number (HOH -5 given again read as -2)", -1, 2},
      {"waters at 10000 in a row: the second read anew, as at 0",
       {{"ATOM", "GLY", 374}, {"HETATM", "HOH", 10000, "B", 5}, {"HETATM", "HOH", 10000, "B", 8}},
       0, 0,
       "numbered anew past its highest number (HOH 0 given again read as 1)", -1, 2},
      // The numbers a water read anew may not take are those of the waters
      // after it, not of those before it.
      {"waters 9995 to 9999, then 9995 twice: the numbers of the waters before are free",
       {{"ATOM", "GLY", 374}, {"HETATM", "HOH", 9995, "B", 5}, {"HETATM", "HOH", 9996, "B", 8},
        {"HETATM", "HOH", 9997, "B", 11}, {"HETATM", "HOH", 9998, "B", 14},
        {"HETATM", "HOH", 9999, "B", 17}, {"HETATM", "HOH", 9995, "B", 20},
        {"HETATM", "HOH", 9995, "B", 23}},
       0, 0,
       "numbered anew past its highest number (HOH 9995 given again read as 9996)", -1, 3},
      {"OPM's DUM residues, each an N and an O far apart at one number",
       {{"ATOM", "GLY", 374},
        {"HETATM", "DUM", 1001, "B", 5, ' ', ' '},
        {"HETATM", "DUM", 1002, "B", 8, ' ', ' '}},
       0, 0,
       nullptr, -1, 2},
      {"one ligand name at one number thrice in a row, the third over the second",
       {{"ATOM", "GLY", 374}, {"HETATM", "ACP", 501, "B", 5}, {"HETATM", "ACP", 501, "B", 30},
        {"HETATM", "ACP", 501, "B", 30.2f}},
       0, 1,
       "WARNING: residues ACP and ACP of chain A share number 501: read as two residues"},
      {"ligands at one number, the first name returning lying apart",
       {{"ATOM", "GLY", 374}, {"HETATM", "FBP", 0, "B", 5}, {"HETATM", "NAD", 0, "C", 20},
        {"HETATM", "FBP", 0, "D", 40}},
       0, 1,
       "WARNING: residues FBP and NAD of chain A share number 0: read as two residues"},
      {"a ligand split by a line of another name, the first name returning on it",
       {{"ATOM", "GLY", 374}, {"HETATM", "FBP", 0, "B", 5}, {"HETATM", "NAD", 0, "C", 20},
        {"HETATM", "FBP", 0, "D", 6.5f}},
       6, 1,
       " ERROR: in chain A residue:   0, given 3 times\n"},
      {"a polymer residue of a named chain given again right after itself, lying apart",
       {{"ATOM", "MET", 1}, {"ATOM", "MET", 1, "A", 12}},
       6, 1,
       " ERROR: in chain A residue:   1, given 2 times\n"},
  };
  for (const Case& c : cases) expect_on_every_reader(c);
}

// A writer that sorts a frame's waters by number gives each number's
// copies together, every number a later copy could take still to come:
// once none is free the waters go on in a further water chain that reads
// them in order, never a chain for each copy nor a refusal.
TEST_F(ResidueNumbers, WatersSortedByNumberGoOnInAFurtherWaterChain) {
  Case c = {"waters 1, 1, 1, 2, 2, 2, ..., 9998, 9998, 9998",
            {{"ATOM", "GLY", 374}},
            0, 0,
            "numbered anew past its highest number (HOH 1 given again read as 9999)", -1, 5};
  for (int n = 1; n <= 9998; ++n)
    for (int k = 0; k < 3; ++k)
      c.residues.push_back({"HETATM", "HOH", n, "B", 5.0f + 3.0f * static_cast<float>(k)});
  expect_on_every_reader(c);
  // gemmi gives the waters of a frame numbered 1 to 10001 (0 and 1 again
  // after 9999) by number, 10001 right after 1: the chain goes on in order
  // from the first, two water chains as the frame's own.
  Case pairs = {"waters 1, 1, 2, 3, ..., 9999, 0",
                {{"ATOM", "GLY", 374}, {"HETATM", "HOH", 1, "B", 5}, {"HETATM", "HOH", 1, "B", 8}},
                0, 0,
                "numbered anew past its highest number (HOH 1 given again read as 2)", -1, 3};
  for (int n = 2; n <= 9999; ++n) pairs.residues.push_back({"HETATM", "HOH", n, "B", 5});
  pairs.residues.push_back({"HETATM", "HOH", 0, "B", 8});
  expect_on_every_reader(pairs);
}

// Open Babel drops alternate codes, so a residue's conformers come one
// after the other at its number.  Where most atoms of the second lie on
// the first, it is that residue, whose first atom may lie more than a bond
// from every atom before it; a copy lying apart is refused.  orbinate's
// two roads read it so.
TEST_F(ResidueNumbers, ConformersWithoutCodesAreOneResidueWhereMostAtomsLieOnEachOther) {
  const char* names[] = {"N", "CA", "C", "O", "CB"};
  const float at[][2] = {{0, 0}, {1.4f, 0.5f}, {2.4f, 0}, {2.4f, 1.2f}, {1.4f, 2.0f}};
  // The second conformer's N 2.3 A off the first's (n_dx), the rest 0.3 A
  // and `shift` along x, its CB `cb_dy` further along y.
  const auto atom = [&](int a, int copy, float shift, float n_dx,
                        float cb_dy) -> std::pair<std::string, std::array<float, 2>> {
    const float dx = copy == 0 ? 0 : a == 0 ? n_dx : shift;
    const float dy = copy == 0 ? 0 : a == 4 ? 0.3f + cb_dy : 0.3f;
    return {names[a], {at[a][0] + dx, at[a][1] + dy}};
  };
  const struct {
    const char* label;
    bool interleaved;
    float shift;  // of the second copy's atoms but N
    int32_t ierr;
    int32_t residues;
    bool anisou = false;  // each PDB atom line followed by its ANISOU record
    float n_dx = -2.3f;
    float cb_dy = 0;
  } cases[] = {
      {"interleaved, atom by atom", true, 0, 0, 2},
      // A name right after itself is a conformer, wherever it lies.
      {"interleaved, atom by atom, the conformers 3 A apart", true, 3, 0, 2},
      // The atoms of the copy on their namesakes before its first apart count.
      {"the second conformer after the first, its CB alone 2.5 A off", false, 0, 0, 2, false, 0,
       2.5f},
      {"the second conformer after the first", false, 0, 0, 2},
      {"the second conformer after the first, with ANISOU records", false, 0, 0, 2, true},
      {"a copy lying 10 A apart", false, 10, 6, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::pair<std::string, std::array<float, 2>>> atoms;
    for (int a = 0; a < 5; ++a) atoms.push_back({names[a], {at[a][0] - 6, at[a][1]}});
    for (int k = 0; k < 10; ++k) {
      const int a = c.interleaved ? k / 2 : k % 5;
      const int copy = c.interleaved ? k % 2 : k / 5;
      atoms.push_back(atom(a, copy, c.shift, c.n_dx, c.cb_dy));
    }
    std::vector<std::string> l = {pdbtest::kCryst};
    std::string cif = cif_header() + atom_loop({"group_PDB", "id", "label_atom_id", "label_comp_id",
                                                "label_asym_id", "label_entity_id", "label_seq_id",
                                                "Cartn_x", "Cartn_y", "Cartn_z", "auth_seq_id",
                                                "auth_asym_id"});
    for (std::size_t i = 0; i < atoms.size(); ++i) {
      const int num = i < 5 ? 1 : 2;
      const auto& [name, xy] = atoms[i];
      l.push_back(pdbtest::line({.rec = "ATOM", .name = " " + name, .res = "ALA", .chain = 'A',
                                 .resnum = num, .x = xy[0], .y = xy[1], .z = 0,
                                 .elem = std::string(" ") + name[0]}));
      if (c.anisou) {
        std::string u = l.back().substr(0, 28).replace(0, 6, "ANISOU");
        u += "    100    100    100      0      0      0";
        l.push_back(u + std::string(80 - u.size(), ' '));
      }
      std::ostringstream row;
      row << "ATOM " << i + 1 << ' ' << name << " ALA A 1 " << num << ' ' << xy[0] << ' ' << xy[1]
          << " 0 " << num << " A\n";
      cif += row.str();
    }
    const pdbtest::ReadResult p = pdbtest::read_pdb(l);
    EXPECT_EQ(p.ierr, c.ierr) << p.out;
    EXPECT_EQ(resid_inf.n_residue, c.residues) << p.out;
    write("c", cif);
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    const std::string out =
        captured([&] { coords::read_cif_by_pdb_rules(0, dir_ + "c.cif", 'N', 'Y', ierr); });
    EXPECT_EQ(ierr, c.ierr) << out;
    EXPECT_EQ(resid_inf.n_residue, c.residues) << out;
  }
}

// A copy whose atoms lie on their namesakes as often as apart is the
// residue given again: N and CA of the copy on the first's, C and O 8 A off.
TEST_F(ResidueNumbers, CopyAsOftenOnItsNamesakesAsApartIsTheResidueGivenAgain) {
  const char* names[] = {"N", "CA", "C", "O"};
  const float at[][2] = {{0, 0}, {1.4f, 0.5f}, {2.4f, 0}, {2.4f, 1.2f}};
  std::vector<std::string> l = {pdbtest::kCryst};
  std::string cif = cif_header() + atom_loop({"group_PDB", "id", "label_atom_id", "label_comp_id",
                                              "label_asym_id", "label_entity_id", "label_seq_id",
                                              "Cartn_x", "Cartn_y", "Cartn_z", "auth_seq_id",
                                              "auth_asym_id"});
  for (int k = 0; k < 8; ++k) {
    const int a = k % 4;
    const float x = at[a][0] + (k >= 6 ? 8.0f : 0.0f), y = at[a][1] + (k >= 4 ? 0.3f : 0.0f);
    l.push_back(pdbtest::line({.rec = "ATOM", .name = std::string(" ") + names[a], .res = "ALA",
                               .chain = 'A', .resnum = 1, .x = x, .y = y, .z = 0,
                               .elem = std::string(" ") + names[a][0]}));
    std::ostringstream row;
    row << "ATOM " << k + 1 << ' ' << names[a] << " ALA A 1 1 " << x << ' ' << y << " 0 1 A\n";
    cif += row.str();
  }
  const pdbtest::ReadResult p = pdbtest::read_pdb(l);
  EXPECT_EQ(p.ierr, 6) << p.out;
  EXPECT_EQ(resid_inf.n_residue, 2) << p.out;
  write("c", cif);
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  const std::string out =
      captured([&] { coords::read_cif_by_pdb_rules(0, dir_ + "c.cif", 'N', 'Y', ierr); });
  EXPECT_EQ(ierr, 6) << out;
  EXPECT_EQ(resid_inf.n_residue, 2) << out;
}

// Two models written one after the other: a polymer residue of a named
// chain given again after other residues or other chains holds its number
// twice, as does a water of a named chain given again after other waters;
// so does a blank chain whose residue lies on an earlier one of its
// number, atom on namesake nearer than any bond between two atoms of one
// element.  A blank chain's residues apart from those (namesakes bonded
// across chains), a ligand or water of a
// chain that returns after the other chains, and a segment's chains each
// numbered from 1 are read as before; the waters of a chain named by two
// characters (LA beside A, both in column 22) are a water chain of their
// own beside those of A.
TEST_F(ResidueNumbers, PolymerResidueOfANamedChainGivenAgainIsRefused) {
  const Case cases[] = {
      {"chains A and B, then A again",
       {{"ATOM", "ALA", 1},
        {"ATOM", "GLY", 2, "A", 4},
        {"ATOM", "ALA", 1, "B", 8, ' ', 'B', true},
        {"ATOM", "ALA", 1, "A", 12, ' ', 'A', true},
        {"ATOM", "GLY", 2, "A", 16}},
       6, 2,
       " ERROR: in chain A residue:   1, given 2 times\n"},
      {"a number given again after one residue",
       {{"ATOM", "ALA", 5}, {"HETATM", "MSE", 6, "A", 4}, {"ATOM", "ALA", 5, "A", 8}},
       6, 1,
       " ERROR: in chain A residue:   5, given 2 times\n"},
      {"a number given again after many residues",
       {{"ATOM", "ALA", 1},
        {"ATOM", "GLY", 2, "A", 4},
        {"ATOM", "SER", 3, "A", 8},
        {"ATOM", "THR", 4, "A", 12},
        {"ATOM", "ALA", 1, "A", 16, ' ', 'A', true}},
       6, 1,
       " ERROR: in chain A residue:   1, given 2 times\n"},
      {"waters of chain B numbered 1, 2 and again 1, 2, lying apart",
       {{"ATOM", "ALA", 1},
        {"HETATM", "HOH", 1, "B", 4, ' ', 'B'},
        {"HETATM", "HOH", 2, "B", 8, ' ', 'B'},
        {"HETATM", "HOH", 1, "B", 12, ' ', 'B'},
        {"HETATM", "HOH", 2, "B", 16, ' ', 'B'}},
       6, 2,
       " ERROR: in chain B residue:   1, given 2 times\n"},
      {"chain A given three times, as three models written as one",
       {{"ATOM", "ALA", 1},
        {"ATOM", "GLY", 2, "A", 4},
        {"ATOM", "ALA", 1, "A", 8, ' ', 'A', true},
        {"ATOM", "GLY", 2, "A", 12},
        {"ATOM", "ALA", 1, "A", 16, ' ', 'A', true},
        {"ATOM", "GLY", 2, "A", 20}},
       6, 2,
       " ERROR: in chain A residue:   1, given 3 times\n"},
      {"a blank chain given again",
       {{"ATOM", "ALA", 1, "A", 0, ' ', ' '},
        {"ATOM", "GLY", 2, "A", 4, ' ', ' '},
        {"ATOM", "ALA", 1, "B", 8, ' ', ' ', true},
        {"ATOM", "GLY", 2, "B", 12, ' ', ' '}},
       0, 0,
       nullptr},
      {"a blank chain numbered again without a TER record, as GROMACS writes a frame",
       {{"ATOM", "ALA", 1, "A", 0, ' ', ' '},
        {"ATOM", "GLY", 2, "A", 4, ' ', ' '},
        {"ATOM", "ALA", 1, "B", 8, ' ', ' '},
        {"ATOM", "GLY", 2, "B", 12, ' ', ' '}},
       0, 0,
       nullptr},
      {"a blank chain given again on its own atoms without a TER record",
       {{"ATOM", "ALA", 1, "A", 0, ' ', ' '},
        {"ATOM", "GLY", 2, "A", 4, ' ', ' '},
        {"ATOM", "ALA", 1, "B", 0.3f, ' ', ' '},
        {"ATOM", "GLY", 2, "B", 4.3f, ' ', ' '}},
       6, 2,
       " ERROR: in chain   residue:   1, given 2 times\n"},
      {"a blank chain given again on its own atoms, as two models written as one",
       {{"ATOM", "ALA", 1, "A", 0, ' ', ' '},
        {"ATOM", "GLY", 2, "A", 4, ' ', ' '},
        {"ATOM", "ALA", 1, "B", 0.3f, ' ', ' ', true},
        {"ATOM", "GLY", 2, "B", 4.3f, ' ', ' '}},
       6, 2,
       " ERROR: in chain   residue:   1, given 2 times\n"},
      {"a blank chain given again 0.9 A off its own atoms, as two models that agree loosely",
       {{"ATOM", "ALA", 1, "A", 0, ' ', ' '},
        {"ATOM", "GLY", 2, "A", 4, ' ', ' '},
        {"ATOM", "ALA", 1, "B", 0.9f, ' ', ' ', true},
        {"ATOM", "GLY", 2, "B", 4.9f, ' ', ' '}},
       6, 2,
       " ERROR: in chain   residue:   1, given 2 times\n"},
      {"a CA trace written twice in a blank chain",
       {{"ATOM", "ALA", 1, "A", 0, ' ', ' ', false, "", true},
        {"ATOM", "GLY", 2, "A", 3.8f, ' ', ' ', false, "", true},
        {"ATOM", "ALA", 1, "B", 0.3f, ' ', ' ', true, "", true},
        {"ATOM", "GLY", 2, "B", 4.1f, ' ', ' ', false, "", true}},
       6, 2,
       " ERROR: in chain   residue:   1, given 2 times\n"},
      {"a CA trace written twice in a blank chain, namesakes exactly 1.000 A apart (on 1/8 A)",
       {{"ATOM", "ALA", 1, "A", 0, ' ', ' ', false, "", true},
        {"ATOM", "GLY", 2, "A", 3.875f, ' ', ' ', false, "", true},
        {"ATOM", "ALA", 1, "B", 1.0f, ' ', ' ', true, "", true},
        {"ATOM", "GLY", 2, "B", 4.875f, ' ', ' ', false, "", true}},
       0, 0,
       nullptr},
      {"two chains of a blank chain whose namesakes at one number lie 2.0 A apart, as a "
       "disulfide joins them, other atoms nearer",
       {{"ATOM", "ALA", 1, "A", 0, ' ', ' '},
        {"ATOM", "GLY", 2, "A", 4, ' ', ' '},
        {"ATOM", "ALA", 1, "B", 2.0f, ' ', ' ', true},
        {"ATOM", "GLY", 2, "B", 12, ' ', ' '}},
       0, 0,
       nullptr},
      {"chain A returns after B for its ligands and waters",
       {{"ATOM", "ALA", 1},
        {"ATOM", "GLY", 2, "A", 4},
        {"ATOM", "ALA", 1, "B", 8, ' ', 'B', true},
        {"HETATM", "SO4", 1, "C", 12, ' ', 'A', true},
        {"HETATM", "HOH", 2, "D", 16, ' ', 'A'}},
       0, 0,
       nullptr},
      {"the waters of chain LA after those of A, at the same numbers, a water chain of their own",
       {{"ATOM", "ALA", 1},
        {"HETATM", "HOH", 52, "B", 4},
        {"HETATM", "HOH", 53, "B", 8},
        {.rec = "HETATM", .name = "HOH", .num = 52, .label = "C", .x = 12, .chain_first = 'L'},
        {.rec = "HETATM", .name = "HOH", .num = 53, .label = "C", .x = 16, .chain_first = 'L'}},
       0, 0,
       nullptr, -1, 3},
  };
  for (const Case& c : cases) expect_on_every_reader(c);
}

// Segments: one segment may hold two chain letters, and one chain letter
// two segments, each numbered from 1, read by chains or by segments; the
// same segment and letter given again is refused either way.  Within one
// segment the letter changing ends a chain with nothing between the two.
TEST(ResidueNumbersOfSegments, SegmentAndLetterTogetherTellAChain) {
  // Each chain ends with its OXT and a TER record (`parted`), so that the
  // pieces of one segment stay chains of their own.
  const auto file = [](const char* seg2, char chain2, bool parted = true) {
    std::vector<std::string> l = pdb_form({{"ATOM", "ALA", 1, "A", 0, ' ', 'A', false, "PROA"},
                                           {"ATOM", "GLY", 2, "A", 4, ' ', 'A', false, "PROA"}});
    if (parted)
      l.push_back(
          pdbtest::line({.name = " OXT", .res = "GLY", .resnum = 2, .seg = "PROA", .elem = " O"}));
    const std::vector<std::string> more =
        pdb_form({{"ATOM", "ALA", 1, "B", 8, ' ', chain2, parted, seg2},
                  {"ATOM", "GLY", 2, "B", 12, ' ', chain2, false, seg2}});
    l.insert(l.end(), more.begin() + 1, more.end());
    return l;
  };
  const struct {
    const char* label;
    std::vector<std::string> lines;
    int32_t ierr;
  } cases[] = {
      {"one segment, two chain letters", file("PROA", 'B'), 0},
      {"one chain letter, two segments", file("PROB", 'A'), 0},
      {"the same segment and letter again", file("PROA", 'A'), 6},
      {"one segment, two chain letters, neither OXT nor TER", file("PROA", 'B', false), 0},
      {"the same segment and letter again, neither OXT nor TER", file("PROA", 'A', false), 6},
  };
  for (const auto& c : cases) {
    for (const char seg : {'N', 'Y'}) {
      SCOPED_TRACE(std::string(c.label) + (seg == 'Y' ? ", by segments" : ", by chains"));
      const pdbtest::ReadResult r = pdbtest::read_pdb(c.lines, {.seg = seg});
      EXPECT_EQ(r.ierr, c.ierr) << r.out;
      EXPECT_EQ(count_of(r.out, kSame), c.ierr == 6 ? 2 : 0) << r.out;
    }
  }
}

// A blank chain whose numbers drop inside one covalent chain (a circular
// permutation) stays one chain, judged at the residue's N wherever it
// stands: a hydrogenated residue written H first is no break.  Dropped
// onto a number the chain holds, it is two chains (the bond a link), as
// the mmCIF reading gives.  Read with and without the hydrogens, as the
// two programs read them.
TEST(ResidueNumbersOfBlankChains, DropInNumbersIsJudgedAtTheResiduesN) {
  const auto file = [](bool h_first, float n_x, int last = 1) {
    std::vector<std::string> l{pdbtest::kCryst};
    int serial = 0;
    const auto put = [&](const char* name, const char* elem, int num, float x, float y) {
      l.push_back(pdbtest::line({.serial = ++serial, .name = name, .chain = ' ', .resnum = num,
                                 .x = x, .y = y, .z = 0, .elem = elem}));
    };
    for (int k = 0; k < 2; ++k) {
      put(" N  ", " N", 76 + k, 3.8f * static_cast<float>(k), 0);
      put(" CA ", " C", 76 + k, 3.8f * static_cast<float>(k) + 1.2f, 0.8f);
      put(" C  ", " C", 76 + k, 3.8f * static_cast<float>(k) + 2.5f, 0);
    }
    if (h_first) put(" H  ", " H", last, n_x, -1.0f);
    put(" N  ", " N", last, n_x, 0);
    put(" CA ", " C", last, n_x + 1.2f, 0.8f);
    put(" C  ", " C", last, n_x + 2.5f, 0);
    return l;
  };
  const struct {
    const char* label;
    bool h_first;
    float n_x;  // the last residue's N; the C before it at 6.3
    int last;   // its number, after 76 and 77
    int32_t chains;
  } cases[] = {
      {"N first, bonded", false, 7.6f, 1, 1},
      {"H first, bonded", true, 7.6f, 1, 1},
      {"H first, 3.7 A from the C before", true, 10.0f, 1, 2},
      {"H first, bonded, onto a number held", true, 7.6f, 76, 2},
  };
  for (const auto& c : cases) {
    for (const char h : {'N', 'Y'}) {
      SCOPED_TRACE(std::string(c.label) + (h == 'Y' ? ", hydrogens left out" : ""));
      const pdbtest::ReadResult r = pdbtest::read_pdb(file(c.h_first, c.n_x, c.last), {.hremove = h});
      EXPECT_EQ(r.ierr, 0) << r.out;
      EXPECT_EQ(asym_part.n_group, c.chains) << r.out;
    }
  }
}

// An mmCIF author's chain under two labels, each numbered from 1 (as a
// segment shared by two chains), and a file that names no chain at all
// (Open Babel's) with a ligand between two runs of one numbering, are read
// as before by both mmCIF readers.
TEST_F(ResidueNumbers, LabelsOfOneAuthorChainAndUnnamedChainsAreNoChainGivenAgain) {
  const std::string shared =
      cif_header() + atom_loop({"group_PDB", "id", "label_atom_id", "label_comp_id",
                                "label_asym_id", "Cartn_x", "Cartn_y", "Cartn_z", "auth_seq_id",
                                "auth_asym_id"}) +
      "ATOM 1 N ALA A 0 0 0 1 P\nATOM 2 N GLY A 4 0 0 2 P\n"
      "ATOM 3 N VAL B 8 0 0 1 P\nATOM 4 N THR B 12 0 0 2 P\n";
  const std::string unnamed =
      cif_header() + atom_loop({"group_PDB", "id", "label_atom_id", "label_comp_id",
                                "label_entity_id", "Cartn_x", "Cartn_y", "Cartn_z",
                                "auth_seq_id"}) +
      "ATOM 1 N ALA 1 0 0 0 1\nATOM 2 N GLY 1 4 0 0 2\nHETATM 3 S SO4 1 8 0 0 3\n"
      "ATOM 4 N ALA 1 12 0 0 1\nATOM 5 N GLY 1 16 0 0 2\n";
  for (const auto& [label, text] : {std::pair{"one author chain, two labels", shared},
                                     std::pair{"no chain named", unnamed}}) {
    SCOPED_TRACE(label);
    write("n", text);
    const int32_t st = read_out("n");
    EXPECT_EQ(st == 8 ? 0 : st, 0) << out_;
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    const std::string out =
        captured([&] { coords::read_cif_by_pdb_rules(0, dir_ + "n.cif", 'N', 'Y', ierr); });
    EXPECT_EQ(ierr, 0) << out;
    EXPECT_EQ(count_of(out_ + out, kSame), 0) << out_ << out;
  }
}

namespace {

// A peptide ALA, GLY, SER ... numbered from `first`, one residue of two
// atoms every 4 A from x; `name` (two characters) in columns 21-22.
std::vector<std::string> peptide(const char* name, int first, int n, float x,
                                 const char* seg = "") {
  static const char* const kNames[] = {"ALA", "GLY", "SER", "THR"};
  std::vector<std::string> l;
  for (int i = 0; i < n; ++i) {
    const Res r{"ATOM", kNames[i % 4], first + i, "A", x + 4.0f * static_cast<float>(i), ' ',
                name[1], false, seg};
    for (std::string& a : pdb_form({r})) {
      if (a == pdbtest::kCryst) continue;
      a[20] = name[0];
      l.push_back(a);
    }
  }
  return l;
}

// The lines with a charge of their own in columns 71-76, as a docking
// program writes them.
std::vector<std::string> charged(std::vector<std::string> l) {
  for (std::size_t i = 0; i < l.size(); ++i) {
    char q[8];
    std::snprintf(q, sizeof q, "%6.3f", 0.1 * static_cast<double>(i) - 0.35);
    l[i].replace(70, 6, q);
  }
  return l;
}

// The chain's last residue ended as CHARMM ends it (OT1, OT2) or as the
// archive does (OXT): the terminal oxygens of the residue just written.
void end_chain(std::vector<std::string>& l, const char* how) {
  const std::string last = l.back();
  const auto oxygen = [&](const char* name) {
    std::string a = last;
    a.replace(12, 4, name);
    a.replace(76, 2, " O");
    l.push_back(a);
  };
  if (std::string_view(how) == "OXT") oxygen(" OXT");
  if (std::string_view(how) == "OT") {
    oxygen(" OT1");
    oxygen(" OT2");
  }
}

struct Layout {
  const char* label;
  std::vector<std::vector<std::string>> pieces;  // each after the one before
  const char* between;  // "TER", "OXT", "OT" or "" at each junction
  int32_t ierr;
  int chains;  // chains of the model where the read ends well
};

// Both programs' readings (the TLS groups' and the pipeline's) give the
// status, the error lines and the chains.
void expect_layout(const Layout& c) {
  std::vector<std::string> l = {pdbtest::kCryst};
  for (std::size_t i = 0; i < c.pieces.size(); ++i) {
    if (i > 0) {
      if (std::string_view(c.between) == "TER")
        l.push_back(pdbtest::kTer);
      else
        end_chain(l, c.between);
    }
    l.insert(l.end(), c.pieces[i].begin(), c.pieces[i].end());
  }
  for (const int32_t program : {0, 1}) {
    SCOPED_TRACE(std::string(c.label) + (program == 1 ? ", as the pipeline reads" : ""));
    const pdbtest::ReadResult r = pdbtest::read_pdb(l, {.program = program});
    EXPECT_EQ(r.ierr, c.ierr) << r.out;
    EXPECT_EQ(count_of(r.out, kSame) > 0, c.ierr == 6) << r.out;
    if (c.ierr == 0) {
      EXPECT_EQ(asym_part.n_group, c.chains) << r.out;
    }
  }
}

}  // namespace

// A file without chain letters (CHARMM-GUI's) tells its chains by their
// segments, each numbered from 1, with or without a TER record or a
// terminal oxygen between them: a segment's turn ends a chain.  A segment
// that holds a number twice is still refused, and so are a chain letter's
// segments that no TER or terminal atom parts (one chain holds their
// numbers).  Without chain letter the numbers given again of one segment's
// chains are read as before.  A number in the segment columns (a docking
// file's charges) names no segment.
TEST(ResidueNumbersOfSegments, SegmentOfABlankChainIsAChainOfItsOwn) {
  const Layout cases[] = {
      {"two segments, nothing between",
       {peptide("  ", 1, 3, 0, "PROA"), peptide("  ", 1, 3, 20, "PROB")}, "", 0, 2},
      {"two segments, a TER record between",
       {peptide("  ", 1, 3, 0, "PROA"), peptide("  ", 1, 3, 20, "PROB")}, "TER", 0, 2},
      {"two segments, an OXT between",
       {peptide("  ", 1, 3, 0, "PROA"), peptide("  ", 1, 3, 20, "PROB")}, "OXT", 0, 2},
      {"two segments, OT1 and OT2 between",
       {peptide("  ", 1, 3, 0, "PROA"), peptide("  ", 1, 3, 20, "PROB")}, "OT", 0, 2},
      {"three segments, the first again",
       {peptide("  ", 1, 3, 0, "PROA"), peptide("  ", 1, 3, 20, "PROB"),
        peptide("  ", 4, 2, 40, "PROA")},
       "", 0, 3},
      {"one segment holding a number twice",
       {peptide("  ", 1, 3, 0, "PROA"), peptide("  ", 2, 1, 20, "PROA")}, "", 6, 0},
      {"one segment, two peptides parted by a TER record",
       {peptide("  ", 1, 3, 0, "PROA"), peptide("  ", 1, 3, 20, "PROA")}, "TER", 0, 2},
      {"a charge on every atom where segments stand",
       {charged(peptide("  ", 1, 3, 0))}, "", 0, 1},
      {"chain A in two segments, nothing between",
       {peptide(" A", 1, 3, 0, "PROA"), peptide(" A", 1, 3, 20, "PROB")}, "", 6, 0},
  };
  for (const Layout& c : cases) expect_layout(c);
}

// Converters write a chain name of two characters in columns 21-22 (LA,
// LB, then A, each numbered from 1): column 21 tells LA from A as the
// chain letter tells A from B.  A chain that comes back under its whole
// name is still refused.
TEST(ResidueNumbersOfChainNames, ColumnTwentyOneTellsChainsOfTwoCharactersApart) {
  const Layout cases[] = {
      {"LA, LB, then A",
       {peptide("LA", 1, 3, 0), peptide("LB", 1, 3, 20), peptide(" A", 1, 3, 40)}, "TER", 0, 3},
      {"A, then LA",
       {peptide(" A", 1, 3, 0), peptide("LA", 1, 3, 20)}, "TER", 0, 2},
      {"LA, LB, then LA again",
       {peptide("LA", 1, 3, 0), peptide("LB", 1, 3, 20), peptide("LA", 1, 3, 40)}, "TER", 6, 0},
      {"A, B, then A again",
       {peptide(" A", 1, 3, 0), peptide(" B", 1, 3, 20), peptide(" A", 1, 3, 40)}, "TER", 6, 0},
  };
  for (const Layout& c : cases) expect_layout(c);
}

// Open Babel writes every ligand of an entry at one number: each ZN is a
// residue given again, judged by a look at the lines of one copy ahead,
// never at all the copies after it (1,000 ZN took 13 s).  The same ZN at
// numbers of their own, read in the same run, are the bare baseline.
TEST(ResidueNumbersOfLigands, ThousandsOfOneLigandAtOneNumberReadInLinearTime) {
  const auto seconds_to_read = [](bool one_number) {
    std::vector<std::string> l = {pdbtest::kCryst};
    for (int i = 0; i < 1400; ++i)
      l.push_back(pdbtest::line({.rec = "HETATM", .name = "ZN  ", .res = " ZN", .chain = ' ',
                                 .resnum = one_number ? 0 : i,
                                 .x = 5.0f * static_cast<float>(i % 40),
                                 .y = 5.0f * static_cast<float>(i / 40), .z = 0, .elem = "ZN"}));
    const auto start = std::chrono::steady_clock::now();
    const pdbtest::ReadResult r = pdbtest::read_pdb(l);
    const double s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(r.ierr, 0) << r.out;
    EXPECT_EQ(asym_part.n_group, 1400);
    return s;
  };
  const double apart = seconds_to_read(false);
  const double at_one = seconds_to_read(true);
  EXPECT_LT(at_one, 3 * apart + 0.2) << "apart " << apart << " s, at one number " << at_one << " s";
}
