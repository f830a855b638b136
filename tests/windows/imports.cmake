# The import table test of the shipped Windows programs: every program that
# qr5_shipped_program marks, the demo setup (the stub with the suite
# appended) and the uninstaller's copy in the payload (cross builds only).
# Only the win32 thread model gives a program that starts on old Windows; a
# posix-model build of the same program is for testing and is not checked.
if(NOT QR5_MINGW_THREADS STREQUAL "win32")
  return()
endif()
function(qr5_add_import_test)
  get_property(targets GLOBAL PROPERTY QR5_SHIPPED_PROGRAMS)
  get_property(packed_uninstaller GLOBAL PROPERTY QR5_PACKED_UNINSTALLER)
  set(programs)
  foreach(target ${targets})
    list(APPEND programs $<TARGET_FILE:${target}>)
  endforeach()
  if(TARGET QR5_Installer)
    list(APPEND programs ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/QR5_Installer${CMAKE_EXECUTABLE_SUFFIX})
  endif()
  if(packed_uninstaller)
    list(APPEND programs ${packed_uninstaller})
  endif()
  if(programs)
    add_test(NAME windows_imports
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/windows/check_imports.sh ${CMAKE_OBJDUMP}
                     ${CMAKE_SOURCE_DIR}/tests/windows/win2000_imports.txt ${programs})
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL qr5_add_import_test)

# The resources of the same programs, read from their files: the manifest,
# the version strings and the suite's icon (qr5_program_resources).
find_program(QR5_PYTHON3 python3)
function(qr5_add_resource_test)
  get_property(programs GLOBAL PROPERTY QR5_PROGRAM_RESOURCES)
  get_property(packed_uninstaller GLOBAL PROPERTY QR5_PACKED_UNINSTALLER)
  foreach(entry ${programs})
    if(entry MATCHES "^\\$<TARGET_FILE:QR5_Installer_stub>(.*)$" AND TARGET QR5_Installer)
      list(APPEND programs "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/QR5_Installer${CMAKE_EXECUTABLE_SUFFIX}${CMAKE_MATCH_1}")
    elseif(entry MATCHES "^\\$<TARGET_FILE:QR5_Uninstaller>(.*)$" AND packed_uninstaller)
      list(APPEND programs "${packed_uninstaller}${CMAKE_MATCH_1}")
    endif()
  endforeach()
  if(programs AND QR5_PYTHON3)
    add_test(NAME windows_resources
             COMMAND ${QR5_PYTHON3} ${CMAKE_SOURCE_DIR}/tests/windows/check_resources.py
                     ${QR5_PROGRAM_ICON} ${PROJECT_VERSION} ${programs})
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL qr5_add_resource_test)
