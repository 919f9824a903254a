# Cross-compiles for 32-bit Windows (i686) with the MinGW-w64 toolchain: one Quorvel.exe for
# Windows XP SP3 and every later version, where 64-bit Windows runs it as a 32-bit program.
# Everything the compiler brings (libgcc, libstdc++, winpthread) is linked statically, so the
# programs need only the DLLs of Windows itself. Tests run under 32-bit Wine.
#
# QUORVEL_WINDOWS_ARCH=x86_64 (the windows64 preset) builds the same sources at the same API level
# as 64-bit programs instead: a twin for tests on a machine that runs no 32-bit programs, where
# only 64-bit Wine works. It is never shipped.
set(CMAKE_SYSTEM_NAME Windows)
set(QUORVEL_WINDOWS_ARCH i686 CACHE STRING "i686 (shipped) or x86_64 (the test twin)")
set_property(CACHE QUORVEL_WINDOWS_ARCH PROPERTY STRINGS i686 x86_64)
set(CMAKE_SYSTEM_PROCESSOR ${QUORVEL_WINDOWS_ARCH})

set(mingw_prefix ${QUORVEL_WINDOWS_ARCH}-w64-mingw32)
# The posix thread model: std::thread and std::mutex exist (the stand-ins and GoogleTest use
# them). Its winpthread calls GetTickCount64, which XP lacks: Quorvel.exe brings its own entry
# for that import (src/app/win32/tick_count64.cpp).
find_program(CMAKE_C_COMPILER NAMES ${mingw_prefix}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${mingw_prefix}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${mingw_prefix}-windres REQUIRED)
find_program(QUORVEL_OBJDUMP NAMES ${mingw_prefix}-objdump REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The API level of Windows XP: anything newer is looked up at run time. No min/max macros from
# windows.h.
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 NOMINMAX)
# The subsystem version in the header: XP's loader refuses an image that asks for more than 5.1.
# 64-bit Windows began with 5.2 (XP x64), the lowest a 64-bit image may ask for.
if(QUORVEL_WINDOWS_ARCH STREQUAL x86_64)
  set(subsystem 5.2)
  set(loader wine64)
else()
  set(subsystem 5.1)
  set(loader wine)
endif()
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--subsystem,windows:${subsystem}")

# Wine's loader for the architecture (Debian's are not on the PATH); QUORVEL_WINE names another.
find_program(QUORVEL_WINE NAMES ${loader} PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT QUORVEL_WINE)
  find_program(QUORVEL_WINE NAMES ${loader})
endif()
if(QUORVEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVEL_WINE})
endif()
