// A file system for crash tests: it wraps another FileSystem, counts the
// writes and flushes made through it, and can make a chosen one fail or
// "lose power" after it.
//
// Every Write and SetEnd of a file opened through it is a write, every
// Flush a flush.  Both are numbered from 1, across all files, in the order
// they happen since construction or the last ResetCounts(); the combined
// sequence of writes and flushes is the sequence of cut points.  A test
// first runs an operation once to count its points, then runs it again
// with PowerLossAfterPoint(k) for each k in turn, calls DropUnsyncedData()
// and checks what a restart finds.
//
// DropUnsyncedData() rewinds every file opened through the wrapper to its
// content at its last successful flush; the content a file had when it was
// first opened through the wrapper (after being created or emptied by that
// open) counts as flushed.  The wrapper keeps each file's flushed content in
// memory (files are small in tests) and re-reads a file through its own open
// after each flush, so an open for writing only is made for reading and
// writing underneath (reads through it are still refused).  Delete and
// Rename are durable at once and move or drop what is kept.
#ifndef TENTARIA_PLATFORM_FAULT_INJECTION_H_
#define TENTARIA_PLATFORM_FAULT_INJECTION_H_

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/file.h"
#include "platform/status.h"

namespace tentaria::platform {

class FaultInjectionFileSystem : public FileSystem {
 public:
  explicit FaultInjectionFileSystem(FileSystem* base = FileSystem::Default());
  ~FaultInjectionFileSystem() override;
  FaultInjectionFileSystem(const FaultInjectionFileSystem&) = delete;
  FaultInjectionFileSystem& operator=(const FaultInjectionFileSystem&) = delete;

  Status Open(const std::string& path, int mode, Disposition disposition,
              std::unique_ptr<File>* file) override;
  // Both fail with code 90 after a power loss.
  Status Delete(const std::string& path) override;
  Status Rename(const std::string& from, const std::string& to) override;
  bool Exists(const std::string& path) override;

  // Writes, flushes and cut points (writes plus flushes) so far; a write
  // or flush that failed counts too.
  int64_t write_count() const;
  int64_t flush_count() const;
  int64_t point_count() const;
  // Starts the numbering again from 1; the fault settings stay.
  void ResetCounts();

  // The write numbered n fails with code 5 (writing nothing); the flush
  // numbered n fails with code 90.  0 turns the fault off.
  void FailWrite(int64_t n);
  void FailFlush(int64_t n);
  // Power loss: after the write, flush or cut point numbered n has been
  // done, every later write (code 5) and flush (code 90) fails, as do
  // Delete, Rename and an open that would create or empty a file.  n = 0
  // cuts before the first point.  A negative n turns it off.
  void PowerLossAfterWrite(int64_t n);
  void PowerLossAfterFlush(int64_t n);
  void PowerLossAfterPoint(int64_t n);
  bool power_lost() const;
  // Turns every fault off (and restores power) without rewinding.
  void ClearFaults();

  // Rewinds every file to its content at its last successful flush and
  // restores power.  Call it after closing the files (as after a crash):
  // it opens each file itself, and an open that excludes it gives its
  // error.
  Status DropUnsyncedData();

 private:
  friend class FaultInjectionFile;

  // Counts a write or flush of a wrapped file; false when it is to fail.
  bool BeforeWrite();
  bool BeforeFlush();
  void FlushDone(const std::string& path, std::string content);
  void CheckPowerLossLocked();

  FileSystem* base_;
  mutable std::mutex mutex_;
  int64_t writes_ = 0;
  int64_t flushes_ = 0;
  int64_t fail_write_ = 0;
  int64_t fail_flush_ = 0;
  int64_t loss_after_write_ = -1;
  int64_t loss_after_flush_ = -1;
  int64_t loss_after_point_ = -1;
  bool power_lost_ = false;
  std::map<std::string, std::string> synced_;  // host path -> flushed content
};

}  // namespace tentaria::platform

#endif  // TENTARIA_PLATFORM_FAULT_INJECTION_H_
