// Restraints inside one residue: its bonds, angles, torsions, chiral
// centres and planes from the library monomer in L1, on the atoms of C1 in
// tree order, one record per compatible combination of alternate positions
// so that each conformer is restrained on its own.  Bonds and angles of a
// residue that carries a special link may take their ideal values from the
// link's modification.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// The restraint records of residue ires of chain ichain (its block title
// already written).  ierr: the status left by the last lookup or writer.
// Writes crdrst (through the writers), r_scratch l1c_vol, l1p_natom of a
// plane with a negative count, ldl_imod.
void make_rest_(int32_t mdoc, int32_t ichain, int32_t ires, int32_t& ierr);
// The plane records of the residue; nothing when L1 has no planes.
void iplan_rstr_(int32_t mdoc, int32_t& ierr);
// The ideal value and sd of bond atom1-atom2 (atom3 blank) or angle
// atom1-atom2-atom3 of residue ir, chain ig, from the modification of a
// special link of the residue whose alternate code is one of alt1..alt3;
// iyes 1 when found.  Writes r_scratch ldl_imod, lll_fuse (link use).
void check_idl_spec_link_(int32_t mdoc, int32_t ig, int32_t ir, std::string_view atom1,
                          std::string_view alt1, std::string_view atom2, std::string_view alt2,
                          std::string_view atom3, std::string_view alt3, float& vidl, float& vdev,
                          int32_t& iyes, int32_t& ierr);
// The bond (atom3 blank or ".") or angle in modification mod: its last
// "change" or "add" entry with a value.  Writes r_scratch ldl_imod.
void use_idl_spec_link_(int32_t mdoc, std::string_view mod, std::string_view atom1,
                        std::string_view atom2, std::string_view atom3, float& vidl, float& vdev,
                        int32_t& iyes, int32_t& ierr);
