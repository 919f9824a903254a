# The packages: `cpack` in build/linux makes quorvel_<version>_<architecture>.deb, in
# build/windows Quorvel-<version>-windows.zip. Each holds the program, the operator's guide with its
# pictures, and the licence.
include(GNUInstallDirs)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "the Quorvel authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${QUORVEL_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
file(GLOB pictures ${PROJECT_SOURCE_DIR}/docs/*.png)

if(WIN32)
  # One folder to unpack anywhere: Quorvel.exe, README.md (the guide), docs/ and LICENSE.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME Quorvel-${PROJECT_VERSION}-windows)
  install(TARGETS Quorvel RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
  install(FILES ${pictures} DESTINATION docs)
else()
  set(doc ${CMAKE_INSTALL_DATADIR}/doc/quorvel)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${doc})
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${doc} RENAME copyright)
  install(FILES ${pictures} DESTINATION ${doc}/docs)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the Quorvel authors")
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  # The libraries the program needs, as dpkg-shlibdeps finds them in the binary.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The face the captions are laid out for; without it a wider one cuts some of them.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-urw-base35)
endif()
include(CPack)
