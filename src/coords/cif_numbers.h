// The numbers of CIF values: one reading for every numeric item that the
// CIF coordinate readers take (coordinates, occupancy, B, anisotropic
// components, cell, fractionalisation matrix, connection distances), so that
// no reader turns a value it cannot read into 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/number_word.h"

namespace coords {

// What a value gives where a number stands: the one reading's own answer.
using CifNumber = rt::NumberWord;

// The number of the CIF value `value` (as the tokeniser stores it,
// blank-padded) whose tokeniser conversion is `tokenised` (fdt_cif), by the
// one reading of numbers (rt::read_number).  A
// number is read as the tokeniser's conversion reads it, also when it is
// followed by a standard uncertainty in parentheses ("20.214(3)" is 20.214;
// an unclosed or empty parenthesis is no number) and when it is longer than
// the 16 characters that conversion takes.
CifNumber cif_number(std::string_view value, float tokenised, float& f);

// The integer of the CIF value `value` (blank-padded) where an integer
// stands: digits with a sign, the one form of every integer item (an
// author's residue number adds its insertion letter, cif_author_number);
// "?" and "." are kAbsent, anything else ("17.0", "1e2") and an integer too
// large for 32 bits kNoNumber.  i is 0 unless kRead.
CifNumber cif_integer(std::string_view value, int32_t& i);

// An author's residue number: digits with a sign, and at most one letter
// after them, the insertion code ("12", "-3", "27A").
bool cif_author_number(std::string_view value);

// The middle of the error line of a value that is no number:
// `_atom_site.Cartn_x "abc" is not a number`.
std::string cif_no_number(std::string_view item, std::string_view value);
// The same for a value that is no integer: `... "17.5" is not an integer`.
std::string cif_no_integer(std::string_view item, std::string_view value);

// Whether the value of an insertion-code item is more than one character
// ("." and "?", no code, are one).
bool cif_long_code(std::string_view value);
// The same for such a code: `... "AB" is more than one character`.
std::string cif_no_code(std::string_view item, std::string_view value);

}  // namespace coords
