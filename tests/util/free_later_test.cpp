// What a stopped command holds is freed on the freeing thread, in the order
// it was handed over, and only when the command was told to stop; a long
// text is let go of in stretches that ask, or handed over once stopped.
#include "fendro/util/free_later.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "fendro/util/paced_copy.hpp"
#include "module/counting_interrupt.hpp"
#include "util/free_gate.hpp"

namespace fendro {
namespace {

using fendro::testing::CountingInterrupt;
using fendro::testing::FreeGate;
using fendro::testing::LetGoWhenAsked;

// Notes the thread it is destroyed on, and in which order.
struct Noted {
  static inline std::atomic<int> destroyed{0};
  static inline std::atomic<bool> off_thread{true};
  std::thread::id made_on = std::this_thread::get_id();
  int order = -1;
  bool moved_from = false;

  Noted() = default;
  explicit Noted(int k) : order(k) {}
  Noted(Noted&& o) noexcept : made_on(o.made_on), order(o.order) { o.moved_from = true; }
  ~Noted() {
    if (moved_from || order < 0) return;
    if (std::this_thread::get_id() == made_on || destroyed.load() != order) off_thread = false;
    ++destroyed;
  }
};

TEST(FreeLater, FreesOnAnotherThreadInTheOrderGiven) {
  Noted::destroyed = 0;
  Noted::off_thread = true;
  for (int k = 0; k < 50; ++k) {
    Noted n(k);
    free_later(n);
    EXPECT_TRUE(n.moved_from);
  }
  wait_until_freed();
  EXPECT_EQ(Noted::destroyed.load(), 50);
  EXPECT_TRUE(Noted::off_thread.load());
}

TEST(FreeLater, OnlyWhatAStoppedScopeHeld) {
  for (const bool stop : {false, true}) {
    CountingInterrupt check{.stop_at = stop ? 1u : 0u};
    RunScope scope(check.interrupt());
    std::vector<int> held(1000, 7);
    {
      FreeIfStopped guard(scope, held);
      (void)scope.interrupt().stop_requested();
    }
    EXPECT_EQ(held.empty(), stop) << stop;
  }
  wait_until_freed();
}

// A wait for a free that takes long asks every few milliseconds, and ends
// at once when told to stop, the free still under way.
TEST(FreeLater, WaitingAsksAndEndsAtAStop) {
  CountingInterrupt never;
  EXPECT_TRUE(wait_until_freed(never.interrupt()));  // nothing to wait for: nothing asked
  EXPECT_EQ(never.asked, 0u);
  FreeGate gate;
  gate.hand_over();
  for (const std::size_t stop_at : {1u, 3u}) {
    CountingInterrupt stop{.stop_at = stop_at};
    EXPECT_FALSE(wait_until_freed(stop.interrupt())) << stop_at;
    EXPECT_EQ(stop.asked, stop_at);
  }
  EXPECT_FALSE(gate.freed());
  // Not told to stop, it waits until the free is done.
  LetGoWhenAsked let_go{&gate};
  EXPECT_TRUE(wait_until_freed(let_go.interrupt()));
  EXPECT_GE(let_go.asked, 1u);
  EXPECT_TRUE(gate.freed());
}

// The freeing threads of this process, by their name.
std::size_t freeing_threads() {
  std::size_t n = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name == kFreeingThreadName) ++n;
  }
  return n;
}

// Whether the freeing thread has ended within a bound that only a thread
// that never ends can reach.
bool freeing_thread_ends() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (freeing_threads() > 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Once all it was given is freed the freeing thread ends (a process that
// forks is single-threaded again), and the next hand-over starts another.
TEST(FreeLater, TheThreadEndsOnceItsQueueIsEmpty) {
  ASSERT_TRUE(freeing_thread_ends());
  for (int round = 0; round < 3; ++round) {
    {
      FreeGate gate;
      gate.hand_over();
      gate.wait_until_held();
      EXPECT_EQ(freeing_threads(), 1u) << round;
    }
    ASSERT_TRUE(freeing_thread_ends()) << round;
  }
}

// Says stop once a bound has passed, from when it is made, that only a wait
// that never ends reaches. One bounds one wait: a loop of thousands of waits
// on a busy machine takes far longer than any one of them.
struct Deadline {
  std::chrono::steady_clock::time_point at = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  Interrupt interrupt() {
    return Interrupt([](void* self) { return std::chrono::steady_clock::now() > static_cast<Deadline*>(self)->at; },
                     this);
  }
};

// A wait ends just as the thread has freed the last item, when it is about
// to end: a hand-over then races its end, and must never be left without a
// thread to free it.
TEST(FreeLater, AHandOverRacingTheThreadsEndIsFreed) {
  for (int k = 0; k < 20'000; ++k) {
    std::vector<int> held(8, k);
    free_later(held);
    Deadline deadline;  // this wait's own
    if (!wait_until_freed(deadline.interrupt())) {
      std::vector<int> more;
      free_later(more);  // starts a thread for what was left: the exit waits for it
      FAIL() << k << ": a hand-over was left without a thread";
    }
  }
}

TEST(ReleaseLongText, GivesBackInStretchesThatAskOrHandsOverOnceStopped) {
  const std::size_t size = std::size_t{64} << 20;
  for (const std::size_t stop_at : {0u, 1u, 2u}) {
    CountingInterrupt check{.stop_at = stop_at};
    RunScope scope(check.interrupt());
    std::string text(size, 'x');
    release_long_text(text);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(text.capacity(), std::string().capacity());
    // A stretch is 16 MiB: three asks between four of them, fewer once stopped.
    EXPECT_EQ(check.asked, stop_at == 0 ? 3u : stop_at) << stop_at;
  }
  wait_until_freed();
}

TEST(AppendPaced, ALongTextAsksEveryStretchAndEndsAtAStop) {
  const std::string text(std::size_t{8} << 20, 'y');
  CountingInterrupt never;
  {
    RunScope scope(never.interrupt());
    std::string out = "head ";
    ASSERT_TRUE(append_paced(out, text));
    EXPECT_EQ(out, "head " + text);
    // Room for a short ending after it, without moving it.
    const char* const at = out.data();
    out += ", expected f64";
    EXPECT_EQ(out.data(), at);
  }
  EXPECT_GE(never.asked, text.size() / kCopyStretchBytes);
  for (std::size_t k = 1; k <= never.asked; ++k) {
    CountingInterrupt stop{.stop_at = k};
    RunScope scope(stop.interrupt());
    std::string out;
    EXPECT_FALSE(append_paced(out, text)) << k;
    EXPECT_EQ(stop.asked, k);
  }
}

}  // namespace
}  // namespace fendro
