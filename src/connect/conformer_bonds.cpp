// Conformer pairs of a link's atoms and the bond reach they are held to.
#include "connect/conformer_bonds.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "dictionary/link_lookup.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace connect {

namespace {

// Further apart than this no two atoms bond, whatever length a link gives.
constexpr float kNoBond = 3.5f;

bool no_code(const rt::FixedText<1>& a) { return a == "." || a.is_blank(); }

bool takes_part(int ia, std::string_view name, const rt::FixedText<1>& alt) {
  const char t = atom_inf.atm_type(ia)(1);
  if (t == 'M' || t == 'U' || t == 'D') return false;
  return atom_inf.atm_name(ia) == name && (no_code(alt) || atom_inf.id_alt(ia) == alt);
}

// Two positions stand together unless both carry codes, alternate or
// correlation, that differ.
bool together(int ia, int ja) {
  const auto &a = atom_inf.id_alt(ia), &b = atom_inf.id_alt(ja);
  const auto &ca = atom_inf.id_corr(ia), &cb = atom_inf.id_corr(ja);
  if (!no_code(a) && !no_code(b) && !(a == b)) return false;
  return no_code(ca) || no_code(cb) || ca == cb;
}

}  // namespace

float bond_reach(std::string_view n1, std::string_view n2, float ideal) {
  const float polymer =
      std::max(dictionary::polymer_bond_limit(n1, n2), dictionary::polymer_bond_limit(n2, n1));
  return polymer > 0.0f ? polymer : std::max(2.0f * ideal, kNoBond);
}

void conformer_pairs(int ir1, std::string_view n1, const rt::FixedText<1>& alt1, int ir2,
                     std::string_view n2, const rt::FixedText<1>& alt2,
                     std::vector<ConformerPair>& out) {
  out.clear();
  const int f1 = resid_inf.iratm_first(ir1), f2 = resid_inf.iratm_first(ir2);
  for (int ia = f1; ia < f1 + resid_inf.natm_res(ir1); ++ia) {
    if (!takes_part(ia, n1, alt1)) continue;
    for (int ja = f2; ja < f2 + resid_inf.natm_res(ir2); ++ja) {
      if (!takes_part(ja, n2, alt2) || !together(ia, ja)) continue;
      float d2 = 0.0f;
      for (int k = 1; k <= 3; ++k) {
        const float d = atom_crd.xyz_crd(k, ia) - atom_crd.xyz_crd(k, ja);
        d2 += d * d;
      }
      out.push_back({ia, ja, std::sqrt(d2)});
    }
  }
}

std::string link_end_text(int ich, int ir, int ia) {
  return rt::fmt("(A4,' res:',A5,' ',A8,' at:',A4,A1)", asym_part.group_id(ich),
                 std::as_const(resid_inf.res_num_pdb(ir)).sub(3, 7), resid_inf.res_name(ir),
                 atom_inf.atm_name(ia), atom_inf.id_alt(ia));
}

void warn_conformers_apart(int32_t mdoc, const rt::FixedText<8>& link, int ich1, int ich2,
                           const ConformerPair& p, float ideal) {
  msgdoc_(mdoc, rt::fmt("(' WARNING : link:',A8,' atoms too far apart to bond, dist =',F10.3)",
                        link, p.dist));
  msgdoc_(mdoc, "           ch:" + link_end_text(ich1, atom_inf.i_resid(p.ia), p.ia) +
                    "->ch:" + link_end_text(ich2, atom_inf.i_resid(p.ja), p.ja) +
                    std::string(rt::fmt("(' ideal_dist=',F10.3)", ideal)));
  msgdoc_(mdoc, "           link will not be restrained between these conformers");
}

}  // namespace connect
