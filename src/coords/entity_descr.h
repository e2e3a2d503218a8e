// The entity description of the model: chains with the same residues,
// connections and termini form one entity, all water chains one water
// entity, non-polymer chains are grouped by residue name.  Fills
// cif_entity_list, cif_ent_poly_seq, cif_ent_link and cif_asym_part.
#pragma once

#include <cstdint>
#include <string_view>

// list: a first character 'T' writes the debug listing on standard output.
// ierr 0, or 1 after " ERROR: N-residues = 0" or a wrong chain tree.
// Writes the entity tables, cif_asym_part, resid_inf, asym_part, link_inf.
void creat_ent_descr_(int32_t mdoc, std::string_view list, int32_t& ierr);
// iflag 1 when chains ig1 and ig2 are one entity.
// Writes resid_inf, link_inf.
void compare_entity_(int32_t mdoc, int32_t ig1, int32_t ig2, int32_t& iflag, int32_t& ierr);
// Link flags of chain ig1 copied to the matching links of chain ig2.
// Writes resid_inf, link_inf.
void copy_used_flag_(int32_t mdoc, int32_t ig1, int32_t ig2, int32_t& ierr);
