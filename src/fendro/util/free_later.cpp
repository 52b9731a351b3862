#include "fendro/util/free_later.hpp"

#include "fendro/util/huge_pages.hpp"

#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

namespace fendro {
namespace {

// The queue and its thread. Never destroyed: the thread may still be freeing
// when the process exits, and must not find its queue gone.
struct Freeing {
  std::mutex lock;
  std::condition_variable more;  // something was handed over
  std::condition_variable done;  // an item was freed
  std::deque<std::unique_ptr<LaterFreed>> queue;
  std::uint64_t handed = 0;
  std::uint64_t freed = 0;
  bool started = false;

  void run() {
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
      more.wait(held, [&] { return !queue.empty(); });
      std::unique_ptr<LaterFreed> item = std::move(queue.front());
      queue.pop_front();
      held.unlock();
      item.reset();
      held.lock();
      ++freed;
      done.notify_all();
    }
  }
};

Freeing* freeing = nullptr;

// A child of fork() has no freeing thread, and the queue's lock may have been
// held at the fork: it starts afresh (what the parent had queued is the
// parent's to free).
void forget_in_child() { freeing = nullptr; }

Freeing& state() {
  // A process that exits soon after a stop lets the thread finish first: the
  // destructors it runs may still use the library's own tables, which go
  // when the process exits.
  static const bool registered =
      pthread_atfork(nullptr, nullptr, forget_in_child) == 0 && std::atexit([] { wait_until_freed(); }) == 0;
  (void)registered;
  if (freeing == nullptr) freeing = new Freeing;  // never deleted, see Freeing
  return *freeing;
}

}  // namespace

namespace detail {

void hand_over(std::unique_ptr<LaterFreed> item) noexcept {
  try {
    Freeing& f = state();
    std::unique_lock<std::mutex> held(f.lock);
    if (!f.started) {
      std::thread([&f] { f.run(); }).detach();
      f.started = true;
    }
    f.queue.push_back(std::move(item));
    ++f.handed;
    f.more.notify_one();
  } catch (...) {
    item.reset();  // no thread or no room to be had: freed here
  }
}

}  // namespace detail

bool wait_until_freed(const Interrupt& interrupt) {
  constexpr auto kSlice = std::chrono::milliseconds(2);
  Freeing& f = state();
  std::unique_lock<std::mutex> held(f.lock);
  const std::uint64_t target = f.handed;
  while (!f.done.wait_for(held, kSlice, [&] { return f.freed >= target; })) {
    held.unlock();
    if (interrupt.stop_requested()) return false;
    held.lock();
  }
  return true;
}

namespace detail {

bool give_back_asking(const void* data, std::size_t bytes) {
  RunScope* const scope = RunScope::current();
  if (bytes < kLongBufferBytes || scope == nullptr) return true;
  return !scope->stopped() && give_back_pages(data, bytes, [&] { return !scope->ask_now(); });
}

}  // namespace detail

std::uint64_t handed_over() {
  Freeing& f = state();
  const std::lock_guard<std::mutex> held(f.lock);
  return f.handed;
}

void wait_until_freed() {
  Freeing& f = state();
  std::unique_lock<std::mutex> held(f.lock);
  const std::uint64_t target = f.handed;
  f.done.wait(held, [&] { return f.freed >= target; });
}

}  // namespace fendro
