// The binary file layer: open modes, scratch files, unseekable input, end of
// file and the error state, modes, descriptions and direction switches.
#include "reflections/library_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "mtz_image.h"
#include "reflections/machine_stamp.h"
#include "suite/ptq7_errno.h"
#include "support/capture.h"

namespace {

using mtz_test::TempFile;

int32_t file_word(int code) { return ptq7_error_word(PTQ7_ERRNO_FILE, PTQ7_LEVEL_ERROR, code); }

TEST(LibraryFile, OpenFlagsSetModeAndContents) {
  struct Case {
    const char* label;
    int flags;
    bool exists;
    bool opens;
    const char* after;  // contents after writing "XY" at the handle's position
    int read, write, append;
  };
  const Case cases[] = {
      {"write creates a missing file", 0x01, false, true, "XY", 0, 1, 0},
      {"write empties an existing file", 0x01, true, true, "XY", 0, 1, 0},
      {"read on a missing file fails", 0x00, false, false, "", 0, 0, 0},
      {"read-write on a missing file fails", 0x02, false, false, "", 0, 0, 0},
      {"read-write keeps the contents", 0x02, true, true, "XYcdef", 1, 1, 0},
      {"read-write-truncate empties", 0x402, true, true, "XY", 1, 1, 0},
      {"append adds to the end", 0x08, true, true, "abcdefXY", 0, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempFile t;
    if (c.exists) t.write("abcdef");
    LibraryFile* f = nullptr;
    const std::string out = captured([&] { f = ptq7_file_open(t.c_str(), c.flags); });
    if (!c.opens) {
      EXPECT_EQ(f, nullptr);
      EXPECT_EQ(ptq7_errno, file_word(2));
      EXPECT_NE(out.find("library_file:Cannot open file"), std::string::npos);
      continue;
    }
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ptq7_file_is_read(f), c.read);
    EXPECT_EQ(ptq7_file_is_write(f), c.write);
    EXPECT_EQ(ptq7_file_is_append(f), c.append);
    EXPECT_EQ(ptq7_file_raw_write(f, "XY", 2), 2);
    EXPECT_EQ(ptq7_file_close(f), 0);
    EXPECT_EQ(t.read(), c.after);
  }
}

TEST(LibraryFile, ScratchFileLeavesTheDirectoryButStaysUsable) {
  TempFile t;
  LibraryFileHandle f(ptq7_file_open(
      t.c_str(), PTQ7_FILE_OPEN_READWRITE | PTQ7_FILE_OPEN_TRUNCATE | PTQ7_FILE_OPEN_SCRATCH));
  ASSERT_TRUE(f);
  EXPECT_EQ(ptq7_file_is_scratch(f.get()), 1);
  EXPECT_NE(::access(t.c_str(), F_OK), 0);
  const float v[3] = {1.5f, -2.0f, 3.25f};
  EXPECT_EQ(ptq7_file_write(f.get(), v, 3), 3);
  ptq7_file_rewind(f.get());
  float back[3] = {};
  EXPECT_EQ(ptq7_file_read(f.get(), back, 3), 3);
  EXPECT_EQ(back[2], 3.25f);
}

TEST(LibraryFile, StandardInputIsNotSeekable) {
  for (int via_stream = 0; via_stream < 2; ++via_stream) {
    SCOPED_TRACE(via_stream ? "standard input stream" : "descriptor 0");
    LibraryFileHandle f(via_stream ? ptq7_file_open_file(stdin, 0) : ptq7_file_open_fd(0, 0));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->length, 0x7FFFFFFF);
    captured([&] { EXPECT_EQ(ptq7_file_seek(f.get(), 1, SEEK_SET), -1); });
    EXPECT_EQ(ptq7_errno, file_word(1));
  }
}

TEST(LibraryFile, EndOfFileBlocksTypedReadsUntilCleared) {
  TempFile t;
  t.write(std::string(12, '\0'));
  LibraryFileHandle f(ptq7_file_open(t.c_str(), 0));
  char buf[20];
  captured([&] { EXPECT_EQ(ptq7_file_raw_read(f.get(), buf, 20), -1); });
  EXPECT_EQ(ptq7_file_status(f.get()), 9);
  float v = 0;
  captured([&] { EXPECT_EQ(ptq7_file_readfloat(f.get(), &v, 1), -1); });
  EXPECT_EQ(ptq7_errno, file_word(1));
  struct Clear {
    const char* label;
    void (*clear)(LibraryFile*);
  };
  const Clear clears[] = {
      {"seek", [](LibraryFile* h) { ptq7_file_seek(h, 0, SEEK_SET); }},
      {"rewind", ptq7_file_rewind},
      {"clearerr", ptq7_file_clearerr},
  };
  for (const Clear& c : clears) {
    SCOPED_TRACE(c.label);
    captured([&] { ptq7_file_raw_read(f.get(), buf, 20); });
    c.clear(f.get());
    EXPECT_EQ(ptq7_file_status(f.get()), 0);
    ptq7_file_raw_seek(f.get(), 0, SEEK_SET);
    EXPECT_EQ(ptq7_file_readfloat(f.get(), &v, 1), 1);
  }
}

TEST(LibraryFile, SetModeRefusesModesFiveAndSeven) {
  TempFile t;
  t.write("x");
  LibraryFileHandle f(ptq7_file_open(t.c_str(), 0));
  ASSERT_EQ(ptq7_file_setmode(f.get(), PTQ7_FILE_MODE_SHORT), 0);
  for (int mode : {5, 7}) {
    const std::string out = captured([&] { EXPECT_EQ(ptq7_file_setmode(f.get(), mode), -1); });
    EXPECT_NE(out.find("raised in ptq7_file_mode"), std::string::npos);
    EXPECT_EQ(ptq7_file_mode(f.get()), PTQ7_FILE_MODE_SHORT);
    EXPECT_EQ(ptq7_file_itemsize(f.get()), 2);
  }
}

TEST(LibraryFile, PrintFitsWhatRoomAllows) {
  TempFile t;
  LibraryFileHandle f(
      ptq7_file_open(t.c_str(), PTQ7_FILE_OPEN_READWRITE | PTQ7_FILE_OPEN_TRUNCATE));
  char big[400];
  char* end = ptq7_file_print(f.get(), big, big + sizeof big);
  EXPECT_EQ(std::string(big, end), t.path() + " opened, read-write mode");
  // Too small for the name: the phrases that fit still go in.
  char small[25];
  end = ptq7_file_print(f.get(), small, small + sizeof small);
  EXPECT_EQ(std::string(small, end), " opened, read-write mode");
  EXPECT_EQ(ptq7_file_print(nullptr, small, small + 5), small);
}

TEST(LibraryFile, WriteAfterReadOnOneBufferedHandle) {
  TempFile t;
  t.write("abcdefgh");
  LibraryFileHandle f(ptq7_file_open(t.c_str(), PTQ7_FILE_OPEN_READWRITE));
  char two[2];
  ASSERT_EQ(ptq7_file_readchar(f.get(), two, 2), 2);
  EXPECT_EQ(ptq7_file_writechar(f.get(), "XY", 2), 2);
  EXPECT_EQ(ptq7_file_readchar(f.get(), two, 2), 2);
  EXPECT_EQ(std::string(two, 2), "ef");
  f.reset();
  EXPECT_EQ(t.read(), "abXYefgh");
}

TEST(LibraryFile, NullHandlesReportNullPointer) {
  captured([] { EXPECT_EQ(ptq7_file_close(nullptr), -1); });
  EXPECT_EQ(ptq7_errno, file_word(8));
  captured([] { EXPECT_EQ(ptq7_file_itemsize(nullptr), -1); });
  EXPECT_EQ(ptq7_errno, file_word(1));
  captured([] { EXPECT_EQ(ptq7_file_open_file(nullptr, 0), nullptr); });
  EXPECT_EQ(ptq7_errno, file_word(8));
}

}  // namespace

TEST(LibraryFile, ReadAtLeavesTheHandleWhereItWas) {
  TempFile t;
  t.write("0123456789");
  LibraryFileHandle f(ptq7_file_open(t.c_str(), PTQ7_FILE_OPEN_READ));
  ASSERT_TRUE(f);
  ptq7_file_setmode(f.get(), PTQ7_FILE_MODE_CHAR);
  char c[4] = {};
  ASSERT_EQ(ptq7_file_readchar(f.get(), c, 2), 2);
  char got[4] = {};
  EXPECT_TRUE(reflections::read_at(f.get(), 6, got, 4));
  EXPECT_EQ(std::string(got, 4), "6789");
  // Bytes the file does not hold are refused, not read short.
  EXPECT_FALSE(reflections::read_at(f.get(), 8, got, 4));
  EXPECT_FALSE(reflections::read_at(f.get(), -1, got, 1));
  ASSERT_EQ(ptq7_file_readchar(f.get(), c, 2), 2);
  EXPECT_EQ(std::string(c, 2), "23");
  EXPECT_EQ(f->position, 4);
  LibraryFileHandle in(ptq7_file_open_file(stdin, PTQ7_FILE_OPEN_READ));
  ASSERT_TRUE(in);
  EXPECT_FALSE(reflections::read_at(in.get(), 0, got, 1));
}
