// Reflection-file programming interface, reading: opening an input file on an
// index, assigning the program's columns, reading reflections with their
// missing-value flags, positioning, closing, and the header queries.  Texts
// the routines hand back are blank-padded; arrays are column-major.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "reflections/cmtzlib.h"
#include "runtime/fixed_text.h"

// ifail out: 0 opened, 1 bad or busy index, -1 file not read.
void lropen_(int32_t mindx, std::string_view filnam, int32_t iprint, int32_t& ifail);
void lrinfo_(int32_t mindx, rt::TextRef versnx, int32_t& ncolx, int32_t& nreflx, float* ranges);
// lookup(i) in: -1 compulsory, 0 optional; out: file position or 0.
void lrassn_(int32_t mindx, TextArray lsprgi, int32_t nlprgi, int32_t* lookup, TextArray ctprgi);
void lrrefl_(int32_t mindx, float& resol, float* adata, bool& eof);
void lrreff_(int32_t mindx, float& resol, float* adata, bool& eof);
void lrrefm_(int32_t mindx, int32_t* logmss);
void mtz_check_for_mnf_(int32_t mindx, int32_t ndata, const float* adata, int32_t* logmss);
void lrseek_(int32_t mindx, int32_t nrefl);
void lrrewd_(int32_t mindx);
void lrclos_(int32_t mindx);
float lstlsq_(int32_t mindx, int32_t ih, int32_t ik, int32_t il);
void lstrsl_(int32_t mindx, float a, float b, float c, float alpha, float beta, float gamma);

void lrcell_(int32_t mindx, float* cell);
void lrcelx_(int32_t mindx, int32_t iset, float* cell);
void lrrsol_(int32_t mindx, float& minres, float& maxres);
// rsymx(4, 4, nsymx): element (row, column) of operator k.
void lrsymm_(int32_t mindx, int32_t& nsymx, float* rsymx);
void lrsymi_(int32_t mindx, int32_t& nsympx, rt::TextRef ltypex, int32_t& nspgrx,
             rt::TextRef spgrnx, rt::TextRef pgnamx);
void lrid_(int32_t mindx, TextArray pname, TextArray dname, int32_t* isets, int32_t& ndatasets);
void lridc_(int32_t mindx, TextArray pname, TextArray dname, int32_t* isets, float* datcell,
            float* datwave, int32_t& ndatasets);
// ndatasets in: capacity of the arrays; out: count, or -1 when they were too small.
void lridx_(int32_t mindx, TextArray pname, TextArray xname, TextArray dname, int32_t* isets,
            float* datcell, float* datwave, int32_t& ndatasets);
void lrclab_(int32_t mindx, TextArray clabs, TextArray ctyps, int32_t& ncol);
void lrclid_(int32_t mindx, int32_t* csetid, int32_t& ncol);
void lrncol_(int32_t mindx, int32_t& ncolx);
void lrnref_(int32_t mindx, int32_t& nreflx);
void lrsort_(int32_t mindx, int32_t* isort);
void lrtitl_(int32_t mindx, rt::TextRef ftitle, int32_t& len);
void lrhist_(int32_t mindx, TextArray hstrng, int32_t& nlines);
void lrbats_(int32_t mindx, int32_t& nbatx, int32_t* batchx);
void lrbat_(int32_t mindx, int32_t& batno, float* rbatch, rt::TextRef cbatch, int32_t iprint);
void lrbres_(int32_t mindx, int32_t batno);
void lrbtit_(int32_t mindx, int32_t batno, rt::TextRef tbatch, int32_t iprint);
// nbatsc in: capacity; out: number of scales.
void lrbscl_(int32_t mindx, int32_t batno, float* batscl, int32_t& nbatsc);
void lrbsetid_(int32_t mindx, int32_t batno, int32_t& bsetid);

// Record-level counterparts.
// rbatch: the 185-word array (integers as their bit patterns); cbatch: the
// title and the three axis labels (94 characters).  0 for a null batch.
int ptq7_lrbat(const MtzBatch* batch, float* rbatch, rt::TextRef cbatch, int iprint);
// 1 at the end of the reflections or when a row cannot be read, else 0.
int ptq7_lrrefl(MtzFile* mtz, float& resol, float* adata, int* missing, int iref);
int ptq7_lrreff(MtzFile* mtz, float& resol, float* adata, int* missing, MtzCol* const* lookup,
                int ncols, int iref);
// The columns of the labels (null for empty or unknown labels), with type checks.
std::vector<MtzCol*> ptq7_lrassn(MtzFile* mtz, const std::vector<std::string>& labels,
                                 std::vector<std::string>& types);
