// Every real entry of the test data read, written as PDB and as mmCIF, and
// the written file read and written again: each written atom carries the
// coordinate text the entry gave it, to the three decimals written.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "coords/pdb_reader.h"
#include "coords/read_atoms.h"
#include "output/cif_out_atoms.h"
#include "output/pdb_writer.h"
#include "output_fixture.h"

namespace {

bool begins(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

// A coordinate text at three decimals; "" when it is not a number.
std::string at_three(const std::string& t) {
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end == t.c_str()) return "";
  char b[32];
  std::snprintf(b, sizeof b, "%.3f", v);
  return b == std::string("-0.000") ? "0.000" : b;
}

std::string triple(const std::string& x, const std::string& y, const std::string& z) {
  return at_three(x) + " " + at_three(y) + " " + at_three(z);
}

// Coordinates of the atom records of a PDB file up to its second model.
std::vector<std::string> pdb_coordinates(const std::string& path) {
  std::vector<std::string> out;
  int models = 0;
  for (std::string l : outtest::file_lines(path)) {
    if (begins(l, "MODEL") && ++models == 2) break;
    if (!begins(l, "ATOM") && !begins(l, "HETATM")) continue;
    l.resize(80, ' ');
    out.push_back(triple(l.substr(30, 8), l.substr(38, 8), l.substr(46, 8)));
  }
  return out;
}

// Coordinates of the atom-site rows of the first model of an mmCIF file.
std::vector<std::string> cif_coordinates(const std::string& path) {
  std::vector<std::string> out;
  for (const outtest::Loop& l : outtest::cif_loops(outtest::file_lines(path))) {
    const auto col = [&](const char* item) {
      const auto it = std::find(l.items.begin(), l.items.end(), std::string("_atom_site.") + item);
      return it == l.items.end() ? -1 : static_cast<int>(it - l.items.begin());
    };
    const int x = col("Cartn_x"), y = col("Cartn_y"), z = col("Cartn_z");
    if (x < 0 || y < 0 || z < 0) continue;
    const int model = col("pdbx_PDB_model_num");
    const std::size_t n = l.items.size();
    for (std::size_t r = 0; r + n <= l.values.size(); r += n) {
      if (model >= 0 && l.values[r + model] != l.values[model]) break;
      out.push_back(triple(l.values[r + x], l.values[r + y], l.values[r + z]));
    }
  }
  return out;
}

bool is_pdb(const std::string& path) { return path.size() > 4 && path.substr(path.size() - 4) == ".pdb"; }

class EntryRoundTrip : public outtest::Files {
 protected:
  // Reads a PDB or mmCIF file (by its extension); the status, with the
  // statuses of a file read without its cell or space group (6 to 9)
  // counted as read.
  int32_t read(const std::string& path) {
    int32_t e = 0;
    init_atm_inf_(0, e);
    float cell[6] = {0, 0, 0, 0, 0, 0};
    int32_t ierr = 0;
    captured([&] {
      if (is_pdb(path)) {
        get_pdb_(99, path, 0, cell, 'N', 'N', 'N', ierr);
      } else {
        const std::size_t slash = path.rfind('/');
        ierr = 1;
        read_atoms_(99, path.substr(0, slash + 1), path.substr(slash + 1, path.size() - slash - 5),
                    "cif", 0, cell, ierr);
      }
    });
    rt::close_all_units();
    return ierr >= 6 && ierr <= 9 ? 0 : ierr;
  }
  int32_t write(const std::string& name) {
    int32_t ierr = 9;
    captured([&] {
      if (is_pdb(name)) {
        char h = 'Y', seg = 'N';
        rt::FixedText<256> path(""), ext("");
        write_atoms_pdb_(99, h, 'N', seg, path, dir_ + name, ext, ierr);
      } else {
        write_atoms_(99, dir_, name.substr(0, name.size() - 4), "cif", ierr);
      }
    });
    return ierr;
  }
  static std::vector<std::string> coordinates(const std::string& path) {
    return is_pdb(path) ? pdb_coordinates(path) : cif_coordinates(path);
  }
  // The entry read, written as `form`, read again and written again: both
  // written files carry the entry's coordinate text.
  void expect_round_trip(const std::string& entry, const std::string& form) {
    const std::string in = std::string(ORB_TEST_DATA_DIR "/") + entry;
    const std::vector<std::string> want = coordinates(in);
    ASSERT_FALSE(want.empty()) << entry;
    ASSERT_EQ(read(in), 0) << entry;
    for (int pass = 1; pass <= 2; ++pass) {
      const std::string what = entry + " as " + form + " pass " + std::to_string(pass);
      ASSERT_EQ(write(form), 0) << what;
      const std::vector<std::string> got = coordinates(dir_ + form);
      ASSERT_EQ(got.size(), want.size()) << what;
      int bad = 0;
      for (std::size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i] && ++bad <= 3)
          ADD_FAILURE() << what << " atom " << i + 1 << ": " << want[i] << " written as " << got[i];
      EXPECT_EQ(bad, 0) << what;
      ASSERT_EQ(read(dir_ + form), 0) << what;
    }
  }
};

}  // namespace

// Every entry of the shared models with atoms in it.  The shared
// a_structure.cif holds its loops without a data block, which no CIF reader
// takes; its atoms are those of a_structure.pdb.
TEST_F(EntryRoundTrip, RealEntriesKeepTheirCoordinateText) {
  for (const char* entry :
       {"1A8O.pdb", "2BEG.pdb", "1LCD.pdb", "1SSU_mod.pdb", "a_structure.pdb", "disordered.pdb",
        "occupancy.pdb", "cif_1A8O.cif", "cif_2BEG.cif", "cif_1SSU_mod.cif"})
    for (const char* form : {"out.pdb", "out.cif"}) expect_round_trip(entry, form);
}

// Atoms up to 900 A from the origin, in the standard frame of a monoclinic
// cell (kept as read) and in a frame turned and shifted away from that of
// a triclinic cell (converted on the way in and on the way out).
TEST_F(EntryRoundTrip, OwnFramesComeBack) {
  for (const char* entry : {"pdb_monoclinic_frame.pdb", "pdb_rotated_frame.pdb"})
    for (const char* form : {"out.pdb", "out.cif"}) expect_round_trip(entry, form);
}

// Each item outside a loop carries one value, as any CIF reader must find
// it: a date of an entry read without one, or a code with a blank, would
// otherwise split into several.
TEST_F(EntryRoundTrip, WrittenHeaderItemsHoldOneValueEach) {
  for (const char* entry : {"1A8O.pdb", "cif_1A8O.cif", "cif_2BEG.cif", "cif_1SSU_mod.cif"}) {
    ASSERT_EQ(read(std::string(ORB_TEST_DATA_DIR "/") + entry), 0) << entry;
    ASSERT_EQ(write("out.cif"), 0) << entry;
    for (const std::string& line : outtest::file_lines(dir_ + "out.cif")) {
      if (line[0] != '_') continue;
      EXPECT_LE(outtest::cif_words(line).size(), 2u) << entry << ": " << line;
    }
  }
}

// Title and keywords come back whole from the model written and from the
// model written of that one: a title of three PDB records, one in a text
// field longer than a line, keywords of three KEYWDS records, apostrophes
// in both.
TEST_F(EntryRoundTrip, TitleAndKeywordsComeBackWhole) {
  const std::string lac =
      "STRUCTURE OF THE COMPLEX OF LAC REPRESSOR HEADPIECE AND AN 11 BASE-PAIR HALF-OPERATOR DETERMINED BY "
      "NUCLEAR MAGNETIC RESONANCE SPECTROSCOPY AND RESTRAINED MOLECULAR DYNAMICS";
  const struct {
    const char *entry, *keywords;
    std::string title;
  } rows[] = {
      {"1LCD.pdb", "GENE REGULATION/DNA", lac},
      {"cif_1LCD.cif", "GENE REGULATION/DNA, GENE REGULATION-DNA complex", lac},
      {"2BEG.pdb",
       "ALZHEIMER'S, FIBRIL, PROTOFILAMENT, BETA-SANDWICH, QUENCHED HYDROGEN/DEUTERIUM EXCHANGE, "
       "PAIRWISE MUTAGENESIS, PROTEIN FIBRIL",
       "3D STRUCTURE OF ALZHEIMER'S ABETA(1-42) FIBRILS"},
      {"cif_2BEG.cif",
       "alzheimer's, fibril, protofilament, beta-sandwich, quenched hydrogen/deuterium exchange, pairwise "
       "mutagenesis, PROTEIN FIBRIL",
       "3D Structure of Alzheimer's Abeta(1-42) fibrils"},
  };
  for (const auto& r : rows) {
    ASSERT_EQ(read(std::string(ORB_TEST_DATA_DIR "/") + r.entry), 0) << r.entry;
    for (int pass = 0; pass <= 2; ++pass) {
      const std::string what = std::string(r.entry) + " pass " + std::to_string(pass);
      EXPECT_EQ(crst_pdb.cs_title.trimmed(), r.title) << what;
      EXPECT_EQ(crst_pdb.cs_name_pdb.trimmed(), r.keywords) << what;
      if (pass == 2) break;
      ASSERT_EQ(write("out.cif"), 0) << what;
      ASSERT_EQ(read(dir_ + "out.cif"), 0) << what;
    }
  }
}
