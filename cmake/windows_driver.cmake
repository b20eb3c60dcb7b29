# Driver libraries on Windows: the file WLDV32.DLL, exporting exactly the
# decorated names of the entry points given (and nothing else), from a .def
# file written for the target.
#
#   windows_driver_library(target EXPORTS ldv_open@4 ...)
#
# Each "name@N" is exported as "_name@N", the __stdcall name, and resolves to
# the function `name` of the library (decorated only on 32-bit x86).

# The six entry points the console binds.
set(ldv_entry_points ldv_get_version@0 ldv_open@4 ldv_close@4 ldv_read@12 ldv_write@12
    ldv_register@8)

function(windows_driver_library target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "EXPORTS")
  set(def "LIBRARY WLDV32.DLL\nEXPORTS\n")
  foreach(entry IN LISTS arg_EXPORTS)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(symbol ${entry})
    else()
      string(REGEX REPLACE "@.*" "" symbol ${entry})
    endif()
    string(APPEND def "  _${entry} = ${symbol}\n")
  endforeach()
  set(def_file ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  file(GENERATE OUTPUT ${def_file} CONTENT "${def}")
  target_sources(${target} PRIVATE ${def_file})
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME WLDV32 SUFFIX .DLL
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${target}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${target})
endfunction()
