// Which library monomer a residue stands for, by its name alone, and which
// library name each of its atoms carries.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Finds mon in the monomer list (directly, by a synonym, or as a derivative
// of one or two generations), reads its description when needed and copies
// it into L1.  new_flag "N" found with a full description, "M" with a
// minimal one, "Y" not found: L1 then holds the empty header of a new
// "non-polymer" monomer named mon.  amon: the name before a synonym, or the
// parent of a derivative ("." otherwise); mod: the synonym's modification.
// ierr 0 found; 1 not found (a warning) or the list is full (two error
// lines, nothing prepared); 2 the list is empty; a failure of the reader or
// the copy is reported by them and leaves ierr 1 with the new-monomer header
// (never a half-copied description).  nmnew is not read.
// Writes r_scratch c1_pnum, c1_natom, lml_fuse, lml_prsnt, L1 (and through
// the reader the dictionary); libcom lb_pass.
void check_mon_lib_(int32_t mdoc, rt::FixedText<8>& mon, std::string_view char12, rt::FixedText<8>& amon,
                    rt::FixedText<8>& mod, rt::FixedText<1>& new_flag, int32_t& nmuse, int32_t nmnew,
                    rt::FixedText<16>& type, char list, int32_t& ierr);
// ierr 0 when mon resolves to a listed monomer, else 1; mon takes a
// synonym's library name as above.  Writes nothing else.
void check_mon_name_in_lib_(rt::FixedText<8>& mon, int32_t& ierr);

namespace identify {

// Whether mon resolves to a listed monomer, found as check_mon_lib_ finds it
// but with nothing read, copied, counted or reported.  mon, amon, mod and
// type as check_mon_lib_ leaves them ("non-polymer" and "." when not
// found).  Writes no table.
bool in_library(rt::FixedText<8>& mon, rt::FixedText<8>& amon, rt::FixedText<8>& mod,
                rt::FixedText<16>& type);

}  // namespace identify

// The library name of atom aname of monomer mon (amon: the residue's name in
// the coordinate file) through the synonym rows; "H0" becomes "H".
// alt_name: the previous name when it changed, else ".".  mod is not read.
// Writes no table.
void check_aname_(std::string_view mon, std::string_view amon, std::string_view mod, rt::FixedText<4>& aname,
                  rt::FixedText<4>& alt_name);
