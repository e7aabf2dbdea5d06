# Reports one test program run that happened in the emulated machine: prints
# its standard output and fails unless it exited 0 and, when EXPECTED names a
# file, its output (line ends aside) is that file's text.
set(log ${RESULTS}/${NAME}.log)
set(rc ${RESULTS}/${NAME}.rc)
if(NOT EXISTS ${rc})
    message(FATAL_ERROR "${NAME} did not run in the emulated machine (see windows32.boot_guest)")
endif()
file(READ ${log} output)
file(READ ${rc} code)
string(STRIP "${code}" code)
message("${output}")
if(NOT code STREQUAL "0")
    # Its standard error and Wine's error channel tell a launch that failed
    # from a program that ran and failed.
    file(READ ${RESULTS}/${NAME}.err errors)
    message(FATAL_ERROR "${NAME} exited with ${code}; its standard error and Wine's errors:\n${errors}")
endif()
if(DEFINED EXPECTED)
    file(READ ${EXPECTED} expected)
    string(REPLACE "\r\n" "\n" output "${output}")
    if(NOT output STREQUAL expected)
        message(FATAL_ERROR "${NAME} printed other text than ${EXPECTED} holds")
    endif()
endif()
