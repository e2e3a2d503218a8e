// The dictionary-preparation pipeline: one call takes a coordinate file and
// the monomer library to identified residues, links and modifications,
// restraints with rebuilt atoms, the restraint, structure and coordinate
// files, and a new library holding what the run added.
#pragma once

#include <cstdint>
#include <string_view>

// One complete run.  The one-character option flags are normalised in place
// (lower case accepted; see the table in tessran.cpp); dmin_spec of
// (nearly) zero becomes 0.5.  new_ is "Y" when a new library was written;
// fstop "Y" when that library holds a user monomer, a new monomer or a new
// link.  ierr is the first failing stage's status, else the restraint
// stage's status.  mdoc at 997 or beyond starts the run as a program of its
// own (the start-up may change it).
// Writes every table of the structure model and the dictionary through its
// stages, and crdinf.cr_segflag.
void tessran_(int32_t& mdoc, std::string_view in_coord_file, std::string_view out_file_cif,
              std::string_view file_lib2, float cutoff, float& dmin_spec, char& conn_flag, char& cis_flag,
              char& lnk_flag, char& chain_flag, char& pept_flag, char& check_spec, char& h_flag, char& rflag,
              char& form, char& symm_flag, char& ss_flag, char& sugar_flag, char& list, char& check, char& coor,
              char& srch, char& seg_flag, std::string_view prog_lib_path, std::string_view libs_path,
              std::string_view libs_name, std::string_view libs_ext, std::string_view prog_name,
              int32_t nospgr_input, const float* cell_input, std::string_view lib_out, char& new_, char& fstop,
              int32_t& ierr);
