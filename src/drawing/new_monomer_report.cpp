// The new-monomer report.  The drawing points are the atoms with coordinates,
// turned so that the axis of least extent points at the eye, centred and
// turned by the caller's angle; the second view of the stereo pair is turned
// a further -9 degrees about x.  Labels are sized by perspective: nearer
// atoms get larger ones.
#include "drawing/new_monomer_report.h"

#include <cmath>
#include <string>

#include "dictionary/lib_com.h"
#include "drawing/new_monomer_cif.h"
#include "drawing/new_monomer_pdb.h"
#include "drawing/new_monomer_tables.h"
#include "drawing/text_plot.h"
#include "foundation/atom_com.h"
#include "foundation/file_open.h"
#include "foundation/messages.h"
#include "runtime/fixed_text.h"

namespace {

constexpr int kPictureBox = 180;
constexpr int kFirstShiftX = 50;
constexpr int kFirstShiftY = 80;
constexpr float kMargin = 2.5f;              // added to the monomer radius, angstrom
constexpr float kPi = 3.1415925f;            // kept: stored drawings were made with it
constexpr float kStereoTurn = -0.15707962f;  // radian, about -9 degrees
constexpr float kLabelLength = 0.5f;         // angstrom, sets the label size
constexpr int kDeclaredPages = 5;

r_scratch_t& r = r_scratch;

bool valid(int32_t i) { return i >= 1 && i <= r.l1a_natom && i <= MAX1ATM; }
bool placed(int32_t i) { return valid(i) && r.l1a_coor_flag(i) == "Y"; }

std::string used(std::string_view text) { return std::string(rt::trim_right(text)); }

// Truncation toward zero of a drawing value, held to a range no drawing
// reaches so that no value can overflow the integer.
int32_t truncated(float v) {
  if (!(v > -1.0e8f)) return -100000000;
  if (v > 1.0e8f) return 100000000;
  return static_cast<int32_t>(v);
}

// (x, y, z) turned by angle a about x, as the report turns every view.
void turn(float a, float& y, float& z) {
  const float c = std::cos(a), s = std::sin(a);
  const float yy = y * c + z * s;
  const float zz = z * c - y * s;
  y = yy;
  z = zz;
}

struct Projection {
  int32_t ibx;
  float radbor;
  float scale;
  bool stereo;  // the second view: every point turned a little more
};

void point(int32_t i, const Projection& p, float x[3]) {
  x[0] = r.l2a_x(i);
  x[1] = r.l2a_y(i);
  x[2] = r.l2a_z(i);
  if (p.stereo) turn(kStereoTurn, x[1], x[2]);
}

// Bonds and atom labels of one view in the current drawing box.
void draw_view(const Projection& p) {
  const int nbond = r.l1b_nbond < MAX1BND ? r.l1b_nbond : MAX1BND;
  for (int k = 1; k <= nbond; ++k) {
    const int32_t a = r.l1b_i1atm(k), b = r.l1b_i2atm(k);
    if (!placed(a) || !placed(b)) continue;
    float xa[3], xb[3];
    int32_t ia[2], ib[2];
    point(a, p, xa);
    point(b, p, xb);
    proj_txl_(xa, p.radbor, p.ibx, p.scale, ia);
    proj_txl_(xb, p.radbor, p.ibx, p.scale, ib);
    movtxx_(ia[0], ia[1]);
    vectxx_(ib[0], ib[1]);
  }
  const int natom = r.l1a_natom < MAX1ATM ? r.l1a_natom : MAX1ATM;
  for (int i = 1; i <= natom; ++i) {
    if (!placed(i)) continue;
    float x[3];
    int32_t ip[2], is[2];
    point(i, p, x);
    proj_txl_(x, p.radbor, p.ibx, p.scale, ip);
    const float probe[3] = {kLabelLength, 0.0f, x[2]};
    proj_txl_(probe, p.radbor, 0, p.scale, is);
    txtext_(rt::trim_right(r.l1a_aname(i).view()), is[0] / 10, (ip[0] - 3) / 10, (ip[1] + 3) / 10,
            0);
  }
}

// A file name longer than its 256-character field is refused, never cut:
// cut, it would name another file.
bool name_fits(int32_t mdoc, const std::string& file) {
  if (file.size() <= 256) return true;
  msgerr_(mdoc, " ERR: file name longer than 256 characters: " + file);
  return false;
}

// Opens root + "_" + code + ext and has `writer` fill it; a failed open or a
// name too long is reported and the sequence goes on.
template <typename W>
void coordinate_file(int32_t mdoc, const std::string& root, std::string_view code,
                     std::string_view ext, std::string_view label, std::string_view warning,
                     std::string_view prog, W writer, int32_t& ierr) {
  const std::string whole = root + "_" + std::string(code) + std::string(ext);
  if (!name_fits(mdoc, whole)) {
    msgerr_(mdoc, warning);
    return;
  }
  const rt::FixedText<256> file(whole);
  int32_t unit = 0;
  int32_t status = 0;
  openfw_(unit, 99, "", file.view(), "", status);
  crdinf.cro2_iun = unit;
  if (status != 0) {
    msgerr_(mdoc, warning);
    ierr = 0;
    return;
  }
  if (unit <= 0) return;
  const std::string_view name = file.trimmed();
  msgdoc_(mdoc,
          std::string(label) + std::string(name.substr(0, name.size() < 66 ? name.size() : 66)));
  writer(mdoc, crdinf.cro2_iun, prog, ierr);
}

}  // namespace

void proj_txl_(const float x[3], float radbor, int32_t ibx, float scale, int32_t ixp[2]) {
  const float d = 6.0f * radbor;
  const float px = x[0] * d / (d - x[2]);
  const float py = x[1] * d / (d - x[2]);
  const float half = static_cast<float>(ibx) * 0.5f;
  ixp[0] = truncated((px * scale + half) * 10.0f);
  ixp[1] = truncated((py * scale + half) * 10.0f);
}

void draw_frame_(int32_t ibx, int32_t iby) {
  movtxx_(0, 0);
  vectxx_(0, 10 * iby);
  vectxx_(10 * ibx, 10 * iby);
  vectxx_(10 * ibx, 0);
  vectxx_(0, 0);
}

void title_monl_1_(std::string_view mon, std::string_view mname) {
  const int m = rt::len_trim(mname);
  if (m > 3 && mname[0] != '.') {
    txtext_(mon, 20, 15, 230, 1);
    txtext_(mname, 10, 35, 220 - m / 2, 1);
  } else {
    txtext_(mon, 20, 25, 230, 1);
  }
}

void title_monl_(std::string_view mon) { txtext_(mon, 20, 25, 230, 1); }

void graph_newl_(int32_t mdoc, std::string_view mod, std::string_view mon_input,
                 std::string_view prog, float vangle, int32_t& ierr) {
  ierr = 0;
  // 1. Code and name.
  rt::FixedText<8> code;
  if (rt::len_trim(mon_input) == 0 || mon_input[0] == '?' || mon_input[0] == ' ')
    code = r.l1l_mname.view();
  else code = mon_input;
  const int lm = code.len_trim();
  const std::string code_used(code.view().substr(0, lm));
  const rt::FixedText<80> name(r.l1l_name.view());

  // 2. Atoms with coordinates become the drawing points.
  int n = 0;
  float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
  const int natom = r.l1a_natom < MAX1ATM ? r.l1a_natom : MAX1ATM;
  for (int i = 1; i <= natom; ++i) {
    if (!placed(i)) continue;
    ++n;
    const float c[3] = {r.l1a_x(i), r.l1a_y(i), r.l1a_z(i)};
    for (int k = 0; k < 3; ++k) {
      if (c[k] < lo[k]) lo[k] = c[k];
      if (c[k] > hi[k]) hi[k] = c[k];
    }
    r.l2a_x(i) = c[0];
    r.l2a_y(i) = c[1];
    r.l2a_z(i) = c[2];
  }
  if (n == 0) return;

  // 3. Coordinate files under the monomer-library tool.
  const bool library_tool = rt::text_eq(prog, "dravneck");
  std::string root;
  if (library_tool) {
    const rt::FixedText<256>& out = crdinf.cro_file;
    if (out.len_trim() > 0 && out(1) != ',') {
      root = used(out.view());
    } else {
      root = used(prog);
    }
    coordinate_file(mdoc, root, code_used, ".cif",
                    "* CIFile  : ", " WARNING: can't open output CIFile for new monomer", prog,
                    wr_cif_new_, ierr);
    coordinate_file(mdoc, root, code_used, ".pdb",
                    "* PDBfile : ", " WARNING: can't open output PDB File for new monomer", prog,
                    wr_pdb_new_, ierr);
  }

  // 4. A drawing needs three atoms.
  if (n < 3) {
    msgerr_(mdoc, " WARNING: number of atoms < 3 for " + code.str());
    msgerr_(mdoc, "            Can not create PostScript file");
    ierr = 0;
    return;
  }

  // 5. The axis of least extent becomes the depth axis (cyclic moves keep
  // the handedness; a tie moves nothing).
  const float hx = (hi[0] - lo[0]) / 2.0f, hy = (hi[1] - lo[1]) / 2.0f, hz = (hi[2] - lo[2]) / 2.0f;
  float centre[3] = {(hi[0] + lo[0]) / 2.0f, (hi[1] + lo[1]) / 2.0f, (hi[2] + lo[2]) / 2.0f};
  int shift = 0;
  if (hx < hz && hx < hy) shift = 1;
  else if (hy < hz && hy < hx) shift = 2;
  auto permute = [shift](float& x, float& y, float& z) {
    const float o[3] = {x, y, z};
    x = o[shift % 3];
    y = o[(shift + 1) % 3];
    z = o[(shift + 2) % 3];
  };
  permute(centre[0], centre[1], centre[2]);

  // 6, 7. Centre, radius and the caller's turn.
  float rad2 = 0.0f;
  const float a = vangle * kPi / 180.0f;
  for (int i = 1; i <= natom; ++i) {
    if (!placed(i)) continue;
    float& x = r.l2a_x(i);
    float& y = r.l2a_y(i);
    float& z = r.l2a_z(i);
    permute(x, y, z);
    x -= centre[0];
    y -= centre[1];
    z -= centre[2];
    const float d2 = x * x + y * y + z * z;
    if (d2 > rad2) rad2 = d2;
  }
  const float rad = std::sqrt(rad2);
  for (int i = 1; i <= natom; ++i)
    if (placed(i)) turn(a, r.l2a_y(i), r.l2a_z(i));

  // 8. Report name.
  std::string file;
  if (library_tool) {
    file = root + "_" + code_used + ".ps";
  } else {
    const std::string ext = used(crdinf.crps_ext.view());
    std::string base = crdinf.crps_path.len_trim() > 0
                           ? used(crdinf.crps_path.view()) + used(crdinf.crps_file.view())
                           : used(crdinf.crps_file.view());
    if (rt::len_trim(base) == 0) base = "tessran";
    file = base + "_" + code_used + "." + ext;
  }
  if (!name_fits(mdoc, file)) {
    msgerr_(mdoc, " ERR: can not open PostScript file");
    return;
  }
  const rt::FixedText<256> file_name(file);

  // 9. Opening.
  int32_t status = 0;
  opentx_(file_name.view(), kDeclaredPages, status);
  if (status != 0) {
    msgerr_(mdoc, " ERR: can not open PostScript file");
    ierr = 0;
    return;
  }

  // 10. The stereo pair.
  newpen_(1);
  set_box_tx_(kPictureBox, kPictureBox, kFirstShiftX, kFirstShiftY);
  drawing::TablePage page{};
  int32_t iby = 0, ishy = 0, ix0 = 0, iy0 = 0;
  get_box_tx_(page.ibx, iby, page.ishx, ishy, ix0, iy0, page.xmin, page.xmax, page.ymin, page.ymax);
  Projection p{page.ibx, rad + kMargin, 0.0f, false};
  p.scale = static_cast<float>(page.ibx) / (2.0f * p.radbor);
  title_monl_1_(code.view(), name.view());
  oritx_(0, 0);
  draw_frame_(page.ibx, page.ibx);
  draw_view(p);
  set_box_tx_(page.ibx, kPictureBox, page.ishx, ishy + page.ibx);
  oritx_(0, 0);
  draw_frame_(page.ibx, page.ibx);
  p.stereo = true;
  draw_view(p);

  // 11, 12. Tables, then the document is closed.
  drawing::restraint_tables(code.view(), mod, page);
  endtx_();
}
