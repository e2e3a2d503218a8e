// The symmetry library's entries for the code base.  They keep one current
// space group for the run and four numbered channels.  Operators travel as 16
// floats each, column by column: element (row i, column j) of operator n (all
// 1-based) at (n-1)*16 + (j-1)*4 + i; rows and columns 1-3 the rotation,
// column 4 the translation, row 4 (0, 0, 0, 1).  Reflection indices are
// arrays of three.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"
#include "suite/ptq7_spg.h"

// The current record (null when none); for the library's own callers.
const Spacegroup* ptq7spg_current();

void msymlb3_(int32_t& ist, int32_t& lspgrp, rt::TextRef name, rt::TextRef short_name,
              rt::TextRef point_group, int32_t& nsymp, int32_t& nsym, float* rsm);
void msymlb2_(int32_t& ist, int32_t& lspgrp, rt::TextRef name, rt::TextRef point_group,
              int32_t& nsymp, int32_t& nsym, float* rsm);
void msymlb_(int32_t& ist, int32_t& lspgrp, rt::TextRef name, rt::TextRef point_group,
             int32_t& nsymp, int32_t& nsym, float* rsm);
void msyget_(int32_t& ist, int32_t& lspgrp, int32_t& nsym, float* rsm);

void asuset_(std::string_view name, int32_t& number, rt::TextRef point_group, int32_t& nsym,
             const float* rsm, int32_t& nsymp, int32_t& laue_code, int32_t lprint);
void asusym_(float* rsm, float* rsm_inverse, int32_t& nsym);
void asuput_(const int32_t* ihkl, int32_t* jhkl, int32_t& isym);
void asuget_(const int32_t* ihkl, int32_t* jhkl, int32_t isym);
void asuphp_(const int32_t* hkl, int32_t lsym, int32_t isign, float phase_in, float& phase_out);
int32_t inasu_(const int32_t* ihkl, int32_t laue_code);

void centric_(int32_t nsym, const float* rsm, int32_t iprint);
void centr_(const int32_t* ihkl, int32_t& is_centric);
void centphase_(const int32_t* ihkl, float& phase);
void epsln_(int32_t nsym, int32_t nsymp, const float* rsm, int32_t iprint);
void epslon_(const int32_t* ihkl, float& epsilon, int32_t& is_absent);
void sysab_(const int32_t* ihkl, int32_t& is_absent);

void pgdefn_(rt::TextRef point_group, int32_t& nsymp, int32_t nsym, const float* rsm,
             int32_t unused);
void pgnlau_(std::string_view point_group, int32_t& laue_code, rt::TextRef laue_name);
void pgmdf_(int32_t& jlass, int32_t& jcentr, int32_t* jscrew);
void patsgp_(std::string_view name, std::string_view point_group, rt::TextRef patterson_name,
             int32_t& patterson_number);

// Operators read from text from column first_col (1-based) on, stored from
// position max(ns, 1); ns becomes the position of the last one.  rsm holds
// room for 192 operators.
void symfr2_(std::string_view text, int32_t first_col, int32_t& ns, float* rsm);
void symfr3_(std::string_view text, int32_t first_col, int32_t& ns, float* rsm, int32_t& eflag);
// Operator n as text into element n of texts (elements of texts.len() each).
void symtr4_(int32_t nsym, const float* rsm, rt::TextRef texts);
void symtr3_(int32_t nsym, const float* rsm, rt::TextRef texts, int32_t iprint);
void invsym_(const float* s, float* a);
void prtrsm_();
void calc_orig_ps_(std::string_view name, int32_t nsym, const float* rsm, int32_t& norigin,
                   float* origins, int32_t& polar_x, int32_t& polar_y, int32_t& polar_z);
bool handchange_(int32_t number, float& x, float& y, float& z);

void setrsl_(float a, float b, float c, float alpha, float beta, float gamma);
float sthlsq_(int32_t h, int32_t k, int32_t l);
float sts3r4_(int32_t h, int32_t k, int32_t l);

void hklrange_(int32_t& h_low, int32_t& h_high, int32_t& k_low, int32_t& k_high, int32_t& l_low,
               int32_t& l_high);
void setlim_(int32_t number, float* xyzlim);
void setlim_zero_(int32_t number, float* xyzlim);
void setgrd_(int32_t laue_code, float sample, int32_t nxmin, int32_t nymin, int32_t nzmin,
             int32_t& nx, int32_t& ny, int32_t& nz);
void fndsmp_(int32_t minsmp, int32_t nmul, float sample, int32_t& n);

// ops as 4x4 row-major arrays.
void ptq7spg_register_by_symops(int nops, const float (*ops)[4][4]);
void ptq7spg_register_by_ptq7_num(int number);
void ptq7spg_mem_tidy();

// Channel entries: sindx 1..4.
void ptq7spg_f_load_by_name_(int32_t sindx, std::string_view name);
void ptq7spg_f_load_by_ops_(int32_t sindx, int32_t nops, const float* rsm);
void ptq7spg_f_asuput_(int32_t sindx, const int32_t* ihkl, int32_t* jhkl, int32_t& isym);
int32_t ptq7spg_f_inasu_(int32_t sindx, const int32_t* ihkl);
void ptq7spg_f_is_sysabs_(int32_t sindx, const int32_t* ihkl, int32_t& is_absent);
void ptq7spg_f_is_centric_(int32_t sindx, const int32_t* ihkl, int32_t& is_centric);
void ptq7spg_f_centphase_(int32_t sindx, const int32_t* ihkl, float& phase);
void ptq7spg_f_epslon_(int32_t sindx, const int32_t* ihkl, float& epsilon, int32_t& is_absent);
void ptq7spg_f_get_laue_(int32_t sindx, int32_t& laue_code, rt::TextRef laue_name);
