// Unit table: opening rules, sequential, unformatted and direct records.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "runtime/format.h"
#include "runtime/units.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

class Units : public ::testing::Test {
 protected:
  void TearDown() override {
    rt::output_account_stop();
    rt::close_all_units();
  }
  std::string path(const char* name) { return scratch.file(name); }
  TempDir scratch;
  const fs::path dir = scratch.path();
};

TEST_F(Units, OpenStatusRules) {
  rt::OpenOptions old;
  old.status = rt::OpenStatus::Old;
  EXPECT_EQ(rt::unit_open(10, path("missing"), old), rt::IOSTAT_MISSING);
  EXPECT_FALSE(rt::unit_is_open(10));

  rt::OpenOptions nw;
  nw.status = rt::OpenStatus::New;
  ASSERT_EQ(rt::unit_open(10, path("a.txt   "), nw), 0);  // trailing blanks are not part of the name
  EXPECT_EQ(rt::unit_file_name(10), path("a.txt"));
  EXPECT_EQ(rt::unit_of_file(path("a.txt")), 10);
  rt::unit_close(10);
  EXPECT_EQ(rt::unit_open(10, path("a.txt"), nw), rt::IOSTAT_EXISTS);
  EXPECT_EQ(rt::unit_open(10, dir.string(), rt::OpenOptions{}), rt::IOSTAT_OPEN_FAILED);
  EXPECT_EQ(rt::unit_open(6, path("b"), rt::OpenOptions{}), rt::IOSTAT_BAD_UNIT);
  EXPECT_EQ(rt::write_record(11, "x"), rt::IOSTAT_NOT_OPEN);
}

TEST_F(Units, FreeUnitSkipsConnectedAndStandardUnits) {
  EXPECT_EQ(rt::free_unit(5, 7), 7);
  ASSERT_EQ(rt::unit_open(7, path("u7"), rt::OpenOptions{}), 0);
  EXPECT_EQ(rt::free_unit(5, 7), 0);
  EXPECT_TRUE(rt::unit_is_open(5));
  EXPECT_TRUE(rt::unit_is_open(6));
}

// A look at a file takes a unit from 10 on, never one a reader holds, and
// never makes the file it is given.
TEST_F(Units, OpenToLookTakesAFreeUnitOfAnExistingFileOnly) {
  ASSERT_EQ(rt::unit_open(10, path("held"), rt::OpenOptions{}), 0);
  EXPECT_EQ(rt::open_to_look(path("missing")), 0);
  EXPECT_FALSE(rt::file_exists(path("missing")));
  const int unit = rt::open_to_look(path("held"));
  EXPECT_EQ(unit, 11);
  EXPECT_EQ(rt::write_record(unit, "x"), rt::IOSTAT_WRITE_ERROR);
  rt::unit_close(unit);
  rt::unit_close(10);
}

TEST_F(Units, SequentialRecordsEndOfFileBackspaceAndRewind) {
  ASSERT_EQ(rt::unit_open(20, path("seq"), rt::OpenOptions{}), 0);
  EXPECT_EQ(rt::write_record(20, "first"), 0);
  EXPECT_EQ(rt::write_fmt(20, "(I3/A)", 42, "third"), 0);
  rt::unit_rewind(20);
  std::string rec;
  EXPECT_EQ(rt::read_record(20, rec), 0);
  EXPECT_EQ(rec, "first");
  EXPECT_EQ(rt::read_record(20, rec), 0);
  EXPECT_EQ(rec, " 42");
  EXPECT_EQ(rt::unit_backspace(20), 0);
  EXPECT_EQ(rt::read_record(20, rec), 0);
  EXPECT_EQ(rec, " 42");
  EXPECT_EQ(rt::read_record(20, rec), 0);
  EXPECT_EQ(rec, "third");
  EXPECT_EQ(rt::read_record(20, rec), rt::IOSTAT_END);
  // Writing after reading the first record makes it the last record.
  rt::unit_rewind(20);
  EXPECT_EQ(rt::read_record(20, rec), 0);
  EXPECT_EQ(rt::write_record(20, "new"), 0);
  rt::unit_rewind(20);
  EXPECT_EQ(rt::read_record(20, rec), 0);
  EXPECT_EQ(rt::read_record(20, rec), 0);
  EXPECT_EQ(rec, "new");
  EXPECT_EQ(rt::read_record(20, rec), rt::IOSTAT_END);
}

TEST_F(Units, CarriageReturnsAreNotPartOfRecords) {
  FILE* f = std::fopen(path("crlf").c_str(), "w");
  std::fputs("a\r\nb", f);
  std::fclose(f);
  rt::OpenOptions o;
  o.status = rt::OpenStatus::Old;
  o.readonly = true;
  ASSERT_EQ(rt::unit_open(21, path("crlf"), o), 0);
  std::string rec;
  EXPECT_EQ(rt::read_record(21, rec), 0);
  EXPECT_EQ(rec, "a");
  EXPECT_EQ(rt::read_record(21, rec), 0);  // a last line without terminator is a record
  EXPECT_EQ(rec, "b");
  EXPECT_EQ(rt::read_record(21, rec), rt::IOSTAT_END);
  EXPECT_EQ(rt::write_record(21, "x"), rt::IOSTAT_WRITE_ERROR);
}

TEST_F(Units, UnformattedFramingReadsBack) {
  rt::OpenOptions o;
  o.form = rt::Form::Unformatted;
  ASSERT_EQ(rt::unit_open(30, path("unf"), o), 0);
  EXPECT_EQ(rt::write_unformatted(30, std::string("abc", 3)), 0);
  EXPECT_EQ(rt::write_unformatted(30, std::string()), 0);
  EXPECT_EQ(rt::write_unformatted(30, std::string("\0\1\2\3\4", 5)), 0);
  rt::unit_close(30);
  EXPECT_EQ(fs::file_size(path("unf")), (3 + 8) + 8 + (5 + 8));
  ASSERT_EQ(rt::unit_open(30, path("unf"), o), 0);
  std::string b;
  EXPECT_EQ(rt::read_unformatted(30, b), 0);
  EXPECT_EQ(b, "abc");
  EXPECT_EQ(rt::read_unformatted(30, b), 0);
  EXPECT_EQ(b, "");
  EXPECT_EQ(rt::read_unformatted(30, b), 0);
  EXPECT_EQ(b, std::string("\0\1\2\3\4", 5));
  EXPECT_EQ(rt::unit_backspace(30), 0);
  EXPECT_EQ(rt::read_unformatted(30, b), 0);
  EXPECT_EQ(b.size(), 5u);
  EXPECT_EQ(rt::read_unformatted(30, b), rt::IOSTAT_END);
  EXPECT_EQ(rt::read_record(30, b), rt::IOSTAT_WRONG_MODE);
}

TEST_F(Units, CorruptUnformattedFrameIsAnError) {
  FILE* f = std::fopen(path("bad").c_str(), "wb");
  unsigned len = 0x7fffffff;
  std::fwrite(&len, 4, 1, f);
  std::fputs("xy", f);
  std::fclose(f);
  rt::OpenOptions o;
  o.form = rt::Form::Unformatted;
  ASSERT_EQ(rt::unit_open(31, path("bad"), o), 0);
  std::string b;
  EXPECT_EQ(rt::read_unformatted(31, b), rt::IOSTAT_READ_ERROR);
}

TEST_F(Units, DirectAccessOutOfOrder) {
  rt::OpenOptions o;
  o.form = rt::Form::Unformatted;
  o.access = rt::Access::Direct;
  o.recl = 8;
  ASSERT_EQ(rt::unit_open(40, path("dir"), o), 0);
  EXPECT_EQ(rt::write_direct(40, 3, "third"), 0);
  EXPECT_EQ(rt::write_direct(40, 1, "first123"), 0);
  EXPECT_EQ(rt::write_direct(40, 1, "toolong!!"), rt::IOSTAT_BAD_RECORD);
  std::string b;
  EXPECT_EQ(rt::read_direct(40, 3, b), 0);
  EXPECT_EQ(b, std::string("third\0\0\0", 8));
  EXPECT_EQ(rt::read_direct(40, 1, b), 0);
  EXPECT_EQ(b, "first123");
  EXPECT_EQ(rt::read_direct(40, 2, b), 0);  // never written: zero bytes
  EXPECT_EQ(b, std::string(8, '\0'));
  EXPECT_EQ(rt::read_direct(40, 9, b), rt::IOSTAT_END);
  EXPECT_EQ(rt::read_direct(40, 0, b), rt::IOSTAT_BAD_RECORD);
  EXPECT_EQ(fs::file_size(path("dir")), 24u);
}

TEST_F(Units, ScratchFilesLeaveNothingBehind) {
  const auto before = std::distance(fs::directory_iterator(dir), fs::directory_iterator{});
  rt::OpenOptions s;
  s.status = rt::OpenStatus::Scratch;
  ASSERT_EQ(rt::unit_open(50, path("named_scratch"), s), 0);
  EXPECT_EQ(rt::write_record(50, "tmp"), 0);
  rt::unit_rewind(50);
  std::string rec;
  EXPECT_EQ(rt::read_record(50, rec), 0);
  EXPECT_EQ(rec, "tmp");
  rt::unit_close(50);
  EXPECT_FALSE(fs::exists(path("named_scratch")));
  ASSERT_EQ(rt::unit_open(51, "", s), 0);
  EXPECT_EQ(rt::write_record(51, "anon"), 0);
  EXPECT_FALSE(rt::file_exists(rt::unit_file_name(51)));
  rt::unit_close(51);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), before);
}

TEST_F(Units, CloseWithDelete) {
  ASSERT_EQ(rt::unit_open(60, path("del"), rt::OpenOptions{}), 0);
  rt::write_record(60, "x");
  EXPECT_EQ(rt::unit_close(60, true), 0);
  EXPECT_FALSE(fs::exists(path("del")));
  EXPECT_EQ(rt::unit_close(60), 0);  // closing a closed unit is harmless
}

TEST_F(Units, CloseOnAFullDeviceFailsAndRemovesOnlyPlainFiles) {
  const std::string full = path("full");
  ASSERT_EQ(::symlink("/dev/full", full.c_str()), 0);
  // The record fits the buffer: the loss shows when the unit is closed.
  ASSERT_EQ(rt::unit_open(61, full, rt::OpenOptions{}), 0);
  EXPECT_EQ(rt::write_record(61, "lost"), 0);
  EXPECT_NE(rt::unit_close_or_remove(61), 0);
  EXPECT_TRUE(fs::is_symlink(full)) << "what leads to a device is never removed";
  ASSERT_EQ(rt::unit_open(61, full, rt::OpenOptions{}), 0);
  rt::unit_close(61, true);
  EXPECT_TRUE(fs::is_symlink(full));

  // A plain file whose close succeeds is kept.
  ASSERT_EQ(rt::unit_open(62, path("kept"), rt::OpenOptions{}), 0);
  rt::write_record(62, "x");
  EXPECT_EQ(rt::unit_close_or_remove(62), 0);
  EXPECT_TRUE(fs::exists(path("kept")));
}

TEST_F(Units, LongLinesKeepTheLimitAndSkipTheRest) {
  const std::string huge(3'000'000, 'x');
  {
    std::FILE* f = std::fopen(path("long").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const std::string text = "ab\r\n" + std::string("12345678") + huge + "\nnext\r\n" +
                             std::string("n\0l", 3) + "\n" + huge;  // no end to the last line
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  rt::OpenOptions o;
  o.status = rt::OpenStatus::Old;
  ASSERT_EQ(rt::unit_open(63, path("long"), o), 0);
  std::string rec;
  const struct {
    const char* label;
    std::string want;
  } rows[] = {
      {"carriage return dropped", "ab"},
      {"cut at the limit", "12345678"},
      {"the line after the long one", "next"},
      {"a NUL inside is kept", std::string("n\0l", 3)},
      {"an endless last line is cut too", "xxxxxxxx"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.label);
    ASSERT_EQ(rt::read_record(63, rec, 8), rt::IOSTAT_OK);
    EXPECT_EQ(rec, r.want);
    EXPECT_LT(rec.capacity(), 4096u) << "memory must not grow with the line";
  }
  EXPECT_EQ(rt::read_record(63, rec, 8), rt::IOSTAT_END);
}

// A plain file is read ahead in blocks: what was read ahead must not move the
// place where a write, a backspace or a rewind acts.
TEST_F(Units, ReadingAheadDoesNotMoveWritesOrBackspaces) {
  ASSERT_EQ(rt::unit_open(22, path("many"), rt::OpenOptions{}), 0);
  for (int i = 1; i <= 20000; ++i) ASSERT_EQ(rt::write_record(22, "record " + std::to_string(i)), 0);
  rt::unit_rewind(22);
  std::string rec;
  std::string_view view;
  for (int i = 1; i <= 3; ++i) ASSERT_EQ(rt::read_record(22, rec), 0);
  EXPECT_EQ(rt::unit_backspace(22), 0);
  ASSERT_EQ(rt::read_record_view(22, view), 0);
  EXPECT_EQ(view, "record 3");
  EXPECT_EQ(rt::write_record(22, "last"), 0);
  rt::unit_rewind(22);
  int n = 0;
  while (rt::read_record(22, rec) == 0) ++n;
  EXPECT_EQ(n, 4);
  EXPECT_EQ(rec, "") << "a failed read leaves no record";
  rt::unit_backspace(22);
  ASSERT_EQ(rt::read_record(22, rec), 0);
  EXPECT_EQ(rec, "last");
}

// Standard input and pipes are read line by line through stdio, with the
// same rules.
TEST_F(Units, PipesAreReadWithTheSameRules) {
  const std::string fifo = path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] {
    std::FILE* f = std::fopen(fifo.c_str(), "wb");
    std::fputs("ab\r\n0123456789\r\n\nlast", f);
    std::fclose(f);
  });
  rt::OpenOptions o;
  o.status = rt::OpenStatus::Old;
  o.readonly = true;
  ASSERT_EQ(rt::unit_open(23, fifo, o), 0);
  std::string_view view;
  for (const char* want : {"ab", "01234567", "", "last"}) {
    ASSERT_EQ(rt::read_record_view(23, view, 8), 0);
    EXPECT_EQ(view, want);
  }
  EXPECT_EQ(rt::read_record_view(23, view, 8), rt::IOSTAT_END);
  writer.join();
}

// A reader of its own (the symmetry library's, the keyword parser's) and a
// unit read one copy of a stream, however often it is opened, and the
// reader keeps it after the run forgets it.
TEST_F(Units, EveryOpenOfAStreamReadsOneCopy) {
  const std::string fifo = path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] {
    std::FILE* f = std::fopen(fifo.c_str(), "wb");
    std::fputs("symop x,y,z\n", f);
    std::fclose(f);
  });
  std::FILE* first = rt::open_input_file(fifo);
  std::FILE* second = rt::open_input_file(fifo);
  writer.join();
  rt::OpenOptions o;
  o.status = rt::OpenStatus::Old;
  ASSERT_EQ(rt::unit_open(23, fifo, o), 0);
  std::string rec;
  EXPECT_EQ(rt::read_record(23, rec), 0);
  EXPECT_EQ(rec, "symop x,y,z");
  rt::close_all_units();
  for (std::FILE* f : {first, second}) {
    char line[32] = {};
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(std::fgets(line, sizeof line, f), "symop x,y,z\n");
    std::fclose(f);
  }
}

TEST_F(Units, HighestUnitNumbersAreFoundAndClosedWithTheRest) {
  ASSERT_EQ(rt::unit_open(rt::MAX_UNIT, path("top"), rt::OpenOptions{}), 0);
  ASSERT_EQ(rt::unit_open(7, path("low"), rt::OpenOptions{}), 0);
  EXPECT_EQ(rt::unit_of_file(path("top")), rt::MAX_UNIT);
  rt::close_all_units();
  EXPECT_FALSE(rt::unit_is_open(rt::MAX_UNIT));
  EXPECT_FALSE(rt::unit_is_open(7));
  EXPECT_TRUE(rt::unit_is_open(5)) << "standard input stays connected";
}

// The account keeps what a run may take back: files it created or wrote and
// left open.  A file written whole stays, and so do files of units opened
// before the account, such as a log, even when they are written under it,
// and files only read.
TEST_F(Units, OutputAccountDiscardsOnlyWhatWasLeftUnfinished) {
  ASSERT_EQ(rt::unit_open(70, path("log"), rt::OpenOptions{}), 0);
  std::FILE* f = std::fopen(path("input").c_str(), "w");
  std::fputs("model\n", f);
  std::fclose(f);
  rt::output_account_start();
  rt::write_record(70, "written under the account");
  ASSERT_EQ(rt::unit_open(71, path("whole"), rt::OpenOptions{}), 0);
  rt::write_record(71, "x");
  EXPECT_EQ(rt::unit_close(71), 0);
  ASSERT_EQ(rt::unit_open(72, path("cut"), rt::OpenOptions{}), 0);
  rt::write_record(72, "x");
  ASSERT_EQ(rt::unit_open(73, path("empty"), rt::OpenOptions{}), 0);
  ASSERT_EQ(rt::unit_open(74, path("input"), rt::OpenOptions{}), 0);
  std::string rec;
  EXPECT_EQ(rt::read_record(74, rec), 0);

  EXPECT_EQ(rt::output_account_discard(), (std::vector<std::string>{path("cut"), path("empty")}));
  rt::output_account_stop();
  EXPECT_FALSE(fs::exists(path("cut")));
  EXPECT_FALSE(fs::exists(path("empty")));
  EXPECT_TRUE(fs::exists(path("whole")));
  EXPECT_TRUE(fs::exists(path("input")));
  EXPECT_TRUE(rt::unit_is_open(70));
  EXPECT_TRUE(rt::unit_is_open(74));
  EXPECT_TRUE(rt::output_account_lost().empty());
}

// A file read back under the account gives the records written, or none:
// one changed since its close is refused at the first read, until the run
// writes it again.
TEST_F(Units, OutputAccountReadsBackOnlyWhatWasWritten) {
  rt::output_account_start();
  ASSERT_EQ(rt::unit_open(76, path("same"), rt::OpenOptions{}), 0);
  rt::write_record(76, "row");
  ASSERT_EQ(rt::unit_close(76), 0);
  ASSERT_EQ(rt::unit_open(76, path("same"), rt::OpenOptions{}), 0);
  std::string rec;
  EXPECT_EQ(rt::read_record(76, rec), 0);
  EXPECT_EQ(rec, "row");
  rt::unit_close(76);

  ASSERT_EQ(rt::unit_open(77, path("changed"), rt::OpenOptions{}), 0);
  rt::write_record(77, "row");
  ASSERT_EQ(rt::unit_close(77), 0);
  std::FILE* f = std::fopen(path("changed").c_str(), "a");
  std::fputs("added\n", f);
  std::fclose(f);
  ASSERT_EQ(rt::unit_open(77, path("changed"), rt::OpenOptions{}), 0);
  EXPECT_EQ(rt::read_record(77, rec), rt::IOSTAT_READ_ERROR);
  // Written again, the file is the run's own once more.
  rt::write_record(77, "again");
  ASSERT_EQ(rt::unit_close(77), 0);
  ASSERT_EQ(rt::unit_open(77, path("changed"), rt::OpenOptions{}), 0);
  EXPECT_EQ(rt::read_record(77, rec), 0);
  EXPECT_EQ(rec, "again");
  rt::unit_close(77);
  rt::output_account_stop();
}
