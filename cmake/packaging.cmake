# What a user installs: the programs, the language reference, the examples and kivo's manual
# page; `cpack -G DEB` in a build tree makes the Debian package (scripts/package).
include(GNUInstallDirs)

# Further programs go into the package as soon as their targets exist: name them here.
# (kivo-cosim, a script, is installed by hdl/CMakeLists.txt.)
set(KIVO_PACKAGED_TOOLS kivotrace kivo-check)
foreach(tool IN LISTS KIVO_PACKAGED_TOOLS)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

set(KIVO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kivo)
install(FILES ${PROJECT_SOURCE_DIR}/docs/Help.htm DESTINATION ${KIVO_DOC_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${KIVO_DOC_DIR}/examples)
if(NOT WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/kivo.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME kivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "FPGA board script interpreter and its script editor")
set(CPACK_PACKAGE_CONTACT "kivo developers <kivo@localhost>")
set(CPACK_PACKAGE_FILE_NAME kivo-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The library dependencies (Qt for scriptdesk) as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# kivo-cosim runs scripts against a VHDL simulation under GHDL.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ghdl)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
