// A framed pair of graph axes with ticks and numeric labels, drawn with the
// primitives; part of the driver's toolkit.
#pragma once

#include <cstdint>

// Frame from (xlim1, ylim1) to (xlim2, ylim2) in page points; nptsx
// intervals along x labelled xmin .. xmax and nptsy along y labelled ymin ..
// ymax.  Label styles intrlx/intrly: 0 integers, 1 one decimal, else two.
// Labels of size sizlab stand tsize (y axis) or tsize/2 (x axis) off the
// frame; zeros draws the y label at the corner, noendx/noendy drop the last
// label, fultic runs the ticks into the frame.  Leaves line width 0.6.
// Writes no table.
void axes_(float xlim1, float xlim2, float ylim1, float ylim2, int32_t nptsx, int32_t nptsy,
           float xmin, float xmax, float ymin, float ymax, float sizlab, int32_t intrlx,
           int32_t intrly, float tsize, bool numbex, bool numbey, bool zeros, bool noendx,
           bool noendy, bool fultic);
