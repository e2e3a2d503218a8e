// Whole runs on entries written the way other programs write them: blank
// chain names given as empty quoted values, hydrogen names of current PDB
// files, names with blanks, no element columns.  Every atom read is written, under its own
// name, and what the run writes reads back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "foundation/atom_com.h"
#include "pipeline_fixture.h"
#include "restraint_sets.h"

namespace {

using pipetest::data;
using pipetest::Options;
using pipetest::Outcome;

// `text` with every line for which `pick` holds changed by `change`.
template <class Pick, class Change>
std::string edited(const std::string& text, Pick pick, Change change) {
  std::istringstream in(text);
  std::string out;
  for (std::string l; std::getline(in, l);) out += (pick(l) ? change(l) : l) + "\n";
  return out;
}

// The author chain of every water row of the archive's 1A8O (the "A"
// between the author residue and atom names) written as `blank`.
std::string blank_water_chain(const std::string& blank) {
  return edited(
      file_text(data("cif_1A8O.cif")),
      [](const std::string& l) {
        return l.starts_with("HETATM") && l.find(" HOH ") != std::string::npos;
      },
      [&](std::string l) {
        const std::size_t at = l.rfind(" HOH A ");
        return l.replace(at, 7, " HOH " + blank + " ");
      });
}

}  // namespace

// 1A8O in the archive's form with the waters' author chain written '' and
// "", and as a PDB file with the waters' chain column blank: each run reads
// all 644 atoms (88 of them waters), writes them all, and its files read
// back.
TEST(BlankChainNames, EveryAtomReadIsWritten) {
  TempDir files;
  const struct {
    const char* label;
    std::string path;
  } cases[] = {
      {"mmCIF, ''", files.write("quote.cif", blank_water_chain("''"))},
      {"mmCIF, \"\"", files.write("dquote.cif", blank_water_chain("\"\""))},
      {"PDB, blank column",
       files.write("blank.pdb", edited(
                                    file_text(data("1A8O.pdb")),
                                    [](const std::string& l) {
                                      return l.starts_with("HETATM") && l.substr(17, 3) == "HOH";
                                    },
                                    [](std::string l) {
                                      l[21] = ' ';
                                      return l;
                                    }))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    const Outcome r = pipetest::run_model(c.path, dir.path());
    ASSERT_EQ(r.ierr, 0) << r.out;
    ASSERT_EQ(pipetest::read_coordinates(dir.file("out")), 0);
    EXPECT_EQ(atom_inf.n_atom, 644);
    int waters = 0;
    for (int ia = 1; ia <= atom_inf.n_atom; ++ia)
      waters += resid_inf.res_name(atom_inf.i_resid(ia)) == "HOH";
    EXPECT_EQ(waters, 88);
    std::vector<pipetest::Restraint> rows;
    EXPECT_TRUE(pipetest::read_restraints(dir.file("out"), rows));
    EXPECT_FALSE(rows.empty());
  }
}

// 1A8O in the archive's form with its disulfide's connection type written
// 'MY LINK': the restraint file names the link as one value, and its own
// reader takes the bond back under that link between the two SG atoms, with
// every record of the file read as the kind it is.
TEST(NamesWithBlanks, LinkNameReadsBack) {
  TempDir files, dir;
  const std::string model = files.write(
      "my_link.cif", edited(
                         file_text(data("cif_1A8O.cif")),
                         [](const std::string& l) { return l.starts_with("disulf1 disulf "); },
                         [](std::string l) { return l.replace(8, 6, "'MY LINK'"); }));
  const Outcome r = pipetest::run_model(model, dir.path());
  ASSERT_EQ(r.ierr, 0) << r.out;
  std::vector<pipetest::Restraint> rows;
  ASSERT_TRUE(pipetest::read_restraints(dir.file("out"), rows));
  ASSERT_EQ(pipetest::read_coordinates(dir.file("out")), 0);
  int in_link = 0;
  for (const pipetest::Restraint& x : rows) {
    EXPECT_TRUE(x.kind == "BOND" || x.kind == "ANGL" || x.kind == "TORS" || x.kind == "CHIR" ||
                x.kind == "PLAN")
        << x.kind << " " << x.echo;
    if (x.source_id != "MY LINK") continue;
    ++in_link;
    EXPECT_EQ(x.kind, "BOND");
    EXPECT_EQ(atom_inf.atm_name(x.ia[0]).trimmed(), "SG");
    EXPECT_EQ(atom_inf.atm_name(x.ia[1]).trimmed(), "SG");
  }
  EXPECT_EQ(in_link, 1);
  EXPECT_EQ(rows.size(), pipetest::records(file_text(dir.file("out.rst"))).size());
}

namespace {

// The PDB file's atoms as an mmCIF file of another program: the same cell,
// one atom-site row an atom with the name, element, residue, chain and
// number of the PDB record.
std::string as_mmcif(const std::string& pdb) {
  std::string out =
      "data_excerpt\n_cell.length_a 1.0\n_cell.length_b 1.0\n_cell.length_c 1.0\n_cell.angle_alpha "
      "90\n"
      "_cell.angle_beta 90\n_cell.angle_gamma 90\n_symmetry.space_group_name_H-M 'P 1'\nloop_\n";
  for (const char* item :
       {"group_PDB", "id", "type_symbol", "label_atom_id", "label_comp_id", "label_asym_id",
        "auth_seq_id", "Cartn_x", "Cartn_y", "Cartn_z", "occupancy", "B_iso_or_equiv"})
    out += std::string("_atom_site.") + item + "\n";
  std::istringstream in(pdb);
  for (std::string l; std::getline(in, l);) {
    if (!l.starts_with("ATOM")) continue;
    for (auto [from, to] : {std::pair{1, 4},
                            {7, 11},
                            {77, 78},
                            {13, 16},
                            {18, 20},
                            {22, 22},
                            {23, 26},
                            {31, 38},
                            {39, 46},
                            {47, 54},
                            {55, 60},
                            {61, 66}})
      out += pipetest::field(l, from, to) + " ";
    out += "\n";
  }
  return out;
}

// An atom of the tables whose scattering type is hydrogen.
bool hydrogen(int ia) { return crst_crd.cs_atype(atom_inf.id_sf(ia)).trimmed() == "H"; }

// The records of a restraint file, each with its atom serials and the
// names of its comment.
std::vector<std::string> record_lines(const std::string& rst) {
  std::vector<std::string> out;
  for (const pipetest::Record& r : pipetest::records(file_text(rst))) out.push_back(r.line);
  return out;
}

}  // namespace

// Residues TYR17 to ARG22 of chain A of 1LCD (model 1, with its hydrogens
// as the archive's current PDB form writes them: HH11 to HH22 from column
// 13, the tyrosine's HH from column 14) and, as chain B, a tryptophan from
// the ideal coordinates of the public chemical component (its HXT left out),
// in tests/data/pdb_arg_tyr_trp_h.pdb.  Every hydrogen of the file keeps its
// name in the coordinate file and is restrained by a bond to its parent;
// the mmCIF form of the same atoms gives the same restraints record by
// record, the first residue of the peptide typed NH3 on both roads.
TEST(CurrentHydrogenNames, KeptRestrainedAndTheSameInBothForms) {
  const std::string pdb = file_text(data("pdb_arg_tyr_trp_h.pdb"));
  TempDir files, pdb_dir, cif_dir;
  const Outcome p = pipetest::run_model(data("pdb_arg_tyr_trp_h.pdb"), pdb_dir.path());
  ASSERT_EQ(p.ierr, 0) << p.out;
  const int pdb_start = asym_part.iterm_s_type(1);
  const Outcome c = pipetest::run_model(files.write("excerpt.cif", as_mmcif(pdb)), cif_dir.path());
  ASSERT_EQ(c.ierr, 0) << c.out;
  EXPECT_EQ(pdb_start, 2);
  EXPECT_EQ(asym_part.iterm_s_type(1), 2);

  std::multiset<std::string> hydrogens;
  std::istringstream in(pdb);
  for (std::string l; std::getline(in, l);)
    if (l.starts_with("ATOM") && pipetest::field(l, 77, 78) == "H")
      hydrogens.insert(pipetest::field(l, 18, 20) + " " + pipetest::field(l, 13, 16));
  ASSERT_EQ(hydrogens.size(), 27u);
  ASSERT_EQ(pipetest::read_coordinates(pdb_dir.file("out")), 0);
  std::multiset<std::string> written;
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia)
    if (hydrogen(ia))
      written.insert(std::string(resid_inf.res_name(atom_inf.i_resid(ia)).trimmed()) + " " +
                     std::string(atom_inf.atm_name(ia).trimmed()));
  EXPECT_EQ(written, hydrogens);
  std::multiset<std::string> bonded;
  for (const pipetest::Record& r : pipetest::records(file_text(pdb_dir.file("out.rst")))) {
    if (!r.line.starts_with("BOND")) continue;
    for (int k = 0; k < 2; ++k) {
      const int ia = r.serials[k];
      if (hydrogen(ia))
        bonded.insert(std::string(resid_inf.res_name(atom_inf.i_resid(ia)).trimmed()) + " " +
                      r.names[k]);
    }
  }
  EXPECT_EQ(bonded, hydrogens);
  for (const char* h : {"ARG HH11", "ARG HH12", "ARG HH21", "ARG HH22", "TYR HH", "TRP HH2"})
    EXPECT_EQ(bonded.count(h), 1u) << h;

  EXPECT_EQ(record_lines(cif_dir.file("out.rst")), record_lines(pdb_dir.file("out.rst")));
  EXPECT_EQ(p.nbond, c.nbond);

  // Some programs write the tyrosine's HH and the tryptophan's HH2 from
  // column 13 too: the same restraints.
  TempDir left_dir;
  const std::string left = edited(
      pdb,
      [](const std::string& l) {
        return l.starts_with("ATOM") &&
               (l.substr(12, 8) == " HH  TYR" || l.substr(12, 8) == " HH2 TRP");
      },
      [](std::string l) { return l.replace(12, 4, l.substr(13, 3) + " "); });
  ASSERT_NE(left.find("HH   TYR"), std::string::npos);
  const Outcome lr = pipetest::run_model(files.write("left.pdb", left), left_dir.path());
  ASSERT_EQ(lr.ierr, 0) << lr.out;
  EXPECT_EQ(record_lines(left_dir.file("out.rst")), record_lines(pdb_dir.file("out.rst")));
}

// 2BEG (an NMR entry with its hydrogens) in both forms: the mmCIF file gives
// no terminus types, and its five chains take those the PDB reader finds
// (NH3 at each start, its nitrogen typed for it), so that the two runs
// write the same restraints record by record.
TEST(CurrentHydrogenNames, BothFormsOfAnEntryTypeTheirTerminiAlike) {
  TempDir pdb_dir, cif_dir;
  const Outcome p = pipetest::run_model(data("2BEG.pdb"), pdb_dir.path());
  ASSERT_EQ(p.ierr, 0) << p.out;
  const Outcome c = pipetest::run_model(data("cif_2BEG.cif"), cif_dir.path());
  ASSERT_EQ(c.ierr, 0) << c.out;
  ASSERT_EQ(asym_part.n_group, 5);
  for (int g = 1; g <= 5; ++g) EXPECT_EQ(asym_part.iterm_s_type(g), 2) << "chain " << g;
  const std::vector<std::string> from_pdb = record_lines(pdb_dir.file("out.rst"));
  ASSERT_FALSE(from_pdb.empty());
  EXPECT_EQ(record_lines(cif_dir.file("out.rst")), from_pdb);
}

// Files of programs that write no element columns (older PDB files, X-PLOR
// and CHARMM-style files, lines cut at column 66 or 72) against the same
// atoms with the columns: the monomer the library lacks is built with the
// same elements, the same description and the same restraints.
namespace {

// The type symbols of the atoms of monomer `code` in a written library:
// the rows of eight values whose last three are the coordinates.
std::multiset<std::string> library_elements(const std::string& lib, const std::string& code) {
  const auto number = [](const std::string& v) {
    char* end = nullptr;
    std::strtod(v.c_str(), &end);
    return !v.empty() && *end == '\0';
  };
  std::multiset<std::string> out;
  std::istringstream in(lib);
  for (std::string l; std::getline(in, l);) {
    const std::vector<std::string> w = rsets::words(l);
    if (w.size() == 8 && w[0] == code && number(w[5]) && number(w[6]) && number(w[7]))
      out.insert(w[2]);
  }
  return out;
}

void expect_built_alike(const std::string& with_columns, const std::string& without,
                        const std::string& code, const std::multiset<std::string>& elements) {
  rsets::ModelRun a, b;
  rsets::run_model(with_columns, a);
  rsets::run_model(without, b);
  const std::string lib = file_text(a.dir.file("new_lib.cif"));
  EXPECT_EQ(library_elements(lib, code), elements);
  EXPECT_EQ(file_text(b.dir.file("new_lib.cif")), lib);
  rsets::expect_same(code + ": with and without element columns", a.restraints, b.restraints);
  EXPECT_EQ(b.crd, a.crd);
}

}  // namespace

// The aminoisobutyric acid of the test entry (its methyl hydrogens HB11 to
// HB23 written from column 13) with every line cut at column 66: its six
// hydrogens are no boron atoms.
TEST(ElementsFromNames, LinesCutAtColumn66BuildAsWithElementColumns) {
  TempDir files;
  const std::string cut = edited(
      file_text(data("pdb_aib.pdb")), [](const std::string& l) { return l.size() > 66; },
      [](const std::string& l) { return l.substr(0, 66); });
  std::multiset<std::string> aib = {"N", "C", "C", "C", "C", "O", "H"};
  for (int i = 0; i < 6; ++i) aib.insert("H");
  expect_built_alike(data("pdb_aib.pdb"), files.write("aib_66.pdb", cut), "AIB", aib);
}

// Adenosine monophosphate from the ideal coordinates of the public chemical
// component, named as CHARMM-style files name it (O1PA, O2PA, O3PA, H2PA,
// H3PA, H5'', HO2' from column 13) and written without element columns
// (tests/data/pdb_amp_charmm_names.pdb); the same lines with the
// component's elements in columns 77-78 build the same monomer.
TEST(ElementsFromNames, CharmmNamesWithoutElementColumnsBuildAsWithThem) {
  // The component's type symbols in the order of the file.
  const std::string symbols = "OPOOOCCOCOCOCNCNCCNNCNC" + std::string(14, 'H');
  const std::string text = file_text(data("pdb_amp_charmm_names.pdb"));
  std::string with;
  std::size_t k = 0;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) {
    if (l.starts_with("HETATM")) {
      ASSERT_LT(k, symbols.size());
      l.resize(76, ' ');
      l += std::string(" ") + symbols[k++];
    }
    with += l + "\n";
  }
  ASSERT_EQ(k, symbols.size());
  std::multiset<std::string> amp;
  for (char c : symbols) amp.insert(std::string(1, c));
  TempDir files;
  expect_built_alike(files.write("amp_elements.pdb", with), data("pdb_amp_charmm_names.pdb"), "AMP",
                     amp);
}
