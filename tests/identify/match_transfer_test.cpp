// Transfer of a subgraph match: the monomer (L1) restricted to the residue's
// atoms (L2) under the residue's names, hydrogens paired through their heavy
// atoms.  Serine and lysine from the components; the match is given by name.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "component.h"
#include "dictionary/lib_com.h"
#include "dictionary/new_bonds.h"
#include "dictionary/work_copies.h"
#include "foundation/messages.h"
#include "identify/coord_bonds.h"
#include "identify/match_transfer.h"

namespace {

const std::set<std::string> kLeaving = {"OXT", "HXT", "H2"};

int l1_atom(const std::string& name) {
  for (int a = 1; a <= r_scratch.l1a_natom; ++a)
    if (r_scratch.l1a_aname(a) == name) return a;
  return 0;
}

bool is_h(const rt::FixedText<4>& s) { return s == "H" || s == "D"; }

// L2: the residue under the names of `rename` (monomer name -> residue
// name), its bonds from coordinates; L1: the monomer.
void transfer(const comp::Component& residue, const std::map<std::string, std::string>& rename,
              const comp::Component& monomer, bool residue_hydrogens = false) {
  r_scratch_t& r = r_scratch;
  comp::fill_l1(residue, "SER", residue_hydrogens);
  for (int a = 1; a <= r.l1a_natom; ++a) {
    const auto it = rename.find(std::string(r.l1a_aname(a).trimmed()));
    if (it != rename.end()) r.l1a_aname(a) = it->second;
    const char c = dictionary::bond_class(r.l1a_symb(a).view());
    r.l1a_atype(a) = std::string_view(&c, 1);
  }
  r.l1b_nbond = 0;
  for (int a = 1; a <= r.l1a_natom; ++a) r.l1a_ndist(a) = r.l1a_lencon(1, a) = 0;
  int32_t ierr = 0;
  coor_conn_(99, "    ", ierr);
  copyl2_(99, ierr);
  comp::fill_l1(monomer, "SER");
  // Heavy atoms in description order on both sides; iso by the names.
  std::vector<int16_t> np, mp, iso;
  for (int p = 1; p <= r.l2a_natom; ++p)
    if (!is_h(r.l2a_symb(p))) np.push_back(static_cast<int16_t>(p));
  for (int a = 1; a <= r.l1a_natom; ++a)
    if (!is_h(r.l1a_symb(a))) mp.push_back(static_cast<int16_t>(a));
  std::map<std::string, std::string> back;
  for (const auto& [from, to] : rename) back[to] = from;
  for (int16_t p : np) {
    std::string name(r.l2a_aname(p).trimmed());
    if (back.count(name)) name = back[name];
    int16_t k = 0;
    for (std::size_t j = 0; j < mp.size(); ++j)
      if (r.l1a_aname(mp[j]) == name) k = static_cast<int16_t>(j + 1);
    iso.push_back(k);
  }
  const int n = static_cast<int>(np.size()), m = static_cast<int>(mp.size());
  comlib.iquiet = 1;
  corr_description_gm_(0, ' ', n, m, nullptr, np.data(), nullptr, mp.data(), iso.data(), ierr);
  comlib.iquiet = 0;
}

TEST(MatchTransfer, MonomerAtomsTakeTheResidueNames) {
  const comp::Component ser = comp::load("SER", kLeaving);
  transfer(ser, {{"OG", "O7"}, {"CB", "C7"}}, ser);
  EXPECT_GT(l1_atom("O7"), 0);
  EXPECT_GT(l1_atom("C7"), 0);
  EXPECT_EQ(l1_atom("OG"), 0);
  bool bond_renamed = false;
  for (int b = 1; b <= r_scratch.l1b_nbond; ++b)
    bond_renamed |= r_scratch.l1b_1atm(b) == "C7" && r_scratch.l1b_2atm(b) == "O7";
  EXPECT_TRUE(bond_renamed);
}

TEST(MatchTransfer, AtomsTheResidueLacksAreDroppedWithTheirHydrogens) {
  const comp::Component residue = comp::load("SER", {"OXT", "HXT", "H2", "OG", "HG"});
  transfer(residue, {}, comp::load("SER", kLeaving));
  EXPECT_EQ(l1_atom("OG"), 0);
  EXPECT_EQ(l1_atom("HG"), 0);
  EXPECT_GT(l1_atom("CB"), 0);
  for (int b = 1; b <= r_scratch.l1b_nbond; ++b) {
    EXPECT_FALSE(r_scratch.l1b_1atm(b) == "OG" || r_scratch.l1b_2atm(b) == "OG") << "bond " << b;
    EXPECT_FALSE(r_scratch.l1b_1atm(b) == "????" || r_scratch.l1b_2atm(b) == "????") << "bond " << b;
  }
}

// The residue's CB carries one hydrogen, named HBX: the first monomer
// hydrogen of CB takes it, the second keeps its dictionary name.
TEST(MatchTransfer, ResidueHydrogenGoesToTheFirstMonomerHydrogen) {
  const comp::Component residue = comp::load("SER", {"OXT", "HXT", "H2", "HB3"});
  transfer(residue, {{"HB2", "HBX"}}, comp::load("SER", kLeaving), true);
  EXPECT_GT(l1_atom("HBX"), 0);
  EXPECT_EQ(l1_atom("HB2"), 0);
  EXPECT_GT(l1_atom("HB3"), 0);
}

}  // namespace
