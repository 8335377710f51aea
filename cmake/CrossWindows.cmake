# A Windows build made on Linux (cmake/toolchain-mingw-w64.cmake): the test programs run
# through a Wine wrapper, and GoogleTest is compiled from source with the same compiler,
# since Debian packages it for Linux only.
if(NOT (WIN32 AND CMAKE_CROSSCOMPILING))
  return()
endif()
if(ZIRARED_BUILD_WINDOW)
  message(FATAL_ERROR "The Windows build covers the engine and zirared-cli: "
                      "configure it with -DZIRARED_BUILD_WINDOW=OFF")
endif()

set(ZIRARED_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH
    "GoogleTest sources compiled for the target (Debian: package googletest)")

if(ZIRARED_WINE)
  set(ZIRARED_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
  configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in" "${CMAKE_BINARY_DIR}/wine-run.sh"
                 @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                 GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run.sh")
endif()
