# The documents a Linux install carries beside the program, each made from one source
# kept in the repository:
#   revertex.1.gz, revertex-cli.1.gz  the manual pages, from docs/*.1.scd through scdoc;
#   changelog.gz   the Debian changelog, from CHANGELOG.md;
#   copyright      Debian's machine-readable copyright file, with the text of LICENSE.
# gzip -9n is how Debian wants them: best compression, no name or time stamp inside.
# Needs REVERTEX_PACKAGE_CONTACT and REVERTEX_FIRMWARE (empty: no firmware embedded).

option(REVERTEX_MANUAL_PAGE "Build and install the manual page (needs scdoc)" ON)
find_program(REVERTEX_GZIP gzip)
if(NOT REVERTEX_GZIP)
  message(FATAL_ERROR "gzip is not installed; it compresses the manual page and the changelog")
endif()
mark_as_advanced(REVERTEX_GZIP)

set(revertex_documents_dir ${CMAKE_BINARY_DIR}/documents)
file(MAKE_DIRECTORY ${revertex_documents_dir})
set(revertex_documents "")

if(REVERTEX_MANUAL_PAGE)
  find_program(REVERTEX_SCDOC scdoc)
  mark_as_advanced(REVERTEX_SCDOC)
  if(NOT REVERTEX_SCDOC)
    message(FATAL_ERROR "scdoc, which builds the manual page, is not installed (Debian and Ubuntu: "
                        "scdoc; scripts/install-deps.sh installs it). -DREVERTEX_MANUAL_PAGE=OFF "
                        "builds without the manual page.")
  endif()
  foreach(program revertex revertex-cli)
    set(page ${revertex_documents_dir}/${program}.1)
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -DSOURCE=${CMAKE_SOURCE_DIR}/docs/${program}.1.scd -DOUTPUT=${page}
              -DVERSION=${PROJECT_VERSION} -DSCDOC=${REVERTEX_SCDOC}
              -P ${CMAKE_SOURCE_DIR}/cmake/scripts/ManualPage.cmake
      COMMAND ${REVERTEX_GZIP} -9nf ${page}
      DEPENDS ${CMAKE_SOURCE_DIR}/docs/${program}.1.scd ${CMAKE_SOURCE_DIR}/cmake/scripts/ManualPage.cmake
      COMMENT "Building the manual page ${program}.1"
      VERBATIM)
    list(APPEND revertex_documents ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
endif()

set(changelog ${revertex_documents_dir}/changelog)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${CMAKE_SOURCE_DIR}/CHANGELOG.md -DOUTPUT=${changelog}
          -DPACKAGE=revertex -DMAINTAINER=${REVERTEX_PACKAGE_CONTACT}
          -P ${CMAKE_SOURCE_DIR}/cmake/scripts/DebianChangelog.cmake
  COMMAND ${REVERTEX_GZIP} -9nf ${changelog}
  DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/cmake/scripts/DebianChangelog.cmake
  COMMENT "Making the Debian changelog from CHANGELOG.md"
  VERBATIM)
list(APPEND revertex_documents ${changelog}.gz)

# The copyright file: LICENSE's terms (from "Permission" on) as a License paragraph,
# each line indented by one blank, empty lines as " .".
file(READ ${CMAKE_SOURCE_DIR}/LICENSE license)
string(FIND "${license}" "Permission is hereby granted" terms_start)
if(terms_start LESS 0)
  message(FATAL_ERROR "LICENSE does not hold the MIT licence's terms")
endif()
string(SUBSTRING "${license}" ${terms_start} -1 terms)
string(STRIP "${terms}" terms)
string(REGEX REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REGEX REPLACE "\n" "\n " REVERTEX_LICENSE_TEXT " ${terms}")
if(REVERTEX_FIRMWARE)
  set(REVERTEX_FIRMWARE_NOTE [[
Disclaimer: usr/bin/revertex embeds the camera firmware image that was given to
 the build. That image is not part of Revertex and is not covered by the
 licence below: it may be used only on the terms under which it was obtained.]])
else()
  set(REVERTEX_FIRMWARE_NOTE [[
Comment: usr/bin/revertex carries no camera firmware: it reads the firmware the
 user names when it starts, which is not part of Revertex.]])
endif()
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright.in ${revertex_documents_dir}/copyright @ONLY)

add_custom_target(revertex_documents ALL DEPENDS ${revertex_documents})
install(FILES ${changelog}.gz ${revertex_documents_dir}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/revertex)
