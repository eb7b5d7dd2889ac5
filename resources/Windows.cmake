# Windows: each plug-in is one DLL, <Name>.aip, in ${EASEL_PLUGIN_DIR}, with its
# resources inside. The generator writes them as a compiled resource file,
# windres turns that into an object, and the object is linked into the DLL.
# In a cross build the generator is built for the build machine first.
if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  set(_tools ${CMAKE_BINARY_DIR}/native-tools)
  ExternalProject_Add(native_make_resources
    SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/native
    BINARY_DIR ${_tools}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${_tools}/make_resources)
  set(_generator ${_tools}/make_resources)
  set(_generator_target native_make_resources)
else()
  add_library(resource_writer STATIC ResourceWriter.cpp Icons.cpp Win32Resources.cpp)
  target_include_directories(resource_writer PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} PRIVATE ${PROJECT_SOURCE_DIR})
  project_warnings(resource_writer)
  add_executable(make_resources make_resources.cpp)
  target_link_libraries(make_resources PRIVATE resource_writer)
  project_warnings(make_resources)
  set(_generator make_resources)
  set(_generator_target make_resources)
endif()

foreach(name Brivane Kestova)
  set(_res ${CMAKE_CURRENT_BINARY_DIR}/${name}.res)
  set(_obj ${CMAKE_CURRENT_BINARY_DIR}/${name}.res.obj)
  add_custom_command(OUTPUT ${_obj}
    COMMAND ${_generator} ${name} --res ${_res}
    COMMAND ${CMAKE_RC_COMPILER} --input-format=res --output-format=coff -i ${_res} -o ${_obj}
    DEPENDS ${_generator_target}
    COMMENT "Compiling the resources of ${name}.aip")
  string(TOLOWER ${name} lower)
  add_custom_target(${lower}_resources DEPENDS ${_obj})
  set_property(GLOBAL PROPERTY EASEL_${name}_RESOURCE_OBJECT ${_obj})
endforeach()

# The plug-in targets are made later in the tree; their Windows form is set
# once the whole project is read.
function(_windows_plugin_module name)
  get_property(_obj GLOBAL PROPERTY EASEL_${name}_RESOURCE_OBJECT)
  set_source_files_properties(${_obj} TARGET_DIRECTORY ${name} PROPERTIES EXTERNAL_OBJECT ON GENERATED ON)
  target_sources(${name} PRIVATE ${_obj})
  # The C and C++ runtimes linked in, symbols stripped: the DLL needs system DLLs only.
  target_link_options(${name} PRIVATE -static -s)
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".aip"
    LIBRARY_OUTPUT_DIRECTORY ${EASEL_PLUGIN_DIR} RUNTIME_OUTPUT_DIRECTORY ${EASEL_PLUGIN_DIR})
endfunction()
function(_windows_plugin_modules)
  foreach(name Brivane Kestova)
    if(TARGET ${name})
      _windows_plugin_module(${name})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _windows_plugin_modules)
