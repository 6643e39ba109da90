# cmake -DPROGRAM=... -DOPTION=... -DOUTPUT=... -P ProgramOutput.cmake
# Writes what PROGRAM prints for OPTION into OUTPUT; an OUTPUT ending in .gz is
# compressed as Debian wants it (best compression, no name or time stamp).
string(REGEX REPLACE "\\.gz$" "" text "${OUTPUT}")
execute_process(COMMAND "${PROGRAM}" "${OPTION}" OUTPUT_FILE "${text}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ${OPTION} failed: ${status}")
endif()
if(NOT text STREQUAL OUTPUT)
  execute_process(COMMAND gzip -9nf "${text}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${text} failed: ${status}")
  endif()
endif()
