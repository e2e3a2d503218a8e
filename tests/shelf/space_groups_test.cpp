// Space groups of real entries, run as a user runs them: the example program
// and orbinate each in a process of their own.  A group in a setting other
// than the standard one of its number keeps its setting from either form,
// its .crd names it with its International Tables number and reads back to
// the same run, and a group the symmetry library lacks leaves the identity
// alone, with no link made to a copy that is not known.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "pipeline/pipeline_fixture.h"
#include "prepare_process.h"
#include "support/temp_dir.h"

#if defined(ORB_PREPARE_MODEL) && defined(ORB_ORBINATE)

namespace {

using shelftest::Ran;
using shelftest::count_of;
using shelftest::run_orbinate;
using shelftest::run_prepare;

// The two symmetry lines of a written .crd.
std::string written_group(const TempDir& dir) {
  std::istringstream in(file_text(dir.file("out.crd")));
  std::string line, out;
  while (std::getline(in, line))
    if (line.starts_with("_symmetry.space_group_name_H-M") ||
        line.starts_with("_symmetry.Int_Tables_number"))
      out += line + "\n";
  return out;
}

// The restraint counts of a run: "97 bonds, 1 symmetry bonds".
std::string counts(const TempDir& dir) {
  std::istringstream in(file_text(dir.file("out.rst")));
  std::string line;
  int bonds = 0, symm = 0, angles = 0;
  while (std::getline(in, line)) {
    bonds += line.starts_with("BOND ");
    symm += line.starts_with("BNDS ");
    angles += line.starts_with("ANGL ");
  }
  return std::to_string(bonds) + " bonds, " + std::to_string(symm) + " symmetry bonds, " +
         std::to_string(angles) + " angles";
}

// The entry's text with `from` replaced by `to` (each must be there), as a
// file of the directory.
std::string edited(const std::string& path,
                   std::initializer_list<std::pair<const char*, const char*>> edits,
                   const TempDir& dir, const std::string& name) {
  std::string text = file_text(path);
  for (const auto& [from, to] : edits) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, std::strlen(from), to);
  }
  return dir.write(name, text);
}

}  // namespace

// gemmi's form of a fragment of 4hhh names P 21 2 21 with number 18, whose
// standard setting is P 21 21 2: read by the number, the disulfide of CYS C
// 247 and CYS D 247 across the two-fold along b lay 28 A apart and was not
// restrained.  Both forms restrain it, write the setting with number 18,
// and their .crd runs again to the same counts.
TEST(SpaceGroups, SettingOtherThanTheNumbersIsReadUsedAndWritten) {
  for (const char* file : {"cif_4hhh_frag_gemmi.cif", "pdb_4hhh_frag.pdb"}) {
    SCOPED_TRACE(file);
    TempDir first, again, tls;
    const Ran a = run_prepare(pipetest::data(file), first);
    ASSERT_EQ(a.status, 0) << a.log;
    EXPECT_EQ(written_group(first),
              "_symmetry.space_group_name_H-M  'P 21 2 21'\n_symmetry.Int_Tables_number     18\n");
    EXPECT_NE(a.log.find("  INFO:     symm.link will be used, dist=   2.371"), std::string::npos)
        << a.log;
    EXPECT_EQ(a.log.find("too far apart"), std::string::npos) << a.log;
    EXPECT_EQ(a.log.find("WARNING: space group"), std::string::npos) << a.log;
    const Ran b = run_prepare(first.file("out.crd"), again);
    ASSERT_EQ(b.status, 0) << b.log;
    EXPECT_EQ(written_group(again), written_group(first));
    EXPECT_EQ(counts(again), counts(first));
    EXPECT_EQ(run_orbinate(pipetest::data(file), tls).status, 0);
  }
}

// 1A8O given the archive's header of a crystal in I 1 2 1 (number 5, whose
// standard setting is C 1 2 1): both forms keep the body-centring, both
// programs read them, the .crd says 'I 1 2 1' and 5 (not the library's own
// 4005), and runs again to the same group and counts.  A file this system
// wrote with 4005 beside the name reads as the name, without a warning.
TEST(SpaceGroups, ArchiveHeaderInISettingKeepsItsSetting) {
  TempDir files;
  const std::string cif =
      edited(pipetest::data("cif_1A8O.cif"),
             {{"_cell.angle_beta         90.00", "_cell.angle_beta         100.00"},
              {"'P 43 21 2'", "'I 1 2 1'"},
              {"_symmetry.Int_Tables_number                ?",
               "_symmetry.Int_Tables_number                5"}},
             files, "i121.cif");
  const std::string pdb =
      edited(pipetest::data("1A8O.pdb"),
             {{"90.00  90.00  90.00 P 43 21 2     8", "90.00 100.00  90.00 I 1 2 1       8"}},
             files, "i121.pdb");
  const std::string own =
      edited(cif, {{"Int_Tables_number                5", "Int_Tables_number                4005"}},
             files, "i121_4005.cif");
  for (const std::string& path : {cif, pdb, own}) {
    SCOPED_TRACE(path);
    TempDir first, again, tls;
    const Ran a = run_prepare(path, first);
    ASSERT_EQ(a.status, 0) << a.log;
    EXPECT_EQ(a.log.find("WARNING: space group"), std::string::npos) << a.log;
    EXPECT_EQ(written_group(first),
              "_symmetry.space_group_name_H-M  'I 1 2 1'\n_symmetry.Int_Tables_number      5\n");
    const std::string crd = file_text(first.file("out.crd"));
    EXPECT_NE(crd.find("  3  1/2+X,1/2+Y,1/2+Z,\n  4  1/2-X,1/2+Y,1/2-Z,\n"), std::string::npos)
        << crd;
    const Ran b = run_prepare(first.file("out.crd"), again);
    ASSERT_EQ(b.status, 0) << b.log;
    EXPECT_EQ(written_group(again), written_group(first));
    EXPECT_EQ(counts(again), counts(first));
    const Ran t = run_orbinate(path, tls);
    EXPECT_EQ(t.status, 0) << t.log;
    EXPECT_EQ(t.log.find("WARNING: space group"), std::string::npos) << t.log;
  }
}

// A CRYST1 group the library does not know, and the same in mmCIF: named
// in a warning by both programs, the identity alone stands, and the link
// of SG CYS A 1 to its own copy by operator 2 is not made (it was a bond
// of the atom to itself).
TEST(SpaceGroups, GroupTheLibraryLacksLeavesTheIdentityAndNoLinkToACopy) {
  TempDir files;
  const std::string pdb = pipetest::data("pdb_cys_group_the_library_lacks.pdb");
  const std::string cif =
      edited(pipetest::data("cif_cys_number_not_the_names.cif"),
             {{"'P 21 2 21'\n_symmetry.Int_Tables_number 19\n",
               "'Q 1 2 1'\n_struct_conn.id disulf1\n_struct_conn.conn_type_id disulf\n"
               "_struct_conn.ptnr1_label_asym_id A\n_struct_conn.ptnr1_label_comp_id CYS\n"
               "_struct_conn.ptnr1_auth_seq_id 1\n_struct_conn.ptnr1_label_atom_id SG\n"
               "_struct_conn.ptnr1_symmetry 1_555\n_struct_conn.ptnr2_label_asym_id A\n"
               "_struct_conn.ptnr2_label_comp_id CYS\n_struct_conn.ptnr2_auth_seq_id 1\n"
               "_struct_conn.ptnr2_label_atom_id SG\n_struct_conn.ptnr2_symmetry 2_555\n"}},
             files, "q121.cif");
  const std::string group =
      "  WARNING: space group 'Q 1 2 1' is not in the symmetry library\n"
      "           only the identity X,Y,Z stands: no symmetry copy is made\n";
  for (const auto& [path, record] :
       {std::pair{pdb, std::string("LINK record symmetry code \"2555\"")},
        std::pair{cif, std::string("connection row symmetry code \"2_555\"")}}) {
    SCOPED_TRACE(path);
    TempDir first, tls;
    const Ran a = run_prepare(path, first);
    ASSERT_EQ(a.status, 0) << a.log;
    // Read from the file, and from the .crd the run reads back.
    EXPECT_EQ(count_of(a.log, group), 2u) << a.log;
    EXPECT_EQ(count_of(a.log, "  WARNING : " + record +
                                  " names no operator of the space group\n"
                                  "            link SG CYS A"),
              1u)
        << a.log;
    EXPECT_EQ(count_of(a.log, " is not made\n"), 1u) << a.log;
    EXPECT_EQ(counts(first), "5 bonds, 0 symmetry bonds, 5 angles");
    EXPECT_EQ(written_group(first).substr(0, 41), "_symmetry.space_group_name_H-M  'Q 1 2 1'");
    const Ran t = run_orbinate(path, tls);
    EXPECT_EQ(t.status, 0) << t.log;
    EXPECT_EQ(count_of(t.log, group), 1u) << t.log;
  }
}

#endif
