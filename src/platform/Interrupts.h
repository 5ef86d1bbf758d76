#pragma once
// Cleaning up when the program is interrupted. InstallInterruptHandlers makes SIGINT, SIGTERM and
// SIGHUP end the program after undoing what is registered here: outside programs killed, files
// and folders that exist only while a job runs (scratch folders, an export beside the user's
// document, the hidden file of a save in progress) removed. The program then exits with 128 plus
// the signal's number (130 for SIGINT, 143 for SIGTERM).
//
// The handler does only async-signal-safe work: it walks a fixed table that registrations fill
// and empty with atomic operations, so registering costs no lock and is safe from any thread.
// A registration lives as long as its InterruptCleanup object; letting it go only forgets the
// entry and removes nothing.

#include <sys/types.h>

#include <string_view>

namespace platform {

// Installs the handlers and removes the scratch folders of earlier runs whose process is gone.
// Called once at the start of main, before other threads exist.
void InstallInterruptHandlers();

class InterruptCleanup {
 public:
  InterruptCleanup() = default;
  ~InterruptCleanup() { Release(); }
  InterruptCleanup(InterruptCleanup&& other) noexcept
      : slot_(other.slot_), generation_(other.generation_) {
    other.slot_ = -1;
  }
  InterruptCleanup& operator=(InterruptCleanup&& other) noexcept;
  InterruptCleanup(const InterruptCleanup&) = delete;
  InterruptCleanup& operator=(const InterruptCleanup&) = delete;

  // A file unlinked on interrupt. When it exists now, it is removed only while it is still the
  // same file (device and inode), so a file made later under the name is never touched.
  static InterruptCleanup File(std::string_view path);
  // A folder removed with everything in it on interrupt; the same identity rule applies.
  static InterruptCleanup Tree(std::string_view path);
  // A process group (a program started in a session of its own) killed with SIGKILL.
  static InterruptCleanup ProcessGroup(pid_t group);
  // A child process (a worker) sent the same signal and waited for, so that it finishes its own
  // cleanup before this process ends.
  static InterruptCleanup ChildProcess(pid_t pid);

  // True while the entry is registered (false when the table was full or after Release).
  bool Registered() const { return slot_ >= 0; }
  // Forgets the entry now.
  void Release();

 private:
  InterruptCleanup(int slot, unsigned generation) : slot_(slot), generation_(generation) {}
  int slot_ = -1;
  unsigned generation_ = 0;  // the slot's use this object registered
};

// Forgets every entry. A forked worker calls it first: what its parent registered is the
// parent's to clean up.
void ForgetInheritedCleanup();

// Does what an interrupt would do, without ending the program; the entries stay registered
// (tests).
void RunInterruptCleanup();

}  // namespace platform
