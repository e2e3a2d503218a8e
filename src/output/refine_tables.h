// Filled by the refinement side of the code base (no room of this system
// fills them: they stay zero); read by the REMARK 3 block of the PDB
// writer.  Refinement statistics, restraint statistics, NCS groups, TLS
// groups and tensors, bulk-solvent settings and the per-atom refinement
// flags.  Only the members that the block reads are held.
#pragma once

#include <cstdint>

#include "foundation/atom_com.h"

inline constexpr int MAXHBIN = 1000;      // resolution bins of the statistics
inline constexpr int hmaxrest = 1000;     // entries of the restraint statistics
inline constexpr int max_ncs = 100;       // NCS groups
inline constexpr int max_ncs_chain = 40;  // chains of one NCS group
inline constexpr int max_ncs_span = 40;   // spans of one NCS group
inline constexpr int maxtlsgrp = 200;     // TLS groups
inline constexpr int maxpieces_tls = 50;  // residue ranges of one TLS group

// Resolution-bin bookkeeping.
struct bins_num_t {
  int32_t nbin_ref;  // number of resolution bins; entry nbin_ref + 1 holds the whole range
};
extern bins_num_t bins_num;

// Constants of the refinement side, set by it.
struct consts_t {
  float pi, twopi, rtodeg, degtor, fourpi, pisq, pisq4, pisq8, epsch1, epscomp, ftol, gold, cgold,
      zeps, tol;
};
extern consts_t consts;

// Switches and values of the overall parameters: word 3 of the flags says
// that words 3-8 of the scale hold the overall anisotropic B (B11 B22 B33
// B12 B13 B23).
struct ls_over_flags_t {
  rt::Array1<bool, 8> words;
};
extern ls_over_flags_t ls_over_flags;
struct ls_over_scale_t {
  rt::Array1<float, 8> words;
};
extern ls_over_scale_t ls_over_scale;

struct refl_flag_t {
  bool phase_flag;  // phase information used
};
extern refl_flag_t refl_flag;

struct refstl_char_t {
  Text<4> ref_style;  // "MLKF": maximum likelihood
};
extern refstl_char_t refstl_char;

struct rflct1_t {
  int32_t ibabinet;  // Babinet bulk-solvent scaling: 1 on, 0 off
};
extern rflct1_t rflct1;

// Statistics of each restraint kind of the refinement.
struct rhar_geom_t {
  int32_t nhrestr;                             // entries in use
  rt::Array1<int32_t, hmaxrest> hrestr_num;    // restraints of the kind
  rt::Array1<float, hmaxrest> hrestr_rms;      // rms deviation
  rt::Array1<float, hmaxrest> hrestr_wght;     // weight
  rt::Array1<Text<50>, hmaxrest> hrestr_name;  // kind, e.g. "Bond distances: refined atoms"
};
extern rhar_geom_t rhar_geom;

// X-ray statistics overall and per resolution bin.
struct rhar_xray_t {
  int32_t nhbins;                                   // bins; entry nhbins is the highest resolution
  rt::Array1<int32_t, MAXHBIN> nhrefl_bin_work;     // working-set reflections of a bin
  rt::Array1<int32_t, MAXHBIN> nhrefl_bin_free;     // free-set reflections of a bin
  rt::Array1<float, MAXHBIN> hd_high_bin;           // high-resolution limit, Angstrom
  rt::Array1<float, MAXHBIN> hd_low_bin;            // low-resolution limit, Angstrom
  rt::Array1<float, MAXHBIN> hcompl_bin;            // completeness, %
  rt::Array1<float, MAXHBIN> hrfac_bin_all;         // R over working and test sets
  rt::Array1<float, MAXHBIN> hrfac_bin_free;        // free R
  rt::Array1<float, MAXHBIN> hrfac_bin_work;        // R over the working set
  float hcorr_fofc, hcorr_fofc_free;                // Fo-Fc correlation, working and free sets
  float hesu_cruic, hesu_free, hesu_ml, hesu_ml_b;  // coordinate errors (A) and B error (A**2)
  float hd_high, hd_low;                            // resolution range of the data
  float rfactor_work, rfactor_free;
  float perc_free;                   // free set, % of the reflections
  int32_t nhrefl_work, nhrefl_free;  // working and free reflections
};
extern rhar_xray_t rhar_xray;

struct solvent_flags_t {
  bool mask_bulk_flag;  // mask bulk-solvent model in use
};
extern solvent_flags_t solvent_flags;
struct solvent_pars_t {
  float vdw_probe_rad, ion_probe_rad, shrink_rad;
};
extern solvent_pars_t solvent_pars;

// TLS groups: residue ranges (chain, first and last residue number) and
// tensors; T as printed, L and S in radian units, S without its trace:
// S22-S11, S11-S33, S12, S13, S23, S21, S31, S32.
struct tls_pars_t {
  int32_t ntls_grp;
  rt::Array1<int32_t, maxtlsgrp> npieces_grp;
  rt::Array2<int32_t, maxpieces_tls, maxtlsgrp> ires_piece_start;
  rt::Array2<int32_t, maxpieces_tls, maxtlsgrp> ires_piece_end;
};
extern tls_pars_t tls_pars;
struct tls_chrs_t {
  rt::Array2<Text<4>, maxpieces_tls, maxtlsgrp> chain_piece;
};
extern tls_chrs_t tls_chrs;
struct tlsmtx_t {
  rt::Array2<float, 3, maxtlsgrp> tlsorigin;
  rt::Array2<float, 6, maxtlsgrp> tmat;
  rt::Array2<float, 6, maxtlsgrp> lmat;
  rt::Array2<float, 8, maxtlsgrp> smat;
};
extern tlsmtx_t tlsmtx;

struct vitals_t {
  int32_t aniso_level;  // anisotropic restraints above 1
};
extern vitals_t vitals;

// NCS groups: chains and residue spans.
struct ncs_restrs_t {
  rt::Array1<int32_t, max_ncs> ncs_nchains;
  rt::Array2<int32_t, max_ncs_span, max_ncs> ncs_res_first;
  rt::Array2<int32_t, max_ncs_span, max_ncs> ncs_res_last;
  rt::Array1<int32_t, max_ncs> ncs_nspans;
  rt::Array2<Text<4>, max_ncs_chain, max_ncs> ncs_chain_id;
};
extern ncs_restrs_t ncs_restrs;
struct ncsr_ints_t {
  int32_t ncs_ngroups;
  rt::Array2<int32_t, max_ncs_span, max_ncs> ncs_span_code;
};
extern ncsr_ints_t ncsr_ints;

// Refinement flag of each atom.
struct crst_refm_t {
  rt::Array1<int32_t, MAXATOM> atom_ref_flag;
};
extern crst_refm_t crst_refm;
