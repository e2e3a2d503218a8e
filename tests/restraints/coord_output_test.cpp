// The coordinate and structure files written during restraint generation:
// a residue of a real entry (1A8O) in the tree order of its monomer with
// the atoms the description does not cover appended, its structure rows
// with serials, radii and hydrogen-bond types, and the controllers' errors.
#include "restraints/coord_output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "dictionary/work_copies.h"
#include "model_fixture.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

class CoordOutput : public rtest::EntryTest<> {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
    crdinf_t& c = crdinf;
    c.cro_path = c.crso_path = dir.path() + "/";
    c.cro_file = c.crso_file = "gen";
    c.cro_ext = "crd";
    c.crso_ext = "str";
    c.cro_iun = c.crso_iun = 0;
    ser = rtest::residue('A', " 178 ");
  }
  // SER 178 prepared with hydrogen policy flag, its CB renamed to a name
  // the monomer lacks, kept in C2 with serial base 40; both files written.
  void write_ser(const char* hflag) {
    crdinf.cr_hflag = hflag;
    const int32_t cb = rtest::first_atom(ser, "CB");
    atom_inf.atm_name(cb) = "XX";
    ASSERT_EQ(rtest::prepare(ser), 0);
    atom_inf.atm_name(cb) = "CB";
    int32_t ierr = 0;
    copyc2_(99, ierr);
    r_scratch.c2_iglobal = 40;
    std::string out = captured([&] {
      wrt_ccrd_("TITL", 0, 0, ierr);
      EXPECT_EQ(ierr, 0);
      wrt_str_("TITL", 0, ierr);
      EXPECT_EQ(ierr, 0);
      wrt_ccrd2_("WRIT", 0, 0, ierr);
      EXPECT_EQ(ierr, 0);
      wrt_str_("WRIT", 0, ierr);
      EXPECT_EQ(ierr, 0);
      wrt_ccrd_("STOP", 0, 0, ierr);
      EXPECT_EQ(ierr, 0);
      wrt_str_("STOP", 0, ierr);
      EXPECT_EQ(ierr, 0);
    });
  }
  // The first lines of the rows after the item `last` of a loop header.
  std::vector<std::string> rows(const char* file, const char* last) {
    std::vector<std::string> out;
    bool in_loop = false;
    for (const std::string& l : lines_of(file_text(dir.path() + "/" + file))) {
      if (l == last) in_loop = true;
      else if (in_loop && l.size() > 6 && l[5] >= '0' && l[5] <= '9') out.push_back(l);
    }
    return out;
  }
  TempDir dir;
  int32_t ser = 0;
};

}  // namespace

// Serial, name and state of the coordinate rows; serial, hydrogen-bond
// type, back serial and radius of the structure rows.
std::vector<std::string> atom_rows(const std::vector<std::string>& rows) {
  std::vector<std::string> out;
  for (const std::string& r : rows) {
    std::istringstream in(r);
    std::vector<std::string> f;
    for (std::string w; in >> w;) f.push_back(w);
    out.push_back(f[0] + " " + f[1] + " " + f.back());
  }
  return out;
}
std::vector<std::string> str_rows(const std::vector<std::string>& rows) {
  std::vector<std::string> out;
  for (const std::string& r : rows) {
    std::istringstream in(r);
    std::vector<std::string> f;
    for (std::string w; in >> w;) f.push_back(w);
    out.push_back(f[0] + " " + f[1] + " " + f[3] + " " + f[11]);
  }
  return out;
}

TEST_F(CoordOutput, TreeOrderThenTheAtomsTheDescriptionDoesNotCover) {
  write_ser("N");
  EXPECT_EQ(atom_rows(rows("gen.crd", "_atom_site.label_chem_id")),
            (std::vector<std::string>{"41 N .", "42 CA .", "43 C .", "44 O .", "45 CB M", "46 OG .",
                                      "47 XX U"}));
  EXPECT_EQ(r_scratch.c2_igatm, 7);  // raised by the appended atom
  // Back serials along the tree; no hydrogens: radii with hydrogens (NH1
  // 1.25, OH1 1.22), the hydrogen-bond types of the energy types.
  EXPECT_EQ(str_rows(rows("gen.str", "_struct_atom.ion_radius")),
            (std::vector<std::string>{"41 D -1 1.25", "42 N 41 1.70", "43 N 42 1.70",
                                      "44 A 43 1.22", "45 N 42 1.70", "46 B 45 1.22"}));
}

TEST_F(CoordOutput, AnAtomCarryingAHydrogenKeepsItsPlainRadius) {
  write_ser("A");
  const auto str = str_rows(rows("gen.str", "_struct_atom.ion_radius"));
  ASSERT_EQ(str.size(), 11u);         // six heavy atoms and five hydrogens to rebuild
  EXPECT_EQ(str[0], "41 D -1 1.55");  // N with H
  EXPECT_EQ(str[5].substr(0, 5), "46 B ");
  EXPECT_EQ(str[5].substr(str[5].size() - 4), "1.52");  // OG with HG
}

TEST_F(CoordOutput, ADeletedAtomLeavesTheTreeAndNumbersOnlyAtTheEnd) {
  crdinf.cr_hflag = "N";
  ASSERT_EQ(rtest::prepare(ser), 0);
  int32_t ierr = 0;
  copyc2_(99, ierr);
  r_scratch_t& r = r_scratch;
  r.c2_iglobal = 0;
  int32_t o = 0, ca = 0;
  for (int32_t k = 1; k <= r.c2_natom; ++k) {
    if (r.c2_aname(k) == "O") o = k;
    if (r.c2_aname(k) == "CA") ca = k;
  }
  r.c2_atype(o) = "D";
  r.c2_xyz(2, ca) = std::nanf("");
  captured([&] {
    wrt_ccrd_("TITL", 0, 0, ierr);
    wrt_str_("TITL", 0, ierr);
    wrt_ccrd2_("WRIT", 0, 0, ierr);
    wrt_str_("WRIT", 0, ierr);
    wrt_ccrd_("STOP", 0, 0, ierr);
    wrt_str_("STOP", 0, ierr);
  });
  EXPECT_EQ(atom_rows(rows("gen.crd", "_atom_site.label_chem_id")),
            (std::vector<std::string>{"1 N .", "2 CA .", "3 C .", "4 CB .", "5 OG .", "6 O D"}));
  EXPECT_EQ(str_rows(rows("gen.str", "_struct_atom.ion_radius")).size(), 5u);
  EXPECT_EQ(file_text(dir.path() + "/gen.crd").find("NaN"), std::string::npos);
}

TEST_F(CoordOutput, ControllersWithoutAFileOrWithoutATitle) {
  int32_t ierr = 5;
  crdinf.cro_file = "";
  crdinf.crso_file = "";
  std::string out = captured([&] {
    for (const char* mode : {"TITL", "WRIT", "STOP"}) {
      wrt_ccrd_(mode, 0, 0, ierr);
      wrt_str_(mode, 0, ierr);
    }
  });
  EXPECT_EQ(out, "");
  EXPECT_EQ(ierr, 5);
  EXPECT_TRUE(lines_of(file_text(dir.path() + "/gen.crd")).empty());
  crdinf.cro_file = crdinf.crso_file = "gen";
  const struct {
    const char* label;
    void (*call)(int32_t&);
    const char* message;
  } rows_[] = {
      {"coordinates block", [](int32_t& e) { wrt_ccrd2_("WRIT", 0, 0, e); },
       "  ERR: output_CRD_file isn't open\n"},
      {"coordinates close", [](int32_t& e) { wrt_ccrd_("STOP", 0, 0, e); },
       "  ERR: output_CRD_file can't be close\n"},
      {"structure block", [](int32_t& e) { wrt_str_("WRIT", 0, e); },
       "  ERR: output_STR_file isn't open\n"},
      {"structure close", [](int32_t& e) { wrt_str_("STOP", 0, e); },
       "  ERR: output_STR_file can't be close\n"},
  };
  for (const auto& row : rows_) {
    ierr = 0;
    out = captured([&] { row.call(ierr); });
    EXPECT_EQ(out, row.message) << row.label;
    EXPECT_EQ(ierr, 1) << row.label;
  }
}
