#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../console/platform.h"

namespace {

// The lines read_text_line() yields for `input` until end of input.
std::vector<std::string> lines_of(const std::string& input) {
  std::FILE* f = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
  std::vector<std::string> lines;
  char line[line_buffer_size];
  std::size_t length = 0;
  while (read_text_line(f, line, length)) {
    EXPECT_EQ(length, std::strlen(line));
    lines.emplace_back(line, length);
  }
  std::fclose(f);
  return lines;
}

TEST(ReadTextLine, ReadsAsText) {
  struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> lines;
  };
  const std::string piece(1023, 'a');
  const std::string cr_piece = std::string(1022, 'b') + "\r";
  const Case cases[] = {
      {"line feeds kept", "status\nhelp\n", {"status\n", "help\n"}},
      {"CR before LF dropped", "status\r\n\r\n", {"status\n", "\n"}},
      {"other CRs kept", "a\rb\r\r\nc\r", {"a\rb\r\n", "c\r"}},
      {"last line without LF", "x\ny", {"x\n", "y"}},
      {"long line in pieces", piece + "tail\n", {piece, "tail\n"}},
      {"CR LF across a piece's end",
       cr_piece + "\nnext\n",
       {std::string(1022, 'b') + "\n", "next\n"}},
      {"CR at a piece's end kept", cr_piece + "x\n", {cr_piece, "x\n"}},
      {"CR at a piece's end, then input ends", cr_piece, {cr_piece}},
      {"text ends at a NUL", std::string("a\0b\nc\n", 6), {"a", "c\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(lines_of(c.input), c.lines);
  }
}

}  // namespace
