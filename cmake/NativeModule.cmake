# The native build: the module's logic over the stand-in services, as a static
# library that tests, fuzzers and benchmarks link.
add_library(quorvel_native STATIC
    ${QUORVEL_CORE_SOURCES}
    platform/standin/code_pages.cpp
    platform/standin/heap.cpp
    platform/standin/registry.cpp
    platform/standin/resources.cpp
    platform/standin/system.cpp)
target_include_directories(quorvel_native PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include)
target_link_libraries(quorvel_native PUBLIC quorvel_catalog_table)
target_compile_options(quorvel_native PRIVATE -Wall -Wextra -Werror)
add_dependencies(quorvel_native quorvel_layers)

# The stand-in's entry attaches the module before main. Nothing refers to it,
# so from a static library it would never be linked: every program that links
# the native build gets its object directly.
add_library(quorvel_standin_entry OBJECT module/standin_entry.cpp)
target_include_directories(quorvel_standin_entry PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(quorvel_standin_entry PRIVATE -Wall -Wextra -Werror)
target_sources(quorvel_native INTERFACE $<TARGET_OBJECTS:quorvel_standin_entry>)
