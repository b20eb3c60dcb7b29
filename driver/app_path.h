// The driver library's registered path: the default value of the library's
// subkey under HKEY_LOCAL_MACHINE "...\App Paths", read into a fixed buffer.
//
//   char value[app_path_size] = {};
//   DWORD size = sizeof value;
//   if (RegQueryValueExA(key, nullptr, nullptr, nullptr, value, &size) == 0)
//     if (const char* path = registered_path(value, size)) LoadLibraryA(path);
#pragma once

#include <cstddef>
#include <span>

inline constexpr char app_paths_key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
inline constexpr std::size_t app_path_size = 260;

// The path held by a value of `size` bytes just read into `value`, or nullptr.
// The registry does not promise a terminating NUL: only a value whose last
// byte inside the buffer is a NUL counts as a path.
const char* registered_path(std::span<const char, app_path_size> value, std::size_t size);
