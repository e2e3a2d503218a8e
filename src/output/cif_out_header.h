// Opening an output mmCIF coordinate file and writing everything ahead of
// the first _atom_site row: header items, entities, the entity loops, cell,
// fractionalisation matrix, symmetry operators as text, chains, the
// connection and modification loops and the _atom_site loop header.
// Writes crdinf.cro_iun, and crst_pdb.cs_cd_pdb ("-") and cs_name_pdb ("?")
// when they are blank.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// iun out: the unit opened.  ierr 0 the unit is open for the rows; 1 an
// unusable name or a failed open (nothing written); 2 the link loop failed;
// 3 an entity loop or the modification loop failed; 4 a line failed.  On
// 2 to 4 the unit is closed.
void owcrd_cif_(int32_t mdoc, int32_t& iun, std::string_view path, std::string_view nameo,
                std::string_view ext, int32_t& ierr);

// The text of symmetry operator i of crst_crd, such as "-X,1/2+Y,-Z,":
// translations as the fractions 1/2, 1/4, 1/3, 3/4, 1/6, 2/3, 5/6 (others
// left out), rotation terms as signs, multipliers and letters, each row
// closed by a comma.
std::string symop_text(int32_t i);
