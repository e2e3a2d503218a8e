// The list part of the monomer library: library name, version and date, and
// the lists of monomers, synonyms, derivatives, modifications and links,
// read from the main library list file and then from the second library.
#pragma once

#include <cstdint>

// Reads the lists.  Writes libcom lb_pass, lmi_iun, lb_name, lb_vers,
// lb_date; r_scratch lml_, lms_, ldr_, ldl_, lll_ list entries and counts
// (through the fillers) and com_res_type (set_lib_res_type_tab_); empties
// the dictionary rows (init_cnt_); and the tokeniser's comcif_info,
// comfread_info.
void get_llist_(int32_t mdoc, int32_t& ierr);

// Rebuilds the residue-class lists of com_res_type from the groups of the
// listed monomers and derivatives, and notes whether a monomer takes the
// cut water name.  ierr is always 0.  Writes com_res_type, com_water_name.
void set_lib_res_type_tab_(int32_t mdoc, int32_t& ierr);
