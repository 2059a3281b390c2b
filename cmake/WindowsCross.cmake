# A Windows build made on Linux with mingw-w64: where the compiler's runtime DLLs are
# (the packages ship them beside the program), and Wine to run what the build makes.
# Every program and test of this build runs through ${CMAKE_BINARY_DIR}/wine-run.sh,
# which keeps a throw-away Wine prefix inside the build tree.

# REVERTEX_MINGW_RUNTIME_DLLS: libstdc++, libgcc and winpthread, as the compiler finds them.
set(REVERTEX_MINGW_RUNTIME_DLLS "")
if(MINGW)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
    if(failed OR NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
      message(FATAL_ERROR "The compiler's runtime ${dll} was not found (${CMAKE_CXX_COMPILER} -print-file-name)")
    endif()
    cmake_path(NORMAL_PATH path)
    list(APPEND REVERTEX_MINGW_RUNTIME_DLLS ${path})
  endforeach()
endif()

# Qt's DLLs and plugins, from the Qt package the build found.
cmake_path(SET REVERTEX_QT_WINDOWS_ROOT NORMALIZE "${Qt6_DIR}/../../..")
string(REGEX REPLACE "/$" "" REVERTEX_QT_WINDOWS_ROOT "${REVERTEX_QT_WINDOWS_ROOT}")
set(REVERTEX_QT_WINDOWS_BIN ${REVERTEX_QT_WINDOWS_ROOT}/bin)
set(REVERTEX_QT_WINDOWS_PLUGINS ${REVERTEX_QT_WINDOWS_ROOT}/plugins)

find_program(REVERTEX_WINE NAMES wine wine64)
mark_as_advanced(REVERTEX_WINE)
set(REVERTEX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix CACHE PATH
    "The throw-away Wine prefix the build's programs and tests run in")
# COM ports inside Wine: each name is a link in this folder that a test points at a
# pseudo-terminal (ptz2-sim --link). COM2 is never linked: a port with nothing behind it.
set(REVERTEX_WINE_PORTS ${CMAKE_BINARY_DIR}/wine-ports)

set(runtime_dirs ${REVERTEX_QT_WINDOWS_BIN})
foreach(dll ${REVERTEX_MINGW_RUNTIME_DLLS})
  cmake_path(GET dll PARENT_PATH dir)
  list(APPEND runtime_dirs ${dir})
endforeach()
list(REMOVE_DUPLICATES runtime_dirs)
string(JOIN " " REVERTEX_WINE_RUNTIME_DIRS ${runtime_dirs})
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                      WORLD_READ WORLD_EXECUTE)
if(NOT REVERTEX_WINE)
  message(WARNING "wine not found: the Windows programs and tests of this build cannot be run here "
                  "(scripts/install-deps.sh installs it)")
elseif(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()

set(REVERTEX_HOST_SIM "" CACHE FILEPATH
    "ptz2-sim built for this machine: the simulated camera behind Wine's COM ports in the tests")

# revertex_wine_sim_test(<name> SOURCES ... LIBS ...)
# A test program run under Wine while ptz2-sim sits behind COM1 and COM12.
function(revertex_wine_sim_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name}
    COMMAND ${CMAKE_SOURCE_DIR}/tests/windows/with-sim.sh ${REVERTEX_HOST_SIM} ${REVERTEX_WINE_PORTS}
            -- ${CMAKE_BINARY_DIR}/wine-run.sh $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS wine RESOURCE_LOCK wine-prefix)
endfunction()
