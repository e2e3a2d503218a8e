// State of the PDB reader shared between its record reader, its record
// parsers and its atom loop: the reader record `sttcrec`, the OXT flags
// `com_rdat` and the store of HET/FORMUL rows and bond records `pdb_hent`.
// All three live in static storage and are reset when a PDB file is read.
#pragma once

#include <cstdint>

#include "foundation/atom_com.h"
#include "runtime/array.h"
#include "runtime/fixed_text.h"

// Rows of the bond-record store (SSBOND, CISPEP, LINK, MODRES).  A PDB file
// holds at most 99,999 atoms; the largest entries written in that form give
// a few thousand such records, and a full store stops the run.
inline constexpr int MAXBONDREC = 50000;
// Rows of the HET/FORMUL table.
inline constexpr int MAXHETREC = 50;

// Kinds of bond record.
inline constexpr int BREC_SSBOND = 6;
inline constexpr int BREC_CISPEP = 7;
inline constexpr int BREC_LINK = 8;
inline constexpr int BREC_GAP = 9;
inline constexpr int BREC_MODRES = 10;

// Filled and read by the PDB reader (coords).
struct sttcrec_t {
  int32_t st_iend;            // the look-ahead holds no line
  int32_t st_iend_next;       // end flag of the line in the look-ahead
  int32_t st_chain_count;     // chain counter, cycles 0..9
  int32_t st_ntitle;          // COMPND and TITLE lines seen
  int32_t st_nkeywds;         // KEYWDS lines seen
  int32_t st_occ_warned;      // the occupancy warning was given
  int32_t st_segid_warned;    // the warning on atoms without segment identifier was given
  int32_t st_cell_flag;       // 1 valid CRYST1 cell, -1 wrong cell, 0 none
  int32_t st_spare;           // zeroed at opening, not used
  int32_t st_prev_hetatm;     // the last atom line was HETATM
  int32_t st_scale_flag;      // SCALE records were read
  int32_t st_spgr_flag;       // the space group is known
  int32_t st_first_atom_done; // the first atom line has been read
  int32_t st_iend_read;       // end flag of the last line read
  int32_t st_frame_kept;      // the SCALE records give the cell's standard frame: atoms kept as read
  int32_t st_atom_pending;    // an atom line waits for its ANISOU, SIGATM, SIGUIJ or USER lines
  int32_t st_nline;           // number of the current line in the file (messages name lines by it)
  int32_t st_number_ctrl;     // the current line held a control byte in an atom's number column
  int32_t st_number_ctrl_next;  // ... the line in the look-ahead
  int32_t st_names_left;        // the file writes its one-letter names N, C, O from column 13
  int32_t st_number_high;  // ten-thousands of the last atom line's water number (0 below 10000)
  // The last atom line's water number went past 9999 or restarted after it,
  // or a water of the blank chain gave a number of its run again.
  int32_t st_number_wrap;
  int32_t st_wide_warned;  // the warnings on water numbers past 9999 (1) and below -999 (2) given
  int32_t st_wrap_warned;  // the warning on water numbers that restart after 9999 was given
  int32_t st_again_warned;  // the warning on blank-chain water numbers that repeat was given
  int32_t st_residue_again;  // the last atom line began its residue again under its key
  int32_t st_water_sites;  // massless sites of water models left out of the read
  int32_t st_zero_aniso;   // ANISOU records of six zeros passed over
  int32_t st_atom_lines;   // ATOM and HETATM lines met, kept or not (none: no atoms)
  int32_t st_break_due;    // an atom left out after a TER record: the next atom kept ends the chain
  int32_t st_scale_rows;   // SCALE rows read, a bit each: 1 SCALE1, 2 SCALE2, 4 SCALE3
  int32_t st_model_closed;  // an ENDMDL record came after the model read's atoms
  // Per chain of the atom loop: the chain opened where the water numbers of
  // one chain key went past 9999 or restarted after it, or where a water of
  // the blank chain gave a number of its run again, so the regrouping keeps
  // it apart from the waters before it.
  rt::Array1<int32_t, MAXCHAIN> st_chain_wraps;
  // Who a chain is, beyond its key: columns 21 and 22 and the segment
  // columns of the last atom line (converters write a chain name of two
  // characters in columns 21-22, and a file's segments may part one chain
  // letter, and one segment may hold several chain letters, each numbered
  // from 1), or for an mmCIF row read by the PDB rules the file's own chain
  // of the row (blank where the author's chain is); and, per chain of the
  // atom loop, that of its first atom.
  rt::FixedText<8> st_line_part;
  rt::Array1<rt::FixedText<8>, MAXCHAIN> st_chain_part;
  // Per chain of the atom loop: 1 where the chain was opened only because
  // its residue's class does not continue the chain before it (no
  // terminator, record kind or chain key between them); the TLS groups
  // then take such a residue back into its chain (pdb_chains.h).
  rt::Array1<int32_t, MAXCHAIN> st_chain_by_class;
  // Per chain of the atom loop: 1 where the regrouping joins the chain to
  // the chain before it although their classes do not continue each other.
  rt::Array1<int32_t, MAXCHAIN> st_chain_bridged;
  rt::FixedText<256> st_line_next;
  rt::FixedText<4> st_last_aname;
  rt::FixedText<1> st_last_alt;
  // Segment columns of the last atom line kept: where a blank chain's
  // segment changes, a chain ends.
  rt::FixedText<4> st_last_seg;
  // Columns 7-27 of the last atom line (serial, name, alternate code,
  // residue, chain, number): the ANISOU record after it must repeat them.
  rt::FixedText<21> st_last_atom_id;
};
extern sttcrec_t sttcrec;

// Filled and read by the PDB reader (coords).
struct com_rdat_t {
  rt::FixedText<1> rd_oxt_atom;  // the atom just read is an OXT
  rt::FixedText<1> rd_oxt_prev;  // an OXT was stored since the last new residue
};
extern com_rdat_t com_rdat;

// Filled and read by the PDB reader (coords).
struct pdb_hent_t {
  // HET and FORMUL rows.
  int32_t het_n;
  rt::Array1<rt::FixedText<3>, MAXHETREC> het_id;
  rt::Array1<int32_t, MAXHETREC> het_natom;
  rt::Array1<rt::FixedText<40>, MAXHETREC> het_name;
  rt::Array1<rt::FixedText<40>, MAXHETREC> het_formula;
  // Bond records.  An endpoint text is chain character (1), residue number
  // and insertion code (5), atom name (4), alternate code (1), chain key (4).
  int32_t brec_n;
  rt::Array1<int32_t, MAXBONDREC> brec_kind;
  rt::Array1<int32_t, MAXBONDREC> brec_ia1;
  rt::Array1<int32_t, MAXBONDREC> brec_ia2;
  rt::Array1<float, MAXBONDREC> brec_dist;
  rt::Array1<rt::FixedText<15>, MAXBONDREC> brec_end1;
  rt::Array1<rt::FixedText<15>, MAXBONDREC> brec_end2;
  rt::Array1<rt::FixedText<3>, MAXBONDREC> brec_rnam1;
  rt::Array1<rt::FixedText<3>, MAXBONDREC> brec_rnam2;
  rt::Array1<rt::FixedText<8>, MAXBONDREC> brec_name;
  rt::Array1<rt::FixedText<8>, MAXBONDREC> brec_rnam_mod;  // MODRES: second residue name
  rt::Array1<rt::FixedText<8>, MAXBONDREC> brec_symm1;
  rt::Array1<rt::FixedText<8>, MAXBONDREC> brec_symm2;
};
extern pdb_hent_t pdb_hent;
