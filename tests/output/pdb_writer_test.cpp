// PDB records piece by piece: residue and atom names in their columns, the
// choice between SSBOND, CISPEP and LINK, MODRES, serial numbers past
// 99999, element columns, the hydrogen switch and a singular SCALE matrix.
#include "output/pdb_writer.h"

#include <string>
#include <vector>

#include "output/cif_out_atoms.h"
#include "output/pdb_links.h"
#include "output/pdb_names.h"
#include "output_fixture.h"

namespace {

std::string rname(const char* in) {
  rt::FixedText<3> r(in);
  pdb_rname_corr_to_write_(r, 3);
  return r.str();
}

std::string aname(const char* name, const char* elem, const char* res = "ALA") {
  rt::FixedText<4> a(name), out;
  pdb_aname_(a, elem, res, out);
  return out.str();
}

class PdbWriter : public outtest::Files {
 protected:
  // A cysteine pair in chain A with one link between their SG atoms.
  void link_model(const char* id, const char* alt2, const char* symm2) {
    outtest::ModelBuilder().chain("A").residue("CYS", 3, {"SG"}).residue("CYS", 40, {"SG"});
    atom_inf.atm_name_inp(2) = "SG__";
    outtest::link_row(1, id, "C", "SG", alt2, symm2);
    link_inf.ln_used(1) = "U";
  }
  std::string link_record(char seg = 'N') {
    const int32_t iun = open_out("link");
    int32_t ierr = 9;
    wrt_link_pdb_(0, iun, seg, ierr);
    EXPECT_EQ(ierr, 0);
    const std::vector<std::string> l = close_and_read(iun, "link");
    return l.empty() ? "" : l[0];
  }
  // Atoms of the elements FE, O- and N.
  void element_model() {
    outtest::ModelBuilder().chain("A").residue("FE2", 1, {"FE", "O1", "N"});
    crst_crd.cs_nsfatm = 3;
    const char* elements[] = {"FE", "O-", "N"};
    for (int i = 1; i <= 3; ++i) {
      crst_crd.cs_element(i) = elements[i - 1];
      atom_inf.id_sf(i) = i;
    }
  }
  std::vector<std::string> write_model(char h = 'Y') {
    char seg = 'N';
    rt::FixedText<256> path(""), ext("");
    int32_t ierr = 9;
    captured([&] { write_atoms_pdb_(0, h, 'N', seg, path, dir_ + "m.pdb", ext, ierr); });
    EXPECT_EQ(ierr, 0);
    std::vector<std::string> atoms;
    for (const std::string& l : outtest::file_lines(dir_ + "m.pdb"))
      if (l.rfind("ATOM", 0) == 0 || l.rfind("ANISOU", 0) == 0) atoms.push_back(l);
    return atoms;
  }
};

}  // namespace

TEST(PdbNames, ResidueNames) {
  EXPECT_EQ(rname("Ar"), "  A") << "nucleotide to one letter";
  EXPECT_EQ(rname("Ud"), " Ud") << "no entry for it";
  EXPECT_EQ(rname("ALA"), "ALA");
}

TEST(PdbNames, AtomColumnsFromElement) {
  struct Case {
    const char *label, *name, *elem, *res, *want;
  };
  const Case cases[] = {
      {"two-letter element from column 13", "FE", "FE", "HEM", "FE  "},
      {"one-letter element from column 14", "K", "K", "K", " K  "},
      {"amino-acid carbon", "CA", "C", "ALA", " CA "},
      {"four-character hydrogen turned", "HG11", "H", "VAL", "1HG1"},
      {"three-character hydrogen from column 14", "HA", "H", "ALA", " HA "},
      {"heme nitrogen NA", "NA", "N", "HEM", " N A"},
  };
  for (const Case& c : cases) EXPECT_EQ(aname(c.name, c.elem, c.res), c.want) << c.label;
}

// Names as read: a column marker moves the name to column 14; a name
// without one (the mmCIF reader keeps none) stays in column 13 unless the
// PDB reader would read it there as another name or kind of atom and from
// column 14 as an atom of its own element.
TEST_F(PdbWriter, NamesAsReadInTheColumnsTheyReadBackFrom) {
  struct Case {
    const char *label, *name, *elem, *res, *want;
  };
  const Case cases[] = {
      {"marked name", "CA__", "C", "ALA", " CA "},
      {"water hydrogen, an oxygen from column 13", "H1", "H", "HOH", " H1 "},
      {"heavy-water deuterium, of no element from column 13", "D1", "D", "DOD", " D1 "},
      {"OD1, a deuterium from column 13", "OD1", "O", "ASP", " OD1"},
      {"NH1, a prefixed hydrogen from column 13", "NH1", "N", "ARG", " NH1"},
      {"HH, turned from column 13", "HH", "H", "TYR", " HH "},
      {"carbon CA, a metal from column 13", "CA", "C", "ALA", " CA "},
      {"calcium stays", "CA", "CA", "CA", "CA  "},
      {"mercury HG stays", "HG", "HG", "HG", "HG  "},
      {"OXT reads alike from column 13", "OXT", "O", "ALA", "OXT "},
      {"four characters fill the field", "HH11", "H", "ARG", "HH11"},
      {"unknown element", "H1", "", "HOH", "H1  "},
  };
  for (const Case& c : cases)
    EXPECT_EQ(output::pdb_input_name(c.name, c.elem, c.res).str(), c.want) << c.label;
}

// The second SG is read as "SG__": the record writes it as read, " SG ".
// A row the readers marked special (use mark "S") keeps its alternates; any
// other row is restrained for every conformer of its atoms and is written
// without them.
TEST_F(PdbWriter, LinkRecordChoice) {
  struct Case {
    const char *what, *id, *used, *alt2, *symm1, *symm2, *want;
  };
  const Case cases[] = {
      {"disulphide", "SS", "U", "", "1_555", "1_555",
       "SSBOND   1 CYS A    3    CYS A   40                        1555   1555"},
      {"disulphide with an alternate", "SS", "S", "B", "1_555", "1_555",
       "LINK        SG   CYS A   3                 SG BCYS A  40   1555   1555  SS"},
      {"disulphide found on one conformer", "SS", ".", "B", "1_555", "1_555",
       "SSBOND   1 CYS A    3    CYS A   40                        1555   1555"},
      {"cis peptide with a symmetry code", "CIS", "U", "", "1_555", "2_655",
       "LINK        SG   CYS A   3                 SG  CYS A  40   1555   2655  CIS"},
      {"cis peptide", "CIS", "U", "", ".", "",
       "CISPEP   1 CYS A    3    CYS A   40                    0.00"},
      {"PCIS always", "PCIS", "S", "B", "1_555", "2_655",
       "CISPEP   1 CYS A    3    CYS A   40                    0.00"},
  };
  for (const Case& c : cases) {
    SetUp();
    link_model(c.id, c.alt2, c.symm2);
    link_inf.ln_used(1) = c.used;
    link_inf.ln_symm1(1) = c.symm1;
    EXPECT_EQ(link_record(), c.want) << c.what;
    TearDown();
  }
}

// A link row made under another name of its residue (a modification's
// new name) names the residue as the atom records do.
TEST_F(PdbWriter, LinkRecordNamesTheResidueAsTheAtomRecords) {
  link_model("SS", "", "1_555");
  link_inf.ln_1rnam(1) = "CYS_N1";
  link_inf.ln_2rnam(1) = "CYX";
  EXPECT_EQ(link_record(), "SSBOND   1 CYS A    3    CYS A   40                        1555   1555");
}

TEST_F(PdbWriter, ModificationWithoutResidue) {
  mod_inf.mod_n = 1;
  mod_inf.mod_ires(1) = 0;
  mod_inf.mod_ichn(1) = 0;
  mod_inf.mod_rnam(1) = "MET";
  mod_inf.mod_rnam_new(1) = "";
  mod_inf.mod_id(1) = "SELENO";
  const int32_t iun = open_out("mod");
  int32_t ierr = 9;
  wrt_mod_pdb_(0, iun, 'Y', ierr);
  const std::vector<std::string> l = close_and_read(iun, "mod");
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l[0], "MODRES        . . .     MET                                             SELENO");
}

TEST_F(PdbWriter, SerialsPast99999Wrap) {
  element_model();
  atom_inf.i_atold(1) = 100000;  // becomes 1
  atom_inf.i_atold(2) = 199999;  // becomes 100000: fills ATOM, overflows ANISOU
  atom_inf.b_flag(2) = 1;
  for (int k = 1; k <= 6; ++k) atom_crd.u_aniso(k, 2) = 0.01f;
  const std::vector<std::string> l = write_model();
  ASSERT_EQ(l.size(), 4u);
  EXPECT_EQ(l[0].substr(4, 7), "      1");
  EXPECT_EQ(l[1].substr(4, 7), " 100000");
  EXPECT_EQ(l[2].substr(6, 5), "*****");
}

TEST_F(PdbWriter, ElementColumns) {
  element_model();
  const std::vector<std::string> l = write_model();
  ASSERT_EQ(l.size(), 3u);
  EXPECT_EQ(l[0].substr(76), "FE");
  EXPECT_EQ(l[1].substr(76), " O-");
  EXPECT_EQ(l[2].substr(76), " N");
}

TEST_F(PdbWriter, HydrogenSwitch) {
  outtest::ModelBuilder().chain("A").residue("HOH", 1, {"O", "H1", "D2"});
  crst_crd.cs_nsfatm = 3;
  const char* elements[] = {"O", "H", "D"};
  for (int i = 1; i <= 3; ++i) {
    crst_crd.cs_element(i) = elements[i - 1];
    atom_inf.id_sf(i) = i;
  }
  EXPECT_EQ(write_model('Y').size(), 3u);
  const std::vector<std::string> no_h = write_model('N');
  ASSERT_EQ(no_h.size(), 2u);  // deuterium stays
  EXPECT_EQ(no_h[1].substr(76), " D");
}

// The frame change would put every atom at the origin.
TEST_F(PdbWriter, SingularScaleWritesNoFile) {
  outtest::ModelBuilder().chain("A").residue("ALA", 1, {"N"});
  crst_pdb.cs_scale(3, 3) = 0.0f;
  char h = 'Y', seg = 'N';
  rt::FixedText<256> path(""), ext("");
  int32_t ierr = 9;
  std::string out =
      captured([&] { write_atoms_pdb_(0, h, 'N', seg, path, dir_ + "s.pdb", ext, ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERROR: SCALE matrix is singular; no PDB file written\n");
  EXPECT_FALSE(rt::file_exists(dir_ + "s.pdb"));
  out = captured([&] { write_atoms_(0, dir_, "s", "cif", ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERROR: SCALE matrix is singular /write_atoms/\n");
  EXPECT_FALSE(rt::file_exists(dir_ + "s.cif"));
}
