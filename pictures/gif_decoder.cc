#include "pictures/gif_decoder.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "pictures/bytes.h"
#include "pictures/lzw.h"

namespace tentaria::pictures {
namespace {

// Header and logical screen descriptor:
//   0   6   "GIF87a" or "GIF89a"
//   6   u16 logical screen width
//   8   u16 logical screen height
//   10  u8  bit 7: a global colour table follows; bits 0-2: n, the table
//           has 2^(n+1) entries of 3 bytes red, green, blue; bits 3-6:
//           colour resolution and sort flag (not used)
//   11  u8  background colour index (not used: the background is transparent)
//   12  u8  pixel aspect ratio (not used)
// Then blocks, each introduced by one byte:
//   0x21  extension: a label byte, then data sub-blocks
//   0x2C  image descriptor (below)
//   0x3B  trailer
// Data sub-blocks: a length byte (1-255) and that many bytes; a length of
// 0 ends them.
//
// Graphic control extension (label 0xF9), its one sub-block of 4 bytes:
//   0   u8  bits 2-4 disposal; bit 0 a transparent index is given
//   1   u16 delay in hundredths of a second
//   3   u8  transparent colour index
// Application extension (label 0xFF): a sub-block of 11 bytes naming it
// ("NETSCAPE2.0" for looping), then its data sub-blocks; for looping a
// sub-block of 3 bytes: 1, and the loop count u16.
//
// Image descriptor, after the 0x2C:
//   0   u16 left
//   2   u16 top
//   4   u16 width
//   6   u16 height
//   8   u8  bit 7: a local colour table follows (size in bits 0-2 as
//           above); bit 6: rows interlaced
// then the local colour table, the LZW minimum code size (u8) and the data
// sub-blocks.
constexpr size_t kHeaderSize = 13;
constexpr size_t kMinimumSize = 14;
constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImage = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControl = 0xF9;
constexpr uint8_t kApplication = 0xFF;

struct GraphicControl {
  Disposal disposal = Disposal::kUnspecified;
  int delay_cs = 0;
  std::optional<uint8_t> transparent;
};

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t left() const { return bytes_.size() - at_; }
  const uint8_t* Take(size_t n) {
    if (n > left()) return nullptr;
    const uint8_t* p = bytes_.data() + at_;
    at_ += n;
    return p;
  }
  // Appends the data sub-blocks' contents to out (when given); false when
  // they run past the end.
  bool SubBlocks(std::vector<uint8_t>* out) {
    for (;;) {
      const uint8_t* length = Take(1);
      if (length == nullptr) return false;
      if (*length == 0) return true;
      const uint8_t* data = Take(*length);
      if (data == nullptr) return false;
      if (out != nullptr) out->insert(out->end(), data, data + *length);
    }
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

// A colour table of 2^(n+1) entries, padded with black to 256 so that any
// index can be looked up.
bool ReadColourTable(Reader* reader, uint8_t flags, std::vector<Rgb>* table, size_t* real_size) {
  *real_size = size_t{2} << (flags & 7);
  const uint8_t* p = reader->Take(*real_size * 3);
  if (p == nullptr) return false;
  table->assign(256, Rgb{});
  for (size_t i = 0; i < *real_size; ++i) (*table)[i] = Rgb{p[i * 3], p[i * 3 + 1], p[i * 3 + 2]};
  return true;
}

// The block's sub-blocks; a sub-block of exactly 3 bytes starting with 1
// sets the loop count.  Blocks that run past the end change nothing.
void ReadLooping(Reader* reader, Picture* picture) {
  bool loops = false;
  int count = 0;
  for (;;) {
    const uint8_t* length = reader->Take(1);
    if (length == nullptr) return;
    if (*length == 0) break;
    const uint8_t* block = reader->Take(*length);
    if (block == nullptr) return;
    if (*length == 3 && block[0] == 1) {
      loops = true;
      count = Le16(block + 1);
    }
  }
  if (loops) {
    picture->loops = true;
    picture->loop_count = count;
  }
}

bool ReadExtension(Reader* reader, GraphicControl* control, Picture* picture) {
  const uint8_t* label = reader->Take(1);
  if (label == nullptr) return false;
  if (*label == kGraphicControl) {
    std::vector<uint8_t> data;
    if (!reader->SubBlocks(&data)) return false;
    if (data.size() >= 4) {
      const int disposal = (data[0] >> 2) & 7;
      control->disposal = disposal <= 3 ? static_cast<Disposal>(disposal) : Disposal::kUnspecified;
      control->delay_cs = Le16(data.data() + 1);
      if (data[0] & 1) control->transparent = data[3];
    }
    return true;
  }
  if (*label == kApplication) {
    const uint8_t* length = reader->Take(1);
    if (length == nullptr) return false;
    const uint8_t* name = reader->Take(*length);
    if (name == nullptr) return false;
    if (*length == 11 && std::memcmp(name, "NETSCAPE2.0", 11) == 0) {
      ReadLooping(reader, picture);
      return true;
    }
    return *length == 0 || reader->SubBlocks(nullptr);
  }
  return reader->SubBlocks(nullptr);
}

// Rows in the order an interlaced image stores them: every 8th row from 0,
// every 8th from 4, every 4th from 2, every 2nd from 1.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> rows;
  rows.reserve(static_cast<size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  static constexpr int kStart[] = {0, 4, 2, 1};
  static constexpr int kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  }
  return rows;
}

class Composer {
 public:
  Composer(int width, int height) : width_(width), height_(height) {}

  // Reads one image (after its 0x2C) and adds it as a frame.  False when
  // it is broken or the animation grows too large.
  bool AddImage(Reader* reader, const std::vector<Rgb>& global, const GraphicControl& control,
                Picture* picture) {
    const uint8_t* d = reader->Take(9);
    if (d == nullptr) return false;
    const int left = Le16(d), top = Le16(d + 2), w = Le16(d + 4), h = Le16(d + 6);
    std::vector<Rgb> local;
    size_t local_size = 0;
    if ((d[8] & 0x80) && !ReadColourTable(reader, d[8], &local, &local_size)) return false;
    const std::vector<Rgb>& table = (d[8] & 0x80) ? local : global;
    const uint8_t* min_code_size = reader->Take(1);
    if (min_code_size == nullptr) return false;
    std::vector<uint8_t> data;
    if (!reader->SubBlocks(&data)) return false;
    if (static_cast<uint64_t>(picture->frames.size() + 1) * width_ * height_ >
        kMaxAnimationPixels) {
      return false;
    }
    // A frame's own size is bounded by the 16-bit fields: at most 2^32
    // indexes, so check it against the pixel limit first.
    if (static_cast<uint64_t>(w) * h > kMaxPixels) return false;
    std::vector<uint8_t> indexes(static_cast<size_t>(w) * h, 0);
    size_t written = 0;
    if (!DecodeLzw(data, *min_code_size, indexes, &written)) return false;

    // The canvas is made only once a frame has decoded, so that a broken
    // file claiming a large screen allocates nothing.
    if (canvas_.empty()) canvas_.assign(static_cast<size_t>(width_) * height_ * 4, 0);
    DisposePrevious();
    if (control.disposal == Disposal::kPrevious) saved_ = canvas_;
    const std::vector<int> rows = RowOrder(h, (d[8] & 0x40) != 0);
    for (size_t i = 0; i < written; ++i) {
      const int x = left + static_cast<int>(i % w);
      const int y = top + rows[i / w];
      if (x >= width_ || y >= height_) continue;
      const uint8_t index = indexes[i];
      if (control.transparent && *control.transparent == index) continue;
      uint8_t* px = canvas_.data() + (static_cast<size_t>(y) * width_ + x) * 4;
      px[0] = table[index].r;
      px[1] = table[index].g;
      px[2] = table[index].b;
      px[3] = 255;
    }
    previous_disposal_ = control.disposal;
    previous_left_ = left, previous_top_ = top, previous_width_ = w, previous_height_ = h;
    Frame frame;
    frame.rgba = canvas_;
    frame.delay_cs = control.delay_cs;
    frame.disposal = control.disposal;
    picture->frames.push_back(std::move(frame));
    return true;
  }

 private:
  void DisposePrevious() {
    if (previous_disposal_ == Disposal::kBackground) {
      const int right = std::min(width_, previous_left_ + previous_width_);
      const int bottom = std::min(height_, previous_top_ + previous_height_);
      for (int y = previous_top_; y < bottom; ++y) {
        for (int x = previous_left_; x < right; ++x) {
          std::memset(canvas_.data() + (static_cast<size_t>(y) * width_ + x) * 4, 0, 4);
        }
      }
    } else if (previous_disposal_ == Disposal::kPrevious && !saved_.empty()) {
      canvas_ = saved_;
    }
  }

  int width_, height_;
  std::vector<uint8_t> canvas_;
  std::vector<uint8_t> saved_;
  Disposal previous_disposal_ = Disposal::kUnspecified;
  int previous_left_ = 0, previous_top_ = 0, previous_width_ = 0, previous_height_ = 0;
};

}  // namespace

PicturePtr DecodeGif(std::span<const uint8_t> bytes) {
  if (bytes.size() < kMinimumSize || (std::memcmp(bytes.data(), "GIF87a", 6) != 0 &&
                                      std::memcmp(bytes.data(), "GIF89a", 6) != 0)) {
    return nullptr;
  }
  const int width = Le16(bytes.data() + 6);
  const int height = Le16(bytes.data() + 8);
  if (width == 0 || height == 0 || static_cast<uint64_t>(width) * height > kMaxPixels) {
    return nullptr;
  }
  auto picture = std::make_unique<Picture>();
  picture->width = width;
  picture->height = height;
  Reader reader(bytes);
  reader.Take(kHeaderSize);
  std::vector<Rgb> global(256, Rgb{});
  if (bytes[10] & 0x80) {
    size_t real_size = 0;
    if (!ReadColourTable(&reader, bytes[10], &global, &real_size)) return nullptr;
    picture->palette.assign(global.begin(), global.begin() + static_cast<ptrdiff_t>(real_size));
  }
  Composer composer(width, height);
  GraphicControl control;
  for (;;) {
    const uint8_t* introducer = reader.Take(1);
    if (introducer == nullptr || *introducer == kTrailer) break;
    if (*introducer == kExtension) {
      if (!ReadExtension(&reader, &control, picture.get())) break;
    } else if (*introducer == kImage) {
      if (!composer.AddImage(&reader, global, control, picture.get())) break;
      control = GraphicControl();
    } else {
      break;
    }
  }
  if (picture->frames.empty()) return nullptr;
  return picture;
}

}  // namespace tentaria::pictures
