// Parsers of the PDB header records HEADER, COMPND, TITLE, KEYWDS, MODEL,
// REMARK, HET and FORMUL.  Each takes one record line and fills the header
// values of the run state (`crdinf`, `crst_pdb`) or the HET rows of
// `pdb_hent`.
#pragma once

#include <string_view>

// Writes crdinf, crst_pdb.
void rdhead_pdb_(std::string_view line);
// Writes crdinf, crst_pdb.
void rdcompnd_(std::string_view line);
// Writes crdinf, crst_pdb.
void rdtitle_pdb_(std::string_view line);
// The KEYWDS text, in place of the classification; `goes_on` where a KEYWDS
// record came before in the file.  Writes crdinf, crst_pdb.
void rdkeywds_(std::string_view line, bool goes_on);
// Writes crdinf, crst_pdb.
void rdmodel_(std::string_view line);
// Writes crdinf, crst_pdb.
void rdremark_(std::string_view line);
// Writes pdb_hent.
void rdhet_(std::string_view line);
// Writes pdb_hent.
void rdformul_(std::string_view line);
