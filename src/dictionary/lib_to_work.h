// Copies of a library monomer out of the dictionary into the work
// description L1, with the modifications that its entry, synonym or
// derivative names; and the count of a monomer's atom rows.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Finds mon directly (an entry whose description is in force), else as a
// synonym's alternative code, else as a derivative (two levels), and copies
// that entry into L1.  On return mon holds the code after synonym
// replacement.  ierr: 0; 1 empty list, a row copy that overflowed L1, or an
// extra connection too many; 2 not found (an information line).
// Writes r_scratch L1 (every group), lml_prsnt of the entry copied and
// ldl_imod (through modif_).
void cp_mlib_(int32_t mdoc, rt::FixedText<8>& mon, int32_t& ierr);

// Row copies: every row from `first` to the end of its table whose monomer
// code is mon is appended to L1, whose count starts from 0.  ierr 1 when L1
// overflows (the rows stored so far stay) or, for atoms and tree rows, when
// `first` is outside the table.  Write r_scratch l1a_, l1n_, l1b_, l1g_,
// l1t_, l1p_, l1c_ respectively (rows and count of the L1 work description).
void cp_amlib_(int32_t mdoc, std::string_view mon, int32_t ia, int32_t& ierr);
void cp_nmlib_(int32_t mdoc, std::string_view mon, int32_t in, int32_t& ierr);
void cp_bmlib_(int32_t mdoc, std::string_view mon, int32_t ib, int32_t& ierr);
void cp_gmlib_(int32_t mdoc, std::string_view mon, int32_t ig, int32_t& ierr);
void cp_tmlib_(int32_t mdoc, std::string_view mon, int32_t it, int32_t& ierr);
void cp_pmlib_(int32_t mdoc, std::string_view mon, int32_t ip, int32_t& ierr);
void cp_cmlib_(int32_t mdoc, std::string_view mon, int32_t ic, int32_t& ierr);

// Appends every L1 bond that is not an edge of the atom tree (by names) and
// not yet an extra connection to the connections, type ".".  ierr 1 when
// L1 has no room.  Writes r_scratch l1n_ rows.
void check_extra_conn_(int32_t mdoc, int32_t& ierr);

// Atom rows of mon from row ia on, up to the first row of another code, and
// those that are not hydrogen.  ierr 1 (with a message) when ia < 1, else
// left as it was.  Writes nothing.
void count_natom_lib_(int32_t mdoc, std::string_view mon, int32_t ia, int32_t& natom,
                      int32_t& nhatom, int32_t& ierr);
