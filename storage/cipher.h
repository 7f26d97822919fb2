// The cipher of files with an owner password.
//
// Every read and write of such a file covers whole units of 64 bytes; each
// unit, read as 16 little-endian u32 words D, is enciphered with the 16-word
// key K built from the password:
//
//   for i = 0..15:  k = K[i], j = k mod 16, a = D[i], b = D[j]
//                   D[j] = ((b & k) | (a & ~k)) + k
//                   D[i] = ((a & k) | (b & ~k)) + k
//
// and deciphered by running the steps backwards.
#ifndef TENTARIA_STORAGE_CIPHER_H_
#define TENTARIA_STORAGE_CIPHER_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tentaria::storage {

inline constexpr size_t kCipherUnit = 64;

class Cipher {
 public:
  // password must not be empty.
  explicit Cipher(std::string_view password);

  // n must be a multiple of 64.
  void Encipher(uint8_t* data, size_t n) const;
  void Decipher(uint8_t* data, size_t n) const;

  const std::array<uint32_t, 16>& key() const { return key_; }

 private:
  std::array<uint32_t, 16> key_;
};

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_CIPHER_H_
