#include "storage/block_file.h"

#include <vector>

#include "storage/internal_fault.h"

namespace tentaria::storage {

BlockFile::BlockFile(std::unique_ptr<platform::File> file, std::string_view password)
    : file_(std::move(file)) {
  if (!password.empty()) cipher_.emplace(password);
  // Enciphered pages need a copy to decipher anyway: they are read.
  if (!cipher_) mapping_ = dynamic_cast<platform::StartMapping*>(file_.get());
}

const uint8_t* BlockFile::View(uint64_t offset, size_t n) {
  if (mapping_ == nullptr || offset > UINT64_MAX - n) return nullptr;
  uint64_t length = 0;
  const uint8_t* view = mapping_->MapThrough(offset + n, &length);
  return view == nullptr ? nullptr : view + offset;
}

Status BlockFile::Read(uint64_t offset, uint8_t* buffer, size_t n, size_t* bytes_read) {
  if (cipher_ && n % kCipherUnit != 0) return InternalFault(fault::kCipherReadUnit);
  Status s = file_->Read(offset, buffer, n, bytes_read);
  if (!s.ok()) return s;
  if (cipher_ && *bytes_read == n) cipher_->Decipher(buffer, n);
  return Status::Ok();
}

Status BlockFile::Write(uint64_t offset, const uint8_t* buffer, size_t n) {
  if (!cipher_) return file_->Write(offset, buffer, n);
  if (n % kCipherUnit != 0) return InternalFault(fault::kCipherWriteUnit);
  std::vector<uint8_t> copy(buffer, buffer + n);
  cipher_->Encipher(copy.data(), n);
  return file_->Write(offset, copy.data(), n);
}

}  // namespace tentaria::storage
