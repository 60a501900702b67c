# One reader case: the real mutaro runs in a fresh scratch folder on a copy of one fixture log;
# the exit status and stderr are checked, and the output (a file, or stdout) is compared byte for
# byte with a hand-worked expected file.
#   -DMUTARO=binary -DLOG=fixture log -DWORK=scratch folder -DARGS=a^b^c -DEXPECTED=file
#   [-DOUTPUT=produced file in WORK; stdout when absent] [-DSTDERR=exact stderr text]

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${LOG}" DESTINATION "${WORK}")
string(REPLACE "^" ";" args "${ARGS}")
execute_process(COMMAND "${MUTARO}" ${args}
                WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE status
                OUTPUT_FILE "${WORK}/stdout.txt"
                ERROR_VARIABLE stderr
                TIMEOUT 60)
set(failures "")
if(NOT "${status}" STREQUAL "0")
  string(APPEND failures "exit status ${status}, expected 0\n")
endif()
if(DEFINED STDERR AND NOT stderr STREQUAL "${STDERR}")
  string(APPEND failures "stderr differs: [${stderr}], expected [${STDERR}]\n")
endif()
if(DEFINED OUTPUT)
  set(produced "${WORK}/${OUTPUT}")
else()
  set(produced "${WORK}/stdout.txt")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${produced}" "${EXPECTED}" RESULT_VARIABLE differs)
if(differs)
  file(READ "${produced}" got)
  string(APPEND failures "${produced} differs from ${EXPECTED}; it holds:\n${got}")
endif()
if(failures)
  message(FATAL_ERROR "mutaro ${args}\n${failures}stderr:\n${stderr}")
endif()
