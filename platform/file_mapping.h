// Views in memory of an open file: of its first bytes, for a check made
// before every operation (has another process changed the file?), and of
// the whole file, for loads of its pages; both without a call into the host
// each time.
#ifndef TENTARIA_PLATFORM_FILE_MAPPING_H_
#define TENTARIA_PLATFORM_FILE_MAPPING_H_

#include <cstddef>
#include <cstdint>

namespace tentaria::platform {

inline constexpr size_t kMaxMappedStart = 4096;

// Offered by the host's files; a File that does not offer it (a wrapper of
// the tests) leaves its callers to read.
class StartMapping {
 public:
  // The file's first n bytes (n at most kMaxMappedStart) as they are now
  // and after every later write to them by any process; null when they
  // cannot be mapped (a file shorter than n, no memory, no room).  Valid
  // while the open lives.  Should the file be cut short meanwhile, the view
  // reads as zeros from then on instead of faulting.
  virtual const uint8_t* MapStart(size_t n) = 0;
  // The file from its start through at least byte `end` (exclusive), as it
  // is now and after later writes by any process; *length is how much of
  // it the file holds.  Null when the file is shorter than end or cannot be
  // mapped: the caller then reads.  The view is mapped again as the file
  // grows, so a pointer stays valid only until the next call.  A file cut
  // short under it reads as zeros where it was touched.
  virtual const uint8_t* MapThrough(uint64_t end, uint64_t* length) {
    (void)end;
    (void)length;
    return nullptr;
  }

 protected:
  ~StartMapping() = default;
};

// A view of a file's first `reserved` bytes, rounded up to whole pages;
// it may reach past the file's end, for bytes the file gains later.
struct MappedRange {
  const uint8_t* data = nullptr;
  uint64_t reserved = 0;
  size_t slot = 0;
};

// For the host's files: a view of the file open as fd, or one with null
// data; UnmapFileRange gives it back.
MappedRange MapFileRange(int fd, uint64_t reserved);
void UnmapFileRange(const MappedRange& range);
// True once a read of the view found the file cut short beneath it: parts
// of it then read as zeros, even should the file grow again.
bool RangeStruck(const MappedRange& range);

// For the host's files: the first page of the file open as fd (which must
// hold at least n bytes), or null; UnmapFileStart gives it back.
const uint8_t* MapFileStart(int fd, size_t n);
void UnmapFileStart(const uint8_t* start);

}  // namespace tentaria::platform

#endif  // TENTARIA_PLATFORM_FILE_MAPPING_H_
