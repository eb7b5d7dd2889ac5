include(${CMAKE_CURRENT_LIST_DIR}/../HeaderOnly.cmake)
easel_host_header_package(CLI11::CLI11 CLI)
