#include "platform/Interrupts.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include "platform/ScratchFolder.h"

namespace platform {
namespace {

// What tells one file from another made later under the same name: a new file may get the old
// one's inode number at once, but not its birth time. Writing to the file changes neither.
struct Identity {
  unsigned long long Device = 0;
  unsigned long long Inode = 0;
  long long BirthSeconds = 0;
  unsigned BirthNanoseconds = 0;

  bool operator==(const Identity&) const = default;
};

// The identity of `path` itself (a link is not followed); false when it does not exist.
bool IdentityOf(const char* path, Identity& id) {
  struct statx info {};
  if (statx(AT_FDCWD, path, AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_BTIME, &info) != 0) return false;
  id.Device = (static_cast<unsigned long long>(info.stx_dev_major) << 32) | info.stx_dev_minor;
  id.Inode = info.stx_ino;
  if (info.stx_mask & STATX_BTIME) {
    id.BirthSeconds = info.stx_btime.tv_sec;
    id.BirthNanoseconds = info.stx_btime.tv_nsec;
  }
  return true;
}

enum class Kind : int { File, Tree, ProcessGroup, ChildProcess };

// A slot's life: Free -> Writing (being filled) -> Ready -> Free, or Ready -> Acting while the
// handler works on it (it then stays taken, so nobody refills it under the handler's feet).
enum State : int { kFree, kWriting, kReady, kActing };

struct Slot {
  std::atomic<int> State{kFree};
  std::atomic<unsigned> Generation{0};  // counts the slot's uses, so a stale handle frees nothing
  Kind What = Kind::File;
  pid_t Pid = 0;
  bool HaveIdentity = false;
  Identity Id;
  char Path[PATH_MAX] = {};
};

constexpr int kSlots = 128;
Slot g_slots[kSlots];

// Each folder level of a removal keeps its own buffer on the stack: the depth is bounded.
constexpr int kMaxDepth = 48;

struct Claimed {
  int Slot = -1;
  unsigned Generation = 0;
};

Claimed Claim(Kind kind, std::string_view path, pid_t pid) {
  if (path.size() >= PATH_MAX) return {};
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = g_slots[i];
    int expected = kFree;
    if (!slot.State.compare_exchange_strong(expected, kWriting, std::memory_order_acquire))
      continue;
    slot.What = kind;
    slot.Pid = pid;
    if (!path.empty()) std::memcpy(slot.Path, path.data(), path.size());  // a view may be null
    slot.Path[path.size()] = '\0';
    slot.HaveIdentity = !path.empty() && IdentityOf(slot.Path, slot.Id);
    const unsigned generation = slot.Generation.fetch_add(1) + 1;
    slot.State.store(kReady, std::memory_order_release);
    return {i, generation};
  }
  return {};
}

// True when `path` is still the file or folder that was registered (or nothing was known).
bool StillTheSame(const Slot& slot) {
  Identity now;
  return !slot.HaveIdentity || (IdentityOf(slot.Path, now) && now == slot.Id);
}

// The head of a record of getdents64; the entry's name follows it.
struct Dirent64 {
  ino64_t Inode;
  off64_t Offset;
  unsigned short Length;
  unsigned char Type;
};

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Removes everything inside the open folder `dir`. Only system calls: no allocation, no stdio.
void RemoveContents(int dir, int depth) {
  // Entries removed while the folder is read may make the listing skip others: list again
  // until a pass finds nothing.
  for (int pass = 0; pass < 8; ++pass) {
    if (lseek(dir, 0, SEEK_SET) < 0) return;
    bool found = false;
    alignas(8) char buffer[2048];
    for (;;) {
      const long n = syscall(SYS_getdents64, dir, buffer, sizeof buffer);
      if (n <= 0) break;
      for (long at = 0; at < n;) {
        const auto* entry = reinterpret_cast<const Dirent64*>(buffer + at);
        const char* name = buffer + at + offsetof(Dirent64, Type) + 1;
        at += entry->Length;
        if (IsDotOrDotDot(name)) continue;
        found = true;
        if (entry->Type != DT_DIR && unlinkat(dir, name, 0) == 0) continue;
        if (depth < kMaxDepth) {
          const int sub = openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
          if (sub >= 0) {
            RemoveContents(sub, depth + 1);
            close(sub);
          }
        }
        unlinkat(dir, name, AT_REMOVEDIR);
      }
    }
    if (!found) return;
  }
}

void RemoveFile(const Slot& slot) {
  if (StillTheSame(slot)) unlink(slot.Path);
}

void RemoveTree(const Slot& slot) {
  if (!StillTheSame(slot)) return;
  const int dir = open(slot.Path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dir < 0) return;
  RemoveContents(dir, 0);
  close(dir);
  rmdir(slot.Path);
}

void WaitFor(pid_t pid) {
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

// The cleanup itself, async-signal-safe. Programs go first, so that nothing writes into the
// folders while they are removed.
void CleanUp(int signal, bool acting[kSlots]) {
  for (int i = 0; i < kSlots; ++i) {
    int expected = kReady;
    acting[i] = g_slots[i].State.compare_exchange_strong(expected, kActing);
  }
  for (int i = 0; i < kSlots; ++i) {
    if (!acting[i]) continue;
    const Slot& slot = g_slots[i];
    if (slot.What == Kind::ChildProcess) kill(slot.Pid, signal);
    // A leader that has not made its group yet is killed alone.
    if (slot.What == Kind::ProcessGroup && kill(-slot.Pid, SIGKILL) != 0) kill(slot.Pid, SIGKILL);
  }
  for (int i = 0; i < kSlots; ++i) {
    if (!acting[i]) continue;
    const Slot& slot = g_slots[i];
    // A group's leader is usually our own child: once it is reaped, it writes nothing more.
    if (slot.What == Kind::ChildProcess || slot.What == Kind::ProcessGroup) WaitFor(slot.Pid);
  }
  for (int i = 0; i < kSlots; ++i) {
    if (acting[i] && g_slots[i].What == Kind::File) RemoveFile(g_slots[i]);
  }
  for (int i = 0; i < kSlots; ++i) {
    if (acting[i] && g_slots[i].What == Kind::Tree) RemoveTree(g_slots[i]);
  }
}

std::atomic_flag g_interrupted = ATOMIC_FLAG_INIT;

void OnInterrupt(int signal) {
  // A second signal, or the same one reaching another thread, waits for the first cleanup to
  // end the program.
  if (g_interrupted.test_and_set()) {
    for (;;) pause();
  }
  bool acting[kSlots] = {};
  CleanUp(signal, acting);
  _exit(128 + signal);
}

}  // namespace

void InstallInterruptHandlers() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, signal);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    sigaction(signal, nullptr, &previous);
    // A program started to ignore hang-ups or interrupts (nohup, a background job) keeps doing so.
    if (signal != SIGTERM && previous.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
  RemoveAbandonedScratchFolders();
}

InterruptCleanup& InterruptCleanup::operator=(InterruptCleanup&& other) noexcept {
  if (this != &other) {
    Release();
    slot_ = other.slot_;
    other.slot_ = -1;
  }
  return *this;
}

InterruptCleanup InterruptCleanup::File(std::string_view path) {
  const Claimed claimed = Claim(Kind::File, path, 0);
  return InterruptCleanup(claimed.Slot, claimed.Generation);
}

InterruptCleanup InterruptCleanup::Tree(std::string_view path) {
  // "/a/b/" and "/a/b" name the same folder; lstat of the first would follow a link.
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const Claimed claimed = Claim(Kind::Tree, path, 0);
  return InterruptCleanup(claimed.Slot, claimed.Generation);
}

InterruptCleanup InterruptCleanup::ProcessGroup(pid_t group) {
  const Claimed claimed = group > 0 ? Claim(Kind::ProcessGroup, {}, group) : Claimed{};
  return InterruptCleanup(claimed.Slot, claimed.Generation);
}

InterruptCleanup InterruptCleanup::ChildProcess(pid_t pid) {
  const Claimed claimed = pid > 0 ? Claim(Kind::ChildProcess, {}, pid) : Claimed{};
  return InterruptCleanup(claimed.Slot, claimed.Generation);
}

void InterruptCleanup::Release() {
  if (slot_ < 0) return;
  Slot& slot = g_slots[slot_];
  int expected = kReady;
  // A slot the handler is working on stays taken: the program is ending anyway.
  if (slot.Generation.load() == generation_)
    slot.State.compare_exchange_strong(expected, kFree, std::memory_order_release);
  slot_ = -1;
}

void ForgetInheritedCleanup() {
  for (Slot& slot : g_slots) {
    slot.Generation.fetch_add(1);
    slot.State.store(kFree);
  }
}

void RunInterruptCleanup() {
  bool acting[kSlots] = {};
  CleanUp(SIGTERM, acting);
  for (int i = 0; i < kSlots; ++i) {
    if (acting[i]) g_slots[i].State.store(kReady);
  }
}

}  // namespace platform
