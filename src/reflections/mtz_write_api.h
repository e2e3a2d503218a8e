// Reflection-file programming interface, writing: opening an output file on
// an index, declaring its columns, crystals, datasets, cell, symmetry, title,
// history, sort order and batch headers, writing reflections one at a time,
// and closing, which writes the header.
#pragma once

#include <cstdint>
#include <string_view>

#include "reflections/cmtzlib.h"

void lwopen_(int32_t mindx, std::string_view filnam);
// iflag out: 0 opened, 1 failed.
void lwopen_noexit_(int32_t mindx, std::string_view filnam, int32_t& iflag);
void lwclos_(int32_t mindx, int32_t iprint);
// iflag out: 0 written, 1 failed (the index stays open for writing).
void lwclos_noexit_(int32_t mindx, int32_t iprint, int32_t& iflag);

void lwassn_(int32_t mindx, TextArray lsprgo, int32_t nlprgo, TextArray ctprgo, int32_t iappnd);
void lwclab_(int32_t mindx, TextArray lsprgo, int32_t nlprgo, TextArray ctprgo, int32_t iappnd);
void lwrefl_(int32_t mindx, const float* adata);
void lwrefl_noexit_(int32_t mindx, const float* adata, int32_t& iflag);
// Puts the column ranges that the row writer of index mindx holds back into
// the columns of the index's record (called before the record is read,
// changed or freed).
void mtz_settle_rows(int32_t mindx);
void lwsort_(int32_t mindx, const int32_t* sortx);

void lwidx_(int32_t mindx, std::string_view pname, std::string_view xname, std::string_view dname,
            const float* datcell, float datwave);
void lwidc_(int32_t mindx, std::string_view pname, std::string_view dname, const float* datcell,
            float datwave);
void lwid_(int32_t mindx, std::string_view pname, std::string_view dname);
void lwidall_(int32_t mindx, std::string_view xname, std::string_view dname);
void lwidasx_(int32_t mindx, int32_t nlprgo, TextArray xname, TextArray dname, int32_t iappnd);
void lwidas_(int32_t mindx, int32_t nlprgo, TextArray pname, TextArray dname, int32_t iappnd);
void lwcell_(int32_t mindx, const float* cell);
// rsymx(4, 4, nsymx): element (row, column) of operator k.
void lwsymm_(int32_t mindx, int32_t nsymx, int32_t nsympx, const float* rsymx,
             std::string_view ltypex, int32_t nspgrx, std::string_view spgrnx,
             std::string_view pgnamx);
void lwtitl_(int32_t mindx, std::string_view ftitle, int32_t flag);
void lwhist_(int32_t mindx, TextArray hstrng, int32_t nlines);
void lwhstl_(int32_t mindx, std::string_view hstrng);

void lwbat_(int32_t mindx, int32_t batno, const float* rbatch, std::string_view cbatch);
void lwbtit_(int32_t mindx, int32_t batno, std::string_view tbatch);
void lwbscl_(int32_t mindx, int32_t batno, const float* batscl, int32_t nbatsc);
void lwbsetid_(int32_t mindx, int32_t batno, std::string_view pname, std::string_view dname);
void lwbsetidx_(int32_t mindx, int32_t batno, std::string_view xname, std::string_view dname);

// Record-level counterparts.
int ptq7_lwrefl(MtzFile* mtz, const float* adata, MtzCol* const* lookup, int ncol, int iref);
int ptq7_lwidx(MtzFile* mtz, const char* xname, const char* dname, const char* pname,
               const float cell[6], float wavelength);
// New history lines (80 characters each) go before the old ones; blank lines
// are skipped, leading blanks removed.  The new line count.
int MtzAddHistory(MtzFile* mtz, const char* lines, int nlines);
// batch null: a new batch batno at the end of the list; else batch renumbered.
int ptq7_lwbat(MtzFile* mtz, MtzBatch* batch, int batno, const float* rbatch,
               std::string_view cbatch);
int ptq7_lwbsetid(MtzFile* mtz, MtzBatch* batch, const char* xname, const char* dname);
int MtzSetSortOrder(MtzFile* mtz, MtzCol* const cols[5]);
