# Installing and packaging the wizard. Only the program itself is installed (with its
# desktop entry and icon on Linux); the simulator, fwimage, the tools and the tests
# stay in the build directory.
#   cmake --install build --prefix /usr/local
#   cd build && cpack            # revertex_<version>_<arch>.deb on Debian
include(GNUInstallDirs)

# Windows keeps the program and its DLLs in one folder (the zip's, the installer's).
if(WIN32)
  install(TARGETS revertex RUNTIME DESTINATION .)
else()
  install(TARGETS revertex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(UNIX AND NOT APPLE)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/revertex.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/images/revertex.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/revertex)
endif()

set(CPACK_PACKAGE_NAME revertex)
set(CPACK_PACKAGE_VENDOR "Revertex")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Firmware flash wizard for the PictureTel PTZ 2 camera")
set(description
    "Revertex reprograms the firmware of a PictureTel PTZ 2 pan-tilt-zoom camera over an\n"
    "RS-232 serial port (or a USB serial adapter), so that the camera works with the\n"
    "Optivant Moving camera-control program. It checks the camera, reads its firmware\n"
    "version and, when needed, sends the new firmware line by line.")
# Without REVERTEX_FIRMWARE the program carries the test image, which would ruin a real
# camera. Such packages say so in their version and description, and their version
# sorts below the release's, so installing a real package replaces them.
if(NOT REVERTEX_FIRMWARE)
  string(APPEND CPACK_PACKAGE_VERSION "~testimage")
  string(APPEND CPACK_PACKAGE_DESCRIPTION_SUMMARY " (test build, simulated camera only)")
  list(APPEND description
       "\nTEST BUILD: this package carries a test firmware image, fit only for the simulated\n"
       "camera ptz2-sim. Never flash a real camera with it: build with\n"
       "-DREVERTEX_FIRMWARE=<firmware file> for that.")
endif()
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${description})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Revertex)
set(CPACK_PACKAGE_EXECUTABLES revertex Revertex)
set(REVERTEX_PACKAGE_CONTACT "Revertex maintainers <revertex@example.org>"
    CACHE STRING "Maintainer named in the packages")
set(CPACK_PACKAGE_CONTACT ${REVERTEX_PACKAGE_CONTACT})
# Installed programs carry no debugging information.
set(CPACK_STRIP_FILES ON)

# Debian: the Qt 6 libraries come from dpkg-shlibdeps where it is there (it finds
# exactly the libraries the binary links); the dialog font is a data package that no
# library check can see.
find_program(REVERTEX_DPKG_DEB dpkg-deb)
find_program(REVERTEX_DPKG_SHLIBDEPS dpkg-shlibdeps)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(REVERTEX_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6 (>= 6.2), libqt6serialport6 (>= 6.2), libqt6gui6 (>= 6.2), libqt6core6 (>= 6.2), \
libstdc++6, libc6, fonts-wine")
endif()
# Talking to the port needs membership of the dialout group; the package suggests
# the usual helpers for finding who holds a port and for tuning USB adapters.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "psmisc, lsof, setserial")

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackage.cmake)   # the zip and the installer
elseif(REVERTEX_DPKG_DEB)
  set(CPACK_GENERATOR DEB)
else()
  set(CPACK_GENERATOR TGZ)
endif()

include(CPack)
