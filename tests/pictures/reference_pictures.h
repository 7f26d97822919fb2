// Pictures made by ImageMagick's `convert` at test time, and the pixels
// convert itself reads back from them, to hold the decoders against.
#ifndef TENTARIA_TESTS_PICTURES_REFERENCE_PICTURES_H_
#define TENTARIA_TESTS_PICTURES_REFERENCE_PICTURES_H_

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "pictures/picture.h"
#include "tests/support/temp_folder.h"

namespace tentaria::pictures::test {

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  const std::string text = test_support::ReadTextFile(path);
  return std::vector<uint8_t>(text.begin(), text.end());
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  test_support::WriteTextFile(path, std::string(bytes.begin(), bytes.end()));
}

// The bytes with field written over them at offset at.
inline std::vector<uint8_t> Patched(std::vector<uint8_t> bytes, size_t at,
                                    const std::vector<uint8_t>& field) {
  for (size_t i = 0; i < field.size(); ++i) bytes.at(at + i) = field[i];
  return bytes;
}

// Decodes the bytes with each byte flipped in turn, and every cut-short
// prefix: whatever comes out must be a whole picture, and nothing may crash.
template <typename Decode>
void FlipEveryByteAndCut(const std::vector<uint8_t>& good, Decode decode) {
  for (size_t i = 0; i < good.size(); ++i) {
    std::vector<uint8_t> bytes = good;
    bytes[i] ^= 0xFF;
    if (PicturePtr p = decode(std::span<const uint8_t>(bytes))) {
      EXPECT_EQ(p->frames[0].rgba.size(), static_cast<size_t>(p->width) * p->height * 4);
    }
    decode(std::span<const uint8_t>(good.data(), i));
  }
}

struct Reference {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
};

class ConvertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("convert -version >/dev/null 2>&1") != 0) {
      GTEST_SKIP() << "ImageMagick's convert is not installed (scripts/setup.sh installs it); "
                      "the decoders are not compared with it";
    }
  }

  std::string Path(const std::string& name) const { return folder_ / name; }

  // Runs "convert <arguments>" in the test's folder.
  void Convert(const std::string& arguments) {
    const std::string command =
        "cd '" + folder_.path() + "' && convert " + arguments + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  std::vector<uint8_t> Bytes(const std::string& name) const { return ReadBytes(Path(name)); }

  // A 37 x 23 picture of many colours (an odd width exercises row padding).
  void MakeBase(const std::string& name = "base.png") {
    Convert("-size 37x23 -seed 7 plasma: " + name);
  }

  // The pixels of a file's first image as convert reads them, 8 bits per
  // channel.
  Reference ReferenceOf(const std::string& name) {
    Reference reference;
    Size("'" + name + "[0]'", &reference);
    Convert("'" + name + "[0]' -depth 8 rgba:reference.rgba");
    reference.rgba = Bytes("reference.rgba");
    return reference;
  }

  // The frames of an animation as convert composes them.
  std::vector<Reference> CoalescedFrames(const std::string& name, size_t count) {
    Reference size;
    Size("'" + name + "[0]' -coalesce", &size);
    Convert("'" + name + "' -coalesce +adjoin -depth 8 rgba:frame-%d.rgba");
    std::vector<Reference> frames(count, size);
    for (size_t i = 0; i < count; ++i)
      frames[i].rgba = Bytes("frame-" + std::to_string(i) + ".rgba");
    return frames;
  }

  void Size(const std::string& source, Reference* reference) {
    const std::string command = "cd '" + folder_.path() + "' && convert " + source +
                                " -format '%w %h\\n' info: 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    const int got = fscanf(pipe, "%d %d", &reference->width, &reference->height);
    pclose(pipe);
    ASSERT_EQ(got, 2) << command;
  }

  test_support::TempFolder folder_;
};

// Compares a frame with convert's pixels: alpha exactly, colours within
// tolerance where the pixel is not fully transparent.
inline void ExpectSamePixels(const Picture& picture, size_t frame, const Reference& reference,
                             int tolerance = 0) {
  ASSERT_EQ(picture.width, reference.width);
  ASSERT_EQ(picture.height, reference.height);
  ASSERT_LT(frame, picture.frames.size());
  const std::vector<uint8_t>& rgba = picture.frames[frame].rgba;
  ASSERT_EQ(rgba.size(), reference.rgba.size());
  int reported = 0;
  for (size_t i = 0; i < rgba.size() && reported < 5; i += 4) {
    bool same = rgba[i + 3] == reference.rgba[i + 3];
    for (size_t c = 0; c < 3 && same && rgba[i + 3] != 0; ++c) {
      same = std::abs(rgba[i + c] - reference.rgba[i + c]) <= tolerance;
    }
    if (!same) {
      ++reported;
      ADD_FAILURE() << "frame " << frame << " pixel (" << (i / 4) % picture.width << ", "
                    << (i / 4) / picture.width << "): decoded " << int{rgba[i]} << ","
                    << int{rgba[i + 1]} << "," << int{rgba[i + 2]} << "," << int{rgba[i + 3]}
                    << " convert " << int{reference.rgba[i]} << "," << int{reference.rgba[i + 1]}
                    << "," << int{reference.rgba[i + 2]} << "," << int{reference.rgba[i + 3]};
    }
  }
}

}  // namespace tentaria::pictures::test

#endif  // TENTARIA_TESTS_PICTURES_REFERENCE_PICTURES_H_
