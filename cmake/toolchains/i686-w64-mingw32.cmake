# Cross build for i686 Windows with Debian's mingw-w64 (posix thread model,
# which easel's worker threads need; the plug-ins use no threads).
#   cmake -S . -B build/windows-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/i686-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
