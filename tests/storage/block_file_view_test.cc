// Pages read in place from a file's view: the bytes another process wrote
// are seen once the file has grown past the view, bytes beyond the end and
// enciphered files are left to a read.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/file.h"
#include "storage/block_file.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace tentaria::storage {
namespace {

constexpr int kShared = platform::open_mode::kReadWrite | platform::open_mode::kDenyNone;

std::unique_ptr<platform::File> Open(const std::string& path) {
  std::unique_ptr<platform::File> file;
  Status s = platform::FileSystem::Default()->Open(path, kShared,
                                                   platform::Disposition::kOpenOrCreate, &file);
  EXPECT_TRUE(s.ok()) << s.ToString();
  return file;
}

std::string ViewText(BlockFile* file, uint64_t offset, size_t n) {
  const uint8_t* view = file->View(offset, n);
  return view == nullptr ? "(none)" : std::string(reinterpret_cast<const char*>(view), n);
}

TEST(BlockFileViewTest, SeesWhatAnotherProcessGrewAndRewrote) {
  test_support::TempFolder dir;
  std::string path = dir / "grown.bin";
  BlockFile file(Open(path), "");
  ASSERT_TRUE(file.Write(0, reinterpret_cast<const uint8_t*>("page one"), 8).ok());
  EXPECT_EQ(ViewText(&file, 0, 8), "page one");
  EXPECT_EQ(ViewText(&file, 4, 8), "(none)") << "beyond the end";

  constexpr uint64_t kFar = uint64_t{64} << 20;
  test_support::ChildProcess child([&](int to_parent, int) {
    BlockFile other(Open(path), "");
    bool ok = other.Write(0, reinterpret_cast<const uint8_t*>("PAGE ONE"), 8).ok() &&
              other.Write(kFar, reinterpret_cast<const uint8_t*>("far page"), 8).ok();
    test_support::Signal(to_parent);
    return ok ? 0 : 1;
  });
  ASSERT_TRUE(child.Await());
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(ViewText(&file, kFar, 8), "far page");
  EXPECT_EQ(ViewText(&file, 0, 8), "PAGE ONE");
}

TEST(BlockFileViewTest, BytesCutAwayByThisOpenAreNotServed) {
  test_support::TempFolder dir;
  BlockFile file(Open(dir / "cut.bin"), "");
  ASSERT_TRUE(file.Write(0, reinterpret_cast<const uint8_t*>("two pages"), 9).ok());
  EXPECT_EQ(ViewText(&file, 4, 5), "pages");
  ASSERT_TRUE(file.SetEnd(3).ok());
  EXPECT_EQ(ViewText(&file, 4, 5), "(none)");
  EXPECT_EQ(ViewText(&file, 0, 3), "two");
}

TEST(BlockFileViewTest, AnEncipheredFileIsRead) {
  test_support::TempFolder dir;
  BlockFile file(Open(dir / "secret.bin"), "password");
  uint8_t unit[64] = {1};
  ASSERT_TRUE(file.Write(0, unit, sizeof unit).ok());
  EXPECT_EQ(file.View(0, sizeof unit), nullptr);
}

}  // namespace
}  // namespace tentaria::storage
