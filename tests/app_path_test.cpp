#include "../driver/app_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// A registry read of `size` bytes: `data` at the start of the 260-byte
// buffer, and what was there before behind it.
TEST(RegisteredPath, TakesOnlyAValueThatEndsInANulInsideTheBuffer) {
  struct Case {
    const char* name;
    std::string data;
    std::size_t size;
    bool path;
  };
  const std::string longest(259, 'p');
  const Case cases[] = {
      {"path with its NUL", std::string("C:\\x\\WLDV32.DLL", 16), 16, true},
      {"path without its NUL", "C:\\x\\WLDV32.DLL", 15, false},
      {"empty value", "", 0, false},
      {"just a NUL", std::string(1, '\0'), 1, true},
      {"259 characters and the NUL", longest + '\0', 260, true},
      {"260 characters, no room for the NUL", longest + 'p', 260, false},
      {"NUL inside, last byte not", std::string("C:\\a\0bc", 7), 7, false},
      {"size beyond the buffer", longest + '\0', 261, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    char value[app_path_size];
    std::fill(std::begin(value), std::end(value), '#');
    std::copy_n(c.data.begin(), std::min(c.data.size(), sizeof value), value);
    const char* path = registered_path(value, c.size);
    if (c.path) {
      EXPECT_EQ(path, value);
    } else {
      EXPECT_EQ(path, nullptr);
    }
  }
}

}  // namespace
