// A driver library that does nothing, for measuring the console's own cost:
// every port opens, every write is taken and dropped, nothing ever arrives.
//
// Environment:
//   NOOPDRV_EXIT_AFTER  N: end the process with status 0 right after the
//                       N-th ldv_write, so that a run over a known input
//                       ends at the same point in every program that uses
//                       this library (the console itself never ends).
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "../driver/ldv_driver.h"

namespace {

unsigned long writes_left = 0;  // 0: never end

}  // namespace

extern "C" {

const char* LDV_CALL ldv_get_version(void) { return "No-op driver 1.0"; }

std::int32_t LDV_CALL ldv_open(const char*) {
  if (const char* n = std::getenv("NOOPDRV_EXIT_AFTER")) writes_left = std::strtoul(n, nullptr, 10);
  return 0;
}

std::int32_t LDV_CALL ldv_close(std::int32_t) { return 0; }

std::int32_t LDV_CALL ldv_read(std::int32_t, void*, std::int32_t) { return 1; }

std::int32_t LDV_CALL ldv_write(std::int32_t, const void*, std::int32_t) {
  if (writes_left != 0 && --writes_left == 0) _exit(0);
  return 0;
}

std::int32_t LDV_CALL ldv_register(std::int32_t, ldv_receive_routine) { return 0; }

}  // extern "C"
