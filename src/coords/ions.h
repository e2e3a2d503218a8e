// Ions named by their residue.  Simulation and modelling programs write an
// ion's atom without element columns and with its name from column 14
// (" NA ", " CL ", " MG ") or in mixed case ("Na", "Cl"), where the PDB
// layout reads a nitrogen, a carbon or a hydrogen (" HG ").  The one atom of
// a residue named as an element, whose own name is that element's symbol,
// is an ion of that element, whatever its column or case.  Each reader
// takes every atom so named as the ion when it reads it (so that a mercury
// ion is no hydrogen to leave out), notes what the atom's name alone would
// have given, and gives that back after the read to the atoms of residues
// that turned out to hold other atoms too.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

namespace coords {

// The element symbol (upper case, blank-padded) when the atom name and the
// residue name, each without its surrounding blanks and taken in upper
// case, are one and the same symbol of the heavy-element list; blank
// otherwise.
rt::FixedText<4> ion_symbol(std::string_view atom_name, std::string_view residue_name);

// A new read begins: nothing is noted.
void ions_start();
// The atom the reader is handing over was read as an ion; `by_name` is the
// element its name alone gives.  A blank `by_name` says the atom was read
// as its name gives it.
void ion_pending(const rt::FixedText<4>& by_name);
// The atom just handed over was stored as atom `a`.
void ion_stored(int32_t a);
// Atoms read as ions whose residue holds an atom of another name take the
// element their name gives.  Writes atom_inf (id_sf), crst_crd (a new
// scattering type where needed); reads resid_inf.
void ions_settle(int32_t mdoc);

}  // namespace coords
