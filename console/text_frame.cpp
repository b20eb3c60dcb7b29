#include "text_frame.h"

#include <algorithm>

namespace {

// Byte positions.
constexpr std::size_t command_byte = 0;
constexpr std::size_t count_byte = 1;
constexpr std::size_t tag_byte = 2;
constexpr std::size_t header_byte = 3;
constexpr std::size_t data_count_byte = 4;
constexpr std::size_t address_type_byte = 5;
constexpr std::size_t neuron_id_byte = 10;
constexpr std::size_t code_byte = 16;

}  // namespace

void prepare_text_frame(std::span<std::uint8_t, frame_size> frame, const neuron_id& id) {
  frame[command_byte] = outgoing_message;
  frame[tag_byte] = 0x40 | first_tag;
  frame[header_byte] = 0x08;
  frame[address_type_byte] = 0x02;
  std::fill(&frame[6], &frame[neuron_id_byte], std::uint8_t{0});
  for (std::size_t i = 0; i < id.size(); ++i) {
    frame[neuron_id_byte + i] = static_cast<std::uint8_t>(id[i] & 0xFF);
  }
  frame[code_byte] = text_code;
}

std::size_t build_text_frame(std::span<std::uint8_t, frame_size> frame, std::string_view line,
                             unsigned tag) {
  const std::size_t n = std::min(line.size(), max_frame_text);
  std::copy_n(line.begin(), n, frame.begin() + frame_text_offset);
  frame[data_count_byte] = static_cast<std::uint8_t>(n + 1);
  frame[count_byte] = static_cast<std::uint8_t>(n + 15);
  frame[tag_byte] = static_cast<std::uint8_t>((frame[tag_byte] & 0xF0) | (tag & 0x0F));
  return n + frame_text_offset;
}

unsigned send_text_frames(std::span<std::uint8_t, frame_size> frame, std::string_view line,
                          unsigned tag, frame_writer write) {
  do {
    const std::size_t length = build_text_frame(frame, line, tag);
    write(frame.first(length));
    tag = next_tag(tag);
    line.remove_prefix(length - frame_text_offset);
  } while (!line.empty());
  return tag;
}

const char* text_of_frame(receive_buffer& buffer) {
  if (buffer[command_byte] != incoming_message) return nullptr;
  const std::size_t count = buffer[count_byte];
  // A count that does not reach the code byte leaves bytes of an earlier
  // message in the buffer; such a message carries no text.
  if (count + 2 <= code_byte) return nullptr;
  buffer[std::min(count + 2, buffer.size() - 1)] = 0;
  if (buffer[code_byte] != text_code) return nullptr;
  return reinterpret_cast<const char*>(&buffer[frame_text_offset]);
}
