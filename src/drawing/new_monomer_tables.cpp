// Restraint tables of the new-monomer report.  A table lists the restraints
// whose atoms all have coordinates (planes list every atom, chiral centres of
// the metal kinds every centre); each fills the next band of the current
// line, and a full line is printed, then the next line position is taken,
// with a new page when the page is full.  Headings are not repeated on the
// pages that a table runs on to.
#include "drawing/new_monomer_tables.h"

#include <array>
#include <string>

#include "dictionary/l1_kernels.h"
#include "dictionary/lib_com.h"
#include "drawing/new_monomer_report.h"
#include "drawing/text_plot.h"
#include "runtime/fixed_text.h"
#include "runtime/format.h"

namespace drawing {
namespace {

constexpr int kMaxBands = 3;
constexpr int kMaxValues = 4;
constexpr int kTitleSize = 10;
constexpr int kTextSize = 8;
constexpr int kLineStep = 10;

// Positions across the page of one table: band b stands at b x h plus the
// offsets below (the bands are not all evenly spaced).
struct Layout {
  const char* title;
  int title_y;
  const char* heading;
  int bands;
  int values;
  int heading_y[kMaxBands];
  int atom_y[kMaxBands];
  int value_y[kMaxValues][kMaxBands];
};

constexpr Layout kBonds = {"BONDS", 230,          "Dlib Dcrd Dchem", 3,
                           1,       {63, 63, 63}, {11, 11, 11},      {{51, 51, 51}}};
constexpr Layout kAngles = {
    "ANGLES", 230,          "lib crd chem", 3,
    3,        {90, 95, 95}, {5, 10, 10},    {{75, 80, 80}, {105, 110, 110}, {130, 135, 135}}};
constexpr Layout kTorsions = {"TORSION ANGLES",
                              220,
                              "lib crd chem period",
                              2,
                              4,
                              {159, 242},
                              {2, 89},
                              {{147, 234}, {177, 264}, {207, 294}, {232, 319}}};
constexpr Layout kChirals = {"CHIRALITY", 225,
                             "ideal crd", 3,
                             2,           {118, 120, 112},
                             {5, 7, -1},  {{100, 102, 94}, {125, 127, 119}}};
constexpr Layout kPlanes = {"PLANES", 230,          "Disp_crd esd", 3,
                            1,        {85, 95, 85}, {15, 25, 15},   {{80, 90, 80}}};

// The running state of the tables: line position and the line being filled.
class Tables {
 public:
  Tables(std::string_view code, const TablePage& page)
      : code_(code),
        page_(page),
        ixl_(page.ibx + page.ishx + 20),
        xlim_((page.xmax - page.xmin) - 60),
        h_((page.ymax - page.ymin) / 3) {}

  // Title, legend and heading of the bond table.
  void start_bonds(std::string_view legend) {
    layout_ = &kBonds;
    if (ixl_ > xlim_) page_break();
    txtext_(kBonds.title, kTitleSize, ixl_, kBonds.title_y, 1);
    const int legend_x = ixl_ + 20;
    txtext_(legend, kTextSize, legend_x, 60, 1);
    int heading_x = legend_x + 15;
    if (heading_x > xlim_) {
      page_break();
      heading_x = page_.ishx;
    }
    headings(heading_x);
  }

  // Title and heading of any other table.
  void start(const Layout& layout) {
    layout_ = &layout;
    int title_x = ixl_ + 20;
    if (ixl_ + 40 > xlim_) {
      page_break();
      title_x = page_.ishx;
    }
    txtext_(layout.title, kTitleSize, title_x, layout.title_y, 1);
    headings(title_x + 20);
  }

  // The next band: its atom text and value texts.
  rt::FixedText<30>& atom() { return atom_[filled_]; }
  rt::FixedText<28>& value(int v) { return value_[v][filled_]; }
  void band_done() {
    if (++filled_ == layout_->bands) print_line();
  }
  void finish() {
    if (filled_ > 0) print_line();
  }

 private:
  int y(const int (&offsets)[kMaxBands], int band) const { return band * h_ + offsets[band]; }

  void headings(int x) {
    for (int b = 0; b < layout_->bands; ++b)
      txtext_(layout_->heading, kTextSize, x, y(layout_->heading_y, b), 1);
    ixl_ = x + 15;
    filled_ = 0;
    blank_texts();
  }

  void print_line() {
    for (int b = 0; b < layout_->bands; ++b) {
      txtext_(atom_[b].view(), kTextSize, ixl_, y(layout_->atom_y, b), 1);
      for (int v = 0; v < layout_->values; ++v)
        txtext_(value_[v][b].view(), kTextSize, ixl_, y(layout_->value_y[v], b), 1);
    }
    blank_texts();
    filled_ = 0;
    ixl_ += kLineStep;
    if (ixl_ > xlim_) page_break();
  }

  void page_break() {
    newpg_();
    title_monl_(code_);
    ixl_ = page_.ishx;
  }

  void blank_texts() {
    for (auto& t : atom_) t.blank();
    for (auto& row : value_)
      for (auto& t : row) t.blank();
  }

  std::string_view code_;
  TablePage page_;
  const Layout* layout_ = &kBonds;
  int ixl_;
  int xlim_;
  int h_;
  int filled_ = 0;
  std::array<rt::FixedText<30>, kMaxBands> atom_;
  std::array<std::array<rt::FixedText<28>, kMaxBands>, kMaxValues> value_;
};

const r_scratch_t& r = r_scratch;

// An atom index that names an atom of the description.
bool valid(int32_t i) { return i >= 1 && i <= r.l1a_natom && i <= MAX1ATM; }
bool placed(int32_t i) { return valid(i) && r.l1a_coor_flag(i) == "Y"; }
std::string_view name(int32_t i) { return r.l1a_aname(i).view(); }

template <int N>
int limited(int count) {
  return count < N ? count : N;
}

void bonds(Tables& t) {
  const int n = limited<MAX1BND>(r.l1b_nbond);
  for (int k = 1; k <= n; ++k) {
    const int32_t a = r.l1b_i1atm(k), b = r.l1b_i2atm(k);
    if (!placed(a) || !placed(b)) continue;
    rt::write_to(t.atom(), "(3A)", name(a), "-", name(b));
    rt::write_to(t.value(0), "(3F7.3)", r.l1b_val(k), r.l1b_vobs(k), r.l1b_eval(k));
    t.band_done();
  }
  t.finish();
}

void angles(Tables& t) {
  const int n = limited<MAX1ANG>(r.l1g_nangl);
  for (int k = 1; k <= n; ++k) {
    const int32_t a = r.l1g_i1atm(k), b = r.l1g_i2atm(k), c = r.l1g_i3atm(k);
    if (!placed(a) || !placed(b) || !placed(c)) continue;
    rt::write_to(t.atom(), "(5A)", name(a), "-", name(b), "-", name(c));
    rt::write_to(t.value(0), "(F8.2)", r.l1g_val(k));
    rt::write_to(t.value(1), "(F8.2)", r.l1g_vobs(k));
    rt::write_to(t.value(2), "(F8.2)", r.l1g_eval(k));
    t.band_done();
  }
  t.finish();
}

void torsions(Tables& t) {
  const int n = limited<MAX1TOR>(r.l1t_ntors);
  for (int k = 1; k <= n; ++k) {
    const int32_t a = r.l1t_i1atm(k), b = r.l1t_i2atm(k), c = r.l1t_i3atm(k), d = r.l1t_i4atm(k);
    if (!placed(a) || !placed(b) || !placed(c) || !placed(d)) continue;
    rt::write_to(t.atom(), "(9A)", name(a), "-", name(b), "-", name(c), "-", name(d), " ",
                 r.l1t_label(k));
    rt::write_to(t.value(0), "(F8.2)", r.l1t_val(k));
    rt::write_to(t.value(1), "(F8.2)", r.l1t_vobs(k));
    rt::write_to(t.value(2), "(F8.2)", r.l1t_eval(k));
    rt::write_to(t.value(3), "(I4)", r.l1t_prd(k));
    t.band_done();
  }
  t.finish();
}

bool begins(std::string_view text, std::string_view word) {
  return text.substr(0, word.size()) == word;
}

void chirals(Tables& t) {
  const int n = limited<MAX1CHR>(r.l1c_nchir);
  for (int k = 1; k <= n; ++k) {
    const std::string_view sign = r.l1c_sign(k).view();
    const int32_t ids[4] = {r.l1c_i1atm(k), r.l1c_i2atm(k), r.l1c_i3atm(k), r.l1c_i4atm(k)};
    const bool metal = dictionary::metal_shape(r.l1c_sign(k));
    if (!metal && !(placed(ids[0]) && placed(ids[1]) && placed(ids[2]) && placed(ids[3]))) continue;
    // A centre of the metal kinds may lack atoms: they show as ".".
    std::string_view names[4];
    for (int j = 0; j < 4; ++j) names[j] = valid(ids[j]) ? name(ids[j]) : ".   ";
    rt::write_to(t.atom(), "(7A)", names[0], "->", names[1], "-", names[2], "-", names[3]);
    const float ideal = begins(sign, "neg") ? -r.l1c_vol(k) : r.l1c_vol(k);
    rt::write_to(t.value(0), "(F8.2)", ideal);
    rt::write_to(t.value(1), "(F8.2)", r.l1c_vobs(k));
    t.band_done();
  }
  t.finish();
}

void planes(Tables& t) {
  const int n = limited<MAX1PLN>(r.l1p_nplan);
  for (int p = 1; p <= n; ++p) {
    const int na = limited<MAX1APL>(r.l1p_natom(p));
    for (int k = 1; k <= na; ++k) {
      rt::write_to(t.atom(), "(3A)", r.l1p_label(p), " ", r.l1p_atom(k, p));
      rt::write_to(t.value(0), "(2F7.3)", r.l1p_dobs(k, p), r.l1p_dev(k, p));
      t.band_done();
    }
  }
  t.finish();
}

}  // namespace

void restraint_tables(std::string_view code, std::string_view mod, const TablePage& page) {
  Tables t(code, page);
  if (r.l1b_nbond > 0) {
    t.start_bonds(begins(mod, "L")
                      ? "lib - value from library, crd - value from coords(created), chem -from "
                        "ener_lib"
                      : "lib - value for library, crd - value from coords, chem - from ener_lib");
    bonds(t);
  }
  if (r.l1g_nangl > 0) {
    t.start(kAngles);
    angles(t);
  }
  if (r.l1t_ntors > 0) {
    t.start(kTorsions);
    torsions(t);
  }
  if (r.l1c_nchir > 0) {
    t.start(kChirals);
    chirals(t);
  }
  if (r.l1p_nplan > 0) {
    t.start(kPlanes);
    planes(t);
  }
}

}  // namespace drawing
