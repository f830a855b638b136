# The Windows payload carries real programs in place of the nine text
# stand-ins: one small GUI program (suite_program.cpp), copied under the name
# of each program of the suite program table, into a copy of the sample suite
# that the demo setup then packs. Included by payload/CMakeLists.txt, whose
# QR5_SUITE_DIR and QR5_SUITE_FILES it points at that copy.

add_executable(qr5_suite_program WIN32 ${CMAKE_CURRENT_LIST_DIR}/suite_program.cpp)
target_include_directories(qr5_suite_program PRIVATE ${CMAKE_SOURCE_DIR}/src)
# Nothing of the C++ library is used; no exception tables, no symbols.
target_compile_options(qr5_suite_program PRIVATE -fno-exceptions -fno-rtti)
target_link_options(qr5_suite_program PRIVATE -s)
# One program under nine names: one description for all of them; 18,432
# bytes measured without its resources.
qr5_shipped_program(qr5_suite_program FILE QR5.EXE DESCRIPTION "Quorlin 5 suite program" LEVEL asInvoker
                    LIMIT 32768 NO_EXCEPTIONS)

# The executables' names, as the table spells them.
file(STRINGS ${CMAKE_SOURCE_DIR}/src/install/suite_program_table.h table_rows REGEX "^ *\\{\"[^\"]+\\.EXE\"")
set(suite_programs)
foreach(row ${table_rows})
  string(REGEX MATCH "\"([^\"]+\\.EXE)\"" _ "${row}")
  list(APPEND suite_programs ${CMAKE_MATCH_1})
endforeach()
list(LENGTH suite_programs count)
if(NOT count EQUAL 9)
  message(FATAL_ERROR "suite_program_table.h: found ${count} executables, not 9: ${suite_programs}")
endif()

set(staged_suite ${CMAKE_CURRENT_BINARY_DIR}/suite)
set(staged_stamp ${CMAKE_CURRENT_BINARY_DIR}/suite.stamp)
set(copy_programs)
foreach(name ${suite_programs})
  list(APPEND copy_programs COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:qr5_suite_program> ${staged_suite}/${name})
endforeach()
add_custom_command(
  OUTPUT ${staged_stamp}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${staged_suite}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${QR5_SUITE_DIR} ${staged_suite}
  ${copy_programs}
  COMMAND ${CMAKE_COMMAND} -E touch ${staged_stamp}
  DEPENDS qr5_suite_program ${QR5_SUITE_FILES}
  COMMENT "Putting the suite's programs into a copy of the sample suite"
  VERBATIM)

set(QR5_SUITE_DIR ${staged_suite})
set(QR5_SUITE_FILES ${staged_stamp})
