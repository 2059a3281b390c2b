# Installing and packaging the programs, revertex (the wizard) and revertex-cli (the same
# sequences from a terminal). Only they are installed (with the wizard's desktop entry,
# icon, AppStream metadata and the manual pages on Linux, and the user documents
# everywhere); the simulator, fwimage, the tools and the tests stay in the build directory.
#   cmake --install build --prefix /usr/local
#   cd build && cpack            # revertex_<version>_<arch>.deb on Debian
include(GNUInstallDirs)

set(REVERTEX_PACKAGE_CONTACT "Revertex maintainers <revertex@example.org>"
    CACHE STRING "Maintainer named in the packages")

# The documents for the people who use the wizard, which every package carries beside the
# README. The developers' documents (CONTRIBUTING.md, docs/building.md, docs/testing.md,
# docs/performance.md, docs/simulated-camera.md) stay in the source, as do the tools
# they describe.
set(REVERTEX_USER_DOCUMENTS
    docs/using-the-wizard.md docs/serial-ports-linux.md docs/windows.md docs/firmware.md
    docs/troubleshooting.md docs/cli.md)

# revertex_install_user_documents(<destination>): README.md into <destination>, the user
# documents and the page pictures below it at their places in the source, so that the
# links between them hold.
function(revertex_install_user_documents destination)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${destination})
  list(TRANSFORM REVERTEX_USER_DOCUMENTS PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE documents)
  install(FILES ${documents} DESTINATION ${destination}/docs)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/pages DESTINATION ${destination}/docs
          FILES_MATCHING PATTERN "*.png")
endfunction()

# `cmake --install` strips the program as the packages do (CPACK_STRIP_FILES below):
# what a user installs by hand is the same file as the .deb's. This sets the variable
# that `cmake --install --strip` sets, before the program's own install step reads it.
option(REVERTEX_INSTALL_STRIPPED "cmake --install strips the program, as the packages do" ON)
if(REVERTEX_INSTALL_STRIPPED)
  install(CODE "set(CMAKE_INSTALL_DO_STRIP TRUE)")
endif()
# Windows keeps the program and its DLLs in one folder (the zip's, the installer's).
# revertex-cli, the terminal's program, goes beside it.
if(WIN32)
  install(TARGETS revertex revertex-cli RUNTIME DESTINATION .)
else()
  install(TARGETS revertex revertex-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(UNIX AND NOT APPLE)
  # The desktop entry, the AppStream metadata and the program's desktop file name share
  # one reverse-DNS id, by which software centres tie them together.
  set(REVERTEX_APP_ID io.github.revertex.Revertex)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/${REVERTEX_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/${REVERTEX_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/images/revertex.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
  revertex_install_user_documents(${CMAKE_INSTALL_DATADIR}/doc/revertex)
  include(${CMAKE_CURRENT_LIST_DIR}/LinuxDocuments.cmake)
endif()

set(CPACK_PACKAGE_NAME revertex)
set(CPACK_PACKAGE_VENDOR "Revertex")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Firmware flash wizard for the PictureTel PTZ 2 camera")
# Debian shows the description as it is: lines under 80 columns (lintian counts the
# leading blank), the synopsis too.
set(description
    "Revertex reprograms the firmware of a PictureTel PTZ 2 pan-tilt-zoom camera\n"
    "over an RS-232 serial port (or a USB serial adapter), so that the camera\n"
    "works with the Optivant Moving camera-control program. It checks the camera,\n"
    "reads its firmware version and, when needed, sends the new firmware line by\n"
    "line.")
# The camera's firmware is not ours to ship: a package built without REVERTEX_FIRMWARE
# carries none, and the program asks for it when it starts.
if(NOT REVERTEX_FIRMWARE)
  list(APPEND description
       "\n\nThe camera's firmware is not included: Revertex asks for it when it starts.\n"
       "It reads it from the Windows flash program given with the camera's software\n"
       "(which holds it as its resource CUSTOM/101) or from a firmware file (Intel\n"
       "HEX, raw image or container), and checks it to the last byte first.")
endif()
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${description})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Revertex)
set(CPACK_PACKAGE_EXECUTABLES revertex Revertex)
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
  message(STATUS "dpkg-shlibdeps not found: the .deb names its Qt libraries from a fixed list")
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
  message(STATUS "dpkg-deb not found: cpack makes a .tar.gz, no .deb")
  set(CPACK_GENERATOR TGZ)
endif()

include(CPack)
