# The host developers' kit: the module's version resource, its import
# libraries, and what `cmake --install BUILD_DIR --prefix DIR` lays out for the
# programs that call Quorvel.dll:
#
#   bin/Quorvel.dll
#   include/quorvel.h             the six functions, the buffer protocol
#   include/quorvel_loader.h      resolving them at run time
#   include/quorvel.nsh           macros for NSIS installer scripts
#   lib/libQuorvel.dll.a          import library for MinGW (GNU ld, lld)
#   lib/Quorvel.lib               import library for Microsoft's linker (and lld-link)
#   lib/Quorvel.def               the export table: decorated names and ordinals
#   lib/cmake/Quorvel/            find_package(Quorvel): Quorvel::Quorvel, Quorvel::Headers
#   share/doc/Quorvel/            the host developers' guide
#   SHA256SUMS                    the checksums of all of the above
#
# That is the install component "kit"; the component "symbols" adds
# bin/Quorvel.dll.debug. `cmake --build BUILD_DIR --target package` makes
# Quorvel-VERSION-win32.zip (or -win64) of the kit and
# Quorvel-VERSION-win32-symbols.zip of the symbols, both unpacking into
# Quorvel-VERSION-win32/.
include(CMakePackageConfigHelpers)

set(QUORVEL_KIT_DIR ${PROJECT_BINARY_DIR}/kit)
file(MAKE_DIRECTORY ${QUORVEL_KIT_DIR})

# ---- Version resource ----------------------------------------------------------------
# The version is project()'s; the resource script is filled in here and
# compiled into the module (see WindowsModule.cmake).
set(QUORVEL_COMPANY_NAME "Quorvel project")
set(QUORVEL_PRODUCT_NAME "Quorvel")
set(QUORVEL_FILE_DESCRIPTION "Quorvel string and message library")
if(PROJECT_VERSION_TWEAK)
    set(QUORVEL_VERSION_TWEAK ${PROJECT_VERSION_TWEAK})
else()
    set(QUORVEL_VERSION_TWEAK 0)
endif()
# The pseudo-localized test module (PseudoModule.cmake) says so in a version
# resource of its own: VS_FF_SPECIALBUILD, which tools/sign refuses, and a
# SpecialBuild text that Explorer's Properties page shows and the kit's
# install refuses.
set(QUORVEL_FILE_FLAGS 0x0)
set(QUORVEL_SPECIAL_BUILD_VALUE "")
configure_file(${PROJECT_SOURCE_DIR}/catalog/version.rc.in ${PROJECT_BINARY_DIR}/generated/version.rc @ONLY)
set(QUORVEL_FILE_FLAGS "0x20  /* VS_FF_SPECIALBUILD */")
set(QUORVEL_SPECIAL_BUILD_VALUE "\n            VALUE \"SpecialBuild\",     \"Pseudo-localized test build: every text a generated stand-in, not for release\"")
configure_file(${PROJECT_SOURCE_DIR}/catalog/version.rc.in ${PROJECT_BINARY_DIR}/generated/pseudo_version.rc @ONLY)

# ---- Export table ---------------------------------------------------------------------
# module/Quorvel32.def and Quorvel64.def map each export to the function
# that implements it. The import libraries need only the export names and
# ordinals: read them from there.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUORVEL_DEF})
file(STRINGS ${QUORVEL_DEF} quorvel_def_lines REGEX "^[ \t]+[^ \t;]")
set(quorvel_export_lines "")
set(quorvel_export_names "")
set(quorvel_export_count 0)
foreach(line IN LISTS quorvel_def_lines)
    if(NOT line MATCHES "^[ \t]+([^ \t=]+)([ \t]*=[ \t]*[^ \t]+)?[ \t]+@([0-9]+)[ \t]*$")
        message(FATAL_ERROR "${QUORVEL_DEF}: cannot read the export line '${line}'")
    endif()
    string(APPEND quorvel_export_lines "    ${CMAKE_MATCH_1} @${CMAKE_MATCH_3}\n")
    list(APPEND quorvel_export_names ${CMAKE_MATCH_1})
    set(quorvel_ordinal_${CMAKE_MATCH_1} ${CMAKE_MATCH_3})
    math(EXPR quorvel_export_count "${quorvel_export_count} + 1")
endforeach()
if(NOT quorvel_export_count EQUAL 6)
    message(FATAL_ERROR "${QUORVEL_DEF}: ${quorvel_export_count} exports, expected 6")
endif()

# MinGW's C++ compilers give the five decorated functions other names than
# Microsoft's. The MinGW import library carries those names as well, each
# importing the decorated export, so that MinGW C++ hosts link them through
# quorvel.h like MSVC hosts do. The parameter codes follow the signatures in
# quorvel.h (j unsigned int, Pc char*, m unsigned long).
set(quorvel_gnu_parameters_DllDynamicMessageBox jj)
set(quorvel_gnu_parameters_DllGetDynamicString jPcmj)
set(quorvel_gnu_parameters_DllGetString jPcm)
set(quorvel_gnu_parameters_DllMessageBox j)
set(quorvel_gnu_parameters_DllMessageBoxWithSuppliedSubString jjPc)
set(quorvel_gnu_alias_lines "")
foreach(export IN LISTS quorvel_export_names)
    if(export MATCHES "^\\?([A-Za-z]+)@@")
        set(function ${CMAKE_MATCH_1})
        if(NOT DEFINED quorvel_gnu_parameters_${function})
            message(FATAL_ERROR "${QUORVEL_DEF}: no MinGW name known for ${export}")
        endif()
        string(LENGTH ${function} length)
        set(gnu_name _Z${length}${function}${quorvel_gnu_parameters_${function}})
        string(APPEND quorvel_gnu_alias_lines "    ${gnu_name} @${quorvel_ordinal_${export}} == ${export}\n")
    endif()
endforeach()

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(QUORVEL_KIT_ARCH i686)
    set(quorvel_llvm_machine i386)
else()
    set(QUORVEL_KIT_ARCH x86_64)
    set(quorvel_llvm_machine i386:x86-64)
endif()

set(quorvel_def_header
    "; Quorvel.dll ${PROJECT_VERSION}, ${QUORVEL_KIT_ARCH}: the export table, every function __cdecl.\n")
file(GENERATE OUTPUT ${QUORVEL_KIT_DIR}/Quorvel.def CONTENT
     "${quorvel_def_header}LIBRARY Quorvel.dll\nEXPORTS\n${quorvel_export_lines}")
file(GENERATE OUTPUT ${QUORVEL_KIT_DIR}/libQuorvel.def CONTENT
     "${quorvel_def_header}; With the names MinGW's C++ compilers give the decorated functions.
LIBRARY Quorvel.dll\nEXPORTS\n${quorvel_export_lines}${quorvel_gnu_alias_lines}")

# ---- Import libraries -------------------------------------------------------------------
# The linker's own import library (libQuorvel.dll.a next to the build's
# objects) has no MinGW C++ names; the kit's are made from the export table.
if(NOT CMAKE_DLLTOOL)
    find_program(CMAKE_DLLTOOL ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-dlltool REQUIRED)
endif()
find_program(QUORVEL_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-16 llvm-dlltool-15 llvm-dlltool-14
             PATHS /usr/lib/llvm-16/bin /usr/lib/llvm-15/bin /usr/lib/llvm-14/bin)
if(NOT QUORVEL_LLVM_DLLTOOL)
    message(FATAL_ERROR "llvm-dlltool makes the import library for Microsoft's linker: "
                        "install the Debian package llvm (tools/setup-machine does)")
endif()

add_custom_command(
    OUTPUT ${QUORVEL_KIT_DIR}/libQuorvel.dll.a
    COMMAND ${CMAKE_DLLTOOL} --deterministic-libraries --input-def libQuorvel.def --dllname Quorvel.dll
            --output-lib libQuorvel.dll.a
    DEPENDS ${QUORVEL_KIT_DIR}/libQuorvel.def
    WORKING_DIRECTORY ${QUORVEL_KIT_DIR}
    COMMENT "MinGW import library of Quorvel.dll"
    VERBATIM)
add_custom_command(
    OUTPUT ${QUORVEL_KIT_DIR}/Quorvel.lib
    COMMAND ${QUORVEL_LLVM_DLLTOOL} -m ${quorvel_llvm_machine} -d Quorvel.def -l Quorvel.lib
    DEPENDS ${QUORVEL_KIT_DIR}/Quorvel.def
    WORKING_DIRECTORY ${QUORVEL_KIT_DIR}
    COMMENT "Import library of Quorvel.dll for Microsoft's linker"
    VERBATIM)
add_custom_target(quorvel_import_libraries ALL
    DEPENDS ${QUORVEL_KIT_DIR}/libQuorvel.dll.a ${QUORVEL_KIT_DIR}/Quorvel.lib)

# ---- CMake package ------------------------------------------------------------------------
set(QUORVEL_KIT_BIN_DIR bin)
set(QUORVEL_KIT_INCLUDE_DIR include)
set(QUORVEL_KIT_LIB_DIR lib)
set(QUORVEL_KIT_PACKAGE_DIR lib/cmake/Quorvel)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/QuorvelConfig.cmake.in
    ${QUORVEL_KIT_DIR}/QuorvelConfig.cmake
    INSTALL_DESTINATION ${QUORVEL_KIT_PACKAGE_DIR}
    PATH_VARS QUORVEL_KIT_BIN_DIR QUORVEL_KIT_INCLUDE_DIR QUORVEL_KIT_LIB_DIR
    NO_CHECK_REQUIRED_COMPONENTS_MACRO)
# Same major version; a 32-bit host is not offered the 64-bit kit, nor the
# other way round.
write_basic_package_version_file(${QUORVEL_KIT_DIR}/QuorvelConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)

# ---- Install ----------------------------------------------------------------------------
# Each file of the kit, recorded so that SHA256SUMS lists them all.
function(quorvel_install_kit destination)
    install(FILES ${ARGN} DESTINATION ${destination} COMPONENT kit)
    foreach(file IN LISTS ARGN)
        get_filename_component(name "${file}" NAME)
        set_property(GLOBAL APPEND PROPERTY quorvel_kit_files ${destination}/${name})
    endforeach()
endfunction()

quorvel_install_kit(${QUORVEL_KIT_BIN_DIR} $<TARGET_FILE_DIR:Quorvel>/Quorvel.dll)
quorvel_install_kit(${QUORVEL_KIT_INCLUDE_DIR}
    ${PROJECT_SOURCE_DIR}/include/quorvel.h ${PROJECT_SOURCE_DIR}/include/quorvel_loader.h
    ${PROJECT_SOURCE_DIR}/include/quorvel.nsh)
quorvel_install_kit(${QUORVEL_KIT_LIB_DIR}
    ${QUORVEL_KIT_DIR}/libQuorvel.dll.a ${QUORVEL_KIT_DIR}/Quorvel.lib ${QUORVEL_KIT_DIR}/Quorvel.def)
quorvel_install_kit(${QUORVEL_KIT_PACKAGE_DIR}
    ${QUORVEL_KIT_DIR}/QuorvelConfig.cmake ${QUORVEL_KIT_DIR}/QuorvelConfigVersion.cmake)
quorvel_install_kit(share/doc/Quorvel ${PROJECT_SOURCE_DIR}/docs/host-developers.md)

# The kit's module is never the pseudo-localized test module.
install(CODE "set(module \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUORVEL_KIT_BIN_DIR}/Quorvel.dll\")
include(\"${PROJECT_SOURCE_DIR}/cmake/RefuseSpecialBuild.cmake\")" COMPONENT kit)

get_property(quorvel_kit_files GLOBAL PROPERTY quorvel_kit_files)
list(SORT quorvel_kit_files)
install(CODE "set(quorvel_kit_files \"${quorvel_kit_files}\")
include(\"${PROJECT_SOURCE_DIR}/cmake/WriteKitChecksums.cmake\")" COMPONENT kit)

install(FILES $<TARGET_FILE_DIR:Quorvel>/Quorvel.dll.debug DESTINATION ${QUORVEL_KIT_BIN_DIR} COMPONENT symbols)

# ---- Release archives ---------------------------------------------------------------------
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(quorvel_release_flavour win32)
else()
    set(quorvel_release_flavour win64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Quorvel)
set(CPACK_PACKAGE_VENDOR ${QUORVEL_COMPANY_NAME})
set(CPACK_PACKAGE_FILE_NAME Quorvel-${PROJECT_VERSION}-${quorvel_release_flavour})
# Both archives unpack into one directory of that name, the symbols beside the DLL.
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL kit symbols)
set(CPACK_ARCHIVE_KIT_FILE_NAME Quorvel-${PROJECT_VERSION}-${quorvel_release_flavour})
set(CPACK_ARCHIVE_SYMBOLS_FILE_NAME Quorvel-${PROJECT_VERSION}-${quorvel_release_flavour}-symbols)
include(CPack)
