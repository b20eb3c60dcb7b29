#include "console_session.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

int hex_digit(char c) { return c <= '9' ? c - '0' : c - 'a' + 10; }

}  // namespace

void ConsoleTest::SetUp() {
  std::string pattern = (fs::temp_directory_path() / "tarvix-e2e-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  folder = pattern;
  fs::copy_file(TARVIX_PROGRAM, folder + "/tarvix");
}

void ConsoleTest::TearDown() {
  stop_process(child);
  // Also catches a sanitizer's report that came after the test's own checks.
  EXPECT_EQ(child.err, "") << "nothing may go to standard error";
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

void ConsoleTest::install_driver(const std::string& path) {
  fs::copy_file(path, folder + "/libwldv32.so", fs::copy_options::overwrite_existing);
}

void ConsoleTest::write_script(const std::string& text) {
  std::ofstream(folder + "/script", std::ios::binary) << text;
}

void ConsoleTest::start(const std::vector<std::string>& arguments, bool terminal_input) {
  std::vector<std::string> argv = {folder + "/tarvix"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  start_process(child, argv,
                {"RECDRV_LOG=" + folder + "/log", "RECDRV_SCRIPT=" + folder + "/script"},
                terminal_input);
}

void ConsoleTest::run_to_exit(const std::vector<std::string>& arguments, const std::string& input) {
  start(arguments);
  write_input(child, input);
  close_input(child);
  ASSERT_TRUE(wait_for_exit(child, exit_timeout)) << "still running; printed: " << child.out;
}

std::vector<std::string> ConsoleTest::log() const {
  std::ifstream in(folder + "/log", std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> ConsoleTest::frames_written() const {
  std::vector<std::string> frames;
  for (const std::string& line : log()) {
    std::istringstream fields(line);
    std::string call, handle, length, hex;
    fields >> call >> handle >> length >> hex;
    if (call != "ldv_write") continue;
    std::string frame;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
      frame += static_cast<char>(hex_digit(hex[i]) * 16 + hex_digit(hex[i + 1]));
    }
    EXPECT_EQ(handle, "0");
    EXPECT_EQ(std::stoul(length), frame.size());
    frames.push_back(frame);
  }
  return frames;
}

bool ConsoleTest::wait_for_writes(std::size_t count, std::chrono::milliseconds timeout) const {
  return wait_for_log("ldv_write ", count, timeout);
}

bool ConsoleTest::wait_for_log(std::string_view prefix, std::size_t count,
                               std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    std::size_t seen = 0;
    for (const std::string& line : log()) seen += line.rfind(prefix, 0) == 0;
    if (seen >= count) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

std::string checked_frame_text(const std::string& frame, unsigned tag) {
  EXPECT_GE(frame.size(), 17u);
  EXPECT_LE(frame.size(), 256u);
  if (frame.size() < 17) return {};
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(frame[i]); };
  const std::string head = frame.substr(0, 17);
  EXPECT_EQ(byte(0), 0x14);
  EXPECT_EQ(byte(1), frame.size() - 2);
  EXPECT_EQ(byte(2), 0x40 + tag);
  EXPECT_EQ(byte(3), 0x08);
  EXPECT_EQ(byte(4), frame.size() - 16);
  EXPECT_EQ(head.substr(5, 11), std::string("\x02\0\0\0\0\x80\0\0\x01\x80\xF7", 11));
  EXPECT_EQ(byte(16), 0x11);
  return frame.substr(17);
}

std::vector<std::string> expected_frames(const std::vector<std::string>& texts) {
  std::vector<std::string> frames;
  unsigned tag = 1;
  for (const std::string& text : texts) {
    const std::size_t n = text.size();
    std::string frame = {0x14, static_cast<char>(n + 15), static_cast<char>(0x40 + tag), 0x08,
                         static_cast<char>(n + 1)};
    frame += std::string("\x02\0\0\0\0\x80\0\0\x01\x80\xF7\x11", 12);
    frames.push_back(frame + text);
    tag = tag == 14 ? 1 : tag + 1;
  }
  return frames;
}

std::string first_difference(std::string_view actual, std::string_view expected) {
  std::size_t i = 0;
  while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) ++i;
  if (i == actual.size() && i == expected.size()) return "equal";
  const auto around = [&](std::string_view s) {
    return testing::PrintToString(std::string(s.substr(i, 40)));
  };
  return "lengths " + std::to_string(actual.size()) + " and " + std::to_string(expected.size()) +
         ", first difference at " + std::to_string(i) + ": " + around(actual) + " instead of " +
         around(expected);
}
