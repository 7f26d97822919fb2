#include "storage/file_header.h"

#include <array>
#include <cstring>

#include <gtest/gtest.h>

#include "storage/bytes.h"
#include "storage/cipher.h"
#include "storage/internal_fault.h"

namespace tentaria::storage {
namespace {

TEST(FileHeaderTest, RoundTripsAndLaysOutFieldsAtTheirOffsets) {
  FileHeader h;
  h.committed_end = 0x1234;
  h.journal_end = 0x2234;
  h.change_count = 7;
  h.root = 42;
  h.range_start[1] = h.range_end[1] = 0;
  h.range_start[3] = 0;
  h.range_end[3] = 6;
  for (int i = 4; i <= kMaxClass; ++i) h.range_start[i] = h.range_end[i] = 6;
  uint8_t bytes[kHeaderSize];
  EncodeHeader(h, bytes);
  EXPECT_EQ(LoadU16(bytes + 4), 0x200);
  EXPECT_EQ(std::memcmp(bytes + 14, "tAvR", 4), 0);
  EXPECT_EQ(LoadU32(bytes + 28), 42u);
  EXPECT_EQ(LoadU32(bytes + 32 + 4 * 3), 0u);
  EXPECT_EQ(LoadU32(bytes + 272 + 4 * 3), 6u);
  FileHeader back;
  ASSERT_TRUE(DecodeHeader(bytes, kHeaderSize, &back).ok());
  EXPECT_EQ(back.journal_end, 0x2234u);
  EXPECT_EQ(back.UsedEnd(), 512u + 6 * 256);
  int c = 0;
  ASSERT_TRUE(back.ClassOf(3, &c).ok());
  EXPECT_EQ(c, 3);
  EXPECT_EQ(InternalFaultNumber(back.ClassOf(6, &c)), fault::kNoSizeClass);
}

TEST(FileHeaderTest, ShortForeignAndMalformedHeadersAreRefused) {
  uint8_t bytes[kHeaderSize];
  EncodeHeader(NewFileHeader(), bytes);
  FileHeader h;
  EXPECT_EQ(DecodeHeader(bytes, 511, &h).code(), error_code::kInvalidDataFile);
  bytes[17] = 'r';
  EXPECT_EQ(DecodeHeader(bytes, kHeaderSize, &h).code(), error_code::kInvalidDataFile);
  bytes[17] = 'R';
  StoreU32(bytes + 272 + 4 * 2, 3);  // range 2 holding 1.5 pages
  EXPECT_EQ(InternalFaultNumber(DecodeHeader(bytes, kHeaderSize, &h)), fault::kRangeTable);
  StoreU32(bytes + 272 + 4 * 2, 0);
  StoreU32(bytes + 32 + 4 * 5, 10);  // range 5 starting above range 6
  StoreU32(bytes + 272 + 4 * 5, 10);
  EXPECT_EQ(InternalFaultNumber(DecodeHeader(bytes, kHeaderSize, &h)), fault::kRangeTable);
}

TEST(FileHeaderTest, NumberCounterCarriesAndStopsBelowFE) {
  FileHeader h;
  h.last_number = {0x00, 0x00, 0x01, 0xFF};
  uint32_t n = 0;
  ASSERT_TRUE(h.IssueNumber(&n).ok());
  EXPECT_EQ(n, 0x200u);
  h.last_number = {0xFD, 0xFF, 0xFF, 0xFE};
  ASSERT_TRUE(h.IssueNumber(&n).ok());
  EXPECT_EQ(n, 0xFDFFFFFFu);
  EXPECT_EQ(InternalFaultNumber(h.IssueNumber(&n)), fault::kNumbersExhausted);
  EXPECT_EQ(n, 0xFDFFFFFFu);
}

TEST(CipherTest, UnitsRoundTripAndDifferByPassword) {
  uint8_t plain[128];
  for (int i = 0; i < 128; ++i) plain[i] = static_cast<uint8_t>(i * 37);
  uint8_t data[128];
  std::memcpy(data, plain, sizeof data);
  Cipher cipher("owner");
  cipher.Encipher(data, sizeof data);
  EXPECT_NE(std::memcmp(data, plain, sizeof data), 0);
  // Units are enciphered alike wherever they lie.
  uint8_t second[64];
  std::memcpy(second, plain, 64);
  cipher.Encipher(second, 64);
  EXPECT_EQ(std::memcmp(second, data, 64), 0);
  cipher.Decipher(data, sizeof data);
  EXPECT_EQ(std::memcmp(data, plain, sizeof data), 0);
  EXPECT_NE(Cipher("owner").key(), Cipher("owneR").key());
}

// Worked out by hand from the key rules for the password "ab": the walk
// over "ab" and its terminator, the bytes stored at 17c mod 64, the block
// enciphered twice with itself; then one unit holding the words 0..15.
TEST(CipherTest, KnownKeyAndUnit) {
  Cipher cipher("ab");
  std::array<uint32_t, 16> key = {0x9136e1d0, 0xbcb4a244, 0xa3012862, 0x3e6bfb5a,
                                  0x0ac49428, 0xd2eabbd4, 0xf38384f2, 0x1e5e3a74,
                                  0xab10f54c, 0x6ecceef8, 0x425c564c, 0xb3edfd34,
                                  0xd254549c, 0xe2aedd74, 0x515a4864, 0xe4b13f98};
  EXPECT_EQ(cipher.key(), key);
  uint8_t unit[64];
  for (uint32_t i = 0; i < 16; ++i) StoreU32(unit + 4 * i, i);
  cipher.Encipher(unit, 64);
  std::array<uint32_t, 16> expected = {0x9136e1d0, 0xbcb4a244, 0x96848556, 0x3e6bfb5c,
                                       0x517250ae, 0xd3ebbff8, 0xf383acf8, 0xff7efbf9,
                                       0x8532571f, 0x7fedf004, 0x02454a11, 0xb3fdfdff,
                                       0x5328aa11, 0xf6eedd83, 0xf5ff5ee9, 0xf6fdbfa1};
  for (size_t i = 0; i < 16; ++i) EXPECT_EQ(LoadU32(unit + 4 * i), expected[i]) << i;
}

}  // namespace
}  // namespace tentaria::storage
