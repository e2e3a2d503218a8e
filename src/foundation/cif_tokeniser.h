// The CIF line tokeniser: turns a CIF file into a sequence of records, each
// a block announcement or one item set (a scalar item with its value, the
// item-value pairs of one category that follow each other outside a loop,
// or one row of a loop).  Two independent instances exist so that a second file can
// be read while the first is open: instance 1 (getcif_info_, comcif_info)
// for coordinates and libraries, instance 2 (getcif_c_, comcif_c) for
// structure-description and restraint files.  Lines come from the line
// reader (foundation/line_reader.h).
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/words.h"
#include "runtime/array.h"
#include "runtime/fixed_text.h"

inline constexpr int MAXCIFVAL = 60;   // item names and values a record holds
inline constexpr int CIFLINELEN = 256; // characters kept of a CIF line

// Filled by the tokeniser (foundation); read by the mmCIF readers (coords) and output.
// The current record of one tokeniser instance.  Value k pairs with item
// name k, k = 1..n_cif; the item names stay across the rows of a loop.
// Readers only read the value and word slots: the tokeniser keeps track of
// how far each slot was filled, to blank no more than needed.
struct comcif_rec {
  int32_t n_cif;   // values in the record (0 announces a block)
  int32_t i_cif;   // words of the current line already used
  rt::Array1<float, MAXCIFVAL> fdt_cif;
  rt::Array1<int32_t, MAXCIFVAL> idt_cif;
  int32_t n_data;  // values collected so far for the current item set
  int32_t n_item;  // item names of the current item set
  rt::Array1<rt::FixedText<80>, MAXCIFVAL> dt_cif;   // slot 60 also takes a comment line
  rt::Array1<rt::FixedText<80>, MAXCIFVAL> itm_cif;
  rt::FixedText<80> blk_cif;   // "data_..." or "global_" of the current block
  rt::FixedText<1> loop_flag;  // "Y" from "loop_" to the first value of the loop
  rt::FixedText<1> blk_flag;   // "Y" once a block word has been met
};
extern comcif_rec comcif_info;
extern comcif_rec comcif_c;

// Filled by the tokeniser's splitters (foundation); read by the tokeniser.
// The CIF splitters' work area also records, per word, whether the word was
// opened by a quote (a text field comes to the splitter quoted too):
// such a word is always a value, even when it reads like an item name or a
// block word.
struct comfread_cif_t : comfread_rec<CIFLINELEN> {
  rt::Array1<char, MAXFRDWORD> qwrd;  // 'Y' quoted, 'N' bare
  int32_t open_quote;  // 1-based word that a quote opened and the line ended inside; 0 none
  // Bit w-1: word w is longer than its slot, its first character at
  // long_start(w) (0-based) in the line.
  uint64_t long_words;
  rt::Array1<int32_t, MAXFRDWORD> long_start;
};
extern comfread_cif_t comfread_info;
extern comfread_cif_t comfread_c;

// Next record of instance 1 / 2.  iend in: -1 resets the instance, -2 keeps
// the loop state (instance 1 also drops the rest of the current line), any
// other value goes on.  iend out: 0 record ready, 1 end of file, -2 a comment
// line (in dt_cif(60)).  ierr 1 after a read error, or after a quoted
// value that its line ends inside (reported with the line's number; a line
// cut to the record's room is not held against the file).
// Writes comcif_info, comfread_info.
void getcif_info_(int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend);
// Writes comcif_c, comfread_c.
void getcif_c_(int32_t unit, int32_t mdoc, int32_t& ierr, int32_t& iend);
// A count that instance 1 raises whenever it stores an item name or is
// reset: while it stays the same, itm_cif of comcif_info holds the same
// names, so a reader may keep what it worked out from them (the rows of a
// loop come back with unchanged names).
uint32_t cif_names_serial_info();
// Where the values of the last record of instance 1 stand in the file
// (lines counted from the start of the file, a text field counting all its
// lines): what a reader needs to name a row, and to tell whether the rows
// of a loop keep to whole lines.  Kept with a dropped set as well.
struct CifRecordPlace {
  int32_t line = 0;           // line of the record's first value
  int32_t line_end = 0;       // line of its last value so far
  int32_t values_before = 0;  // its values on the lines before line_end
  int32_t words_end = 0;      // words of the line of its last value
  bool starts_line = false;   // its first value is the first word of its line
  bool ends_line = false;     // complete, its last value the last word of its line
};
// The last item set that instance 1 dropped because a new block, loop or
// item name came before all its values: the record as it stood (n_cif the
// values it had, n_item the names it needed), and a count raised at every
// such drop.
struct CifDroppedSet {
  uint32_t count;
  comcif_rec set;
  CifRecordPlace place;
};
const CifDroppedSet& cif_dropped_set_info();
// The place of the record that the last call of instance 1 returned or is
// collecting.
const CifRecordPlace& cif_record_place_info();
// The whole text of value k of the last record of instance 1 when its slot
// does not hold it: a value longer than the slot (taken from the whole
// line, also where the line was longer than the record's room), or a text
// field, whose lines come joined by one blank each with their apostrophes
// kept (the slot holds the first line, its apostrophes made double quotes).
// Empty when the slot holds the value as it stands.
std::string_view cif_value_whole_info(int32_t k);
// The error line of the last syntax error that instance 1 refused (an
// unterminated quote), empty when the last call met none: a reader that
// silences the tokeniser's messages names the fault from here.
std::string_view cif_syntax_error_info();
// Asks the next reset of instance 1 to refuse an item name given twice in
// one data block (in two sets, a set and a loop, or one set) as a syntax
// error naming the item and both lines: of the two values a reader would
// keep one, or merge two rows.  The reset after that one ends the watch.
void cif_refuse_repeated_items_info();
// True when the syntax error of the last call of instance 1 was a name
// given twice: the file is damaged, not merely unreadable.
bool cif_repeated_item_info();
// Passes over the rest of the loop whose row instance 1 returned last, for
// a reader that wants nothing of its rows: lines of bare values are counted
// as values, not taken apart.  The first line that may hold anything else
// (a name, a block, a text field, a quote, a comment, more words or
// characters than a record takes) is left for the next getcif_info_, which
// takes it apart as ever, the values passed over counted in its row; so is
// the end of the file.  After a record that is no loop row nothing is read.
// ierr 1 after a read error.
// Writes comcif_info, comfread_info.
void cif_pass_over_rows_info(int32_t unit, int32_t mdoc, int32_t& ierr);
// Split the line of comfread_info / comfread_c into CIF words.
// Writes comfread_info.
void frd_parm_info_();
// Writes comfread_c.
void frd_parmc_();
