// Runs a piece of work in a forked child whose address space may grow by
// only so much and whose CPU time is bounded, and hands back what it wrote:
// an allocation past the bound fails in the child (the registry turns it into
// a build error), and a child that runs past its CPU time is ended by the
// kernel, so neither can take the machine's memory or the caller's time.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>
#include <string>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FENDRO_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define FENDRO_UNDER_ASAN 1
#endif

namespace fendro::testing {

#ifdef FENDRO_UNDER_ASAN
// The sanitizer's shadow memory needs more address space than any bound.
inline constexpr bool kAddressSpaceCanBeBounded = false;
#else
inline constexpr bool kAddressSpaceCanBeBounded = true;
#endif

// The address space in use now, from /proc/self/statm (in pages).
inline std::size_t address_space_bytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

struct ChildOutcome {
  bool ok = false;   // the child ran the work and exited with 0
  int signal = 0;    // the signal that ended it, or 0
  int status = -1;   // its exit status when it exited
  std::string text;  // what the work returned
};

// `work` runs in the child and returns the text to hand back. The address
// space bound is set only where it can be (headroom_bytes 0: none); a CPU
// bound of 0 seconds sets none.
template <class Work>
ChildOutcome run_in_bounded_child(std::size_t headroom_bytes, unsigned cpu_seconds, Work work) {
  ChildOutcome out;
  int fds[2];
  if (pipe(fds) != 0) return out;
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return out;
  }
  if (pid == 0) {
    close(fds[0]);
    if (kAddressSpaceCanBeBounded && headroom_bytes > 0) {
      const rlim_t cap = address_space_bytes() + headroom_bytes;
      const rlimit limit{cap, cap};
      if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(2);
    }
    if (cpu_seconds > 0) {
      // The soft bound sends SIGXCPU, which ends the child; the hard one a
      // second later is the kernel's SIGKILL.
      const rlimit limit{cpu_seconds, cpu_seconds + 1};
      if (setrlimit(RLIMIT_CPU, &limit) != 0) _exit(2);
    }
    // Whatever the work throws must not unwind into the caller's own code
    // (a test framework would go on running its tests in the child).
    std::string text;
    try {
      text = work();
    } catch (...) {
      _exit(4);
    }
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = write(fds[1], text.data() + done, text.size() - done);
      if (n <= 0) _exit(3);
      done += static_cast<std::size_t>(n);
    }
    _exit(0);
  }
  close(fds[1]);
  char buf[4096];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.text.append(buf, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return out;
  if (WIFSIGNALED(status)) out.signal = WTERMSIG(status);
  if (WIFEXITED(status)) out.status = WEXITSTATUS(status);
  out.ok = out.status == 0;
  return out;
}

}  // namespace fendro::testing
