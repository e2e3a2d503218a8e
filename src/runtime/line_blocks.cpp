// Block-read lines.  The block is searched for line ends with memchr; a line
// cut by the end of the block is moved to the front and the block refilled
// behind it, so that every line but one longer than the block is handed out
// where it lies.
#include "runtime/line_blocks.h"

#include <cstring>

#include "runtime/units.h"

namespace rt {

namespace {

// The limit and the carriage return, as every record read keeps them.
int finish(std::string_view& line, std::size_t full_length, std::size_t limit) {
  if (full_length > limit)
    line = line.substr(0, limit);
  else if (!line.empty() && line.back() == '\r')
    line.remove_suffix(1);
  return IOSTAT_OK;
}

}  // namespace

LineBlockReader::LineBlockReader(std::FILE* fp, std::size_t block)
    : fp_(fp), cap_(block > 0 ? block : 1), buf_(new char[cap_]) {}

bool LineBlockReader::fill() {
  const std::size_t got = std::fread(buf_.get() + end_, 1, cap_ - end_, fp_);
  end_ += got;
  if (got > 0) return true;
  err_ = std::ferror(fp_) != 0;
  // End of file is not kept: a file that grows can be read on.
  std::clearerr(fp_);
  return false;
}

int LineBlockReader::next(std::string_view& line, std::size_t limit) {
  char* const buf = buf_.get();
  std::size_t scanned = pos_;
  for (;;) {
    const void* nl = std::memchr(buf + scanned, '\n', end_ - scanned);
    if (nl != nullptr) {
      const std::size_t n = static_cast<std::size_t>(static_cast<const char*>(nl) - (buf + pos_));
      line = std::string_view(buf + pos_, n);
      pos_ += n + 1;
      return finish(line, n, limit);
    }
    if (end_ - pos_ >= cap_) return long_line(line, limit);
    if (hold_ != kNone && end_ - hold_ >= cap_) hold_ = kNone;
    const std::size_t from = hold_ < pos_ ? hold_ : pos_;
    if (from > 0) {
      std::memmove(buf, buf + from, end_ - from);
      end_ -= from;
      pos_ -= from;
      if (hold_ != kNone) hold_ -= from;
      if (base_ >= 0) base_ += static_cast<long>(from);
    }
    scanned = end_;
    if (!fill()) {
      if (err_) {
        err_ = false;
        return IOSTAT_READ_ERROR;
      }
      if (end_ == pos_) return IOSTAT_END;
      const std::size_t n = end_ - pos_;
      line = std::string_view(buf + pos_, n);
      pos_ = end_;
      return finish(line, n, limit);
    }
  }
}

// The block holds nothing but the start of one line: what the limit keeps
// goes aside, and the rest of the line is read through and dropped, so that
// memory never grows with the length of a line.
int LineBlockReader::long_line(std::string_view& line, std::size_t limit) {
  char* const buf = buf_.get();
  spill_.assign(buf, cap_ < limit ? cap_ : limit);
  std::size_t total = cap_;
  pos_ = end_ = 0;
  hold_ = kNone;
  base_ = -1;
  for (;;) {
    if (!fill()) {
      if (err_) {
        err_ = false;
        return IOSTAT_READ_ERROR;
      }
      break;  // end of file ends the line
    }
    const void* nl = std::memchr(buf, '\n', end_);
    const std::size_t n =
        nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - buf) : end_;
    if (spill_.size() < limit) spill_.append(buf, n < limit - spill_.size() ? n : limit - spill_.size());
    total += n;
    if (nl != nullptr) {
      pos_ = n + 1;
      break;
    }
    pos_ = end_ = 0;
  }
  line = spill_;
  return finish(line, total, limit);
}

void LineBlockReader::give_back() {
  if (end_ > pos_) std::fseek(fp_, -static_cast<long>(end_ - pos_), SEEK_CUR);
  pos_ = end_ = 0;
  hold_ = kNone;
  base_ = -1;
}

// The stream stands right after the block's last character whenever the
// reader holds it, so that its place, asked once, follows the block.
long LineBlockReader::mark() {
  if (base_ < 0) {
    const long at = std::ftell(fp_);
    if (at < 0) return -1;
    base_ = at - static_cast<long>(end_);
  }
  hold_ = pos_;
  return base_ + static_cast<long>(pos_);
}

bool LineBlockReader::return_to(long place) {
  hold_ = kNone;
  if (base_ < 0 || place < base_ || place > base_ + static_cast<long>(end_)) return false;
  pos_ = static_cast<std::size_t>(place - base_);
  return true;
}

}  // namespace rt
