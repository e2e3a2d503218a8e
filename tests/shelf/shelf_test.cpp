// Every whole real entry of the test data through both programs: the
// readers of each road read as many atoms as the file's first model holds,
// the dictionary pipeline ends with its status, and orbinate, run as its own
// process, writes its TLS file or ends with the failure its rules give.  A
// reader change that refuses or loses a real entry fails here.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "coords/cif_by_pdb_rules.h"
#include "coords/pdb_reader.h"
#include "coords/read_atoms.h"
#include "foundation/atom_com.h"
#include "pipeline/pipeline_fixture.h"
#include "support/capture.h"
#include "support/temp_dir.h"
#include "prepare_process.h"

namespace {

using shelftest::Ran;
using shelftest::run_orbinate;

bool begins(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

bool is_cif(const std::string& name) {
  return name.size() > 4 && name.substr(name.size() - 4) == ".cif";
}

// Atoms of the file's first model, counted from its lines alone: PDB atom
// records before the first ENDMDL; the rows of the mmCIF atom loop (no value
// holding a blank; a row over one line or several) whose model number is
// that of the first.
int first_model_atoms(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  int n = 0;
  if (!is_cif(path)) {
    while (std::getline(in, line) && !begins(line, "ENDMDL"))
      if (begins(line, "ATOM") || begins(line, "HETATM")) ++n;
    return n;
  }
  std::size_t items = 0, model_item = 0;
  std::string first_model;
  std::vector<std::string> row;
  while (std::getline(in, line)) {
    if (begins(line, "_atom_site.")) {
      if (begins(line, "_atom_site.pdbx_PDB_model_num")) model_item = items + 1;
      ++items;
      continue;
    }
    if (items == 0) continue;
    std::istringstream words(line);
    const std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
    if (w.empty()) continue;
    if (row.empty() && (w[0][0] == '_' || w[0][0] == '#' || w[0] == "loop_")) break;
    row.insert(row.end(), w.begin(), w.end());
    if (row.size() < items) continue;
    const std::string model = model_item == 0 ? "" : row[model_item - 1];
    row.clear();
    if (n == 0) first_model = model;
    if (model == first_model) ++n;
  }
  return n;
}

struct Entry {
  const char* file;
  int32_t pipeline_status;
  const char* pipeline_message;  // a line of the run's output when the status is not 0
  int orbinate_exit;
  const char* orbinate_message;  // the last line orbinate writes when it fails
};

// orbinate's failures are those its rules give: a PDB file without a CRYST1
// record ends with reader status 9.  The test energy library lacks the type
// of the sulphate's sulphur of 3p1u, which the builder needs, and fluorine,
// an element of 4CUP's ligand ZYB.
constexpr Entry kShelf[] = {
    {"1A8O.pdb", 0, "", 0, ""},
    {"cif_1A8O.cif", 0, "", 0, ""},
    {"2BEG.pdb", 0, "", 0, ""},
    {"cif_2BEG.cif", 0, "", 0, ""},
    {"1LCD.pdb", 0, "", 0, ""},
    {"cif_1LCD.cif", 0, "", 0, ""},
    {"1SSU_mod.pdb", 0, "", 1, " Error in reading pdb file: no CRYST1 record (cell and space group)"},
    {"cif_1SSU_mod.cif", 0, "", 0, ""},
    {"cif_4CUP.cif", 1, " ERROR: Energetic library - \"ener_lib.cif\" is incomplete", 0, ""},
    {"1ubi.pdb", 0, "", 0, ""},
    {"3p1u.pdb", 1, " ERROR: Energetic library - \"ener_lib.cif\" is incomplete", 0, ""},
    {"3mht.pdb", 0, "", 1, " Error in reading pdb file: no CRYST1 record (cell and space group)"},
    {"1a5zA.pdb", 0, "", 1, " Error in reading pdb file: no CRYST1 record (cell and space group)"},
    {"1d3z.pdb", 0, "", 0, ""},
    // As other programs write them (peers/README.md).  mdtraj writes no
    // CRYST1 record where the entry has the 1 A cell.
    {"peers/1d3z_mdtraj.pdb", 0, "", 1, " Error in reading pdb file: no CRYST1 record (cell and space group)"},
    {"peers/1ubi_gromacs.pdb", 0, "", 0, ""},
    {"peers/1ubi_gromacs_gemmi.cif", 0, "", 0, ""},
    {"peers/1ubi_gromacs_two_frames.pdb", 0, "", 0, ""},
    {"peers/1ubi_two_frames_box_after.pdb", 0, "", 0, ""},
    {"peers/1ubi_pymol.cif", 0, "", 0, ""},
    {"peers/1a5zA_pymol.cif", 0, "", 0, ""},
    {"peers/1A8O_ssbond_pdb2cif.cif", 0, "", 0, ""},
    {"peers/capped.pdb", 0, "", 0, ""},
    {"peers/capped_pymol.cif", 0, "", 0, ""},
    {"peers/capped_biopython.cif", 0, "", 0, ""},
    {"peers/3mht_A_blank_biopython.cif", 0, "", 0, ""},
    {"peers/1LCD_dna_one_letter_gemmi.cif", 0, "", 0, ""},
    {"peers/aib_no_elements.pdb", 0, "", 0, ""},
    // A data block per model; a MODEL record above the header and again
    // above the atoms.
    {"peers/1d3z_obabel.cif", 0, "", 0, ""},
    {"peers/1d3z_obabel.pdb", 0, "", 0, ""},
};

// The atoms each reader of the entry's form keeps, hydrogens included.
void expect_every_atom_read(const std::string& path, int want) {
  const float no_cell[6] = {0, 0, 0, 0, 0, 0};
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  if (is_cif(path)) {
    ierr = 0;
    captured([&] { read_atoms_(99, "", path, "", 0, no_cell, ierr); });
    rt::close_all_units();
    EXPECT_TRUE(ierr == 0 || ierr == 8) << "mmCIF reader status " << ierr;
    EXPECT_EQ(atom_inf.n_atom, want) << "mmCIF reader";
    init_atm_inf_(0, ierr);
    captured([&] { coords::read_cif_by_pdb_rules(99, path, 'N', 'N', ierr); });
    rt::close_all_units();
    EXPECT_EQ(ierr, 0) << "mmCIF by the PDB reader's rules";
    EXPECT_EQ(atom_inf.n_atom, want) << "mmCIF by the PDB reader's rules";
  } else {
    ierr = 0;
    captured([&] { get_pdb_(99, path, 0, no_cell, 'N', 'N', 'N', ierr); });
    rt::close_all_units();
    EXPECT_TRUE(ierr == 0 || ierr == 9) << "PDB reader status " << ierr;
    EXPECT_EQ(atom_inf.n_atom, want) << "PDB reader";
  }
}

// Both forms of one entry, the second as another program writes it: mmCIF
// without the record kind, label_seq_id ".", labels of the writer's own
// naming, an author chain '' or "." where the PDB form has a blank chain, no
// occupancy, no auth_seq_id; PDB files whose models are numbered from 0 or
// whose atom lines end before the element columns.  Each must give the TLS
// file of its PDB form, byte for byte, and the restraints of its PDB form.
struct FormPair {
  const char* pdb;
  const char* peer;
  // The mmCIF file has no record kind, so a standard residue that the PDB
  // form writes as HETATM (residue 26 of 1d3z) cannot be told from the
  // others: the PDB form is taken with such records as ATOM.
  bool standard_hetatm_as_atom;
  // The writer keeps no chain name (Open Babel's mmCIF), so only the
  // restraints can be compared.
  bool same_groups = true;
};

// The files of peers/ and the programs that wrote them are described in
// peers/README.md.
constexpr FormPair kFormPairs[] = {
    {"1LCD.pdb", "cif_1LCD_gemmi.cif", false},
    {"1d3z.pdb", "cif_1d3z_gemmi.cif", true},
    // Chain A of 3MHT, its ligand and waters, without a chain letter.
    {"3mht_A_blank.pdb", "cif_3mht_A_blank.cif", false},
    {"3mht_A_blank.pdb", "peers/3mht_A_blank_biopython.cif", false},
    // Ten models numbered from 0; the PDB form is the first frame alone.
    {"peers/1d3z_mdtraj_first.pdb", "peers/1d3z_mdtraj.pdb", false},
    {"peers/1ubi_gromacs.pdb", "peers/1ubi_gromacs_gemmi.cif", false},
    // Two frames of a trajectory, each with its own box: the first alone.
    {"peers/1ubi_gromacs.pdb", "peers/1ubi_gromacs_two_frames.pdb", false},
    // The same frames with each box after its model.
    {"peers/1ubi_gromacs.pdb", "peers/1ubi_two_frames_box_after.pdb", false},
    {"1ubi.pdb", "peers/1ubi_pymol.cif", false},
    {"1a5zA.pdb", "peers/1a5zA_pymol.cif", false},
    {"1ubi.pdb", "peers/1ubi_obabel.cif", false, false},
    // Two models of 1d3z, each its own data block, or under its MODEL record
    // written twice: the first model alone.
    {"1d3z.pdb", "peers/1d3z_obabel.cif", true, false},
    {"1d3z.pdb", "peers/1d3z_obabel.pdb", false},
    {"peers/1A8O_ssbond.pdb", "peers/1A8O_ssbond_pdb2cif.cif", false},
    {"peers/capped.pdb", "peers/capped_pymol.cif", false},
    {"peers/capped.pdb", "peers/capped_biopython.cif", false},
    {"peers/1LCD_dna_one_letter.pdb", "peers/1LCD_dna_one_letter_gemmi.cif", false},
    {"pdb_aib.pdb", "peers/aib_no_elements.pdb", false},
    // OpenMM's PDBx writer gives every atom occupancy 0.0; the capsid
    // domain's selenomethionine is built from its atoms.
    {"peers/simulation_tools/2BEG_A.pdb", "peers/simulation_tools/2BEG_A_openmm.cif", false},
    {"peers/simulation_tools/1A8O_mse.pdb", "peers/simulation_tools/1A8O_mse_openmm.cif", false},
    // OpenMM lists each bond of ACE as a connection row, five inside ACE 1,
    // which gemmi writes as LINK records: the residue's own bonds.
    {"peers/simulation_tools/pep3.pdb", "peers/simulation_tools/pep3_openmm.cif", false},
    {"peers/simulation_tools/pep3.pdb", "peers/simulation_tools/pep3_openmm_gemmi.pdb", false},
    // Waters of 4- and 5-site models, with their massless sites (M; M1 and
    // M2), against the same waters without them.
    {"peers/simulation_tools/tip4pew_waters_three_site.pdb",
     "peers/simulation_tools/tip4pew_waters.pdb", false},
    {"peers/simulation_tools/tip4pew_waters_three_site.pdb",
     "peers/simulation_tools/tip4pew_waters_gemmi.cif", false},
    {"peers/simulation_tools/tip5p_waters_three_site.pdb", "peers/simulation_tools/tip5p_waters.pdb",
     false},
    {"peers/simulation_tools/swm4ndp_three_site.pdb", "peers/simulation_tools/swm4ndp_gemmi.pdb",
     false},
    // ParmEd's two forms of a solvated box: its PDB writer cuts TIP3 to
    // TIP, which is water as much as its mmCIF's TIP3.
    {"peers/simulation_tools/1ubi_box_parmed.pdb", "peers/simulation_tools/1ubi_box_parmed.cif",
     false},
    // A capped chain without a chain letter, written as ".".
    {"peers/capped_blank_chain.pdb", "peers/capped_blank_chain_biopython.cif", false},
    // The converter's forms of PDB files without element columns: every
    // type_symbol "?".  1d3z's is compared with the converter's form of the
    // file with its element columns.
    {"1A8O.pdb", "peers/1A8O_no_elements_pdb2cif.cif", false},
    {"peers/1d3z_model1_pdb2cif.cif", "peers/1d3z_model1_no_elements_pdb2cif.cif", false},
    // A histidine under its force-field name inside the chain.
    {"peers/renamed_and_sorted/1ubq.pdb", "peers/renamed_and_sorted/1ubq_hid.pdb", false},
    // The selenomethionines moved after the chain by a sorting program: the
    // chain's pieces differ, its restraints do not.
    {"1A8O.pdb", "peers/renamed_and_sorted/1A8O_pdb_sort.pdb", false, false},
    // Chain caps written as HETATM and bonded by LINK records, against the
    // caps inside their chains without the records.
    {"peers/renamed_and_sorted/2jo4_model1.pdb", "peers/renamed_and_sorted/2jo4_model1_pdb_tocif.cif",
     false},
    // A cystine pair without element columns, its names written from
    // column 13.
    {"peers/cyx_pair.pdb", "peers/cyx_pair_names_from_13.pdb", false},
    // Hydrogens in the names of older files (1HB, 1HD1) and CHARMM's HN.
    {"peers/old_h_names.pdb", "peers/old_h_names_gemmi.cif", false},
    // One-letter RNA with a 5' phosphate.
    {"peers/rna_uag.pdb", "peers/rna_uag_gemmi.cif", false},
    // The same strand under CHARMM's names (URA, ADE, GUA) without a chain
    // letter: one strand of the library's monomers.
    {"peers/rna_uag.pdb", "peers/rna_uag_charmm.pdb", false, false},
    // Two chains' zincs at one number one after the other, as GROMACS and
    // Open Babel write a frame without chain letters: two ligands.
    {"peers/ubi_zn_pair.pdb", "peers/ubi_zn_pair_gmx.pdb", false, false},
    {"peers/ubi_zn_pair.pdb", "peers/ubi_zn_pair_gmx_obabel.cif", false, false},
    // Waters and ligands under the label of the chain before them, no
    // entities (peers/cif_labels/README.md).
    {"peers/cif_labels/1ubq.pdb", "peers/cif_labels/1ubq_pdb_tocif.cif", false},
    {"1ubi.pdb", "peers/cif_labels/1ubi_parmed.cif", false},
    {"3mht.pdb", "peers/cif_labels/3mht_parmed.cif", false},
    // DNA numbered through 0 and from -73, waters wrapped to 0: each
    // chain's range from its lowest number.
    {"peers/1LCD_dna_below_1.pdb", "peers/1LCD_dna_below_1_gemmi.cif", false},
    // OPM's membrane planes, each residue an N and an O at one number: read
    // as atoms apart, restrained by nothing.
    {"peers/opm_dum.pdb", "peers/opm_dum_gemmi.cif", false},
    {"1ubi.pdb", "peers/opm_dum.pdb", false, false},
};

// orbinate refuses a PDB file without a CRYST1 record; the 1 A cell in P 1
// that NMR entries carry is put first in such a file (mdtraj drops that
// cell as a dummy) so that its groups can be compared.
std::string with_cell(const std::string& path, const TempDir& dir, const char* name) {
  if (is_cif(path)) return path;
  const std::string text = file_text(path);
  if (begins(text, "CRYST1") || text.find("\nCRYST1") != std::string::npos) return path;
  std::ofstream(dir.file(name))
      << "CRYST1    1.000    1.000    1.000  90.00  90.00  90.00 P 1           1          \n"
      << text;
  return dir.file(name);
}

#ifdef ORB_PREPARE_MODEL
// The pipeline run as a user runs it, by the example program in a process
// of its own, its files (out.crd, out.str, out.rst) in the directory.
pipetest::Outcome run_prepare(const std::string& path, const TempDir& dir) {
  const std::string cmd = "cd '" + dir.path() + "' && '" + ORB_PREPARE_MODEL + "' '" + path +
                          "' '" + pipetest::library() + "' out >log.txt 2>&1 </dev/null";
  const int w = std::system(cmd.c_str());
  pipetest::Outcome r;
  r.ierr = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
  r.out = file_text(dir.file("log.txt"));
  return r;
}
#endif

// The pipeline's status and its restraints by kind, as the restraint file
// the run wrote holds them (each kind's record begins with its name; a plane
// writes one record an atom under the plane's number).  A bond to another
// cell image is a kind of its own.
std::string restraint_counts(const pipetest::Outcome& p, const TempDir& dir) {
  std::map<std::string, int> n;
  std::set<std::string> planes;
  std::istringstream in(file_text(dir.file("out.rst")));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string kind, number;
    words >> kind >> number;
    if (kind == "PLAN") planes.insert(number);
    else if (kind == "BOND" || kind == "BNDS" || kind == "ANGL" || kind == "TORS" || kind == "CHIR")
      ++n[kind];
  }
  std::ostringstream out;
  out << "status " << p.ierr << ": " << n["BOND"] << " bonds, " << n["BNDS"] << " symmetry bonds, "
      << n["ANGL"] << " angles, " << n["TORS"] << " torsions, " << n["CHIR"] << " chirals, "
      << planes.size() << " planes";
  return out.str();
}

// The PDB file as the mmCIF form without record kinds can know it.
std::string standard_residues_as_atom(const std::string& path, const TempDir& dir) {
  constexpr const char* kStandard[] = {"ALA", "ARG", "ASN", "ASP", "CYS", "GLN", "GLU",
                                       "GLY", "HIS", "ILE", "LEU", "LYS", "MET", "PHE",
                                       "PRO", "SER", "THR", "TRP", "TYR", "VAL"};
  std::istringstream in(file_text(path));
  std::ofstream out(dir.file("as_atom.pdb"));
  std::string line;
  int changed = 0;
  while (std::getline(in, line)) {
    if (begins(line, "HETATM") && line.size() > 20) {
      for (const char* name : kStandard) {
        if (line.compare(17, 3, name) != 0) continue;
        line.replace(0, 6, "ATOM  ");
        ++changed;
      }
    }
    out << line << '\n';
  }
  EXPECT_GT(changed, 0) << "no standard residue written as HETATM in " << path;
  return dir.file("as_atom.pdb");
}

}  // namespace

namespace {

void PrintTo(const FormPair& p, std::ostream* os) { *os << p.pdb << " and " << p.peer; }

// A test of its own for each pair and comparison: each runs a program on
// both forms, which over the whole table takes minutes under the sanitizers.
class FormPairs : public ::testing::TestWithParam<FormPair> {};

}  // namespace

TEST_P(FormPairs, BothFormsOfAnEntryGiveOneTlsFileWhoeverWroteTheFile) {
  const FormPair& p = GetParam();
  if (!p.same_groups) GTEST_SKIP() << "the writer keeps no chain name";
  TempDir edited;
  std::string pdb = pipetest::data(p.pdb);
  if (p.standard_hetatm_as_atom) pdb = standard_residues_as_atom(pdb, edited);
  TempDir from_pdb, from_peer;
  const Ran a = run_orbinate(with_cell(pdb, edited, "pdb_form.pdb"), from_pdb);
  const Ran b = run_orbinate(with_cell(pipetest::data(p.peer), edited, "peer.pdb"), from_peer);
  EXPECT_EQ(a.status, 0) << a.log;
  EXPECT_EQ(b.status, 0) << b.log;
  if (a.status != 0 || b.status != 0) return;
  const std::string want = file_text(from_pdb.file("groups.tls"));
  EXPECT_NE(want.find("TLS\nrange from 1 "), std::string::npos);
  EXPECT_EQ(file_text(from_peer.file("groups.tls")), want);
}

TEST_P(FormPairs, BothFormsOfAnEntryGiveOneSetOfRestraintsWhoeverWroteTheFile) {
  const FormPair& p = GetParam();
  TempDir edited;
  std::string pdb = pipetest::data(p.pdb);
  if (p.standard_hetatm_as_atom) pdb = standard_residues_as_atom(pdb, edited);
  TempDir from_pdb, from_peer;
#ifdef ORB_PREPARE_MODEL
  // Each form run as a user runs it, in a process of its own.
  const pipetest::Outcome a = run_prepare(pdb, from_pdb);
  const pipetest::Outcome b = run_prepare(pipetest::data(p.peer), from_peer);
#else
  const pipetest::Outcome a = pipetest::run_model(pdb, from_pdb.path());
  const pipetest::Outcome b = pipetest::run_model(pipetest::data(p.peer), from_peer.path());
#endif
  const std::string want = restraint_counts(a, from_pdb);
  EXPECT_EQ(a.ierr, 0) << a.out;
  EXPECT_EQ(restraint_counts(b, from_peer), want) << b.out;
}

// Each pair named by its place in the table and its peer file.
INSTANTIATE_TEST_SUITE_P(Shelf, FormPairs, ::testing::ValuesIn(kFormPairs),
                         [](const ::testing::TestParamInfo<FormPair>& row) {
                           std::string name = std::to_string(row.index) + "_";
                           for (const char* c = row.param.peer; *c != '\0'; ++c)
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           return name;
                         });

// Force-field names (HID, HIE, CYX, WAT) inside a chain, written as ATOM
// or, by OpenMM's writer, as HETATM: the chain is one group, as under the
// archive's names, whichever program wrote the file and whatever hydrogens
// it added.  The pipeline restrains the PDBFixer file as the same file with
// HIS written for HIE.
TEST(Shelf, ForceFieldNamesKeepTheChainOneGroup) {
  const std::string dir = "peers/renamed_and_sorted/";
  const struct {
    const char* file;
    const char* standard;  // the file under the archive's names
  } cases[] = {
      {"1ubq_pdb2pqr_amber.pdb", "1ubq.pdb"},
      {"1ubq_hid_pdb_tocif.cif", "1ubq.pdb"},
      {"1ubi_pdbfixer_hie.pdb", "../../1ubi.pdb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TempDir edited, from_standard, from_file;
    const Ran a = run_orbinate(pipetest::data(dir + c.standard), from_standard);
    const Ran b = run_orbinate(with_cell(pipetest::data(dir + c.file), edited, "f.pdb"), from_file);
    ASSERT_EQ(a.status, 0) << a.log;
    ASSERT_EQ(b.status, 0) << b.log;
    EXPECT_EQ(file_text(from_standard.file("groups.tls")),
              "TLS\nrange from 1 AA   to 9999 AA  \n\nTLS\nrange from 1 Aa   to 9999 Aa  \n\n");
    EXPECT_EQ(file_text(from_file.file("groups.tls")), file_text(from_standard.file("groups.tls")));
  }
  TempDir run;
  const Ran l = run_orbinate(pipetest::data(dir + "1a0q_L_1_100_pdb2pqr_amber.pdb"), run);
  ASSERT_EQ(l.status, 0) << l.log;
  EXPECT_EQ(file_text(run.file("groups.tls")), "TLS\nrange from 1 LL   to 9999 LL  \n\n");

  TempDir hie, his;
  std::string text = file_text(pipetest::data(dir + "1ubi_pdbfixer_hie.pdb"));
  int renamed = 0;
  for (std::size_t at = text.find("HETATM"); at != std::string::npos; at = text.find("HETATM", at)) {
    if (text.compare(at + 17, 3, "HIE") == 0) {
      text.replace(at, 6, "ATOM  ");
      text.replace(at + 17, 3, "HIS");
      ++renamed;
    }
    at += 6;
  }
  EXPECT_EQ(renamed, 17);
  std::ofstream(his.file("his.pdb")) << text;
#ifdef ORB_PREPARE_MODEL
  const pipetest::Outcome a = run_prepare(pipetest::data(dir + "1ubi_pdbfixer_hie.pdb"), hie);
  const pipetest::Outcome b = run_prepare(his.file("his.pdb"), his);
#else
  const pipetest::Outcome a = pipetest::run_model(pipetest::data(dir + "1ubi_pdbfixer_hie.pdb"), hie.path());
  const pipetest::Outcome b = pipetest::run_model(his.file("his.pdb"), his.path());
#endif
  EXPECT_EQ(restraint_counts(a, hie), restraint_counts(b, his)) << a.out;
  EXPECT_NE(a.out.find("  Number of chains   :       2\n"), std::string::npos) << a.out;
}

// The restraint rows a run wrote, its block titles (which name each residue
// as the file did) left out; and how many rows of link blocks write 0.000
// as the 1-3 or 1-4 distance and its deviation.
std::string rows_without_titles(const TempDir& dir, int& zero_link_rows) {
  std::istringstream in(file_text(dir.file("out.rst")));
  std::string out, line;
  bool in_link = false;
  zero_link_rows = 0;
  while (std::getline(in, line)) {
    if (begins(line, "# link_")) in_link = true;
    if (begins(line, "# data_restr_")) in_link = false;
    if (begins(line, "# ")) continue;
    if (in_link && begins(line, "   0.000    0.000")) ++zero_link_rows;
    out += line + "\n";
  }
  return out;
}

// A residue under a force-field name (HID, CYX) is described by the
// library's monomer of the name the run gave it: the angle and torsion rows
// of its links hold the distances and deviations that the same rows hold in
// the file under the archive's names.
TEST(Shelf, LinkRowsOfAResidueUnderAForceFieldNameHoldTheStandardDistances) {
  const std::string dir = "peers/renamed_and_sorted/";
  TempDir renamed;
  // pdb2pqr's AMBER names of 1a0q written back as the archive's.
  std::string text = file_text(pipetest::data(dir + "1a0q_L_1_100_pdb2pqr_amber.pdb"));
  int back = 0;
  for (std::size_t at = text.find("\nATOM  "); at != std::string::npos;
       at = text.find("\nATOM  ", at + 1)) {
    const std::string name = text.substr(at + 18, 3);
    if (name == "HID" || name == "HIE" || name == "CYX") {
      text.replace(at + 18, 3, name == "CYX" ? "CYS" : "HIS");
      ++back;
    }
  }
  EXPECT_GT(back, 0);
  std::ofstream(renamed.file("1a0q_standard.pdb")) << text;
  const struct {
    const char* file;
    std::string standard;  // the file under the archive's names
  } cases[] = {
      {"1ubq_hid.pdb", pipetest::data(dir + "1ubq.pdb")},
      {"1a0q_L_1_100_pdb2pqr_amber.pdb", renamed.file("1a0q_standard.pdb")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TempDir from_file, from_standard;
    const pipetest::Outcome a = pipetest::run_model(pipetest::data(dir + c.file), from_file.path());
    const pipetest::Outcome b = pipetest::run_model(c.standard, from_standard.path());
    ASSERT_EQ(a.ierr, 0) << a.out;
    ASSERT_EQ(b.ierr, 0) << b.out;
    int zero_a = -1, zero_b = -1;
    const std::string rows_a = rows_without_titles(from_file, zero_a);
    const std::string rows_b = rows_without_titles(from_standard, zero_b);
    EXPECT_EQ(zero_a, 0);
    EXPECT_EQ(zero_b, 0);
    // The first row that differs, not the whole files.
    std::istringstream in_a(rows_a), in_b(rows_b);
    std::string la, lb;
    for (int line = 1; std::getline(in_a, la) && std::getline(in_b, lb); ++line)
      if (la != lb) {
        ADD_FAILURE() << "row " << line << ":\n" << la << "\n" << lb;
        break;
      }
    EXPECT_EQ(rows_a.size(), rows_b.size());
  }
}

TEST(Shelf, EveryRealEntryIsReadWholeAndRunByBothPrograms) {
  for (const Entry& e : kShelf) {
    SCOPED_TRACE(e.file);
    const std::string path = pipetest::data(e.file);
    const int atoms = first_model_atoms(path);
    EXPECT_GT(atoms, 0);
    if (atoms == 0) continue;
    expect_every_atom_read(path, atoms);

    TempDir dir;
    const pipetest::Outcome p = pipetest::run_model(path, dir.path());
    EXPECT_EQ(p.ierr, e.pipeline_status) << p.out;
    if (e.pipeline_status != 0) {
      EXPECT_NE(p.out.find(e.pipeline_message), std::string::npos) << p.out;
    }

    TempDir run;
    const Ran o = run_orbinate(path, run);
    EXPECT_EQ(o.status, e.orbinate_exit) << o.log;
    if (e.orbinate_exit == 0) {
      EXPECT_NE(file_text(run.file("groups.tls")).find("TLS\nrange from 1 "), std::string::npos);
    } else {
      EXPECT_NE(o.log.find(std::string(e.orbinate_message) + "\n"), std::string::npos) << o.log;
    }
  }
}

namespace {

// The entry's text with the first `from` replaced by `to`, as a file of the
// directory (the entry itself where there is nothing to replace).
std::string edited(const std::string& path, const char* from, const char* to, const TempDir& dir) {
  if (from == nullptr) return path;
  std::string text = file_text(path);
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at == std::string::npos) return path;
  text.replace(at, std::strlen(from), to);
  const std::string name = std::filesystem::path(path).filename().string();
  return dir.write("edited_" + name, text);
}

// 1A8O's second atom line, before which an ANISOU record of the first atom
// goes.
constexpr const char* k1A8OSecondAtom = "HETATM   20  CA  MSE A 151";

}  // namespace

// Real entries spoiled in one place: an mmCIF atom row cut short by three
// values, one opening a quote its line never closes, a PDB coordinate
// holding a NUL byte, a cell length, a SCALE element and an ANISOU
// component of letters, and an anisotropic U too large for its field.
// Both programs refuse each with the reader's status and a message naming
// the fault, and neither leaves an output file.
TEST(Shelf, SpoiledEntriesAreRefusedByBothProgramsWithNothingWritten) {
  const struct {
    const char* file;
    int32_t pipeline_status;
    const char* message;
    const char* from = nullptr;  // the spoiling of the entry, where it is made here
    const char* to = nullptr;
  } spoiled[] = {
      {"cif_1A8O_short_row.cif", 3,
       "  ERROR: atom 301 holds 23 values for 26 items, row at line 1030\n"},
      {"cif_1A8O_open_quote.cif", 3, "  ERROR: CIF_read: unterminated quote in line 1129\n"},
      {"pdb_1A8O_nul.pdb", 1, "  ERROR: wrong number in PDB atom record:\n"},
      {"1A8O.pdb", 1,
       "  ERROR: wrong number in PDB CRYST1 record, line 333: a \"abc\"\n"
       " CRYST1      abc   41.980   88.920  90.00  90.00  90.00 P 43 21 2     8\n",
       "CRYST1   41.980 ", "CRYST1      abc "},
      {"1A8O.pdb", 1, "  ERROR: wrong number in PDB SCALE1 record, line 337: S11 \"abc\"\n",
       "SCALE1      0.023821", "SCALE1         abc"},
      {"1A8O.pdb", 1,
       "  ERROR: wrong number in PDB ANISOU record, line 341: U11 \"abc\"\n"
       " ANISOU   10  N   MSE A 151      abc   2305   2278    -77   -123    164       N\n",
       k1A8OSecondAtom,
       "ANISOU   10  N   MSE A 151      abc   2305   2278    -77   -123    164       N  \n"
       "HETATM   20  CA  MSE A 151"},
      {"cif_4CUP.cif", 3,
       "  ERROR: atom 1: anisotropic U not finite or too large for its field, row at line 1848\n",
       "1   N N   . SER A 1   0.4738 ", "1   N N   . SER A 1   1e38 "},
  };
  for (const auto& s : spoiled) {
    SCOPED_TRACE(std::string(s.file) + (s.from != nullptr ? " edited" : ""));
    TempDir files;
    const std::string path = edited(pipetest::data(s.file), s.from, s.to, files);
    TempDir dir;
    const pipetest::Outcome p = pipetest::run_model(path, dir.path());
    EXPECT_EQ(p.ierr, s.pipeline_status) << p.out;
    EXPECT_NE(p.out.find(s.message), std::string::npos) << p.out;
    for (const char* f : {"out.crd", "out.str", "out.rst", "new_lib.cif"})
      EXPECT_FALSE(std::filesystem::exists(dir.file(f))) << f;

    TempDir run;
    const Ran o = run_orbinate(path, run);
    EXPECT_EQ(o.status, 1) << o.log;
    EXPECT_NE(o.log.find(s.message), std::string::npos) << o.log;
    EXPECT_FALSE(std::filesystem::exists(run.file("groups.tls")));
  }
}

// Records of 1A8O damaged where the reader can pass them over: a SCALE set
// without SCALE3, LINK symmetry codes that name no operator, an ANISOU
// record that names another atom.  Each is read with a warning, and both
// programs give what they give for the entry itself: the pipeline its
// restraints (the peptide link MSE 151 - ASP 152 with its angles, torsion
// and plane among them), orbinate its groups.
TEST(Shelf, RecordsPassedOverGiveTheEntrysOwnRestraintsAndGroups) {
  const struct {
    const char* label;
    const char* from;
    const char* to;
    const char* warning;
  } cases[] = {
      {"SCALE set without SCALE3", "SCALE3      0.000000  0.000000  0.011246        0.00000", "",
       "  WARNING: \"SCALE3\" card is absent in input PDB file\n"
       "           SCALE records not used: the frame of the cell is taken\n"},
      {"LINK code of letters", "N   ASP A 152     1555", "N   ASP A 152     ab55",
       "  WARNING : LINK record symmetry code \"ab55\" names no operator of the space group\n"
       "            link C MSE A 151 - N ASP A 152 is made without it\n"},
      {"LINK code of operator 999", "N   ASP A 152     1555", "N   ASP A 152   999999",
       "  WARNING : LINK record symmetry code \"999999\" names no operator of the space group\n"},
      {"LINK code of operator 0", "N   ASP A 152     1555   1555", "N   ASP A 152     1555 000000",
       "  WARNING : LINK record symmetry code \"000000\" names no operator of the space group\n"},
      {"ANISOU of another atom", k1A8OSecondAtom,
       "ANISOU 9999  XX  ALA Q 999     2269   2305   2278    -77   -123    164       N  \n"
       "HETATM   20  CA  MSE A 151",
       "  WARNING: ANISOU record, line 341, names another atom than the atom record before it; "
       "passed over:\n"},
  };
  const std::string entry = pipetest::data("1A8O.pdb");
  TempDir own, own_run;
  const std::string want = restraint_counts(pipetest::run_model(entry, own.path()), own);
  ASSERT_EQ(
      want,
      "status 0: 563 bonds, 0 symmetry bonds, 761 angles, 274 torsions, 74 chirals, 97 planes");
  ASSERT_EQ(run_orbinate(entry, own_run).status, 0);
  const std::string want_tls = file_text(own_run.file("groups.tls"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir files, dir, run;
    const std::string path = edited(entry, c.from, c.to, files);
    const pipetest::Outcome p = pipetest::run_model(path, dir.path());
    EXPECT_EQ(restraint_counts(p, dir), want) << p.out;
    EXPECT_NE(p.out.find(c.warning), std::string::npos) << p.out;
    const Ran o = run_orbinate(path, run);
    EXPECT_EQ(o.status, 0) << o.log;
    EXPECT_EQ(file_text(run.file("groups.tls")), want_tls);
  }
}

namespace {

// 1d3z in both forms with its models counted from 0, as simulation
// programs (mdtraj, GROMACS, OpenMM) number them: every model number one
// less.
std::string models_from_zero(const std::string& path) {
  std::istringstream in(file_text(path));
  std::string out, line;
  bool rows = false;
  while (std::getline(in, line)) {
    if (begins(line, "MODEL ")) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "MODEL     %4d", std::stoi(line.substr(10, 4)) - 1);
      line = std::string(buf) + line.substr(14);
    } else if (begins(line, "_atom_site.pdbx_PDB_model_num")) {
      rows = true;
    } else if (rows && (line.find_first_not_of(' ') == std::string::npos || begins(line, "#") ||
                        begins(line, "_") || begins(line, "loop_"))) {
      rows = false;
    } else if (rows) {
      // The model number is the last value of the row.
      const std::size_t end = line.find_last_not_of(' ') + 1;
      const std::size_t at = line.find_last_of(' ', end - 1) + 1;
      line = line.substr(0, at) + std::to_string(std::stoi(line.substr(at, end - at)) - 1) +
             line.substr(end);
    }
    out += line + "\n";
  }
  return out;
}

// The TLS file of an orbinate run that must succeed.
std::string tls_file(const std::string& path) {
  TempDir run;
  const Ran r = run_orbinate(path, run);
  EXPECT_EQ(r.status, 0) << r.log;
  return file_text(run.file("groups.tls"));
}

}  // namespace

// Both forms of 1d3z with models 0 to 9: orbinate reads the first model
// only, as from the entry's own files, and writes their TLS file byte for
// byte (with models 0 and 1 read as one, every group came twice).
TEST(Shelf, ModelsCountedFromZeroGiveTheFirstModelsTlsFile) {
  for (const char* entry : {"1d3z.pdb", "cif_1d3z_gemmi.cif"}) {
    SCOPED_TRACE(entry);
    const std::string path = pipetest::data(entry);
    TempDir files, own, from_zero;
    const std::string renumbered = files.write(
        std::string("from_zero") + (is_cif(path) ? ".cif" : ".pdb"), models_from_zero(path));
    const Ran a = run_orbinate(path, own);
    const Ran b = run_orbinate(renumbered, from_zero);
    ASSERT_EQ(a.status, 0) << a.log;
    ASSERT_EQ(b.status, 0) << b.log;
    const std::string want = file_text(own.file("groups.tls"));
    EXPECT_NE(want.find("TLS\nrange from 1 "), std::string::npos);
    EXPECT_EQ(file_text(from_zero.file("groups.tls")), want);
  }
}

namespace {

int groups_in(const std::string& tls) {
  int n = 0;
  for (std::size_t at = tls.find("TLS\n"); at != std::string::npos; at = tls.find("TLS\n", at + 1))
    ++n;
  return n;
}

bool deoxy(const std::string& name) {
  return name == "DA" || name == "DC" || name == "DG" || name == "DT";
}

// 1LCD's DNA under the one-letter names of older files, in the PDB form
// (residue name columns 18-20) and in the peer library's mmCIF (the fifth
// value of an atom row, the rows then written with single blanks).
std::string one_letter_pdb(const TempDir& dir) {
  std::istringstream in(file_text(pipetest::data("1LCD.pdb")));
  std::ofstream out(dir.file("one_letter.pdb"));
  std::string line;
  while (std::getline(in, line)) {
    if ((begins(line, "ATOM") || begins(line, "TER")) && line.size() > 20 &&
        deoxy(line.substr(18, 2)) && line[17] == ' ')
      line.replace(17, 3, std::string("  ") + line[19]);
    out << line << '\n';
  }
  return dir.file("one_letter.pdb");
}

std::string one_letter_cif(const TempDir& dir) {
  std::istringstream in(file_text(pipetest::data("cif_1LCD_gemmi.cif")));
  std::ofstream out(dir.file("one_letter.cif"));
  std::string line;
  bool rows = false;
  while (std::getline(in, line)) {
    if (begins(line, "_atom_site.")) rows = true;
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string v; words >> v;) w.push_back(v);
    if (rows && w.size() > 10 && line[0] != '_' && deoxy(w[4])) {
      w[4] = w[4].substr(1);
      line.clear();
      for (const std::string& v : w) line += (line.empty() ? "" : " ") + v;
    }
    out << line << '\n';
  }
  return dir.file("one_letter.cif");
}

}  // namespace

TEST(Shelf, OneLetterDnaOfAPolymerGivesTheTlsFileOfItsPdbForm) {
  // The mmCIF has no record kind: its entity types make the strands
  // polymers, so their thymidines T stay in them.
  TempDir dir;
  const std::string want = tls_file(one_letter_pdb(dir));
  EXPECT_EQ(groups_in(want), 7);
  EXPECT_EQ(tls_file(one_letter_cif(dir)), want);
}

#ifdef ORB_PREPARE_MODEL
// A solvated model as a simulation program writes it: its 2,000 waters
// TIP3 are waters to the pipeline as much as to orbinate, restrained as the
// same model's waters named HOH are, in one chain rather than one chain each
// (2,000 chains would have stopped the read).
TEST(Shelf, SimulationWatersAreRestrainedAsTheSameWatersNamedHoh) {
  const std::string path = pipetest::data("peers/1ubi_charmm_solvated.pdb");
  TempDir files, as_tip3, as_hoh;
  std::istringstream in(file_text(path));
  std::string line, renamed;
  int waters = 0;
  while (std::getline(in, line)) {
    if (begins(line, "ATOM") && line.compare(17, 4, "TIP3") == 0) {
      line.replace(17, 4, "HOH ");
      ++waters;
    }
    renamed += line + '\n';
  }
  ASSERT_EQ(waters, 6000);
  const std::string hoh = files.write("hoh.pdb", renamed);
  const pipetest::Outcome a = run_prepare(path, as_tip3);
  const pipetest::Outcome b = run_prepare(hoh, as_hoh);
  EXPECT_EQ(a.ierr, 0) << a.out;
  EXPECT_NE(a.out.find("Number of chains   :       7\n"), std::string::npos) << a.out;
  EXPECT_EQ(restraint_counts(a, as_tip3), restraint_counts(b, as_hoh));
  const std::string rst = file_text(as_tip3.file("out.rst"));
  int restrained = 0;
  for (std::size_t at = rst.find("data_restr_HOH"); at != std::string::npos;
       at = rst.find("data_restr_HOH", at + 1))
    ++restrained;
  EXPECT_EQ(restrained, 2000);
}

namespace {

int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

int hoh_blocks(const TempDir& dir) {
  return count_of(file_text(dir.file("out.rst")), "data_restr_HOH");
}

}  // namespace

// The same model with 10,100 waters, numbered past 9999 as simulation
// programs number them (on into column 27, or modulo 10000), written at
// test time: every water is restrained once, the waters after 9999 a chain
// of their own, and the coordinates the run wrote read back to the same
// restraints.
TEST(Shelf, SimulationWatersPast9999AreEachRestrainedAndReadBack) {
  for (const char* numbers : {"five", "wrap"}) {
    SCOPED_TRACE(numbers);
    TempDir files, first, again;
    const std::string path = files.file("solvated.pdb");
    const std::string make = std::string("awk -v waters=10100 -v numbers=") + numbers + " -f '" +
                             pipetest::data("peers/more_waters.awk") + "' '" +
                             pipetest::data("peers/1ubi_charmm_solvated.pdb") + "' >'" + path + "'";
    ASSERT_EQ(std::system(make.c_str()), 0);
    const pipetest::Outcome a = run_prepare(path, first);
    EXPECT_EQ(a.ierr, 0) << a.out;
    EXPECT_NE(a.out.find("Number of chains   :       8\n"), std::string::npos) << a.out;
    EXPECT_EQ(count_of(a.out, " WARNING: water numbers"), 1) << a.out;
    EXPECT_EQ(hoh_blocks(first), 10100);
    const pipetest::Outcome b = run_prepare(first.file("out.crd"), again);
    EXPECT_EQ(b.ierr, 0) << b.out;
    EXPECT_EQ(hoh_blocks(again), 10100);
    EXPECT_EQ(restraint_counts(b, again), restraint_counts(a, first));
  }
}
#endif

#ifdef ORB_PREPARE_MODEL
namespace {

// The files a run of the pipeline wrote, each with its name.
std::map<std::string, std::string> written(const TempDir& dir) {
  std::map<std::string, std::string> out;
  for (const auto& f : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = f.path().filename().string();
    if (name == "log.txt") continue;
    out[name] = file_text(f.path().string());
  }
  return out;
}

}  // namespace

// The files of other programs that the shelf runs only in sequence: each
// ends its run, or is refused, as it does alone (peers/*/README.md).
constexpr const char* kSequenceOnly[] = {
    "peers/cif_labels/1ubi_parmed.cif",
    "peers/cif_labels/1ubq.pdb",
    "peers/cif_labels/1ubq_no_ter_openmm.cif",
    "peers/cif_labels/1ubq_pdb_tocif.cif",
    "peers/cif_labels/3mht_parmed.cif",
    "peers/links/1GVZ_A_cys136_201.pdb",
    "peers/links/1LCD_BC_reres.pdb",
    "peers/links/1ur5_A_cd_sites.pdb",
    "peers/modified_prolines/1AS5_obabel.cif",
    "peers/numbers/1LCD_two_character_chains.pdb",
    "peers/numbers/1ubi_charmm_gui_segments.pdb",
    "peers/numbers/2BEG_pymol.cif",
    "peers/numbers/2jo4_two_models.pdb",
    "peers/numbers/2jo4_two_models_one_after_the_other.pdb",
    "peers/numbers/2jo4_two_models_tidy.pdb",
    "peers/numbers/2jo4_two_models_tidy_tocif.cif",
    "peers/numbers/actin_end_adp_ca.pdb",
    "peers/numbers/author_chain_two_labels.cif",
    "peers/numbers/segment_two_letters.pdb",
    "peers/renamed_and_sorted/1A8O_pdb_sort.pdb",
    "peers/renamed_and_sorted/1a0q_L_1_100_pdb2pqr_amber.pdb",
    "peers/renamed_and_sorted/1ubi_pdbfixer_hie.pdb",
    "peers/renamed_and_sorted/1ubq.pdb",
    "peers/renamed_and_sorted/1ubq_hid.pdb",
    "peers/renamed_and_sorted/1ubq_hid_pdb_tocif.cif",
    "peers/renamed_and_sorted/1ubq_pdb2pqr_amber.pdb",
    "peers/renamed_and_sorted/2jo4_model1.pdb",
    "peers/renamed_and_sorted/2jo4_model1_pdb_tocif.cif",
    "peers/simulation_tools/1A8O_mse.pdb",
    "peers/simulation_tools/1A8O_mse_openmm.cif",
    "peers/simulation_tools/1ubq_pdb2pqr.pqr",
    "peers/simulation_tools/2BEG_A.pdb",
    "peers/simulation_tools/2BEG_A_openmm.cif",
    "peers/simulation_tools/2LZT_apbs.pqr",
    "peers/simulation_tools/tip4pew_waters.pdb",
    "peers/simulation_tools/tip4pew_waters_gemmi.cif",
    "peers/simulation_tools/tip4pew_waters_three_site.pdb",
    "peers/simulation_tools/tip5p_waters.pdb",
    "peers/simulation_tools/tip5p_waters_three_site.pdb",
};

// A program may run the pipeline on one model after another: each run
// writes what the same run writes as the first of its process.  The entries
// whose models leave the most behind (1A8O's peptides, 1LCD's DNA and
// protein) go before a capped chain, whose caps take no connection of the
// reader's, and an mmCIF without B factors; the shelf's entries follow, then
// the files of other programs run only here.  The entries and those files
// are run in slices, a process and a test each, every slice after the same
// first runs: the whole sequence in one process would take minutes under the
// sanitizers.
constexpr int kRunSlices = 5;
class RunsInOneProcess : public ::testing::TestWithParam<int> {};

TEST_P(RunsInOneProcess, EachRunInOneProcessWritesWhatTheFirstRunOfAProcessWrites) {
  std::vector<std::string> order, later;
  for (const char* before : {"1A8O.pdb", "1LCD.pdb"})
    for (const char* then : {before, "peers/capped.pdb", "peers/1ubi_obabel.cif"})
      order.push_back(then);
  for (const Entry& e : kShelf) later.push_back(e.file);
  for (const char* f : kSequenceOnly) later.push_back(f);
  const auto at = [&](int slice) {
    return later.begin() + static_cast<std::ptrdiff_t>(later.size() * slice / kRunSlices);
  };
  order.insert(order.end(), at(GetParam()), at(GetParam() + 1));
  std::map<std::string, std::map<std::string, std::string>> fresh;
  std::map<std::string, int> fresh_status;
  for (const std::string& name : order) {
    SCOPED_TRACE(name);
    const std::string path = pipetest::data(name);
    if (fresh.count(name) == 0) {
      TempDir own;
      const pipetest::Outcome f = run_prepare(path, own);
      fresh[name] = written(own);
      fresh_status[name] = f.ierr;
    }
    TempDir dir;
    pipetest::Options o;
    o.in = path;
    o.prog = "prepare_model";
    const pipetest::Outcome r = pipetest::run(o, dir.path());
    EXPECT_EQ(r.ierr, fresh_status[name]) << r.out;
    const auto files = written(dir);
    for (const auto& [file, text] : fresh[name]) {
      SCOPED_TRACE(file);
      ASSERT_EQ(files.count(file), 1u);
      EXPECT_EQ(files.at(file), text);
    }
    EXPECT_EQ(files.size(), fresh[name].size());
  }
}

INSTANTIATE_TEST_SUITE_P(Shelf, RunsInOneProcess, ::testing::Range(0, kRunSlices));
#endif

// One residue number of a chain held by two residues in different chains
// of the model: SER 91 of 1a5zA split by its O, whose residue name is
// mistyped or holds a byte that is no character, and a microheterogeneity
// (CYS 218 of 1A8O over HETATM SMC 218, at half occupancy each) whose
// alternate codes Open Babel dropped, also as Biopython labels it anew.  Both programs refuse each,
// naming the number; with its alternate codes the microheterogeneity is read, and no link joins the
// two conformers' coinciding atoms.
TEST(Shelf, ResidueNumberHeldByTwoChainsIsRefusedByBothPrograms) {
  const struct {
    const char* file;
    const char* pipeline_line;  // the error line naming the number
    const char* orbinate_line;
  } refused[] = {
      {"peers/1a5zA_sex.pdb", " ERROR: in chain A residue:  91, given 3 times\n",
       " ERROR: in chain A residue:  91, given 3 times\n"},
      {"peers/1a5zA_ctl.pdb", " ERROR: in chain A residue:  91, given 3 times\n",
       " ERROR: in chain A residue:  91, given 3 times\n"},
      {"peers/1A8O_smc_obabel.pdb", " ERROR: in chain A residue: 218, given 2 times\n",
       " ERROR: in chain A residue: 218, given 2 times\n"},
      {"peers/1A8O_smc_obabel.cif", " ERROR: in chain X residue: 218, given 2 times\n",
       " ERROR: in chain X residue: 218, given 2 times\n"},
      {"peers/1A8O_smc_obabel_biopython.cif", " ERROR: in chain A residue: 218, given 2 times\n",
       " ERROR: in chain A residue: 218, given 2 times\n"},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.file);
    const std::string path = pipetest::data(r.file);
    TempDir dir;
    const pipetest::Outcome p = pipetest::run_model(path, dir.path());
    EXPECT_EQ(p.ierr, 6) << p.out;
    EXPECT_NE(p.out.find(std::string(r.pipeline_line) +
                         "        different residues have the same number\n"),
              std::string::npos)
        << p.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.rst")));
    TempDir run;
    const Ran o = run_orbinate(path, run);
    EXPECT_EQ(o.status, 1) << o.log;
    EXPECT_NE(o.log.find(std::string(r.orbinate_line) +
                         "        different residues have the same number\n 6\n"),
              std::string::npos)
        << o.log;
    EXPECT_FALSE(std::filesystem::exists(run.file("groups.tls")));
  }

  const std::string kept = pipetest::data("peers/1A8O_smc.pdb");
  TempDir dir;
  const pipetest::Outcome p = pipetest::run_model(kept, dir.path());
  EXPECT_EQ(p.ierr, 0) << p.out;
  std::istringstream rst(file_text(dir.file("out.rst")));
  int links = 0;
  for (std::string line; std::getline(rst, line);) {
    if (!begins(line, "# link_")) continue;
    ++links;
    EXPECT_FALSE(line.find("CYS______0218") != std::string::npos &&
                 line.find("SMC______0218") != std::string::npos)
        << line;
  }
  EXPECT_GT(links, 0);
  TempDir run;
  EXPECT_EQ(run_orbinate(kept, run).status, 0);
}

#ifdef ORB_PREPARE_MODEL
// 3,000 waters of one chain at each of two numbers, given by turns: both
// programs refuse either form naming each number once with its count, so
// that the log stays far smaller than the file (a line for each pair of
// waters made 720 MB of it).
TEST(Shelf, NumberGivenThousandsOfTimesIsNamedOnceByBothPrograms) {
  std::string pdb = "CRYST1   50.000   50.000   50.000  90.00  90.00  90.00 P 1           1\n";
  std::string cif = "data_W\n_cell.length_a 50\n_cell.length_b 50\n_cell.length_c 50\nloop_\n";
  for (const char* item : {"group_PDB", "id", "type_symbol", "label_atom_id", "label_comp_id",
                           "label_asym_id", "Cartn_x", "Cartn_y", "Cartn_z", "auth_seq_id"})
    cif += std::string("_atom_site.") + item + "\n";
  char row[96];
  for (int i = 1; i <= 6000; ++i) {
    const float x = static_cast<float>(i % 40) * 1.1f, y = static_cast<float>(i / 40) * 1.1f;
    std::snprintf(row, sizeof row, "HETATM%5d  O   HOH A%4d    %8.3f%8.3f   0.000  1.00 20.00\n",
                  i, 2 - i % 2, x, y);
    pdb += row;
    std::snprintf(row, sizeof row, "HETATM %d O O HOH A %.3f %.3f 0 %d\n", i, x, y, 2 - i % 2);
    cif += row;
  }
  TempDir dir;
  for (const auto& [name, text] : {std::pair{"w.pdb", pdb}, std::pair{"w.cif", cif}}) {
    SCOPED_TRACE(name);
    TempDir p, o;
    const pipetest::Outcome rp = run_prepare(dir.write(name, text), p);
    const Ran ro = run_orbinate(dir.file(name), o);
    EXPECT_EQ(rp.ierr, 6);
    EXPECT_EQ(ro.status, 1);
    for (const std::string& log : {rp.out, ro.log}) {
      EXPECT_EQ(count_of(log, " residue:   1, given 3000 times\n        different"), 1) << log;
      EXPECT_EQ(count_of(log, " residue:   2, given 3000 times\n        different"), 1) << log;
      EXPECT_EQ(count_of(log, "different residues have the same number"), 2);
      EXPECT_LT(log.size(), 4000u);
    }
  }
}
#endif

// Open Babel writes each model of 1d3z as a data block of its own: both
// programs read the first block and write what they write from that block
// alone (with every block read, every residue came twice).
TEST(Shelf, DataBlockPerModelGivesWhatTheFirstBlockAloneGives) {
  const std::string path = pipetest::data("peers/1d3z_obabel.cif");
  const std::string text = file_text(path);
  const std::size_t second = text.find("\ndata_", text.find("data_") + 1);
  ASSERT_NE(second, std::string::npos);
  TempDir files;
  const std::string first = files.write("first_block.cif", text.substr(0, second + 1));

  TempDir all_tls, first_tls;
  const Ran a = run_orbinate(path, all_tls);
  const Ran b = run_orbinate(first, first_tls);
  ASSERT_EQ(a.status, 0) << a.log;
  ASSERT_EQ(b.status, 0) << b.log;
  EXPECT_EQ(file_text(all_tls.file("groups.tls")), file_text(first_tls.file("groups.tls")));

  TempDir all_run, first_run;
  const pipetest::Outcome p = pipetest::run_model(path, all_run.path());
  const pipetest::Outcome q = pipetest::run_model(first, first_run.path());
  EXPECT_EQ(p.ierr, 0) << p.out;
  EXPECT_EQ(restraint_counts(p, all_run), restraint_counts(q, first_run));
  EXPECT_EQ(p.nbond, 1237);
}

namespace {

// The whole pipeline on one file, as a user runs it where the build has the
// example program.
pipetest::Outcome run_whole(const std::string& path, const TempDir& dir) {
#ifdef ORB_PREPARE_MODEL
  return run_prepare(path, dir);
#else
  return pipetest::run_model(path, dir.path());
#endif
}

// The restraint records of a written restraint file, without the comment
// lines, which name the residues by the chain labels of the file's form.
std::string restraint_records(const TempDir& dir) {
  std::istringstream in(file_text(dir.file("out.rst")));
  std::string line, out;
  bool records = false;
  while (std::getline(in, line)) {
    records = records || line == "data_restraints";
    if (records && !begins(line, "#")) out += line + "\n";
  }
  return out;
}

}  // namespace

// pdb2pqr's PQR files, and apbs' example, hold each atom's charge where the
// occupancy stands: the pipeline ends with status 1, writes nothing, and
// names the first atom record whose value is below 0; orbinate, whose
// groups take no occupancy, reads them as before (with the cell line that
// a PQR file lacks).
TEST(Shelf, ChargesInTheOccupancyColumnEndThePipelineButNotOrbinate) {
  const struct {
    const char* file;
    const char* error;
  } rows[] = {
      {"peers/simulation_tools/1ubq_pdb2pqr.pqr",
       " ERROR: occupancy below 0 (-0.57) in PDB atom record, line 4: the occupancy column holds "
       "no occupancy (as a PQR file's charges do)\n"
       " ATOM      4  O   MET     1      27.886  26.463   4.263 -0.5713 1.6612\n"},
      {"peers/simulation_tools/2LZT_apbs.pqr",
       " ERROR: occupancy below 0 (-0.32) in PDB atom record, line 1: the occupancy column holds "
       "no occupancy (as a PQR file's charges do)\n"
       " ATOM      1  N   LYS     1       2.967   4.770  13.995 -0.3200 2.0000\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    TempDir dir, edited, tls;
    const pipetest::Outcome r = run_whole(pipetest::data(row.file), dir);
    EXPECT_EQ(r.ierr, 1) << r.out;
    EXPECT_NE(r.out.find(row.error), std::string::npos) << r.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.crd")));
    const Ran o = run_orbinate(with_cell(pipetest::data(row.file), edited, "pqr.pdb"), tls);
    EXPECT_EQ(o.status, 0) << o.log;
    EXPECT_EQ(o.log.find("occupancy"), std::string::npos) << o.log;
    EXPECT_EQ(file_text(tls.file("groups.tls")), "TLS\nrange from 1 XX   to 9999 XX  \n\n");
  }
}

// OpenMM's water-model boxes: each program leaves out the massless sites of
// the waters (M of TIP4P-Ew, M1 and M2 of TIP5P; OM and the Drude site DOH2
// of SWM4-NDP, of gemmi's element X) with one warning counting them, from a
// PDB file and from gemmi's mmCIF alike, and the pipeline restrains each
// water as its O, H1 and H2.
TEST(Shelf, WaterModelSitesAreCountedInOneWarningByBothPrograms) {
  const struct {
    const char* file;
    const char* warning;
    const char* restraints = nullptr;  // the pipeline's, where the row names them
  } rows[] = {
      {"peers/simulation_tools/tip4pew_waters.pdb", " WARNING: 5 massless sites"},
      {"peers/simulation_tools/tip4pew_waters_gemmi.cif", " WARNING: 5 massless sites"},
      {"peers/simulation_tools/tip5p_waters.pdb", " WARNING: 10 massless sites"},
      {"peers/simulation_tools/swm4ndp_gemmi.pdb", " WARNING: 8 massless sites",
       "status 0: 8 bonds, 0 symmetry bonds, 4 angles, 0 torsions, 0 chirals, 0 planes"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const std::string line = std::string(row.warning) +
                             " of water models (M, MW, M1, M2, EP, LP) left out: the waters are "
                             "read as three-site waters\n";
    TempDir dir, tls;
    const pipetest::Outcome r = run_whole(pipetest::data(row.file), dir);
    EXPECT_EQ(r.ierr, 0) << r.out;
    if (row.restraints != nullptr) {
      EXPECT_EQ(restraint_counts(r, dir), row.restraints);
    }
    const Ran o = run_orbinate(pipetest::data(row.file), tls);
    EXPECT_EQ(o.status, 0) << o.log;
    for (const std::string* out : {&r.out, &o.log}) {
      const std::size_t at = out->find(line);
      EXPECT_NE(at, std::string::npos) << *out;
      EXPECT_EQ(out->find("massless", at + line.size()), std::string::npos) << *out;
    }
  }
}

// Residues 44-50 of 1d3z with the hydrogen names of older files, in both
// forms: each name is the same from either reader (1HB of ALA is HB1), and
// the names the library lacks take its own (a methylene's 1HB, 2HB are its
// HB2, HB3; the amide HN is H), so both give one restraint set with every
// hydrogen restrained; one line counts the renamed and names the first,
// and a run on the coordinate file written gives the same restraints.
TEST(Shelf, HydrogensOfOlderNamesGiveOneRestraintSetAndOneWarningInBothForms) {
  TempDir from_pdb, from_cif, from_written;
  const pipetest::Outcome a = run_whole(pipetest::data("peers/old_h_names.pdb"), from_pdb);
  const pipetest::Outcome b = run_whole(pipetest::data("peers/old_h_names_gemmi.cif"), from_cif);
  EXPECT_EQ(a.ierr, 0) << a.out;
  EXPECT_EQ(b.ierr, 0) << b.out;
  const std::string want = restraint_records(from_pdb);
  for (const char* pair :
       {"# CB    HB1\n", "# CB    HB3\n", "# N     H\n", "# CG1   HG13\n", "# CA    HA3\n"})
    EXPECT_NE(want.find(pair), std::string::npos) << pair;
  EXPECT_EQ(restraint_records(from_cif), want);
  // The chain is the file's label: AA from the PDB form, Apol from gemmi's.
  for (const auto& [r, chain] : {std::pair{&a, "AA"}, std::pair{&b, "Apol"}}) {
    const std::string c = chain;
    const std::string line =
        " WARNING : 27 hydrogens of older names take the library's: HN ILE 44 " + c +
        " -> H, HG11 ILE 44 " + c + " -> HG12, HG12 ILE 44 " + c + " -> HG13, HN PHE 45 " + c +
        " -> H, HB1 PHE 45 " + c + " -> HB2, ...\n";
    EXPECT_NE(r->out.find(line), std::string::npos) << r->out;
    EXPECT_EQ(r->out.find("that the library does not name"), std::string::npos) << r->out;
    EXPECT_NE(r->out.find("Number of unknown atoms           :       0\n"), std::string::npos);
  }
  const pipetest::Outcome again = run_whole(from_pdb.file("out.crd"), from_written);
  EXPECT_EQ(again.ierr, 0) << again.out;
  EXPECT_EQ(restraint_records(from_written), want);
  EXPECT_EQ(again.out.find("hydrogens of older names"), std::string::npos) << again.out;
}

// LYS 5 and MET 6 of 1s40 with the hydrogen names of older files written
// from column 14 (" 1HB"), as some programs place every name of a
// one-letter element, and the same lines with those names from column 13:
// one restraint set, every hydrogen restrained, and one TLS file.
TEST(Shelf, HydrogenNamesWithADigitFirstFromColumn14AreThoseFromColumn13) {
  const std::string col14 = pipetest::data("peers/h_col14.pdb");
  std::istringstream in(file_text(col14));
  std::string line, text;
  int moved = 0;
  while (std::getline(in, line)) {
    if (begins(line, "ATOM") && line.compare(12, 1, " ") == 0 && std::isdigit(line[13]) != 0 &&
        line[14] == 'H') {
      line = line.substr(0, 12) + line.substr(13, 3) + " " + line.substr(16);
      ++moved;
    }
    text += line + "\n";
  }
  ASSERT_EQ(moved, 18);
  TempDir files, from14, from13, tls14, tls13;
  const std::string col13 = files.write("h_col13.pdb", text);
  const pipetest::Outcome a = run_whole(col13, from13);
  const pipetest::Outcome b = run_whole(col14, from14);
  EXPECT_EQ(restraint_counts(a, from13),
            "status 0: 38 bonds, 0 symmetry bonds, 68 angles, 10 torsions, 2 chirals, 1 planes");
  EXPECT_EQ(restraint_records(from14), restraint_records(from13)) << b.out;
  EXPECT_NE(b.out.find("Number of unknown atoms           :       0\n"), std::string::npos)
      << b.out;
  const Ran o14 = run_orbinate(col14, tls14), o13 = run_orbinate(col13, tls13);
  EXPECT_EQ(o14.status, 0) << o14.log;
  EXPECT_EQ(file_text(tls14.file("groups.tls")), file_text(tls13.file("groups.tls")));
}

// The same lines as an older writer gives them, the charge columns 79-80
// holding an integer: 0 where the atom has none.  The elements written are
// the file's, the hydrogens that take the library's names included (they
// are renamed after the elements are taken), and no element differs from
// the library's: the coordinate file is the one the lines without charges
// give.
TEST(Shelf, ChargeColumnsOfZerosLeaveTheElementsAsWritten) {
  const std::string plain = pipetest::data("peers/h_col14.pdb");
  std::istringstream in(file_text(plain));
  std::string text;
  int atoms = 0;
  for (std::string line; std::getline(in, line);) {
    if (begins(line, "ATOM")) {
      line = line.substr(0, 78) + " 0";
      ++atoms;
    }
    text += line + "\n";
  }
  ASSERT_EQ(atoms, 39);
  TempDir files, from_plain, from_zeros;
  const std::string zeros = files.write("h_col14_charge_zeros.pdb", text);
  const pipetest::Outcome a = run_whole(plain, from_plain);
  const pipetest::Outcome b = run_whole(zeros, from_zeros);
  EXPECT_EQ(b.ierr, 0) << b.out;
  EXPECT_EQ(b.out.find("different element name"), std::string::npos) << b.out;
  const std::string crd = file_text(from_plain.file("out.crd"));
  EXPECT_NE(crd.find("HB2    . LYS      AA      5 .   23.775  -12.545   -2.411  1.00   0.00 H    ."),
            std::string::npos);
  EXPECT_EQ(file_text(from_zeros.file("out.crd")), crd);
  EXPECT_EQ(restraint_records(from_zeros), restraint_records(from_plain));
}

// One-letter nucleotides in a PDB file and in gemmi's mmCIF of it name one
// monomer a residue in the restraint and coordinate files: the DNA of 1LCD
// as Ad, Cd, Gd, Td (never an RNA name), and RNA (U, A, G of 6ZU5) as Ur,
// Ar, Gr, its 5' phosphate oxygen OP3 as O3T.
TEST(Shelf, OneLetterNucleotidesNameOneMonomerFromEitherForm) {
  // The monomer of each residue as the coordinate file lists the chains'
  // residues, and the restraint blocks' monomers in order.
  const auto monomers = [](const TempDir& dir) {
    std::string crd, rst, last;
    std::istringstream c(file_text(dir.file("out.crd")));
    for (std::string l; std::getline(c, l);) {
      std::istringstream w(l);
      std::string id, name, alt, mon, chain, seq;
      if (!(w >> id >> name >> alt >> mon >> chain >> seq) || std::isdigit(id[0]) == 0) continue;
      if (mon + chain + seq != last) crd += mon + " ";
      last = mon + chain + seq;
      if (name == "O3T" || name == "OP3") crd += name + " ";
    }
    std::istringstream r(file_text(dir.file("out.rst")));
    for (std::string l; std::getline(r, l);)
      if (begins(l, "# data_restr_")) rst += l.substr(13, l.find('_', 13) - 13) + " ";
    return crd + "| " + rst;
  };
  const struct {
    const char *pdb, *cif, *want;
  } pairs[] = {
      {"peers/1LCD_dna_one_letter.pdb", "peers/1LCD_dna_one_letter_gemmi.cif",
       "Ad Ad Td Td Gd Td Gd Ad Gd Cd Gd Cd Gd Cd Td Cd Ad Cd Ad Ad Td Td | Ad Ad Td Td Gd Td Gd "
       "Ad Gd Cd Gd Cd Gd Cd Td Cd Ad Cd Ad Ad Td Td "},
      {"peers/rna_uag.pdb", "peers/rna_uag_gemmi.cif", "Ur O3T Ar Gr | Ur Ar Gr "},
  };
  for (const auto& p : pairs) {
    SCOPED_TRACE(p.cif);
    TempDir from_pdb, from_cif;
    const pipetest::Outcome a = run_whole(pipetest::data(p.pdb), from_pdb);
    const pipetest::Outcome b = run_whole(pipetest::data(p.cif), from_cif);
    EXPECT_EQ(a.ierr, 0) << a.out;
    EXPECT_EQ(b.ierr, 0) << b.out;
    EXPECT_EQ(monomers(from_pdb), p.want);
    EXPECT_EQ(monomers(from_cif), p.want);
    EXPECT_EQ(restraint_records(from_cif), restraint_records(from_pdb));
  }
}

// A run that ends with status 1 because the library does not know an atom
// writes its files and an ERROR line that names the atoms and their
// elements: a serine with a carbon more, and a docking program's receptor
// whose amide hydrogens are HN of element HD (not hydrogen by that symbol).
TEST(Shelf, AtomsTheLibraryDoesNotKnowEndTheRunWithAnErrorLineNamingThem) {
  const struct {
    const char* file;
    const char* error;
  } rows[] = {
      {"peers/ser_extra_atom.pdb",
       " ERROR: 1 atom that the library does not describe is not restrained: "
       "CX SER 20 AA (element C)\n"},
      {"peers/docking_hd_hydrogens.pdb",
       " ERROR: 2 atoms that the library does not describe are not restrained: "
       "HN SER 20 AA (element HD), HN ASP 21 AA (element HD)\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    TempDir dir;
    const pipetest::Outcome r = run_whole(pipetest::data(row.file), dir);
    EXPECT_EQ(r.ierr, 1) << r.out;
    EXPECT_NE(r.out.find(row.error), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("hydrogens that the library does not name"), std::string::npos) << r.out;
    for (const char* f : {"out.crd", "out.str", "out.rst"})
      EXPECT_TRUE(std::filesystem::exists(dir.file(f))) << f;
  }
}

// 1A8O with values of atom 20 (ILE 153 O) and of the cell edited, through
// the pipeline as a user runs it: an x coordinate of letters, or "?" (a
// coordinate has no default), is refused with the reader's status for a
// damaged row and nothing written; the x coordinate and the cell length a
// with their standard uncertainties, and a y coordinate of 17 characters,
// are read as the values they write.
TEST(Shelf, MmcifValueThatIsNoNumberIsRefusedAndOneWithItsUncertaintyIsRead) {
  const std::string entry = file_text(pipetest::data("cif_1A8O.cif"));
  const std::string atom20 = "ATOM   20  O  O   . ILE A 1 3  ? ";
  const std::string cell_a = "_cell.length_a           ";
  const auto edited = [&](const TempDir& dir, const std::string& xy, const std::string& a) {
    std::string text = entry;
    const std::size_t at = text.find(atom20 + "20.214 37.743 ");
    const std::size_t cell = text.find(cell_a + "41.980 ");
    EXPECT_TRUE(at != std::string::npos && cell != std::string::npos);
    // The atom's line first: the cell's stands before it.
    text.replace(at + atom20.size(), 14, xy);
    text.replace(cell + cell_a.size(), 7, a);
    return dir.write("edited.cif", text);
  };
  for (const std::string x : {"abc", "?"}) {
    SCOPED_TRACE(x);
    TempDir files, dir;
    const pipetest::Outcome r = run_whole(edited(files, x + " 37.743 ", "41.980 "), dir);
    EXPECT_EQ(r.ierr, 3) << r.out;
    EXPECT_NE(r.out.find("  ERROR: atom 20: _atom_site.Cartn_x \"" + x +
                         "\" is not a number, row at line 749\n  ERROR: read input file\n"),
              std::string::npos)
        << r.out;
    for (const char* f : {"out.crd", "out.str", "out.rst", "new_lib.cif"})
      EXPECT_FALSE(std::filesystem::exists(dir.file(f))) << f;
  }
  TempDir files, dir;
  const pipetest::Outcome r =
      run_whole(edited(files, "20.214(3) 37.74300000000000 ", "41.980(5) "), dir);
  ASSERT_EQ(r.ierr, 0) << r.out;
  const std::string crd = file_text(dir.file("out.crd"));
  EXPECT_NE(crd.find("\n_cell.length_a       41.980\n"), std::string::npos);
  EXPECT_NE(
      crd.find(
          "\n    20 O      . ILE      AA    153 .   20.214   37.743   23.876  1.00  12.57 O    .\n"),
      std::string::npos)
      << crd.substr(0, 12000);
}

// 1A8O edited as a damaged file would hold it, through both programs: a
// coordinate cut after its exponent, an integer item of letters and an atom
// list without its z coordinates are refused with the reader's status and a
// line naming the atom or the item, and nothing is written; a cell length
// "?" beside the fractionalisation matrix leaves every atom where the file
// puts it (with 0 for it, every atom went to the origin).
TEST(Shelf, DamagedNumbersOrAtomListOf1A8OAreRefusedByBothPrograms) {
  const std::string entry = file_text(pipetest::data("cif_1A8O.cif"));
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = entry;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
  };
  // The atom rows without their 13th value, the z coordinate, and the
  // list without its item.
  const auto without_z = [&] {
    std::istringstream in(replaced("_atom_site.Cartn_z \n", ""));
    std::string out, line;
    while (std::getline(in, line)) {
      if (begins(line, "ATOM") || begins(line, "HETATM")) {
        std::istringstream words(line);
        std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
        w.erase(w.begin() + 12);
        line.clear();
        for (const std::string& x : w) line += x + " ";
      }
      out += line + "\n";
    }
    return out;
  };
  const std::string atom20 = "ATOM   20  O  O   . ILE A 1 ";
  const struct {
    const char* label;
    std::string text;
    const char* message;  // the refusal, or nullptr for a file read
  } rows[] = {
      {"x cut after its exponent", replaced(atom20 + "3  ? 20.214 ", atom20 + "3  ? 20e "),
       "  ERROR: atom 20: _atom_site.Cartn_x \"20e\" is not a number, row at line 749\n"},
      {"sequence number of letters", replaced(atom20 + "3  ? ", atom20 + "abc ? "),
       "  ERROR: atom 20: _atom_site.label_seq_id \"abc\" is not an integer, row at line 749\n"},
      {"author number of letters", replaced("? ? ? ? ? ? 153  ILE A O ", "? ? ? ? ? ? abc  ILE A O "),
       "  ERROR: atom 20: _atom_site.auth_seq_id \"abc\" is not an integer, row at line 749\n"},
      {"no z coordinates", without_z(),
       "  ERROR: the atom list has no item _atom_site.Cartn_z, row at line 729\n"},
      {"cell length a unknown", replaced("_cell.length_a           41.980 ", "_cell.length_a ? "),
       nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir files, dir, run;
    const std::string path = files.write("edited.cif", row.text);
    const pipetest::Outcome p = run_whole(path, dir);
    const Ran o = run_orbinate(path, run);
    if (row.message == nullptr) {
      ASSERT_EQ(p.ierr, 0) << p.out;
      const std::string crd = file_text(dir.file("out.crd"));
      EXPECT_NE(crd.find("\n    20 O      . ILE      AA    153 .   20.214   37.743   23.876  1.00  12.57 O    .\n"),
                std::string::npos)
          << crd.substr(0, 12000);
      EXPECT_EQ(o.status, 0) << o.log;
      EXPECT_EQ(file_text(run.file("groups.tls")), tls_file(pipetest::data("cif_1A8O.cif")));
      continue;
    }
    EXPECT_EQ(p.ierr, 3) << p.out;
    EXPECT_NE(p.out.find(std::string(row.message) + "  ERROR: read input file\n"), std::string::npos)
        << p.out;
    for (const char* f : {"out.crd", "out.str", "out.rst", "new_lib.cif"})
      EXPECT_FALSE(std::filesystem::exists(dir.file(f))) << f;
    EXPECT_EQ(o.status, 1) << o.log;
    EXPECT_NE(o.log.find(row.message), std::string::npos) << o.log;
    EXPECT_FALSE(std::filesystem::exists(run.file("groups.tls")));
  }
}

// A core CIF as the open crystallography databases give it, with no CSD
// code, and also without type symbols: the pipeline reads it by the
// small-molecule road and writes what the same file with a code and its
// type symbols gives (the title aside); orbinate, which reads
// Cartesian atom lists only, refuses both.
TEST(Shelf, CoreCifWithoutCsdCodeIsReadAsTheSameFileWithOne) {
  const std::string head = "data_1000001\n_chemical_formula_sum 'C2 O'\n";
  const std::string body =
      "_symmetry_space_group_name_H-M 'P 21/c'\n_cell_length_a 5.123(2)\n_cell_length_b 6.234(3)\n"
      "_cell_length_c 7.345(4)\n_cell_angle_alpha 90\n_cell_angle_beta 101.5(1)\n_cell_angle_gamma 90\n"
      "loop_\n_atom_type_symbol\n_atom_type_description\nO O\nC C\n"
      "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n"
      "_atom_site_fract_z\n_atom_site_U_iso_or_equiv\n"
      "O1 O 0.1234(3) 0.2345(3) 0.3456(2) 0.0301(5)\nC1 C 0.2500(4) 0.1000(4) 0.4000(3) 0.0280(6)\n"
      "C2 C 0.4000(5) 0.2000(5) 0.5000(4) 0.0350(7)\n";
  // The same without type symbols, as the open databases often give it: the
  // labels tell the elements.
  std::string untyped = body;
  untyped.erase(untyped.find("_atom_site_type_symbol\n"), std::string("_atom_site_type_symbol\n").size());
  for (const char* typed : {"O1 O ", "C1 C ", "C2 C "})
    untyped.replace(untyped.find(typed), 5, std::string(typed, 3));
  TempDir files, with_code, without_code, without_types, run;
  const pipetest::Outcome a =
      run_whole(files.write("coded.cif", head + "_database_code_CSD ABCDEF\n" + body), with_code);
  const pipetest::Outcome b = run_whole(files.write("core.cif", head + body), without_code);
  const pipetest::Outcome c = run_whole(files.write("untyped.cif", head + untyped), without_types);
  ASSERT_EQ(a.ierr, 0) << a.out;
  ASSERT_EQ(b.ierr, 0) << b.out;
  ASSERT_EQ(c.ierr, 0) << c.out;
  const auto untitled = [](std::string text) {
    const std::size_t at = text.find("_struct.title");
    return at == std::string::npos ? text : text.erase(at, text.find('\n', at) - at);
  };
  for (const char* f : {"out.crd", "out.rst"}) {
    EXPECT_EQ(untitled(file_text(without_code.file(f))), untitled(file_text(with_code.file(f)))) << f;
    EXPECT_EQ(untitled(file_text(without_types.file(f))), untitled(file_text(with_code.file(f)))) << f;
  }
  EXPECT_NE(file_text(without_code.file("out.crd")).find(" O1     . C00      AA      1 .    0.126    1.462    2.487"),
            std::string::npos);
  for (const char* f : {"coded.cif", "core.cif"}) {
    const Ran o = run_orbinate(files.file(f), run);
    EXPECT_EQ(o.status, 1) << f << o.log;
  }
}

#ifdef ORB_PREPARE_MODEL
// OpenMM's PDBx writer gives the waters that follow chain A in its topology
// the label A and no entity: they are no part of the chain and stand in a
// chain of their own as in the PDB form, for both programs.
TEST(Shelf, WatersUnderTheChainsLabelAreAChainOfTheirOwn) {
  const std::string path = pipetest::data("peers/cif_labels/1ubq_no_ter_openmm.cif");
  TempDir run;
  const pipetest::Outcome p = run_prepare(path, run);
  EXPECT_EQ(p.ierr, 0) << p.out;
  // The last water was the chain's C-terminus, lacking its OXT.
  EXPECT_EQ(p.out.find("residue: HOH"), std::string::npos) << p.out;
  EXPECT_NE(p.out.find("  Number of chains     :       2\n"), std::string::npos) << p.out;
  const std::string crd = file_text(run.file("out.crd"));
  EXPECT_NE(crd.find("\nAA    AA\nAa    HOH\n"), std::string::npos) << crd.substr(0, 6000);

  TempDir edited, from_pdb, from_cif;
  const Ran a = run_orbinate(pipetest::data("peers/cif_labels/1ubq.pdb"), from_pdb);
  const Ran b = run_orbinate(path, from_cif);
  ASSERT_EQ(a.status, 0) << a.log;
  ASSERT_EQ(b.status, 0) << b.log;
  EXPECT_EQ(groups_in(file_text(from_pdb.file("groups.tls"))), 2);
  EXPECT_EQ(file_text(from_cif.file("groups.tls")), file_text(from_pdb.file("groups.tls")));
}
#endif

// Two models of 2jo4 written as one (one after the other without MODEL
// records; through pdb_tidy and pdb_tocif, every row in model 1) are refused
// by both programs, naming each residue given again, while pdb_tidy's PDB
// file, which keeps its MODEL records, is read as its first model.  The end
// of a CHARMM model of actin, whose last residue and terminal patch share
// a number as do its ligand and ion, is read as four chains by both
// programs, each pair named in a warning, and the patch is linked to the
// chain (peers/numbers/README.md).
TEST(Shelf, TwoModelsWrittenAsOneAreRefusedAndResiduesAtOneNumberApartAreRead) {
  for (const char* file : {"peers/numbers/2jo4_two_models_one_after_the_other.pdb",
                           "peers/numbers/2jo4_two_models_tidy_tocif.cif"}) {
    SCOPED_TRACE(file);
    TempDir dir, run;
    const pipetest::Outcome p = run_whole(pipetest::data(file), dir);
    EXPECT_EQ(p.ierr, 6) << p.out;
    EXPECT_NE(p.out.find(" ERROR: in chain A residue:   1, given 2 times\n        different "
                         "residues have the same number\n"),
              std::string::npos)
        << p.out;
    EXPECT_EQ(count_of(p.out, "different residues have the same number"), 16) << p.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.rst")));
    const Ran o = run_orbinate(pipetest::data(file), run);
    EXPECT_EQ(o.status, 1) << o.log;
    EXPECT_FALSE(std::filesystem::exists(run.file("groups.tls")));
  }

  TempDir tidy, first;
  const pipetest::Outcome a =
      run_whole(pipetest::data("peers/numbers/2jo4_two_models_tidy.pdb"), tidy);
  const pipetest::Outcome b = run_whole(pipetest::data("peers/numbers/2jo4_two_models.pdb"), first);
  EXPECT_EQ(a.ierr, 0) << a.out;
  EXPECT_EQ(restraint_counts(a, tidy), restraint_counts(b, first));

  const std::string actin = pipetest::data("peers/numbers/actin_end_adp_ca.pdb");
  TempDir dir, run;
  const pipetest::Outcome p = run_whole(actin, dir);
  EXPECT_EQ(p.ierr, 0) << p.out;
  const Ran o = run_orbinate(actin, run);
  EXPECT_EQ(o.status, 0) << o.log;
  for (const std::string& out : {p.out, o.log}) {
    EXPECT_NE(out.find(" WARNING: residues PHE and CTE of chain X share number 375: read as two "
                       "residues\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find(" WARNING: residues ADP and CA of chain X share number 1: read as two "
                       "residues\n"),
              std::string::npos)
        << out;
  }
  EXPECT_NE(file_text(dir.file("out.rst"))
                .find("# link_'PHE-CTE '_PHE______0375-_XX  -CTE______0375-_Xa\n"),
            std::string::npos);
  EXPECT_EQ(p.out.find("far from the model"), std::string::npos) << p.out;
  EXPECT_EQ(count_of(file_text(run.file("groups.tls")), "TLS\n"), 4);
}

namespace {

// The file with a TER record before the first atom of segment `seg`.
std::string ter_before_segment(const std::string& path, const std::string& seg,
                               const TempDir& dir) {
  std::istringstream in(file_text(path));
  std::string line, out;
  bool put = false;
  while (std::getline(in, line)) {
    if (!put && begins(line, "ATOM") && line.size() >= 76 && line.compare(72, 4, seg) == 0) {
      out += "TER\n";
      put = true;
    }
    out += line + '\n';
  }
  return dir.write("with_ter.pdb", out);
}

}  // namespace

// Two chains of a file without chain letters told by their segments alone
// (CHARMM-GUI's PROA and PROB, each numbered from 1, HSD and OT1, OT2, no
// TER), and chains named by two characters (gemmi's LA, LB and A, each
// numbered from 1, the waters of LA a water chain apart from those of A
// right before them): both programs read them, the pipeline with the
// restraints of the same model with a TER record between the segments, or
// under one-letter chains (the entry itself), and again from the
// coordinates it wrote (peers/numbers/README.md).
TEST(Shelf, BlankChainSegmentsAndTwoCharacterChainsAreReadByBothPrograms) {
  TempDir files;
  const std::string charmm = pipetest::data("peers/numbers/1ubi_charmm_gui_segments.pdb");
  const struct {
    const char* label;
    std::string path;
    std::string alike;  // a file of the same model read before as it is
    int chains;
  } cases[] = {
      {"segments of a blank chain", charmm, ter_before_segment(charmm, "PROB", files), 7},
      {"chains of two characters", pipetest::data("peers/numbers/1LCD_two_character_chains.pdb"),
       pipetest::data("1LCD.pdb"), 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir, alike, again, run;
    const pipetest::Outcome p = run_whole(c.path, dir);
    EXPECT_EQ(p.ierr, 0) << p.out;
    EXPECT_EQ(count_of(p.out, "different residues have the same number"), 0) << p.out;
    EXPECT_NE(p.out.find("Number of chains   :       " + std::to_string(c.chains) + "\n"),
              std::string::npos)
        << p.out;
    EXPECT_EQ(p.out.find("far from the model"), std::string::npos) << p.out;
    const pipetest::Outcome a = run_whole(c.alike, alike);
    EXPECT_EQ(restraint_counts(p, dir), restraint_counts(a, alike)) << a.out;
    const pipetest::Outcome b = run_whole(dir.file("out.crd"), again);
    EXPECT_EQ(restraint_counts(b, again), restraint_counts(p, dir)) << b.out;
    const Ran o = run_orbinate(c.path, run);
    EXPECT_EQ(o.status, 0) << o.log;
    EXPECT_EQ(count_of(file_text(run.file("groups.tls")), "TLS\n"), c.chains);
  }
}

namespace {

// The file with a TER record before the first atom of chain letter
// `letter`, or without its hydrogen lines (element columns H).
std::string ter_before_letter(const std::string& path, char letter, const TempDir& dir) {
  std::istringstream in(file_text(path));
  std::string line, out;
  bool put = false;
  while (std::getline(in, line)) {
    if (!put && begins(line, "ATOM") && line.size() > 21 && line[21] == letter) {
      out += "TER\n";
      put = true;
    }
    out += line + '\n';
  }
  return dir.write("with_ter.pdb", out);
}

std::string without_hydrogens(const std::string& path, const TempDir& dir) {
  std::istringstream in(file_text(path));
  std::string line, out;
  while (std::getline(in, line))
    if (!(begins(line, "ATOM") && line.size() >= 78 && line.compare(76, 2, " H") == 0))
      out += line + '\n';
  return dir.write("without_h.pdb", out);
}

pipetest::Outcome run_with(const std::string& path, const TempDir& dir, char seg, char h) {
  pipetest::Options o;
  o.in = path;
  o.seg = seg;
  o.h = h;
  return pipetest::run(o, dir.path());
}

}  // namespace

// Read by segments, segment PROA over chain A (1-9) and chain B (1-10),
// then PROB, with no TER record: the letter changing ends a chain, so the
// pipeline restrains what it restrains with a TER record before chain B.
// orbinate's groups by segment are the end-to-end case
// pdb_segment_over_two_chain_letters_without_ter.
TEST(Shelf, SegmentOverTwoChainLettersWithoutTerIsReadBySegments) {
  const std::string path = pipetest::data("peers/numbers/segment_two_letters_no_ter.pdb");
  TempDir files, dir, alike;
  const pipetest::Outcome p = run_with(path, dir, 'Y', 'Y');
  EXPECT_EQ(p.ierr, 0) << p.out;
  EXPECT_EQ(count_of(p.out, "different residues have the same number"), 0) << p.out;
  EXPECT_EQ(p.out.find("far from the model"), std::string::npos) << p.out;
  const pipetest::Outcome a = run_with(ter_before_letter(path, 'B', files), alike, 'Y', 'Y');
  EXPECT_EQ(a.ierr, 0) << a.out;
  EXPECT_EQ(restraint_counts(p, dir), restraint_counts(a, alike));
}

// Pieces of a blank chain parted by TER whose second piece begins with a
// hydrogen (GLY-GLY from H1; a capped peptide twice, from the cap's HH31
// as Amber writes it), each numbered from 1 or numbered on: two chains
// whether the hydrogens are kept (prepare_model) or left out, restrained as
// the same file without its hydrogens.  orbinate's groups are the
// end-to-end cases pdb_ter_before_a_hydrogen* and
// pdb_capped_peptides_from_a_cap_hydrogen.
TEST(Shelf, TerBeforeAHydrogenPartsABlankChainWithHydrogensKeptOrLeftOut) {
  for (const char* file : {"peers/numbers/gly_gly_h1_after_ter.pdb",
                           "peers/numbers/gly_gly_h1_after_ter_numbered_on.pdb",
                           "peers/numbers/capped_twice_cap_hydrogen_first.pdb"}) {
    const std::string path = pipetest::data(file);
    TempDir files;
    const std::string bare = without_hydrogens(path, files);
    for (const char h : {'Y', 'N'}) {
      SCOPED_TRACE(std::string(file) + (h == 'N' ? ", hydrogens left out" : ", hydrogens kept"));
      TempDir dir, alike;
      const pipetest::Outcome p = h == 'Y' ? run_whole(path, dir) : run_with(path, dir, 'N', h);
      EXPECT_EQ(p.ierr, 0) << p.out;
      EXPECT_NE(p.out.find("Number of chains   :       2\n"), std::string::npos) << p.out;
      EXPECT_EQ(p.out.find("far from the model"), std::string::npos) << p.out;
      if (h == 'N') {
        const pipetest::Outcome a = run_with(bare, alike, 'N', 'N');
        EXPECT_EQ(restraint_counts(p, dir), restraint_counts(a, alike)) << a.out;
      }
    }
  }
}

namespace {

// The written atom rows of residue 68 of chain AA, the residue name blanked.
std::string rows_of_residue_68(const std::string& crd) {
  std::string out;
  for (std::string l : pipetest::lines_of(file_text(crd))) {
    const std::size_t at = l.find(" AA     68 ");
    if (l.size() < 60 || at == std::string::npos || at < 8) continue;
    l.replace(at - 8, 8, "        ");
    out += l + "\n";
  }
  return out;
}

}  // namespace

// Every hydrogen rebuilt, HIS 68 of ubiquitin written HID is rebuilt as the
// same residue written HIS: its ring hydrogens HD1 and HE2, whose places the
// model cannot tell, at occupancy 0 (under the force-field name both came
// back whole, a ring protonated twice).
TEST(Shelf, RebuiltRingHydrogensOfAHistidineUnderAForceFieldNameAreUnsureAlike) {
  const std::string dir = "peers/renamed_and_sorted/";
  TempDir from_file, from_standard;
  pipetest::Options o;
  o.h = 'A';
  o.in = pipetest::data(dir + "1ubq_hid.pdb");
  const pipetest::Outcome a = pipetest::run(o, from_file.path());
  o.in = pipetest::data(dir + "1ubq.pdb");
  const pipetest::Outcome b = pipetest::run(o, from_standard.path());
  ASSERT_EQ(a.ierr, 0) << a.out;
  ASSERT_EQ(b.ierr, 0) << b.out;
  const std::string rows = rows_of_residue_68(from_file.file("out.crd"));
  EXPECT_NE(rows.find(" HD1    .          AA     68 .   24.533   37.172   17.929  0.00 "), std::string::npos) << rows;
  EXPECT_NE(rows.find(" HE2    .          AA     68 .   21.130   35.288   16.763  0.00 "), std::string::npos) << rows;
  EXPECT_EQ(rows, rows_of_residue_68(from_standard.file("out.crd")));
}

namespace {

// `text` (a file of the archive, a "#" line after each category) with the
// named categories taken out and put after the atom list, in their order.
std::string categories_after_atoms(const std::string& text, const std::set<std::string>& moved) {
  std::vector<std::string> chunks(1);
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    chunks.back() += line + "\n";
    if (begins(line, "#")) chunks.emplace_back();
  }
  const auto category = [](const std::string& chunk) {
    std::istringstream lines(chunk);
    for (std::string l; std::getline(lines, l);)
      if (begins(l, "_") && l.find('.') != std::string::npos) return l.substr(0, l.find('.'));
    return std::string();
  };
  std::string out, after;
  for (const std::string& c : chunks)
    if (moved.count(category(c)) != 0) after += c;
  for (const std::string& c : chunks) {
    if (moved.count(category(c)) != 0) continue;
    out += c;
    if (category(c) == "_atom_site") out += after;
  }
  return out;
}

}  // namespace

// CIF gives the categories of a block no order: the archive's 1A8O and 1AS5
// with their entry values, cell, space group, fractionalisation matrix,
// scattering types and connection rows after the atom list (as ChimeraX and
// Open Babel write them) give the written files and the TLS file of the
// archive's order, byte for byte: its cell (41.98 A, P 43 21 2 for 1A8O)
// and its links (1AS5's ARG-NH2 and hydroxyproline links).
TEST(Shelf, HeaderCategoriesAfterTheAtomsGiveWhatTheArchivesOrderGives) {
  const std::set<std::string> moved = {"_entry", "_cell", "_symmetry", "_struct_conn", "_struct",
                                       "_struct_keywords", "_refine", "_reflns", "_atom_sites",
                                       "_atom_type", "_database_2"};
  for (const char* entry : {"cif_1A8O.cif", "cif_1AS5.cif"}) {
    SCOPED_TRACE(entry);
    const std::string path = pipetest::data(entry);
    TempDir files, archive, after, archive_tls, after_tls;
    const std::string text = file_text(path);
    const std::string reordered = categories_after_atoms(text, moved);
    ASSERT_GT(reordered.find("_cell.length_a"), reordered.find("_atom_site.id"));
    ASSERT_GT(reordered.find("_struct_conn.id"), reordered.find("_atom_site.id"));
    const std::string moved_path = files.write("after.cif", reordered);
    const pipetest::Outcome a = run_whole(path, archive);
    const pipetest::Outcome b = run_whole(moved_path, after);
    ASSERT_EQ(a.ierr, 0) << a.out;
    ASSERT_EQ(b.ierr, 0) << b.out;
    for (const char* f : {"out.crd", "out.rst"})
      EXPECT_EQ(file_text(after.file(f)), file_text(archive.file(f))) << f;
    const Ran o = run_orbinate(path, archive_tls);
    const Ran p = run_orbinate(moved_path, after_tls);
    ASSERT_EQ(o.status, 0) << o.log;
    ASSERT_EQ(p.status, 0) << p.log;
    EXPECT_EQ(file_text(after_tls.file("groups.tls")), file_text(archive_tls.file("groups.tls")));
    EXPECT_EQ(p.log.find("WARNING: CELL"), std::string::npos) << p.log;
  }
  TempDir run;
  run_whole(pipetest::data("cif_1A8O.cif"), run);
  EXPECT_NE(file_text(run.file("out.crd")).find("_cell.length_a       41.980"), std::string::npos);
}

// A space group written blank, as a model without CRYST1 comes out of a
// converter ('' and no number), or "?": both programs, as users run them,
// read the file as the same file without the items, in P 1 with the
// warning, and write what they write for it, byte for byte.
TEST(Shelf, SpaceGroupNotGivenIsReadAsOneWithoutTheItem) {
  const std::string text = file_text(pipetest::data("cif_1A8O.cif"));
  const std::string name = "_symmetry.space_group_name_H-M             'P 43 21 2' \n";
  const std::string number = "_symmetry.Int_Tables_number                ? \n";
  ASSERT_NE(text.find(name), std::string::npos);
  ASSERT_NE(text.find(number), std::string::npos);
  const auto replaced = [&](const std::string& with) {
    std::string t = text;
    t.replace(t.find(name), name.size(), with);
    return t;
  };
  TempDir files, none, none_tls;
  const std::string none_path = files.write("none.cif", [&] {
    std::string t = replaced("");
    t.erase(t.find(number), number.size());
    return t;
  }());
  const pipetest::Outcome a = run_whole(none_path, none);
  const Ran o = run_orbinate(none_path, none_tls);
  const std::string warning = "  WARNING: space group number and name are missing, default : P1\n";
  ASSERT_NE(a.out.find(warning), std::string::npos) << a.out;
  ASSERT_NE(o.log.find(warning), std::string::npos) << o.log;
  EXPECT_NE(file_text(none.file("out.crd")).find("_symmetry.space_group_name_H-M  'P 1'"), std::string::npos);
  for (const char* value : {"''", "?"}) {
    SCOPED_TRACE(value);
    TempDir run, tls;
    const std::string path = files.write("given.cif", replaced("_symmetry.space_group_name_H-M " +
                                                              std::string(value) + "\n"));
    const pipetest::Outcome b = run_whole(path, run);
    EXPECT_EQ(b.ierr, a.ierr);
    EXPECT_NE(b.out.find(warning), std::string::npos) << b.out;
    for (const char* f : {"out.crd", "out.str", "out.rst"})
      EXPECT_EQ(file_text(run.file(f)), file_text(none.file(f))) << f;
    const Ran p = run_orbinate(path, tls);
    EXPECT_EQ(p.status, o.status);
    EXPECT_NE(p.log.find(warning), std::string::npos) << p.log;
    EXPECT_EQ(file_text(tls.file("groups.tls")), file_text(none_tls.file("groups.tls")));
  }
}

// The PDB form: a CRYST1 record whose group columns hold "?" or "." is read
// as one whose group columns are blank, in P 1 with its warning, and the
// disulfide to a copy that P 1 does not have is warned of, not made.
TEST(Shelf, PdbGroupColumnsNotGivenAreReadAsBlankOnes) {
  std::string text = file_text(pipetest::data("peers/1A8O_ssbond.pdb"));
  // The group columns 56-66 of the CRYST1 record.
  const std::size_t group = text.find("\nCRYST1") + 56;
  const std::string copy = "CYS A  218" + std::string(45, ' ');
  ASSERT_EQ(text.compare(group, 11, "P 43 21 2  "), 0);
  ASSERT_NE(text.find(copy), std::string::npos);
  // Columns 60-65 and 67-72: the first partner as given, the second in the copy of the
  // second operator.
  text.replace(text.find(copy), copy.size(),
               "CYS A  218" + std::string(24, ' ') + "  1555   2555" + std::string(8, ' '));
  const auto with_group = [&](const std::string& g) {
    std::string t = text;
    t.replace(group, 11, g);
    return t;
  };
  TempDir files, blank, blank_tls;
  const std::string blank_path = files.write("blank.pdb", with_group(std::string(11, ' ')));
  const pipetest::Outcome a = run_whole(blank_path, blank);
  const Ran o = run_orbinate(blank_path, blank_tls);
  ASSERT_NE(a.out.find("link SG A 198 - SG A 218 is not made"), std::string::npos) << a.out;
  for (const char* value : {"?          ", ".          "}) {
    SCOPED_TRACE(value);
    TempDir run, tls;
    const std::string path = files.write("given.pdb", with_group(value));
    const pipetest::Outcome b = run_whole(path, run);
    EXPECT_EQ(b.ierr, a.ierr);
    EXPECT_NE(b.out.find("default space group \"P 1\""), std::string::npos) << b.out;
    for (const char* f : {"out.crd", "out.rst"})
      EXPECT_EQ(file_text(run.file(f)), file_text(blank.file(f))) << f;
    const Ran p = run_orbinate(path, tls);
    EXPECT_EQ(p.status, o.status);
    EXPECT_NE(p.log.find("default space group \"P 1\""), std::string::npos) << p.log;
    EXPECT_EQ(file_text(tls.file("groups.tls")), file_text(blank_tls.file("groups.tls")));
  }
}

// A header-only data block before the model's (its cell and a connection
// row joining two atoms of the model) reaches nothing of the model: the
// file gives what the model's block alone gives, default cell named.
TEST(Shelf, EachDataBlockIsReadAfresh) {
  const std::string path = pipetest::data("cif_one_row_pairs.cif");
  const std::string text = file_text(path);
  std::string model = text;
  for (const char* drop : {"_cell.", "_symmetry."})
    for (std::size_t at; (at = model.find(std::string("\n") + drop)) != std::string::npos;)
      model.erase(at + 1, model.find('\n', at + 1) - at);
  const std::string before =
      "data_other\n_cell.length_a 30\n_cell.length_b 30\n_cell.length_c 30\n_cell.angle_alpha 90\n"
      "_cell.angle_beta 90\n_cell.angle_gamma 90\n_symmetry.space_group_name_H-M 'P 1'\n"
      "loop_\n_struct_conn.id\n_struct_conn.conn_type_id\n_struct_conn.ptnr1_label_asym_id\n"
      "_struct_conn.ptnr1_label_comp_id\n_struct_conn.ptnr1_auth_seq_id\n_struct_conn.ptnr1_label_atom_id\n"
      "_struct_conn.ptnr2_label_asym_id\n_struct_conn.ptnr2_label_comp_id\n_struct_conn.ptnr2_auth_seq_id\n"
      "_struct_conn.ptnr2_label_atom_id\nx1 covale Apoly ALA 1 CB Apoly GLY 2 CA\n";
  TempDir files, alone, both, alone_tls, both_tls;
  const pipetest::Outcome a = run_whole(files.write("alone.cif", model), alone);
  const pipetest::Outcome b = run_whole(files.write("both.cif", before + model), both);
  ASSERT_EQ(a.ierr, 0) << a.out;
  ASSERT_EQ(b.ierr, 0) << b.out;
  EXPECT_EQ(restraint_counts(b, both), restraint_counts(a, alone));
  EXPECT_EQ(restraint_counts(b, both).substr(0, 19), "status 0: 9 bonds, ");
  EXPECT_EQ(file_text(both.file("out.crd")), file_text(alone.file("out.crd")));
  const std::string warnings =
      "  WARNING: CELL parameters are missing, default : 100,100,100,90,90,90\n"
      "  WARNING: space group number and name are missing, default : P1\n";
  EXPECT_NE(b.out.find(warnings), std::string::npos) << b.out;
  const Ran o = run_orbinate(files.file("both.cif"), both_tls);
  EXPECT_EQ(o.status, 0) << o.log;
  EXPECT_NE(o.log.find(warnings), std::string::npos) << o.log;
}

// A comment may stand between two pairs of one category: the cyclic
// peptide's one connection row, written as pairs with a comment line among
// them, still closes its ring (9 bonds).
TEST(Shelf, CommentBetweenPairsOfOneRowKeepsTheRow) {
  const std::string path = pipetest::data("cif_one_row_pairs.cif");
  std::string text = file_text(path);
  const std::size_t at = text.find("_struct_conn.ptnr2_auth_asym_id");
  ASSERT_NE(at, std::string::npos);
  text.insert(at, "# the second partner\n");
  TempDir files, plain, commented;
  const pipetest::Outcome a = run_whole(path, plain);
  const pipetest::Outcome b = run_whole(files.write("commented.cif", text), commented);
  EXPECT_EQ(restraint_counts(b, commented), restraint_counts(a, plain));
  EXPECT_EQ(restraint_counts(b, commented).substr(0, 19), "status 0: 9 bonds, ");
  EXPECT_EQ(b.out.find("not in the model"), std::string::npos) << b.out;
}

// An item given twice in one data block would lose one value or double a
// row: both programs refuse the file, naming the item and its two lines.
TEST(Shelf, ItemGivenTwiceInOneBlockIsRefusedByBothPrograms) {
  const std::string text = file_text(pipetest::data("cif_one_row_pairs.cif"));
  const std::size_t conn = text.find("_struct_conn.id");
  const std::size_t end = text.find("\n\n", conn);
  const std::size_t atoms = text.find("loop_\n_atom_site.id");
  ASSERT_NE(atoms, std::string::npos);
  const std::string pairs_twice = text.substr(0, end + 1) + text.substr(conn, end + 1 - conn) +
                                  text.substr(end + 1);
  const std::string cell_twice = text.substr(0, atoms) + "_cell.length_a 20\n" + text.substr(atoms);
  const struct {
    const char* label;
    std::string text;
    const char* line;
  } cases[] = {
      {"a connection row as pairs twice", pairs_twice,
       "  ERROR: CIF_read: item _struct_conn.id in line 53 is given twice in data block "
       "pdb_cyclo_ala_gly (first in line 31)\n"},
      {"a cell length in a second place", cell_twice,
       "  ERROR: CIF_read: item _cell.length_a in line 64 is given twice in data block "
       "pdb_cyclo_ala_gly (first in line 5)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir files, run, tls;
    const std::string path = files.write("twice.cif", c.text);
    const pipetest::Outcome p = run_whole(path, run);
    EXPECT_NE(p.ierr, 0);
    EXPECT_NE(p.out.find(c.line), std::string::npos) << p.out;
    EXPECT_FALSE(std::filesystem::exists(run.file("out.rst")));
    const Ran o = run_orbinate(path, tls);
    EXPECT_NE(o.status, 0);
    EXPECT_NE(o.log.find(c.line), std::string::npos) << o.log;
  }
}

// A core CIF whose cell and space group follow its atom list (as some
// deposits of the open databases do) places its atoms by that cell, as the
// same file with the cell first does.
TEST(Shelf, CoreCifCellAfterTheAtomListPlacesTheAtoms) {
  const std::string cell =
      "_symmetry_space_group_name_H-M 'P 21/c'\n_cell_length_a 5.123(2)\n_cell_length_b 6.234(3)\n"
      "_cell_length_c 7.345(4)\n_cell_angle_alpha 90\n_cell_angle_beta 101.5(1)\n_cell_angle_gamma 90\n";
  const std::string atoms =
      "loop_\n_atom_site_label\n_atom_site_type_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n"
      "_atom_site_fract_z\n_atom_site_U_iso_or_equiv\n"
      "O1 O 0.1234(3) 0.2345(3) 0.3456(2) 0.0301(5)\nC1 C 0.2500(4) 0.1000(4) 0.4000(3) 0.0280(6)\n"
      "C2 C 0.4000(5) 0.2000(5) 0.5000(4) 0.0350(7)\n";
  const std::string head = "data_1000001\n_chemical_formula_sum 'C2 O'\n";
  TempDir files, first, last;
  const pipetest::Outcome a = run_whole(files.write("first.cif", head + cell + atoms), first);
  const pipetest::Outcome b = run_whole(files.write("last.cif", head + atoms + cell), last);
  ASSERT_EQ(a.ierr, 0) << a.out;
  ASSERT_EQ(b.ierr, 0) << b.out;
  EXPECT_EQ(file_text(last.file("out.crd")), file_text(first.file("out.crd")));
  EXPECT_NE(file_text(last.file("out.crd")).find(" O1     . C00      AA      1 .    0.126    1.462    2.487"),
            std::string::npos);
}

// The readers' memory of the rows before (residues given again, the blank
// chain's pieces, their names) starts afresh with each read: the files
// whose chains those rules part, read one after another in one process
// under each hydrogen flag, and the whole round again, give the same files.
TEST(Shelf, ChainRulesOfAReadLeaveNothingToTheNextRunInOneProcess) {
  const char* files[] = {"peers/ubi_zn_pair_gmx.pdb", "peers/ubi_zn_pair_gmx_obabel.cif",
                         "peers/rna_uag_charmm.pdb", "cif_dummy_atoms.cif"};
  std::map<std::string, std::string> first;
  for (int round = 0; round < 2; ++round)
    for (const char* file : files)
      for (const char h : {'Y', 'N', 'A'}) {
        const std::string run = std::string(file) + " under hydrogen flag " + h;
        SCOPED_TRACE(run);
        TempDir dir;
        const pipetest::Outcome p = run_with(pipetest::data(file), dir, 'N', h);
        ASSERT_EQ(p.ierr, 0) << p.out;
        const std::string written = file_text(dir.file("out.crd")) + file_text(dir.file("out.rst"));
        if (round == 0) first[run] = written;
        else EXPECT_EQ(written, first[run]);
      }
}
