# qr5_glob(VAR dir...): the .cpp files directly in each folder. New files are
# picked up at the next build (CONFIGURE_DEPENDS).
function(qr5_glob var)
  set(all)
  foreach(dir ${ARGN})
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND all ${found})
  endforeach()
  list(SORT all)
  set(${var} ${all} PARENT_SCOPE)
endfunction()

# qr5_test_dir(NAME dir LIBS...): one GoogleTest program of every .cpp in dir.
function(qr5_test_dir name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  # GoogleTest needs the posix thread model; a win32-model Windows build is
  # the shipped program, whose only test is its import table.
  if(QR5_WINDOWS AND QR5_MINGW_THREADS STREQUAL "win32")
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} ${QR5_GTEST})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    QR5_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    QR5_BINARY_DIR="${CMAKE_BINARY_DIR}"
    QR5_TESTDATA_DIR="${QR5_TESTDATA_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 300)
endfunction()

# qr5_shipped_program(target FILE name DESCRIPTION text LEVEL level
#                     [LIMIT bytes] [NO_EXCEPTIONS]): a program that goes to users (the
# setup stub, the uninstaller, the suite's sample program). On Windows it is
# linked statically (for every program) and without symbols in builds other
# than Debug; the payload carries stripped copies in every build type. The
# checks of tests/windows hold each to the import-table rule and to its own
# size limit (QR5_SHIPPED_SIZE_LIMIT when none is given); on Windows it gets
# the resources of qr5_program_resources. Test programs keep their symbols
# and have none of this.
set(QR5_SHIPPED_SIZE_LIMIT 409600 CACHE STRING "Largest size in bytes of the shipped Windows setup program without payload")
function(qr5_shipped_program target)
  cmake_parse_arguments(arg "NO_EXCEPTIONS" "LIMIT;FILE;DESCRIPTION;LEVEL" "" ${ARGN})
  if(NOT arg_LIMIT)
    set(arg_LIMIT ${QR5_SHIPPED_SIZE_LIMIT})
  endif()
  set_property(TARGET ${target} PROPERTY QR5_SIZE_LIMIT ${arg_LIMIT})
  if(QR5_WINDOWS)
    qr5_program_resources(${target} ${arg_FILE} "${arg_DESCRIPTION}" ${arg_LEVEL})
    set_property(GLOBAL APPEND PROPERTY QR5_PROGRAM_RESOURCES
                 "$<TARGET_FILE:${target}>|${arg_DESCRIPTION}|${arg_LEVEL}")
    target_link_options(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:-s>)
    # A map beside the program shows what each part of the runtime costs.
    target_link_options(${target} PRIVATE -Wl,-Map=$<TARGET_FILE:${target}>.map)
    # The runtime's default terminate handler prints the uncaught exception's
    # demangled type to stderr, which a GUI program does not have; it brings
    # the demangler and the printf family (about 75 KB). Plain abort() does
    # what the user sees of it.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(handler __ZN9__gnu_cxx27__verbose_terminate_handlerEv)
      set(abort_fn _abort)
    else()
      set(handler _ZN9__gnu_cxx27__verbose_terminate_handlerEv)
      set(abort_fn abort)
    endif()
    target_link_options(${target} PRIVATE -Wl,--defsym=${handler}=${abort_fn})
    # The runtime's throw helpers without the standard error classes (a
    # program built without exceptions has no use for them).
    if(NOT arg_NO_EXCEPTIONS)
      target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/win32/runtime/standard_throws.cpp)
      target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src)
    endif()
  endif()
  set_property(GLOBAL APPEND PROPERTY QR5_SHIPPED_PROGRAMS ${target})
endfunction()

# qr5_program_resources(target file description level): the suite's icon
# (payload/suite/QUORLIN5.ICO, resource 1: the window class takes it), an
# application manifest asking for level (requireAdministrator or asInvoker)
# and a version resource naming the publisher, the product, what the program
# is and PROJECT_VERSION, the one version number of the build. A test
# program that must start as the shipped ones do (DPI awareness, Common
# Controls 6) takes them too.
set(QR5_PROGRAM_ICON ${CMAKE_SOURCE_DIR}/payload/suite/QUORLIN5.ICO)
function(qr5_program_resources target file description level)
  if(NOT EXISTS ${QR5_PROGRAM_ICON})
    message(FATAL_ERROR "The icon of the shipped programs is missing: ${QR5_PROGRAM_ICON} "
                        "(the suite's QUORLIN5.ICO); ${target} cannot be built without it.")
  endif()
  if(NOT level MATCHES "^(requireAdministrator|asInvoker)$" OR description STREQUAL "")
    message(FATAL_ERROR "qr5_shipped_program(${target}): give DESCRIPTION and LEVEL "
                        "requireAdministrator or asInvoker")
  endif()
  set(QR5_RES_NAME ${target})
  set(QR5_RES_FILE ${file})
  set(QR5_RES_DESCRIPTION ${description})
  set(QR5_RES_LEVEL ${level})
  set(QR5_RES_ICON ${QR5_PROGRAM_ICON})
  set(QR5_VERSION ${PROJECT_VERSION})
  set(QR5_VERSION_4 ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
  set(QR5_VERSION_COMMAS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)
  set(dir ${CMAKE_BINARY_DIR}/resources/${target})
  set(QR5_RES_MANIFEST ${dir}/${target}.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/resources/program.manifest.in ${QR5_RES_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/resources/program.rc.in ${dir}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/${target}.rc)
  # The resource compiler does not see the files the script names.
  set_property(SOURCE ${dir}/${target}.rc TARGET_DIRECTORY ${target} APPEND PROPERTY
               OBJECT_DEPENDS ${QR5_PROGRAM_ICON} ${QR5_RES_MANIFEST})
endfunction()
