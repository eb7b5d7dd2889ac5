# What both mingw-w64 targets share; each toolchain file sets CMAKE_SYSTEM_PROCESSOR and _triple first.
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_OBJDUMP ${_triple}-objdump)
set(CMAKE_STRIP ${_triple}-strip)
# Libraries and headers of the target come from the mingw-w64 tree, programs
# from the build machine; the header-only nlohmann_json and CLI11 from the
# build machine's packages through host-packages/.
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/host-packages/nlohmann_json CACHE PATH "")
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/host-packages/CLI11 CACHE PATH "")
# The C and C++ runtimes are linked in, so a module needs only system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
