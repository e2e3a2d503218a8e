// The children of every atom of a resolved L1 tree ordered for walking
// (hydrogens first, then shorter branches, the main-chain branch last) and
// the atoms numbered in depth-first walking order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Called by set_num_ once the tree is resolved.  l1a_lencon(k, i) receives
// the number of atoms of the branch in slot k.  ierr 1 (with warnings) when
// a branching atom other than the last names no child as its forward atom,
// more than 10 branch points are pending, or the tree is damaged; the
// numbering then stays as it was.  Atoms the walk does not reach (detached
// hydrogens) are numbered after it in index order.  Writes r_scratch
// l1a_conn, l1a_lencon, l1a_inew, l1a_iold.
void connect_(int32_t mdoc, std::string_view mon, std::string_view pnum, int32_t& ierr);

namespace dictionary {

// " WARNING : " + mon + (a blank and pnum when pnum begins with a non-blank)
// + text: the form of every tree warning.
std::string tree_warning(std::string_view mon, std::string_view pnum, std::string_view text);

}  // namespace dictionary
