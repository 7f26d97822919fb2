// The view of a file's first bytes: it follows writes made through any
// open and by other processes, is refused for a file too short, and a file
// cut short under it reads as zeros instead of ending the process.  The
// view of the whole file grows with the file.
#include "platform/file_mapping.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/file.h"
#include "tests/support/temp_folder.h"

namespace tentaria::platform {
namespace {

using test_support::TempFolder;

constexpr int kShared = open_mode::kReadWrite | open_mode::kDenyNone;

std::unique_ptr<File> OpenShared(const std::string& path) {
  std::unique_ptr<File> file;
  Status s = FileSystem::Default()->Open(path, kShared, Disposition::kOpenOrCreate, &file);
  EXPECT_TRUE(s.ok()) << s.ToString();
  return file;
}

const uint8_t* ViewOf(File* file, size_t n) {
  auto* mapping = dynamic_cast<StartMapping*>(file);
  return mapping == nullptr ? nullptr : mapping->MapStart(n);
}

const uint8_t* WholeOf(File* file, uint64_t end, uint64_t* length) {
  auto* mapping = dynamic_cast<StartMapping*>(file);
  return mapping == nullptr ? nullptr : mapping->MapThrough(end, length);
}

// A child process's exit code, or 100 + the signal that ended it.
int RunChild(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(FileMappingTest, TheViewFollowsWritesOfEveryOpenAndProcess) {
  TempFolder dir;
  std::string path = dir / "view.bin";
  auto file = OpenShared(path);
  ASSERT_TRUE(file->Write(0, std::string(600, 'a').data(), 600).ok());
  const uint8_t* view = ViewOf(file.get(), 512);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view[511], 'a');
  ASSERT_TRUE(file->Write(10, "b", 1).ok());
  EXPECT_EQ(view[10], 'b');
  auto other = OpenShared(path);
  ASSERT_TRUE(other->Write(11, "c", 1).ok());
  EXPECT_EQ(view[11], 'c');
  EXPECT_EQ(RunChild([&] { return OpenShared(path)->Write(12, "d", 1).ok() ? 0 : 1; }), 0);
  EXPECT_EQ(view[12], 'd');
  EXPECT_EQ(ViewOf(file.get(), 512), view) << "one view per open";
}

TEST(FileMappingTest, AFileShorterThanAskedHasNoViewAndOneShorterThanAPageHasOne) {
  TempFolder dir;
  auto empty = OpenShared(dir / "empty.bin");
  EXPECT_EQ(ViewOf(empty.get(), 512), nullptr);
  auto short_file = OpenShared(dir / "short.bin");
  ASSERT_TRUE(short_file->Write(0, std::string(511, 's').data(), 511).ok());
  EXPECT_EQ(ViewOf(short_file.get(), 512), nullptr);
  ASSERT_TRUE(short_file->Write(511, "t", 1).ok());
  const uint8_t* view = ViewOf(short_file.get(), 512);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view[511], 't');
  EXPECT_EQ(ViewOf(short_file.get(), kMaxMappedStart + 1), nullptr);
}

// Run in a child, so that a fault that is not caught shows as its signal
// instead of ending the test program.
TEST(FileMappingTest, AFileCutToNothingUnderItsViewReadsAsZeros) {
  TempFolder dir;
  std::string path = dir / "cut.bin";
  int result = RunChild([&] {
    auto file = OpenShared(path);
    if (!file->Write(0, std::string(512, 'h').data(), 512).ok()) return 1;
    const uint8_t* view = ViewOf(file.get(), 512);
    if (view == nullptr || view[0] != 'h') return 2;
    if (RunChild([&] { return OpenShared(path)->SetEnd(0).ok() ? 0 : 1; }) != 0) return 3;
    uint8_t copy[512];
    std::memcpy(copy, view, sizeof copy);
    for (uint8_t byte : copy) {
      if (byte != 0) return 4;
    }
    // The file grows again; the view stays zeros, its caller reads.
    if (!file->Write(0, std::string(512, 'h').data(), 512).ok()) return 5;
    return view[0] == 0 ? 0 : 6;
  });
  EXPECT_EQ(result, 0);
}

TEST(FileMappingTest, TheWholeViewGrowsWithTheFileAndFollowsOtherProcesses) {
  TempFolder dir;
  std::string path = dir / "whole.bin";
  auto file = OpenShared(path);
  uint64_t length = 0;
  EXPECT_EQ(WholeOf(file.get(), 1, &length), nullptr) << "an empty file";
  ASSERT_TRUE(file->Write(0, std::string(10000, 'a').data(), 10000).ok());
  const uint8_t* view = WholeOf(file.get(), 10000, &length);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(length, 10000u);
  EXPECT_EQ(view[9999], 'a');
  EXPECT_EQ(WholeOf(file.get(), 10001, &length), nullptr) << "bytes beyond the end";

  // Another process grows the file far past the room the view was given
  // and rewrites its first bytes.
  constexpr uint64_t kGrown = uint64_t{40} << 20;
  EXPECT_EQ(RunChild([&] {
              auto other = OpenShared(path);
              return other->Write(kGrown - 1, "z", 1).ok() && other->Write(5, "b", 1).ok() ? 0 : 1;
            }),
            0);
  view = WholeOf(file.get(), kGrown, &length);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(length, kGrown);
  EXPECT_EQ(view[kGrown - 1], 'z');
  EXPECT_EQ(view[5], 'b');
  EXPECT_EQ(view[20000], 0) << "the hole";
  ASSERT_TRUE(file->Write(6, "c", 1).ok());
  EXPECT_EQ(WholeOf(file.get(), 7, &length)[6], 'c');
}

TEST(FileMappingTest, AFileCutShortUnderItsWholeViewReadsAsZerosUntilMappedAgain) {
  TempFolder dir;
  std::string path = dir / "cut_whole.bin";
  constexpr uint64_t kSize = 1 << 20;
  int result = RunChild([&] {
    auto file = OpenShared(path);
    if (!file->Write(0, std::string(kSize, 'h').data(), kSize).ok()) return 1;
    uint64_t length = 0;
    const uint8_t* view = WholeOf(file.get(), kSize, &length);
    if (view == nullptr || view[kSize - 1] != 'h') return 2;
    if (RunChild([&] { return OpenShared(path)->SetEnd(4096).ok() ? 0 : 1; }) != 0) return 3;
    if (view[kSize / 2] != 0 || view[0] != 'h') return 4;
    // Grown again: the zeros of the touched page are not taken for the
    // file's bytes; the view is mapped afresh.
    if (!file->Write(0, std::string(kSize, 'k').data(), kSize).ok()) return 5;
    view = WholeOf(file.get(), kSize, &length);
    return view != nullptr && view[kSize / 2] == 'k' && view[0] == 'k' ? 0 : 6;
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace tentaria::platform
