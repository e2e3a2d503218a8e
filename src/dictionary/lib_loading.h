// The entry of the monomer library: the library file set, the empty
// dictionary, the loading sequence and the reading dispatcher that reads
// descriptions, links, modifications and energy data on demand.
#pragma once

#include <cstdint>
#include <string_view>

#include "dictionary/lib_com.h"
#include "runtime/array.h"
#include "runtime/fixed_text.h"

using LibNames = rt::Array1<rt::FixedText<256>, MAXLIB>;

// Names the file set, empties the dictionary, reads the lists, the index,
// the energy library and the link and modification descriptions, and builds
// the link connection table.  list 'S' silences the whole loading, 'M' only
// the file set.  Writes libcom, the whole dictionary and com_match_pool;
// libm_name, libm_ext, libe_name, libe_ext, lib_ind and file_lib_out too;
// and com_res_type (the lists), crdinf cro_iun (the index) and the
// tokeniser's comcif_info, comfread_info.
void getlib_(int32_t mmdoc, char list, char nodist, int32_t& numb_lib, std::string_view libm_path,
             std::string_view libe_path, std::string_view libs_path, LibNames& libm_name,
             rt::TextRef libe_name, std::string_view libs_name, rt::TextRef libm_ext,
             rt::TextRef libe_ext, std::string_view libs_ext, std::string_view lib2_name,
             rt::TextRef lib_ind, rt::TextRef file_lib_out, int32_t& ierr);

// The file set and the empty dictionary.  Writes libcom and the dictionary
// lists, counts and pointers.
void initlib_(int32_t mdoc, char nodist, int32_t& numb_lib, std::string_view libm_path,
              std::string_view libe_path, std::string_view libs_path, LibNames& libm_name,
              rt::TextRef libe_name, std::string_view libs_name, rt::TextRef libm_ext,
              rt::TextRef libe_ext, std::string_view libs_ext, std::string_view lib2_name,
              rt::TextRef lib_ind, rt::TextRef file_lib_out, int32_t& ierr);

// Reading dispatcher on the first character of mod: "A" links and
// modifications, marked descriptions and the energy library; "N" links and
// modifications; "M" marked descriptions; "E" the energy library.  Writes,
// through the readers, libcom lb_pass, lmi_iun and lei_iun, and r_scratch: the
// link and modification tables (ldl_ .. ldp_, lll_ .. llp_), the lml_ entries
// with their lm*_ rows, lsf_ rows, L1, L2 and ldl_imod (the tree check of
// each entry read), and the energy tables lea_ .. les_; com_conn_lib,
// sttcpln and the tokeniser's comcif_info, comfread_info.
void read_lib_(int32_t mdoc, std::string_view mod, char nodist, char list, int32_t& ierr);

// ch1 "N": the monomer rows of the dictionary are emptied (counts and start
// pointers); any other non-blank ch1 becomes every entry's fuse flag.
// Writes r_scratch row counts, lml_ pointers or lml_fuse.
void sset_fuse_(char ch1, char ch2);

// The connecting atoms of every link and the ideal length of its bond.
// Writes r_scratch n_stor, atom_stor, iconn_atom_ind, bond_idl.
void init_conn_inf_(int32_t mdoc, int32_t& ierr);
