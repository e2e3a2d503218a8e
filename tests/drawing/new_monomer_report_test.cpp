// The new-monomer report: which files a monomer gets, the stereo drawing on
// geometry chosen for exact arithmetic, the restraint tables of a small
// monomer, page breaks, and documents that a PostScript interpreter accepts,
// also for names that PostScript must escape.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dictionary/lib_com.h"
#include "drawing/new_monomer_report.h"
#include "drawing/text_plot.h"
#include "drawing_support.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "runtime/units.h"
#include "support/capture.h"

namespace {

using drawing_test::L1;
using drawing_test::lines_of;
using drawing_test::ScratchDir;

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
  L1::torsion(n, ca, c, o, "psi", -29.90f, -29.90f, -29.90f, 2);
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

  ScratchDir dir_;
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
  EXPECT_EQ(out, " * CIFile  : dravneck_XAL.cif\n * PDBfile : dravneck_XAL.pdb\n"
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
  const std::vector<std::string> first_box = {
      " 110.00 730.00 290.00 730.00 L", " 290.00 730.00 290.00 550.00 L",
      " 290.00 550.00 110.00 550.00 L", " 110.00 550.00 110.00 730.00 L",
      " 200.00 680.00 200.00 600.00 L"};
  EXPECT_EQ(between(doc, first_box[0], 5), first_box);
  // A at tenths (500, 900): label at plot (49, 90), size 100/10 = 10.
  EXPECT_EQ(between(doc, " 200.00 678.50 moveto", 3),
            (std::vector<std::string>{" 200.00 678.50 moveto", "(A)", "10.0 Print"}));
  // The second view turns about x; points on the x axis do not move.
  const std::vector<std::string> second_box = {
      " 290.00 730.00 470.00 730.00 L", " 470.00 730.00 470.00 550.00 L",
      " 470.00 550.00 290.00 550.00 L", " 290.00 550.00 290.00 730.00 L",
      " 380.00 680.00 380.00 600.00 L"};
  EXPECT_EQ(between(doc, second_box[0], 5), second_box);
}

TEST_F(NewMonomerReport, TablesOfASmallMonomer) {
  alanine("XAL");
  report("tessran");
  const auto doc = lines_of(dir_.file("model_XAL.ps"));
  // Bonds start at plot x 250 + 20 + 15 + 15 = 300 (page y 480, baseline
  // 478), band 1 at plot y 11 (page x 41) and its values at 51 (page x 81).
  EXPECT_EQ(between(doc, " 260.00 527.50 moveto", 3),
            (std::vector<std::string>{" 260.00 527.50 moveto", "(BONDS)", "10.0 Print"}));
  // The value text "  1.468  1.468  1.468" starts with a blank: a move with no
  // word, then the words at 5.76 points a character.
  const std::vector<std::string> bonds_line1 = {
      "  41.00 478.00 moveto", "(N)",        " 8.0 Print", "  64.04 478.00 moveto",
      "(-CA)",                 " 8.0 Print", "  81.00 478.00 moveto", "  92.52 478.00 moveto",
      "(1.468)",               " 8.0 Print", " 132.84 478.00 moveto", "(1.468)",
      " 8.0 Print",            " 173.16 478.00 moveto", "(1.468)",  " 8.0 Print"};
  EXPECT_EQ(between(doc, bonds_line1[0], bonds_line1.size()), bonds_line1);
}
