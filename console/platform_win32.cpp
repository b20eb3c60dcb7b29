#include <windows.h>

#include <cstring>

#include "platform.h"

// msvcrt has no line buffering: anything but unbuffered output would hold
// replies back when standard output is a pipe or a file.
void make_output_immediate() { std::setvbuf(stdout, nullptr, _IONBF, 0); }

// Standard input is in text mode: the C library already turns CR LF into LF
// and ends input at Ctrl-Z.
bool read_text_line(std::FILE* input, std::span<char, line_buffer_size> line, std::size_t& length) {
  if (std::fgets(line.data(), static_cast<int>(line.size()), input) == nullptr) return false;
  length = std::strlen(line.data());
  return true;
}

void wait_for_input(std::FILE* input) {
  std::clearerr(input);
  Sleep(100);
}
