#include <dlfcn.h>

#include "loader.h"

const char* const driver_library_name = "libwldv32.so";

const std::array<const char*, 6> ldv_export_names = {
    "ldv_get_version", "ldv_open", "ldv_close", "ldv_read", "ldv_write", "ldv_register",
};

driver_library load_driver_library(const char* name) {
  // A bare name goes through the library search, which starts with the
  // program's own RUNPATH ($ORIGIN).
  return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}

void* find_entry_point(driver_library library, const char* name) {
  dlerror();
  return dlsym(library, name);
}

void unload_driver_library(driver_library library) { dlclose(library); }
