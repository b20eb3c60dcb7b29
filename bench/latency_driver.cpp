// A driver library for measuring reply latency. Once the routine is
// registered, a thread of its own delivers numbered text replies at a steady
// pace. For each it reads CLOCK_MONOTONIC, puts the reading into the reply's
// text and then calls the routine at once, so that whoever reads the
// console's standard output can tell how long the text took to get there:
//
//   "latency SEQ NANOSECONDS\n"     SEQ from 1, NANOSECONDS of CLOCK_MONOTONIC
//
// Environment:
//   LATDRV_COUNT        number of replies (default 1000)
//   LATDRV_INTERVAL_US  pause between replies in microseconds (default 2000)
//   LATDRV_START_MS     pause before the first reply (default 300), so that
//                       the console has finished its start-up output
// Writes are dropped.
#include <time.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "../driver/ldv_driver.h"
#include "../simnet/network_message.h"

namespace {

constexpr std::array<std::uint8_t, 6> node_id = {0x80, 0x00, 0x00, 0x01, 0x80, 0xF7};

network_message reply;
std::atomic<bool> reply_ready{false};
std::atomic<bool> started{false};

long environment_number(const char* name, long fallback) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::strtol(value, nullptr, 10) : fallback;
}

long long monotonic_ns() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

void deliver_replies(ldv_receive_routine routine) {
  const long count = environment_number("LATDRV_COUNT", 1000);
  const long interval_us = environment_number("LATDRV_INTERVAL_US", 2000);
  std::this_thread::sleep_for(
      std::chrono::milliseconds(environment_number("LATDRV_START_MS", 300)));

  auto next = std::chrono::steady_clock::now();
  for (long seq = 1; seq <= count; ++seq) {
    next += std::chrono::microseconds(interval_us);
    std::this_thread::sleep_until(next);
    // The reading is taken before the text is formatted, so the figure
    // includes formatting (well under a microsecond).
    const long long stamp = monotonic_ns();
    char text[64];
    std::snprintf(text, sizeof text, "latency %ld %lld\n", seq, stamp);
    reply = incoming_text_frame(text, node_id);
    reply_ready.store(true, std::memory_order_release);
    routine();
  }
}

}  // namespace

extern "C" {

const char* LDV_CALL ldv_get_version(void) { return "Latency driver 1.0"; }

std::int32_t LDV_CALL ldv_open(const char*) { return 0; }

std::int32_t LDV_CALL ldv_close(std::int32_t) { return 0; }

std::int32_t LDV_CALL ldv_read(std::int32_t, void* buffer, std::int32_t size) {
  if (!reply_ready.exchange(false, std::memory_order_acquire)) return 1;
  std::memcpy(buffer, reply.bytes.data(), std::min<std::size_t>(reply.length, size));
  return 0;
}

std::int32_t LDV_CALL ldv_write(std::int32_t, const void*, std::int32_t) { return 0; }

std::int32_t LDV_CALL ldv_register(std::int32_t, ldv_receive_routine routine) {
  if (routine != nullptr && !started.exchange(true)) {
    std::thread(deliver_replies, routine).detach();
  }
  return 0;
}

}  // extern "C"
