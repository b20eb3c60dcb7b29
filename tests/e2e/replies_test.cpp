// Replies: printed as they arrive on a pipe, exactly as sent, and nothing for
// messages that are not text frames.
#include <string>

#include "console_session.h"

namespace {

TEST_F(ConsoleTest, PrintsEachReplyAsItArrives) {
  install_driver(RECORDING_DRIVER);
  write_script(
      "on-write 1 hex:16 0f 41 08 01 02 00 00 00 00 80 00 00 01 80 f7 11\n"        // not incoming
      "on-write 1 hex:18 11 41 08 03 02 00 00 00 00 80 00 00 01 80 f7 12 00 07\n"  // not text
      "on-write 1 text:pong\\r\\n\n"
      "on-write 2 text:no line feed\n");
  start({"LON1", router_id});
  ASSERT_TRUE(read_output_until(child, started_lines));

  // Standard input stays open: the replies cannot be waiting for the end of
  // the program or of its input.
  write_input(child, "ping\n");
  ASSERT_TRUE(read_output_until(child, "pong\r\n"));
  EXPECT_EQ(child.out, started_lines + "pong\r\n");

  write_input(child, "again\n");
  ASSERT_TRUE(read_output_until(child, "no line feed"));
  EXPECT_EQ(child.out, started_lines + "pong\r\nno line feed");
  EXPECT_EQ(child.err, "");
}

// A script message: bytes 0 and 1 as given, the router's address, byte 16
// `code` and then `text`.
std::string message(unsigned command, unsigned count, unsigned code, const std::string& text) {
  static constexpr char digits[] = "0123456789abcdef";
  // Header and address: bytes 2-15 as an incoming frame from the router has them.
  constexpr char head[] = "\x41\x08\x01\x02\0\0\0\0\x80\0\0\x01\x80\xF7";
  std::string bytes = {static_cast<char>(command), static_cast<char>(count)};
  bytes.append(head, sizeof head - 1);
  bytes += static_cast<char>(code);
  bytes += text;
  std::string hex = "hex:";
  for (unsigned char b : bytes) {
    hex += ' ';
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

TEST_F(ConsoleTest, PrintsTextFramesWholeAndNothingElse) {
  const std::string full(239, 'F');
  const std::string more(239, 'G');
  install_driver(RECORDING_DRIVER);
  const std::string messages[] = {
      "text:first\\r\\n",
      // Counts that do not reach the code byte: what the full message
      // before left in the buffer must not come out again.
      message(0x18, 254, 0x11, full),
      "hex:18 01",
      "hex:18 0e 41 08 01 02 00 00 00 00 80 00 00 01 80 f7",
      message(0x18, 0, 0x11, ""),
      // A count that claims more than the 256 bytes read.
      message(0x18, 255, 0x11, more),
      message(0x18, 17, 0x11, "OK"),
      message(0x18, 17, 0x12, "no"),
      message(0x14, 17, 0x11, "no"),
      "text:last\\r\\n",
  };
  std::string script;
  for (const std::string& m : messages) script += "on-register " + m + "\n";
  write_script(script);
  start({"LON1", router_id});
  ASSERT_TRUE(read_output_until(child, "last\r\n"));
  EXPECT_EQ(child.out, started_lines + "first\r\n" + full + more + "OK" + "last\r\n");
  EXPECT_EQ(child.err, "");
}

}  // namespace
