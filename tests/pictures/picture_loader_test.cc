#include "pictures/picture_loader.h"

#include <gtest/gtest.h>

// libjpeg's header needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "pictures/linked_pictures.h"
#include "pictures/picture_formats.h"
#include "platform/path.h"
#include "runtime/locale.h"
#include "tests/pictures/reference_pictures.h"
#include "tests/support/temp_folder.h"

namespace tentaria::pictures {
namespace {

using test::WriteBytes;

// An uncompressed 24-bit BMP of one grey.
std::vector<uint8_t> GreyBmp(int width, int height) {
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  std::vector<uint8_t> file(54 + stride * height, 0x80);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(file.data() + at, &v, 4); };
  std::memset(file.data(), 0, 54);
  file[0] = 'B', file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  file[26] = 1;
  file[28] = 24;
  return file;
}

// A grey JPEG made by libjpeg's compressor.
std::vector<uint8_t> GreyJpeg(int width, int height) {
  jpeg_compress_struct c;
  jpeg_error_mgr errors;
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = static_cast<JDIMENSION>(width);
  c.image_height = static_cast<JDIMENSION>(height);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3, 128);
  while (c.next_scanline < c.image_height) {
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> bytes(out, out + size);
  std::free(out);
  jpeg_destroy_compress(&c);
  return bytes;
}

std::vector<uint8_t> Metafile(int16_t right, int16_t bottom, uint16_t units_per_inch) {
  std::vector<uint8_t> bytes(40, 0);
  const uint32_t key = 0x9AC6CDD7;
  std::memcpy(bytes.data(), &key, 4);
  std::memcpy(bytes.data() + 10, &right, 2);
  std::memcpy(bytes.data() + 12, &bottom, 2);
  std::memcpy(bytes.data() + 14, &units_per_inch, 2);
  return bytes;
}

// An icon file of one 2 x 2 32-bit image.
std::vector<uint8_t> TinyIcon() {
  std::vector<uint8_t> icon = {0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 32, 0};
  const uint32_t size = 40 + 16 + 8, offset = 22;
  icon.resize(22 + size, 0xFF);
  std::memcpy(icon.data() + 14, &size, 4);
  std::memcpy(icon.data() + 18, &offset, 4);
  std::memset(icon.data() + 22, 0, 40);
  const int32_t header[] = {40, 2, 4};
  std::memcpy(icon.data() + 22, header, 12);
  icon[22 + 12] = 1;
  icon[22 + 14] = 32;
  return icon;
}

class PictureLoaderTest : public test_support::TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    runtime::ResetLocale();
    saved_folder_ = platform::CurrentFolder();
    platform::SetCurrentFolder(guide_.path());
    options_.linked_pictures = &linked_;
  }
  void TearDown() override { platform::SetCurrentFolder(saved_folder_); }

  // A file in the guide folder; the bytes stay alive for linking.
  void Write(const std::string& relative, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path path = std::filesystem::path(guide_.path()) / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteBytes(path.string(), bytes);
  }
  void Link(const std::string& name, std::vector<uint8_t> bytes) {
    kept_.push_back(std::move(bytes));
    linked_.Add(name, kept_.back());
  }
  PicturePtr Load(const std::string& name) { return LoadPicture(name, options_); }

  test_support::TempFolder guide_;
  std::string saved_folder_;
  LinkedPictures linked_;
  std::vector<std::vector<uint8_t>> kept_;
  LoadOptions options_;
};

TEST(PictureExtensionTest, LastDotAndAtMostThreeCharacters) {
  const struct {
    const char* name;
    const char* extension;
  } kCases[] = {
      {"A1218.jpg", ".jpg"},       {"A1218.JPEG", ".JPE"}, {"x.JFIF", ".JFI"},
      {"Logo\\L1218.BMP", ".BMP"}, {"map.v2.gif", ".gif"}, {"noextension", ""},
      {"trailing.", "."},          {"!ICON:APP", ".ICO"},  {"\xFF\x01\x00", ".ICO"},
  };
  for (const auto& c : kCases) EXPECT_EQ(PictureExtension(c.name), c.extension) << c.name;
}

TEST(PictureFormatsTest, RegistrationOrder) {
  std::vector<std::string_view> extensions;
  std::vector<bool> has_decoder;
  for (const PictureFormat& format : PictureFormats()) {
    extensions.push_back(format.extension);
    has_decoder.push_back(format.decoder != nullptr);
  }
  EXPECT_EQ(extensions, (std::vector<std::string_view>{".BMP", ".GIF", ".PCX", ".EXE", ".DLL",
                                                       ".ICO", ".CUR", ".ANI", ".WMF", ".TMP",
                                                       ".JPG", ".JPEG", ".JPE", ".JFIF"}));
  EXPECT_EQ(has_decoder, (std::vector<bool>{true, true, true, false, false, false, false, false,
                                            true, false, true, false, false, false}));
}

TEST(LinkedPictureNameTest, UpperCasedWithDotsReplaced) {
  runtime::ResetLocale();
  EXPECT_EQ(LinkedPictureName("bkgrnd03.gif"), "BKGRND03_GIF");
  EXPECT_EQ(LinkedPictureName("Logo\\L1218.BMP"), "LOGO\\L1218_BMP");
  EXPECT_EQ(LinkedPictureName("a.b.c"), "A_B_C");
}

TEST_F(PictureLoaderTest, TildeLooksAmongLinkedPicturesFirst) {
  Write("logo/l1218.bmp", GreyBmp(3, 2));  // found without regard to case
  Link("Logo\\L1218.BMP", GreyBmp(5, 4));

  PicturePtr linked = Load("~Logo\\L1218.BMP");
  ASSERT_NE(linked, nullptr);
  EXPECT_EQ(linked->width, 5);
  EXPECT_EQ(linked->origin(), ByteOrigin::kLinked);
  EXPECT_EQ(linked->bytes().data(), kept_.back().data());

  PicturePtr file = Load("Logo\\L1218.BMP");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->width, 3);
  EXPECT_EQ(file->origin(), ByteOrigin::kOwned);
  EXPECT_EQ(std::vector<uint8_t>(file->bytes().begin(), file->bytes().end()), GreyBmp(3, 2));

  // The caller's flag asks for the linked picture as "~" does.
  options_.linked = true;
  PicturePtr asked = Load("Logo\\L1218.BMP");
  ASSERT_NE(asked, nullptr);
  EXPECT_EQ(asked->width, 5);
}

TEST_F(PictureLoaderTest, FileWhenTheLinkedPictureIsMissingOrBroken) {
  Write("Logo/L1218.BMP", GreyBmp(3, 2));
  PicturePtr missing = Load("~Logo\\L1218.BMP");
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(missing->width, 3);

  Link("Logo\\L1218.BMP", std::vector<uint8_t>(100, 'x'));
  PicturePtr broken = Load("~Logo\\L1218.BMP");
  ASSERT_NE(broken, nullptr);
  EXPECT_EQ(broken->width, 3);
  EXPECT_EQ(broken->origin(), ByteOrigin::kOwned);

  EXPECT_EQ(Load("~Logo\\Other.BMP"), nullptr);
}

TEST_F(PictureLoaderTest, ExtensionChoosesTheFormat) {
  Write("A1218.jpg", GreyJpeg(6, 5));
  Write("A1218.JPEG", GreyJpeg(6, 5));
  Write("A1218.JFIF", GreyJpeg(6, 5));
  Write("B.gif", GreyBmp(2, 2));
  Write("C.png", GreyBmp(2, 2));
  Write("D", GreyBmp(2, 2));
  Write("E.Bmp", GreyBmp(2, 2));
  Write("plan.wmf", Metafile(1440, 720, 1440));
  Write("plan.tmp", Metafile(1440, 720, 1440));
  Write("app.exe", std::vector<uint8_t>(200, 'M'));
  Write("app.ico", TinyIcon());
  Link("APP", TinyIcon());
  const struct {
    const char* name;
    int width;  // 0: no picture
  } kCases[] = {
      {"A1218.jpg", 6},   // ".JPG", compared without regard to case
      {"A1218.JPEG", 6},  // ".JPE", the same loader
      {"A1218.JFIF", 0},  // ".JFI" has no entry
      {"B.gif", 0},       // BMP bytes refused by the GIF decoder
      {"C.png", 0},       // no entry
      {"D", 0},           // no extension
      {"E.Bmp", 2},      {"plan.wmf", 96}, {"plan.tmp", 96}, {"app.exe", 0}, {"app.ico", 2},
      {"!ICON:app", 2},  {"\xFF\x01", 0},  {"", 0},          {"~", 0},       {"missing.bmp", 0},
  };
  for (const auto& c : kCases) {
    PicturePtr picture = Load(c.name);
    EXPECT_EQ(picture == nullptr ? 0 : picture->width, c.width) << c.name;
  }
}

TEST_F(PictureLoaderTest, MetafileSizeFollowsTheDisplay) {
  Write("plan.wmf", Metafile(1440, 720, 1440));
  options_.display = Display{120, 72};
  PicturePtr picture = Load("plan.wmf");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->width, 120);
  EXPECT_EQ(picture->height, 36);
  EXPECT_EQ(picture->bytes().size(), 40u);  // the records stay with it
}

TEST(DecodePictureTest, BytesWithoutANameFindTheirFormat) {
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    int width;
  } kCases[] = {
      {"BMP", GreyBmp(4, 3), 4},
      {"JPEG", GreyJpeg(7, 2), 7},
      {"metafile", Metafile(720, 720, 1440), 48},
      {"icon: no decoder of its own", TinyIcon(), 0},
      {"nothing known", std::vector<uint8_t>(300, 0x11), 0},
      {"empty", {}, 0},
  };
  for (const auto& c : kCases) {
    PicturePtr picture = DecodePicture(c.bytes);
    EXPECT_EQ(picture == nullptr ? 0 : picture->width, c.width) << c.name;
    if (picture == nullptr) continue;
    // The picture keeps its own copy.
    EXPECT_NE(picture->bytes().data(), c.bytes.data());
    EXPECT_EQ(std::vector<uint8_t>(picture->bytes().begin(), picture->bytes().end()), c.bytes);
    EXPECT_EQ(picture->origin(), ByteOrigin::kOwned);
  }
}

}  // namespace
}  // namespace tentaria::pictures
