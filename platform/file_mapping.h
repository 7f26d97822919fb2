// A view in memory of the first bytes of an open file, for a check made
// before every operation (has another process changed the file?) without a
// call into the host each time.
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

 protected:
  ~StartMapping() = default;
};

// For the host's files: the first page of the file open as fd (which must
// hold at least n bytes), or null; UnmapFileStart gives it back.
const uint8_t* MapFileStart(int fd, size_t n);
void UnmapFileStart(const uint8_t* start);

}  // namespace tentaria::platform

#endif  // TENTARIA_PLATFORM_FILE_MAPPING_H_
