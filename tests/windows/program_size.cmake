# The size test of the shipped Windows programs without payload (every target
# marked with qr5_shipped_program, stripped in the win32-model builds other
# than Debug): a program that grows past the limit has taken in something it
# should not, such as the iostreams and locale parts of the C++ runtime.
if(NOT QR5_MINGW_THREADS STREQUAL "win32" OR CMAKE_BUILD_TYPE STREQUAL "Debug")
  return()
endif()
function(qr5_add_size_test)
  get_property(targets GLOBAL PROPERTY QR5_SHIPPED_PROGRAMS)
  set(programs)
  foreach(target ${targets})
    list(APPEND programs $<TARGET_FILE:${target}>)
  endforeach()
  if(programs)
    add_test(NAME windows_program_size
             COMMAND ${CMAKE_COMMAND} -DLIMIT=${QR5_SHIPPED_SIZE_LIMIT} "-DPROGRAMS=${programs}"
                     -P ${CMAKE_SOURCE_DIR}/tests/windows/check_size.cmake)
  endif()
endfunction()
# Run once every folder has declared its programs.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL qr5_add_size_test)
