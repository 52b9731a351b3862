// A command and the freeing thread: a command first waits for what a
// stopped one left to be freed, asking its interrupt meanwhile; a child
// forked while the thread frees neither waits for it nor frees what the
// parent queued.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "fendro/module/command.hpp"
#include "fendro/proof/response_writer.hpp"
#include "fendro/util/free_later.hpp"
#include "module/counting_interrupt.hpp"
#include "util/free_gate.hpp"

namespace fendro {
namespace {

using fendro::testing::CountingInterrupt;
using fendro::testing::FreeGate;
using fendro::testing::LetGoWhenAsked;

constexpr std::string_view kVersion = R"({"cmd":"version"})";

TEST(FreeingThread, ACommandFirstWaitsForWhatAStopLeftAsking) {
  FreeGate gate;
  gate.hand_over();
  // Told to stop while it waits, it ends as stopped with no answer.
  for (const std::size_t stop_at : {1u, 2u}) {
    CountingInterrupt stop{.stop_at = stop_at};
    std::string answer;
    StringSink sink(answer);
    EXPECT_FALSE(apply_command(kVersion, sink, stop.interrupt()).ok()) << stop_at;
    EXPECT_EQ(stop.asked, stop_at);
    EXPECT_EQ(answer, "") << stop_at;
  }
  EXPECT_FALSE(gate.freed());
  // Not told to stop, it answers once all is freed.
  LetGoWhenAsked let_go{&gate};
  std::string answer;
  StringSink sink(answer);
  EXPECT_TRUE(apply_command(kVersion, sink, let_go.interrupt()).ok());
  EXPECT_GE(let_go.asked, 1u);
  EXPECT_TRUE(gate.freed());
  EXPECT_EQ(answer, apply_command(kVersion));
}

// Waits for `child` for at most a bound that only a child that never ends
// reaches; one that has not ended by then is killed. Its status, or -1.
int status_within_bound(pid_t child) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (;;) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) return status;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

TEST(FreeingThread, AChildForkedWhileItFreesDoesNotWaitForIt) {
  FreeGate gate;
  gate.hand_over();
  // Forked while the thread waits at the gate, not while it starts (the
  // sanitizers' own bookkeeping of a starting thread is not safe to fork).
  gate.wait_until_held();
  std::fflush(nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A command, which first waits for what this process has to free; a
    // hand-over of its own, freed by a thread of its own; and the wait an
    // exit makes. (It leaves by _exit: what the parent had queued is not
    // the child's, and a leak checker at exit would count it.)
    const bool answered = apply_command(kVersion).starts_with(R"({"engine_version":)");
    std::string held(1000, 'x');
    free_later(held);
    wait_until_freed();
    _exit(answered ? 0 : 1);
  }
  const int status = status_within_bound(child);
  EXPECT_NE(status, -1) << "the child waited for what its parent had handed over";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_FALSE(gate.freed());
}

}  // namespace
}  // namespace fendro
