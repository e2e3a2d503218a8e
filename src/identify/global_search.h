// The last attempt to give a residue a dictionary monomer: by its index, by a
// subgraph of a larger monomer, else a minimal description from its atoms.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Residue in C1 under the name mon.  new_flag: "N" (or "M" for a minimal
// description) an existing monomer mon_new with the residue's atoms one to
// one; "G" a description derived from a larger monomer (mon_new = mon); "Y"
// a minimal description from the coordinates in L1 (mon_new blank), with
// bonds only when srch is "G".  list "T" traces; "L" and "M" show the
// warnings.  When the index's monomer was refused because the graph match
// named some atoms otherwise (those names left in C2), the description
// made here speaks the names the atoms end with: the match's with a
// derived description ("G"), else the residue's own, C2 set back to C1's
// names with a warning naming each such atom.  A monomer whose signed
// chiral centre the residue's coordinates give the other hand (beyond 0.5
// A^3) is refused, by the index and by the subgraph search alike, with a
// warning naming the first such centre.  nmon_crt_new, ig, ir, ias are the
// caller's and not consulted.
// ierr 0, 1 after a reported error, or the status of the library reader or
// copy.  Writes r_scratch L1, L2, C1 (c1_rname, c1_atype, names), C2, S1,
// lml_fuse, the dictionary through the reader and the derived description's
// entry, mtc_atom and com_match_pool.
void global_search_new_(int32_t mdoc, char list, std::string_view mon, rt::FixedText<8>& mon_new,
                        rt::FixedText<1>& new_flag, char srch, int32_t nmon_crt_new, int32_t ig, int32_t ir,
                        int32_t ias, int32_t& ierr);
// Connectivity check of the monomer in L1 against the residue in C1: tree
// fields of L1 reset and its atom classes set, then (unless it is 1) both
// graphs built and compared, library names going into C2.  list "S" sets the
// caller's mdoc to 99.  ierr 1 for an empty L1 (reported), else the status
// of the graph comparison.  Writes r_scratch L1 tree fields, l1a_atype,
// l1a_nhatom, neighbour lists of L1 and C1, C2 names, mtc_atom.
void check_cmp_mon3_(int32_t& mdoc, char list, int32_t it, int32_t& ierr);
