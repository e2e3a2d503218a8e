// The restraint tables of the new-monomer report: bonds, angles, torsion
// angles, chiral centres and planes of the L1 work description, three
// restraints to a printed line (two for torsions), as many pages as needed.
#pragma once

#include <cstdint>
#include <string_view>

namespace drawing {

// The page geometry the tables are laid out on, from get_box_tx_ after the
// pictures: box extent and shift of the first picture, page limits.
struct TablePage {
  int32_t ibx, ishx;
  int32_t xmin, xmax, ymin, ymax;
};

// Writes the tables in page mode; `mod` starting "L" chooses the legend of
// the bond table that speaks of values created from coordinates.
void restraint_tables(std::string_view code, std::string_view mod, const TablePage& page);

}  // namespace drawing
