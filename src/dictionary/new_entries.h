// New entries of the monomer list stored from L1, the retirement of older
// entries of the same code, and the fuse-flag operations around the reading
// of monomer descriptions.
#pragma once

#include <cstdint>
#include <string_view>

// Stores L1 as a new list entry with its own rows; every older entry of the
// same code is retired first (code "???", fuse "N", start pointers 0, its
// rows coded "?").  ierr 1 when L1 is empty, the list is full or a row table
// fills up (the entry then keeps the rows stored so far).
// Writes r_scratch lml_ (entries and lml_nmon, lml_imon) and every lm*_ row table.
void cpl_mlib_(int32_t mdoc, int32_t& ierr);

// Row stores: the first n L1 rows of their kind (atoms in numbering order)
// appended to entry lml_imon, tagged with mon; nothing when lml_imon < 1.
// A full table gives its two lines, lml_imon 0 and ierr 1.
// Each writes its own r_scratch row table and count with the entry's start
// pointer: cpl_amlib_ lma_ (and lml_natm, lml_nhatm), cpl_nmlib_ lmn_,
// cpl_bmlib_ lmb_, cpl_gmlib_ lmg_, cpl_tmlib_ lmt_, cpl_pmlib_ lmp_,
// cpl_cmlib_ lmc_; and r_scratch lml_imon when a table is full.
void cpl_amlib_(int32_t mdoc, std::string_view mon, int32_t ia, int32_t& ierr);
void cpl_nmlib_(int32_t mdoc, std::string_view mon, int32_t in, int32_t& ierr);
void cpl_bmlib_(int32_t mdoc, std::string_view mon, int32_t ib, int32_t& ierr);
void cpl_gmlib_(int32_t mdoc, std::string_view mon, int32_t ig, int32_t& ierr);
void cpl_tmlib_(int32_t mdoc, std::string_view mon, int32_t it, int32_t& ierr);
void cpl_pmlib_(int32_t mdoc, std::string_view mon, int32_t ip, int32_t& ierr);
void cpl_cmlib_(int32_t mdoc, std::string_view mon, int32_t ic, int32_t& ierr);

// Rows of every entry flagged "R" retired and its start pointers cleared,
// before its description is read again.  Writes r_scratch lml_ pointers and row codes.
void check_fuse_r_(int32_t mdoc, int32_t& ierr);
// Every entry flagged "R" becomes "Y".  Writes r_scratch lml_fuse.
void set_fuse_y_(int32_t mdoc, int32_t& ierr);
