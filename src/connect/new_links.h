// New link descriptions in the link library, for links of the model that no
// library link describes: a name, the two monomers and their modifications,
// a readable detail text and one bond with the observed length.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Finds or makes the description of a bond atom1 (of mon1, residue type
// itype1) - atom2 (of mon2) observed at dist.  A blank or "." link asks for
// the name mon1-mon2; an earlier description with the same name stem and
// detail text is reused (inew 0), else a new one is made (inew 1), its name
// given a mark when the stem is taken, so that no two descriptions share a
// name (a name of 8 characters takes it in place of its last one).  ilink = its index, 0 when the
// library is full (warning given once until a link fits again).  lnew is
// set to 0.  ierr 1 when the bond table is full (the link stays, without a
// bond) or a name does not fit its field.  The new bond carries the esd of a
// library link bond between atoms of the same names, else 0.020 A.
// Writes r_scratch: lll_nlink, lll_ilink and the new link's lll_ columns,
// llb_nbond and the new bond's llb_ columns; com_crt_link flag 1.
void creat_link_(int32_t mdoc, rt::FixedText<8>& link, int32_t& inew, int32_t& lnew, int32_t& ilink,
                 int32_t itype1, int32_t itype2, std::string_view mon1, std::string_view atom1,
                 std::string_view mod1, std::string_view mon2, std::string_view atom2,
                 std::string_view mod2, float dist, int32_t& ierr);

namespace connect {

// Whether library link l is a description that creat_link_ made, in this
// run or in the run whose new library is given back as the user's: its
// detail text names its bond ib, monomer and atom at each end.  A link
// described so stands for a bond the model gives, not for a chemistry the
// library knows.  Writes nothing shared.
bool made_for_model(int32_t l, int32_t ib);

}  // namespace connect
