// The PostScript document: header, prolog resources, procedures, setup, page
// bracketing, trailer, colour mode, and a real interpreter's verdict on a
// page with every primitive.
#include "drawing/ps_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing/ps_axes.h"
#include "drawing/ps_primitives.h"
#include "drawing/ps_resource.h"
#include "drawing/text_plot.h"
#include "drawing_support.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "runtime/units.h"
#include "support/capture.h"

namespace {

using drawing_test::lines_of;

class PsDocument : public testing::Test {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    float rgb[3 * NTXCOLOUR];
    init_tx_par_(rgb, names_);
    for (int i = 0; i < 3 * NTXCOLOUR; ++i) rgb_[i] = rgb[i];
  }
  void TearDown() override { rt::close_all_units(); }

  // Opens a document of `pages` declared pages on the default page box.
  std::string open(int pages, bool colour) {
    const std::string path = dir_.file("doc.ps");
    pssetpg_(pages);
    int32_t ierr = -1;
    psopen_(path, 30, 550, 50, 780, NTXCOLOUR, rgb_, colour, 1, ierr);
    EXPECT_EQ(ierr, 0);
    return path;
  }

  TempDir dir_;
  float rgb_[3 * NTXCOLOUR];
  rt::FixedText<12> names_[NTXCOLOUR];
};

std::vector<std::string> slice(const std::vector<std::string>& v, std::size_t from, std::size_t n) {
  if (from >= v.size()) return {};
  return std::vector<std::string>(v.begin() + from, v.begin() + std::min(v.size(), from + n));
}

const std::vector<std::string> kPageStart = {
    "/VelmoraxSave save def", " 30.00 50.00 moveto 550.00  50.00 lineto 550.00 780.00 lineto",
    "  30.00 780.00 lineto closepath gsave", "gsave 1.0000 setgray fill grestore", "clip newpath"};

}  // namespace

TEST_F(PsDocument, GreyDocumentOfTwoPages) {
  const std::string path = open(2, false);
  psnwpag_(30, 550, 50, 780, false);
  psclos_(30, 550, 50, 780);
  const auto doc = lines_of(path);
  ASSERT_EQ(doc.size(), 7u + 104u + 2u + 24u + 4u + 1u + 5u + 4u + 5u + 6u);
  EXPECT_EQ(doc[3], "%%BoundingBox: (atend)");
  EXPECT_EQ(doc[4], "%%Pages:  2");
  // Grey mode: no colour procedures between the two fixed ones and Poly3.
  EXPECT_EQ(slice(doc, 111, 3),
            (std::vector<std::string>{"/L { moveto lineto stroke } bind def",
                                      "/Col { setrgbcolor } bind def",
                                      "/Poly3 { moveto lineto lineto fill grestore } bind def"}));
  EXPECT_EQ(doc[136], "%%EndProlog");
  EXPECT_EQ(doc[141], "%%Page:    1    1") << "the first page label is wider than the others";
  EXPECT_EQ(slice(doc, 142, 5), kPageStart);
  EXPECT_EQ(slice(doc, 147, 4), (std::vector<std::string>{"grestore stroke", "VelmoraxSave restore",
                                                          "showpage", "%%Page:  2  2"}));
  EXPECT_EQ(slice(doc, 151, 5), kPageStart);
  EXPECT_EQ(slice(doc, 156, 6),
            (std::vector<std::string>{"grestore stroke", "VelmoraxSave restore", "showpage",
                                      "%%Trailer", "%%BoundingBox:  29  49 551 781", "%%EOF"}));
}

TEST_F(PsDocument, ResourcesHoldTheProcedureAndTheLatin1Vector) {
  const std::string path = dir_.file("res.ps");
  rt::OpenOptions o;
  o.status = rt::OpenStatus::Replace;
  ASSERT_EQ(rt::unit_open(60, path, o), rt::IOSTAT_OK);
  psresource_new_(60);
  rt::unit_close(60);
  const auto res = lines_of(path);
  ASSERT_EQ(res.size(), 104u);
  EXPECT_EQ(res[35], "%%EndResource");
  EXPECT_EQ(res[36], "%%BeginResource: latin1_encoding");
  // 8#176 tilde closes the low codes; 8#240 follows on the same line.
  EXPECT_EQ(res[69], "8#175  /braceright   8#176  /tilde        8#240  /space        ");
  // Names that fill their field keep a blank before the next pair.
  EXPECT_EQ(res[78], "8#271  /dotlessi     8#272  /ordmasculine 8#273  /guillemotright ");
  EXPECT_EQ(res[101], "8#376  /thorn        8#377  /ydieresis\t");
  EXPECT_EQ(res[102], "] def");
}

TEST_F(PsDocument, ColourModeDefinesEveryColourAndFillsTheFirstPage) {
  const std::string path = open(1, true);
  psclos_(30, 550, 50, 780);
  const auto doc = lines_of(path);
  EXPECT_EQ(doc[113], "/Col01 {gsave   0.0000  0.0000  0.0000 setrgbcolor } def");
  EXPECT_EQ(doc[131], "/Col19 {gsave   1.0000  1.0000  1.0000 setrgbcolor } def");
  EXPECT_EQ(doc[132], "/Poly3 { moveto lineto lineto fill grestore } bind def");
  EXPECT_EQ(slice(doc, 166, 2),
            (std::vector<std::string>{
                "Col01", "  30.00  50.00 550.00  50.00 550.00 780.00  30.00 780.00 Pl4"}));
}

// One page with every primitive in colour mode, each fill behind a line that
// saves the state, and texts that PostScript must escape.
TEST_F(PsDocument, InterpreterAcceptsAPageWithEveryPrimitive) {
  const std::string path = open(2, true);
  float x1 = 40, y1 = 60, x2 = 5000, y2 = 70;
  psline_(x1, y1, x2, y2);
  float xl = 100, xr = 200, yl = 100, yh = 150;
  psbox_(xl, xr, yl, yh);
  pslwid_(0.3f);
  psdash_(3);
  psdash_(0);
  pscolb_(0.2f, 0.4f, 0.6f);
  pscolr_(1, 0, 0);
  psutri_(100, 200, 150, 200, 125, 250);
  pshade_(0.5f, 5, rgb_, NTXCOLOUR, true);
  float t[6] = {200, 200, 250, 200, 225, 2000};
  pstria_(t[0], t[1], t[2], t[3], t[4], t[5]);
  ps_cale_(0.25f, true, NTXCOLOUR, rgb_, 1, 2);
  psbbox_(300, 300, 300, 350, 350, 350, 350, 300);
  pshade_(0.8f, 3, rgb_, NTXCOLOUR, false);
  float q[8] = {400, 300, 400, 350, 450, 350, -1200, 300};
  psubox_(q[0], q[1], q[2], q[3], q[4], q[5], q[6], q[7]);
  pscolr_(0, 0, 1);
  psmark_(100, 400, 1, 5, 5);
  pscolr_(0, 1, 0);
  psmark_(120, 400, 2, 5, 5);
  psmark_(140, 400, 4, 5, 5);
  float cx = 200, cy = 400;
  pscirc_(cx, cy, 10);
  pstext_(100, 500, 12, "A(B) \\ C)");
  psbtext_(100, 520, 12, "bold )(");
  pssymb_(100, 540, 12, "abc\\");
  psctxt_(300, 500, 10, "centred (x)");
  psrctx_(400, 500, 10, "up \\(");
  psrtxt_(450, 500, 10, "up too");
  axes_(100, 400, 600, 700, 3, 2, 0, 3, 0, 1, 8, 0, 1, 10, true, true, true, false, false, true);
  psnwpag_(30, 550, 50, 780, false);
  pstext_(100, 100, 10, "second page");
  psclos_(30, 550, 50, 780);
  std::string messages;
  EXPECT_EQ(drawing_test::render(path, messages), 0) << messages;
  EXPECT_EQ(messages, "");
}
