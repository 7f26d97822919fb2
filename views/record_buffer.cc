#include "views/record_buffer.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <system_error>

namespace tentaria::views {

namespace {

std::string TemporaryPath() {
  static std::atomic<unsigned> counter{0};
  std::error_code error;
  std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) folder = "/tmp";
  return (folder / ("tentaria-view-" + std::to_string(getpid()) + "-" +
                    std::to_string(counter.fetch_add(1)) + ".tmp"))
      .string();
}

}  // namespace

RecordBuffer::RecordBuffer(platform::FileSystem* fs) : fs_(fs) {}

RecordBuffer::~RecordBuffer() {
  if (!spill_) return;
  spill_.reset();
  static_cast<void>(fs_->Delete(spill_path_));
}

Status RecordBuffer::Add(std::string_view record) {
  starts_.push_back(end_);
  block_.append(record);
  end_ += record.size();
  return WriteFullBlocks();
}

Status RecordBuffer::WriteFullBlocks() {
  if (block_.size() <= kRecordBufferBlock) return Status::Ok();
  if (!spill_) {
    spill_path_ = TemporaryPath();
    Status s =
        fs_->Open(spill_path_, platform::open_mode::kReadWrite | platform::open_mode::kDenyAll,
                  platform::Disposition::kCreateNew, &spill_);
    if (!s.ok()) {
      spill_.reset();
      return s;
    }
  }
  size_t full = block_.size() / kRecordBufferBlock * kRecordBufferBlock;
  Status s = spill_->Write(flushed_, block_.data(), full);
  if (!s.ok()) return s;
  flushed_ += full;
  block_.erase(0, full);
  return Status::Ok();
}

Status RecordBuffer::Read(size_t index, std::string* record) {
  uint64_t start = starts_.at(index);
  uint64_t end = index + 1 < starts_.size() ? starts_[index + 1] : end_;
  record->resize(static_cast<size_t>(end - start));
  if (start < flushed_) {
    size_t from_file = static_cast<size_t>(std::min(end, flushed_) - start);
    size_t read = 0;
    Status s = spill_->Read(start, record->data(), from_file, &read);
    if (!s.ok()) return s;
    if (read != from_file) return Status::Error(90, "the sort file is shorter than written");
    start += from_file;
  }
  if (start < end) {
    block_.copy(record->data() + (record->size() - static_cast<size_t>(end - start)),
                static_cast<size_t>(end - start), static_cast<size_t>(start - flushed_));
  }
  return Status::Ok();
}

void RecordBuffer::Clear() {
  starts_.clear();
  block_.clear();
  end_ = 0;
  flushed_ = 0;
}

}  // namespace tentaria::views
