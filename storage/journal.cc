#include "storage/journal.h"

#include <algorithm>

#include "storage/bytes.h"
#include "storage/internal_fault.h"
#include "storage/page_image.h"

namespace tentaria::storage {

Status WriteHeader(BlockFile* file, const FileHeader& header) {
  uint8_t bytes[kHeaderSize];
  EncodeHeader(header, bytes);
  return file->Write(0, bytes, kHeaderSize);
}

Status PrepareCommit(BlockFile* file, const FileHeader& old_header, FileHeader new_header,
                     std::vector<uint64_t> homes, const PageImageSource& image_of,
                     PreparedCommit* prepared) {
  // Everything below the old used area is committed data: it goes through
  // the journal.
  uint64_t old_end = old_header.UsedEnd();
  uint32_t end = std::max(new_header.UsedEnd(), static_cast<uint32_t>(old_end));
  new_header.committed_end = end;
  new_header.journal_end = end;
  new_header.change_count = old_header.change_count + 1;

  uint64_t journal_end = end;
  std::string image;
  for (size_t i = 0; i < homes.size(); ++i) {
    Status s = image_of(i, &image);
    if (!s.ok()) return s;
    uint64_t at = homes[i] >= old_end ? homes[i] : journal_end;
    s = file->Write(at, reinterpret_cast<const uint8_t*>(image.data()), image.size());
    if (!s.ok()) return s;
    if (homes[i] < old_end) journal_end += image.size();
  }
  uint8_t header_bytes[kHeaderSize];
  EncodeHeader(new_header, header_bytes);
  Status s = file->Write(journal_end, header_bytes, kHeaderSize);
  if (!s.ok()) return s;
  journal_end += kHeaderSize;
  s = file->Flush();
  if (!s.ok()) return s;

  FileHeader declared = old_header;
  declared.committed_end = end;
  declared.journal_end = static_cast<uint32_t>(journal_end);
  s = WriteHeader(file, declared);
  if (!s.ok()) return s;
  s = file->Flush();
  if (!s.ok()) return s;

  new_header.committed_end = new_header.journal_end = new_header.UsedEnd();
  prepared->old_header = old_header;
  prepared->new_header = new_header;
  prepared->homes = std::move(homes);
  prepared->old_end = old_end;
  return Status::Ok();
}

Status FinishCommit(BlockFile* file, const PreparedCommit& prepared,
                    const PageImageSource& image_of) {
  std::string image;
  for (size_t i = 0; i < prepared.homes.size(); ++i) {
    if (prepared.homes[i] >= prepared.old_end) continue;
    Status s = image_of(i, &image);
    if (!s.ok()) return s;
    s = file->Write(prepared.homes[i], reinterpret_cast<const uint8_t*>(image.data()),
                    image.size());
    if (!s.ok()) return s;
  }
  Status s = WriteHeader(file, prepared.new_header);
  if (!s.ok()) return s;
  return file->Flush();
}

Status AbandonCommit(BlockFile* file, const PreparedCommit& prepared) {
  Status s = WriteHeader(file, prepared.old_header);
  if (!s.ok()) return s;
  return file->Flush();
}

Status ReadJournal(BlockFile* file, const FileHeader& header, std::vector<JournalEntry>* entries,
                   FileHeader* journal_header, bool* whole) {
  entries->clear();
  *whole = false;
  uint64_t pos = header.committed_end;
  uint8_t first[kHeaderSize];
  while (pos < header.journal_end) {
    if (header.journal_end - pos < kHeaderSize) return Status::Ok();
    size_t got = 0;
    Status s = file->Read(pos, first, kHeaderSize, &got);
    if (!s.ok()) return s;
    if (got != kHeaderSize) return Status::Ok();
    uint64_t home = LoadU32(first);
    size_t length = RoundUpToBlock(LoadU16(first + kStoredSizeOffset));
    if (home == 0) {
      // The header closes the journal.
      if (pos + kHeaderSize != header.journal_end) return Status::Ok();
      if (!DecodeHeader(first, kHeaderSize, journal_header).ok()) return Status::Ok();
      entries->push_back({pos, 0, kHeaderSize});
      journal_header->committed_end = journal_header->journal_end = journal_header->UsedEnd();
      *whole = true;
      return Status::Ok();
    }
    if (home < kHeaderSize || (home - kHeaderSize) % kBlockSize != 0 || length == 0 ||
        length > kMaxPageBytes || length > header.journal_end - pos) {
      return Status::Ok();
    }
    entries->push_back({pos, home, length});
    pos += length;
  }
  return Status::Ok();
}

Status ReplayJournal(BlockFile* file, const std::vector<JournalEntry>& entries,
                     const FileHeader& journal_header) {
  std::vector<uint8_t> buffer;
  for (const JournalEntry& e : entries) {
    if (e.home == 0) continue;
    buffer.resize(e.length);
    size_t got = 0;
    Status s = file->Read(e.offset, buffer.data(), e.length, &got);
    if (!s.ok()) return s;
    if (got != e.length) return InternalFault(fault::kJournalEntry);
    s = file->Write(e.home, buffer.data(), e.length);
    if (!s.ok()) return s;
  }
  Status s = WriteHeader(file, journal_header);
  if (!s.ok()) return s;
  return file->Flush();
}

Status DiscardJournal(BlockFile* file, const FileHeader& header) {
  FileHeader closed = header;
  closed.committed_end = closed.journal_end = closed.UsedEnd();
  closed.change_count += 1;
  Status s = WriteHeader(file, closed);
  if (!s.ok()) return s;
  return file->Flush();
}

std::unordered_map<uint64_t, uint64_t> JournalMap(const std::vector<JournalEntry>& entries) {
  std::unordered_map<uint64_t, uint64_t> map;
  for (const JournalEntry& e : entries) map[e.home] = e.offset;
  return map;
}

}  // namespace tentaria::storage
