// The library index: one entry a monomer (heavy-atom count, element content
// and two key texts) read into the index members of the dictionary, and the
// candidate pool of the graph search, read from the second index file.
#pragma once

#include <cstdint>

#include "runtime/array.h"

inline constexpr int maxmpool = 1600000;  // 16-bit words of the pool
inline constexpr int maxmponter = 3500;   // records of the pool, with the query slot

// The candidate pool: filled by the index reader (dictionary room), read by
// the graph search of residue identification, which writes its query record
// behind the library records.
struct com_match_pool_t {
  int32_t mem_tot;     // pool words used by the library records
  int32_t match_nmon;  // library records in the pool
  rt::Array1<int32_t, maxmponter> match_pointer;  // first word of each record
  rt::Array1<int16_t, maxmpool> match_pool;       // the records, back to back
};
extern com_match_pool_t com_match_pool;

// Reads both index files when an index is named in libcom (lin_file).
// Writes r_scratch lmx_ entries, com_match_pool and crdinf cro_iun.
void get_index_(int32_t mdoc, int32_t& ierr);
// Reads the pool from the open unit iun; form "U" unformatted, else
// formatted.  Writes com_match_pool.
void lib_read_index2_(int32_t mdoc, int32_t iun, char form, int32_t& ierr);
