# The Windows packages: a zip that runs where it is unpacked and an NSIS installer. Both
# hold revertex.exe and the console program revertex-cli.exe with the Qt DLLs and plugins
# they need, the compiler's runtime, the README with the user documents, and Qt's licence
# with where its source is (the LGPL asks that of a program that ships Qt's DLLs).
#   scripts/build-windows.sh --package
#     build-windows/revertex-<version>-win64.zip
#     build-windows/revertex-<version>-win64-setup.exe

# Qt's DLLs and plugins. A cross build copies them from the Qt it was built against (no
# windeployqt runs on Linux); a build on Windows lets Qt's deployment script find them.
set(revertex_qt_libraries Core Gui Widgets)
set(revertex_qt_plugins platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll)
if(CMAKE_CROSSCOMPILING)
  foreach(module ${revertex_qt_libraries})
    install(FILES ${REVERTEX_QT_WINDOWS_BIN}/Qt6${module}.dll DESTINATION .)
  endforeach()
  foreach(plugin ${revertex_qt_plugins})
    cmake_path(GET plugin PARENT_PATH folder)
    install(FILES ${REVERTEX_QT_WINDOWS_PLUGINS}/${plugin} DESTINATION ${folder})
  endforeach()
  # The compiler's runtime comes with debugging information (libstdc++ alone is 23 MB):
  # the packages carry stripped copies.
  foreach(dll ${REVERTEX_MINGW_RUNTIME_DLLS})
    cmake_path(GET dll FILENAME name)
    set(stripped ${CMAKE_BINARY_DIR}/runtime/${name})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/runtime)
    execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${stripped} ${dll} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "Cannot strip ${dll} with ${CMAKE_STRIP}")
    endif()
    install(FILES ${stripped} DESTINATION .)
  endforeach()
elseif(COMMAND qt_generate_deploy_app_script)
  set(CMAKE_INSTALL_BINDIR .)   # windeployqt puts the DLLs beside the program
  qt_generate_deploy_app_script(TARGET revertex FILENAME_VARIABLE revertex_deploy_script
                                NO_UNSUPPORTED_PLATFORM_ERROR)
  install(SCRIPT ${revertex_deploy_script})
endif()
if(NOT CMAKE_CROSSCOMPILING)
  set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION .)
  include(InstallRequiredSystemLibraries)
endif()

revertex_install_user_documents(.)

# Qt's licence and where its source is.
set(REVERTEX_QT_VERSION ${Qt6Core_VERSION})
string(REGEX MATCH "^[0-9]+\\.[0-9]+" REVERTEX_QT_MAJOR_MINOR ${REVERTEX_QT_VERSION})
# How the shipped DLLs were made from that source: the Qt for Windows the cross build uses
# (see its README). A build against another Qt sets REVERTEX_QT_BUILD_NOTE (-D) to say how
# that one was made.
if(NOT DEFINED REVERTEX_QT_BUILD_NOTE)
  string(CONCAT REVERTEX_QT_BUILD_NOTE
    "- The DLLs in this package were cross-built with mingw-w64 from that source as Debian\n"
    "  packages it: qt6-base 6.4.2+dfsg-10, https://snapshot.debian.org/package/qt6-base/6.4.2%2Bdfsg-10/\n"
    "  with one change, so that the Windows platform plugin compiles without OpenGL: in\n"
    "  src/plugins/platforms/windows/qwindowswindow.cpp the line \"#if QT_CONFIG(dynamicgl)\"\n"
    "  reads \"#if QT_CONFIG(dynamicgl) && QT_CONFIG(opengl)\".\n")
endif()
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/Qt.txt.in ${CMAKE_BINARY_DIR}/packaging/Qt.txt @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/Qt.txt
              ${CMAKE_SOURCE_DIR}/packaging/windows/LGPL-3.txt
              ${CMAKE_SOURCE_DIR}/packaging/windows/GPL-3.txt
        DESTINATION licenses)
# Revertex's own licence beside Qt's.
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION licenses RENAME Revertex.txt)

# revertex-<version>-win64.zip, revertex-<version>-win64-setup.exe.
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_FILE_NAME "revertex-${CPACK_PACKAGE_VERSION}-win64")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/WindowsPackageNames.cmake)

find_program(REVERTEX_MAKENSIS makensis)
mark_as_advanced(REVERTEX_MAKENSIS)
set(CPACK_GENERATOR ZIP)
if(REVERTEX_MAKENSIS OR NOT CMAKE_CROSSCOMPILING)
  list(APPEND CPACK_GENERATOR NSIS)
else()
  message(STATUS "makensis not found: cpack makes the zip, no installer (Debian: nsis)")
endif()
if(REVERTEX_MAKENSIS)
  set(CPACK_NSIS_EXECUTABLE ${REVERTEX_MAKENSIS})
endif()

# The installer: Program Files\Revertex, a Start-menu entry with the program's icon, an
# uninstaller, and "Revertex" with its version in Apps & features.
set(revertex_ico ${CMAKE_SOURCE_DIR}/resources/images/revertex.ico)
set(CPACK_NSIS_PACKAGE_NAME "Revertex")
set(CPACK_NSIS_DISPLAY_NAME "Revertex")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${revertex_ico})
set(CPACK_NSIS_MUI_UNIICON ${revertex_ico})
set(CPACK_NSIS_INSTALLED_ICON_NAME revertex.exe)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Revertex")
# A 64-bit installer for a 64-bit program: it installs into the 64-bit Program Files and
# registry, and runs where no 32-bit Windows layer is (Debian's Wine without wine32).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_URL_INFO_ABOUT "http://www.optivant.com")
set(CPACK_NSIS_CONTACT ${REVERTEX_PACKAGE_CONTACT})
