// Copies between work descriptions, so that a caller can keep one monomer or
// residue while it edits or compares another.  The source is never changed;
// the target is overwritten up to the source's counts.  ierr becomes 1 (with
// an error line) when the source holds no atom, and is left as the caller
// set it otherwise.
#pragma once

#include <cstdint>

// L1 into L2.  Writes r_scratch L2 (l2l_, l2a_, l2n_, l2b_, l2g_, l2t_, l2c_, l2p_).
void copyl2_(int32_t mdoc, int32_t& ierr);
// C1 with S1 into C2 with S2.  Writes r_scratch c2_, s2_.
void copyc2_(int32_t mdoc, int32_t& ierr);
// C2 with S2 into C1 with S1.  Writes r_scratch c1_, s1_.
void copyc1_(int32_t mdoc, int32_t& ierr);
