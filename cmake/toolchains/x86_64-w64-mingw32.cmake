# Cross build for x86_64 Windows with Debian's mingw-w64 (posix thread model,
# which easel's worker threads need; the plug-ins use no threads).
#   cmake -S . -B build/windows-x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/x86_64-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
