// The PDB record reader: opens the file, keeps one line of look-ahead, hands
// header, crystal and bond records to their parsers, and returns to the
// caller for atoms, chain terminators, CONECT and bond records.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// rec in/out: "START " opens the file; on return "ATOM  " (an atom is in
// crdatm), "?" (a dropped hydrogen or water-model site), "TER   ", "CONECT"
// or "USER_L".
// iend non-zero at end of input.  cell_input: six floats.
// Writes crdatm, crdinf, com_rdat, sttcrec.
void getrec_(int32_t mdoc, rt::FixedText<6>& rec, int32_t nospgr_input, const float* cell_input,
             int32_t& ierr, int32_t& iend, char prog_name, rt::FixedText<4>& acode,
             char hflag_remove);

// Decodes one ATOM or HETATM line into crdatm.  Returns 0, or 1 after an
// error line when a numeric field cannot be read.  A water's massless site
// (M, EP, LP ...) is dropped as a removed hydrogen is, and counted; an
// occupancy below 0 is noted (no_occupancy.h).
// Writes crdatm, com_rdat, sttcrec, the first negative occupancy.
int32_t rdatom_(std::string_view line, rt::FixedText<6>& rec, int32_t nospgr_input,
                const float* cell_input, char prog_name, rt::FixedText<4>& acode,
                char hflag_remove);

namespace coords {

// The one-atom record's defaults and the reader's atom state (chain counter,
// previous-atom flags, first-atom and frame flags) as at the opening of a
// file, the header values left alone: for a reader that hands rdatom_ atom
// lines of its own; forgets the first negative occupancy of a read before.
// Writes crdatm, sttcrec, the first negative occupancy.
void pdb_atom_state_open(rt::FixedText<4>& acode);

// An mmCIF row as the PDB form's atom line of it gives it: the line holds
// the coordinates to three decimals, the row holds them as written.
struct CifRowOfLine {
  float xyz[3];    // as the row gives them, in the file's frame
  int32_t serial;  // the row's atom serial
  int32_t line;    // the line of the file on which the row begins
  bool long_name;  // its residue name is longer than columns 18-21 hold
  // A water's author number that columns 23-27 cannot hold (six digits or
  // more, or below -999) stands there as the residue key keeps it; this is
  // the rest, as the fifth digit of a five-digit number gives it: the
  // ten-thousands, or the thousands below 0 with their sign.  0 otherwise.
  int32_t number_high = 0;
};

// The N or P of a residue, found among the residue's later rows by the
// look-ahead of the mmCIF rows (cif_chain_atom_ahead) where the numbers
// drop at the residue: its rows are rows [row, end) of the read, counted
// from 1 (end 0: up to the last row).
struct CifChainAtom {
  int32_t row = 0, end = 0;
  rt::FixedText<4> name;
  float xyz[3];  // as the row gives them, in the file's frame
};

// rdatom_ for the atom line of an mmCIF row: the atom takes the row's own
// coordinates, the water rules judge them as the mmCIF reading entry does,
// and a refusal names the row and its line as the mmCIF refusals do.
// `ahead`: the residue's N or P further on, where the look-ahead found one
// for a row of its residue before it; the chain bond after a drop in
// numbers is judged there, as the PDB road reads ahead for it.
// Writes what rdatom_ writes.
int32_t rdatom_cif_row(std::string_view line, const CifRowOfLine& row, rt::FixedText<6>& rec,
                       rt::FixedText<4>& acode, char hflag_remove,
                       const CifChainAtom* ahead = nullptr);

// The rows after the one rdatom_cif_row is given, in the order it is given
// them, while that order lasts: the residue given again right after itself
// (pdb::ResidueAgain) is judged by the rows of it ahead, as the PDB road
// reads its lines ahead.  `n` 0: none.
void cif_rows_ahead(const std::array<char, 80>* lines, const CifRowOfLine* rows, int32_t n);
// Every line of the mmCIF file being read (none: null) and its runs of
// lines in the order they are read (each a first line and a count), for the
// look at the numbers that the waters after the line being read hold;
// cif_line_read names that line, of the run `run` of that order.
struct CifLineRun {
  int32_t first = 0, count = 0;
};
void cif_lines_of_file(const std::array<char, 80>* lines, const CifLineRun* runs, int32_t n_runs);
void cif_line_read(int32_t run, int32_t line);

// After a read through rdatom_: copies of a chain written residue by
// residue (InterleavedCopies), refused with an error line and 6; else 0.
int32_t interleaved_copies_report(int32_t mdoc);

// A number field of a crystal or ANISOU record that holds no number stops
// the read as one of an atom record does: an error line naming the record,
// its line, the field and its text, then the record.  Returns 1, the
// parser's status for a refused record.
int32_t refuse_record_number(std::string_view record, std::string_view field, std::string_view text,
                             std::string_view line);

}  // namespace coords
