// Building the entity description from the model: grouping of chains into
// entities, the sequences and their back and forward positions, sequence
// connections and other entity links with the model link flags, the chain
// comparison, the errors and the debug listing.
#include <gtest/gtest.h>

#include <string>

#include "entity_model.h"
#include "coords/entity_descr.h"

using entity_test::auth;
using entity_test::Ints;
using entity_test::Strs;
using entity_test::Views;

namespace {

class EntityDescription : public entity_test::Model {
 protected:
  int32_t build(const char* list = " ") {
    int32_t ierr = 9;
    creat_ent_descr_(0, list, ierr);
    return ierr;
  }
};

}  // namespace

TEST_F(EntityDescription, NoChainsLeavesTablesEmptyAndLinksUnused) {
  cif_entity_list.n_chn_ent = 3;
  cif_ent_poly_seq.ent_nresidue = 7;
  cif_asym_part.n_grp_asm = 2;
  cif_ent_link.ent_ln_n = 1;
  link("BETA1-4", 1, 1, 2);
  link("TRANS", 1, 2, 3);
  EXPECT_EQ(build(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 0);
  EXPECT_EQ(cif_ent_poly_seq.ent_nresidue, 0);
  EXPECT_EQ(cif_asym_part.n_grp_asm, 0);
  EXPECT_EQ(cif_ent_link.ent_ln_n, 0);
  EXPECT_EQ(ent(1), "C");
  EXPECT_EQ(ent(2), "C");
}

TEST_F(EntityDescription, AllWatersFormOneEntityByName) {
  chain("W1", 9, {"HOH", "HOH"});
  chain("W2", 9, {"WAT"});
  EXPECT_EQ(build(), 0);
  ASSERT_EQ(cif_entity_list.n_chn_ent, 1);
  EXPECT_EQ(cif_entity_list.ent_chain_id(1).str(), "HOH ");
  EXPECT_EQ(cif_entity_list.ent_chain_type(1).trimmed(), "water");
  EXPECT_EQ(cif_entity_list.ent_nres_chain(1), 0);
  EXPECT_EQ(cif_entity_list.ent_ires_first(1), 0);
  EXPECT_EQ(cif_entity_list.ent_igroup_first(1), 1);
  EXPECT_EQ(cif_entity_list.ent_ichain_type(1), 9);
  EXPECT_EQ(cif_entity_list.ent_res_start_tree(1).str(), ".    ");
  EXPECT_EQ(cif_entity_list.ent_term_f_type(1).trimmed(), ".");
  EXPECT_EQ(cif_entity_list.ent_iterm_s_type(1), 1);
  EXPECT_EQ(cif_ent_poly_seq.ent_nresidue, 0);
  ASSERT_EQ(cif_asym_part.n_grp_asm, 2);
  for (int g = 1; g <= 2; ++g) {
    EXPECT_EQ(asym_part.chain_id(g).str(), "HOH ");
    EXPECT_EQ(asym_part.igroup_asm(g), g);
    EXPECT_EQ(cif_asym_part.asm_chain_pointer(g), 1);
    EXPECT_EQ(cif_asym_part.asm_group_pointer(g), g);
    EXPECT_EQ(cif_asym_part.asm_chain_id(g).str(), "HOH ");
  }
  EXPECT_EQ(cif_asym_part.asm_group_id(2).str(), "W2  ");
}

TEST_F(EntityDescription, NonPolymersGroupedByFirstThreeLettersOfResidue) {
  chain("LA", 2, {"NAG"});
  chain("LB", 2, {"NAGA"});
  chain("LC", 2, {"MAN"});
  EXPECT_EQ(build(), 0);
  ASSERT_EQ(cif_entity_list.n_chn_ent, 2);
  EXPECT_EQ(cif_entity_list.ent_chain_id(1).str(), "NAG ");
  EXPECT_EQ(cif_entity_list.ent_chain_type(1).trimmed(), "non-polymer");
  EXPECT_EQ(cif_entity_list.ent_nres_chain(1), 0);
  EXPECT_EQ(cif_entity_list.ent_chain_id(2).str(), "MAN ");
  EXPECT_EQ(asym_part.chain_id(2).str(), "NAG ");
  EXPECT_EQ(asym_part.igroup_asm(2), 2);
  EXPECT_EQ(cif_asym_part.asm_chain_pointer(2), 1);
  EXPECT_EQ(cif_asym_part.asm_chain_pointer(3), 2);
  EXPECT_EQ(cif_ent_poly_seq.ent_nresidue, 0);
}

TEST_F(EntityDescription, TypeWordsByChainType) {
  chain("P", 10, {"AAA"});
  chain("S", 8, {"GLC"});
  chain("N", 6, {"U"});
  chain("Q", 11, {"XXX", "YYY"});
  chain("Z", 1, {"ZZZ"});
  EXPECT_EQ(build(), 0);
  ASSERT_EQ(cif_entity_list.n_chn_ent, 5);
  EXPECT_EQ(cif_entity_list.ent_chain_type(1).trimmed(), "polymer");
  EXPECT_EQ(cif_entity_list.ent_chain_type(2).trimmed(), "polysaccharide");
  EXPECT_EQ(cif_entity_list.ent_chain_type(3).trimmed(), "DNA/RNA");
  EXPECT_EQ(cif_entity_list.ent_chain_type(4).trimmed(), ".");
  EXPECT_EQ(cif_entity_list.ent_chain_type(5).trimmed(), ".");
  // A code above 2 copies residues even without a type word; code 1 does not.
  EXPECT_EQ(COLUMN(1, 5, cif_entity_list.ent_nres_chain(i)), Ints({1, 1, 1, 2, 0}));
  EXPECT_EQ(Ints({cif_entity_list.ent_ires_first(4), cif_ent_poly_seq.ent_nresidue}), Ints({4, 5}));
  EXPECT_EQ(cif_entity_list.ent_chain_id(5).str(), "Z   ");
}

TEST_F(EntityDescription, IdenticalProteinChainsShareOneEntity) {
  chain("AA", 3, {"ALA", "GLY", "SER"});
  chain("BB", 3, {"ALA", "GLY", "SER"});
  EXPECT_EQ(build(), 0);
  ASSERT_EQ(cif_entity_list.n_chn_ent, 1);
  EXPECT_EQ(cif_entity_list.ent_chain_id(1).str(), "AA  ");
  EXPECT_EQ(cif_entity_list.ent_chain_type(1).trimmed(), "polypeptide");
  EXPECT_EQ(cif_ent_poly_seq.ent_nresidue, 3);  // only the founding chain
  EXPECT_EQ(Ints({asym_part.igroup_asm(2), cif_asym_part.asm_chain_pointer(2)}), Ints({2, 1}));
  EXPECT_EQ(asym_part.chain_id(2).str() + cif_asym_part.asm_chain_id(2).str() + cif_asym_part.asm_group_id(2).str(),
            "AA  AA  BB  ");
}

TEST_F(EntityDescription, SequencePositionsOfSecondEntityFollowTheFirst) {
  chain("AA", 3, {"ALA", "GLY"});
  chain("BB", 3, {"TRP", "TYR", "VAL"}, 10);
  EXPECT_EQ(build(), 0);
  ASSERT_EQ(cif_entity_list.n_chn_ent, 2);
  EXPECT_EQ(Ints({cif_entity_list.ent_ires_first(2), cif_entity_list.ent_nres_chain(2),
                  cif_entity_list.ent_ires_start_tree(2), cif_entity_list.ent_ires_end_tree(2)}),
            Ints({3, 3, 3, 5}));
  EXPECT_EQ(cif_entity_list.ent_res_start_tree(2).str() + cif_entity_list.ent_res_end_tree(2).str(), auth(10) + auth(12));
  ASSERT_EQ(cif_ent_poly_seq.ent_nresidue, 5);
  EXPECT_EQ(COLUMN(1, 5, cif_ent_poly_seq.ent_ires_back(i)), Ints({0, 1, 0, 3, 4}));
  EXPECT_EQ(COLUMN(1, 5, cif_ent_poly_seq.ent_ires_forw(i)), Ints({2, 0, 4, 5, 0}));
  EXPECT_EQ(COLUMN(1, 5, cif_ent_poly_seq.ent_ires_serial(i)), Ints({1, 2, 1, 2, 3}));
  EXPECT_EQ(COLUMN(1, 5, cif_ent_poly_seq.ent_ichain(i)), Ints({1, 1, 2, 2, 2}));
  EXPECT_EQ(COLUMN(1, 5, cif_ent_poly_seq.ent_ires_type(i)), Ints({3, 3, 3, 3, 3}));
  EXPECT_EQ(COLUMN(1, 5, cif_ent_poly_seq.ent_iconn_type(i)), Ints({1, 2, 1, 2, 2}));
  EXPECT_EQ(COLUMN(1, 5, cif_ent_poly_seq.ent_mod_id(i).trimmed()), Views({".", ".", ".", ".", "."}));
  EXPECT_EQ(cif_ent_poly_seq.ent_res_name(4).trimmed(), "TYR");
  EXPECT_EQ(cif_ent_poly_seq.ent_res_auth_num(4).str(), auth(11));
}

TEST_F(EntityDescription, TerminusCodesOfPolymer) {
  chain("AA", 3, {"ALA", "GLY"}, 1, 0, 1);
  chain("BB", 3, {"SER", "THR"}, 1, 2, 8);
  EXPECT_EQ(build(), 0);
  ASSERT_EQ(cif_entity_list.n_chn_ent, 2);
  EXPECT_EQ(cif_entity_list.ent_iterm_s_type(1), 7);
  EXPECT_EQ(cif_entity_list.ent_iterm_f_type(1), 7);
  EXPECT_EQ(cif_entity_list.ent_term_s_type(1).trimmed(), "TERMINUS");
  EXPECT_EQ(cif_entity_list.ent_term_f_type(1).trimmed(), "TERMINUS");
  EXPECT_EQ(cif_entity_list.ent_iterm_s_type(2), 2);
  EXPECT_EQ(cif_entity_list.ent_term_s_type(2).trimmed(), "NH3");
  EXPECT_EQ(cif_entity_list.ent_iterm_f_type(2), 8);
  EXPECT_EQ(cif_entity_list.ent_term_f_type(2).trimmed(), "CM-COO");
  // The chain's own codes are not changed.
  EXPECT_EQ(asym_part.iterm_s_type(1), 0);
}

TEST_F(EntityDescription, DifferencesThatMakeNewEntities) {
  chain("AA", 3, {"ALA", "GLY"}, 1, 1, 2);
  chain("BB", 3, {"ALA", "GLY"}, 1, 1, 1);  // end terminus differs
  chain("CC", 3, {"ALA", "GLY"}, 5, 1, 2);  // numbering shifted
  chain("DD", 3, {"ALA", "SER"}, 1, 1, 2);  // a residue name differs
  const int e = chain("EE", 3, {"ALA", "GLY"}, 1, 1, 2);
  resid_inf.iconn_type(asym_part.ires_first(e) + 1) = 3;  // connection code differs
  chain("FF", 3, {"ALA", "GLY"}, 1, 1, 2);  // same as AA
  EXPECT_EQ(build(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 5);
  EXPECT_EQ(asym_part.chain_id(6).str(), "AA  ");
}

TEST_F(EntityDescription, BackNeighbourTextIsCompared) {
  chain("AA", 3, {"ALA", "GLY", "SER"});
  const int b = chain("BB", 3, {"ALA", "GLY", "SER"});
  // Residue 3 of BB hangs from residue 1 instead of residue 2.
  resid_inf.ires_back(asym_part.ires_first(b) + 2) = asym_part.ires_first(b);
  EXPECT_EQ(build(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 2);
}

TEST_F(EntityDescription, SameGroupIdentifierJoinsByNameWithoutComparison) {
  chain("AA", 3, {"ALA", "GLY"});
  chain("AA", 3, {"TRP"});
  EXPECT_EQ(build(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 1);
  EXPECT_EQ(asym_part.igroup_asm(2), 2);
  EXPECT_EQ(cif_asym_part.asm_chain_pointer(2), 1);
}

TEST_F(EntityDescription, SequenceConnectionsAndOtherLinks) {
  const int g = chain("AA", 3, {"ALA", "GLY", "SER"});
  const int trans = link("TRANS", g, 1, 2, "U");  // former code 2, used U
  const int cis = link("CIS", g, 2, 3);             // former code 2, not used
  const int beta = link("BETA1-4", g, 1, 3);        // not consecutive
  const int far = link("SUGAR", g, 1, 2, ".", "2_555");
  const int unnamed = link("?", g, 1, 3);
  const int kept = link("CIS", g, 2, 3, "S");
  EXPECT_EQ(build(), 0);
  EXPECT_EQ(ent(trans) + ent(cis) + ent(beta) + ent(far) + ent(unnamed) + ent(kept), "EELCCC");
  EXPECT_EQ(used(trans) + used(cis), "u.");
  EXPECT_EQ(Ints({resid_inf.iconn_type(2), resid_inf.iconn_type(3), cif_ent_poly_seq.ent_iconn_type(3)}),
            Ints({2, 3, 3}));
  ASSERT_EQ(cif_ent_link.ent_ln_n, 2);
  // The TRANS connection was code 2 before: an entity link only because
  // its used flag became 'u'.  The CIS one gives none.
  EXPECT_EQ(COLUMN(1, 2, cif_ent_link.ent_ln_used(i).str()), Strs({"e", "L"}));
  EXPECT_EQ(COLUMN(1, 2, cif_ent_link.ent_ln_id(i).trimmed()), Views({"TRANS", "BETA1-4"}));
  EXPECT_EQ(COLUMN(1, 2, cif_ent_link.ent_ln_1ires(i)), Ints({1, 1}));
  EXPECT_EQ(COLUMN(1, 2, cif_ent_link.ent_ln_2ires(i)), Ints({2, 3}));
  EXPECT_EQ(COLUMN(1, 2, cif_ent_link.ent_ln_2rnam(i).trimmed()), Views({"GLY", "SER"}));
  EXPECT_EQ(Views({cif_ent_link.ent_ln_1rnam(1).trimmed(), cif_ent_link.ent_ln_atom1(1).trimmed(),
                   cif_ent_link.ent_ln_atom2(1).trimmed()}),
            Views({"ALA", "C", "N"}));
  EXPECT_EQ(cif_ent_link.ent_ln_auth_num1(1).str() + cif_ent_link.ent_ln_auth_num2(1).str(), auth(1) + auth(2));
  EXPECT_EQ(cif_ent_link.ent_ln_ichain(1), 1);
  EXPECT_FLOAT_EQ(cif_ent_link.ent_ln_dist(1), 1.5f);
}

TEST_F(EntityDescription, ConnectionWithEarlierCodeGivesEntityLink) {
  chain("AA", 3, {"ALA"});
  const int g = chain("BB", 3, {"ALA", "GLY", "SER", "THR"});
  const int f = asym_part.ires_first(g);  // residues f .. f+3
  resid_inf.iconn_type(f + 1) = 3;         // CIS before
  resid_inf.iconn_type(f + 2) = 4;         // "p" before
  resid_inf.iconn_type(f + 3) = 3;
  link("TRANS", g, f, f + 1);
  link("TRANS", g, f + 1, f + 2);
  link("TRANS", g, f + 2, f + 3, "U");
  EXPECT_EQ(build(), 0);
  ASSERT_EQ(cif_ent_link.ent_ln_n, 2);
  EXPECT_EQ(COLUMN(1, 2, cif_ent_link.ent_ln_used(i).str()), Strs({"E", "e"}));
  // Positions within the sequence table, after the one residue of AA.
  EXPECT_EQ(Ints({cif_ent_link.ent_ln_1ires(1), cif_ent_link.ent_ln_2ires(1), cif_ent_link.ent_ln_1ires(2),
                  cif_ent_link.ent_ln_ichain(2)}),
            Ints({2, 3, 4, 2}));
  EXPECT_EQ(COLUMN(f + 1, f + 3, resid_inf.iconn_type(i)), Ints({2, 2, 2}));
}

TEST_F(EntityDescription, SingleModelLinkIsNotCompared) {
  const int a = chain("AA", 3, {"ALA", "GLY", "SER"});
  chain("BB", 3, {"ALA", "GLY", "SER"});
  link("BETA1-4", a, 1, 3);
  EXPECT_EQ(build(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 1);
}

TEST_F(EntityDescription, LinkOfNewChainNeedsPartnerInFounder) {
  const int a = chain("AA", 3, {"ALA", "GLY", "SER"});
  const int b = chain("BB", 3, {"ALA", "GLY", "SER"});
  chain("CC", 2, {"HEM"});
  link("?", a, 1, 2);
  // Only the founding chain has the link: the new chain has nothing to
  // match, so it joins.
  link("BETA1-4", a, 1, 3);
  EXPECT_EQ(build(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 2);
  EXPECT_EQ(asym_part.chain_id(b).str(), "AA  ");
}

TEST_F(EntityDescription, LinkWithoutPartnerMakesNewEntity) {
  chain("AA", 3, {"ALA", "GLY", "SER"});
  const int b = chain("BB", 3, {"ALA", "GLY", "SER"});
  link("?", b, 4, 5);
  link("BETA1-4", b, 4, 6);
  EXPECT_EQ(build(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 2);
}

TEST_F(EntityDescription, LinkKeptOutOfEntitiesNeverFindsPartner) {
  const int a = chain("AA", 3, {"ALA", "GLY", "SER"});
  const int b = chain("BB", 3, {"ALA", "GLY", "SER"});
  link("BETA1-4", a, 1, 3, "S");
  link("BETA1-4", b, 4, 6);
  EXPECT_EQ(build(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 2);
}

TEST_F(EntityDescription, MatchingLinksJoinAndTakeTheFounderFlags) {
  const int a = chain("AA", 3, {"ALA", "GLY", "SER"});
  const int b = chain("BB", 3, {"ALA", "GLY", "SER"});
  resid_inf.iconn_type(2) = 3;
  resid_inf.iconn_type(5) = 3;
  const int la = link("CIS", a, 1, 2, "U");
  const int lb = link("CIS", b, 4, 5, "U");
  EXPECT_EQ(build(), 0);
  EXPECT_EQ(cif_entity_list.n_chn_ent, 1);
  EXPECT_EQ(ent(la) + used(la) + ent(lb) + used(lb), "EuEu");
  ASSERT_EQ(cif_ent_link.ent_ln_n, 1);
  EXPECT_EQ(cif_ent_link.ent_ln_used(1).str(), "e");
}

TEST_F(EntityDescription, CompareDirectly) {
  const int a = chain("AA", 3, {"ALA", "GLY"});
  const int b = chain("BB", 3, {"ALA", "GLY"});
  int32_t iflag = 7, ierr = 7;
  compare_entity_(0, a, b, iflag, ierr);
  EXPECT_EQ(iflag, 1);
  EXPECT_EQ(ierr, 0);
  compare_entity_(0, a, a, iflag, ierr);
  EXPECT_EQ(iflag, 1);
  compare_entity_(0, a, 3, iflag, ierr);
  EXPECT_EQ(iflag, 0);
  compare_entity_(0, 0, b, iflag, ierr);
  EXPECT_EQ(iflag, 0);
  EXPECT_EQ(ierr, 0);
}

TEST_F(EntityDescription, PolymerWithoutResiduesIsAnError) {
  chain("AA", 3, {"ALA"});
  const int g = chain("BB", 3, {"GLY"});
  asym_part.nres_chain(g) = 0;
  int32_t ierr = 0;
  const std::string out = captured([&] { ierr = build("T"); });
  EXPECT_EQ(ierr, 1);
  // msgerr_ puts one blank before the line.
  EXPECT_NE(out.find("\n  ERROR: N-residues = 0\n"), std::string::npos) << out;
  // The entity opened for the failing chain stays; the closing listing is
  // not written.
  EXPECT_EQ(cif_entity_list.n_chn_ent, 2);
  EXPECT_EQ(cif_entity_list.ent_ires_first(2), 2);
  EXPECT_EQ(out.find("-CREAT_ENT-"), out.rfind("-CREAT_ENT-"));
}

TEST_F(EntityDescription, PolymerWithoutTreeIsAnError) {
  const int g = chain("AA", 3, {"ALA", "GLY"});
  asym_part.ires_end_tree(g) = 0;
  int32_t ierr = 0;
  const std::string out = captured([&] { ierr = build(); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "  ERROR: wrong tree structure ...(in creat_ent_descr)\n");
}

TEST_F(EntityDescription, ErrorMessageFollowsMessageCode) {
  const int g = chain("AA", 3, {"ALA"});
  asym_part.nres_chain(g) = 0;
  int32_t ierr = 0;
  const std::string out = captured([&] { creat_ent_descr_(99, " ", ierr); });
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, "");
}

TEST_F(EntityDescription, DebugListing) {
  const int g = chain("A", 3, {"ALA", "GLY"});
  link("TRANS", g, 1, 2, "U");
  const std::string out = captured([&] { EXPECT_EQ(build("T"), 0); });
  const std::string key1 = "     1      ", key2 = "     2      ";
  // Author numbers and names of both residues, atoms, alternates; each
  // item behind one blank, texts at their full widths.
  const std::string names = ' ' + auth(1) + " ALA     " + " " + auth(2) + " GLY     " + " C    " + " N    " + " A" + " B\n";
  const std::string want = std::string(" -CREAT_ENT- 1\n") +
                           " -C- 1 TRANS    U x\n"
                           " 1 1 1 2\n" +
                           names +
                           " --ngroup 1\n"
                           " --ig,ient 1 0 polypeptide 1 1\n"
                           " -R- 1 ALA      1 " + key1 + "\n" +
                           " -R- 2 GLY      2 " + key2 + "\n" +
                           " -CREAT_ENT- 1\n"
                           " -C- 1 TRANS    u E\n"
                           " 1 1 1 2\n" +
                           names;
  EXPECT_EQ(out, want);
}

TEST_F(EntityDescription, DebugListingOfComparisons) {
  chain("A", 3, {"ALA"});
  chain("B", 3, {"ALA"});
  const std::string out = captured([&] { EXPECT_EQ(build("T"), 0); });
  EXPECT_NE(out.find(" --1 B    A   \n --FLAG 1\n --3: 2 A   \n"), std::string::npos) << out;
}
