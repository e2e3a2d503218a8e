// Look-ups in a work description: which bond, angle, torsion, chiral centre or
// plane holds given atoms (indexes into the atom list of L1, L2, or either
// for the link angle), with the energy library as the fallback for the ideal
// bond length, angle and torsion; and the ring codes of energy types.
//
// Status of the value look-ups: 0 found in the description (or link table),
// 1 not answerable (empty table or an atom index below 1), 2 not found,
// 3 value from the energy library.  Nothing is written but the outputs:
// none of these routines writes a shared table.
// The monomer code `mon` is not used: the whole description is searched.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

void srch_bond_(int32_t mdoc, std::string_view mon, int32_t i1, int32_t i2, float& val, int32_t& lb,
                int32_t& ierr);
// i2 is the vertex.
void srch_angl_(int32_t mdoc, std::string_view mon, int32_t i1, int32_t i2, int32_t i3, float& val,
                int32_t& lg, int32_t& ierr);
// As srch_angl_ over L2; lg is left as the caller had it unless a row is found.
void srch_angl_2_(int32_t mdoc, std::string_view mon, int32_t i1, int32_t i2, int32_t i3,
                  float& val, int32_t& lg, int32_t& ierr);
// Link angle of the whole dictionary: atom k comes from L1 when ifk is 1
// (and belongs to monomer 2 of the link row), else from L2 (monomer 1).
void srch_angl_l_(int32_t mdoc, std::string_view mon, int32_t i1, int32_t i2, int32_t i3,
                  int32_t if1, int32_t if2, int32_t if3, float& val, int32_t& lg, int32_t& ierr);
// inv 1 when the row runs as asked, -1 when reversed.
void srch_tors_(int32_t mdoc, std::string_view mon, int32_t i1, int32_t i2, int32_t i3, int32_t i4,
                float& val, int32_t& lt, int32_t& inv, int32_t& ierr);
// i1 the centre; is the parity of the neighbours, negated for a negative sign.
void srch_chir_(int32_t mdoc, std::string_view mon, int32_t i1, int32_t i2, int32_t i3, int32_t i4,
                float& vol, int32_t& lc, int32_t& is, int32_t& ierr);
void srch_chir_centre_(int32_t mdoc, std::string_view mon, int32_t i1, int32_t& lc, int32_t& ierr);
void srch_chir_centre_l_(int32_t mdoc, std::string_view link, std::string_view atom, int32_t& lc,
                         int32_t& ierr);
void srch_chir_centre_2_(int32_t mdoc, std::string_view atom, int32_t& lc, rt::FixedText<4>& atom2,
                         rt::FixedText<4>& atom3, rt::FixedText<4>& atom4, int32_t& is,
                         int32_t& ierr);
// First plane holding the four atoms; lp 0 when none.
void srch_plan_(int32_t mdoc, std::string_view mon, int32_t i1, int32_t i2, int32_t i3, int32_t i4,
                int32_t& lp, int32_t& ierr);
// Ring code of an energy type: "RR6", "RR5", "RRR", "R5 ", "R6 " or "N  ".
void check_ring_(std::string_view type, rt::FixedText<3>& ring);
// Whether torsion n1-n2-n3-n4 of L1 lies in a ring (id 0 to 3, negative when
// the shared ring is not flat) and its ideal value in a flat ring.
void check_ring_id_(int32_t mdoc, int32_t n1, int32_t n2, int32_t n3, int32_t n4, int32_t& id,
                    float& phi, int32_t& ierr);
