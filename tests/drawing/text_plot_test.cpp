// The text-plot layer: plot positions mapped onto the drawing box and held
// inside the page box, the box itself held inside the page, texts set word by
// word at a fixed pitch, and opening and closing documents.
#include "drawing/text_plot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing/ps_driver.h"
#include "drawing_support.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "support/capture.h"

namespace {

using Lines = std::vector<std::string>;

class TextPlot : public drawing_test::PageLines {
 protected:
  void SetUp() override {
    PageLines::SetUp();
    init_tx_();
    comlib.iquiet = 0;
  }
};

}  // namespace

// Box 180 x 180 shifted 50 down and 80 across: plot (0, 0) is page
// (30 + 80, 780 - 50) = (110, 730), plot (180, 180) is (290, 550).
TEST_F(TextPlot, LinesAreMappedOntoTheBoxEdge) {
  set_box_tx_(180, 180, 50, 80);
  movtx_(0, 0);
  vectx_(180, 180);
  vectx_(300, 40);
  oritx_(-10, 5);
  movtx_(-20, 400);
  vectx_(15, 0);
  EXPECT_EQ(lines(), (Lines{" 110.00 730.00 290.00 550.00 L", " 290.00 550.00 150.00 550.00 L",
                            " 290.00 730.00 115.00 725.00 L"}));
}

TEST_F(TextPlot, DrawingBoxIsHeldInsideThePage) {
  struct Case {
    const char* label;
    int ibx, iby, ishx, ishy;
    tx_box_t want;
  } cases[] = {
      {"too long for the page below its shift", 700, 600, 100, 0, {630, 520, 100, 0}},
      {"shifts beyond the page", 10, 10, 800, 600, {0, 0, 730, 520}},
      {"negative shifts become 0", 100, 100, -5, -5, {100, 100, 0, 0}},
      {"fits as given", 180, 180, 50, 260, {180, 180, 50, 260}},
  };
  for (const Case& c : cases) {
    set_box_tx_(c.ibx, c.iby, c.ishx, c.ishy);
    int32_t ibx, iby, ishx, ishy, ix0, iy0, xmin, xmax, ymin, ymax;
    get_box_tx_(ibx, iby, ishx, ishy, ix0, iy0, xmin, xmax, ymin, ymax);
    EXPECT_EQ(ibx, c.want.ibx) << c.label;
    EXPECT_EQ(iby, c.want.iby) << c.label;
    EXPECT_EQ(ishx, c.want.ishx) << c.label;
    EXPECT_EQ(ishy, c.want.ishy) << c.label;
    // Plot x runs along the page's y: the limits are the page box turned.
    EXPECT_EQ(xmin, 50) << c.label;
    EXPECT_EQ(xmax, 780) << c.label;
    EXPECT_EQ(ymin, 30) << c.label;
    EXPECT_EQ(ymax, 550) << c.label;
  }
}

TEST_F(TextPlot, TextStartsAreHeldOnThePage) {
  txtext_("a", 10, 0, 0, 1);
  txtext_("b", 10, 900, 600, 1);
  txtext_("c", 150, 10, 20, 1);
  txtext_("d", 0, 10, 20, 1);
  set_box_tx_(180, 180, 50, 80);
  txtext_("e", 8, 200, -30, 0);
  EXPECT_EQ(lines(), (Lines{"  30.00 777.50 moveto", "(a)", "10.0 Print", " 550.00  47.50 moveto",
                            "(b)", "10.0 Print", "  50.00 769.75 moveto", "(c)", " 1.0 Print",
                            "  50.00 770.00 moveto", "(d)", " 0.0 Print", " 110.00 548.00 moveto",
                            "(e)", " 8.0 Print"}));
}

// "A(B)  C" at 100 with size 10: pitch 7.2, "A{B}" at 100, then 4 characters
// and 2 blanks on, "C" at 143.2; the baseline 2.5 below y.
TEST_F(TextPlot, WordsStandAtAFixedPitch) {
  psprint_(100, 200, 10, "A(B)  C  ");
  psprint_(100, 300, 10, " X");
  psprint_(100, 400, 10, "     ");
  EXPECT_EQ(lines(), (Lines{" 100.00 197.50 moveto", "(A{B})", "10.0 Print",
                            " 143.20 197.50 moveto", "(C)", "10.0 Print", " 100.00 297.50 moveto",
                            " 107.20 297.50 moveto", "(X)", "10.0 Print"}));
}

TEST_F(TextPlot, WordsAreHeldOnThePageAndEscaped) {
  psprint_(540, 100, 10, "ab\\ c\x01");
  EXPECT_EQ(lines(), (Lines{" 540.00  97.50 moveto", "(ab\\\\)", "10.0 Print",
                            " 550.00  97.50 moveto", "(c^)", "10.0 Print"}));
}

class TextPlotDocument : public testing::Test {
 protected:
  void SetUp() override {
    comlib.iquiet = 0;
    crdinf.crps_iun = 51;
  }
  void TearDown() override { rt::close_all_units(); }
  TempDir dir_;
};

TEST_F(TextPlotDocument, BadNamesAreRefusedBeforeOpening) {
  struct Case {
    const char* label;
    const char* name;
  } cases[] = {{"blank", "   "}, {"leading blank", " x.ps"}, {"leading comma", ",x.ps"}};
  for (const Case& c : cases) {
    int32_t ierr = 0;
    EXPECT_EQ(captured([&] { opentx_(c.name, 5, ierr); }), "  ERROR: wrong name of ps_file\n")
        << c.label;
    EXPECT_EQ(ierr, 1) << c.label;
    EXPECT_EQ(com_ps.open_flag, 0) << c.label;
  }
}

TEST_F(TextPlotDocument, OpeningResetsTheLayerAndClosingEndsTheFile) {
  const std::string path = dir_.file("plot.ps");
  int32_t ierr = -1;
  EXPECT_EQ(captured([&] { opentx_(path, 2, ierr); }), " * Plotfile: " + path + "\n");
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(com_ps.open_flag, 1);
  EXPECT_EQ(crdinf.crps_iun, com_ps.iun);
  set_box_tx_(100, 100, 10, 10);
  oritx_(5, 5);
  movtx_(3, 3);
  newpg_();
  endtx_();
  EXPECT_EQ(com_ps.open_flag, 0);
  EXPECT_EQ(tx_slct.npage, 1);
  const auto doc = drawing_test::lines_of(path);
  EXPECT_EQ(doc.back(), "%%EOF");

  captured([&] { opentx_(path, 1, ierr); });
  EXPECT_EQ(tx_box.ibx, 650);
  EXPECT_EQ(tx_box.iby, 500);
  EXPECT_EQ(tx_box.ishx, 10) << "the shifts stay as they were";
  EXPECT_EQ(tx_orig.ix0, 0);
  EXPECT_EQ(tx_orig.x, 0.0f);
  endtx_();
  const auto again = drawing_test::lines_of(path);
  EXPECT_EQ(again[4], "%%Pages:  1");
  EXPECT_EQ(again.size(), 153u) << "the file is written anew, one page long";
}
