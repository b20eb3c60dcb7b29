// Building the frames of a line, as the console's line loop does: a line of
// up to 1023 bytes (a read piece), any bytes, starting with any tag.
//
// Every frame fits 256 bytes, bytes 1 and 4 agree with its length, its tag
// byte carries the next tag of the cycle 1..14, the fixed fields stay as
// prepared, every frame but the last is full, and the texts put together give
// back the line.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>

#include "../console/platform.h"
#include "../console/text_frame.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// The longest line the console hands over: one read piece.
constexpr std::size_t longest_line = line_buffer_size - 1;

constexpr neuron_id router = {0x80, 0x00, 0x00, 0x01, 0x80, 0xF7};

// What the frames written so far add up to.
struct written {
  std::array<std::uint8_t, frame_size> prepared;
  std::array<char, longest_line> text;
  std::size_t text_length;
  std::size_t frames;
  std::size_t last_length;
  unsigned tag;
} seen;

void record(std::span<const std::uint8_t> frame) {
  check(frame.size() >= frame_text_offset && frame.size() <= frame_size);
  // A frame before this one was short: the line should have ended there.
  check(seen.frames == 0 || seen.last_length == frame_size);
  check(frame[1] == frame.size() - 2);
  check(frame[4] == frame.size() - 16);
  check(frame[2] == 0x40 + seen.tag);
  check(frame[0] == seen.prepared[0] && frame[3] == seen.prepared[3]);
  check(std::equal(&frame[5], &frame[17], &seen.prepared[5]));
  const std::size_t n = frame.size() - frame_text_offset;
  check(seen.text_length + n <= seen.text.size());
  std::memcpy(seen.text.data() + seen.text_length, &frame[frame_text_offset], n);
  seen.text_length += n;
  seen.last_length = frame.size();
  ++seen.frames;
  seen.tag = next_tag(seen.tag);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned tag = first_tag + data[0] % last_tag;
  // The line in a heap block of its own size, so that reading past it is caught.
  const std::size_t length = std::min(size - 1, longest_line);
  auto line = std::make_unique<char[]>(length);
  std::memcpy(line.get(), data + 1, length);

  auto frame = std::make_unique<std::array<std::uint8_t, frame_size>>();
  prepare_text_frame(*frame, router);
  seen = {};
  seen.prepared = *frame;
  seen.tag = tag;

  const unsigned after =
      send_text_frames(*frame, std::string_view(line.get(), length), tag, record);

  check(seen.frames == std::max<std::size_t>(1, (length + max_frame_text - 1) / max_frame_text));
  check(after == seen.tag);
  check(seen.text_length == length);
  check(std::memcmp(seen.text.data(), line.get(), length) == 0);
  return 0;
}
