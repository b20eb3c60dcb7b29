#include "app_path.h"

const char* registered_path(std::span<const char, app_path_size> value, std::size_t size) {
  if (size == 0 || size > value.size() || value[size - 1] != '\0') return nullptr;
  return value.data();
}
