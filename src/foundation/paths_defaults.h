// Start-up paths, the fixed unit numbers of the code base's files, the option
// words, the defaults of the reader's record buffers and the copy of header
// values from those buffers into the working tables.
#pragma once

#include <cstdint>
#include <string_view>

// Library and program paths and the general file triple of the run.
// Writes crdinf.
void set_path_prog_parm_(std::string_view lib_path, std::string_view prog_name,
                         std::string_view libs_path, std::string_view libs_name,
                         std::string_view libs_ext);
// Presets the unit numbers of crdinf and clears the documentation unit.
// Writes comlib, crdinf.
void set_unit_numbers_();
// Clears the option words of the coordinate code.
// Writes comask, comask2.
void init_defaults_();
// Defaults of the reader's buffers (cell edge 1, "P 1", "?" texts, "." names).
// Writes crdinf, crdatm, crdpdb, crdpdb_2, crdstr.
void init_crd_inf_(int32_t mdoc, int32_t& ierr);
// Copies the header values of the reader's buffers into the working tables.
// Writes crst_crd, crst_pdb, crst_pdb_2.
void copy_cr_cs_();
