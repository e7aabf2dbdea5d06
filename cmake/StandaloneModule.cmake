# Quorvel.dll needs nothing but Windows itself: no C or C++ runtime, no MinGW
# start-up code, no msvcrt.dll (which Windows 95 as first shipped lacks, so its
# loader would refuse the module before the installer could say a word). The
# entry point is the module's own DllMain; the few memory and string routines
# are its own; libgcc supplies only compiler helpers that import nothing.
# Only the module is built this way: the test programs keep their runtime.
# The module's objects (WindowsModule.cmake) are compiled for this here;
# quorvel_finish_standalone_module(TARGET) links and finishes a module of them.
#
# The module that ships is also stripped (its symbols go to Quorvel.dll.debug,
# linked through .gnu_debuglink) and reproducible: no time of the build and no
# path of the machine ends up in either file.

target_sources(quorvel_module_objects PRIVATE platform/win32/standalone_runtime.cpp)
# Freestanding, and no loop turned into a call of the routine it implements.
set_source_files_properties(platform/win32/standalone_runtime.cpp PROPERTIES
    COMPILE_OPTIONS "-ffreestanding;-fno-tree-loop-distribute-patterns")

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(quorvel_entry_point _DllMain@12)
    # 32-bit unwind tables serve only C++ exceptions, which the module does not
    # use; the debugger reads .debug_frame from the symbol file instead.
    target_compile_options(quorvel_module_objects PRIVATE -fno-asynchronous-unwind-tables)
else()
    # x86_64 keeps .pdata/.xdata: Windows walks the stack through them.
    set(quorvel_entry_point DllMain)
endif()

# -g does not change the code; it only feeds Quorvel.dll.debug. The prefix
# maps keep the source and build directories out of it (the later map wins
# for a build directory inside the source tree).
target_compile_options(quorvel_module_objects PRIVATE -g
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)

# ---- Time stamps ---------------------------------------------------------------------
# Windows compares a module's time stamp with the one a host bound its imports
# against, so each release needs a stamp of its own: QUORVEL_SOURCE_DATE_EPOCH
# when given, else SOURCE_DATE_EPOCH when set, else the time of the commit
# built. A new commit or checkout reconfigures the build (HEAD and its reflog
# are configure dependencies), so the stamp follows the commit without anyone
# reconfiguring by hand.
set(QUORVEL_SOURCE_DATE_EPOCH "" CACHE STRING
    "Time stamp of the built module (seconds since 1970); empty: SOURCE_DATE_EPOCH, else the commit's time")
if(NOT QUORVEL_SOURCE_DATE_EPOCH STREQUAL "")
    set(quorvel_time_stamp ${QUORVEL_SOURCE_DATE_EPOCH})
elseif(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(quorvel_time_stamp $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE quorvel_time_stamp OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE quorvel_git_result ERROR_QUIET)
    if(NOT quorvel_git_result EQUAL 0)
        set(quorvel_time_stamp 0)
    endif()
    foreach(name HEAD logs/HEAD)
        execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse --path-format=absolute --git-path ${name}
                        OUTPUT_VARIABLE quorvel_git_file OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(quorvel_git_file AND EXISTS ${quorvel_git_file})
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${quorvel_git_file})
        endif()
    endforeach()
endif()
if(NOT quorvel_time_stamp MATCHES "^[0-9]+$")
    message(FATAL_ERROR "The module's time stamp must be a number of seconds, not '${quorvel_time_stamp}'")
endif()
# The stamp also as a file that the link depends on: a new stamp relinks the
# module, which runs the finishing step below with it.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/module-time-stamp.txt CONTENT "${quorvel_time_stamp}\n")

# ---- Linking and finishing a module -------------------------------------------------
set(quorvel_binutils_prefix ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-)
function(quorvel_finish_standalone_module target)
    target_link_options(${target} PRIVATE -nostdlib -Wl,-e,${quorvel_entry_point} -Wl,--no-insert-timestamp)
    # Only these libraries, instead of the toolchain's default list.
    set_target_properties(${target} PROPERTIES LINKER_LANGUAGE CXX)
    target_link_libraries(${target} PRIVATE kernel32 user32 advapi32 gcc)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/finish_module.py
                --nm ${quorvel_binutils_prefix}nm --objcopy ${quorvel_binutils_prefix}objcopy
                --time-stamp ${quorvel_time_stamp} $<TARGET_FILE:${target}>
        COMMENT "Checking, stripping and stamping Quorvel.dll (${target})"
        VERBATIM)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_BINARY_DIR}/module-time-stamp.txt
        ${PROJECT_SOURCE_DIR}/cmake/finish_module.py ${PROJECT_SOURCE_DIR}/cmake/pe_extras.py)
endfunction()
