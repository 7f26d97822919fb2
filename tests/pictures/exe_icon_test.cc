#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "pictures/ani_decoder.h"
#include "pictures/icon_decoder.h"
#include "pictures/pe_resources.h"
#include "pictures/picture_loader.h"
#include "tests/pictures/reference_pictures.h"
#include "tests/support/temp_folder.h"

namespace tentaria::pictures {
namespace {

using test::FlipEveryByteAndCut;
using test::Patched;
using test::WriteBytes;

void Put16(std::vector<uint8_t>* out, size_t at, uint32_t v) {
  (*out)[at] = static_cast<uint8_t>(v);
  (*out)[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>* out, size_t at, uint32_t v) {
  Put16(out, at, v & 0xFFFF);
  Put16(out, at + 2, v >> 16);
}

std::vector<uint8_t> Le32Bytes(uint32_t v) {
  std::vector<uint8_t> out(4);
  Put32(&out, 0, v);
  return out;
}

struct Rgba {
  uint8_t r, g, b, a;
};

// A square 32-bit icon image of one colour: info header, bottom-up BGRA
// rows, then an AND mask of zeros.
std::vector<uint8_t> IconImage(int size, Rgba colour) {
  const size_t mask_stride = (static_cast<size_t>(size) + 31) / 32 * 4;
  std::vector<uint8_t> out(40 + static_cast<size_t>(size) * size * 4 + mask_stride * size, 0);
  Put32(&out, 0, 40);
  Put32(&out, 4, static_cast<uint32_t>(size));
  Put32(&out, 8, static_cast<uint32_t>(size * 2));
  Put16(&out, 12, 1);
  Put16(&out, 14, 32);
  for (int i = 0; i < size * size; ++i) {
    uint8_t* p = out.data() + 40 + i * 4;
    p[0] = colour.b, p[1] = colour.g, p[2] = colour.r, p[3] = colour.a;
  }
  return out;
}

struct Resource {
  uint32_t kind;
  uint32_t id;
  std::vector<uint8_t> data;
};

constexpr uint32_t kIcon = 3, kIconGroup = 14, kCursor = 1, kCursorGroup = 12;
constexpr uint32_t kResourceAddress = 0x2000;
constexpr size_t kResourceOffset = 0x400;

// A group naming images by number; each image is (size, bits, number).
std::vector<uint8_t> Group(bool cursor, const std::vector<std::array<int, 3>>& images,
                           const std::map<int, size_t>& sizes) {
  std::vector<uint8_t> out(6 + 14 * images.size(), 0);
  Put16(&out, 2, cursor ? 2 : 1);
  Put16(&out, 4, static_cast<uint32_t>(images.size()));
  for (size_t i = 0; i < images.size(); ++i) {
    const size_t e = 6 + 14 * i;
    const auto [size, bits, number] = images[i];
    if (cursor) {
      Put16(&out, e, size), Put16(&out, e + 2, size * 2);
    } else {
      out[e] = static_cast<uint8_t>(size), out[e + 1] = static_cast<uint8_t>(size);
    }
    Put16(&out, e + 4, 1);
    Put16(&out, e + 6, bits);
    const auto known = sizes.find(number);
    Put32(&out, e + 8, known == sizes.end() ? 0 : static_cast<uint32_t>(known->second));
    Put16(&out, e + 12, number);
  }
  return out;
}

// The resource tree: root, one directory per kind, one per name (holding
// one language), the leaves, then the data.
std::vector<uint8_t> ResourceSection(const std::vector<Resource>& resources) {
  std::map<uint32_t, std::vector<const Resource*>> kinds;
  for (const Resource& r : resources) kinds[r.kind].push_back(&r);
  size_t at = 16 + 8 * kinds.size();
  std::map<uint32_t, size_t> kind_dir;
  for (const auto& [kind, list] : kinds) kind_dir[kind] = at, at += 16 + 8 * list.size();
  std::vector<size_t> name_dir(resources.size()), leaf(resources.size()), data(resources.size());
  for (size_t i = 0; i < resources.size(); ++i) name_dir[i] = at, at += 24;
  for (size_t i = 0; i < resources.size(); ++i) leaf[i] = at, at += 16;
  for (size_t i = 0; i < resources.size(); ++i) {
    data[i] = at, at += (resources[i].data.size() + 3) / 4 * 4;
  }
  std::vector<uint8_t> out(at, 0);
  Put16(&out, 14, static_cast<uint32_t>(kinds.size()));
  size_t k = 0;
  for (const auto& [kind, list] : kinds) {
    Put32(&out, 16 + 8 * k, kind);
    Put32(&out, 16 + 8 * k + 4, 0x80000000u | static_cast<uint32_t>(kind_dir[kind]));
    Put16(&out, kind_dir[kind] + 14, static_cast<uint32_t>(list.size()));
    for (size_t j = 0; j < list.size(); ++j) {
      const size_t i = static_cast<size_t>(list[j] - resources.data());
      Put32(&out, kind_dir[kind] + 16 + 8 * j, list[j]->id);
      Put32(&out, kind_dir[kind] + 20 + 8 * j, 0x80000000u | static_cast<uint32_t>(name_dir[i]));
    }
    ++k;
  }
  for (size_t i = 0; i < resources.size(); ++i) {
    Put16(&out, name_dir[i] + 14, 1);
    Put32(&out, name_dir[i] + 16, 0x409);
    Put32(&out, name_dir[i] + 20, static_cast<uint32_t>(leaf[i]));
    Put32(&out, leaf[i], kResourceAddress + static_cast<uint32_t>(data[i]));
    Put32(&out, leaf[i] + 4, static_cast<uint32_t>(resources[i].data.size()));
    std::memcpy(out.data() + data[i], resources[i].data.data(), resources[i].data.size());
  }
  return out;
}

// A program file: headers, a code section at 0x1000 and the resources at
// kResourceAddress, kept at kResourceOffset in the file.
std::vector<uint8_t> Executable(bool plus, const std::vector<Resource>& resources) {
  const std::vector<uint8_t> tree = ResourceSection(resources);
  std::vector<uint8_t> out(kResourceOffset + tree.size(), 0);
  out[0] = 'M', out[1] = 'Z';
  Put32(&out, 0x3C, 0x80);
  std::memcpy(out.data() + 0x80, "PE\0\0", 4);
  Put16(&out, 0x84, plus ? 0x8664 : 0x14C);
  Put16(&out, 0x86, 2);
  const size_t optional_size = plus ? 240 : 224;
  Put16(&out, 0x94, static_cast<uint32_t>(optional_size));
  const size_t optional = 0x98;
  Put16(&out, optional, plus ? 0x20B : 0x10B);
  const size_t directories = optional + (plus ? 108 : 92);
  Put32(&out, directories, 16);
  Put32(&out, directories + 4 + 16, kResourceAddress);
  Put32(&out, directories + 4 + 20, static_cast<uint32_t>(tree.size()));
  const size_t sections = optional + optional_size;
  std::memcpy(out.data() + sections, ".text", 5);
  Put32(&out, sections + 8, 0x100), Put32(&out, sections + 12, 0x1000);
  Put32(&out, sections + 16, 0x200), Put32(&out, sections + 20, 0x200);
  std::memcpy(out.data() + sections + 40, ".rsrc", 5);
  Put32(&out, sections + 48, static_cast<uint32_t>(tree.size()));
  Put32(&out, sections + 52, kResourceAddress);
  Put32(&out, sections + 56, static_cast<uint32_t>(tree.size()));
  Put32(&out, sections + 60, kResourceOffset);
  std::memcpy(out.data() + kResourceOffset, tree.data(), tree.size());
  return out;
}

constexpr Rgba kRed{200, 0, 0, 255}, kBlue{0, 0, 200, 255}, kGreen{0, 150, 0, 128};

// Two icon images in a group, the smaller one first, so that the choice of
// the largest is tested; a second group that must not be taken.
std::vector<Resource> TwoImageIcon() {
  const std::vector<uint8_t> small = IconImage(8, kRed), large = IconImage(16, kBlue);
  return {{kIcon, 1, small},
          {kIcon, 2, large},
          {kIcon, 3, IconImage(32, kGreen)},
          {kIconGroup, 100,
           Group(false, {{8, 32, 1}, {16, 32, 2}}, {{1, small.size()}, {2, large.size()}})},
          {kIconGroup, 101, Group(false, {{32, 32, 3}}, {})}};
}

void ExpectOneColour(const Picture& picture, int size, Rgba colour) {
  ASSERT_EQ(picture.width, size);
  ASSERT_EQ(picture.height, size);
  ASSERT_EQ(picture.frames.size(), 1u);
  const std::vector<uint8_t>& rgba = picture.frames[0].rgba;
  for (size_t i = 0; i < rgba.size(); i += 4) {
    ASSERT_EQ(rgba[i], colour.r) << i;
    ASSERT_EQ(rgba[i + 1], colour.g) << i;
    ASSERT_EQ(rgba[i + 2], colour.b) << i;
    ASSERT_EQ(rgba[i + 3], colour.a) << i;
  }
}

TEST(ExecutableIconTest, TakesTheFirstGroupsLargestImageIn32And64BitFiles) {
  for (const bool plus : {false, true}) {
    SCOPED_TRACE(plus ? "64-bit" : "32-bit");
    const PicturePtr picture = DecodeExecutableIcon(Executable(plus, TwoImageIcon()));
    ASSERT_NE(picture, nullptr);
    ExpectOneColour(*picture, 16, kBlue);
  }
}

TEST(ExecutableIconTest, TakesTheDeeperImageOfTwoOfOneSize) {
  std::vector<uint8_t> shallow = IconImage(16, kRed);
  Put16(&shallow, 14, 24);  // a 24-bit image would be read from other rows
  shallow.resize(40 + 16 * 16 * 3 + 4 * 16);
  const std::vector<uint8_t> deep = IconImage(16, kGreen);
  const PicturePtr picture = DecodeExecutableIcon(Executable(
      false,
      {{kIcon, 1, shallow},
       {kIcon, 2, deep},
       {kIconGroup, 1,
        Group(false, {{16, 24, 1}, {16, 32, 2}}, {{1, shallow.size()}, {2, deep.size()}})}}));
  ASSERT_NE(picture, nullptr);
  ExpectOneColour(*picture, 16, kGreen);
}

TEST(ExecutableIconTest, FileWithoutIconsGivesItsCursor) {
  std::vector<uint8_t> cursor = {3, 0, 5, 0};  // hot spot before the bitmap
  const std::vector<uint8_t> image = IconImage(16, kRed);
  cursor.insert(cursor.end(), image.begin(), image.end());
  const PicturePtr picture = DecodeExecutableIcon(Executable(
      true,
      {{kCursor, 9, cursor}, {kCursorGroup, 1, Group(true, {{16, 32, 9}}, {{9, cursor.size()}})}}));
  ASSERT_NE(picture, nullptr);
  ExpectOneColour(*picture, 16, kRed);
}

TEST(ExecutableIconTest, BrokenFilesGiveNoPicture) {
  const std::vector<uint8_t> good = Executable(false, TwoImageIcon());
  ASSERT_NE(DecodeExecutableIcon(good), nullptr);
  const size_t root_entry = kResourceOffset + 16;
  const size_t section_count = 0x86;
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } kBroken[] = {
      {"header offset past the end", Patched(good, 0x3C, Le32Bytes(0xFFFFFFF0))},
      {"huge section count", Patched(good, section_count, {0xFF, 0xFF})},
      {"resources outside every section", Patched(good, 0x98 + 96 + 16, Le32Bytes(0x9000))},
      {"kind directory past the end", Patched(good, root_entry + 4, Le32Bytes(0x8FFFFFF0))},
      {"directory pointing at itself", Patched(good, root_entry + 12, Le32Bytes(0x80000000))},
      {"cut in the image data", std::vector<uint8_t>(good.begin(), good.end() - 600)},
      {"an unknown optional header", Patched(good, 0x98, {0x07, 0x01})},
      {"16-bit program", Patched(good, 0x80, {'N', 'E'})},
  };
  for (const auto& broken : kBroken) {
    SCOPED_TRACE(broken.name);
    EXPECT_EQ(DecodeExecutableIcon(broken.bytes), nullptr);
  }
  // A group whose images are missing, and a group claiming 65535 images
  // with room for two (its two real images are still found).
  const std::vector<uint8_t> image = IconImage(8, kRed);
  EXPECT_EQ(DecodeExecutableIcon(Executable(
                false, {{kIcon, 1, image}, {kIconGroup, 1, Group(false, {{8, 32, 7}}, {})}})),
            nullptr);
  std::vector<uint8_t> counted = Group(false, {{8, 32, 1}}, {{1, image.size()}});
  Put16(&counted, 4, 0xFFFF);
  const PicturePtr capped =
      DecodeExecutableIcon(Executable(false, {{kIcon, 1, image}, {kIconGroup, 1, counted}}));
  ASSERT_NE(capped, nullptr);
  ExpectOneColour(*capped, 8, kRed);
}

TEST(ExecutableIconTest, SurvivesEveryFlippedByteAndCut) {
  const std::vector<uint8_t> image = IconImage(2, kRed);
  FlipEveryByteAndCut(
      Executable(false, {{kIcon, 1, image},
                         {kIconGroup, 1, Group(false, {{2, 32, 1}}, {{1, image.size()}})}}),
      [](std::span<const uint8_t> bytes) { return DecodeExecutableIcon(bytes); });
}

std::vector<uint8_t> Chunk(const char* name, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out(8);
  std::memcpy(out.data(), name, 4);
  Put32(&out, 4, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() % 2 != 0) out.push_back(0);
  return out;
}

std::vector<uint8_t> CursorFile(int size, Rgba colour) {
  const std::vector<uint8_t> image = IconImage(size, colour);
  std::vector<uint8_t> out(22, 0);
  Put16(&out, 2, 2);
  Put16(&out, 4, 1);
  out[6] = static_cast<uint8_t>(size), out[7] = static_cast<uint8_t>(size);
  Put32(&out, 14, static_cast<uint32_t>(image.size()));
  Put32(&out, 18, 22);
  out.insert(out.end(), image.begin(), image.end());
  return out;
}

std::vector<uint8_t> Table(const std::vector<uint32_t>& values) {
  std::vector<uint8_t> out(values.size() * 4);
  for (size_t i = 0; i < values.size(); ++i) Put32(&out, i * 4, values[i]);
  return out;
}

struct Animation {
  std::vector<std::vector<uint8_t>> frames = {CursorFile(4, kGreen), CursorFile(4, kRed)};
  uint32_t steps = 2;
  uint32_t jiffies = 6;
  uint32_t flags = 1;  // frames are cursor files
  std::vector<uint32_t> rates, sequence;
};

// An animated cursor: its header, rate and sequence tables when given, and
// its frames.
std::vector<uint8_t> AnimatedCursor(const Animation& a = {}) {
  std::vector<uint8_t> header(36, 0);
  Put32(&header, 0, 36);
  Put32(&header, 4, static_cast<uint32_t>(a.frames.size()));
  Put32(&header, 8, a.steps);
  Put32(&header, 28, a.jiffies);
  Put32(&header, 32, a.flags | (a.sequence.empty() ? 0 : 2));
  std::vector<uint8_t> frames = {'f', 'r', 'a', 'm'};
  for (const auto& frame : a.frames) {
    const std::vector<uint8_t> chunk = Chunk("icon", frame);
    frames.insert(frames.end(), chunk.begin(), chunk.end());
  }
  std::vector<uint8_t> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'C', 'O', 'N'};
  std::vector<std::vector<uint8_t>> chunks = {Chunk("anih", header)};
  if (!a.rates.empty()) chunks.push_back(Chunk("rate", Table(a.rates)));
  if (!a.sequence.empty()) chunks.push_back(Chunk("seq ", Table(a.sequence)));
  chunks.push_back(Chunk("LIST", frames));
  for (const auto& c : chunks) out.insert(out.end(), c.begin(), c.end());
  Put32(&out, 4, static_cast<uint32_t>(out.size() - 8));
  return out;
}

// The colour of a frame's first pixel.
Rgba FirstPixel(const Frame& frame) {
  return {frame.rgba[0], frame.rgba[1], frame.rgba[2], frame.rgba[3]};
}

void ExpectSteps(const Picture& picture, const std::vector<std::pair<Rgba, int>>& steps) {
  ASSERT_EQ(picture.frames.size(), steps.size());
  EXPECT_TRUE(picture.loops);
  EXPECT_EQ(picture.loop_count, 0);
  for (size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(i);
    const Rgba pixel = FirstPixel(picture.frames[i]);
    EXPECT_EQ(pixel.r, steps[i].first.r);
    EXPECT_EQ(pixel.g, steps[i].first.g);
    EXPECT_EQ(picture.frames[i].delay_cs, steps[i].second);
  }
}

// The fuzzer's seeds: small programs of both widths, with icons and with a
// cursor only, and a small animated cursor.  Written only when TENTARIA_PE_SEEDS names a folder.
TEST(ExecutableIconTest, WritesFuzzSeedsWhenAsked) {
  const char* folder = std::getenv("TENTARIA_PE_SEEDS");
  if (folder == nullptr) GTEST_SKIP() << "TENTARIA_PE_SEEDS is not set";
  const std::vector<uint8_t> small = IconImage(2, kRed), large = IconImage(4, kBlue);
  WriteBytes(std::string(folder) + "/icon32",
             Executable(false, {{kIcon, 1, small},
                                {kIcon, 2, large},
                                {kIconGroup, 1,
                                 Group(false, {{2, 32, 1}, {4, 32, 2}},
                                       {{1, small.size()}, {2, large.size()}})}}));
  std::vector<uint8_t> cursor = {1, 0, 1, 0};
  cursor.insert(cursor.end(), small.begin(), small.end());
  WriteBytes(
      std::string(folder) + "/cursor64",
      Executable(true, {{kCursor, 1, cursor},
                        {kCursorGroup, 1, Group(true, {{2, 32, 1}}, {{1, cursor.size()}})}}));
  WriteBytes(std::string(folder) + "/animated",
             AnimatedCursor({.frames = {CursorFile(2, kGreen), CursorFile(2, kRed)},
                             .steps = 2,
                             .rates = {3, 6},
                             .sequence = {1, 0}}));
}

TEST(ExecutableIconTest, AnimatedCursorGivesItsFirstFrameAsAStillIcon) {
  const PicturePtr picture = DecodeIcon(AnimatedCursor());
  ASSERT_NE(picture, nullptr);
  ExpectOneColour(*picture, 4, kGreen);
}

TEST(ExecutableIconTest, AnimatedCursorShowsEachStepForItsTime) {
  // The header's rate (6/60 s = 10/100 s) for every step.
  PicturePtr picture = DecodeAnimatedCursor(AnimatedCursor());
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->width, 4);
  ExpectSteps(*picture, {{kGreen, 10}, {kRed, 10}});
  // A sequence reuses frames; a rate table times each step (rounded to
  // hundredths).
  Animation sequenced;
  sequenced.steps = 3;
  sequenced.sequence = {1, 0, 1};
  sequenced.rates = {3, 60, 1};
  picture = DecodeAnimatedCursor(AnimatedCursor(sequenced));
  ASSERT_NE(picture, nullptr);
  ExpectSteps(*picture, {{kRed, 5}, {kGreen, 100}, {kRed, 2}});
  // A frame of another size, or a step naming no frame, is left out.
  Animation mixed;
  mixed.frames.push_back(CursorFile(8, kBlue));
  mixed.steps = 4;
  mixed.sequence = {0, 2, 9, 1};
  picture = DecodeAnimatedCursor(AnimatedCursor(mixed));
  ASSERT_NE(picture, nullptr);
  ExpectSteps(*picture, {{kGreen, 10}, {kRed, 10}});
}

TEST(ExecutableIconTest, BrokenAnimatedCursorsGiveNoPictureOrAFewFrames) {
  Animation raw;
  raw.flags = 0;  // frames without their icon files are not read
  EXPECT_EQ(DecodeAnimatedCursor(AnimatedCursor(raw)), nullptr);
  Animation huge;
  huge.steps = 0xFFFFFFFF;
  huge.sequence = std::vector<uint32_t>(2000, 1);
  const PicturePtr capped = DecodeAnimatedCursor(AnimatedCursor(huge));
  ASSERT_NE(capped, nullptr);
  EXPECT_EQ(capped->frames.size(), 1024u);
  Animation none;
  none.frames = {std::vector<uint8_t>(30, 0xEE)};
  EXPECT_EQ(DecodeAnimatedCursor(AnimatedCursor(none)), nullptr);
  FlipEveryByteAndCut(AnimatedCursor(),
                      [](std::span<const uint8_t> bytes) { return DecodeAnimatedCursor(bytes); });
}

TEST(ExecutableIconTest, NamesChooseTheLoaderWhateverTheirCase) {
  test_support::TempFolder folder;
  const std::vector<uint8_t> program = Executable(false, TwoImageIcon());
  for (const char* name : {"PROG.EXE", "x.dll", "Mixed.Exe"}) {
    SCOPED_TRACE(name);
    WriteBytes(folder / name, program);
    const PicturePtr picture = LoadPicture(folder / name);
    ASSERT_NE(picture, nullptr);
    ExpectOneColour(*picture, 16, kBlue);
  }
  // The same bytes under an icon's name are no icon file; an animated
  // cursor under its own name loads.
  WriteBytes(folder / "PROG.ICO", program);
  EXPECT_EQ(LoadPicture(folder / "PROG.ICO"), nullptr);
  WriteBytes(folder / "busy.ani", AnimatedCursor());
  const PicturePtr animated = LoadPicture(folder / "busy.ani");
  ASSERT_NE(animated, nullptr);
  EXPECT_EQ(animated->frames.size(), 2u);
}

}  // namespace
}  // namespace tentaria::pictures
