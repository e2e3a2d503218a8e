// mmCIF files that label their chains, as some writers label each run of
// residues: a residue number of one author's chain held by two consecutive
// residues under different labels is refused by both readers, unless both
// residues hold alternate codes.
#include <sstream>
#include <vector>

#include "cif_test_util.h"
#include "coords/cif_by_pdb_rules.h"

namespace {

using CifSplitNumbers = CifFiles;

// Rows of kind, atom, alternate code, residue, label and author number, and
// an x coordinate where one is given (else the serial), the author's chain
// A.
std::string labelled(const std::vector<std::string>& rows) {
  std::string text =
      cif_header() + atom_loop({"group_PDB", "id", "label_atom_id", "label_alt_id", "label_comp_id",
                                "label_asym_id", "label_entity_id", "label_seq_id", "Cartn_x",
                                "Cartn_y", "Cartn_z", "auth_seq_id", "auth_asym_id"});
  int serial = 0;
  for (const std::string& r : rows) {
    ++serial;
    std::istringstream w(r);
    std::string kind, atom, alt, res, label, number, x;
    w >> kind >> atom >> alt >> res >> label >> number >> x;
    if (x.empty()) x = std::to_string(serial);
    text += kind + " " + std::to_string(serial) + " " + atom + " " + alt + " " + res + " " + label +
            " . . " + x + " 0 0 " + number + " A\n";
  }
  return text;
}

}  // namespace

TEST_F(CifSplitNumbers, NumberOfTwoResiduesUnderTwoLabelsIsRefusedByBothReaders) {
  const struct {
    const char* label;
    std::vector<std::string> rows;
    int32_t ierr;
  } cases[] = {
      // The atoms of a microheterogeneity coincide.
      {"two names without alternate codes",
       {"ATOM N . ALA A 90", "ATOM N . CYS A 91", "ATOM CA . CYS A 91", "HETATM N . SMC B 91 2",
        "HETATM CA . SMC B 91 3", "ATOM N . GLY C 92"},
       6},
      {"two names with alternate codes",
       {"ATOM N . ALA A 90", "ATOM N A CYS A 91", "ATOM CA A CYS A 91", "HETATM N B SMC B 91 2",
        "HETATM CA B SMC B 91 3", "ATOM N . GLY C 92"},
       0},
      {"a ligand under its own label, numbered in a range of its own",
       {"ATOM N . ALA A 90", "ATOM N . CYS A 91", "HETATM C1 . NAG B 90", "ATOM N . GLY C 92"},
       0},
      {"waters numbered from the number the chain ends at, either way round",
       {"ATOM N . ALA A 90", "ATOM N . CYS A 91", "HETATM O . HOH B 91", "HETATM O . HOH B 92",
        "ATOM N . GLY C 92"},
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    write("two", labelled(c.rows));
    const int32_t status = read_out("two");
    EXPECT_TRUE(status == c.ierr || (c.ierr == 0 && status == 8)) << status << out_;
    const std::string message =
        " ERROR: in chain A residue:  91, given 2 times\n"
        "        different residues have the same number\n";
    EXPECT_EQ(count_of(out_, message), c.ierr == 6 ? 1 : 0) << out_;
    int32_t ierr = 0;
    init_atm_inf_(0, ierr);
    out_ = captured([&] { coords::read_cif_by_pdb_rules(0, dir_ + "two.cif", 'N', 'Y', ierr); });
    EXPECT_EQ(ierr, c.ierr) << out_;
    EXPECT_EQ(count_of(out_, message), c.ierr == 6 ? 1 : 0) << out_;
  }
}
