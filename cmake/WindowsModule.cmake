# Quorvel.dll: the module's logic over the Win32 services, with the catalogue
# compiled in as string-table resources. Its code is compiled once, as the
# objects below: the pseudo-localized test module (PseudoModule.cmake) links
# the same objects with resources of its own.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(QUORVEL_DEF ${CMAKE_CURRENT_SOURCE_DIR}/module/Quorvel32.def)
else()
    set(QUORVEL_DEF ${CMAKE_CURRENT_SOURCE_DIR}/module/Quorvel64.def)
endif()

add_library(quorvel_module_objects OBJECT
    ${QUORVEL_CORE_SOURCES}
    module/dll_main.cpp
    platform/win32/code_page.cpp
    platform/win32/heap.cpp
    platform/win32/process.cpp
    platform/win32/registry.cpp
    platform/win32/resources.cpp
    platform/win32/security.cpp
    platform/win32/user_interface.cpp
    platform/win32/version.cpp)
# The table is not linked in; building it runs the catalogue's checks first.
add_dependencies(quorvel_module_objects quorvel_catalog_table quorvel_layers)
target_include_directories(quorvel_module_objects PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/include)
target_compile_options(quorvel_module_objects PRIVATE -Wall -Wextra -Werror -fno-exceptions -fno-rtti)
# Nothing but Windows itself at run time; stripped and reproducible.
include(cmake/StandaloneModule.cmake)

# quorvel_windows_module(TARGET CATALOG_RC VERSION_RC): a Quorvel.dll of the
# module's objects with these string tables and this version resource.
function(quorvel_windows_module target catalog_rc version_rc)
    add_library(${target} SHARED $<TARGET_OBJECTS:quorvel_module_objects> ${catalog_rc} ${version_rc} ${QUORVEL_DEF})
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME Quorvel)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/include)
    # UTF-8 resource scripts.
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:RC>:--codepage=65001>)
    # No MinGW runtime DLL, and a header that Windows 95 and NT 4.0 accept.
    target_link_options(${target} PRIVATE
        -static -static-libgcc -static-libstdc++
        -Wl,--major-os-version,4 -Wl,--minor-os-version,0
        -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0)
    quorvel_finish_standalone_module(${target})
endfunction()

quorvel_windows_module(Quorvel ${QUORVEL_CATALOG_RC} ${CMAKE_CURRENT_BINARY_DIR}/generated/version.rc)
set_source_files_properties(${QUORVEL_CATALOG_RC} PROPERTIES OBJECT_DEPENDS "${QUORVEL_CATALOG_SCRIPTS}")
