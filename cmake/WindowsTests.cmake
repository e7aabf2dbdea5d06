# Registering the Windows test programs' runs with CTest.
#
# quorvel_windows_test(NAME LOCALE FILTER) runs quorvel_windows_tests with a
# GoogleTest filter in a locale (LC_ALL picks Wine's UI language and ANSI code
# page). On x86_64 each run is a Wine process on this machine, all served by
# one wineserver that a fixture holds from the first run to the last. On i686 all
# runs happen in one boot of the emulated machine: a fixture test boots it and
# runs every registered run, and each run's test reports the result it left.
# quorvel_windows_tool_test(NAME LOCALE EXPECTED ARGS...) does the same for a
# run of the quorvel tool, whose output must be EXPECTED exactly.

set(quorvel_windows_bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    # One wineserver serves every run, from the first to the last: a server
    # that shuts down between two runs can kill the next launch before its
    # program starts.
    add_test(NAME windows.wineserver.hold COMMAND ${QUORVEL_WINDOWS_RUNNER} --hold-server)
    add_test(NAME windows.wineserver.release COMMAND ${QUORVEL_WINDOWS_RUNNER} --release-server)
    set_tests_properties(windows.wineserver.hold PROPERTIES FIXTURES_SETUP wineserver RESOURCE_LOCK wine_prefix)
    set_tests_properties(windows.wineserver.release PROPERTIES FIXTURES_CLEANUP wineserver RESOURCE_LOCK wine_prefix)
    # Each run keeps Wine's error channel in a log of its own, printed when it fails.
    set(quorvel_wine_logs ${CMAKE_BINARY_DIR}/wine-logs)

    function(quorvel_windows_test name locale filter)
        add_test(NAME windows.${name}
                 COMMAND ${QUORVEL_WINDOWS_RUNNER} --log ${quorvel_wine_logs}/${name}.log
                         ${quorvel_windows_bin}/quorvel_windows_tests.exe --gtest_filter=${filter})
        # The runs share one prefix and change its registry: one at a time.
        set_tests_properties(windows.${name} PROPERTIES ENVIRONMENT "LC_ALL=${locale}.UTF-8"
                             RESOURCE_LOCK wine_prefix FIXTURES_REQUIRED wineserver TIMEOUT 600)
    endfunction()
    function(quorvel_windows_tool_test name locale expected)
        add_test(NAME windows.${name}
                 COMMAND ${QUORVEL_WINDOWS_RUNNER} --locale ${locale}.UTF-8 --log ${quorvel_wine_logs}/${name}.log
                         ${quorvel_windows_bin}/quorvel.exe ${ARGN})
        set_tests_properties(windows.${name} PROPERTIES PASS_REGULAR_EXPRESSION "^${expected}$"
                             RESOURCE_LOCK wine_prefix FIXTURES_REQUIRED wineserver)
    endfunction()
    function(quorvel_windows_tests_done)
    endfunction()
    return()
endif()

set(quorvel_guest_results ${CMAKE_BINARY_DIR}/guest-results)
set_property(GLOBAL PROPERTY quorvel_guest_jobs "")

# One run in the guest's job, and the test that reports it; when
# `expected_file` is not empty, the run's output must be that file's text.
function(quorvel_guest_run name locale expected_file program)
    string(JOIN "' '" args ${ARGN})
    set_property(GLOBAL APPEND_STRING PROPERTY quorvel_guest_jobs
        "run ${name} ${locale}.UTF-8 '${quorvel_windows_bin}/${program}' '${args}'\n")
    set(expectation)
    if(expected_file)
        set(expectation -DEXPECTED=${expected_file})
    endif()
    add_test(NAME windows32.${name}
             COMMAND ${CMAKE_COMMAND} -DRESULTS=${quorvel_guest_results} -DNAME=${name} ${expectation}
                     -P ${PROJECT_SOURCE_DIR}/cmake/ReportGuestRun.cmake)
    set_tests_properties(windows32.${name} PROPERTIES FIXTURES_REQUIRED guest_runs)
endfunction()

function(quorvel_windows_test name locale filter)
    quorvel_guest_run(${name} ${locale} "" quorvel_windows_tests.exe --gtest_filter=${filter})
endfunction()

function(quorvel_windows_tool_test name locale expected)
    set(expected_file ${CMAKE_BINARY_DIR}/guest-expected/${name}.txt)
    file(WRITE ${expected_file} "${expected}")
    quorvel_guest_run(${name} ${locale} ${expected_file} quorvel.exe ${ARGN})
endfunction()

function(quorvel_windows_tests_done)
    get_property(jobs GLOBAL PROPERTY quorvel_guest_jobs)
    set(script ${CMAKE_BINARY_DIR}/guest-job.sh)
    file(WRITE ${script}
        "# Runs every Windows test program inside the emulated machine; written by CMake.\n"
        "results='${quorvel_guest_results}'\n"
        "rm -rf \"$results\" && mkdir -p \"$results\"\n"
        "wine reg add 'HKCU\\Software\\Wine\\Drivers' /v Graphics /d null /f >/dev/null 2>&1\n"
        "# A program started while the server of the last one shuts down can die\n"
        "# before it starts: each waits for the server to be gone.\n"
        "wineserver -w\n"
        "run() {\n"
        "    local name=$1 locale=$2; shift 2\n"
        "    LC_ALL=$locale WINEDEBUG=-all,err+all wine \"$@\" >\"$results/$name.log\" 2>\"$results/$name.err\"\n"
        "    echo $? >\"$results/$name.rc\"\n"
        "    wineserver -w\n"
        "}\n"
        "${jobs}")
    # The guest's own limit stays under CTest's, so that a boot that overruns
    # still shows the guest's console.
    add_test(NAME windows32.boot_guest
             COMMAND ${QUORVEL_WIN32_GUEST} run --timeout ${QUORVEL_GUEST_JOB_SECONDS}
                     --workdir ${PROJECT_SOURCE_DIR} --script ${script})
    set_tests_properties(windows32.boot_guest PROPERTIES FIXTURES_SETUP guest_runs FIXTURES_REQUIRED emulated_machine
                         TIMEOUT ${QUORVEL_GUEST_TEST_SECONDS} RESOURCE_LOCK emulated_machine)
endfunction()
