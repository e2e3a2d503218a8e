// PDB atom-name alignment: columns 13-14 of an atom name hold the element
// symbol right-aligned, so a one-letter element's name starts in column 14.
#include "builder/pdb_names.h"

#include <string>

#include "builder/metals.h"
#include "foundation/messages.h"

void pdb_aname_mnew_(int32_t mdoc, char list, const rt::FixedText<4>& aname,
                     const rt::FixedText<4>& asymb, std::string_view rname,
                     rt::FixedText<4>& atom) {
  if (list == 'T') msgdoc_(mdoc, "in-->" + aname.str() + ": symb:" + asymb.str() + ":");
  // The element table of this routine is the metal table.
  if (is_it_metal_(asymb.view())) {
    atom = aname;
    return;
  }
  const char s1 = asymb(1);
  if (asymb == "H" || asymb == "D") {
    atom = std::string(1, aname(4)) + std::string(aname.sub(1, 3));
  } else if (aname(4) != ' ') {
    atom = aname(1) == s1 ? std::string(1, aname(4)) + std::string(aname.sub(1, 3)) : aname.str();
  } else if (aname(1) != s1 || aname(2) == s1) {
    atom = aname;
  } else {
    atom = ' ' + std::string(aname.sub(1, 3));
  }
  std::string rn(rname.substr(0, 3));
  rn.resize(3, ' ');
  if (rn == "HEM") {
    if (aname == "NA") atom = " N A";
    else if (aname == "NB") atom = " N B";
    else if (aname == "NC") atom = " N C";
    else if (aname == "ND") atom = " N D";
  }
  if (list == 'T') msgdoc_(mdoc, "    >" + atom.str() + ": symb:" + asymb.str() + ":");
}
