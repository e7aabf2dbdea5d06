# Quorvel.dll needs nothing but Windows itself: no C or C++ runtime, no MinGW
# start-up code, no msvcrt.dll (which Windows 95 as first shipped lacks, so its
# loader would refuse the module before the installer could say a word). The
# entry point is the module's own DllMain; the few memory and string routines
# are its own; libgcc supplies only compiler helpers that import nothing.
# Only the module is built this way: the test programs keep their runtime.
#
# The module that ships is also stripped (its symbols go to Quorvel.dll.debug,
# linked through .gnu_debuglink) and reproducible: no time of the build and no
# path of the machine ends up in either file.

target_sources(Quorvel PRIVATE platform/win32/standalone_runtime.cpp)
# Freestanding, and no loop turned into a call of the routine it implements.
set_source_files_properties(platform/win32/standalone_runtime.cpp PROPERTIES
    COMPILE_OPTIONS "-ffreestanding;-fno-tree-loop-distribute-patterns")

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(quorvel_entry_point _DllMain@12)
    # 32-bit unwind tables serve only C++ exceptions, which the module does not
    # use; the debugger reads .debug_frame from the symbol file instead.
    target_compile_options(Quorvel PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-asynchronous-unwind-tables>)
else()
    # x86_64 keeps .pdata/.xdata: Windows walks the stack through them.
    set(quorvel_entry_point DllMain)
endif()

# -g does not change the code; it only feeds Quorvel.dll.debug. The prefix
# maps keep the source and build directories out of it (the later map wins
# for a build directory inside the source tree).
target_compile_options(Quorvel PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-g
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}=.>)
target_link_options(Quorvel PRIVATE -nostdlib -Wl,-e,${quorvel_entry_point} -Wl,--no-insert-timestamp)
# Only these libraries, instead of the toolchain's default list.
set_target_properties(Quorvel PROPERTIES LINKER_LANGUAGE CXX)
target_link_libraries(Quorvel PRIVATE kernel32 user32 advapi32 gcc)

# ---- Time stamps ---------------------------------------------------------------------
# Windows compares a module's time stamp with the one a host bound its imports
# against, so each release needs a stamp of its own: the commit's time, or
# SOURCE_DATE_EPOCH when set.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(quorvel_default_epoch $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE quorvel_default_epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE quorvel_git_result ERROR_QUIET)
    if(NOT quorvel_git_result EQUAL 0 OR NOT quorvel_default_epoch MATCHES "^[0-9]+$")
        set(quorvel_default_epoch 0)
    endif()
endif()
set(QUORVEL_SOURCE_DATE_EPOCH ${quorvel_default_epoch} CACHE STRING
    "Time stamp of the built module and its import libraries (seconds since 1970)")
if(NOT QUORVEL_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "QUORVEL_SOURCE_DATE_EPOCH must be a number of seconds, not '${QUORVEL_SOURCE_DATE_EPOCH}'")
endif()

# ---- Finishing the linked module -----------------------------------------------------
set(quorvel_binutils_prefix ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-)
add_custom_command(TARGET Quorvel POST_BUILD
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/pe/finish_module.py
            --nm ${quorvel_binutils_prefix}nm --objcopy ${quorvel_binutils_prefix}objcopy
            --time-stamp ${QUORVEL_SOURCE_DATE_EPOCH} $<TARGET_FILE:Quorvel>
    COMMENT "Checking, stripping and stamping Quorvel.dll"
    VERBATIM)
set_property(TARGET Quorvel APPEND PROPERTY LINK_DEPENDS
    ${PROJECT_SOURCE_DIR}/tools/pe/finish_module.py ${PROJECT_SOURCE_DIR}/tools/pe/pe_file.py)
