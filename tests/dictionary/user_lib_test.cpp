// The user's own monomer library: monomers the main library lacks, ones it
// overrides, the retired code "???", links, and a run without one.
#include "dictionary/user_lib.h"

#include <gtest/gtest.h>

#include "dictionary/lib_writer.h"
#include "lib_write_fixture.h"
#include "monlib_fixture.h"

namespace {

using libwrite::file_lines;

// The user's library: ACE, which the test library lacks, GLY overriding the
// test library's glycine, the code "???" and a link (tests/data/monlib_user).
std::string user_library() { return std::string(ORB_TEST_DATA_DIR) + "/monlib_user/user_lib.cif"; }

class UserLibrary : public testing::Test {
 protected:
  void TearDown() override { rt::close_all_units(); }

  void load(bool with_user) {
    std::string out;
    ASSERT_EQ(monlib::load(monlib::test_library(), out, ' ', 'N',
                           with_user ? user_library() : ""),
              0)
        << out;
  }
  int32_t run(std::string* out = nullptr) {
    int32_t ierr = -1;
    const std::string text = captured([&] { get_user_lib_(nmnew, dnew, ' ', ierr); });
    if (out) *out = text;
    return ierr;
  }
  // The entry of code that the user's library listed.
  int user_entry(const char* code) const {
    for (int l = r.lml_nmon; l >= 1; --l)
      if (r.lml_mname(l) == code && r.lml_pass(l) > libcom.lb_numb_lib) return l;
    return 0;
  }

  int32_t nmnew = 0;
  char dnew = 'N';
  r_scratch_t& r = r_scratch;
};

}  // namespace

TEST_F(UserLibrary, MonomerTheMainLibraryLacksIsReadAndMarked) {
  load(true);
  const int l = user_entry("ACE");
  ASSERT_GT(l, 0);
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(r.lml_fuse(l).str(), "C");
  ASSERT_GT(r.lml_iatom(l), 0);
  EXPECT_EQ(r.lma_aname(r.lml_iatom(l) + 2).str(), "CH3 ");
  EXPECT_EQ(nmnew, 1);
}

TEST_F(UserLibrary, MonomerItOverridesComesFromTheUserLibrary) {
  load(true);
  const int l = user_entry("GLY");
  ASSERT_GT(l, 0);
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(r.lml_fuse(l).str(), "C");
  EXPECT_EQ(r.lml_name(l).trimmed(), "GLYCINE OF THE USER");
  EXPECT_EQ(r.lml_natm(l), 4);
  EXPECT_EQ(r.lml_fuse(monlib::entry_of("ALA")).str(), "N");
}

TEST_F(UserLibrary, RetiredCodeIsMarkedWithoutReading) {
  load(true);
  const int l = user_entry("???");
  ASSERT_GT(l, 0);
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(r.lml_fuse(l).str(), "C");
  EXPECT_EQ(r.lml_iatom(l), 0);
}

TEST_F(UserLibrary, LinkOfTheUserLibrarySetsTheLinkFlag) {
  load(true);
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(dnew, 'Y');
}

TEST_F(UserLibrary, WithoutAUserLibraryNothingChanges) {
  load(false);
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(nmnew, 0);
  EXPECT_EQ(dnew, 'N');
  for (int l = 1; l <= r.lml_nmon; ++l) EXPECT_EQ(r.lml_fuse(l).str(), "N") << l;
}

TEST_F(UserLibrary, NewLibraryHoldsTheUserMonomersAndReadsBack) {
  load(true);
  ASSERT_EQ(run(), 0);
  TempDir dir;
  std::filesystem::create_directories(dir.file("list"));
  libcom.lmo_path = dir.file("list/");
  libcom.lmo_file = "mon_lib_list";
  libcom.lmo_ext = "cif";
  int32_t ierr = 0;
  captured([&] {
    for (const char* m : {"TITC", "MONC", "MODC", "LINC", "STOP"}) wrt_lib_(0, m, 0, ierr);
  });
  ASSERT_EQ(ierr, 0);
  const auto lines = file_lines(dir.file("list/mon_lib_list.cif"));
  auto count = [&](const std::string& s) { return std::count(lines.begin(), lines.end(), s); };
  EXPECT_EQ(count("data_comp_ACE"), 1);
  EXPECT_EQ(count("data_comp_GLY"), 1);
  EXPECT_EQ(count("data_comp_ALA"), 0);
  EXPECT_EQ(count("data_link_list"), 1);
  for (const std::string& line : lines) EXPECT_NE(line.substr(0, 3), "???") << line;

  // The new library as the library of a later run: the user's monomers
  // come back with their descriptions.
  for (const char* f : {"mon_lib_ind.cif", "mon_lib_ind2.cif", "ener_lib.cif"})
    std::filesystem::copy_file(monlib::test_library() + f, dir.file(f));
  std::string out;
  ASSERT_EQ(monlib::load(dir.path() + "/", out), 0) << out;
  ASSERT_EQ(r.lml_nmon, 2);
  ASSERT_EQ(monlib::read_marked({"ACE", "GLY"}, out, 'Y'), 0) << out;
  const int ace = monlib::entry_of("ACE");
  ASSERT_GT(r.lml_iatom(ace), 0);
  EXPECT_EQ(r.lma_chem(r.lml_iatom(ace) + 2).str(), "CH3 ");
  EXPECT_EQ(r.lml_natm(monlib::entry_of("GLY")), 4);
}
