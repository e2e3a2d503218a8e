// Machine stamps and number conversion: the four real-format converters on
// their bit patterns, stamps written and read, the environment switches and
// typed transfers across byte orders.
#include "reflections/machine_stamp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "mtz_image.h"
#include "reflections/library_file.h"
#include "suite/ptq7_errno.h"
#include "support/capture.h"

namespace {

using mtz_test::TempFile;

std::string be_bytes(uint32_t u) {
  return {static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
          static_cast<char>(u)};
}

uint32_t be_word(const unsigned char* b) {
  return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
}

uint32_t convert(void (*f)(unsigned char*, std::size_t), uint32_t in) {
  unsigned char b[4];
  std::memcpy(b, be_bytes(in).data(), 4);
  f(b, 1);
  return be_word(b);
}

// Restores the two switches after each test.
class MachineStamp : public testing::Test {
 protected:
  void SetUp() override {
    save("NATIVEMTZ", native_);
    save("CONVERT_FROM", from_);
  }
  void TearDown() override {
    restore("NATIVEMTZ", native_);
    restore("CONVERT_FROM", from_);
  }

 private:
  static void save(const char* name, std::string& keep) {
    const char* v = std::getenv(name);
    keep = v ? std::string("=") + v : "";
    ::unsetenv(name);
  }
  static void restore(const char* name, const std::string& keep) {
    if (keep.empty()) ::unsetenv(name);
    else ::setenv(name, keep.c_str() + 1, 1);
  }
  std::string native_, from_;
};

TEST(RealConverters, IeeeToConvexAndBack) {
  struct Case {
    const char* label;
    uint32_t ieee, convex, back;
  };
  const Case cases[] = {
      {"one", 0x3F800000, 0x40800000, 0x3F800000},
      {"minus two", 0xC0000000, 0xC1000000, 0xC0000000},
      {"largest exponent that fits", 0x7E800000, 0x7F800000, 0x7E800000},
      {"exponent 254 overflows", 0x7F000001, 0x80000000, 0xFF800000},
      {"infinity", 0x7F800000, 0x80000000, 0xFF800000},
      {"NaN keeps its fraction", 0x7FC00001, 0x80400001, 0xFFC00001},
      {"missing-number pattern", 0xFFFA5A5A, 0x807A5A5A, 0xFFFA5A5A},
      {"denormal 2^-127", 0x00400000, 0x01000000, 0x00400000},
      {"negative denormal 2^-127 + fraction", 0x80600001, 0x81400002, 0x80600001},
      {"denormal 2^-128", 0x00200000, 0x00800000, 0x00200000},
      {"denormal 2^-128 with low bits", 0x00300003, 0x00C0000C, 0x00300003},
      {"denormal 2^-129 flushes", 0x00100000, 0x00000000, 0x00000000},
      {"plus zero", 0x00000000, 0x00000000, 0x00000000},
      {"minus zero becomes zero", 0x80000000, 0x00000000, 0x00000000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(convert(ieeeF2convexF, c.ieee), c.convex);
    EXPECT_EQ(convert(convexF2ieeeF, c.convex), c.back);
  }
}

TEST(RealConverters, VaxIsConvexWithSwappedHalves) {
  struct Case {
    const char* label;
    uint32_t ieee, vax_bytes_be;
  };
  const Case cases[] = {
      {"one", 0x3F800000, 0x80400000},
      {"pi", 0x40490FDB, 0x4941DB0F},
      {"denormal 2^-127", 0x00400000, 0x00010000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(convert(ieeeF2vaxF, c.ieee), c.vax_bytes_be);
    EXPECT_EQ(convert(vaxF2ieeeF, c.vax_bytes_be), c.ieee);
  }
  ieeeF2vaxF(nullptr, 3);  // a null buffer is left alone
}

TEST_F(MachineStamp, StampBytesAndReadBack) {
  struct Case {
    const char* label;
    int code;
    std::string bytes;
    int arch;
  };
  const Case cases[] = {
      {"little-endian IEEE", 4, std::string("\x44\x41\0\0", 4), 0x0404},
      {"big-endian IEEE", 1, std::string("\x11\x11\0\0", 4), 0x0101},
      {"VAX", 2, std::string("\x22\x41\0\0", 4), 0x0402},
      {"Convex", 5, std::string("\x55\x11\0\0", 4), 0x0105},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempFile t;
    LibraryFileHandle w(ptq7_file_open(t.c_str(), PTQ7_FILE_OPEN_WRITE));
    ptq7_file_setbyte(w.get(), c.code);
    ptq7_file_setstamp(w.get(), 2);
    ASSERT_EQ(ptq7_file_warch(w.get()), 0);
    w.reset();
    EXPECT_EQ(t.read(), std::string(8, '\0') + c.bytes);
    LibraryFileHandle r(ptq7_file_open(t.c_str(), 0));
    ptq7_file_setstamp(r.get(), 2);
    EXPECT_EQ(ptq7_file_rarch(r.get()), c.arch);
  }
}

TEST_F(MachineStamp, EnvironmentOverridesTheStamp) {
  TempFile t;
  t.write(std::string("\x11\x11\0\0", 4));
  ::setenv("CONVERT_FROM", "VAX", 1);
  LibraryFileHandle vax(ptq7_file_open(t.c_str(), 0));
  EXPECT_EQ(ptq7_file_byte(vax.get()), 0x0402);
  EXPECT_EQ(ptq7_file_rarch(vax.get()), 0x0402);
  ::setenv("CONVERT_FROM", "PDP11", 1);
  LibraryFileHandle odd(ptq7_file_open(t.c_str(), 0));
  EXPECT_EQ(ptq7_file_byte(odd.get()), 0);
  float v;
  captured([&] { EXPECT_EQ(ptq7_file_readfloat(odd.get(), &v, 1), -1); });
  ::setenv("NATIVEMTZ", "", 1);
  LibraryFileHandle native(ptq7_file_open(t.c_str(), 0));
  const int native_code = PTQ7_NATIVE_INT_FORMAT * 256 + PTQ7_NATIVE_REAL_FORMAT;
  EXPECT_EQ(ptq7_file_rarch(native.get()), native_code);
  EXPECT_EQ(ptq7_file_byte(native.get()), native_code);
}

TEST_F(MachineStamp, SetByteRefusesUnknownCodes) {
  TempFile t;
  LibraryFileHandle f(ptq7_file_open(t.c_str(), PTQ7_FILE_OPEN_WRITE));
  const int before = ptq7_file_byte(f.get());
  captured([&] { EXPECT_EQ(ptq7_file_setbyte(f.get(), 3), 0); });
  EXPECT_EQ(ptq7_errno, ptq7_error_word(PTQ7_ERRNO_FILE, PTQ7_LEVEL_ERROR, 1));
  EXPECT_EQ(ptq7_file_byte(f.get()), before);
  EXPECT_EQ(ptq7_file_setbyte(f.get(), 2), before);
  EXPECT_EQ(ptq7_file_byte(f.get()), 0x0402);
}

TEST_F(MachineStamp, BigEndianFileWrittenAndReadBack) {
  TempFile t;
  const float reals[3] = {1.0f, -2.5f, mtz_test::from_bits(mtz_test::NAN_WORD)};
  const int32_t ints[2] = {21, -370086};
  const int16_t shorts[2] = {0x0102, -2};
  {
    LibraryFileHandle w(ptq7_file_open(t.c_str(), PTQ7_FILE_OPEN_WRITE));
    ptq7_file_setbyte(w.get(), 1);
    ASSERT_EQ(ptq7_file_writefloat(w.get(), reals, 3), 3);
    ASSERT_EQ(ptq7_file_writeint(w.get(), ints, 2), 2);
    ASSERT_EQ(ptq7_file_writeshort(w.get(), shorts, 2), 2);
  }
  EXPECT_FLOAT_EQ(reals[1], -2.5f);  // the caller's buffer is not converted
  EXPECT_EQ(t.read(), be_bytes(0x3F800000) + be_bytes(0xC0200000) + be_bytes(0xFFFA5A5A) +
                          be_bytes(21) + be_bytes(0xFFFA5A5A) + std::string("\x01\x02\xFF\xFE", 4));
  LibraryFileHandle r(ptq7_file_open(t.c_str(), 0));
  ptq7_file_setbyte(r.get(), 1);
  float rb[3];
  int32_t ib[2];
  int16_t sb[2];
  ASSERT_EQ(ptq7_file_readfloat(r.get(), rb, 3), 3);
  ASSERT_EQ(ptq7_file_readint(r.get(), ib, 2), 2);
  ASSERT_EQ(ptq7_file_readshort(r.get(), sb, 2), 2);
  EXPECT_EQ(mtz_test::bits(rb[0]), 0x3F800000u);
  EXPECT_EQ(mtz_test::bits(rb[2]), mtz_test::NAN_WORD);
  EXPECT_EQ(ib[1], -370086);
  EXPECT_EQ(sb[0], 0x0102);
  EXPECT_EQ(sb[1], -2);
}

TEST_F(MachineStamp, ConvexAndVaxRealsReadAsNative) {
  for (int code : {2, 5}) {
    SCOPED_TRACE(code);
    TempFile t;
    {
      LibraryFileHandle w(ptq7_file_open(t.c_str(), PTQ7_FILE_OPEN_WRITE));
      ptq7_file_setbyte(w.get(), code);
      const float v[2] = {1.0f, -0.15625f};
      ASSERT_EQ(ptq7_file_writecomp(w.get(), v, 1), 1);
    }
    LibraryFileHandle r(ptq7_file_open(t.c_str(), 0));
    ptq7_file_setbyte(r.get(), code);
    float back[2];
    ASSERT_EQ(ptq7_file_readcomp(r.get(), back, 1), 1);
    EXPECT_EQ(back[0], 1.0f);
    EXPECT_EQ(back[1], -0.15625f);
  }
}

TEST_F(MachineStamp, UnconvertibleIntegerFormatIsBadMode) {
  TempFile t;
  t.write("\x01\x02\x03\x04");
  LibraryFileHandle f(ptq7_file_open(t.c_str(), 0));
  f->int_format = 2;
  int16_t s[2];
  const std::string out = captured([&] { EXPECT_EQ(ptq7_file_readshort(f.get(), s, 2), -1); });
  EXPECT_NE(out.find("library_file:Bad mode (Error)\n\t raised in ptq7_file_readshort"),
            std::string::npos);
}

TEST_F(MachineStamp, ShortTypedReadAtEndOfFile) {
  TempFile t;
  t.write(std::string(12, '\0'));
  LibraryFileHandle f(ptq7_file_open(t.c_str(), 0));
  float v[5];
  captured([&] { EXPECT_EQ(ptq7_file_readfloat(f.get(), v, 5), 0); });
  EXPECT_EQ(ptq7_file_status(f.get()), 9);
}

}  // namespace
