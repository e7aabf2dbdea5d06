# Reports one Windows program run that happened in the emulated machine: prints
# what it printed (Wine's errors included when it failed), line ends as on
# this machine, and fails as it did.
set(status_file ${RESULTS}/${NAME}.status)
if(NOT EXISTS ${status_file})
    message(FATAL_ERROR "${NAME} did not run in the emulated machine (see windows.guest_job)")
endif()
file(READ ${RESULTS}/${NAME}.out output)
file(READ ${status_file} status)
string(REPLACE "\r\n" "\n" output "${output}")
execute_process(COMMAND ${CMAKE_COMMAND} -E echo_append "${output}")
string(STRIP "${status}" status)
if(NOT status STREQUAL "0")
    message(FATAL_ERROR "${NAME} exited with status ${status}")
endif()
