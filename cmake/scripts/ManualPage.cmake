# cmake -DSOURCE=revertex.1.scd -DOUTPUT=revertex.1 -DVERSION=x.y.z -DSCDOC=/usr/bin/scdoc -P ManualPage.cmake
#
# Builds the manual page: the scdoc source with its version filled in, through scdoc
# to troff. scdoc reads standard input only, which a custom command cannot redirect.

foreach(required SOURCE OUTPUT VERSION SCDOC)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "ManualPage.cmake: ${required} is not given")
  endif()
endforeach()

set(PROJECT_VERSION ${VERSION})
configure_file(${SOURCE} ${OUTPUT}.scd @ONLY)
execute_process(COMMAND ${SCDOC}
                INPUT_FILE ${OUTPUT}.scd
                OUTPUT_FILE ${OUTPUT}
                ERROR_VARIABLE problem
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "scdoc could not build ${SOURCE}: ${status} ${problem}")
endif()
