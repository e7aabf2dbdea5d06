# Registering the Windows test programs' runs with CTest, once for both
# architectures.
#
# quorvel_windows_run(NAME LOCALE PROGRAM [ARGS...]) runs PROGRAM, a file of
# the build's bin folder, in LOCALE through tools/wine/wine-run, which keeps
# Wine's error channel in a log of the run's own. Only where it runs differs:
# on x86_64 each run is a Wine process on this machine, all served by one
# wineserver that a fixture holds from the first run to the last; on i686 all
# runs happen in one boot of the emulated machine (tests/windows/guest_runs.sh
# runs the list of them) and each run's test reports what it left there.
# quorvel_windows_test(NAME LOCALE FILTER) runs the GoogleTest program with a
# filter; quorvel_windows_tool_test(NAME LOCALE EXPECTED ARGS...) runs the
# quorvel tool, whose output must be EXPECTED exactly.

set(quorvel_windows_bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(quorvel_wine_logs ${CMAKE_BINARY_DIR}/wine-logs)
set(quorvel_guest_runs ${CMAKE_BINARY_DIR}/guest-runs.tsv)
set(quorvel_guest_results ${CMAKE_BINARY_DIR}/guest-results)
set_property(GLOBAL PROPERTY quorvel_guest_runs "")

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    # A wineserver that shuts down between two runs can kill the next launch
    # before its program starts.
    add_test(NAME windows.wineserver.hold COMMAND ${QUORVEL_WINDOWS_RUNNER} --hold-server)
    add_test(NAME windows.wineserver.release COMMAND ${QUORVEL_WINDOWS_RUNNER} --release-server)
    set_tests_properties(windows.wineserver.hold PROPERTIES FIXTURES_SETUP wineserver RESOURCE_LOCK wine_prefix)
    set_tests_properties(windows.wineserver.release PROPERTIES FIXTURES_CLEANUP wineserver RESOURCE_LOCK wine_prefix)
endif()

function(quorvel_windows_run name locale program)
    set(run --locale ${locale}.UTF-8 --log ${quorvel_wine_logs}/${name}.log ${quorvel_windows_bin}/${program} ${ARGN})
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        add_test(NAME windows.${name} COMMAND ${QUORVEL_WINDOWS_RUNNER} ${run})
        # The runs share one prefix and change its registry: one at a time.
        set_tests_properties(windows.${name} PROPERTIES RESOURCE_LOCK wine_prefix FIXTURES_REQUIRED wineserver
                             TIMEOUT 600)
    else()
        list(JOIN run "\t" line)
        set_property(GLOBAL APPEND_STRING PROPERTY quorvel_guest_runs "${name}\t${line}\n")
        add_test(NAME windows.${name} COMMAND ${CMAKE_COMMAND} -DRESULTS=${quorvel_guest_results} -DNAME=${name}
                                              -P ${PROJECT_SOURCE_DIR}/cmake/ReportGuestRun.cmake)
        set_tests_properties(windows.${name} PROPERTIES FIXTURES_REQUIRED guest_runs)
    endif()
endfunction()

function(quorvel_windows_test name locale filter)
    quorvel_windows_run(${name} ${locale} quorvel_windows_tests.exe --gtest_filter=${filter})
endfunction()

function(quorvel_windows_tool_test name locale expected)
    quorvel_windows_run(${name} ${locale} quorvel.exe ${ARGN})
    set_tests_properties(windows.${name} PROPERTIES PASS_REGULAR_EXPRESSION "^${expected}$")
endfunction()

# On i686, the one boot that runs every registered run, before their tests
# report them. The guest's own limit stays under CTest's, so that a boot that
# overruns still shows the guest's console.
function(quorvel_windows_tests_done)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        return()
    endif()
    get_property(runs GLOBAL PROPERTY quorvel_guest_runs)
    file(WRITE ${quorvel_guest_runs} "${runs}")
    add_test(NAME windows.guest_job
             COMMAND ${QUORVEL_WIN32_GUEST} run --timeout ${QUORVEL_GUEST_JOB_SECONDS} --workdir ${CMAKE_BINARY_DIR}
                     -- ${PROJECT_SOURCE_DIR}/tests/windows/guest_runs.sh ${quorvel_guest_runs} ${quorvel_guest_results})
    set_tests_properties(windows.guest_job PROPERTIES FIXTURES_SETUP guest_runs FIXTURES_REQUIRED emulated_machine
                         TIMEOUT ${QUORVEL_GUEST_TEST_SECONDS} RESOURCE_LOCK emulated_machine)
endfunction()
