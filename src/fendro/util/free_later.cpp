#include "fendro/util/free_later.hpp"

#include "fendro/util/huge_pages.hpp"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

namespace fendro {
namespace {

// The queue, and whether a thread is freeing it. Never destroyed: a thread
// may still be on its way out when the process exits, and must not find its
// queue gone.
//
// A thread runs only while there is something to free: it ends once the
// queue is empty, and the next hand-over starts another. Whether it goes on
// or ends is decided under the lock, as a hand-over is, so an item is never
// left queued without a thread (the queue is not empty only while `running`).
// It is detached: nothing waits for its end, which is only a return.
struct Freeing {
  std::mutex lock;
  std::condition_variable done;  // an item was freed
  std::deque<std::unique_ptr<LaterFreed>> queue;
  std::uint64_t handed = 0;
  std::uint64_t freed = 0;
  // handed - freed, read without the lock: a command's wait costs one load
  // when there is nothing to wait for.
  std::atomic<std::uint64_t> unfreed{0};
  bool running = false;

  void run() {
    pthread_setname_np(pthread_self(), kFreeingThreadName);  // as tools and tests see it
    std::unique_lock<std::mutex> held(lock);
    while (!queue.empty()) {
      std::unique_ptr<LaterFreed> item = std::move(queue.front());
      queue.pop_front();
      held.unlock();
      item.reset();
      held.lock();
      ++freed;
      unfreed.fetch_sub(1, std::memory_order_release);
      done.notify_all();
    }
    running = false;
  }

  bool idle() const { return unfreed.load(std::memory_order_acquire) == 0; }
};

std::atomic<Freeing*> freeing{nullptr};

// A child of fork() has no freeing thread, and the queue's lock may have been
// held at the fork: it starts afresh (what the parent had queued is the
// parent's to free). Without this, a child forked while the queue was not
// empty would wait for ever at its first command and at its exit.
void forget_in_child() { freeing.store(nullptr, std::memory_order_relaxed); }

// What has been handed over so far, if anything was.
Freeing* existing() { return freeing.load(std::memory_order_acquire); }

Freeing& state() {
  if (Freeing* f = existing()) return *f;
  // A process that exits soon after a stop lets the thread finish first: the
  // destructors it runs may still use the library's own tables, which go
  // when the process exits.
  static const bool registered =
      pthread_atfork(nullptr, nullptr, forget_in_child) == 0 && std::atexit([] { wait_until_freed(); }) == 0;
  (void)registered;
  auto* made = new Freeing;  // never deleted, see Freeing
  Freeing* expected = nullptr;
  if (freeing.compare_exchange_strong(expected, made, std::memory_order_acq_rel)) return *made;
  delete made;  // another thread's hand-over made it first
  return *expected;
}

}  // namespace

namespace detail {

void hand_over(std::unique_ptr<LaterFreed> item) noexcept {
  try {
    Freeing& f = state();
    std::unique_lock<std::mutex> held(f.lock);
    if (!f.running) {
      std::thread([&f] { f.run(); }).detach();  // it waits for the lock, then finds the item
      f.running = true;
    }
    f.queue.push_back(std::move(item));
    ++f.handed;
    f.unfreed.fetch_add(1, std::memory_order_relaxed);
  } catch (...) {
    item.reset();  // no thread or no room to be had: freed here
  }
}

}  // namespace detail

bool wait_until_freed(const Interrupt& interrupt) {
  constexpr auto kSlice = std::chrono::milliseconds(2);
  Freeing* const f = existing();
  if (f == nullptr || f->idle()) return true;
  std::unique_lock<std::mutex> held(f->lock);
  const std::uint64_t target = f->handed;
  while (!f->done.wait_for(held, kSlice, [&] { return f->freed >= target; })) {
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
  Freeing* const f = existing();
  if (f == nullptr) return 0;
  const std::lock_guard<std::mutex> held(f->lock);
  return f->handed;
}

void wait_until_freed() {
  Freeing* const f = existing();
  if (f == nullptr || f->idle()) return;
  std::unique_lock<std::mutex> held(f->lock);
  const std::uint64_t target = f->handed;
  f->done.wait(held, [&] { return f->freed >= target; });
}

}  // namespace fendro
