# Reports one test program run that happened in the emulated machine: prints
# its output and fails unless it exited 0.
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
    message(FATAL_ERROR "${NAME} exited with ${code}")
endif()
