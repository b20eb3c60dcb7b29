// The frames the console writes for the optional command and typed lines.
#include <ostream>
#include <string>
#include <vector>

#include "console_session.h"

namespace {

struct frames_case {
  const char* name;
  std::vector<std::string> arguments;  // after LonPort and NeuronId
  std::string input;                   // standard input, then end of input
  std::vector<std::string> texts;      // the texts of the frames, in order
};

// Names the case in test output rather than dumping its bytes.
void PrintTo(const frames_case& c, std::ostream* out) { *out << c.name; }

class Frames : public ConsoleTest, public ::testing::WithParamInterface<frames_case> {};

TEST_P(Frames, CarryEachLineWithTheNextTag) {
  const frames_case& c = GetParam();
  install_driver(RECORDING_DRIVER);
  std::vector<std::string> arguments = {"LON1", router_id};
  arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
  start(arguments);
  write_input(child, c.input);
  close_input(child);

  ASSERT_TRUE(wait_for_writes(c.texts.size()));
  // Input has ended, yet the console goes on and sends nothing more.
  EXPECT_FALSE(wait_for_exit(child, 300ms));
  const std::vector<std::string> frames = frames_written();
  ASSERT_EQ(frames.size(), c.texts.size());
  unsigned tag = 1;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    SCOPED_TRACE("frame " + std::to_string(i + 1));
    EXPECT_EQ(checked_frame_text(frames[i], tag), c.texts[i]);
    tag = tag == 14 ? 1 : tag + 1;
  }
  EXPECT_EQ(child.err, "");
}

std::vector<std::string> numbered_lines(int count) {
  std::vector<std::string> lines;
  for (int i = 1; i <= count; ++i) lines.push_back("line " + std::to_string(i) + "\n");
  return lines;
}

std::string joined(const std::vector<std::string>& parts) {
  std::string all;
  for (const std::string& p : parts) all += p;
  return all;
}

const std::string a239(239, 'a');
const std::string b239(239, 'b');
const std::string c1023(1023, 'c');

INSTANTIATE_TEST_SUITE_P(
    Console, Frames,
    ::testing::Values(
        frames_case{"TypedLines", {}, "status\nhelp\n", {"status\n", "help\n"}},
        frames_case{"CommandFirst", {"status"}, "help\n", {"status\n", "help\n"}},
        frames_case{"EmptyCommand", {""}, "", {"\n"}},
        frames_case{"CrLfInput", {}, "status\r\na\rb\r\n", {"status\n", "a\rb\n"}},
        frames_case{"EmptyLine", {}, "\n\r\n", {"\n", "\n"}},
        frames_case{"LastLineWithoutLineFeed", {}, "one\ntwo", {"one\n", "two"}},
        frames_case{"BytesAbove127", {}, "\xE4\xF6\xFC \xFF\n", {"\xE4\xF6\xFC \xFF\n"}},
        frames_case{"TagCycle", {}, joined(numbered_lines(30)), numbered_lines(30)},
        frames_case{
            "LineFitsOneFrame", {}, std::string(238, 'a') + "\n", {std::string(238, 'a') + "\n"}},
        frames_case{"LineOneByteTooLong", {}, a239 + "\n", {a239, "\n"}},
        frames_case{"LineOfTwoFullFrames",
                    {},
                    a239 + std::string(238, 'b') + "\n",
                    {a239, std::string(238, 'b') + "\n"}},
        frames_case{"LongCommand", {a239 + b239 + "c"}, "next\n", {a239, b239, "c\n", "next\n"}},
        // A typed line is read in pieces of 1023 bytes, each split into frames.
        frames_case{"LineLongerThanTheBuffer",
                    {},
                    c1023 + "dd\n",
                    {std::string(239, 'c'), std::string(239, 'c'), std::string(239, 'c'),
                     std::string(239, 'c'), std::string(67, 'c'), "dd\n"}},
        frames_case{"CommandLongerThanTheBuffer",
                    {c1023},
                    "",
                    {std::string(239, 'c'), std::string(239, 'c'), std::string(239, 'c'),
                     std::string(239, 'c'), std::string(67, 'c'), "\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A terminal is read again after Ctrl-D: the end of input is not the end.
TEST_F(ConsoleTest, ReadsATerminalAgainAfterEndOfInput) {
  install_driver(RECORDING_DRIVER);
  start({"LON1", router_id}, true);
  write_input(child, "before\n\x04");
  ASSERT_TRUE(wait_for_writes(1));
  write_input(child, "after\npartial\x04\x04");
  ASSERT_TRUE(wait_for_writes(3));
  const std::vector<std::string> frames = frames_written();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(checked_frame_text(frames[0], 1), "before\n");
  EXPECT_EQ(checked_frame_text(frames[1], 2), "after\n");
  // Ctrl-D twice after some text sends that text without a line feed.
  EXPECT_EQ(checked_frame_text(frames[2], 3), "partial");
  EXPECT_FALSE(wait_for_exit(child, 300ms));
}

}  // namespace
