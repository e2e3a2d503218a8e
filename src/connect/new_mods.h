// New entries of the modification library for residues that differ from
// their library monomer by a few atoms: the name and description of the
// wanted modification, and its creation (one atom replaced, added or
// deleted; up to nine atoms added or deleted).
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Filled and read by connect (the modification creators).
// Once-only flag of the full modification library: 1 after the overflow
// lines were written, 0 again at the next creation that finds room.
struct com_crt_mod_t {
  int32_t icrt_mod;
};
extern com_crt_mod_t com_crt_mod;

// At most nine atoms enter one modification.
inline constexpr int MAXMODATM = 9;
using ModAtoms = rt::FixedText<4>[MAXMODATM];

// Name mod and description namem of the modification that func asks for
// ("REP", "ADD", "DEL" with atom_miss and/or atom_unk; "MAD", "MDL" with the
// natm atoms of atom_u), and imod, the library modification of that name and
// description or the known modification that performs the change (0 none).
// ierr 0.  Writes nothing shared.
void look_mod_(std::string_view mon, std::string_view atom_miss, std::string_view atom_unk,
               int32_t natm, rt::FixedText<8>& mod, rt::TextRef namem, const ModAtoms& atom_u,
               std::string_view func, int32_t& imod, int32_t irtype, int32_t& ierr);

// A modification of monomer mon for one atom: "REP" replaces atom_m by atom_u
// of energy type chemu (with the bonds and angles of the monomer in L1 that
// it takes part in), "ADD" adds atom_u of the residue in C1/S1 with its bonds,
// "DEL" deletes atom_m.  imod is the new entry; ierr 1 when a table is full.
// Writes r_scratch ldl_, lda_, ldb_, ldg_ rows and counts, L1 bonds and
// angles ("REP"), com_crt_mod.
void creat_mod_(int32_t mdoc, std::string_view mod, std::string_view mon, std::string_view func,
                std::string_view namem, std::string_view atom_m, std::string_view atom_u,
                int32_t iatom_m, int32_t iatom_u, int32_t& imod, std::string_view chemm,
                std::string_view chemu, int32_t& ierr);

// A modification that adds the natm (1..9) atoms atom_um of the residue in
// C1/S1, of energy types chemum, with their bonds and angles.
// Writes r_scratch ldl_, lda_, ldb_, ldg_ rows and counts, com_crt_mod.
void creat_mod_nadd_(int32_t mdoc, std::string_view mod, std::string_view mon, int32_t& imod,
                     std::string_view namem, int32_t natm, const ModAtoms& atom_um,
                     const ModAtoms& chemum, int32_t& ierr);

// A modification that deletes the natm (1..9) atoms atom_um.
// Writes r_scratch ldl_, lda_ rows and counts, com_crt_mod.
void creat_mod_ndel_(int32_t mdoc, std::string_view mod, std::string_view mon, int32_t& imod,
                     std::string_view namem, int32_t natm, const ModAtoms& atom_um, int32_t& ierr);
