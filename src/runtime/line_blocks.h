// Lines of a file read in large blocks and handed out as views into the
// block, without a copy per line.  A record file on a plain file is read this
// way; a stream that cannot be repositioned (standard input, a pipe) is not,
// since what was read ahead could not be given back to it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace rt {

class LineBlockReader {
 public:
  static constexpr std::size_t kBlock = 64 * 1024;

  // `block` is the size of one read; tests make it small to put block
  // boundaries inside lines.
  explicit LineBlockReader(std::FILE* fp, std::size_t block = kBlock);

  // The next line without its terminator, at most `limit` characters of it
  // (the rest of a longer line is skipped); a carriage return ending a line
  // that was not cut is dropped.  A last line without terminator is a line.
  // The view holds until the next call.  Returns an iostat value.
  int next(std::string_view& line, std::size_t limit);

  // Moves the file position back over what was read ahead and not handed
  // out, so that the stream stands after the last line handed out.  Called
  // before anything else is done with the stream.
  void give_back();

  // The file's place of the next line, and a return to it: the lines from
  // there stay in the block while lines are read on, until they fill it,
  // so that a look a few lines ahead and back reads and seeks nothing.
  // -1 where the stream tells no place.
  long mark();
  // False where the place is no longer in the block (the look went on
  // past a block's worth, or gave a line longer than one); the caller then
  // seeks to it.  Either way the lines marked are no longer kept.
  bool return_to(long place);

 private:
  // Reads more of the file behind what is held; false at end of file or
  // after a read error (err_ set).
  bool fill();
  int long_line(std::string_view& line, std::size_t limit);

  std::FILE* fp_;
  std::size_t cap_;
  std::unique_ptr<char[]> buf_;
  std::size_t pos_ = 0;  // first character not handed out
  std::size_t end_ = 0;  // end of what was read
  bool err_ = false;
  // The file's place of the block's first character; -1 until a mark asks
  // for it, and after the stream may have been moved.
  long base_ = -1;
  // The first character kept for a return to a mark; kNone: none.
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t hold_ = kNone;
  // A line longer than a block, kept up to its limit.
  std::string spill_;
};

}  // namespace rt
