// Restraints across a link between two residues: the first residue of the
// link in the work area C2, the second in C1.  The library link's bonds,
// angles, torsions, chiral centres and planes name their atoms by side (1
// the first residue, 2 the second); each becomes one record per compatible
// combination of the atoms' alternate positions.  A special link (a row of
// link_inf marked 'S') applies to one pair of alternate positions; other
// special rows between the same two atoms keep their alternates out.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

namespace restraints {

// Alternate codes of the special rows that join the same two atoms.
struct LinkAlternates {
  int32_t n = 0;
  rt::FixedText<10> alt1, alt2;
};

// The special row being described, if any, and the atoms of the link bond.
struct LinkState {
  rt::FixedText<4> atoms1, atoms2;
  char alts1 = '.', alts2 = '.';
  rt::FixedText<4> latom1, latom2;
  LinkAlternates out;
  int32_t row = 0;  // the link_inf row restrained, 0 when none is named
};

}  // namespace restraints

// The restraint block of library link `link` between residue ires1 of chain
// ig1 (in C2) and ires2 of chain ig2 (in C1).  lid: the link_inf row of a
// special link, 0 or less for any other; conn_flag is not consulted.
// Serials are the atoms' model numbers when lid > 0, else their tree
// places plus their residue's serial base.  ierr: 0, the block opener's
// status, or what the searches and writers last left.  row: the link_inf
// row restrained (0 none).  A bond to a metal of a description made for the
// model, whose length the energy library does not give, is restrained at
// the row's own length, the one its file gave (ln_dist) or else the
// model's distance: the description holds the length of the first link of
// its name only.
// Writes r_scratch lll_ilink, crdrst (through the writers).
void dscr_links_(int32_t mdoc, char list, std::string_view link, int32_t lid, char conn_flag,
                 int32_t ig1, int32_t ires1, int32_t ig2, int32_t ires2, int32_t& ierr,
                 int32_t row = 0);
// The plane records of library link l (its name `link`) for dscr_links_.
void iplan_rstr_l_(int32_t mdoc, char list, int32_t l, std::string_view link,
                   const restraints::LinkState& st, int32_t lid, int32_t& ierr);
