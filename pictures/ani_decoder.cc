#include "pictures/ani_decoder.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "pictures/bytes.h"
#include "pictures/icon_decoder.h"

namespace tentaria::pictures {
namespace {

// RIFF file:
//   0   4   "RIFF"
//   4   u32 size of what follows (not relied on)
//   8   4   "ACON"
//   12      chunks: 4-byte name, u32 size, the data, padded to an even size.
// "anih", the header:
//   0   u32 its size (36)
//   4   u32 number of frames
//   8   u32 number of steps
//   12  u32 width, u32 height, u32 bits, u32 planes (unused: the frames say)
//   28  u32 display time of a step, in 1/60 s
//   32  u32 flags: 1 frames are icon or cursor files, 2 a "seq " chunk
//           gives the frame of each step
// "rate": a u32 display time (1/60 s) per step.
// "seq ": a u32 frame number per step.
// "LIST" whose data starts with "fram": one chunk "icon" per frame, each a
// whole icon or cursor file.
constexpr size_t kRiffHeaderSize = 12;
constexpr size_t kChunkHeaderSize = 8;
constexpr size_t kAnimationHeaderSize = 36;
constexpr uint32_t kFramesAreIcons = 1;
// More steps or frames than this are not followed.
constexpr size_t kMaxSteps = 1024;
constexpr int kDefaultJiffies = 10;

struct Chunks {
  std::optional<std::span<const uint8_t>> header, rates, sequence;
  std::vector<std::span<const uint8_t>> frames;
};

template <typename Visit>
void ForEachChunk(std::span<const uint8_t> chunks, Visit visit) {
  size_t at = 0;
  while (chunks.size() - at >= kChunkHeaderSize) {
    const uint8_t* header = chunks.data() + at;
    const size_t size = Le32(header + 4);
    if (size > chunks.size() - at - kChunkHeaderSize) return;
    visit(header, chunks.subspan(at + kChunkHeaderSize, size));
    at += kChunkHeaderSize + size;
    if (size % 2 != 0 && at < chunks.size()) ++at;
  }
}

Chunks ReadChunks(std::span<const uint8_t> bytes) {
  Chunks chunks;
  ForEachChunk(
      bytes.subspan(kRiffHeaderSize), [&](const uint8_t* name, std::span<const uint8_t> data) {
        if (std::memcmp(name, "anih", 4) == 0 && data.size() >= kAnimationHeaderSize) {
          chunks.header = data;
        } else if (std::memcmp(name, "rate", 4) == 0) {
          chunks.rates = data;
        } else if (std::memcmp(name, "seq ", 4) == 0) {
          chunks.sequence = data;
        } else if (std::memcmp(name, "LIST", 4) == 0 && data.size() >= 4 &&
                   std::memcmp(data.data(), "fram", 4) == 0 && chunks.frames.empty()) {
          ForEachChunk(data.subspan(4), [&](const uint8_t* frame, std::span<const uint8_t> icon) {
            if (std::memcmp(frame, "icon", 4) == 0 && chunks.frames.size() < kMaxSteps) {
              chunks.frames.push_back(icon);
            }
          });
        }
      });
  return chunks;
}

// The u32 at index i of a table chunk, if it holds one.
std::optional<uint32_t> Entry(const std::optional<std::span<const uint8_t>>& table, size_t i) {
  if (!table || i >= table->size() / 4) return std::nullopt;
  return Le32(table->data() + i * 4);
}

}  // namespace

bool IsAnimatedCursor(std::span<const uint8_t> bytes) {
  return bytes.size() >= kRiffHeaderSize && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
         std::memcmp(bytes.data() + 8, "ACON", 4) == 0;
}

PicturePtr DecodeAnimatedCursor(std::span<const uint8_t> bytes) {
  if (!IsAnimatedCursor(bytes)) return nullptr;
  const Chunks chunks = ReadChunks(bytes);
  // Frames stored raw (without the icon file around them) are not read.
  if (chunks.header && (Le32(chunks.header->data() + 32) & kFramesAreIcons) == 0) return nullptr;
  std::vector<PicturePtr> decoded(chunks.frames.size());
  auto frame = [&](size_t i) -> const Picture* {
    if (i >= decoded.size()) return nullptr;
    if (decoded[i] == nullptr) decoded[i] = DecodeIconDirectory(chunks.frames[i]);
    return decoded[i].get();
  };
  // Without a header the frames are shown in their order at the default
  // rate; the first frame that decodes is the picture.
  size_t steps = chunks.frames.size();
  int jiffies = kDefaultJiffies;
  if (chunks.header) {
    steps = std::min<size_t>(Le32(chunks.header->data() + 8), kMaxSteps);
    if (const uint32_t rate = Le32(chunks.header->data() + 28); rate != 0 && rate < 6000) {
      jiffies = static_cast<int>(rate);
    }
  }
  // A step past the sequence table, or past the frames without one, has
  // nothing to show.
  steps = std::min(steps, chunks.sequence ? chunks.sequence->size() / 4 : chunks.frames.size());
  PicturePtr picture;
  uint64_t pixels = 0;
  for (size_t step = 0; step < steps; ++step) {
    const Picture* shown = frame(Entry(chunks.sequence, step).value_or(step));
    if (shown == nullptr || shown->frames.empty()) continue;
    if (picture == nullptr) {
      picture = MakeStillPicture(shown->width, shown->height);
      if (picture == nullptr) return nullptr;
      picture->palette = shown->palette;
      picture->frames.clear();
    }
    if (shown->width != picture->width || shown->height != picture->height) continue;
    pixels += static_cast<uint64_t>(shown->width) * static_cast<uint64_t>(shown->height);
    if (pixels > kMaxAnimationPixels) break;
    const uint32_t step_jiffies =
        Entry(chunks.rates, step).value_or(static_cast<uint32_t>(jiffies));
    Frame out;
    out.rgba = shown->frames[0].rgba;
    // 1/60 s to 1/100 s, rounded; capped at a minute.
    out.delay_cs = static_cast<int>((std::min<uint32_t>(step_jiffies, 3600) * 100 + 30) / 60);
    picture->frames.push_back(std::move(out));
  }
  if (picture == nullptr || picture->frames.empty()) return nullptr;
  if (picture->frames.size() > 1) picture->loops = true;
  return picture;
}

}  // namespace tentaria::pictures
