# The native build: the module's logic over the stand-in services, as a static
# library that tests, fuzzers and benchmarks link.
add_library(quorvel_native STATIC
    ${QUORVEL_CORE_SOURCES}
    platform/standin/code_pages.cpp
    platform/standin/heap.cpp
    platform/standin/module_entry.cpp
    platform/standin/registry.cpp
    platform/standin/resources.cpp
    platform/standin/system.cpp)
target_include_directories(quorvel_native PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/include)
target_link_libraries(quorvel_native PUBLIC quorvel_catalogue_table)
target_compile_options(quorvel_native PRIVATE -Wall -Wextra -Werror)

