// The byte-level formats: page compression, packed records, page images.
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "storage/bytes.h"
#include "storage/internal_fault.h"
#include "storage/page.h"
#include "storage/page_codec.h"
#include "storage/page_compression.h"
#include "storage/page_image.h"

namespace tentaria::storage {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& input) {
  std::string out;
  if (!CompressPage(input.data(), input.size(), &out)) return {};
  return std::vector<uint8_t>(out.begin(), out.end());
}

TEST(PageCompressionTest, RunsOfFourOrMoreOnly) {
  // Three equal bytes stay literal: nothing to compress.
  EXPECT_TRUE(Compress(Bytes({1, 7, 7, 7, 2})).empty());
  // Four make a run: literal "1 7", run of 3 more, literal "2".
  EXPECT_EQ(Compress(Bytes({1, 7, 7, 7, 7, 2})), Bytes({2, 1, 7, 3, 1, 2}));
  // A run at the very start: a literal count of 1 holding its byte.
  EXPECT_EQ(Compress(Bytes({9, 9, 9, 9, 9})), Bytes({1, 9, 4, 0}));
}

TEST(PageCompressionTest, CountsOf128AndMoreTakeSeveralBytes) {
  std::vector<uint8_t> input(129, 0x55);
  EXPECT_EQ(Compress(input), Bytes({1, 0x55, 0x80, 0x01, 0}));
  std::vector<uint8_t> out(129);
  std::vector<uint8_t> packed = Compress(input);
  ASSERT_TRUE(ExpandPage(packed.data(), packed.size(), out.data(), out.size()).ok());
  EXPECT_EQ(out, input);
}

// The compressed form written plainly, one stretch of equal bytes at a
// time: what the fast scan must match byte for byte.
std::vector<uint8_t> CompressOneByteAtATime(const std::vector<uint8_t>& input) {
  std::vector<uint8_t> out;
  auto count = [&out](size_t n) {
    for (; n >= 0x80; n >>= 7) out.push_back(static_cast<uint8_t>(0x80 | (n & 0x7F)));
    out.push_back(static_cast<uint8_t>(n));
  };
  size_t literal_start = 0;
  bool any_run = false;
  for (size_t i = 0; i < input.size();) {
    size_t run = 1;
    while (i + run < input.size() && input[i + run] == input[i]) ++run;
    if (run >= 4) {
      count(i + 1 - literal_start);
      out.insert(out.end(), input.begin() + static_cast<std::ptrdiff_t>(literal_start),
                 input.begin() + static_cast<std::ptrdiff_t>(i + 1));
      count(run - 1);
      any_run = true;
      literal_start = i + run;
    }
    i += run;
  }
  if (!any_run) return {};
  count(input.size() - literal_start);
  out.insert(out.end(), input.begin() + static_cast<std::ptrdiff_t>(literal_start), input.end());
  return out;
}

TEST(PageCompressionTest, RunsAreFoundAtEveryPositionAndLength) {
  // Runs of 1 to 24 bytes at every offset of inputs long enough for the
  // scan to skip ahead, and inputs of a small alphabet where runs meet and
  // touch the end.
  std::vector<std::vector<uint8_t>> inputs;
  for (size_t length = 1; length <= 24; ++length) {
    for (size_t at = 0; at < 40; ++at) {
      std::vector<uint8_t> input(64);
      for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<uint8_t>(i * 7 + 1);
      for (size_t i = at; i < at + length && i < input.size(); ++i) input[i] = 0xEE;
      inputs.push_back(input);
    }
  }
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::vector<uint8_t> input(random() % 300);
    int alphabet = 1 + static_cast<int>(random() % 4);
    for (uint8_t& b : input) b = static_cast<uint8_t>(random() % static_cast<uint32_t>(alphabet));
    inputs.push_back(input);
  }
  for (const std::vector<uint8_t>& input : inputs) {
    std::vector<uint8_t> packed = Compress(input);
    ASSERT_EQ(packed, CompressOneByteAtATime(input));
    if (packed.empty()) continue;
    std::vector<uint8_t> out(input.size());
    ASSERT_TRUE(ExpandPage(packed.data(), packed.size(), out.data(), out.size()).ok());
    ASSERT_EQ(out, input);
  }
}

TEST(PageCompressionTest, ExpansionRejectsOverrunsWithTheirFaults) {
  std::vector<uint8_t> out(4);
  auto expand = [&](std::vector<uint8_t> in) {
    return InternalFaultNumber(ExpandPage(in.data(), in.size(), out.data(), out.size()));
  };
  EXPECT_EQ(expand(Bytes({5, 1, 2, 3, 4, 5})), fault::kLiteralOverrun);
  EXPECT_EQ(expand(Bytes({1, 1, 9})), fault::kRunOverrun);
  EXPECT_EQ(expand(Bytes({0, 2})), fault::kRunOverrun);      // a run with nothing before it
  EXPECT_EQ(expand(Bytes({2, 1})), fault::kLiteralOverrun);  // input ends early
  EXPECT_EQ(expand(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF})), fault::kLiteralOverrun);
  EXPECT_EQ(expand(Bytes({1, 1, 3})), 0);
}

Page LeafWith(const std::vector<std::pair<std::string, uint16_t>>& records) {
  Page page(0, 0);
  for (const auto& [bytes, key_length] : records) page.Insert(page.size(), bytes, key_length);
  return page;
}

TEST(PageCodecTest, LengthsAreWrittenOnlyWhenTheyChange) {
  Page page = LeafWith({{"abcd", 2}, {"abxy", 2}, {"abxyz", 3}});
  std::string packed;
  PackEntries(page, &packed);
  // First: both lengths, nothing shared.  Second: same lengths, shares 2.
  // Third: both lengths change, shares 4.
  std::string expected = std::string(
                             "\xC0\x04\x00\x02\x00"
                             "abcd",
                             9) +
                         "\x02xy" +
                         std::string(
                             "\xC4\x05\x00\x03\x00"
                             "z",
                             6);
  EXPECT_EQ(packed, expected);
  Page unpacked(0, 0);
  ASSERT_TRUE(UnpackEntries(reinterpret_cast<const uint8_t*>(packed.data()), packed.size(), 3,
                            false, 0, &unpacked)
                  .ok());
  EXPECT_EQ(unpacked.entry(2).bytes, "abxyz");
  EXPECT_EQ(unpacked.entry(2).key_length, 3);
  EXPECT_EQ(unpacked.content_size(), page.content_size());
}

TEST(PageCodecTest, SharingStopsAt63Bytes) {
  std::string common(100, 'k');
  Page page = LeafWith({{common + "1", 101}, {common + "2", 101}});
  std::string packed;
  PackEntries(page, &packed);
  EXPECT_EQ(static_cast<uint8_t>(packed[5 + 101]), 63);
  EXPECT_EQ(packed.size(), 5 + 101 + 1 + (101 - 63));
}

TEST(PageCodecTest, InconsistentPackingIsFault1602) {
  auto unpack = [&](std::string packed, size_t count) {
    Page page(0, 0);
    return InternalFaultNumber(UnpackEntries(reinterpret_cast<const uint8_t*>(packed.data()),
                                             packed.size(), count, false, 0, &page));
  };
  EXPECT_EQ(unpack(std::string("\x00", 1), 1), fault::kUnpackedSize);  // first lacks lengths
  EXPECT_EQ(unpack(std::string("\xC0\x02\x00\x03\x00"
                               "ab",
                               7),
                   1),
            fault::kUnpackedSize);
  EXPECT_EQ(unpack(std::string("\xC0\x02\x00\x01\x00"
                               "abX",
                               8),
                   1),
            fault::kUnpackedSize);
  EXPECT_EQ(unpack(std::string("\xC0\x02\x00\x01\x00"
                               "ab\x05",
                               8),
                   2),
            fault::kUnpackedSize);
}

TEST(PageImageTest, SmallSavingsAreStoredPlainAndPaddedWithB0) {
  Page page = LeafWith({{"key1" + std::string(20, 'x'), 4}});
  std::string image;
  ASSERT_TRUE(EncodePageImage(page, 512, &image).ok());
  auto* p = reinterpret_cast<const uint8_t*>(image.data());
  ASSERT_EQ(image.size(), 256u);
  EXPECT_EQ(LoadU16(p + 4), LoadU16(p + 6));  // stored = full: the run saved no block
  size_t full = LoadU16(p + 6);
  for (size_t i = full; i < image.size(); ++i) ASSERT_EQ(p[i], kPadByte);
  EXPECT_EQ(LoadU16(p + 8), 13 + 24 + 5);
}

TEST(PageImageTest, CompressedIndexPageRoundTrips) {
  Page page(3, 1);
  for (int i = 0; i < 20; ++i) {
    std::string key = std::string(300, 'a') + static_cast<char>('a' + i);
    page.Insert(page.size(), key, key.size(), 100 + i);
  }
  std::string image;
  ASSERT_TRUE(EncodePageImage(page, static_cast<uint32_t>(BlockOffset(3)), &image).ok());
  auto* p = reinterpret_cast<const uint8_t*>(image.data());
  EXPECT_LT(LoadU16(p + 4), LoadU16(p + 6));
  EXPECT_EQ(LoadU32(p + 13 + 4 * 19), 119u);  // child references stay plain
  std::unique_ptr<Page> loaded;
  ASSERT_TRUE(DecodePageImage(p, image.size(), 3, &loaded).ok());
  ASSERT_EQ(loaded->size(), 20u);
  EXPECT_EQ(loaded->entry(19).bytes, page.entry(19).bytes);
  EXPECT_EQ(loaded->entry(19).child, 119);
  EXPECT_EQ(loaded->content_size(), page.content_size());

  EXPECT_EQ(InternalFaultNumber(DecodePageImage(p, image.size(), 4, &loaded)), fault::kHomeAddress);
  EXPECT_EQ(InternalFaultNumber(DecodePageImage(p, image.size() + 256, 3, &loaded)),
            fault::kPageLength);
}

TEST(PageTest, KeysCompareBytewiseUnsignedShorterFirst) {
  // Keys around the eight-byte steps, with high bytes, one the prefix of
  // the other, and differing at every position.
  std::mt19937 random(3);
  for (int round = 0; round < 20000; ++round) {
    std::string a(random() % 20, '\0');
    for (char& c : a) c = static_cast<char>("\x00\x01\x7F\x80\xFF"[random() % 5]);
    std::string b = a.substr(0, random() % (a.size() + 1));
    if (random() % 2 && !b.empty()) b[random() % b.size()] = static_cast<char>(random());
    if (random() % 2) b.push_back(static_cast<char>(random()));
    std::vector<uint8_t> ua(a.begin(), a.end());
    std::vector<uint8_t> ub(b.begin(), b.end());
    int expected = ua < ub ? -1 : (ub < ua ? 1 : 0);
    ASSERT_EQ(CompareKeys(a, b), expected) << round;
    ASSERT_EQ(CompareKeys(b, a), -expected) << round;
  }
}

TEST(PageTest, SplitLimits) {
  Page small = LeafWith({});
  for (int i = 0; i < 21; ++i) small.Insert(small.size(), std::string(150, 'a'), 4);
  EXPECT_FALSE(small.NeedsSplit());  // 21 records, but only 3288 bytes
  Page few = LeafWith({});
  for (int i = 0; i < 20; ++i) few.Insert(few.size(), std::string(700, 'a'), 4);
  EXPECT_FALSE(few.NeedsSplit());  // over 4096, but only 20 records
  few.Insert(0, std::string(10, 'a'), 4);
  EXPECT_TRUE(few.NeedsSplit());
}

// Entries share one buffer per page, with erased and replaced bytes left
// behind until it is compacted; every change is checked against a plain
// list, including bytes that come from the page's own buffer.
TEST(PageTest, RandomChangesKeepEveryEntryIntact) {
  std::mt19937 random(11);
  Page page(0, 0);
  std::vector<std::pair<std::string, size_t>> model;
  auto make = [&](size_t length) {
    std::string bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>('a' + random() % 26);
    return bytes;
  };
  auto expect_same = [&](const Page& p, const std::vector<std::pair<std::string, size_t>>& m) {
    ASSERT_EQ(p.size(), m.size());
    size_t content = kPageHeaderSize;
    for (size_t i = 0; i < m.size(); ++i) {
      ASSERT_EQ(p.entry(i).bytes, m[i].first) << i;
      ASSERT_EQ(p.entry(i).key_length, m[i].second) << i;
      content += m[i].first.size() + 5;
    }
    ASSERT_EQ(p.content_size(), content);
  };
  for (int round = 0; round < 20000; ++round) {
    size_t i = model.empty() ? 0 : random() % model.size();
    switch (random() % 6) {
      case 0:
      case 1: {
        std::string bytes = make(1 + random() % 300);
        size_t at = model.empty() ? 0 : random() % (model.size() + 1);
        page.Insert(at, bytes, 1);
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), {bytes, 1});
        break;
      }
      case 2:
        if (model.empty()) break;
        page.Erase(i);
        model.erase(model.begin() + static_cast<std::ptrdiff_t>(i));
        break;
      case 3: {
        if (model.empty()) break;
        // Same length (rewritten in place) or a new length.
        std::string bytes = make(random() % 2 ? model[i].first.size() : 1 + random() % 300);
        page.Replace(i, bytes, 1);
        model[i] = {bytes, 1};
        break;
      }
      case 4: {
        if (model.empty()) break;
        // A copy of another entry, taken from the page's own buffer.
        size_t from = random() % model.size();
        std::string copied = model[from].first;
        page.Insert(i, page.entry(from).bytes, 1);
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(i), {copied, 1});
        size_t to = random() % model.size();
        size_t source = random() % model.size();
        size_t skip = model[source].first.empty() ? 0 : 1;
        page.Replace(to, page.entry(source).bytes.substr(skip), 0);
        model[to] = {model[source].first.substr(skip), 0};
        break;
      }
      case 5: {
        if (model.size() < 40) break;
        Page other(1, 0);
        page.MoveTail(model.size() / 2, &other);
        std::vector<std::pair<std::string, size_t>> tail(
            model.begin() + static_cast<std::ptrdiff_t>(model.size() / 2), model.end());
        model.resize(model.size() / 2);
        expect_same(other, tail);
        if (random() % 2) {
          page.TakeAll(&other);
          model = tail;
          EXPECT_EQ(other.size(), 0u);
        }
        break;
      }
    }
    expect_same(page, model);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace tentaria::storage
