# Registering the Windows test programs' runs with CTest, once for both
# architectures.
#
# quorvel_windows_run(NAME LOCALE PROGRAM [ARGS...]) runs PROGRAM, a file of
# the build's bin folder, in LOCALE through tools/wine/wine-run, which keeps
# Wine's error channel in a log of the run's own. Each run is a test of its
# own, with its own time, started by QUORVEL_WINDOWS_RUNNER: on x86_64 a Wine
# process on this machine, on i686 one in the 32-bit root of tools/win32vm.
# The runs share one prefix: a fixture restores its registry before the first
# run and holds one wineserver until the last (in the 32-bit root, where each
# run's processes end with it, every run has a server of its own).
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

function(quorvel_windows_run name locale program)
    add_test(NAME windows.${name}
             COMMAND ${QUORVEL_WINDOWS_RUNNER} --locale ${locale}.UTF-8 --log ${quorvel_wine_logs}/${name}.log
                     ${quorvel_windows_bin}/${program} ${ARGN})
    # The runs share one prefix and change its registry: one at a time.
    set_tests_properties(windows.${name} PROPERTIES RESOURCE_LOCK wine_prefix FIXTURES_REQUIRED wineserver
                         TIMEOUT ${QUORVEL_WINDOWS_TEST_SECONDS})
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
