// Recognising an incoming frame: any 256 bytes from the network, any count in
// byte 1, and whatever the buffer's last byte held before.
//
// The text must lie inside the buffer and end at or before byte count + 2
// (the buffer's last byte for the longest counts); the only byte written is
// its terminating NUL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "../console/text_frame.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A buffer of its own on the heap, so that any access past it is caught.
  auto buffer = std::make_unique<receive_buffer>();
  buffer->fill(0xA5);  // not NUL: a missing terminator would show
  std::memcpy(buffer->data(), data, std::min(size, buffer->size()));
  const receive_buffer before = *buffer;

  const char* text = text_of_frame(*buffer);

  const std::size_t count = before[1];
  const std::size_t end = std::min<std::size_t>(count + 2, frame_size);
  const bool is_text_frame = before[0] == incoming_message && end > 16 && before[16] == text_code;
  check((text != nullptr) == is_text_frame);

  // Nothing but the terminating NUL may have changed.
  for (std::size_t i = 0; i < buffer->size(); ++i) {
    if (i != end) check((*buffer)[i] == before[i]);
  }
  if (text == nullptr) return 0;

  const char* const first = reinterpret_cast<const char*>(buffer->data());
  check(text == first + frame_text_offset);
  const void* nul = std::memchr(text, 0, buffer->size() - frame_text_offset);
  check(nul != nullptr);
  check(static_cast<const char*>(nul) <= first + end);
  check(std::strlen(text) == static_cast<std::size_t>(static_cast<const char*>(nul) - text));
  return 0;
}
