// Atom-name, sugar and peptide corrections of the PDB reader: the name and
// element of every atom line, the anomer and configuration of pyranoses, and
// L-peptides with D geometry.  Also the residue class as the reader takes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/fixed_text.h"

// Normalises a PDB atom name (4 characters, PDB column layout) and residue
// name (changed in place, any width), gives the element symbol and the atom
// class: "C" ordinary, "H" hydrogen, "$" heavy or unknown element.
void corr_name_pdb_(rt::FixedText<4>& aname, rt::TextRef rname, rt::FixedText<4>& asymb,
                    rt::FixedText<4>& ctype);

// Records the proper name of every FUC, MAN, GAL, NAG, GLC, GCU residue as a
// "RENAME" modification, from two chiral volumes.
void corr_sugar_pdb_(int32_t mdoc, char list, int32_t& ierr);

// Renames L-peptide residues whose CA centre has D geometry ("-D" suffix).
void corr_peptide_pdb_(int32_t mdoc, int32_t& ierr);

namespace pdb {
// Residue class of a residue name: the built-in lists first, the run-time
// table when they answer "other", and for a force-field name (HID, CYX ...)
// that of the residue it stands for.
int32_t residue_class(std::string_view rname);
// True for a class of a polymer residue: a peptide (3, 4), a nucleotide
// (5, 6) or a polymer monomer (10).
bool is_polymer_class(int32_t cls);
// True for a name of foundation::kPdbWater.
bool is_water(std::string_view rname);
// True for a water under any name files give it: those of is_water, of
// foundation::is_water_name and of foundation::is_cut_water_name.
bool is_any_water(std::string_view rname);
// The reader's chain counter rises at an atom line (the first atom aside):
// at a HETATM residue (a water only after another residue name or another
// chain), at an ATOM line after a HETATM line, and at the first water of a
// chain.  `residue_differs`: residue number or insertion code other than
// the line before; `same_name`: the same residue name.
bool counter_rises(bool hetatm, bool prev_hetatm, bool residue_differs, bool same_name, bool water,
                   bool prev_water, bool chain_differs);
// A new residue of the same chain key starts a new chain when its class
// does not continue the one before: peptides and polymer caps continue each
// other, nucleotides continue nucleotides, waters waters; a peptide or cap
// after the chain's OXT (`oxt_prev`) does not continue it.
bool class_ends_chain(int32_t cls, int32_t cls_old, bool oxt_prev);
// The element and class of an atom whose line gives no element column, from
// its name as written in columns 13-16 (`name`) and its corrected residue
// name; `asymb` and `ctype` hold those of corr_name_pdb_ and are changed
// only where the name reads otherwise.
void element_from_name(const rt::FixedText<4>& name, std::string_view rname,
                       rt::FixedText<4>& asymb, rt::FixedText<4>& ctype);
// The element of an atom whose file gives none, from its name written
// left-justified (as mmCIF files write every name, and some programs every
// PDB name) and its residue name: one or two upper-case letters, or the
// first character of a name that begins with no letter.
rt::FixedText<4> element_of_left_name(std::string_view name, std::string_view rname);
// Simulation programs number waters past 9999, on into a fifth column or
// from 0 or 1 again.  True when a water, after a water of the same chain,
// goes past 9999 (`high`, the ten-thousands of its number, differs from the
// one before) or restarts after 9999 (`low`, its last four digits).
bool water_number_wraps(long long prev_high, int32_t prev_low, long long high, int32_t low);
// One warning for each way of numbering waters past 9999, the first time it
// is met (`high`, the part of a number that its four columns cannot hold:
// above 0 for a number past 9999, below 0 for one below -999; `restart`: a
// restart after 9999); the flags record that it was given (`wide_warned`
// one bit for each sign).
void warn_water_numbers(int32_t mdoc, long long high, bool restart, int32_t& wide_warned,
                        int32_t& restart_warned);
// True for the name of a massless site of a 4- or 5-site water model, as
// the name stands in the file (blanks around it aside): M, MW, M1 and M2,
// EP and LP alone or numbered 1 or 2, OPC's EPW, and SWM4-NDP's OM and its
// Drude site DOH2.
bool is_water_site(std::string_view name);
// True for a massless site of a water: one of the names above, or a site
// whose element is EP, whatever its name (`element` as the file gives it,
// blank or empty where it gives none; case and a charge after it aside).
bool is_massless_water_site(std::string_view name, std::string_view element);
// A water is its O and its hydrogens: any other site that is no massless
// site is never renamed onto one of them.  Empty when the element of site
// `name` of a water is O, H or D (`element` as the file gives it without its
// charge, or where it gives none, the one the name gives read
// left-justified); otherwise the reason that refuses the file, naming the
// site and its element.
std::string foreign_water_site(std::string_view name, std::string_view element);
// A site of a water as the file gives it.
struct WaterSite {
  std::string_view name;     // as written (blanks around it aside)
  std::string_view element;  // as written; blank, empty, "*", "?" or "." give none
  std::string_view read_as;  // the name the name correction gives it
  char alt;                  // alternate location; blank or '.' for none
  const float* xyz;          // three coordinates
};
enum class WaterSiteFate { kKept, kLeftOut, kRefused };
// The sites of the water being read, one water at a time, so that no site
// is read under a name that another site of its water holds.  A site named
// D1 or D2 of element D or none, beside sites H1 and H2 of its water and on
// neither of its hydrogens, is a fifth site whose element the writer lost
// or guessed from its name (TIP5P's): left out, as a massless site is.  A
// heavy water's D1 and D2, with no H1 and H2 beside them, are its hydrogens.
// Any other site read under the name of another site of its water, where
// the two are written apart, refuses the file naming the site renamed
// (whichever of the two comes first); the same name written twice is left
// to the reader's check of duplicated names.
class WaterInRead {
 public:
  void clear();
  // `key` tells the site's residue from the residue of the site before.
  // The reason of a refusal goes to `why`.
  WaterSiteFate add(std::string_view key, const WaterSite& site, std::string& why);

 private:
  struct Held {
    std::string name, read_as;
    char alt;
    float xyz[3];
  };
  std::string key_;
  std::vector<Held> sites_;
};
// The waters of a blank chain, one water chain read atom by atom.  With the
// chain letters gone, the waters of every chain of an entry stand in one
// run, and each chain may have numbered its own (393, 394 of one chain,
// 393, 394 of the next).  A water at a number that the run already holds
// and that lies apart from the water holding it (its first atom kCoincide,
// pdb_chains.h, or more from each atom of that water) is another water and
// begins a further water chain; one that lies on it is that water given
// again, and stays in the run to be refused as a number held twice.  The
// mmCIF reading of a file that names no chain keeps its other residues so
// too, where each chain of the entry starts its numbers again.
// A residue number's text (its five columns) with the first and last of
// its pieces, in a table of open addresses: a box of thousands of waters
// adds a number at each water, and neither allocates nor frees at each nor
// takes longer to empty than its numbers.
class NumberPieces {
 public:
  struct Entry {
    int32_t first = 0, last = 0;
  };
  // The entry of `number`, added as {at, at} where the table does not
  // hold it (`added`).
  Entry& add(std::string_view number, int32_t at, bool& added);
  const Entry* find(std::string_view number) const;
  bool empty() const { return used_.empty() && long_.empty(); }
  void clear();

 private:
  // A number of up to seven characters as one word, its length and one in
  // the top byte (never 0, which marks a free slot); 0 for a longer one.
  static uint64_t word_of(std::string_view number);
  std::size_t slot_of(uint64_t word) const;
  struct Slot {
    uint64_t word = 0;
    Entry entry;
  };
  std::vector<Slot> slots_;     // a power of two of them, at most half used
  std::vector<uint32_t> used_;  // the slots used, to empty them
  int shift_ = 64;              // 64 less the power
  // Numbers longer than a word, which no reader's five columns give.
  std::unordered_map<std::string, Entry> long_;
};

class BlankChainNumbers {
 public:
  void clear();
  // For the first atom of a residue (`number`: its five columns of number
  // and insertion code; `xyz`: its position) that continues the run: true
  // when it begins a further water chain.
  bool begins_further_chain(std::string_view number, const float* xyz) const;
  // True when the run holds `number` at an atom within kCoincide of `xyz`.
  bool lies_on(std::string_view number, const float* xyz) const;
  // For every atom kept, once its chain key is set: `in_run` when it is a
  // water of a blank chain, `key` its chain key (the run ends where the key
  // changes).
  void note(bool in_run, std::string_view key, std::string_view number, const float* xyz) {
    // Most atoms stand in no such run: the table is emptied once, not at each.
    if (in_run || !held_.empty() || !key_.empty()) note_run(in_run, key, number, xyz);
  }

 private:
  void note_run(bool in_run, std::string_view key, std::string_view number, const float* xyz);
  // 0 where the run does not hold `number`, 1 where `xyz` lies on an atom
  // of it, -1 where apart from them.
  int place(std::string_view number, const float* xyz) const;
  std::string key_;
  // The positions of the run's atoms as noted (x, y and z in turn), in
  // pieces of one number each: the atoms [begin, end) and the number's next
  // piece (-1: none).
  struct Piece {
    int32_t begin, end, next;
  };
  std::vector<float> xyz_;
  std::vector<Piece> pieces_;
  // The first and last piece of each number held, and the number of the
  // last piece.
  NumberPieces held_;
  std::string last_number_;
};
// The polymer residues of one piece of a blank chain, at the boundary
// between two of them.  With the chain letters gone (GROMACS frames, Open
// Babel's mmCIF), an entry's chains stand one after the other in one blank
// chain, each numbered from its own first residue.  A residue numbered
// below the residue before it, with no chain bond between them (that
// residue's C to its N, or O3' to its P, within 2.1 A), begins a further
// chain: its numbers start again, so it keeps its own first residues and
// no chain's numbers run down.  Bonded, it is one chain renumbered, and
// stays.  The bond is judged at the residue's N or P wherever it stands
// among the residue's atoms (the readers look ahead for it where the
// residue begins with its hydrogens); a residue that has none (a CA-only
// trace) is bonded to none.
class BlankChainRestarts {
 public:
  // The piece ends (a chain key or a residue of another kind came between).
  void clear();
  // For the first atom of a residue of the piece (`number`: its columns of
  // number and insertion code; `name`, `xyz`: that atom, or the residue's N
  // or P found further on), before atom(): true when the residue begins a
  // further chain.
  bool begins_chain(std::string_view number, std::string_view name, const float* xyz) const;
  // Whether the atom (`name`, `xyz`: a residue's N or P) is chain-bonded to
  // the residue before, whatever the numbers.
  bool bonded(std::string_view name, const float* xyz) const;
  // The residue before holds a C or an O3' that a chain bond would start from.
  bool may_bond() const { return !up_.empty(); }
  // For every atom of the piece; `first`: the first of its residue.
  void atom(bool first, std::string_view number, std::string_view name, const float* xyz);

 private:
  struct UpAtom {
    bool o3 = false;  // O3' (else C)
    float xyz[3];
  };
  bool any_ = false;
  bool numbered_ = false;  // the residue before has a number
  int32_t number_ = 0;
  // The C and O3' of the residue before (of the residue being read, once
  // its first atom is in).
  std::vector<UpAtom> up_;
};

// The atoms of the residue being read, to tell a residue given again right
// after itself, at its number and under its name, from more of its atoms:
// files without chain letters give the ligands of two chains, each at its
// own number, one after the other, and some writers every water at one
// number.  An atom whose name and alternate code the residue already holds,
// and that lies further than a bond from each of its atoms, begins the
// residue again: a residue holds a name once and its atoms are bonded to
// one another, while an atom written twice lies on itself.
class ResidueAgain {
 public:
  void clear();
  // For an atom whose residue columns and name are those of the atom before.
  bool begins_again(std::string_view name, char alt, bool hydrogen, const float* xyz) const {
    return begins_again(name_of(name), alt, hydrogen, xyz);
  }
  // For every atom kept; `first`: the first of its residue.
  void atom(bool first, std::string_view name, char alt, bool hydrogen, const float* xyz) {
    atom(first, name_of(name), alt, hydrogen, xyz);
  }
  // The same, for a name already made a word by name_of: the reader asks
  // both of every atom.
  bool begins_again(uint32_t name, char alt, bool hydrogen, const float* xyz) const;
  void atom(bool first, uint32_t name, char alt, bool hydrogen, const float* xyz);
  // The residue holds an atom of the name and alternate code; one of them
  // lies within a bond of `xyz`.
  bool holds(std::string_view name, char alt) const;
  bool near_namesake(std::string_view name, char alt, const float* xyz) const;
  // An atom named as the atom right before it, in a residue of more names
  // than that one, is that atom's conformer, wherever it lies: Open Babel
  // drops the alternate codes and writes a residue's conformers atom by
  // atom (N, N, CA, CA, ...).  At the residue's first name the next atom of
  // the residue tells (`next_named_otherwise`, asked only then): ZN, ZN at
  // one number, or a water's O, O, are residues given again.
  // `name` as name_of makes it a word.
  template <class F>
  bool conformer(uint32_t name, char alt, F next_named_otherwise) const {
    if (atoms_.empty() || !atoms_.back().namesake(name, alt)) return false;
    return other_names_ || next_named_otherwise();
  }
  // The copy of the residue read so far (from the first atom whose name
  // and alternate code the residue held before it): its atoms within a
  // bond of their namesake before the copy, and the others.
  int32_t copy_on() const { return copy_on_; }
  int32_t copy_apart() const { return copy_apart_; }
  int32_t size() const { return static_cast<int32_t>(atoms_.size()); }
  // The name's four characters without the blanks around them, as one word.
  static uint32_t name_of(std::string_view name);

 private:
  struct Held {
    uint32_t name;  // the name's four characters, blank-padded, as one word
    char alt;
    bool hydrogen;
    float xyz[3];
    // Of the name (as name_of gives it) and alternate code, a blank one
    // matching the other blank spellings.
    bool namesake(uint32_t n, char a) const;
  };
  std::vector<Held> atoms_;
  // A bit for each name held (names_bit), so that an atom of a name the
  // residue does not hold, nearly every atom, is told so without a search.
  uint64_t names_ = 0;
  bool other_names_ = false;  // the residue holds two names or more
  int32_t copy_from_ = -1;    // the first atom of the copy; -1: none yet
  int32_t copy_on_ = 0, copy_apart_ = 0;
};

// Four columns hold a water's number from -999 to 9999: the tables of
// numbers held are indexed from -999.
constexpr int32_t kWaterNumberLow = 999;
constexpr std::size_t kWaterNumberSpan = 9999 + kWaterNumberLow + 1;

// Every number that a water holds further on in the file, in any chain, so
// that a water read at a number of its own takes none that the file still
// gives (GROMACS writes the waters past 9999 by their first four digits,
// ten at each number, and a later number read anew would hold it twice).
// Filled once, at the first water read anew, by one look at the rest of
// the file; numbers already passed are kept too, which only skips more.
class LaterWaterNumbers {
 public:
  void clear() {
    filled_ = false;
    held_.clear();
  }
  bool filled() const { return filled_; }
  void fill_start() {
    filled_ = true;
    held_.assign(kWaterNumberSpan, 0);
  }
  // A number the file gives a water; past 9999 its last four digits and
  // below -999 its sign and last three, as the water is read at.
  void add(long long number) {
    if (number > 9999) number %= 10000;
    if (number < -999) number = -(-number % 1000);
    held_[static_cast<std::size_t>(number + kWaterNumberLow)] = 1;
  }
  bool holds(int32_t number) const {
    return filled_ && number >= -kWaterNumberLow && number <= 9999 &&
           held_[static_cast<std::size_t>(number + kWaterNumberLow)] != 0;
  }

 private:
  bool filled_ = false;
  std::vector<unsigned char> held_;
};

// The waters of one water chain given again right after themselves at one
// number, lying apart (ResidueAgain), as Open Babel writes every water at
// 0: each is another water of that chain, read at a number of its own, one
// past the highest its chain holds, so that the chain holds each number
// once.  A water chain holds four columns of numbers: where none is left,
// the chain reads the water and every water after it at the next number
// past its highest in the order the file gives them, and past 9999 a
// further water chain does so from 1 (a writer that sorts the waters by
// number gives each number's copies together and every number a later
// copy could take comes again later: a further chain at each copy would
// fill the chain table, and one begun at the first copy would leave the
// waters before it a chain of their own).
class WaterNumbersAgain {
 public:
  void clear();
  // For every atom kept, once its number is set (`number`, the four
  // columns it is read at): `water`, and `same_chain` when it stands in the
  // chain of the atom before.
  void note(bool water, bool same_chain, std::string_view number);
  // For an atom given again or the atoms after it, `number` the four
  // columns the file gives: true where it is read at another number,
  // written into `number` (a water given again, `again`, and the rest of
  // its atoms, which the file gives at the number it was given again at,
  // whatever records stand between them; in a chain that reads its waters
  // in order, every water).  The number is the first past the chain's
  // highest that no water holds later (`later`), or where none is left the
  // lowest from 0 that neither the chain nor a later water holds, or where
  // none is left either the next past the highest, the chain then reading
  // every water in order, and past 9999 the first of a further water chain
  // (begins_further).
  bool read_anew(bool again, char* number, const LaterWaterNumbers& later);
  // The last read_anew put its water at the start of a further water
  // chain: the caller begins the chain there.
  bool begins_further() const { return further_; }
  // The number the last water read anew is read at.
  int32_t read_number() const { return read_n_; }
  // The warning, the first time a water is read at another number.
  void warn(int32_t mdoc, std::string_view rname, std::string_view given, std::string_view read);

 private:
  // The water is read at `n`; the file gives it `number`, or where
  // `keep_given` the number of the water read anew before it.
  void take(char* number, bool keep_given, int32_t n);

  int32_t top_ = 0;       // the highest number of the water chain
  int32_t last_ = 0;      // the number the file gives the water before
  bool any_ = false;      // a water chain is being read
  char given_[4] = {};    // the number the file gives the water read anew
  char read_[4] = {};     // and the number it is read at
  int32_t given_n_ = 0;
  int32_t read_n_ = 0;
  bool anew_ = false;     // the water being read is read anew
  bool in_order_ = false; // the water chain reads every water in order
  bool further_ = false;  // the water read anew begins a further chain
  bool warned_ = false;
  // The numbers the water chain holds (a flag for each of -999 to 9999,
  // and the list of those set, to clear them at the next water chain), and
  // the lowest number from 0 that may still be free.
  std::vector<unsigned char> held_;
  std::vector<int32_t> held_list_;
  int32_t low_ = 0;
};

// The warning on waters of a blank chain numbered again, the first time;
// `warned` records that it was given.
void warn_water_numbers_again(int32_t mdoc, int32_t& warned);
// One warning counting the water sites left out of a read, when there
// were any.
void warn_water_sites(int32_t mdoc, int32_t n);
// The error lines of a full modification table, and the end of the run.
[[noreturn]] void modification_table_full(int32_t mdoc);
}  // namespace pdb
