// Chirality signs of ring atoms relative to their ring: the reference
// substituent of each ring atom, the sign of its chiral centre seen through
// previous atom, substituent, next atom, and the translation of two signs
// through a bond shared with a flat fused ring.
#pragma once

#include <cstdint>

namespace builder {

// One five- or six-membered ring as the torsion correction works on it;
// arrays are indexed by ring position 1..nr (entry 0 unused).
struct RingRecord {
  int32_t nr = 0;
  int32_t iflat = 0;
  int32_t iatom[7] = {};
  int32_t ichir[7] = {};
  int32_t iachir[7] = {};
  int32_t iconn[7] = {};
  int32_t iphi[7] = {};
  int32_t nch[7] = {};
  int32_t nphi[7] = {};
  int32_t ibond[7] = {};
};

}  // namespace builder

// Fills nch, iachir, ichir, iconn and the flatness of the ordered ring atoms.
// ierr 2 (a warning) when a ring centre's sign comes out 0.
// Writes no table.
void get_ring_chir_(int32_t mdoc, int32_t iring, builder::RingRecord& r, int32_t& ierr);

// Chiral entry and sign of centre icn seen through ia1, ia2, ia3.
// Writes no table.
void get_chir_sign_(int32_t icn, int32_t ia1, int32_t ia2, int32_t ia3, int32_t& ichir,
                    int32_t& isign);

// Fixes the open hand ("B") of entry ich from a wanted sign.
// Writes r_scratch l1c_flag.
void set_chir_sign_(int32_t ich, int32_t icn, int32_t ia1, int32_t ia2, int32_t ia3, int32_t isign);

// Writes every ring position's sign back into its centre.  Writes r_scratch l1c_flag.
void chir_to_list_(int32_t mdoc, int32_t iring, builder::RingRecord& r, char list, int32_t& ierr);

// Writes no table.
void get_correct_chir_(int32_t ichir1, int32_t ichir2, int32_t ibond, int32_t& ich1, int32_t& ich2);
void set_correct_chir_(int32_t ich1, int32_t ich2, int32_t ibond, int32_t& ichir1, int32_t& ichir2);
