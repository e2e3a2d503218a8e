// Loading space groups from the symmetry data file (by number, suite number,
// name, suite name or operator list), space-group name matching, and the
// operator helpers that compare operator lists.
#pragma once

#include <cstdint>
#include <string>

#include "suite/ptq7_spg.h"

// Capacities of one block of the symmetry data file.  A block that exceeds
// them is refused with a message rather than overrunning the loader's store.
inline constexpr int SYMINFO_MAX_SYMOP = 192;
inline constexpr int SYMINFO_MAX_CENOP = 4;

// Exactly one key is used, the first given in this order: number (non-zero),
// ptq7_number (non-zero), name, ptq7_name (non-null), nops with ops.
SpacegroupPtr ptq7spg_load_spacegroup(int number, int ptq7_number, const char* name,
                                      const char* ptq7_name, int nops, const Symop* ops);
SpacegroupPtr ptq7spg_load_by_standard_num(int number);
SpacegroupPtr ptq7spg_load_by_ptq7_num(int ptq7_number);
SpacegroupPtr ptq7spg_load_by_spgname(const char* name);
SpacegroupPtr ptq7spg_load_by_ptq7_spgname(const char* ptq7_name);
SpacegroupPtr ptq7_spgrp_reverse_lookup(int nops, const Symop* ops);
void ptq7spg_free(SpacegroupPtr& sg);

const char* ptq7spg_symbol_Hall(const Spacegroup* sg);

namespace suite {

// What the symmetry data file at `path` is as a whole, before any group is
// asked for: a loader that finds no group in a damaged file says only that
// the group is missing, and one that meets a group it cannot take passes it
// over or keeps the operators it could read.  The file is indexed as a load
// indexes it, so the loads that follow do not read it again.
enum class SymmetryLibrary { kSound, kUnreadable, kEmpty, kNoGroup, kCutInGroup, kUnusableGroup };
// For kUnusableGroup, `which` (when given) names the first such group and
// what is wrong with it.
SymmetryLibrary symmetry_library_state(const char* path, std::string* which = nullptr);

// Why the symmetry data file the loader reads (SYMINFO, else under PTQ7)
// cannot serve a run, as the rest of a sentence that begins "the symmetry
// library ", the file named; empty when it can.
std::string symmetry_library_fault();

}  // namespace suite

// Name helpers (1 equal, 0 not).
int ptq7spg_name_equal_to_lib(const char* library_name, const char* user_name);
int ptq7spg_name_equal(const char* a, const char* b);
int ptq7spg_pgname_equal(const char* a, const char* b);
// ':R' becomes two blanks; else ':H' becomes two blanks and the first 'R' an 'H'.
char* ptq7spg_name_de_colon(char* name);
// 'P 1 21 1' -> 'P21'; out must hold strlen(name) + 1 characters.
char* ptq7spg_to_shortname(char* out, const char* name);

// Operator helpers.
void ptq7spg_norm_trans(Symop& op);
int32_t ptq7_symop_code(const Symop& op);
int ptq7_spgrp_equal(int nops_a, const Symop* ops_a, int nops_b, const Symop* ops_b);
int ptq7_int_compare(const void* a, const void* b);

// The Symop form of a 4x4 product a x b (row-major) and of an inverse.
void ptq7spg_symop_product(Symop& out, const Symop& a, const Symop& b);
void ptq7spg_symop_inverse(Symop& out, const Symop& in);
