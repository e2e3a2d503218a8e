// Record fillers of the monomer description categories (`_chem_comp_atom`,
// `_chem_comp_tree`, `_chem_comp_bond`, `_chem_comp_angle`, `_chem_comp_tor`,
// `_chem_comp_chir`, `_chem_comp_plane_atom`) and their dispatcher.  Every
// filler takes one item value of a record: its position i in the row, the
// block name, the item name, the value as text, integer and real, each text
// with its used length; ierr 0 accepted or ignored, 1 error reported.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/array.h"
#include "runtime/fixed_text.h"

// Filled and read by the plane-atom filler (dictionary).
// The `_chem_comp_plane_atom` row being read.
struct sttcpln_t {
  float pl_dev;                 // dist_esd
  rt::FixedText<4> pl_atom;     // atom_id
  rt::FixedText<8> pl_label;    // plane_id
  rt::FixedText<8> pl_mname;    // monomer code
};
extern sttcpln_t sttcpln;

#define MON_FILLER_ARGS                                                                        \
  int32_t mdoc, int32_t i, std::string_view block, int32_t lenb, std::string_view item,     \
      int32_t leni, std::string_view data, int32_t idata, float fdata, int32_t lend,         \
      int32_t &ierr

// Routes one description item to its category's filler.  Writes, through the
// fillers, r_scratch lml_imon, lml_iatom..lml_ichir, lml_natm, lml_nhatm,
// lma_iatom and the lma_, lmn_, lmb_, lmg_, lmt_, lmc_, lmp_ rows, lsf_ rows
// (element check), com_conn_lib and sttcpln.  Each filler below writes
// r_scratch lml_imon (0 after an error), its entry's first-row pointer and
// its own rows: pt_matom_ lma_ (and lsf_ rows through the element check),
// pt_connect_ lmn_, the lma_ tree fields, lma_iatom, lml_natm, lml_nhatm and
// com_conn_lib, pt_mbond_ lmb_, pt_mangl_ lmg_, pt_mtors_ lmt_, pt_mchir_
// lmc_, pt_mplan_ lmp_ and sttcpln.
void put_mnlib_(MON_FILLER_ARGS);
void pt_matom_(MON_FILLER_ARGS);
void pt_connect_(MON_FILLER_ARGS);
void pt_mbond_(MON_FILLER_ARGS);
void pt_mangl_(MON_FILLER_ARGS);
void pt_mtors_(MON_FILLER_ARGS);
void pt_mchir_(MON_FILLER_ARGS);
void pt_mplan_(MON_FILLER_ARGS);

// Atom-name normalisation on the first four characters of name: a leading
// blank is dropped; a name beginning with a digit, quote or asterisk is
// rotated ("1HB " to "HB_1", "2HG1" to "HG12").  Writes nothing but name.
void corr_h_atom_name_(rt::TextRef name, int32_t len);
