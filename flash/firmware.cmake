# The firmware the program carries, chosen with REVERTEX_FIRMWARE (see
# cmake/RevertexFirmware.cmake). A program that calls embeddedFirmwareContainer()
# links revertex_embedded_firmware; revertex_firmware alone carries no firmware, so
# fwimage, which checks it, can be built first.
include(${CMAKE_SOURCE_DIR}/cmake/RevertexFirmware.cmake)

revertex_choose_firmware(revertex_firmware_source revertex_firmware_format)
set(REVERTEX_FIRMWARE_CONTAINER ${CMAKE_BINARY_DIR}/firmware/firmware.container
    CACHE INTERNAL "The container the build embeds")
revertex_firmware_container(
  OUTPUT ${REVERTEX_FIRMWARE_CONTAINER}
  SOURCE ${revertex_firmware_source}
  FORMAT ${revertex_firmware_format}
  FWIMAGE fwimage)

add_library(revertex_embedded_firmware STATIC EmbeddedFirmware.cpp)
revertex_firmware_resource(TARGET revertex_embedded_firmware CONTAINER ${REVERTEX_FIRMWARE_CONTAINER})
target_link_libraries(revertex_embedded_firmware PUBLIC revertex_firmware)

# A build without REVERTEX_FIRMWARE says so when it starts: its image would ruin a real camera.
if(NOT REVERTEX_FIRMWARE)
  target_compile_definitions(revertex_embedded_firmware PRIVATE REVERTEX_EMBEDS_TEST_IMAGE=1)
endif()
