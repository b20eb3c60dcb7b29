// Finding, loading and binding the driver library.
//
//   if (!bind_driver()) { ... report the missing library ... }
//   ldv_entry_table.ldv_open(name);
//
// Binding is all or nothing: either all six entry points are found, stored in
// ldv_entry_table and the library stays loaded for the life of the process,
// or the library is unloaded again and bind_driver() returns none.
#pragma once

#include <array>

// A loaded library, or none (nullptr).
using driver_library = void*;

// The platform's file name of the driver library.
extern const char* const driver_library_name;

// The exported names of the six entry points, in ldv_entry_points order.
extern const std::array<const char*, 6> ldv_export_names;

// Loads the library called `name` the platform's way; none if it does not load.
driver_library load_driver_library(const char* name);

// The address of the export `name` of `library`, or nullptr.
void* find_entry_point(driver_library library, const char* name);

void unload_driver_library(driver_library library);

// Loads the driver library and fills ldv_entry_table; none on failure.
driver_library bind_driver();
