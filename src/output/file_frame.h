// The frame in which the coordinate writers put the atoms: the one that the
// written fractionalisation (SCALE records, or the mmCIF matrix and vector)
// defines together with the written cell.
#pragma once

namespace output {

// Made once per file (or per row) from crst_pdb and crst_crd.  A frame that
// is the standard one of the cell gives the stored coordinates unchanged,
// as the readers keep them; any other frame is reached through fractional
// coordinates in double precision.
class FileFrame {
 public:
  // False when the scale matrix is singular: no coordinates in that frame.
  bool set();
  // Orthogonal coordinates of the working frame to the file's frame.
  void place(const float* xyz, float out[3]) const;

 private:
  bool kept_ = true;
  double to_frac_[3][3] = {};
  double from_frac_[3][3] = {};  // inverse of the scale matrix
  double shift_[3] = {};
};

}  // namespace output
