// Reading rows: the read position and the SET family, NEXT, PREVIOUS and
// SKIP, direct reads, saved positions, BOF and EOF.
//
// Rows are found through the record tree on every read: the position is a
// tree key, and each read seeks it again, so that rows added, changed or
// deleted meanwhile (by this open or another process) are seen.
#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "storage/bytes.h"
#include "storage/driver_state.h"
#include "storage/error_texts.h"
#include "storage/key_entry.h"
#include "storage/table_definition_records.h"

namespace tentaria::storage {
namespace {

// The first tree key of the order's range, which every key in it starts
// with: the table's number and the data row kind, or the key's number
// (KindKey, KeyEntryPrefix).  Built on every read, so kept off the heap.
class RangePrefix {
 public:
  RangePrefix(const TavrinFileState& state, ReadOrder order, size_t key) {
    StoreBigU32(reinterpret_cast<uint8_t*>(bytes_.data()), state.table->table_number());
    bytes_[4] = static_cast<char>(order == ReadOrder::kKey ? key : kDataRowKind);
  }
  std::string_view view() const { return {bytes_.data(), bytes_.size()}; }
  size_t size() const { return bytes_.size(); }
  // The first tree key after the range; the last byte (a kind or key
  // number) is below 0xFF.
  std::string End() const {
    std::string end(view());
    end.back() = static_cast<char>(static_cast<uint8_t>(end.back()) + 1);
    return end;
  }

 private:
  std::array<char, 5> bytes_;
};

uint32_t BigEndian(std::string_view bytes) {
  uint32_t value = 0;
  for (char c : bytes) value = value << 8 | static_cast<uint8_t>(c);
  return value;
}

struct Located {
  bool found = false;
  std::string tree_key;
  uint32_t record_number = 0;
  // In record order the cursor stands on the row itself: its bytes in the
  // page, valid until the next operation on the file.
  std::optional<std::string_view> row;
};

// Walks the entries of a key built in memory the way RecordCursor walks
// the file's records.
class MemoryCursor {
 public:
  using Entries = std::map<std::string, std::string>;
  explicit MemoryCursor(const Entries* entries) : entries_(entries), at_(entries->end()) {}

  Status Seek(std::string_view key) { return Move(entries_->lower_bound(std::string(key))); }
  Status SeekToLast() {
    return Move(entries_->empty() ? entries_->end() : std::prev(entries_->end()));
  }
  Status Next() { return Move(at_ == entries_->end() ? at_ : std::next(at_)); }
  Status Prev() { return Move(at_ == entries_->begin() ? entries_->end() : std::prev(at_)); }
  bool Valid() const { return at_ != entries_->end(); }
  std::string_view key() const { return at_->first; }
  std::string_view data() const { return at_->second; }

 private:
  Status Move(Entries::const_iterator to) {
    at_ = to;
    return Status::Ok();
  }

  const Entries* entries_;
  Entries::const_iterator at_;
};

template <typename Cursor>
Status StepBack(Cursor* cursor) {
  return cursor->Valid() ? cursor->Prev() : cursor->SeekToLast();
}

// The record the next read in the direction would read from `position`.
template <typename Cursor>
Status LocateWith(Cursor* cursor, const TavrinFileState& state, const ReadPosition& position,
                  bool forward, Located* located) {
  located->found = false;
  located->tree_key.clear();
  located->record_number = 0;
  located->row.reset();
  RangePrefix prefix(state, position.order, position.key);
  Status s;
  switch (position.start) {
    case ReadPosition::Start::kFromEnds:
      s = cursor->Seek(forward ? std::string(prefix.view()) : prefix.End());
      if (s.ok() && !forward) s = StepBack(cursor);
      break;
    case ReadPosition::Start::kFrom:
      s = cursor->Seek(forward ? position.search : position.search_back);
      if (s.ok() && !forward && !(cursor->Valid() && cursor->key() == position.search_back)) {
        s = StepBack(cursor);
      }
      break;
    case ReadPosition::Start::kAfter:
      // A kept cursor still on the row read last moves on from there; it
      // finds its place again by key when the file changed meanwhile.
      if (cursor->Valid() && cursor->key() == position.search) {
        s = forward ? cursor->Next() : cursor->Prev();
        break;
      }
      s = cursor->Seek(position.search);
      if (s.ok() && forward && cursor->Valid() && cursor->key() == position.search) {
        s = cursor->Next();
      } else if (s.ok() && !forward) {
        s = StepBack(cursor);
      }
      break;
  }
  if (!s.ok() || !cursor->Valid() || !cursor->key().starts_with(prefix.view())) return s;
  located->found = true;
  located->tree_key.assign(cursor->key());
  if (position.order == ReadOrder::kRecord) {
    located->record_number = BigEndian(cursor->key().substr(prefix.size()));
    located->row = cursor->data();
    return Status::Ok();
  }
  ParsedKeyEntry entry;
  s = ParseKeyEntry(state.declaration, cursor->key(), cursor->data(), &entry);
  located->record_number = entry.record_number;
  return s;
}

// Keys built in memory are read from the open's store (empty until the
// key is built); every other order from the file.
Status Locate(const TavrinFileState& state, const ReadPosition& position, bool forward,
              Located* located) {
  if (position.order == ReadOrder::kKey &&
      state.declaration.keys[position.key].Has(key_attribute::kInMemory)) {
    static const MemoryCursor::Entries kNone;
    auto built = state.memory_keys.keys.find(position.key);
    MemoryCursor cursor(built == state.memory_keys.keys.end() ? &kNone : &built->second);
    return LocateWith(&cursor, state, position, forward, located);
  }
  std::unique_ptr<RecordCursor> cursor = state.table->record_file()->NewCursor();
  return LocateWith(cursor.get(), state, position, forward, located);
}

// NEXT and PREVIOUS read through the open's kept cursor.
Status LocateNext(TavrinFileState* state, bool forward, Located* located) {
  const ReadPosition& position = state->position;
  if (position.order == ReadOrder::kKey &&
      state->declaration.keys[position.key].Has(key_attribute::kInMemory)) {
    return Locate(*state, position, forward, located);
  }
  if (!state->read_cursor) state->read_cursor = state->table->record_file()->NewKeyCursor();
  return LocateWith(state->read_cursor.get(), *state, position, forward, located);
}

void ClearReadRequests(TavrinFileState* state) {
  state->hold_requested = false;
  state->hold_seconds = -1;
  state->watch_requested = false;
  state->nomemo_requested = false;
}

// Makes a row that was found the current row under the read requests:
// holds it when asked (43 when another process holds it, the requests
// kept), copies it into the record buffer, keeps a watched copy.
Status TakeRow(const DriverCall& call, uint32_t record_number, std::string_view row) {
  TavrinFileState* state = call.state();
  if (state->hold_requested && state->held_row != record_number) {
    Status s = state->table->record_file()->LockNumber(record_number, platform::LockWait::kNoWait);
    if (!s.ok()) return Status::Error(error::kRecordIsAlreadyHeld, "another process holds the row");
    ReleaseHeldRow(state);
    state->held_row = record_number;
  }
  // Memos are read for the buffers unless NOMEMO asked otherwise, and for
  // the watched copy.
  std::vector<std::string> memos;
  bool read_memos = !state->nomemo_requested || state->watch_requested;
  std::string kept_row;
  if (read_memos && !state->declaration.memos.empty()) {
    // The row may lie in a page that reading the memos drops.
    kept_row.assign(row);
    row = kept_row;
    Status s = ReadRowMemos(MemosOf(*state, record_number), state->declaration, &memos);
    if (!s.ok()) return s;
  }
  std::span<char> buffer = call.block.record;
  std::memcpy(buffer.data(), row.data(), std::min(buffer.size(), row.size()));
  if (!state->nomemo_requested && !state->declaration.memos.empty()) call.block.memo = memos;
  state->read_without_memos = state->nomemo_requested;
  if (state->watch_requested) {
    state->watched_row.emplace(row);
    state->watched_memos = std::move(memos);
    state->watched_record = record_number;
  } else {
    state->watched_row.reset();
    state->watched_memos.clear();
    state->watched_record = 0;
  }
  state->current = record_number;
  ClearReadRequests(state);
  return Status::Ok();
}

// Ends a read that failed other than with 43.
Status EndFailedRead(TavrinFileState* state, Status status) {
  if (status.code() != error::kRecordIsAlreadyHeld) ClearReadRequests(state);
  return status;
}

// One read of NEXT or PREVIOUS; *skip is set for an entry whose row is
// gone (a key that must be rebuilt, or a row deleted meanwhile), which the
// read passes over.
Status ReadOnce(const DriverCall& call, bool forward, bool* skip) {
  TavrinFileState* state = call.state();
  // The read touches rows and key entries only, never the counters the
  // table keeps in memory: they need not be written back for it.
  RecordFile::OwnerScope owner(state->table->record_file());
  *skip = false;
  Located located;
  Status s = LocateNext(state, forward, &located);
  if (!s.ok()) return s;
  if (!located.found) return Status::Error(error::kRecordNotAvailable, "no further row");
  // A key entry leads to its row; in record order the row is at hand.
  std::string fetched;
  if (!located.row) {
    s = state->table->GetByPointer(located.record_number, &fetched);
    if (s.ok()) located.row = fetched;
  }
  if (s.ok()) s = TakeRow(call, located.record_number, *located.row);
  if (s.ok() || s.code() == error::kRecordNotFound) {
    *skip = !s.ok();
    // kAfter reads on from `search` alone.
    state->position.start = ReadPosition::Start::kAfter;
    state->position.search.swap(located.tree_key);
    return Status::Ok();
  }
  return s;
}

Status ReadByNumber(const DriverCall& call, uint32_t record_number) {
  TavrinFileState* state = call.state();
  int64_t started = kNotStarted;
  for (;;) {
    std::string row;
    Status s = state->table->GetByPointer(record_number, &row);
    if (s.ok()) s = TakeRow(call, record_number, row);
    if (s.code() == error::kRecordIsAlreadyHeld && RetryHeldRead(*state, &started)) continue;
    return EndFailedRead(state, s);
  }
}

Status ValueSearch(const DriverCall& call, size_t key, std::string* value) {
  TavrinFileState* state = call.state();
  std::string_view row = RowBuffer(call.block);
  return EncodeKeyValue(state->declaration, key,
                        {reinterpret_cast<const uint8_t*>(row.data()), row.size()},
                        state->table->collation(), value);
}

// The record number given as argument `index`; 0 for none or out of range.
uint32_t PointerArgument(const DriverCall& call, size_t index) {
  int64_t pointer = call.Number(index);
  return pointer > 0 && pointer <= UINT32_MAX ? static_cast<uint32_t>(pointer) : 0;
}

Status KeyPosition(const DriverCall& call, size_t key, uint32_t record_number,
                   ReadPosition* position) {
  TavrinFileState* state = call.state();
  const FileDescriptor& declaration = state->declaration;
  uint32_t table = state->table->table_number();
  auto key_number = static_cast<uint8_t>(key);
  bool dup = declaration.keys[key].Has(key_attribute::DUP);
  position->order = ReadOrder::kKey;
  position->key = key;
  switch (call.operation) {
    case op::SETkey:
      return Status::Ok();
    case op::SETkeyptr: {
      // Without the row (or with 0) the key is read from its ends.
      if (record_number == 0) return Status::Ok();
      std::string row;
      Status s = state->table->GetByPointer(record_number, &row);
      if (s.code() == error::kRecordNotFound) return Status::Ok();
      if (!s.ok()) return s;
      KeyedRecord entry;
      bool has_entry = false;
      s = BuildKeyEntry(declaration, table, key,
                        {reinterpret_cast<const uint8_t*>(row.data()), row.size()}, record_number,
                        state->table->collation(), &entry, &has_entry);
      if (!s.ok() || !has_entry) return s;
      position->start = ReadPosition::Start::kFrom;
      position->search = entry.key;
      position->search_back = entry.key;
      return Status::Ok();
    }
    default: {
      std::string value;
      Status s = ValueSearch(call, key, &value);
      if (!s.ok()) return s;
      position->start = ReadPosition::Start::kFrom;
      if (call.operation == op::SETkeykeyptr) {
        position->search = KeyEntryKey(table, key_number, value, dup, record_number);
        position->search_back = position->search;
      } else {
        position->search = KeyEntryKey(table, key_number, value, dup, 0);
        position->search_back = KeyEntryKey(table, key_number, value, dup, 0xFFFFFFFF);
      }
      return Status::Ok();
    }
  }
}

// The order a POSITION, RESET or REGET of this operation works in.
ReadOrder OrderOf(int operation) {
  return operation == op::POSITIONkey || operation == op::RESETkey || operation == op::REGETkey
             ? ReadOrder::kKey
             : ReadOrder::kRecord;
}

// A saved position given as argument: a tree key in the order's range.
Status SavedPosition(const DriverCall& call, ReadOrder order, size_t key, std::string* saved) {
  std::string text = call.args.texts.empty() ? std::string() : call.args.texts[0];
  RangePrefix prefix(*call.state(), order, key);
  if (text.size() <= prefix.size() || !text.starts_with(prefix.view())) {
    return Status::Error(error::kRecordNotFound, "not a saved position of this table");
  }
  *saved = std::move(text);
  return Status::Ok();
}

// The first entry of a key built in memory whose value is the one in the
// record buffer; 35 when there is none.
Status FindInMemory(const DriverCall& call, size_t key, uint32_t* record_number) {
  TavrinFileState* state = call.state();
  std::string value;
  Status s = ValueSearch(call, key, &value);
  if (!s.ok()) return s;
  bool dup = state->declaration.keys[key].Has(key_attribute::DUP);
  std::string entry_prefix =
      KeyEntryPrefix(state->table->table_number(), static_cast<uint8_t>(key)) + value;
  ReadPosition position;
  position.order = ReadOrder::kKey;
  position.key = key;
  position.start = ReadPosition::Start::kFrom;
  position.search = entry_prefix;
  Located located;
  s = Locate(*state, position, true, &located);
  if (!s.ok()) return s;
  if (!located.found || !located.tree_key.starts_with(entry_prefix) ||
      located.tree_key.size() != entry_prefix.size() + (dup ? 4 : 0)) {
    return Status::Error(error::kRecordNotFound, "no row with the value");
  }
  *record_number = located.record_number;
  return Status::Ok();
}

}  // namespace

bool RetryHeldRead(const TavrinFileState& state, int64_t* started) {
  int64_t now = platform::ElapsedHundredths();
  if (*started == kNotStarted) *started = now;
  if (state.hold_seconds >= 0 && now - *started >= state.hold_seconds * 100) return false;
  Pause(1);
  return true;
}

Status SetPosition(const DriverCall& call) {
  TavrinFileState* state = call.state();
  ReadPosition position;
  if (call.operation == op::SETfile || call.operation == op::SETfileptr) {
    uint32_t pointer = call.operation == op::SETfileptr ? PointerArgument(call, 0) : 0;
    if (pointer != 0) {
      position.start = ReadPosition::Start::kFrom;
      position.search = DataRowKey(state->table->table_number(), pointer);
      position.search_back = position.search;
    }
    state->position = position;
    return Status::Ok();
  }
  size_t key = 0;
  Status s = KeyArgument(call, 0, &key);
  uint32_t pointer = PointerArgument(call, 1);
  if (s.ok()) s = KeyPosition(call, key, pointer, &position);
  if (s.ok()) state->position = position;
  return s;
}

Status ReadNext(const DriverCall& call) {
  TavrinFileState* state = call.state();
  bool forward = call.operation == op::NEXT;
  int64_t started = kNotStarted;
  RecordFile* file = state->table->record_file();
  for (;;) {
    bool skip = false;
    // One read sees one state of a shared file.  Unless it holds a row, it
    // may run from the page cache and start again, under the file's lock,
    // when another process changed the file meanwhile; nothing of the
    // first attempt is kept (the position moves and the buffer is filled
    // only at its end).
    Status s = file->BeginRead(state->hold_requested ? RecordFile::Bracket::kLocked
                                                     : RecordFile::Bracket::kRestartable);
    if (s.ok()) {
      do {
        s = ReadOnce(call, forward, &skip);
      } while (s.code() == kReadRestartCode);
    }
    Status end = file->EndRead();
    if (s.ok()) s = end;
    if (s.ok() && skip) continue;
    if (s.code() == error::kRecordIsAlreadyHeld && RetryHeldRead(*state, &started)) continue;
    return EndFailedRead(state, s);
  }
}

Status SkipRows(const DriverCall& call) {
  TavrinFileState* state = call.state();
  int64_t count = call.Number(0);
  bool forward = count > 0;
  for (int64_t i = 0; i < (forward ? count : -count); ++i) {
    Located located;
    Status s = Locate(*state, state->position, forward, &located);
    if (!s.ok()) return s;
    if (!located.found) return Status::Error(error::kRecordNotAvailable, "no further row");
    state->position.start = ReadPosition::Start::kAfter;
    state->position.search = located.tree_key;
    state->position.search_back = located.tree_key;
  }
  return Status::Ok();
}

Status ReadDirect(const DriverCall& call) {
  TavrinFileState* state = call.state();
  if (call.operation == op::GETfileptr) return ReadByNumber(call, PointerArgument(call, 0));
  size_t key = 0;
  Status s = KeyArgument(call, 0, &key);
  if (!s.ok()) return EndFailedRead(state, s);
  if (call.operation == op::GETkeyptr) return ReadByNumber(call, PointerArgument(call, 1));
  int64_t started = kNotStarted;
  for (;;) {
    std::string row;
    uint32_t record_number = 0;
    if (state->declaration.keys[key].Has(key_attribute::kInMemory)) {
      s = FindInMemory(call, key, &record_number);
      if (s.ok()) s = state->table->GetByPointer(record_number, &row);
    } else {
      s = state->table->GetByKey(key, RowBuffer(call.block), &row, &record_number);
    }
    if (s.ok()) s = TakeRow(call, record_number, row);
    if (s.code() == error::kRecordIsAlreadyHeld && RetryHeldRead(*state, &started)) continue;
    return EndFailedRead(state, s);
  }
}

Status AtEnd(const DriverCall& call) {
  TavrinFileState* state = call.state();
  Located located;
  Status s = Locate(*state, state->position, call.operation == op::EOF_, &located);
  if (s.ok()) call.block.answer = located.found ? 0 : 1;
  return s;
}

Status Pointer(const DriverCall& call) {
  if (call.operation == op::POINTERkey) {
    size_t key = 0;
    Status s = KeyArgument(call, 0, &key);
    if (!s.ok()) return s;
  }
  call.block.answer = call.state()->current;
  return Status::Ok();
}

Status SavePosition(const DriverCall& call) {
  TavrinFileState* state = call.state();
  if (state->current == 0) {
    return Status::Error(error::kRecordNotAvailable, "there is no current row");
  }
  uint32_t table = state->table->table_number();
  if (call.operation == op::POSITIONfile) {
    call.block.answer_text = DataRowKey(table, state->current);
    return Status::Ok();
  }
  size_t key = 0;
  Status s = KeyArgument(call, 0, &key);
  std::string row;
  if (s.ok()) s = state->table->GetByPointer(state->current, &row);
  if (s.code() == error::kRecordNotFound) {
    return Status::Error(error::kRecordNotAvailable, "the current row is gone");
  }
  KeyedRecord entry;
  bool has_entry = false;
  if (s.ok()) {
    s = BuildKeyEntry(state->declaration, table, key,
                      {reinterpret_cast<const uint8_t*>(row.data()), row.size()}, state->current,
                      state->table->collation(), &entry, &has_entry);
  }
  if (s.ok() && !has_entry) {
    return Status::Error(error::kRecordNotAvailable, "the current row has no entry in the key");
  }
  if (s.ok()) call.block.answer_text = entry.key;
  return s;
}

Status ResetPosition(const DriverCall& call) {
  ReadPosition position;
  position.order = OrderOf(call.operation);
  Status s;
  if (position.order == ReadOrder::kKey) s = KeyArgument(call, 0, &position.key);
  if (s.ok()) s = SavedPosition(call, position.order, position.key, &position.search);
  if (!s.ok()) return s;
  position.start = ReadPosition::Start::kFrom;
  position.search_back = position.search;
  call.state()->position = position;
  return Status::Ok();
}

Status ReadAgain(const DriverCall& call) {
  TavrinFileState* state = call.state();
  ReadPosition position;
  position.order = OrderOf(call.operation);
  position.start = ReadPosition::Start::kAfter;
  Status s;
  if (position.order == ReadOrder::kKey) s = KeyArgument(call, 0, &position.key);
  if (s.ok()) s = SavedPosition(call, position.order, position.key, &position.search);
  if (!s.ok()) return EndFailedRead(state, s);
  position.search_back = position.search;
  uint32_t record_number = 0;
  RangePrefix prefix(*state, position.order, position.key);
  if (position.order == ReadOrder::kRecord) {
    record_number = BigEndian(std::string_view(position.search).substr(prefix.size()));
  } else {
    std::string entry;
    s = state->table->record_file()->Get(position.search, &entry);
    ParsedKeyEntry parsed;
    if (s.ok()) {
      s = ParseKeyEntry(state->declaration, position.search,
                        std::string_view(entry).substr(position.search.size()), &parsed);
    }
    if (!s.ok()) return EndFailedRead(state, s);
    record_number = parsed.record_number;
  }
  s = ReadByNumber(call, record_number);
  if (s.ok()) state->position = position;
  return s;
}

}  // namespace tentaria::storage
