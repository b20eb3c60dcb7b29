// A driver that fails, or hands up odd messages: the console passes over the
// failures without a word and prints only what text frames carry.
#include <algorithm>
#include <string>
#include <vector>

#include "console_session.h"

namespace {

TEST_F(ConsoleTest, FailedWritesAreNeitherReportedNorRepeated) {
  install_driver(RECORDING_DRIVER);
  write_script("fail-write\non-write 3 text:still here\\n\n");
  start({"LON1", router_id, "one"});
  write_input(child, "two\nthree\n");
  ASSERT_TRUE(read_output_until(child, "still here\n"));
  ASSERT_TRUE(wait_for_writes(3));
  write_input(child, "four\n");
  ASSERT_TRUE(wait_for_writes(4));
  stop_process(child);
  EXPECT_EQ(child.out, started_lines + "still here\n");
  EXPECT_EQ(frames_written(), expected_frames({"one\n", "two\n", "three\n", "four\n"}));
}

TEST_F(ConsoleTest, FailedReadsPrintNothing) {
  install_driver(RECORDING_DRIVER);
  // The driver copies each message all the same: only the result counts.
  write_script("fail-read\non-write 1 text:hidden\\n\non-write 2 text:hidden too\\n\n");
  start({"LON1", router_id});
  write_input(child, "one\ntwo\n");
  ASSERT_TRUE(wait_for_log("ldv_read 0 256 = -1", 2));
  write_input(child, "three\n");
  ASSERT_TRUE(wait_for_writes(3));
  stop_process(child);
  EXPECT_EQ(child.out, started_lines);
  EXPECT_EQ(frames_written(), expected_frames({"one\n", "two\n", "three\n"}));
}

TEST_F(ConsoleTest, PrintsANullVersionTextAsNull) {
  install_driver(RECORDING_DRIVER);
  write_script("version-null\non-write 1 text:ok\\n\n");
  start({"LON1", router_id, "status"});
  ASSERT_TRUE(read_output_until(child, "ok\n"));
  EXPECT_EQ(child.out, banner + "ldv_open(LDV/\\\\.\\LON1)=0\nldv_get_version()=(null)\nok\n");
}

// Messages of 256 bytes, full of text, whose byte 1 takes every value: the
// text ends where byte 1 says, and never past the buffer.
TEST_F(ConsoleTest, PrintsTheTextThatEveryCountAllows) {
  install_driver(RECORDING_DRIVER);
  write_script("counts\non-write 1 text:end\\n\n");
  start({"LON1", router_id, "go"});
  ASSERT_TRUE(read_output_until(child, "end\n"));
  stop_process(child);

  std::string expected = started_lines;
  for (unsigned count = 0; count < 256; ++count) {
    // The count runs from byte 2, so the text is bytes 17 .. count + 1 of the
    // message; nothing when that does not reach the text, 239 bytes at most.
    const std::size_t text = count + 2 <= 17 ? 0 : std::min<std::size_t>(count + 2 - 17, 239);
    expected += std::string(text, static_cast<char>('a' + count % 26));
  }
  expected += "end\n";
  EXPECT_TRUE(child.out == expected) << first_difference(child.out, expected);
}

}  // namespace
