// The console fixture for a Windows build: runs tarvix.exe under wine
// (scripts/wine.sh) in a folder of its own, with driver libraries as
// WLDV32.DLL beside it or in subfolders, and sets the App Paths entry for
// WLDV32.DLL in the prefix's registry as each test needs it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "../e2e/console_session.h"

// What Windows' text mode makes of printed text: every line feed a CR LF.
std::string crlf(std::string_view text);

class WineConsoleTest : public ConsoleTest {
 protected:
  void SetUp() override;

  // Copies the library at `path` to `subfolder`/WLDV32.DLL ("" puts it
  // beside the program). Returns the copy's Windows path.
  std::string install_driver(const std::string& path, const std::string& subfolder = "");

  // The App Paths subkey "WLDV32.DLL", written through wine's own registry
  // import: removed, present without a default value, or with a default
  // value of text (REG_SZ) or of raw bytes (REG_BINARY, no NUL added).
  void remove_app_path();
  void set_app_path_without_value();
  void set_app_path(const std::string& path);
  void set_app_path_bytes(const std::string& bytes);

  // Standard input is always a pipe here.
  void start(const std::vector<std::string>& arguments, bool terminal_input = false) override;

  // Which copies of the recording driver were loaded and freed, in order:
  // "load DIR" / "free DIR", DIR the copy's folder relative to the program's
  // ("." beside it).
  std::vector<std::string> loads() const;

  // The Windows (Z:) path of a file in the test folder.
  std::string windows_path(const std::string& relative) const;

 private:
  void import_registry(const std::string& text);
};
