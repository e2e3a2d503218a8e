// CIF vocabulary look-ups: exact and prefix matches, the state before the
// lists are set, the terminus-count switch, and the modification records.
#include <gtest/gtest.h>

#include <utility>

#include "foundation/cif_vocab.h"

namespace {

int32_t code(void (*f)(std::string_view, int32_t&), std::string_view name) {
  int32_t c = -5;
  f(name, c);
  return c;
}

}  // namespace

TEST(CifVocabularies, EveryLookupGivesOneBeforeTheListsAreSet) {
  cif_types = cif_types_t{};
  EXPECT_EQ(code(set_iconn_, "TRANS"), 1);
  EXPECT_EQ(code(set_itype_, "DNA"), 1);
  EXPECT_EQ(code(set_ltype_, "peptide"), 1);
  EXPECT_EQ(code(set_ch_type_, "polypept"), 1);
  EXPECT_EQ(code(set_term_f_type_, "COO"), 1);
  EXPECT_EQ(code(set_term_s_type_, "NH3"), 1);
}

TEST(CifVocabularies, ListsAndCounts) {
  set_cif_types_();
  EXPECT_EQ(cif_types.n_res_type, 14);
  EXPECT_EQ(cif_types.n_sterm_type, 7);
  EXPECT_EQ(cif_types.n_fterm_type, 7);
  EXPECT_EQ(cif_types.n_conn_type, 39);
  EXPECT_EQ(cif_types.n_ch_type, 10);
  EXPECT_EQ(com_mod_rec.n_mod_rec, 2);
  EXPECT_EQ(com_mod_rec.mod_rec_irtype(1), 5);
  EXPECT_EQ(com_mod_rec.mod_rec_detail(1).trimmed(), "DEL-O2*_");
  EXPECT_EQ(com_mod_rec.mod_rec_id(1).str(), "RNA-O2* ");
  EXPECT_EQ(com_mod_rec.mod_rec_irtype(2), 3);
  EXPECT_EQ(com_mod_rec.mod_rec_func(2).str(), "DEL");
  EXPECT_EQ(com_mod_rec.mod_rec_id(2).str(), "DEL-OXT ");
}

TEST(CifVocabularies, LinkNamesMatchExactlyWithCase) {
  set_cif_types_();
  EXPECT_EQ(code(set_iconn_, "TRANS"), 2);
  EXPECT_EQ(code(set_iconn_, "trans"), 1);
  EXPECT_EQ(code(set_iconn_, "NMCIS"), 39);
  EXPECT_EQ(code(set_iconn_, "BETA1-4"), 14);
  EXPECT_EQ(code(set_iconn_, "BETA1"), 1);
  EXPECT_EQ(code(set_iconn_, "p"), 4);
  EXPECT_EQ(code(set_iconn_, "."), 1);
}

TEST(CifVocabularies, ResidueTypesByPrefixAndShortName) {
  set_cif_types_();
  const std::pair<const char*, int32_t> itypes[] = {{"D", 4},  {"DNA", 5}, {"polymer", 10}, {"non", 2},
                                                    {"L-saccharide", 14}, {"L-peptide-long-name", 1}, {"xyz", 1}};
  for (const auto& [n, c] : itypes) EXPECT_EQ(code(set_itype_, n), c) << n;
  const std::pair<const char*, int32_t> ltypes[] = {{"peptide", 3}, {"DNA/RNA", 5}, {"sacchari", 13}, {"pyranose", 7}};
  for (const auto& [n, c] : ltypes) EXPECT_EQ(code(set_ltype_, n), c) << n;
  EXPECT_EQ(code(set_ltype_, "RNA"), 6);  // not a short type: falls back to the prefix match
}

TEST(CifVocabularies, ChainTypesTakeTheFirstOfEqualEntries) {
  set_cif_types_();
  EXPECT_EQ(code(set_ch_type_, "polypept"), 3);
  EXPECT_EQ(code(set_ch_type_, "sacchari"), 7);
  EXPECT_EQ(code(set_ch_type_, "water"), 9);
  EXPECT_EQ(code(set_ch_type_, "Water"), 1);
}

TEST(CifVocabularies, TerminusCountsChangeOnFirstStartLookup) {
  set_cif_types_();
  EXPECT_EQ(code(set_term_f_type_, "COO"), 2);
  EXPECT_EQ(code(set_term_f_type_, "TERMINUS"), 7);
  EXPECT_EQ(code(set_term_f_type_, "CM-COO"), 1);
  EXPECT_EQ(code(set_term_s_type_, "p5*END"), 4);
  EXPECT_EQ(cif_types.n_sterm_type, 6);
  EXPECT_EQ(cif_types.n_fterm_type, 6);
  EXPECT_EQ(code(set_term_s_type_, "TERMINUS"), 1);
  EXPECT_EQ(code(set_term_f_type_, "TERMINUS"), 1);
  EXPECT_EQ(code(set_term_f_type_, "NH3-COO"), 6);
}
