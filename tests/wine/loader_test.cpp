// Finding the driver library on Windows, under wine: the App Paths entry in
// the registry first, then the bare name through Windows' library search (the
// program's own folder first), binding all six decorated names or nothing.
#include <ostream>
#include <string>
#include <vector>

#include "wine_session.h"

namespace {

// The App Paths entry a case sets up.
enum class entry {
  none,         // no subkey
  no_value,     // subkey without a default value
  elsewhere,    // the path of elsewhere/WLDV32.DLL
  missing,      // the path of a file that does not exist
  path_259,     // a 259-character path to a library: fits with its NUL
  path_260,     // the same, one character longer: does not fit
  without_nul,  // the path of elsewhere/WLDV32.DLL as bytes without a NUL
};

struct loader_case {
  const char* name;
  entry app_path;
  const char* elsewhere;  // library at elsewhere/WLDV32.DLL, or nullptr
  const char* beside;     // library beside the program, or nullptr
  bool bound;             // started, or "Wldv32.dll nicht gefunden"
  std::vector<std::string> loads;
};

void PrintTo(const loader_case& c, std::ostream* out) { *out << c.name; }

class Loader : public WineConsoleTest, public ::testing::WithParamInterface<loader_case> {
 protected:
  // A library at a path of exactly `length` characters, in a folder whose
  // name begins with "long"; returns the path.
  std::string install_at_length(const char* library, std::size_t length) {
    const std::size_t fixed = windows_path("").size() + std::string("\\\\WLDV32.DLL").size();
    const std::string subfolder = "long" + std::string(length - fixed - 4, 'g');
    const std::string path = install_driver(library, subfolder);
    EXPECT_EQ(path.size(), length);
    return path;
  }
};

TEST_P(Loader, FindsAndBindsTheDriverLibrary) {
  const loader_case& c = GetParam();
  if (c.elsewhere != nullptr) install_driver(c.elsewhere, "elsewhere");
  if (c.beside != nullptr) install_driver(c.beside);
  switch (c.app_path) {
    case entry::none:
      remove_app_path();
      break;
    case entry::no_value:
      set_app_path_without_value();
      break;
    case entry::elsewhere:
      set_app_path(windows_path("elsewhere\\WLDV32.DLL"));
      break;
    case entry::missing:
      set_app_path(windows_path("missing\\WLDV32.DLL"));
      break;
    case entry::path_259:
      set_app_path(install_at_length(RECORDING_DRIVER, 259));
      break;
    case entry::path_260:
      set_app_path(install_at_length(RECORDING_DRIVER, 260));
      break;
    case entry::without_nul:
      set_app_path_bytes(windows_path("elsewhere\\WLDV32.DLL"));
      break;
  }

  if (c.bound) {
    start({"LON1", router_id});
    close_input(child);
    ASSERT_TRUE(read_output_until(child, crlf(started_lines), 30s)) << child.out;
    EXPECT_FALSE(wait_for_exit(child, 300ms)) << "ended with status " << child.exit_status;
    EXPECT_EQ(child.out, crlf(started_lines));
    stop_process(child);
  } else {
    run_to_exit({"LON1", router_id});
    EXPECT_EQ(child.out, crlf(banner + not_found));
    EXPECT_EQ(child.exit_status, 1);
    EXPECT_EQ(log(), std::vector<std::string>{});
  }
  EXPECT_EQ(child.err, "");
  std::vector<std::string> events = loads();
  for (std::string& e : events) {
    if (e.find(" long") != std::string::npos) e = e.substr(0, e.find(" long")) + " long";
  }
  EXPECT_EQ(events, c.loads);
}

const char* const complete = RECORDING_DRIVER;
const char* const without_close = RECORDING_DRIVER_WITHOUT_CLOSE;
const char* const extra_export = RECORDING_DRIVER_EXTRA_EXPORT;

INSTANTIATE_TEST_SUITE_P(
    Wine, Loader,
    ::testing::Values(
        // Found through App Paths: used, and the bare name never tried.
        loader_case{"AppPathsNamesACompleteLibrary",
                    entry::elsewhere,
                    complete,
                    complete,
                    true,
                    {"load elsewhere"}},
        loader_case{
            "AppPathsPathOf259Characters", entry::path_259, nullptr, complete, true, {"load long"}},
        // Found through App Paths but incomplete: released, no second chance.
        loader_case{"AppPathsLibraryWithoutClose",
                    entry::elsewhere,
                    without_close,
                    complete,
                    false,
                    {"load elsewhere", "free elsewhere"}},
        loader_case{"AppPathsLibraryWithAnExtraExport",
                    entry::elsewhere,
                    extra_export,
                    nullptr,
                    true,
                    {"load elsewhere"}},
        // No usable App Paths entry: the bare name.
        loader_case{
            "AppPathsNamesAMissingFile", entry::missing, nullptr, complete, true, {"load ."}},
        loader_case{
            "AppPathsMissingFileNothingBeside", entry::missing, nullptr, nullptr, false, {}},
        loader_case{
            "AppPathsPathOf260Characters", entry::path_260, nullptr, complete, true, {"load ."}},
        loader_case{
            "AppPathsValueWithoutNul", entry::without_nul, complete, complete, true, {"load ."}},
        loader_case{
            "AppPathsKeyWithoutValue", entry::no_value, complete, complete, true, {"load ."}},
        loader_case{"NoAppPathsKey", entry::none, complete, complete, true, {"load ."}},
        loader_case{"NoAppPathsKeyNothingBeside", entry::none, complete, nullptr, false, {}},
        loader_case{"LibraryWithoutCloseBeside",
                    entry::none,
                    nullptr,
                    without_close,
                    false,
                    {"load .", "free ."}},
        loader_case{"LibraryWithAnExtraExportBeside",
                    entry::none,
                    nullptr,
                    extra_export,
                    true,
                    {"load ."}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
