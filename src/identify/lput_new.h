// One atom of the model, held in the one-atom record, added to the work
// residue C1 and, for a monomer the library describes only minimally or not
// at all, to the work description L1.
#pragma once

#include <cstdint>

#include "runtime/fixed_text.h"

// Atoms of another alternate than alt_for_copy, the terminal atoms of a
// peptide (itype 3) or nucleotide (itype 5), and a second atom of one name
// are left out.  ierr: 1 when L1 is empty for a minimal description or full
// for a new one (reported); the status of the element look-up on the
// minimal path; else left alone.  A full C1 is reported once and takes no
// more atoms of the residue (c1_natom -1).
// Writes r_scratch C1, S1, L1 atoms and counts, l1l_name, l1l_form, lsf_
// rows (through the element table).
void lput_new_(int32_t mdoc, char list, const rt::FixedText<1>& alt_for_copy, int32_t itype, int32_t& ierr);
// The element of a 4-character scattering-type name without its charge:
// the characters before the first "+" or "-", blank-padded.
void cut_el_name_(rt::FixedText<4>& char4);
