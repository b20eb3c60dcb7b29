// Standard input of every kind: each byte the console keeps is sent, in
// order, in frames that never pass 256 bytes, and nothing else is sent.
#include <ostream>
#include <string>
#include <vector>

#include "console_session.h"

namespace {

struct input_case {
  const char* name;
  std::string input;               // standard input, then end of input
  std::vector<std::string> texts;  // the texts of the frames, in order
};

// Names the case in test output rather than dumping its bytes.
void PrintTo(const input_case& c, std::ostream* out) { *out << c.name; }

class Input : public ConsoleTest, public ::testing::WithParamInterface<input_case> {};

TEST_P(Input, SendsEveryByteKeptAndNothingElse) {
  const input_case& c = GetParam();
  install_driver(RECORDING_DRIVER);
  start({"LON1", router_id});
  write_input(child, c.input);
  close_input(child);
  ASSERT_TRUE(wait_for_writes(c.texts.size(), 60s));
  // Input has ended, yet the console goes on and sends nothing more.
  EXPECT_FALSE(wait_for_exit(child, 300ms));
  stop_process(child);
  EXPECT_EQ(child.out, started_lines);
  const std::vector<std::string> frames = frames_written();
  const std::vector<std::string> expected = expected_frames(c.texts);
  ASSERT_EQ(frames.size(), expected.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_TRUE(frames[i] == expected[i])
        << "frame " << i + 1 << ": " << first_difference(frames[i], expected[i]);
  }
}

// The frames of a line read as text: pieces of at most 1023 bytes, each sent
// as frames of at most 239 text bytes.
std::vector<std::string> frames_of_line(const std::string& line) {
  std::vector<std::string> texts;
  for (std::size_t piece = 0; piece < line.size(); piece += 1023) {
    const std::string p = line.substr(piece, 1023);
    for (std::size_t i = 0; i < p.size(); i += 239) texts.push_back(p.substr(i, 239));
  }
  return texts;
}

// Every byte but NUL and the line feed, in order, then a line feed.
std::string every_byte_line() {
  std::string line;
  for (int b = 1; b < 256; ++b) {
    if (b != '\n') line += static_cast<char>(b);
  }
  return line + "\n";
}

// 100,000 bytes from 40 to 239, no line feed, carriage return or NUL.
std::string long_line() {
  std::string line;
  for (int i = 0; i < 100000; ++i) line += static_cast<char>(40 + i % 200);
  return line;
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Console, Input,
    ::testing::Values(
        input_case{"EndsAtOnce", "", {}},
        // A line is a C string: it ends at its first NUL, and what follows in
        // the same piece is not sent. A line that starts with NUL goes out as
        // a frame without text.
        input_case{"NulBytes", "ab\0cd\nef\n\0\n\0\0\0\nxy\0z"s, {"ab", "ef\n", "", "", "xy"}},
        input_case{"EveryByteButNul",
                   every_byte_line(),
                   {every_byte_line().substr(0, 239), every_byte_line().substr(239)}},
        input_case{"BytesAbove127Only",
                   "\x80\x81\xFE\xFF\n\xC3\xA4\n",
                   {"\x80\x81\xFE\xFF\n", "\xC3\xA4\n"}},
        input_case{"LineOf100000BytesWithoutLineFeed", long_line(), frames_of_line(long_line())},
        // A carriage return is dropped only directly before a line feed.
        input_case{"CrWithoutLf", "a\rb\r\rc\r", {"a\rb\r\rc\r"}},
        input_case{"CrAlone", "\r", {"\r"}},
        input_case{"CrLines", "x\r\r\n\ry\r\n", {"x\r\n", "\ry\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
