// Frame operations per second (items_per_second): setting the fixed fields, building an
// outgoing frame from lines of several lengths, and taking the text out of
// incoming messages (a text frame, a full 256-byte one, and one that is not
// a text frame).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "../console/text_frame.h"

namespace {

void prepare(benchmark::State& state) {
  std::uint8_t frame[frame_size] = {};
  const neuron_id id = {0x80, 0x00, 0x00, 0x01, 0x80, 0xF7};
  for (auto _ : state) {
    prepare_text_frame(frame, id);
    benchmark::DoNotOptimize(frame);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(prepare);

// Argument: the line's length, line feed included. Lines above 239 bytes
// give one frame of their first 239.
void build(benchmark::State& state) {
  std::uint8_t frame[frame_size] = {};
  prepare_text_frame(frame, {0x80, 0x00, 0x00, 0x01, 0x80, 0xF7});
  std::string line(static_cast<std::size_t>(state.range(0)) - 1, 'x');
  line += '\n';
  unsigned tag = first_tag;
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::size_t length = build_text_frame(frame, line, tag);
    benchmark::DoNotOptimize(length);
    benchmark::ClobberMemory();
    tag = next_tag(tag);
    bytes += length;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(build)->Arg(8)->Arg(44)->Arg(239)->Arg(1023);

receive_buffer incoming(std::uint8_t count, std::uint8_t code) {
  receive_buffer buffer{};
  buffer[0] = incoming_message;
  buffer[1] = count;
  buffer[16] = code;
  for (std::size_t i = 17; i < buffer.size(); ++i) buffer[i] = 'a';
  return buffer;
}

void text_of(benchmark::State& state, receive_buffer buffer) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(buffer);
    const char* text = text_of_frame(buffer);
    benchmark::DoNotOptimize(text);
  }
  state.SetItemsProcessed(state.iterations());
}
// A reply of 20 characters, a full message, and a network variable update.
BENCHMARK_CAPTURE(text_of, reply_20, incoming(20 + 15, text_code));
BENCHMARK_CAPTURE(text_of, full_256, incoming(254, text_code));
BENCHMARK_CAPTURE(text_of, not_text, incoming(17, 0x12));

}  // namespace

BENCHMARK_MAIN();
