# The import table test of the shipped Windows programs (cross builds only).
# Only the win32 thread model gives a program that starts on old Windows; a
# posix-model build of the same program is for testing and is not checked.
if(TARGET QR5_Installer_stub AND QR5_MINGW_THREADS STREQUAL "win32")
  set(programs $<TARGET_FILE:QR5_Installer_stub>)
  if(TARGET QR5_Installer)
    # the demo setup: the same program with the suite appended
    list(APPEND programs ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/QR5_Installer${CMAKE_EXECUTABLE_SUFFIX})
  endif()
  if(TARGET qr5_suite_program)
    # the one program that the Windows payload carries under nine names
    list(APPEND programs $<TARGET_FILE:qr5_suite_program>)
  endif()
  add_test(NAME windows_imports
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_imports.sh ${CMAKE_OBJDUMP}
                   ${CMAKE_CURRENT_LIST_DIR}/win2000_imports.txt ${programs})
endif()
