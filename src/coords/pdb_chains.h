// Chain regrouping after a PDB read (consecutive pieces of one chain key are
// joined when their residue classes fit) and the check that no chain holds
// two residues with the same number and insertion code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/fixed_text.h"

// ierr is always 0; list 'T' writes a trace on standard output.  Joins
// also the chains that bridge_atom_residues marked.
// Writes resid_inf, asym_part, link_inf, mod_inf.
void corr_number_chain_pdb_(int32_t mdoc, char list, int32_t& ierr);
// ierr 6 when a chain holds a residue number twice or more (two error lines
// for each such number, naming how many residues hold it).
void check_num_in_chain_(int32_t mdoc, int32_t& ierr);

namespace coords {

// The two error lines of a number (`number`: the five columns of number and
// insertion code) that `times` residues of `chain` hold.  Said once for all
// of them, so that a log grows with the file, never with the pairs of
// residues.
void report_same_number(int32_t mdoc, std::string_view chain, std::string_view number,
                        int32_t times);

// The numbers found held more than once, by chain and number, each said
// once and in the order first found.
class SameNumbers {
 public:
  // `more` residues besides the first hold `number` of `chain`.
  void add(std::string_view chain, std::string_view number, int32_t more = 1);
  // The error lines of each number; 6 when any, else 0.
  int32_t report(int32_t mdoc) const;

 private:
  struct Held {
    std::string chain, number;
    int32_t times;
  };
  std::vector<Held> held_;
  std::unordered_map<std::string, std::size_t> index_;  // chain and number to held_
};
// Copies of a chain written residue by residue without chain letters, as a
// writer that sorts the residues of a blank chain by number gives two
// copies (ALA 403, ALA 403, PHE 404, PHE 404, ...): each polymer residue
// is given again right after itself lying apart, and the next residue of
// the one copy follows the other copy's.  No chain of the read holds one
// copy, so such a file is refused: a chain read from it would run from one
// copy into the other.  Found where such a residue given again comes one
// residue after another given again at another number.
class InterleavedCopies {
 public:
  void clear() { *this = InterleavedCopies(); }
  // At the first atom of each residue read.  `polymer`: a polymer residue
  // of the blank chain; `again`: it gives the residue before again, lying
  // apart (pdb::ResidueAgain); `number`: its five columns of number and
  // insertion code.
  void residue(bool polymer, bool again, std::string_view rname, std::string_view number) {
    if (!polymer)
      since_again_ = 2;
    else if (!again)
      since_again_ = since_again_ < 2 ? since_again_ + 1 : 2;
    else
      given_again(rname, number);
  }
  // The error line naming the first two residues found so, and 6; nothing
  // and 0 when none was.
  int32_t report(int32_t mdoc) const;

 private:
  void given_again(std::string_view rname, std::string_view number);
  int32_t since_again_ = 2;  // polymer residues read since the last given again
  rt::FixedText<16> again_;  // that residue's name and number
  rt::FixedText<16> first_, second_;  // the first two found; blank when none
};

// The chain named in such a line from a residue key of the mmCIF road,
// where a one-character chain is held doubled: it is named once.
std::string key_chain_name(const rt::FixedText<12>& key);
// After the lines of a full chain table: where the residue that would open
// one chain more (`rname`; `number`, its five columns of number and
// insertion code; `chain`, as the file names it) stands outside a polymer
// and is no water, a line naming it and saying that each such residue is a
// chain of its own; nothing for any other residue.
void explain_chain_limit(int32_t mdoc, std::string_view rname, std::string_view number,
                         std::string_view chain);

// Two atoms closer than this are one atom written twice, never two atoms
// nor a bond: the readers' checks of residues at one number and the link
// search by distance take them so.
inline constexpr float kCoincide = 0.5f;
// Points p and q (x, y and z each) nearer than `bound`.
inline bool nearer(const float* p, const float* q, float bound) {
  float d2 = 0.0f;
  for (int k = 0; k < 3; ++k) {
    const float d = p[k] - q[k];
    d2 += d * d;
  }
  return d2 < bound * bound;
}
// True when one of the `na` points of `a` lies within kCoincide of one of
// the `nb` points of `b` (x, y and z of each point in turn).
bool positions_coincide(const float* a, std::size_t na, const float* b, std::size_t nb);
// True when one of the `na` points of `a` lies nearer than `bound` to one
// of the `nb` points of `b`.
bool positions_within(const float* a, std::size_t na, const float* b, std::size_t nb, float bound);

// The bonds that make a polymer chain are at most 1.3 times their length
// where the link stage accepts them (1.73 and 2.09 A); two residues not
// bonded keep such atoms a contact apart, 2.5 A and more.  No part of a
// residue lies further than this from the rest of it.
inline constexpr float kChainBondReach = 2.1f;

// Two atoms of one name in two residues at one number nearer than this are
// one atom given again (two models written as one), however loosely the
// models agree.  Within one model such namesakes stand in two chains and
// are at least a bond apart, and namesakes are of one element: the
// shortest bond between two atoms of one element in a polymer residue
// (C=C, N=N) is longer than 1.2 A, a disulfide between two chains' residues
// of one number 2.0 A, and hydrogens are never bonded to one another.
inline constexpr float kNamesakesApart = 1.0f;
// True when one of the `na` atoms of `a` (named `a_names`) lies within
// kNamesakesApart of an atom of its name among the `nb` atoms of `b`.
bool namesakes_coincide(const float* a, const rt::FixedText<4>* a_names, std::size_t na,
                        const float* b, const rt::FixedText<4>* b_names, std::size_t nb);

// Two residues that follow one another in the file at one residue number
// and insertion code of an author's chain, but stand in different chains
// of the model.  ierr 6 (the two error lines once for the residues of a
// run at one number, as above) where they are one residue: split by a line
// of another residue name (the first name returns after the second: SER
// 91, SEX 91, SER 91), or written twice under two names (an atom of one
// within 0.5 A of an atom of the other: a microheterogeneity whose
// alternate codes a writer dropped).  Otherwise
// they are two residues (a ligand and its ion, a chain's last residue and a
// terminal group under its number), named in one warning.  Two residues
// that both hold alternate codes are the conformers of one
// microheterogeneity and pass, as do waters.  Runs after the
// chain-identifier pass.
void check_split_numbers(int32_t mdoc, int32_t& ierr);

// Before the chain regrouping of a PDB read: notes each polymer residue of
// a chain with a name (a chain letter, or a segment) whose number and
// insertion code an earlier polymer residue of that chain held, with
// residues of other numbers between them: the chain holds those residues
// twice (two models written one after the other without MODEL records).
// Waters and ligands are not watched.  A blank chain may hold a number once
// for each chain of the entry: a residue of it is noted where an atom lies
// on the atom of its name of an earlier residue of its number
// (namesakes_coincide).
// Reads sttcrec.st_chain_part.
void note_numbers_given_again();
// After the read: the two error lines for each number of the residues
// noted that stand in another chain of the model than the residue that held
// their number first (two residues of one chain are check_num_in_chain_'s);
// 6 when any, else 0.
int32_t numbers_given_again_report(int32_t mdoc);

// The warning of two residues at one number read as two: one line for each
// chain, number and pair of names in a read.  `number`: the five columns of
// number and insertion code.
void warn_two_at_one_number(std::string_view chain, std::string_view number, std::string_view name1,
                            std::string_view name2);
// Forgets the warnings of an earlier read.
void two_at_one_number_start();

// Marks for the regrouping (sttcrec st_chain_bridged) the residues written
// as ATOM that stand between two residues of one chain, each a chain of its
// own by its class alone (a name off the polymer lists), and the rest of the
// chain after them: a polymer residue whose class continues the one before
// them (no OXT between) follows them with nothing but their own chain
// breaks between.  A residue at the number of either neighbour is a residue
// split by a mistyped name and is left apart, to be refused.  Reads
// asym_part, resid_inf and sttcrec st_chain_by_class; runs before
// corr_number_chain_pdb_.
void bridge_atom_residues();

}  // namespace coords
