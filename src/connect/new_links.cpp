// New link descriptions.  The reuse test matches names by their stem (the
// name without the digit a later description of the same pair receives), so
// it walks the list of links rather than the name index.
#include "connect/new_links.h"

#include <algorithm>
#include <string>

#include "dictionary/lib_com.h"
#include "foundation/messages.h"
#include "identify/model_tables.h"
#include "runtime/format.h"

namespace {

std::string_view used(std::string_view s) { return rt::trim_right(s); }

// Used part of a monomer name; pyranoses enter links by their first three
// characters.
std::string_view stem(std::string_view mon, int32_t itype) {
  std::string_view m = used(mon);
  if ((itype == 7 || itype == 8) && m.size() > 3) m = m.substr(0, 3);
  return m;
}

bool atom_given(std::string_view a) { return !used(a).empty() && a[0] != '.'; }

// A name that does not fit its field is refused, never cut.
bool fits(int32_t mdoc, std::string_view what, std::string_view name, int width) {
  if (rt::len_trim(name) <= width) return true;
  msgerr_(mdoc, std::string(" ERROR: ") + std::string(what) + " name longer than " +
                    std::to_string(width) + " characters: " + std::string(used(name)));
  return false;
}

// The weight a bond made here carries: the esd of a library link bond
// between atoms of the same names, else a default.  A bond without one would
// be read by a refinement program as infinitely stiff.
constexpr float kDefaultLinkBondEsd = 0.020f;

float link_bond_esd(std::string_view atom1, std::string_view atom2) {
  const r_scratch_t& r = r_scratch;
  for (int32_t k = 1; k <= r.llb_nbond; ++k) {
    if (r.llb_dev(k) <= 0.0f) continue;
    const std::string_view b1 = r.llb_1atm(k).view(), b2 = r.llb_2atm(k).view();
    if ((rt::text_eq(b1, atom1) && rt::text_eq(b2, atom2)) ||
        (rt::text_eq(b1, atom2) && rt::text_eq(b2, atom1)))
      return r.llb_dev(k);
  }
  return kDefaultLinkBondEsd;
}

bool name_held(const rt::FixedText<8>& name) {
  const r_scratch_t& r = r_scratch;
  for (int32_t i = 1; i <= r.lll_nlink; ++i)
    if (r.lll_lname(i) == name) return true;
  return false;
}

// The name of a further description of a stem: the stem with a mark after
// it, or in place of its last character where the stem fills the field.
// The mark is the description's count (1 to 9, then 0) where no link holds
// that name, else the first mark that gives a name no link holds, then two
// marks.  The restraints of a link are found by its name: two descriptions
// of one name would each restrain the other's bond on every pair of atoms
// of those names.
void name_further(rt::FixedText<8>& link, int32_t n) {
  static constexpr std::string_view kMarks =
      "1234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const int at = std::min(link.len_trim() + 1, 8);
  rt::FixedText<8> name = link;
  name(at) = static_cast<char>('0' + (n > 9 ? 0 : n));
  for (const char c : kMarks) {
    if (!name_held(name)) break;
    name(at) = c;
  }
  for (std::size_t k = 0; name_held(name) && k < kMarks.size() * kMarks.size(); ++k) {
    name(at - 1) = kMarks[k / kMarks.size()];
    name(at) = kMarks[k % kMarks.size()];
  }
  link = name;
}

// The detail text of a description made here: its one bond, by monomer
// and atom at each end.
rt::FixedText<24> detail_text(std::string_view m1, std::string_view a1, std::string_view m2,
                              std::string_view a2) {
  return rt::FixedText<24>("bond_" + std::string(m1) + "-" + std::string(a1) + "_=_" +
                           std::string(m2) + "-" + std::string(a2));
}

}  // namespace

namespace connect {

bool made_for_model(int32_t l, int32_t ib) {
  const r_scratch_t& r = r_scratch;
  if (l < 1 || l > r.lll_nlink || ib < 1 || ib > r.llb_nbond) return false;
  const rt::FixedText<24> detail =
      detail_text(used(r.lll_mon1(l).view()), used(r.llb_1atm(ib).view()),
                  used(r.lll_mon2(l).view()), used(r.llb_2atm(ib).view()));
  return rt::text_eq(r.lll_detail(l).view(), detail.view());
}

}  // namespace connect

void creat_link_(int32_t mdoc, rt::FixedText<8>& link, int32_t& inew, int32_t& lnew, int32_t& ilink,
                 int32_t itype1, int32_t itype2, std::string_view mon1, std::string_view atom1,
                 std::string_view mod1, std::string_view mon2, std::string_view atom2,
                 std::string_view mod2, float dist, int32_t& ierr) {
  r_scratch_t& r = r_scratch;
  inew = 0;
  lnew = 0;
  ierr = 0;
  if (!fits(mdoc, "monomer", mon1, 8) || !fits(mdoc, "monomer", mon2, 8) ||
      !fits(mdoc, "atom", atom1, 4) || !fits(mdoc, "atom", atom2, 4) ||
      !fits(mdoc, "modification", mod1, 8) || !fits(mdoc, "modification", mod2, 8)) {
    ilink = 0;
    ierr = 1;
    return;
  }
  const std::string_view m1 = stem(mon1, itype1), m2 = stem(mon2, itype2);
  const std::string_view a1 = used(atom1), a2 = used(atom2);
  if (used(link.view()).empty() || link == ".") link = std::string(m1) + "-" + std::string(m2);
  // A name that fills its field is known by its first seven characters, the
  // eighth being where a further description takes its mark.
  const int ln = std::min(link.len_trim(), 7);

  const rt::FixedText<24> detail = detail_text(m1, a1, m2, a2);
  int32_t n = 0;
  for (int32_t i = 1; i <= r.lll_nlink; ++i) {
    if (r.lll_lname(i).view().substr(0, ln) != link.view().substr(0, ln)) continue;
    ++n;
    if (rt::text_eq(r.lll_detail(i).view(), detail.view())) {
      ilink = i;
      return;
    }
  }

  inew = 1;
  if (n > 0 && (link.len_trim() < 8 || name_held(link))) name_further(link, n);

  int32_t& full = com_crt_link.icrt_flag(1);
  if (r.lll_nlink >= MAXLLNK) {
    if (full == 0) {
      foundation::table_full(mdoc, " WARNING : Number of links  >", MAXLLNK, "",
                             {.constant = "MAXLLNK", .header = "lib_com.fh", .indent = 11});
      msgerr_(mdoc, "           Now program stops to create new links.");
      full = 1;
    }
    ilink = 0;
    return;
  }
  full = 0;
  const int32_t i = ++r.lll_nlink;
  r.lll_ilink = ilink = i;
  r.lll_lname(i) = link;
  r.lll_code1(i) = "x";
  r.lll_detail(i) = detail.view();
  r.lll_mon1(i) = m1;
  r.lll_mon2(i) = m2;
  r.lll_mod1(i) = mod1;
  r.lll_mod2(i) = mod2;
  r.lll_fuse(i) = "C";
  r.lll_type1(i) = ".";
  r.lll_type2(i) = ".";
  r.lll_iconn(i) = r.lll_iatom(i) = r.lll_ibond(i) = r.lll_ithet(i) = 0;
  r.lll_itors(i) = r.lll_iplan(i) = r.lll_ichir(i) = 0;
  if (!atom_given(atom1) || !atom_given(atom2)) return;
  if (r.llb_nbond >= MAXLBND) {
    foundation::table_full(mdoc, " ERROR: number of bonds for the links >", MAXLBND, "",
                           {.constant = "MAXLBND", .header = "lib_com.fh", .indent = 8});
    ierr = 1;
    return;
  }
  const float esd = link_bond_esd(atom1, atom2);
  const int32_t k = ++r.llb_nbond;
  r.lll_ibond(i) = k;
  r.llb_lname(k) = link;
  r.llb_type(k) = ".";
  r.llb_1atm(k) = atom1;
  r.llb_2atm(k) = atom2;
  r.llb_f1atm(k) = 1;
  r.llb_f2atm(k) = 2;
  r.llb_val(k) = dist;
  r.llb_dev(k) = esd;
  r.llb_vobs(k) = dist;
}
