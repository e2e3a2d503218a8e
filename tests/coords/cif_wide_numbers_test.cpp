// mmCIF author numbers too wide for the four columns of the residue key:
// waters past 9999 kept modulo 10000 in further water chains, any other
// residue named, and refused where its chain would hold its number twice.
#include <sstream>
#include <vector>

#include "cif_test_util.h"

namespace {

using CifWideNumbers = CifFiles;

const char* kAbove =
    " WARNING: water numbers above 9999 kept modulo 10000, a new water chain at each 10000\n";
const char* kRestart =
    " WARNING: water numbers restart after 9999, a new water chain at each restart\n";
const char* kBelow =
    " WARNING: water numbers below -999 keep their sign and last three digits, a new water chain "
    "at each 1000\n";

// The file's header and the names of its atom list, with or without labels.
std::string header_of_rows(bool labels) {
  return cif_header() +
         (labels ? atom_loop({"group_PDB", "id", "label_atom_id", "label_comp_id", "label_asym_id",
                              "Cartn_x", "Cartn_y", "Cartn_z", "auth_seq_id", "auth_asym_id"})
                 : atom_loop({"group_PDB", "id", "label_atom_id", "label_comp_id", "Cartn_x",
                              "Cartn_y", "Cartn_z", "auth_seq_id", "auth_asym_id"}));
}

// Rows of residue, label and author number, one oxygen or nitrogen each
// (or the atom a fourth word names), the author's chain the label; without
// labels when `labels` is false.
std::string rows_of(const std::vector<std::string>& rows, bool labels = true) {
  std::string text = header_of_rows(labels);
  int serial = 0;
  for (const std::string& r : rows) {
    std::istringstream w(r);
    std::string res, label, number, atom;
    w >> res >> label >> number >> atom;
    const bool water = res == "HOH";
    if (atom.empty()) atom = water ? "O" : "N";
    ++serial;
    text += std::string(water ? "HETATM " : "ATOM ") + std::to_string(serial) + " " + atom + " " +
            res + " " + (labels ? label + " " : "") +
            std::to_string(3 * serial) + " 0 0 " + number + " " + label + "\n";
  }
  return text;
}

// The chains read: group, then the residue numbers of each (key columns
// 3-7, blanks kept), as "WW:9998 ,9999 |Wa:   0 ,".
std::string chains_read() {
  std::string s;
  for (int g = 1; g <= asym_part.n_group; ++g) {
    s += std::string(asym_part.group_id(g).trimmed()) + ":";
    const int first = asym_part.ires_first(g);
    for (int r = first; r < first + asym_part.nres_chain(g); ++r)
      s += std::string(resid_inf.res_num_pdb(r).sub(3, 7)) + ",";
    s += "|";
  }
  return s;
}

}  // namespace

TEST_F(CifWideNumbers, WatersPast9999AreFurtherChainsOfTheirChain) {
  const struct {
    const char* label;
    std::string text;
    const char* chains;
    const char* warning;
  } cases[] = {
      {"five digits, labelled",
       rows_of(
           {"ALA A 1", "HOH W 9998", "HOH W 9999", "HOH W 10000", "HOH W 10001", "HOH W 20000"}),
       "AA:   1 ,|WW:9998 ,9999 ,|Wa:   0 ,   1 ,|Wb:   0 ,|", kAbove},
      {"five digits, no labels, chains as the PDB form's",
       rows_of({"ALA A 1", "HOH W 9999", "HOH W 10000", "HOH W 10001"}, false),
       "AA:   1 ,|WW:9999 ,|Wa:   0 ,   1 ,|", kAbove},
      {"numbers from 0 again", rows_of({"HOH W 9998", "HOH W 9999", "HOH W 0", "HOH W 1"}),
       "WW:9998 ,9999 ,|Wa:   0 ,   1 ,|", kRestart},
      {"the next label starts at 10000: no further chain", rows_of({"HOH W 9999", "HOH V 10000"}),
       "WW:9999 ,|VV:   0 ,|", kAbove},
      // Every digit of the last four is kept, the thousands too.
      {"a thousands digit other than 0, labelled",
       rows_of({"HOH W 9999", "HOH W 11234", "HOH W 11235"}), "WW:9999 ,|Wa:1234 ,1235 ,|",
       kAbove},
      {"a thousands digit other than 0, no labels",
       rows_of({"HOH W 9999", "HOH W 11234", "HOH W 11235"}, false), "WW:9999 ,|Wa:1234 ,1235 ,|",
       kAbove},
      // Past five digits the last four are kept still, not the first.
      {"six digits", rows_of({"HOH W 99999", "HOH W 100000", "HOH W 100001"}),
       "WW:9999 ,|Wa:   0 ,   1 ,|", kAbove},
      // A PDB file's five digits in columns 23-27 as a converter gives
      // them, the fifth as the insertion code: the number's, no code.
      {"the fifth digit given as the insertion code",
       cif_header() +
           atom_loop({"id", "label_atom_id", "label_comp_id", "label_asym_id", "Cartn_x", "Cartn_y",
                      "Cartn_z", "auth_seq_id", "pdbx_PDB_ins_code", "auth_asym_id"}) +
           "1 O HOH W 0 0 0 9999 . ''\n2 O HOH W 3 0 0 1000 0 ''\n3 O HOH W 6 0 0 1572 5 ''\n",
       "XX:9999 ,|Xa:   0 ,5725 ,|", kAbove},
      // Below -999 the minus stays: a further chain at each thousand.
      {"below -999, labelled",
       rows_of({"HOH W -1001", "HOH W -1000", "HOH W -999", "HOH W -998"}),
       "WW:  -1 ,   0 ,|Wa:-999 ,-998 ,|", kBelow},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("w", c.text);
    EXPECT_EQ(read_out("w"), 0) << out_;
    EXPECT_EQ(chains_read(), c.chains);
    EXPECT_EQ(count_of(out_, c.warning), 1) << out_;
  }
}

// The further water chain holds the waters of its label only: a residue of
// the next label, after the waters past 9999, is read under that label.
TEST_F(CifWideNumbers, ResidueOfTheNextLabelAfterWatersPast9999IsNotInTheirChain) {
  write("l", rows_of({"HOH W 9999", "HOH W 10000", "SO4 L 1", "SO4 L 2"}));
  EXPECT_EQ(read_out("l"), 0) << out_;
  EXPECT_EQ(chains_read(), "WW:9999 ,|Wa:   0 ,|LL:   1 ,   2 ,|");
}

// A residue other than a water keeps the last four digits of a wider number
// as written (the connections of the file name it so), named in a warning;
// its chain may not hold that number twice, however written.
TEST_F(CifWideNumbers, OtherResiduesAreNamedAndRefusedWhereANumberRepeats) {
  write("a", rows_of({"ALA A 9999", "GLY A 10000", "GLY A 10000 CA", "SER A 10001"}));
  EXPECT_EQ(read_out("a"), 0) << out_;
  EXPECT_EQ(chains_read(), "AA:9999 ,0000 ,0001 ,|");
  EXPECT_EQ(count_of(out_,
                     " WARNING: residue GLY 10000 of chain A: number wider than four "
                     "columns, read as 0\n"),
            1)
      << out_;
  EXPECT_EQ(count_of(out_, "number wider than four columns"), 2) << out_;
  EXPECT_EQ(count_of(out_, "water"), 0) << out_;

  write("b", rows_of({"ALA A 1", "GLY A 2", "SER A 10001", "HOH A 10002"}));
  // The water under the chain's label is no part of it: its number, 2,
  // meets no residue of the chain.
  EXPECT_EQ(read_out("b"), 6) << out_;
  EXPECT_EQ(chains_read(), "AA:   1 ,   2 ,0001 ,|Aa:   2 ,|");
  EXPECT_EQ(count_of(out_, " ERROR: in chain A residue:0001, given 2 times\n"
                           "        different residues have the same number\n"),
            1)
      << out_;
  EXPECT_EQ(count_of(out_, "different residues have the same number"), 1) << out_;

  // Label and author "." on every row, as ParmEd writes a model without
  // chain letters: the warning names the chain that the model puts it in.
  write("p", rows_of({"ALA . 1", "HOH . 101", "SO4 . 10001"}));
  EXPECT_EQ(read_out("p"), 0) << out_;
  EXPECT_EQ(chains_read(), "XX:   1 ,|Xa: 101 ,|Xb:0001 ,|");
  EXPECT_EQ(count_of(out_,
                     " WARNING: residue SO4 10001 of chain Xb: number wider than four "
                     "columns, read as 1\n"),
            1)
      << out_;
}

// Below -999 the minus is kept with the last three digits, named in a
// warning; two numbers that meet in the four columns, one right after the
// other, are two residues refused with the line, never one.
TEST_F(CifWideNumbers, SixDigitsAndNumbersBelowMinus999KeepTheirLastDigits) {
  const struct {
    const char* label;
    std::string text;
    int32_t status;
    const char* chains;
    const char* warning;
  } cases[] = {
      {"below -9999, the minus kept", rows_of({"GLY A -10001", "ALA A -10000", "SER A -9999"}), 0,
       "AA:-001 ,-000 ,-999 ,|",
       " WARNING: residue GLY -10001 of chain A: number wider than four columns, read as -1\n"},
      {"two ions 10000 apart meet", rows_of({"ZN A 123456 ZN", "ZN A 133456 ZN"}), 6,
       "AA:3456 ,3456 ,|",
       " ERROR: in chain A residue:3456, given 2 times\n"
       "        different residues have the same number\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("s", c.text);
    EXPECT_EQ(read_out("s"), c.status) << out_;
    EXPECT_EQ(chains_read(), c.chains);
    EXPECT_EQ(count_of(out_, c.warning), 1) << out_;
  }
}

// The file's connections name such a residue by the same number: they still
// find it.
TEST_F(CifWideNumbers, ConnectionsFindAResidueNumberedPast9999) {
  std::string text = rows_of({"ALA A 9999", "GLY A 10000"});
  text.insert(text.find("loop_"),
              "loop_\n_struct_conn.id\n_struct_conn.conn_type_id\n"
              "_struct_conn.ptnr1_label_asym_id\n_struct_conn.ptnr1_auth_seq_id\n"
              "_struct_conn.ptnr2_label_asym_id\n_struct_conn.ptnr2_auth_seq_id\n"
              "c1 covale A 9999 A 10000\n");
  write("c", text);
  EXPECT_EQ(read_out("c"), 0) << out_;
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_1ires(1), 1);
  EXPECT_EQ(link_inf.ln_2ires(1), 2);

  // Six digits and a minus, each end at the residue of its own number.
  const std::size_t conn = text.find("c1 covale");
  text = text.substr(0, conn) + "c1 covale A 123456 A -10030\n" +
         rows_of({"ALA A 123457", "GLY A 123456", "SER A -10030"}).substr(cif_header().size());
  write("s", text);
  EXPECT_EQ(read_out("s"), 0) << out_;
  ASSERT_EQ(link_inf.ln_n, 1);
  EXPECT_EQ(link_inf.ln_1ires(1), 2);
  EXPECT_EQ(link_inf.ln_2ires(1), 3);
}

namespace {

const char* kAgain =
    " WARNING: water numbers of the blank chain repeat, a new water chain at each repeat\n";

// Waters of the author's chain `author` ('' for the blank chain), each row
// "label number x"; without labels when `labels` is false.
std::string waters_of(const std::vector<std::string>& rows, const std::string& author,
                      bool labels = true) {
  std::string text = header_of_rows(labels);
  int serial = 0;
  for (const std::string& r : rows) {
    std::istringstream w(r);
    std::string label, number, x;
    w >> label >> number >> x;
    text += "HETATM " + std::to_string(++serial) + " O HOH " + (labels ? label + " " : "") + x +
            " 10 10 " + number + " " + author + "\n";
  }
  return text;
}

}  // namespace

// Another program's waters of the blank chain, numbered by each chain of the
// entry: one lying apart from the water that holds its number begins a
// further water chain, as the PDB form reads them; one lying on it stays,
// and a named chain keeps its waters together, refusing a number given
// twice as the PDB form does.
TEST_F(CifWideNumbers, BlankChainWatersNumberedAgainLyingApartAreFurtherChains) {
  const std::vector<std::string> apart = {"W 393 10", "W 394 13", "W 393 30", "W 394 33"};
  const struct {
    const char* label;
    std::string text;
    const char* chains;
    int warnings;
    int32_t status = 0;
  } cases[] = {
      // A label under a blank author's chain is named as the PDB form and
      // orbinate name the blank chain.
      {"one label, blank author chain", waters_of(apart, "''"), "XX: 393 , 394 ,|Xa: 393 , 394 ,|",
       1},
      {"one label, author chain .", waters_of(apart, "."), "XX: 393 , 394 ,|Xa: 393 , 394 ,|", 1},
      {"no labels, blank author chain", waters_of(apart, "''", false),
       "XX: 393 , 394 ,|Xa: 393 , 394 ,|", 1},
      // As a writer gives the waters of a model without chain letters after
      // a chain it labels: the blank chain, never a chain "..".
      {"label and author chain . after a labelled chain",
       waters_of({"W 1 0", ". 393 10", ". 394 13", ". 393 30", ". 394 33"}, "."),
       "XX:   1 , 393 , 394 ,|Xa: 393 , 394 ,|", 1},
      {"a label for each chain's waters: parted where the numbers repeat",
       waters_of({"W 393 10", "W 394 13", "V 393 30", "V 394 33"}, "''"),
       "XX: 393 , 394 ,|Xa: 393 , 394 ,|", 1},
      {"the third water on the first", waters_of({"W 393 10", "W 394 13", "W 393 10.2"}, "''"),
       "XX: 393 , 394 , 393 ,|", 0},
      {"named author chain", waters_of(apart, "A"), "WW: 393 , 394 , 393 , 394 ,|", 0, 6},
      // The waters past 10000 are a further chain: the numbers held before
      // it are not held in it.
      {"one label, a number before 10000 is no repeat after it",
       waters_of({"W 199 10", "W 9999 13", "W 10000 30", "W 10199 33"}, "''"),
       "XX: 199 ,9999 ,|Xa:   0 , 199 ,|", 0},
      {"no labels, a number before 10000 is no repeat after it",
       waters_of({"W 199 10", "W 9999 13", "W 10000 30", "W 10199 33"}, "''", false),
       "XX: 199 ,9999 ,|Xa:   0 , 199 ,|", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("w", c.text);
    EXPECT_EQ(read_out("w"), c.status) << out_;
    EXPECT_EQ(chains_read(), c.chains);
    EXPECT_EQ(count_of(out_, kAgain), c.warnings) << out_;
    EXPECT_EQ(count_of(out_, "different residues have the same number"), c.status == 6 ? 2 : 0)
        << out_;
  }
}

// Past the 60 second characters of X, the blank chain's further water
// chains take a third character, as the PDB reader names them: each stays
// a chain of its own, none a second piece of another.
TEST_F(CifWideNumbers, FurtherChainsPastTheSixtiethTakeFreePairs) {
  std::vector<std::string> rows;
  for (int k = 0; k < 63; ++k) {
    rows.push_back("B 1 " + std::to_string(10 * k));
    rows.push_back("B 2 " + std::to_string(10 * k + 3));
  }
  write("p", waters_of(rows, "''"));
  EXPECT_EQ(read_out("p"), 0) << out_.substr(0, 2000);
  ASSERT_EQ(asym_part.n_group, 63);
  // The label under a blank author's chain is the blank chain, XX.
  EXPECT_EQ(asym_part.group_id(60).trimmed(), "X9");
  EXPECT_EQ(asym_part.group_id(61).trimmed(), "Xaa");
  EXPECT_EQ(asym_part.group_id(63).trimmed(), "Xac");
  for (int g = 1; g <= 63; ++g) EXPECT_EQ(asym_part.nres_chain(g), 2) << g;
}
