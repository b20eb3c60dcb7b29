# End-to-end tests of a Windows build's tarvix.exe under wine, driven from a
# native build: the POSIX harness of tests/e2e starts each Windows program
# through scripts/wine.sh. TARVIX_WINDOWS_BUILD_DIR names the Windows build.
set(win ${TARVIX_WINDOWS_BUILD_DIR})
add_executable(wine_e2e_tests
  e2e/child_process.cpp
  e2e/console_session.cpp
  wine/wine_session.cpp
  wine/loader_test.cpp
  wine/console_test.cpp)
target_link_libraries(wine_e2e_tests PRIVATE GTest::gtest_main)
target_compile_definitions(wine_e2e_tests PRIVATE
  TARVIX_PROGRAM="${win}/tarvix.exe"
  WINDOWS_TARVIX="${win}/tarvix.exe"
  WINDOWS_SIMNET="${win}/WLDV32.DLL"
  RECORDING_DRIVER="${win}/tests/recording_driver/WLDV32.DLL"
  RECORDING_DRIVER_WITHOUT_CLOSE="${win}/tests/recording_driver_without_close/WLDV32.DLL"
  RECORDING_DRIVER_EXTRA_EXPORT="${win}/tests/recording_driver_extra_export/WLDV32.DLL"
  WINE_SCRIPT="${PROJECT_SOURCE_DIR}/scripts/wine.sh")
# One prefix, one registry: the cases run one after the other.
gtest_discover_tests(wine_e2e_tests DISCOVERY_MODE PRE_TEST
  PROPERTIES LABELS wine RUN_SERIAL TRUE)
