# The firmware the program carries, chosen with REVERTEX_FIRMWARE (see
# cmake/RevertexFirmware.cmake). A program that calls embeddedFirmwareContainer()
# links revertex_embedded_firmware; revertex_firmware alone carries no firmware, so
# fwimage, which checks it, can be built first.
include(${CMAKE_SOURCE_DIR}/cmake/RevertexFirmware.cmake)

# A cross build cannot run the fwimage it builds (unless CMAKE_CROSSCOMPILING_EMULATOR
# runs it): REVERTEX_HOST_FWIMAGE names one built for this machine instead.
set(REVERTEX_HOST_FWIMAGE "" CACHE FILEPATH "fwimage built for the build machine, used by a cross build to check the firmware")
if(REVERTEX_HOST_FWIMAGE)
  set(revertex_fwimage_command ${REVERTEX_HOST_FWIMAGE})
elseif(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  message(FATAL_ERROR "A cross build checks the firmware with fwimage: set REVERTEX_HOST_FWIMAGE to one "
                      "built for this machine, or CMAKE_CROSSCOMPILING_EMULATOR (scripts/build-windows.sh does this)")
else()
  set(revertex_fwimage_command fwimage)
endif()

revertex_choose_firmware(revertex_firmware_source revertex_firmware_format)
set(REVERTEX_FIRMWARE_CONTAINER ${CMAKE_BINARY_DIR}/firmware/firmware.container
    CACHE INTERNAL "The container the build embeds")
revertex_firmware_container(
  OUTPUT ${REVERTEX_FIRMWARE_CONTAINER}
  SOURCE ${revertex_firmware_source}
  FORMAT ${revertex_firmware_format}
  FWIMAGE ${revertex_fwimage_command})

# Windows programs carry the container as a Win32 resource; the others through Qt's
# resource system.
if(WIN32)
  add_library(revertex_embedded_firmware STATIC EmbeddedFirmwareWin32.cpp EmbeddedFirmwareKind.cpp)
  revertex_firmware_win32_resource(TARGET revertex_embedded_firmware CONTAINER ${REVERTEX_FIRMWARE_CONTAINER})
else()
  add_library(revertex_embedded_firmware STATIC EmbeddedFirmware.cpp EmbeddedFirmwareKind.cpp)
  revertex_firmware_resource(TARGET revertex_embedded_firmware CONTAINER ${REVERTEX_FIRMWARE_CONTAINER})
endif()
target_link_libraries(revertex_embedded_firmware PUBLIC revertex_firmware)

# A build without REVERTEX_FIRMWARE says so when it starts: its image would ruin a real camera.
if(NOT REVERTEX_FIRMWARE)
  target_compile_definitions(revertex_embedded_firmware PRIVATE REVERTEX_EMBEDS_TEST_IMAGE=1)
endif()
