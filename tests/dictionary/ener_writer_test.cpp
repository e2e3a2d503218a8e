// The energy-library writer: the atom-type loop, the order of the term rows
// by the type table, the torsion and synonym categories the reader takes,
// empty term tables and calls out of order.
#include "dictionary/ener_writer.h"

#include <gtest/gtest.h>

#include "lib_write_fixture.h"

namespace {

using libwrite::file_lines;
using Lines = std::vector<std::string>;

class EnerWriter : public testing::Test {
 protected:
  void SetUp() override {
    libwrite::clear_all();
    libwrite::name_outputs(dir);
  }
  void TearDown() override { rt::close_all_units(); }

  int32_t write(std::initializer_list<const char*> modes, std::string* out = nullptr) {
    int32_t ierr = -7;
    const std::string text = captured([&] {
      for (const char* m : modes) wrt_elib_(m, 0, ierr);
    });
    if (out) *out = text;
    return ierr;
  }
  Lines lines() const { return file_lines(dir.file("new_ener_lib.cif")); }
  // The rows after the item names of the loop whose first item is `item`.
  Lines rows(const std::string& item) const {
    const Lines all = lines();
    Lines out;
    auto it = std::find(all.begin(), all.end(), item);
    while (it != all.end() && (*it)[0] == '_') ++it;
    for (; it != all.end() && (*it)[0] == ' '; ++it) out.push_back(*it);
    return out;
  }
  // Types with the weight and radii of carbon, nitrogen and oxygen.
  void types(std::initializer_list<const char*> names) {
    for (const char* n : names) {
      const int i = ++r.lea_natom;
      r.lea_aname(i) = n;
      r.lea_ename(i) = std::string_view(n, 1);
      r.lea_htype(i) = "N";
      r.lea_type(i) = "Y";
      r.lea_weight(i) = 12.011f;
      r.lea_radius(i) = r.lea_hradius(i) = 1.7f;
      r.lea_iradius(i) = 0.0f;
      r.lea_polar(i) = r.lea_hpolar(i) = 0.0f;
      r.lea_valency(i) = 4;
      r.lea_sp(i) = 3;
    }
  }
  void bond(const char* a, const char* b, float length) {
    const int j = ++r.leb_nbond;
    r.leb_1atm(j) = a;
    r.leb_2atm(j) = b;
    r.leb_type(j) = "single";
    r.leb_const(j) = 450.0f;
    r.leb_length(j) = length;
  }
  void angle(const char* a, const char* c, const char* b, float value) {
    const int j = ++r.leg_nangl;
    r.leg_1atm(j) = a;
    r.leg_2atm(j) = c;
    r.leg_3atm(j) = b;
    r.leg_const(j) = 55.0f;
    r.leg_angle(j) = value;
  }
  void contact(const char* a, const char* b) {
    const int j = ++r.lew_ncont;
    r.lew_1atm(j) = a;
    r.lew_2atm(j) = b;
    r.lew_emin(j) = 0.1f;
    r.lew_rmin(j) = 3.4f;
    r.lew_hflag(j) = "N";
  }

  TempDir dir;
  r_scratch_t& r = r_scratch;
};

}  // namespace

TEST_F(EnerWriter, TitleAndAtomTypes) {
  types({"C", "NH1"});
  r.lea_weight(2) = 14.007f;
  r.lea_htype(2) = "D";
  ASSERT_EQ(write({"TITL", "STOP"}), 0);
  EXPECT_EQ(lines(), (Lines{
                         "#",
                         "data_ener_lib",
                         "#",
                         "# --- ATOM ---",
                         "#",
                         "loop_",
                         "_lib_atom.type",
                         "_lib_atom.weight",
                         "_lib_atom.hb_type",
                         "_lib_atom.vdw_radius",
                         "_lib_atom.vdwh_radius",
                         "_lib_atom.ion_radius",
                         "_lib_atom.element",
                         "_lib_atom.valency",
                         "_lib_atom.sp",
                         " C       12.01100  N     1.700     1.700   0.000  C       4   3",
                         " NH1     14.00700  D     1.700     1.700   0.000  N       4   3",
                     }));
}

TEST_F(EnerWriter, PolarisabilityColumnsOnlyWhenAnyTypeHasOne) {
  types({"C", "O"});
  r.lea_polar(2) = 0.8f;
  ASSERT_EQ(write({"TITL", "STOP"}), 0);
  EXPECT_EQ(rows("_lib_atom.type"),
            (Lines{" C       12.01100  N     1.700     1.700   0.000  C       4   3     0.000     0.000",
                   " O       12.01100  N     1.700     1.700   0.000  O       4   3     0.800     0.000"}));
}

TEST_F(EnerWriter, BondsGroupedByTheLaterTypeWithItFirst) {
  types({"C", "N", "O"});
  bond("O", "N", 1.40f);
  bond("C", "O", 1.43f);
  bond("N", "C", 1.47f);
  bond("C", "C", 1.53f);
  bond("C", "XX", 1.00f);  // a type missing from the table
  ASSERT_EQ(write({"TITL", "WRIT", "STOP"}), 0);
  EXPECT_EQ(rows("_lib_bond.atom_type_1"), (Lines{
                                               " C    C    single    450.000    1.530",
                                               " N    C    single    450.000    1.470",
                                               " O    C    single    450.000    1.430",
                                               " O    N    single    450.000    1.400",
                                           }));
}

TEST_F(EnerWriter, AnglesGroupedByCentreThenEndTypes) {
  types({"C", "N", "O"});
  angle("O", "C", "N", 110.0f);
  angle("N", "C", "O", 111.0f);
  angle("C", "C", "C", 109.5f);
  angle("N", "N", "C", 120.0f);
  bond("C", "C", 1.53f);
  ASSERT_EQ(write({"TITL", "WRIT", "STOP"}), 0);
  EXPECT_EQ(rows("_lib_angle.atom_type_1"), (Lines{
                                                " C    C    C      55.000  109.500",
                                                " O    C    N      55.000  110.000",
                                                " O    C    N      55.000  111.000",
                                                " N    N    C      55.000  120.000",
                                            }));
}

TEST_F(EnerWriter, TypeNamedTwiceGivesItsRowsOnce) {
  types({"C", "N", "C"});
  bond("N", "C", 1.47f);
  ASSERT_EQ(write({"TITL", "WRIT", "STOP"}), 0);
  EXPECT_EQ(rows("_lib_bond.atom_type_1"), (Lines{" N    C    single    450.000    1.470"}));
}

TEST_F(EnerWriter, EmptyTermTableIsPassedOverNotTheRest) {
  types({"C", "N"});
  angle("C", "N", "C", 120.0f);
  contact("N", "C");
  std::string out;
  ASSERT_EQ(write({"TITL", "WRIT", "STOP"}, &out), 0);
  EXPECT_EQ(out, " #   Number of bonds = 0\n # Number of tortions = 0\n #   Number of H - bonds = 0\n");
  EXPECT_EQ(rows("_lib_angle.atom_type_1"), (Lines{" C    N    C      55.000  120.000"}));
  EXPECT_EQ(rows("_lib_vdw.atom_type_1"), (Lines{" N    C        0.10000     3.400   N"}));
  EXPECT_EQ(lines().back(), "# ----------------------");
}

TEST_F(EnerWriter, CallsOutOfOrderAreRefused) {
  struct Case {
    const char* label;
    std::initializer_list<const char*> modes;
    const char* message;
  };
  const Case cases[] = {
      {"terms before title", {"WRIT"}, "  ERR: output_ener_lib_file isn't open\n"},
      {"stop before title", {"STOP"}, "  ERROR: output \"ener_lib.cif\": can't be closed\n"},
      {"title twice", {"TITL", "TITL"}, "  ERROR: output_ener_lib_file was open before\n"},
  };
  types({"C"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    rt::close_all_units();
    libcom.leo_iun = 0;
    std::string out;
    EXPECT_EQ(write(c.modes, &out), 1);
    EXPECT_EQ(out, c.message);
  }
}

TEST_F(EnerWriter, FileThatCannotTakeTheLinesIsAnError) {
  types({"C", "N"});
  bond("C", "N", 1.47f);
  libcom.leo_path = "/dev/";
  libcom.leo_file = "full";
  libcom.leo_ext = "";
  std::string out;
  EXPECT_EQ(write({"TITL", "WRIT", "STOP"}, &out), 1);
  EXPECT_NE(out.find("  ERR: can't write output ener_lib file\n"), std::string::npos);
  EXPECT_EQ(libcom.leo_iun, 0);
}
