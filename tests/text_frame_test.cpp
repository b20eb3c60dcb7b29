#include "../console/text_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

using frame = std::array<std::uint8_t, frame_size>;

constexpr neuron_id router = {0x80, 0x00, 0x00, 0x01, 0x80, 0xF7};

frame prepared(const neuron_id& id = router) {
  frame f{};
  prepare_text_frame(f, id);
  return f;
}

TEST(PrepareTextFrame, SetsTheFixedFields) {
  const frame f = prepared({0x180, 0x00, 0x00, 0x01, 0x80, 0xFFFFFFF7});
  const std::vector<std::uint8_t> head(f.begin(), f.begin() + 17);
  // The frame carries the low byte of each Neuron ID value.
  // Interface and message header; address: bytes 6-9 zero, 10-15 the
  // Neuron ID; the text code.
  const std::vector<std::uint8_t> header = {0x14, 0, 0x41, 0x08, 0, 0x02};
  const std::vector<std::uint8_t> address = {0, 0, 0, 0, 0x80, 0, 0, 0x01, 0x80, 0xF7};
  std::vector<std::uint8_t> expected = header;
  expected.insert(expected.end(), address.begin(), address.end());
  expected.push_back(0x11);

  EXPECT_EQ(head, expected);
}

TEST(BuildTextFrame, FillsLengthsTagAndText) {
  struct Case {
    std::string_view line;
    unsigned tag;
    std::size_t length, text;  // frame length and text bytes taken
    std::uint8_t tag_byte;
  };
  const std::string full(239, 'x');
  const std::string over(240, 'y');
  const Case cases[] = {
      {"status\n", 1, 24, 7, 0x41},
      // An empty line is its line feed alone.
      {"\n", 2, 18, 1, 0x42},
      {"no line feed", 14, 29, 12, 0x4E},
      {"", 3, 17, 0, 0x43},
      {full, 5, 256, 239, 0x45},
      // Never past the frame's 256 bytes.
      {over, 6, 256, 239, 0x46},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.substr(0, 20));
    frame f = prepared();
    const std::size_t length = build_text_frame(f, c.line, c.tag);
    EXPECT_EQ(length, c.length);
    EXPECT_EQ(f[1], c.text + 15);
    EXPECT_EQ(f[2], c.tag_byte);
    EXPECT_EQ(f[4], c.text + 1);
    EXPECT_EQ(f[16], 0x11);
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(&f[17]), c.text),
              c.line.substr(0, c.text));
  }
}

TEST(BuildTextFrame, ChangesOnlyTheLowBitsOfTheTagByte) {
  frame f = prepared();
  build_text_frame(f, "a\n", 14);
  build_text_frame(f, "b\n", 1);
  EXPECT_EQ(f[2], 0x41);
  EXPECT_EQ(f[10], 0x80);
  EXPECT_EQ(f[15], 0xF7);
}

TEST(NextTag, RunsACycleOfFourteen) {
  unsigned tag = first_tag;
  std::vector<unsigned> tags;
  for (int i = 0; i < 16; ++i, tag = next_tag(tag)) tags.push_back(tag);
  const std::vector<unsigned> expected = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 1, 2};
  EXPECT_EQ(tags, expected);
}

// What send_text_frames handed to its writer: each frame's text and tag.
struct sent_frame {
  std::string text;
  unsigned tag;
  bool operator==(const sent_frame&) const = default;
};
std::vector<sent_frame> sent;

void record_frame(std::span<const std::uint8_t> f) {
  EXPECT_LE(f.size(), frame_size);
  EXPECT_EQ(f[1], f.size() - 2);
  EXPECT_EQ(f[4], f.size() - 16);
  sent.push_back({std::string(f.begin() + 17, f.end()), f[2] - 0x40u});
}

TEST(SendTextFrames, SplitsALineIntoFullFramesAndALastOne) {
  struct Case {
    std::string line;
    unsigned tag;
    std::vector<sent_frame> frames;
    unsigned next;
  };
  const std::string a(239, 'a'), b(239, 'b'), c(239, 'c');
  const Case cases[] = {
      {"status\n", 1, {{"status\n", 1}}, 2},
      {"", 14, {{"", 14}}, 1},  // an empty line still makes a frame
      {a, 13, {{a, 13}}, 14},
      {a + "\n", 13, {{a, 13}, {"\n", 14}}, 1},
      {a + b, 14, {{a, 14}, {b, 1}}, 2},
      {a + b + c + "tail", 12, {{a, 12}, {b, 13}, {c, 14}, {"tail", 1}}, 2},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.line.size());
    frame f = prepared();
    sent.clear();
    EXPECT_EQ(send_text_frames(f, k.line, k.tag, record_frame), k.next);
    EXPECT_TRUE(sent == k.frames) << sent.size() << " frames";
  }
}

// An incoming message: bytes 0, 1 and 16 as given, the text from byte 17, and
// the rest of the buffer filled with `fill` as an earlier read could leave it.
receive_buffer incoming(std::uint8_t command, std::uint8_t count, std::uint8_t code,
                        std::string_view text, char fill = 'Z') {
  receive_buffer b;
  b.fill(static_cast<std::uint8_t>(fill));
  b[0] = command;
  b[1] = count;
  b[16] = code;
  std::copy(text.begin(), text.end(), b.begin() + 17);
  return b;
}

TEST(TextOfFrame, RecognisesTextFramesAndCutsAtTheCount) {
  struct Case {
    const char* name;
    receive_buffer buffer;
    const char* text;  // nullptr: not a text frame
  };
  const std::string full(239, 'f');
  Case cases[] = {
      {"OK CR LF", incoming(0x18, 19, 0x11, "OK\r\n"), "OK\r\n"},
      {"count ends the text", incoming(0x18, 18, 0x11, "OK\r\n"), "OK\r"},
      {"text code wrong", incoming(0x18, 18, 0x12, "OK\r\n"), nullptr},
      {"not incoming", incoming(0x14, 18, 0x11, "OK\r\n"), nullptr},
      {"NUL inside the text", incoming(0x18, 20, 0x11, std::string_view("ab\0cd", 5)), "ab"},
      {"no text", incoming(0x18, 15, 0x11, ""), ""},
      {"count short of the code byte", incoming(0x18, 14, 0x11, "old"), nullptr},
      {"count zero", incoming(0x18, 0, 0x11, "old"), nullptr},
      {"fills all 256 bytes", incoming(0x18, 254, 0x11, full), full.c_str()},
      {"claims more than 256 bytes", incoming(0x18, 255, 0x11, full), full.c_str()},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const char* text = text_of_frame(c.buffer);
    if (c.text == nullptr) {
      EXPECT_EQ(text, nullptr);
    } else {
      ASSERT_NE(text, nullptr);
      EXPECT_STREQ(text, c.text);
    }
  }
}

TEST(TextOfFrame, EndsTheTextJustPastTheMessage) {
  receive_buffer b = incoming(0x18, 200, 0x11, "", 'Z');
  const char* text = text_of_frame(b);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string_view(text).size(), 202u - 17u);
  EXPECT_EQ(b[202], 0);
  EXPECT_EQ(b[201], 'Z');
}

}  // namespace
