// The floor for the console's line loop: the bare job and nothing else.
// Loads libwldv32.so the way the console does (dlopen by bare name, found
// beside this program through RUNPATH $ORIGIN, entry points by dlsym), opens
// the port, then reads each line with fgets, fills a text frame and hands it
// to ldv_write through the function pointer. No CR handling, no splitting of
// long lines (a longer line is cut at 239 bytes), no retry at end of input.
// The text is copied with the C library's memcpy (see bench/CMakeLists.txt).
//
//   reference_loop [--startup] < lines
//
// With --startup it also does the start-up's formatted input and output as
// the console does (unbuffered standard output, the banner, the Neuron ID
// read with sscanf, the open and version lines), which shows what of the
// console's memory comes from that and not from the loop.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "../driver/ldv_driver.h"

namespace {

char line[1024];
std::uint8_t frame[256];

template <typename Entry>
Entry entry(void* library, const char* name) {
  void* address = dlsym(library, name);
  Entry e;
  std::memcpy(&e, &address, sizeof e);
  return e;
}

}  // namespace

int main(int argc, char** argv) {
  const bool startup = argc > 1 && std::strcmp(argv[1], "--startup") == 0;
  unsigned id[6] = {0x80, 0x00, 0x00, 0x01, 0x80, 0xF7};
  if (startup) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::printf("Tarvix - LON Console for Router\n");
    if (std::sscanf("8000000180F7", "%02X%02X%02X%02X%02X%02X", &id[0], &id[1], &id[2], &id[3],
                    &id[4], &id[5]) != 6) {
      return 1;
    }
  }
  void* library = dlopen("libwldv32.so", RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return 1;
  const auto ldv_open = entry<ldv_open_entry>(library, "ldv_open");
  const auto ldv_write = entry<ldv_write_entry>(library, "ldv_write");
  const auto ldv_get_version = entry<ldv_get_version_entry>(library, "ldv_get_version");
  if (ldv_open == nullptr || ldv_write == nullptr || ldv_get_version == nullptr) return 1;
  const char* port = "LDV/\\\\.\\LON1";
  const std::int32_t opened = ldv_open(port);
  if (startup) std::printf("ldv_open(%s)=%d\n", port, static_cast<int>(opened));
  if (opened != 0) return 1;
  if (startup) std::printf("ldv_get_version()=%s\n", ldv_get_version());

  frame[0] = 0x14;
  frame[3] = 0x08;
  frame[5] = 0x02;
  for (int i = 0; i < 6; ++i) frame[10 + i] = static_cast<std::uint8_t>(id[i]);
  frame[16] = 0x11;

  unsigned tag = 1;
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    std::size_t n = std::strlen(line);
    if (n > 239) n = 239;
    std::memcpy(frame + 17, line, n);
    frame[1] = static_cast<std::uint8_t>(n + 15);
    frame[2] = static_cast<std::uint8_t>(0x40 + tag);
    frame[4] = static_cast<std::uint8_t>(n + 1);
    ldv_write(0, frame, static_cast<std::int32_t>(n + 17));
    tag = tag == 14 ? 1 : tag + 1;
  }
  return 0;
}
