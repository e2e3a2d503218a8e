// The text-plot layer over the PostScript driver.  Lines map their ends
// separately onto the box (a segment leaving the box is bent onto its edge,
// not cut); texts only have their starting point held, the page clip cuts the
// rest.
#include "drawing/text_plot.h"

#include <cmath>
#include <string>

#include "drawing/ps_driver.h"
#include "drawing/ps_primitives.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "foundation/words.h"
#include "runtime/format.h"

tx_box_t tx_box;
tx_orig_t tx_orig;
comorg_t comorg;
tx_slct_t tx_slct;

namespace {

struct NamedColour {
  const char* name;
  float r, g, b;
};
constexpr NamedColour kColours[NTXCOLOUR] = {
    {"BLACK", 0.0f, 0.0f, 0.0f},  {"WHITE", 1.0f, 1.0f, 1.0f},
    {"RED", 1.0f, 0.0f, 0.0f},    {"GREEN", 0.0f, 1.0f, 0.0f},
    {"BLUE", 0.0f, 0.0f, 1.0f},   {"YELLOW", 1.0f, 1.0f, 0.0f},
    {"ORANGE", 0.8f, 0.5f, 0.0f}, {"LIME GREEN", 0.5f, 1.0f, 0.0f},
    {"PURPLE", 0.5f, 0.0f, 1.0f}, {"CYAN", 0.5f, 1.0f, 1.0f},
    {"PINK", 1.0f, 0.5f, 1.0f},   {"SKY BLUE", 0.3f, 0.8f, 1.0f},
    {"CREAM", 1.0f, 1.0f, 0.7f},  {"TURQUOISE", 0.0f, 1.0f, 1.0f},
    {"LILAC", 1.0f, 0.0f, 1.0f},  {"BRICK RED", 0.8f, 0.0f, 0.0f},
    {"BROWN", 0.5f, 0.0f, 0.0f},  {"LIGHT GREY", 0.97f, 0.97f, 0.97f},
    {"WHITE", 1.0f, 1.0f, 1.0f},
};

// Texts are cut to this many characters before they are set.
constexpr int kMaxTextChars = 78;

int clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
int64_t clamp64(int64_t v, int64_t lo, int64_t hi) { return v > hi ? hi : (v < lo ? lo : v); }
// A position that is not a number goes to the lower bound.
float clampf(float v, float lo, float hi) { return !(v >= lo) ? lo : (v > hi ? hi : v); }

// Page point of a plot position for lines.
void map_point(float x, float y, float& px, float& py) {
  float a = x + static_cast<float>(tx_orig.ix0);
  float b = y + static_cast<float>(tx_orig.iy0);
  a = clampf(a, 0.0f, static_cast<float>(tx_box.ibx));
  b = clampf(b, 0.0f, static_cast<float>(tx_box.iby));
  px = clampf(static_cast<float>(ps_box.x1 + tx_box.ishy) + b, static_cast<float>(ps_box.x1),
              static_cast<float>(ps_box.x2));
  py = clampf(static_cast<float>(ps_box.y2 - tx_box.ishx) - a, static_cast<float>(ps_box.y1),
              static_cast<float>(ps_box.y2));
  if (!(std::fabs(px) <= 999.0f)) px = 1.0f;
  if (!(std::fabs(py) <= 999.0f)) py = 1.0f;
}

// Page point of a text position in points (integer arithmetic, wide enough
// that no position can overflow it).
void map_text(int32_t ix, int32_t iy, int32_t imod, int& px, int& py) {
  int64_t x = 0, y = 0;
  if (imod < 1) {
    const int64_t a = clamp64(int64_t{ix} + tx_orig.ix0, 0, tx_box.ibx);
    const int64_t b = clamp64(int64_t{iy} + tx_orig.iy0, 0, tx_box.iby);
    x = b + tx_box.ishy + ps_box.x1;
    y = ps_box.y2 - (a + tx_box.ishx);
  } else {
    x = int64_t{ps_box.x1} + iy;
    y = int64_t{ps_box.y2} - ix;
  }
  px = static_cast<int>(clamp64(x, ps_box.x1, ps_box.x2));
  py = static_cast<int>(clamp64(y, ps_box.y1, ps_box.y2));
}

// The text as the layer sets it: used part, at most 78 characters, one blank
// appended, unprintable characters as "^" and parentheses as braces.
const std::string& layer_text(std::string_view text) {
  static std::string t;
  int n = rt::len_trim(text);
  if (n > kMaxTextChars) n = kMaxTextChars;
  t.assign(text.substr(0, n));
  for (char& c : t) {
    if (char_class(c) == '?') c = '^';
    if (c == '(') c = '{';
    if (c == ')') c = '}';
  }
  t.push_back(' ');
  return t;
}

// Scans the words of a layer text: `word(start, word)` runs at each blank
// that ends a word or stands first, with the pen position of the word start;
// the pen advances 0.72 x size per character, blanks included.
template <typename F>
void scan_words(float x, float size, std::string_view text, F&& word) {
  const float pitch = 0.72f * size;
  const float xmax = static_cast<float>(ps_box.x2);
  float xx = x;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ' ') continue;
    if (i == 0 || text[i - 1] != ' ') {
      if (xx > xmax) xx = xmax;
      const std::string_view w = text.substr(start, i - start);
      word(xx, w);
      xx += pitch * static_cast<float>(w.size());
    }
    xx += pitch;
    start = i + 1;
  }
}

}  // namespace

void init_tx_() {
  tx_slct.npage = 0;
  tx_orig = tx_orig_t{};
  comorg = comorg_t{};
  com_ps.open_flag = 0;
  ps_box = ps_box_t{30, 550, 50, 780};
  tx_box.ibx = 650;
  tx_box.iby = 500;
}

void init_tx_par_(float* rgb, rt::FixedText<12>* colnam) {
  for (int i = 0; i < NTXCOLOUR; ++i) {
    colnam[i] = kColours[i].name;
    rgb[3 * i] = kColours[i].r;
    rgb[3 * i + 1] = kColours[i].g;
    rgb[3 * i + 2] = kColours[i].b;
  }
  init_tx_();
}

void opentx_(std::string_view name, int32_t npage, int32_t& ierr) {
  ierr = 0;
  com_ps.iun = crdinf.crps_iun;
  float rgb[3 * NTXCOLOUR];
  rt::FixedText<12> colnam[NTXCOLOUR];
  init_tx_par_(rgb, colnam);
  pssetpg_(npage);
  const rt::FixedText<256> file(name);
  const int n = file.len_trim();
  if (n == 0 || file(1) == ' ' || file(1) == ',') {
    msgerr_(0, " ERROR: wrong name of ps_file");
    ierr = 1;
    return;
  }
  msgdoc_(0, "* Plotfile: " + std::string(file.view().substr(0, n < 67 ? n : 67)));
  psopen_(file.view(), ps_box.x1, ps_box.x2, ps_box.y1, ps_box.y2, NTXCOLOUR, rgb, false, 1, ierr);
  if (ierr != 0) return;
  com_ps.open_flag = 1;
  crdinf.crps_iun = com_ps.iun;
}

void endtx_() {
  psclos_(ps_box.x1, ps_box.x2, ps_box.y1, ps_box.y2);
  com_ps.open_flag = 0;
}

void newpg_() {
  psnwpag_(ps_box.x1, ps_box.x2, ps_box.y1, ps_box.y2, false);
  ++tx_slct.npage;
}

void newpen_(int32_t /*ipen*/) {}

void set_box_tx_(int32_t ibx, int32_t iby, int32_t ishxi, int32_t ishyi) {
  const int h = ps_box.y2 - ps_box.y1;
  const int w = ps_box.x2 - ps_box.x1;
  tx_box.ishx = clamp(ishxi, 0, h);
  tx_box.ishy = clamp(ishyi, 0, w);
  tx_box.ibx = ibx;
  if (tx_box.ishx + tx_box.ibx > h) tx_box.ibx = h - tx_box.ishx;
  if (tx_box.ibx < 0) tx_box.ibx = 0;
  tx_box.iby = iby;
  if (tx_box.ishy + tx_box.iby > w) tx_box.iby = w - tx_box.ishy;
  if (tx_box.iby < 0) tx_box.iby = 0;
}

void get_box_tx_(int32_t& ibx, int32_t& iby, int32_t& ishx_ps, int32_t& ishy_ps, int32_t& ix0_ps,
                 int32_t& iy0_ps, int32_t& lim_xmin, int32_t& lim_xmax, int32_t& lim_ymin,
                 int32_t& lim_ymax) {
  ibx = tx_box.ibx;
  iby = tx_box.iby;
  ishx_ps = tx_box.ishx;
  ishy_ps = tx_box.ishy;
  ix0_ps = tx_orig.ix0;
  iy0_ps = tx_orig.iy0;
  lim_xmin = ps_box.y1;
  lim_xmax = ps_box.y2;
  lim_ymin = ps_box.x1;
  lim_ymax = ps_box.x2;
}

void oritx_(int32_t ix0, int32_t iy0) {
  tx_orig.ix0 = ix0;
  tx_orig.iy0 = iy0;
}

void movtx_(float x, float y) {
  tx_orig.x = x;
  tx_orig.y = y;
}

void vectx_(float x, float y) {
  float x1 = 0.0f, y1 = 0.0f, x2 = 0.0f, y2 = 0.0f;
  map_point(tx_orig.x, tx_orig.y, x1, y1);
  map_point(x, y, x2, y2);
  psline_(x1, y1, x2, y2);
  tx_orig.x = x;
  tx_orig.y = y;
}

void movtxx_(int32_t ix, int32_t iy) {
  comorg.dash_phase = 0.0f;
  comorg.ixpen = ix / 10;
  comorg.iypen = iy / 10;
  movtx_(static_cast<float>(ix) / 10.0f, static_cast<float>(iy) / 10.0f);
}

void vectxx_(int32_t ix, int32_t iy) {
  vectx_(static_cast<float>(ix) / 10.0f, static_cast<float>(iy) / 10.0f);
}

void pnttx_(int32_t ix, int32_t iy) {
  const float x = static_cast<float>(ix) / 10.0f;
  const float y = static_cast<float>(iy) / 10.0f;
  movtx_(x, y);
  vectx_(x, y);
}

void txtext_(std::string_view sym, int32_t isizex, int32_t ix, int32_t iy, int32_t imod) {
  int px = 0, py = 0;
  map_text(ix, iy, imod, px, py);
  float size = static_cast<float>(isizex);
  if (size < 0.0f || size > 99.9f) size = 1.0f;
  psprint_(static_cast<float>(px), static_cast<float>(py), size, sym);
}

void txsymb_(std::string_view sym, int32_t isizex, int32_t ix, int32_t iy, int32_t imod) {
  int px = 0, py = 0;
  map_text(ix, iy, imod, px, py);
  pstext_(static_cast<float>(px), static_cast<float>(py), static_cast<float>(isizex), sym);
}

void psprint_(float x, float y, float size, std::string_view text) {
  if (rt::len_trim(text) == 0) return;
  const float yy = y - 0.25f * size;
  const std::string& t = layer_text(text);
  std::string escaped;
  scan_words(x, size, t, [&](float xx, std::string_view w) {
    drawing::ps_line(rt::fmt("(2F7.2,A)", xx, yy, " moveto"));
    if (w.empty()) return;
    drawing::ps_escaped(w, escaped);
    drawing::ps_line("(" + escaped + ")");
    drawing::ps_line(rt::fmt("(F4.1,A)", size, " Print"));
  });
}

void psprints_(float x, float y, float size, std::string_view text) {
  if (rt::len_trim(text) == 0) return;
  const float yy = y - 0.25f * size;
  const float pitch = 0.72f * size;
  const std::string& t = layer_text(text);
  std::string escaped;
  scan_words(x, size, t, [&](float xx, std::string_view w) {
    drawing::ps_line(rt::fmt("(2F7.2,A)", xx, yy, " moveto"));
    for (std::size_t k = 0; k < w.size(); ++k) {
      drawing::ps_escaped(w.substr(k, 1), escaped);
      drawing::ps_line("(" + escaped + ")");
      drawing::ps_line(rt::fmt("(F4.1,A)", size, " Print"));
      drawing::ps_line(rt::fmt("(2F7.2,A)", xx + pitch * static_cast<float>(k + 1), yy, " moveto"));
    }
  });
}
