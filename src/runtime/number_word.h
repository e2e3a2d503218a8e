// The one reading of a number from outside input: the CIF readers, the
// library readers and the reflection-file header all read their numbers
// here, so that none of them turns a value it cannot read into 0.
#pragma once

#include <string_view>

namespace rt {

// What a value gives where a number stands.
enum class NumberWord {
  kRead,     // a number, in f
  kAbsent,   // "?" or ".": f is 0, the value the readers have always given them
  kNoNumber  // anything else: letters, a second point, a comma, nan, an empty text
};

// The number of the value `value` (trailing blanks ignored), read as the
// word conversion (word_number) reads it, also when it is followed by a
// standard uncertainty in parentheses ("20.214(3)" is 20.214; an unclosed
// or empty parenthesis is no number) and when it is longer than the 16
// characters that conversion takes.
NumberWord read_number(std::string_view value, float& f);

}  // namespace rt
