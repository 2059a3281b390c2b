# cmake -DBUILD_DIR=... -DCONFIG=... -DPROBES=<target>:<header>;... -P UpwardIncludes.cmake
# Builds each probe target and passes only when every one fails for want of its header.
foreach(probe ${PROBES})
  string(REPLACE ":" ";" probe ${probe})
  list(GET probe 0 target)
  list(GET probe 1 header)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --config ${CONFIG} --target ${target}
                  RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX REPLACE "[.]" "[.]" pattern "${header}")
  # GCC, clang and MSVC put it in these words.
  if(NOT failed OR NOT "${out}${err}" MATCHES "${pattern}.*(No such file|not found)")
    message(FATAL_ERROR "${target}: ${header} should not be reachable from this layer:\n${out}${err}")
  endif()
  message(STATUS "${target}: ${header} is out of reach, as it should be")
endforeach()
