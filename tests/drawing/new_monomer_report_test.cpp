// The new-monomer report: which files a monomer gets, the stereo drawing on
// geometry chosen for exact arithmetic, the restraint tables of a small
// monomer, page breaks, and documents that a PostScript interpreter accepts,
// also for names that PostScript must escape.
#include "drawing/new_monomer_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dictionary/lib_com.h"
#include "drawing/text_plot.h"
#include "drawing_support.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "runtime/units.h"
#include "support/capture.h"

namespace {

using drawing_test::L1;
using drawing_test::lines_of;

// Alanine without hydrogens: atom names and ideal coordinates of the
// chemical component ALA (wwPDB Chemical Component Dictionary).  Library,
// coordinate and energy values are all the ones computed from those
// coordinates: bonds, angles and the psi torsion N-CA-C-O, the chiral volume
// of CA from N, C, CB, and distances of the carboxyl atoms from their
// least-squares plane.
void alanine(std::string_view code) {
  L1::clear(code, "alanine without hydrogens");
  const int n = L1::atom("N", "N", -0.966f, 0.493f, 1.500f);
  const int ca = L1::atom("CA", "C", 0.257f, 0.418f, 0.692f);
  const int c = L1::atom("C", "C", -0.094f, 0.017f, -0.716f);
  const int o = L1::atom("O", "O", -1.056f, -0.682f, -0.923f);
  const int cb = L1::atom("CB", "C", 1.204f, -0.620f, 1.296f);
  const int oxt = L1::atom("OXT", "O", 0.661f, 0.439f, -1.742f);
  L1::bond(n, ca, 1.468f, 1.468f, 1.468f);
  L1::bond(ca, c, 1.505f, 1.505f, 1.505f);
  L1::bond(ca, cb, 1.529f, 1.529f, 1.529f);
  L1::bond(c, o, 1.207f, 1.207f, 1.207f);
  L1::bond(c, oxt, 1.342f, 1.342f, 1.342f);
  L1::angle(n, ca, c, 109.52f, 109.52f, 109.52f);
  L1::angle(n, ca, cb, 109.46f, 109.46f, 109.46f);
  L1::angle(c, ca, cb, 109.45f, 109.45f, 109.45f);
  L1::angle(ca, c, o, 120.03f, 120.03f, 120.03f);
  L1::angle(ca, c, oxt, 120.01f, 120.01f, 120.01f);
  L1::angle(o, c, oxt, 119.96f, 119.96f, 119.96f);
  L1::torsion(n, ca, c, o, "psi", -29.90f, 2);
  L1::chiral(ca, n, c, cb, "positiv", 2.60f, 2.60f);
  L1::plane("plan-1", {"CA", "C", "O", "OXT"}, {-0.001f, 0.001f, 0.003f, -0.003f}, 0.020f);
}

class NewMonomerReport : public testing::Test {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    comlib.idoc = 0;
    crdinf.crps_iun = 51;
    crdinf.cro_file = "";
    crdinf.crps_path = dir_.path() + "/";
    crdinf.crps_file = "model";
    crdinf.crps_ext = "ps";
  }
  void TearDown() override { rt::close_all_units(); }

  // Runs the report and returns its messages.
  std::string report(std::string_view prog, std::string_view mon_input = "        ",
                     float vangle = 0.0f, std::string_view mod = "C") {
    int32_t ierr = -1;
    std::string out = captured([&] { graph_newl_(0, mod, mon_input, prog, vangle, ierr); });
    EXPECT_EQ(ierr, 0);
    return out;
  }

  bool exists(const std::string& name) const { return std::filesystem::exists(dir_.file(name)); }

  TempDir dir_;
};

std::vector<std::string> between(const std::vector<std::string>& lines, const std::string& first,
                                 std::size_t count) {
  auto it = std::find(lines.begin(), lines.end(), first);
  if (it == lines.end()) return {};
  const std::size_t at = static_cast<std::size_t>(it - lines.begin());
  return std::vector<std::string>(it, lines.begin() + std::min(lines.size(), at + count));
}

}  // namespace

TEST_F(NewMonomerReport, NoAtomWithCoordinatesWritesNothing) {
  L1::clear("NIL", "nothing placed");
  L1::atom("C1", "C", 0, 0, 0, false);
  L1::atom("C2", "C", 1, 0, 0, false);
  crdinf.cro_file = dir_.path() + "/out";
  EXPECT_EQ(report("dravneck"), "");
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

TEST_F(NewMonomerReport, TwoAtomsUnderTheLibraryToolGetFilesButNoDrawing) {
  L1::clear("DUO", "two atoms");
  L1::atom("C1", "C", 0, 0, 0);
  L1::atom("C2", "C", 1.5f, 0, 0);
  crdinf.cro_file = dir_.path() + "/out";
  const std::string root = dir_.path() + "/out_DUO";
  EXPECT_EQ(report("dravneck"), " * CIFile  : " + root + ".cif\n" + " * PDBfile : " + root +
                                    ".pdb\n" + "  WARNING: number of atoms < 3 for DUO\n" +
                                    "             Can not create PostScript file\n");
  EXPECT_TRUE(exists("out_DUO.cif"));
  EXPECT_TRUE(exists("out_DUO.pdb"));
  EXPECT_FALSE(exists("out_DUO.ps"));
}

TEST_F(NewMonomerReport, LibraryToolWithoutOutputNameNamesFilesAfterItself) {
  alanine("XAL");
  crdinf.cro_file = ",x";
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  const std::string out = report("dravneck");
  std::filesystem::current_path(here);
  EXPECT_EQ(out,
            " * CIFile  : dravneck_XAL.cif\n * PDBfile : dravneck_XAL.pdb\n"
            " * Plotfile: dravneck_XAL.ps\n");
  EXPECT_TRUE(exists("dravneck_XAL.ps"));
}

TEST_F(NewMonomerReport, OtherProgramsGetTheReportAloneNamedByThePostScriptSettings) {
  alanine("XAL");
  crdinf.cro_file = dir_.path() + "/out";
  EXPECT_EQ(report("tessran"), " * Plotfile: " + dir_.path() + "/model_XAL.ps\n");
  EXPECT_TRUE(exists("model_XAL.ps"));
  EXPECT_FALSE(exists("out_XAL.cif"));

  // A blank name and path fall back to "tessran" in the working directory.
  crdinf.crps_path = "";
  crdinf.crps_file = "";
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  report("tessran", "?ABC");
  std::filesystem::current_path(here);
  EXPECT_TRUE(exists("tessran_XAL.ps")) << "a code starting with ? is not used";
}

// The suite's open ends the run when a file of the code base cannot be
// opened for writing; the report does not get to go on without its file.
TEST_F(NewMonomerReport, ReportThatCannotBeOpenedEndsTheRun) {
  alanine("XAL");
  crdinf.crps_path = dir_.path() + "/missing/";
  std::string out;
  int32_t ierr = -1;
  EXPECT_EQ(run_end_status([&] { graph_newl_(0, "C", "", "tessran", 0.0f, ierr); }, out), 1);
  EXPECT_NE(out.find(" Open failed: File: " + dir_.path() + "/missing/model_XAL.ps"),
            std::string::npos)
      << out;
  EXPECT_FALSE(exists("missing"));
}

// Four atoms on the axes of the drawing plane at 2 A from their centre:
// radius 2, radbor 4.5, scale 180/9 = 20 points per A, eye distance 27.  An
// atom at (x, y, 0) projects to tenths (200x + 900, 200y + 900), the pen goes
// to a tenth of that, and plot (a, b) lands on page (30 + 80 + b, 780 - 50 - a)
// in the first box and 180 further right in the second.
TEST_F(NewMonomerReport, StereoPairOfExactlyPlacedAtoms) {
  L1::clear("SQR", "square");
  const int a = L1::atom("A", "C", -2, 0, 0);
  const int b = L1::atom("B", "C", 2, 0, 0);
  L1::atom("C", "C", 0, 2, 0);
  L1::atom("D", "C", 0, -2, 0);
  L1::bond(a, b, 4, 4, 4);
  report("tessran");
  const auto doc = lines_of(dir_.file("model_SQR.ps"));
  // The box edges, then the bond A-B from tenths (500, 900) to (1300, 900).
  EXPECT_EQ(between(doc, " 110.00 550.00 110.00 730.00 L", 2),
            (std::vector<std::string>{" 110.00 550.00 110.00 730.00 L",
                                      " 200.00 680.00 200.00 600.00 L"}));
  // A at tenths (500, 900): label at plot (49, 90), size 100/10 = 10.
  EXPECT_EQ(between(doc, " 200.00 678.50 moveto", 3),
            (std::vector<std::string>{" 200.00 678.50 moveto", "(A)", "10.0 Print"}));
  // The second view turns about x; points on the x axis do not move.
  EXPECT_EQ(between(doc, " 290.00 550.00 290.00 730.00 L", 2),
            (std::vector<std::string>{" 290.00 550.00 290.00 730.00 L",
                                      " 380.00 680.00 380.00 600.00 L"}));
}

TEST_F(NewMonomerReport, TableLinesOfEveryKind) {
  alanine("XAL");
  // A metal-kind centre lacking an atom, and a negative centre.
  L1::chiral(2, 1, 0, 5, "cross3", 1.5f, 1.25f);
  L1::chiral(2, 1, 3, 5, "negativ", 2.5f, -2.5f);
  report("tessran");
  const auto doc = lines_of(dir_.file("model_XAL.ps"));
  // Bonds start at plot x 250 + 20 + 15 + 15 = 300 (page y 480, baseline
  // 478), band 1 at plot y 11 (page x 41) and its values at 51 (page x 81).
  EXPECT_EQ(between(doc, " 260.00 527.50 moveto", 3),
            (std::vector<std::string>{" 260.00 527.50 moveto", "(BONDS)", "10.0 Print"}));
  // The value text "  1.468  1.468  1.468" starts with a blank: a move with no
  // word, then the words at 5.76 points a character.
  // clang-format off
  const std::vector<std::string> bonds_line1 = {
      "  41.00 478.00 moveto", "(N)", " 8.0 Print",
      "  64.04 478.00 moveto", "(-CA)", " 8.0 Print",
      "  81.00 478.00 moveto", "  92.52 478.00 moveto", "(1.468)",
      " 8.0 Print", " 132.84 478.00 moveto", "(1.468)",
      " 8.0 Print", " 173.16 478.00 moveto", "(1.468)",
      " 8.0 Print"};
  // clang-format on
  EXPECT_EQ(between(doc, bonds_line1[0], bonds_line1.size()), bonds_line1);
  // Bonds fill lines 300 and 310, angles start 20 + 20 + 15 further (365),
  // torsions at 395 + 55 = 450, chirality at 460 + 55 = 515, planes at 580.
  // Torsion band 1: "N   -CA  -C   -O    psi" at plot y 2 (page x 32), a
  // word every 5.76 points a character, blanks included.
  const std::vector<std::string> torsion = {"  32.00 328.00 moveto", "(N)",   " 8.0 Print",
                                            "  55.04 328.00 moveto", "(-CA)", " 8.0 Print",
                                            "  83.84 328.00 moveto", "(-C)",  " 8.0 Print",
                                            " 112.64 328.00 moveto", "(-O)",  " 8.0 Print",
                                            " 147.20 328.00 moveto", "(psi)", " 8.0 Print"};
  EXPECT_EQ(between(doc, torsion[0], torsion.size()), torsion);
  // Chirality band 2 (plot y h+7 = 180, page x 210): the centre, "->", and
  // "." for the missing atom; band 3's ideal value (2h+94 = 440) negated.
  const std::vector<std::string> metal = {" 210.00 263.00 moveto", "(CA)",  " 8.0 Print",
                                          " 233.04 263.00 moveto", "(->N)", " 8.0 Print",
                                          " 267.60 263.00 moveto", "(-.)",  " 8.0 Print",
                                          " 296.40 263.00 moveto", "(-CB)", " 8.0 Print"};
  EXPECT_EQ(between(doc, metal[0], metal.size()), metal);
  EXPECT_EQ(between(doc, " 470.00 263.00 moveto", 5),
            (std::vector<std::string>{" 470.00 263.00 moveto", " 487.28 263.00 moveto", "(-2.50)",
                                      " 8.0 Print", " 495.00 263.00 moveto"}));
  // Planes: band 2 at h+25 = 198 (page x 228), values at h+90 (page x 293).
  EXPECT_EQ(between(doc, " 228.00 198.00 moveto", 6),
            (std::vector<std::string>{" 228.00 198.00 moveto", "(plan-1)", " 8.0 Print",
                                      " 279.84 198.00 moveto", "(C)", " 8.0 Print"}));
}

TEST_F(NewMonomerReport, FullPagesBreakWithTheCodeAndWithoutHeadings) {
  alanine("XAL");
  for (int k = 0; k < 3 * 40; ++k) L1::bond(1, 2, 1.468f, 1.468f, 1.468f);
  report("tessran");
  const auto doc = lines_of(dir_.file("model_XAL.ps"));
  // 125 bonds: lines 300 .. 670 take 38 x 3, the 39th line goes to a new
  // page at plot x 50 under the code (page y 755 at size 20).
  const auto page2 = between(doc, "%%Page:  2  2", 12);
  ASSERT_EQ(page2.size(), 12u);
  EXPECT_EQ(page2[6], " 260.00 750.00 moveto");
  EXPECT_EQ(page2[7], "(XAL)");
  EXPECT_EQ(page2[8], "20.0 Print");
  EXPECT_EQ(page2[9], "  41.00 728.00 moveto");
  EXPECT_EQ(std::count(doc.begin(), doc.end(), "(Dlib)"), 3) << "one heading, three bands";
  EXPECT_EQ(std::count(doc.begin(), doc.end(), "%%Pages:  5"), 1) << "five declared";
  EXPECT_EQ(std::count(doc.begin(), doc.end(), "%%Page:  2  2"), 1);
  EXPECT_EQ(std::count(doc.begin(), doc.end(), "%%Page:  3  3"), 0);
}

// The drawing points left in L2: the axis of least extent turned to depth,
// centred, then turned by the caller's angle about x.
TEST_F(NewMonomerReport, DrawingPointsTurnTheFlattestAxisToTheEye) {
  struct Case {
    const char* label;
    float extent[3];  // the atoms stand at +-extent on each axis
    float want_first[3];
  } cases[] = {
      {"x flattest: (x, y, z) becomes (y, z, x)", {0.5f, 2, 3}, {0, 0, -0.5f}},
      {"y flattest: (x, y, z) becomes (z, x, y)", {2, 0.5f, 3}, {0, -2, 0}},
      {"z flattest: nothing moves", {2, 3, 0.5f}, {-2, 0, 0}},
      {"a tie of the two flattest: nothing moves", {2, 1, 1}, {-2, 0, 0}},
  };
  for (const Case& c : cases) {
    L1::clear("PTS", "points");
    for (int k = 0; k < 3; ++k) {
      float p[3] = {0, 0, 0}, m[3] = {0, 0, 0};
      p[k] = c.extent[k] + 10;
      m[k] = -c.extent[k] + 10;
      for (int j = 0; j < 3; ++j)
        if (j != k) p[j] = m[j] = 10;
      L1::atom('M' + std::to_string(k), "C", m[0], m[1], m[2]);
      L1::atom('P' + std::to_string(k), "C", p[0], p[1], p[2]);
    }
    report("tessran");
    EXPECT_FLOAT_EQ(r_scratch.l2a_x(1), c.want_first[0]) << c.label;
    EXPECT_FLOAT_EQ(r_scratch.l2a_y(1), c.want_first[1]) << c.label;
    EXPECT_FLOAT_EQ(r_scratch.l2a_z(1), c.want_first[2]) << c.label;
    EXPECT_EQ(r_scratch.l1a_x(1), -c.extent[0] + 10) << "L1 is not changed";
  }
  // A turn of 90 degrees takes (x, y, z) to (x, z, -y).
  L1::clear("PTS", "points");
  L1::atom("A", "C", 0, 1, 0);
  L1::atom("B", "C", 0, -1, 0);
  L1::atom("C", "C", 3, 0, 0);
  L1::atom("D", "C", -3, 0, 0);
  report("tessran", "", 90.0f);
  EXPECT_NEAR(r_scratch.l2a_y(1), 0.0f, 1e-6f);
  EXPECT_NEAR(r_scratch.l2a_z(1), -1.0f, 1e-6f);
}

// Names and codes that PostScript must escape, a monomer without bonds and
// one whose tables run to a third page: every page renders without error.
TEST_F(NewMonomerReport, InterpreterAcceptsEveryPageOfAReport) {
  struct Case {
    const char* label;
    const char* code;
    const char* file;
    int extra_bonds;
    bool bonds;
  } cases[] = {
      {"names and code with parentheses and backslashes", "X(L\\", "model_X(L\\.ps", 0, true},
      {"three pages of tables", "XAL", "model_XAL.ps", 3 * 90, true},
      {"no bonds", "NOB", "model_NOB.ps", 0, false},
  };
  for (const Case& c : cases) {
    alanine(c.code);
    r_scratch.l1a_aname(4) = "O(1";
    r_scratch.l1a_aname(5) = "C\\B";
    r_scratch.l1a_aname(6) = "O)\\";
    r_scratch.l1l_name = "name (with) \\ slashes";
    r_scratch.l1t_label(1) = "ps(i\\";
    for (int k = 0; k < c.extra_bonds; ++k) L1::bond(1, 2, 1.468f, 1.468f, 1.468f);
    if (!c.bonds) r_scratch.l1b_nbond = 0;
    report("tessran", "", 30.0f);
    std::string messages;
    EXPECT_EQ(drawing_test::render(dir_.file(c.file), messages), 0) << c.label << "\n" << messages;
    EXPECT_EQ(messages, "") << c.label;
  }
}

// An index beyond the description names no atom: the bond is neither drawn
// nor listed, the metal-kind centre shows it as ".", and nothing reads past
// the atom table.
TEST_F(NewMonomerReport, IndexBeyondTheDescriptionNamesNoAtom) {
  alanine("XAL");
  r_scratch.l1b_nbond = 0;
  L1::bond(1, 400, 9.999f, 9.999f, 9.999f);
  L1::bond(1, 2, 1.468f, 1.468f, 1.468f);
  L1::chiral(2, 1, 400, 5, "star", 1.5f, 1.25f);
  report("tessran");
  const auto doc = lines_of(dir_.file("model_XAL.ps"));
  EXPECT_EQ(std::count(doc.begin(), doc.end(), "(9.999)"), 0);
  EXPECT_EQ(std::count(doc.begin(), doc.end(), "(1.468)"), 3);
  EXPECT_EQ(std::count(doc.begin(), doc.end(), "(-.)"), 1);
}
