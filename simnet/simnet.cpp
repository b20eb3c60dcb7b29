// The simulated network interface: a driver library with the six entry
// points that runs the console without hardware. On each of the ports LON1
// to LON4 sits one router node, Neuron ID 8000000180F7, that answers text
// commands addressed to it, line by line, after a short delay and from the
// library's own thread. Now and then the node also sends a message that is
// not a text frame.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

#include "../driver/ldv_driver.h"
#include "delivery.h"
#include "network_message.h"

namespace {

constexpr std::array<std::uint8_t, 6> node_id = {0x80, 0x00, 0x00, 0x01, 0x80, 0xF7};
constexpr std::chrono::milliseconds reply_delay(20);
constexpr std::int32_t port_handle = 0;
constexpr std::int32_t no_such_port = 2;
constexpr std::int32_t port_not_open = 3;
constexpr std::int32_t no_message = 1;
constexpr std::string_view prefix = "LDV/\\\\.\\";

std::atomic<bool> port_open{false};
std::string open_port;  // written under `node_lock`

// The node's state: the text received so far of a line not yet ended, and
// how many commands it has answered.
std::mutex node_lock;
std::string pending_line;
unsigned commands_answered = 0;

const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

void reply(std::string_view line) {
  // A reply line longer than a frame goes out as several frames.
  do {
    const network_message m = incoming_text_frame(line, node_id);
    delivery_post(m, reply_delay);
    line.remove_prefix(m.length - 17);
  } while (!line.empty());
}

// A network variable update: an incoming message, but not a text frame.
void send_variable_update(unsigned value) {
  network_message m = incoming_text_frame("", node_id);
  m.bytes[16] = 0x12;
  m.bytes[17] = static_cast<std::uint8_t>(value >> 8);
  m.bytes[18] = static_cast<std::uint8_t>(value);
  m.bytes[1] = 17;
  m.length = 19;
  delivery_post(m, reply_delay);
}

std::string_view trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

void answer(std::string_view command) {
  command = trimmed(command);
  if (command.empty()) return;
  ++commands_answered;
  if (commands_answered % 3 == 0) send_variable_update(commands_answered);

  const std::string_view word = command.substr(0, command.find(' '));
  char line[128];
  if (command == "help") {
    reply("Befehle: help, status, version, echo TEXT\r\n");
  } else if (command == "status") {
    const auto uptime = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - started);
    std::snprintf(line, sizeof line, "Router 8000000180F7 an %s: bereit\r\n", open_port.c_str());
    reply(line);
    std::snprintf(line, sizeof line, "Laufzeit %lld s, %u Befehle\r\n",
                  static_cast<long long>(uptime.count()), commands_answered);
    reply(line);
  } else if (command == "version") {
    reply("Router-Firmware 1.0 (simuliert)\r\n");
  } else if (word == "echo") {
    std::string text(trimmed(command.substr(word.size())));
    text += "\r\n";
    reply(text);
  } else {
    std::string text = "Unbekannter Befehl: ";
    text += word;
    text += "\r\n";
    reply(text);
  }
}

// Takes the text of a frame addressed to the node; answers each line it completes.
void node_receive(std::string_view text) {
  std::lock_guard<std::mutex> hold(node_lock);
  for (char c : text) {
    pending_line += c;
    if (c == '\n') {
      answer(pending_line);
      pending_line.clear();
    }
  }
}

}  // namespace

extern "C" {

const char* LDV_CALL ldv_get_version(void) { return "LON-Netzwerk-Simulation 1.0"; }

std::int32_t LDV_CALL ldv_open(const char* name) {
  std::string_view port = name != nullptr ? name : "";
  if (port.substr(0, prefix.size()) == prefix) port.remove_prefix(prefix.size());
  if (port.size() != 4 || port.substr(0, 3) != "LON" || port[3] < '1' || port[3] > '4') {
    return no_such_port;
  }
  {
    std::lock_guard<std::mutex> hold(node_lock);
    open_port = port;
  }
  port_open = true;
  return port_handle;
}

std::int32_t LDV_CALL ldv_close(std::int32_t handle) {
  if (handle != port_handle || !port_open) return port_not_open;
  port_open = false;
  return 0;
}

std::int32_t LDV_CALL ldv_read(std::int32_t handle, void* buffer, std::int32_t size) {
  if (handle != port_handle || !port_open || buffer == nullptr || size <= 0) return port_not_open;
  return delivery_take(buffer, static_cast<std::size_t>(size)) ? 0 : no_message;
}

std::int32_t LDV_CALL ldv_write(std::int32_t handle, const void* frame, std::int32_t length) {
  if (handle != port_handle || !port_open) return port_not_open;
  if (frame == nullptr || length < 17 || length > 256) return no_message;
  const auto* bytes = static_cast<const std::uint8_t*>(frame);
  // Only text frames addressed to the node by its Neuron ID reach it.
  if (bytes[0] != 0x14 || bytes[5] != 0x02 || bytes[16] != 0x11) return 0;
  if (std::memcmp(bytes + 10, node_id.data(), node_id.size()) != 0) return 0;
  node_receive(std::string_view(reinterpret_cast<const char*>(bytes + 17),
                                static_cast<std::size_t>(length) - 17));
  return 0;
}

std::int32_t LDV_CALL ldv_register(std::int32_t, ldv_receive_routine routine) {
  delivery_start(routine);
  return 0;
}

}  // extern "C"
