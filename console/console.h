// The console: start-up, the line loop and the receive routine.
//
//   int main(int argc, char** argv) { return console_main(argc, argv); }
//
// console_main() returns only when start-up fails, with the exit status:
// 1 for a missing driver library, a port name too long, a short Neuron ID or
// a failed open, 2 for a short command line. Otherwise it runs the line loop
// until the process is stopped from outside.
#pragma once

#include <cstddef>
#include <span>

#include "text_frame.h"

inline constexpr std::size_t port_name_size = 260;
inline constexpr char port_prefix[] = "LDV/\\\\.\\";  // LDV/\\.\ .

inline constexpr int exit_failure = 1;
inline constexpr int exit_usage = 2;

// The name to hand to ldv_open for the LonPort argument: the argument itself
// when it begins with "LDV/", otherwise the port prefix and the argument in
// `port_name`. nullptr when that does not fit `port_name`.
const char* choose_port_name(const char* argument, std::span<char, port_name_size> port_name);

// Parses the NeuronId argument as six hexadecimal fields of at most two
// digits each. False when fewer than six fields convert.
bool parse_neuron_id(const char* argument, neuron_id& id);

int console_main(int argc, char** argv);
