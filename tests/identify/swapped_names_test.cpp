// A residue under a name the library lacks whose atoms are a library
// monomer's, with some of their names passed round a ring: the index finds
// the monomer, the graph match gives each atom its library name, the names
// differ so the index's monomer is refused, and the graph search finds the
// monomer whole; the residue's atoms then take the library names, each atom
// once.  Renaming an atom again under the name it has just taken would move
// it on round the ring.  Two or three traded names never get this far: the
// graph match hands such atoms back their own names, so the rings here are
// of four and five.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "component.h"
#include "coords/pdb_fixture.h"
#include "dictionary/lib_com.h"
#include "dictionary/monlib_fixture.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "identify/pre_descr.h"
#include "support/capture.h"

namespace {

// Lysine without its leaving group.
comp::Component lysine() { return comp::load("LYS", {"OXT", "HXT", "H2"}); }

// Lysine's heavy atoms in one residue `res`, each under its name in `names`
// (library name -> file name) or its own; then the test library.
void lysine_as(const std::string& res, const std::map<std::string, std::string>& names) {
  const comp::Component c = lysine();
  std::vector<std::string> lines = {pdbtest::kCryst};
  int serial = 0;
  for (const comp::Atom& a : c.atoms) {
    if (comp::is_h(a)) continue;
    const auto it = names.find(a.name);
    const std::string name = it == names.end() ? a.name : it->second;
    lines.push_back(pdbtest::line({.rec = "HETATM", .serial = ++serial, .name = " " + name, .res = res,
                                   .x = a.x, .y = a.y, .z = a.z, .elem = " " + a.symb}));
  }
  const pdbtest::ReadResult rr = pdbtest::read_pdb(lines);
  ASSERT_EQ(rr.ierr, 0) << rr.out;
  std::string log;
  ASSERT_EQ(monlib::load(monlib::test_library(), log), 0) << log;
  set_cif_types_();
  comlib.iquiet = 0;
  comlib.idoc = 0;
}

// The model's name of the atom at the lysine atom's ideal position.
std::string name_at(const comp::Component& c, const std::string& lib_name) {
  const comp::Atom& a = c.atoms[c.index(lib_name) - 1];
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia)
    if (std::fabs(atom_crd.xyz_crd(1, ia) - a.x) < 0.01f && std::fabs(atom_crd.xyz_crd(2, ia) - a.y) < 0.01f &&
        std::fabs(atom_crd.xyz_crd(3, ia) - a.z) < 0.01f)
      return std::string(atom_inf.atm_name(ia).trimmed());
  return "?";
}

TEST(IdentifySwappedNames, TradedNamesTakeTheLibraryNamesOnce) {
  const comp::Component lys = lysine();
  struct Case {
    const char* why;
    std::map<std::string, std::string> names;  // library name -> file name
  } cases[] = {
      {"four names in a ring", {{"CB", "CG"}, {"CG", "CD"}, {"CD", "CE"}, {"CE", "CB"}}},
      {"five names in a ring, the other way", {{"CA", "CE"}, {"CB", "CA"}, {"CG", "CB"}, {"CD", "CG"}, {"CE", "CD"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    ASSERT_NO_FATAL_FAILURE(lysine_as("XLK", c.names));
    int32_t nmnew = -1, lib2 = 0, kerr = -1, ierr = -1;
    rt::FixedText<1> flag("?");
    const std::string out =
        captured([&] { pre_descr_(0, ' ', 'Y', 'N', 'G', "?test", nmnew, flag, lib2, kerr, ierr); });
    ASSERT_EQ(ierr, 0) << out;
    // The road: the index's monomer refused for its names, then the graph
    // search finds it whole and the residue keeps its own name.
    ASSERT_EQ(pdbtest::count_of(out, "sub_structure in :LYS"), 1) << out;
    EXPECT_EQ(nmnew, 1);
    EXPECT_EQ(resid_inf.res_name(1).trimmed(), "XLK");
    for (const comp::Atom& a : lys.atoms) {
      if (comp::is_h(a)) continue;
      EXPECT_EQ(name_at(lys, a.name), a.name);
    }
    // Each traded name is remembered as a synonym of the new monomer.
    for (const auto& [lib_name, file_name] : c.names) {
      bool remembered = false;
      for (int j = 1; j <= r_scratch.lms_nsyn; ++j)
        remembered |= r_scratch.lms_mname(j) == "XLK" && r_scratch.lms_aatom(j) == file_name.c_str() &&
                      r_scratch.lms_atom(j) == lib_name.c_str();
      EXPECT_TRUE(remembered) << file_name << " -> " << lib_name;
    }
  }
}

}  // namespace
