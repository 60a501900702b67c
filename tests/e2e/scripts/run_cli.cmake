# One command-line case: the real mutaro runs in a fresh scratch folder that holds copies of the
# fixture logs, a text file and an empty file; the exit status, stdout and stderr are checked and
# output files are compared byte for byte with hand-worked expected files.
#   -DMUTARO=binary -DDATA=fixture folder -DWORK=scratch folder -DEXIT=status -DARGS=a^b^c
#   [-DSTDOUT=expected file] [-DSTDOUT_MATCH=regex] [-DSTDERR=line^line (exact)] [-DSTDERR_MATCH=regex]
#   [-DCOMPARE=produced^expected^...] [-DUNCHANGED=fixture name] [-DABSENT=file that must not exist]

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(GLOB logs "${DATA}/*.tlf" "${DATA}/*.bin")
file(COPY ${logs} DESTINATION "${WORK}")
file(WRITE "${WORK}/notes.txt" "hello\n")
file(WRITE "${WORK}/empty.tlf" "")
file(MAKE_DIRECTORY "${WORK}/folder.tlf")

string(REPLACE "^" ";" args "${ARGS}")
execute_process(COMMAND "${MUTARO}" ${args}
                WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE status
                OUTPUT_FILE "${WORK}/stdout.txt"
                ERROR_FILE "${WORK}/stderr.txt"
                TIMEOUT 60)
file(READ "${WORK}/stderr.txt" stderr)
file(READ "${WORK}/stdout.txt" stdout)

set(failures "")
if(NOT "${status}" STREQUAL "${EXIT}")
  string(APPEND failures "exit status ${status}, expected ${EXIT}\n")
endif()
if(DEFINED STDOUT)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/stdout.txt" "${STDOUT}" RESULT_VARIABLE differs)
  if(differs)
    file(READ "${STDOUT}" wanted)
    string(APPEND failures "stdout differs; expected:\n${wanted}")
  endif()
endif()
if(DEFINED STDOUT_MATCH AND NOT stdout MATCHES "${STDOUT_MATCH}")
  string(APPEND failures "stdout does not match ${STDOUT_MATCH}\n")
endif()
if(DEFINED STDERR)
  string(REPLACE "^" "\n" wanted "${STDERR}")
  if(NOT wanted STREQUAL "")
    string(APPEND wanted "\n")
  endif()
  if(NOT stderr STREQUAL wanted)
    string(APPEND failures "stderr differs; expected:\n${wanted}")
  endif()
endif()
if(DEFINED STDERR_MATCH AND NOT stderr MATCHES "${STDERR_MATCH}")
  string(APPEND failures "stderr does not match ${STDERR_MATCH}\n")
endif()
if(DEFINED COMPARE)
  string(REPLACE "^" ";" pairs "${COMPARE}")
  list(LENGTH pairs count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET pairs ${i} produced)
    list(GET pairs ${j} expected)
    if(NOT EXISTS "${WORK}/${produced}")
      string(APPEND failures "${produced} was not written\n")
      continue()
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${produced}" "${expected}"
                    RESULT_VARIABLE differs)
    if(differs)
      file(READ "${WORK}/${produced}" got HEX LIMIT 600)
      file(READ "${expected}" wanted HEX LIMIT 600)
      string(APPEND failures "${produced} differs from ${expected}\n  got    ${got}\n  wanted ${wanted}\n")
    endif()
  endforeach()
endif()
if(DEFINED UNCHANGED)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${UNCHANGED}" "${DATA}/${UNCHANGED}"
                  RESULT_VARIABLE differs)
  if(differs)
    string(APPEND failures "${UNCHANGED} was changed\n")
  endif()
endif()
if(DEFINED ABSENT AND EXISTS "${WORK}/${ABSENT}")
  string(APPEND failures "${ABSENT} was written\n")
endif()

if(failures)
  message(FATAL_ERROR "mutaro ${args}\n${failures}--- stdout:\n${stdout}--- stderr:\n${stderr}")
endif()
