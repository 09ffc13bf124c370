# One cli_case, its arguments joined by "|" in CASE: runs PROGRAM (through EMULATOR when set) and
# checks the exit status, standard output and error, and that FILES exist (REMOVE deleted first).
string(REPLACE "|" ";" case "${CASE}")
cmake_parse_arguments(CASE "WINDOWS" "EXIT;STDOUT;STDERR;REMOVE" "ARGS;FILES" ${case})
if(CASE_REMOVE)
  file(REMOVE_RECURSE ${CASE_REMOVE})
endif()
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${CASE_ARGS}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE error)
string(REPLACE "\r\n" "\n" output "${output}")
string(REPLACE "\r\n" "\n" error "${error}")
foreach(path IN LISTS CASE_FILES)
  if(NOT EXISTS ${path})
    string(APPEND status ", no ${path}")
  endif()
endforeach()
if(NOT status STREQUAL CASE_EXIT OR NOT output MATCHES "${CASE_STDOUT}"
   OR NOT error MATCHES "${CASE_STDERR}")
  message(FATAL_ERROR "expected status ${CASE_EXIT}, output ${CASE_STDOUT}, error ${CASE_STDERR}\n"
                      "--- status ${status}, output:\n${output}--- error:\n${error}")
endif()
