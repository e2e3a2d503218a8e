// The model's link table against the largest entries: a generated model
// with more links than the table once held keeps every one of them, through
// the run and a second run on what it wrote; a file with more links than the
// table holds stops the run, which names the limit and leaves no file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/atom_com.h"
#include "model_text.h"
#include "pipeline_fixture.h"

namespace {

using modeltext::Atom;

// Copies of the zinc site of pdb_zinc_two_fold.pdb (a cysteine with a zinc
// 2.298 A from SG), each moved 10 A from the last on a 12 x 12 grid: chain
// A the cysteines 1..n, chain B the zincs 1..n as HETATM records.  No two
// copies come near, so each link joins one SG to its zinc and the walk
// along chain A finds a gap between every two cysteines: 2n - 1 link rows.
std::vector<Atom> zinc_sites(int n) {
  const std::vector<Atom> site = modeltext::atoms_of("pdb_zinc_two_fold.pdb", 'A', 1, 101);
  std::vector<Atom> cys, zn;
  for (int i = 1; i <= n; ++i) {
    const float dx = 10.0f * ((i - 1) % 12), dy = 10.0f * (((i - 1) / 12) % 12),
                dz = 10.0f * ((i - 1) / 144);
    for (Atom a : site) {
      a.x += dx, a.y += dy, a.z += dz;
      a.num = i;
      if (a.res == "ZN") {
        a.chain = "B";
        zn.push_back(a);
      } else {
        a.seq = i;
        cys.push_back(a);
      }
    }
  }
  cys.insert(cys.end(), zn.begin(), zn.end());
  return cys;
}

// The link of each zinc to SG of its cysteine.
std::vector<modeltext::Conn> zinc_links(const std::vector<Atom>& atoms) {
  std::vector<const Atom*> zn, sg;
  for (const Atom& a : atoms) {
    if (a.name == "ZN") zn.push_back(&a);
    if (a.name == "SG") sg.push_back(&a);
  }
  std::vector<modeltext::Conn> out;
  for (std::size_t i = 0; i < zn.size() && i < sg.size(); ++i) out.push_back({zn[i], sg[i]});
  return out;
}

// The ZN-SG bond restraints of a run's restraint file, by the residue
// numbers of their two ends: each zinc must be bonded to its own cysteine.
int zinc_bonds(const std::string& base, int n, int& strays) {
  EXPECT_EQ(pipetest::read_coordinates(base), 0) << base;
  int found = 0;
  strays = 0;
  for (const pipetest::Record& r : pipetest::records(file_text(base + ".rst"))) {
    if (!r.line.starts_with("BOND") || r.names.size() != 2) continue;
    if (!(r.names[0] == "ZN" && r.names[1] == "SG") && !(r.names[0] == "SG" && r.names[1] == "ZN"))
      continue;
    const int a = r.serials[0], b = r.serials[1];
    if (a < 1 || b < 1 || a > atom_inf.n_atom || b > atom_inf.n_atom) {
      ++strays;
      continue;
    }
    const auto number = [](int s) {
      return std::stoi(std::string(resid_inf.res_num_pdb(atom_inf.i_resid(s)).sub(3, 6)));
    };
    if (number(a) == number(b) && number(a) >= 1 && number(a) <= n) ++found;
    else ++strays;
  }
  return found;
}

}  // namespace

// 1100 zinc sites: 1100 links the file gives (LINK records, connection
// rows) and 1099 gaps, more than twice the 1000 rows the table once held,
// and the run's own coordinate file read again.  Every zinc is bonded to
// its cysteine, once, and nothing reports a full table.
TEST(TableSizes, ModelWithMoreLinksThanTheOldTableKeepsThemAll) {
  constexpr int n = 1100;
  const std::vector<Atom> atoms = zinc_sites(n);
  const std::vector<modeltext::Conn> conns = zinc_links(atoms);
  ASSERT_EQ(conns.size(), static_cast<std::size_t>(n));
  std::string links;
  for (const modeltext::Conn& c : conns) links += modeltext::pdb_link(*c.a, *c.b);
  TempDir dir;
  const std::vector<std::string> forms = {
      dir.write("sites.pdb",
                "HEADER    ZINC SITES\n" + links + modeltext::pdb_atoms(atoms) + "END\n"),
      dir.write("sites.cif", modeltext::cif_model(atoms, conns))};
  for (const std::string& f : forms) {
    SCOPED_TRACE(f);
    TempDir first, second;
    const pipetest::Outcome r1 = pipetest::run_model(f, first.path());
    ASSERT_EQ(r1.ierr, 0) << r1.out.substr(0, 2000);
    EXPECT_EQ(r1.out.find("MAXLINK"), std::string::npos);
    int strays = 0;
    EXPECT_EQ(zinc_bonds(first.path() + "/out", n, strays), n);
    EXPECT_EQ(strays, 0);
    const pipetest::Outcome r2 = pipetest::run_model(first.path() + "/out.crd", second.path());
    ASSERT_EQ(r2.ierr, 0) << r2.out.substr(0, 2000);
    EXPECT_EQ(r2.out.find("MAXLINK"), std::string::npos);
    EXPECT_EQ(zinc_bonds(second.path() + "/out", n, strays), n);
    EXPECT_EQ(strays, 0);
  }
}

// One connection row more than the link table holds: the run stops with
// status 1 at the row that does not fit, names the constant to raise, and
// no coordinate, structure or restraint file is left behind.
TEST(TableSizes, FileWithMoreLinksThanTheTableStopsTheRun) {
  std::string text =
      "data_x\nloop_\n_struct_conn.id\n_struct_conn.conn_type_id\n_struct_conn.ptnr1_auth_seq_id\n";
  text.reserve(static_cast<std::size_t>(MAXLINK) * 24);
  for (int i = 1; i <= MAXLINK + 1; ++i)
    text += 'c' + std::to_string(i) + " covale " + std::to_string(i) + "\n";
  const std::string atoms = modeltext::cif_model(zinc_sites(1), {});
  TempDir dir;
  const std::string f = dir.write("over.cif", text + "#\n" + atoms.substr(atoms.find("loop_")));
  const pipetest::Outcome r = pipetest::run_model(f, dir.path());
  EXPECT_EQ(r.stop, 1) << r.out.substr(0, 2000);
  EXPECT_NE(r.out.find("  ERROR: number of links > 200000\n"
                       "         change parameter MAXLINK in atom_com\n"
                       "  ERROR: the run stops: table MAXLINK holds 200000 rows and no more\n"),
            std::string::npos)
      << r.out.substr(0, 2000);
  for (const char* ext : {".crd", ".str", ".rst"})
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/out" + ext)) << ext;
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/new_lib.cif"));
}
