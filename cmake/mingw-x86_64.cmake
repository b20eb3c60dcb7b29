# The same sources as a 64-bit Windows program: runs the Windows tests under
# wine where 32-bit programs cannot run (a kernel without 32-bit support).
set(TARVIX_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
