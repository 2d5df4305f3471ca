# Cross-compiles the Windows program with Debian's mingw-w64 for 64-bit Intel: the build
# that runs under Wine on every x86_64 kernel, also those that run no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
