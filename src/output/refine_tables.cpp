// The refinement-side tables read by the REMARK 3 block.
#include "output/refine_tables.h"

bins_num_t bins_num;
consts_t consts;
ls_over_flags_t ls_over_flags;
ls_over_scale_t ls_over_scale;
refl_flag_t refl_flag;
refstl_char_t refstl_char;
rflct1_t rflct1;
rhar_geom_t rhar_geom;
rhar_xray_t rhar_xray;
solvent_flags_t solvent_flags;
solvent_pars_t solvent_pars;
tls_pars_t tls_pars;
tls_chrs_t tls_chrs;
tlsmtx_t tlsmtx;
vitals_t vitals;
ncs_restrs_t ncs_restrs;
ncsr_ints_t ncsr_ints;
crst_refm_t crst_refm;
