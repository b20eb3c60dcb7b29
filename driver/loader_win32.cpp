#include <windows.h>

#include <cstring>

#include "app_path.h"
#include "loader.h"

const char* const driver_library_name = "WLDV32.DLL";

// The entry points are __stdcall; the number after "@" is the size of their
// arguments in bytes.
const std::array<const char*, 6> ldv_export_names = {
    "_ldv_get_version@0", "_ldv_open@4",   "_ldv_close@4",
    "_ldv_read@12",       "_ldv_write@12", "_ldv_register@8",
};

namespace {

// Full access is asked for although the keys are only read: where that is
// not granted, the lookup fails and the bare name is used.
constexpr REGSAM key_access = KEY_ALL_ACCESS;

// Loads the library from the path registered for `name` under App Paths;
// none when there is no usable path or the file does not load.
HMODULE load_registered_library(const char* name) {
  HKEY app_paths = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, app_paths_key, 0, key_access, &app_paths) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  HMODULE library = nullptr;
  HKEY subkey = nullptr;
  if (RegOpenKeyExA(app_paths, name, 0, key_access, &subkey) == ERROR_SUCCESS) {
    char value[app_path_size] = {};
    DWORD size = sizeof value;
    if (RegQueryValueExA(subkey, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                         &size) == ERROR_SUCCESS) {
      if (const char* path = registered_path(value, size)) library = LoadLibraryA(path);
    }
    RegCloseKey(subkey);
  }
  RegCloseKey(app_paths);
  return library;
}

}  // namespace

driver_library load_driver_library(const char* name) {
  if (HMODULE library = load_registered_library(name)) return library;
  return LoadLibraryA(name);
}

void* find_entry_point(driver_library library, const char* name) {
  // Handed on as a plain address; bind_driver gives it its type.
  const FARPROC address = GetProcAddress(static_cast<HMODULE>(library), name);
  void* entry;
  static_assert(sizeof entry == sizeof address);
  std::memcpy(&entry, &address, sizeof entry);
  return entry;
}

void unload_driver_library(driver_library library) { FreeLibrary(static_cast<HMODULE>(library)); }
