// Real PDB entries read and written back: every atom record equal to the
// entry's in the columns the writer owns, and the written file read again
// giving the same tables; entries of either form read back as the same
// atoms; a hand-made entry with ANISOU records keeps them.
#include <cmath>
#include <string>
#include <vector>

#include "coords/pdb_reader.h"
#include "coords/read_atoms.h"
#include "output/pdb_writer.h"
#include "output_fixture.h"

namespace {

bool begins(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

// The records of these kinds in the first model.
std::vector<std::string> records(const std::vector<std::string>& lines,
                                 std::initializer_list<const char*> kinds) {
  std::vector<std::string> out;
  for (const std::string& l : lines) {
    if (begins(l, "ENDMDL")) break;
    for (const char* k : kinds)
      if (begins(l, k)) out.push_back(l);
  }
  return out;
}

// Columns 13-27 (name, alternate, residue, chain, number and insertion),
// 31-66 (coordinates, occupancy, B) and the element in 77-78.
std::string owned(const std::string& rec) {
  std::string r = rec;
  r.resize(80, ' ');
  return r.substr(12, 15) + "|" + r.substr(30, 36) + "|" + r.substr(76, 2);
}

// What a second read must give again.  The chains and the identifiers that
// the reader makes up for them are left out: the written file has ATOM
// records only, so a chain that the entry split at its HETATM records
// comes back whole.
struct Tables {
  int32_t atoms = 0, residues = 0, links = 0, mods = 0;
  std::vector<std::string> names;
  bool operator==(const Tables&) const = default;
};

Tables tables() {
  Tables t{atom_inf.n_atom, resid_inf.n_residue, link_inf.ln_n, mod_inf.mod_n, {}};
  for (int32_t i = 1; i <= atom_inf.n_atom; ++i)
    t.names.push_back(atom_inf.atm_name(i).str() + resid_inf.res_num_pdb(atom_inf.i_resid(i))(1) +
                      std::string(resid_inf.res_num_pdb(atom_inf.i_resid(i)).sub(3, 7)));
  for (int32_t l = 1; l <= link_inf.ln_n; ++l)
    t.names.push_back(link_inf.ln_id(l).str() + link_inf.ln_atom1(l).str() +
                      link_inf.ln_atom2(l).str());
  for (int32_t m = 1; m <= mod_inf.mod_n; ++m)
    t.names.push_back(mod_inf.mod_rnam(m).str() + mod_inf.mod_id(m).str());
  return t;
}

// A four-character name fills columns 13-16 and is read as the PDB form of
// its entry is read: with an H second after anything but T it is taken for
// a hydrogen name with a prefix, which moves to its end (HH11 gives H11H).
std::string four_character_reading(std::string name) {
  if (name.size() == 4 && name[3] != ' ' && name[1] == 'H' && name[0] != 'T')
    name = name.substr(1) + name[0];
  return name;
}

// Each atom as a reader leaves it: residue number with insertion code,
// residue name, atom name, alternate code and element.
std::vector<std::string> atoms(bool four_as_pdb = false) {
  std::vector<std::string> out;
  for (int32_t i = 1; i <= atom_inf.n_atom; ++i) {
    const int32_t r = atom_inf.i_resid(i);
    const int32_t sf = atom_inf.id_sf(i);
    const std::string alt = atom_inf.id_alt(i) == "." ? " " : atom_inf.id_alt(i).str();
    out.push_back(std::string(resid_inf.res_num_pdb(r).sub(3, 7)) + "|" +
                  std::string(resid_inf.res_name(r).sub(1, 3)) + "|" +
                  (four_as_pdb ? four_character_reading(atom_inf.atm_name(i).str())
                               : atom_inf.atm_name(i).str()) +
                  "|" + alt + "|" + (sf >= 1 ? crst_crd.cs_element(sf).str() : "?"));
  }
  return out;
}

class PdbRoundTrip : public outtest::Files {
 protected:
  // An mmCIF entry; statuses of a file without cell or space group count as read.
  int32_t read_cif(const std::string& path) {
    float cell[6] = {0, 0, 0, 0, 0, 0};
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    const std::size_t slash = path.rfind('/');
    captured([&] {
      read_atoms_(99, path.substr(0, slash + 1), path.substr(slash + 1, path.size() - slash - 5),
                  "cif", 0, cell, ierr);
    });
    rt::close_all_units();
    return ierr >= 7 && ierr <= 9 ? 0 : ierr;
  }
  int32_t read(const std::string& path) {
    float cell[6] = {0, 0, 0, 0, 0, 0};
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    captured([&] { get_pdb_(99, path, 0, cell, 'N', 'N', 'N', ierr); });
    rt::close_all_units();
    return ierr;
  }
  int32_t write(const std::string& name) {
    char h = 'Y', seg = 'N';
    rt::FixedText<256> path(""), ext("");
    int32_t ierr = 9;
    captured([&] { write_atoms_pdb_(99, h, 'N', seg, path, dir_ + name, ext, ierr); });
    return ierr;
  }
};

}  // namespace

TEST_F(PdbRoundTrip, AtomRecordsMatchTheEntry) {
  for (const char* entry : {"1A8O.pdb", "2BEG.pdb", "1LCD.pdb"}) {
    const std::string in = std::string("/work/shared/data/models/") + entry;
    ASSERT_EQ(read(in), 0) << entry;
    const Tables before = tables();
    ASSERT_EQ(write("out.pdb"), 0) << entry;
    const std::vector<std::string> want = records(outtest::file_lines(in), {"ATOM", "HETATM"});
    const std::vector<std::string> got = records(outtest::file_lines(dir_ + "out.pdb"), {"ATOM"});
    ASSERT_EQ(got.size(), want.size()) << entry;
    int bad = 0;
    for (std::size_t i = 0; i < want.size() && bad < 5; ++i)
      if (owned(got[i]) != owned(want[i])) {
        ++bad;
        ADD_FAILURE() << entry << "\n" << want[i] << "\n" << got[i];
      }
    ASSERT_EQ(read(dir_ + "out.pdb"), 0) << entry;
    EXPECT_TRUE(tables() == before) << entry;
  }
}

// U values read as integers over 10000 come back as the same integers.
TEST_F(PdbRoundTrip, AnisouRecordsKeepTheirValues) {
  const std::vector<std::string> lines = {
      "CRYST1   50.000   60.000   70.000  90.00  90.00  90.00 P 1",
      "ATOM      1  N   ALA A   1      11.104   6.134  -6.504  1.00 10.72           N",
      "ANISOU    1  N   ALA A   1     1234   1170   1669    123   -367   -229       N",
      "ATOM      2  CA  ALA A   1      11.639   6.071  -5.147  1.00 11.00           C",
      "ANISOU    2  CA  ALA A   1     1445   1177   1556    -29    -97    291       C",
  };
  std::ofstream(dir_ + "aniso.pdb") << outtest::joined(lines);
  ASSERT_EQ(read(dir_ + "aniso.pdb"), 0);
  ASSERT_EQ(write("out.pdb"), 0);
  const std::vector<std::string> got = records(outtest::file_lines(dir_ + "out.pdb"), {"ANISOU"});
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].substr(28, 42), lines[2].substr(28, 42));
  EXPECT_EQ(got[1].substr(28, 42), lines[4].substr(28, 42));
}

// Entries of both forms written as PDB files and read again: the same atoms
// in the same order, each with its residue number and insertion code, name,
// alternate code and element.  Names kept without their PDB column (as the
// mmCIF reader keeps them) must not turn water hydrogens into oxygens, nor
// OD1, NH1 or OH into hydrogens.
TEST_F(PdbRoundTrip, EntriesOfEitherFormReadBackAsTheSameAtoms) {
  for (const char* entry : {"1LCD.pdb", "cif_1LCD.cif", "1A8O.pdb", "cif_1A8O.cif", "2BEG.pdb",
                            "cif_2BEG.cif", "cif_4CUP.cif", "1a5zA.pdb"}) {
    const std::string in = std::string(ORB_TEST_DATA_DIR "/") + entry;
    const bool cif = in.substr(in.size() - 4) == ".cif";
    const int32_t first = cif ? read_cif(in) : read(in);
    ASSERT_TRUE(first == 0 || first >= 7) << entry << " status " << first;
    const std::vector<std::string> before = atoms(cif);
    ASSERT_EQ(write("out.pdb"), 0) << entry;
    const int32_t st = read(dir_ + "out.pdb");
    EXPECT_TRUE(st == 0 || st >= 7) << entry << " status " << st;
    const std::vector<std::string> after = atoms();
    ASSERT_EQ(after.size(), before.size()) << entry;
    int bad = 0;
    for (std::size_t i = 0; i < before.size() && bad < 5; ++i)
      if (after[i] != before[i]) {
        ++bad;
        ADD_FAILURE() << entry << " atom " << i + 1 << ": " << before[i] << " read back as "
                      << after[i];
      }
  }
}

// Waters numbered on into column 27 are written under the last four digits
// of their number, which read back as the same waters in the same chains.
TEST_F(PdbRoundTrip, WatersPast9999ReadBackAsTheSameWaters) {
  std::vector<std::string> lines = {"CRYST1   50.000   60.000   70.000  90.00  90.00  90.00 P 1"};
  for (int n = 9998; n <= 10002; ++n) {
    char number[8], buf[96];
    std::snprintf(number, sizeof number, n < 10000 ? "%4d " : "%5d", n);
    std::snprintf(buf, sizeof buf,
                  "ATOM  %5d  OH2 HOH  %s   %8.3f   2.000   3.000  1.00 10.00      SOLV O",
                  n - 9997, number, 0.5f * static_cast<float>(n - 9998));
    lines.push_back(buf);
  }
  std::ofstream(dir_ + "waters.pdb") << outtest::joined(lines);
  ASSERT_EQ(read(dir_ + "waters.pdb"), 0);
  ASSERT_EQ(asym_part.n_group, 2);
  const std::vector<std::string> before = atoms();
  ASSERT_EQ(write("out.pdb"), 0);
  ASSERT_EQ(read(dir_ + "out.pdb"), 0);
  EXPECT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(atoms(), before);
  ASSERT_EQ(before.size(), 5u);
  EXPECT_EQ(before[2].substr(0, 5), "   0 ");
}
