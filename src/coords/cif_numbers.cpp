// The numbers of CIF values, and the error line of a value that is none.
#include "coords/cif_numbers.h"

#include "reflections/number_word.h"
#include "runtime/fixed_text.h"

coords::CifNumber coords::cif_number(std::string_view value, float tokenised, float& f) {
  // The tokeniser's conversion gives 0 for every word it cannot read, so any
  // other value is a number it read whole; only a 0 needs a second look.
  if (tokenised != 0.0f) {
    f = tokenised;
    return CifNumber::kRead;
  }
  f = 0.0f;
  switch (reflections::read_number(value, f)) {
    case reflections::NumberWord::kRead:
      return CifNumber::kRead;
    case reflections::NumberWord::kAbsent:
      return CifNumber::kAbsent;
    case reflections::NumberWord::kNoNumber:
      break;
  }
  return CifNumber::kNoNumber;
}

std::string coords::cif_no_number(std::string_view item, std::string_view value) {
  return std::string(rt::trim_right(item)) + " \"" + std::string(rt::trim_right(value)) +
         "\" is not a number";
}
