#include "storage/record_file.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "platform/clock.h"
#include "platform/file_mapping.h"
#include "storage/integrity.h"
#include "storage/internal_fault.h"
#include "storage/journal.h"
#include "storage/page_image.h"

namespace tentaria::storage {

namespace {

bool IsShared(int mode) { return (mode & 0x30) == 0; }
bool IsDenyWrite(int mode) {
  return (mode & platform::open_mode::kShareMask) == platform::open_mode::kDenyWrite;
}

Status AccessDenied(const char* what) {
  return Status::Error(tentaria::error_code::kAccessDenied, what);
}

}  // namespace

RecordFile::RecordFile(std::unique_ptr<platform::File> file, int mode, RecordFileOptions options)
    : block_file_(std::make_unique<BlockFile>(std::move(file), options.owner_password)),
      mode_(mode),
      options_(std::move(options)),
      shared_(IsShared(mode)),
      writable_((mode & platform::open_mode::kAccessMask) != platform::open_mode::kRead),
      store_(block_file_.get()),
      tree_(&store_, [this](int32_t ref) { return FreePlace(ref); }),
      space_(&store_, &tree_),
      locks_(block_file_->file(), static_cast<uint32_t>(platform::ElapsedHundredths())) {}

RecordFile::~RecordFile() = default;

Status RecordFile::Open(platform::FileSystem* fs, const std::string& path, int mode,
                        platform::Disposition disposition, RecordFileOptions options,
                        std::unique_ptr<RecordFile>* file) {
  // A record file cannot be kept without reading it: write access is
  // opened as read and write.
  if ((mode & platform::open_mode::kAccessMask) == platform::open_mode::kWrite) {
    mode = (mode & ~platform::open_mode::kAccessMask) | platform::open_mode::kReadWrite;
  }
  std::unique_ptr<platform::File> handle;
  Status s = fs->Open(path, mode, disposition, &handle);
  if (!s.ok()) return s;
  std::unique_ptr<RecordFile> result(new RecordFile(std::move(handle), mode, std::move(options)));
  // A shared file is read under a reader slot, never in the middle of
  // another process's commit.
  FileHeader disk;
  if (result->shared_) s = result->locks_.LockReader();
  if (s.ok()) s = result->ReadHeader(&disk);
  if (result->shared_) result->locks_.UnlockReader();
  if (!s.ok()) return s;
  result->disk_header_ = disk;
  result->store_.header() = disk;
  *file = std::move(result);
  return Status::Ok();
}

Status RecordFile::ReadHeader(FileHeader* disk) {
  // Nothing read at offset 0 means a file of length 0: a new, empty file.
  // This runs before every operation on a shared file, so the length is not
  // asked for separately.
  uint8_t bytes[kHeaderSize];
  size_t got = 0;
  Status s = block_file_->file()->Read(0, bytes, kHeaderSize, &got);
  if (!s.ok()) return s;
  if (got == 0) {
    *disk = NewFileHeader();
    return Status::Ok();
  }
  FileHeader header;
  if (got == kHeaderSize && last_header_known_ &&
      std::memcmp(bytes, last_header_bytes_.data(), kHeaderSize) == 0) {
    // The same bytes as at the last read: the same header, without
    // deciphering and decoding it again.
    header = last_header_;
  } else {
    last_header_known_ = false;
    std::memcpy(last_header_bytes_.data(), bytes, got);
    if (got == kHeaderSize) block_file_->Decipher(bytes, got);
    s = DecodeHeader(bytes, got, &header);
    if (!s.ok()) return s;
    last_header_known_ = got == kHeaderSize;
    last_header_ = header;
  }
  if (!header.journal_pending()) {
    if (!store_.journal_map().empty()) store_.SetJournalMap({});
    *disk = header;
    return Status::Ok();
  }
  return Recover(header, disk);
}

Status RecordFile::Recover(const FileHeader& found, FileHeader* result) {
  // A writer replays or discards the journal under the writer byte, then
  // looks again: another process may have finished it meanwhile.
  bool take_lock = writable_ && (shared_ || IsDenyWrite(mode_)) && !writing_;
  FileHeader disk = found;
  if (take_lock) {
    Status s = locks_.LockWriter(platform::LockWait::kWait);
    if (!s.ok()) return s;
    uint8_t bytes[kHeaderSize];
    size_t got = 0;
    s = block_file_->Read(0, bytes, kHeaderSize, &got);
    if (s.ok()) s = DecodeHeader(bytes, got, &disk);
    if (!s.ok() || !disk.journal_pending()) {
      locks_.UnlockWriter();
      if (s.ok()) {
        store_.SetJournalMap({});
        *result = disk;
      }
      return s;
    }
  }
  std::vector<JournalEntry> entries;
  FileHeader journal_header;
  bool whole = false;
  Status s = ReadJournal(block_file_.get(), disk, &entries, &journal_header, &whole);
  bool discard = !whole;
  if (s.ok() && whole && options_.transaction_pending) {
    // The marker lies in the state the journal brings.
    store_.Clear();
    store_.header() = journal_header;
    store_.SetJournalMap(JournalMap(entries));
    TreePath path;
    s = tree_.Seek(kTransactionMarkerKey, &path);
    if (s.ok() && RecordTree::AtRecord(path)) {
      PageEntry e = path.back().page->entry(path.back().index);
      if (e.key() == kTransactionMarkerKey) {
        bool pending = false;
        s = options_.transaction_pending(e.bytes.substr(e.key_length), &pending);
        discard = pending;
      }
    }
    store_.Clear();
  }
  if (s.ok()) {
    if (!writable_) {
      // Read only: the journal cannot be finished here, so a complete one
      // serves reads in place of the pages it replaces.
      *result = discard ? disk : journal_header;
      store_.SetJournalMap(discard ? std::unordered_map<uint64_t, uint64_t>{}
                                   : JournalMap(entries));
    } else if (discard) {
      s = DiscardJournal(block_file_.get(), disk);
      *result = disk;
      result->committed_end = result->journal_end = disk.UsedEnd();
      result->change_count += 1;
      store_.SetJournalMap({});
    } else {
      s = ReplayJournal(block_file_.get(), entries, journal_header);
      *result = journal_header;
      store_.SetJournalMap({});
    }
  }
  if (take_lock) locks_.UnlockWriter();
  return s;
}

Status RecordFile::Refresh() {
  FileHeader disk;
  Status s = ReadHeader(&disk);
  if (!s.ok()) return s;
  // Every commit and every finished journal changes the count; while it
  // stays the same, the cached pages and the bytes read ahead still show
  // the file as it is.
  if (disk.change_count != disk_header_.change_count) {
    auto map = store_.journal_map();
    store_.Clear();
    store_.SetJournalMap(std::move(map));
  }
  disk_header_ = disk;
  store_.header() = disk;
  return Status::Ok();
}

bool RecordFile::HeaderUnchanged() {
  if (!last_header_known_ || last_header_.journal_pending() || !store_.journal_map().empty()) {
    return false;
  }
  // Any difference, a header being written included, goes the locked way,
  // which also reports a failing read.  The host's files show the header
  // in memory, which spares a read per operation.
  if (!header_view_asked_) {
    header_view_asked_ = true;
    if (auto* mapping = dynamic_cast<platform::StartMapping*>(block_file_->file())) {
      header_view_ = mapping->MapStart(kHeaderSize);
    }
  }
  if (header_view_ != nullptr) {
    return std::memcmp(header_view_, last_header_bytes_.data(), kHeaderSize) == 0;
  }
  uint8_t bytes[kHeaderSize];
  size_t got = 0;
  Status s = block_file_->file()->Read(0, bytes, kHeaderSize, &got);
  return s.ok() && got == kHeaderSize &&
         std::memcmp(bytes, last_header_bytes_.data(), kHeaderSize) == 0;
}

Status RecordFile::StartRead(bool unlocked) {
  if (!shared_ || writing_) {
    store_.Trim(options_.cache_bytes);
    return Status::Ok();
  }
  if (read_depth_++ > 0) return Status::Ok();
  store_.Trim(options_.cache_bytes);
  if (unlocked && HeaderUnchanged()) {
    unlocked_ = true;
    store_.set_cached_only(true);
    return Status::Ok();
  }
  Status s = locks_.LockReader();
  if (s.ok()) {
    s = Refresh();
    if (s.ok()) return s;
    locks_.UnlockReader();
  }
  read_depth_ = 0;
  return s;
}

Status RecordFile::ResumeLocked() {
  // Without the slot the operation stays unlocked and cache-bound, also
  // for the later reads of its bracket.
  Status s = locks_.LockReader();
  if (!s.ok()) return s;
  unlocked_ = false;
  store_.set_cached_only(false);
  uint64_t epoch = store_.clear_count();
  s = Refresh();
  if (!s.ok()) return s;
  if (store_.clear_count() != epoch && read_depth_ > 1) {
    return Status::Error(kReadRestartCode, "another process changed the file during the read");
  }
  return Status::Ok();
}

Status RecordFile::FinishRead() {
  if (!shared_ || writing_ || read_depth_ == 0) return Status::Ok();
  if (--read_depth_ > 0) return Status::Ok();
  if (unlocked_) {
    unlocked_ = false;
    store_.set_cached_only(false);
    return Status::Ok();
  }
  return locks_.UnlockReader();
}

Status RecordFile::StartWrite() {
  if (!writable_) return AccessDenied("file is open for reading only");
  if (prepared_) return AccessDenied("a flush is prepared");
  if (writing_) return Status::Ok();
  if (!shared_) {
    store_.Trim(options_.cache_bytes);
    writing_ = true;
    return Status::Ok();
  }
  // The reader slot is given up before the writer byte is taken, so that a
  // committing writer never waits for a reader that waits for it.
  if (read_depth_ > 0) {
    if (!unlocked_) locks_.UnlockReader();
    unlocked_ = false;
    store_.set_cached_only(false);
    read_depth_ = 0;
  }
  Status s = locks_.LockWriter(platform::LockWait::kWait);
  if (!s.ok()) return s;
  writing_ = true;
  store_.Trim(options_.cache_bytes);
  s = Refresh();
  if (!s.ok()) {
    writing_ = false;
    locks_.UnlockWriter();
  }
  return s;
}

Status RecordFile::BeginRead(Bracket bracket) {
  return StartRead(bracket == Bracket::kRestartable);
}
Status RecordFile::EndRead() { return FinishRead(); }

Status RecordFile::Fail(Status status) {
  // A change that failed half-way (an internal fault) still counts as a
  // change: the caller may flush what is valid or discard it.
  if (InternalFaultNumber(status) != 0) changed_ = true;
  if (!changed_ && writing_ && shared_) {
    writing_ = false;
    locks_.UnlockWriter();
  }
  return status;
}

Status RecordFile::WriteBack(bool always) {
  if (!write_back_ || writing_back_ || (owner_depth_ > 0 && !always)) return Status::Ok();
  writing_back_ = true;
  Status s = write_back_();
  writing_back_ = false;
  return s;
}

Status RecordFile::Get(std::string_view key, std::string* record) {
  Status s = WriteBack(false);
  if (!s.ok()) return s;
  s = StartRead(true);
  if (!s.ok()) return s;
  TreePath path;
  while ((s = tree_.Seek(key, &path)).code() == kNotCachedCode) {
    s = ResumeLocked();
    if (!s.ok()) break;
  }
  if (s.ok()) {
    if (RecordTree::AtRecord(path) && path.back().page->key(path.back().index) == key) {
      record->assign(path.back().page->entry(path.back().index).bytes);
    } else {
      s = Status::Error(error_code::kRecordNotFound, "no such key");
    }
  }
  Status f = FinishRead();
  return s.ok() ? f : s;
}

Status RecordFile::Insert(std::string_view record, size_t key_length) {
  if (key_length == 0 || key_length > record.size()) return AccessDenied("bad key length");
  Status s = WriteBack(false);
  if (s.ok()) s = StartWrite();
  if (!s.ok()) return s;
  s = tree_.Put(record, key_length, PutMode::kInsert);
  if (!s.ok()) return Fail(s);
  changed_ = true;
  return s;
}

Status RecordFile::Put(std::string_view record, size_t key_length) {
  if (key_length == 0 || key_length > record.size()) return AccessDenied("bad key length");
  Status s = WriteBack(false);
  if (s.ok()) s = StartWrite();
  if (!s.ok()) return s;
  s = tree_.Put(record, key_length, PutMode::kUpsert);
  if (!s.ok()) return Fail(s);
  changed_ = true;
  return s;
}

Status RecordFile::Delete(std::string_view key) {
  Status s = WriteBack(false);
  if (s.ok()) s = StartWrite();
  if (!s.ok()) return s;
  s = tree_.Delete(key);
  if (!s.ok()) return Fail(s);
  changed_ = true;
  return s;
}

Status RecordFile::IssueNumber(uint32_t* number) {
  Status s = StartWrite();
  if (!s.ok()) return s;
  s = store_.header().IssueNumber(number);
  if (!s.ok()) return Fail(s);
  changed_ = true;
  return s;
}

Status RecordFile::FreePlace(int32_t ref) { return space_.Free(ref); }

Status RecordFile::PlacePages(std::vector<Page*>* pages) {
  std::unordered_map<Page*, int> classes;
  std::string image;
  bool gaps_closed = false;
  while (true) {
    std::vector<std::pair<int, Page*>> pending;
    for (Page* page : store_.DirtyPages()) {
      if (classes.count(page)) continue;
      Status s = EncodePageImage(*page, 0, &image);
      if (!s.ok()) return s;
      int size_class = static_cast<int>(image.size() / kBlockSize);
      classes.emplace(page, size_class);
      int current = 0;
      if (page->ref() < 0 || !store_.header().ClassOf(page->ref(), &current).ok() ||
          current != size_class) {
        pending.emplace_back(size_class, page);
      }
    }
    if (pending.empty()) {
      if (gaps_closed) break;
      Status s = space_.CloseGaps();
      if (!s.ok()) return s;
      gaps_closed = true;
      continue;
    }
    gaps_closed = false;
    // A page that must change class leaves its old place first.
    for (auto& [size_class, page] : pending) {
      int32_t old = page->ref();
      if (old < 0) continue;
      Status s = tree_.Relocate(page, store_.NextProvisionalRef());
      if (s.ok()) s = space_.Free(old);
      if (!s.ok()) return s;
    }
    // Within a class, pages take their places in the order they were made
    // (provisional references count down), which for records added in key
    // order is key order: an ordered scan then reads the file forwards.
    std::sort(pending.begin(), pending.end(), [](const auto& a, const auto& b) {
      return a.first != b.first ? a.first < b.first : a.second->ref() > b.second->ref();
    });
    for (size_t i = 0; i < pending.size();) {
      size_t j = i;
      while (j < pending.size() && pending[j].first == pending[i].first) ++j;
      int size_class = pending[i].first;
      int32_t first = 0;
      Status s = space_.Allocate(size_class, static_cast<int>(j - i), &first);
      if (!s.ok()) return s;
      for (size_t k = i; k < j; ++k) {
        s = tree_.Relocate(pending[k].second,
                           first + static_cast<int32_t>((k - i) * static_cast<size_t>(size_class)));
        if (!s.ok()) return s;
      }
      i = j;
    }
  }
  *pages = store_.DirtyPages();
  std::sort(pages->begin(), pages->end(),
            [](const Page* a, const Page* b) { return a->ref() < b->ref(); });
  return Status::Ok();
}

Status RecordFile::Flush() {
  Status s = PrepareFlush();
  if (!s.ok()) return s;
  return FinishFlush();
}

Status RecordFile::ImageOf(size_t i, std::string* image) {
  return EncodePageImage(*prepared_pages_[i], static_cast<uint32_t>(prepared_commit_.homes[i]),
                         image);
}

Status RecordFile::PrepareFlush() {
  if (prepared_) return AccessDenied("a flush is already prepared");
  if (Status s = WriteBack(true); !s.ok()) return EndFlush(s);
  if (!changed_) {
    if (writing_ && shared_) locks_.UnlockWriter();
    writing_ = false;
    return Status::Ok();
  }
  Status s;
  if (shared_ || IsDenyWrite(mode_)) s = locks_.LockAllReaders();
  // A new file gets its empty header first, so that a crash inside the
  // first commit leaves an empty file rather than one without a header.
  uint64_t length = 0;
  if (s.ok()) s = block_file_->Size(&length);
  if (s.ok() && length == 0) {
    s = WriteHeader(block_file_.get(), disk_header_);
    if (s.ok()) s = block_file_->Flush();
  }
  if (s.ok()) s = PlacePages(&prepared_pages_);
  if (s.ok()) {
    std::vector<uint64_t> homes;
    homes.reserve(prepared_pages_.size());
    for (const Page* page : prepared_pages_) homes.push_back(BlockOffset(page->ref()));
    prepared_commit_.homes = homes;
    s = PrepareCommit(
        block_file_.get(), disk_header_, store_.header(), std::move(homes),
        [this](size_t i, std::string* image) { return ImageOf(i, image); }, &prepared_commit_);
  }
  if (!s.ok()) return EndFlush(s);
  prepared_ = true;
  return s;
}

Status RecordFile::FinishFlush() {
  if (!prepared_) return changed_ ? AccessDenied("no flush is prepared") : Status::Ok();
  Status s = FinishCommit(block_file_.get(), prepared_commit_,
                          [this](size_t i, std::string* image) { return ImageOf(i, image); });
  if (s.ok()) {
    disk_header_ = prepared_commit_.new_header;
    store_.header() = disk_header_;
    store_.MarkAllClean();
  }
  return EndFlush(s);
}

Status RecordFile::AbandonFlush() {
  if (!prepared_) return DiscardChanges();
  Status s = AbandonCommit(block_file_.get(), prepared_commit_);
  // The changes are dropped either way; if the old header could not be
  // written back, the declared journal is finished by the next header read.
  EndFlush(Status::Error(tentaria::error_code::kFileSystemError, "flush abandoned"));
  return s;
}

Status RecordFile::EndFlush(Status status) {
  if (!status.ok()) {
    // What reached the disk is either the old state or a declared journal
    // that the next header read completes; the memory state is dropped.
    store_.Clear();
    store_.header() = disk_header_;
    Refresh();
  }
  prepared_ = false;
  prepared_pages_.clear();
  prepared_commit_ = PreparedCommit();
  changed_ = false;
  if (shared_ || IsDenyWrite(mode_)) locks_.UnlockAllReaders();
  if (shared_) locks_.UnlockWriter();
  writing_ = false;
  return status;
}

Status RecordFile::DiscardChanges() {
  if (prepared_) return AbandonFlush();
  store_.Clear();
  store_.header() = disk_header_;
  changed_ = false;
  Status s;
  if (writing_ && shared_) s = locks_.UnlockWriter();
  writing_ = false;
  return s;
}

Status RecordFile::CutToUsedArea() {
  if (changed_ || prepared_) return AccessDenied("changes are pending");
  // Under the writer byte, with a fresh header: no other process commits
  // meanwhile, and a pending journal has been finished.
  Status s = StartWrite();
  if (!s.ok()) return s;
  uint64_t length = 0;
  s = block_file_->Size(&length);
  // A new file keeps its length 0 until the first commit writes a header.
  uint64_t used_end = store_.header().UsedEnd();
  if (s.ok() && length > used_end) s = block_file_->SetEnd(used_end);
  if (s.ok()) s = block_file_->Flush();
  if (writing_ && shared_) locks_.UnlockWriter();
  writing_ = false;
  return s;
}

std::unique_ptr<RecordCursor> RecordFile::NewCursor() {
  return std::make_unique<RecordCursor>(this);
}

std::unique_ptr<RecordCursor> RecordFile::NewKeyCursor() {
  return std::make_unique<RecordCursor>(this, false);
}

Status RecordFile::LockNumber(uint32_t number, platform::LockWait wait) {
  return locks_.LockNumber(number, wait);
}

Status RecordFile::UnlockNumber(uint32_t number) { return locks_.UnlockNumber(number); }

Status RecordFile::CheckIntegrity(std::vector<std::string>* problems) {
  if (changed_) return AccessDenied("changes are pending");
  // The check reads the file itself, not the page cache.
  Status s = StartRead(false);
  if (!s.ok()) return s;
  s = CheckFileIntegrity(block_file_.get(), store_.header(), store_.journal_map(), problems);
  Status f = FinishRead();
  return s.ok() ? f : s;
}

// --- RecordCursor ----------------------------------------------------------

void RecordCursor::Capture(bool valid) {
  valid_ = valid && RecordTree::AtRecord(path_);
  if (!valid_) return;
  PageEntry e = path_.back().page->entry(path_.back().index);
  key_length_ = e.key_length;
  if (copy_data_) {
    record_.assign(e.bytes);
  } else {
    record_.assign(e.key());
    data_ = e.bytes.substr(e.key_length);
  }
}

Status RecordCursor::Step(Move move, std::string_view key, bool* valid) {
  RecordTree& tree = file_->tree_;
  Status s;
  *valid = false;
  switch (move) {
    case Move::kSeek:
      s = tree.Seek(key, &path_);
      *valid = RecordTree::AtRecord(path_);
      if (s.ok() && !*valid) s = tree.Next(&path_, valid);
      break;
    case Move::kFirst:
      s = tree.SeekFirst(&path_);
      *valid = true;
      break;
    case Move::kLast:
      s = tree.SeekLast(&path_);
      *valid = true;
      break;
    case Move::kNext:
    case Move::kPrev:
      if (!valid_) break;
      if (version_ != file_->store_.version()) {
        // The tree changed since: find the place again by the current key.
        std::string current(this->key());
        s = tree.Seek(current, &path_);
        if (!s.ok()) break;
        if (move == Move::kNext && RecordTree::AtRecord(path_) &&
            path_.back().page->key(path_.back().index) != current) {
          *valid = true;  // the record after the old one is already under the path
          break;
        }
      }
      s = move == Move::kNext ? tree.Next(&path_, valid) : tree.Prev(&path_, valid);
      break;
  }
  return s;
}

Status RecordCursor::Go(Move move, std::string_view key) {
  Status s = file_->WriteBack(false);
  if (s.ok()) s = file_->StartRead(true);
  if (!s.ok()) return s;
  if (file_->unlocked_) saved_path_ = path_;
  bool valid = false;
  while ((s = Step(move, key, &valid)).code() == kNotCachedCode) {
    // The move is made again from where it began; after a change of the
    // file the cursor's version no longer matches, and it finds its place
    // by key.
    path_ = saved_path_;
    s = file_->ResumeLocked();
    if (!s.ok()) break;
  }
  // A restarted read keeps the cursor where it was.
  if (s.code() != kReadRestartCode) {
    Capture(s.ok() && valid);
    version_ = file_->store_.version();
  }
  Status f = file_->FinishRead();
  return s.ok() ? f : s;
}

Status RecordCursor::Seek(std::string_view key) { return Go(Move::kSeek, key); }
Status RecordCursor::SeekToFirst() { return Go(Move::kFirst, {}); }
Status RecordCursor::SeekToLast() { return Go(Move::kLast, {}); }
Status RecordCursor::Next() { return Go(Move::kNext, {}); }
Status RecordCursor::Prev() { return Go(Move::kPrev, {}); }

}  // namespace tentaria::storage
