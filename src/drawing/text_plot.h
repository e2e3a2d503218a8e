// The text-plot layer: the page as a text screen whose plot x runs down the
// page and plot y across it, with a drawing box placed on the page box.
// Positions outside the box are pulled onto its edge and everything is held
// inside the page box.  It opens, pages and closes the PostScript document.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Filled by the text-plot layer (drawing); read by the new-monomer report
// (drawing) through get_box_tx_.
struct tx_box_t {
  int32_t ibx;   // extent of the drawing box along plot x (down the page), points
  int32_t iby;   // extent along plot y (across)
  int32_t ishx;  // distance of the box's top edge below the top of the page box
  int32_t ishy;  // distance of its left edge from the left of the page box
};
extern tx_box_t tx_box;

// Filled and read by the text-plot layer (drawing).
struct tx_orig_t {
  int32_t ix0, iy0;  // drawing origin in points, added to every box position
  float x, y;        // pen position, plot coordinates in points
};
extern tx_orig_t tx_orig;

// Filled and read by the text-plot layer (drawing).  The dash flag is never
// set: lines are always solid.
struct comorg_t {
  int32_t idash;         // 0 = solid
  float dash_phase;      // length already covered by the dash pattern
  int32_t ixpen, iypen;  // pen of the last integer move, whole points
};
extern comorg_t comorg;

// Filled by the text-plot layer (drawing); read by nobody.
struct tx_slct_t {
  int32_t npage;  // new pages started through newpg_
};
extern tx_slct_t tx_slct;

inline constexpr int NTXCOLOUR = 19;

// Opens the document `name` with npage declared pages; ierr 1 for a blank
// name (or one starting with a blank or comma) or a failed open.  Writes
// com_ps, isps, ps_box, tx_box, tx_orig, comorg, tx_slct, crdinf.crps_iun.
void opentx_(std::string_view name, int32_t npage, int32_t& ierr);
// Closes it.  Writes com_ps.
void endtx_();
// New page.  Writes isps, tx_slct.
void newpg_();
// Pens are not distinguished.
// Writes no table.
void newpen_(int32_t ipen);
// Sets the drawing box, held inside the page box.  Writes tx_box.
void set_box_tx_(int32_t ibx, int32_t iby, int32_t ishxi, int32_t ishyi);
// The box, the origin and the page limits along plot x (ps_box y1, y2) and
// plot y (ps_box x1, x2).
// Writes no table.
void get_box_tx_(int32_t& ibx, int32_t& iby, int32_t& ishx_ps, int32_t& ishy_ps, int32_t& ix0_ps,
                 int32_t& iy0_ps, int32_t& lim_xmin, int32_t& lim_xmax, int32_t& lim_ymin,
                 int32_t& lim_ymax);
// Sets the origin.  Writes tx_orig.
void oritx_(int32_t ix0, int32_t iy0);
// Pen move, line and dot at integer positions in tenths of a point.
// Write tx_orig, comorg.
void movtxx_(int32_t ix, int32_t iy);
void vectxx_(int32_t ix, int32_t iy);
void pnttx_(int32_t ix, int32_t iy);
// Pen move and line at positions in points.  Write tx_orig.
void movtx_(float x, float y);
void vectx_(float x, float y);
// Text at (ix, iy) in points, size isizex: imod < 1 in the drawing box,
// imod >= 1 on the page box; word by word (txtext_) or as one text (txsymb_).
// Writes no table.
void txtext_(std::string_view sym, int32_t isizex, int32_t ix, int32_t iy, int32_t imod);
void txsymb_(std::string_view sym, int32_t isizex, int32_t ix, int32_t iy, int32_t imod);
// Text at page position (x, y): words at a fixed pitch of 0.72 x size per
// character (psprint_), or every character at that pitch (psprints_).
// Parentheses become braces and unprintable characters "^".
// Writes no table.
void psprint_(float x, float y, float size, std::string_view text);
void psprints_(float x, float y, float size, std::string_view text);
// Fills the colour table (rgb(3, 19), names), then resets the layer.
// Writes com_ps, ps_box, tx_box, tx_orig, comorg, tx_slct.
void init_tx_par_(float* rgb, rt::FixedText<12>* colnam);
// Resets the layer.  Writes com_ps, ps_box, tx_box, tx_orig, comorg, tx_slct.
void init_tx_();
