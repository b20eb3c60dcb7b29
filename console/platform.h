// The little the console needs from the platform beyond the C library.
#pragma once

#include <cstddef>
#include <cstdio>
#include <span>

inline constexpr std::size_t line_buffer_size = 1024;

// Makes every print reach standard output at once, whatever it is
// connected to. Called before anything else is printed.
void make_output_immediate();

// Reads the next line of `input` as text into `line`: at most 1023 bytes,
// the line feed kept and a carriage return directly before it dropped, then
// a NUL. A longer line comes in pieces. `length` gets the number of bytes
// before the first NUL (the line's text, as a C string sees it), so that the
// caller need not count them again. Returns false at end of input or on a
// read error.
bool read_text_line(std::FILE* input, std::span<char, line_buffer_size> line, std::size_t& length);

// Called when no line could be read: clears the end-of-input state of
// `input`, so that a terminal is read again, and waits a little before the
// next attempt.
void wait_for_input(std::FILE* input);
