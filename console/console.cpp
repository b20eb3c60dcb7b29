#include "console.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "../driver/ldv_driver.h"
#include "../driver/loader.h"
#include "platform.h"

namespace {

std::int32_t ldv_handle;
char line_buffer[line_buffer_size];
std::uint8_t text_frame[frame_size];
unsigned frame_tag = first_tag;

int print_usage() {
  std::printf("Tarvix LonPort NeuronId [\"Cmd\"]\n");
  std::printf("  z.B. Tarvix Pma7-0Mip0 8000000180F7\n");
  return exit_usage;
}

// Called by the driver library, possibly on a thread of its own, whenever a
// message may be read. Touches nothing but its own buffer and stdout.
void LDV_CALL on_receive() {
  receive_buffer buffer;
  if (ldv_entry_table.ldv_read(ldv_handle, buffer.data(), frame_size) != 0) return;
  const char* text = text_of_frame(buffer);
  if (text == nullptr) return;
  std::printf("%s", text);
}

void write_frame(std::span<const std::uint8_t> frame) {
  ldv_entry_table.ldv_write(ldv_handle, frame.data(), static_cast<std::int32_t>(frame.size()));
}

void send_line(std::string_view line) {
  frame_tag = send_text_frames(text_frame, line, frame_tag, write_frame);
}

// The optional command goes out as a typed line would: with a line feed,
// taken in pieces of at most 1023 bytes.
void send_command(const char* command) {
  std::string_view rest = command;
  bool line_feed_sent = false;
  while (!line_feed_sent) {
    const std::size_t n = std::min(rest.size(), sizeof line_buffer - 1);
    std::memcpy(line_buffer, rest.data(), n);
    rest.remove_prefix(n);
    std::size_t length = n;
    if (length < sizeof line_buffer - 1) {
      line_buffer[length++] = '\n';
      line_feed_sent = true;
    }
    line_buffer[length] = '\0';
    send_line(std::string_view(line_buffer, length));
  }
}

[[noreturn]] void run_line_loop(const char* command) {
  if (command != nullptr) send_command(command);
  for (;;) {
    std::size_t length = 0;
    if (read_text_line(stdin, line_buffer, length)) {
      // The line ends at its first NUL, as a C string does.
      send_line(std::string_view(line_buffer, length));
    } else {
      wait_for_input(stdin);
    }
  }
}

}  // namespace

const char* choose_port_name(const char* argument, std::span<char, port_name_size> port_name) {
  if (std::strncmp(argument, "LDV/", 4) == 0) return argument;
  const std::size_t prefix_length = sizeof port_prefix - 1;
  const std::size_t length = std::strlen(argument);
  if (prefix_length + length + 1 > port_name.size()) return nullptr;
  std::memcpy(port_name.data(), port_prefix, prefix_length);
  std::memcpy(port_name.data() + prefix_length, argument, length + 1);
  return port_name.data();
}

bool parse_neuron_id(const char* argument, neuron_id& id) {
  const int fields = std::sscanf(argument, "%02X%02X%02X%02X%02X%02X", &id[0], &id[1], &id[2],
                                 &id[3], &id[4], &id[5]);
  return fields == static_cast<int>(id.size());
}

int console_main(int argc, char** argv) {
  make_output_immediate();
  std::printf("Tarvix - LON Console for Router\n");

  if (bind_driver() == nullptr) {
    std::printf("Wldv32.dll nicht gefunden\n");
    return exit_failure;
  }
  if (argc < 3) return print_usage();

  char port_name[port_name_size] = {};
  const char* port = choose_port_name(argv[1], port_name);
  if (port == nullptr) {
    std::printf("LonPort zu lang\n");
    return exit_failure;
  }

  neuron_id id{};
  if (!parse_neuron_id(argv[2], id)) {
    std::printf("NeuronId zu kurz\n");
    return exit_failure;
  }
  const char* command = argc >= 4 ? argv[3] : nullptr;

  ldv_handle = ldv_entry_table.ldv_open(port);
  std::printf("ldv_open(%s)=%d\n", port, static_cast<int>(ldv_handle));
  if (ldv_handle != 0) return exit_failure;

  ldv_entry_table.ldv_register(0, on_receive);
  const char* version = ldv_entry_table.ldv_get_version();
  std::printf("ldv_get_version()=%s\n", version != nullptr ? version : "(null)");

  prepare_text_frame(text_frame, id);
  frame_tag = first_tag;
  run_line_loop(command);
}
