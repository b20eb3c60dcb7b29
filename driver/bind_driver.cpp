#include <cstring>
#include <type_traits>

#include "ldv_driver.h"
#include "loader.h"

ldv_entry_points ldv_entry_table{};

namespace {

// Turns a looked-up address into a typed entry point without a cast between
// object and function pointer types.
template <typename Entry>
Entry entry_cast(void* address) {
  static_assert(sizeof(Entry) == sizeof(void*));
  Entry entry;
  std::memcpy(&entry, &address, sizeof entry);
  return entry;
}

template <typename Entry>
bool bind_entry(driver_library library, const char* name, Entry& slot) {
  void* address = find_entry_point(library, name);
  slot = entry_cast<Entry>(address);
  return address != nullptr;
}

}  // namespace

driver_library bind_driver() {
  driver_library library = load_driver_library(driver_library_name);
  if (library == nullptr) return nullptr;

  ldv_entry_points& t = ldv_entry_table;
  const auto& n = ldv_export_names;
  // Every name is looked up, in order, even after one is missing.
  bool complete = bind_entry(library, n[0], t.ldv_get_version);
  complete = bind_entry(library, n[1], t.ldv_open) && complete;
  complete = bind_entry(library, n[2], t.ldv_close) && complete;
  complete = bind_entry(library, n[3], t.ldv_read) && complete;
  complete = bind_entry(library, n[4], t.ldv_write) && complete;
  complete = bind_entry(library, n[5], t.ldv_register) && complete;
  if (complete) return library;

  unload_driver_library(library);
  ldv_entry_table = {};
  return nullptr;
}
