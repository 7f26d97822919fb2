// The crash-safe commit of a batch of changed pages, and recovery.
//
// A commit writes pages that land beyond the old used area in place, and
// every page that would overwrite committed data to a journal after the new
// used area, followed by the new header.  Only then does it declare the
// journal in the old header (committed end, journal end), copy the entries
// home and write the new header.  A crash before the journal is declared
// leaves the old state; after it, any process that reads the header
// replays the journal (or discards it when the transaction it belongs to
// never reached its point of commit).
//
// Journal entry: a page image (or the 512-byte header, home address 0)
// whose first six bytes tell its home address and stored size, so whole
// blocks of the entry follow one another from committed end to journal end.
#ifndef TENTARIA_STORAGE_JOURNAL_H_
#define TENTARIA_STORAGE_JOURNAL_H_

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/status.h"
#include "storage/block_file.h"
#include "storage/file_header.h"

namespace tentaria::storage {

struct JournalEntry {
  uint64_t offset;  // where the entry lies in the journal
  uint64_t home;    // where it belongs
  size_t length;    // whole blocks (512 for the header)
};

// Makes the image of the i-th page to write (images are made when written,
// and once more for a journaled page when it is copied home, so that a large
// commit never holds all its images at once).
using PageImageSource = std::function<Status(size_t i, std::string* image)>;

// A commit whose journal is declared but not yet copied home.
struct PreparedCommit {
  FileHeader old_header;        // as it lay on disk before
  FileHeader new_header;        // as it lies on disk once copied home
  std::vector<uint64_t> homes;  // where each page belongs
  uint64_t old_end = 0;         // pages below this went to the journal
};

// Writes pages and the new header as one atomic change, in two phases.
// PrepareCommit writes pages beyond the old used area in place and the
// others to the journal, then declares the journal: from then on the
// change survives a crash.  FinishCommit copies the journal home.
// AbandonCommit instead drops the declared journal, leaving the old state
// (a transaction over several files that failed in another file).
//
// homes[i] is where page i belongs.  old_header is the header as it lies on
// disk; new_header holds the new ranges, root and counter.
Status PrepareCommit(BlockFile* file, const FileHeader& old_header, FileHeader new_header,
                     std::vector<uint64_t> homes, const PageImageSource& image_of,
                     PreparedCommit* prepared);
Status FinishCommit(BlockFile* file, const PreparedCommit& prepared,
                    const PageImageSource& image_of);
Status AbandonCommit(BlockFile* file, const PreparedCommit& prepared);

// Reads the entries of the pending journal of header.  *whole is false
// when an entry cannot be read whole or is malformed; otherwise
// *journal_header is the header the journal brings.
Status ReadJournal(BlockFile* file, const FileHeader& header, std::vector<JournalEntry>* entries,
                   FileHeader* journal_header, bool* whole);
// Copies every entry home and closes the journal.
Status ReplayJournal(BlockFile* file, const std::vector<JournalEntry>& entries,
                     const FileHeader& journal_header);
// Drops the journal: the header is rewritten with no journal and a raised
// change count.
Status DiscardJournal(BlockFile* file, const FileHeader& header);
// home offset -> entry offset, to serve reads from a journal in place.
std::unordered_map<uint64_t, uint64_t> JournalMap(const std::vector<JournalEntry>& entries);

Status WriteHeader(BlockFile* file, const FileHeader& header);

}  // namespace tentaria::storage

#endif  // TENTARIA_STORAGE_JOURNAL_H_
