// Ions named by their residue, for every coordinate reader.
#include "coords/ions.h"

#include <vector>

#include "foundation/atom_com.h"
#include "foundation/atom_names.h"
#include "foundation/messages.h"

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// An atom read as an ion, with the element its name alone gives.
struct Noted {
  int32_t atom;
  rt::FixedText<4> by_name;
};

// Kept between reads so that a read allocates only when it notes more ions
// than any read before it.
std::vector<Noted> noted;
rt::FixedText<4> pending("");

// True when every atom of residue r bears the name of atom a (an ion in
// alternate positions is still one atom).
bool alone_in_residue(int32_t a, int32_t r) {
  const int32_t first = resid_inf.iratm_first(r);
  const int32_t last = first + resid_inf.natm_res(r) - 1;
  for (int32_t b = first; b <= last; ++b)
    if (b >= 1 && b <= atom_inf.n_atom && !(atom_inf.atm_name(b) == atom_inf.atm_name(a)))
      return false;
  return true;
}

// The scattering type of `symbol`, of the same kind as type t: an element
// column given ("?" where the file gave none, as the pipeline's PDB reading
// keeps it).  0 when the list is full (after its message).
int32_t type_like(int32_t mdoc, int32_t t, const rt::FixedText<4>& symbol) {
  const rt::FixedText<4> element =
      crst_crd.cs_element(t)(1) == '?' ? rt::FixedText<4>("?") : symbol;
  for (int32_t i = 1; i <= crst_crd.cs_nsfatm && i <= MAXNSF; ++i)
    if (crst_crd.cs_atype(i) == symbol && crst_crd.cs_element(i) == element) return i;
  if (crst_crd.cs_nsfatm >= MAXNSF) {
    foundation::table_full(mdoc, " ERR: number of atomic scattering types > limit.",
                           {.constant = "MAXNSF", .indent = 6, .quoted = false});
    return 0;
  }
  const int32_t i = ++crst_crd.cs_nsfatm;
  crst_crd.cs_atype(i) = symbol;
  crst_crd.cs_element(i) = element;
  return i;
}

}  // namespace

rt::FixedText<4> coords::ion_symbol(std::string_view atom_name, std::string_view residue_name) {
  rt::FixedText<4> symbol("");
  const std::string_view a = rt::trim(atom_name);
  const std::string_view r = rt::trim(residue_name);
  if (a.empty() || a.size() > 2 || a.size() != r.size()) return symbol;
  char c[2] = {' ', ' '};
  for (std::size_t i = 0; i < a.size(); ++i) {
    c[i] = upper(a[i]);
    if (c[i] < 'A' || c[i] > 'Z' || upper(r[i]) != c[i]) return symbol;
  }
  if (!is_heavy_element(c[0], c[1])) return symbol;
  symbol(1) = c[0];
  symbol(2) = c[1];
  return symbol;
}

void coords::ions_start() {
  noted.clear();
  pending.blank();
}

void coords::ion_pending(const rt::FixedText<4>& by_name) { pending = by_name; }

void coords::ion_stored(int32_t a) {
  if (!pending.is_blank()) noted.push_back({a, pending});
  pending.blank();
}

void coords::ions_settle(int32_t mdoc) {
  for (const Noted& n : noted) {
    const int32_t a = n.atom;
    if (a < 1 || a > atom_inf.n_atom) continue;
    const int32_t r = atom_inf.i_resid(a);
    const int32_t t = atom_inf.id_sf(a);
    if (r < 1 || r > resid_inf.n_residue || t < 1 || t > crst_crd.cs_nsfatm) continue;
    if (alone_in_residue(a, r)) continue;
    const int32_t back = type_like(mdoc, t, n.by_name);
    if (back > 0) atom_inf.id_sf(a) = back;
  }
  noted.clear();
}
