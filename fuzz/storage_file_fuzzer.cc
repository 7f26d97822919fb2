// Fuzzes what the record file engine reads from disk: the header, a page
// image, the expansion of compressed pages, and a whole file opened and
// walked through an in-memory file system.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/file.h"
#include "storage/file_header.h"
#include "storage/page_compression.h"
#include "storage/page_image.h"
#include "storage/record_file.h"

namespace {

using tentaria::Status;
using namespace tentaria::platform;
using namespace tentaria::storage;

// One file held in memory; locks always succeed (one process).
class MemoryFile : public File {
 public:
  explicit MemoryFile(std::string* bytes) : bytes_(bytes) {}
  Status Read(uint64_t offset, void* buffer, size_t n, size_t* bytes_read) override {
    *bytes_read = offset >= bytes_->size() ? 0 : std::min<uint64_t>(n, bytes_->size() - offset);
    if (*bytes_read) std::memcpy(buffer, bytes_->data() + offset, *bytes_read);
    return Status::Ok();
  }
  Status Write(uint64_t offset, const void* buffer, size_t n) override {
    if (offset + n > (64u << 20)) return Status::Error(5);
    if (bytes_->size() < offset + n) bytes_->resize(offset + n);
    std::memcpy(bytes_->data() + offset, buffer, n);
    return Status::Ok();
  }
  Status Flush() override { return Status::Ok(); }
  Status SetEnd(uint64_t length) override {
    bytes_->resize(length);
    return Status::Ok();
  }
  Status Size(uint64_t* length) override {
    *length = bytes_->size();
    return Status::Ok();
  }
  Status Lock(uint64_t, uint64_t, LockWait) override { return Status::Ok(); }
  Status Unlock(uint64_t, uint64_t) override { return Status::Ok(); }
  const std::string& path() const override { return path_; }

 private:
  std::string* bytes_;
  std::string path_ = "fuzz.tvn";
};

class MemoryFileSystem : public FileSystem {
 public:
  explicit MemoryFileSystem(std::string bytes) : bytes_(std::move(bytes)) {}
  Status Open(const std::string&, int, Disposition, std::unique_ptr<File>* file) override {
    *file = std::make_unique<MemoryFile>(&bytes_);
    return Status::Ok();
  }
  Status Delete(const std::string&) override { return Status::Ok(); }
  Status Rename(const std::string&, const std::string&) override { return Status::Ok(); }
  bool Exists(const std::string&) override { return true; }

 private:
  std::string bytes_;
};

void FuzzWholeFile(const uint8_t* data, size_t size, bool write) {
  MemoryFileSystem fs(std::string(reinterpret_cast<const char*>(data), size));
  std::unique_ptr<RecordFile> file;
  if (!RecordFile::Open(&fs, "fuzz.tvn", open_mode::kReadWrite | open_mode::kDenyAll,
                        Disposition::kOpenExisting, {}, &file)
           .ok()) {
    return;
  }
  auto cursor = file->NewCursor();
  int steps = 0;
  for (Status s = cursor->SeekToFirst(); s.ok() && cursor->Valid() && steps < 5000; ++steps) {
    s = cursor->Next();
  }
  std::vector<std::string> problems;
  file->CheckIntegrity(&problems);
  if (write && file->Put(std::string("\x00\x00\x00\x01\xF3\x00\x00\x00\x07payload", 16), 9).ok()) {
    file->Flush();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  uint8_t mode = data[0] % 5;
  ++data;
  --size;
  switch (mode) {
    case 0: {
      FileHeader header;
      DecodeHeader(data, size, &header);
      break;
    }
    case 1: {
      std::unique_ptr<Page> page;
      DecodePageImage(data, size, 0, &page);
      break;
    }
    case 2: {
      if (size < 2) break;
      size_t out_size = data[0] | static_cast<size_t>(data[1]) << 8;
      std::vector<uint8_t> out(out_size);
      ExpandPage(data + 2, size - 2, out.data(), out.size());
      break;
    }
    default:
      FuzzWholeFile(data, size, mode == 4);
      break;
  }
  return 0;
}
