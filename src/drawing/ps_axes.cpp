// Graph axes: frame, then the x axis, then the y axis; a tick goes with
// every label drawn and nowhere else.
#include "drawing/ps_axes.h"

#include <cmath>
#include <string>
#include <string_view>

#include "drawing/ps_primitives.h"
#include "runtime/format.h"

namespace {

// The 5-character label of a value in a style.
std::string label(float value, int32_t style) {
  if (style == 0) return rt::fmt("(I5)", static_cast<int>(std::lround(value)));
  if (style == 1) return rt::fmt("(F5.1)", value);
  return rt::fmt("(F5.2)", value);
}

void segment(float x1, float y1, float x2, float y2) { psline_(x1, y1, x2, y2); }

}  // namespace

void axes_(float xlim1, float xlim2, float ylim1, float ylim2, int32_t nptsx, int32_t nptsy,
           float xmin, float xmax, float ymin, float ymax, float sizlab, int32_t intrlx,
           int32_t intrly, float tsize, bool numbex, bool numbey, bool zeros, bool noendx,
           bool noendy, bool fultic) {
  float xgap = 0.0f, ugap = 0.0f, ygap = 0.0f, vgap = 0.0f;
  if (nptsx > 0) {
    xgap = (xlim2 - xlim1) / static_cast<float>(nptsx);
    ugap = (xmax - xmin) / static_cast<float>(nptsx);
  }
  if (nptsy > 0) {
    ygap = (ylim2 - ylim1) / static_cast<float>(nptsy);
    vgap = (ymax - ymin) / static_cast<float>(nptsy);
  }
  pslwid_(0.6f);
  segment(xlim1, ylim1, xlim1, ylim2);
  segment(xlim1, ylim2, xlim2, ylim2);
  segment(xlim2, ylim2, xlim2, ylim1);
  segment(xlim2, ylim1, xlim1, ylim1);

  if (nptsx > 0) {
    for (int i = 0; i <= nptsx; ++i) {
      const float value = xmin + static_cast<float>(i) * ugap;
      const float x = xlim1 + static_cast<float>(i) * xgap;
      std::string text = label(value, intrlx);
      std::size_t lead = 0;
      while (lead < 4 && text[lead] == ' ') ++lead;
      text.erase(0, lead);
      if (!numbex || (noendx && i == nptsx)) continue;
      psctxt_(x, ylim1 - 0.5f * tsize, sizlab, text);
      segment(x, fultic ? ylim1 + sizlab / 6.0f : ylim1, x, ylim1 - sizlab / 3.0f);
    }
  }
  if (nptsy > 0) {
    for (int j = 0; j <= nptsy; ++j) {
      const float value = ymin + static_cast<float>(j) * vgap;
      const float y = ylim1 + static_cast<float>(j) * ygap;
      if (!numbey || (!zeros && j == 0) || (noendy && j == nptsy)) continue;
      psctxt_(xlim1 - tsize, y, sizlab, label(value, intrly));
      segment(xlim1 - sizlab / 3.0f, y, fultic ? xlim1 + sizlab / 6.0f : xlim1, y);
    }
  }
}
