# Runs PROGRAM with its output in a file, then shows the file. Under wine, a program may leave
# wine's helper processes behind holding its output: a pipe would then never close.
execute_process(COMMAND ${PROGRAM} ${ARGS} OUTPUT_FILE ${LOG} ERROR_FILE ${LOG}.err RESULT_VARIABLE rc)
file(READ ${LOG} out)
file(READ ${LOG}.err err)
message("${out}${err}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ended with ${rc}")
endif()
