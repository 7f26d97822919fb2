// RecordBuffer: the records of one sorted group, kept in 16384-byte memory
// blocks; once more than one block of data is held, full blocks move to a
// temporary file, so a large group costs one block of memory plus the
// record index.
//
// The buffer is a byte stream of records one after another; the index
// keeps where each record starts.  Bytes before `flushed` lie in the
// temporary file at the same offsets, the rest in the memory block.
#ifndef TENTARIA_VIEWS_RECORD_BUFFER_H_
#define TENTARIA_VIEWS_RECORD_BUFFER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "platform/status.h"

namespace tentaria::views {

inline constexpr size_t kRecordBufferBlock = 16384;

class RecordBuffer {
 public:
  explicit RecordBuffer(platform::FileSystem* fs = platform::FileSystem::Default());
  ~RecordBuffer();
  RecordBuffer(const RecordBuffer&) = delete;
  RecordBuffer& operator=(const RecordBuffer&) = delete;

  Status Add(std::string_view record);
  Status Read(size_t index, std::string* record);
  size_t size() const { return starts_.size(); }
  // Forgets the records; the temporary file is kept for the next group.
  void Clear();
  bool spilled() const { return spill_ != nullptr; }
  const std::string& spill_path() const { return spill_path_; }

 private:
  Status WriteFullBlocks();

  platform::FileSystem* fs_;
  std::vector<uint64_t> starts_;
  uint64_t end_ = 0;      // bytes held in all
  uint64_t flushed_ = 0;  // bytes in the temporary file
  std::string block_;     // bytes from flushed_ to end_
  std::unique_ptr<platform::File> spill_;
  std::string spill_path_;
};

}  // namespace tentaria::views

#endif  // TENTARIA_VIEWS_RECORD_BUFFER_H_
