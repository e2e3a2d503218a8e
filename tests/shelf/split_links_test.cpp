// Links to an atom split into conformers that bond in some conformers only,
// run as a user runs them: the example program in a process of its own on
// the models of data/split_links (a histidine flipped between two zincs, a
// disulfide broken in one conformer), as the archive writes them and as
// programs that drop LINK and SSBOND records save them.  The restraint file
// holds each bond where its conformer bonds and nowhere else, each pair left
// out is warned of, and a run on the written coordinates restrains the same
// pairs.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/atom_com.h"
#include "pipeline/pipeline_fixture.h"
#include "prepare_process.h"
#include "support/temp_dir.h"

#ifdef ORB_PREPARE_MODEL

namespace {

using shelftest::Ran;
using shelftest::run_prepare;

// "10 NE2 A": residue number, atom name and alternate code (the models
// number their residues apart; a writer may name the chains otherwise).
std::string atom_text(int ia) {
  if (ia < 1 || ia > atom_inf.n_atom) return std::string("?").append(std::to_string(ia));
  const int ir = atom_inf.i_resid(ia);
  std::string number(resid_inf.res_num_pdb(ir).sub(3, 7));
  number.erase(0, number.find_first_not_of(' '));
  number.erase(number.find_last_not_of(' ') + 1);
  std::string text = number + " " + std::string(atom_inf.atm_name(ia).trimmed());
  if (!atom_inf.id_alt(ia).is_blank() && !(atom_inf.id_alt(ia) == ".")) {
    text += " ";
    text += atom_inf.id_alt(ia)(1);
  }
  return text;
}

// The bond restraints of dir/out.rst between two residues, by the atoms of
// the coordinates the run wrote: "10 NE2 A - 32 ZN", sorted.
std::vector<std::string> bonds_across(const TempDir& dir) {
  const std::string base = dir.file("out");
  EXPECT_EQ(pipetest::read_coordinates(base), 0) << base;
  std::vector<std::string> out;
  for (const pipetest::Record& r : pipetest::records(file_text(base + ".rst"))) {
    if (!r.line.starts_with("BOND")) continue;
    const int ia = r.serials[0], ja = r.serials[1];
    if (ia < 1 || ja < 1 || ia > atom_inf.n_atom || ja > atom_inf.n_atom ||
        atom_inf.i_resid(ia) != atom_inf.i_resid(ja)) {
      std::string a = atom_text(ia), b = atom_text(ja);
      if (b < a) std::swap(a, b);
      out.push_back(a + " - " + b);
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

// Bonds across residues other than the chain's own peptide bonds.
std::vector<std::string> without_peptides(std::vector<std::string> bonds) {
  std::erase_if(bonds, [](const std::string& b) {
    return (b.find(" C - ") != std::string::npos && b.ends_with(" N")) ||
           (b.find(" N - ") != std::string::npos && b.ends_with(" C"));
  });
  return bonds;
}

// Whether the log warns of the conformer pair `from` -> `to` of link `link`
// (ends as the link messages give them, without their chains), `dist` and
// `ideal` apart and ideally.
bool warned(const std::string& log, const std::string& link, const std::string& dist,
            const std::string& from, const std::string& to, const std::string& ideal) {
  const std::string head =
      "  WARNING : link:" + link + " atoms too far apart to bond, dist =" + dist;
  for (std::size_t at = log.find(head); at != std::string::npos; at = log.find(head, at + 1)) {
    const std::size_t line = log.find('\n', at) + 1, next = log.find('\n', line);
    const std::string ends = log.substr(line, next - line);
    const std::string_view last =
        "            link will not be restrained between these conformers\n";
    if (ends.find(from + "->ch:") != std::string::npos &&
        ends.ends_with(to + " ideal_dist=" + ideal) &&
        log.compare(next + 1, last.size(), last) == 0)
      return true;
  }
  return false;
}

std::string model(const char* name) { return pipetest::data(std::string("split_links/") + name); }

// Runs the model and then the written coordinates: status 0 both times,
// the same bonds across residues, `want`.  Gives back the first log.
std::string expect_bonds(const std::string& path, const std::vector<std::string>& want) {
  SCOPED_TRACE(path);
  TempDir first, again;
  const Ran r = run_prepare(path, first);
  EXPECT_EQ(r.status, 0) << r.log;
  EXPECT_EQ(without_peptides(bonds_across(first)), want) << r.log;
  const Ran r2 = run_prepare(first.file("out.crd"), again);
  EXPECT_EQ(r2.status, 0) << r2.log;
  EXPECT_EQ(without_peptides(bonds_across(again)), want) << "on the written coordinates\n"
                                                         << r2.log;
  EXPECT_EQ(r.log.find("bond restraint far from the model"), std::string::npos) << r.log;
  return r.log;
}

}  // namespace

// NE2 of conformer A 1.87 A from zinc 32 and 8.14 A from zinc 31, NE2 of
// conformer B 1.97 A from zinc 31 and 7.62 A from zinc 32.  The archive's
// LINK records name each conformer's zinc; without them the search by
// distance finds both pairs, and leaves out the far ones with a warning.
// The test library gives no length for a zinc bond: the first pair found
// (1.97 A) makes the description, and the second takes it but keeps its own
// distance (1.87 A), which the warning of its far pair gives.
TEST(SplitLinks, FlippedHistidineBondsEachConformerToItsOwnZinc) {
  const std::vector<std::string> want = {"10 NE2 A - 32 ZN", "10 NE2 B - 31 ZN"};
  expect_bonds(model("his_zinc.pdb"), want);
  for (const char* peer : {"his_zinc_pymol.cif", "his_zinc_pymol.pdb", "his_zinc_biopython.cif",
                           "his_zinc_biopython.pdb"}) {
    const std::string log = expect_bonds(model(peer), want);
    EXPECT_TRUE(warned(log, "HIS-ZN  ", "     8.141", "res:  10  HIS      at:NE2 A",
                       "res:  31  ZN       at:ZN  .", "     1.970"))
        << peer << "\n"
        << log;
    EXPECT_TRUE(warned(log, "HIS-ZN  ", "     7.622", "res:  10  HIS      at:NE2 B",
                       "res:  32  ZN       at:ZN  .", "     1.870"))
        << peer << "\n"
        << log;
  }
}

// SG of CYS 198 1.99 A from SG of CYS 218 in conformer A, 4.65 A in B:
// the SSBOND record, and the search by distance where a program dropped
// it, give the bridge of conformer A alone.
TEST(SplitLinks, DisulfideBrokenInOneConformerHoldsInTheOther) {
  for (const char* name : {"cys_split_sg.pdb", "cys_split_sg_biopython.pdb"}) {
    const std::string log = expect_bonds(model(name), {"198 SG A - 218 SG"});
    EXPECT_TRUE(warned(log, "SS      ", "     4.651", "res: 198  CYS      at:SG  B",
                       "res: 218  CYS      at:SG  .", "     2.030"))
        << name << "\n"
        << log;
  }
}

// The same cysteines in the system's own coordinate format, conformer B of
// SG 198 flagged D (a dummy atom) and the connection row naming both
// conformers: the dummy takes no part in the bridge, so its 4.65 A is no
// conformer left out and the row stays whole, as it is written again.
TEST(SplitLinks, DummyConformerTakesNoPartInTheBridge) {
  TempDir dir;
  const Ran r = run_prepare(model("cys_split_sg_b_dummy.crd"), dir);
  EXPECT_EQ(r.log.find("too far apart"), std::string::npos) << r.log;
  EXPECT_EQ(without_peptides(bonds_across(dir)), std::vector<std::string>{"198 SG A - 218 SG"})
      << r.log;
  const std::string crd = file_text(dir.file("out.crd"));
  EXPECT_NE(crd.find("1   SS       SG     .  198 CYS      AA   1_555    SG     .  218 CYS"),
            std::string::npos)
      << crd;
}

#endif
