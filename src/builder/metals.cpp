// The metal table.  It is wider than chemistry's metals on purpose: every
// element that never takes part in an ordinary covalent bond pattern of the
// builder (the heavier halogens and metalloids, the noble gases) is typed,
// bonded and checked as a metal.
#include "builder/metals.h"

namespace {

constexpr std::string_view kMetals[] = {
    "CO", "MG", "CA", "ZN", "CU", "FE", "CL", "BR", "MN", "PB", "HG", "AL", "GD", "NA", "CD", "NI",
    "SR", "IN", "HO", "YB", "TE", "LI", "RB", "BA", "CS", "SM", "TL", "PT", "BE", "SE", "MO", "SI",
    "I ", "NE", "AR", "SC", "TI", "CR", "GA", "GE", "AS", "KR", "HE", "ZR", "NB", "TC", "RU", "RH",
    "PD", "AG", "SN", "SB", "XE", "LA", "HF", "TA", "RE", "OS", "IR", "AU", "BI", "PO", "AT", "RN",
    "FR", "RA", "AC", "CE", "PR", "ND", "PM", "EU", "TB", "DY", "ER", "TM", "LU", "TH", "PA", "NP",
    "PU", "AM", "CM", "BK", "CF", "ES", "FM", "MD", "NO", "LR", "K ", "V ", "Y ", "U ", "W "};

}  // namespace

bool is_it_metal_(std::string_view symb) {
  // A symbol shorter than two characters is blank-padded, as a field would be.
  char two[2] = {' ', ' '};
  for (std::size_t i = 0; i < 2 && i < symb.size(); ++i) two[i] = symb[i];
  const std::string_view key(two, 2);
  for (std::string_view m : kMetals)
    if (m == key) return true;
  return false;
}
