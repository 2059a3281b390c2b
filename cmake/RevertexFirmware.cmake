# Choosing, checking and embedding the firmware the program carries. The firmware is
# data supplied with the build: REVERTEX_FIRMWARE names it, fwimage checks and packs
# it while building (a bad file fails the build with fwimage's message), and rcc
# compiles the container into the program as the resource :/CUSTOM/101.

set(REVERTEX_FIRMWARE_TEST_IMAGE ${CMAKE_CURRENT_LIST_DIR}/../resources/firmware/ptz2-test-image.container)
cmake_path(NORMAL_PATH REVERTEX_FIRMWARE_TEST_IMAGE)

# revertex_choose_firmware(<file_var> <format_var>)
# The file named by REVERTEX_FIRMWARE (CMake makes a relative name given with -D
# absolute from the directory it runs in; any other relative name is taken from the
# source directory) and the format to read it in; without it, our own test image, which is
# fit only for the simulated camera.
function(revertex_choose_firmware file_var format_var)
  set(REVERTEX_FIRMWARE "" CACHE FILEPATH
      "Firmware to embed: a container, a raw MCS-51 image, an Intel HEX file or a Windows program carrying CUSTOM/101 (empty: the test image for the simulated camera)")
  set(REVERTEX_FIRMWARE_FORMAT auto CACHE STRING
      "How to read REVERTEX_FIRMWARE: auto, container, raw, hex or exe (see fwimage --help)")
  set_property(CACHE REVERTEX_FIRMWARE_FORMAT PROPERTY STRINGS auto container raw hex exe)
  if(NOT REVERTEX_FIRMWARE_FORMAT MATCHES "^(auto|container|raw|hex|exe)$")
    message(FATAL_ERROR "REVERTEX_FIRMWARE_FORMAT is '${REVERTEX_FIRMWARE_FORMAT}': use auto, container, raw, hex or exe")
  endif()

  if(REVERTEX_FIRMWARE)
    cmake_path(ABSOLUTE_PATH REVERTEX_FIRMWARE BASE_DIRECTORY ${CMAKE_SOURCE_DIR} NORMALIZE OUTPUT_VARIABLE firmware)
    if(NOT EXISTS ${firmware} OR IS_DIRECTORY ${firmware})
      message(FATAL_ERROR "REVERTEX_FIRMWARE: no such file: ${firmware}")
    endif()
    message(STATUS "Firmware: ${firmware} (checked by fwimage while building)")
  else()
    set(firmware ${REVERTEX_FIRMWARE_TEST_IMAGE})
    message(WARNING "Firmware: no REVERTEX_FIRMWARE given, embedding the test image ${firmware}. "
                   "This build is for the simulated camera only: never flash a real camera with it.")
  endif()
  set(${file_var} ${firmware} PARENT_SCOPE)
  set(${format_var} ${REVERTEX_FIRMWARE_FORMAT} PARENT_SCOPE)
endfunction()

# revertex_firmware_container(OUTPUT <container> SOURCE <file> [FORMAT <format>] FWIMAGE <target or path>)
# Build step: fwimage checks every record of SOURCE and writes the container. It
# writes nothing when the file is bad, so the build stops and tries again next time.
function(revertex_firmware_container)
  cmake_parse_arguments(A "" "OUTPUT;SOURCE;FORMAT;FWIMAGE" "" ${ARGN})
  if(NOT A_FORMAT)
    set(A_FORMAT auto)
  endif()
  get_filename_component(output_dir ${A_OUTPUT} DIRECTORY)
  file(MAKE_DIRECTORY ${output_dir})
  add_custom_command(OUTPUT ${A_OUTPUT}
    COMMAND ${A_FWIMAGE} embed --format=${A_FORMAT} ${A_SOURCE} ${A_OUTPUT}
    DEPENDS ${A_SOURCE} ${A_FWIMAGE}
    COMMENT "Checking the firmware ${A_SOURCE}"
    VERBATIM)
endfunction()

# revertex_firmware_resource(TARGET <library> CONTAINER <container>)
# Compiles the container into the library as :/CUSTOM/101 (the original program's
# resource type "CUSTOM", ID 101), resource name revertex_firmware_resource.
function(revertex_firmware_resource)
  cmake_parse_arguments(A "" "TARGET;CONTAINER" "" ${ARGN})
  set(qrc ${CMAKE_CURRENT_BINARY_DIR}/revertex_firmware_resource.qrc)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/qrc_revertex_firmware_resource.cpp)
  file(CONFIGURE OUTPUT ${qrc} CONTENT [[<!DOCTYPE RCC>
<RCC version="1.0">
  <qresource prefix="/CUSTOM">
    <file alias="101">@A_CONTAINER@</file>
  </qresource>
</RCC>
]] @ONLY)
  add_custom_command(OUTPUT ${source}
    COMMAND Qt6::rcc --name revertex_firmware_resource --output ${source} ${qrc}
    DEPENDS ${qrc} ${A_CONTAINER} Qt6::rcc
    COMMENT "Embedding the firmware container as :/CUSTOM/101"
    VERBATIM)
  set_source_files_properties(${source} PROPERTIES GENERATED ON SKIP_AUTOMOC ON SKIP_AUTOUIC ON SKIP_AUTORCC ON)
  target_sources(${A_TARGET} PRIVATE ${source})
endfunction()
