// The driver library's interface: the six entry points the console binds and
// calls, with their argument types. The library is found and bound by
// bind_driver() (loader.h); every call goes through ldv_entry_table.
//
//   const char* ldv_get_version(void)         version text of the library
//   int32_t ldv_open(const char* name)        0: the port is open
//   int32_t ldv_close(int32_t handle)         bound, never called
//   int32_t ldv_read(int32_t handle, void* buffer, int32_t size)
//                                             0: one message was copied
//   int32_t ldv_write(int32_t handle, const void* frame, int32_t length)
//   int32_t ldv_register(int32_t value, void (*routine)(void))
//                                             routine is called whenever a
//                                             message may be read
//
// On Linux the library is libwldv32.so, loaded by that bare name through the
// system's library search (the program carries a RUNPATH of $ORIGIN), and the
// entry points are exported with C linkage under their undecorated names. On
// Win32 it is WLDV32.DLL, and the entry points are __stdcall, exported under
// their decorated names ("_ldv_open@4").
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define LDV_CALL __stdcall
#else
#define LDV_CALL
#endif

extern "C" {
using ldv_receive_routine = void(LDV_CALL*)(void);
using ldv_get_version_entry = const char*(LDV_CALL*)(void);
using ldv_open_entry = int32_t(LDV_CALL*)(const char* name);
using ldv_close_entry = int32_t(LDV_CALL*)(int32_t handle);
using ldv_read_entry = int32_t(LDV_CALL*)(int32_t handle, void* buffer, int32_t size);
using ldv_write_entry = int32_t(LDV_CALL*)(int32_t handle, const void* frame, int32_t length);
using ldv_register_entry = int32_t(LDV_CALL*)(int32_t value, ldv_receive_routine routine);
}

// The bound entry points, in the order in which they are looked up.
struct ldv_entry_points {
  ldv_get_version_entry ldv_get_version;
  ldv_open_entry ldv_open;
  ldv_close_entry ldv_close;
  ldv_read_entry ldv_read;
  ldv_write_entry ldv_write;
  ldv_register_entry ldv_register;
};

extern ldv_entry_points ldv_entry_table;
