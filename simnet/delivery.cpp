#include "delivery.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace {

using clock_type = std::chrono::steady_clock;

struct pending_message {
  clock_type::time_point due;
  network_message message;
};

// Held for the life of the process: the delivery thread is never joined, and
// the state must outlive it.
struct delivery_state {
  std::mutex lock;
  std::condition_variable posted;
  std::deque<pending_message> pending;
  std::deque<network_message> readable;
  std::atomic<ldv_receive_routine> routine{nullptr};
  bool started = false;
};

delivery_state& state() {
  static delivery_state* s = new delivery_state;
  return *s;
}

void deliver_forever() {
  delivery_state& s = state();
  for (;;) {
    {
      std::unique_lock<std::mutex> hold(s.lock);
      s.posted.wait(hold, [&] { return !s.pending.empty(); });
      const clock_type::time_point due = s.pending.front().due;
      if (clock_type::now() < due) {
        s.posted.wait_until(hold, due);
        continue;
      }
      s.readable.push_back(s.pending.front().message);
      s.pending.pop_front();
    }
    if (ldv_receive_routine routine = s.routine.load()) routine();
  }
}

}  // namespace

void delivery_start(ldv_receive_routine routine) {
  delivery_state& s = state();
  s.routine.store(routine);
  std::lock_guard<std::mutex> hold(s.lock);
  if (s.started) return;
  s.started = true;
  std::thread(deliver_forever).detach();
}

void delivery_post(const network_message& message, std::chrono::milliseconds delay) {
  delivery_state& s = state();
  {
    std::lock_guard<std::mutex> hold(s.lock);
    clock_type::time_point due = clock_type::now() + delay;
    // Messages keep the order in which they were posted.
    if (!s.pending.empty()) due = std::max(due, s.pending.back().due);
    s.pending.push_back({due, message});
  }
  s.posted.notify_one();
}

bool delivery_take(void* buffer, std::size_t size) {
  delivery_state& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  if (s.readable.empty()) return false;
  const network_message& m = s.readable.front();
  std::memcpy(buffer, m.bytes.data(), std::min(m.length, size));
  s.readable.pop_front();
  return true;
}

ldv_receive_routine delivery_routine() { return state().routine.load(); }
