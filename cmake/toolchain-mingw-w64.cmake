# Cross build of the engine and zirared-cli for 64-bit Windows with Debian's mingw-w64:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake \
#         -DZIRARED_BUILD_WINDOW=OFF
# The tests run through Wine (wine64), set below as the emulator that CTest uses.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZIRARED_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour: its libstdc++ has std::thread and friends (GoogleTest, <mutex>).
set(CMAKE_C_COMPILER ${ZIRARED_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZIRARED_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZIRARED_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZIRARED_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: libgcc, libstdc++ and winpthread linked in, so nothing but the
# system's own DLLs is needed on the user's machine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(ZIRARED_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT ZIRARED_WINE)
  find_program(ZIRARED_WINE NAMES wine64 wine)
endif()
if(ZIRARED_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZIRARED_WINE})
endif()
