// Atoms rebuilt by whole runs on a real NMR entry from which atoms were
// removed, set against the deposited ones and the library: every rebuilt
// centre with the hand of the library's ideal coordinates, no rebuilt atom
// on top of a heavy atom other than its own neighbours, rebuilt heavy atoms
// and hydrogens whose place the geometry fixes where the entry has them.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dictionary/lib_com.h"
#include "dictionary/lib_to_work.h"
#include "foundation/atom_com.h"
#include "pipeline_fixture.h"

namespace {

using pipetest::Options;

struct P {
  double x = 0, y = 0, z = 0;
};
double dist(const P& a, const P& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                   (a.z - b.z) * (a.z - b.z));
}
// Signed volume of the three bonds from the centre c.
double volume(const P& c, const P& a, const P& b, const P& d) {
  const double u[3] = {a.x - c.x, a.y - c.y, a.z - c.z}, v[3] = {b.x - c.x, b.y - c.y, b.z - c.z},
               w[3] = {d.x - c.x, d.y - c.y, d.z - c.z};
  return u[0] * (v[1] * w[2] - v[2] * w[1]) - u[1] * (v[0] * w[2] - v[2] * w[0]) +
         u[2] * (v[0] * w[1] - v[1] * w[0]);
}
std::string trim(std::string s) {
  s.erase(0, s.find_first_not_of(' '));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

// Residue key (chain and number), the residue's name and its atoms by name.
struct Residue {
  std::string name;
  std::map<std::string, P> atoms;
};
using Model = std::map<std::string, Residue>;

// The deposited entry, and a copy without hydrogens and without the heavy
// atoms named in `drop` (residue name and atom name).
Model deposited(const std::string& path, const std::string& copy, const std::set<std::string>& drop,
                const std::string& only = "") {
  std::ifstream in(path);
  std::ofstream out(copy);
  Model m;
  for (std::string l; std::getline(in, l);) {
    if (!l.starts_with("ATOM") && !l.starts_with("HETATM")) {
      out << l << "\n";
      continue;
    }
    const std::string res = trim(l.substr(17, 3)), atom = trim(l.substr(12, 4)),
                      elem = trim(l.substr(76, 2));
    const std::string key = l.substr(21, 1) + "|" + trim(l.substr(22, 5));
    if (!only.empty() && key != only) continue;
    m[key].name = res;
    m[key].atoms[atom] =
        P{std::stod(l.substr(30, 8)), std::stod(l.substr(38, 8)), std::stod(l.substr(46, 8))};
    if (elem != "H" && !drop.count(res + " " + atom)) out << l << "\n";
  }
  return m;
}

// The coordinate file a run wrote, read back.
Model written(const std::string& base) {
  Model m;
  if (pipetest::read_coordinates(base) != 0) return m;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) {
    // An atom the run may not place is written missing, at the origin.
    if (atom_inf.atm_type(ia) == "M") continue;
    const int ir = atom_inf.i_resid(ia);
    const std::string num = resid_inf.res_num_pdb(ir).str();
    const std::string key = num.substr(7, 1) + "|" + trim(num.substr(2, 5));
    m[key].name = trim(resid_inf.res_name(ir).str());
    m[key].atoms[trim(atom_inf.atm_name(ia).str())] =
        P{atom_crd.xyz_crd(1, ia), atom_crd.xyz_crd(2, ia), atom_crd.xyz_crd(3, ia)};
  }
  return m;
}

// What the library says of a monomer: ideal coordinates, the bonded atoms of
// each atom, and the atoms that share a plane with a hydrogen.
struct Monomer {
  std::map<std::string, P> ideal;
  std::map<std::string, std::vector<std::string>> bonded;
  std::set<std::string> in_plane;
};
const Monomer& monomer(const std::string& name) {
  static std::map<std::string, Monomer> known;
  auto it = known.find(name);
  if (it != known.end()) return it->second;
  Monomer& m = known[name];
  rt::FixedText<8> code(name);
  int32_t ierr = 0;
  captured([&] { cp_mlib_(0, code, ierr); });
  if (ierr != 0) return m;
  const r_scratch_t& r = r_scratch;
  for (int a = 1; a <= r.l1a_natom; ++a)
    if (r.l1a_coor_flag(a) == "Y")
      m.ideal[trim(r.l1a_aname(a).str())] = P{r.l1a_x(a), r.l1a_y(a), r.l1a_z(a)};
  for (int b = 1; b <= r.l1b_nbond; ++b) {
    const std::string a1 = trim(r.l1b_1atm(b).str()), a2 = trim(r.l1b_2atm(b).str());
    m.bonded[a1].push_back(a2);
    m.bonded[a2].push_back(a1);
  }
  for (int p = 1; p <= r.l1p_nplan; ++p)
    for (int k = 1; k <= r.l1p_natom(p); ++k) m.in_plane.insert(trim(r.l1p_atom(k, p).str()));
  return m;
}
bool hydrogen(const std::string& atom) { return !atom.empty() && atom[0] == 'H'; }

struct Measure {
  int rebuilt = 0, heavy = 0, centres = 0;
  std::vector<std::string> faults;
};

// Everything the run rebuilt (atoms of the written model that its input
// lacked) against the library and, where it has them, the deposited entry.
Measure measure(const Model& dep, const Model& input, const Model& out) {
  Measure m;
  std::vector<std::pair<std::string, P>> heavy;
  for (const auto& [key, res] : out)
    for (const auto& [atom, p] : res.atoms)
      if (!hydrogen(atom)) heavy.push_back({key + " " + atom, p});
  // Where the chain meets a monomer the library lacks, what is bonded to
  // what is the connectivity's matter, not the rebuild's: such residues
  // and their neighbours are left out.
  auto beside_new = [&](const std::string& key) {
    const std::string chain = key.substr(0, 2);
    const int num = std::stoi(key.substr(2));
    for (int k = num - 1; k <= num + 1; ++k) {
      const auto it = out.find(chain + std::to_string(k));
      if (it == out.end()) continue;
      const std::string& name = it->second.name;
      const std::string file = pipetest::library() +
                               std::string(1, static_cast<char>(std::tolower(name[0]))) + "/" +
                               name + ".cif";
      if (!std::filesystem::exists(file)) return true;
    }
    return false;
  };
  for (const auto& [key, res] : out) {
    const Monomer& lib = monomer(res.name);
    const auto given = input.find(key);
    if (given == input.end() || beside_new(key)) continue;
    auto rebuilt = [&](const std::string& atom) {
      return given->second.atoms.count(atom) == 0 && res.atoms.count(atom);
    };
    const auto d = dep.find(key);
    for (const auto& [atom, p] : res.atoms) {
      if (!rebuilt(atom)) continue;
      ++m.rebuilt;
      const std::string where = res.name + " " + key + " " + atom;
      const auto nb = lib.bonded.find(atom);
      std::set<std::string> own;
      if (nb != lib.bonded.end()) {
        for (const std::string& b : nb->second) own.insert(key + " " + b);
      } else {
        // An atom of a modification (the H2 and H3 of a terminal amino
        // group) has as its parent the nearest heavy atom of its residue.
        std::string parent;
        double best = 1e9;
        for (const auto& [hk, hp] : heavy)
          if (hk.starts_with(key + " ") && hk != key + " " + atom && dist(p, hp) < best) {
            best = dist(p, hp);
            parent = hk;
          }
        own.insert(parent);
      }
      for (const auto& [hk, hp] : heavy)
        if (hk != key + " " + atom && !own.count(hk) && dist(p, hp) < 1.0)
          m.faults.push_back(where + " within 1.0 A of " + hk);
      if (d == dep.end() || !d->second.atoms.count(atom)) continue;
      const double off = dist(p, d->second.atoms.at(atom));
      if (!hydrogen(atom)) {
        ++m.heavy;
        if (off > 0.2)
          m.faults.push_back(where + " " + std::to_string(off) + " A from the deposited atom");
        continue;
      }
      // A hydrogen whose parent holds two heavy atoms, or that lies in a
      // plane, has one place; others turn about their bond.  The backbone H
      // has its place from the peptide, except at the chain start.
      if (nb == lib.bonded.end() || nb->second.empty()) continue;
      const std::string parent = nb->second.front();
      int heavy_of_parent = 0;
      for (const std::string& b : lib.bonded.at(parent)) heavy_of_parent += !hydrogen(b);
      const bool chain_start =
          !dep.count(key.substr(0, 2) + std::to_string(std::stoi(key.substr(2)) - 1));
      const bool rigid =
          heavy_of_parent >= 2 || lib.in_plane.count(atom) || (atom == "H" && !chain_start);
      if (!rigid) continue;
      // The entry names some prochiral pairs (the CH2 groups of leucine,
      // isoleucine and methionine) the other way round from the library's
      // ideal coordinates, whose hand is checked below: a hydrogen is set
      // against the nearest deposited hydrogen of its parent when that is a
      // tetrahedral centre; in a plane (the amide NH2) against its own.
      double best = off;
      if (lib.bonded.at(parent).size() == 4)
        for (const std::string& b : lib.bonded.at(parent))
          if (hydrogen(b) && d->second.atoms.count(b))
            best = std::min(best, dist(p, d->second.atoms.at(b)));
      if (best > 0.15)
        m.faults.push_back(where + " " + std::to_string(best) + " A from the deposited hydrogens");
    }
    // Every centre with four bonded atoms of which one at least was rebuilt
    // has the hand of the library's ideal coordinates, taken over three of
    // them that the run wrote (a run that makes no hydrogens leaves the
    // fourth out).
    for (const auto& [centre, nbs] : lib.bonded) {
      if (nbs.size() != 4 || !res.atoms.count(centre) || !lib.ideal.count(centre)) continue;
      bool any = rebuilt(centre);
      std::vector<std::string> present;
      for (const std::string& b : nbs) {
        if (!res.atoms.count(b) || !lib.ideal.count(b)) continue;
        present.push_back(b);
        any = any || rebuilt(b);
      }
      if (present.size() < 3 || !any) continue;
      ++m.centres;
      const double vm = volume(res.atoms.at(centre), res.atoms.at(present[0]),
                               res.atoms.at(present[1]), res.atoms.at(present[2]));
      const double vi = volume(lib.ideal.at(centre), lib.ideal.at(present[0]),
                               lib.ideal.at(present[1]), lib.ideal.at(present[2]));
      if (std::fabs(vi) > 0.3 && !(vm * vi > 0.0 && std::fabs(vm) > 0.3))
        m.faults.push_back(res.name + " " + key + " centre " + centre + " volume " +
                           std::to_string(vm) + " where the library has " + std::to_string(vi));
    }
  }
  return m;
}

// The atoms of the deposited entry that the copy keeps, by residue.
Model kept(const Model& dep, const std::set<std::string>& drop) {
  Model m;
  for (const auto& [key, res] : dep) {
    m[key].name = res.name;
    for (const auto& [atom, p] : res.atoms)
      if (!hydrogen(atom) && !drop.count(res.name + " " + atom)) m[key].atoms[atom] = p;
  }
  return m;
}

Measure run_on_copy(const std::string& entry, const std::set<std::string>& drop, char rflag,
                    std::string& log, char h = 'A', const std::string& only = "") {
  TempDir dir;
  const std::string copy = dir.path() + "/lacking.pdb";
  const Model dep = deposited(pipetest::data(entry), copy, drop, only);
  Options o;
  o.in = copy;
  o.h = h;
  o.rflag = rflag;
  const pipetest::Outcome r = pipetest::run(o, dir.path());
  log = r.out;
  EXPECT_EQ(r.ierr, 0) << r.out;
  const Model out = written(dir.path() + "/out");
  return measure(dep, kept(dep, drop), out);
}

std::string listed(const std::vector<std::string>& faults) {
  std::string s;
  for (std::size_t i = 0; i < faults.size() && i < 40; ++i) s += faults[i] + "\n";
  return s + std::to_string(faults.size()) + " faults";
}

// Hydrogens only: every CH2 pair, the amide NH2 of asparagine and the
// hydrogens of the valine and leucine branch points where the entry and the
// library have them.
TEST(RebuildHand, HydrogensOfAnEntryWithoutThemKeepTheLibrarysHand) {
  std::string log;
  const Measure m = run_on_copy("2BEG.pdb", {}, 'N', log);
  EXPECT_GT(m.rebuilt, 900);
  EXPECT_GT(m.centres, 350);
  EXPECT_TRUE(m.faults.empty()) << listed(m.faults);
}

// Heavy atoms as well: a valine and a leucine methyl (branches of a centre
// without a chiral row), a ring atom and an amide oxygen, with every
// hydrogen.
TEST(RebuildHand, HeavyAtomsAndHydrogensRebuiltTogetherKeepTheLibrarysHand) {
  const std::set<std::string> drop = {"VAL CG2", "LEU CD2", "PHE CZ", "ASN OD1"};
  std::string log;
  const Measure m = run_on_copy("2BEG.pdb", drop, 'Y', log);
  EXPECT_EQ(m.heavy, 25 + 10 + 10 + 5)
      << "every valine CG2, leucine CD2, phenylalanine CZ, asparagine OD1";
  EXPECT_GT(m.rebuilt, 1000);
  EXPECT_GT(m.centres, 350);
  EXPECT_TRUE(m.faults.empty()) << listed(m.faults);
}

// An X-ray entry without hydrogens: a proline ring closed by a rebuilt CD
// (placed from the peptide link, then seen again from CG), threonine OG1 on
// a chiral centre, valine and leucine methyls, with every hydrogen added.
TEST(RebuildHand, RingClosureAndChiralBranchesOfAnEntryWithoutHydrogens) {
  const std::set<std::string> drop = {"VAL CG2", "LEU CD2", "THR OG1", "PRO CD"};
  std::string log;
  const Measure m = run_on_copy("1A8O.pdb", drop, 'Y', log);
  // Two of them stand beside a selenomethionine and are left out.
  EXPECT_EQ(m.heavy, 3 + 6 + 6 + 4 - 2)
      << "the valine CG2, leucine CD2, threonine OG1 and proline CD atoms";
  EXPECT_GT(m.rebuilt, 400);
  EXPECT_GT(m.centres, 150);
  EXPECT_TRUE(m.faults.empty()) << listed(m.faults);
}

// The same heavy atoms rebuilt by runs that make no hydrogens ('N') or keep
// only those the model has ('Y', none here): each valine CB and leucine CG
// then has three bonded atoms in the model, and a rebuilt methyl still goes
// to the library's side of it, not into the plane of the other two.
TEST(RebuildHand, HeavyAtomsRebuiltWithoutHydrogensKeepTheLibrarysHand) {
  const std::set<std::string> drop = {"VAL CG2", "LEU CD2", "PHE CZ", "ASN OD1"};
  for (const char h : {'N', 'Y'}) {
    SCOPED_TRACE(std::string("hydrogen flag ") + h);
    std::string log;
    const Measure m = run_on_copy("2BEG.pdb", drop, 'Y', log, h);
    EXPECT_EQ(m.heavy, 25 + 10 + 10 + 5)
        << "every valine CG2, leucine CD2, phenylalanine CZ, asparagine OD1";
    EXPECT_EQ(m.rebuilt, m.heavy) << "no hydrogen made";
    EXPECT_EQ(m.centres, 25 + 10) << "every valine CB and leucine CG, over its three heavy atoms";
    EXPECT_TRUE(m.faults.empty()) << listed(m.faults);
  }
}

// Each residue of a chain alone, a chain of one residue: its start atom
// carries the terminal hydrogens (H, H2, H3 of the amino group) with no
// residue before to set them by, and none may come near a heavy atom other
// than its parent.  The valine alone in every hydrogen mode.
TEST(RebuildHand, ResiduesAloneGetHydrogensClearOfHeavyAtoms) {
  std::string log;
  for (int n = 17; n <= 42; ++n) {
    const std::string key = "A|" + std::to_string(n);
    SCOPED_TRACE(key);
    const Measure m = run_on_copy("2BEG.pdb", {}, 'N', log, 'A', key);
    EXPECT_GT(m.rebuilt, 2) << "at least the three hydrogens of the amino group";
    EXPECT_TRUE(m.faults.empty()) << listed(m.faults);
  }
  for (const char h : {'A', 'N', 'Y'}) {
    SCOPED_TRACE(std::string("valine 18, hydrogen flag ") + h);
    const Measure m = run_on_copy("2BEG.pdb", {}, 'Y', log, h, "A|18");
    EXPECT_EQ(m.rebuilt, h == 'A' ? 12 : 1) << "its hydrogens and the terminal OXT";
    EXPECT_EQ(m.centres, h == 'A' ? 4 : 0) << "CA, CB and the methyl carbons, with their hydrogens";
    EXPECT_TRUE(m.faults.empty()) << listed(m.faults);
  }
}

// The peptide links of a monomer the library lacks come from LINK records,
// with the identity written 1_555: the second pass must see the residue
// before through them, or the H of the next residue's nitrogen, set at a
// chain start without that residue, stays on top of its carbon.  Every
// hydrogen the run adds to the entry has one heavy atom within 1.0 A, its
// parent, at a bond's length; the model read back from the written file.
TEST(RebuildHand, HydrogensBesideLinkedNewMonomersClearOfHeavyAtoms) {
  TempDir dir;
  Options o;
  o.in = pipetest::data("1A8O.pdb");
  o.h = 'A';
  const pipetest::Outcome r = pipetest::run(o, dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  ASSERT_EQ(pipetest::read_coordinates(dir.path() + "/out"), 0);
  auto at = [](int a) {
    return P{atom_crd.xyz_crd(1, a), atom_crd.xyz_crd(2, a), atom_crd.xyz_crd(3, a)};
  };
  auto name = [](int a) {
    const int ir = atom_inf.i_resid(a);
    const std::string num = resid_inf.res_num_pdb(ir).str();
    return trim(resid_inf.res_name(ir).str()) + " " + num.substr(7, 1) + "|" +
           trim(num.substr(2, 5)) + " " + trim(atom_inf.atm_name(a).str());
  };
  std::vector<int> heavy;
  for (int a = 1; a <= atom_inf.n_atom; ++a)
    if (!hydrogen(trim(atom_inf.atm_name(a).str())) && !(atom_inf.atm_type(a) == "M"))
      heavy.push_back(a);
  int hydrogens = 0;
  std::vector<std::string> faults;
  for (int a = 1; a <= atom_inf.n_atom; ++a) {
    if (!(atom_inf.atm_type(a) == "R") || !hydrogen(trim(atom_inf.atm_name(a).str()))) continue;
    ++hydrogens;
    std::vector<std::pair<double, int>> near;
    for (const int h : heavy)
      if (dist(at(a), at(h)) < 1.0) near.push_back({dist(at(a), at(h)), h});
    if (near.size() != 1 || near[0].first < 0.9)
      for (const auto& [d, h] : near)
        faults.push_back(name(a) + " " + std::to_string(d) + " A from " + name(h));
  }
  EXPECT_GT(hydrogens, 600);
  EXPECT_TRUE(faults.empty()) << listed(faults);
}

}  // namespace

// Four sugars of one chain with no LINK records: the glycosidic bonds are
// found by distance, C1 of sugars 1, 2 and 4 to O4 of the next, under a link
// the test library lacks, which deletes no leaving atom.  The O4 of the next
// sugar stands where the missing O1 of each linked C1 would go: the O1 and
// its HO1 are neither rebuilt nor written, and sugar 3, whose C1 is free,
// gets its O1 back.  In every hydrogen mode, read back from the written file.
TEST(RebuildHand, LeavingOxygenOfAGlycosidicLinkFoundByDistanceIsNotRebuilt) {
  for (const char h : {'A', 'N', 'Y'}) {
    SCOPED_TRACE(std::string("hydrogen flag ") + h);
    TempDir dir;
    Options o;
    o.in = pipetest::data("nag_chain.pdb");
    o.h = h;
    o.rflag = 'Y';
    const pipetest::Outcome r = pipetest::run(o, dir.path());
    ASSERT_EQ(r.ierr, 0) << r.out;
    for (const char* sugar : {"1  CC", "2  Ca", "4  Cb"})
      EXPECT_NE(r.out.find(std::string("  ATTENTION: atom:O1   NAG         ") + sugar +
                           "   is replaced by link NAG-NAG\n"),
                std::string::npos)
          << sugar << "\n" << r.out;
    const std::string free_c1 =
        "  ATTENTION: atom:O1   NAG         3  Cc   is missing in the structure\n";
    EXPECT_NE(r.out.find(free_c1), std::string::npos) << r.out;

    ASSERT_EQ(pipetest::read_coordinates(dir.path() + "/out"), 0);
    std::set<std::string> names;
    for (int a = 1; a <= atom_inf.n_atom; ++a) {
      const std::string num = resid_inf.res_num_pdb(atom_inf.i_resid(a)).str();
      names.insert(trim(num.substr(2, 5)) + " " + trim(atom_inf.atm_name(a).str()) + " " +
                   atom_inf.atm_type(a).str());
    }
    for (const char* sugar : {"1", "2", "4"})
      for (const char* atom : {"O1", "HO1"})
        for (const char* type : {"R", "M", "Y", "D"})
          EXPECT_FALSE(names.count(std::string(sugar) + " " + atom + " " + type))
              << "NAG " << sugar << " " << atom << " written as " << type;
    EXPECT_TRUE(names.count("3 O1 R")) << "the free C1's oxygen, rebuilt";

    std::string log;
    const Measure m = run_on_copy("nag_chain.pdb", {}, 'Y', log, h);
    EXPECT_EQ(m.heavy, 0) << "O1 is not in the entry";
    // Each sugar's hydrogens but HO1: gone with the leaving O1, and on sugar
    // 3 left missing, its parent being rebuilt in the same pass.
    EXPECT_EQ(m.rebuilt, h == 'A' ? 1 + 4 * 14 : 1) << "O1 of sugar 3 and the hydrogens";
    EXPECT_TRUE(m.faults.empty()) << listed(m.faults);
  }
}

// A three-connected atom whose ideal coordinates are a little pyramidal is
// no tetrahedral centre: a copy of the test library moves the asparagine's
// CG out of the plane of CB, OD1 and ND2 until its volume is 0.3 A^3 (about
// 7 degrees of bend, the ideal coordinates of a planar amide carbon noisy
// as a hand-made library may have them).  OD1, removed from ASN 27 of 2BEG,
// comes back in the plane of CB, CG and ND2, not at a tetrahedral place.
TEST(RebuildHand, SlightlyPyramidalLibraryAtomRebuildsItsMissingNeighbourInPlane) {
  TempDir dir;
  const std::string lib = dir.path() + "/lib/";
  std::filesystem::copy(pipetest::library(), lib, std::filesystem::copy_options::recursive);
  const std::string asn = file_text(lib + "a/ASN.cif");
  const std::string cb = "ASN  CB    C  CH2    0.000    0.562   -0.588    0.401\n",
                    cg = "ASN  CG    C  C      0.000    1.960   -0.197   -0.002\n",
                    od1 = "ASN  OD1   O  O      0.000    2.132    0.697   -0.804\n",
                    nd2 = "ASN  ND2   N  NH2    0.000    3.019   -0.841    0.527\n";
  for (const std::string& row : {cb, cg, od1, nd2}) ASSERT_NE(asn.find(row), std::string::npos) << row;
  auto at = [](const std::string& row) {
    std::istringstream in(row.substr(30));
    P p;
    in >> p.x >> p.y >> p.z;
    return p;
  };
  const P b = at(cb), o = at(od1), n = at(nd2), c = at(cg);
  const double u[3] = {o.x - b.x, o.y - b.y, o.z - b.z}, v[3] = {n.x - b.x, n.y - b.y, n.z - b.z};
  const double w[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  const double area2 = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
  // CG into the plane of its neighbours, then 0.3 / |w| along the normal.
  const double off = (c.x - b.x) * w[0] / area2 + (c.y - b.y) * w[1] / area2 + (c.z - b.z) * w[2] / area2;
  const double h = 0.3 / area2 - off;
  P moved{c.x + h * w[0] / area2, c.y + h * w[1] / area2, c.z + h * w[2] / area2};
  ASSERT_NEAR(std::fabs(volume(moved, b, o, n)), 0.3, 0.01);
  char row[100];
  std::snprintf(row, sizeof row, "ASN  CG    C  C      0.000 %8.3f %8.3f %8.3f\n", moved.x, moved.y, moved.z);
  std::string changed = asn;
  changed.replace(changed.find(cg), cg.size(), row);
  dir.write("lib/a/ASN.cif", changed);

  const std::string copy = dir.path() + "/lacking.pdb";
  deposited(pipetest::data("2BEG.pdb"), copy, {"ASN OD1"});
  Options opt;
  opt.in = copy;
  opt.lib_dir = lib;
  opt.h = 'N';
  opt.rflag = 'Y';
  const pipetest::Outcome r = pipetest::run(opt, dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  const Model out = written(dir.path() + "/out");
  int seen = 0;
  for (const auto& [key, res] : out) {
    if (res.name != "ASN") continue;
    ASSERT_TRUE(res.atoms.count("OD1")) << key;
    ++seen;
    const P& pb = res.atoms.at("CB");
    const P& pc = res.atoms.at("CG");
    const P& pn = res.atoms.at("ND2");
    const P& po = res.atoms.at("OD1");
    // Distance of OD1 from the plane of CB, CG and ND2.
    const double a[3] = {pc.x - pb.x, pc.y - pb.y, pc.z - pb.z}, e[3] = {pn.x - pb.x, pn.y - pb.y, pn.z - pb.z};
    const double m[3] = {a[1] * e[2] - a[2] * e[1], a[2] * e[0] - a[0] * e[2], a[0] * e[1] - a[1] * e[0]};
    const double len = std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
    const double d = ((po.x - pb.x) * m[0] + (po.y - pb.y) * m[1] + (po.z - pb.z) * m[2]) / len;
    EXPECT_LT(std::fabs(d), 0.15) << key;
    EXPECT_NEAR(dist(po, pc), 1.23, 0.05) << key;
  }
  EXPECT_GT(seen, 0);
}
