# kivo-check's exit codes and output lines: cmake -DCHECK=kivo-check -DSCRIPTS=tests/scripts -P this
function(expect code)
  execute_process(COMMAND ${CHECK} ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL code)
    message(FATAL_ERROR "kivo-check ${ARGN}: exit ${rc}, expected ${code}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

expect(0 ${SCRIPTS}/language/comments.txt)
expect(1 ${SCRIPTS}/language/comments.txt ${SCRIPTS}/language/keyword_case.txt)
if(NOT out STREQUAL "${SCRIPTS}/language/keyword_case.txt:2: Print is case sensitive - Komenda nieznana! / Bledna instrukcja w uruchomionym skrypcie\n")
  message(FATAL_ERROR "unexpected output:\n${out}")
endif()
# An unreadable file outweighs marked lines, and the other files are still checked.
expect(2 ${SCRIPTS}/language/keyword_case.txt ${SCRIPTS}/no/such/script.txt)
if(out STREQUAL "")
  message(FATAL_ERROR "the readable script was not checked")
endif()
