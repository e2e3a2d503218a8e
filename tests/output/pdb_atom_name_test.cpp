// Atom names in PDB columns 13-16, placed by element.
#include "output/pdb_atom_name.h"

#include <gtest/gtest.h>

TEST(PdbAtomName, ColumnsByElement) {
  struct Case {
    const char* label;
    const char* name;
    const char* element;
    const char* residue;
    const char* field;
  } cases[] = {
      {"two-letter heavy element from column 13", "FE", "FE", "", "FE  "},
      {"one-letter heavy element from column 14", "K", "K", "", " K  "},
      {"one-letter heavy element keeps three characters", "W123", "W", "", " W12"},
      {"carbon alpha from column 14", "CA", "C", "", " CA "},
      {"primed carbon from column 14", "C1'", "C", "", " C1'"},
      {"name not starting with its element from column 13", "XC1", "C", "", "XC1 "},
      {"name repeating its element letter from column 13", "CCA", "C", "", "CCA "},
      {"four-character hydrogen moves its digit to the front", "HG11", "H", "", "1HG1"},
      {"hydrogen of two characters from column 14", "HA", "H", "", " HA "},
      {"deuterium like hydrogen", "DG12", "D", "", "2DG1"},
      {"hydrogen with a letter fourth keeps its name", "HXYZ", "H", "", "HXYZ"},
      {"hydrogen padding underscores become blanks", "H__1", "H", "", "1H  "},
      {"four characters ending in a digit", "C123", "C", "", "3C12"},
      {"four characters ending in a letter", "C12A", "C", "", "C12A"},
      {"haem nitrogen", "NA", "N", "HEM", " N A"},
      {"haem nitrogen ND", "ND", "N", "HEM", " N D"},
      {"other nitrogens of haem", "N1", "N", "HEM", " N1 "},
      {"NA outside haem", "NA", "N", "ALA", " NA "},
  };
  for (const Case& c : cases) {
    rt::FixedText<4> name(c.name);
    rt::FixedText<4> field("????");
    pdb_aname_(name.ref(), c.element, c.residue, field);
    EXPECT_EQ(field.str(), c.field) << c.label;
  }
}

TEST(PdbAtomName, CharactersAfterTheUsedLengthAreBlanked) {
  char raw[4] = {'O', '1', ' ', '\0'};
  rt::FixedText<4> field;
  pdb_aname_(rt::TextRef(raw, 4), "O", "", field);
  EXPECT_EQ(std::string(raw, 4), "O1  ");
  EXPECT_EQ(field.str(), " O1 ");
}
