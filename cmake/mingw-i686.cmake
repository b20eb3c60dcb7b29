# The 32-bit Windows program, tarvix.exe: PE32 for Intel 80386.
set(TARVIX_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
