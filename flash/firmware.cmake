# The firmware the program carries, chosen with REVERTEX_FIRMWARE (see
# cmake/RevertexFirmware.cmake): none by default, and the program asks for it when it
# starts. A program that calls embeddedFirmwareContainer() links
# revertex_embedded_firmware; revertex_firmware alone carries no firmware, so fwimage,
# which checks it, can be built first. Paths are this file's own, so that a small
# project of the tests can include it as the build does.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/RevertexFirmware.cmake)

revertex_choose_firmware(revertex_firmware_source revertex_firmware_format)
if(NOT revertex_firmware_source)
  add_library(revertex_embedded_firmware STATIC ${CMAKE_CURRENT_LIST_DIR}/EmbeddedFirmwareNone.cpp)
  target_link_libraries(revertex_embedded_firmware PUBLIC revertex_firmware)
  set(REVERTEX_FIRMWARE_CONTAINER "" CACHE INTERNAL "The container the build embeds (none)")
  return()
endif()

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
  add_library(revertex_embedded_firmware STATIC ${CMAKE_CURRENT_LIST_DIR}/EmbeddedFirmwareWin32.cpp)
  revertex_firmware_win32_resource(TARGET revertex_embedded_firmware CONTAINER ${REVERTEX_FIRMWARE_CONTAINER})
else()
  add_library(revertex_embedded_firmware STATIC ${CMAKE_CURRENT_LIST_DIR}/EmbeddedFirmware.cpp)
  revertex_firmware_resource(TARGET revertex_embedded_firmware CONTAINER ${REVERTEX_FIRMWARE_CONTAINER})
endif()
target_link_libraries(revertex_embedded_firmware PUBLIC revertex_firmware)
