// A driver library for tests: it logs every call and every frame written, and
// delivers the messages that a test script gives it from its own thread.
//
// Environment:
//   RECDRV_LOG     file that gets one line per call, flushed at once:
//                    ldv_get_version
//                    ldv_open NAME = RESULT
//                    ldv_register VALUE
//                    ldv_write HANDLE LENGTH HEX-BYTES
//                    ldv_read HANDLE SIZE = RESULT
//                    ldv_close HANDLE
//   RECDRV_SCRIPT  file of directives, one a line:
//                    open N             ldv_open returns N (default 0)
//                    version TEXT       ldv_get_version returns TEXT
//                    on-register MSG    deliver MSG once the routine is registered
//                    on-write K MSG     deliver MSG after the K-th write (from 1)
//                  MSG is text:TEXT (an incoming text frame; \r \n \t \\ \xHH
//                  escapes) or hex:HH HH ... (raw message bytes).
//   RECDRV_LOADS   file that gets a line "load PATH" whenever a copy of the
//                  library is loaded, PATH being that copy's file; on Windows
//                  also "free PATH" when FreeLibrary unloads it again.
//                  Directives for load and faults:
//                    flood N            from the first write on, a thread of the
//                                       driver posts the N text replies
//                                       "reply 1\n" .. "reply N\n", in order
//                    spurious N         once registered, a thread calls the
//                                       routine N times (nothing queued by it)
//                    two-threads N      after the first write, makes "pair 1\n"
//                                       .. "pair N\n" readable at once, and two
//                                       threads, started together, call the
//                                       routine until all have been read
//                    fail-write         every ldv_write returns -1
//                    fail-read          every ldv_read returns -1, after copying
//                                       the next message (if any) all the same
//                    version-null       ldv_get_version returns a null pointer
//                    counts             after the first write, delivers 256
//                                       incoming messages of 256 bytes each, with
//                                       byte 1 = 0, 1, .., 255, byte 16 the text
//                                       code and bytes 17..255 the letter
//                                       'a' + count % 26
//
// Built in variants: RECDRV_WITHOUT_CLOSE leaves out ldv_close,
// RECDRV_EXTRA_EXPORT adds one more export.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <latch>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "../../driver/ldv_driver.h"
#include "../../simnet/delivery.h"
#include "../../simnet/network_message.h"

namespace {

// Where every message this driver delivers comes from.
constexpr std::array<std::uint8_t, 6> router = {0x80, 0x00, 0x00, 0x01, 0x80, 0xF7};

struct write_trigger {
  unsigned write_number;
  network_message message;
};

struct script {
  std::int32_t open_result = 0;
  std::string version = "Recording driver 1.0";
  std::vector<network_message> on_register;
  std::vector<write_trigger> on_write;
  // Load and faults.
  unsigned flood = 0;
  unsigned spurious = 0;
  unsigned two_threads = 0;
  bool fail_write = false;
  bool fail_read = false;
  bool version_null = false;
};

std::mutex log_lock;
unsigned writes_seen = 0;  // under log_lock

// The messages of two-threads, readable before the delivery's.
std::mutex pairs_lock;
std::deque<network_message> pairs;  // under pairs_lock
std::atomic<bool> pairs_left{false};

bool take_pair(void* buffer, std::size_t size) {
  std::lock_guard<std::mutex> hold(pairs_lock);
  if (pairs.empty()) return false;
  std::memcpy(buffer, pairs.front().bytes.data(), std::min(pairs.front().length, size));
  pairs.pop_front();
  pairs_left = !pairs.empty();
  return true;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char e = s[++i];
    if (e == 'r') {
      out += '\r';
    } else if (e == 'n') {
      out += '\n';
    } else if (e == 't') {
      out += '\t';
    } else if (e == 'x' && i + 2 < s.size() && hex_value(s[i + 1]) >= 0 &&
               hex_value(s[i + 2]) >= 0) {
      out += static_cast<char>(hex_value(s[i + 1]) * 16 + hex_value(s[i + 2]));
      i += 2;
    } else {
      out += e;
    }
  }
  return out;
}

network_message parse_message(std::string_view written) {
  if (written.substr(0, 5) == "text:")
    return incoming_text_frame(unescape(written.substr(5)), router);
  network_message m;
  if (written.substr(0, 4) == "hex:") {
    written.remove_prefix(4);
    while (m.length < m.bytes.size()) {
      while (!written.empty() && written.front() == ' ') written.remove_prefix(1);
      if (written.size() < 2) break;
      m.bytes[m.length++] =
          static_cast<std::uint8_t>(hex_value(written[0]) * 16 + hex_value(written[1]));
      written.remove_prefix(2);
    }
  }
  return m;
}

// An incoming message of 256 bytes whose byte 1 claims `count` bytes after
// it, whatever that leaves in or out.
network_message message_with_count(unsigned count) {
  network_message m = incoming_text_frame("", router);
  m.bytes[1] = static_cast<std::uint8_t>(count);
  std::fill(m.bytes.begin() + 17, m.bytes.end(), static_cast<std::uint8_t>('a' + count % 26));
  m.length = m.bytes.size();
  return m;
}

network_message numbered_reply(const char* word, unsigned number) {
  return incoming_text_frame(std::string(word) + " " + std::to_string(number) + "\n", router);
}

unsigned number_of(std::string_view text) {
  return static_cast<unsigned>(std::strtoul(std::string(text).c_str(), nullptr, 10));
}

const script& the_script() {
  static const script* loaded = [] {
    auto* s = new script;
    const char* path = std::getenv("RECDRV_SCRIPT");
    std::FILE* f = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (f == nullptr) return s;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, f) != nullptr) {
      std::string_view line = buffer;
      while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
      const std::string_view word = line.substr(0, line.find(' '));
      const std::string_view rest =
          word.size() < line.size() ? line.substr(word.size() + 1) : std::string_view{};
      if (word == "open") {
        s->open_result = std::atoi(std::string(rest).c_str());
      } else if (word == "version") {
        s->version = std::string(rest);
      } else if (word == "on-register") {
        s->on_register.push_back(parse_message(rest));
      } else if (word == "on-write") {
        const std::string_view number = rest.substr(0, rest.find(' '));
        s->on_write.push_back({static_cast<unsigned>(std::atoi(std::string(number).c_str())),
                               parse_message(rest.substr(number.size() + 1))});
      } else if (word == "flood") {
        s->flood = number_of(rest);
      } else if (word == "spurious") {
        s->spurious = number_of(rest);
      } else if (word == "two-threads") {
        s->two_threads = number_of(rest);
      } else if (word == "fail-write") {
        s->fail_write = true;
      } else if (word == "fail-read") {
        s->fail_read = true;
      } else if (word == "version-null") {
        s->version_null = true;
      } else if (word == "counts") {
        for (unsigned count = 0; count < 256; ++count) {
          s->on_write.push_back({1, message_with_count(count)});
        }
      }
    }
    std::fclose(f);
    return s;
  }();
  return *loaded;
}

// Appends one line to the log; the caller holds log_lock.
void log_line(const std::string& line) {
  static std::FILE* log = [] {
    const char* path = std::getenv("RECDRV_LOG");
    return path != nullptr ? std::fopen(path, "ab") : nullptr;
  }();
  if (log == nullptr) return;
  std::fputs(line.c_str(), log);
  std::fputc('\n', log);
  std::fflush(log);
}

void log_load(const char* event, const char* path) {
  const char* loads = std::getenv("RECDRV_LOADS");
  std::FILE* f = loads != nullptr ? std::fopen(loads, "ab") : nullptr;
  if (f == nullptr) return;
  std::fprintf(f, "%s %s\n", event, path);
  std::fclose(f);
}

#if !defined(_WIN32)
const bool load_logged = [] {
  Dl_info self{};
  dladdr(reinterpret_cast<void*>(&log_load), &self);
  log_load("load", self.dli_fname != nullptr ? self.dli_fname : "?");
  return true;
}();
#endif

// Calls `routine` `times` times from a thread of its own.
void call_from_thread(ldv_receive_routine routine, unsigned times) {
  std::thread([=] {
    for (unsigned i = 0; i < times; ++i) routine();
  }).detach();
}

// Makes `count` numbered messages readable at once, and calls `routine` from
// two threads, started together, until all have been read.
void start_two_threads(ldv_receive_routine routine, unsigned count) {
  {
    std::lock_guard<std::mutex> hold(pairs_lock);
    for (unsigned i = 1; i <= count; ++i) pairs.push_back(numbered_reply("pair", i));
    pairs_left = true;
  }
  auto* start = new std::latch(2);  // held for the life of the process
  for (int t = 0; t < 2; ++t) {
    std::thread([=] {
      start->arrive_and_wait();
      while (pairs_left) routine();
    }).detach();
  }
}

void start_flood(unsigned replies) {
  std::thread([=] {
    for (unsigned i = 1; i <= replies; ++i) delivery_post(numbered_reply("reply", i));
  }).detach();
}

}  // namespace

#if defined(_WIN32)
// Tells a FreeLibrary (reserved is null) from the end of the process.
extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(self, path, sizeof path);
  if (reason == DLL_PROCESS_ATTACH) log_load("load", path);
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) log_load("free", path);
  return TRUE;
}
#endif

extern "C" {

const char* LDV_CALL ldv_get_version(void) {
  std::lock_guard<std::mutex> hold(log_lock);
  log_line("ldv_get_version");
  if (the_script().version_null) return nullptr;
  return the_script().version.c_str();
}

std::int32_t LDV_CALL ldv_open(const char* name) {
  const std::int32_t result = the_script().open_result;
  std::lock_guard<std::mutex> hold(log_lock);
  log_line("ldv_open " + std::string(name) + " = " + std::to_string(result));
  return result;
}

#if !defined(RECDRV_WITHOUT_CLOSE)
std::int32_t LDV_CALL ldv_close(std::int32_t handle) {
  std::lock_guard<std::mutex> hold(log_lock);
  log_line("ldv_close " + std::to_string(handle));
  return 0;
}
#endif

#if defined(RECDRV_EXTRA_EXPORT)
std::int32_t LDV_CALL ldv_reset(std::int32_t) { return 0; }
#endif

std::int32_t LDV_CALL ldv_read(std::int32_t handle, void* buffer, std::int32_t size) {
  const bool taken = take_pair(buffer, static_cast<std::size_t>(size)) ||
                     delivery_take(buffer, static_cast<std::size_t>(size));
  const std::int32_t result = the_script().fail_read ? -1 : taken ? 0 : 1;
  std::lock_guard<std::mutex> hold(log_lock);
  log_line("ldv_read " + std::to_string(handle) + " " + std::to_string(size) + " = " +
           std::to_string(result));
  return result;
}

std::int32_t LDV_CALL ldv_write(std::int32_t handle, const void* frame, std::int32_t length) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string line = "ldv_write " + std::to_string(handle) + " " + std::to_string(length) + " ";
  const auto* bytes = static_cast<const std::uint8_t*>(frame);
  for (std::int32_t i = 0; i < length; ++i) {
    line += digits[bytes[i] >> 4];
    line += digits[bytes[i] & 15];
  }
  unsigned number;
  {
    std::lock_guard<std::mutex> hold(log_lock);
    log_line(line);
    number = ++writes_seen;
  }
  for (const write_trigger& t : the_script().on_write) {
    if (t.write_number == number) delivery_post(t.message);
  }
  if (number == 1 && the_script().flood > 0) start_flood(the_script().flood);
  if (number == 1 && the_script().two_threads > 0) {
    start_two_threads(delivery_routine(), the_script().two_threads);
  }
  return the_script().fail_write ? -1 : 0;
}

std::int32_t LDV_CALL ldv_register(std::int32_t value, ldv_receive_routine routine) {
  {
    std::lock_guard<std::mutex> hold(log_lock);
    log_line("ldv_register " + std::to_string(value));
  }
  delivery_start(routine);
  for (const network_message& m : the_script().on_register) delivery_post(m);
  if (the_script().spurious > 0) call_from_thread(routine, the_script().spurious);
  return 0;
}

}  // extern "C"
