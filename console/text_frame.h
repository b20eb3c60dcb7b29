// Text frames: the network-interface messages that carry console text, in
// both directions.
//
//   byte 0      0x14 outgoing / 0x18 incoming
//   byte 1      number of bytes after byte 1 (n + 15)
//   byte 2      0x40 + tag (1..14)
//   byte 3      0x08
//   byte 4      number of data bytes, code and text (n + 1)
//   byte 5      0x02, addressed by Neuron ID
//   bytes 6-9   0
//   bytes 10-15 the destination's Neuron ID, first pair of digits first
//   byte 16     0x11, the text code
//   bytes 17..  the n text bytes, no NUL
//
//   prepare_text_frame(text_frame, id);                  // once
//   size_t length = build_text_frame(text_frame, line, tag);
//   tag = send_text_frames(text_frame, line, tag, write_frame);  // a whole line
//   const char* reply = text_of_frame(receive_buffer);   // or nullptr
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

inline constexpr std::size_t frame_size = 256;
inline constexpr std::size_t frame_text_offset = 17;
inline constexpr std::size_t max_frame_text = frame_size - frame_text_offset;  // 239

inline constexpr std::uint8_t outgoing_message = 0x14;
inline constexpr std::uint8_t incoming_message = 0x18;
inline constexpr std::uint8_t text_code = 0x11;

inline constexpr std::uint8_t first_tag = 1;
inline constexpr std::uint8_t last_tag = 14;

// The six values parsed from the Neuron ID; a frame carries the low byte of each.
using neuron_id = std::array<unsigned int, 6>;

// One byte more than a message can fill, so that the text of a full
// 256-byte message still has room for its terminating NUL.
using receive_buffer = std::array<std::uint8_t, frame_size + 1>;

// Sets the fields that stay the same for every outgoing frame.
void prepare_text_frame(std::span<std::uint8_t, frame_size> frame, const neuron_id& id);

// Puts the first min(line.size(), 239) bytes of `line` into the frame, with
// `tag` (1..14) in the lower four bits of byte 2. Returns the frame's length:
// 17 bytes more than the text it took.
std::size_t build_text_frame(std::span<std::uint8_t, frame_size> frame, std::string_view line,
                             unsigned tag);

// The tag that follows `tag`: 1, 2, ..., 14, 1, ...
constexpr unsigned next_tag(unsigned tag) { return tag >= last_tag ? first_tag : tag + 1; }

// Receives each frame as soon as it is built; the span is the frame's bytes
// to send (the whole frame buffer, cut to the frame's length).
using frame_writer = void (*)(std::span<const std::uint8_t> frame);

// Sends `line` as text frames built one after another in `frame`: one frame
// when it fits, otherwise frames of 239 text bytes and a last shorter one.
// An empty line still makes one frame. Each frame gets the next tag, starting
// with `tag`. Returns the tag for the frame after the last.
unsigned send_text_frames(std::span<std::uint8_t, frame_size> frame, std::string_view line,
                          unsigned tag, frame_writer write);

// The NUL-terminated text of a received text frame, or nullptr when the
// message is not one. Writes the terminating NUL into the buffer.
const char* text_of_frame(receive_buffer& buffer);
