// Links by interatomic distance between residues that the chain order does
// not join: disulfides, metal and ion sites, glycosylation and sugar links,
// head-to-tail closures and any other pair of atoms within bonding distance.
#pragma once

#include <cstdint>

// Finds every atom pair of two residues within the limit of its element
// classes (1.7, 2.4 or 3.0 Angstrom; an O3'-P pair within the chain's break
// limit) that no earlier stage links (the walk along a chain or a row made in
// this run), matches it with the input links (rows
// 1..ln_n_init of link_inf, which take precedence) and the link library
// (creating a description the library lacks, dnew "Y"), and enters the link
// and the modifications it implies.  Atoms closer than 0.5 A are one atom
// written twice, never a bond: each such pair is warned of.  A link whose
// atoms lie beyond the pair's limit in some of their conformers holds only
// in the others: a row marked "S" for each pair of conformers within it,
// naming its alternates and without modifications, and a warning for each
// pair left out.  A new description of a bond to a metal that the energy
// library gives no length for takes the model's distance, and says so.
// lnk_flag, ss_flag (disulfides) and
// sugar_flag are use flags: "N" reports without entering, "D" removes the
// matching input links, "S" (sugars) keeps only glycosidic and glycosylation
// links.  nsug counts links entered between two sugars.  list "T" traces.
// ierr 1 for an empty model or a broken residue tree, else the status of a
// failing callee.
// Writes link_inf, mod_inf, resid_inf iconn_type, asym_part iterm_s_type,
// iterm_f_type, resid_inf_2, and the link library through creat_link_.
void def_link_new_(int32_t mdoc, char list, char lnk_flag, char ss_flag, char sugar_flag,
                   int32_t ln_n_init, char& dnew, int32_t& nsug, int32_t& ierr);

#include <string_view>

#include "runtime/fixed_text.h"

namespace connect {

// A peptide bond (a C of one residue and an N of another, both peptides or
// chain caps, by type or, for a cap the library lacks, by name) for which
// the library holds no link of the two residues: the trans peptide link, as
// the walk along a chain gives it, so that a residue set apart from its
// chain (a HETATM residue that a sorting program moved to the end of the
// file, a chain cap written as HETATM) keeps its peptide geometry; its cis
// and proline forms follow from the model's geometry later.  A link the
// file names (the written coordinates name the link a run found) is looked
// for under that name instead.  False, the arguments untouched, for any
// other pair or a library without that link.
bool peptide_link(std::string_view mon1, std::string_view atom1, int32_t itype1,
                  std::string_view mon2, std::string_view atom2, int32_t itype2, int32_t& ilink,
                  rt::FixedText<8>& mod1, rt::FixedText<8>& mod2, int32_t& irevers,
                  std::string_view link = "TRANS");

}  // namespace connect
