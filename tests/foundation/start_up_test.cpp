// Tool start-up: documentation codes by band, the message code handed back,
// the program name and the resets of the shared tables.
#include <gtest/gtest.h>

#include <string>

#include "foundation/atom_com.h"
#include "foundation/messages.h"
#include "foundation/start_up.h"

TEST(StartUp, DocumentationCodeBands) {
  const int32_t in[] = {0, -997, -996, -99, -98, -1, 1, 98, 99, 996, 997, 5000};
  const int32_t out[] = {0, 0, -99, -99, -48, -48, 48, 48, 99, 99, 997, 5000};
  for (int k = 0; k < 12; ++k) EXPECT_EQ(doc_code_(in[k]), out[k]) << in[k];
}

TEST(StartUp, MessageCodeHandedBack) {
  rt::FixedText<20> prog("tool");
  const int32_t in[] = {5, -150, 1000, 0, -1000};
  const int32_t out[] = {5, 150, 1, 0, 0};
  for (int k = 0; k < 5; ++k) {
    int32_t mdoc = in[k];
    start_(0, mdoc, prog);
    EXPECT_EQ(mdoc, out[k]) << in[k];
  }
}

TEST(StartUp, ProgramNameCutTo20AndBlankBecomesX) {
  rt::FixedText<30> longname("abcdefghijklmnopqrstuvwxy");
  int32_t mdoc = 0;
  start_(0, mdoc, longname);
  EXPECT_EQ(comlib.prog_name.view(), std::string("abcdefghijklmnopqrst") + std::string(60, ' '));
  rt::FixedText<8> blank("        ");
  start_(0, mdoc, blank);
  EXPECT_EQ(blank, "x");
  EXPECT_EQ(comlib.prog_name, "x");
}

TEST(StartUp, DocumentationNameOnlyFromCode997) {
  comlib.doc_name = "";
  rt::FixedText<8> prog("report");
  int32_t mdoc = 996;
  start_(0, mdoc, prog);
  EXPECT_TRUE(comlib.doc_name.is_blank());
  mdoc = 997;
  start_(0, mdoc, prog);
  EXPECT_EQ(comlib.doc_name, "report");
}

TEST(StartUp, QuietFlagStoredDocumentationUnitClearedTablesReset) {
  comlib.idoc = 48;
  atom_inf.n_atom = 10;
  crdinf.cr_cell(1) = 40.0f;
  crdinf.cri_iun = 0;
  rt::FixedText<8> prog("t");
  int32_t mdoc = 5;
  start_(1, mdoc, prog);
  EXPECT_EQ(comlib.iquiet, 1);
  EXPECT_EQ(comlib.idoc, 0);
  EXPECT_EQ(atom_inf.n_atom, 0);
  EXPECT_FLOAT_EQ(crdinf.cr_cell(1), 1.0f);
  EXPECT_EQ(crdinf.cri_iun, 36);
  comlib.iquiet = 0;
}
