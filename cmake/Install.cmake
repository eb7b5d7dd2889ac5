# What `cmake --install` puts under the prefix, and the .deb cpack makes of it:
#   bin/easel, bin/easel-studio                   the studio, which `easel studio` runs
#   lib/easel/plugins/Brivane.aip, Kestova.aip   found by an installed easel (../lib/easel/plugins)
#   share/man/man1/easel.1, easel-COMMAND.1       made from the program's --help
#   share/doc/easel/                              README, docs/, examples/
# The studio's page is compiled into the program: nothing of it is installed.
include(GNUInstallDirs)

install(TARGETS easel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET easel-studio)
  install(TARGETS easel-studio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
foreach(plugin Brivane Kestova)
  install(DIRECTORY ${EASEL_PLUGIN_DIR}/${plugin}.aip DESTINATION ${EASEL_INSTALL_PLUGIN_DIR}
          USE_SOURCE_PERMISSIONS)
endforeach()

# Manual pages: one for the program and one per command, each from the text
# `easel [COMMAND] --help` prints (cmake/ManPage.cmake turns it into troff).
set(EASEL_MAN_COMMANDS play tools dialog convert render studio)
set(_man_dir ${CMAKE_BINARY_DIR}/man)
set(_man_pages ${_man_dir}/easel.1)
foreach(command ${EASEL_MAN_COMMANDS})
  list(APPEND _man_pages ${_man_dir}/easel-${command}.1)
endforeach()
string(REPLACE ";" "," _man_commands "${EASEL_MAN_COMMANDS}")
add_custom_command(OUTPUT ${_man_pages}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_man_dir}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          ${CMAKE_COMMAND} -DEASEL=$<TARGET_FILE:easel> -DOUT=${_man_dir} -DVERSION=${PROJECT_VERSION}
          -DCOMMANDS=${_man_commands} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  DEPENDS easel ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
  COMMENT "Manual pages from easel --help" VERBATIM)
add_custom_target(easel_man ALL DEPENDS ${_man_pages})
install(FILES ${_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(_doc ${CMAKE_INSTALL_DATADIR}/doc/easel)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${_doc})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${_doc}/docs
        FILES_MATCHING PATTERN "*.md" PATTERN "*.png")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${_doc}/examples)

# The Debian package: its dependencies are the packages of the shared
# libraries easel and the plug-ins link (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME easel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "easel developers <easel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "vector illustration host that runs the Brivane and Kestova drawing tools")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opened when SVG is first drawn rather than linked: not found by shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "librsvg2-2 (>= 2.52)")
# The plug-in bundles' libraries are the plug-ins' own, not a shared library
# other packages link: no shlibs file is made for them.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
