#include "storage/table_definition_stream.h"

#include <string_view>
#include <utility>

#include "runtime/value_types.h"
#include "storage/internal_fault.h"

namespace tentaria::storage {
namespace {

using runtime::TypeCode;

bool IsDecimalType(uint8_t type) {
  return type == runtime::ToInt(TypeCode::DECIMAL) || type == runtime::ToInt(TypeCode::PDECIMAL);
}

bool IsStringType(uint8_t type) {
  return type == runtime::ToInt(TypeCode::STRING) || type == runtime::ToInt(TypeCode::CSTRING) ||
         type == runtime::ToInt(TypeCode::PSTRING);
}

Status Unreadable(std::string message) {
  return Status::Error(error_code::kInvalidDataFile, "stored definition: " + std::move(message));
}

// Reads the stream byte by byte from its blocks.
class BlockReader {
 public:
  explicit BlockReader(const DefinitionBlockSource* source) : source_(source) {}

  Status Next(uint8_t* byte) {
    if (position_ == kDefinitionBlockSize) {
      if (Status s = Load(); !s.ok()) return s;
    }
    *byte = static_cast<uint8_t>(block_[position_++]);
    return Status::Ok();
  }

  // Appends the bytes up to the next zero byte, which is read and dropped.
  Status Text(std::string* text) {
    for (;;) {
      if (position_ == kDefinitionBlockSize) {
        if (Status s = Load(); !s.ok()) return s;
      }
      size_t end = block_.find('\0', position_);
      if (end != std::string::npos) {
        text->append(block_, position_, end - position_);
        position_ = end + 1;
        return Status::Ok();
      }
      text->append(block_, position_, std::string::npos);
      position_ = kDefinitionBlockSize;
    }
  }

 private:
  Status Load() {
    if (next_block_ == kMaxDefinitionBlocks) return Unreadable("runs past its last block");
    bool found = false;
    std::string data;
    Status s = (*source_)(static_cast<uint16_t>(next_block_), &data, &found);
    if (!s.ok()) return s;
    if (!found) data.clear();
    if (data.size() > kDefinitionBlockSize) return Unreadable("a block is longer than 512 bytes");
    data.resize(kDefinitionBlockSize, '\0');
    block_ = std::move(data);
    position_ = 0;
    ++next_block_;
    return Status::Ok();
  }

  const DefinitionBlockSource* source_;
  std::string block_;
  size_t position_ = kDefinitionBlockSize;
  size_t next_block_ = 0;
};

enum class Mode { kWrite, kRead, kCompare };
enum class Check { kEssential, kTolerated, kNone };

// One element routine per kind of element.  Each takes the declaration's
// value and returns the value in the stream: the same value when writing,
// the stored value when reading or comparing.  Once the walk has stopped
// (a failure, or an essential difference) the routines do nothing.
class DefinitionWalk {
 public:
  explicit DefinitionWalk(std::string* out) : mode_(Mode::kWrite), out_(out) {}
  DefinitionWalk(Mode mode, const DefinitionBlockSource& source) : mode_(mode), reader_(&source) {}

  bool reading() const { return mode_ == Mode::kRead; }
  bool going() const { return status_.ok() && match_ != DefinitionMatch::kEssential; }
  const Status& status() const { return status_; }
  DefinitionMatch match() const { return match_; }

  uint8_t Byte(uint8_t value, Check check) {
    if (!going()) return value;
    if (mode_ == Mode::kWrite) {
      out_->push_back(static_cast<char>(value));
      return value;
    }
    uint8_t stored = 0;
    status_ = reader_.Next(&stored);
    Note(stored == value, check);
    return stored;
  }

  uint16_t U16(uint16_t value, Check check) {
    uint8_t low = Byte(static_cast<uint8_t>(value), Check::kNone);
    uint8_t high = Byte(static_cast<uint8_t>(value >> 8), Check::kNone);
    uint16_t stored = static_cast<uint16_t>(low | high << 8);
    Note(stored == value, check);
    return stored;
  }

  std::string Text(const std::string& value, Check check) {
    if (!going()) return value;
    if (mode_ == Mode::kWrite) {
      out_->append(value);
      out_->push_back('\0');
      return value;
    }
    std::string stored;
    status_ = reader_.Text(&stored);
    Note(stored == value, check);
    return stored;
  }

  // Records the outcome of a comparison the caller made itself.
  void Note(bool equal, Check check) {
    if (mode_ != Mode::kCompare || !status_.ok() || equal || check == Check::kNone) return;
    if (check == Check::kEssential) {
      match_ = DefinitionMatch::kEssential;
    } else if (match_ == DefinitionMatch::kSame) {
      match_ = DefinitionMatch::kTolerated;
    }
  }

  void Fail(Status status) { status_ = std::move(status); }

 private:
  Mode mode_;
  std::string* out_ = nullptr;
  BlockReader reader_{nullptr};  // unused when writing
  Status status_;
  DefinitionMatch match_ = DefinitionMatch::kSame;
};

void WalkField(DefinitionWalk& walk, FieldDescriptor& field) {
  uint8_t type = walk.Byte(field.type, Check::kEssential);
  uint16_t offset = walk.U16(field.offset, Check::kEssential);
  std::string name = walk.Text(field.StoredName(), Check::kTolerated);
  uint16_t elements = walk.U16(static_cast<uint16_t>(field.Elements()), Check::kEssential);
  uint16_t size = walk.U16(field.size, Check::kEssential);
  uint16_t word1 = walk.U16(field.further_attributes[0], Check::kEssential);
  uint16_t word2 = walk.U16(field.further_attributes[1], Check::kEssential);
  // In compare mode an essential difference of the type has stopped the
  // walk, so the declared and stored types agree from here on.
  uint8_t digits = field.digits;
  uint8_t decimals = field.decimals;
  if (IsDecimalType(type)) {
    digits = walk.Byte(field.digits, Check::kTolerated);
    decimals = walk.Byte(field.decimals, Check::kTolerated);
  }
  uint16_t string_length = field.string_length;
  std::string picture = field.picture;
  if (IsStringType(type)) {
    string_length = walk.U16(field.string_length, Check::kTolerated);
    picture = walk.Text(field.picture, Check::kTolerated);
  }
  if (!walk.reading()) return;
  field.type = type;
  field.offset = offset;
  field.label = std::move(name);
  field.external_name.clear();
  field.dimensions.clear();
  if (elements != 1) field.dimensions.push_back(elements);
  field.size = size;
  field.further_attributes = {word1, word2};
  field.digits = digits;
  field.decimals = decimals;
  field.string_length = string_length;
  field.picture = std::move(picture);
}

void WalkMemo(DefinitionWalk& walk, MemoDescriptor& memo) {
  std::string external_name = walk.Text(memo.external_name, Check::kTolerated);
  std::string name = walk.Text(memo.label, Check::kTolerated);
  // A blob's size is not binding, so only a memo's size must agree.
  uint16_t size = walk.U16(memo.size, memo.blob() ? Check::kTolerated : Check::kEssential);
  uint16_t attributes = walk.U16(memo.attributes, Check::kNone);
  if (!walk.reading()) return;
  memo.external_name = std::move(external_name);
  memo.label = std::move(name);
  memo.size = size;
  memo.attributes = attributes;
}

void WalkKey(DefinitionWalk& walk, KeyDescriptor& key) {
  std::string external_name = walk.Text(key.external_name, Check::kTolerated);
  std::string name = walk.Text(key.label, Check::kTolerated);
  uint8_t declared = static_cast<uint8_t>(key.attributes & key_attribute::kStoredBits);
  uint8_t attributes = walk.Byte(declared, Check::kNone);
  walk.Note(((attributes ^ declared) & ~key_attribute::PRIMARY) == 0, Check::kEssential);
  uint16_t count = walk.U16(static_cast<uint16_t>(key.components.size()), Check::kEssential);
  if (walk.reading()) {
    key.external_name = std::move(external_name);
    key.label = std::move(name);
    key.attributes = attributes;
    key.components.resize(count);
  }
  for (size_t i = 0; i < count && walk.going(); ++i) {
    KeyComponent& component = key.components[i];
    uint16_t field = walk.U16(component.field, Check::kEssential);
    uint16_t component_attributes = walk.U16(component.attributes, Check::kEssential);
    if (walk.reading()) component = KeyComponent{field, component_attributes};
  }
}

// The whole walk.  When reading, `file` starts empty and is filled; else it
// is the declaration and stays unchanged.
void WalkDefinition(DefinitionWalk& walk, FileDescriptor& file) {
  uint16_t version = walk.U16(DefinitionVersion(file), Check::kEssential);
  uint16_t record_size = walk.U16(file.layout.record_size, Check::kEssential);
  uint16_t fields = walk.U16(static_cast<uint16_t>(file.layout.fields.size()), Check::kEssential);
  uint16_t memos = walk.U16(static_cast<uint16_t>(file.memos.size()), Check::kEssential);
  uint16_t keys = walk.U16(static_cast<uint16_t>(file.keys.size()), Check::kEssential);
  if (!walk.going()) return;
  if (walk.reading()) {
    if (version != 1 && version != 2) return walk.Fail(Unreadable("unknown version"));
    if (memos > kMaxMemos || keys > kMaxKeys)
      return walk.Fail(Unreadable("too many keys or memos"));
    file.layout.record_size = record_size;
    file.layout.fields.resize(fields);
    file.memos.resize(memos);
    file.keys.resize(keys);
  }
  for (size_t i = 0; i < fields && walk.going(); ++i) WalkField(walk, file.layout.fields[i]);
  for (size_t i = 0; i < memos && walk.going(); ++i) WalkMemo(walk, file.memos[i]);
  for (size_t i = 0; i < keys && walk.going(); ++i) WalkKey(walk, file.keys[i]);
}

Status ValidateDeclaration(const FileDescriptor& declaration) {
  Status s = ValidateDefinition(declaration, error_code::kInvalidRecordDeclaration);
  if (s.ok()) return s;
  return Status::Error(s.code(), "declaration: " + s.message());
}

}  // namespace

DefinitionBlockSource BlockListSource(const std::vector<std::string>& blocks) {
  return [&blocks](uint16_t block, std::string* data, bool* found) {
    *found = block < blocks.size();
    if (*found) *data = blocks[block];
    return Status::Ok();
  };
}

Status WriteDefinition(const FileDescriptor& declaration, std::vector<std::string>* blocks) {
  if (Status s = ValidateDeclaration(declaration); !s.ok()) return s;
  std::string stream;
  DefinitionWalk walk(&stream);
  FileDescriptor file = declaration;
  WalkDefinition(walk, file);
  // The last block is the partial one, empty when the stream fills its
  // blocks exactly.
  size_t count = stream.size() / kDefinitionBlockSize + 1;
  if (count > kMaxDefinitionBlocks) {
    return Status::Error(error_code::kInvalidRecordDeclaration,
                         "declaration: the definition is too long to store");
  }
  blocks->clear();
  blocks->reserve(count);
  for (size_t i = 0; i < count; ++i) {
    blocks->push_back(stream.substr(i * kDefinitionBlockSize, kDefinitionBlockSize));
  }
  return Status::Ok();
}

Status ReadDefinition(const DefinitionBlockSource& source, FileDescriptor* file) {
  DefinitionWalk walk(Mode::kRead, source);
  FileDescriptor built;
  WalkDefinition(walk, built);
  if (!walk.status().ok()) return walk.status();
  Status s = ValidateDefinition(built, error_code::kInvalidDataFile);
  if (!s.ok()) return Unreadable(s.message());
  file->layout = std::move(built.layout);
  file->memos = std::move(built.memos);
  file->keys = std::move(built.keys);
  return Status::Ok();
}

Status CompareDefinition(const DefinitionBlockSource& source, const FileDescriptor& declaration,
                         DefinitionMatch* match) {
  if (Status s = ValidateDeclaration(declaration); !s.ok()) return s;
  DefinitionWalk walk(Mode::kCompare, source);
  FileDescriptor file = declaration;
  WalkDefinition(walk, file);
  if (!walk.status().ok()) return walk.status();
  *match = walk.match();
  return Status::Ok();
}

}  // namespace tentaria::storage
