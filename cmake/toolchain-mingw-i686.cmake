# Cross-compiling for 32-bit Windows with MinGW-w64 (Debian's i686 packages).
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake
#
# QR5_MINGW_THREADS picks the compiler's thread model. The shipped installer
# uses "win32": its runtime imports only functions that old Windows has (the
# "posix" runtime pulls in winpthreads, which imports GetTickCount64). Test
# programs need "posix" for GoogleTest.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(QR5_MINGW_THREADS "win32" CACHE STRING "MinGW thread model of the compilers: win32 or posix")
set_property(CACHE QR5_MINGW_THREADS PROPERTY STRINGS win32 posix)
if(NOT QR5_MINGW_THREADS MATCHES "^(win32|posix)$")
  message(FATAL_ERROR "QR5_MINGW_THREADS must be win32 or posix, not '${QR5_MINGW_THREADS}'")
endif()

set(_qr5_triple i686-w64-mingw32)
set(CMAKE_C_COMPILER ${_qr5_triple}-gcc-${QR5_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${_qr5_triple}-g++-${QR5_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${_qr5_triple}-windres)
set(CMAKE_OBJDUMP ${_qr5_triple}-objdump CACHE FILEPATH "objdump for the import table check")

set(CMAKE_FIND_ROOT_PATH /usr/${_qr5_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under 32-bit Wine, in a prefix that belongs to this build
# folder (created on first use).
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;${CMAKE_BINARY_DIR}/wine")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QR5_MINGW_THREADS)
