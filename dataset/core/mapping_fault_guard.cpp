#include "dataset/core/mapping_fault_guard.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>

namespace dorvem::mapping_fault_guard {
namespace {

struct Slot {
  std::atomic<bool> taken{false};
  std::atomic<std::uintptr_t> begin{0};
  std::atomic<std::uintptr_t> end{0};
  std::atomic<bool> faulted{false};
};

// A process maps a handful of data files at once; more share no guard.
std::array<Slot, 32> slots;
std::atomic<std::uint64_t> faults{0};
std::uintptr_t pageSize = 4096;
struct sigaction previous {};
std::once_flag installed;

// Gives the fault to whoever handled SIGBUS before us; with no one, the
// default action is restored and the faulting read, retried on return,
// ends the process as it would have.
void PassOn(int signal, siginfo_t* info, void* context) {
  if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr) {
    previous.sa_sigaction(signal, info, context);
  } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN &&
             previous.sa_handler != nullptr) {
    previous.sa_handler(signal);
  } else {
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(SIGBUS, &fallback, nullptr);
  }
}

void OnBusError(int signal, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
  for (Slot& s : slots) {
    const std::uintptr_t begin = s.begin.load(std::memory_order_acquire);
    if (begin == 0 || at < begin || at >= s.end.load(std::memory_order_acquire)) continue;
    void* page = reinterpret_cast<void*>(at & ~(pageSize - 1));
    if (mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) ==
        MAP_FAILED)
      break;
    s.faulted.store(true, std::memory_order_release);
    faults.fetch_add(1, std::memory_order_relaxed);
    errno = savedErrno;
    return;
  }
  errno = savedErrno;
  PassOn(signal, info, context);
}

void Install() {
  const long size = sysconf(_SC_PAGESIZE);
  if (size > 0) pageSize = static_cast<std::uintptr_t>(size);
  struct sigaction action {};
  action.sa_sigaction = OnBusError;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  sigaction(SIGBUS, &action, &previous);
}

}  // namespace

int Watch(const void* begin, std::size_t size) {
  if (begin == nullptr || size == 0) return -1;
  std::call_once(installed, Install);
  for (std::size_t i = 0; i < slots.size(); ++i) {
    bool expected = false;
    if (!slots[i].taken.compare_exchange_strong(expected, true)) continue;
    const auto b = reinterpret_cast<std::uintptr_t>(begin);
    slots[i].faulted.store(false);
    slots[i].end.store(b + size, std::memory_order_release);
    slots[i].begin.store(b, std::memory_order_release);
    return static_cast<int>(i);
  }
  return -1;
}

void Forget(int slot) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= slots.size()) return;
  slots[slot].begin.store(0, std::memory_order_release);
  slots[slot].end.store(0, std::memory_order_release);
  slots[slot].taken.store(false, std::memory_order_release);
}

bool Faulted(int slot) {
  return slot >= 0 && static_cast<std::size_t>(slot) < slots.size() &&
         slots[slot].faulted.load(std::memory_order_acquire);
}

std::uint64_t FaultCount() {
  return faults.load(std::memory_order_relaxed);
}

}  // namespace dorvem::mapping_fault_guard
