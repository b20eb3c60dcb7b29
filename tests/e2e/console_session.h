// A fixture that runs the real tarvix in a folder of its own, with a chosen
// driver library beside it, and reads what the recording driver logged.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "child_process.h"

inline const std::string banner = "Tarvix - LON Console for Router\n";
inline const std::string not_found = "Wldv32.dll nicht gefunden\n";
inline const std::string usage =
    "Tarvix LonPort NeuronId [\"Cmd\"]\n  z.B. Tarvix Pma7-0Mip0 8000000180F7\n";
inline const std::string router_id = "8000000180F7";

// What a successful start prints with the recording driver on port LON1.
inline const std::string started_lines =
    banner + "ldv_open(LDV/\\\\.\\LON1)=0\nldv_get_version()=Recording driver 1.0\n";

// A start that ends with one message: the driver beside the program, its
// script and the arguments, and what the user sees and the driver logged.
struct startup_case {
  const char* name;
  const char* driver;  // nullptr: no library beside the program
  std::string script;
  std::vector<std::string> arguments;
  std::string output;  // as printed, before any text-mode translation
  int status;
  std::vector<std::string> calls;  // the whole driver log
};

// Names the case in test output rather than dumping its bytes.
inline void PrintTo(const startup_case& c, std::ostream* out) { *out << c.name; }

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Puts a copy of the library at `path` beside the program as its driver.
  void install_driver(const std::string& path);
  // The recording driver's script (see tests/drivers/recording_driver.cpp).
  void write_script(const std::string& text);

  // Starts tarvix with `arguments`; standard input stays open.
  virtual void start(const std::vector<std::string>& arguments, bool terminal_input = false);
  // Runs tarvix with `arguments` and `input` until it ends.
  void run_to_exit(const std::vector<std::string>& arguments, const std::string& input = "");

  // The recording driver's log, one entry a line.
  std::vector<std::string> log() const;
  // The frames passed to ldv_write, in order.
  std::vector<std::string> frames_written() const;
  // Waits until ldv_write was called `count` times; false on timeout.
  bool wait_for_writes(std::size_t count, std::chrono::milliseconds timeout = 10s) const;
  // Waits until the log holds `count` lines that begin with `prefix`.
  bool wait_for_log(std::string_view prefix, std::size_t count,
                    std::chrono::milliseconds timeout = 10s) const;

  std::string folder;
  child_process child;
  // How long run_to_exit waits for the program to end.
  std::chrono::milliseconds exit_timeout = 10s;
};

// The text of an outgoing frame (bytes 17 on), after checking its fixed
// fields, its lengths and that its tag is `tag`.
std::string checked_frame_text(const std::string& frame, unsigned tag);

// The frames that carry `texts` one each, with tags 1, 2, .., 14, 1, ...,
// addressed to the router.
std::vector<std::string> expected_frames(const std::vector<std::string>& texts);

// Where `actual` first differs from `expected`, for a failure message that
// does not dump a long text.
std::string first_difference(std::string_view actual, std::string_view expected);
