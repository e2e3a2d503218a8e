// The check of a residue's atoms (C1) against its library monomer (L1):
// every library atom gets a counterpart (atoms the model lacks are added as
// missing, to be rebuilt), deleted library atoms and the hydrogens the
// policy drops are marked deleted, atoms the library does not know are
// marked absent, and all atoms get their new order (library order,
// alternates next to their first conformer, absent atoms last) with tree
// links, connections and extra neighbours in S1.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/fixed_text.h"

// mon names the monomer in the messages.  The ipr_ counters hold the
// messages printed so far (at most 20 of each kind, 50 with list 'T', then
// one "... and more ..." line); the na_ counters the missing, absent and
// deleted atoms.  msg 'Y' reports and counts, anything else neither.  ierr:
// the status of the tree numbering, or 1 when no atom takes a place in the
// new order.
// Hydrogens of older names first take the monomer's (older_hydrogen_names).
// Writes r_scratch C1 (atoms appended, c1_aname, c1_atype, c1_asymb, c1_sf_id,
// c1_code1, c1_igatm, c1_igres), S1 and the L1 outputs (l1a_atype, l1a_icr,
// l1a_coor_flag, l1a_x/y/z, l1a_igatm, l1a_inew and the tree numbering of
// set_num_), crst_crd (a scattering row appended).
void chklst_(int32_t mdoc, std::string_view mon, int32_t& ipr_miss, int32_t& ipr_abs,
             int32_t& ipr_del, int32_t& na_miss, int32_t& na_abs, int32_t& na_del, char msg,
             char list, int32_t& ierr);
// Clears the per-atom state of C1/S1 for all slots before a check.
// Writes r_scratch C1 c1_atype, S1.
void initcs_();
// Clears S1 entry ic.
// Writes r_scratch S1.
void initone_(int32_t ic);
// The name as an input file writes it: left-justified; for a one-letter
// element trailing blanks of characters 2-4 become '_', and a four-character
// hydrogen name starts with its last character.
void corr_input_pdb_aname_(std::string_view aname, std::string_view asymb, rt::FixedText<4>& atom);

namespace restraints {

// Atoms of the residues the walk checks that their library monomer does not
// name: a count and the first few, each as "HB1 SER 3 A", for the lines
// that close a run.  The atom check adds them; creat_descr_ clears them at
// its start.
class UnnamedAtoms {
 public:
  static constexpr int kListed = 5;

  void clear();
  void add(std::string_view atom, std::string_view mon, std::string_view pnum,
           std::string_view note = "");
  int32_t count() const { return count_; }
  // The listed atoms separated by ", ", and ", ..." when there are more.
  std::string listed() const;

 private:
  int32_t count_ = 0;
  std::array<std::string, kListed> first_;
};

// Hydrogens the library does not name: kept in the files without
// restraints.
UnnamedAtoms& unnamed_hydrogens();
// The other atoms the library does not name, each with its element: the
// run's unknown atoms.
UnnamedAtoms& unnamed_heavy_atoms();
// Hydrogens of older names that took the library's, each with its new name.
UnnamedAtoms& renamed_hydrogens();

// With the hydrogen flag 'A' the checks that report (msg 'Y') replace the
// model's hydrogens by the monomer's own: the number of the model's
// hydrogens they dropped, counted until the caller sets it back.
int32_t& replaced_hydrogens();

}  // namespace restraints
