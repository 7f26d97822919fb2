#include "platform/file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>

#include "platform/file_mapping.h"

namespace tentaria::platform {
namespace {

// Sharing is kept as open-file-description locks in a reserved area of the
// file, far above any offset the storage engine locks (it uses
// 0x80000000 + ...), so that opens of one file see each other even inside
// one process:
//
//   offset          length  lock                meaning
//   2^40 + 0        1       read, while open    this open may read
//   2^40 + 1        1       read, while open    this open may write
//   2^40 + 2        1       read, while open    this open denies reading
//   2^40 + 3        1       read, while open    this open denies writing
//   2^40 + 4        1       write, briefly      guard: one open at a time
//                                               checks and takes the above
//
// An open tests, under the guard, whether another open holds a marker its
// own access or denial conflicts with (a write-lock test: any read lock of
// another open description answers), then takes its own markers.
constexpr uint64_t kReservedStart = uint64_t{1} << 40;
constexpr uint64_t kMarkerRead = kReservedStart + 0;
constexpr uint64_t kMarkerWrite = kReservedStart + 1;
constexpr uint64_t kMarkerDenyRead = kReservedStart + 2;
constexpr uint64_t kMarkerDenyWrite = kReservedStart + 3;
constexpr uint64_t kGuard = kReservedStart + 4;
// The least view of a whole file, in bytes of address space (not memory).
constexpr uint64_t kMinimumMapping = uint64_t{1} << 24;
constexpr uint64_t kMaxOffset = static_cast<uint64_t>(std::numeric_limits<off_t>::max());

std::string ErrnoText(int error) {
  char buffer[256];
  // The GNU strerror_r returns the text, which may not be in buffer.
  const char* text = strerror_r(error, buffer, sizeof buffer);
  return text;
}

bool FolderExists(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return true;
  std::string folder = slash == 0 ? "/" : path.substr(0, slash);
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The runtime's code for an error of the host.
Status ErrnoStatus(int error, const std::string& what, const std::string& path) {
  std::string message = what + " " + path + ": " + ErrnoText(error);
  switch (error) {
    case ENOENT:
      return Status::Error(
          FolderExists(path) ? error_code::kFileNotFound : error_code::kPathNotFound, message);
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return Status::Error(error_code::kPathNotFound, message);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EBADF:
      return Status::Error(error_code::kAccessDenied, message);
    case EMFILE:
    case ENFILE:
      return Status::Error(error_code::kTooManyOpenFiles, message);
    case ENOMEM:
      return Status::Error(error_code::kInsufficientMemory, message);
    default:
      return Status::Error(error_code::kFileSystemError, message);
  }
}

// One open-file-description lock request; F_OFD_SETLKW is repeated when a
// signal interrupts it.
int OfdLock(int fd, int command, short type, uint64_t offset, uint64_t length) {
  struct flock request {};
  request.l_type = type;
  request.l_whence = SEEK_SET;
  request.l_start = static_cast<off_t>(offset);
  request.l_len = static_cast<off_t>(length);
  request.l_pid = 0;
  while (true) {
    if (fcntl(fd, command, &request) == 0) return 0;
    if (errno != EINTR) return -1;
  }
}

// True when another open of the file holds a lock on the byte.
bool HeldByOther(int fd, uint64_t offset, bool* failed) {
  struct flock request {};
  request.l_type = F_WRLCK;
  request.l_whence = SEEK_SET;
  request.l_start = static_cast<off_t>(offset);
  request.l_len = 1;
  request.l_pid = 0;
  if (fcntl(fd, F_OFD_GETLK, &request) != 0) {
    *failed = true;
    return false;
  }
  return request.l_type != F_UNLCK;
}

// True when another open of the file holds any sharing marker: the file is
// open somewhere.
bool OpenElsewhere(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  bool failed = false;
  bool open = false;
  for (uint64_t marker = kMarkerRead; marker <= kMarkerDenyWrite && !open; ++marker) {
    open = HeldByOther(fd, marker, &failed);
  }
  close(fd);
  return open;
}

class PosixFile : public File, public StartMapping {
 public:
  PosixFile(int fd, std::string path, int access, bool writable_fd)
      : fd_(fd), path_(std::move(path)), access_(access), writable_fd_(writable_fd) {}
  ~PosixFile() override {
    if (mapped_start_ != nullptr) UnmapFileStart(mapped_start_);
    UnmapFileRange(mapped_whole_);
    close(fd_);  // releases every lock of this open
  }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  Status Read(uint64_t offset, void* buffer, size_t n, size_t* bytes_read) override {
    *bytes_read = 0;
    if (access_ == open_mode::kWrite) {
      return Status::Error(error_code::kAccessDenied,
                           "read of a file opened for writing only " + path_);
    }
    if (offset > kMaxOffset || n > kMaxOffset - offset) {
      return Status::Error(error_code::kAccessDenied, "read beyond the largest offset " + path_);
    }
    char* out = static_cast<char*>(buffer);
    while (*bytes_read < n) {
      ssize_t got =
          pread(fd_, out + *bytes_read, n - *bytes_read, static_cast<off_t>(offset + *bytes_read));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return ErrnoStatus(errno, "read", path_);
      if (got == 0) break;  // end of file
      *bytes_read += static_cast<size_t>(got);
    }
    return Status::Ok();
  }

  Status Write(uint64_t offset, const void* buffer, size_t n) override {
    if (access_ == open_mode::kRead || !writable_fd_) {
      return Status::Error(error_code::kAccessDenied,
                           "write to a file opened for reading " + path_);
    }
    if (offset > kMaxOffset || n > kMaxOffset - offset) {
      return Status::Error(error_code::kAccessDenied, "write beyond the largest offset " + path_);
    }
    const char* in = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < n) {
      ssize_t put = pwrite(fd_, in + done, n - done, static_cast<off_t>(offset + done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0 && errno != ENOSPC && errno != EFBIG && errno != EDQUOT) {
        return ErrnoStatus(errno, "write", path_);
      }
      if (put <= 0) {
        // A write that writes fewer bytes than asked counts as access denied.
        return Status::Error(error_code::kAccessDenied, "short write to " + path_ + " (" +
                                                            std::to_string(done) + " of " +
                                                            std::to_string(n) + " bytes)");
      }
      done += static_cast<size_t>(put);
    }
    return Status::Ok();
  }

  Status Flush() override {
    while (fdatasync(fd_) != 0) {
      if (errno == EINTR) continue;
      // A file that cannot be synchronised (a pipe, some special files)
      // has nothing to flush.
      if (errno == EINVAL || errno == EROFS) break;
      return ErrnoStatus(errno, "flush", path_);
    }
    return Status::Ok();
  }

  Status SetEnd(uint64_t length) override {
    if (access_ == open_mode::kRead || !writable_fd_) {
      return Status::Error(error_code::kAccessDenied,
                           "set the end of a file opened for reading " + path_);
    }
    if (length > kMaxOffset) {
      return Status::Error(error_code::kAccessDenied, "length beyond the largest offset " + path_);
    }
    while (ftruncate(fd_, static_cast<off_t>(length)) != 0) {
      if (errno == EINTR) continue;
      return ErrnoStatus(errno, "set the end of", path_);
    }
    // The view must not serve bytes this open cut away.
    mapped_length_ = std::min(mapped_length_, length);
    return Status::Ok();
  }

  Status Size(uint64_t* length) override {
    struct stat info {};
    if (fstat(fd_, &info) != 0) return ErrnoStatus(errno, "size of", path_);
    *length = static_cast<uint64_t>(info.st_size);
    return Status::Ok();
  }

  // The host lock is exclusive on a descriptor opened for writing.  A file
  // that the host lets this process open only for reading (read-only
  // permissions, a read-only mount) cannot take a write lock, so it takes a
  // shared one: two such opens do not exclude each other, which is safe
  // because no open can write such a file, so there is no writer for the
  // lock to keep out; against an open that can write, the shared lock
  // still conflicts as an exclusive one would.  As on the original
  // platform, one open cannot lock a range overlapping one it holds, and
  // unlocks exactly a range it locked.
  Status Lock(uint64_t offset, uint64_t length, LockWait wait) override {
    if (length == 0) return Status::Ok();
    if (offset >= kReservedStart || length > kReservedStart - offset) {
      return Status::Error(error_code::kAccessDenied, "lock in the reserved area of " + path_);
    }
    if (OverlapsHeld(offset, length)) {
      return Status::Error(error_code::kAccessDenied,
                           "lock overlaps a lock of the same open " + path_);
    }
    int command = wait == LockWait::kWait ? F_OFD_SETLKW : F_OFD_SETLK;
    short type = writable_fd_ ? F_WRLCK : F_RDLCK;
    if (OfdLock(fd_, command, type, offset, length) != 0) {
      if (errno == EAGAIN || errno == EACCES) {
        return Status::Error(error_code::kAccessDenied, "range locked by another open of " + path_);
      }
      return ErrnoStatus(errno, "lock", path_);
    }
    held_[offset] = length;
    return Status::Ok();
  }

  Status Unlock(uint64_t offset, uint64_t length) override {
    if (length == 0) return Status::Ok();
    auto held = held_.find(offset);
    if (held == held_.end() || held->second != length) {
      return Status::Error(error_code::kNotLocked, "unlock of a range not locked " + path_);
    }
    if (OfdLock(fd_, F_OFD_SETLK, F_UNLCK, offset, length) != 0) {
      return ErrnoStatus(errno, "unlock", path_);
    }
    held_.erase(held);
    return Status::Ok();
  }

  const std::string& path() const override { return path_; }

  const uint8_t* MapStart(size_t n) override {
    if (access_ == open_mode::kWrite || n > kMaxMappedStart) return nullptr;
    if (mapped_start_ == nullptr) mapped_start_ = MapFileStart(fd_, n);
    return mapped_start_;
  }

  const uint8_t* MapThrough(uint64_t end, uint64_t* length) override {
    if (access_ == open_mode::kWrite) return nullptr;
    if (mapped_whole_.data != nullptr && end <= mapped_length_ && !RangeStruck(mapped_whole_)) {
      *length = mapped_length_;
      return mapped_whole_.data;
    }
    struct stat info {};
    if (fstat(fd_, &info) != 0 || static_cast<uint64_t>(info.st_size) < end) return nullptr;
    auto size = static_cast<uint64_t>(info.st_size);
    if (mapped_whole_.data == nullptr || size > mapped_whole_.reserved ||
        RangeStruck(mapped_whole_)) {
      // Room for the file to double, so that a growing file is seldom
      // mapped again.
      MappedRange grown = MapFileRange(fd_, std::max(size * 2, kMinimumMapping));
      if (grown.data == nullptr) return nullptr;
      UnmapFileRange(mapped_whole_);
      mapped_whole_ = grown;
    }
    mapped_length_ = size;
    *length = size;
    return mapped_whole_.data;
  }

 private:
  bool OverlapsHeld(uint64_t offset, uint64_t length) const {
    auto next = held_.lower_bound(offset);
    if (next != held_.end() && next->first < offset + length) return true;
    if (next == held_.begin()) return false;
    auto previous = std::prev(next);
    return previous->first + previous->second > offset;
  }

  int fd_;
  std::string path_;
  int access_;
  bool writable_fd_;
  std::map<uint64_t, uint64_t> held_;  // offset -> length of this open's locks
  const uint8_t* mapped_start_ = nullptr;
  MappedRange mapped_whole_;
  uint64_t mapped_length_ = 0;  // of the file when last seen
};

// Takes the sharing guard of the file for the length of one open's check.
// A descriptor open for writing takes the guard as a write lock.  One open
// only for reading cannot: it takes a read lock on the guard (which waits
// for a writing descriptor's guard) and, to exclude the other read-only
// descriptors, an flock on the file, which any descriptor may take.
class SharingGuard {
 public:
  SharingGuard(int fd, bool writable_fd) : fd_(fd), writable_fd_(writable_fd) {
    if (!writable_fd_) {
      while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
    ok_ = OfdLock(fd_, F_OFD_SETLKW, writable_fd_ ? F_WRLCK : F_RDLCK, kGuard, 1) == 0;
    error_ = ok_ ? 0 : errno;
  }
  ~SharingGuard() {
    if (ok_) OfdLock(fd_, F_OFD_SETLK, F_UNLCK, kGuard, 1);
    if (!writable_fd_) flock(fd_, LOCK_UN);
  }
  SharingGuard(const SharingGuard&) = delete;
  SharingGuard& operator=(const SharingGuard&) = delete;

  bool ok() const { return ok_; }
  int error() const { return error_; }

 private:
  int fd_;
  bool writable_fd_;
  bool ok_ = false;
  int error_ = 0;
};

// Checks the sharing of a new open against the others and takes its
// markers; code 5 on a conflict.
Status TakeSharing(int fd, bool writable_fd, int access, int share, const std::string& path) {
  bool reads = access != open_mode::kWrite;
  bool writes = access != open_mode::kRead;
  bool denies_read = share == open_mode::kDenyAll || share == open_mode::kDenyRead;
  bool denies_write = share == open_mode::kDenyAll || share == open_mode::kDenyWrite;

  SharingGuard guard(fd, writable_fd);
  if (!guard.ok()) return ErrnoStatus(guard.error(), "sharing guard of", path);
  bool failed = false;
  bool conflict = (reads && HeldByOther(fd, kMarkerDenyRead, &failed)) ||
                  (writes && HeldByOther(fd, kMarkerDenyWrite, &failed)) ||
                  (denies_read && HeldByOther(fd, kMarkerRead, &failed)) ||
                  (denies_write && HeldByOther(fd, kMarkerWrite, &failed));
  if (failed) return ErrnoStatus(errno, "sharing test of", path);
  if (conflict) {
    return Status::Error(error_code::kAccessDenied, "sharing violation: " + path + " is open");
  }
  const std::pair<bool, uint64_t> markers[] = {{reads, kMarkerRead},
                                               {writes, kMarkerWrite},
                                               {denies_read, kMarkerDenyRead},
                                               {denies_write, kMarkerDenyWrite}};
  for (const auto& [wanted, marker] : markers) {
    if (wanted && OfdLock(fd, F_OFD_SETLK, F_RDLCK, marker, 1) != 0) {
      return ErrnoStatus(errno, "sharing marker of", path);
    }
  }
  return Status::Ok();
}

class PosixFileSystem : public FileSystem {
 public:
  Status Open(const std::string& path, int mode, Disposition disposition,
              std::unique_ptr<File>* file) override {
    file->reset();
    int access = mode & open_mode::kAccessMask;
    if (access == open_mode::kAccessMask) {
      return Status::Error(error_code::kAccessDenied, "invalid access in open mode for " + path);
    }
    int share = mode & open_mode::kShareMask;
    if (share != open_mode::kDenyAll && share != open_mode::kDenyWrite &&
        share != open_mode::kDenyRead) {
      share = open_mode::kDenyNone;  // 0 and the unnamed codes share fully
    }
    int flags = O_CLOEXEC;
    if (disposition != Disposition::kOpenExisting) flags |= O_CREAT;
    // The descriptor is opened for reading and writing whenever the host
    // permits, even for read access, because an exclusive byte-range lock
    // needs a descriptor open for writing; Write refuses what the access
    // does not allow.
    bool writable_fd = true;
    int fd = open(path.c_str(), flags | O_RDWR, 0666);
    if (fd < 0 && access == open_mode::kRead && disposition != Disposition::kCreateNew &&
        (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY)) {
      writable_fd = false;
      fd = open(path.c_str(), flags | O_RDONLY, 0666);
    }
    if (fd < 0) return ErrnoStatus(errno, "open", path);
    struct stat info {};
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
      close(fd);
      return Status::Error(error_code::kAccessDenied, "open " + path + ": is a folder");
    }
    Status status = TakeSharing(fd, writable_fd, access, share, path);
    // Only an open that passed the sharing check may empty the file.
    if (status.ok() && disposition == Disposition::kCreateNew) {
      while (ftruncate(fd, 0) != 0) {
        if (errno == EINTR) continue;
        status = ErrnoStatus(errno, "empty", path);
        break;
      }
    }
    if (!status.ok()) {
      close(fd);
      return status;
    }
    *file = std::make_unique<PosixFile>(fd, path, access, writable_fd);
    return Status::Ok();
  }

  // As on the original platform, a file that is open cannot be deleted or
  // renamed, nor replaced by a rename.
  Status Delete(const std::string& path) override {
    if (OpenElsewhere(path)) {
      return Status::Error(error_code::kAccessDenied, "delete " + path + ": the file is open");
    }
    if (unlink(path.c_str()) != 0) return ErrnoStatus(errno, "delete", path);
    return Status::Ok();
  }

  Status Rename(const std::string& from, const std::string& to) override {
    if (OpenElsewhere(from) || (Exists(from) && OpenElsewhere(to))) {
      return Status::Error(error_code::kAccessDenied,
                           "rename " + from + " to " + to + ": the file is open");
    }
    if (rename(from.c_str(), to.c_str()) != 0) {
      int error = errno;
      // ENOENT names a missing source, or a missing folder on either side.
      const std::string& named =
          error == ENOENT && FolderExists(from) && !FolderExists(to) ? to : from;
      return ErrnoStatus(error, "rename " + from + " to " + to + ":", named);
    }
    return Status::Ok();
  }

  bool Exists(const std::string& path) override {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
  }
};

}  // namespace

FileSystem* FileSystem::Default() {
  // Never destroyed, so that it outlives every static user.
  static FileSystem* const file_system = new PosixFileSystem();
  return file_system;
}

}  // namespace tentaria::platform
