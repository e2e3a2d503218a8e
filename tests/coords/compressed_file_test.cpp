// Compressed coordinate files are told by their first bytes, so that the
// programs name them instead of reading them as a CIF without data.
#include <gtest/gtest.h>

#include <string>

#include "coords/file_type.h"
#include "support/temp_dir.h"

TEST(CompressedFile, KnownByItsFirstBytes) {
  const struct {
    const char* label;
    std::string bytes;
    const char* kind;
  } rows[] = {
      {"gzip", std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00", 8), "gzip"},
      {"bzip2", "BZh91AY&SY", "bzip2"},
      {"xz", std::string("\xfd\x37zXZ\0\0", 7), "xz"},
      {"zstd", std::string("\x28\xb5\x2f\xfd\x04\x00", 6), "zstd"},
      {"PDB", "HEADER    PROTEIN\nATOM      1  N   ALA A   1\n", ""},
      {"mmCIF", "data_1ABC\n#\n", ""},
      {"gzip cut after its first byte", "\x1f", ""},
      {"xz cut before its sixth byte", "\xfd\x37zXZ", ""},
      {"empty", "", ""},
  };
  TempDir dir;
  for (const auto& row : rows)
    EXPECT_EQ(coords::compression_of(dir.write("m", row.bytes)), row.kind) << row.label;
  EXPECT_EQ(coords::compression_of(dir.file("absent")), "") << "a file that is not there";
}
