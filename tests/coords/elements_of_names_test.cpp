// Elements of atoms whose file gives none, from names written left-justified
// (mmCIF names, and PDB files that write every name from column 13): the
// rule itself at each of its boundaries, and every atom of the real entries
// read once with its element and once without, by both mmCIF roads.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <vector>

#include "cif_test_util.h"
#include "coords/cif_by_pdb_rules.h"
#include "coords/pdb_corrections.h"

namespace {

TEST(ElementOfLeftName, TwoLettersOnlyForIonsMetalSitesAndNamesNoOneLetterReads) {
  const struct {
    const char *label, *name, *res, *want;
  } cases[] = {
      {"alpha carbon", "CA", "ALA", "C"},
      {"calcium ion", "CA", "CA", "CA"},
      {"calcium ion, residue name as PDB columns place it", "CA", " CA", "CA"},
      {"alpha carbon of a residue whose name begins CA", "CA", "CAS", "C"},
      {"iron ion named with its charge", "FE", "FE2", "FE"},
      {"mercury ion", "HG", "HG", "HG"},
      {"serine hydroxyl hydrogen", "HG", "SER", "H"},
      {"lysine hydrogen of three characters", "HE1", "LYS", "H"},
      {"amide hydrogen of four characters", "HD21", "ASN", "H"},
      {"hydrogen name with a digit first", "1HB2", "ALA", "H"},
      {"methionine carbon", "CE", "MSE", "C"},
      {"tryptophan ring nitrogen", "NE1", "TRP", "N"},
      {"histidine ring nitrogen", "ND1", "HIS", "N"},
      {"cadmium ion", "CD", "CD", "CD"},
      {"leucine carbon", "CD1", "LEU", "C"},
      {"sodium ion", "NA", "NA", "NA"},
      {"haem ring nitrogen", "NA", "HEM", "N"},
      {"haem iron", "FE", "HEM", "FE"},
      {"chlorophyll magnesium", "MG", "CLA", "MG"},
      {"zinc ion", "ZN", "ZN", "ZN"},
      {"chloride ion", "CL", "CL", "CL"},
      {"ligand chlorine", "CL1", "LIG", "CL"},
      {"selenium of selenomethionine", "SE", "MSE", "SE"},
      {"sulfur of a methionine under another name", "SD", "MSE", "S"},
      {"alpha phosphorus", "PA", "ATP", "P"},
      {"pair followed by a letter", "FEA", "LIG", "F"},
      {"deuterium", "D11", "LIG", "D"},
      {"lower-case ion", "Zn", "ZN", "ZN"},
      {"name of no letter", "'", "LIG", "'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(pdb::element_of_left_name(c.name, c.res).trimmed(), c.want);
  }
}

// ---------------------------------------------------------------------------
// Real entries with their elements taken away.

// The values of one line of a CIF loop, quoted values with their quotes.
std::vector<std::string> values(const std::string& line) {
  std::vector<std::string> out;
  std::size_t p = 0;
  const auto blank = [&](std::size_t i) {
    return i >= line.size() || line[i] == ' ' || line[i] == '\t';
  };
  while (true) {
    while (p < line.size() && blank(p)) ++p;
    if (p >= line.size()) return out;
    std::size_t e = p + 1;
    if (line[p] == '\'' || line[p] == '"') {
      while (e < line.size() && !(line[e] == line[p] && blank(e + 1))) ++e;
      ++e;
    } else {
      while (!blank(e)) ++e;
    }
    out.push_back(line.substr(p, e - p));
    p = e;
  }
}

// The file with the type_symbol column of its atom-site loop set to "?"
// (`drop` false) or left out (`drop` true), each row on one line; "" when
// the file has no such column.
std::string without_elements(const std::string& text, bool drop) {
  std::istringstream in(text);
  std::string out, line;
  std::vector<std::string> items, row;
  int symbol = -1;
  enum { Outside, Names, Rows } at = Outside;
  bool found = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const bool name = !line.empty() && line[0] == '_';
    if (at == Names && !name) at = symbol >= 0 ? Rows : Outside;
    if (at == Rows && (line.empty() || name || line[0] == '#' || line.rfind("loop_", 0) == 0 ||
                       line.rfind("data_", 0) == 0))
      at = Outside;
    if (line.rfind("loop_", 0) == 0) {
      at = Names;
      items.clear();
      symbol = -1;
    } else if (at == Names) {
      if (line.rfind("_atom_site.type_symbol", 0) == 0) {
        symbol = static_cast<int>(items.size());
        found = true;
        items.push_back(line);
        if (drop) continue;
      } else {
        items.push_back(line);
      }
    } else if (at == Rows) {
      for (std::string& v : values(line)) {
        row.push_back(std::move(v));
        if (row.size() < items.size()) continue;
        for (std::size_t i = 0; i < row.size(); ++i) {
          if (static_cast<int>(i) != symbol) out += row[i] + ' ';
          else if (!drop) out += "? ";
        }
        out += '\n';
        row.clear();
      }
      continue;
    }
    out += line + '\n';
  }
  return found ? out : std::string();
}

// An mmCIF form of the first model of a PDB file, with the elements of its
// element columns; "" when no atom line has them.
std::string cif_of_pdb(const std::string& text) {
  std::string out =
      "data_converted\nloop_\n_atom_site.group_PDB\n_atom_site.id\n_atom_site.type_symbol\n"
      "_atom_site.label_atom_id\n_atom_site.label_alt_id\n_atom_site.label_comp_id\n"
      "_atom_site.label_asym_id\n_atom_site.label_seq_id\n_atom_site.pdbx_PDB_ins_code\n"
      "_atom_site.Cartn_x\n_atom_site.Cartn_y\n_atom_site.Cartn_z\n_atom_site.occupancy\n"
      "_atom_site.B_iso_or_equiv\n_atom_site.auth_seq_id\n_atom_site.auth_asym_id\n"
      "_atom_site.pdbx_PDB_model_num\n";
  std::istringstream in(text);
  std::string line;
  bool any = false;
  int serial = 0;
  const auto field = [](const std::string& l, std::size_t from, std::size_t n) {
    std::string f = l.size() > from ? l.substr(from, n) : "";
    const std::size_t a = f.find_first_not_of(' ');
    if (a == std::string::npos) return std::string();
    return f.substr(a, f.find_last_not_of(' ') - a + 1);
  };
  while (std::getline(in, line)) {
    if (line.rfind("ENDMDL", 0) == 0) break;
    if (line.rfind("ATOM", 0) != 0 && line.rfind("HETATM", 0) != 0) continue;
    if (line.size() < 54) continue;
    std::string element = field(line, 76, 2);
    // Files of the older format number their lines in columns 77-80.
    for (const char c : element)
      if (!std::isalpha(static_cast<unsigned char>(c))) element.clear();
    if (!element.empty()) any = true;
    std::string name = field(line, 12, 4);
    if (name.find('\'') != std::string::npos) name = '"' + name + '"';
    const std::string alt = field(line, 16, 1);
    const std::string chain = field(line, 21, 1);
    const std::string ins = field(line, 26, 1);
    std::string occ = field(line, 54, 6), b = field(line, 60, 6);
    out += (line[0] == 'A' ? "ATOM " : "HETATM ") + std::to_string(++serial) + ' ' +
           (element.empty() ? "?" : element) + ' ' + name + ' ' + (alt.empty() ? "." : alt) + ' ' +
           field(line, 17, 3) + ' ' + (chain.empty() ? "Z" : chain) + " . " +
           (ins.empty() ? "?" : ins) + ' ' + field(line, 30, 8) + ' ' + field(line, 38, 8) + ' ' +
           field(line, 46, 8) + ' ' + (occ.empty() ? "1" : occ) + ' ' + (b.empty() ? "0" : b) +
           ' ' + field(line, 22, 4) + ' ' + (chain.empty() ? "Z" : chain) + " 1\n";
  }
  return any ? out : std::string();
}

struct Elements {
  int32_t status = 0;
  std::vector<std::string> of_atom;
};

class ShelfWithoutElements : public CifFiles {
 protected:
  // The element of every atom of <dir>/<name>.cif as the pipeline's reader
  // (`pdb_rules` false) or the PDB reader's rules read it.
  Elements read_elements(const std::string& name, bool pdb_rules) {
    Elements e;
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    if (pdb_rules) {
      captured([&] { coords::read_cif_by_pdb_rules(99, dir_ + name + ".cif", 'Y', 'N', ierr); });
    } else {
      captured([&] { ierr = read(name); });
    }
    e.status = ierr;
    for (int a = 1; a <= atom_inf.n_atom; ++a)
      e.of_atom.push_back(atom_inf.id_sf(a) > 0
                              ? std::string(crst_crd.cs_element(atom_inf.id_sf(a)).trimmed())
                              : "?");
    rt::close_all_units();
    return e;
  }

  // Reads `text` as given and without its elements, both ways, and checks
  // every atom.
  void check(const std::string& label, const std::string& text, int& atoms) {
    write("given", text);
    for (const bool drop : {false, true}) {
      const std::string bare = without_elements(text, drop);
      if (bare.empty()) return;
      write("bare", bare);
      for (const bool pdb_rules : {false, true}) {
        SCOPED_TRACE(label + (drop ? ", column left out" : ", column ?") +
                     (pdb_rules ? ", PDB rules" : ", atom rows"));
        const Elements want = read_elements("given", pdb_rules);
        const Elements got = read_elements("bare", pdb_rules);
        EXPECT_EQ(got.status, want.status);
        ASSERT_EQ(got.of_atom.size(), want.of_atom.size());
        for (std::size_t a = 0; a < want.of_atom.size(); ++a) {
          const int i = static_cast<int>(a) + 1;
          EXPECT_EQ(got.of_atom[a], want.of_atom[a])
              << "atom " << i << ' ' << atom_inf.atm_name(i).trimmed() << ' '
              << resid_inf.res_name(atom_inf.i_resid(i)).trimmed();
        }
        atoms += static_cast<int>(want.of_atom.size());
      }
    }
  }
};

}  // namespace

// Every mmCIF entry of the test data, and every PDB entry with element
// columns written as mmCIF.
TEST_F(ShelfWithoutElements, EveryAtomOfTheRealEntriesTakesTheElementItsEntryGives) {
  int entries = 0, atoms = 0;
  std::vector<std::filesystem::path> paths;
  for (const char* dir : {ORB_TEST_DATA_DIR, ORB_TEST_DATA_DIR "/peers"})
    for (const auto& f : std::filesystem::directory_iterator(dir))
      if (f.is_regular_file()) paths.push_back(f.path());
  std::sort(paths.begin(), paths.end());
  for (const auto& path : paths) {
    const std::string ext = path.extension().string();
    if (ext != ".cif" && ext != ".pdb") continue;
    // Its element columns hold a docking program's atom type (HD), which no
    // name can give back.
    if (path.filename() == "docking_hd_hydrogens.pdb") continue;
    // Its dummy atoms, written without element by OPM, are of gemmi's
    // unknown element X, which no name gives back.
    if (path.filename() == "opm_dum_gemmi.cif") continue;
    const std::string text = file_text(path.string());
    const std::string cif = ext == ".cif" ? text : cif_of_pdb(text);
    if (cif.empty() || without_elements(cif, false).empty()) continue;
    ++entries;
    check(path.filename().string(), cif, atoms);
  }
  EXPECT_GE(entries, 50);
  EXPECT_GT(atoms, 100000);
}
