# Compresses IN into OUT with GZIP at its best, without the file's name and
# time stamp in the header (gzip -9n), as Debian wants documentation.
execute_process(COMMAND ${GZIP} -9nc ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "gzip ${IN} failed: ${result}")
endif()
