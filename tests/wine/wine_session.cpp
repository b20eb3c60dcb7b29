#include "wine_session.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string app_path_key =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WLDV32.DLL";

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// A string as a .reg file writes it: in quotes, backslashes and quotes escaped.
std::string reg_string(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

void WineConsoleTest::SetUp() {
  ConsoleTest::SetUp();
  exit_timeout = 30s;  // wine takes its time to start
  fs::remove(folder + "/tarvix");
  fs::copy_file(WINDOWS_TARVIX, folder + "/tarvix.exe");
}

std::string WineConsoleTest::windows_path(const std::string& relative) const {
  std::string path = "Z:" + folder + (relative.empty() ? "" : "/" + relative);
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string WineConsoleTest::install_driver(const std::string& path, const std::string& subfolder) {
  const std::string relative = subfolder.empty() ? "WLDV32.DLL" : subfolder + "/WLDV32.DLL";
  fs::create_directories(fs::path(folder + "/" + relative).parent_path());
  fs::copy_file(path, folder + "/" + relative, fs::copy_options::overwrite_existing);
  return windows_path(relative);
}

void WineConsoleTest::import_registry(const std::string& text) {
  std::ofstream(folder + "/app_path.reg", std::ios::binary)
      << "REGEDIT4\r\n\r\n[-" << app_path_key << "]\r\n\r\n"
      << text;
  child_process reg;
  start_process(
      reg, {WINE_SCRIPT, "--as", WINDOWS_TARVIX, "reg", "import", windows_path("app_path.reg")},
      {});
  close_input(reg);
  ASSERT_TRUE(wait_for_exit(reg, 30s));
  stop_process(reg);
  ASSERT_EQ(reg.exit_status, 0) << reg.out << reg.err;
}

void WineConsoleTest::remove_app_path() { import_registry(""); }

void WineConsoleTest::set_app_path_without_value() {
  import_registry("[" + app_path_key + "]\r\n");
}

void WineConsoleTest::set_app_path(const std::string& path) {
  import_registry("[" + app_path_key + "]\r\n@=" + reg_string(path) + "\r\n");
}

void WineConsoleTest::set_app_path_bytes(const std::string& bytes) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string value = "hex:";
  for (unsigned char b : bytes) {
    if (value.size() > 4) value += ',';
    value += digits[b >> 4];
    value += digits[b & 15];
  }
  import_registry("[" + app_path_key + "]\r\n@=" + value + "\r\n");
}

void WineConsoleTest::start(const std::vector<std::string>& arguments, bool) {
  std::vector<std::string> argv = {WINE_SCRIPT, folder + "/tarvix.exe"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  // The drivers open these files with Windows' C library.
  start_process(child, argv,
                {"RECDRV_LOG=" + windows_path("log"), "RECDRV_SCRIPT=" + windows_path("script"),
                 "RECDRV_LOADS=" + windows_path("loads")});
}

std::vector<std::string> WineConsoleTest::loads() const {
  const std::string prefix = lower(windows_path("")) + "\\";
  std::ifstream in(folder + "/loads", std::ios::binary);
  std::vector<std::string> events;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string event = line.substr(0, line.find(' '));
    std::string path = line.substr(event.size() + 1);
    if (lower(path).rfind(prefix, 0) == 0) path = path.substr(prefix.size());
    const std::size_t slash = path.rfind('\\');
    events.push_back(event + " " + (slash == std::string::npos ? "." : path.substr(0, slash)));
  }
  return events;
}
