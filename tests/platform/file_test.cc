#include "platform/file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_folder.h"

namespace tentaria::platform {
using test_support::TempFolder;
namespace {

using namespace open_mode;

// A child process that runs body and exits with its result; the parent
// talks to it through two pipes, one byte at a time.
class Child {
 public:
  explicit Child(const std::function<int(Child&)>& body) {
    if (pipe(to_child_) != 0 || pipe(to_parent_) != 0) ADD_FAILURE() << "pipe";
    pid_ = fork();
    if (pid_ == 0) {
      close(to_child_[1]);
      close(to_parent_[0]);
      in_ = to_child_[0];
      out_ = to_parent_[1];
      _exit(body(*this));
    }
    close(to_child_[0]);
    close(to_parent_[1]);
    in_ = to_parent_[0];
    out_ = to_child_[1];
  }
  ~Child() {
    if (pid_ > 0 && !waited_) Wait();
    close(in_);
    close(out_);
  }

  void Send(char c) { ASSERT_EQ(write(out_, &c, 1), 1); }
  // The next byte from the other side, or 0 when it has gone.
  char Receive() {
    char c = 0;
    return read(in_, &c, 1) == 1 ? c : 0;
  }
  // Exit code of the child.
  int Wait() {
    close(out_);
    out_ = -1;
    int status = 0;
    waitpid(pid_, &status, 0);
    waited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
  }

 private:
  int to_child_[2] = {-1, -1};
  int to_parent_[2] = {-1, -1};
  int in_ = -1;
  int out_ = -1;
  pid_t pid_ = -1;
  bool waited_ = false;
};

class FileTest : public ::testing::Test {
 protected:
  FileSystem* fs_ = FileSystem::Default();
  TempFolder folder_;
  std::string path_ = folder_ / "DATA.TVN";

  std::unique_ptr<File> OpenOk(int mode, Disposition disposition = Disposition::kOpenOrCreate) {
    std::unique_ptr<File> file;
    Status status = fs_->Open(path_, mode, disposition, &file);
    EXPECT_TRUE(status.ok()) << status.ToString();
    return file;
  }
  int OpenCode(int mode, Disposition disposition = Disposition::kOpenOrCreate) {
    std::unique_ptr<File> file;
    Status status = fs_->Open(path_, mode, disposition, &file);
    EXPECT_EQ(status.ok(), file != nullptr);
    return status.code();
  }
};

std::string ReadAll(File* file) {
  uint64_t size = 0;
  EXPECT_TRUE(file->Size(&size).ok());
  std::string text(size, '\0');
  size_t got = 0;
  EXPECT_TRUE(file->Read(0, text.data(), text.size(), &got).ok());
  text.resize(got);
  return text;
}

TEST_F(FileTest, WriteReadSizeAndEnd) {
  auto file = OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
  ASSERT_TRUE(file->Write(0, "hello world", 11).ok());
  ASSERT_TRUE(file->Write(6, "WORLD", 5).ok());
  EXPECT_EQ(ReadAll(file.get()), "hello WORLD");
  char buffer[32];
  size_t got = 99;
  ASSERT_TRUE(file->Read(6, buffer, sizeof buffer, &got).ok());
  EXPECT_EQ(got, 5u);  // short only at the end of the file
  ASSERT_TRUE(file->Read(100, buffer, sizeof buffer, &got).ok());
  EXPECT_EQ(got, 0u);
  ASSERT_TRUE(file->SetEnd(5).ok());
  EXPECT_EQ(ReadAll(file.get()), "hello");
  ASSERT_TRUE(file->SetEnd(8).ok());
  EXPECT_EQ(ReadAll(file.get()), std::string("hello\0\0\0", 8));
  EXPECT_TRUE(file->Flush().ok());
  EXPECT_EQ(file->path(), path_);
}

TEST_F(FileTest, Dispositions) {
  EXPECT_EQ(OpenCode(kRead | kDenyNone, Disposition::kOpenExisting), error_code::kFileNotFound);
  EXPECT_FALSE(fs_->Exists(path_));
  {
    auto file = OpenOk(kReadWrite | kDenyNone, Disposition::kOpenOrCreate);
    ASSERT_TRUE(file->Write(0, "abc", 3).ok());
  }
  EXPECT_TRUE(fs_->Exists(path_));
  {
    auto file = OpenOk(kRead | kDenyNone, Disposition::kOpenOrCreate);
    EXPECT_EQ(ReadAll(file.get()), "abc");
  }
  {
    auto file = OpenOk(kRead | kDenyNone, Disposition::kOpenExisting);
    EXPECT_EQ(ReadAll(file.get()), "abc");
  }
  {
    auto file = OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
    EXPECT_EQ(ReadAll(file.get()), "");
  }
}

TEST_F(FileTest, MissingFolderIsPathNotFound) {
  std::unique_ptr<File> file;
  Status status = fs_->Open(folder_ / "NO/SUCH.TVN", kRead, Disposition::kOpenExisting, &file);
  EXPECT_EQ(status.code(), error_code::kPathNotFound);
  status = fs_->Open(folder_ / "NO/SUCH.TVN", kReadWrite, Disposition::kOpenOrCreate, &file);
  EXPECT_EQ(status.code(), error_code::kPathNotFound);
  EXPECT_EQ(fs_->Delete(folder_ / "MISSING").code(), error_code::kFileNotFound);
}

TEST_F(FileTest, FolderCannotBeOpened) {
  std::unique_ptr<File> file;
  EXPECT_EQ(fs_->Open(folder_.path(), kRead, Disposition::kOpenExisting, &file).code(),
            error_code::kAccessDenied);
  EXPECT_EQ(fs_->Open(folder_.path(), kReadWrite, Disposition::kOpenExisting, &file).code(),
            error_code::kAccessDenied);
}

TEST_F(FileTest, AccessIsEnforced) {
  OpenOk(kReadWrite | kDenyNone);
  auto reader = OpenOk(kRead | kDenyNone);
  EXPECT_EQ(reader->Write(0, "x", 1).code(), error_code::kAccessDenied);
  EXPECT_EQ(reader->SetEnd(0).code(), error_code::kAccessDenied);
  auto writer = OpenOk(kWrite | kDenyNone);
  char c;
  size_t got;
  EXPECT_EQ(writer->Read(0, &c, 1, &got).code(), error_code::kAccessDenied);
  EXPECT_TRUE(writer->Write(0, "x", 1).ok());
  std::unique_ptr<File> file;
  EXPECT_EQ(fs_->Open(path_, 3, Disposition::kOpenOrCreate, &file).code(),
            error_code::kAccessDenied);
}

// Whether a second open may join a first one, by the rules of the original
// platform: each open's access must be allowed by the other's sharing.
bool Compatible(int first, int second) {
  auto reads = [](int mode) { return (mode & kAccessMask) != kWrite; };
  auto writes = [](int mode) { return (mode & kAccessMask) != kRead; };
  auto share = [](int mode) { return mode & kShareMask; };
  auto allows_read = [&](int mode) { return share(mode) != kDenyAll && share(mode) != kDenyRead; };
  auto allows_write = [&](int mode) {
    return share(mode) != kDenyAll && share(mode) != kDenyWrite;
  };
  return (!reads(second) || allows_read(first)) && (!writes(second) || allows_write(first)) &&
         (!reads(first) || allows_read(second)) && (!writes(first) || allows_write(second));
}

TEST_F(FileTest, SharingMatrixInOneProcess) {
  OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
  const int accesses[] = {kRead, kWrite, kReadWrite};
  const int shares[] = {kDenyAll, kDenyWrite, kDenyRead, kDenyNone, 0};
  for (int a1 : accesses) {
    for (int s1 : shares) {
      for (int a2 : accesses) {
        for (int s2 : shares) {
          auto first = OpenOk(a1 | s1);
          int code = OpenCode(a2 | s2);
          bool expected = Compatible(a1 | s1, a2 | s2);
          EXPECT_EQ(code, expected ? 0 : error_code::kAccessDenied)
              << "first " << std::hex << (a1 | s1) << " second " << (a2 | s2);
        }
      }
    }
  }
}

TEST_F(FileTest, SharingKnownCases) {
  OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
  {
    auto first = OpenOk(kRead | kDenyWrite);
    EXPECT_EQ(OpenCode(kRead | kDenyWrite), 0);  // readers together
    EXPECT_EQ(OpenCode(kReadWrite | kDenyNone), error_code::kAccessDenied);
    EXPECT_EQ(OpenCode(kRead | kDenyNone), 0);  // allows writers, but brings none
  }
  {
    auto first = OpenOk(kReadWrite | kDenyNone);
    EXPECT_EQ(OpenCode(kReadWrite | kDenyNone), 0);
    EXPECT_EQ(OpenCode(kReadWrite), 0);  // no sharing bits: deny none
    EXPECT_EQ(OpenCode(kRead | kDenyWrite), error_code::kAccessDenied);
    EXPECT_EQ(OpenCode(kReadWrite | kDenyAll), error_code::kAccessDenied);
  }
  {
    auto first = OpenOk(kReadWrite | kDenyAll);
    EXPECT_EQ(OpenCode(kRead | kDenyNone), error_code::kAccessDenied);
    first.reset();  // closing releases its share
    EXPECT_EQ(OpenCode(kRead | kDenyNone), 0);
  }
}

TEST_F(FileTest, CreateNewDoesNotEmptyAFileItMayNotOpen) {
  auto first = OpenOk(kReadWrite | kDenyWrite, Disposition::kCreateNew);
  ASSERT_TRUE(first->Write(0, "keep", 4).ok());
  EXPECT_EQ(OpenCode(kReadWrite | kDenyNone, Disposition::kCreateNew), error_code::kAccessDenied);
  EXPECT_EQ(ReadAll(first.get()), "keep");
}

TEST_F(FileTest, SharingBetweenProcesses) {
  OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
  Child child([&](Child& self) {
    std::unique_ptr<File> file;
    if (!fs_->Open(path_, kReadWrite | kDenyAll, Disposition::kOpenExisting, &file).ok()) return 1;
    self.Send('o');
    self.Receive();  // until the parent is done
    return 0;
  });
  ASSERT_EQ(child.Receive(), 'o');
  EXPECT_EQ(OpenCode(kRead | kDenyNone), error_code::kAccessDenied);
  child.Send('x');
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(OpenCode(kRead | kDenyNone), 0);
}

// Opens racing from several processes: the guard lets at most one
// exclusive open hold the file at any moment.
TEST_F(FileTest, RacingExclusiveOpensExcludeEachOther) {
  OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
  void* shared = mmap(nullptr, 3 * sizeof(std::atomic<int>), PROT_READ | PROT_WRITE,
                      MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(shared, MAP_FAILED);
  auto* holders = new (shared) std::atomic<int>(0);
  auto* overlaps = new (holders + 1) std::atomic<int>(0);
  auto* granted = new (holders + 2) std::atomic<int>(0);
  std::vector<std::unique_ptr<Child>> children;
  for (int p = 0; p < 4; ++p) {
    children.push_back(std::make_unique<Child>([&](Child&) {
      for (int i = 0; i < 300; ++i) {
        // Alternate the two modes that exclude everybody else.
        int mode = i % 2 ? (kReadWrite | kDenyAll) : (kRead | kDenyRead);
        std::unique_ptr<File> file;
        if (!fs_->Open(path_, mode, Disposition::kOpenExisting, &file).ok()) continue;
        if (holders->fetch_add(1) != 0) overlaps->fetch_add(1);
        granted->fetch_add(1);
        holders->fetch_sub(1);
      }
      return 0;
    }));
  }
  for (auto& child : children) EXPECT_EQ(child->Wait(), 0);
  EXPECT_EQ(overlaps->load(), 0);
  EXPECT_GT(granted->load(), 0);
  munmap(shared, 3 * sizeof(std::atomic<int>));
}

TEST_F(FileTest, DeleteAndRenameRefuseAnOpenFile) {
  auto file = OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
  ASSERT_TRUE(file->Write(0, "x", 1).ok());
  EXPECT_EQ(fs_->Delete(path_).code(), error_code::kAccessDenied);
  EXPECT_EQ(fs_->Rename(path_, folder_ / "OTHER").code(), error_code::kAccessDenied);
  EXPECT_EQ(fs_->Rename(folder_ / "OTHER", path_).code(), error_code::kFileNotFound);
  file.reset();
  EXPECT_TRUE(fs_->Rename(path_, folder_ / "OTHER").ok());
  EXPECT_FALSE(fs_->Exists(path_));
  EXPECT_TRUE(fs_->Exists(folder_ / "OTHER"));
  EXPECT_TRUE(fs_->Delete(folder_ / "OTHER").ok());
  EXPECT_FALSE(fs_->Exists(folder_ / "OTHER"));
}

TEST_F(FileTest, LockConflictsBetweenTwoOpens) {
  auto a = OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
  auto b = OpenOk(kReadWrite | kDenyNone);
  ASSERT_TRUE(a->Lock(0x80000000u + 10, 10, LockWait::kNoWait).ok());
  EXPECT_EQ(b->Lock(0x80000000u + 15, 1, LockWait::kNoWait).code(), error_code::kAccessDenied);
  EXPECT_EQ(b->Lock(0x80000000u, 11, LockWait::kNoWait).code(), error_code::kAccessDenied);
  EXPECT_TRUE(b->Lock(0x80000000u + 20, 1, LockWait::kNoWait).ok());
  EXPECT_TRUE(b->Lock(0x80000000u + 9, 1, LockWait::kNoWait).ok());
  // The same open cannot lock an overlapping range twice.
  EXPECT_EQ(a->Lock(0x80000000u + 19, 1, LockWait::kNoWait).code(), error_code::kAccessDenied);
  // Unlocking needs the exact range.
  EXPECT_EQ(a->Unlock(0x80000000u + 10, 5).code(), error_code::kNotLocked);
  EXPECT_EQ(a->Unlock(0x80000000u + 30, 1).code(), error_code::kNotLocked);
  ASSERT_TRUE(a->Unlock(0x80000000u + 10, 10).ok());
  EXPECT_TRUE(b->Lock(0x80000000u + 15, 1, LockWait::kNoWait).ok());
  // Closing releases every lock.
  ASSERT_TRUE(a->Lock(0x80000000u + 100, 1, LockWait::kNoWait).ok());
  a.reset();
  EXPECT_TRUE(b->Lock(0x80000000u + 100, 1, LockWait::kNoWait).ok());
  // The reserved sharing area cannot be locked.
  EXPECT_EQ(b->Lock(uint64_t{1} << 40, 1, LockWait::kNoWait).code(), error_code::kAccessDenied);
  EXPECT_EQ(b->Lock((uint64_t{1} << 40) - 1, 2, LockWait::kNoWait).code(),
            error_code::kAccessDenied);
}

TEST_F(FileTest, LockWithWaitIsGrantedWhenTheOtherOpenCloses) {
  auto a = OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
  auto b = OpenOk(kReadWrite | kDenyNone);
  ASSERT_TRUE(a->Lock(0x80000400u, 1, LockWait::kNoWait).ok());
  std::atomic<bool> granted{false};
  Status waited;
  std::thread waiter([&] {
    waited = b->Lock(0x80000400u, 1, LockWait::kWait);
    granted = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_FALSE(granted);
  a.reset();
  waiter.join();
  EXPECT_TRUE(granted);
  EXPECT_TRUE(waited.ok()) << waited.ToString();
}

TEST_F(FileTest, LockConflictsBetweenProcesses) {
  OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
  Child child([&](Child& self) {
    std::unique_ptr<File> file;
    if (!fs_->Open(path_, kReadWrite | kDenyNone, Disposition::kOpenExisting, &file).ok()) return 1;
    if (!file->Lock(0x80000000u + 1025 + 7, 1, LockWait::kNoWait).ok()) return 2;
    self.Send('l');
    self.Receive();
    return 0;  // exiting releases the lock
  });
  ASSERT_EQ(child.Receive(), 'l');
  auto file = OpenOk(kReadWrite | kDenyNone);
  EXPECT_EQ(file->Lock(0x80000000u + 1025 + 7, 1, LockWait::kNoWait).code(),
            error_code::kAccessDenied);
  EXPECT_TRUE(file->Lock(0x80000000u + 1025 + 8, 1, LockWait::kNoWait).ok());
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    child.Send('x');
  });
  EXPECT_TRUE(file->Lock(0x80000000u + 1025 + 7, 1, LockWait::kWait).ok());
  release.join();
  EXPECT_EQ(child.Wait(), 0);
}

TEST_F(FileTest, OffsetsBeyondFourGigabytes) {
  auto file = OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
  const uint64_t far = (uint64_t{5} << 30) + 123;  // 5 GiB and a bit
  ASSERT_TRUE(file->Write(far, "far away", 8).ok());
  uint64_t size = 0;
  ASSERT_TRUE(file->Size(&size).ok());
  EXPECT_EQ(size, far + 8);
  char buffer[16] = {};
  size_t got = 0;
  ASSERT_TRUE(file->Read(far, buffer, sizeof buffer, &got).ok());
  EXPECT_EQ(got, 8u);
  EXPECT_EQ(std::string(buffer, 8), "far away");
  ASSERT_TRUE(file->Read(uint64_t{4} << 30, buffer, 4, &got).ok());
  EXPECT_EQ(got, 4u);
  EXPECT_EQ(std::string(buffer, 4), std::string(4, '\0'));  // the hole reads as zeros
  auto other = OpenOk(kReadWrite | kDenyNone);
  ASSERT_TRUE(file->Lock(far, 1, LockWait::kNoWait).ok());
  EXPECT_EQ(other->Lock(far, 1, LockWait::kNoWait).code(), error_code::kAccessDenied);
  EXPECT_TRUE(other->Lock(far - (uint64_t{1} << 32), 1, LockWait::kNoWait).ok());
  ASSERT_TRUE(file->SetEnd(0).ok());
}

TEST_F(FileTest, ShortWriteIsAccessDenied) {
  Child child([&](Child&) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{100, 100};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 1;
    std::unique_ptr<File> file;
    if (!fs_->Open(path_, kReadWrite | kDenyNone, Disposition::kCreateNew, &file).ok()) return 2;
    std::string data(200, 'x');
    Status status = file->Write(0, data.data(), data.size());
    return status.code() == error_code::kAccessDenied ? 0 : 3;
  });
  EXPECT_EQ(child.Wait(), 0);
}

TEST_F(FileTest, TooManyOpenFiles) {
  OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
  Child child([&](Child&) {
    rlimit limit{16, 16};
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) return 1;
    std::vector<std::unique_ptr<File>> files;
    for (int i = 0; i < 32; ++i) {
      std::unique_ptr<File> file;
      Status status = fs_->Open(path_, kRead | kDenyNone, Disposition::kOpenExisting, &file);
      if (status.code() == error_code::kTooManyOpenFiles) return 0;
      if (!status.ok()) return 2;
      files.push_back(std::move(file));
    }
    return 3;
  });
  EXPECT_EQ(child.Wait(), 0);
}

// A file the host lets this process open only for reading: the open falls
// back to a read-only descriptor, sharing still works, locks are shared.
// Run as an ordinary user in a child, since the superuser may write any
// file.
TEST_F(FileTest, ReadOnlyHostFile) {
  {
    auto file = OpenOk(kReadWrite | kDenyNone, Disposition::kCreateNew);
    ASSERT_TRUE(file->Write(0, "read only", 9).ok());
  }
  ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
  ASSERT_EQ(chmod(folder_.path().c_str(), 0755), 0);
  Child child([&](Child&) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 1;
    std::unique_ptr<File> a;
    if (!fs_->Open(path_, kRead | kDenyNone, Disposition::kOpenExisting, &a).ok()) return 2;
    char buffer[9];
    size_t got = 0;
    if (!a->Read(0, buffer, 9, &got).ok() || got != 9) return 3;
    if (a->Write(0, "x", 1).code() != error_code::kAccessDenied) return 4;
    std::unique_ptr<File> b;
    if (fs_->Open(path_, kReadWrite | kDenyNone, Disposition::kOpenExisting, &b).code() !=
        error_code::kAccessDenied) {
      return 5;
    }
    if (fs_->Open(path_, kRead | kDenyRead, Disposition::kOpenExisting, &b).code() !=
        error_code::kAccessDenied) {
      return 6;
    }
    if (!fs_->Open(path_, kRead | kDenyWrite, Disposition::kOpenExisting, &b).ok()) return 7;
    if (!a->Lock(0x80000000u, 1, LockWait::kNoWait).ok()) return 8;
    if (!b->Lock(0x80000000u, 1, LockWait::kNoWait).ok()) return 9;  // shared
    if (!a->Flush().ok()) return 10;
    return 0;
  });
  EXPECT_EQ(child.Wait(), 0);
}

}  // namespace
}  // namespace tentaria::platform
