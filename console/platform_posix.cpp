#include <time.h>

#include <cstring>

#include "platform.h"

void make_output_immediate() { std::setvbuf(stdout, nullptr, _IONBF, 0); }

bool read_text_line(std::FILE* input, std::span<char, line_buffer_size> line, std::size_t& length) {
  if (std::fgets(line.data(), static_cast<int>(line.size()), input) == nullptr) return false;
  // Read as text: a carriage return directly before the line feed is dropped,
  // as Windows' text mode drops it, so both platforms send the same frames.
  const std::size_t n = std::strlen(line.data());
  length = n;
  if (n >= 2 && line[n - 2] == '\r' && line[n - 1] == '\n') {
    line[n - 2] = '\n';
    line[n - 1] = '\0';
    length = n - 1;
  } else if (n == line.size() - 1 && line[n - 1] == '\r') {
    // A full piece that ends in CR: the line feed may be the next byte.
    const int next = std::getc(input);
    if (next == '\n') {
      line[n - 1] = '\n';
    } else if (next != EOF) {
      std::ungetc(next, input);
    }
  }
  return true;
}

void wait_for_input(std::FILE* input) {
  std::clearerr(input);
  const timespec pause{0, 100'000'000};
  nanosleep(&pause, nullptr);
}
