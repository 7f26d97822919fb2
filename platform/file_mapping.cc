#include "platform/file_mapping.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace tentaria::platform {
namespace {

// The views handed out, by start address, so that the bus error of a view
// whose file was cut short can be told from any other.
constexpr size_t kViews = 1024;
std::atomic<uintptr_t> views[kViews];
size_t page_size = 0;
struct sigaction previous_handler;

// A read of a view past the end of a file that was cut short: the page is
// replaced by zeros, so that the read gives bytes that match no header and
// its caller goes the slow way, which sees the file as it now is.
void OnBusError(int signal, siginfo_t* info, void* context) {
  auto address = reinterpret_cast<uintptr_t>(info->si_addr);
  for (const std::atomic<uintptr_t>& view : views) {
    uintptr_t start = view.load(std::memory_order_acquire);
    if (start == 0 || address < start || address >= start + page_size) continue;
    void* zeros = mmap(reinterpret_cast<void*>(start), page_size, PROT_READ,
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

}  // namespace

const uint8_t* MapFileStart(int fd, size_t n) {
  struct stat info {};
  if (n > kMaxMappedStart || !InstallHandler() || fstat(fd, &info) != 0 ||
      static_cast<uint64_t>(info.st_size) < n) {
    return nullptr;
  }
  void* mapped = mmap(nullptr, page_size, PROT_READ, MAP_SHARED, fd, 0);
  if (mapped == MAP_FAILED) return nullptr;
  auto start = reinterpret_cast<uintptr_t>(mapped);
  for (std::atomic<uintptr_t>& view : views) {
    uintptr_t free = 0;
    if (view.compare_exchange_strong(free, start, std::memory_order_acq_rel)) {
      return static_cast<const uint8_t*>(mapped);
    }
  }
  munmap(mapped, page_size);
  return nullptr;
}

void UnmapFileStart(const uint8_t* start) {
  auto address = reinterpret_cast<uintptr_t>(start);
  for (std::atomic<uintptr_t>& view : views) {
    uintptr_t expected = address;
    if (view.compare_exchange_strong(expected, 0, std::memory_order_acq_rel)) break;
  }
  munmap(const_cast<uint8_t*>(start), page_size);
}

}  // namespace tentaria::platform
