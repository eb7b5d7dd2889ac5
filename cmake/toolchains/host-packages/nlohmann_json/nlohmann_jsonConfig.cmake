include(${CMAKE_CURRENT_LIST_DIR}/../HeaderOnly.cmake)
easel_host_header_package(nlohmann_json::nlohmann_json nlohmann)
