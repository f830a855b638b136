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

# qr5_shipped_program(target): a program that goes to users (the setup, the
# uninstaller). Windows builds other than Debug link it without symbols; the
# size test of tests/windows holds its limit. Test programs keep theirs.
set(QR5_SHIPPED_SIZE_LIMIT 409600 CACHE STRING "Largest size in bytes of a shipped Windows program without payload")
function(qr5_shipped_program target)
  if(QR5_WINDOWS)
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
    # The runtime's throw helpers without the standard error classes.
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/win32/runtime/standard_throws.cpp)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  endif()
  set_property(GLOBAL APPEND PROPERTY QR5_SHIPPED_PROGRAMS ${target})
endfunction()
