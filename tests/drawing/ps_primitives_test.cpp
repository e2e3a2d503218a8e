// Lines written by the drawing primitives, worked out from their layouts:
// coordinates F7.2, colours F8.4, grey F7.4, sizes F4.1, widths F5.2; the
// guards on out-of-range values; texts escaped for PostScript strings.
#include "drawing/ps_primitives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing/ps_axes.h"
#include "drawing_support.h"

namespace {

using Lines = std::vector<std::string>;
using Primitives = drawing_test::PageLines;

}  // namespace

TEST_F(Primitives, SegmentGuardReplacesTheCallersCoordinate) {
  float x1 = 1500, y1 = 10, x2 = 20.5f, y2 = -1000;
  psline_(x1, y1, x2, y2);
  EXPECT_EQ(x1, 1.0f);
  EXPECT_EQ(y2, 1.0f);
  EXPECT_EQ(y1, 10.0f);
  float xl = 100, xr = 200, yl = 50, yh = 60;
  psbox_(xl, xr, yl, yh);
  EXPECT_EQ(lines(), (Lines{"   1.00  10.00  20.50   1.00 L", " 100.00  60.00 200.00  60.00 L",
                            " 200.00  60.00 200.00  50.00 L", " 200.00  50.00 100.00  50.00 L",
                            " 100.00  50.00 100.00  60.00 L"}));
}

TEST_F(Primitives, LineWidthAndDashes) {
  pslwid_(0.0f);
  pslwid_(5.0f);
  pslwid_(0.6f);
  psdash_(0);
  psdash_(3);
  EXPECT_EQ(lines(), (Lines{" 0.01 setlinewidth", " 2.00 setlinewidth", " 0.60 setlinewidth",
                            "[]  0 setdash", "[  3  3 ]  0 setdash"}));
}

TEST_F(Primitives, GreyLevelsAndColours) {
  const float rgb[6] = {0, 0, 0, 1, 1, 1};  // black, white
  pscolb_(1.0f, 0.5f, 0.0f);
  pscolr_(0.25f, 0.0f, 1.0f);
  pshade_(0.5f, 12, rgb, 2, true);
  pshade_(0.5f, 3, rgb, 2, true);
  pshade_(0.5f, 3, rgb, 2, false);
  ps_cale_(0.25f, true, 2, rgb, 1, 2);
  ps_cale_(0.25f, false, 2, rgb, 1, 2);
  ps_cale_(1.0f, true, 2, rgb, 2, 1);
  EXPECT_EQ(lines(),
            (Lines{"  1.0000  0.5000  0.0000 Col", "gsave   0.2500  0.0000  1.0000 Col", "Col12",
                   "Col03", "gsave 0.5000 setgray", "gsave   0.7500  0.7500  0.7500 Col",
                   "gsave 0.2500 setgray", "gsave   1.0000  1.0000  1.0000 Col"}));
}

TEST_F(Primitives, ColourNumberOutsideTheTableCountsAsBlack) {
  const float rgb[3] = {1, 1, 1};
  ps_cale_(0.0f, true, 1, rgb, 1, 7);
  EXPECT_EQ(lines(), (Lines{"gsave   0.0000  0.0000  0.0000 Col"}));
}

TEST_F(Primitives, ShapesAndTheirGuards) {
  float cx = 100, cy = 1000;
  pscirc_(cx, cy, 0.2f);
  EXPECT_EQ(cy, 1.0f);
  float t[6] = {10, 20, 30, 40, 50, 1000};
  pstria_(t[0], t[1], t[2], t[3], t[4], t[5]);
  EXPECT_EQ(t[5], 0.0f);
  psutri_(1, 2, 3, 4, 5, 6);
  psbbox_(1, 2, 3, 4, 5, 6, 7, 8);
  float q[8] = {-1000, 2, 3, 4, 5, 6, 7, 8};
  psubox_(q[0], q[1], q[2], q[3], q[4], q[5], q[6], q[7]);
  EXPECT_EQ(q[0], 0.0f);
  EXPECT_EQ(lines(), (Lines{" 100.00   1.00   1.00 Circle",
                            "  10.00  20.00  30.00  40.00  50.00   0.00 Pline3",
                            "   1.00   2.00   3.00   4.00   5.00   6.00 Pl3",
                            "   1.00   2.00   3.00   4.00   5.00   6.00   7.00   8.00 Pline4",
                            "   0.00   2.00   3.00   4.00   5.00   6.00   7.00   8.00 Pl4"}));
}

TEST_F(Primitives, TextsInTheirFontsAndPlacements) {
  pstext_(100, 200, 8, "C1  ");
  pstext_(100, 200, 0.2f, "x");
  psbtext_(10, 20, 12, "   ");
  pssymb_(10, 2000, 120, "a");
  psctxt_(50, 60, 10, "mid");
  psrctx_(50, 60, 10, "up");
  psrtxt_(50, 60, 10, "up");
  EXPECT_EQ(lines(), (Lines{" 100.00 198.00 moveto",
                            "(C1)",
                            " 8.0 Print",
                            " 100.00 199.95 moveto",
                            "(x)",
                            " 1.0 Print",
                            "  10.00  17.00 moveto",
                            "()",
                            "12.0 Bprint",
                            "  10.00   1.00 moveto",
                            "(a)",
                            " 1.0 Gprint",
                            "  50.00  60.00 moveto",
                            "(mid)",
                            "10.0 Center",
                            "(mid)",
                            "10.0 Print",
                            "  50.00  60.00 moveto",
                            "(up) 10.0 CenterRot90 Rot90",
                            "(up) 10.0 Print",
                            "grestore",
                            "  50.00  60.00 moveto",
                            "(up) 10.0 UncenterRot90 Rot90",
                            "(up) 10.0 Print",
                            "grestore"}));
}

// Unbalanced parentheses would end the string early and a trailing backslash
// would swallow its closing parenthesis: both are escaped.
TEST_F(Primitives, TextsAreEscapedForPostScriptStrings) {
  pstext_(10, 10, 8, "A(B\\");
  psctxt_(10, 10, 8, "x)");
  EXPECT_EQ(lines(),
            (Lines{"  10.00   8.00 moveto", "(A\\(B\\\\)", " 8.0 Print", "  10.00  10.00 moveto",
                   "(x\\))", " 8.0 Center", "(x\\))", " 8.0 Print"}));
}

// x axis of 2 intervals over 100..300 labelled 0..10; y axis of 1 interval
// over 50..150 labelled 0..1 with one decimal, its corner label dropped.
TEST_F(Primitives, AxesWithLabelsAndTicks) {
  axes_(100, 300, 50, 150, 2, 1, 0, 10, 0, 1, 6, 0, 1, 8, true, true, false, false, false, false);
  EXPECT_EQ(lines(),
            (Lines{" 0.60 setlinewidth", " 100.00  50.00 100.00 150.00 L",
                   " 100.00 150.00 300.00 150.00 L", " 300.00 150.00 300.00  50.00 L",
                   " 300.00  50.00 100.00  50.00 L",
                   // x: labels 0, 5, 10 at y 50 - 4 = 46, ticks 50 .. 48
                   " 100.00  46.00 moveto", "(0)", " 6.0 Center", "(0)", " 6.0 Print",
                   " 100.00  50.00 100.00  48.00 L", " 200.00  46.00 moveto", "(5)", " 6.0 Center",
                   "(5)", " 6.0 Print", " 200.00  50.00 200.00  48.00 L", " 300.00  46.00 moveto",
                   "(10)", " 6.0 Center", "(10)", " 6.0 Print", " 300.00  50.00 300.00  48.00 L",
                   // y: the top label only is drawn, at x 100 - 8, tick 98 .. 100
                   "  92.00 150.00 moveto", "(  1.0)", " 6.0 Center", "(  1.0)", " 6.0 Print",
                   "  98.00 150.00 100.00 150.00 L"}));
}
