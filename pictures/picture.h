// A decoded picture: its size, its frames as plain pixel buffers, its
// palette where it has one, and the bytes it was made from.
//
// Pixels are 8-bit R, G, B, A in that byte order (RGBA8888), rows top to
// bottom without padding, so a frame becomes a QImage of the format
// Format_RGBA8888 directly; alpha is straight (not premultiplied).  A still
// picture has one frame; an animated GIF has one frame per image, each
// already composed onto the whole canvas with the previous frame's disposal
// applied.  A placeable metafile has no frames: only its size, and its
// records in bytes() for the engine to play.
#ifndef TENTARIA_PICTURES_PICTURE_H_
#define TENTARIA_PICTURES_PICTURE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tentaria::pictures {

// No picture may claim more pixels than this (per frame, and summed over
// the frames of an animation): every decoder checks a claimed size
// against it before it allocates.
inline constexpr uint64_t kMaxPixels = uint64_t{1} << 25;
inline constexpr uint64_t kMaxAnimationPixels = uint64_t{1} << 26;

// What happens to a GIF frame's area before the next frame is drawn.
enum class Disposal : uint8_t {
  kUnspecified = 0,  // as kKeep
  kKeep = 1,         // the frame stays
  kBackground = 2,   // the frame's area is cleared to transparent
  kPrevious = 3,     // the canvas returns to what it was before the frame
};

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Frame {
  std::vector<uint8_t> rgba;  // width * height * 4 bytes, the whole canvas
  int delay_cs = 0;           // how long the frame shows, in 1/100 s
  Disposal disposal = Disposal::kUnspecified;

  // The frame timer's interval: the delay in hundredths of a second,
  // as milliseconds.
  int IntervalMs() const { return delay_cs * 10; }
};

enum class PictureKind : uint8_t { kBitmap, kMetafile };

// Where bytes() came from: a linked picture stays with the program and is
// only referred to; file contents and bytes handed to Decode are owned and
// freed with the picture.
enum class ByteOrigin : uint8_t { kLinked, kOwned };

class Picture {
 public:
  PictureKind kind = PictureKind::kBitmap;
  int width = 0;
  int height = 0;
  std::vector<Frame> frames;  // empty for a metafile
  std::vector<Rgb> palette;   // the file's colour table, when it has one
  // Animated GIF: set by a "NETSCAPE2.0" looping extension, with its count.
  bool loops = false;
  int loop_count = 0;

  std::span<const uint8_t> bytes() const { return bytes_; }
  ByteOrigin origin() const { return origin_; }

  // Records the bytes the picture was made from.
  void KeepLinkedBytes(std::span<const uint8_t> bytes);
  void KeepOwnedBytes(std::vector<uint8_t> bytes);

 private:
  std::span<const uint8_t> bytes_;
  std::vector<uint8_t> owned_;
  ByteOrigin origin_ = ByteOrigin::kOwned;
};

using PicturePtr = std::unique_ptr<Picture>;

// A picture of one frame, width x height, all transparent black, or null
// when the size is not positive or exceeds kMaxPixels.
PicturePtr MakeStillPicture(int64_t width, int64_t height);

}  // namespace tentaria::pictures

#endif  // TENTARIA_PICTURES_PICTURE_H_
