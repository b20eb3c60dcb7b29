// Messages as a network interface hands them up: what our driver libraries
// (the simulated network and the test drivers) deliver through ldv_read.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

struct network_message {
  std::array<std::uint8_t, 256> bytes{};
  std::size_t length = 0;
};

// An incoming text frame from `source` (six Neuron ID bytes) carrying the
// first 239 bytes of `text`.
inline network_message incoming_text_frame(std::string_view text,
                                           const std::array<std::uint8_t, 6>& source) {
  network_message m;
  const std::size_t n = std::min<std::size_t>(text.size(), 239);
  m.bytes[0] = 0x18;
  m.bytes[1] = static_cast<std::uint8_t>(n + 15);
  m.bytes[2] = 0x41;
  m.bytes[3] = 0x08;
  m.bytes[4] = static_cast<std::uint8_t>(n + 1);
  m.bytes[5] = 0x02;
  std::copy(source.begin(), source.end(), m.bytes.begin() + 10);
  m.bytes[16] = 0x11;
  std::copy_n(text.begin(), n, m.bytes.begin() + 17);
  m.length = n + 17;
  return m;
}
