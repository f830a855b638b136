# The shipped-program rule, one check for every program that goes to users:
# each target marked with qr5_shipped_program (the setup stub, the
# uninstaller, the suite's sample program) and the uninstaller's copy in the
# payload must be stripped and within its own size limit; the import test
# (imports.cmake) holds the same programs to the import-table rule, which
# also proves them static (no DLL but the system's). Only the win32-model
# builds other than Debug make what users get; a program that grows past its
# limit has taken in something it should not, such as the iostreams and
# locale parts of the C++ runtime.
if(NOT QR5_MINGW_THREADS STREQUAL "win32" OR CMAKE_BUILD_TYPE STREQUAL "Debug")
  return()
endif()
function(qr5_add_size_test)
  get_property(targets GLOBAL PROPERTY QR5_SHIPPED_PROGRAMS)
  get_property(packed_uninstaller GLOBAL PROPERTY QR5_PACKED_UNINSTALLER)
  set(programs)
  foreach(target ${targets})
    get_property(limit TARGET ${target} PROPERTY QR5_SIZE_LIMIT)
    list(APPEND programs "$<TARGET_FILE:${target}>=${limit}")
    if(target STREQUAL "QR5_Uninstaller" AND packed_uninstaller)
      list(APPEND programs "${packed_uninstaller}=${limit}")
    endif()
  endforeach()
  if(programs)
    add_test(NAME windows_program_size
             COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} "-DPROGRAMS=${programs}"
                     -P ${CMAKE_SOURCE_DIR}/tests/windows/check_size.cmake)
  endif()
endfunction()
# Run once every folder has declared its programs.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL qr5_add_size_test)
