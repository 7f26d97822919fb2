#include "storage/cipher.h"

#include <string>

#include "storage/bytes.h"

namespace tentaria::storage {

namespace {

using Words = std::array<uint32_t, 16>;

// Key and data may be the same array: each step reads its key word as the
// array stands at that moment.
void EncipherWords(Words* data, const Words* key) {
  for (size_t i = 0; i < 16; ++i) {
    uint32_t k = (*key)[i];
    size_t j = k % 16;
    uint32_t a = (*data)[i];
    uint32_t b = (*data)[j];
    (*data)[j] = ((b & k) | (a & ~k)) + k;
    (*data)[i] = ((a & k) | (b & ~k)) + k;
  }
}

void DecipherWords(Words* data, const Words& key) {
  for (size_t n = 16; n-- > 0;) {
    uint32_t k = key[n];
    size_t j = k % 16;
    uint32_t a = (*data)[n] - k;
    uint32_t b = (*data)[j] - k;
    (*data)[n] = (a & k) | (b & ~k);
    (*data)[j] = (b & k) | (a & ~k);
  }
}

Words LoadWords(const uint8_t* p) {
  Words w;
  for (size_t i = 0; i < 16; ++i) w[i] = LoadU32(p + 4 * i);
  return w;
}

void StoreWords(const Words& w, uint8_t* p) {
  for (size_t i = 0; i < 16; ++i) StoreU32(p + 4 * i, w[i]);
}

}  // namespace

Cipher::Cipher(std::string_view password) {
  // The password as a zero-terminated string; the walk below may point at
  // the terminator and uses it as a key byte.
  std::string text(password);
  uint8_t block[64];
  size_t p = 0;
  for (size_t c = 0; c < 64; ++c) {
    p = text[p] == '\0' ? 0 : p + 1;
    block[(17 * c) % 64] = static_cast<uint8_t>(static_cast<uint8_t>(text.c_str()[p]) + c);
  }
  key_ = LoadWords(block);
  EncipherWords(&key_, &key_);
  EncipherWords(&key_, &key_);
}

void Cipher::Encipher(uint8_t* data, size_t n) const {
  for (size_t off = 0; off + kCipherUnit <= n; off += kCipherUnit) {
    Words w = LoadWords(data + off);
    EncipherWords(&w, &key_);
    StoreWords(w, data + off);
  }
}

void Cipher::Decipher(uint8_t* data, size_t n) const {
  for (size_t off = 0; off + kCipherUnit <= n; off += kCipherUnit) {
    Words w = LoadWords(data + off);
    DecipherWords(&w, key_);
    StoreWords(w, data + off);
  }
}

}  // namespace tentaria::storage
