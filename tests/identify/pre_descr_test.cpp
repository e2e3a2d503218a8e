// Identification of whole real entries against the test library, and of
// small models written for one behaviour each: the road each residue takes
// (name, synonym, derivative, index, graph, builder), repaired atom names,
// reported missing and extra atoms, alternate conformations, and bad input.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "component.h"
#include "coords/pdb_fixture.h"
#include "coords/read_atoms.h"
#include "dictionary/dict_index.h"
#include "dictionary/lib_com.h"
#include "dictionary/monlib_fixture.h"
#include "foundation/atom_com.h"
#include "foundation/cif_vocab.h"
#include "foundation/messages.h"
#include "identify/pre_descr.h"
#include "identify/work_residue.h"
#include "support/capture.h"

namespace {

// "C" and the number: four characters at most.
std::string carbon_name(int i) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "C%d", i % 1000);
  return buf;
}

std::string data(const std::string& name) { return std::string(ORB_TEST_DATA_DIR) + "/" + name; }

struct Outcome {
  int32_t ierr = -1, kerr = -1, nmnew = -1, lib2 = 0;
  std::string flag, out;
};

void load_library() {
  std::string log;
  ASSERT_EQ(monlib::load(monlib::test_library(), log), 0) << log;
  set_cif_types_();
  comlib.iquiet = 0;
  comlib.idoc = 0;
}

// The model read from a PDB file (no cell: status 9 is a read without one),
// then the library.
void model_from_pdb(const std::string& path) {
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 1);
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  ierr = 0;
  captured([&] { get_pdb_(0, path, 0, cell, 'N', 'N', 'Y', ierr); });
  rt::close_all_units();
  ASSERT_TRUE(ierr == 0 || ierr == 9) << path << " " << ierr;
  load_library();
}

Outcome identify(char list = ' ', char check = 'Y') {
  Outcome o;
  rt::FixedText<1> flag("?");
  o.out = captured([&] { pre_descr_(0, list, check, 'N', 'G', "?test", o.nmnew, flag, o.lib2, o.kerr, o.ierr); });
  o.flag = flag.str();
  return o;
}

int count_of(const std::string& text, const std::string& what) { return pdbtest::count_of(text, what); }

// The dictionary name of residue ir: its RENAME row, else its own name.
std::string final_name(int ir) {
  for (int m = 1; m <= mod_inf.mod_n; ++m)
    if (mod_inf.mod_ires(m) == ir && mod_inf.mod_id(m) == "RENAME") return std::string(mod_inf.mod_rnam(m).trimmed());
  return std::string(resid_inf.res_name(ir).trimmed());
}

std::string atom_name(int ir, int k) { return std::string(atom_inf.atm_name(resid_inf.iratm_first(ir) + k - 1).trimmed()); }

int atom_of(int ir, const std::string& name) {
  for (int k = 1; k <= resid_inf.natm_res(ir); ++k)
    if (atom_name(ir, k) == name) return resid_inf.iratm_first(ir) + k - 1;
  return 0;
}

// Every atom of the model has a chemical type and a scattering type.
void expect_atoms_typed() {
  for (int ia = 1; ia <= atom_inf.n_atom; ++ia) {
    EXPECT_GT(atom_inf.id_sf(ia), 0) << ia;
    EXPECT_FALSE(atom_inf.atm_chem(ia).is_blank()) << ia;
  }
}

// ------------------------------------------------------- real entries

TEST(IdentifyEntries, EveryResidueOf2BEGByName) {
  model_from_pdb(data("2BEG.pdb"));
  const Outcome o = identify();
  EXPECT_EQ(o.ierr, 0) << o.out;
  EXPECT_EQ(o.kerr, 0);
  EXPECT_EQ(o.nmnew, 0);
  EXPECT_EQ(o.flag, "N");
  EXPECT_EQ(o.lib2, 0);
  ASSERT_EQ(resid_inf.n_residue, 130);
  for (int ir = 1; ir <= resid_inf.n_residue; ++ir) {
    EXPECT_EQ(final_name(ir), std::string(resid_inf.res_name(ir).trimmed()));
    // Glycine's group is plain "peptide", the short form of the peptide
    // types: it must stay a peptide, or every glycine breaks its chain.
    EXPECT_EQ(resid_inf.ires_type(ir), 3) << ir << " " << resid_inf.res_name(ir).trimmed();
  }
  EXPECT_EQ(mod_inf.mod_n, 0) << "no residue renamed";
  EXPECT_EQ(count_of(o.out, "is not in the library"), 0);
  expect_atoms_typed();
}

TEST(IdentifyEntries, PartialResiduesOf1SSUByNameWithMissingAtoms) {
  setenv("SYMINFO", ORB_DATA_DIR "/syminfo.lib", 1);
  int32_t ierr = 0;
  init_atm_inf_(0, ierr);
  ierr = 0;
  const float cell[6] = {0, 0, 0, 0, 0, 0};
  captured([&] { read_atoms_(0, std::string(ORB_TEST_DATA_DIR) + "/", "cif_1SSU_mod", "cif", 0, cell, ierr); });
  rt::close_all_units();
  ASSERT_TRUE(ierr == 0 || ierr == 8) << ierr;
  load_library();
  const Outcome o = identify();
  EXPECT_EQ(o.ierr, 0) << o.out;
  EXPECT_EQ(o.nmnew, 0);
  ASSERT_GE(resid_inf.n_residue, 2);
  for (int ir = 1; ir <= resid_inf.n_residue; ++ir) EXPECT_EQ(final_name(ir), "ASP");
  // Each residue holds N only: the rest of aspartate is reported missing.
  EXPECT_EQ(count_of(o.out, "            atom: \"CG  \" is absent in coord_file\n"), resid_inf.n_residue);
  EXPECT_EQ(count_of(o.out, "is absent in lib description"), 0);
}

TEST(IdentifyEntries, NucleotidesOf1LCDGoTheBuildersRoad) {
  model_from_pdb(data("1LCD.pdb"));
  const Outcome o = identify();
  EXPECT_EQ(o.ierr, 0);
  EXPECT_EQ(o.flag, "Y");
  EXPECT_EQ(o.lib2, 1);
  // DA is found inside the library's adenosine monophosphate; DT, DG, DC
  // and the sodium ion are built; every later residue of these names finds
  // the new monomer by name.
  EXPECT_EQ(count_of(o.out, "  INFO: sub_structure in :A\n"), 1);
  for (const char* built : {"DT", "DG", "DC", "NA"})
    EXPECT_EQ(count_of(o.out, std::string("program will create complete description for:") + built + "\n"), 1) << built;
  EXPECT_EQ(o.nmnew, 5);
  std::map<std::string, int> by_name;
  for (int ir = 1; ir <= resid_inf.n_residue; ++ir) ++by_name[final_name(ir)];
  EXPECT_EQ(by_name["DA"], 6);
  EXPECT_EQ(by_name["DT"], 6);
  for (const char* code : {"DA", "DT", "DG", "DC", "NA"})
    EXPECT_GT(dictionary::find_list_entry(code, false), 25) << code << " is a new entry";
  // Proline inside a chain: its link to the residue before is PTRANS.
  int prolines = 0;
  for (int ir = 1; ir <= resid_inf.n_residue; ++ir) {
    if (final_name(ir) != "PRO" || resid_inf.ires_back(ir) <= 0) continue;
    ++prolines;
    EXPECT_EQ(resid_inf.iconn_type(ir), 36) << ir;
  }
  EXPECT_EQ(prolines, 2);
  expect_atoms_typed();
}

TEST(IdentifyEntries, AlternateConformationsOfDisorderedPdb) {
  model_from_pdb(data("disordered.pdb"));
  int arg = 0;
  for (int ir = 1; ir <= resid_inf.n_residue; ++ir)
    if (resid_inf.res_name(ir) == "ARG") arg = ir;
  ASSERT_GT(arg, 0);
  // CZ without a code, then B; NH1 and NH2 in A and B: B has most atoms.
  rt::FixedText<1> alt;
  int32_t ierr = 0;
  const int ias = resid_inf.iratm_first(arg);
  get_alt_for_copy_(0, ias, ias + resid_inf.natm_res(arg) - 1, alt, ierr);
  EXPECT_EQ(alt.str(), "B");
  const Outcome o = identify();
  EXPECT_EQ(o.ierr, 0) << "atoms of one name in two conformations are no duplicates\n" << o.out;
  EXPECT_EQ(o.nmnew, 0);
  EXPECT_EQ(count_of(o.out, "duplicated"), 0);
  EXPECT_EQ(count_of(o.out, "is absent in"), 0) << o.out;
}

// ------------------------------------------------------- small models

struct Res {
  std::string name;                          // residue name in the file
  std::string comp;                          // component that gives the atoms
  std::set<std::string> drop = {"OXT", "HXT", "H2"};
  std::map<std::string, std::string> rename = {};  // component name -> file name
  std::map<std::string, std::string> element = {}; // file name -> element
};

// Heavy atoms only, 20 A apart; one residue a chain, or all in chain A.
std::vector<std::string> model_lines(const std::vector<Res>& residues, bool one_chain = false) {
  std::vector<std::string> lines = {pdbtest::kCryst};
  int serial = 0, n = 0;
  for (const Res& res : residues) {
    const comp::Component c = comp::load(res.comp, res.drop);
    const char chain = one_chain ? 'A' : static_cast<char>('A' + n);
    for (const comp::Atom& a : c.atoms) {
      if (comp::is_h(a)) continue;
      const auto it = res.rename.find(a.name);
      const std::string name = it == res.rename.end() ? a.name : it->second;
      const auto el = res.element.find(name);
      const std::string symb = el == res.element.end() ? a.symb : el->second;
      const std::string field = name.size() < 4 && symb.size() == 1 ? " " + name : name;
      lines.push_back(pdbtest::line({.rec = "HETATM", .serial = ++serial, .name = field, .res = res.name,
                                     .chain = chain, .resnum = one_chain ? n + 1 : 1, .x = a.x + 20.0f * n, .y = a.y, .z = a.z,
                                     .elem = symb.size() == 1 ? " " + symb : symb}));
    }
    if (!one_chain) lines.push_back(pdbtest::kTer);
    ++n;
  }
  return lines;
}

void model_of(const std::vector<Res>& residues, bool one_chain = false) {
  const pdbtest::ReadResult rr = pdbtest::read_pdb(model_lines(residues, one_chain));
  ASSERT_EQ(rr.ierr, 0) << rr.out;
  load_library();
}

TEST(IdentifyRoads, NameSynonymDerivativeIndexGraphAndBuilder) {
  model_of({{"SER", "SER"},
            {"SRX", "SER"},
            {"SEP", "SER"},
            {"XSR", "SER"},
            {"XLY", "LYS", {"OXT", "HXT", "H2", "NZ", "HZ1", "HZ2", "HZ3"}},
            {"ACE", "ACE"}});
  r_scratch_t& r = r_scratch;
  const int n = ++r.lms_nsyn;  // SRX: another name of serine
  r.lms_mname(n) = "SER";
  r.lms_amname(n) = "SRX";
  r.lms_mod(n) = ".";
  r.lms_atom(n) = ".";
  r.lms_aatom(n) = ".";
  const int j = ++r.ldr_nder;  // SEP: a derivative of serine
  r.ldr_mname(j) = "SEP";
  r.ldr_smname(j) = "SER";
  r.ldr_type(j) = "L-peptide";
  r.ldr_mod(j) = ".";
  r.ldr_name(j) = "phosphoserine";
  const Outcome o = identify();
  ASSERT_EQ(o.ierr, 0) << o.out;
  EXPECT_EQ(final_name(1), "SER") << "by name";
  EXPECT_EQ(final_name(2), "SER") << "by synonym";
  EXPECT_EQ(final_name(3), "SEP") << "by derivative";
  EXPECT_EQ(final_name(4), "SER") << "by index";
  EXPECT_EQ(final_name(5), "XLY") << "by graph";
  EXPECT_EQ(final_name(6), "ACE") << "by the builder";
  EXPECT_EQ(count_of(o.out, "sub_structure in :LYS"), 1);
  EXPECT_EQ(count_of(o.out, "program will create complete description for:ACE"), 1);
  EXPECT_EQ(count_of(o.out, " - rename\n           \"XSR     \" --> \"SER     \"\n"), 1) << o.out;
  EXPECT_EQ(o.nmnew, 2) << "the graph match and the built monomer";
  EXPECT_EQ(resid_inf.mod_flag(2).str(), "Y");
  EXPECT_EQ(resid_inf.mod_flag(1).str(), "N");
  expect_atoms_typed();
}

// The first residue of the name in the model.
int residue_named(const char* name) {
  for (int ir = 1; ir <= resid_inf.n_residue; ++ir)
    if (resid_inf.res_name(ir) == name) return ir;
  return 0;
}

void rename_atom(int ir, const char* from, const char* to) {
  const int ia = atom_of(ir, from);
  ASSERT_GT(ia, 0) << from;
  atom_inf.atm_name(ia) = to;
  atom_inf.atm_name_inp(ia) = to;
}

// Residues inside a chain of 2BEG: their atoms are compared without the
// terminal groups of the chain ends.
TEST(IdentifyNames, OneOrTwoWrongNamesAreCorrected) {
  model_from_pdb(data("2BEG.pdb"));
  const int ser = residue_named("SER"), ile = residue_named("ILE");
  rename_atom(ser, "OG", "OX");
  rename_atom(ile, "CG2", "CX2");
  rename_atom(ile, "CD1", "CX3");
  const Outcome o = identify();
  ASSERT_EQ(o.ierr, 0) << o.out;
  EXPECT_GT(atom_of(ser, "OG"), 0);
  EXPECT_EQ(atom_of(ser, "OX"), 0);
  EXPECT_GT(atom_of(ile, "CG2"), 0);
  EXPECT_GT(atom_of(ile, "CD1"), 0);
  EXPECT_EQ(count_of(o.out, "  WARNING : program changed the atom names to standard\n"), 2);
  EXPECT_EQ(count_of(o.out, "            SER       \"OX  \" --> \"OG  \"\n"), 1) << o.out;
  EXPECT_EQ(count_of(o.out, "            ILE       \"CX2 \" --> \"CG2 \"\n"), 1) << o.out;
  EXPECT_EQ(o.nmnew, 0);
  EXPECT_EQ(final_name(ile), "ILE");
  // The renamings are remembered as synonyms of the monomers.
  const r_scratch_t& r = r_scratch;
  bool remembered = false;
  for (int j = 1; j <= r.lms_nsyn; ++j)
    remembered |= r.lms_mname(j) == "SER" && r.lms_aatom(j) == "OX" && r.lms_atom(j) == "OG";
  EXPECT_TRUE(remembered);
}

TEST(IdentifyNames, MissingAndExtraAtomsReported) {
  model_from_pdb(data("2BEG.pdb"));
  // Serine without OG, with an extra sulphur: no naming difference, a new
  // monomer.
  const int ser = residue_named("SER"), met = residue_named("MET");
  rename_atom(ser, "OG", "SG");
  atom_inf.id_sf(atom_of(ser, "SG")) = atom_inf.id_sf(atom_of(met, "SD"));
  const Outcome o = identify();
  ASSERT_EQ(o.ierr, 0) << o.out;
  EXPECT_EQ(count_of(o.out, "            atom: \"OG  \" is absent in coord_file\n"
                            "            atom: \"SG  \" is absent in lib description.\n"),
            1)
      << o.out;
  EXPECT_EQ(count_of(o.out, "  WARNING : SER      : program can not match library description....\n"), 1);
  EXPECT_EQ(final_name(ser), "SER_N1");
  EXPECT_EQ(o.nmnew, 1);
}

// The description built for a residue the library lacks does not depend on
// what was built before it in the same model.
TEST(IdentifyState, NewMonomerBuiltTheSameAfterAnother) {
  auto charges_of = [](const char* code) {
    const int l = dictionary::find_list_entry(code, false);
    std::string s;
    const r_scratch_t& r = r_scratch;
    for (int a = r.lml_iatom(l); a < r.lml_iatom(l) + r.lml_natm(l); ++a)
      s += r.lma_aname(a).str() + r.lma_chem(a).str() + std::to_string(r.lma_charg(a)) + ";";
    return s;
  };
  model_of({{"XAC", "ACE"}});
  ASSERT_EQ(identify().ierr, 0);
  const std::string alone = charges_of("XAC");
  model_of({{"XAS", "ASP", {"OXT", "HXT", "H2"}, {}, {}}, {"XAC", "ACE"}});
  const Outcome o = identify();
  ASSERT_EQ(o.ierr, 0) << o.out;
  EXPECT_EQ(charges_of("XAC"), alone);
}

// ------------------------------------------------------- bad input

TEST(IdentifyBadInput, DuplicatedAtomNamesEndIdentification) {
  std::vector<std::string> lines = model_lines({{"SER", "SER"}});
  lines.insert(lines.begin() + 2, lines[1]);  // N twice, same alternate
  const pdbtest::ReadResult rr = pdbtest::read_pdb(lines);
  ASSERT_EQ(rr.ierr, 0);
  load_library();
  const Outcome o = identify();
  EXPECT_EQ(o.ierr, 1);
  EXPECT_EQ(o.kerr, 0);
  EXPECT_NE(o.out.find("  ERROR : SER      : duplicated atom_name : \"N   \".\n"
                       "          chain: AA   residue:    1\n"),
            std::string::npos)
      << o.out;
}

TEST(IdentifyBadInput, OneAtomOfAnUnknownElement) {
  std::vector<std::string> lines = {pdbtest::kCryst,
                                    pdbtest::line({.rec = "HETATM", .name = " XX ", .res = "UNK", .elem = "XX"})};
  const pdbtest::ReadResult rr = pdbtest::read_pdb(lines);
  ASSERT_EQ(rr.ierr, 0);
  load_library();
  const Outcome o = identify();
  EXPECT_EQ(o.ierr, 0) << o.out;
  EXPECT_EQ(o.nmnew, 1);
  EXPECT_EQ(final_name(1), "UNK");
  EXPECT_GT(atom_inf.id_sf(1), 0);
}

TEST(IdentifyBadInput, EveryResidueUnknown) {
  model_of({{"AC1", "ACE"}, {"AC2", "ACE"}, {"AC1", "ACE"}});
  const Outcome o = identify();
  EXPECT_EQ(o.ierr, 0) << o.out;
  EXPECT_EQ(o.nmnew, 2) << "the third residue finds the first one's monomer";
  EXPECT_EQ(o.flag, "Y");
}

TEST(IdentifyBadInput, ResidueOverTheBuildersAtomLimit) {
  std::vector<std::string> lines = {pdbtest::kCryst};
  for (int i = 1; i <= MX1ATOM + 1; ++i)
    lines.push_back(pdbtest::line({.rec = "HETATM", .serial = i, .name = carbon_name(i), .res = "BIG",
                                   .x = 1.5f * static_cast<float>(i % 20), .y = 1.5f * static_cast<float>(i / 20),
                                   .elem = " C"}));
  const pdbtest::ReadResult rr = pdbtest::read_pdb(lines);
  ASSERT_EQ(rr.ierr, 0);
  load_library();
  const Outcome o = identify();
  EXPECT_EQ(o.ierr, 1);
  EXPECT_EQ(o.nmnew, 0) << "nothing half-built enters the dictionary";
  EXPECT_NE(o.out.find("          Change parameter MX1ATOM in \"lib_com.fh\"\n"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("          Change parameter MAX1ATM in \"lib_com.fh\"\n"), std::string::npos) << o.out;
}

TEST(IdentifyBadInput, EmptyModelAndEmptyDictionary) {
  model_of({{"SER", "SER"}});
  atom_inf.n_atom = 0;
  Outcome o = identify();
  EXPECT_EQ(o.ierr, 1);
  EXPECT_EQ(o.out, "  ERROR: number of atoms = 0...\n");
  model_of({{"SER", "SER"}});
  r_scratch.lml_nmon = 0;
  o = identify();
  EXPECT_EQ(o.kerr, -1) << "left as the caller set it";
  EXPECT_EQ(o.ierr, 2);
  EXPECT_EQ(o.out, "  ERR: number of monomer in the library = 0\n");
}

TEST(ConnTypeByBond, RingOrMethylOnTheBackboneNitrogen) {
  r_scratch_t& r = r_scratch;
  struct Row {
    const char *a1, *a2, *b1, *b2;
    int ictype;
  } rows[] = {{"N", "CA", "CA", "C", 1}, {"CD", "N", "CA", "C", 36}, {"N", "CN", "CA", "C", 38},
              {"N", "CN", "N", "CD", 36}};
  for (const Row& row : rows) {
    r.l1b_nbond = 2;
    r.l1b_1atm(1) = row.a1;
    r.l1b_2atm(1) = row.a2;
    r.l1b_1atm(2) = row.b1;
    r.l1b_2atm(2) = row.b2;
    int32_t ictype = 0, ierr = 5;
    check_conn_type_by_bond_(0, ictype, ierr);
    EXPECT_EQ(ictype, row.ictype) << row.a1 << "-" << row.a2 << ", " << row.b1 << "-" << row.b2;
    EXPECT_EQ(ierr, 0);
  }
}

}  // namespace
