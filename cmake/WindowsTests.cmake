# Registering the Windows test programs' runs with CTest, once for both
# architectures.
#
# quorvel_windows_run(NAME LOCALE PROGRAM [ARGS...]) runs PROGRAM, a file of
# the build's bin folder, in LOCALE through tools/wine/wine-run, which keeps
# Wine's error channel in a log of the run's own. Each run is a test of its
# own, with its own time, started by QUORVEL_WINDOWS_RUNNER: on x86_64 a Wine
# process on this machine, on i686 one in the 32-bit root of tools/win32vm.
# The runs share one prefix: a fixture restores its registry before the first
# run. On x86_64 it holds one wineserver until the last, and the runs, which
# change the registry that server serves, take turns. In the 32-bit root each
# run has a server of its own that ends with it, and Wine saves a registry by
# renaming a whole new file into place: runs there go side by side.
# quorvel_windows_test(NAME LOCALE FILTER) runs the GoogleTest program with a
# filter; quorvel_windows_tool_test(NAME LOCALE EXPECTED ARGS...) runs the
# quorvel tool, whose output must be EXPECTED exactly.

set(quorvel_windows_bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(quorvel_wine_logs ${CMAKE_BINARY_DIR}/wine-logs)

# A wineserver that shuts down between two runs can kill the next launch
# before its program starts.
add_test(NAME windows.wineserver.hold COMMAND ${QUORVEL_WINDOWS_RUNNER} --hold-server)
add_test(NAME windows.wineserver.release COMMAND ${QUORVEL_WINDOWS_RUNNER} --release-server)
set_tests_properties(windows.wineserver.hold PROPERTIES FIXTURES_SETUP wineserver RESOURCE_LOCK wine_prefix
                     TIMEOUT ${QUORVEL_WINDOWS_TEST_SECONDS} FIXTURES_REQUIRED "${QUORVEL_WINDOWS_FIXTURES}")
set_tests_properties(windows.wineserver.release PROPERTIES FIXTURES_CLEANUP wineserver RESOURCE_LOCK wine_prefix
                     TIMEOUT ${QUORVEL_WINDOWS_TEST_SECONDS})

# quorvel_windows_one_at_a_time(TEST...): tests that share the x86_64 prefix's server.
function(quorvel_windows_one_at_a_time)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set_property(TEST ${ARGN} APPEND PROPERTY RESOURCE_LOCK wine_prefix)
    endif()
endfunction()

function(quorvel_windows_run name locale program)
    add_test(NAME windows.${name}
             COMMAND ${QUORVEL_WINDOWS_RUNNER} --locale ${locale}.UTF-8 --log ${quorvel_wine_logs}/${name}.log
                     ${quorvel_windows_bin}/${program} ${ARGN})
    set_tests_properties(windows.${name} PROPERTIES FIXTURES_REQUIRED wineserver TIMEOUT ${QUORVEL_WINDOWS_TEST_SECONDS})
    quorvel_windows_one_at_a_time(windows.${name})
endfunction()

# A GoogleTest program passes by its own word: 32-bit Wine 8.0 now and then
# ends a program that crashed with status 0 on a busy machine.
function(quorvel_windows_test name locale filter)
    quorvel_windows_run(${name} ${locale} quorvel_windows_tests.exe --gtest_filter=${filter})
    quorvel_windows_gtest_verdict(windows.${name})
endfunction()

function(quorvel_windows_gtest_verdict test)
    set_tests_properties(${test} PROPERTIES PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
                         FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]|wine-run: .* exited with status")
endfunction()

function(quorvel_windows_tool_test name locale expected)
    quorvel_windows_run(${name} ${locale} quorvel.exe ${ARGN})
    set_tests_properties(windows.${name} PROPERTIES PASS_REGULAR_EXPRESSION "^${expected}$")
endfunction()
