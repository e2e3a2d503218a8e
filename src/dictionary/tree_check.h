// The atom tree of a library monomer checked, kept or rebuilt, and turned
// to run along the backbone of its residue class.
#pragma once

#include <cstdint>

// Copies library entry l into L1 (l < 1: L1 is already filled), checks the
// description, keeps the library's tree when it is valid and builds one from
// the bonds otherwise, and stores a newly built tree (and every L1 filled by
// the caller) back into the dictionary as a new entry.  ierr: the status of
// the count, copy, renumbering or direction check that failed, else 0.
// Writes r_scratch lml_fuse, lml_natm, lml_nhatm, lml_prsnt of entry l, L1,
// L2, ldl_imod (through cp_mlib_), and the dictionary through cpl_mlib_.
void check_rlib_tree_(int32_t mdoc, char list, int32_t l, int32_t& ierr);

// Turns the L1 tree to run from the first to the last backbone atom of
// residue class itype_res (peptide "N" to "C", nucleotide "O3T", "P" or "O5*"
// to "O3*", pyranose "C1" to "O5"); other classes are left alone.  The tree
// must be resolved (set_num_mod_).  ierr 1 when a re-rooting fails.
// Writes r_scratch L1 tree fields.
void check_tree_direction_(int32_t mdoc, char list, int32_t itype_res, int32_t& ierr);
