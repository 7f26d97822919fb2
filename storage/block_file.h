// The file beneath a record file: plain, or enciphered in 64-byte units.
#ifndef TENTARIA_STORAGE_BLOCK_FILE_H_
#define TENTARIA_STORAGE_BLOCK_FILE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/file.h"
#include "platform/file_mapping.h"
#include "storage/cipher.h"

namespace tentaria::storage {

class BlockFile {
 public:
  // An empty password stores the file plain.
  BlockFile(std::unique_ptr<platform::File> file, std::string_view password);

  // Reads up to n bytes; *bytes_read < n only at the end of the file.  An
  // enciphered read must be whole units (internal fault 2272); a short read
  // is returned as read, not deciphered.
  Status Read(uint64_t offset, uint8_t* buffer, size_t n, size_t* bytes_read);
  // The n stored bytes at offset, read in place from the file's view in
  // memory: no call into the host when the file offers the view.  Null when
  // it does not serve (an enciphered file, a file without a view, bytes
  // beyond the end): the caller then reads.  Valid until the next call.
  const uint8_t* View(uint64_t offset, size_t n);
  // Enciphered writes must be whole units (internal fault 2286).
  Status Write(uint64_t offset, const uint8_t* buffer, size_t n);
  // Deciphers n bytes read from the file beneath (whole units).
  void Decipher(uint8_t* buffer, size_t n) {
    if (cipher_) cipher_->Decipher(buffer, n);
  }
  Status Flush() { return file_->Flush(); }
  Status Size(uint64_t* length) { return file_->Size(length); }
  Status SetEnd(uint64_t length) { return file_->SetEnd(length); }
  platform::File* file() { return file_.get(); }

 private:
  std::unique_ptr<platform::File> file_;
  std::optional<Cipher> cipher_;
  platform::StartMapping* mapping_ = nullptr;  // of a plain file that offers one
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_BLOCK_FILE_H_
