#include "platform/file_mapping.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <limits>
#include <mutex>

namespace tentaria::platform {
namespace {

// The views handed out, by start address and length, so that the bus
// error of a view whose file was cut short can be told from any other.
constexpr size_t kViews = 1024;
std::atomic<uintptr_t> view_starts[kViews];
std::atomic<uint64_t> view_lengths[kViews];
std::atomic<bool> view_struck[kViews];
// Taken to claim or give back a slot (never by the handler).
std::mutex slots;
size_t page_size = 0;
struct sigaction previous_handler;

// A read of a view past the end of a file that was cut short: the page is
// replaced by zeros, so that the read gives bytes that match no header or
// page and its caller goes the slow way, which sees the file as it now is.
void OnBusError(int signal, siginfo_t* info, void* context) {
  auto address = reinterpret_cast<uintptr_t>(info->si_addr);
  for (size_t slot = 0; slot < kViews; ++slot) {
    uintptr_t start = view_starts[slot].load(std::memory_order_acquire);
    if (start == 0 || address < start ||
        address - start >= view_lengths[slot].load(std::memory_order_acquire)) {
      continue;
    }
    view_struck[slot].store(true, std::memory_order_release);
    uintptr_t page = address & ~static_cast<uintptr_t>(page_size - 1);
    void* zeros = mmap(reinterpret_cast<void*>(page), page_size, PROT_READ,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros != MAP_FAILED) return;
    break;
  }
  // Not a view's: as the handler installed before would have it.
  if ((previous_handler.sa_flags & SA_SIGINFO) != 0) {
    previous_handler.sa_sigaction(signal, info, context);
    return;
  }
  if (previous_handler.sa_handler != SIG_DFL && previous_handler.sa_handler != SIG_IGN) {
    previous_handler.sa_handler(signal);
    return;
  }
  // The faulting read is made again and ends the process as usual.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigaction(SIGBUS, &fallback, nullptr);
}

bool InstallHandler() {
  static std::once_flag once;
  static bool installed = false;
  std::call_once(once, [] {
    page_size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    installed = sigaction(SIGBUS, &action, &previous_handler) == 0;
  });
  return installed && page_size >= kMaxMappedStart;
}

uint64_t WholePages(uint64_t length) { return (length + page_size - 1) / page_size * page_size; }

}  // namespace

MappedRange MapFileRange(int fd, uint64_t reserved) {
  MappedRange range;
  if (reserved == 0 || !InstallHandler()) return range;
  uint64_t length = WholePages(reserved);
  if (length > std::numeric_limits<size_t>::max()) return range;
  void* mapped = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
  if (mapped == MAP_FAILED) return range;
  std::lock_guard<std::mutex> hold(slots);
  for (size_t slot = 0; slot < kViews; ++slot) {
    if (view_starts[slot].load(std::memory_order_relaxed) == 0) {
      // The length is set before the start makes the slot's view known.
      view_lengths[slot].store(length, std::memory_order_release);
      view_struck[slot].store(false, std::memory_order_release);
      view_starts[slot].store(reinterpret_cast<uintptr_t>(mapped), std::memory_order_release);
      range.data = static_cast<const uint8_t*>(mapped);
      range.reserved = length;
      range.slot = slot;
      return range;
    }
  }
  munmap(mapped, length);
  return range;
}

void UnmapFileRange(const MappedRange& range) {
  if (range.data == nullptr) return;
  std::lock_guard<std::mutex> hold(slots);
  view_starts[range.slot].store(0, std::memory_order_release);
  munmap(const_cast<uint8_t*>(range.data), range.reserved);
}

bool RangeStruck(const MappedRange& range) {
  return view_struck[range.slot].load(std::memory_order_acquire);
}

const uint8_t* MapFileStart(int fd, size_t n) {
  struct stat info {};
  if (n > kMaxMappedStart || !InstallHandler() || fstat(fd, &info) != 0 ||
      static_cast<uint64_t>(info.st_size) < n) {
    return nullptr;
  }
  return MapFileRange(fd, page_size).data;
}

void UnmapFileStart(const uint8_t* start) {
  auto address = reinterpret_cast<uintptr_t>(start);
  MappedRange range;
  {
    std::lock_guard<std::mutex> hold(slots);
    for (size_t slot = 0; slot < kViews && range.data == nullptr; ++slot) {
      if (view_starts[slot].load(std::memory_order_relaxed) == address) {
        range = {start, view_lengths[slot].load(std::memory_order_relaxed), slot};
      }
    }
  }
  UnmapFileRange(range);
}

}  // namespace tentaria::platform
