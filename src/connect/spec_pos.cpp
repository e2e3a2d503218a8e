// Special positions of the model's atoms.  The multiplicity of a site is the
// number of symmetry operators over the number of distinct images of the
// atom; an atom with multiplicity above 1 sits on a special position, and its
// occupancy usually needs the user's attention, so it is always reported.
#include "connect/spec_pos.h"

#include "foundation/atom_com.h"
#include "foundation/cell_helpers.h"
#include "foundation/messages.h"
#include "runtime/format.h"

namespace {

// The first line of a report, "ch:" (warning) or "ch" (information) before the key.
void atom_line(int32_t mdoc, std::string_view head, std::string_view ch, int ir, int ia) {
  const auto& key = resid_inf.res_num_pdb(ir);
  msgdoc_(mdoc, rt::fmt("(A,A4,' ',A1,' of residue: ',A8,' Ir:',A5,A,A12,' in special position')",
                        head, atom_inf.atm_name(ia), atom_inf.id_alt(ia), resid_inf.res_name(ir),
                        key.sub(3, 7), ch, key));
}

}  // namespace

void def_spec_pos_(int32_t mdoc, char check_spec, float dmin, int32_t& ierr) {
  ierr = 0;
  if (asym_part.n_group <= 0 || atom_inf.n_atom <= 0) {
    msgerr_(mdoc, "ERROR: in \"DEF_SPEC_POS\", N_GROUP or N_ATOM = 0");
    ierr = 1;
    return;
  }
  const float dmin2 = dmin * dmin;
  bool stored = false;
  if (dmin <= 0.0f) return;

  for (int ir = 1; ir <= resid_inf.n_residue; ++ir) {
    const int first = resid_inf.iratm_first(ir);
    for (int ia = first; ia < first + resid_inf.natm_res(ir); ++ia) {
      if (atom_crd.occup(ia) <= 0.0001f) continue;
      const char t = atom_inf.atm_type(ia)(1);
      if (t == 'M' || t == 'U' || t == 'D') continue;
      float frac[3];
      int32_t jerr = 0;
      nb_otof_(&atom_crd.xyz_crd(1, ia), frac, jerr);
      int32_t mult = 1;
      check_spec_pos_(frac, dmin2, mult);
      if (mult == 1) continue;
      if (check_spec == 'Y') {
        atom_crd.mult_factor(ia) = mult;
        atom_line(mdoc, " WARNING : Atom ", " ch:", ir, ia);
        msgdoc_(mdoc, rt::fmt("('           mult=',I3,';  please, check occupancy.')", mult));
        stored = true;
      } else {
        atom_line(mdoc, " INFO:     Atom ", " ch", ir, ia);
        msgdoc_(mdoc, rt::fmt("('           mult=',I3,', now atom\"s mult=',I3,"
                              "' program did not change it')",
                              mult, atom_crd.mult_factor(ia)));
      }
    }
  }
  if (com_out_cif.out_cif_mult == 1 && stored) com_out_cif.out_cif_mult = 0;
}
