// Parsing the NeuronId argument: the same fields, and the same verdict, as
// the C library's formatted input with six hexadecimal fields of width 2.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "../console/console.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An argument is a C string: the input up to its first NUL, in a heap block
  // of its own size.
  auto argument = std::make_unique<char[]>(size + 1);
  std::memcpy(argument.get(), data, size);
  argument[size] = '\0';

  neuron_id parsed{};
  const bool accepted = parse_neuron_id(argument.get(), parsed);

  std::array<unsigned int, 6> fields{};
  const int converted = std::sscanf(argument.get(), "%2X%2X%2X%2X%2X%2X", &fields[0], &fields[1],
                                    &fields[2], &fields[3], &fields[4], &fields[5]);
  check(accepted == (converted == 6));
  if (accepted) check(parsed == fields);
  return 0;
}
