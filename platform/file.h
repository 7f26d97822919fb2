// Files with the runtime's open modes, sharing and byte-range locks.
//
// Every file access of the storage engine goes through FileSystem and File,
// so that tests can wrap the real file system (see fault_injection.h) and
// make a chosen write or flush fail, or "lose power" after it.
#ifndef TENTARIA_PLATFORM_FILE_H_
#define TENTARIA_PLATFORM_FILE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/status.h"

namespace tentaria::platform {

// The runtime's open mode: access in bits 0-1, sharing in bits 4-6.
namespace open_mode {
inline constexpr int kRead = 0x00;
inline constexpr int kWrite = 0x01;
inline constexpr int kReadWrite = 0x02;
inline constexpr int kAccessMask = 0x03;
inline constexpr int kDenyAll = 0x10;
inline constexpr int kDenyWrite = 0x20;
inline constexpr int kDenyRead = 0x30;
inline constexpr int kDenyNone = 0x40;
inline constexpr int kShareMask = 0x70;
}  // namespace open_mode

// What to do when the file does or does not exist.
enum class Disposition {
  kOpenExisting,  // fail with code 2 when missing
  kOpenOrCreate,  // create when missing
  kCreateNew,     // create, replacing an existing file (truncated to 0)
};

enum class LockWait { kNoWait, kWait };

// One open of a file.  Offsets are 64-bit.  Closing (destroying) the object
// releases every lock it holds and its share of the sharing reservation.
class File {
 public:
  virtual ~File() = default;

  // Reads up to n bytes at offset; *bytes_read is less than n only at the
  // end of the file.
  virtual Status Read(uint64_t offset, void* buffer, size_t n, size_t* bytes_read) = 0;
  // Writes all n bytes at offset; a short write is code 5.
  virtual Status Write(uint64_t offset, const void* buffer, size_t n) = 0;
  // Forces written data to stable storage.
  virtual Status Flush() = 0;
  // Sets the file's length (truncates or extends with zeros).
  virtual Status SetEnd(uint64_t length) = 0;
  virtual Status Size(uint64_t* length) = 0;

  // Exclusive lock on [offset, offset + length).  Two opens of one file
  // conflict even inside one process.  kNoWait fails at once with code 5
  // (kAccessDenied) when another open holds an overlapping lock.  As on the
  // original platform, a range that overlaps one this open already holds is
  // refused (code 5), and Unlock takes exactly a range that was locked
  // (else code 158, kNotLocked).  Offsets from 2^40 up are reserved for the
  // sharing modes and refused (code 5).  A length of 0 does nothing.
  virtual Status Lock(uint64_t offset, uint64_t length, LockWait wait) = 0;
  virtual Status Unlock(uint64_t offset, uint64_t length) = 0;

  // The host path the file was opened under.
  virtual const std::string& path() const = 0;
};

// Opens, creates and deletes files.  Paths given here are host paths; the
// mapping of the runtime's names (backslashes, drive letters, case) is done
// by path.h before calling.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The real file system of the host.  Never null; lives for the process.
  static FileSystem* Default();

  // Opens path with the runtime open mode (access and sharing bits).  A
  // sharing conflict with another open of the same file is code 5.  Sharing
  // 0 and the unnamed codes 0x50-0x70 share like deny none; access 3 is
  // refused (code 5), as is a folder.  Read on an open for writing only and
  // Write or SetEnd on an open for reading only are code 5.  Other host
  // errors: missing file 2, missing folder 3, no permission 5, too many
  // open files 4, no memory 8, anything else 90 with the host's text.
  virtual Status Open(const std::string& path, int mode, Disposition disposition,
                      std::unique_ptr<File>* file) = 0;
  // As on the original platform, a file that is open (through any open,
  // in any process) cannot be deleted or renamed, nor replaced by a rename:
  // code 5.  Rename replaces a target that is not open.
  virtual Status Delete(const std::string& path) = 0;
  virtual Status Rename(const std::string& from, const std::string& to) = 0;
  virtual bool Exists(const std::string& path) = 0;
};

}  // namespace tentaria::platform

#endif  // TENTARIA_PLATFORM_FILE_H_
