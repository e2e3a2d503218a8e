// Chain division once the links are known: waters after a protein, chains of
// one residue, a glycan hung on its asparagine, and a full chain table.
#include <gtest/gtest.h>

#include "connect/chains.h"
#include "entry_fixture.h"
#include "model_builder.h"

namespace {

using conntest::Model;

void set_chain(int32_t& ierr, std::string* out = nullptr) {
  const std::string o = captured([&] { set_chain_(0, ' ', 'Y', ' ', ierr); });
  if (out != nullptr) *out = o;
}

TEST(Chains, WatersAfterAProteinFormOneWaterChain) {
  Model m;
  m.residue("ALA", 3, 'A', 1, {{"CA", 0, 0, 0}});
  const int gly = m.residue("GLY", 3, 'A', 2, {{"CA", 3.8f, 0, 0}});
  resid_inf.iconn_type(gly) = conntest::conn_code("TRANS");
  for (int k = 0; k < 3; ++k) m.residue("HOH", 9, 'A', 10 + k, {{"O", 20.0f + k, 0, 0, "O"}});
  int32_t ierr = -1;
  set_chain(ierr);
  EXPECT_EQ(ierr, 0);
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(asym_part.ich_type(1), 3);
  EXPECT_EQ(asym_part.nres_chain(2), 3);
  EXPECT_EQ(asym_part.ich_type(2), 9);
  EXPECT_EQ(resid_inf.ires_forw(4), 5);
  EXPECT_EQ(asym_part.ires_end_tree(2), 5);
}

TEST(Chains, ChainsOfOneResidueAreOfTheirOwnType) {
  Model m;
  m.residue("ASP", 3, 'A', 1, {{"N", -1.058f, 1.426f, -20.149f, "N"}});
  m.residue("ASP", 3, 'B', 1, {{"N", -0.025f, 1.151f, -19.117f, "N"}});
  int32_t ierr = -1;
  set_chain(ierr);
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(asym_part.ich_type(1), 2);
  EXPECT_EQ(asym_part.ich_type(2), 2);
  EXPECT_EQ(resid_inf.ires_back(2), -1);
}

TEST(Chains, GlycanHangsOnTheResidueItsLinkNames) {
  Model m;
  const int asn = m.residue("ASN", 3, 'A', 40, {{"ND2", 0, 0, 0, "N"}});
  const int nag1 = m.residue("NAG", 7, 'B', 1, {{"C1", 1.45f, 0, 0}, {"O4", 5, 0, 0, "O"}});
  const int nag2 = m.residue("NAG", 7, 'B', 2, {{"C1", 6.4f, 0, 0}});
  m.link("NAG-ASN", asn, "ND2", nag1, "C1");
  m.link("BETA1-4", nag1, "O4", nag2, "C1");
  int32_t ierr = -1;
  set_chain(ierr);
  EXPECT_EQ(ierr, 0);
  ASSERT_EQ(asym_part.n_group, 2);
  EXPECT_EQ(asym_part.ich_type(2), 7);
  EXPECT_EQ(resid_inf.i_chain(nag2), 2);
  EXPECT_EQ(resid_inf.ires_back(nag2), nag1);
  EXPECT_EQ(resid_inf.ires_forw(nag1), nag2);
  EXPECT_EQ(resid_inf.iconn_type(nag2), conntest::conn_code("BETA1-4"));
  EXPECT_EQ(link_inf.ln_2ichn(2), 2);  // links follow the new chains
}

TEST(Chains, FullChainTableNamesTheConstantToRaise) {
  Model m;
  for (int k = 1; k <= MAXCHAIN + 1; ++k) m.residue("ZN", 1, 'A', k, {{"ZN", float(k), 0, 0, "ZN"}});
  int32_t ierr = 0;
  std::string out;
  set_chain(ierr, &out);
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(asym_part.n_group, MAXCHAIN);
  EXPECT_EQ(out, "  WARNING : Number of chains >  1500\n"
                 "            Change parameter MAXCHAIN in \"atom_com\"\n");
}

TEST(Chains, EmptyModelIsAnError) {
  Model m;
  int32_t ierr = 0;
  std::string out;
  set_chain(ierr, &out);
  EXPECT_EQ(ierr, 1);
  EXPECT_EQ(out, " ERROR: in \"SET_CHAIN\", N_GROUP or N_ATOM = 0\n");
}

}  // namespace
