// The record writers of the restraint file: bonds, angles, torsions and
// chiral centres, the atoms of a monomer plane and of a plane across a
// link, and the bond of a link between symmetry-related residues.  Each
// kind numbers its records from 1 over the whole file (counters of crdrst);
// a plane takes one number for all its atoms.  Serials name atoms as the
// coordinate file of the same run numbers them.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// One "BOND", "ANGL", "TORS" or "CHIR" record.  Changes the caller's label
// to "." for an unformatted "ANGL", and in the text form every alternate
// code "." to a blank.
// Writes crdrst (the kind's counter).
void wrestr_(int32_t mdoc, std::string_view name, rt::FixedText<8>& label, int32_t ia1, int32_t ia2,
             int32_t ia3, int32_t ia4, float vidl, float sd, float vobs, int32_t iperiod,
             float dist, float desd, float econst, std::string_view atom1, std::string_view atom2,
             std::string_view atom3, std::string_view atom4, rt::FixedText<1>& alt1,
             rt::FixedText<1>& alt2, rt::FixedText<1>& alt3, rt::FixedText<1>& alt4, int32_t& ierr);
// The n atoms of one plane of the residue in C1: ideal deviations dev,
// observed dobs, atoms at tree places iatm.
// Writes crdrst.rs_nplan.
void wprstr_(int32_t mdoc, std::string_view label, int32_t n, const float* dev, const float* dobs,
             const int32_t* iatm, int32_t& ierr);
// A plane across a link: atom k lies in the residue of serial offset
// iglb[k] (C1 when it is iglob1, else C2) at tree place iatm[k], or, in the
// text form with lid > 0, has the serial iatm_a[k].
// Writes crdrst.rs_nplan.
void wprstr_ln_(int32_t mdoc, std::string_view label, int32_t n, const float* dev,
                const float* dobs, const int32_t* iatm, const int32_t* iatm_a, const int32_t* iglb,
                int32_t iglob1, int32_t iglob2, int32_t lid, int32_t& ierr);
// The bond ia1-ia2 (model atoms) of link row iln between symmetry-related
// residues, in a link block of its own; type becomes symm1, the label.
// Writes crdrst.rs_nbnds.
void wrestr_symm_(int32_t mdoc, std::string_view name, int32_t iln, int32_t ia1, int32_t ia2,
                  float vidl, float sd, float vobs, rt::FixedText<8>& type, float econst,
                  std::string_view symm1, std::string_view symm2, int32_t& ierr);

namespace restraints {

// A bond restraint whose model length vobs lies more than 1 A from its
// ideal vidl restrains atoms that are not bonded in the model, or a model
// that is not what the description says: a warning names the two atoms
// (model residues ir1, ir2) with the ideal and the length, at the message
// code the file was opened with.  Nothing without a file.  Writes nothing
// shared.
void warn_far_bond(int32_t ir1, std::string_view atom1, std::string_view alt1, int32_t ir2,
                   std::string_view atom2, std::string_view alt2, float vidl, float vobs);

}  // namespace restraints
