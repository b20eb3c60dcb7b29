// Runs a program as a user would: arguments, environment, and pipes on its
// standard input, output and error.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

struct child_process {
  pid_t pid = -1;
  int input = -1;   // write end of its standard input
  int output = -1;  // read end of its standard output
  int error = -1;   // read end of its standard error
  std::string out;  // everything read from standard output so far
  std::string err;  // everything read from standard error so far
  int exit_status = -1;
  bool ended = false;
};

using namespace std::chrono_literals;

// Starts `argv` with `environment` ("NAME=value") added to ours. With
// `terminal_input` its standard input is a terminal (without echo) rather
// than a pipe, and writing "\x04" at the start of a line ends input there
// once, as Ctrl-D does.
void start_process(child_process& child, const std::vector<std::string>& argv,
                   const std::vector<std::string>& environment, bool terminal_input = false);

void write_input(child_process& child, std::string_view text);
void close_input(child_process& child);

// Reads what the child prints until standard output holds `text`, or the
// timeout passes. True when it was seen.
bool read_output_until(child_process& child, std::string_view text,
                       std::chrono::milliseconds timeout = 10s);

// Reads everything the child prints until it ends, or the timeout passes.
// True when it ended; exit_status is then set (128 + signal if killed).
bool wait_for_exit(child_process& child, std::chrono::milliseconds timeout = 10s);

// Ends the child if it still runs, reads what is left in its output pipes,
// and closes them.
void stop_process(child_process& child);
