// Drawing primitives over the procedures of the prolog (L, Col, Pl3, Pline3,
// Pl4, Pline4, Circle, Print, Bprint, Gprint, Center, CenterRot90,
// UncenterRot90, Rot90).
#include "drawing/ps_primitives.h"

#include <cmath>
#include <string>

#include "drawing/ps_driver.h"
#include "runtime/fixed_text.h"
#include "runtime/format.h"

namespace {

using drawing::ps_line;

// A value that is not a number is replaced too: it would not be a number
// in the document either.
void guard(float& v, float limit, float replacement) {
  if (!(std::fabs(v) <= limit)) v = replacement;
}

// "(" text ")" with the text's trailing blanks dropped.  One reused buffer:
// texts are written per atom label and table cell.
const std::string& ps_string(std::string_view text) {
  static std::string escaped, out;
  drawing::ps_escaped(rt::trim_right(text), escaped);
  out.assign(1, '(');
  out += escaped;
  out += ')';
  return out;
}

float printed_size(float size) { return (size < 0.5f || size > 99.9f) ? 1.0f : size; }

// The three lines of a left-aligned text in one of the fonts.
void text_in(float x, float y, float size, std::string_view text, std::string_view show) {
  float t1 = x;
  float t2 = y - 0.25f * size;
  guard(t1, 999.0f, 1.0f);
  guard(t2, 999.0f, 1.0f);
  ps_line(rt::fmt("(2F7.2,A)", t1, t2, " moveto"));
  ps_line(ps_string(text));
  ps_line(rt::fmt("(F4.1,A)", printed_size(size), show));
}

// The four lines of an upward text; `place` moves the current point first.
void rotated_text(float x, float y, float size, std::string_view text, std::string_view place) {
  ps_line(rt::fmt("(2F7.2,A)", x, y, " moveto"));
  const std::string s = ps_string(text);
  ps_line(rt::fmt("(2A,F4.1,A)", s, " ", size, place));
  ps_line(rt::fmt("(2A,F4.1,A)", s, " ", size, " Print"));
  ps_line("grestore");
}

// Component c (0 red .. 2 blue) of colour i, 0 for a colour outside the table.
float component(const float* rgb, int32_t mxcolr, int32_t i, int c) {
  return (i >= 1 && i <= mxcolr) ? rgb[3 * (i - 1) + c] : 0.0f;
}

}  // namespace

void psline_(float& x1, float& y1, float& x2, float& y2) {
  guard(x1, 999.0f, 1.0f);
  guard(y1, 999.0f, 1.0f);
  guard(x2, 999.0f, 1.0f);
  guard(y2, 999.0f, 1.0f);
  ps_line(rt::fmt("(4F7.2,A)", x1, y1, x2, y2, " L"));
}

void psbox_(float& xl, float& xr, float& yl, float& yh) {
  psline_(xl, yh, xr, yh);
  psline_(xr, yh, xr, yl);
  psline_(xr, yl, xl, yl);
  psline_(xl, yl, xl, yh);
}

void pslwid_(float lwidth) {
  const float w = lwidth < 0.01f ? 0.01f : (lwidth > 2.0f ? 2.0f : lwidth);
  ps_line(rt::fmt("(F5.2,A)", w, " setlinewidth"));
}

void psdash_(int32_t onoff) {
  if (onoff == 0) ps_line("[]  0 setdash");
  else ps_line(rt::fmt("(A,I2,A,I2,A)", "[ ", onoff, " ", onoff, " ]  0 setdash"));
}

void pscolb_(float r, float g, float b) { ps_line(rt::fmt("(3F8.4,A)", r, g, b, " Col")); }

void pscolr_(float r, float g, float b) {
  ps_line(rt::fmt("(A,3F8.4,A)", "gsave ", r, g, b, " Col"));
}

void pshade_(float shade, int32_t colour, const float* /*rgb*/, int32_t /*mxcolr*/, bool incol) {
  if (incol) ps_line(rt::fmt("(A,I2.2)", "Col", colour));
  else ps_line(rt::fmt("(A,F7.4,A)", "gsave", shade, " setgray"));
}

void ps_cale_(float shade, bool incol, int32_t mxcolr, const float* rgb, int32_t mincol,
              int32_t maxcol) {
  if (!incol) {
    ps_line(rt::fmt("(A,F7.4,A)", "gsave", shade, " setgray"));
    return;
  }
  // A colour number outside the table counts as black rather than reading
  // past the caller's table.
  const float t = 1.0f - shade;
  float c[3];
  for (int k = 0; k < 3; ++k) {
    const float lo = component(rgb, mxcolr, mincol, k);
    c[k] = lo + t * (component(rgb, mxcolr, maxcol, k) - lo);
  }
  ps_line(rt::fmt("(A,3F8.4,A)", "gsave ", c[0], c[1], c[2], " Col"));
}

void pscirc_(float& x, float& y, float radius) {
  const float r = (radius < 0.5f || radius > 999.9f) ? 1.0f : radius;
  guard(x, 999.9f, 1.0f);
  guard(y, 999.9f, 1.0f);
  ps_line(rt::fmt("(3F7.2,A)", x, y, r, " Circle"));
}

void pstria_(float& x1, float& y1, float& x2, float& y2, float& x3, float& y3) {
  for (float* v : {&x1, &y1, &x2, &y2, &x3, &y3}) guard(*v, 999.0f, 0.0f);
  ps_line(rt::fmt("(6F7.2,A)", x1, y1, x2, y2, x3, y3, " Pline3"));
}

void psutri_(float x1, float y1, float x2, float y2, float x3, float y3) {
  ps_line(rt::fmt("(6F7.2,A)", x1, y1, x2, y2, x3, y3, " Pl3"));
}

void psbbox_(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4) {
  ps_line(rt::fmt("(8F7.2,A)", x1, y1, x2, y2, x3, y3, x4, y4, " Pline4"));
}

void psubox_(float& x1, float& y1, float& x2, float& y2, float& x3, float& y3, float& x4,
             float& y4) {
  for (float* v : {&x1, &y1, &x2, &y2, &x3, &y3, &x4, &y4}) guard(*v, 999.0f, 0.0f);
  ps_line(rt::fmt("(8F7.2,A)", x1, y1, x2, y2, x3, y3, x4, y4, " Pl4"));
}

void psmark_(float x, float y, int32_t marker, float hwidx, float hwidy) {
  if (marker == 1 || marker == 3) {
    psbbox_(x - hwidx, y - hwidy, x - hwidx, y + hwidy, x + hwidx, y + hwidy, x + hwidx, y - hwidy);
  } else if (marker == 2) {
    float x1 = x - hwidx, y1 = y - 0.6f * hwidy;
    float x2 = x + hwidx, y2 = y1;
    float x3 = x, y3 = y + 1.2f * hwidy;
    pstria_(x1, y1, x2, y2, x3, y3);
  }
}

void pstext_(float x, float y, float size, std::string_view text) {
  text_in(x, y, size, text, " Print");
}

void psbtext_(float x, float y, float size, std::string_view text) {
  text_in(x, y, size, text, " Bprint");
}

void pssymb_(float x, float y, float size, std::string_view text) {
  text_in(x, y, size, text, " Gprint");
}

void psctxt_(float x, float y, float size, std::string_view text) {
  ps_line(rt::fmt("(2F7.2,A)", x, y, " moveto"));
  const std::string s = ps_string(text);
  ps_line(s);
  ps_line(rt::fmt("(F4.1,A)", size, " Center"));
  ps_line(s);
  ps_line(rt::fmt("(F4.1,A)", size, " Print"));
}

void psrctx_(float x, float y, float size, std::string_view text) {
  rotated_text(x, y, size, text, " CenterRot90 Rot90");
}

void psrtxt_(float x, float y, float size, std::string_view text) {
  rotated_text(x, y, size, text, " UncenterRot90 Rot90");
}
