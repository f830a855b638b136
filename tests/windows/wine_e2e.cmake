# The real setup program under Wine, driven through a complete installation
# and a cancelled run by a small Windows program, once on a prefix set to
# Windows XP (all-users folders), once to Windows 98 (per-user folders):
# the manifest of the setup and the uninstaller, which those versions do not
# know (98) or know only in part (XP), must not keep them from starting; and
# once on 64-bit Windows 10, where the 32-bit setup gets the 32-bit Program
# Files and registry view (where Wine has its 64-bit half).
# Only the shipped program (win32 thread model) is driven; the posix build
# of the test programs would merely repeat it.
if(NOT TARGET QR5_Installer OR NOT QR5_MINGW_THREADS STREQUAL "win32")
  return()
endif()
find_program(QR5_WINE wine)
if(NOT QR5_WINE)
  return()
endif()
add_executable(drive_setup ${CMAKE_CURRENT_LIST_DIR}/drive_setup.cpp)
target_link_libraries(drive_setup PRIVATE shell32)
set(demo_setup ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/QR5_Installer${CMAKE_EXECUTABLE_SUFFIX})
find_program(QR5_WINE64 wine64 PATHS /usr/lib/wine)
set(wine_versions winxp win98)
if(QR5_WINE64)
  list(APPEND wine_versions win10)
endif()
foreach(version ${wine_versions})
  add_test(NAME wine_e2e_${version}
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine_e2e.sh ${CMAKE_BINARY_DIR}/wine-e2e ${version}
                   ${demo_setup} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/KAVO5.DLL
                   $<TARGET_FILE:drive_setup> ${PROJECT_VERSION})
  # Each makes its own prefix; Wine under an emulator needs minutes.
  set_tests_properties(wine_e2e_${version} PROPERTIES TIMEOUT 1800 RUN_SERIAL TRUE)
endforeach()
# The same program installed with the keyboard alone: X key events under
# Xvfb, so it needs both.
find_program(QR5_XDOTOOL xdotool)
find_program(QR5_XVFB Xvfb)
if(QR5_XDOTOOL AND QR5_XVFB)
  add_test(NAME wine_keys_e2e
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine_keys_e2e.sh ${CMAKE_BINARY_DIR}/wine-e2e
                   ${demo_setup} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/KAVO5.DLL
                   $<TARGET_FILE:drive_setup>)
  set_tests_properties(wine_keys_e2e PROPERTIES TIMEOUT 1800 RUN_SERIAL TRUE)
  # Very silent: no window may show on the display; then the quiet uninstall.
  add_test(NAME wine_unattended
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine_unattended.sh ${CMAKE_BINARY_DIR}/wine-e2e
                   ${demo_setup} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/KAVO5.DLL $<TARGET_FILE:drive_setup>)
  set_tests_properties(wine_unattended PROPERTIES TIMEOUT 1800 RUN_SERIAL TRUE)
endif()


# The forms in the real front end, in this process, on an Xvfb display: the
# folder tree, and the layout of every page in every language of the payload
# at 96, 120 and 144 DPI.
# It carries the setup's manifest, so that Windows gives it the screen's
# density (and Common Controls 6) as it gives them to the setup.
add_executable(check_forms ${CMAKE_CURRENT_LIST_DIR}/check_forms.cpp)
target_link_libraries(check_forms PRIVATE qr5_app qr5_front_end qr5_platform)
qr5_program_resources(check_forms check_forms.exe "Quorlin 5 form checks" asInvoker)
foreach(mode tree layout)
  add_test(NAME wine_forms_${mode}
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine_forms.sh ${CMAKE_BINARY_DIR}/wine-forms
                   $<TARGET_FILE:check_forms> ${PROJECT_SOURCE_DIR}/payload/suite ${mode})
  set_tests_properties(wine_forms_${mode} PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
endforeach()
