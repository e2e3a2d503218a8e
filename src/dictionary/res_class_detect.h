// Residue class of the monomer in L1 from its atom names: the backbone
// names of a nucleotide, a pyranose ring or a peptide, optionally confirmed
// by the bond list or by the atom tree.  Codes are those of the CIF
// residue-type vocabulary: 1 none, 3 peptide, 5 nucleotide (DNA and RNA
// alike), 7 pyranose.  No routine writes a message; ierr is always 0.
#pragma once

#include <cstdint>

// Names only.  Writes nothing.
void precheck_res_type_(int32_t mdoc, int32_t& itype_res, int32_t& ierr);
// Names confirmed by bond rows; sets l1l_type ("DNA", "RNA", "D-pyranose",
// "L-peptide") with a class.  Writes r_scratch l1l_type.
void check_res_type_by_atom_and_bond_(int32_t mdoc, int32_t& itype_res, int32_t& ierr);
// Names confirmed by their neighbours in the atom tree; sets l1l_type and
// enters the monomer code into its class list of com_res_type.
// Writes r_scratch l1l_type, com_res_type.
void check_res_type_(int32_t mdoc, int32_t& itype_res, int32_t& ierr);
