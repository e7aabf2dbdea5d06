# Quorvel.dll: the module's logic over the Win32 services, with the catalogue
# compiled in as string-table resources (in the pseudo-localized build, the
# generated pseudo forms of its texts).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(QUORVEL_DEF ${CMAKE_CURRENT_SOURCE_DIR}/module/Quorvel32.def)
else()
    set(QUORVEL_DEF ${CMAKE_CURRENT_SOURCE_DIR}/module/Quorvel64.def)
endif()

add_library(Quorvel SHARED
    ${QUORVEL_CORE_SOURCES}
    module/dll_main.cpp
    platform/win32/code_page.cpp
    platform/win32/heap.cpp
    platform/win32/process.cpp
    platform/win32/registry.cpp
    platform/win32/resources.cpp
    platform/win32/security.cpp
    platform/win32/user_interface.cpp
    platform/win32/version.cpp
    ${QUORVEL_MODULE_RC}
    ${CMAKE_CURRENT_BINARY_DIR}/generated/version.rc
    ${QUORVEL_DEF})
set_target_properties(Quorvel PROPERTIES PREFIX "" OUTPUT_NAME Quorvel)
# The table is not linked in; building it runs the catalogue's checks first.
add_dependencies(Quorvel quorvel_catalog_table quorvel_layers)
set_source_files_properties(${QUORVEL_CATALOG_RC} PROPERTIES OBJECT_DEPENDS "${QUORVEL_CATALOG_SCRIPTS}")
target_include_directories(Quorvel PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/include)
# UTF-8 resource scripts.
target_compile_options(Quorvel PRIVATE $<$<COMPILE_LANGUAGE:RC>:--codepage=65001>)
target_compile_options(Quorvel PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Werror -fno-exceptions -fno-rtti>)
# No MinGW runtime DLL, and a header that Windows 95 and NT 4.0 accept.
target_link_options(Quorvel PRIVATE
    -static -static-libgcc -static-libstdc++
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0)
# Nothing but Windows itself at run time; stripped and reproducible.
include(cmake/StandaloneModule.cmake)
