// The PDB reader on small hand-written files: chains and residues from atom
// records, hydrogens, alternate locations, insertion codes, numbering, the
// final status and full tables.
#include <gtest/gtest.h>

#include "foundation/atom_com.h"
#include "pdb_fixture.h"

using namespace pdbtest;

namespace {

std::vector<std::string> five_group_file() {
  std::vector<std::string> l = {kCryst};
  append(l, residue("MET", 'A', 1));
  append(l, residue("ALA", 'A', 2));
  Atom oxt;
  oxt.name = " OXT";
  oxt.res = "ALA";
  oxt.resnum = 2;
  oxt.elem = " O";
  l.push_back(line(oxt));
  l.push_back(kTer);
  append(l, residue("GLY", 'B', 1));
  l.push_back(kTer);
  Atom lig;
  lig.rec = "HETATM";
  lig.name = " C1 ";
  lig.res = "LIG";
  lig.resnum = 301;
  l.push_back(line(lig));
  l.push_back(water('A', 401));
  l.push_back(water('A', 402));
  l.push_back(water('B', 401));
  return l;
}

}  // namespace

TEST(PdbReaderChains, FiveGroupsFromProteinsLigandAndWaters) {
  const ReadResult r = read_pdb(five_group_file());
  EXPECT_EQ(r.ierr, 0);
  ASSERT_EQ(asym_part.n_group, 5);
  EXPECT_EQ(chain_id(1), "AA  ");
  EXPECT_EQ(chain_id(2), "BB  ");
  EXPECT_EQ(chain_id(3), "Aa  ");
  EXPECT_EQ(chain_id(4), "Ab  ");
  EXPECT_EQ(chain_id(5), "Ba  ");
  EXPECT_EQ(resid_inf.n_residue, 7);
  EXPECT_EQ(atom_inf.n_atom, 17);
  // Characters 1-2 of every residue key follow the chain identifier.
  EXPECT_EQ(resid_inf.res_num_pdb(6).sub(1, 2), "Ab");
  EXPECT_EQ(asym_part.nres_chain(4), 2);
  EXPECT_EQ(asym_part.ich_type(4), 9);
  EXPECT_EQ(cif_asym_part.n_grp_asm, 0);
}

TEST(PdbReaderChains, SummaryLinesFollowTheMessageCode) {
  Options o;
  o.mdoc = 0;
  ReadResult r = read_pdb(five_group_file(), o);
  EXPECT_NE(r.out.find(" Number of atoms    :      17\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" Number of residues :       7\n"), std::string::npos);
  EXPECT_NE(r.out.find(" Number of chains   :       5\n"), std::string::npos);
  o.mdoc = -999;
  r = read_pdb(five_group_file(), o);
  EXPECT_EQ(r.out.find("Number of atoms"), std::string::npos);
}

TEST(PdbReaderChains, HetatmResidueInsideAChainSplitsItInThree) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 1));
  append(l, residue("MSE", 'A', 2, "HETATM"));
  append(l, residue("GLY", 'A', 3));
  const ReadResult r = read_pdb(l);
  EXPECT_EQ(r.ierr, 0);
  ASSERT_EQ(asym_part.n_group, 3);
  EXPECT_EQ(chain_id(1), "AA  ");
  EXPECT_EQ(chain_id(2), "Aa  ");
  EXPECT_EQ(chain_id(3), "Ab  ");
}

TEST(PdbReaderChains, TwoLigandsInARowAreTwoChains) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 1));
  l.push_back(kTer);
  append(l, residue("LIG", 'A', 301, "HETATM"));
  append(l, residue("LIG", 'A', 302, "HETATM"));
  read_pdb(l);
  EXPECT_EQ(asym_part.n_group, 3);
}

TEST(PdbReaderChains, PeptideAfterAnOxtStartsANewChain) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 1));
  Atom oxt;
  oxt.name = " OXT";
  oxt.elem = " O";
  l.push_back(line(oxt));
  append(l, residue("GLY", 'A', 2));
  read_pdb(l);
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(asym_part.iterm_f_type(1), 2);
  EXPECT_EQ(asym_part.iterm_s_type(1), 2);
  EXPECT_EQ(resid_inf.ires_back(2), -1);
}

TEST(PdbReaderChains, FirstResidueOfEveryChainHasNoBackLink) {
  read_pdb(five_group_file());
  for (int g = 1; g <= asym_part.n_group; ++g)
    EXPECT_EQ(resid_inf.ires_back(asym_part.ires_first(g)), -1) << g;
  EXPECT_EQ(resid_inf.ires_back(2), 1);
  EXPECT_EQ(resid_inf.ires_forw(1), 2);
  EXPECT_EQ(resid_inf.ires_forw(2), 0);
}

TEST(PdbReaderResidues, InsertionCodesGiveConsecutiveSerials) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 10));
  append(l, residue("GLY", 'A', 10, "ATOM", 'A'));
  append(l, residue("SER", 'A', 11));
  const ReadResult r = read_pdb(l);
  EXPECT_EQ(r.ierr, 0);
  ASSERT_EQ(resid_inf.n_residue, 3);
  EXPECT_EQ(resid_inf.ires_serial(1), 10);
  EXPECT_EQ(resid_inf.ires_serial(2), 11);
  EXPECT_EQ(resid_inf.ires_serial(3), 12);
  EXPECT_EQ(com_out_cif.out_cif_ins, 0);
  EXPECT_EQ(asym_part.n_group, 1);
}

TEST(PdbReaderResidues, NumberingGapMarksTheConnection) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 5));
  append(l, residue("GLY", 'A', 8));
  append(l, residue("PRO", 'A', 9));
  read_pdb(l);
  EXPECT_EQ(resid_inf.iconn_type(1), 1);
  EXPECT_EQ(resid_inf.iconn_type(2), 10);
  EXPECT_EQ(resid_inf.iconn_type(3), 36);
  EXPECT_EQ(resid_inf.ires_serial(2), 8);
  EXPECT_EQ(com_out_cif.out_cif_ins, 1);
}

TEST(PdbReaderResidues, DuplicateResidueNumberGivesStatusSix) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 10));
  append(l, residue("GLY", 'A', 10));
  const ReadResult r = read_pdb(l);
  EXPECT_EQ(r.ierr, 6);
  EXPECT_NE(r.out.find(" ERROR: in chain A residue:  10\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("        different residues have the same number\n"), std::string::npos);
}

TEST(PdbReaderResidues, DuplicateLinesAreReportedEvenUnderTheSilentCode) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 10));
  append(l, residue("GLY", 'A', 10));
  append(l, residue("SER", 'A', 10));
  Options o;
  o.mdoc = -999;
  const ReadResult r = read_pdb(l, o);
  EXPECT_EQ(r.ierr, 6);
  int pairs = 0;
  for (std::size_t p = r.out.find("different residues"); p != std::string::npos;
       p = r.out.find("different residues", p + 1))
    ++pairs;
  EXPECT_EQ(pairs, 3);
}

TEST(PdbReaderResidues, InsertionCodeKeepsNumbersApartInALongWaterChain) {
  std::vector<std::string> l = {kCryst};
  for (int i = 1; i <= 5000; ++i) l.push_back(water('A', i));
  Atom w;
  w.rec = "HETATM";
  w.name = " O  ";
  w.res = "HOH";
  w.resnum = 10;
  w.ins = 'A';
  w.elem = " O";
  l.push_back(line(w));
  Options o;
  o.mdoc = -999;
  ReadResult r = read_pdb(l, o);
  EXPECT_EQ(r.ierr, 0);
  ASSERT_EQ(asym_part.n_group, 1);
  EXPECT_EQ(asym_part.nres_chain(1), 5001);
  // The same number again, without insertion code, at the far end.
  l.push_back(water('A', 17));
  r = read_pdb(l, o);
  EXPECT_EQ(r.ierr, 6);
  const std::string report =
      " ERROR: in chain A residue:  17\n"
      "        different residues have the same number\n";
  ASSERT_GE(r.out.size(), report.size());
  EXPECT_EQ(r.out.substr(r.out.size() - report.size()), report) << r.out;
  EXPECT_EQ(r.out.find("different"), r.out.rfind("different"));
}

TEST(PdbReaderResidues, JoinedWaterPiecesWithOneNumberGiveStatusSix) {
  std::vector<std::string> l = {kCryst};
  Atom w;
  w.rec = "HETATM";
  w.name = " O  ";
  w.res = "HOH";
  w.resnum = 10;
  w.seg = "WAT";
  w.elem = " O";
  l.push_back(line(w));
  l.push_back(kTer);
  l.push_back(line(w));
  Options o;
  o.seg = 'Y';
  o.mdoc = -999;
  const ReadResult r = read_pdb(l, o);
  ASSERT_EQ(asym_part.n_group, 1);
  EXPECT_EQ(asym_part.nres_chain(1), 2);
  EXPECT_EQ(r.ierr, 6);
  const std::string report =
      " ERROR: in chain WAT  residue:  10\n"
      "        different residues have the same number\n";
  ASSERT_GE(r.out.size(), report.size());
  EXPECT_EQ(r.out.substr(r.out.size() - report.size()), report) << r.out;
}

TEST(PdbReaderAtoms, HydrogensAreDroppedButDeuteriumStays) {
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 1));
  Atom h;
  h.name = " H  ";
  h.elem = " H";
  l.push_back(line(h));
  l.push_back("ANISOU    9  H   ALA A   1     1234   2345   3456    100    200    300       H");
  Atom d = h;
  d.name = " D  ";
  d.elem = " D";
  l.push_back(line(d));
  read_pdb(l);
  ASSERT_EQ(atom_inf.n_atom, 5);
  EXPECT_EQ(atom_inf.atm_name(5), std::string_view("H"));
  EXPECT_EQ(atom_inf.n_aniso, 0);
}

TEST(PdbReaderAtoms, HydrogensStayWhenAsked) {
  std::vector<std::string> l = {kCryst};
  Atom h;
  h.name = " H  ";
  h.elem = " H";
  l.push_back(line(h));
  Options o;
  o.hremove = 'N';
  read_pdb(l, o);
  EXPECT_EQ(atom_inf.n_atom, 1);
}

TEST(PdbReaderAtoms, AlternateLocationsAreKeptPerAtom) {
  std::vector<std::string> l = {kCryst};
  Atom a;
  a.name = " CB ";
  a.alt = 'A';
  a.occ = 0.5f;
  l.push_back(line(a));
  a.alt = 'B';
  l.push_back(line(a));
  a.name = " CA ";
  a.alt = ' ';
  a.occ = 1.0f;
  l.push_back(line(a));
  read_pdb(l);
  ASSERT_EQ(atom_inf.n_atom, 3);
  EXPECT_EQ(resid_inf.n_residue, 1);
  EXPECT_EQ(atom_inf.id_alt(1), std::string_view("A"));
  EXPECT_EQ(atom_inf.id_alt(2), std::string_view("B"));
  EXPECT_EQ(atom_inf.id_alt(3), std::string_view("."));
  EXPECT_FLOAT_EQ(atom_crd.occup(1), 0.5f);
}

TEST(PdbReaderAtoms, AnisotropicRecordFillsTheAtom) {
  std::vector<std::string> l = {kCryst};
  Atom a;
  l.push_back(line(a));
  l.push_back("ANISOU    1  CA  ALA A   1     1234   2345   3456    100    200    300       C");
  l.push_back("SIGUIJ    1  CA  ALA A   1       10     10     10     10     10     10       C");
  a.name = " CB ";
  l.push_back(line(a));
  read_pdb(l);
  ASSERT_EQ(atom_inf.n_atom, 2);
  EXPECT_EQ(atom_inf.n_aniso, 1);
  EXPECT_EQ(atom_inf.b_flag(1), 1);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 1), 0.1234f);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(6, 1), 0.03f);
  EXPECT_EQ(atom_inf.b_flag(2), 0);
  EXPECT_FLOAT_EQ(atom_crd.u_aniso(1, 2), 20.0f / (8.0f * 3.14159265f * 3.14159265f));
}

TEST(PdbReaderAtoms, StrayAnisouDoesNotStoreAnAtomTwice) {
  std::vector<std::string> l = {kCryst};
  Atom a;
  l.push_back(line(a));
  l.push_back(kTer);
  l.push_back("ANISOU    1  CA  ALA A   1     1234   2345   3456    100    200    300       C");
  read_pdb(l);
  EXPECT_EQ(atom_inf.n_atom, 1);
}

TEST(PdbReaderAtoms, UserLineBetweenAtomAndAnisouKeepsTheAtom) {
  std::vector<std::string> l = {kCryst};
  Atom a;
  l.push_back(line(a));
  l.push_back("USER  remark about the atom");
  l.push_back("ANISOU    1  CA  ALA A   1     1234   2345   3456    100    200    300       C");
  a.name = " CB ";
  l.push_back(line(a));
  l.push_back("USER  another remark");
  a.name = " N  ";
  l.push_back(line(a));
  read_pdb(l);
  ASSERT_EQ(atom_inf.n_atom, 3);
  EXPECT_EQ(atom_inf.n_aniso, 1);
  EXPECT_EQ(atom_inf.atm_name(2), std::string_view("CB"));
}

TEST(PdbReaderAtoms, OccupancyAboveOneIsCappedWithOneWarning) {
  std::vector<std::string> l = {kCryst};
  Atom a;
  a.occ = 1.5f;
  l.push_back(line(a));
  a.name = " CB ";
  l.push_back(line(a));
  Options o;
  o.mdoc = -999;
  const ReadResult r = read_pdb(l, o);
  EXPECT_FLOAT_EQ(atom_crd.occup(1), 1.0f);
  EXPECT_FLOAT_EQ(atom_crd.occup(2), 1.0f);
  EXPECT_EQ(r.out, "\n Spacegroup information obtained from library file: \n Logical Name: SYMINFO   Filename: " ORB_DATA_DIR
                   "/syminfo.lib\n\n  WARNING: \"SCALE\" card is absent in input PDB file\n"
                   "  WARNING: occupancy > 1.0\n           program set occupancy = 1.0\n");
}

TEST(PdbReaderAtoms, ElementColumnIsCleaned) {
  std::vector<std::string> l = {kCryst};
  Atom a;
  a.name = "FE  ";
  a.res = "FE2";
  a.rec = "HETATM";
  a.elem = "FE";
  a.charge = "2+";
  l.push_back(line(a));
  Atom z = a;
  z.name = "ZN  ";
  z.res = "ZN";
  z.resnum = 2;
  z.elem = "ZN";
  z.charge = "+0";
  l.push_back(line(z));
  read_pdb(l);
  ASSERT_EQ(crst_crd.cs_nsfatm, 2);
  EXPECT_EQ(crst_crd.cs_element(1), std::string_view("FE+2"));
  EXPECT_EQ(crst_crd.cs_atype(1), std::string_view("FE"));
  EXPECT_EQ(crst_crd.cs_element(2), std::string_view("ZN"));
  EXPECT_EQ(atom_inf.id_sf(2), 2);
}

TEST(PdbReaderAtoms, ZeroChargeIsClearedInEitherNotation) {
  std::vector<std::string> l = {kCryst};
  Atom a;
  a.rec = "HETATM";
  a.name = "CU  ";
  a.res = "CU";
  a.elem = "CU";
  a.charge = "0+";  // turned into "+0", then cleared
  l.push_back(line(a));
  Atom b = a;
  b.name = "MN  ";
  b.res = "MN";
  b.resnum = 2;
  b.elem = "MN";
  b.charge = "2-";
  l.push_back(line(b));
  read_pdb(l);
  ASSERT_EQ(crst_crd.cs_nsfatm, 2);
  EXPECT_EQ(crst_crd.cs_element(1), std::string_view("CU"));
  EXPECT_EQ(crst_crd.cs_element(2), std::string_view("MN-2"));
}

TEST(PdbReaderAtoms, NamesAsReadAndNormalised) {
  std::vector<std::string> l = {kCryst};
  Atom a;
  l.push_back(line(a));
  a.name = "1HB ";
  a.elem = " H";
  l.push_back(line(a));
  Options o;
  o.hremove = 'N';
  read_pdb(l, o);
  EXPECT_EQ(atom_inf.atm_name_inp(1), std::string_view("CA__"));
  EXPECT_EQ(atom_inf.atm_name(1), std::string_view("CA"));
  EXPECT_EQ(atom_inf.atm_name(2), std::string_view("HB_1"));
}

TEST(PdbReaderAtoms, NonNumericCoordinateStopsTheRead) {
  std::vector<std::string> l = {kCryst};
  Atom a;
  std::string bad = line(a);
  bad.replace(30, 8, "  1.x00 ");
  l.push_back(bad);
  const ReadResult r = read_pdb(l);
  EXPECT_EQ(r.ierr, 1);
  EXPECT_NE(r.out.find("  ERROR: wrong number in PDB atom record:\n"), std::string::npos);
  EXPECT_EQ(atom_inf.n_atom, 0);
}

TEST(PdbReaderAtoms, NonNumericResidueNumberStopsTheRead) {
  std::vector<std::string> l = {kCryst};
  Atom a;
  std::string bad = line(a);
  bad.replace(22, 4, "1A2 ");
  l.push_back(bad);
  EXPECT_EQ(read_pdb(l).ierr, 1);
}

TEST(PdbReaderStatus, NoCrystGivesNineAndWarningsUnderTheSilentCode) {
  Options o;
  o.mdoc = -999;
  const ReadResult r = read_pdb(residue("ALA", 'A', 1), o);
  EXPECT_EQ(r.ierr, 9);
  EXPECT_EQ(r.out,
            "  WARNING: \"CRYST1\" card is absent in input PDB file\n"
            "           Default: 100,100,100,90,90,90\n"
            "  WARNING: \"SCALE\" card is absent in input PDB file\n");
  EXPECT_EQ(atom_inf.n_atom, 4);
  EXPECT_FLOAT_EQ(crst_crd.cs_cell(1), 100.0f);
}

TEST(PdbReaderStatus, NoCrystWithASpaceGroupNumberGivesSeven) {
  Options o;
  o.mdoc = -999;
  o.nospgr = 19;
  const ReadResult r = read_pdb(residue("ALA", 'A', 1), o);
  EXPECT_EQ(r.ierr, 7);
  EXPECT_EQ(crst_crd.cs_nspgr, 19);
  EXPECT_EQ(crst_crd.cs_nsym, 4);
}

TEST(PdbReaderStatus, EmptyFileWithoutCellGivesNine) {
  const ReadResult r = read_pdb({});
  EXPECT_EQ(r.ierr, 9);
  EXPECT_EQ(asym_part.n_group, 0);
  EXPECT_NE(r.out.find(" ERROR: in \"SET_MOD\", N_GROUP or N_ATOM = 0\n"), std::string::npos);
}

TEST(PdbReaderStatus, CellWithoutAtomsGivesZero) {
  const ReadResult r = read_pdb({kCryst});
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(atom_inf.n_atom, 0);
}

TEST(PdbReaderStatus, UserCellFarFromTheFileIsRefused) {
  Options o;
  o.mdoc = -999;
  const float cell[6] = {56.0f, 60.0f, 70.0f, 90.0f, 90.0f, 90.0f};
  std::copy(cell, cell + 6, o.cell);
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 1));
  const ReadResult r = read_pdb(l, o);
  EXPECT_EQ(r.ierr, 10);
  EXPECT_FLOAT_EQ(crst_crd.cs_cell(1), 56.0f);
  EXPECT_FLOAT_EQ(atom_crd.xyz_crd(1, 1), 1.0f);
}

TEST(PdbReaderStatus, UserCellWithinTenPercentConvertsTheAtoms) {
  Options o;
  o.mdoc = -999;
  const float cell[6] = {55.0f, 60.0f, 70.0f, 90.0f, 90.0f, 90.0f};
  std::copy(cell, cell + 6, o.cell);
  std::vector<std::string> l = {kCryst};
  append(l, residue("ALA", 'A', 10));
  const ReadResult r = read_pdb(l, o);
  EXPECT_EQ(r.ierr, 0);
  // x = 10 in a cell of 50 is fractional 0.2, which is 11 in a cell of 55.
  EXPECT_NEAR(atom_crd.xyz_crd(1, 1), 11.0f, 1e-4);
  EXPECT_NEAR(atom_crd.xyz_crd(2, 1), 2.0f, 1e-5);
}

TEST(PdbReaderStatus, SecondModelEndsTheInput) {
  std::vector<std::string> l = {kCryst, "MODEL        1"};
  append(l, residue("ALA", 'A', 1));
  l.push_back("ENDMDL");
  l.push_back("MODEL        2");
  append(l, residue("ALA", 'A', 1));
  const ReadResult r = read_pdb(l);
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(atom_inf.n_atom, 4);
  EXPECT_EQ(crdinf.cr_model_pdb, 2);
}

TEST(PdbReaderCapacity, FifteenHundredChainsFitAndOneMoreDoesNot) {
  std::vector<std::string> l = {kCryst};
  Atom a;
  for (int i = 1; i <= 1500; ++i) {
    a.resnum = i;
    l.push_back(line(a));
    l.push_back(kTer);
  }
  Options o;
  o.mdoc = -999;
  ReadResult r = read_pdb(l, o);
  EXPECT_EQ(r.ierr, 0);
  EXPECT_EQ(asym_part.n_group, 1500);
  a.resnum = 1501;
  l.push_back(line(a));
  r = read_pdb(l, o);
  EXPECT_EQ(r.ierr, 1);
  EXPECT_EQ(asym_part.n_group, 1500);
  EXPECT_NE(r.out.find(" ERROR: number of chains >  1500\n"
                       "         Change parameter MAXCHAIN in \"atom_com\"\n"),
            std::string::npos)
      << r.out;
}
