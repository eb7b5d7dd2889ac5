# The header-only libraries easel uses (nlohmann_json, CLI11) come from the
# build machine's Debian packages; a cross build must not put the machine's
# /usr/include on the target's include path, so only their own folders are
# linked into one folder of the build tree.
function(easel_host_header_package target folder)
  set(_stage ${CMAKE_BINARY_DIR}/host-headers)
  if(NOT EXISTS ${_stage}/${folder})
    if(NOT EXISTS /usr/include/${folder})
      message(FATAL_ERROR "/usr/include/${folder} not found: run scripts/setup")
    endif()
    file(MAKE_DIRECTORY ${_stage})
    file(CREATE_LINK /usr/include/${folder} ${_stage}/${folder} SYMBOLIC)
  endif()
  if(NOT TARGET ${target})
    add_library(${target} INTERFACE IMPORTED)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_stage})
  endif()
endfunction()
