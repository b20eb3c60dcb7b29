// Load: replies from the driver's threads while lines go out. Nothing may be
// lost, doubled, reordered or torn.
#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "console_session.h"

namespace {

constexpr unsigned load = 20000;

std::vector<std::string> numbered(const std::string& word, unsigned count) {
  std::vector<std::string> texts;
  for (unsigned i = 1; i <= count; ++i) texts.push_back(word + " " + std::to_string(i) + "\n");
  return texts;
}

std::string joined(const std::vector<std::string>& parts) {
  std::string all;
  for (const std::string& p : parts) all += p;
  return all;
}

// The frames written that differ from `expected`, as a message naming the
// first; empty when all match.
std::string frame_mismatch(const std::vector<std::string>& frames,
                           const std::vector<std::string>& expected) {
  if (frames.size() != expected.size()) {
    return std::to_string(frames.size()) + " frames instead of " + std::to_string(expected.size());
  }
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (frames[i] != expected[i]) {
      return "frame " + std::to_string(i + 1) + ": " + first_difference(frames[i], expected[i]);
    }
  }
  return "";
}

TEST_F(ConsoleTest, PrintsEveryReplyOnceInOrderWhileSendingEveryLineOnce) {
  install_driver(RECORDING_DRIVER);
  write_script("flood " + std::to_string(load) + "\n");
  start({"LON1", router_id});
  ASSERT_TRUE(read_output_until(child, started_lines));

  // The replies start with the first write and come while the rest of the
  // lines are read and sent.
  const std::vector<std::string> lines = numbered("line", load);
  const std::string replies = joined(numbered("reply", load));
  std::thread typist([&] { write_input(child, joined(lines)); });
  const bool all_replies = read_output_until(child, "reply " + std::to_string(load) + "\n", 120s);
  typist.join();
  ASSERT_TRUE(all_replies) << first_difference(child.out, started_lines + replies);
  ASSERT_TRUE(wait_for_writes(load, 120s));

  stop_process(child);
  EXPECT_TRUE(child.out == started_lines + replies)
      << first_difference(child.out, started_lines + replies);
  EXPECT_EQ(frame_mismatch(frames_written(), expected_frames(lines)), "");
  // One read for each time the driver called the routine, each one a reply.
  const std::vector<std::string> calls = log();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "ldv_read 0 256 = 0"), load);
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [](const std::string& c) { return c.rfind("ldv_read", 0) == 0; }),
            load);
}

TEST_F(ConsoleTest, PrintsEachReplyOnceWhenTwoThreadsCallAtOnce) {
  constexpr unsigned pairs = 3000;
  install_driver(RECORDING_DRIVER);
  write_script("two-threads " + std::to_string(pairs) + "\n");
  start({"LON1", router_id, "go"});
  ASSERT_TRUE(wait_for_log("ldv_read 0 256 = 0", pairs, 60s));
  // A reply is logged as read before it is printed: wait for the last prints
  // too, in whatever order they come.
  const std::size_t lines_expected = 3 + pairs;
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (static_cast<std::size_t>(std::count(child.out.begin(), child.out.end(), '\n')) <
             lines_expected &&
         std::chrono::steady_clock::now() < deadline) {
    read_output_until(child, "\x01", 20ms);
  }
  stop_process(child);

  // Which thread prints which reply first is open; each reply is printed
  // whole and once.
  ASSERT_EQ(child.out.rfind(started_lines, 0), 0u);
  std::vector<std::string> printed;
  std::string_view rest = std::string_view(child.out).substr(started_lines.size());
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size() - 1);
    printed.emplace_back(rest.substr(0, end + 1));
    rest.remove_prefix(end + 1);
  }
  std::vector<std::string> expected = numbered("pair", pairs);
  std::sort(printed.begin(), printed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_TRUE(printed == expected) << printed.size() << " replies printed";
}

TEST_F(ConsoleTest, CallsWithNothingToReadPrintNothing) {
  constexpr unsigned calls = 5000;
  install_driver(RECORDING_DRIVER);
  // The calls begin at registration, while start-up still prints.
  write_script("spurious " + std::to_string(calls) + "\non-write 1 text:pong\\r\\n\n");
  start({"LON1", router_id});
  ASSERT_TRUE(wait_for_log("ldv_read 0 256 = 1", calls, 60s));
  ASSERT_TRUE(read_output_until(child, started_lines));
  EXPECT_EQ(child.out, started_lines);

  write_input(child, "ping\n");
  ASSERT_TRUE(read_output_until(child, "pong\r\n"));
  stop_process(child);
  EXPECT_EQ(child.out, started_lines + "pong\r\n");
}

}  // namespace
