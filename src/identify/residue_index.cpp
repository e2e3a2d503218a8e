// Residue index and index distance.  The strings are those the graph
// comparison builds in its one-sided modes; the distance reads their fields
// back as numbers, a blank field as 0.
#include "identify/residue_index.h"

#include <cstdlib>

#include "identify/graph_compare.h"
#include "identify/mtc_atom.h"

namespace {

// Field of `width` digits from 1-based position `pos`; blanks and a text too
// short read as 0, as does a field that is not a number.
int field(std::string_view s, int pos, int width) {
  int v = 0;
  bool neg = false;
  for (int k = 0; k < width; ++k) {
    const std::size_t at = static_cast<std::size_t>(pos - 1 + k);
    const char ch = at < s.size() ? s[at] : ' ';
    if (ch == ' ') continue;
    if (ch == '-') {
      neg = true;
    } else if (ch >= '0' && ch <= '9') {
      v = v * 10 + (ch - '0');
    } else {
      return 0;
    }
  }
  return neg ? -v : v;
}

void copy_index(int32_t nside, int32_t& n, rt::FixedText<30>& c_content, rt::FixedText<24>& c_index,
                rt::FixedText<24>& c_pair) {
  n = nside;
  c_content = mtc_atom.c_content;
  c_index = mtc_atom.c_index;
  c_pair = mtc_atom.c_pair;
}

}  // namespace

void calc_index_crd_(int32_t mdoc, std::string_view mon, int32_t& n, rt::FixedText<30>& c_content,
                     rt::FixedText<24>& c_index, rt::FixedText<24>& c_pair, int32_t& ierr) {
  ierr = 0;
  check_compl_(mdoc, 'S', "CRD ", 1, mon, ierr);
  copy_index(mtc_atom.mt_nc, n, c_content, c_index, c_pair);
}

void calc_index_(int32_t mdoc, std::string_view mon, int32_t& n, rt::FixedText<30>& c_content,
                 rt::FixedText<24>& c_index, rt::FixedText<24>& c_pair, int32_t& ierr) {
  ierr = 0;
  check_compl_(mdoc, ' ', "LIB ", 0, mon, ierr);
  copy_index(mtc_atom.mt_nl, n, c_content, c_index, c_pair);
}

void calc_index_diff_(int32_t /*mdoc*/, std::string_view c_content1, std::string_view c_index1,
                      std::string_view c_pair1, std::string_view c_content2, std::string_view c_index2,
                      std::string_view c_pair2, int32_t& idiffc, int32_t& idiffi, int32_t& idiffp,
                      int32_t& ierr) {
  idiffc = idiffi = idiffp = 0;
  ierr = 0;
  // Carbon, nitrogen and oxygen (characters 1-6) may differ between a residue
  // and its monomer; only the rarer elements must agree.
  for (int k = 1; k <= 12; ++k) idiffc += std::abs(field(c_content1, 5 + 2 * k, 2) - field(c_content2, 5 + 2 * k, 2));
  // Paths of 7 and 8 bonds are left out.
  for (int k = 1; k <= 6; ++k) idiffi += std::abs(field(c_index1, 3 * k - 2, 3) - field(c_index2, 3 * k - 2, 3));
  for (int k = 1; k <= 8; ++k) idiffp += std::abs(field(c_pair1, 3 * k - 2, 3) - field(c_pair2, 3 * k - 2, 3));
}
