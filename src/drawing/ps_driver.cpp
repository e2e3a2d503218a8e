// The PostScript driver: header, prolog, setup, page bracketing and trailer.
// Every page saves the VM state, builds the page-box path, keeps it in a
// saved graphics state for the closing frame, paints the box white and clips
// to it; the page ends by restoring that state and stroking the box.
#include "drawing/ps_driver.h"

#include <string>

#include "drawing/ps_primitives.h"
#include "drawing/ps_resource.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "runtime/format.h"
#include "runtime/units.h"

com_ps_t com_ps;
isps_t isps;
ps_box_t ps_box;

namespace {

constexpr std::string_view kProcedures[] = {
    "/Poly3 { moveto lineto lineto fill grestore } bind def",
    "/Pl3 { 6 copy Poly3 moveto moveto moveto closepath stroke } bind def",
    "/Pline3 { 6 copy Poly3 moveto lineto lineto closepath stroke } bind def",
    "/Poly4 { moveto lineto lineto lineto fill grestore } bind def",
    "/Pl4 { 8 copy Poly4 moveto moveto moveto moveto closepath stroke } bind def",
    "/Pline4 { 8 copy Poly4 moveto lineto lineto lineto closepath stroke } bind def",
    "/Circle { gsave newpath 0.0 setgray 3 copy 0 360 arc fill stroke grestore }",
    "bind def",
    "/Print { /Times-Roman-Extd findfont exch scalefont setfont show } bind def",
    "/Bprint { /Times-Bold findfont exch scalefont setfont show } bind def",
    "/Gprint { /Symbol findfont exch scalefont setfont show } bind def",
    "/Center {",
    "  dup /Times-Roman-Extd findfont exch scalefont setfont",
    "  exch stringwidth pop -2 div exch -3 div rmoveto",
    " } bind def",
    "/CenterRot90 {",
    "  dup /Times-Roman-Extd findfont exch scalefont setfont",
    "  exch stringwidth pop -2 div exch 3 div exch rmoveto",
    " } bind def",
    "/UncenterRot90 {",
    "  dup /Times-Roman-Extd findfont exch scalefont setfont",
    "  exch stringwidth } bind def",
    "/Rot90 { gsave currentpoint translate 90 rotate } bind def",
    "%%EndProlog",
};

void page_start(int32_t x1, int32_t x2, int32_t y1, int32_t y2) {
  using drawing::ps_line;
  const float fx1 = static_cast<float>(x1), fx2 = static_cast<float>(x2);
  const float fy1 = static_cast<float>(y1), fy2 = static_cast<float>(y2);
  ps_line("/VelmoraxSave save def");
  ps_line(rt::fmt("(2F6.2,A,2F7.2,A,2F7.2,A)", fx1, fy1, " moveto", fx2, fy1, " lineto", fx2, fy2,
                  " lineto"));
  ps_line(rt::fmt("(2F7.2,A)", fx1, fy2, " lineto closepath gsave"));
  ps_line("gsave 1.0000 setgray fill grestore");
  ps_line("clip newpath");
}

void page_end() {
  drawing::ps_line("grestore stroke");
  drawing::ps_line("VelmoraxSave restore");
  drawing::ps_line("showpage");
}

}  // namespace

namespace drawing {

void ps_line(std::string_view record) { rt::write_record(com_ps.iun, record); }

void ps_escaped(std::string_view text, std::string& out) {
  out.clear();
  for (char c : text) {
    if (c == '\\' || c == '(' || c == ')') out.push_back('\\');
    out.push_back(c);
  }
}

}  // namespace drawing

void pssetpg_(int32_t totalnbpages) {
  isps.total = totalnbpages;
  isps.current = 1;
}

void psopen_(std::string_view fname, int32_t bboxx1, int32_t bboxx2, int32_t bboxy1, int32_t bboxy2,
             int32_t mxcolr, const float* rgb, bool incol, int32_t bakcol, int32_t& ierr) {
  using drawing::ps_line;
  int32_t unit = 0;
  openfw_(unit, 99, "", fname, "", ierr);
  if (ierr != 0) {
    msgerr_(0, "WARNING: Unable to open Postscript file");
    ierr = 1;
    return;
  }
  com_ps.iun = unit;

  ps_line("%!PS-Adobe-3.0");
  ps_line("%%Creator: Velmorax");
  ps_line("%%DocumentNeededResources: font Times-Roman Symbol Times-Bold");
  ps_line("%%BoundingBox: (atend)");
  ps_line(rt::fmt("(A,I3)", "%%Pages:", isps.total));
  ps_line("%%EndComments");
  ps_line("%%BeginProlog");
  psresource_new_(unit);
  ps_line("/L { moveto lineto stroke } bind def");
  ps_line("/Col { setrgbcolor } bind def");
  if (incol) {
    for (int i = 1; i <= mxcolr; ++i) {
      const float* c = rgb + 3 * (i - 1);
      ps_line(rt::fmt("(A,I2.2,A,3F8.4,A)", "/Col", i, " {gsave ", c[0], c[1], c[2],
                      " setrgbcolor } def"));
    }
  }
  for (std::string_view p : kProcedures) ps_line(p);

  ps_line("%%BeginSetup");
  ps_line("1 setlinecap 1 setlinejoin 1 setlinewidth 0 setgray [ ] 0 setdash newpath");
  ps_line("/Times-Roman /Times-Roman-Extd encode_vector ReEncodeSmall");
  ps_line("%%EndSetup");

  ps_line(rt::fmt("(A,2I5)", "%%Page:", isps.current, isps.current));
  page_start(bboxx1, bboxx2, bboxy1, bboxy2);
  if (incol) {
    float shade = 0.0f;
    pshade_(shade, bakcol, rgb, mxcolr, incol);
    float xa = static_cast<float>(bboxx1), ya = static_cast<float>(bboxy1);
    float xb = static_cast<float>(bboxx2), yb = ya;
    float xc = xb, yc = static_cast<float>(bboxy2);
    float xd = xa, yd = yc;
    psubox_(xa, ya, xb, yb, xc, yc, xd, yd);
  }
}

void psnwpag_(int32_t bboxx1, int32_t bboxx2, int32_t bboxy1, int32_t bboxy2, bool /*incol*/) {
  // Only grey pages are made: the one caller passes false, and a new page is
  // not given the colour table that a background fill would need.
  ++isps.current;
  page_end();
  drawing::ps_line(rt::fmt("(A,2I3)", "%%Page:", isps.current, isps.current));
  page_start(bboxx1, bboxx2, bboxy1, bboxy2);
}

void psclos_(int32_t bboxx1, int32_t bboxx2, int32_t bboxy1, int32_t bboxy2) {
  page_end();
  drawing::ps_line("%%Trailer");
  drawing::ps_line(
      rt::fmt("(A,4I4)", "%%BoundingBox:", bboxx1 - 1, bboxy1 - 1, bboxx2 + 1, bboxy2 + 1));
  drawing::ps_line("%%EOF");
  // A line lost at its write fails the close, as do the last lines, which
  // reach the file only now: a report not written whole is removed.
  const std::string name = rt::unit_file_name(com_ps.iun);
  if (rt::unit_close_or_remove(com_ps.iun) != rt::IOSTAT_OK)
    msgerr_(0, "ERROR: Unable to write Postscript file " + name);
}
