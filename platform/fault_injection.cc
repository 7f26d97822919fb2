#include "platform/fault_injection.h"

#include <utility>

namespace tentaria::platform {
namespace {

// Reads the whole content of an open file.
Status ReadContent(File* file, std::string* content) {
  uint64_t size = 0;
  Status status = file->Size(&size);
  if (!status.ok()) return status;
  content->assign(size, '\0');
  size_t got = 0;
  status = file->Read(0, content->data(), content->size(), &got);
  content->resize(got);
  return status;
}

}  // namespace

// A file opened through FaultInjectionFileSystem: every counted operation
// asks the file system first.
class FaultInjectionFile : public File {
 public:
  FaultInjectionFile(FaultInjectionFileSystem* owner, std::unique_ptr<File> base, bool may_read)
      : owner_(owner), base_(std::move(base)), may_read_(may_read) {}

  Status Read(uint64_t offset, void* buffer, size_t n, size_t* bytes_read) override {
    if (!may_read_) {
      *bytes_read = 0;
      return Status::Error(error_code::kAccessDenied,
                           "read of a file opened for writing only " + path());
    }
    return base_->Read(offset, buffer, n, bytes_read);
  }

  Status Write(uint64_t offset, const void* buffer, size_t n) override {
    if (!owner_->BeforeWrite()) {
      return Status::Error(error_code::kAccessDenied, "injected write failure " + path());
    }
    return base_->Write(offset, buffer, n);
  }

  Status Flush() override {
    if (!owner_->BeforeFlush()) {
      return Status::Error(error_code::kFileSystemError, "injected flush failure " + path());
    }
    Status status = base_->Flush();
    if (!status.ok()) return status;
    std::string content;
    status = ReadContent(base_.get(), &content);
    if (!status.ok()) return status;
    owner_->FlushDone(path(), std::move(content));
    return Status::Ok();
  }

  Status SetEnd(uint64_t length) override {
    if (!owner_->BeforeWrite()) {
      return Status::Error(error_code::kAccessDenied, "injected write failure " + path());
    }
    return base_->SetEnd(length);
  }

  Status Size(uint64_t* length) override { return base_->Size(length); }

  Status Lock(uint64_t offset, uint64_t length, LockWait wait) override {
    return base_->Lock(offset, length, wait);
  }

  Status Unlock(uint64_t offset, uint64_t length) override { return base_->Unlock(offset, length); }

  const std::string& path() const override { return base_->path(); }

 private:
  FaultInjectionFileSystem* owner_;
  std::unique_ptr<File> base_;
  bool may_read_;
};

FaultInjectionFileSystem::FaultInjectionFileSystem(FileSystem* base) : base_(base) {}

FaultInjectionFileSystem::~FaultInjectionFileSystem() = default;

Status FaultInjectionFileSystem::Open(const std::string& path, int mode, Disposition disposition,
                                      std::unique_ptr<File>* file) {
  file->reset();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    bool changes = disposition == Disposition::kCreateNew ||
                   (disposition == Disposition::kOpenOrCreate && !base_->Exists(path));
    if (power_lost_ && changes) {
      return Status::Error(error_code::kFileSystemError, "power lost: cannot create " + path);
    }
  }
  int access = mode & open_mode::kAccessMask;
  bool may_read = access != open_mode::kWrite;
  // The wrapper reads every file back after a flush.
  int base_mode = may_read ? mode : ((mode & ~open_mode::kAccessMask) | open_mode::kReadWrite);
  std::unique_ptr<File> base_file;
  Status status = base_->Open(path, base_mode, disposition, &base_file);
  if (!status.ok()) return status;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (synced_.find(path) == synced_.end()) {
      std::string content;
      status = ReadContent(base_file.get(), &content);
      if (!status.ok()) return status;
      synced_.emplace(path, std::move(content));
    }
  }
  *file = std::make_unique<FaultInjectionFile>(this, std::move(base_file), may_read);
  return Status::Ok();
}

Status FaultInjectionFileSystem::Delete(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (power_lost_) {
    return Status::Error(error_code::kFileSystemError, "power lost: cannot delete " + path);
  }
  Status status = base_->Delete(path);
  if (status.ok()) synced_.erase(path);
  return status;
}

Status FaultInjectionFileSystem::Rename(const std::string& from, const std::string& to) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (power_lost_) {
    return Status::Error(error_code::kFileSystemError, "power lost: cannot rename " + from);
  }
  Status status = base_->Rename(from, to);
  if (status.ok()) {
    auto kept = synced_.find(from);
    if (kept != synced_.end()) {
      std::string content = std::move(kept->second);
      synced_.erase(kept);
      synced_[to] = std::move(content);
    } else {
      synced_.erase(to);
    }
  }
  return status;
}

bool FaultInjectionFileSystem::Exists(const std::string& path) { return base_->Exists(path); }

int64_t FaultInjectionFileSystem::write_count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return writes_;
}

int64_t FaultInjectionFileSystem::flush_count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return flushes_;
}

int64_t FaultInjectionFileSystem::point_count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return writes_ + flushes_;
}

void FaultInjectionFileSystem::ResetCounts() {
  std::lock_guard<std::mutex> lock(mutex_);
  writes_ = 0;
  flushes_ = 0;
  CheckPowerLossLocked();
}

void FaultInjectionFileSystem::FailWrite(int64_t n) {
  std::lock_guard<std::mutex> lock(mutex_);
  fail_write_ = n;
}

void FaultInjectionFileSystem::FailFlush(int64_t n) {
  std::lock_guard<std::mutex> lock(mutex_);
  fail_flush_ = n;
}

void FaultInjectionFileSystem::PowerLossAfterWrite(int64_t n) {
  std::lock_guard<std::mutex> lock(mutex_);
  loss_after_write_ = n;
  CheckPowerLossLocked();
}

void FaultInjectionFileSystem::PowerLossAfterFlush(int64_t n) {
  std::lock_guard<std::mutex> lock(mutex_);
  loss_after_flush_ = n;
  CheckPowerLossLocked();
}

void FaultInjectionFileSystem::PowerLossAfterPoint(int64_t n) {
  std::lock_guard<std::mutex> lock(mutex_);
  loss_after_point_ = n;
  CheckPowerLossLocked();
}

bool FaultInjectionFileSystem::power_lost() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return power_lost_;
}

void FaultInjectionFileSystem::ClearFaults() {
  std::lock_guard<std::mutex> lock(mutex_);
  fail_write_ = 0;
  fail_flush_ = 0;
  loss_after_write_ = -1;
  loss_after_flush_ = -1;
  loss_after_point_ = -1;
  power_lost_ = false;
}

Status FaultInjectionFileSystem::DropUnsyncedData() {
  std::lock_guard<std::mutex> lock(mutex_);
  loss_after_write_ = -1;
  loss_after_flush_ = -1;
  loss_after_point_ = -1;
  power_lost_ = false;
  for (const auto& [path, content] : synced_) {
    std::unique_ptr<File> file;
    Status status = base_->Open(path, open_mode::kReadWrite | open_mode::kDenyNone,
                                Disposition::kOpenOrCreate, &file);
    if (status.ok()) status = file->Write(0, content.data(), content.size());
    if (status.ok()) status = file->SetEnd(content.size());
    if (status.ok()) status = file->Flush();
    if (!status.ok()) return status;
  }
  return Status::Ok();
}

// Power goes once the count of a kind reaches the point set for it.
void FaultInjectionFileSystem::CheckPowerLossLocked() {
  if ((loss_after_write_ >= 0 && writes_ >= loss_after_write_) ||
      (loss_after_flush_ >= 0 && flushes_ >= loss_after_flush_) ||
      (loss_after_point_ >= 0 && writes_ + flushes_ >= loss_after_point_)) {
    power_lost_ = true;
  }
}

bool FaultInjectionFileSystem::BeforeWrite() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++writes_;
  if (power_lost_ || writes_ == fail_write_) return false;
  CheckPowerLossLocked();  // this write is done; the power goes after it
  return true;
}

bool FaultInjectionFileSystem::BeforeFlush() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++flushes_;
  if (power_lost_ || flushes_ == fail_flush_) return false;
  CheckPowerLossLocked();
  return true;
}

void FaultInjectionFileSystem::FlushDone(const std::string& path, std::string content) {
  std::lock_guard<std::mutex> lock(mutex_);
  synced_[path] = std::move(content);
}

}  // namespace tentaria::platform
