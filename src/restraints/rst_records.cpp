// Record writers of the restraint file.  Text lines follow fixed columns so
// that a record can be read by eye beside its neighbours; the reader itself
// goes by CIF tokens, so every unused field is written ".".
#include "restraints/rst_records.h"

#include <cmath>
#include <string>
#include <utility>

#include "dictionary/lib_com.h"
#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "output/out_lines.h"
#include "restraints/rst_file.h"
#include "runtime/format.h"

namespace {

using restraints::finite_or_zero;

constexpr std::string_view kWriteFailed = " ERR: WRITE TO FILE /rst/";

bool no_output() { return crdinf.crro_file.is_blank() || crdinf.crro_iun == 0; }

// The counter of a record kind; nullptr for a name that is none of them.
int32_t* counter_of(std::string_view name) {
  const rt::FixedText<4> n(name);
  if (n == "BOND") return &crdrst.rs_nbond;
  if (n == "ANGL") return &crdrst.rs_nangl;
  if (n == "TORS") return &crdrst.rs_ntors;
  if (n == "CHIR") return &crdrst.rs_nchir;
  return nullptr;
}

// A label of eight columns as one value of the record: quoted when it
// holds a blank or could be read as something else, "." when blank.
std::string label_cell(std::string_view label) {
  return output::cif_cell(rt::FixedText<8>(label).view(), 8);
}

void blank_dot(rt::FixedText<1>& alt) {
  if (alt == ".") alt = " ";
}

// One atom line of a plane.
void plane_line(int32_t iun, output::Line& line, std::string_view label, int32_t serial, float dev,
                float dobs, std::string_view aname, rt::FixedText<1> alt, int32_t& ierr) {
  blank_dot(alt);
  output::put_line(
      iun, line, ierr,
      "(A,1X,I6,1X,A,1X,'.',1X,I6,1X,'.',1X,'.',1X,'.',1X,F8.3,1X,'.',1X,F8.3,A,A4,1X,A1)", "PLAN",
      crdrst.rs_nplan, label_cell(label), serial, finite_or_zero(dev), finite_or_zero(dobs),
      " . . . # ", rt::FixedText<4>(aname), alt);
}

bool plane_record(int32_t mdoc, std::string_view label, int32_t serial, float dev, float dobs) {
  return restraints::put_rst_record("PLAN", crdrst.rs_nplan, label, 0, serial, 0, 0, 0, dev, 0,
                                    dobs, 0, 0, 0, mdoc, kWriteFailed);
}

constexpr float kFarFromIdeal = 1.0f;

std::string atom_text(int32_t ir, std::string_view atom, std::string_view alt) {
  const resid_inf_t& res = resid_inf;
  const int32_t ich = ir >= 1 && ir <= res.n_residue ? res.i_chain(ir) : 0;
  if (ich < 1 || ich > asym_part.n_group) return std::string(atom);
  const rt::FixedText<1> code(alt.empty() || alt[0] == ' ' ? std::string_view(".") : alt);
  return rt::fmt("(A4,' res:',A5,' ',A8,' at:',A4,A1)", asym_part.group_id(ich),
                 std::as_const(res.res_num_pdb(ir)).sub(3, 7), res.res_name(ir),
                 rt::FixedText<4>(atom), code);
}

}  // namespace

void restraints::warn_far_bond(int32_t ir1, std::string_view atom1, std::string_view alt1,
                               int32_t ir2, std::string_view atom2, std::string_view alt2,
                               float vidl, float vobs) {
  if (no_output() || !(std::fabs(vobs - vidl) > kFarFromIdeal)) return;
  const int32_t mdoc = restraints::rst_log_code();
  msgdoc_(mdoc, rt::fmt("(' WARNING : bond restraint far from the model, dist =',F10.3,"
                        "' ideal_dist=',F10.3)",
                        vobs, vidl));
  const std::string first = atom_text(ir1, atom1, alt1);
  msgdoc_(mdoc, "           ch:" + first + "->ch:" + atom_text(ir2, atom2, alt2));
}

void wrestr_(int32_t mdoc, std::string_view name, rt::FixedText<8>& label, int32_t ia1, int32_t ia2,
             int32_t ia3, int32_t ia4, float vidl, float sd, float vobs, int32_t iperiod,
             float dist, float desd, float econst, std::string_view atom1, std::string_view atom2,
             std::string_view atom3, std::string_view atom4, rt::FixedText<1>& alt1,
             rt::FixedText<1>& alt2, rt::FixedText<1>& alt3, rt::FixedText<1>& alt4,
             int32_t& ierr) {
  if (no_output()) return;
  int32_t* counter = counter_of(name);
  const rt::FixedText<4> kind(name);
  if (restraints::rst_unformatted()) {
    const int32_t num = counter ? ++*counter : 0;
    if (kind == "ANGL") label = ".";
    if (!restraints::put_rst_record(name, num, label, iperiod, ia1, ia2, ia3, ia4, vidl, sd, vobs,
                                    dist, desd, econst, mdoc, kWriteFailed))
      ierr = 1;
    return;
  }
  for (rt::FixedText<1>* a : {&alt1, &alt2, &alt3, &alt4}) blank_dot(*a);
  if (!counter) return;
  const int32_t num = ++*counter;
  const int32_t iun = crdinf.crro_iun;
  vidl = finite_or_zero(vidl);
  sd = finite_or_zero(sd);
  vobs = finite_or_zero(vobs);
  output::Line line;
  if (kind == "BOND") {
    output::put_line(iun, line, ierr,
                     "(A4,1X,I6,1X,A,1X,'.',4X,I6,1X,I6,6X,'.',6X,'.',1X,F8.3,1X,F8.3,1X,F8.3)",
                     kind, num, label_cell(label.view()), ia1, ia2, vidl, sd, vobs);
  } else if (kind == "ANGL") {
    output::put_line(iun, line, ierr,
                     "(A4,1X,I6,1X,'.',8X,'.',4X,I6,1X,I6,1X,I6,6X,'.',1X,F8.3,1X,F8.3,1X,F8.3)",
                     kind, num, ia1, ia2, ia3, vidl, sd, vobs);
  } else if (kind == "TORS") {
    output::put_line(iun, line, ierr,
                     "(A4,1X,I6,1X,A,1X,I1,4X,I6,1X,I6,1X,I6,1X,I6,1X,F8.3,1X,F8.3,1X,F8.3)", kind,
                     num, label_cell(label.view()), iperiod, ia1, ia2, ia3, ia4, vidl, sd, vobs);
  } else {
    output::put_line(iun, line, ierr,
                     "(A4,1X,I6,1X,A,1X,'.',4X,I6,1X,I6,1X,I6,1X,I6,1X,F8.3,1X,F8.3,1X,F8.3)",
                     kind, num, label_cell(label.view()), ia1, ia2, ia3, ia4, vidl, sd, vobs);
  }
  const rt::FixedText<4> a1(atom1), a2(atom2), a3(atom3), a4(atom4);
  if (kind == "BOND" || kind == "CHIR") {
    output::put_line(iun, line, ierr, "(4X,'.',8X,'.',4X,F8.3,A,A4,A1,1X,A4,A1,1X,A4,A1,1X,A4,A1)",
                     finite_or_zero(econst), " # ", a1, alt1, a2, alt2, a3, alt3, a4, alt4);
  } else {
    output::put_line(iun, line, ierr, "(F8.3,1X,F8.3,1X,F8.3,A,A4,A1,1X,A4,A1,1X,A4,A1,1X,A4,A1)",
                     finite_or_zero(dist), finite_or_zero(desd), finite_or_zero(econst), " # ", a1,
                     alt1, a2, alt2, a3, alt3, a4, alt4);
  }
}

void wprstr_(int32_t mdoc, std::string_view label, int32_t n, const float* dev, const float* dobs,
             const int32_t* iatm, int32_t& ierr) {
  if (no_output()) return;
  ++crdrst.rs_nplan;
  const r_scratch_t& r = r_scratch;
  const int32_t iun = crdinf.crro_iun;
  output::Line line;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t serial = r.c1_iglobal + iatm[k];
    if (restraints::rst_unformatted()) {
      if (!plane_record(mdoc, label, serial, dev[k], dobs[k])) {
        ierr = 1;
        return;
      }
      continue;
    }
    const int32_t a = r.s1_inew(iatm[k]);
    plane_line(iun, line, label, serial, dev[k], dobs[k], r.c1_aname(a), r.c1_alt(a), ierr);
  }
}

void wprstr_ln_(int32_t mdoc, std::string_view label, int32_t n, const float* dev,
                const float* dobs, const int32_t* iatm, const int32_t* iatm_a, const int32_t* iglb,
                int32_t iglob1, int32_t, int32_t lid, int32_t& ierr) {
  if (no_output()) return;
  ++crdrst.rs_nplan;
  const r_scratch_t& r = r_scratch;
  const int32_t iun = crdinf.crro_iun;
  output::Line line;
  for (int32_t k = 0; k < n; ++k) {
    if (restraints::rst_unformatted()) {
      if (!plane_record(mdoc, label, iglb[k] + iatm[k], dev[k], dobs[k])) {
        ierr = 1;
        return;
      }
      continue;
    }
    const int32_t serial = lid <= 0 ? iglb[k] + iatm[k] : iatm_a[k];
    if (serial <= 0) continue;
    const bool first = iglb[k] == iglob1;
    const int32_t a = first ? r.s1_inew(iatm[k]) : r.s2_inew(iatm[k]);
    plane_line(iun, line, label, serial, dev[k], dobs[k], first ? r.c1_aname(a) : r.c2_aname(a),
               first ? r.c1_alt(a) : r.c2_alt(a), ierr);
  }
}

void wrestr_symm_(int32_t mdoc, std::string_view name, int32_t iln, int32_t ia1, int32_t ia2,
                  float vidl, float sd, float vobs, rt::FixedText<8>& type, float econst,
                  std::string_view symm1, std::string_view, int32_t& ierr) {
  ierr = 0;
  if (no_output()) return;
  const link_inf_t& l = link_inf;
  if (l.ln_n <= 0 || iln < 1 || iln > l.ln_n) return;
  const int32_t r1 = l.ln_1ires(iln), r2 = l.ln_2ires(iln);
  const int32_t iun = crdinf.crro_iun;
  if (ia1 >= 1 && ia1 <= atom_inf.n_atom && ia2 >= 1 && ia2 <= atom_inf.n_atom)
    restraints::warn_far_bond(atom_inf.i_resid(ia1), atom_inf.atm_name(ia1), atom_inf.id_alt(ia1),
                              atom_inf.i_resid(ia2), atom_inf.atm_name(ia2), atom_inf.id_alt(ia2),
                              vidl, vobs);
  if (restraints::rst_unformatted()) {
    type = symm1;
    const int32_t num = ++crdrst.rs_nbnds;
    wrt_rst_title_(iun, mdoc, "LINK", l.ln_id(iln), ierr);
    if (!restraints::put_rst_record(name, num, type, 0, ia1, ia2, 0, 0, vidl, sd, vobs, 0, 0,
                                    econst, mdoc, " ERROR: WRITE TO FILE /rst/"))
      ierr = 1;
    return;
  }
  if (!(rt::FixedText<4>(name) == "BNDS")) return;
  const resid_inf_t& res = resid_inf;
  restraints::put_link_comment(l.ln_id(iln), res.res_name(r1), res.res_num_pdb(r1),
                               res.res_name(r2), res.res_num_pdb(r2), ierr);
  wrt_rst_title_(iun, mdoc, "LINK", l.ln_id(iln), ierr);
  type = symm1;
  const int32_t num = ++crdrst.rs_nbnds;
  output::Line line;
  output::put_line(iun, line, ierr,
                   "(A4,1X,I6,1X,A,1X,'.',4X,I6,1X,I6,6X,'.',6X,'.',1X,F8.3,1X,F8.3,1X,F8.3)",
                   rt::FixedText<4>(name), num, label_cell(type.view()), ia1, ia2,
                   finite_or_zero(vidl), finite_or_zero(sd), finite_or_zero(vobs));
  rt::FixedText<1> alt1(atom_inf.id_alt(ia1)), alt2(atom_inf.id_alt(ia2));
  blank_dot(alt1);
  blank_dot(alt2);
  output::put_line(iun, line, ierr, "(4X,'.',8X,'.',4X,F8.3,A,A4,A1,1X,A4,A1)",
                   finite_or_zero(econst), " # ", atom_inf.atm_name(ia1), alt1,
                   atom_inf.atm_name(ia2), alt2);
}
