// The PostScript document: a fixed header, a prolog of two resources and the
// drawing procedures, the setup, pages clipped to the page box and framed,
// and a trailer with the real bounding box.  One document at a time.
#pragma once

#include <cstdint>
#include <string_view>

// Filled by the driver (drawing); read by the primitives (drawing).
struct com_ps_t {
  int32_t open_flag;  // 1 while a document opened by the text-plot layer is open
  int32_t iun;        // unit of the open document; every PostScript line goes here
};
extern com_ps_t com_ps;

// Filled by the driver (drawing); read by nobody else.
struct isps_t {
  int32_t total;    // page count declared before opening (stated in the header)
  int32_t current;  // number of the page being drawn
};
extern isps_t isps;

// Filled by the text-plot layer (drawing); read by the text-plot layer and
// the new-monomer report (drawing).  The driver takes the box as arguments.
struct ps_box_t {
  int32_t x1, x2, y1, y2;  // page box in points: 30, 550, 50, 780
};
extern ps_box_t ps_box;

// Colour tables are `rgb(3, mxcolr)`: red, green, blue of colour i in
// rgb[3*(i-1)] .. rgb[3*(i-1)+2], each 0 to 1.

// Writes isps.
void pssetpg_(int32_t totalnbpages);
// Opens `fname` (used unchanged) and writes everything up to the start of
// page 1; ierr 1 with nothing written when the file cannot be opened.
// Writes com_ps.
void psopen_(std::string_view fname, int32_t bboxx1, int32_t bboxx2, int32_t bboxy1, int32_t bboxy2,
             int32_t mxcolr, const float* rgb, bool incol, int32_t bakcol, int32_t& ierr);
// Ends the current page and starts the next.  Writes isps.
void psnwpag_(int32_t bboxx1, int32_t bboxx2, int32_t bboxy1, int32_t bboxy2, bool incol);
// Ends the last page, writes the trailer and closes the unit; a document
// not written whole (a line lost at its write or at the close) is reported
// and removed.
// Writes no table.
void psclos_(int32_t bboxx1, int32_t bboxx2, int32_t bboxy1, int32_t bboxy2);

namespace drawing {
// One line of the open document.
void ps_line(std::string_view record);
// A text as the inside of a PostScript string: backslashes and parentheses
// escaped, so that no text can end the string early or swallow its close.
void ps_escaped(std::string_view text, std::string& out);
}  // namespace drawing
