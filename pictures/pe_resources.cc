#include "pictures/pe_resources.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "pictures/bytes.h"
#include "pictures/icon_decoder.h"

namespace tentaria::pictures {
namespace {

// File header:
//   0x00 2   "MZ"
//   0x3C u32 offset of the executable header:
//   0    4   "PE\0\0"
//   4    u16 machine
//   6    u16 number of sections
//   8    u32 time stamp
//   12   u32 symbol table (unused)
//   16   u32 number of symbols (unused)
//   20   u16 size of the optional header
//   22   u16 characteristics
//   24       optional header:
//   0    u16 kind: 0x10B 32-bit, 0x20B 64-bit
//   92   u32 32-bit: number of data directories, which start at 96
//   108  u32 64-bit: number of data directories, which start at 112
//            each directory: u32 address (relative to the image), u32 size;
//            the third (index 2) is the resource tree.
// The section table follows the optional header, 40 bytes a section:
//   0    8   name
//   8    u32 size in memory
//   12   u32 address in memory (relative to the image)
//   16   u32 size in the file
//   20   u32 offset in the file
constexpr size_t kNewHeaderOffset = 0x3C;
constexpr size_t kCoffSize = 24;
constexpr uint16_t kPe32 = 0x10B;
constexpr uint16_t kPe32Plus = 0x20B;
constexpr size_t kSectionSize = 40;
constexpr unsigned kResourceDirectory = 2;

// Resource tree: three levels of directories (kind, name, language).
// Directory:
//   0    u32 characteristics, u32 time stamp, u16 major, u16 minor
//   12   u16 number of named entries
//   14   u16 number of numbered entries
//   16       8-byte entries, named first:
//   0    u32 name: bit 31 set, an offset to a name; otherwise the number
//   4    u32 bit 31 set: offset of a subdirectory; otherwise of a leaf
// Offsets count from the start of the tree.  Leaf:
//   0    u32 address of the data (relative to the image)
//   4    u32 size of the data
//   8    u32 code page, u32 reserved
constexpr size_t kDirectorySize = 16;
constexpr size_t kEntrySize = 8;
constexpr size_t kLeafSize = 16;
constexpr uint32_t kHighBit = 0x80000000u;

constexpr uint32_t kCursorKind = 1;
constexpr uint32_t kIconKind = 3;
constexpr uint32_t kCursorGroupKind = 12;
constexpr uint32_t kIconGroupKind = 14;

// Group resource: the icon file's 6-byte header followed by 14-byte
// entries, which name their image by number instead of by offset:
//   icon:   u8 width, u8 height, u8 colours, u8 reserved,
//           u16 planes, u16 bits, u32 size, u16 number
//   cursor: u16 width, u16 height (of the colours and the mask),
//           u16 planes, u16 bits, u32 size, u16 number
// A cursor image starts with its hot spot (u16 x, u16 y) before the bitmap.
constexpr size_t kGroupHeaderSize = 6;
constexpr size_t kGroupEntrySize = 14;
constexpr size_t kIconEntrySize = 16;
constexpr size_t kHotSpotSize = 4;
// No real group holds more images; a larger count is not followed.
constexpr size_t kMaxGroupImages = 64;
// Nor are the images gathered beyond this many bytes (an image of 256 x 256
// at 32 bits takes some 270 KB); images past it are left out.
constexpr uint64_t kMaxGroupBytes = uint64_t{16} << 20;

struct Section {
  uint32_t address, memory_size, file_size, file_offset;
};

class Image {
 public:
  explicit Image(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool ReadHeaders() {
    if (bytes_.size() < kNewHeaderOffset + 4 || bytes_[0] != 'M' || bytes_[1] != 'Z') return false;
    const uint64_t pe = Le32(bytes_.data() + kNewHeaderOffset);
    if (pe + kCoffSize > bytes_.size() || std::memcmp(bytes_.data() + pe, "PE\0\0", 4) != 0) {
      return false;
    }
    const uint8_t* coff = bytes_.data() + pe;
    const size_t section_count = Le16(coff + 6);
    const size_t optional_size = Le16(coff + 20);
    const uint64_t optional = pe + kCoffSize;
    if (optional + optional_size > bytes_.size() || optional_size < 2) return false;
    const uint8_t* header = bytes_.data() + optional;
    const uint16_t kind = Le16(header);
    size_t count_at = 0;
    if (kind == kPe32) {
      count_at = 92;
    } else if (kind == kPe32Plus) {
      count_at = 108;
    } else {
      return false;
    }
    if (count_at + 4 > optional_size) return false;
    const uint64_t directories = Le32(header + count_at);
    const size_t resource_at = count_at + 4 + kResourceDirectory * 8;
    if (directories <= kResourceDirectory || resource_at + 8 > optional_size) return false;
    resource_address_ = Le32(header + resource_at);
    resource_size_ = Le32(header + resource_at + 4);
    const uint64_t table = optional + optional_size;
    if (table + section_count * kSectionSize > bytes_.size()) return false;
    for (size_t i = 0; i < section_count; ++i) {
      const uint8_t* s = bytes_.data() + table + i * kSectionSize;
      sections_.push_back({Le32(s + 12), Le32(s + 8), Le32(s + 16), Le32(s + 20)});
    }
    return resource_size_ != 0;
  }

  // The bytes at an address of the loaded image, as far as the file holds
  // them within one section, at most `size` of them.
  std::optional<std::span<const uint8_t>> At(uint32_t address, uint64_t size) const {
    for (const Section& s : sections_) {
      const uint64_t extent = std::max(s.memory_size, s.file_size);
      if (address < s.address || address - s.address >= extent) continue;
      const uint64_t into = address - s.address;
      if (into >= s.file_size) return std::nullopt;
      const uint64_t offset = uint64_t{s.file_offset} + into;
      if (offset >= bytes_.size()) return std::nullopt;
      const uint64_t available = std::min<uint64_t>(s.file_size - into, bytes_.size() - offset);
      return bytes_.subspan(offset, std::min(available, size));
    }
    return std::nullopt;
  }

  std::optional<std::span<const uint8_t>> Exactly(uint32_t address, uint64_t size) const {
    const auto span = At(address, size);
    if (!span || span->size() != size) return std::nullopt;
    return span;
  }

  uint32_t resource_address() const { return resource_address_; }
  uint32_t resource_size() const { return resource_size_; }

 private:
  std::span<const uint8_t> bytes_;
  std::vector<Section> sections_;
  uint32_t resource_address_ = 0;
  uint32_t resource_size_ = 0;
};

class ResourceTree {
 public:
  ResourceTree(const Image& image, std::span<const uint8_t> tree) : image_(image), tree_(tree) {}

  // The data of the first resource of a kind, in the tree's order.
  std::optional<std::span<const uint8_t>> First(uint32_t kind) const {
    const auto names = Find(0, kind, /*any=*/false);
    if (!names) return std::nullopt;
    return LeafUnder(*names, /*levels=*/2);
  }

  // The data of the resource of a kind with a number.
  std::optional<std::span<const uint8_t>> Numbered(uint32_t kind, uint32_t number) const {
    const auto names = Find(0, kind, false);
    if (!names || (*names & kHighBit) == 0) return std::nullopt;
    const auto languages = Find(*names & ~kHighBit, number, false);
    if (!languages) return std::nullopt;
    return LeafUnder(*languages, 1);
  }

 private:
  // The target of a directory's entry numbered `number` (or its first entry,
  // when `any`): a subdirectory's offset with the high bit set, or a leaf's.
  std::optional<uint32_t> Find(uint32_t directory, uint32_t number, bool any) const {
    if (directory > tree_.size() || tree_.size() - directory < kDirectorySize) return std::nullopt;
    const uint8_t* d = tree_.data() + directory;
    const size_t count = size_t{Le16(d + 12)} + Le16(d + 14);
    const size_t room = (tree_.size() - directory - kDirectorySize) / kEntrySize;
    for (size_t i = 0; i < std::min(count, room); ++i) {
      const uint8_t* e = d + kDirectorySize + i * kEntrySize;
      const uint32_t name = Le32(e);
      if (any || name == number) return Le32(e + 4);
    }
    return std::nullopt;
  }

  // Descends through the first entry of each level; the tree has a fixed
  // depth, so a directory that points back at itself ends at the depth.
  std::optional<std::span<const uint8_t>> LeafUnder(uint32_t target, int levels) const {
    for (int level = 0; level < levels; ++level) {
      if ((target & kHighBit) == 0) return std::nullopt;
      const auto next = Find(target & ~kHighBit, 0, /*any=*/true);
      if (!next) return std::nullopt;
      target = *next;
    }
    if ((target & kHighBit) != 0 || target > tree_.size() || tree_.size() - target < kLeafSize) {
      return std::nullopt;
    }
    const uint8_t* leaf = tree_.data() + target;
    return image_.Exactly(Le32(leaf), Le32(leaf + 4));
  }

  const Image& image_;
  std::span<const uint8_t> tree_;
};

void Put16(std::vector<uint8_t>* out, uint16_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>* out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v));
  Put16(out, static_cast<uint16_t>(v >> 16));
}

// Gathers a group's images into an icon file in memory, so that the icon
// decoder chooses and decodes the image as it does for an .ICO file.
std::vector<uint8_t> IconFileOfGroup(const ResourceTree& tree, std::span<const uint8_t> group,
                                     bool cursor) {
  if (group.size() < kGroupHeaderSize) return {};
  const size_t claimed = Le16(group.data() + 4);
  const size_t room = (group.size() - kGroupHeaderSize) / kGroupEntrySize;
  const size_t count = std::min({claimed, room, kMaxGroupImages});
  std::vector<std::span<const uint8_t>> images;
  std::vector<const uint8_t*> entries;
  uint64_t total = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = group.data() + kGroupHeaderSize + i * kGroupEntrySize;
    auto image = tree.Numbered(cursor ? kCursorKind : kIconKind, Le16(e + 12));
    if (!image) continue;
    if (cursor) {
      if (image->size() < kHotSpotSize) continue;
      image = image->subspan(kHotSpotSize);
    }
    if (image->size() > kMaxGroupBytes - total) continue;
    total += image->size();
    images.push_back(*image);
    entries.push_back(e);
  }
  if (images.empty()) return {};
  std::vector<uint8_t> file;
  Put16(&file, 0);
  Put16(&file, cursor ? 2 : 1);
  Put16(&file, static_cast<uint16_t>(images.size()));
  uint64_t offset = kGroupHeaderSize + images.size() * kIconEntrySize;
  for (size_t i = 0; i < images.size(); ++i) {
    const uint8_t* e = entries[i];
    if (cursor) {
      // The width and height in one byte each, 0 for 256; the group's
      // height counts the mask rows too.
      file.push_back(static_cast<uint8_t>(Le16(e)));
      file.push_back(static_cast<uint8_t>(Le16(e + 2) / 2));
      file.push_back(0);
      file.push_back(0);
      Put16(&file, Le16(e + 4));
      Put16(&file, Le16(e + 6));
    } else {
      file.insert(file.end(), e, e + 8);
    }
    Put32(&file, static_cast<uint32_t>(images[i].size()));
    Put32(&file, static_cast<uint32_t>(offset));
    offset += images[i].size();
  }
  for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
  return file;
}

}  // namespace

PicturePtr DecodeExecutableIcon(std::span<const uint8_t> bytes) {
  Image image(bytes);
  if (!image.ReadHeaders()) return nullptr;
  const auto tree = image.At(image.resource_address(), image.resource_size());
  if (!tree) return nullptr;
  const ResourceTree resources(image, *tree);
  for (const bool cursor : {false, true}) {
    const auto group = resources.First(cursor ? kCursorGroupKind : kIconGroupKind);
    if (!group) continue;
    const std::vector<uint8_t> file = IconFileOfGroup(resources, *group, cursor);
    if (file.empty()) return nullptr;
    return DecodeIcon(file);
  }
  return nullptr;
}

}  // namespace tentaria::pictures
