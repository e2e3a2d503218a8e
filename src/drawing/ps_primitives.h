// Drawing primitives on the open PostScript page: segments, boxes, filled
// and outlined triangles and quadrilaterals, discs, markers, line width,
// dashes, grey levels and colours, and texts in four placements and three
// fonts.  Positions are points of the page, origin lower left.  Each one
// writes whole lines on com_ps.iun and keeps no state.
//
// Fill protocol: Pl3, Pline3, Pl4 and Pline4 end with a grestore, so each of
// psutri_, pstria_, psubox_, psbbox_ and psmark_ must follow a line that
// saves the state (pshade_, ps_cale_, pscolr_ or a ColNN line).
//
// The guards below overwrite the caller's variable, as the reference
// arguments show.  Texts lose their trailing blanks and are written with
// backslashes and parentheses escaped.
#pragma once

#include <cstdint>
#include <string_view>

// Segment; a coordinate beyond +-999 becomes 1.0.
void psline_(float& x1, float& y1, float& x2, float& y2);
// Four segments around the box, through psline_.
void psbox_(float& xl, float& xr, float& yl, float& yh);
// Line width, held to 0.01 .. 2.0.
void pslwid_(float lwidth);
// Dash pattern: 0 solid, n dashes and gaps of n points.
void psdash_(int32_t onoff);
// Colour for lines and texts (no state saved).
void pscolb_(float r, float g, float b);
// Colour with the state saved, for a fill.
void pscolr_(float r, float g, float b);
// Grey level (grey mode) or colour procedure `colour` (colour mode), state saved.
void pshade_(float shade, int32_t colour, const float* rgb, int32_t mxcolr, bool incol);
// Grey level, or the colour `shade` of the way from maxcol (0) to mincol (1).
void ps_cale_(float shade, bool incol, int32_t mxcolr, const float* rgb, int32_t mincol,
              int32_t maxcol);
// Black disc; a radius outside 0.5 .. 999.9 draws 1.0, a centre coordinate
// beyond +-999.9 becomes 1.0.
void pscirc_(float& x, float& y, float radius);
// Filled triangle with outline; a coordinate beyond +-999 becomes 0.0.
void pstria_(float& x1, float& y1, float& x2, float& y2, float& x3, float& y3);
// Filled triangle without outline.
void psutri_(float x1, float y1, float x2, float y2, float x3, float y3);
// Filled quadrilateral with outline.
void psbbox_(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
// Filled quadrilateral without outline; a coordinate beyond +-999 becomes 0.0.
void psubox_(float& x1, float& y1, float& x2, float& y2, float& x3, float& y3, float& x4,
             float& y4);
// Marker 1 or 3 a box, 2 a triangle, of half widths hwidx, hwidy; others nothing.
void psmark_(float x, float y, int32_t marker, float hwidx, float hwidy);
// Text from (x, y) with its baseline a quarter of the size below y, in the
// Latin-1 Times font, Times-Bold or the Symbol font.
void pstext_(float x, float y, float size, std::string_view text);
void psbtext_(float x, float y, float size, std::string_view text);
void pssymb_(float x, float y, float size, std::string_view text);
// Text centred on (x, y).
void psctxt_(float x, float y, float size, std::string_view text);
// Upward text centred on (x, y) / starting at (x, y).
void psrctx_(float x, float y, float size, std::string_view text);
void psrtxt_(float x, float y, float size, std::string_view text);
