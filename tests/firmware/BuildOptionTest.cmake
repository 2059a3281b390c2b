# cmake -DFWIMAGE=... -DSOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=... -P BuildOptionTest.cmake
# Configures and builds build-option/ (the firmware step of the real build, and with
# WITH_PROGRAM the library that embeds it) with the default, a good and a bad
# REVERTEX_FIRMWARE, and checks what the build says and makes.

cmake_policy(VERSION 3.22)

set(project_dir ${SOURCE_DIR}/tests/firmware/build-option)
set(test_image ${SOURCE_DIR}/resources/firmware/ptz2-test-image.container)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# try_build(<name> <expect: built|build-fails|configure-fails> <output_var> [-D...])
# The build directory is WORK_DIR/<name>: the same name builds again in the same one.
function(try_build name expect output_var)
  set(binary ${WORK_DIR}/${name})
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${project_dir} -B ${binary} -G ${GENERATOR}
            -DREVERTEX_SOURCE_DIR=${SOURCE_DIR} -DFWIMAGE=${FWIMAGE} ${ARGN}
    RESULT_VARIABLE configured OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(log "${out}${err}")
  if(configured EQUAL 0)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${binary}
                    RESULT_VARIABLE built OUTPUT_VARIABLE out ERROR_VARIABLE err)
    string(APPEND log "${out}${err}")
  endif()
  if(expect STREQUAL "configure-fails")
    if(configured EQUAL 0)
      message(FATAL_ERROR "${name}: configured, but should have been refused:\n${log}")
    endif()
  elseif(NOT configured EQUAL 0)
    message(FATAL_ERROR "${name}: configure failed:\n${log}")
  elseif(expect STREQUAL "built" AND NOT built EQUAL 0)
    message(FATAL_ERROR "${name}: build failed:\n${log}")
  elseif(expect STREQUAL "build-fails" AND built EQUAL 0)
    message(FATAL_ERROR "${name}: built, but should have been refused:\n${log}")
  endif()
  set(${output_var} "${log}" PARENT_SCOPE)
endfunction()

function(expect_in name log text)
  # CMake wraps warnings across lines: compare with white space folded.
  string(REGEX REPLACE "[ \t\r\n]+" " " folded "${log}")
  string(FIND "${folded}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${name}: '${text}' not in the output:\n${log}")
  endif()
endfunction()

function(expect_same_file name actual expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${actual} ${expected} RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${name}: ${actual} is not ${expected}")
  endif()
endfunction()

function(expect_program_writes name binary expected)
  execute_process(COMMAND ${binary}/embedded-firmware ${binary}/embedded.out RESULT_VARIABLE status)
  if(expected STREQUAL "none")
    if(NOT status EQUAL 3)
      message(FATAL_ERROR "${name}: the program carries firmware (status ${status}), it should carry none")
    endif()
  elseif(NOT status EQUAL 0)
    message(FATAL_ERROR "${name}: the program carries no firmware (status ${status})")
  else()
    expect_same_file(${name} ${binary}/embedded.out ${expected})
  endif()
endfunction()

# Without the option: nothing is embedded, and the build says the program asks for it.
try_build(default built log)
expect_in(default "${log}" "Firmware: none embedded; the program asks for it when it starts")
if(EXISTS ${WORK_DIR}/default/firmware/firmware.container)
  message(FATAL_ERROR "default: a container was made without REVERTEX_FIRMWARE")
endif()

# A good raw image, packed into a container at build time and carried by the library
# the program links; none again once the option is emptied in the same build.
execute_process(COMMAND ${FWIMAGE} unpack ${test_image} ${WORK_DIR}/good.bin RESULT_VARIABLE failed)
execute_process(COMMAND ${FWIMAGE} pack ${WORK_DIR}/good.bin ${WORK_DIR}/good.container RESULT_VARIABLE failed2)
if(failed OR failed2)
  message(FATAL_ERROR "fwimage could not prepare the good image")
endif()
try_build(program built log -DWITH_PROGRAM=ON -DREVERTEX_FIRMWARE=${WORK_DIR}/good.bin)
expect_in(program "${log}" "Firmware: ${WORK_DIR}/good.bin")
expect_same_file(program ${WORK_DIR}/program/firmware/firmware.container ${WORK_DIR}/good.container)
expect_program_writes(program ${WORK_DIR}/program ${WORK_DIR}/good.container)
try_build(program built log -DWITH_PROGRAM=ON -DREVERTEX_FIRMWARE=)
expect_in(program-then-none "${log}" "Firmware: none embedded")
expect_program_writes(program-then-none ${WORK_DIR}/program none)

# An image of another version than the camera check compares with.
execute_process(COMMAND perl -0777 -pe "s/CBOX 3\\.46/CBOX 3.40/" ${WORK_DIR}/good.bin
                OUTPUT_FILE ${WORK_DIR}/older.bin RESULT_VARIABLE failed)
file(SIZE ${WORK_DIR}/older.bin older_size)
if(failed OR NOT older_size EQUAL 57536)
  message(FATAL_ERROR "could not make the image of another version")
endif()
try_build(older build-fails log -DREVERTEX_FIRMWARE=${WORK_DIR}/older.bin)
expect_in(older "${log}" "older.bin: version text \"CBOX 3.40\", this wizard flashes 3.46")

# A container cut short: the build stops with fwimage's message and makes nothing.
execute_process(COMMAND head -c 20000 ${test_image} OUTPUT_FILE ${WORK_DIR}/cut.container)
try_build(cut build-fails log -DREVERTEX_FIRMWARE=${WORK_DIR}/cut.container)
expect_in(cut "${log}" "cut.container: record 284 of 899: length 65 runs past the end: only 30 bytes are left")
if(EXISTS ${WORK_DIR}/cut/firmware/firmware.container)
  message(FATAL_ERROR "cut: a container was written for a bad firmware file")
endif()

# An image that is not whole lines.
file(WRITE ${WORK_DIR}/text.bin "this is not firmware")
try_build(text build-fails log -DREVERTEX_FIRMWARE=${WORK_DIR}/text.bin)
expect_in(text "${log}" "the image is 20 bytes, not a whole number of 64-byte lines")

# A file that is not there is refused when configuring.
try_build(missing configure-fails log -DREVERTEX_FIRMWARE=${WORK_DIR}/no-such-file.bin)
# (CMake wraps the error text, so the name is looked for on its own.)
expect_in(missing "${log}" "REVERTEX_FIRMWARE: no such file:")
expect_in(missing "${log}" "no-such-file.bin")

# A Windows program carrying the container as resource CUSTOM/101, made here with
# MinGW-w64 where it is installed: the container comes out of it as stored.
find_program(mingw_windres x86_64-w64-mingw32-windres)
find_program(mingw_gcc x86_64-w64-mingw32-gcc)
if(mingw_windres AND mingw_gcc)
  file(WRITE ${WORK_DIR}/carrier.rc "101 CUSTOM \"${WORK_DIR}/good.container\"\n")
  file(WRITE ${WORK_DIR}/carrier.c "int main(void) { return 0; }\n")
  execute_process(COMMAND ${mingw_windres} -O coff ${WORK_DIR}/carrier.rc ${WORK_DIR}/carrier.o RESULT_VARIABLE failed)
  execute_process(COMMAND ${mingw_gcc} -s -o ${WORK_DIR}/carrier.exe ${WORK_DIR}/carrier.c ${WORK_DIR}/carrier.o
                  RESULT_VARIABLE failed2)
  if(failed OR failed2)
    message(FATAL_ERROR "MinGW-w64 could not build the Windows program")
  endif()
  try_build(good-exe built log -DREVERTEX_FIRMWARE=${WORK_DIR}/carrier.exe)
  expect_in(good-exe "${log}" "(exe): 899 lines, version CBOX 3.46")
  expect_same_file(good-exe ${WORK_DIR}/good-exe/firmware/firmware.container ${WORK_DIR}/good.container)

  execute_process(COMMAND head -c 5000 ${WORK_DIR}/carrier.exe OUTPUT_FILE ${WORK_DIR}/cut.exe)
  try_build(cut-exe build-fails log -DREVERTEX_FIRMWARE=${WORK_DIR}/cut.exe -DREVERTEX_FIRMWARE_FORMAT=exe)
  expect_in(cut-exe "${log}" "cut.exe: Windows program: ")
  expect_in(cut-exe "${log}" "runs past the end of the file (5000 bytes)")
else()
  message(STATUS "MinGW-w64 not installed: no Windows program tried")
endif()

message(STATUS "the firmware build option accepts good files and refuses bad ones")
