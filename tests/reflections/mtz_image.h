// Reflection files built byte by byte from the format: "MTZ ", the header
// word, the machine stamp, rows of 4-byte reals from byte 80, then the
// 80-character header records (with binary batch blocks among them), in
// either byte order.
#pragma once

#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace mtz_test {

inline uint32_t bits(float f) { return std::bit_cast<uint32_t>(f); }
inline float from_bits(uint32_t u) { return std::bit_cast<float>(u); }
inline constexpr uint32_t NAN_WORD = 0xFFFA5A5Au;

class MtzImage {
 public:
  explicit MtzImage(bool big_endian) : big_(big_endian) {}

  void word(uint32_t u, std::string& out) const {
    for (int i = 0; i < 4; ++i) {
      const int shift = big_ ? 24 - 8 * i : 8 * i;
      out.push_back(static_cast<char>((u >> shift) & 0xFF));
    }
  }
  // One header record, blank padded to 80 characters.
  MtzImage& rec(const std::string& text) {
    std::string r = text.substr(0, 80);
    r.resize(80, ' ');
    header += r;
    return *this;
  }
  MtzImage& ints(const std::vector<int32_t>& v) {
    for (int32_t i : v) word(static_cast<uint32_t>(i), header);
    return *this;
  }
  MtzImage& reals(const std::vector<float>& v) {
    for (float f : v) word(bits(f), header);
    return *this;
  }
  // Appends a row of values (words, so NaN patterns pass untouched).
  MtzImage& row(const std::vector<uint32_t>& v) {
    for (uint32_t u : v) word(u, rows);
    return *this;
  }

  std::string bytes() const {
    std::string out = magic;
    word(header_word != 0 ? header_word : static_cast<uint32_t>(rows.size() / 4 + 21), out);
    if (stamp) {
      const char s = big_ ? '\x11' : '\x44';
      out += std::string{s, big_ ? '\x11' : '\x41', '\0', '\0'};
    } else {
      out += std::string(4, '\0');
    }
    out += std::string(68, '\0');
    return out + rows + header;
  }

  std::string magic = "MTZ ";
  bool stamp = true;
  uint32_t header_word = 0;  // 0: right behind the rows
  std::string rows;
  std::string header;

 private:
  bool big_;
};

// A file in a fresh directory, removed with the object.
class TempFile {
 public:
  explicit TempFile(const std::string& name = "test.mtz") {
    path_ = dir_.file(name);
  }
  const std::string& path() const { return path_; }
  const char* c_str() const { return path_.c_str(); }
  void write(const std::string& bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }
  std::string read() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  TempDir dir_;
  std::string path_;
};

}  // namespace mtz_test
